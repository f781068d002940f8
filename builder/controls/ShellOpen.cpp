// The program's folder, and what the shell opens for the builder.
#include "builder/controls/ShellOpen.h"

#include <shellapi.h>

#include "framework/App.h"
#include "framework/Seams.h"

CString GetProgramFolder() {
  char path[MAX_PATH] = "";
  const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return CString();
  CString folder(path);
  return folder.Left(folder.ReverseFind('\\') + 1);
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
