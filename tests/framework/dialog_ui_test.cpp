// The builder's dialogs: a command table whose unhandled commands go on to
// the owner, the data exchange of the user interface layer with its
// messages word for word, control objects bound by the exchange, an
// owner-drawn button drawn by its own object through reflection, centring,
// and the thin control classes. Dialogs are answered through the dialog
// hook as a user would: set controls, send what a click sends, press OK.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Controls.h"
#include "framework/DialogUI.h"
#include "framework/Gdi.h"
#include "tests/framework/dialog_ui_test_res.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"

namespace {

// A control notification that no control sends by itself (an edit sends
// EN_CHANGE whenever the exchange fills it).
const UINT kPoke = 0x0F00;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// The window that owns the dialogs: a window of the user interface layer
// with a table of its own.
class COwnerWnd : public CCmdWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  bool Create() {
    return CreateEx(0, RegisterWndClass(0), "owner", WS_POPUP, 0, 0, 100, 100, nullptr, 0);
  }

 protected:
  bool OnMine(UINT) { return Took("owner mine"); }
  bool OnTheirs(UINT) { return Took("owner theirs"); }
  bool OnOk(UINT) { return Took("owner ok"); }
  bool OnNameChanged(UINT) { return Took("owner name changed"); }
  bool Took(const char* what) {
    Log().push_back(what);
    return true;
  }
};

const CCommandEntry COwnerWnd::commandEntries[] = {
    CommandEntry(IDC_MINE, &COwnerWnd::OnMine),
    CommandEntry(IDC_THEIRS, &COwnerWnd::OnTheirs),
    CommandEntry(IDOK, &COwnerWnd::OnOk),
    ControlEntry(IDC_NAME, kPoke, &COwnerWnd::OnNameChanged),
};
LW_IMPLEMENT_COMMAND_TABLE(COwnerWnd, CCmdWnd)

class CExchangeDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CExchangeDlg(HWND parent = nullptr, bool nested = false)
      : CCmdDialog(IDD_EXCHANGE, parent), nested(nested) {}

  const bool nested;
  CString name = "start";
  UINT count = 3;
  double ratio = 0.5;
  int style = 1;
  CString face = "Dot";
  int line = 2;
  int level = 40;
  CBitmapButton own;
  CComboBox styles;
  CListBox list;
  CSliderCtrl slider;

 protected:
  bool OnInitDialog() override {
    for (const char* item : {"Solid", "Dash", "Dot"}) {
      SendDlgItemMessageA(m_hWnd, IDC_STYLE, CB_ADDSTRING, 0, (LPARAM)item);
      SendDlgItemMessageA(m_hWnd, IDC_FACE, CB_ADDSTRING, 0, (LPARAM)item);
    }
    for (const char* item : {"first", "second", "third"})
      SendDlgItemMessageA(m_hWnd, IDC_LIST, LB_ADDSTRING, 0, (LPARAM)item);
    SendDlgItemMessageA(m_hWnd, IDC_LEVEL, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    return CCmdDialog::OnInitDialog();
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_OWN, own);
    DDX_Control(dx, IDC_STYLE, styles);
    DDX_Control(dx, IDC_LIST, list);
    DDX_Control(dx, IDC_LEVEL, slider);
    DDX_Text(dx, IDC_NAME, name);
    DDV_MaxChars(dx, name, 5);
    DDX_Text(dx, IDC_COUNT, count);
    DDV_MinMaxUInt(dx, count, 1, 10);
    DDX_Text(dx, IDC_RATIO, ratio);
    DDV_MinMaxDouble(dx, ratio, 0.25, 1.5);
    DDX_CBIndex(dx, IDC_STYLE, style);
    DDX_CBString(dx, IDC_FACE, face);
    DDX_LBIndex(dx, IDC_LIST, line);
    DDX_Slider(dx, IDC_LEVEL, level);
  }
  // A nested dialog leaves it to the dialog it was opened from.
  bool OnMine(UINT) {
    if (nested) return false;
    Log().push_back("dialog mine");
    return true;
  }
  bool OnNested(UINT) {
    CExchangeDlg inner(m_hWnd, true);
    Log().push_back("nested ended " + std::to_string(inner.DoModal()));
    return true;
  }
  bool OnLevelReleased(UINT) {
    Log().push_back("level released at " + std::to_string(slider.GetPos()));
    return true;
  }
  bool OnCountPoked(UINT) {
    Log().push_back("dialog count poked");
    return true;
  }
};

const CCommandEntry CExchangeDlg::commandEntries[] = {
    CommandEntry(IDC_MINE, &CExchangeDlg::OnMine),
    CommandEntry(IDC_NESTED, &CExchangeDlg::OnNested),
    ControlEntry(IDC_COUNT, kPoke, &CExchangeDlg::OnCountPoked),
    ControlEntry(IDC_LEVEL, TB_ENDTRACK, &CExchangeDlg::OnLevelReleased),
};
LW_IMPLEMENT_COMMAND_TABLE(CExchangeDlg, CCmdDialog)

std::string Text(CDialog* d, int id) {
  char buf[64] = {};
  d->GetDlgItemText(id, buf, sizeof buf);
  return buf;
}

void Notify(CDialog* d, int id, UINT code) {
  d->SendMessage(WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)d->GetDlgItem(id));
}

// A button clicked in the dialog reaches the dialog's table first; what it
// leaves goes on to the owner (for a nested dialog: the outer dialog's
// table, then its owner). Control notifications, OK and Cancel stay with
// the dialog.
TEST(CommandDialog, UnhandledCommandsGoOnToTheOwner) {
  Log().clear();
  COwnerWnd owner;
  ASSERT_TRUE(owner.Create());
  lwtest::CDialogScript script([](CDialog* d) {
    const bool nested = static_cast<CExchangeDlg*>(d)->nested;
    lwtest::Press(d, IDC_MINE);
    lwtest::Press(d, IDC_THEIRS);
    lwtest::Press(d, IDC_NOBODY);
    Notify(d, IDC_NAME, kPoke);   // the dialog leaves it: not passed on
    Notify(d, IDC_COUNT, kPoke);  // the dialog's
    if (nested) {
      lwtest::Press(d, IDCANCEL);
    } else {
      lwtest::Press(d, IDC_NESTED);
      lwtest::Press(d, IDOK);
    }
  });
  CExchangeDlg dlg(owner);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(Log(), (std::vector<std::string>{
                       "dialog mine", "owner theirs", "dialog count poked",
                       // the nested dialog: the outer's table, the owner, its own
                       "dialog mine", "owner theirs", "dialog count poked",
                       "nested ended 2"}));
}

// A slider's scrolling reaches the dialog's table as a notification of the
// slider with the scroll code; codes without an entry pass by.
TEST(CommandDialog, SliderScrollingIsANotificationOfTheSlider) {
  Log().clear();
  lwtest::CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CExchangeDlg*>(d);
    dlg->slider.SetPos(70);
    d->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 70), (LPARAM)dlg->slider.GetSafeHwnd());
    d->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), (LPARAM)dlg->slider.GetSafeHwnd());
    lwtest::Press(d, IDCANCEL);
  });
  CExchangeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(Log(), std::vector<std::string>{"level released at 70"});
}

// Each field loads from its member and saves back on OK.
TEST(CommandDialog, ExchangesTextsNumbersListsAndSliders) {
  struct Seen {
    std::vector<std::string> texts;
    int style = -2, line = -2, level = -2;
    bool bound = false;
  };
  static Seen seen;
  seen = Seen();
  lwtest::CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CExchangeDlg*>(d);
    seen.texts = {Text(d, IDC_NAME), Text(d, IDC_COUNT), Text(d, IDC_RATIO), Text(d, IDC_FACE)};
    seen.style = dlg->styles.GetCurSel();
    seen.line = dlg->list.GetCurSel();
    seen.level = dlg->slider.GetPos();
    seen.bound = CWnd::FromHandlePermanent(d->GetDlgItem(IDC_OWN)) == &dlg->own;
    d->SetDlgItemText(IDC_NAME, "abc");
    d->SetDlgItemText(IDC_COUNT, "7");
    d->SetDlgItemText(IDC_RATIO, " 1.25 ");
    d->SetDlgItemText(IDC_FACE, "Wavy");
    dlg->styles.SetCurSel(2);
    dlg->list.SetCurSel(0);
    dlg->slider.SetPos(90);
    lwtest::Press(d, IDOK);
  });
  CExchangeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(seen.texts, (std::vector<std::string>{"start", "3", "0.5", "Dot"}));
  EXPECT_EQ(seen.style, 1);
  EXPECT_EQ(seen.line, 2);
  EXPECT_EQ(seen.level, 40);
  EXPECT_TRUE(seen.bound);
  EXPECT_STREQ(dlg.name, "abc");
  EXPECT_EQ(dlg.count, 7u);
  EXPECT_DOUBLE_EQ(dlg.ratio, 1.25);
  EXPECT_STREQ(dlg.face, "Wavy");
  EXPECT_EQ(dlg.style, 2);
  EXPECT_EQ(dlg.line, 0);
  EXPECT_EQ(dlg.level, 90);
  // The objects let go of their controls with the dialog.
  EXPECT_EQ(dlg.styles.GetSafeHwnd(), nullptr);
}

// A field that fails shows the framework's message word for word, once,
// and keeps the dialog open with that field focused and its text selected.
TEST(CommandDialog, FailingFieldShowsItsMessageAndKeepsTheFocus) {
  struct Case {
    int id;
    const char* text;
    const char* message;
  };
  static const Case kCases[] = {
      {IDC_NAME, "toolong", "Please enter no more than 5 characters."},
      {IDC_COUNT, "x1", "Please enter a positive integer."},
      {IDC_COUNT, "11", "Please enter an integer between 1 and 10."},
      {IDC_RATIO, "1.6", "Please enter a number between 0.25 and 1.5."},
      {IDC_RATIO, "1,5", "Please enter a number."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text) + " -> " + c.message);
    lwtest::CRecordedBoxes boxes;
    static const Case* current;
    static lwtest::CFocusState focus;
    current = &c;
    focus = lwtest::CFocusState();
    lwtest::CDialogScript script([](CDialog* d) {
      d->SetDlgItemText(current->id, current->text);
      lwtest::Press(d, IDOK);
      focus = lwtest::FocusState();
      // Still open: Cancel ends it.
      lwtest::Press(d, IDCANCEL);
    });
    CExchangeDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{c.message});
    ASSERT_EQ(boxes.types.size(), 1u);
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(focus.id, c.id);
    EXPECT_EQ(focus.length, lstrlenA(c.text));
    EXPECT_TRUE(focus.WholeTextSelected());
  }
}

// Every kind of field the user cannot reach, disabled or hidden, keeps its
// member on OK, and its check does not run: values outside their ranges
// stay, and what the controls came to show is not taken.
TEST(CommandDialog, FieldsTheUserCannotReachKeepTheirValues) {
  for (const bool hide : {false, true}) {
    SCOPED_TRACE(hide ? "hidden" : "disabled");
    lwtest::CRecordedBoxes boxes;
    static bool hidden;
    hidden = hide;
    lwtest::CDialogScript script([](CDialog* d) {
      auto* dlg = static_cast<CExchangeDlg*>(d);
      d->SetDlgItemText(IDC_NAME, "toolong");
      d->SetDlgItemText(IDC_COUNT, "x1");
      d->SetDlgItemText(IDC_RATIO, "1,5");
      d->SetDlgItemText(IDC_FACE, "Wavy");
      dlg->styles.SetCurSel(2);
      dlg->list.SetCurSel(0);
      dlg->slider.SetPos(90);
      for (int id : {IDC_NAME, IDC_COUNT, IDC_RATIO, IDC_FACE, IDC_STYLE, IDC_LIST, IDC_LEVEL}) {
        if (hidden)
          ShowWindow(d->GetDlgItem(id), SW_HIDE);
        else
          EnableWindow(d->GetDlgItem(id), FALSE);
      }
      lwtest::Press(d, IDOK);
    });
    CExchangeDlg dlg;
    dlg.name = "too long a name";
    dlg.count = 50;  // outside 1..10
    dlg.ratio = 7.0;  // outside 0.25..1.5
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    EXPECT_STREQ(dlg.name, "too long a name");
    EXPECT_EQ(dlg.count, 50u);
    EXPECT_DOUBLE_EQ(dlg.ratio, 7.0);
    EXPECT_STREQ(dlg.face, "Dot");
    EXPECT_EQ(dlg.style, 1);
    EXPECT_EQ(dlg.line, 2);
    EXPECT_EQ(dlg.level, 40);
  }
}

// The bitmap button draws itself: its parent's WM_DRAWITEM reaches the
// button's object, which copies the picture of its state.
TEST(CommandDialog, OwnerDrawnButtonDrawsItselfThroughReflection) {
  struct Seen {
    std::vector<COLORREF> up, down, drawnUp, drawnDown;
    LONG_PTR style = 0;
  };
  static Seen seen;
  seen = Seen();
  lwtest::CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CExchangeDlg*>(d);
    ASSERT_TRUE(dlg->own.LoadBitmaps(IDB_UP, IDB_DOWN));
    seen.style = dlg->own.GetStyle() & BS_TYPEMASK;
    // Draws the button as its paint does, into a memory DC, in each state.
    const CRect client = dlg->own.GetClientRect();
    auto draw = [&](bool pushed) {
      dlg->own.SetState(pushed);
      CClientDC screen(nullptr);
      CBitmap canvas;
      canvas.Attach(CreateCompatibleBitmap(screen, client.Width(), client.Height()));
      CMemoryDC memory(screen);
      CSelectObject selected(memory, canvas.GetSafeHandle());
      dlg->own.SendMessage(WM_PRINTCLIENT, (WPARAM)(HDC)memory, PRF_CLIENT);
      std::vector<COLORREF> pixels;
      for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x) pixels.push_back(GetPixel(memory, x, y));
      return pixels;
    };
    auto picture = [&](int id) {
      CClientDC screen(nullptr);
      CBitmap bitmap;
      bitmap.Attach(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
      CMemoryDC memory(screen);
      CSelectObject selected(memory, bitmap.GetSafeHandle());
      std::vector<COLORREF> pixels;
      for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x) pixels.push_back(GetPixel(memory, x, y));
      return pixels;
    };
    seen.up = picture(IDB_UP);
    seen.down = picture(IDB_DOWN);
    seen.drawnUp = draw(false);
    seen.drawnDown = draw(true);
    lwtest::Press(d, IDCANCEL);
  });
  CExchangeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(seen.style, BS_OWNERDRAW);
  EXPECT_NE(seen.up, seen.down) << "the two pictures differ";
  EXPECT_TRUE(seen.drawnUp == seen.up) << "up: the button shows its up picture";
  EXPECT_TRUE(seen.drawnDown == seen.down) << "pushed: the button shows its down picture";
}

// An owner-drawn list box of variable heights measures and draws its items
// itself: the dialog's WM_MEASUREITEM and WM_DRAWITEM reach its object.
TEST(CommandDialog, OwnerDrawnListMeasuresAndDrawsItselfThroughReflection) {
  class CSwatchList : public CListBox {
   public:
    int drawn = 0;

   protected:
    bool OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) override {
      if (msg == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        item->itemHeight = 15 + item->itemID;
      } else if (msg == WM_DRAWITEM) {
        ++drawn;
      } else {
        return false;
      }
      *result = TRUE;
      return true;
    }
  };
  static std::vector<int> heights;
  static int drawn;
  heights.clear();
  drawn = 0;
  lwtest::CDialogScript script([](CDialog* d) {
    CSwatchList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS,
                            CRect(10, 10, 110, 110), *d, 2000));
    for (const char* item : {"1 pixel", "2 pixels", "3 pixels"}) list.AddString(item);
    for (int i = 0; i < 3; ++i) heights.push_back(static_cast<int>(list.SendMessage(LB_GETITEMHEIGHT, i)));
    CClientDC screen(nullptr);
    CBitmap canvas;
    canvas.Attach(CreateCompatibleBitmap(screen, 100, 100));
    CMemoryDC memory(screen);
    CSelectObject selected(memory, canvas.GetSafeHandle());
    list.SendMessage(WM_PRINTCLIENT, (WPARAM)(HDC)memory, PRF_CLIENT);
    drawn = list.drawn;
    lwtest::Press(d, IDCANCEL);
  });
  CExchangeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(heights, (std::vector<int>{15, 16, 17}));
  EXPECT_GE(drawn, 3);
}

// A window is centred over its owner, and kept inside the work area when
// the owner is near its edge.
TEST(CommandDialog, CenterWindowCentresOverTheOwnerInsideTheWorkArea) {
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const struct {
    const char* name;
    int x, y;
  } kCases[] = {{"middle", 300, 200}, {"bottom right", work.right - 100, work.bottom - 60}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    lwtest::CHostWindow host(c.x, c.y, 400, 300);
    CExchangeDlg dlg(host.Hwnd());
    ASSERT_TRUE(dlg.Create());
    dlg.CenterWindow();
    const CRect r = dlg.GetWindowRect();
    if (c.x + 400 <= work.right && c.y + 300 <= work.bottom) {
      EXPECT_NEAR((r.left + r.right) / 2, c.x + 200, 1);
      EXPECT_NEAR((r.top + r.bottom) / 2, c.y + 150, 1);
    } else {
      EXPECT_EQ(r.right, work.right);
      EXPECT_EQ(r.bottom, work.bottom);
    }
  }
}

// The thin control classes say what their controls say.
TEST(Controls, WrapTheirControlsMessages) {
  COwnerWnd parent;
  ASSERT_TRUE(parent.Create());
  const RECT r = {0, 0, 120, 80};
  CListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | LBS_NOTIFY, r, parent, 1));
  EXPECT_EQ(list.AddString("b"), 0);
  EXPECT_EQ(list.InsertString(0, "a"), 0);
  list.SetItemData(1, 42);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_STREQ(list.GetText(1), "b");
  EXPECT_EQ(list.GetItemData(1), 42u);
  EXPECT_EQ(list.FindStringExact(-1, "b"), 1);
  list.SetCurSel(1);
  EXPECT_EQ(list.GetCurSel(), 1);

  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, r, parent, 2));
  combo.AddString("Solid");
  combo.AddString("Dash");
  EXPECT_EQ(combo.SelectString(-1, "Da"), 1);
  EXPECT_STREQ(combo.GetLBText(combo.GetCurSel()), "Dash");

  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | ES_AUTOHSCROLL, r, parent, 3));
  edit.SetWindowText("hello");
  edit.SetSel(1, 3);
  int start = 0, end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 3);
  edit.ReplaceSel("EL");
  EXPECT_STREQ(edit.GetText(), "hELlo");
  edit.LimitText(9);
  EXPECT_EQ(edit.GetLimitText(), 9);

  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD, r, parent, 4));
  spin.SetRange32(-5000, 5000);
  int lower = 0, upper = 0;
  spin.GetRange32(lower, upper);
  EXPECT_EQ(lower, -5000);
  EXPECT_EQ(upper, 5000);
  spin.SetPos32(-12);
  EXPECT_EQ(spin.GetPos32(), -12);

  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_CHILD, r, parent, 5));
  slider.SetRange(100, 1000);
  slider.SetPos(2000);
  EXPECT_EQ(slider.GetPos(), 1000);
  EXPECT_EQ(slider.GetRangeMin(), 100);

  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(WS_CHILD, r, parent, 6));
  progress.SetRange32(0, 3);
  progress.SetStep(1);
  progress.StepIt();
  EXPECT_EQ(progress.GetPos(), 1);
  progress.GetRange(lower, upper);
  EXPECT_EQ(upper, 3);

  CButton check;
  ASSERT_TRUE(check.Create("&Check", WS_CHILD | BS_AUTOCHECKBOX, r, parent, 7));
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_AUTOCHECKBOX));

  CStatic label;
  ASSERT_TRUE(label.Create("label", WS_CHILD, r, parent, 8));
  CToolTipCtrl tips;
  ASSERT_TRUE(tips.Create(parent));
  EXPECT_TRUE(tips.AddTool(label, "Deselect - Ctrl+click"));
  EXPECT_TRUE(tips.AddTool(parent, "Testing colour", CRect(0, 0, 50, 50), 1));
  EXPECT_EQ(tips.GetToolCount(), 2);
  EXPECT_STREQ(tips.GetText(label), "Deselect - Ctrl+click");
  EXPECT_STREQ(tips.GetText(parent, 1), "Testing colour");
  tips.UpdateTipText("Choosen colour", parent, 1);
  EXPECT_STREQ(tips.GetText(parent, 1), "Choosen colour");
}

// The exchange dialog as the screen shows it, kept as
// build/screenshots/exchange_dialog.bmp for a person to look at.
TEST(CommandDialog, ShowsOnTheScreen) {
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  static bool saved;
  saved = false;
  lwtest::CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CExchangeDlg*>(d);
    dlg->own.LoadBitmaps(IDB_UP, IDB_DOWN);
    d->SetWindowPos(HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    d->UpdateWindow();
    lwtest::FlushEvents(300);
    saved = lwtest::SaveWindowShot(*d, LW_BUILD_DIR "/screenshots/exchange_dialog.bmp");
    lwtest::Press(d, IDCANCEL);
  });
  CExchangeDlg dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(saved);
}

}  // namespace
