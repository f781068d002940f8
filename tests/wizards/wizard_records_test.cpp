// The wizard's action sequence record: its defaults (the end point from the
// screen's width), copying, "Apply to selection" per kind and the lines the
// step-3 list shows for every kind of sequence.
#include <gtest/gtest.h>

#include "script/PickSource.h"
#include "wizards/WizardSequence.h"

namespace {

// A screen of a fixed width for the end point's default.
class ScreenWidthSource : public CPickSource {
 public:
  explicit ScreenWidthSource(int width) : m_width(width) {}
  void GetScreenSize(int& w, int& h, int& sw, int& sh) override {
    w = sw = m_width;
    h = sh = 768;
  }

 private:
  int m_width;
};

struct ScopedScreenWidth {
  ScreenWidthSource source;
  explicit ScopedScreenWidth(int width) : source(width) { SetPickSource(&source); }
  ~ScopedScreenWidth() { SetPickSource(nullptr); }
};

std::string Describe(const CWizardSequence& s) {
  CString out("left over");
  s.Describe(out);
  return out.GetString();
}

}  // namespace

TEST(WizardSequenceTest, DefaultsTakeTheScreenWidthForTheEndPoint) {
  ScopedScreenWidth screen(1024);
  CWizardSequence s(kSequenceText);
  EXPECT_EQ(s.GetKind(), kSequenceText);
  EXPECT_EQ(s.m_endX, 1024);
  EXPECT_EQ(s.m_endModeX, 2);
  EXPECT_EQ(s.m_endModeY, 1);
  EXPECT_EQ(s.m_startModeX, 0);
  EXPECT_EQ(s.m_startModeY, 1);
  EXPECT_EQ(s.m_showModeX, 1);
  EXPECT_EQ(s.m_effect, 3);
  EXPECT_EQ(s.m_effectSpeed, 100);
  EXPECT_EQ(s.m_waitSeconds, 3);
  EXPECT_EQ(s.m_positionModeX, 5);
  EXPECT_EQ(s.m_positionModeY, 5);
  EXPECT_EQ(s.m_listIndex, -1);
  EXPECT_EQ(s.m_repeatCount, 1);
  EXPECT_EQ(s.m_waitForMedia, 1);
  EXPECT_EQ(s.m_hide, 1);
  EXPECT_EQ(s.m_wait, 1);
  EXPECT_EQ(s.m_clearScreen, 1);
  EXPECT_EQ(s.m_move, 0);
  EXPECT_EQ(s.m_fullScreen, 0);
}

TEST(WizardSequenceTest, CopyFromCopiesEveryFieldAndTheItems) {
  ScopedScreenWidth screen(800);
  CWizardSequence a(kSequenceMedia);
  a.m_media.m_displayName = "song.mp3";
  a.m_media.m_kind = kMediaMp3;
  a.m_display.m_text = "hello";
  a.m_move = 1;
  a.m_endY = 44;
  a.m_listIndex = 7;
  a.m_positionModeX = 1;
  a.m_sizeHeight = 90;
  a.m_fullScreen = 1;
  CWizardSequence b(kSequenceImage);
  b.CopyFrom(a);
  EXPECT_EQ(b.GetKind(), kSequenceMedia);
  EXPECT_STREQ(b.m_media.m_displayName, "song.mp3");
  EXPECT_EQ(b.m_media.m_kind, kMediaMp3);
  EXPECT_STREQ(b.m_display.m_text, "hello");
  EXPECT_EQ(b.m_move, 1);
  EXPECT_EQ(b.m_endY, 44);
  EXPECT_EQ(b.m_listIndex, 7);
  EXPECT_EQ(b.m_positionModeX, 1);
  EXPECT_EQ(b.m_sizeHeight, 90);
  EXPECT_EQ(b.m_fullScreen, 1);
}

TEST(WizardSequenceTest, ApplyToCopiesOnlyTheFieldsOfTheKind) {
  ScopedScreenWidth screen(800);
  CWizardSequence from(kSequenceImage);
  from.m_startX = 11;
  from.m_endModeY = 4;
  from.m_showY = 12;
  from.m_move = 1;
  from.m_effect = 9;
  from.m_waitSeconds = 8;
  from.m_repeatCount = 5;
  from.m_positionX = 13;
  from.m_positionModeX = 1;
  from.m_positionModeY = 1;
  from.m_fullScreen = 1;
  from.m_clearScreen = 0;

  {
    SCOPED_TRACE("display kinds");
    CWizardSequence to(kSequenceText);
    from.ApplyTo(to, kSequenceText);
    EXPECT_EQ(to.m_startX, 11);
    EXPECT_EQ(to.m_endModeY, 4);
    EXPECT_EQ(to.m_showY, 12);
    EXPECT_EQ(to.m_move, 1);
    EXPECT_EQ(to.m_effect, 9);
    EXPECT_EQ(to.m_waitSeconds, 8);
    EXPECT_EQ(to.m_clearScreen, 0);
    EXPECT_EQ(to.m_repeatCount, 1);
    EXPECT_EQ(to.m_positionX, 0);
    EXPECT_EQ(to.GetKind(), kSequenceText);
  }
  {
    SCOPED_TRACE("media keeps its position modes");
    CWizardSequence to(kSequenceMedia);
    from.ApplyTo(to, kSequenceMedia);
    EXPECT_EQ(to.m_repeatCount, 5);
    EXPECT_EQ(to.m_positionX, 13);
    EXPECT_EQ(to.m_fullScreen, 1);
    EXPECT_EQ(to.m_clearScreen, 0);
    EXPECT_EQ(to.m_positionModeX, 5);
    EXPECT_EQ(to.m_positionModeY, 5);
    EXPECT_EQ(to.m_startX, 0);
    EXPECT_EQ(to.m_move, 0);
  }
  {
    SCOPED_TRACE("other kinds copy nothing");
    CWizardSequence to(kSequenceImage);
    from.ApplyTo(to, 7);
    EXPECT_EQ(to.m_startX, 0);
    EXPECT_EQ(to.m_repeatCount, 1);
    EXPECT_EQ(to.m_clearScreen, 1);
  }
}

TEST(WizardSequenceTest, DescribeLinesOfEveryKind) {
  ScopedScreenWidth screen(1024);
  struct Case {
    const char* name;
    void (*setup)(CWizardSequence&);
    int kind;
    const char* line;
  } cases[] = {
      {"image show, defaults", [](CWizardSequence& s) { s.m_display.m_displayName = "sunset.jpg"; },
       kSequenceImage,
       "Image [Show]:sunset.jpg, Pos [Center,Center], Eff: Random Effect [100],  Clear, Wait, "
       "Hide."},
      {"image name of exactly ten characters",
       [](CWizardSequence& s) {
         s.m_display.m_displayName = "abcdef.bmp";
         s.m_clearScreen = 0;
         s.m_wait = 0;
         s.m_hide = 0;
         s.m_showModeX = 5;
         s.m_showX = 40;
         s.m_showModeY = 4;
         s.m_effect = 10;
         s.m_effectSpeed = 350;
       },
       kSequenceImage,
       "Image [Show]:abcdef.bmp, Pos [40,Random (Preserve)], Eff: Cross Out [350],  No clear, "
       "No wait, No hide."},
      {"image move with a long name",
       [](CWizardSequence& s) {
         s.m_display.m_displayName = "holiday-2024.jpg";
         s.m_move = 1;
         s.m_startModeX = 5;
         s.m_startX = -20;
         s.m_startModeY = 0;
         s.m_endModeY = 2;
       },
       kSequenceImage,
       "Image [Move]:holiday-20... , Pos [-20,Top],[Right,Bottom], Clear, Wait, Hide."},
      {"short text padded",
       [](CWizardSequence& s) {
         s.m_display.m_text = "Hi";
         s.m_showModeX = 3;
         s.m_showModeY = 3;
       },
       kSequenceText,
       "Text [Show]:Hi        , Pos [Random,Random], Eff: Random Effect [100],  Clear, Wait, "
       "Hide."},
      {"long text moved",
       [](CWizardSequence& s) {
         s.m_display.m_text = "Good morning world";
         s.m_move = 1;
         s.m_startModeX = 0;
         s.m_startModeY = 5;
         s.m_startY = 300;
         s.m_endModeX = 5;
         s.m_endModeY = 5;
         s.m_endY = 10;
         s.m_hide = 0;
       },
       kSequenceText,
       "Text [Move]:Good morni... , Pos [Left,300],[1024,10], Clear, Wait, No hide."},
      {"audio",
       [](CWizardSequence& s) {
         s.m_media.m_displayName = "bells.wav";
         s.m_media.m_kind = kMediaAudio;
         s.m_repeatCount = 2;
       },
       kSequenceMedia, "Media [Audio]:bells.wav, Play 2 times,  Wait media to finish playing."},
      {"mp3 not waited",
       [](CWizardSequence& s) {
         s.m_media.m_displayName = "background-track.mp3";
         s.m_media.m_kind = kMediaMp3;
         s.m_waitForMedia = 0;
       },
       kSequenceMedia,
       "Media [Audio]:background... , Play 1 times,  Not wait media to finish playing."},
      {"video",
       [](CWizardSequence& s) {
         s.m_media.m_displayName = "clip.avi";
         s.m_media.m_kind = kMediaVideo;
         s.m_positionX = 15;
         s.m_positionY = 25;
         s.m_repeatCount = 3;
       },
       kSequenceMedia,
       "Media [Video]:clip.avi, Play 3 times,  Pos [15, 25], Wait media to finish playing."},
      {"flash centred across, placed down",
       [](CWizardSequence& s) {
         s.m_media.m_displayName = "intro.swf";
         s.m_media.m_kind = kMediaFlash;
         s.m_positionModeX = 1;
         s.m_positionModeY = 5;
         s.m_positionY = 40;
         s.m_sizeWidth = 320;
         s.m_sizeHeight = 200;
       },
       kSequenceMedia,
       "Media [Flash]:intro.swf, Play 1 times,  Pos [Center, 40], Size [320, 200],  Wait media to "
       "finish playing."},
      {"flash full screen",
       [](CWizardSequence& s) {
         s.m_media.m_displayName = "intro.swf";
         s.m_media.m_kind = kMediaFlash;
         s.m_positionX = 7;
         s.m_positionModeY = 1;
         s.m_fullScreen = 1;
       },
       kSequenceMedia,
       "Media [Flash]:intro.swf, Play 1 times,  Pos [7, Center], Fullscreen,  Wait media to "
       "finish playing."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CWizardSequence s(c.kind);
    c.setup(s);
    EXPECT_EQ(Describe(s), c.line);
  }
}

TEST(WizardSequenceTest, DescribePositionNamesEachMode) {
  const char* xs[] = {"Left", "Center", "Right", "Random", "Random (Preserve)", "-5"};
  const char* ys[] = {"Top", "Center", "Bottom", "Random", "Random (Preserve)", "9"};
  for (int mode = 0; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    CString out("at ");
    CWizardSequence::DescribePosition(out, mode, mode, -5, 9);
    EXPECT_EQ(std::string(out.GetString()), std::string("at ") + xs[mode] + "," + ys[mode]);
  }
}

TEST(WizardSequenceTest, ArrayDeletesItsSequencesOnlyWhenAsked) {
  CWizardSequenceArray list;
  list.Add(new CWizardSequence(kSequenceImage));
  list.Add(new CWizardSequence(kSequenceMedia));
  EXPECT_EQ(list.GetSequence(1)->GetKind(), kSequenceMedia);
  list.DeleteAll();
  EXPECT_EQ(list.GetSize(), 0);
}
