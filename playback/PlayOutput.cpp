// The plain play window's background.
#include "playback/PlayOutput.h"

void CWindowPlayOutput::SetBackground(COLORREF colour, DWORD rop) {
  m_colour = colour;
  m_rop = rop;
  ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
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
