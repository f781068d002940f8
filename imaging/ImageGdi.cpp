// Pixels between library buffers and Windows bitmaps and device contexts,
// and drawing a buffer onto a DC, plainly or with a transparent key colour.
#include "framework/Gdi.h"
#include "imaging/ImageInternal.h"

namespace {

bool HasCaps(HDC dc, int caps) {
  return dc && (GetDeviceCaps(dc, RASTERCAPS) & caps) == caps;
}

// A logical palette from the system palette, for reading bitmaps on a
// palette device when the caller gave none.
HPALETTE SystemPalette(HDC dc) {
  struct {
    WORD version;
    WORD count;
    PALETTEENTRY entries[256];
  } lp = {0x300, 255, {}};
  GetSystemPaletteEntries(dc, 0, 255, lp.entries);
  return CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
}

// The bitmap's pixels read as a 24-bit DIB (GDI converts every depth) and
// turned into top-down red, green, blue rows.
BYTE* BitmapToRgb(HBITMAP bitmap, int* width, int* height, HDC dc, HPALETTE palette, int* code) {
  if (!HasCaps(dc, RC_DI_BITMAP)) {
    *code = kImgDeviceUnsupported;
    return nullptr;
  }
  BITMAP bm;
  if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    *code = kImgGetDIBits;
    return nullptr;
  }
  CPalette temporary;
  if (!palette && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
    temporary.Attach(SystemPalette(dc));
    palette = temporary;
  }
  int64_t rowSize = ((static_cast<int64_t>(bm.bmWidth) * 24 + 31) / 32) * 4;
  BYTE* out = AllocPixels(bm.bmWidth, bm.bmHeight, 3, kPixelsUnset, kImgGetDIBits, code);
  if (!out) return nullptr;
  BYTE* bits = static_cast<BYTE*>(AllocZeroed(static_cast<size_t>(rowSize * bm.bmHeight)));
  if (!bits) {
    FreeBlock(out);
    *code = kImgNoMemory;
    return nullptr;
  }
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = bm.bmWidth;
  bmi.bmiHeader.biHeight = bm.bmHeight;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  int lines;
  {
    CScreenDC screen;
    CSelectPalette selected(screen, palette);
    lines = GetDIBits(screen, bitmap, 0, bm.bmHeight, bits, &bmi, DIB_RGB_COLORS);
  }
  if (lines != bm.bmHeight) {
    FreeBlock(bits);
    FreeBlock(out);
    *code = kImgGetDIBits;
    return nullptr;
  }
  for (int r = 0; r < bm.bmHeight; ++r)
    ConvertRow(bits + (bm.bmHeight - 1 - r) * rowSize, out + static_cast<size_t>(r) * bm.bmWidth * 3,
               bm.bmWidth, 24, nullptr, nullptr, false, 0);
  FreeBlock(bits);
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  return out;
}

HBITMAP MakeBitmap(const BYTE* pixels, int width, int height, HPALETTE palette, HDC dc,
                   const ImageThreadState* state, int* code) {
  if (!pixels || width <= 0 || height <= 0 ||
      static_cast<int64_t>(width) * height > LW_IMAGE_MAX_PIXELS) {
    *code = kImgBadParam;
    return nullptr;
  }
  int rowSize = ((width * 24 + 31) / 32) * 4;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biSizeImage = static_cast<DWORD>(rowSize) * height;
  if (state->dibSectionSwitch) {
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) {
      *code = kImgCreateDIBSection;
      return nullptr;
    }
    RgbToDibRows(pixels, static_cast<BYTE*>(bits), width, height, rowSize);
    return section;
  }
  BYTE* bits = static_cast<BYTE*>(AllocZeroed(bmi.bmiHeader.biSizeImage));
  if (!bits) {
    *code = kImgNoMemory;
    return nullptr;
  }
  RgbToDibRows(pixels, bits, width, height, rowSize);
  CScreenDC screen;
  HDC target = dc ? dc : screen.GetSafeHdc();
  HBITMAP bitmap = nullptr;
  if (!HasCaps(target, RC_DI_BITMAP)) {
    *code = kImgDeviceUnsupported;
  } else {
    CSelectPalette selected(target, palette);
    bitmap = CreateDIBitmap(target, &bmi.bmiHeader, CBM_INIT, bits, &bmi, DIB_RGB_COLORS);
    if (!bitmap) *code = kImgCreateDIBitmap;
  }
  FreeBlock(bits);
  return bitmap;
}

}  // namespace

extern "C" BYTE* HBitmapToRgb(HBITMAP bitmap, int* width, int* height, HDC dc, HPALETTE palette) {
  ImageCall call;
  if (!call) return nullptr;
  if (!width || !height) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  int code = kImgOk;
  BYTE* out = BitmapToRgb(bitmap, width, height, dc, palette, &code);
  call.SetError(code);
  return out;
}

extern "C" BYTE* DcToRgb(HDC dc, int x, int y, int width, int height) {
  ImageCall call;
  if (!call) return nullptr;
  if (!dc || width <= 0 || height <= 0) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  if (!HasCaps(dc, RC_BITBLT | RC_BITMAP64)) {
    call.SetError(kImgDeviceUnsupported);
    return nullptr;
  }
  CMemoryDC memory(dc);
  if (!memory.GetSafeHdc()) {
    call.SetError(kImgDcError);
    return nullptr;
  }
  CBitmap bitmap;
  if (!bitmap.Attach(CreateCompatibleBitmap(dc, width, height))) {
    call.SetError(kImgCreateBitmap);
    return nullptr;
  }
  {
    CSelectObject selected(memory, bitmap);
    if (!selected.IsSelected()) {
      call.SetError(kImgSelectObject);
      return nullptr;
    }
    if (!BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY)) {
      call.SetError(kImgBitBlt);
      return nullptr;
    }
  }
  int code = kImgOk;
  int w = 0, h = 0;
  BYTE* out = BitmapToRgb(bitmap, &w, &h, dc, nullptr, &code);
  call.SetError(code);
  return out;
}

extern "C" HBITMAP RgbToHBitmap(const BYTE* pixels, int width, int height, HPALETTE palette,
                                HDC dc) {
  ImageCall call;
  if (!call) return nullptr;
  int code = kImgOk;
  HBITMAP bitmap = MakeBitmap(pixels, width, height, palette, dc, call.state(), &code);
  call.SetError(code);
  return bitmap;
}

extern "C" BOOL DrawImage(HDC dc, const BYTE* pixels, int width, int height, int x, int y,
                          int outWidth, int outHeight, HPALETTE palette) {
  ImageCall call;
  if (!call) return FALSE;
  if (!dc) {
    call.SetError(kImgBadParam);
    return FALSE;
  }
  int code = kImgOk;
  CBitmap bitmap;
  if (!bitmap.Attach(MakeBitmap(pixels, width, height, palette, dc, call.state(), &code))) {
    call.SetError(code);
    return FALSE;
  }
  if (!HasCaps(dc, RC_BITBLT)) {
    call.SetError(kImgDeviceUnsupported);
    return FALSE;
  }
  HPALETTE used = palette ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  CSelectPalette targetPalette(dc, used);
  CMemoryDC memory(dc);
  if (!memory.GetSafeHdc()) {
    call.SetError(kImgDcError);
    return FALSE;
  }
  CSelectPalette memoryPalette(memory, used);
  CSelectObject selected(memory, bitmap);
  if (!selected.IsSelected()) {
    call.SetError(HasCaps(dc, RC_BITMAP64) ? kImgSelectObject : kImgDeviceUnsupported);
    return FALSE;
  }
  // The output size limits the copied area; nothing is stretched.
  int w = outWidth < width ? outWidth : width;
  int h = outHeight < height ? outHeight : height;
  if (w > 0 && h > 0 && !BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY)) {
    call.SetError(kImgBitBlt);
    return FALSE;
  }
  call.SetError(kImgOk);
  return TRUE;
}

extern "C" BOOL DrawImageTransparent(HDC dc, const BYTE* pixels, int width, int height, int x,
                                     int y, COLORREF key) {
  ImageCall call;
  if (!call) return FALSE;
  if (!dc) {
    call.SetError(kImgBadParam);
    return FALSE;
  }
  int code = kImgOk;
  CBitmap image;
  if (!image.Attach(MakeBitmap(pixels, width, height, nullptr, dc, call.state(), &code))) {
    call.SetError(code);
    return FALSE;
  }
  if (!HasCaps(dc, RC_BITBLT | RC_BITMAP64)) {
    call.SetError(kImgDeviceUnsupported);
    return FALSE;
  }
  // The DCs go before the bitmaps they hold.
  CBitmap mask, workBitmap;
  mask.Attach(CreateBitmap(width, height, 1, 1, nullptr));
  workBitmap.Attach(CreateCompatibleBitmap(dc, width, height));
  CMemoryDC source(dc);
  CMemoryDC maskDc(dc);
  CMemoryDC work(dc);
  if (!source.GetSafeHdc() || !maskDc.GetSafeHdc() || !work.GetSafeHdc() ||
      !mask.GetSafeHandle() || !workBitmap.GetSafeHandle()) {
    call.SetError(kImgDcError);
    return FALSE;
  }
  CSelectObject selectImage(source, image);
  CSelectObject selectMask(maskDc, mask);
  CSelectObject selectWork(work, workBitmap);
  if (!selectImage.IsSelected() || !selectMask.IsSelected() || !selectWork.IsSelected()) {
    call.SetError(kImgDcError);
    return FALSE;
  }
  SetMapMode(source, GetMapMode(dc));
  POINT size = {width, height};
  DPtoLP(source, &size, 1);

  // The mask is white where the image has the key colour.
  SetBkColor(source, key);
  BitBlt(maskDc, 0, 0, width, height, source, 0, 0, SRCCOPY);
  // Key pixels of the image become black; elsewhere the target is cleared.
  SetBkColor(source, RGB(255, 255, 255));
  SetTextColor(source, RGB(0, 0, 0));
  BitBlt(source, 0, 0, width, height, maskDc, 0, 0, 0x00220326);  // DSna
  BitBlt(work, 0, 0, width, height, dc, x, y, SRCCOPY);
  SetBkColor(work, RGB(255, 255, 255));
  SetTextColor(work, RGB(0, 0, 0));
  BitBlt(work, 0, 0, width, height, maskDc, 0, 0, SRCAND);
  BitBlt(work, 0, 0, width, height, source, 0, 0, SRCPAINT);
  if (!BitBlt(dc, x, y, size.x, size.y, work, 0, 0, SRCCOPY)) {
    call.SetError(kImgBitBlt);
    return FALSE;
  }
  call.SetError(kImgOk);
  return TRUE;
}
