// Effects benchmark (not a test): on a full-screen window, times a plain
// copy of one frame, one level of a fade (compute and draw), one step of
// Fade From Background, and every transition's total time with no delays,
// each also as a ratio to the frame copy. Run it under Wine on a
// 1920 x 1080 display:
//   Xvfb :95 -screen 0 1920x1080x24 & DISPLAY=:95 wine64 effects_bench.exe
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

#include "framework/Gdi.h"
#include "playback/ImagePainter.h"
#include "playback/PlayPacer.h"

namespace {

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// No delays; a clock that stands still, so the fades draw all 256 levels.
class CBenchPacer : public CPlayPacer {
 public:
  void CalibratedDelay(unsigned, double) override { ++delays; }
  bool IsStopRequested() const override { return false; }
  DWORD GetTickCount() override { return 0; }
  void WaitMilliseconds(DWORD) override { ++waits; }
  int delays = 0, waits = 0;
};

}  // namespace

int main() {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "EffectsBench";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(WS_EX_TOPMOST, "EffectsBench", "", WS_POPUP | WS_VISIBLE, 0, 0, sw,
                             sh, nullptr, nullptr, wc.hInstance, nullptr);
  if (!wnd) return 1;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  CClientDC screen(wnd);

  // The picture: a DIB with a pattern, as the Show command's image DC.
  CDC image, frame;
  CBitmap imageBitmap, frameBitmap;
  void* bits = nullptr;
  image.CreateCompatibleDC(&screen);
  frame.CreateCompatibleDC(&screen);
  imageBitmap.CreateDIBSection(sw, sh, 32, &bits);
  frameBitmap.CreateCompatibleBitmap(&screen, sw, sh);
  DWORD* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) px[y * sw + x] = ((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0xFF);
  image.SelectObject(&imageBitmap);
  frame.SelectObject(&frameBitmap);
  CRect rect(0, 0, sw, sh);
  CBrush brush(RGB(0, 0, 0));

  // A plain copy of one 24-bit frame, and one full-screen transfer.
  const int rounds = 50;
  std::vector<unsigned char> a(static_cast<size_t>(sw) * sh * 3, 1), b(a.size());
  double t0 = Now();
  for (int i = 0; i < rounds; ++i) {
    a[i] = static_cast<unsigned char>(i);
    memcpy(b.data(), a.data(), a.size());
  }
  const double copy = (Now() - t0) / rounds;
  t0 = Now();
  for (int i = 0; i < rounds; ++i) screen.BitBlt(0, 0, sw, sh, &image, 0, 0, SRCCOPY);
  GdiFlush();
  const double blit = (Now() - t0) / rounds;
  printf("screen %dx%d\n", sw, sh);
  printf("frame copy (memcpy, 24-bit): %.3f ms\n", copy);
  printf("full-screen BitBlt to the window: %.3f ms (%.2f x copy)\n", blit, blit / copy);

  auto run = [&](int id, CBenchPacer* pacer) {
    CImagePainter painter(id);
    painter.SetImage(&rect, &brush, SRCCOPY, nullptr);
    painter.SetDCs(&frame, &image);
    POINT at = {0, 0};
    double start = Now();
    painter.DrawTransition(&screen, pacer, &at, 1000, 0, 0);
    GdiFlush();
    return Now() - start;
  };

  // Fade levels: 256 of them with the clock standing still.
  screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
  CBenchPacer fadePacer;
  double fade = run(4, &fadePacer);
  printf("fade level (compute and draw): %.3f ms (%.2f x copy)\n", fade / 256, fade / 256 / copy);

  // Fade From Background from black: one step per delay.
  screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
  CBenchPacer stepPacer;
  double steps = run(66, &stepPacer);
  int n = stepPacer.delays > 0 ? stepPacer.delays : 1;
  printf("effect 66 step: %.3f ms (%.2f x copy) over %d steps\n", steps / n, steps / n / copy, n);

  printf("\nid  name                              total ms   x copy   delays\n");
  for (int id = 4; id <= 87; ++id) {
    screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer pacer;
    double t = run(id, &pacer);
    printf("%2d  %-32s %9.1f %8.1f %8d\n", id, GetEffectName(id), t, t / copy, pacer.delays);
    fflush(stdout);
  }
  DestroyWindow(wnd);
  return 0;
}
