// The movie reader on movies written by the test writer: the header, the
// frames and their display lists, frame commands, the frame size, damage
// (which keeps the frames read before it), real writers' habits and
// hostile movies (which load, or are refused, within the budgets). Then
// what the control draws, read back from the screen at known frames, and
// the player thread with its end rules, its running event and its file.
#include <gtest/gtest.h>
#include <windows.h>

#include <math.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <objbase.h>
#include <zlib.h>

#include "framework/Sync.h"
#include "imaging/ImageLib.h"
#include "playback/movie/FlashPlayer.h"
#include "playback/movie/Movie.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"
#include "tests/support/sound_device.h"
#include "tests/support/swf_writer.h"

using lwtest::CSwfShape;
using lwtest::CSwfWriter;
using lwtest::ScreenProbe;
using lwtest::SwfAt;
using lwtest::SwfBytes;
using lwtest::SwfColourChange;
using lwtest::SwfPlace;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

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

bool Load(CMovie& movie, const SwfBytes& bytes) {
  return movie.Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// The main timeline's display list, lowest depth first.
std::vector<const MovieObject*> Objects(const CMovie& movie) {
  std::vector<const MovieObject*> out;
  auto add = [&](MovieObject* obj) {
    out.push_back(obj);
    return true;
  };
  ForEachMovieObject(movie.GetRoot().root, add);
  return out;
}

// The frame drawn into memory, for checks that need no screen.
std::vector<uint32_t> Drawn(CMovie& movie, int w, int h, bool* whole = nullptr) {
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  const MovieTarget target = {pixels.data(), w, h, w};
  const bool drawn = movie.Draw(target);
  if (whole) *whole = drawn;
  return pixels;
}

class CCommandRecorder : public CMovieHost {
 public:
  void OnCommand(const char* command, const char* args) override {
    commands.push_back(std::string(command) + " " + args);
  }
  std::vector<std::string> commands;
};

TEST(MovieReaderTest, HeaderFramesAndDisplayLists) {
  const CSwfWriter w = SquareMovie();
  struct Case {
    const char* name;
    SwfBytes bytes;
  } cases[] = {{"plain", w.Fws()}, {"compressed", w.Cws()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMovie movie;
    ASSERT_TRUE(Load(movie, c.bytes));
    EXPECT_EQ(movie.GetVersion(), 6);
    EXPECT_EQ(movie.GetFrameCount(), 3);
    EXPECT_EQ(movie.GetFrameRate256(), 24 * 256);
    EXPECT_EQ(movie.GetFrameRect().xMax, 4000);
    EXPECT_EQ(movie.GetFrameRect().yMax, 2000);
    ASSERT_NE(movie.GetDef(1), nullptr);
    EXPECT_EQ(movie.GetDef(1)->kind, kDefShape);
    // Forward through the frames, then back to the first (replayed).
    const struct {
      int frame;
      size_t count;
      float x, y;
    } frames[] = {{0, 1, 200, 200}, {1, 1, 2000, 1000}, {2, 0, 0, 0}, {0, 1, 200, 200}};
    for (const auto& f : frames) {
      SCOPED_TRACE(f.frame);
      movie.GotoFrame(f.frame);
      EXPECT_EQ(movie.GetCurrentFrame(), f.frame);
      EXPECT_EQ(movie.GetBackground(), kBlue);
      const std::vector<const MovieObject*> objects = Objects(movie);
      ASSERT_EQ(objects.size(), f.count);
      if (f.count == 0) continue;
      EXPECT_EQ(objects[0]->depth, 1);
      EXPECT_EQ(objects[0]->id, 1);
      EXPECT_EQ(objects[0]->def, movie.GetDef(1));
      EXPECT_EQ(objects[0]->matrix.tx, f.x);
      EXPECT_EQ(objects[0]->matrix.ty, f.y);
    }
    // Stepping goes the same way and round again.
    movie.Rewind();
    movie.Step(true);
    EXPECT_EQ(movie.GetCurrentFrame(), 1);
    movie.Step(true);
    movie.Step(true);
    EXPECT_EQ(movie.GetCurrentFrame(), 0);
    EXPECT_EQ(Objects(movie).size(), 1u);
    // Without looping it stays on its last frame.
    movie.Step(false);
    movie.Step(false);
    movie.Step(false);
    EXPECT_EQ(movie.GetCurrentFrame(), 2);
    EXPECT_FALSE(movie.IsPlaying());
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
  w.PlaceObject2(9, 7, false, nullptr);  // nothing is defined as 7
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
  CMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  std::vector<const MovieObject*> objects = Objects(movie);
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0]->depth, 2);
  EXPECT_EQ(objects[0]->def, movie.GetDef(2));
  EXPECT_EQ(objects[0]->colour.mult[0], 128);
  EXPECT_EQ(objects[0]->colour.add[2], 10);
  EXPECT_EQ(objects[0]->colour.mult[3], 256);
  EXPECT_EQ(objects[1]->depth, 5);
  EXPECT_EQ(objects[1]->def, movie.GetDef(1));
  EXPECT_EQ(objects[2]->depth, 9);
  EXPECT_EQ(objects[2]->def, nullptr);
  movie.Step(true);
  objects = Objects(movie);
  ASSERT_EQ(objects.size(), 3u);
  EXPECT_EQ(objects[0]->depth, 2);
  EXPECT_EQ(objects[0]->id, 2);
  EXPECT_EQ(objects[0]->matrix.a, 2.0f);
  EXPECT_EQ(objects[0]->matrix.b, 0.5f);
  EXPECT_EQ(objects[0]->matrix.d, 1.0f);
  EXPECT_EQ(objects[0]->matrix.tx, 1.0f);
  EXPECT_EQ(objects[1]->depth, 3);
  EXPECT_EQ(objects[1]->clipDepth, 4);
  EXPECT_EQ(objects[2]->depth, 5);
  EXPECT_EQ(objects[2]->id, 2);
  EXPECT_EQ(objects[2]->def, movie.GetDef(2));
}

TEST(MovieReaderTest, FrameCommandsComeWhenTheirFramesPlay) {
  CSwfWriter w(2000, 2000);
  w.ShowFrame();
  w.FsCommand("quit", "now");
  w.FsCommand("fullscreen", "true");
  w.ShowFrame();
  CMovie movie;
  CCommandRecorder recorder;
  movie.SetHost(&recorder);
  ASSERT_TRUE(Load(movie, w.Cws()));
  EXPECT_TRUE(recorder.commands.empty());
  movie.Step(true);
  EXPECT_EQ(recorder.commands, (std::vector<std::string>{"quit now", "fullscreen true"}));
  movie.Step(true);
  EXPECT_EQ(recorder.commands.size(), 2u);
}

TEST(MovieReaderTest, AJumpsFrameActsAfterTheActionsThatJumped) {
  // gotoAndPlay("end"), where the frame "end" stops: stopped there.
  CSwfWriter w(2000, 2000);
  w.DoAction(lwtest::CSwfActions().GotoLabel("end").Play());
  w.ShowFrame();
  w.ShowFrame();
  w.FrameLabel("end");
  w.DoAction(lwtest::CSwfActions().Stop());
  w.ShowFrame();
  w.ShowFrame();
  CMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  EXPECT_EQ(movie.GetCurrentFrame(), 2);
  EXPECT_FALSE(movie.IsPlaying());
  movie.Step(true);
  EXPECT_EQ(movie.GetCurrentFrame(), 2);
}

TEST(MovieReaderTest, FrameSizeOfPlainAndCompressedMovies) {
  CSwfWriter w = SquareMovie();
  CSwfWriter big(11000, 8000);
  big.ShowFrame();
  const struct {
    const char* name;
    SwfBytes bytes;
    int32_t cx, cy;
  } cases[] = {{"plain", w.Fws(), 200, 100},
               {"compressed", w.Cws(), 200, 100},
               {"550 x 400", big.Fws(), 550, 400},
               {"550 x 400 compressed", big.Cws(), 550, 400}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const MovieSize size = ReadMovieFrameSize(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    EXPECT_EQ(size.cx, c.cx);
    EXPECT_EQ(size.cy, c.cy);
  }
}

// The file length in a movie's header.
void SetLength(SwfBytes& movie, size_t length) {
  for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<uint8_t>(length >> (8 * i));
}

// The square movie with a tag between its second and third frames.
SwfBytes WithTagInside(int code, const SwfBytes& body, int64_t declaredLength = -1,
                       bool longForm = false) {
  CSwfWriter w(4000, 2000);
  w.SetBackground(kBlue);
  CSwfShape square;
  square.Rectangle(0, 0, 400, 400, square.AddFill(kRed));
  w.DefineShape(1, square);
  w.PlaceObject(1, 1, SwfAt(200, 200));
  w.ShowFrame();
  w.MoveObject(1, SwfAt(2000, 1000));
  w.ShowFrame();
  w.Tag(code, body, longForm, declaredLength);
  w.RemoveObject2(1);
  w.ShowFrame();
  return w.Fws();
}

TEST(MovieReaderTest, DamageKeepsTheFramesReadBeforeIt) {
  const CSwfWriter good = SquareMovie();
  const SwfBytes fws = good.Fws(), cws = good.Cws();
  struct Case {
    std::string name;
    SwfBytes bytes;
    int frames;
  };
  std::vector<Case> cases;
  cases.push_back({"nothing", {}, 0});
  cases.push_back({"header cut", SwfBytes(fws.begin(), fws.begin() + 7), 0});
  cases.push_back({"not a movie", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0x78, 0, 0, 0}, 0});
  SwfBytes lzma = fws;
  lzma[0] = 'Z';
  cases.push_back({"another compression", lzma, 0});
  SwfBytes badZlib = cws;
  for (size_t i = 10; i < badZlib.size(); ++i) badZlib[i] = static_cast<uint8_t>(i * 37);
  cases.push_back({"bad zlib data", badZlib, 0});
  cases.push_back({"compressed, no stream", SwfBytes(cws.begin(), cws.begin() + 8), 0});
  {
    CSwfWriter w = SquareMovie();
    w.fileLengthOverride = 4;
    cases.push_back({"length below the header", w.Fws(), 0});
  }
  {
    CSwfWriter empty(0, 2000);
    empty.ShowFrame();
    cases.push_back({"empty frame rectangle", empty.Fws(), 0});
    CSwfWriter noFrames(2000, 2000);
    noFrames.SetBackground(kRed);
    cases.push_back({"no frames", noFrames.Fws(), 0});
  }
  // A tag that runs past the bytes ends the movie where it starts.
  cases.push_back({"tag length past the end", WithTagInside(9, {1, 2, 3}, 1000), 2});
  cases.push_back({"long tag length past the end", WithTagInside(9, {1, 2, 3}, 0x7FFFFFFF, true), 2});
  // Everything up to the third frame's tags, cut.
  {
    SwfBytes cut(fws.begin(), fws.end() - 6);
    SetLength(cut, cut.size());
    cases.push_back({"plain, cut in the last frame", cut, 2});
    SwfBytes stream = good.Cws();
    cases.push_back({"compressed, cut in the stream", SwfBytes(stream.begin(), stream.end() - 8), 2});
  }
  // Damage inside a whole tag loses only what that tag defines.
  cases.push_back({"background tag too short", WithTagInside(9, {1, 2}), 3});
  cases.push_back({"placement too short", WithTagInside(4, {1}), 3});
  cases.push_back({"removal too short", WithTagInside(28, {1}), 3});
  cases.push_back({"shape too short", WithTagInside(2, {7, 0, 0x50}), 3});
  cases.push_back({"unknown fill type", WithTagInside(2, {7, 0, 0, 1, 0x77, 0, 0, 0, 0, 0}), 3});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMovie movie;
    EXPECT_EQ(movie.Load(c.bytes.data(), static_cast<uint32_t>(c.bytes.size())), c.frames > 0);
    EXPECT_EQ(movie.GetFrameCount(), c.frames);
    EXPECT_EQ(movie.IsEmpty(), c.frames == 0);
    movie.Step(true);
    // Above the movie's picture: its background (white without one).
    EXPECT_EQ(Drawn(movie, 8, 8)[0] & 0xFFFFFF, c.frames ? 0x0000FFu : 0xFFFFFFu);
  }
  // The same movie once more is sound again.
  CMovie movie;
  EXPECT_FALSE(Load(movie, badZlib));
  EXPECT_TRUE(Load(movie, cws));
  EXPECT_EQ(movie.GetFrameCount(), 3);
}

TEST(MovieReaderTest, RealWritersHabitsPlay) {
  struct Case {
    std::string name;
    SwfBytes bytes;
    int frames;
  };
  std::vector<Case> cases;
  {
    // Encoders that leave a placeholder length: more bytes than the file.
    CSwfWriter w = SquareMovie();
    w.fileLengthOverride = 1 << 24;
    cases.push_back({"plain, length past the file", w.Fws(), 3});
    cases.push_back({"compressed, length past the stream", w.Cws(), 3});
    w.fileLengthOverride = 0xFFFFFFF0;
    cases.push_back({"plain, huge length", w.Fws(), 3});
    cases.push_back({"compressed, huge length", w.Cws(), 3});
  }
  {
    CSwfWriter w = SquareMovie();
    w.frameCountOverride = 0;
    cases.push_back({"frame count 0", w.Fws(), 3});
  }
  {
    // FreeCharacter (tag 3) between frames, and the shape defined again in
    // every frame (the first definition stays).
    CSwfWriter w(4000, 2000);
    w.SetBackground(kBlue);
    for (int f = 0; f < 3; ++f) {
      CSwfShape square;
      square.Rectangle(0, 0, 400, 400, square.AddFill(f == 0 ? kRed : kGreen));
      w.DefineShape(1, square);
      if (f == 0) w.PlaceObject(1, 1, SwfAt(200, 200));
      w.ShowFrame();
      w.Tag(3, {1, 0});
    }
    cases.push_back({"free character and definitions again", w.Fws(), 3});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMovie movie;
    ASSERT_TRUE(Load(movie, c.bytes));
    EXPECT_EQ(movie.GetFrameCount(), c.frames);
    const std::vector<uint32_t> pixels = Drawn(movie, 200, 100);
    EXPECT_EQ(pixels[20 * 200 + 20] & 0xFFFFFF, 0xFF0000u);  // the red square
    EXPECT_EQ(pixels[50 * 200 + 150] & 0xFFFFFF, 0x0000FFu);
  }
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
  s.Rectangle(0, 0, 200, 100, s.AddGradient(0x12, {{0, kRed}, {128, kGreen}, {255, kBlue}},
                                             lwtest::SwfGradientBox(0, 0, 200, 100)));
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
    CMovie movie;
    movie.Load(cut.data(), static_cast<uint32_t>(cut.size()));
    EXPECT_LE(movie.GetFrameCount(), 4) << n;
    for (int f = 0; f < movie.GetFrameCount(); ++f) {
      movie.Step(true);
      Drawn(movie, 16, 16);
    }
  }
  for (size_t i = 8; i < fws.size(); ++i) {
    for (uint8_t flip : {0xFF, 0x01, 0x80}) {
      SwfBytes spoilt = fws;
      spoilt[i] ^= flip;
      CMovie movie;
      movie.Load(spoilt.data(), static_cast<uint32_t>(spoilt.size()));
      for (int f = 0; f < movie.GetFrameCount() && f < 8; ++f) {
        movie.Step(true);
        Drawn(movie, 16, 16);
      }
    }
  }
}

void Put16(SwfBytes& out, int v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A tag's header and body appended to out.
void PutTag(SwfBytes& out, int code, const SwfBytes& body) {
  if (body.size() < 63) {
    Put16(out, code << 6 | static_cast<int>(body.size()));
  } else {
    Put16(out, code << 6 | 0x3F);
    Put16(out, static_cast<int>(body.size() & 0xFFFF));
    Put16(out, static_cast<int>(body.size() >> 16));
  }
  out.insert(out.end(), body.begin(), body.end());
}

// A compressed 1920 x 1080 movie: the writer's tags, then `count` times
// the repeated bytes, then the closing tags, deflated as they come (the
// whole never sits in memory).
SwfBytes HugeMovie(const CSwfWriter& start, const SwfBytes& repeated, uint32_t count,
                   const SwfBytes& closing) {
  const SwfBytes head = start.Fws();
  const uint64_t length = head.size() - 2 + repeated.size() * uint64_t(count) + closing.size() + 2;
  SwfBytes out(head.begin(), head.begin() + 8);
  out[0] = 'C';
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  z_stream z = {};
  deflateInit(&z, 6);
  uint8_t buffer[1 << 16];
  auto feed = [&](const uint8_t* p, size_t n, int flush) {
    z.next_in = const_cast<Bytef*>(p);
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      deflate(&z, flush);
      out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (z.avail_out == 0);
  };
  feed(head.data() + 8, head.size() - 10, Z_NO_FLUSH);  // without the End tag
  // The repeated bytes in chunks of about 64 KB (one piece when larger).
  const uint32_t each = static_cast<uint32_t>(std::max<size_t>(1, 65536 / repeated.size()));
  SwfBytes chunk;
  for (uint32_t i = 0; i < each && i < count; ++i) chunk.insert(chunk.end(), repeated.begin(), repeated.end());
  for (uint32_t done = 0; done < count;) {
    const uint32_t n = count - done < each ? count - done : each;
    feed(chunk.data(), n * repeated.size(), Z_NO_FLUSH);
    done += n;
  }
  SwfBytes end = closing;
  end.push_back(0);
  end.push_back(0);
  feed(end.data(), end.size(), Z_FINISH);
  deflateEnd(&z);
  return out;
}

// The bytes of one fill's shape (id 1) of 2 x `pairs` (even) minimal
// straight edges, one twip forth and back: ten bits each.
SwfBytes EdgesShape(uint32_t pairs) {
  // The bits: a change to fill 1, the edge pairs, the shape's end.
  auto bits = [](uint32_t n) {
    SwfBytes out;
    int bit = 0;
    auto put = [&](uint32_t v, int count) {
      for (int i = count - 1; i >= 0; --i) {
        if (bit == 0) out.push_back(0);
        if ((v >> i) & 1) out.back() |= static_cast<uint8_t>(0x80 >> bit);
        bit = (bit + 1) & 7;
      }
    };
    put(0x09, 7);  // 0 00100 1
    for (uint32_t i = 0; i < n; ++i) {
      put(0x301, 10);  // 11 0000 0 0 01: +1
      put(0x303, 10);  // 11 0000 0 0 11: -1
    }
    put(0, 6);
    return out;
  };
  // Past the first byte, two pairs take five bytes and repeat: the first
  // byte, blocks of two pairs, then the last two pairs and the end.
  const SwfBytes two = bits(2), four = bits(4);
  SwfBytes body = {1, 0, 0, 1, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x10};
  body.push_back(two[0]);
  for (uint32_t i = 0; i + 1 < pairs / 2; ++i) body.insert(body.end(), four.begin() + 1, four.begin() + 6);
  body.insert(body.end(), two.begin() + 1, two.end());
  return body;
}

TEST(MovieBudgetTest, HostileMoviesLoadOrAreRefusedWithinBudgets) {
  struct Case {
    std::string name;
    SwfBytes bytes;
  };
  std::vector<Case> cases;
  const CSwfWriter screen(38400, 21600);
  {
    // One shape of 8 million and one of 32 million edges.
    for (uint32_t edges : {8u << 20, 32u << 20}) {
      SwfBytes shape;
      PutTag(shape, 2, EdgesShape(edges / 2));
      SwfBytes rest;
      PutTag(rest, 4, {1, 0, 1, 0, 0});  // shape 1 at depth 1
      PutTag(rest, 1, {});
      cases.push_back({std::to_string(edges >> 20) + "M edges", HugeMovie(screen, shape, 1, rest)});
    }
  }
  // The square of the rest.
  CSwfShape square;
  square.Rectangle(0, 0, 200, 200, square.AddFill(kRed));
  {
    // 4 million moves of one object, in one frame.
    CSwfWriter w(38400, 21600);
    w.DefineShape(1, square);
    w.PlaceObject(1, 1, SwfAt(0, 0));
    SwfBytes move;
    PutTag(move, 26, {0x01, 1, 0});
    SwfBytes end;
    PutTag(end, 1, {});
    cases.push_back({"4M moves", HugeMovie(w, move, 4u << 20, end)});
  }
  {
    // 65,535 objects placed at falling depths.
    CSwfWriter w(38400, 21600);
    w.DefineShape(1, square);
    for (int depth = 65535; depth >= 1; --depth) {
      const SwfPlace at = SwfAt((depth % 190) * 200, (depth / 190) % 100 * 200);
      w.PlaceObject2(depth, 1, false, &at);
    }
    w.ShowFrame();
    cases.push_back({"65,535 objects at falling depths", w.Cws()});
  }
  {
    // 2,000 huge curves on bounds of 2^30, filled and drawn with the
    // widest line: loops of 65,000 twips each way through the screen.
    CSwfShape curves;
    curves.SetStyles(0, curves.AddFill(kGreen), curves.AddLine(65535, kBlue));
    curves.MoveTo(19200, 10800);
    for (int i = 0; i < 2000; ++i) {
      const int d = i % 2 ? -65000 : 65000, e = i % 4 < 2 ? 65000 : -65000;
      curves.CurveTo(19200 + d, 10800 + e, 19200 + (i % 3 - 1) * 100, 10800);
    }
    CSwfWriter w(38400, 21600);
    w.DefineShape(1, curves, 1, {-(1 << 30), (1 << 30) - 1, -(1 << 30), (1 << 30) - 1});
    SwfPlace huge = SwfAt(0, 0);
    huge.scaleX = huge.scaleY = 30;
    w.PlaceObject(1, 1, huge);
    w.PlaceObject(1, 2, SwfAt(0, 0));
    w.ShowFrame();
    cases.push_back({"2,000 huge curves", w.Fws()});
  }
  {
    // 120 MB of RemoveObject2, compressed.
    SwfBytes remove, end;
    PutTag(remove, 28, {1, 0});
    PutTag(end, 1, {});
    cases.push_back({"120 MB of RemoveObject2", HugeMovie(screen, remove, 30u << 20, end)});
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMovie movie;
    const bool loaded = Load(movie, c.bytes);
    c.bytes = SwfBytes();
    MovieBudget& budget = movie.GetBudget();
    EXPECT_LE(budget.memoryPeak, budget.memoryLimit);
    if (!loaded) continue;
    for (int step = 0; step < 3; ++step) {
      movie.Step(true);
      EXPECT_LE(budget.stepTags, budget.stepTagLimit + 1);
      bool whole = false;
      Drawn(movie, 1920, 1080, &whole);
      EXPECT_LE(budget.frameWork, budget.frameWorkLimit + (1u << 20));
      EXPECT_EQ(whole, !budget.frameCut);
    }
    EXPECT_LE(budget.memoryPeak, budget.memoryLimit);
  }
}

TEST(MovieBudgetTest, TheDisplayListHoldsEveryDepthInOrder) {
  CSwfShape square;
  square.Rectangle(0, 0, 20, 20, square.AddFill(kRed));
  CSwfWriter w(2000, 2000);
  w.DefineShape(1, square);
  for (int depth = 65535; depth >= 1; --depth) w.PlaceObject2(depth, 1, false, nullptr);
  w.ShowFrame();
  for (int depth = 1; depth <= 65535; depth += 2) w.RemoveObject2(depth);
  w.ShowFrame();
  CMovie movie;
  ASSERT_TRUE(Load(movie, w.Cws()));
  std::vector<const MovieObject*> objects = Objects(movie);
  ASSERT_EQ(objects.size(), 65535u);
  for (size_t i = 0; i < objects.size(); ++i) ASSERT_EQ(objects[i]->depth, i + 1);
  movie.Step(true);
  objects = Objects(movie);
  ASSERT_EQ(objects.size(), 32767u);
  for (size_t i = 0; i < objects.size(); ++i) ASSERT_EQ(objects[i]->depth, 2 * (i + 1));
}

// 16-bit samples as the bytes of a raw sound.
SwfBytes RawSamples(const std::vector<int16_t>& samples) {
  SwfBytes out;
  for (int16_t v : samples) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  }
  return out;
}

// The mixed sound's left channel, `frames` of it.
std::vector<int16_t> Mixed(CMovie& movie, uint32_t frames) {
  std::vector<int16_t> stereo(2 * frames), left(frames);
  movie.MixSound(stereo.data(), frames);
  for (uint32_t i = 0; i < frames; ++i) {
    EXPECT_EQ(stereo[2 * i], stereo[2 * i + 1]) << "a mono sound in both channels, " << i;
    left[i] = stereo[2 * i];
  }
  return left;
}

TEST(MovieSoundTest, EventSoundsPlayAtTheirRateLoopAndStop) {
  // A ramp of 1,000 samples at 22 kHz (each mixed twice at 44.1 kHz),
  // played twice; and an ADPCM sine at 11 kHz.
  std::vector<int16_t> ramp(1000), sine(6000);
  for (int i = 0; i < 1000; ++i) ramp[i] = static_cast<int16_t>(i * 20 - 10000);
  for (int i = 0; i < 6000; ++i) sine[i] = static_cast<int16_t>(12000 * sin(i * 2 * 3.14159265 * 440 / 11025));
  CSwfWriter w(2000, 2000);
  w.DefineSound(1, 3 << 4 | 2 << 2 | 2, 1000, RawSamples(ramp));
  w.DefineSound(2, 1 << 4 | 1 << 2 | 2, 6000, lwtest::SwfAdpcm(sine));
  w.StartSound(1, false, 2);
  w.ShowFrame();
  w.StartSound(2);
  w.ShowFrame();
  w.StartSound(2, true);
  w.ShowFrame();
  CMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  movie.PrepareSounds();
  movie.Rewind();
  EXPECT_TRUE(movie.HasSound());
  ASSERT_TRUE(movie.IsSounding());
  const std::vector<int16_t> twice = Mixed(movie, 4100);
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(twice[i], ramp[(i / 2) % 1000]) << i;
  EXPECT_EQ(twice[4050], 0) << "silence after the second time";
  EXPECT_FALSE(movie.IsSounding());
  movie.Step(true);
  // The ADPCM sine at 11 kHz, each sample four times: near its samples.
  const std::vector<int16_t> adpcm = Mixed(movie, 4 * 5000);
  int worst = 0;
  for (int i = 0; i < 5000; ++i) worst = std::max(worst, std::abs(adpcm[4 * i] - sine[i]));
  EXPECT_LT(worst, 1200) << "ADPCM keeps near the waveform";
  EXPECT_GT(std::abs(adpcm[4 * 1000]), 0);
  movie.Step(true);  // its stop
  EXPECT_FALSE(movie.IsSounding());
  // Without a host nothing decodes MP3: a silent MP3 sound is silent, and
  // the movie plays on.
  CSwfWriter mp3(2000, 2000);
  SwfBytes frames = {0, 0};  // the samples to skip
  const SwfBytes silent = lwtest::SilentMp3(4);
  frames.insert(frames.end(), silent.begin(), silent.end());
  mp3.DefineSound(1, 2 << 4 | 3 << 2 | 2 | 1, 4 * 1152, frames);
  mp3.StartSound(1);
  mp3.ShowFrame();
  CMovie m;
  ASSERT_TRUE(Load(m, mp3.Fws()));
  m.PrepareSounds();
  m.Rewind();
  EXPECT_FALSE(m.IsSounding());
}

TEST(MovieSoundTest, TheStreamFollowsTheFramesPlayedAndStopsWithThem) {
  // 44.1 kHz at 30 frames a second: 1,470 samples a frame, frame f's of
  // the value 1,000 (f + 1); the third frame stops.
  CSwfWriter w(2000, 2000, 30 * 256);
  const int format = 3 << 4 | 3 << 2 | 2;
  w.SoundStreamHead(format, 1470);
  for (int f = 0; f < 4; ++f) {
    w.SoundStreamBlock(RawSamples(std::vector<int16_t>(1470, static_cast<int16_t>(1000 * (f + 1)))));
    if (f == 2) w.DoAction(lwtest::CSwfActions().Stop());
    w.ShowFrame();
  }
  CMovie movie;
  ASSERT_TRUE(Load(movie, w.Fws()));
  movie.PrepareSounds();
  movie.Rewind();
  ASSERT_TRUE(movie.IsSounding());
  // A frame's time of it at each frame played: each frame's samples.
  EXPECT_EQ(Mixed(movie, 1470)[500], 1000);
  movie.Step(true);
  EXPECT_EQ(Mixed(movie, 1470)[400], 2000);
  movie.Step(true);
  EXPECT_EQ(Mixed(movie, 1470)[900], 3000);
  movie.Step(true);  // stopped on the third frame
  EXPECT_FALSE(movie.IsSounding());
  // Played again from the first frame, it starts there again.
  movie.Rewind();
  EXPECT_EQ(Mixed(movie, 100)[50], 1000);
}

// A control on a window of the test, driven frame by frame (no timer) by// A control on a window of the test, driven frame by frame (no timer) by
// a clock the test sets; what it draws is read back from the screen.
class CDrivenControl : public CShockwaveFlash {
 public:
  DWORD clock = 1000;
  int timers = 0;

 protected:
  void SetFrameTimer(UINT ms) override {
    if (ms) ++timers;
  }
  DWORD GetClockMs() const override { return clock; }
};

class MovieScreenTest : public testing::Test {
 protected:
  MovieScreenTest() : m_folder("movie_screen") {}

  // Shows the movie's first frame in a control of w x h, playing.
  void Show(const SwfBytes& movie, int w, int h, BOOL loop = TRUE) {
    m_window.reset(new lwtest::CHostWindow(100, 100, w, h));
    const std::string path = m_folder.File("shown.swf");
    ASSERT_TRUE(lwtest::WriteAll(path, movie));
    ASSERT_TRUE(m_control.Create(m_window->Hwnd(), RECT{0, 0, w, h}, 62311, WS_CHILD | WS_VISIBLE));
    m_control.SetLoop(loop);
    m_control.SetMovie(path.c_str());
    m_control.Play();
    ::RedrawWindow(m_control.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) m_control.AdvanceFrame();
  }
  // "" when every probe shows its colour on the screen.
  std::string Probe(const std::vector<ScreenProbe>& probes) {
    POINT origin = {0, 0};
    ::ClientToScreen(m_control.GetSafeHwnd(), &origin);
    return lwtest::ProbeScreen(probes, origin, 5000);
  }
  void TearDown() override {
    if (m_control.GetSafeHwnd()) m_control.DestroyWindow();
  }

  lwtest::CTempFolder m_folder;
  std::unique_ptr<lwtest::CHostWindow> m_window;
  CDrivenControl m_control;
};

TEST_F(MovieScreenTest, SquareAtItsPlacesKeepingTheAspect) {
  // 200 x 100 into 400 x 400: twice the size, 100 pixels down.
  Show(SquareMovie().Cws(), 400, 400);
  EXPECT_EQ(Probe({{"square", 30, 130, kRed},
                   {"its last pixel", 59, 159, kRed},
                   {"right of it", 61, 130, kBlue},
                   {"above the movie", 30, 50, kBlue},
                   {"below the movie", 30, 350, kBlue}}),
            "");
  Steps(1);
  EXPECT_EQ(Probe({{"moved", 210, 210, kRed}, {"where it was", 30, 130, kBlue}, {"its corner", 238, 238, kRed}}), "");
  Steps(1);
  EXPECT_EQ(Probe({{"removed", 210, 210, kBlue}, {"and not back", 30, 130, kBlue}}), "");
}

// Writers leave a shape's own rectangle loose or wrong: a square up and
// left of its origin, in a rectangle that holds none of it, moved across
// the movie and then turning, leaves nothing where it was.
TEST_F(MovieScreenTest, AShapeOutsideItsOwnRectangleLeavesNoTrail) {
  CSwfWriter w(4000, 2000);
  w.SetBackground(kBlue);
  CSwfShape square;
  square.SetStyles(0, square.AddFill(kRed), square.AddLine(100, kGreen));
  square.MoveTo(-400, -400);
  for (const POINT& p : {POINT{0, -400}, POINT{0, 0}, POINT{-400, 0}, POINT{-400, -400}}) square.LineTo(p.x, p.y);
  w.DefineShape(1, square, 3, {0, 4000, 0, 2000});
  w.PlaceObject(1, 1, SwfAt(1000, 1000));
  w.ShowFrame();
  w.MoveObject(1, SwfAt(3000, 1000));
  w.ShowFrame();
  SwfPlace turned = SwfAt(1000, 1000);
  turned.scaleX = turned.scaleY = 0;
  turned.rotate0 = 1;
  turned.rotate1 = -1;
  w.MoveObject(1, turned);
  w.ShowFrame();
  // Twice the size, 100 pixels down: the square at (60, 160)-(100, 200)
  // with its line 5 pixels each side.
  Show(w.Fws(), 400, 400);
  EXPECT_EQ(Probe({{"square", 80, 180, kRed}, {"its line", 59, 180, kGreen}}), "");
  Steps(1);
  EXPECT_EQ(Probe({{"moved", 280, 180, kRed},
                   {"where it was", 80, 180, kBlue},
                   {"its line's outer edge", 58, 180, kBlue},
                   {"its line's corner", 98, 198, kBlue}}),
            "");
  // Turned a quarter about its origin: now right of it and up.
  Steps(1);
  EXPECT_EQ(Probe({{"turned", 120, 180, kRed}, {"where it was", 280, 180, kBlue}}), "");
}

TEST_F(MovieScreenTest, FillsLinesCurvesAndColours) {
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
  // Shape 4: half-transparent black, and a bitmap fill of no bitmap.
  CSwfShape special;
  special.Rectangle(0, 0, 200, 200, special.AddFill(kBlack, 128));
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
  // Half-transparent blue over the red of shape 3's first copy.
  CSwfShape over;
  over.Rectangle(0, 0, 100, 100, over.AddFill(kBlue, 128));
  w.DefineShape(5, over, 3);
  w.PlaceObject(5, 6, SwfAt(0, 1200));
  w.ShowFrame();
  Show(w.Fws(), 100, 100);
  EXPECT_EQ(Probe({{"fill", 10, 10, kRed},
                   {"line", 0, 25, kGreen},
                   {"line at the bottom", 50, 49, kGreen},
                   {"hole", 25, 25, kWhite},
                   {"edge of the hole", 19, 25, kRed},
                   {"curve inside", 60, 10, kBlue},
                   {"curve's bulge", 68, 10, kBlue},
                   {"outside the curve", 69, 1, kWhite},
                   {"first group", 12, 62, kRed},
                   {"second group over the first", 10, 70, kGreen},
                   {"colour transform", 32, 62, kGreen},
                   {"half transparent over the background", 60, 65, RGB(127, 127, 127), 1},
                   {"half transparent over a shape", 2, 62, RGB(127, 0, 128), 1},
                   {"a bitmap fill of no bitmap draws nothing", 80, 65, kWhite}}),
            "");
}

TEST_F(MovieScreenTest, GradientsAtBothEndsAndTheMiddle) {
  CSwfWriter w(10000, 2000);  // 500 x 100 pixels, five boxes of 100
  w.SetBackground(kWhite);
  CSwfShape g;
  using lwtest::SwfGradientBox;
  // Linear, three stops.
  g.Rectangle(0, 0, 2000, 2000, g.AddGradient(0x10, {{0, kRed}, {128, kGreen}, {255, kBlue}},
                                              SwfGradientBox(0, 0, 2000, 2000)));
  // Radial: white in the middle, black at the circle and beyond it.
  g.Rectangle(2000, 0, 2000, 2000, g.AddGradient(0x12, {{0, kWhite}, {255, kBlack}},
                                                 SwfGradientBox(2000, 0, 2000, 2000)));
  // Black to white over the first half: reflected on the top, repeated below.
  g.Rectangle(4000, 0, 2000, 1000, g.AddGradient(0x10, {{0, kBlack}, {255, kWhite}},
                                                 SwfGradientBox(4000, 0, 1000, 1000), 1));
  g.Rectangle(4000, 1000, 2000, 1000, g.AddGradient(0x10, {{0, kBlack}, {255, kWhite}},
                                                    SwfGradientBox(4000, 1000, 1000, 1000), 2));
  // Focal: the focal point three quarters out to the right shows the first stop.
  g.Rectangle(6000, 0, 2000, 2000, g.AddGradient(0x13, {{0, kRed}, {255, kBlue}},
                                                 SwfGradientBox(6000, 0, 2000, 2000), 0, 0, 0.75));
  // Red to blue in linear light: brighter in the middle.
  g.Rectangle(8000, 0, 2000, 2000, g.AddGradient(0x10, {{0, kRed}, {255, kBlue}},
                                                 SwfGradientBox(8000, 0, 2000, 2000), 0, 1));
  w.DefineShape(1, g, 4);
  w.PlaceObject(1, 1, SwfAt(0, 0));
  w.ShowFrame();
  Show(w.Cws(), 500, 100);
  EXPECT_EQ(Probe({{"linear, first stop", 0, 50, kRed, 8},
                   {"linear, middle stop", 50, 50, kGreen, 8},
                   {"linear, last stop", 99, 50, kBlue, 8},
                   {"radial, middle", 150, 50, kWhite, 8},
                   {"radial, half way", 175, 50, RGB(128, 128, 128), 8},
                   {"radial, past the circle", 101, 1, kBlack},
                   {"reflected, a quarter", 212, 25, RGB(64, 64, 64), 8},
                   {"reflected, back down", 262, 25, RGB(191, 191, 191), 8},
                   {"repeated, a quarter", 212, 75, RGB(64, 64, 64), 8},
                   {"repeated, again", 262, 75, RGB(64, 64, 64), 8},
                   {"focal point", 387, 50, kRed, 12},
                   {"left of the focal point", 310, 50, RGB(31, 0, 224), 12},
                   {"linear light, middle", 450, 50, RGB(188, 0, 188), 8}}),
            "");
}

TEST_F(MovieScreenTest, EdgesAreAntiAliasedAndAlphaIsComposited) {
  CSwfWriter w(2000, 2000);  // 100 x 100
  w.SetBackground(kWhite);
  CSwfShape s;
  // A black square whose left edge falls half way through pixel 10.
  s.Rectangle(210, 200, 400, 400, s.AddFill(kBlack));
  w.DefineShape(1, s);
  w.PlaceObject(1, 1, SwfAt(0, 0));
  // A red square at a quarter of its alpha through a colour transform.
  CSwfShape t;
  t.Rectangle(0, 0, 400, 400, t.AddFill(kRed));
  w.DefineShape(2, t);
  SwfColourChange quarter;
  quarter.mult[3] = 64;
  w.PlaceObject2(2, 2, false, nullptr);
  w.PlaceObject2(2, 2, true, nullptr, &quarter);
  w.ShowFrame();
  Show(w.Fws(), 100, 100);
  EXPECT_EQ(Probe({{"half covered", 10, 25, RGB(128, 128, 128), 3},
                   {"covered", 11, 25, kBlack},
                   {"a quarter of red over white", 5, 5, RGB(255, 191, 191), 2},
                   {"a quarter of red over black", 15, 12, RGB(64, 0, 0), 2}}),
            "");
}

TEST_F(MovieScreenTest, LineCapsJoinsAndWidthsScaledWithTheMatrix) {
  CSwfWriter w(6000, 2000);  // 300 x 100
  w.SetBackground(kWhite);
  // Lines 10 pixels wide from x 20 to 80: square, no and round caps.
  const int caps[3] = {2, 1, 0};
  for (int i = 0; i < 3; ++i) {
    CSwfShape s;
    s.SetStyles(0, 0, s.AddLine2(200, kBlack, caps[i], 0, caps[i]));
    s.MoveTo(400, 400 + 600 * i);
    s.LineTo(1600, 400 + 600 * i);
    w.DefineShape(1 + i, s, 4);
    w.PlaceObject(1 + i, 1 + i, SwfAt(0, 0));
  }
  // Right-angled corners at (180, 20) and (280, 20): miter, then bevel.
  for (int i = 0; i < 2; ++i) {
    CSwfShape s;
    s.SetStyles(0, 0, s.AddLine2(200, kBlack, 1, i == 0 ? 2 : 1, 1, 4));
    s.MoveTo(2400 + 2000 * i, 400);
    s.LineTo(3600 + 2000 * i, 400);
    s.LineTo(3600 + 2000 * i, 1600);
    w.DefineShape(4 + i, s, 4);
    w.PlaceObject(4 + i, 4 + i, SwfAt(0, 0));
  }
  // A line 2 pixels wide, placed four times its size: 8 pixels wide.
  CSwfShape thin;
  thin.SetStyles(0, 0, thin.AddLine(40, kBlue));
  thin.MoveTo(0, 0);
  thin.LineTo(0, 400);
  w.DefineShape(6, thin);
  SwfPlace big = SwfAt(2000, 400);
  big.scaleX = big.scaleY = 4;
  w.PlaceObject(6, 6, big);
  w.ShowFrame();
  Show(w.Fws(), 300, 100);
  EXPECT_EQ(Probe({{"square cap", 16, 20, kBlack},
                   {"no cap", 16, 50, kWhite},
                   {"inside the line without caps", 22, 50, kBlack},
                   {"round cap", 16, 80, kBlack},
                   {"outside the round cap's corner", 15, 75, kWhite, 10},
                   {"miter's corner", 184, 16, kBlack},
                   {"bevel's corner", 284, 16, kWhite},
                   {"bevel's chord", 282, 18, kBlack},
                   {"scaled line, inside", 103, 40, kBlue},
                   {"scaled line, outside", 105, 40, kWhite}}),
            "");
}

TEST_F(MovieScreenTest, ExtremeGeometryDraws) {
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
  Show(w.Fws(), 50, 50);
  EXPECT_EQ(Probe({{"left half", 10, 25, kGreen}, {"top of it", 23, 2, kGreen}, {"right half", 27, 25, kWhite}}), "");
}

// A 20-pixel square of the colour as shape id, for timelines of squares.
void DefineSquare(CSwfWriter& w, int id, COLORREF colour) {
  CSwfShape square;
  square.Rectangle(0, 0, 400, 400, square.AddFill(colour));
  w.DefineShape(id, square);
}

TEST_F(MovieScreenTest, ClipsPlayTheirOwnFramesNestedAtTheMoviesRate) {
  CSwfWriter w(2000, 1000);  // 100 x 50
  w.SetBackground(kWhite);
  DefineSquare(w, 1, kRed);
  DefineSquare(w, 2, kGreen);
  DefineSquare(w, 3, kBlue);
  // Clip 10: red, then green, then (never shown) blue, whose action goes
  // back to the first frame and plays.
  CSwfWriter clip(0, 0);
  clip.PlaceObject2(1, 1, false, nullptr);
  clip.ShowFrame();
  clip.PlaceObject2(1, 2, true, nullptr);
  clip.ShowFrame();
  clip.PlaceObject2(1, 3, true, nullptr);
  clip.DoAction(lwtest::CSwfActions().GotoPushedFrame(1, true));
  clip.ShowFrame();
  w.DefineSprite(10, clip);
  // Clip 11 holds clip 10 at twice its size, 30 pixels right.
  CSwfWriter outer(0, 0);
  SwfPlace twice = SwfAt(600, 0);
  twice.scaleX = twice.scaleY = 2;
  outer.PlaceObject2(1, 10, false, &twice);
  outer.ShowFrame();
  w.DefineSprite(11, outer);
  // The main timeline is one frame that stops.
  w.PlaceObject2(1, 10, false, nullptr);
  w.PlaceObject2(2, 11, false, nullptr);
  w.DoAction(lwtest::CSwfActions().Stop());
  w.ShowFrame();
  Show(w.Fws(), 100, 50);
  const COLORREF sequence[] = {kRed, kGreen, kRed, kGreen};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Probe({{"clip", 10, 10, sequence[i]}, {"clip in a clip", 50, 20, sequence[i]}}), "");
    Steps(1);
  }
  EXPECT_EQ(m_control.GetFrameNum(), 0);
  // A movie that does not loop stops on its last frame; its clips go on.
  CSwfWriter once(2000, 1000);
  once.SetBackground(kWhite);
  DefineSquare(once, 1, kRed);
  DefineSquare(once, 2, kGreen);
  DefineSquare(once, 3, kBlue);
  once.DefineSprite(10, clip);
  once.PlaceObject2(1, 10, false, nullptr);
  once.ShowFrame();
  once.ShowFrame();
  m_control.DestroyWindow();
  Show(once.Fws(), 100, 50, FALSE);
  Steps(1);
  EXPECT_FALSE(m_control.IsPlaying());
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Probe({{"the clip on the last frame", 10, 10, sequence[(i + 1) % 2]}}), "");
    Steps(1);
  }
  EXPECT_EQ(m_control.GetFrameNum(), 1);
}

TEST_F(MovieScreenTest, StopHoldsItsFrameAndLabelsAndFramesAreJumpedTo) {
  CSwfWriter w(2000, 1000);
  w.SetBackground(kWhite);
  const COLORREF colours[5] = {kRed, kGreen, kBlue, RGB(255, 255, 0), kBlack};
  for (int i = 0; i < 5; ++i) DefineSquare(w, 1 + i, colours[i]);
  // Frame 0 (red) jumps to the label "loop" and plays; 1 (green) never
  // shows; 2 "loop" (blue); 3 (yellow); 4 goes to frame 2 and plays; the
  // jump is then stopped by frame 3's next showing... every other frame.
  w.PlaceObject2(1, 1, false, nullptr);
  w.DoAction(lwtest::CSwfActions().GotoLabel("loop").Play());
  w.ShowFrame();
  w.PlaceObject2(1, 2, true, nullptr);
  w.ShowFrame();
  w.FrameLabel("loop");
  w.PlaceObject2(1, 3, true, nullptr);
  w.ShowFrame();
  w.PlaceObject2(1, 4, true, nullptr);
  w.ShowFrame();
  w.PlaceObject2(1, 5, true, nullptr);
  w.DoAction(lwtest::CSwfActions().GotoFrame(2).Play());
  w.ShowFrame();
  Show(w.Fws(), 100, 50);
  const COLORREF seen[] = {kBlue, RGB(255, 255, 0), kBlue, RGB(255, 255, 0)};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Probe({{"the frame", 10, 10, seen[i]}}), "");
    Steps(1);
  }
  // A movie that stops itself on its last frame holds it, and says so.
  CSwfWriter stops(2000, 1000);
  stops.SetBackground(kWhite);
  for (int i = 0; i < 3; ++i) DefineSquare(stops, 1 + i, colours[i]);
  stops.PlaceObject2(1, 1, false, nullptr);
  stops.ShowFrame();
  stops.PlaceObject2(1, 2, true, nullptr);
  stops.ShowFrame();
  stops.PlaceObject2(1, 3, true, nullptr);
  stops.DoAction(lwtest::CSwfActions().Stop());
  stops.ShowFrame();
  m_control.DestroyWindow();
  Show(stops.Fws(), 100, 50);
  EXPECT_FALSE(m_control.HasStoppedOnItsLastFrame());
  Steps(5);
  EXPECT_EQ(Probe({{"the last frame, held", 10, 10, kBlue}}), "");
  EXPECT_EQ(m_control.GetFrameNum(), 2);
  EXPECT_TRUE(m_control.HasStoppedOnItsLastFrame());
}

// A picture of w x h (0xAARRGGBB) in four quadrants: red, green above,
// blue, white below; the white one at `alpha`.
std::vector<uint32_t> Quadrants(int w, int h, uint32_t alpha = 255) {
  std::vector<uint32_t> p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p[y * w + x] = y < h / 2 ? (x < w / 2 ? 0xFFFF0000u : 0xFF00FF00u)
                               : (x < w / 2 ? 0xFF0000FFu : (alpha << 24 | 0xFFFFFF));
  return p;
}

// The picture (alpha left out) as a JPEG file's bytes, written by the
// image library at the quality.
SwfBytes JpegOf(const std::vector<uint32_t>& argb, int w, int h, const std::string& path,
                int quality = 95) {
  std::vector<BYTE> rgb;
  for (uint32_t p : argb) rgb.insert(rgb.end(), {BYTE(p >> 16), BYTE(p >> 8), BYTE(p)});
  HPVDEST dest = OpenFileDest(path.c_str());
  EXPECT_NE(dest, nullptr);
  if (!dest) return {};
  EXPECT_NE(WriteJpeg(dest, rgb.data(), w, h, quality, FALSE, 24, nullptr), 0u);
  CloseDest(dest);
  return lwtest::ReadAll(path);
}

// A rectangle of w x h twips filled with the bitmap, its pixels `scale`
// twips each, not smoothed and clipped unless asked.
CSwfShape BitmapBox(int id, int w, int h, double scale, int type = 0x43) {
  CSwfShape box;
  SwfPlace m;
  m.scaleX = m.scaleY = scale;
  box.Rectangle(0, 0, w, h, box.AddBitmapFill(id, m, type));
  return box;
}

TEST_F(MovieScreenTest, BitmapsOfEveryKindShowTheirQuadrants) {
  const int side = 32;  // JPEG's colour blocks are 16 pixels: the quadrants keep to them
  const std::vector<uint32_t> opaque = Quadrants(side, side), half = Quadrants(side, side, 128);
  const SwfBytes jpeg = JpegOf(opaque, side, side, m_folder.File("quadrants.jpg"));
  SwfBytes tables, picture;
  lwtest::SplitJpeg(jpeg, &tables, &picture);
  SwfBytes alpha(side * side, 255);
  for (int y = side / 2; y < side; ++y)
    for (int x = side / 2; x < side; ++x) alpha[y * side + x] = 128;
  SwfBytes strayEnd = {0xFF, 0xD9, 0xFF, 0xD8};
  strayEnd.insert(strayEnd.end(), jpeg.begin(), jpeg.end());
  SwfBytes emptyTables = {0xFF, 0xD8, 0xFF, 0xD9};
  emptyTables.insert(emptyTables.end(), jpeg.begin(), jpeg.end());
  struct Kind {
    const char* name;
    int tolerance;
    bool halfAlpha;
  };
  const Kind kinds[] = {{"lossless, colour map", 0, false}, {"lossless, 15 bits", 8, false},
                        {"lossless, 32 bits", 0, false},    {"lossless with alpha, 32 bits", 1, true},
                        {"lossless with alpha, colour map", 1, true}, {"JPEG", 24, false},
                        {"JPEG with alpha", 24, true},      {"JPEG with tables apart", 24, false},
                        {"JPEG after a stray end", 24, false}, {"JPEG after empty tables", 24, false}};
  const int count = sizeof kinds / sizeof kinds[0];
  CSwfWriter w(count * 800, 800);  // a box of 40 pixels each
  w.SetBackground(kBlack);
  w.DefineBitsLossless(1, side, side, opaque, 1, 3);
  w.DefineBitsLossless(2, side, side, opaque, 1, 4);
  w.DefineBitsLossless(3, side, side, opaque, 1, 5);
  w.DefineBitsLossless(4, side, side, half, 2, 5);
  w.DefineBitsLossless(5, side, side, half, 2, 3);
  w.DefineBitsJpeg(21, 6, jpeg);
  w.DefineBitsJpeg(35, 7, jpeg, alpha);
  w.JpegTables(tables);
  w.DefineBitsJpeg(6, 8, picture);
  w.DefineBitsJpeg(21, 9, strayEnd);
  w.DefineBitsJpeg(21, 10, emptyTables);
  for (int i = 0; i < count; ++i) {
    w.DefineShape(100 + i, BitmapBox(1 + i, side * 20, side * 20, 20), 3);
    w.PlaceObject(100 + i, 1 + i, SwfAt(i * 800 + 80, 80));
  }
  w.ShowFrame();
  Show(w.Cws(), count * 40, 40);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(kinds[i].name);
    const int x = i * 40 + 4, t = kinds[i].tolerance;
    EXPECT_EQ(Probe({{"top left", x + 8, 12, kRed, t},
                     {"top right", x + 24, 12, kGreen, t},
                     {"bottom left", x + 8, 28, kBlue, t},
                     {"bottom right", x + 24, 28, kinds[i].halfAlpha ? RGB(128, 128, 128) : kWhite, t + 1},
                     {"outside", x - 2, 2, kBlack}}),
              "");
  }
}

TEST_F(MovieScreenTest, AJpegShowsTheImageReadersOwnPixels) {
  // A picture of smooth and sharp changes, drawn at its own size.
  const int w = 48, h = 32;
  std::vector<uint32_t> photo(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      photo[y * w + x] = 0xFF000000u | (x * 5) << 16 | (y * 7) << 8 | ((x * y) % 200);
  const std::string path = m_folder.File("photo.jpg");
  const SwfBytes jpeg = JpegOf(photo, w, h, path, 60);
  int rw = 0, rh = 0;
  HPVSRC source = OpenFileSource(path.c_str());
  ASSERT_NE(source, nullptr);
  BYTE* read = ReadJpeg(source, &rw, &rh, 24);
  CloseSource(source);
  ASSERT_NE(read, nullptr);
  CSwfWriter movie(w * 20, h * 20);
  movie.DefineBitsJpeg(21, 1, jpeg);
  movie.DefineShape(2, BitmapBox(1, w * 20, h * 20, 20), 3);
  movie.PlaceObject(2, 1, SwfAt(0, 0));
  movie.ShowFrame();
  Show(movie.Fws(), w, h);
  std::vector<ScreenProbe> probes;
  static const char* const kWhat = "the reader's pixel";
  for (int y = 1; y < h; y += 5)
    for (int x = 0; x < w; x += 3) {
      const BYTE* p = read + 3 * (y * w + x);
      probes.push_back({kWhat, x, y, RGB(p[0], p[1], p[2])});
    }
  GlobalFree(read);
  EXPECT_EQ(Probe(probes), "");
}

TEST_F(MovieScreenTest, BitmapFillsRepeatOrClampAndSmoothOrNot) {
  const std::vector<uint32_t> tile = Quadrants(2, 2);
  CSwfWriter w(2400, 1200);  // 120 x 60, three boxes of 40 x 40
  w.SetBackground(kBlack);
  w.DefineBitsLossless(1, 2, 2, tile);
  // Each bitmap pixel 10 screen pixels: the 2 x 2 bitmap covers 20 x 20.
  w.DefineShape(10, BitmapBox(1, 800, 800, 200, 0x42), 3);  // repeating
  w.DefineShape(11, BitmapBox(1, 800, 800, 200, 0x43), 3);  // clipped
  w.DefineShape(12, BitmapBox(1, 800, 800, 200, 0x41), 3);  // clipped, smoothed
  w.PlaceObject(10, 1, SwfAt(0, 0));
  w.PlaceObject(11, 2, SwfAt(800, 0));
  w.PlaceObject(12, 3, SwfAt(1600, 0));
  w.ShowFrame();
  Show(w.Fws(), 120, 60);
  EXPECT_EQ(Probe({{"repeated: red again", 25, 5, kRed},
                   {"repeated: white again", 35, 35, kWhite},
                   {"clipped: its right column on", 75, 5, kGreen},
                   {"clipped: its corner on", 75, 35, kWhite},
                   {"not smoothed: sharp", 49, 5, kRed},
                   {"smoothed: between red and green", 90, 2, RGB(115, 140, 0), 20},
                   {"smoothed: a pixel's own colour at its centre", 84, 4, kRed, 2}}),
            "");
}

// Glyphs of a test font in an em square of 1024 times `unit`: 'O', a
// square ring (its stroke from 100 to 300, its counter from 300 to 700),
// and 'I', a bar from 100 to 300; both from -800 up to the baseline.
std::vector<CSwfShape> TestGlyphs(int unit = 1) {
  CSwfShape o, i;
  o.Rectangle(100 * unit, -800 * unit, 800 * unit, 800 * unit, 1);
  o.SetStyles(1, 0, 0);  // the counter, clockwise with the fill outside it
  o.MoveTo(300 * unit, -600 * unit);
  o.LineTo(700 * unit, -600 * unit);
  o.LineTo(700 * unit, -200 * unit);
  o.LineTo(300 * unit, -200 * unit);
  o.LineTo(300 * unit, -600 * unit);
  i.Rectangle(100 * unit, -800 * unit, 200 * unit, 800 * unit, 1);
  return {o, i};
}

TEST_F(MovieScreenTest, TextsDrawTheirGlyphsStrokeAndCounter) {
  CSwfWriter w(10000, 2000);  // 500 x 100
  w.SetBackground(kWhite);
  w.DefineFont(1, TestGlyphs());
  w.DefineFontInfo(1, "Test", {'O', 'I'});
  w.DefineFont2(2, 2, "Test", TestGlyphs(), {'O', 'I'}, {1000, 400}, 900, 200, 0);
  w.DefineFont2(3, 3, "Test", TestGlyphs(20), {'O', 'I'}, {20000, 8000}, 18000, 4000, 0);
  // Glyphs twice their em square (2048 twips high): the O from 10 to 90
  // pixels each way, its counter from 30 to 70.
  w.DefineText(10, 1, {{1, 2048, kBlack, 0, 1800, {{0, 2000}}}});
  w.DefineText(11, 2, {{2, 2048, kRed, 2000, 1800, {{0, 2000}}}, {3, 2048, kBlue, 4000, 1800, {{0, 2000}}}});
  lwtest::SwfEditText edit;
  edit.x0 = 6000;
  edit.x1 = 10000;
  edit.y0 = 0;
  edit.y1 = 2000;
  edit.font = 2;
  edit.height = 2048;
  edit.colour = kGreen;
  edit.outlines = true;
  edit.text = "IO";
  w.DefineEditText(12, edit);
  w.PlaceObject(10, 1, SwfAt(0, 0));
  w.PlaceObject(11, 2, SwfAt(0, 0));
  w.PlaceObject(12, 3, SwfAt(0, 0));
  w.ShowFrame();
  Show(w.Fws(), 500, 100);
  // The edit text: two pixels in, the I (advance 400 em: 40 pixels), then
  // the O; its glyphs on a baseline its ascent (90 pixels) below that.
  EXPECT_EQ(Probe({{"first kind: stroke", 20, 50, kBlack},
                   {"first kind: counter", 50, 50, kWhite},
                   {"second kind: stroke", 120, 50, kRed},
                   {"second kind: counter", 150, 50, kWhite},
                   {"third kind: stroke", 220, 50, kBlue},
                   {"third kind: counter", 250, 50, kWhite},
                   {"third kind: right of it", 295, 50, kWhite},
                   {"edit text: the I", 315, 60, kGreen},
                   {"edit text: between", 335, 60, kWhite},
                   {"edit text: the O's stroke", 362, 60, kGreen},
                   {"edit text: the O's counter", 392, 60, kWhite}}),
            "");
}

TEST_F(MovieScreenTest, EditTextInASystemFontShowsItsText) {
  CSwfWriter w(8000, 2000);  // 400 x 100
  w.SetBackground(kWhite);
  w.DefineFont2(1, 2, "Arial", {}, {}, {}, 0, 0, 0);  // a device font: no glyphs
  lwtest::SwfEditText edit;
  edit.x0 = 400;
  edit.x1 = 7600;
  edit.y0 = 400;
  edit.y1 = 1600;
  edit.font = 1;
  edit.height = 800;  // 40 pixels
  edit.colour = kBlue;
  edit.html = true;
  edit.text = "<p><b>MMM</b> &amp; WWW</p>";
  edit.border = true;
  w.DefineEditText(2, edit);
  w.PlaceObject(2, 1, SwfAt(0, 0));
  w.ShowFrame();
  Show(w.Fws(), 400, 100);
  ASSERT_EQ(Probe({{"the border", 20, 50, kBlack}, {"inside the box", 22, 78, kWhite}}), "");
  POINT origin = {0, 0};
  ::ClientToScreen(m_control.GetSafeHwnd(), &origin);
  const std::vector<COLORREF> shot = lwtest::ScreenPixels({origin.x, origin.y, origin.x + 400, origin.y + 100});
  int inside = 0, outside = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 400; ++x) {
      const COLORREF c = shot[y * 400 + x];
      if (GetBValue(c) < 200 || GetRValue(c) > 100) continue;  // not the text's blue
      (x > 20 && x < 380 && y > 20 && y < 80 ? inside : outside)++;
    }
  EXPECT_GT(inside, 300) << "the text's blue in its box";
  EXPECT_EQ(outside, 0);
}

TEST_F(MovieScreenTest, MasksShowWhatTheyCoverOfTheDepthsTheyMask) {
  CSwfWriter w(4000, 1000);  // 200 x 50
  w.SetBackground(kWhite);
  CSwfShape left, band, wide;
  left.Rectangle(0, 0, 1000, 1000, left.AddFill(kBlack));  // the mask's shape: x 0..50
  band.Rectangle(0, 400, 4000, 200, band.AddFill(kRed));   // a band across at y 20..30
  wide.Rectangle(0, 0, 4000, 200, wide.AddFill(kBlue));    // a band at y 0..10
  w.DefineShape(1, left);
  w.DefineShape(2, band);
  w.DefineShape(3, wide);
  // A sprite as a mask: the shape at x 100..150.
  CSwfWriter maskClip(0, 0);
  SwfPlace at2000 = SwfAt(2000, 0);
  maskClip.PlaceObject2(1, 1, false, &at2000);
  maskClip.ShowFrame();
  w.DefineSprite(4, maskClip);
  w.PlaceObject2(1, 1, false, nullptr, nullptr, 3);  // masks depths 2 and 3
  w.PlaceObject2(2, 2, false, nullptr);
  w.PlaceObject2(3, 3, false, nullptr);
  w.PlaceObject2(4, 4, false, nullptr, nullptr, 5);  // the sprite masks depth 5
  SwfPlace lower = SwfAt(0, 400), lowest = SwfAt(0, 600);
  w.PlaceObject2(5, 2, false, &lower);   // red at y 40..50
  w.PlaceObject2(6, 3, false, &lowest);  // blue at y 30..40, above every mask
  w.ShowFrame();
  Show(w.Fws(), 200, 50);
  EXPECT_EQ(Probe({{"masked band inside the mask", 25, 25, kRed},
                   {"masked band outside it", 75, 25, kWhite},
                   {"second masked depth inside the mask", 25, 5, kBlue},
                   {"second masked depth outside it", 75, 5, kWhite},
                   {"masked band outside the sprite mask", 75, 45, kWhite},
                   {"masked band inside the sprite mask", 125, 45, kRed},
                   {"the mask itself is not drawn", 25, 15, kWhite},
                   {"an unmasked band", 175, 35, kBlue}}),
            "");
}

TEST_F(MovieScreenTest, AMorphIsDrawnAtItsRatio) {
  CSwfWriter w(4000, 1000);  // 200 x 50
  w.SetBackground(kWhite);
  // From a red square at x 0..20 to a blue one, a line thicker, at 160..180.
  CSwfShape start, end;
  start.Rectangle(0, 200, 400, 400, start.AddFill(kRed));
  end.Rectangle(3200, 200, 400, 400, end.AddFill(kBlue));
  w.DefineMorphShape(1, 1, start, end);
  // The second kind, with a line of the fourth kind's styles growing
  // from 2 to 6 pixels, below it.
  CSwfShape start2, end2;
  start2.Rectangle(0, 800, 400, 100, start2.AddFill(kRed), start2.AddLine2(40, kGreen, 0, 0, 0));
  end2.Rectangle(3200, 800, 400, 100, end2.AddFill(kBlue), end2.AddLine2(120, kGreen, 0, 0, 0));
  w.DefineMorphShape(2, 2, start2, end2);
  for (int ratio : {0, 32768, 65535}) {
    w.PlaceObject2(1, ratio ? -1 : 1, ratio != 0, nullptr, nullptr, 0, nullptr, ratio);
    w.PlaceObject2(2, ratio ? -1 : 2, ratio != 0, nullptr, nullptr, 0, nullptr, ratio);
    w.ShowFrame();
  }
  Show(w.Fws(), 200, 50);
  EXPECT_EQ(Probe({{"at the start", 10, 20, kRed}, {"not yet half way", 90, 20, kWhite}}), "");
  Steps(1);
  EXPECT_EQ(Probe({{"half way", 90, 20, RGB(128, 0, 127), 2},
                   {"the second kind's line half way: 4 pixels", 90, 38, kGreen},
                   {"and no wider", 90, 36, kWhite},
                   {"left behind", 10, 20, kWhite},
                   {"not yet at the end", 170, 20, kWhite}}),
            "");
  Steps(1);
  EXPECT_EQ(Probe({{"at the end", 170, 20, kBlue}, {"half way no more", 90, 20, kWhite}}), "");
}

TEST_F(MovieScreenTest, ButtonsShowTheirUpState) {
  CSwfWriter w(4000, 1000);
  w.SetBackground(kWhite);
  DefineSquare(w, 1, kRed);
  DefineSquare(w, 2, kGreen);
  SwfColourChange toBlue;  // red becomes blue
  toBlue.mult[0] = 0;
  toBlue.add[2] = 255;
  const std::vector<lwtest::SwfButtonPart> parts = {{1, 1, 1, SwfAt(0, 0), {}},      // up
                                                    {2, 2, 2, SwfAt(0, 0), {}},      // over
                                                    {8, 2, 3, SwfAt(400, 0), {}}};   // hit
  w.DefineButton(10, 1, parts);
  std::vector<lwtest::SwfButtonPart> second = parts;
  second[0].colour = toBlue;
  w.DefineButton(11, 2, second);
  w.PlaceObject(10, 1, SwfAt(200, 200));
  w.PlaceObject(11, 2, SwfAt(2200, 200));
  w.ShowFrame();
  Show(w.Fws(), 200, 50);
  EXPECT_EQ(Probe({{"first kind: up", 20, 20, kRed},
                   {"first kind: the hit area is not drawn", 35, 20, kWhite},
                   {"second kind: up, with its colour change", 120, 20, kBlue},
                   {"second kind: over is not drawn", 132, 20, kWhite}}),
            "");
}

// The clock: at 12, 24 and 30 frames a second, ticks of about a system
// tick's length over 10 seconds give exactly the rate's frames, each due
// frame stepped once and only the last of a late tick drawn.
TEST_F(MovieScreenTest, FramesComeAtTheMoviesRateByTheClock) {
  for (int rate : {12, 24, 30}) {
    SCOPED_TRACE(rate);
    CSwfWriter w(2000, 2000, rate * 256);
    for (int i = 0; i < 1000; ++i) w.ShowFrame();
    if (m_control.GetSafeHwnd()) m_control.DestroyWindow();
    m_control.clock = 5000;
    Show(w.Fws(), 40, 40, FALSE);
    for (DWORD t = 0; t <= 10000; t += 16) {
      m_control.clock = 5000 + t;
      m_control.CatchUp();
    }
    m_control.clock = 15000;
    m_control.CatchUp();
    EXPECT_EQ(m_control.GetFrameNum(), rate * 10);
    // Held up for 300 ms: the frames due are stepped, one of them drawn.
    const long before = m_control.GetFrameNum(), drawn = m_control.GetFramesDrawn();
    m_control.clock = 15300;
    m_control.CatchUp();
    EXPECT_EQ(m_control.GetFrameNum(), before + 300 * rate / 1000);
    EXPECT_EQ(m_control.GetFramesDrawn(), drawn + 1);
  }
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
  EXPECT_EQ(control.GetFrameInterval(), 20.0);
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

TEST_F(MoviePlayerTest, AMovieWithoutFramesHasEnded) {
  // Looping or not: nothing to play is the end of it.
  for (int loop : {0, 1}) {
    SCOPED_TRACE(loop);
    std::unique_ptr<CFlashPlayerThread> player =
        Player({'F', 'W', 'S', 6, 30, 0, 0, 0, 0}, loop, -1);
    ASSERT_TRUE(player->Start());
    ASSERT_TRUE(Ended(*player));
    EXPECT_EQ(player->m_host.m_flash.GetTotalFrames(), 0);
  }
}

TEST_F(MoviePlayerTest, ALoopingMovieThatStopsOnItsLastFrameHasEnded) {
  CSwfWriter w(2000, 2000, 50 * 256);
  w.ShowFrame();
  w.DoAction(lwtest::CSwfActions().Stop());
  w.ShowFrame();
  std::unique_ptr<CFlashPlayerThread> player = Player(w.Fws(), 1, -1);
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(Ended(*player));
  EXPECT_EQ(player->m_host.m_flash.GetFrameNum(), 1);
  EXPECT_EQ(player->m_host.m_flash.GetLoopCount(), 0);
}

TEST_F(MoviePlayerTest, AMoviesSoundPlaysOnTheDeviceUnlessMuted) {
  ASSERT_TRUE(lwtest::CSoundDevice::Given());
  // Half a second of a 44.1 kHz ramp, in a movie of a second.
  std::vector<int16_t> tone(22050);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
  CSwfWriter w(2000, 2000, 12 * 256);
  w.DefineSound(1, 3 << 4 | 3 << 2 | 2, 22050, RawSamples(tone));
  w.StartSound(1);
  for (int i = 0; i < 12; ++i) w.ShowFrame();
  for (int mute : {0, 1}) {
    SCOPED_TRACE(mute);
    lwtest::CSoundDevice::Clear();
    std::unique_ptr<CFlashPlayerThread> player = Player(w.Fws(), 0, -1);
    player->m_mute = mute;
    ASSERT_TRUE(player->Start());
    ASSERT_TRUE(Ended(*player));
    const lwtest::Bytes played = lwtest::CSoundDevice::Read();
    if (mute) {
      EXPECT_TRUE(played.empty()) << played.size() << " bytes played";
      continue;
    }
    // The ramp's first samples, in both channels, somewhere in what played.
    ASSERT_GE(played.size(), tone.size() * 4);
    std::vector<int16_t> left;
    for (size_t i = 0; i + 3 < played.size(); i += 4)
      left.push_back(static_cast<int16_t>(played[i] | played[i + 1] << 8));
    const auto at = std::search(left.begin(), left.end(), tone.begin(), tone.begin() + 2000);
    EXPECT_NE(at, left.end()) << "the sound's samples were played";
  }
  // An MP3 sound goes through the system's codec: its second of silence
  // (at 44.1 kHz) plays.
  CSwfWriter mp3(2000, 2000, 12 * 256);
  SwfBytes frames = {0, 0};
  const SwfBytes silent = lwtest::SilentMp3(40);
  frames.insert(frames.end(), silent.begin(), silent.end());
  mp3.DefineSound(1, 2 << 4 | 3 << 2 | 2 | 1, 40 * 1152, frames);
  mp3.StartSound(1);
  for (int i = 0; i < 12; ++i) mp3.ShowFrame();
  lwtest::CSoundDevice::Clear();
  std::unique_ptr<CFlashPlayerThread> player = Player(mp3.Fws(), 0, -1);
  ASSERT_TRUE(player->Start());
  ASSERT_TRUE(Ended(*player));
  EXPECT_GE(lwtest::CSoundDevice::Read().size(), 20000u * 4) << "the decoded MP3 was played";
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
