// Application utilities: path parts, folder tests and creation, output
// names, identifiers, the build code and opening addresses through the shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/BuilderUtils.h"
#include "common/AppUtils.h"
#include "framework/Seams.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"

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
      {"C:\\my.shows\\Readme", "C:\\my.shows\\", "Readme", "Readme", "shows\\readme"},
      {"C:\\a\\b.tar.gz", "C:\\a\\", "b.tar.gz", "b.tar", "gz"},
      {"C:\\a\\", "C:\\a\\", "", "", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    EXPECT_STREQ(GetFileDirectory(c.path), c.directory);
    EXPECT_STREQ(GetFileName(c.path), c.name);
    EXPECT_STREQ(GetPathTitle(c.path), c.title);
    EXPECT_STREQ(GetFileExtension(c.path, true), c.ext);
  }
  EXPECT_STREQ(GetFileExtension("x.BMP", false), "BMP");
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

TEST(AppUtils, OpenUrlAndSendMailGoThroughTheShell) {
  lwtest::CRecordedShell shell;
  OpenUrl("https://example.invalid/");
  EXPECT_TRUE(SendMail("a@b.invalid", "Hi"));
  ASSERT_FALSE(shell.calls.empty());
  const lwtest::CRecordedShell::Call& url = shell.calls.front();
  EXPECT_NE((url.file + "|" + url.params).find("https://example.invalid/"), std::string::npos);
  const lwtest::CRecordedShell::Call& mail = shell.calls.back();
  EXPECT_EQ(mail.verb, "open");
  EXPECT_EQ(mail.file, "mailto:a@b.invalid?subject=Hi");
  EXPECT_EQ(mail.params, "");
}

TEST(AppUtils, ScreenSizeIsTheDisplays) {
  CSize s = GetScreenSize();
  EXPECT_EQ(s.cx, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
