// The play window and the processor time of a playing scene.
#include "tools/bench/support/scene.h"

#include "playback/SceneThread.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "tools/bench/support/timing.h"

namespace bench {
namespace {

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

}  // namespace

HWND CreatePlayWindow(const char* className, CWindowPlayOutput* output) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OutputProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, 0, 0, sw, sh,
                              nullptr, nullptr, wc.hInstance, nullptr);
  if (hwnd && output) {
    output->SetHwnd(hwnd);
    g_output = output;
  }
  return hwnd;
}

void SetPlayWindowOutput(CWindowPlayOutput* output) { g_output = output; }

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

SceneCpu MeasureScene(UINT* times, CSceneCommand* command, DWORD idleMs,
                      const std::vector<Watched>& watched) {
  CCommandPalette palette;
  CCommandPalette* previous = g_pCommandPalette;
  g_pCommandPalette = &palette;
  SceneCpu r;
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

CSceneCommand* NewWaitCommand(DWORD ms) {
  CWaitCommand* wait = new CWaitCommand;
  wait->m_duration.m_milliseconds = static_cast<int>(ms);
  return wait;
}

CSceneCommand* NewPathStepsCommand(int steps, unsigned moveDelay, CDC* picture, int size) {
  return new CPathStepsCommand(steps, moveDelay, picture, size);
}

bool PathPicture::Create(CDC* screen, int size) {
  void* bits = nullptr;
  if (!dc.CreateCompatibleDC(screen) || !bitmap.CreateDIBSection(size, size, 32, &bits) || !bits)
    return false;
  DWORD* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) px[y * size + x] = static_cast<DWORD>(x << 16 | y << 8 | (x ^ y));
  dc.SelectObject(&bitmap);
  return true;
}

// (100000 - delay) / 100000 s a step, as a whole number of polls (so a step
// may come out shorter than asked).
unsigned MoveDelayForStep(double stepMs) {
  return static_cast<unsigned>(100000.0 - stepMs * 100.0 + 0.5);
}

}  // namespace bench
