// The movie reader on movies written by the test writer: the header, the
// frames and their display lists, the frame size of plain and compressed
// movies, damaged movies (which read as empty movies), and the drawing of
// shapes, placements and colour transforms into a memory bitmap. Then the
// movie control on a window of the test, and the player thread with its
// end rules, its running event and its movie file, over a window on the
// screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <objbase.h>

#include "framework/Sync.h"
#include "playback/movie/FlashPlayer.h"
#include "playback/movie/SwfMovie.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"

using lwtest::CSwfShape;
using lwtest::CSwfWriter;
using lwtest::SwfAt;
using lwtest::SwfBytes;
using lwtest::SwfColourChange;
using lwtest::SwfPlace;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// 200 x 100 pixels at 24 frames a second, blue, with a red 20-pixel square
// (shape 1) placed at (10, 10), moved to (100, 50) and removed: 3 frames.
CSwfWriter SquareMovie(int rate256 = 24 * 256) {
  CSwfWriter w(4000, 2000, rate256);
  w.SetBackground(kBlue);
  CSwfShape square;
  square.Rectangle(0, 0, 400, 400, square.AddFill(kRed));
  w.DefineShape(1, square);
  w.PlaceObject(1, 1, SwfAt(200, 200));
  w.ShowFrame();
  w.MoveObject(1, SwfAt(2000, 1000));
  w.ShowFrame();
  w.RemoveObject2(1);
  w.ShowFrame();
  return w;
}

bool Load(CSwfMovie& movie, const SwfBytes& bytes) {
  return movie.Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// A movie drawn into a 32-bit memory bitmap.
class CRendered {
 public:
  CRendered(CSwfMovie& movie, int w, int h)
      : m_w(w), m_pixels(lwtest::DrawnPixels(w, h, [&](HDC dc) {
          const RECT area = {0, 0, w, h};
          movie.Draw(dc, area);
        })) {}
  COLORREF At(int x, int y) const { return m_pixels.at(static_cast<size_t>(y) * m_w + x); }

 private:
  int m_w;
  std::vector<COLORREF> m_pixels;
};

TEST(MovieReaderTest, HeaderFramesAndDisplayLists) {
  const CSwfWriter w = SquareMovie();
  struct Case {
    const char* name;
    SwfBytes bytes;
  } cases[] = {{"plain", w.Fws()}, {"compressed", w.Cws()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSwfMovie movie;
    ASSERT_TRUE(Load(movie, c.bytes));
    EXPECT_EQ(movie.GetVersion(), 6);
    EXPECT_EQ(movie.GetFrameCount(), 3);
    EXPECT_EQ(movie.GetFrameRate256(), 24 * 256);
    EXPECT_EQ(movie.GetFrameRect().right, 4000);
    EXPECT_EQ(movie.GetFrameRect().bottom, 2000);
    EXPECT_EQ(movie.GetShapeCount(), 1);
    // Forward through the frames, then back to the first (replayed).
    const struct {
      int frame;
      int count;
      float x, y;
    } frames[] = {{0, 1, 200, 200}, {1, 1, 2000, 1000}, {2, 0, 0, 0}, {0, 1, 200, 200}};
    for (const auto& f : frames) {
      SCOPED_TRACE(f.frame);
      movie.GotoFrame(f.frame);
      EXPECT_EQ(movie.GetCurrentFrame(), f.frame);
      EXPECT_EQ(movie.GetBackground(), kBlue);
      ASSERT_EQ(movie.GetDisplayCount(), f.count);
      if (f.count == 0) continue;
      const SwfPlacement& item = movie.GetDisplayItem(0);
      EXPECT_EQ(item.depth, 1);
      EXPECT_EQ(item.character, 1);
      EXPECT_EQ(item.shape, 0);
      EXPECT_EQ(item.matrix.tx, f.x);
      EXPECT_EQ(item.matrix.ty, f.y);
    }
  }
}

TEST(MovieReaderTest, PlacementsReplaceMoveAndRemoveByDepth) {
  CSwfWriter w(2000, 2000);
  CSwfShape a, b;
  a.Rectangle(0, 0, 100, 100, a.AddFill(kRed));
  b.Rectangle(0, 0, 100, 100, b.AddFill(kGreen));
  w.DefineShape(1, a);
  w.DefineShape(2, b, 3);
  SwfColourChange half;
  half.mult[0] = 128;
  half.add[2] = 10;
  w.PlaceObject2(5, 1, false, nullptr);
  w.PlaceObject(2, 2, SwfAt(40, 60), &half);
  w.PlaceObject2(9, 7, false, nullptr);  // not a shape
  w.ShowFrame();
  // Frame 1: depth 5 gets shape 2 keeping its place, depth 2 moves with a
  // new colour change, depth 9 goes (RemoveObject), depth 3 is a mask.
  w.PlaceObject2(5, 2, true, nullptr);
  SwfPlace scaled = SwfAt(1, 2);
  scaled.scaleX = 2;
  scaled.rotate0 = 0.5;
  w.PlaceObject2(2, -1, true, &scaled, &half);
  w.RemoveObject(7, 9);
  w.PlaceObject2(3, 1, false, nullptr, nullptr, 4, "mask");
  w.ShowFrame();
  CSwfMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  ASSERT_EQ(movie.GetDisplayCount(), 3);
  EXPECT_EQ(movie.GetDisplayItem(0).depth, 2);
  EXPECT_EQ(movie.GetDisplayItem(0).shape, 1);
  EXPECT_EQ(movie.GetDisplayItem(0).colour.mult[0], 128);
  EXPECT_EQ(movie.GetDisplayItem(0).colour.add[2], 10);
  EXPECT_EQ(movie.GetDisplayItem(0).colour.mult[3], 256);
  EXPECT_EQ(movie.GetDisplayItem(1).depth, 5);
  EXPECT_EQ(movie.GetDisplayItem(1).shape, 0);
  EXPECT_EQ(movie.GetDisplayItem(2).depth, 9);
  EXPECT_EQ(movie.GetDisplayItem(2).shape, -1);
  movie.GotoFrame(1);
  ASSERT_EQ(movie.GetDisplayCount(), 3);
  const SwfPlacement& moved = movie.GetDisplayItem(0);
  EXPECT_EQ(moved.depth, 2);
  EXPECT_EQ(moved.character, 2);
  EXPECT_EQ(moved.matrix.a, 2.0f);
  EXPECT_EQ(moved.matrix.b, 0.5f);
  EXPECT_EQ(moved.matrix.d, 1.0f);
  EXPECT_EQ(moved.matrix.tx, 1.0f);
  EXPECT_EQ(movie.GetDisplayItem(1).depth, 3);
  EXPECT_EQ(movie.GetDisplayItem(1).clipDepth, 4);
  EXPECT_EQ(movie.GetDisplayItem(2).depth, 5);
  EXPECT_EQ(movie.GetDisplayItem(2).character, 2);
  EXPECT_EQ(movie.GetDisplayItem(2).shape, 1);
}

TEST(MovieReaderTest, FrameCommands) {
  CSwfWriter w(2000, 2000);
  w.ShowFrame();
  w.FsCommand("quit", "now");
  w.FsCommand("fullscreen", "true");
  w.ShowFrame();
  CSwfMovie movie;
  ASSERT_TRUE(Load(movie, w.Cws()));
  const char* command = nullptr;
  const char* args = nullptr;
  EXPECT_FALSE(movie.GetFrameCommand(0, 0, &command, &args));
  ASSERT_TRUE(movie.GetFrameCommand(1, 0, &command, &args));
  EXPECT_STREQ(command, "quit");
  EXPECT_STREQ(args, "now");
  ASSERT_TRUE(movie.GetFrameCommand(1, 1, &command, &args));
  EXPECT_STREQ(command, "fullscreen");
  EXPECT_FALSE(movie.GetFrameCommand(1, 2, &command, &args));
}

TEST(MovieReaderTest, FrameSizeOfPlainAndCompressedMovies) {
  CSwfWriter w = SquareMovie();
  CSwfWriter big(11000, 8000);
  big.ShowFrame();
  const struct {
    const char* name;
    SwfBytes bytes;
    LONG cx, cy;
  } cases[] = {{"plain", w.Fws(), 200, 100},
               {"compressed", w.Cws(), 200, 100},
               {"550 x 400", big.Fws(), 550, 400},
               {"550 x 400 compressed", big.Cws(), 550, 400}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SIZE size = ReadSwfFrameSize(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    EXPECT_EQ(size.cx, c.cx);
    EXPECT_EQ(size.cy, c.cy);
  }
}

// The file length in a movie's header.
void SetLength(SwfBytes& movie, size_t length) {
  for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<uint8_t>(length >> (8 * i));
}

// Writes the movie with a tag appended before the End tag.
SwfBytes WithTag(int code, const SwfBytes& body, int64_t declaredLength = -1, bool longForm = false) {
  CSwfWriter w = SquareMovie();
  w.Tag(code, body, longForm, declaredLength);
  return w.Fws();
}

SwfBytes WithShape(const CSwfShape& shape, int version = 1) {
  CSwfWriter w = SquareMovie();
  w.DefineShape(2, shape, version);
  return w.Fws();
}

TEST(MovieReaderTest, DamagedMoviesAreEmpty) {
  const CSwfWriter good = SquareMovie();
  const SwfBytes fws = good.Fws(), cws = good.Cws();
  std::vector<std::pair<std::string, SwfBytes>> cases;
  cases.push_back({"nothing", {}});
  cases.push_back({"header cut", SwfBytes(fws.begin(), fws.begin() + 7)});
  cases.push_back({"not a movie", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0x78, 0, 0, 0}});
  SwfBytes lzma = fws;
  lzma[0] = 'Z';
  cases.push_back({"another compression", lzma});
  cases.push_back({"plain, truncated", SwfBytes(fws.begin(), fws.begin() + fws.size() / 2)});
  cases.push_back({"compressed, truncated", SwfBytes(cws.begin(), cws.begin() + cws.size() / 2)});
  SwfBytes badZlib = cws;
  for (size_t i = 10; i < badZlib.size(); ++i) badZlib[i] = static_cast<uint8_t>(i * 37);
  cases.push_back({"bad zlib data", badZlib});
  SwfBytes noStream(cws.begin(), cws.begin() + 8);
  cases.push_back({"compressed, no stream", noStream});
  {
    CSwfWriter w = SquareMovie();
    w.fileLengthOverride = static_cast<int64_t>(fws.size()) + 100;
    cases.push_back({"plain, length past the data", w.Fws()});
    cases.push_back({"compressed, length past the stream", w.Cws()});
    w.fileLengthOverride = 100 << 20;
    cases.push_back({"compressed, large length past the stream", w.Cws()});
    w.fileLengthOverride = 4;
    cases.push_back({"length below the header", w.Fws()});
    w.fileLengthOverride = 0xFFFFFFF0;
    cases.push_back({"plain, huge length", w.Fws()});
    cases.push_back({"compressed, huge length", w.Cws()});
  }
  {
    SwfBytes cut = fws;
    cut.pop_back();  // half of the End tag's header
    SetLength(cut, cut.size());
    cases.push_back({"tag header cut", cut});
  }
  cases.push_back({"tag length past the end", WithTag(9, {1, 2, 3}, 1000)});
  cases.push_back({"long tag length past the end", WithTag(9, {1, 2, 3}, 0x7FFFFFFF, true)});
  cases.push_back({"background tag too short", WithTag(9, {1, 2})});
  cases.push_back({"placement too short", WithTag(4, {1})});
  cases.push_back({"removal too short", WithTag(28, {1})});
  cases.push_back({"shape too short", WithTag(2, {1, 0, 0x50})});
  {
    CSwfShape s;
    s.Rectangle(0, 0, 100, 100, s.AddFill(kRed));
    s.fillCountOverride = 200;
    cases.push_back({"fill count past the data", WithShape(s)});
    CSwfShape l;
    l.AddLine(20, kRed);
    l.lineCountOverride = 250;
    cases.push_back({"line count past the data", WithShape(l)});
    CSwfShape i;
    i.AddFill(kRed);
    i.AddFill(kGreen);
    i.SetStyles(0, 3, 0);
    i.LineTo(10, 10);
    cases.push_back({"fill index past the styles", WithShape(i)});
    CSwfShape g;
    g.Rectangle(0, 0, 100, 100, g.AddFill(kRed));
    g.NewStyleGroup();
    cases.push_back({"new styles in a first-version shape", WithShape(g, 1)});
  }
  {
    // A shape whose records run past its tag.
    CSwfShape s;
    s.Rectangle(0, 0, 100, 100, s.AddFill(kRed));
    SwfBytes body = {2, 0, 0};  // id 2, an empty bounds rectangle
    const SwfBytes records = s.Encode(1);
    body.insert(body.end(), records.begin(), records.end() - 3);
    cases.push_back({"shape records cut", WithTag(2, body)});
    body = {2, 0, 0, 1, 0x77, 0, 0, 0, 0, 0};  // one fill style of an unknown type
    cases.push_back({"unknown fill type", WithTag(2, body)});
  }
  {
    CSwfWriter empty(0, 2000);
    empty.ShowFrame();
    cases.push_back({"empty frame rectangle", empty.Fws()});
    CSwfWriter noFrames(2000, 2000);
    noFrames.SetBackground(kRed);
    cases.push_back({"no frames", noFrames.Fws()});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    CSwfMovie movie;
    EXPECT_FALSE(movie.Load(c.second.data(), static_cast<uint32_t>(c.second.size())));
    EXPECT_TRUE(movie.IsEmpty());
    EXPECT_EQ(movie.GetFrameCount(), 0);
    EXPECT_EQ(movie.GetCurrentFrame(), 0);
    EXPECT_EQ(movie.GetDisplayCount(), 0);
    movie.GotoFrame(1);
    EXPECT_EQ(CRendered(movie, 8, 8).At(4, 4), kWhite);
  }
  // The same movie once more is sound again.
  CSwfMovie movie;
  EXPECT_FALSE(Load(movie, badZlib));
  EXPECT_TRUE(Load(movie, cws));
  EXPECT_EQ(movie.GetFrameCount(), 3);
}

// Every cut of a movie (with the length in its header cut to match) and
// every byte of it spoilt reads as some movie or none, and draws.
TEST(MovieReaderTest, CutAndSpoiltMoviesNeverFail) {
  CSwfWriter w = SquareMovie();
  CSwfShape s;
  const int line = s.AddLine(40, kGreen);
  s.SetStyles(0, s.AddFill(kRed, 128), line);
  s.MoveTo(10, 10);
  s.CurveTo(300, 0, 300, 300);
  s.LineTo(10, 10);
  w.DefineShape(2, s, 3);
  SwfColourChange c;
  c.add[3] = -20;
  SwfPlace p = SwfAt(100, 100);
  p.rotate1 = 0.25;
  w.PlaceObject2(3, 2, false, &p, &c);
  w.FsCommand("a", "b");
  w.ShowFrame();
  const SwfBytes fws = w.Fws();
  for (size_t n = 8; n <= fws.size(); ++n) {
    SwfBytes cut(fws.begin(), fws.begin() + n);
    SetLength(cut, n);
    CSwfMovie movie;
    movie.Load(cut.data(), static_cast<uint32_t>(cut.size()));
    EXPECT_LE(movie.GetFrameCount(), 4) << n;
    for (int f = 0; f < movie.GetFrameCount(); ++f) {
      movie.GotoFrame(f);
      CRendered(movie, 16, 16);
    }
  }
  for (size_t i = 8; i < fws.size(); ++i) {
    for (uint8_t flip : {0xFF, 0x01, 0x80}) {
      SwfBytes spoilt = fws;
      spoilt[i] ^= flip;
      CSwfMovie movie;
      movie.Load(spoilt.data(), static_cast<uint32_t>(spoilt.size()));
      for (int f = 0; f < movie.GetFrameCount() && f < 8; ++f) {
        movie.GotoFrame(f);
        CRendered(movie, 16, 16);
      }
    }
  }
}

TEST(MovieDrawingTest, SquareAtItsPlacesKeepingTheAspect) {
  CSwfMovie movie;
  ASSERT_TRUE(Load(movie, SquareMovie().Cws()));
  // 200 x 100 into 400 x 400: twice the size, 100 pixels down.
  const struct {
    int frame;
    int x, y;
    COLORREF colour;
  } probes[] = {
      {0, 30, 130, kRed},   {0, 59, 159, kRed},   {0, 61, 130, kBlue}, {0, 30, 50, kBlue},
      {0, 30, 350, kBlue},  {1, 210, 210, kRed},  {1, 30, 130, kBlue}, {1, 238, 238, kRed},
      {2, 210, 210, kBlue}, {2, 30, 130, kBlue},
  };
  int shown = -1;
  std::unique_ptr<CRendered> picture;
  for (const auto& p : probes) {
    SCOPED_TRACE(testing::Message() << "frame " << p.frame << " at " << p.x << ", " << p.y);
    if (p.frame != shown) {
      movie.GotoFrame(p.frame);
      picture.reset(new CRendered(movie, 400, 400));
      shown = p.frame;
    }
    EXPECT_EQ(picture->At(p.x, p.y), p.colour);
  }
}

TEST(MovieDrawingTest, FillsLinesCurvesAndColours) {
  CSwfWriter w(2000, 2000);  // 100 x 100 pixels
  w.SetBackground(kWhite);
  // Shape 1: a square outlined in green over a red fill, and a hole.
  CSwfShape framed;
  const int red = framed.AddFill(kRed), green = framed.AddLine(40, kGreen);
  framed.Rectangle(0, 0, 1000, 1000, red, green);
  framed.SetStyles(red, 0, 0);  // the hole, clockwise: the fill on its left
  framed.MoveTo(400, 400);
  framed.LineTo(600, 400);
  framed.LineTo(600, 600);
  framed.LineTo(400, 600);
  framed.LineTo(400, 400);
  w.DefineShape(1, framed);
  // Shape 2: a straight edge and two curves, drawn in two runs.
  CSwfShape curved;
  const int blue = curved.AddFill(kBlue);
  curved.SetStyles(0, blue, 0);
  curved.MoveTo(0, 400);
  curved.LineTo(0, 0);
  curved.CurveTo(400, 0, 400, 200);
  curved.MoveTo(400, 200);
  curved.CurveTo(400, 400, 0, 400);
  w.DefineShape(2, curved, 2);
  // Shape 3: two style groups; the later group is drawn over the earlier.
  CSwfShape layered;
  layered.Rectangle(0, 0, 400, 400, layered.AddFill(kRed));
  layered.NewStyleGroup();
  layered.Rectangle(100, 100, 200, 200, layered.AddFill(kGreen));
  w.DefineShape(3, layered, 2);
  // Shape 4: half-transparent black, a gradient, and a bitmap fill.
  CSwfShape special;
  special.Rectangle(0, 0, 200, 200, special.AddFill(RGB(0, 0, 0), 128));
  special.Rectangle(200, 0, 200, 200, special.AddGradientFill(RGB(0, 0, 0), RGB(200, 100, 50)));
  special.Rectangle(400, 0, 200, 200, special.AddBitmapFill(9));
  w.DefineShape(4, special, 3);
  w.PlaceObject(1, 1, SwfAt(0, 0));
  w.PlaceObject(2, 2, SwfAt(1000, 0));
  w.PlaceObject(3, 3, SwfAt(0, 1200));
  SwfColourChange toGreen;  // red becomes green
  toGreen.mult[0] = 0;
  toGreen.add[1] = 255;
  w.PlaceObject(3, 4, SwfAt(600, 1200), &toGreen);
  w.PlaceObject(4, 5, SwfAt(1100, 1200));
  w.ShowFrame();
  CSwfMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  const CRendered picture(movie, 100, 100);
  const struct {
    const char* what;
    int x, y;
    COLORREF colour;
  } probes[] = {
      {"fill", 10, 10, kRed},
      {"line", 0, 25, kGreen},
      {"line", 50, 49, kGreen},
      {"hole", 25, 25, kWhite},
      {"edge of the hole", 19, 25, kRed},
      {"curve inside", 60, 10, kBlue},
      {"curve's bulge", 68, 10, kBlue},
      {"outside the curve", 69, 1, kWhite},
      {"first group", 2, 62, kRed},
      {"second group over the first", 10, 70, kGreen},
      {"colour transform", 32, 62, kGreen},
      {"transformed second group", 40, 70, RGB(0, 255, 0)},
      {"half transparent", 60, 65, RGB(127, 127, 127)},
      {"gradient average", 70, 65, RGB(100, 50, 25)},
      {"bitmap fill not drawn", 80, 65, kWhite},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_EQ(picture.At(p.x, p.y), p.colour) << p.x << ", " << p.y;
  }
}

TEST(MovieDrawingTest, ExtremeGeometryDraws) {
  CSwfWriter w(2000, 2000);
  CSwfShape s;
  s.SetStyles(0, s.AddFill(kRed), s.AddLine(65535, kBlue));
  const int distant = -(1 << 30);
  s.MoveTo(distant, distant);
  s.LineTo(distant + 60000, distant);
  s.CurveTo(distant + 60000, distant + 60000, distant, distant + 60000);
  s.LineTo(distant, distant);
  w.DefineShape(1, s);
  SwfPlace huge = SwfAt(distant, (1 << 30) - 1);
  huge.scaleX = 15000;
  huge.scaleY = -15000;
  // A green rectangle far wider and taller than the movie, whose right
  // edge halves it: clipped, it still covers exactly the left half.
  CSwfShape wide;
  wide.Rectangle(-60000, -30000, 60000, 60000, wide.AddFill(kGreen));
  w.DefineShape(2, wide);
  SwfPlace stretched = SwfAt(1000, 1000);
  stretched.scaleX = stretched.scaleY = 10000;
  w.PlaceObject(1, 1, huge);
  w.PlaceObject(1, 2, SwfAt(0, 0));
  w.PlaceObject(2, 3, stretched);
  w.ShowFrame();
  CSwfMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  const CRendered picture(movie, 50, 50);
  EXPECT_EQ(picture.At(10, 25), kGreen);
  EXPECT_EQ(picture.At(23, 2), kGreen);
  EXPECT_EQ(picture.At(27, 25), kWhite);
}

// The control and the player, with movies written to a folder of the test.
class MoviePlayerTest : public testing::Test {
 protected:
  MoviePlayerTest() : m_folder("movie_player") {}

  // The movie in a file of the folder.
  std::string Write(const std::string& name, const SwfBytes& bytes) {
    const std::string path = m_folder.File(name);
    EXPECT_TRUE(lwtest::WriteAll(path, bytes));
    return path;
  }

  // A player over the test's window, its file written from the bytes;
  // not started.
  std::unique_ptr<CFlashPlayerThread> Player(const SwfBytes& bytes, int loop, int timeoutMs,
                                             const std::string& name = "movie.swf") {
    std::unique_ptr<CFlashPlayerThread> player(
        new CFlashPlayerThread(m_window.Hwnd(), m_running, timeoutMs));
    player->m_rect = RECT{0, 0, 400, 400};
    player->m_loop = loop;
    const std::string path = Write(name, bytes);
    lstrcpynA(player->m_moviePath, path.c_str(), MAX_PATH);
    return player;
  }

  bool Ended(CFlashPlayerThread& player) {
    return lwtest::PumpUntil([&] { return !m_running.IsSet(); }, 10000) && player.Join(10000);
  }

  lwtest::CTempFolder m_folder;
  lwtest::CHostWindow m_window{100, 100, 400, 400};
  CEvent m_running;
};

// Three frames at 50 a second.
SwfBytes ThreeFrames() {
  CSwfWriter w(4000, 2000, 50 * 256);
  w.SetBackground(kBlue);
  w.ShowFrame();
  w.FsCommand("second", "frame");
  w.ShowFrame();
  w.ShowFrame();
  return w.Cws();
}

// What the control tells its host.
class CEventRecorder : public CFlashEvents {
 public:
  void OnReadyStateChange(long state) override { events.push_back("ready " + std::to_string(state)); }
  void OnProgress(long percent) override { events.push_back("progress " + std::to_string(percent)); }
  void OnFSCommand(const char* command, const char* args) override {
    events.push_back(std::string("command ") + command + " " + args);
  }
  std::vector<std::string> events;
};

TEST_F(MoviePlayerTest, ControlReadsPlaysStopsAndLoops) {
  CShockwaveFlash control;
  ASSERT_TRUE(control.Create(m_window.Hwnd(), RECT{0, 0, 200, 100}, 62311, WS_CHILD | WS_VISIBLE));
  CEventRecorder recorder;
  control.SetEventSink(&recorder);
  const std::string path = Write("three.swf", ThreeFrames());
  control.SetLoop(FALSE);
  control.SetMovie(path.c_str());
  // The movie is read whole: its file can go at once.
  EXPECT_TRUE(::DeleteFileA(path.c_str()));
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"progress 100", "ready 4"}));
  EXPECT_EQ(control.GetTotalFrames(), 3);
  EXPECT_EQ(control.GetFrameNum(), 0);
  EXPECT_EQ(control.GetFrameInterval(), 20u);
  control.Play();
  EXPECT_TRUE(lwtest::PumpUntil([&] { return !control.IsPlaying(); }, 10000));
  EXPECT_EQ(control.GetFrameNum(), 2);
  EXPECT_EQ(recorder.events.back(), "command second frame");
  // Looping goes round until Stop.
  control.SetLoop(TRUE);
  control.Play();
  EXPECT_TRUE(lwtest::PumpUntil([&] { return control.GetLoopCount() >= 2; }, 10000));
  control.Stop();
  const long stoppedAt = control.GetFrameNum();
  lwtest::FlushEvents(100);
  EXPECT_EQ(control.GetFrameNum(), stoppedAt);
  // Anything that is not a movie: no frames, no events.
  recorder.events.clear();
  const std::string junk = Write("junk.swf", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0});
  control.SetMovie(junk.c_str());
  control.Play();
  EXPECT_EQ(control.GetTotalFrames(), 0);
  EXPECT_EQ(control.GetFrameNum(), 0);
  EXPECT_FALSE(control.IsPlaying());
  EXPECT_TRUE(recorder.events.empty());
  control.DestroyWindow();
}

TEST_F(MoviePlayerTest, NonLoopingMovieEndsOnItsLastFrame) {
  std::unique_ptr<CFlashPlayerThread> player = Player(ThreeFrames(), 0, -1);
  ASSERT_TRUE(player->Start());
  EXPECT_TRUE(m_running.IsSet() || player->m_ended);
  ASSERT_TRUE(Ended(*player));
  EXPECT_EQ(player->m_host.m_flash.GetTotalFrames(), 3);
  EXPECT_EQ(player->m_host.m_flash.GetFrameNum(), 2);
  EXPECT_TRUE(player->m_ended);
  EXPECT_FALSE(lwtest::FileExists(player->m_moviePath));
  EXPECT_EQ(player->m_host.GetSafeHwnd(), nullptr);
}

TEST_F(MoviePlayerTest, LoopingMoviePlaysUntilEndAndItsFileGoes) {
  std::unique_ptr<CFlashPlayerThread> player = Player(ThreeFrames(), 1, -1);
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(lwtest::PumpUntil([&] { return player->m_host.m_flash.GetLoopCount() >= 2; }, 10000));
  EXPECT_TRUE(m_running.IsSet());
  EXPECT_TRUE(lwtest::FileExists(player->m_moviePath));
  player->End();
  EXPECT_FALSE(m_running.IsSet());
  ASSERT_TRUE(player->Join(10000));
  EXPECT_FALSE(lwtest::FileExists(player->m_moviePath));
}

TEST_F(MoviePlayerTest, TimedMovieEndsAtItsTimeOutEvenWhenLooping) {
  std::unique_ptr<CFlashPlayerThread> player = Player(ThreeFrames(), 1, 300);
  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(Ended(*player));
  EXPECT_GE(::GetTickCount() - start, 250u);
  EXPECT_FALSE(lwtest::FileExists(player->m_moviePath));
}

TEST_F(MoviePlayerTest, TimeOutOfZeroEndsOnlyThroughEnd) {
  // Untimed, this movie would end itself on its last frame at once.
  std::unique_ptr<CFlashPlayerThread> player = Player(ThreeFrames(), 0, 0);
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(lwtest::PumpUntil([&] { return player->m_host.m_flash.GetFrameNum() == 2; }, 10000));
  lwtest::FlushEvents(200);
  EXPECT_TRUE(m_running.IsSet());
  player->End();
  ASSERT_TRUE(player->Join(10000));
  EXPECT_FALSE(lwtest::FileExists(player->m_moviePath));
}

TEST_F(MoviePlayerTest, EndTwicePostsOnceAndResetsTheEventOnce) {
  // A player that never starts, whose thread id is this thread's: what
  // End posts lands in this thread's queue.
  std::unique_ptr<CFlashPlayerThread> player = Player(ThreeFrames(), 0, -1);
  player->m_nThreadID = ::GetCurrentThreadId();
  m_running.SetEvent();
  player->End();
  EXPECT_FALSE(m_running.IsSet());
  m_running.SetEvent();  // the next movie's
  player->End();
  EXPECT_TRUE(m_running.IsSet());
  int quits = 0;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ++quits;
  EXPECT_EQ(quits, 1);
  player->m_nThreadID = 0;
  player.reset();
  EXPECT_FALSE(lwtest::FileExists(m_folder.File("movie.swf")));
}

TEST_F(MoviePlayerTest, EndRacingTheThreadsOwnEnd) {
  // One-frame movies end themselves at once; the owner ends them at the
  // same time and deletes them straight after.
  CSwfWriter w(2000, 2000, 100 * 256);
  w.ShowFrame();
  const SwfBytes bytes = w.Fws();
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    std::unique_ptr<CFlashPlayerThread> player = Player(bytes, 0, -1);
    const std::string path = player->m_moviePath;
    ASSERT_TRUE(player->Start());
    if (i % 2) ::Sleep(i);
    player->End();
    EXPECT_FALSE(m_running.IsSet());
    player.reset();
    EXPECT_FALSE(lwtest::FileExists(path));
  }
}

TEST_F(MoviePlayerTest, ControlThatCannotBeMadeEndsTheMovie) {
  lwtest::CHostWindow gone(0, 0, 10, 10);
  const HWND parent = gone.Hwnd();
  gone.Destroy();
  std::unique_ptr<CFlashPlayerThread> player(new CFlashPlayerThread(parent, m_running, -1));
  const std::string path = Write("movie.swf", ThreeFrames());
  lstrcpynA(player->m_moviePath, path.c_str(), MAX_PATH);
  player->m_rect = RECT{0, 0, 100, 100};
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(player->Join(10000));
  EXPECT_FALSE(m_running.IsSet());
  EXPECT_TRUE(player->m_ended);
  EXPECT_FALSE(lwtest::FileExists(path));
}

// A player that notes whether COM was ready on its thread once the
// player had set the thread up.
class CComCheckingPlayer : public CFlashPlayerThread {
 public:
  using CFlashPlayerThread::CFlashPlayerThread;
  bool InitInstance() override {
    const bool result = CFlashPlayerThread::InitInstance();
    const HRESULT again = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(again)) ::CoUninitialize();
    comWasReady = again == S_FALSE;
    return result;
  }
  bool comWasReady = false;
};

TEST_F(MoviePlayerTest, PlayerThreadInitialisesCom) {
  CComCheckingPlayer player(m_window.Hwnd(), m_running, -1);
  player.m_rect = RECT{0, 0, 100, 100};
  lstrcpynA(player.m_moviePath, Write("movie.swf", ThreeFrames()).c_str(), MAX_PATH);
  ASSERT_TRUE(player.Start());
  ASSERT_TRUE(Ended(player));
  EXPECT_TRUE(player.comWasReady);
}

TEST_F(MoviePlayerTest, SquareShowsAtItsPlacesOnTheScreen) {
  // Four frames a second, looping: the square at (10, 10) pixels, then at
  // (100, 50), then gone; the movie (200 x 100) twice its size in the
  // 400 x 400 place, 100 pixels down.
  std::unique_ptr<CFlashPlayerThread> player = Player(SquareMovie(4 * 256).Cws(), 1, -1);
  POINT origin = {0, 0};
  ::ClientToScreen(m_window.Hwnd(), &origin);
  const POINT first = {origin.x + 40, origin.y + 140}, second = {origin.x + 220, origin.y + 220};
  auto at = [](POINT p) { return lwtest::ScreenPixel(p.x, p.y); };
  ASSERT_TRUE(player->Start());
  EXPECT_TRUE(lwtest::PumpUntil([&] { return at(first) == kRed && at(second) == kBlue; }, 10000));
  EXPECT_TRUE(lwtest::PumpUntil([&] { return at(second) == kRed && at(first) == kBlue; }, 10000));
  EXPECT_TRUE(lwtest::PumpUntil([&] { return at(second) == kBlue && at(first) == kBlue; }, 10000));
  EXPECT_EQ(lwtest::ScreenPixel(origin.x + 200, origin.y + 50), kBlue);
  player->End();
  ASSERT_TRUE(player->Join(10000));
  EXPECT_TRUE(lwtest::PumpUntil([&] { return at(first) == kWhite; }, 10000));
}

}  // namespace
