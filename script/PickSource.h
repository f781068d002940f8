// What the random picks read from the machine: the clock, the calibrated
// speed value "Times" and the screen size. Replaceable, so tests can fix it.
#pragma once

#include <cstdint>

class CPickSource {
 public:
  virtual ~CPickSource() = default;
  virtual uint32_t GetTickCount();
  // The system time's milliseconds (0 to 999).
  virtual int GetSystemMilliseconds();
  // The C runtime's time(), for srand(time).
  virtual int64_t GetTime();
  // The speed value "Times"; the application sets it (SetSpeedValue).
  virtual uint32_t GetSpeedValue();
  // The screen's size from its device context (HORZRES, VERTRES) and from
  // the system metrics (SM_CXSCREEN, SM_CYSCREEN).
  virtual void GetScreenSize(int& horzRes, int& vertRes, int& cxScreen, int& cyScreen);

  static void SetSpeedValue(uint32_t times);
};

CPickSource& GetPickSource();
// Null restores the machine's own source.
void SetPickSource(CPickSource* source);
