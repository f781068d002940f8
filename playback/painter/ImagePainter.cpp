// The painter's layout modes, the effect-name table, clipping to the screen
// and the frame of every transition: composing the picture, clipping to the
// area, choosing the effect family and completing the picture at the end.
#include "playback/painter/ImagePainter.h"

#include "playback/painter/EffectRun.h"

namespace {

const char* const kEffectNames[kEffectCount] = {
    "None", "Tile", "Stretch", "Random Effect", "Fade From Black", "Dissolve", "Squares",
    "Box In", "Box Out", "Cross In", "Cross Out", "Blinds Horizontal", "Blinds Vertical",
    "Random Bars Horizontal", "Random Bars Vertical", "Alternate Bands Horizontal",
    "Alternate Bands Vertical", "Checkerboard Across", "Checkerboard Down", "Zig-Zag Vertical",
    "Zig-Zag Horizontal", "Cover Down", "Cover Up", "Cover Left", "Cover Right",
    "Cover Left-Down", "Cover Left-Up", "Cover Right-Down", "Cover Right-Up", "Uncover Down",
    "Uncover Up", "Uncover Left", "Uncover Right", "Uncover Left-Down", "Uncover Left-Up",
    "Uncover Right-Down", "Uncover Right-Up", "Wipe Down", "Wipe Up", "Wipe Left",
    "Wipe Right", "Shift Down", "Shift Up", "Shift Left", "Shift Right", "Shift Left-Down",
    "Shift Left-Up", "Shift Right-Down", "Shift Right-Up", "Split Horizontal In",
    "Split Horizontal Out", "Split Vertical In", "Split Vertical Out",
    "Split Scroll Horizontal In", "Split Scroll Horizontal Out", "Split Scroll Vertical In",
    "Split Scroll Vertical Out", "Strips Left-Down", "Strips Left-Up", "Strips Right-Down",
    "Strips Right-Up", "Diagonal Split (Top-Left) In", "Diagonal Split (Top-Left) Out",
    "Diagonal Split (Bottom-Left) In", "Diagonal Split (Bottom-Left) Out", "Fade To Black",
    "Fade From Background", "Snake Wipe Left-to-Right", "Snake Wipe Top-to-Bottom",
    "Snake Wipe Right-to-Left", "Snake Wipe Bottom-to-Top", "Snake Shift Left-to-Right",
    "Snake Shift Top-to-Bottom", "Snake Shift Right-to-Left", "Snake Shift Bottom-to-Top",
    "Snake Spiral Clockwise", "Snake Spiral Anti-Clockwise", "Crossed Left", "Crossed Right",
    "Boxed Grow", "Boxed Shrink", "Triangle", "Roll Right", "Roll Left", "Roll Bottom",
    "Roll Top", "Roll Horizontal", "Roll Vertical"};

// Used when a transition is drawn without a pacer: no delays, no stop.
class CUnpacedPacer : public CPlayPacer {
 public:
  void CalibratedDelay(unsigned, double) override {}
  bool IsStopRequested() const override { return false; }
  DWORD GetTickCount() override { return ::GetTickCount(); }
  void WaitMilliseconds(DWORD) override {}
};

}  // namespace

const char* GetEffectName(int id) {
  if (id < 0 || id >= kEffectCount) return "<not identified>";
  return kEffectNames[id];
}

CSize GetDisplaySize() {
  return CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

bool ClipImageToScreen(int left, int top, int right, int bottom, int x, int y, RECT* out,
                       POINT* srcOffset, SIZE screen) {
  int cutX = x < 0 ? -x : 0;
  int cutY = y < 0 ? -y : 0;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  int width = (right - left) - cutX;
  if (x + width > screen.cx) width = screen.cx - x;
  int height = (bottom - top) - cutY;
  if (y + height > screen.cy) height = screen.cy - y;
  // Nothing visible: an empty rectangle rather than a negative one.
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (srcOffset) {
    srcOffset->x = cutX;
    srcOffset->y = cutY;
  }
  if (out) ::SetRect(out, x, y, x + width, y + height);
  return true;
}

bool ClipImageToScreen(int left, int top, int right, int bottom, int x, int y, RECT* out,
                       POINT* srcOffset) {
  return ClipImageToScreen(left, top, right, bottom, x, y, out, srcOffset, GetDisplaySize());
}

CImagePainter::CImagePainter(int effectId) : m_effectId(effectId), m_screen(GetDisplaySize()) {}

void CImagePainter::SetImage(RECT* imageRect, CBrush* background, DWORD rasterOp, HICON icon) {
  m_imageRect = imageRect;
  m_background = background;
  m_rasterOp = rasterOp;
  m_icon = icon;
}

void CImagePainter::SetDCs(CDC* frameDC, CDC* imageDC) {
  m_frameDC = frameDC;
  m_imageDC = imageDC;
}

void CImagePainter::FillBackground(CDC* dc, int width, int height) {
  if (!dc || !m_background || !m_background->GetSafeHandle()) return;
  CRect r(0, 0, width, height);
  dc->FillRect(&r, m_background);
}

// An icon picture is the icon drawn over the background, in the image DC.
void CImagePainter::DrawIconOnImage() {
  if (!m_icon || !m_imageDC) return;
  FillBackground(m_imageDC, ImageWidth(), ImageHeight());
  m_imageDC->DrawIcon(0, 0, m_icon);
}

void CImagePainter::DrawNone(int srcX, int srcY) {
  if (!m_frameDC || IsEmptyPicture()) return;
  int w = ImageWidth(), h = ImageHeight();
  DrawIconOnImage();
  FillBackground(m_frameDC, w, h);
  if (m_imageDC) m_frameDC->BitBlt(0, 0, w, h, m_imageDC, srcX, srcY, m_rasterOp);
}

void CImagePainter::DrawLayout() {
  // An empty picture draws nothing in any mode (and Tile would divide by 0).
  if (!m_frameDC || IsEmptyPicture()) return;
  int w = ImageWidth(), h = ImageHeight();
  switch (m_effectId) {
    case kEffectNone:
      DrawNone(0, 0);
      break;
    case kEffectTile:
      // The icon lands only in the picture's own W x H, so one copy is
      // enough there; the frame then repeats it.
      DrawIconOnImage();
      FillBackground(m_frameDC, m_screen.cx, m_screen.cy);
      if (!m_imageDC) break;
      for (int i = 0; i <= m_screen.cx / w; ++i)
        for (int j = 0; j <= m_screen.cy / h; ++j)
          m_frameDC->BitBlt(i * w, j * h, w, h, m_imageDC, 0, 0, m_rasterOp);
      break;
    case kEffectStretch: {
      DrawIconOnImage();
      FillBackground(m_frameDC, m_screen.cx, m_screen.cy);
      if (!m_imageDC) break;
      // A fixed mode, so the result does not depend on the DC's history.
      int oldMode = m_frameDC->SetStretchBltMode(COLORONCOLOR);
      m_frameDC->StretchBlt(0, 0, m_screen.cx, m_screen.cy, m_imageDC, 0, 0, w, h, SRCCOPY);
      if (oldMode) m_frameDC->SetStretchBltMode(oldMode);
      break;
    }
    default:
      break;
  }
}

void CImagePainter::BlitFrame(CDC* screen, RECT* otherRect, RECT* position) {
  if (!screen || !m_frameDC || IsEmptyPicture()) return;
  if (m_effectId != kEffectNone) {
    screen->BitBlt(0, 0, m_screen.cx, m_screen.cy, m_frameDC, 0, 0, SRCCOPY);
    return;
  }
  POINT at = {0, 0};
  if (otherRect) {
    at.x = m_imageRect->left;
    at.y = m_imageRect->top;
  } else if (position) {
    at.x = position->left;
    at.y = position->top;
  }
  screen->BitBlt(at.x, at.y, ImageWidth(), ImageHeight(), m_frameDC, 0, 0, SRCCOPY);
}

void CImagePainter::DrawTransition(CDC* screen, CPlayPacer* pacer, POINT* position, int speed,
                                   int srcX, int srcY) {
  if (!screen || !m_frameDC || !position || IsEmptyPicture()) return;
  // A speed from a document may lie outside 100..1000: outside it a delay
  // count turns negative and a fade interval zero.
  if (speed < 100) speed = 100;
  if (speed > 1000) speed = 1000;
  DrawNone(srcX, srcY);
  if (srcX != 0) position->x = 0;
  if (srcY != 0) position->y = 0;
  int id = m_effectId;
  if (id < kEffectFirstTransition || id > kEffectLastTransition) return;

  CUnpacedPacer unpaced;
  if (!pacer) pacer = &unpaced;
  int w = ImageWidth(), h = ImageHeight();
  int saved = screen->SaveDC();
  screen->IntersectClipRect(position->x, position->y, position->x + w, position->y + h);
  {
    CEffectRun run(screen, m_frameDC, pacer, position->x, position->y, w, h, speed);
    if (id == kEffectFadeFromBlack || id == kEffectFadeToBlack)
      RunFade(run, id, m_fadeBitmap);
    else if (id == kEffectFadeFromBackground)
      RunFadeFromBackground(run);
    else if (id == 5 || id == 6 || id == 13 || id == 14)
      RunRandomUnits(run, id);
    else if ((id >= 11 && id <= 20 && id != 13 && id != 14) || (id >= 57 && id <= 60))
      RunInterleaved(run, id);
    else if ((id >= 7 && id <= 10) || (id >= 77 && id <= 81))
      RunRectangles(run, id);
    else if (id >= 21 && id <= 48)
      RunSlide(run, id);
    else if ((id >= 49 && id <= 56) || (id >= 61 && id <= 64))
      RunSplit(run, id);
    else if (id >= 67 && id <= 76)
      RunSnake(run, id);
    else
      RunRoll(run, id);

    // Whatever the effect did, and however early a stop ended it, the area
    // ends with the complete picture (black for Fade To Black).
    if (id == kEffectFadeToBlack)
      screen->FillSolidRect(position->x, position->y, w, h, RGB(0, 0, 0));
    else
      run.PutWholePicture();
  }
  if (saved) screen->RestoreDC(saved);
}
