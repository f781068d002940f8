// Builders of small picture files as bytes, for the image library's tests,
// and a scoped reader that opens a memory source and frees what it read.
#pragma once

#include <windows.h>

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/ImageLib.h"
#include "tests/support/files.h"

namespace imgtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}
inline void PutBe32(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back((v >> (8 * i)) & 0xFF);
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

struct BmpSpec {
  int width = 1;
  int height = 1;
  int bits = 24;
  int compression = 0;
  int headerSize = 40;  // 12: the core header (16-bit sizes, 3-byte palette entries)
  uint32_t clrUsed = 0;
  Bytes masks;
  Bytes palette;  // 4 bytes per entry
  Bytes pixels;
  int64_t offBitsDelta = 0;  // added to the natural pixel offset
};

inline Bytes MakeBmp(const BmpSpec& s) {
  if (s.headerSize == 12) {
    Bytes b = {'B', 'M'};
    const uint32_t off = 14 + 12 + static_cast<uint32_t>(s.palette.size() / 4 * 3);
    Put32(b, static_cast<uint32_t>(off + s.pixels.size()));
    Put32(b, 0);
    Put32(b, static_cast<uint32_t>(off + s.offBitsDelta));
    Put32(b, 12);
    Put16(b, s.width);
    Put16(b, s.height);
    Put16(b, 1);
    Put16(b, s.bits);
    for (size_t i = 0; i + 3 < s.palette.size(); i += 4) b.insert(b.end(), &s.palette[i], &s.palette[i + 3]);
    Append(b, s.pixels);
    return b;
  }
  Bytes info;
  Put32(info, s.headerSize);
  Put32(info, static_cast<uint32_t>(s.width));
  Put32(info, static_cast<uint32_t>(s.height));
  Put16(info, 1);
  Put16(info, s.bits);
  Put32(info, s.compression);
  Put32(info, static_cast<uint32_t>(s.pixels.size()));
  Put32(info, 0);
  Put32(info, 0);
  Put32(info, s.clrUsed);
  Put32(info, 0);
  // A longer header keeps its masks at offset 40.
  Bytes extra(s.headerSize > 40 ? s.headerSize - 40 : 0, 0);
  for (size_t i = 0; i < s.masks.size() && i < extra.size(); ++i) extra[i] = s.masks[i];
  Append(info, extra);
  bool masksAfter = s.headerSize <= 40;
  uint32_t off = 14 + static_cast<uint32_t>(info.size()) + (masksAfter ? s.masks.size() : 0) + s.palette.size();
  Bytes b = {'B', 'M'};
  Put32(b, static_cast<uint32_t>(off + s.pixels.size()));
  Put32(b, 0);
  Put32(b, static_cast<uint32_t>(off + s.offBitsDelta));
  Append(b, info);
  if (masksAfter) Append(b, s.masks);
  Append(b, s.palette);
  Append(b, s.pixels);
  return b;
}

struct PcxSpec {
  int version = 5;
  int width = 1;
  int height = 1;
  int bitsPerPlane = 8;
  int planes = 1;
  int bytesPerLine = 2;
  Bytes palette16 = Bytes(48, 0);
  Bytes data;
  Bytes tail;
};

inline Bytes MakePcx(const PcxSpec& s) {
  Bytes b = {0x0A, static_cast<uint8_t>(s.version), 1, static_cast<uint8_t>(s.bitsPerPlane)};
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, s.width - 1);
  Put16(b, s.height - 1);
  Put16(b, 72);
  Put16(b, 72);
  Append(b, s.palette16);
  b.push_back(0);
  b.push_back(static_cast<uint8_t>(s.planes));
  Put16(b, s.bytesPerLine);
  Put16(b, 1);
  b.resize(128, 0);
  Append(b, s.data);
  Append(b, s.tail);
  return b;
}

struct TgaSpec {
  int type = 2;
  int width = 1;
  int height = 1;
  int depth = 24;
  int descriptor = 0x20;
  Bytes id;
  int mapFirst = 0;
  int mapLength = 0;
  int mapBits = 24;
  Bytes map;
  Bytes pixels;
};

inline Bytes MakeTga(const TgaSpec& s) {
  Bytes b = {static_cast<uint8_t>(s.id.size()), static_cast<uint8_t>(s.mapLength ? 1 : 0),
             static_cast<uint8_t>(s.type)};
  Put16(b, s.mapFirst);
  Put16(b, s.mapLength);
  b.push_back(static_cast<uint8_t>(s.mapLength ? s.mapBits : 0));
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, s.width);
  Put16(b, s.height);
  b.push_back(static_cast<uint8_t>(s.depth));
  b.push_back(static_cast<uint8_t>(s.descriptor));
  Append(b, s.id);
  Append(b, s.map);
  Append(b, s.pixels);
  return b;
}

inline void PngChunk(Bytes& b, const char* type, const Bytes& data) {
  PutBe32(b, static_cast<uint32_t>(data.size()));
  Bytes body(type, type + 4);
  Append(body, data);
  Append(b, body);
  PutBe32(b, crc32(0, body.data(), static_cast<uInt>(body.size())));
}

// A PNG of the given filtered (filter byte 0 per row) raw data.
inline Bytes MakePng(int w, int h, int colourType, int depth, const Bytes& raw,
                     const std::vector<std::pair<std::string, Bytes>>& chunks = {},
                     int interlace = 0) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes ihdr;
  PutBe32(ihdr, w);
  PutBe32(ihdr, h);
  ihdr.push_back(static_cast<uint8_t>(depth));
  ihdr.push_back(static_cast<uint8_t>(colourType));
  ihdr.push_back(0);
  ihdr.push_back(0);
  ihdr.push_back(static_cast<uint8_t>(interlace));
  PngChunk(b, "IHDR", ihdr);
  for (const auto& c : chunks) PngChunk(b, c.first.c_str(), c.second);
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes z(size);
  compress(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  z.resize(size);
  PngChunk(b, "IDAT", z);
  PngChunk(b, "IEND", {});
  return b;
}

// The result of one read: pixels copied out, the size, the last error; the
// address of the block the reader returned (freed since) and, when asked
// for, all of its bytes.
struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  int error = 0;
  Bytes pixels;
  RGBQUAD palette[256] = {};
  const void* block = nullptr;
  Bytes wholeBlock;
};

enum class Reader { Bmp, Pcx, Tga, Jpeg, Png };

inline Decoded Decode(const Bytes& file, Reader reader, int bits, size_t pixelBytes = 0,
                      bool wholeBlock = false) {
  Decoded d;
  HPVSRC src = OpenMemorySource(file.data(), static_cast<DWORD>(file.size()));
  if (!src) {
    d.error = GetImageError();
    return d;
  }
  BYTE* p = nullptr;
  switch (reader) {
    case Reader::Bmp: p = ReadBmp(src, &d.width, &d.height, bits, d.palette); break;
    case Reader::Pcx: p = ReadPcx(src, &d.width, &d.height, bits, d.palette); break;
    case Reader::Tga: p = ReadTga(src, &d.width, &d.height, bits, d.palette); break;
    case Reader::Jpeg: p = ReadJpeg(src, &d.width, &d.height, bits); break;
    case Reader::Png: p = ReadPng(src, &d.width, &d.height, bits, d.palette); break;
  }
  d.error = GetImageError();
  if (p) {
    d.ok = true;
    size_t n = pixelBytes ? pixelBytes : static_cast<size_t>(d.width) * d.height * (bits / 8);
    d.pixels.assign(p, p + n);
    d.block = p;
    if (wholeBlock) d.wholeBlock.assign(p, p + GlobalSize(p));
    GlobalFree(p);
  }
  CloseSource(src);
  return d;
}

using lwtest::TempPath;

}  // namespace imgtest
