// Reading scene documents in both builds: hand-built fixtures of every
// version branch, the version rules, and refusals of malformed input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "script_support.h"
#include "script/Objects.h"
#include "script/Palette.h"

namespace {

constexpr bool kBuilder = LW_SCRIPT_EDITING != 0;

template <typename T>
T* At(CCommandList& list, int i) {
  return static_cast<T*>(list.GetCommand(i));
}

TEST(OlderDocumentTest, EachMarkerReadsItsLayout) {
  struct Case {
    float marker;
    int modes[4];
    int keep, effect, param;
    int imageSource;
    int mediaKind;
    int playX;
  } cases[] = {
      {1.0f, {3, 5, 5, 3}, 0, 0, 100, 1, kMediaAudio, 0},
      {1.1f, {3, 1, 5, 3}, 1, 0, 100, 2, kMediaAudio, 0},
      {2.1f, {3, 1, 5, 3}, 1, 7, 100, 2, kMediaVideo, 40},
      {2.2f, {3, 1, 5, 3}, 1, 7, 100, 3, kMediaVideo, 40},
      {3.0f, {3, 1, 5, 3}, 1, 7, 300, 3, kMediaVideo, 40},
      {3.3f, {5, 5, 5, 5}, 1, 7, 100, 3, kMediaVideo, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.marker);
    CCommandList list;
    CSceneVersion version;
    ASSERT_EQ(ReadDocument(OlderDocument(c.marker), list, &version), -1);
    EXPECT_EQ(version.oldMarker, c.marker);
    ASSERT_EQ(list.GetSize(), 4);
    CImageTextObject* picture = At<CImageTextObject>(list, 0);
    EXPECT_EQ(picture->m_comment.m_text, "pic");
    EXPECT_EQ(picture->m_displayName, "old.bmp");
    ASSERT_EQ(picture->m_pictureSize, 2u);
    EXPECT_EQ(picture->m_pPicture[0], 9);
    EXPECT_EQ(picture->m_imageSource, c.imageSource);
    CShowCommand* show = At<CShowCommand>(list, 1);
    const CMotionAttribute& m = show->m_ref.m_motion;
    EXPECT_EQ(m.m_startModeX, c.modes[0]);
    EXPECT_EQ(m.m_startModeY, c.modes[1]);
    EXPECT_EQ(m.m_endModeX, c.modes[2]);
    EXPECT_EQ(m.m_endModeY, c.modes[3]);
    EXPECT_EQ(m.m_startX, 11);
    EXPECT_EQ(m.m_startY, 12);
    EXPECT_EQ(m.m_keepWhileMoving, c.keep);
    EXPECT_EQ(m.m_effect, c.effect);
    EXPECT_EQ(m.m_effectParam, c.param);
    EXPECT_EQ(show->m_ref.m_colour.m_colour, 0x0000FFu);
    EXPECT_EQ(show->GetTarget(), picture);
    CMediaObject* media = At<CMediaObject>(list, 2);
    EXPECT_EQ(media->m_kind, c.mediaKind);
    ASSERT_EQ(media->m_dataSize, 2u);
    EXPECT_EQ(media->m_pData[1], 5);
    CPlayCommand* play = At<CPlayCommand>(list, 3);
    EXPECT_EQ(play->m_placement.m_flash.m_count, 2);
    EXPECT_EQ(play->m_placement.m_flash.m_posX, c.playX);
    EXPECT_EQ(play->m_placement.m_flash.m_timerMs, 1000);  // not in older files
    EXPECT_EQ(play->GetTarget(), media);
  }
}

TEST(CurrentDocumentTest, VersionBranches) {
  struct Case {
    float version;
    int width, keepAspect, justification, timed, timer;
  } cases[] = {
      {4.0f, 0, 0, 0, 0, -1},
      {4.2f, 10, 0, 0, 1, 500},
      {4.5f, 10, 1, 2, 1, 500},
      {4.7f, 10, 1, 2, 1, 500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    CCommandList list;
    ASSERT_EQ(ReadDocument(CurrentDocument(c.version), list), -1);
    ASSERT_EQ(list.GetSize(), 4);
    CImageTextObject* text = At<CImageTextObject>(list, 0);
    EXPECT_TRUE(text->IsText());
    EXPECT_EQ(text->m_text, "Hi\r\nthere");
    EXPECT_STREQ(text->m_font.lfFaceName, "Arial");
    EXPECT_EQ(text->m_font.lfHeight, -13);
    EXPECT_EQ(text->m_textColour, 0x112233u);
    EXPECT_EQ(text->m_width, c.width);
    EXPECT_EQ(text->m_keepAspect, c.keepAspect);
    EXPECT_EQ(text->m_justification, c.justification);
    CImageTextObject* picture = At<CImageTextObject>(list, 1);
    EXPECT_EQ(picture->m_imageSource, 2);
    ASSERT_EQ(picture->m_pictureSize, 3u);
    EXPECT_EQ(picture->m_pPicture[2], 3);
    EXPECT_EQ(At<CShowCommand>(list, 2)->GetTarget(), picture);
    EXPECT_EQ(At<CShowCommand>(list, 2)->m_ref.m_motion.m_startX, 30);
    const CFlashPlayAttribute& flash = At<CPlayCommand>(list, 3)->m_placement.m_flash;
    EXPECT_EQ(flash.m_height, 8);
    EXPECT_EQ(flash.m_posModeY, 1);
    EXPECT_EQ(flash.m_timed, c.timed);
    EXPECT_EQ(flash.m_timerMs, c.timer);
    for (int i = 0; i < list.GetSize(); ++i) EXPECT_EQ(list.GetCommand(i)->GetId(), i);
  }
}

TEST(CurrentDocumentTest, CurrentAfterOlderUsesCurrentLayouts) {
  CCommandList list;
  ASSERT_EQ(ReadDocument(OlderDocument(1.0f), list), -1);
  CSceneVersion version;
  ASSERT_EQ(ReadDocument(CurrentDocument(4.7f), list, &version), -1);
  EXPECT_FALSE(version.IsOldFormat());
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(At<CShowCommand>(list, 2)->m_ref.m_motion.m_startModeX, kModeStored);
  EXPECT_EQ(At<CPlayCommand>(list, 3)->m_placement.m_flash.m_timerMs, 500);
}

TEST(CurrentDocumentTest, FontNameWithoutTerminator) {
  std::vector<uint8_t> font = StoredFont("", -11);
  for (int i = 28; i < 60; ++i) font[i] = 'A';
  DocBytes d;
  d.Header(kSceneIdCurrent, 4.7f).Int(1).Int(kTypeImageText).Root();
  d.Ints({1, 0, 1, 0, 0, 0, 0, 0, 0, 0}).Str("t").Block(font).Int(0);
  CCommandList list;
  ASSERT_EQ(ReadDocument(d.bytes, list), -1);
  EXPECT_EQ(strlen(At<CImageTextObject>(list, 0)->m_font.lfFaceName), 31u);
}

TEST(CurrentDocumentTest, StoredStringsEndAtTheirFirstNul) {
  DocBytes d;
  d.Header(kSceneIdCurrent, 4.7f).Int(1).Int(kTypeComment).Root(std::string("ab\0cd", 5));
  d.Str(std::string("note\0junk", 9));
  CCommandList list;
  ASSERT_EQ(ReadDocument(d.bytes, list), -1);
  EXPECT_EQ(list.GetCommand(0)->m_comment.m_text, "ab");
  EXPECT_EQ(list.GetCommand(0)->m_comment.m_text.GetLength(), 2);
  EXPECT_EQ(At<CCommentCommand>(list, 0)->m_text, "note");
}

TEST(VersionRuleTest, AcceptedVersionLists) {
  struct Case {
    float version;
    int old;
    bool accepted;
    float marker;  // the marker afterwards (it starts at -1)
  } cases[] = {
      {4.0f, 0, true, -1},  {4.2f, 0, true, -1},   {4.5f, 0, true, -1},   {4.7f, 0, true, -1},
      {3.6f, 0, false, -1}, {4.71f, 0, false, -1}, {4.1f, 0, false, -1},
      {1.0f, 1, true, 1.0f}, {1.1f, 1, true, 1.1f}, {2.1f, 1, true, 2.1f}, {2.2f, 1, true, 2.2f},
      {3.0f, 1, true, 3.0f}, {3.1f, 1, true, 3.1f}, {3.3f, 1, true, 3.3f}, {3.6f, 1, true, 3.6f},
      {4.0f, 1, true, 4.0f}, {4.2f, 1, true, 4.2f}, {4.5f, 1, true, 4.5f},
      {4.7f, 1, false, -1}, {2.0f, 1, false, -1},  {0.0f, 1, false, -1},
      // Exact single-precision compares: the next float above 4.2 is refused.
      {static_cast<float>(4.2), 0, true, -1}, {4.2f + 1e-6f, 0, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << " old " << c.old);
    float marker = -1;
    EXPECT_EQ(IsAcceptedVersion(c.version, c.old, &marker), c.accepted);
    EXPECT_EQ(marker, c.marker);
  }
  EXPECT_TRUE(IsAcceptedVersion(3.3f, 1, nullptr));
}

TEST(VersionRuleTest, EachBuildAcceptsItsVersions) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* id;
    float version;
    bool builder, runtime;
  } cases[] = {
      {kSceneIdCurrent, 4.7f, true, true},   {kSceneIdCurrent, 4.0f, true, true},
      {kSceneIdCurrent, 4.5f, true, true},   {kSceneIdCurrent, 4.6f, false, true},
      {kSceneIdCurrent, 3.3f, false, true},  {kSceneIdCurrent, 4.71f, false, false},
      {kSceneIdCurrent, 4.8f, false, false}, {kSceneIdCurrent, nan, false, false},
      {kSceneIdOlder, 3.3f, true, true},     {kSceneIdOlder, 2.2f, true, true},
      {kSceneIdOlder, 4.7f, false, true},    {kSceneIdOlder, 1.5f, false, true},
      {kSceneIdOlder, 4.71f, false, false},  {"LumenweaveOther", 4.7f, false, false},
      {"Lumenweave", 4.7f, false, false},    {"", 4.7f, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.id) + " " + std::to_string(c.version));
    DocBytes d;
    d.Header(c.id, c.version).Int(0);
    CCommandList list;
    list.Add(new CWaitCommand);  // what a refused read must leave alone
    bool accepted = kBuilder ? c.builder : c.runtime;
    EXPECT_EQ(ReadDocument(d.bytes, list), accepted ? -1 : CArchiveException::badSchema);
    EXPECT_EQ(list.GetSize(), accepted ? 0 : 1);
  }
}


TEST(LoadScriptArchiveTest, RefusalsAndVersionLimit) {
  Messages().texts.clear();
  DocBytes unclosed;
  unclosed.Header(kSceneIdCurrent, 4.7f).Int(1).Int(kTypeUntil).Root().Ints({1, 0});
  CMemFile file(unclosed.bytes.data(), static_cast<unsigned>(unclosed.bytes.size()));
  CArchive ar(&file, CArchive::load);
  CCommandList list;
  EXPECT_EQ(LoadScriptArchive(ar, list), 0);
  ASSERT_EQ(Messages().texts.size(), 1u);
  EXPECT_EQ(Messages().texts[0], "Missing repeat command.");

  DocBytes high;
  high.Header(kSceneIdCurrent, 4.71f).Int(0);
  CMemFile highFile(high.bytes.data(), static_cast<unsigned>(high.bytes.size()));
  CArchive highAr(&highFile, CArchive::load);
  int cause = -1;
  try {
    LoadScriptArchive(highAr, list);
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CArchiveException::badSchema);
}

TEST(LoadScriptArchiveTest, ReadsNumbersAndPrepares) {
  std::vector<uint8_t> bytes = Malformed().Bytes();
  CMemFile file(bytes.data(), static_cast<unsigned>(bytes.size()));
  CArchive ar(&file, CArchive::load);
  CCommandList list;
  EXPECT_EQ(LoadScriptArchive(ar, list), 1);
  ASSERT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.GetCommand(2)->GetId(), 2);
  EXPECT_EQ(list.GetCommand(1)->GetTargetId(), 0);
}

TEST(MalformedDocumentTest, RefusedAsBadSchema) {
  struct Case {
    const char* name;
    Malformed doc;
  } cases[] = {
      {"type code 14", [] { Malformed m; m.secondType = 14; return m; }()},
      {"type code -1", [] { Malformed m; m.secondType = -1; return m; }()},
      {"negative count", [] { Malformed m; m.count = -1; return m; }()},
      {"referrer id past the list", [] { Malformed m; m.pictureRefs = {5}; return m; }()},
      {"negative referrer id", [] { Malformed m; m.pictureRefs = {-1}; return m; }()},
      {"media object in a picture's list", [] { Malformed m; m.pictureRefs = {2}; return m; }()},
      {"Show in a media list", [] { Malformed m; m.pictureRefs = {}; m.mediaRefs = {1}; return m; }()},
      {"same referrer twice", [] { Malformed m; m.pictureRefs = {1, 1}; return m; }()},
      {"referrer in two lists", [] { Malformed m; m.secondType = kTypeStop; m.pictureRefs = {}; m.mediaRefs = {1, 1}; return m; }()},
      {"referrer count past the list", [] { Malformed m; m.pictureRefs = {1, 1, 1, 1}; return m; }()},
      {"negative byte count", [] { Malformed m; m.mediaBytes = -5; return m; }()},
      {"byte count past the data", [] { Malformed m; m.mediaBytes = 100000000; return m; }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandList list;
    list.Add(new CWaitCommand);
    EXPECT_EQ(ReadDocument(c.doc.Bytes(), list), CArchiveException::badSchema);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetCommand(0)->GetType(), kTypeWait);
  }
  CCommandList list;
  EXPECT_EQ(ReadDocument(Malformed().Bytes(), list), -1);  // the unbroken one reads
}

TEST(MalformedDocumentTest, EveryTruncationIsRefused) {
  for (std::vector<uint8_t> full : {Malformed().Bytes(), CurrentDocument(4.7f), OlderDocument(1.1f)}) {
    for (size_t n = 0; n < full.size(); ++n) {
      SCOPED_TRACE(n);
      std::vector<uint8_t> cut(full.begin(), full.begin() + n);
      CCommandList list;
      list.Add(new CRepeatCommand);
      int cause = ReadDocument(cut, list);
      ASSERT_TRUE(cause == CArchiveException::endOfFile || cause == CArchiveException::badSchema)
          << "cause " << cause;
      ASSERT_EQ(list.GetSize(), 1);
    }
  }
}

TEST(MalformedDocumentTest, OutOfTableValuesAreClamped) {
  DocBytes d;
  d.Header(kSceneIdCurrent, 4.7f).Int(2);
  d.Int(kTypeUrl).Root().Ints({0, 17}).Str("http://x");
  d.Int(kTypeMedia).Root().Int(1).Str("m").Int(99).Block({1});
  d.Int(0);
  CCommandList list;
  ASSERT_EQ(ReadDocument(d.bytes, list), -1);
  EXPECT_EQ(At<CUrlCommand>(list, 0)->m_keys, -1);
  EXPECT_EQ(At<CUrlCommand>(list, 0)->m_location, "http://x");
  EXPECT_EQ(At<CMediaObject>(list, 1)->m_kind, kMediaAudio);
}

}  // namespace
