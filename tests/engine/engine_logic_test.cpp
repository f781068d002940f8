// The movie engine's rules without its windows: the switches read from
// whole command lines, the movie's checks and its copy to a temporary file
// of this process, the system's screen-saver settings, the mouse threshold,
// the password delay and the password check. HKEY_CURRENT_USER is a private
// key for the whole program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/EngineCommandLine.h"
#include "engine/EngineWnd.h"
#include "engine/MovieFile.h"
#include "tests/engine/engine_movies.h"
#include "tests/support/files.h"
#include "tests/common/saver_mode_names.h"
#include "tests/support/registry.h"

namespace {

const testing::Environment* const kPrivateUser =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

using lwtest::Bytes;

TEST(EngineCommandLine, SwitchesHandlesAndProgramNames) {
  const struct {
    const char* line;
    SaverMode mode;
    std::uintptr_t handle;
  } kRows[] = {
      {"Clip.scr", SaverMode::Settings, 0},
      {"Clip.scr   ", SaverMode::Settings, 0},
      {"\"C:\\My Savers\\Clip.scr\"", SaverMode::Settings, 0},
      {"Clip.scr /s", SaverMode::Run, 0},
      {"Clip.scr -S", SaverMode::Run, 0},
      {"Clip.scr s", SaverMode::Run, 0},
      {"\"C:\\My Savers\\Clip.scr\" /s", SaverMode::Run, 0},
      {"\"C:\\My Savers\\Clip.scr\"/s", SaverMode::Run, 0},
      {"Clip.scr /p 1234", SaverMode::Preview, 1234},
      {"Clip.scr /p:1234", SaverMode::Preview, 1234},
      {"Clip.scr -P1234", SaverMode::Preview, 1234},
      {"Clip.scr l 1234", SaverMode::Preview, 1234},
      {"Clip.scr /L :: 77 ", SaverMode::Preview, 77},
      {"Clip.scr /p", SaverMode::None, 0},
      {"Clip.scr /p abc", SaverMode::None, 0},
      {"Clip.scr /p 12 34", SaverMode::None, 0},
      {"Clip.scr /p 99999999999999999999999", SaverMode::None, 0},
      {"Clip.scr /c", SaverMode::Configure, 0},
      {"Clip.scr /c:1234", SaverMode::Configure, 1234},
      {"Clip.scr /C 1234", SaverMode::Configure, 1234},
      {"Clip.scr /c:x", SaverMode::None, 0},
      {"Clip.scr /a 1234", SaverMode::Password, 1234},
      {"Clip.scr -a:55", SaverMode::Password, 55},
      {"Clip.scr /a", SaverMode::Password, 0},
      {"Clip.scr /x", SaverMode::None, 0},
      {"Clip.scr /", SaverMode::None, 0},
      {"Clip.scr //s", SaverMode::None, 0},
      {"", SaverMode::Settings, 0},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.line);
    const SaverCommand c = ParseEngineCommandLine(r.line);
    EXPECT_STREQ(SaverModeName(c.mode), SaverModeName(r.mode));
    if (c.mode == r.mode) {
      EXPECT_EQ(c.handle, r.handle);
    }
  }
  EXPECT_EQ(ParseEngineCommandLine(nullptr).mode, SaverMode::Settings);
}

TEST(MovieFile, HeaderChecks) {
  const Bytes good = enginetest::TinyMovie(RGB(1, 2, 3));
  Bytes compressed = good;
  compressed[0] = 'C';
  compressed[4] = 0xFF;  // the inflated length may exceed the file
  Bytes longer = good;
  longer[4] = static_cast<uint8_t>(good.size() + 1);
  Bytes wrongSignature = good;
  wrongSignature[1] = 'X';
  Bytes noVersion = good;
  noVersion[3] = 0;
  Bytes shortLength = good;
  shortLength[4] = 7;
  shortLength[5] = shortLength[6] = shortLength[7] = 0;
  const struct {
    const char* name;
    Bytes bytes;
    uint64_t size;
    bool movie;
  } kRows[] = {
      {"a plain movie", good, good.size(), true},
      {"followed by more bytes", good, good.size() + 10, true},
      {"a compressed movie", compressed, good.size(), true},
      // Writers leave placeholder lengths: the tags it holds play.
      {"truncated by one byte", good, good.size() - 1, true},
      {"a length past its bytes", longer, good.size(), true},
      {"another signature", wrongSignature, good.size(), false},
      {"version 0", noVersion, good.size(), false},
      {"a length below the header", shortLength, good.size(), false},
      {"seven bytes", Bytes(good.begin(), good.begin() + 7), 7, false},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(IsMovieHeader(r.bytes.data(), static_cast<uint32_t>(r.bytes.size()), r.size), r.movie);
  }
}

TEST(MovieFile, TheTemporaryMovieIsThisProcesss) {
  char path[MAX_PATH];
  GetTempMoviePath(path, sizeof path);
  EXPECT_EQ(std::string(path), lwtest::TempPath("Lumenweave-" + std::to_string(GetCurrentProcessId()) + ".swf"));
}

TEST(MovieFile, OnlyAMovieIsCopiedAndAFailedCopyLeavesNothing) {
  lwtest::CTempFolder folder("engine_extract");
  const Bytes movie = enginetest::TinyMovie(RGB(10, 20, 30), 320, 240, 40000);  // over 64 KB
  ASSERT_GT(movie.size(), 64u * 1024);
  const Bytes saver = enginetest::MovieSaverLayout(movie);
  const struct {
    const char* name;
    Bytes file;
    int result;
  } kRows[] = {
      {"a movie saver", saver, 0},
      {"nothing appended", Bytes(carried::kEngineImageSize, 0), kExitNoMovie},
      {"a shorter file", Bytes(1000, 0), kExitNoMovie},
      // What it holds is copied; the control plays its whole tags.
      {"the movie cut short", Bytes(saver.begin(), saver.end() - 100), 0},
      {"not a movie", enginetest::MovieSaverLayout(Bytes(500, 0x5A)), kExitDamagedMovie},
      {"three bytes", enginetest::MovieSaverLayout({'F', 'W', 'S'}), kExitDamagedMovie},
  };
  const std::string target = folder.File("movie.swf");
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    const std::string source = folder.File("saver.scr");
    ASSERT_TRUE(lwtest::WriteAll(source, r.file));
    ASSERT_TRUE(lwtest::WriteAll(target, {1, 2, 3}));  // left by an earlier run
    EXPECT_EQ(ExtractMovie(source.c_str(), target.c_str()), r.result);
    if (r.result == 0) {
      EXPECT_EQ(lwtest::ReadAll(target), Bytes(r.file.begin() + carried::kEngineImageSize, r.file.end()));
    } else {
      EXPECT_EQ(lwtest::ReadAll(target), Bytes({1, 2, 3})) << "untouched";
    }
  }
  EXPECT_EQ(ExtractMovie(folder.File("missing.scr").c_str(), target.c_str()), kExitNoMovie);
  // A target that cannot be made.
  const std::string source = folder.File("saver.scr");
  ASSERT_TRUE(lwtest::WriteAll(source, saver));
  EXPECT_EQ(ExtractMovie(source.c_str(), folder.File("no such folder\\movie.swf").c_str()),
            kExitCannotPlay);
}

TEST(MovieFile, TheProgramsOwnPathIsItsModule) {
  char path[MAX_PATH], module[MAX_PATH];
  ASSERT_TRUE(GetOwnProgramPath(path, sizeof path));
  GetModuleFileNameA(nullptr, module, sizeof module);
  EXPECT_STREQ(path, module);
  char tiny[4];
  EXPECT_FALSE(GetOwnProgramPath(tiny, sizeof tiny)) << "a name that does not fit";
}

TEST(SaverSettings, ReadFromTheSystemsScreenSaverKey) {
  const lwtest::CRegKeyPath key(HKEY_CURRENT_USER,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers");
  const DWORD ten = 10, five = 5, minus = static_cast<DWORD>(-1);
  const BYTE twoBytes[2] = {9, 0};
  const struct {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
    int value;  // the threshold read, and the delay from the same data
    int delay;
  } kRows[] = {
      {"absent", 0, nullptr, 0, 3, 0},
      {"DWORD", REG_DWORD, &ten, 4, 10, 10},
      {"four binary bytes", REG_BINARY, &five, 4, 5, 5},
      {"two bytes", REG_BINARY, twoBytes, 2, 3, 0},
      {"text", REG_SZ, "10", 3, 3, 0},
      {"negative", REG_DWORD, &minus, 4, 3, 0},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.name);
    key.DeleteTree();
    if (r.data) {
      ASSERT_TRUE(key.SetValue("Mouse Threshold", r.type, r.data, r.size));
      ASSERT_TRUE(key.SetValue("Password Delay", r.type, r.data, r.size));
    }
    const SaverSettings s = ReadSaverSettings();
    EXPECT_EQ(s.mouseThreshold, r.value);
    EXPECT_EQ(s.passwordDelay, r.delay);
  }
  key.DeleteTree();
}

TEST(SaverInput, TheMouseMovesBeyondTheThresholdOnly) {
  const POINT ref = {100, 200};
  const struct {
    int dx, dy, threshold;
    bool moved;
  } kRows[] = {
      {0, 0, 3, false},  {3, 0, 3, false},   {-3, 3, 3, false}, {4, 0, 3, true},
      {0, -4, 3, true},  {10, -10, 10, false}, {11, 0, 10, true}, {0, 1, 0, true},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.dx << "," << r.dy << " threshold " << r.threshold);
    EXPECT_EQ(HasMouseMoved(ref, {ref.x + r.dx, ref.y + r.dy}, r.threshold), r.moved);
  }
}

TEST(SaverInput, ThePasswordDelayIsSecondsSinceTheStart) {
  EXPECT_TRUE(PasswordDelayPassed(0, 1));
  EXPECT_FALSE(PasswordDelayPassed(0, 0));
  EXPECT_FALSE(PasswordDelayPassed(5, 5000));
  EXPECT_TRUE(PasswordDelayPassed(5, 5001));
  EXPECT_FALSE(PasswordDelayPassed(5000000, 0xFFFFFFFFu)) << "no overflow";
}

TEST(SaverPassword, AskedOnlyOnWindows9xThroughTheSystemsLibrary) {
  // This is Windows NT to the program: the system guards the desktop.
  EXPECT_TRUE(VerifySaverPassword(nullptr));
  const std::string probe = LW_BUILD_DIR "/tests/password_probe.dll";
  HMODULE module = LoadLibraryA(probe.c_str());
  ASSERT_NE(module, nullptr);
  using Calls = LONG(WINAPI*)();
  using Last = HWND(WINAPI*)();
  const Calls calls = reinterpret_cast<Calls>(reinterpret_cast<void*>(GetProcAddress(module, "ProbeCalls")));
  const Last last = reinterpret_cast<Last>(reinterpret_cast<void*>(GetProcAddress(module, "ProbeLastWindow")));
  ASSERT_TRUE(calls && last);
  const HWND window = GetDesktopWindow();
  EXPECT_TRUE(VerifySaverPasswordWith(window, true, probe.c_str()));
  EXPECT_EQ(calls(), 0) << "never asked on NT";
  SetEnvironmentVariableA("LW_PASSWORD_ANSWER", "0");
  EXPECT_FALSE(VerifySaverPasswordWith(window, false, probe.c_str()));
  SetEnvironmentVariableA("LW_PASSWORD_ANSWER", "1");
  EXPECT_TRUE(VerifySaverPasswordWith(window, false, probe.c_str()));
  EXPECT_EQ(calls(), 2);
  EXPECT_EQ(last(), window);
  SetEnvironmentVariableA("LW_PASSWORD_ANSWER", nullptr);
  // Without the library, or without its entry point, nothing is asked.
  EXPECT_TRUE(VerifySaverPasswordWith(window, false, "no_such_password_library.cpl"));
  EXPECT_TRUE(VerifySaverPasswordWith(window, false, "kernel32.dll"));
  FreeLibrary(module);
}

}  // namespace
