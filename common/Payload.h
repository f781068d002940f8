// What the output writer appends to the programs the builder carries, and
// where each of those programs finds it: the one description of the files
// the builder writes.
//
// Each carried program is padded with zero bytes to its fixed image size;
// its appended data starts at that offset of its file.
//   scripted saver:   runtime image | word | document | settings | flag
//   movie saver:      engine image | movie
//   installer:        stub image | a whole saver of either kind
// The word is the document's length (little-endian), so that a reader can
// confine itself to the document's bytes. The custom icon and logo images
// replace the carried programs' own, found in their resource tables.
//
// Plain C++ over bytes, without exceptions or the framework: the writer,
// the three carried programs and the build's padding tool all use it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace carried {

// Fixed image sizes, and the builder's "FILE" resources that hold them.
constexpr uint32_t kRuntimeImageSize = 589824;    // Halcyra
constexpr uint32_t kEngineImageSize = 225280;     // Emberlyn
constexpr uint32_t kInstallerImageSize = 163840;  // Quenlark
constexpr char kRuntimeResource[] = "#271";
constexpr char kEngineResource[] = "#446";
constexpr char kInstallerResource[] = "#274";

// The scripted saver's payload around the document.
constexpr uint32_t kWordSize = 4;
constexpr uint32_t kTrailerSize = 2;  // settings byte, flag byte
constexpr uint8_t kFlagScripted = 0;
constexpr uint8_t kFlagTestRun = 1;  // a saver made beside its document

// The word written before a document of `length` bytes.
void EncodeWord(uint32_t length, uint8_t out[kWordSize]);
uint32_t DecodeWord(const uint8_t word[kWordSize]);

// Where a scripted saver's document lies, from the file's size, its word
// (the kWordSize bytes at kRuntimeImageSize) and its last two bytes.
struct ScriptPayload {
  uint64_t documentOffset = 0;
  uint32_t documentLength = 0;
  uint8_t settings = 0;
  uint8_t flag = 0;
};
enum class PayloadError {
  kNone,
  kNoPayload,     // the file ends at (or before) the payload's smallest size
  kBadFlag,       // the flag byte is neither 0 nor 1
  kBadWord,       // the word is not the document's length
  kNoDocument,    // the document is empty
};
PayloadError LocateScriptPayload(uint64_t fileSize, const uint8_t word[kWordSize],
                                 const uint8_t trailer[kTrailerSize], ScriptPayload* out);
// A sentence for the failure, for diagnostics.
const char* DescribePayloadError(PayloadError error);

// The data a movie engine or an installer stub carries: from its image
// size to the end. False when nothing is appended.
bool LocateAppendedData(uint64_t fileSize, uint32_t imageSize, uint64_t* offset,
                        uint64_t* length);

// The patchable resource slots: icon images 1, 2, 3 (16 x 16 and 32 x 32
// with 16 colours, 48 x 48 with 256) and the 96 x 112 256-colour logo
// bitmap 144 (information header, palette and pixels, no file header).
constexpr uint32_t kIcon16Size = 296;
constexpr uint32_t kIcon32Size = 744;
constexpr uint32_t kIcon48Size = 3752;
constexpr uint32_t kLogoSize = 11816;
constexpr int kLogoId = 144;
constexpr int kTypeIcon = 3;    // RT_ICON
constexpr int kTypeBitmap = 2;  // RT_BITMAP

struct Slot {
  uint32_t offset = 0;  // file offset of the resource's data
  uint32_t size = 0;
};

// Looks up resource (type, id), first language, in the resource table of
// a Windows program's bytes. False when the bytes are not a program with
// such a resource; every offset is checked against the size.
bool FindResourceSlot(const uint8_t* p, size_t size, uint32_t type, uint32_t id, Slot* slot);

// The patchable slots of a carried program: icons 1 to 3 always, the logo
// when asked. False unless each exists with exactly its size.
struct PatchSlots {
  Slot icon[3];
  Slot logo;
};
bool FindPatchSlots(const uint8_t* p, size_t size, bool withLogo, PatchSlots* out);

}  // namespace carried

// Win32 glue for the carried programs, in common/PayloadFile.cpp.
namespace carried {

// The size of this program's own file; false when it cannot be read.
bool GetOwnFileSize(uint64_t* size);
// The data appended to this program behind its image of imageSize bytes.
bool FindOwnAppendedData(uint32_t imageSize, uint64_t* offset, uint64_t* length);

}  // namespace carried
