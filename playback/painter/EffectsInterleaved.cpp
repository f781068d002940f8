// Interleaved patterns: Blinds, Alternate Bands, Checkerboard, Zig-Zag and
// Strips. Each reveals the picture in place (or, for the bands, slides it
// in) in lines spread over the whole area at once.
#include "playback/painter/EffectRun.h"

namespace {

// 11, 12: 16 passes; pass p reveals lines p, p + 16, ...; every slot
// delays, also one past the picture's end.
void Blinds(CEffectRun& run, bool rows) {
  int length = rows ? run.H() : run.W();
  for (int p = 0; p < 16; ++p) {
    for (int s = 0; s <= length / 16; ++s) {
      int line = p + 16 * s;
      if (line < length) {
        if (rows) run.PutInPlace(0, line, run.W(), 1);
        else run.PutInPlace(line, 0, 1, run.H());
      }
      if (!run.Delay()) return;
    }
  }
}

// 15: 8-row bands slide in from alternate sides; 16: 8-column bands from
// the top and the bottom.
void AlternateBands(CEffectRun& run, bool horizontal) {
  const int W = run.W(), H = run.H();
  int length = horizontal ? W : H;
  int across = horizontal ? H : W;
  for (int s = 0; s <= length; ++s) {
    for (int b = 0, at = 0; at < across; ++b, at += 8) {
      bool even = b % 2 == 0;
      if (horizontal) {
        if (even) run.Put(0, at, s, 8, W - s, at);
        else run.Put(W - s, at, s, 8, 0, at);
      } else {
        if (even) run.Put(at, 0, 8, s, at, H - s);
        else run.Put(at, H - s, 8, s, at, 0);
      }
    }
    if (!run.Delay()) return;
  }
}

struct CCellGrid {
  int cols, rows;
};

// Cells of the given size; when the column count is even both counts grow
// by one, so that the row-major cell index alternates like a checkerboard.
CCellGrid MakeGrid(int W, int H, int cell) {
  CCellGrid g = {(W + cell - 1) / cell, (H + cell - 1) / cell};
  if (g.cols % 2 == 0) {
    ++g.cols;
    ++g.rows;
  }
  return g;
}

// 17, 18: two passes over the even and then the odd cells; each cell gets
// its line c in turn.
void Checkerboard(CEffectRun& run, bool across) {
  CCellGrid g = MakeGrid(run.W(), run.H(), 16);
  for (int pass = 0; pass < 2; ++pass) {
    for (int c = 0; c < 16; ++c) {
      for (int i = pass; i < g.cols * g.rows; i += 2) {
        int cx = (i % g.cols) * 16, cy = (i / g.cols) * 16;
        if (across) run.PutInPlace(cx + c, cy, 1, 16);
        else run.PutInPlace(cx, cy + c, 16, 1);
        if (!run.Delay()) return;
      }
    }
  }
}

// 19, 20: every cell in both passes, lines c and c + 1 swapping by the
// parity of the cell's row (19) or row plus column (20).
void ZigZag(CEffectRun& run, bool vertical) {
  CCellGrid g = MakeGrid(run.W(), run.H(), 16);
  for (int pass = 0; pass < 2; ++pass) {
    for (int c = 0; c < 16; c += 2) {
      for (int row = 0; row < g.rows; ++row) {
        for (int col = 0; col < g.cols; ++col) {
          int parity = vertical ? row % 2 : (row + col) % 2;
          int line = c + ((parity + pass) % 2);
          int cx = col * 16, cy = row * 16;
          if (vertical) run.PutInPlace(cx + line, cy, 1, 16);
          else run.PutInPlace(cx, cy + line, 16, 1);
          if (!run.Delay()) return;
        }
      }
    }
  }
}

int Clamp(int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; }

// 57 to 60: 8-row bands, each starting 8 steps after its neighbour.
void Strips(CEffectRun& run, int id) {
  const int W = run.W(), H = run.H();
  bool fromRight = id == 57 || id == 58;  // "Left": grows leftward from the right edge
  bool topLeads = id == 57 || id == 59;
  int bands = (H + 7) / 8;
  for (int s = 0; s <= W + 8 * bands; ++s) {
    for (int b = 0; b < bands; ++b) {
      int order = topLeads ? b : bands - 1 - b;
      // Only the columns this step adds; the others are already shown.
      int n = Clamp(s - 8 * order, W), before = Clamp(s - 1 - 8 * order, W);
      if (n == before) continue;
      if (fromRight) run.PutInPlace(W - n, b * 8, n - before, 8);
      else run.PutInPlace(before, b * 8, n - before, 8);
    }
    if (!run.Delay()) return;
  }
}

}  // namespace

void RunInterleaved(CEffectRun& run, int id) {
  switch (id) {
    case 11: Blinds(run, true); break;
    case 12: Blinds(run, false); break;
    case 15: AlternateBands(run, true); break;
    case 16: AlternateBands(run, false); break;
    case 17: Checkerboard(run, true); break;
    case 18: Checkerboard(run, false); break;
    case 19: ZigZag(run, true); break;
    case 20: ZigZag(run, false); break;
    default: Strips(run, id); break;
  }
}
