// Dialogs from resource templates, modal or modeless, and dialog data
// exchange: DoDataExchange moves values between members and controls; a
// failing field shows its message once and leaves the dialog open with
// the focus on that field and its text selected. A field the user cannot
// reach (its control disabled or hidden) is filled, but never read back
// nor checked: its member keeps what it held.
//
// What the carried programs' dialogs use is here; the builder's dialogs
// add a command table, the exchange of lists, combo boxes, sliders and
// control objects, and the control classes (framework/DialogUI.h,
// framework/Controls.h).
#pragma once

#include <windows.h>

#include <cstring>

#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  // The control that later validation messages refer to. While saving,
  // a control that is disabled or hidden (by its own style: a dialog is
  // not shown yet while it sets up) is one the user cannot reach.
  HWND PrepareCtrl(int id);
  // While saving: the last prepared control is one the user cannot reach,
  // so its exchange leaves the member as it was and its checks pass.
  bool SkipsField() const { return m_bSaveAndValidate && !m_lastReachable; }
  // Called by a field's exchange before it writes the member read from
  // the control: when a check of the same field then fails, the member
  // gets back what it held, so a refused value never stays in it (and a
  // field closed after the refusal keeps its earlier value). Members of
  // up to eight bytes; the next prepared control forgets it.
  template <class T>
  void WillWrite(T& member) {
    static_assert(sizeof(T) <= sizeof m_before, "a small member");
    m_written = &member;
    m_writtenSize = sizeof(T);
    std::memcpy(m_before, &member, sizeof(T));
  }
  // Ends the exchange as failed: the focus goes to the last prepared
  // control, whose text is selected. The caller has shown its message.
  [[noreturn]] void Fail();
  // Shows the message (an exclamation box through the message-box seam),
  // then fails as above.
  [[noreturn]] void Fail(const char* message);

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  HWND m_lastControl = nullptr;
  bool m_lastReachable = false;

 private:
  void* m_written = nullptr;
  unsigned m_writtenSize = 0;
  unsigned char m_before[8] = {};
};

// Whether the user can reach the control: it exists, is enabled and has
// the visible style.
bool IsControlReachable(HWND control);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, HWND parent = nullptr);
  ~CDialog() override;

  // Runs the dialog in the system's modal loop; its owner (the parent's
  // top-level window, or without a parent the thread's active window) is
  // disabled meanwhile and enabled again before the dialog goes. The
  // thread's other windows keep the application's message filtering
  // meanwhile (CModalMessageFilter).
  virtual INT_PTR DoModal();
  bool Create(HWND parent = nullptr);  // modeless
  // Ends a modal dialog with the result, destroys a modeless one.
  virtual void EndDialog(INT_PTR result);
  bool UpdateData(bool saveAndValidate = true);

  // Check boxes and radio buttons.
  void CheckDlgButton(int id, UINT state) { ::CheckDlgButton(m_hWnd, id, state); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void CheckRadioButton(int first, int last, int checked) {
    ::CheckRadioButton(m_hWnd, first, last, checked);
  }
  bool SetDlgItemText(int id, const char* text) { return ::SetDlgItemTextA(m_hWnd, id, text) != FALSE; }
  int GetDlgItemText(int id, char* out, int size) const {
    return static_cast<int>(::GetDlgItemTextA(m_hWnd, id, out, size));
  }
  // The focus goes to the control, as a Tab would take it there (an
  // edit's text selected).
  void GotoDlgCtrl(HWND control) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)control, TRUE); }
  void NextDlgCtrl() { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, FALSE); }
  void PrevDlgCtrl() { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, FALSE); }
  // The default push button's id.
  void SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }
  UINT GetDefID() const { return LOWORD(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }

  // Where templates are found; the program's own module by default.
  static void SetResourceInstance(HINSTANCE instance);
  static HINSTANCE GetResourceInstance();

  // Tests answer modal dialogs through this hook, called right after
  // OnInitDialog with the dialog up: set fields, press buttons, end it.
  using InitHook = void (*)(CDialog* dialog, void* context);
  static void SetInitHook(InitHook hook, void* context);

  UINT GetTemplateId() const { return m_templateId; }

 protected:
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx) {}

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // One message of a bound dialog, as a dialog procedure answers it. A
  // set-up that throws ends (modal) or destroys the dialog; with
  // answerInitHook, the tests' hook runs after a set-up that succeeded.
  static INT_PTR DialogMessage(CDialog* dlg, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                               bool answerInitHook);
  // Hands a dialog that came up some other way (a property sheet) to the
  // tests' hook.
  static void RunInitHook(CDialog* dialog);

  UINT m_templateId;
  HWND m_parent;

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool m_modal = false;
};

// While one lives, the modal loops that run on its thread (a dialog's,
// a message box's, a property sheet's) let the application filter the
// messages of the thread's other windows before they are dispatched, as
// the program's own loop does (CWinThread::PreTranslateMessage): a window
// opened from a modal dialog answers its keys and accelerators. The
// messages of a dialog box and of what is in it stay the dialog manager's
// (Tab, Enter, Esc), and a window the loop disabled takes nothing. Scopes
// may nest; the thread's first one installs the system hook through which
// those loops hand their messages over, its last one removes it.
class CModalMessageFilter {
 public:
  CModalMessageFilter();
  ~CModalMessageFilter();
  CModalMessageFilter(const CModalMessageFilter&) = delete;
  CModalMessageFilter& operator=(const CModalMessageFilter&) = delete;

  // The filtering of one message a modal loop took; true when the
  // application claimed it (it is then neither dispatched nor given to
  // the dialog manager).
  static bool Filter(MSG* msg);

 private:
  HHOOK m_hook = nullptr;  // set when this scope installed it
};

// Data exchange helpers. On load they fill the control; on save they read
// it back, and a value that does not parse fails the exchange.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, char* text, int size);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked radio button in the group that starts at id
// (WS_GROUP), counted in the group's tab order, or -1.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
// On load, limits the edit to maxChars; on save, refuses longer text.
void DDV_MaxChars(CDataExchange* dx, const char* text, int maxChars);
