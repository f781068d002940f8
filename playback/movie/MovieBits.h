// The bit reader of the movie file format: little-endian whole-byte
// fields and bit fields packed most significant bit first, read from a
// span of bytes. Reading past the end yields zeros and marks the reader
// bad, so a reader checks once after a record instead of at every field.
#pragma once

#include <stdint.h>
#include <string.h>

class CMovieBits {
 public:
  CMovieBits(const uint8_t* p, const uint8_t* end) : m_p(p), m_end(end) {}

  bool Bad() const { return m_bad; }
  void MarkBad() {
    m_bad = true;
    m_p = m_end;
    m_bit = 0;
  }
  void Align() {
    if (m_bit) {
      m_bit = 0;
      ++m_p;
    }
  }
  // Whole bytes left.
  uint32_t Left() {
    Align();
    return static_cast<uint32_t>(m_end - m_p);
  }
  const uint8_t* Pos() {
    Align();
    return m_p;
  }
  const uint8_t* End() const { return m_end; }
  void Skip(uint32_t n) {
    if (Left() < n)
      MarkBad();
    else
      m_p += n;
  }

  uint32_t UB(int n) {
    if (n <= 0) return 0;
    if (n > 32 || static_cast<uint64_t>(m_end - m_p) * 8 < static_cast<uint64_t>(m_bit) + n) {
      MarkBad();
      return 0;
    }
    uint32_t v = 0;
    while (n > 0) {
      const int avail = 8 - m_bit, take = n < avail ? n : avail;
      v = (v << take) | ((*m_p >> (avail - take)) & ((1u << take) - 1));
      n -= take;
      m_bit += take;
      if (m_bit == 8) {
        m_bit = 0;
        ++m_p;
      }
    }
    return v;
  }
  int32_t SB(int n) {
    uint32_t v = UB(n);
    if (n > 0 && n < 32 && ((v >> (n - 1)) & 1u)) v |= ~0u << n;
    return static_cast<int32_t>(v);
  }
  uint8_t U8() { return static_cast<uint8_t>(Bytes(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Bytes(2)); }
  int16_t S16() { return static_cast<int16_t>(Bytes(2)); }
  uint32_t U32() { return Bytes(4); }
  // A zero-terminated string within the span, or null (reader bad) when
  // it has no end.
  const char* String() {
    const uint32_t left = Left();
    const void* nul = memchr(m_p, 0, left);
    if (!nul) {
      MarkBad();
      return nullptr;
    }
    const char* s = reinterpret_cast<const char*>(m_p);
    m_p = static_cast<const uint8_t*>(nul) + 1;
    return s;
  }

 private:
  uint32_t Bytes(int n) {
    if (Left() < static_cast<uint32_t>(n)) {
      MarkBad();
      return 0;
    }
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(m_p[i]) << (8 * i);
    m_p += n;
    return v;
  }

  const uint8_t* m_p;
  const uint8_t* m_end;
  int m_bit = 0;
  bool m_bad = false;
};
