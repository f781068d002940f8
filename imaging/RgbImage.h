// The programs' own layer over the image library: LoadImageRgb, which loads
// any supported picture file or in-memory picture into a 24-bit pixel buffer
// by its guessed type; CRgbImage, a 24-bit picture in memory with a scaled
// copy, which loads, scales, converts to bitmaps, draws (plain and keyed)
// and renders a text into a picture; the desktop capture and the wallpaper
// copy; and the messages the library shows, which take the framework's path
// for library messages.
#pragma once

#include <windows.h>

#include "framework/Object.h"
#include "framework/Strings.h"
#include "imaging/ImageLib.h"

// The transparent key colour of rendered texts and keyed drawing.
constexpr COLORREF kImageKeyColour = 0xE0E0E0;

// ---- messages ----------------------------------------------------------------

// The library's visible reports ("Error during opening wallpaper file." and
// the like) are message boxes with an OK button and no icon, shown as the
// framework shows library messages (ShowLibraryMessage): a thread that must
// never stop for a box (a scene thread playing full screen) silences them
// there for itself.
void ShowImageLibMessage(const char* text);
// The text of an error code, prepared as a report; shows nothing.
CString ShowImageLibError(int code);

// ---- loading -----------------------------------------------------------------

// Loads a picture from memory (buffer not null) or from the path into a new
// 24-bit buffer (the library's: FreeImageBlock by the caller, or
// GlobalFree); width and height receive its
// size. Null on failure, with the reason in GetImageError; a picture of no
// supported format also shows "This image format is not supported or image
// data is corrupted".
BYTE* LoadImageRgb(const char* path, SIZE* size, const void* buffer, DWORD bufferSize);

// Fits (width, height) into bound keeping the aspect ratio; only shrinks,
// and a bound with a zero side leaves the size unchanged. Divides in double;
// a fitted side is at least 1.
SIZE FitSizeKeepAspect(int width, int height, SIZE bound);

// What RenderText needs of an Image/Text object.
struct CTextLook {
  LOGFONTA* font = nullptr;  // its quality is OR-ed with 3; the object keeps it
  CString text;
  COLORREF textColour = 0;
  COLORREF bkColour = kImageKeyColour;
  bool opaque = false;       // else drawn over the key colour
  UINT format = DT_LEFT;     // DrawText flags (the justification)
};

class CRgbImage : public CObject {
 public:
  CRgbImage() = default;
  ~CRgbImage() override;

  // Frees the scaled copy and, unless keepSource, the source.
  void FreeBuffers(bool keepSource = false);

  // The old picture is dropped first: a failed load leaves none.
  bool LoadMemory(const void* buffer, DWORD size);
  // The old picture stays until the new one has arrived.
  bool LoadPath(const char* path);
  // The pixels of a bitmap (read through the DC).
  bool LoadFromBitmap(HBITMAP bitmap, HDC dc);
  bool HasImage() const { return m_pSource != nullptr; }

  SIZE GetSize() const { return {m_sourceWidth, m_sourceHeight}; }
  SIZE GetScaledSize() const { return {m_scaledWidth, m_scaledHeight}; }
  const BYTE* GetSourcePixels() const { return m_pSource; }
  const BYTE* GetScaledPixels() const { return m_pScaled; }

  // Makes the scaled copy at (width, height); false without a picture.
  bool Scale(int width, int height);
  // A new bitmap (owned by the caller) of the source or the scaled copy,
  // compatible with the DC; null on failure.
  HBITMAP ToHBitmap(HDC dc, bool useSource);

  // Loads the picture only to learn its size; the buffers are freed again.
  bool GetMemoryImageSize(const void* buffer, DWORD size, SIZE* out);
  // Loads the file, scales it to (width, height) and draws it at (0, 0).
  bool DrawScaled(HDC dc, const char* path, int width, int height, SIZE* sourceSize);
  // Loads the picture from memory and returns it as a new bitmap, scaled
  // when width or height is not 0; the buffers are freed.
  HBITMAP LoadBitmap(HDC dc, const void* buffer, DWORD size, SIZE* sourceSize, int width,
                     int height);
  // The same for the picture already loaded; its buffers are freed too.
  HBITMAP MakeBitmap(HDC dc, SIZE* sourceSize, int width, int height);
  // Draws the source at (x, y), leaving the key colour's pixels untouched.
  bool DrawTransparent(HDC dc, int x, int y, COLORREF key);
  // The screen content of the DC with the source drawn keyed (0xE0E0E0)
  // over it at (x, y), cut to (left, top, right, bottom): a new bitmap.
  HBITMAP ComposeRegion(HDC dc, int x, int y, int left, int top, int right, int bottom);

  // Renders a text (empty: look.text) into the source: the widest line x
  // 1.02 by the lines' height, on the background colour when opaque, else
  // on the key colour.
  bool RenderText(CTextLook& look, const char* text = "");
  // Renders the text, fits it into the target bitmap's dimension
  // (SetBitmapDimensionEx; its real size when none was set) and draws it
  // centred on the button face colour.
  bool DrawTextThumbnail(HDC dc, CTextLook& look, HBITMAP target, HPALETTE palette);

 private:
  // Takes a library block as the source, handed back (FreeImageBlock) when
  // the source is dropped; false, with the block handed back, when it is
  // smaller than the size says.
  bool TakeBlock(BYTE* block, int width, int height, bool keepSize);

  int m_sourceWidth = 0, m_sourceHeight = 0;
  int m_scaledWidth = 0, m_scaledHeight = 0;
  BYTE* m_pSource = nullptr;  // a library block, 24-bit rows top-down
  BYTE* m_pScaled = nullptr;  // new[]
  DWORD m_sourceSize = 0;     // bytes of the source when it came from a bitmap
  DWORD m_scaledSize = 0;
};

// ---- desktop and wallpaper -----------------------------------------------------

// Wallpaper styles as ReadWallpaperSettings gives them.
enum WallpaperStyle { kWallpaperCentred = 1, kWallpaperTiled = 2, kWallpaperStretched = 3 };

// The desktop window's content as 24-bit pixels (FreeImageBlock by the caller);
// null when it cannot be read.
BYTE* CaptureDesktopRgb(SIZE* size);
// Writes 24-bit pixels as a JPEG of quality 100, progressive; a file that
// could not be written whole is removed.
bool WriteJpegFile(const char* path, const BYTE* pixels, int width, int height);
// Writes the desktop as a JPEG (quality 100, progressive); false when the
// capture or the write failed.
bool CaptureDesktopToJpeg(const char* path);
// The wallpaper file named by the plain desktop settings (activeDesktop
// false) or the Active Desktop's; empty when none. *style is one of
// WallpaperStyle: stretched for "WallpaperStyle" 2, tiled when
// "TileWallpaper" is 1 (tiling wins), else centred. Environment variables
// in the path are expanded.
CString ReadWallpaperSettings(bool activeDesktop, int* style);
// The wallpaper that shows: the plain desktop's, replaced by the Active
// Desktop's when that is on; *style as ReadWallpaperSettings gives it.
CString GetCurrentWallpaper(int* style);
// Why ReadWallpaperPicture gave no pixels.
enum WallpaperReadFailure {
  kWallpaperReadOk = 0,
  kWallpaperCannotOpen = 1,
  kWallpaperNotBmpOrJpeg = 2,
  kWallpaperUndecodable = 3
};
// A wallpaper file (BMP or JPEG) as 24-bit pixels (FreeImageBlock by the
// caller); null with the reason in *failure otherwise.
BYTE* ReadWallpaperPicture(const char* path, int* width, int* height, int* failure);
// Copies the current wallpaper (BMP or JPEG) to a JPEG at path; false (with
// a message where the user can act) when there is none or it cannot be
// read or written.
bool SaveWallpaperAsJpeg(const char* path, int* style);
