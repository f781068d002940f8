// The builder's settings in the application's profile.
#include "builder/controls/Settings.h"

#include <shlobj.h>

#include "common/AppUtils.h"
#include "framework/App.h"

CString GetMyDocumentsPath() { return GetSpecialFolderPath(CSIDL_PERSONAL); }

int GetSettingsInt(const char* entry, int defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? static_cast<int>(app->GetProfileInt("Settings", entry, defaultValue)) : defaultValue;
}

void WriteSettingsInt(const char* entry, int value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt("Settings", entry, value);
}

CString GetSettingsFolder(const char* entry) {
  const CString documents = GetMyDocumentsPath();
  CWinApp* app = AfxGetApp();
  if (!app) return documents;
  char text[MAX_PATH] = "";
  app->GetProfileString("Settings", entry, documents, text, sizeof text);
  return text;
}

void WriteSettingsString(const char* entry, const char* value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileString("Settings", entry, value);
}
