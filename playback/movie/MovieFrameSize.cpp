// The frame size of a movie held in memory, read from its header alone
// (the media objects ask it of the movies they hold).
#include <string.h>
#include <zlib.h>

#include "playback/movie/Movie.h"
#include "playback/movie/MovieBits.h"

MovieSize ReadMovieFrameSize(const uint8_t* bytes, uint32_t size) {
  MovieSize none = {0, 0};
  if (bytes == nullptr || size <= 8 || bytes[1] != 'W' || bytes[2] != 'S') return none;
  // The frame rectangle needs at most 17 bytes (5 + 4 x 31 bits).
  uint8_t rect[17];
  uint32_t have = 0;
  if (bytes[0] == 'F') {
    have = size - 8 < sizeof rect ? size - 8 : sizeof rect;
    memcpy(rect, bytes + 8, have);
  } else if (bytes[0] == 'C') {
    z_stream z;
    memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return none;
    z.next_in = const_cast<Bytef*>(bytes + 8);
    z.avail_in = size - 8;
    z.next_out = rect;
    z.avail_out = sizeof rect;
    const int rc = inflate(&z, Z_SYNC_FLUSH);
    have = sizeof rect - z.avail_out;
    inflateEnd(&z);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) return none;
  } else {
    return none;
  }
  CMovieBits r(rect, rect + have);
  const int bits = static_cast<int>(r.UB(5));
  uint32_t values[4];
  for (uint32_t& value : values) value = r.UB(bits);
  if (r.Bad()) return none;
  MovieSize frame = {static_cast<int32_t>((static_cast<int64_t>(values[1]) - values[0]) / 20),
                     static_cast<int32_t>((static_cast<int64_t>(values[3]) - values[2]) / 20)};
  return frame;
}
