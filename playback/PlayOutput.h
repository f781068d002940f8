// The window a scene thread plays on, as the thread needs it: its handle,
// its background (the Cls command and the black start of a run), what
// happens before the first command, where the Url command's choice goes,
// and whether the end of a run is announced. The builder's output window
// and the saver window each provide one; CWindowPlayOutput serves any plain
// window whose background erase calls PaintBackground.
//
// CMediaPlayers is the seam to the media players that the Play and Stop
// commands drive; CNoMediaPlayers plays nothing.
#pragma once

#include <windows.h>

class CMediaObject;

class CPlayOutput {
 public:
  virtual ~CPlayOutput() = default;
  virtual HWND GetHwnd() const = 0;
  // Makes the colour (drawn with the raster operation) the background and
  // redraws the window at once. Called from the scene thread: the redraw is
  // sent to the window's own thread.
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
  // True: the end of a play run posts WM_USER+101 to the window's parent
  // (or to the window itself when it has none).
  virtual bool PostsEndMessage() const { return true; }
};

// A plain window: keeps the colour and raster operation; the window's
// WM_ERASEBKGND handler calls PaintBackground.
class CWindowPlayOutput : public CPlayOutput {
 public:
  explicit CWindowPlayOutput(HWND hwnd) : m_hwnd(hwnd) {}
  HWND GetHwnd() const override { return m_hwnd; }
  void SetBackground(COLORREF colour, DWORD rop) override;
  COLORREF GetBackColour() const override { return m_colour; }
  // Fills the DC's clip box with the background.
  void PaintBackground(HDC dc) const;
  COLORREF GetColour() const { return m_colour; }
  DWORD GetRasterOp() const { return m_rop; }

 private:
  HWND m_hwnd;
  volatile COLORREF m_colour = 0;
  volatile DWORD m_rop = SRCCOPY;
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
