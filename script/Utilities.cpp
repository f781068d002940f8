// The dialog-free script utilities that the saver runtime shares with the
// builder.
#include "script/Utilities.h"

#include <shellapi.h>

#include <cstring>

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
