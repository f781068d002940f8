// The fades: Fade From Black and Fade To Black pace themselves by the
// clock, 256 levels of the picture scaled by level / 256, skipping levels
// when drawing falls behind; Fade From Background moves every byte of the
// area's old content one step per delay toward the picture.
//
// Both work on 32-bit DIB sections (a 24-bit one costs several times more
// to transfer to the screen), 32 bytes at a time with AVX2 where the
// processor has it, else 16 with SSE2: a level costs one pass over the
// picture and one transfer. Each frame is computed and transferred in bands
// of rows small enough to be still in the processor's cache when they are
// transferred; the fades to and from black need only one band of memory.
// When the screen DC draws into a 32-bit DIB section (the play window's
// back picture) with nothing between the DC and its pixels, every fade
// works on the DIB section's pixels in place: a level or step is one pass
// over the area and no transfer.
#include <immintrin.h>
#include <stddef.h>

#include <algorithm>

#include "common/CpuFeatures.h"
#include "playback/painter/EffectRun.h"
#include "playback/painter/ImagePainter.h"

namespace {

// A W x H 32-bit DIB section selected into its own memory DC.
class CPixelBuffer {
 public:
  bool Create(CDC* compatible, int width, int height) {
    if (!m_dc.CreateCompatibleDC(compatible)) return false;
    void* bits = nullptr;
    if (!m_bitmap.CreateDIBSection(width, height, 32, &bits) || !bits) return false;
    m_dc.SelectObject(&m_bitmap);
    m_bits = static_cast<unsigned char*>(bits);
    m_bytes = static_cast<size_t>(width) * height * 4;
    return true;
  }
  CDC* DC() { return &m_dc; }
  unsigned char* Bits() { return m_bits; }
  size_t Bytes() const { return m_bytes; }

 private:
  CBitmap m_bitmap;  // before its DC, which lets go of it when destroyed
  CDC m_dc;
  unsigned char* m_bits = nullptr;
  size_t m_bytes = 0;
};

// Rows of a band: about 256 KB of 32-bit pixels, at least one row.
int BandRows(int width, int height) {
  const int rows = (256 * 1024) / (width * 4);
  return std::max(1, std::min(rows, height));
}

// dst = src x level / 256 for every byte (the fade table t[level][v]):
// each byte is widened to v x 256 and multiplied by the level keeping the
// high 16 bits, which is (v x level) >> 8.
__attribute__((target("avx2"))) void ScaleBytesAvx2(unsigned char* dst,
                                                    const unsigned char* src, size_t n,
                                                    int level) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i k = _mm256_set1_epi16(static_cast<short>(level));
  for (size_t i = 0; i + 32 <= n; i += 32) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    __m256i lo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, v), k);
    __m256i hi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, v), k);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
  }
}

void ScaleBytes(unsigned char* dst, const unsigned char* src, size_t n, int level) {
  size_t i = 0;
  if (ProcessorHasAvx2()) {
    ScaleBytesAvx2(dst, src, n, level);
    i = n & ~static_cast<size_t>(31);
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i k = _mm_set1_epi16(static_cast<short>(level));
  for (; i + 16 <= n; i += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i lo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, v), k);
    __m128i hi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, v), k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) dst[i] = static_cast<unsigned char>(src[i] * level / 256);
}

// Moves every colour byte of cur one step toward tgt (the unused fourth
// byte of each pixel is cleared); true when cur now equals tgt.
// Below the target: max(c - 1, t) = t, then min(t, c + 1) = c + 1; above
// it: c - 1; equal: c.
__attribute__((target("avx2"))) bool StepTowardAvx2(unsigned char* cur,
                                                    const unsigned char* tgt, size_t n) {
  const __m256i one = _mm256_set1_epi8(1);
  const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
  unsigned equal = 0xFFFFFFFFu;
  for (size_t i = 0; i + 32 <= n; i += 32) {
    __m256i c = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(cur + i)), rgb);
    __m256i t = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(tgt + i)), rgb);
    __m256i next = _mm256_min_epu8(_mm256_max_epu8(_mm256_subs_epu8(c, one), t),
                                   _mm256_adds_epu8(c, one));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(cur + i), next);
    equal &= static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(next, t)));
  }
  return equal == 0xFFFFFFFFu;
}

bool StepToward(unsigned char* cur, const unsigned char* tgt, size_t n) {
  bool same = true;
  size_t i = 0;
  if (ProcessorHasAvx2()) {
    same = StepTowardAvx2(cur, tgt, n);
    i = n & ~static_cast<size_t>(31);
  }
  const __m128i one = _mm_set1_epi8(1);
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  int equal = 0xFFFF;
  for (; i + 16 <= n; i += 16) {
    __m128i c = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cur + i)), rgb);
    __m128i t = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tgt + i)), rgb);
    __m128i next = _mm_min_epu8(_mm_max_epu8(_mm_subs_epu8(c, one), t), _mm_adds_epu8(c, one));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cur + i), next);
    equal &= _mm_movemask_epi8(_mm_cmpeq_epi8(next, t));
  }
  if (equal != 0xFFFF) same = false;
  for (; i < n; ++i) {
    if ((i & 3) == 3) {
      cur[i] = 0;
      continue;
    }
    if (cur[i] < tgt[i]) ++cur[i];
    else if (cur[i] > tgt[i]) --cur[i];
    if (cur[i] != tgt[i]) same = false;
  }
  return same;
}

// The pixels under the area (x, y, w, h) of a memory DC's 32-bit DIB
// section when writing them is the same as a transfer there: at most a
// clip rectangle that holds the area, no mapping, origin or transform,
// left-to-right layout, and the area inside the bitmap. Rows follow each
// other by stride bytes (negative for a bottom-up DIB). Null when GDI has
// to do the drawing. It sets one pixel of the area through GDI to learn
// which way the rows run (the bitmap's own header does not say), then puts
// the pixel back.
unsigned char* DirectPixels(HDC dc, int x, int y, int w, int h, ptrdiff_t* stride) {
  if (w <= 0 || h <= 0 || ::GetObjectType(dc) != OBJ_MEMDC || ::GetMapMode(dc) != MM_TEXT ||
      ::GetGraphicsMode(dc) != GM_COMPATIBLE || ::GetLayout(dc) != 0)
    return nullptr;
  POINT viewport, window;
  if (!::GetViewportOrgEx(dc, &viewport) || !::GetWindowOrgEx(dc, &window) || viewport.x ||
      viewport.y || window.x || window.y)
    return nullptr;
  HRGN clip = ::CreateRectRgn(0, 0, 0, 0);
  if (!clip) return nullptr;
  const RECT area = {x, y, x + w, y + h};
  RECT box = {};
  const int clipped = ::GetClipRgn(dc, clip);
  const bool holds = clipped == 0 || (clipped == 1 && ::GetRgnBox(clip, &box) == SIMPLEREGION &&
                                      box.left <= area.left && box.top <= area.top &&
                                      box.right >= area.right && box.bottom >= area.bottom);
  ::DeleteObject(clip);
  if (!holds) return nullptr;
  DIBSECTION dib;
  HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
  if (!bitmap || ::GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib) return nullptr;
  const BITMAP& bm = dib.dsBm;
  const DWORD* masks = dib.dsBitfields;
  const bool masksOk = dib.dsBmih.biCompression == BI_RGB ||
                       (dib.dsBmih.biCompression == BI_BITFIELDS && masks[0] == 0xFF0000 &&
                        masks[1] == 0xFF00 && masks[2] == 0xFF);
  if (!bm.bmBits || bm.bmBitsPixel != 32 || bm.bmPlanes != 1 || !masksOk || x < 0 || y < 0 ||
      area.right > bm.bmWidth || area.bottom > bm.bmHeight)
    return nullptr;

  // A row of the area that lies elsewhere in memory when the rows run
  // the other way (an area of one middle row lies at the same place).
  const int row = y != bm.bmHeight - 1 - y ? y : y + h - 1;
  unsigned char* first = static_cast<unsigned char*>(bm.bmBits);
  const ptrdiff_t rowBytes = bm.bmWidthBytes;
  GdiFlush();
  DWORD* topDown = reinterpret_cast<DWORD*>(first + row * rowBytes + x * 4);
  DWORD* bottomUp = reinterpret_cast<DWORD*>(first + (bm.bmHeight - 1 - row) * rowBytes + x * 4);
  const DWORD keepTop = *topDown, keepBottom = *bottomUp;
  const DWORD other = (keepTop & 0xFFFFFF) ^ 0xFFFFFF;
  ::SetPixelV(dc, x, row, RGB(other >> 16, (other >> 8) & 0xFF, other & 0xFF));
  GdiFlush();
  const bool topFirst = (*topDown & 0xFFFFFF) == other;
  *bottomUp = keepBottom;
  *topDown = keepTop;
  if (topFirst) {
    *stride = rowBytes;
    return first + y * rowBytes + x * 4;
  }
  *stride = -rowBytes;
  return first + (bm.bmHeight - 1 - y) * rowBytes + x * 4;
}

}  // namespace

void RunFade(CEffectRun& run, int id, CBitmap* /*fadeBitmap*/) {
  CPlayPacer* pacer = run.Pacer();
  const DWORD interval = static_cast<DWORD>((id == kEffectFadeFromBlack ? 11 : 12) - run.Speed() / 100);
  const int band = BandRows(run.W(), run.H());
  const size_t rowBytes = static_cast<size_t>(run.W()) * 4;
  HDC screen = run.Screen()->GetSafeHdc();
  ptrdiff_t stride = 0;
  unsigned char* direct = DirectPixels(screen, run.X(), run.Y(), run.W(), run.H(), &stride);
  CPixelBuffer source, work;
  if (!source.Create(run.Screen(), run.W(), run.H()) ||
      (!direct && !work.Create(run.Screen(), run.W(), band)))
    return;
  source.DC()->BitBlt(0, 0, run.W(), run.H(), run.Frame(), 0, 0, SRCCOPY);
  GdiFlush();
  // What a transfer would add to the DC's bounds (the play window's back
  // picture presents only what they cover).
  const RECT area = {run.X(), run.Y(), run.X() + run.W(), run.Y() + run.H()};

  const DWORD start = pacer->GetTickCount();
  DWORD i = 0;
  while (i < 256) {
    if (pacer->IsStopRequested()) return;
    int level = id == kEffectFadeFromBlack ? static_cast<int>(i) : 255 - static_cast<int>(i);
    if (direct) {
      // Whatever GDI drew there before is done before the pixels change.
      GdiFlush();
      for (int y = 0; y < run.H(); ++y)
        ScaleBytes(direct + y * stride, source.Bits() + y * rowBytes, rowBytes, level);
      ::SetBoundsRect(screen, &area, DCB_ACCUMULATE);
    } else {
      for (int y = 0; y < run.H(); y += band) {
        const int rows = std::min(band, run.H() - y);
        ScaleBytes(work.Bits(), source.Bits() + y * rowBytes, rows * rowBytes, level);
        run.Screen()->BitBlt(run.X(), run.Y() + y, run.W(), rows, work.DC(), 0, 0, SRCCOPY);
        // The band's memory is written again for the next band.
        GdiFlush();
      }
    }
    // Unsigned differences survive the tick count's wrap-around.
    DWORD elapsed = pacer->GetTickCount() - start;
    DWORD due = i * interval;
    if (elapsed > due) {
      DWORD late = elapsed / interval;  // late frames are skipped
      i = late > i + 1 ? late : i + 1;
    } else {
      if (due > elapsed) pacer->WaitMilliseconds(due - elapsed);
      ++i;
    }
  }
}

void RunFadeFromBackground(CEffectRun& run) {
  HDC screen = run.Screen()->GetSafeHdc();
  ptrdiff_t stride = 0;
  unsigned char* direct = DirectPixels(screen, run.X(), run.Y(), run.W(), run.H(), &stride);
  if (direct) {
    // The area's own pixels step toward the picture.
    CPixelBuffer picture;
    if (!picture.Create(run.Screen(), run.W(), run.H())) return;
    picture.DC()->BitBlt(0, 0, run.W(), run.H(), run.Frame(), 0, 0, SRCCOPY);
    const RECT area = {run.X(), run.Y(), run.X() + run.W(), run.Y() + run.H()};
    const size_t rowBytes = static_cast<size_t>(run.W()) * 4;
    for (;;) {
      GdiFlush();
      bool done = true;
      for (int y = 0; y < run.H(); ++y)
        if (!StepToward(direct + y * stride, picture.Bits() + y * rowBytes, rowBytes)) done = false;
      ::SetBoundsRect(screen, &area, DCB_ACCUMULATE);
      if (run.Stopped()) return;
      if (!run.Delay() || done) return;
    }
  }

  CPixelBuffer current, picture;
  if (!current.Create(run.Screen(), run.W(), run.H()) ||
      !picture.Create(run.Screen(), run.W(), run.H()))
    return;
  current.DC()->BitBlt(0, 0, run.W(), run.H(), run.Screen(), run.X(), run.Y(), SRCCOPY);
  picture.DC()->BitBlt(0, 0, run.W(), run.H(), run.Frame(), 0, 0, SRCCOPY);
  GdiFlush();
  const int band = BandRows(run.W(), run.H());
  const size_t rowBytes = static_cast<size_t>(run.W()) * 4;
  for (;;) {
    bool done = true;
    for (int y = 0; y < run.H(); y += band) {
      const int rows = std::min(band, run.H() - y);
      const size_t at = y * rowBytes;
      if (!StepToward(current.Bits() + at, picture.Bits() + at, rows * rowBytes)) done = false;
      run.Screen()->BitBlt(run.X(), run.Y() + y, run.W(), rows, current.DC(), 0, y, SRCCOPY);
    }
    GdiFlush();
    if (run.Stopped()) return;
    if (!run.Delay() || done) return;
  }
}
