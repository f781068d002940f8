// The MCI players: the MIDI sequence of a temporary file and the video
// windows. Every call here runs on the thread that opened the device.
#include "playback/MciPlayers.h"

#include <digitalv.h>

#include "framework/Seams.h"
#include "framework/TextFormat.h"

// ---- CMciDevice --------------------------------------------------------------

MCIERROR CMciDevice::SendCommand(UINT msg, DWORD_PTR flags, void* params) {
  const MCIERROR r = ::mciSendCommandA(m_id, msg, flags, reinterpret_cast<DWORD_PTR>(params));
  if (r != 0) m_lastError = r;
  return r;
}

DWORD CMciDevice::Status(DWORD item) {
  MCI_STATUS_PARMS status = {};
  status.dwItem = item;
  return SendCommand(MCI_STATUS, MCI_STATUS_ITEM, &status) == 0 ? static_cast<DWORD>(status.dwReturn)
                                                               : 0;
}

// ---- CTempFileMedia ------------------------------------------------------------

CTempFileMedia::~CTempFileMedia() { Release(); }

MCIERROR CTempFileMedia::Open() {
  Close();
  MCI_OPEN_PARMSA open = {};
  open.lpstrDeviceType = reinterpret_cast<LPCSTR>(static_cast<DWORD_PTR>(MCI_DEVTYPE_SEQUENCER));
  open.lpstrElementName = m_path;
  const MCIERROR r = ::mciSendCommandA(
      0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID | MCI_OPEN_ELEMENT | MCI_WAIT,
      reinterpret_cast<DWORD_PTR>(&open));
  if (r != 0) {
    m_lastError = r;
    return r;
  }
  m_id = open.wDeviceID;
  return 0;
}

MCIERROR CTempFileMedia::Play() {
  ++m_plays;
  m_stopped = false;
  m_playStarted = ::GetTickCount();
  if (m_id == 0) return MCIERR_INVALID_DEVICE_ID;
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(m_notify);
  return SendCommand(MCI_PLAY, MCI_NOTIFY, &play);
}

MCIERROR CTempFileMedia::Stop() {
  m_stopped = true;
  // Whatever waits for the end does not wait for a stopped sequence.
  m_finished.SetEvent();
  if (m_id == 0) return 0;
  MCI_GENERIC_PARMS stop = {};
  stop.dwCallback = reinterpret_cast<DWORD_PTR>(m_notify);
  return SendCommand(MCI_STOP, 0, &stop);
}

void CTempFileMedia::Close() {
  if (m_id == 0) return;
  MCI_GENERIC_PARMS close = {};
  ::mciSendCommandA(m_id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
  m_id = 0;
}

void CTempFileMedia::Release() {
  Stop();
  Close();
  if (!m_path.IsEmpty()) ::DeleteFileA(m_path);
  m_path.Empty();
}

// A notification that comes after a stop still says "successful": it ends
// nothing and restarts nothing. A sequence that ended as soon as it started
// (an empty one) is not played again: repeating it would open and play it
// over and over on this thread.
bool CTempFileMedia::OnNotify(WPARAM code, LPARAM device) {
  if (m_id == 0 || static_cast<MCIDEVICEID>(device) != m_id) return false;
  if (m_stopped) return true;
  // A play that failed after it started has ended too.
  if (code == MCI_NOTIFY_FAILURE) m_finished.SetEvent();
  if (code != MCI_NOTIFY_SUCCESSFUL) return true;
  const bool lasted = ::GetTickCount() - m_playStarted >= kShortestRepeatMs;
  if (m_repeat && lasted && Open() == 0 && Play() == 0) return true;
  m_finished.SetEvent();
  return true;
}

// ---- CMciPlayerWnd -------------------------------------------------------------

bool CMciPlayerWnd::Create(HWND parent, UINT id) {
  m_closed = false;
  return CreateEx(0, RegisterWndClass(0), "", WS_CHILD, 0, 0, 0, 0, parent, id);
}

SIZE CMciPlayerWnd::GetSourceSize() {
  MCI_DGV_RECT_PARMS where = {};
  if (m_device &&
      ::mciSendCommandA(m_device, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&where)) == 0) {
    // The width and height; a clip whose rows are stored top-down tells
    // its height as a negative number.
    m_width = where.rc.right < 0 ? -where.rc.right : where.rc.right;
    m_height = where.rc.bottom < 0 ? -where.rc.bottom : where.rc.bottom;
  }
  return SIZE{m_width, m_height};
}

MCIERROR CMciPlayerWnd::Open(const char* path, bool wait) {
  if (m_device) RunCommand(kClose, 0);
  m_path = path ? path : "";
  MCI_ANIM_OPEN_PARMSA open = {};
  open.lpstrElementName = m_path;
  open.dwStyle = WS_CHILD | WS_VISIBLE;
  open.hWndParent = m_hWnd;
  const MCIERROR r = ::mciSendCommandA(
      0, MCI_OPEN,
      MCI_OPEN_ELEMENT | MCI_ANIM_OPEN_PARENT | MCI_ANIM_OPEN_WS | (wait ? MCI_WAIT : 0),
      reinterpret_cast<DWORD_PTR>(&open));
  if (r != 0) return r;
  m_device = open.wDeviceID;
  m_closed = false;
  GetSourceSize();
  // The device takes its window's size and the picture's place in it from
  // the clip's format, where a clip whose rows are stored top-down has a
  // negative height: both would be empty. Both get the clip's size.
  MCI_DGV_PUT_PARMS put = {};
  put.rc = RECT{0, 0, m_width, m_height};  // MCI's rectangle: width and height
  for (DWORD which : {MCI_DGV_PUT_WINDOW, MCI_DGV_PUT_SOURCE, MCI_DGV_PUT_DESTINATION})
    ::mciSendCommandA(m_device, MCI_PUT, which | MCI_DGV_RECT | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&put));
  if (m_mute) {
    MCI_DGV_SET_PARMS set = {};
    set.dwAudio = MCI_SET_AUDIO_ALL;
    ::mciSendCommandA(m_device, MCI_SET, MCI_SET_AUDIO | MCI_SET_OFF | MCI_WAIT,
                      reinterpret_cast<DWORD_PTR>(&set));
  }
  return 0;
}

MCIERROR CMciPlayerWnd::PlayClip(bool repeat) {
  m_stopped = false;
  if (!m_device) return MCIERR_INVALID_DEVICE_ID;
  MCI_DGV_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(m_hWnd);
  return ::mciSendCommandA(m_device, MCI_PLAY, MCI_NOTIFY | (repeat ? MCI_DGV_PLAY_REPEAT : 0),
                           reinterpret_cast<DWORD_PTR>(&play));
}

void CMciPlayerWnd::Report(MCIERROR error) {
  if (error == 0 || !m_reportErrors) return;
  char text[64];
  FormatText(text, sizeof text, "Greska, code:%d", static_cast<int>(error));
  ShowLibraryMessage(text, MB_OK | MB_ICONERROR);
}

// Stop and close answer with errors on some drivers for clips that did
// stop (a clip without sound, say): their results are not reported.
bool CMciPlayerWnd::RunCommand(UINT code, LPARAM lp) {
  switch (code) {
    case kOpen:
      Report(Open(reinterpret_cast<const char*>(lp), true));
      return true;
    case kPlay: {
      m_closed = false;
      const SIZE size = GetSourceSize();
      ::MoveWindow(m_hWnd, m_position.x, m_position.y, size.cx, size.cy, TRUE);
      ShowWindow(SW_SHOW);
      if (HWND parent = ::GetParent(m_hWnd)) ::SetFocus(parent);
      Report(PlayClip(lp == 0));
      return true;
    }
    case kStop: {
      m_stopped = true;
      ShowWindow(SW_HIDE);
      MCI_GENERIC_PARMS stop = {};
      if (m_device) ::mciSendCommandA(m_device, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&stop));
      return true;
    }
    case kClose: {
      m_stopped = true;
      MCI_GENERIC_PARMS close = {};
      if (m_device &&
          ::mciSendCommandA(m_device, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close)) == 0)
        ShowWindow(SW_HIDE);
      m_device = 0;
      return true;
    }
    case kPosition:
      if (lp) m_position = *reinterpret_cast<const POINT*>(lp);
      return true;
    default:
      return false;
  }
}

// The clip's own window asks this one first (it is its parent), so its
// pointer is decided here too.
LRESULT CMciPlayerWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && RunCommand(static_cast<UINT>(wp), lp)) return 0;
  if (msg == WM_SETCURSOR && m_cursor && m_device && LOWORD(lp) == HTCLIENT) {
    ::SetCursor(m_cursor);
    return TRUE;
  }
  if (msg == MM_MCINOTIFY) {
    if (static_cast<MCIDEVICEID>(lp) == m_device && m_device && !m_stopped && m_doneEvent)
      ::SetEvent(m_doneEvent);
    return 0;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

void CMciPlayerWnd::OnDestroy() {
  RunCommand(kStop, 0);
  RunCommand(kClose, 0);
  m_closed = true;
  Default();
}

// ---- CMciVideoWnd --------------------------------------------------------------

bool CMciVideoWnd::CreateAndPlay(bool repeat, int x, int y, HWND parent, const char* path,
                                 HANDLE done) {
  m_doneEvent = done;
  m_position = POINT{x, y};
  if (!m_hWnd && !Create(parent, kId)) return false;
  MCIERROR r = Open(path, false);
  if (r == 0) {
    ::MoveWindow(m_hWnd, x, y, m_width, m_height, TRUE);
    if (m_hideCursor && !m_cursorHidden) {
      ::ShowCursor(FALSE);
      m_cursorHidden = true;
    }
    ShowWindow(SW_SHOW);
    r = PlayClip(repeat);
  }
  Report(r);
  return r == 0;
}

// Every way the window goes (StopAndDelete, its parent destroyed) passes
// here on the thread that hid the pointer.
void CMciVideoWnd::OnDestroy() {
  CMciPlayerWnd::OnDestroy();
  if (m_cursorHidden) ::ShowCursor(TRUE);
  m_cursorHidden = false;
}

void CMciVideoWnd::StopAndDelete() {
  const CString path = m_path;
  if (m_hWnd) DestroyWindow();
  if (!path.IsEmpty()) ::DeleteFileA(path);
  m_path.Empty();
}
