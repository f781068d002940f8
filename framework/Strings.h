// CString: single-byte text. It holds bytes (a NUL inside is kept), always
// keeps a terminating NUL after its length, and formats with the C runtime's
// printf rules. Out of memory throws the framework's memory exception.
#pragma once

#include <cstdarg>

class CString {
 public:
  CString() noexcept;
  CString(const char* text);  // NOLINT: converts like the framework's
  CString(const char* text, int length);
  CString(char ch, int repeat = 1);
  CString(const CString& other);
  CString(CString&& other) noexcept;
  ~CString();

  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const char* text);
  CString& operator=(char ch);

  int GetLength() const { return m_nLength; }
  bool IsEmpty() const { return m_nLength == 0; }
  void Empty();

  operator const char*() const { return m_pData; }
  const char* GetString() const { return m_pData; }
  char GetAt(int index) const { return m_pData[index]; }
  char operator[](int index) const { return m_pData[index]; }
  void SetAt(int index, char ch) { m_pData[index] = ch; }

  CString& operator+=(const CString& text);
  CString& operator+=(const char* text);
  CString& operator+=(char ch);
  void Append(const char* text, int length);

  // Byte-wise comparisons; the NoCase one folds ASCII letters only.
  int Compare(const char* text) const;
  int CompareNoCase(const char* text) const;

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  int Find(char ch, int start = 0) const;
  int Find(const char* text, int start = 0) const;
  int ReverseFind(char ch) const;

  void MakeUpper();
  void MakeLower();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();
  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);
  void Truncate(int length);

  void Format(const char* format, ...);
  void FormatV(const char* format, va_list args);
  void AppendFormat(const char* format, ...);

  // Direct access to at least minLength bytes; ReleaseBuffer(-1) takes the
  // length up to the first NUL.
  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

 private:
  void Reserve(int capacity);
  void Assign(const char* text, int length);

  char* m_pData;
  int m_nLength;
  int m_nCapacity;  // 0 while m_pData is the shared empty text
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
