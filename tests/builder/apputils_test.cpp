// Application utilities: path parts, folder tests and creation, output
// names, identifiers, the build code and opening addresses through the shell.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "builder/BuildDate.h"
#include "builder/controls/OutputNames.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "common/AppUtils.h"
#include "framework/Seams.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

TEST(AppUtils, PathParts) {
  struct Case {
    const char* path;
    const char* directory;
    const char* name;
    const char* title;
    const char* ext;
  };
  const Case kCases[] = {
      {"C:\\Shows\\Sea.fsd", "C:\\Shows\\", "Sea.fsd", "Sea", "fsd"},
      {"Sea.FSD", "", "Sea.FSD", "Sea", "fsd"},
      // A dot in a folder's name is no extension of the file.
      {"C:\\my.shows\\Readme", "C:\\my.shows\\", "Readme", "Readme", ""},
      {"C:\\a.b\\file", "C:\\a.b\\", "file", "file", ""},
      {"C:\\a.b\\file.TXT", "C:\\a.b\\", "file.TXT", "file", "txt"},
      {"C:\\a\\b.tar.gz", "C:\\a\\", "b.tar.gz", "b.tar", "gz"},
      {"C:\\a\\", "C:\\a\\", "", "", ""},
      {"C:\\a\\name.", "C:\\a\\", "name.", "name", ""},
      {"C:\\a\\.profile", "C:\\a\\", ".profile", "", "profile"},
      {"", "", "", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_STREQ(GetFileDirectory(c.path), c.directory);
    EXPECT_STREQ(GetFileName(c.path), c.name);
    EXPECT_STREQ(GetPathTitle(c.path), c.title);
    EXPECT_STREQ(GetFileExtension(c.path, true), c.ext);
  }
  EXPECT_STREQ(GetFileExtension("x.BMP", false), "BMP");
  EXPECT_STREQ(GetFileExtension("C:\\Old.Pictures\\Wall", false), "");
  EXPECT_STREQ(GetTempFilePath("x.tmp"), [] {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "x.tmp";
  }().c_str());
}

class TempFolder : public testing::Test {
 protected:
  void Touch(const char* name) { ASSERT_TRUE(lwtest::WriteAll(m_folder.File(name), {})); }
  lwtest::CTempFolder m_folder{"apputils"};
  CString m_root{m_folder.Path().c_str()};
};

TEST_F(TempFolder, HasSubfolderMatchesFoldersIgnoringCaseOnly) {
  CreateDirectoryA(m_root + "Pictures", nullptr);
  Touch("plain");
  EXPECT_TRUE(HasSubfolder(m_root, "pictures"));
  EXPECT_TRUE(HasSubfolder(m_root.Left(m_root.GetLength() - 1), "PICTURES"));
  EXPECT_FALSE(HasSubfolder(m_root, "plain"));
  EXPECT_FALSE(HasSubfolder(m_root, ""));
  EXPECT_FALSE(HasSubfolder("", "x"));
}

TEST_F(TempFolder, CreateDirectoryPathMakesEachMissingLevel) {
  CreateDirectoryA(m_root + "one", nullptr);
  EXPECT_TRUE(CreateDirectoryPath(m_root + "one\\two\\three"));
  EXPECT_TRUE(HasSubfolder(m_root + "one\\two", "three"));
  // A trailing backslash on an existing folder tries to create it again.
  EXPECT_FALSE(CreateDirectoryPath(m_root + "one\\"));
}

TEST_F(TempFolder, OutputNameFreeByKind) {
  CString base = m_root + "Show";
  EXPECT_TRUE(IsOutputNameFree(base, 3));
  Touch("Show.fsd");
  EXPECT_TRUE(IsOutputNameFree(base, 0));
  EXPECT_FALSE(IsOutputNameFree(base, 3));
  Touch("Show.exe");
  EXPECT_FALSE(IsOutputNameFree(base, 0));
  EXPECT_TRUE(FileExists(base + ".exe"));
  EXPECT_FALSE(FileExists(base + ".scr"));
}

TEST(AppUtils, IdentifiersAndBuildDate) {
  EXPECT_TRUE(IsIdentifier("Sea_Show2"));
  EXPECT_TRUE(IsIdentifier(""));
  EXPECT_FALSE(IsIdentifier("Sea Show"));
  EXPECT_STREQ(FormatBuildDate("Apr 26 2005"), "050426");
  EXPECT_STREQ(FormatBuildDate("Dec  9 2026"), "261209");
}

TEST(AppUtils, SendMailGoesThroughTheShell) {
  lwtest::CRecordedShell shell;
  EXPECT_TRUE(SendMail("a@b.invalid", "Hi"));
  shell.answer = 2;
  EXPECT_FALSE(SendMail("a@b.invalid", "Hi"));
  ASSERT_EQ(shell.calls.size(), 2u);
  const lwtest::CRecordedShell::Call& mail = shell.calls.front();
  EXPECT_EQ(mail.verb, "open");
  EXPECT_EQ(mail.file, "mailto:a@b.invalid?subject=Hi");
  EXPECT_EQ(mail.params, "");
  EXPECT_EQ(mail.show, SW_SHOW);
}

// The browser registration under a private HKEY_CLASSES_ROOT.
class BrowserTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_classes.Ok()); }
  // verb: the default verb ("" none); each command "" leaves it out.
  void Register(const std::string& verb, const std::string& verbCommand,
                const std::string& openCommand) {
    const lwtest::CRegKeyPath http(HKEY_CLASSES_ROOT, "HTTP\\shell");
    http.DeleteTree();
    if (!verb.empty()) {
      ASSERT_TRUE(http.SetText(nullptr, verb));
    }
    if (!verbCommand.empty()) {
      ASSERT_TRUE(http.Sub(verb + "\\command").SetText(nullptr, verbCommand));
    }
    if (!openCommand.empty()) {
      ASSERT_TRUE(http.Sub("open\\command").SetText(nullptr, openCommand));
    }
  }

  lwtest::CPrivateRegRoot m_classes{HKEY_CLASSES_ROOT};
};

TEST_F(BrowserTest, BrowserProgramFromTheRegistration) {
  struct Case {
    const char* verb;
    const char* verbCommand;
    const char* openCommand;
    const char* browser;
    const char* open;
  } cases[] = {
      {"open", "\"C:\\Program Files\\Web\\Browser.EXE\" -osint -url \"%1\"", "",
       "c:\\program files\\web\\browser.exe", "c:\\program files\\web\\browser.exe"},
      {"browse", "  C:\\WEB\\b.exe %1  ", "\"\"D:\\Other.exe\"", "c:\\web\\b.exe", "d:\\other.exe"},
      {"open", "C:\\x\\run.exee -a", "", "c:\\x\\run.exe", "c:\\x\\run.exe"},
      {"open", "\"C:\\No Program\\go\" %1", "", "c:\\no program\\go", "c:\\no program\\go"},
      {"", "", "C:\\o.exe", "", "c:\\o.exe"},            // no default verb
      {"edit", "", "C:\\o.exe", "", "c:\\o.exe"},        // a verb without a command
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.verb) + "|" + c.verbCommand + "|" + c.openCommand);
    Register(c.verb, c.verbCommand, c.openCommand);
    EXPECT_STREQ(GetBrowserPath(), c.browser);
    EXPECT_STREQ(GetBrowserOpenCommand(), c.open);
  }
}

TEST_F(BrowserTest, OpenUrlTellsWhetherSomethingStarted) {
  const std::string kAddress = "https://example.invalid/a";
  struct Case {
    const char* name;
    const char* verb;
    const char* verbCommand;
    const char* openCommand;
    std::vector<INT_PTR> answers;     // the shell's, call by call
    bool started;
    std::vector<std::string> files;   // what the shell was asked to open
  } cases[] = {
      {"browser of the default verb", "browse", "C:\\B.exe \"%1\"", "C:\\O.exe", {42}, true,
       {"c:\\b.exe"}},
      {"falls back to the open command", "browse", "C:\\B.exe", "C:\\O.exe", {2, 42}, true,
       {"c:\\b.exe", "c:\\o.exe"}},
      {"then to the address", "browse", "C:\\B.exe", "C:\\O.exe", {2, 31, 33}, true,
       {"c:\\b.exe", "c:\\o.exe", kAddress}},
      {"nothing starts", "browse", "C:\\B.exe", "C:\\O.exe", {2, 2, 32}, false,
       {"c:\\b.exe", "c:\\o.exe", kAddress}},
      {"no browser: the address", "", "", "", {42}, true, {kAddress}},
      {"no browser and no handler", "", "", "", {5}, false, {kAddress}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Register(c.verb, c.verbCommand, c.openCommand);
    lwtest::CRecordedShell shell;
    shell.answers.assign(c.answers.begin(), c.answers.end());
    shell.answer = 0;
    EXPECT_EQ(OpenUrl(kAddress.c_str()), c.started);
    ASSERT_EQ(shell.calls.size(), c.files.size());
    for (size_t i = 0; i < c.files.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(shell.calls[i].verb, "open");
      EXPECT_EQ(shell.calls[i].file, c.files[i]);
      // A browser gets the address as its parameters; the address alone
      // has none.
      EXPECT_EQ(shell.calls[i].params, c.files[i] == kAddress ? "" : kAddress);
      EXPECT_EQ(shell.calls[i].show, SW_SHOW);
    }
  }
}

// The smallest icon file: one 1 x 1, 32-bit image; `type` 2 makes it a
// cursor file.
lwtest::Bytes TinyIconFile(uint16_t type) {
  lwtest::Bytes b = {0, 0, static_cast<uint8_t>(type), 0, 1, 0};
  const uint32_t imageSize = 40 + 4 + 4;  // header, one pixel, one mask row
  const uint8_t entry[16] = {1, 1, 0, 0, 1, 0, 32, 0, static_cast<uint8_t>(imageSize), 0, 0, 0, 22, 0, 0, 0};
  b.insert(b.end(), entry, entry + 16);
  const uint8_t header[40] = {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0};
  b.insert(b.end(), header, header + 40);
  const uint8_t pixel[4] = {0, 0, 255, 255};
  b.insert(b.end(), pixel, pixel + 4);
  b.insert(b.end(), 4, 0);
  return b;
}

TEST_F(TempFolder, IconFilesAreIconsOrCursors) {
  struct Case {
    const char* name;
    lwtest::Bytes bytes;
    bool icon;
  } cases[] = {
      {"a.ico", TinyIconFile(1), true},
      {"a.cur", TinyIconFile(2), true},
      {"a.txt", lwtest::Bytes{'h', 'e', 'l', 'l', 'o'}, false},
      {"empty.ico", lwtest::Bytes{}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(lwtest::WriteAll(m_folder.File(c.name), c.bytes));
    EXPECT_EQ(IsIconFile(GetModuleHandleA(nullptr), m_root + c.name), c.icon);
  }
  EXPECT_FALSE(IsIconFile(GetModuleHandleA(nullptr), m_root + "missing.ico"));
}

TEST(AppUtils, DocumentsFolder) {
  CString documents = GetMyDocumentsPath();
  EXPECT_FALSE(documents.IsEmpty());
  EXPECT_STREQ(documents, GetSpecialFolderPath(CSIDL_PERSONAL));
  EXPECT_STREQ(GetSpecialFolderPath(0x7FFF), "");
}

TEST(AppUtils, ActiveDesktopWindowChain) {
  EXPECT_FALSE(IsActiveDesktopOn(false));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  const char* const kClasses[] = {"ProgMan", "SHELLDLL_DefView", "Internet Explorer_Server"};
  for (const char* name : kClasses) {
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
  HWND progman = CreateWindowA("ProgMan", "Program Manager", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, wc.hInstance, nullptr);
  HWND view = CreateWindowA("SHELLDLL_DefView", "", WS_CHILD, 0, 0, 1, 1, progman, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_TRUE(progman && view);
  EXPECT_FALSE(IsActiveDesktopOn(false));  // no page in the desktop's view
  HWND page = CreateWindowA("Internet Explorer_Server", "", WS_CHILD, 0, 0, 1, 1, view, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_TRUE(page);
  EXPECT_TRUE(IsActiveDesktopOn(false));
  DestroyWindow(progman);
  EXPECT_FALSE(IsActiveDesktopOn(false));
}

TEST(AppUtils, ScreenSizeIsTheDisplays) {
  CSize s = GetScreenSize();
  EXPECT_EQ(s.cx, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
