// Pixel work that needs no device: stored rows of any BMP depth to red,
// green, blue; index unpacking; rectangle fills and channel swaps; the
// bilinear resizer for true-colour buffers and the palette resizer with its
// nearest-colour matcher.
#include <immintrin.h>
#include <string.h>

#include <new>

#include "common/CpuFeatures.h"
#include "imaging/ImageInternal.h"

namespace {

struct MaskChannel {
  int shift;
  int width;
};

MaskChannel DescribeMask(DWORD mask) {
  MaskChannel c = {0, 0};
  if (!mask) return c;
  while (!(mask & 1)) {
    mask >>= 1;
    ++c.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++c.width;
  }
  return c;
}

// The channel moved to the top of a byte, the bits below it filled with ones.
inline BYTE MaskValue(DWORD v, MaskChannel c) {
  if (!c.width) return 0;
  DWORD value = (v >> c.shift) & ((c.width >= 32) ? 0xFFFFFFFFu : ((1u << c.width) - 1));
  if (c.width >= 8) return static_cast<BYTE>(value >> (c.width - 8));
  return static_cast<BYTE>((value << (8 - c.width)) | ((1u << (8 - c.width)) - 1));
}

}  // namespace

void ConvertRow(const BYTE* row, BYTE* out, int pixels, int bits, const RGBQUAD* palette,
                const DWORD* masks, bool alpha, BYTE alphaValue) {
  MaskChannel channels[3] = {};
  if (masks)
    for (int i = 0; i < 3; ++i) channels[i] = DescribeMask(masks[i]);
  for (int i = 0; i < pixels; ++i) {
    BYTE r, g, b;
    if (bits <= 8) {
      int index;
      if (bits == 1)
        index = (row[i >> 3] >> (7 - (i & 7))) & 1;
      else if (bits == 4)
        index = (row[i >> 1] >> ((i & 1) ? 0 : 4)) & 15;
      else
        index = row[i];
      r = palette[index].rgbRed;
      g = palette[index].rgbGreen;
      b = palette[index].rgbBlue;
    } else if (bits == 16) {
      DWORD v = ReadLe16(row + 2 * i);
      if (masks) {
        r = MaskValue(v, channels[0]);
        g = MaskValue(v, channels[1]);
        b = MaskValue(v, channels[2]);
      } else {
        r = static_cast<BYTE>(((v & 0x7C00) | 0x380) >> 7);
        g = static_cast<BYTE>(((v & 0x03E0) | 0x1C) >> 2);
        b = static_cast<BYTE>(v * 8 + 7);
      }
    } else if (bits == 24) {
      b = row[3 * i];
      g = row[3 * i + 1];
      r = row[3 * i + 2];
    } else {
      DWORD v = ReadLe32(row + 4 * i);
      if (masks) {
        r = MaskValue(v, channels[0]);
        g = MaskValue(v, channels[1]);
        b = MaskValue(v, channels[2]);
      } else {
        r = static_cast<BYTE>(v >> 16);
        g = static_cast<BYTE>(v >> 8);
        b = static_cast<BYTE>(v);
      }
    }
    *out++ = r;
    *out++ = g;
    *out++ = b;
    if (alpha) *out++ = alphaValue;
  }
}

void UnpackIndices(const BYTE* row, BYTE* out, int pixels, int bits) {
  for (int i = 0; i < pixels; ++i) {
    if (bits == 1)
      out[i] = (row[i >> 3] >> (7 - (i & 7))) & 1;
    else if (bits == 4)
      out[i] = (row[i >> 1] >> ((i & 1) ? 0 : 4)) & 15;
    else
      out[i] = row[i];
  }
}

int FillPixelRect(BYTE* buffer, int width, int height, int x, int y, int rectWidth,
                  int rectHeight, const BYTE colour[4], int bytesPerPixel) {
  ImageCall call;
  if (!call) return 0;
  if (!buffer || (bytesPerPixel != 3 && bytesPerPixel != 4) || width <= 0 || height <= 0) {
    call.SetError(kImgBadParam);
    return 0;
  }
  call.SetError(kImgOk);
  if (x < 0 || y < 0 || x >= width || y >= height || rectWidth <= 0 || rectHeight <= 0)
    return 1;
  if (rectWidth > width - x) rectWidth = width - x;
  if (rectHeight > height - y) rectHeight = height - y;
  size_t stride = static_cast<size_t>(width) * bytesPerPixel;
  for (int row = 0; row < rectHeight; ++row) {
    BYTE* p = buffer + (y + row) * stride + static_cast<size_t>(x) * bytesPerPixel;
    for (int i = 0; i < rectWidth; ++i, p += bytesPerPixel)
      memcpy(p, colour, bytesPerPixel);
    if (!ProgressContinue(call.state(), row, rectHeight)) {
      call.SetError(kImgAborted);
      return 0;
    }
  }
  return 1;
}

void SwapRedBlue(BYTE* buffer, int pixelsPerRow, int rows) {
  size_t count = static_cast<size_t>(pixelsPerRow) * rows;
  for (size_t i = 0; i < count; ++i, buffer += 3) {
    BYTE t = buffer[0];
    buffer[0] = buffer[2];
    buffer[2] = t;
  }
}

int RgbToRgba(const BYTE* src, int pixelsPerRow, int rows, BYTE alpha, BYTE* dst) {
  if (!src || !dst) return kImgBadParam;
  size_t count = static_cast<size_t>(pixelsPerRow) * rows;
  for (size_t i = 0; i < count; ++i) {
    *dst++ = *src++;
    *dst++ = *src++;
    *dst++ = *src++;
    *dst++ = alpha;
  }
  return kImgOk;
}

int RgbToDibRows(const BYTE* rgb, BYTE* out, int width, int height, int rowSize) {
  if (!rgb || !out || width <= 0 || height <= 0 || rowSize < width * 3) return kImgBadParam;
  for (int row = 0; row < height; ++row) {
    const BYTE* s = rgb + static_cast<size_t>(height - 1 - row) * width * 3;
    BYTE* d = out + static_cast<size_t>(row) * rowSize;
    for (int i = 0; i < width; ++i, s += 3, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
    memset(d, 0, rowSize - width * 3);
  }
  return kImgOk;
}

namespace {

// Source sample positions of the target columns: the left source column
// and the fraction towards the next one, clamped at the last column.
struct ColumnMap {
  int left;
  int right;
  double frac;
};

void MapPosition(int i, double scale, int sourceSize, int* lo, int* hi, double* frac) {
  double x = i * scale;
  if (x > sourceSize - 1) x = sourceSize - 1;
  if (x < 0) x = 0;
  *lo = static_cast<int>(x);
  *hi = *lo + 1 < sourceSize ? *lo + 1 : sourceSize - 1;
  *frac = x - *lo;
}

bool ResizeArgsOk(const BYTE* src, int width, int height, const BYTE* dst, int tw, int th) {
  return src && dst && width > 0 && height > 0 && tw > 0 && th > 0 &&
         static_cast<int64_t>(width) * height <= LW_IMAGE_MAX_PIXELS &&
         static_cast<int64_t>(tw) * th <= LW_IMAGE_MAX_PIXELS;
}

ColumnMap* MakeColumnMap(int width, int tw) {
  ColumnMap* map = static_cast<ColumnMap*>(AllocZeroed(sizeof(ColumnMap) * tw));
  if (!map) return nullptr;
  double scale = static_cast<double>(width) / tw;
  for (int j = 0; j < tw; ++j) MapPosition(j, scale, width, &map[j].left, &map[j].right, &map[j].frac);
  return map;
}

}  // namespace

namespace {

// A target column's two source samples as byte offsets in a row, and their
// weights.
struct ColumnWeights {
  size_t left;
  size_t right;
  double wl;  // 1 - frac
  double wr;  // frac
};

// One source row resampled to the target's width: each channel the two
// nearest samples weighted, in the same double arithmetic (and order) as
// the vertical pass expects, so that the result does not depend on how the
// rows are shared.
template <int Bpp>
__attribute__((optimize("O2"))) void ResampleRow(const BYTE* s, const ColumnWeights* columns,
                                                 int tw, int bpp, double* out) {
  const int n = Bpp ? Bpp : bpp;
  for (int j = 0; j < tw; ++j, out += n) {
    const ColumnWeights& m = columns[j];
    const BYTE* l = s + m.left;
    const BYTE* r = s + m.right;
    for (int c = 0; c < n; ++c) out[c] = l[c] * m.wl + r[c] * m.wr;
  }
}

// The columns of the row that ResampleRowAvx2 may do: none without AVX2
// or for 1 or 2 bytes a pixel. A pixel of 3 bytes reads one byte past it
// and writes one double past its values, which the next pixel overwrites:
// the last column, and the columns whose samples end within 4 bytes of the
// row's end (where the extra byte could lie past the picture), are left to
// the plain loop.
int WideColumns(const ColumnWeights* columns, int tw, int bpp, size_t stride) {
  if ((bpp != 3 && bpp != 4) || !ProcessorHasAvx2()) return 0;
  const int last = bpp == 3 ? tw - 1 : tw;
  int j = 0;
  while (j < last && columns[j].left + 4 <= stride && columns[j].right + 4 <= stride) ++j;
  return j;
}

// The same sums four channels at a time with AVX2, for the first `wide`
// columns: each pixel's four bytes at both samples widened to doubles
// (exactly), multiplied by the broadcast weights and added.
__attribute__((target("avx2"))) void ResampleRowAvx2(const BYTE* s, const ColumnWeights* columns,
                                                    int wide, int bpp, double* out) {
  for (int j = 0; j < wide; ++j, out += bpp) {
    const ColumnWeights& m = columns[j];
    int l, r;
    memcpy(&l, s + m.left, 4);
    memcpy(&r, s + m.right, 4);
    const __m256d lv = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(l)));
    const __m256d rv = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(r)));
    _mm256_storeu_pd(out, _mm256_add_pd(_mm256_mul_pd(lv, _mm256_set1_pd(m.wl)),
                                        _mm256_mul_pd(rv, _mm256_set1_pd(m.wr))));
  }
}

// out = row1 x fy + row0 x (1 - fy), truncated, eight values at a time
// and then four.
// The values lie in 0 to 255 (weights of at most 1 that add up to 1), so
// the saturating packs change none of them. Returns the values done.
__attribute__((target("avx2"))) int BlendRowsAvx2(const double* row0, const double* row1,
                                                 double fy, BYTE* out, int count) {
  const __m256d f = _mm256_set1_pd(fy), g = _mm256_set1_pd(1 - fy);
  int k = 0;
  for (; k + 8 <= count; k += 8) {
    const __m256d a = _mm256_add_pd(_mm256_mul_pd(_mm256_loadu_pd(row1 + k), f),
                                    _mm256_mul_pd(_mm256_loadu_pd(row0 + k), g));
    const __m256d b = _mm256_add_pd(_mm256_mul_pd(_mm256_loadu_pd(row1 + k + 4), f),
                                    _mm256_mul_pd(_mm256_loadu_pd(row0 + k + 4), g));
    const __m128i words = _mm_packus_epi32(_mm256_cvttpd_epi32(a), _mm256_cvttpd_epi32(b));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(words, words));
  }
  for (; k + 4 <= count; k += 4) {
    const __m256d v = _mm256_add_pd(_mm256_mul_pd(_mm256_loadu_pd(row1 + k), f),
                                    _mm256_mul_pd(_mm256_loadu_pd(row0 + k), g));
    const __m128i words = _mm_packus_epi32(_mm256_cvttpd_epi32(v), _mm_setzero_si128());
    const int bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    memcpy(out + k, &bytes, 4);
  }
  return k;
}

void BlendRows(const double* row0, const double* row1, double fy, BYTE* out, int count) {
  const int done = ProcessorHasAvx2() ? BlendRowsAvx2(row0, row1, fy, out, count) : 0;
  const double gy = 1 - fy;
  for (int k = done; k < count; ++k)
    out[k] = static_cast<BYTE>(static_cast<int>(row1[k] * fy + row0[k] * gy));
}

void ResampleAnyRow(const BYTE* s, const ColumnWeights* columns, int tw, int bpp, int wide,
                    double* out) {
  if (wide > 0) ResampleRowAvx2(s, columns, wide, bpp, out);
  const int done = wide;
  if (done == tw) return;
  columns += done;
  out += static_cast<size_t>(done) * bpp;
  switch (bpp) {
    case 3: ResampleRow<3>(s, columns, tw - done, bpp, out); break;
    case 4: ResampleRow<4>(s, columns, tw - done, bpp, out); break;
    case 1: ResampleRow<1>(s, columns, tw - done, bpp, out); break;
    default: ResampleRow<0>(s, columns, tw - done, bpp, out); break;
  }
}

}  // namespace

// Bilinear: each target row blends two source rows, each resampled to the
// target's width once and kept while the next target row still uses it.
extern "C" BOOL ResizeImage(const BYTE* src, int width, int height, BYTE* dst, int tw,
                            int th, int bpp) {
  ImageCall call;
  if (!call) return FALSE;
  if (!ResizeArgsOk(src, width, height, dst, tw, th) || bpp <= 0 || bpp > 4) {
    call.SetError(kImgBadParam);
    return FALSE;
  }
  ColumnWeights* columns = static_cast<ColumnWeights*>(AllocZeroed(sizeof(ColumnWeights) * tw));
  const size_t rowValues = static_cast<size_t>(tw) * bpp;
  double* rows = static_cast<double*>(AllocZeroed(sizeof(double) * 2 * rowValues));
  if (!columns || !rows) {
    FreeBlock(columns);
    FreeBlock(rows);
    call.SetError(kImgNoMemory);
    return FALSE;
  }
  const double xScale = static_cast<double>(width) / tw;
  for (int j = 0; j < tw; ++j) {
    int left, right;
    double frac;
    MapPosition(j, xScale, width, &left, &right, &frac);
    columns[j] = {static_cast<size_t>(left) * bpp, static_cast<size_t>(right) * bpp, 1 - frac, frac};
  }
  const size_t stride = static_cast<size_t>(width) * bpp;
  const int wide = WideColumns(columns, tw, bpp, stride);
  // The two resampled rows and the source rows they hold (-1: none).
  double* held[2] = {rows, rows + rowValues};
  int heldRow[2] = {-1, -1};
  const double yScale = static_cast<double>(height) / th;
  int code = kImgOk;
  for (int i = 0; i < th; ++i) {
    int r0, r1;
    double fy;
    MapPosition(i, yScale, height, &r0, &r1, &fy);
    // Each wanted row: the held one, or resampled into the slot the other
    // wanted row does not hold.
    const int want[2] = {r0, r1};
    const double* use[2];
    for (int k = 0; k < 2; ++k) {
      int slot = heldRow[0] == want[k] ? 0 : heldRow[1] == want[k] ? 1 : -1;
      if (slot < 0) {
        if (k == 0)
          slot = heldRow[0] == r1 ? 1 : 0;
        else
          slot = use[0] == held[0] ? 1 : 0;
        ResampleAnyRow(src + want[k] * stride, columns, tw, bpp, wide, held[slot]);
        heldRow[slot] = want[k];
      }
      use[k] = held[slot];
    }
    BlendRows(use[0], use[1], fy, dst + static_cast<size_t>(i) * rowValues, static_cast<int>(rowValues));
    if (!ProgressContinue(call.state(), i, th)) {
      code = kImgAborted;
      break;
    }
  }
  FreeBlock(columns);
  FreeBlock(rows);
  call.SetError(code);
  return code == kImgOk;
}

extern "C" BOOL ResizePaletteImage(const BYTE* src, int width, int height, BYTE* dst,
                                   int tw, int th, int colours, const RGBQUAD* palette) {
  ImageCall call;
  if (!call) return FALSE;
  if (!ResizeArgsOk(src, width, height, dst, tw, th) || src == dst || !palette ||
      colours <= 0 || colours > 256) {
    call.SetError(kImgBadParam);
    return FALSE;
  }
  ColumnMap* map = MakeColumnMap(width, tw);
  BYTE* passes = static_cast<BYTE*>(AllocZeroed(2 * static_cast<size_t>(tw)));
  PaletteMatcher* matcher = static_cast<PaletteMatcher*>(AllocZeroed(sizeof(PaletteMatcher)));
  if (!map || !passes || !matcher) {
    FreeBlock(map);
    FreeBlock(passes);
    FreeBlock(matcher);
    call.SetError(kImgNoMemory);
    return FALSE;
  }
  new (matcher) PaletteMatcher();
  matcher->SetPalette(palette, colours);
  double yScale = static_cast<double>(height) / th;
  int code = kImgOk;
  for (int i = 0; i < th; ++i) {
    int r0, r1;
    double fy;
    MapPosition(i, yScale, height, &r0, &r1, &fy);
    for (int pass = 0; pass < 2; ++pass) {
      const BYTE* s = src + static_cast<size_t>(pass ? r1 : r0) * width;
      for (int j = 0; j < tw; ++j) {
        const ColumnMap& m = map[j];
        const RGBQUAD& a = matcher->Entry(s[m.left]);
        const RGBQUAD& b = matcher->Entry(s[m.right]);
        double wl = 1 - m.frac, wr = m.frac;
        passes[pass * tw + j] = static_cast<BYTE>(
            matcher->Match(static_cast<int>(a.rgbRed * wl + b.rgbRed * wr),
                           static_cast<int>(a.rgbGreen * wl + b.rgbGreen * wr),
                           static_cast<int>(a.rgbBlue * wl + b.rgbBlue * wr)));
      }
    }
    BYTE* out = dst + static_cast<size_t>(i) * tw;
    for (int j = 0; j < tw; ++j) {
      const RGBQUAD& a = matcher->Entry(passes[j]);
      const RGBQUAD& b = matcher->Entry(passes[tw + j]);
      double w0 = 1 - fy;
      out[j] = static_cast<BYTE>(matcher->Match(static_cast<int>(a.rgbRed * w0 + b.rgbRed * fy),
                                                static_cast<int>(a.rgbGreen * w0 + b.rgbGreen * fy),
                                                static_cast<int>(a.rgbBlue * w0 + b.rgbBlue * fy)));
    }
    if (!ProgressContinue(call.state(), i, th)) {
      code = kImgAborted;
      break;
    }
  }
  FreeBlock(map);
  FreeBlock(passes);
  FreeBlock(matcher);
  call.SetError(code);
  return code == kImgOk;
}
