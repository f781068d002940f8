// CWnd: binding, dispatch and the thin wrappers.
#include "framework/Wnd.h"

#include "framework/TextFormat.h"

namespace {

// The window property that holds the CWnd of a window.
const char kWndProp[] = "LwCWnd";

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    if (m_superProc) {
      UnsubclassWindow();
    } else {
      // The object goes before its window: the window must not call it.
      HWND h = m_hWnd;
      Unbind();
      ::DestroyWindow(h);
    }
  }
}

const char* CWnd::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  // One name per combination; the few combinations a program uses are kept.
  static char names[16][64];
  static int used = 0;
  char name[64];
  FormatText(name, sizeof name, "LwWnd:%x:%p:%p:%p", style, (void*)cursor,
             (void*)background, (void*)icon);
  for (int i = 0; i < used; ++i)
    if (lstrcmpA(names[i], name) == 0) return names[i];
  if (used == 16) return nullptr;
  if (!RegisterNamedClass(name, style, cursor, background, icon)) return nullptr;
  lstrcpyA(names[used], name);
  return names[used++];
}

bool CWnd::RegisterNamedClass(const char* name, UINT style, HCURSOR cursor, HBRUSH background,
                              HICON icon, HICON smallIcon) {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(ModuleInstance(), name, &existing)) return true;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &CWnd::StaticWindowProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.lpszClassName = name;
  return ::RegisterClassExA(&wc) != 0;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                    const RECT& r, HWND parent, UINT idOrMenu) {
  return CreateEx(exStyle, className, title, style, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent, idOrMenu);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int w, int h, HWND parent, UINT idOrMenu) {
  if (m_hWnd) return false;
  HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(idOrMenu)),
                                ModuleInstance(), this);
  return hwnd != nullptr && m_hWnd == hwnd;
}

bool CWnd::DestroyWindow() {
  if (!m_hWnd) return false;
  return ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::SubclassWindow(HWND hwnd) {
  if (m_hWnd || !hwnd || ::GetPropA(hwnd, kWndProp)) return false;
  m_hWnd = hwnd;
  ::SetPropA(hwnd, kWndProp, this);
  m_superProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
  return true;
}

HWND CWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  if (!h || !m_superProc) return nullptr;
  ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
  m_superProc = nullptr;
  Unbind();
  return h;
}

void CWnd::Unbind() {
  if (m_hWnd) ::RemovePropA(m_hWnd, kWndProp);
  m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kWndProp)) : nullptr;
}

CRect CWnd::GetClientRect() const {
  CRect r;
  ::GetClientRect(m_hWnd, &r);
  return r;
}

CRect CWnd::GetWindowRect() const {
  CRect r;
  ::GetWindowRect(m_hWnd, &r);
  return r;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* wnd = FromHandlePermanent(hwnd);
  if (!wnd && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    wnd = static_cast<CWnd*>(cs->lpCreateParams);
    if (wnd) wnd->Bind(hwnd);
  }
  if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);

  LRESULT result = 0;
  try {
    result = wnd->Dispatch(msg, wp, lp);
  } catch (...) {
    // A handler failed; the message counts as handled with 0, and nothing
    // unwinds into user32.
    result = 0;
  }
  if (msg == WM_NCDESTROY) EndBinding(wnd, hwnd);
  return result;
}

void CWnd::Bind(HWND hwnd) {
  m_hWnd = hwnd;
  ::SetPropA(hwnd, kWndProp, this);
}

void CWnd::EndBinding(CWnd* wnd, HWND hwnd) {
  WNDPROC super = wnd->m_superProc;
  wnd->m_superProc = nullptr;
  wnd->Unbind();
  if (super) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
  try {
    wnd->PostNcDestroy();  // may delete the object
  } catch (...) {
  }
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp, bool* defaulted) {
  UINT savedMsg = m_msg;
  WPARAM savedWp = m_wp;
  LPARAM savedLp = m_lp;
  bool savedDefaulted = m_defaulted;
  m_msg = msg;
  m_wp = wp;
  m_lp = lp;
  m_defaulted = false;
  LRESULT r = WindowProc(msg, wp, lp);
  if (defaulted) *defaulted = m_defaulted;
  m_msg = savedMsg;
  m_wp = savedWp;
  m_lp = savedLp;
  m_defaulted = savedDefaulted;
  return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_isDialog && !m_superProc) {
    m_defaulted = true;  // the dialog manager does the default
    return 0;
  }
  if (m_superProc) return ::CallWindowProcA(m_superProc, m_hWnd, msg, wp, lp);
  return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() { return DefWindowProc(m_msg, m_wp, m_lp); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  const CPoint pt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  const UINT repeat = LOWORD(lp), keyFlags = HIWORD(lp);
  switch (msg) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wp)) ? 1 : 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(wp), repeat, keyFlags);
      return 0;
    case WM_KEYUP:
      OnKeyUp(static_cast<UINT>(wp), repeat, keyFlags);
      return 0;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(static_cast<UINT>(wp), repeat, keyFlags);
      return 0;
    case WM_CHAR:
      OnChar(static_cast<UINT>(wp), repeat, keyFlags);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wp), pt);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wp), pt);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wp), pt);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(static_cast<UINT>(wp), pt);
      return 0;
    case WM_RBUTTONDOWN:
      OnRButtonDown(static_cast<UINT>(wp), pt);
      return 0;
    case WM_MBUTTONDOWN:
      OnMButtonDown(static_cast<UINT>(wp), pt);
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp)) ? TRUE : FALSE;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp) != 0);
      return 0;
    case WM_ACTIVATEAPP:
      OnActivateApp(wp != 0, static_cast<DWORD>(lp));
      return 0;
    case WM_SYSCOMMAND:
      OnSysCommand(static_cast<UINT>(wp), lp);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(lp), &result)) return result;
      break;
    }
    default:
      break;
  }
  return Default();
}
