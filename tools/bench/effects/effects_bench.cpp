// Effects benchmark (not a test): on a full-screen window, times a plain
// copy of one frame, one level of a fade (compute and draw), one step of
// Fade From Background, and every transition's total time with no delays,
// each also as a ratio to the frame copy. Those before the table are
// medians of several rounds; a level or step is timed twice: steady
// (between the first and the last of its pacer calls) and with the
// effect's set-up shared out over its levels. Run it under Wine on a
// 1920 x 1080 display:
//   tools/bench/run effects [ROUNDS]
// or Xvfb :95 -screen 0 1920x1080x24 & DISPLAY=:95 build/wine-run
// build/bench/effects/effects_bench.exe
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "framework/Gdi.h"
#include "playback/ImagePainter.h"
#include "playback/PlayPacer.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

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
// The time of the first and the last delay or wait: a fade waits once
// after each level but the first, Fade From Background delays once a step.
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
  void Mark(int) {
    last = Now();
    if (calls++ == 0) first = last;
  }
  int calls = 0;
  double first = 0, last = 0;
};

}  // namespace

int main(int argc, char** argv) {
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
  CBitmap imageBitmap, frameBitmap;  // before the DCs that hold them
  CDC image, frame;
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

  // The first transfer makes the window's surface; it is not part of the
  // cost of the ones after it.
  screen.BitBlt(0, 0, sw, sh, &image, 0, 0, SRCCOPY);
  GdiFlush();

  // Rounds of: a plain copy of one 24-bit frame and one full-screen
  // transfer (each the mean of a few), the 256 levels of Fade From Black
  // with the clock standing still, and Fade From Background from black
  // (one step per delay). The figures are the medians of the rounds.
  const int rounds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 7;
  const int inner = 20;
  std::vector<unsigned char> a(static_cast<size_t>(sw) * sh * 3, 1), b(a.size());
  std::vector<double> copies, blits, levels, levelsSetUp, steps, stepsSetUp;
  int stepCount = 0;
  for (int r = 0; r < rounds; ++r) {
    double t0 = Now();
    for (int i = 0; i < inner; ++i) {
      a[i] = static_cast<unsigned char>(i);
      memcpy(b.data(), a.data(), a.size());
    }
    copies.push_back((Now() - t0) / inner);
    t0 = Now();
    for (int i = 0; i < inner; ++i) screen.BitBlt(0, 0, sw, sh, &image, 0, 0, SRCCOPY);
    GdiFlush();
    blits.push_back((Now() - t0) / inner);

    screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer fadePacer;
    levelsSetUp.push_back(run(4, &fadePacer) / 256);
    levels.push_back(fadePacer.Steady());

    screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer stepPacer;
    const double t = run(66, &stepPacer);
    stepCount = stepPacer.delays > 0 ? stepPacer.delays : 1;
    stepsSetUp.push_back(t / stepCount);
    steps.push_back(stepPacer.Steady());
  }
  const double copy = Median(copies), blit = Median(blits);
  printf("screen %dx%d; medians of %d rounds\n", sw, sh, rounds);
  printf("frame copy (memcpy, 24-bit): %.3f ms\n", copy);
  printf("full-screen BitBlt to the window: %.3f ms (%.2f x copy)\n", blit, blit / copy);
  printf("fade level (compute and draw): %.3f ms (%.2f x copy); with set-up %.3f ms (%.2f x copy)\n",
         Median(levels), Median(levels) / copy, Median(levelsSetUp), Median(levelsSetUp) / copy);
  printf("effect 66 step: %.3f ms (%.2f x copy); with set-up %.3f ms (%.2f x copy) over %d steps\n",
         Median(steps), Median(steps) / copy, Median(stepsSetUp), Median(stepsSetUp) / copy,
         stepCount);
  fflush(stdout);

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
