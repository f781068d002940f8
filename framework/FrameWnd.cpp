// CFrameWnd: creation from a resource id, the active view and the command
// route, the title, the layout of bars and pane, status-line messages,
// dropped files, the close protocol.
#include "framework/FrameWnd.h"

#include "framework/AppUI.h"
#include "framework/ControlBar.h"
#include "framework/Files.h"
#include "framework/Splitter.h"

namespace {

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<CPtrArray*>(lp)->Add(hwnd);
  return TRUE;
}

bool HasVisibleStyle(const CWnd* wnd) {
  return wnd->IsWindow() && (wnd->GetStyle() & WS_VISIBLE) != 0;
}

// The profile section of the bar at index.
CString BarSection(const char* profileName, int index) {
  CString section;
  section.Format("%s-Bar%d", profileName, index);
  return section;
}

}  // namespace

CFrameWnd* GetParentFrameOf(HWND wnd) {
  // Parents only: an owned pop-up's owner is not its frame.
  HWND desktop = ::GetDesktopWindow();
  for (HWND h = wnd; h && h != desktop; h = ::GetAncestor(h, GA_PARENT)) {
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h))) return frame;
  }
  return nullptr;
}

const CCommandEntry CFrameWnd::commandEntries[] = {
    CommandRangeEntry(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_FIRST + 31,
                      &CFrameWnd::OnBarCheck),
    UpdateUIRangeEntry(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_FIRST + 31,
                       &CFrameWnd::OnUpdateBarCheck),
    CommandRangeEntry(ID_NEXT_PANE, ID_PREV_PANE, &CFrameWnd::OnNextPane),
    UpdateUIRangeEntry(ID_NEXT_PANE, ID_PREV_PANE, &CFrameWnd::OnUpdateNextPane),
};
LW_IMPLEMENT_COMMAND_TABLE(CFrameWnd, CCmdWnd)

CFrameWnd::CFrameWnd() {
  m_route.SetFrame(this);
  SetCommandRoute(&m_route);
}

CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context) {
  m_nIDResource = resourceId;
  m_strTitle = LoadResourceString(resourceId);
  const int newline = m_strTitle.Find('\n');
  if (newline >= 0) m_strTitle.Truncate(newline);

  CREATESTRUCTA cs = {};
  cs.style = style;
  cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
  cs.hwndParent = parent;
  cs.hInstance = ModuleInstance();
  cs.hMenu = ::LoadMenuA(cs.hInstance, MAKEINTRESOURCEA(resourceId));
  cs.lpszName = m_strTitle;
  if (!PreCreateWindow(cs)) {
    if (cs.hMenu) ::DestroyMenu(cs.hMenu);
    PostNcDestroy();  // never bound: ends as a refused window would
    return false;
  }
  m_hAccelTable = ::LoadAcceleratorsA(cs.hInstance, MAKEINTRESOURCEA(resourceId));

  bool bound = false;
  m_pBound = &bound;
  m_pCreating = context;
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                static_cast<CWnd*>(this));
  if (!hwnd) {
    // A window that was made and refused took its menu with it.
    if (cs.hMenu && ::IsMenu(cs.hMenu)) ::DestroyMenu(cs.hMenu);
    // A refused window has run PostNcDestroy; one never bound ends here.
    if (!bound) PostNcDestroy();
    return false;
  }
  m_pBound = nullptr;
  m_pCreating = nullptr;
  return true;
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    HICON icon = ::LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(m_nIDResource));
    cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon);
    if (!cs.lpszClass) return false;
  }
  // The bars and the pane cover the client area: no erasing under them.
  cs.style |= WS_CLIPCHILDREN;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return true;
}

int CFrameWnd::OnCreate(CREATESTRUCTA* cs) {
  m_route.SetApplication(AfxGetDocumentApp());
  if (Default() == -1) return -1;
  if (!OnCreateClient(cs, m_pCreating)) return -1;
  RecalcLayout();
  return 0;
}

bool CFrameWnd::OnCreateClient(CREATESTRUCTA*, CCreateContext* context) {
  if (!context || context->m_newViewClass.IsNull()) return true;
  return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
}

CView* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  if (!context || context->m_newViewClass.IsNull()) return nullptr;
  CView* view = context->m_newViewClass.Create();
  if (!view || !view->Create(m_hWnd, id, context)) return nullptr;
  return view;
}

void CFrameWnd::SyncRoute() {
  m_route.SetView(m_pActiveView);
  m_route.SetDocument(m_pActiveView ? m_pActiveView->GetDocument() : nullptr);
}

void CFrameWnd::SetActiveView(CView* view, bool notify) {
  CView* old = m_pActiveView;
  m_pActiveView = view;
  SyncRoute();
  if (view == old) return;
  if (notify) {
    if (old) old->OnActivateView(false, view, old);
    if (view) view->OnActivateView(true, view, old);
  }
  // The focus follows only inside the active window: taking it elsewhere
  // would activate the frame behind the user's back.
  if (view && view->IsWindow() && ::GetActiveWindow() == ::GetAncestor(m_hWnd, GA_ROOT))
    view->SetFocus();
}

void CFrameWnd::OnViewDestroyed(CView* view) {
  if (m_pActiveView != view) return;
  m_pActiveView = nullptr;
  SyncRoute();
}

CDocument* CFrameWnd::GetActiveDocument() {
  return m_pActiveView ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, bool makeVisible) {
  if (!m_pActiveView) {
    CView* view = dynamic_cast<CView*>(FromHandlePermanent(GetDlgItem(AFX_IDW_PANE_FIRST)));
    if (!view) {
      if (CSplitterWnd* splitter = GetSplitter())
        view = dynamic_cast<CView*>(splitter->GetPane(0, 0));
    }
    for (int i = 0; !view && doc && i < doc->GetViewCount(); ++i)
      if (doc->GetView(i)->GetParentFrame() == this) view = doc->GetView(i);
    if (view) SetActiveView(view, false);
  }
  SyncRoute();
  // Every view of the frame, wherever it sits; a handler may destroy
  // windows, so each is looked up again before its call.
  CPtrArray children;
  ::EnumChildWindows(m_hWnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
  for (int i = 0; i < children.GetSize(); ++i) {
    if (auto* view = dynamic_cast<CView*>(FromHandlePermanent(static_cast<HWND>(children[i]))))
      view->OnInitialUpdate();
  }
  if (makeVisible) ActivateFrame();
  UpdateFrameTitle();
  if (makeVisible) SetMessageText(AFX_IDS_IDLEMESSAGE);
}

void CFrameWnd::ActivateFrame(int cmdShow) {
  if (cmdShow == -1) {
    CWinApp* app = AfxGetApp();
    if (!IsWindowVisible()) {
      cmdShow = SW_SHOWNORMAL;
      // The program's show command applies to its main frame's first showing.
      if (app && app->m_pMainWnd == this && app->m_nCmdShow != -1) {
        cmdShow = app->m_nCmdShow;
        app->m_nCmdShow = -1;
      }
    } else {
      cmdShow = ::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW;
    }
  }
  ShowWindow(cmdShow);
  if (cmdShow == SW_HIDE || cmdShow == SW_MINIMIZE || cmdShow == SW_SHOWMINIMIZED ||
      cmdShow == SW_SHOWMINNOACTIVE)
    return;
  // A frame that a modal window of its own holds disabled stays under it:
  // that window comes to the front instead, as a click on the frame would
  // bring it.
  HWND front = m_hWnd;
  if (!IsWindowEnabled()) {
    const HWND popup = ::GetLastActivePopup(m_hWnd);
    if (popup && popup != m_hWnd && ::IsWindowEnabled(popup)) front = popup;
  }
  ::BringWindowToTop(front);
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
  CDocument* doc = GetActiveDocument();
  UpdateFrameTitleForDocument(addToTitle && doc ? (const char*)doc->GetTitle() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* docName) {
  CString text = m_strTitle;
  if (docName && *docName) text = CString(docName) + " - " + m_strTitle;
  // Set only when it changes: a caption repaint flickers.
  char current[512];
  GetWindowText(current, sizeof current);
  if (text != current) SetWindowText(text);
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
  for (int i = 0; i < m_bars.GetSize(); ++i)
    if (m_bars[i] == bar) return;
  m_bars.Add(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
  for (int i = 0; i < m_bars.GetSize(); ++i) {
    if (m_bars[i] == bar) {
      m_bars.RemoveAt(i);
      return;
    }
  }
}

CControlBar* CFrameWnd::FindControlBar(UINT barId) const {
  for (int i = 0; i < m_bars.GetSize(); ++i)
    if (GetControlBar(i)->GetBarId() == barId) return GetControlBar(i);
  return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool delay) {
  const int cmd = show ? SW_SHOWNOACTIVATE : SW_HIDE;
  bar->ShowWindow(cmd);
  // A floating bar sits in a small frame of its own, which goes with it.
  if (bar->IsFloating()) {
    HWND holder = ::GetAncestor(*bar, GA_PARENT);
    if (holder && holder != m_hWnd && holder != ::GetDesktopWindow()) ::ShowWindow(holder, cmd);
  }
  if (delay)
    m_bLayoutPending = true;
  else
    RecalcLayout();
}

void CFrameWnd::RecalcLayout(bool) {
  if (m_bInRecalc || !m_hWnd) return;
  m_bInRecalc = true;
  m_bLayoutPending = false;
  CRect remaining = GetClientRect();
  for (int i = 0; i < m_bars.GetSize(); ++i) {
    CControlBar* bar = GetControlBar(i);
    if (HasVisibleStyle(bar) && !bar->IsFloating()) bar->Layout(remaining);
  }
  if (HWND pane = GetDlgItem(AFX_IDW_PANE_FIRST)) {
    if (remaining.IsRectEmpty()) remaining.SetRect(remaining.left, remaining.top, remaining.left,
                                                   remaining.top);
    ::MoveWindow(pane, remaining.left, remaining.top, remaining.Width(), remaining.Height(), TRUE);
  }
  m_bInRecalc = false;
}

void CFrameWnd::SaveBarState(const char* profileName) const {
  if (CWinApp* app = AfxGetApp()) {
    for (int i = 0; i < m_bars.GetSize(); ++i)
      GetControlBar(i)->SaveState(app, BarSection(profileName, i));
  }
}

void CFrameWnd::LoadBarState(const char* profileName) {
  if (CWinApp* app = AfxGetApp()) {
    for (int i = 0; i < m_bars.GetSize(); ++i)
      GetControlBar(i)->LoadState(app, BarSection(profileName, i));
  }
  RecalcLayout();
}

void CFrameWnd::SetMessageText(const char* text) {
  for (int i = 0; i < m_bars.GetSize(); ++i) {
    CControlBar* bar = GetControlBar(i);
    if (bar->IsWindow() && bar->ShowMessage(text ? text : "")) return;
  }
}

void CFrameWnd::SetMessageText(UINT id) {
  CString text;
  GetMessageString(id, text);
  SetMessageText(text);
}

void CFrameWnd::GetMessageString(UINT id, CString& out) const {
  out = LoadResourceString(id, id == AFX_IDS_IDLEMESSAGE ? "Ready" : "");
  const int newline = out.Find('\n');
  if (newline >= 0) out.Truncate(newline);
}

void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
  if (flags == 0xFFFF && !menu) {
    SetMessageText(AFX_IDS_IDLEMESSAGE);  // the menu closed
  } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
    SetMessageText("");  // a sub-menu's item, or nothing to say
  } else {
    SetMessageText(item);
  }
}

void CFrameWnd::OnIdleUpdateCmdUI() {
  if (m_bLayoutPending) RecalcLayout();
  for (int i = 0; i < m_bars.GetSize(); ++i) {
    CControlBar* bar = GetControlBar(i);
    if (HasVisibleStyle(bar)) bar->UpdateItems(this);
  }
}

CSplitterWnd* CFrameWnd::GetSplitter() const {
  if (m_pActiveView && m_pActiveView->IsWindow()) {
    if (auto* splitter =
            dynamic_cast<CSplitterWnd*>(FromHandlePermanent(m_pActiveView->GetParent())))
      return splitter;
  }
  return dynamic_cast<CSplitterWnd*>(FromHandlePermanent(GetDlgItem(AFX_IDW_PANE_FIRST)));
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
  return msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable &&
         ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg);
}

void CFrameWnd::OnDropFiles(HDROP drop) {
  // Asked wide: a name outside the code page is opened by its short name.
  wchar_t wide[MAX_PATH] = L"";
  const bool any = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0 &&
                   ::DragQueryFileW(drop, 0, wide, MAX_PATH) > 0;
  ::DragFinish(drop);
  CString path;
  AnsiPathFromWide(wide, path);
  CDocumentApp* app = AfxGetDocumentApp();
  if (any && app) app->OpenDocumentFile(path);
}

void CFrameWnd::OnClose() {
  CDocumentApp* app = AfxGetDocumentApp();
  const bool isMain = app && app->m_pMainWnd == this;
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  if (isMain) {
    // The main frame's end ends the program: every other document is
    // asked too, then all of them close (which destroys their frames).
    for (int t = 0; app->m_pDocManager && t < app->m_pDocManager->GetTemplateCount(); ++t) {
      CDocTemplate* tmpl = app->m_pDocManager->GetTemplate(t);
      for (int d = 0; d < tmpl->GetDocumentCount(); ++d) {
        CDocument* other = tmpl->GetDocument(d);
        if (other != doc && !other->SaveModified()) return;
      }
    }
    app->CloseAllDocuments(false);
  }
  // Still here when no document showed in the frame.
  if (m_hWnd) DestroyWindow();
}

void CFrameWnd::OnDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  Default();
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  Default();
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      if (m_pBound) *m_pBound = true;
      break;
    case WM_SETMESSAGESTRING:
      if (lp) {
        SetMessageText(reinterpret_cast<const char*>(lp));
      } else {
        SetMessageText(static_cast<UINT>(wp));
      }
      return 0;
    case WM_RECALCPARENT:
      RecalcLayout();
      return 0;
    case WM_MENUSELECT:
      OnMenuSelect(LOWORD(wp), HIWORD(wp), reinterpret_cast<HMENU>(lp));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wp));
      return 0;
    case WM_SETFOCUS:
      if (m_pActiveView && m_pActiveView->IsWindow()) {
        m_pActiveView->SetFocus();
        return 0;
      }
      break;
    case WM_INITMENUPOPUP:
      // The recent files go into the menu before its items are updated.
      if (!HIWORD(lp)) {
        if (CDocumentApp* app = AfxGetDocumentApp())
          app->UpdateRecentFileMenu(reinterpret_cast<HMENU>(wp));
      }
      break;
    default:
      break;
  }
  return CCmdWnd::WindowProc(msg, wp, lp);
}

bool CFrameWnd::OnBarCheck(UINT id) {
  CControlBar* bar = FindControlBar(id);
  if (!bar) return false;
  ShowControlBar(bar, !HasVisibleStyle(bar));
  return true;
}

void CFrameWnd::OnUpdateBarCheck(CCmdUI* ui) {
  CControlBar* bar = FindControlBar(ui->GetID());
  ui->Enable(bar != nullptr);
  if (bar) ui->SetCheck(HasVisibleStyle(bar) ? 1 : 0);
}

bool CFrameWnd::OnNextPane(UINT id) {
  CSplitterWnd* splitter = GetSplitter();
  if (!splitter) return false;
  splitter->ActivateNext(id == ID_PREV_PANE);
  return true;
}

void CFrameWnd::OnUpdateNextPane(CCmdUI* ui) {
  CSplitterWnd* splitter = GetSplitter();
  ui->Enable(splitter && splitter->CanActivateNext(ui->GetID() == ID_PREV_PANE));
}
