// The benchmarks' test picture: one 1920 x 1080 photo-like RGB picture
// (smooth gradients, soft spots and sensor-like noise, so that its JPEG and
// PNG files have realistic sizes and content), its three files as common
// writers make them, the least work of libjpeg and libpng to read them back
// into one caller's buffer, and a call of the image library's readers.
#pragma once

#include <windows.h>

#include <vector>

#include "imaging/ImageLib.h"

namespace bench {

const int kPictureWidth = 1920;
const int kPictureHeight = 1080;

// RGB, rows top-down.
std::vector<BYTE> MakePicture();
// Quality `quality`, 4:2:0.
std::vector<BYTE> EncodeJpeg(const std::vector<BYTE>& rgb, int quality);
// 8-bit RGB, each row with the filter whose output has the smallest sum of
// absolute values, zlib level 6.
std::vector<BYTE> EncodePng(const std::vector<BYTE>& rgb);
// A 24-bit bottom-up BMP.
std::vector<BYTE> EncodeBmp(const std::vector<BYTE>& rgb);

// jpeg_read_scanlines / png_read_row into out, row after row.
void MinimalJpegRead(const std::vector<BYTE>& file, BYTE* out);
void MinimalPngRead(const std::vector<BYTE>& file, BYTE* out);

// A loop ResizeImage may be held to (the widest it may use, as the resize
// tests limit it), so that each is timed on a processor that has wider
// ones: what a processor with only that loop's instructions runs.
struct ResizeLoop {
  const char* name;  // "AVX-512", "AVX2", "plain"
  int widest;        // for LimitResizeLoops
};
// The loops this processor can run, widest first.
std::vector<ResizeLoop> ResizeLoopsHere();
// Holds ResizeImage to the loop for the scope's lifetime, then lets it use
// the widest again.
class ResizeLoopScope {
 public:
  explicit ResizeLoopScope(const ResizeLoop& loop);
  ~ResizeLoopScope();
  ResizeLoopScope(const ResizeLoopScope&) = delete;
  ResizeLoopScope& operator=(const ResizeLoopScope&) = delete;
};

// One call of an image library reader on a memory source; the pixels or
// null.
template <class F>
BYTE* ReadThroughLibrary(const std::vector<BYTE>& file, F read) {
  HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
  if (!src) return nullptr;
  BYTE* pixels = read(src);
  CloseSource(src);
  return pixels;
}

}  // namespace bench
