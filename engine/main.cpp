// Entry point of the movie engine Emberlyn: a saver that plays the movie
// appended to its own image. Without a movie it ends at once with a
// nonzero exit code.
#include <windows.h>

#include "common/Payload.h"
#include "framework/Terminate.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  uint64_t offset = 0, length = 0;
  if (!carried::FindOwnAppendedData(carried::kEngineImageSize, &offset, &length)) return 1;
  return 0;
}
