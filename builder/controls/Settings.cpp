// The builder's settings in the application's profile.
#include "builder/controls/Settings.h"

#include <shlobj.h>

#include "common/Paths.h"
#include "framework/App.h"

CString GetMyDocumentsPath() { return GetSpecialFolderPath(CSIDL_PERSONAL); }

const char kSettingsSection[] = "Settings";

int GetSettingsInt(const char* entry, int defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? static_cast<int>(app->GetProfileInt(kSettingsSection, entry, defaultValue))
             : defaultValue;
}

void WriteSettingsInt(const char* entry, int value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kSettingsSection, entry, value);
}

CString GetSettingsString(const char* entry, const char* defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? app->GetProfileString(kSettingsSection, entry, defaultValue) : CString(defaultValue);
}

void WriteSettingsString(const char* entry, const char* value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileString(kSettingsSection, entry, value);
}

CString GetSettingsFolder(const char* entry) {
  return GetSettingsString(entry, GetMyDocumentsPath());
}
