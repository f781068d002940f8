// The builder's file dialog with its picture preview, the document
// manager's open and save prompts, and the save dialogs' hook.
#include "builder/controls/FileDialogEx.h"

#include <memory>

#include "builder/controls/ControlsResource.h"
#include "builder/controls/Settings.h"
#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/CommandIds.h"
#include "framework/Seams.h"
#include "imaging/RgbImage.h"

namespace {

const char kPreviewTemplate[] = "FILEOPEN_TEMPLATE";
const char kSettingsSection[] = "Settings";
const char kDocPathEntry[] = "DocPath";

// A text the system's dialog gives for a CDM_ message; empty when none.
CString AskDialogText(HWND dialog, UINT msg) {
  CString text;
  if (!dialog) return text;
  const int size = static_cast<int>(::SendMessageA(dialog, msg, 0, 0));
  if (size <= 0) return text;
  char* buffer = text.GetBuffer(size + 1);
  buffer[0] = 0;
  ::SendMessageA(dialog, msg, size + 1, reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer();
  return text;
}

bool IsFullPath(const CString& name) {
  return (name.GetLength() >= 2 && name[1] == ':') || (name.GetLength() >= 1 && name[0] == '\\');
}

bool IsExistingFile(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name part of a path.
CString NamePart(const CString& path) {
  const int slash = path.ReverseFind('\\') > path.ReverseFind('/') ? path.ReverseFind('\\')
                                                                    : path.ReverseFind('/');
  return path.Mid(slash + 1);
}

// Names that Windows' screen-saver settings mistake for its own savers.
bool StartsWithSs(const CString& name) {
  return name.GetLength() >= 2 && (name[0] == 's' || name[0] == 'S') &&
         (name[1] == 's' || name[1] == 'S');
}

// Puts the dialog in the middle of its owner, or of the work area when it
// has none that shows, inside the work area.
void CentreOnOwner(HWND dialog) {
  RECT self;
  if (!::GetWindowRect(dialog, &self)) return;
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  const bool ownerShows = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoA(::MonitorFromWindow(ownerShows ? owner : dialog, MONITOR_DEFAULTTONEAREST),
                         &monitor))
    return;
  const RECT& work = monitor.rcWork;
  RECT around = work;
  if (ownerShows) ::GetWindowRect(owner, &around);
  const int width = self.right - self.left, height = self.bottom - self.top;
  int x = around.left + ((around.right - around.left) - width) / 2;
  int y = around.top + ((around.bottom - around.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// At CDN_FILEOK: true when the user keeps the name.
bool ConfirmSaverName(HWND hook, const OFNOTIFYA& note) {
  HWND dialog = note.hdr.hwndFrom ? note.hdr.hwndFrom : ::GetParent(hook);
  CString name = AskDialogText(dialog, CDM_GETSPEC);
  if (name.IsEmpty() && note.lpOFN && note.lpOFN->lpstrFile) name = note.lpOFN->lpstrFile;
  if (!StartsWithSs(NamePart(name))) return true;
  return LwMessageBox(dialog, LoadResourceString(IDS_SS_NAME_QUESTION), GetAppCaption(),
                      MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

}  // namespace

CString GetFirstChosenPath(const char* folder, const char* fileNameText) {
  CString text(fileNameText ? fileNameText : "");
  CString name;
  const int quote = text.Find('"');
  if (quote >= 0) {
    const int end = text.Find('"', quote + 1);
    name = end < 0 ? text.Mid(quote + 1) : text.Mid(quote + 1, end - quote - 1);
  } else {
    name = text;
  }
  name.Trim();
  if (name.IsEmpty() || IsFullPath(name)) return name;
  CString path(folder ? folder : "");
  if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
  return path + name;
}

// ---------------------------------------------------------------------------
// The file dialog.

const CCommandEntry CFileDialogEx::commandEntries[] = {
    CommandEntry(IDC_FILEPREVIEW_CHECK, &CFileDialogEx::OnPreviewClicked),
};
LW_IMPLEMENT_COMMAND_TABLE(CFileDialogEx, CFileDialog)

CFileDialogEx::CFileDialogEx(bool preview, bool openFileDialog, const char* defExt,
                             const char* fileName, DWORD flags, const char* filter, HWND parent)
    : CFileDialog(openFileDialog, defExt, fileName, flags, filter, parent),
      m_previewCapable(preview),
      m_previewOn(preview) {
  // The newer dialog comes only with the whole structure; older systems
  // refuse a size they do not know.
  m_ofn.lStructSize = IsNewFileDialogSystem() ? sizeof(OPENFILENAMEA)
                                              : OPENFILENAME_SIZE_VERSION_400A;
  // The preview column is placed once, when the dialog is set up.
  m_ofn.Flags &= ~OFN_ENABLESIZING;
  if (preview) SetTemplate(kPreviewTemplate);
}

CFileDialogEx::~CFileDialogEx() = default;

bool CFileDialogEx::IsNewFileDialogVersion(DWORD platformId, DWORD majorVersion) {
  return platformId == VER_PLATFORM_WIN32_NT && majorVersion > 4;
}

bool CFileDialogEx::IsNewFileDialogSystem() {
  OSVERSIONINFOEXA extended = {};
  extended.dwOSVersionInfoSize = sizeof extended;
  if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)))
    return IsNewFileDialogVersion(extended.dwPlatformId, extended.dwMajorVersion);
  OSVERSIONINFOA plain = {};
  plain.dwOSVersionInfoSize = sizeof plain;
  if (!::GetVersionExA(&plain)) return false;
  return IsNewFileDialogVersion(plain.dwPlatformId, plain.dwMajorVersion);
}

void CFileDialogEx::OnInitDone() {
  if (!m_previewCapable) return;
  HWND anchor = GetDlgItem(IDC_FILEPREVIEW_ANCHOR);
  if (!anchor) return;
  // The system has moved the template's controls beside its own by now.
  RECT a;
  ::GetWindowRect(anchor, &a);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&a), 2);
  m_checkBox = ::CreateWindowExA(
      0, "BUTTON", "&Preview", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, a.left + 40,
      a.bottom + 15, a.right - (a.left + 40), 20, m_hWnd,
      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FILEPREVIEW_CHECK)),
      ::GetModuleHandleA(nullptr), nullptr);
  if (m_checkBox) {
    ::SendMessageA(m_checkBox, WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    ::SendMessageA(m_checkBox, BM_SETCHECK, m_previewOn ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  m_previewRect.SetRect(a.left + 10, a.bottom + 45, a.left + 112, a.bottom + 147);
}

CString CFileDialogEx::GetSelectedPath() const {
  if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT)) return GetPathName();
  HWND dialog = GetParent();
  return GetFirstChosenPath(AskDialogText(dialog, CDM_GETFOLDERPATH),
                            AskDialogText(dialog, CDM_GETSPEC));
}

void CFileDialogEx::OnFileNameChange() {
  if (!m_previewCapable) return;
  const bool afterFolderChange = m_folderChangePending;
  m_folderChangePending = false;
  if (!m_previewOn) return;
  // A folder change may bring a notification of its own that names the
  // folder, not a file the user chose; the user's first choice in the new
  // folder must still show, so only a path that is no file is passed over.
  const CString path = GetSelectedPath();
  if (afterFolderChange && !IsExistingFile(path)) return;
  LoadPreview(path);
  RepaintPreview();
}

void CFileDialogEx::OnFolderChange() {
  if (!m_previewCapable) return;
  m_folderChangePending = true;
  m_bitmap.DeleteObject();
  RepaintPreview();
}

bool CFileDialogEx::OnPreviewClicked(UINT) {
  m_previewOn = m_checkBox && ::SendMessageA(m_checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
  // The selection may have changed while the preview was off.
  if (m_previewOn) LoadPreview(GetSelectedPath());
  RepaintPreview();
  return true;
}

void CFileDialogEx::RepaintPreview() {
  if (m_hWnd && !m_previewRect.IsRectEmpty()) InvalidateRect(&m_previewRect, true);
}

void CFileDialogEx::LoadPreview(const char* path) {
  m_bitmap.DeleteObject();
  m_bitmapSize = CSize();
  const int width = m_previewRect.Width() - 2, height = m_previewRect.Height() - 2;
  if (!path || !*path || width <= 0 || height <= 0) return;
  // Any file may be selected: one that is no picture says nothing.
  CQuietMessages quiet;
  CRgbImage image;
  if (!image.LoadPath(path)) return;
  CClientDC dc(m_hWnd);
  if (m_bitmap.Attach(image.MakeBitmap(dc, nullptr, width, height)))
    m_bitmapSize = CSize(width, height);
}

void CFileDialogEx::DrawPreview(HDC dc, const CRect& inner) {
  if (!m_bitmap.GetSafeHandle()) return;
  CMemoryDC memory(dc);
  if (!memory.GetSafeHdc()) return;
  CSelectObject selected(memory, m_bitmap);
  if (!selected.IsSelected()) return;
  ::SetStretchBltMode(dc, HALFTONE);
  ::BitBlt(dc, inner.left, inner.top, m_bitmapSize.cx, m_bitmapSize.cy, memory, 0, 0, SRCCOPY);
}

void CFileDialogEx::OnPaint() {
  if (!m_previewCapable || m_previewRect.IsRectEmpty()) {
    CFileDialog::OnPaint();
    return;
  }
  CPaintDC dc(m_hWnd);
  // A sunken frame: shadow at the top and left, highlight at the bottom
  // and right.
  const CRect& r = m_previewRect;
  CBrush shadow(::GetSysColor(COLOR_BTNSHADOW)), light(::GetSysColor(COLOR_BTNHIGHLIGHT));
  const RECT top = {r.left, r.top, r.right - 1, r.top + 1};
  const RECT left = {r.left, r.top, r.left + 1, r.bottom - 1};
  const RECT bottom = {r.left, r.bottom - 1, r.right, r.bottom};
  const RECT right = {r.right - 1, r.top, r.right, r.bottom};
  dc.FillRect(&top, &shadow);
  dc.FillRect(&left, &shadow);
  dc.FillRect(&bottom, &light);
  dc.FillRect(&right, &light);
  if (!m_previewOn) return;
  const CRect inner(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  const int saved = dc.SaveDC();
  dc.IntersectClipRect(inner.left, inner.top, inner.right, inner.bottom);
  DrawPreview(dc.GetSafeHdc(), inner);
  ::RestoreDC(dc.GetSafeHdc(), saved);
}

// ---------------------------------------------------------------------------
// The document manager.

CFileDialogEx* CDocManagerEx::CreateFileDialog(bool openFileDialog) {
  return new CFileDialogEx(false, openFileDialog);
}

bool CDocManagerEx::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                     bool openFileDialog, CDocTemplate* tmpl) {
  std::unique_ptr<CFileDialogEx> dlg(CreateFileDialog(openFileDialog));
  if (!dlg) return false;
  const CString title = LoadResourceString(titleId, openFileDialog ? "Open" : "Save As");
  dlg->m_ofn.lpstrTitle = title;

  CWinApp* app = AfxGetApp();
  const CString documents = GetMyDocumentsPath();
  char folder[MAX_PATH] = "";
  if (app)
    app->GetProfileString(kSettingsSection, kDocPathEntry, documents, folder, sizeof folder);
  else
    lstrcpynA(folder, documents, sizeof folder);
  dlg->m_ofn.lpstrInitialDir = folder;
  dlg->m_ofn.Flags |= flags;

  CString filter, defaultExt;
  BuildFileFilter(tmpl, filter, defaultExt);
  if (!defaultExt.IsEmpty()) dlg->m_ofn.nFilterIndex = 1;
  dlg->m_ofn.lpstrFilter = filter;
  dlg->m_ofn.lpstrDefExt = defaultExt.IsEmpty() ? nullptr : defaultExt.GetString();

  // A save proposes the document's title in the remembered folder.
  const CString proposed = openFileDialog ? fileName : GetPathTitle(fileName);
  lstrcpynA(dlg->m_ofn.lpstrFile, proposed, static_cast<int>(dlg->m_ofn.nMaxFile));
  if (app && app->m_pMainWnd) dlg->m_ofn.hwndOwner = app->m_pMainWnd->GetSafeHwnd();

  if (dlg->DoModal() != IDOK) return false;
  fileName = dlg->m_ofn.lpstrFile;
  const CString chosenFolder = dlg->GetFolderPath();
  if (app && !chosenFolder.IsEmpty())
    app->WriteProfileString(kSettingsSection, kDocPathEntry, chosenFolder);
  return true;
}

// ---------------------------------------------------------------------------
// The save dialogs' hook.

UINT_PTR CALLBACK SaveDialogHookProc(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY || !lp) return 0;
  // Nothing may unwind into the system's dialog.
  try {
    const auto* note = reinterpret_cast<const OFNOTIFYA*>(lp);
    switch (note->hdr.code) {
      case CDN_INITDONE:
        // The dialog's own handlers go on to run.
        CentreOnOwner(note->hdr.hwndFrom ? note->hdr.hwndFrom : ::GetParent(hook));
        return 0;
      case CDN_FILEOK:
        if (ConfirmSaverName(hook, *note)) return 0;
        // Taken: the dialog reads the refusal here and stays open.
        ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
        return 1;
      default:
        return 0;
    }
  } catch (...) {
    return 0;
  }
}
