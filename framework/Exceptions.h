// The framework's exceptions. They are thrown as pointers to heap objects
// (throw new CFileException(...)), caught as CException* and released with
// Delete(). The memory exception is one static object that Delete() leaves
// alone, so that running out of memory never needs memory.
#pragma once

#include "framework/Object.h"
#include "framework/Strings.h"

class CException : public CObject {
 public:
  constexpr explicit CException(bool autoDelete = true) : m_bAutoDelete(autoDelete) {}

  // Frees the exception unless it is a static one.
  void Delete();
  // A short English description of the failure.
  virtual CString GetErrorMessage() const;

 protected:
  bool m_bAutoDelete;
};

class CMemoryException : public CException {
 public:
  constexpr CMemoryException() : CException(false) {}
  CString GetErrorMessage() const override;
};

class CFileException : public CException {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, long osError = -1,
                          const char* fileName = nullptr);
  CString GetErrorMessage() const override;
  // Maps a Win32 error code to one of the causes above.
  static int OsErrorToException(long osError);

  int m_cause;
  long m_lOsError;
  CString m_strFileName;
};

class CArchiveException : public CException {
 public:
  enum {
    none,
    genericException,
    readOnly,
    endOfFile,
    writeOnly,
    badIndex,
    badClass,
    badSchema
  };

  explicit CArchiveException(int cause = none, const char* fileName = nullptr);
  CString GetErrorMessage() const override;

  int m_cause;
  CString m_strFileName;
};

// Called inside the catch (...) block of a callback thunk (a window or
// dialog procedure, a thread's entry), where nothing may unwind further:
// leaves one debug-output line saying where the exception was caught and
// what it was, and deletes it when it is one of the framework's.
void AfxReportCaughtException(const char* where) noexcept;

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowFileException(int cause, long osError = -1,
                                        const char* fileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause,
                                           const char* fileName = nullptr);
