// The transition effects on memory DCs: every effect ends with the picture
// in its area and touches nothing outside it, deletes every GDI object it
// made only once no DC holds it, a stop ends it at once with the picture
// complete, the pacing rules give the expected delays, and a few frames in
// the middle of an effect show the expected pixels.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>

#include "playback/painter/EffectRandom.h"
#include "tests/playback/paint_support.h"

namespace {

using painttest::CScene;
using painttest::CTestPacer;
using painttest::kSentinel;
using painttest::Pic;

struct Size {
  int w, h;
};

TEST(Effects, EveryEffectEndsWithThePictureAndStaysInItsArea) {
  const Size sizes[] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {17, 9}, {83, 45}};
  for (int id = 4; id <= 87; ++id) {
    for (const Size& s : sizes) {
      SCOPED_TRACE(testing::Message() << "effect " << id << " (" << GetEffectName(id) << ") "
                                      << s.w << "x" << s.h);
      CScene scene(s.w, s.h);
      CTestPacer pacer;
      pacer.tickStep = 1;
      scene.Run(id, &pacer);
      EXPECT_EQ(scene.Wrong(id == 65), 0);
      EXPECT_EQ(scene.TouchedOutside(), 0);
    }
  }
}

// The painter completes the picture after every effect; this checks that
// each effect itself reaches it, as seen at its last delay or stop poll.
TEST(Effects, EveryEffectCompletesThePictureItself) {
  const Size sizes[] = {{1, 1}, {1, 7}, {7, 1}, {17, 9}, {83, 45}};
  for (int id = 5; id <= 87; ++id) {
    if (id == 65) continue;  // the fades end with a last transfer by design
    for (const Size& s : sizes) {
      SCOPED_TRACE(testing::Message() << "effect " << id << " (" << GetEffectName(id) << ") "
                                      << s.w << "x" << s.h);
      CScene scene(s.w, s.h);
      CTestPacer pacer;
      std::vector<DWORD> last;
      pacer.onPoll = [&] { last = scene.Screen().Snapshot(); };
      pacer.onDelay = [&](int) { last = scene.Screen().Snapshot(); };
      scene.Run(id, &pacer);
      ASSERT_FALSE(last.empty());
      int sw = s.w + 2 * CScene::kMargin, wrong = 0;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          DWORD p = last[(y + CScene::kMargin) * sw + x + CScene::kMargin];
          wrong += RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) != Pic(x, y);
        }
      EXPECT_EQ(wrong, 0);
    }
  }
}

// An object deleted while still selected into a DC leaks on Windows; the
// wrappers count such deletes (and a debug build asserts).
TEST(Effects, EveryEffectDeletesItsGdiObjectsOnlyOnceDeselected) {
  for (int id = 4; id <= 87; ++id) {
    for (int stopAfter : {-1, 0}) {
      SCOPED_TRACE(testing::Message() << "effect " << id << " (" << GetEffectName(id) << ")"
                                      << (stopAfter < 0 ? "" : " stopped at once"));
      CScene scene(83, 45);
      CTestPacer pacer;
      pacer.stopAfter = stopAfter;
      const long before = CGdiObject::GetFailedDeleteCount();
      scene.Run(id, &pacer);
      EXPECT_EQ(CGdiObject::GetFailedDeleteCount() - before, 0);
    }
  }
}

TEST(Effects, AStopEndsEveryEffectAtOnceWithThePicture) {
  for (int id = 4; id <= 87; ++id) {
    SCOPED_TRACE(testing::Message() << "effect " << id << " (" << GetEffectName(id) << ")");
    CScene scene(83, 45);
    CTestPacer pacer;
    pacer.stopAfter = 0;
    scene.Run(id, &pacer);
    EXPECT_LE(pacer.delays, 1);
    EXPECT_EQ(pacer.waits, 0);
    EXPECT_EQ(scene.Wrong(id == 65), 0);
    EXPECT_EQ(scene.TouchedOutside(), 0);

    CScene later(83, 45);
    CTestPacer stopping;
    stopping.stopAfter = 3;
    later.Run(id, &stopping);
    EXPECT_LE(stopping.delays, 3);
    EXPECT_EQ(later.Wrong(id == 65), 0);
  }
}

struct DelayCase {
  int id, w, h, delays;
};

TEST(Effects, PacingRulesGiveTheDelayCount) {
  const DelayCase cases[] = {
      {5, 40, 40, 0},     // Dissolve: no delays
      {6, 17, 9, 6},      // Squares: a 3 x 2 grid
      {7, 10, 7, 4},      // Box In: rings 0 to 3
      {11, 5, 20, 32},    // Blinds: 16 passes of 2 slots, one outside
      {12, 20, 5, 32},
      {13, 10, 20, 20},   // Random Bars: one per row
      {14, 10, 20, 10},
      {15, 10, 20, 11},   // Alternate Bands: s = 0 .. W
      {21, 10, 20, 21},   // Cover: j = 0 .. H
      {23, 10, 20, 11},
      {29, 10, 20, 20},   // Uncover: j = 1 .. H
      {37, 10, 20, 20},   // Wipe: one per line
      {40, 10, 20, 10},
      {41, 10, 20, 21},   // Shift: j = 0 .. H
      {49, 10, 10, 5},    // Split: two lines per step
      {49, 10, 9, 5},
      {57, 10, 20, 35},   // Strips: s = 0 .. W + 8 x 3 bands
      {62, 10, 20, 2},    // Dhalf: steps 0 and 15 of 20
      {67, 16, 25, 6},    // Snake Wipe: every 10th row, 2 strips
      {71, 16, 25, 4},    // Snake Shift: rows 10 and 20 of each strip
      {73, 16, 25, 4},    // Right-to-Left: rows 9 and 18
      {79, 50, 50, 105},  // Boxed Grow: 21 steps of D5x3
      {80, 50, 50, 105},
      {81, 50, 50, 243},  // Triangle: 81 steps of D3
      {84, 10, 20, 22},   // Roll Bottom: fronts 0 .. H + roll - 1 (roll 2)
      {85, 10, 20, 22},   // Roll Top
      {84, 10, 5, 6},     // no roll under 10 rows: fronts 0 .. H
      {87, 10, 20, 12},   // Roll Vertical: two sheets of 10 rows, roll 2
      {87, 10, 21, 13},   // the first sheet takes the odd middle row
  };
  for (const DelayCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.id << " " << c.w << "x" << c.h);
    CScene scene(c.w, c.h);
    CTestPacer pacer;
    scene.Run(c.id, &pacer);
    EXPECT_EQ(pacer.delays, c.delays);
  }
}

struct ArgumentCase {
  int id, speed;
  unsigned elapsed;
  double duration;
};

TEST(Effects, DelaysPassTheirRuleAndAClampedSpeed) {
  const ArgumentCase cases[] = {
      {37, 600, 600, 1000.0},   // D1
      {37, 5000, 1000, 1000.0}, // a speed above the range is clamped
      {37, -40, 100, 1000.0},   // and one below it
      {62, 600, 300, 1000.0},   // Dhalf
      {79, 600, 1200, 3000.0},  // D5x3
      {84, 600, 600, 2000.0},   // Droll, f = 2
      {84, 100, 100, 3000.0},   // Droll, f = 3 at the slowest speed
  };
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.id << " speed " << c.speed);
    CScene scene(20, 20);
    CTestPacer pacer;
    scene.Run(c.id, &pacer, c.speed);
    ASSERT_FALSE(pacer.calls.empty());
    for (const auto& call : pacer.calls) {
      EXPECT_EQ(call.first, c.elapsed);
      EXPECT_EQ(call.second, c.duration);
    }
  }
}

// Runs an effect and returns the area as it was when delay n began.
class CFrameAt {
 public:
  CFrameAt(int id, int w, int h, int n) : m_scene(w, h) {
    CTestPacer pacer;
    pacer.onDelay = [&](int d) {
      if (d == n) m_frame = m_scene.Screen().Snapshot();
    };
    m_scene.Run(id, &pacer);
  }
  // The pixel showed the picture in that frame.
  bool Shown(int x, int y) const {
    int sw = m_scene.W() + 2 * CScene::kMargin;
    DWORD p = m_frame[(y + CScene::kMargin) * sw + x + CScene::kMargin];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) == Pic(x, y);
  }
  COLORREF At(int x, int y) const {
    int sw = m_scene.W() + 2 * CScene::kMargin;
    DWORD p = m_frame[(y + CScene::kMargin) * sw + x + CScene::kMargin];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int CountShown() const {
    int n = 0;
    for (int y = 0; y < m_scene.H(); ++y)
      for (int x = 0; x < m_scene.W(); ++x) n += Shown(x, y);
    return n;
  }
  bool Empty() const { return m_frame.empty(); }

 private:
  CScene m_scene;
  std::vector<DWORD> m_frame;
};

TEST(EffectFrames, WipeDownShowsOneMoreRowPerDelay) {
  CFrameAt f(37, 6, 10, 3);
  ASSERT_FALSE(f.Empty());
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(f.Shown(x, y), y < 3) << x << "," << y;
}

TEST(EffectFrames, BlindsFirstPassShowsEverySixteenthRow) {
  // Pass 0 on 20 rows: row 0, then row 16, then the next pass begins.
  CFrameAt f(11, 5, 20, 1);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(f.Shown(2, y), y == 0) << y;
  CFrameAt g(11, 5, 20, 2);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(g.Shown(2, y), y == 0 || y == 16) << y;
}

TEST(EffectFrames, BoxInShowsTheWholeOuterRingFirst) {
  CFrameAt f(7, 10, 7, 1);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10; ++x) {
      bool ring = x == 0 || y == 0 || x == 9 || y == 6;
      EXPECT_EQ(f.Shown(x, y), ring) << x << "," << y;
    }
}

TEST(EffectFrames, CoverDownSlidesThePictureBottomIn) {
  // Delay 3 follows step j = 2: the picture's last two rows at the top.
  CFrameAt f(21, 4, 9, 3);
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(f.At(x, 0), Pic(x, 7));
    EXPECT_EQ(f.At(x, 1), Pic(x, 8));
    EXPECT_EQ(f.At(x, 2), kSentinel);
  }
}

TEST(EffectFrames, SquaresRevealOneBlockPerDelay) {
  CFrameAt f(6, 24, 16, 4);  // a 3 x 2 grid of 8 x 8 blocks
  EXPECT_EQ(f.CountShown(), 4 * 64);
}

TEST(EffectFrames, SnakeWipeStartsWithTheFirstStripRow) {
  CFrameAt f(67, 20, 12, 1);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(f.Shown(x, y), y == 0 && x < 8) << x << "," << y;
  // Delay 2 comes at row 10 of the first strip, which runs downward.
  CFrameAt g(67, 20, 12, 2);
  EXPECT_EQ(g.CountShown(), 11 * 8);
  // The second strip runs upward from the bottom.
  CFrameAt h(67, 20, 12, 3);
  EXPECT_TRUE(h.Shown(8, 11));
  EXPECT_FALSE(h.Shown(8, 10));
}

TEST(EffectFrames, CheckerboardStartsWithColumnZeroOfTheFirstCell) {
  CFrameAt f(17, 40, 20, 1);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) EXPECT_EQ(f.Shown(x, y), x == 0 && y < 16) << x << "," << y;
}

TEST(EffectFrames, SpiralRunsAlongTheTopEdgeFirst) {
  CFrameAt f(75, 30, 20, 2);  // units 0, 1, 2 of the top edge
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) EXPECT_EQ(f.Shown(x, y), x < 3 && y < 8) << x << "," << y;
  CFrameAt g(76, 30, 20, 2);  // anti-clockwise: from the top-right corner
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) EXPECT_EQ(g.Shown(x, y), x >= 27 && y < 8) << x << "," << y;
}

TEST(EffectFrames, RollSettlesRowsBehindTheRollAndMirrorsUnderIt) {
  // Roll Bottom on 10 x 30: the roll is 3 rows. After front 8 the rows up
  // to 5 are in place and rows 6 and 7 show rows 7 and 6.
  CFrameAt f(84, 10, 30, 9);
  for (int y = 0; y <= 5; ++y) EXPECT_TRUE(f.Shown(3, y)) << y;
  EXPECT_EQ(f.At(3, 6), Pic(3, 7));
  EXPECT_EQ(f.At(3, 7), Pic(3, 6));
  EXPECT_EQ(f.At(3, 8), kSentinel);
}

// A roll's last front is the one that settles its last line: the picture is
// complete at the last delay and not yet at the one before. (With a roll
// of 2 the mirrored last line happens to look settled one front early, so
// the heights give rolls of 0, 1 and 3.)
TEST(EffectFrames, RollsEndWithTheFrontThatCompletesThePicture) {
  for (int id : {84, 85, 87}) {
    for (int h : {5, 15, 33}) {
      SCOPED_TRACE(testing::Message() << "effect " << id << " (" << GetEffectName(id) << ") 6x"
                                      << h);
      CScene scene(6, h);
      CTestPacer pacer;
      std::vector<int> wrong;  // at each delay
      pacer.onDelay = [&](int) { wrong.push_back(scene.Wrong()); };
      scene.Run(id, &pacer);
      ASSERT_GE(wrong.size(), 2u);
      EXPECT_EQ(wrong.back(), 0);
      EXPECT_GT(wrong[wrong.size() - 2], 0);
    }
  }
}

TEST(Fades, FadeFromBlackDrawsEveryLevelAtItsInterval) {
  struct Case {
    int id, speed;
    DWORD interval;
  } cases[] = {{4, 1000, 1}, {4, 100, 10}, {4, 5000, 1}, {65, 1000, 2}, {65, 100, 11}, {65, -3, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "effect " << c.id << " speed " << c.speed);
    CScene scene(9, 5);
    CTestPacer pacer;  // the clock moves only while the fade waits
    scene.Run(c.id, &pacer, c.speed);
    EXPECT_EQ(pacer.waits, 255);
    EXPECT_EQ(pacer.waited, 255 * c.interval);
    EXPECT_EQ(scene.Wrong(c.id == 65), 0);
  }
}

// The wide sizes are drawn in several bands of rows, the last one short.
const Size kFadeSizes[] = {{9, 5}, {2000, 70}, {1100, 130}};

// The screens a fade meets: DIB sections whose pixels it writes itself,
// rows top-down or bottom-up, and one it draws on through GDI in bands (a
// DC in the advanced graphics mode, with the identity transform).
enum ScreenKind { kTopDown, kBottomUp, kThroughGdi };
const char* const kScreenKindNames[] = {"top-down DIB", "bottom-up DIB", "through GDI"};

TEST(Fades, ALevelScalesEveryByte) {
  for (const ScreenKind kind : {kTopDown, kBottomUp, kThroughGdi}) {
    for (const Size& s : kFadeSizes) {
      SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " " << kScreenKindNames[kind]);
      CScene scene(s.w, s.h, kind == kBottomUp);
      if (kind == kThroughGdi) ::SetGraphicsMode(scene.Screen().DC()->GetSafeHdc(), GM_ADVANCED);
      CTestPacer pacer;
      std::vector<DWORD> level128;
      pacer.onWait = [&](int n) {
        if (n == 128) level128 = scene.Screen().Snapshot();  // level 128 is drawn
      };
      scene.Run(4, &pacer);
      ASSERT_FALSE(level128.empty());
      int sw = s.w + 2 * CScene::kMargin, wrong = 0;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          DWORD p = level128[(y + CScene::kMargin) * sw + x + CScene::kMargin];
          COLORREF c = Pic(x, y);
          bool right = ((p >> 16) & 0xFF) == GetRValue(c) * 128u / 256 &&
                       ((p >> 8) & 0xFF) == GetGValue(c) * 128u / 256 &&
                       (p & 0xFF) == GetBValue(c) * 128u / 256;
          if (!right && wrong++ == 0) ADD_FAILURE() << "first wrong pixel at " << x << ", " << y;
        }
      EXPECT_EQ(wrong, 0);
      EXPECT_EQ(scene.TouchedOutside(), 0);
    }
  }
}

// Written straight into the screen's pixels, each level of a fade and each
// step of Fade From Background still adds its area to the DC's bounds,
// from which the play window presents.
TEST(Fades, EachLevelAddsItsAreaToTheBounds) {
  for (const int id : {4, 66}) {
    SCOPED_TRACE(testing::Message() << "effect " << id);
    CScene scene(40, 20);
    HDC dc = scene.Screen().DC()->GetSafeHdc();
    ::SetBoundsRect(dc, nullptr, DCB_ENABLE | DCB_RESET);
    CTestPacer pacer;
    std::vector<UINT> flags;
    std::vector<RECT> bounds;
    auto take = [&](int) {
      RECT r = {};
      flags.push_back(::GetBoundsRect(dc, &r, DCB_RESET));
      bounds.push_back(r);
    };
    pacer.onWait = take;   // the fade's levels
    pacer.onDelay = take;  // Fade From Background's steps
    scene.Run(id, &pacer);
    ASSERT_GE(flags.size(), 100u);
    int missing = 0;
    for (size_t i = 0; i < flags.size(); ++i) {
      const RECT& r = bounds[i];
      const bool covers = (flags[i] & DCB_SET) == DCB_SET && r.left <= CScene::kMargin &&
                          r.top <= CScene::kMargin && r.right >= CScene::kMargin + 40 - 1 &&
                          r.bottom >= CScene::kMargin + 20 - 1;
      if (!covers && missing++ == 0) ADD_FAILURE() << "first frame without its bounds: " << i + 1;
    }
    EXPECT_EQ(missing, 0);
  }
}

TEST(Fades, TheClockMayWrapAroundAndLateLevelsAreSkipped) {
  CScene wrapped(9, 5);
  CTestPacer pacer;
  pacer.clock = 0xFFFFFF80u;
  wrapped.Run(4, &pacer);
  EXPECT_EQ(pacer.waits, 255);
  EXPECT_EQ(wrapped.Wrong(), 0);

  // A clock far ahead of the drawing: the fade skips to its end.
  CScene late(9, 5);
  CTestPacer slow;
  slow.tickStep = 1000;
  late.Run(65, &slow);
  EXPECT_EQ(slow.waits, 0);
  EXPECT_EQ(late.Wrong(true), 0);
}

TEST(Fades, FadeFromBackgroundStepsEveryByteByOne) {
  for (const ScreenKind kind : {kTopDown, kBottomUp, kThroughGdi}) {
    for (const Size& s : {Size{6, 4}, Size{1100, 130}}) {
      SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << " " << kScreenKindNames[kind]);
      // From the sentinel, the step count is the largest byte difference.
      CScene scene(s.w, s.h, kind == kBottomUp);
      if (kind == kThroughGdi) ::SetGraphicsMode(scene.Screen().DC()->GetSafeHdc(), GM_ADVANCED);
      int most = 0;
      for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x) {
          COLORREF c = Pic(x, y);
          most = std::max({most, abs(GetRValue(c) - 0x12), abs(GetGValue(c) - 0x34),
                           abs(GetBValue(c) - 0x56)});
        }
      CTestPacer pacer;
      std::vector<DWORD> first;
      pacer.onDelay = [&](int n) {
        if (n == 1) first = scene.Screen().Snapshot();
      };
      scene.Run(66, &pacer);
      EXPECT_EQ(pacer.delays, most);
      EXPECT_EQ(scene.Wrong(), 0);
      EXPECT_EQ(scene.TouchedOutside(), 0);
      ASSERT_FALSE(first.empty());
      // After the first step every byte is one nearer its target: the top
      // left and bottom right pixels (first and last band).
      int sw = s.w + 2 * CScene::kMargin;
      for (POINT at : {POINT{0, 0}, POINT{s.w - 1, s.h - 1}}) {
        SCOPED_TRACE(testing::Message() << "pixel " << at.x << ", " << at.y);
        DWORD p = first[(at.y + CScene::kMargin) * sw + at.x + CScene::kMargin];
        COLORREF c = Pic(at.x, at.y);
        auto next = [](int from, int to) { return from + (to > from ? 1 : to < from ? -1 : 0); };
        EXPECT_EQ(static_cast<int>((p >> 16) & 0xFF), next(0x12, GetRValue(c)));
        EXPECT_EQ(static_cast<int>((p >> 8) & 0xFF), next(0x34, GetGValue(c)));
        EXPECT_EQ(static_cast<int>(p & 0xFF), next(0x56, GetBValue(c)));
      }
    }
  }
}

TEST(Fades, FadeFromBackgroundOverThePictureEndsAfterOneStep) {
  CScene scene(6, 4);
  CTestPacer unpaced;
  scene.Run(37, &unpaced);  // the picture is now in the area
  CTestPacer pacer;
  scene.Run(66, &pacer);
  EXPECT_EQ(pacer.delays, 1);
  EXPECT_EQ(scene.Wrong(), 0);
}

TEST(Effects, APictureCutAtTheLeftEdgeStartsAtTheEdge) {
  painttest::CSurface screen, image, frame;
  ASSERT_TRUE(screen.Create(12, 6));
  ASSERT_TRUE(image.Create(10, 4));
  ASSERT_TRUE(frame.Create(7, 4));
  screen.Fill(kSentinel);
  image.FillPicture();
  CRect visible(0, 1, 7, 5);  // the picture's 3 left columns are off screen
  CBrush brush(RGB(0, 0, 0));
  CImagePainter painter(40);
  painter.SetImage(&visible, &brush, SRCCOPY, nullptr);
  painter.SetDCs(frame.DC(), image.DC());
  POINT at = {5, 1};
  CTestPacer pacer;
  painter.DrawTransition(screen.DC(), &pacer, &at, 1000, 3, 0);
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 1);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) {
      bool inside = x < 7 && y >= 1 && y < 5;
      EXPECT_EQ(screen.At(x, y), inside ? Pic(x + 3, y - 1) : kSentinel) << x << "," << y;
    }
}

TEST(Effects, OutsideTheTransitionsNothingIsDrawn) {
  for (int id : {0, 1, 2, 3, 88, -1}) {
    SCOPED_TRACE(id);
    CScene scene(5, 5);
    CTestPacer pacer;
    scene.Run(id, &pacer);
    EXPECT_EQ(scene.Wrong(), 25);
    EXPECT_EQ(scene.TouchedOutside(), 0);
  }
}

TEST(EffectRandom, UnitIndexStaysInRange) {
  CEffectRandom random(1234);
  EXPECT_FALSE(random.SetRange(5, 5));
  for (int count : {1, 2, 7, 1000, 200000}) {
    SCOPED_TRACE(count);
    for (int i = 0; i < 2000; ++i) {
      int n = DrawUnitIndex(random, count);
      ASSERT_GE(n, 0);
      ASSERT_LT(n, count);
    }
  }
}

}  // namespace
