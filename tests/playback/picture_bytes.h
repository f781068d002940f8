// Picture files built as bytes for the display tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "script/DataBlock.h"
#include "script/Objects.h"

namespace picturetest {

using Bytes = std::vector<uint8_t>;

// A 24-bit BMP file (rows bottom-up, padded to four bytes).
inline Bytes MakeBmp(int w, int h, const std::function<COLORREF(int, int)>& pixel) {
  const int stride = (w * 3 + 3) & ~3;
  const uint32_t size = 54 + stride * h;
  Bytes b(size, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = &b[54 + (h - 1 - y) * stride];
    for (int x = 0; x < w; ++x) {
      const COLORREF c = pixel(x, y);
      row[3 * x] = GetBValue(c);
      row[3 * x + 1] = GetGValue(c);
      row[3 * x + 2] = GetRValue(c);
    }
  }
  return b;
}

// A picture object holding the bytes.
inline void SetPictureBytes(CImageTextObject& object, const Bytes& bytes) {
  object.SetPicture(CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size())),
                    static_cast<uint32_t>(bytes.size()));
}

// An 8-bit BMP file with a palette of 256 grey levels: each pixel is the
// index the function gives (rows bottom-up, padded to four bytes).
inline Bytes MakeBmp8(int w, int h, const std::function<uint8_t(int, int)>& index) {
  const int stride = (w + 3) & ~3;
  const uint32_t offset = 54 + 1024;
  const uint32_t size = offset + stride * h;
  Bytes b(size, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, offset);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1;
  b[28] = 8;
  put32(46, 256);
  for (int i = 0; i < 256; ++i) b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<uint8_t>(i);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b[offset + (h - 1 - y) * stride + x] = index(x, y);
  return b;
}

}  // namespace picturetest
