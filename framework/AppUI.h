// The application of a program with documents: CDocumentApp adds to
// CWinApp what the user interface layer gives an application (the command
// route's last target, the document manager with New and Open, the
// recent-file list, the command line and the shell's file types, idle
// updates of the frames' bars). CWinApp stays in the windows library,
// which the carried programs link; this class never reaches them.
//
// CCommandLineInfo is what the command line asks for: a file name, the
// shell's print and DDE switches, the OLE start switches and the splash
// flag; ParseCommandLine fills it and ProcessShellCommand acts on it.
#pragma once

#include <windows.h>

#include "framework/App.h"
#include "framework/CmdTarget.h"
#include "framework/DocManager.h"
#include "framework/Strings.h"

class CDocument;

class CCommandLineInfo {
 public:
  enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, FileNothing = -1 };

  CCommandLineInfo() = default;
  virtual ~CCommandLineInfo() = default;

  // One argument: flag when it began with '/' or '-' (which param no
  // longer holds); last for the final one. Switches (any letter case):
  // p, pt (then printer, driver, port), dde, automation, embedding and
  // nologo; others are ignored. The first other argument is the file.
  virtual void ParseParam(const char* param, bool flag, bool last);

  bool m_bShowSplash = true;
  bool m_bRunEmbedded = false;
  bool m_bRunAutomated = false;
  ShellCommand m_nShellCommand = FileNew;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;
};

// Splits a command line into arguments as the C runtime does: spaces and
// tabs separate, double quotes group (a doubled quote inside quotes is a
// quote), backslashes are literal unless they precede a quote.
void SplitCommandLine(const char* cmdLine, CStringArray& args);

class CDocumentApp : public CWinApp, public CCmdTarget {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CDocumentApp(const char* appName = nullptr);
  ~CDocumentApp() override;

  // Takes the template; makes a CDocManager first when the program has not
  // set its own in m_pDocManager.
  void AddDocTemplate(CDocTemplate* tmpl);
  // The system's ANSI command line has lost the characters of a name
  // outside the code page: the arguments come from the wide one, such a
  // name as its short name.
  const char* TakeArguments(const char* ansi) override;
  // Opens the file through the document manager; null when it cannot.
  virtual CDocument* OpenDocumentFile(const char* path);
  virtual bool SaveAllModified();
  virtual void CloseAllDocuments(bool endSession);
  // The document manager's file prompt.
  virtual bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                bool openFileDialog, CDocTemplate* tmpl);

  // File New and File Open (ID_FILE_NEW, ID_FILE_OPEN).
  virtual void OnFileNew();
  virtual void OnFileOpen();

  // The recent-file list of count entries (0: none), read from the
  // profile's "Recent File List" section.
  void LoadStdProfileSettings(UINT count = 4);
  void SaveStdProfileSettings();
  // Puts the path first in the recent-file list.
  virtual void AddToRecentFileList(const char* path);
  CRecentFileList* GetRecentFileList() const { return m_pRecentFileList; }
  // Called when a pop-up menu of a frame opens: its recent-file items.
  void UpdateRecentFileMenu(HMENU menu);

  // Splits m_lpCmdLine and hands each argument to info.ParseParam.
  void ParseCommandLine(CCommandLineInfo& info);
  // New or open as the command line asks; false when that failed (the
  // file cannot be opened, or no main window came of it).
  virtual bool ProcessShellCommand(CCommandLineInfo& info);

  // The shell opens documents by starting the program with the file's
  // name (there is no DDE).
  void EnableShellOpen() { m_bShellOpen = true; }
  void RegisterShellFileTypes(bool compat = false);

  // Idle: the frames' bars take the state of their items.
  bool OnIdle(LONG count) override;
  int ExitInstance() override;

  CDocManager* m_pDocManager = nullptr;

 protected:
  bool OnFileNewCommand(UINT id);
  bool OnFileOpenCommand(UINT id);
  bool OnAppExit(UINT id);
  bool OnOpenRecentFile(UINT id);
  void OnUpdateRecentFileMenu(CCmdUI* ui);

  CRecentFileList* m_pRecentFileList = nullptr;
  bool m_bShellOpen = false;

 private:
  CString m_strArguments;  // what TakeArguments gave
};

// The application object when it is a CDocumentApp; null otherwise.
CDocumentApp* AfxGetDocumentApp();
