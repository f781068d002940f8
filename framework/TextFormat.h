// Formatting into a fixed buffer for the programs: the C runtime DLL's own
// printf rules (msvcrt's _vsnprintf: %s, %c, %d, %u, %x, %ld, %lu, %p, %g
// and the like; not C99's %zu, %lld or %hhd), so that no program links the
// standard-conforming printf family of the compiler's runtime, which costs
// about 20 KB. Unlike _vsnprintf itself, the result is always terminated.
#pragma once

#include <cstdarg>
#include <cstddef>

// Writes the text into out (size bytes, terminator included) and returns
// its length; when it does not fit, out holds as much as fits and the
// result is -1. A zero size writes nothing and gives -1.
int FormatText(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(ms_printf, 3, 4)));
int FormatTextV(char* out, std::size_t size, const char* format, va_list args)
    __attribute__((format(ms_printf, 3, 0)));
