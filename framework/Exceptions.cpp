// The framework's exceptions and their throw helpers.
#include "framework/Exceptions.h"

#include <windows.h>

#include <exception>

#include "framework/Trace.h"

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

CString CException::GetErrorMessage() const { return "Unknown error."; }

CString CMemoryException::GetErrorMessage() const { return "Out of memory."; }

CFileException::CFileException(int cause, long osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

CString CFileException::GetErrorMessage() const {
  static const char* const kTexts[] = {
      "No error",           "Unspecified error",     "File not found",
      "Bad path",           "Too many open files",   "Access denied",
      "Invalid file",       "Cannot remove folder",  "Folder full",
      "Bad seek",           "Hardware I/O error",    "Sharing violation",
      "Lock violation",     "Disk full",             "End of file"};
  CString text;
  const char* cause = (m_cause >= 0 && m_cause <= endOfFile)
                          ? kTexts[m_cause]
                          : kTexts[genericException];
  text.Format("%s: %s.", m_strFileName.IsEmpty() ? "File" : (const char*)m_strFileName,
              cause);
  return text;
}

int CFileException::OsErrorToException(long osError) {
  switch (osError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return hardIO;
    default: return genericException;
  }
}

CArchiveException::CArchiveException(int cause, const char* fileName)
    : m_cause(cause), m_strFileName(fileName) {}

CString CArchiveException::GetErrorMessage() const {
  switch (m_cause) {
    case endOfFile: return "Unexpected end of file.";
    case badSchema: return "Unexpected file format.";
    case readOnly: return "Tried to write to an archive opened for loading.";
    case writeOnly: return "Tried to read from an archive opened for storing.";
    default: return "Unexpected archive error.";
  }
}

void AfxReportCaughtException(const char* where) noexcept {
  try {
    throw;
  } catch (CException* e) {
    // Describing the exception may itself run out of memory.
    try {
      LwTrace("%s: %s\n", where, e->GetErrorMessage().GetString());
    } catch (...) {
      LwTrace("%s: a framework exception\n", where);
    }
    e->Delete();
  } catch (const std::exception& e) {
    LwTrace("%s: %s\n", where, e.what());
  } catch (...) {
    LwTrace("%s: an unknown exception\n", where);
  }
}

namespace {
// The one memory exception, thrown without allocating. At namespace scope
// (a local static's guard would link the threads library), and made when
// the program is loaded (its constructors are constant), so that a throw
// during another file's static construction finds it whole.
CMemoryException g_memoryException;
}  // namespace

void AfxThrowMemoryException() { throw &g_memoryException; }

void AfxThrowFileException(int cause, long osError, const char* fileName) {
  throw new CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, const char* fileName) {
  throw new CArchiveException(cause, fileName);
}
