// The builder's preview on the screen: the full-screen frame and its
// stand-in main window, the script played on the output window and seen in
// the screen's pixels, Go, Step, Pause and Stop driving the scene thread,
// Esc and the Url keys leaving, the floating toolbar (Keep Visible, hiding
// while playing, its place kept in the profile) and its buttons' states.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <vector>

#include "builder/PreviewFrame.h"
#include "builder/resource.h"
#include "framework/AppUI.h"
#include "framework/Dialog.h"
#include "playback/painter/ImagePainter.h"
#include "playback/SceneThread.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "tests/builder/preview_support.h"
#include "tests/playback/picture_bytes.h"
#include "tests/playback/scene_support.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/movie_features.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"

namespace {

using lwtest::FlushEvents;

const bool g_environment = previewtest::RegisterEnvironment("lw_preview_test.opt");

using previewtest::CStandInMain;
using previewtest::CWaitForStop;
using previewtest::kBarSection;
using previewtest::PreviewTest;
using previewtest::MediaTempFiles;

void AddUrl(CTestScript& script, const char* address, int keys) {
  CUrlCommand* url = script.Add(new CUrlCommand);
  url->m_location = address;
  url->m_keys = keys;
}

void AddCls(CTestScript& script, COLORREF colour) {
  script.Add(new CClsCommand)->m_colour.m_colour = colour;
}

TEST_F(PreviewTest, CoversTheScreenAndDisablesTheMainWindowWhileItExists) {
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  HWND h = frame->GetSafeHwnd();
  char cls[64] = "", title[64] = "";
  ::GetClassNameA(h, cls, sizeof cls);
  ::GetWindowTextA(h, title, sizeof title);
  EXPECT_STREQ(cls, "SSTESTWND1.0");
  EXPECT_STREQ(title, "Preview");
  EXPECT_EQ(frame->GetWindowRect(),
            CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_EQ(frame->GetStyle() & (WS_POPUP | WS_VISIBLE | WS_CAPTION), WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(frame->GetExStyle() & (WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE), WS_EX_TOOLWINDOW);
  // The output window fills it without an edge.
  CClientTestWnd* view = frame->GetOutputView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_EQ(view->GetWindowRect(), frame->GetWindowRect());
  EXPECT_EQ(view->GetExStyle() & WS_EX_CLIENTEDGE, 0);
  EXPECT_FALSE(main.IsWindowEnabled());
  // Before anything plays the window shows its background, black.
  EXPECT_EQ(lwtest::ScreenPixel(40, 300), RGB(0, 0, 0));

  // Esc: a repeat does nothing, a press closes.
  EXPECT_FALSE(Key(frame, VK_ESCAPE, true));
  FlushEvents(100);
  EXPECT_TRUE(::IsWindow(h));
  EXPECT_TRUE(Key(frame, VK_ESCAPE));
  ASSERT_TRUE(PumpUntilGone(h));
  EXPECT_TRUE(main.IsWindowEnabled());
  EXPECT_EQ(::GetForegroundWindow(), main.GetSafeHwnd());
  EXPECT_TRUE(main.urls.empty());
}

TEST_F(PreviewTest, TheToolBarFloatsAtTheTopRightWithItsButtons) {
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  CToolBar& bar = frame->GetToolBar();
  const std::vector<UINT> kButtons = {ID_PREVIEW_GO,   ID_PREVIEW_STEP, ID_PREVIEW_PAUSE,
                                      ID_PREVIEW_STOP, 0,               ID_PREVIEW_SOUND,
                                      0,               ID_PREVIEW_EXIT, 0,
                                      ID_PREVIEW_KEEPVISIBLE};
  std::vector<UINT> buttons;
  for (int i = 0; i < bar.GetCount(); ++i) buttons.push_back(bar.GetItemID(i));
  EXPECT_EQ(buttons, kButtons);
  EXPECT_EQ(bar.GetItemRect(0).Size(), CSize(16 + 7, 15 + 6)) << "16 x 15 images";
  // Keep Visible starts on, showing the second image.
  EXPECT_TRUE(frame->IsKeepVisible());
  UINT id, style;
  int image;
  bar.GetButtonInfo(bar.CommandToIndex(ID_PREVIEW_KEEPVISIBLE), id, style, image);
  EXPECT_EQ(image, PREVIEW_IMAGE_KEEPVISIBLE_ON);
  EXPECT_TRUE(style & BTNS_CHECK);
  EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONCHECKED, ID_PREVIEW_KEEPVISIBLE, 0));

  ASSERT_TRUE(bar.IsFloating());
  HWND floating = bar.GetFloatingFrame();
  EXPECT_TRUE(::IsWindowVisible(floating));
  EXPECT_EQ(::GetWindow(floating, GW_OWNER), frame->GetSafeHwnd());
  char caption[32] = "";
  ::GetWindowTextA(floating, caption, sizeof caption);
  EXPECT_STREQ(caption, "Preview");
  EXPECT_TRUE(lwtest::PumpUntil([&] { return ToolBarOnTop(frame); }, 3000))
      << "above the frame that owns it";
  const CRect size = bar.GetWindowRect();
  CRect where;
  ::GetWindowRect(floating, &where);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(where.TopLeft(),
            CPoint(screenWidth - size.Width() - 2 * size.Height(), size.Height()));
  // That place is in the profile at once.
  EXPECT_EQ(kBarSection.Number("BarID"), static_cast<DWORD>(AFX_IDW_TOOLBAR));
  EXPECT_EQ(kBarSection.Number("Floating"), 1u);

  // Pause and Stop only while a run plays.
  EXPECT_TRUE(ButtonEnabled(frame, ID_PREVIEW_GO));
  EXPECT_FALSE(ButtonEnabled(frame, ID_PREVIEW_PAUSE));
  EXPECT_FALSE(ButtonEnabled(frame, ID_PREVIEW_STOP));
  EXPECT_TRUE(ButtonEnabled(frame, ID_PREVIEW_EXIT));
  script.Add(new CWaitForStop(started, stopped));
  Command(frame, ID_PREVIEW_GO);
  EXPECT_TRUE(ButtonEnabled(frame, ID_PREVIEW_PAUSE));
  EXPECT_TRUE(ButtonEnabled(frame, ID_PREVIEW_STOP));
  ASSERT_TRUE(PumpUntilStarted(1));
  Command(frame, ID_PREVIEW_STOP);
  EXPECT_EQ(frame->GetSceneThread(), nullptr);
  EXPECT_EQ(stopped, 1);
  EXPECT_FALSE(ButtonEnabled(frame, ID_PREVIEW_STOP));
}

TEST_F(PreviewTest, GoPlaysTheScriptOnTheScreenAndItStaysThere) {
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
  AddCls(script, blue);
  AddShow(script, AddPicture(script, red, 60, 40), 200, 150, kEffectNone);
  script.Prepare();
  // Started at once, as the options' auto start asks.
  CPreviewFrame* frame = Open(true);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(PumpUntilEnded(frame));
  FlushEvents(100);
  EXPECT_EQ(lwtest::ScreenPixel(230, 170), red);
  EXPECT_EQ(lwtest::ScreenPixel(259, 189), red);
  EXPECT_EQ(lwtest::ScreenPixel(261, 191), blue);
  EXPECT_EQ(lwtest::ScreenPixel(100, 500), blue);
  EXPECT_EQ(frame->GetOutputView()->GetBackColor(), blue);

  // A window over it and gone again: what was drawn comes back.
  lwtest::CHostWindow cover(180, 130, 200, 200, RGB(0, 255, 0));
  FlushEvents(100);
  EXPECT_EQ(lwtest::ScreenPixel(230, 170), RGB(0, 255, 0));
  cover.Destroy();
  FlushEvents(200);
  EXPECT_EQ(lwtest::ScreenPixel(230, 170), red);
  EXPECT_EQ(lwtest::ScreenPixel(300, 300), blue);

  // Clear colours the whole window at once.
  frame->GetOutputView()->Clear(RGB(0, 128, 0), SRCCOPY);
  FlushEvents(100);
  EXPECT_EQ(lwtest::ScreenPixel(230, 170), RGB(0, 128, 0));
  EXPECT_EQ(frame->GetOutputView()->GetBackColor(), RGB(0, 128, 0));
}

TEST_F(PreviewTest, StepRunsOneCommandForEachGoOrStep) {
  for (const char* name : {"a", "b", "c", "d"}) script.Add(new CProbeCommand(log, name));
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  auto settlesAt = [&](size_t count) {
    const bool reached = lwtest::PumpUntil([&] { return log.Size() >= count; }, 5000);
    FlushEvents(300);
    return reached && log.Size() == count;
  };
  Command(frame, ID_PREVIEW_STEP);
  EXPECT_TRUE(settlesAt(1));
  Key(frame, VK_F5);  // Step's key
  EXPECT_TRUE(settlesAt(2));
  Command(frame, ID_PREVIEW_STEP);
  EXPECT_TRUE(settlesAt(3));
  // Go lets the rest run.
  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(PumpUntilEnded(frame));
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"a", "b", "c", "d"}));
  // Go after the end starts again from the first command.
  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(PumpUntilEnded(frame));
  EXPECT_EQ(log.Size(), 8u);
  EXPECT_EQ(log.Lines()[4], "a");
}

TEST_F(PreviewTest, PauseHoldsTheRunAndStopEndsIt) {
  for (int i = 0; i < 40; ++i) {
    CProbeCommand* probe = script.Add(new CProbeCommand(log, std::to_string(i).c_str()));
    probe->m_delayElapsed = 90000;  // a tenth of a second each
  }
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(lwtest::PumpUntil([&] { return log.Size() >= 2; }, 5000));
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(Key(frame, 'P'));  // Ctrl+P
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  FlushEvents(300);
  const size_t paused = log.Size();
  FlushEvents(500);
  EXPECT_EQ(log.Size(), paused) << "paused";
  ASSERT_NE(frame->GetSceneThread(), nullptr);

  Command(frame, ID_PREVIEW_STOP);
  EXPECT_EQ(frame->GetSceneThread(), nullptr);
  FlushEvents(300);
  EXPECT_EQ(log.Size(), paused) << "stopped";
  // Stopped, then started again at once: the first run's end does not end
  // the second.
  Command(frame, ID_PREVIEW_GO);
  Command(frame, ID_PREVIEW_STOP);
  Command(frame, ID_PREVIEW_GO);
  FlushEvents(300);
  EXPECT_NE(frame->GetSceneThread(), nullptr);
  EXPECT_EQ(log.Lines()[paused], "0");
}

TEST_F(PreviewTest, EscWhilePlayingStopsTheRunAndCloses) {
  AddUrl(script, "http://example.com/", 3);
  script.Add(new CWaitForStop(started, stopped));
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  HWND h = frame->GetSafeHwnd();
  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(PumpUntilStarted(1));
  EXPECT_TRUE(Key(frame, VK_ESCAPE));
  ASSERT_TRUE(PumpUntilGone(h));
  EXPECT_EQ(stopped, 1);
  EXPECT_TRUE(main.IsWindowEnabled());
  EXPECT_TRUE(main.urls.empty()) << "Esc is no Url key";

  // A second preview works as the first.
  frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(main.IsWindowEnabled());
  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(PumpUntilStarted(2));
  h = frame->GetSafeHwnd();
  Command(frame, ID_PREVIEW_EXIT);
  ASSERT_TRUE(PumpUntilGone(h));
  EXPECT_EQ(stopped, 2);
  EXPECT_TRUE(main.IsWindowEnabled());
}

// A modal dialog of the main window that opens the preview once its loop
// runs, leaves it as the case says, and notes how the windows were given
// back: the wizard's "Preview SS".
class CPreviewingDlg : public CDialog {
 public:
  CPreviewingDlg(HWND main, bool byEsc) : CDialog(IDD_COMMENT, main), m_byEsc(byEsc) {}
  bool opened = false, closed = false, enabledWhilePreviewing = true;
  bool mainEnabled = true, shownOverMain = false;
  HWND self = nullptr, active = nullptr, foreground = nullptr;

 protected:
  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    // Over part of the main window.
    SetWindowPos(nullptr, 150, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessage(WM_APP);
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP) {
      UINT times = 100000;
      opened = OpenPreview(&times, false);
      m_preview = ::FindWindowA(kPreviewWindowClass, kPreviewTitle);
      enabledWhilePreviewing = ::IsWindowEnabled(m_hWnd) != FALSE;
      auto* frame = dynamic_cast<CPreviewFrame*>(CWnd::FromHandlePermanent(m_preview));
      if (!opened || !frame) {
        EndDialog(-2);
        return 0;
      }
      if (m_byEsc)
        ::PostMessageA(frame->GetOutputView()->GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
      else
        frame->PostMessage(WM_COMMAND, ID_PREVIEW_EXIT);
      m_start = ::GetTickCount();
      SetTimer(1, 50);
      return 0;
    }
    if (msg == WM_TIMER && wp == 1) {
      if (::IsWindow(m_preview) && ::GetTickCount() - m_start < 10000) return 0;
      KillTimer(1);
      FlushEvents(200);
      closed = !::IsWindow(m_preview);
      self = m_hWnd;
      mainEnabled = ::IsWindowEnabled(m_parent) != FALSE;
      active = ::GetActiveWindow();
      foreground = ::GetForegroundWindow();
      // The screen shows the dialog's face where it lies over the main
      // window's white.
      POINT face = {2, 2};
      ::ClientToScreen(m_hWnd, &face);
      RECT mainRect;
      ::GetWindowRect(m_parent, &mainRect);
      shownOverMain = ::PtInRect(&mainRect, face) &&
                      lwtest::ScreenPixel(face.x, face.y) == ::GetSysColor(COLOR_BTNFACE);
      EndDialog(IDOK);
      return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
  }

 private:
  bool m_byEsc;
  HWND m_preview = nullptr;
  DWORD m_start = 0;
};

// A preview opened from a modal dialog answers its keys there, holds the
// dialog while it plays, and gives the windows back as it found them: the
// main window still disabled under the dialog, the dialog active in front
// of it.
TEST_F(PreviewTest, OpenedFromAModalDialogItAnswersItsKeysAndLeavesTheDialogInFront) {
  for (bool byEsc : {true, false}) {
    SCOPED_TRACE(byEsc ? "Esc" : "Exit");
    ::SetForegroundWindow(main.GetSafeHwnd());
    FlushEvents(100);
    CPreviewingDlg dialog(main.GetSafeHwnd(), byEsc);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(dialog.opened);
    EXPECT_FALSE(dialog.enabledWhilePreviewing) << "the dialog cannot change the script meanwhile";
    EXPECT_TRUE(dialog.closed) << "the preview is left while the dialog runs";
    EXPECT_FALSE(dialog.mainEnabled) << "the main window stays disabled under the dialog";
    EXPECT_EQ(dialog.active, dialog.self);
    EXPECT_EQ(dialog.foreground, dialog.self);
    EXPECT_TRUE(dialog.shownOverMain) << "the dialog stays in front of the main window";
    EXPECT_TRUE(main.IsWindowEnabled()) << "the dialog's end gives the main window back";
    if (HWND left = FindPreview()) ::DestroyWindow(left);
  }
}

// Every kind of media plays in the preview, and leaving it mid-play stops
// them all: no window or temporary file of theirs stays behind.
TEST_F(PreviewTest, MediaPlayAndLeavingMidPlayLeavesNothing) {
  previewtest::AddEveryMedia(script);
  script.Add(new CWaitForStop(started, stopped));

  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    const std::vector<std::string> filesBefore = MediaTempFiles();
    CPreviewFrame* frame = Open();
    ASSERT_NE(frame, nullptr);
    const HWND h = frame->GetSafeHwnd();
    const HWND view = frame->GetOutputView()->GetSafeHwnd();
    Command(frame, ID_PREVIEW_GO);
    ASSERT_TRUE(PumpUntilStarted(round));
    EXPECT_TRUE(lwtest::PumpUntil([&] { return ::GetDlgItem(view, CMciPlayerWnd::kId) != nullptr; },
                                  10000))
        << "the video plays in the player window";
    EXPECT_GT(MediaTempFiles().size(), filesBefore.size()) << "the players' files while playing";
    Command(frame, ID_PREVIEW_EXIT);
    ASSERT_TRUE(PumpUntilGone(h));
    EXPECT_EQ(stopped, round);
    EXPECT_TRUE(lwtest::PumpUntil([&] { return MediaTempFiles() == filesBefore; }, 5000))
        << "a media file stayed";
  }
}

// A movie of everything the movie control draws plays in its place in
// the preview, each thing where the movie puts it.
TEST_F(PreviewTest, AMovieShowsEveryKindOfThingInItsPlace) {
  lwtest::CTempFolder folder("preview_features");
  CMediaObject* media = previewtest::AddMedia(script, lwtest::FeatureMovie(folder.Path()), kMediaFlash);
  CPlayCommand* play = script.Add(new CPlayCommand);
  CFlashPlayAttribute& f = play->m_placement.m_flash;
  f.m_wait = 0;
  f.m_timed = 1;
  f.m_timerMs = 120000;
  f.m_posX = 100;
  f.m_posY = 80;
  f.m_width = 640;
  f.m_height = 480;
  play->SetTarget(media);
  script.Add(new CWaitForStop(started, stopped));
  script.Prepare();
  CPreviewFrame* frame = Open(true);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(PumpUntilStarted(1));
  EXPECT_EQ(lwtest::CheckFeatureMovie(RECT{100, 80, 740, 560}), "");
  const HWND h = frame->GetSafeHwnd();
  Command(frame, ID_PREVIEW_EXIT);
  ASSERT_TRUE(PumpUntilGone(h));
}

TEST(PreviewKeys, UrlKeysMatchTheCommandsChoice) {
  const struct {
    UINT vk;
    int keys;
    bool ends;
  } kRows[] = {{VK_RETURN, 0, true},  {VK_F12, 0, false},  {VK_SPACE, 0, false},
               {VK_F12, 1, true},     {VK_RETURN, 1, false}, {VK_SPACE, 2, true},
               {VK_RETURN, 2, false}, {VK_RETURN, 3, true},  {VK_F12, 3, true},
               {VK_SPACE, 3, true},   {'A', 3, false},     {VK_SPACE, -1, false}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(std::to_string(row.vk) + " with keys " + std::to_string(row.keys));
    EXPECT_EQ(IsUrlKey(row.vk, row.keys), row.ends);
  }
}

TEST_F(PreviewTest, AUrlKeyHandsTheAddressToTheMainWindowAndCloses) {
  // Before the Url command runs its keys do nothing.
  script.Add(new CProbeCommand(log, "gate"));
  AddUrl(script, "http://example.com/a?b=c", 3);
  script.Add(new CWaitForStop(started, stopped));
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  HWND h = frame->GetSafeHwnd();

  // Stepping: the run stops after the first command, before the Url.
  Command(frame, ID_PREVIEW_STEP);
  ASSERT_TRUE(lwtest::PumpUntil([&] { return log.Size() == 1; }, 5000));
  FlushEvents(200);
  EXPECT_FALSE(Key(frame, VK_SPACE));
  FlushEvents(100);
  EXPECT_TRUE(::IsWindow(h));
  EXPECT_TRUE(main.urls.empty());

  Command(frame, ID_PREVIEW_GO);
  ASSERT_TRUE(lwtest::PumpUntil(
      [&] { return frame->GetSceneThread() && frame->GetSceneThread()->GetUrlKeys() == 3; },
      5000));
  EXPECT_TRUE(Key(frame, VK_SPACE));
  ASSERT_TRUE(PumpUntilGone(h));
  FlushEvents(100);
  EXPECT_EQ(main.urls, std::vector<std::string>{"http://example.com/a?b=c"});
  EXPECT_EQ(stopped, 1);
  EXPECT_TRUE(main.IsWindowEnabled());
}

TEST_F(PreviewTest, TheToolBarHidesWhilePlayingUnlessKeptVisible) {
  CProbeCommand* probe = script.Add(new CProbeCommand(log, "short"));
  // A tenth of a second when the machine is idle. The delay polls the
  // stop event through the Wine server, so a busy machine stretches it.
  probe->m_delayElapsed = 90000;
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  HWND floating = frame->GetToolBar().GetFloatingFrame();
  // Kept visible (the start): it stays while playing.
  Command(frame, ID_PREVIEW_GO);
  EXPECT_TRUE(ToolBarShown(frame));
  ASSERT_TRUE(PumpUntilEnded(frame));
  EXPECT_TRUE(ToolBarShown(frame));

  // Ctrl+V switches Keep Visible off: the bar goes while playing and comes
  // back at the end.
  Command(frame, ID_PREVIEW_KEEPVISIBLE);
  EXPECT_FALSE(frame->IsKeepVisible());
  EXPECT_FALSE(frame->GetToolBar().SendMessage(TB_ISBUTTONCHECKED, ID_PREVIEW_KEEPVISIBLE, 0));
  UINT id, style;
  int image;
  frame->GetToolBar().GetButtonInfo(frame->GetToolBar().CommandToIndex(ID_PREVIEW_KEEPVISIBLE), id,
                                    style, image);
  EXPECT_EQ(image, PREVIEW_IMAGE_KEEPVISIBLE_OFF);
  Command(frame, ID_PREVIEW_GO);
  EXPECT_FALSE(ToolBarShown(frame));
  EXPECT_FALSE(::IsWindowVisible(floating));
  ASSERT_TRUE(PumpUntilEnded(frame));
  EXPECT_TRUE(ToolBarShown(frame));
  EXPECT_TRUE(::IsWindowVisible(floating));
  EXPECT_TRUE(lwtest::PumpUntil([&] { return ToolBarOnTop(frame); }, 3000));

  // While it is hidden, Keep Visible brings it back (and stays off).
  script.Add(new CWaitForStop(started, stopped));
  Command(frame, ID_PREVIEW_GO);
  EXPECT_FALSE(ToolBarShown(frame));
  Command(frame, ID_PREVIEW_KEEPVISIBLE);
  EXPECT_TRUE(ToolBarShown(frame));
  EXPECT_FALSE(frame->IsKeepVisible());
}

TEST_F(PreviewTest, AStoppedRunShowsTheHiddenToolBarAgain) {
  script.Add(new CWaitForStop(started, stopped));
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  Command(frame, ID_PREVIEW_KEEPVISIBLE);  // off
  Command(frame, ID_PREVIEW_GO);
  EXPECT_FALSE(ToolBarShown(frame));
  Command(frame, ID_PREVIEW_STOP);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return ToolBarShown(frame); }, 3000));
}

TEST_F(PreviewTest, TheOptionsCanHideTheToolBar) {
  g_pCommandPalette->GetOptions()->m_showPreviewToolbar = 0;
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(ToolBarShown(frame));
  EXPECT_FALSE(::IsWindowVisible(frame->GetToolBar().GetFloatingFrame()));
  // Ctrl+V shows it.
  Command(frame, ID_PREVIEW_KEEPVISIBLE);
  EXPECT_TRUE(ToolBarShown(frame));
}

TEST_F(PreviewTest, TheFloatingToolBarComesBackWhereTheUserLeftIt) {
  CPreviewFrame* frame = Open();
  ASSERT_NE(frame, nullptr);
  HWND floating = frame->GetToolBar().GetFloatingFrame();
  ::SetWindowPos(floating, nullptr, 240, 330, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  HWND h = frame->GetSafeHwnd();
  Key(frame, VK_ESCAPE);
  ASSERT_TRUE(PumpUntilGone(h));
  EXPECT_EQ(kBarSection.Number("X"), 240u);
  EXPECT_EQ(kBarSection.Number("Y"), 330u);

  frame = Open();
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(frame->GetToolBar().IsFloating());
  CRect where;
  ::GetWindowRect(frame->GetToolBar().GetFloatingFrame(), &where);
  EXPECT_EQ(where.TopLeft(), CPoint(240, 330));
  EXPECT_TRUE(ToolBarShown(frame));
}

}  // namespace
