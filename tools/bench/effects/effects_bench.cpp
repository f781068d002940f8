// Effects benchmark (not a test): on a full-screen window, times a plain
// copy of one frame, one level of a fade (compute and draw), one step of
// Fade From Background, and every transition's total time with no delays,
// each also as a ratio to the frame copy. Those before the table are
// medians of several rounds; a level or step is timed twice: steady
// (between the first and the last of its pacer calls) and with the
// effect's set-up shared out over its levels. The table's "shown" columns
// time each transition as a run plays it: drawn by a thread of its own
// into the play output's back picture, presented at each pacer call as
// the scene thread presents, while this thread (the window's) paints the
// window from the output; "paint" is this thread's CPU time meanwhile.
// Run it under Wine on a 1920 x 1080 display:
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
#include "playback/PlayOutput.h"
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

// The window paints from the output, as every play window does.
CWindowPlayOutput g_output;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    g_output.Paint(BeginPaint(hwnd, &ps));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// Presents at each pacer call as the scene thread does (the delays here
// wait nothing).
class CShownPacer : public CBenchPacer {
 public:
  void CalibratedDelay(unsigned e, double d) override {
    CBenchPacer::CalibratedDelay(e, d);
    g_output.Present(0);
  }
  void WaitMilliseconds(DWORD ms) override {
    CBenchPacer::WaitMilliseconds(ms);
    g_output.Present(ms);
  }
};

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

// One transition drawn into the output's back picture by a thread of its
// own, presented as it goes and at its end, while this thread paints.
struct ShownRun {
  CImagePainter* painter;
  CDC* back;
  CShownPacer pacer;
  double ms = 0;
};

DWORD WINAPI DrawShown(void* p) {
  ShownRun* run = static_cast<ShownRun*>(p);
  POINT at = {0, 0};
  const double start = Now();
  run->painter->DrawTransition(run->back, &run->pacer, &at, 1000, 0, 0);
  g_output.Present(INFINITE);
  run->ms = Now() - start;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "EffectsBench";
  RegisterClassA(&wc);
  HWND wnd = CreateWindowExA(WS_EX_TOPMOST, "EffectsBench", "", WS_POPUP | WS_VISIBLE, 0, 0, sw,
                             sh, nullptr, nullptr, wc.hInstance, nullptr);
  if (!wnd) return 1;
  g_output.SetHwnd(wnd);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  CClientDC screen(wnd);
  CDC* back = g_output.BeginDrawing(&screen);

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

  printf("\nid  name                              total ms   x copy   delays   shown ms   paint ms\n");
  for (int id = 4; id <= 87; ++id) {
    screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer pacer;
    double t = run(id, &pacer);

    g_output.SetBackground(RGB(0, 0, 0), SRCCOPY);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    CImagePainter painter(id);
    painter.SetImage(&rect, &brush, SRCCOPY, nullptr);
    painter.SetDCs(&frame, &image);
    ShownRun shown{&painter, back};
    const double paint0 = ThreadCpuMs();
    HANDLE thread = CreateThread(nullptr, 0, DrawShown, &shown, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    CloseHandle(thread);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    const double paint = ThreadCpuMs() - paint0;

    printf("%2d  %-32s %9.1f %8.1f %8d %10.1f %10.0f\n", id, GetEffectName(id), t, t / copy,
           pacer.delays, shown.ms, paint);
    fflush(stdout);
  }
  DestroyWindow(wnd);
  return 0;
}
