// Test support for the painter: 32-bit memory surfaces, a distinctive
// picture pattern, and a pacer that counts delays, records their arguments
// and runs a fake clock.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "framework/Gdi.h"
#include "playback/painter/ImagePainter.h"
#include "playback/painter/PlayPacer.h"

namespace painttest {

// The colour that surrounds every area and fills it before an effect.
const COLORREF kSentinel = RGB(0x12, 0x34, 0x56);

// A picture pixel: red is always odd, so it never equals the sentinel.
inline COLORREF Pic(int x, int y) {
  return RGB(((x * 37 + y * 3) & 0xFE) | 1, (y * 53 + x * 5 + 7) & 0xFF, ((x + y) * 19 + 101) & 0xFF);
}

// A 32-bit DIB section in its memory DC; its rows run top-down unless
// asked otherwise.
class CSurface {
 public:
  bool Create(int w, int h, bool bottomUp = false) {
    m_w = w;
    m_h = h;
    m_bottomUp = bottomUp;
    void* bits = nullptr;
    if (!m_dc.CreateCompatibleDC(nullptr)) return false;
    if (bottomUp) {
      BITMAPINFO bi = {};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = w;
      bi.bmiHeader.biHeight = h;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      m_bitmap.Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    } else {
      m_bitmap.CreateDIBSection(w, h, 32, &bits);
    }
    if (!bits) return false;
    m_bits = static_cast<DWORD*>(bits);
    m_dc.SelectObject(&m_bitmap);
    return true;
  }
  void Fill(COLORREF c) { m_dc.FillSolidRect(0, 0, m_w, m_h, c); }
  void FillPicture(int offsetX = 0, int offsetY = 0) {
    GdiFlush();
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x) Set(x, y, Pic(x + offsetX, y + offsetY));
  }
  // Pixels as COLORREF values.
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD p = m_bits[Index(x, y)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void Set(int x, int y, COLORREF c) {
    m_bits[Index(x, y)] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  // The pixels top row first.
  std::vector<DWORD> Snapshot() const {
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<size_t>(m_w) * m_h);
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x) pixels[y * m_w + x] = m_bits[Index(x, y)];
    return pixels;
  }
  CDC* DC() { return &m_dc; }
  int W() const { return m_w; }
  int H() const { return m_h; }

 private:
  int Index(int x, int y) const { return (m_bottomUp ? m_h - 1 - y : y) * m_w + x; }

  CBitmap m_bitmap;  // before its DC, which lets go of it when destroyed
  CDC m_dc;
  DWORD* m_bits = nullptr;
  int m_w = 0, m_h = 0;
  bool m_bottomUp = false;
};

class CTestPacer : public CPlayPacer {
 public:
  void CalibratedDelay(unsigned elapsed, double duration) override {
    ++delays;
    calls.emplace_back(elapsed, duration);
    if (onDelay) onDelay(delays);
  }
  bool IsStopRequested() const override {
    if (onPoll) onPoll();
    return stopAfter >= 0 && delays >= stopAfter;
  }
  DWORD GetTickCount() override {
    DWORD t = clock;
    clock += tickStep;
    return t;
  }
  void WaitMilliseconds(DWORD ms) override {
    ++waits;
    waited += ms;
    clock += ms;
    if (onWait) onWait(waits);
  }

  int delays = 0;
  std::vector<std::pair<unsigned, double>> calls;
  int stopAfter = -1;  // stop requested once this many delays were made
  std::function<void(int)> onDelay, onWait;
  std::function<void()> onPoll;
  DWORD clock = 0, tickStep = 0, waited = 0;
  int waits = 0;
};

// A screen with a margin of sentinel pixels round the W x H area at
// (margin, margin), a picture and its frame.
class CScene {
 public:
  static const int kMargin = 3;
  CScene(int w, int h, bool bottomUpScreen = false)
      : m_w(w), m_h(h), m_rect(0, 0, w, h), m_brush(RGB(1, 2, 3)) {
    m_screen.Create(w + 2 * kMargin, h + 2 * kMargin, bottomUpScreen);
    m_screen.Fill(kSentinel);
    m_image.Create(w, h);
    m_image.FillPicture();
    m_frame.Create(w, h);
  }
  void Run(int id, CPlayPacer* pacer, int speed = 1000) {
    CImagePainter painter(id);
    painter.SetImage(&m_rect, &m_brush, SRCCOPY, nullptr);
    painter.SetDCs(m_frame.DC(), m_image.DC());
    POINT at = {kMargin, kMargin};
    painter.DrawTransition(m_screen.DC(), pacer, &at, speed, 0, 0);
  }
  // The area pixel (x, y) shows the picture.
  bool Shown(int x, int y) const { return m_screen.At(kMargin + x, kMargin + y) == Pic(x, y); }
  COLORREF AreaAt(int x, int y) const { return m_screen.At(kMargin + x, kMargin + y); }
  // Pixels of the area not showing the picture (or not black).
  int Wrong(bool black = false) const {
    int n = 0;
    for (int y = 0; y < m_h; ++y)
      for (int x = 0; x < m_w; ++x)
        if (black ? AreaAt(x, y) != RGB(0, 0, 0) : !Shown(x, y)) ++n;
    return n;
  }
  // Pixels outside the area that are no longer the sentinel.
  int TouchedOutside() const {
    int n = 0;
    for (int y = 0; y < m_screen.H(); ++y)
      for (int x = 0; x < m_screen.W(); ++x) {
        bool inside = x >= kMargin && x < kMargin + m_w && y >= kMargin && y < kMargin + m_h;
        if (!inside && m_screen.At(x, y) != kSentinel) ++n;
      }
    return n;
  }
  CSurface& Screen() { return m_screen; }
  int W() const { return m_w; }
  int H() const { return m_h; }

 private:
  int m_w, m_h;
  CRect m_rect;
  CBrush m_brush;
  CSurface m_screen, m_image, m_frame;
};

}  // namespace painttest
