// The installer window's buttons. Install and Preview take the carried
// saver out into temporary files first (CCarriedSaver); Install removes
// them before it returns, Preview once the preview has ended. A failure
// there closes the installer. The started programs run on their own: the
// installer never waits for them.
#include "installer/InstallerDlg.h"

#include <commctrl.h>

#include "framework/Seams.h"
#include "installer/CarriedSaver.h"
#include "installer/InstallerName.h"
#include "installer/resource.h"

namespace {

// The display settings' installer of screen savers; with a saver's path
// it makes that saver the current one, without one it only opens.
constexpr char kInstallScreenSaver[] = "rundll32.exe desk.cpl,InstallScreenSaver ";

const char* CarriedMessage(installer::CarriedResult result) {
  switch (result) {
    case installer::CarriedResult::kCannotOpen: return "Cannot open installer file!";
    case installer::CarriedResult::kCorrupted: return "Installer file corrupted!";
    default: return nullptr;
  }
}

// The system's text for an error code, without its line end.
CString SystemErrorText(DWORD error) {
  char text[512] = "";
  const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, text, sizeof text, nullptr);
  CString result(text, static_cast<int>(n));
  result.TrimRight();
  if (result.IsEmpty()) result.Format("Error %lu.", error);
  return result;
}

bool IsExistingFile(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CInstallerDlg::CInstallerDlg(const char* installerPath)
    : CDialog(IDD_INSTALLER), m_installerPath(installerPath) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  m_icon = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_INSTALLER), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXICON),
                                           ::GetSystemMetrics(SM_CYICON), 0));
  m_smallIcon = static_cast<HICON>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_INSTALLER), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

CInstallerDlg::~CInstallerDlg() {
  if (m_icon) ::DestroyIcon(m_icon);
  if (m_smallIcon) ::DestroyIcon(m_smallIcon);
}

bool CInstallerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
  char about[64] = "";
  if (systemMenu &&
      ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

  SetWindowText(installer::WindowCaption(m_installerPath));
  LOGFONTA lf = {};
  lf.lfHeight = -15;
  lf.lfWidth = 6;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  m_nameFont.CreateFontIndirect(&lf);
  ::SendDlgItemMessageA(m_hWnd, IDC_SAVER_NAME, WM_SETFONT,
                        reinterpret_cast<WPARAM>(m_nameFont.GetSafeHandle()), FALSE);
  SetDlgItemText(IDC_SAVER_NAME, installer::SaverName(m_installerPath));
  ::EnableWindow(GetDlgItem(IDC_UNINSTALL), IsInstalled());
  return true;
}

bool CInstallerDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_INSTALL: OnInstall(); return true;
    case IDC_PREVIEW: OnPreview(); return true;
    case IDC_UNINSTALL: OnUninstall(); return true;
  }
  return false;
}

void CInstallerDlg::OnSysCommand(UINT id, LPARAM lp) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    CInstallerAboutDlg(m_hWnd).DoModal();
    return;
  }
  Default();
}

// Painted by us only while minimised: the icon in the middle.
void CInstallerDlg::OnPaint() {
  if (!::IsIconic(m_hWnd)) {
    Default();
    return;
  }
  CPaintDC dc(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const CRect client = GetClientRect();
  const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc.GetSafeHdc(), x, y, m_icon);
}

LRESULT CInstallerDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUERYDRAGICON) return reinterpret_cast<LRESULT>(m_icon);
  return CDialog::WindowProc(msg, wp, lp);
}

CString CInstallerDlg::InstalledPath() const {
  char folder[MAX_PATH + 1];
  const UINT n = ::GetSystemDirectoryA(folder, sizeof folder);
  CString path;
  if (n == 0 || n >= sizeof folder) return path;
  path = folder;
  if (path[path.GetLength() - 1] != '\\') path += '\\';
  path += installer::InstalledFileName(m_installerPath);
  return path;
}

bool CInstallerDlg::IsInstalled() const {
  const CString path = InstalledPath();
  return !path.IsEmpty() && IsExistingFile(path);
}

void CInstallerDlg::Message(const char* text, UINT type) {
  LwMessageBox(m_hWnd, text, GetAppCaption(), type);
}

bool CInstallerDlg::TakeOutSaver(installer::CCarriedSaver* saver) {
  const installer::CarriedResult result = saver->Extract(m_installerPath);
  if (result == installer::CarriedResult::kOk) return true;
  char text[128] = "";
  if (result == installer::CarriedResult::kTempFailed)
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_TEMP_FAILED, text, sizeof text);
  else
    lstrcpynA(text, CarriedMessage(result), sizeof text);
  Message(text, MB_ICONSTOP);
  EndDialog(IDOK);
  return false;
}

void CInstallerDlg::OnInstall() {
  HWND progress = GetDlgItem(IDC_PROGRESS);
  ::SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  ::ShowWindow(progress, SW_SHOW);
  ::SendMessageA(progress, PBM_SETPOS, 1, 0);

  installer::CCarriedSaver saver;
  if (!TakeOutSaver(&saver)) return;
  ::SendMessageA(progress, PBM_SETPOS, 50, 0);

  const CString installed = InstalledPath();
  if (!installed.IsEmpty() && ::CopyFileA(saver.TempFile(), installed, TRUE)) {
    ::SendMessageA(progress, PBM_SETPOS, 100, 0);
    CString command(kInstallScreenSaver);
    command += installed;
    LwRunCommandLine(command, SW_SHOW);
  } else {
    const DWORD error = ::GetLastError();
    CString text("Can not install screen saver!\n");
    // Only a file already there is reported as such; anything else (the
    // folder refusing the write, say) says what the system said.
    if (!installed.IsEmpty() && IsExistingFile(installed))
      text += "File already exist in System folder!";
    else
      text += SystemErrorText(error);
    Message(text, MB_ICONSTOP);
  }
  saver.Remove();
  PostMessage(WM_COMMAND, IDOK, 0);
}

// The preview runs from its ".SCR" file, which cannot be deleted while it
// runs: its files are tried again each second until they are gone.
void CInstallerDlg::OnPreview() {
  if (!TakeOutSaver(&m_preview)) return;
  // Quoted: the temporary folder may have blanks in its name.
  CString command;
  command.Format("\"%s\" /s", m_preview.ScrFile().GetString());
  LwRunCommandLine(command, SW_SHOWNORMAL);
  if (!m_preview.Remove()) SetTimer(kPreviewTimer, 1000);
}

void CInstallerDlg::OnTimer(UINT_PTR id) {
  if (id != kPreviewTimer) {
    Default();
    return;
  }
  if (m_preview.Remove()) KillTimer(kPreviewTimer);
}

void CInstallerDlg::OnUninstall() {
  const CString installed = InstalledPath();
  if (installed.IsEmpty() || !IsExistingFile(installed)) return;
  if (LwMessageBox(m_hWnd, "Are you sure?", GetAppCaption(), MB_OKCANCEL | MB_ICONQUESTION) !=
      IDOK)
    return;
  if (!::DeleteFileA(installed)) {
    Message("Error during unistall process!", MB_ICONSTOP);
    return;
  }
  Message("Screen saver uninstalled successfully!", MB_ICONINFORMATION);
  LwRunCommandLine(kInstallScreenSaver, SW_SHOW);
  PostMessage(WM_COMMAND, IDOK, 0);
}

CInstallerAboutDlg::CInstallerAboutDlg(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}
