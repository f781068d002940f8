// The random draw behind the effects with a random order (Dissolve,
// Squares, Random Bars): the script's own random-range generator, so that
// both follow one algorithm over the C runtime's srand/rand.
#pragma once

#include "common/RandomRange.h"

using CEffectRandom = CRandomRange;

// An index from 0 to count - 1 (count >= 1); a draw above the range gives 0.
int DrawUnitIndex(CEffectRandom& random, int count);
