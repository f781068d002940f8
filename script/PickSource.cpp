// The machine's own pick source.
#include "script/PickSource.h"

#include <windows.h>

namespace {
uint32_t g_speedValue = 0;
CPickSource g_machineSource;
CPickSource* g_source = &g_machineSource;
}  // namespace

uint32_t CPickSource::GetTickCount() { return ::GetTickCount(); }

int CPickSource::GetSystemMilliseconds() {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return st.wMilliseconds;
}

// The seconds since 1970 that time() gives, from the system clock: the C
// runtime's time() asks for the time zone as well, which costs more than
// the rest of making a command, and every new command with a motion or a
// colour takes a seed from it.
int64_t CPickSource::GetTime() {
  FILETIME now = {};
  ::GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const uint64_t kTicksTo1970 = 116444736000000000ull;  // 100 ns ticks from 1601 to 1970
  return static_cast<int64_t>((ticks - kTicksTo1970) / 10000000ull);
}

uint32_t CPickSource::GetSpeedValue() { return g_speedValue; }

void CPickSource::GetScreenSize(int& horzRes, int& vertRes, int& cxScreen, int& cyScreen) {
  HDC dc = GetDC(nullptr);
  horzRes = dc ? GetDeviceCaps(dc, HORZRES) : 0;
  vertRes = dc ? GetDeviceCaps(dc, VERTRES) : 0;
  if (dc) ReleaseDC(nullptr, dc);
  cxScreen = GetSystemMetrics(SM_CXSCREEN);
  cyScreen = GetSystemMetrics(SM_CYSCREEN);
}

void CPickSource::SetSpeedValue(uint32_t times) { g_speedValue = times; }

CPickSource& GetPickSource() { return *g_source; }

void SetPickSource(CPickSource* source) { g_source = source ? source : &g_machineSource; }
