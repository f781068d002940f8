// The toolbar, its floating frame, and the status bar.
#include "framework/Bars.h"

#include <algorithm>

#include "framework/App.h"
#include "framework/ImageList.h"

namespace {

// A button is this much larger than its image.
const CSize kButtonPadding(7, 6);
// A floating bar dropped with the cursor this close to an edge of the
// frame's client area docks there.
const int kDockZone = 24;

HINSTANCE ResourceModule() { return ::GetModuleHandleA(nullptr); }

void InitBarControls() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  done = ::InitCommonControlsEx(&icc) != FALSE;
}

// The key whose toggle an indicator pane follows; 0 for other panes.
int KeyOfIndicator(UINT id) {
  switch (id) {
    case ID_INDICATOR_CAPS:
      return VK_CAPITAL;
    case ID_INDICATOR_NUM:
      return VK_NUMLOCK;
    case ID_INDICATOR_SCRL:
      return VK_SCROLL;
    default:
      return 0;
  }
}

CControlBar::Side SideOfStyle(DWORD style) {
  if (style & CBRS_ALIGN_TOP) return CControlBar::kTop;
  if (style & CBRS_ALIGN_BOTTOM) return CControlBar::kBottom;
  if (style & CBRS_ALIGN_LEFT) return CControlBar::kLeft;
  if (style & CBRS_ALIGN_RIGHT) return CControlBar::kRight;
  return CControlBar::kTop;
}

DWORD AlignOfSide(CControlBar::Side side) {
  switch (side) {
    case CControlBar::kTop:
      return CBRS_ALIGN_TOP;
    case CControlBar::kBottom:
      return CBRS_ALIGN_BOTTOM;
    case CControlBar::kLeft:
      return CBRS_ALIGN_LEFT;
    case CControlBar::kRight:
      return CBRS_ALIGN_RIGHT;
  }
  return 0;
}

// Creates a bar's common control in the frame and puts it under the bar's
// object. The control places itself nowhere: its frame lays it out.
bool CreateBarControl(CWnd& bar, const char* className, DWORD style, CCmdWnd* parent, UINT id) {
  if (bar.GetSafeHwnd() || !parent || !parent->GetSafeHwnd()) return false;
  InitBarControls();
  HWND hwnd = ::CreateWindowExA(
      0, className, "", style | WS_CHILD, 0, 0, 0, 0, parent->GetSafeHwnd(),
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ResourceModule(), nullptr);
  if (!hwnd) return false;
  if (!bar.SubclassWindow(hwnd)) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

// Moves a docked bar to its strip, only when it is not there already (an
// idle layout must not make it flicker).
void MoveBar(CWnd& bar, const CRect& strip) {
  CRect now = bar.GetWindowRect();
  ::MapWindowPoints(nullptr, bar.GetParent(), reinterpret_cast<POINT*>(&now), 2);
  if (now != strip)
    bar.SetWindowPos(nullptr, strip.left, strip.top, strip.Width(), strip.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// The strip that a docked bar of the given thickness takes off `remaining`,
// which keeps the rest.
CRect TakeStrip(CRect& remaining, CControlBar::Side side, int thickness) {
  CRect strip = remaining;
  switch (side) {
    case CControlBar::kTop:
      strip.bottom = remaining.top = (std::min)(remaining.bottom, remaining.top + thickness);
      break;
    case CControlBar::kBottom:
      strip.top = remaining.bottom = (std::max)(remaining.top, remaining.bottom - thickness);
      break;
    case CControlBar::kLeft:
      strip.right = remaining.left = (std::min)(remaining.right, remaining.left + thickness);
      break;
    case CControlBar::kRight:
      strip.left = remaining.right = (std::max)(remaining.left, remaining.right - thickness);
      break;
  }
  return strip;
}

// The top left corner at which a window of that size, asked for at pt,
// lies inside the work area of the nearest monitor (a profile may name a
// screen that is gone).
CPoint KeepOnScreen(CPoint pt, CSize size) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoA(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info)) return pt;
  const CRect work(info.rcWork);
  pt.x = (std::max)(work.left, (std::min)(pt.x, static_cast<LONG>(work.right - size.cx)));
  pt.y = (std::max)(work.top, (std::min)(pt.y, static_cast<LONG>(work.bottom - size.cy)));
  return pt;
}

// A toolbar button as update-UI handlers see it.
class CToolCmdUI : public CCmdUI {
 public:
  CToolCmdUI(HWND bar, UINT id) : CCmdUI(id), m_bar(bar) {}

  void Enable(bool on) override {
    const bool enabled = ::SendMessageA(m_bar, TB_ISBUTTONENABLED, GetID(), 0) != 0;
    if (enabled != on) ::SendMessageA(m_bar, TB_ENABLEBUTTON, GetID(), MAKELPARAM(on, 0));
  }
  void SetCheck(int state) override {
    const bool checked = ::SendMessageA(m_bar, TB_ISBUTTONCHECKED, GetID(), 0) != 0;
    if (checked != (state == 1))
      ::SendMessageA(m_bar, TB_CHECKBUTTON, GetID(), MAKELPARAM(state == 1, 0));
    const bool indeterminate = ::SendMessageA(m_bar, TB_ISBUTTONINDETERMINATE, GetID(), 0) != 0;
    if (indeterminate != (state == 2))
      ::SendMessageA(m_bar, TB_INDETERMINATE, GetID(), MAKELPARAM(state == 2, 0));
  }
  void SetText(const char*) override {}

 private:
  HWND m_bar;
};

}  // namespace

// ---------------------------------------------------------------------------
// The floating frame: a small tool window owned by the bar's frame, its
// caption the bar's text. The user drags it by the caption; its close
// button hides the bar, a double click on the caption docks the bar again,
// and a move that ends over an edge of the frame docks it there. Clicks on
// the bar's buttons leave the activation where it is.

class CFloatingBarFrame : public CWnd {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

  explicit CFloatingBarFrame(CToolBar* bar) : m_bar(bar) {}

  bool Create(HWND owner, const char* title) {
    const char* cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return cls && CreateEx(kExStyle, cls, title, kStyle, 0, 0, 0, 0, owner, 0);
  }

 protected:
  void OnClose() override { m_bar->ShowWindow(SW_HIDE); }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_NCLBUTTONDBLCLK:
        if (wp == HTCAPTION) {
          m_bar->DockAgain();
          return 0;
        }
        break;
      case WM_EXITSIZEMOVE:
        Default();
        m_bar->OnFloatingMoved();
        return 0;
      case WM_MOUSEACTIVATE:
        if (LOWORD(lp) == HTCLIENT) return MA_NOACTIVATE;
        break;
      default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }

 private:
  CToolBar* m_bar;
};

// ---------------------------------------------------------------------------
// The toolbar.

CToolBar::CToolBar() = default;

CToolBar::~CToolBar() {
  // The control is ours to destroy (a subclassed window outlives its
  // object otherwise); it says nothing to the frame on its way out.
  m_owner = nullptr;
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  delete m_floatFrame;
}

bool CToolBar::CreateEx(CCmdWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
  // The control always has its tooltip window (it registers its buttons
  // there as they come); CBRS_TOOLTIPS switches it on and off.
  const DWORD windowStyle = (style & 0xFFFF0000) | (ctrlStyle & 0xFFFF) | TBSTYLE_TOOLTIPS |
                            CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (!CreateBarControl(*this, TOOLBARCLASSNAMEA, windowStyle, parent, id)) return false;
  m_owner = parent;
  SetBarStyle(style);
  m_side = m_lastDockSide = SideOfStyle(style);
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Clicked buttons and notifications go to the frame, also while the bar
  // floats in a window of its own.
  SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(parent->GetSafeHwnd()), 0);
  return true;
}

void CToolBar::SetBarStyle(DWORD style) {
  m_barStyle = style & 0xFFFF;
  if (HWND tips = reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS, 0, 0)))
    ::SendMessageA(tips, TTM_ACTIVATE, (m_barStyle & CBRS_TOOLTIPS) != 0, 0);
}

bool CToolBar::LoadToolBar(UINT resourceId) {
  if (!m_hWnd) return false;
  HINSTANCE module = ResourceModule();
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(RT_TOOLBAR));
  if (!found) return false;
  const DWORD bytes = ::SizeofResource(module, found);
  HGLOBAL loaded = ::LoadResource(module, found);
  const auto* words = static_cast<const WORD*>(loaded ? ::LockResource(loaded) : nullptr);
  // Version 1: version, image width, image height, item count, the items.
  if (!words || bytes < 4 * sizeof(WORD) || words[0] != 1) return false;
  const int width = words[1], height = words[2], count = words[3];
  if (width == 0 || height == 0 || bytes < (4u + count) * sizeof(WORD)) return false;

  std::unique_ptr<UINT[]> ids(new UINT[count > 0 ? count : 1]);
  int images = 0;
  for (int i = 0; i < count; ++i) {
    ids[i] = words[4 + i];
    if (ids[i] != ID_SEPARATOR) ++images;
  }
  SetSizes(CSize(width + kButtonPadding.cx, height + kButtonPadding.cy), CSize(width, height));
  if (::FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_BITMAP))
    AddBitmap(resourceId, images);
  return SetButtons(ids.get(), count);
}

bool CToolBar::SetButtons(const UINT* ids, int count) {
  if (!m_hWnd || count < 0) return false;
  while (GetCount() > 0) SendMessage(TB_DELETEBUTTON, GetCount() - 1, 0);
  if (count == 0) return true;
  std::unique_ptr<TBBUTTON[]> buttons(new TBBUTTON[count]());
  int image = 0;
  for (int i = 0; i < count; ++i) {
    TBBUTTON& b = buttons[i];
    b.iString = -1;
    if (ids[i] == ID_SEPARATOR) {
      b.fsStyle = BTNS_SEP;
      b.iBitmap = 0;  // the control's own separator width
    } else {
      b.idCommand = static_cast<int>(ids[i]);
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
  }
  const bool ok = SendMessage(TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons.get())) != 0;
  SendMessage(TB_AUTOSIZE, 0, 0);
  RecalcFrame();
  return ok;
}

void CToolBar::SetSizes(CSize button, CSize image) {
  button.cx = (std::max)(button.cx, image.cx + kButtonPadding.cx);
  button.cy = (std::max)(button.cy, image.cy + kButtonPadding.cy);
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
  SendMessage(TB_AUTOSIZE, 0, 0);
}

int CToolBar::AddBitmap(UINT resourceId, int count) {
  TBADDBITMAP bitmap = {ResourceModule(), resourceId};
  return static_cast<int>(SendMessage(TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&bitmap)));
}

void CToolBar::SetImageList(CImageList* list) {
  SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr));
  if (!list) return;
  const CSize image = list->GetImageSize();
  SetSizes(CSize(image.cx + kButtonPadding.cx, image.cy + kButtonPadding.cy), image);
  RecalcFrame();
}

void CToolBar::SetDisabledImageList(CImageList* list) {
  SendMessage(TB_SETDISABLEDIMAGELIST, 0,
              reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr));
}

void CToolBar::SetHotImageList(CImageList* list) {
  SendMessage(TB_SETHOTIMAGELIST, 0,
              reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr));
}

DWORD CToolBar::GetToolBarStyle() const {
  return static_cast<DWORD>(SendMessage(TB_GETSTYLE, 0, 0)) & 0xFFFF;
}

void CToolBar::SetToolBarStyle(DWORD style) {
  // The bar keeps placing itself; the window styles stay as they are.
  const DWORD full = (static_cast<DWORD>(GetStyle()) & 0xFFFF0000) | (style & 0xFFFF) |
                     CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  SendMessage(TB_SETSTYLE, 0, full);
  Invalidate();
}

DWORD CToolBar::GetExtendedStyle() const {
  return static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE, 0, 0));
}

DWORD CToolBar::SetExtendedStyle(DWORD exStyle) {
  const DWORD previous = static_cast<DWORD>(SendMessage(TB_SETEXTENDEDSTYLE, 0, exStyle));
  SendMessage(TB_AUTOSIZE, 0, 0);
  return previous;
}

int CToolBar::GetCount() const {
  return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0)) : 0;
}

int CToolBar::CommandToIndex(UINT id) const {
  return m_hWnd ? static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id, 0)) : -1;
}

UINT CToolBar::GetItemID(int index) const {
  TBBUTTON button = {};
  if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return 0;
  return (button.fsStyle & BTNS_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

CRect CToolBar::GetItemRect(int index) const {
  CRect r;
  SendMessage(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

UINT CToolBar::GetButtonStyle(int index) const {
  TBBUTTON button = {};
  if (!SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button))) return 0;
  return button.fsStyle;
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_BYINDEX | TBIF_STYLE;
  info.fsStyle = static_cast<BYTE>(style);
  SendMessage(TB_SETBUTTONINFOA, index, reinterpret_cast<LPARAM>(&info));
  SendMessage(TB_AUTOSIZE, 0, 0);
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
  TBBUTTON button = {};
  SendMessage(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
  id = static_cast<UINT>(button.idCommand);
  style = button.fsStyle;
  image = button.iBitmap;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
  TBBUTTONINFOA info = {};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_IMAGE;
  info.idCommand = static_cast<int>(id);
  info.fsStyle = static_cast<BYTE>(style);
  info.iImage = image;
  SendMessage(TB_SETBUTTONINFOA, index, reinterpret_cast<LPARAM>(&info));
  SendMessage(TB_AUTOSIZE, 0, 0);
}

CSize CToolBar::CalcDynamicLayout(int length, DWORD mode) {
  const int count = GetCount();
  const bool vertical = (mode & LM_VERTDOCK) != 0;
  // A column: every button ends its row. A row: none does.
  std::unique_ptr<BYTE[]> saved(new BYTE[count > 0 ? count : 1]);
  for (int i = 0; i < count; ++i) {
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    SendMessage(TB_GETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    saved[i] = info.fsState;
    const BYTE state = vertical ? (info.fsState | TBSTATE_WRAP) : (info.fsState & ~TBSTATE_WRAP);
    if (state == info.fsState) continue;
    info.fsState = state;
    SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
  }
  SendMessage(TB_AUTOSIZE, 0, 0);

  // The buttons' extent, with the control's margin before the first on
  // both sides.
  CRect extent;
  bool any = false;
  for (int i = 0; i < count; ++i) {
    const CRect r = GetItemRect(i);
    if (r.IsRectEmpty()) continue;
    if (any)
      extent.UnionRect(extent, r);
    else
      extent = r;
    any = true;
  }
  CSize size;
  if (any) {
    size = CSize(extent.right + (std::max)(0L, extent.left),
                 extent.bottom + (std::max)(0L, extent.top));
  } else {
    const DWORD button = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE, 0, 0));
    size = CSize(LOWORD(button), HIWORD(button));
  }

  if (!(mode & LM_COMMIT)) {
    for (int i = 0; i < count; ++i) {
      TBBUTTONINFOA info = {};
      info.cbSize = sizeof info;
      info.dwMask = TBIF_BYINDEX | TBIF_STATE;
      info.fsState = saved[i];
      SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
    SendMessage(TB_AUTOSIZE, 0, 0);
  }
  return size;
}

void CToolBar::Layout(CRect& remaining) {
  if (!m_hWnd || m_floating || !(GetStyle() & WS_VISIBLE)) return;
  const bool vertical = m_side == kLeft || m_side == kRight;
  const DWORD mode = vertical ? LM_VERTDOCK : (LM_HORZ | LM_HORZDOCK);
  const CSize size = CalcDynamicLayout(-1, mode);
  CalcDynamicLayout(-1, mode | LM_COMMIT);
  MoveBar(*this, TakeStrip(remaining, m_side, vertical ? size.cx : size.cy));
}

void CToolBar::UpdateItems(CFrameWnd*) {
  if (!m_hWnd || !m_owner) return;
  const int count = GetCount();
  for (int i = 0; i < count; ++i) {
    const UINT id = GetItemID(i);
    if (id == ID_SEPARATOR) continue;
    CToolCmdUI ui(m_hWnd, id);
    m_owner->UpdateItem(ui, true);
  }
}

void CToolBar::Dock(Side side) {
  if (!m_hWnd) return;
  m_side = m_lastDockSide = side;
  if (m_floating) {
    m_floating = false;
    ::SetParent(m_hWnd, m_owner->GetSafeHwnd());
    if (m_floatFrame) m_floatFrame->ShowWindow(SW_HIDE);
  }
  RecalcFrame();
}

void CToolBar::Float(CPoint screen) {
  if (!m_hWnd) return;
  if (!m_floatFrame) {
    char title[256] = "";
    GetWindowText(title, sizeof title);
    m_floatFrame = new CFloatingBarFrame(this);
    if (!m_floatFrame->Create(m_owner->GetSafeHwnd(), title)) {
      delete m_floatFrame;
      m_floatFrame = nullptr;
      return;
    }
  }
  if (!m_floating) m_lastDockSide = m_side;
  m_floating = true;
  const CSize size = CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
  ::SetParent(m_hWnd, m_floatFrame->GetSafeHwnd());
  SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  CRect frame(0, 0, size.cx, size.cy);
  ::AdjustWindowRectEx(&frame, CFloatingBarFrame::kStyle, FALSE, CFloatingBarFrame::kExStyle);
  const CPoint at = KeepOnScreen(screen, frame.Size());
  m_floatFrame->SetWindowPos(nullptr, at.x, at.y, frame.Width(), frame.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE);
  if (GetStyle() & WS_VISIBLE) m_floatFrame->ShowWindow(SW_SHOWNOACTIVATE);
  RecalcFrame();
}

HWND CToolBar::GetFloatingFrame() const {
  return m_floating && m_floatFrame ? m_floatFrame->GetSafeHwnd() : nullptr;
}

bool CToolBar::CanDock(Side side) const { return (m_dockSides & AlignOfSide(side)) != 0; }

void CToolBar::DockAgain() {
  if (!m_dockSides) return;
  Side side = m_lastDockSide;
  if (!CanDock(side)) {
    for (Side other : {kTop, kBottom, kLeft, kRight}) {
      if (CanDock(other)) {
        side = other;
        break;
      }
    }
  }
  Dock(side);
}

void CToolBar::OnFloatingMoved() {
  if (!m_dockSides || !m_owner) return;
  CPoint cursor;
  ::GetCursorPos(&cursor);
  CRect client = m_owner->GetClientRect();
  ::MapWindowPoints(m_owner->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  if (!client.PtInRect(cursor)) return;
  const struct {
    Side side;
    LONG distance;
  } edges[] = {{kTop, cursor.y - client.top},
               {kBottom, client.bottom - 1 - cursor.y},
               {kLeft, cursor.x - client.left},
               {kRight, client.right - 1 - cursor.x}};
  const auto* nearest = &edges[0];
  for (const auto& edge : edges)
    if (edge.distance < nearest->distance) nearest = &edge;
  if (nearest->distance <= kDockZone && CanDock(nearest->side)) Dock(nearest->side);
}

void CToolBar::RecalcFrame() const {
  if (m_owner && m_owner->GetSafeHwnd()) m_owner->SendMessage(WM_RECALCPARENT, 0, 0);
}

void CToolBar::SaveState(CWinApp* app, const char* section) const {
  if (!app || !m_hWnd) return;
  app->WriteProfileInt(section, "BarID", GetDlgCtrlID());
  app->WriteProfileInt(section, "Visible", (GetStyle() & WS_VISIBLE) ? 1 : 0);
  app->WriteProfileInt(section, "Side", m_floating ? m_lastDockSide : m_side);
  app->WriteProfileInt(section, "Floating", m_floating ? 1 : 0);
  if (m_floating && m_floatFrame) {
    const CRect r = m_floatFrame->GetWindowRect();
    app->WriteProfileInt(section, "X", r.left);
    app->WriteProfileInt(section, "Y", r.top);
  }
}

void CToolBar::LoadState(CWinApp* app, const char* section) {
  if (!app || !m_hWnd) return;
  // Only this bar's own section: no layout, or another bar's, changes
  // nothing.
  if (static_cast<int>(app->GetProfileInt(section, "BarID", 0)) != GetDlgCtrlID()) return;
  int side = static_cast<int>(app->GetProfileInt(section, "Side", m_lastDockSide));
  if (side < kTop || side > kRight) side = m_lastDockSide;
  if (app->GetProfileInt(section, "Floating", 0)) {
    m_side = m_lastDockSide = static_cast<Side>(side);
    const CRect frame = m_owner->GetWindowRect();
    Float(CPoint(static_cast<int>(app->GetProfileInt(section, "X", frame.left)),
                 static_cast<int>(app->GetProfileInt(section, "Y", frame.top))));
  } else {
    Dock(static_cast<Side>(side));
  }
  ShowWindow(app->GetProfileInt(section, "Visible", 1) ? SW_SHOWNA : SW_HIDE);
}

int CToolBar::HitButton(CPoint pt) const {
  const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
  return index >= 0 && GetItemID(index) != ID_SEPARATOR ? index : -1;
}

void CToolBar::ShowFlyBy(UINT id) {
  m_flyById = id;
  if (m_owner && m_owner->GetSafeHwnd())
    m_owner->SendMessage(WM_SETMESSAGESTRING, id ? id : AFX_IDS_IDLEMESSAGE, 0);
}

void CToolBar::OnMouseMoveOverBar(CPoint pt) {
  if (!(m_barStyle & CBRS_FLYBY)) return;
  const int index = HitButton(pt);
  const UINT id = index >= 0 ? GetItemID(index) : 0;
  if (id == m_flyById) return;
  if (id) {
    // The prompt goes when the mouse leaves the bar.
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
  }
  ShowFlyBy(id);
}

bool CToolBar::OnGetTipText(NMHDR* hdr) {
  const bool wide = hdr->code == TTN_GETDISPINFOW;
  const UINT flags = wide ? reinterpret_cast<NMTTDISPINFOW*>(hdr)->uFlags
                          : reinterpret_cast<NMTTDISPINFOA*>(hdr)->uFlags;
  if ((flags & TTF_IDISHWND) || !(m_barStyle & CBRS_TOOLTIPS)) return false;
  const CString text = LoadResourceString(static_cast<UINT>(hdr->idFrom));
  const int newline = text.Find('\n');
  if (newline < 0) return false;
  m_tipText = text.Mid(newline + 1);
  if (wide) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
    ::MultiByteToWideChar(CP_ACP, 0, m_tipText, -1, m_tipTextW,
                          static_cast<int>(sizeof m_tipTextW / sizeof m_tipTextW[0]));
    m_tipTextW[sizeof m_tipTextW / sizeof m_tipTextW[0] - 1] = 0;
    info->lpszText = m_tipTextW;
    info->hinst = nullptr;
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
    info->lpszText = const_cast<char*>(m_tipText.GetString());
    info->hinst = nullptr;
  }
  return true;
}

void CToolBar::OnShowBar(bool shown) {
  if (m_floating && m_floatFrame) m_floatFrame->ShowWindow(shown ? SW_SHOWNOACTIVATE : SW_HIDE);
  if (!shown && m_flyById) ShowFlyBy(0);
}

void CToolBar::OnWindowPosChanged(const WINDOWPOS* pos) {
  if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) RecalcFrame();
}

LRESULT CToolBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  const CPoint pt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
  switch (msg) {
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if ((hdr->code == TTN_GETDISPINFOA || hdr->code == TTN_GETDISPINFOW) && OnGetTipText(hdr))
        return 0;
      break;
    }
    case WM_MOUSEMOVE:
      if (m_dragArmed && (wp & MK_LBUTTON)) {
        // A drag on the background takes the bar out of its dock: it
        // floats under the cursor and the system's move carries it on.
        if (abs(pt.x - m_dragFrom.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
            abs(pt.y - m_dragFrom.y) <= ::GetSystemMetrics(SM_CYDRAG))
          return 0;
        m_dragArmed = false;
        ::ReleaseCapture();
        CPoint cursor;
        ::GetCursorPos(&cursor);
        const int caption = ::GetSystemMetrics(SM_CYSMCAPTION);
        Float(CPoint(cursor.x - caption, cursor.y - caption / 2));
        if (HWND frame = GetFloatingFrame())
          ::SendMessageA(frame, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
        return 0;
      }
      OnMouseMoveOverBar(pt);
      break;
    case WM_MOUSELEAVE:
      if (m_flyById) ShowFlyBy(0);
      break;
    case WM_LBUTTONDOWN:
      if (m_dockSides && !m_floating && HitButton(pt) < 0) {
        m_dragArmed = true;
        m_dragFrom = pt;
        ::SetCapture(m_hWnd);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (m_dragArmed) {
        m_dragArmed = false;
        ::ReleaseCapture();
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      m_dragArmed = false;
      break;
    case WM_LBUTTONDBLCLK:
      if (m_dockSides && !m_floating && HitButton(pt) < 0) {
        Float(GetWindowRect().TopLeft());
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT r = CControlBar::WindowProc(msg, wp, lp);
      OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lp));
      return r;
    }
    case WM_SHOWWINDOW:
      // Also sent when the bar's parent is hidden (a floating frame the
      // user closed), when no position change follows.
      if (lp == 0) OnShowBar(wp != 0);
      break;
    case WM_SETTEXT: {
      // The control's own text may be wide: read it back as ours.
      const LRESULT r = CControlBar::WindowProc(msg, wp, lp);
      if (m_floatFrame) {
        char text[256] = "";
        GetWindowText(text, sizeof text);
        m_floatFrame->SetWindowText(text);
      }
      return r;
    }
    default:
      break;
  }
  return CControlBar::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// The status bar.

// A status bar pane as update-UI handlers see it: disabled, it shows no
// text.
class CPaneCmdUI : public CCmdUI {
 public:
  CPaneCmdUI(CStatusBar* bar, int index, UINT id) : CCmdUI(id), m_bar(bar), m_index(index) {}

  void Enable(bool on) override { m_bar->ShowPane(m_index, on); }
  void SetCheck(int) override {}
  void SetText(const char* text) override {
    if (m_bar->m_panes[m_index].text == text) return;
    m_bar->SetPaneText(m_index, text);
  }

 private:
  CStatusBar* m_bar;
  int m_index;
};

CStatusBar::CStatusBar() { m_side = kBottom; }

CStatusBar::~CStatusBar() {
  m_owner = nullptr;
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CStatusBar::CreateEx(CCmdWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
  DWORD windowStyle = (style & 0xFFFF0000) | (ctrlStyle & 0xFFFF);
  // A frame that can be resized gets the grip in the corner.
  if (parent && (::GetWindowLongA(parent->GetSafeHwnd(), GWL_STYLE) & WS_THICKFRAME))
    windowStyle |= SBARS_SIZEGRIP;
  // Made with its own height, which it keeps; from then on the frame
  // places it.
  if (!CreateBarControl(*this, STATUSCLASSNAMEA, windowStyle, parent, id)) return false;
  m_height = GetWindowRect().Height();
  ::SetWindowLongA(m_hWnd, GWL_STYLE,
                   static_cast<LONG>(GetStyle() | CCS_NORESIZE | CCS_NOPARENTALIGN));
  m_owner = parent;
  m_side = (style & CBRS_ALIGN_TOP) ? kTop : kBottom;
  return true;
}

bool CStatusBar::SetIndicators(const UINT* ids, int count) {
  if (!m_hWnd || count < 0 || count > 255) return false;
  m_panes.reset(new Pane[count > 0 ? count : 1]);
  m_count = count;
  bool ok = true;
  HDC dc = ::GetDC(m_hWnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
  HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  for (int i = 0; i < count; ++i) {
    Pane& pane = m_panes[i];
    pane.id = ids[i];
    if (pane.id == ID_SEPARATOR) continue;
    pane.text = LoadResourceString(pane.id);
    if (pane.text.IsEmpty()) ok = false;
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, pane.text, pane.text.GetLength(), &extent);
    pane.width = extent.cx + 2 * ::GetSystemMetrics(SM_CXEDGE) + 6;
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  UpdateParts();
  for (int i = 0; i < count; ++i) {
    if (m_panes[i].id == ID_SEPARATOR) continue;
    // A key indicator starts as its key is.
    const int key = KeyOfIndicator(m_panes[i].id);
    m_panes[i].shown = false;
    ShowPane(i, !key || (::GetKeyState(key) & 1) != 0);
  }
  return ok;
}

UINT CStatusBar::GetItemID(int index) const {
  return index >= 0 && index < m_count ? m_panes[index].id : ID_SEPARATOR;
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < m_count; ++i)
    if (m_panes[i].id == id) return i;
  return -1;
}

bool CStatusBar::SetPaneText(int index, const char* text) {
  if (index < 0 || index >= m_count) return false;
  Pane& pane = m_panes[index];
  pane.text = text ? text : "";
  if (!pane.shown) return true;
  return SendMessage(SB_SETTEXTA, index, reinterpret_cast<LPARAM>(pane.text.GetString())) != 0;
}

CString CStatusBar::GetPaneText(int index) const {
  if (index < 0 || index >= m_count) return CString();
  const int length = LOWORD(SendMessage(SB_GETTEXTLENGTHA, index, 0));
  CString text;
  SendMessage(SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
  text.ReleaseBuffer();
  return text;
}

CRect CStatusBar::GetItemRect(int index) const {
  CRect r;
  SendMessage(SB_GETRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

void CStatusBar::ShowPane(int index, bool shown) {
  Pane& pane = m_panes[index];
  if (pane.shown == shown) return;
  pane.shown = shown;
  SendMessage(SB_SETTEXTA, index, reinterpret_cast<LPARAM>(shown ? pane.text.GetString() : ""));
}

void CStatusBar::UpdateParts() {
  if (!m_hWnd || m_count == 0) return;
  std::unique_ptr<int[]> rights(new int[m_count]);
  // From the right edge leftwards: the indicators keep their widths (the
  // last one also covers the size grip); the message pane takes the rest.
  int right = GetClientRect().Width();
  if (GetStyle() & SBARS_SIZEGRIP) right -= ::GetSystemMetrics(SM_CXVSCROLL);
  for (int i = m_count - 1; i >= 0; --i) {
    rights[i] = i == m_count - 1 ? -1 : right;
    if (i > 0 || m_panes[i].id != ID_SEPARATOR) right -= m_panes[i].width;
    if (right < 0) right = 0;
  }
  SendMessage(SB_SETPARTS, m_count, reinterpret_cast<LPARAM>(rights.get()));
}

void CStatusBar::Layout(CRect& remaining) {
  if (!m_hWnd || !(GetStyle() & WS_VISIBLE)) return;
  MoveBar(*this, TakeStrip(remaining, m_side == kTop ? kTop : kBottom, m_height));
}

void CStatusBar::UpdateItems(CFrameWnd*) {
  if (!m_hWnd || !m_owner) return;
  for (int i = 0; i < m_count; ++i) {
    const UINT id = m_panes[i].id;
    if (id == ID_SEPARATOR) continue;
    CPaneCmdUI ui(this, i, id);
    CCommandMsg update(CCommandEntry::kUpdateUI, id);
    update.ui = &ui;
    if (m_owner->RouteCommand(update)) continue;
    // Without a handler a key indicator follows its key's toggle.
    if (const int key = KeyOfIndicator(id)) ShowPane(i, (::GetKeyState(key) & 1) != 0);
  }
}

bool CStatusBar::ShowMessage(const char* text) {
  if (!m_hWnd || m_count == 0 || m_panes[0].id != ID_SEPARATOR) return false;
  SetPaneText(0, text);
  return true;
}

LRESULT CStatusBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  const LRESULT r = CControlBar::WindowProc(msg, wp, lp);
  if (msg == WM_SIZE) UpdateParts();
  if (msg == WM_WINDOWPOSCHANGED && m_owner &&
      (reinterpret_cast<WINDOWPOS*>(lp)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
    m_owner->SendMessage(WM_RECALCPARENT, 0, 0);
  return r;
}
