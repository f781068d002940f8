// Device contexts and GDI object wrappers, and the report of a delete that
// failed or was deferred because the object was still selected.
#include "framework/Gdi.h"

#include <assert.h>
#include <stdint.h>

namespace {

volatile LONG g_failedDeletes = 0;

const char* TypeName(DWORD type) {
  switch (type) {
    case OBJ_BITMAP: return "bitmap";
    case OBJ_BRUSH: return "brush";
    case OBJ_PEN:
    case OBJ_EXTPEN: return "pen";
    case OBJ_FONT: return "font";
    case OBJ_PAL: return "palette";
    case OBJ_REGION: return "region";
    default: return "GDI object";
  }
}

// Writes "GDI: <kind> 0x<handle><what>" to the debug output and counts it;
// without a kind, the handle's type names it.
void ReportFailedDelete(HANDLE handle, const char* kind, const char* what) {
  char line[128] = "GDI: ";
  lstrcatA(line, kind ? kind : TypeName(::GetObjectType(handle)));
  lstrcatA(line, " 0x");
  char* digits = line + lstrlenA(line);
  const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  for (int shift = sizeof value * 8 - 4; shift >= 0; shift -= 4)
    *digits++ = "0123456789ABCDEF"[(value >> shift) & 15];
  *digits = 0;
  lstrcatA(line, what);
  ::OutputDebugStringA(line);
  ::InterlockedIncrement(&g_failedDeletes);
  assert(!"a GDI delete failed or the object was still selected into a DC");
}

}  // namespace

long CGdiObject::GetFailedDeleteCount() { return g_failedDeletes; }

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
  HGDIOBJ h = m_hObject;
  if (!m_owned) {
    m_hObject = nullptr;
    return true;
  }
  if (!::DeleteObject(h)) {
    // Kept: its owner may still deselect it and delete it again.
    ReportFailedDelete(h, nullptr, " not deleted (still selected into a DC?); handle kept\n");
    return false;
  }
  m_hObject = nullptr;
  // A deferred delete: the system frees the object when it is deselected.
  if (::GetObjectType(h) != 0) {
    ReportFailedDelete(h, nullptr, " deleted while still selected into a DC\n");
    return false;
  }
  return true;
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
    m_saved = 0;
    // Nothing else could delete it later: a DC fails to go only when its
    // handle is no longer valid.
    if (!::DeleteDC(m_hDC)) {
      ReportFailedDelete(m_hDC, "DC", " not deleted\n");
      ok = false;
    }
  }
  m_hDC = nullptr;
  m_owned = false;
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
