// The preview window and its text banner.
#include "runtime/PreviewWnd.h"

#include <cstring>

#include "runtime/resource.h"

namespace {
const UINT_PTR kParentWatch = 1;
const COLORREF kBannerText = RGB(220, 255, 255);
}  // namespace

CTextBannerThread::CTextBannerThread(CSaverPreviewWnd* window, const int* logoWidth,
                                     const char* text)
    : m_window(window->GetSafeHwnd()), m_screen(&window->GetScreen()) {
  m_bAutoDelete = false;
  const int n = lstrlenA(text);
  LOGFONTA lf = {};
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  lstrcpyA(lf.lfFaceName, "Arial");
  if (!m_font.CreateFontIndirect(&lf)) return;
  CClientDC client(m_window);
  CDC memory;
  if (!memory.CreateCompatibleDC(&client)) return;
  TEXTMETRICA tm;
  {
    CSelectObject font(memory, m_font);
    if (!memory.GetTextMetrics(&tm)) return;
  }
  m_width = 2 * tm.tmMaxCharWidth;
  m_height = n * tm.tmHeight + m_step;
  if (!m_banner.CreateCompatibleBitmap(&client, m_width, m_height)) return;
  {
    CSelectObject bitmap(memory, m_banner);
    CSelectObject font(memory, m_font);
    memory.FillSolidRect(0, 0, m_width, m_height, RGB(0, 0, 0));
    memory.SetTextColor(kBannerText);
    memory.SetBkMode(TRANSPARENT);
    ::SetTextAlign(memory, TA_CENTER);
    for (int i = 0; i < n; ++i) memory.TextOut(tm.tmMaxCharWidth, i * tm.tmHeight, text + i, 1);
  }
  const CRect area = window->GetClientRect();
  m_startY = m_y = area.bottom;
  m_startX = m_x = *logoWidth + (area.right - m_width - *logoWidth - area.left) / 2;
  m_made = true;
}

bool CTextBannerThread::InitInstance() {
  if (!m_made) return false;
  CClientDC window(m_window);
  CDC& target = *m_screen->BeginDrawing(&window);
  CDC memory;
  if (!memory.CreateCompatibleDC(&target)) return false;
  CSelectObject bitmap(memory, m_banner);
  RECT area = {};
  ::GetClientRect(m_window, &area);
  do {
    target.BitBlt(m_x, m_y, m_width, m_height, &memory, 0, 0, SRCCOPY);
    m_screen->Present(20);
    m_y -= m_step;
    if (area.top - m_height < m_y)
      ::Sleep(20);
    else
      m_y = area.bottom;  // gone at the top: in again from the bottom
  } while (!m_stop.IsSet());
  return false;
}

void CTextBannerThread::Delete() { m_ended.SetEvent(); }

void CTextBannerThread::Stop() {
  m_stop.SetEvent();
  if (m_hThread) {
    HANDLE both[2] = {m_ended, m_hThread};
    WaitAnsweringSentMessages(both, 2, true, INFINITE);
  }
  delete this;
}

// ---------------------------------------------------------------------------

CSaverPreviewWnd::CSaverPreviewWnd(const char* name) {
  lstrcpynA(m_name, name ? name : "", sizeof m_name);
  m_logo.Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO)));
}

CSaverPreviewWnd::~CSaverPreviewWnd() {
  // The window goes first, so that its destruction stops the banner.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

int CSaverPreviewWnd::OnCreate(CREATESTRUCTA* cs) {
  if (Default() == -1) return -1;
  // The picture starts black with the logo; the banner thread draws on it
  // from here on.
  m_screen.SetHwnd(m_hWnd);
  {
    CClientDC window(m_hWnd);
    CDC* picture = m_screen.BeginDrawing(&window);
    m_screen.SetBackground(RGB(0, 0, 0), SRCCOPY);
    DrawLogo(*picture);
    m_screen.Present(INFINITE);
  }
  m_banner = new CTextBannerThread(this, &m_logoWidth, m_name);
  if (m_banner->CreateThread(CREATE_SUSPENDED)) {
    m_banner->SetThreadPriority(THREAD_PRIORITY_NORMAL);
    m_banner->ResumeThread();
  } else {
    delete m_banner;
    m_banner = nullptr;
  }
  // The system destroys a child with its parent, but a parent in another
  // process may also just vanish: look after it too.
  SetTimer(kParentWatch, 250);
  return 0;
}

void CSaverPreviewWnd::DrawLogo(CDC& dc) {
  CDC memory;
  if (!m_logo.GetSafeHandle() || !memory.CreateCompatibleDC(&dc)) return;
  CSelectObject logo(memory, m_logo);
  dc.BitBlt(0, 0, m_logoWidth, m_logoHeight, &memory, 0, 0, SRCCOPY);
}

// Without a picture (none could be made) the window is black with the logo,
// and the banner draws on the window itself.
void CSaverPreviewWnd::OnPaint() {
  CPaintDC dc(m_hWnd);
  if (!m_screen.Paint(dc)) DrawLogo(dc);
}

bool CSaverPreviewWnd::OnEraseBkgnd(HDC) { return true; }

void CSaverPreviewWnd::OnTimer(UINT_PTR id) {
  if (id != kParentWatch) {
    Default();
    return;
  }
  HWND parent = GetParent();
  if (!parent || !::IsWindow(parent)) DestroyWindow();
}

void CSaverPreviewWnd::OnDestroy() {
  KillTimer(kParentWatch);
  if (m_banner) {
    m_banner->Stop();
    m_banner = nullptr;
  }
  ::PostQuitMessage(0);
  Default();
}
