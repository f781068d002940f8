// The first look at the bytes a movie saver carries: whether they start
// like a movie at all. Plain C++ over bytes, without the system's headers,
// so that it can be built and fuzzed on any host.
#pragma once

#include <cstdint>

// The smallest movie: signature, version and the 32-bit length.
constexpr uint32_t kMovieHeaderSize = 8;

// True when the bytes start like a movie file: "FWS" (plain) or "CWS"
// (compressed) with a version and a length of at least the header. The
// length may claim more than movieSize: what the bytes hold plays.
bool IsMovieHeader(const uint8_t* head, uint32_t headSize, uint64_t movieSize);
