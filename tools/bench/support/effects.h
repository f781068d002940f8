// Transitions for the benchmarks: a full-screen picture as the Show command
// prepares it, a pacer with no delays whose clock stands still (so that the
// fades draw all 256 levels) and which notes the time of its calls, and the
// per-frame costs: a plain copy of one 24-bit frame, one full-screen
// transfer, one fade level (compute and draw) and one Fade From Background
// step, each the median of several rounds.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "playback/painter/PlayPacer.h"

namespace bench {

class CBenchPacer : public CPlayPacer {
 public:
  void CalibratedDelay(unsigned, double) override { Mark(++delays); }
  bool IsStopRequested() const override { return false; }
  DWORD GetTickCount() override { return 0; }
  void WaitMilliseconds(DWORD) override { Mark(++waits); }
  // ms per pacer call between the first and the last one.
  double Steady() const { return calls > 1 ? (last - first) / (calls - 1) : 0; }
  int delays = 0, waits = 0;

 private:
  void Mark(int);
  int calls = 0;
  double first = 0, last = 0;
};

// The picture (a 32-bit DIB with a pattern, as the Show command's image DC)
// and the frame, both of the screen's size.
class CEffectScene {
 public:
  CEffectScene(CDC* screen, int width, int height);
  // Draws the transition onto target (the screen unless given) with no
  // delays; the ms it took, GDI flushed.
  double Run(int id, CPlayPacer* pacer, CDC* target = nullptr);
  CDC* Image() { return &m_image; }
  CDC* Frame() { return &m_frame; }
  int Width() const { return m_rect.Width(); }
  int Height() const { return m_rect.Height(); }

 private:
  CDC* m_screen;
  CBitmap m_imageBitmap, m_frameBitmap;  // before the DCs that hold them
  CDC m_image, m_frame;
  CRect m_rect;
  CBrush m_brush;
};

struct FrameCosts {
  double copy = 0;        // memcpy of one 24-bit frame
  double blit = 0;        // BitBlt of the picture to the screen
  double level = 0;       // a fade level, steady
  double levelSetUp = 0;  // with the fade's set-up shared out over its levels
  double step = 0;        // a Fade From Background step, steady
  double stepSetUp = 0;
  int stepCount = 0;
};

// Rounds of each, on the screen DC; the medians.
FrameCosts MeasureFrameCosts(CDC* screen, CEffectScene& scene, int rounds);

}  // namespace bench
