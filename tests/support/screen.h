// The shared screen as tests see it: pixels read back from it (and from a
// drawing made in memory), and windows of the test put on it (the display
// settings' preview area handed to a saver, a dialog's owner, a mark on the
// desktop).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lwtest {

// The window as the screen shows it (its window rectangle), written as a
// BMP file at path for a person to look at; its pixels into *pixels when
// asked. False when the file cannot be written.
bool SaveWindowShot(HWND hwnd, const std::string& path, std::vector<COLORREF>* pixels = nullptr);

// A dialog answered from its hook before it is on the screen: brought up
// topmost at (40, 40), painted, and then shot as SaveWindowShot does
// (the file's folder is made when missing), its pixels into *pixels when
// asked.
bool ShowAndShoot(HWND hwnd, const std::string& folder, const std::string& name,
                  std::vector<COLORREF>* pixels = nullptr);

// The screen's pixel.
COLORREF ScreenPixel(int x, int y);
// The screen's pixels in the rectangle, rows top-down.
std::vector<COLORREF> ScreenPixels(const RECT& r);
// What draw() paints into a fresh w x h 32-bit memory bitmap (black
// before), rows top-down; empty when the bitmap cannot be made.
std::vector<COLORREF> DrawnPixels(int w, int h, const std::function<void(HDC)>& draw);

// A point of the screen and the colour it should show, each channel
// within `tolerance`.
struct ScreenProbe {
  const char* what;
  int x, y;
  COLORREF colour;
  int tolerance = 0;
};
// Reads the probes (their points offset by origin) until each shows its
// colour, for up to ms milliseconds while answering messages; "" when
// they all do, else what the first wrong one shows.
std::string ProbeScreen(const std::vector<ScreenProbe>& probes, POINT origin = {0, 0},
                        DWORD ms = 10000);
bool NearColour(COLORREF a, COLORREF b, int tolerance);

// A visible topmost popup of this test, filled with a colour; destroyed
// with the object unless something destroyed it first.
class CHostWindow {
 public:
  CHostWindow(int x, int y, int w, int h, COLORREF fill = RGB(255, 255, 255));
  ~CHostWindow() { Destroy(); }
  CHostWindow(const CHostWindow&) = delete;
  CHostWindow& operator=(const CHostWindow&) = delete;

  HWND Hwnd() const { return m_hwnd; }
  // The handle as a decimal number, as a command line hands it over.
  std::string HandleText() const;
  void Destroy();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND m_hwnd = nullptr;
};

}  // namespace lwtest
