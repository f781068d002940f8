// The Flash tools through the main frame: Flash-to-SCR writes its eleven
// commands and the document, saver and installer beside the chosen name;
// Direct Flash writes a movie saver whose name ends in ".scr"; the flash
// presentation writes its three files into the document folder; the
// toolbar's wizard button runs the wizard that ran last. File choosers
// are answered without a window, message boxes recorded.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/controls/BuilderMessages.h"
#include "builder/MainFrame.h"
#include "builder/SceneDoc.h"
#include "builder/resource.h"
#include "script/Commands.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/wizards/wizard_fixtures.h"
#include "wizards/ToolCommands.h"
#include "wizards/ToolDialogs.h"
#include "wizards/WizardToolsResource.h"

namespace {

testing::Environment* const g_environments[] = {
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER)),
    testing::AddGlobalTestEnvironment(new wiztest::CFilesEnvironment("lw_flash_tools_"))};

class FlashTools : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wiztest::Settings().SetNumber("StartDlg", 1));
    std::string docs = folder.Path();
    docs.pop_back();
    ASSERT_TRUE(wiztest::Settings().SetText("DocPath", docs));
    ASSERT_TRUE(wiztest::WriteMovie(movie, 320, 240));
    ASSERT_TRUE(run.Start(""));
  }
  HWND Frame() const { return run.app->m_pMainWnd->GetSafeHwnd(); }
  CSceneDoc* Doc() const {
    return dynamic_cast<CSceneDoc*>(static_cast<CFrameWnd*>(run.app->m_pMainWnd)->GetActiveDocument());
  }
  std::vector<std::string> ScriptLines() const {
    std::vector<std::string> lines;
    CCommandList& list = Doc()->GetCommands();
    for (int i = 0; i < list.GetSize(); ++i) {
      CString text;
      list.GetCommand(i)->Describe(text);
      lines.push_back(text.GetString());
    }
    return lines;
  }
  // Sends the command with the finished dialogs answered: their caption
  // and folder are kept.
  void RunCommand(UINT command) {
    lwtest::CDialogScript script([&](CDialog* d) {
      const HWND hwnd = d->GetSafeHwnd();
      char text[MAX_PATH] = "";
      ::GetWindowTextA(hwnd, text, sizeof text);
      captions.push_back(text);
      ::GetDlgItemTextA(hwnd, IDC_FINISHED_FOLDER, text, sizeof text);
      folders.push_back(text);
      lwtest::Press(d, IDOK);
    });
    ::SendMessageA(Frame(), WM_COMMAND, command, 0);
  }

  lwtest::CTempFolder folder{"flashtools"};
  const std::string movie = folder.File("Intro.swf");
  lwtest::CBuilderRun run;
  lwtest::CRecordedBoxes boxes{IDOK};
  lwtest::CRecordedShell shell;
  lwtest::CRecordedCommonDialogs dialogs;
  std::vector<std::string> captions, folders;
};

TEST_F(FlashTools, FlashToScrWritesItsCommandsInOrderAndThreeFiles) {
  lwtest::CTempFolder out{"flashtools_out"};
  dialogs.AnswerFile(movie);
  dialogs.AnswerFile(out.File("Party.scr"));
  RunCommand(ID_WIZARD_FLASHTOSCR);
  const std::vector<std::string> lines = ScriptLines();
  // The title, an empty line, the four lines of the note, an empty line,
  // the movie, Cls and its Play.
  ASSERT_EQ(lines.size(), 10u) << testing::PrintToString(lines);
  CCommandList& list = Doc()->GetCommands();
  const int types[10] = {kTypeComment, kTypeComment, kTypeComment, kTypeComment, kTypeComment,
                         kTypeComment, kTypeComment, kTypeMedia,   kTypeCls,     kTypePlay};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list.GetCommand(i)->GetType(), types[i]) << i;
  EXPECT_EQ(static_cast<CCommentCommand*>(list.GetCommand(0))->m_text.GetString(),
            std::string("Flash-to-ScreenSaver wizard generated script"));
  EXPECT_TRUE(static_cast<CCommentCommand*>(list.GetCommand(1))->m_text.IsEmpty());
  EXPECT_EQ(static_cast<CCommentCommand*>(list.GetCommand(2))->m_text.Left(5).GetString(), std::string("NOTE:"));
  EXPECT_TRUE(static_cast<CCommentCommand*>(list.GetCommand(6))->m_text.IsEmpty());
  auto* play = static_cast<CPlayCommand*>(list.GetCommand(9));
  EXPECT_EQ(play->GetTarget(), list.GetCommand(7));
  EXPECT_EQ(play->m_placement.m_flash.m_infinite, 1);
  EXPECT_EQ(play->m_placement.m_flash.m_width, 320);
  EXPECT_EQ(play->m_placement.m_flash.m_height, 240);
  EXPECT_EQ(play->m_placement.m_flash.m_posModeX, kModeCenter);
  for (const char* extension : {".fsd", ".scr", ".exe"}) {
    SCOPED_TRACE(extension);
    EXPECT_TRUE(lwtest::FileExists(out.File(std::string("Party") + extension)));
  }
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0], "Flash-to-SCR wizard finished");
  EXPECT_EQ(folders[0], out.Path());
  EXPECT_EQ(wiztest::Settings().Number("LastWizard", 99), 2u);
  ASSERT_EQ(dialogs.files.size(), 2u);
  EXPECT_EQ(dialogs.files[0].title, "Choose flash movie");
  EXPECT_EQ(dialogs.files[1].defExt, "scr");
  EXPECT_EQ(dialogs.files[1].fileName, "Intro");
}

TEST_F(FlashTools, FlashToScrShowsTheWritersFailureAndNoFinishedDialog) {
  lwtest::CTempFolder out{"flashtools_blocked"};
  // A folder stands where the saver should go.
  ASSERT_TRUE(::CreateDirectoryA(out.File("Party.scr").c_str(), nullptr));
  dialogs.AnswerFile(movie);
  dialogs.AnswerFile(out.File("Party.scr"));
  RunCommand(ID_WIZARD_FLASHTOSCR);
  EXPECT_TRUE(lwtest::FileExists(out.File("Party.fsd")));
  EXPECT_TRUE(captions.empty());
  bool told = false;
  for (const std::string& text : boxes.texts) told = told || text.rfind("Screen saver cannot be created.", 0) == 0;
  EXPECT_TRUE(told) << testing::PrintToString(boxes.texts);
}

// A script or program of the title's name beside the chosen saver is
// replaced only when the user says so; No writes nothing and drops the
// generated script, as a cancelled save dialog does.
TEST_F(FlashTools, FlashToScrAsksBeforeReplacingTheScriptOrInstallerBesideIt) {
  const std::string kQuestion = "There is already file under that name, do you want to overwrite it?";
  for (const char* existing : {".fsd", ".exe"}) {
    for (int answer : {IDNO, IDYES}) {
      SCOPED_TRACE(testing::Message() << existing << (answer == IDYES ? " Yes" : " No"));
      lwtest::CTempFolder out{"flashtools_asks"};
      const std::string mine = out.File(std::string("Party") + existing);
      const lwtest::Bytes before = {'m', 'i', 'n', 'e'};
      ASSERT_TRUE(lwtest::WriteAll(mine, before));
      boxes.texts.clear();
      boxes.types.clear();
      captions.clear();
      boxes.AnswerStartingWith(kQuestion, answer);
      dialogs.AnswerFile(movie);
      dialogs.AnswerFile(out.File("Party.scr"));
      RunCommand(ID_WIZARD_FLASHTOSCR);
      const auto asked = std::find(boxes.texts.begin(), boxes.texts.end(), kQuestion);
      ASSERT_NE(asked, boxes.texts.end()) << testing::PrintToString(boxes.texts);
      EXPECT_EQ(std::count(boxes.texts.begin(), boxes.texts.end(), kQuestion), 1);
      EXPECT_EQ(boxes.types[asked - boxes.texts.begin()], static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2));
      if (answer == IDNO) {
        EXPECT_EQ(lwtest::ReadAll(mine), before);
        for (const char* extension : {".fsd", ".scr", ".exe"})
          if (std::string(extension) != existing)
            EXPECT_FALSE(lwtest::FileExists(out.File(std::string("Party") + extension))) << extension;
        EXPECT_TRUE(captions.empty());
        EXPECT_EQ(Doc()->GetCommands().GetSize(), 0);
        EXPECT_FALSE(Doc()->IsModified());
      } else {
        EXPECT_NE(lwtest::ReadAll(mine), before);
        EXPECT_EQ(captions, std::vector<std::string>{"Flash-to-SCR wizard finished"});
      }
    }
  }
}

// Files of those names from before stay when a make fails after Yes:
// the finished dialog comes only when both makes were done.
TEST_F(FlashTools, FlashToScrThatCannotReplaceItsInstallerShowsNoFinishedDialog) {
  lwtest::CTempFolder out{"flashtools_kept"};
  const std::string installer = out.File("Party.exe");
  const lwtest::Bytes before = {'m', 'i', 'n', 'e'};
  ASSERT_TRUE(lwtest::WriteAll(installer, before));
  // A read-only file is not replaced.
  ASSERT_TRUE(::SetFileAttributesA(installer.c_str(), FILE_ATTRIBUTE_READONLY));
  boxes.AnswerStartingWith("There is already file under that name", IDYES);
  dialogs.AnswerFile(movie);
  dialogs.AnswerFile(out.File("Party.scr"));
  RunCommand(ID_WIZARD_FLASHTOSCR);
  ::SetFileAttributesA(installer.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(lwtest::ReadAll(installer), before);
  EXPECT_TRUE(lwtest::FileExists(out.File("Party.scr")));
  EXPECT_TRUE(captions.empty());
  const auto failed = std::find_if(boxes.texts.begin(), boxes.texts.end(), [](const std::string& t) {
    return t.rfind("Screen saver cannot be created.", 0) == 0;
  });
  EXPECT_NE(failed, boxes.texts.end()) << testing::PrintToString(boxes.texts);
}

// Direct Flash's save dialog asks about a saver of that name; the
// installer beside it, which the dialog does not name, is asked about
// before anything is written.
TEST_F(FlashTools, DirectFlashAsksBeforeReplacingASaverOrItsInstaller) {
  const std::string kQuestion = "There is already file under that name, do you want to overwrite it?";
  lwtest::CTempFolder out{"directflash_asks"};
  const lwtest::Bytes before = {'m', 'i', 'n', 'e'};
  ASSERT_TRUE(lwtest::WriteAll(out.File("Loop.exe"), before));
  boxes.AnswerStartingWith(kQuestion, IDNO);
  dialogs.AnswerFile(movie);
  dialogs.AnswerFile(out.File("Loop.scr"));
  RunCommand(ID_TOOLS_DIRECTFLASH);
  ASSERT_EQ(dialogs.files.size(), 2u);
  EXPECT_TRUE(dialogs.files[1].flags & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{kQuestion});
  EXPECT_EQ(lwtest::ReadAll(out.File("Loop.exe")), before);
  EXPECT_FALSE(lwtest::FileExists(out.File("Loop.scr")));
  EXPECT_TRUE(captions.empty());
}

TEST_F(FlashTools, DirectFlashWritesAMovieSaverEndingInScr) {
  lwtest::CTempFolder out{"directflash_out"};
  struct Case {
    const char* chosen;
    const char* written;
  } const cases[] = {{"Plain", "Plain.scr"}, {"Named.scr", "Named.scr"}, {"Upper.SCR", "Upper.SCR"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    dialogs.files.clear();
    captions.clear();
    dialogs.AnswerFile(movie);
    dialogs.AnswerFile(out.File(c.chosen));
    RunCommand(ID_TOOLS_DIRECTFLASH);
    EXPECT_TRUE(lwtest::FileExists(out.File(c.written)));
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_EQ(dialogs.files[0].defExt, "swf");
    EXPECT_EQ(dialogs.files[1].defExt, "scr");
    EXPECT_EQ(dialogs.files[1].title, "Select ScreenSaver");
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], "Direct Flash wizard finished");
  }
  EXPECT_FALSE(lwtest::FileExists(out.File("Plain")));
  EXPECT_EQ(std::string(WithScrExtension("a.ScreenSaver")), "a.ScreenSaver.scr");
}

TEST_F(FlashTools, DirectFlashFailureShowsTheWritersReason) {
  // A folder stands where the saver should go.
  lwtest::CTempFolder out{"directflash_fail"};
  ASSERT_TRUE(::CreateDirectoryA(out.File("Dir.scr").c_str(), nullptr));
  dialogs.AnswerFile(movie);
  dialogs.AnswerFile(out.File("Dir.scr"));
  RunCommand(ID_TOOLS_DIRECTFLASH);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind("Direct Flash wizard failed!\n\n", 0), 0u) << boxes.texts[0];
  EXPECT_GT(boxes.texts[0].size(), std::string("Direct Flash wizard failed!\n\n").size());
  EXPECT_TRUE(captions.empty());
}

TEST_F(FlashTools, FlashPresentationWritesItsFilesIntoTheDocumentFolder) {
  lwtest::CDialogScript script([&](CDialog* d) {
    const HWND hwnd = d->GetSafeHwnd();
    if (d->GetTemplateId() == IDD_FLASH_PRESENTATION) {
      ::SetDlgItemTextA(hwnd, IDC_FP_MOVIE, movie.c_str());
      ::SetDlgItemTextA(hwnd, IDC_FP_NAME, "Talk");
      lwtest::Press(d, IDOK);
    } else {
      char text[MAX_PATH] = "";
      ::GetWindowTextA(hwnd, text, sizeof text);
      captions.push_back(text);
      lwtest::Press(d, IDOK);
    }
  });
  ::SendMessageA(Frame(), WM_COMMAND, ID_TOOLS_FLASHPRESENTATION, 0);
  for (const char* extension : {".fsd", ".scr", ".exe"}) {
    SCOPED_TRACE(extension);
    EXPECT_TRUE(lwtest::FileExists(folder.File(std::string("Talk") + extension)));
  }
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0], "Make process finished");
  // The last byte of the saver marks a presentation.
  const lwtest::Bytes saver = lwtest::ReadAll(folder.File("Talk.scr"));
  ASSERT_FALSE(saver.empty());
  EXPECT_EQ(saver.back(), 1);
}

// A New that the user refuses (Cancel at the save question, or a Save As
// cancelled) ends the presentation: the user's script stays as it was, in
// the window and on the disk, and no presentation file is written.
TEST_F(FlashTools, FlashPresentationStopsWhenTheNewScriptIsRefused) {
  const std::string mine = folder.File("mine.fsd");
  for (bool titled : {true, false}) {
    SCOPED_TRACE(titled ? "titled, Cancel" : "untitled, Yes and the Save As cancelled");
    ::SendMessageA(Frame(), WM_COMMAND, ID_FILE_NEW, 0);
    SendCommandToFrame(Frame(), new CWaitCommand);
    lwtest::Bytes saved;
    if (titled) {
      Doc()->SetPathName(mine.c_str(), false);
      ASSERT_TRUE(Doc()->OnSaveDocument(mine.c_str()));
      saved = lwtest::ReadAll(mine);
    }
    SendCommandToFrame(Frame(), new CClsCommand);
    ASSERT_TRUE(Doc()->IsModified());
    boxes.texts.clear();
    boxes.Script({titled ? IDCANCEL : IDYES});
    if (!titled) dialogs.AnswerCancel();
    captions.clear();
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() == IDD_FLASH_PRESENTATION) {
        ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_MOVIE, movie.c_str());
        ::SetDlgItemTextA(d->GetSafeHwnd(), IDC_FP_NAME, "Refused");
      } else {
        captions.push_back("finished");
      }
      lwtest::Press(d, IDOK);
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_TOOLS_FLASHPRESENTATION, 0);
    ASSERT_EQ(boxes.texts.size(), 1u) << testing::PrintToString(boxes.texts);
    EXPECT_EQ(boxes.texts[0].rfind("Save changes to ", 0), 0u) << boxes.texts[0];
    ASSERT_EQ(ScriptLines().size(), 2u) << testing::PrintToString(ScriptLines());
    EXPECT_EQ(Doc()->GetCommands().GetCommand(0)->GetType(), kTypeWait);
    EXPECT_EQ(Doc()->GetCommands().GetCommand(1)->GetType(), kTypeCls);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(std::string(Doc()->GetPathName()), titled ? mine : std::string());
    if (titled) EXPECT_EQ(lwtest::ReadAll(mine), saved);
    for (const char* extension : {".fsd", ".scr", ".exe"})
      EXPECT_FALSE(lwtest::FileExists(folder.File(std::string("Refused") + extension))) << extension;
    EXPECT_TRUE(captions.empty());
    Doc()->SetModifiedFlag(false);
  }
}

TEST_F(FlashTools, TheWizardButtonRunsTheLastWizard) {
  struct Case {
    DWORD last;
    size_t fileDialogs;
  } const cases[] = {{2, 1}, {3, 0}, {7, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last);
    ASSERT_TRUE(wiztest::Settings().SetNumber("LastWizard", c.last));
    dialogs.files.clear();
    dialogs.AnswerCancel();
    RunCommand(ID_WIZARD_LAST);
    EXPECT_EQ(dialogs.files.size(), c.fileDialogs);
  }
  EXPECT_EQ(LastWizardCommand(0), UINT(ID_WIZARD_STANDARD));
  EXPECT_EQ(LastWizardCommand(1), UINT(ID_WIZARD_ONESTEP));
  EXPECT_EQ(LastWizardCommand(2), UINT(ID_WIZARD_FLASHTOSCR));
}

}  // namespace
