// The places where a program asks the user or the shell, behind interfaces
// that tests replace: message boxes, the simple beep and shell launching
// (ShellExecute, ShellExecuteEx and command lines). The real
// implementations call user32 and shell32; a test installs its own to
// record what was asked and to answer. The
// messages that library code shows on its own take one path through the
// message-box seam, with one caption and one way to silence them.
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
  // Starts a program from a command line, as WinExec does (the program's
  // name is looked for in the caller's folder first), without waiting for
  // it. True when it started.
  virtual bool Run(const char* commandLine, int show);
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
// The simple beep (MessageBeep) through the current beep function, which a
// test replaces to count them; SetBeepFunction returns the previous one
// (null: the system's MessageBeep).
using BeepFunction = void (*)(UINT type);
BeepFunction SetBeepFunction(BeepFunction beep);
void LwMessageBeep(UINT type);
// ShellExecute through the current launcher.
INT_PTR LwShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                       const char* folder, int show);
// ShellExecuteEx through the current launcher.
BOOL LwShellExecuteEx(SHELLEXECUTEINFOA* info);
// A command line started through the current launcher.
bool LwRunCommandLine(const char* commandLine, int show);

// A message that library code reports on its own (the script model's and
// the picture layer's: "Image conversion failed, skipping this image" and
// the like): a box as AfxMessageBox shows it, unless messages are quiet
// where it comes from. They are quiet on a thread that has silenced itself
// (CQuietMessages, SetThreadMessagesQuiet) and on every thread of a
// program that sends them to the debug output (the screen saver, whose
// topmost window would hide a box while it waits for the thread showing
// it). A quiet message is one debug-output line of its text, and IDOK.
int ShowLibraryMessage(const char* text, UINT type = MB_OK);
// Silences (or restores) the calling thread's library messages; returns
// the previous setting.
bool SetThreadMessagesQuiet(bool quiet);
// Sends the library messages of every thread to the debug output, or (false)
// lets the threads that are not silenced show them again.
void SetLibraryMessagesToDebugOutput(bool toDebugOutput);

// Silences the calling thread's library messages for the scope.
class CQuietMessages {
 public:
  CQuietMessages() : m_was(SetThreadMessagesQuiet(true)) {}
  ~CQuietMessages() { SetThreadMessagesQuiet(m_was); }
  CQuietMessages(const CQuietMessages&) = delete;
  CQuietMessages& operator=(const CQuietMessages&) = delete;

 private:
  bool m_was;
};

// The caption AfxMessageBox uses; set by the application object.
void SetAppCaption(const char* caption);
const char* GetAppCaption();
