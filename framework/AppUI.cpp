// CDocumentApp: the document manager behind New and Open, the recent
// files, the command line and the shell's file types, idle updates; and
// the command line's parsing.
#include "framework/AppUI.h"

#include "framework/CommandIds.h"
#include "framework/Files.h"
#include "framework/FrameWnd.h"
#include "framework/Ole.h"

namespace {

bool IsSwitch(const char* param, const char* name) { return lstrcmpiA(param, name) == 0; }

// The arguments of the wide command line, after the program's name (quoted
// or not) and the blanks that follow it.
const wchar_t* WideArguments() {
  const wchar_t* p = ::GetCommandLineW();
  if (!p) return L"";
  bool quoted = false;
  for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p)
    if (*p == L'"') quoted = !quoted;
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  reinterpret_cast<CPtrArray*>(lp)->Add(hwnd);
  return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------
// The command line

void SplitCommandLine(const char* cmdLine, CStringArray& args) {
  const char* p = cmdLine ? cmdLine : "";
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    CString arg;
    bool quoted = false;
    for (;;) {
      int slashes = 0;
      while (*p == '\\') {
        ++slashes;
        ++p;
      }
      if (*p == '"') {
        // 2n backslashes and a quote: n backslashes, and the quote groups;
        // 2n+1: n backslashes and a literal quote.
        for (int i = 0; i < slashes / 2; ++i) arg += '\\';
        if (slashes % 2) {
          arg += '"';
          ++p;
        } else if (quoted && p[1] == '"') {
          arg += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
        continue;
      }
      for (int i = 0; i < slashes; ++i) arg += '\\';
      if (!*p || (!quoted && (*p == ' ' || *p == '\t'))) break;
      arg += *p++;
    }
    args.Add(arg);
  }
}

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool last) {
  if (flag) {
    bool known = true;
    if (IsSwitch(param, "p")) {
      m_nShellCommand = FilePrint;
    } else if (IsSwitch(param, "pt")) {
      m_nShellCommand = FilePrintTo;
    } else if (IsSwitch(param, "dde")) {
      m_nShellCommand = FileDDE;
    } else if (IsSwitch(param, "automation")) {
      m_bRunAutomated = true;
    } else if (IsSwitch(param, "embedding")) {
      m_bRunEmbedded = true;
    } else if (!IsSwitch(param, "nologo")) {
      known = false;
    }
    // A start by the shell or by OLE shows no splash; nor does /nologo.
    if (known) m_bShowSplash = false;
  } else if (m_strFileName.IsEmpty()) {
    m_strFileName = param;
  } else if (m_nShellCommand == FilePrintTo) {
    if (m_strPrinterName.IsEmpty())
      m_strPrinterName = param;
    else if (m_strDriverName.IsEmpty())
      m_strDriverName = param;
    else if (m_strPortName.IsEmpty())
      m_strPortName = param;
  }
  if (last && m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
}

// ---------------------------------------------------------------------------
// CDocumentApp

const CCommandEntry CDocumentApp::commandEntries[] = {
    CommandEntry(ID_FILE_NEW, &CDocumentApp::OnFileNewCommand),
    CommandEntry(ID_FILE_OPEN, &CDocumentApp::OnFileOpenCommand),
    CommandEntry(ID_APP_EXIT, &CDocumentApp::OnAppExit),
    CommandRangeEntry(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, &CDocumentApp::OnOpenRecentFile),
    UpdateUIRangeEntry(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, &CDocumentApp::OnUpdateRecentFileMenu),
};
LW_IMPLEMENT_COMMAND_TABLE(CDocumentApp, CCmdTarget)

CDocumentApp* AfxGetDocumentApp() { return dynamic_cast<CDocumentApp*>(AfxGetApp()); }

CDocumentApp::CDocumentApp(const char* appName) : CWinApp(appName) {}

CDocumentApp::~CDocumentApp() {
  delete m_pDocManager;
  delete m_pRecentFileList;
}

void CDocumentApp::AddDocTemplate(CDocTemplate* tmpl) {
  if (!m_pDocManager) m_pDocManager = new CDocManager;
  m_pDocManager->AddDocTemplate(tmpl);
}

CDocument* CDocumentApp::OpenDocumentFile(const char* path) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

bool CDocumentApp::SaveAllModified() {
  return m_pDocManager ? m_pDocManager->SaveAllModified() : true;
}

void CDocumentApp::CloseAllDocuments(bool endSession) {
  if (m_pDocManager) m_pDocManager->CloseAllDocuments(endSession);
}

bool CDocumentApp::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                    bool openFileDialog, CDocTemplate* tmpl) {
  return m_pDocManager &&
         m_pDocManager->DoPromptFileName(fileName, titleId, flags, openFileDialog, tmpl);
}

void CDocumentApp::OnFileNew() {
  if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CDocumentApp::OnFileOpen() {
  if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CDocumentApp::LoadStdProfileSettings(UINT count) {
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  if (count == 0) return;
  const int size = count > ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1 + 1
                       ? ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1 + 1
                       : static_cast<int>(count);
  m_pRecentFileList = new CRecentFileList("Recent File List", "File%d", size);
  m_pRecentFileList->ReadList();
}

void CDocumentApp::SaveStdProfileSettings() {
  if (m_pRecentFileList) m_pRecentFileList->WriteList();
}

void CDocumentApp::AddToRecentFileList(const char* path) {
  if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

void CDocumentApp::UpdateRecentFileMenu(HMENU menu) {
  if (m_pRecentFileList) m_pRecentFileList->UpdateMenu(menu);
}

const char* CDocumentApp::TakeArguments(const char*) {
  m_strArguments = AnsiCommandLineFromWide(WideArguments());
  return m_strArguments;
}

void CDocumentApp::ParseCommandLine(CCommandLineInfo& info) {
  CStringArray args;
  SplitCommandLine(m_lpCmdLine, args);
  for (int i = 0; i < args.GetSize(); ++i) {
    const char* arg = args[i];
    const bool flag = arg[0] == '/' || arg[0] == '-';
    info.ParseParam(flag ? arg + 1 : arg, flag, i == args.GetSize() - 1);
  }
}

bool CDocumentApp::ProcessShellCommand(CCommandLineInfo& info) {
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNothing:
      return true;
    case CCommandLineInfo::FileOpen:
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
      // There is no printing: a file to print is opened.
      return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNew:
    case CCommandLineInfo::FileDDE:  // no DDE conversation follows: a new document
    default:
      OnFileNew();
      return m_pMainWnd != nullptr;
  }
}

void CDocumentApp::RegisterShellFileTypes(bool compat) {
  if (m_pDocManager) m_pDocManager->RegisterShellFileTypes(compat);
}

bool CDocumentApp::OnIdle(LONG count) {
  if (count <= 0) {
    // Every frame of the thread, the main one and any other (a preview with
    // its own toolbar), updates its bars.
    CPtrArray windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (int i = 0; i < windows.GetSize(); ++i) {
      HWND hwnd = static_cast<HWND>(windows[i]);
      auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hwnd));
      if (frame && ::IsWindowVisible(hwnd)) frame->OnIdleUpdateCmdUI();
    }
  }
  return CWinApp::OnIdle(count);
}

int CDocumentApp::ExitInstance() {
  SaveStdProfileSettings();
  AfxOleTerm();  // balances the AfxOleInit of InitInstance, if it ran
  return CWinApp::ExitInstance();
}

bool CDocumentApp::OnFileNewCommand(UINT) {
  OnFileNew();
  return true;
}

bool CDocumentApp::OnFileOpenCommand(UINT) {
  OnFileOpen();
  return true;
}

bool CDocumentApp::OnAppExit(UINT) {
  if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
  return true;
}

bool CDocumentApp::OnOpenRecentFile(UINT id) {
  if (!m_pRecentFileList) return false;
  const int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
  if (index >= m_pRecentFileList->GetCount()) return false;
  const CString path = (*m_pRecentFileList)[index];
  if (OpenDocumentFile(path)) return true;
  // A file that is gone leaves the list; one that failed for another
  // reason (the user kept the current document) stays.
  if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    for (int i = 0; i < m_pRecentFileList->GetCount(); ++i) {
      if (lstrcmpiA((*m_pRecentFileList)[i], path) == 0) {
        m_pRecentFileList->Remove(i);
        break;
      }
    }
  }
  return true;
}

void CDocumentApp::OnUpdateRecentFileMenu(CCmdUI* ui) {
  ui->Enable(m_pRecentFileList &&
             static_cast<int>(ui->GetID() - ID_FILE_MRU_FILE1) < m_pRecentFileList->GetCount());
}
