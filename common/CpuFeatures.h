// What the processor offers the pixel loops: read once with cpuid and
// xgetbv (the compiler's own check links its whole processor model table,
// too much for the carried programs).
#pragma once

// True when the processor has AVX2 and the system saves the AVX registers.
bool ProcessorHasAvx2();
