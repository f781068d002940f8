// Answers the framework's modal dialogs.
#include "tests/support/dialog_hook.h"

#include <gtest/gtest.h>

namespace lwtest {

namespace {
// The timer that ends a dialog its action left open, once the dialog's
// message loop runs.
const UINT_PTR kLeftOpenTimer = 0x4C4F;
}  // namespace

CDialogScript::CDialogScript(Action action) : m_action(std::move(action)) {
  CDialog::SetInitHook(&CDialogScript::OnInitDialog, this);
}

CDialogScript::~CDialogScript() { CDialog::SetInitHook(nullptr, nullptr); }

// Called inside WM_INITDIALOG, after the dialog's own OnInitDialog. A
// dialog the action ended is gone before its message loop runs, and the
// timer with it.
void CDialogScript::OnInitDialog(CDialog* dialog, void* self) {
  CDialogScript* script = static_cast<CDialogScript*>(self);
  ++script->m_opened;
  const HWND hwnd = dialog->GetSafeHwnd();
  try {
    if (script->m_action) script->m_action(dialog);
  } catch (...) {
    ADD_FAILURE() << "the dialog script threw";
  }
  if (::IsWindow(hwnd)) ::SetTimer(hwnd, kLeftOpenTimer, USER_TIMER_MINIMUM, &CDialogScript::OnLeftOpen);
}

void CALLBACK CDialogScript::OnLeftOpen(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(hwnd, id);
  if (CDialog* dialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd)))
    dialog->EndDialog(kLeftOpen);
  else
    ::EndDialog(hwnd, kLeftOpen);
}

CKeyTakingWindow::CKeyTakingWindow() {
  CreateEx(0, RegisterWndClass(0), "keys", WS_POPUP | WS_VISIBLE, 300, 300, 120, 60, nullptr, 0);
}

CKeyTakingWindow::~CKeyTakingWindow() { DestroyWindow(); }

bool CKeyTakingWindow::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN) return false;
  taken.push_back(msg->wParam);
  return true;
}

LRESULT CKeyTakingWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN) ++dispatched;
  return CWnd::WindowProc(msg, wp, lp);
}

void Press(CDialog* dialog, int id) {
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

CFocusState FocusState() {
  CFocusState state;
  HWND focused = ::GetFocus();
  if (!focused) return state;
  state.id = ::GetDlgCtrlID(focused);
  state.length = ::GetWindowTextLengthA(focused);
  char cls[16] = "";
  ::GetClassNameA(focused, cls, sizeof cls);
  if (lstrcmpiA(cls, "Edit") == 0)
    ::SendMessageA(focused, EM_GETSEL, (WPARAM)&state.selStart, (LPARAM)&state.selEnd);
  return state;
}

}  // namespace lwtest
