// The processor's AVX2 and AVX-512 parts, asked once.
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

bool AskAvx512Bytes() {
  if (!AskAvx2()) return false;
  unsigned a, b, c, d;
  unsigned xcr0, high;
  __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
  if ((xcr0 & 0xE0) != 0xE0) return false;  // mask and 512-bit state
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  return (b & bit_AVX512F) && (b & bit_AVX512DQ) && (b & bit_AVX512BW) && (c & bit_AVX512VBMI);
}

}  // namespace

bool ProcessorHasAvx2() {
  static const bool avx2 = AskAvx2();
  return avx2;
}

bool ProcessorHasAvx512Bytes() {
  static const bool avx512 = AskAvx512Bytes();
  return avx512;
}
