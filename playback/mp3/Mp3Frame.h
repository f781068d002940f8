// The search for the first MP3 frame header in bytes held in memory, past
// any ID3v2 tag in front. Plain C++ over bytes, without the system's
// headers, so that it can be built and fuzzed on any host; the player
// (Mp3Player.h) derives its formats from what it finds.
#pragma once

#include <cstdint>

// The bytes an ID3v2 tag at the start takes (header, body and footer), or
// 0 when there is none or it claims more than there is.
uint32_t Id3v2TagSize(const uint8_t* data, uint32_t length);

class CMp3FrameSearch {
 public:
  // Frames are looked for at this many offsets after any ID3v2 tag.
  static const uint32_t kSearchRange = 10240;

  void OpenMemory(const uint8_t* data, uint32_t length) {
    m_data = data;
    m_length = length;
  }
  // Finds the first valid frame header; true when there is one.
  bool Parse();

  const uint8_t* m_data = nullptr;
  uint32_t m_length = 0;
  // Where the first frame starts; kSearchRange until one is found.
  uint32_t m_frameOffset = kSearchRange;
  bool m_found = false;
  float m_version = 0.0f;  // 1.0, 2.0 or 2.5
  int m_layer = 0;         // 1 to 3
  int m_bitRate = 0;       // kbit/s
  int m_sampleRate = 0;    // Hz
  int m_channelMode = 0;   // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
};
