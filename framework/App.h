// CWinApp: the one application object of a program, its start-up through
// the framework's WinMain, its message loop on the main thread, and its
// profile (registry settings under HKEY_CURRENT_USER).
#pragma once

#include <windows.h>

#include "framework/Registry.h"
#include "framework/Strings.h"
#include "framework/Thread.h"

class CWinApp : public CWinThread {
 public:
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  // The main thread's loop does not delete the application object.
  void Delete() override {}

  // Settings go to HKEY_CURRENT_USER\Software\<key>\<profile name>.
  void SetRegistryKey(const char* key);
  void SetProfileName(const char* name);
  const char* GetAppName() const { return m_appName; }
  const char* GetProfileKey() const { return m_profileKey; }  // Software\<key>\<name>

  UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
  bool WriteProfileInt(const char* section, const char* entry, int value);
  // The value, or the default when there is none (or it is no string).
  CString GetProfileString(const char* section, const char* entry,
                           const char* defaultValue = "") const;
  bool WriteProfileString(const char* section, const char* entry, const char* value);

  // Called by WinMain with the system's ANSI arguments: the ones the
  // program works with (a document program takes names outside the code
  // page from the wide command line).
  virtual const char* TakeArguments(const char* ansi) { return ansi; }

  HINSTANCE m_hInstance = nullptr;
  const char* m_lpCmdLine = "";
  int m_nCmdShow = SW_SHOWNORMAL;

 private:
  CRegKey OpenSection(const char* section, bool create) const;

  char m_appName[128] = "";
  char m_registryKey[128] = "";
  char m_profileName[128] = "";
  char m_profileKey[400] = "";
};

// The application object; null before it is constructed.
CWinApp* AfxGetApp();
// The application's main window; null when there is none.
HWND AfxGetMainHwnd();

// The text of a string of the program's string table; the fallback when
// there is none.
CString LoadResourceString(UINT id, const char* fallback = "");
// The same into out (size bytes, at least 1): its length, or 0 with out
// empty when there is none.
int LoadResourceString(UINT id, char* out, int size);
