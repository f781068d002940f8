// Where the builder gets an Image/Text object's picture from: a picture
// file, taken only once it has been read and decoded; the thumbnail the
// edit dialogs show; and the desktop's background composed from the
// wallpaper, which the object dialog loads as a picture. A media object's
// file is taken the same way, only once read. Builder only: the saver
// draws the bytes it carries and makes its own desktop pictures.
#include <cstring>
#include <new>

#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "imaging/ImageLib.h"
#include "imaging/RgbImage.h"
#include "script/Objects.h"

namespace {

// Whether the bytes are of a format the picture library reads; for those
// a failed decoding has not been reported yet.
bool IsKnownPictureFormat(const void* bytes, DWORD count) {
  HPVSRC src = OpenMemorySource(bytes, count);
  if (!src) return false;
  const int type = GuessImageType(src);
  CloseSource(src);
  return type == kImageBmp || type == kImageJpeg || type == kImagePng || type == kImagePcx ||
         type == kImageTga || type == kImageWbmp;
}

// Copies of the picture at (0, 0), (w, 0), ... across the whole canvas,
// each drawn with the raster operation over the plain desktop colour. Every
// copy so comes out alike: the first is drawn, then what is done is doubled
// across the row and the row down the canvas, so that even a wallpaper of
// a pixel takes a few dozen copies.
void TileCanvas(HDC canvas, HDC picture, int width, int height, SIZE size, DWORD rop) {
  ::BitBlt(canvas, 0, 0, width, height, picture, 0, 0, rop);
  for (int done = width; done < size.cx; done *= 2)
    ::BitBlt(canvas, done, 0, done < size.cx - done ? done : size.cx - done, height, canvas, 0, 0,
             SRCCOPY);
  for (int done = height; done < size.cy; done *= 2)
    ::BitBlt(canvas, 0, done, size.cx, done < size.cy - done ? done : size.cy - done, canvas, 0,
             0, SRCCOPY);
}

}  // namespace

int CImageTextObject::MakeThumbnail() {
  delete[] m_pThumbnail;
  m_pThumbnail = nullptr;
  m_thumbnailSize = 0;
  if (m_pPicture == nullptr || m_pictureSize == 0) return 0;
  CRgbImage picture;
  if (!picture.LoadMemory(m_pPicture, m_pictureSize)) {
    // An unknown format has had its message from the library already; the
    // reason is taken before the format is looked at again.
    const int error = GetImageError();
    if (IsKnownPictureFormat(m_pPicture, m_pictureSize))
      ShowImageLibMessage(ShowImageLibError(error));
    return 0;
  }
  if (!picture.Scale(kThumbnailWidth, kThumbnailHeight)) return 0;
  uint8_t* thumbnail = new (std::nothrow) uint8_t[kThumbnailBytes];
  if (thumbnail == nullptr) return 0;
  memcpy(thumbnail, picture.GetScaledPixels(), kThumbnailBytes);
  m_pThumbnail = thumbnail;
  m_thumbnailSize = kThumbnailBytes;
  m_drawnSize = picture.GetSize();
  return 1;
}

int CImageTextObject::TakePictureFile(const char* path, int imageSource) {
  CImageTextObject scratch;
  if (!scratch.LoadImageFile(path) || !scratch.MakeThumbnail()) return 0;
  SetPicture(scratch.m_pPicture, scratch.m_pictureSize);
  scratch.m_pPicture = nullptr;
  scratch.m_pictureSize = 0;
  delete[] m_pThumbnail;
  m_pThumbnail = scratch.m_pThumbnail;
  m_thumbnailSize = scratch.m_thumbnailSize;
  scratch.m_pThumbnail = nullptr;
  scratch.m_thumbnailSize = 0;
  m_displayName = scratch.m_displayName;
  m_drawnSize = scratch.m_drawnSize;
  m_imageSource = imageSource;
  return 1;
}

int CMediaObject::TakeMediaFile(const char* path, bool showMessages) {
  CMediaObject scratch;
  if (!scratch.LoadMediaFile(path, showMessages)) return 0;
  SetMedia(scratch.m_pData, scratch.m_dataSize);
  scratch.m_pData = nullptr;
  scratch.m_dataSize = 0;
  m_displayName = scratch.m_displayName;
  m_kind = scratch.m_kind;
  return 1;
}

bool CImageTextObject::CaptureWallpaper(const char* path) const {
  CScreenDC screen;
  if (!screen.GetSafeHdc()) return false;
  const SIZE size = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (size.cx <= 0 || size.cy <= 0) return false;

  int style = kWallpaperCentred;
  const CString wallpaper = GetCurrentWallpaper(&style);
  int width = 0, height = 0;
  BYTE* pixels = nullptr;
  if (!wallpaper.IsEmpty()) {
    CQuietMessages quiet;  // a wallpaper we cannot read leaves the plain colour
    pixels = ReadWallpaperPicture(wallpaper, &width, &height, nullptr);
  }

  // The bitmaps are declared before the DCs that hold them.
  CBitmap canvas, picture;
  canvas.Attach(::CreateCompatibleBitmap(screen, size.cx, size.cy));
  if (pixels) {
    picture.Attach(RgbToHBitmap(pixels, width, height, nullptr, screen));
    FreeImageBlock(pixels);
  }
  if (!canvas.GetSafeHandle()) return false;
  {
    CMemoryDC canvasDc(screen);
    CMemoryDC pictureDc(screen);
    CSelectObject canvasSelected(canvasDc, canvas.GetSafeHandle());
    const RECT all = {0, 0, size.cx, size.cy};
    ::FillRect(canvasDc, &all, ::GetSysColorBrush(COLOR_DESKTOP));
    if (picture.GetSafeHandle()) {
      CSelectObject pictureSelected(pictureDc, picture.GetSafeHandle());
      if (style == kWallpaperTiled) {
        TileCanvas(canvasDc, pictureDc, width, height, size, m_currentColour.GetRasterOp());
      } else if (style == kWallpaperStretched) {
        ::SetStretchBltMode(canvasDc, HALFTONE);
        ::StretchBlt(canvasDc, 0, 0, size.cx, size.cy, pictureDc, 0, 0, width, height, SRCCOPY);
      } else {
        ::BitBlt(canvasDc, (size.cx - width) / 2, (size.cy - height) / 2, width, height,
                 pictureDc, 0, 0, SRCCOPY);
      }
    }
  }
  int outWidth = 0, outHeight = 0;
  BYTE* composed = HBitmapToRgb(static_cast<HBITMAP>(canvas.GetSafeHandle()), &outWidth,
                                &outHeight, screen, nullptr);
  if (!composed) return false;
  const bool written = WriteJpegFile(path, composed, outWidth, outHeight);
  FreeImageBlock(composed);
  return written;
}
