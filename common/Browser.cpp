// The registered browser and opening addresses through it or the shell.
#include "common/Browser.h"

#include <windows.h>

#include "framework/App.h"
#include "framework/Registry.h"
#include "framework/Seams.h"

namespace {

// The program part of a browser command line: unquoted, lower-cased, cut
// after the first ".exe".
CString CutBrowserCommand(CString command) {
  command.Trim();
  while (!command.IsEmpty() && command[0] == '"') command = command.Mid(1);
  int quote = command.Find('"');
  if (quote >= 0) command = command.Left(quote);
  command.Trim();
  command.MakeLower();
  int exe = command.Find(".exe");
  if (exe >= 0) command = command.Left(exe + 4);
  return command;
}

CString DefaultValue(HKEY root, const char* path) {
  char buf[261];
  return CRegKey(root, path).QueryString(nullptr, buf, sizeof buf) ? CString(buf) : CString();
}

}  // namespace

CString GetBrowserPath() {
  CString verb = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell");
  if (verb.IsEmpty()) return CString();
  CString command = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell\\" + verb + "\\command");
  if (command.IsEmpty()) return CString();
  return CutBrowserCommand(command);
}

CString GetBrowserOpenCommand() {
  CString command = DefaultValue(HKEY_CLASSES_ROOT, "HTTP\\shell\\open\\command");
  return command.IsEmpty() ? CString() : CutBrowserCommand(command);
}

bool OpenUrl(const char* address) {
  // The browser of the default verb, then the one of "open", then whatever
  // the shell itself makes of the address.
  CString browser = GetBrowserPath();
  if (!browser.IsEmpty() &&
      LwShellExecute(AfxGetMainHwnd(), "open", browser, address, nullptr, SW_SHOW) > 32)
    return true;
  browser = GetBrowserOpenCommand();
  if (!browser.IsEmpty() &&
      LwShellExecute(AfxGetMainHwnd(), "open", browser, address, nullptr, SW_SHOW) > 32)
    return true;
  return LwShellExecute(AfxGetMainHwnd(), "open", address, nullptr, nullptr, SW_SHOW) > 32;
}
