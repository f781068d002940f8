// CPlayContext: what a command's Execute sees of the player that runs it
// (the scene thread): the stop event, step mode, the pacing of timed steps,
// the output window and its background, the Url address and keys, and the
// media players. The commands know only this interface, so the script code
// does not depend on the playback code; the scene thread implements it.
//
// CPlayList is what a player runs: its owner hands it a list of commands
// (the script model's CCommandListPlay over a command list, or a stand-in
// in tests), so the player knows neither the command classes of either
// build of this code nor where the list lives.
#pragma once

#include <windows.h>

#include <cstdint>

class CDC;
class CMediaObject;
class CPlayPacer;

// The kinds of media a media object holds.
enum MediaKind {
  kMediaAudio = 0,
  kMediaVideo = 1,
  kMediaMp3 = 2,
  kMediaFlash = 3,
  kMediaMidi = 4
};

// What a player needs of a media object: its bytes (owned by the object)
// and kind. Each build of the script model defines GetMediaBytes.
struct CMediaBytes {
  const uint8_t* data;
  uint32_t size;
  int kind;
};
CMediaBytes GetMediaBytes(const CMediaObject& media);

class CPlayContext {
 public:
  virtual ~CPlayContext() = default;

  // The stop event: set when the run must end. Waits of commands block on it.
  virtual HANDLE GetStopEvent() const = 0;
  // True once a stop has been asked for (a cheap poll for inner loops).
  virtual bool IsStopRequested() const = 0;
  // Waits ms on the stop event; true when the stop came first.
  virtual bool WaitForStop(DWORD ms) = 0;
  // Nonzero while the run goes step by step.
  virtual int IsStepMode() const = 0;
  // Waits (elapsed, duration) calibrated units; returns early on a stop.
  virtual void CalibratedDelay(unsigned elapsed, double duration) = 0;
  // Blocks while the run is paused; returns at once otherwise.
  virtual void WaitWhilePaused() = 0;

  // The pacing and stop of the painter's transition effects.
  virtual CPlayPacer* GetPacer() = 0;

  // The output window.
  virtual HWND GetOutputWindow() const = 0;
  // The output window's present background colour (what erasing fills with).
  virtual COLORREF GetBackColour() const = 0;
  // The output window's background becomes the colour, drawn with the raster
  // operation, and the window is redrawn at once.
  virtual void SetBackground(COLORREF colour, DWORD rop) = 0;

  // The Url command's address and keys (-1 none, 0 Enter, 1 F12, 2 Space,
  // 3 any of them); ClearUrl forgets both.
  virtual void SetUrl(const char* address, int keys) = 0;
  virtual void ClearUrl() = 0;

  // How far below the top of the screen a movie played full screen
  // begins: an output that keeps a strip at the top for its own controls
  // moves the movie below it.
  virtual int GetFullScreenTop() const { return 0; }

  // The media players. wait: the call returns when the media ended;
  // endless: the media repeats until stopped; timerMs: -1 or the time to
  // play. PlayMedia returns false at once when the media cannot play.
  virtual bool PlayMedia(CMediaObject& media, int wait, int endless, const RECT& place,
                         int timerMs) = 0;
  virtual void StopMedia(CMediaObject& media) = 0;
};

class CPlayList {
 public:
  virtual ~CPlayList() = default;
  // The number of commands; a player asks again every round.
  virtual int GetCount() const = 0;
  // Runs command i: -1 when it is disabled or missing (not run), else what
  // its Execute returned. `index` is the player's position, which the
  // command may change.
  virtual int Play(int i, CDC* dc, int* index, CPlayContext* ctx) = 0;
};
