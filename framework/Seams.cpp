// The real message box and shell launcher, the switches to test ones, and
// the quiet switches of library messages.
#include "framework/Seams.h"

#include <shellapi.h>

#include <atomic>

#include "framework/Sync.h"
#include "framework/Trace.h"

namespace {

class SystemMessageBox : public CMessageBoxSink {
 public:
  int Show(HWND owner, const char* text, const char* caption, UINT type) override {
    return ::MessageBoxA(owner, text, caption, type);
  }
};

class SystemShell : public CShellLauncher {
 public:
  INT_PTR Execute(HWND owner, const char* verb, const char* file, const char* params,
                  const char* folder, int show) override {
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(owner, verb, file, params, folder, show));
  }
};

SystemMessageBox g_systemBox;
SystemShell g_systemShell;
std::atomic<CMessageBoxSink*> g_sink{&g_systemBox};
std::atomic<CShellLauncher*> g_launcher{&g_systemShell};
char g_caption[128] = "";
std::atomic<bool> g_messagesToDebugOutput{false};

// The thread-local quiet switch: null (not quiet) on every thread until set.
CTlsSlot g_quiet;

bool IsThreadQuiet() {
  return g_quiet.GetValue() != nullptr;
}

}  // namespace

BOOL CShellLauncher::ExecuteEx(SHELLEXECUTEINFOA* info) { return ::ShellExecuteExA(info); }

bool CShellLauncher::Run(const char* commandLine, int show) {
  // CreateProcess may write into the command line.
  const int length = lstrlenA(commandLine);
  char* line = static_cast<char*>(::HeapAlloc(::GetProcessHeap(), 0, length + 1));
  if (!line) return false;
  lstrcpynA(line, commandLine, length + 1);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  const BOOL started =
      ::CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  ::HeapFree(::GetProcessHeap(), 0, line);
  if (!started) return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

CMessageBoxSink* SetMessageBoxSink(CMessageBoxSink* sink) {
  return g_sink.exchange(sink ? sink : &g_systemBox);
}

CShellLauncher* SetShellLauncher(CShellLauncher* launcher) {
  return g_launcher.exchange(launcher ? launcher : &g_systemShell);
}

int LwMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return g_sink.load()->Show(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type) {
  return LwMessageBox(::GetActiveWindow(), text, g_caption, type);
}

int ShowLibraryMessage(const char* text, UINT type) {
  if (g_messagesToDebugOutput.load() || IsThreadQuiet()) {
    LwTrace("%s\n", text);
    return IDOK;
  }
  return AfxMessageBox(text, type);
}

bool SetThreadMessagesQuiet(bool quiet) {
  if (g_quiet.Get() == TLS_OUT_OF_INDEXES) return false;
  const bool was = g_quiet.GetValue() != nullptr;
  g_quiet.SetValue(quiet ? reinterpret_cast<void*>(1) : nullptr);
  return was;
}

void SetLibraryMessagesToDebugOutput(bool toDebugOutput) {
  g_messagesToDebugOutput.store(toDebugOutput);
}

INT_PTR LwShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                       const char* folder, int show) {
  return g_launcher.load()->Execute(owner, verb, file, params, folder, show);
}

BOOL LwShellExecuteEx(SHELLEXECUTEINFOA* info) { return g_launcher.load()->ExecuteEx(info); }

bool LwRunCommandLine(const char* commandLine, int show) {
  return g_launcher.load()->Run(commandLine, show);
}

void SetAppCaption(const char* caption) {
  lstrcpynA(g_caption, caption ? caption : "", sizeof g_caption);
}

const char* GetAppCaption() { return g_caption; }
