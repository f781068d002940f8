// The scene thread on a window shown on the screen: Cls and Line drawn on
// its pixels, pictures shown, moved and hidden on it, stops while the
// thread redraws the window through this thread, and what a run draws on
// the screen of a window whose own thread sleeps, as a saver's does: shown
// when drawn (after a picture, after each transition) and shown again
// where the window is uncovered.
#include <string>

#include "playback/painter/ImagePainter.h"
#include "script/Objects.h"
#include "tests/playback/picture_bytes.h"
#include "tests/playback/scene_support.h"

namespace {

// A visible popup window painted by its play output, counting the erases.
class CShownWindow {
 public:
  CShownWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CShownWindow::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SceneTestShown";
    ::RegisterClassA(&wc);
    hwnd = ::CreateWindowExA(WS_EX_TOPMOST, "SceneTestShown", "", WS_POPUP | WS_VISIBLE, 0, 0, 160,
                             120, nullptr, nullptr, wc.hInstance, nullptr);
    s_output = new CWindowPlayOutput(hwnd);
    s_erases = 0;
    ::UpdateWindow(hwnd);
    PumpUntil([] { return false; }, 50);
  }
  ~CShownWindow() {
    ::DestroyWindow(hwnd);
    delete s_output;
    s_output = nullptr;
  }
  CWindowPlayOutput& Output() { return *s_output; }
  static long Erases() { return s_erases; }
  COLORREF Pixel(int x, int y) const {
    HDC dc = ::GetDC(hwnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return c;
  }

  HWND hwnd;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND && s_output) {
      ::InterlockedIncrement(&s_erases);
      return 1;
    }
    if (m == WM_PAINT && s_output) {
      PAINTSTRUCT ps;
      s_output->Paint(::BeginPaint(h, &ps));
      ::EndPaint(h, &ps);
      return 0;
    }
    return ::DefWindowProcA(h, m, w, l);
  }
  static CWindowPlayOutput* s_output;
  static volatile long s_erases;
};
CWindowPlayOutput* CShownWindow::s_output = nullptr;
volatile long CShownWindow::s_erases = 0;

UINT g_times = 100000;

CClsCommand* AddCls(CTestScript& script, COLORREF colour) {
  CClsCommand* cls = script.Add(new CClsCommand);
  cls->m_colour.m_colour = colour;
  return cls;
}

// Redraws the output window at once, through the window's own thread (as
// making a media player's window does).
class CRedrawCommand : public CSceneCommand {
 public:
  CRedrawCommand() : CSceneCommand(kTypeComment) {}
  int Execute(CDC*, int*, CPlayContext* ctx) override {
    ::RedrawWindow(ctx->GetOutputWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 1;
  }
  CSceneCommand* Clone() const override { return nullptr; }
};

COLORREF ScreenPixel(int x, int y) {
  HDC dc = ::GetDC(nullptr);
  COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(nullptr, dc);
  return c;
}

// A visible popup window at (kLeft, kTop) made and served by a thread of
// its own, which sleeps in GetMessage between messages as a saver's window
// thread does. The tests look at the screen from their own thread without
// touching messages (a thread of this process that pumps or waits for
// messages puts every window's drawing on the screen), so that only what
// the play output does wakes the window's thread.
class CWindowOnItsThread {
 public:
  static constexpr int kLeft = 300, kTop = 200, kWidth = 200, kHeight = 150;
  CWindowOnItsThread() {
    m_thread = ::CreateThread(nullptr, 0, &CWindowOnItsThread::Main, this, 0, nullptr);
    m_ready.Wait(10000);
  }
  ~CWindowOnItsThread() {
    if (hwnd) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(m_thread, 10000);
    ::CloseHandle(m_thread);
  }
  // Waits up to ms for the screen pixel at (x, y) of the window to be the
  // colour; the colour found last.
  static COLORREF WaitForPixel(int x, int y, COLORREF colour, DWORD ms = 5000) {
    const DWORD start = ::GetTickCount();
    COLORREF c;
    while ((c = ScreenPixel(kLeft + x, kTop + y)) != colour && ::GetTickCount() - start < ms)
      ::Sleep(20);
    return c;
  }

  HWND hwnd = nullptr;
  CWindowPlayOutput output;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CWindowOnItsThread*>(::GetWindowLongPtrA(h, GWLP_USERDATA));
    if (m == WM_ERASEBKGND) return 1;
    if (m == WM_PAINT && self) {
      PAINTSTRUCT ps;
      self->output.Paint(::BeginPaint(h, &ps));
      ::EndPaint(h, &ps);
      return 0;
    }
    if (m == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(h, m, w, l);
  }
  static DWORD WINAPI Main(void* p) {
    auto* self = static_cast<CWindowOnItsThread*>(p);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CWindowOnItsThread::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SceneTestOwnThread";
    ::RegisterClassA(&wc);
    HWND h = ::CreateWindowExA(WS_EX_TOPMOST, "SceneTestOwnThread", "", WS_POPUP, kLeft, kTop,
                               kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->output.SetHwnd(h);
    ::ShowWindow(h, SW_SHOW);
    self->hwnd = h;
    self->m_ready.SetEvent();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
  }
  HANDLE m_thread;
  CEvent m_ready;
};

}  // namespace

TEST(SceneWindow, ClsColoursTheWindowAndLineDrawsOnIt) {
  CWatchdog dog(60000);
  CShownWindow window;
  CTestScript script;
  AddCls(script, RGB(0, 0, 255));
  CLineCommand* line = script.Add(new CLineCommand);
  line->m_motion.m_startModeX = line->m_motion.m_startModeY = kModeStored;
  line->m_motion.m_endModeX = line->m_motion.m_endModeY = kModeStored;
  line->m_motion.m_startX = 10;
  line->m_motion.m_startY = 20;
  line->m_motion.m_endX = 60;
  line->m_motion.m_endY = 20;
  line->m_colour.m_colour = RGB(0, 255, 0);
  line->m_penWidth = 3;
  CSceneThread thread(&window.Output(), &g_times, CSceneThread::kPlay, script.Commands());
  ASSERT_TRUE(thread.Start());
  // The Cls redraw comes to this thread: answer it while waiting.
  ASSERT_TRUE(PumpUntil(
      [&] { return ::WaitForSingleObject(thread.GetEndedEvent(), 0) == WAIT_OBJECT_0; }));
  thread.Stop();
  EXPECT_EQ(window.Pixel(30, 20), RGB(0, 255, 0)) << "on the line";
  EXPECT_EQ(window.Pixel(30, 21), RGB(0, 255, 0)) << "three pixels wide";
  EXPECT_EQ(window.Pixel(30, 30), RGB(0, 0, 255)) << "the Cls colour";
  EXPECT_EQ(window.Pixel(100, 100), RGB(0, 0, 255));
  EXPECT_EQ(window.Pixel(5, 20), RGB(0, 0, 255)) << "before the start";
}

// A picture shown with a transition and moved stays at the end of its
// path over the Cls colour; a second one shown and hidden leaves the
// colour where it was.
TEST(SceneWindow, PicturesShownMovedAndHiddenOnTheWindow) {
  CWatchdog dog(60000);
  CShownWindow window;
  CTestScript script;
  AddCls(script, RGB(0, 0, 255));
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0);
  auto addPicture = [&](COLORREF colour) {
    CImageTextObject* o = script.Add(new CImageTextObject);
    picturetest::SetPictureBytes(*o, picturetest::MakeBmp(20, 20, [=](int, int) { return colour; }));
    return o;
  };
  auto place = [](CObjectRefAttribute& ref, int x, int y) {
    CMotionAttribute& m = ref.m_motion;
    m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
    m.m_startX = m.m_endX = x;
    m.m_startY = m.m_endY = y;
  };
  CImageTextObject* moving = addPicture(red);
  CImageTextObject* hidden = addPicture(green);
  CShowCommand* show = script.Add(new CShowCommand);
  show->SetTarget(moving);
  place(show->m_ref, 10, 10);
  show->m_ref.m_motion.m_effect = 37;
  CMoveCommand* move = script.Add(new CMoveCommand);
  move->SetTarget(moving);
  place(move->m_ref, 10, 10);
  move->m_ref.m_motion.m_endX = 100;
  move->m_ref.m_motion.m_endY = 60;
  move->m_ref.m_motion.m_stepX = 6;
  CShowCommand* showOther = script.Add(new CShowCommand);
  showOther->SetTarget(hidden);
  place(showOther->m_ref, 60, 90);
  CHideCommand* hide = script.Add(new CHideCommand);
  hide->SetTarget(hidden);
  script.Prepare();
  CSceneThread thread(&window.Output(), &g_times, CSceneThread::kPlay, script.Commands());
  ASSERT_TRUE(thread.Start());
  ASSERT_TRUE(PumpUntil(
      [&] { return ::WaitForSingleObject(thread.GetEndedEvent(), 0) == WAIT_OBJECT_0; }));
  thread.Stop();
  // What the last commands invalidated is painted before it is read.
  ::UpdateWindow(window.hwnd);
  EXPECT_EQ(window.Pixel(101, 61), red) << "the end of the path";
  EXPECT_EQ(window.Pixel(119, 79), red);
  EXPECT_EQ(window.Pixel(120, 80), RGB(0, 0, 255)) << "past the picture";
  EXPECT_EQ(window.Pixel(15, 15), RGB(0, 0, 255)) << "where it started";
  EXPECT_EQ(window.Pixel(55, 35), RGB(0, 0, 255)) << "along the path";
  EXPECT_EQ(window.Pixel(65, 95), RGB(0, 0, 255)) << "the hidden one";
}

// The owner stops the thread while the thread is in the middle of a redraw
// it sent to the owner's window: Stop answers it and returns.
TEST(SceneWindow, StopDuringACrossThreadRedrawDoesNotDeadlock) {
  CWatchdog dog(180000);
  CShownWindow window;
  CTestScript script;
  script.Add(new CRepeatCommand);
  script.Add(new CRedrawCommand);
  script.Add(new CRedrawCommand);
  script.Add(new CUntilCommand)->m_repeat.m_infinite = 1;
  script.Prepare();
  for (int round = 0; round < 200; ++round) {
    const long before = CShownWindow::Erases();
    auto* thread =
        new CSceneThread(&window.Output(), &g_times, CSceneThread::kPlay, script.Commands());
    ASSERT_TRUE(thread->Start());
    // Let a few redraws through, then stop without pumping: only Stop's own
    // wait answers the next one.
    ASSERT_TRUE(PumpUntil([&] { return CShownWindow::Erases() >= before + 1 + round % 3; }))
        << round;
    thread->Stop();
    EXPECT_EQ(::WaitForSingleObject(thread->GetEndedEvent(), 0), WAIT_OBJECT_0);
    delete thread;
  }
}

// A picture shown by a run shows on the screen while the window's thread
// sleeps: when the run then ends, and while it then waits.
TEST(SceneWindow, APictureShowsWithoutWakingTheWindowsThread) {
  CWatchdog dog(60000);
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
  for (const bool waits : {false, true}) {
    SCOPED_TRACE(waits ? "then a long Wait" : "then the end");
    CWindowOnItsThread window;
    ASSERT_NE(window.hwnd, nullptr);
    CTestScript script;
    AddCls(script, blue);
    AddShow(script, AddPicture(script, red, 60, 40), 20, 30, kEffectNone);
    if (waits) script.Add(new CWaitCommand)->m_duration.m_milliseconds = 60000;
    script.Prepare();
    CSceneThread thread(&window.output, &g_times, CSceneThread::kPlay, script.Commands());
    ASSERT_TRUE(thread.Start());
    if (!waits) {
      EXPECT_EQ(::WaitForSingleObject(thread.GetEndedEvent(), 10000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(window.WaitForPixel(50, 50, red), red) << "the picture";
    EXPECT_EQ(window.WaitForPixel(100, 100, blue), blue) << "the Cls colour";
    thread.Stop();
  }
}

// Each transition's picture shows complete while the run then waits, with
// nothing else waking the window's thread (Fade To Black leaves black).
TEST(SceneWindow, EveryTransitionShowsItsPictureWhenDone) {
  CWatchdog dog(400000);
  CWindowOnItsThread window;
  ASSERT_NE(window.hwnd, nullptr);
  UINT fast = 1;  // no delays
  const COLORREF blue = RGB(0, 0, 255);
  std::string missing;
  int failures = 0;
  for (int id = kEffectFirstTransition; id <= kEffectLastTransition && failures < 5; ++id) {
    // Alternate colours: the last round's picture is not this round's.
    const COLORREF colour = id % 2 ? RGB(255, 0, 0) : RGB(0, 255, 0);
    const COLORREF expected = id == kEffectFadeToBlack ? RGB(0, 0, 0) : colour;
    CTestScript script;
    AddCls(script, blue);
    AddShow(script, AddPicture(script, colour, 40, 30), 20, 30, id);
    script.Add(new CWaitCommand)->m_duration.m_milliseconds = 60000;
    script.Prepare();
    CSceneThread thread(&window.output, &fast, CSceneThread::kPlay, script.Commands());
    ASSERT_TRUE(thread.Start());
    const COLORREF inside = window.WaitForPixel(40, 45, expected, 3000);
    const COLORREF outside = window.WaitForPixel(100, 100, blue, 1000);
    if (inside != expected || outside != blue) {
      missing += " " + std::to_string(id);
      ++failures;
    }
    thread.Stop();
  }
  EXPECT_EQ(missing, "") << "effects whose picture did not show";
}

// A part of the window that something covered shows again what the run
// drew there, not the Cls colour.
TEST(SceneWindow, AnUncoveredPartShowsWhatWasDrawnThere) {
  CWatchdog dog(60000);
  CWindowOnItsThread window;
  ASSERT_NE(window.hwnd, nullptr);
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0), yellow = RGB(255, 255, 0);
  CTestScript script;
  AddCls(script, blue);
  AddShow(script, AddPicture(script, red, 80, 60), 20, 30, kEffectNone);
  script.Prepare();
  CSceneThread thread(&window.output, &g_times, CSceneThread::kPlay, script.Commands());
  ASSERT_TRUE(thread.Start());
  ASSERT_EQ(::WaitForSingleObject(thread.GetEndedEvent(), 10000), WAIT_OBJECT_0);
  ASSERT_EQ(window.WaitForPixel(60, 60, red), red);
  // A child window over part of the picture and of the Cls colour, painted
  // by this thread, then gone.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hbrBackground = ::CreateSolidBrush(yellow);
  wc.lpszClassName = "SceneTestCover";
  ::RegisterClassA(&wc);
  HWND cover = ::CreateWindowExA(0, "SceneTestCover", "", WS_CHILD | WS_VISIBLE, 40, 40, 100, 60,
                                 window.hwnd, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(PumpUntil([] {
    return ScreenPixel(CWindowOnItsThread::kLeft + 60, CWindowOnItsThread::kTop + 60) ==
           RGB(255, 255, 0);
  }));
  ::DestroyWindow(cover);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(window.WaitForPixel(60, 60, red), red) << "the picture under the cover";
  EXPECT_EQ(window.WaitForPixel(120, 80, blue), blue) << "the Cls colour under the cover";
  thread.Stop();
  ::UnregisterClassA("SceneTestCover", wc.hInstance);
  ::DeleteObject(wc.hbrBackground);
}

// On a 32-bit display a run draws into a 32-bit DIB section, whose pixels
// the fades change in place rather than through bands and transfers.
TEST(SceneWindow, TheRunDrawsIntoA32BitDibSectionOnA32BitDisplay) {
  CWatchdog dog(30000);
  CWindowOnItsThread window;
  ASSERT_NE(window.hwnd, nullptr);
  CClientDC client(window.hwnd);
  if (client.GetDeviceCaps(BITSPIXEL) != 32) GTEST_SKIP() << "the display is not 32-bit";
  CDC* back = window.output.BeginDrawing(&client);
  ASSERT_NE(back, &client);
  DIBSECTION dib = {};
  const int size = ::GetObjectA(::GetCurrentObject(back->GetSafeHdc(), OBJ_BITMAP), sizeof dib, &dib);
  ASSERT_EQ(size, static_cast<int>(sizeof dib)) << "not a DIB section";
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
  EXPECT_NE(dib.dsBm.bmBits, nullptr);
  RECT rc = {};
  ::GetClientRect(window.hwnd, &rc);
  EXPECT_EQ(dib.dsBm.bmWidth, rc.right);
}
