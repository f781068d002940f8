// The builder's application: start-up, the hand-over to a running builder,
// the file type, uninstall, opening files, and the application's commands.
#include "builder/BuilderApp.h"

#include <ole2.h>

#include "builder/BuildDate.h"
#include "builder/controls/BuilderMessages.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "builder/MainFrame.h"
#include "builder/resource.h"
#include "builder/SceneDoc.h"
#include "builder/SceneView.h"
#include "builder/SettingsMigration.h"
#include "builder/StartDialogs.h"
#include "common/Paths.h"
#include "framework/App.h"
#include "framework/Files.h"
#include "framework/FrameWnd.h"
#include "framework/Registry.h"
#include "framework/Seams.h"
#include "playback/movie/FlashPlayer.h"
#include "script/Options.h"

namespace {

const char kReuseEntry[] = "Reuse";

// The template's document string, one part of it.
CString DocString(CDocManager* manager, CDocTemplate::DocStringIndex index) {
  CString text;
  if (manager && manager->GetTemplateCount() > 0) manager->GetTemplate(0)->GetDocString(text, index);
  return text;
}

// Removes the key name of parent with everything below it (a plain delete
// leaves a key that has sub-keys).
void DeleteKeyTree(HKEY root, const char* parent, const char* name) {
  CRegKey key;
  if (key.Open(root, parent, KEY_READ | KEY_WRITE | DELETE) == ERROR_SUCCESS)
    ::RegDeleteTreeA(key.GetHandle(), name);
}

// A view into the hand-over block, and the mapping's handle, released
// together unless unmapped earlier.
class CHandedFileView {
 public:
  CHandedFileView(HANDLE mapping, DWORD access) : m_mapping(mapping) {
    if (m_mapping) m_view = static_cast<char*>(::MapViewOfFile(m_mapping, access, 0, 0, 0));
  }
  ~CHandedFileView() {
    Unmap();
    if (m_mapping) ::CloseHandle(m_mapping);
  }
  CHandedFileView(const CHandedFileView&) = delete;
  CHandedFileView& operator=(const CHandedFileView&) = delete;

  void Unmap() {
    if (m_view) ::UnmapViewOfFile(m_view);
    m_view = nullptr;
  }
  char* Data() const { return m_view; }
  // The bytes the view may be read or written in: the block's size, less
  // when a block of that name is smaller.
  DWORD Size() const {
    MEMORY_BASIC_INFORMATION info = {};
    if (!m_view || !::VirtualQuery(m_view, &info, sizeof info)) return 0;
    return info.RegionSize < kHandedFileBlockSize ? static_cast<DWORD>(info.RegionSize)
                                                  : kHandedFileBlockSize;
  }

 private:
  HANDLE m_mapping;
  char* m_view = nullptr;
};

}  // namespace

bool MatchSwitch(const char* argument, const char* name) {
  if (!argument) return false;
  if (*argument == '-' || *argument == '/') ++argument;
  return lstrcmpiA(argument, name) == 0;
}

void WriteClassesRootValue(const char* key, const char* name, DWORD type, const void* data,
                           DWORD size) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0,
                        KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
    return;
  ::RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(handle);
}

bool HandFileTo(HWND frame, const char* fileName) {
  // The full path: the running builder's current folder is not ours.
  char full[MAX_PATH] = "";
  if (fileName && *fileName) {
    const DWORD length = ::GetFullPathNameA(fileName, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) lstrcpynA(full, fileName, sizeof full);
  }
  // The block lives while its handle is open: until the frame has read it.
  CHandedFileView block(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             kHandedFileBlockSize, kHandedFileBlock),
                        FILE_MAP_WRITE);
  const DWORD size = block.Size();
  if (block.Data() && size > 0) lstrcpynA(block.Data(), full, static_cast<int>(size));
  block.Unmap();
  ::SetForegroundWindow(frame);
  if (::IsIconic(frame)) ::SendMessageA(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
  ::UpdateWindow(frame);
  // No time limit: a builder busy for a while still reads the block when it
  // answers, and only then may the block go. The send ends early only when
  // the running builder's window or thread goes.
  return ::SendMessageA(frame, WM_OPEN_HANDED_FILE, 0, 0) != 0;
}

CString ReadHandedFile() {
  CHandedFileView block(::OpenFileMappingA(FILE_MAP_READ, FALSE, kHandedFileBlock), FILE_MAP_READ);
  const DWORD size = block.Size();
  if (!block.Data() || size == 0) return CString();
  // Up to the first zero, and never past the block.
  DWORD length = 0;
  while (length < size && block.Data()[length]) ++length;
  return CString(block.Data(), static_cast<int>(length < MAX_PATH ? length : MAX_PATH - 1));
}

// ---------------------------------------------------------------------------

const CCommandEntry CBuilderApp::commandEntries[] = {
    CommandEntry(ID_HELP_TOPICS, &CBuilderApp::OnHelpTopics),
    CommandEntry(ID_TOOLS_REUSE, &CBuilderApp::OnReuse),
    UpdateUIEntry(ID_TOOLS_REUSE, &CBuilderApp::OnUpdateReuse),
    CommandEntry(ID_APP_ABOUT, &CBuilderApp::OnAbout),
};
LW_IMPLEMENT_COMMAND_TABLE(CBuilderApp, CDocumentApp)

CBuilderApp::CBuilderApp() : CDocumentApp("Lumenweave") {}

CBuilderApp::~CBuilderApp() = default;

bool CBuilderApp::InitInstance() {
  m_strBuild = FormatBuildDate(__DATE__);
  RemoveLeftoverTempFiles();
  CRegistryMigrator().MigrateOldSettings(kProfileVersion);
  CString key;
  key.Format(LoadResourceString(IDS_REGISTRY_KEY, "Corvanta\\Lumenweave\\%.2f"),
             static_cast<double>(kProfileVersion));
  SetRegistryKey(key);

  CCommandLineInfo info;
  ParseCommandLine(info);
  if (HandOverToRunningBuilder(info)) return false;
  CSplashWnd::EnableSplashScreen(info.m_bShowSplash);

  if (!AfxOleInit()) {
    AfxMessageBox(LoadResourceString(519, "Failed to initialize Object Linking and Embedding."));
    return false;
  }

  m_pDocManager = new CDocManagerEx;
  AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, ClassOf<CSceneDoc>(),
                                        ClassOf<CMainFrame>(), ClassOf<CSceneView>()));
  if (IsUninstallCommandLine()) {
    Uninstall();
    return false;
  }

  LoadStdProfileSettings(4);
  EnableShellOpen();
  RegisterShellFileTypes(false);
  RegisterSceneFileType();

  if (m_nCmdShow != SW_SHOWMINIMIZED && m_nCmdShow != SW_SHOWMAXIMIZED)
    m_nCmdShow = static_cast<int>(GetProfileInt(kSettingsSection, kWindowShowEntry, SW_SHOW));

  // A file that cannot be opened leaves a new script.
  if (info.m_nShellCommand == CCommandLineInfo::FileNew || !ProcessShellCommand(info)) {
    info.m_nShellCommand = CCommandLineInfo::FileNew;
    if (!ProcessShellCommand(info)) return false;
  }
  auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
  if (!frame) return false;
  frame->DragAcceptFiles(true);
  frame->ShowWindow(SW_SHOW);
  frame->UpdateWindow();
  CSplashWnd::RaiseSplashScreen();
  return true;
}

bool CBuilderApp::HandOverToRunningBuilder(const CCommandLineInfo& info) {
  // The uninstall switch is never handed over: it uninstalls whatever runs.
  if (IsUninstallCommandLine()) return false;
  HWND running = ::FindWindowA(kMainFrameClass, nullptr);
  if (!running || !::IsWindowEnabled(running) || GetProfileInt(kSettingsSection, kReuseEntry, 0) == 0)
    return false;
  HandFileTo(running, info.m_strFileName);
  return true;
}

bool CBuilderApp::IsUninstallCommandLine() const {
  CStringArray args;
  SplitCommandLine(m_lpCmdLine, args);
  return args.GetSize() == 1 && MatchSwitch(args[0], "u");
}

void CBuilderApp::Uninstall() {
  const CString extension = DocString(m_pDocManager, CDocTemplate::filterExt);
  const CString type = DocString(m_pDocManager, CDocTemplate::regFileTypeId);
  if (!extension.IsEmpty()) DeleteKeyTree(HKEY_CLASSES_ROOT, "", extension);
  if (!type.IsEmpty()) DeleteKeyTree(HKEY_CLASSES_ROOT, "", type);
  // GetProfileKey is Software\<key>\<application name>.
  const CString profile = GetProfileKey();
  const int last = profile.ReverseFind('\\');
  if (last > 0) DeleteKeyTree(HKEY_CURRENT_USER, profile.Left(last), profile.Mid(last + 1));
  ::DeleteFileA(CBuilderOptions::GetFilePath());
}

void CBuilderApp::RegisterSceneFileType() {
  const CString extension = DocString(m_pDocManager, CDocTemplate::filterExt);
  const CString type = DocString(m_pDocManager, CDocTemplate::regFileTypeId);
  if (extension.IsEmpty() || type.IsEmpty()) return;
  WriteClassesRootValue(extension, nullptr, REG_SZ, static_cast<const char*>(type),
                        static_cast<DWORD>(type.GetLength() + 1));
  char program[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
  if (length > 0 && length < sizeof program) {
    CString icon;
    icon.Format("%s,1", program);
    WriteClassesRootValue(type + "\\DefaultIcon", nullptr, REG_SZ, static_cast<const char*>(icon),
                          static_cast<DWORD>(icon.GetLength() + 1));
  }
  // The shell's New makes an empty file, which opens as a new script.
  WriteClassesRootValue(extension + "\\ShellNew", nullptr, REG_SZ, "", 1);
  WriteClassesRootValue(extension + "\\ShellNew", "NullFile", REG_SZ, "", 0);
}

CDocument* CBuilderApp::OpenDocumentFile(const char* path) {
  CSceneDoc* before = nullptr;
  if (m_pDocManager && m_pDocManager->GetTemplateCount() > 0)
    before = dynamic_cast<CSceneDoc*>(m_pDocManager->GetTemplate(0)->GetDocument(0));
  if (before) before->m_bOpenReached = false;
  CDocument* doc = CDocumentApp::OpenDocumentFile(path);
  if (doc) return doc;
  // The user who keeps the current script (Cancel at the save question)
  // has refused nothing.
  if (before && !before->m_bOpenReached) return nullptr;
  // One message: the file, and why it could not be read when that is known.
  CString text = path ? path : "";
  text += LoadResourceString(IDS_CANNOT_BE_OPENED, "\n\ncannot be opened.");
  CString& reason = CSceneDoc::LastReadFailure();
  if (reason.IsEmpty() && IsOutsideCodePage(path))
    reason = LoadResourceString(IDS_NAME_OUTSIDE_CODE_PAGE,
                                "Its name has characters that this system's code page cannot "
                                "hold, and the disk keeps no short name for it: rename it to use it.");
  if (!reason.IsEmpty()) {
    text += "\n\n";
    text += reason;
    reason.Empty();
  }
  AfxMessageBox(text, MB_ICONSTOP);
  return nullptr;
}

bool CBuilderApp::PreTranslateMessage(MSG* msg) {
  if (CSplashWnd::PreTranslateAppMessage(msg)) return true;
  return CDocumentApp::PreTranslateMessage(msg);
}

bool CBuilderApp::OnHelpTopics(UINT) {
  const CString file = GetProgramFolder() + "Help\\Index.html";
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  info.lpFile = file;
  info.nShow = SW_SHOWMAXIMIZED;
  LwShellExecuteEx(&info);
  return true;
}

bool CBuilderApp::OnReuse(UINT) {
  const UINT reuse = GetProfileInt(kSettingsSection, kReuseEntry, 0);
  WriteProfileInt(kSettingsSection, kReuseEntry, reuse == 0 ? 1 : 0);
  return true;
}

void CBuilderApp::OnUpdateReuse(CCmdUI* ui) {
  ui->SetCheck(GetProfileInt(kSettingsSection, kReuseEntry, 0) != 0 ? 1 : 0);
}

bool CBuilderApp::OnAbout(UINT) {
  CShockwaveFlash movie;
  CAboutDlg dialog(m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr);
  dialog.m_pFlash = &movie;
  dialog.DoModal();
  return true;
}
