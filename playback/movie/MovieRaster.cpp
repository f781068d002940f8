// The rasteriser and the compositor. Each edge adds, to every pixel cell
// it passes through, the signed height it covers there and the share of
// that cell that lies right of it; a row's running sum is then each
// pixel's coverage (exact area, so edges anti-alias themselves). Edges
// right of the clip are left out, edges left of it are moved onto its
// left side: neither changes a pixel inside. Paints fetch a span's
// colours, which are blended over the target with the span's coverage.
#include <emmintrin.h>
#include <math.h>

#include <initializer_list>
#include <stdlib.h>
#include <string.h>

#include "playback/movie/MovieRender.h"

namespace {

const float kTolerance = 0.2f;  // flattening, in pixels

// floorf for the values within a target (a call to the library's, else).
inline int Floor(float v) {
  const int i = static_cast<int>(v);
  return i - (v < static_cast<float>(i));
}

inline float Min3(float a, float b, float c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }
inline float Max3(float a, float b, float c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }

// v * c / 255 for the four bytes of a premultiplied pixel.
inline uint32_t Scale(uint32_t p, uint32_t c) {
  uint32_t rb = (p & 0x00FF00FFu) * c + 0x00800080u;
  uint32_t ag = ((p >> 8) & 0x00FF00FFu) * c + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

// src over dst, both premultiplied.
inline uint32_t Over(uint32_t dst, uint32_t src) {
  return src + Scale(dst, 255 - (src >> 24));
}

inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t t) {  // t of 256
  uint32_t rb = (a & 0x00FF00FFu) * (256 - t) + (b & 0x00FF00FFu) * t;
  uint32_t ag = ((a >> 8) & 0x00FF00FFu) * (256 - t) + ((b >> 8) & 0x00FF00FFu) * t;
  return ((rb >> 8) & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

// Four pixels' bytes as eight 16-bit lanes each half.
inline __m128i Low16(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i High16(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

// Scale for 16-bit lanes: v * c / 255, rounded as Scale rounds.
inline __m128i Scale16(__m128i v, __m128i c) {
  const __m128i t = _mm_add_epi16(_mm_mullo_epi16(v, c), _mm_set1_epi16(0x80));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}


// The alpha of each pixel in all its byte's lanes.
inline __m128i Alpha16(__m128i v) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
}

// Over(d, Scale(s, c)) for four pixels, exactly as the scalar blend.
inline __m128i Blend4(__m128i d, __m128i s, __m128i c4) {
  // Each pixel's coverage in the lanes of its four bytes.
  __m128i c = _mm_unpacklo_epi8(c4, _mm_setzero_si128());
  c = _mm_unpacklo_epi16(c, c);
  const __m128i c01 = _mm_unpacklo_epi32(c, c), c23 = _mm_unpackhi_epi32(c, c);
  const __m128i sl = Scale16(Low16(s), c01), sh = Scale16(High16(s), c23);
  const __m128i full = _mm_set1_epi16(255);
  const __m128i dl = Scale16(Low16(d), _mm_sub_epi16(full, Alpha16(sl)));
  const __m128i dh = Scale16(High16(d), _mm_sub_epi16(full, Alpha16(sh)));
  return _mm_add_epi32(_mm_packus_epi16(sl, sh), _mm_packus_epi16(dl, dh));
}

// The span's colours (or one colour, when row is null) blended over the
// target under their coverage, four pixels at a time: fully covered
// opaque pixels replace the target, uncovered ones leave it.
void BlendSpan(uint32_t* d, const uint32_t* row, uint32_t colour, const uint8_t* cover, int n) {
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i one = _mm_set1_epi32(static_cast<int>(colour));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t c;
    memcpy(&c, cover + i, 4);
    if (!c) continue;
    const __m128i s = row ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)) : one;
    __m128i* out = reinterpret_cast<__m128i*>(d + i);
    if (c == 0xFFFFFFFFu && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, opaque), opaque)) == 0xFFFF) {
      _mm_storeu_si128(out, s);
      continue;
    }
    _mm_storeu_si128(out, Blend4(_mm_loadu_si128(out), s, _mm_cvtsi32_si128(static_cast<int>(c))));
  }
  for (; i < n; ++i) {
    const uint32_t c = cover[i], s = row ? row[i] : colour;
    if (c == 255 && (s >> 24) == 255)
      d[i] = s;
    else if (c)
      d[i] = Over(d[i], c == 255 ? s : Scale(s, c));
  }
}

// The colours of a padded linear gradient whose table position is t at
// the first pixel and grows by dt a pixel, four at a time.
void LinearRow(uint32_t* row, const uint32_t* lut, float t, float dt, int n) {
  const __m128 start = _mm_set1_ps(t), step = _mm_set1_ps(dt), top = _mm_set1_ps(255);
  const __m128 lanes = _mm_setr_ps(0, 1, 2, 3);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128 at = _mm_add_ps(start, _mm_mul_ps(_mm_add_ps(_mm_set1_ps(static_cast<float>(i)), lanes), step));
    at = _mm_min_ps(_mm_max_ps(at, _mm_setzero_ps()), top);  // not a number: 0
    alignas(16) int32_t j[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(j), _mm_cvttps_epi32(at));
    row[i] = lut[j[0]];
    row[i + 1] = lut[j[1]];
    row[i + 2] = lut[j[2]];
    row[i + 3] = lut[j[3]];
  }
  for (; i < n; ++i) {
    const float at = t + i * dt;
    row[i] = lut[at > 0 ? (at < 255 ? static_cast<int>(at) : 255) : 0];
  }
}

// A gradient's position for t: spread out of 0..1, into the table.
inline int Index(float t, int spread) {
  if (!(t > -1e9f && t < 1e9f)) t = 0;
  if (spread == 1) {  // reflect
    t = fmodf(fabsf(t), 2.0f);
    if (t > 1) t = 2 - t;
  } else if (spread == 2) {  // repeat
    t -= floorf(t);
  }
  const int i = static_cast<int>(t * 255 + 0.5f);
  return i < 0 ? 0 : i > 255 ? 255 : i;
}

inline float ToLinear(int c) {
  const float v = c / 255.0f;
  return v <= 0.04045f ? v / 12.92f : powf((v + 0.055f) / 1.055f, 2.4f);
}
inline int FromLinear(float v) {
  const float s = v <= 0.0031308f ? v * 12.92f : 1.055f * powf(v, 1 / 2.4f) - 0.055f;
  const int c = static_cast<int>(s * 255 + 0.5f);
  return c < 0 ? 0 : c > 255 ? 255 : c;
}

// The 256 colours of a gradient, its stops through the colour transform,
// premultiplied; in linear light when the fill asks for it.
void BuildTable(const MovieFill& fill, const MovieColourTransform& cx, uint32_t* lut) {
  MovieRgba stops[15];
  const int count = fill.stops;
  for (int i = 0; i < count; ++i) stops[i] = MovieTransformColour(fill.stop[i], cx);
  int k = 0;
  for (int i = 0; i < 256; ++i) {
    while (k < count && fill.ratio[k] < i) ++k;
    MovieRgba c;
    if (k == 0 || k == count) {
      c = stops[k == 0 ? 0 : count - 1];
    } else {
      const int r0 = fill.ratio[k - 1], r1 = fill.ratio[k];
      const float t = r1 > r0 ? static_cast<float>(i - r0) / (r1 - r0) : 1.0f;
      c = 0;
      for (int ch = 0; ch < 4; ++ch) {
        const int a = MovieChannel(stops[k - 1], ch), b = MovieChannel(stops[k], ch);
        int v;
        if (fill.linearRgb && ch < 3)
          v = FromLinear(ToLinear(a) + (ToLinear(b) - ToLinear(a)) * t);
        else
          v = static_cast<int>(a + (b - a) * t + 0.5f);
        c |= static_cast<MovieRgba>(v) << (8 * ch);
      }
    }
    lut[i] = MoviePremultiply(c);
  }
}

}  // namespace

CMovieRaster::~CMovieRaster() {
  free(m_acc);
  free(m_rowMin);
  free(m_rowMax);
  free(m_cover);
}

bool CMovieRaster::Prepare(int width, int height) {
  if (width == m_width && height == m_height && m_acc) return true;
  free(m_acc);
  free(m_rowMin);
  free(m_rowMax);
  free(m_cover);
  m_width = width;
  m_height = height;
  m_acc = static_cast<float*>(calloc(static_cast<size_t>(width + 2) * height, sizeof(float)));
  m_rowMin = static_cast<int*>(malloc(sizeof(int) * height));
  m_rowMax = static_cast<int*>(malloc(sizeof(int) * height));
  m_cover = static_cast<uint8_t*>(malloc(width + 2));
  if (!m_acc || !m_rowMin || !m_rowMax || !m_cover) {
    free(m_acc);
    m_acc = nullptr;
    m_width = m_height = 0;
    return false;
  }
  for (int y = 0; y < height; ++y) {
    m_rowMin[y] = 0x7FFFFFFF;
    m_rowMax[y] = -1;
  }
  m_yMin = 0x7FFFFFFF;
  m_yMax = -1;
  return true;
}

void CMovieRaster::Line(float x0, float y0, float x1, float y1) {
  if (!(y0 != y1) || !(fabsf(x0) < 1e30f && fabsf(x1) < 1e30f && fabsf(y0) < 1e30f && fabsf(y1) < 1e30f))
    return;
  float dir = 1;
  if (y0 > y1) {
    float t = x0;
    x0 = x1;
    x1 = t;
    t = y0;
    y0 = y1;
    y1 = t;
    dir = -1;
  }
  const float top = static_cast<float>(m_clip.y0), bottom = static_cast<float>(m_clip.y1);
  const float left = static_cast<float>(m_clip.x0), right = static_cast<float>(m_clip.x1);
  if (y1 <= top || y0 >= bottom || (x0 >= right && x1 >= right)) return;
  const double slope = (static_cast<double>(x1) - x0) / (static_cast<double>(y1) - y0);
  if (y0 < top) {
    x0 = static_cast<float>(x0 + slope * (top - y0));
    y0 = top;
  }
  if (y1 > bottom) {
    x1 = static_cast<float>(x1 - slope * (y1 - bottom));
    y1 = bottom;
  }
  // Split where the edge crosses the clip's sides: the left part runs
  // along the left side, the right part is dropped.
  float ys[4] = {y0, 0, 0, y1};
  int n = 1;
  for (float side : {left, right}) {
    if ((x0 - side) * (x1 - side) < 0) {
      const float y = static_cast<float>(y0 + (side - x0) / slope);
      if (y > y0 && y < y1) ys[n++] = y;
    }
  }
  if (n == 3 && ys[1] > ys[2]) {
    const float t = ys[1];
    ys[1] = ys[2];
    ys[2] = t;
  }
  ys[n] = y1;
  for (int i = 0; i < n; ++i) {
    const float ya = ys[i], yb = ys[i + 1];
    if (!(yb > ya)) continue;
    float xa = static_cast<float>(x0 + slope * (ya - y0)), xb = static_cast<float>(x0 + slope * (yb - y0));
    const float mid = (xa + xb) * 0.5f;
    if (mid >= right) continue;
    if (mid <= left) xa = xb = left;
    if (xa < left) xa = left;
    if (xb < left) xb = left;
    if (xa > right) xa = right;
    if (xb > right) xb = right;
    Cells(xa, ya, xb, yb, dir);
  }
}

// One piece of an edge inside the clip, y0 < y1: row by row, cell by cell.
void CMovieRaster::Cells(float x0, float y0, float x1, float y1, float dir) {
  const int stride = m_width + 2;
  const float dxdy = (x1 - x0) / (y1 - y0);
  float y = y0, x = x0;
  int row = Floor(y0);
  const int lastRow = m_clip.y1 - 1;
  while (y < y1 && row <= lastRow) {
    const float yEnd = row + 1 < y1 ? static_cast<float>(row + 1) : y1;
    const float dy = yEnd - y;
    const float xEnd = row + 1 < y1 ? x + dxdy * dy : x1;
    float* acc = m_acc + static_cast<size_t>(row) * stride;
    float xl = x < xEnd ? x : xEnd, xr = x < xEnd ? xEnd : x;
    int c0 = Floor(xl), c1 = Floor(xr);
    if (c0 < m_clip.x0) c0 = m_clip.x0;
    if (c1 > m_clip.x1) c1 = m_clip.x1;
    if (c1 < c0) c1 = c0;
    const float d = dy * dir;
    if (c0 == c1) {
      const float f = (xl + xr) * 0.5f - c0;
      acc[c0] += d * (1 - f);
      acc[c0 + 1] += d * f;
      *m_work += 1;
    } else {
      // The height covered in each column is its share of the width.
      const float perX = d / (xr - xl);
      for (int c = c0; c <= c1; ++c) {
        const float a = c == c0 ? xl : static_cast<float>(c), b = c == c1 ? xr : static_cast<float>(c + 1);
        if (b <= a) continue;
        const float part = perX * (b - a), f = (a + b) * 0.5f - c;
        acc[c] += part * (1 - f);
        acc[c + 1] += part * f;
      }
      *m_work += static_cast<uint32_t>(c1 - c0 + 1);
    }
    if (c0 < m_rowMin[row]) m_rowMin[row] = c0;
    if (c1 + 1 > m_rowMax[row]) m_rowMax[row] = c1 + 1;
    if (row < m_yMin) m_yMin = row;
    if (row > m_yMax) m_yMax = row;
    y = yEnd;
    x = xEnd;
    ++row;
  }
}

void CMovieRaster::Quad(float x0, float y0, float cx, float cy, float x1, float y1, int depth) {
  const float minX = Min3(x0, cx, x1), maxX = Max3(x0, cx, x1);
  const float minY = Min3(y0, cy, y1), maxY = Max3(y0, cy, y1);
  // A curve wholly above, below, right or left of the clip adds there
  // what its chord adds.
  const bool outside = maxY <= m_clip.y0 || minY >= m_clip.y1 || minX >= m_clip.x1 || maxX <= m_clip.x0;
  const float dev = fabsf(x0 - 2 * cx + x1) + fabsf(y0 - 2 * cy + y1);
  if (outside || depth >= 10 || !(dev > 4 * kTolerance)) {
    Line(x0, y0, x1, y1);
    return;
  }
  const float ax = (x0 + cx) * 0.5f, ay = (y0 + cy) * 0.5f;
  const float bx = (cx + x1) * 0.5f, by = (cy + y1) * 0.5f;
  const float mx = (ax + bx) * 0.5f, my = (ay + by) * 0.5f;
  Quad(x0, y0, ax, ay, mx, my, depth + 1);
  Quad(mx, my, bx, by, x1, y1, depth + 1);
}

void CMovieRaster::Sweep(Sink* sink) {
  if (m_yMax < m_yMin) return;
  const int stride = m_width + 2, right = m_clip.x1;
  for (int y = m_yMin; y <= m_yMax; ++y) {
    const int from = m_rowMin[y], to = m_rowMax[y];
    if (to < 0) continue;
    m_rowMin[y] = 0x7FFFFFFF;
    m_rowMax[y] = -1;
    float* acc = m_acc + static_cast<size_t>(y) * stride;
    const int last = to < right - 1 ? to : right - 1;  // the last pixel the cells reach
    float sum = 0;
    for (int x = from; x <= to; ++x) {
      sum += acc[x];
      acc[x] = 0;
      if (x <= last) {
        const float c = fabsf(sum);
        m_cover[x] = c >= 1 ? 255 : static_cast<uint8_t>(c * 255 + 0.5f);
      }
    }
    if (!sink) continue;
    int end = last + 1;
    // What is covered right of the last cell stays covered to the clip's side.
    const float c = fabsf(sum);
    if (c > 1.0f / 512 && end < right) {
      memset(m_cover + end, c >= 1 ? 255 : static_cast<int>(c * 255 + 0.5f), right - end);
      end = right;
    }
    if (end > from) {
      sink->Span(y, from, end - from, m_cover + from);
      *m_work += static_cast<uint32_t>(end - from);
    }
  }
  m_yMin = 0x7FFFFFFF;
  m_yMax = -1;
}

void CMovieComposite::Span(int y, int x, int n, const uint8_t* cover) {
  while (n > 4096) {
    Span(y, x, 4096, cover);
    x += 4096;
    cover += 4096;
    n -= 4096;
  }
  if (m_mask) {
    const uint8_t* mask = m_mask + static_cast<size_t>(y) * m_maskStride + x;
    for (int i = 0; i < n; ++i) m_masked[i] = static_cast<uint8_t>((cover[i] * mask[i] + 127) / 255);
    cover = m_masked;
  }
  if (m_maskOut) {
    uint8_t* out = m_maskOut + static_cast<size_t>(y) * m_maskStride + x;
    int first = -1, last = -1;
    for (int i = 0; i < n; ++i) {
      const uint32_t c = cover[i];
      if (!c) continue;
      out[i] = static_cast<uint8_t>(out[i] + (c * (255 - out[i]) + 127) / 255);
      if (first < 0) first = i;
      last = i;
    }
    if (first >= 0) {
      MovieBox& box = *m_maskBox;
      if (x + first < box.x0) box.x0 = x + first;
      if (x + last + 1 > box.x1) box.x1 = x + last + 1;
      if (y < box.y0) box.y0 = y;
      if (y + 1 > box.y1) box.y1 = y + 1;
    }
    return;
  }
  uint32_t* d = m_pixels + static_cast<size_t>(y) * m_stride + x;
  const MoviePaint& p = m_paint;
  if (p.kind == kPaintSolid) {
    BlendSpan(d, nullptr, p.colour, cover, n);
    return;
  }
  // The colours at the pixels' centres.
  const float px = x + 0.5f, py = y + 0.5f;
  const MovieMatrix& m = p.inverse;
  float u = m.a * px + m.c * py + m.tx, v = m.b * px + m.d * py + m.ty;
  if (p.kind == kPaintBitmap) {
    const MovieBitmap& b = *p.bitmap;
    const int w = b.width, h = b.height;
    const uint32_t* bits = b.pixels;
    const uint8_t* rgb = b.rgb;
    auto texel = [bits, rgb, w](int x, int y) -> uint32_t {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (bits) return bits[i];
      const uint8_t* q = rgb + 3 * i;
      return 0xFF000000u | q[0] << 16 | q[1] << 8 | q[2];
    };
    for (int i = 0; i < n; ++i, u += m.a, v += m.b) {
      if (!cover[i]) continue;
      uint32_t c;
      if (p.smooth) {
        const float fu = u - 0.5f, fv = v - 0.5f;
        const float bu = floorf(fu), bv = floorf(fv);
        int x0 = static_cast<int>(bu), y0 = static_cast<int>(bv);
        const uint32_t tx = static_cast<uint32_t>((fu - bu) * 256), ty = static_cast<uint32_t>((fv - bv) * 256);
        int x1 = x0 + 1, y1 = y0 + 1;
        if (p.repeat) {
          x0 = ((x0 % w) + w) % w;
          y0 = ((y0 % h) + h) % h;
          x1 = x0 + 1 == w ? 0 : x0 + 1;
          y1 = y0 + 1 == h ? 0 : y0 + 1;
        } else {
          x0 = x0 < 0 ? 0 : x0 >= w ? w - 1 : x0;
          y0 = y0 < 0 ? 0 : y0 >= h ? h - 1 : y0;
          x1 = x1 < 0 ? 0 : x1 >= w ? w - 1 : x1;
          y1 = y1 < 0 ? 0 : y1 >= h ? h - 1 : y1;
        }
        c = Lerp(Lerp(texel(x0, y0), texel(x1, y0), tx), Lerp(texel(x0, y1), texel(x1, y1), tx), ty);
      } else {
        int ix = static_cast<int>(floorf(u)), iy = static_cast<int>(floorf(v));
        if (p.repeat) {
          ix = ((ix % w) + w) % w;
          iy = ((iy % h) + h) % h;
        } else {
          ix = ix < 0 ? 0 : ix >= w ? w - 1 : ix;
          iy = iy < 0 ? 0 : iy >= h ? h - 1 : iy;
        }
        c = texel(ix, iy);
      }
      if (p.transform) {
        // Through the transform unpremultiplied, then premultiplied again.
        const uint32_t a = c >> 24;
        MovieRgba straight = a << 24;
        if (a) {
          straight |= ((c >> 16 & 0xFF) * 255 / a) | ((c >> 8 & 0xFF) * 255 / a) << 8 | ((c & 0xFF) * 255 / a) << 16;
        }
        c = MoviePremultiply(MovieTransformColour(straight, *p.transform));
      }
      m_row[i] = c;
    }
  } else if (p.kind == kPaintLinear && p.spread == 0) {
    // The table's position grows by the same step across the span.
    const float k = 255.0f / 32768;
    LinearRow(m_row, p.lut, (u + 16384) * k + 0.5f, m.a * k, n);
  } else if (p.kind == kPaintRadial && p.spread == 0) {
    const float k = 255.0f / 16384;
    for (int i = 0; i < n; ++i, u += m.a, v += m.b) {
      const float t = sqrtf(u * u + v * v) * k + 0.5f;
      m_row[i] = p.lut[t >= 255 ? 255 : static_cast<int>(t)];
    }
  } else {
    const float focal = p.focal;
    for (int i = 0; i < n; ++i, u += m.a, v += m.b) {
      if (!cover[i]) continue;
      float t;
      if (p.kind == kPaintLinear) {
        t = (u + 16384) / 32768;
      } else if (p.kind == kPaintRadial) {
        t = sqrtf(u * u + v * v) / 16384;
      } else {
        // Where the ray from the focal point through the pixel meets the
        // circle: t is the pixel's share of that distance.
        const float fx = focal * 16384, dx = u - fx, dy = v;
        const float a = dx * dx + dy * dy, b = fx * dx, c = fx * fx - 16384.0f * 16384.0f;
        const float disc = b * b - a * c;
        const float s = a > 0 && disc >= 0 ? (-b + sqrtf(disc)) / a : 0;
        t = s > 0 ? 1 / s : 0;
      }
      m_row[i] = p.lut[Index(t, p.spread)];
    }
  }
  BlendSpan(d, m_row, 0, cover, n);
}

void FillMoviePixels(uint32_t* pixels, int n, uint32_t colour) {
  const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
  int i = 0;
  for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), four);
  for (; i < n; ++i) pixels[i] = colour;
}

bool SetMoviePaint(MoviePaint* paint, const MovieFill& fill, const MovieMatrix& m,
                   const MovieColourTransform& cx, CMovie& movie, uint32_t* lut) {
  memset(paint, 0, sizeof *paint);
  if (fill.type == 0x00) {
    paint->kind = kPaintSolid;
    paint->colour = MoviePremultiply(MovieTransformColour(fill.colour, cx));
    return (paint->colour >> 24) != 0;
  }
  const MovieMatrix to = MovieConcat(m, fill.matrix);
  if (!MovieInvert(to, &paint->inverse)) return false;
  if (fill.type >= 0x40 && fill.type <= 0x43) {
    MovieBitmap* b = const_cast<MovieBitmap*>(static_cast<const MovieBitmap*>(movie.GetDef(fill.bitmap)));
    uint32_t tablesSize = 0;
    const uint8_t* tables = movie.GetTables(&tablesSize);
    if (!b || b->kind != kDefBitmap || !DecodeMovieBitmap(b, tables, tablesSize, &movie.GetBudget()))
      return false;
    paint->kind = kPaintBitmap;
    paint->bitmap = b;
    paint->repeat = fill.type == 0x40 || fill.type == 0x42;
    paint->smooth = fill.type == 0x40 || fill.type == 0x41;
    paint->transform = MovieIsPlain(cx) ? nullptr : &cx;
    return true;
  }
  if (fill.stops == 0) return false;
  paint->kind = fill.type == 0x10 ? kPaintLinear : fill.type == 0x13 ? kPaintFocal : kPaintRadial;
  paint->spread = fill.spread;
  paint->focal = fill.focal / 256.0f;
  if (paint->focal > 0.998f) paint->focal = 0.998f;
  if (paint->focal < -0.998f) paint->focal = -0.998f;
  BuildTable(fill, cx, lut);
  paint->lut = lut;
  return true;
}
