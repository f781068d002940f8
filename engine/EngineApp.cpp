// The movie engine's start-up and its modes.
#include "engine/EngineApp.h"

#include "common/Paths.h"
#include "engine/EngineCommandLine.h"
#include "engine/EngineWnd.h"
#include "engine/MovieFile.h"
#include "engine/resource.h"
#include "framework/Seams.h"
#include "framework/Trace.h"

void ShowConfigMessage(HWND owner) {
  char text[256], caption[128];
  LoadResourceString(IDS_CONFIG_MESSAGE, text, sizeof text);
  LoadResourceString(IDS_CONFIG_CAPTION, caption, sizeof caption);
  LwMessageBox(owner, text, caption, MB_ICONWARNING);
}

bool CEngineApp::InitInstance() {
  m_exitCode = 0;
  RemoveLeftoverTempFiles();
  const SaverCommand command = ParseEngineCommandLine(::GetCommandLineA());
  const HWND handle = reinterpret_cast<HWND>(command.handle);
  // A handle the command line names must be a window; none means none.
  if (handle && !::IsWindow(handle)) {
    LwTrace("Emberlyn: the command line's handle is not a window\n");
    m_exitCode = kExitNotAWindow;
    return false;
  }
  switch (command.mode) {
    case SaverMode::Settings:
      ShowConfigMessage(nullptr);
      return false;
    case SaverMode::Configure:
      ShowConfigMessage(handle ? handle : ::GetForegroundWindow());
      return false;
    case SaverMode::Password:
      ChangeSaverPassword(handle);
      return false;
    case SaverMode::Preview:
      PreviewMode(handle);
      return m_pMainWnd != nullptr;
    case SaverMode::Run:
      RunMode();
      return m_pMainWnd != nullptr;
    case SaverMode::None:
      break;
  }
  return false;
}

void CEngineApp::PreviewMode(HWND parent) {
  if (!parent) {
    m_exitCode = kExitNotAWindow;
    return;
  }
  RECT area = {};
  ::GetClientRect(parent, &area);
  char title[128];
  LoadResourceString(IDS_PREVIEW_TITLE, title, sizeof title);
  CEngineWnd* wnd = new CEngineWnd(true);
  if (!wnd->Create(0, title, WS_CHILD | WS_VISIBLE, area, parent, 0)) {
    // A failed creation has deleted the window object.
    m_exitCode = kExitCannotPlay;
    return;
  }
  m_pMainWnd = wnd;
}

void CEngineApp::RunMode() {
  int failure = kExitCannotPlay;
  CMovieSaverWnd* wnd = new CMovieSaverWnd(&failure, true);
  if (!wnd->Create()) {
    LwTrace("Emberlyn: the movie cannot be played (%d)\n", failure);
    m_exitCode = failure;
    return;
  }
  m_pMainWnd = wnd;
}
