// The scene thread on a window shown on the screen: Cls and Line drawn on
// its pixels, pictures shown, moved and hidden on it, and stops while the
// thread redraws the window through this thread (Cls sends the erase to
// the window's own thread).
#include <string>

#include "script/Objects.h"
#include "tests/playback/picture_bytes.h"
#include "tests/playback/scene_support.h"

namespace {

// A visible popup window whose erase paints the play output's background,
// counting the erases.
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
      s_output->PaintBackground(reinterpret_cast<HDC>(w));
      ::InterlockedIncrement(&s_erases);
      return 1;
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
  AddCls(script, RGB(255, 0, 0));
  AddCls(script, RGB(0, 0, 255));
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
