// The movie engine end to end: movie-only savers made by the output writer
// from the builder's carried engine and a small movie written here, started
// as Windows starts them. The configure message, the black preview in the
// display settings' window, the password change, the switches' spellings,
// the quiet end of a saver whose movie is missing or damaged, the movie
// read from the program's own file whatever the command line calls it,
// and its temporary copy, which belongs to the process and goes at the
// end. The movie full screen needs a control that plays.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Payload.h"
#include "engine/MovieFile.h"
#include "tests/engine/engine_movies.h"
#include "tests/support/files.h"
#include "tests/support/movie_features.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/wizards/built_saver_maker.h"

namespace {

using lwtest::Bytes;
using lwtest::FileExists;
using lwtest::FlushEvents;
using lwtest::kNotEnded;
using lwtest::PumpUntil;
using lwtest::TempPath;
using SaverProcess = lwtest::CChildProcess;

constexpr char kConfigText[] = "This screen saver plays its movie and has no options to set.";

std::string MovieCopyOf(DWORD pid) { return TempPath("Lumenweave-" + std::to_string(pid) + ".swf"); }

// A handle that no window has (any longer).
std::string DeadHandle() {
  lwtest::CHostWindow gone(0, 0, 10, 10);
  const std::string handle = gone.HandleText();
  gone.Destroy();
  return handle;
}

class EngineRun : public lwtest::CBuiltSaverMakerTest {
 protected:
  EngineRun() : CBuiltSaverMakerTest("engine_e2e") {}

  // A movie saver made by the writer from the movie bytes.
  std::string MakeSaver(const char* name, const Bytes& movie) {
    const std::string swf = dir_ + name + ".swf", scr = dir_ + name + ".scr";
    EXPECT_TRUE(lwtest::WriteAll(swf, movie));
    EXPECT_TRUE(maker_.MakeMovieSaver(scr.c_str(), swf.c_str()));
    return scr;
  }

  Bytes movie_ = enginetest::TinyMovie(RGB(0, 160, 80));
};

TEST_F(EngineRun, TheWriterPutsTheMovieBehindTheEngine) {
  const std::string scr = MakeSaver("Clip", movie_);
  const Bytes saver = lwtest::ReadAll(scr);
  ASSERT_EQ(saver.size(), carried::kEngineImageSize + movie_.size());
  EXPECT_EQ(Bytes(saver.begin() + carried::kEngineImageSize, saver.end()), movie_);
  EXPECT_EQ(saver[0], 'M');
}

TEST_F(EngineRun, ConfigureShowsItsMessageOwnedAsAsked) {
  lwtest::CHostWindow owner(50, 50, 200, 100);
  const std::string scr = MakeSaver("Clip", movie_);
  const struct {
    std::string args;
    bool owned;  // by the window of the test
  } kRows[] = {
      {"", false},
      {"/c", false},
      {"/c:" + owner.HandleText(), true},
      {"-C " + owner.HandleText(), true},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE("\"" + r.args + "\"");
    SaverProcess run(scr, r.args);
    ASSERT_TRUE(run.Started());
    const HWND box = run.WaitForMessageBox(kConfigText);
    ASSERT_NE(box, nullptr) << "no configure message";
    if (r.owned) {
      EXPECT_EQ(GetWindow(box, GW_OWNER), owner.Hwnd());
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.Wait(10000), 0u);
  }
}

TEST_F(EngineRun, PreviewIsABlackChildOfTheGivenWindowAndEndsWithIt) {
  const std::string scr = MakeSaver("Clip", movie_);
  const char* kSpellings[] = {"/p %s", "/p:%s", "-P%s", "l %s"};
  for (const char* spelling : kSpellings) {
    SCOPED_TRACE(spelling);
    lwtest::CHostWindow host(100, 100, 152, 112);
    std::string args = spelling;
    args.replace(args.find("%s"), 2, host.HandleText());
    SaverProcess run(scr, args);
    ASSERT_TRUE(run.Started());
    HWND child = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
      child = FindWindowExA(host.Hwnd(), nullptr, nullptr, nullptr);
      return (child && IsWindowVisible(child)) || run.Ended();
    }, 15000));
    ASSERT_NE(child, nullptr) << "no preview window; the saver ended with " << run.Wait(0);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
    RECT area, inner;
    GetClientRect(host.Hwnd(), &area);
    GetWindowRect(child, &inner);
    MapWindowPoints(nullptr, host.Hwnd(), reinterpret_cast<POINT*>(&inner), 2);
    EXPECT_TRUE(EqualRect(&area, &inner))
        << "the whole preview area: " << inner.left << "," << inner.top << " - " << inner.right
        << "," << inner.bottom;
    EXPECT_EQ(GetClassLongPtrA(child, GCLP_HBRBACKGROUND), 0) << "another process's class";
    FlushEvents(300);
    EXPECT_FALSE(run.Ended()) << "the preview stays while its window is there";
    host.Destroy();
    EXPECT_EQ(run.Wait(10000), 0u) << "ended with the preview area";
  }
}

TEST_F(EngineRun, HandlesThatAreNoWindowsAndUnknownSwitchesEndAtOnce) {
  const std::string scr = MakeSaver("Clip", movie_);
  const std::string dead = DeadHandle();
  const struct {
    std::string args;
    DWORD code;
  } kRows[] = {
      {"/p " + dead, kExitNotAWindow}, {"/c:" + dead, kExitNotAWindow},
      {"/a " + dead, kExitNotAWindow}, {"/p", 0},
      {"/p abc", 0},                   {"/x", 0},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE("\"" + r.args + "\"");
    SaverProcess run(scr, r.args);
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Wait(10000), r.code);
  }
}

TEST_F(EngineRun, PasswordModeAsksTheSystemAndEnds) {
  lwtest::CHostWindow owner(50, 50, 200, 100);
  const std::string scr = MakeSaver("Clip", movie_);
  SaverProcess run(scr, "/a " + owner.HandleText());
  ASSERT_TRUE(run.Started());
  EXPECT_EQ(run.Wait(15000), 0u);
}

// Nothing behind the engine, a movie cut short, bytes that are no movie:
// the saver ends within seconds with the code that says why, shows no
// window and leaves no movie file.
TEST_F(EngineRun, MissingAndDamagedMoviesEndQuietly) {
  const Bytes engine = lwtest::ReadAll(LW_BUILD_DIR "/engine/Emberlyn.exe");
  ASSERT_EQ(engine.size(), carried::kEngineImageSize);
  const Bytes whole = lwtest::ReadAll(MakeSaver("Whole", movie_));
  // Cut inside the frame rectangle: not one frame to play.
  Bytes cut = whole;
  cut.resize(carried::kEngineImageSize + 10);
  Bytes garbage = engine;
  garbage.insert(garbage.end(), 400, 0x5A);
  Bytes headerOnly = engine;
  headerOnly.insert(headerOnly.end(), movie_.begin(), movie_.begin() + 8);
  // A compressed movie whose compressed data is not: only the control
  // finds out, which needs a control.
  Bytes badlyCompressed = engine;
  const uint8_t kCompressedHeader[] = {'C', 'W', 'S', 6, 200, 0, 0, 0};
  badlyCompressed.insert(badlyCompressed.end(), kCompressedHeader, kCompressedHeader + 8);
  badlyCompressed.insert(badlyCompressed.end(), 192, 0x5A);
  const struct {
    const char* name;
    const Bytes& bytes;
    DWORD code;
  } kRows[] = {
      {"nothing appended", engine, kExitNoMovie},
      {"the movie cut short", cut, kExitDamagedMovie},
      {"no movie", garbage, kExitDamagedMovie},
      {"a header alone", headerOnly, kExitDamagedMovie},
      {"compressed data that is not", badlyCompressed, kExitDamagedMovie},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    const std::string scr = dir_ + "Damaged.scr";
    ASSERT_TRUE(lwtest::WriteAll(scr, r.bytes));
    SaverProcess run(scr, "/s");
    ASSERT_TRUE(run.Started());
    bool windowShown = false;
    EXPECT_EQ(run.Wait(10000, [&] { windowShown = windowShown || lwtest::TopWindowOf(run.Pid()); }),
              r.code);
    EXPECT_FALSE(windowShown);
    EXPECT_FALSE(FileExists(MovieCopyOf(run.Pid())));
  }
}

// Started as a shell may start it: the command line names the program
// without folder and extension, from another folder. The movie comes from
// the program's own file all the same; it plays (then a key ends it), or,
// where the control cannot be made, the program ends saying so. Either way
// the movie's copy is gone at the end.
TEST_F(EngineRun, TheMovieComesFromTheProgramsOwnFileAndItsCopyGoes) {
  const std::string scr = MakeSaver("Clip", movie_);
  lwtest::CTempFolder elsewhere("engine_e2e_cwd");
  SaverProcess run(scr, "Clip /s", elsewhere.Path());
  ASSERT_TRUE(run.Started());
  const std::string copy = MovieCopyOf(run.Pid());
  HWND saver = nullptr;
  PumpUntil([&] { return (saver = lwtest::TopWindowOf(run.Pid())) != nullptr || run.Ended(); }, 15000);
  ASSERT_NE(saver, nullptr) << "the movie was looked for elsewhere";
  EXPECT_EQ(lwtest::ReadAll(copy), movie_) << "the copy while the movie plays";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  const DWORD code = run.Wait(10000);
  EXPECT_EQ(code, 0u);
  EXPECT_NE(code, static_cast<DWORD>(kExitNoMovie)) << "the movie was looked for elsewhere";
  EXPECT_FALSE(FileExists(copy)) << "the movie's copy stays behind";
  EXPECT_FALSE(FileExists(TempPath("Lumenweave.swf")));
}

TEST_F(EngineRun, RunsFullScreenOverTheVirtualScreenAndEndsOnInput) {
  const std::string scr = MakeSaver("Clip", movie_);
  const struct {
    const char* name;
    int how;  // 0 key, 1 button, 2 mouse beyond the threshold
  } kRows[] = {{"a key", 0}, {"a button", 1}, {"the mouse", 2}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    SetCursorPos(400, 300);
    SaverProcess run(scr, "/s");
    ASSERT_TRUE(run.Started());
    const HWND saver = run.WaitForWindow(nullptr);
    ASSERT_NE(saver, nullptr) << "ended with " << run.Wait(0);
    RECT rect;
    GetWindowRect(saver, &rect);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(lwtest::ReadAll(MovieCopyOf(run.Pid())), movie_);
    FlushEvents(300);
    if (r.how == 2) {
      SetCursorPos(402, 302);  // within the threshold of 3
      EXPECT_EQ(run.Wait(1000), kNotEnded) << "ended by a jitter";
      SetCursorPos(460, 340);
    } else {
      PostMessageA(saver, r.how ? WM_LBUTTONDOWN : WM_KEYDOWN, r.how ? MK_LBUTTON : 'A', 0);
    }
    EXPECT_EQ(run.Wait(10000), 0u);
    EXPECT_FALSE(FileExists(MovieCopyOf(run.Pid())));
  }
}

// Two runs of the same saver at once (a second start while the first
// plays) each have their own copy of the movie; the first may end when the
// second takes the foreground, and takes only its own copy with it.
TEST_F(EngineRun, TwoRunsAtOnceKeepTheirOwnMovieCopies) {
  const std::string scr = MakeSaver("Clip", movie_);
  SaverProcess first(scr, "/s");
  ASSERT_NE(first.WaitForWindow(nullptr), nullptr);
  ASSERT_EQ(lwtest::ReadAll(MovieCopyOf(first.Pid())), movie_);
  SaverProcess second(scr, "/s");
  ASSERT_NE(second.WaitForWindow(nullptr), nullptr);
  EXPECT_EQ(lwtest::ReadAll(MovieCopyOf(second.Pid())), movie_);
  // The first may be ending as the second takes the screen, and then takes
  // its copy with it; while it is there, the copy is whole and its own.
  const auto firstCopy = lwtest::ReadAll(MovieCopyOf(first.Pid()));
  if (firstCopy.empty()) {
    EXPECT_EQ(first.Wait(10000), 0u) << "the first's copy went while it still ran";
  } else {
    EXPECT_EQ(firstCopy, movie_);
  }
  for (SaverProcess* p : {&second, &first}) {
    SCOPED_TRACE(p == &first ? "the first" : "the second");
    PumpUntil([&] {
      if (const HWND w = lwtest::TopWindowOf(p->Pid())) PostMessageA(w, WM_KEYDOWN, 'A', 0);
      return p->Ended();
    }, 10000);
    EXPECT_EQ(p->Wait(0), 0u);
    EXPECT_FALSE(FileExists(MovieCopyOf(p->Pid())));
  }
}

// On Windows 9x (as Wine reports it to this saver alone) a close asks the
// system's password library beside the program, a stand-in here that
// answers yes and logs the call; on Windows NT nothing is asked.
TEST_F(EngineRun, OnWindows9xTheSystemsPasswordLibraryIsAsked) {
  ASSERT_TRUE(CopyFileA(LW_BUILD_DIR "/tests/password_probe.dll", (dir_ + "PASSWORD.CPL").c_str(),
                        FALSE));
  const std::string log = dir_ + "password.log";
  SetEnvironmentVariableA("LW_PASSWORD_ANSWER", "1");
  SetEnvironmentVariableA("LW_PASSWORD_LOG", log.c_str());
  for (const bool win9x : {false, true}) {
    SCOPED_TRACE(win9x ? "Windows 98" : "Windows NT");
    DeleteFileA(log.c_str());
    const std::string name = win9x ? "Old98.scr" : "NewNT.scr";
    lwtest::CScratchKey appDefaults(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + name);
    if (win9x) {
      ASSERT_TRUE(appDefaults.SetText("Version", "win98"));
    }
    const std::string scr = MakeSaver(name.substr(0, name.size() - 4).c_str(), movie_);
    SaverProcess run(scr, "/s");
    const HWND saver = run.WaitForWindow(nullptr);
    ASSERT_NE(saver, nullptr);
    FlushEvents(300);  // past the password delay of 0 seconds
    PostMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(run.Wait(10000), 0u) << "ended with the right password";
    EXPECT_EQ(FileExists(log), win9x) << "the password library was asked";
  }
  SetEnvironmentVariableA("LW_PASSWORD_ANSWER", nullptr);
  SetEnvironmentVariableA("LW_PASSWORD_LOG", nullptr);
}

TEST_F(EngineRun, ShowsTheMoviesBackgroundAndShapes) {
  const COLORREF colour = RGB(0, 160, 80), red = RGB(255, 0, 0);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const std::string scr = MakeSaver("Green", enginetest::TinyMovie(colour, w, h, 600, red));
  SaverProcess run(scr, "/s");
  const HWND saver = run.WaitForWindow(nullptr);
  ASSERT_NE(saver, nullptr);
  const struct {
    int x, y;
    COLORREF colour;
    const char* what;
  } kPoints[] = {
      {w / 2, h / 2, red, "the square in the middle"},
      {w / 2 - h / 6 - 4, h / 2, colour, "the background left of it"},
      {10, 10, colour, "the background at the top left"},
  };
  std::string wrong;
  PumpUntil([&] {
    wrong.clear();
    for (const auto& p : kPoints)
      if (lwtest::ScreenPixel(p.x, p.y) != p.colour) wrong = p.what;
    return wrong.empty();
  }, 15000);
  EXPECT_EQ(wrong, "") << "not on the screen";
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// Every kind of thing the movie control draws shows where the movie puts
// it, over the whole screen.
TEST_F(EngineRun, ShowsEveryKindOfThingInAMovie) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const std::string scr = MakeSaver("Features", lwtest::FeatureMovie(dir_));
  SaverProcess run(scr, "/s");
  const HWND saver = run.WaitForWindow(nullptr);
  ASSERT_NE(saver, nullptr);
  EXPECT_EQ(lwtest::CheckFeatureMovie(RECT{0, 0, w, h}), "");
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

// A movie whose frames cost far more than their time (2,000 curves each
// sweeping the screen, filled and drawn with the widest line): each frame
// is cut where it stands, and a key ends the saver as it does any other.
TEST_F(EngineRun, AKeyEndsASaverWhoseFramesCostMoreThanTheirTime) {
  SaverProcess run(MakeSaver("Costly", lwtest::CostlyMovie()), "/s");
  const HWND saver = run.WaitForWindow(nullptr);
  ASSERT_NE(saver, nullptr);
  FlushEvents(1000);  // frames being drawn
  PostMessageA(saver, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(run.Wait(10000), 0u);
}

}  // namespace
