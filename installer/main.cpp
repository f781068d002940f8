// Entry point of the installer stub Quenlark: installs the saver appended
// to its own image. Without one it ends at once with a nonzero exit code.
#include <windows.h>

#include "common/Payload.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  uint64_t offset = 0, length = 0;
  if (!carried::FindOwnAppendedData(carried::kInstallerImageSize, &offset, &length)) return 1;
  return 0;
}
