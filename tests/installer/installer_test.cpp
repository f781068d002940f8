// The installer stub Quenlark as a user meets it: installers made by the
// output writer from the builder's carried programs (or the stub's bytes
// followed by a probe program), started as child processes the way the
// shell starts them, their window and message boxes answered through
// their controls. A probe stands in for Windows' rundll32.exe beside each
// installer and for a carried saver: it logs its own file and command line.
//
// The installer writes into the system folder. This program runs in a Wine
// prefix of its own (tests/CMakeLists.txt), so that what it installs there
// reaches no other test; each test removes what it installed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Files.h"
#include "installer/CarriedSaver.h"
#include "installer/InstallerName.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "wizards/SaverMaker.h"

namespace {

using lwtest::Bytes;
using lwtest::FileExists;
using lwtest::ReadAll;
using lwtest::WriteAll;

const std::string kStub = LW_BUILD_DIR "/installer/Quenlark.exe";
const std::string kProbe = LW_BUILD_DIR "/tests/installer_probe.exe";
const DWORD kWait = 20000;

// Control ids of the installer window.
constexpr int kInstall = 1002, kPreview = 1003, kUninstall = 1004, kName = 1005, kProgress = 1007;

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  ::GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\";
}

std::string WindowText(HWND hwnd) {
  char text[256] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// What a click on the button tells the installer window.
void Press(HWND dialog, int id) {
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Answers a message box with one of its buttons.
void Answer(HWND box, int id) { ::PostMessageA(box, WM_COMMAND, id, 0); }

// The installer's window, once it shows with the caption of the name.
HWND WindowOf(lwtest::CChildProcess& run, const std::string& name) {
  return run.WaitForWindow("#32770", (name + " - Quenlark").c_str(), kWait);
}

// Answers the program's box that says the text; false when none shows.
bool AnswerBox(lwtest::CChildProcess& run, const std::string& text, int id) {
  HWND box = run.WaitForMessageBox(text.c_str(), kWait);
  if (box) Answer(box, id);
  return box != nullptr;
}

// The file names in a folder.
std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

// The name of the file as the folder holds it (its case), or empty.
std::string StoredName(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return "";
  ::FindClose(find);
  return data.cFileName;
}

// The system's text for an error, without its line end.
std::string SystemErrorText(DWORD error) {
  char text[512] = "";
  ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, sizeof text, nullptr);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

// A scene document of two comments, as the builder saves it.
Bytes SceneDocument() {
  CCommandList list;
  for (int i = 0; i < 2; ++i) list.Add(CreateCommand(kTypeComment));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  return Bytes(file.GetBuffer(), file.GetBuffer() + file.GetLength());
}

// An environment variable set for the scope (the child processes inherit
// it), put back afterwards.
class CScopedEnv {
 public:
  CScopedEnv(const char* name, const std::string& value) : m_name(name) {
    char old[1024];
    const DWORD n = ::GetEnvironmentVariableA(name, old, sizeof old);
    m_had = n > 0 && n < sizeof old;
    if (m_had) m_old = old;
    ::SetEnvironmentVariableA(name, value.c_str());
  }
  ~CScopedEnv() { ::SetEnvironmentVariableA(m_name, m_had ? m_old.c_str() : nullptr); }
  CScopedEnv(const CScopedEnv&) = delete;
  CScopedEnv& operator=(const CScopedEnv&) = delete;

 private:
  const char* m_name;
  bool m_had = false;
  std::string m_old;
};

// The installers of a test live in a folder with a blank in its name,
// beside the rundll32.exe stand-in; they take their temporary files in a
// folder of their own ("temp dir", a blank again), which the probe log
// and the checks below read.
class InstallerRun : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    builder_ = ::LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() {
    if (builder_) ::FreeLibrary(builder_);
    builder_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(builder_, nullptr);
    maker_.m_resources = builder_;
    ASSERT_TRUE(::CreateDirectoryA(temp_.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileA(kProbe.c_str(), folder_.File("rundll32.exe").c_str(), FALSE));
  }

  void TearDown() override {
    for (const std::string& name : installed_) {
      const std::string path = SystemFolder() + name;
      ::DeleteFileA(path.c_str());
      ::RemoveDirectoryA(path.c_str());
    }
  }

  // A unique name for this run: the system folder outlives the test.
  std::string Unique(const std::string& stem) const {
    return stem + std::to_string(::GetCurrentProcessId());
  }

  // Puts an installer into the folder under the name; its installed file
  // is removed from the system folder when the test ends.
  std::string Place(const std::string& fileName, const Bytes& bytes) {
    const std::string path = folder_.File(fileName);
    EXPECT_TRUE(WriteAll(path, bytes));
    installed_.push_back(installer::InstalledFileName(fileName.c_str()).GetString());
    return path;
  }

  // An installer of a scripted saver made by the output writer, and the
  // saver the writer makes from the same document.
  Bytes MakeScriptInstaller(Bytes* saver) {
    const std::string document = folder_.File("scene.fsd");
    EXPECT_TRUE(WriteAll(document, SceneDocument()));
    const std::string exe = folder_.File("made.exe"), scr = folder_.File("made.scr");
    EXPECT_TRUE(maker_.MakeInstaller(exe.c_str(), document.c_str()));
    EXPECT_TRUE(maker_.MakeScr(scr.c_str(), document.c_str()));
    *saver = ReadAll(scr);
    Bytes made = ReadAll(exe);
    ::DeleteFileA(exe.c_str());
    ::DeleteFileA(scr.c_str());
    return made;
  }

  // An installer whose carried "saver" is the probe, padded with zeros to
  // the size of the smallest saver.
  static Bytes ProbeInstaller() {
    Bytes bytes = ReadAll(kStub);
    Bytes probe = ReadAll(kProbe);
    probe.resize(installer::kSmallestSaver, 0);
    bytes.insert(bytes.end(), probe.begin(), probe.end());
    return bytes;
  }

  // The lines the probes logged: "<program>|<command line>".
  std::vector<std::string> ProbeLines() const { return lwtest::ReadLines(log_); }

  // Waits until the probes have logged n lines.
  bool WaitForProbeLines(size_t n) {
    return lwtest::PumpUntil([&] { return ProbeLines().size() >= n; }, kWait);
  }

  static HMODULE builder_;
  CSaverMaker maker_;
  lwtest::CTempFolder folder_{"quenlark run"};
  const std::string temp_ = folder_.File("temp dir\\");
  const std::string log_ = folder_.File("probe.log");
  CScopedEnv tmp_{"TMP", temp_};
  CScopedEnv tempVar_{"TEMP", temp_};
  CScopedEnv probeLog_{"LW_PROBE_LOG", log_};
  std::vector<std::string> installed_;
};

HMODULE InstallerRun::builder_ = nullptr;

// The prefix is this program's own: its windows, as the shared prefix's,
// are left unmanaged, so that closing one does not wait for a window
// manager that the test display does not have.
class CUnmanagedWindows : public testing::Environment {
 public:
  void SetUp() override {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    ::RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    ::RegCloseKey(key);
  }
};
testing::Environment* const kUnmanaged = testing::AddGlobalTestEnvironment(new CUnmanagedWindows);

TEST_F(InstallerRun, InstallCopiesTheSaverAndMakesItCurrentThenUninstallRemovesIt) {
  Bytes saver;
  const Bytes made = MakeScriptInstaller(&saver);
  ASSERT_FALSE(saver.empty());
  const std::string name = Unique("Aurora");
  const std::string exe = Place(name + ".exe", made);
  const std::string installed = SystemFolder() + name + ".scr";
  const std::string caption = name + " - Quenlark";
  {
    lwtest::CChildProcess run(exe, "");
    HWND dlg = run.WaitForWindow("#32770", caption.c_str(), kWait);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(dlg, kName)), name);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dlg, kUninstall)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg, kProgress)));
    Press(dlg, kInstall);
    EXPECT_EQ(run.Wait(kWait), 0u);
  }
  EXPECT_TRUE(ReadAll(installed) == saver) << "the installed saver differs from the writer's";
  ASSERT_TRUE(WaitForProbeLines(1));
  const std::vector<std::string> lines = ProbeLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], folder_.File("rundll32.exe") +
                          "|rundll32.exe desk.cpl,InstallScreenSaver " + installed);
  EXPECT_TRUE(Listing(temp_).empty()) << "temporary files are left";

  // Installed: Uninstall asks; Cancel keeps the saver and the window.
  lwtest::CChildProcess again(exe, "");
  HWND dlg = again.WaitForWindow("#32770", caption.c_str(), kWait);
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg, kUninstall)));
  Press(dlg, kUninstall);
  ASSERT_TRUE(AnswerBox(again, "Are you sure?", IDCANCEL));
  lwtest::PumpUntil([&] { return lwtest::MessageBoxOf(again.Pid(), "Are you sure?") == nullptr; },
                    kWait);
  EXPECT_TRUE(FileExists(installed));
  EXPECT_FALSE(again.Ended());

  // OK removes it, says so, opens the display settings and closes.
  Press(dlg, kUninstall);
  ASSERT_TRUE(AnswerBox(again, "Are you sure?", IDOK));
  ASSERT_TRUE(AnswerBox(again, "Screen saver uninstalled successfully!", IDOK));
  EXPECT_EQ(again.Wait(kWait), 0u);
  EXPECT_FALSE(FileExists(installed));
  ASSERT_TRUE(WaitForProbeLines(2));
  EXPECT_EQ(ProbeLines()[1],
            folder_.File("rundll32.exe") + "|rundll32.exe desk.cpl,InstallScreenSaver ");
}

TEST_F(InstallerRun, SecondInstallSaysTheFileExistsAndLeavesIt) {
  Bytes saver;
  const Bytes made = MakeScriptInstaller(&saver);
  const std::string name = Unique("Twice");
  const std::string installed = SystemFolder() + name + ".scr";
  const Bytes earlier = {'M', 'Z', 'e', 'a', 'r', 'l', 'i', 'e', 'r'};
  ASSERT_TRUE(WriteAll(installed, earlier));
  const std::string exe = Place(name + ".exe", made);

  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dlg, kUninstall)));
  Press(dlg, kInstall);
  ASSERT_TRUE(
      AnswerBox(run, "Can not install screen saver!\nFile already exist in System folder!", IDOK));
  EXPECT_EQ(run.Wait(kWait), 0u);
  EXPECT_TRUE(ReadAll(installed) == earlier);
  EXPECT_TRUE(ProbeLines().empty()) << "the display settings were opened";
  EXPECT_TRUE(Listing(temp_).empty()) << "temporary files are left";
}

// A copy that fails for another reason than a file already there says what
// the system said: here a folder of the saver's name stands in the way
// (refused as access denied by Windows).
TEST_F(InstallerRun, FailedCopyOtherThanAnExistingFileShowsTheSystemsReason) {
  Bytes saver;
  const Bytes made = MakeScriptInstaller(&saver);
  const std::string name = Unique("Blocked");
  const std::string installed = SystemFolder() + name + ".scr";
  const std::string exe = Place(name + ".exe", made);
  ASSERT_TRUE(::CreateDirectoryA(installed.c_str(), nullptr));
  // What this system answers for that copy.
  const std::string probeCopy = folder_.File("copy source");
  ASSERT_TRUE(WriteAll(probeCopy, {1, 2, 3}));
  ASSERT_FALSE(::CopyFileA(probeCopy.c_str(), installed.c_str(), TRUE));
  const std::string expected =
      "Can not install screen saver!\n" + SystemErrorText(::GetLastError());

  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  Press(dlg, kInstall);
  HWND box = run.WaitForMessageBox(expected.c_str());
  EXPECT_NE(box, nullptr) << "no box says: " << expected;
  if (box) Answer(box, IDOK);
  EXPECT_EQ(run.Wait(kWait), 0u);
  EXPECT_TRUE(ProbeLines().empty());
  EXPECT_TRUE(Listing(temp_).empty()) << "temporary files are left";
}

TEST_F(InstallerRun, MovieSaverInstallerInstallsTheMovieSaversBytes) {
  const std::string name = Unique("Movie");
  const std::string movie = folder_.File("clip.swf");
  Bytes clip(5000);
  for (size_t i = 0; i < clip.size(); ++i) clip[i] = static_cast<uint8_t>(i * 13);
  ASSERT_TRUE(WriteAll(movie, clip));
  const std::string scr = folder_.File(name + ".scr");
  ASSERT_TRUE(maker_.MakeMovieSaver(scr.c_str(), movie.c_str()));
  const Bytes saver = ReadAll(scr);
  const std::string exe = folder_.File(name + ".exe");
  installed_.push_back(name + ".scr");

  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  Press(dlg, kInstall);
  EXPECT_EQ(run.Wait(kWait), 0u);
  EXPECT_TRUE(ReadAll(SystemFolder() + name + ".scr") == saver);
  EXPECT_TRUE(WaitForProbeLines(1));
}

// Preview runs the carried program from a temporary ".SCR" file with "/s",
// quoted: the temporary folder has blanks, and a program named like the
// text before the first blank must not be the one that starts.
TEST_F(InstallerRun, PreviewRunsTheCarriedSaverQuotedAndStaysOpen) {
  const std::string name = Unique("Look");
  const std::string exe = Place(name + ".exe", ProbeInstaller());
  const std::string decoy = folder_.File("temp.exe");
  ASSERT_TRUE(::CopyFileA(kProbe.c_str(), decoy.c_str(), FALSE));

  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  Press(dlg, kPreview);
  ASSERT_TRUE(WaitForProbeLines(1));
  const std::string line = ProbeLines()[0];
  const std::string program = line.substr(0, line.find('|'));
  EXPECT_EQ(program.compare(0, temp_.size(), temp_), 0) << line;
  EXPECT_EQ(program.substr(program.size() - 4), ".SCR") << line;
  EXPECT_EQ(line.substr(program.size() + 1), "\"" + program + "\" /s");
  EXPECT_FALSE(run.Ended()) << "the installer closed after the preview";
  EXPECT_NE(lwtest::TopWindowOf(run.Pid(), "#32770"), nullptr);
  // The preview (the probe) has ended: its files go while the installer
  // stays open.
  EXPECT_TRUE(lwtest::PumpUntil([&] { return Listing(temp_).empty(); }, kWait))
      << "left in the temporary folder: " << Listing(temp_).size() << " files";
  EXPECT_FALSE(run.Ended());
  Press(dlg, IDCANCEL);
  EXPECT_EQ(run.Wait(kWait), 0u);
  EXPECT_FALSE(FileExists(SystemFolder() + name + ".scr"));
}

// A preview still running when its installer closed keeps its ".SCR" file:
// the next installer to start removes it. A ".SCR" file beside its
// temporary file (another installer taking its saver out) and files of
// other names stay.
TEST_F(InstallerRun, APreviewFileLeftBehindGoesAtTheNextStart) {
  const std::string name = Unique("Next");
  const std::string exe = Place(name + ".exe", ProbeInstaller());
  for (const char* file : {"SCR1A2B.tmp.SCR", "SCR3C4D.tmp", "SCR3C4D.tmp.SCR", "saver.SCR"})
    ASSERT_TRUE(WriteAll(temp_ + file, Bytes(64, 0x5A)));
  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  std::vector<std::string> left = Listing(temp_);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"SCR3C4D.tmp", "SCR3C4D.tmp.SCR", "saver.SCR"}));
  Press(dlg, IDCANCEL);
  EXPECT_EQ(run.Wait(kWait), 0u);
  for (const std::string& file : Listing(temp_)) ::DeleteFileA((temp_ + file).c_str());
}

// The installed name comes from the installer's own file, however it was
// started: a trailing ".exe" in any case becomes ".scr", a name without it
// gets ".scr" added; only the caption is cut to 25 characters.
TEST_F(InstallerRun, InstalledNameFollowsTheInstallersFileName) {
  struct Row {
    const char* file;  // the installer's file name, a %u for the run
    const char* installed;
    bool relative;  // started by its bare name from its own folder
  };
  const Row kRows[] = {
      {"qa%u.exe", "qa%u.scr", false},
      {"QB%u.EXE", "QB%u.scr", false},
      {"qc%u", "qc%u.scr", false},
      {"qd%u.exe", "qd%u.scr", true},
      {"A saver with a long name %u.exe", "A saver with a long name %u.scr", false},
  };
  Bytes saver;
  const Bytes made = MakeScriptInstaller(&saver);
  for (const Row& row : kRows) {
    char file[64], installed[64];
    wsprintfA(file, row.file, ::GetCurrentProcessId());
    wsprintfA(installed, row.installed, ::GetCurrentProcessId());
    SCOPED_TRACE(file);
    const std::string exe = Place(file, made);
    std::string program = exe;
    char cwd[MAX_PATH] = "";
    ::GetCurrentDirectoryA(sizeof cwd, cwd);
    if (row.relative) {
      ASSERT_TRUE(::SetCurrentDirectoryA(folder_.Path().c_str()));
      program = std::string(file).substr(0, std::string(file).size() - 4);
    }
    lwtest::CChildProcess run(program, "");
    ::SetCurrentDirectoryA(cwd);
    ASSERT_TRUE(run.Started());
    // The caption keeps 25 characters of the name.
    const std::string caption =
        std::string(installer::SaverName(file).GetString()).substr(0, 25) + " - Quenlark";
    HWND dlg = run.WaitForWindow("#32770", caption.c_str(), kWait);
    ASSERT_NE(dlg, nullptr);
    Press(dlg, kInstall);
    EXPECT_EQ(run.Wait(kWait), 0u);
    EXPECT_EQ(StoredName(SystemFolder() + installed), installed);
    EXPECT_TRUE(WaitForProbeLines(&row - kRows + 1)) << testing::PrintToString(ProbeLines());
  }
}

// An installer that does not carry a whole saver says so, ends with exit
// code 1 and writes nothing: neither a temporary file nor a saver.
TEST_F(InstallerRun, CorruptInstallerSaysSoAndWritesNothing) {
  Bytes saver;
  const Bytes made = MakeScriptInstaller(&saver);
  const Bytes stub = ReadAll(kStub);
  ASSERT_EQ(stub.size(), carried::kInstallerImageSize);
  struct Row {
    const char* what;
    Bytes bytes;
  };
  const Row kRows[] = {
      {"shorter than its image", Bytes(stub.begin(), stub.end() - 20000)},
      {"nothing carried", stub},
      {"a truncated saver",
       Bytes(made.begin(),
             made.begin() + carried::kInstallerImageSize + installer::kSmallestSaver - 1)},
  };
  const std::vector<std::string> systemBefore = Listing(SystemFolder());
  int n = 0;
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    const std::string name = Unique("Broken" + std::to_string(++n));
    const std::string exe = Place(name + ".exe", row.bytes);
    lwtest::CChildProcess run(exe, "");
    ASSERT_TRUE(run.Started());
    HWND box = run.WaitForMessageBox("Installer file corrupted!", kWait);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(lwtest::TopWindowOf(run.Pid(), "#32770", (name + " - Quenlark").c_str()), nullptr);
    Answer(box, IDOK);
    EXPECT_EQ(run.Wait(kWait), 1u);
    EXPECT_FALSE(FileExists(SystemFolder() + name + ".scr"));
  }
  EXPECT_EQ(Listing(SystemFolder()), systemBefore);
  EXPECT_TRUE(Listing(temp_).empty()) << "temporary files were written";
}

// Without a temporary folder the saver cannot be taken out: Install and
// Preview say so and close the installer, having installed nothing.
TEST_F(InstallerRun, WithoutATemporaryFolderInstallAndPreviewSaySoAndClose) {
  const std::string name = Unique("NoTemp");
  const std::string exe = Place(name + ".exe", ProbeInstaller());
  CScopedEnv tmp("TMP", folder_.File("missing\\"));
  CScopedEnv temp("TEMP", folder_.File("missing\\"));
  for (int button : {kInstall, kPreview}) {
    SCOPED_TRACE(button == kInstall ? "Install" : "Preview");
    lwtest::CChildProcess run(exe, "");
    HWND dlg = WindowOf(run, name);
    ASSERT_NE(dlg, nullptr);
    Press(dlg, button);
    ASSERT_TRUE(AnswerBox(run, "Failed to make temporary SCR file.", IDOK));
    EXPECT_EQ(run.Wait(kWait), 0u);
    EXPECT_FALSE(FileExists(SystemFolder() + name + ".scr"));
    EXPECT_TRUE(ProbeLines().empty());
  }
}

TEST_F(InstallerRun, SystemMenuOpensTheAboutBox) {
  const std::string name = Unique("About");
  const std::string exe = Place(name + ".exe", ProbeInstaller());
  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  ::PostMessageA(dlg, WM_SYSCOMMAND, 0x10, 0);
  HWND about = run.WaitForWindow("#32770", "About Quenlark", kWait);
  ASSERT_NE(about, nullptr);
  EXPECT_NE(lwtest::ChildWithText(about, "Static", "Quenlark Version 1.0"), nullptr);
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
  Press(dlg, IDCANCEL);
  EXPECT_EQ(run.Wait(kWait), 0u);
}

// The installer's window and its About box as the screen shows them, kept
// as build/screenshots/installer_window.bmp and installer_about.bmp for a
// person to look at. The saver's name is drawn in its box: the box's
// middle is not all one colour.
TEST_F(InstallerRun, ShowsOnTheScreen) {
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  const std::string name = Unique("Northern Lights ");
  const std::string exe = Place(name + ".exe", ProbeInstaller());
  lwtest::CChildProcess run(exe, "");
  HWND dlg = WindowOf(run, name);
  ASSERT_NE(dlg, nullptr);
  ::SetWindowPos(dlg, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  lwtest::FlushEvents(300);
  EXPECT_TRUE(lwtest::SaveWindowShot(dlg, LW_BUILD_DIR "/screenshots/installer_window.bmp"));
  RECT box;
  ::GetWindowRect(::GetDlgItem(dlg, kName), &box);
  const RECT middle = {box.left + 4, (box.top + box.bottom) / 2 - 3, box.right - 4,
                       (box.top + box.bottom) / 2 + 3};
  const std::vector<COLORREF> pixels = lwtest::ScreenPixels(middle);
  ASSERT_FALSE(pixels.empty());
  EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels[0]),
            static_cast<std::ptrdiff_t>(pixels.size()))
      << "the saver's name is not drawn";

  ::PostMessageA(dlg, WM_SYSCOMMAND, 0x10, 0);
  HWND about = run.WaitForWindow("#32770", "About Quenlark", kWait);
  ASSERT_NE(about, nullptr);
  ::SetWindowPos(about, HWND_TOPMOST, 40, 240, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  lwtest::FlushEvents(300);
  EXPECT_TRUE(lwtest::SaveWindowShot(about, LW_BUILD_DIR "/screenshots/installer_about.bmp"));
  ::PostMessageA(about, WM_COMMAND, IDOK, 0);
  Press(dlg, IDCANCEL);
  EXPECT_EQ(run.Wait(kWait), 0u);
}

// The names from the installer's path, as text.
TEST(InstallerName, FromTheFileName) {
  struct Row {
    const char* path;
    const char* saver;
    const char* installed;
    const char* caption;
  };
  const Row kRows[] = {
      {"D:\\Downloads\\Aurora.exe", "Aurora", "Aurora.scr", "Aurora - Quenlark"},
      {"C:\\x\\a.exe", "a", "a.scr", "a - Quenlark"},
      {"C:\\x\\A.EXE", "A", "A.scr", "A - Quenlark"},
      {"C:\\x\\Name.Exe", "Name", "Name.scr", "Name - Quenlark"},
      {"C:\\x\\plain", "plain", "plain.scr", "plain - Quenlark"},
      {"C:\\x\\v1.2", "v1.2", "v1.2.scr", "v1.2 - Quenlark"},
      {"C:\\x\\twice.exe.exe", "twice.exe", "twice.exe.scr", "twice.exe - Quenlark"},
      {"C:\\x.exe\\inner", "inner", "inner.scr", "inner - Quenlark"},
      {"relative.exe", "relative", "relative.scr", "relative - Quenlark"},
      {"C:\\x\\A name longer than twenty-five.exe", "A name longer than twenty-five",
       "A name longer than twenty-five.scr", "A name longer than twenty - Quenlark"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.path);
    EXPECT_STREQ(installer::SaverName(row.path), row.saver);
    EXPECT_STREQ(installer::InstalledFileName(row.path), row.installed);
    EXPECT_STREQ(installer::WindowCaption(row.path), row.caption);
  }
}

}  // namespace
