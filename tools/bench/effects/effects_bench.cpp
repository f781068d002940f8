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

#include "framework/Gdi.h"
#include "playback/painter/ImagePainter.h"
#include "playback/PlayOutput.h"
#include "tools/bench/support/cpu.h"
#include "tools/bench/support/effects.h"
#include "tools/bench/support/scene.h"
#include "tools/bench/support/timing.h"

namespace {

using namespace bench;

// The window paints from the output, as every play window does.
CWindowPlayOutput g_output;

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

// One transition drawn into the output's back picture by a thread of its
// own, presented as it goes and at its end, while this thread paints.
struct ShownRun {
  CEffectScene* scene;
  int id;
  CDC* back;
  CShownPacer pacer;
  double ms = 0;
};

DWORD WINAPI DrawShown(void* p) {
  ShownRun* run = static_cast<ShownRun*>(p);
  const double start = NowMs();
  run->scene->Run(run->id, &run->pacer, run->back);
  g_output.Present(INFINITE);
  run->ms = NowMs() - start;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  HWND wnd = CreatePlayWindow("EffectsBench", &g_output);
  if (!wnd) return 1;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  CClientDC screen(wnd);
  CDC* back = g_output.BeginDrawing(&screen);
  CEffectScene scene(&screen, sw, sh);

  const int rounds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 7;
  const FrameCosts c = MeasureFrameCosts(&screen, scene, rounds);
  const double copy = c.copy;
  printf("screen %dx%d; medians of %d rounds\n", sw, sh, rounds);
  printf("frame copy (memcpy, 24-bit): %.3f ms\n", copy);
  printf("full-screen BitBlt to the window: %.3f ms (%.2f x copy)\n", c.blit, c.blit / copy);
  printf("fade level (compute and draw): %.3f ms (%.2f x copy); with set-up %.3f ms (%.2f x copy)\n",
         c.level, c.level / copy, c.levelSetUp, c.levelSetUp / copy);
  printf("effect 66 step: %.3f ms (%.2f x copy); with set-up %.3f ms (%.2f x copy) over %d steps\n",
         c.step, c.step / copy, c.stepSetUp, c.stepSetUp / copy, c.stepCount);
  fflush(stdout);

  printf("\nid  name                              total ms   x copy   delays   shown ms   paint ms\n");
  for (int id = kEffectFirstTransition; id <= kEffectLastTransition; ++id) {
    screen.FillSolidRect(0, 0, sw, sh, RGB(0, 0, 0));
    CBenchPacer pacer;
    const double t = scene.Run(id, &pacer);

    g_output.SetBackground(RGB(0, 0, 0), SRCCOPY);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    ShownRun shown{&scene, id, back};
    const double paint0 = ThreadCpuMs(GetCurrentThread());
    HANDLE thread = CreateThread(nullptr, 0, DrawShown, &shown, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    CloseHandle(thread);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    const double paint = ThreadCpuMs(GetCurrentThread()) - paint0;

    printf("%2d  %-32s %9.1f %8.1f %8d %10.1f %10.0f\n", id, GetEffectName(id), t, t / copy,
           pacer.delays, shown.ms, paint);
    fflush(stdout);
  }
  SetPlayWindowOutput(nullptr);
  DestroyWindow(wnd);
  return 0;
}
