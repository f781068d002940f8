// The few system types the movie reader uses, for building it natively
// (fuzzing with clang's sanitizers). Only the reader includes this: the
// movie's drawing and control need the real system.
#pragma once

#include <stdint.h>
#include <strings.h>

typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint32_t COLORREF;
typedef uint8_t BYTE;
typedef void* HDC;
struct RECT {
  LONG left, top, right, bottom;
};
struct SIZE {
  LONG cx, cy;
};
struct POINT {
  LONG x, y;
};
#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r)) | ((DWORD)((BYTE)(g)) << 8) | ((DWORD)((BYTE)(b)) << 16)))
inline int _strnicmp(const char* a, const char* b, unsigned long n) { return strncasecmp(a, b, n); }
