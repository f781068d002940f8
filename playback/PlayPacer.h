// CPlayPacer: what the painter's transition effects need from the player
// that runs them: the calibrated delay between steps, a cheap stop poll for
// inner loops, and the tick count for the fades. Tests inject their own.
#pragma once

#include <windows.h>

class CPlayPacer {
 public:
  virtual ~CPlayPacer() = default;
  virtual void CalibratedDelay(unsigned elapsed, double duration) = 0;
  virtual bool IsStopRequested() const = 0;
  virtual DWORD GetTickCount() = 0;
};
