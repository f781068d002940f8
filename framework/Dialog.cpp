// Dialogs and dialog data exchange.
#include "framework/Dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "framework/App.h"
#include "framework/Seams.h"
#include "framework/Sync.h"
#include "framework/TextFormat.h"

namespace {

HINSTANCE g_resources = nullptr;
CDialog::InitHook g_initHook = nullptr;
void* g_initHookContext = nullptr;

// Thrown by CDataExchange::Fail, caught by UpdateData.
struct DataExchangeFailed {};

HINSTANCE Resources() { return g_resources ? g_resources : ::GetModuleHandleA(nullptr); }

}  // namespace

bool IsControlReachable(HWND control) {
  if (!control) return false;
  const LONG style = ::GetWindowLongA(control, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

HWND CDataExchange::PrepareCtrl(int id) {
  m_lastControl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
  m_lastReachable = IsControlReachable(m_lastControl);
  m_written = nullptr;
  return m_lastControl;
}

void CDataExchange::Fail(const char* message) {
  AfxMessageBox(message, MB_ICONEXCLAMATION);
  Fail();
}

void CDataExchange::Fail() {
  if (m_written) std::memcpy(m_written, m_before, m_writtenSize);
  m_written = nullptr;
  if (m_bSaveAndValidate && m_lastControl) {
    m_pDlgWnd->GotoDlgCtrl(m_lastControl);
    // The whole text selected, so that typing replaces it.
    char cls[16] = {};
    ::GetClassNameA(m_lastControl, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0)
      ::SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
    else if (lstrcmpiA(cls, "ComboBox") == 0)
      ::SendMessageA(m_lastControl, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
  }
  throw DataExchangeFailed();
}

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {
  m_isDialog = true;
}

CDialog::~CDialog() {
  if (m_hWnd && ::IsWindow(m_hWnd) && !m_modal) ::DestroyWindow(m_hWnd);
}

void CDialog::SetResourceInstance(HINSTANCE instance) { g_resources = instance; }

HINSTANCE CDialog::GetResourceInstance() { return Resources(); }

void CDialog::RunInitHook(CDialog* dialog) {
  if (g_initHook) g_initHook(dialog, g_initHookContext);
}

void CDialog::SetInitHook(InitHook hook, void* context) {
  g_initHook = hook;
  g_initHookContext = context;
}

INT_PTR CDialog::DoModal() {
  CModalMessageFilter filter;
  m_modal = true;
  // The system's loop disables the owner (a child's top-level window) and
  // enables it again; a dialog without a parent belongs to the window the
  // user works in.
  INT_PTR r = ::DialogBoxParamA(Resources(), MAKEINTRESOURCEA(m_templateId),
                                m_parent ? m_parent : ::GetActiveWindow(),
                                &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
  m_modal = false;
  return r;
}

bool CDialog::Create(HWND parent) {
  if (parent) m_parent = parent;
  HWND h = ::CreateDialogParamA(Resources(), MAKEINTRESOURCEA(m_templateId), m_parent,
                                &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
  // A dialog whose set-up failed has been destroyed again.
  return h != nullptr && ::IsWindow(h) && m_hWnd == h;
}

void CDialog::EndDialog(INT_PTR result) {
  if (m_modal)
    ::EndDialog(m_hWnd, result);
  else
    ::DestroyWindow(m_hWnd);
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const DataExchangeFailed&) {
    return false;
  }
  return true;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) return OnInitDialog() ? TRUE : FALSE;
  // OK and Cancel (also Enter and Escape) reach OnOK and OnCancel unless
  // OnCommand takes them first.
  if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) &&
      !OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) {
    if (LOWORD(wp) == IDOK)
      OnOK();
    else
      OnCancel();
    return TRUE;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

namespace {

// The messages whose answer a dialog procedure returns itself instead of
// through DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  return (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_INITDIALOG ||
         msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM ||
         msg == WM_QUERYDRAGICON;
}

}  // namespace

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* dlg = static_cast<CDialog*>(FromHandlePermanent(hwnd));
  if (!dlg && msg == WM_INITDIALOG) {
    dlg = reinterpret_cast<CDialog*>(lp);
    if (dlg) dlg->Bind(hwnd);
  }
  return DialogMessage(dlg, hwnd, msg, wp, lp, true);
}

INT_PTR CDialog::DialogMessage(CDialog* dlg, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                               bool answerInitHook) {
  if (!dlg) return FALSE;

  LRESULT r = 0;
  bool defaulted = false;
  if (!Handle(dlg, hwnd, msg, wp, lp, &r, &defaulted)) {
    // A dialog whose set-up failed does not come up; any other message
    // gets what the dialog manager does by default.
    if (msg == WM_INITDIALOG) {
      if (dlg->m_modal)
        ::EndDialog(hwnd, -1);
      else
        ::DestroyWindow(hwnd);
    }
    return FALSE;
  }
  if (msg == WM_INITDIALOG) {
    // TRUE: the dialog manager sets the focus.
    if (answerInitHook && g_initHook && FromHandlePermanent(hwnd) == dlg)
      g_initHook(dlg, g_initHookContext);
    return r;
  }
  if (defaulted) return FALSE;
  if (AnswersDirectly(msg)) return r;
  ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, r);
  return TRUE;
}

// ---------------------------------------------------------------------------
// The modal loops' message filter.

namespace {

// The thread's installed hook, null on every thread until set.
CTlsSlot g_filterHook;

bool IsDialogBox(HWND hwnd) {
  char cls[8] = "";
  return ::GetClassNameA(hwnd, cls, sizeof cls) == 6 && lstrcmpA(cls, "#32770") == 0;
}

// The system's dialog loops (a dialog box's, a message box's) hand every
// message they take to the thread's message filter, through
// IsDialogMessage, before the dialog manager looks at it.
LRESULT CALLBACK ModalFilterHook(int code, WPARAM wp, LPARAM lp) {
  if (code == MSGF_DIALOGBOX && lp && CModalMessageFilter::Filter(reinterpret_cast<MSG*>(lp)))
    return TRUE;
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

CModalMessageFilter::CModalMessageFilter() {
  if (g_filterHook.Get() == TLS_OUT_OF_INDEXES || g_filterHook.GetValue()) return;
  m_hook = ::SetWindowsHookExA(WH_MSGFILTER, &ModalFilterHook, nullptr, ::GetCurrentThreadId());
  if (m_hook) g_filterHook.SetValue(m_hook);
}

CModalMessageFilter::~CModalMessageFilter() {
  if (!m_hook) return;
  ::UnhookWindowsHookEx(m_hook);
  g_filterHook.SetValue(nullptr);
}

bool CModalMessageFilter::Filter(MSG* msg) {
  if (!msg->hwnd) return false;
  // Along the windows the application's filtering would ask (the window,
  // its parents and owners): one in a dialog box, or under a window that a
  // modal loop disabled, is left alone.
  for (HWND h = msg->hwnd; h; h = ::GetParent(h))
    if (IsDialogBox(h) || !::IsWindowEnabled(h)) return false;
  CWinApp* app = AfxGetApp();
  return app ? app->PreTranslateMessage(msg) : CWinThread::WalkPreTranslateTree(msg);
}

// ---------------------------------------------------------------------------
// Data exchange.

static void TextOfControl(HWND control, char* out, int size) {
  out[0] = 0;
  ::GetWindowTextA(control, out, size);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    char text[32];
    FormatText(text, sizeof text, "%d", value);
    ::SetWindowTextA(control, text);
    return;
  }
  if (dx->SkipsField()) return;
  char text[64];
  TextOfControl(control, text, sizeof text);
  // long is 32 bits here: the number is read as long long, whose range
  // errno reports, so that a number beyond an int fails rather than
  // standing for its bound.
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  const bool overflow = errno == ERANGE;
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (!text[0] || !end || *end || overflow || v < INT_MIN || v > INT_MAX)
    dx->Fail("Please enter an integer.");
  dx->WillWrite(value);
  value = static_cast<int>(v);
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    char text[32];
    FormatText(text, sizeof text, "%u", value);
    ::SetWindowTextA(control, text);
    return;
  }
  if (dx->SkipsField()) return;
  char text[64];
  TextOfControl(control, text, sizeof text);
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (!text[0] || text[0] == '-' || !end || *end || v > 0xFFFFFFFFull)
    dx->Fail("Please enter a positive integer.");
  dx->WillWrite(value);
  value = static_cast<UINT>(v);
}

void DDX_Text(CDataExchange* dx, int id, char* text, int size) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate)
    ::SetWindowTextA(control, text);
  else if (!dx->SkipsField())
    TextOfControl(control, text, size);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate)
    ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  else if (!dx->SkipsField())
    value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
}

// The group: from the first button on, in tab order, until the next
// WS_GROUP; only its radio buttons count. Calls visit(button, index) for
// each; true when one of them is reachable.
template <class Visit>
static bool ForEachRadio(HWND first, Visit visit) {
  int index = -1;
  bool reachable = false;
  for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h != first && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
    if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
    reachable = reachable || IsControlReachable(h);
    visit(h, ++index);
  }
  return reachable;
}

// A group is read back while the user can reach one of its buttons.
void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    ForEachRadio(control, [&](HWND h, int index) {
      ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    });
    return;
  }
  int checked = -1;
  const bool reachable = ForEachRadio(control, [&](HWND h, int index) {
    if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) checked = index;
  });
  dx->m_lastReachable = reachable;
  if (reachable) value = checked;
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
  if (!dx->m_bSaveAndValidate || dx->SkipsField() || (value >= minValue && value <= maxValue))
    return;
  char text[96];
  FormatText(text, sizeof text, "Please enter an integer between %d and %d.", minValue, maxValue);
  dx->Fail(text);
}

void DDV_MaxChars(CDataExchange* dx, const char* text, int maxChars) {
  if (!dx->m_bSaveAndValidate) {
    if (dx->m_lastControl) ::SendMessageA(dx->m_lastControl, EM_LIMITTEXT, maxChars, 0);
    return;
  }
  if (dx->SkipsField() || lstrlenA(text) <= maxChars) return;
  char message[96];
  FormatText(message, sizeof message, "Please enter no more than %d characters.", maxChars);
  dx->Fail(message);
}
