// Application utilities shared by the builder and the saver runtime:
// paths, folders, the Windows kind, and opening addresses through the shell.
#include "common/AppUtils.h"

#include <shlobj.h>
#include <shellapi.h>

#include "framework/App.h"
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
  char path[520] = {};
  BOOL ok = SHGetPathFromIDListA(items, path);
  CoTaskMemFree(items);
  return ok ? CString(path) : CString();
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

namespace {

// The files of GetProcessTempPath that a run leaves when it is ended by the
// system: the saver runtime's pictures and the movie engine's movie copy.
const char* const kProcessTempFiles[][2] = {
    {"desktop", "bmp"}, {"wallpaper", "bmp"}, {"Lumenweave", "swf"}};

// The process id of a name "<name>-<digits>.<extension>", or 0.
DWORD ProcessIdOfName(const char* file, const char* name, const char* extension) {
  const int nameLength = lstrlenA(name);
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, file, nameLength, name, nameLength) !=
          CSTR_EQUAL ||
      file[nameLength] != '-')
    return 0;
  const char* p = file + nameLength + 1;
  DWORD id = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits) id = id * 10 + static_cast<DWORD>(*p - '0');
  if (digits == 0 || *p != '.' || lstrcmpiA(p + 1, extension) != 0) return 0;
  return id;
}

// True when the process of that id may have written a file last written
// then: it runs, and it started before (a little slack for coarse file
// times), or it cannot be asked.
bool MayBeItsFile(DWORD id, const FILETIME& written) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  FILETIME created, exited, kernel, user;
  bool its = !::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  if (its && ::GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    const auto ticks = [](const FILETIME& t) {
      return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const ULONGLONG kSlack = 2 * 10000000ull;  // 2 s in 100 ns ticks
    its = ticks(written) + kSlack >= ticks(created);
  }
  ::CloseHandle(process);
  return its;
}

}  // namespace

void RemoveLeftoverTempFiles() {
  char folder[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, folder);
  if (n == 0 || n >= MAX_PATH) return;
  const DWORD self = GetCurrentProcessId();
  for (const auto& kind : kProcessTempFiles) {
    char pattern[MAX_PATH + 64];
    FormatText(pattern, sizeof pattern, "%s%s-*.%s", folder, kind[0], kind[1]);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const DWORD id = ProcessIdOfName(found.cFileName, kind[0], kind[1]);
      if (id == 0 || id == self || MayBeItsFile(id, found.ftLastWriteTime)) continue;
      char path[MAX_PATH + 64];
      FormatText(path, sizeof path, "%s%s", folder, found.cFileName);
      DeleteFileA(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
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

