// Wait CPU benchmark (not a test): the processor time a playing script
// costs while it only waits, on a full-screen window as the saver plays.
// Each case is a script of one command run to its end by a scene thread
// (the runtime build of the script code) while this thread pumps messages
// as a saver's window thread does:
//   idle        no scene thread: the floor of a process under Wine
//   Wait        one Wait command of the whole time (100 ms ticks)
//   Move steps  the pacing of a Move over a long path: many calibrated
//               delays of one step length each, with or without drawing a
//               256 x 256 picture at the next point of the path per step
// Reported: the process's CPU time (GetProcessTimes, user + kernel) over
// the wall time, as % of one core, the scene thread's share, and the CPU of
// the Linux processes named in LW_BENCH_WATCH ("wineserver=PID Xvfb=PID",
// set by tools/bench/run) that work on the process's behalf.
//   tools/bench/run wait [SECONDS]      (default 10 per case)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "framework/Gdi.h"
#include "playback/SceneThread.h"
#include "playback/SpeedCalibration.h"
#include "tools/bench/support/scene.h"

namespace {

using namespace bench;

void PrintRow(const char* name, const SceneCpu& r) {
  auto pct = [&](double ms) { return 100.0 * ms / r.wallMs; };
  printf("%-40s %7.2f %8.0f %7.2f%% %7.2f%%", name, r.wallMs / 1000, r.cpuMs, pct(r.cpuMs),
         pct(r.threadMs));
  for (double ms : r.watchedMs) {
    if (ms < 0)
      printf(" %9s", "-");
    else
      printf(" %8.2f%%", pct(ms));
  }
  printf("%s\n", r.ended ? "" : "  (did not end: stopped)");
  fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 10;
  const DWORD ms = static_cast<DWORD>(seconds) * 1000;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  CWindowPlayOutput output;
  HWND hwnd = CreatePlayWindow("WaitBench", &output);
  if (!hwnd) return 1;
  PumpUntilSet(nullptr, 200);

  // A 256 x 256 picture for the drawing Move.
  const int size = 256;
  CClientDC screen(hwnd);
  PathPicture picture;
  picture.Create(&screen, size);

  UINT times = CountEventPolls(1000);
  const std::vector<Watched> watched = WatchedProcesses();
  printf("wait: screen %dx%d, %d s a case; Times %u (event polls a second, %.1f us a poll)\n", sw,
         sh, seconds, times, times ? 1e6 / times : 0.0);
  printf("goal: under 2%% of one core while waiting\n\n");
  printf("%-40s %7s %8s %8s %8s", "case", "wall s", "CPU ms", "process", "scene");
  for (const Watched& w : watched) printf(" %9s", w.name.c_str());
  printf("\n");

  // A first run makes the play output's pictures, once for all cases.
  MeasureScene(&times, NewWaitCommand(0), 0, watched);
  PrintRow("idle (no scene thread)", MeasureScene(&times, nullptr, ms, watched));

  char name[80];
  sprintf(name, "Wait %u ms", static_cast<unsigned>(ms));
  PrintRow(name, MeasureScene(&times, NewWaitCommand(ms), ms, watched));

  const struct {
    double stepMs;
    bool draw;
  } moves[] = {{5.0, false}, {1.0, false}, {0.1, false}, {1.0, true}};
  for (const auto& m : moves) {
    const int steps = static_cast<int>(ms / m.stepMs);
    const unsigned delay = MoveDelayForStep(m.stepMs);
    const unsigned polls = CalibratedPollCount(delay, 100000.0, times);
    sprintf(name, "Move %d x %.3f ms (%u polls)%s", steps, times ? polls * 1000.0 / times : 0.0,
            polls, m.draw ? " + blit" : "");
    PrintRow(name, MeasureScene(&times,
                                NewPathStepsCommand(steps, delay, m.draw ? &picture.dc : nullptr, size),
                                ms, watched));
  }
  printf("\nblit: a 256 x 256 32-bit picture drawn at the next point of the path every step\n");
  SetPlayWindowOutput(nullptr);
  DestroyWindow(hwnd);
  return 0;
}
