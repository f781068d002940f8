// The splash window, the About box and the Start window.
#include "builder/StartDialogs.h"

#include "builder/BuilderApp.h"
#include "builder/MainFrame.h"
#include "builder/resource.h"
#include "common/AppUtils.h"
#include "framework/CommandIds.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "playback/movie/FlashPlayer.h"

const char kStartDialogEntry[] = "StartDlg";

namespace {

bool g_splashEnabled = true;
CSplashWnd* g_splash = nullptr;

}  // namespace

CString FormatVersionLine() {
  auto* app = dynamic_cast<CBuilderApp*>(AfxGetApp());
  CString line;
  line.Format(LoadResourceString(IDS_VERSION_LINE, "Lumenweave Version %s (build %s)"),
              static_cast<const char*>(LoadResourceString(IDS_VERSION, "4.8")),
              app ? static_cast<const char*>(app->m_strBuild) : "");
  return line;
}

// ---------------------------------------------------------------------------
// Splash

CSplashWnd::~CSplashWnd() {
  if (g_splash == this) g_splash = nullptr;
}

void CSplashWnd::EnableSplashScreen(bool enable) { g_splashEnabled = enable; }

CSplashWnd* CSplashWnd::Current() { return g_splash; }

bool CSplashWnd::ShowSplashScreen(HWND parent) {
  if (!g_splashEnabled || g_splash) return g_splash != nullptr;
  auto* splash = new CSplashWnd;
  // A window that came and went has deleted itself (and cleared g_splash)
  // already; otherwise the object is still ours.
  if (!splash->Create(parent)) {
    if (g_splash == splash) delete splash;
    return false;
  }
  if (parent) ::EnableWindow(parent, FALSE);
  splash->UpdateWindow();
  return true;
}

bool CSplashWnd::Create(HWND parent) {
  g_splash = this;
  if (!m_bitmap.Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_SPLASH))))
    return false;
  const CSize size = m_bitmap.GetSize();
  const char* cls = RegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
  g_splash = this;
  return CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                  size.cx + 2 * ::GetSystemMetrics(SM_CXBORDER),
                  size.cy + 2 * ::GetSystemMetrics(SM_CYBORDER), parent, 0);
}

int CSplashWnd::OnCreate(CREATESTRUCTA* cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CenterWindow();
  SetTimer(1, kSplashMilliseconds);
  return 0;
}

void CSplashWnd::OnPaint() {
  CPaintDC dc(m_hWnd);
  CDC memory;
  if (memory.CreateCompatibleDC(&dc)) {
    const CSize size = m_bitmap.GetSize();
    CSelectObject picture(memory, m_bitmap);
    dc.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
  }
  LOGFONTA lf = {};
  lf.lfHeight = -13;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  CFont font;
  if (!font.CreateFontIndirect(&lf)) return;
  CSelectObject selected(dc, font);
  dc.SetTextColor(RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  auto* app = dynamic_cast<CBuilderApp*>(AfxGetApp());
  const CString text = CString("Build:") + (app ? app->m_strBuild : CString());
  dc.TextOut(1, 205, text, text.GetLength());
}

void CSplashWnd::OnTimer(UINT_PTR id) {
  if (id == 1)
    Hide();
  else
    Default();
}

void CSplashWnd::PostNcDestroy() { delete this; }

void CSplashWnd::RaiseSplashScreen() {
  if (!g_splash) return;
  g_splash->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  g_splash->UpdateWindow();
}

void CSplashWnd::HideSplashScreen() {
  if (g_splash) g_splash->Hide();
}

void CSplashWnd::Hide() {
  HWND parent = ::GetWindow(m_hWnd, GW_OWNER);
  KillTimer(1);
  DestroyWindow();  // this object is gone from here on
  if (parent) {
    ::EnableWindow(parent, TRUE);
    ::UpdateWindow(parent);
  }
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd && IsStartWindowDue())
    app->m_pMainWnd->SendMessage(WM_COMMAND, ID_TOOLS_STARTWINDOW);
}

bool CSplashWnd::PreTranslateAppMessage(MSG*) { return false; }

// ---------------------------------------------------------------------------
// About box

const CCommandEntry CAboutDlg::commandEntries[] = {
    CommandEntry(IDC_ABOUT_SUPPORT, &CAboutDlg::OnSupport),
    CommandEntry(IDC_ABOUT_HOMEPAGE, &CAboutDlg::OnHomepage),
};
LW_IMPLEMENT_COMMAND_TABLE(CAboutDlg, CCmdDialog)

CAboutDlg::CAboutDlg(HWND parent) : CCmdDialog(IDD_ABOUTBOX, parent) {}

bool CAboutDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  const bool created =
      m_pFlash && m_pFlash->Create(m_hWnd, CRect(0, 0, 0, 0), IDC_ABOUT_MOVIE, WS_CHILD);
  CenterWindow();
  const CRect place = GetWindowRect();
  SetWindowPos(nullptr, place.left, place.top + 17, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetDlgItemText(IDC_ABOUT_VERSION, FormatVersionLine());
  // Without a control to play in, the picture stays.
  if (!created || !IsFlashControlInstalled() || !PlayMovie())
    ::ShowWindow(GetDlgItem(IDC_ABOUT_PICTURE), SW_SHOW);
  return false;
}

bool CAboutDlg::PlayMovie() {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_ABOUT_MOVIE), "FLASH");
  const DWORD size = found ? ::SizeofResource(module, found) : 0;
  HGLOBAL loaded = size > 0 ? ::LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return false;
  const CString path = GetTempFilePath("splash.swf");
  try {
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    file.Write(bytes, size);
    file.Close();
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  HWND picture = GetDlgItem(IDC_ABOUT_PICTURE);
  CRect r;
  ::GetWindowRect(picture, &r);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
  ::ShowWindow(picture, SW_HIDE);
  m_pFlash->MoveWindow(r.left, r.top, r.Width(), r.Height());
  m_pFlash->ShowWindow(SW_SHOW);
  m_pFlash->SetMovie(path);
  m_pFlash->SetMenu(FALSE);
  m_pFlash->Play();
  return true;
}

bool CAboutDlg::OnSupport(UINT) {
  SendMessage(WM_COMMAND, ID_HELP_SUPPORT);
  return true;
}

bool CAboutDlg::OnHomepage(UINT) {
  SendMessage(WM_COMMAND, ID_HELP_HOMEPAGE);
  return true;
}

// ---------------------------------------------------------------------------
// Start window

namespace {

// Each button over its picture: window position and size, normal picture.
struct CStartButtonPlace {
  int id, x, y, width, height;
  UINT bitmap;
};
const CStartButtonPlace kStartButtons[CStartDlg::kButtonCount] = {
    {IDC_START_FLASH, 11, 104, 170, 109, IDB_START_FLASH},
    {IDC_START_STANDARD, 181, 104, 171, 109, IDB_START_STANDARD},
    {IDC_START_ONESTEP, 351, 104, 170, 109, IDB_START_ONESTEP},
    {IDC_START_NEW, 87, 213, 180, 111, IDB_START_NEW},
    {IDC_START_OPEN, 266, 213, 181, 111, IDB_START_OPEN},
    {IDOK, 112, 324, 101, 51, IDB_START_CLOSE},
};

}  // namespace

const CCommandEntry CStartDlg::commandEntries[] = {
    CommandRangeEntry(IDC_START_FLASH, IDC_START_NEW, &CStartDlg::OnChoice),
    ControlEntry(IDC_START_DONTSHOW, BN_CLICKED, &CStartDlg::OnDontShow),
};
LW_IMPLEMENT_COMMAND_TABLE(CStartDlg, CCmdDialog)

CStartDlg::CStartDlg(HWND parent) : CCmdDialog(IDD_START, parent) {}

bool CStartDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  CWinApp* app = AfxGetApp();
  const UINT dontShow = app ? app->GetProfileInt(kSettingsSection, kStartDialogEntry, 0) : 0;
  CheckDlgButton(IDC_START_DONTSHOW, dontShow != 0 ? BST_CHECKED : BST_UNCHECKED);
  // The window is its background picture's size.
  HWND back = GetDlgItem(IDC_START_BACKGROUND);
  CRect backRect;
  ::GetWindowRect(back, &backRect);
  CRect frame(0, 0, backRect.Width(), backRect.Height());
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(GetStyle()), FALSE,
                       static_cast<DWORD>(GetExStyle()));
  ::SetWindowPos(back, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow();
  // Beside its label on the background picture.
  ::SetWindowPos(GetDlgItem(IDC_START_DONTSHOW), nullptr, 492, 344, 13, 13,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < kButtonCount; ++i) {
    const CStartButtonPlace& b = kStartButtons[i];
    ::SetWindowPos(GetDlgItem(IDC_START_PICTURE_FIRST + i), nullptr, b.x, b.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_buttons[i].SubclassDlgItem(b.id, m_hWnd);
    m_buttons[i].SetLayout(b.width, b.height, 0, 0, b.x, b.y, 0);
    m_buttons[i].LoadBitmaps(b.bitmap);
  }
  return true;
}

bool CStartDlg::OnChoice(UINT id) {
  EndDialog(id);
  return true;
}

bool CStartDlg::OnDontShow(UINT) {
  if (CWinApp* app = AfxGetApp())
    app->WriteProfileInt(kSettingsSection, kStartDialogEntry,
                         IsDlgButtonChecked(IDC_START_DONTSHOW) == BST_CHECKED ? 1 : 0);
  return true;
}

UINT StartWindowCommand(INT_PTR result) {
  switch (result) {
    case IDC_START_FLASH: return ID_WIZARD_FLASHTOSCR;
    case IDC_START_STANDARD: return ID_WIZARD_STANDARD;
    case IDC_START_ONESTEP: return ID_WIZARD_ONESTEP;
    case IDC_START_OPEN: return ID_FILE_OPEN;
    default: return 0;
  }
}
