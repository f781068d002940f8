// The speed calibration's text, count and policy, at once or beside its
// owner's work.
#include "playback/SpeedCalibration.h"

#include <cstring>
#include <new>

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

namespace {

// A counting thread that counts into *times, started; null when none could
// be made.
CSceneThread* StartCounting(UINT* times) {
  CSceneThread* counter =
      new (std::nothrow) CSceneThread(nullptr, times, CSceneThread::kCount, nullptr);
  if (!counter) return nullptr;
  if (!counter->Start()) {
    delete counter;
    return nullptr;
  }
  // The time counts from the thread's first turn, not from its creation.
  counter->WaitUntilCounting(10000);
  return counter;
}

// Stops and deletes the counting thread; its count is final afterwards.
void StopCounting(CSceneThread* counter) {
  if (!counter) return;
  counter->Stop();
  delete counter;
}

}  // namespace

UINT CountEventPolls(DWORD ms) {
  UINT times = 0;
  CSceneThread* counter = StartCounting(&times);
  if (!counter) return 0;
  ::Sleep(ms);
  StopCounting(counter);
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

bool CSpeedCalibration::Begin(UINT* times) {
  Cancel();
  char stored[261];
  m_store.Read(stored, sizeof stored, times);
  char current[261];
  FormatSystemInfoText(current, sizeof current);
  if (*times != 0 && std::strcmp(stored, current) == 0) return false;
  m_count = 0;
  m_counter = StartCounting(&m_count);
  m_counting = true;
  return true;
}

void CSpeedCalibration::Finish(UINT* times) {
  if (!m_counting) return;
  StopCounting(m_counter);
  m_counter = nullptr;
  m_counting = false;
  *times = m_count;
  char current[261];
  FormatSystemInfoText(current, sizeof current);
  m_store.Write(current, m_count);
}

void CSpeedCalibration::Cancel() {
  StopCounting(m_counter);
  m_counter = nullptr;
  m_counting = false;
}

bool CalibrateSpeed(CSpeedStore& store, UINT* times, DWORD countMs) {
  CSpeedCalibration calibration(store);
  if (!calibration.Begin(times)) return false;
  ::Sleep(countMs);
  calibration.Finish(times);
  return true;
}
