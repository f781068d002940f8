// Application utilities shared by the builder and the saver runtime:
// paths, folders, the Windows kind, and opening addresses through the shell.
#include "common/AppUtils.h"

#include <shlobj.h>
#include <shellapi.h>

#include "framework/App.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Seams.h"
#include "framework/TextFormat.h"
#include "framework/Wnd.h"

namespace {

// The program part of a browser command line: unquoted, lower-cased, cut
// after the first ".exe".
CString CutBrowserCommand(CString command) {
  command.Trim();
  while (!command.IsEmpty() && command[0] == '"') command = command.Mid(1);
  int quote = command.Find('"');
  if (quote >= 0) command = command.Left(quote);
  command.Trim();
  command.MakeLower();
  int exe = command.Find(".exe");
  if (exe >= 0) command = command.Left(exe + 4);
  return command;
}

CString DefaultValue(HKEY root, const char* path) {
  char buf[261];
  return CRegKey(root, path).QueryString(nullptr, buf, sizeof buf) ? CString(buf) : CString();
}

}  // namespace

CString GetSpecialFolderPath(int csidl) {
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(AfxGetMainHwnd(), csidl, &items)) || !items) return CString();
  wchar_t path[MAX_PATH] = {};
  CString ansi;
  const bool ok = SHGetPathFromIDListW(items, path) && AnsiPathFromWide(path, ansi);
  CoTaskMemFree(items);
  return ok ? ansi : CString();
}

CString GetFileDirectory(const char* path) {
  CString p(path);
  int slash = p.ReverseFind('\\');
  return slash < 0 ? CString() : p.Left(slash + 1);
}

CString GetFileName(const char* path) {
  CString p(path);
  int slash = p.ReverseFind('\\');
  return slash < 0 ? p : p.Mid(slash + 1);
}

CString GetPathTitle(const char* path) {
  CString name = GetFileName(path);
  int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

CString GetFileExtension(const char* path, bool lower) {
  // Only the file name: a dot in a folder's name starts no extension.
  CString name = GetFileName(path);
  int dot = name.ReverseFind('.');
  if (dot < 0) return CString();
  CString ext = name.Mid(dot + 1);
  if (lower) ext.MakeLower();
  return ext;
}

CString GetTempFilePath(const char* name) {
  char folder[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, folder);
  return CString(folder) + name;
}

void GetProcessTempPath(const char* name, const char* extension, char* out, int size) {
  char unique[64];
  FormatText(unique, sizeof unique, "%s-%lu.%s", name, GetCurrentProcessId(), extension);
  lstrcpynA(out, GetTempFilePath(unique), size);
}

bool FileExists(const char* path) {
  HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool HasSubfolder(const char* folder, const char* name) {
  if (!folder || !*folder || !name || !*name) return false;
  CString dir(folder);
  if (dir[dir.GetLength() - 1] == '\\') dir.Truncate(dir.GetLength() - 1);
  CString wanted(name);
  wanted.MakeLower();
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA(dir + "\\*.*", &fd);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CString entry(fd.cFileName);
      entry.MakeLower();
      if (entry == wanted) found = true;
    }
  } while (!found && FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

bool CreateDirectoryPath(const char* path) {
  CString p(path);
  for (int slash = p.Find('\\'); slash >= 0; slash = p.Find('\\', slash + 1)) {
    CString prefix = p.Left(slash) + "\\";
    int next = p.Find('\\', slash + 1);
    CString component = next < 0 ? p.Mid(slash + 1) : p.Mid(slash + 1, next - slash - 1);
    if (component.IsEmpty()) {
      if (prefix.Mid(1) == ":\\") return true;
      if (!CreateDirectoryA(prefix, nullptr)) return false;
    } else if (!HasSubfolder(prefix, component)) {
      if (!CreateDirectoryA(prefix + component, nullptr)) return false;
    }
  }
  return true;
}

CSize GetScreenSize() {
  HDC screen = GetDC(nullptr);
  CSize size(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
  ReleaseDC(nullptr, screen);
  return size;
}

int GetWindowsKind() {
  OSVERSIONINFOA vi = {};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&vi)) return 0;
#pragma GCC diagnostic pop
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    if (vi.dwMajorVersion == 5) return vi.dwMinorVersion == 0 ? 4 : 5;
    if (vi.dwMajorVersion > 5) return 0;
    return 3;
  }
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
    return vi.dwMajorVersion > 4 || (vi.dwMajorVersion == 4 && vi.dwMinorVersion != 0) ? 2 : 1;
  return 0;
}

bool IsInternetExplorerInstalled() {
  // A version value of any type will do.
  char version[30];
  DWORD type = 0, size = sizeof version;
  return CRegKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer")
      .QueryValue("Version", &type, version, &size);
}

bool IsActiveDesktopOn(bool useSettings) {
  if (!useSettings) {
    HWND progman = FindWindowA("ProgMan", "Program Manager");
    HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
    return view && FindWindowExA(view, nullptr, "Internet Explorer_Server", nullptr);
  }
  if (!IsInternetExplorerInstalled()) return false;
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (!shell) return false;
  using GetSettings = void(WINAPI*)(void* state, DWORD mask);
  auto get = reinterpret_cast<GetSettings>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSettings")));
  bool on = false;
  if (get) {
    unsigned char state[16] = {};
    get(state, 0x00000200 /* SSF_DESKTOPHTML */);
    on = (state[0] & 0x40) != 0;
  }
  FreeLibrary(shell);
  return on;
}

CString GetBrowserPath() {
  CString verb = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell");
  if (verb.IsEmpty()) return CString();
  CString command = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell\\" + verb + "\\command");
  if (command.IsEmpty()) return CString();
  return CutBrowserCommand(command);
}

CString GetBrowserOpenCommand() {
  CString command = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell\\open\\command");
  return command.IsEmpty() ? CString() : CutBrowserCommand(command);
}

bool OpenUrl(const char* address) {
  // The browser of the default verb, then the one of "open", then whatever
  // the shell itself makes of the address.
  CString browser = GetBrowserPath();
  if (!browser.IsEmpty() &&
      LwShellExecute(AfxGetMainHwnd(), "open", browser, address, nullptr, SW_SHOW) > 32)
    return true;
  browser = GetBrowserOpenCommand();
  if (!browser.IsEmpty() &&
      LwShellExecute(AfxGetMainHwnd(), "open", browser, address, nullptr, SW_SHOW) > 32)
    return true;
  return LwShellExecute(AfxGetMainHwnd(), "open", address, nullptr, nullptr, SW_SHOW) > 32;
}

