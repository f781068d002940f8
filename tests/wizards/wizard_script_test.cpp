// The Standard wizard's script generator: golden command lists for the
// finished and the preview script, shared and look-alike items, the Move's
// step signs and a media Play's settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "script/DataBlock.h"
#include "script/PickSource.h"
#include "wizards/WizardScript.h"

namespace {

class FixedScreen : public CPickSource {
 public:
  void GetScreenSize(int& w, int& h, int& sw, int& sh) override {
    w = sw = 1024;
    h = sh = 768;
  }
};

class WizardScriptTest : public ::testing::Test {
 protected:
  void SetUp() override { SetPickSource(&m_screen); }
  void TearDown() override {
    m_sequences.DeleteAll();
    SetPickSource(nullptr);
  }

  CWizardSequence* Picture(const char* name, std::vector<uint8_t> bytes) {
    auto* s = new CWizardSequence(kSequenceImage);
    s->m_display.m_displayName = name;
    SetBytes(s->m_display, bytes);
    m_sequences.Add(s);
    return s;
  }
  CWizardSequence* Text(const char* text) {
    auto* s = new CWizardSequence(kSequenceText);
    s->m_display.m_kind = 1;
    s->m_display.m_text = text;
    m_sequences.Add(s);
    return s;
  }
  CWizardSequence* Media(const char* name, int kind, std::vector<uint8_t> bytes) {
    auto* s = new CWizardSequence(kSequenceMedia);
    s->m_media.m_displayName = name;
    s->m_media.m_kind = kind;
    uint8_t* block = AllocDataBlock(static_cast<uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), block);
    s->m_media.SetMedia(block, static_cast<uint32_t>(bytes.size()));
    m_sequences.Add(s);
    return s;
  }
  static void SetBytes(CImageTextObject& o, const std::vector<uint8_t>& bytes) {
    uint8_t* block = AllocDataBlock(static_cast<uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), block);
    o.SetPicture(block, static_cast<uint32_t>(bytes.size()));
  }

  std::vector<std::string> Generate(bool repeat, bool preview = false) {
    m_sink.m_commands.DeleteAll();
    CWizardScriptGenerator generator(m_sink);
    generator.Generate(m_sequences, repeat, preview);
    return Lines();
  }

  // One line a command: its type and the values the generator sets; a
  // target as the index of its object in the list.
  std::vector<std::string> Lines() const {
    const CCommandList& list = m_sink.m_commands;
    std::vector<std::string> lines;
    auto index = [&](const CSceneObject* object) {
      for (int i = 0; i < list.GetSize(); ++i)
        if (list.GetAt(i) == object) return std::to_string(i);
      return std::string(object ? "?" : "none");
    };
    for (int i = 0; i < list.GetSize(); ++i) {
      const CSceneCommand* c = list.GetCommand(i);
      CString line;
      switch (c->GetType()) {
        case kTypeComment:
          line.Format("Comment \"%s\"", static_cast<const CCommentCommand*>(c)->m_text.GetString());
          break;
        case kTypeImageText: {
          auto* o = static_cast<const CImageTextObject*>(c);
          line.Format("Image/Text \"%s\" \"%s\" %u bytes, %d referrers", o->m_displayName.GetString(),
                      o->m_text.GetString(), o->m_pictureSize, o->GetReferrerCount());
          break;
        }
        case kTypeMedia: {
          auto* o = static_cast<const CMediaObject*>(c);
          line.Format("Multimedia \"%s\" kind %d %u bytes, %d referrers",
                      o->m_displayName.GetString(), o->m_kind, o->m_dataSize,
                      o->GetReferrerCount());
          break;
        }
        case kTypeShow: {
          const CMotionAttribute& m = static_cast<const CShowCommand*>(c)->m_ref.m_motion;
          line.Format("Show -> %s at %d,%d (%d,%d) effect %d [%d]",
                      index(c->GetTarget()).c_str(), m.m_startModeX, m.m_startModeY, m.m_startX,
                      m.m_startY, m.m_effect, m.m_effectParam);
          break;
        }
        case kTypeMove: {
          const CMotionAttribute& m = static_cast<const CMoveCommand*>(c)->m_ref.m_motion;
          line.Format("Move -> %s from %d,%d (%d,%d) to %d,%d (%d,%d) along %d step %d,%d",
                      index(c->GetTarget()).c_str(), m.m_startModeX, m.m_startModeY, m.m_startX,
                      m.m_startY, m.m_endModeX, m.m_endModeY, m.m_endX, m.m_endY, m.m_stepAlongX,
                      m.m_stepX, m.m_stepY);
          break;
        }
        case kTypeHide:
          line.Format("Hide -> %s", index(c->GetTarget()).c_str());
          break;
        case kTypeWait:
          line.Format("Wait %d", static_cast<const CWaitCommand*>(c)->m_duration.m_milliseconds);
          break;
        case kTypeCls:
          line = "Cls";
          break;
        case kTypeRepeat:
          line = "Repeat";
          break;
        case kTypeUntil: {
          const CRepeatCountAttribute& r = static_cast<const CUntilCommand*>(c)->m_repeat;
          line.Format("Until %s", r.m_infinite ? "infinite" : "counted");
          break;
        }
        case kTypePlay: {
          const CFlashPlayAttribute& f = static_cast<const CPlayCommand*>(c)->m_placement.m_flash;
          line.Format(
              "Play -> %s wait %d count %d pos %d,%d modes %d,%d size %d,%d full %d timed %d "
              "timer %d endless %d",
              index(c->GetTarget()).c_str(), f.m_wait, f.m_count, f.m_posX, f.m_posY,
              f.m_posModeX, f.m_posModeY, f.m_width, f.m_height, f.m_fullScreen, f.m_timed,
              f.m_timerMs, f.m_endless);
          break;
        }
        default:
          line.Format("type %d", c->GetType());
      }
      lines.push_back(line.GetString());
    }
    return lines;
  }

  FixedScreen m_screen;
  CWizardSequenceArray m_sequences;
  CListCommandSink m_sink;
};

}  // namespace

TEST_F(WizardScriptTest, ShowWaitHideInsideTheEndlessLoop) {
  Picture("sun.bmp", {1, 2, 3});
  const std::vector<std::string> expected = {
      "Comment \"Wizard generated definitions of used objects\"",
      "Image/Text \"sun.bmp\" \"\" 3 bytes, 2 referrers",
      "Comment \"\"",
      "Comment \"Screen saver action commands\"",
      "Repeat",
      "Cls",
      "Show -> 1 at 1,1 (0,0) effect 3 [100]",
      "Wait 3000",
      "Hide -> 1",
      "Until infinite",
  };
  EXPECT_EQ(Generate(true), expected);
}

TEST_F(WizardScriptTest, NoRepeatNoUntilAndFlagsDropTheirCommands) {
  CWizardSequence* s = Picture("sun.bmp", {1});
  s->m_clearScreen = 0;
  s->m_hide = 0;
  s->m_waitSeconds = 7;
  s->m_showModeX = 5;
  s->m_showX = 30;
  s->m_effect = 40;
  s->m_effectSpeed = 600;
  CWizardSequence* t = Text("Hello");
  t->m_wait = 0;
  const std::vector<std::string> expected = {
      "Comment \"Wizard generated definitions of used objects\"",
      "Image/Text \"sun.bmp\" \"\" 1 bytes, 1 referrers",
      "Image/Text \"\" \"Hello\" 0 bytes, 2 referrers",
      "Comment \"\"",
      "Comment \"Screen saver action commands\"",
      "Show -> 1 at 5,1 (30,0) effect 40 [600]",
      "Wait 7000",
      "Cls",
      "Show -> 2 at 1,1 (0,0) effect 3 [100]",
      "Hide -> 2",
  };
  EXPECT_EQ(Generate(false), expected);
}

TEST_F(WizardScriptTest, PreviewScriptMarksItsActionsOnce) {
  Text("Hi")->m_move = 1;
  const std::vector<std::string> expected = {
      "Comment \"Wizard generated definitions of used objects\"",
      "Image/Text \"\" \"Hi\" 0 bytes, 2 referrers",
      "Comment \"Screen saver actualy begins here\"",
      "Cls",
      "Move -> 1 from 0,1 (0,0) to 2,1 (1024,0) along 1 step 1,1",
      "Wait 3000",
      "Hide -> 1",
  };
  EXPECT_EQ(Generate(false, true), expected);
}

TEST_F(WizardScriptTest, OneItemInTwoSequencesIsDefinedOnce) {
  Picture("sun.bmp", {1, 2});
  Picture("sun.bmp", {1, 2})->m_move = 1;
  std::vector<std::string> lines = Generate(false);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[1], "Image/Text \"sun.bmp\" \"\" 2 bytes, 4 referrers");
  EXPECT_EQ(lines[2], "Comment \"\"");
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Move -> 1 from 0,1 (0,0) to 2,1 (1024,0) along 1 step 1,1"),
            lines.end());
}

// Two different pictures that share a name and a length are two objects.
TEST_F(WizardScriptTest, LookAlikePicturesWithOtherBytesStayApart) {
  Picture("photo.jpg", {1, 2, 3});
  Picture("photo.jpg", {9, 9, 9});
  Media("tune.wav", kMediaAudio, {5, 6});
  Media("tune.wav", kMediaAudio, {7, 8});
  std::vector<std::string> lines = Generate(false);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[1], "Image/Text \"photo.jpg\" \"\" 3 bytes, 2 referrers");
  EXPECT_EQ(lines[2], "Image/Text \"photo.jpg\" \"\" 3 bytes, 2 referrers");
  EXPECT_EQ(lines[3], "Multimedia \"tune.wav\" kind 0 2 bytes, 1 referrers");
  EXPECT_EQ(lines[4], "Multimedia \"tune.wav\" kind 0 2 bytes, 1 referrers");
  EXPECT_EQ(lines[5], "Comment \"\"");
}

// Texts that read the same but look different are two objects.
TEST_F(WizardScriptTest, SameTextsWithOtherLooksStayApart) {
  struct Case {
    const char* name;
    void (*change)(CImageTextObject&);
    bool shared;
  } cases[] = {
      {"identical", [](CImageTextObject&) {}, true},
      {"font face", [](CImageTextObject& o) { std::strcpy(o.m_font.lfFaceName, "Arial"); }, false},
      {"font height", [](CImageTextObject& o) { o.m_font.lfHeight = -30; }, false},
      {"text colour", [](CImageTextObject& o) { o.m_textColour = 0x123456; }, false},
      {"background colour", [](CImageTextObject& o) { o.m_bkColour = 0x654321; }, false},
      {"justification", [](CImageTextObject& o) { o.m_justification = 2; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_sequences.DeleteAll();
    Text("Welcome");
    c.change(Text("Welcome")->m_display);
    std::vector<std::string> lines = Generate(false);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2] == "Comment \"\"", c.shared);
  }
}

TEST_F(WizardScriptTest, MoveStepSigns) {
  struct Case {
    int sx, sy, ex, ey;
    const char* move;
  } cases[] = {
      {100, 500, 100, 50, "Move -> 1 from 5,5 (100,500) to 5,5 (100,50) along 0 step -1,-1"},
      {100, 500, 600, 50, "Move -> 1 from 5,5 (100,500) to 5,5 (600,50) along 1 step -1,-1"},
      {600, 50, 100, 50, "Move -> 1 from 5,5 (600,50) to 5,5 (100,50) along 1 step -1,1"},
      {100, 50, 600, 500, "Move -> 1 from 5,5 (100,50) to 5,5 (600,500) along 1 step 1,1"},
      {100, 50, 100, 500, "Move -> 1 from 5,5 (100,50) to 5,5 (100,500) along 0 step 1,1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.move);
    m_sequences.DeleteAll();
    CWizardSequence* s = Picture("a.bmp", {1});
    s->m_move = 1;
    s->m_clearScreen = s->m_wait = s->m_hide = 0;
    s->m_startModeX = s->m_startModeY = s->m_endModeX = s->m_endModeY = 5;
    s->m_startX = c.sx;
    s->m_startY = c.sy;
    s->m_endX = c.ex;
    s->m_endY = c.ey;
    std::vector<std::string> lines = Generate(false);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], c.move);
  }
}

TEST_F(WizardScriptTest, MediaPlayCarriesThePlacement) {
  CWizardSequence* s = Media("intro.swf", kMediaFlash, {'F', 'W', 'S'});
  s->m_waitForMedia = 0;
  s->m_repeatCount = 4;
  s->m_positionX = 12;
  s->m_positionY = 34;
  s->m_positionModeX = 1;
  s->m_sizeWidth = 320;
  s->m_sizeHeight = 240;
  s->m_fullScreen = 1;
  CWizardSequence* audio = Media("bell.wav", kMediaAudio, {1});
  audio->m_clearScreen = 0;
  const std::vector<std::string> expected = {
      "Comment \"Wizard generated definitions of used objects\"",
      "Multimedia \"intro.swf\" kind 3 3 bytes, 1 referrers",
      "Multimedia \"bell.wav\" kind 0 1 bytes, 1 referrers",
      "Comment \"\"",
      "Comment \"Screen saver action commands\"",
      "Repeat",
      "Cls",
      "Play -> 1 wait 0 count 4 pos 12,34 modes 1,5 size 320,240 full 0 timed 0 timer 1000 "
      "endless 0",
      "Play -> 2 wait 1 count 1 pos 0,0 modes 5,5 size 0,0 full 0 timed 0 timer 1000 endless 0",
      "Until infinite",
  };
  EXPECT_EQ(Generate(true), expected);
}
