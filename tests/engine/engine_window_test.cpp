// The movie engine's saver window in this process: it covers the virtual
// screen, topmost and black; its movie file is this process's and goes
// with the window, also when the movie cannot play; a mouse move beyond
// the system's threshold, a button, a key or the loss of activation end
// it, other closes do not; after the password delay a close asks for the
// password, whose refusal keeps the saver with the cursor where it is as
// the new reference. The movie control is left out (the window's
// StartMovie is replaced), so that nothing here depends on its drawing.
// HKEY_CURRENT_USER is a private key for the whole program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/EngineWnd.h"
#include "engine/MovieFile.h"
#include "tests/engine/engine_movies.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

const testing::Environment* const kPrivateUser =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

using lwtest::Bytes;
using lwtest::FlushEvents;
using lwtest::PumpUntil;

const lwtest::CRegKeyPath kScreenSavers(HKEY_CURRENT_USER,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers");

// The saver window without the movie control, with scripted password
// answers. Activation changes count only when a test asks for them: other
// test programs share the display and may take the foreground.
class CTestSaverWnd : public CMovieSaverWnd {
 public:
  explicit CTestSaverWnd(int* failure) : CMovieSaverWnd(failure, false) {}

  bool startResult = true;
  int startFailure = 0;
  std::vector<bool> answers;  // then true
  int asked = 0;
  bool activationCounts = false;
  POINT cursorDuringPassword = {-1, -1};

 protected:
  bool StartMovie(int* failure) override {
    if (!startResult) *failure = startFailure;
    return startResult;
  }
  bool VerifyPassword() override {
    ++asked;
    if (cursorDuringPassword.x >= 0) SetCursorPos(cursorDuringPassword.x, cursorDuringPassword.y);
    return static_cast<size_t>(asked) <= answers.size() ? answers[asked - 1] : true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (!activationCounts && (msg == WM_ACTIVATE || msg == WM_ACTIVATEAPP))
      return DefWindowProc(msg, wp, lp);
    return CMovieSaverWnd::WindowProc(msg, wp, lp);
  }
};

class SaverWindow : public testing::Test {
 protected:
  void SetUp() override {
    kScreenSavers.DeleteTree();
    movie_ = enginetest::TinyMovie(RGB(0, 128, 255));
    ASSERT_TRUE(lwtest::WriteAll(saver_, enginetest::MovieSaverLayout(movie_)));
    SetCursorPos(400, 300);
  }
  void TearDown() override {
    wnd_.reset();
    kScreenSavers.DeleteTree();
    // The window's end posts the program's end; this is a test.
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  CTestSaverWnd& Make(bool activationCounts = false) {
    wnd_.reset(new CTestSaverWnd(&failure_));
    wnd_->activationCounts = activationCounts;
    wnd_->SetSourcePath(saver_.c_str());
    return *wnd_;
  }
  bool Alive() const { return wnd_ && IsWindow(wnd_->GetSafeHwnd()); }
  bool EndsSoon() { return PumpUntil([&] { return !Alive(); }, 5000); }
  // Enough time for the window to act on what was posted.
  bool StaysAfterMessages() {
    FlushEvents(200);
    return Alive();
  }

  lwtest::CTempFolder folder_{"engine_window"};
  std::string saver_ = folder_.File("Clip.scr");
  Bytes movie_;
  int failure_ = 0;
  std::unique_ptr<CTestSaverWnd> wnd_;
};

TEST_F(SaverWindow, CoversTheVirtualScreenTopmostAndBlackWithItsMovieFile) {
  CTestSaverWnd& w = Make();
  ASSERT_TRUE(w.Create());
  RECT r;
  GetWindowRect(w, &r);
  const RECT screen = GetVirtualScreenRect();
  EXPECT_EQ(r.left, screen.left);
  EXPECT_EQ(r.top, screen.top);
  EXPECT_EQ(r.right, screen.right);
  EXPECT_EQ(r.bottom, screen.bottom);
  EXPECT_EQ(screen.right - screen.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_TRUE(PumpUntil([&] {
    return lwtest::ScreenPixel(screen.left + 5, screen.top + 5) == 0 &&
           lwtest::ScreenPixel((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2) == 0 &&
           lwtest::ScreenPixel(screen.right - 5, screen.bottom - 5) == 0;
  }, 5000)) << "black over the screen";

  const std::string movie = w.GetMoviePath();
  EXPECT_EQ(movie, lwtest::TempPath("Lumenweave-" + std::to_string(GetCurrentProcessId()) + ".swf"));
  EXPECT_EQ(lwtest::ReadAll(movie), movie_) << "the carried movie, whole";
  w.DestroyWindow();
  EXPECT_FALSE(lwtest::FileExists(movie)) << "removed with the window";
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the program ends";
}

TEST_F(SaverWindow, AMovieThatCannotPlayFailsTheWindowAndLeavesNoFile) {
  const struct {
    const char* name;
    Bytes file;  // empty: no file at all
    bool controlMade;
    int failure;
  } kRows[] = {
      {"nothing appended", Bytes(carried::kEngineImageSize, 0), true, kExitNoMovie},
      {"no saver file", Bytes(), true, kExitNoMovie},
      {"a damaged movie", enginetest::MovieSaverLayout(Bytes(300, 0x5A)), true, kExitDamagedMovie},
      {"a movie cut inside its header", Bytes(), true, kExitDamagedMovie},
      {"a movie the control rejects", enginetest::MovieSaverLayout(movie_), false, kExitDamagedMovie},
      {"a control that cannot be made", enginetest::MovieSaverLayout(movie_), false, kExitCannotPlay},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    DeleteFileA(saver_.c_str());
    if (std::string(r.name) == "a movie cut inside its header") {
      Bytes cut = enginetest::MovieSaverLayout(movie_);
      cut.resize(carried::kEngineImageSize + 5);
      ASSERT_TRUE(lwtest::WriteAll(saver_, cut));
    } else if (!r.file.empty()) {
      ASSERT_TRUE(lwtest::WriteAll(saver_, r.file));
    }
    failure_ = 0;
    CTestSaverWnd& w = Make();
    w.startResult = r.controlMade;
    w.startFailure = r.failure;
    const std::string movie = w.GetMoviePath();
    EXPECT_FALSE(w.Create());
    EXPECT_EQ(failure_, r.failure);
    EXPECT_FALSE(lwtest::FileExists(movie)) << "no movie file stays behind";
    wnd_.reset();
  }
}

TEST_F(SaverWindow, TheMouseEndsItBeyondTheSystemsThreshold) {
  const struct {
    int threshold;  // 0: none stored (3)
    int within;
  } kRows[] = {{0, 3}, {10, 10}, {1, 1}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(testing::Message() << "threshold " << r.threshold);
    if (r.threshold) {
      ASSERT_TRUE(kScreenSavers.SetNumber("Mouse Threshold", r.threshold));
    }
    SetCursorPos(400, 300);
    CTestSaverWnd& w = Make();
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(w.GetSettings().mouseThreshold, r.within);
    for (POINT p : {POINT{400 + r.within, 300}, POINT{400 - r.within, 300 + r.within}}) {
      SetCursorPos(p.x, p.y);
      w.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
      EXPECT_TRUE(StaysAfterMessages()) << "a move within the threshold to " << p.x << "," << p.y;
    }
    SetCursorPos(400, 300 - r.within - 1);
    w.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(400, 300 - r.within - 1));
    EXPECT_TRUE(EndsSoon()) << "a move beyond the threshold";
    wnd_.reset();
  }
}

TEST_F(SaverWindow, ButtonsKeysAndTheLossOfActivationEndIt) {
  const struct {
    const char* name;
    UINT msg;
    WPARAM wp;
  } kRows[] = {
      {"a key", WM_KEYDOWN, 'A'},           {"a system key", WM_SYSKEYDOWN, VK_MENU},
      {"the left button", WM_LBUTTONDOWN, MK_LBUTTON},
      {"the middle button", WM_MBUTTONDOWN, MK_MBUTTON},
      {"the right button", WM_RBUTTONDOWN, MK_RBUTTON},
      {"another program in front", WM_ACTIVATEAPP, FALSE},
      {"another window in front", WM_ACTIVATE, WA_INACTIVE},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    CTestSaverWnd& w = Make(true);
    ASSERT_TRUE(w.Create());
    Sleep(20);  // past the delay of 0 seconds
    w.PostMessage(r.msg, r.wp, 0);
    EXPECT_TRUE(EndsSoon());
    EXPECT_EQ(w.asked, 1) << "the password was asked once, and given";
    wnd_.reset();
  }
}

TEST_F(SaverWindow, OnlyItsOwnInputRulesCloseIt) {
  CTestSaverWnd& w = Make();
  ASSERT_TRUE(w.Create());
  w.PostMessage(WM_CLOSE);
  w.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  w.PostMessage(WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  w.PostMessage(WM_KEYUP, 'A', 0);
  w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(400, 300));
  EXPECT_TRUE(StaysAfterMessages());
  EXPECT_EQ(w.SendMessage(WM_NCACTIVATE, FALSE, 0), 0) << "deactivation refused";
  EXPECT_EQ(w.asked, 0);
}

TEST_F(SaverWindow, AfterTheDelayARefusedPasswordKeepsTheSaver) {
  SetCursorPos(400, 300);
  CTestSaverWnd& w = Make();
  ASSERT_TRUE(w.Create());
  w.answers = {false};
  // The user moves the mouse while the dialog is up: that place is the new
  // reference afterwards.
  w.cursorDuringPassword = {600, 500};
  Sleep(50);  // the delay of 0 seconds has passed
  w.PostMessage(WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(StaysAfterMessages()) << "the password was refused";
  EXPECT_EQ(w.asked, 1);
  EXPECT_EQ(w.GetReferencePoint().x, 600);
  EXPECT_EQ(w.GetReferencePoint().y, 500);
  SetCursorPos(602, 502);
  w.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(602, 502));
  EXPECT_TRUE(StaysAfterMessages()) << "within the threshold of the new reference";
  EXPECT_EQ(w.asked, 1);
  w.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(EndsSoon()) << "the password was right";
  EXPECT_EQ(w.asked, 2);
}

TEST_F(SaverWindow, WithinThePasswordDelayItEndsWithoutAsking) {
  ASSERT_TRUE(kScreenSavers.SetNumber("Password Delay", 5));
  CTestSaverWnd& w = Make();
  ASSERT_TRUE(w.Create());
  EXPECT_EQ(w.GetSettings().passwordDelay, 5);
  w.answers = {false};
  Sleep(50);
  w.PostMessage(WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(EndsSoon());
  EXPECT_EQ(w.asked, 0);
}

}  // namespace
