// Dialogs from templates and data exchange, answered through the init hook
// as a user would: type, click, press OK. A dialog whose set-up fails does
// not come up, and the answers a dialog gives reach the dialog manager in
// the form each message needs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Seams.h"
#include "tests/framework/CountedException.h"
#include "tests/framework/dialog_test_res.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/recorders.h"

namespace {

class ProbeDlg : public CDialog {
 public:
  ProbeDlg() : CDialog(IDD_PROBE) {}
  int number = 7;
  char name[16] = "start";
  int mute = 1;
  int choice = 2;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_NUMBER, number);
    DDV_MinMaxInt(dx, number, 1, 99);
    DDX_Text(dx, IDC_NAME, name, sizeof name);
    DDV_MaxChars(dx, name, 5);
    DDX_Check(dx, IDC_MUTE, mute);
    DDX_Radio(dx, IDC_ONE, choice);
  }
};

struct Script {
  std::vector<std::string> seen;  // what the dialog showed at start
  std::vector<int> focusAfterFailure;
  // Whether the focused field's whole text was selected then.
  std::vector<bool> selectedAfterFailure;
  void (*act)(CDialog*, Script*) = nullptr;
};

std::string Text(CDialog* d, int id) {
  char buf[64] = {};
  d->GetDlgItemText(id, buf, sizeof buf);
  return buf;
}

// Answers the dialogs with the script: notes what the dialog showed, then
// takes the script's steps.
struct HookScope {
  explicit HookScope(Script* s)
      : dialogs([s](CDialog* d) {
          s->seen = {Text(d, IDC_NUMBER), Text(d, IDC_NAME),
                     std::to_string(d->IsDlgButtonChecked(IDC_MUTE)),
                     std::to_string(d->IsDlgButtonChecked(IDC_THREE))};
          s->act(d, s);
        }) {}
  lwtest::CDialogScript dialogs;
};

TEST(Dialog, LoadsFieldsAndSavesThemOnOk) {
  Script s;
  s.act = [](CDialog* d, Script*) {
    d->SetDlgItemText(IDC_NUMBER, "42");
    d->SetDlgItemText(IDC_NAME, "abc");
    d->CheckDlgButton(IDC_MUTE, BST_UNCHECKED);
    d->CheckRadioButton(IDC_ONE, IDC_THREE, IDC_TWO);
    d->SendMessage(WM_COMMAND, IDOK, 0);
  };
  HookScope scope(&s);
  ProbeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(s.seen, (std::vector<std::string>{"7", "start", "1", "1"}));
  EXPECT_EQ(dlg.number, 42);
  EXPECT_STREQ(dlg.name, "abc");
  EXPECT_EQ(dlg.mute, 0);
  EXPECT_EQ(dlg.choice, 1);
}

// A failing field shows its message once and keeps the dialog open with the
// focus on it and its text selected; fixing it lets OK through.
TEST(Dialog, FailingFieldKeepsTheDialogOpenWithFocusOnIt) {
  struct Case {
    const char* number;
    const char* name;
    const char* message;
    int focus;
  };
  const Case kCases[] = {
      {"abc", "x", "Please enter an integer.", IDC_NUMBER},
      // Beyond what an int holds (and a 32-bit long): not taken as its bound.
      {"99999999999", "x", "Please enter an integer.", IDC_NUMBER},
      {"-99999999999", "x", "Please enter an integer.", IDC_NUMBER},
      {"2147483648", "x", "Please enter an integer.", IDC_NUMBER},
      {"150", "x", "Please enter an integer between 1 and 99.", IDC_NUMBER},
      {"5", "toolong", "Please enter no more than 5 characters.", IDC_NAME},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.message);
    lwtest::CRecordedBoxes sink;
    static const Case* current;
    current = &c;
    Script s;
    s.act = [](CDialog* d, Script* s) {
      d->SetDlgItemText(IDC_NUMBER, current->number);
      d->SetDlgItemText(IDC_NAME, current->name);
      d->SendMessage(WM_COMMAND, IDOK, 0);
      const lwtest::CFocusState focus = lwtest::FocusState();
      s->focusAfterFailure.push_back(focus.id);
      s->selectedAfterFailure.push_back(focus.WholeTextSelected() && focus.length > 0);
      d->SetDlgItemText(IDC_NUMBER, "5");
      d->SetDlgItemText(IDC_NAME, "ok");
      d->SendMessage(WM_COMMAND, IDOK, 0);
    };
    HookScope scope(&s);
    ProbeDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sink.texts, std::vector<std::string>{c.message});
    EXPECT_EQ(s.focusAfterFailure, std::vector<int>{c.focus});
    EXPECT_EQ(s.selectedAfterFailure, std::vector<bool>{true});
    EXPECT_EQ(dlg.number, 5);
  }
}

// A field the user cannot reach, its control disabled or hidden, is
// neither read back nor checked on OK: its member keeps what it held, even
// a value its check would refuse, whatever the control came to show. A
// radio group counts as reachable while one of its buttons is.
TEST(Dialog, AFieldTheUserCannotReachKeepsItsValueUnchecked) {
  struct Case {
    const char* name;
    std::vector<int> ids;  // the controls put out of reach
    bool hide;
    int number;
    const char* text;
    int mute, choice;
  };
  static const Case kCases[] = {
      {"number disabled", {IDC_NUMBER}, false, 150, "abc", 0, 1},
      {"number hidden", {IDC_NUMBER}, true, 150, "abc", 0, 1},
      {"name disabled", {IDC_NAME}, false, 42, "start", 0, 1},
      {"check box hidden", {IDC_MUTE}, true, 42, "abc", 1, 1},
      {"whole group disabled", {IDC_ONE, IDC_TWO, IDC_THREE}, false, 42, "abc", 0, 2},
      {"one button of the group disabled", {IDC_THREE}, false, 42, "abc", 0, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    lwtest::CRecordedBoxes boxes;
    static const Case* current;
    current = &c;
    Script s;
    s.act = [](CDialog* d, Script*) {
      d->SetDlgItemText(IDC_NUMBER, "42");
      d->SetDlgItemText(IDC_NAME, "abc");
      d->CheckDlgButton(IDC_MUTE, BST_UNCHECKED);
      d->CheckRadioButton(IDC_ONE, IDC_THREE, IDC_TWO);
      for (int id : current->ids) {
        const HWND control = d->GetDlgItem(id);
        if (current->hide)
          ShowWindow(control, SW_HIDE);
        else
          EnableWindow(control, FALSE);
        // What the user could not have typed there, and would be refused.
        if (id == IDC_NUMBER) d->SetDlgItemText(id, "abc");
        if (id == IDC_NAME) d->SetDlgItemText(id, "toolong");
      }
      d->SendMessage(WM_COMMAND, IDOK, 0);
    };
    HookScope scope(&s);
    ProbeDlg dlg;
    dlg.number = 150;  // outside 1..99
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    EXPECT_EQ(dlg.number, c.number);
    EXPECT_STREQ(dlg.name, c.text);
    EXPECT_EQ(dlg.mute, c.mute);
    EXPECT_EQ(dlg.choice, c.choice);
  }
}

// A value the check refused does not stay in the member: when the field is
// then closed instead of mended, OK keeps what the member held before.
TEST(Dialog, ARefusedValueDoesNotStayWhenItsFieldIsClosed) {
  lwtest::CRecordedBoxes boxes;
  Script s;
  s.act = [](CDialog* d, Script*) {
    d->SetDlgItemText(IDC_NUMBER, "150");
    d->SendMessage(WM_COMMAND, IDOK, 0);
    EnableWindow(d->GetDlgItem(IDC_NUMBER), FALSE);
    d->SendMessage(WM_COMMAND, IDOK, 0);
  };
  HookScope scope(&s);
  ProbeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Please enter an integer between 1 and 99."});
  EXPECT_EQ(dlg.number, 7);
}

TEST(Dialog, CancelLeavesTheFieldsAlone) {
  Script s;
  s.act = [](CDialog* d, Script*) {
    d->SetDlgItemText(IDC_NUMBER, "55");
    d->SendMessage(WM_COMMAND, IDCANCEL, 0);
  };
  HookScope scope(&s);
  ProbeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.number, 7);
}

class FailingDlg : public CDialog {
 public:
  FailingDlg() : CDialog(IDD_PROBE) {}

 protected:
  bool OnInitDialog() override { throw new CCountedException; }
};

TEST(Dialog, AnExceptionInItsSetUpKeepsTheDialogDown) {
  bool hookCalled = false;
  CDialog::SetInitHook([](CDialog*, void* called) { *static_cast<bool*>(called) = true; },
                       &hookCalled);
  lwtest::CRecordedTrace trace;
  {
    FailingDlg modal;
    EXPECT_EQ(modal.DoModal(), -1);
  }
  {
    FailingDlg modeless;
    EXPECT_FALSE(modeless.Create());
    EXPECT_EQ(modeless.GetSafeHwnd(), nullptr);
  }
  CDialog::SetInitHook(nullptr, nullptr);
  EXPECT_FALSE(hookCalled);
  EXPECT_EQ(CCountedException::Live(), 0);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>(2, "Handler of message 0x0110: Counted failure."));
}

// A control's object that colours its control: the dialog hands the brush
// back as WM_CTLCOLOR* needs it, not through DWLP_MSGRESULT.
TEST(Dialog, AControlsObjectColoursItThroughTheDialog) {
  class Colouring : public CWnd {
   protected:
    bool OnChildNotify(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
      if (msg != WM_CTLCOLOREDIT) return false;
      *result = reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH));
      return true;
    }
  };
  struct Seen {
    LRESULT coloured = 0;
    LRESULT other = 0;
  } seen;
  CDialog::SetInitHook(
      [](CDialog* d, void* context) {
        auto* seen = static_cast<Seen*>(context);
        Colouring edit;
        ASSERT_TRUE(edit.SubclassWindow(d->GetDlgItem(IDC_NUMBER)));
        HDC dc = GetDC(edit);
        seen->coloured = d->SendMessage(WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)edit.GetSafeHwnd());
        seen->other = d->SendMessage(WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)d->GetDlgItem(IDC_NAME));
        ReleaseDC(edit, dc);
        edit.UnsubclassWindow();
        d->EndDialog(IDCANCEL);
      },
      &seen);
  ProbeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  CDialog::SetInitHook(nullptr, nullptr);
  EXPECT_EQ(seen.coloured, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
  EXPECT_NE(seen.other, seen.coloured) << "the other edit keeps the dialog manager's colour";
}

// A dialog that looks at things once its modal loop runs (InLoop, at a
// message posted in its set-up); a timer keeps a stuck loop bounded.
class InLoopDlg : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  virtual void InLoop() = 0;
  bool OnInitDialog() override {
    const bool result = CDialog::OnInitDialog();
    PostMessage(WM_APP);
    SetTimer(1, 5000);
    return result;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP) {
      InLoop();
      return 0;
    }
    if (msg == WM_TIMER) {
      EndDialog(-2);
      return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
  }
};

// The modal loop disables the dialog's owner while it runs and enables it
// again when the dialog ends; a child given as parent stands for its
// top-level window.
class LoopDlg : public InLoopDlg {
 public:
  LoopDlg(HWND parent, HWND watched) : InLoopDlg(IDD_PROBE, parent), m_watched(watched) {}
  int enabledDuringLoop = -1;
  HWND ownerDuringLoop = nullptr;

 protected:
  void InLoop() override {
    enabledDuringLoop = ::IsWindowEnabled(m_watched) ? 1 : 0;
    ownerDuringLoop = ::GetWindow(m_hWnd, GW_OWNER);
    EndDialog(IDOK);
  }

 private:
  HWND m_watched;
};

TEST(Dialog, ModalLoopDisablesTheOwnerUntilTheDialogEnds) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 10, 10, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(owner && child);
  const struct {
    const char* name;
    HWND parent;
  } kCases[] = {{"the owner itself", owner}, {"a child of the owner", child}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    LoopDlg dlg(c.parent, owner);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.enabledDuringLoop, 0);
    EXPECT_EQ(dlg.ownerDuringLoop, owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
  }
  DestroyWindow(owner);
}

// An application that sees every message its loop would hand on.
class FilteringApp : public CWinApp {
 public:
  FilteringApp() : CWinApp("DialogTest") {}
  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN) keysSeen.push_back(msg->hwnd);
    return CWinApp::PreTranslateMessage(msg);
  }
  std::vector<HWND> keysSeen;
};

// Posts keys once the modal loop runs: Esc to the window outside the
// dialog, then Tab and Esc to the dialog's fields.
class KeysInLoopDlg : public InLoopDlg {
 public:
  KeysInLoopDlg(HWND owner, HWND outside) : InLoopDlg(IDD_PROBE, owner), m_outside(outside) {}
  int focusAfterTab = 0;

 protected:
  void InLoop() override {
    ::SetFocus(GetDlgItem(IDC_NUMBER));
    ::PostMessageA(m_outside, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageA(GetDlgItem(IDC_NUMBER), WM_KEYDOWN, VK_TAB, 1);
    // Looked at after the Tab, before the Esc.
    ::PostMessageA(m_hWnd, WM_APP + 1, 0, 0);
    ::PostMessageA(GetDlgItem(IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 1);
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP + 1) {
      focusAfterTab = ::GetDlgCtrlID(::GetFocus());
      return 0;
    }
    return InLoopDlg::WindowProc(msg, wp, lp);
  }

 private:
  HWND m_outside;
};

// The modal loop lets the application filter the messages of the thread's
// other windows, as the program's own loop does, while the dialog keeps
// its own keys: Tab moves on, Esc cancels.
TEST(Dialog, TheModalLoopLetsOtherWindowsTakeTheirKeysAndKeepsTheDialogsOwn) {
  FilteringApp app;
  lwtest::CKeyTakingWindow owner, outside;
  ASSERT_TRUE(owner.IsWindow() && outside.IsWindow());
  KeysInLoopDlg dlg(owner.GetSafeHwnd(), outside.GetSafeHwnd());
  EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "Esc in the dialog cancels it";
  EXPECT_EQ(dlg.focusAfterTab, IDC_NAME) << "Tab moves to the next field";
  EXPECT_EQ(outside.taken, std::vector<WPARAM>{VK_ESCAPE});
  EXPECT_EQ(outside.dispatched, 0) << "a key taken is not dispatched";
  EXPECT_EQ(app.keysSeen, std::vector<HWND>{outside.GetSafeHwnd()})
      << "the dialog's own keys are the dialog manager's";
  EXPECT_TRUE(owner.taken.empty()) << "the disabled owner takes nothing";
}

// Radio groups count their radio buttons in tab order (the template's), not
// by id, and skip other controls inside the group.
class KeysDlg : public CDialog {
 public:
  KeysDlg() : CDialog(IDD_KEYS) {}
  int keys = -1;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Radio(dx, IDC_KEY_ENTER, keys); }
};

TEST(Dialog, RadioGroupsCountInTabOrder) {
  const int kOrder[] = {IDC_KEY_ENTER, IDC_KEY_F12, IDC_KEY_SPACE, IDC_KEY_ANY};
  for (int index = 0; index < 4; ++index) {
    SCOPED_TRACE(index);
    static int checkedAtStart;
    static int pressId;
    checkedAtStart = 0;
    pressId = kOrder[(index + 1) % 4];
    lwtest::CDialogScript script([](CDialog* d) {
      for (int id = IDC_KEY_ENTER; id <= IDC_KEY_ANY; ++id)
        if (d->IsDlgButtonChecked(id)) checkedAtStart = id;
      for (int id = IDC_KEY_ENTER; id <= IDC_KEY_ANY; ++id)
        d->CheckDlgButton(id, id == pressId ? BST_CHECKED : 0);
      lwtest::Press(d, IDOK);
    });
    KeysDlg dlg;
    dlg.keys = index;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(checkedAtStart, kOrder[index]);
    EXPECT_EQ(dlg.keys, (index + 1) % 4);
  }
  // None checked reads back as -1.
  lwtest::CDialogScript script([](CDialog* d) {
    for (int id = IDC_KEY_ENTER; id <= IDC_KEY_ANY; ++id) d->CheckDlgButton(id, BST_UNCHECKED);
    lwtest::Press(d, IDOK);
  });
  KeysDlg dlg;
  dlg.keys = 2;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.keys, -1);
}

}  // namespace
