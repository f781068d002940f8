// Special folders, path parts, file and folder tests, folder creation.
#include "common/Paths.h"

#include <shlobj.h>

#include "framework/App.h"
#include "framework/Files.h"
#include "framework/TextFormat.h"

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
