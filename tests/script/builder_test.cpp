// The builder's build only: writing documents (golden bytes and round
// trips), the labels of every command, the options file and the builder's
// own utilities.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>

#include "script/ListText.h"
#include "script/MeasureField.h"
#include "script/SaverName.h"
#include "script_support.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/Palette.h"

namespace {

std::vector<uint8_t> WriteDocument(const CCommandList& list) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  WriteSceneDocument(ar, list);
  ar.Close();
  const uint8_t* p = file.GetBuffer();
  return std::vector<uint8_t>(p, p + file.GetLength());
}

std::vector<uint8_t> FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(WriterTest, EmptyDocumentGoldenBytes) {
  CCommandList list;
  std::vector<uint8_t> expected = {0x0F, 'L', 'u', 'm', 'e', 'n', 'w', 'e', 'a', 'v', 'e', 'S',
                                   'c',  'e', 'n', 'e', 0x66, 0x66, 0x96, 0x40, 0, 0, 0, 0};
  EXPECT_EQ(WriteDocument(list), expected);
}

TEST(WriterTest, LongCommentAndScrambledText) {
  CCommentCommand comment;
  comment.m_comment.m_text = CString('x', 300);
  comment.m_text = "12345678";  // length 8: k = 11
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    comment.Write(ar);
  }
  const uint8_t* p = file.GetBuffer();
  ASSERT_EQ(file.GetLength(), 3u + 300 + 8 + 1 + 8);
  EXPECT_EQ(p[0], 0xFF);
  EXPECT_EQ(p[1], 0x2C);
  EXPECT_EQ(p[2], 0x01);
  EXPECT_EQ(p[3], static_cast<uint8_t>('x' - (300 % 11 + 3)));
  EXPECT_EQ(p[311], 8);
  EXPECT_EQ(p[312], static_cast<uint8_t>('1' - 11));
  EXPECT_EQ(comment.m_text, "12345678");  // written from a copy
}

// A script with every command type, a picture and a media block among them.
void BuildScript(CCommandList& list) {
  CImageTextObject* picture = new CImageTextObject;
  picture->m_comment.m_text = "the picture";
  picture->m_displayName = "photo.jpg";
  uint8_t* bytes = AllocDataBlock(5000);
  for (int i = 0; i < 5000; ++i) bytes[i] = static_cast<uint8_t>(i * 31);
  picture->SetPicture(bytes, 5000);
  picture->m_width = 320, picture->m_height = 200, picture->m_keepAspect = 1;
  picture->m_imageSource = 3;
  CImageTextObject* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_text = "Line one\r\nLine two";
  text->m_justification = 2;
  text->m_bkMode = 1;
  strcpy(text->m_font.lfFaceName, "Courier New");
  text->m_font.lfWeight = 700;
  CMediaObject* media = new CMediaObject;
  media->m_displayName = "movie.swf";
  media->m_kind = kMediaFlash;
  media->SetMedia(CopyDataBlock(reinterpret_cast<const uint8_t*>("FWS-data"), 8), 8);
  CShowCommand* show = new CShowCommand;
  show->m_ref.m_motion.m_effect = 12;
  show->m_ref.m_colour.m_random = 1;
  CMoveCommand* move = new CMoveCommand;
  move->m_ref.m_motion.m_freeStep = 1;
  move->m_ref.m_motion.m_untilX = 77;
  CHideCommand* hide = new CHideCommand;
  CShowCommand* show2 = new CShowCommand;
  show2->SetDisabled(1);
  CWaitCommand* wait = new CWaitCommand;
  wait->m_duration.m_milliseconds = 2500;
  CClsCommand* cls = new CClsCommand;
  cls->m_colour.m_colour = RGB(10, 20, 30);
  cls->m_colour.m_mixing = 1;
  CRepeatCommand* repeat = new CRepeatCommand;
  CUntilCommand* until = new CUntilCommand;
  until->m_repeat.m_count = 4;
  CLineCommand* line = new CLineCommand;
  line->m_penStyle = 3, line->m_penWidth = 5;
  line->m_colour.m_colour = RGB(1, 2, 3);
  CPlayCommand* play = new CPlayCommand;
  play->m_placement.m_flash.m_timed = 1;
  play->m_placement.m_flash.m_timerMs = 2500;
  play->m_placement.m_flash.m_fullScreen = 1;
  CStopCommand* stop = new CStopCommand;
  CCommentCommand* comment = new CCommentCommand;
  comment->m_text = "a note";
  comment->m_indent = 2;
  CUrlCommand* url = new CUrlCommand;
  url->m_location = "http://example.org/";
  url->m_keys = 3;
  CSceneCommand* all[] = {picture, text, media, show, move, hide, show2, wait, cls,
                          repeat, until, line, play, stop, comment, url};
  for (CSceneCommand* c : all) list.Add(c);
  show->SetTarget(picture);
  hide->SetTarget(picture);
  move->SetTarget(text);
  show2->SetTarget(picture);
  stop->SetTarget(media);
  play->SetTarget(media);
}

TEST(WriterTest, RoundTripOfEveryCommandType) {
  CCommandList script;
  BuildScript(script);
  std::vector<uint8_t> first = WriteDocument(script);
  for (int i = 0; i < script.GetSize(); ++i) EXPECT_EQ(script.GetCommand(i)->GetId(), i);
  CImageTextObject* original = static_cast<CImageTextObject*>(script.GetCommand(0));
  EXPECT_EQ(original->m_pPicture[1], 31);  // unchanged by writing

  CCommandList back;
  ASSERT_EQ(ReadDocument(first, back), -1);
  ASSERT_EQ(back.GetSize(), script.GetSize());
  for (int i = 0; i < back.GetSize(); ++i) {
    SCOPED_TRACE(i);
    CSceneCommand* a = script.GetCommand(i);
    CSceneCommand* b = back.GetCommand(i);
    EXPECT_EQ(b->GetType(), a->GetType());
    EXPECT_EQ(b->GetId(), i);
    EXPECT_EQ(b->GetTargetId(), a->GetTargetId());
    CString da, db;
    a->Describe(da);
    b->Describe(db);
    EXPECT_EQ(db, da);
  }
  // Referrer order as linked: Show, Hide, the second Show.
  CImageTextObject* picture = static_cast<CImageTextObject*>(back.GetCommand(0));
  ASSERT_EQ(picture->GetReferrerCount(), 3);
  EXPECT_EQ(picture->GetReferrer(0), back.GetCommand(3));
  EXPECT_EQ(picture->GetReferrer(1), back.GetCommand(5));
  EXPECT_EQ(picture->GetReferrer(2), back.GetCommand(6));
  CMediaObject* media = static_cast<CMediaObject*>(back.GetCommand(2));
  ASSERT_EQ(media->GetReferrerCount(), 2);
  EXPECT_EQ(media->GetReferrer(0), back.GetCommand(13));
  EXPECT_EQ(picture->m_pictureSize, 5000u);
  EXPECT_EQ(memcmp(picture->m_pPicture, original->m_pPicture, 5000), 0);
  CImageTextObject* text = static_cast<CImageTextObject*>(back.GetCommand(1));
  EXPECT_EQ(text->m_text, "Line one\r\nLine two");
  EXPECT_STREQ(text->m_font.lfFaceName, "Courier New");
  EXPECT_EQ(text->m_font.lfWeight, 700);
  EXPECT_EQ(back.GetCommand(6)->IsDisabled(), 1);
  EXPECT_EQ(back.GetCommand(14)->m_indent, 2);
  // Every stored field came back: the same bytes again.
  EXPECT_EQ(WriteDocument(back), first);
}

TEST(WriterTest, CopyFromCopiesValuesNotTargets) {
  CCommandList script;
  BuildScript(script);
  for (int i = 0; i < script.GetSize(); ++i) {
    SCOPED_TRACE(i);
    CSceneCommand* a = script.GetCommand(i);
    std::unique_ptr<CSceneCommand> copy(a->Clone());
    copy->CopyFrom(*a);
    EXPECT_EQ(copy->GetTarget(), nullptr);
    EXPECT_EQ(copy->GetId(), -1);
    CMemFile fa, fb;
    {
      CArchive ara(&fa, CArchive::store), arb(&fb, CArchive::store);
      a->Write(ara);
      copy->Write(arb);
    }
    // The disabled flag is not copied; everything else is.
    if (!a->IsDisabled()) {
      ASSERT_EQ(fa.GetLength(), fb.GetLength());
      EXPECT_EQ(memcmp(fa.GetBuffer(), fb.GetBuffer(), static_cast<size_t>(fa.GetLength())), 0);
    }
  }
}

TEST(DescribeTest, LabelsOfEachType) {
  CImageTextObject picture;
  picture.m_displayName = "pic.bmp";
  CImageTextObject text;
  text.m_kind = 1;
  text.m_text = "Hello world";
  text.m_textColour = RGB(1, 2, 3);
  CMediaObject flash;
  flash.m_displayName = "m.swf";
  flash.m_kind = kMediaFlash;
  CMediaObject video;
  video.m_displayName = "v.avi";
  video.m_kind = kMediaVideo;

  CShowCommand showPicture;
  showPicture.SetTarget(&picture);
  showPicture.m_ref.m_motion.m_effect = 5;
  CShowCommand showLetters;
  showLetters.SetTarget(&text);
  showLetters.m_ref.m_motion.m_letterByLetter = 1;
  CShowCommand showNothing;
  showNothing.m_ref.m_motion.m_startModeY = kModeStored;
  showNothing.m_ref.m_motion.m_startY = 42;
  CMoveCommand move;
  move.SetTarget(&text);
  CHideCommand hide;
  CWaitCommand waitRandom;
  waitRandom.m_duration.m_random = 1;
  CWaitCommand wait;
  wait.m_comment.m_text = "c";
  wait.m_duration.m_milliseconds = 1500;
  CUntilCommand once, twice, forever;
  twice.m_repeat.m_count = 2;
  forever.m_repeat.m_infinite = 1;
  CRepeatCommand repeat, namedRepeat;
  namedRepeat.m_comment.m_text = "loop";
  CClsCommand cls;
  cls.m_colour.m_colour = RGB(255, 0, 0);
  CLineCommand line, oddLine;
  oddLine.m_penStyle = 9;
  CPlayCommand playFlash, playVideo, playTimed, playFull;
  playFlash.SetTarget(&flash);
  playFlash.m_placement.m_flash.m_posModeX = kModeCenter;
  playFlash.m_placement.m_flash.m_posY = 7;
  playFlash.m_placement.m_flash.m_width = 550;
  playVideo.SetTarget(&video);
  playVideo.m_placement.m_flash.m_posX = 3;
  playVideo.m_placement.m_flash.m_posY = 4;
  playVideo.m_placement.m_flash.m_wait = 0;
  playTimed.m_placement.m_flash.m_timed = 1;
  playTimed.m_placement.m_flash.m_timerMs = 1500;
  playTimed.m_placement.m_flash.m_wait = 0;
  playFull.m_placement.m_flash.m_count = 3;
  CStopCommand stop;
  stop.SetTarget(&flash);
  CCommentCommand comment, emptyComment;
  comment.m_text = "hello";
  CUrlCommand urlOff, urlF12, urlNone;
  urlOff.m_monitoringOff = 1;
  urlF12.m_keys = 1;
  urlF12.m_location = "http://a";

  struct Case {
    const CSceneCommand* cmd;
    const char* label;
  } cases[] = {
      {&showPicture, "Show Image [pic.bmp, Position: (Center, Center), Effect: Dissolve [100], ]"},
      {&showLetters,
       "Show Text [Hello w..., Position: (Center, Center), Effect: None [100], "
       "Letter By Letter Speed: 2000]"},
      {&showNothing, "Show [?, Position: (Center, 42), Effect: None [100], ]"},
      {&move,
       "Move Text [Hello w..., Start Position: (Left, Center), End Position: (Right, Center), "
       "Step X: 1, Speed: 100000]"},
      {&hide, "Hide [?]"},
      {&waitRandom, "Wait [Random]"},
      {&wait, "Wait (c) [Duration: 1.5 sec]"},
      {&once, "Until [1 time]"},
      {&twice, "Until [2 times]"},
      {&forever, "Until [Infinite]"},
      {&repeat, "Repeat"},
      {&namedRepeat, "Repeat (loop)"},
      {&cls, "Cls [Colour: RGB(255, 0, 0)]"},
      {&line,
       "Line [Width: 1, Style: Solid, Start Position: (Random, Random), End Position: (Random, "
       "Random), Colour: RGB(0, 0, 0), Mixing: No Mixing, Background: Yes]"},
      {&playFlash, "Play [m.swf, Wait - 1 time, Position: (Center, 7), Size: (550, 0)]"},
      {&playVideo, "Play [v.avi, No wait - 1 time, Position: (3, 4)]"},
      {&playTimed, "Play [?, Timed Flash (1.50 sec) - No Wait]"},
      {&playFull, "Play [?, Wait - 3 times]"},
      {&stop, "Stop [m.swf]"},
      {&comment, "hello"},
      {&emptyComment, ""},
      {&urlOff, "Url [All URL monitoring disabled ]"},
      {&urlF12, "Url [Location:http://a, Keys:F12 ]"},
      {&urlNone, "Url [Location:http://, Keys: ]"},
      {&picture, "Image/Text [pic.bmp]"},
      {&text,
       "Image/Text [Hello w..., TextColour: RGB(1, 2, 3), BkColour: RGB(224, 224, 224), "
       "BkMode: Transparent, Font: MS Sans Serif]"},
      {&flash, "Multimedia/Flash [m.swf] - Flash"},
      {&video, "Multimedia/Flash [v.avi] - Video"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(std::string(Label(*c.cmd)), c.label);
  }
  EXPECT_NE(Label(oddLine).Find("Style: DashDotDot"), -1);

  CColourAttribute colour;
  colour.m_colour = RGB(255, 0, 0);
  colour.m_mixing = 2;
  colour.m_background = 0;
  CString out;
  colour.Describe(out);
  EXPECT_EQ(out, "Colour: RGB(255, 0, 0), Mixing: AND, Background: No");
  CMotionAttribute free;
  free.m_freeStep = 1;
  free.m_startX = 1, free.m_startY = 2, free.m_stepX = 3, free.m_stepY = 4;
  free.m_untilOpX = 0, free.m_untilX = 5, free.m_joiner = 1, free.m_untilOpY = 3, free.m_untilY = 6;
  out.Empty();
  free.Describe(out);
  EXPECT_EQ(out, "Start Position: (1, 2), Step: (3, 4), Until: x > 5 AND y <> 6, Speed: 100000");
}

std::vector<uint8_t> DefaultOptionBytes() {
  DocBytes d;
  d.Ints({2, 10, 100, 100});
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> font = StoredFont("MS Sans Serif", -11);
    d.Raw(font.data(), font.size());
  }
  d.Ints({0x000000, 0x008000, 0xC0C0C0, 0x00FFFF});
  d.Ints({1, 1, 1, 0, 1, 1, 1});
  return d.bytes;
}

TEST(OptionsTest, DefaultFileIs240BytesInOrder) {
  const CString path = CBuilderOptions::GetFilePath();
  CBuilderOptions options;
  ASSERT_EQ(SerializeOptions(options, false), 1);
  std::vector<uint8_t> bytes = FileBytes(path);
  EXPECT_EQ(bytes.size(), 240u);
  EXPECT_EQ(bytes, DefaultOptionBytes());
  DeleteFileA(path);
}

TEST(OptionsTest, SavedValuesComeBack) {
  const CString path = CBuilderOptions::GetFilePath();
  CBuilderOptions saved;
  saved.m_tabSize = 4;
  saved.m_commentColour = RGB(9, 8, 7);
  strcpy(saved.m_disableFont.lfFaceName, "Arial");
  saved.m_splash = 0;
  ASSERT_EQ(SerializeOptions(saved, false), 1);
  CBuilderOptions loaded;
  ASSERT_EQ(SerializeOptions(loaded, true), 1);
  EXPECT_EQ(loaded.m_tabSize, 4);
  EXPECT_EQ(loaded.m_commentColour, RGB(9, 8, 7));
  EXPECT_STREQ(loaded.m_disableFont.lfFaceName, "Arial");
  EXPECT_EQ(loaded.m_splash, 0);
  EXPECT_NE(loaded.m_heights[0], 0);  // the fonts were made and measured
  {
    CCommandPalette palette;  // loads the file when it is built
    ASSERT_NE(palette.GetOptions(), nullptr);
    EXPECT_EQ(palette.GetOptions()->m_tabSize, 4);
  }
  DeleteFileA(path);
}

TEST(OptionsTest, ShortFileIsResetAndRewritten) {
  const CString path = CBuilderOptions::GetFilePath();
  WriteFileBytes(path, std::vector<uint8_t>(100, 0x11));
  CBuilderOptions options;
  options.m_tabSize = 9;
  EXPECT_EQ(SerializeOptions(options, true), 0);
  EXPECT_EQ(options.m_tabSize, 2);
  EXPECT_EQ(FileBytes(path), DefaultOptionBytes());
  DeleteFileA(path);
}

TEST(OptionsTest, MissingFileAndFailedSaveKeepTheRecord) {
  const CString path = CBuilderOptions::GetFilePath();
  DeleteFileA(path);
  CBuilderOptions options;
  options.m_tabSize = 9;
  EXPECT_EQ(SerializeOptions(options, true), 1);
  EXPECT_EQ(options.m_tabSize, 9);
  EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

  CBuilderOptions::SetFilePath("Z:\\no such folder\\at all\\Lumenweave.opt");
  options.m_scrollTime = 33;
  SerializeOptions(options, false);
  EXPECT_EQ(options.m_tabSize, 9);
  EXPECT_EQ(options.m_scrollTime, 33);
  CBuilderOptions::SetFilePath(path);
}

// The four numbers at the head of the file (tab size, scroll time, beep on
// wait, wait tick), stored as a file written elsewhere might hold them, and
// what reading makes of them: a value outside its range takes its default.
TEST(OptionsTest, NumbersOutsideTheirRangesTakeTheirDefaults) {
  struct Case {
    const char* name;
    int32_t stored[4];
    int read[4];
  } cases[] = {
      {"all at their limits", {100, 500, 5000, 100}, {100, 500, 5000, 100}},
      {"all at zero but the tick", {0, 0, 0, 1}, {0, 0, 0, 1}},
      {"tab size too large", {101, 10, 100, 100}, {2, 10, 100, 100}},
      {"tab size huge", {0x7FFFFFFF, 10, 100, 100}, {2, 10, 100, 100}},
      {"tab size negative", {-1, 10, 100, 100}, {2, 10, 100, 100}},
      {"scroll time too long", {2, 501, 100, 100}, {2, 10, 100, 100}},
      {"scroll time negative", {2, INT32_MIN, 100, 100}, {2, 10, 100, 100}},
      {"beep past 50 ticks", {2, 10, 5001, 100}, {2, 10, 100, 100}},
      {"beep negative", {2, 10, -100, 100}, {2, 10, 100, 100}},
      {"wait tick of zero", {2, 10, 100, 0}, {2, 10, 100, 100}},
      {"wait tick negative", {2, 10, 100, -5}, {2, 10, 100, 100}},
      {"wait tick over a second", {2, 10, 100, 1001}, {2, 10, 100, 100}},
      {"short tick bounds the beep", {2, 10, 100, 1}, {2, 10, 50, 1}},
  };
  const CString path = CBuilderOptions::GetFilePath();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = DefaultOptionBytes();
    for (int i = 0; i < 4; ++i)
      for (int b = 0; b < 4; ++b)
        bytes[4 * i + b] = static_cast<uint8_t>(static_cast<uint32_t>(c.stored[i]) >> (8 * b));
    WriteFileBytes(path, bytes);
    CBuilderOptions options;
    EXPECT_EQ(SerializeOptions(options, true), 1);
    EXPECT_EQ(options.m_tabSize, c.read[0]);
    EXPECT_EQ(options.m_scrollTime, c.read[1]);
    EXPECT_EQ(options.m_beepOnWait, c.read[2]);
    EXPECT_EQ(options.m_waitTick, c.read[3]);
  }
  DeleteFileA(path);
}

TEST(OptionsTest, StyleOfACommand) {
  CBuilderOptions options;
  CWaitCommand wait;
  CCommentCommand comment;
  EXPECT_EQ(options.GetStyleColour(wait), 0u);
  EXPECT_EQ(options.GetStyleColour(comment), 0x008000u);
  comment.SetDisabled(1);
  EXPECT_EQ(options.GetStyleColour(comment), 0xC0C0C0u);
}

TEST(ListText, LinesAndLabels) {
  EXPECT_EQ(FirstNonEmptyLine("\r\n\r\nHello\r\nWorld"), "Hello");
  EXPECT_EQ(FirstNonEmptyLine("ab\ncd"), "ab");  // bare line feeds keep every character
  EXPECT_EQ(FirstNonEmptyLine("only"), "only");
  EXPECT_EQ(FirstNonEmptyLine(""), "");
  CImageTextObject text;
  text.m_kind = 1;
  text.m_text = "\r\nA long first line\r\nsecond";
  CString label;
  text.GetListLabel(label, true);
  EXPECT_EQ(label, "A long ...");
  label.Empty();
  text.GetListLabel(label, false);
  EXPECT_EQ(label, "A long first line");
  CImageTextObject picture;
  label.Empty();
  picture.GetListLabel(label, true);
  EXPECT_EQ(label, "?");
}

TEST(MeasureField, MeasurementsAndSaverNames) {
  struct Case {
    const char* text;
    const char* unit;
    bool ok;
    float value;
  } cases[] = {
      {" 2.5 ", "", true, 2.5f}, {"0", "", true, 0.0f},     {"2.5 cm", "cm", true, 2.5f},
      {"2.5cm ", "cm", true, 2.5f}, {"2.5 mm", "cm", false, 0}, {"abc", "cm", false, 0},
      {"0.0", "", true, 0.0f},   {".0", "", false, 0},       {"3 cm x", "cm", false, 0},
      {"1e300", "", false, 0},   {"-1e39 cm", "cm", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    float v = -1;
    EXPECT_EQ(ParseFloatText(c.text, c.unit, &v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
    }
  }
  EXPECT_TRUE(IsRiskySaverName("SSaver.scr"));
  EXPECT_TRUE(IsRiskySaverName("ss"));
  EXPECT_FALSE(IsRiskySaverName("Saver.scr"));
  EXPECT_FALSE(IsRiskySaverName("s"));
}

TEST(ListText, TruncateTextToWidth) {
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  CString text('W', 2000);
  int x = 29000;
  TruncateTextToWidth(dc, text, x);
  ASSERT_GE(text.GetLength(), 4);
  EXPECT_EQ(text.Right(4), "  >>");
  SIZE size;
  GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
  EXPECT_LE(x + size.cx, 29980);
  CString shortText("short");
  int leftX = 10;
  TruncateTextToWidth(dc, shortText, leftX);
  EXPECT_EQ(shortText, "short");
  EXPECT_EQ(leftX, 10);
  ReleaseDC(nullptr, dc);
}

}  // namespace
