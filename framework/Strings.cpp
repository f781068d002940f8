// CString's storage and operations. Formatting goes through FormatTextV,
// the C runtime DLL's own printf (framework/TextFormat.h).
#include "framework/Strings.h"

#include <cstdlib>
#include <cstring>

#include "framework/Exceptions.h"
#include "framework/TextFormat.h"

namespace {
char g_emptyText[1] = {0};

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

CString::CString() noexcept : m_pData(g_emptyText), m_nLength(0), m_nCapacity(0) {}

CString::CString(const char* text) : CString() {
  if (text != nullptr) Assign(text, static_cast<int>(strlen(text)));
}

CString::CString(const char* text, int length) : CString() {
  if (text != nullptr && length > 0) Assign(text, length);
}

CString::CString(char ch, int repeat) : CString() {
  if (repeat > 0) {
    Reserve(repeat);
    memset(m_pData, ch, repeat);
    m_nLength = repeat;
    m_pData[repeat] = 0;
  }
}

CString::CString(const CString& other) : CString() {
  Assign(other.m_pData, other.m_nLength);
}

CString::CString(CString&& other) noexcept
    : m_pData(other.m_pData), m_nLength(other.m_nLength), m_nCapacity(other.m_nCapacity) {
  other.m_pData = g_emptyText;
  other.m_nLength = 0;
  other.m_nCapacity = 0;
}

CString::~CString() {
  if (m_nCapacity != 0) free(m_pData);
}

CString& CString::operator=(const CString& other) {
  if (this != &other) Assign(other.m_pData, other.m_nLength);
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    if (m_nCapacity != 0) free(m_pData);
    m_pData = other.m_pData;
    m_nLength = other.m_nLength;
    m_nCapacity = other.m_nCapacity;
    other.m_pData = g_emptyText;
    other.m_nLength = 0;
    other.m_nCapacity = 0;
  }
  return *this;
}

CString& CString::operator=(const char* text) {
  if (text == nullptr) {
    Empty();
  } else if (text >= m_pData && text <= m_pData + m_nLength) {
    CString copy(text);  // part of ourselves
    *this = static_cast<CString&&>(copy);
  } else {
    Assign(text, static_cast<int>(strlen(text)));
  }
  return *this;
}

CString& CString::operator=(char ch) {
  Assign(&ch, 1);
  return *this;
}

void CString::Empty() {
  m_nLength = 0;
  m_pData[0] = 0;
}

void CString::Reserve(int capacity) {
  if (capacity <= m_nCapacity && m_nCapacity != 0) return;
  if (capacity < 0 || capacity > 0x7FFFFFF0) AfxThrowMemoryException();
  int grown = m_nCapacity + m_nCapacity / 2;
  int size = capacity > grown ? capacity : grown;
  if (size < 15) size = 15;
  char* data;
  if (m_nCapacity == 0) {
    data = static_cast<char*>(malloc(size + 1));
    if (data == nullptr) AfxThrowMemoryException();
    memcpy(data, m_pData, m_nLength + 1);
  } else {
    data = static_cast<char*>(realloc(m_pData, size + 1));
    if (data == nullptr) AfxThrowMemoryException();
  }
  m_pData = data;
  m_nCapacity = size;
}

void CString::Assign(const char* text, int length) {
  if (length <= 0) {
    Empty();
    return;
  }
  Reserve(length);
  memmove(m_pData, text, length);
  m_nLength = length;
  m_pData[length] = 0;
}

void CString::Append(const char* text, int length) {
  if (length <= 0) return;
  if (text >= m_pData && text < m_pData + m_nLength + 1) {
    CString copy(text, length);
    Append(copy.m_pData, length);
    return;
  }
  Reserve(m_nLength + length);
  memcpy(m_pData + m_nLength, text, length);
  m_nLength += length;
  m_pData[m_nLength] = 0;
}

CString& CString::operator+=(const CString& text) {
  Append(text.m_pData, text.m_nLength);
  return *this;
}

CString& CString::operator+=(const char* text) {
  if (text != nullptr) Append(text, static_cast<int>(strlen(text)));
  return *this;
}

CString& CString::operator+=(char ch) {
  Append(&ch, 1);
  return *this;
}

int CString::Compare(const char* text) const { return strcmp(m_pData, text ? text : ""); }

int CString::CompareNoCase(const char* text) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(m_pData);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(text ? text : "");
  for (;; ++a, ++b) {
    int ca = static_cast<unsigned char>(FoldAscii(static_cast<char>(*a)));
    int cb = static_cast<unsigned char>(FoldAscii(static_cast<char>(*b)));
    if (ca != cb) return ca - cb;
    if (ca == 0) return 0;
  }
}

CString CString::Left(int count) const {
  if (count < 0) count = 0;
  if (count > m_nLength) count = m_nLength;
  return CString(m_pData, count);
}

CString CString::Mid(int first) const { return Mid(first, m_nLength); }

CString CString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (first > m_nLength) first = m_nLength;
  if (count < 0) count = 0;
  if (count > m_nLength - first) count = m_nLength - first;
  return CString(m_pData + first, count);
}

CString CString::Right(int count) const {
  if (count < 0) count = 0;
  if (count > m_nLength) count = m_nLength;
  return CString(m_pData + m_nLength - count, count);
}

int CString::Find(char ch, int start) const {
  for (int i = start < 0 ? 0 : start; i < m_nLength; ++i) {
    if (m_pData[i] == ch) return i;
  }
  return -1;
}

int CString::Find(const char* text, int start) const {
  if (start < 0) start = 0;
  if (start > m_nLength) return -1;
  const char* hit = strstr(m_pData + start, text);
  return hit ? static_cast<int>(hit - m_pData) : -1;
}

int CString::ReverseFind(char ch) const {
  for (int i = m_nLength - 1; i >= 0; --i) {
    if (m_pData[i] == ch) return i;
  }
  return -1;
}

void CString::MakeUpper() {
  for (int i = 0; i < m_nLength; ++i) m_pData[i] = UpperAscii(m_pData[i]);
}

void CString::MakeLower() {
  for (int i = 0; i < m_nLength; ++i) m_pData[i] = FoldAscii(m_pData[i]);
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

CString& CString::TrimLeft() {
  int n = 0;
  while (n < m_nLength && IsBlank(m_pData[n])) ++n;
  if (n > 0) Delete(0, n);
  return *this;
}

CString& CString::TrimRight() {
  int n = m_nLength;
  while (n > 0 && IsBlank(m_pData[n - 1])) --n;
  Truncate(n);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Replace(char from, char to) {
  int count = 0;
  for (int i = 0; i < m_nLength; ++i) {
    if (m_pData[i] == from) {
      m_pData[i] = to;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* from, const char* to) {
  int fromLength = from ? static_cast<int>(strlen(from)) : 0;
  if (fromLength == 0) return 0;
  CString result;
  int count = 0;
  int pos = 0;
  for (;;) {
    int hit = Find(from, pos);
    if (hit < 0) break;
    result.Append(m_pData + pos, hit - pos);
    result += to;
    pos = hit + fromLength;
    ++count;
  }
  if (count != 0) {
    result.Append(m_pData + pos, m_nLength - pos);
    *this = static_cast<CString&&>(result);
  }
  return count;
}

int CString::Insert(int index, const char* text) {
  int length = text ? static_cast<int>(strlen(text)) : 0;
  if (index < 0) index = 0;
  if (index > m_nLength) index = m_nLength;
  if (length > 0) {
    CString result(m_pData, index);
    result.Append(text, length);
    result.Append(m_pData + index, m_nLength - index);
    *this = static_cast<CString&&>(result);
  }
  return m_nLength;
}

int CString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (index >= m_nLength || count <= 0) return m_nLength;
  if (count > m_nLength - index) count = m_nLength - index;
  memmove(m_pData + index, m_pData + index + count, m_nLength - index - count + 1);
  m_nLength -= count;
  return m_nLength;
}

void CString::Truncate(int length) {
  if (length >= 0 && length < m_nLength) {
    m_nLength = length;
    m_pData[length] = 0;
  }
}

void CString::FormatV(const char* format, va_list args) {
  CString result;
  int size = 128;
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    char* buffer = result.GetBuffer(size);
    int written = FormatTextV(buffer, size + 1, format, copy);
    va_end(copy);
    if (written >= 0 && written <= size) {
      result.ReleaseBuffer(written);
      break;
    }
    if (size >= 0x4000000) AfxThrowMemoryException();
    size *= 2;
  }
  *this = static_cast<CString&&>(result);
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  CString part;
  va_list args;
  va_start(args, format);
  part.FormatV(format, args);
  va_end(args);
  *this += part;
}

char* CString::GetBuffer(int minLength) {
  if (minLength < m_nLength) minLength = m_nLength;
  Reserve(minLength);
  return m_pData;
}

char* CString::GetBufferSetLength(int length) {
  GetBuffer(length);
  m_nLength = length < 0 ? 0 : length;
  m_pData[m_nLength] = 0;
  return m_pData;
}

void CString::ReleaseBuffer(int newLength) {
  if (m_nCapacity == 0) return;  // never asked for a buffer
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_pData, m_nCapacity));
  if (newLength > m_nCapacity) newLength = m_nCapacity;
  m_nLength = newLength;
  m_pData[newLength] = 0;
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, const char* b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const char* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}

bool operator==(const CString& a, const CString& b) {
  return a.GetLength() == b.GetLength() && memcmp(a.GetString(), b.GetString(), a.GetLength()) == 0;
}
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const char* b) { return !(a == b); }
bool operator!=(const char* a, const CString& b) { return !(b == a); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
