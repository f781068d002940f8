// Snakes: strips 8 pixels wide walked in a snake order, revealed a line of
// 8 pixels at a time (Snake Wipe) or slid in while pushing the strip's old
// content out (Snake Shift); and the band of 8 spiralling in from the edge
// (Snake Spiral).
#include "playback/painter/EffectRun.h"

namespace {

// Strip s from the start edge: its offset and width, cut at the picture.
void StripAt(int s, int length, bool fromEnd, int* at, int* width) {
  int a = fromEnd ? length - 8 * (s + 1) : 8 * s;
  int w = 8;
  if (a < 0) {
    w += a;
    a = 0;
  }
  if (a + w > length) w = length - a;
  *at = a;
  *width = w;
}

// 67 to 74. Column strips for 67, 69, 71, 73, row strips for the others;
// even strips run forward (down or right), odd ones back.
void Snake(CEffectRun& run, int id) {
  const int W = run.W(), H = run.H();
  const bool shift = id >= 71;
  const int kind = shift ? id - 71 : id - 67;  // 0 L-to-R, 1 T-to-B, 2 R-to-L, 3 B-to-T
  const bool columns = kind % 2 == 0;
  const bool fromEnd = kind >= 2;
  const int every = id == 73 ? 9 : 10;
  const int across = columns ? W : H, along = columns ? H : W;
  if (shift && !run.CaptureOld()) return;
  for (int s = 0; 8 * s < across; ++s) {
    int a, sw;
    StripAt(s, across, fromEnd, &a, &sw);
    bool forward = s % 2 == 0;
    if (!shift) {
      for (int z = 0; z < along; ++z) {
        int at = forward ? z : along - 1 - z;
        if (columns) run.PutInPlace(a, at, sw, 1);
        else run.PutInPlace(at, a, 1, sw);
        if (!run.DelayEvery(z, every)) return;
      }
    } else {
      for (int z = 1; z <= along; ++z) {
        if (columns) {
          if (forward) {
            run.Put(a, 0, sw, z, a, H - z);
            run.PutOld(a, z, sw, H - z, a, 0);
          } else {
            run.Put(a, H - z, sw, z, a, 0);
            run.PutOld(a, 0, sw, H - z, a, z);
          }
        } else {
          if (forward) {
            run.Put(0, a, z, sw, W - z, a);
            run.PutOld(z, a, W - z, sw, 0, a);
          } else {
            run.Put(W - z, a, z, sw, 0, a);
            run.PutOld(0, a, W - z, sw, z, a);
          }
        }
        if (!run.DelayEvery(z, every)) return;
      }
    }
  }
}

// 75, 76: the band runs round the remaining rectangle, which shrinks by the
// band's width after each side, until nothing is left; near the middle the
// band narrows to what remains, so every pixel is reached. Anti-clockwise
// is the clockwise spiral mirrored left to right.
class CSpiral {
 public:
  CSpiral(CEffectRun& run, bool mirrored) : m_run(run), m_mirrored(mirrored) {}

  void Run() {
    int l = 0, t = 0, r = m_run.W(), b = m_run.H();
    while (l < r && t < b) {
      int band = Min(8, b - t);
      for (int x = l, n = 0; x < r; ++x, ++n)
        if (!Unit(x, t, 1, band, n)) return;
      t += band;
      if (t >= b) return;
      band = Min(8, r - l);
      for (int y = t, n = 0; y < b; ++y, ++n)
        if (!Unit(r - band, y, band, 1, n)) return;
      r -= band;
      if (l >= r) return;
      band = Min(8, b - t);
      for (int x = r - 1, n = 0; x >= l; --x, ++n)
        if (!Unit(x, b - band, 1, band, n)) return;
      b -= band;
      if (t >= b) return;
      band = Min(8, r - l);
      for (int y = b - 1, n = 0; y >= t; --y, ++n)
        if (!Unit(l, y, band, 1, n)) return;
      l += band;
    }
  }

 private:
  static int Min(int a, int b) { return a < b ? a : b; }
  bool Unit(int x, int y, int w, int h, int counter) {
    if (m_mirrored) x = m_run.W() - x - w;
    m_run.PutInPlace(x, y, w, h);
    return m_run.DelayEvery(counter, 2);
  }

  CEffectRun& m_run;
  bool m_mirrored;
};

}  // namespace

void RunSnake(CEffectRun& run, int id) {
  if (id == 75 || id == 76) {
    CSpiral(run, id == 76).Run();
    return;
  }
  Snake(run, id);
}
