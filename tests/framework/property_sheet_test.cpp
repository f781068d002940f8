// Property sheets and pages through real windows: a wizard walked with its
// Back, Next and Finish buttons (the pages told when they are shown and
// left, the buttons each page asks for, a field that fails keeping its
// page, a page that refuses to be shown skipped, Next answered with a jump),
// Cancel asked of the page and told to every page shown, OK reading back
// every page shown, the result of a sheet ended from outside, commands of a
// page going on to the sheet's owner, and a sheet embedded in a window with
// pages added and removed while it is up.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/PropertySheet.h"
#include "tests/framework/property_sheet_test_res.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"

namespace {

// The sheet's own buttons.
enum : int {
  IDC_BACK = 0x3023,
  IDC_NEXT = 0x3024,
  IDC_FINISH = 0x3025,
};

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// A page that writes down what the sheet asks of it and answers as told.
class CLoggedPage : public CPropertyPage {
 public:
  CLoggedPage(UINT id, const char* name, DWORD buttons) : CPropertyPage(id), m_name(name), m_buttons(buttons) {}

  bool showable = true;
  LRESULT nextAnswer = 0;
  bool finishAllowed = true;
  bool cancelAllowed = true;

  bool OnSetActive() override {
    Note("set active");
    if (showable && GetSheet()->IsWizard()) GetSheet()->SetWizardButtons(m_buttons);
    return showable;
  }
  bool OnKillActive() override {
    Note("kill active");
    return CPropertyPage::OnKillActive();
  }
  bool OnApply() override {
    Note("apply");
    return CPropertyPage::OnApply();
  }
  void OnReset() override { Note("reset"); }
  bool OnQueryCancel() override {
    Note("query cancel");
    return cancelAllowed;
  }
  LRESULT OnWizardNext() override {
    Note("next");
    return nextAnswer;
  }
  LRESULT OnWizardBack() override {
    Note("back");
    return 0;
  }
  bool OnWizardFinish() override {
    Note("finish");
    return finishAllowed;
  }

 protected:
  void Note(const char* what) { Log().push_back(m_name + " " + what); }

 private:
  std::string m_name;
  DWORD m_buttons;
};

class CNumberPage : public CLoggedPage {
 public:
  CNumberPage() : CLoggedPage(IDD_NUMBER, "number", PSWIZB_NEXT) {}
  int count = 3;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_COUNT, count);
    DDV_MinMaxInt(dx, count, 1, 9);
  }
};

class CChoicePage : public CLoggedPage {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CChoicePage() : CLoggedPage(IDD_CHOICE, "choice", PSWIZB_BACK | PSWIZB_NEXT) {}
  int keep = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Check(dx, IDC_KEEP, keep); }
  bool OnMine(UINT) {
    Note("mine");
    return true;
  }
};

const CCommandEntry CChoicePage::commandEntries[] = {
    CommandEntry(IDC_MINE, &CChoicePage::OnMine),
};
LW_IMPLEMENT_COMMAND_TABLE(CChoicePage, CLoggedPage)

class CDonePage : public CLoggedPage {
 public:
  CDonePage() : CLoggedPage(IDD_DONE, "done", PSWIZB_BACK | PSWIZB_FINISH) {}
};

// The window the sheets belong to, with a table of its own.
class COwnerWnd : public CCmdWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  bool Create() {
    return CreateEx(0, RegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                    "owner", WS_POPUP | WS_VISIBLE, 20, 20, 420, 300, nullptr, 0);
  }

 protected:
  bool OnOwners(UINT) {
    Log().push_back("owner owner's");
    return true;
  }
};

const CCommandEntry COwnerWnd::commandEntries[] = {
    CommandEntry(IDC_OWNERS, &COwnerWnd::OnOwners),
};
LW_IMPLEMENT_COMMAND_TABLE(COwnerWnd, CCmdWnd)

// Three pages on a sheet owned by a window of the test.
class PropertySheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    ASSERT_TRUE(owner.Create());
  }

  // Runs the sheet; act answers it once it is up.
  INT_PTR Run(CPropertySheet& sheet, const std::function<void(CPropertySheet*)>& act) {
    sheet.AddPage(&number);
    sheet.AddPage(&choice);
    sheet.AddPage(&done);
    lwtest::CDialogScript script([&](CDialog* dialog) {
      auto* shown = dynamic_cast<CPropertySheet*>(dialog);
      ASSERT_NE(shown, nullptr);
      if (act) act(shown);
    });
    return sheet.DoModal();
  }

  static bool Shown(HWND sheet, int id) {
    HWND button = ::GetDlgItem(sheet, id);
    return button && ::IsWindowVisible(button) && ::IsWindowEnabled(button);
  }

  static void SetCount(CPropertySheet* sheet, const char* text) {
    ::SetDlgItemTextA(*sheet->GetPage(0), IDC_COUNT, text);
  }

  COwnerWnd owner;
  CNumberPage number;
  CChoicePage choice;
  CDonePage done;
};

TEST_F(PropertySheetTest, WizardWalksItsPagesWithTheButtonsEachPageAsksFor) {
  CPropertySheet sheet("Walk", owner);
  sheet.SetWizardMode();
  struct Seen {
    int page;
    bool back, next, finish;
  };
  std::vector<Seen> seen;
  const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
    auto look = [&] {
      seen.push_back({s->GetActiveIndex(), Shown(*s, IDC_BACK), Shown(*s, IDC_NEXT),
                      Shown(*s, IDC_FINISH)});
    };
    look();
    lwtest::Press(s, IDC_NEXT);
    look();
    lwtest::Press(s, IDC_BACK);
    look();
    lwtest::Press(s, IDC_NEXT);
    lwtest::Press(s, IDC_NEXT);
    look();
    lwtest::Press(s, IDC_FINISH);
  });
  EXPECT_EQ(result, CPropertySheet::kFinished);
  ASSERT_EQ(seen.size(), 4u);
  const Seen expected[] = {
      {0, false, true, false}, {1, true, true, false}, {0, false, true, false}, {2, true, false, true}};
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].page, expected[i].page);
    EXPECT_EQ(seen[i].back, expected[i].back);
    EXPECT_EQ(seen[i].next, expected[i].next);
    EXPECT_EQ(seen[i].finish, expected[i].finish);
  }
  // A button is offered to the page first; a page that lets it go is then
  // left.
  const std::vector<std::string> order = {
      "number set active", "number next",       "number kill active", "choice set active",
      "choice back",       "choice kill active", "number set active", "number next",
      "number kill active", "choice set active", "choice next",       "choice kill active",
      "done set active",   "done kill active",  "done finish"};
  EXPECT_EQ(Log(), order);
  EXPECT_FALSE(::IsWindow(sheet)) << "the sheet's window goes with DoModal";
  EXPECT_TRUE(::IsWindowEnabled(owner));
}

TEST_F(PropertySheetTest, AFieldThatFailsKeepsItsPageUntilItIsRight) {
  lwtest::CRecordedBoxes boxes;
  CPropertySheet sheet("Fields", owner);
  sheet.SetWizardMode();
  int pageAfterBad = -1, focusAfterBad = 0, pageAfterGood = -1;
  Run(sheet, [&](CPropertySheet* s) {
    SetCount(s, "12");
    lwtest::Press(s, IDC_NEXT);
    pageAfterBad = s->GetActiveIndex();
    focusAfterBad = lwtest::FocusState().id;
    SetCount(s, "7");
    lwtest::Press(s, IDC_NEXT);
    pageAfterGood = s->GetActiveIndex();
    lwtest::Press(s, IDCANCEL);
  });
  EXPECT_EQ(pageAfterBad, 0);
  EXPECT_EQ(focusAfterBad, IDC_COUNT);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Please enter an integer between 1 and 9.");
  EXPECT_EQ(pageAfterGood, 1);
  EXPECT_EQ(number.count, 7);
}

TEST_F(PropertySheetTest, PagesSteerTheWizard) {
  struct Case {
    const char* name;
    LRESULT nextAnswer;  // of the first page
    bool secondShowable;
    int landsOn;
  } cases[] = {
      {"next goes on", 0, true, 1},
      {"next refused", -1, true, 0},
      {"next jumps to a template", IDD_DONE, true, 2},
      {"a page that will not show is skipped", 0, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CNumberPage first;
    CChoicePage second;
    CDonePage third;
    first.nextAnswer = c.nextAnswer;
    second.showable = c.secondShowable;
    CPropertySheet sheet("Steer", owner);
    sheet.SetWizardMode();
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.AddPage(&third);
    int landed = -1;
    lwtest::CDialogScript script([&](CDialog*) {
      lwtest::Press(&sheet, IDC_NEXT);
      landed = sheet.GetActiveIndex();
      sheet.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
    EXPECT_EQ(landed, c.landsOn);
  }
}

TEST_F(PropertySheetTest, CancelAsksThePageShownAndTellsEveryPageShown) {
  done.cancelAllowed = false;
  CPropertySheet sheet("Cancel", owner);
  sheet.SetWizardMode();
  bool upAfterRefusal = false;
  const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
    lwtest::Press(s, IDC_NEXT);
    lwtest::Press(s, IDC_NEXT);
    Log().clear();
    lwtest::Press(s, IDCANCEL);
    upAfterRefusal = s->GetActiveIndex() == 2;
    done.cancelAllowed = true;
    lwtest::Press(s, IDCANCEL);
  });
  EXPECT_TRUE(upAfterRefusal);
  EXPECT_EQ(result, IDCANCEL);
  std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "done query cancel");
  EXPECT_EQ(log[1], "done query cancel");
  std::vector<std::string> resets(log.begin() + 2, log.end());
  std::sort(resets.begin(), resets.end());
  EXPECT_EQ(resets, (std::vector<std::string>{"choice reset", "done reset", "number reset"}));
}

TEST_F(PropertySheetTest, FinishRefusedByThePageKeepsTheWizardUp) {
  done.finishAllowed = false;
  CPropertySheet sheet("Finish", owner);
  sheet.SetWizardMode();
  bool stillUp = false;
  const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
    lwtest::Press(s, IDC_NEXT);
    lwtest::Press(s, IDC_NEXT);
    lwtest::Press(s, IDC_FINISH);
    stillUp = s->GetActiveIndex() == 2;
    s->EndDialog(77);
  });
  EXPECT_TRUE(stillUp);
  EXPECT_EQ(result, 77);
}

TEST_F(PropertySheetTest, OkReadsBackEveryPageShownAndTabsFollowTheFields) {
  CPropertySheet sheet("Tabs", owner);
  bool refused = false;
  int afterRefusal = -1;
  lwtest::CRecordedBoxes boxes;
  const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
    EXPECT_EQ(::GetDlgItem(*s, IDC_NEXT) && ::IsWindowVisible(::GetDlgItem(*s, IDC_NEXT)), false);
    SetCount(s, "0");
    refused = !s->SetActivePage(1);
    afterRefusal = s->GetActiveIndex();
    SetCount(s, "4");
    EXPECT_TRUE(s->SetActivePage(1));
    ::CheckDlgButton(*s->GetPage(1), IDC_KEEP, BST_CHECKED);
    Log().clear();
    lwtest::Press(s, IDOK);
  });
  EXPECT_TRUE(refused);
  EXPECT_EQ(afterRefusal, 0);
  EXPECT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(number.count, 4);
  EXPECT_EQ(choice.keep, 1);
  std::vector<std::string> log = Log();
  EXPECT_NE(std::find(log.begin(), log.end(), "number apply"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "choice apply"), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "done apply"), log.end()) << "never shown";
}

TEST_F(PropertySheetTest, ASheetEndedFromOutsideGivesItsResult) {
  {
    CPropertySheet sheet("Ended", owner);
    bool ownerDisabled = false;
    const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
      ownerDisabled = !::IsWindowEnabled(owner);
      s->EndDialog(42);
    });
    EXPECT_TRUE(ownerDisabled);
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(::IsWindowEnabled(owner));
  }
  {
    CNumberPage page;
    CPropertySheet sheet("Left open", owner);
    sheet.AddPage(&page);
    lwtest::CDialogScript script;
    EXPECT_EQ(sheet.DoModal(), lwtest::CDialogScript::kLeftOpen);
    EXPECT_EQ(script.Opened(), 1) << "pages are not answered apart from their sheet";
  }
}

// The sheet's loop lets the thread's other windows take their keys, as the
// program's own loop does, and keeps the sheet's: Esc on a page cancels.
TEST_F(PropertySheetTest, ItsLoopLetsOtherWindowsTakeTheirKeysAndKeepsItsOwn) {
  lwtest::CKeyTakingWindow outside;
  ASSERT_TRUE(outside.IsWindow());
  CPropertySheet sheet("Keys", owner);
  const INT_PTR result = Run(sheet, [&](CPropertySheet* s) {
    ::PostMessageA(outside, WM_KEYDOWN, VK_ESCAPE, 1);
    const HWND count = ::GetDlgItem(*s->GetPage(0), IDC_COUNT);
    ::SetFocus(count);
    ::PostMessageA(count, WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(outside.taken, std::vector<WPARAM>{VK_ESCAPE});
  EXPECT_EQ(outside.dispatched, 0);
}

TEST_F(PropertySheetTest, CommandsAPageLeavesGoToTheSheetsOwner) {
  CPropertySheet sheet("Commands", owner);
  Run(sheet, [&](CPropertySheet* s) {
    s->SetActivePage(1);
    Log().clear();
    lwtest::Press(s->GetPage(1), IDC_MINE);
    lwtest::Press(s->GetPage(1), IDC_OWNERS);
    s->EndDialog(IDCANCEL);
  });
  std::vector<std::string> log = Log();
  EXPECT_EQ(log, (std::vector<std::string>{"choice mine", "owner owner's"}));
}

TEST_F(PropertySheetTest, AnEmbeddedSheetIsAChildWithoutButtonsWhosePagesComeAndGo) {
  CPropertySheet sheet;
  sheet.AddPage(&number);
  sheet.AddPage(&choice);
  ASSERT_TRUE(sheet.Create(owner));
  ::SetWindowPos(sheet, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(::GetParent(sheet), owner.GetSafeHwnd());
  EXPECT_TRUE(sheet.GetStyle() & WS_CHILD);
  EXPECT_FALSE(sheet.GetStyle() & WS_CAPTION);
  EXPECT_TRUE(sheet.GetExStyle() & WS_EX_CONTROLPARENT);
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheet, IDOK)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheet, IDCANCEL)));
  // The sheet is as large as its tabs and its margins.
  RECT tab, whole;
  ::GetWindowRect(sheet.GetTabControl(), &tab);
  ::GetWindowRect(sheet, &whole);
  EXPECT_EQ(tab.left - whole.left, whole.right - tab.right);
  EXPECT_EQ(tab.top - whole.top, whole.bottom - tab.bottom);

  const HWND tabs = sheet.GetTabControl();
  EXPECT_EQ(TabCtrl_GetItemCount(tabs), 2);
  sheet.RemovePage(0);
  EXPECT_EQ(TabCtrl_GetItemCount(tabs), 1);
  EXPECT_EQ(number.GetSheet(), nullptr);
  EXPECT_FALSE(::IsWindow(number.GetSafeHwnd())) << "a removed page's window goes";
  sheet.AddPage(&done);
  sheet.AddPage(&number);
  EXPECT_EQ(TabCtrl_GetItemCount(tabs), 3);
  ASSERT_TRUE(sheet.SetActivePage(&number));
  EXPECT_EQ(sheet.GetActivePage(), &number);
  EXPECT_TRUE(::IsWindowVisible(number));
  char text[16] = "";
  ::GetDlgItemTextA(number, IDC_COUNT, text, sizeof text);
  EXPECT_STREQ(text, "3");

  lwtest::FlushEvents(100);
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  EXPECT_TRUE(lwtest::SaveWindowShot(owner, LW_BUILD_DIR "/screenshots/property_sheet_embedded.bmp"));
}

TEST_F(PropertySheetTest, Screenshots) {
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  CPropertySheet wizard("Wizard", owner);
  wizard.SetWizardMode();
  bool saved = false;
  Run(wizard, [&](CPropertySheet* s) {
    lwtest::Press(s, IDC_NEXT);
    lwtest::FlushEvents(100);
    saved = lwtest::SaveWindowShot(*s, LW_BUILD_DIR "/screenshots/property_sheet_wizard.bmp");
    s->EndDialog(IDCANCEL);
  });
  EXPECT_TRUE(saved);
}

// Templates from another module than the program's (as when resources are
// set elsewhere): pages added before and while the sheet is up find theirs
// there. The builder's empty sequence page serves as a template this
// program does not have.
TEST_F(PropertySheetTest, PagesFindTheirTemplatesWhereTheResourcesAre) {
  const HMODULE builder =
      ::LoadLibraryExA(LW_BUILD_DIR "/builder/Lumenweave.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(builder, nullptr);
  const UINT kEmptyPage = 324;
  CDialog::SetResourceInstance(builder);
  {
    CPropertyPage before(kEmptyPage, "Before"), during(kEmptyPage, "During");
    CPropertySheet sheet;
    sheet.AddPage(&before);
    const bool made = sheet.Create(owner);
    if (made) sheet.AddPage(&during);
    CDialog::SetResourceInstance(nullptr);
    ASSERT_TRUE(made);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(TabCtrl_GetItemCount(sheet.GetTabControl()), 2);
    EXPECT_TRUE(sheet.SetActivePage(&during));
    EXPECT_TRUE(::IsWindow(during.GetSafeHwnd()));
  }
  CDialog::SetResourceInstance(nullptr);
  ::FreeLibrary(builder);
}

// A sheet declared before its pages outlives them: each page leaves it as
// it goes, tab and all.
TEST_F(PropertySheetTest, PagesThatGoFirstLeaveTheSheet) {
  CPropertySheet sheet;
  auto first = std::make_unique<CNumberPage>();
  auto second = std::make_unique<CChoicePage>();
  sheet.AddPage(first.get());
  sheet.AddPage(second.get());
  ASSERT_TRUE(sheet.Create(owner));
  second.reset();
  EXPECT_EQ(sheet.GetPageCount(), 1);
  EXPECT_EQ(TabCtrl_GetItemCount(sheet.GetTabControl()), 1);
  EXPECT_EQ(sheet.GetPage(0), first.get());
  first.reset();
  EXPECT_EQ(sheet.GetPageCount(), 0);
}

}  // namespace
