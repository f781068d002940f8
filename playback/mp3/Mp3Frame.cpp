// The frame search: the ID3v2 tag's size and the first frame header's
// version, layer, bit rate, sample rate and channel mode.
#include "playback/mp3/Mp3Frame.h"

namespace {

// Bit rates (kbit/s) by bit-rate index 1..14: MPEG-1 layers 1, 2, 3, then
// MPEG-2 and 2.5 layer 1, then their layers 2 and 3.
const uint16_t kBitRates[5][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
// Sample rates by index 0..2 for MPEG-1, 2 and 2.5.
const int kSampleRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

bool IsFrameHeader(uint32_t h) {
  return (h >> 21) == 0x7FF && ((h >> 19) & 3) != 1 && ((h >> 17) & 3) != 0 &&
         ((h >> 12) & 15) != 0 && ((h >> 12) & 15) != 15 && ((h >> 10) & 3) != 3 && (h & 3) != 2;
}

}  // namespace

uint32_t Id3v2TagSize(const uint8_t* data, uint32_t length) {
  if (!data || length < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
  // The body size is four 7-bit bytes, most significant first.
  uint32_t body = 0;
  for (int i = 6; i < 10; ++i) {
    if (data[i] & 0x80) return 0;
    body = (body << 7) | data[i];
  }
  const uint32_t footer = (data[5] & 0x10) ? 10 : 0;
  const uint64_t total = 10ull + body + footer;
  return total <= length ? static_cast<uint32_t>(total) : 0;
}

bool CMp3FrameSearch::Parse() {
  m_found = false;
  m_frameOffset = kSearchRange;
  if (!m_data) return false;
  const uint32_t start = Id3v2TagSize(m_data, m_length);
  for (uint32_t i = 0; i < kSearchRange; ++i) {
    const uint32_t at = start + i;
    if (at > m_length || m_length - at < 4) break;
    const uint32_t h = (static_cast<uint32_t>(m_data[at]) << 24) | (m_data[at + 1] << 16) |
                       (m_data[at + 2] << 8) | m_data[at + 3];
    if (!IsFrameHeader(h)) continue;
    const int versionBits = (h >> 19) & 3;
    const int layerBits = (h >> 17) & 3;
    m_version = versionBits == 3 ? 1.0f : versionBits == 2 ? 2.0f : 2.5f;
    m_layer = 4 - layerBits;
    const int table = versionBits == 3 ? m_layer - 1 : (m_layer == 1 ? 3 : 4);
    m_bitRate = kBitRates[table][((h >> 12) & 15) - 1];
    m_sampleRate = kSampleRates[versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2][(h >> 10) & 3];
    m_channelMode = (h >> 6) & 3;
    m_frameOffset = at;
    m_found = true;
    return true;
  }
  return false;
}
