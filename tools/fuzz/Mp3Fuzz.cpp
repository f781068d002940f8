// The MP3 frame search over any bytes: the ID3v2 tag's size, then the
// first frame header within the search range. A frame found must lie whole
// inside the bytes and carry the values its header gives.
#include <stddef.h>
#include <stdint.h>

#include "playback/mp3/Mp3Frame.h"
#include "tools/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  const uint32_t tag = Id3v2TagSize(data, n);
  FuzzCheck(tag == 0 || (tag >= 10 && tag <= n));
  CMp3FrameSearch search;
  search.OpenMemory(data, n);
  const bool found = search.Parse();
  FuzzCheck(found == search.m_found);
  if (!found) {
    FuzzCheck(search.m_frameOffset == CMp3FrameSearch::kSearchRange);
    return 0;
  }
  const uint32_t at = search.m_frameOffset;
  FuzzCheck(at >= tag && at - tag < CMp3FrameSearch::kSearchRange && at <= n && n - at >= 4);
  FuzzCheck(data[at] == 0xFF && (data[at + 1] & 0xE0) == 0xE0);
  FuzzCheck(search.m_layer >= 1 && search.m_layer <= 3);
  FuzzCheck(search.m_version == 1.0f || search.m_version == 2.0f || search.m_version == 2.5f);
  FuzzCheck(search.m_bitRate >= 8 && search.m_bitRate <= 448);
  FuzzCheck(search.m_sampleRate >= 8000 && search.m_sampleRate <= 48000);
  FuzzCheck(search.m_channelMode >= 0 && search.m_channelMode <= 3);
  // A second search over the same bytes finds the same frame.
  CMp3FrameSearch again;
  again.OpenMemory(data, n);
  FuzzCheck(again.Parse() && again.m_frameOffset == at && again.m_bitRate == search.m_bitRate);
  return 0;
}
