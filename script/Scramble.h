// The reversible byte scrambling of every stored text, font block and
// embedded file of a scene document.
#pragma once

#include <cstdint>

// k = (length mod 11) + 3; mode 0 subtracts k from every byte, any other mode
// adds it. Returns the length.
int ScrambleBytes(uint8_t* bytes, int length, int mode);

// The k of a block of `length` bytes, for scrambling a long block in parts.
inline uint8_t ScrambleKey(uint32_t length) { return static_cast<uint8_t>(length % 11 + 3); }
