// The application object and its profile, and the program's string table.
#include "framework/App.h"

#include "framework/Seams.h"
#include "framework/TextFormat.h"
#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

HWND AfxGetMainHwnd() {
  return g_app && g_app->m_pMainWnd ? g_app->m_pMainWnd->GetSafeHwnd() : nullptr;
}

CString LoadResourceString(UINT id, const char* fallback) {
  char buffer[1024];
  const int length = LoadResourceString(id, buffer, sizeof buffer);
  return length > 0 ? CString(buffer, length) : CString(fallback);
}

int LoadResourceString(UINT id, char* out, int size) {
  if (size <= 0) return 0;
  const int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, out, size);
  if (length > 0) return length;
  out[0] = 0;
  return 0;
}

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

CRegKey CWinApp::OpenSection(const char* section, bool create) const {
  CRegKey key;
  if (!m_profileKey[0]) return key;
  char path[600];
  FormatText(path, sizeof path, "%s\\%s", m_profileKey, section);
  if (create)
    key.Create(HKEY_CURRENT_USER, path);
  else
    key.Open(HKEY_CURRENT_USER, path);
  return key;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
  DWORD value = 0;
  return OpenSection(section, false).QueryDWORD(entry, &value) ? value
                                                               : static_cast<UINT>(defaultValue);
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  return OpenSection(section, true).SetDWORD(entry, static_cast<DWORD>(value)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* section, const char* entry,
                                  const char* defaultValue) const {
  // Asked for its size first, so that a value of any length reads whole.
  const CRegKey key = OpenSection(section, false);
  DWORD type = 0, size = 0;
  if (key.QueryValue(entry, &type, nullptr, &size) && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    CString text;
    const bool read = key.QueryString(entry, text.GetBuffer(static_cast<int>(size) + 1), size + 1);
    text.ReleaseBuffer(read ? -1 : 0);
    if (read) return text;
  }
  return CString(defaultValue ? defaultValue : "");
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  CRegKey key = OpenSection(section, true);
  return (value ? key.SetString(entry, value) : key.DeleteValue(entry)) == ERROR_SUCCESS;
}
