// The engine's windows and the rules of the saver window.
#include "engine/EngineWnd.h"

#include "engine/MovieFile.h"
#include "engine/resource.h"
#include "framework/App.h"
#include "framework/Registry.h"

SaverSettings ReadSaverSettings() {
  SaverSettings settings;
  const CRegKey key(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers");
  if (!key) return settings;
  auto read = [&key](const char* name, int* value) {
    DWORD type = 0, size = 4;
    int number = 0;
    if (key.QueryValue(name, &type, &number, &size) && size == 4 && number >= 0) *value = number;
  };
  read("Password Delay", &settings.passwordDelay);
  read("Mouse Threshold", &settings.mouseThreshold);
  return settings;
}

bool HasMouseMoved(POINT reference, POINT cursor, int threshold) {
  const long dx = cursor.x - reference.x, dy = cursor.y - reference.y;
  return (dx < 0 ? -dx : dx) > threshold || (dy < 0 ? -dy : dy) > threshold;
}

bool PasswordDelayPassed(int delaySeconds, DWORD elapsed) {
  return static_cast<unsigned long long>(delaySeconds) * 1000 < elapsed;
}

RECT GetVirtualScreenRect() {
  RECT r;
  if (::GetSystemMetrics(SM_CMONITORS) != 0) {
    r.left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    r.top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    r.right = r.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    r.bottom = r.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  } else {
    r.left = r.top = 0;
    r.right = ::GetSystemMetrics(SM_CXSCREEN);
    r.bottom = ::GetSystemMetrics(SM_CYSCREEN);
  }
  return r;
}

namespace {

bool IsNtPlatform() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
}

// A library loaded for one call and freed again.
class CLoadedLibrary {
 public:
  explicit CLoadedLibrary(const char* name) : m_module(::LoadLibraryA(name)) {}
  ~CLoadedLibrary() {
    if (m_module) ::FreeLibrary(m_module);
  }
  CLoadedLibrary(const CLoadedLibrary&) = delete;
  CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;
  void* Find(const char* name) const {
    return m_module ? reinterpret_cast<void*>(::GetProcAddress(m_module, name)) : nullptr;
  }

 private:
  HMODULE m_module;
};

}  // namespace

bool VerifySaverPasswordWith(HWND window, bool ntPlatform, const char* library) {
  if (ntPlatform) return true;
  const CLoadedLibrary cpl(library);
  using Verify = BOOL(WINAPI*)(HWND);
  const Verify verify = reinterpret_cast<Verify>(cpl.Find("VerifyScreenSavePwd"));
  return !verify || verify(window) != FALSE;
}

bool VerifySaverPassword(HWND window) {
  return VerifySaverPasswordWith(window, IsNtPlatform(), "PASSWORD.CPL");
}

void ChangeSaverPassword(HWND owner) {
  const CLoadedLibrary mpr("MPR.DLL");
  using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  const Change change = reinterpret_cast<Change>(mpr.Find("PwdChangePasswordA"));
  if (change) change("SCRSAVE", owner, 0, nullptr);
}

// ---------------------------------------------------------------------------

bool CEngineWnd::Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect,
                        HWND parent, UINT id) {
  const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ENGINE));
  const char* cls = RegisterWndClass(CS_VREDRAW | CS_HREDRAW, nullptr,
                                     static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)), icon);
  return cls && CreateEx(exStyle, cls, title, style, rect, parent, id);
}

void CEngineWnd::OnPaint() {
  ::ValidateRect(m_hWnd, nullptr);
}

void CEngineWnd::OnDestroy() {
  ::PostQuitMessage(0);
  Default();
}

void CEngineWnd::PostNcDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  if (m_autoDelete) delete this;
}

// ---------------------------------------------------------------------------

CMovieSaverWnd::CMovieSaverWnd(int* failure, bool autoDelete)
    : CEngineWnd(autoDelete), m_failure(failure) {
  GetTempMoviePath(m_moviePath, sizeof m_moviePath);
  if (!GetOwnProgramPath(m_sourcePath, sizeof m_sourcePath)) m_sourcePath[0] = 0;
}

CMovieSaverWnd::~CMovieSaverWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  RemoveMovie();
}

void CMovieSaverWnd::SetSourcePath(const char* path) {
  lstrcpynA(m_sourcePath, path, sizeof m_sourcePath);
}

bool CMovieSaverWnd::Create() {
  CWinApp* app = AfxGetApp();
  return CEngineWnd::Create(WS_EX_TOPMOST, app ? app->GetAppName() : "", WS_POPUP | WS_VISIBLE,
                            GetVirtualScreenRect(), nullptr, 0);
}

void CMovieSaverWnd::Fail(int code) {
  if (m_failure) *m_failure = code;
  RemoveMovie();
  if (m_spiSet) ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  m_spiSet = false;
}

void CMovieSaverWnd::RemoveMovie() {
  if (m_movieWritten) ::DeleteFileA(m_moviePath);
  m_movieWritten = false;
}

int CMovieSaverWnd::OnCreate(CREATESTRUCTA* cs) {
  m_passwordDialogUp = 0;
  m_closing = 0;
  if (Default() == -1) {
    Fail(kExitCannotPlay);
    return -1;
  }
  ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  m_spiSet = true;
  ::GetCursorPos(&m_reference);
  m_startTick = ::GetTickCount();
  m_settings = ReadSaverSettings();
  // The movie is copied before the control is made, so that a movie that
  // is missing or damaged ends the saver before anything shows.
  int failure = m_sourcePath[0] ? ExtractMovie(m_sourcePath, m_moviePath) : kExitNoMovie;
  m_movieWritten = failure == 0;
  if (failure == 0 && !StartMovie(&failure)) {
    if (failure == 0) failure = kExitCannotPlay;
  }
  if (failure != 0) {
    Fail(failure);
    return -1;
  }
  return 0;
}

bool CMovieSaverWnd::StartMovie(int* failure) {
  const CRect client = GetClientRect();
  if (!m_flash.Create(m_hWnd, client, kFlashControlId, WS_CHILD | WS_VISIBLE | WS_DISABLED)) {
    *failure = kExitCannotPlay;
    return false;
  }
  m_flash.MoveWindow(0, 0, client.Width(), client.Height());
  m_flash.SetMenu(FALSE);
  m_flash.SetMovie(m_moviePath);
  // The control reads the movie when it is set: a movie without frames is
  // one it could not read.
  if (m_flash.GetTotalFrames() <= 0) {
    *failure = kExitDamagedMovie;
    return false;
  }
  m_flash.Play();
  return true;
}

void CMovieSaverWnd::PostCloseRequest() {
  m_closing = 1;
  PostMessage(WM_CLOSE);
}

LRESULT CMovieSaverWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SYSCOMMAND: {
      const UINT command = static_cast<UINT>(wp) & 0xFFF0;
      if (command == SC_SCREENSAVE || command == SC_CLOSE) return 0;
      break;
    }
    case WM_SETCURSOR:
      ::SetCursor(m_passwordDialogUp ? ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)) : nullptr);
      return TRUE;
    case WM_NCACTIVATE:
      if (!wp && !m_passwordDialogUp) return FALSE;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE && !m_passwordDialogUp) PostCloseRequest();
      break;
    case WM_ACTIVATEAPP:
      if (!wp && !m_passwordDialogUp) PostCloseRequest();
      break;
    case WM_MOUSEMOVE:
      if (!m_passwordDialogUp) {
        POINT cursor;
        if (::GetCursorPos(&cursor) && HasMouseMoved(m_reference, cursor, m_settings.mouseThreshold))
          PostCloseRequest();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!m_passwordDialogUp) PostCloseRequest();
      break;
    default:
      break;
  }
  return CEngineWnd::WindowProc(msg, wp, lp);
}

void CMovieSaverWnd::OnClose() {
  // Only the window's own input rules close it; and a close that arrives
  // while the password is being asked for belongs to the request the
  // dialog answers.
  if (!m_closing || m_passwordDialogUp) return;
  if (PasswordDelayPassed(m_settings.passwordDelay, ::GetTickCount() - m_startTick)) {
    m_passwordDialogUp = 1;
    const bool verified = VerifyPassword();
    m_passwordDialogUp = 0;
    ::GetCursorPos(&m_reference);
    if (!verified) {
      // The saver goes on; closes queued meanwhile answered the same
      // request, and only new input ends the saver again.
      MSG queued;
      while (::PeekMessageA(&queued, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
      }
      return;
    }
  }
  Default();
}

void CMovieSaverWnd::OnDestroy() {
  if (m_spiSet) ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  m_spiSet = false;
  // The control lets go of the movie with its window, before the file goes.
  if (m_flash.GetSafeHwnd()) m_flash.DestroyWindow();
  RemoveMovie();
  CEngineWnd::OnDestroy();
}
