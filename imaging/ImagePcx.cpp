// The PCX reader: one-plane images of 1, 2, 4 and 8 bits, 1-bit planar
// images of 2 to 4 planes, and 24-bit images of three 8-bit planes. Other
// plane layouts have no defined merge and are refused.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

bool KnownLayout(int bitsPerPlane, int planes) {
  if (bitsPerPlane == 1) return planes >= 1 && planes <= 4;
  if (bitsPerPlane == 2 || bitsPerPlane == 4) return planes == 1;
  if (bitsPerPlane == 8) return planes == 1 || planes == 3;
  return false;
}

// One RLE-decoded scan line; runs stop at the line's end, missing data
// leaves zeros.
void DecodeScanLine(ByteReader* r, BYTE* line, size_t length) {
  memset(line, 0, length);
  size_t n = 0;
  while (n < length) {
    int c = ByteReaderGet(r);
    if (c < 0) return;
    int count = 1;
    if ((c & 0xC0) == 0xC0) {
      count = c & 0x3F;
      c = ByteReaderGet(r);
      if (c < 0) return;
    }
    while (count-- > 0 && n < length) line[n++] = static_cast<BYTE>(c);
  }
}

}  // namespace

extern "C" BYTE* ReadPcx(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette) {
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
  BYTE h[128];
  if (!HandleSeek(src, 0, 0) || !HandleReadExact(src, h, sizeof(h)) || h[0] != 0x0A ||
      (h[1] != 0 && h[1] != 2 && h[1] != 3 && h[1] != 5)) {
    call.SetError(kImgBadPcx);
    return nullptr;
  }
  int bitsPerPlane = h[3];
  int w = ReadLe16(h + 8) - ReadLe16(h + 4) + 1;
  int ht = ReadLe16(h + 10) - ReadLe16(h + 6) + 1;
  int planes = h[65];
  int bytesPerLine = ReadLe16(h + 66);
  int total = planes * bitsPerPlane;
  if (!KnownLayout(bitsPerPlane, planes) || w <= 0 || ht <= 0 || bytesPerLine == 0) {
    call.SetError(kImgBadPcx);
    return nullptr;
  }
  if (bits == 8 && total > 8) {
    call.SetError(kImgWrongDepth);
    return nullptr;
  }

  RGBQUAD pal[256];
  memset(pal, 0, sizeof(pal));
  if (total == 8) {
    bool found = false;
    int64_t size = HandleSize(src);
    BYTE tail[769];
    if (h[1] == 5 && size >= 128 + 769 && HandleSeek(src, size - 769, 0) &&
        HandleReadExact(src, tail, sizeof(tail)) && tail[0] == 0x0C) {
      for (int i = 0; i < 256; ++i) {
        pal[i].rgbRed = tail[1 + 3 * i];
        pal[i].rgbGreen = tail[2 + 3 * i];
        pal[i].rgbBlue = tail[3 + 3 * i];
      }
      found = true;
    }
    if (!found) GreyRamp(pal);
  } else if (total < 8) {
    int entries = 1 << total;
    if (total == 1) {
      pal[1].rgbRed = pal[1].rgbGreen = pal[1].rgbBlue = 255;
    } else {
      for (int i = 0; i < entries; ++i) {
        pal[i].rgbRed = h[16 + 3 * i];
        pal[i].rgbGreen = h[17 + 3 * i];
        pal[i].rgbBlue = h[18 + 3 * i];
      }
    }
    for (int i = entries; i < 256; ++i) pal[i] = pal[0];
  }
  if (bits == 8) memcpy(palette, pal, sizeof(pal));

  int code = kImgOk;
  int outBpp = bits == 8 ? 1 : 3;
  BYTE* out = AllocPixels(w, ht, outBpp, kPixelsUnset, kImgBadPcx, &code);
  // Each plane's line holds at least the row's bytes; shorter lines in the
  // file leave zeros at the end.
  size_t need = (static_cast<size_t>(w) * bitsPerPlane + 7) / 8;
  size_t planeBytes = static_cast<size_t>(bytesPerLine) > need ? bytesPerLine : need;
  size_t rawBytes = static_cast<size_t>(bytesPerLine) * planes;
  BYTE* line = out ? static_cast<BYTE*>(AllocZeroed(planeBytes * planes + rawBytes)) : nullptr;
  ByteReader* reader = line ? static_cast<ByteReader*>(AllocZeroed(sizeof(ByteReader))) : nullptr;
  if (out && !reader) {
    FreeBlock(line);
    FreeImageBlock(out);
    out = nullptr;
    code = kImgNoMemory;
  }
  if (!out || !HandleSkipTo(src, 128)) {
    FreeBlock(reader);
    FreeBlock(line);
    FreeImageBlock(out);
    call.SetError(code ? code : kImgBadPcx);
    return nullptr;
  }
  ByteReaderInit(reader, src);
  *width = w;
  *height = ht;
  for (int y = 0; y < ht; ++y) {
    // The scan line holds the planes one after the other, each
    // bytesPerLine long; a run may cross from one plane into the next.
    BYTE* raw = line + planeBytes * planes;
    DecodeScanLine(reader, raw, rawBytes);
    for (int p = 0; p < planes; ++p)
      memcpy(line + p * planeBytes, raw + static_cast<size_t>(p) * bytesPerLine, bytesPerLine);
    BYTE* o = out + static_cast<size_t>(y) * w * outBpp;
    for (int x = 0; x < w; ++x) {
      if (total == 24) {
        o[3 * x] = line[x];
        o[3 * x + 1] = line[planeBytes + x];
        o[3 * x + 2] = line[2 * planeBytes + x];
        continue;
      }
      int index = 0;
      if (bitsPerPlane == 1) {
        for (int p = 0; p < planes; ++p)
          index |= ((line[p * planeBytes + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
      } else if (bitsPerPlane == 2) {
        index = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
      } else if (bitsPerPlane == 4) {
        index = (line[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
      } else {
        index = line[x];
      }
      if (outBpp == 1) {
        o[x] = static_cast<BYTE>(index);
      } else {
        o[3 * x] = pal[index].rgbRed;
        o[3 * x + 1] = pal[index].rgbGreen;
        o[3 * x + 2] = pal[index].rgbBlue;
      }
    }
    if (!ProgressContinue(call.state(), y, ht)) {
      // The rows below were not read; the block may hold an older picture.
      size_t rowBytes = static_cast<size_t>(w) * outBpp;
      memset(o + rowBytes, 0, (ht - 1 - static_cast<size_t>(y)) * rowBytes);
      code = kImgAborted;
      break;
    }
  }
  FreeBlock(reader);
  FreeBlock(line);
  call.SetError(code);
  return out;
}
