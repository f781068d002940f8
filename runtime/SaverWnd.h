// CSaverWnd: the full-screen topmost window of run mode, over the run's
// session. The scene thread plays on it, once the window has counted the
// speed value on a machine's first run (showing black and answering input
// meanwhile); it ends the saver on the input the session's rules name,
// asks for the saver's password before it closes when the desktop wants
// one, hands the session the address a Url command's key chose, and paints
// what the script drew (black before it draws). CExitButton is the "Exit"
// button of a test run.
#pragma once

#include <windows.h>

#include "framework/Sync.h"
#include "framework/Wnd.h"
#include "playback/SpeedCalibration.h"
#include "runtime/SaverSession.h"

// Whether the desktop asks for a password before a screen saver ends:
// "ScreenSaveUsePassword" under HKEY_CURRENT_USER\Control Panel\Desktop,
// nonzero, whether stored as a DWORD, as four binary bytes or as text.
// Absent or unreadable: no.
bool DesktopAsksForPassword();

class CExitButton : public CWnd {
 public:
  static const int kWidth = 80, kHeight = 20;
  // Creates the holder (hidden) in the saver window's top right corner.
  bool Create(HWND saver, int screenWidth);

 protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
};

class CSaverWnd : public CWnd {
 public:
  explicit CSaverWnd(CSaverSession& session);
  ~CSaverWnd() override;

  // Alt+F4 neither closes the saver nor counts as a key.
  bool PreTranslateMessage(MSG* msg) override;

  // Posts WM_CLOSE and returns true when the input may end the saver now.
  bool CloseOnInput(SaverInput input);

  // Called by the Url command from the scene thread. Keys: 0 Enter, 1 F12,
  // 2 Space, 3 any of them; ClearUrl forgets the address.
  void SetUrl(const char* address, int keys);
  void ClearUrl();
  int GetUrlKeys() const;

  // Starts the script, or first counts the speed value while the window
  // shows black and answers input as it will while the script plays; the
  // script starts once the count is stored. Called once the window shows.
  // False when the script cannot be started now.
  bool BeginPlaying();

  bool IsMuted() const { return m_session.mute; }
  bool IsTestRun() const { return m_session.testRun; }
  // The test run's Exit button; the scene thread shows it when playing
  // begins.
  CExitButton& GetExitHolder() { return m_exitHolder; }
  void ShowExitButton();

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnMouseMove(UINT flags, CPoint pt) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnClose() override;
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override;
  void OnSysCommand(UINT id, LPARAM lp) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  bool StartScript();
  // The cursor is hidden (blank class cursor) while the saver runs, and
  // shown as an arrow while the password is asked for; a test run keeps it.
  void HideCursor();
  void RevealCursor();

  CSaverSession& m_session;
  CExitButton m_exitHolder;
  int m_mouseX = -1, m_mouseY = -1;
  // The Url fields are written by the scene thread, read here.
  mutable CCriticalSection m_urlLock;
  char m_url[2084] = "";
  int m_urlKeys = -1;
  bool m_cursorHidden = false;
  // While the password dialog is up no input and no other close ends the
  // saver.
  bool m_askingPassword = false;
  // The speed value in the key shared by all savers; counted for
  // kSpeedCountMs on the first run, ended by the timer.
  CRegistrySpeedStore m_speedStore;
  CSpeedCalibration m_speed{m_speedStore};
  static constexpr UINT_PTR kSpeedTimer = 1;
  static constexpr UINT kSpeedCountMs = 1000;
  // The script could not be started after the count: the saver ends with
  // a nonzero code.
  bool m_startFailed = false;
};
