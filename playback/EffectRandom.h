// The random draw behind the effects with a random order (Dissolve,
// Squares, Random Bars). It has the interface of the script model's random
// range (seed, SetRange, Next) and follows its algorithm over the C
// runtime's srand/rand; CEffectRandom below is the one name the effects
// use, so that the shared generator can take its place in one line.
#pragma once

class CEffectRandomRange {
 public:
  // Seed 0 takes the current time.
  explicit CEffectRandomRange(int seed = 0);
  // (0, 0) means 0 to 32767; lo >= hi (as unsigned numbers) changes nothing
  // and returns false.
  bool SetRange(int lo, int hi);
  // lo + rand() x scale, truncated toward zero.
  int Next();

 private:
  int m_lo = 0;
  int m_hi = 32767;
  double m_scale = 1.0;
};

using CEffectRandom = CEffectRandomRange;

// An index from 0 to count - 1 (count >= 1); a draw above the range gives 0.
int DrawUnitIndex(CEffectRandom& random, int count);
