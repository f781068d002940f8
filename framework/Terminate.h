// Included once by each carried program that uses exceptions: replaces the
// runtime's verbose terminate handler, whose demangler costs about 70 KB.
#pragma once

#include <cstdlib>

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
