// The file device: its folder comes from the environment, and Wine is told
// to use its ALSA driver (which finds no device where no folder was given).
#include "tests/support/sound_device.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "tests/support/pump.h"

namespace lwtest {
namespace {

std::string Folder() {
  char dir[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("LW_SOUND_DIR", dir, sizeof dir)) return std::string();
  std::string path = dir;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path + "\\";
}

// Wine reads its audio driver when a program first uses sound: set before
// any test runs, and before a program is started that plays.
struct CAlsaDriver {
  CAlsaDriver() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
      RegCloseKey(key);
    }
  }
} g_alsaDriver;

std::vector<std::string> OutputFiles() {
  std::vector<std::string> names;
  const std::string dir = Folder();
  if (dir.empty()) return names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "out.raw*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(dir + found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  // "out.raw" sorts before "out.raw.0001" and so on.
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

bool CSoundDevice::Given() { return !Folder().empty(); }

void CSoundDevice::Clear() {
  for (const std::string& name : OutputFiles()) DeleteFileA(name.c_str());
}

Bytes CSoundDevice::Read() {
  Bytes all;
  for (const std::string& name : OutputFiles()) {
    const Bytes part = ReadAll(name);
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

int CSoundDevice::PlayCount() {
  int count = 0;
  for (const std::string& name : OutputFiles()) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) &&
        (data.nFileSizeLow || data.nFileSizeHigh))
      ++count;
  }
  return count;
}

Bytes CSoundDevice::WaitForBytes(size_t bytes, unsigned ms) {
  size_t last = 0;
  DWORD steadySince = GetTickCount();
  PumpUntil([&] {
    const size_t now = Read().size();
    if (now != last) {
      last = now;
      steadySince = GetTickCount();
    }
    return now >= bytes && GetTickCount() - steadySince > 300;
  }, ms);
  return Read();
}

}  // namespace lwtest
