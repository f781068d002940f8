// The places where a program asks the user or the shell, behind interfaces
// that tests replace: message boxes and shell launching (ShellExecute and
// ShellExecuteEx). The real implementations call user32 and shell32; a
// test installs its own to record what was asked and to answer.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CMessageBoxSink {
 public:
  virtual ~CMessageBoxSink() = default;
  // Shows (or records) a message box; returns the button id (IDOK, IDYES...).
  virtual int Show(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

class CShellLauncher {
 public:
  virtual ~CShellLauncher() = default;
  // As ShellExecute: greater than 32 on success.
  virtual INT_PTR Execute(HWND owner, const char* verb, const char* file, const char* params,
                          const char* folder, int show) = 0;
  // As ShellExecuteEx, filling hProcess when asked for it. The default asks
  // the system, so that launchers that only answer Execute keep working.
  virtual BOOL ExecuteEx(SHELLEXECUTEINFOA* info);
};

// Installs a sink or launcher (null restores the real one); returns the
// previous one. Process-wide, for all threads.
CMessageBoxSink* SetMessageBoxSink(CMessageBoxSink* sink);
CShellLauncher* SetShellLauncher(CShellLauncher* launcher);

// A message box through the current sink.
int LwMessageBox(HWND owner, const char* text, const char* caption, UINT type);
// A message box with the application's name as caption, owned by the
// active window of the calling thread.
int AfxMessageBox(const char* text, UINT type = MB_OK);
// ShellExecute through the current launcher.
INT_PTR LwShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                       const char* folder, int show);
// ShellExecuteEx through the current launcher.
BOOL LwShellExecuteEx(SHELLEXECUTEINFOA* info);

// The caption AfxMessageBox uses; set by the application object.
void SetAppCaption(const char* caption);
const char* GetAppCaption();
