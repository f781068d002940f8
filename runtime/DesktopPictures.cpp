// The desktop and wallpaper pictures of the saver's start-up, through the
// image library and the picture layer's desktop and wallpaper readers.
#include "runtime/DesktopPictures.h"

#include "common/Paths.h"
#include "common/SystemInfo.h"
#include "framework/Gdi.h"
#include "imaging/ImageLib.h"
#include "imaging/RgbImage.h"


namespace {

// Writes 24-bit pixels as a BMP; a file that could not be written whole is
// removed, so that no reader ever meets half a picture. Every picture of
// the saver is a BMP: the JPEG encoder would cost the saver a third of its
// room, and the readers of these files take the type from the contents.
bool WritePicture(const char* path, const BYTE* pixels, int width, int height) {
  HPVDEST dest = OpenFileDest(path);
  if (!dest) return false;
  const DWORD written = WriteBmp(dest, pixels, width, height, 24, 0, nullptr, FALSE);
  CloseDest(dest);
  if (!written) ::DeleteFileA(path);
  return written != 0;
}

// Fills the canvas with copies of the picture at (0, 0), (w, 0), ...: the
// first copy is doubled across the row, then the row down the canvas, so
// that even a one-pixel wallpaper takes a few dozen copies.
void TileCanvas(HDC canvas, HDC picture, int width, int height, SIZE size) {
  ::BitBlt(canvas, 0, 0, width, height, picture, 0, 0, SRCCOPY);
  for (int filled = width; filled < size.cx; filled *= 2)
    ::BitBlt(canvas, filled, 0, filled < size.cx - filled ? filled : size.cx - filled, height,
             canvas, 0, 0, SRCCOPY);
  for (int filled = height; filled < size.cy; filled *= 2)
    ::BitBlt(canvas, 0, filled, size.cx, filled < size.cy - filled ? filled : size.cy - filled,
             canvas, 0, 0, SRCCOPY);
}

SIZE ScreenSize() {
  const CSize screen = GetScreenSize();
  return {screen.cx, screen.cy};
}

}  // namespace

int SaverWallpaperStyleOf(int settingsStyle) {
  switch (settingsStyle) {
    case kWallpaperTiled: return kWallpaperTile;
    case kWallpaperStretched: return kWallpaperStretch;
    default: return kWallpaperCentre;
  }
}

bool CaptureDesktopToFile(const char* path) {
  SIZE size = {};
  BYTE* pixels = CaptureDesktopRgb(&size);
  if (!pixels) return false;
  const bool written = WritePicture(path, pixels, size.cx, size.cy);
  FreeImageBlock(pixels);
  return written;
}

bool SaveActiveDesktopImage(const char* path, int* style) {
  int settingsStyle = kWallpaperCentred;
  const CString wallpaper = GetCurrentWallpaper(&settingsStyle);
  const int used = SaverWallpaperStyleOf(settingsStyle);
  if (style) *style = used;
  // Pages and animations are not pictures the saver can lay out.
  const CString extension = GetFileExtension(wallpaper, true);
  if (!wallpaper.IsEmpty() && extension != "html" && extension != "htm" && extension != "gif") {
    int width = 0, height = 0;
    if (BYTE* pixels = ReadWallpaperPicture(wallpaper, &width, &height, nullptr)) {
      const SIZE screen = ScreenSize();
      BYTE* canvas = BuildWallpaperImageAt(pixels, width, height, used, screen);
      FreeImageBlock(pixels);
      if (canvas) {
        const bool written = WritePicture(path, canvas, screen.cx, screen.cy);
        FreeImageBlock(canvas);
        return written;
      }
    }
  }
  return SaveDesktopColourImage(path);
}

BYTE* BuildWallpaperImage(const BYTE* pixels, int width, int height, int style) {
  return BuildWallpaperImageAt(pixels, width, height, style, ScreenSize());
}

BYTE* BuildWallpaperImageAt(const BYTE* pixels, int width, int height, int style, SIZE size) {
  CScreenDC screen;
  // The DCs go before the bitmaps they hold.
  CBitmap canvas, picture;
  if (size.cx > 0 && size.cy > 0 && screen.GetSafeHdc())
    canvas.Attach(::CreateCompatibleBitmap(screen, size.cx, size.cy));
  if (pixels && width > 0 && height > 0 && screen.GetSafeHdc())
    picture.Attach(RgbToHBitmap(pixels, width, height, nullptr, screen));
  CMemoryDC canvasDc(screen);
  CMemoryDC pictureDc(screen);
  bool drawn = false;
  if (canvasDc.GetSafeHdc() && pictureDc.GetSafeHdc() && canvas.GetSafeHandle() &&
      picture.GetSafeHandle()) {
    CSelectObject canvasSelected(canvasDc, canvas);
    CSelectObject pictureSelected(pictureDc, picture);
    drawn = canvasSelected.IsSelected() && pictureSelected.IsSelected();
    if (drawn && style == kWallpaperTile) {
      TileCanvas(canvasDc, pictureDc, width, height, size);
    } else if (drawn && style == kWallpaperStretch) {
      ::SetStretchBltMode(canvasDc, COLORONCOLOR);
      ::StretchBlt(canvasDc, 0, 0, size.cx, size.cy, pictureDc, 0, 0, width, height, SRCCOPY);
    } else if (drawn) {
      const RECT all = {0, 0, size.cx, size.cy};
      ::FillRect(canvasDc, &all, ::GetSysColorBrush(COLOR_BACKGROUND));
      ::BitBlt(canvasDc, (size.cx - width) / 2, (size.cy - height) / 2, width, height, pictureDc,
               0, 0, SRCCOPY);
    }
  }
  int outWidth = 0, outHeight = 0;
  BYTE* out = drawn ? HBitmapToRgb(canvas, &outWidth, &outHeight, screen, nullptr) : nullptr;
  if (out && (outWidth != size.cx || outHeight != size.cy)) {
    FreeImageBlock(out);
    out = nullptr;
  }
  if (!out) ShowImageLibMessage("Memory allocation problem during making of actual wallpaper image");
  return out;
}

bool SaveDesktopColourImage(const char* path) {
  const SIZE size = ScreenSize();
  if (size.cx <= 0 || size.cy <= 0) return false;
  const SIZE_T bytes = static_cast<SIZE_T>(size.cx) * static_cast<SIZE_T>(size.cy) * 3;
  BYTE* pixels = static_cast<BYTE*>(::GlobalAlloc(GMEM_FIXED, bytes));
  if (!pixels) return false;
  const COLORREF colour = ::GetSysColor(COLOR_BACKGROUND);
  for (SIZE_T i = 0; i < bytes; i += 3) {
    pixels[i] = GetRValue(colour);
    pixels[i + 1] = GetGValue(colour);
    pixels[i + 2] = GetBValue(colour);
  }
  const bool written = WritePicture(path, pixels, size.cx, size.cy);
  ::GlobalFree(pixels);
  return written;
}
