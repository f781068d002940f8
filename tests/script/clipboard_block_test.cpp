// The blocks of commands for the clipboard and drags, without any window:
// what the writers put in them, what the readers make of them, and that a
// damaged or refused block (wrong type code, a count it cannot hold, a
// reference out of range or of the wrong kind, a foreign version, data
// cut short anywhere) gives nothing and leaves the script as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "script_support.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/SceneClipboard.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Written(const std::function<void(CArchive&)>& write) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  write(ar);
  ar.Close();
  const uint8_t* p = file.GetBuffer();
  return Bytes(p, p + file.GetLength());
}

// Runs a reader over a copy of the bytes.
template <typename Read>
auto ReadFrom(const Bytes& bytes, Read read) {
  Bytes copy(bytes);
  CMemFile file(copy.data(), static_cast<unsigned>(copy.size()));
  CArchive ar(&file, CArchive::load);
  return read(ar);
}

bool Paste(const Bytes& bytes, const CCommandList& script, CCommandList& pasted) {
  return ReadFrom(bytes, [&](CArchive& ar) { return ReadCopyBlock(ar, nullptr, script, pasted); });
}

CSceneObject* Object(const CCommandList& list, int i) {
  return static_cast<CSceneObject*>(list.GetCommand(i));
}

// Image/Text, Wait, Show of the picture, media object, Play of the media.
void BuildScript(CCommandList& script) {
  for (int type : {kTypeImageText, kTypeWait, kTypeShow, kTypeMedia, kTypePlay})
    script.Add(CreateCommand(type));
  script.GetCommand(2)->SetTarget(Object(script, 0));
  script.GetCommand(4)->SetTarget(Object(script, 3));
  script.NumberCommands();
}

// The selection of these lines, as the list view hands it over.
void Select(const CCommandList& script, std::initializer_list<int> lines, CObArray& selected) {
  for (int line : lines) selected.Add(script.GetCommand(line));
}

int32_t IntAt(const Bytes& bytes, size_t offset) {
  int32_t v = 0;
  memcpy(&v, bytes.data() + offset, 4);
  return v;
}

TEST(CopyBlockTest, AShowCopiedWithItsObjectKeepsItsLinkInsideTheBlock) {
  CCommandList script;
  BuildScript(script);
  CObArray selected;
  Select(script, {0, 2}, selected);
  const Bytes block = Written([&](CArchive& ar) { WriteCopyBlock(ar, selected); });
  // The last 16 bytes: the picture's (0, -1) and the Show's (1, 0).
  ASSERT_GT(block.size(), 16u);
  const size_t links = block.size() - 16;
  EXPECT_EQ(IntAt(block, links), 0);
  EXPECT_EQ(IntAt(block, links + 4), -1);
  EXPECT_EQ(IntAt(block, links + 8), 1);
  EXPECT_EQ(IntAt(block, links + 12), 0);

  CCommandList empty, pasted;
  ASSERT_TRUE(Paste(block, empty, pasted));
  ASSERT_EQ(pasted.GetSize(), 2);
  EXPECT_EQ(pasted.GetCommand(0)->GetType(), kTypeImageText);
  EXPECT_EQ(pasted.GetCommand(1)->GetTarget(), Object(pasted, 0));
  EXPECT_EQ(Object(pasted, 0)->GetReferrerCount(), 1);
  // The original keeps its own link.
  EXPECT_EQ(script.GetCommand(2)->GetTarget(), Object(script, 0));
}

TEST(CopyBlockTest, AShowCopiedAloneLinksByLineOnlyToAnObjectOfItsKind) {
  CCommandList script;
  BuildScript(script);
  CObArray selected;
  Select(script, {2, 4}, selected);
  const Bytes block = Written([&](CArchive& ar) { WriteCopyBlock(ar, selected); });
  const size_t links = block.size() - 16;
  EXPECT_EQ(IntAt(block, links), 0);
  EXPECT_EQ(IntAt(block, links + 4), 0);  // the picture's line
  EXPECT_EQ(IntAt(block, links + 8), 0);
  EXPECT_EQ(IntAt(block, links + 12), 3);  // the media object's line

  {
    SCOPED_TRACE("the same script: both link");
    CCommandList pasted;
    ASSERT_TRUE(Paste(block, script, pasted));
    EXPECT_EQ(pasted.GetCommand(0)->GetTarget(), Object(script, 0));
    EXPECT_EQ(pasted.GetCommand(1)->GetTarget(), Object(script, 3));
    EXPECT_EQ(Object(script, 0)->GetReferrerCount(), 2);
  }
  EXPECT_EQ(Object(script, 0)->GetReferrerCount(), 1);
  {
    SCOPED_TRACE("line 0 a media object, line 3 a picture: neither links");
    CCommandList other;
    for (int type : {kTypeMedia, kTypeWait, kTypeWait, kTypeImageText}) other.Add(CreateCommand(type));
    CCommandList pasted;
    ASSERT_TRUE(Paste(block, other, pasted));
    ASSERT_EQ(pasted.GetSize(), 2);
    EXPECT_EQ(pasted.GetCommand(0)->GetTarget(), nullptr);
    EXPECT_EQ(pasted.GetCommand(1)->GetTarget(), nullptr);
    EXPECT_EQ(Object(other, 0)->GetReferrerCount(), 0);
    EXPECT_EQ(Object(other, 3)->GetReferrerCount(), 0);
  }
  {
    SCOPED_TRACE("a shorter script: no line there, no link");
    CCommandList empty, pasted;
    ASSERT_TRUE(Paste(block, empty, pasted));
    EXPECT_EQ(pasted.GetCommand(0)->GetTarget(), nullptr);
  }
}

TEST(MoveBlockTest, HoldsTheLinesLastSelectedFirstAndReadsThemBack) {
  CCommandList script;
  for (int i = 0; i < 8; ++i) script.Add(CreateCommand(kTypeWait));
  script.NumberCommands();
  CObArray selected;
  Select(script, {2, 5, 7}, selected);
  const Bytes block = Written([&](CArchive& ar) { WriteMoveBlock(ar, selected); });
  ASSERT_EQ(block.size(), 20u);
  EXPECT_EQ(IntAt(block, 4), 3);
  EXPECT_EQ(IntAt(block, 8), 7);
  EXPECT_EQ(IntAt(block, 12), 5);
  EXPECT_EQ(IntAt(block, 16), 2);
  std::vector<int> lines;
  ASSERT_TRUE(ReadFrom(block, [&](CArchive& ar) { return ReadMoveBlock(ar, 8, lines); }));
  EXPECT_EQ(lines, (std::vector<int>{7, 5, 2}));
}

TEST(MoveBlockTest, RefusesLinesOutsideTheListTwiceOrNone) {
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"no lines", DocBytes().Float(4.7f).Int(0).bytes},
      {"more lines than the list", DocBytes().Float(4.7f).Int(9).Ints({0, 1, 2, 3, 4, 5, 6, 7, 7}).bytes},
      {"a huge count", DocBytes().Float(4.7f).Int(0x7FFFFFFF).Int(1).bytes},
      {"a line past the end", DocBytes().Float(4.7f).Int(1).Int(8).bytes},
      {"a negative line", DocBytes().Float(4.7f).Int(1).Int(-1).bytes},
      {"a line twice", DocBytes().Float(4.7f).Int(2).Ints({3, 3}).bytes},
      {"cut short", DocBytes().Float(4.7f).Int(2).Int(3).bytes},
      {"a foreign version", DocBytes().Float(4.71f).Int(1).Int(3).bytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> lines = {42};
    EXPECT_FALSE(ReadFrom(c.bytes, [&](CArchive& ar) { return ReadMoveBlock(ar, 8, lines); }));
    EXPECT_EQ(lines, std::vector<int>{42});
  }
}

TEST(LinkBlockTest, NamesAnObjectByItsPositionAndNothingElse) {
  CCommandList script;
  BuildScript(script);
  const Bytes block = Written([&](CArchive& ar) { WriteLinkBlock(ar, 3); });
  ASSERT_EQ(block.size(), 8u);  // a fixed-width position, not an address
  EXPECT_EQ(ReadFrom(block, [&](CArchive& ar) { return ReadLinkBlock(ar, script); }),
            Object(script, 3));
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"a Wait", DocBytes().Float(4.7f).Int(1).bytes},
      {"a Show", DocBytes().Float(4.7f).Int(2).bytes},
      {"past the end", DocBytes().Float(4.7f).Int(5).bytes},
      {"negative", DocBytes().Float(4.7f).Int(-1).bytes},
      {"cut short", DocBytes().Float(4.7f).bytes},
      {"a foreign version", DocBytes().Float(1.0f).Int(0).bytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadFrom(c.bytes, [&](CArchive& ar) { return ReadLinkBlock(ar, script); }), nullptr);
  }
}

TEST(CopyBlockTest, CommandsAreReadInTheLayoutOfTheBlocksVersion) {
  // A Play as 4.0 stored it, without the two timing fields of later
  // versions; then the same bytes claiming 4.7, which lack them.
  const auto block = [](float version, bool timing) {
    DocBytes d;
    d.Float(version).Int(1).Int(kTypePlay).Root().Ints({2, 0, 1, 0, 5, 6, 7, 8, 5, 1, 0});
    if (timing) d.Ints({1, 500});
    return d.Ints({0, -1}).bytes;
  };
  CCommandList script, pasted;
  ASSERT_TRUE(Paste(block(4.0f, false), script, pasted));
  ASSERT_EQ(pasted.GetSize(), 1);
  EXPECT_EQ(pasted.GetCommand(0)->GetType(), kTypePlay);
  EXPECT_FALSE(Paste(block(4.7f, false), script, pasted));
  EXPECT_EQ(pasted.GetSize(), 1);
  // The next block is read in its own version again.
  EXPECT_TRUE(Paste(block(4.7f, true), script, pasted));
  EXPECT_EQ(pasted.GetSize(), 2);
}

// A block of a Wait (1500 ms) and a Show; the Show's link pair as given.
Bytes TwoCommandBlock(int waitType, int count, int flag, int reference) {
  return DocBytes()
      .Float(4.7f)
      .Int(count)
      .Int(waitType)
      .Root()
      .Ints({1500, 0})
      .Int(kTypeShow)
      .Root()
      .Motion(1, 2)
      .Colour(0)
      .Ints({0, -1, flag, reference})
      .bytes;
}

TEST(CopyBlockTest, DamagedBlocksGiveNothingAndLeaveTheScriptAlone) {
  CCommandList script;
  BuildScript(script);
  // A well-formed block first, so that the damage is what is refused.
  {
    CCommandList pasted;
    ASSERT_TRUE(Paste(TwoCommandBlock(kTypeWait, 2, 0, 0), script, pasted));
    ASSERT_EQ(pasted.GetSize(), 2);
    EXPECT_EQ(pasted.GetCommand(1)->GetTarget(), Object(script, 0));
  }
  struct Case {
    const char* name;
    Bytes bytes;
  };
  const Case cases[] = {
      {"type code 14", TwoCommandBlock(14, 2, 0, -1)},
      {"type code -1", TwoCommandBlock(-1, 2, 0, -1)},
      {"a huge count", TwoCommandBlock(kTypeWait, 0x7FFFFFFF, 0, -1)},
      {"a negative count", TwoCommandBlock(kTypeWait, -2, 0, -1)},
      {"a link past the block", TwoCommandBlock(kTypeWait, 2, 1, 2)},
      {"a link to a Wait", TwoCommandBlock(kTypeWait, 2, 1, 0)},
      {"a link to itself", TwoCommandBlock(kTypeWait, 2, 1, 1)},
      {"a link flag of 2", TwoCommandBlock(kTypeWait, 2, 2, 0)},
      {"a foreign version", [] {
         Bytes b = TwoCommandBlock(kTypeWait, 2, 0, 0);
         const float v = 4.71f;
         memcpy(b.data(), &v, 4);
         return b;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandList pasted;
    EXPECT_FALSE(Paste(c.bytes, script, pasted));
    EXPECT_EQ(pasted.GetSize(), 0);
    EXPECT_EQ(Object(script, 0)->GetReferrerCount(), 1);
  }
  // Cut short anywhere, even where the Show would already link to line 0.
  const Bytes whole = TwoCommandBlock(kTypeWait, 2, 0, 0);
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    CCommandList pasted;
    EXPECT_FALSE(Paste(Bytes(whole.begin(), whole.begin() + length), script, pasted));
    EXPECT_EQ(pasted.GetSize(), 0);
    EXPECT_EQ(Object(script, 0)->GetReferrerCount(), 1);
  }
}

}  // namespace
