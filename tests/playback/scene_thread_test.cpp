// The scene thread without the screen: the end of a run, step and pause,
// loops, stops during long waits, the delay's poll count and clock, the
// Url command, the Line command on a memory DC and the speed calibration.
#include <cstdio>
#include <string>
#include <vector>

#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "playback/SpeedCalibration.h"
#include "script/Objects.h"
#include "script/ScriptPolicy.h"
#include "tests/playback/paint_support.h"
#include "tests/playback/scene_support.h"
#include "tests/support/registry.h"

using Lines = std::vector<std::string>;
using painttest::CSurface;

namespace {

// A hidden top-level window that counts the end messages it gets, with a
// hidden child that the thread plays on.
class CEndWindows {
 public:
  CEndWindows() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CEndWindows::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SceneTestParent";
    ::RegisterClassA(&wc);
    parent = ::CreateWindowExA(0, "SceneTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    output = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 100, parent, nullptr,
                               wc.hInstance, nullptr);
    s_ended = s_early = 0;
    s_watched = nullptr;
  }
  ~CEndWindows() {
    s_watched = nullptr;
    ::DestroyWindow(parent);
  }
  static int Ended() { return s_ended; }
  // The end messages that came while the watched ended event was not yet
  // set.
  static int EarlyEnds() { return s_early; }
  static void Watch(HANDLE ended) { s_watched = ended; }

  HWND parent;
  HWND output;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SCENE_ENDED) {
      ++s_ended;
      if (s_watched && ::WaitForSingleObject(s_watched, 0) != WAIT_OBJECT_0) ++s_early;
      return 0;
    }
    return ::DefWindowProcA(h, m, w, l);
  }
  static int s_ended;
  static int s_early;
  static HANDLE s_watched;
};
int CEndWindows::s_ended = 0;
int CEndWindows::s_early = 0;
HANDLE CEndWindows::s_watched = nullptr;

// Runs the script to its end; the thread must end by itself.
void RunToEnd(CSceneThread& thread) {
  ASSERT_TRUE(thread.Start());
  ASSERT_EQ(::WaitForSingleObject(thread.GetEndedEvent(), 10000), WAIT_OBJECT_0);
  thread.Stop();
}

UINT g_times = 100000;

}  // namespace

TEST(SceneThread, EmptyOrDisabledListClearsTheWindowAndEndsTellingItOnce) {
  CWatchdog dog(60000);
  for (int disabled = 0; disabled < 2; ++disabled) {
    SCOPED_TRACE(disabled ? "all disabled" : "empty");
    CEndWindows windows;
    CEventLog log;
    CTestScript script;
    if (disabled) {
      for (const char* name : {"a", "b", "c"}) script.Add(new CProbeCommand(log, name))->SetDisabled(1);
    }
    CRecordingOutput output(log, windows.output);
    CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
    RunToEnd(thread);
    EXPECT_EQ(log.Lines(), (Lines{"background 000000 00CC0020", "start"}));
    EXPECT_TRUE(PumpUntil([] { return CEndWindows::Ended() >= 1; }));
    PumpUntil([] { return false; }, 100);  // a second message would be here by now
    EXPECT_EQ(CEndWindows::Ended(), 1);
  }
}

// The commands run where the picture library's boxes are silenced, and see
// the output's background colour and the thread as their pacer.
TEST(SceneThread, CommandsRunQuietWithTheBackgroundColourAndPacer) {
  CWatchdog dog(60000);
  class CLook : public CSceneCommand {
   public:
    CLook() : CSceneCommand(kTypeComment) {}
    int Execute(CDC*, int*, CPlayContext* ctx) override {
      quiet = SetThreadMessagesQuiet(true);
      back = ctx->GetBackColour();
      pacer = ctx->GetPacer();
      return 0;
    }
    CSceneCommand* Clone() const override { return nullptr; }
    bool quiet = false;
    COLORREF back = 0;
    CPlayPacer* pacer = nullptr;
  };
  class CColourOutput : public CRecordingOutput {
   public:
    using CRecordingOutput::CRecordingOutput;
    void SetBackground(COLORREF colour, DWORD rop) override {
      CRecordingOutput::SetBackground(colour, rop);
      m_colour = colour;
    }
    COLORREF GetBackColour() const override { return m_colour; }

   private:
    COLORREF m_colour = 0;
  };
  CEndWindows windows;
  CEventLog log;
  CTestScript script;
  script.Add(new CClsCommand)->m_colour.m_colour = RGB(1, 2, 3);
  CLook* look = script.Add(new CLook);
  CColourOutput output(log, windows.output);
  CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
  RunToEnd(thread);
  EXPECT_TRUE(look->quiet);
  EXPECT_EQ(look->back, RGB(1, 2, 3));
  EXPECT_EQ(look->pacer, static_cast<CPlayPacer*>(&thread));
  EXPECT_FALSE(SetThreadMessagesQuiet(false)) << "only the scene thread is silenced";
}

// The owner that gets the end message finds the run ended: a run's end
// that came before its ended event would be taken for the end of an older
// run and ignored, and the run would seem to go on for ever.
TEST(SceneThread, TheEndMessageComesOnlyOnceTheRunHasEnded) {
  CWatchdog dog(60000);
  CEndWindows windows;
  CTestScript script;
  CWindowPlayOutput output(windows.output);
  for (int round = 1; round <= 300; ++round) {
    CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
    CEndWindows::Watch(thread.GetEndedEvent());
    ASSERT_TRUE(thread.Start());
    // Messages taken as soon as they come, without sleeping between.
    const DWORD start = ::GetTickCount();
    while (CEndWindows::Ended() < round && ::GetTickCount() - start < 10000) {
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    ASSERT_GE(CEndWindows::Ended(), round);
    thread.Stop();
    CEndWindows::Watch(nullptr);
  }
  EXPECT_EQ(CEndWindows::EarlyEnds(), 0);
}

TEST(SceneThread, CountingModeAndStoppedRunsPostNoEndMessage) {
  CEndWindows windows;
  CEventLog log;
  CTestScript script;
  CProbeCommand* wait = script.Add(new CProbeCommand(log, "long"));
  wait->m_delayElapsed = 0;
  UINT times = 0xFFFFFFFFu;  // the delay would last hours
  CWindowPlayOutput output(windows.output);
  {
    CSceneThread counter(&output, &times, CSceneThread::kCount, nullptr);
    ASSERT_TRUE(counter.Start());
    ASSERT_TRUE(counter.WaitUntilCounting(10000));
    ::Sleep(100);
    counter.Stop();
    EXPECT_GT(times, 0u);
  }
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(CEndWindows::Ended(), 0) << "counting mode tells nobody";
}

// Step mode, a pause request and an early Continue, as the exact order of
// commands run, pauses begun and ended.
TEST(SceneThread, StepPauseAndContinueSequences) {
  CWatchdog dog(60000);
  struct Case {
    const char* name;
    int step;
    bool pauseFirst;     // RequestPause before the run
    bool continueFirst;  // Continue before the run
    std::vector<int> results;  // Execute results of commands a, b, c...
    Lines expected;
  };
  const Case kCases[] = {
      {"step", 1, false, false, {1, 1, 1},
       {"a", "pause", "resume", "b", "pause", "resume", "c"}},
      {"step skips commands that did nothing", 1, false, false, {1, 0, 1},
       {"a", "pause", "resume", "b", "c"}},
      {"pause request", 0, true, false, {1, 1}, {"a", "pause", "resume", "b"}},
      {"continue before the pause", 0, true, true, {1, 1}, {"a", "pause", "resume", "b"}},
      {"no step, no pause", 0, false, false, {1, 1, 1}, {"a", "b", "c"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CEndWindows windows;
    CEventLog log, outputLog;
    CTestScript script;
    for (size_t i = 0; i < c.results.size(); ++i) {
      const char name[2] = {static_cast<char>('a' + i), 0};
      script.Add(new CProbeCommand(log, name, c.results[i]));
    }
    CRecordingOutput output(outputLog, windows.output);
    CLoggingSceneThread thread(log, &output, &g_times, script.Commands());
    thread.SetStepMode(c.step);
    if (c.pauseFirst) thread.RequestPause();
    if (c.continueFirst) thread.Continue();
    ASSERT_TRUE(thread.Start());
    // Each pause is let go once it has begun; an early Continue lets the
    // first one pass by itself.
    bool early = c.continueFirst;
    size_t seen = 0;
    while (::WaitForSingleObject(thread.GetEndedEvent(), 5) == WAIT_TIMEOUT) {
      Lines lines = log.Lines();
      for (; seen < lines.size(); ++seen) {
        if (lines[seen] != "pause") continue;
        if (early) {
          early = false;
        } else {
          thread.Continue();
        }
      }
    }
    thread.Stop();
    EXPECT_EQ(log.Lines(), c.expected);
  }
}

TEST(SceneThread, RepeatUntilLoopsNestedAndInfinite) {
  CWatchdog dog(60000);
  CEndWindows windows;
  {
    SCOPED_TRACE("nested: Repeat, Repeat, a, Until 2, b, Until 3");
    CEventLog log;
    CTestScript script;
    script.Add(new CRepeatCommand);
    script.Add(new CRepeatCommand);
    script.Add(new CProbeCommand(log, "a"));
    script.Add(new CUntilCommand)->m_repeat.m_count = 2;
    script.Add(new CProbeCommand(log, "b"));
    script.Add(new CUntilCommand)->m_repeat.m_count = 3;
    script.Prepare();
    CWindowPlayOutput output(windows.output);
    CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
    RunToEnd(thread);
    EXPECT_EQ(log.Lines(), (Lines{"a", "a", "b", "a", "a", "b", "a", "a", "b"}));
  }
  {
    SCOPED_TRACE("once: Repeat, a, Until 1, b");
    CEventLog log;
    CTestScript script;
    script.Add(new CRepeatCommand);
    script.Add(new CProbeCommand(log, "a"));
    script.Add(new CUntilCommand)->m_repeat.m_count = 1;
    script.Add(new CProbeCommand(log, "b"));
    script.Prepare();
    CWindowPlayOutput output(windows.output);
    CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
    RunToEnd(thread);
    EXPECT_EQ(log.Lines(), (Lines{"a", "b"}));
  }
  {
    SCOPED_TRACE("infinite: Repeat, a, Until forever, b; stopped");
    CEventLog log;
    CTestScript script;
    script.Add(new CRepeatCommand);
    script.Add(new CProbeCommand(log, "a"));
    script.Add(new CUntilCommand)->m_repeat.m_infinite = 1;
    script.Add(new CProbeCommand(log, "b"));
    script.Prepare();
    CWindowPlayOutput output(windows.output);
    CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(PumpUntil([&] { return log.Size() >= 20; }));
    EXPECT_EQ(::WaitForSingleObject(thread.GetEndedEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    thread.Stop();
    Lines lines = log.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "a"), static_cast<long>(lines.size()))
        << "b never runs";
  }
}

// A stop while a command waits a delay of hours, or a Wait of 100 s, ends
// the thread at once; a few hundred times, under a watchdog.
TEST(SceneThread, StopDuringALongWaitReturnsPromptly) {
  CWatchdog dog(120000);
  CEndWindows windows;
  UINT slow = 0xFFFFFFFFu;
  for (int round = 0; round < 300; ++round) {
    CEventLog log;
    CTestScript script;
    CEvent entered;
    if (round % 2 == 0) {
      CProbeCommand* probe = script.Add(new CProbeCommand(log, "delay"));
      probe->m_delayElapsed = 0;
      probe->m_entered = entered;
    } else {
      CProbeCommand* probe = script.Add(new CProbeCommand(log, "before wait"));
      probe->m_entered = entered;
      script.Add(new CWaitCommand)->m_duration.m_milliseconds = 100000;
    }
    CProbeCommand* after = script.Add(new CProbeCommand(log, "after"));
    (void)after;
    CWindowPlayOutput output(windows.output);
    auto* thread = new CSceneThread(&output, &slow, CSceneThread::kPlay, script.Commands());
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(entered.Wait(10000)) << round;
    thread->Stop();
    delete thread;
    ASSERT_EQ(log.Last() == "after", false) << "the stop ended the run, round " << round;
  }
}

TEST(CalibratedDelay, PollCountTable) {
  const struct {
    unsigned elapsed;
    double duration;
    unsigned times;
    unsigned polls;
  } kCases[] = {
      {0, 1000.0, 100000, 1000},          // effect speed 1100: (1000 - 0) x T / 1e5
      {100, 1000.0, 123456, 1111},        // effect speed 1000: 900 x 123456 / 1e5 = 1111.1
      {1000, 1000.0, 123456, 0},          // effect speed 100: no wait
      {1050, 1000.0, 123456, 0},          // speed below its range: negative, no wait
      {500, 1000.0, 0, 0},                // not calibrated
      {0, 100000.0, 40000, 40000},        // Move at speed 0
      {100000, 100000.0, 40000, 0},       // Move at full speed
      {0, 100000.0, 4000000000u, 4000000000u},
      {0, 1.0e9, 0xFFFFFFFFu, 0xFFFFFFFFu},  // beyond 32 bits: the most
      {0, 0.0, 1000, 0},                  // no duration: 0 x inf is not a number
      {5, 0.0, 1000, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.elapsed << ", " << c.duration << ", " << c.times);
    EXPECT_EQ(CalibratedPollCount(c.elapsed, c.duration, c.times), c.polls);
  }
}

namespace {
// A delay clock that records the waits and lets each overrun by `overrun`.
class CClockedThread : public CSceneThread {
 public:
  CClockedThread(UINT* times, double overrun, CPlayOutput* output = nullptr,
                 CPlayList* commands = nullptr)
      : CSceneThread(output, times, kPlay, commands), m_overrun(overrun) {}
  std::vector<DWORD> waits;
  double now = 1000.0;

 protected:
  double NowMs() override { return now; }
  bool WaitOnStopEvent(DWORD ms) override {
    waits.push_back(ms);
    now += ms + m_overrun;
    if (static_cast<int>(waits.size()) != stopAtWait) return false;
    ::SetEvent(GetStopEvent());
    return true;
  }

 public:
  int stopAtWait = -1;  // the wait (counted from 1) during which the stop comes

 private:
  double m_overrun;
};
double Sum(const std::vector<DWORD>& v, double each) {
  double total = 0;
  for (DWORD ms : v) total += ms + each;
  return total;
}
}  // namespace

// Many delays shorter than a frame add up into waits of at least a frame
// (the end of a command waits the rest); overruns of the waits are taken
// off the next ones.
TEST(CalibratedDelay, WaitsAgainstTheClockCarryingRemainders) {
  UINT times = 100000;  // polls per second: 100 polls a millisecond
  const struct {
    unsigned elapsed;
    int calls;
    double overrun;
  } kCases[] = {
      {99990, 1000, 0.0},   // about 10 polls = 0.1 ms each
      {99990, 1000, 0.7},   // each wait runs 0.7 ms long
      {99000, 10, 2.0},     // about 10 ms each, waits 2 ms long
      {100000, 1000, 0.0},  // nothing to wait
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.elapsed << " x " << c.calls << ", overrun " << c.overrun);
    CClockedThread thread(&times, c.overrun);
    for (int i = 0; i < c.calls; ++i) thread.CalibratedDelay(c.elapsed, 100000.0);
    EXPECT_FALSE(thread.SettleDelays());
    // The polls (truncated per delay) at 100 a millisecond.
    const double expected = c.calls * CalibratedPollCount(c.elapsed, 100000.0, times) / 100.0;
    const double total = Sum(thread.waits, c.overrun);
    EXPECT_NEAR(total, expected, 1.0 + c.overrun);
    for (size_t i = 0; i < thread.waits.size(); ++i)
      EXPECT_GE(thread.waits[i], i + 1 < thread.waits.size() ? kPlayFrameMs : 1u) << "wait " << i;
  }
}

// A loop whose pass waits for nothing still gives the processor up for a
// frame each pass: no script can spin a core. A pass that waits keeps its
// own time and gets nothing added.
TEST(SceneThread, ALoopThatWaitsForNothingYieldsAFrameEachPass) {
  CWatchdog dog(60000);
  CEndWindows windows;
  enum { kNothing, kCls, kWait };
  for (int body : {kNothing, kCls, kWait}) {
    SCOPED_TRACE(body == kNothing ? "Repeat, Until" : body == kCls ? "Repeat, Cls, Until" : "Repeat, Wait 40, Until");
    CTestScript script;
    script.Add(new CRepeatCommand);
    if (body == kCls) script.Add(new CClsCommand);
    if (body == kWait) script.Add(new CWaitCommand)->m_duration.m_milliseconds = 40;
    script.Add(new CUntilCommand)->m_repeat.m_infinite = 1;
    script.Prepare();
    UINT times = 100000;
    CWindowPlayOutput output(windows.output);
    CClockedThread thread(&times, 0.0, &output, script.Commands());
    thread.stopAtWait = 6;  // the stop comes in the sixth wait
    ASSERT_TRUE(thread.Start());
    const bool ended = ::WaitForSingleObject(thread.GetEndedEvent(), 10000) == WAIT_OBJECT_0;
    thread.Stop();
    EXPECT_TRUE(ended) << "the loop never waited";
    ASSERT_EQ(thread.waits.size(), 6u);
    for (DWORD ms : thread.waits) EXPECT_EQ(ms, body == kWait ? 40u : kPlayFrameMs);
  }
}

// Each command waits what its own short delays stand for before the next
// command runs, although each alone is under a frame.
TEST(CalibratedDelay, EachCommandEndsWithTheRestOfItsTime) {
  CEndWindows windows;
  CEventLog log;
  CTestScript script;
  for (const char* name : {"a", "b", "c"}) script.Add(new CProbeCommand(log, name))->m_delayElapsed = 99500;
  UINT times = 100000;  // 500 polls: 5 ms a delay
  CWindowPlayOutput output(windows.output);
  CClockedThread thread(&times, 0.0, &output, script.Commands());
  RunToEnd(thread);
  EXPECT_EQ(log.Lines(), (Lines{"a", "b", "c"}));
  EXPECT_EQ(thread.waits, (std::vector<DWORD>{5, 5, 5}));
}

// The Wait command waits its time in ticks, then the rest; a stop ends it
// with the tick it came in.
TEST(SceneCommands, WaitSleepsInTicksAndEndsWithTheTickOfAStop) {
  CTestScript script;
  // The runtime's tick, and the builder's default one.
  ASSERT_EQ(ScriptPolicy::GetWaitTick(g_pCommandPalette->GetOptions()), 100);
  const struct {
    int ms;
    int stopAt;
    std::vector<DWORD> waits;
  } kCases[] = {
      {250, -1, {100, 100, 50}},
      {200, -1, {100, 100}},
      {99, -1, {99}},
      {0, -1, {}},
      {-5, -1, {}},
      {250, 1, {100}},
      {250, 3, {100, 100, 50}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.ms << " ms, stop at wait " << c.stopAt);
    UINT times = 0;
    CClockedThread thread(&times, 0.0);
    thread.stopAtWait = c.stopAt;
    CWaitCommand wait;
    wait.m_duration.m_milliseconds = c.ms;
    int index = 0;
    EXPECT_EQ(wait.Execute(nullptr, &index, &thread), 1);
    EXPECT_EQ(thread.waits, c.waits);
  }
}

// The ticks of a long Wait that each run over take the overrun off the
// next ones: the Wait lasts its time, not a tick's overrun more per tick.
TEST(SceneCommands, WaitCarriesTheOverrunOfItsTicks) {
  CTestScript script;
  const struct {
    int ms;
    double overrun;
  } kCases[] = {{10000, 1.2}, {10050, 0.5}, {1000, 0.0}, {3000, 7.0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.ms << " ms, each wait " << c.overrun << " ms long");
    UINT times = 0;
    CClockedThread thread(&times, c.overrun);
    CWaitCommand wait;
    wait.m_duration.m_milliseconds = c.ms;
    int index = 0;
    const double start = thread.now;
    EXPECT_EQ(wait.Execute(nullptr, &index, &thread), 1);
    EXPECT_NEAR(thread.now - start, c.ms, 1.0 + c.overrun);
    EXPECT_LE(thread.waits.size(), static_cast<size_t>(c.ms / 100 + 1));
  }
}

TEST(SceneCommands, UrlSetsAndClearsTheAddressAndKeys) {
  CEndWindows windows;
  CEventLog log;
  CTestScript script;
  CUrlCommand* url = script.Add(new CUrlCommand);
  url->m_location = "http://example.org/";
  url->m_keys = 1;
  script.Add(new CUrlCommand)->m_monitoringOff = 1;
  CUrlCommand* again = script.Add(new CUrlCommand);
  again->m_location = "http://b/";
  again->m_keys = 3;
  CRecordingOutput output(log, windows.output);
  CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
  RunToEnd(thread);
  EXPECT_EQ(log.Lines(), (Lines{"background 000000 00CC0020", "start", "url http://example.org/ 1",
                                "no url", "url http://b/ 3"}));
  EXPECT_STREQ(thread.GetUrlAddress(), "http://b/");
  EXPECT_EQ(thread.GetUrlKeys(), 3);
}

TEST(SceneCommands, ClsSetsTheBackgroundWithItsMixing) {
  CEndWindows windows;
  CEventLog log;
  CTestScript script;
  const struct {
    COLORREF colour;
    int mixing;
  } kCls[] = {{RGB(10, 200, 30), 0}, {RGB(1, 2, 3), 1}, {RGB(4, 5, 6), 2}};
  for (const auto& c : kCls) {
    CClsCommand* cls = script.Add(new CClsCommand);
    cls->m_colour.m_colour = c.colour;
    cls->m_colour.m_mixing = c.mixing;
  }
  CRecordingOutput output(log, windows.output);
  CSceneThread thread(&output, &g_times, CSceneThread::kPlay, script.Commands());
  RunToEnd(thread);
  EXPECT_EQ(log.Lines(), (Lines{"background 000000 00CC0020", "start", "background 1EC80A 00CC0020",
                                "background 030201 00EE0086", "background 060504 008800C6"}));
}

TEST(SceneCommands, LineIsDrawnWithItsPenOnTheDc) {
  CSurface surface;
  ASSERT_TRUE(surface.Create(50, 30));
  surface.Fill(RGB(0, 0, 0));
  CLineCommand line;
  line.m_motion.m_startModeX = line.m_motion.m_startModeY = kModeStored;
  line.m_motion.m_endModeX = line.m_motion.m_endModeY = kModeStored;
  line.m_motion.m_startX = 5;
  line.m_motion.m_startY = 10;
  line.m_motion.m_endX = 40;
  line.m_motion.m_endY = 10;
  line.m_colour.m_colour = RGB(255, 0, 0);
  line.m_penWidth = 1;
  int index = 0;
  EXPECT_EQ(line.Execute(surface.DC(), &index, nullptr), 1);
  for (int x = 0; x < 50; ++x) {
    SCOPED_TRACE(x);
    const COLORREF expected = (x >= 5 && x < 40) ? RGB(255, 0, 0) : RGB(0, 0, 0);
    EXPECT_EQ(surface.At(x, 10), expected);
    EXPECT_EQ(surface.At(x, 9), RGB(0, 0, 0));
    EXPECT_EQ(surface.At(x, 11), RGB(0, 0, 0));
  }
}

TEST(SceneCommands, WindowOutputPaintsItsBackgroundWithTheMixing) {
  CEndWindows windows;
  CWindowPlayOutput output(windows.output);
  const struct {
    DWORD rop;
    COLORREF before, colour, after;
  } kCases[] = {
      {SRCCOPY, RGB(9, 9, 9), RGB(10, 200, 30), RGB(10, 200, 30)},
      {SRCPAINT, RGB(0x0F, 0xF0, 0x00), RGB(0xF0, 0x0F, 0x01), RGB(0xFF, 0xFF, 0x01)},
      {SRCAND, RGB(0x0F, 0xF0, 0xFF), RGB(0xFF, 0x30, 0x01), RGB(0x0F, 0x30, 0x01)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.rop);
    CSurface surface;
    ASSERT_TRUE(surface.Create(8, 8));
    surface.Fill(c.before);
    output.SetBackground(c.colour, c.rop);
    output.PaintBackground(*surface.DC());
    EXPECT_EQ(surface.At(3, 3), c.after);
  }
}

// ---- calibration -----------------------------------------------------------

namespace {
// A tree of its own: other tests delete theirs whole.
struct CTestSpeedKey : lwtest::CScratchKey {
  CTestSpeedKey()
      : CScratchKey(HKEY_CURRENT_USER,
                    "Software\\LumenweaveSceneTests" + std::to_string(::GetCurrentProcessId())) {}
};
}  // namespace

TEST(SpeedCalibration, SystemInfoTextHasTheNineValuesIn32Bits) {
  char text[300];
  FormatSystemInfoText(text, sizeof text);
  SYSTEM_INFO si;
  ::GetSystemInfo(&si);
  unsigned v[9] = {};
  ASSERT_EQ(sscanf(text, "%u,%u,%u,%u,%u,%u,%u,%u,%u", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                   &v[6], &v[7], &v[8]),
            9)
      << text;
  EXPECT_EQ(v[0], si.dwPageSize);
  EXPECT_EQ(v[1], static_cast<unsigned>(reinterpret_cast<UINT_PTR>(si.lpMinimumApplicationAddress)));
  EXPECT_EQ(v[2], static_cast<unsigned>(reinterpret_cast<UINT_PTR>(si.lpMaximumApplicationAddress)));
  EXPECT_EQ(v[3], static_cast<unsigned>(si.dwActiveProcessorMask));
  EXPECT_EQ(v[4], si.dwNumberOfProcessors);
  EXPECT_EQ(v[7], si.wProcessorLevel);
  EXPECT_EQ(v[8], si.wProcessorRevision);
}

TEST(SpeedCalibration, MatchingSysInfoSkipsTheCountOtherwiseCountsAndStores) {
  CTestSpeedKey key;
  char current[300];
  FormatSystemInfoText(current, sizeof current);
  const struct {
    const char* name;
    const char* sysInfo;  // null: nothing stored
    UINT times;
    bool counts;
  } kCases[] = {
      {"nothing stored", nullptr, 0, true},
      {"this machine", current, 777, false},
      {"another machine", "4096,65536,1,1,2,586,65536,6,1", 777, true},
      {"this machine, no count", current, 0, true},
  };
  int row = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = key.Path() + "\\" + std::to_string(row++);
    CRegistrySpeedStore store(HKEY_CURRENT_USER, path.c_str());
    if (c.sysInfo) store.Write(c.sysInfo, c.times);
    UINT times = 1;
    EXPECT_EQ(CalibrateSpeed(store, &times, 100), c.counts);
    char stored[300];
    UINT storedTimes = 0;
    store.Read(stored, sizeof stored, &storedTimes);
    if (c.counts) {
      EXPECT_GT(times, 0u);
      EXPECT_NE(times, 777u);
    } else {
      EXPECT_EQ(times, 777u);
    }
    EXPECT_STREQ(stored, current);
    EXPECT_EQ(storedTimes, times);
  }
}
