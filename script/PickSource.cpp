// The machine's own pick source.
#include "script/PickSource.h"

#include <windows.h>

#include <ctime>

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

int64_t CPickSource::GetTime() { return static_cast<int64_t>(time(nullptr)); }

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
