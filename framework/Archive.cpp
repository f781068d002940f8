// CArchive's buffering and its number and string forms. Values are composed
// byte by byte, so the stored form is little-endian on any machine.
#include "framework/Archive.h"

#include <cstdlib>
#include <cstring>

#include "framework/Exceptions.h"
#include "framework/Files.h"

CArchive::CArchive(CFile* file, unsigned mode, int bufferSize, void* buffer)
    : m_pFile(file),
      m_bLoading((mode & load) != 0),
      m_bFlushOnDelete((mode & bNoFlushOnDelete) == 0),
      m_bOwnBuffer(buffer == nullptr),
      m_bClosed(false),
      m_nBufSize(bufferSize < 16 ? 16 : static_cast<unsigned>(bufferSize)) {
  m_lpBufStart = buffer != nullptr ? static_cast<uint8_t*>(buffer)
                                   : static_cast<uint8_t*>(malloc(m_nBufSize));
  if (m_lpBufStart == nullptr) AfxThrowMemoryException();
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = m_bLoading ? m_lpBufStart : m_lpBufStart + m_nBufSize;
}

CArchive::~CArchive() {
  if (!m_bClosed && !m_bLoading && m_bFlushOnDelete) {
    try {
      Flush();
    } catch (CException* e) {
      e->Delete();
    }
  }
  if (m_bOwnBuffer) free(m_lpBufStart);
}

void CArchive::CheckLoading() const {
  if (!m_bLoading) AfxThrowArchiveException(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const {
  if (m_bLoading) AfxThrowArchiveException(CArchiveException::readOnly);
}

void CArchive::FillBuffer() {
  // Keep what is left, then read as much as the buffer holds.
  size_t left = static_cast<size_t>(m_lpBufMax - m_lpBufCur);
  if (left != 0 && m_lpBufCur != m_lpBufStart) memmove(m_lpBufStart, m_lpBufCur, left);
  m_lpBufCur = m_lpBufStart;
  m_lpBufMax = m_lpBufStart + left;
  unsigned room = m_nBufSize - static_cast<unsigned>(left);
  if (room != 0) m_lpBufMax += m_pFile->Read(m_lpBufMax, room);
}

unsigned CArchive::Read(void* buffer, unsigned count) {
  CheckLoading();
  uint8_t* out = static_cast<uint8_t*>(buffer);
  unsigned done = 0;
  while (done < count) {
    unsigned buffered = static_cast<unsigned>(m_lpBufMax - m_lpBufCur);
    if (buffered == 0) {
      unsigned want = count - done;
      if (want >= m_nBufSize) {
        // Large reads go straight to the file.
        unsigned n = m_pFile->Read(out + done, want);
        done += n;
        if (n == 0) break;
        continue;
      }
      FillBuffer();
      buffered = static_cast<unsigned>(m_lpBufMax - m_lpBufCur);
      if (buffered == 0) break;
    }
    unsigned n = count - done < buffered ? count - done : buffered;
    memcpy(out + done, m_lpBufCur, n);
    m_lpBufCur += n;
    done += n;
  }
  return done;
}

void CArchive::ReadExactly(void* buffer, unsigned count) {
  if (Read(buffer, count) != count) AfxThrowArchiveException(CArchiveException::endOfFile);
}

uint64_t CArchive::GetBytesLeft() const {
  uint64_t buffered = static_cast<uint64_t>(m_lpBufMax - m_lpBufCur);
  uint64_t length = m_pFile->GetLength();
  uint64_t position = m_pFile->GetPosition();
  return buffered + (length > position ? length - position : 0);
}

void CArchive::Write(const void* buffer, unsigned count) {
  CheckStoring();
  const uint8_t* in = static_cast<const uint8_t*>(buffer);
  while (count != 0) {
    unsigned room = static_cast<unsigned>(m_lpBufMax - m_lpBufCur);
    if (room == 0) {
      Flush();
      room = m_nBufSize;
    }
    unsigned n = count < room ? count : room;
    memcpy(m_lpBufCur, in, n);
    m_lpBufCur += n;
    in += n;
    count -= n;
  }
}

void CArchive::Flush() {
  if (m_bLoading) {
    // Hand back what was read ahead, so the file position follows the archive.
    unsigned unread = static_cast<unsigned>(m_lpBufMax - m_lpBufCur);
    if (unread != 0) m_pFile->Seek(-static_cast<int64_t>(unread), CFile::current);
    m_lpBufCur = m_lpBufMax = m_lpBufStart;
    return;
  }
  unsigned used = static_cast<unsigned>(m_lpBufCur - m_lpBufStart);
  m_lpBufCur = m_lpBufStart;
  if (used != 0) m_pFile->Write(m_lpBufStart, used);
}

void CArchive::Close() {
  if (!m_bClosed) {
    m_bClosed = true;
    if (!m_bLoading) Flush();
  }
}

void CArchive::Abort() { m_bClosed = true; }

namespace {
void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
}  // namespace

CArchive& CArchive::operator<<(uint8_t value) {
  Write(&value, 1);
  return *this;
}

CArchive& CArchive::operator<<(uint16_t value) {
  uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  Write(b, 2);
  return *this;
}

CArchive& CArchive::operator<<(int16_t value) { return *this << static_cast<uint16_t>(value); }

CArchive& CArchive::operator<<(uint32_t value) {
  uint8_t b[4];
  Put32(b, value);
  Write(b, 4);
  return *this;
}

CArchive& CArchive::operator<<(int32_t value) { return *this << static_cast<uint32_t>(value); }

CArchive& CArchive::operator<<(float value) {
  uint32_t bits;
  memcpy(&bits, &value, 4);
  return *this << bits;
}

CArchive& CArchive::operator<<(double value) {
  uint64_t bits;
  memcpy(&bits, &value, 8);
  *this << static_cast<uint32_t>(bits);
  return *this << static_cast<uint32_t>(bits >> 32);
}

CArchive& CArchive::operator<<(const CString& text) {
  WriteString(text.GetString(), static_cast<unsigned>(text.GetLength()));
  return *this;
}

CArchive& CArchive::operator>>(uint8_t& value) {
  ReadExactly(&value, 1);
  return *this;
}

CArchive& CArchive::operator>>(uint16_t& value) {
  uint8_t b[2];
  ReadExactly(b, 2);
  value = static_cast<uint16_t>(b[0] | (b[1] << 8));
  return *this;
}

CArchive& CArchive::operator>>(int16_t& value) {
  uint16_t v;
  *this >> v;
  value = static_cast<int16_t>(v);
  return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
  uint8_t b[4];
  ReadExactly(b, 4);
  value = Get32(b);
  return *this;
}

CArchive& CArchive::operator>>(int32_t& value) {
  uint32_t v;
  *this >> v;
  value = static_cast<int32_t>(v);
  return *this;
}

CArchive& CArchive::operator>>(long& value) {
  int32_t v;
  *this >> v;
  value = v;
  return *this;
}

CArchive& CArchive::operator>>(unsigned long& value) {
  uint32_t v;
  *this >> v;
  value = v;
  return *this;
}

CArchive& CArchive::operator>>(float& value) {
  uint32_t bits;
  *this >> bits;
  memcpy(&value, &bits, 4);
  return *this;
}

CArchive& CArchive::operator>>(double& value) {
  uint32_t low, high;
  *this >> low >> high;
  uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
  memcpy(&value, &bits, 8);
  return *this;
}

CArchive& CArchive::operator>>(CString& text) {
  text = ReadString();
  return *this;
}

void CArchive::WriteString(const char* bytes, unsigned length) {
  if (length < 0xFF) {
    *this << static_cast<uint8_t>(length);
  } else if (length < 0xFFFE) {
    *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(length);
  } else {
    *this << static_cast<uint8_t>(0xFF) << static_cast<uint16_t>(0xFFFF)
          << static_cast<uint32_t>(length);
  }
  Write(bytes, length);
}

CString CArchive::ReadString() {
  uint8_t shortLength;
  *this >> shortLength;
  uint32_t length = shortLength;
  if (shortLength == 0xFF) {
    uint16_t midLength;
    *this >> midLength;
    length = midLength;
    if (midLength == 0xFFFE) AfxThrowArchiveException(CArchiveException::badSchema);
    if (midLength == 0xFFFF) *this >> length;
  }
  if (length == 0) return CString();
  // A length beyond the data is a truncated file; never allocate for it.
  // What the buffer holds needs no question to the file.
  const auto buffered = static_cast<uint64_t>(m_lpBufMax - m_lpBufCur);
  if (length > 0x7FFFFFF0 || (length > buffered && length > GetBytesLeft()))
    AfxThrowArchiveException(CArchiveException::endOfFile);
  CString text;
  char* buffer = text.GetBufferSetLength(static_cast<int>(length));
  ReadExactly(buffer, length);
  return text;
}
