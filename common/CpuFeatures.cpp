// The processor's AVX2 and AVX-512 parts, asked once.
#include "common/CpuFeatures.h"

#include <cpuid.h>

namespace {

bool AskAvx2() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d) || (~c & (bit_OSXSAVE | bit_AVX | bit_FMA))) return false;
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

// Each answer is kept as 0 or 1 once asked (-1 before): plain atomics
// rather than local statics, whose guards would link the threads library.
// Two threads asking at once both ask the processor and get the same.
int g_avx2 = -1;
int g_avx512 = -1;

bool Kept(int* answer, bool (*ask)()) {
  int value = __atomic_load_n(answer, __ATOMIC_RELAXED);
  if (value < 0) {
    value = ask() ? 1 : 0;
    __atomic_store_n(answer, value, __ATOMIC_RELAXED);
  }
  return value != 0;
}

}  // namespace

bool ProcessorHasAvx2() { return Kept(&g_avx2, AskAvx2); }

bool ProcessorHasAvx512Bytes() { return Kept(&g_avx512, AskAvx512Bytes); }
