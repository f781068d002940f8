// Documents and views: the document's life (new, open, save through a
// temporary file, the save question, close), its views, and the creation
// of views, including views whose window is a system control.
#include "framework/DocView.h"

#include <commctrl.h>

#include "framework/AppUI.h"
#include "framework/Archive.h"
#include "framework/CommandIds.h"
#include "framework/CommonDialogs.h"
#include "framework/DocManager.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/FrameWnd.h"
#include "framework/Seams.h"

namespace {

HINSTANCE ModuleInstance() { return ::GetModuleHandleA(nullptr); }

// The folder part of a path, with its final backslash; "" when none.
CString FolderOf(const char* path) {
  const CString text(path);
  const int slash = text.ReverseFind('\\');
  const int colon = text.ReverseFind(':');
  const int end = slash > colon ? slash : colon;
  return end >= 0 ? text.Left(end + 1) : CString();
}

// The file name without its folder and without its extension.
CString FileTitleOf(const char* path) {
  CString name = CString(path).Mid(FolderOf(path).GetLength());
  const int dot = name.ReverseFind('.');
  if (dot > 0) name.Truncate(dot);
  return name;
}

}  // namespace

// ---------------------------------------------------------------------------
// CDocument

const CCommandEntry CDocument::commandEntries[] = {
    CommandEntry(ID_FILE_SAVE, &CDocument::OnFileSave),
    CommandEntry(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs),
};
LW_IMPLEMENT_COMMAND_TABLE(CDocument, CCmdTarget)

CDocument::CDocument() = default;

CDocument::~CDocument() {
  // Views that outlive the document (their frame was not closed) forget it.
  while (!m_views.IsEmpty()) RemoveView(GetView(m_views.GetSize() - 1));
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
  m_strTitle = title;
  UpdateFrameTitles();
}

void CDocument::SetPathName(const char* path, bool addToMRU) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  m_strPathName = (length > 0 && length < sizeof full) ? full : path;
  SetTitle(FileTitleOf(m_strPathName));
  if (addToMRU) {
    if (CDocumentApp* app = AfxGetDocumentApp()) app->AddToRecentFileList(m_strPathName);
  }
}

void CDocument::AddView(CView* view) {
  if (!view || view->m_pDocument == this) return;
  if (view->m_pDocument) view->m_pDocument->RemoveView(view);
  m_views.Add(view);
  view->m_pDocument = this;
  if (CFrameWnd* frame = view->GetParentFrame()) frame->SyncRoute();
}

void CDocument::RemoveView(CView* view) {
  for (int i = 0; i < m_views.GetSize(); ++i) {
    if (m_views[i] != view) continue;
    m_views.RemoveAt(i);
    view->m_pDocument = nullptr;
    if (view->IsWindow()) {
      if (CFrameWnd* frame = view->GetParentFrame()) frame->SyncRoute();
    }
    return;
  }
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  for (int i = 0; i < m_views.GetSize(); ++i) {
    CView* view = GetView(i);
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
  }
}

void CDocument::CollectFrames(CPtrArray& frames) const {
  for (int i = 0; i < m_views.GetSize(); ++i) {
    CFrameWnd* frame = GetView(i)->GetParentFrame();
    if (!frame) continue;
    bool known = false;
    for (int j = 0; j < frames.GetSize() && !known; ++j) known = frames[j] == frame;
    if (!known) frames.Add(frame);
  }
}

void CDocument::UpdateFrameTitles() const {
  CPtrArray frames;
  CollectFrames(frames);
  for (int i = 0; i < frames.GetSize(); ++i) static_cast<CFrameWnd*>(frames[i])->UpdateFrameTitle();
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::modeNoInherit)) return false;
  DeleteContents();
  SetModifiedFlag(true);  // until the whole file is in
  try {
    CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    Serialize(ar);
    ar.Close();
    file.Close();
  } catch (CException* e) {
    file.Abort();
    // What is left is part of the file: keeping the file's path would let
    // a save overwrite the whole file with that part.
    DeleteContents();
    m_strPathName.Empty();
    if (m_pDocTemplate)
      m_pDocTemplate->SetDefaultTitle(this);
    else
      SetTitle(LoadResourceString(AFX_IDS_UNTITLED, "Untitled"));
    SetModifiedFlag(false);
    ReportSaveLoadException(path, e, false);
    e->Delete();
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const char* path) {
  // Written beside the file and put in its place when whole.
  CString temporary;
  if (!MakeTemporaryBeside(path, temporary)) {
    CFileException error(CFileException::OsErrorToException(static_cast<long>(::GetLastError())),
                         static_cast<long>(::GetLastError()), path);
    ReportSaveLoadException(path, &error, true);
    return false;
  }
  CFile file;
  CFileException openError;
  if (!file.Open(temporary, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive |
                                CFile::modeNoInherit,
                 &openError)) {
    ::DeleteFileA(temporary);
    openError.m_strFileName = path;
    ReportSaveLoadException(path, &openError, true);
    return false;
  }
  try {
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    Serialize(ar);
    ar.Close();
    file.Flush();
    file.Close();
  } catch (CException* e) {
    file.Abort();
    ::DeleteFileA(temporary);
    ReportSaveLoadException(path, e, true);
    e->Delete();
    return false;
  }
  if (!ReplaceWithTemporary(temporary, path)) {
    const long os = static_cast<long>(::GetLastError());
    ::DeleteFileA(temporary);
    CFileException error(CFileException::OsErrorToException(os), os, path);
    ReportSaveLoadException(path, &error, true);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnCloseDocument() {
  // The document stays while its frames go, whatever their views do.
  const bool autoDelete = m_bAutoDelete;
  m_bAutoDelete = false;
  CPtrArray frames;
  CollectFrames(frames);
  for (int i = 0; i < frames.GetSize(); ++i) static_cast<CFrameWnd*>(frames[i])->DestroyWindow();
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

bool CDocument::SaveModified() {
  if (!IsModified()) return true;
  CString question;
  question.Format("Save changes to %s?", m_strTitle.IsEmpty()
                                             ? (const char*)LoadResourceString(AFX_IDS_UNTITLED, "Untitled")
                                             : (const char*)m_strTitle);
  switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
      return false;
    case IDYES:
      return DoFileSave();
    default:
      return true;
  }
}

bool CDocument::CanCloseFrame(CFrameWnd* frame) {
  CPtrArray frames;
  CollectFrames(frames);
  for (int i = 0; i < frames.GetSize(); ++i)
    if (frames[i] != frame) return true;  // another frame still shows it
  return SaveModified();
}

bool CDocument::DoSave(const char* path, bool replace) {
  CString name = path ? path : "";
  if (name.IsEmpty()) {
    CDocumentApp* app = AfxGetDocumentApp();
    if (!app) return false;
    name = m_strPathName;
    if (name.IsEmpty()) {
      name = m_strTitle;
      CString ext;
      if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) &&
          name.Find('.') < 0)
        name += ext;
    }
    if (!app->DoPromptFileName(name, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                               false, m_pDocTemplate))
      return false;
  }
  if (!OnSaveDocument(name)) {
    // A new name the dialog made a file for is not left behind empty.
    DiscardUnwrittenFile(name);
    return false;
  }
  if (replace) SetPathName(name);
  return true;
}

bool CDocument::DoFileSave() {
  const DWORD attributes =
      m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
  if (m_strPathName.IsEmpty() ||
      (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)))
    return DoSave(nullptr);
  return DoSave(m_strPathName);
}

void CDocument::ReportSaveLoadException(const char* path, CException* e, bool saving) {
  CString text;
  text.Format("%s\n\n%s %s", path, saving ? "The document could not be saved:" :
                                            "The document could not be read:",
              e ? (const char*)e->GetErrorMessage() : "Unknown error.");
  AfxMessageBox(text, MB_ICONEXCLAMATION);
}

bool CDocument::OnFileSave(UINT) {
  DoFileSave();
  return true;
}

bool CDocument::OnFileSaveAs(UINT) {
  DoSave(nullptr);
  return true;
}

// ---------------------------------------------------------------------------
// CView

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

bool CView::Create(HWND parent, UINT id, CCreateContext* context, DWORD style, const RECT* rect) {
  CREATESTRUCTA cs = {};
  cs.style = style | WS_CHILD;
  cs.hwndParent = parent;
  cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
  cs.hInstance = ModuleInstance();
  if (rect) {
    cs.x = rect->left;
    cs.y = rect->top;
    cs.cx = rect->right - rect->left;
    cs.cy = rect->bottom - rect->top;
  }
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();  // never bound: ends as a refused window would
    return false;
  }
  bool bound = false;
  m_pBound = &bound;
  m_pCreating = context;
  const bool created = CreateViewWindow(cs);
  // A refused window has run PostNcDestroy; one that never got bound
  // ends here the same way.
  if (!created) {
    if (!bound) PostNcDestroy();
    return false;
  }
  m_pBound = nullptr;
  m_pCreating = nullptr;
  return true;
}

bool CView::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (!cs.lpszClass) return false;
  }
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return true;
}

bool CView::CreateViewWindow(CREATESTRUCTA& cs) {
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                static_cast<CWnd*>(this));
  return hwnd != nullptr;
}

CFrameWnd* CView::GetParentFrame() const {
  return m_hWnd ? GetParentFrameOf(::GetParent(m_hWnd)) : nullptr;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(); }

int CView::OnCreate(CREATESTRUCTA* cs) {
  if (Default() == -1) return -1;
  if (m_pCreating && m_pCreating->m_pCurrentDoc) m_pCreating->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  // The system holds the drop target through the window: let it go while
  // the window still exists.
  if (COleDropTarget* target = COleDropTarget::FromWindow(m_hWnd)) target->Revoke();
  if (CFrameWnd* frame = GetParentFrame()) frame->OnViewDestroyed(this);
  if (m_pDocument) m_pDocument->RemoveView(this);
  Default();
}

void CView::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  // EndPaint runs whatever OnDraw throws.
  struct EndPaintGuard {
    HWND hwnd;
    PAINTSTRUCT* ps;
    ~EndPaintGuard() { ::EndPaint(hwnd, ps); }
  } guard{m_hWnd, &ps};
  OnDraw(dc);
}

DWORD CView::OnDragEnter(COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

DWORD CView::OnDragOver(COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }

bool CView::OnDrop(COleDataObject*, DWORD, CPoint) { return false; }

DWORD CView::OnDragScroll(DWORD, CPoint point) {
  COleDropTarget* target = COleDropTarget::FromWindow(m_hWnd);
  if (target == nullptr) return DROPEFFECT_NONE;
  CDragScrollTimer& timer = target->m_dragScroll;
  const UINT code = timer.HitTest(GetClientRect(), point);
  if (code == CDragScrollTimer::kNone || !OnScroll(code, 0, false)) {
    timer.Reset();
    return DROPEFFECT_NONE;
  }
  if (timer.IsDue(::GetTickCount())) OnScroll(code, 0, true);
  return DROPEFFECT_SCROLL;
}

// Whether the bar can move one line in the direction of code (a line up or
// left moves towards the minimum).
static bool CanScrollBar(HWND hwnd, int bar, UINT code) {
  if (code == 0xFF) return false;
  const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
  if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL))) return false;
  SCROLLINFO info = {sizeof(info), SIF_ALL};
  if (!::GetScrollInfo(hwnd, bar, &info)) return false;
  if (code == SB_LINEUP) return info.nPos > info.nMin;
  const int last = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
  return code == SB_LINEDOWN && info.nPos < last;
}

bool CView::OnScroll(UINT scrollCode, UINT pos, bool doScroll) {
  const UINT horizontal = LOBYTE(scrollCode), vertical = HIBYTE(scrollCode);
  const bool canH = CanScrollBar(m_hWnd, SB_HORZ, horizontal);
  const bool canV = CanScrollBar(m_hWnd, SB_VERT, vertical);
  if (doScroll) {
    if (canH) ::SendMessageA(m_hWnd, WM_HSCROLL, MAKEWPARAM(horizontal, pos), 0);
    if (canV) ::SendMessageA(m_hWnd, WM_VSCROLL, MAKEWPARAM(vertical, pos), 0);
  }
  return canH || canV;
}

void CView::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

LRESULT CView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      if (m_pBound) *m_pBound = true;
      break;
    case WM_MOUSEACTIVATE: {
      // A click on a view makes it the frame's active view.
      const LRESULT result = Default();
      if (result == MA_ACTIVATE || result == MA_ACTIVATEANDEAT) {
        CFrameWnd* frame = GetParentFrame();
        if (frame && frame->GetActiveView() != this) frame->SetActiveView(this);
      }
      return result;
    }
    case WM_SETFOCUS: {
      // The focus reaching a view some other way (a click in a control,
      // the keyboard) makes it the active view too.
      const LRESULT result = Default();
      CFrameWnd* frame = GetParentFrame();
      if (frame && frame->GetActiveView() != this) frame->SetActiveView(this, true);
      return result;
    }
    default:
      break;
  }
  return CCmdWnd::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// Views over system controls

namespace {

// The window that the thread's next creation makes is bound to this
// object (see CreateControlWindow).
thread_local CWnd* t_pendingControl = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && t_pendingControl) {
    CWnd* wnd = t_pendingControl;
    t_pendingControl = nullptr;
    wnd->SubclassWindow(reinterpret_cast<HWND>(wp));
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

bool CreateControlWindow(CWnd* wnd, const CREATESTRUCTA& cs) {
  // The subclass goes on in the CBT hook, before the window's first
  // message: subclassing after CreateWindowEx returns would miss
  // WM_NCCREATE and WM_CREATE.
  HHOOK hook = ::SetWindowsHookExA(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
  if (!hook) return false;
  t_pendingControl = wnd;
  HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, nullptr);
  t_pendingControl = nullptr;
  ::UnhookWindowsHookEx(hook);
  return hwnd != nullptr;
}

CCtrlView::CCtrlView(const char* className, DWORD style)
    : m_strClass(className), m_dwDefaultStyle(style) {}

bool CCtrlView::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = m_strClass;
  cs.style |= m_dwDefaultStyle;
  return CView::PreCreateWindow(cs);
}

bool CCtrlView::CreateViewWindow(CREATESTRUCTA& cs) { return CreateControlWindow(this, cs); }

CTreeView::CTreeView() : CCtrlView(WC_TREEVIEWA, WS_CHILD | WS_VISIBLE | WS_BORDER) {}

bool CTreeView::PreCreateWindow(CREATESTRUCTA& cs) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&icc);
  return CCtrlView::PreCreateWindow(cs);
}
