// The benchmarks' test picture, its files and the minimal library reads.
#include "tools/bench/support/picture.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" {
#include <jpeglib.h>
}
#include <png.h>
#include <zlib.h>

#include "common/CpuFeatures.h"
#include "imaging/ImageInternal.h"

namespace bench {
namespace {

const int kWidth = kPictureWidth;
const int kHeight = kPictureHeight;

BYTE Clamp(double v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); }

}  // namespace

std::vector<BYTE> MakePicture() {
  struct Spot {
    double x, y, radius, r, g, b;
  };
  const Spot spots[] = {{0.22, 0.35, 0.18, 90, 40, -30},  {0.70, 0.25, 0.12, 60, 60, 20},
                        {0.55, 0.75, 0.25, -40, 50, -20}, {0.85, 0.80, 0.15, 70, -10, -40},
                        {0.10, 0.85, 0.20, -30, -20, 60}};
  std::vector<BYTE> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  unsigned seed = 12345;
  auto noise = [&seed] {
    // Triangular, about -8 to 8: the sum of two uniform draws.
    seed = seed * 1103515245u + 12345u;
    int a = (seed >> 16) & 0xFF;
    seed = seed * 1103515245u + 12345u;
    int b = (seed >> 16) & 0xFF;
    return (a + b - 255) / 16.0;
  };
  for (int y = 0; y < kHeight; ++y) {
    const double v = static_cast<double>(y) / kHeight;
    for (int x = 0; x < kWidth; ++x) {
      const double u = static_cast<double>(x) / kWidth;
      double r = 60 + 110 * v + 35 * sin(6.0 * u + 2.0 * v);
      double g = 100 + 60 * sin(3.1 * u + 1.3) * cos(2.3 * v) + 30 * v;
      double b = 190 - 120 * v + 25 * cos(9.0 * u * v);
      for (const Spot& s : spots) {
        const double dx = (u - s.x) * kWidth / kHeight, dy = v - s.y;
        const double w = exp(-(dx * dx + dy * dy) / (s.radius * s.radius));
        r += s.r * w;
        g += s.g * w;
        b += s.b * w;
      }
      BYTE* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      p[0] = Clamp(r + noise());
      p[1] = Clamp(g + noise());
      p[2] = Clamp(b + noise());
    }
  }
  return rgb;
}

std::vector<BYTE> EncodeJpeg(const std::vector<BYTE>& rgb, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<BYTE*>(&rgb[static_cast<size_t>(cinfo.next_scanline) * kWidth * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<BYTE> file(out, out + size);
  jpeg_destroy_compress(&cinfo);
  free(out);
  return file;
}

namespace {

void PutBe32(std::vector<BYTE>& v, uLong x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<BYTE>(x >> s));
}

void PutChunk(std::vector<BYTE>& file, const char* type, const std::vector<BYTE>& data) {
  PutBe32(file, static_cast<uLong>(data.size()));
  const size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), data.begin(), data.end());
  PutBe32(file, crc32(0, &file[start], static_cast<uInt>(file.size() - start)));
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

// An RGB 8-bit PNG as a common writer makes it: each row with the filter
// whose output has the smallest sum of absolute values, zlib level 6.
std::vector<BYTE> EncodePng(const std::vector<BYTE>& rgb) {
  const size_t stride = static_cast<size_t>(kWidth) * 3;
  std::vector<BYTE> raw;
  raw.reserve((stride + 1) * kHeight);
  std::vector<BYTE> zero(stride, 0), best, trial(stride);
  for (int y = 0; y < kHeight; ++y) {
    const BYTE* row = &rgb[y * stride];
    const BYTE* up = y ? &rgb[(y - 1) * stride] : zero.data();
    long bestSum = -1;
    int bestFilter = 0;
    for (int f = 0; f < 5; ++f) {
      long sum = 0;
      for (size_t i = 0; i < stride; ++i) {
        const int a = i >= 3 ? row[i - 3] : 0, b = up[i], c = i >= 3 ? up[i - 3] : 0;
        const int pred = f == 0 ? 0 : f == 1 ? a : f == 2 ? b : f == 3 ? (a + b) / 2 : Paeth(a, b, c);
        trial[i] = static_cast<BYTE>(row[i] - pred);
        sum += trial[i] < 128 ? trial[i] : 256 - trial[i];
      }
      if (bestSum < 0 || sum < bestSum) {
        bestSum = sum;
        bestFilter = f;
        best = trial;
      }
    }
    raw.push_back(static_cast<BYTE>(bestFilter));
    raw.insert(raw.end(), best.begin(), best.end());
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<BYTE> packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6);
  packed.resize(packedSize);

  std::vector<BYTE> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<BYTE> ihdr;
  PutBe32(ihdr, kWidth);
  PutBe32(ihdr, kHeight);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced
  PutChunk(file, "IHDR", ihdr);
  PutChunk(file, "IDAT", packed);
  PutChunk(file, "IEND", {});
  return file;
}

namespace {

void PutLe32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

}  // namespace

// A 24-bit bottom-up BMP (the rows of 5,760 bytes need no padding).
std::vector<BYTE> EncodeBmp(const std::vector<BYTE>& rgb) {
  const size_t stride = static_cast<size_t>(kWidth) * 3;
  std::vector<BYTE> file(54 + stride * kHeight);
  BYTE* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  PutLe32(h + 2, static_cast<DWORD>(file.size()));
  PutLe32(h + 10, 54);
  PutLe32(h + 14, 40);
  PutLe32(h + 18, kWidth);
  PutLe32(h + 22, kHeight);
  h[26] = 1;
  h[28] = 24;
  PutLe32(h + 34, static_cast<DWORD>(stride * kHeight));
  for (int y = 0; y < kHeight; ++y) {
    const BYTE* s = &rgb[y * stride];
    BYTE* d = &file[54 + (kHeight - 1 - y) * stride];
    for (int x = 0; x < kWidth; ++x) {
      d[3 * x] = s[3 * x + 2];
      d[3 * x + 1] = s[3 * x + 1];
      d[3 * x + 2] = s[3 * x];
    }
  }
  return file;
}

// ---------------------------------------------------------------------------
// The least work of each library: decode into one caller's buffer.

void MinimalJpegRead(const std::vector<BYTE>& file, BYTE* out) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<BYTE*>(file.data()), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  const size_t stride = static_cast<size_t>(cinfo.output_width) * cinfo.output_components;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out + cinfo.output_scanline * stride;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
}

namespace {

struct MemoryReader {
  const BYTE* data;
  size_t size;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
  MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (n > r->size - r->at) png_error(png, "short file");
  memcpy(out, r->data + r->at, n);
  r->at += n;
}

}  // namespace

void MinimalPngRead(const std::vector<BYTE>& file, BYTE* out) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader = {file.data(), file.size(), 0};
  // libpng has no unwind tables: the jump restores registers only.
  if (_setjmp(png_jmpbuf(png), nullptr)) {
    fprintf(stderr, "libpng refused the picture\n");
    exit(1);
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_read_update_info(png, info);
  const size_t stride = png_get_rowbytes(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, out + y * stride, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
}

std::vector<ResizeLoop> ResizeLoopsHere() {
  std::vector<ResizeLoop> loops;
  if (ProcessorHasAvx512Bytes()) loops.push_back({"AVX-512", kResizeLoopsWidest});
  if (ProcessorHasAvx2()) loops.push_back({"AVX2", kResizeLoopsAvx2});
  loops.push_back({"plain", kResizeLoopsPlain});
  return loops;
}

ResizeLoopScope::ResizeLoopScope(const ResizeLoop& loop) { LimitResizeLoops(loop.widest); }

ResizeLoopScope::~ResizeLoopScope() { LimitResizeLoops(kResizeLoopsWidest); }

}  // namespace bench
