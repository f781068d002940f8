// The saver window and its input rules.
#include "runtime/SaverWnd.h"

#include <mmsystem.h>

#include <cstdlib>
#include <cstring>

#include "framework/Gdi.h"
#include "framework/Registry.h"
#include "framework/Trace.h"
#include "runtime/PasswordHash.h"
#include "runtime/SaverDialogs.h"
#include "runtime/SaverPlayback.h"
#include "runtime/SaverSettings.h"
#include "runtime/resource.h"

namespace {

HCURSOR SaverCursor(int id) {
  return ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

}  // namespace

// ---------------------------------------------------------------------------

bool CExitButton::Create(HWND saver, int screenWidth) {
  const char* cls = RegisterWndClass(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!cls ||
      !CreateEx(WS_EX_TOPMOST, cls, "", WS_CHILD, 0, 0, kWidth, kHeight, saver, IDC_EXITHOLDER))
    return false;
  MoveWindow(screenWidth - kWidth, 0, kWidth, kHeight);
  return true;
}

int CExitButton::OnCreate(CREATESTRUCTA* cs) {
  if (Default() == -1) return -1;
  ::CreateWindowExA(0, "BUTTON", "Exit", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, kWidth, kHeight,
                    m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_EXITBUTTON)),
                    ::GetModuleHandleA(nullptr), nullptr);
  return 0;
}

bool CExitButton::OnCommand(UINT id, UINT code, HWND control) {
  if (id != IDC_EXITBUTTON) return false;
  ::PostMessageA(GetParent(), WM_CLOSE, 0, 0);
  return true;
}

// ---------------------------------------------------------------------------

CSaverWnd::CSaverWnd(CSaverSession& session)
    : m_session(session), m_speedStore(HKEY_CURRENT_USER, saver::kSpeedKey) {}

CSaverWnd::~CSaverWnd() {
  // The window goes first, while the object is still whole.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

bool CSaverWnd::PreTranslateMessage(MSG* msg) {
  return msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4;
}

bool CSaverWnd::CloseOnInput(SaverInput input) {
  // The password dialog answers the input that opened it; what the user
  // does meanwhile is not another request to end the saver.
  if (m_askingPassword) return false;
  const bool close = InputEndsSaver(m_session.rules, input, m_session.testRun);
  if (close) PostMessage(WM_CLOSE);
  return close;
}

void CSaverWnd::SetUrl(const char* address, int keys) {
  CLock lock(m_urlLock);
  lstrcpynA(m_url, address ? address : "", sizeof m_url);
  m_urlKeys = keys;
}

void CSaverWnd::ClearUrl() { SetUrl("", -1); }

int CSaverWnd::GetUrlKeys() const {
  CLock lock(m_urlLock);
  return m_urlKeys;
}

void CSaverWnd::ShowExitButton() {
  if (m_exitHolder.GetSafeHwnd()) m_exitHolder.ShowWindow(SW_SHOW);
}

void CSaverWnd::HideCursor() {
  if (m_session.testRun || m_cursorHidden) return;
  ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(SaverCursor(IDCUR_BLANK)));
  ::ShowCursor(FALSE);
  m_cursorHidden = true;
}

void CSaverWnd::RevealCursor() {
  if (!m_cursorHidden) return;
  if (m_hWnd)
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(SaverCursor(IDCUR_ARROW)));
  ::ShowCursor(TRUE);
  m_cursorHidden = false;
}

LRESULT CSaverWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
      CloseOnInput(SaverInput::kButtonDown);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      CloseOnInput(SaverInput::kDoubleClick);
      return 0;
    case MM_MCINOTIFY:
      GetSaverPlayback()->OnMciNotify(wp, lp);
      return 0;
    default:
      return CWnd::WindowProc(msg, wp, lp);
  }
}

int CSaverWnd::OnCreate(CREATESTRUCTA* cs) {
  if (Default() == -1) return -1;
  ::SetCursorPos(0, 0);
  HideCursor();
  ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
  if (m_session.testRun) {
    HDC screen = ::GetDC(nullptr);
    const int width = ::GetDeviceCaps(screen, HORZRES);
    ::ReleaseDC(nullptr, screen);
    m_exitHolder.Create(m_hWnd, width);
  }
  return 0;
}

void CSaverWnd::OnMouseMove(UINT, CPoint pt) {
  if (m_mouseX == -1 && m_mouseY == -1) {
    m_mouseX = pt.x;
    m_mouseY = pt.y;
  } else if (pt.x != m_mouseX || pt.y != m_mouseY) {
    CloseOnInput(SaverInput::kMouseMove);
  }
}

void CSaverWnd::OnKeyDown(UINT vk, UINT, UINT) {
  {
    CLock lock(m_urlLock);
    if (UrlKeyChosen(m_urlKeys, vk)) m_session.SetExitAddress(m_url);
  }
  CloseOnInput(vk == VK_ESCAPE ? SaverInput::kEscape : SaverInput::kKeyDown);
  Default();
}

void CSaverWnd::OnSysKeyDown(UINT, UINT, UINT) { CloseOnInput(SaverInput::kKeyDown); }

bool DesktopAsksForPassword() {
  const CRegKey key(HKEY_CURRENT_USER, saver::kDesktopKey);
  char data[32] = {};
  DWORD type = 0, size = sizeof data - 1;
  if (!key.QueryValue(saver::kUsePassword, &type, data, &size)) return false;
  if ((type == REG_DWORD || type == REG_BINARY) && size == 4) {
    DWORD value;
    std::memcpy(&value, data, 4);
    return value != 0;
  }
  // Some systems keep the switch as the text "1".
  if (type == REG_SZ || type == REG_EXPAND_SZ) return std::atoi(data) != 0;
  return false;
}

void CSaverWnd::OnClose() {
  // A close that reaches the window while the dialog is up (sent, or posted
  // before the dialog opened) is the request the dialog is answering.
  if (m_askingPassword) return;
  char stored[kStoredPasswordSize];
  ReadStoredPassword(stored);
  const bool ask = stored[0] && DesktopAsksForPassword();
  RevealCursor();
  if (!ask) {
    Default();
    return;
  }
  m_askingPassword = true;
  const INT_PTR answer = CPasswordDlg(stored, m_hWnd).DoModal();
  if (answer == IDOK) {
    m_askingPassword = false;
    Default();
    return;
  }
  // The saver goes on. Closes still queued belong to the request just
  // refused; only new input from here ends the saver again.
  MSG queued;
  while (::PeekMessageA(&queued, m_hWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
  }
  m_askingPassword = false;
  POINT pt;
  if (::GetCursorPos(&pt) && ::ScreenToClient(m_hWnd, &pt)) {
    m_mouseX = pt.x;
    m_mouseY = pt.y;
  }
  HideCursor();
}

// The whole update area is painted here, from the script's picture when
// there is one: an uncovered part shows again what was drawn there.
void CSaverWnd::OnPaint() {
  CPaintDC dc(m_hWnd);
  if (GetSaverPlayback()->Paint(dc)) return;
  RECT clip;
  ::GetClipBox(dc, &clip);
  ::FillRect(dc, &clip, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

bool CSaverWnd::OnEraseBkgnd(HDC) { return true; }

bool CSaverWnd::BeginPlaying() {
  if (!m_speed.Begin(&m_session.times)) return StartScript();
  if (SetTimer(kSpeedTimer, kSpeedCountMs)) return true;
  m_speed.Cancel();
  return false;
}

bool CSaverWnd::StartScript() { return GetSaverPlayback()->StartPlaying(this, &m_session.times); }

void CSaverWnd::OnTimer(UINT_PTR id) {
  if (id != kSpeedTimer) {
    Default();
    return;
  }
  KillTimer(kSpeedTimer);
  if (!m_speed.IsCounting()) return;
  m_speed.Finish(&m_session.times);
  if (StartScript()) return;
  LwTrace("Halcyra: the scene thread cannot be made\n");
  m_startFailed = true;
  DestroyWindow();
}

void CSaverWnd::OnSysCommand(UINT id, LPARAM) {
  const UINT command = id & 0xFFF0;
  if (command == SC_SCREENSAVE || command == SC_CLOSE) return;
  Default();
}

void CSaverWnd::OnDestroy() {
  // A count cut short stores nothing: the next run counts again.
  KillTimer(kSpeedTimer);
  m_speed.Cancel();
  GetSaverPlayback()->StopPlaying();
  ::SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);
  RevealCursor();
  ::PostQuitMessage(m_startFailed ? 1 : 0);
  Default();
}
