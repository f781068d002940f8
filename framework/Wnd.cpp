// CWnd: binding, the window and subclass procedures, dispatch, reflection
// of child notifications, and the thin wrappers.
#include "framework/Wnd.h"

#include <commctrl.h>

#include "framework/Exceptions.h"
#include "framework/TextFormat.h"

namespace {

// The window property that holds the CWnd of a window.
const char kWndProp[] = "LwCWnd";
// Our one subclass of a window, as SetWindowSubclass names it.
const UINT_PTR kSubclassId = 1;

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

// The objects of bound windows, by window, beside the window property that
// records each binding: every message looks its window's object up, and a
// property lookup is a round trip to the window server under Wine. Bind
// and Unbind keep the table as they set and remove the property, so an
// entry is always a binding in force; a window whose slot another window
// has taken is found through its property. Windows of several threads
// share the table, hence the lock. Its slots are taken from the heap at
// the first binding, so that they cost the programs' images nothing.
class CBindingTable {
 public:
  void Set(HWND hwnd, CWnd* wnd) {
    Entry* entries = Entries(true);
    if (!entries) return;
    ::AcquireSRWLockExclusive(&m_lock);
    entries[Slot(hwnd)] = {hwnd, wnd};
    ::ReleaseSRWLockExclusive(&m_lock);
  }
  void Clear(HWND hwnd) {
    Entry* entries = Entries(false);
    if (!entries) return;
    ::AcquireSRWLockExclusive(&m_lock);
    Entry& entry = entries[Slot(hwnd)];
    if (entry.hwnd == hwnd) entry = {nullptr, nullptr};
    ::ReleaseSRWLockExclusive(&m_lock);
  }
  // True, with the object, when the table holds the window.
  bool Find(HWND hwnd, CWnd** wnd) {
    Entry* entries = Entries(false);
    if (!entries) return false;
    ::AcquireSRWLockShared(&m_lock);
    const Entry& entry = entries[Slot(hwnd)];
    const bool found = entry.hwnd == hwnd;
    if (found) *wnd = entry.wnd;
    ::ReleaseSRWLockShared(&m_lock);
    return found;
  }

 private:
  struct Entry {
    HWND hwnd;
    CWnd* wnd;
  };
  static constexpr int kSlots = 256;
  static int Slot(HWND hwnd) {
    const auto value = reinterpret_cast<uintptr_t>(hwnd);
    return static_cast<int>((value ^ (value >> 8) ^ (value >> 16)) & (kSlots - 1));
  }
  // The slots, made when make is set and there are none yet; the first of
  // two threads to make them keeps its own. Never freed: the process's end
  // takes them.
  Entry* Entries(bool make) {
    void* entries = m_entries;
    if (entries || !make) return static_cast<Entry*>(entries);
    void* made = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, kSlots * sizeof(Entry));
    if (!made) return nullptr;
    entries = ::InterlockedCompareExchangePointer(&m_entries, made, nullptr);
    if (!entries) return static_cast<Entry*>(made);
    ::HeapFree(::GetProcessHeap(), 0, made);
    return static_cast<Entry*>(entries);
  }
  // Zeros, as the table starts: an unowned lock, no slots.
  SRWLOCK m_lock;
  void* volatile m_entries;
};
CBindingTable g_bindings;

// The child of a parent with a control id, as GetDlgItem finds it (which
// lists the parent's children through the window server under Wine): an
// owner-drawn list box measures each line it is given through its parent,
// so the last child found is kept, and checked against the window itself.
SRWLOCK g_childLock;
HWND g_lastParent = nullptr;
HWND g_lastChild = nullptr;

HWND ChildWithId(HWND parent, int id) {
  ::AcquireSRWLockShared(&g_childLock);
  HWND child = g_lastParent == parent ? g_lastChild : nullptr;
  ::ReleaseSRWLockShared(&g_childLock);
  if (child && ::GetParent(child) == parent &&
      static_cast<int>(::GetWindowLongPtrA(child, GWLP_ID)) == id)
    return child;
  child = ::GetDlgItem(parent, id);
  ::AcquireSRWLockExclusive(&g_childLock);
  g_lastParent = parent;
  g_lastChild = child;
  ::ReleaseSRWLockExclusive(&g_childLock);
  return child;
}

// The control that a child notification comes from; null for any other
// message, and for menus (owner-drawn menu items are the parent's own).
HWND NotifyingChild(HWND parent, UINT msg, LPARAM lp) {
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return reinterpret_cast<HWND>(lp);
  if (!lp) return nullptr;
  switch (msg) {
    case WM_COMMAND:
      return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
      return reinterpret_cast<NMHDR*>(lp)->hwndFrom;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_MEASUREITEM: {
      const auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      return item->CtlType == ODT_MENU ? nullptr : ChildWithId(parent, static_cast<int>(item->CtlID));
    }
    default:
      return nullptr;
  }
}

// What a window procedure answers for a message whose handler threw: a
// creation fails; a paint counts as done, or WM_PAINT would come back for
// ever; anything else is handled with nothing done.
LRESULT FailedResult(HWND hwnd, UINT msg) {
  switch (msg) {
    case WM_NCCREATE:
      return FALSE;
    case WM_CREATE:
      return -1;
    case WM_PAINT:
      ::ValidateRect(hwnd, nullptr);
      return 0;
    default:
      return 0;
  }
}

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    if (m_subclassed) {
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
  // A failed creation has ended the binding (and a window that owns itself
  // may be gone): nothing of the object is touched then.
  return hwnd != nullptr && m_hWnd == hwnd;
}

bool CWnd::DestroyWindow() {
  if (!m_hWnd) return false;
  return ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::SubclassWindow(HWND hwnd) {
  if (m_hWnd || !hwnd || FromHandlePermanent(hwnd)) return false;
  if (!::SetWindowSubclass(hwnd, &CWnd::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this)))
    return false;
  Bind(hwnd);
  m_subclassed = true;
  PreSubclassWindow();
  return true;
}

HWND CWnd::UnsubclassWindow() {
  HWND h = m_hWnd;
  if (!h || !m_subclassed) return nullptr;
  EndBinding(h);
  return h;
}

void CWnd::Unbind() {
  if (m_hWnd) {
    g_bindings.Clear(m_hWnd);
    ::RemovePropA(m_hWnd, kWndProp);
  }
  m_hWnd = nullptr;
}

void CWnd::EndBinding(HWND hwnd) {
  if (m_subclassed) ::RemoveWindowSubclass(hwnd, &CWnd::SubclassProc, kSubclassId);
  m_subclassed = false;
  Unbind();
}

void CWnd::Finish(CWnd* wnd) {
  try {
    wnd->PostNcDestroy();  // may delete the object
  } catch (...) {
    AfxReportCaughtException("PostNcDestroy");
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  if (!hwnd) return nullptr;
  CWnd* wnd = nullptr;
  if (g_bindings.Find(hwnd, &wnd)) return wnd;
  return static_cast<CWnd*>(::GetPropA(hwnd, kWndProp));
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

void CWnd::CenterWindow(HWND alternateOwner) {
  const bool child = (GetStyle() & WS_CHILD) != 0;
  HWND over = alternateOwner ? alternateOwner : child ? GetParent() : ::GetWindow(m_hWnd, GW_OWNER);
  CRect bounds;
  CRect target;
  if (child) {
    // In the parent's client area, in the parent's coordinates.
    HWND parent = GetParent();
    ::GetClientRect(parent, &bounds);
    target = bounds;
    if (over && over != parent) {
      ::GetWindowRect(over, &target);
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&target), 2);
    }
  } else {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const bool useOwner = over && ::IsWindowVisible(over) && !::IsIconic(over);
    ::GetMonitorInfoA(::MonitorFromWindow(useOwner ? over : m_hWnd, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    bounds = monitor.rcWork;
    target = bounds;
    if (useOwner) ::GetWindowRect(over, &target);
  }
  const CRect now = GetWindowRect();
  const int w = now.Width(), h = now.Height();
  int x = target.left + (target.Width() - w) / 2;
  int y = target.top + (target.Height() - h) / 2;
  // Inside the bounds; a window larger than them keeps its top left there.
  if (x + w > bounds.right) x = bounds.right - w;
  if (y + h > bounds.bottom) y = bounds.bottom - h;
  if (x < bounds.left) x = bounds.left;
  if (y < bounds.top) y = bounds.top;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* wnd = FromHandlePermanent(hwnd);
  if (!wnd && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    wnd = static_cast<CWnd*>(cs->lpCreateParams);
    if (wnd) wnd->Bind(hwnd);
  }
  if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
  return Procedure(wnd, hwnd, msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
  return Procedure(reinterpret_cast<CWnd*>(self), hwnd, msg, wp, lp);
}

LRESULT CWnd::Procedure(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  if (!Handle(wnd, hwnd, msg, wp, lp, &result)) result = FailedResult(hwnd, msg);
  // A window refused at WM_NCCREATE may never see WM_NCDESTROY.
  if (msg == WM_NCCREATE && !result && FromHandlePermanent(hwnd) == wnd) {
    wnd->EndBinding(hwnd);
    Finish(wnd);
  }
  return result;
}

bool CWnd::Handle(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result,
                  bool* defaulted) {
  bool ok = true;
  ++wnd->m_depth;
  try {
    *result = wnd->Dispatch(msg, wp, lp, defaulted);
  } catch (...) {
    char where[48];
    FormatText(where, sizeof where, "Handler of message 0x%04X", msg);
    AfxReportCaughtException(where);
    *result = 0;
    ok = false;
  }
  --wnd->m_depth;
  if (msg == WM_NCDESTROY) {
    wnd->EndBinding(hwnd);
    wnd->m_ncDestroyPending = true;
  }
  if (wnd->m_depth == 0 && wnd->m_ncDestroyPending) {
    wnd->m_ncDestroyPending = false;
    Finish(wnd);
  }
  return ok;
}

void CWnd::Bind(HWND hwnd) {
  m_hWnd = hwnd;
  if (::SetPropA(hwnd, kWndProp, this)) g_bindings.Set(hwnd, this);
}

bool CWnd::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  HWND child = NotifyingChild(m_hWnd, msg, lp);
  CWnd* control = child ? FromHandlePermanent(child) : nullptr;
  if (!control || control == this) return false;
  *result = 0;
  return control->OnChildNotify(msg, wp, lp, result);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp, bool* defaulted) {
  LRESULT r = 0;
  if (ReflectToChild(msg, wp, lp, &r)) {
    if (defaulted) *defaulted = false;
    return r;
  }
  // The message being handled, put back when the handler returns or
  // throws: a message sent to the window meanwhile has its own.
  struct Saved {
    CWnd* wnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool defaulted;
    ~Saved() {
      wnd->m_msg = msg;
      wnd->m_wp = wp;
      wnd->m_lp = lp;
      wnd->m_defaulted = defaulted;
    }
  } saved = {this, m_msg, m_wp, m_lp, m_defaulted};
  m_msg = msg;
  m_wp = wp;
  m_lp = lp;
  m_defaulted = false;
  r = WindowProc(msg, wp, lp);
  if (defaulted) *defaulted = m_defaulted;
  return r;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_subclassed) return ::DefSubclassProc(m_hWnd, msg, wp, lp);
  if (m_isDialog) {
    m_defaulted = true;  // the dialog manager does the default
    return 0;
  }
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
