// The BMP reader (every depth, bit fields, RLE8 and RLE4, bottom-up and
// top-down, info headers of any length from 40 bytes and the old 12-byte
// core header) and the BMP writer. Every value read from the file is
// checked where it is read; sizes are computed in 64 bits.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

struct BmpInfo {
  int64_t base;      // position of the file header
  int64_t offBits;   // absolute position of the pixel rows
  int64_t paletteEnd;
  int width;
  int height;
  bool topDown;
  int bits;
  DWORD compression;
  bool hasMasks;
  DWORD masks[3];
  int colours;  // palette entries read
  RGBQUAD palette[256];
};

int ReadBmpHeaders(ImageHandle* src, BmpInfo* info) {
  memset(info, 0, sizeof(*info));
  info->base = HandleTell(src);
  BYTE fh[14];
  if (!HandleReadExact(src, fh, sizeof(fh))) return kImgFileRead;
  if (fh[0] != 'B' || fh[1] != 'M') return kImgBadBmp;
  info->offBits = info->base + ReadLe32(fh + 10);
  BYTE ih[52];
  if (!HandleReadExact(src, ih, 4)) return kImgFileRead;
  DWORD headerSize = ReadLe32(ih);
  // The core header: 16-bit unsigned sizes (always bottom-up), no
  // compression, 1, 4, 8 or 24 bits, palette entries of 3 bytes.
  const bool core = headerSize == 12;
  if (!core && (headerSize < 40 || headerSize > 65536)) return kImgBadBmp;
  if (!HandleReadExact(src, ih + 4, core ? 8 : 36)) return kImgFileRead;
  LONG width, height;
  DWORD clrUsed = 0;
  if (core) {
    width = ReadLe16(ih + 4);
    height = ReadLe16(ih + 6);
    info->bits = ReadLe16(ih + 10);
    if (info->bits == 16 || info->bits == 32) return kImgBadBmp;
  } else {
    width = static_cast<LONG>(ReadLe32(ih + 4));
    height = static_cast<LONG>(ReadLe32(ih + 8));
    info->bits = ReadLe16(ih + 14);
    info->compression = ReadLe32(ih + 16);
    clrUsed = ReadLe32(ih + 32);
  }
  if (width <= 0 || height == 0 || height == INT32_MIN) return kImgBadBmp;
  info->width = width;
  info->topDown = height < 0;
  info->height = height < 0 ? -height : height;
  if (static_cast<int64_t>(info->width) * info->height > LW_IMAGE_MAX_PIXELS) return kImgBadBmp;

  // Longer headers (V4, V5) carry the channel masks at offset 40; the rest
  // of such a header is skipped, and the palette follows the whole header.
  DWORD extra = core ? 0 : headerSize - 40;
  DWORD inHeader = extra < 12 ? extra : 12;
  if (inHeader && !HandleReadExact(src, ih + 40, inHeader)) return kImgFileRead;
  if (extra > inHeader && !HandleSkipTo(src, HandleTell(src) + (extra - inHeader)))
    return kImgFileRead;

  int bits = info->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return kImgBadBmp;
  switch (info->compression) {
    case 0:
      break;
    case 1:
      if (bits != 8) return kImgBadBmp;
      break;
    case 2:
      if (bits != 4) return kImgBadBmp;
      break;
    case 3:
      if (bits != 16 && bits != 32) return kImgBadBmp;
      if (inHeader < 12 && !HandleReadExact(src, ih + 40, 12)) return kImgFileRead;
      for (int i = 0; i < 3; ++i) info->masks[i] = ReadLe32(ih + 40 + 4 * i);
      info->hasMasks = true;
      break;
    default:
      return kImgBadBmp;
  }
  if ((info->compression == 1 || info->compression == 2) && info->topDown) return kImgBadBmp;

  // Only palette depths have a palette that matters; deeper files may list
  // entries, which the move to the pixel rows passes over.
  // A core palette has the depth's number of entries; a shorter one, which
  // some writers make, ends where the pixel rows start.
  if (bits <= 8) {
    DWORD count = clrUsed ? clrUsed : (1u << bits);
    const int entrySize = core ? 3 : 4;
    const int64_t room = (info->offBits - HandleTell(src)) / entrySize;
    if (core && room >= 0 && room < count) count = static_cast<DWORD>(room);
    info->colours = count > 256 ? 256 : static_cast<int>(count);
    BYTE entries[256 * 4];
    if (!HandleReadExact(src, entries, entrySize * info->colours)) return kImgFileRead;
    for (int i = 0; i < info->colours; ++i) memcpy(&info->palette[i], entries + entrySize * i, entrySize);
  }
  info->paletteEnd = HandleTell(src);
  return kImgOk;
}

// Bounds-checked RLE8/RLE4 decoding into an 8-bit (indices) or 24-bit
// buffer, from the bottom row up. Runs out of data: 3, with what was decoded.
int DecodeRle(ImageHandle* src, const BmpInfo& info, BYTE* out, int bpp,
              const ImageThreadState* state) {
  const int width = info.width;
  const int height = info.height;
  const bool rle4 = info.compression == 2;
  if (bpp == 3) {
    const RGBQUAD& c = info.palette[0];
    BYTE colour[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
    size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) memcpy(out + 3 * i, colour, 3);
  }
  ByteReader* reader = static_cast<ByteReader*>(AllocZeroed(sizeof(ByteReader)));
  if (!reader) return kImgNoMemory;
  ByteReaderInit(reader, src);
  int64_t x = 0;
  int64_t y = 0;
  auto put = [&](int index) {
    if (x < width && y < height) {
      BYTE* p = out + (static_cast<size_t>(height - 1 - y) * width + x) * bpp;
      if (bpp == 1) {
        *p = static_cast<BYTE>(index);
      } else {
        p[0] = info.palette[index].rgbRed;
        p[1] = info.palette[index].rgbGreen;
        p[2] = info.palette[index].rgbBlue;
      }
    }
    ++x;
  };
  int code = kImgOk;
  bool done = false;
  BYTE absolute[256];
  while (!done) {
    int count = ByteReaderGet(reader);
    int value = ByteReaderGet(reader);
    if (count < 0 || value < 0) {
      code = kImgFileRead;
      break;
    }
    if (count > 0) {
      for (int i = 0; i < count && x < width; ++i)
        put(rle4 ? ((i & 1) ? (value & 15) : (value >> 4)) : value);
      continue;
    }
    int64_t oldY = y;
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      done = true;
    } else if (value == 2) {
      int dx = ByteReaderGet(reader);
      int dy = ByteReaderGet(reader);
      if (dx < 0 || dy < 0) {
        code = kImgFileRead;
        break;
      }
      x += dx;
      y += dy;
    } else {
      int bytes = rle4 ? (value + 1) / 2 : value;
      int padded = bytes + (bytes & 1);
      if (!ByteReaderRead(reader, absolute, padded)) {
        code = kImgFileRead;
        break;
      }
      for (int i = 0; i < value && x < width; ++i)
        put(rle4 ? ((i & 1) ? (absolute[i / 2] & 15) : (absolute[i / 2] >> 4)) : absolute[i]);
    }
    if (x > width) x = width;
    if (y >= height) break;  // rows above the top are ignored
    if (y != oldY && !ProgressContinue(state, static_cast<int>(y), height)) {
      code = kImgAborted;
      break;
    }
  }
  FreeBlock(reader);
  return code;
}

int64_t StoredRowBytes(int width, int bits) {
  return ((static_cast<int64_t>(width) * bits + 31) / 32) * 4;
}

// Reads the uncompressed rows in file order into the output rows.
int ReadRows(ImageHandle* src, const BmpInfo& info, BYTE* out, int64_t outStride,
             const ImageThreadState* state, int outBits) {
  int64_t rowBytes = StoredRowBytes(info.width, info.bits);
  BYTE* row = static_cast<BYTE*>(AllocZeroed(static_cast<size_t>(rowBytes)));
  if (!row) return kImgNoMemory;
  int code = kImgOk;
  int k = 0;
  for (; k < info.height; ++k) {
    if (!ProgressContinue(state, k, info.height)) {
      code = kImgAborted;
      break;
    }
    if (!HandleReadExact(src, row, static_cast<size_t>(rowBytes))) {
      code = kImgFileRead;
      break;
    }
    int target = info.topDown ? k : info.height - 1 - k;
    BYTE* o = out + target * outStride;
    if (outBits == 24)
      ConvertRow(row, o, info.width, info.bits, info.palette, info.hasMasks ? info.masks : nullptr,
                 false, 0);
    else if (outBits == 8)
      UnpackIndices(row, o, info.width, info.bits);
    else
      memcpy(o, row, static_cast<size_t>(outStride));
  }
  if (code != kImgOk) {
    // Rows k and on were not read; the block may hold an older picture
    // there: the last rows of a top-down file, else the first.
    size_t left = static_cast<size_t>(info.height - k) * outStride;
    memset(out + (info.topDown ? k * outStride : 0), 0, left);
  }
  FreeBlock(row);
  return code;
}

BYTE* ReadBmp24(ImageHandle* src, int* width, int* height, ImageThreadState* state, int* code) {
  BmpInfo* info = static_cast<BmpInfo*>(AllocZeroed(sizeof(BmpInfo)));
  if (!info) {
    *code = kImgNoMemory;
    return nullptr;
  }
  BYTE* out = nullptr;
  *code = ReadBmpHeaders(src, info);
  if (*code == kImgOk && !HandleSkipTo(src, info->offBits)) *code = kImgBadBmp;
  // Every byte is written: the rows in full, RLE after it has filled the
  // picture with the first colour.
  if (*code == kImgOk)
    out = AllocPixels(info->width, info->height, 3, kPixelsUnset, kImgBadBmp, code);
  if (out) {
    *width = info->width;
    *height = info->height;
    if (info->compression == 1 || info->compression == 2)
      *code = DecodeRle(src, *info, out, 3, state);
    else
      *code = ReadRows(src, *info, out, static_cast<int64_t>(info->width) * 3, state, 24);
  }
  FreeBlock(info);
  return out;
}

BYTE* ReadBmpIndexed(ImageHandle* src, int* width, int* height, int bits, RGBQUAD* palette,
                     ImageThreadState* state, int* code) {
  BmpInfo* info = static_cast<BmpInfo*>(AllocZeroed(sizeof(BmpInfo)));
  if (!info) {
    *code = kImgNoMemory;
    return nullptr;
  }
  BYTE* out = nullptr;
  *code = ReadBmpHeaders(src, info);
  if (*code == kImgOk && (info->bits > 8 || info->bits > bits)) *code = kImgWrongDepth;
  if (*code == kImgOk) {
    memcpy(palette, info->palette, sizeof(RGBQUAD) * info->colours);
    for (int i = info->colours; i < 256; ++i) palette[i] = info->palette[0];
    if (info->offBits < info->paletteEnd || !HandleSkipTo(src, info->offBits)) *code = kImgBadBmp;
  }
  // RLE leaves the pixels it moves over, and one-bit rows are packed into
  // the start of the block: those need zeros.
  bool sparse = info->compression == 1 || info->compression == 2 || bits == 1;
  if (*code == kImgOk)
    out = AllocPixels(info->width, info->height, 1, sparse ? kPixelsZeroed : kPixelsUnset,
                      kImgBadBmp, code);
  if (out) {
    *width = info->width;
    *height = info->height;
    if (info->compression == 1 || info->compression == 2)
      *code = DecodeRle(src, *info, out, 1, state);
    else if (bits == 1)
      *code = ReadRows(src, *info, out, (info->width + 7) / 8, state, 1);
    else
      *code = ReadRows(src, *info, out, info->width, state, 8);
  }
  FreeBlock(info);
  return out;
}

// One RLE8 row: runs of equal bytes, then the end-of-line escape.
size_t EncodeRle8Row(const BYTE* row, int width, BYTE* out) {
  size_t n = 0;
  for (int i = 0; i < width;) {
    int run = 1;
    while (i + run < width && run < 255 && row[i + run] == row[i]) ++run;
    out[n++] = static_cast<BYTE>(run);
    out[n++] = row[i];
    i += run;
  }
  out[n++] = 0;
  out[n++] = 0;
  return n;
}

}  // namespace

extern "C" BYTE* ReadBmp(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette) {
  ImageCall call;
  if (!call) return nullptr;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return nullptr;
  }
  if (!width || !height || (bits != 24 && bits != 8 && bits != 1) || (bits != 24 && !palette)) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  int code = kImgOk;
  BYTE* out = bits == 24 ? ReadBmp24(src, width, height, call.state(), &code)
                         : ReadBmpIndexed(src, width, height, bits, palette, call.state(), &code);
  call.SetError(code);
  return out;
}

extern "C" DWORD WriteBmp(HPVDEST dest, const BYTE* pixels, int width, int height, int bits,
                          int colours, const RGBQUAD* palette, BOOL rle) {
  ImageCall call;
  if (!call) return 0;
  if (int code = CheckHandle(dest)) {
    call.SetError(code);
    return 0;
  }
  bool paletted = bits == 1 || bits == 4 || bits == 8;
  if (!pixels || width <= 0 || height <= 0 || (!paletted && bits != 16 && bits != 24) ||
      (paletted && (!palette || colours < 0 || colours > (1 << bits))) || (rle && bits != 8)) {
    call.SetError(kImgBadParam);
    return 0;
  }
  if (!paletted) colours = 0;
  int64_t inRow = bits == 1 ? (width + 7) / 8 : bits == 4 ? (width + 1) / 2
                                                          : static_cast<int64_t>(width) * bits / 8;
  int64_t padded = StoredRowBytes(width, bits);
  size_t workBytes = static_cast<size_t>(rle ? 2 * static_cast<int64_t>(width) + 2 : padded);
  if (padded * height + 54 + 1024 > 0xFFFFFFFFll) {
    call.SetError(kImgBadParam);
    return 0;
  }
  BYTE* work = static_cast<BYTE*>(AllocZeroed(workBytes));
  if (!work) {
    call.SetError(kImgNoMemory);
    return 0;
  }
  int64_t imageBytes = padded * height;
  if (rle) {
    imageBytes = 2;
    for (int r = 0; r < height; ++r)
      imageBytes += EncodeRle8Row(pixels + static_cast<size_t>(r) * width, width, work);
  }
  BYTE header[54] = {'B', 'M'};
  DWORD offBits = 54 + colours * 4;
  WriteLe32(header + 2, static_cast<DWORD>(offBits + imageBytes));
  WriteLe32(header + 10, offBits);
  WriteLe32(header + 14, 40);
  WriteLe32(header + 18, width);
  WriteLe32(header + 22, height);
  WriteLe16(header + 26, 1);
  WriteLe16(header + 28, bits);
  WriteLe32(header + 30, rle ? 1 : 0);
  WriteLe32(header + 34, static_cast<DWORD>(imageBytes));
  WriteLe32(header + 46, colours);
  WriteLe32(header + 50, colours);
  int code = kImgOk;
  if (!HandleWrite(dest, header, sizeof(header), 1) ||
      (colours && !HandleWrite(dest, palette, sizeof(RGBQUAD), colours)))
    code = kImgFileWrite;
  for (int r = height - 1; r >= 0 && code == kImgOk; --r) {
    const BYTE* row = pixels + r * inRow;
    size_t n;
    if (rle) {
      n = EncodeRle8Row(row, width, work);
    } else {
      memcpy(work, row, static_cast<size_t>(inRow));
      if (bits == 24) SwapRedBlue(work, width, 1);
      n = static_cast<size_t>(padded);
    }
    if (!HandleWrite(dest, work, n, 1)) code = kImgFileWrite;
    else if (!ProgressContinue(call.state(), height - 1 - r, height)) code = kImgAborted;
  }
  static const BYTE kEndOfBitmap[2] = {0, 1};
  if (code == kImgOk && rle && !HandleWrite(dest, kEndOfBitmap, 2, 1)) code = kImgFileWrite;
  FreeBlock(work);
  call.SetError(code);
  if (code != kImgOk) return 0;
  int64_t size = HandleSize(dest);
  return size > 0 ? static_cast<DWORD>(size) : 0;
}
