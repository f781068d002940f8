// The reading of a window handle from a screen-saver command line.
#include "common/SaverCommandLine.h"

bool ParseWindowHandle(const char* text, std::uintptr_t* value) {
  if (!text || !*text) return false;
  std::uintptr_t v = 0;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return false;
    const unsigned digit = static_cast<unsigned>(*text - '0');
    if (v > (UINTPTR_MAX - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}
