// CWnd: a window object bound to its HWND. The object goes in through
// CreateWindowEx's lpCreateParams and is bound at WM_NCCREATE, unbound at
// WM_NCDESTROY, after which PostNcDestroy runs (a window that owns itself
// deletes itself there, never earlier: when WM_NCDESTROY comes while one of
// the window's own messages is still being handled, PostNcDestroy waits
// until that handler has returned). Messages reach a small set of virtual
// On... handlers whose defaults do what the system does; commands and
// notifications beyond them go through the command tables of the user
// interface layer (framework/CmdTarget.h), not through more virtuals here.
// A child's notifications to its parent are offered first to the child's
// own object (OnChildNotify). Every handler runs inside one try/catch in the
// window procedure, so nothing unwinds through user32.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // Registers (once per distinct combination) a window class whose
  // procedure is ours and returns its name.
  static const char* RegisterWndClass(UINT style, HCURSOR cursor = nullptr,
                                      HBRUSH background = nullptr, HICON icon = nullptr);
  // Registers a named class of ours; true when it is registered now.
  static bool RegisterNamedClass(const char* name, UINT style, HCURSOR cursor,
                                 HBRUSH background, HICON icon, HICON smallIcon = nullptr);

  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                const RECT& rect, HWND parent, UINT idOrMenu);
  bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                int y, int w, int h, HWND parent, UINT idOrMenu);
  bool DestroyWindow();

  // Binds to an existing window of this thread (a dialog's control, say)
  // through the common controls' SetWindowSubclass, so that its messages
  // come through us first, Default() hands them on to the window's own
  // procedure, and other subclasses of the window stay as they are.
  bool SubclassWindow(HWND hwnd);
  // The same for the control `id` of a dialog or window.
  bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
  // Removes our subclass and unbinds; returns the window, or null when the
  // object had not subclassed one.
  HWND UnsubclassWindow();

  static CWnd* FromHandlePermanent(HWND hwnd);

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Thin wrappers.
  CRect GetClientRect() const;
  CRect GetWindowRect() const;
  bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
  bool UpdateWindow() { return ::UpdateWindow(m_hWnd) != FALSE; }
  bool Invalidate(bool erase = true) { return ::InvalidateRect(m_hWnd, nullptr, erase) != FALSE; }
  bool InvalidateRect(const RECT* r, bool erase = true) {
    return ::InvalidateRect(m_hWnd, r, erase) != FALSE;
  }
  bool MoveWindow(int x, int y, int w, int h, bool repaint = true) {
    return ::MoveWindow(m_hWnd, x, y, w, h, repaint) != FALSE;
  }
  bool SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags) != FALSE;
  }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::SendMessageA(m_hWnd, msg, wp, lp);
  }
  bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
    return ::PostMessageA(m_hWnd, msg, wp, lp) != FALSE;
  }
  UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
  bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  bool SetWindowText(const char* text) { return ::SetWindowTextA(m_hWnd, text) != FALSE; }
  int GetWindowText(char* out, int size) const { return ::GetWindowTextA(m_hWnd, out, size); }
  bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
  bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
  bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
  bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
  LONG_PTR GetExStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  void SetFont(HFONT font, bool redraw = true) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  // RedrawWindow of the whole window (named apart from the system's, which
  // window classes call as they are).
  bool Redraw(UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW) {
    return ::RedrawWindow(m_hWnd, nullptr, nullptr, flags) != FALSE;
  }
  // Centres the window: a child in its parent's client area, any other
  // window over alternateOwner or its owner (the work area when there is
  // none, or it is hidden or minimised), kept inside the work area of the
  // monitor it lands on.
  void CenterWindow(HWND alternateOwner = nullptr);

  // Called by the thread's message loop before dispatch; true eats it.
  virtual bool PreTranslateMessage(MSG* msg) { return false; }

 protected:
  // The procedure of our windows: dispatches to the handlers below. An
  // override that handles a message returns its result; otherwise it calls
  // the base.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // What the system would do with the message being handled.
  LRESULT Default();
  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Runs after WM_NCDESTROY, with the window gone and the object unbound.
  virtual void PostNcDestroy() {}
  // Runs when SubclassWindow has put an existing window under the object,
  // before anything else reaches it: a control class sets up its window
  // here (styles, fonts, images), whoever binds it (a dialog's data
  // exchange, a view, a bar).
  virtual void PreSubclassWindow() {}

  // Handlers: each default does what the system does.
  virtual int OnCreate(CREATESTRUCTA* cs) { return static_cast<int>(Default()); }
  virtual void OnDestroy() { Default(); }
  virtual void OnClose() { Default(); }
  virtual void OnPaint() { Default(); }
  virtual bool OnEraseBkgnd(HDC dc) { return Default() != 0; }
  virtual void OnSize(UINT type, int cx, int cy) { Default(); }
  virtual void OnTimer(UINT_PTR id) { Default(); }
  virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags) { Default(); }
  virtual void OnKeyUp(UINT vk, UINT repeat, UINT flags) { Default(); }
  virtual void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) { Default(); }
  virtual void OnChar(UINT ch, UINT repeat, UINT flags) { Default(); }
  virtual void OnMouseMove(UINT flags, CPoint pt) { Default(); }
  virtual void OnLButtonDown(UINT flags, CPoint pt) { Default(); }
  virtual void OnLButtonUp(UINT flags, CPoint pt) { Default(); }
  virtual void OnLButtonDblClk(UINT flags, CPoint pt) { Default(); }
  virtual void OnRButtonDown(UINT flags, CPoint pt) { Default(); }
  virtual void OnMButtonDown(UINT flags, CPoint pt) { Default(); }
  virtual bool OnSetCursor(HWND wnd, UINT hitTest, UINT message) { return Default() != 0; }
  virtual void OnActivate(UINT state, HWND other, bool minimized) { Default(); }
  virtual void OnActivateApp(bool active, DWORD threadId) { Default(); }
  virtual void OnSysCommand(UINT id, LPARAM lp) { Default(); }
  // WM_COMMAND: true when handled.
  virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
  // WM_NOTIFY: true when handled, with the result in *result.
  virtual bool OnNotify(NMHDR* hdr, LRESULT* result) { return false; }
  // Called on a control's own object when its parent (a window or dialog
  // of ours) receives a notification from it: WM_COMMAND, WM_NOTIFY,
  // WM_DRAWITEM, WM_MEASUREITEM or WM_CTLCOLOR*, as the parent got it. True
  // takes the message, with *result as the parent's answer; false leaves it
  // to the parent's own handlers.
  virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return false; }

  // The window the object is bound to, which a window class reads; only
  // the binding below sets it.
  HWND m_hWnd = nullptr;

 private:
  // The procedures of dialogs, property pages and the file dialog's hook
  // bind their objects and hand messages on through Handle.
  friend class CDialog;
  friend class CPropertyPage;
  friend class CFileDialog;

  // For the dialog procedure: binding, and the handling of one message
  // through WindowProc (after the child's own object has been offered it).
  // Handle returns false when a handler threw: the exception has been
  // reported and deleted, and *result is 0. *defaulted tells whether the
  // handler fell back to Default(). The binding ends at WM_NCDESTROY; wnd
  // may be gone when Handle returns from that message.
  void Bind(HWND hwnd);
  static bool Handle(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result,
                     bool* defaulted = nullptr);
  bool m_isDialog = false;  // Default() means "not handled" for dialogs

  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR self);
  static LRESULT Procedure(CWnd* wnd, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp, bool* defaulted);
  bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  void Unbind();
  // Removes our subclass, if any, and the binding.
  void EndBinding(HWND hwnd);
  // Runs PostNcDestroy, which may delete the object.
  static void Finish(CWnd* wnd);

  bool m_subclassed = false;  // bound through SubclassWindow
  // Messages of this window being handled (nested sends count), and a
  // WM_NCDESTROY whose PostNcDestroy waits for them to return.
  int m_depth = 0;
  bool m_ncDestroyPending = false;
  // The message being handled, for Default().
  UINT m_msg = 0;
  WPARAM m_wp = 0;
  LPARAM m_lp = 0;
  bool m_defaulted = false;
};
