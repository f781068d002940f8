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

#include <string>
#include <vector>

#include "builder/WizardHelperDialogs.h"
#include "framework/App.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"
#include "wizards/StandardWizard.h"
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

void Shoot(HWND hwnd, const char* name) {
  ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  ::SetWindowPos(hwnd, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::UpdateWindow(hwnd);
  lwtest::FlushEvents(300);
  EXPECT_TRUE(lwtest::SaveWindowShot(hwnd, std::string(LW_BUILD_DIR "/screenshots/") + name + ".bmp"));
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

// A folder typed without its final backslash still names the files inside it.
TEST_F(StandardWizardTest, Step1FolderTypedWithoutBackslashGetsOne) {
  const std::string typed = folder.Path() + "Savers";
  ASSERT_TRUE(lwtest::WriteAll(typed + "\\Taken.fsd", {1}) || true);
  lwtest::CRecordedBoxes boxes(IDOK);
  lwtest::CDialogScript script([&](CDialog* d) {
    Type(*d, IDC_WIZ1_FOLDER, typed.c_str());
    Type(*d, IDC_WIZ1_NAME, "Calm");
    lwtest::Press(d, IDOK);
  });
  CWizardProject project;
  CWizardStep1Dlg dialog(project, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  dialog.CopyTo(project);
  EXPECT_EQ(std::string(project.GetDocumentPath().GetString()), typed + "\\Calm.fsd");
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
