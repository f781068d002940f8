// Special folders, path parts, file and folder tests, folder creation.
#include "common/Paths.h"

#include <shlobj.h>

#include "framework/App.h"
#include "framework/TextFormat.h"

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
