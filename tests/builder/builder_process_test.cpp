// The builder as a program, started as the shell or a user starts it: the
// uninstall switch removes its keys and its options file, and a second
// start hands its file to the builder that already runs when "Reuse" says
// so, or opens a window of its own otherwise. The builder's keys and
// options file are the prefix's own: the test keeps them and puts them
// back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Files.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"

namespace {

const char kClass[] = "Lumenweave3.1";
const char kProfile[] = "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave";

std::string Builder() { return LW_BUILD_DIR "/builder/Lumenweave.exe"; }

std::string OptionsFile() {
  char windows[MAX_PATH] = "";
  ::GetWindowsDirectoryA(windows, sizeof windows);
  return std::string(windows) + "\\Lumenweave.opt";
}

using lwtest::WindowText;

class BuilderProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    m_optionsExisted = lwtest::FileExists(OptionsFile());
    if (m_optionsExisted) m_options = lwtest::ReadAll(OptionsFile());
    ::GetCurrentDirectoryA(sizeof m_directory, m_directory);
    // No Start window after the splash: nobody would answer it.
    ASSERT_TRUE(profile.Sub("Settings").SetNumber("StartDlg", 1));
  }
  void TearDown() override {
    ::SetCurrentDirectoryA(m_directory);
    if (m_optionsExisted)
      lwtest::WriteAll(OptionsFile(), m_options);
    else
      ::DeleteFileA(OptionsFile().c_str());
  }

  // A builder started without a file, and its frame once it shows and its
  // splash has gone (a disabled frame takes no hand-over).
  static HWND StartBuilder(lwtest::CChildProcess& builder) {
    EXPECT_TRUE(builder.Started());
    HWND frame = builder.WaitForWindow(kClass, nullptr, 60000);
    EXPECT_TRUE(lwtest::PumpUntil([&] { return frame && ::IsWindowEnabled(frame); }, 15000));
    return frame;
  }
  // Two builders started one after the other (without Reuse: two
  // windows), and their frames.
  struct CTwoBuilders {
    lwtest::CChildProcess first{Builder(), ""};
    HWND firstFrame = StartBuilder(first);
    lwtest::CChildProcess second{Builder(), ""};
    HWND secondFrame = StartBuilder(second);
  };
  // Closes a builder's window and waits for its end.
  static void Close(lwtest::CChildProcess& builder, HWND frame) {
    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(builder.Wait(30000), 0u);
  }

  lwtest::CRegKeyPath profile{HKEY_CURRENT_USER, kProfile};
  lwtest::CSavedRegKey savedProfile{lwtest::CRegKeyPath(HKEY_CURRENT_USER, "Software\\Corvanta")};
  lwtest::CSavedRegKey savedExtension{lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, ".fsd")};
  lwtest::CSavedRegKey savedType{lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, "Lumenweave.Document")};
  lwtest::CTempFolder folder{"builderprocess"};

 private:
  bool m_optionsExisted = false;
  lwtest::Bytes m_options;
  char m_directory[MAX_PATH] = "";
};

TEST_F(BuilderProcessTest, UninstallRemovesTheKeysWithEverythingBelowThemAndTheOptionsFile) {
  for (const char* argument : {"/u", "-U", "u"}) {
    SCOPED_TRACE(argument);
    ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 0));
    ASSERT_TRUE(profile.Sub("Recent File List").SetText("File1", "C:\\a.fsd"));
    ASSERT_TRUE(profile.Sub("Settings").Sub("Deeper").SetText("x", "y"));
    const lwtest::CRegKeyPath extension(HKEY_CLASSES_ROOT, ".fsd");
    const lwtest::CRegKeyPath type(HKEY_CLASSES_ROOT, "Lumenweave.Document");
    ASSERT_TRUE(extension.Sub("ShellNew").SetText("NullFile", ""));
    ASSERT_TRUE(type.Sub("DefaultIcon").SetText("", "x,1"));
    ASSERT_TRUE(lwtest::WriteAll(OptionsFile(), {1, 2, 3}));

    lwtest::CChildProcess run(Builder(), argument);
    ASSERT_TRUE(run.Started());
    EXPECT_NE(run.Wait(30000), lwtest::kNotEnded);
    EXPECT_FALSE(profile.Exists());
    EXPECT_FALSE(extension.Exists());
    EXPECT_FALSE(type.Exists());
    EXPECT_FALSE(lwtest::FileExists(OptionsFile()));
    EXPECT_TRUE(lwtest::CRegKeyPath(HKEY_CURRENT_USER, "Software\\Corvanta\\Lumenweave\\4.70").Exists());
  }
}

// The uninstall switch uninstalls also while a builder runs that would take
// a second start's hand-over.
TEST_F(BuilderProcessTest, UninstallWithABuilderRunningAndReuseOnStillUninstalls) {
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 1));
  lwtest::CChildProcess first(Builder(), "");
  HWND frame = StartBuilder(first);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 1));
  ASSERT_TRUE(lwtest::WriteAll(OptionsFile(), {1, 2, 3}));
  {
    lwtest::CChildProcess run(Builder(), "/u");
    ASSERT_TRUE(run.Started());
    EXPECT_NE(run.Wait(30000), lwtest::kNotEnded);
  }
  EXPECT_FALSE(profile.Exists());
  EXPECT_FALSE(lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, ".fsd").Exists());
  EXPECT_FALSE(lwtest::FileExists(OptionsFile()));
  EXPECT_TRUE(::IsWindow(frame)) << "the running builder is left alone";
  Close(first, frame);
}

TEST_F(BuilderProcessTest, WithReuseASecondStartHandsItsFileToTheFirstAndEnds) {
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 0));
  lwtest::CChildProcess first(Builder(), "");
  HWND frame = StartBuilder(first);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(frame), "Untitled - Lumenweave");

  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 1));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("handed.fsd"), {}));
  // A name relative to the second start's folder, which is not the first's.
  ::SetCurrentDirectoryA(folder.Path().c_str());
  {
    lwtest::CChildProcess second(Builder(), "handed.fsd");
    ASSERT_TRUE(second.Started());
    EXPECT_NE(second.Wait(60000), lwtest::kNotEnded);
    EXPECT_EQ(lwtest::TopWindowOf(second.Pid(), kClass), nullptr);
  }
  EXPECT_TRUE(lwtest::PumpUntil([&] { return WindowText(frame) == "handed - Lumenweave"; }, 10000))
      << WindowText(frame);

  // No file: the running builder only comes to the front, restored when it
  // was minimised.
  ::ShowWindow(frame, SW_MINIMIZE);
  ASSERT_TRUE(lwtest::PumpUntil([&] { return ::IsIconic(frame) != FALSE; }, 5000));
  {
    lwtest::CChildProcess third(Builder(), "");
    ASSERT_TRUE(third.Started());
    EXPECT_NE(third.Wait(60000), lwtest::kNotEnded);
  }
  EXPECT_EQ(WindowText(frame), "handed - Lumenweave");
  EXPECT_TRUE(lwtest::PumpUntil([&] { return !::IsIconic(frame); }, 5000)) << "restored";
  EXPECT_EQ(::GetForegroundWindow(), frame);
  Close(first, frame);
}

TEST_F(BuilderProcessTest, WithoutReuseTwoBuildersRun) {
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 0));
  CTwoBuilders two;
  ASSERT_TRUE(two.firstFrame && two.secondFrame);
  EXPECT_NE(two.firstFrame, two.secondFrame);
  Close(two.second, two.secondFrame);
  Close(two.first, two.firstFrame);
}

// The title a builder shows for a document, named by its ANSI path.
std::string TitleFor(const std::wstring& document) {
  CString path;
  if (!AnsiPathFromWide(document.c_str(), path)) return "(no ANSI path)";
  std::string name(path.Mid(path.ReverseFind('\\') + 1));
  return name.substr(0, name.rfind('.')) + " - Lumenweave";
}

TEST_F(BuilderProcessTest, DocumentsNamedOutsideTheCodePageOpenSaveAndAreHandedOver) {
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 1));
  const std::wstring first = lwtest::Widen(folder.Path()) + L"\u4e2d\u6587 first.fsd";
  const std::wstring second = lwtest::Widen(folder.Path()) + L"\u65e5\u672c second.fsd";
  ASSERT_TRUE(lwtest::WriteAllWide(first, {}));
  ASSERT_TRUE(lwtest::WriteAllWide(second, {}));

  lwtest::CChildProcess builder(Builder(), L"\"" + first + L"\"");
  HWND frame = StartBuilder(builder);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(WindowText(frame), TitleFor(first));
  // Saved, the same file holds the script.
  ::PostMessageA(frame, WM_COMMAND, 57603 /* ID_FILE_SAVE */, 0);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return !lwtest::ReadAllWide(first).empty(); }, 10000));

  // A second start hands its file over by the same short name.
  {
    lwtest::CChildProcess handing(Builder(), L"\"" + second + L"\"");
    ASSERT_TRUE(handing.Started());
    EXPECT_NE(handing.Wait(60000), lwtest::kNotEnded);
  }
  EXPECT_TRUE(lwtest::PumpUntil([&] { return WindowText(frame) == TitleFor(second); }, 10000))
      << WindowText(frame);
  Close(builder, frame);
}

// The script list of a builder's frame.
HWND ScriptList(HWND frame) {
  HWND found = nullptr;
  ::EnumChildWindows(
      frame,
      [](HWND child, LPARAM lp) -> BOOL {
        if (lwtest::ClassName(child) != "ListBox") return TRUE;
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(BuilderProcessTest, CommandsCopiedInOneBuilderPasteAsCopiesIntoAnother) {
  ASSERT_TRUE(profile.Sub("Settings").SetNumber("Reuse", 0));
  CTwoBuilders two;
  HWND firstFrame = two.firstFrame, secondFrame = two.secondFrame;
  ASSERT_TRUE(firstFrame && secondFrame);
  HWND firstList = ScriptList(firstFrame), secondList = ScriptList(secondFrame);
  ASSERT_TRUE(firstList && secondList);

  // Two commands of the tree's first type in the first builder, copied.
  for (int i = 0; i < 2; ++i) ::SendMessageA(firstFrame, WM_COMMAND, 0x801D /* Add */, 0);
  ASSERT_EQ(::SendMessageA(firstList, LB_GETCOUNT, 0, 0), 2);
  ::SendMessageA(firstFrame, WM_COMMAND, 0xE12A /* Select All */, 0);
  ::SendMessageA(firstFrame, WM_COMMAND, 0xE122 /* Copy */, 0);
  ::SendMessageA(secondFrame, WM_COMMAND, 0xE125 /* Paste */, 0);
  EXPECT_EQ(::SendMessageA(secondList, LB_GETCOUNT, 0, 0), 2);
  // The first keeps its own; a second paste adds two more copies.
  EXPECT_EQ(::SendMessageA(firstList, LB_GETCOUNT, 0, 0), 2);
  ::SendMessageA(secondFrame, WM_COMMAND, 0xE125, 0);
  EXPECT_EQ(::SendMessageA(secondList, LB_GETCOUNT, 0, 0), 4);
  EXPECT_TRUE(::IsWindow(firstFrame));
  // Both scripts are modified: the save prompts would wait for an answer.
  ::TerminateProcess(two.second.Handle(), 0);
  ::TerminateProcess(two.first.Handle(), 0);
}

}  // namespace
