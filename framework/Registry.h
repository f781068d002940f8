// CRegKey: an open registry key, closed on every path. Reads check the
// stored type and size and say whether they found a value of the kind
// asked for; a string read always ends in a NUL within the caller's
// buffer.
#pragma once

#include <windows.h>

class CRegKey {
 public:
  CRegKey() = default;
  // Opens path under parent for reading; IsOpen() tells whether it did.
  CRegKey(HKEY parent, const char* path) { Open(parent, path); }
  ~CRegKey() { Close(); }
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;
  CRegKey(CRegKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }
  CRegKey& operator=(CRegKey&& other) noexcept;

  // Both close the key held before; they return the Win32 result.
  LONG Open(HKEY parent, const char* path, REGSAM access = KEY_READ);
  LONG Create(HKEY parent, const char* path, REGSAM access = KEY_READ | KEY_WRITE);
  void Close();

  bool IsOpen() const { return m_key != nullptr; }
  explicit operator bool() const { return m_key != nullptr; }
  HKEY GetHandle() const { return m_key; }

  // The value as stored: *type and *size (bytes, in: the buffer's) as
  // RegQueryValueEx gives them. False when absent, unreadable or larger
  // than the buffer.
  bool QueryValue(const char* name, DWORD* type, void* data, DWORD* size) const;
  // A REG_DWORD of four bytes.
  bool QueryDWORD(const char* name, DWORD* value) const;
  // A REG_SZ or REG_EXPAND_SZ (not expanded), copied into out (size bytes,
  // at least 1) and terminated; out is empty when false.
  bool QueryString(const char* name, char* out, DWORD size) const;

  LONG SetDWORD(const char* name, DWORD value);
  LONG SetString(const char* name, const char* value);
  LONG DeleteValue(const char* name);

 private:
  HKEY m_key = nullptr;
};
