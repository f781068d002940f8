// The common dialogs' seam, the file dialog with its hook, and the colour
// and font dialogs.
#include "framework/CommonDialogs.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cwchar>

#include <dlgs.h>
#include <shlobj.h>

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Seams.h"

namespace {

CCommonDialogRunner g_systemRunner;
std::atomic<CCommonDialogRunner*> g_runner{&g_systemRunner};

CCommonDialogRunner& Runner() { return *g_runner.load(); }

// The file dialog whose system dialog this thread is opening: its hook
// binds the dialog's window to it.
thread_local CFileDialog* t_opening = nullptr;

// The owner of a modal common dialog (the parent, else the active window)
// is disabled while the dialog runs and enabled again after it; the focus
// goes back where it was.
class CModalOwner {
 public:
  explicit CModalOwner(HWND parent)
      : m_owner(parent ? parent : ::GetActiveWindow()), m_focus(::GetFocus()) {
    if (m_owner && ::IsWindowEnabled(m_owner)) {
      m_reenable = true;
      ::EnableWindow(m_owner, FALSE);
    }
  }
  ~CModalOwner() {
    if (m_reenable) ::EnableWindow(m_owner, TRUE);
    if (m_focus && ::IsWindow(m_focus)) ::SetFocus(m_focus);
  }
  CModalOwner(const CModalOwner&) = delete;
  CModalOwner& operator=(const CModalOwner&) = delete;

  HWND Get() const { return m_owner; }

 private:
  HWND m_owner;
  HWND m_focus;
  bool m_reenable = false;
};

// The name part of a path, and where its extension's dot is (-1: none).
int NameStart(const CString& path) {
  const int slash = (std::max)(path.ReverseFind('\\'), path.ReverseFind('/'));
  return (std::max)(slash + 1, path.GetLength() >= 2 && path[1] == ':' ? 2 : 0);
}

int ExtensionDot(const CString& name) { return name.ReverseFind('.'); }

}  // namespace

BOOL CCommonDialogRunner::GetOpenFileName(OPENFILENAMEA* ofn) { return ::GetOpenFileNameA(ofn); }
BOOL CCommonDialogRunner::GetSaveFileName(OPENFILENAMEA* ofn) { return ::GetSaveFileNameA(ofn); }
BOOL CCommonDialogRunner::ChooseColor(CHOOSECOLORA* cc) { return ::ChooseColorA(cc); }
BOOL CCommonDialogRunner::ChooseFont(CHOOSEFONTA* cf) { return ::ChooseFontA(cf); }

CCommonDialogRunner* SetCommonDialogRunner(CCommonDialogRunner* runner) {
  return g_runner.exchange(runner ? runner : &g_systemRunner);
}

CCommonDialogRunner& GetCommonDialogRunner() { return Runner(); }

// ---------------------------------------------------------------------------
// The file dialog.

CFileDialog::CFileDialog(bool openFileDialog, const char* defExt, const char* fileName, DWORD flags,
                         const char* filter, HWND parent)
    : m_openFileDialog(openFileDialog) {
  m_isDialog = true;
  ZeroMemory(&m_ofn, sizeof m_ofn);
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = parent;
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &CFileDialog::HookProc;
  m_ofn.lpstrFile = m_fileBuffer;
  m_ofn.nMaxFile = sizeof m_fileBuffer;
  if (fileName) lstrcpynA(m_fileBuffer, fileName, sizeof m_fileBuffer);
  if (defExt && *defExt) {
    m_defExt = defExt;
    m_ofn.lpstrDefExt = m_defExt;
  }
  if (filter && *filter) {
    // "Name|*.ext|" pairs become the system's NUL-separated pairs, ending
    // in two NULs (the string's own terminator is the second).
    m_filter = filter;
    if (m_filter[m_filter.GetLength() - 1] != '|') m_filter += '|';
    m_filter.Replace('|', '\0');
    m_ofn.lpstrFilter = m_filter;
  }
}

CFileDialog::~CFileDialog() = default;

void CFileDialog::SetTemplate(const char* name, HINSTANCE instance) {
  m_templateName = name;
  m_ofn.lpTemplateName = m_templateName;
  m_ofn.hInstance = instance ? instance : ::GetModuleHandleA(nullptr);
  m_ofn.Flags |= OFN_ENABLETEMPLATE;
}

INT_PTR CFileDialog::DoModal() {
  if (m_ofn.lpstrFile && m_ofn.nMaxFile > 0) {
    const size_t length = strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile - 1);
    memset(m_ofn.lpstrFile + length, 0, m_ofn.nMaxFile - length);
  }
  CModalOwner owner(m_ofn.hwndOwner);
  m_ofn.hwndOwner = owner.Get();
  m_userHook = m_ofn.lpfnHook != &CFileDialog::HookProc ? m_ofn.lpfnHook : nullptr;
  m_ofn.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  m_ofn.lpfnHook = &CFileDialog::HookProc;

  CFileDialog* const outer = t_opening;
  t_opening = this;
  const BOOL chosen =
      m_openFileDialog ? Runner().GetOpenFileName(&m_ofn) : Runner().GetSaveFileName(&m_ofn);
  t_opening = outer;
  if (m_userHook) m_ofn.lpfnHook = m_userHook;
  m_userHook = nullptr;
  if (chosen && !TakeWideChoice()) {
    CString text(m_ofn.lpstrFile);
    text += "\n\nIts name has characters that this system's code page cannot hold, and the disk "
            "keeps no short name for it: rename it to use it.";
    AfxMessageBox(text, MB_ICONSTOP);
    return IDCANCEL;
  }
  return chosen ? IDOK : IDCANCEL;
}

void CFileDialog::KeepWideChoice() {
  m_wideChoice[0] = 0;
  HWND dialog = GetDialog();
  if (!dialog) return;
  // The name box (the first quoted name of several), joined to the folder
  // the dialog shows unless it is a full path.
  wchar_t text[MAX_PATH] = L"";
  if (!::GetDlgItemTextW(dialog, cmb13, text, MAX_PATH))
    ::GetDlgItemTextW(dialog, edt1, text, MAX_PATH);
  wchar_t name[MAX_PATH] = L"";
  const wchar_t* from = text;
  wchar_t stop = 0;
  while (*from == L' ') ++from;
  if (*from == L'"') {
    ++from;
    stop = L'"';
  }
  int length = 0;
  while (*from && *from != stop && length < MAX_PATH - 1) name[length++] = *from++;
  while (length > 0 && name[length - 1] == L' ') --length;
  name[length] = 0;
  if (length == 0) return;
  const bool full = (length >= 2 && name[1] == L':') || name[0] == L'\\';
  wchar_t folder[MAX_PATH] = L"";
  if (!full) {
    const LRESULT size = ::SendMessageA(dialog, CDM_GETFOLDERIDLIST, 0, 0);
    void* items = size > 0 ? ::CoTaskMemAlloc(size) : nullptr;
    if (!items) return;
    const bool ok = ::SendMessageA(dialog, CDM_GETFOLDERIDLIST, size, reinterpret_cast<LPARAM>(items)) > 0 &&
                    ::SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(items), folder);
    ::CoTaskMemFree(items);
    if (!ok) return;
  }
  const int folderLength = lstrlenW(folder);
  if (folderLength + length + 2 > MAX_PATH) return;
  lstrcpyW(m_wideChoice, folder);
  if (folderLength > 0 && folder[folderLength - 1] != L'\\') lstrcatW(m_wideChoice, L"\\");
  lstrcatW(m_wideChoice, name);
}

bool CFileDialog::TakeWideChoice() {
  if (!m_ofn.lpstrFile || !IsOutsideCodePage(m_ofn.lpstrFile)) return true;
  if (!m_wideChoice[0]) return false;
  // The system adds the default extension to a name typed without one.
  wchar_t path[MAX_PATH];
  lstrcpynW(path, m_wideChoice, MAX_PATH);
  const wchar_t* nameStart = wcsrchr(path, L'\\');
  if (m_ofn.lpstrDefExt && *m_ofn.lpstrDefExt && !wcschr(nameStart ? nameStart : path, L'.')) {
    const int length = lstrlenW(path);
    const int extension = lstrlenA(m_ofn.lpstrDefExt);
    if (length + extension + 2 > MAX_PATH) return false;
    path[length] = L'.';
    for (int i = 0; i <= extension; ++i)
      path[length + 1 + i] = static_cast<unsigned char>(m_ofn.lpstrDefExt[i]);
  }
  CString ansi;
  bool found = AnsiPathFromWide(path, ansi);
  bool made = false;
  if (!found && !m_openFileDialog) {
    // A new file is made now, so that the system gives it a short name.
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file);
      made = true;
    }
  }
  if (made) found = AnsiPathFromWide(path, ansi);
  if (!found) {
    if (made) ::DeleteFileW(path);
    return false;
  }
  if (static_cast<DWORD>(ansi.GetLength()) >= m_ofn.nMaxFile) return false;
  memset(m_ofn.lpstrFile, 0, m_ofn.nMaxFile);
  lstrcpynA(m_ofn.lpstrFile, ansi, m_ofn.nMaxFile);
  const int slash = ansi.ReverseFind('\\');
  const int dot = ansi.ReverseFind('.');
  m_ofn.nFileOffset = static_cast<WORD>(slash + 1);
  m_ofn.nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : 0);
  return true;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* dlg = static_cast<CFileDialog*>(FromHandlePermanent(hwnd));
  if (!dlg && msg == WM_INITDIALOG && t_opening) {
    dlg = t_opening;
    dlg->Bind(hwnd);
  }
  if (!dlg) return 0;
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == CDN_FILEOK) dlg->KeepWideChoice();
  // The caller's own hook answers first; what it takes is done (but the
  // window's end always reaches the object, which unbinds there).
  if (dlg->m_userHook) {
    UINT_PTR answer = 0;
    try {
      answer = dlg->m_userHook(hwnd, msg, wp, lp);
    } catch (...) {
      AfxReportCaughtException("File dialog hook");
    }
    if (answer && msg != WM_NCDESTROY) return answer;
  }
  LRESULT result = 0;
  bool defaulted = false;
  if (!Handle(dlg, hwnd, msg, wp, lp, &result, &defaulted)) return 0;
  if (msg == WM_INITDIALOG) return static_cast<UINT_PTR>(result);
  if (defaulted) return 0;
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return static_cast<UINT_PTR>(result);
  // A notification's answer (CDN_FILEOK's refusal) goes where the system's
  // dialog reads it.
  ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

bool CFileDialog::OnNotify(NMHDR* hdr, LRESULT* result) {
  switch (hdr->code) {
    case CDN_INITDONE:
      OnInitDone();
      return true;
    case CDN_SELCHANGE:
      OnFileNameChange();
      return true;
    case CDN_FOLDERCHANGE:
      OnFolderChange();
      return true;
    case CDN_TYPECHANGE:
      OnTypeChange();
      return true;
    case CDN_FILEOK:
      *result = OnFileNameOK() ? 1 : 0;
      return true;
    default:
      return CCmdWnd::OnNotify(hdr, result);
  }
}

LRESULT CFileDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  static const UINT selectionChanged = ::RegisterWindowMessageA(LBSELCHSTRINGA);
  if (msg == selectionChanged && msg != 0) {
    OnLBSelChangedNotify(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
  }
  return CCmdWnd::WindowProc(msg, wp, lp);
}

HWND CFileDialog::GetDialog() const {
  return m_hWnd && ::IsWindow(m_hWnd) ? ::GetParent(m_hWnd) : nullptr;
}

bool CFileDialog::AskDialog(UINT msg, CString& out) const {
  HWND dialog = GetDialog();
  if (!dialog) return false;
  const int size = static_cast<int>(::SendMessageA(dialog, msg, 0, 0));
  if (size <= 0) return false;
  char* buffer = out.GetBuffer(size + 1);
  buffer[0] = 0;
  ::SendMessageA(dialog, msg, size + 1, reinterpret_cast<LPARAM>(buffer));
  out.ReleaseBuffer();
  return true;
}

CString CFileDialog::GetPathName() const {
  CString path;
  if (AskDialog(CDM_GETFILEPATH, path)) return path;
  return m_ofn.lpstrFile ? CString(m_ofn.lpstrFile) : CString();
}

CString CFileDialog::GetFileName() const {
  const CString path = GetPathName();
  return path.Mid(NameStart(path));
}

CString CFileDialog::GetFileExt() const {
  const CString name = GetFileName();
  const int dot = ExtensionDot(name);
  return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  const CString name = GetFileName();
  const int dot = ExtensionDot(name);
  return dot >= 0 ? name.Left(dot) : name;
}

CString CFileDialog::GetFolderPath() const {
  CString folder;
  if (AskDialog(CDM_GETFOLDERPATH, folder)) return folder;
  INT_PTR pos = GetStartPosition();
  if (!pos) return CString();
  const CString path = GetNextPathName(pos);
  int start = NameStart(path);
  // "C:\" keeps its backslash, "C:\a\b.txt" gives "C:\a".
  if (start > 0 && (path[start - 1] == '\\' || path[start - 1] == '/') &&
      !(start == 3 && path[1] == ':'))
    --start;
  return path.Left(start);
}

INT_PTR CFileDialog::GetStartPosition() const {
  return m_ofn.lpstrFile && m_ofn.lpstrFile[0] ? 1 : 0;
}

CString CFileDialog::GetNextPathName(INT_PTR& pos) const {
  const char* buffer = m_ofn.lpstrFile;
  if (!buffer || pos <= 0) {
    pos = 0;
    return CString();
  }
  // A multiple choice is the folder, then each name, each ending in a NUL,
  // then one more NUL. pos is one past the offset of the next name; 1 is
  // the start.
  const size_t size = m_ofn.nMaxFile;
  const size_t first = strnlen(buffer, size);
  const bool several =
      (m_ofn.Flags & OFN_ALLOWMULTISELECT) && first + 1 < size && buffer[first + 1];
  if (!several) {
    pos = 0;
    return CString(buffer, static_cast<int>(first));
  }
  const size_t at = pos == 1 ? first + 1 : static_cast<size_t>(pos - 1);
  if (at >= size) {
    pos = 0;
    return CString();
  }
  const size_t length = strnlen(buffer + at, size - at);
  const size_t next = at + length + 1;
  pos = next < size && buffer[next] ? static_cast<INT_PTR>(next + 1) : 0;
  CString path(buffer, static_cast<int>(first));
  if (path.IsEmpty() || path[path.GetLength() - 1] != '\\') path += '\\';
  path.Append(buffer + at, static_cast<int>(length));
  return path;
}

// ---------------------------------------------------------------------------
// Colour and font.

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, HWND parent) {
  ZeroMemory(&m_cc, sizeof m_cc);
  m_cc.lStructSize = sizeof m_cc;
  m_cc.hwndOwner = parent;
  m_cc.rgbResult = initial;
  m_cc.Flags = flags | CC_RGBINIT;
  m_cc.lpCustColors = GetSavedCustomColors();
}

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF colours[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return colours;
}

INT_PTR CColorDialog::DoModal() {
  CModalOwner owner(m_cc.hwndOwner);
  m_cc.hwndOwner = owner.Get();
  return Runner().ChooseColor(&m_cc) ? IDOK : IDCANCEL;
}

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HWND parent) {
  ZeroMemory(&m_cf, sizeof m_cf);
  ZeroMemory(&m_lf, sizeof m_lf);
  m_cf.lStructSize = sizeof m_cf;
  m_cf.hwndOwner = parent;
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = flags;
  if (initial) {
    m_lf = *initial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
}

INT_PTR CFontDialog::DoModal() {
  CModalOwner owner(m_cf.hwndOwner);
  m_cf.hwndOwner = owner.Get();
  m_cf.lpLogFont = &m_lf;
  return Runner().ChooseFont(&m_cf) ? IDOK : IDCANCEL;
}
