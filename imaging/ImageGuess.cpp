// Names a picture's format from its first 44 bytes and, for a file source
// whose bytes look like a wireless bitmap, from the file's extension.
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
  int type = kImageUnknown;
  for (const Magic& m : kMagics) {
    if (memcmp(head + m.offset, m.bytes, m.length) == 0) {
      type = m.type;
      break;
    }
  }
  if (type != kImageWbmp) return type;
  if (src->kind == kHandleFile && ExtensionIs(src->path, "tga")) return kImageTga;
  return kImageWbmp;
}
