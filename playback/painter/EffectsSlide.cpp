// Slides: Cover (the picture slides in over the old content), Uncover (the
// old content slides out), Wipe (the picture revealed in place, a line at a
// time) and Shift (the picture pushes the old content out), straight and
// diagonal. The diagonal ones move both ways at once: the longer side by one
// pixel per step, the other in proportion.
#include "playback/painter/EffectRun.h"

namespace {

enum Dir { kDown, kUp, kLeft, kRight };

// 21 to 24: for j = 0 .. H (or W) the entering j lines of the picture.
void PutEntering(CEffectRun& run, Dir d, int j) {
  const int W = run.W(), H = run.H();
  switch (d) {
    case kDown: run.Put(0, 0, W, j, 0, H - j); break;
    case kUp: run.Put(0, H - j, W, j, 0, 0); break;
    case kLeft: run.Put(W - j, 0, j, H, 0, 0); break;
    case kRight: run.Put(0, 0, j, H, W - j, 0); break;
  }
}

// The old content moved by j in the direction.
void PutOldMoved(CEffectRun& run, Dir d, int j) {
  const int W = run.W(), H = run.H();
  switch (d) {
    case kDown: run.PutOld(0, j, W, H - j, 0, 0); break;
    case kUp: run.PutOld(0, 0, W, H - j, 0, j); break;
    case kLeft: run.PutOld(0, 0, W - j, H, j, 0); break;
    case kRight: run.PutOld(j, 0, W - j, H, 0, 0); break;
  }
}

void Straight(CEffectRun& run, int kind, Dir d) {
  const int W = run.W(), H = run.H();
  const int length = (d == kDown || d == kUp) ? H : W;
  if ((kind == 1 || kind == 3) && !run.CaptureOld()) return;
  for (int j = 0; j <= length; ++j) {
    switch (kind) {
      case 0:  // Cover
        PutEntering(run, d, j);
        break;
      case 1:  // Uncover: the old content moves on, line j - 1 shows the picture
        if (j == 0) continue;
        PutOldMoved(run, d, j);
        switch (d) {
          case kDown: run.PutInPlace(0, j - 1, W, 1); break;
          case kUp: run.PutInPlace(0, H - j, W, 1); break;
          case kLeft: run.PutInPlace(W - j, 0, 1, H); break;
          case kRight: run.PutInPlace(j - 1, 0, 1, H); break;
        }
        break;
      case 2:  // Wipe: one line in place
        if (j == length) return;
        switch (d) {
          case kDown: run.PutInPlace(0, j, W, 1); break;
          case kUp: run.PutInPlace(0, H - 1 - j, W, 1); break;
          case kLeft: run.PutInPlace(W - 1 - j, 0, 1, H); break;
          case kRight: run.PutInPlace(j, 0, 1, H); break;
        }
        break;
      default:  // Shift
        PutEntering(run, d, j);
        PutOldMoved(run, d, j);
        break;
    }
    if (!run.Delay()) return;
  }
}

// The diagonal directions: horizontal part left (-1) or right (+1),
// vertical part down (+1) or up (-1).
struct Diagonal {
  int dx, dy;
};

void Diagonally(CEffectRun& run, int kind, Diagonal d) {
  const int W = run.W(), H = run.H();
  const int steps = W > H ? W : H;
  if (kind != 0 && !run.CaptureOld()) return;
  for (int i = 0; i <= steps; ++i) {
    int cx = RatioCounter(i, steps, W), cy = RatioCounter(i, steps, H);
    // Where the entering part of the picture lies in the area, and which
    // part of the picture it is: it enters from the corner opposite to the
    // movement.
    int ax = d.dx < 0 ? W - cx : 0, ay = d.dy > 0 ? 0 : H - cy;
    int px = d.dx < 0 ? 0 : W - cx, py = d.dy > 0 ? H - cy : 0;
    // The old content moved by (cx, cy).
    int ox = d.dx < 0 ? -cx : cx, oy = d.dy > 0 ? cy : -cy;
    switch (kind) {
      case 0:  // Cover
        run.Put(ax, ay, cx, cy, px, py);
        break;
      case 1:  // Uncover: the bands the old content has left show the picture
        run.PutOld(ox, oy, W, H, 0, 0);
        run.PutInPlace(0, d.dy > 0 ? 0 : H - cy, W, cy);
        run.PutInPlace(d.dx < 0 ? W - cx : 0, 0, cx, H);
        break;
      default:  // Shift
        run.Put(ax, ay, cx, cy, px, py);
        run.PutOld(ox, oy, W, H, 0, 0);
        break;
    }
    if (!run.Delay()) return;
  }
}

}  // namespace

void RunSlide(CEffectRun& run, int id) {
  static const Dir kStraight[4] = {kDown, kUp, kLeft, kRight};
  // Left-Down, Left-Up, Right-Down, Right-Up.
  static const Diagonal kDiagonal[4] = {{-1, 1}, {-1, -1}, {1, 1}, {1, -1}};
  if (id >= 21 && id <= 24) Straight(run, 0, kStraight[id - 21]);
  else if (id <= 28) Diagonally(run, 0, kDiagonal[id - 25]);
  else if (id <= 32) Straight(run, 1, kStraight[id - 29]);
  else if (id <= 36) Diagonally(run, 1, kDiagonal[id - 33]);
  else if (id <= 40) Straight(run, 2, kStraight[id - 37]);
  else if (id <= 44) Straight(run, 3, kStraight[id - 41]);
  else Diagonally(run, 2, kDiagonal[id - 45]);
}
