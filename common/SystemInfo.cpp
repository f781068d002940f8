// The screen size, the Windows kind, Internet Explorer and the active
// desktop.
#include "common/SystemInfo.h"

#include "framework/Registry.h"

CSize GetScreenSize() {
  HDC screen = GetDC(nullptr);
  CSize size(GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES));
  ReleaseDC(nullptr, screen);
  return size;
}

int GetWindowsKind() {
  OSVERSIONINFOA vi = {};
  vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&vi)) return 0;
#pragma GCC diagnostic pop
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    if (vi.dwMajorVersion == 5) return vi.dwMinorVersion == 0 ? 4 : 5;
    if (vi.dwMajorVersion > 5) return 0;
    return 3;
  }
  if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
    return vi.dwMajorVersion > 4 || (vi.dwMajorVersion == 4 && vi.dwMinorVersion != 0) ? 2 : 1;
  return 0;
}

bool IsInternetExplorerInstalled() {
  // A version value of any type will do.
  char version[30];
  DWORD type = 0, size = sizeof version;
  return CRegKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer")
      .QueryValue("Version", &type, version, &size);
}

bool IsActiveDesktopOn(bool useSettings) {
  if (!useSettings) {
    HWND progman = FindWindowA("ProgMan", "Program Manager");
    HWND view = progman ? FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr) : nullptr;
    return view && FindWindowExA(view, nullptr, "Internet Explorer_Server", nullptr);
  }
  if (!IsInternetExplorerInstalled()) return false;
  HMODULE shell = LoadLibraryA("shell32.dll");
  if (!shell) return false;
  using GetSettings = void(WINAPI*)(void* state, DWORD mask);
  auto get = reinterpret_cast<GetSettings>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetSettings")));
  bool on = false;
  if (get) {
    unsigned char state[16] = {};
    get(state, 0x00000200 /* SSF_DESKTOPHTML */);
    on = (state[0] & 0x40) != 0;
  }
  FreeLibrary(shell);
  return on;
}
