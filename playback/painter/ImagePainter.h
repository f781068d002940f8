// The image painter: puts one prepared picture (or rendered text) of a
// display object onto the output window, either at once with a layout mode
// (None, Tile, Stretch) or step by step with one of the 84 transition
// effects (ids 4 to 87). Also the table of the 88 effect names and the
// clipping of a placed picture to the screen.
//
// The painter owns none of the DCs, bitmaps and brushes it is given; the
// Show command creates them, builds a painter per drawing and frees them.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

class CPlayPacer;

// Effect ids with a meaning of their own; 4 to 87 are the transitions.
enum {
  kEffectNone = 0,
  kEffectTile = 1,
  kEffectStretch = 2,
  kEffectRandom = 3,
  kEffectFirstTransition = 4,
  kEffectFadeFromBlack = 4,
  kEffectFadeToBlack = 65,
  kEffectFadeFromBackground = 66,
  kEffectLastTransition = 87,
  kEffectCount = 88
};

class CImagePainter {
 public:
  explicit CImagePainter(int effectId);
  virtual ~CImagePainter() = default;
  CImagePainter(const CImagePainter&) = delete;
  CImagePainter& operator=(const CImagePainter&) = delete;

  void SetImage(RECT* imageRect, CBrush* background, DWORD rasterOp, HICON icon);
  void SetDCs(CDC* frameDC, CDC* imageDC);
  // The picture's own bitmap, given for the fades (4 and 65). The fades
  // read the composed frame, which holds the same pixels, because a bitmap
  // still selected into a DC must not be read with GetDIBits.
  void SetFadeBitmap(CBitmap* bitmap) { m_fadeBitmap = bitmap; }
  // The screen size that Tile, Stretch and BlitFrame cover; the display's
  // resolution unless set.
  void SetScreenSize(SIZE size) { m_screen = size; }

  // Composes the frame for ids 0, 1 and 2; other ids do nothing.
  void DrawLayout();
  // Composes the frame for None with the picture read from (srcX, srcY) of
  // the image DC; also the first step of every transition.
  void DrawNone(int srcX, int srcY);
  // The final transfer of a layout mode.
  void BlitFrame(CDC* screen, RECT* otherRect, RECT* position);
  // Reveals the picture at *position with the transition effect; speed is
  // 1100 minus the command's effect speed (clamped to 100..1000). A picture
  // cut at the left or top screen edge (srcX or srcY not 0) starts at that
  // edge: the position's coordinate is set to 0.
  void DrawTransition(CDC* screen, CPlayPacer* pacer, POINT* position, int speed, int srcX,
                      int srcY);

  int GetEffectId() const { return m_effectId; }
  int ImageWidth() const { return m_imageRect ? m_imageRect->right - m_imageRect->left : 0; }
  int ImageHeight() const { return m_imageRect ? m_imageRect->bottom - m_imageRect->top : 0; }

 private:
  void FillBackground(CDC* dc, int width, int height);
  void DrawIconOnImage();
  bool IsEmptyPicture() const { return ImageWidth() <= 0 || ImageHeight() <= 0; }

  int m_effectId;
  CDC* m_imageDC = nullptr;
  CDC* m_frameDC = nullptr;
  CBrush* m_background = nullptr;
  DWORD m_rasterOp = SRCCOPY;
  RECT* m_imageRect = nullptr;
  HICON m_icon = nullptr;
  CBitmap* m_fadeBitmap = nullptr;
  CSize m_screen;
};

// The display's resolution.
CSize GetDisplaySize();

// The name of an effect id, "<not identified>" outside 0 to 87.
const char* GetEffectName(int id);

// Clips a picture (left, top, right, bottom) placed at (x, y) to the screen:
// *out is the visible part on the screen, *srcOffset where it starts inside
// the picture. A picture wholly off the right or bottom edge gets an empty
// rectangle. Returns true.
bool ClipImageToScreen(int left, int top, int right, int bottom, int x, int y, RECT* out,
                       POINT* srcOffset, SIZE screen);
bool ClipImageToScreen(int left, int top, int right, int bottom, int x, int y, RECT* out,
                       POINT* srcOffset);

// True when a divided by b leaves no remainder (false for b = 0).
inline bool IsMultipleOf(int a, int b) { return b != 0 && a % b == 0; }
