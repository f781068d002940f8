// The real message box and shell launcher, and the switches to test ones.
#include "framework/Seams.h"

#include <shellapi.h>

#include <atomic>

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

}  // namespace

BOOL CShellLauncher::ExecuteEx(SHELLEXECUTEINFOA* info) { return ::ShellExecuteExA(info); }

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

INT_PTR LwShellExecute(HWND owner, const char* verb, const char* file, const char* params,
                       const char* folder, int show) {
  return g_launcher.load()->Execute(owner, verb, file, params, folder, show);
}

BOOL LwShellExecuteEx(SHELLEXECUTEINFOA* info) { return g_launcher.load()->ExecuteEx(info); }

void SetAppCaption(const char* caption) {
  lstrcpynA(g_caption, caption ? caption : "", sizeof g_caption);
}

const char* GetAppCaption() { return g_caption; }
