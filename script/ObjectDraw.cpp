// The Image/Text object on the screen: measuring it before a run, and the
// drawing that Show, Move and Hide do with it (whole with a layout mode or
// a transition, letter by letter, one step of a move, erased). Texts and
// pictures become bitmaps through the picture layer (CRgbImage) and reach
// the screen through the image painter, which composes them off screen.
// Every area is cut to the screen first, and sizes and positions from the
// document are bounded before anything is allocated, so a picture placed
// partly or wholly off the screen costs only what shows.
#include <windows.h>

#include "common/RandomRange.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "imaging/RgbImage.h"
#include "playback/painter/ImagePainter.h"
#include "script/Objects.h"
#include "script/PickSource.h"
#include "script/PlayContext.h"
#include "script/ScriptMessages.h"
#include "script/ScriptPolicy.h"

const char kConversionFailedMessage[] = "Image conversion failed, skipping this image";
const char kTextBitmapMessage[] = "\ntext bitmap cannot be made.";

namespace {

// Positions beyond this lie far off any screen; bounding them keeps every
// sum of a position and a size inside int.
constexpr int kFarPosition = 1 << 24;

int ClampPosition(int v) {
  return v < -kFarPosition ? -kFarPosition : v > kFarPosition ? kFarPosition : v;
}

bool IsDrawableSize(SIZE s) {
  return s.cx > 0 && s.cy > 0 && s.cx <= kMaxDrawSide && s.cy <= kMaxDrawSide &&
         static_cast<long long>(s.cx) * s.cy <= kMaxDrawPixels;
}

// The part of the object at (x, y) that lies on the screen (empty when
// none) and, in *offset, where that part starts inside the object.
RECT VisiblePart(int x, int y, SIZE size, SIZE screen, POINT* offset = nullptr) {
  RECT out;
  POINT cut;
  ClipImageToScreen(0, 0, size.cx, size.cy, ClampPosition(x), ClampPosition(y), &out, &cut,
                    screen);
  if (out.right <= out.left || out.bottom <= out.top) ::SetRectEmpty(&out);
  if (offset) *offset = cut;
  return out;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// A memory DC holding a new bitmap compatible with dc.
class CCanvas {
 public:
  bool Create(CDC* dc, int w, int h) {
    if (w <= 0 || h <= 0 || !m_bitmap.CreateCompatibleBitmap(dc, w, h) ||
        !m_dc.CreateCompatibleDC(dc))
      return false;
    m_dc.SelectObject(&m_bitmap);
    return true;
  }
  // Takes a bitmap made elsewhere.
  bool Take(CDC* dc, HBITMAP bitmap) {
    if (!bitmap) return false;
    m_bitmap.Attach(bitmap);
    if (!m_dc.CreateCompatibleDC(dc)) return false;
    m_dc.SelectObject(&m_bitmap);
    return true;
  }
  CDC* DC() { return &m_dc; }
  CBitmap* Bitmap() { return &m_bitmap; }

 private:
  CBitmap m_bitmap;  // first: the DC lets go of it before it is deleted
  CDC m_dc;
};

// Random Effect: a transition id from 4 to 87, drawn anew at each drawing.
int PickTransitionEffect() {
  CPickSource& source = GetPickSource();
  const uint32_t seed =
      (source.GetTickCount() << 16) | (static_cast<uint32_t>(source.GetSystemMilliseconds()) & 0xFFFF);
  CRandomRange range(static_cast<int>(seed));
  range.SetRange(3, 88);
  for (int tries = 0; tries < 1000; ++tries) {
    const int id = range.Next();
    if (id >= kEffectFirstTransition && id <= kEffectLastTransition) return id;
  }
  return kEffectFirstTransition;
}

}  // namespace

RECT GetObjectArea(int x, int y, SIZE size) {
  x = ClampPosition(x);
  y = ClampPosition(y);
  RECT r = {x, y, x + size.cx, y + size.cy};
  return r;
}

SIZE GetPlayScreenSize() {
  int horz = 0, vert = 0, cx = 0, cy = 0;
  GetPickSource().GetScreenSize(horz, vert, cx, cy);
  SIZE s = {horz > 0 ? horz : 0, vert > 0 ? vert : 0};
  return s;
}

// ---- saved screen areas ----------------------------------------------------

bool CSavedScreen::Save(CDC* dc, const RECT& area, SIZE screen) {
  Release();
  const RECT whole = {0, 0, screen.cx, screen.cy};
  RECT r;
  if (!dc || !::IntersectRect(&r, &area, &whole)) return false;
  if (!m_bitmap.CreateCompatibleBitmap(dc, Width(r), Height(r)) || !m_dc.CreateCompatibleDC(dc)) {
    Release();
    return false;
  }
  m_dc.SelectObject(&m_bitmap);
  m_dc.BitBlt(0, 0, Width(r), Height(r), dc, r.left, r.top, SRCCOPY);
  m_area = r;
  return true;
}

void CSavedScreen::Restore(CDC* dc) const {
  if (dc && IsSaved())
    dc->BitBlt(m_area.left, m_area.top, Width(m_area), Height(m_area), &m_dc, 0, 0, SRCCOPY);
}

void CSavedScreen::Release() {
  m_dc.DeleteDC();
  m_bitmap.DeleteObject();
  ::SetRectEmpty(&m_area);
}

// ---- measuring -------------------------------------------------------------

UINT CImageTextObject::GetTextFormat() const {
  // An "&" in a text is a character, not a mnemonic mark.
  const UINT align = m_justification == 1 ? DT_CENTER : m_justification == 2 ? DT_RIGHT : DT_LEFT;
  return align | DT_NOPREFIX;
}

bool CImageTextObject::RenderText(CRgbImage& image, int length) {
  CTextLook look;
  look.font = &m_font;
  look.text = length < 0 ? m_text : m_text.Left(length);
  look.textColour = m_textColour;
  look.bkColour = m_bkColour;
  look.opaque = m_bkMode != 0;
  look.format = GetTextFormat();
  return image.RenderText(look);
}

int CImageTextObject::Measure() {
  CRgbImage image;
  if (IsText()) {
    if (!RenderText(image)) {
      ShowScriptMessage(m_text + kTextBitmapMessage, kScriptMessageError);
      return 0;
    }
    m_drawnSize = image.GetSize();
    return 1;
  }
  // A picture that cannot be decoded refuses the run without a word, the
  // picture layer's included.
  SIZE size = {0, 0};
  bool measured;
  {
    CQuietMessages quiet;
    measured = image.GetMemoryImageSize(m_pPicture, m_pictureSize, &size);
  }
  if (!measured || size.cx <= 0 || size.cy <= 0) return 0;
  m_drawnSize = size;
  return 1;
}

void CImageTextObject::ResetDrawing() {
  m_drawn = 0;
  ::SetRectEmpty(&m_drawnRect);
  m_savedBackground.Release();
  EndMove();
}

SIZE CImageTextObject::GetTargetSize(SIZE screen) const {
  SIZE size = m_drawnSize;
  if (!IsText()) {
    if (m_fullScreen) {
      size = m_keepAspect ? FitToBox(m_drawnSize.cx, m_drawnSize.cy, screen.cx, screen.cy) : screen;
    } else if (m_width > 0 || m_height > 0) {
      size.cx = m_width > 0 ? m_width : m_drawnSize.cx;
      size.cy = m_height > 0 ? m_height : m_drawnSize.cy;
    }
  }
  // Anything beyond the limit stays beyond it without growing further, so
  // that the positions worked out from it cannot overflow.
  if (size.cx < 0) size.cx = 0;
  if (size.cy < 0) size.cy = 0;
  if (size.cx > kMaxDrawSide) size.cx = kMaxDrawSide + 1;
  if (size.cy > kMaxDrawSide) size.cy = kMaxDrawSide + 1;
  return size;
}

void CImageTextObject::TakeSourcePicture() {
  if (!ScriptPolicy::TakeSourcePicture(*this)) return;
  m_drawnSize.cx = m_drawnSize.cy = 0;
  if (m_pPicture != nullptr) Measure();
}

// ---- drawing ---------------------------------------------------------------

HBITMAP CImageTextObject::MakeBitmap(CDC* dc, SIZE size, int x, int y) {
  if (!dc || !IsDrawableSize(size)) return nullptr;
  // The picture layer's own reports stay away while the bitmap is made: the
  // caller reports a failure itself, once.
  CQuietMessages quiet;
  if (IsTransparentText()) {
    // The text keyed over what the screen shows under it, so that an
    // effect reveals it as it will stand.
    CRgbImage text;
    if (!RenderText(text)) return nullptr;
    CCanvas canvas;
    if (!canvas.Create(dc, size.cx, size.cy)) return nullptr;
    canvas.DC()->BitBlt(0, 0, size.cx, size.cy, dc, ClampPosition(x), ClampPosition(y), SRCCOPY);
    if (!text.DrawTransparent(*canvas.DC(), 0, 0, kImageKeyColour)) return nullptr;
    canvas.DC()->DeleteDC();
    return static_cast<HBITMAP>(canvas.Bitmap()->Detach());
  }
  CRgbImage image;
  if (IsText()) {
    if (!RenderText(image)) return nullptr;
  } else if (m_pPicture == nullptr || !image.LoadMemory(m_pPicture, m_pictureSize)) {
    return nullptr;
  }
  const SIZE own = image.GetSize();
  const bool scaled = own.cx != size.cx || own.cy != size.cy;
  if (scaled && !image.Scale(size.cx, size.cy)) return nullptr;
  return image.ToHBitmap(*dc, !scaled);
}

bool CImageTextObject::DrawPlain(CDC* dc, int x, int y, SIZE size) {
  if (IsTransparentText()) {
    CRgbImage local;
    CRgbImage* text = m_rgbImage.HasImage() ? &m_rgbImage : &local;
    if (!text->HasImage() && !RenderText(*text)) return false;
    return text->DrawTransparent(*dc, x, y, kImageKeyColour);
  }
  CCanvas made;
  CDC kept;
  CDC* source = nullptr;
  if (m_moveBitmap.GetSafeHandle() && m_moveBitmapSize.cx == size.cx &&
      m_moveBitmapSize.cy == size.cy) {
    if (!kept.CreateCompatibleDC(dc)) return false;
    kept.SelectObject(&m_moveBitmap);
    source = &kept;
  } else {
    if (!made.Take(dc, MakeBitmap(dc, size, x, y))) return false;
    source = made.DC();
  }
  return dc->BitBlt(x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
}

int CImageTextObject::Draw(CDC* dc, CPlayContext* ctx) {
  if (!dc) return 0;
  TakeSourcePicture();
  // Without picture bytes (a source picture that could not be read, which
  // was reported) there is nothing to convert.
  if (!IsText() && m_pPicture == nullptr) return 0;
  const SIZE screen = GetPlayScreenSize();
  int effect = m_currentMotion.m_effect;
  if (effect == kEffectRandom) effect = m_currentMotion.m_effect = PickTransitionEffect();
  if (effect < 0 || effect > kEffectLastTransition) effect = kEffectNone;
  const SIZE size = GetTargetSize(screen);
  const int x = ClampPosition(m_currentMotion.m_currentX);
  const int y = ClampPosition(m_currentMotion.m_currentY);
  const bool layout = effect == kEffectTile || effect == kEffectStretch;
  auto failed = [] {
    ShowScriptMessage(kConversionFailedMessage, kScriptMessagePlain);
    return 0;
  };
  if (!IsDrawableSize(size)) return failed();

  RECT rect;
  POINT src = {0, 0};
  if (layout)
    ::SetRect(&rect, 0, 0, size.cx, size.cy);
  else
    rect = VisiblePart(x, y, size, screen, &src);
  if (!layout && ::IsRectEmpty(&rect)) {
    // Wholly off the screen: on it as far as the script knows, nothing to do.
    m_drawnRect = rect;
    m_drawn = 1;
    return 1;
  }

  if (IsTransparentText() && effect == kEffectNone) {
    CRgbImage text;
    if (!RenderText(text) || !text.DrawTransparent(*dc, x, y, kImageKeyColour)) return failed();
    m_drawnRect = rect;
    m_drawn = 1;
    return 1;
  }

  // The DCs go before the bitmaps they hold.
  CBitmap picture, frameBitmap;
  CDC imageDC, frameDC;
  picture.Attach(MakeBitmap(dc, size, x, y));
  const SIZE frameSize = layout ? screen : SIZE{Width(rect), Height(rect)};
  if (!picture.GetSafeHandle() || !imageDC.CreateCompatibleDC(dc) ||
      !frameBitmap.CreateCompatibleBitmap(dc, frameSize.cx, frameSize.cy) ||
      !frameDC.CreateCompatibleDC(dc))
    return failed();
  imageDC.SelectObject(&picture);
  frameDC.SelectObject(&frameBitmap);

  CBrush brush(m_currentColour.m_background == 1 && ctx ? ctx->GetBackColour()
                                                        : m_currentColour.m_colour);
  CImagePainter painter(effect);
  painter.SetScreenSize(screen);
  painter.SetImage(&rect, &brush, SRCCOPY, nullptr);
  painter.SetDCs(&frameDC, &imageDC);
  if (effect == kEffectNone) {
    painter.DrawNone(src.x, src.y);
    painter.BlitFrame(dc, nullptr, &rect);
  } else if (layout) {
    painter.DrawLayout();
    painter.BlitFrame(dc, nullptr, &rect);
  } else {
    if (effect == kEffectFadeFromBlack || effect == kEffectFadeToBlack)
      painter.SetFadeBitmap(&picture);
    int param = m_currentMotion.m_effectParam;
    param = param < 100 ? 100 : param > 1000 ? 1000 : param;
    POINT at = {rect.left, rect.top};
    painter.DrawTransition(dc, ctx ? ctx->GetPacer() : nullptr, &at, 1100 - param, src.x, src.y);
  }
  if (layout)
    ::SetRect(&m_drawnRect, 0, 0, screen.cx, screen.cy);
  else
    m_drawnRect = rect;
  m_drawn = 1;
  return 1;
}

bool CImageTextObject::DrawLetters(CDC* dc, CPlayContext*, int* index) {
  const int length = m_text.GetLength();
  int i = *index < 0 ? 0 : *index;
  while (i < length && (m_text[i] == '\r' || m_text[i] == '\n')) ++i;
  *index = i;
  if (i >= length || !dc) return false;

  const SIZE screen = GetPlayScreenSize();
  const SIZE full = GetTargetSize(screen);
  const int x = ClampPosition(m_currentMotion.m_currentX);
  const int y = ClampPosition(m_currentMotion.m_currentY);
  CRgbImage prefix;
  if (IsDrawableSize(full) && RenderText(prefix, i + 1)) {
    const SIZE part = prefix.GetSize();
    int at = x;
    if (m_justification == 1)
      at = x + (full.cx - part.cx) / 2;
    else if (m_justification == 2)
      at = x + full.cx - part.cx;
    if (IsTransparentText()) {
      // A centred or right-aligned prefix moves as it grows: the one drawn
      // before must go first.
      if (m_justification == 1 || m_justification == 2) m_savedBackground.Restore(dc);
      prefix.DrawTransparent(*dc, at, y, kImageKeyColour);
    } else {
      CCanvas canvas;
      if (canvas.Take(dc, prefix.ToHBitmap(*dc, true)))
        dc->BitBlt(at, y, part.cx, part.cy, canvas.DC(), 0, 0, SRCCOPY);
    }
    m_drawnRect = VisiblePart(x, y, full, screen);
    m_drawn = 1;
  }
  return i + 1 < length;
}

void CImageTextObject::BeginMove(CDC* dc, SIZE screen) {
  EndMove();
  const RECT whole = {0, 0, screen.cx, screen.cy};
  if (m_moveScreen.Save(dc, whole, screen) && m_drawn) {
    // The object stands on the screen already: where its background was
    // kept, the snapshot shows that instead, so the move leaves no copy of
    // the object behind.
    m_savedBackground.Restore(m_moveScreen.DC());
  }
  const SIZE size = GetTargetSize(screen);
  if (!dc || !IsDrawableSize(size)) return;
  if (IsTransparentText()) {
    RenderText(m_rgbImage);
  } else if (m_moveBitmap.Attach(MakeBitmap(dc, size, 0, 0))) {
    m_moveBitmapSize = size;
  }
}

bool CImageTextObject::IsReadyToMove() const {
  return IsTransparentText() ? m_rgbImage.HasImage() : m_moveBitmap.GetSafeHandle() != nullptr;
}

void CImageTextObject::EndMove() {
  m_moveScreen.Release();
  m_moveBitmap.DeleteObject();
  m_moveBitmapSize.cx = m_moveBitmapSize.cy = 0;
  m_rgbImage.FreeBuffers();
}

void CImageTextObject::SaveBackground(CDC* dc, const RECT& area, SIZE screen) {
  m_savedBackground.Release();
  // During a move the snapshot is the screen without the object.
  m_savedBackground.Save(m_moveScreen.IsSaved() ? m_moveScreen.DC() : dc, area, screen);
}

void CImageTextObject::MoveStep(CDC* dc, const CMotionAttribute& motion, CPlayContext* ctx) {
  const SIZE screen = GetPlayScreenSize();
  const SIZE size = GetTargetSize(screen);
  const COLORREF back = ctx ? ctx->GetBackColour() : 0;
  if (dc && IsDrawableSize(size)) {
    const RECT whole = {0, 0, screen.cx, screen.cy};
    const RECT from = GetObjectArea(m_currentMotion.m_currentX, m_currentMotion.m_currentY, size);
    const RECT to = GetObjectArea(motion.m_currentX, motion.m_currentY, size);
    // The background the object moves over: the screen as the move found
    // it, or the output's colour.
    CSavedScreen* kept = (IsTransparentText() || motion.m_keepWhileMoving) && m_moveScreen.IsSaved()
                             ? &m_moveScreen
                             : nullptr;
    auto putBackground = [&](CDC* target, const RECT& area, int originX, int originY) {
      if (kept)
        target->BitBlt(area.left - originX, area.top - originY, Width(area), Height(area), kept->DC(),
                       area.left, area.top, SRCCOPY);
      else
        target->FillSolidRect(area.left - originX, area.top - originY, Width(area), Height(area),
                              back);
    };
    RECT overlap, joined;
    CCanvas canvas;
    if (::IntersectRect(&overlap, &from, &to)) {
      // Old and new place composed off screen and put in one transfer.
      ::UnionRect(&joined, &from, &to);
      if (::IntersectRect(&joined, &joined, &whole) &&
          canvas.Create(dc, Width(joined), Height(joined))) {
        putBackground(canvas.DC(), joined, joined.left, joined.top);
        DrawPlain(canvas.DC(), to.left - joined.left, to.top - joined.top, size);
        dc->BitBlt(joined.left, joined.top, Width(joined), Height(joined), canvas.DC(), 0, 0,
                   SRCCOPY);
      }
    } else {
      RECT old;
      if (m_drawn && ::IntersectRect(&old, &from, &whole)) putBackground(dc, old, 0, 0);
      if (::IntersectRect(&overlap, &to, &whole)) DrawPlain(dc, to.left, to.top, size);
    }
    m_drawnRect = VisiblePart(motion.m_currentX, motion.m_currentY, size, screen);
    m_drawn = 1;
  }
  m_lastMotion.CopyFrom(m_currentMotion);
  m_currentMotion.CopyFrom(motion);
}

void CImageTextObject::Erase(CDC* dc, CPlayContext* ctx) {
  if (dc && !::IsRectEmpty(&m_drawnRect))
    dc->FillSolidRect(m_drawnRect.left, m_drawnRect.top, Width(m_drawnRect), Height(m_drawnRect),
                      ctx ? ctx->GetBackColour() : 0);
  ::SetRectEmpty(&m_drawnRect);
  m_drawn = 0;
}

bool CImageTextObject::RestoreBackground(CDC* dc, CPlayContext* ctx) {
  if (!m_savedBackground.IsSaved()) return false;
  // A move that was stopped halfway left the object off the kept area.
  RECT inside;
  if (::IntersectRect(&inside, &m_drawnRect, &m_savedBackground.Area()) &&
      ::EqualRect(&inside, &m_drawnRect)) {
    ::SetRectEmpty(&m_drawnRect);
  }
  if (!::IsRectEmpty(&m_drawnRect) && dc)
    dc->FillSolidRect(m_drawnRect.left, m_drawnRect.top, Width(m_drawnRect), Height(m_drawnRect),
                      ctx ? ctx->GetBackColour() : 0);
  m_savedBackground.Restore(dc);
  m_savedBackground.Release();
  ::SetRectEmpty(&m_drawnRect);
  m_drawn = 0;
  return true;
}
