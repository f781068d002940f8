// The desktop and the current wallpaper written out as JPEG files, for the
// picture objects that show them.
#include <windows.h>

#include "common/Paths.h"
#include "imaging/RgbImage.h"

bool WriteJpegFile(const char* path, const BYTE* pixels, int width, int height) {
  HPVDEST dest = OpenFileDest(path);
  if (!dest) return false;
  const bool written = WriteJpeg(dest, pixels, width, height, 100, TRUE, 24, nullptr) != 0;
  CloseDest(dest);
  if (!written) ::DeleteFileA(path);
  return written;
}

bool CaptureDesktopToJpeg(const char* path) {
  SIZE size;
  BYTE* pixels = CaptureDesktopRgb(&size);
  if (!pixels) return false;
  const bool written = WriteJpegFile(path, pixels, size.cx, size.cy);
  FreeImageBlock(pixels);
  return written;
}

bool SaveWallpaperAsJpeg(const char* path, int* style) {
  const CString wallpaper = GetCurrentWallpaper(style);
  // A web page as wallpaper has no picture to copy; that is no error.
  CString extension = GetFileExtension(wallpaper, false);
  extension.MakeUpper();
  if (wallpaper.IsEmpty() || extension == "HTML" || extension == "HTM") return false;

  int width = 0, height = 0, failure = kWallpaperReadOk;
  BYTE* pixels = ReadWallpaperPicture(wallpaper, &width, &height, &failure);
  switch (failure) {
    case kWallpaperCannotOpen:
      ShowImageLibMessage("Error during opening wallpaper file.");
      return false;
    case kWallpaperNotBmpOrJpeg:
      ShowImageLibMessage("Wallpaper image is not in either JPG or BMP format.");
      return false;
    case kWallpaperUndecodable:
      ShowImageLibMessage("Error during decoding wallpaper image");
      return false;
  }
  const bool written = WriteJpegFile(path, pixels, width, height);
  FreeImageBlock(pixels);
  return written;
}
