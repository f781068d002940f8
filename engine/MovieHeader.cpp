// The carried movie's header check.
#include "engine/MovieHeader.h"

bool IsMovieHeader(const uint8_t* head, uint32_t headSize, uint64_t movieSize) {
  if (headSize < kMovieHeaderSize || movieSize < kMovieHeaderSize) return false;
  const bool plain = head[0] == 'F', compressed = head[0] == 'C';
  if ((!plain && !compressed) || head[1] != 'W' || head[2] != 'S' || head[3] == 0) return false;
  const uint32_t length = static_cast<uint32_t>(head[4]) | static_cast<uint32_t>(head[5]) << 8 |
                          static_cast<uint32_t>(head[6]) << 16 |
                          static_cast<uint32_t>(head[7]) << 24;
  // The length may claim more than the bytes hold (writers leave
  // placeholders; a compressed movie's is that of its inflated form): the
  // control plays what whole tags they hold, and finds out whether that is
  // any frame at all.
  return length >= kMovieHeaderSize;
}
