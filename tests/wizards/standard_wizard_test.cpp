// The Standard wizard's driver and its first steps through real dialogs,
// answered as a user would: the order of the steps, step 1's rules (the
// kinds of material, a name already taken, the folder's final backslash
// and its whole path made), step 2A's folder load (the order of the
// patterns, the "ImageLimit" question, unreadable pictures left out and
// told once, a load cancelled part way), the per-process load events, and
// a screenshot of each step.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/controls/BuilderMessages.h"
#include "builder/StartDialogs.h"
#include "wizards/WizardHelperDialogs.h"
#include "builder/resource.h"
#include "framework/DocView.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "tests/builder/builder_run.h"
#include "wizards/SaverMaker.h"
#include "framework/App.h"
#include "tests/support/dialog_hook.h"
#include "framework/Files.h"
#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "wizards/StandardWizard.h"
#include "wizards/WizardPagesResource.h"
#include "wizards/WizardStep3.h"
#include "wizards/WizardSteps.h"
#include "wizards/WizardStepsResource.h"

namespace {

testing::Environment* const kPrivateProfile =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

const lwtest::CRegKeyPath kSettings{HKEY_CURRENT_USER,
                                    "Software\\Lumenweave Tests\\StandardWizardTest\\Settings"};

std::string ItemText(HWND dialog, int id) {
  char text[600] = "";
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// A step as the screen shows it, in build/screenshots for a person to look at.
void Shoot(HWND hwnd, const char* name) {
  EXPECT_TRUE(lwtest::ShowAndShoot(hwnd, LW_BUILD_DIR "/screenshots", name));
}

// Types into an edit as a user would: the text and its EN_CHANGE (which a
// multi-line edit does not send for a text set from outside).
void Type(HWND dialog, int id, const char* text) {
  HWND edit = ::GetDlgItem(dialog, id);
  ::SetWindowTextA(edit, text);
  if (::GetWindowLongA(edit, GWL_STYLE) & ES_MULTILINE)
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
}

void Click(CDialog* d, int id) {
  HWND button = ::GetDlgItem(*d, id);
  ::SendMessageA(button, BM_CLICK, 0, 0);
}

// A small picture file.
void WritePicture(const std::string& path, COLORREF colour) {
  ASSERT_TRUE(lwtest::WriteAll(path, lwtest::MakeSolidBmpFile(4, 3, colour)));
}

class StandardWizardTest : public testing::Test {
 protected:
  StandardWizardTest() {
    app.SetRegistryKey("Lumenweave Tests");
    kSettings.DeleteTree();
  }
  ~StandardWizardTest() override { kSettings.DeleteTree(); }

  CWinApp app{"StandardWizardTest"};
  lwtest::CTempFolder folder{"stdwizard"};
};

}  // namespace

// ---- the step order -----------------------------------------------------------

TEST(WizardStepOrder, NextPreviousAndCancelFromEveryStep) {
  struct Case {
    int step, result, images, media, texts, next;
  } cases[] = {
      {kWizardStep1, kStepNext, 1, 0, 0, kWizardStep2A},
      {kWizardStep1, kStepCancel, 1, 0, 0, kWizardCancelled},
      {kWizardStep2A, kStepNext, 1, 0, 0, kWizardStep2B},
      {kWizardStep2A, kStepSkipped, 0, 1, 0, kWizardStep2B},
      {kWizardStep2A, kStepPrevious, 1, 1, 1, kWizardStep1},
      {kWizardStep2B, kStepPrevious, 1, 1, 0, kWizardStep2A},
      {kWizardStep2B, kStepPrevious, 0, 1, 0, kWizardStep1},
      {kWizardStep2C, kStepPrevious, 1, 0, 1, kWizardStep2A},
      {kWizardStep2C, kStepPrevious, 0, 1, 1, kWizardStep2B},
      {kWizardStep2C, kStepCancel, 0, 1, 1, kWizardCancelled},
      {kWizardStep3, kStepPrevious, 1, 0, 0, kWizardStep2A},
      {kWizardStep3, kStepPrevious, 0, 0, 1, kWizardStep2C},
      {kWizardStep3, kStepPrevious, 0, 1, 0, kWizardStep2B},
      {kWizardStep3, kStepPrevious, 0, 0, 0, kWizardStep1},
      {kWizardStep3, kStepNext, 1, 1, 1, kWizardFinished},
      {kWizardStep3, kStepCancel, 1, 1, 1, kWizardCancelled},
      {kWizardStep3, -1, 1, 1, 1, kWizardCancelled},
      {kWizardStep1, 0, 1, 0, 0, kWizardCancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "step " << c.step << " result " << c.result << " flags "
                                    << c.images << c.media << c.texts);
    CWizardProject p;
    p.m_useImages = c.images;
    p.m_useMedia = c.media;
    p.m_useTexts = c.texts;
    EXPECT_EQ(NextWizardStep(c.step, c.result, p), c.next);
  }
}

// ---- rules of step 2A ----------------------------------------------------------

TEST(WizardFolderImages, PatternsInTheirOrderAndTheLimitKeepsTheFirst) {
  lwtest::CTempFolder folder{"stdwizfolder"};
  WritePicture(folder.File("b.jpg"), RGB(1, 2, 3));
  WritePicture(folder.File("c.pcx"), RGB(1, 2, 3));
  WritePicture(folder.File("d.tga"), RGB(1, 2, 3));
  WritePicture(folder.File("a.png"), RGB(1, 2, 3));
  WritePicture(folder.File("z.bmp"), RGB(1, 2, 3));
  WritePicture(folder.File("notes.txt"), RGB(1, 2, 3));
  ::CreateDirectoryA(folder.File("sub.bmp").c_str(), nullptr);
  std::string base = folder.Path().substr(0, folder.Path().size() - 1);
  CStringArray paths;
  CollectFolderImages(base.c_str(), paths);
  std::vector<std::string> got;
  for (int i = 0; i < paths.GetSize(); ++i) got.push_back(paths.GetAt(i).GetString());
  const std::vector<std::string> expected = {base + "\\z.bmp", base + "\\b.jpg", base + "\\a.png",
                                             base + "\\d.tga", base + "\\c.pcx"};
  EXPECT_EQ(got, expected);
  KeepFirstPaths(paths, 2);
  ASSERT_EQ(paths.GetSize(), 2);
  EXPECT_EQ(std::string(paths.GetAt(1).GetString()), base + "\\b.jpg");
  KeepFirstPaths(paths, 5);
  EXPECT_EQ(paths.GetSize(), 2);
}

TEST(WizardFolderImages, AFolderAndPicturesNamedOutsideTheCodePageAreReadByTheirShortNames) {
  lwtest::CTempFolder folder{"stdwizwide"};
  const std::wstring photos = lwtest::Widen(folder.Path()) + L"\u5199\u771f";
  ASSERT_TRUE(::CreateDirectoryW(photos.c_str(), nullptr));
  const lwtest::Bytes bytes = {'B', 'M', 7};
  ASSERT_TRUE(lwtest::WriteAllWide(photos + L"\\\u4e2d\u6587.jpg", bytes));
  CString base;
  ASSERT_TRUE(AnsiPathFromWide(photos.c_str(), base));
  CStringArray paths;
  CollectFolderImages(base, paths);
  ASSERT_EQ(paths.GetSize(), 1);
  EXPECT_EQ(lwtest::ReadAll(paths.GetAt(0).GetString()), bytes) << paths.GetAt(0).GetString();
}

TEST(WizardFolderImages, ADriveRootGetsOneBackslash) {
  CStringArray paths;
  CollectFolderImages("Q:\\", paths);  // no such drive: nothing, and no "Q:\\\\" searched
  EXPECT_EQ(paths.GetSize(), 0);
  char windows[MAX_PATH] = "";
  ::GetWindowsDirectoryA(windows, sizeof windows);
  std::string root = std::string(windows, 2) + "\\";
  lwtest::CTempFolder folder{"stdwizroot"};
  // Whatever the root holds, every path has one backslash after the colon.
  CollectFolderImages(root.c_str(), paths);
  for (int i = 0; i < paths.GetSize(); ++i) {
    SCOPED_TRACE(paths.GetAt(i).GetString());
    EXPECT_EQ(std::string(paths.GetAt(i).GetString()).substr(0, 3), root);
    EXPECT_NE(paths.GetAt(i)[3], '\\');
  }
}

TEST(WizardLoadEvents, AreNamedPerProcess) {
  const std::string images = LoadEventName(false).GetString();
  const std::string media = LoadEventName(true).GetString();
  const std::string pid = std::to_string(::GetCurrentProcessId());
  EXPECT_EQ(images, "LoadImages-" + pid);
  EXPECT_EQ(media, "LoadMedia-" + pid);
}

// ---- step 1 ----------------------------------------------------------------

TEST_F(StandardWizardTest, Step1NextNeedsANameAndOneKindOfMaterial) {
  lwtest::CRecordedBoxes boxes(IDOK);
  bool emptyName = true, afterName = false, noKinds = true, oneKind = false;
  lwtest::CDialogScript script([&](CDialog* d) {
    emptyName = Enabled(*d, IDOK) || Enabled(*d, IDC_WIZ1_IMAGES);
    Type(*d, IDC_WIZ1_NAME, "Holiday");
    afterName = Enabled(*d, IDOK) && Enabled(*d, IDC_WIZ1_MAKE_EXE);
    Click(d, IDC_WIZ1_IMAGES);  // off: none of the three is checked
    noKinds = Enabled(*d, IDOK);
    Click(d, IDC_WIZ1_TEXTS);
    oneKind = Enabled(*d, IDOK);
    Shoot(*d, "wizard_step1");
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  project.m_folder = folder.Path().c_str();
  CWizardStep1Dlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_FALSE(emptyName);
  EXPECT_TRUE(afterName);
  EXPECT_FALSE(noKinds);
  EXPECT_TRUE(oneKind);
  dialog.CopyTo(project);
  EXPECT_STREQ(project.m_name, "Holiday");
  EXPECT_EQ(project.m_useImages, 0);
  EXPECT_EQ(project.m_useTexts, 1);
  EXPECT_TRUE(boxes.texts.empty());
}

// Each step's "Help" opens the step's own page of the help that the build
// puts beside the builder.
TEST_F(StandardWizardTest, EveryStepsHelpOpensItsPage) {
  struct Case {
    const char* page;
    std::function<CDialog*(CWizardProject&)> make;
  } const cases[] = {
      {"wizard_step1.html", [](CWizardProject& p) { return new CWizardStep1Dlg(p, nullptr); }},
      {"wizard_step2a.html", [](CWizardProject& p) { return new CWizardStep2ADlg(p, nullptr); }},
      {"wizard_step2b.html", [](CWizardProject& p) { return new CWizardStep2BDlg(p, nullptr); }},
      {"wizard_step2c.html", [](CWizardProject& p) { return new CWizardStep2CDlg(p, nullptr); }},
      {"wizard_step3.html", [](CWizardProject& p) { return new CWizardStep3Dlg(p, nullptr); }},
  };
  lwtest::CRecordedBoxes boxes(IDYES);  // the exit question
  lwtest::CRecordedShell shell;
  lwtest::CDialogScript script([](CDialog* d) {
    lwtest::Press(d, IDC_WIZ_HELP);
    lwtest::Press(d, IDCANCEL);
  });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    shell.calls.clear();
    CWizardProject project;
    project.m_folder = folder.Path().c_str();
    std::unique_ptr<CDialog> step(c.make(project));
    EXPECT_EQ(step->DoModal(), IDCANCEL);
    ASSERT_EQ(shell.calls.size(), 1u);
    const std::string& opened = shell.calls[0].file;
    EXPECT_EQ(opened.substr(opened.rfind('\\') + 1), c.page);
    EXPECT_EQ(lwtest::HelpPageFault(opened, LW_BUILD_DIR "/builder/Help"), "");
  }
}

TEST_F(StandardWizardTest, Step1RefusesANameWhoseSaverExists) {
  ASSERT_TRUE(lwtest::WriteAll(folder.File("Taken.scr"), {1}));
  lwtest::CRecordedBoxes boxes(IDOK);
  bool nextAfterLeaving = true;
  lwtest::CDialogScript script([&](CDialog* d) {
    ::ShowWindow(*d, SW_SHOW);
    ::SetFocus(::GetDlgItem(*d, IDC_WIZ1_NAME));
    Type(*d, IDC_WIZ1_NAME, "Taken");
    ::SetFocus(::GetDlgItem(*d, IDC_WIZ1_FOLDER));  // leaves the name
    nextAfterLeaving = Enabled(*d, IDOK);
    lwtest::Press(d, IDOK);  // does nothing
    lwtest::FlushEvents(50);
  });
  CWizardProject project;
  project.m_folder = folder.Path().c_str();
  CWizardStep1Dlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), lwtest::CDialogScript::kLeftOpen);
  EXPECT_FALSE(nextAfterLeaving);
  ASSERT_GE(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "File already exists! \n(with extension fsd, scr or exe)");
  EXPECT_EQ(boxes.types[0] & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

// A folder typed without its final backslash still names the files inside
// it: a name taken inside the folder is refused, a free one ends the step
// with the folder's backslash between the two.
TEST_F(StandardWizardTest, Step1FolderTypedWithoutBackslashGetsOne) {
  const std::string typed = folder.Path() + "Savers";
  ASSERT_TRUE(::CreateDirectoryA(typed.c_str(), nullptr));
  ASSERT_TRUE(lwtest::WriteAll(typed + "\\Taken.fsd", {1}));
  lwtest::CRecordedBoxes boxes(IDOK);
  for (const char* name : {"Taken", "Calm"}) {
    SCOPED_TRACE(name);
    lwtest::CDialogScript script([&](CDialog* d) {
      Type(*d, IDC_WIZ1_FOLDER, typed.c_str());
      Type(*d, IDC_WIZ1_NAME, name);
      lwtest::Press(d, IDOK);
    });
    CWizardProject project;
    CWizardStep1Dlg dialog(project, nullptr);
    const bool taken = std::string(name) == "Taken";
    EXPECT_EQ(dialog.DoModal(), taken ? lwtest::CDialogScript::kLeftOpen : IDOK);
    if (taken) continue;
    dialog.CopyTo(project);
    EXPECT_EQ(std::string(project.GetDocumentPath().GetString()), typed + "\\Calm.fsd");
  }
}

// A name that cannot be a file name (a folder part, a stream, a wildcard,
// a device, a trailing dot or space) is refused with a message, and the
// step stays; a plain name goes on.
TEST_F(StandardWizardTest, Step1RefusesANameThatCannotBeAFileName) {
  const struct {
    const char* name;
    bool valid;
  } kNames[] = {{"a/b", false},    {"what?", false},  {"x:y", false},        {"a\\b", false},
                {"a*b", false},    {"say \"hi\"", false}, {"a<b", false},  {"a>b", false},
                {"a|b", false},    {"CON", false},    {"nul", false},        {"com1", false},
                {"LPT9", false},   {"aux.txt", false}, {"dot.", false},      {"space ", false},
                {"tab\t", false},  {"Calm", true},    {"My Saver 2", true},  {"a_b-c", true},
                {"console", true}, {"com10", true}};
  for (const auto& c : kNames) {
    SCOPED_TRACE(c.name);
    lwtest::CRecordedBoxes boxes(IDOK);
    lwtest::CDialogScript script([&](CDialog* d) {
      Type(*d, IDC_WIZ1_NAME, c.name);
      lwtest::Press(d, IDOK);
    });
    CWizardProject project;
    project.m_folder = folder.Path().c_str();
    CWizardStep1Dlg dialog(project, nullptr);
    EXPECT_EQ(dialog.DoModal(), c.valid ? IDOK : lwtest::CDialogScript::kLeftOpen);
    if (c.valid) {
      EXPECT_TRUE(boxes.texts.empty());
      continue;
    }
    // The refusal (again when the name is left as the dialog closes),
    // never "File already exists!" for a device found under that name.
    ASSERT_FALSE(boxes.texts.empty());
    for (const std::string& text : boxes.texts)
      EXPECT_NE(text.find("must be a valid file name"), std::string::npos) << text;
  }
}

TEST_F(StandardWizardTest, Step1CancelAsksAndEmptiesTheName) {
  lwtest::CRecordedBoxes boxes(IDNO);
  boxes.Script({IDNO, IDYES});
  lwtest::CDialogScript script([&](CDialog* d) {
    Type(*d, IDC_WIZ1_NAME, "Gone");
    lwtest::Press(d, IDCANCEL);  // No: stays
    lwtest::Press(d, IDCANCEL);  // Yes
  });
  CWizardProject project;
  project.m_folder = folder.Path().c_str();
  CWizardStep1Dlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  dialog.CopyTo(project);
  EXPECT_TRUE(project.m_name.IsEmpty());
  ASSERT_EQ(boxes.texts.size(), 2u);
  EXPECT_EQ(boxes.texts[0], "Are you sure you want to exit Wizard?");
  EXPECT_EQ(boxes.types[0], static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
}

// ---- the driver -------------------------------------------------------------

// The folder typed in step 1 is made with every missing level.
TEST_F(StandardWizardTest, RunMakesTheWholeFolderPathAndCancelDeletesTheItems) {
  const std::string deep = folder.Path() + "one\\two\\three";
  WritePicture(folder.File("pic.bmp"), RGB(200, 10, 10));
  lwtest::CRecordedBoxes boxes(IDYES);
  std::vector<UINT> steps;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    steps.push_back(d->GetTemplateId());
    if (d->GetTemplateId() == IDD_WIZARD_STEP1) {
      Type(*d, IDC_WIZ1_FOLDER, deep.c_str());
      Type(*d, IDC_WIZ1_NAME, "Deep");
      lwtest::Press(d, IDOK);
    } else if (d->GetTemplateId() == IDD_WIZARD_STEP2A) {
      auto* step = static_cast<CWizardStep2ADlg*>(d);
      step->m_pending.Add(folder.File("pic.bmp").c_str());
      step->LoadPending();
      EXPECT_EQ(step->m_images.GetSize(), 1);
      lwtest::Press(d, IDCANCEL);
    }
  });
  CStandardWizard wizard(nullptr);
  EXPECT_EQ(wizard.Run(folder.Path().c_str()), 1);
  EXPECT_EQ(steps, (std::vector<UINT>{IDD_WIZARD_STEP1, IDD_WIZARD_STEP2A}));
  const DWORD attributes = ::GetFileAttributesA(deep.c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(wizard.m_project.m_images.GetSize(), 0);
}

// A folder that cannot be made ends the wizard after step 1 with the
// system's message: nothing is collected for a folder nothing can be
// written to.
TEST_F(StandardWizardTest, AFolderThatCannotBeMadeEndsTheWizard) {
  ASSERT_TRUE(lwtest::WriteAll(folder.File("blocker"), {1}));
  const std::string impossible = folder.File("blocker") + "\\inner";
  lwtest::CRecordedBoxes boxes(IDYES);
  std::vector<UINT> steps;
  lwtest::CDialogScript script([&](CDialog* d) {
    steps.push_back(d->GetTemplateId());
    if (d->GetTemplateId() == IDD_WIZARD_STEP1) {
      Type(*d, IDC_WIZ1_FOLDER, impossible.c_str());
      Type(*d, IDC_WIZ1_NAME, "Nowhere");
      lwtest::Press(d, IDOK);
    } else {
      lwtest::Press(d, IDCANCEL);
    }
  });
  CStandardWizard wizard(nullptr);
  EXPECT_EQ(wizard.Run(folder.Path().c_str()), 1);
  EXPECT_EQ(steps, std::vector<UINT>{IDD_WIZARD_STEP1});
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Could not create directory!"});
}

TEST_F(StandardWizardTest, PreviousWalksBackOverThePagesThatAreOff) {
  lwtest::CRecordedBoxes boxes(IDYES);
  std::vector<UINT> steps;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    const UINT id = d->GetTemplateId();
    steps.push_back(id);
    if (id == IDD_WIZARD_STEP1) {
      if (steps.size() == 1) {
        Type(*d, IDC_WIZ1_NAME, "Walk");
        Click(d, IDC_WIZ1_TEXTS);  // images and texts, no media
        lwtest::Press(d, IDOK);
      } else {
        lwtest::Press(d, IDCANCEL);
      }
    } else if (id == IDD_WIZARD_STEP2C) {
      if (steps.size() == 3) {
        Shoot(*d, "wizard_step2c");
        lwtest::Press(d, IDC_WIZ_PREVIOUS);
      } else {
        lwtest::Press(d, IDC_WIZ_PREVIOUS);
      }
    } else if (id == IDD_WIZARD_STEP2A) {
      if (steps.size() == 2) {
        Shoot(*d, "wizard_step2a_empty");
        lwtest::Press(d, IDOK);
      } else {
        lwtest::Press(d, IDC_WIZ_PREVIOUS);
      }
    }
  });
  CStandardWizard wizard(nullptr);
  wizard.Run(folder.Path().c_str());
  EXPECT_EQ(steps, (std::vector<UINT>{IDD_WIZARD_STEP1, IDD_WIZARD_STEP2A, IDD_WIZARD_STEP2C,
                                      IDD_WIZARD_STEP2A, IDD_WIZARD_STEP1}));
}

// ---- step 2A: loading ---------------------------------------------------------

namespace {

// Step 2A that cancels the progress window after `cancelAfter` files, as
// the user's click on its Cancel would.
class CCancellingStep2A : public CWizardStep2ADlg {
 public:
  CCancellingStep2A(CWizardProject& p, int cancelAfter) : CWizardStep2ADlg(p, nullptr), m_after(cancelAfter) {}

 protected:
  void OnFileTried(int tried) override {
    if (tried != m_after) return;
    HWND progress = nullptr;
    lwtest::PumpUntil([&] {
      progress = ::FindWindowA(nullptr, "Loading images");
      return progress != nullptr;
    }, 10000);
    ASSERT_NE(progress, nullptr);
    ::SendMessageA(progress, WM_COMMAND, IDCANCEL, 0);
  }

 private:
  int m_after;
};

}  // namespace

TEST_F(StandardWizardTest, Step2AFolderOverTheLimitKeepsTheFirstAndDropsUnreadablePictures) {
  ASSERT_TRUE(kSettings.SetNumber("ImageLimit", 4));
  for (int i = 0; i < 5; ++i) WritePicture(folder.File("p" + std::to_string(i) + ".bmp"), RGB(i * 40, 0, 0));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("broken.jpg"), {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'g'}));
  lwtest::CRecordedBoxes boxes(IDOK);
  int limitAsked = 0;
  std::vector<std::string> lines;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    if (dynamic_cast<CFolderLimitDlg*>(d)) {
      ++limitAsked;
      lwtest::Press(d, IDOK);
      return;
    }
    auto* step = static_cast<CWizardStep2ADlg*>(d);
    // p0..p3 stay (the bmp files come first), p4 and broken.jpg go.
    EXPECT_TRUE(step->AddFolder(folder.Path().substr(0, folder.Path().size() - 1).c_str()));
    HWND list = ::GetDlgItem(*d, IDC_WIZ2A_LIST);
    for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
      char text[MAX_PATH] = "";
      ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines.push_back(text);
    }
    Shoot(*d, "wizard_step2a");
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  CWizardStep2ADlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  EXPECT_EQ(limitAsked, 1);
  EXPECT_EQ(project.m_images.GetSize(), 4);
  EXPECT_EQ(lines.size(), 4u);
  EXPECT_TRUE(boxes.texts.empty());
  boxes.texts.clear();

  // With the limit above the count, the broken picture is tried, left out
  // and told about once.
  ASSERT_TRUE(kSettings.SetNumber("ImageLimit", 40));
  lwtest::CDialogScript again([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    auto* step = static_cast<CWizardStep2ADlg*>(d);
    EXPECT_TRUE(step->AddFolder(folder.Path().substr(0, folder.Path().size() - 1).c_str()));
    EXPECT_EQ(step->m_dropped, 1);
    lwtest::Press(d, IDOK);
  });
  CWizardStep2ADlg second(project, nullptr);
  EXPECT_EQ(second.DoModal(), IDOK);
  second.CopyTo(project);
  EXPECT_EQ(project.m_images.GetSize(), 4 + 5);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "1 file(s) could not be read as pictures and were left out.");
  for (int i = 0; i < project.m_images.GetSize(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GT(project.GetImage(i)->m_pictureSize, 0u);
  }
}

TEST_F(StandardWizardTest, Step2ALoadCancelledAfterThreeFilesKeepsThree) {
  for (int i = 0; i < 10; ++i) WritePicture(folder.File("c" + std::to_string(i) + ".bmp"), RGB(0, i * 20, 0));
  lwtest::CRecordedBoxes boxes(IDOK);
  CWizardProject project;
  CCancellingStep2A dialog(project, 3);
  lwtest::CDialogScript script([&](CDialog* d) {
    if (d != &dialog) return;
    EXPECT_TRUE(dialog.AddFolder(folder.Path().substr(0, folder.Path().size() - 1).c_str()));
    lwtest::Press(d, IDOK);
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  EXPECT_EQ(project.m_images.GetSize(), 3);
  lwtest::FlushEvents(200);
  EXPECT_EQ(::FindWindowA(nullptr, "Loading images"), nullptr);
}

// ---- steps 2B and 2C -----------------------------------------------------------

TEST_F(StandardWizardTest, Step2BAndStep2CComeUpWithTheirLists) {
  lwtest::CRecordedBoxes boxes(IDYES);
  int texts = -1;
  std::string fontName;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (d->GetTemplateId() == IDD_WIZARD_STEP2B) {
      EXPECT_FALSE(Enabled(*d, IDC_WIZ2B_REMOVE));
      Shoot(*d, "wizard_step2b");
      lwtest::Press(d, IDOK);
    } else {
      texts = static_cast<int>(::SendDlgItemMessageA(*d, IDC_WIZ2C_LIST, LVM_GETITEMCOUNT, 0, 0));
      Type(*d, IDC_WIZ2C_TEXT, "Good night");
      fontName = ItemText(*d, IDC_WIZ2C_FONT_NAME);
      lwtest::Press(d, IDOK);
    }
  });
  CWizardProject project;
  project.m_useMedia = project.m_useTexts = 1;
  CWizardStep2BDlg media(project, nullptr);
  EXPECT_EQ(media.DoModal(), IDOK);
  media.CopyTo(project);
  CWizardStep2CDlg text(project, nullptr);
  EXPECT_EQ(text.DoModal(), IDOK);
  text.CopyTo(project);
  EXPECT_EQ(texts, 1);
  ASSERT_EQ(project.m_texts.GetSize(), 1);
  EXPECT_STREQ(project.GetText(0)->m_text, "Good night");
  EXPECT_EQ(project.GetText(0)->m_textColour, 0xFFFFFFu);
  EXPECT_EQ(project.GetText(0)->m_bkMode, 1);
  EXPECT_EQ(fontName.substr(0, 11), "Font name: ");
}

// ---- step 3 ------------------------------------------------------------------

namespace {

CWizardSequence* Sequence(int kind, int move, const char* name) {
  auto* s = new CWizardSequence(kind);
  s->m_move = move;
  if (kind == kSequenceText) {
    s->m_display.m_kind = 1;
    s->m_display.m_text = name;
  } else {
    s->m_display.m_displayName = name;
  }
  return s;
}

// A project with two pictures and one empty text, and seven sequences:
// Show, Show, Move, Text, Show, Show, Show.
void FillProject(CWizardProject& p) {
  p.m_useImages = p.m_useTexts = 1;
  for (const char* name : {"a.bmp", "b.bmp"}) {
    auto* image = new CImageTextObject;
    image->m_displayName = name;
    p.m_images.Add(image);
  }
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  p.m_texts.Add(text);
  p.m_sequences.Add(Sequence(kSequenceImage, 0, "s0"));
  p.m_sequences.Add(Sequence(kSequenceImage, 0, "s1"));
  p.m_sequences.Add(Sequence(kSequenceImage, 1, "m2"));
  p.m_sequences.Add(Sequence(kSequenceText, 0, "t3"));
  p.m_sequences.Add(Sequence(kSequenceImage, 0, "s4"));
  p.m_sequences.Add(Sequence(kSequenceImage, 0, "s5"));
  p.m_sequences.Add(Sequence(kSequenceImage, 0, "s6"));
}

std::vector<int> Selected(CWizardStep3Dlg& d) {
  std::vector<int> rows;
  for (int r = 0; r < d.GetRowCount(); ++r)
    if (d.IsRowSelected(r)) rows.push_back(r);
  return rows;
}

void SelectOnly(CWizardStep3Dlg& d, int row) {
  d.DeselectAll();
  d.SelectRow(row);
}

// As the list view does for a Ctrl+click before it tells its parent.
void ToggleRow(CWizardStep3Dlg& d, int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = d.IsRowSelected(row) ? 0 : LVIS_SELECTED;
  ::SendDlgItemMessageA(d, IDC_WIZ3_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

TEST(WizardStep3, PageSetFollowsTheMaterial) {
  struct Case {
    const char* name;
    int images, media, texts;  // items of each kind (texts: -1 one empty text)
    int useImages, useMedia, useTexts;
    int pages;
  } cases[] = {
      {"images on without pictures, nothing else", 0, 0, 0, 1, 0, 0, 1},
      {"one empty text gives no text page", 2, 0, -1, 1, 0, 1, 1},
      {"pictures, media and a text", 1, 1, 1, 1, 1, 1, 3},
      {"media off hides its page", 1, 1, 1, 1, 0, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CWizardProject p;
    p.m_useImages = c.useImages;
    p.m_useMedia = c.useMedia;
    p.m_useTexts = c.useTexts;
    for (int i = 0; i < c.images; ++i) p.m_images.Add(new CImageTextObject);
    for (int i = 0; i < c.media; ++i) p.m_mediaItems.Add(new CMediaObject);
    if (c.texts != 0) {
      auto* text = new CImageTextObject;
      text->m_kind = 1;
      if (c.texts > 0) text->m_text = "Hello";
      p.m_texts.Add(text);
    }
    int pages = -1;
    bool emptyPage = false;
    lwtest::CDialogScript script([&](CDialog* d) {
      auto* step = dynamic_cast<CWizardStep3Dlg*>(d);
      if (!step) return;
      pages = step->GetSheet().GetPageCount();
      emptyPage = dynamic_cast<CWizardPropertyPageEmpty*>(step->GetSheet().GetPage(0)) != nullptr;
      if (c.pages == 3) Shoot(*d, "wizard_step3_pages");
      step->EndDialog(IDOK);
    });
    CWizardStep3Dlg dialog(p, nullptr);
    dialog.DoModal();
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(emptyPage, c.images == 0 && c.media == 0 && c.texts <= 0);
  }
}

TEST(WizardStep3, CtrlShiftAndMoveRules) {
  lwtest::CRecordedBoxes boxes(IDOK);
  CWizardProject p;
  FillProject(p);
  std::vector<int> afterCtrl, afterShift, afterTwoUp, afterUp;
  std::vector<std::string> rowsAfterUp;
  lwtest::CDialogScript script([&](CDialog* dlg) {
    auto* step = dynamic_cast<CWizardStep3Dlg*>(dlg);
    if (!step) return;
    CWizardStep3Dlg& d = *step;
    // Ctrl+click on a Move row while a Show row is selected.
    SelectOnly(d, 0);
    ToggleRow(d, 2);
    d.OnRowClick(2, true, false);
    afterCtrl = Selected(d);
    // Shift+click from Image/Show row 0 to row 5.
    d.OnRowClick(5, false, true);
    afterShift = Selected(d);
    // Move up with two rows selected does nothing and says nothing.
    lwtest::Press(dlg, IDC_WIZ3_UP);
    afterTwoUp = Selected(d);
    // The first row cannot go up; row 4 goes up past the text.
    SelectOnly(d, 0);
    lwtest::Press(dlg, IDC_WIZ3_UP);
    SelectOnly(d, 4);
    lwtest::Press(dlg, IDC_WIZ3_UP);
    afterUp = Selected(d);
    for (int r = 0; r < d.GetRowCount(); ++r)
      rowsAfterUp.push_back(d.GetRowSequence(r)->m_display.m_displayName.GetString() +
                            std::string(d.GetRowSequence(r)->m_display.m_text.GetString()));
    Shoot(*dlg, "wizard_step3");
    dlg->EndDialog(IDOK);
  });
  CWizardStep3Dlg dialog(p, nullptr);
  dialog.DoModal();
  EXPECT_EQ(afterCtrl, (std::vector<int>{0}));
  EXPECT_EQ(afterShift, (std::vector<int>{0, 1, 4, 5}));
  EXPECT_EQ(afterTwoUp, afterShift);
  EXPECT_EQ(afterUp, (std::vector<int>{3}));
  EXPECT_EQ(rowsAfterUp, (std::vector<std::string>{"s0", "s1", "m2", "s4", "t3", "s5", "s6"}));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Cannot move first item up!");
}

namespace {

// The step's page of a kind.
CWizardSequencePage* PageOfKind(CWizardStep3Dlg& d, int kind) {
  for (int i = 0; i < d.GetSheet().GetPageCount(); ++i)
    if (auto* page = dynamic_cast<CWizardSequencePage*>(d.GetSheet().GetPage(i)))
      if (page->GetKind() == kind) return page;
  return nullptr;
}

// What a row holds, in a line.
std::string RowLine(const CWizardSequence& s) {
  return std::to_string(s.GetKind()) + "|" + s.m_display.m_displayName.GetString() + "|" +
         s.m_display.m_text.GetString() + "|hide " + std::to_string(s.m_hide);
}

}  // namespace

// A row that a Ctrl+click deselected is edited by no page any more: neither
// its own kind's page nor another page's change or "&Add sequence(s)"
// rewrites it.
TEST(WizardStep3, ARowDeselectedWithCtrlIsLeftAsItIs) {
  struct Case {
    const char* name;
    int pageKind;
    bool add;  // "&Add sequence(s)" with the first item; else Hide unchecked
  } const cases[] = {
      {"its own page changes", kSequenceImage, false},
      {"the text page changes", kSequenceText, false},
      {"the text page adds", kSequenceText, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lwtest::CRecordedBoxes boxes(IDOK);
    CWizardProject p;
    p.m_useImages = p.m_useTexts = 1;
    auto* image = new CImageTextObject;
    image->m_displayName = "a.bmp";
    p.m_images.Add(image);
    auto* text = new CImageTextObject;
    text->m_kind = 1;
    text->m_text = "Hello";
    p.m_texts.Add(text);
    p.m_sequences.Add(Sequence(kSequenceImage, 0, "a.bmp"));
    p.m_sequences.Add(Sequence(kSequenceText, 0, "Hello"));
    std::string before, after;
    int rows = 0;
    bool selected = true;
    lwtest::CDialogScript script([&](CDialog* dlg) {
      auto* step = dynamic_cast<CWizardStep3Dlg*>(dlg);
      if (!step) {
        lwtest::Press(dlg, IDOK);  // the insert dialog takes its first item
        return;
      }
      CWizardStep3Dlg& d = *step;
      // Flips "Hide image at the end of the sequence" on a page.
      auto flipHide = [](CDialog* page) {
        ::CheckDlgButton(*page, IDC_WZ_HIDE, ::IsDlgButtonChecked(*page, IDC_WZ_HIDE) ? BST_UNCHECKED : BST_CHECKED);
        lwtest::Press(page, IDC_WZ_HIDE);
      };
      SelectOnly(d, 0);
      CWizardSequencePage* imagePage = PageOfKind(d, kSequenceImage);
      ASSERT_NE(imagePage, nullptr);
      flipHide(imagePage);  // the selected row takes its page's edits
      before = RowLine(*d.GetRowSequence(0));
      ToggleRow(d, 0);
      d.OnRowClick(0, true, false);
      selected = d.IsRowSelected(0);
      CWizardSequencePage* page = PageOfKind(d, c.pageKind);
      ASSERT_NE(page, nullptr);
      d.GetSheet().SetActivePage(page);
      if (c.add)
        lwtest::Press(page, IDC_WZ_ADD);
      else
        flipHide(page);
      after = RowLine(*d.GetRowSequence(0));
      rows = d.GetRowCount();
      d.EndDialog(IDCANCEL);
    });
    CWizardStep3Dlg dialog(p, nullptr);
    dialog.DoModal();
    p.m_sequences.Copy(dialog.m_sequences);
    EXPECT_FALSE(selected);
    EXPECT_EQ(before, "0|a.bmp||hide 0");
    EXPECT_EQ(after, before);
    EXPECT_EQ(rows, c.add ? 3 : 2);
  }
}

// Finish with no sequence would make a saver that shows nothing: it is
// refused, with a message, before any question.
TEST(WizardStep3, FinishWithoutASequenceIsRefused) {
  lwtest::CRecordedBoxes boxes(IDNO);
  CWizardProject p;
  FillProject(p);
  p.m_sequences.DeleteAll();
  lwtest::CDialogScript script([&](CDialog* dlg) {
    if (dynamic_cast<CWizardStep3Dlg*>(dlg)) lwtest::Press(dlg, IDC_WIZ3_FINISH);
  });
  CWizardStep3Dlg dialog(p, nullptr);
  EXPECT_EQ(dialog.DoModal(), lwtest::CDialogScript::kLeftOpen) << "the step stays open";
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0],
            "Add at least one sequence before you finish: a screen saver without sequences shows "
            "only a black screen.");
}

// Enter ends the step through its default button, "&Finish", with its
// question; an OK that reaches the dialog any other way ends nothing.
TEST(WizardStep3, AnOkThatReachesTheStepEndsNothing) {
  lwtest::CRecordedBoxes boxes(IDYES);
  CWizardProject p;
  FillProject(p);
  lwtest::CDialogScript script([&](CDialog* dlg) {
    if (dynamic_cast<CWizardStep3Dlg*>(dlg)) lwtest::Press(dlg, IDOK);
  });
  CWizardStep3Dlg dialog(p, nullptr);
  EXPECT_EQ(dialog.DoModal(), lwtest::CDialogScript::kLeftOpen);
  EXPECT_TRUE(boxes.texts.empty()) << boxes.texts[0];
  EXPECT_EQ(dialog.m_sequences.GetSize(), 7);
}

// ---- through the builder's frame -------------------------------------------------

namespace {

const lwtest::CRegKeyPath kBuilderSettings{
    HKEY_CURRENT_USER, "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave\\Settings"};

// The frame with the builder's preview command taken away: the test counts
// it instead of opening the full-screen preview.
LRESULT CALLBACK CountPreviews(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_COMMAND && LOWORD(wp) == ID_SCENE_PREVIEW) {
    ++*reinterpret_cast<int*>(data);
    return 0;
  }
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

class StandardWizardFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kBuilderSettings.SetNumber("StartDlg", 1));
    ASSERT_TRUE(kBuilderSettings.SetText("WizardPath", folder.Path()));
    WritePicture(folder.File("one.bmp"), RGB(250, 0, 0));
    WritePicture(folder.File("two.bmp"), RGB(0, 0, 250));
    ASSERT_TRUE(run.Start(""));
    CSplashWnd::HideSplashScreen();
    frame = run.app->m_pMainWnd->GetSafeHwnd();
    ::SetWindowSubclass(frame, CountPreviews, 1, reinterpret_cast<DWORD_PTR>(&previews));
  }
  void TearDown() override {
    if (frame) ::RemoveWindowSubclass(frame, CountPreviews, 1);
    run.Stop();
    kBuilderSettings.DeleteTree();
  }

  // Step 1 names the saver, step 2A loads both pictures.
  void AnswerFirstSteps(CDialog* d, const char* name) {
    if (d->GetTemplateId() == IDD_WIZARD_STEP1) {
      Type(*d, IDC_WIZ1_NAME, name);
      Click(d, IDC_WIZ1_MAKE_EXE);
      lwtest::Press(d, IDOK);
    } else if (d->GetTemplateId() == IDD_WIZARD_STEP2A) {
      auto* step = static_cast<CWizardStep2ADlg*>(d);
      step->m_pending.Add(folder.File("one.bmp").c_str());
      step->m_pending.Add(folder.File("two.bmp").c_str());
      step->LoadPending();
      lwtest::Press(d, IDOK);
    }
  }

  // Two sequences: the first picture shown, the second moved.
  static void AddSequences(CWizardStep3Dlg& step) {
    const CObArray& images = step.GetItems(kSequenceImage);
    auto* show = new CWizardSequence(kSequenceImage);
    show->m_display.CopyFrom(*static_cast<CImageTextObject*>(images.GetAt(0)));
    step.AddRow(show);
    auto* move = new CWizardSequence(kSequenceImage);
    move->m_display.CopyFrom(*static_cast<CImageTextObject*>(images.GetAt(1)));
    move->m_move = 1;
    step.AddRow(move);
  }

  const CCommandList& Script() const { return g_pCommandPalette->GetCommands(); }

  lwtest::CTempFolder folder{"stdwizframe"};
  lwtest::CBuilderRun run;
  HWND frame = nullptr;
  int previews = 0;
};

}  // namespace

TEST_F(StandardWizardFrameTest, FinishWritesTheDocumentTheSaverAndTheInstaller) {
  lwtest::CRecordedBoxes boxes(IDYES);
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    if (auto* step = dynamic_cast<CWizardStep3Dlg*>(d)) {
      AddSequences(*step);
      lwtest::Press(d, IDC_WIZ3_FINISH);
      return;
    }
    AnswerFirstSteps(d, "Finale");
  });
  ::SendMessageA(frame, WM_COMMAND, ID_WIZARD_STANDARD, 0);

  const std::string base = folder.File("Finale");
  ASSERT_TRUE(lwtest::FileExists(base + ".fsd"));
  ASSERT_TRUE(lwtest::FileExists(base + ".scr"));
  ASSERT_TRUE(lwtest::FileExists(base + ".exe"));
  // What the writer makes from the saved document, byte for byte.
  CSaverMaker maker;
  ASSERT_TRUE(maker.MakeScr((base + "-expected.scr").c_str(), (base + ".fsd").c_str()));
  ASSERT_TRUE(maker.MakeInstaller((base + "-expected.exe").c_str(), (base + ".fsd").c_str()));
  EXPECT_TRUE(lwtest::ReadAll(base + ".scr") == lwtest::ReadAll(base + "-expected.scr"));
  EXPECT_TRUE(lwtest::ReadAll(base + ".exe") == lwtest::ReadAll(base + "-expected.exe"));

  // The document holds the generated script.
  ASSERT_GE(Script().GetSize(), 8);
  EXPECT_EQ(Script().GetCommand(0)->GetType(), kTypeComment);
  EXPECT_EQ(Script().GetCommand(1)->GetType(), kTypeImageText);
  EXPECT_EQ(Script().GetCommand(2)->GetType(), kTypeImageText);
  int shows = 0, moves = 0;
  for (int i = 0; i < Script().GetSize(); ++i) {
    shows += Script().GetCommand(i)->GetType() == kTypeShow;
    moves += Script().GetCommand(i)->GetType() == kTypeMove;
  }
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(moves, 1);
  ASSERT_FALSE(boxes.texts.empty());
  EXPECT_NE(std::find(boxes.texts.begin(), boxes.texts.end(),
                      "Wizard finished generating script succesfully."),
            boxes.texts.end());
}

// "Preview SS" saves the preview's script; going back or cancelling takes
// it away again, from the document and from the disk.
TEST_F(StandardWizardFrameTest, LeavingStep3AfterAPreviewRemovesThePreview) {
  for (int ending : {IDC_WIZ_PREVIOUS, IDCANCEL}) {
    SCOPED_TRACE(ending == IDCANCEL ? "Cancel" : "Previous");
    lwtest::CRecordedBoxes boxes(IDYES);
    bool savedForPreview = false;
    int scriptDuringPreview = 0, scriptAfter = -1;
    bool fileAfter = true;
    int steps3 = 0;
    previews = 0;
    const std::string name = ending == IDCANCEL ? "GlanceCancel" : "GlancePrevious";
    const std::string document = folder.File(name + ".fsd");
    lwtest::CDialogScript script([&](CDialog* d) {
      if (dynamic_cast<CLoadingDlg*>(d)) return;
      if (auto* step = dynamic_cast<CWizardStep3Dlg*>(d)) {
        ++steps3;
        AddSequences(*step);
        lwtest::Press(d, IDC_WIZ3_PREVIEW_SS);
        savedForPreview = lwtest::FileExists(document);
        scriptDuringPreview = Script().GetSize();
        lwtest::Press(d, ending);
        fileAfter = lwtest::FileExists(document);
        scriptAfter = Script().GetSize();
        return;
      }
      if (d->GetTemplateId() == IDD_WIZARD_STEP2A && steps3 > 0) {
        lwtest::Press(d, IDCANCEL);
        return;
      }
      AnswerFirstSteps(d, name.c_str());
    });
    ::SendMessageA(frame, WM_COMMAND, ID_WIZARD_STANDARD, 0);
    EXPECT_EQ(previews, 1);
    EXPECT_TRUE(savedForPreview);
    EXPECT_GT(scriptDuringPreview, 0);
    EXPECT_FALSE(fileAfter);
    EXPECT_EQ(scriptAfter, 0);
    EXPECT_EQ(Script().GetSize(), 0);
    EXPECT_FALSE(lwtest::FileExists(folder.File(name + ".scr")));
  }
}

// A make that fails is told with the writer's own message.
TEST_F(StandardWizardFrameTest, AFailedMakeShowsTheWritersMessage) {
  ASSERT_TRUE(kBuilderSettings.SetNumber("LastWizard", 2));
  lwtest::CRecordedBoxes boxes(IDYES);
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    if (auto* step = dynamic_cast<CWizardStep3Dlg*>(d)) {
      AddSequences(*step);
      // Something in the way of the installer.
      ::CreateDirectoryA(folder.File("Blocked.exe").c_str(), nullptr);
      lwtest::Press(d, IDC_WIZ3_FINISH);
      return;
    }
    AnswerFirstSteps(d, "Blocked");
  });
  ::SendMessageA(frame, WM_COMMAND, ID_WIZARD_STANDARD, 0);
  EXPECT_EQ(kBuilderSettings.Number("LastWizard", 9), 0u);
  EXPECT_TRUE(lwtest::FileExists(folder.File("Blocked.scr")));
  const auto failed = std::find_if(boxes.texts.begin(), boxes.texts.end(), [](const std::string& t) {
    return t.rfind("Screen saver cannot be created.\n\n", 0) == 0;
  });
  ASSERT_NE(failed, boxes.texts.end());
  EXPECT_GT(failed->size(), std::string("Screen saver cannot be created.\n\n").size());
}

// "No" at the wizard's save question drops the old script as the user
// chose: neither Preview SS nor Finish asks again, and the document holds
// only what the wizard generated.
TEST_F(StandardWizardFrameTest, NoAtTheSaveQuestionIsAskedOnceAndDropsTheOldScript) {
  auto* mine = new CCommentCommand;
  mine->m_text = "mine";
  SendCommandToFrame(frame, mine);
  lwtest::CRecordedBoxes boxes(IDOK);
  // No at the first question; Cancel at any later one.
  boxes.Script({IDNO, IDCANCEL, IDCANCEL, IDCANCEL});
  boxes.AnswerStartingWith("Are you sure you want to finish", IDYES);
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    if (auto* step = dynamic_cast<CWizardStep3Dlg*>(d)) {
      AddSequences(*step);
      lwtest::Press(d, IDC_WIZ3_PREVIEW_SS);
      lwtest::Press(d, IDC_WIZ3_FINISH);
      return;
    }
    AnswerFirstSteps(d, "Once");
  });
  ::SendMessageA(frame, WM_COMMAND, ID_WIZARD_STANDARD, 0);
  EXPECT_EQ(previews, 1);
  const auto questions = std::count_if(boxes.texts.begin(), boxes.texts.end(), [](const std::string& t) {
    return t.rfind("Save changes to ", 0) == 0;
  });
  EXPECT_EQ(questions, 1) << testing::PrintToString(boxes.texts);
  ASSERT_GT(Script().GetSize(), 0);
  const auto* first = dynamic_cast<const CCommentCommand*>(Script().GetCommand(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::string(first->m_text), "Wizard generated definitions of used objects");
  for (int i = 0; i < Script().GetSize(); ++i) {
    const auto* comment = dynamic_cast<const CCommentCommand*>(Script().GetCommand(i));
    EXPECT_FALSE(comment && comment->m_text == "mine") << "line " << i;
  }
  EXPECT_TRUE(lwtest::FileExists(folder.File("Once.scr")));
  EXPECT_NE(std::find(boxes.texts.begin(), boxes.texts.end(),
                      "Wizard finished generating script succesfully."),
            boxes.texts.end());
}

// A save that fails at Finish is told once, and the wizard stops there:
// no success message, no saver and no installer.
TEST_F(StandardWizardFrameTest, AFailedSaveAtFinishStopsWithoutSuccessOrSaver) {
  lwtest::CRecordedBoxes boxes(IDYES);
  const std::string document = folder.File("Unsaved.fsd");
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    if (auto* step = dynamic_cast<CWizardStep3Dlg*>(d)) {
      AddSequences(*step);
      // Something in the way of the document.
      ::CreateDirectoryA(document.c_str(), nullptr);
      lwtest::Press(d, IDC_WIZ3_FINISH);
      return;
    }
    AnswerFirstSteps(d, "Unsaved");
  });
  ::SendMessageA(frame, WM_COMMAND, ID_WIZARD_STANDARD, 0);
  const auto saveErrors = std::count_if(boxes.texts.begin(), boxes.texts.end(), [&](const std::string& t) {
    return t.rfind(document + "\n\n", 0) == 0;
  });
  EXPECT_EQ(saveErrors, 1) << testing::PrintToString(boxes.texts);
  for (const std::string& text : boxes.texts) {
    EXPECT_EQ(text.find("succesfully"), std::string::npos) << text;
    EXPECT_EQ(text.find("Screen saver cannot be created"), std::string::npos) << text;
  }
  EXPECT_FALSE(lwtest::FileExists(folder.File("Unsaved.scr")));
  EXPECT_FALSE(lwtest::FileExists(folder.File("Unsaved.exe")));
  if (CDocument* doc = CStandardWizard::GetDocument()) doc->SetModifiedFlag(false);
}

// ---- steps 2B and 2C: their rules ---------------------------------------------

TEST_F(StandardWizardTest, Step2BLeavesOutUnreadableFilesAndSaysSoOnce) {
  ASSERT_TRUE(lwtest::WriteAll(folder.File("note.mid"), lwtest::OneNoteMidi()));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("tone.wav"), lwtest::PcmWave({0, 100, -100, 0}, 8000, 1)));
  lwtest::CRecordedBoxes boxes(IDOK);
  std::vector<std::string> lines;
  lwtest::CDialogScript script([&](CDialog* d) {
    if (dynamic_cast<CLoadingDlg*>(d)) return;
    auto* step = static_cast<CWizardStep2BDlg*>(d);
    step->m_pending.Add(folder.File("note.mid").c_str());
    step->m_pending.Add(folder.File("missing.avi").c_str());
    step->m_pending.Add(folder.File("tone.wav").c_str());
    step->m_pending.Add(folder.File("gone.swf").c_str());
    step->LoadPending();
    HWND list = ::GetDlgItem(*d, IDC_WIZ2B_LIST);
    for (int i = 0; i < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
      char text[MAX_PATH] = "";
      ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      lines.push_back(text);
    }
    EXPECT_TRUE(Enabled(*d, IDC_WIZ2B_REMOVE));
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  CWizardStep2BDlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  ASSERT_EQ(project.m_mediaItems.GetSize(), 2);
  EXPECT_EQ(project.GetMedia(0)->m_kind, kMediaMidi);
  EXPECT_EQ(project.GetMedia(1)->m_kind, kMediaAudio);
  EXPECT_EQ(lines, (std::vector<std::string>{folder.File("note.mid"), folder.File("tone.wav")}));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "2 file(s) could not be read and were left out.");
}

TEST_F(StandardWizardTest, Step2CLeavesOutTheEmptyTextAddNewTextLeftBehind) {
  lwtest::CRecordedBoxes boxes(IDOK);
  int rows = -1;
  lwtest::CDialogScript script([&](CDialog* d) {
    Click(d, IDC_WIZ2C_ADD);
    Type(*d, IDC_WIZ2C_TEXT, "Beta");
    Click(d, IDC_WIZ2C_ADD);
    rows = static_cast<int>(::SendDlgItemMessageA(*d, IDC_WIZ2C_LIST, LVM_GETITEMCOUNT, 0, 0));
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  project.m_useTexts = 1;
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_text = "Alpha";
  project.m_texts.Add(text);
  CWizardStep2CDlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  EXPECT_EQ(rows, 3);
  ASSERT_EQ(project.m_texts.GetSize(), 2);
  EXPECT_STREQ(project.GetText(0)->m_text, "Alpha");
  EXPECT_STREQ(project.GetText(1)->m_text, "Beta");
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(StandardWizardTest, Step2CRemovingTheOnlyTextLeavesANewWhiteOnBlackOne) {
  lwtest::CRecordedBoxes boxes(IDOK);
  COLORREF shownColour = 1;
  int count = -1;
  lwtest::CDialogScript script([&](CDialog* d) {
    auto* step = static_cast<CWizardStep2CDlg*>(d);
    // The project's transparent white text is shown black.
    shownColour = step->m_working.m_textColour;
    // Select the only row, remove it.
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    ::SendDlgItemMessageA(*d, IDC_WIZ2C_LIST, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    Click(d, IDC_WIZ2C_REMOVE);
    count = static_cast<int>(::SendDlgItemMessageA(*d, IDC_WIZ2C_LIST, LVM_GETITEMCOUNT, 0, 0));
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_text = "Ghost";
  text->m_textColour = 0xFFFFFF;
  text->m_bkMode = 0;
  project.m_texts.Add(text);
  CWizardStep2CDlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  EXPECT_EQ(shownColour, 0u);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(project.m_texts.GetSize(), 1);
  EXPECT_TRUE(project.GetText(0)->m_text.IsEmpty());
  EXPECT_EQ(project.GetText(0)->m_textColour, 0xFFFFFFu);
  EXPECT_EQ(project.GetText(0)->m_bkColour, 0u);
  EXPECT_EQ(project.GetText(0)->m_bkMode, 1);
  EXPECT_TRUE(boxes.texts.empty());
}
