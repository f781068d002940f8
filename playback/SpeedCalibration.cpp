// The speed calibration's text, count and policy.
#include "playback/SpeedCalibration.h"

#include <cstring>

#include "framework/TextFormat.h"
#include "playback/SceneThread.h"

void FormatSystemInfoText(char* out, int size) {
  SYSTEM_INFO si;
  ::GetSystemInfo(&si);
  FormatText(out, size, "%u,%u,%u,%u,%u,%u,%u,%u,%u", static_cast<unsigned>(si.dwPageSize),
             static_cast<unsigned>(reinterpret_cast<UINT_PTR>(si.lpMinimumApplicationAddress)),
             static_cast<unsigned>(reinterpret_cast<UINT_PTR>(si.lpMaximumApplicationAddress)),
             static_cast<unsigned>(si.dwActiveProcessorMask),
             static_cast<unsigned>(si.dwNumberOfProcessors),
             static_cast<unsigned>(si.dwProcessorType),
             static_cast<unsigned>(si.dwAllocationGranularity),
             static_cast<unsigned>(static_cast<WORD>(si.wProcessorLevel)),
             static_cast<unsigned>(static_cast<WORD>(si.wProcessorRevision)));
}

UINT CountEventPolls(DWORD ms) {
  UINT times = 0;
  CSceneThread counter(nullptr, &times, CSceneThread::kCount, nullptr);
  if (!counter.Start()) return 0;
  // The time counts from the thread's first turn, not from its creation.
  counter.WaitUntilCounting(10000);
  ::Sleep(ms);
  counter.Stop();
  return times;
}

CRegistrySpeedStore::CRegistrySpeedStore(HKEY root, const char* subKey) {
  m_key.Create(root, subKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
}

void CRegistrySpeedStore::Read(char* sysInfo, int size, UINT* times) {
  *times = 0;
  if (size < 1) return;
  m_key.QueryString("SysInfo", sysInfo, static_cast<DWORD>(size));
  DWORD value = 0;
  if (m_key.QueryDWORD("Times", &value)) *times = value;
}

void CRegistrySpeedStore::Write(const char* sysInfo, UINT times) {
  m_key.SetString("SysInfo", sysInfo);
  m_key.SetDWORD("Times", times);
}

bool CalibrateSpeed(CSpeedStore& store, UINT* times, DWORD countMs) {
  char stored[261];
  store.Read(stored, sizeof stored, times);
  char current[261];
  FormatSystemInfoText(current, sizeof current);
  if (*times != 0 && std::strcmp(stored, current) == 0) return false;
  *times = CountEventPolls(countMs);
  store.Write(current, *times);
  return true;
}
