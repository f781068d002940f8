// The strip of test pictures.
#include "tests/support/image_strip.h"

namespace lwtest {

HBITMAP MakeImageStrip(const std::vector<COLORREF>& colours, int size, COLORREF centre) {
  const int width = size * static_cast<int>(colours.size());
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<DWORD*>(bits);
  const int from = size / 2 - 2, to = size / 2 + 2;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inCentre = x % size >= from && x % size < to && y >= from && y < to;
      const COLORREF c = inCentre ? centre : colours[x / size];
      pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return bitmap;
}

}  // namespace lwtest
