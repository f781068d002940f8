// CSaverApp: the saver runtime's application object. Start-up in order (the
// temporary pictures, the profile named after the saver file, the window
// class "SS3.0"), the dispatch on the screen-saver switches, the reading of
// the payload behind the program's own image, and the clean-up at the
// program's end.
#pragma once

#include <windows.h>

#include "framework/App.h"
#include "runtime/ExitAddress.h"
#include "runtime/SaverSession.h"
#include "runtime/SaverSwitch.h"

class CWnd;

// "%u,%u,..." of the system information that decides when to count again.
void CurrentSystemText(char* out, int size);

class CSaverApp : public CWinApp {
 public:
  CSaverApp();
  ~CSaverApp() override;

  bool InitInstance() override;

  // Reads the flag byte, the payload word and the scene document from the
  // program's own file; false on any failure, with the reason sent to the
  // debugger output.
  bool ReadEmbeddedScript();
  // The same from a given saver file, with the reason returned.
  bool ReadPayload(const char* path, char* reason, int reasonSize);

  bool IsTestRun() const { return m_session.testRun; }
  DWORD GetPayloadWord() const { return m_payloadWord; }
  const char* GetDisplayName() const { return m_displayName; }
  const char* GetDesktopPicturePath() const { return m_desktopPath; }
  const char* GetWallpaperPicturePath() const { return m_wallpaperPath; }

  // The exit code when InitInstance ends the program.
  int GetExitCode() const { return m_exitCode; }

 private:
  void RunMode();
  void PreviewMode(HWND parent);
  void PasswordMode(HWND owner);
  // Ends the program quietly: a nonzero exit code and the reason for a
  // debugger.
  void Refuse(const char* reason);

  DWORD m_payloadWord = 0;
  // The run's test-run flag, speed value and settings, and the address a
  // Url command's key chose, which is opened at the program's end.
  CSaverSession m_session;
  char m_desktopPath[MAX_PATH] = "";
  char m_wallpaperPath[MAX_PATH] = "";
  char m_displayName[MAX_PATH] = "";
  CWnd* m_window = nullptr;  // the saver or preview window object, ours
};

// The window class of the saver and preview windows.
constexpr char kSaverWindowClass[] = "SS3.0";
bool RegisterSaverWindowClass();
