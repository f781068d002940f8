// Device contexts and GDI objects. Each wrapper owns its handle and frees
// it when destroyed, unless the handle was attached from elsewhere.
// Selections into a DC are undone by CSelectObject guards or, for DCs the
// wrapper created, by restoring the DC's saved state before deleting it.
// A DC wrapper must therefore be destroyed before the wrappers of the
// objects selected into it: declare the bitmap before its DC.
//
// A delete that goes wrong is never passed over: Windows refuses to delete
// a bitmap that is still selected into a DC (the handle leaks), and Wine
// accepts such a delete of any object but carries it out only when the
// object is deselected. So CGdiObject::DeleteObject checks after deleting:
// a refused delete keeps the handle; an accepted one whose handle still
// has a type (GetObjectType) was deferred because the object is still
// selected. Both write one line to the debug output, add one to
// GetFailedDeleteCount (which tests read) and assert in a debug build; so
// does a failed DeleteDC. The check costs one GetObjectType call, next to
// nothing. Asking before the delete instead, by selecting the bitmap into
// a scratch DC (which fails while it is selected elsewhere), costs about
// 120 us per screen-compatible bitmap under Wine and also fails for colour
// bitmaps whose format does not match the screen.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  bool Attach(HGDIOBJ h, bool owned = true);
  HGDIOBJ Detach();
  // False when there was nothing to delete or the delete failed (then
  // traced, counted and, in a debug build, asserted).
  bool DeleteObject();

  // Deletes of GDI objects and DCs that failed or found the object still
  // selected into a DC, since the process started.
  static long GetFailedDeleteCount();

 protected:
  HGDIOBJ m_hObject = nullptr;
  bool m_owned = true;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  bool CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
  bool CreatePatternBrush(HBITMAP bitmap) { return Attach(::CreatePatternBrush(bitmap)); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  bool CreatePen(int style, int width, COLORREF colour) {
    return Attach(::CreatePen(style, width, colour));
  }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};

class CFont : public CGdiObject {
 public:
  bool CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CPalette : public CGdiObject {
 public:
  bool CreatePalette(const LOGPALETTE* lp) { return Attach(::CreatePalette(lp)); }
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

class CDC;

class CBitmap : public CGdiObject {
 public:
  bool CreateCompatibleBitmap(CDC* dc, int width, int height);
  bool CreateBitmap(int width, int height, UINT planes, UINT bits, const void* data) {
    return Attach(::CreateBitmap(width, height, planes, bits, data));
  }
  // A top-down DIB section of 24 or 32 bits; its pixels at *bits.
  bool CreateDIBSection(int width, int height, int bitCount, void** bits);
  bool GetBitmap(BITMAP* info) const {
    return m_hObject && ::GetObjectA(m_hObject, sizeof *info, info) == sizeof *info;
  }
  CSize GetSize() const;
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CDC {
 public:
  CDC() = default;
  virtual ~CDC() { DeleteDC(); }
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory DC compatible with dc (the screen when dc is null).
  bool CreateCompatibleDC(CDC* dc);
  // Wraps a DC owned by someone else; it is not deleted.
  void Attach(HDC hdc);
  HDC Detach();
  bool DeleteDC();

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  HGDIOBJ SelectObject(const CGdiObject* object) { return ::SelectObject(m_hDC, object->GetSafeHandle()); }
  HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
  HPALETTE SelectPalette(HPALETTE palette, bool background) {
    return ::SelectPalette(m_hDC, palette, background);
  }
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }

  bool BitBlt(int x, int y, int w, int h, const CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop) != FALSE;
  }
  bool StretchBlt(int x, int y, int w, int h, const CDC* src, int sx, int sy, int sw, int sh,
                  DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src->m_hDC, sx, sy, sw, sh, rop) != FALSE;
  }
  bool PatBlt(int x, int y, int w, int h, DWORD rop) {
    return ::PatBlt(m_hDC, x, y, w, h, rop) != FALSE;
  }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  void FillRect(const RECT* rect, const CBrush* brush) { ::FillRect(m_hDC, rect, *brush); }
  void FillSolidRect(int x, int y, int w, int h, COLORREF colour);
  bool DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon) != FALSE; }

  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  CPoint MoveTo(int x, int y);
  bool LineTo(int x, int y) { return ::LineTo(m_hDC, x, y) != FALSE; }

  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  bool TextOut(int x, int y, const char* text, int length) {
    return ::TextOutA(m_hDC, x, y, text, length) != FALSE;
  }
  int DrawText(const char* text, int length, RECT* rect, UINT format) {
    return ::DrawTextA(m_hDC, text, length, rect, format);
  }
  CSize GetTextExtent(const char* text, int length) const;
  bool GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm) != FALSE; }

  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int SelectClipRgn(HRGN region) { return ::SelectClipRgn(m_hDC, region); }
  int SaveDC() { return ::SaveDC(m_hDC); }
  bool RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved) != FALSE; }

 protected:
  HDC m_hDC = nullptr;
  bool m_owned = false;   // created by CreateCompatibleDC: deleted by us
  int m_saved = 0;        // state saved at creation, restored before deletion
};

// A window's client area DC, released when it goes out of scope.
class CClientDC : public CDC {
 public:
  explicit CClientDC(HWND hwnd) : m_hwnd(hwnd) { Attach(::GetDC(hwnd)); }
  ~CClientDC() override;

 private:
  HWND m_hwnd;
};

// The whole screen's DC, released when it goes out of scope.
class CScreenDC : public CClientDC {
 public:
  CScreenDC() : CClientDC(nullptr) {}
};

// A window's DC for the whole window (frame included), released when it
// goes out of scope.
class CWindowDC : public CDC {
 public:
  explicit CWindowDC(HWND hwnd) : m_hwnd(hwnd) { Attach(::GetWindowDC(hwnd)); }
  ~CWindowDC() override {
    HDC h = Detach();
    if (h) ::ReleaseDC(m_hwnd, h);
  }

 private:
  HWND m_hwnd;
};

// A memory DC compatible with a DC that no CDC wraps (the screen when
// null), made as CreateCompatibleDC makes one; GetSafeHdc() is null when
// it could not be made.
class CMemoryDC : public CDC {
 public:
  explicit CMemoryDC(HDC like) {
    CDC borrowed;
    borrowed.Attach(like);
    CreateCompatibleDC(like ? &borrowed : nullptr);
  }
};

// The DC of a WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd) { Attach(::BeginPaint(hwnd, &m_ps)); }
  ~CPaintDC() override;
  const PAINTSTRUCT& Paint() const { return m_ps; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_ps;
};

// Selects an object into a DC for the guard's scope, then reselects the
// previous one.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
  ~CSelectObject() {
    if (m_old) ::SelectObject(m_dc, m_old);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;
  // False when the DC refused the object.
  bool IsSelected() const { return m_old && m_old != HGDI_ERROR; }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// Selects a palette (when one is given) into a DC and realises it for the
// guard's scope, then reselects the previous one.
class CSelectPalette {
 public:
  CSelectPalette(HDC dc, HPALETTE palette, bool background = false)
      : m_dc(dc), m_old(palette ? ::SelectPalette(dc, palette, background) : nullptr),
        m_background(background) {
    if (m_old) ::RealizePalette(dc);
  }
  ~CSelectPalette() {
    if (m_old) ::SelectPalette(m_dc, m_old, m_background);
  }
  CSelectPalette(const CSelectPalette&) = delete;
  CSelectPalette& operator=(const CSelectPalette&) = delete;

 private:
  HDC m_dc;
  HPALETTE m_old;
  bool m_background;
};
