// Device contexts and GDI object wrappers.
#include "framework/Gdi.h"

bool CGdiObject::Attach(HGDIOBJ h, bool owned) {
  DeleteObject();
  m_hObject = h;
  m_owned = owned;
  return h != nullptr;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

bool CGdiObject::DeleteObject() {
  if (!m_hObject) return false;
  bool ok = !m_owned || ::DeleteObject(m_hObject) != FALSE;
  m_hObject = nullptr;
  return ok;
}

bool CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  if (dc) return Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
  HDC screen = ::GetDC(nullptr);
  bool ok = Attach(::CreateCompatibleBitmap(screen, width, height));
  ::ReleaseDC(nullptr, screen);
  return ok;
}

bool CBitmap::CreateDIBSection(int width, int height, int bitCount, void** bits) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
  bi.bmiHeader.biCompression = BI_RGB;
  void* dummy = nullptr;
  return Attach(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits ? bits : &dummy,
                                   nullptr, 0));
}

CSize CBitmap::GetSize() const {
  BITMAP bm;
  if (!GetBitmap(&bm)) return CSize();
  return CSize(bm.bmWidth, bm.bmHeight);
}

bool CDC::CreateCompatibleDC(CDC* dc) {
  DeleteDC();
  m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  if (!m_hDC) return false;
  m_owned = true;
  m_saved = ::SaveDC(m_hDC);
  return true;
}

void CDC::Attach(HDC hdc) {
  DeleteDC();
  m_hDC = hdc;
  m_owned = false;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = nullptr;
  m_owned = false;
  return h;
}

bool CDC::DeleteDC() {
  if (!m_hDC) return false;
  bool ok = true;
  if (m_owned) {
    if (m_saved) ::RestoreDC(m_hDC, m_saved);
    ok = ::DeleteDC(m_hDC) != FALSE;
  }
  m_hDC = nullptr;
  m_owned = false;
  m_saved = 0;
  return ok;
}

void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF colour) {
  COLORREF old = ::SetBkColor(m_hDC, colour);
  RECT r = {x, y, x + w, y + h};
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old = {};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CSize CDC::GetTextExtent(const char* text, int length) const {
  SIZE s = {};
  ::GetTextExtentPoint32A(m_hDC, text, length, &s);
  return CSize(s);
}

CClientDC::~CClientDC() {
  HDC h = Detach();
  if (h) ::ReleaseDC(m_hwnd, h);
}

CPaintDC::~CPaintDC() {
  if (Detach()) ::EndPaint(m_hwnd, &m_ps);
}
