// Loading any supported picture into 24-bit pixels, and CRgbImage: a
// picture held in memory of its own with a scaled copy, turned into
// bitmaps, drawn plainly or keyed, composed with what a DC shows, and made
// from a text. The source is the very block the library read the picture
// into (copying it would cost a second fresh block's page faults), handed
// back to the library when dropped; the scaled copy is new[].
#include "imaging/RgbImage.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "framework/Gdi.h"
#include "imaging/TextExtent.h"

namespace {

const char kUnsupportedImageMessage[] =
    "This image format is not supported or image data is corrupted";

// A library source, closed on every path.
class SourceHandle {
 public:
  explicit SourceHandle(HPVSRC src) : m_src(src) {}
  ~SourceHandle() {
    if (m_src) CloseSource(m_src);
  }
  SourceHandle(const SourceHandle&) = delete;
  SourceHandle& operator=(const SourceHandle&) = delete;
  HPVSRC get() const { return m_src; }

 private:
  HPVSRC m_src;
};

// Bytes of a 24-bit picture, or 0 when the size is empty or beyond what
// the library would ever decode.
int64_t RgbBytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  const int64_t pixels = static_cast<int64_t>(width) * height;
  return pixels > LW_IMAGE_MAX_PIXELS ? 0 : pixels * 3;
}

}  // namespace

BYTE* LoadImageRgb(const char* path, SIZE* size, const void* buffer, DWORD bufferSize) {
  if (size) *size = {0, 0};
  const bool fromMemory = buffer != nullptr;
  SourceHandle src(fromMemory ? OpenMemorySource(buffer, bufferSize) : OpenFileSource(path));
  if (!src.get()) return nullptr;
  const int type = GuessImageType(src.get());
  SeekSource(src.get(), 0, 0);
  int width = 0, height = 0;
  BYTE* pixels = nullptr;
  switch (type) {
    case kImageBmp: pixels = ReadBmp(src.get(), &width, &height, 24, nullptr); break;
    case kImageJpeg: pixels = ReadJpeg(src.get(), &width, &height, 24); break;
    case kImagePng: pixels = ReadPng(src.get(), &width, &height, 24, nullptr); break;
    case kImagePcx: pixels = ReadPcx(src.get(), &width, &height, 24, nullptr); break;
    case kImageTga: pixels = ReadTga(src.get(), &width, &height, 24, nullptr); break;
    case kImageWbmp:
      // Without a name to go by, a TGA with neither ID field nor colour map
      // guesses as a wireless bitmap; a file has its name and a wireless
      // bitmap there is one.
      if (fromMemory) {
        pixels = ReadTga(src.get(), &width, &height, 24, nullptr);
        break;
      }
      ShowImageLibMessage(kUnsupportedImageMessage);
      return nullptr;
    default:
      ShowImageLibMessage(kUnsupportedImageMessage);
      return nullptr;
  }
  if (pixels && size) *size = {width, height};
  return pixels;
}

// ---- CRgbImage -----------------------------------------------------------------

CRgbImage::~CRgbImage() { FreeBuffers(false); }

void CRgbImage::FreeBuffers(bool keepSource) {
  delete[] m_pScaled;
  m_pScaled = nullptr;
  m_scaledWidth = m_scaledHeight = 0;
  m_scaledSize = 0;
  if (keepSource) return;
  FreeImageBlock(m_pSource);
  m_pSource = nullptr;
  m_sourceWidth = m_sourceHeight = 0;
  m_sourceSize = 0;
}

bool CRgbImage::TakeBlock(BYTE* block, int width, int height, bool keepSize) {
  const int64_t bytes = RgbBytes(width, height);
  if (!block || bytes == 0 || static_cast<uint64_t>(::GlobalSize(block)) < static_cast<uint64_t>(bytes)) {
    FreeImageBlock(block);
    return false;
  }
  FreeBuffers(false);
  m_pSource = block;
  m_sourceWidth = width;
  m_sourceHeight = height;
  m_sourceSize = keepSize ? static_cast<DWORD>(bytes) : 0;
  return true;
}

bool CRgbImage::LoadMemory(const void* buffer, DWORD size) {
  FreeBuffers(false);
  SIZE got;
  BYTE* block = LoadImageRgb(nullptr, &got, buffer, size);
  return block && TakeBlock(block, got.cx, got.cy, false);
}

bool CRgbImage::LoadPath(const char* path) {
  // The picture shown so far stays until the new one has arrived.
  SIZE got;
  BYTE* block = LoadImageRgb(path, &got, nullptr, 0);
  return block && TakeBlock(block, got.cx, got.cy, false);
}

bool CRgbImage::LoadFromBitmap(HBITMAP bitmap, HDC dc) {
  FreeBuffers(false);
  int width = 0, height = 0;
  BYTE* block = HBitmapToRgb(bitmap, &width, &height, dc, nullptr);
  return block && TakeBlock(block, width, height, true);
}

bool CRgbImage::Scale(int width, int height) {
  if (!m_pSource) return false;
  FreeBuffers(true);
  const int64_t bytes = RgbBytes(width, height);
  if (bytes == 0) return false;
  BYTE* scaled = new (std::nothrow) BYTE[static_cast<size_t>(bytes)];
  if (!scaled) return false;
  if (!ResizeImage(m_pSource, m_sourceWidth, m_sourceHeight, scaled, width, height, 3)) {
    delete[] scaled;
    return false;
  }
  m_pScaled = scaled;
  m_scaledWidth = width;
  m_scaledHeight = height;
  return true;
}

HBITMAP CRgbImage::ToHBitmap(HDC dc, bool useSource) {
  if (useSource)
    return m_pSource ? RgbToHBitmap(m_pSource, m_sourceWidth, m_sourceHeight, nullptr, dc) : nullptr;
  return m_pScaled ? RgbToHBitmap(m_pScaled, m_scaledWidth, m_scaledHeight, nullptr, dc) : nullptr;
}

bool CRgbImage::GetMemoryImageSize(const void* buffer, DWORD size, SIZE* out) {
  const bool loaded = LoadMemory(buffer, size);
  if (loaded && out) *out = GetSize();
  FreeBuffers(false);
  return loaded;
}

bool CRgbImage::DrawScaled(HDC dc, const char* path, int width, int height, SIZE* sourceSize) {
  bool drawn = LoadPath(path) && Scale(width, height) &&
               DrawImage(dc, m_pScaled, m_scaledWidth, m_scaledHeight, 0, 0, m_scaledWidth,
                         m_scaledHeight, nullptr);
  if (drawn && sourceSize) *sourceSize = GetSize();
  FreeBuffers(false);
  return drawn;
}

HBITMAP CRgbImage::LoadBitmap(HDC dc, const void* buffer, DWORD size, SIZE* sourceSize, int width,
                              int height) {
  if (!LoadMemory(buffer, size)) return nullptr;
  return MakeBitmap(dc, sourceSize, width, height);
}

HBITMAP CRgbImage::MakeBitmap(HDC dc, SIZE* sourceSize, int width, int height) {
  HBITMAP bitmap = nullptr;
  const bool sized = width != 0 || height != 0;
  if (m_pSource && (!sized || Scale(width, height))) {
    bitmap = ToHBitmap(dc, !sized);
    if (bitmap && sourceSize) *sourceSize = GetSize();
  }
  FreeBuffers(false);
  return bitmap;
}

bool CRgbImage::DrawTransparent(HDC dc, int x, int y, COLORREF key) {
  return m_pSource &&
         DrawImageTransparent(dc, m_pSource, m_sourceWidth, m_sourceHeight, x, y, key);
}

HBITMAP CRgbImage::ComposeRegion(HDC dc, int x, int y, int left, int top, int right, int bottom) {
  // Only the region is copied out of the DC: the picture drawn over it at
  // its place relative to the region gives the same pixels as drawing it
  // over the whole screen and cutting the region out afterwards.
  const int64_t width = static_cast<int64_t>(right) - left;
  const int64_t height = static_cast<int64_t>(bottom) - top;
  if (!m_pSource || !dc || width <= 0 || height <= 0 || width > LW_IMAGE_MAX_PIXELS ||
      height > LW_IMAGE_MAX_PIXELS || RgbBytes(static_cast<int>(width), static_cast<int>(height)) == 0)
    return nullptr;
  const int64_t offsetX = static_cast<int64_t>(x) - left, offsetY = static_cast<int64_t>(y) - top;
  // A picture this far off cannot reach the region, which is then the DC's
  // content alone.
  const bool apart = offsetX < -0x40000000LL || offsetX > 0x40000000LL ||
                     offsetY < -0x40000000LL || offsetY > 0x40000000LL;
  CBitmap bitmap;
  bitmap.Attach(::CreateCompatibleBitmap(dc, static_cast<int>(width), static_cast<int>(height)));
  CMemoryDC memory(dc);
  if (!memory.GetSafeHdc() || !bitmap.GetSafeHandle()) return nullptr;
  {
    CSelectObject selected(memory, bitmap);
    if (!selected.IsSelected() ||
        !::BitBlt(memory, 0, 0, static_cast<int>(width), static_cast<int>(height), dc, left, top,
                  SRCCOPY))
      return nullptr;
    if (!apart &&
        !DrawImageTransparent(memory, m_pSource, m_sourceWidth, m_sourceHeight,
                              static_cast<int>(offsetX), static_cast<int>(offsetY), kImageKeyColour))
      return nullptr;
  }
  return static_cast<HBITMAP>(bitmap.Detach());
}

bool CRgbImage::RenderText(CTextLook& look, const char* text) {
  const CString body = (text && *text) ? CString(text) : look.text;
  LOGFONTA logFont;
  if (look.font) {
    // No smoothing: blended edges would not match the key colour and would
    // show as a fringe around a transparent text.
    look.font->lfQuality |= 3;
    logFont = *look.font;
  } else if (!::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont)) {
    return false;
  }
  CFont font;
  font.CreateFontIndirect(&logFont);
  CScreenDC screen;
  CMemoryDC memory(screen);
  if (!font.GetSafeHandle() || !memory.GetSafeHdc()) return false;
  CSelectObject fontSelected(memory, font);
  RECT rect;
  if (!fontSelected.IsSelected() || !GetMultiLineTextExtent(memory, body, &rect)) return false;
  // Room for the overhang of italic and bold glyphs that the extent leaves out.
  const double widened = rect.right * 1.02;
  if (widened > LW_IMAGE_MAX_PIXELS) return false;
  rect.right = static_cast<LONG>(widened);
  if (RgbBytes(rect.right, rect.bottom) == 0) return false;
  CBitmap bitmap;
  if (!bitmap.Attach(::CreateCompatibleBitmap(screen, rect.right, rect.bottom))) return false;
  const COLORREF background = look.opaque ? look.bkColour : kImageKeyColour;
  {
    CSelectObject bitmapSelected(memory, bitmap);
    CBrush brush(background);
    if (!bitmapSelected.IsSelected() || !brush.GetSafeHandle()) return false;
    ::FillRect(memory, &rect, brush);
    ::SetBkColor(memory, background);
    ::SetTextColor(memory, look.textColour);
    ::SetBkMode(memory, look.opaque ? OPAQUE : TRANSPARENT);
    ::DrawTextA(memory, body, body.GetLength(), &rect, look.format);
  }
  // The bitmap is read only after it has left the DC (GetDIBits refuses a
  // selected bitmap on Windows).
  ::SetBitmapDimensionEx(bitmap, rect.right, rect.bottom, nullptr);
  return LoadFromBitmap(bitmap, memory);
}

bool CRgbImage::DrawTextThumbnail(HDC dc, CTextLook& look, HBITMAP target, HPALETTE palette) {
  BITMAP info;
  if (!dc || !target || ::GetObjectA(target, sizeof info, &info) != sizeof info) return false;
  if (!RenderText(look, "")) return false;
  SIZE box = {0, 0};
  ::GetBitmapDimensionEx(target, &box);
  if (box.cx <= 0 || box.cy <= 0) box = {info.bmWidth, info.bmHeight};
  const SIZE fitted = FitSizeKeepAspect(m_sourceWidth, m_sourceHeight, box);
  if (!Scale(fitted.cx, fitted.cy)) return false;
  CSelectObject selected(dc, target);
  if (!selected.IsSelected()) return false;
  CSelectPalette paletteSelected(dc, palette, true);
  RECT all = {0, 0, info.bmWidth, info.bmHeight};
  ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
  return DrawImage(dc, m_pScaled, m_scaledWidth, m_scaledHeight, (box.cx - m_scaledWidth) / 2,
                   (box.cy - m_scaledHeight) / 2, m_scaledWidth, m_scaledHeight, palette) != FALSE;
}
