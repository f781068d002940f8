// Thin control classes: an object of ours over a system control (button,
// edit, static, list box, combo box) or a common control (spin button,
// slider, progress bar, tooltip). Each is bound to a template's control by
// DDX_Control or SubclassDlgItem, or makes its own with Create, and then
// offers the control's messages as member functions. A class that draws its
// control itself (CBitmapButton) does so through reflection: the parent's
// WM_DRAWITEM reaches the control's object (OnChildNotify).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Gdi.h"
#include "framework/Strings.h"
#include "framework/Wnd.h"

// What every control class shares: creation of its system class under
// the object.
class CControl : public CWnd {
 public:
  // The control's window text.
  CString GetText() const;

 protected:
  // Creates the control and binds it (PreSubclassWindow runs); false when
  // the window could not be made.
  bool CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                     const RECT& rect, HWND parent, UINT id);
  // Sends and answers an int (most of the controls' queries).
  int Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return static_cast<int>(::SendMessageA(m_hWnd, msg, wp, lp));
  }
};

class CButton : public CControl {
 public:
  bool Create(const char* caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("BUTTON", caption, style, 0, rect, parent, id);
  }
  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
  int GetCheck() const { return Send(BM_GETCHECK); }
  void SetCheck(int check) { Send(BM_SETCHECK, static_cast<WPARAM>(check)); }
  // BST_PUSHED, BST_FOCUS and the check state.
  UINT GetState() const { return static_cast<UINT>(Send(BM_GETSTATE)); }
  void SetState(bool pushed) { Send(BM_SETSTATE, pushed); }
  // The BS_ type and flags of the low word.
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT style, bool redraw = true) { Send(BM_SETSTYLE, style, redraw); }
  // Pictures of BS_BITMAP and BS_ICON buttons; the caller keeps them.
  HBITMAP SetBitmap(HBITMAP bitmap);
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP));
  }
  HICON SetIcon(HICON icon);
  // As a click: the parent gets BN_CLICKED.
  void Click() { Send(BM_CLICK); }
};

// A button that draws itself from bitmaps: up, and optionally down
// (pressed), focused and disabled, each as large as the button.
class CBitmapButton : public CButton {
 public:
  // Resource ids (0: none) in the resource module; false when the up
  // bitmap is missing.
  bool LoadBitmaps(UINT up, UINT down = 0, UINT focus = 0, UINT disabled = 0,
                   HINSTANCE instance = nullptr);
  // Makes the button the size of its up bitmap.
  void SizeToContent();

 protected:
  void PreSubclassWindow() override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  CBitmap m_up, m_down, m_focus, m_disabled;
};

class CEdit : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("EDIT", "", style, WS_EX_CLIENTEDGE, rect, parent, id);
  }
  // The selection as start and end (end one past the last character).
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end, bool noScroll = false);
  void ReplaceSel(const char* text, bool canUndo = false);
  void LimitText(int maxChars) { Send(EM_LIMITTEXT, static_cast<WPARAM>(maxChars)); }
  int GetLimitText() const { return Send(EM_GETLIMITTEXT); }
  int GetLineCount() const { return Send(EM_GETLINECOUNT); }
  bool GetModify() const { return Send(EM_GETMODIFY) != 0; }
  void SetModify(bool modified = true) { Send(EM_SETMODIFY, modified); }
  bool SetReadOnly(bool readOnly = true) { return Send(EM_SETREADONLY, readOnly) != 0; }
};

class CStatic : public CControl {
 public:
  bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("STATIC", text, style, 0, rect, parent, id);
  }
  // Pictures of SS_BITMAP and SS_ICON statics; each returns the previous
  // one. The caller keeps them and must clear them before they go.
  HBITMAP SetBitmap(HBITMAP bitmap);
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
  }
  HICON SetIcon(HICON icon);
  HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

class CListBox : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("LISTBOX", "", style, WS_EX_CLIENTEDGE, rect, parent, id);
  }
  // Each returns the item's index, or LB_ERR.
  int AddString(const char* text) { return Send(LB_ADDSTRING, 0, (LPARAM)text); }
  int InsertString(int index, const char* text) {
    return Send(LB_INSERTSTRING, static_cast<WPARAM>(index), (LPARAM)text);
  }
  int DeleteString(int index) { return Send(LB_DELETESTRING, static_cast<WPARAM>(index)); }
  void ResetContent() { Send(LB_RESETCONTENT); }
  int GetCount() const { return Send(LB_GETCOUNT); }
  CString GetText(int index) const;
  int FindStringExact(int after, const char* text) const {
    return Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), (LPARAM)text);
  }
  // Single selection: the selected item, or LB_ERR.
  int GetCurSel() const { return Send(LB_GETCURSEL); }
  int SetCurSel(int index) { return Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }
  // Multiple selection.
  int GetSel(int index) const { return Send(LB_GETSEL, static_cast<WPARAM>(index)); }
  // index -1: every item.
  int SetSel(int index, bool select = true) { return Send(LB_SETSEL, select, index); }
  int GetSelCount() const { return Send(LB_GETSELCOUNT); }
  // The selected items' indices into out (room for max); returns how many.
  int GetSelItems(int max, int* out) const { return Send(LB_GETSELITEMS, max, (LPARAM)out); }
  // The item with the focus rectangle.
  int GetCaretIndex() const { return Send(LB_GETCARETINDEX); }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)));
  }
  int SetItemData(int index, DWORD_PTR data) {
    return Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  }
  int SetItemHeight(int index, int height) { return Send(LB_SETITEMHEIGHT, index, height); }
  void SetHorizontalExtent(int pixels) { Send(LB_SETHORIZONTALEXTENT, pixels); }
};

class CComboBox : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl("COMBOBOX", "", style, 0, rect, parent, id);
  }
  int AddString(const char* text) { return Send(CB_ADDSTRING, 0, (LPARAM)text); }
  int InsertString(int index, const char* text) {
    return Send(CB_INSERTSTRING, static_cast<WPARAM>(index), (LPARAM)text);
  }
  int DeleteString(int index) { return Send(CB_DELETESTRING, static_cast<WPARAM>(index)); }
  void ResetContent() { Send(CB_RESETCONTENT); }
  int GetCount() const { return Send(CB_GETCOUNT); }
  CString GetLBText(int index) const;
  int FindStringExact(int after, const char* text) const {
    return Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), (LPARAM)text);
  }
  // Selects the first item that starts with the text; its index or CB_ERR.
  int SelectString(int after, const char* text) {
    return Send(CB_SELECTSTRING, static_cast<WPARAM>(after), (LPARAM)text);
  }
  int GetCurSel() const { return Send(CB_GETCURSEL); }
  int SetCurSel(int index) { return Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
  }
  int SetItemData(int index, DWORD_PTR data) {
    return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
  }
  // index -1: the selection field.
  int SetItemHeight(int index, int height) { return Send(CB_SETITEMHEIGHT, index, height); }
  int GetItemHeight(int index) const { return Send(CB_GETITEMHEIGHT, index); }
  bool GetDroppedState() const { return Send(CB_GETDROPPEDSTATE) != 0; }
};

class CSpinButtonCtrl : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(UPDOWN_CLASSA, "", style, 0, rect, parent, id);
  }
  void SetRange32(int lower, int upper) { Send(UDM_SETRANGE32, lower, upper); }
  void GetRange32(int& lower, int& upper) const {
    SendMessage(UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper);
  }
  // Returns the previous position.
  int SetPos32(int pos) { return Send(UDM_SETPOS32, 0, pos); }
  int GetPos32() const { return Send(UDM_GETPOS32); }
  HWND SetBuddy(HWND buddy) {
    return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, (WPARAM)buddy));
  }
  HWND GetBuddy() const { return reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)); }
  // 10 or 16: how a buddy edit shows the position.
  int SetBase(int base) { return Send(UDM_SETBASE, static_cast<WPARAM>(base)); }
};

class CSliderCtrl : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(TRACKBAR_CLASSA, "", style, 0, rect, parent, id);
  }
  void SetRange(int minValue, int maxValue, bool redraw = false) {
    Send(TBM_SETRANGEMIN, FALSE, minValue);
    Send(TBM_SETRANGEMAX, redraw, maxValue);
  }
  int GetRangeMin() const { return Send(TBM_GETRANGEMIN); }
  int GetRangeMax() const { return Send(TBM_GETRANGEMAX); }
  int GetPos() const { return Send(TBM_GETPOS); }
  void SetPos(int pos) { Send(TBM_SETPOS, TRUE, pos); }
  // The step of the arrow keys and of Page Up and Down; each returns the
  // previous one.
  int SetLineSize(int size) { return Send(TBM_SETLINESIZE, 0, size); }
  int GetLineSize() const { return Send(TBM_GETLINESIZE); }
  int SetPageSize(int size) { return Send(TBM_SETPAGESIZE, 0, size); }
  void SetTicFreq(int frequency) { Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
};

class CProgressCtrl : public CControl {
 public:
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(PROGRESS_CLASSA, "", style, 0, rect, parent, id);
  }
  void SetRange32(int lower, int upper) { Send(PBM_SETRANGE32, lower, upper); }
  void GetRange(int& lower, int& upper) const;
  // Each returns the previous position, or step.
  int SetPos(int pos) { return Send(PBM_SETPOS, static_cast<WPARAM>(pos)); }
  int GetPos() const { return Send(PBM_GETPOS); }
  int OffsetPos(int delta) { return Send(PBM_DELTAPOS, static_cast<WPARAM>(delta)); }
  int SetStep(int step) { return Send(PBM_SETSTEP, static_cast<WPARAM>(step)); }
  int StepIt() { return Send(PBM_STEPIT); }
};

// A tooltip control owned by a window, showing texts over that window's
// controls or over rectangles of it.
class CToolTipCtrl : public CControl {
 public:
  // TTS_ styles; TTS_ALWAYSTIP is always added.
  bool Create(HWND owner, DWORD style = 0);
  // A tip over the whole of a control (the owner's child), or, with a
  // rectangle (owner's client coordinates), over that part of the owner
  // under the id. The control's mouse messages reach the tip by itself;
  // those over a rectangle the owner relays (RelayEvent).
  bool AddTool(HWND control, const char* text);
  bool AddTool(HWND owner, const char* text, const RECT& rect, UINT id);
  void DelTool(HWND window, UINT id = 0);
  void UpdateTipText(const char* text, HWND window, UINT id = 0);
  CString GetText(HWND window, UINT id = 0) const;
  int GetToolCount() const { return Send(TTM_GETTOOLCOUNT); }
  void Activate(bool active) { Send(TTM_ACTIVATE, active); }
  void SetMaxTipWidth(int width) { Send(TTM_SETMAXTIPWIDTH, 0, width); }
  void RelayEvent(MSG* msg) { Send(TTM_RELAYEVENT, 0, (LPARAM)msg); }
};
