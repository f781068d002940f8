// The fixed-buffer formatter over msvcrt's _vsnprintf (see TextFormat.h).
// _vsnprintf returns -1 and writes no terminator when the text is longer
// than the count, and writes none either when the text fills the count
// exactly: it is given one byte less than the buffer, and the last byte and
// the byte after the text are set here.
#include "framework/TextFormat.h"

#include <cstdio>

int FormatTextV(char* out, std::size_t size, const char* format, va_list args) {
  if (!out || size == 0) return -1;
  const int length = _vsnprintf(out, size - 1, format, args);
  out[size - 1] = 0;
  if (length < 0) return -1;
  out[length] = 0;
  return length;
}

int FormatText(char* out, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = FormatTextV(out, size, format, args);
  va_end(args);
  return length;
}
