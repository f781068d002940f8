// The saver payload's layout and the resource-slot finder, from bytes: what
// the writer encodes, the readers find; damaged framing and damaged
// programs are refused without reading past the data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Payload.h"
#include "tests/support/files.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Payload, WordRoundTripsLittleEndian) {
  for (uint32_t length : {0u, 1u, 0x12345678u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    uint8_t word[carried::kWordSize];
    carried::EncodeWord(length, word);
    EXPECT_EQ(word[0], length & 0xFF);
    EXPECT_EQ(word[3], length >> 24);
    EXPECT_EQ(carried::DecodeWord(word), length);
  }
}

TEST(Payload, ScriptPayloadIsLocatedOrRefused) {
  struct Row {
    const char* name;
    uint64_t documentLength;  // what the file holds
    uint32_t word;            // what its word says
    uint8_t flag;
    carried::PayloadError expected;
  };
  const uint64_t kFixed = uint64_t(carried::kRuntimeImageSize) + carried::kWordSize +
                          carried::kTrailerSize;
  const Row kRows[] = {
      {"saver", 1234, 1234, carried::kFlagScripted, carried::PayloadError::kNone},
      {"test run", 7, 7, carried::kFlagTestRun, carried::PayloadError::kNone},
      {"flag 2", 7, 7, 2, carried::PayloadError::kBadFlag},
      {"word too large", 7, 8, 0, carried::PayloadError::kBadWord},
      {"word too small", 7, 6, 0, carried::PayloadError::kBadWord},
      {"empty document", 0, 0, 0, carried::PayloadError::kNoDocument},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    uint8_t word[carried::kWordSize];
    carried::EncodeWord(r.word, word);
    const uint8_t trailer[carried::kTrailerSize] = {0xA5, r.flag};
    carried::ScriptPayload payload;
    EXPECT_EQ(carried::LocateScriptPayload(kFixed + r.documentLength, word, trailer, &payload),
              r.expected);
    if (r.expected != carried::PayloadError::kNone) continue;
    EXPECT_EQ(payload.documentOffset, carried::kRuntimeImageSize + carried::kWordSize);
    EXPECT_EQ(payload.documentLength, r.documentLength);
    EXPECT_EQ(payload.settings, 0xA5);
    EXPECT_EQ(payload.flag, r.flag);
  }
  // Too short to hold a payload at all, whatever the bytes say.
  const uint8_t zeros[4] = {};
  carried::ScriptPayload payload;
  for (uint64_t size : {uint64_t(0), uint64_t(carried::kRuntimeImageSize), kFixed - 1}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(carried::LocateScriptPayload(size, zeros, zeros, &payload),
              carried::PayloadError::kNoPayload);
  }
  // A file of 4 GB and more: the word cannot name its document.
  uint8_t word[carried::kWordSize];
  carried::EncodeWord(5, word);
  const uint8_t trailer[carried::kTrailerSize] = {0, 0};
  EXPECT_EQ(carried::LocateScriptPayload(kFixed + 5 + 0x100000000ull, word, trailer, &payload),
            carried::PayloadError::kBadWord);
}

TEST(Payload, AppendedDataStartsAtTheImageSize) {
  uint64_t offset = 0, length = 0;
  EXPECT_FALSE(carried::LocateAppendedData(carried::kEngineImageSize, carried::kEngineImageSize,
                                           &offset, &length));
  EXPECT_FALSE(carried::LocateAppendedData(100, carried::kEngineImageSize, &offset, &length));
  ASSERT_TRUE(carried::LocateAppendedData(carried::kEngineImageSize + 9,
                                          carried::kEngineImageSize, &offset, &length));
  EXPECT_EQ(offset, carried::kEngineImageSize);
  EXPECT_EQ(length, 9u);
}

// The slots of the built saver runtime, then the same program cut short or
// with its resource directory pointing outside the file.
TEST(Payload, ResourceSlotsAreFoundOnlyInsideTheProgram) {
  const Bytes runtime = lwtest::ReadAll(std::string(LW_BUILD_DIR) + "/runtime/Halcyra.exe");
  ASSERT_EQ(runtime.size(), carried::kRuntimeImageSize);
  carried::PatchSlots slots;
  ASSERT_TRUE(carried::FindPatchSlots(runtime.data(), runtime.size(), true, &slots));
  EXPECT_EQ(slots.icon[0].size, carried::kIcon16Size);
  EXPECT_EQ(slots.icon[1].size, carried::kIcon32Size);
  EXPECT_EQ(slots.icon[2].size, carried::kIcon48Size);
  EXPECT_EQ(slots.logo.size, carried::kLogoSize);
  for (const carried::Slot& s : slots.icon) EXPECT_LE(s.offset + s.size, runtime.size());

  // Every prefix that ends before the logo's data is refused.
  for (size_t cut : {size_t(0), size_t(2), size_t(64), size_t(0x200), size_t(slots.logo.offset)}) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(carried::FindPatchSlots(runtime.data(), cut, true, &slots));
  }
  // Not a program; a PE header offset far outside the file.
  Bytes text(4096, 'x');
  EXPECT_FALSE(carried::FindPatchSlots(text.data(), text.size(), false, &slots));
  Bytes outside = runtime;
  const uint32_t huge = 0xFFFFFFF0u;
  std::memcpy(&outside[0x3C], &huge, 4);
  EXPECT_FALSE(carried::FindPatchSlots(outside.data(), outside.size(), false, &slots));
}

}  // namespace
