// The movie engine's windows: CEngineWnd, a black window that paints
// nothing (the preview in the display settings' little screen), and
// CMovieSaverWnd, the topmost window over the whole virtual screen that
// plays the carried movie in its control and ends the saver on input
// (a mouse move beyond the system's threshold, a button, a key, or loss of
// activation), asking Windows 9x's screen-saver password once the
// password delay has passed. The helpers they use are free functions, so
// that tests reach them.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"
#include "playback/movie/FlashPlayer.h"

// The system's screen-saver settings, from HKEY_CURRENT_USER
// "Software\Microsoft\Windows\CurrentVersion\Screen Savers": "Password
// Delay" (seconds, default 0) and "Mouse Threshold" (pixels, default 3),
// each four bytes. Absent, unreadable or negative values keep the default.
struct SaverSettings {
  int passwordDelay = 0;
  int mouseThreshold = 3;
};
SaverSettings ReadSaverSettings();

// True when the cursor is more than the threshold away from the reference
// point on either axis.
bool HasMouseMoved(POINT reference, POINT cursor, int threshold);

// True when the password delay (seconds) has passed `elapsed` milliseconds
// after the start.
bool PasswordDelayPassed(int delaySeconds, DWORD elapsed);

// All monitors: the virtual screen, or the primary screen on a system
// that knows no monitors.
RECT GetVirtualScreenRect();

// Asks for the screen-saver password before the saver ends. On Windows NT
// the system guards the desktop itself: true. Otherwise the answer of
// "VerifyScreenSavePwd" in the library (normally "PASSWORD.CPL"); a
// missing library or entry point: true.
bool VerifySaverPassword(HWND window);
bool VerifySaverPasswordWith(HWND window, bool ntPlatform, const char* library);

// The password mode: "PwdChangePasswordA" of "MPR.DLL" for the screen
// saver, owned by the window; nothing when either is missing.
void ChangeSaverPassword(HWND owner);

class CEngineWnd : public CWnd {
 public:
  explicit CEngineWnd(bool autoDelete = true) : m_autoDelete(autoDelete) {}

  // Registers the engine's class (black background, no cursor, the
  // engine's icon) and creates the window.
  bool Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent,
              UINT id);

 protected:
  void OnPaint() override;
  // The window is the program: its end ends the message loop.
  void OnDestroy() override;
  void PostNcDestroy() override;

 private:
  bool m_autoDelete;
};

class CMovieSaverWnd : public CEngineWnd {
 public:
  // `failure` receives the exit code when the window cannot be made (the
  // object is gone by then).
  explicit CMovieSaverWnd(int* failure = nullptr, bool autoDelete = true);
  ~CMovieSaverWnd() override;

  // Creates the topmost window over the virtual screen, titled after the
  // application, and starts the movie; false when it cannot play.
  bool Create();

  // The saver file whose movie is played: this program's own file unless
  // set before Create.
  void SetSourcePath(const char* path);
  const char* GetMoviePath() const { return m_moviePath; }
  bool IsPasswordDialogUp() const { return m_passwordDialogUp != 0; }
  POINT GetReferencePoint() const { return m_reference; }
  const SaverSettings& GetSettings() const { return m_settings; }

  static const UINT kFlashControlId = 62311;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDestroy() override;
  void OnClose() override;
  // Creates the control over the client area and plays the movie file;
  // false (with the exit code in *failure) when the movie cannot play.
  virtual bool StartMovie(int* failure);
  // The password check of a close after the delay.
  virtual bool VerifyPassword() { return VerifySaverPassword(m_hWnd); }

  CShockwaveFlash m_flash;

 private:
  // Ends the saver: marks the close as the window's own and posts it.
  void PostCloseRequest();
  void Fail(int code);
  void RemoveMovie();

  int m_passwordDialogUp = 0;
  int m_closing = 0;
  POINT m_reference = {};
  DWORD m_startTick = 0;
  SaverSettings m_settings;
  char m_moviePath[MAX_PATH] = "";
  char m_sourcePath[MAX_PATH] = "";
  bool m_movieWritten = false;
  bool m_spiSet = false;
  int* m_failure;
};
