// The Standard wizard's steps 1, 2A, 2B and 2C and the loader thread (see
// WizardSteps.h).
#include "wizards/WizardSteps.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include "builder/BuilderUtils.h"
#include "builder/FileDialogEx.h"
#include "builder/WizardHelperDialogs.h"
#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "playback/Mp3Player.h"
#include "wizards/WizardStepsResource.h"

// ---------------------------------------------------------------------------
// Folder chooser

namespace {

int CALLBACK SelectInitialFolder(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

CFolderChooser g_shellChooser;
CFolderChooser* g_chooser = &g_shellChooser;

}  // namespace

bool CFolderChooser::Choose(HWND owner, const char* title, UINT flags, const char* initial,
                            CString& out) {
  char display[MAX_PATH] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = display;
  info.lpszTitle = title;
  info.ulFlags = flags;
  if (initial && *initial) {
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initial);
  }
  LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
  if (!item) return false;
  // Asked wide: a folder outside the code page goes by its short name.
  wchar_t path[MAX_PATH] = L"";
  CString ansi;
  const bool ok = ::SHGetPathFromIDListW(item, path) != FALSE && AnsiPathFromWide(path, ansi);
  ::CoTaskMemFree(item);
  if (ok) out = ansi;
  return ok;
}

CFolderChooser* SetFolderChooser(CFolderChooser* chooser) {
  CFolderChooser* previous = g_chooser;
  g_chooser = chooser ? chooser : &g_shellChooser;
  return previous == &g_shellChooser ? nullptr : previous;
}

CFolderChooser& GetFolderChooser() { return *g_chooser; }

// ---------------------------------------------------------------------------
// Rules

void CollectFolderImages(const char* folder, CStringArray& paths) {
  CString base(folder);
  // "C:\" searches "C:\*.bmp" and adds "C:\name".
  if (base.GetLength() == 3 && base[1] == ':' && base[2] == '\\') base = base.Left(2);
  static const char* const kExtensions[] = {"bmp", "jpg", "png", "tga", "pcx"};
  for (const char* extension : kExtensions) {
    CString pattern;
    pattern.Format("%s\\*.%s", base.GetString(), extension);
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      CString path;
      path.Format("%s\\%s", base.GetString(),
                  OpenableFoundName(found.cFileName, found.cAlternateFileName));
      paths.Add(path);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
}

void KeepFirstPaths(CStringArray& paths, int limit) {
  if (limit < 0) limit = 0;
  if (paths.GetSize() > limit) paths.RemoveAt(limit, paths.GetSize() - limit);
}

CString LoadEventName(bool media) {
  CString name;
  name.Format("%s-%lu", media ? "LoadMedia" : "LoadImages",
              static_cast<unsigned long>(::GetCurrentProcessId()));
  return name;
}

// ---------------------------------------------------------------------------
// The progress window's thread

namespace {

// The progress window, publishing its window to the loading thread once
// it is up.
class CPublishedLoadingDlg : public CLoadingDlg {
 public:
  CPublishedLoadingDlg(HANDLE done, int total, bool media, std::atomic<HWND>& window)
      : CLoadingDlg(done, total, media), m_window(window) {}

 protected:
  bool OnInitDialog() override {
    const bool result = CLoadingDlg::OnInitDialog();
    m_window.store(m_hWnd);
    return result;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_DESTROY) m_window.store(nullptr);
    return CLoadingDlg::WindowProc(msg, wp, lp);
  }

 private:
  std::atomic<HWND>& m_window;
};

std::atomic<int> g_liveLoaders{0};

}  // namespace

CWizardStep2LoaderThread::CWizardStep2LoaderThread(const char* eventName, int count)
    : m_count(count), m_eventName(eventName) {
  // The holds decide the object's end, not the framework's flag.
  m_bAutoDelete = false;
  ++g_liveLoaders;
}

CWizardStep2LoaderThread::~CWizardStep2LoaderThread() { --g_liveLoaders; }

int CWizardStep2LoaderThread::GetLiveCount() { return g_liveLoaders.load(); }

void CWizardStep2LoaderThread::Release() {
  if (--m_holds == 0) delete this;
}

// Called last on the thread.
void CWizardStep2LoaderThread::Delete() { Release(); }

void CWizardStep2LoaderThread::Abandon() { Release(); }

bool CWizardStep2LoaderThread::InitInstance() {
  HANDLE event = ::OpenEventA(EVENT_ALL_ACCESS, FALSE, m_eventName);
  if (!event) return false;
  const bool media = m_eventName.Left(9) == "LoadMedia";
  {
    CPublishedLoadingDlg dialog(event, m_count, media, m_window);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
  }
  ::CloseHandle(event);
  return false;
}

CWizardStep2LoaderThread* CWizardLoad::Start(int count) {
  m_event.ResetEvent();
  auto* thread = new CWizardStep2LoaderThread(m_eventName, count);
  if (!thread->CreateThread(CREATE_SUSPENDED)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(THREAD_PRIORITY_NORMAL);
  thread->ResumeThread();
  return thread;
}

void CWizardLoad::Step(CWizardStep2LoaderThread* thread) {
  if (!thread) return;
  if (HWND window = thread->GetWindow()) CLoadingDlg::Step(window);
}

void CWizardLoad::End(CWizardStep2LoaderThread* thread) {
  m_event.SetEvent();
  if (!thread) return;
  // The window polls the event every 100 ms. Meanwhile only messages sent
  // from other threads are answered: what is queued for this thread (a
  // click on the step, a quit) waits for the step's own loop, after the
  // load, instead of running inside it.
  const DWORD start = ::GetTickCount();
  for (;;) {
    const DWORD waited = ::GetTickCount() - start;
    if (waited >= m_endWait) break;
    const DWORD r = ::MsgWaitForMultipleObjects(1, &thread->m_hThread, FALSE, m_endWait - waited,
                                                QS_SENDMESSAGE);
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  thread->Abandon();
}

// ---------------------------------------------------------------------------
// Shared by the steps

bool ConfirmWizardExit(HWND owner) {
  return LwMessageBox(owner, "Are you sure you want to exit Wizard?", GetAppCaption(),
                      MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

void OpenWizardHelp(HWND owner, const char* page) {
  char module[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, module, sizeof module);
  const CString path = GetFileDirectory(module) + "Help\\" + page;
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = owner ? ::GetAncestor(owner, GA_ROOTOWNER) : nullptr;
  info.lpVerb = "open";
  info.lpFile = path;
  info.nShow = SW_MAXIMIZE;
  LwShellExecuteEx(&info);
}

namespace {

void Enable(HWND dialog, int id, bool enable) { ::EnableWindow(::GetDlgItem(dialog, id), enable); }

// Sets a flag for a scope.
class CQuietScope {
 public:
  explicit CQuietScope(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
  ~CQuietScope() { m_flag = m_was; }
  CQuietScope(const CQuietScope&) = delete;
  CQuietScope& operator=(const CQuietScope&) = delete;

 private:
  bool& m_flag;
  bool m_was;
};

int AskYesNo(HWND owner, const char* text) {
  return LwMessageBox(owner, text, GetAppCaption(), MB_YESNO | MB_ICONQUESTION);
}

}  // namespace

// ---------------------------------------------------------------------------
// Step 1

const CCommandEntry CWizardStep1Dlg::commandEntries[] = {
    ControlEntry(IDC_WIZ1_NAME, EN_CHANGE, &CWizardStep1Dlg::OnNameChange),
    ControlEntry(IDC_WIZ1_NAME, EN_KILLFOCUS, &CWizardStep1Dlg::OnNameKillFocus),
    CommandEntry(IDC_WIZ1_IMAGES, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_MEDIA, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_TEXTS, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_BROWSE, &CWizardStep1Dlg::OnBrowse),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep1Dlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep1Dlg, CCmdDialog)

CWizardStep1Dlg::CWizardStep1Dlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP1, parent),
      m_folder(p.m_folder),
      m_name(p.m_name),
      m_images(p.m_useImages),
      m_media(p.m_useMedia),
      m_texts(p.m_useTexts),
      m_repeat(p.m_infiniteRepeat),
      m_makeScr(p.m_makeScr),
      m_makeExe(p.m_makeExe) {}

void CWizardStep1Dlg::CopyTo(CWizardProject& p) const {
  p.m_folder = m_folder;
  p.m_name = m_name;
  p.m_useImages = m_images;
  p.m_useMedia = m_media;
  p.m_useTexts = m_texts;
  p.m_infiniteRepeat = m_repeat;
  p.m_makeScr = m_makeScr;
  p.m_makeExe = m_makeExe;
}

void CWizardStep1Dlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_WIZ1_FOLDER, m_folder);
  DDX_Text(dx, IDC_WIZ1_NAME, m_name);
  DDX_Check(dx, IDC_WIZ1_IMAGES, m_images);
  DDX_Check(dx, IDC_WIZ1_MEDIA, m_media);
  DDX_Check(dx, IDC_WIZ1_TEXTS, m_texts);
  DDX_Check(dx, IDC_WIZ1_REPEAT, m_repeat);
  DDX_Check(dx, IDC_WIZ1_MAKE_SCR, m_makeScr);
  DDX_Check(dx, IDC_WIZ1_MAKE_EXE, m_makeExe);
}

bool CWizardStep1Dlg::IsNameFree() const {
  return IsOutputNameFree(WithFinalBackslash(m_folder) + m_name, 3);
}

void CWizardStep1Dlg::RefuseName() {
  LwMessageBox(m_hWnd, FileNameRefusal("file"), GetAppCaption(), MB_ICONEXCLAMATION);
}

void CWizardStep1Dlg::EnableAnswers(bool enable) {
  static const int kIds[] = {IDC_WIZ1_IMAGES, IDC_WIZ1_MEDIA,    IDC_WIZ1_TEXTS,
                             IDC_WIZ1_REPEAT, IDC_WIZ1_MAKE_SCR, IDC_WIZ1_MAKE_EXE, IDOK};
  for (int id : kIds) Enable(m_hWnd, id, enable);
}

bool CWizardStep1Dlg::OnInitDialog() {
  // Filling the name sends EN_CHANGE before the check boxes are filled.
  m_quiet = true;
  CCmdDialog::OnInitDialog();
  m_quiet = false;
  if (m_name.IsEmpty() || !IsNameFree()) EnableAnswers(false);
  return true;
}

bool CWizardStep1Dlg::OnNameChange(UINT) {
  if (m_quiet) return true;
  UpdateData(true);
  EnableAnswers(!m_name.IsEmpty());
  return true;
}

bool CWizardStep1Dlg::OnNameKillFocus(UINT) {
  // The dialog's own questions and its end take the focus too: nothing to
  // check then.
  if (m_quiet) return true;
  UpdateData(true);
  if (m_name.IsEmpty()) return true;
  // A name that cannot be a file name is not looked for (a device's name
  // would be found).
  const bool valid = IsFileNameComponent(m_name);
  if (valid && IsNameFree()) {
    EnableAnswers(true);
    return true;
  }
  if (valid)
    LwMessageBox(m_hWnd, "File already exists! \n(with extension fsd, scr or exe)", GetAppCaption(),
                 MB_OK);
  else
    RefuseName();
  EnableAnswers(false);
  ::SetFocus(GetDlgItem(IDC_WIZ1_NAME));
  return true;
}

bool CWizardStep1Dlg::OnKindClicked(UINT) {
  UpdateData(true);
  Enable(m_hWnd, IDOK, m_images || m_media || m_texts);
  return true;
}

bool CWizardStep1Dlg::OnBrowse(UINT) {
  CString chosen;
  if (!GetFolderChooser().Choose(m_hWnd, "Choose your default wizard folder:", 0, nullptr, chosen))
    return true;
  chosen = WithFinalBackslash(chosen);
  SetDlgItemText(IDC_WIZ1_FOLDER, chosen);
  m_folder = chosen;
  WriteSettingsString(kWizardPathEntry, chosen);
  return true;
}

bool CWizardStep1Dlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step1.html");
  return true;
}

void CWizardStep1Dlg::OnOK() {
  CQuietScope quiet(m_quiet);
  if (!UpdateData(true)) return;
  // The folder and the name are joined without a separator later on.
  m_folder = WithFinalBackslash(m_folder);
  SetDlgItemText(IDC_WIZ1_FOLDER, m_folder);
  if (m_name.IsEmpty()) return;
  // The name becomes the script's, the saver's and the installer's file
  // name: one name, which can lead nowhere else.
  if (!IsFileNameComponent(m_name)) {
    RefuseName();
    ::SetFocus(GetDlgItem(IDC_WIZ1_NAME));
    return;
  }
  if (!IsNameFree()) return;
  EndDialog(IDOK);
}

void CWizardStep1Dlg::OnCancel() {
  CQuietScope quiet(m_quiet);
  if (!ConfirmWizardExit(m_hWnd)) return;
  m_name.Empty();
  UpdateData(false);
  EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------
// Step 2A

const CCommandEntry CWizardStep2ADlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2A_LIST, LBN_SELCHANGE, &CWizardStep2ADlg::OnSelChange),
    CommandEntry(IDC_WIZ2A_ADD, &CWizardStep2ADlg::OnAdd),
    CommandEntry(IDC_WIZ2A_ADD_FOLDER, &CWizardStep2ADlg::OnAddFolder),
    CommandEntry(IDC_WIZ2A_REMOVE, &CWizardStep2ADlg::OnRemove),
    CommandEntry(IDC_WIZ2A_REMOVE_ALL, &CWizardStep2ADlg::OnRemoveAll),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2ADlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2ADlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2ADlg, CCmdDialog)

CWizardStep2ADlg::CWizardStep2ADlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP2A, parent), m_loadEvent(false, true, LoadEventName(false)) {
  m_images.Copy(p.m_images);
}

CWizardStep2ADlg::~CWizardStep2ADlg() = default;

void CWizardStep2ADlg::CopyTo(CWizardProject& p) { p.m_images.Copy(m_images); }

bool CWizardStep2ADlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_WIZ2A_PREVIEW, m_hWnd);
  m_addButton.SubclassDlgItem(IDC_WIZ2A_ADD, m_hWnd);
  const bool any = m_images.GetSize() > 0;
  if (any) {
    ::SetFocus(List());
    for (int i = 0; i < m_images.GetSize(); ++i)
      ::SendMessageA(List(), LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(
                         static_cast<CImageTextObject*>(m_images.GetAt(i))->m_displayName.GetString()));
    ::SendMessageA(List(), LB_SETSEL, TRUE, 0);
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(0)));
    ShowWorking();
  }
  Enable(m_hWnd, IDC_WIZ2A_REMOVE, any);
  Enable(m_hWnd, IDC_WIZ2A_REMOVE_ALL, any);
  return !any;
}

void CWizardStep2ADlg::ShowWorking() {
  SetDlgItemText(IDC_WIZ2A_NAME, m_working.m_displayName);
  m_preview.ShowObject(&m_working);
}

bool CWizardStep2ADlg::OnSelChange(UINT) {
  const int caret = static_cast<int>(::SendMessageA(List(), LB_GETCARETINDEX, 0, 0));
  if (caret >= 0 && caret < m_images.GetSize()) {
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(caret)));
    ShowWorking();
  }
  return true;
}

bool CWizardStep2ADlg::OnAdd(UINT) {
  CFileDialogEx dialog(true, true, nullptr, nullptr,
                       OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER,
                       "All supported formats|*.bmp;*jpg;*.png;*.pcx;*.tga|Bitmaps (.bmp)|*.bmp|"
                       "JPEG (.jpg)|*.jpg|PNG (.png)|*.png|PCX (.pcx)|*.pcx|Targa (.tga)|*.tga|"
                       "All Files (*.*)|*.*||",
                       m_hWnd);
  char names[5000] = "";
  dialog.m_ofn.lpstrFile = names;
  dialog.m_ofn.nMaxFile = sizeof names;
  dialog.m_ofn.lpstrTitle = "New Image";
  const CString initial = GetSettingsFolder("ImagePath");
  dialog.m_ofn.lpstrInitialDir = initial;
  if (dialog.DoModal() != IDOK) return true;
  m_pending.RemoveAll();
  INT_PTR pos = dialog.GetStartPosition();
  while (pos) m_pending.Add(dialog.GetNextPathName(pos));
  if (m_pending.GetSize() > 0) WriteSettingsString("ImagePath", GetFileDirectory(m_pending.GetAt(0)));
  LoadPending();
  return true;
}

bool CWizardStep2ADlg::OnAddFolder(UINT) {
  m_pending.RemoveAll();
  CString folder;
  if (!GetFolderChooser().Choose(m_hWnd, "Select a folder, then click Ok to load all images from it.",
                                 BIF_RETURNONLYFSDIRS, GetSettingsFolder("FolderDir"), folder))
    return true;
  WriteSettingsString("FolderDir", folder);
  AddFolder(folder);
  return true;
}

bool CWizardStep2ADlg::AddFolder(const char* folder) {
  m_pending.RemoveAll();
  CollectFolderImages(folder, m_pending);
  if (m_pending.GetSize() == 0) {
    LwMessageBox(m_hWnd, "No images in selected folder!", GetAppCaption(), MB_OK);
    return false;
  }
  const int limit = GetSettingsInt("ImageLimit", 40);
  if (limit < m_pending.GetSize()) {
    CFolderLimitDlg ask(limit, m_pending.GetSize(), m_hWnd);
    const INT_PTR answer = ask.DoModal();
    if (answer == IDCANCEL) {
      m_pending.RemoveAll();
      return false;
    }
    if (answer == IDOK) KeepFirstPaths(m_pending, limit);
  }
  LoadPending();
  return true;
}

bool CWizardStep2ADlg::LoadOne(const char* path) {
  CImageTextObject loaded;
  // Each failure is counted and told once, after the load.
  CQuietMessages quiet;
  int ok;
  if (IsIconFile(::GetModuleHandleA(nullptr), path))
    ok = loaded.LoadImageFile(path);
  else
    ok = loaded.TakePictureFile(path, 1);
  if (!ok) return false;
  m_working.CopyFrom(loaded);
  const int at = static_cast<int>(::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path)));
  if (at < 0) return false;
  auto* item = new CImageTextObject;
  item->CopyFrom(m_working);
  m_images.InsertAt(at, item);
  return true;
}

void CWizardStep2ADlg::LoadPending() {
  m_dropped = 0;
  const int before = m_images.GetSize();
  int tried = 0;
  CWizardLoad(m_loadEvent, LoadEventName(false)).Run(m_pending, [&](const CString& path) {
    if (!LoadOne(path)) ++m_dropped;
    OnFileTried(++tried);
  });
  m_pending.RemoveAll();
  if (m_images.GetSize() > before) {
    const int count = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    ::SendMessageA(List(), LB_SETSEL, TRUE, count - 1);
    ::ShowWindow(List(), SW_SHOW);
    Enable(m_hWnd, IDC_WIZ2A_REMOVE, true);
    Enable(m_hWnd, IDC_WIZ2A_REMOVE_ALL, true);
    ShowWorking();
  }
  if (m_dropped > 0) {
    CString text;
    text.Format("%d file(s) could not be read as pictures and were left out.", m_dropped);
    LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK | MB_ICONEXCLAMATION);
  }
}

bool CWizardStep2ADlg::OnRemove(UINT) {
  if (AskYesNo(m_hWnd, "Are you sure you want to delete selected item(s)?") != IDYES) return true;
  const int selected = static_cast<int>(::SendMessageA(List(), LB_GETSELCOUNT, 0, 0));
  if (selected > 0) {
    int* lines = new int[selected];
    ::SendMessageA(List(), LB_GETSELITEMS, selected, reinterpret_cast<LPARAM>(lines));
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    for (int i = 0; i < selected; ++i) {
      const int at = lines[i] - i;
      ::SendMessageA(List(), LB_DELETESTRING, at, 0);
      delete static_cast<CImageTextObject*>(m_images.GetAt(at));
      m_images.RemoveAt(at);
    }
    delete[] lines;
  }
  const int count = m_images.GetSize();
  if (count > 0) {
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(count - 1)));
    ::SendMessageA(List(), LB_SETSEL, TRUE, count - 1);
  } else {
    Enable(m_hWnd, IDC_WIZ2A_REMOVE, false);
    Enable(m_hWnd, IDC_WIZ2A_REMOVE_ALL, false);
    CImageTextObject empty;
    m_working.CopyFrom(empty);
  }
  ShowWorking();
  return true;
}

bool CWizardStep2ADlg::OnRemoveAll(UINT) {
  if (AskYesNo(m_hWnd, "Are you sure you want to remove all items?") != IDYES) return true;
  for (int i = 0; i < m_images.GetSize(); ++i) delete static_cast<CImageTextObject*>(m_images.GetAt(i));
  m_images.RemoveAll();
  ::SendMessageA(List(), LB_RESETCONTENT, 0, 0);
  Enable(m_hWnd, IDC_WIZ2A_REMOVE, false);
  Enable(m_hWnd, IDC_WIZ2A_REMOVE_ALL, false);
  CImageTextObject empty;
  m_working.CopyFrom(empty);
  SetDlgItemText(IDC_WIZ2A_NAME, "");
  m_preview.ShowNoImage();
  return true;
}

bool CWizardStep2ADlg::OnPrevious(UINT) {
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2ADlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2a.html");
  return true;
}

void CWizardStep2ADlg::OnCancel() {
  if (ConfirmWizardExit(m_hWnd)) EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------
// Step 2B

const CCommandEntry CWizardStep2BDlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2B_LIST, LBN_SELCHANGE, &CWizardStep2BDlg::OnSelChange),
    CommandEntry(IDC_WIZ2B_ADD, &CWizardStep2BDlg::OnAdd),
    CommandEntry(IDC_WIZ2B_REMOVE, &CWizardStep2BDlg::OnRemove),
    CommandEntry(IDC_WIZ2B_PLAY, &CWizardStep2BDlg::OnPlay),
    CommandEntry(IDC_WIZ2B_STOP, &CWizardStep2BDlg::OnStop),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2BDlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2BDlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2BDlg, CCmdDialog)

CWizardStep2BDlg::CWizardStep2BDlg(CWizardProject& p, HWND parent)
    : CMediaTesting<CCmdDialog>(IDD_WIZARD_STEP2B, parent),
      m_loadEvent(false, true, LoadEventName(true)) {
  m_media.Copy(p.m_mediaItems);
}

CWizardStep2BDlg::~CWizardStep2BDlg() = default;

void CWizardStep2BDlg::CopyTo(CWizardProject& p) { p.m_mediaItems.Copy(m_media); }

bool CWizardStep2BDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  for (int i = 0; i < m_media.GetSize(); ++i)
    ::SendMessageA(list, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(static_cast<CMediaObject*>(m_media.GetAt(i))->m_displayName.GetString()));
  if (m_media.GetSize() > 0) {
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    MakeCurrent(0);
  }
  Enable(m_hWnd, IDC_WIZ2B_REMOVE, m_media.GetSize() > 0);
  return true;
}

void CWizardStep2BDlg::MakeCurrent(int index) {
  const char* name = "";
  if (index >= 0 && index < m_media.GetSize())
    name = static_cast<CMediaObject*>(m_media.GetAt(index))->m_displayName;
  SetDlgItemText(IDC_WIZ2B_NAME, name);
}

bool CWizardStep2BDlg::OnSelChange(UINT) {
  MakeCurrent(static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2B_LIST, LB_GETCURSEL, 0, 0)));
  return true;
}

bool CWizardStep2BDlg::OnAdd(UINT) {
  m_skipped = 0;
  m_busy = 0;
  m_player.Stop();
  CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER,
                     "All supported media files |*.wav;*.avi;*.mp3;*.mid;*.swf|MP3 Files (.mp3)|*.mp3|"
                     "Flash Files (.swf)|*.swf|AVI Files (.avi)|*.avi|Wave Files (.wav)|*.wav|"
                     "Midi Files (.mid)|*.mid|All Files (*.*)|*.*||",
                     m_hWnd);
  char names[5000] = "";
  dialog.m_ofn.lpstrFile = names;
  dialog.m_ofn.nMaxFile = sizeof names;
  dialog.m_ofn.lpstrTitle = "New Media";
  const CString initial = GetSettingsFolder("MediaPath");
  dialog.m_ofn.lpstrInitialDir = initial;
  if (dialog.DoModal() != IDOK) return true;
  m_pending.RemoveAll();
  INT_PTR pos = dialog.GetStartPosition();
  while (pos) m_pending.Add(dialog.GetNextPathName(pos));
  if (m_pending.GetSize() > 0) WriteSettingsString("MediaPath", GetFileDirectory(m_pending.GetAt(0)));
  LoadPending();
  return true;
}

void CWizardStep2BDlg::LoadPending() {
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  ::ShowWindow(list, SW_HIDE);
  int unreadable = 0;
  CWizardLoad(m_loadEvent, LoadEventName(true)).Run(m_pending, [&](const CString& path) {
    if (!m_busy) m_busy = IsWaveOutBusy() ? 1 : 0;
    auto* media = new CMediaObject;
    if (!media->LoadMediaFile(path, false)) {
      if (MediaKindFromPath(path) == kMediaMp3)
        ++m_skipped;
      else
        ++unreadable;
      delete media;
      return;
    }
    if (media->m_kind == kMediaMp3 && m_skipped > 0 && m_busy) {
      delete media;
      return;
    }
    const int at = static_cast<int>(::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.GetString())));
    m_media.InsertAt(at < 0 ? m_media.GetSize() : at, media);
    MakeCurrent(at);
  });
  m_pending.RemoveAll();
  ::ShowWindow(list, SW_SHOW);
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  if (count > 0) {
    ::SendMessageA(list, LB_SETCURSEL, count - 1, 0);
    Enable(m_hWnd, IDC_WIZ2B_REMOVE, true);
  }
  CString text;
  if (IsMp3CodecInstalled()) {
    if (m_skipped > 0) {
      text.Format(m_busy ? "There were %d MP3 files skipped. Your sound device is busy, cannot test "
                           "media files. Please stop all audio programs and try again."
                         : "There were %d MP3 files skipped. Those files can not be decoded due to "
                           "illegal file structure.",
                  m_skipped);
      LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK);
    }
  } else if (m_skipped > 0) {
    LwMessageBox(m_hWnd,
                 "Necessary MP3 codec is not present on this computer.\n You can not use MP3 files "
                 "in your screen savers.",
                 GetAppCaption(), MB_OK);
  }
  if (unreadable > 0) {
    text.Format("%d file(s) could not be read and were left out.", unreadable);
    LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK | MB_ICONEXCLAMATION);
  }
}

bool CWizardStep2BDlg::OnRemove(UINT) {
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  const int at = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (at < 0 || at >= m_media.GetSize()) {
    LwMessageBox(m_hWnd, "Must select item to remove\n it from the list", GetAppCaption(), MB_OK);
    return true;
  }
  m_player.Stop();
  ::SendMessageA(list, LB_DELETESTRING, at, 0);
  delete static_cast<CMediaObject*>(m_media.GetAt(at));
  m_media.RemoveAt(at);
  const int count = m_media.GetSize();
  if (count > 0) {
    ::SendMessageA(list, LB_SETCURSEL, count - 1, 0);
    MakeCurrent(count - 1);
  } else {
    Enable(m_hWnd, IDC_WIZ2B_REMOVE, false);
    MakeCurrent(-1);
  }
  return true;
}

bool CWizardStep2BDlg::OnPlay(UINT) {
  const int at = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2B_LIST, LB_GETCURSEL, 0, 0));
  if (at < 0 || at >= m_media.GetSize()) {
    LwMessageBox(m_hWnd, "Must select item to play it", GetAppCaption(), MB_OK);
    return true;
  }
  TestPlay(*static_cast<CMediaObject*>(m_media.GetAt(at)));
  return true;
}

bool CWizardStep2BDlg::OnStop(UINT) {
  m_player.Stop();
  return true;
}

bool CWizardStep2BDlg::OnPrevious(UINT) {
  m_player.Stop();
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2BDlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2b.html");
  return true;
}

void CWizardStep2BDlg::OnOK() {
  m_player.Stop();
  EndDialog(IDOK);
}

void CWizardStep2BDlg::OnCancel() {
  m_player.Stop();
  if (ConfirmWizardExit(m_hWnd)) EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------
// Step 2C

const CCommandEntry CWizardStep2CDlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2C_TEXT, EN_CHANGE, &CWizardStep2CDlg::OnTextChange),
    CommandEntry(IDC_WIZ2C_OPAQUE, &CWizardStep2CDlg::OnOpaque),
    CommandEntry(IDC_WIZ2C_TRANSPARENT, &CWizardStep2CDlg::OnTransparent),
    CommandEntry(IDC_WIZ2C_COLOUR, &CWizardStep2CDlg::OnColour),
    CommandEntry(IDC_WIZ2C_FONT, &CWizardStep2CDlg::OnFont),
    CommandEntry(IDC_WIZ2C_ADD, &CWizardStep2CDlg::OnAdd),
    CommandEntry(IDC_WIZ2C_REMOVE, &CWizardStep2CDlg::OnRemove),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2CDlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2CDlg::OnHelp),
    NotifyEntry(IDC_WIZ2C_LIST, NM_CLICK, &CWizardStep2CDlg::OnListClick),
    NotifyEntry(IDC_WIZ2C_LIST, LVN_GETDISPINFOA, &CWizardStep2CDlg::OnGetDispInfo),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2CDlg, CCmdDialog)

CWizardStep2CDlg::CWizardStep2CDlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP2C, parent) {
  m_texts.Copy(p.m_texts);
}

CWizardStep2CDlg::~CWizardStep2CDlg() = default;

void CWizardStep2CDlg::CopyTo(CWizardProject& p) { p.m_texts.Copy(m_texts); }

int CWizardStep2CDlg::ListCount() const {
  return static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_GETITEMCOUNT, 0, 0));
}

CImageTextObject* CWizardStep2CDlg::NewText() {
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_textColour = 0xFFFFFF;
  text->m_bkColour = 0;
  text->m_bkMode = 1;
  return text;
}

void CWizardStep2CDlg::InsertText(CImageTextObject* text, int at) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = LPSTR_TEXTCALLBACKA;
  item.lParam = reinterpret_cast<LPARAM>(text);
  const int row = static_cast<int>(
      SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  m_texts.InsertAt(row < 0 ? m_texts.GetSize() : row, text);
}

void CWizardStep2CDlg::MakeCurrent(int index) {
  if (index < 0 || index >= m_texts.GetSize()) return;
  m_pCurrent = static_cast<CImageTextObject*>(m_texts.GetAt(index));
  m_working.CopyFrom(*m_pCurrent);
  SetDlgItemText(IDC_WIZ2C_TEXT, m_working.m_text);
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

void CWizardStep2CDlg::Commit() {
  char text[5001] = "";
  GetDlgItemText(IDC_WIZ2C_TEXT, text, sizeof text);
  m_working.m_text = text;
  m_working.m_kind = 1;
  m_working.m_bkMode = IsDlgButtonChecked(IDC_WIZ2C_OPAQUE) ? 1 : 0;
  if (m_pCurrent) m_pCurrent->CopyFrom(m_working);
}

void CWizardStep2CDlg::RemakeFont() {
  m_editFont.DeleteObject();
  m_editFont.CreateFontIndirect(&m_working.m_font);
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(m_editFont)), TRUE);
}

void CWizardStep2CDlg::ShowFontLabels() {
  const LOGFONTA& f = m_working.m_font;
  CString text;
  text.Format("Font name: %s", f.lfFaceName);
  SetDlgItemText(IDC_WIZ2C_FONT_NAME, text);
  text.Format("Font size: %ld", static_cast<long>(-MulDiv(f.lfHeight, 54, 72)));
  SetDlgItemText(IDC_WIZ2C_FONT_SIZE, text);
  const char* style = "Font style: Regular";
  if (f.lfWeight == 400 && f.lfItalic) style = "Font style: Italic";
  if (f.lfWeight == 700) style = f.lfItalic ? "Font style: Bold Italic" : "Font style: Bold";
  SetDlgItemText(IDC_WIZ2C_FONT_STYLE, style);
}

void CWizardStep2CDlg::Refresh() {
  if (m_working.m_bkMode == 0 && m_working.m_textColour == 0xFFFFFF) m_working.m_textColour = 0;
  CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                   m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
  Enable(m_hWnd, IDC_WIZ2C_COLOUR, m_working.m_bkMode != 0);
  RemakeFont();
  Commit();
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  m_preview.ShowObject(&m_working);
  ShowFontLabels();
}

bool CWizardStep2CDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_WIZ2C_PREVIEW, m_hWnd);
  CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                   m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
  Enable(m_hWnd, IDC_WIZ2C_COLOUR, false);
  RemakeFont();
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  LVCOLUMNA column = {};
  column.mask = LVCF_WIDTH;
  column.cx = 323;
  ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  CObArray texts;
  texts.Copy(m_texts);
  m_texts.RemoveAll();
  if (texts.GetSize() == 0) {
    Enable(m_hWnd, IDC_WIZ2C_ADD, false);
    Enable(m_hWnd, IDC_WIZ2C_REMOVE, false);
    InsertText(NewText(), 0);
    MakeCurrent(0);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE, IDC_WIZ2C_OPAQUE);
    Enable(m_hWnd, IDC_WIZ2C_COLOUR, true);
    Commit();
    m_preview.ShowObject(&m_working);
  } else {
    for (int i = 0; i < texts.GetSize(); ++i)
      InsertText(static_cast<CImageTextObject*>(texts.GetAt(i)), i);
    MakeCurrent(0);
    Refresh();
  }
  ShowFontLabels();
  return true;
}

LRESULT CWizardStep2CDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lp) == GetDlgItem(IDC_WIZ2C_TEXT)) {
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, m_working.m_textColour);
    if (IsDlgButtonChecked(IDC_WIZ2C_OPAQUE)) {
      ::SetBkColor(dc, m_working.m_bkColour);
      m_editBrush.DeleteObject();
      m_editBrush.CreateSolidBrush(m_working.m_bkColour);
      return reinterpret_cast<LRESULT>(HBRUSH(m_editBrush));
    }
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  }
  return CCmdDialog::WindowProc(msg, wp, lp);
}

bool CWizardStep2CDlg::OnTextChange(UINT) {
  Commit();
  m_preview.ShowObject(&m_working);
  Enable(m_hWnd, IDC_WIZ2C_ADD, true);
  Enable(m_hWnd, IDC_WIZ2C_REMOVE, true);
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_LIST), nullptr, FALSE);
  return true;
}

bool CWizardStep2CDlg::OnOpaque(UINT) {
  Enable(m_hWnd, IDC_WIZ2C_COLOUR, true);
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  Commit();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnTransparent(UINT) {
  Enable(m_hWnd, IDC_WIZ2C_COLOUR, false);
  Commit();
  Refresh();
  return true;
}

bool CWizardStep2CDlg::OnColour(UINT) {
  CColorDialog dialog(m_working.m_bkColour, 0, m_hWnd);
  if (dialog.DoModal() != IDOK) return true;
  m_working.m_bkColour = dialog.GetColor();
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  Commit();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnFont(UINT) {
  CFontDialog dialog(&m_working.m_font, CF_SCREENFONTS | CF_EFFECTS, m_hWnd);
  dialog.m_cf.rgbColors = m_working.m_textColour;
  if (dialog.DoModal() == IDOK) {
    m_working.m_textColour = dialog.GetColor();
    dialog.GetCurrentFont(&m_working.m_font);
    RemakeFont();
    Commit();
    m_preview.ShowObject(&m_working);
    ::SetFocus(GetDlgItem(IDC_WIZ2C_TEXT));
  }
  ShowFontLabels();
  return true;
}

bool CWizardStep2CDlg::OnAdd(UINT) {
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_textColour = m_working.m_textColour;
  text->m_bkColour = m_working.m_bkColour;
  text->m_bkMode = m_working.m_bkMode;
  text->m_font = m_working.m_font;
  const int at = ListCount();
  InsertText(text, at);
  m_pCurrent = nullptr;
  MakeCurrent(at);
  SetDlgItemText(IDC_WIZ2C_TEXT, "");
  Commit();
  ::SetFocus(GetDlgItem(IDC_WIZ2C_TEXT));
  return true;
}

bool CWizardStep2CDlg::OnRemove(UINT) {
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  const int at = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (at < 0 || at >= m_texts.GetSize()) {
    LwMessageBox(m_hWnd, "You must select item \nin order to delete it!", GetAppCaption(), MB_OK);
    return true;
  }
  ::SendMessageA(list, LVM_DELETEITEM, at, 0);
  delete static_cast<CImageTextObject*>(m_texts.GetAt(at));
  m_texts.RemoveAt(at);
  m_pCurrent = nullptr;
  if (m_texts.GetSize() == 0) {
    InsertText(NewText(), 0);
    MakeCurrent(0);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE, IDC_WIZ2C_OPAQUE);
    Enable(m_hWnd, IDC_WIZ2C_COLOUR, true);
  } else {
    MakeCurrent(m_texts.GetSize() - 1);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                     m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
    Enable(m_hWnd, IDC_WIZ2C_COLOUR, m_working.m_bkMode != 0);
  }
  Commit();
  RemakeFont();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnListClick(NMHDR* hdr, LRESULT*) {
  const int row = reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem;
  if (row >= 0 && row < m_texts.GetSize()) {
    MakeCurrent(row);
    Refresh();
  }
  return true;
}

bool CWizardStep2CDlg::OnGetDispInfo(NMHDR* hdr, LRESULT*) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return true;
  auto* text = reinterpret_cast<CImageTextObject*>(info->item.lParam);
  const CString shown = text ? text->m_text.Left(54) : CString();
  lstrcpynA(info->item.pszText, shown, info->item.cchTextMax);
  return true;
}

void CWizardStep2CDlg::Rebuild() {
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  m_texts.RemoveAll();
  for (int i = 0; i < ListCount(); ++i) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    m_texts.Add(reinterpret_cast<CImageTextObject*>(item.lParam));
  }
}

bool CWizardStep2CDlg::OnPrevious(UINT) {
  Rebuild();
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2CDlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2c.html");
  return true;
}

void CWizardStep2CDlg::OnOK() {
  Rebuild();
  EndDialog(IDOK);
}

void CWizardStep2CDlg::OnCancel() {
  if (!ConfirmWizardExit(m_hWnd)) return;
  Rebuild();
  EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------
// The driver's steps

namespace {

// Shows a step on the project and hands its list back, whatever ended it;
// a step whose page is off is skipped.
template <class TStep>
int RunStepDialog(bool on, CWizardProject& project, HWND mainWindow) {
  if (!on) return kStepSkipped;
  TStep dialog(project, mainWindow);
  const int result = static_cast<int>(dialog.DoModal());
  dialog.CopyTo(project);
  return result;
}

}  // namespace

int CStandardWizard::RunStep1() {
  return RunStepDialog<CWizardStep1Dlg>(true, m_project, m_mainWindow);
}

int CStandardWizard::RunStep2A() {
  return RunStepDialog<CWizardStep2ADlg>(m_project.m_useImages != 0, m_project, m_mainWindow);
}

int CStandardWizard::RunStep2B() {
  return RunStepDialog<CWizardStep2BDlg>(m_project.m_useMedia != 0, m_project, m_mainWindow);
}

int CStandardWizard::RunStep2C() {
  return RunStepDialog<CWizardStep2CDlg>(m_project.m_useTexts != 0, m_project, m_mainWindow);
}
