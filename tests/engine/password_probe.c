/* A stand-in for the system's screen-saver password library: its
   VerifyScreenSavePwd answers what the environment variable
   LW_PASSWORD_ANSWER says ("1": the right password was typed), counts its
   calls and the window it was asked for, and, when LW_PASSWORD_LOG names a
   file, adds a line to it for each call (for a test that loads it into a
   saver of its own). */
#include <windows.h>

static LONG calls;
static HWND lastWindow;

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  char answer[8] = "", log[MAX_PATH] = "";
  ++calls;
  lastWindow = window;
  GetEnvironmentVariableA("LW_PASSWORD_ANSWER", answer, sizeof answer);
  if (GetEnvironmentVariableA("LW_PASSWORD_LOG", log, sizeof log)) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD put;
      WriteFile(file, "asked\n", 6, &put, NULL);
      CloseHandle(file);
    }
  }
  return answer[0] == '1';
}

__declspec(dllexport) LONG ProbeCalls(void) { return calls; }
__declspec(dllexport) HWND ProbeLastWindow(void) { return lastWindow; }
