// The players that go through the Media Control Interface: CTempFileMedia
// plays a MIDI sequence from a temporary file on the sequencer, and
// CMciPlayerWnd shows a video clip in itself on WM_COMMAND codes, with
// CMciVideoWnd its variant for one clip played to its end while the
// scene thread waits.
//
// An MCI device answers only the thread that opened it: every call on one
// of these objects is made on the thread that owns them (see
// CSceneMediaPlayers), and their notifications come back to that thread's
// windows.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "framework/Strings.h"
#include "framework/Sync.h"
#include "framework/Wnd.h"

// One MCI device id and the calls made on it.
class CMciDevice {
 public:
  virtual ~CMciDevice() = default;
  // mciSendCommand on the device; a nonzero result is kept as the last
  // error.
  MCIERROR SendCommand(UINT msg, DWORD_PTR flags, void* params);
  DWORD Status(DWORD item);
  void SetNotifyWindow(HWND hwnd) { m_notify = hwnd; }

  MCIDEVICEID m_id = 0;
  HWND m_notify = nullptr;
  MCIERROR m_lastError = 0;
};

// A MIDI sequence from a temporary file. Its notification window's owner
// hands each MM_MCINOTIFY to OnNotify, which plays it again when it
// repeats (unless that play ended within kShortestRepeatMs of its start)
// or sets the finished event.
class CTempFileMedia : public CMciDevice {
 public:
  static const DWORD kShortestRepeatMs = 100;

  ~CTempFileMedia() override;
  // Opens m_path on the sequencer.
  MCIERROR Open();
  // Plays with notification.
  MCIERROR Play();
  // Stops; notifications that still come for the play are ignored.
  MCIERROR Stop();
  void Close();
  // Stops, closes and deletes the file.
  void Release();
  // MM_MCINOTIFY: true when it was this device's.
  bool OnNotify(WPARAM code, LPARAM device);

  CEvent m_finished;
  bool m_repeat = false;
  bool m_stopped = true;
  CString m_path;
  int m_plays = 0;  // play requests made, the first and every repeat
  DWORD m_playStarted = 0;  // the tick count of the last play request
};

// A hidden child window that plays a clip in itself on command (WM_COMMAND
// with the code in wParam):
//   100 open the file (lParam: const char* path)   110 play (lParam 0:
//   repeat, else once)   120 stop and hide   130 close   140 place the
//   next play (lParam: const POINT*)
// Destroying it stops and closes the clip.
class CMciPlayerWnd : public CWnd {
 public:
  enum Command { kOpen = 100, kPlay = 110, kStop = 120, kClose = 130, kPosition = 140 };
  static const UINT kId = 75000;

  bool Create(HWND parent, UINT id = kId);
  // The clip's own size (MCI_WHERE of the source); kept in m_width and
  // m_height.
  SIZE GetSourceSize();

  CString m_path;
  bool m_closed = true;
  MCIDEVICEID m_device = 0;
  int m_width = 0, m_height = 0;
  POINT m_position = {0, 0};
  // Set when a play's notification came (at its end, or a failure);
  // notifications after a stop are ignored.
  HANDLE m_doneEvent = nullptr;
  bool m_stopped = false;
  // The sound of the clip is switched off after it is opened.
  bool m_mute = false;
  // Open and play failures are reported ("Greska, code:%d").
  bool m_reportErrors = false;
  // While a clip is open, the pointer over the window and over the clip's
  // own window inside it is this cursor; null: the windows' own. Set per
  // window (answering WM_SETCURSOR), since the window class is shared.
  HCURSOR m_cursor = nullptr;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;
  // Called for the window's commands; false for codes it does not know.
  bool RunCommand(UINT code, LPARAM lp);
  MCIERROR Open(const char* path, bool wait);
  MCIERROR PlayClip(bool repeat);
  void Report(MCIERROR error);
};

// One clip in its own child window, played to its end with notification
// only: the caller waits for the done event (or its own stop).
class CMciVideoWnd : public CMciPlayerWnd {
 public:
  static const UINT kId = 32780;
  // Creates the window at (x, y), opens the file, sizes the window to the
  // clip, shows it and plays; false when the clip cannot be opened or
  // played (the window stays until StopAndDelete).
  bool CreateAndPlay(bool repeat, int x, int y, HWND parent, const char* path, HANDLE done);
  // Stops, closes and destroys the window and deletes the file.
  void StopAndDelete();

  // The pointer is hidden (ShowCursor) before the clip shows, and shown
  // again when the window is destroyed, on the same thread.
  bool m_hideCursor = false;

 protected:
  void OnDestroy() override;

 private:
  bool m_cursorHidden = false;
};
