// The pacing seam between the painter's transition effects and whatever
// plays them: the scene thread in the programs, a scripted stand-in in the
// tests. Effects never sleep or poll events themselves; they ask the pacer.
#pragma once

#include <windows.h>

class CPlayPacer {
 public:
  virtual ~CPlayPacer() = default;

  // One paced delay: (duration - elapsed) x Times / 100,000 stop-event
  // polls' worth of waiting, cut short when a stop is requested.
  virtual void CalibratedDelay(unsigned elapsed, double duration) = 0;
  // The stop flag; cheap enough to ask once per pixel unit.
  virtual bool IsStopRequested() const = 0;
  // The clock of the two fades, in milliseconds; it may wrap around.
  virtual DWORD GetTickCount() = 0;
  // Waits for the fades' next frame time; a stop may cut it short.
  virtual void WaitMilliseconds(DWORD ms) { ::Sleep(ms); }
};
