// The MP3 frame search over any bytes: the ID3v2 tag's size, then the
// first frame header within the search range. A frame found must lie whole
// inside the bytes and carry the values its header gives.
#include <stddef.h>
#include <stdint.h>

#include "playback/Mp3Frame.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const uint32_t n = static_cast<uint32_t>(size);
  const uint32_t tag = Id3v2TagSize(data, n);
  Check(tag == 0 || (tag >= 10 && tag <= n));
  CMp3FrameSearch search;
  search.OpenMemory(data, n);
  const bool found = search.Parse();
  Check(found == search.m_found);
  if (!found) {
    Check(search.m_frameOffset == CMp3FrameSearch::kSearchRange);
    return 0;
  }
  const uint32_t at = search.m_frameOffset;
  Check(at >= tag && at - tag < CMp3FrameSearch::kSearchRange && at <= n && n - at >= 4);
  Check(data[at] == 0xFF && (data[at + 1] & 0xE0) == 0xE0);
  Check(search.m_layer >= 1 && search.m_layer <= 3);
  Check(search.m_version == 1.0f || search.m_version == 2.0f || search.m_version == 2.5f);
  Check(search.m_bitRate >= 8 && search.m_bitRate <= 448);
  Check(search.m_sampleRate >= 8000 && search.m_sampleRate <= 48000);
  Check(search.m_channelMode >= 0 && search.m_channelMode <= 3);
  // A second search over the same bytes finds the same frame.
  CMp3FrameSearch again;
  again.OpenMemory(data, n);
  Check(again.Parse() && again.m_frameOffset == at && again.m_bitRate == search.m_bitRate);
  return 0;
}
