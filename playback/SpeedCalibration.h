// The speed calibration: the machine's "SysInfo" text, the one-second poll
// count of a counting scene thread, and the policy that counts only when
// the stored "Times" is 0 or the stored "SysInfo" is not this machine's.
// Where the two values live is the caller's: CRegistrySpeedStore keeps them
// in a registry key ("SysInfo" a string, "Times" a DWORD). The count blocks
// its caller in CalibrateSpeed, or runs beside it in CSpeedCalibration.
#pragma once

#include <windows.h>

#include "framework/Registry.h"

// "%u,%u,%u,%u,%u,%u,%u,%u,%u": page size, lowest and highest application
// address, active processor mask, number of processors, processor type,
// allocation granularity, processor level, processor revision. Each value
// is cut to its low 32 bits (the text only ever meets what this machine
// wrote before), the last two to 16.
void FormatSystemInfoText(char* out, int size);

// Runs a scene thread in counting mode for ms milliseconds and returns its
// count (0 when no thread could be made).
UINT CountEventPolls(DWORD ms);

class CSpeedStore {
 public:
  virtual ~CSpeedStore() = default;
  // The stored text ("" when none) and Times (0 when none).
  virtual void Read(char* sysInfo, int size, UINT* times) = 0;
  virtual void Write(const char* sysInfo, UINT times) = 0;
};

class CRegistrySpeedStore : public CSpeedStore {
 public:
  CRegistrySpeedStore(HKEY root, const char* subKey);
  void Read(char* sysInfo, int size, UINT* times) override;
  void Write(const char* sysInfo, UINT times) override;

 private:
  CRegKey m_key;
};

class CSceneThread;

// A calibration that counts while its owner goes on (a window answering
// its input): Begin reads the stored value or starts the counting thread,
// Finish, once the counting time has passed, stops it and stores the
// count. A count that is dropped (Cancel, or the object deleted) stores
// nothing.
class CSpeedCalibration {
 public:
  explicit CSpeedCalibration(CSpeedStore& store) : m_store(store) {}
  ~CSpeedCalibration() { Cancel(); }
  CSpeedCalibration(const CSpeedCalibration&) = delete;
  CSpeedCalibration& operator=(const CSpeedCalibration&) = delete;

  // Reads *times from the store and returns false when it is this
  // machine's value. Otherwise starts counting, returns once the counting
  // thread counts (a new thread may wait for its first turn) and returns
  // true.
  bool Begin(UINT* times);
  bool IsCounting() const { return m_counting; }
  // Stops the count begun, writes it to *times and stores it with this
  // machine's text (0 when no counting thread could be made).
  void Finish(UINT* times);
  void Cancel();

 private:
  CSpeedStore& m_store;
  CSceneThread* m_counter = nullptr;
  UINT m_count = 0;
  bool m_counting = false;
};

// Reads *times from the store, or counts for countMs and stores the text
// and the count. Returns true when it counted.
bool CalibrateSpeed(CSpeedStore& store, UINT* times, DWORD countMs = 1000);
