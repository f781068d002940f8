// The media files of the players' tests, written byte by byte.
#include "tests/support/media_fixtures.h"

#include <cstring>
#include <string>

namespace lwtest {
namespace {

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }
void PutBig32(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
// Sets the little-endian size at `at` to what follows it up to the end.
void CloseChunk(Bytes& b, size_t at) {
  const uint32_t size = static_cast<uint32_t>(b.size() - at - 4);
  std::memcpy(&b[at], &size, 4);
}

}  // namespace

Bytes SilentMp3(int frames, uint32_t header) {
  uint32_t frameBytes = kMp3FrameBytes;
  if (header != kMp3Header) {
    // Only the layer III tables this file's tests use: MPEG-2 at 64 kbit/s
    // and 22,050 Hz.
    frameBytes = 72000 * 64 / 22050;
  }
  Bytes b;
  for (int f = 0; f < frames; ++f) {
    PutBig32(b, header);
    b.insert(b.end(), frameBytes - 4, 0);
  }
  return b;
}

Bytes WithId3v2(const Bytes& mp3, uint32_t body) {
  Bytes b = {'I', 'D', '3', 3, 0, 0};
  for (int shift = 21; shift >= 0; shift -= 7) b.push_back(static_cast<uint8_t>((body >> shift) & 0x7F));
  b.insert(b.end(), body, 0);
  b.insert(b.end(), mp3.begin(), mp3.end());
  return b;
}

Bytes PcmWave(const std::vector<int16_t>& samples, int rate, int channels) {
  Bytes b;
  PutTag(b, "RIFF");
  Put32(b, 0);
  PutTag(b, "WAVE");
  PutTag(b, "fmt ");
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, channels);
  Put32(b, rate);
  Put32(b, rate * channels * 2);
  Put16(b, channels * 2);
  Put16(b, 16);
  PutTag(b, "data");
  Put32(b, static_cast<uint32_t>(samples.size() * channels * 2));
  for (int16_t s : samples)
    for (int c = 0; c < channels; ++c) Put16(b, static_cast<uint16_t>(s));
  CloseChunk(b, 4);
  return b;
}

Bytes OneNoteMidi() {
  Bytes b;
  PutTag(b, "MThd");
  PutBig32(b, 6);
  const uint8_t header[] = {0, 0, 0, 1, 0, 96};
  b.insert(b.end(), header, header + sizeof header);
  PutTag(b, "MTrk");
  const uint8_t track[] = {0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
  PutBig32(b, sizeof track);
  b.insert(b.end(), track, track + sizeof track);
  return b;
}

Bytes SolidAvi(int width, int height, int frames, int fps, COLORREF colour, bool topDown) {
  const uint32_t frameBytes = static_cast<uint32_t>(width * height * 3);
  Bytes b;
  PutTag(b, "RIFF");
  Put32(b, 0);
  PutTag(b, "AVI ");
  PutTag(b, "LIST");
  const size_t hdrl = b.size();
  Put32(b, 0);
  PutTag(b, "hdrl");
  PutTag(b, "avih");
  Put32(b, 56);
  Put32(b, 1000000 / fps);
  Put32(b, frameBytes * fps);
  Put32(b, 0);
  Put32(b, 0x10);  // has an index
  Put32(b, frames);
  Put32(b, 0);
  Put32(b, 1);
  Put32(b, frameBytes);
  Put32(b, width);
  Put32(b, height);
  for (int i = 0; i < 4; ++i) Put32(b, 0);
  PutTag(b, "LIST");
  const size_t strl = b.size();
  Put32(b, 0);
  PutTag(b, "strl");
  PutTag(b, "strh");
  Put32(b, 56);
  PutTag(b, "vids");
  PutTag(b, "DIB ");
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 1);    // scale
  Put32(b, fps);  // rate
  Put32(b, 0);
  Put32(b, frames);
  Put32(b, frameBytes);
  Put32(b, 0xFFFFFFFF);
  Put32(b, 0);
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, width);
  Put16(b, height);
  PutTag(b, "strf");
  Put32(b, 40);
  Put32(b, 40);
  Put32(b, width);
  Put32(b, static_cast<uint32_t>(topDown ? -height : height));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, BI_RGB);
  Put32(b, frameBytes);
  for (int i = 0; i < 4; ++i) Put32(b, 0);
  CloseChunk(b, strl);
  CloseChunk(b, hdrl);
  PutTag(b, "LIST");
  const size_t movi = b.size();
  Put32(b, 0);
  PutTag(b, "movi");
  Bytes index;
  for (int f = 0; f < frames; ++f) {
    PutTag(index, "00db");
    Put32(index, 0x10);
    Put32(index, static_cast<uint32_t>(b.size() - (movi + 4)));
    Put32(index, frameBytes);
    PutTag(b, "00db");
    Put32(b, frameBytes);
    for (uint32_t p = 0; p < frameBytes; p += 3) {
      b.push_back(GetBValue(colour));
      b.push_back(GetGValue(colour));
      b.push_back(GetRValue(colour));
    }
  }
  CloseChunk(b, movi);
  PutTag(b, "idx1");
  Put32(b, static_cast<uint32_t>(index.size()));
  b.insert(b.end(), index.begin(), index.end());
  CloseChunk(b, 4);
  return b;
}

}  // namespace lwtest
