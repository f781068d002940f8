// The dialog-free script utilities.
#include "script/Utilities.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "framework/Collections.h"
#include "imaging/RgbImage.h"
#include "script/DataBlock.h"
#include "script/ScriptMessages.h"

const char kCannotReadDataMessage[] = "\nCannot be read data.";
const char kCannotMakeDataMessage[] = "It cannot be made data file.";

int ReadWholeFile(const char* path, uint8_t** block, uint32_t* size, bool showMessage) {
  *block = nullptr;
  *size = 0;
  // Others may read the file meanwhile (a virus scanner, the saver's
  // picture files being looked at): only writers are kept out.
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = false;
  uint8_t* data = nullptr;
  DWORD length = 0;
  if (file != INVALID_HANDLE_VALUE) {
    LARGE_INTEGER fileSize;
    if (GetFileSizeEx(file, &fileSize) && fileSize.QuadPart < 0x7FFFFFFF) {
      length = static_cast<DWORD>(fileSize.QuadPart);
      data = AllocDataBlock(length);
      DWORD read = 0;
      ok = length == 0 || (data != nullptr && ReadFile(file, data, length, &read, nullptr) &&
                           read == length);
    }
    CloseHandle(file);
  }
  if (!ok) {
    FreeDataBlock(data);
    if (showMessage) {
      CString text(path);
      text += kCannotReadDataMessage;
      ShowScriptMessage(text, kScriptMessageError);
    }
    return 0;
  }
  *block = data;
  *size = length;
  return 1;
}

int WriteTempFile(const uint8_t* bytes, uint32_t count, CString& path) {
  char folder[MAX_PATH];
  char name[MAX_PATH];
  bool named = GetTempPathA(MAX_PATH, folder) != 0 && GetTempFileNameA(folder, "Ssd", 0, name) != 0;
  bool ok = false;
  if (named) {
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ok = count == 0 || (WriteFile(file, bytes, count, &written, nullptr) && written == count);
      ok = CloseHandle(file) && ok;
    }
  }
  if (!ok) {
    if (named) DeleteFileA(name);
    ShowScriptMessage(kCannotMakeDataMessage, kScriptMessageError);
    return 0;
  }
  path = name;
  return 1;
}

CString FirstNonEmptyLine(const CString& text) {
  CStringArray lines;
  SplitTextLines(text, lines);
  for (int i = 0; i < lines.GetSize(); ++i) {
    if (!lines[i].IsEmpty()) return lines[i];
  }
  return lines.IsEmpty() ? CString() : lines[lines.GetSize() - 1];
}


void TruncateTextToWidth(HDC dc, CString& text, int& x) {
  const int kLimit = 29980;
  const char kMark[] = "  >>";
  const int markWidth = GetTextExtentOf(dc, kMark, 4).cx;
  const int maxX = kLimit - 20 * GetTextExtentOf(dc, "W", 1).cx - markWidth;
  if (x > maxX) x = maxX;
  if (x + GetTextExtentOf(dc, text, text.GetLength()).cx <= kLimit) return;
  int room = kLimit - x - markWidth;
  int fit = 0;
  SIZE size;
  if (room > 0) GetTextExtentExPointA(dc, text, text.GetLength(), room, &fit, nullptr, &size);
  text = text.Left(fit) + kMark;
}

SIZE FitToBoxKeepAspect(int w, int h, SIZE box) { return FitSizeKeepAspect(w, h, box); }

bool ParseFloatText(const char* text, const char* unit, float* value) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  char* end = nullptr;
  double number = strtod(p, &end);
  if (end == p) return false;
  if (number == 0.0 && *p != '0') return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != 0) {
    size_t unitLength = unit != nullptr ? strlen(unit) : 0;
    if (unitLength == 0 || strncmp(end, unit, unitLength) != 0) return false;
    end += unitLength;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != 0) return false;
  }
  *value = static_cast<float>(number);
  return true;
}

bool IsRiskySaverName(const char* name) {
  return name != nullptr && (name[0] == 's' || name[0] == 'S') &&
         (name[1] == 's' || name[1] == 'S');
}

CString GetShellDisplayName(const char* path) {
  SHFILEINFOA info;
  memset(&info, 0, sizeof(info));
  if (SHGetFileInfoA(path, 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
    return info.szDisplayName;
  CString name(path);
  int slash = name.ReverseFind('\\');
  int other = name.ReverseFind('/');
  if (other > slash) slash = other;
  return name.Mid(slash + 1);
}
