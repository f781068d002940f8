// The desktop as a picture: the desktop window's pixels, and the current
// wallpaper: where it lies, the style it is shown in and its pixels. The
// JPEG copies of both are in DesktopJpeg.cpp, so that a program which only
// reads pictures does not link the JPEG compressor.
#include <windows.h>

#include <cstdlib>

#include "common/AppUtils.h"
#include "imaging/GdiGuards.h"
#include "imaging/RgbImage.h"

namespace {

// An open registry key, closed on every path.
class RegKey {
 public:
  RegKey(HKEY root, const char* path) {
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &m_key) != ERROR_SUCCESS) m_key = nullptr;
  }
  ~RegKey() {
    if (m_key) ::RegCloseKey(m_key);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  explicit operator bool() const { return m_key != nullptr; }

  // A string value (REG_SZ or REG_EXPAND_SZ), terminated; false when absent.
  bool ReadString(const char* name, char* out, DWORD size) const {
    DWORD type = 0, bytes = size - 1;
    if (::RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      out[0] = 0;
      return false;
    }
    out[bytes < size ? bytes : size - 1] = 0;
    return true;
  }
  // A number stored as text (the desktop's way) or as a DWORD; -1 when absent.
  int ReadNumber(const char* name) const {
    char text[260];
    if (ReadString(name, text, sizeof text)) return atoi(text);
    DWORD type = 0, value = 0, bytes = sizeof value;
    if (::RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
            ERROR_SUCCESS &&
        type == REG_DWORD)
      return static_cast<int>(value);
    return -1;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

BYTE* CaptureDesktopRgb(SIZE* size) {
  HWND desktop = ::GetDesktopWindow();
  RECT rect;
  if (!::GetWindowRect(desktop, &rect)) return nullptr;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  imaging::WindowDc dc(desktop);
  if (!dc.get()) return nullptr;
  BYTE* pixels = DcToRgb(dc.get(), 0, 0, width, height);
  if (pixels && size) *size = {width, height};
  return pixels;
}

CString ReadWallpaperSettings(bool activeDesktop, int* style) {
  int found = kWallpaperCentred;
  CString path;
  RegKey key(HKEY_CURRENT_USER, activeDesktop
                                    ? "Software\\Microsoft\\Internet Explorer\\Desktop\\General"
                                    : "Control Panel\\Desktop");
  char text[520];
  if (key && key.ReadString("Wallpaper", text, sizeof text) && text[0]) {
    // A path may name folders through environment variables in either key.
    char expanded[520];
    const DWORD n = ::ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
    path = (n > 0 && n <= sizeof expanded) ? expanded : text;
    if (key.ReadNumber("WallpaperStyle") == 2) found = kWallpaperStretched;
    if (key.ReadNumber("TileWallpaper") == 1) found = kWallpaperTiled;
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
