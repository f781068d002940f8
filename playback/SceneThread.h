// CSceneThread: the worker thread that plays a list of commands (its
// owner's, see CPlayList) on an output window, and the play context and pacer its commands and effects
// see. In counting mode it only counts zero-time-out polls of its stop event
// until stopped: one second of that is the speed value "Times".
//
// Timed steps keep their length in polls ((duration - elapsed) x Times /
// 100,000, see CalibratedPollCount) but wait that long against a clock,
// blocked on the stop event, so a saver does not burn a core while waiting.
// The Wait command's ticks and the delays share one account of time owed,
// so that what one wait overran is taken off the next. Delays shorter than
// a frame of the output (kPlayFrameMs) are gathered into waits of at least
// a frame: what they draw reaches the screen at most once a frame anyway,
// and a thread that woke a thousand times a second for a Move of 1 ms
// steps cost a tenth of a core under Wine. What a command's delays leave
// owed is waited after the command, so that each command still takes its
// own time.
//
// What the commands draw is presented through the output after each
// command and before each wait, so that it shows while the thread waits.
//
// A pass of a loop (a command that sends the run back, as Until does) in
// which the thread waited for nothing (no delay, tick, fade, pause or
// media that took time) ends with a wait of a frame: no script spins a
// core, whatever its loop holds.
//
// Ownership: auto-delete is off. The owner calls Stop (which waits for the
// thread and answers messages the thread sends to the owner's windows
// meanwhile) and then deletes the object. Stop on an ended thread returns at
// once; the destructor stops a thread that still runs.
#pragma once

#include <windows.h>

#include <atomic>

#include "framework/Sync.h"
#include "framework/Thread.h"
#include "playback/PlayOutput.h"
#include "playback/painter/PlayPacer.h"
#include "script/PlayContext.h"

// The private message a play run posts to its window's parent at its end.
constexpr UINT WM_SCENE_ENDED = WM_USER + 101;

// The polls of one calibrated delay: (1 - elapsed / duration) x times x
// duration x 0.00001, truncated; 0 when that is negative or not a number,
// at most 0xFFFFFFFF.
unsigned CalibratedPollCount(unsigned elapsed, double duration, unsigned times);

class CSceneThread : public CWinThread, public CPlayContext, public CPlayPacer {
 public:
  enum Mode { kPlay = 0, kCount = 1 };

  // output: the window to play on (may be null in counting mode); times:
  // the speed value, read by the delays and written by counting; commands:
  // what a play run plays (null in counting mode), which must outlive the
  // thread; media: the players of Play and Stop (null: none).
  CSceneThread(CPlayOutput* output, UINT* times, int mode, CPlayList* commands,
               CMediaPlayers* media = nullptr);
  ~CSceneThread() override;

  // Creates the system thread suspended, at normal priority, and starts it.
  bool Start();

  // From the owner's thread.
  void SetStepMode(int step) { m_step = step; }
  void RequestPause() { m_pauseRequest.SetEvent(); }
  void Continue() { m_continue.SetEvent(); }
  // Stops media and the thread and waits for its end (see above).
  void Stop();
  HANDLE GetEndedEvent() const { return m_ended; }
  // Counting mode: true once the thread counts (a new thread may wait long
  // for its first turn on a loaded machine); false after ms without.
  bool WaitUntilCounting(DWORD ms) const { return m_counting.Wait(ms); }

  // The play context.
  HANDLE GetStopEvent() const override { return m_stop; }
  bool IsStopRequested() const override { return m_stopRequested.load(std::memory_order_relaxed); }
  int IsStepMode() const override { return m_step; }
  bool WaitForStop(DWORD ms) override;
  void CalibratedDelay(unsigned elapsed, double duration) override;
  // Called after each command: waits the whole milliseconds its delays
  // left owed; true when the stop came.
  bool SettleDelays();
  void WaitWhilePaused() override;
  CPlayPacer* GetPacer() override { return this; }
  HWND GetOutputWindow() const override { return m_pOutput ? m_pOutput->GetHwnd() : nullptr; }
  COLORREF GetBackColour() const override { return m_pOutput ? m_pOutput->GetBackColour() : 0; }
  void SetBackground(COLORREF colour, DWORD rop) override;
  void SetUrl(const char* address, int keys) override;
  void ClearUrl() override;
  int GetFullScreenTop() const override { return m_pOutput ? m_pOutput->GetFullScreenTop() : 0; }
  bool PlayMedia(CMediaObject& media, int wait, int endless, const RECT& place,
                 int timerMs) override;
  void StopMedia(CMediaObject& media) override;

  // The pacer's clock and the fades' frame wait.
  DWORD GetTickCount() override { return ::GetTickCount(); }
  void WaitMilliseconds(DWORD ms) override;

  // What the last Url command chose.
  const char* GetUrlAddress() const { return m_url; }
  int GetUrlKeys() const { return m_urlKeys; }

 protected:
  bool InitInstance() override;
  void Delete() override;

  // The clock of the timed waits in ms, and the wait on the stop event
  // under all of them: true when the stop came (tests replace both).
  virtual double NowMs();
  virtual bool WaitOnStopEvent(DWORD ms) { return m_stop.Wait(ms); }
  // Called on the thread when a pause begins and ends.
  virtual void OnPause(bool begins) {}

 private:
  void Count();
  void Play();
  // Waits the whole milliseconds owed; true when the stop came.
  bool WaitOwed();
  // Every timed wait of the thread on its stop event: true when the stop
  // came.
  bool Block(DWORD ms);
  void Present(DWORD pauseMs) {
    if (m_pOutput) m_pOutput->Present(pauseMs);
  }

  CPlayOutput* m_pOutput;
  CPlayList* m_pCommands;
  UINT* m_pTimes;
  const int m_mode;
  CMediaPlayers* m_pMedia;
  CNoMediaPlayers m_noMedia;
  volatile int m_step = 0;
  char m_url[2084] = "";
  int m_urlKeys = -1;
  std::atomic<bool> m_stopRequested{false};
  CEvent m_stop;
  CEvent m_ended;
  CEvent m_counting;
  CEvent m_pauseRequest;
  CEvent m_continue;
  // Time owed by the waits and delays (ms): what they stood for minus what
  // was waited, carried into the next one.
  double m_owedMs = 0.0;
  // Whether the run waited since the last pass of a loop ended.
  bool m_passWaited = false;
};
