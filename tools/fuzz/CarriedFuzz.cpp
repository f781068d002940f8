// The carried programs' reads of their own files, over any bytes as what
// follows a program's image: the saver runtime's payload (its word, the
// document's place and the trailer), the movie engine's first look at the
// movie it carries and the installer stub's size check. Each answer must
// stay inside the file it was given.
#include <stddef.h>
#include <stdint.h>

#include "common/Payload.h"
#include "engine/MovieHeader.h"
#include "installer/CarriedRange.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {


// The runtime: word at the image's end, trailer at the file's end, as
// CSaverApp::ReadPayload reads them.
void ReadScripted(const uint8_t* tail, size_t size) {
  const uint64_t fileSize = uint64_t(carried::kRuntimeImageSize) + size;
  uint8_t word[carried::kWordSize] = {};
  uint8_t trailer[carried::kTrailerSize] = {};
  if (size >= carried::kWordSize + carried::kTrailerSize) {
    for (uint32_t i = 0; i < carried::kWordSize; ++i) word[i] = tail[i];
    for (uint32_t i = 0; i < carried::kTrailerSize; ++i)
      trailer[i] = tail[size - carried::kTrailerSize + i];
  }
  carried::ScriptPayload payload;
  const carried::PayloadError error =
      carried::LocateScriptPayload(fileSize, word, trailer, &payload);
  FuzzCheck(carried::DescribePayloadError(error) != nullptr);
  if (error != carried::PayloadError::kNone) return;
  FuzzCheck(payload.documentLength > 0 && payload.flag <= carried::kFlagTestRun);
  FuzzCheck(payload.documentOffset >= carried::kRuntimeImageSize);
  FuzzCheck(payload.documentOffset + payload.documentLength + carried::kTrailerSize == fileSize);
  FuzzCheck(carried::DecodeWord(word) == payload.documentLength);
  uint8_t again[carried::kWordSize];
  carried::EncodeWord(payload.documentLength, again);
  for (uint32_t i = 0; i < carried::kWordSize; ++i) FuzzCheck(again[i] == word[i]);
}

// The engine: the movie behind its image, its first block checked as
// ExtractMovie checks it.
void ReadMovie(const uint8_t* tail, size_t size) {
  uint64_t offset = 0, length = 0;
  if (!carried::LocateAppendedData(uint64_t(carried::kEngineImageSize) + size,
                                   carried::kEngineImageSize, &offset, &length)) {
    FuzzCheck(size == 0);
    return;
  }
  FuzzCheck(offset == carried::kEngineImageSize && length == size);
  const uint32_t first = length < 65536 ? static_cast<uint32_t>(length) : 65536;
  if (!IsMovieHeader(tail, first, length)) return;
  // The length may claim more than the bytes hold (a writer's
  // placeholder): the control plays what whole tags they hold.
  const uint32_t declared = tail[4] | tail[5] << 8 | tail[6] << 16 | uint32_t(tail[7]) << 24;
  FuzzCheck(declared >= kMovieHeaderSize);
}

// The installer: what it would copy out of a file of this size.
void ReadInstaller(size_t size) {
  uint64_t offset = 0, length = 0;
  const uint64_t fileSize = uint64_t(carried::kInstallerImageSize) + size;
  if (!installer::LocateCarriedSaver(fileSize, &offset, &length)) return;
  FuzzCheck(offset == carried::kInstallerImageSize && offset + length == fileSize);
  FuzzCheck(length >= installer::kSmallestSaver);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadScripted(data, size);
  ReadMovie(data, size);
  ReadInstaller(size);
  // A tail that is a whole installer's worth: the installer's image padded
  // in front changes nothing but the size.
  ReadInstaller(size + installer::kSmallestSaver);
  return 0;
}
