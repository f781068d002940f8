// Movies for the movie engine's tests: the smallest plain movie file that
// sets a background colour and shows its frames, written here bit by bit,
// and a movie-only saver laid out as the output writer lays it out (the
// engine's image, here zeros, followed by the movie).
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/Payload.h"
#include "tests/support/files.h"

namespace enginetest {

// Writes values of any bit width, most significant bit first.
class CBitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (m_used == 0) m_bytes.push_back(0);
      if ((value >> i) & 1) m_bytes.back() |= static_cast<uint8_t>(0x80 >> m_used);
      m_used = (m_used + 1) % 8;
    }
  }
  const lwtest::Bytes& Bytes() const { return m_bytes; }

 private:
  lwtest::Bytes m_bytes;
  int m_used = 0;
};

inline void Put16(lwtest::Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A short tag: code and length in one 16-bit word.
inline void PutTag(lwtest::Bytes& out, int code, const lwtest::Bytes& body) {
  Put16(out, static_cast<uint32_t>(code << 6 | static_cast<int>(body.size())));
  out.insert(out.end(), body.begin(), body.end());
}

// A plain movie of `frames` empty frames on the background colour, width
// by height pixels, 12 frames a second.
inline lwtest::Bytes TinyMovie(COLORREF background, int width = 320, int height = 240,
                               int frames = 24) {
  CBitWriter frame;  // the frame rectangle in twips
  const int bits = 16;
  frame.Put(bits, 5);
  frame.Put(0, bits);
  frame.Put(static_cast<uint32_t>(width * 20), bits);
  frame.Put(0, bits);
  frame.Put(static_cast<uint32_t>(height * 20), bits);
  lwtest::Bytes body = frame.Bytes();
  Put16(body, 12 << 8);  // frame rate 12.0
  Put16(body, static_cast<uint32_t>(frames));
  PutTag(body, 9, {GetRValue(background), GetGValue(background), GetBValue(background)});
  for (int i = 0; i < frames; ++i) PutTag(body, 1, {});
  PutTag(body, 0, {});
  lwtest::Bytes movie(8 + body.size());
  const uint32_t length = static_cast<uint32_t>(movie.size());
  const uint8_t header[8] = {'F', 'W', 'S', 6, static_cast<uint8_t>(length),
                             static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length >> 16),
                             static_cast<uint8_t>(length >> 24)};
  for (size_t i = 0; i < movie.size(); ++i) movie[i] = i < 8 ? header[i] : body[i - 8];
  return movie;
}

// A movie-only saver's layout around the movie.
inline lwtest::Bytes MovieSaverLayout(const lwtest::Bytes& movie) {
  lwtest::Bytes saver(carried::kEngineImageSize + movie.size(), 0);
  for (size_t i = 0; i < movie.size(); ++i) saver[carried::kEngineImageSize + i] = movie[i];
  return saver;
}

}  // namespace enginetest
