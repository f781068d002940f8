// The builder made in a test's own process: its application object started
// with a command line (the start-up of the program, up to its first
// window) and taken down again with the WM_QUIT its end leaves.
#pragma once

#include <windows.h>

#include <string>

#include "builder/BuilderApp.h"
#include "framework/Wnd.h"

namespace lwtest {

class CBuilderRun {
 public:
  CBuilderRun() = default;
  ~CBuilderRun() { Stop(); }
  CBuilderRun(const CBuilderRun&) = delete;
  CBuilderRun& operator=(const CBuilderRun&) = delete;

  // The start-up with the command line; true when the builder goes on
  // running (a window was made).
  bool Start(const std::string& commandLine) {
    m_commandLine = commandLine;
    app = new CBuilderApp;
    app->m_hInstance = ::GetModuleHandleA(nullptr);
    app->m_lpCmdLine = m_commandLine.c_str();
    app->m_nCmdShow = SW_SHOWNOACTIVATE;
    return app->InitInstance();
  }

  void Stop() {
    if (!app) return;
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    app->ExitInstance();
    delete app;
    app = nullptr;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  CBuilderApp* app = nullptr;

 private:
  std::string m_commandLine;
};

}  // namespace lwtest
