// The registry key: opening, typed reads and writes.
#include "framework/Registry.h"

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept {
  if (this != &other) {
    Close();
    m_key = other.m_key;
    other.m_key = nullptr;
  }
  return *this;
}

LONG CRegKey::Open(HKEY parent, const char* path, REGSAM access) {
  Close();
  HKEY key = nullptr;
  const LONG r = ::RegOpenKeyExA(parent, path, 0, access, &key);
  if (r == ERROR_SUCCESS) m_key = key;
  return r;
}

LONG CRegKey::Create(HKEY parent, const char* path, REGSAM access) {
  Close();
  HKEY key = nullptr;
  const LONG r = ::RegCreateKeyExA(parent, path, 0, nullptr, 0, access, nullptr, &key, nullptr);
  if (r == ERROR_SUCCESS) m_key = key;
  return r;
}

void CRegKey::Close() {
  if (m_key) ::RegCloseKey(m_key);
  m_key = nullptr;
}

bool CRegKey::QueryValue(const char* name, DWORD* type, void* data, DWORD* size) const {
  return m_key && ::RegQueryValueExA(m_key, name, nullptr, type, static_cast<BYTE*>(data),
                                     size) == ERROR_SUCCESS;
}

bool CRegKey::QueryDWORD(const char* name, DWORD* value) const {
  DWORD type = 0, stored = 0, size = sizeof stored;
  if (!QueryValue(name, &type, &stored, &size) || type != REG_DWORD || size != sizeof stored)
    return false;
  *value = stored;
  return true;
}

bool CRegKey::QueryString(const char* name, char* out, DWORD size) const {
  if (size == 0) return false;
  // A stored string need not end in a NUL: one that fills the buffer must.
  DWORD type = 0, bytes = size;
  if (!QueryValue(name, &type, out, &bytes) || (type != REG_SZ && type != REG_EXPAND_SZ) ||
      (bytes == size && out[size - 1] != 0)) {
    out[0] = 0;
    return false;
  }
  out[bytes < size ? bytes : size - 1] = 0;
  return true;
}

LONG CRegKey::SetDWORD(const char* name, DWORD value) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

LONG CRegKey::SetString(const char* name, const char* value) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(lstrlenA(value) + 1));
}

LONG CRegKey::DeleteValue(const char* name) {
  if (!m_key) return ERROR_INVALID_HANDLE;
  return ::RegDeleteValueA(m_key, name);
}
