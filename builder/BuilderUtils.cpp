// Builder-only helpers: output names, identifiers, icon files, the build
// code and mail.
#include "builder/BuilderUtils.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/Seams.h"
#include "framework/Wnd.h"

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

bool IsOutputNameFree(const char* base, int kind) {
  CString b(base);
  if (FileExists(b + ".scr") || FileExists(b + ".exe")) return false;
  const char* extra = kind == 1 ? ".ssd" : kind == 2 ? ".kvd" : kind == 3 ? ".fsd" : nullptr;
  return !(extra && FileExists(b + extra));
}

bool IsIdentifier(const char* text) {
  for (const char* p = text; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool IsFileNameComponent(const char* name) {
  if (!name || !*name) return false;
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 32 || std::strchr("\\/:*?\"<>|", c)) return false;
  }
  const char last = name[std::strlen(name) - 1];
  if (last == '.' || last == ' ') return false;
  // A device's name stays the device before any extension ("aux.txt").
  CString stem(name);
  const int dot = stem.Find('.');
  if (dot >= 0) stem = stem.Left(dot);
  stem.MakeUpper();
  for (const char* device : {"CON", "PRN", "AUX", "NUL"})
    if (stem == device) return false;
  return !(stem.GetLength() == 4 && (stem.Left(3) == "COM" || stem.Left(3) == "LPT") && stem[3] >= '0' &&
           stem[3] <= '9');
}

CString FileNameRefusal(const char* kind) {
  CString text;
  text.Format("The screen saver name must be a valid %s name: it cannot contain \\ / : * ? \" < > |, "
              "end in a dot or a space, or be a device name such as CON or NUL",
              kind);
  return text;
}

bool IsIconFile(HINSTANCE instance, const char* path) {
  HANDLE h = LoadImageA(instance, path, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_LOADFROMFILE);
  if (h) {
    DestroyIcon(static_cast<HICON>(h));
    return true;
  }
  h = LoadImageA(instance, path, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_LOADFROMFILE);
  if (h) {
    DestroyCursor(static_cast<HCURSOR>(h));
    return true;
  }
  return false;
}

CString FormatBuildDate(const char* date) {
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (strncmp(date, kMonths + 3 * m, 3) == 0) month = m + 1;
  int length = lstrlenA(date);
  int day = length > 4 ? atoi(date + 4) : 0;
  int year = length > 6 ? atoi(date + 6) : 0;
  CString code;
  code.Format("%02d%02d%02d", year - 2000, month, day);
  return code;
}

bool SendMail(const char* address, const char* subject) {
  CString target;
  target.Format("mailto:%s?subject=%s", address, subject);
  return LwShellExecute(AfxGetMainHwnd(), "open", target, nullptr, nullptr, SW_SHOW) > 32;
}

void OpenInShell(const char* file, int show) {
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = AfxGetMainHwnd();
  info.lpFile = file;
  info.nShow = show;
  LwShellExecuteEx(&info);
}
