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
#include <string.h>

#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "playback/SceneThread.h"
#include "playback/SpeedCalibration.h"
#include "script/Commands.h"
#include "script/Palette.h"

namespace {

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double FileTimeMs(const FILETIME& t) {
  return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) /
         10000.0;
}

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

double ThreadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!thread || !GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

// A Linux process seen through Wine's drive Z: (the root folder).
struct Watched {
  std::string name;
  std::string statPath;
};

std::vector<Watched> WatchedProcesses() {
  std::vector<Watched> list;
  const char* env = getenv("LW_BENCH_WATCH");
  if (!env) return list;
  char text[256];
  lstrcpynA(text, env, sizeof text);
  for (char* item = strtok(text, " "); item; item = strtok(nullptr, " ")) {
    char* eq = strchr(item, '=');
    if (!eq) continue;
    *eq = 0;
    list.push_back({item, std::string("Z:\\proc\\") + (eq + 1) + "\\stat"});
  }
  return list;
}

// utime + stime of /proc/PID/stat in ms (clock ticks of 10 ms); -1 when
// it cannot be read.
double LinuxCpuMs(const Watched& w) {
  FILE* f = fopen(w.statPath.c_str(), "rb");
  if (!f) return -1;
  char text[1024];
  size_t n = fread(text, 1, sizeof text - 1, f);
  fclose(f);
  text[n] = 0;
  const char* p = strrchr(text, ')');  // the name may hold spaces
  if (!p) return -1;
  // Fields after the name: state is the 3rd field; utime and stime the 14th and 15th.
  unsigned long long utime = 0, stime = 0;
  if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
    return -1;
  return static_cast<double>(utime + stime) * 10.0;
}

// The window the scene thread plays on: painted from the play output, as
// the saver window is.
CWindowPlayOutput* g_output = nullptr;

LRESULT CALLBACK OutputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT && g_output) {
    PAINTSTRUCT ps;
    g_output->Paint(BeginPaint(hwnd, &ps));
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_SCENE_ENDED) return 0;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// Pumps messages until the event is set or the time is up; true when set.
bool PumpUntilSet(HANDLE event, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return false;
    DWORD r = event ? MsgWaitForMultipleObjects(1, &event, FALSE, ms - spent, QS_ALLINPUT)
                    : MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    if (event && r == WAIT_OBJECT_0) return true;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// The pacing of a Move along a long path: `steps` calibrated delays of
// (moveDelay, 100000), each after drawing the picture at the next point
// when there is one.
class CPathStepsCommand : public CSceneCommand {
 public:
  CPathStepsCommand(int steps, unsigned moveDelay, CDC* picture, int size)
      : CSceneCommand(kTypeComment),
        m_steps(steps),
        m_delay(moveDelay),
        m_picture(picture),
        m_size(size) {}
  int Execute(CDC* dc, int*, CPlayContext* ctx) override {
    const int w = GetSystemMetrics(SM_CXSCREEN) - m_size, h = GetSystemMetrics(SM_CYSCREEN) - m_size;
    for (int i = 0; i < m_steps && !ctx->IsStopRequested(); ++i) {
      if (m_picture) {
        // Back and forth along a diagonal, two pixels a step.
        const int t = (2 * i) % (2 * w), x = t < w ? t : 2 * w - t;
        dc->BitBlt(x, x * h / w, m_size, m_size, m_picture, 0, 0, SRCCOPY);
        GdiFlush();
      }
      ctx->CalibratedDelay(m_delay, 100000.0);
    }
    return 1;
  }
  CSceneCommand* Clone() const override { return nullptr; }

 private:
  int m_steps;
  unsigned m_delay;
  CDC* m_picture;
  int m_size;
};

// Placed after the measured command: records the scene thread's CPU time
// while the thread still runs (an ended thread's times cannot be read
// under Wine).
class CThreadTimeProbe : public CSceneCommand {
 public:
  explicit CThreadTimeProbe(double* ms) : CSceneCommand(kTypeComment), m_ms(ms) {}
  int Execute(CDC*, int*, CPlayContext*) override {
    *m_ms = ThreadCpuMs(GetCurrentThread());
    return 1;
  }
  CSceneCommand* Clone() const override { return nullptr; }

 private:
  double* m_ms;
};

struct Result {
  double wallMs = 0;
  double cpuMs = 0;
  double threadMs = 0;
  std::vector<double> watchedMs;
  bool ended = true;
};

// Plays the palette's live list to its end (command == null: pumps for
// idleMs without a scene thread).
Result Measure(HWND hwnd, UINT* times, CSceneCommand* command, DWORD idleMs,
               const std::vector<Watched>& watched) {
  CCommandPalette palette;
  CCommandPalette* previous = g_pCommandPalette;
  g_pCommandPalette = &palette;
  Result r;
  std::vector<double> before;
  for (const Watched& w : watched) before.push_back(LinuxCpuMs(w));
  const double cpu0 = ProcessCpuMs(), wall0 = NowMs();
  if (command) {
    palette.GetCommands().Add(command);
    palette.GetCommands().Add(new CThreadTimeProbe(&r.threadMs));
    palette.GetCommands().NumberCommands();
    CCommandListPlay commands(palette.GetCommands());
    CSceneThread thread(g_output, times, CSceneThread::kPlay, &commands);
    thread.Start();
    r.ended = PumpUntilSet(thread.GetEndedEvent(), idleMs * 3 + 10000);
    thread.Stop();
  } else {
    PumpUntilSet(nullptr, idleMs);
  }
  r.wallMs = NowMs() - wall0;
  r.cpuMs = ProcessCpuMs() - cpu0;
  for (size_t i = 0; i < watched.size(); ++i) {
    const double now = LinuxCpuMs(watched[i]);
    r.watchedMs.push_back(now >= 0 && before[i] >= 0 ? now - before[i] : -1);
  }
  g_pCommandPalette = previous;
  return r;
}

void PrintRow(const char* name, const Result& r) {
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
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OutputProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "WaitBench";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "WaitBench", "", WS_POPUP | WS_VISIBLE, 0, 0, sw, sh,
                              nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  CWindowPlayOutput output(hwnd);
  g_output = &output;
  PumpUntilSet(nullptr, 200);

  // A 256 x 256 picture for the drawing Move.
  const int size = 256;
  CClientDC screen(hwnd);
  CBitmap bitmap;  // before the DC that holds it
  CDC picture;
  void* bits = nullptr;
  picture.CreateCompatibleDC(&screen);
  bitmap.CreateDIBSection(size, size, 32, &bits);
  DWORD* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) px[y * size + x] = static_cast<DWORD>(x << 16 | y << 8 | (x ^ y));
  picture.SelectObject(&bitmap);

  UINT times = CountEventPolls(1000);
  const std::vector<Watched> watched = WatchedProcesses();
  printf("wait: screen %dx%d, %d s a case; Times %u (event polls a second, %.1f us a poll)\n", sw,
         sh, seconds, times, times ? 1e6 / times : 0.0);
  printf("goal: under 2%% of one core while waiting\n\n");
  printf("%-40s %7s %8s %8s %8s", "case", "wall s", "CPU ms", "process", "scene");
  for (const Watched& w : watched) printf(" %9s", w.name.c_str());
  printf("\n");

  // A first run makes the play output's pictures, once for all cases.
  CWaitCommand* first = new CWaitCommand;
  first->m_duration.m_milliseconds = 0;
  Measure(hwnd, &times, first, 0, watched);
  PrintRow("idle (no scene thread)", Measure(hwnd, &times, nullptr, ms, watched));

  CWaitCommand* wait = new CWaitCommand;
  wait->m_duration.m_milliseconds = static_cast<int>(ms);
  char name[80];
  sprintf(name, "Wait %u ms", static_cast<unsigned>(ms));
  PrintRow(name, Measure(hwnd, &times, wait, ms, watched));

  // Move delays: (100000 - delay) / 100000 s a step, as a whole number of
  // polls (so a step may come out shorter than asked).
  const struct {
    double stepMs;
    bool draw;
  } moves[] = {{5.0, false}, {1.0, false}, {0.1, false}, {1.0, true}};
  for (const auto& m : moves) {
    const int steps = static_cast<int>(ms / m.stepMs);
    const unsigned delay = static_cast<unsigned>(100000.0 - m.stepMs * 100.0 + 0.5);
    const unsigned polls = CalibratedPollCount(delay, 100000.0, times);
    sprintf(name, "Move %d x %.3f ms (%u polls)%s", steps, times ? polls * 1000.0 / times : 0.0,
            polls, m.draw ? " + blit" : "");
    PrintRow(name, Measure(hwnd, &times,
                           new CPathStepsCommand(steps, delay, m.draw ? &picture : nullptr, size),
                           ms, watched));
  }
  printf("\nblit: a 256 x 256 32-bit picture drawn at the next point of the path every step\n");
  g_output = nullptr;
  DestroyWindow(hwnd);
  return 0;
}
