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

// One image of an ".ico" file: its size, the directory's colour count (16,
// or 0 for 256 colours), bits per pixel and byte count.
struct IconImage {
  int size;
  int colourCount;
  int bitCount;
  uint32_t bytes;
};

// An ".ico" whose images are an information header followed by filler
// bytes (seed + image index + 7 * offset).
inline Bytes MakeIco(const std::vector<IconImage>& images, uint8_t seed) {
  Bytes out(6 + 16 * images.size());
  out[2] = 1;
  out[4] = static_cast<uint8_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& im = images[i];
    Bytes data(im.bytes < 40 ? 40 : im.bytes);
    for (size_t k = 0; k < data.size(); ++k) data[k] = static_cast<uint8_t>(seed + i + k * 7);
    const int32_t h = 2 * im.size;
    for (int k = 0; k < 40; ++k) data[k] = 0;
    data[0] = 40;
    for (int k = 0; k < 4; ++k) {
      data[4 + k] = static_cast<uint8_t>(im.size >> (8 * k));
      data[8 + k] = static_cast<uint8_t>(h >> (8 * k));
    }
    data[12] = 1;
    data[14] = static_cast<uint8_t>(im.bitCount);
    uint8_t* d = &out[6 + 16 * i];
    d[0] = d[1] = static_cast<uint8_t>(im.size);
    d[2] = static_cast<uint8_t>(im.colourCount);
    d[4] = 1;
    d[6] = static_cast<uint8_t>(im.bitCount);
    const uint32_t offset = static_cast<uint32_t>(out.size());
    for (int k = 0; k < 4; ++k) {
      d[8 + k] = static_cast<uint8_t>(im.bytes >> (8 * k));
      d[12 + k] = static_cast<uint8_t>(offset >> (8 * k));
    }
    out.insert(out.end(), data.begin(), data.end());
  }
  return out;
}

}  // namespace picturetest
