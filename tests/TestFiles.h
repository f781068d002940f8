// Whole-file reading and writing for tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testfiles {

using Bytes = std::vector<uint8_t>;

// The file's bytes; empty when it cannot be opened.
inline Bytes ReadAll(const std::string& path) {
  Bytes b;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return b;
  b.resize(GetFileSize(f, nullptr));
  DWORD got = 0;
  if (!b.empty()) ReadFile(f, b.data(), (DWORD)b.size(), &got, nullptr);
  CloseHandle(f);
  return b;
}

inline void WriteAll(const std::string& path, const Bytes& b) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  if (!b.empty()) WriteFile(f, b.data(), (DWORD)b.size(), &put, nullptr);
  CloseHandle(f);
}

}  // namespace testfiles
