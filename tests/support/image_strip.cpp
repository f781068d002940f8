// The strip of test pictures.
#include "tests/support/image_strip.h"

#include <cstring>

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

std::vector<uint8_t> MakeBmpFile(int width, int height, const std::vector<COLORREF>& pixels) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as every reader takes it
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::vector<uint8_t> bytes(file.bfSize, 0);
  memcpy(bytes.data(), &file, sizeof file);
  memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bytes.data() + file.bfOffBits + static_cast<size_t>(stride) * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const size_t at = static_cast<size_t>(y) * width + x;
      const COLORREF colour = at < pixels.size() ? pixels[at] : 0;
      row[x * 3] = GetBValue(colour);
      row[x * 3 + 1] = GetGValue(colour);
      row[x * 3 + 2] = GetRValue(colour);
    }
  }
  return bytes;
}

std::vector<uint8_t> MakeSolidBmpFile(int width, int height, COLORREF colour) {
  return MakeBmpFile(width, height,
                     std::vector<COLORREF>(static_cast<size_t>(width) * height, colour));
}

}  // namespace lwtest
