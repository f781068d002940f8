// The window core: binding and dispatch, the messages of a window's life,
// self-deleting windows, exceptions kept out of user32, threads and their
// end, waits that answer sent messages, the message box seam and the
// profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "tests/support/message_sequence.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

class RecordingWnd : public CWnd {
 public:
  std::vector<std::string> log;
  bool boundAtCreate = false;
  bool* deleted = nullptr;
  bool selfDelete = false;
  ~RecordingWnd() override {
    if (deleted) *deleted = true;
  }

 protected:
  int OnCreate(CREATESTRUCTA* cs) override {
    boundAtCreate = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
    log.push_back("create");
    return 0;
  }
  void OnPaint() override {
    CPaintDC dc(m_hWnd);
    dc.FillSolidRect(0, 0, 1000, 1000, RGB(0, 128, 255));
    log.push_back("paint");
  }
  void OnKeyDown(UINT vk, UINT, UINT) override {
    if (vk == 'X') throw 42;  // must not unwind through user32
    log.push_back("key " + std::to_string(vk));
  }
  bool OnCommand(UINT id, UINT, HWND) override {
    log.push_back("command " + std::to_string(id));
    return id == 7;
  }
  void OnDestroy() override { log.push_back("destroy"); }
  void PostNcDestroy() override {
    log.push_back("ncdestroy");
    if (selfDelete) delete this;
  }
};

const char* TestClass() {
  return CWnd::RegisterWndClass(0, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

TEST(Window, BindsAtCreateDispatchesAndUnbindsAtNcDestroy) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, TestClass(), "t", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr, 0));
  HWND h = w.GetSafeHwnd();
  EXPECT_TRUE(w.boundAtCreate);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);
  w.UpdateWindow();
  w.SendMessage(WM_KEYDOWN, 'A', 0);
  w.SendMessage(WM_KEYDOWN, 'X', 0);  // the handler throws
  w.SendMessage(WM_COMMAND, 7, 0);
  EXPECT_EQ(w.GetClientRect(), CRect(0, 0, 40, 30));
  ASSERT_TRUE(w.DestroyWindow());
  EXPECT_EQ(w.GetSafeHwnd(), nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  const std::vector<std::string> expected = {"create", "paint", "key 65", "command 7",
                                             "destroy", "ncdestroy"};
  EXPECT_EQ(w.log, expected);
}

// A window's life as the system tells it: created hidden, shown without
// being activated and painted, destroyed.
TEST(Window, CreateShowAndDestroyBringTheSystemsMessages) {
  using lwtest::kLParam;
  using lwtest::kOptional;
  using lwtest::kSent;
  using lwtest::kWParam;
  lwtest::CMessageSequence seq;
  seq.WatchClass(TestClass());
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, TestClass(), "t", WS_POPUP, 10, 20, 40, 30, nullptr, 0));
  const lwtest::MessageEntry kCreate[] = {
      {WM_GETMINMAXINFO, kSent | kOptional},
      {WM_NCCREATE, kSent},
      {WM_NCCALCSIZE, kSent | kWParam, FALSE},
      {WM_CREATE, kSent},
      {WM_SIZE, kSent | kWParam | kLParam, SIZE_RESTORED, MAKELPARAM(40, 30)},
      {WM_MOVE, kSent | kLParam, 0, MAKELPARAM(10, 20)},
  };
  EXPECT_TRUE(seq.Matches(kCreate, "create"));

  // What is painted depends on what else covers the window on the shared
  // screen.
  w.ShowWindow(SW_SHOWNA);
  w.UpdateWindow();
  const lwtest::MessageEntry kShow[] = {
      {WM_SHOWWINDOW, kSent | kWParam, TRUE},
      {WM_WINDOWPOSCHANGING, kSent},
      {WM_NCPAINT, kSent | kOptional},
      {WM_ERASEBKGND, kSent | kOptional},
      {WM_WINDOWPOSCHANGED, kSent},
      {WM_NCPAINT, kSent | kOptional},
      {WM_ERASEBKGND, kSent | kOptional},
      {WM_PAINT, kSent | kOptional},
  };
  EXPECT_TRUE(seq.Matches(kShow, "show"));

  ASSERT_TRUE(w.DestroyWindow());
  const lwtest::MessageEntry kDestroy[] = {
      {WM_WINDOWPOSCHANGING, kSent},
      {WM_WINDOWPOSCHANGED, kSent},
      {WM_DESTROY, kSent},
      {WM_NCDESTROY, kSent},
  };
  EXPECT_TRUE(seq.Matches(kDestroy, "destroy"));
}

TEST(Window, SelfDeletingWindowGoesAfterNcDestroy) {
  bool deleted = false;
  auto* w = new RecordingWnd;
  w->deleted = &deleted;
  w->selfDelete = true;
  ASSERT_TRUE(w->CreateEx(0, TestClass(), "t", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
  HWND h = w->GetSafeHwnd();
  DestroyWindow(h);
  EXPECT_TRUE(deleted);
  EXPECT_FALSE(IsWindow(h));
}

TEST(Window, SubclassedControlRoutesThroughUsAndKeepsItsOwnBehaviour) {
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  RecordingWnd w;
  ASSERT_TRUE(w.SubclassWindow(edit));
  SetWindowTextA(edit, "hello");  // the edit's own procedure stores it
  char text[16] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "hello");
  w.SendMessage(WM_COMMAND, 5, 0);
  EXPECT_EQ(w.log.back(), "command 5");
  EXPECT_EQ(w.UnsubclassWindow(), edit);
  DestroyWindow(edit);
}

class ProbeThread : public CWinThread {
 public:
  CEvent* gone = nullptr;
  CEvent got;
  bool loop = false;
  UINT seen = 0;
  ~ProbeThread() override {
    if (gone) gone->SetEvent();
  }
  bool InitInstance() override { return loop; }
  void OnThreadMessage(const MSG& msg) override {
    seen = msg.message;
    got.SetEvent();
  }
};

TEST(Thread, AutoDeleteThreadEndsAndDeletesItself) {
  CEvent gone;
  auto* t = new ProbeThread;
  t->gone = &gone;
  ASSERT_TRUE(t->CreateThread());
  EXPECT_TRUE(gone.Wait(5000));
}

TEST(Thread, OwnerJoinsAndDeletesAThreadWithAMessageLoop) {
  auto* t = new ProbeThread;
  t->loop = true;
  t->m_bAutoDelete = false;
  ASSERT_TRUE(t->CreateThread(CREATE_SUSPENDED));
  t->ResumeThread();
  // The queue exists once the loop runs; post until it is taken.
  for (int i = 0; i < 200 && !t->PostThreadMessage(WM_APP + 3, 0, 0); ++i) Sleep(5);
  ASSERT_TRUE(t->got.Wait(5000));
  EXPECT_EQ(t->seen, (UINT)(WM_APP + 3));
  t->PostThreadMessage(WM_QUIT, 0, 0);
  EXPECT_EQ(WaitForSingleObject(t->m_hThread, 5000), WAIT_OBJECT_0);
  delete t;
}

// A worker that sends to our window while we wait for it must not
// deadlock: the wait answers sent messages.
TEST(Sync, WaitAnswersMessagesSentByTheAwaitedThread) {
  RecordingWnd w;
  ASSERT_TRUE(w.CreateEx(0, TestClass(), "t", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
  struct Args {
    HWND target;
  } args{w.GetSafeHwnd()};
  for (int round = 0; round < 50; ++round) {
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
          SendMessageA(static_cast<Args*>(p)->target, WM_COMMAND, 9, 0);
          return 0;
        },
        &args, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    ASSERT_EQ(WaitAnsweringSentMessages(worker, 10000), WAIT_OBJECT_0) << "round " << round;
    CloseHandle(worker);
  }
  EXPECT_EQ(w.log.back(), "command 9");
  CEvent never;
  EXPECT_EQ(WaitAnsweringSentMessages(never, 50), (DWORD)WAIT_TIMEOUT);
}

TEST(Seams, MessageBoxGoesToTheInstalledSinkWithTheAppCaption) {
  CWinApp app("ProbeApp");
  lwtest::CRecordedBoxes sink(IDNO);
  EXPECT_EQ(AfxMessageBox("Save changes?", MB_YESNO), IDNO);
  EXPECT_EQ(sink.texts, std::vector<std::string>{"Save changes?"});
  EXPECT_EQ(sink.captions, std::vector<std::string>{"ProbeApp"});
  EXPECT_EQ(sink.types, std::vector<UINT>{MB_YESNO});
}

TEST(Profile, IntsAndStringsUnderTheRegistryKey) {
  const lwtest::CScratchKey removed(HKEY_CURRENT_USER, "Software\\LumenweaveTests\\ProfileProbe");
  CWinApp app("ProfileProbe");
  app.SetRegistryKey("LumenweaveTests");
  EXPECT_STREQ(app.GetProfileKey(), "Software\\LumenweaveTests\\ProfileProbe");
  EXPECT_EQ(app.GetProfileInt("Settings", "Missing", 151), 151u);
  ASSERT_TRUE(app.WriteProfileInt("Settings", "Splitter", 200));
  EXPECT_EQ(app.GetProfileInt("Settings", "Splitter", 151), 200u);
  char out[32];
  EXPECT_EQ(app.GetProfileString("Settings", "Name", "none", out, sizeof out), 4);
  EXPECT_STREQ(out, "none");
  ASSERT_TRUE(app.WriteProfileString("Settings", "Name", "halcyon"));
  app.GetProfileString("Settings", "Name", "none", out, sizeof out);
  EXPECT_STREQ(out, "halcyon");
  // A string where a number is expected reads as the default.
  EXPECT_EQ(app.GetProfileInt("Settings", "Name", 3), 3u);
}

}  // namespace
