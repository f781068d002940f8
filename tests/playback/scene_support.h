// Helpers of the scene thread tests: a live list built in a palette of its
// own, probe commands that record when they run, pictures of one colour
// and Shows of them, a scene thread that records its pauses, an output
// that records what the thread asks of its window and a watchdog that ends
// a hung test; the message pump is the shared one.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "framework/Sync.h"
#include "playback/SceneThread.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "tests/playback/picture_bytes.h"
#include "tests/support/pump.h"

using lwtest::PumpUntil;

// Lines appended from the scene thread, read from the test's.
class CEventLog {
 public:
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
  }
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
  }
  size_t Size() const { return Lines().size(); }
  std::string Last() const {
    auto lines = Lines();
    return lines.empty() ? std::string() : lines.back();
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

// Records its name when it runs and returns `result`; optionally waits a
// calibrated delay after recording.
class CProbeCommand : public CSceneCommand {
 public:
  CProbeCommand(CEventLog& log, const char* name, int result = 1)
      : CSceneCommand(kTypeComment), m_log(log), m_name(name), m_result(result) {}
  int Execute(CDC*, int*, CPlayContext* ctx) override {
    m_log.Add(m_name);
    if (m_entered) ::SetEvent(m_entered);
    if (m_delayElapsed >= 0) ctx->CalibratedDelay(static_cast<unsigned>(m_delayElapsed), 100000.0);
    return m_result;
  }
  CSceneCommand* Clone() const override { return nullptr; }

  HANDLE m_entered = nullptr;
  int m_delayElapsed = -1;

 private:
  CEventLog& m_log;
  std::string m_name;
  int m_result;
};

// A palette whose live list the test fills; installed as the global one.
class CTestScript {
 public:
  CTestScript() : m_previous(g_pCommandPalette) { g_pCommandPalette = &m_palette; }
  ~CTestScript() { g_pCommandPalette = m_previous; }
  template <class T>
  T* Add(T* cmd) {
    m_palette.GetCommands().Add(cmd);
    return cmd;
  }
  // The list as a scene thread plays it.
  CPlayList* Commands() { return &m_play; }
  // Numbers the commands and prepares them, as a run does before it starts.
  void Prepare() {
    CCommandList& list = m_palette.GetCommands();
    list.NumberCommands();
    for (int i = 0; i < list.GetSize(); ++i) ASSERT_NE(list.GetCommand(i)->Prepare(list), 0) << i;
  }

 private:
  CCommandPalette m_palette;
  CCommandPalette* m_previous;
  CCommandListPlay m_play{m_palette.GetCommands()};
};

// A picture object of one colour and a Show of it at (x, y) with the effect.
inline CImageTextObject* AddPicture(CTestScript& script, COLORREF colour, int w, int h) {
  CImageTextObject* o = script.Add(new CImageTextObject);
  picturetest::SetPictureBytes(*o, picturetest::MakeBmp(w, h, [=](int, int) { return colour; }));
  return o;
}

inline CShowCommand* AddShow(CTestScript& script, CImageTextObject* picture, int x, int y,
                             int effect) {
  CShowCommand* show = script.Add(new CShowCommand);
  show->SetTarget(picture);
  CMotionAttribute& m = show->m_ref.m_motion;
  m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
  m.m_startX = m.m_endX = x;
  m.m_startY = m.m_endY = y;
  m.m_effect = effect;
  return show;
}

// Records what the thread asks of its window.
class CRecordingOutput : public CPlayOutput {
 public:
  CRecordingOutput(CEventLog& log, HWND hwnd) : m_log(log), m_hwnd(hwnd) {}
  HWND GetHwnd() const override { return m_hwnd; }
  void SetBackground(COLORREF colour, DWORD rop) override {
    char text[64];
    wsprintfA(text, "background %06lX %08lX", static_cast<unsigned long>(colour),
              static_cast<unsigned long>(rop));
    m_log.Add(text);
  }
  void OnPlayStarting() override { m_log.Add("start"); }
  void SetUrl(const char* address, int keys) override {
    m_log.Add(std::string("url ") + address + " " + std::to_string(keys));
  }
  void ClearUrl() override { m_log.Add("no url"); }

 private:
  CEventLog& m_log;
  HWND m_hwnd;
};

// A scene thread that records its pauses in the log.
class CLoggingSceneThread : public CSceneThread {
 public:
  CLoggingSceneThread(CEventLog& log, CPlayOutput* output, UINT* times, CPlayList* commands)
      : CSceneThread(output, times, kPlay, commands), m_log(log) {}

 protected:
  void OnPause(bool begins) override { m_log.Add(begins ? "pause" : "resume"); }

 private:
  CEventLog& m_log;
};

// Ends the whole test program when a test does not finish in time (a
// deadlock would otherwise hang the run).
class CWatchdog {
 public:
  explicit CWatchdog(DWORD ms) : m_ms(ms) {
    m_thread = ::CreateThread(nullptr, 0, &CWatchdog::Main, this, 0, nullptr);
  }
  ~CWatchdog() {
    m_done.SetEvent();
    ::WaitForSingleObject(m_thread, INFINITE);
    ::CloseHandle(m_thread);
  }

 private:
  static DWORD WINAPI Main(void* self) {
    CWatchdog* dog = static_cast<CWatchdog*>(self);
    if (!dog->m_done.Wait(dog->m_ms)) {
      fprintf(stderr, "watchdog: the test hung (deadlock?)\n");
      fflush(stderr);
      ::TerminateProcess(::GetCurrentProcess(), 3);
    }
    return 0;
  }
  DWORD m_ms;
  CEvent m_done;
  HANDLE m_thread;
};
