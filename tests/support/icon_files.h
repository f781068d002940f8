// Icon files (".ico") built as bytes for the tests of custom icons: a
// directory and, for each image, an information header and filler.
#pragma once

#include <cstdint>
#include <vector>

namespace lwtest {

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
inline std::vector<uint8_t> MakeIco(const std::vector<IconImage>& images, uint8_t seed) {
  std::vector<uint8_t> out(6 + 16 * images.size());
  out[2] = 1;
  out[4] = static_cast<uint8_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& im = images[i];
    std::vector<uint8_t> data(im.bytes < 40 ? 40 : im.bytes);
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

}  // namespace lwtest
