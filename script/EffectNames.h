// The names of the 88 effect ids: 0 None, 1 Tile, 2 Stretch, 3 Random
// Effect, then the transitions 4 to 87.
#pragma once

constexpr int kEffectCount = 88;
// "?" for an id outside 0 to 87.
const char* GetEffectName(int effect);
