// The movie reader's fuzz target: any bytes as a whole movie (plain,
// compressed or neither), then every frame shown and its commands asked,
// and the frame size read from the same bytes. Built natively against
// native/windows.h.
#include <stddef.h>
#include <stdint.h>

#include "playback/SwfMovie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  ReadSwfFrameSize(data, n);
  CSwfMovie movie;
  movie.Load(data, n);
  const int frames = movie.GetFrameCount() < 64 ? movie.GetFrameCount() : 64;
  for (int f = 0; f < frames; ++f) {
    movie.GotoFrame(f);
    for (int i = 0; i < movie.GetDisplayCount(); ++i) {
      const SwfPlacement& item = movie.GetDisplayItem(i);
      if (item.shape >= movie.GetShapeCount()) __builtin_trap();
    }
    const char* command;
    const char* args;
    for (int i = 0; movie.GetFrameCommand(f, i, &command, &args); ++i) {
      if (!command[0] && args[0] == 1) __builtin_trap();  // touches both strings
    }
  }
  movie.GotoFrame(0);
  return 0;
}
