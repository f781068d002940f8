// The desktop as a picture: the desktop window's pixels, and the current
// wallpaper: where it lies, the style it is shown in and its pixels. The
// JPEG copies of both are in DesktopJpeg.cpp, so that a program which only
// reads pictures does not link the JPEG compressor.
#include <windows.h>

#include <cstdlib>

#include "common/SystemInfo.h"
#include "framework/Gdi.h"
#include "framework/Registry.h"
#include "imaging/RgbImage.h"

namespace {

// A number stored as text (the desktop's way) or as a DWORD; -1 when absent.
int ReadNumber(const CRegKey& key, const char* name) {
  char text[260];
  if (key.QueryString(name, text, sizeof text)) return atoi(text);
  DWORD value = 0;
  return key.QueryDWORD(name, &value) ? static_cast<int>(value) : -1;
}

}  // namespace

BYTE* CaptureDesktopRgb(SIZE* size) {
  HWND desktop = ::GetDesktopWindow();
  RECT rect;
  if (!::GetWindowRect(desktop, &rect)) return nullptr;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  CWindowDC dc(desktop);
  if (!dc.GetSafeHdc()) return nullptr;
  BYTE* pixels = DcToRgb(dc, 0, 0, width, height);
  if (pixels && size) *size = {width, height};
  return pixels;
}

CString ReadWallpaperSettings(bool activeDesktop, int* style) {
  int found = kWallpaperCentred;
  CString path;
  const CRegKey key(HKEY_CURRENT_USER,
                    activeDesktop ? "Software\\Microsoft\\Internet Explorer\\Desktop\\General"
                                  : "Control Panel\\Desktop");
  char text[520];
  if (key.QueryString("Wallpaper", text, sizeof text) && text[0]) {
    // A path may name folders through environment variables in either key.
    char expanded[520];
    const DWORD n = ::ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
    path = (n > 0 && n <= sizeof expanded) ? expanded : text;
    if (ReadNumber(key, "WallpaperStyle") == 2) found = kWallpaperStretched;
    if (ReadNumber(key, "TileWallpaper") == 1) found = kWallpaperTiled;
  }
  if (style) *style = found;
  return path;
}

CString GetCurrentWallpaper(int* style) {
  int found = kWallpaperCentred;
  CString wallpaper = ReadWallpaperSettings(false, &found);
  if (IsActiveDesktopOn(true)) wallpaper = ReadWallpaperSettings(true, &found);
  if (style) *style = found;
  return wallpaper;
}

BYTE* ReadWallpaperPicture(const char* path, int* width, int* height, int* failure) {
  int reason = kWallpaperCannotOpen;
  BYTE* pixels = nullptr;
  if (HPVSRC src = OpenFileSource(path)) {
    const int type = GuessImageType(src);
    if (type != kImageBmp && type != kImageJpeg) {
      reason = kWallpaperNotBmpOrJpeg;
    } else {
      if (SeekSource(src, 0, 0))
        pixels = type == kImageBmp ? ReadBmp(src, width, height, 24, nullptr)
                                   : ReadJpeg(src, width, height, 24);
      reason = pixels ? kWallpaperReadOk : kWallpaperUndecodable;
    }
    CloseSource(src);
  }
  if (failure) *failure = reason;
  return pixels;
}
