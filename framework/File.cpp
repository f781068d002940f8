// CFile: the Win32 file calls behind the framework's file object.
#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Files.h"

void* const CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {
[[noreturn]] void ThrowLastError(const CString& name) {
  DWORD error = GetLastError();
  AfxThrowFileException(CFileException::OsErrorToException(static_cast<long>(error)),
                        static_cast<long>(error), name);
}
}  // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(false) {}

CFile::CFile(void* hFile) : m_hFile(hFile), m_bCloseOnDelete(true) {}

CFile::CFile(const char* fileName, unsigned openFlags) : CFile() {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) {
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
  }
}

CFile::~CFile() {
  if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

bool CFile::Open(const char* fileName, unsigned openFlags, CFileException* error) {
  if (m_hFile != hFileNull) Abort();
  m_strFileName = fileName;

  DWORD access;
  switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
  }
  DWORD share;
  switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // exclusive and compatibility
  }
  DWORD disposition = OPEN_EXISTING;
  if (openFlags & modeCreate) {
    disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  }
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
  HANDLE h = CreateFileA(fileName, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error != nullptr) {
      DWORD os = GetLastError();
      error->m_lOsError = static_cast<long>(os);
      error->m_cause = CFileException::OsErrorToException(static_cast<long>(os));
      error->m_strFileName = fileName;
    }
    return false;
  }
  m_hFile = h;
  m_bCloseOnDelete = true;
  return true;
}

unsigned CFile::Read(void* buffer, unsigned count) {
  if (count == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) ThrowLastError(m_strFileName);
  return read;
}

void CFile::Write(const void* buffer, unsigned count) {
  if (count == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) ThrowLastError(m_strFileName);
  if (written != count) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

uint64_t CFile::Seek(int64_t offset, unsigned from) {
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position;
  DWORD method = from == begin ? FILE_BEGIN : from == current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(m_hFile, distance, &position, method)) ThrowLastError(m_strFileName);
  return static_cast<uint64_t>(position.QuadPart);
}

uint64_t CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_hFile, &size)) ThrowLastError(m_strFileName);
  return static_cast<uint64_t>(size.QuadPart);
}

uint64_t CFile::GetPosition() const {
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) ThrowLastError(m_strFileName);
  return static_cast<uint64_t>(position.QuadPart);
}

void CFile::SetLength(uint64_t length) {
  Seek(static_cast<int64_t>(length), begin);
  if (!SetEndOfFile(m_hFile)) ThrowLastError(m_strFileName);
}

void CFile::Flush() {
  if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile)) ThrowLastError(m_strFileName);
}

void CFile::Close() {
  bool failed = false;
  if (m_hFile != hFileNull) failed = !CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = false;
  if (failed) ThrowLastError(m_strFileName);
}

void CFile::Abort() {
  if (m_hFile != hFileNull) CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = false;
}

void CFile::Remove(const char* fileName) {
  if (!DeleteFileA(fileName)) ThrowLastError(fileName);
}

void CFile::Rename(const char* oldName, const char* newName) {
  if (!MoveFileA(oldName, newName)) ThrowLastError(oldName);
}
