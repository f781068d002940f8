// Proves the test harness: a real window under Wine and Xvfb, painted and
// read back through a memory DC, and the registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/pump.h"
#include "tests/support/registry.h"

namespace {

const COLORREF kPaint = RGB(200, 40, 90);

LRESULT CALLBACK PaintProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH brush = CreateSolidBrush(kPaint);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(Harness, WindowPaintsAndReadsBackThroughMemoryDc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PaintProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "HarnessPaint";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "HarnessPaint", "harness",
                              WS_POPUP | WS_VISIBLE, 50, 60, 64, 48, nullptr,
                              nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hwnd, nullptr);
  UpdateWindow(hwnd);
  lwtest::FlushEvents(300);

  HDC window_dc = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(window_dc);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = 64;
  bi.bmiHeader.biHeight = -48;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  HGDIOBJ old = SelectObject(mem, dib);
  ASSERT_TRUE(BitBlt(mem, 0, 0, 64, 48, window_dc, 0, 0, SRCCOPY));
  GdiFlush();
  const DWORD* px = static_cast<const DWORD*>(bits);
  for (int y : {0, 23, 47})
    for (int x : {0, 31, 63}) {
      SCOPED_TRACE(testing::Message() << "x=" << x << " y=" << y);
      DWORD p = px[y * 64 + x] & 0xFFFFFF;  // 0x00RRGGBB
      EXPECT_EQ(p, (DWORD)((GetRValue(kPaint) << 16) | (GetGValue(kPaint) << 8) |
                           GetBValue(kPaint)));
    }
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(hwnd, window_dc);
  DestroyWindow(hwnd);
}

TEST(Harness, RegistryValueUnderCurrentUser) {
  const lwtest::CScratchKey removed(HKEY_CURRENT_USER, "Software\\LumenweaveHarness");
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\LumenweaveHarness", 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD value = 0x12345678, type = 0, read = 0, size = sizeof read;
  ASSERT_EQ(RegSetValueExA(key, "Probe", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
  ASSERT_EQ(RegQueryValueExA(key, "Probe", nullptr, &type,
                             reinterpret_cast<BYTE*>(&read), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_DWORD);
  EXPECT_EQ(read, value);
  RegCloseKey(key);
}

}  // namespace
