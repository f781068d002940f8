// CArchive: buffered binary reading or writing over a CFile. Numbers are
// little-endian (ints 4 bytes, floats IEEE single); strings use the
// framework's length-prefixed form (see WriteString). A read that runs past
// the end of the data throws CArchiveException::endOfFile.
#pragma once

#include <cstdint>

#include "framework/Strings.h"

class CFile;

class CArchive {
 public:
  enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

  CArchive(CFile* file, unsigned mode, int bufferSize = 4096, void* buffer = nullptr);
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;
  // Flushes a storing archive that was not closed (failures are swallowed
  // here; call Close to see them).
  ~CArchive();

  bool IsLoading() const { return m_bLoading; }
  bool IsStoring() const { return !m_bLoading; }
  CFile* GetFile() const { return m_pFile; }

  // Reads up to count bytes; returns how many there were.
  unsigned Read(void* buffer, unsigned count);
  // Reads exactly count bytes or throws endOfFile.
  void ReadExactly(void* buffer, unsigned count);
  void Write(const void* buffer, unsigned count);
  // Bytes a loading archive can still deliver (buffered plus the rest of
  // the file), for checking a stored length before allocating for it.
  uint64_t GetBytesLeft() const;

  void Flush();
  void Close();
  void Abort();

  CArchive& operator<<(uint8_t value);
  CArchive& operator<<(uint16_t value);
  CArchive& operator<<(int16_t value);
  CArchive& operator<<(int32_t value);
  CArchive& operator<<(uint32_t value);
  CArchive& operator<<(float value);
  CArchive& operator<<(double value);
  CArchive& operator<<(const CString& text);

  CArchive& operator>>(uint8_t& value);
  CArchive& operator>>(uint16_t& value);
  CArchive& operator>>(int16_t& value);
  CArchive& operator>>(int32_t& value);
  CArchive& operator>>(uint32_t& value);
  CArchive& operator>>(float& value);
  CArchive& operator>>(double& value);
  CArchive& operator>>(CString& text);

  // The string form: a length below 255 in one byte; otherwise 0xFF and a
  // 2-byte length below 0xFFFE; otherwise 0xFF, 0xFFFF and a 4-byte length.
  void WriteString(const char* bytes, unsigned length);
  CString ReadString();

  // Windows' LONG and DWORD are 32 bits; these keep `long` out of the
  // overload set's ambiguities.
  CArchive& operator<<(long value) { return *this << static_cast<int32_t>(value); }
  CArchive& operator<<(unsigned long value) { return *this << static_cast<uint32_t>(value); }
  CArchive& operator>>(long& value);
  CArchive& operator>>(unsigned long& value);

 private:
  void FillBuffer();
  void CheckLoading() const;
  void CheckStoring() const;

  CFile* m_pFile;
  bool m_bLoading;
  bool m_bFlushOnDelete;
  bool m_bOwnBuffer;
  bool m_bClosed;
  uint8_t* m_lpBufStart;
  uint8_t* m_lpBufCur;
  uint8_t* m_lpBufMax;  // loading: end of the buffered data
  unsigned m_nBufSize;
};
