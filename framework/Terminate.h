// Included once by each carried program that uses exceptions: replaces the
// runtime's verbose terminate handler, whose demangler costs about 70 KB.
#pragma once

#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
