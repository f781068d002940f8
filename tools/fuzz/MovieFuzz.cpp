// The movie reader's fuzz target: any bytes as a whole movie (plain,
// compressed or neither), then its first steps played, drawn small and
// their sound mixed,
// every FSCommand's two strings read whole, and the frame size read from
// the same bytes. A plain movie is also compressed and read again: the
// compressed reading must find the same movie. The reader, the timelines
// and the renderer are plain C++; the JPEG reader is the image library's,
// built natively beside them.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include <vector>

#include "playback/movie/Movie.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {

// What reading the frame commands' strings adds up to: kept, so that the
// reads are made (the sanitizer then sees any byte past their ends).
volatile size_t g_commandBytes = 0;

class CFuzzHost : public CMovieHost {
 public:
  void OnCommand(const char* command, const char* args) override {
    g_commandBytes = g_commandBytes + strlen(command) + strlen(args);
  }
  bool DrawSystemText(const MovieSystemText& text, uint8_t* coverage) override {
    // Every byte of the box is there to write, and the text is whole.
    memset(coverage, 0x80, static_cast<size_t>(text.width) * text.height);
    g_commandBytes = g_commandBytes + strlen(text.text) + strlen(text.font);
    return true;
  }
};

// A display list holds each depth once, lowest first.
void CheckList(const MovieListNode* root) {
  int last = -1;
  auto check = [&](MovieObject* obj) {
    FuzzCheck(obj->depth > last);
    last = obj->depth;
    if (obj->clip) CheckList(obj->clip->root);
    return true;
  };
  ForEachMovieObject(root, check);
}

// Reads the movie, plays and draws its first steps; returns whether it
// loaded.
bool ReadAll(CMovie& movie, const uint8_t* data, uint32_t n) {
  ReadMovieFrameSize(data, n);
  CFuzzHost host;
  movie.SetHost(&host);
  movie.GetBudget().memoryLimit = 64u << 20;
  movie.GetBudget().frameWorkLimit = 4u << 20;
  movie.GetBudget().stepTagLimit = 1u << 14;
  const bool loaded = movie.Load(data, n);
  movie.PrepareSounds();
  movie.Rewind();
  std::vector<int16_t> sound(2 * 512);
  std::vector<uint32_t> pixels(48 * 32);
  const MovieTarget target = {pixels.data(), 48, 32, 48};
  for (int step = 0; step < 24 && loaded; ++step) {
    CheckList(movie.GetRoot().root);
    FuzzCheck(movie.GetCurrentFrame() < movie.GetFrameCount());
    movie.Draw(target);
    movie.MixSound(sound.data(), 512);
    FuzzCheck(movie.GetBudget().memoryUsed <= movie.GetBudget().memoryLimit);
    movie.Step(step % 3 != 0);
  }
  movie.GotoFrame(movie.GetFrameCount() - 1);
  movie.SetHost(nullptr);
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
  CMovie plain;
  const bool loaded = ReadAll(plain, data, n);
  if (n < 8 || data[0] != 'F') return 0;
  uint32_t packedSize = 0;
  uint8_t* packed = Compress(data, n, &packedSize);
  if (!packed) return 0;
  // The same body, whole, read from the compressed stream: the same movie.
  const uint32_t length = data[4] | data[5] << 8 | data[6] << 16 | uint32_t(data[7]) << 24;
  CMovie whole, compressed;
  const bool wholeLoaded = whole.Load(data, length);
  FuzzCheck(ReadAll(compressed, packed, packedSize) == wholeLoaded);
  if (length == n) {
    FuzzCheck(wholeLoaded == loaded);
    // The frame size is read from the header alone.
    const MovieSize a = ReadMovieFrameSize(data, n), b = ReadMovieFrameSize(packed, packedSize);
    FuzzCheck(a.cx == b.cx && a.cy == b.cy);
  }
  if (wholeLoaded) {
    FuzzCheck(compressed.GetFrameCount() == whole.GetFrameCount());
    FuzzCheck(compressed.GetVersion() == whole.GetVersion());
    FuzzCheck(compressed.GetFrameRate256() == whole.GetFrameRate256());
  }
  free(packed);
  return 0;
}
