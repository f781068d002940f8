// The thin control classes: creation under an object, the few operations
// that are more than one message, and the bitmap button's drawing.
#include "framework/Controls.h"

namespace {

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

// The text of an item of a list box or combo box (the messages differ).
CString ItemText(HWND control, UINT lengthMsg, UINT textMsg, int index) {
  CString text;
  const LRESULT length = ::SendMessageA(control, lengthMsg, static_cast<WPARAM>(index), 0);
  if (length <= 0) return text;
  char* buffer = text.GetBuffer(static_cast<int>(length) + 1);
  buffer[0] = 0;
  ::SendMessageA(control, textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer();
  return text;
}

}  // namespace

bool CControl::CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle,
                             const RECT& r, HWND parent, UINT id) {
  if (m_hWnd) return false;
  HWND hwnd = ::CreateWindowExA(exStyle, className, text, style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                ModuleInstance(), nullptr);
  if (!hwnd) return false;
  if (parent) {
    // A control takes its parent's font, as a template's controls do.
    const LRESULT font = ::SendMessageA(parent, WM_GETFONT, 0, 0);
    if (font) ::SendMessageA(hwnd, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  }
  if (!SubclassWindow(hwnd)) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------

HBITMAP CButton::SetBitmap(HBITMAP bitmap) {
  return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap));
}

HICON CButton::SetIcon(HICON icon) {
  return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon));
}

bool CBitmapButton::LoadBitmaps(UINT up, UINT down, UINT focus, UINT disabled,
                                HINSTANCE instance) {
  if (!instance) instance = ModuleInstance();
  CBitmap* const bitmaps[] = {&m_up, &m_down, &m_focus, &m_disabled};
  const UINT ids[] = {up, down, focus, disabled};
  for (int i = 0; i < 4; ++i) {
    bitmaps[i]->DeleteObject();
    if (ids[i]) bitmaps[i]->Attach(::LoadBitmapA(instance, MAKEINTRESOURCEA(ids[i])));
  }
  if (m_hWnd) Invalidate(false);
  return m_up.GetSafeHandle() != nullptr;
}

void CBitmapButton::SizeToContent() {
  const CSize size = m_up.GetSize();
  if (m_hWnd && size.cx > 0)
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::PreSubclassWindow() {
  ::SetWindowLongA(m_hWnd, GWL_STYLE,
                   static_cast<LONG>((GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW));
}

bool CBitmapButton::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
  // The picture of the state: what is missing falls back to the up one.
  const CBitmap* bitmap = &m_up;
  if ((item->itemState & ODS_DISABLED) && m_disabled.GetSafeHandle())
    bitmap = &m_disabled;
  else if ((item->itemState & ODS_SELECTED) && m_down.GetSafeHandle())
    bitmap = &m_down;
  else if ((item->itemState & ODS_FOCUS) && m_focus.GetSafeHandle())
    bitmap = &m_focus;
  *result = TRUE;
  if (!bitmap->GetSafeHandle()) return true;
  const CRect r(item->rcItem);
  CMemoryDC memory(item->hDC);
  CSelectObject selected(memory, bitmap->GetSafeHandle());
  ::BitBlt(item->hDC, r.left, r.top, r.Width(), r.Height(), memory, 0, 0, SRCCOPY);
  return true;
}

// ---------------------------------------------------------------------------

void CEdit::GetSel(int& start, int& end) const {
  DWORD s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

void CEdit::SetSel(int start, int end, bool noScroll) {
  Send(EM_SETSEL, static_cast<WPARAM>(start), end);
  if (!noScroll) Send(EM_SCROLLCARET);
}

void CEdit::ReplaceSel(const char* text, bool canUndo) {
  Send(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
}

CString CControl::GetText() const {
  CString text;
  const int length = ::GetWindowTextLengthA(m_hWnd);
  char* buffer = text.GetBuffer(length + 1);
  buffer[0] = 0;
  ::GetWindowTextA(m_hWnd, buffer, length + 1);
  text.ReleaseBuffer();
  return text;
}

// ---------------------------------------------------------------------------

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
  return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap));
}

HICON CStatic::SetIcon(HICON icon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, (WPARAM)icon));
}

CString CListBox::GetText(int index) const {
  return ItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, index);
}

CString CComboBox::GetLBText(int index) const {
  return ItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
  PBRANGE range = {};
  SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  lower = range.iLow;
  upper = range.iHigh;
}

// ---------------------------------------------------------------------------

namespace {

// A tool: a control of the owner (id 0), or a rectangle of the window
// under id. The size that every version of the common controls takes.
TOOLINFOA ToolInfo(HWND window, UINT id) {
  TOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  if (id == 0) {
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(window);
    info.uId = reinterpret_cast<UINT_PTR>(window);
  } else {
    info.hwnd = window;
    info.uId = id;
  }
  return info;
}

}  // namespace

bool CToolTipCtrl::Create(HWND owner, DWORD style) {
  if (m_hWnd) return false;
  HWND hwnd = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | style,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                                nullptr, ModuleInstance(), nullptr);
  if (!hwnd) return false;
  if (!SubclassWindow(hwnd)) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

bool CToolTipCtrl::AddTool(HWND control, const char* text) {
  TOOLINFOA info = ToolInfo(control, 0);
  info.uFlags |= TTF_SUBCLASS;
  info.lpszText = const_cast<char*>(text);
  return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool CToolTipCtrl::AddTool(HWND owner, const char* text, const RECT& rect, UINT id) {
  TOOLINFOA info = ToolInfo(owner, id);
  info.rect = rect;
  info.lpszText = const_cast<char*>(text);
  return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipCtrl::DelTool(HWND window, UINT id) {
  TOOLINFOA info = ToolInfo(window, id);
  Send(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(const char* text, HWND window, UINT id) {
  TOOLINFOA info = ToolInfo(window, id);
  info.lpszText = const_cast<char*>(text);
  Send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

CString CToolTipCtrl::GetText(HWND window, UINT id) const {
  char buffer[256] = "";
  TOOLINFOA info = ToolInfo(window, id);
  info.lpszText = buffer;
  Send(TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&info));
  return CString(buffer);
}
