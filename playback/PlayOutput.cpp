// The play window's pictures: the back one the run draws into, the shown
// one the window paints from, and the background.
#include "playback/PlayOutput.h"

CWindowPlayOutput::CWindowPlayOutput(HWND hwnd) : m_hwnd(hwnd) {}

CWindowPlayOutput::~CWindowPlayOutput() = default;

void CWindowPlayOutput::FreePictures() {
  m_shown.DeleteDC();
  m_shownBitmap.DeleteObject();
  m_back.DeleteDC();
  m_backBitmap.DeleteObject();
  m_size = CSize();
}

CDC* CWindowPlayOutput::BeginDrawing(CDC* window) {
  RECT client = {};
  ::GetClientRect(m_hwnd, &client);
  const CSize size(client.right, client.bottom);
  if (!m_back.GetSafeHdc() || size != m_size) {
    CLock lock(m_lock);
    FreePictures();
    // On a 32-bit display the back picture is a DIB section of the same
    // format, which the fades draw into directly.
    const bool dib = window->GetDeviceCaps(BITSPIXEL) == 32;
    const bool made = size.cx > 0 && size.cy > 0 &&
                      (dib ? m_backBitmap.CreateDIBSection(size.cx, size.cy, 32, nullptr)
                           : m_backBitmap.CreateCompatibleBitmap(window, size.cx, size.cy)) &&
                      m_back.CreateCompatibleDC(window) &&
                      m_shownBitmap.CreateCompatibleBitmap(window, size.cx, size.cy) &&
                      m_shown.CreateCompatibleDC(window);
    if (made) {
      m_back.SelectObject(&m_backBitmap);
      m_shown.SelectObject(&m_shownBitmap);
      m_size = size;
    } else {
      FreePictures();
    }
    if (!made) return window;
  }
  ::SetBoundsRect(m_back, nullptr, DCB_ENABLE | DCB_RESET);
  return &m_back;
}

// The back DC accumulates the bounds of what is drawn into it; only that
// part is copied and invalidated.
void CWindowPlayOutput::Present(DWORD pauseMs) {
  if (!m_back.GetSafeHdc()) return;
  const DWORD now = ::GetTickCount();
  if (pauseMs < kPlayFrameMs && now - m_lastShown < kPlayFrameMs) return;
  RECT dirty;
  if ((::GetBoundsRect(m_back, &dirty, DCB_RESET) & DCB_SET) != DCB_SET) return;
  m_lastShown = now;
  // Some systems report the right and bottom edges inside the bounds.
  ++dirty.right;
  ++dirty.bottom;
  const RECT all = {0, 0, m_size.cx, m_size.cy};
  if (!::IntersectRect(&dirty, &dirty, &all)) return;
  {
    CLock lock(m_lock);
    m_shown.BitBlt(dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
                   &m_back, dirty.left, dirty.top, SRCCOPY);
    // The window's thread reads the shown picture as soon as the lock is
    // free: nothing of the copy may wait in this thread's batch.
    ::GdiFlush();
  }
  ::InvalidateRect(m_hwnd, &dirty, FALSE);
}

void CWindowPlayOutput::SetBackground(COLORREF colour, DWORD rop) {
  m_colour = colour;
  m_rop = rop;
  if (m_back.GetSafeHdc()) {
    PaintBackground(m_back);
    Present(INFINITE);
  } else {
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
  }
}

bool CWindowPlayOutput::Paint(HDC dc) {
  RECT clip;
  if (::GetClipBox(dc, &clip) == ERROR) return false;
  CLock lock(m_lock);
  const bool shown = m_shown.GetSafeHdc() != nullptr;
  // A window grown since the pictures were made shows the background
  // beyond them.
  if (!shown || clip.right > m_size.cx || clip.bottom > m_size.cy) PaintBackground(dc);
  if (shown) ::BitBlt(dc, 0, 0, m_size.cx, m_size.cy, m_shown, 0, 0, SRCCOPY);
  return shown;
}

void CWindowPlayOutput::PaintBackground(HDC dc) const {
  RECT clip;
  if (::GetClipBox(dc, &clip) == ERROR) return;
  HBRUSH brush = ::CreateSolidBrush(m_colour);
  if (!brush) return;
  HGDIOBJ old = ::SelectObject(dc, brush);
  // The mixing of the colour with what is there: copy, OR (DPo) or AND (DPa).
  const DWORD rop = m_rop == SRCPAINT ? 0x00FA0089 : m_rop == SRCAND ? 0x00A000C9 : PATCOPY;
  ::PatBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, rop);
  ::SelectObject(dc, old);
  ::DeleteObject(brush);
}
