// The framework's WinMain: runs the program's application object on the
// main thread. Linked into a program only when it defines no WinMain.
#include <windows.h>

#include "framework/App.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

CString g_arguments;

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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  // The system's ANSI command line has lost the characters of a name
  // outside the code page; the wide one names the file.
  g_arguments = AnsiCommandLineFromWide(WideArguments());
  app->m_lpCmdLine = cmdLine ? static_cast<const char*>(g_arguments) : "";
  app->m_nCmdShow = show;
  app->m_nThreadID = ::GetCurrentThreadId();
  int code = -1;
  try {
    code = app->InitInstance() ? app->Run() : app->ExitInstance();
  } catch (...) {
    AfxReportCaughtException("Application");
    code = -1;
  }
  return code;
}
