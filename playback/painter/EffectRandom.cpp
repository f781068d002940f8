// The effects' unit draw over the random-range generator.
#include "playback/painter/EffectRandom.h"

int DrawUnitIndex(CEffectRandom& random, int count) {
  random.SetRange(0, count - 1);
  int i = random.Next();
  return (i < 0 || i > count - 1) ? 0 : i;
}
