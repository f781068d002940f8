// The rules for the names and files of a saver to be made.
#include "builder/controls/OutputNames.h"

#include <cstring>

#include "common/AppUtils.h"

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
