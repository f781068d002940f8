// The main frame: window class and place, splitter, bars, window menu,
// close, keys, the private messages and the commands of its menus.
#include "builder/MainFrame.h"

#include <windowsx.h>

#include <cstdlib>

#include "builder/BuilderApp.h"
#include "builder/CommView.h"
#include "builder/controls/BuilderMessages.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/SaverMakeResult.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "builder/resource.h"
#include "builder/SceneDoc.h"
#include "builder/SceneView.h"
#include "builder/StartDialogs.h"
#include "common/AppUtils.h"
#include "framework/Menu.h"
#include "framework/Seams.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "wizards/SaverMaker.h"
#include "wizards/StandardWizard.h"
#include "wizards/ToolCommands.h"

const char kWindowPlaceEntry[] = "WindowPlace";
const char kWindowShowEntry[] = "WindowShow";
const char kSplitterEntry[] = "Splitter";
const char kSupportAddress[] = "support@lumenweave.example";
const char kHomepage[] = "https://lumenweave.example/";

namespace {

const char kAlwaysOnTopEntry[] = "AlwaysOnTop";

CWinApp* App() { return AfxGetApp(); }

int ProfileInt(const char* entry, int defaultValue) {
  CWinApp* app = App();
  return app ? static_cast<int>(app->GetProfileInt(kSettingsSection, entry, defaultValue))
             : defaultValue;
}

void WriteProfileInt(const char* entry, int value) {
  if (CWinApp* app = App()) app->WriteProfileInt(kSettingsSection, entry, value);
}

// The number of arguments of the program's command line.
int ArgumentCount() {
  CWinApp* app = App();
  CStringArray args;
  SplitCommandLine(app ? app->m_lpCmdLine : "", args);
  return args.GetSize();
}

}  // namespace

bool IsStartWindowDue() { return ProfileInt(kStartDialogEntry, 0) == 0 && ArgumentCount() != 1; }

void TrackPaneContextMenu(HWND pane, LPARAM lp, int subMenu) {
  POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (lp == -1) {
    pt = {5, 5};
    ::ClientToScreen(pane, &pt);
  }
  CMenu menu;
  if (!menu.LoadMenu(IDR_CONTEXT_MENUS)) return;
  CMenu popup = menu.GetSubMenu(subMenu);
  if (popup.GetSafeHmenu())
    popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, ::GetAncestor(pane, GA_ROOT));
}

void KeepPlaceOnScreen(CREATESTRUCTA& cs) {
  const bool sized = cs.cx > 0 && cs.cx != CW_USEDEFAULT && cs.cy > 0 && cs.cy != CW_USEDEFAULT;
  const int width = sized ? cs.cx : 200;
  const int height = sized ? cs.cy : 30;
  // Where the user can take hold of the window: the strip of its caption.
  const RECT caption = {cs.x, cs.y, cs.x + width, cs.y + ::GetSystemMetrics(SM_CYCAPTION) + 8};
  if (::MonitorFromRect(&caption, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoA(::MonitorFromRect(&caption, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT& work = info.rcWork;
  const int fitWidth = width < work.right - work.left ? width : work.right - work.left;
  const int fitHeight = height < work.bottom - work.top ? height : work.bottom - work.top;
  cs.x = cs.x < work.left ? work.left : cs.x > work.right - fitWidth ? work.right - fitWidth : cs.x;
  cs.y = cs.y < work.top ? work.top : cs.y > work.bottom - fitHeight ? work.bottom - fitHeight : cs.y;
  if (sized) {
    cs.cx = fitWidth;
    cs.cy = fitHeight;
  }
}

int ParseWindowPlace(const char* text, int values[4]) {
  int count = 0;
  const char* p = text ? text : "";
  while (count < 4) {
    char* end = nullptr;
    const long value = std::strtol(p, &end, 10);
    if (end == p) break;
    values[count++] = static_cast<int>(value);
    if (*end != ',') break;
    p = end + 1;
  }
  return count;
}

// ---------------------------------------------------------------------------

const CCommandEntry CMainFrame::commandEntries[] = {
    CommandEntry(ID_FILE_MAKESCR, &CMainFrame::OnMakeScr),
    UpdateUIEntry(ID_FILE_MAKESCR, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_FILE_MAKEINSTALL, &CMainFrame::OnMakeInstall),
    UpdateUIEntry(ID_FILE_MAKEINSTALL, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_FILE_SETDEFAULT, &CMainFrame::OnSetDefaultSaver),
    UpdateUIEntry(ID_FILE_SETDEFAULT, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_EDIT_CUT, &CMainFrame::OnClipboard),
    UpdateUIEntry(ID_EDIT_CUT, &CMainFrame::OnUpdateSelection),
    CommandEntry(ID_EDIT_COPY, &CMainFrame::OnClipboard),
    UpdateUIEntry(ID_EDIT_COPY, &CMainFrame::OnUpdateSelection),
    CommandEntry(ID_EDIT_PASTE, &CMainFrame::OnClipboard),
    UpdateUIEntry(ID_EDIT_PASTE, &CMainFrame::OnUpdatePaste),
    CommandEntry(ID_EDIT_DELETE, &CMainFrame::OnDelete),
    UpdateUIEntry(ID_EDIT_DELETE, &CMainFrame::OnUpdateSelection),
    CommandEntry(ID_EDIT_SELECT_ALL, &CMainFrame::OnSelectAll),
    UpdateUIEntry(ID_EDIT_SELECT_ALL, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_EDIT_DEACTIVATE, &CMainFrame::OnActivation),
    UpdateUIEntry(ID_EDIT_DEACTIVATE, &CMainFrame::OnUpdateSelection),
    CommandEntry(ID_EDIT_ACTIVATE, &CMainFrame::OnActivation),
    UpdateUIEntry(ID_EDIT_ACTIVATE, &CMainFrame::OnUpdateSelection),
    CommandEntry(ID_EDIT_ACTIVATEALL, &CMainFrame::OnActivateAll),
    UpdateUIEntry(ID_EDIT_ACTIVATEALL, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_TOOLS_OPTIONS, &CMainFrame::OnOptions),
    CommandEntry(ID_SCENE_PREVIEW, &CMainFrame::OnPreview),
    UpdateUIEntry(ID_SCENE_PREVIEW, &CMainFrame::OnUpdateNotEmpty),
    CommandEntry(ID_VIEW_REFRESH, &CMainFrame::OnRefresh),
    CommandEntry(ID_COMMAND_CURRENT, &CMainFrame::OnCurrent),
    UpdateUIEntry(ID_COMMAND_CURRENT, &CMainFrame::OnUpdateTypeSelected),
    CommandEntry(ID_COMMAND_ADD, &CMainFrame::OnAddOrInsert),
    UpdateUIEntry(ID_COMMAND_ADD, &CMainFrame::OnUpdateTypeSelected),
    CommandEntry(ID_COMMAND_INSERT, &CMainFrame::OnAddOrInsert),
    UpdateUIEntry(ID_COMMAND_INSERT, &CMainFrame::OnUpdateInsert),
    CommandEntry(ID_WIZARD_STANDARD, &CMainFrame::OnStandardWizard),
    CommandEntry(ID_TOOLS_STARTWINDOW, &CMainFrame::OnStartWindow),
    CommandEntry(ID_TOOLS_INSTALLFORSCR, &CMainFrame::OnInstallForScr),
    CommandEntry(ID_WIZARD_ONESTEP, &CMainFrame::OnOneStepWizard),
    CommandEntry(ID_WIZARD_FLASHTOSCR, &CMainFrame::OnFlashToScr),
    CommandEntry(ID_TOOLS_DIRECTFLASH, &CMainFrame::OnDirectFlash),
    CommandEntry(ID_TOOLS_FLASHPRESENTATION, &CMainFrame::OnFlashPresentation),
    CommandEntry(ID_WIZARD_LAST, &CMainFrame::OnLastWizard),
    CommandEntry(ID_HELP_SUPPORT, &CMainFrame::OnSupport),
    CommandEntry(ID_HELP_HOMEPAGE, &CMainFrame::OnHomepage),
    NotifyEntry(AFX_IDW_TOOLBAR, TBN_DROPDOWN, &CMainFrame::OnWizardDropDown),
};
LW_IMPLEMENT_COMMAND_TABLE(CMainFrame, CFrameWnd)

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

CCommView* CMainFrame::GetCommView() const {
  return dynamic_cast<CCommView*>(m_wndSplitter.GetPane(0, 0));
}

CSceneView* CMainFrame::GetSceneView() const {
  return dynamic_cast<CSceneView*>(m_wndSplitter.GetPane(0, 1));
}

// ---------------------------------------------------------------------------
// Creation

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (!::GetClassInfoA(instance, kMainFrameClass, &existing) &&
      !RegisterNamedClass(kMainFrameClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                          ::LoadCursorA(nullptr, IDC_ARROW),
                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                          ::LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))))
    return false;
  cs.lpszClass = kMainFrameClass;

  char place[128] = "";
  if (CWinApp* app = App())
    app->GetProfileString(kSettingsSection, kWindowPlaceEntry, "", place, sizeof place);
  if (place[0]) {
    int values[4];
    const int count = ParseWindowPlace(place, values);
    int* fields[4] = {&cs.x, &cs.y, &cs.cx, &cs.cy};
    for (int i = 0; i < count; ++i) *fields[i] = values[i];
    if (count >= 2) KeepPlaceOnScreen(cs);
  } else {
    const CSize screen = GetScreenSize();
    cs.x = screen.cx / 5;
    cs.y = screen.cy / 5;
    cs.cx = 790;
    cs.cy = screen.cy * 3 / 5;
  }
  return CFrameWnd::PreCreateWindow(cs);
}

bool CMainFrame::OnCreateClient(CREATESTRUCTA*, CCreateContext* context) {
  if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
    return false;
  const int width = ProfileInt(kSplitterEntry, kDefaultTreeWidth);
  if (!m_wndSplitter.CreateView(0, 0, ClassOf<CCommView>(), CSize(width, 0), context) ||
      !m_wndSplitter.CreateView(0, 1, context ? context->m_newViewClass : CFactory<CView>(),
                                CSize(0, 0), context))
    return false;
  SetActiveView(GetCommView());
  return true;
}

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  // The splash, when the options ask for it, brings the Start window when
  // it goes; without one the Start window comes once the program has
  // started and its first document exists.
  const CBuilderOptions* options = g_pCommandPalette ? g_pCommandPalette->GetOptions() : nullptr;
  const bool splash = options && options->m_splash == 1 && CSplashWnd::ShowSplashScreen(m_hWnd);
  if (!splash && IsStartWindowDue()) PostMessage(WM_COMMAND, ID_TOOLS_STARTWINDOW);
  if (!CreateToolBar() || !CreateStatusBar()) return -1;
  m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);
  m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
  m_wndToolBar.Dock(CControlBar::kTop);
  if (CWinApp* app = App()) LoadBarState(app->GetAppName());
  AddAlwaysOnTopItem();
  return 0;
}

bool CMainFrame::CreateToolBar() {
  if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                             AFX_IDW_TOOLBAR) ||
      !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
    return false;
  m_wndToolBar.SetExtendedStyle(m_wndToolBar.GetExtendedStyle() | TBSTYLE_EX_DRAWDDARROWS);
  const int images = m_wndToolBar.GetCount();
  struct {
    CImageList* list;
    UINT bitmap;
  } const lists[] = {{&m_toolbarImages, IDB_TOOLBAR}, {&m_toolbarDisabledImages, IDB_TOOLBAR_DISABLED}};
  for (const auto& l : lists) {
    if (!l.list->Create(TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE, ILC_COLORDDB | ILC_MASK, images, 1))
      return false;
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                       MAKEINTRESOURCEA(l.bitmap), IMAGE_BITMAP,
                                                       0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return false;
    l.list->Add(bitmap, TOOLBAR_MASK_COLOUR);
    ::DeleteObject(bitmap);
  }
  m_wndToolBar.SetImageList(&m_toolbarImages);
  m_wndToolBar.SetDisabledImageList(&m_toolbarDisabledImages);
  const int wizard = m_wndToolBar.CommandToIndex(ID_WIZARD_LAST);
  if (wizard >= 0)
    m_wndToolBar.SetButtonStyle(wizard, m_wndToolBar.GetButtonStyle(wizard) | TBSTYLE_DROPDOWN);
  if (CWinApp* app = App()) m_wndToolBar.SetWindowText(app->GetAppName());
  m_wndToolBar.SetBarId(ID_VIEW_TOOLBAR);
  AddControlBar(&m_wndToolBar);
  return true;
}

bool CMainFrame::CreateStatusBar() {
  static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                    ID_INDICATOR_SCRL};
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
      !m_wndStatusBar.SetIndicators(indicators, 4))
    return false;
  m_wndStatusBar.SetBarId(ID_VIEW_STATUS_BAR);
  AddControlBar(&m_wndStatusBar);
  RecalcLayout();
  return true;
}

void CMainFrame::AddAlwaysOnTopItem() {
  HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
  if (!system) return;
  ::AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(system, MF_STRING, IDM_ALWAYSONTOP, "&Always On Top");
  if (ProfileInt(kAlwaysOnTopEntry, 0) != 0) {
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::CheckMenuItem(system, IDM_ALWAYSONTOP, MF_BYCOMMAND | MF_CHECKED);
  }
}

// ---------------------------------------------------------------------------
// Title, keys, close

void CMainFrame::OnUpdateFrameTitle(bool addToTitle) {
  CDocument* doc = GetActiveDocument();
  CString title = addToTitle && doc ? doc->GetTitle() : CString();
  if (title.IsEmpty()) title = LoadResourceString(AFX_IDS_UNTITLED, "Untitled");
  const CString text = title + " - " + GetTitle();
  char current[512] = "";
  GetWindowText(current, sizeof current);
  if (text != current) SetWindowText(text);
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && IsWindowEnabled() &&
      (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
    if (msg->wParam == VK_TAB) {
      CSceneView* script = GetSceneView();
      CView* next = GetActiveView() == script ? static_cast<CView*>(GetCommView()) : script;
      if (next) SetActiveView(next);
      return true;
    }
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool repeat = (msg->lParam & (1 << 30)) != 0;
    if (msg->wParam == VK_OEM_PLUS && ctrl && shift && !repeat) {
      if (CSceneView* script = GetSceneView()) script->ExportText();
      return true;
    }
  }
  return CFrameWnd::PreTranslateMessage(msg);
}

void CMainFrame::SaveWindowState() {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(m_hWnd, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  CString place;
  place.Format("%d,%d,%d,%d", static_cast<int>(r.left), static_cast<int>(r.top),
               static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
  CWinApp* app = App();
  if (!app) return;
  app->WriteProfileString(kSettingsSection, kWindowPlaceEntry, place);
  WriteProfileInt(kWindowShowEntry, static_cast<int>(placement.showCmd));
  // The column's width as the splitter keeps it: the pane's client area
  // is narrower by the view's edge, and would shrink the pane at every
  // start.
  int width = 0, minimum = 0;
  m_wndSplitter.GetColumnInfo(0, width, minimum);
  WriteProfileInt(kSplitterEntry, width);
  SaveBarState(app->GetAppName());
}

void CMainFrame::OnClose() {
  if (!::IsIconic(m_hWnd)) SaveWindowState();
  if (g_pCommandPalette) g_pCommandPalette->SerializeOptions(false);
  CFrameWnd::OnClose();
}

void CMainFrame::OnSysCommand(UINT id, LPARAM lp) {
  if (id != IDM_ALWAYSONTOP) {
    Default();
    return;
  }
  HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
  const bool wasOnTop = (::GetMenuState(system, IDM_ALWAYSONTOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
  ::CheckMenuItem(system, IDM_ALWAYSONTOP, MF_BYCOMMAND | (wasOnTop ? MF_UNCHECKED : MF_CHECKED));
  SetWindowPos(wasOnTop ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  WriteProfileInt(kAlwaysOnTopEntry, wasOnTop ? 0 : 1);
}

void CMainFrame::OnDropFiles(HDROP drop) {
  ::SetForegroundWindow(m_hWnd);
  CFrameWnd::OnDropFiles(drop);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_OPEN_HANDED_FILE: {
      const CString path = ReadHandedFile();
      CDocumentApp* app = AfxGetDocumentApp();
      if (!path.IsEmpty() && app) app->OpenDocumentFile(path);
      return 1;
    }
    case WM_MAKE_SCR: {
      CSceneView* script = GetSceneView();
      return script && script->OnMakeScr(false) ? 1 : 0;
    }
    case WM_MAKE_INSTALLER: {
      CSceneView* script = GetSceneView();
      return script && script->OnMakeInstall(false) ? 1 : 0;
    }
    case WM_OPEN_PREVIEW_URL: {
      CString address;
      if (TakeHandedAddress(lp, address))
        LwShellExecute(m_hWnd, "open", address, "", "", SW_SHOWNOACTIVATE);
      return 0;
    }
    case WM_ADD_COMMAND: {
      CSceneCommand* command = TakeHandedCommand(lp);
      CSceneView* script = GetSceneView();
      if (command && script) return script->InsertCommand(command, true) ? 1 : 0;
      delete command;
      return 0;
    }
    default:
      return CFrameWnd::WindowProc(msg, wp, lp);
  }
}

// ---------------------------------------------------------------------------
// Commands

bool CMainFrame::OnMakeScr(UINT) {
  if (CSceneView* script = GetSceneView()) script->OnMakeScr(true);
  return true;
}

bool CMainFrame::OnMakeInstall(UINT) {
  if (CSceneView* script = GetSceneView()) script->OnMakeInstall(true);
  return true;
}

bool CMainFrame::OnSetDefaultSaver(UINT) {
  if (CSceneView* script = GetSceneView()) script->SetAsDefaultSaver();
  return true;
}

bool CMainFrame::OnClipboard(UINT id) {
  CSceneView* script = GetSceneView();
  if (!script) return true;
  if (id == ID_EDIT_PASTE)
    script->PasteFromClipboard();
  else
    script->CopySelection(id == ID_EDIT_CUT);
  return true;
}

bool CMainFrame::OnDelete(UINT) {
  if (CSceneView* script = GetSceneView()) script->DeleteSelection(true);
  return true;
}

bool CMainFrame::OnSelectAll(UINT) {
  if (CSceneView* script = GetSceneView()) script->SelectAll();
  return true;
}

bool CMainFrame::OnActivation(UINT id) {
  if (CSceneView* script = GetSceneView()) script->SetSelectionDisabled(id == ID_EDIT_DEACTIVATE);
  return true;
}

bool CMainFrame::OnActivateAll(UINT) {
  if (CSceneView* script = GetSceneView()) script->EnableAll();
  return true;
}

bool CMainFrame::OnOptions(UINT) {
  if (CSceneView* script = GetSceneView()) script->EditOptions();
  return true;
}

bool CMainFrame::OnPreview(UINT) {
  if (CSceneView* script = GetSceneView()) script->Preview();
  return true;
}

bool CMainFrame::OnRefresh(UINT) {
  if (CSceneView* script = GetSceneView()) script->ResetSelection();
  return true;
}

bool CMainFrame::OnCurrent(UINT) {
  if (CCommView* tree = GetCommView()) tree->EditCurrent();
  return true;
}

bool CMainFrame::OnAddOrInsert(UINT id) {
  CCommView* tree = GetCommView();
  CSceneView* script = GetSceneView();
  if (!tree || !script) return true;
  if (CSceneCommand* command = tree->TakeNewCommand())
    script->InsertCommand(command, id == ID_COMMAND_ADD);
  return true;
}

bool CMainFrame::OnStandardWizard(UINT) {
  WriteSettingsInt(kLastWizardEntry, 0);
  CDocumentApp* app = AfxGetDocumentApp();
  if (app && !app->SaveAllModified()) return true;
  // The user has answered for the script: what was not saved is dropped,
  // and the wizard's own New asks nothing again.
  if (CDocument* doc = GetActiveDocument()) doc->SetModifiedFlag(false);
  RunStandardWizard(m_hWnd);
  return true;
}

bool CMainFrame::OnStartWindow(UINT) {
  CStartDlg dialog(m_hWnd);
  if (const UINT command = StartWindowCommand(dialog.DoModal())) SendMessage(WM_COMMAND, command);
  return true;
}

bool CMainFrame::OnInstallForScr(UINT) {
  CFileDialogEx dialog(false, true, "scr", nullptr, OFN_HIDEREADONLY | OFN_ENABLEHOOK,
                       "Screen Saver (.scr)|*.scr||", m_hWnd);
  dialog.m_ofn.lpstrTitle = "Make Quenlark from selected SCR file";
  dialog.m_ofn.lpfnHook = SaveDialogHookProc;
  dialog.m_ofn.Flags |= OFN_ENABLEHOOK;
  if (dialog.DoModal() != IDOK) return true;
  const CString saver = dialog.GetPathName();
  if (saver.GetLength() < 3) return true;
  const CString installer = saver.Left(saver.GetLength() - 3) + "exe";
  if (FileExists(installer)) {
    AfxMessageBox(LoadResourceString(IDS_INSTALLER_EXISTS, "Installer file already exists!"));
    return true;
  }
  CSaverMaker maker;
  const bool made = maker.MakeInstallerForSaver(installer, saver) != FALSE;
  ShowSaverMakeResult(made, maker, installer);
  return true;
}

bool CMainFrame::OnOneStepWizard(UINT) {
  RunOneStepWizard(this);
  return true;
}

bool CMainFrame::OnFlashToScr(UINT) {
  RunFlashToScr(this);
  return true;
}

bool CMainFrame::OnDirectFlash(UINT) {
  RunDirectFlash(m_hWnd);
  return true;
}

bool CMainFrame::OnFlashPresentation(UINT) {
  RunFlashPresentation(this);
  return true;
}

// The toolbar's wizard button: the wizard that ran last runs again.
bool CMainFrame::OnLastWizard(UINT) {
  if (const UINT command = LastWizardCommand(ProfileInt(kLastWizardEntry, 0)))
    SendMessage(WM_COMMAND, command);
  return true;
}

bool CMainFrame::OnSupport(UINT) {
  SendMail(kSupportAddress, "Support Request: " + FormatVersionLine());
  return true;
}

bool CMainFrame::OnHomepage(UINT) {
  OpenUrl(kHomepage);
  return true;
}

bool CMainFrame::OnWizardDropDown(NMHDR* hdr, LRESULT* result) {
  const auto* button = reinterpret_cast<const NMTOOLBARA*>(hdr);
  if (button->iItem != ID_WIZARD_LAST) return false;
  CMenu menu;
  if (menu.LoadMenu(IDR_WIZARD_MENU)) {
    CMenu popup = menu.GetSubMenu(0);
    RECT r = {};
    ::SendMessageA(hdr->hwndFrom, TB_GETRECT, ID_WIZARD_LAST, reinterpret_cast<LPARAM>(&r));
    ::MapWindowPoints(hdr->hwndFrom, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (popup.GetSafeHmenu())
      popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, r.left, r.bottom, m_hWnd,
                           &r);
  }
  *result = TBDDRET_DEFAULT;
  return true;
}

void CMainFrame::OnUpdateNotEmpty(CCmdUI* ui) {
  CSceneView* script = GetSceneView();
  ui->Enable(script && !script->IsScriptEmpty());
}

void CMainFrame::OnUpdateSelection(CCmdUI* ui) {
  CSceneView* script = GetSceneView();
  ui->Enable(script && script->HasSelection());
}

void CMainFrame::OnUpdatePaste(CCmdUI* ui) { ui->Enable(GetSceneView() && CSceneView::CanPaste()); }

void CMainFrame::OnUpdateTypeSelected(CCmdUI* ui) {
  CCommView* tree = GetCommView();
  ui->Enable(tree && tree->HasTypeSelected());
}

void CMainFrame::OnUpdateInsert(CCmdUI* ui) {
  CCommView* tree = GetCommView();
  CSceneView* script = GetSceneView();
  ui->Enable(tree && tree->HasTypeSelected() && script && script->HasCaretLine());
}
