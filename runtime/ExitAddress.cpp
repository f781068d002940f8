// The system's class, the test of a web address, and the opening of the
// saver's exit address through the browser or the shell.
#include "runtime/ExitAddress.h"

#include <windows.h>

#include <cstring>

#include "common/Browser.h"
#include "common/Paths.h"
#include "common/SystemInfo.h"
#include "framework/Seams.h"

int OsClassOfWindowsKind(int kind) {
  // GetWindowsKind tells 2000 (4) from XP and 2003 (5); both are NT 5.
  return kind == 5 ? 4 : (kind >= 1 && kind <= 4 ? kind : 0);
}

int GetOsClass() { return OsClassOfWindowsKind(GetWindowsKind()); }

bool IsWebAddress(const char* address) {
  if (!address) return false;
  const int skip = ::_strnicmp(address, "http://", 7) == 0    ? 7
                   : ::_strnicmp(address, "https://", 8) == 0 ? 8
                                                              : 0;
  if (!skip || !address[skip]) return false;
  for (const char* p = address; *p; ++p)
    if (*p == '"' || static_cast<unsigned char>(*p) < 32 || *p == 127) return false;
  return true;
}

namespace {

// Starts the browser with the address as its one argument and waits until
// the browser has ended.
bool OpenInBrowserAndWait(const char* address) {
  CString browser = GetBrowserPath();
  if (browser.IsEmpty() || !FileExists(browser)) browser = GetBrowserOpenCommand();
  if (browser.IsEmpty() || !FileExists(browser)) return false;
  // Quoted, so that an address with blanks stays one argument.
  const CString parameters = CString("\"") + address + "\"";
  const CString folder = GetFileDirectory(browser);
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
  info.lpVerb = "open";
  info.lpFile = browser;
  info.lpParameters = parameters;
  info.lpDirectory = folder.IsEmpty() ? nullptr : static_cast<const char*>(folder);
  info.nShow = SW_SHOWNORMAL;
  if (!LwShellExecuteEx(&info)) return false;
  if (info.hProcess) {
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hProcess);
  }
  return true;
}

}  // namespace

bool OpenExitAddress(const char* address, int osClass) {
  // A document chooses the address: nothing but a web address reaches the
  // shell, never a program or a file.
  if (!IsWebAddress(address)) return false;
  if (osClass == 4) return OpenInBrowserAndWait(address);
  return LwShellExecute(nullptr, "open", address, nullptr, nullptr, SW_SHOWNOACTIVATE) > 32;
}
