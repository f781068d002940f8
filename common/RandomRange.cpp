// The random-range generator.
#include "common/RandomRange.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>

CRandomRange::CRandomRange(int seed) : m_nSeed(seed) {
  if (m_nSeed == 0) m_nSeed = static_cast<int>(time(nullptr));
  // The seed's low 24 bits move up a byte and the first draw fills the low
  // byte; shifted unsigned, so that high or negative seeds are not undefined.
  const unsigned s = static_cast<unsigned>(m_nSeed);
  srand(s);
  srand((s << 8) | (static_cast<unsigned>(rand()) & 0xFFu));
}

CRandomRange::~CRandomRange() { free(m_pBuffer); }

bool CRandomRange::SetRange(int lo, int hi) {
  if (lo == 0 && hi == 0) {
    m_nLow = 0;
    m_nHigh = 32767;
  } else {
    if (static_cast<unsigned>(lo) >= static_cast<unsigned>(hi)) return false;
    m_nLow = lo;
    m_nHigh = hi;
  }
  UpdateScale();
  return true;
}

void CRandomRange::UpdateScale() {
  if (m_nLow < m_nHigh) m_dScale = (static_cast<double>(m_nHigh) + 1.0 - m_nLow) / 32767.0;
}

// A range reaching the top of int ends its last draw one past it: the sum
// wraps round in 32 bits rather than overflowing.
int CRandomRange::Next() {
  const int64_t offset = static_cast<int64_t>(rand() * m_dScale);
  return static_cast<int>(static_cast<uint32_t>(m_nLow) + static_cast<uint32_t>(offset));
}
