// The preview frame and its output window: the full-screen frame's
// creation, its floating toolbar and keys, the scene thread it starts,
// steps, pauses and stops, and how it gives the main window back.
#include "builder/PreviewFrame.h"

#include <mmsystem.h>

#include "builder/controls/BuilderMessages.h"
#include "builder/resource.h"
#include "framework/App.h"
#include "playback/SceneThread.h"
#include "script/Commands.h"
#include "script/Options.h"
#include "script/Palette.h"

namespace {

// The options' show-preview-toolbar value; the toolbar shows without
// options.
bool OptionsShowToolBar() {
  const CBuilderOptions* options = g_pCommandPalette ? g_pCommandPalette->GetOptions() : nullptr;
  return !options || options->m_showPreviewToolbar == 1;
}

}  // namespace

bool OpenPreview(UINT* times, bool autoStart) {
  if (!CWnd::RegisterNamedClass(kPreviewWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr,
                                nullptr, nullptr))
    return false;
  auto* frame = new CPreviewFrame(times);
  if (!frame->Open()) return false;
  if (autoStart) frame->PostMessage(WM_COMMAND, ID_PREVIEW_GO, 0);
  return true;
}

bool IsUrlKey(UINT vk, int urlKeys) {
  switch (vk) {
    case VK_F12:
      return urlKeys == 1 || urlKeys == 3;
    case VK_RETURN:
      return urlKeys == 0 || urlKeys == 3;
    case VK_SPACE:
      return urlKeys == 2 || urlKeys == 3;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// The output window.

void CClientTestWnd::Clear(COLORREF colour, DWORD rop) {
  m_output.SetBackground(colour, rop);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CClientTestWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CView::PreCreateWindow(cs)) return false;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  return true;
}

int CClientTestWnd::OnCreate(CREATESTRUCTA* cs) {
  if (CView::OnCreate(cs) == -1) return -1;
  m_output.SetHwnd(m_hWnd);
  return 0;
}

void CClientTestWnd::OnDraw(HDC dc) { m_output.Paint(dc); }

// ---------------------------------------------------------------------------
// The frame.

const CCommandEntry CPreviewFrame::commandEntries[] = {
    CommandEntry(ID_PREVIEW_GO, &CPreviewFrame::OnGo),
    CommandEntry(ID_PREVIEW_STEP, &CPreviewFrame::OnStep),
    CommandEntry(ID_PREVIEW_PAUSE, &CPreviewFrame::OnPause),
    UpdateUIEntry(ID_PREVIEW_PAUSE, &CPreviewFrame::OnUpdateWhilePlaying),
    CommandEntry(ID_PREVIEW_STOP, &CPreviewFrame::OnStop),
    UpdateUIEntry(ID_PREVIEW_STOP, &CPreviewFrame::OnUpdateWhilePlaying),
    CommandEntry(ID_PREVIEW_SOUND, &CPreviewFrame::OnSound),
    CommandEntry(ID_PREVIEW_EXIT, &CPreviewFrame::OnExit),
    CommandEntry(ID_PREVIEW_KEEPVISIBLE, &CPreviewFrame::OnKeepVisible),
    UpdateUIEntry(ID_PREVIEW_KEEPVISIBLE, &CPreviewFrame::OnUpdateKeepVisible),
};
LW_IMPLEMENT_COMMAND_TABLE(CPreviewFrame, CFrameWnd)

CPreviewFrame::CPreviewFrame(const UINT* times) : m_times(times ? *times : 0) {}

CPreviewFrame::~CPreviewFrame() { StopScene(); }

bool CPreviewFrame::Open() {
  if (!LoadFrame(IDR_PREVIEW, WS_POPUP | WS_VISIBLE)) return false;
  // The floating toolbar belongs above the frame that owns it. Wine
  // without a window manager lets the frame's own showing, which reaches
  // it a little later from the X server, put the frame on top of it:
  // for a short while the toolbar is raised again whenever that happened.
  RaiseToolBar();
  m_raiseTicks = kRaiseToolBarTicks;
  SetTimer(kRaiseToolBarTimer, kRaiseToolBarMs);
  return true;
}

bool CPreviewFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.lpszClass = kPreviewWindowClass;
  if (!CFrameWnd::PreCreateWindow(cs)) return false;
  m_strTitle = kPreviewTitle;
  cs.lpszName = m_strTitle;
  cs.dwExStyle = (cs.dwExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW;
  cs.x = cs.y = 0;
  cs.cx = ::GetSystemMetrics(SM_CXSCREEN);
  cs.cy = ::GetSystemMetrics(SM_CYSCREEN);
  cs.hwndParent = nullptr;
  return true;
}

bool CPreviewFrame::OnCreateClient(CREATESTRUCTA*, CCreateContext*) {
  auto* view = new CClientTestWnd;
  // A view that cannot be made has deleted itself.
  if (!view->Create(m_hWnd, AFX_IDW_PANE_FIRST, nullptr)) return false;
  m_pView = view;
  m_mediaPlayers.reset(new CSceneMediaPlayers(view->GetSafeHwnd()));
  view->ShowWindow(SW_SHOW);
  view->OnInitialUpdate();
  SetActiveView(view);
  return true;
}

int CPreviewFrame::OnCreate(CREATESTRUCTA* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  if (!m_toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_FLYBY,
                          AFX_IDW_TOOLBAR) ||
      !m_toolBar.LoadToolBar(IDR_PREVIEW))
    return -1;
  m_toolBar.AddBitmap(IDB_PREVIEW_KEEPVISIBLE, 1);
  AddControlBar(&m_toolBar);
  // Keep Visible starts on.
  OnKeepVisible(ID_PREVIEW_KEEPVISIBLE);
  // The floating toolbar's caption.
  m_toolBar.SetWindowText(kPreviewTitle);
  m_toolBar.SetBarStyle(m_toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
  m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
  m_toolBar.Dock(CControlBar::kTop);
  PlaceToolBar();
  ShowToolBar(OptionsShowToolBar());
  TakeMainWindow();
  return 0;
}

void CPreviewFrame::PlaceToolBar() {
  CWinApp* app = AfxGetApp();
  CString section;
  section.Format("%s-Bar0", kPreviewTitle);
  if (app && app->GetProfileInt(section, "BarID", 0) != 0) {
    LoadBarState(kPreviewTitle);
    return;
  }
  // Floated once to learn the floating bar's size, then moved: floating
  // it again would hide and show it once more.
  m_toolBar.Float(CPoint(0, 0));
  const CRect bar = m_toolBar.GetWindowRect();
  if (HWND floating = m_toolBar.GetFloatingFrame())
    ::SetWindowPos(floating, nullptr,
                   ::GetSystemMetrics(SM_CXSCREEN) - bar.Width() - 2 * bar.Height(), bar.Height(),
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SaveBarState(kPreviewTitle);
}

bool CPreviewFrame::IsToolBarShown() const {
  return m_toolBar.IsWindow() && (m_toolBar.GetStyle() & WS_VISIBLE) != 0;
}

void CPreviewFrame::ShowToolBar(bool show) {
  if (!m_toolBar.IsWindow()) return;
  if (show != IsToolBarShown()) ShowControlBar(&m_toolBar, show);
  if (show) RaiseToolBar();
}

void CPreviewFrame::RaiseToolBar() {
  HWND floating = m_toolBar.GetFloatingFrame();
  if (!floating || !::IsWindowVisible(floating)) return;
  // Only when the frame is above it: raising a window that is on top
  // already costs a round trip to the window system for nothing.
  for (HWND above = ::GetWindow(floating, GW_HWNDPREV); above;
       above = ::GetWindow(above, GW_HWNDPREV)) {
    if (above == m_hWnd) {
      ::SetWindowPos(floating, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    }
  }
}

bool CPreviewFrame::StartScene(int step) {
  if (m_pThread) {
    m_pThread->SetStepMode(step);
    m_pThread->Continue();
  } else {
    if (!m_pView || !g_pCommandPalette) return false;
    if (!m_pPlayList) m_pPlayList.reset(new CCommandListPlay(g_pCommandPalette->GetCommands()));
    std::unique_ptr<CSceneThread> thread(new CSceneThread(&m_pView->GetOutput(), &m_times,
                                                          CSceneThread::kPlay, m_pPlayList.get(),
                                                          m_mediaPlayers.get()));
    thread->SetStepMode(step);
    if (!thread->Start()) return false;
    m_pThread = thread.release();
  }
  if (!m_keepVisible && IsToolBarShown()) ShowToolBar(false);
  return true;
}

void CPreviewFrame::StopScene() {
  CSceneThread* thread = m_pThread;
  if (!thread) return;
  m_pThread = nullptr;
  thread->Stop();
  delete thread;
}

bool CPreviewFrame::OnGo(UINT) {
  StartScene(0);
  return true;
}

bool CPreviewFrame::OnStep(UINT) {
  StartScene(1);
  return true;
}

bool CPreviewFrame::OnPause(UINT) {
  if (m_pThread) m_pThread->RequestPause();
  return true;
}

bool CPreviewFrame::OnStop(UINT) {
  StopScene();
  return true;
}

bool CPreviewFrame::OnSound(UINT) {
  ::PlaySoundA(nullptr, nullptr, 0);
  return true;
}

bool CPreviewFrame::OnExit(UINT) {
  if (m_pThread && m_urlKey && m_pThread->GetUrlKeys() != -1)
    PostOpenPreviewUrl(AfxGetMainHwnd(), m_pThread->GetUrlAddress());
  m_urlKey = false;
  // The frame may be gone when this returns.
  SendMessage(WM_CLOSE);
  return true;
}

bool CPreviewFrame::OnKeepVisible(UINT) {
  if (!IsToolBarShown()) {
    ShowToolBar(true);
    return true;
  }
  m_keepVisible = !m_keepVisible;
  const int index = m_toolBar.CommandToIndex(ID_PREVIEW_KEEPVISIBLE);
  if (index >= 0) {
    m_toolBar.SetButtonInfo(index, ID_PREVIEW_KEEPVISIBLE, BTNS_CHECK,
                            m_keepVisible ? PREVIEW_IMAGE_KEEPVISIBLE_ON
                                          : PREVIEW_IMAGE_KEEPVISIBLE_OFF);
    m_toolBar.SendMessage(TB_CHECKBUTTON, ID_PREVIEW_KEEPVISIBLE, MAKELPARAM(m_keepVisible, 0));
  }
  return true;
}

void CPreviewFrame::OnUpdateWhilePlaying(CCmdUI* ui) { ui->Enable(m_pThread != nullptr); }

void CPreviewFrame::OnUpdateKeepVisible(CCmdUI* ui) {
  ui->Enable(true);
  ui->SetCheck(m_keepVisible ? 1 : 0);
}

void CPreviewFrame::OnSceneEnded() {
  if (m_pThread) {
    // A run stopped from here was forgotten at once; its end comes later
    // and must not end a run started since.
    if (::WaitForSingleObject(m_pThread->GetEndedEvent(), 0) != WAIT_OBJECT_0) return;
    StopScene();
  }
  if (!m_keepVisible && !IsToolBarShown()) ShowToolBar(true);
}

bool CPreviewFrame::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN) {
    if (msg->wParam == VK_ESCAPE && !(msg->lParam & (1 << 30))) {
      PostMessage(WM_CLOSE);
      return true;
    }
    if (m_pThread && IsUrlKey(static_cast<UINT>(msg->wParam), m_pThread->GetUrlKeys())) {
      m_urlKey = true;
      OnExit(ID_PREVIEW_EXIT);
      return true;
    }
  }
  return CFrameWnd::PreTranslateMessage(msg);
}

void CPreviewFrame::OnTimer(UINT_PTR id) {
  if (id != kRaiseToolBarTimer) {
    CFrameWnd::OnTimer(id);
    return;
  }
  RaiseToolBar();
  if (--m_raiseTicks <= 0) KillTimer(kRaiseToolBarTimer);
}

LRESULT CPreviewFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SCENE_ENDED) {
    OnSceneEnded();
    return 1;
  }
  return CFrameWnd::WindowProc(msg, wp, lp);
}

void CPreviewFrame::TakeMainWindow() {
  // Called before the frame shows: the active window is still the one
  // the preview was opened from (the main window, or a dialog over it).
  m_taken[0].window = AfxGetMainHwnd();
  m_taken[1].window = ::GetActiveWindow();
  if (m_taken[1].window == m_taken[0].window) m_taken[1].window = nullptr;
  for (CTakenWindow& taken : m_taken) {
    if (!taken.window) continue;
    taken.wasEnabled = ::IsWindowEnabled(taken.window) != FALSE;
    if (taken.wasEnabled) ::EnableWindow(taken.window, FALSE);
  }
  m_activeBefore = m_taken[1].window ? m_taken[1].window : m_taken[0].window;
}

void CPreviewFrame::GiveBackMainWindow() {
  if (m_mainGivenBack) return;
  m_mainGivenBack = true;
  // What this frame disabled is enabled again; a window that was disabled
  // already (the main window under a modal dialog) stays so.
  for (CTakenWindow& taken : m_taken)
    if (taken.window && taken.wasEnabled && ::IsWindow(taken.window))
      ::EnableWindow(taken.window, TRUE);
  // The window the user worked in comes back to the front; the others keep
  // their places below it.
  if (m_activeBefore && ::IsWindow(m_activeBefore) && ::IsWindowEnabled(m_activeBefore))
    ::SetForegroundWindow(m_activeBefore);
}

bool CPreviewFrame::DestroyWindow() {
  // The floating toolbar goes with the frame's owned windows before the
  // frame hears of its end: its place is kept now.
  if (IsWindow()) SaveBarState(kPreviewTitle);
  GiveBackMainWindow();
  return CFrameWnd::DestroyWindow();
}

void CPreviewFrame::OnClose() { DestroyWindow(); }

void CPreviewFrame::OnDestroy() {
  StopScene();
  m_mediaPlayers.reset();
  GiveBackMainWindow();
  CFrameWnd::OnDestroy();
}
