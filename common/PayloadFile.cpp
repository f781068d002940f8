// Where a carried program finds its own appended data: its own file, named
// by the module rather than by the command line (which may be relative or
// lack the extension).
#include <windows.h>

#include "common/Payload.h"

namespace carried {

bool GetOwnFileSize(uint64_t* size) {
  char path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return false;
  HANDLE file = ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER bytes = {};
  const BOOL ok = ::GetFileSizeEx(file, &bytes);
  ::CloseHandle(file);
  if (!ok) return false;
  *size = static_cast<uint64_t>(bytes.QuadPart);
  return true;
}

bool FindOwnAppendedData(uint32_t imageSize, uint64_t* offset, uint64_t* length) {
  uint64_t size = 0;
  return GetOwnFileSize(&size) && LocateAppendedData(size, imageSize, offset, length);
}

}  // namespace carried
