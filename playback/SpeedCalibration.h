// The speed calibration: the machine's "SysInfo" text, the one-second poll
// count of a counting scene thread, and the policy that counts only when
// the stored "Times" is 0 or the stored "SysInfo" is not this machine's.
// Where the two values live is the caller's: CRegistrySpeedStore keeps them
// in a registry key ("SysInfo" a string, "Times" a DWORD).
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

// Reads *times from the store, or counts for countMs and stores the text
// and the count. Returns true when it counted.
bool CalibrateSpeed(CSpeedStore& store, UINT* times, DWORD countMs = 1000);
