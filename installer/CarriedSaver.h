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

// Deletes the ".SCR" copies that earlier previews left in the temporary
// folder (their saver was still running when their installer ended): the
// "SCR*.tmp.SCR" files without their temporary file beside them. A copy
// whose temporary file is there belongs to an installer taking its saver
// out now; a saver still running keeps its file.
void RemoveLeftPreviews();

class CCarriedSaver {
 public:
  CCarriedSaver() = default;
  ~CCarriedSaver() { Remove(); }
  CCarriedSaver(const CCarriedSaver&) = delete;
  CCarriedSaver& operator=(const CCarriedSaver&) = delete;

  // Writes the saver carried by the installer at path into the temporary
  // files (after removing the earlier ones). On any failure nothing is left
  // behind.
  CarriedResult Extract(const char* path);
  // Deletes the temporary files; true when none is left. A running preview
  // holds the ".SCR" one: that delete fails, and the file is kept to be
  // tried again.
  bool Remove();
  // Whether files are still to be removed.
  bool IsEmpty() const { return m_tempFile.IsEmpty() && m_scrFile.IsEmpty(); }

  const CString& TempFile() const { return m_tempFile; }
  const CString& ScrFile() const { return m_scrFile; }

 private:
  CarriedResult CopyOut(void* installer, uint64_t offset, uint64_t length);

  CString m_tempFile;
  CString m_scrFile;
};

}  // namespace installer
