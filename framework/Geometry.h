// Point, size and rectangle value types over the Win32 structures, so that
// they pass straight to GDI and user32 calls.
#pragma once

#include <windows.h>

#include <utility>

class CSize : public SIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) { cx = x; cy = y; }
  CSize(SIZE s) { cx = s.cx; cy = s.cy; }
  bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const CSize& o) const { return !(*this == o); }
};

class CPoint : public POINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int px, int py) { x = px; y = py; }
  CPoint(POINT p) { x = p.x; y = p.y; }
  void Offset(int dx, int dy) { x += dx; y += dy; }
  bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
  bool operator!=(const CPoint& o) const { return !(*this == o); }
  CPoint operator+(const CSize& s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(const CSize& s) const { return CPoint(x - s.cx, y - s.cy); }
  CSize operator-(const CPoint& p) const { return CSize(x - p.x, y - p.y); }
};

class CRect : public RECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  CRect(const RECT& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }
  CRect(POINT p, SIZE s) { left = p.x; top = p.y; right = p.x + s.cx; bottom = p.y + s.cy; }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
  void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  // The overlap of a and b; empty (and false) when they do not overlap.
  bool IntersectRect(const RECT& a, const RECT& b) {
    return ::IntersectRect(this, &a, &b) != FALSE;
  }
  bool UnionRect(const RECT& a, const RECT& b) { return ::UnionRect(this, &a, &b) != FALSE; }
  bool operator==(const RECT& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const { return !(*this == o); }
  operator RECT*() { return this; }
  operator const RECT*() const { return this; }
};
