// The shared screen as tests see it.
#include "tests/support/screen.h"

#include <stdio.h>

#include <algorithm>
#include <cstdint>

#include "tests/support/files.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"

namespace lwtest {

bool SaveWindowShot(HWND hwnd, const std::string& path, std::vector<COLORREF>* pixels) {
  RECT r = {};
  ::GetWindowRect(hwnd, &r);
  const std::vector<COLORREF> shot = ScreenPixels(r);
  if (pixels) *pixels = shot;
  return WriteAll(path, MakeBmpFile(r.right - r.left, r.bottom - r.top, shot));
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = ::GetDC(nullptr);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(nullptr, dc);
  return c;
}

bool NearColour(COLORREF a, COLORREF b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

std::string ProbeScreen(const std::vector<ScreenProbe>& probes, POINT origin, DWORD ms) {
  if (probes.empty()) return "";
  // One read of the rectangle round them all at a time.
  RECT r = {probes[0].x, probes[0].y, probes[0].x + 1, probes[0].y + 1};
  for (const ScreenProbe& p : probes) {
    r.left = std::min<LONG>(r.left, p.x);
    r.top = std::min<LONG>(r.top, p.y);
    r.right = std::max<LONG>(r.right, p.x + 1);
    r.bottom = std::max<LONG>(r.bottom, p.y + 1);
  }
  std::string wrong;
  PumpUntil([&] {
    const RECT on = {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    const std::vector<COLORREF> shot = ScreenPixels(on);
    wrong.clear();
    for (const ScreenProbe& p : probes) {
      const COLORREF c = shot.at(static_cast<size_t>(p.y - r.top) * (r.right - r.left) + (p.x - r.left));
      if (!NearColour(c, p.colour, p.tolerance)) {
        char text[200];
        snprintf(text, sizeof text, "%s at %d, %d: %d, %d, %d (wanted %d, %d, %d)", p.what, p.x, p.y,
                 GetRValue(c), GetGValue(c), GetBValue(c), GetRValue(p.colour), GetGValue(p.colour),
                 GetBValue(p.colour));
        wrong = text;
        break;
      }
    }
    return wrong.empty();
  }, ms);
  return wrong;
}

std::vector<COLORREF> ScreenPixels(const RECT& r) {
  HDC screen = ::GetDC(nullptr);
  const std::vector<COLORREF> out =
      DrawnPixels(r.right - r.left, r.bottom - r.top, [&](HDC memory) {
        ::BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
      });
  ::ReleaseDC(nullptr, screen);
  return out;
}

std::vector<COLORREF> DrawnPixels(int w, int h, const std::function<void(HDC)>& draw) {
  std::vector<COLORREF> out;
  if (w <= 0 || h <= 0) return out;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HBITMAP dib = ::CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib) {
    HGDIOBJ old = ::SelectObject(memory, dib);
    draw(memory);
    ::SelectObject(memory, old);
    ::GdiFlush();
    out.resize(static_cast<size_t>(w) * h);
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    ::DeleteObject(dib);
  }
  ::DeleteDC(memory);
  return out;
}

namespace {
const char kHostClass[] = "LwTestHost";
}  // namespace

// The fill colour lives in the window's user data; the erase paints it.
LRESULT CALLBACK CHostWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    ::GetClientRect(hwnd, &r);
    HBRUSH brush = ::CreateSolidBrush(static_cast<COLORREF>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    ::FillRect(reinterpret_cast<HDC>(wp), &r, brush);
    ::DeleteObject(brush);
    return 1;
  }
  return ::DefWindowProcA(hwnd, msg, wp, lp);
}

CHostWindow::CHostWindow(int x, int y, int w, int h, COLORREF fill) {
  static const ATOM registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CHostWindow::Proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kHostClass;
    return ::RegisterClassA(&wc);
  }();
  if (!registered) return;
  // Made hidden, so that the first erase already has the colour.
  m_hwnd = ::CreateWindowExA(WS_EX_TOPMOST, kHostClass, "host", WS_POPUP | WS_CLIPCHILDREN, x, y, w, h,
                             nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!m_hwnd) return;
  ::SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(fill));
  ::ShowWindow(m_hwnd, SW_SHOW);
}

std::string CHostWindow::HandleText() const {
  return std::to_string(reinterpret_cast<uintptr_t>(m_hwnd));
}

void CHostWindow::Destroy() {
  if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
  m_hwnd = nullptr;
}

bool ShowAndShoot(HWND hwnd, const std::string& folder, const std::string& name,
                  std::vector<COLORREF>* pixels) {
  ::CreateDirectoryA(folder.c_str(), nullptr);
  ::SetWindowPos(hwnd, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  ::UpdateWindow(hwnd);
  FlushEvents(300);
  return SaveWindowShot(hwnd, folder + "\\" + name + ".bmp", pixels);
}

}  // namespace lwtest
