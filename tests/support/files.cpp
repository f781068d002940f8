// Files for tests.
#include "tests/support/files.h"

#include <windows.h>

#include <algorithm>

namespace lwtest {

namespace {

// The whole of an opened file (closed after); empty when it cannot be read.
Bytes ReadOpened(HANDLE f) {
  Bytes bytes;
  if (f == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size;
  if (::GetFileSizeEx(f, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!::ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
        got != bytes.size())
      bytes.clear();
  }
  ::CloseHandle(f);
  return bytes;
}

// Writes the bytes into a file just made (closed after); false when it
// could not be made or written whole.
bool WriteOpened(HANDLE f, const Bytes& bytes) {
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  const bool ok = bytes.empty() || (::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &put, nullptr) &&
                                    put == bytes.size());
  ::CloseHandle(f);
  return ok;
}

}  // namespace

Bytes ReadAll(const std::string& path) {
  return ReadOpened(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool WriteAllWide(const std::wstring& path, const Bytes& bytes) {
  return WriteOpened(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
                     bytes);
}

Bytes ReadAllWide(const std::wstring& path) {
  return ReadOpened(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t c : ReadAll(path)) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  return lines;
}

bool WriteAll(const std::string& path, const Bytes& bytes) {
  return WriteOpened(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
                     bytes);
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH];
  const DWORD n = ::GetTempPathA(MAX_PATH, dir);
  return std::string(dir, n < MAX_PATH ? n : 0) + name;
}

void RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((base + "*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      // A name outside the code page goes by its short name.
      const std::string name =
          fd.cAlternateFileName[0] && std::string(fd.cFileName).find('?') != std::string::npos
              ? fd.cAlternateFileName
              : fd.cFileName;
      if (name == "." || name == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(base + name);
      } else {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
          ::SetFileAttributesA((base + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA((base + name).c_str());
      }
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(base.c_str());
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA((base + "*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (::FindNextFileA(find, &fd));
    ::FindClose(find);
  }
  std::sort(names.begin(), names.end());
  return names;
}

CTempFolder::CTempFolder(const std::string& name)
    : m_path(TempPath(name + std::to_string(::GetCurrentProcessId()) + "\\")) {
  RemoveTree(m_path);
  ::CreateDirectoryA(m_path.c_str(), nullptr);
}

CTempFolder::~CTempFolder() { RemoveTree(m_path); }

std::string HelpPageFault(const std::string& opened, const std::string& helpFolder) {
  char module[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, module, sizeof module);
  std::string expected = module;
  expected = expected.substr(0, expected.rfind('\\') + 1) + "Help\\";
  if (opened.size() <= expected.size() ||
      lstrcmpiA(opened.substr(0, expected.size()).c_str(), expected.c_str()) != 0)
    return "\"" + opened + "\" is not a page of " + expected;
  const std::string page = opened.substr(expected.size());
  if (page.find_first_of("\\/") != std::string::npos) return "\"" + page + "\" is not one page";
  if (ReadAll(helpFolder + "\\" + page).empty())
    return "the help has no page \"" + page + "\" (in " + helpFolder + ")";
  return "";
}

}  // namespace lwtest
