// The processor's AVX2, asked once.
#include "common/CpuFeatures.h"

#include <cpuid.h>

namespace {

bool AskAvx2() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || (~c & (bit_OSXSAVE | bit_AVX))) return false;
  unsigned xcr0, high;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
  if ((xcr0 & 6) != 6) return false;  // SSE and AVX state
  return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
}

}  // namespace

bool ProcessorHasAvx2() {
  static const bool avx2 = AskAvx2();
  return avx2;
}
