// What the processor offers the pixel loops: read once with cpuid and
// xgetbv (the compiler's own check links its whole processor model table,
// too much for the carried programs).
#pragma once

// True when the processor has AVX2 and the multiply-adds of FMA, and the
// system saves the AVX registers.
bool ProcessorHasAvx2();

// True when the processor has the AVX-512 foundation with its byte, word,
// double- and quad-word and byte-permute parts, and the system saves the
// 512-bit and mask registers.
bool ProcessorHasAvx512Bytes();
