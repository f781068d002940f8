// The painter's layout modes, its final transfer, clipping to the screen
// and the effect names.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/playback/paint_support.h"

namespace {

using painttest::CSurface;
using painttest::kSentinel;
using painttest::Pic;

const COLORREF kBack = RGB(9, 8, 7);

// A painter over a W x H picture with a screen-sized frame.
struct Layout {
  Layout(int id, int w, int h, int sw, int sh)
      : painter(id), rect(0, 0, w, h), brush(kBack) {
    image.Create(w > 0 ? w : 1, h > 0 ? h : 1);
    image.FillPicture();
    frame.Create(sw, sh);
    frame.Fill(kSentinel);
    screen.Create(sw, sh);
    screen.Fill(kSentinel);
    painter.SetScreenSize(CSize(sw, sh));
    painter.SetImage(&rect, &brush, SRCCOPY, nullptr);
    painter.SetDCs(frame.DC(), image.DC());
  }
  CImagePainter painter;
  CRect rect;
  CBrush brush;
  CSurface image, frame, screen;
};

TEST(Layout, NoneComposesThePictureAndBlitsItToThePosition) {
  Layout l(0, 3, 2, 8, 6);
  l.painter.DrawLayout();
  EXPECT_EQ(l.frame.At(2, 1), Pic(2, 1));
  EXPECT_EQ(l.frame.At(3, 1), kSentinel);  // only W x H is composed
  CRect position(4, 3, 7, 5);
  l.painter.BlitFrame(l.screen.DC(), nullptr, &position);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      bool inside = x >= 4 && x < 7 && y >= 3 && y < 5;
      EXPECT_EQ(l.screen.At(x, y), inside ? Pic(x - 4, y - 3) : kSentinel) << x << "," << y;
    }
}

TEST(Layout, NoneWithAnOtherRectangleBlitsToTheImageRectangle) {
  Layout l(0, 3, 2, 8, 6);
  l.rect = CRect(1, 2, 4, 4);
  l.painter.DrawLayout();
  CRect other(0, 0, 1, 1), position(5, 0, 8, 2);
  l.painter.BlitFrame(l.screen.DC(), &other, &position);
  EXPECT_EQ(l.screen.At(1, 2), Pic(0, 0));
  EXPECT_EQ(l.screen.At(5, 0), kSentinel);
}

TEST(Layout, TileRepeatsThePictureOverTheScreen) {
  struct Case {
    int w, h;
  } cases[] = {{3, 2}, {7, 5}, {20, 2}};  // the last is wider than the screen
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    Layout l(1, c.w, c.h, 7, 5);
    l.painter.DrawLayout();
    l.painter.BlitFrame(l.screen.DC(), nullptr, nullptr);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        EXPECT_EQ(l.screen.At(x, y), Pic(x % c.w, y % c.h)) << x << "," << y;
  }
}

TEST(Layout, TileOfAnEmptyPictureDrawsNothing) {
  for (int id : {0, 1, 2}) {
    SCOPED_TRACE(id);
    Layout l(id, 0, 3, 7, 5);
    l.painter.DrawLayout();
    CRect position(0, 0, 7, 5);
    l.painter.BlitFrame(l.screen.DC(), nullptr, &position);
    EXPECT_EQ(l.frame.At(0, 0), kSentinel);
    EXPECT_EQ(l.screen.At(3, 2), kSentinel);
  }
}

TEST(Layout, StretchScalesToTheScreenPixelByPixel) {
  Layout grow(2, 2, 2, 6, 4);  // enlarged 3 x 2
  grow.painter.DrawLayout();
  grow.painter.BlitFrame(grow.screen.DC(), nullptr, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(grow.screen.At(x, y), Pic(x / 3, y / 2)) << x << "," << y;

  Layout shrink(2, 8, 8, 4, 4);  // a picture larger than the screen
  shrink.painter.DrawLayout();
  shrink.painter.BlitFrame(shrink.screen.DC(), nullptr, nullptr);
  // COLORONCOLOR keeps one pixel of each 2 x 2 block rather than a blend.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      COLORREF c = shrink.screen.At(x, y);
      bool picked = false;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) picked |= c == Pic(x * 2 + dx, y * 2 + dy);
      EXPECT_TRUE(picked) << x << "," << y;
    }
}

TEST(Layout, AnIconIsDrawnOverTheBackgroundAndTiled) {
  HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  ASSERT_NE(icon, nullptr);
  int size = GetSystemMetrics(SM_CXICON);
  Layout l(1, size, size, size * 2 + 3, size);
  l.painter.SetImage(&l.rect, &l.brush, SRCCOPY, icon);
  l.painter.DrawLayout();
  l.painter.BlitFrame(l.screen.DC(), nullptr, nullptr);
  // Tiles repeat the icon over the background: equal pixels one tile apart.
  int differ = 0, background = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      differ += l.screen.At(x, y) != l.screen.At(x + size, y);
      background += l.screen.At(x, y) == kBack;
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(background, 0);
  EXPECT_EQ(l.screen.At(2 * size + 1, 0), l.screen.At(1, 0));
}

struct ClipCase {
  const char* name;
  int w, h, x, y;
  RECT out;
  POINT offset;
};

TEST(ClipImageToScreen, GivesTheVisiblePartAndTheCut) {
  const ClipCase cases[] = {
      {"on screen", 30, 20, 10, 5, {10, 5, 40, 25}, {0, 0}},
      {"off the left", 30, 20, -12, 5, {0, 5, 18, 25}, {12, 0}},
      {"off the top", 30, 20, 10, -7, {10, 0, 40, 13}, {0, 7}},
      {"off the bottom right", 30, 20, 90, 70, {90, 70, 100, 80}, {0, 0}},
      {"larger than the screen", 300, 200, -10, -10, {0, 0, 100, 80}, {10, 10}},
      {"wholly off the right", 30, 20, 120, 5, {120, 5, 120, 25}, {0, 0}},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.name);
    RECT out;
    POINT offset;
    EXPECT_TRUE(ClipImageToScreen(0, 0, c.w, c.h, c.x, c.y, &out, &offset, CSize(100, 80)));
    EXPECT_EQ(CRect(out), CRect(c.out));
    EXPECT_EQ(offset.x, c.offset.x);
    EXPECT_EQ(offset.y, c.offset.y);
  }
}

TEST(EffectNames, KnownIdsAndEdges) {
  EXPECT_STREQ(GetEffectName(0), "None");
  EXPECT_STREQ(GetEffectName(2), "Stretch");
  EXPECT_STREQ(GetEffectName(3), "Random Effect");
  EXPECT_STREQ(GetEffectName(4), "Fade From Black");
  EXPECT_STREQ(GetEffectName(62), "Diagonal Split (Top-Left) Out");
  EXPECT_STREQ(GetEffectName(65), "Fade To Black");
  EXPECT_STREQ(GetEffectName(87), "Roll Vertical");
  EXPECT_STREQ(GetEffectName(88), "<not identified>");
  EXPECT_STREQ(GetEffectName(-1), "<not identified>");
  std::set<std::string> names;
  for (int id = 0; id < 88; ++id) names.insert(GetEffectName(id));
  EXPECT_EQ(names.size(), 88u);
}

TEST(IsMultipleOf, RemainderAndZero) {
  EXPECT_TRUE(IsMultipleOf(0, 10));
  EXPECT_TRUE(IsMultipleOf(30, 10));
  EXPECT_FALSE(IsMultipleOf(31, 10));
  EXPECT_FALSE(IsMultipleOf(5, 0));
}

}  // namespace
