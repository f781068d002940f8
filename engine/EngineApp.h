// CEngineApp: the movie engine's application object. It reads the
// screen-saver switches and starts the mode: the configure message, the
// password change, the black preview in the given window, or the movie
// full screen. A program that cannot play ends quietly with an exit code
// that says why (engine/MovieFile.h).
#pragma once

#include <windows.h>

#include "framework/App.h"

// The configure mode's message box, owned by the window.
void ShowConfigMessage(HWND owner);

class CEngineApp : public CWinApp {
 public:
  CEngineApp() : CWinApp("Emberlyn") {}

  bool InitInstance() override;
  int GetExitCode() const { return m_exitCode; }

 private:
  void PreviewMode(HWND parent);
  void RunMode();
};
