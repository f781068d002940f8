// The effects' random draw over the C runtime's generator.
#include "playback/EffectRandom.h"

#include <stdlib.h>
#include <time.h>

CEffectRandomRange::CEffectRandomRange(int seed) {
  if (seed == 0) seed = static_cast<int>(time(nullptr));
  srand(static_cast<unsigned>(seed));
  unsigned mixed = (static_cast<unsigned>(seed) << 8) | (static_cast<unsigned>(rand()) & 0xFF);
  srand(mixed);
}

bool CEffectRandomRange::SetRange(int lo, int hi) {
  if (lo == 0 && hi == 0) {
    hi = 32767;
  } else if (static_cast<unsigned>(lo) >= static_cast<unsigned>(hi)) {
    return false;
  }
  m_lo = lo;
  m_hi = hi;
  if (m_lo < m_hi) m_scale = (static_cast<double>(m_hi) + 1 - m_lo) / 32767.0;
  return true;
}

int CEffectRandomRange::Next() { return m_lo + static_cast<int>(rand() * m_scale); }

int DrawUnitIndex(CEffectRandom& random, int count) {
  random.SetRange(0, count - 1);
  int i = random.Next();
  return (i < 0 || i > count - 1) ? 0 : i;
}
