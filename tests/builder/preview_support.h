// What the builder's preview tests share: the profile and options file of
// the test program, a stand-in main window, a command that waits for the
// stop, the fixture that opens the preview and drives it, and scripts'
// media.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "builder/controls/BuilderMessages.h"
#include "builder/PreviewFrame.h"
#include "framework/AppUI.h"
#include "playback/SceneThread.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "tests/playback/scene_support.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"

namespace previewtest {

using lwtest::FlushEvents;

// A private profile, and an options file of the program's own, made fresh.
// Register it once per program:
//   previewtest::RegisterEnvironment("lw_preview_test.opt");
class PreviewEnvironment : public testing::Environment {
 public:
  explicit PreviewEnvironment(const char* optionsFile) : m_optionsFile(optionsFile) {}
  void SetUp() override {
    const std::string path = lwtest::TempPath(m_optionsFile);
    ::DeleteFileA(path.c_str());
    CBuilderOptions::SetFilePath(path.c_str());
  }

 private:
  std::string m_optionsFile;
};
inline bool RegisterEnvironment(const char* optionsFile) {
  testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));
  testing::AddGlobalTestEnvironment(new PreviewEnvironment(optionsFile));
  return true;
}

inline const lwtest::CRegKeyPath kBarSection(HKEY_CURRENT_USER,
                                      "Software\\Lumenweave Tests\\PreviewTest\\Preview-Bar0");

// The main frame as the preview sees it: a window that is disabled while
// the preview exists and that takes the address of a Url key.
class CStandInMain : public CWnd {
 public:
  CStandInMain() {
    const char* cls = RegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    CreateEx(0, cls, "Main", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 320, 200, nullptr, 0);
  }
  ~CStandInMain() override { DestroyWindow(); }

  std::vector<std::string> urls;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_OPEN_PREVIEW_URL) {
      CString address;
      if (TakeHandedAddress(lp, address)) urls.push_back(static_cast<const char*>(address));
      return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }
};

// Waits on the stop event; counts its starts and the stops that came.
class CWaitForStop : public CSceneCommand {
 public:
  CWaitForStop(std::atomic<int>& started, std::atomic<int>& stopped)
      : CSceneCommand(kTypeComment), m_started(started), m_stopped(stopped) {}
  int Execute(CDC*, int*, CPlayContext* ctx) override {
    ++m_started;
    if (ctx->WaitForStop(30000)) ++m_stopped;
    return 1;
  }
  CSceneCommand* Clone() const override { return nullptr; }

 private:
  std::atomic<int>& m_started;
  std::atomic<int>& m_stopped;
};

class PreviewTest : public testing::Test {
 protected:
  // A test that hangs longer than watchdogMs ends the program.
  explicit PreviewTest(DWORD watchdogMs = 120000) : dog(watchdogMs) {
    app.SetRegistryKey("Lumenweave Tests");
    app.m_pMainWnd = &main;
    kBarSection.DeleteTree();
  }
  ~PreviewTest() override {
    if (HWND h = FindPreview()) ::DestroyWindow(h);
    FlushEvents(50);
    app.m_pMainWnd = nullptr;
  }

  static HWND FindPreview() { return ::FindWindowA(kPreviewWindowClass, kPreviewTitle); }

  // Opens the preview and gives its frame.
  CPreviewFrame* Open(bool autoStart = false) {
    UINT speed = times;
    if (!OpenPreview(&speed, autoStart)) return nullptr;
    FlushEvents(100);
    return dynamic_cast<CPreviewFrame*>(CWnd::FromHandlePermanent(FindPreview()));
  }

  // A key as the message loop hands it to the windows under the message.
  bool Key(CPreviewFrame* frame, UINT vk, bool repeat = false) {
    MSG msg = {};
    msg.hwnd = frame->GetOutputView()->GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = repeat ? (1 | (1 << 30)) : 1;
    return app.PreTranslateMessage(&msg);
  }
  static void Command(CPreviewFrame* frame, UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }
  static bool ToolBarShown(CPreviewFrame* frame) {
    return (frame->GetToolBar().GetStyle() & WS_VISIBLE) != 0;
  }
  static bool ButtonEnabled(CPreviewFrame* frame, UINT id) {
    frame->OnIdleUpdateCmdUI();
    return frame->GetToolBar().SendMessage(TB_ISBUTTONENABLED, id, 0) != 0;
  }
  // Whether the floating toolbar is what the screen shows at its place,
  // not hidden under the full-screen frame.
  static bool ToolBarOnTop(CPreviewFrame* frame) {
    HWND floating = frame->GetToolBar().GetFloatingFrame();
    CRect where;
    if (!floating || !::GetWindowRect(floating, &where)) return false;
    const HWND shown = ::WindowFromPoint(where.CenterPoint());
    return shown && ::GetAncestor(shown, GA_ROOT) == floating &&
           lwtest::ScreenPixel(where.CenterPoint().x, where.CenterPoint().y) != RGB(0, 0, 0);
  }
  static bool PumpUntilEnded(CPreviewFrame* frame) {
    return lwtest::PumpUntil([&] { return frame->GetSceneThread() == nullptr; }, 30000);
  }
  static bool PumpUntilGone(HWND h) {
    return lwtest::PumpUntil([&] { return !::IsWindow(h); }, 10000);
  }
  bool PumpUntilStarted(int count) {
    return lwtest::PumpUntil([&] { return started == count; }, 5000);
  }

  CWatchdog dog;
  // What the runs' commands record; outlive every run.
  CEventLog log;
  std::atomic<int> started{0}, stopped{0};
  CDocumentApp app{"PreviewTest"};
  CStandInMain main;
  CTestScript script;
  UINT times = 100000;
};

// The media files the players write for a run, in the temporary folder.
inline std::vector<std::string> MediaTempFiles() {
  std::vector<std::string> media;
  for (const std::string& name : lwtest::FilesIn(lwtest::TempPath(""))) {
    const size_t dot = name.rfind('.');
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    if (ext == ".avi" || ext == ".mid" || ext == ".swf") media.push_back(name);
  }
  return media;
}

inline CMediaObject* AddMedia(CTestScript& script, const lwtest::Bytes& bytes, int kind) {
  CMediaObject* media = script.Add(new CMediaObject);
  media->SetMedia(CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size())),
                  static_cast<uint32_t>(bytes.size()));
  media->m_kind = kind;
  return media;
}

inline void AddPlay(CTestScript& script, CMediaObject* media) {
  CPlayCommand* play = script.Add(new CPlayCommand);
  play->m_placement.m_flash.m_wait = 0;
  play->m_placement.m_flash.m_endless = 1;
  play->SetTarget(media);
}

// Plays every kind of media, none waited for, each endlessly: a video, a
// MIDI sequence, a movie, a wave sound and an MP3.
inline void AddEveryMedia(CTestScript& script) {
  lwtest::CSwfWriter movie(4000, 3000);
  movie.SetBackground(RGB(0, 128, 0));
  for (int i = 0; i < 3; ++i) movie.ShowFrame();
  AddPlay(script, AddMedia(script, lwtest::SolidAvi(32, 24, 200, 2, RGB(0, 0, 200)), kMediaVideo));
  AddPlay(script, AddMedia(script, lwtest::OneNoteMidi(), kMediaMidi));
  AddPlay(script, AddMedia(script, movie.Cws(), kMediaFlash));
  AddPlay(script, AddMedia(script, lwtest::PcmWave(std::vector<int16_t>(44100, 0), 44100, 1),
                           kMediaAudio));
  AddPlay(script, AddMedia(script, lwtest::SilentMp3(400), kMediaMp3));
}

}  // namespace previewtest
