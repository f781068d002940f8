// Transfers and pacing shared by all transition effects.
#include "playback/painter/EffectRun.h"

#include "playback/painter/ImagePainter.h"

CEffectRun::CEffectRun(CDC* screen, CDC* frame, CPlayPacer* pacer, int x, int y, int width,
                       int height, int speed)
    : m_screen(screen), m_frame(frame), m_pacer(pacer), m_x(x), m_y(y), m_w(width),
      m_h(height), m_speed(speed) {}

bool CEffectRun::CaptureOld() {
  if (m_oldReady) return true;
  if (!m_old.CreateCompatibleDC(m_screen)) return false;
  if (!m_oldBitmap.CreateCompatibleBitmap(m_screen, m_w, m_h)) return false;
  m_old.SelectObject(&m_oldBitmap);
  m_old.BitBlt(0, 0, m_w, m_h, m_screen, m_x, m_y, SRCCOPY);
  m_oldReady = true;
  return true;
}

// Clips the destination to the area and the source to the W x H source,
// then copies what is left.
void CEffectRun::Transfer(CDC* src, int dx, int dy, int w, int h, int sx, int sy) {
  if (w <= 0 || h <= 0) return;
  int lo = 0;
  if (dx < lo) lo = dx;
  if (sx < lo) lo = sx;
  if (lo < 0) {
    dx -= lo;
    sx -= lo;
    w += lo;
  }
  lo = 0;
  if (dy < lo) lo = dy;
  if (sy < lo) lo = sy;
  if (lo < 0) {
    dy -= lo;
    sy -= lo;
    h += lo;
  }
  int over = dx > sx ? dx : sx;
  if (over + w > m_w) w = m_w - over;
  over = dy > sy ? dy : sy;
  if (over + h > m_h) h = m_h - over;
  if (w <= 0 || h <= 0) return;
  m_screen->BitBlt(m_x + dx, m_y + dy, w, h, src, sx, sy, SRCCOPY);
}

bool CEffectRun::Delay() {
  m_pacer->CalibratedDelay(static_cast<unsigned>(m_speed), 1000.0);
  return !m_pacer->IsStopRequested();
}

bool CEffectRun::DelayEvery(int counter, int n) {
  if (IsMultipleOf(counter, n)) m_pacer->CalibratedDelay(static_cast<unsigned>(m_speed), 1000.0);
  return !m_pacer->IsStopRequested();
}

bool CEffectRun::DelayHalf(int step) {
  if (IsMultipleOf(step, 15))
    m_pacer->CalibratedDelay(static_cast<unsigned>(m_speed / 2), 1000.0);
  return !m_pacer->IsStopRequested();
}

bool CEffectRun::Delay5x3() {
  for (int i = 0; i < 5; ++i) {
    m_pacer->CalibratedDelay(static_cast<unsigned>(2 * m_speed), 3000.0);
    if (m_pacer->IsStopRequested()) return false;
  }
  return true;
}

bool CEffectRun::Delay3() {
  for (int i = 0; i < 3; ++i) {
    m_pacer->CalibratedDelay(static_cast<unsigned>(m_speed), 1000.0);
    if (m_pacer->IsStopRequested()) return false;
  }
  return true;
}

bool CEffectRun::DelayRoll() {
  // 2, or 3 at the slowest effect speed (speed 100).
  int f = (1100 - m_speed) / 1000 + 2;
  m_pacer->CalibratedDelay(static_cast<unsigned>(m_speed), f * 1000.0);
  return !m_pacer->IsStopRequested();
}
