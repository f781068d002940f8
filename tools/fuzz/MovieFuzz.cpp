// The movie reader's fuzz target: any bytes as a whole movie (plain,
// compressed or neither), then every frame shown and its commands asked,
// and the frame size read from the same bytes. A plain movie is also
// compressed and read again: the compressed reading must find the same
// movie. Built natively against native/windows.h.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include "playback/SwfMovie.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {

// What reading the frame commands' strings adds up to: kept, so that the
// reads are made (the sanitizer then sees any byte past their ends).
volatile size_t g_commandBytes = 0;

// Reads the movie and plays through its first frames; returns whether it
// loaded.
bool ReadAll(CSwfMovie& movie, const uint8_t* data, uint32_t n) {
  ReadSwfFrameSize(data, n);
  const bool loaded = movie.Load(data, n);
  const int frames = movie.GetFrameCount() < 64 ? movie.GetFrameCount() : 64;
  for (int f = 0; f < frames; ++f) {
    movie.GotoFrame(f);
    for (int i = 0; i < movie.GetDisplayCount(); ++i) {
      const SwfPlacement& item = movie.GetDisplayItem(i);
      FuzzCheck(item.shape < movie.GetShapeCount());
    }
    const char* command;
    const char* args;
    for (int i = 0; movie.GetFrameCommand(f, i, &command, &args); ++i) {
      g_commandBytes = g_commandBytes + strlen(command) + strlen(args);
    }
  }
  movie.GotoFrame(0);
  return loaded;
}

// The plain movie's body (its declared length, which it holds whole)
// compressed behind a "CWS" header; null when it cannot be made.
uint8_t* Compress(const uint8_t* data, uint32_t n, uint32_t* out) {
  const uint32_t length = data[4] | data[5] << 8 | data[6] << 16 | uint32_t(data[7]) << 24;
  if (length < 8 || length > n) return nullptr;
  uLongf packed = compressBound(length - 8);
  uint8_t* bytes = static_cast<uint8_t*>(malloc(8 + packed));
  if (!bytes) return nullptr;
  memcpy(bytes, data, 8);
  bytes[0] = 'C';
  if (compress(bytes + 8, &packed, data + 8, length - 8) != Z_OK) {
    free(bytes);
    return nullptr;
  }
  *out = static_cast<uint32_t>(8 + packed);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  CSwfMovie plain;
  const bool loaded = ReadAll(plain, data, n);
  if (n < 8 || data[0] != 'F') return 0;
  uint32_t packedSize = 0;
  uint8_t* packed = Compress(data, n, &packedSize);
  if (!packed) return 0;
  CSwfMovie compressed;
  FuzzCheck(ReadAll(compressed, packed, packedSize) == loaded);
  // The frame size is read from the header alone: bytes behind the
  // declared length may take part in a plain one.
  const uint32_t length = data[4] | data[5] << 8 | data[6] << 16 | uint32_t(data[7]) << 24;
  if (length == n) {
    const SIZE a = ReadSwfFrameSize(data, n), b = ReadSwfFrameSize(packed, packedSize);
    FuzzCheck(a.cx == b.cx && a.cy == b.cy);
  }
  if (loaded) {
    FuzzCheck(compressed.GetFrameCount() == plain.GetFrameCount());
    FuzzCheck(compressed.GetShapeCount() == plain.GetShapeCount());
    FuzzCheck(compressed.GetVersion() == plain.GetVersion());
    FuzzCheck(compressed.GetBackground() == plain.GetBackground());
  }
  free(packed);
  return 0;
}
