// The window core: binding and dispatch, the messages of a window's life,
// self-deleting windows, exceptions kept out of user32 (a failed creation,
// a failed paint, the report and the deletion of what was caught), threads
// and their end, notifications reflected to the control's own object,
// subclassing through the common controls, waits that answer sent
// messages, the message-box seam with its library messages, and the
// profile.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "tests/framework/CountedException.h"
#include "tests/support/imports.h"
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

// An edit control that is no window of ours.
HWND MakeEdit() {
  return CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(Window, SubclassedControlRoutesThroughUsAndKeepsItsOwnBehaviour) {
  HWND edit = MakeEdit();
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

// Windows of this thread whose title is the given one.
int CountWindows(const char* title) {
  struct Search {
    const char* title;
    int found;
  } search = {title, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        char text[64] = {};
        GetWindowTextA(h, text, sizeof text);
        if (lstrcmpA(text, s->title) == 0) ++s->found;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Fails its creation at WM_NCCREATE (in WindowProc) or in OnCreate.
class FailingWnd : public CWnd {
 public:
  explicit FailingWnd(UINT failAt) : m_failAt(failAt) {}
  bool ended = false;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_NCCREATE && m_failAt == WM_NCCREATE) throw new CCountedException;
    return CWnd::WindowProc(msg, wp, lp);
  }
  int OnCreate(CREATESTRUCTA*) override {
    if (m_failAt == WM_CREATE) throw new CCountedException;
    return 0;
  }
  void PostNcDestroy() override { ended = true; }

 private:
  UINT m_failAt;
};

TEST(Window, AnExceptionInCreationFailsTheCreationAndLeavesNoWindow) {
  struct Row {
    const char* name;
    UINT failAt;
    const char* line;
  } const kRows[] = {
      {"WM_NCCREATE", WM_NCCREATE, "Handler of message 0x0081: Counted failure."},
      {"OnCreate", WM_CREATE, "Handler of message 0x0001: Counted failure."},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    lwtest::CRecordedTrace trace;
    FailingWnd w(r.failAt);
    EXPECT_FALSE(w.CreateEx(0, TestClass(), "failing", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    EXPECT_EQ(w.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(w.ended) << "the binding ends";
    EXPECT_EQ(CountWindows("failing"), 0);
    EXPECT_EQ(CCountedException::Live(), 0) << "the caught exception is deleted";
    EXPECT_EQ(trace.Lines(), std::vector<std::string>{r.line});
  }
}

// A paint that fails still counts as done, or WM_PAINT would come back for
// ever; any other failed handler leaves its line too.
TEST(Window, AFailedHandlerIsReportedAndItsMessageAnswered) {
  class ThrowingPainter : public RecordingWnd {
   protected:
    void OnPaint() override { throw new CCountedException; }
  };
  lwtest::CRecordedTrace trace;
  ThrowingPainter w;
  ASSERT_TRUE(w.CreateEx(0, TestClass(), "t", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, 0));
  w.Invalidate();
  w.UpdateWindow();
  EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "still waiting for a paint";
  w.SendMessage(WM_KEYDOWN, 'X', 0);  // throws an int
  EXPECT_EQ(CCountedException::Live(), 0);
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{
                               "Handler of message 0x000F: Counted failure.",
                               "Handler of message 0x0100: an unknown exception"}));
}

// A window that deletes itself and is destroyed inside one of its own
// handlers (a close's default) is deleted only when that handler returns.
TEST(Window, SelfDeletingWindowClosedFromItsOwnHandlerGoesWhenTheHandlerReturns) {
  struct Probe {
    bool deleted = false;
    bool deletedInsideHandler = true;
  } probe;
  class ClosingWnd : public CWnd {
   public:
    explicit ClosingWnd(Probe& p) : m_probe(p) {}
    ~ClosingWnd() override { m_probe.deleted = true; }

   protected:
    void OnClose() override {
      Default();  // destroys the window
      m_probe.deletedInsideHandler = m_probe.deleted;
    }
    void PostNcDestroy() override { delete this; }

   private:
    Probe& m_probe;
  };
  auto* w = new ClosingWnd(probe);
  ASSERT_TRUE(w->CreateEx(0, TestClass(), "closing", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
  HWND h = w->GetSafeHwnd();
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(probe.deletedInsideHandler);
  EXPECT_TRUE(probe.deleted);
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

TEST(Thread, AnExceptionEndsTheThreadWithMinusOneAndIsReported) {
  class FailingThread : public CWinThread {
   public:
    bool InitInstance() override { throw new CCountedException; }
  };
  lwtest::CRecordedTrace trace;
  auto* t = new FailingThread;
  t->m_bAutoDelete = false;
  ASSERT_TRUE(t->CreateThread());
  ASSERT_EQ(WaitForSingleObject(t->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(t->m_hThread, &code));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  delete t;
  EXPECT_EQ(CCountedException::Live(), 0);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Thread: Counted failure."});
}

// The object of a control: takes what its parent gets from it, answering
// for the parent.
class ReflectingControl : public CWnd {
 public:
  std::vector<UINT> seen;
  bool take = true;

 protected:
  bool OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) override {
    seen.push_back(msg);
    if (!take) return false;
    if (msg == WM_DRAWITEM) {
      const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      *result = TRUE;
    } else if (msg == WM_MEASUREITEM) {
      reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 33;
      *result = TRUE;
    } else if (msg == WM_NOTIFY) {
      *result = 77;
    } else if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) {
      *result = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
    }
    return true;
  }
};

// An owner-drawn button's drawing and click reach the button's own object;
// what it leaves goes on to the parent.
TEST(Reflection, ADrawnButtonDrawsAndTakesItsClickThroughItsOwnObject) {
  RecordingWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, TestClass(), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 100, 60,
                              nullptr, 0));
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 50,
                                20, parent, reinterpret_cast<HMENU>(5), GetModuleHandleA(nullptr),
                                nullptr);
  ASSERT_NE(button, nullptr);
  ReflectingControl control;
  ASSERT_TRUE(control.SubclassWindow(button));
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(std::count(control.seen.begin(), control.seen.end(), (UINT)WM_DRAWITEM), 1);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(std::count(control.seen.begin(), control.seen.end(), (UINT)WM_COMMAND), 1);
  EXPECT_EQ(std::count(parent.log.begin(), parent.log.end(), "command 5"), 0);
  control.take = false;
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(std::count(parent.log.begin(), parent.log.end(), "command 5"), 1);
}

// Each notification a control sends its parent, as the control sends it:
// the control's object answers for the parent. An owner-drawn menu item's
// drawing stays with the parent.
TEST(Reflection, EachChildNotificationReachesTheControlWithTheParentsAnswer) {
  RecordingWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, TestClass(), "parent", WS_POPUP, 0, 0, 100, 60, nullptr, 0));
  HWND child = CreateWindowExA(0, "STATIC", "s", WS_CHILD, 0, 0, 50, 20, parent,
                               reinterpret_cast<HMENU>(9), GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  ReflectingControl control;
  ASSERT_TRUE(control.SubclassWindow(child));
  HDC dc = GetDC(child);
  NMHDR hdr = {child, 9, static_cast<UINT>(NM_CLICK)};
  DRAWITEMSTRUCT draw = {ODT_BUTTON, 9, 0, ODA_DRAWENTIRE, 0, child, dc, {0, 0, 5, 5}, 0};
  DRAWITEMSTRUCT menuDraw = {ODT_MENU, 0, 40, ODA_DRAWENTIRE, 0, nullptr, dc, {0, 0, 5, 5}, 0};
  MEASUREITEMSTRUCT measure = {ODT_LISTBOX, 9, 0, 10, 10, 0};
  const LRESULT gray = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
  struct Row {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool reflected;
    LRESULT result;
  } const kRows[] = {
      {"WM_COMMAND", WM_COMMAND, MAKEWPARAM(9, STN_CLICKED), (LPARAM)child, true, 0},
      {"WM_NOTIFY", WM_NOTIFY, 9, (LPARAM)&hdr, true, 77},
      {"WM_DRAWITEM", WM_DRAWITEM, 9, (LPARAM)&draw, true, TRUE},
      {"WM_MEASUREITEM", WM_MEASUREITEM, 9, (LPARAM)&measure, true, TRUE},
      {"WM_CTLCOLORSTATIC", WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)child, true, gray},
      {"WM_CTLCOLORBTN", WM_CTLCOLORBTN, (WPARAM)dc, (LPARAM)child, true, gray},
      {"WM_CTLCOLOREDIT", WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)child, true, gray},
      {"menu item drawing", WM_DRAWITEM, 0, (LPARAM)&menuDraw, false, 0},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    control.seen.clear();
    const LRESULT result = parent.SendMessage(r.msg, r.wp, r.lp);
    EXPECT_EQ(control.seen, r.reflected ? std::vector<UINT>{r.msg} : std::vector<UINT>{});
    if (r.reflected) {
      EXPECT_EQ(result, r.result);
    }
  }
  EXPECT_EQ(measure.itemHeight, 33u);
  EXPECT_EQ(std::count(parent.log.begin(), parent.log.end(), "command 9"), 0);
  ReleaseDC(child, dc);
}

// The lookups of the system that the framework's own code makes.
struct CSystemLookups {
  static int properties;
  static int children;
  static void* getProp;
  static void* getDlgItem;
  static HANDLE WINAPI GetProp(HWND hwnd, LPCSTR name) {
    ++properties;
    return reinterpret_cast<decltype(&GetPropA)>(getProp)(hwnd, name);
  }
  static HWND WINAPI GetChild(HWND hwnd, int id) {
    ++children;
    return reinterpret_cast<decltype(&GetDlgItem)>(getDlgItem)(hwnd, id);
  }
};
int CSystemLookups::properties = 0;
int CSystemLookups::children = 0;
void* CSystemLookups::getProp = nullptr;
void* CSystemLookups::getDlgItem = nullptr;

// A window's object is found for each of its messages, and an owner-drawn
// list box's object for each line it measures through its parent, without
// asking the system for the window's property or the parent's child (each
// a round trip to the window server under Wine): filling a list of
// thousands of lines costs no lookup a line.
TEST(Reflection, EachLineAListMeasuresFindsItsObjectWithoutAskingTheSystem) {
  RecordingWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, TestClass(), "parent", WS_POPUP, 0, 0, 100, 100, nullptr, 0));
  HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VSCROLL | LBS_OWNERDRAWVARIABLE |
                              LBS_NOINTEGRALHEIGHT, 0, 0, 100, 100, parent,
                              reinterpret_cast<HMENU>(9), GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  ReflectingControl control;
  ASSERT_TRUE(control.SubclassWindow(list));
  const int kLines = 500;
  {
    lwtest::CImportPatch props("GetPropA", reinterpret_cast<void*>(&CSystemLookups::GetProp));
    lwtest::CImportPatch children("GetDlgItem", reinterpret_cast<void*>(&CSystemLookups::GetChild));
    ASSERT_TRUE(props.Patched());
    ASSERT_TRUE(children.Patched());
    CSystemLookups::getProp = props.Original();
    CSystemLookups::getDlgItem = children.Original();
    CSystemLookups::properties = CSystemLookups::children = 0;
    for (int i = 0; i < kLines; ++i) SendMessageA(list, LB_ADDSTRING, 0, i + 1);
    parent.SendMessage(WM_USER);
  }
  EXPECT_EQ(std::count(control.seen.begin(), control.seen.end(), (UINT)WM_MEASUREITEM), kLines);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, kLines - 1, 0), 33);
  EXPECT_EQ(CSystemLookups::properties, 0);
  EXPECT_LE(CSystemLookups::children, 1);
  // Unbound, neither window is found any more.
  HWND parentHwnd = parent.GetSafeHwnd();
  control.UnsubclassWindow();
  EXPECT_EQ(CWnd::FromHandlePermanent(list), nullptr);
  parent.DestroyWindow();
  EXPECT_EQ(CWnd::FromHandlePermanent(parentHwnd), nullptr);
}

// Subclassing goes through the common controls: a subclass that another
// part installs after ours stays when ours goes, and the window's own
// procedure is back once both have gone.
TEST(Window, SubclassingLeavesOtherSubclassesInPlace) {
  HWND edit = MakeEdit();
  ASSERT_NE(edit, nullptr);
  const LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  RecordingWnd ours;
  ASSERT_TRUE(ours.SubclassWindow(edit));
  EXPECT_FALSE(RecordingWnd().SubclassWindow(edit)) << "one object per window";
  int otherSeen = 0;
  const SUBCLASSPROC counting = [](HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                   DWORD_PTR seen) -> LRESULT {
    if (msg == WM_COMMAND) ++*reinterpret_cast<int*>(seen);
    return DefSubclassProc(h, msg, wp, lp);
  };
  ASSERT_TRUE(SetWindowSubclass(edit, counting, 7, reinterpret_cast<DWORD_PTR>(&otherSeen)));
  SendMessageA(edit, WM_COMMAND, 5, 0);
  EXPECT_EQ(ours.log, std::vector<std::string>{"command 5"});
  EXPECT_EQ(otherSeen, 1);

  EXPECT_EQ(ours.UnsubclassWindow(), edit);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  EXPECT_EQ(ours.GetSafeHwnd(), nullptr);
  SendMessageA(edit, WM_COMMAND, 6, 0);
  EXPECT_EQ(ours.log, std::vector<std::string>{"command 5"}) << "ours is gone";
  EXPECT_EQ(otherSeen, 2) << "the later subclass stays";
  SetWindowTextA(edit, "still");
  char text[16] = {};
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "still");

  RemoveWindowSubclass(edit, counting, 7);
  EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
  DestroyWindow(edit);
}

TEST(Window, ASubclassedWindowDestroyedWhileSubclassedEndsTheBinding) {
  HWND edit = MakeEdit();
  ASSERT_NE(edit, nullptr);
  RecordingWnd ours;
  ASSERT_TRUE(ours.SubclassWindow(edit));
  DestroyWindow(edit);
  EXPECT_EQ(ours.GetSafeHwnd(), nullptr);
  EXPECT_EQ(ours.log, (std::vector<std::string>{"destroy", "ncdestroy"}));
  EXPECT_FALSE(IsWindow(edit));
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

// The script's and the picture layer's messages: a box with the
// application's caption, or, where they are quiet, a debug-output line.
TEST(Seams, LibraryMessagesAreBoxesUnlessQuietOnTheirThreadOrEverywhere) {
  CWinApp app("ProbeApp");
  lwtest::CRecordedBoxes sink;
  lwtest::CRecordedTrace trace;
  EXPECT_EQ(ShowLibraryMessage("shown", MB_ICONERROR), IDOK);
  {
    CQuietMessages quiet;
    EXPECT_EQ(ShowLibraryMessage("quiet here"), IDOK);
    EXPECT_TRUE(SetThreadMessagesQuiet(true)) << "the scope silences the thread";
  }
  EXPECT_FALSE(SetThreadMessagesQuiet(false)) << "and restores it";
  // Another thread is not silenced by this one's switch...
  CQuietMessages quiet;
  HANDLE other = CreateThread(
      nullptr, 0, [](void*) -> DWORD { return ShowLibraryMessage("from another thread"); },
      nullptr, 0, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  // ...but every thread is, in a program that sends them to the debug output.
  SetLibraryMessagesToDebugOutput(true);
  other = CreateThread(
      nullptr, 0, [](void*) -> DWORD { return ShowLibraryMessage("everywhere quiet"); }, nullptr,
      0, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(WaitForSingleObject(other, 5000), WAIT_OBJECT_0);
  CloseHandle(other);
  SetLibraryMessagesToDebugOutput(false);
  EXPECT_EQ(sink.texts, (std::vector<std::string>{"shown", "from another thread"}));
  EXPECT_EQ(sink.captions, (std::vector<std::string>{"ProbeApp", "ProbeApp"}));
  EXPECT_EQ(sink.types, (std::vector<UINT>{MB_ICONERROR, MB_OK}));
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"quiet here", "everywhere quiet"}));
}

TEST(Seams, TheBeepGoesToTheInstalledFunction) {
  static std::vector<UINT> beeps;
  beeps.clear();
  const BeepFunction previous = SetBeepFunction([](UINT type) { beeps.push_back(type); });
  LwMessageBeep(MB_ICONHAND);
  LwMessageBeep(0xFFFFFFFF);
  SetBeepFunction(previous);
  LwMessageBeep(MB_OK);  // the system's again: not counted
  EXPECT_EQ(beeps, (std::vector<UINT>{MB_ICONHAND, 0xFFFFFFFF}));
}

TEST(Profile, IntsAndStringsUnderTheRegistryKey) {
  const lwtest::CScratchKey removed(HKEY_CURRENT_USER, "Software\\LumenweaveTests\\ProfileProbe");
  CWinApp app("ProfileProbe");
  app.SetRegistryKey("LumenweaveTests");
  EXPECT_STREQ(app.GetProfileKey(), "Software\\LumenweaveTests\\ProfileProbe");
  EXPECT_EQ(app.GetProfileInt("Settings", "Missing", 151), 151u);
  ASSERT_TRUE(app.WriteProfileInt("Settings", "Splitter", 200));
  EXPECT_EQ(app.GetProfileInt("Settings", "Splitter", 151), 200u);
  EXPECT_STREQ(app.GetProfileString("Settings", "Name", "none"), "none");
  ASSERT_TRUE(app.WriteProfileString("Settings", "Name", "halcyon"));
  EXPECT_STREQ(app.GetProfileString("Settings", "Name", "none"), "halcyon");
  EXPECT_STREQ(app.GetProfileString("Settings", "Missing", "none"), "none");
  EXPECT_STREQ(app.GetProfileString("Nowhere", "Name"), "");
  // A value longer than any fixed buffer reads whole; one that is no
  // string reads as the default.
  const CString longValue('x', 3000);
  ASSERT_TRUE(app.WriteProfileString("Settings", "Long", longValue));
  EXPECT_EQ(app.GetProfileString("Settings", "Long", "none"), longValue);
  EXPECT_STREQ(app.GetProfileString("Settings", "Splitter", "none"), "none");
  // A string where a number is expected reads as the default.
  EXPECT_EQ(app.GetProfileInt("Settings", "Name", 3), 3u);
}

}  // namespace
