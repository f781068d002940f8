// libFuzzer targets over the image library's readers, built natively with
// sanitizers by run-fuzzers.sh. LW_FUZZ_TARGET picks the target: guess (type
// guess, then the reader it names), or one reader at every depth it offers.
#include <stddef.h>
#include <stdint.h>

#include "imaging/ImageLib.h"

namespace {

// Hands the block back, so that later inputs are read into used blocks.
void Release(BYTE* pixels) { FreeImageBlock(pixels); }

void ReadAt(HPVSRC src, int type, int bits) {
  int w = 0, h = 0;
  RGBQUAD palette[256];
  SeekSource(src, 0, 0);
  switch (type) {
    case kImageBmp: Release(ReadBmp(src, &w, &h, bits, palette)); break;
    case kImageJpeg: Release(ReadJpeg(src, &w, &h, bits == 1 ? 8 : bits)); break;
    case kImagePng: Release(ReadPng(src, &w, &h, bits == 1 ? 32 : bits, palette)); break;
    case kImagePcx: Release(ReadPcx(src, &w, &h, bits == 1 ? 8 : bits, palette)); break;
    case kImageTga:
    case kImageWbmp: Release(ReadTga(src, &w, &h, bits == 1 ? 8 : bits, palette)); break;
    default: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HPVSRC src = OpenMemorySource(data, static_cast<DWORD>(size));
  if (!src) return 0;
#if LW_FUZZ_TARGET == 0
  int type = GuessImageType(src);
  ReadAt(src, type, 24);
#else
  static const int kTypes[] = {0, kImageBmp, kImagePcx, kImageTga, kImageJpeg, kImagePng};
  int type = kTypes[LW_FUZZ_TARGET];
  ReadAt(src, type, 24);
  ReadAt(src, type, 8);
  ReadAt(src, type, 1);
#endif
  CloseSource(src);
  return 0;
}
