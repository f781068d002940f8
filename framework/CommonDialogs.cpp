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

// A chosen file that has no ANSI path is refused, saying why.
void RefuseName(const CString& name) {
  CString text(name);
  text += "\n\nIts name has characters that this system's code page cannot hold, and the disk "
          "keeps no short name for it: rename it to use it.";
  AfxMessageBox(text, MB_ICONSTOP);
}

// Whether an ANSI name of the system's answer is what the system makes of
// the wide name (so that the two name the same choice).
bool SystemFormIs(const wchar_t* wide, const char* ansi) {
  char converted[MAX_PATH];
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, wide, -1, converted, sizeof converted, nullptr, nullptr);
  return length > 0 && lstrcmpA(converted, ansi) == 0;
}

// The files save dialogs made to give a new name a short one, each known
// by its volume and index (a save that replaces the file makes another).
struct MadeFile {
  DWORD volume;
  DWORD indexHigh;
  DWORD indexLow;
  bool kept;
};
MadeFile g_madeFiles[8];
unsigned g_nextMadeFile = 0;

bool SameFile(const MadeFile& made, const BY_HANDLE_FILE_INFORMATION& info) {
  return made.kept && made.volume == info.dwVolumeSerialNumber &&
         made.indexHigh == info.nFileIndexHigh && made.indexLow == info.nFileIndexLow;
}

void KeepMadeFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file, &info)) return;
  MadeFile& made = g_madeFiles[g_nextMadeFile++ % (sizeof g_madeFiles / sizeof g_madeFiles[0])];
  made = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, true};
}

}  // namespace

void DiscardUnwrittenFile(const char* path) {
  if (!path || !*path) return;
  HANDLE file = ::CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info;
  if (::GetFileInformationByHandle(file, &info)) {
    for (MadeFile& made : g_madeFiles) {
      if (!SameFile(made, info)) continue;
      made.kept = false;
      // Removed through the handle that was checked.
      if (info.nFileSizeHigh == 0 && info.nFileSizeLow == 0) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
      }
    }
  }
  ::CloseHandle(file);
}

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

CFileDialog::~CFileDialog() { ForgetWideChoice(); }

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
  const bool taken = chosen && TakeWideChoice();
  ForgetWideChoice();
  return taken ? IDOK : IDCANCEL;
}

void CFileDialog::ForgetWideChoice() {
  m_wideFolder[0] = 0;
  if (m_wideNames) ::HeapFree(::GetProcessHeap(), 0, m_wideNames);
  m_wideNames = nullptr;
}

void CFileDialog::KeepWideChoice() {
  ForgetWideChoice();
  HWND dialog = GetDialog();
  if (!dialog) return;
  // The name box: one name, or several quoted ones.
  HWND box = ::GetDlgItem(dialog, cmb13);
  int length = box ? ::GetWindowTextLengthW(box) : 0;
  if (length <= 0) {
    box = ::GetDlgItem(dialog, edt1);
    length = box ? ::GetWindowTextLengthW(box) : 0;
  }
  if (length <= 0) return;
  const SIZE_T bytes = (static_cast<SIZE_T>(length) + 2) * sizeof(wchar_t);
  auto* text = static_cast<wchar_t*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  m_wideNames = static_cast<wchar_t*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
  if (!text || !m_wideNames) {
    if (text) ::HeapFree(::GetProcessHeap(), 0, text);
    ForgetWideChoice();
    return;
  }
  ::GetWindowTextW(box, text, length + 1);
  const wchar_t* from = text;
  wchar_t* to = m_wideNames;
  while (*from == L' ') ++from;
  if (*from == L'"') {
    while (*from == L'"') {
      const wchar_t* name = ++from;
      while (*from && *from != L'"') ++from;
      if (from > name) {
        memcpy(to, name, (from - name) * sizeof(wchar_t));
        to += (from - name) + 1;
      }
      if (*from == L'"') ++from;
      while (*from == L' ') ++from;
    }
  } else {
    const wchar_t* end = from + lstrlenW(from);
    while (end > from && end[-1] == L' ') --end;
    memcpy(to, from, (end - from) * sizeof(wchar_t));
  }
  ::HeapFree(::GetProcessHeap(), 0, text);
  // The folder the dialog shows.
  const LRESULT size = ::SendMessageA(dialog, CDM_GETFOLDERIDLIST, 0, 0);
  void* items = size > 0 ? ::CoTaskMemAlloc(size) : nullptr;
  if (!items) return;
  if (::SendMessageA(dialog, CDM_GETFOLDERIDLIST, size, reinterpret_cast<LPARAM>(items)) <= 0 ||
      !::SHGetPathFromIDListW(static_cast<LPCITEMIDLIST>(items), m_wideFolder))
    m_wideFolder[0] = 0;
  ::CoTaskMemFree(items);
}

bool CFileDialog::WidePathOf(const wchar_t* name, wchar_t (&path)[MAX_PATH]) const {
  path[0] = 0;
  const int length = name ? lstrlenW(name) : 0;
  if (length == 0) return false;
  const bool full = (length >= 2 && name[1] == L':') || name[0] == L'\\';
  const int folderLength = full ? 0 : lstrlenW(m_wideFolder);
  if ((!full && folderLength == 0) || folderLength + length + 2 > MAX_PATH) return false;
  if (!full) {
    lstrcpyW(path, m_wideFolder);
    if (m_wideFolder[folderLength - 1] != L'\\') lstrcatW(path, L"\\");
  }
  lstrcatW(path, name);
  return true;
}

bool CFileDialog::TakeWideChoice() {
  if (!m_ofn.lpstrFile) return true;
  if (IsSeveralChosen()) return TakeWideChoices();
  if (TakeWidePath()) return true;
  RefuseName(m_ofn.lpstrFile);
  return false;
}

bool CFileDialog::TakeWidePath() {
  // The code page's stand-ins ('?') or its best fit (another letter) may
  // have taken the place of characters the name has.
  const bool lost = IsOutsideCodePage(m_ofn.lpstrFile);
  wchar_t path[MAX_PATH];
  if (!m_wideNames || !WidePathOf(m_wideNames, path)) return !lost;
  // The system adds the default extension to a name typed without one.
  const wchar_t* nameStart = wcsrchr(path, L'\\');
  if (m_ofn.lpstrDefExt && *m_ofn.lpstrDefExt && !wcschr(nameStart ? nameStart : path, L'.')) {
    const int length = lstrlenW(path);
    const int extension = lstrlenA(m_ofn.lpstrDefExt);
    if (length + extension + 2 > MAX_PATH) return false;
    path[length] = L'.';
    for (int i = 0; i <= extension; ++i)
      path[length + 1 + i] = static_cast<unsigned char>(m_ofn.lpstrDefExt[i]);
  }
  // An answer without stand-ins stands unless it is the system's form of
  // the kept name (which it then may have changed by a best fit).
  if (!lost && !SystemFormIs(path, m_ofn.lpstrFile)) return true;
  CString ansi;
  bool found = AnsiPathFromWide(path, ansi);
  bool made = false;
  if (!found && !m_openFileDialog) {
    // A new file is made now, so that the system gives it a short name;
    // it is known as made until a save writes it.
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      KeepMadeFile(file);
      ::CloseHandle(file);
      made = true;
    }
  }
  if (made) found = AnsiPathFromWide(path, ansi);
  if (!found || static_cast<DWORD>(ansi.GetLength()) >= m_ofn.nMaxFile) {
    if (made) ::DeleteFileW(path);
    return false;
  }
  memset(m_ofn.lpstrFile, 0, m_ofn.nMaxFile);
  lstrcpynA(m_ofn.lpstrFile, ansi, m_ofn.nMaxFile);
  const int slash = ansi.ReverseFind('\\');
  const int dot = ansi.ReverseFind('.');
  m_ofn.nFileOffset = static_cast<WORD>(slash + 1);
  m_ofn.nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : 0);
  return true;
}

bool CFileDialog::TakeWideChoices() {
  // The system's answer: the folder, then each name, each ending in a NUL.
  const char* answer = m_ofn.lpstrFile;
  const size_t size = m_ofn.nMaxFile;
  const char* const folder = answer;
  const char* const firstName = folder + strlen(folder) + 1;
  // The kept wide names stand for the answer when they are the same names
  // in the same order, each a name in the same folder.
  bool wide = m_wideNames && m_wideFolder[0] && SystemFormIs(m_wideFolder, folder);
  const wchar_t* wideName = m_wideNames;
  for (const char* name = firstName; wide && *name; name += strlen(name) + 1) {
    wide = *wideName && !wcspbrk(wideName, L"\\/:") && SystemFormIs(wideName, name);
    wideName += lstrlenW(wideName) + 1;
  }
  wide = wide && !*wideName;

  CString ansiFolder;
  if (wide ? !AnsiPathFromWide(m_wideFolder, ansiFolder) : IsOutsideCodePage(folder)) {
    RefuseName(folder);
    return false;
  }
  if (!wide) ansiFolder = folder;
  CString systemFolder(folder);
  if (systemFolder.IsEmpty() || systemFolder[systemFolder.GetLength() - 1] != '\\') systemFolder += '\\';

  // The names, each by its own ANSI form or its short name.
  CString result(ansiFolder);
  result += '\0';
  const int nameOffset = result.GetLength();
  int taken = 0;
  wideName = m_wideNames;
  for (const char* name = firstName; *name; name += strlen(name) + 1) {
    CString ansi;
    bool found;
    if (wide) {
      wchar_t path[MAX_PATH];
      found = WidePathOf(wideName, path) && AnsiPathFromWide(path, ansi);
      ansi = ansi.Mid(ansi.ReverseFind('\\') + 1);
      wideName += lstrlenW(wideName) + 1;
    } else {
      found = !IsOutsideCodePage(name);
      ansi = name;
    }
    if (!found || static_cast<size_t>(result.GetLength() + ansi.GetLength()) + 2 > size) {
      RefuseName(systemFolder + name);
      continue;
    }
    result += ansi;
    result += '\0';
    ++taken;
  }
  if (taken == 0) return false;
  result += '\0';
  memset(m_ofn.lpstrFile, 0, size);
  memcpy(m_ofn.lpstrFile, result.GetString(), result.GetLength());
  m_ofn.nFileOffset = static_cast<WORD>(nameOffset);
  m_ofn.nFileExtension = 0;
  return true;
}

bool CFileDialog::IsSeveralChosen() const {
  const char* buffer = m_ofn.lpstrFile;
  const size_t size = m_ofn.nMaxFile;
  if (!buffer || !(m_ofn.Flags & OFN_ALLOWMULTISELECT)) return false;
  const size_t first = strnlen(buffer, size);
  return first + 1 < size && buffer[first + 1];
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
  if (!IsSeveralChosen()) {
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
