// The movie player: CShockwaveFlash, the movie control as the programs use
// it (Movie, Loop, Menu, Play, Stop, TotalFrames, FrameNum); CFlashHostWnd,
// the child window that holds one control; and CFlashPlayerThread, the
// thread that owns a host window and decides when its movie ends. The
// control is our own: it needs no registration, reads the movie whole when
// it is set and draws its frames on a timer of its own window.
#pragma once

#include <windows.h>

#include "framework/Thread.h"
#include "framework/Wnd.h"

class CShockwaveFlash : public CWnd {
 public:
  bool Create(HWND parent, const RECT& rect, UINT id, DWORD style);
  long GetTotalFrames() const;
  long GetFrameNum() const;
  void SetLoop(BOOL loop);
  void SetMovie(const char* path);
  void SetMenu(BOOL menu);
  void Play();
  void Stop();
};

class CFlashHostWnd : public CWnd {
 public:
  // Creates the host in the parent and the control in it; false when either
  // cannot be made.
  bool Create(const RECT& rect, HWND parent, int timeoutMs);
  void PlayMovie(const char* path, int loop);

  DWORD m_threadId = 0;
  CShockwaveFlash m_flash;
  int m_timeoutMs = 0;
};

class CFlashPlayerThread : public CWinThread {
 public:
  // timeoutMs: -1 for none. The creator fills in the rectangle, the loop
  // flag, the movie path and the wait flag, sets the running event and
  // starts the thread.
  CFlashPlayerThread(HWND parent, HANDLE runningEvent, int timeoutMs);

  bool InitInstance() override;
  bool PreTranslateMessage(MSG* msg) override;
  // Ends the movie once; callable from any thread.
  void End();

  RECT m_rect = {};
  char m_moviePath[MAX_PATH] = "";
  int m_loop = 0;
  int m_wait = 0;
  int m_ended = 0;
  int m_timed = 0;
  int m_timeoutMs = -1;
  HWND m_parent = nullptr;
  HANDLE m_running = nullptr;
  CFlashHostWnd m_host;
};

// True when the movie control can be used (ours always can).
bool IsFlashControlInstalled();
