// The TGA reader: colour-mapped, true-colour and grey images, plain and
// run-length encoded, with either origin. The colour map is read exactly,
// stored from its first index on and never past 256 entries; indices past
// the palette are black; run packets stop at the image's end.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

const RGBQUAD kBlack = {0, 0, 0, 0};

void Word555(DWORD v, BYTE* rgb) {
  rgb[0] = static_cast<BYTE>(((v >> 10) & 31) << 3);
  rgb[1] = static_cast<BYTE>(((v >> 5) & 31) << 3);
  rgb[2] = static_cast<BYTE>((v & 31) << 3);
}

bool KnownType(int type) {
  return type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11;
}

int ReadColourMap(ByteReader* r, int first, int length, int entrySize, RGBQUAD* pal) {
  int bytes = (entrySize + 7) / 8;
  if (entrySize != 8 && entrySize != 15 && entrySize != 16 && entrySize != 24 && entrySize != 32)
    return kImgBadTga;
  for (int i = 0; i < length; ++i) {
    BYTE e[4];
    if (!ByteReaderRead(r, e, bytes)) return kImgFileRead;
    int index = first + i;
    if (index >= 256) continue;
    RGBQUAD& q = pal[index];
    if (bytes == 1) {
      q.rgbRed = q.rgbGreen = q.rgbBlue = e[0];
    } else if (bytes == 2) {
      BYTE rgb[3];
      Word555(ReadLe16(e), rgb);
      q.rgbRed = rgb[0];
      q.rgbGreen = rgb[1];
      q.rgbBlue = rgb[2];
    } else {
      q.rgbBlue = e[0];
      q.rgbGreen = e[1];
      q.rgbRed = e[2];
    }
  }
  return kImgOk;
}

}  // namespace

extern "C" BYTE* ReadTga(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette) {
  ImageCall call;
  if (!call) return nullptr;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return nullptr;
  }
  if (!width || !height || (bits != 24 && bits != 8) || (bits == 8 && !palette)) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  BYTE h[18];
  if (!HandleReadExact(src, h, sizeof(h))) {
    call.SetError(kImgFileRead);
    return nullptr;
  }
  int cmapType = h[1];
  int type = h[2];
  int first = ReadLe16(h + 3);
  int cmapLength = ReadLe16(h + 5);
  int entrySize = h[7];
  int w = ReadLe16(h + 12);
  int ht = ReadLe16(h + 14);
  int depth = h[16];
  bool topDown = (h[17] & 0x20) != 0;
  if (depth < 8 || depth > 32 || !KnownType(type) || cmapType > 1 || w == 0 || ht == 0) {
    call.SetError(kImgBadTga);
    return nullptr;
  }
  bool hasMap = cmapType == 1 && cmapLength > 0;
  bool mapped = type == 1 || type == 9;
  if (bits == 8 && (depth > 8 || (!mapped && type != 3))) {
    call.SetError(kImgWrongDepth);
    return nullptr;
  }
  if (bits == 8 && mapped && !hasMap) {
    call.SetError(kImgBadTga);
    return nullptr;
  }
  bool indices = hasMap && (mapped || type == 11);

  int code = kImgOk;
  int outBpp = bits == 8 ? 1 : 3;
  BYTE* out = AllocPixels(w, ht, outBpp, kPixelsUnset, kImgBadTga, &code);
  ByteReader* r = out ? static_cast<ByteReader*>(AllocZeroed(sizeof(ByteReader))) : nullptr;
  if (!r) {
    FreeImageBlock(out);
    call.SetError(code ? code : kImgNoMemory);
    return nullptr;
  }
  ByteReaderInit(r, src);
  RGBQUAD pal[256];
  memset(pal, 0, sizeof(pal));
  BYTE skip[255];
  if (!ByteReaderRead(r, skip, h[0])) code = kImgFileRead;
  if (code == kImgOk && cmapType == 1) code = ReadColourMap(r, first, cmapLength, entrySize, pal);
  if (code == kImgOk && bits == 8) {
    if (!hasMap) GreyRamp(pal);
    memcpy(palette, pal, sizeof(pal));
  }

  int pixelBytes = depth == 8 ? 1 : (depth == 15 || depth == 16) ? 2 : depth == 24 ? 3
                                                                   : depth == 32 ? 4 : 0;
  if (pixelBytes == 0) code = kImgFileRead;
  bool rle = type >= 9;
  int64_t total = static_cast<int64_t>(w) * ht;
  int64_t k = 0;
  int runLeft = 0;
  bool repeat = false;
  BYTE px[4] = {};
  while (code == kImgOk && k < total) {
    if (rle && runLeft == 0) {
      int packet = ByteReaderGet(r);
      if (packet < 0) {
        code = kImgFileRead;
        break;
      }
      runLeft = (packet & 0x7F) + 1;
      repeat = (packet & 0x80) != 0;
      if (repeat && !ByteReaderRead(r, px, pixelBytes)) {
        code = kImgFileRead;
        break;
      }
    }
    if ((!rle || !repeat) && !ByteReaderRead(r, px, pixelBytes)) {
      code = kImgFileRead;
      break;
    }
    if (rle) --runLeft;
    int64_t row = k / w;
    int64_t col = k % w;
    int64_t outRow = topDown ? row : ht - 1 - row;
    BYTE* o = out + (outRow * w + col) * outBpp;
    if (outBpp == 1) {
      *o = px[0];
    } else if (indices) {
      DWORD index = pixelBytes == 1 ? px[0] : ReadLe16(px);
      // An index past the table is black.
      const RGBQUAD& c = index < 256 ? pal[index] : kBlack;
      o[0] = c.rgbRed;
      o[1] = c.rgbGreen;
      o[2] = c.rgbBlue;
    } else if (pixelBytes == 1) {
      o[0] = o[1] = o[2] = px[0];
    } else if (pixelBytes == 2) {
      Word555(ReadLe16(px), o);
    } else {
      o[0] = px[2];
      o[1] = px[1];
      o[2] = px[0];
    }
    ++k;
    if (col == w - 1 && !ProgressContinue(call.state(), static_cast<int>(row), ht))
      code = kImgAborted;
  }
  FreeBlock(r);
  if (code != kImgOk) {
    FreeImageBlock(out);
    out = nullptr;
  } else {
    *width = w;
    *height = ht;
  }
  call.SetError(code);
  return out;
}
