// The dialog with a command table, its routing to the owner, and the data
// exchange of the user interface layer.
#include "framework/DialogUI.h"

#include <commctrl.h>

#include <cfloat>
#include <cstdlib>

#include "framework/App.h"
#include "framework/TextFormat.h"
#include "framework/Trace.h"

CCmdDialog::CCmdDialog(UINT templateId, HWND parent) : CDialog(templateId, parent) {
  // The builder's templates hold spin buttons, sliders, progress bars and
  // list views: their classes must exist before the template is read.
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
}

bool CCmdDialog::RouteCommand(CCommandMsg& msg) {
  if (OnCmdMsg(msg)) return true;
  // Only commands and their update requests travel on: what a control
  // reports, OK, Cancel and the system's commands belong to this dialog.
  const bool travels = msg.kind == CCommandEntry::kCommand || msg.kind == CCommandEntry::kUpdateUI;
  if (!travels || msg.id == IDOK || msg.id == IDCANCEL || msg.id >= 0xF000) return false;
  CWnd* owner = FromHandlePermanent(::GetParent(m_hWnd));
  if (auto* window = dynamic_cast<CCmdWnd*>(owner)) return window->RouteCommand(msg);
  if (auto* dialog = dynamic_cast<CCmdDialog*>(owner)) return dialog->RouteCommand(msg);
  auto* application = dynamic_cast<CCmdTarget*>(AfxGetApp());
  return application && application->OnCmdMsg(msg);
}

bool CCmdDialog::OnCommand(UINT id, UINT code, HWND control) {
  return RouteCommandMessage(*this, id, code, control);
}

bool CCmdDialog::OnNotify(NMHDR* hdr, LRESULT* result) {
  return RouteNotifyMessage(*this, hdr, result);
}

LRESULT CCmdDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // A control's scrolling is one of its notifications.
  if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && lp) {
    CCommandMsg notification(CCommandEntry::kControl,
                             static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(lp))), LOWORD(wp));
    if (RouteCommand(notification)) return 0;
  }
  return CDialog::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// Data exchange.

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    ::SetWindowTextA(control, value);
    return;
  }
  if (dx->SkipsField()) return;
  const int length = ::GetWindowTextLengthA(control);
  char* buffer = value.GetBuffer(length + 1);
  buffer[0] = 0;
  ::GetWindowTextA(control, buffer, length + 1);
  value.ReleaseBuffer();
}

// A decimal number with `digits` significant digits.
static void ExchangeNumber(CDataExchange* dx, int id, double& value, int digits) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    char text[64];
    FormatText(text, sizeof text, "%.*g", digits, value);
    ::SetWindowTextA(control, text);
    return;
  }
  if (dx->SkipsField()) return;
  char text[64] = "";
  ::GetWindowTextA(control, text, sizeof text);
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (!end || end == text || *end) dx->Fail("Please enter a number.");
  dx->WillWrite(value);
  value = parsed;
}

void DDX_Text(CDataExchange* dx, int id, double& value) { ExchangeNumber(dx, id, value, 15); }

void DDX_Text(CDataExchange* dx, int id, float& value) {
  double number = value;
  ExchangeNumber(dx, id, number, 6);
  if (!dx->m_bSaveAndValidate || dx->SkipsField()) return;
  if (!(number >= -FLT_MAX && number <= FLT_MAX)) dx->Fail("Please enter a number.");
  dx->WillWrite(value);
  value = static_cast<float>(number);
}

// The selection of a list box or combo box: get and set messages differ,
// the rest is the same.
static void ExchangeIndex(CDataExchange* dx, int id, int& index, UINT getMsg, UINT setMsg) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate)
    ::SendMessageA(control, setMsg, static_cast<WPARAM>(index), 0);
  else if (!dx->SkipsField())
    index = static_cast<int>(::SendMessageA(control, getMsg, 0, 0));
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  ExchangeIndex(dx, id, index, CB_GETCURSEL, CB_SETCURSEL);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  ExchangeIndex(dx, id, index, LB_GETCURSEL, LB_SETCURSEL);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  const bool dropList = (::GetWindowLongA(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
  if (!dx->m_bSaveAndValidate) {
    const LRESULT found =
        ::SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), (LPARAM)value.GetString());
    ::SendMessageA(control, CB_SETCURSEL, found == CB_ERR ? static_cast<WPARAM>(-1) : found, 0);
    if (found == CB_ERR && !dropList) ::SetWindowTextA(control, value);
    return;
  }
  if (dx->SkipsField()) return;
  if (!dropList) {
    DDX_Text(dx, id, value);
    return;
  }
  const LRESULT selected = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
  const LRESULT length =
      selected == CB_ERR ? 0 : ::SendMessageA(control, CB_GETLBTEXTLEN, selected, 0);
  if (length <= 0) {
    value.Empty();
    return;
  }
  char* buffer = value.GetBuffer(static_cast<int>(length) + 1);
  ::SendMessageA(control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(buffer));
  value.ReleaseBuffer();
}

void DDX_Slider(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate)
    ::SendMessageA(control, TBM_SETPOS, TRUE, value);
  else if (!dx->SkipsField())
    value = static_cast<int>(::SendMessageA(control, TBM_GETPOS, 0, 0));
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.GetSafeHwnd()) return;
  HWND hwnd = dx->PrepareCtrl(id);
  const bool bound = control.SubclassWindow(hwnd);
  LW_ASSERT(bound);  // a missing control, or one bound to another object
  (void)bound;
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue) {
  if (!dx->m_bSaveAndValidate || dx->SkipsField() || (value >= minValue && value <= maxValue))
    return;
  char text[96];
  FormatText(text, sizeof text, "Please enter an integer between %u and %u.", minValue, maxValue);
  dx->Fail(text);
}

void DDV_MinMaxDouble(CDataExchange* dx, double value, double minValue, double maxValue) {
  if (!dx->m_bSaveAndValidate || dx->SkipsField() || (value >= minValue && value <= maxValue))
    return;
  char text[128];
  FormatText(text, sizeof text, "Please enter a number between %.6g and %.6g.", minValue, maxValue);
  dx->Fail(text);
}

void DDV_MinMaxFloat(CDataExchange* dx, float value, float minValue, float maxValue) {
  DDV_MinMaxDouble(dx, value, minValue, maxValue);
}
