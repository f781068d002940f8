// Rectangles and crosses: Box In and Out, Cross In and Out, Crossed Left
// and Right, and the 40 x 40 cell effects Boxed Grow, Boxed Shrink and
// Triangle.
#include "playback/painter/EffectRun.h"

namespace {

// 7: rings from the edge inward, every ring with all four sides.
void BoxIn(CEffectRun& run) {
  const int W = run.W(), H = run.H();
  for (int k = 0; W - 2 * k >= 1 && H - 2 * k >= 1; ++k) {
    run.PutInPlace(k, k, W - 2 * k, 1);
    run.PutInPlace(k, H - 1 - k, W - 2 * k, 1);
    run.PutInPlace(k, k, 1, H - 2 * k);
    run.PutInPlace(W - 1 - k, k, 1, H - 2 * k);
    if (!run.Delay()) return;
  }
}

// 8: rings from the centre outward; each extent stops at the edge on its own.
void BoxOut(CEffectRun& run) {
  const int W = run.W(), H = run.H();
  int l = W / 2, r = W / 2, t = H / 2, b = H / 2;
  for (;;) {
    run.PutInPlace(l, t, r - l + 1, 1);
    run.PutInPlace(l, b, r - l + 1, 1);
    run.PutInPlace(l, t, 1, b - t + 1);
    run.PutInPlace(r, t, 1, b - t + 1);
    if (!run.Delay()) return;
    if (l == 0 && t == 0 && r == W - 1 && b == H - 1) return;
    if (l > 0) --l;
    if (t > 0) --t;
    if (r < W - 1) ++r;
    if (b < H - 1) ++b;
  }
}

// 9, 10: the four quarters around the centre (W / 2, H / 2); the larger
// half grows by one pixel per step, the others in proportion.
void Cross(CEffectRun& run, bool in) {
  const int W = run.W(), H = run.H();
  const int cx = W / 2, cy = H / 2;
  const int steps = (W - cx) > (H - cy) ? W - cx : H - cy;
  if (!in && !run.CaptureOld()) return;
  for (int i = 0; i <= steps; ++i) {
    int l = RatioCounter(i, steps, cx), r = RatioCounter(i, steps, W - cx);
    int t = RatioCounter(i, steps, cy), b = RatioCounter(i, steps, H - cy);
    if (in) {
      // The parts next to the centre slide in from the corners.
      run.Put(0, 0, l, t, cx - l, cy - t);
      run.Put(W - r, 0, r, t, cx, cy - t);
      run.Put(0, H - b, l, b, cx - l, cy);
      run.Put(W - r, H - b, r, b, cx, cy);
    } else {
      // The old quarters slide apart; the picture fills the cross between.
      run.PutOld(-l, -t, cx, cy, 0, 0);
      run.PutOld(cx + r, -t, W - cx, cy, cx, 0);
      run.PutOld(-l, cy + b, cx, H - cy, 0, cy);
      run.PutOld(cx + r, cy + b, W - cx, H - cy, cx, cy);
      run.PutInPlace(cx - l, 0, l + r, H);
      run.PutInPlace(0, cy - t, W, t + b);
    }
    if (!run.Delay()) return;
  }
}

// 77, 78: two triangles growing from opposite corners, row widths by the
// row's share of the height; the last step closes the diagonal exactly.
void Crossed(CEffectRun& run, bool left) {
  const int W = run.W(), H = run.H();
  auto widths = [&](int y, int i, int* l, int* r) {
    int fromBottom = y + 1, fromTop = H - y;
    int a = left ? fromBottom : fromTop;  // the left triangle's rows
    int b = left ? fromTop : fromBottom;
    *l = static_cast<int>(static_cast<long long>(a) * i / H);
    *r = i == W ? W - *l : static_cast<int>(static_cast<long long>(b) * i / H);
    if (*l > W) *l = W;
    if (*r > W) *r = W;
  };
  for (int i = 0; i <= W; ++i) {
    for (int y = 0; i > 0 && y < H; ++y) {
      int l0, r0, l1, r1;
      widths(y, i - 1, &l0, &r0);
      widths(y, i, &l1, &r1);
      if (l1 > l0) run.PutInPlace(l0, y, l1 - l0, 1);
      if (r1 > r0) run.PutInPlace(W - r1, y, r1 - r0, 1);
    }
    if (!run.Delay()) return;
  }
}

// 79 to 81: the picture cut into 40 x 40 cells, all changing together.
void Cells(CEffectRun& run, int id) {
  const int W = run.W(), H = run.H();
  const int cols = (W + 39) / 40, rows = (H + 39) / 40;
  if (id == 79) {
    for (int j = 0; j <= 20; ++j) {
      for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
          run.PutInPlace(col * 40 + 20 - j, row * 40 + 20 - j, 2 * j, 2 * j);
      if (!run.Delay5x3()) return;
    }
  } else if (id == 80) {
    for (int j = 20; j >= 0; --j) {
      for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
          int x = col * 40 + 20 - j, y = row * 40 + 20 - j;
          run.PutInPlace(x, y, 2 * j, 1);
          run.PutInPlace(x, y + 2 * j - 1, 2 * j, 1);
          run.PutInPlace(x, y, 1, 2 * j);
          run.PutInPlace(x + 2 * j - 1, y, 1, 2 * j);
        }
      }
      if (!run.Delay5x3()) return;
    }
  } else {
    // Step n shows min(n - k, 40) pixels of row k: it adds the pixel
    // n - k - 1 to each row k that is still growing.
    for (int n = 0; n <= 80; ++n) {
      int first = n > 40 ? n - 40 : 0, last = n < 40 ? n : 40;
      for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
          for (int k = first; k < last; ++k)
            run.PutInPlace(col * 40 + n - k - 1, row * 40 + k, 1, 1);
      if (!run.Delay3()) return;
    }
  }
}

}  // namespace

void RunRectangles(CEffectRun& run, int id) {
  switch (id) {
    case 7: BoxIn(run); break;
    case 8: BoxOut(run); break;
    case 9: Cross(run, true); break;
    case 10: Cross(run, false); break;
    case 77: Crossed(run, true); break;
    case 78: Crossed(run, false); break;
    default: Cells(run, id); break;
  }
}
