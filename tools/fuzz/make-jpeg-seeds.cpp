// Writes the JPEG seeds of the fuzzers' corpus with the library's own
// writer: a baseline colour, a progressive colour and a grey picture; and a
// photo-like picture with its arithmetic-coded twins (sequential with a
// restart each MCU row, and progressive), made from its coefficients
// without loss by the native libjpeg, which has the arithmetic encoder the
// programs' build leaves out. The twins decode to the very pixels of the
// picture they were made from.
//   make-jpeg-seeds OUT_DIR
// Built natively by hand, from the top of the tree, as one command line:
//   clang++-14 -std=c++17 -I. tools/fuzz/make-jpeg-seeds.cpp
//     imaging/Image{State,Handle,Guess,Bmp,Pcx,Tga,Jpeg,JpegWrite,Png,Pixels}.cpp
//     common/CpuFeatures.cpp -ljpeg -lpng -lz -o make-jpeg-seeds
#include <stdio.h>
#include <string>

extern "C" {
#include <jpeglib.h>
}

#include "imaging/ImageLib.h"

namespace {

bool Write(const std::string& path, const BYTE* pixels, int w, int h, int quality,
           int progressive, int bits) {
  HPVDEST d = OpenFileDest(path.c_str());
  if (!d || !WriteJpeg(d, pixels, w, h, quality, progressive, bits, nullptr)) {
    fprintf(stderr, "%s: error %d\n", path.c_str(), GetImageError());
    return false;
  }
  CloseDest(d);
  return true;
}

// Copies a JPEG's coefficients into a new arithmetic-coded file.
bool ToArithmetic(const std::string& from, const std::string& to, bool progressive) {
  FILE* in = fopen(from.c_str(), "rb");
  FILE* out = fopen(to.c_str(), "wb");
  if (!in || !out) return false;
  jpeg_decompress_struct src;
  jpeg_compress_struct dst;
  jpeg_error_mgr srcErr, dstErr;
  src.err = jpeg_std_error(&srcErr);
  dst.err = jpeg_std_error(&dstErr);
  jpeg_create_decompress(&src);
  jpeg_create_compress(&dst);
  jpeg_stdio_src(&src, in);
  jpeg_read_header(&src, TRUE);
  jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&src);
  jpeg_copy_critical_parameters(&src, &dst);
  dst.arith_code = TRUE;
  if (progressive)
    jpeg_simple_progression(&dst);
  else
    dst.restart_in_rows = 1;
  jpeg_stdio_dest(&dst, out);
  jpeg_write_coefficients(&dst, coefficients);
  jpeg_finish_compress(&dst);
  jpeg_finish_decompress(&src);
  jpeg_destroy_compress(&dst);
  jpeg_destroy_decompress(&src);
  fclose(in);
  fclose(out);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string dir = std::string(argv[1]) + "/";
  BYTE rgb[16 * 16 * 3];
  for (int i = 0; i < 16 * 16; ++i) {
    rgb[3 * i] = static_cast<BYTE>(i);
    rgb[3 * i + 1] = static_cast<BYTE>(255 - i);
    rgb[3 * i + 2] = static_cast<BYTE>(i * 7);
  }
  struct Seed {
    const char* name;
    int progressive;
    int bits;
  } seeds[] = {{"baseline.jpg", 0, 24}, {"progressive.jpg", 1, 24}, {"grey.jpg", 0, 8}};
  for (const Seed& s : seeds)
    if (!Write(dir + s.name, rgb, 16, s.bits == 8 ? 48 : 16, 75, s.progressive, s.bits)) return 1;

  // Gradients under noise, a size of partial MCUs at the right and bottom.
  const int w = 61, h = 45;
  static BYTE photo[w * h * 3];
  unsigned seed = 5;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE* p = photo + 3 * (y * w + x);
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) % 41) - 20;
      const int values[3] = {x * 4 + noise, y * 5 - noise, (x + y) * 2 + noise / 2 + 40};
      for (int c = 0; c < 3; ++c) p[c] = static_cast<BYTE>(values[c] < 0 ? 0 : values[c] > 255 ? 255 : values[c]);
    }
  if (!Write(dir + "huffman.jpg", photo, w, h, 90, 0, 24) ||
      !ToArithmetic(dir + "huffman.jpg", dir + "arithmetic.jpg", false) ||
      !ToArithmetic(dir + "huffman.jpg", dir + "arithmetic-progressive.jpg", true))
    return 1;
  return 0;
}
