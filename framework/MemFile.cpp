// CMemFile: a file held in one growable memory block. It calls no Win32
// function, so the archive code can run over it anywhere.
#include <cstdlib>
#include <cstring>

#include "framework/Exceptions.h"
#include "framework/Files.h"

CMemFile::CMemFile(unsigned growBytes)
    : m_nGrowBytes(growBytes),
      m_nPosition(0),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_lpBuffer(nullptr),
      m_bAutoDelete(true) {}

CMemFile::CMemFile(uint8_t* buffer, unsigned size, unsigned growBytes) : CMemFile(growBytes) {
  Attach(buffer, size, growBytes);
}

CMemFile::~CMemFile() {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
}

void CMemFile::Attach(uint8_t* buffer, unsigned size, unsigned growBytes) {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = buffer;
  m_nGrowBytes = growBytes;
  m_nPosition = 0;
  m_nBufferSize = size;
  m_nFileSize = growBytes == 0 ? size : 0;
  m_bAutoDelete = false;
}

void CMemFile::AttachOwned(uint8_t* buffer, uint64_t size, uint64_t bufferSize) {
  Close();
  m_lpBuffer = buffer;
  m_nFileSize = size;
  m_nBufferSize = bufferSize;
  m_nPosition = 0;
  m_bAutoDelete = true;
}

uint8_t* CMemFile::Detach() {
  uint8_t* buffer = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_nFileSize = 0;
  m_nBufferSize = 0;
  m_nPosition = 0;
  return buffer;
}

bool CMemFile::Open(const char*, unsigned, CFileException* error) {
  if (error != nullptr) error->m_cause = CFileException::genericException;
  return false;  // a memory file has no name to open
}

uint8_t* CMemFile::Alloc(size_t bytes) { return static_cast<uint8_t*>(malloc(bytes)); }

uint8_t* CMemFile::Realloc(uint8_t* block, size_t bytes) {
  return static_cast<uint8_t*>(realloc(block, bytes));
}

void CMemFile::Free(uint8_t* block) { free(block); }

void CMemFile::GrowFile(uint64_t newLength) {
  if (newLength <= m_nBufferSize) return;
  if (m_nGrowBytes == 0 || newLength > 0x7FFFFFFF) AfxThrowMemoryException();
  uint64_t size = m_nBufferSize;
  while (size < newLength) size += m_nGrowBytes;
  if (size > 0x7FFFFFFF) size = newLength;
  uint8_t* block = m_lpBuffer == nullptr ? Alloc(static_cast<size_t>(size))
                                         : Realloc(m_lpBuffer, static_cast<size_t>(size));
  if (block == nullptr) AfxThrowMemoryException();
  m_lpBuffer = block;
  m_nBufferSize = size;
  m_bAutoDelete = true;
}

unsigned CMemFile::Read(void* buffer, unsigned count) {
  if (m_nPosition >= m_nFileSize || count == 0) return 0;
  uint64_t left = m_nFileSize - m_nPosition;
  unsigned n = left < count ? static_cast<unsigned>(left) : count;
  memcpy(buffer, m_lpBuffer + m_nPosition, n);
  m_nPosition += n;
  return n;
}

void CMemFile::Write(const void* buffer, unsigned count) {
  if (count == 0) return;
  uint64_t end = m_nPosition + count;
  if (end > m_nBufferSize) GrowFile(end);
  memcpy(m_lpBuffer + m_nPosition, buffer, count);
  m_nPosition = end;
  if (end > m_nFileSize) m_nFileSize = end;
}

uint64_t CMemFile::Seek(int64_t offset, unsigned from) {
  int64_t base = from == begin ? 0 : from == current ? static_cast<int64_t>(m_nPosition)
                                                     : static_cast<int64_t>(m_nFileSize);
  int64_t position = base + offset;
  if (position < 0) AfxThrowFileException(CFileException::badSeek);
  m_nPosition = static_cast<uint64_t>(position);
  return m_nPosition;
}

void CMemFile::SetLength(uint64_t length) {
  if (length > m_nBufferSize) GrowFile(length);
  if (m_nPosition > length) m_nPosition = length;
  m_nFileSize = length;
}

void CMemFile::Close() {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = 0;
  m_nFileSize = 0;
  m_nPosition = 0;
}

void CMemFile::Abort() { Close(); }
