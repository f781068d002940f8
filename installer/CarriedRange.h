// Where an installer finds the saver it carries, from its file's size
// alone: behind the stub's image, at least the smallest saver. Plain C++,
// without the system's headers, so that it can be built and fuzzed on any
// host.
#pragma once

#include <cstdint>

#include "common/Payload.h"

namespace installer {

// The fewest bytes an installer may carry: the smallest saver is the movie
// engine's image followed by at least one byte of movie.
constexpr uint64_t kSmallestSaver = uint64_t(carried::kEngineImageSize) + 1;

// Where the carried saver lies in an installer file of fileSize bytes:
// false when the file is shorter than its image and the smallest saver.
inline bool LocateCarriedSaver(uint64_t fileSize, uint64_t* offset, uint64_t* length) {
  return carried::LocateAppendedData(fileSize, carried::kInstallerImageSize, offset, length) &&
         *length >= kSmallestSaver;
}

}  // namespace installer
