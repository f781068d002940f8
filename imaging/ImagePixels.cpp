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

void ResampleAnyRow(const BYTE* s, const ColumnWeights* columns, int tw, int bpp, double* out) {
  switch (bpp) {
    case 3: ResampleRow<3>(s, columns, tw, bpp, out); break;
    case 4: ResampleRow<4>(s, columns, tw, bpp, out); break;
    case 1: ResampleRow<1>(s, columns, tw, bpp, out); break;
    default: ResampleRow<0>(s, columns, tw, bpp, out); break;
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

// What neighbouring target pixels share when their samples lie alike: the
// weights of each of their `Values` values, and for 3-byte pixels where
// each value's sample lies in the window read from the first pixel's
// (picks for a byte shuffle or permute, eight bytes a value: the value's
// byte, then seven masked off). Quads of four pixels of 3 or 4 bytes use
// 12 (4 bytes a pixel: one weight a pixel, the first four); octets of eight
// 3-byte pixels 24. Kept 64-byte aligned: the loops load them whole.
template <int Values>
struct SamplePattern {
  BYTE pickLeft[8 * Values];
  BYTE pickRight[8 * Values];
  double wl[Values];
  double wr[Values];
};
using QuadPattern = SamplePattern<12>;
using OctetPattern = SamplePattern<24>;

// Four target pixels for the AVX2 loop: their samples' byte offsets.
struct PixelQuad {
  int32_t left[4];
  int32_t right[4];
  const QuadPattern* pattern;
};

// Eight target pixels of 3 bytes for the AVX-512 loop: their first
// samples' byte offsets.
struct PixelOctet {
  int32_t left;
  int32_t right;
  const OctetPattern* pattern;
};

// A fixed-point quad's 12 values (in two halves of eight and four, 16 bits
// a value): picks for a byte shuffle of the 16 bytes from the half's first
// sample (two bytes a value: the value's byte, then one masked off), and
// each value's weights of its left and right samples in units of the
// columns' fraction step (they add up to one whole).
struct FixedPattern {
  BYTE pickLeft[32];
  BYTE pickRight[32];
  int16_t wl[16];
  int16_t wr[16];
};

// Four target pixels of 3 bytes for the exact fixed-point loop: the byte
// offsets of their first and third pixels' samples (each 128-bit half of
// the loop's vectors reads from one).
struct FixedQuad {
  int32_t left[2];
  int32_t right[2];
  const FixedPattern* pattern;
};

// An octet's 24 values (8 target pixels of 3 bytes) for the checked
// single-precision loop, in three vectors of eight, each vector's halves of
// four read from a 16-byte window of their own: picks for a byte shuffle of
// each half's window (four bytes a value: the value's byte, then three
// masked off), each value's weights in single and in double precision, and
// bit v of `exact` set where value v's column sums a pair of equal samples
// exactly (its fraction takes at most 45 bits, so each product and the sum
// are exact in doubles), of `leftOnly` where its right weight is 0.
struct FloatPattern {
  BYTE pick[2][3][32];
  float w[2][24];
  double wd[2][24];
  uint32_t exact;
  uint32_t leftOnly;
  BYTE unused[24];
};

// Eight target pixels of 3 bytes for the checked loop: the byte offsets of
// the six halves' windows, left and right samples (the same where one
// window holds both).
struct FloatOctet {
  int32_t base[2][6];
  const FloatPattern* pattern;
};

// How the quads read their samples: 3 bytes a pixel from one 16-byte load
// a sample side (when every quad's samples lie that close), 3 bytes a pixel
// from a load a pixel, or 4 bytes a pixel; eight pixels of 3 bytes from one
// 64-byte load a sample side, or two; when every weight is a few bits'
// fraction, 3 bytes a pixel in exact fixed point, from two 16-byte loads a
// sample side; or eight pixels of 3 bytes in single precision, checked
// (from six 16-byte loads a sample side).
enum QuadKind {
  kQuadWindow3,
  kQuadGather3,
  kQuad4,
  kOctetWindow3,
  kOctetWide3,
  kQuadFixed3,
  kOctetFloat3
};

// The columns of a row done in the wide loop: the first `columns` target
// columns, in quads of four or octets of eight (`units`) read the `kind`
// way, and the block of the patterns they point to; for the fixed-point
// loop the fraction bits of the columns' and the rows' weights.
struct QuadPlan {
  QuadKind kind;
  int columns;
  void* units;
  void* patternBlock;
  int columnBits;
  int rowBits;
  bool oneWindow;  // the checked loop's: one window a half for both sides
  // The checked loop's octets at the row's end, after the others: how many,
  // the first byte of the row they read (from a padded copy of the row from
  // there: their windows' offsets count from it), and the bytes of the last.
  int tailOctets;
  int tailStart;
  int tailLastBytes;
};

ColumnWeights ColumnAt(int j, double xScale, int width, int bpp) {
  int left, right;
  double frac;
  MapPosition(j, xScale, width, &left, &right, &frac);
  return {static_cast<size_t>(left) * bpp, static_cast<size_t>(right) * bpp, 1 - frac, frac};
}

// Whether a quad of 3-byte pixels can read each sample side as the 16
// bytes from its first pixel's sample.
bool FitsWindow(const PixelQuad& q, size_t stride) {
  return q.left[3] - q.left[0] + 3 <= 16 && q.right[3] - q.right[0] + 3 <= 16 &&
         static_cast<size_t>(q.right[0]) + 16 <= stride;
}

// The picks of `values` values of 3-byte pixels (pixel p's at offsets[p]),
// each relative to the first pixel's offset in a window of `window` bytes.
void MakePicks(const int32_t* offsets, int values, int window, BYTE* picks) {
  for (int v = 0; v < values; ++v) {
    BYTE* pick = picks + 8 * v;
    pick[0] = static_cast<BYTE>((offsets[v / 3] - offsets[0] + v % 3) & (window - 1));
    memset(pick + 1, 0x80, 7);
  }
}

void MakePattern(const PixelQuad& q, const ColumnWeights* columns, int bpp, QuadPattern* pattern) {
  memset(pattern, 0, sizeof(QuadPattern));
  const int values = bpp == 3 ? 3 : 1;
  for (int p = 0; p < 4; ++p) {
    for (int c = 0; c < values; ++c) {
      pattern->wl[values * p + c] = columns[p].wl;
      pattern->wr[values * p + c] = columns[p].wr;
    }
  }
  if (bpp != 3) return;
  MakePicks(q.left, 12, 16, pattern->pickLeft);
  MakePicks(q.right, 12, 16, pattern->pickRight);
}

void FreeQuadPlan(QuadPlan* plan) {
  FreeBlock(plan->units);
  FreeBlock(plan->patternBlock);
  plan->units = nullptr;
  plan->patternBlock = nullptr;
}

// The patterns of the units, each kept once: true when there are at most
// `slots`, each unit then pointing to its own and `*distinct` telling how
// many there are. make(n, pattern) makes unit n's.
template <class Unit, class Pattern, class Make>
bool SharePatterns(Unit* units, int count, Pattern* patterns, int slots, int* distinct, Make make) {
  Pattern candidate;
  int kept = 0, next = 0;
  for (int n = 0; n < count; ++n) {
    make(n, &candidate);
    int found = -1;
    for (int t = 0; t < kept && found < 0; ++t) {
      const int k = (next + t) % kept;
      if (!memcmp(&patterns[k], &candidate, sizeof(Pattern))) found = k;
    }
    if (found < 0) {
      if (kept == slots) return false;
      found = kept++;
      patterns[found] = candidate;
    }
    units[n].pattern = &patterns[found];
    next = found + 1;
  }
  *distinct = kept;
  return true;
}

// A block for `count` patterns, which start 64-byte aligned within it.
template <class Pattern>
Pattern* AllocPatterns(int count, void** block) {
  *block = AllocZeroed(sizeof(Pattern) * count + 64);
  return reinterpret_cast<Pattern*>((reinterpret_cast<uintptr_t>(*block) + 63) &
                                    ~static_cast<uintptr_t>(63));
}

// Neighbouring units usually repeat a few patterns (the scale's period):
// those are kept once, in a small block, so that the loop reads them from
// the cache; otherwise each unit has its own. False when out of memory.
template <class Unit, class Pattern, class Make>
bool KeepPatterns(Unit* units, int count, void** block, Make make) {
  const int kFew = 6144 / sizeof(Pattern);
  Pattern few[kFew];
  int distinct = 0;
  if (SharePatterns(units, count, few, kFew, &distinct, make)) {
    Pattern* patterns = AllocPatterns<Pattern>(distinct, block);
    if (!*block) return false;
    memcpy(patterns, few, sizeof(Pattern) * distinct);
    for (int n = 0; n < count; ++n) units[n].pattern = patterns + (units[n].pattern - few);
    return true;
  }
  Pattern* patterns = AllocPatterns<Pattern>(count, block);
  if (!*block) return false;
  for (int n = 0; n < count; ++n) {
    make(n, &patterns[n]);
    units[n].pattern = &patterns[n];
  }
  return true;
}

// How many octets from the first can read each sample side as the
// `window` bytes from their first pixel's.
int OctetsFitting(double xScale, int width, int count, size_t window) {
  const size_t stride = static_cast<size_t>(width) * 3;
  int fits = 0;
  while (fits < count) {
    const ColumnWeights first = ColumnAt(8 * fits, xScale, width, 3);
    const ColumnWeights last = ColumnAt(8 * fits + 7, xScale, width, 3);
    if (last.left - first.left + 3 > window || last.right - first.right + 3 > window ||
        first.right + window > stride)
      break;
    ++fits;
  }
  return fits;
}

// Octets for the first `wide` columns of 3-byte pixels when nearly all of
// them can read each sample side as the 64 or 128 bytes from their first
// pixel's: true when planned (or out of memory, *ok false), false to plan
// quads.
bool PlanOctets(double xScale, int width, int wide, QuadPlan* plan, bool* ok) {
  *ok = true;
  const int count = wide / 8;
  int window = 64;
  int fits = OctetsFitting(xScale, width, count, window);
  if (fits + 4 < count) {
    window = 128;
    fits = OctetsFitting(xScale, width, count, window);
    if (fits + 4 < count) return false;
  }
  plan->kind = window == 64 ? kOctetWindow3 : kOctetWide3;
  plan->columns = 8 * fits;
  if (!fits) return true;
  PixelOctet* octets = static_cast<PixelOctet*>(AllocZeroed(sizeof(PixelOctet) * fits));
  plan->units = octets;
  auto make = [&](int n, OctetPattern* pattern) {
    memset(pattern, 0, sizeof(OctetPattern));
    int32_t left[8], right[8];
    for (int p = 0; p < 8; ++p) {
      const ColumnWeights m = ColumnAt(8 * n + p, xScale, width, 3);
      left[p] = static_cast<int32_t>(m.left);
      right[p] = static_cast<int32_t>(m.right);
      for (int c = 0; c < 3; ++c) {
        pattern->wl[3 * p + c] = m.wl;
        pattern->wr[3 * p + c] = m.wr;
      }
    }
    octets[n].left = left[0];
    octets[n].right = right[0];
    MakePicks(left, 24, window, pattern->pickLeft);
    MakePicks(right, 24, window, pattern->pickRight);
  };
  *ok = octets && KeepPatterns<PixelOctet, OctetPattern>(octets, fits, &plan->patternBlock, make);
  return true;
}

// The sample sides a window holds: each side its own (kEachSide), or both.
enum { kEachSide = 0, kLeftSamples = 1, kRightSamples = 2, kBothSamples = 3 };

// The column of value v of octet n: past the last (`columnCount`), the
// last again.
inline int OctetColumn(int n, int v, int columnCount) {
  const int j = 8 * n + v / 3;
  return j < columnCount ? j : columnCount - 1;
}

// The byte offsets of octet n's 24 values' left and right samples
// (`columns`: the 3-byte columns' weights, `columnCount` of them).
__attribute__((optimize("O2"))) void OctetOffsets(const ColumnWeights* columns, int columnCount,
                                                 int n, int32_t* left, int32_t* right) {
  for (int v = 0; v < 24; ++v) {
    const ColumnWeights& m = columns[OctetColumn(n, v, columnCount)];
    left[v] = static_cast<int32_t>(m.left) + v % 3;
    right[v] = static_cast<int32_t>(m.right) + v % 3;
  }
}

// The windows of an octet's six halves (values 4h to 4h + 3), left then
// right, with `sides` kBothSamples one for both (the same for the two
// sides), with kEachSide one a side: each one's first byte. False when some half's samples do not lie within 16
// bytes from it or the 16 bytes run past the row (`stride` bytes).
__attribute__((optimize("O2"))) bool OctetWindows(const int32_t* left, const int32_t* right,
                                                 int sides, size_t stride, int32_t base[2][6]) {
  for (int side = 0; side < 2; ++side) {
    const int want = sides == kBothSamples ? kBothSamples : 1 << side;
    for (int h = 0; h < 6; ++h) {
      int32_t lo = 0x7FFFFFFF, hi = -1;
      for (int v = 4 * h; v < 4 * h + 4; ++v) {
        if (want & kLeftSamples) {
          lo = left[v] < lo ? left[v] : lo;
          hi = left[v] > hi ? left[v] : hi;
        }
        if (want & kRightSamples) {
          lo = right[v] < lo ? right[v] : lo;
          hi = right[v] > hi ? right[v] : hi;
        }
      }
      if (hi - lo > 15 || static_cast<size_t>(lo) + 16 > stride) return false;
      base[side][h] = lo;
    }
  }
  return true;
}

// Whether a pair of equal samples weighted as wl = 1 - wr, wr (a column's
// weights, or a row's) sums exactly to their value in doubles: when wr has
// at most 45 fraction bits, each product of an 8-bit value takes at most 53
// bits and so does their sum.
bool SumsEqualSamplesExactly(double wr) {
  const double scaled = wr * 35184372088832.0;  // 2^45: exact
  return scaled == static_cast<double>(static_cast<int64_t>(scaled));
}

// Octet n's windows and pattern (`sides`: as for OctetWindows, whose test
// the octet has passed).
__attribute__((optimize("O2"))) void MakeFloatPattern(const ColumnWeights* columns,
                                                      int columnCount, int n, int sides,
                                                      size_t stride, FloatOctet* octet,
                                                      FloatPattern* pattern) {
  memset(pattern, 0, sizeof(FloatPattern));
  memset(pattern->pick, 0x80, sizeof(pattern->pick));
  int32_t at[2][24];
  OctetOffsets(columns, columnCount, n, at[0], at[1]);
  OctetWindows(at[0], at[1], sides, stride, octet->base);
  for (int side = 0; side < 2; ++side)
    for (int v = 0; v < 24; ++v)
      pattern->pick[side][v / 8][16 * ((v / 4) % 2) + 4 * (v % 4)] =
          static_cast<BYTE>(at[side][v] - octet->base[side][v / 4]);
  for (int v = 0; v < 24; ++v) {
    const ColumnWeights& m = columns[OctetColumn(n, v, columnCount)];
    pattern->wd[0][v] = m.wl;
    pattern->wd[1][v] = m.wr;
    pattern->w[0][v] = static_cast<float>(m.wl);
    pattern->w[1][v] = static_cast<float>(m.wr);
    if (SumsEqualSamplesExactly(m.wr)) pattern->exact |= 1u << v;
    if (m.wr == 0) pattern->leftOnly |= 1u << v;
  }
}

// The most bytes the checked loop's octets at the row's end read from.
const int kFloatTailBytes = 240;

// Octets for the checked single-precision loop over the first `wide`
// columns of 3-byte pixels when nearly all of them can read their halves
// from 16-byte windows: one a half for both sample sides where they lie that
// close (scales down to about a third), else one a side. True when planned
// (or out of memory, *ok false), false to plan another loop.
bool PlanFloat(const ColumnWeights* columns, int width, int wide, int tw, QuadPlan* plan,
               bool* ok) {
  *ok = true;
  const int count = wide / 8;
  if (!count) return false;
  const size_t stride = static_cast<size_t>(width) * 3;
  auto windowsOf = [&](int n, int sides, size_t limit, int32_t base[2][6]) {
    int32_t left[24], right[24];
    OctetOffsets(columns, tw, n, left, right);
    return OctetWindows(left, right, sides, limit, base);
  };
  auto fitsWindows = [&](int n, int sides) {
    int32_t base[2][6];
    return windowsOf(n, sides, stride, base);
  };
  int fits = 0;
  while (fits < count && fitsWindows(fits, kBothSamples)) ++fits;
  const bool oneWindow = fits > 0 && fits + 4 >= count;
  if (!oneWindow) {
    fits = 0;
    while (fits < count && fitsWindows(fits, kEachSide)) ++fits;
  }
  if (fits == 0 || fits + 4 < count) return false;
  // The octets to the row's end read a padded copy of its last bytes, when
  // their windows (the columns past the last taken as the last) lie within
  // it.
  const int total = (tw + 7) / 8;
  int tailStart = static_cast<int>(stride);
  int tailEnd = 0;
  bool tail = oneWindow && total > fits;
  for (int n = fits; n < total && tail; ++n) {
    int32_t base[2][6];
    tail = windowsOf(n, kBothSamples, ~static_cast<size_t>(0) >> 1, base);
    for (int h = 0; h < 6 && tail; ++h) {
      tailStart = base[0][h] < tailStart ? base[0][h] : tailStart;
      tailEnd = base[0][h] + 16 > tailEnd ? base[0][h] + 16 : tailEnd;
    }
  }
  tail = tail && tailEnd - tailStart <= kFloatTailBytes;
  const int units = tail ? total : fits;
  plan->kind = kOctetFloat3;
  plan->oneWindow = oneWindow;
  plan->columns = tail ? tw : 8 * fits;
  plan->tailOctets = tail ? total - fits : 0;
  plan->tailStart = tail ? tailStart : 0;
  plan->tailLastBytes = 3 * (tw - 8 * (total - 1));
  FloatOctet* octets = static_cast<FloatOctet*>(AllocZeroed(sizeof(FloatOctet) * units));
  plan->units = octets;
  auto make = [&](int n, FloatPattern* pattern) {
    MakeFloatPattern(columns, tw, n, oneWindow ? kBothSamples : kEachSide,
                     n < fits ? stride : ~static_cast<size_t>(0) >> 1, &octets[n], pattern);
  };
  *ok = octets && KeepPatterns<FloatOctet, FloatPattern>(octets, units, &plan->patternBlock, make);
  for (int n = fits; n < units && *ok; ++n)
    for (int h = 0; h < 6; ++h) {
      octets[n].base[0][h] -= tailStart;
      octets[n].base[1][h] -= tailStart;
    }
  return true;
}

// The widest loop the resizer may use (LimitResizeLoops).
int widestResizeLoop = kResizeLoopsWidest;

// The fraction bits of the fixed-point loop's sums: the columns' and the
// rows' together. A value then is at most 255 x 2^8 before the shift, which
// 16 bits hold.
const int kFixedBits = 8;

// How many bits after the point a weight of 0 to 1 has: 0 to kFixedBits,
// or kFixedBits + 1 for more (or none).
int FractionBits(double weight) {
  for (int bits = 0; bits <= kFixedBits; ++bits) {
    const double scaled = weight * (1 << bits);  // exact: a power of two
    if (scaled == static_cast<int>(scaled)) return bits;
  }
  return kFixedBits + 1;
}

// The fraction bits of the rows' weights.
int RowFractionBits(double yScale, int height, int th) {
  int bits = 0;
  for (int i = 0; i < th && bits <= kFixedBits; ++i) {
    int r0, r1;
    double fy;
    MapPosition(i, yScale, height, &r0, &r1, &fy);
    const int b = FractionBits(fy);
    if (b > bits) bits = b;
  }
  return bits;
}

// The exact fixed-point loop for 3-byte pixels: when every weight of a
// column and of a row is a fraction of few bits (1.5 times smaller, 0.75,
// twice: many of the common scales), every product and sum the plain loop
// computes in doubles is exact, so integer sums give the very values it
// truncates. True when planned (or out of memory, *ok false), false to plan
// another loop.
bool PlanFixed(double xScale, int width, int wide, int rowBits, QuadPlan* plan, bool* ok) {
  *ok = true;
  if (rowBits > kFixedBits) return false;
  const size_t stride = static_cast<size_t>(width) * 3;
  const int count = wide / 4;
  // The leading quads whose halves' samples lie within 16 bytes of the
  // half's first one (16 bytes from which lie within the row), and the
  // bits their weights take.
  int fits = 0, columnBits = 0;
  for (; fits < count; ++fits) {
    ColumnWeights c[4];
    for (int p = 0; p < 4; ++p) c[p] = ColumnAt(4 * fits + p, xScale, width, 3);
    // The last byte of each half: pixel 2's second value in the first,
    // pixel 3's third in the second.
    if (c[2].left + 1 - c[0].left > 15 || c[3].left + 2 - c[2].left > 15 ||
        c[2].right + 1 - c[0].right > 15 || c[3].right + 2 - c[2].right > 15 ||
        c[2].right + 16 > stride)
      break;
    int bits = columnBits;
    for (int p = 0; p < 4; ++p) {
      const int b = FractionBits(c[p].wr);
      if (b > bits) bits = b;
    }
    if (bits + rowBits > kFixedBits) break;
    columnBits = bits;
  }
  if (fits == 0 || fits + 8 < count) return false;
  plan->kind = kQuadFixed3;
  plan->columns = 4 * fits;
  plan->columnBits = columnBits;
  plan->rowBits = rowBits;
  FixedQuad* quads = static_cast<FixedQuad*>(AllocZeroed(sizeof(FixedQuad) * fits));
  plan->units = quads;
  const int whole = 1 << columnBits;
  auto make = [&](int n, FixedPattern* pattern) {
    memset(pattern, 0x80, sizeof(pattern->pickLeft) + sizeof(pattern->pickRight));
    memset(pattern->wl, 0, sizeof(pattern->wl) + sizeof(pattern->wr));
    ColumnWeights c[4];
    for (int p = 0; p < 4; ++p) c[p] = ColumnAt(4 * n + p, xScale, width, 3);
    for (int half = 0; half < 2; ++half) {
      quads[n].left[half] = static_cast<int32_t>(c[2 * half].left);
      quads[n].right[half] = static_cast<int32_t>(c[2 * half].right);
    }
    for (int v = 0; v < 12; ++v) {
      const int half = v < 8 ? 0 : 1;
      const ColumnWeights& m = c[v / 3];
      pattern->pickLeft[2 * v] = static_cast<BYTE>(m.left + v % 3 - c[2 * half].left);
      pattern->pickRight[2 * v] = static_cast<BYTE>(m.right + v % 3 - c[2 * half].right);
      const int right = static_cast<int>(m.wr * whole);
      pattern->wl[v] = static_cast<int16_t>(whole - right);
      pattern->wr[v] = static_cast<int16_t>(right);
    }
  };
  *ok = quads && KeepPatterns<FixedQuad, FixedPattern>(quads, fits, &plan->patternBlock, make);
  return true;
}

// Plans the wide loop of a row of `tw` columns: none without AVX2 or for 1
// or 2 bytes a pixel. Each sample is read as at least 4 bytes, so a pixel
// of 3 bytes reads past it: the columns whose samples end near the row's
// end (where those bytes could lie past the picture) are left to the plain
// loop. `rowBits`: the fraction bits of the rows' weights (RowFractionBits);
// `checked`: whether the checked single-precision loop may be taken;
// `columns`: every column's weights. False when out of memory.
bool PlanQuads(double xScale, int width, int tw, int bpp, int rowBits, bool checked,
               const ColumnWeights* columns, QuadPlan* plan) {
  *plan = {};
  plan->kind = bpp == 3 ? kQuadWindow3 : kQuad4;
  if ((bpp != 3 && bpp != 4) || !ProcessorHasAvx2() || widestResizeLoop < kResizeLoopsAvx2)
    return true;
  const size_t stride = static_cast<size_t>(width) * bpp;
  int wide = 0;
  while (wide < tw && columns[wide].left + 4 <= stride && columns[wide].right + 4 <= stride) ++wide;
  bool ok;
  if (bpp == 3 && PlanFixed(xScale, width, wide, rowBits, plan, &ok)) return ok;
  // The AVX-512 octets in doubles, where they have columns, are quicker
  // than the checked loop.
  if (bpp == 3 && widestResizeLoop >= kResizeLoopsWidest && ProcessorHasAvx512Bytes() &&
      PlanOctets(xScale, width, wide, plan, &ok)) {
    if (plan->columns > 0 || !ok) return ok;
    FreeQuadPlan(plan);
    plan->kind = kQuadWindow3;
  }
  if (bpp == 3 && checked && PlanFloat(columns, width, wide, tw, plan, &ok)) return ok;
  int count = wide / 4;
  if (!count) return true;
  PixelQuad* quads = static_cast<PixelQuad*>(AllocZeroed(sizeof(PixelQuad) * count));
  plan->units = quads;
  if (!quads) return false;
  int windows = 0;
  for (int n = 0; n < count; ++n) {
    PixelQuad& q = quads[n];
    for (int p = 0; p < 4; ++p) {
      const ColumnWeights m = ColumnAt(4 * n + p, xScale, width, bpp);
      q.left[p] = static_cast<int32_t>(m.left);
      q.right[p] = static_cast<int32_t>(m.right);
    }
    if (windows == n && bpp == 3 && FitsWindow(q, stride)) ++windows;
  }
  // A few quads short of the row's end cost little in the plain loop; more
  // go the slower way instead.
  if (bpp == 3) {
    if (windows + 8 >= count)
      count = windows;
    else
      plan->kind = kQuadGather3;
  }
  plan->columns = 4 * count;
  if (!count) return true;
  auto make = [&](int n, QuadPattern* pattern) {
    ColumnWeights columns[4];
    for (int p = 0; p < 4; ++p) columns[p] = ColumnAt(4 * n + p, xScale, width, bpp);
    MakePattern(quads[n], columns, bpp, pattern);
  };
  return KeepPatterns<PixelQuad, QuadPattern>(quads, count, &plan->patternBlock, make);
}

inline int Load32(const BYTE* p) {
  int v;
  memcpy(&v, p, 4);
  return v;
}

// The quad loop's helpers are built with AVX2 and for speed (the library
// is otherwise built for size), and inlined into it.
#define LW_QUAD_STEP __attribute__((target("avx2"), optimize("O2"), always_inline)) inline

// A quad's values: three or four vectors of four (v3 unused for 3 bytes a
// pixel).
struct QuadValues {
  __m256d v0, v1, v2, v3;
};

// Four bytes picked from a 16-byte window (the same in both halves), as
// doubles: each one's bits put below those of 2^52, and 2^52 taken away,
// which gives the byte's value exactly.
LW_QUAD_STEP __m256d WidenPicked(__m256i window, const BYTE* pick) {
  const __m256i picks = _mm256_load_si256(reinterpret_cast<const __m256i*>(pick));
  const __m256i bits = _mm256_or_si256(_mm256_shuffle_epi8(window, picks),
                                       _mm256_set1_epi64x(0x4330000000000000LL));
  return _mm256_sub_pd(_mm256_castsi256_pd(bits), _mm256_set1_pd(4503599627370496.0));
}

// The 16 bytes at p in both halves.
LW_QUAD_STEP __m256i Window16(const BYTE* p) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// Four 32-bit integers picked from bytes, as doubles.
LW_QUAD_STEP __m256d PickInts(__m128i bytes, __m128i pick) {
  return _mm256_cvtepi32_pd(_mm_shuffle_epi8(bytes, pick));
}

// The four bytes at p as doubles.
LW_QUAD_STEP __m256d PixelValues(const BYTE* p) {
  return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(Load32(p))));
}

LW_QUAD_STEP __m256d Weigh(__m256d l, __m256d r, const double* wl, const double* wr) {
  return _mm256_add_pd(_mm256_mul_pd(l, _mm256_load_pd(wl)), _mm256_mul_pd(r, _mm256_load_pd(wr)));
}

// A quad of one source row resampled: each value l x wl + r x wr, the
// samples widened to doubles (exactly).
template <int Kind>
LW_QUAD_STEP QuadValues ResampleQuad(const BYTE* s, const PixelQuad& q) {
  const QuadPattern& t = *q.pattern;
  QuadValues v;
  if (Kind == kQuadWindow3) {
    const __m256i l = Window16(s + q.left[0]);
    const __m256i r = Window16(s + q.right[0]);
    v.v0 = Weigh(WidenPicked(l, t.pickLeft), WidenPicked(r, t.pickRight), t.wl, t.wr);
    v.v1 = Weigh(WidenPicked(l, t.pickLeft + 32), WidenPicked(r, t.pickRight + 32), t.wl + 4, t.wr + 4);
    v.v2 = Weigh(WidenPicked(l, t.pickLeft + 64), WidenPicked(r, t.pickRight + 64), t.wl + 8, t.wr + 8);
    v.v3 = v.v2;
  } else if (Kind == kQuadGather3) {
    // The four pixels' bytes side by side, then each vector's four values
    // picked out as 32-bit integers.
    const __m128i l = _mm_setr_epi32(Load32(s + q.left[0]), Load32(s + q.left[1]),
                                     Load32(s + q.left[2]), Load32(s + q.left[3]));
    const __m128i r = _mm_setr_epi32(Load32(s + q.right[0]), Load32(s + q.right[1]),
                                     Load32(s + q.right[2]), Load32(s + q.right[3]));
    const __m128i pick0 = _mm_setr_epi8(0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, 4, -1, -1, -1);
    const __m128i pick1 = _mm_setr_epi8(5, -1, -1, -1, 6, -1, -1, -1, 8, -1, -1, -1, 9, -1, -1, -1);
    const __m128i pick2 = _mm_setr_epi8(10, -1, -1, -1, 12, -1, -1, -1, 13, -1, -1, -1, 14, -1, -1, -1);
    v.v0 = Weigh(PickInts(l, pick0), PickInts(r, pick0), t.wl, t.wr);
    v.v1 = Weigh(PickInts(l, pick1), PickInts(r, pick1), t.wl + 4, t.wr + 4);
    v.v2 = Weigh(PickInts(l, pick2), PickInts(r, pick2), t.wl + 8, t.wr + 8);
    v.v3 = v.v2;
  } else {
    __m256d* out[4] = {&v.v0, &v.v1, &v.v2, &v.v3};
    for (int p = 0; p < 4; ++p) {
      const __m256d lv = PixelValues(s + q.left[p]);
      const __m256d rv = PixelValues(s + q.right[p]);
      *out[p] = _mm256_add_pd(_mm256_mul_pd(lv, _mm256_broadcast_sd(t.wl + p)),
                              _mm256_mul_pd(rv, _mm256_broadcast_sd(t.wr + p)));
    }
  }
  return v;
}

// A quad's values truncated to bytes; they lie in 0 to 255, so the
// saturating packs change none of them.
template <int Bpp>
LW_QUAD_STEP void StoreQuad(const QuadValues& v, BYTE* out) {
  const __m128i a = _mm256_cvttpd_epi32(v.v0), b = _mm256_cvttpd_epi32(v.v1);
  const __m128i c = _mm256_cvttpd_epi32(v.v2);
  const __m128i d = Bpp == 4 ? _mm256_cvttpd_epi32(v.v3) : c;
  const __m128i bytes = _mm_packus_epi16(_mm_packus_epi32(a, b), _mm_packus_epi32(c, d));
  if (Bpp == 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
  } else {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    const int last = _mm_extract_epi32(bytes, 2);
    memcpy(out + 8, &last, 4);
  }
}

LW_QUAD_STEP __m256d Blend(__m256d row0, __m256d row1, __m256d f, __m256d g) {
  return _mm256_add_pd(_mm256_mul_pd(row1, f), _mm256_mul_pd(row0, g));
}

// Target rows done together in the quads, and the source rows they read
// (each resampled once a quad).
const int kGroupSources = 16;
const int kGroupRows = 32;

// A target row of a group: row1 x fy + row0 x gy (gy = 1 - fy) of its
// group's source rows a and b; with `one` (fy is 0) row a alone, which is
// what that sum gives then (row1 x 0 + row0 x 1 == row0).
struct GroupRow {
  int a;
  int b;
  bool one;
  double fy;
  double gy;
  BYTE* out;
  // For the checked loop, made when first wanted: bit n set where a pair
  // of rows both n exactly blends to just under n.
  bool belowMade;
  uint32_t below[8];
  // Whether fy has at most 12 fraction bits: the blend of two whole values
  // is then exact in single precision (and in doubles).
  bool shortWeights;
};

// The quads of a group of target rows, truncated to bytes, each source row
// resampled once a quad and blended in the order of the plain loop.
template <int Kind>
__attribute__((target("avx2"), optimize("O2"))) void GroupQuadsAvx2(
    const PixelQuad* quads, int count, const BYTE* const* sources, int sourceCount,
    const GroupRow* rows, int rowCount) {
  const int Bpp = Kind == kQuad4 ? 4 : 3;
  QuadValues resampled[kGroupSources];
  for (int n = 0; n < count; ++n) {
    for (int k = 0; k < sourceCount; ++k) resampled[k] = ResampleQuad<Kind>(sources[k], quads[n]);
    const size_t at = static_cast<size_t>(n) * 4 * Bpp;
    for (int r = 0; r < rowCount; ++r) {
      const GroupRow& row = rows[r];
      QuadValues v = resampled[row.a];
      if (!row.one) {
        const QuadValues& w = resampled[row.b];
        const __m256d f = _mm256_set1_pd(row.fy), g = _mm256_set1_pd(row.gy);
        v.v0 = Blend(v.v0, w.v0, f, g);
        v.v1 = Blend(v.v1, w.v1, f, g);
        v.v2 = Blend(v.v2, w.v2, f, g);
        if (Bpp == 4) v.v3 = Blend(v.v3, w.v3, f, g);
      }
      StoreQuad<Bpp>(v, row.out + at);
    }
  }
}

#undef LW_QUAD_STEP

// The octet loop's helpers, built with the AVX-512 parts it uses. Its sums
// use the rounding-mode forms, which the compiler never fuses into a
// multiply-add: each product and sum is rounded as in the plain loop.
#define LW_OCTET_STEP                                                                       \
  __attribute__((target("avx512f,avx512bw,avx512dq,avx512vbmi"), optimize("O2"), always_inline)) \
  inline
#define LW_ROUNDED (_MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC)

struct OctetValues {
  __m512d v0, v1, v2;
};

// Eight bytes picked from a window of 64 bytes (lo) or 128 (lo, hi), each
// widened to a double (exactly).
template <int Window>
LW_OCTET_STEP __m512d WidenOctet(__m512i lo, __m512i hi, const BYTE* pick) {
  const __mmask64 lowBytes = 0x0101010101010101ULL;
  const __m512i picks = _mm512_load_si512(pick);
  const __m512i lanes = Window == 64 ? _mm512_maskz_permutexvar_epi8(lowBytes, picks, lo)
                                     : _mm512_maskz_permutex2var_epi8(lowBytes, lo, picks, hi);
  return _mm512_cvtepi64_pd(lanes);
}

LW_OCTET_STEP __m512d WeighOctet(__m512d l, __m512d r, const double* wl, const double* wr) {
  return _mm512_add_round_pd(_mm512_mul_round_pd(l, _mm512_load_pd(wl), LW_ROUNDED),
                             _mm512_mul_round_pd(r, _mm512_load_pd(wr), LW_ROUNDED), LW_ROUNDED);
}

template <int Window>
LW_OCTET_STEP OctetValues ResampleOctet(const BYTE* s, const PixelOctet& o) {
  const OctetPattern& t = *o.pattern;
  const __m512i l = _mm512_loadu_si512(s + o.left);
  const __m512i r = _mm512_loadu_si512(s + o.right);
  const __m512i lh = Window == 64 ? l : _mm512_loadu_si512(s + o.left + 64);
  const __m512i rh = Window == 64 ? r : _mm512_loadu_si512(s + o.right + 64);
  OctetValues v;
  v.v0 = WeighOctet(WidenOctet<Window>(l, lh, t.pickLeft), WidenOctet<Window>(r, rh, t.pickRight),
                    t.wl, t.wr);
  v.v1 = WeighOctet(WidenOctet<Window>(l, lh, t.pickLeft + 64),
                    WidenOctet<Window>(r, rh, t.pickRight + 64), t.wl + 8, t.wr + 8);
  v.v2 = WeighOctet(WidenOctet<Window>(l, lh, t.pickLeft + 128),
                    WidenOctet<Window>(r, rh, t.pickRight + 128), t.wl + 16, t.wr + 16);
  return v;
}

LW_OCTET_STEP __m512d BlendOctet(__m512d row0, __m512d row1, __m512d f, __m512d g) {
  return _mm512_add_round_pd(_mm512_mul_round_pd(row1, f, LW_ROUNDED),
                             _mm512_mul_round_pd(row0, g, LW_ROUNDED), LW_ROUNDED);
}

// Eight values truncated to bytes (they lie in 0 to 255).
LW_OCTET_STEP void StoreOctetPart(__m512d v, BYTE* out) {
  const __m128i bytes = _mm512_maskz_cvtepi64_epi8(0xFF, _mm512_cvttpd_epi64(v));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
}

// GroupQuadsAvx2 for octets of 3-byte pixels.
template <int Window>
__attribute__((target("avx512f,avx512bw,avx512dq,avx512vbmi"), optimize("O2"))) void
GroupOctetsAvx512(const PixelOctet* octets, int count, const BYTE* const* sources,
                  int sourceCount, const GroupRow* rows, int rowCount) {
  OctetValues resampled[kGroupSources];
  for (int n = 0; n < count; ++n) {
    for (int k = 0; k < sourceCount; ++k) resampled[k] = ResampleOctet<Window>(sources[k], octets[n]);
    const size_t at = static_cast<size_t>(n) * 24;
    for (int r = 0; r < rowCount; ++r) {
      const GroupRow& row = rows[r];
      OctetValues v = resampled[row.a];
      if (!row.one) {
        const OctetValues& w = resampled[row.b];
        const __m512d f = _mm512_set1_pd(row.fy), g = _mm512_set1_pd(row.gy);
        v.v0 = BlendOctet(v.v0, w.v0, f, g);
        v.v1 = BlendOctet(v.v1, w.v1, f, g);
        v.v2 = BlendOctet(v.v2, w.v2, f, g);
      }
      StoreOctetPart(v.v0, row.out + at);
      StoreOctetPart(v.v1, row.out + at + 8);
      StoreOctetPart(v.v2, row.out + at + 16);
    }
  }
}

#undef LW_ROUNDED
#undef LW_OCTET_STEP

// GroupQuadsAvx2 for the exact fixed-point quads: 16 bits a value, each
// source row's sum l x wl + r x wr in units of 2^-columnBits, each target
// row's row0 x gy + row1 x fy of those in units of 2^-(columnBits +
// rowBits), shifted down (the truncation of an exact sum).
__attribute__((target("avx2"), optimize("O2"))) void GroupFixedAvx2(
    const FixedQuad* quads, int count, const BYTE* const* sources, int sourceCount,
    const GroupRow* rows, int rowCount, int columnBits, int rowBits) {
  __m256i gy[kGroupRows], fy[kGroupRows];
  for (int r = 0; r < rowCount; ++r) {
    const int f = static_cast<int>(rows[r].fy * (1 << rowBits));
    fy[r] = _mm256_set1_epi16(static_cast<int16_t>(f));
    gy[r] = _mm256_set1_epi16(static_cast<int16_t>((1 << rowBits) - f));
  }
  const __m128i oneShift = _mm_cvtsi32_si128(columnBits);
  const __m128i twoShift = _mm_cvtsi32_si128(columnBits + rowBits);
  __m256i sums[kGroupSources];
  for (int n = 0; n < count; ++n) {
    const FixedQuad& q = quads[n];
    const FixedPattern& t = *q.pattern;
    const __m256i pickLeft = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.pickLeft));
    const __m256i pickRight = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.pickRight));
    const __m256i wl = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.wl));
    const __m256i wr = _mm256_load_si256(reinterpret_cast<const __m256i*>(t.wr));
    for (int k = 0; k < sourceCount; ++k) {
      const BYTE* s = sources[k];
      const __m256i l = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(s + q.left[1]),
                                            reinterpret_cast<const __m128i*>(s + q.left[0]));
      const __m256i r = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(s + q.right[1]),
                                            reinterpret_cast<const __m128i*>(s + q.right[0]));
      sums[k] = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_shuffle_epi8(l, pickLeft), wl),
                                 _mm256_mullo_epi16(_mm256_shuffle_epi8(r, pickRight), wr));
    }
    for (int r = 0; r < rowCount; ++r) {
      const GroupRow& row = rows[r];
      const __m256i v =
          row.one ? _mm256_srl_epi16(sums[row.a], oneShift)
                  : _mm256_srl_epi16(_mm256_add_epi16(_mm256_mullo_epi16(sums[row.a], gy[r]),
                                                      _mm256_mullo_epi16(sums[row.b], fy[r])),
                                     twoShift);
      const __m256i packed = _mm256_packus_epi16(v, v);
      const __m128i bytes = _mm_unpacklo_epi64(_mm256_castsi256_si128(packed),
                                               _mm256_extracti128_si256(packed, 1));
      BYTE* out = row.out + static_cast<size_t>(n) * 12;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
      const int last = _mm_extract_epi32(bytes, 2);
      memcpy(out + 8, &last, 4);
    }
  }
}

// The checked single-precision loop. Each value is the plain loop's sum
// computed in floats with an error below 2^-14, plus a margin of 2^-12,
// truncated: where the margined sum lies at least 2^-11 above an integer,
// the exact sum (and the plain loop's doubles, within 2^-40 of it) has the
// same integer part. The values nearer an integer are done again in
// doubles, in the plain loop's order; those of equal samples (all four, or
// one where the right weight is 0) whose sums are exact need no doubles:
// their value blended with itself, looked up in the row's table.
const float kFloatMargin = 1.0f / 4096;

// The 8 values of vector q of an octet on one sample side, as 32-bit
// integers.
__attribute__((target("avx2"), always_inline)) inline __m256i FloatSamples(const BYTE* s,
                                                                            const FloatOctet& o,
                                                                            int side, int q) {
  const __m256i window =
      _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(s + o.base[side][2 * q + 1]),
                          reinterpret_cast<const __m128i*>(s + o.base[side][2 * q]));
  return _mm256_shuffle_epi8(
      window, _mm256_load_si256(reinterpret_cast<const __m256i*>(o.pattern->pick[side][q])));
}

// Lanes of vector q where `bits` (one a value) are set, as all-ones.
__attribute__((target("avx2"), always_inline)) inline __m256i LanesOf(uint32_t bits, int q) {
  const __m256i lane = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
  return _mm256_cmpeq_epi32(
      _mm256_and_si256(_mm256_set1_epi32(static_cast<int>((bits >> (8 * q)) & 0xFF)), lane), lane);
}

// The four 32-bit integers of half h of v as doubles.
__attribute__((target("avx2"), always_inline)) inline __m256d HalfAsDoubles(__m256i v, int h) {
  return _mm256_cvtepi32_pd(h ? _mm256_extracti128_si256(v, 1) : _mm256_castsi256_si128(v));
}

// The row's table of values n whose blend of n with n falls below n, four
// at a time (without multiply-adds, as the plain loop sums).
__attribute__((target("avx2"), noinline)) void MakeBelow(GroupRow* row) {
  memset(row->below, 0, sizeof(row->below));
  const __m256d fy = _mm256_set1_pd(row->fy), gy = _mm256_set1_pd(row->gy);
  const __m256d step = _mm256_set1_pd(4);
  __m256d n = _mm256_setr_pd(0, 1, 2, 3);
  for (int k = 0; k < 256 && !row->one; k += 4, n = _mm256_add_pd(n, step)) {
    const __m256d sum = _mm256_add_pd(_mm256_mul_pd(n, fy), _mm256_mul_pd(n, gy));
    const unsigned below = static_cast<unsigned>(_mm256_movemask_pd(_mm256_cmp_pd(sum, n, _CMP_LT_OQ)));
    row->below[k >> 5] |= below << (k & 31);
  }
  row->belowMade = true;
}

// Vector q of an octet's values for one target row, where `redo` (a bit a
// lane) marks those whose quick sums lie near an integer: they are done
// again. Returns whether any took doubles.
__attribute__((target("avx2"), always_inline)) inline bool RedoNearValues(const FloatOctet& o, const BYTE* sa,
                                                              const BYTE* sb, GroupRow* row,
                                                              __m256i* values, int q, int redo) {
  const FloatPattern& t = *o.pattern;
  const __m256i exact = LanesOf(t.exact, q), leftOnly = LanesOf(t.leftOnly, q);
  const __m256i la = FloatSamples(sa, o, 0, q), ra = FloatSamples(sa, o, 1, q);
  // Lanes whose resampled values are their left samples exactly: in both
  // rows, and for a row of long weights the same in both.
  __m256i same = _mm256_or_si256(_mm256_and_si256(_mm256_cmpeq_epi32(la, ra), exact), leftOnly);
  __m256i lb = la, rb = ra;
  if (!row->one) {
    lb = FloatSamples(sb, o, 0, q);
    rb = FloatSamples(sb, o, 1, q);
    const __m256i sameB =
        _mm256_or_si256(_mm256_and_si256(_mm256_cmpeq_epi32(lb, rb), exact), leftOnly);
    same = _mm256_and_si256(same, sameB);
    if (!row->shortWeights) same = _mm256_and_si256(same, _mm256_cmpeq_epi32(la, lb));
  }
  const int looked = _mm256_movemask_ps(_mm256_castsi256_ps(same)) & redo;
  if (looked) {
    __m256i v = la;
    if (!row->one && row->shortWeights) {
      v = _mm256_cvttps_epi32(
          _mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(lb), _mm256_set1_ps(static_cast<float>(row->fy))),
                        _mm256_mul_ps(_mm256_cvtepi32_ps(la), _mm256_set1_ps(static_cast<float>(row->gy)))));
    } else if (!row->one) {
      if (!row->belowMade) MakeBelow(row);
      const __m256i table = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row->below));
      const __m256i word = _mm256_permutevar8x32_epi32(table, _mm256_srli_epi32(la, 5));
      const __m256i bit = _mm256_srlv_epi32(word, _mm256_and_si256(la, _mm256_set1_epi32(31)));
      v = _mm256_sub_epi32(la, _mm256_and_si256(bit, _mm256_set1_epi32(1)));
    }
    values[q] = _mm256_blendv_epi8(values[q], v, same);
  }
  const int rest = redo & ~looked;
  for (int h = 0; h < 2; ++h) {
    if (!((rest >> (4 * h)) & 15)) continue;
    const __m256d wl = _mm256_loadu_pd(t.wd[0] + 8 * q + 4 * h);
    const __m256d wr = _mm256_loadu_pd(t.wd[1] + 8 * q + 4 * h);
    __m256d v = _mm256_add_pd(_mm256_mul_pd(HalfAsDoubles(la, h), wl),
                              _mm256_mul_pd(HalfAsDoubles(ra, h), wr));
    if (!row->one) {
      const __m256d b = _mm256_add_pd(_mm256_mul_pd(HalfAsDoubles(lb, h), wl),
                                      _mm256_mul_pd(HalfAsDoubles(rb, h), wr));
      v = _mm256_add_pd(_mm256_mul_pd(b, _mm256_set1_pd(row->fy)),
                        _mm256_mul_pd(v, _mm256_set1_pd(row->gy)));
    }
    const __m128i exactValues = _mm256_cvttpd_epi32(v);
    values[q] = h ? _mm256_inserti128_si256(values[q], exactValues, 1)
                  : _mm256_inserti128_si256(values[q], exactValues, 0);
  }
  return rest != 0;
}

#define LW_FLOAT_STEP __attribute__((target("avx2,fma"), optimize("O2"), always_inline)) inline

struct FloatValues {
  __m256 v[3];
};

template <bool OneWindow>
LW_FLOAT_STEP __m256 ResampleFloatVector(const BYTE* s, const FloatOctet& o, int q) {
  const FloatPattern& t = *o.pattern;
  __m256 l, r;
  if (OneWindow) {
    const __m256i window =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(s + o.base[0][2 * q + 1]),
                            reinterpret_cast<const __m128i*>(s + o.base[0][2 * q]));
    l = _mm256_cvtepi32_ps(_mm256_shuffle_epi8(
        window, _mm256_load_si256(reinterpret_cast<const __m256i*>(t.pick[0][q]))));
    r = _mm256_cvtepi32_ps(_mm256_shuffle_epi8(
        window, _mm256_load_si256(reinterpret_cast<const __m256i*>(t.pick[1][q]))));
  } else {
    l = _mm256_cvtepi32_ps(FloatSamples(s, o, 0, q));
    r = _mm256_cvtepi32_ps(FloatSamples(s, o, 1, q));
  }
  return _mm256_fmadd_ps(l, _mm256_load_ps(t.w[0] + 8 * q),
                         _mm256_mul_ps(r, _mm256_load_ps(t.w[1] + 8 * q)));
}

// A quick sum truncated, and in `nearLanes` the lanes whose sums lie in
// `band` above an integer.
LW_FLOAT_STEP __m256i TruncateChecked(__m256 sum, __m256 band, int* nearLanes) {
  const __m256i v = _mm256_cvttps_epi32(sum);
  const __m256 fraction = _mm256_sub_ps(sum, _mm256_cvtepi32_ps(v));
  *nearLanes = _mm256_movemask_ps(_mm256_cmp_ps(fraction, band, _CMP_LT_OQ));
  return v;
}

LW_FLOAT_STEP __m256 BlendFloat(__m256 a, __m256 b, __m256 fy, __m256 gy, __m256 margin) {
  return _mm256_fmadd_ps(b, fy, _mm256_fmadd_ps(a, gy, margin));
}

#undef LW_FLOAT_STEP

// GroupQuadsAvx2 for the checked octets. Returns how many of the vectors
// of eight values had values done again in doubles. Built without fusing
// multiplies and adds (only the quick sums' explicit multiply-adds fuse),
// so that the values done again in doubles round as in the plain loop.
template <bool OneWindow>
__attribute__((target("avx2,fma"), optimize("O2", "fp-contract=off"))) int GroupFloatAvx2(
    const QuadPlan& plan, const BYTE* const* rowStarts, int sourceCount, GroupRow* rows,
    int rowCount, size_t stride) {
  const FloatOctet* octets = static_cast<const FloatOctet*>(plan.units);
  const int all = (plan.columns + 7) / 8, tailFrom = all - plan.tailOctets;
  // The rows' last bytes from the tail's start, padded, for the octets at
  // the row's end.
  alignas(32) BYTE tails[kGroupSources][kFloatTailBytes + 32];
  const BYTE* tailStarts[kGroupSources];
  const BYTE* const* sources = rowStarts;
  FloatValues resampled[kGroupSources];
  __m256 fy[kGroupRows], gy[kGroupRows];
  for (int r = 0; r < rowCount; ++r) {
    fy[r] = _mm256_set1_ps(static_cast<float>(rows[r].fy));
    gy[r] = _mm256_set1_ps(static_cast<float>(rows[r].gy));
  }
  const __m256 margin = _mm256_set1_ps(kFloatMargin), band = _mm256_set1_ps(2 * kFloatMargin);
  // The packed bytes' four-byte units a0-3 b0-3 c0-3 c0-3 a4-7 b4-7 c4-7
  // c4-7 in their order.
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  int doubled = 0;
  for (int n = 0; n < all; ++n) {
    if (n == tailFrom) {
      const size_t kept = stride - plan.tailStart;
      for (int k = 0; k < sourceCount; ++k) {
        memcpy(tails[k], rowStarts[k] + plan.tailStart, kept);
        memset(tails[k] + kept, 0, sizeof(tails[k]) - kept);
        tailStarts[k] = tails[k];
      }
      sources = tailStarts;
    }
    const FloatOctet& o = octets[n];
    for (int k = 0; k < sourceCount; ++k) {
      resampled[k].v[0] = ResampleFloatVector<OneWindow>(sources[k], o, 0);
      resampled[k].v[1] = ResampleFloatVector<OneWindow>(sources[k], o, 1);
      resampled[k].v[2] = ResampleFloatVector<OneWindow>(sources[k], o, 2);
    }
    for (int r = 0; r < rowCount; ++r) {
      GroupRow& row = rows[r];
      const FloatValues& a = resampled[row.a];
      const FloatValues& b = resampled[row.b];
      __m256 s0, s1, s2;
      if (row.one) {
        s0 = _mm256_add_ps(a.v[0], margin);
        s1 = _mm256_add_ps(a.v[1], margin);
        s2 = _mm256_add_ps(a.v[2], margin);
      } else {
        s0 = BlendFloat(a.v[0], b.v[0], fy[r], gy[r], margin);
        s1 = BlendFloat(a.v[1], b.v[1], fy[r], gy[r], margin);
        s2 = BlendFloat(a.v[2], b.v[2], fy[r], gy[r], margin);
      }
      int near0, near1, near2;
      __m256i v0 = TruncateChecked(s0, band, &near0);
      __m256i v1 = TruncateChecked(s1, band, &near1);
      __m256i v2 = TruncateChecked(s2, band, &near2);
      if (near0 | near1 | near2) {
        __m256i values[3] = {v0, v1, v2};
        const int nearLanes[3] = {near0, near1, near2};
        for (int q = 0; q < 3; ++q)
          if (nearLanes[q] &&
              RedoNearValues(o, sources[row.a], sources[row.b], &row, values, q, nearLanes[q]))
            ++doubled;
        v0 = values[0];
        v1 = values[1];
        v2 = values[2];
      }
      const __m256i ab = _mm256_packs_epi32(v0, v1);
      const __m256i cc = _mm256_packs_epi32(v2, v2);
      const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(ab, cc), order);
      BYTE* out = row.out + static_cast<size_t>(n) * 24;
      if (n == all - 1 && plan.tailOctets) {
        alignas(32) BYTE last[32];
        _mm256_store_si256(reinterpret_cast<__m256i*>(last), bytes);
        memcpy(out, last, plan.tailLastBytes);
        continue;
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(bytes, 1));
    }
  }
  return doubled;
}

// Returns, for the checked loop, how many vectors of eight values were done
// again in doubles (0 for the others).
int GroupQuads(const QuadPlan& plan, const BYTE* const* sources, int sourceCount, GroupRow* rows,
               int rowCount, size_t stride) {
  const PixelQuad* quads = static_cast<const PixelQuad*>(plan.units);
  switch (plan.kind) {
    case kQuadWindow3:
      GroupQuadsAvx2<kQuadWindow3>(quads, plan.columns / 4, sources, sourceCount, rows, rowCount);
      break;
    case kQuadGather3:
      GroupQuadsAvx2<kQuadGather3>(quads, plan.columns / 4, sources, sourceCount, rows, rowCount);
      break;
    case kQuad4:
      GroupQuadsAvx2<kQuad4>(quads, plan.columns / 4, sources, sourceCount, rows, rowCount);
      break;
    case kOctetWindow3:
      GroupOctetsAvx512<64>(static_cast<const PixelOctet*>(plan.units), plan.columns / 8, sources,
                            sourceCount, rows, rowCount);
      break;
    case kOctetWide3:
      GroupOctetsAvx512<128>(static_cast<const PixelOctet*>(plan.units), plan.columns / 8, sources,
                             sourceCount, rows, rowCount);
      break;
    case kQuadFixed3:
      GroupFixedAvx2(static_cast<const FixedQuad*>(plan.units), plan.columns / 4, sources,
                     sourceCount, rows, rowCount, plan.columnBits, plan.rowBits);
      break;
    case kOctetFloat3:
      return plan.oneWindow
                 ? GroupFloatAvx2<true>(plan, sources, sourceCount, rows, rowCount, stride)
                 : GroupFloatAvx2<false>(plan, sources, sourceCount, rows, rowCount, stride);
  }
  return 0;
}

// The index of source row `row` among a group's, added when new; -1 when
// the group has no room for it.
int GroupSource(int* rows, int* count, int row) {
  for (int k = 0; k < *count; ++k)
    if (rows[k] == row) return k;
  if (*count == kGroupSources) return -1;
  rows[*count] = row;
  return (*count)++;
}

}  // namespace

void LimitResizeLoops(int widest) { widestResizeLoop = widest; }

namespace {

// The last resize's column weights and plan, kept for the next resize of
// the same sizes (a saver resizes every picture to its screen, a list every
// thumbnail to its box): what it sizes, and the loops it was made for.
struct ResizeSizes {
  int width, height, tw, th, bpp, widest;
};

struct KeptResizePlan {
  ResizeSizes sizes;
  ColumnWeights* columns;  // null: none kept
  QuadPlan plan;
};

// One plan is kept; a resize takes it (so that two threads never share
// one) and leaves its own. A constant initialiser, as for the kept blocks.
SRWLOCK g_planLock = SRWLOCK_INIT;
KeptResizePlan g_keptPlan = {};

bool SameSizes(const ResizeSizes& a, const ResizeSizes& b) {
  return a.width == b.width && a.height == b.height && a.tw == b.tw && a.th == b.th &&
         a.bpp == b.bpp && a.widest == b.widest;
}

// The kept plan for these sizes, taken: false when none is kept for them.
bool TakeResizePlan(const ResizeSizes& sizes, ColumnWeights** columns, QuadPlan* plan) {
  AcquireSRWLockExclusive(&g_planLock);
  const bool found = g_keptPlan.columns && SameSizes(g_keptPlan.sizes, sizes);
  if (found) {
    *columns = g_keptPlan.columns;
    *plan = g_keptPlan.plan;
    g_keptPlan.columns = nullptr;
  }
  ReleaseSRWLockExclusive(&g_planLock);
  return found;
}

// Keeps a plan for the next resize, freeing the one it replaces.
void KeepResizePlan(const ResizeSizes& sizes, ColumnWeights* columns, const QuadPlan& plan) {
  AcquireSRWLockExclusive(&g_planLock);
  KeptResizePlan old = g_keptPlan;
  g_keptPlan.sizes = sizes;
  g_keptPlan.columns = columns;
  g_keptPlan.plan = plan;
  ReleaseSRWLockExclusive(&g_planLock);
  if (old.columns) {
    FreeBlock(old.columns);
    FreeQuadPlan(&old.plan);
  }
}

// Every column's weights (in *columns, null when out of memory) and a new
// plan for them: false when out of memory.
bool PlanResize(int width, int height, int tw, int th, int bpp, ColumnWeights** columns,
                QuadPlan* plan) {
  const double xScale = static_cast<double>(width) / tw;
  *plan = {};
  *columns = static_cast<ColumnWeights*>(AllocZeroed(sizeof(ColumnWeights) * tw));
  if (!*columns) return false;
  for (int j = 0; j < tw; ++j) (*columns)[j] = ColumnAt(j, xScale, width, bpp);
  return PlanQuads(xScale, width, tw, bpp,
                   RowFractionBits(static_cast<double>(height) / th, height, th), true, *columns,
                   plan);
}

}  // namespace

int ResizeLoopFor(int width, int height, int tw, int th, int bpp) {
  if (width <= 0 || height <= 0 || tw <= 0 || th <= 0) return kResizeRowsOnly;
  ColumnWeights* columns;
  QuadPlan plan;
  const bool planned = PlanResize(width, height, tw, th, bpp, &columns, &plan);
  FreeBlock(columns);
  int loop = kResizeRowsOnly;
  if (planned && plan.columns > 0)
    loop = plan.kind == kQuadFixed3     ? kResizeFixedPoint
           : plan.kind == kOctetFloat3 ? kResizeChecked
                                       : kResizeDoubles;
  FreeQuadPlan(&plan);
  return loop;
}

// Bilinear: each target row blends two source rows resampled to the
// target's width (one when its blend weight is 0). Most columns go in the
// wide loop, in quads of four pixels (AVX2) or octets of eight 3-byte
// pixels (AVX-512), a few target rows at a time that share their source
// rows, each resampled once a quad or octet, so no resampled row is stored;
// 3-byte pixels whose weights all have few fraction bits go in quads in
// exact fixed point (AVX2), and other 3-byte pixels first in octets in
// checked single precision (AVX2), which give the same bytes sooner. Where
// the checked loop has to do more than one vector in eight again in doubles
// (scales whose sums often fall on integers), the rows left go in the
// double loops instead. The columns beyond the wide loop's (all of them
// without AVX2) are resampled a row at a time, a resampled row kept while
// the next target row wants it.
extern "C" BOOL ResizeImage(const BYTE* src, int width, int height, BYTE* dst, int tw,
                            int th, int bpp) {
  ImageCall call;
  if (!call) return FALSE;
  if (!ResizeArgsOk(src, width, height, dst, tw, th) || bpp <= 0 || bpp > 4) {
    call.SetError(kImgBadParam);
    return FALSE;
  }
  const double xScale = static_cast<double>(width) / tw;
  const double yScale = static_cast<double>(height) / th;
  const size_t rowValues = static_cast<size_t>(tw) * bpp;
  // Every column's weights (the wide loop's may change) and the plan, kept
  // from the last resize of these sizes or made; and four rows of the
  // columns beyond the wide loop's: two held, two resampled on the way
  // (made again for a new plan that leaves more).
  const ResizeSizes sizes = {width, height, tw, th, bpp, widestResizeLoop};
  ColumnWeights* columns = nullptr;
  QuadPlan plan = {};
  const bool planned = TakeResizePlan(sizes, &columns, &plan) ||
                       PlanResize(width, height, tw, th, bpp, &columns, &plan);
  size_t rowsHeld = rowValues - static_cast<size_t>(plan.columns) * bpp;
  double* rows = static_cast<double*>(AllocZeroed(sizeof(double) * 4 * rowsHeld));
  if (!planned || !rows) {
    FreeBlock(columns);
    FreeBlock(rows);
    FreeQuadPlan(&plan);
    call.SetError(kImgNoMemory);
    return FALSE;
  }
  const size_t stride = static_cast<size_t>(width) * bpp;
  int heldRow[2] = {-1, -1};
  // The checked loop's vectors so far, and those done again in doubles.
  int64_t checkedVectors = 0, doubledVectors = 0;
  int code = kImgOk;
  for (int first = 0; first < th && code == kImgOk;) {
    const int wide = plan.columns;
    const int rest = tw - wide;
    const size_t wideValues = static_cast<size_t>(wide) * bpp;
    const size_t restValues = rowValues - wideValues;
    if (restValues > rowsHeld) {
      FreeBlock(rows);
      rowsHeld = restValues;
      rows = static_cast<double*>(AllocZeroed(sizeof(double) * 4 * rowsHeld));
      if (!rows) {
        code = kImgNoMemory;
        break;
      }
    }
    double* held[2] = {rows, rows + rowsHeld};
    double* passing[2] = {rows + 2 * rowsHeld, rows + 3 * rowsHeld};
    // A group of target rows while their source rows fit.
    int sourceRows[kGroupSources];
    int sourceCount = 0;
    GroupRow group[kGroupRows];
    int end = first;
    for (; end < th && end - first < kGroupRows; ++end) {
      int r0, r1;
      double fy;
      MapPosition(end, yScale, height, &r0, &r1, &fy);
      const int before = sourceCount;
      GroupRow& row = group[end - first];
      row.one = fy == 0;
      row.a = GroupSource(sourceRows, &sourceCount, r0);
      row.b = row.one || row.a < 0 ? row.a : GroupSource(sourceRows, &sourceCount, r1);
      if (row.a < 0 || row.b < 0) {
        sourceCount = before;
        break;
      }
      row.fy = fy;
      row.gy = 1 - fy;
      row.out = dst + static_cast<size_t>(end) * rowValues;
      // Where the row's weights have few enough fraction bits, n blended
      // with n sums to n exactly: nothing falls below.
      row.belowMade = SumsEqualSamplesExactly(fy);
      const double scaled = fy * 4096;  // exact: a power of two
      row.shortWeights = scaled == static_cast<int>(scaled);
      if (row.belowMade) memset(row.below, 0, sizeof(row.below));
    }
    if (wide > 0) {
      const BYTE* sources[kGroupSources];
      for (int k = 0; k < sourceCount; ++k) sources[k] = src + sourceRows[k] * stride;
      doubledVectors += GroupQuads(plan, sources, sourceCount, group, end - first, stride);
      if (plan.kind == kOctetFloat3) {
        checkedVectors += static_cast<int64_t>((wide + 7) / 8) * 3 * (end - first);
        if (doubledVectors * 8 > checkedVectors) {
          FreeQuadPlan(&plan);
          if (!PlanQuads(xScale, width, tw, bpp, RowFractionBits(yScale, height, th), false,
                         columns, &plan))
            code = kImgNoMemory;
        }
      }
    }
    for (int i = first; i < end && code == kImgOk; ++i) {
      if (rest > 0) {
        const GroupRow& row = group[i - first];
        const int want[2] = {sourceRows[row.a], sourceRows[row.b]};
        const int count = row.one ? 1 : 2;
        // What the next target row wants (-1: nothing).
        int next[2] = {-1, -1};
        if (i + 1 < th) {
          double nextFy;
          MapPosition(i + 1, yScale, height, &next[0], &next[1], &nextFy);
          if (nextFy == 0) next[1] = -1;
        }
        // Each wanted row: the held one, or resampled into the slot the
        // other wanted row does not use (when the next target row wants it
        // too) or on the way.
        const double* values[2] = {};
        bool slotUsed[2] = {false, false};
        for (int k = 0; k < count; ++k) {
          const int slot = heldRow[0] == want[k] ? 0 : heldRow[1] == want[k] ? 1 : -1;
          if (slot >= 0) {
            values[k] = held[slot];
            slotUsed[slot] = true;
          }
        }
        for (int k = 0; k < count; ++k) {
          if (values[k]) continue;
          double* v = passing[k];
          if (want[k] == next[0] || want[k] == next[1]) {
            const int slot = slotUsed[0] ? 1 : 0;
            v = held[slot];
            heldRow[slot] = want[k];
            slotUsed[slot] = true;
          }
          ResampleAnyRow(src + want[k] * stride, columns + wide, rest, bpp, v);
          values[k] = v;
        }
        if (row.one) values[1] = values[0];
        BlendRows(values[0], values[1], row.fy, row.out + wideValues, static_cast<int>(restValues));
      }
      if (!ProgressContinue(call.state(), i, th)) code = kImgAborted;
    }
    // The held rows are resampled for this group's columns beyond the wide
    // loop's; a new plan's start afresh.
    if (plan.columns != wide) heldRow[0] = heldRow[1] = -1;
    first = end;
  }
  FreeBlock(rows);
  if (code == kImgNoMemory) {
    FreeBlock(columns);
    FreeQuadPlan(&plan);
  } else {
    KeepResizePlan(sizes, columns, plan);
  }
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
