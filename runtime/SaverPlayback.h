// The seam between the saver runtime's windows and what plays the script:
// reading the scene document out of the payload, the scene thread over the
// saver window, the media notifications it waits for, and the desktop and
// wallpaper pictures. The default player plays nothing and reads no
// script, so that a saver without a player ends quietly in run mode; the
// script and playback code installs the real one with SetSaverPlayback.
#pragma once

#include <windows.h>

class CSaverWnd;

class CSaverPlayback {
 public:
  virtual ~CSaverPlayback() = default;

  // Writes the desktop and the wallpaper as pictures to the two paths (at
  // start-up, in every mode). The default writes nothing.
  virtual void CapturePictures(const char* desktopPath, const char* wallpaperPath) {}

  // Reads the scene document that lies in [offset, offset + length) of the
  // open saver file into the live command list, numbers and prepares the
  // commands. Must not read outside that range. On failure returns false
  // with a short reason in reason (for the debugger output), unless a
  // command has shown its own message.
  virtual bool LoadScript(HANDLE file, ULONGLONG offset, ULONGLONG length, char* reason,
                          int reasonSize);

  // Starts the scene thread in play mode over the saver window, counting
  // time with *times. False when no thread could be made.
  virtual bool StartPlaying(CSaverWnd* window, UINT* times) { return false; }
  // Stops all media and the scene thread and waits for it (the saver window
  // is being destroyed). The wait must answer messages sent to the window,
  // since the thread redraws it. Safe when nothing plays.
  virtual void StopPlaying() {}
  // MM_MCINOTIFY reached the saver window.
  virtual void OnMciNotify(WPARAM code, LPARAM device) {}
  // Paints the saver window's update area (WM_PAINT) with what the script
  // has drawn; false when nothing plays.
  virtual bool Paint(HDC dc) { return false; }
};

// The current player (never null); installs another (null restores the
// default) and returns the previous one.
CSaverPlayback* GetSaverPlayback();
CSaverPlayback* SetSaverPlayback(CSaverPlayback* playback);
