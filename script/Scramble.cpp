#include "script/Scramble.h"

int ScrambleBytes(uint8_t* bytes, int length, int mode) {
  if (length <= 0) return length;
  const uint8_t k = static_cast<uint8_t>(length % 11 + 3);
  if (mode == 0) {
    for (int i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(bytes[i] - k);
  } else {
    for (int i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(bytes[i] + k);
  }
  return length;
}
