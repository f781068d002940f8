// The framework's WinMain: runs the program's application object on the
// main thread. Linked into a program only when it defines no WinMain.
#include <windows.h>

#include "framework/App.h"
#include "framework/Exceptions.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  app->m_lpCmdLine = app->TakeArguments(cmdLine ? cmdLine : "");
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
