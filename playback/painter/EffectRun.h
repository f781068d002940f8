// What a running transition effect works with: the area on the screen, the
// composed picture, the old content of the area when the effect moves it,
// and the pacing rules. Every transfer goes through Put or PutOld, which
// clip to the area and to the picture, so no effect can paint outside its
// area or read outside its picture. Internal to the painter.
#pragma once

#include "framework/Gdi.h"
#include "playback/painter/PlayPacer.h"

class CEffectRun {
 public:
  CEffectRun(CDC* screen, CDC* frame, CPlayPacer* pacer, int x, int y, int width, int height,
             int speed);
  CEffectRun(const CEffectRun&) = delete;
  CEffectRun& operator=(const CEffectRun&) = delete;

  int W() const { return m_w; }
  int H() const { return m_h; }
  int Speed() const { return m_speed; }
  int X() const { return m_x; }
  int Y() const { return m_y; }
  CDC* Screen() const { return m_screen; }
  CDC* Frame() const { return m_frame; }
  CPlayPacer* Pacer() const { return m_pacer; }

  // Picture (sx, sy, w, h) to (dx, dy) of the area.
  void Put(int dx, int dy, int w, int h, int sx, int sy) {
    Transfer(m_frame, dx, dy, w, h, sx, sy);
  }
  void PutInPlace(int x, int y, int w, int h) { Transfer(m_frame, x, y, w, h, x, y); }
  // Old content (sx, sy, w, h) to (dx, dy) of the area; CaptureOld first.
  void PutOld(int dx, int dy, int w, int h, int sx, int sy) {
    if (m_oldReady) Transfer(&m_old, dx, dy, w, h, sx, sy);
  }
  // Copies the area's present content; false when no bitmap could be made.
  bool CaptureOld();
  void PutWholePicture() { PutInPlace(0, 0, m_w, m_h); }

  bool Stopped() const { return m_pacer->IsStopRequested(); }
  // The pacing rules. Each returns false once a stop is requested, so that
  // the effect leaves its loops; the painter then completes the picture.
  bool Delay();                              // D1
  bool DelayEvery(int counter, int n);       // D1 every n-th unit
  bool DelayHalf(int step);                  // Dhalf
  bool Delay5x3();                           // D5x3
  bool Delay3();                             // D3
  bool DelayRoll();                          // Droll

 private:
  void Transfer(CDC* src, int dx, int dy, int w, int h, int sx, int sy);

  CDC* m_screen;
  CDC* m_frame;
  CPlayPacer* m_pacer;
  int m_x, m_y, m_w, m_h, m_speed;
  CBitmap m_oldBitmap;  // before its DC, which lets go of it when destroyed
  CDC m_old;
  bool m_oldReady = false;
};

// The families of effects, one function each; id is the effect id.
void RunFade(CEffectRun& run, int id, CBitmap* fadeBitmap);
void RunFadeFromBackground(CEffectRun& run);
void RunRandomUnits(CEffectRun& run, int id);
void RunInterleaved(CEffectRun& run, int id);
void RunRectangles(CEffectRun& run, int id);
void RunSlide(CEffectRun& run, int id);
void RunSplit(CEffectRun& run, int id);
void RunSnake(CEffectRun& run, int id);
void RunRoll(CEffectRun& run, int id);

// i x total / steps, the shared rounding of the ratio counters: 0 at step 0,
// total at the last step.
inline int RatioCounter(int i, int steps, int total) {
  return steps > 0 ? static_cast<int>(static_cast<long long>(total) * i / steps) : total;
}
