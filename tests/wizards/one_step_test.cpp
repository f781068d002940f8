// The one-step wizard: the thirteen templates written over a folder of
// three pictures and two movies (golden command lists), the loading rules
// (order, unreadable files left out and told once, the limit), the
// project name's check, and the whole run through the main frame: a
// folder of pictures becomes a document, a saver and an installer in the
// projects folder, and the saver shows the pictures when it runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "builder/controls/OutputNames.h"
#include "builder/MainFrame.h"
#include "builder/resource.h"
#include "builder/SceneDoc.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"
#include "tests/wizards/wizard_fixtures.h"
#include "wizards/OneStep.h"
#include "wizards/ToolDialogs.h"
#include "wizards/WizardPagesResource.h"
#include "wizards/WizardToolsResource.h"

namespace {

testing::Environment* const g_environments[] = {
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER)),
    testing::AddGlobalTestEnvironment(new wiztest::CFilesEnvironment("lw_one_step_"))};

// Keeps what the builder sends, and answers the folder limit.
class CKeptBuilder : public COneStepBuilder {
 public:
  CKeptBuilder() { m_screenWidth = 800; }
  ~CKeptBuilder() override {
    // Commands first, then the objects they target.
    for (int i = script.GetSize() - 1; i >= 0; --i) delete script.GetAt(i);
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < script.GetSize(); ++i) {
      CString text;
      static_cast<CSceneCommand*>(script.GetAt(i))->Describe(text);
      lines.push_back(text.GetString());
    }
    return lines;
  }

  CObArray script;
  INT_PTR limitAnswer = IDOK;
  int limitAsked = 0;

 protected:
  void Send(CSceneCommand* command) override { script.Add(command); }
  INT_PTR AskFolderLimit(int, int) override {
    ++limitAsked;
    return limitAnswer;
  }
};

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class OneStepTemplates : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wiztest::WritePicture(folder.File("c.bmp"), 40, 30, RGB(0, 0, 255)));
    ASSERT_TRUE(wiztest::WritePicture(folder.File("A.bmp"), 80, 60, RGB(255, 0, 0)));
    ASSERT_TRUE(wiztest::WriteTga(folder.File("b.tga"), 20, 10, RGB(0, 255, 0)));
    ASSERT_TRUE(wiztest::WriteMovie(folder.File("m2.swf"), 320, 200));
    ASSERT_TRUE(wiztest::WriteMovie(folder.File("M1.swf"), 160, 120));
  }
  std::string Folder() const {
    std::string f = folder.Path();
    f.pop_back();
    return f;
  }

  lwtest::CTempFolder folder{"onestep_templates"};
  lwtest::CRecordedBoxes boxes{IDOK};
};

// The golden lists: "---- <template>" and the template's lines, as the
// script list describes them, over the three pictures and two movies at a
// screen width of 800.
std::vector<std::string> GoldenScripts() {
  std::vector<std::string> scripts;
  for (const std::string& line : lwtest::ReadLines(LW_SOURCE_DIR "/tests/wizards/one_step_templates.golden")) {
    if (line.rfind("---- ", 0) == 0)
      scripts.emplace_back();
    else if (!scripts.empty())
      scripts.back() += line + "\n";
  }
  return scripts;
}

TEST_F(OneStepTemplates, EachTemplateWritesItsScript) {
  const std::vector<std::string> golden = GoldenScripts();
  ASSERT_EQ(golden.size(), size_t(kOneStepTemplateCount));
  for (int t = 0; t < kOneStepTemplateCount; ++t) {
    SCOPED_TRACE(std::string("template ") + std::to_string(t) + " " + OneStepTemplateName(t));
    CKeptBuilder builder;
    ASSERT_TRUE(builder.LoadFolder(Folder().c_str(), t));
    ASSERT_TRUE(builder.Build(t));
    EXPECT_EQ(Join(builder.Lines()), golden[t]);
  }
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(OneStepTemplates, TemplateThreeWithoutItemsIsRepeatClsUntil) {
  CKeptBuilder builder;
  ASSERT_TRUE(builder.Build(3));
  EXPECT_EQ(Join(builder.Lines()), "Repeat\nCls [Colour: RGB(0, 0, 0)]\nUntil [Infinite]\n");
}

TEST_F(OneStepTemplates, PicturesLoadSortedWithoutRegardToCaseAcrossExtensions) {
  CKeptBuilder builder;
  ASSERT_TRUE(builder.LoadImages(Folder().c_str()));
  ASSERT_EQ(builder.m_pImagePaths->GetSize(), 3);
  EXPECT_EQ(std::string((*builder.m_pImagePaths)[0]), folder.File("A.bmp"));
  EXPECT_EQ(std::string((*builder.m_pImagePaths)[1]), folder.File("b.tga"));
  EXPECT_EQ(std::string((*builder.m_pImagePaths)[2]), folder.File("c.bmp"));
  ASSERT_EQ(builder.script.GetSize(), 3);
  EXPECT_EQ(static_cast<CImageTextObject*>(builder.script.GetAt(0))->GetImageSize().cx, 80);
}

TEST_F(OneStepTemplates, UnreadablePicturesAndMoviesAreLeftOutAndToldOnce) {
  ASSERT_TRUE(lwtest::WriteAll(folder.File("broken.bmp"), {'B', 'M', 1, 2, 3}));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("empty.png"), {}));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("broken.swf"), {'X', 'Y', 'Z', 9}));
  CKeptBuilder builder;
  ASSERT_TRUE(builder.LoadFolder(Folder().c_str(), 11));
  EXPECT_EQ(builder.m_pMoviePaths->GetSize(), 2);
  EXPECT_EQ(builder.m_pImagePaths->GetSize(), 3);
  EXPECT_EQ(builder.script.GetSize(), 5);
  ASSERT_EQ(boxes.texts.size(), 2u) << "one message for the movies, one for the pictures";
  EXPECT_EQ(boxes.texts[0], "1 file(s) in the selected folder could not be read and were left out.");
  EXPECT_EQ(boxes.texts[1], "2 file(s) in the selected folder could not be read and were left out.");
  // The saver the script makes runs: every object has its data.
  for (int i = 0; i < builder.script.GetSize(); ++i) {
    SCOPED_TRACE(i);
    if (auto* picture = dynamic_cast<CImageTextObject*>(builder.script.GetAt(i)))
      EXPECT_GT(picture->m_pictureSize, 0u);
    if (auto* movie = dynamic_cast<CMediaObject*>(builder.script.GetAt(i)))
      EXPECT_GT(movie->m_dataSize, 0u);
  }
}

TEST_F(OneStepTemplates, AFolderOfUnreadablePicturesStopsTheRun) {
  lwtest::CTempFolder broken{"onestep_broken"};
  ASSERT_TRUE(lwtest::WriteAll(broken.File("x.bmp"), {'B', 'M'}));
  CKeptBuilder builder;
  std::string path = broken.Path();
  path.pop_back();
  EXPECT_FALSE(builder.LoadImages(path.c_str()));
  EXPECT_EQ(builder.script.GetSize(), 0);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "None of the files in the selected folder could be read.");
}

TEST_F(OneStepTemplates, EmptyFoldersAndTheLimitStopOrShortenTheRun) {
  lwtest::CTempFolder empty{"onestep_empty"};
  std::string path = empty.Path();
  path.pop_back();
  {
    CKeptBuilder builder;
    EXPECT_FALSE(builder.LoadImages(path.c_str()));
    EXPECT_FALSE(builder.LoadMovies(path.c_str()));
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[0], "No images in selected folder!");
    EXPECT_EQ(boxes.texts[1], "No flash movies in selected folder!");
  }
}

TEST_F(OneStepTemplates, MoreFilesThanTheLimitAskFirst) {
  // The limit is 40 by default; the first 40 found are kept and sorted.
  lwtest::CTempFolder many{"onestep_many"};
  for (int i = 0; i < 40; ++i)
    ASSERT_TRUE(wiztest::WriteTga(many.File("t" + std::to_string(100 + i) + ".tga"), 8, 8, RGB(i, 0, 0)));
  ASSERT_TRUE(wiztest::WritePicture(many.File("z.bmp"), 8, 8, RGB(1, 2, 3)));
  std::string path = many.Path();
  path.pop_back();
  struct Case {
    INT_PTR answer;
    bool loads;
    int kept;
  } const cases[] = {{IDOK, true, 40}, {IDCANCEL, false, 0}, {5, true, 41}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    CKeptBuilder builder;
    builder.limitAnswer = c.answer;
    EXPECT_EQ(builder.LoadImages(path.c_str()), c.loads);
    EXPECT_EQ(builder.limitAsked, 1);
    EXPECT_EQ(builder.script.GetSize(), c.kept);
    if (c.answer == IDOK) {
      // bmp files are found before tga files: z.bmp stays, t139.tga goes,
      // and the rest is sorted.
      EXPECT_EQ(std::string((*builder.m_pImagePaths)[0]), many.File("t100.tga"));
      EXPECT_EQ(std::string((*builder.m_pImagePaths)[39]), many.File("z.bmp"));
    }
  }
}

TEST(OneStepName, OnlyOneValidPathComponentIsAccepted) {
  struct Case {
    const char* name;
    bool valid;
  } const cases[] = {{"Holiday", true}, {"My Saver 2", true}, {"a_b-c", true}, {"", false},
                     {".", false},      {"..", false},        {"a\\b", false}, {"a/b", false},
                     {":", false},      {"C:", false},        {"x*", false},   {"trailing.", false},
                     {"what?", false},  {"a|b", false},         {"CON", false},  {"nul.txt", false},
                     {"Com7", false},   {"lpt1.x.y", false},    {"console", true}, {"COM0", false}, {"COM10", true},
                     {"space ", false}, {"tab\t", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsFileNameComponent(c.name), c.valid);
  }
}

// ---------------------------------------------------------------------------
// Through the main frame

class OneStepRun : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(wiztest::Settings().SetNumber("StartDlg", 1));
    ASSERT_TRUE(wiztest::Settings().SetText("WizardPath", projects.Path()));
    ASSERT_TRUE(run.Start(""));
  }
  HWND Frame() const { return run.app->m_pMainWnd->GetSafeHwnd(); }
  std::string SourceFolder() const {
    std::string f = source.Path();
    f.pop_back();
    return f;
  }
  // Runs the wizard from the frame: the dialog gets the source folder,
  // the template and the name; the finished dialog's folder is kept.
  void RunWizard(const std::string& name, int templateIndex, bool screenshots = false) {
    lwtest::CDialogScript script([&](CDialog* d) {
      const HWND hwnd = d->GetSafeHwnd();
      if (d->GetTemplateId() == IDD_ONESTEP) {
        auto* dialog = static_cast<COneStepDlg*>(d);
        selectedAtStart = dialog->GetTree().GetSelectedPath().GetString();
        dialog->GetTree().SetSelectedPath(SourceFolder().c_str(), true);
        ::SendDlgItemMessageA(hwnd, IDC_ONESTEP_TEMPLATES, LB_SETCURSEL, templateIndex, 0);
        ::SetDlgItemTextA(hwnd, IDC_ONESTEP_NAME, name.c_str());
        if (screenshots) {
          ::ShowWindow(hwnd, SW_SHOW);
          lwtest::FlushEvents(200);
          lwtest::SaveWindowShot(hwnd, LW_BUILD_DIR "/screenshots/one_step.bmp");
        }
        lwtest::Press(d, IDOK);
      } else if (d->GetTemplateId() == IDD_WZ_FOLDER_LIMIT) {
        ++limitDialogs;
        lwtest::Press(d, IDOK);
      } else if (d->GetTemplateId() == IDD_ONESTEP_FINISHED) {
        char text[MAX_PATH] = "";
        ::GetDlgItemTextA(hwnd, IDC_FINISHED_FOLDER, text, sizeof text);
        finishedFolder = text;
        lwtest::Press(d, IDOK);
      }
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_WIZARD_ONESTEP, 0);
    opened = script.Opened();
  }

  lwtest::CTempFolder projects{"onestep_projects"};
  lwtest::CTempFolder source{"onestep_source"};
  lwtest::CBuilderRun run;
  lwtest::CRecordedBoxes boxes{IDOK};
  lwtest::CRecordedShell shell;
  std::string finishedFolder;
  std::string selectedAtStart;
  int opened = 0;
  int limitDialogs = 0;
};

TEST_F(OneStepRun, AFolderOfPicturesBecomesASaverThatShowsThem) {
  const COLORREF colours[3] = {RGB(220, 30, 30), RGB(30, 200, 30), RGB(40, 40, 220)};
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(wiztest::WritePicture(source.File("p" + std::to_string(i) + ".bmp"), 300, 200, colours[i]));
  RunWizard("Holiday", 9, true);
  EXPECT_TRUE(boxes.texts.empty()) << (boxes.texts.empty() ? "" : boxes.texts[0]);
  const std::string folder = projects.Path() + "Holiday\\";
  EXPECT_EQ(finishedFolder, folder);
  for (const char* extension : {".fsd", ".scr", ".exe"}) {
    SCOPED_TRACE(extension);
    EXPECT_TRUE(lwtest::FileExists(folder + "Holiday" + extension));
  }
  EXPECT_EQ(wiztest::Settings().Number("LastWizard", 99), 1u);
  EXPECT_EQ(wiztest::Settings().Text("OneStepPath"), SourceFolder());
  EXPECT_EQ(wiztest::Settings().Number("OneStepTemplate", 99), 9u);
  auto* doc = dynamic_cast<CSceneDoc*>(static_cast<CFrameWnd*>(run.app->m_pMainWnd)->GetActiveDocument());
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetCommands().GetSize(), 3 + 1 + 3 * 4 + 1);
  EXPECT_FALSE(doc->IsModified());

  // The saver shows the pictures, centred, one after another.
  lwtest::CChildProcess saver(folder + "Holiday.scr", "/s");
  ASSERT_NE(saver.WaitForWindow("SS3.0"), nullptr);
  const int cx = ::GetSystemMetrics(SM_CXSCREEN) / 2, cy = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  EXPECT_TRUE(lwtest::PumpUntil([&] { return lwtest::ScreenPixel(cx, cy) == colours[0]; }, 20000))
      << "the first picture";
  EXPECT_TRUE(lwtest::PumpUntil([&] { return lwtest::ScreenPixel(cx, cy) == colours[1]; }, 20000))
      << "the second picture";
  ::PostMessageA(saver.WaitForWindow("SS3.0"), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(saver.Wait(10000), 0u);
}

TEST_F(OneStepRun, TheFolderLimitDialogKeepsTheFirstPictures) {
  ASSERT_TRUE(wiztest::Settings().SetNumber("ImageLimit", 2));
  for (const char* name : {"c.bmp", "a.bmp", "b.bmp"})
    ASSERT_TRUE(wiztest::WritePicture(source.File(name), 30, 20, RGB(9, 9, 9)));
  RunWizard("Limited", 3);
  EXPECT_EQ(limitDialogs, 1);
  auto* doc = dynamic_cast<CSceneDoc*>(static_cast<CFrameWnd*>(run.app->m_pMainWnd)->GetActiveDocument());
  ASSERT_NE(doc, nullptr);
  // Two objects, Repeat, Cls, two Shows with their Waits, Until.
  EXPECT_EQ(doc->GetCommands().GetSize(), 2 + 1 + 1 + 2 * 2 + 1);
  EXPECT_TRUE(lwtest::FileExists(projects.Path() + "Limited\\Limited.exe"));
}

TEST_F(OneStepRun, WriterFailuresAreShownAndNoFinishedDialog) {
  ASSERT_TRUE(wiztest::WritePicture(source.File("p.bmp"), 30, 20, RGB(1, 2, 3)));
  // A folder where the saver should go: the writer cannot make it.
  ASSERT_TRUE(::CreateDirectoryA((projects.Path() + "Blocked").c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA((projects.Path() + "Blocked\\Blocked.scr").c_str(), nullptr));
  boxes.Script({IDYES});  // the project folder exists: overwrite
  RunWizard("Blocked", 9);
  EXPECT_TRUE(finishedFolder.empty());
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.texts[1].rfind("Screen saver cannot be created.", 0), 0u) << boxes.texts[1];
  EXPECT_FALSE(lwtest::FileExists(projects.Path() + "Blocked\\Blocked.exe"));
}

TEST_F(OneStepRun, NamesThatAreNotOneFolderAreRefused) {
  ASSERT_TRUE(wiztest::WritePicture(source.File("p.bmp"), 30, 20, RGB(1, 2, 3)));
  for (const char* name : {"..", "a\\b", ":"}) {
    SCOPED_TRACE(name);
    boxes.texts.clear();
    RunWizard(name, 9);
    EXPECT_TRUE(finishedFolder.empty());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("valid folder name"), std::string::npos) << boxes.texts[0];
  }
  // Nothing was made outside the projects folder, or in it.
  EXPECT_TRUE(lwtest::FilesIn(projects.Path()).empty());
}

// With no folder chosen (nothing, My Computer, the network) there is
// nothing to make a saver from: the dialog says so and stays open; nothing
// is searched, made or stored.
TEST_F(OneStepRun, WithoutAChosenFolderTheDialogAsksForOne) {
  ASSERT_TRUE(wiztest::WritePicture(source.File("p.bmp"), 30, 20, RGB(1, 2, 3)));
  ASSERT_TRUE(wiztest::Settings().SetText("OneStepPath", SourceFolder()));
  enum Choice { kNothing, kMyComputer, kNetwork };
  struct Case {
    const char* name;
    Choice choice;
  } const cases[] = {{"nothing", kNothing}, {"My Computer", kMyComputer}, {"the network", kNetwork}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.texts.clear();
    std::string chosen = "?";
    lwtest::CDialogScript script([&](CDialog* d) {
      if (d->GetTemplateId() != IDD_ONESTEP) return;
      CTreeFileCtrl& tree = static_cast<COneStepDlg*>(d)->GetTree();
      const HTREEITEM item = c.choice == kMyComputer ? tree.GetMyComputerNode()
                             : c.choice == kNetwork  ? tree.GetNetworkNode()
                                                     : nullptr;
      ::SendMessageA(tree.GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      chosen = tree.GetSelectedPath().GetString();
      ::SetDlgItemTextA(*d, IDC_ONESTEP_NAME, "Nowhere");
      lwtest::Press(d, IDOK);  // left open when refused: ended as not made
    });
    ::SendMessageA(Frame(), WM_COMMAND, ID_WIZARD_ONESTEP, 0);
    EXPECT_EQ(chosen, "");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Choose the folder the screen saver's pictures or movies are in (1. Select source folder).");
    EXPECT_EQ(wiztest::Settings().Text("OneStepPath"), SourceFolder());
    EXPECT_EQ(::GetFileAttributesA((projects.Path() + "Nowhere").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no project folder";
  }
}

TEST_F(OneStepRun, AnExistingProjectIsKeptWhenTheAnswerIsNo) {
  ASSERT_TRUE(wiztest::WritePicture(source.File("p.bmp"), 30, 20, RGB(1, 2, 3)));
  ASSERT_TRUE(::CreateDirectoryA((projects.Path() + "Kept").c_str(), nullptr));
  boxes.Script({IDNO});
  RunWizard("Kept", 9);
  ASSERT_GE(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0],
            "Project with this name already exists, do you want to overwrite existing folder with new data?");
  EXPECT_TRUE(finishedFolder.empty());
  EXPECT_FALSE(lwtest::FileExists(projects.Path() + "Kept\\Kept.fsd"));
}

// "Help" opens the one-step page of the help that the build puts beside
// the builder; the dialog stays until Cancel.
TEST_F(OneStepRun, HelpOpensItsPage) {
  lwtest::CDialogScript script([](CDialog* d) {
    if (d->GetTemplateId() != IDD_ONESTEP) return;
    lwtest::Press(d, IDC_ONESTEP_HELP);
    lwtest::Press(d, IDCANCEL);
  });
  ::SendMessageA(Frame(), WM_COMMAND, ID_WIZARD_ONESTEP, 0);
  EXPECT_EQ(script.Opened(), 1);
  ASSERT_EQ(shell.calls.size(), 1u);
  const std::string& opened = shell.calls[0].file;
  EXPECT_EQ(opened.substr(opened.rfind('\\') + 1), "OneStep.html");
  EXPECT_EQ(lwtest::HelpPageFault(opened, LW_BUILD_DIR "/builder/Help"), "");
}

}  // namespace
