// Show, Move and Hide on a memory screen: a picture at each layout mode,
// with transitions, moved, hidden and erased; transparent and opaque texts,
// letter by letter and stopped; pictures off the screen; Random Effect;
// Prepare's refusals; the desktop and wallpaper pictures of the runtime.
// Also how often Play starts its media, and with which flags.
// The screen is a small DIB that the pick source reports as the screen;
// the play context paces and stops by counting, never by the clock.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "imaging/RgbImage.h"
#include "playback/painter/ImagePainter.h"
#include "script/Commands.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/PickSource.h"
#include "script/PlayContext.h"
#include "script/ScriptPolicy.h"
#include "tests/playback/paint_support.h"
#include "tests/playback/picture_bytes.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"

using painttest::CSurface;
using painttest::Pic;
using picturetest::Bytes;
using picturetest::MakeBmp;

namespace {

const int kW = 160, kH = 120;
const COLORREF kBack = RGB(0x12, 0x34, 0x56);  // what the screen shows before
const COLORREF kCls = RGB(0x20, 0x40, 0x60);   // the output's background colour

// The screen is kW x kH; the clock stands still.
class CFixedSource : public CPickSource {
 public:
  uint32_t GetTickCount() override { return tick; }
  int GetSystemMilliseconds() override { return 5; }
  int64_t GetTime() override { return 1000; }
  uint32_t GetSpeedValue() override { return 100000; }
  void GetScreenSize(int& horz, int& vert, int& cx, int& cy) override {
    horz = cx = kW;
    vert = cy = kH;
  }
  uint32_t tick = 1000;
};

// The player as the commands see it: waits and delays are counted, and a
// hook may ask for the stop at any of them.
class CTestPlay : public CPlayContext, public CPlayPacer {
 public:
  HANDLE GetStopEvent() const override { return nullptr; }
  bool IsStopRequested() const override {
    ++polls;
    return stop;
  }
  bool WaitForStop(DWORD ms) override {
    waits.push_back(ms);
    if (onWait) onWait(static_cast<int>(waits.size()));
    return stop;
  }
  int IsStepMode() const override { return 0; }
  void CalibratedDelay(unsigned elapsed, double duration) override {
    delays.emplace_back(elapsed, duration);
    if (onDelay) onDelay(static_cast<int>(delays.size()));
  }
  void WaitWhilePaused() override { ++pauses; }
  CPlayPacer* GetPacer() override { return this; }
  HWND GetOutputWindow() const override { return nullptr; }
  COLORREF GetBackColour() const override { return back; }
  void SetBackground(COLORREF colour, DWORD) override { back = colour; }
  void SetUrl(const char*, int) override {}
  void ClearUrl() override {}
  bool PlayMedia(CMediaObject&, int wait, int endless, const RECT&, int timerMs) override {
    plays.push_back({wait, endless, timerMs});
    if (stopAfterPlays > 0 && static_cast<int>(plays.size()) >= stopAfterPlays) stop = true;
    return playable;
  }
  void StopMedia(CMediaObject&) override {}
  DWORD GetTickCount() override { return clock += 7; }
  void WaitMilliseconds(DWORD ms) override { clock += ms; }

  // What each PlayMedia call was given: wait, endless, timer.
  struct Played {
    int wait, endless, timerMs;
  };
  std::vector<Played> plays;
  bool playable = false;   // what PlayMedia answers
  int stopAfterPlays = 0;  // asks for the stop after that many plays

  bool stop = false;
  COLORREF back = kCls;
  std::vector<DWORD> waits;
  std::vector<std::pair<unsigned, double>> delays;
  std::function<void(int)> onWait, onDelay;
  int pauses = 0;
  mutable int polls = 0;
  DWORD clock = 0;
};

Bytes PatternBmp(int w, int h) { return MakeBmp(w, h, [](int x, int y) { return Pic(x, y); }); }

// Four flat quarters, for scaled drawings.
COLORREF Quarter(int qx, int qy) {
  static const COLORREF kColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                       RGB(255, 255, 0)};
  return kColours[qy * 2 + qx];
}
Bytes QuarterBmp(int w, int h) {
  return MakeBmp(w, h, [=](int x, int y) { return Quarter(x * 2 / w, y * 2 / h); });
}

void Place(CMotionAttribute& m, int x, int y) {
  m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
  m.m_startX = m.m_endX = x;
  m.m_startY = m.m_endY = y;
}

class DisplayCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPickSource(&m_source);
    ASSERT_TRUE(m_screen.Create(kW, kH));
    m_screen.Fill(kBack);
  }
  void TearDown() override {
    SetPickSource(nullptr);
  }

  CImageTextObject* Picture(const Bytes& bmp) {
    CImageTextObject* o = Add(new CImageTextObject);
    picturetest::SetPictureBytes(*o, bmp);
    o->m_displayName = "picture.bmp";
    return o;
  }
  CImageTextObject* Text(const char* text, COLORREF colour, int opaque, COLORREF bk) {
    CImageTextObject* o = Add(new CImageTextObject);
    o->m_kind = 1;
    o->m_text = text;
    o->m_textColour = colour;
    o->m_bkMode = opaque;
    o->m_bkColour = bk;
    o->m_font.lfHeight = -16;
    return o;
  }
  template <class T>
  T* Command(CImageTextObject* target) {
    T* c = Add(new T);
    c->SetTarget(target);
    return c;
  }
  template <class T>
  T* Add(T* cmd) {
    m_list.Add(cmd);
    return cmd;
  }
  void Prepare() {
    m_list.NumberCommands();
    for (int i = 0; i < m_list.GetSize(); ++i) ASSERT_EQ(m_list.GetCommand(i)->Prepare(m_list), 1) << i;
  }
  int Run(CSceneCommand* cmd) { return cmd->Execute(m_screen.DC(), nullptr, &m_play); }

  // Pixels of (x, y, w, h) on the screen that differ from expect(x, y).
  int Wrong(int x0, int y0, int w, int h, const std::function<COLORREF(int, int)>& expect) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (m_screen.At(x, y) != expect(x, y)) ++n;
    return n;
  }
  // Pixels outside (x, y, w, h) that are no longer kBack.
  int TouchedOutside(int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
        if (!inside && m_screen.At(x, y) != kBack) ++n;
      }
    return n;
  }

  CFixedSource m_source;
  lwtest::CRecordedBoxes m_messages;
  CTestPlay m_play;
  CSurface m_screen;
  CCommandList m_list;
};

TEST_F(DisplayCommands, PictureAtEachLayoutMode) {
  {
    SCOPED_TRACE("None at its position");
    CImageTextObject* pic = Picture(PatternBmp(40, 30));
    CShowCommand* show = Command<CShowCommand>(pic);
    Place(show->m_ref.m_motion, 30, 20);
    Prepare();
    EXPECT_EQ(pic->GetImageSize().cx, 40);
    EXPECT_EQ(pic->GetImageSize().cy, 30);
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(Wrong(30, 20, 40, 30, [](int x, int y) { return Pic(x - 30, y - 20); }), 0);
    EXPECT_EQ(TouchedOutside(30, 20, 40, 30), 0);
    EXPECT_EQ(pic->m_drawn, 1);
  }
  {
    SCOPED_TRACE("Tile");
    m_screen.Fill(kBack);
    CImageTextObject* pic = Picture(PatternBmp(50, 40));
    CShowCommand* show = Command<CShowCommand>(pic);
    Place(show->m_ref.m_motion, 70, 70);  // a tiled picture starts at the corner
    show->m_ref.m_motion.m_effect = kEffectTile;
    Prepare();
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(Wrong(0, 0, kW, kH, [](int x, int y) { return Pic(x % 50, y % 40); }), 0);
  }
  {
    SCOPED_TRACE("Stretch");
    m_screen.Fill(kBack);
    CImageTextObject* pic = Picture(QuarterBmp(20, 20));
    CShowCommand* show = Command<CShowCommand>(pic);
    show->m_ref.m_motion.m_effect = kEffectStretch;
    Prepare();
    EXPECT_EQ(Run(show), 1);
    for (int q = 0; q < 4; ++q) {
      const int qx = q % 2, qy = q / 2;
      EXPECT_EQ(m_screen.At(qx * kW / 2 + kW / 4, qy * kH / 2 + kH / 4), Quarter(qx, qy)) << q;
      EXPECT_EQ(m_screen.At(qx * (kW - 1), qy * (kH - 1)), Quarter(qx, qy)) << "corner " << q;
    }
  }
  EXPECT_TRUE(m_messages.texts.empty());
}

// A picture given a size is scaled to it; full screen with keep aspect is
// fitted and centred.
TEST_F(DisplayCommands, PictureScaledToItsSize) {
  CImageTextObject* pic = Picture(QuarterBmp(20, 10));
  pic->m_width = 60;
  pic->m_height = 40;
  CShowCommand* show = Command<CShowCommand>(pic);
  Place(show->m_ref.m_motion, 10, 10);
  Prepare();
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(m_screen.At(10 + 15, 10 + 10), Quarter(0, 0));
  EXPECT_EQ(m_screen.At(10 + 45, 10 + 30), Quarter(1, 1));
  EXPECT_EQ(TouchedOutside(10, 10, 60, 40), 0);

  m_screen.Fill(kBack);
  pic->m_width = pic->m_height = 0;
  pic->m_fullScreen = pic->m_keepAspect = 1;  // 20 x 10 fits 160 x 80, centred
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(m_screen.At(40, 30), Quarter(0, 0));
  EXPECT_EQ(m_screen.At(120, 90), Quarter(1, 1));
  EXPECT_EQ(TouchedOutside(0, 20, kW, 80), 0);
}

TEST_F(DisplayCommands, TransitionsEndWithTheWholePicture) {
  const int ids[] = {4, 5, 6, 11, 21, 37, 49, 57, 66, 67, 75, 79, 82, 87};
  CImageTextObject* pic = Picture(PatternBmp(48, 36));
  CShowCommand* show = Command<CShowCommand>(pic);
  Prepare();
  for (int id : ids) {
    SCOPED_TRACE(GetEffectName(id));
    m_screen.Fill(kBack);
    m_play.polls = 0;
    Place(show->m_ref.m_motion, 50, 40);
    show->m_ref.m_motion.m_effect = id;
    show->m_ref.m_motion.m_effectParam = 1000;
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(Wrong(50, 40, 48, 36, [](int x, int y) { return Pic(x - 50, y - 40); }), 0);
    EXPECT_EQ(TouchedOutside(50, 40, 48, 36), 0);
    EXPECT_GT(m_play.polls, 0) << "the stop is watched through the context";
  }
}

// A stop during a slow transition ends it at the next delay, with the
// whole picture in place.
TEST_F(DisplayCommands, StoppedTransitionEndsWithThePicture) {
  CImageTextObject* pic = Picture(PatternBmp(48, 36));
  CShowCommand* show = Command<CShowCommand>(pic);
  Place(show->m_ref.m_motion, 50, 40);
  show->m_ref.m_motion.m_effect = 37;  // Wipe Down, a delay per row
  show->m_ref.m_motion.m_effectParam = 100;
  Prepare();
  m_play.onDelay = [&](int n) { m_play.stop = n >= 2; };
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(m_play.delays.size(), 2u);
  EXPECT_EQ(Wrong(50, 40, 48, 36, [](int x, int y) { return Pic(x - 50, y - 40); }), 0);
}

TEST_F(DisplayCommands, RandomEffectBecomesATransition) {
  CImageTextObject* pic = Picture(PatternBmp(24, 24));
  CShowCommand* show = Command<CShowCommand>(pic);
  Prepare();
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    m_source.tick = 1000 + round * 77777;
    m_screen.Fill(kBack);
    Place(show->m_ref.m_motion, 8, 8);
    show->m_ref.m_motion.m_effect = kEffectRandom;
    EXPECT_EQ(Run(show), 1);
    const int id = pic->m_currentMotion.m_effect;
    EXPECT_GE(id, kEffectFirstTransition);
    EXPECT_LE(id, kEffectLastTransition);
    EXPECT_EQ(show->m_ref.m_motion.m_effect, kEffectRandom) << "the command keeps asking";
    if (id != kEffectFadeToBlack) {
      EXPECT_EQ(Wrong(8, 8, 24, 24, [](int x, int y) { return Pic(x - 8, y - 8); }), 0);
    }
  }
}

// Placed partly or wholly off the screen, or larger than it: only the
// visible part is drawn, from the right place inside the picture.
TEST_F(DisplayCommands, PicturesOffTheScreenAreClipped) {
  struct Case {
    const char* name;
    int x, y, effect;
  } cases[] = {
      {"left and top, None", -20, -10, kEffectNone},
      {"right and bottom, None", 140, 100, kEffectNone},
      {"left and top, Wipe Down", -20, -10, 37},
      {"right and bottom, Dissolve", 140, 100, 5},
      {"left, Fade From Black", -30, 50, kEffectFadeFromBlack},
      {"wholly off, None", 500, 50, kEffectNone},
      {"far off, Box Out", -2000000000, 2000000000, 8},
  };
  CImageTextObject* pic = Picture(PatternBmp(50, 40));
  CShowCommand* show = Command<CShowCommand>(pic);
  Prepare();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_screen.Fill(kBack);
    Place(show->m_ref.m_motion, c.x, c.y);
    show->m_ref.m_motion.m_effect = c.effect;
    EXPECT_EQ(Run(show), 1);
    const int x0 = c.x < 0 ? 0 : c.x, y0 = c.y < 0 ? 0 : c.y;
    const int x1 = c.x + 50 > kW ? kW : c.x + 50, y1 = c.y + 40 > kH ? kH : c.y + 40;
    if (x0 < x1 && y0 < y1 && c.x > -1000) {
      EXPECT_EQ(Wrong(x0, y0, x1 - x0, y1 - y0,
                      [&](int x, int y) { return Pic(x - c.x, y - c.y); }),
                0);
      EXPECT_EQ(TouchedOutside(x0, y0, x1 - x0, y1 - y0), 0);
    } else {
      EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
    }
  }
  // Larger than the screen.
  m_screen.Fill(kBack);
  pic->m_width = 400;
  pic->m_height = 300;
  Place(show->m_ref.m_motion, -10, -10);
  show->m_ref.m_motion.m_effect = kEffectNone;
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(TouchedOutside(0, 0, kW, kH), 0);
  EXPECT_NE(m_screen.At(0, 0), kBack);
  EXPECT_NE(m_screen.At(kW - 1, kH - 1), kBack);
  EXPECT_TRUE(m_messages.texts.empty());
}

TEST_F(DisplayCommands, UndrawablePicturesAreSkippedWithAMessage) {
  CImageTextObject* pic = Picture(PatternBmp(10, 10));
  CShowCommand* show = Command<CShowCommand>(pic);
  Place(show->m_ref.m_motion, 0, 0);
  Prepare();
  struct Case {
    const char* name;
    std::function<void()> spoil;
  } cases[] = {
      {"absurd size", [&] { pic->m_width = pic->m_height = 0x7FFFFFFF; }},
      {"bytes spoilt after Prepare",
       [&] {
         pic->m_width = pic->m_height = 0;
         memset(pic->m_pPicture, 0x55, pic->m_pictureSize);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_messages.texts.clear();
    c.spoil();
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(pic->m_drawn, 0);
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_EQ(m_messages.texts[0], "Image conversion failed, skipping this image");
    EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
  }
}

// Shown at the start, moved with a step that passes the end point: the
// picture ends at the end point, and where it was the screen is as before
// (kept while moving) or the output's colour.
TEST_F(DisplayCommands, MoveAlongAPath) {
  for (int keep = 0; keep < 2; ++keep) {
    SCOPED_TRACE(keep ? "keep while moving" : "background colour");
    m_screen.Fill(kBack);
    m_play.delays.clear();
    m_play.pauses = 0;
    CImageTextObject* pic = Picture(PatternBmp(30, 20));
    CShowCommand* show = Command<CShowCommand>(pic);
    Place(show->m_ref.m_motion, 10, 10);
    CMoveCommand* move = Command<CMoveCommand>(pic);
    CMotionAttribute& m = move->m_ref.m_motion;
    Place(m, 10, 10);
    m.m_endX = 100;
    m.m_endY = 70;
    m.m_stepX = 7;
    m.m_moveSpeed = 40000;
    m.m_keepWhileMoving = keep;
    Prepare();
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(Run(move), 1);
    EXPECT_EQ(Wrong(100, 70, 30, 20, [](int x, int y) { return Pic(x - 100, y - 70); }), 0);
    const COLORREF left = keep ? kBack : kCls;
    EXPECT_EQ(Wrong(10, 10, 30, 20, [&](int, int) { return left; }), 0) << "the old place";
    EXPECT_EQ(m_screen.At(5, 100), kBack) << "far from the path";
    // 90 pixels in steps of 7: 13 steps, then the end point.
    ASSERT_EQ(m_play.delays.size(), 13u);
    EXPECT_EQ(m_play.delays[0].first, 40000u);
    EXPECT_EQ(m_play.delays[0].second, 100000.0);
    EXPECT_EQ(m_play.pauses, 13);
    EXPECT_EQ(pic->m_currentMotion.m_currentX, 100);
    EXPECT_EQ(pic->m_currentMotion.m_currentY, 70);
  }
}

TEST_F(DisplayCommands, MoveStopsWithinOneStep) {
  CImageTextObject* pic = Picture(PatternBmp(20, 20));
  CMoveCommand* move = Command<CMoveCommand>(pic);
  Place(move->m_ref.m_motion, 0, 50);
  move->m_ref.m_motion.m_endX = 140;
  move->m_ref.m_motion.m_stepX = 2;
  Prepare();
  m_play.onDelay = [&](int n) { m_play.stop = n >= 3; };
  EXPECT_EQ(Run(move), 1);
  EXPECT_EQ(m_play.delays.size(), 3u);
  // Drawn at 0, 2 and 4; the stop came during the delay before 6.
  EXPECT_EQ(pic->m_currentMotion.m_currentX, 4);
  EXPECT_EQ(Wrong(4, 50, 20, 20, [](int x, int y) { return Pic(x - 4, y - 50); }), 0);
  EXPECT_EQ(m_screen.At(30, 55), kBack);
}

// Points and steps from a document far beyond any screen: the move ends,
// crossing the screen on its way, and leaves it as it was.
TEST_F(DisplayCommands, MoveWithAbsurdValuesEnds) {
  CImageTextObject* pic = Picture(PatternBmp(10, 10));
  CMoveCommand* move = Command<CMoveCommand>(pic);
  CMotionAttribute& m = move->m_ref.m_motion;
  Place(m, INT_MIN, 5);
  m.m_endX = INT_MAX;
  m.m_stepX = INT_MAX;
  Prepare();
  EXPECT_EQ(Run(move), 1);
  EXPECT_GT(m_play.delays.size(), 0u);
  EXPECT_LT(m_play.delays.size(), 1000u);
  EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
  EXPECT_EQ(m.m_endX, INT_MAX) << "the command keeps its values";
}

TEST_F(DisplayCommands, HideRestoresTheBackgroundOrErases) {
  // A background with a pattern of its own, so a restore is seen exactly.
  auto background = [](int x, int y) { return RGB(x, y, 200); };
  for (int restore = 0; restore < 2; ++restore) {
    SCOPED_TRACE(restore ? "restore after hide" : "erase");
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) m_screen.Set(x, y, background(x, y));
    CImageTextObject* pic = Picture(PatternBmp(40, 30));
    CShowCommand* show = Command<CShowCommand>(pic);
    Place(show->m_ref.m_motion, 20, 20);
    show->m_ref.m_motion.m_restoreAfterHide = restore;
    CHideCommand* hide = Command<CHideCommand>(pic);
    Prepare();
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(Wrong(20, 20, 40, 30, [](int x, int y) { return Pic(x - 20, y - 20); }), 0);
    EXPECT_EQ(Run(hide), 1);
    EXPECT_EQ(pic->m_drawn, 0);
    if (restore)
      EXPECT_EQ(Wrong(0, 0, kW, kH, background), 0);
    else
      EXPECT_EQ(Wrong(20, 20, 40, 30, [](int, int) { return kCls; }), 0);
    EXPECT_EQ(Wrong(0, 60, kW, 60, background), 0) << "below the picture";
    // Hiding what is not on the screen does nothing.
    m_screen.Set(25, 25, RGB(1, 1, 1));
    EXPECT_EQ(Run(hide), 1);
    EXPECT_EQ(m_screen.At(25, 25), RGB(1, 1, 1));
  }
}

TEST_F(DisplayCommands, HideAfterAMoveRestoresTheEndPlace) {
  auto background = [](int x, int y) { return RGB(x, 100, y); };
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) m_screen.Set(x, y, background(x, y));
  CImageTextObject* pic = Picture(PatternBmp(30, 30));
  CShowCommand* show = Command<CShowCommand>(pic);
  Place(show->m_ref.m_motion, 0, 0);
  CMoveCommand* move = Command<CMoveCommand>(pic);
  Place(move->m_ref.m_motion, 0, 0);
  move->m_ref.m_motion.m_endX = 45;  // overlaps the start: the snapshot must not hold the picture
  move->m_ref.m_motion.m_stepX = 5;
  CHideCommand* hide = Command<CHideCommand>(pic);
  Prepare();
  Run(show);
  Run(move);
  EXPECT_EQ(Wrong(45, 0, 30, 30, [](int x, int y) { return Pic(x - 45, y); }), 0);
  EXPECT_EQ(Wrong(0, 0, 45, 30, background), 0) << "no trail";
  Run(hide);
  EXPECT_EQ(Wrong(0, 0, kW, kH, background), 0);
}

// Pixels of the text rectangle are the text colour or what was under it;
// the key colour never shows.
TEST_F(DisplayCommands, TransparentTextKeyedOverTheBackground) {
  const COLORREF red = RGB(255, 0, 0);
  CImageTextObject* text = Text("Keyed\ntext", red, 0, RGB(0, 0, 255));
  CShowCommand* show = Command<CShowCommand>(text);
  Place(show->m_ref.m_motion, 12, 8);
  Prepare();
  const SIZE size = text->GetImageSize();
  ASSERT_GT(size.cx, 10);
  ASSERT_GT(size.cy, 10);
  for (int effect : {static_cast<int>(kEffectNone), 37}) {
    SCOPED_TRACE(effect);
    m_screen.Fill(kBack);
    show->m_ref.m_motion.m_effect = effect;
    EXPECT_EQ(Run(show), 1);
    int ink = 0, other = 0;
    for (int y = 8; y < 8 + size.cy; ++y)
      for (int x = 12; x < 12 + size.cx; ++x) {
        const COLORREF c = m_screen.At(x, y);
        if (c == red)
          ++ink;
        else if (c != kBack)
          ++other;
      }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(TouchedOutside(12, 8, size.cx, size.cy), 0);
  }
}

TEST_F(DisplayCommands, OpaqueTextOnItsBackgroundColour) {
  const COLORREF ink = RGB(0, 128, 0), paper = RGB(255, 255, 255);
  CImageTextObject* text = Text("Opaque", ink, 1, paper);
  CShowCommand* show = Command<CShowCommand>(text);
  Place(show->m_ref.m_motion, 5, 60);
  Prepare();
  const SIZE size = text->GetImageSize();
  EXPECT_EQ(Run(show), 1);
  int inked = 0, papered = 0, other = 0;
  for (int y = 60; y < 60 + size.cy; ++y)
    for (int x = 5; x < 5 + size.cx; ++x) {
      const COLORREF c = m_screen.At(x, y);
      (c == ink ? inked : c == paper ? papered : other)++;
    }
  EXPECT_GT(inked, 20);
  EXPECT_GT(papered, inked);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(TouchedOutside(5, 60, size.cx, size.cy), 0);
}

// Letter by letter ends with the same pixels as the text shown at once,
// for each justification, transparent and opaque; each letter waits the
// delay in 100 ms units and the rest.
TEST_F(DisplayCommands, LetterByLetterEndsWithTheWholeText) {
  for (int opaque = 0; opaque < 2; ++opaque)
    for (int justification = 0; justification < 3; ++justification) {
      SCOPED_TRACE(std::string(opaque ? "opaque" : "transparent") + " justification " +
                   std::to_string(justification));
      CImageTextObject* text = Text("Ab\r\nwide line", RGB(200, 0, 0), opaque, RGB(0, 0, 90));
      text->m_justification = justification;
      CShowCommand* show = Command<CShowCommand>(text);
      Place(show->m_ref.m_motion, 20, 30);
      Prepare();
      // At once.
      m_screen.Fill(kBack);
      EXPECT_EQ(Run(show), 1);
      const std::vector<DWORD> whole = m_screen.Snapshot();
      // Letter by letter.
      m_screen.Fill(kBack);
      m_play.waits.clear();
      show->m_ref.m_motion.m_letterByLetter = 1;
      show->m_ref.m_motion.m_letterSpeed = 1750;  // 250 ms a letter
      EXPECT_EQ(Run(show), 1);
      EXPECT_TRUE(m_screen.Snapshot() == whole);
      // 11 visible characters: 10 delays after all but the last.
      ASSERT_EQ(m_play.waits.size(), 30u);
      EXPECT_EQ(m_play.waits[0], 100u);
      EXPECT_EQ(m_play.waits[1], 100u);
      EXPECT_EQ(m_play.waits[2], 50u);
    }
}

TEST_F(DisplayCommands, LetterByLetterStopsAtTheNextWait) {
  CImageTextObject* text = Text("Stopped early", RGB(255, 255, 255), 1, RGB(0, 0, 0));
  CShowCommand* show = Command<CShowCommand>(text);
  Place(show->m_ref.m_motion, 0, 0);
  show->m_ref.m_motion.m_letterByLetter = 1;
  show->m_ref.m_motion.m_letterSpeed = 0;  // 2 s a letter
  Prepare();
  m_play.onWait = [&](int n) { m_play.stop = n >= 23; };  // during the second letter's wait
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(m_play.waits.size(), 23u);
  // Two letters drawn: the rest of the text's rectangle is untouched.
  const SIZE size = text->GetImageSize();
  int drawnColumns = 0;
  for (int x = 0; x < size.cx; ++x)
    if (m_screen.At(x, size.cy / 2) != kBack) ++drawnColumns;
  EXPECT_GT(drawnColumns, 0);
  EXPECT_LT(drawnColumns, size.cx / 2);
}

TEST_F(DisplayCommands, PrepareRefusals) {
  struct Case {
    const char* name;
    std::function<CImageTextObject*()> make;
    int result;
    const char* message;
  } cases[] = {
      {"picture", [&] { return Picture(PatternBmp(7, 5)); }, 1, nullptr},
      {"undecodable picture", [&] { return Picture(Bytes(64, 0x33)); }, 0, nullptr},
      {"no picture", [&] { return Add(new CImageTextObject); }, 0, "You have to choose the image."},
      {"text", [&] { return Text("Fine", 0, 0, 0); }, 1, nullptr},
      {"empty text", [&] { return Text("", 0, 0, 0); }, 0, "\ntext bitmap cannot be made."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_messages.texts.clear();
    m_messages.types.clear();
    CImageTextObject* object = c.make();
    object->m_drawn = 1;
    EXPECT_EQ(object->Prepare(m_list), c.result);
    EXPECT_EQ(object->m_drawn, 0);
    if (c.message) {
      ASSERT_EQ(m_messages.texts.size(), 1u);
      EXPECT_EQ(m_messages.texts[0], c.message);
      EXPECT_EQ(m_messages.types[0], static_cast<unsigned>(MB_ICONERROR));
    } else {
      EXPECT_TRUE(m_messages.texts.empty());
    }
  }
  CImageTextObject* picture = Picture(PatternBmp(7, 5));
  ASSERT_EQ(picture->Prepare(m_list), 1);
  EXPECT_EQ(picture->GetImageSize().cx, 7);
  EXPECT_EQ(picture->GetImageSize().cy, 5);
}

// A desktop (2) or wallpaper (3) picture: the runtime shows this machine's
// own from the picture files it was given, once read; the builder shows
// what the document holds.
TEST_F(DisplayCommands, DesktopAndWallpaperPictures) {
  const lwtest::CTempFolder folder("lw_display");
  const std::string desktop = folder.File("desktop.bmp");
  const std::string wallpaper = folder.File("wallpaper.bmp");
  const std::string missing = folder.File("missing.bmp");
  ASSERT_TRUE(lwtest::WriteAll(desktop, MakeBmp(16, 12, [](int, int) { return RGB(0, 200, 0); })));
  ASSERT_TRUE(lwtest::WriteAll(wallpaper, MakeBmp(16, 12, [](int, int) { return RGB(0, 0, 200); })));
  const COLORREF stored = RGB(200, 0, 0);
  struct Case {
    int source;
    const std::string* path;
    COLORREF runtime;
  } cases[] = {{1, &desktop, stored}, {2, &desktop, RGB(0, 200, 0)}, {3, &wallpaper, RGB(0, 0, 200)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    ScriptPolicy::SetSourcePicturePaths(desktop.c_str(), wallpaper.c_str());
    m_screen.Fill(kBack);
    CImageTextObject* pic = Picture(MakeBmp(8, 6, [&](int, int) { return stored; }));
    pic->m_imageSource = c.source;
    CShowCommand* show = Command<CShowCommand>(pic);
    Place(show->m_ref.m_motion, 0, 0);
    Prepare();
    EXPECT_EQ(Run(show), 1);
#if LW_SCRIPT_EDITING
    EXPECT_EQ(m_screen.At(3, 3), stored);
    EXPECT_EQ(m_screen.At(12, 3), kBack);
    EXPECT_EQ(pic->m_imageSource, c.source);
#else
    EXPECT_EQ(m_screen.At(3, 3), c.runtime);
    EXPECT_EQ(m_screen.At(12, 3), c.source == 1 ? kBack : c.runtime) << "the file's own size";
    EXPECT_EQ(pic->m_imageSource, 1);
    // Read once: a changed file is not read again.
    ScriptPolicy::SetSourcePicturePaths(missing.c_str(), missing.c_str());
    EXPECT_EQ(Run(show), 1);
    EXPECT_EQ(m_screen.At(3, 3), c.runtime);
#endif
  }
  EXPECT_TRUE(m_messages.texts.empty());
#if !LW_SCRIPT_EDITING
  // A file that cannot be read: its message, once, and nothing drawn.
  ScriptPolicy::SetSourcePicturePaths(missing.c_str(), missing.c_str());
  m_screen.Fill(kBack);
  CImageTextObject* pic = Picture(MakeBmp(8, 6, [&](int, int) { return stored; }));
  pic->m_imageSource = 2;
  CShowCommand* show = Command<CShowCommand>(pic);
  Prepare();
  EXPECT_EQ(Run(show), 1);
  EXPECT_EQ(Run(show), 1);
  ASSERT_EQ(m_messages.texts.size(), 1u);
  EXPECT_EQ(m_messages.texts[0], missing + "\nCannot be read data.");
  EXPECT_EQ(TouchedOutside(0, 0, 0, 0), 0);
#endif
  ScriptPolicy::SetSourcePicturePaths(nullptr, nullptr);
}

// A waiting Play repeats by its repeat count, or until the stop when the
// count is infinite; the endless flag is for plays that do not wait, which
// start the media once. The stand-in asks for the stop after five plays.
TEST_F(DisplayCommands, PlayStartsItsMediaByTheRepeatCount) {
  const int kStopAfter = 5;
  struct Case {
    const char* name;
    int kind, wait, endless, infinite, count, timed;
    bool playable;
    int plays, playWait, playEndless, timerMs;
  } cases[] = {
      {"wait, 3 times", kMediaVideo, 1, 0, 0, 3, 0, true, 3, 1, 0, -1},
      {"wait, infinite: until the stop", kMediaVideo, 1, 0, 1, 1, 0, true, kStopAfter, 1, 0, -1},
      {"wait, endless flag set: still the count", kMediaAudio, 1, 1, 0, 2, 0, true, 2, 1, 0, -1},
      {"wait, 0 times", kMediaVideo, 1, 0, 0, 0, 0, true, 0, 1, 0, -1},
      {"wait, infinite, media that cannot play", kMediaVideo, 1, 0, 1, 1, 0, false, 1, 1, 0, -1},
      {"wait, infinite, timed movie plays once", kMediaFlash, 1, 0, 1, 1, 1, true, 1, 1, 0, 1500},
      {"no wait, endless", kMediaAudio, 0, 1, 0, 3, 0, true, 1, 0, 1, -1},
      {"no wait, once", kMediaMidi, 0, 0, 1, 3, 0, true, 1, 0, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMediaObject* media = Add(new CMediaObject);
    media->m_kind = c.kind;
    CPlayCommand* play = Add(new CPlayCommand);
    play->SetTarget(media);
    CFlashPlayAttribute& f = play->m_placement.m_flash;
    f.m_wait = c.wait;
    f.m_endless = c.endless;
    f.m_infinite = c.infinite;
    f.m_count = c.count;
    f.m_timed = c.timed;
    f.m_timerMs = 1500;
    CTestPlay ctx;
    ctx.playable = c.playable;
    ctx.stopAfterPlays = kStopAfter;
    EXPECT_EQ(play->Execute(m_screen.DC(), nullptr, &ctx), 1);
    ASSERT_EQ(static_cast<int>(ctx.plays.size()), c.plays);
    for (const CTestPlay::Played& p : ctx.plays) {
      EXPECT_EQ(p.wait, c.playWait);
      EXPECT_EQ(p.endless, c.playEndless);
      EXPECT_EQ(p.timerMs, c.timerMs);
    }
  }
  // A stop asked for before the command starts: nothing plays.
  CMediaObject* media = Add(new CMediaObject);
  CPlayCommand* play = Add(new CPlayCommand);
  play->SetTarget(media);
  play->m_placement.m_flash.m_infinite = 1;
  CTestPlay stopped;
  stopped.stop = true;
  stopped.playable = true;
  EXPECT_EQ(play->Execute(m_screen.DC(), nullptr, &stopped), 1);
  EXPECT_TRUE(stopped.plays.empty());
}

}  // namespace
