// The greeting windows of the builder, made in this process from its own
// application object and resources: the splash over the starting frame
// (its picture and build line, the frame disabled while it is up, its end),
// the Start window that follows it (when it opens, its buttons' commands,
// its check box), and the About box (version line, its two buttons, the
// movie over the picture, and the picture alone when the movie control
// cannot be made). The profile goes to a private registry root and the
// options file to a file of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "builder/BuilderApp.h"
#include "builder/MainFrame.h"
#include "builder/StartDialogs.h"
#include "builder/resource.h"
#include "framework/CommandIds.h"
#include "playback/movie/FlashPlayer.h"
#include "script/Options.h"
#include "tests/builder/builder_run.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/files.h"
#include "tests/support/message_sequence.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

// The options file of the test's own, and a temporary folder of its own
// (the About box leaves its movie in the temporary folder, where tests
// running beside this one count the movie files).
class CFilesEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    m_temp = lwtest::TempPath("lw_start_dialogs_" + std::to_string(::GetCurrentProcessId()) + "\\");
    ::CreateDirectoryA(m_temp.c_str(), nullptr);
    for (const char* name : {"TMP", "TEMP"}) ::SetEnvironmentVariableA(name, m_temp.c_str());
    CBuilderOptions::SetFilePath(lwtest::TempPath("lw_start_dialogs_test.opt").c_str());
    ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  }
  void TearDown() override { lwtest::RemoveTree(m_temp); }

 private:
  std::string m_temp;
};
testing::Environment* const g_environments[] = {
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER)),
    testing::AddGlobalTestEnvironment(new CFilesEnvironment)};

lwtest::CRegKeyPath Settings() {
  return lwtest::CRegKeyPath(HKEY_CURRENT_USER,
                             "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave\\Settings");
}

// The control's own visible flag: right after OnInitDialog the dialog
// itself does not show yet.
bool HasVisibleStyle(HWND control) {
  return control && (::GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

// Near-white pixels of the shot inside the rectangle.
int WhitePixels(const std::vector<COLORREF>& shot, int width, const RECT& r) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = shot[static_cast<size_t>(y) * width + x];
      if (GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200) ++count;
    }
  return count;
}

// The command ids WM_COMMAND brought to the window while recorded.
std::vector<UINT> Commands(const lwtest::CMessageSequence& seq) {
  std::vector<UINT> ids;
  for (const lwtest::MessageEntry& e : seq.Recorded())
    if (e.message == WM_COMMAND) ids.push_back(LOWORD(e.wParam));
  return ids;
}

// A movie control that cannot be made, as on a machine without one.
class CUnmadeMovie : public CShockwaveFlash {
 protected:
  int OnCreate(CREATESTRUCTA*) override { return -1; }
};

class StartDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    ::SetCurrentDirectoryA(folder.Path().c_str());
    SetSplashOption(0);
    ASSERT_TRUE(Settings().SetNumber(kStartDialogEntry, 1));
  }
  void TearDown() override {
    run.Stop();
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    ::SetCurrentDirectoryA(temp);
  }

  // The options file the next start reads, with the splash on or off.
  static void SetSplashOption(int splash) {
    CBuilderOptions options;
    options.m_splash = splash;
    ASSERT_EQ(SerializeOptions(options, false), 1);
  }

  HWND Frame() const {
    return run.app && run.app->m_pMainWnd ? run.app->m_pMainWnd->GetSafeHwnd() : nullptr;
  }
  // Waits (bounded) for the splash to go.
  static bool SplashGone() {
    return lwtest::PumpUntil([] { return CSplashWnd::Current() == nullptr; }, 15000);
  }
  // Runs the Start window from the frame's command, the action answering it.
  void RunStartWindow(const std::function<void(CDialog*)>& action) {
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() == IDD_START) action(d);
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_TOOLS_STARTWINDOW, 0);
    EXPECT_EQ(script.Opened(), 1);
  }

  lwtest::CBuilderRun run;
  lwtest::CTempFolder folder{"startdialogs"};
  lwtest::CRecordedBoxes boxes{IDCANCEL};
  lwtest::CRecordedShell shell;
};

// ---------------------------------------------------------------------------
// Splash

TEST_F(StartDialogsTest, TheSplashShowsItsBuildLineOverTheDisabledFrameAndGoes) {
  SetSplashOption(1);
  ASSERT_TRUE(run.Start(""));
  CSplashWnd* splash = CSplashWnd::Current();
  ASSERT_NE(splash, nullptr);
  const HWND splashHwnd = splash->GetSafeHwnd();
  EXPECT_TRUE(::IsWindowVisible(splashHwnd));
  EXPECT_EQ(::GetWindow(splashHwnd, GW_OWNER), Frame());
  EXPECT_FALSE(::IsWindowEnabled(Frame()));
  // A second splash is not made while one is up.
  EXPECT_TRUE(CSplashWnd::ShowSplashScreen(Frame()));
  EXPECT_EQ(CSplashWnd::Current(), splash);

  // The picture's size plus the border, and "Build:<code>" written in
  // white at (1, 205) over the dark band at the bottom.
  BITMAP picture = {};
  HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH));
  ASSERT_NE(bitmap, nullptr);
  ::GetObjectA(bitmap, sizeof picture, &picture);
  ::DeleteObject(bitmap);
  RECT r = {};
  ::GetWindowRect(splashHwnd, &r);
  EXPECT_EQ(r.right - r.left, picture.bmWidth + 2 * ::GetSystemMetrics(SM_CXBORDER));
  EXPECT_EQ(r.bottom - r.top, picture.bmHeight + 2 * ::GetSystemMetrics(SM_CYBORDER));
  EXPECT_EQ(run.app->m_strBuild.GetLength(), 6);
  // Above the frame, which was shown after it.
  HWND above = splashHwnd;
  while (above && above != Frame()) above = ::GetWindow(above, GW_HWNDNEXT);
  EXPECT_EQ(above, Frame());
  ::RedrawWindow(splashHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  lwtest::FlushEvents(200);
  std::vector<COLORREF> shot;
  ASSERT_TRUE(lwtest::SaveWindowShot(splashHwnd, LW_BUILD_DIR "/screenshots/splash.bmp", &shot));
  const int width = r.right - r.left;
  const int border = ::GetSystemMetrics(SM_CXBORDER);
  const RECT line = {border + 1, border + 205, border + 90, border + 220};
  const RECT beside = {border + 110, border + 205, border + 200, border + 220};
  EXPECT_GT(WhitePixels(shot, width, line), 20);
  EXPECT_EQ(WhitePixels(shot, width, beside), 0);

  ASSERT_TRUE(SplashGone());
  EXPECT_FALSE(::IsWindow(splashHwnd));
  EXPECT_TRUE(::IsWindowEnabled(Frame()));
}

TEST_F(StartDialogsTest, TheStartWindowFollowsTheSplashOnlyWhenTheProfileAndCommandLineAllow) {
  const std::string script = folder.File("named.fsd");
  ASSERT_TRUE(lwtest::WriteAll(script, {}));
  struct Case {
    const char* name;
    int startDlg;
    std::string commandLine;
    int opened;
  } const cases[] = {{"StartDlg 0, no file", 0, "", 1},
                     {"StartDlg 1", 1, "", 0},
                     {"StartDlg 0 with a file", 0, "\"" + script + "\"", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetSplashOption(1);
    ASSERT_TRUE(Settings().SetNumber(kStartDialogEntry, c.startDlg));
    int startWindows = 0;
    lwtest::CDialogScript answer([&](CDialog* d) {
      if (d->GetTemplateId() == IDD_START) ++startWindows;
    });
    ASSERT_TRUE(run.Start(c.commandLine));
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(startWindows, 0);
    ASSERT_TRUE(SplashGone());
    lwtest::FlushEvents(100);
    EXPECT_EQ(startWindows, c.opened);
    EXPECT_EQ(answer.Opened(), c.opened);
    run.Stop();
  }
}

// ---------------------------------------------------------------------------
// Start window

TEST_F(StartDialogsTest, EachStartButtonEndsTheWindowAndTheFrameRunsItsCommand) {
  ASSERT_TRUE(run.Start(""));
  ASSERT_EQ(CSplashWnd::Current(), nullptr);
  struct Case {
    const char* name;
    int button;
    UINT command;  // 0: nothing follows
    UINT then = 0;  // what the command sends the frame in turn
  } const cases[] = {{"Flash", IDC_START_FLASH, ID_WIZARD_FLASHTOSCR},
                     {"Standard", IDC_START_STANDARD, ID_WIZARD_STANDARD},
                     // The one-step wizard starts a new document before its dialog.
                     {"One step", IDC_START_ONESTEP, ID_WIZARD_ONESTEP, ID_FILE_NEW},
                     {"Open", IDC_START_OPEN, ID_FILE_OPEN},
                     {"New", IDC_START_NEW, 0},
                     {"Close", IDOK, 0},
                     {"Escape", IDCANCEL, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lwtest::CMessageSequence seq;
    seq.Watch(Frame());
    // Open's file dialog is cancelled.
    lwtest::CRecordedCommonDialogs files;
    files.AnswerCancel();
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() != IDD_START) return;
      if (c.button == IDCANCEL)
        lwtest::Press(d, IDCANCEL);
      else
        ::SendMessageA(::GetDlgItem(*d, c.button), BM_CLICK, 0, 0);
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_TOOLS_STARTWINDOW, 0);
    std::vector<UINT> expected = {ID_TOOLS_STARTWINDOW};
    if (c.command) expected.push_back(c.command);
    if (c.then) expected.push_back(c.then);
    std::vector<UINT> got = Commands(seq);
    EXPECT_EQ(got, expected);
  }
}

TEST_F(StartDialogsTest, TheButtonsLieOverTheirPicturesWithNormalAndHoverImages) {
  ASSERT_TRUE(run.Start(""));
  struct Place {
    int id, picture, x, y, w, h;
  } const places[] = {{IDC_START_FLASH, 1452, 11, 104, 170, 109},
                      {IDC_START_STANDARD, 1453, 181, 104, 171, 109},
                      {IDC_START_ONESTEP, 1454, 351, 104, 170, 109},
                      {IDC_START_NEW, 1455, 87, 213, 180, 111},
                      {IDC_START_OPEN, 1456, 266, 213, 181, 111},
                      {IDOK, 1457, 112, 324, 101, 51}};
  bool saved = false;
  RunStartWindow([&](CDialog* d) {
    auto* start = static_cast<CStartDlg*>(d);
    EXPECT_EQ(::GetWindowLongPtrA(*d, GWL_STYLE) & WS_CAPTION, static_cast<LONG_PTR>(WS_BORDER));
    for (int i = 0; i < CStartDlg::kButtonCount; ++i) {
      const Place& p = places[i];
      SCOPED_TRACE(p.id);
      for (int id : {p.id, p.picture}) {
        RECT r = {};
        ::GetWindowRect(::GetDlgItem(*d, id), &r);
        ::MapWindowPoints(nullptr, *d, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
        if (id == p.id) {
          EXPECT_EQ(r.right - r.left, p.w);
          EXPECT_EQ(r.bottom - r.top, p.h);
        }
      }
      EXPECT_TRUE(start->GetButton(i).HasPicture(CRolloverButton::kNormal));
      EXPECT_TRUE(start->GetButton(i).HasPicture(CRolloverButton::kHover));
      EXPECT_FALSE(start->GetButton(i).HasPicture(CRolloverButton::kDisabled));
    }
    ::ShowWindow(*d, SW_SHOW);
    ::RedrawWindow(*d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    lwtest::FlushEvents(200);
    std::vector<COLORREF> shot;
    saved = lwtest::SaveWindowShot(*d, LW_BUILD_DIR "/screenshots/start_window.bmp", &shot);
    const std::vector<std::string> faults = lwtest::ShownFaults(*d, shot);
    EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
  });
  EXPECT_TRUE(saved);
}

TEST_F(StartDialogsTest, TheCheckBoxWritesStartDlgTheMomentItIsClicked) {
  ASSERT_TRUE(run.Start(""));
  struct Case {
    const char* name;
    int before, after;
  } const cases[] = {{"checking", 0, 1}, {"unchecking", 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Settings().SetNumber(kStartDialogEntry, c.before));
    DWORD during = 99;
    UINT shownChecked = 99;
    RunStartWindow([&](CDialog* d) {
      shownChecked = ::IsDlgButtonChecked(*d, IDC_START_DONTSHOW);
      ::SendMessageA(::GetDlgItem(*d, IDC_START_DONTSHOW), BM_CLICK, 0, 0);
      during = Settings().Number(kStartDialogEntry, 99);
      // Left with Escape: the value stays.
      lwtest::Press(d, IDCANCEL);
    });
    EXPECT_EQ(shownChecked, c.before ? static_cast<UINT>(BST_CHECKED) : BST_UNCHECKED);
    EXPECT_EQ(during, static_cast<DWORD>(c.after));
    EXPECT_EQ(Settings().Number(kStartDialogEntry, 99), static_cast<DWORD>(c.after));
  }
}

// ---------------------------------------------------------------------------
// About box

TEST_F(StartDialogsTest, AboutShowsTheVersionAndPlaysItsMovieOverThePicture) {
  ASSERT_TRUE(run.Start(""));
  std::string version;
  bool playing = false, movieShown = false, pictureShown = true, saved = false;
  long frames = 0;
  RECT movieRect = {}, pictureRect = {};
  lwtest::CDialogScript script([&](CDialog* d) {
    if (d->GetTemplateId() != IDD_ABOUTBOX) return;
    char text[128] = "";
    ::GetDlgItemTextA(*d, IDC_ABOUT_VERSION, text, sizeof text);
    version = text;
    HWND movie = ::GetDlgItem(*d, IDC_ABOUT_MOVIE);
    auto* flash = dynamic_cast<CShockwaveFlash*>(CWnd::FromHandlePermanent(movie));
    ASSERT_NE(flash, nullptr);
    playing = flash->IsPlaying();
    frames = flash->GetTotalFrames();
    movieShown = HasVisibleStyle(movie);
    pictureShown = HasVisibleStyle(::GetDlgItem(*d, IDC_ABOUT_PICTURE));
    ::GetWindowRect(movie, &movieRect);
    ::GetWindowRect(::GetDlgItem(*d, IDC_ABOUT_PICTURE), &pictureRect);
    ::ShowWindow(*d, SW_SHOW);
    lwtest::FlushEvents(500);
    saved = lwtest::SaveWindowShot(*d, LW_BUILD_DIR "/screenshots/about.bmp");
  });
  ::SendMessageA(Frame(), WM_COMMAND, ID_APP_ABOUT, 0);
  EXPECT_EQ(script.Opened(), 1);
  EXPECT_EQ(version, "Lumenweave Version 4.8 (build " + std::string(run.app->m_strBuild) + ")");
  EXPECT_TRUE(playing);
  EXPECT_GT(frames, 1);
  EXPECT_TRUE(movieShown);
  EXPECT_FALSE(pictureShown);
  EXPECT_TRUE(::EqualRect(&movieRect, &pictureRect));
  EXPECT_TRUE(saved);
  // The movie stays in the temporary folder, written from the resource.
  EXPECT_TRUE(lwtest::FileExists(lwtest::TempPath("splash.swf")));
}

TEST_F(StartDialogsTest, AboutsTwoButtonsReachTheFrame) {
  ASSERT_TRUE(run.Start(""));
  struct Case {
    const char* name;
    int button;
    UINT command;
    const char* launched;  // the start of what the shell was asked to open
  } const cases[] = {{"mail", IDC_ABOUT_SUPPORT, ID_HELP_SUPPORT, "mailto:"},
                     {"homepage", IDC_ABOUT_HOMEPAGE, ID_HELP_HOMEPAGE, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shell.calls.clear();
    lwtest::CMessageSequence seq;
    seq.Watch(Frame());
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() != IDD_ABOUTBOX) return;
      ::SendMessageA(::GetDlgItem(*d, c.button), BM_CLICK, 0, 0);
      lwtest::Press(d, IDOK);
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_APP_ABOUT, 0);
    const std::vector<UINT> expected = {ID_APP_ABOUT};
    std::vector<UINT> got = Commands(seq);
    EXPECT_EQ(got, expected);
    ASSERT_FALSE(shell.calls.empty());
    if (c.launched) {
      EXPECT_EQ(shell.calls[0].file.rfind(c.launched, 0), 0u) << shell.calls[0].file;
      EXPECT_NE(shell.calls[0].file.find("Lumenweave Version 4.8"), std::string::npos);
    } else {
      const std::string& call = shell.calls[0].file + " " + shell.calls[0].params;
      EXPECT_NE(call.find(kHomepage), std::string::npos) << call;
    }
  }
}

TEST_F(StartDialogsTest, AboutShowsThePictureWhenTheMovieControlCannotBeMade) {
  ASSERT_TRUE(run.Start(""));
  CUnmadeMovie movie;
  CAboutDlg dialog(Frame());
  dialog.m_pFlash = &movie;
  bool pictureShown = false;
  HWND movieWindow = nullptr;
  lwtest::CDialogScript script([&](CDialog* d) {
    pictureShown = HasVisibleStyle(::GetDlgItem(*d, IDC_ABOUT_PICTURE));
    movieWindow = ::GetDlgItem(*d, IDC_ABOUT_MOVIE);
  });
  dialog.DoModal();
  EXPECT_TRUE(pictureShown);
  EXPECT_EQ(movieWindow, nullptr);
  EXPECT_FALSE(movie.IsPlaying());
}

}  // namespace
