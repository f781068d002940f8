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
  ::Sleep(ms);
  counter.Stop();
  return times;
}

CRegistrySpeedStore::CRegistrySpeedStore(HKEY root, const char* subKey) {
  if (::RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &m_key, nullptr) != ERROR_SUCCESS)
    m_key = nullptr;
}

CRegistrySpeedStore::~CRegistrySpeedStore() {
  if (m_key) ::RegCloseKey(m_key);
}

void CRegistrySpeedStore::Read(char* sysInfo, int size, UINT* times) {
  sysInfo[0] = 0;
  *times = 0;
  if (!m_key || size < 1) return;
  DWORD type = 0, got = static_cast<DWORD>(size - 1);
  if (::RegQueryValueExA(m_key, "SysInfo", nullptr, &type, reinterpret_cast<BYTE*>(sysInfo),
                         &got) == ERROR_SUCCESS &&
      type == REG_SZ)
    sysInfo[got < static_cast<DWORD>(size) ? got : static_cast<DWORD>(size - 1)] = 0;
  else
    sysInfo[0] = 0;
  DWORD value = 0;
  got = sizeof value;
  if (::RegQueryValueExA(m_key, "Times", nullptr, &type, reinterpret_cast<BYTE*>(&value), &got) ==
          ERROR_SUCCESS &&
      type == REG_DWORD && got == sizeof value)
    *times = value;
}

void CRegistrySpeedStore::Write(const char* sysInfo, UINT times) {
  if (!m_key) return;
  ::RegSetValueExA(m_key, "SysInfo", 0, REG_SZ, reinterpret_cast<const BYTE*>(sysInfo),
                   static_cast<DWORD>(std::strlen(sysInfo) + 1));
  DWORD value = times;
  ::RegSetValueExA(m_key, "Times", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
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
