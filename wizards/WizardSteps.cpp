// What the Standard wizard's steps share: the folder chooser, the load
// rules, the loader thread and its progress window, and the driver's runs
// of the steps (see WizardSteps.h). The steps themselves are in
// WizardStep1.cpp, WizardStep2A.cpp, WizardStep2B.cpp and WizardStep2C.cpp.
#include "wizards/WizardSteps.h"

#include <shlobj.h>

#include "common/Paths.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "wizards/WizardHelperDialogs.h"

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

void EnableStepControl(HWND dialog, int id, bool enable) {
  ::EnableWindow(::GetDlgItem(dialog, id), enable);
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
