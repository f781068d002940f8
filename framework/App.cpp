// The application object and its profile.
#include "framework/App.h"

#include "framework/Seams.h"
#include "framework/TextFormat.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWinApp::CWinApp(const char* appName) {
  g_app = this;
  m_bAutoDelete = false;
  if (appName) {
    lstrcpynA(m_appName, appName, sizeof m_appName);
    lstrcpynA(m_profileName, appName, sizeof m_profileName);
    SetAppCaption(appName);
  }
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
  m_hThread = nullptr;  // the main thread's handle is not ours
}

void CWinApp::SetRegistryKey(const char* key) {
  lstrcpynA(m_registryKey, key, sizeof m_registryKey);
  FormatText(m_profileKey, sizeof m_profileKey, "Software\\%s\\%s", m_registryKey,
             m_profileName);
}

void CWinApp::SetProfileName(const char* name) {
  lstrcpynA(m_profileName, name, sizeof m_profileName);
  if (m_registryKey[0]) SetRegistryKey(m_registryKey);
}

HKEY CWinApp::OpenSection(const char* section, bool create) const {
  if (!m_profileKey[0]) return nullptr;
  char path[600];
  FormatText(path, sizeof path, "%s\\%s", m_profileKey, section);
  HKEY key = nullptr;
  LONG r = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                  : ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
  return r == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
  HKEY key = OpenSection(section, false);
  if (!key) return static_cast<UINT>(defaultValue);
  DWORD type = 0, value = 0, size = sizeof value;
  LONG r = ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
    return static_cast<UINT>(defaultValue);
  return value;
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  HKEY key = OpenSection(section, true);
  if (!key) return false;
  DWORD v = static_cast<DWORD>(value);
  LONG r = ::RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  ::RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

int CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue,
                              char* out, int size) const {
  if (size <= 0) return 0;
  out[0] = 0;
  HKEY key = OpenSection(section, false);
  DWORD type = 0, bytes = static_cast<DWORD>(size - 1);
  LONG r = key ? ::RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(out),
                                    &bytes)
               : ERROR_FILE_NOT_FOUND;
  if (key) ::RegCloseKey(key);
  if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    lstrcpynA(out, defaultValue ? defaultValue : "", size);
    return lstrlenA(out);
  }
  out[bytes < static_cast<DWORD>(size) ? bytes : size - 1] = 0;
  return lstrlenA(out);
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  HKEY key = OpenSection(section, true);
  if (!key) return false;
  LONG r = value ? ::RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                    static_cast<DWORD>(lstrlenA(value) + 1))
                 : ::RegDeleteValueA(key, entry);
  ::RegCloseKey(key);
  return r == ERROR_SUCCESS;
}
