// The fuzz targets' check of what a reader promises: a broken promise stops
// the target as a crash, which libFuzzer keeps as its input.
#pragma once

inline void FuzzCheck(bool condition) {
  if (!condition) __builtin_trap();
}
