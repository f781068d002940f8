// Splits: lines from both edges toward the middle or from the middle out,
// halves scrolling in or the old content opening from the middle, and the
// diagonal splits (two triangles meeting on a diagonal, or a band along it
// that widens).
#include "playback/painter/EffectRun.h"

namespace {

void PutLine(CEffectRun& run, bool rows, int at) {
  if (rows) run.PutInPlace(0, at, run.W(), 1);
  else run.PutInPlace(at, 0, 1, run.H());
}

// 49 to 52: two lines per step, until every line is shown.
void SplitLines(CEffectRun& run, bool rows, bool in) {
  const int n = rows ? run.H() : run.W();
  for (int k = 0; k < (n + 1) / 2; ++k) {
    PutLine(run, rows, in ? k : (n - 1) / 2 - k);
    PutLine(run, rows, in ? n - 1 - k : n / 2 + k);
    if (!run.Delay()) return;
  }
}

// 53, 55: the first half scrolls in from its edge, the second from the
// other edge.
void ScrollIn(CEffectRun& run, bool rows) {
  const int W = run.W(), H = run.H();
  const int n = rows ? H : W, h1 = n / 2, h2 = n - h1;
  for (int j = 0; j <= h2; ++j) {
    int a = j < h1 ? j : h1;
    if (rows) {
      run.Put(0, 0, W, a, 0, h1 - a);
      run.Put(0, H - j, W, j, 0, h1);
    } else {
      run.Put(0, 0, a, H, h1 - a, 0);
      run.Put(W - j, 0, j, H, h1, 0);
    }
    if (!run.Delay()) return;
  }
}

// 54, 56: the old halves move apart and the picture opens from the middle.
void ScrollOut(CEffectRun& run, bool rows) {
  const int W = run.W(), H = run.H();
  const int n = rows ? H : W, h1 = n / 2, h2 = n - h1;
  if (!run.CaptureOld()) return;
  for (int t = 1; t <= h2; ++t) {
    if (rows) {
      run.PutOld(0, 0, W, h1 - t, 0, t);
      run.PutOld(0, h1 + t, W, h2 - t, 0, h1);
    } else {
      run.PutOld(0, 0, h1 - t, H, t, 0);
      run.PutOld(h1 + t, 0, h2 - t, H, h1, 0);
    }
    PutLine(run, rows, h1 - t);
    PutLine(run, rows, h1 + t - 1);
    if (!run.Delay()) return;
  }
}

int Clamp(int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; }

int Scaled(int units, int W, int H, bool roundUp) {
  if (units <= 0) return 0;
  long long p = static_cast<long long>(units) * W;
  return static_cast<int>(roundUp ? (p + H - 1) / H : p / H);
}

// 61, 63: at step b the rows within b of the bottom grow from one side and
// those within b of the top from the other. The top rows round up, so the
// two triangles close the diagonal at the last step.
void DiagonalIn(CEffectRun& run, bool topLeft) {
  const int W = run.W(), H = run.H();
  auto widths = [&](int y, int b, int* l, int* r) {
    int bottom = Clamp(Scaled(b - (H - 1 - y), W, H, false), W);
    int top = Clamp(Scaled(b - y, W, H, true), W);
    *l = topLeft ? bottom : top;
    *r = topLeft ? top : bottom;
  };
  for (int b = 0; b <= H; ++b) {
    for (int y = 0; b > 0 && y < H; ++y) {
      int l0, r0, l1, r1;
      widths(y, b - 1, &l0, &r0);
      widths(y, b, &l1, &r1);
      if (l1 > l0) run.PutInPlace(l0, y, l1 - l0, 1);
      if (r1 > r0) run.PutInPlace(W - r1, y, r1 - r0, 1);
    }
    if (!run.Delay()) return;
  }
}

// 62, 64: a band of width b centred on the diagonal, widening by one pixel
// per step; only the pixels a step adds are transferred.
void DiagonalOut(CEffectRun& run, bool topLeft) {
  const int W = run.W(), H = run.H();
  for (int b = 0; b < 2 * W; ++b) {
    for (int y = 0; b > 0 && y < H; ++y) {
      int centre = static_cast<int>(static_cast<long long>(topLeft ? y : H - 1 - y) * W / H);
      int s0 = Clamp(centre - (b - 1) / 2, W), e0 = Clamp(centre - (b - 1) / 2 + b - 1, W);
      int s1 = Clamp(centre - b / 2, W), e1 = Clamp(centre - b / 2 + b, W);
      if (s1 < s0) run.PutInPlace(s1, y, s0 - s1, 1);
      if (e1 > e0) run.PutInPlace(e0, y, e1 - e0, 1);
    }
    if (!run.DelayHalf(b)) return;
  }
}

}  // namespace

void RunSplit(CEffectRun& run, int id) {
  switch (id) {
    case 49: SplitLines(run, true, true); break;
    case 50: SplitLines(run, true, false); break;
    case 51: SplitLines(run, false, true); break;
    case 52: SplitLines(run, false, false); break;
    case 53: ScrollIn(run, true); break;
    case 54: ScrollOut(run, true); break;
    case 55: ScrollIn(run, false); break;
    case 56: ScrollOut(run, false); break;
    case 61: DiagonalIn(run, true); break;
    case 62: DiagonalOut(run, true); break;
    case 63: DiagonalIn(run, false); break;
    default: DiagonalOut(run, false); break;
  }
}
