/* A stand-in web browser for the saver tests: appends its arguments, one per
 * line after a line "argc=<n>", to the file named by LW_URL_RECORD, then,
 * when LW_URL_HOLD names an event, stays until that event is set (at most
 * 30 seconds), so that a test can see whether the saver waits for it. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  char path[MAX_PATH], hold[128];
  DWORD n = GetEnvironmentVariableA("LW_URL_RECORD", path, sizeof path);
  if (n == 0 || n >= sizeof path) return 2;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 3;
  char line[4096];
  DWORD put = 0;
  int length = snprintf(line, sizeof line, "argc=%d\n", argc);
  WriteFile(file, line, (DWORD)length, &put, NULL);
  for (int i = 1; i < argc; ++i) {
    length = snprintf(line, sizeof line, "%s\n", argv[i]);
    if (length > 0 && length < (int)sizeof line) WriteFile(file, line, (DWORD)length, &put, NULL);
  }
  CloseHandle(file);
  n = GetEnvironmentVariableA("LW_URL_HOLD", hold, sizeof hold);
  if (n > 0 && n < sizeof hold) {
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, hold);
    if (event) {
      WaitForSingleObject(event, 30000);
      CloseHandle(event);
    }
  }
  return 0;
}
