// Names a picture's format from its first 44 bytes and, for a file source
// whose bytes look like a wireless bitmap, from the file's extension. TGA
// has no magic bytes: its 18-byte header is recognised when its fields
// agree with each other.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

struct Magic {
  int type;
  int offset;
  int length;
  const char* bytes;
};

const Magic kMagics[] = {
    {kImageBmp, 0, 2, "BM"},
    {kImageJqw, 0, 3, "JQW"},
    {kImageGif, 0, 6, "GIF89a"},
    {kImageGif, 0, 6, "GIF87a"},
    {kImageJpeg, 0, 4, "\xFF\xD8\xFF\xE0"},
    {kImageJpeg, 0, 3, "\xFF\xD8\xFF"},
    {kImagePcx, 0, 2, "\x0A\x00"},
    {kImagePcx, 0, 2, "\x0A\x02"},
    {kImagePcx, 0, 2, "\x0A\x03"},
    {kImagePcx, 0, 2, "\x0A\x05"},
    {kImageTiff, 0, 2, "MM"},
    {kImageTiff, 0, 2, "II"},
    {kImagePng, 0, 8, "\x89PNG\r\n\x1A\n"},
    {kImageWmf, 0, 5, "\x01\x00\x09\x00\x00"},
    {kImageWmf, 0, 4, "\xD7\xCD\xC6\x9A"},
    {kImageEmf, 40, 4, " EMF"},
    {kImagePsd, 0, 4, "8BPS"},
    {kImageXkv, 0, 4, "XKV\x01"},
    {kImageXkv2, 0, 4, "TLAU"},
    {kImageWbmp, 0, 2, "\x00\x00"},
};

bool ExtensionIs(const char* path, const char* ext) {
  const char* dot = strrchr(path, '.');
  if (!dot) return false;
  ++dot;
  for (; *dot && *ext; ++dot, ++ext) {
    char c = *dot;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *ext) return false;
  }
  return !*dot && !*ext;
}

// True when the first 18 bytes are a TGA header whose fields agree: a
// known image type, a colour map exactly when the type uses one (or absent
// fields when there is none), pixel and map entry depths that the type
// allows, a size that is neither empty nor beyond what is ever decoded,
// and no reserved descriptor bits. The ID field's length is free.
//
// No file of the magic table's formats passes, so this test runs first.
// The second byte (the colour-map type) must be 0 or 1, which only PCX
// (0A 00), WMF (01 00 09 00 00), EMF (01 00 00 00) and the wireless bitmap
// (00 00) share, and each of those then fails: a PCX's encoding byte 1
// reads as a colour-mapped type without a map, the WMF as a run-length
// colour-mapped type without a map, the EMF as type 0, and a wireless
// bitmap's height, never 0, lands in the colour-map fields of a header
// without a map (or its width, from 128 up, in the type). A TGA whose ID
// field is 10 bytes long starts like a PCX and is still taken as a TGA.
bool IsTgaHeader(const BYTE* h) {
  const int cmapType = h[1];
  const int type = h[2];
  const int mapFirst = ReadLe16(h + 3);
  const int mapLength = ReadLe16(h + 5);
  const int mapBits = h[7];
  const int width = ReadLe16(h + 12);
  const int height = ReadLe16(h + 14);
  const int depth = h[16];
  const int descriptor = h[17];
  if (width == 0 || height == 0 || static_cast<int64_t>(width) * height > LW_IMAGE_MAX_PIXELS)
    return false;
  // Bits 6 and 7 are reserved (an interleaving the reader does not do); the
  // low four count the attribute (alpha) bits of a pixel.
  if ((descriptor & 0xC0) != 0 || (descriptor & 0x0F) > 8) return false;
  if (cmapType == 0) {
    if (mapFirst != 0 || mapLength != 0 || mapBits != 0) return false;
  } else if (cmapType == 1) {
    if (mapLength == 0) return false;
    if (mapBits != 8 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
      return false;
  } else {
    return false;
  }
  switch (type) {
    case 1:
    case 9:  // colour-mapped: indices of 8 or 16 bits into a map
      return cmapType == 1 && (depth == 8 || depth == 15 || depth == 16);
    case 2:
    case 10:  // true colour
      return depth == 15 || depth == 16 || depth == 24 || depth == 32;
    case 3:
    case 11:  // grey, with an optional alpha byte
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

}  // namespace

extern "C" int GuessImageType(HPVSRC src) {
  ImageCall call;
  if (!call) return kImageUnknown;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return kImageUnknown;
  }
  BYTE head[44];
  if (!HandleReadExact(src, head, sizeof(head))) {
    call.SetError(kImgFileRead);
    return kImageUnknown;
  }
  call.SetError(kImgOk);
  if (IsTgaHeader(head)) return kImageTga;
  int type = kImageUnknown;
  for (const Magic& m : kMagics) {
    if (memcmp(head + m.offset, m.bytes, m.length) == 0) {
      type = m.type;
      break;
    }
  }
  if (type != kImageWbmp) return type;
  // A header that disagrees with itself but is named like a TGA goes to the
  // TGA reader, which says what is wrong with it.
  if (src->kind == kHandleFile && ExtensionIs(src->path, "tga")) return kImageTga;
  return kImageWbmp;
}
