/* A stand-in for the programs the installer starts: Windows' rundll32.exe
   beside the installer, and the saver it carries. Appends one line,
   "<its own file>|<its command line>", to the file that LW_PROBE_LOG
   names, and ends. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  char log[MAX_PATH], module[MAX_PATH], line[3 * MAX_PATH];
  const char* commandLine = GetCommandLineA();
  HANDLE file;
  DWORD written = 0;
  int tries;
  if (!GetEnvironmentVariableA("LW_PROBE_LOG", log, sizeof log)) return 2;
  if (!GetModuleFileNameA(NULL, module, sizeof module)) return 3;
  if (lstrlenA(module) + lstrlenA(commandLine) + 3 > (int)sizeof line) return 4;
  lstrcpyA(line, module);
  lstrcatA(line, "|");
  lstrcatA(line, commandLine);
  lstrcatA(line, "\n");
  /* The test reads the log while it waits, without sharing writes: try
     again for a while. */
  for (tries = 0; tries < 250; ++tries) {
    file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
    Sleep(20);
  }
  if (file == INVALID_HANDLE_VALUE) return 5;
  WriteFile(file, line, lstrlenA(line), &written, NULL);
  CloseHandle(file);
  return 0;
}
