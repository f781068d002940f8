// The desktop as a picture: the desktop window's pixels, where the current
// wallpaper lies with the style it is shown in, and both written out as
// JPEG files for the picture objects that show them.
#include <windows.h>

#include <cstdlib>

#include "builder/AppUtils.h"
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

// Writes 24-bit pixels as a JPEG of quality 100, progressive; a file that
// could not be written whole is removed.
bool WriteJpegFile(const char* path, const BYTE* pixels, int width, int height) {
  HPVDEST dest = OpenFileDest(path);
  if (!dest) return false;
  const bool written = WriteJpeg(dest, pixels, width, height, 100, TRUE, 24, nullptr) != 0;
  CloseDest(dest);
  if (!written) ::DeleteFileA(path);
  return written;
}

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

bool CaptureDesktopToJpeg(const char* path) {
  SIZE size;
  BYTE* pixels = CaptureDesktopRgb(&size);
  if (!pixels) return false;
  const bool written = WriteJpegFile(path, pixels, size.cx, size.cy);
  ::GlobalFree(pixels);
  return written;
}

bool SaveWallpaperAsJpeg(const char* path, int* style) {
  int found = kWallpaperCentred;
  CString wallpaper = ReadWallpaperSettings(false, &found);
  if (IsActiveDesktopOn(true)) wallpaper = ReadWallpaperSettings(true, &found);
  if (style) *style = found;
  // A web page as wallpaper has no picture to copy; that is no error.
  CString extension = GetFileExtension(wallpaper, false);
  extension.MakeUpper();
  if (wallpaper.IsEmpty() || extension == "HTML" || extension == "HTM") return false;

  HPVSRC src = OpenFileSource(wallpaper);
  if (!src) {
    ShowImageLibMessage("Error during opening wallpaper file.");
    return false;
  }
  const int type = GuessImageType(src);
  SeekSource(src, 0, 0);
  int width = 0, height = 0;
  BYTE* pixels = nullptr;
  if (type == kImageBmp) pixels = ReadBmp(src, &width, &height, 24, nullptr);
  if (type == kImageJpeg) pixels = ReadJpeg(src, &width, &height, 24);
  CloseSource(src);
  if (type != kImageBmp && type != kImageJpeg) {
    ShowImageLibMessage("Wallpaper image is not in either JPG or BMP format.");
    return false;
  }
  if (!pixels) {
    ShowImageLibMessage("Error during decoding wallpaper image");
    return false;
  }
  const bool written = WriteJpegFile(path, pixels, width, height);
  ::GlobalFree(pixels);
  return written;
}
