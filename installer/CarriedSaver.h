// The screen saver an installer carries behind its own image, taken out
// into temporary files: the system's temporary name with the prefix "SCR",
// and a copy of it with ".SCR" appended, the name a saver is started by.
// Both files go when the object goes.
#pragma once

#include <cstdint>

#include "framework/Strings.h"
#include "installer/CarriedRange.h"

namespace installer {

enum class CarriedResult {
  kOk,
  kCannotOpen,  // the installer's own file cannot be opened
  kCorrupted,   // shorter than its image, or carrying less than a saver
  kTempFailed,  // the temporary files cannot be made whole
};

// Whether the installer file at path carries a whole saver, judged by its
// size; kOk, kCannotOpen or kCorrupted.
CarriedResult CheckInstallerFile(const char* path);

class CCarriedSaver {
 public:
  CCarriedSaver() = default;
  ~CCarriedSaver() { Remove(); }
  CCarriedSaver(const CCarriedSaver&) = delete;
  CCarriedSaver& operator=(const CCarriedSaver&) = delete;

  // Writes the saver carried by the installer at path into the temporary
  // files. On any failure nothing is left behind.
  CarriedResult Extract(const char* path);
  // Deletes the temporary files (a running preview may still hold the
  // ".SCR" one: that delete fails and the file stays).
  void Remove();

  const CString& TempFile() const { return m_tempFile; }
  const CString& ScrFile() const { return m_scrFile; }

 private:
  CarriedResult CopyOut(void* installer, uint64_t offset, uint64_t length);

  CString m_tempFile;
  CString m_scrFile;
};

}  // namespace installer
