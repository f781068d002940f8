// Codec benchmark (not a test): the image library's readers and its resize
// against the least work the same library build can do, on one 1920 x 1080
// photo-like picture made here (smooth gradients, soft spots and sensor-like
// noise, so that the JPEG and PNG files have realistic sizes and content):
//   ReadJpeg     against jpeg_read_scanlines into one buffer (same libjpeg)
//   ReadPng      against png_read_row into one buffer (same libpng)
//   ReadBmp      against a memcpy of the file's pixel bytes
//   ResizeImage  against a memcpy of the target size, per output pixel,
//                with each loop this processor can run forced in turn
// Every case is timed in alternating rounds with its baseline; the table
// shows medians and the ratio. Run it with
//   tools/bench/run codecs [ROUNDS]
// or, with a display, build/wine-run build/bench/codecs/codecs_bench.exe.
#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "imaging/ImageLib.h"
#include "tools/bench/support/picture.h"
#include "tools/bench/support/timing.h"

extern "C" {
#include <jpeglib.h>
}
#include <png.h>
#include <zlib.h>

#define LW_TEXT(x) #x
#define LW_VALUE_TEXT(x) LW_TEXT(x)

namespace {

using bench::kPictureHeight;
using bench::kPictureWidth;
using bench::Median;
using bench::TimePair;

const int kWidth = kPictureWidth;
const int kHeight = kPictureHeight;

void Row(const char* name, double ours, double base, const char* unit, const char* baseline) {
  printf("%-36s %10.3f %10.3f  %-5s %7.2f   %s\n", name, ours, base, unit, ours / base, baseline);
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 9;
  using namespace bench;
  const std::vector<BYTE> picture = MakePicture();
  const std::vector<BYTE> jpeg = EncodeJpeg(picture, 90);
  const std::vector<BYTE> png = EncodePng(picture);
  const std::vector<BYTE> bmp = EncodeBmp(picture);
  const size_t pictureBytes = picture.size();

  printf("codecs: one %d x %d RGB picture; medians of %d alternating rounds\n", kWidth, kHeight,
         rounds);
#ifdef WITH_SIMD
  printf("libjpeg-turbo %s: built with its SIMD code\n", LW_VALUE_TEXT(LIBJPEG_TURBO_VERSION));
#else
  printf("libjpeg-turbo %s: built WITHOUT its SIMD code (tools/setup: -DWITH_SIMD=OFF,"
         " -Os, for Halcyra's size budget)\n",
         LW_VALUE_TEXT(LIBJPEG_TURBO_VERSION));
#endif
  printf("libpng %s (read-only build, -Os), zlib %s\n", PNG_LIBPNG_VER_STRING, zlibVersion());
  printf("files: JPEG quality 90 4:2:0 %zu bytes, PNG 8-bit RGB %zu bytes, BMP 24-bit %zu bytes\n",
         jpeg.size(), png.size(), bmp.size());

  // The readers must produce what the baselines produce, or the comparison
  // means nothing.
  std::vector<BYTE> buffer(pictureBytes);
  int w = 0, h = 0;
  const char* mismatch = nullptr;
  MinimalJpegRead(jpeg, buffer.data());
  BYTE* out = ReadThroughLibrary(jpeg, [&](HPVSRC s) { return ReadJpeg(s, &w, &h, 24); });
  if (!out || w != kWidth || h != kHeight || memcmp(out, buffer.data(), pictureBytes)) mismatch = "ReadJpeg";
  FreeImageBlock(out);
  out = ReadThroughLibrary(png, [&](HPVSRC s) { return ReadPng(s, &w, &h, 24, nullptr); });
  if (!out || memcmp(out, picture.data(), pictureBytes)) mismatch = "ReadPng";
  FreeImageBlock(out);
  out = ReadThroughLibrary(bmp, [&](HPVSRC s) { return ReadBmp(s, &w, &h, 24, nullptr); });
  if (!out || memcmp(out, picture.data(), pictureBytes)) mismatch = "ReadBmp";
  FreeImageBlock(out);
  if (mismatch) {
    printf("%s does not read the picture the baseline reads (error %d)\n", mismatch,
           GetImageError());
    return 1;
  }

  printf("\n%-36s %10s %10s  %-5s %7s   %s\n", "case", "ours", "baseline", "unit", "ratio",
         "baseline");
  double ours, base;
  TimePair(rounds,
           [&] { FreeImageBlock(ReadThroughLibrary(jpeg, [&](HPVSRC s) { return ReadJpeg(s, &w, &h, 24); })); },
           [&] { MinimalJpegRead(jpeg, buffer.data()); }, &ours, &base);
  Row("ReadJpeg", ours, base, "ms", "jpeg_read_scanlines into one buffer");
  TimePair(rounds,
           [&] {
             FreeImageBlock(ReadThroughLibrary(png, [&](HPVSRC s) { return ReadPng(s, &w, &h, 24, nullptr); }));
           },
           [&] { MinimalPngRead(png, buffer.data()); }, &ours, &base);
  Row("ReadPng", ours, base, "ms", "png_read_row into one buffer");

  // BMP: against a copy into the same buffer, and a copy into a new zeroed
  // block. The readers' blocks are handed back and reused; the last row is
  // what the first writes to a new block (page faults) would cost them.
  auto readBmp = [&] {
    FreeImageBlock(ReadThroughLibrary(bmp, [&](HPVSRC s) { return ReadBmp(s, &w, &h, 24, nullptr); }));
  };
  auto copy = [&] { memcpy(buffer.data(), bmp.data() + 54, pictureBytes); };
  auto copyToNewBlock = [&] {
    BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, pictureBytes));
    memcpy(block, bmp.data() + 54, pictureBytes);
    GlobalFree(block);
  };
  TimePair(rounds * 3, readBmp, copy, &ours, &base);
  Row("ReadBmp", ours, base, "ms", "memcpy of the pixel bytes into one buffer");
  TimePair(rounds * 3, readBmp, copyToNewBlock, &ours, &base);
  Row("ReadBmp", ours, base, "ms", "memcpy into a new zeroed GlobalAlloc block");
  TimePair(rounds * 3, copyToNewBlock, copy, &ours, &base);
  Row("(new 6 MB output block, filled)", ours, base, "ms", "memcpy of the pixel bytes into one buffer");

  const struct {
    int w, h;
  } targets[] = {{1280, 720}, {640, 480}, {2560, 1440}};
  for (const ResizeLoop& loop : ResizeLoopsHere()) {
    const ResizeLoopScope held(loop);
    for (const auto& t : targets) {
      const size_t bytes = static_cast<size_t>(t.w) * t.h * 3;
      std::vector<BYTE> target(bytes), copySource(bytes, 0x5A);
      const double pixels = static_cast<double>(t.w) * t.h;
      TimePair(rounds, [&] { ResizeImage(picture.data(), kWidth, kHeight, target.data(), t.w, t.h, 3); },
               [&] { memcpy(target.data(), copySource.data(), bytes); }, &ours, &base);
      char name[64];
      sprintf(name, "ResizeImage to %dx%d, %s", t.w, t.h, loop.name);
      Row(name, ours * 1e6 / pixels, base * 1e6 / pixels, "ns/px", "memcpy of the target's bytes");
    }
  }
  return 0;
}
