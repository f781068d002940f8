/* A stand-in for the system's screen-saver password library: its
   VerifyScreenSavePwd answers what the environment variable
   LW_PASSWORD_ANSWER says ("1": the right password was typed) and counts
   its calls and the window it was asked for. */
#include <windows.h>

static LONG calls;
static HWND lastWindow;

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  char answer[8] = "";
  ++calls;
  lastWindow = window;
  GetEnvironmentVariableA("LW_PASSWORD_ANSWER", answer, sizeof answer);
  return answer[0] == '1';
}

__declspec(dllexport) LONG ProbeCalls(void) { return calls; }
__declspec(dllexport) HWND ProbeLastWindow(void) { return lastWindow; }
