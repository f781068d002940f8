// The bit reader of the movie file format: little-endian whole-byte
// fields and bit fields packed most significant bit first, read from a
// span of bytes. Reading past the end yields zeros and marks the reader
// bad, so a reader checks once after a record instead of at every field.
#pragma once

#include <stdint.h>

class CSwfBits {
 public:
  CSwfBits(const uint8_t* p, const uint8_t* end) : m_p(p), m_end(end) {}

  bool Bad() const { return m_bad; }
  void MarkBad() { m_bad = true; }
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
  void Skip(uint32_t n) {
    if (Left() < n) {
      m_bad = true;
      m_p = m_end;
    } else {
      m_p += n;
    }
  }

  uint32_t UB(int n) {
    uint32_t v = 0;
    while (n-- > 0) {
      if (m_p >= m_end) {
        m_bad = true;
        return 0;
      }
      v = (v << 1) | ((*m_p >> (7 - m_bit)) & 1u);
      if (++m_bit == 8) {
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
  uint32_t U32() { return Bytes(4); }

 private:
  uint32_t Bytes(int n) {
    if (Left() < static_cast<uint32_t>(n)) {
      m_bad = true;
      m_p = m_end;
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
