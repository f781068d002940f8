// The feature movie: a grid of 80 x 60 cells, one thing in each.
#include "tests/support/movie_features.h"

#include "imaging/ImageLib.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"

namespace lwtest {

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
const COLORREF kBackground = RGB(40, 40, 40), kYellow = RGB(255, 255, 0);

// Movie pixels in twips.
int T(double pixels) { return static_cast<int>(pixels * 20); }

CSwfShape Box(double x, double y, double w, double h, COLORREF colour, uint8_t alpha = 255) {
  CSwfShape s;
  s.Rectangle(T(x), T(y), T(w), T(h), s.AddFill(colour, alpha));
  return s;
}

// 32 x 32: red, green above; blue, white below.
std::vector<uint32_t> Quadrants() {
  std::vector<uint32_t> p(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      p[y * 32 + x] = y < 16 ? (x < 16 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 16 ? 0xFF0000FFu : 0xFFFFFFFFu);
  return p;
}

SwfBytes QuadrantsJpeg(const std::string& folder) {
  std::vector<BYTE> rgb;
  for (uint32_t p : Quadrants()) rgb.insert(rgb.end(), {BYTE(p >> 16), BYTE(p >> 8), BYTE(p)});
  const std::string path = folder + "\\features.jpg";
  HPVDEST dest = OpenFileDest(path.c_str());
  if (!dest) return {};
  WriteJpeg(dest, rgb.data(), 32, 32, 95, FALSE, 24, nullptr);
  CloseDest(dest);
  return ReadAll(path);
}

// A probe at movie pixel (x, y) of a movie playing in the area.
ScreenProbe At(const RECT& area, const char* what, double x, double y, COLORREF colour, int tolerance) {
  const double w = area.right - area.left, h = area.bottom - area.top;
  const double scale = w / 320 < h / 240 ? w / 320 : h / 240;
  const double ox = area.left + (w - 320 * scale) / 2, oy = area.top + (h - 240 * scale) / 2;
  return ScreenProbe{what, static_cast<int>(ox + x * scale), static_cast<int>(oy + y * scale), colour,
                     tolerance};
}

}  // namespace

SwfBytes FeatureMovie(const std::string& folder) {
  CSwfWriter w(T(320), T(240), 6 * 256);
  w.SetBackground(kBackground);
  int depth = 1;
  auto place = [&](int id) { w.PlaceObject2(depth++, id, false, nullptr); };
  // Row 0: a linear and a radial gradient, a lossless and a JPEG bitmap.
  CSwfShape gradients;
  gradients.Rectangle(0, 0, T(80), T(60), gradients.AddGradient(0x10, {{0, kRed}, {128, kGreen}, {255, kBlue}},
                                                                SwfGradientBox(0, 0, T(80), T(60))));
  gradients.Rectangle(T(90), 0, T(60), T(60), gradients.AddGradient(0x12, {{0, kWhite}, {255, kBlack}},
                                                                    SwfGradientBox(T(90), 0, T(60), T(60))));
  w.DefineShape(1, gradients, 4);
  place(1);
  w.DefineBitsLossless(2, 32, 32, Quadrants(), 2, 5);
  w.DefineBitsJpeg(21, 3, QuadrantsJpeg(folder));
  for (int i = 0; i < 2; ++i) {
    CSwfShape bitmap;
    SwfPlace m = SwfAt(T(176 + 80 * i), T(6));
    m.scaleX = m.scaleY = 30;  // 1.5 pixels each
    bitmap.Rectangle(T(176 + 80 * i), T(6), T(48), T(48), bitmap.AddBitmapFill(2 + i, m, 0x43));
    w.DefineShape(4 + i, bitmap, 3);
    place(4 + i);
  }
  // Row 1: the glyph O of a font of the second kind, 64 pixels high.
  CSwfShape o;
  o.Rectangle(100, -800, 800, 800, 1);
  o.SetStyles(1, 0, 0);
  o.MoveTo(300, -600);
  o.LineTo(700, -600);
  o.LineTo(700, -200);
  o.LineTo(300, -200);
  o.LineTo(300, -600);
  w.DefineFont2(10, 2, "Features", {o}, {'O'}, {1000}, 900, 200, 0);
  w.DefineText(11, 1, {{10, T(64), kWhite, 0, T(115), {{0, 0}}}});
  place(11);
  // A red band masked to the left half of its cell.
  w.DefineShape(12, Box(80, 60, 40, 60, kBlack));
  w.DefineShape(13, Box(80, 80, 80, 20, kRed));
  const int maskDepth = depth++;
  w.PlaceObject2(maskDepth, 12, false, nullptr, nullptr, maskDepth + 1);
  place(13);
  // A morph from a red square at x 165 to a blue one at x 215, at half.
  w.DefineMorphShape(14, 1, Box(165, 70, 20, 20, kRed), Box(215, 70, 20, 20, kBlue));
  w.PlaceObject2(depth++, 14, false, nullptr, nullptr, 0, nullptr, 32768);
  // Half-transparent blue over a red square's right half.
  w.DefineShape(15, Box(250, 70, 60, 40, kRed));
  w.DefineShape(16, Box(280, 70, 30, 40, kBlue, 128), 3);
  place(15);
  place(16);
  // Row 2: a clip of red and green frames, and the frame marker.
  w.DefineShape(20, Box(20, 130, 40, 40, kRed));
  w.DefineShape(21, Box(20, 130, 40, 40, kGreen));
  CSwfWriter clip(0, 0);
  clip.PlaceObject2(1, 20, false, nullptr);
  clip.ShowFrame();
  clip.PlaceObject2(1, 21, true, nullptr);
  clip.ShowFrame();
  w.DefineSprite(22, clip);
  place(22);
  const COLORREF marks[4] = {kBlue, kRed, kYellow, kGreen};
  for (int i = 0; i < 4; ++i) w.DefineShape(30 + i, Box(100, 130, 40, 40, marks[i]));
  const int marker = depth;
  w.PlaceObject2(marker, 30, false, nullptr);
  w.ShowFrame();
  w.PlaceObject2(marker, 31, true, nullptr);
  w.DoAction(CSwfActions().GotoLabel("end").Play());
  w.ShowFrame();
  w.PlaceObject2(marker, 32, true, nullptr);  // passed over by the jump
  w.ShowFrame();
  w.FrameLabel("end");
  w.PlaceObject2(marker, 33, true, nullptr);
  w.DoAction(CSwfActions().Stop());
  w.ShowFrame();
  return w.Cws();
}

std::string CheckFeatureMovie(const RECT& area, DWORD ms) {
  const POINT none = {0, 0};
  const ScreenProbe marker = At(area, "the frame marker, its last frame's", 120, 150, kGreen, 8);
  std::string wrong = ProbeScreen({marker}, none, ms);
  if (!wrong.empty()) return wrong;
  const std::vector<ScreenProbe> still = {
      At(area, "linear gradient, first stop", 2, 30, kRed, 24),
      At(area, "linear gradient, middle", 40, 30, kGreen, 24),
      At(area, "linear gradient, last stop", 78, 30, kBlue, 24),
      At(area, "radial gradient, middle", 120, 30, kWhite, 24),
      At(area, "radial gradient, past its circle", 91, 1, kBlack, 8),
      At(area, "lossless bitmap, top left", 186, 16, kRed, 8),
      At(area, "lossless bitmap, top right", 212, 16, kGreen, 8),
      At(area, "lossless bitmap, bottom left", 186, 44, kBlue, 8),
      At(area, "lossless bitmap, bottom right", 212, 44, kWhite, 8),
      At(area, "JPEG bitmap, top left", 266, 16, kRed, 32),
      At(area, "JPEG bitmap, top right", 292, 16, kGreen, 32),
      At(area, "JPEG bitmap, bottom left", 266, 44, kBlue, 32),
      At(area, "JPEG bitmap, bottom right", 292, 44, kWhite, 32),
      At(area, "the glyph's stroke", 12, 90, kWhite, 8),
      At(area, "the glyph's counter", 31, 90, kBackground, 8),
      At(area, "the masked band inside the mask", 100, 90, kRed, 8),
      At(area, "the masked band outside it", 140, 90, kBackground, 8),
      At(area, "the morph at half", 200, 80, RGB(128, 0, 127), 8),
      At(area, "where the morph started", 172, 80, kBackground, 8),
      At(area, "a red square", 265, 90, kRed, 8),
      At(area, "half its alpha of blue over it", 295, 90, RGB(127, 0, 128), 8),
  };
  wrong = ProbeScreen(still, none, ms);
  if (!wrong.empty()) return wrong;
  for (COLORREF c : {kRed, kGreen}) {
    wrong = ProbeScreen({At(area, "the clip's square", 40, 150, c, 8)}, none, ms);
    if (!wrong.empty()) return wrong;
  }
  // The stop holds: for a second more, the marker is its last frame's.
  for (int i = 0; i < 10 && wrong.empty(); ++i) {
    FlushEvents(100);
    wrong = ProbeScreen({marker}, none, 1);
  }
  return wrong;
}

SwfBytes CostlyMovie() {
  CSwfShape curves;
  curves.SetStyles(0, curves.AddFill(RGB(0, 200, 0)), curves.AddLine(65535, RGB(0, 0, 200)));
  curves.MoveTo(3200, 2400);
  for (int i = 0; i < 2000; ++i) {
    const int d = i % 2 ? -65000 : 65000, e = i % 4 < 2 ? 65000 : -65000;
    curves.CurveTo(3200 + d, 2400 + e, 3200 + (i % 3 - 1) * 100, 2400);
  }
  CSwfWriter movie(T(320), T(240), 30 * 256);
  movie.DefineShape(1, curves, 1, {-(1 << 30), (1 << 30) - 1, -(1 << 30), (1 << 30) - 1});
  for (int f = 0; f < 30; ++f) {
    SwfPlace grow;
    grow.scaleX = grow.scaleY = 1 + f / 30.0;
    movie.PlaceObject2(1, f ? -1 : 1, f != 0, &grow);
    movie.ShowFrame();
  }
  return movie.Fws();
}

}  // namespace lwtest
