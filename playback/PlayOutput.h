// The window a scene thread plays on, as the thread needs it: its handle,
// the DC a run draws on and the presenting of what was drawn, its
// background (the Cls command and the black start of a run), what happens
// before the first command, where the Url command's choice goes, and
// whether the end of a run is announced. The builder's output window and
// the saver window each provide one; CWindowPlayOutput serves any window
// whose WM_PAINT calls Paint.
//
// CMediaPlayers is the seam to the media players that the Play and Stop
// commands drive; CNoMediaPlayers plays nothing, CSceneMediaPlayers
// (playback/MediaPlayers.h) plays every kind.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Sync.h"

class CMediaObject;

// Drawing followed by shorter pauses (a transition's or a Move's short
// delays) reaches the window at most once in this many milliseconds,
// about a display's refresh.
constexpr DWORD kPlayFrameMs = 15;

class CPlayOutput {
 public:
  virtual ~CPlayOutput() = default;
  virtual HWND GetHwnd() const = 0;
  // Called on the scene thread when a run starts, with a client DC of the
  // window: the DC the run draws on (never null). The window's own DC
  // unless the output keeps a picture of the window.
  virtual CDC* BeginDrawing(CDC* window) { return window; }
  // Called on the scene thread after each command and before each wait:
  // what was drawn since the last call is to reach the screen. pauseMs:
  // how long the thread now waits before it draws again (INFINITE: long or
  // unknown); drawing followed by a pause shorter than a frame may be
  // gathered with the next into one frame.
  virtual void Present(DWORD pauseMs) {}
  // Makes the colour (drawn with the raster operation) the background and
  // shows it at once. Called from the scene thread.
  virtual void SetBackground(COLORREF colour, DWORD rop) = 0;
  // The present background colour; called from the scene thread. Black,
  // the colour every run starts with, unless the output keeps its own.
  virtual COLORREF GetBackColour() const { return 0; }
  // Called on the scene thread after the black clear, before the first
  // command.
  virtual void OnPlayStarting() {}
  // The Url command's address and keys, or none (ClearUrl).
  virtual void SetUrl(const char* address, int keys) {}
  virtual void ClearUrl() {}
  // As CPlayContext::GetFullScreenTop; called from the scene thread.
  virtual int GetFullScreenTop() const { return 0; }
  // True: the end of a play run posts WM_USER+101 to the window's parent
  // (or to the window itself when it has none).
  virtual bool PostsEndMessage() const { return true; }
};

// A window that shows a picture the output keeps of it. The drawing thread
// draws into the back picture; Present copies what changed into the shown
// picture and invalidates that part of the window, so that the window's
// own thread puts it on the screen at once, and a part of the window that
// is uncovered later comes back as it was drawn. The window's WM_PAINT
// calls Paint and its WM_ERASEBKGND erases nothing. When no picture can be
// made the run draws on the window itself.
class CWindowPlayOutput : public CPlayOutput {
 public:
  explicit CWindowPlayOutput(HWND hwnd = nullptr);
  ~CWindowPlayOutput() override;
  CWindowPlayOutput(const CWindowPlayOutput&) = delete;
  CWindowPlayOutput& operator=(const CWindowPlayOutput&) = delete;

  // For a window made after its output.
  void SetHwnd(HWND hwnd) { m_hwnd = hwnd; }
  HWND GetHwnd() const override { return m_hwnd; }
  // Makes (or keeps) pictures of the client area's size and returns the
  // back one; one thread draws at a time.
  CDC* BeginDrawing(CDC* window) override;
  void Present(DWORD pauseMs) override;
  // Fills the back picture and presents it; without one the window is
  // invalidated.
  void SetBackground(COLORREF colour, DWORD rop) override;
  COLORREF GetBackColour() const override { return m_colour; }
  // Called from the window's WM_PAINT: the DC's clip box from the shown
  // picture; false, painting the background, when there is none yet.
  bool Paint(HDC dc);
  // Fills the DC's clip box with the background.
  void PaintBackground(HDC dc) const;
  COLORREF GetColour() const { return m_colour; }
  DWORD GetRasterOp() const { return m_rop; }

 private:
  void FreePictures();

  HWND m_hwnd;
  volatile COLORREF m_colour = 0;
  volatile DWORD m_rop = SRCCOPY;
  // The back picture belongs to the drawing thread; the shown one is read
  // by the window's thread and written by Present, both under the lock.
  CBitmap m_backBitmap;
  CDC m_back;
  CBitmap m_shownBitmap;
  CDC m_shown;
  CSize m_size;
  DWORD m_lastShown = 0;
  CCriticalSection m_lock;
};

class CMediaPlayers {
 public:
  virtual ~CMediaPlayers() = default;
  // As CPlayContext::PlayMedia and StopMedia.
  virtual bool Play(CMediaObject& media, int wait, int endless, const RECT& place, int timerMs,
                    HANDLE stopEvent) = 0;
  virtual void Stop(CMediaObject& media) = 0;
  // Ends every sound, video and movie (the end of a run and a stop).
  virtual void StopAll() = 0;
};

class CNoMediaPlayers : public CMediaPlayers {
 public:
  bool Play(CMediaObject&, int, int, const RECT&, int, HANDLE) override { return false; }
  void Stop(CMediaObject&) override {}
  void StopAll() override {}
};
