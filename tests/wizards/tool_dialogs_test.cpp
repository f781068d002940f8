// The wizard tools' small dialogs in a running builder: the flash
// presentation's parameters (its refusals, and the question before any of
// the presentation's three files is overwritten) and the finished dialogs
// (the folder shown, "Go to folder" opening it). The profile goes to a
// private registry root, the document folder to a folder of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/dialog_hook.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "tests/wizards/wizard_fixtures.h"
#include "wizards/ToolDialogs.h"
#include "wizards/WizardToolsResource.h"

namespace {

testing::Environment* const g_environments[] = {
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER)),
    testing::AddGlobalTestEnvironment(new wiztest::CFilesEnvironment("lw_tool_dialogs_"))};

using wiztest::Settings;

std::string Text(HWND dialog, int id) {
  char text[512] = "";
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

class ToolDialogsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Settings().SetNumber("StartDlg", 1));
    std::string docs = folder.Path();
    docs.pop_back();  // the profile keeps folders without their backslash
    ASSERT_TRUE(Settings().SetText("DocPath", docs));
    ASSERT_TRUE(run.Start(""));
  }

  // Runs the presentation dialog with the two fields typed and Make
  // pressed; its result, and the fields it kept.
  INT_PTR RunPresentation(const std::string& movie, const std::string& name,
                          CFlashPresentationDlg& dialog) {
    lwtest::CDialogScript script([&](CDialog* d) {
      ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_MOVIE, movie.c_str());
      ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_NAME, name.c_str());
      lwtest::Press(d, IDOK);
    });
    return dialog.DoModal();
  }

  lwtest::CTempFolder folder{"tooldialogs"};
  lwtest::CBuilderRun run;
  lwtest::CRecordedBoxes boxes{IDNO};
  lwtest::CRecordedShell shell;
};

TEST_F(ToolDialogsTest, PresentationRefusesEmptyFieldsAndNamesThatAreNotIdentifiers) {
  struct Case {
    const char* movie;
    const char* name;
    const char* message;  // null: accepted
  } const cases[] = {
      {"", "Show", "You must enter all needed data"},
      {"C:\\m.swf", "", "You must enter all needed data"},
      {"C:\\m.swf", "my show", "Invalid file name, it can contain letters, numbers and '_' character."},
      {"C:\\m.swf", "my.show", "Invalid file name, it can contain letters, numbers and '_' character."},
      {"C:\\m.swf", "my-show", "Invalid file name, it can contain letters, numbers and '_' character."},
      {"C:\\m.swf", "my_show", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.movie) + " / " + c.name);
    boxes.texts.clear();
    CFlashPresentationDlg dialog;
    const INT_PTR result = RunPresentation(c.movie, c.name, dialog);
    if (c.message) {
      EXPECT_EQ(result, lwtest::CDialogScript::kLeftOpen);
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_EQ(boxes.texts[0], c.message);
    } else {
      EXPECT_EQ(result, IDOK);
      EXPECT_TRUE(boxes.texts.empty());
      EXPECT_EQ(std::string(dialog.m_saverName), c.name);
      EXPECT_EQ(std::string(dialog.m_moviePath), c.movie);
    }
  }
}

TEST_F(ToolDialogsTest, PresentationAsksBeforeOverwritingAnyOfItsThreeFiles) {
  EXPECT_EQ(std::string(FlashPresentationBase("Show")), folder.Path() + "Show");
  for (const char* extension : {".fsd", ".scr", ".exe"}) {
    SCOPED_TRACE(extension);
    const std::string existing = folder.File(std::string("Show") + extension);
    ASSERT_TRUE(lwtest::WriteAll(existing, {1, 2, 3}));
    for (int answer : {IDNO, IDYES}) {
      boxes.texts.clear();
      boxes.types.clear();
      boxes.Script({answer});
      CFlashPresentationDlg dialog;
      const INT_PTR result = RunPresentation("C:\\m.swf", "Show", dialog);
      ASSERT_EQ(boxes.texts.size(), 1u);
      EXPECT_EQ(boxes.texts[0], "There is already file under that name, do you want to overwrite it?");
      EXPECT_EQ(boxes.types[0] & (MB_TYPEMASK | MB_DEFMASK), UINT(MB_YESNO | MB_DEFBUTTON2));
      EXPECT_EQ(result, answer == IDYES ? IDOK : lwtest::CDialogScript::kLeftOpen);
    }
    ::DeleteFileA(existing.c_str());
  }
  // Nothing there: no question.
  boxes.texts.clear();
  CFlashPresentationDlg dialog;
  EXPECT_EQ(RunPresentation("C:\\m.swf", "Show", dialog), IDOK);
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(ToolDialogsTest, FinishedDialogsShowTheFolderAndGoThere) {
  struct Case {
    const char* name;
    bool oneStep;
    const char* caption;
    const char* expectedCaption;
  } const cases[] = {
      {"make_finished", false, "", "Make process finished"},
      {"onestep_finished", true, "", "One-Step Wizard finished"},
      {"flash_to_scr_finished", true, "Flash-to-SCR wizard finished", "Flash-to-SCR wizard finished"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    shell.calls.clear();
    CMakeFinishedDlg make;
    COneStepFinishedDlg oneStep;
    CFinishedDlg& dialog = c.oneStep ? static_cast<CFinishedDlg&>(oneStep) : make;
    dialog.m_folder = folder.Path().c_str();
    if (*c.caption) dialog.m_caption = c.caption;
    std::string caption, shown;
    lwtest::CDialogScript script([&](CDialog* d) {
      char text[256] = "";
      ::GetWindowTextA(d->GetSafeHwnd(), text, sizeof text);
      caption = text;
      shown = Text(d->GetSafeHwnd(), IDC_FINISHED_FOLDER);
      const std::vector<std::string> faults =
          lwtest::ShootAndCheck(d->GetSafeHwnd(), LW_BUILD_DIR "/screenshots", c.name);
      EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
      lwtest::Press(d, IDC_FINISHED_GOTO);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(caption, c.expectedCaption);
    EXPECT_EQ(shown, folder.Path());
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, folder.Path());
    EXPECT_EQ(shell.calls[0].show, SW_SHOWMAXIMIZED);
  }
}

// The parameters dialog with a movie and a name filled in: every control
// inside it, every caption whole and painted in its screenshot.
TEST_F(ToolDialogsTest, PresentationDialogLooksTidy) {
  CFlashPresentationDlg dialog;
  bool shot = false;
  lwtest::CDialogScript script([&](CDialog* d) {
    ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_MOVIE, "C:\\Movies\\intro.swf");
    ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_NAME, "Intro");
    const std::vector<std::string> faults =
        lwtest::ShootAndCheck(d->GetSafeHwnd(), LW_BUILD_DIR "/screenshots", "flash_presentation");
    EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
    shot = true;
    lwtest::Press(d, IDCANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(shot);
}

}  // namespace
