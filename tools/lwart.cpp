// Host tool run by the build: draws the program icons, the scene document
// icon, the settings-dialog logo and the builder's toolbar and command
// pictures, and writes them as Windows .ico and .bmp files for the
// resource scripts.
//
//   lwart OUTDIR
//
// writes halcyra.ico, quenlark.ico, halcyra_logo.bmp, lumenweave.ico,
// lumenweave_doc.ico, the builder's bitmaps (lwart_builder.cpp) and drag
// cursors (lwart_cursors.cpp) into OUTDIR. Everything is drawn from code, so the output is the same bytes on
// every run.
//
// Icons are drawn on a supersampled canvas (8 x 8 samples a pixel) with
// signed-distance shapes in a 32-unit design grid. A pixel is averaged
// from its samples for the true-colour and 256-colour images; for the
// 16-colour images each sample is mapped to the VGA palette first and the
// pixel takes the most common one, which keeps small icons crisp instead of
// smearing edges into stray palette colours.
#include <filesystem>
#include <initializer_list>

#include "tools/lwart.h"

using namespace lwart;

namespace {

struct IconImage {
  int size, bpp;
  Bytes bits;  // header, palette, colour rows, mask rows
};

// Builds one icon image from palette indices (-1 = transparent) or, for
// 32 bpp, from colours; rows are stored bottom-up, each padded to 4 bytes.
IconImage MakeIcon(int n, int bpp, const std::vector<uint32_t>& pal,
                   const std::vector<int>& idx, const std::vector<Col>& rgba) {
  int row = (n * bpp + 31) / 32 * 4, mask_row = (n + 31) / 32 * 4;
  IconImage im{n, bpp, {}};
  Bytes& b = im.bits;
  InfoHeader(b, n, 2 * n, bpp, uint32_t((row + mask_row) * n), 0, 0);
  if (bpp <= 8) Palette(b, pal, size_t(1) << bpp);
  for (int y = n - 1; y >= 0; --y) {
    Bytes r(size_t(row), 0);
    for (int x = 0; x < n; ++x) {
      size_t i = size_t(y) * n + x;
      if (bpp == 32) {
        const Col& c = rgba[i];
        r[x * 4] = uint8_t(To8(c.b)), r[x * 4 + 1] = uint8_t(To8(c.g));
        r[x * 4 + 2] = uint8_t(To8(c.r)), r[x * 4 + 3] = uint8_t(To8(c.a));
      } else if (bpp == 8) {
        r[x] = uint8_t(std::max(idx[i], 0));
      } else {
        r[x / 2] |= uint8_t(std::max(idx[i], 0) << (x % 2 ? 0 : 4));
      }
    }
    b.insert(b.end(), r.begin(), r.end());
  }
  for (int y = n - 1; y >= 0; --y) {
    Bytes r(size_t(mask_row), 0);
    for (int x = 0; x < n; ++x) {
      size_t i = size_t(y) * n + x;
      bool clear = bpp == 32 ? To8(rgba[i].a) < 128 : idx[i] < 0;
      if (clear) r[x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    b.insert(b.end(), r.begin(), r.end());
  }
  return im;
}

// 256-colour image: index 0 stays black for the transparent pixels, the
// other 255 entries come from the picture's own colours.
IconImage Icon8(int n, const std::vector<Col>& px) {
  std::vector<uint32_t> opaque;
  std::vector<int> idx(px.size(), -1);
  for (const Col& c : px)
    if (c.a >= 0.5f) opaque.push_back(Rgb(c));
  std::vector<uint32_t> pal{0};
  for (uint32_t c : MedianCut(opaque, 255)) pal.push_back(c);
  for (size_t i = 0; i < px.size(); ++i)
    if (px[i].a >= 0.5f) {
      uint32_t c = Rgb(px[i]);
      idx[i] = Nearest(pal, c >> 16, (c >> 8) & 255, c & 255);
    }
  return MakeIcon(n, 8, pal, idx, {});
}
IconImage Icon4(int n, const std::vector<int>& idx) {
  return MakeIcon(n, 4, std::vector<uint32_t>(kVga, kVga + 16), idx, {});
}
IconImage Icon32(int n, const std::vector<Col>& px) {
  return MakeIcon(n, 32, {}, {}, px);
}

Bytes IcoFile(const std::vector<IconImage>& images) {
  Bytes b;
  Put16(b, 0), Put16(b, 1), Put16(b, uint32_t(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  for (const IconImage& im : images) {
    b.push_back(uint8_t(im.size)), b.push_back(uint8_t(im.size));
    b.push_back(im.bpp == 4 ? 16 : 0), b.push_back(0);
    Put16(b, 1), Put16(b, uint32_t(im.bpp));
    Put32(b, uint32_t(im.bits.size())), Put32(b, offset);
    offset += uint32_t(im.bits.size());
  }
  for (const IconImage& im : images) b.insert(b.end(), im.bits.begin(), im.bits.end());
  return b;
}


// ---------------------------------------------------------------- designs
//
// Icons are drawn in a 32 x 32 unit grid whatever their pixel size; `px` is
// the size of one pixel in units, used for outlines. At 16 x 16 a pixel is
// two units, so shapes there sit on even coordinates.

struct Icon {
  int n;      // pixel size
  bool vga;   // drawn for the 16-colour palette
  float px;   // units per pixel
};

// A monitor with a stand; returns the screen shape for the caller to fill.
// Edges sit on whole units so that the 32-pixel image has clean lines.
Sdf DrawMonitor(Canvas& c, const Icon& ic, float top, float bottom) {
  const bool small = ic.n == 16;
  const float p = ic.px;
  Col line = ic.vga ? Hex(0x000000) : Hex(0x262b3a);
  Col silver = Hex(0xC0C0C0);
  Paint bezel = ic.vga ? Linear({0, top}, {0, bottom},
                                {{0, Hex(0xF0F0F0)}, {0.2f, Hex(0xC8C8C8)},
                                 {0.85f, Hex(0xC0C0C0)}, {1, Hex(0x909090)}})
                       : Linear({0, top}, {0, bottom},
                                {{0, Hex(0xF5F7FB)}, {0.5f, Hex(0xCDD3DD)},
                                 {1, Hex(0x98A1B1)}});
  // Stand behind the body.
  if (small) {
    c.Fill(RBox(6, bottom + 2, 26, bottom + 6, 0), line);
    c.Fill(RBox(8, bottom + 2, 24, bottom + 4, 0), silver);
    c.Fill(RBox(12, bottom, 20, bottom + 2, 0), line);
    c.Fill(RBox(14, bottom, 18, bottom + 4, 0), silver);
  } else {
    Sdf stand = Union(Poly({{13, bottom - 1}, {19, bottom - 1}, {20, bottom + 2.5f},
                            {12, bottom + 2.5f}}),
                      RBox(8, bottom + 2, 24, bottom + 5, 1.5f));
    c.Fill(stand, line);
    c.Fill(Grow(stand, -p), ic.vga ? Solid(silver)
                                   : Linear({0, bottom}, {0, bottom + 5},
                                            {{0, Hex(0x8A93A3)}, {0.6f, Hex(0xC4CAD4)},
                                             {1, Hex(0x9AA2B0)}}));
  }
  // Body with a bright upper rim.
  Sdf body = small ? RBox(0, top, 32, bottom, 3)
                   : RBox(1, top, 31, bottom, ic.vga ? 2.0f : 2.5f);
  c.Fill(body, line);
  c.Fill(Grow(body, -p), bezel);
  if (ic.vga && !small)
    c.Fill(RBox(3, top + 1, 29, top + 2, 0), Hex(0xFFFFFF));
  else if (!small)
    c.Fill(Inter(Sub(Grow(body, -p), Grow(body, -2 * p)),
                 RBox(0, top, 32, top + 4 * p, 0)),
           Hex(0xFFFFFF, 0.8f));
  Sdf screen = small ? RBox(4, top + 4, 28, bottom - 4, 0)
                     : RBox(5, top + 4, 27, bottom - 5, 1);
  if (!small) c.Fill(Grow(screen, p), ic.vga ? Hex(0x808080) : Hex(0x4A5264));
  return screen;
}

// Union of whole pixels at (column, row), each `size` units square.
Sdf Pixels(std::initializer_list<std::pair<int, int>> at, float size = 2) {
  Sdf s = [](V) { return 1e9f; };
  for (const auto& xy : at) s = Union(s, Dot1(xy.first * size, xy.second * size, size));
  return s;
}

// Night over low hills, with a crescent moon and stars, inside `screen`.
void DrawNight(Canvas& c, const Icon& ic, const Sdf& screen, float y0, float y1,
               bool moon_and_stars) {
  const bool small = ic.n == 16;
  if (ic.vga) {
    c.Fill(screen, Hex(0x000080));
    float glow = small ? y1 - 4 : y1 - 5;
    c.Fill(Inter(screen, [=](V q) { return glow - q.y; }), Hex(0x0000FF));
  } else {
    c.Fill(screen, Linear({0, y0}, {0, y1},
                          {{0, Hex(0x0A1236)}, {0.55f, Hex(0x1D3486)},
                           {1, Hex(0x4C78D8)}}));
  }
  if (!moon_and_stars && ic.vga) return;
  // Hills: a gently rolling ridge.
  Sdf hills = small ? Sdf([=](V q) { return (q.x < 18 ? y1 - 2 : y1 - 4) - q.y; })
                    : Sdf([=](V q) {
                        if (ic.vga) {  // two overlapping hills
                          float a = 1 - (q.x - 10) * (q.x - 10) / 45,
                                b = 1 - (q.x - 23) * (q.x - 23) / 36;
                          return y1 - std::max({3.2f * a, 2.2f * b, 0.0f}) - q.y;
                        }
                        return y1 - 2.6f + 1.0f * std::sin(q.x * 0.38f + 0.8f) +
                               0.4f * std::sin(q.x * 0.93f) - q.y;
                      });
  c.Fill(Inter(screen, hills),
         ic.vga ? Solid(Hex(0x000000))
                : Linear({0, y1 - 5}, {0, y1}, {{0, Hex(0x121a44)}, {1, Hex(0x070b20)}}));
  if (!moon_and_stars) return;
  Col star = Hex(0xFFFFFF);
  if (small) {
    c.Fill(Pixels({{10, 4}, {11, 4}, {11, 5}, {12, 5}, {11, 6}, {12, 6}, {10, 7}, {11, 7}}),
           Hex(0xFFFF00));
    c.Fill(Pixels({{5, 4}, {4, 5}, {5, 5}, {6, 5}, {5, 6}}), star);
    c.Fill(Pixels({{8, 7}}), Hex(0xC0C0C0));
    c.Fill(Pixels({{3, 8}}), Hex(0xC0C0C0));
    return;
  }
  // Moon.
  V m{21.5f, y0 + 4.6f};
  float r = 3.7f;
  Sdf moon = Sub(Circle(m, r), Circle(m + V{-r * 0.55f, -r * 0.3f}, r * 0.76f));
  if (!ic.vga) c.Fill(screen, Radial(m, r * 2.4f, {{0, Hex(0xB9C8FF, 0.45f)},
                                                  {1, Hex(0xB9C8FF, 0)}}));
  if (ic.vga)  // drawn pixel by pixel: a computed crescent is ragged at this size
    moon = Pixels({{20, 9}, {21, 9}, {22, 9}, {22, 10}, {23, 10}, {24, 10}, {23, 11},
                   {24, 11}, {25, 11}, {23, 12}, {24, 12}, {25, 12}, {23, 13},
                   {24, 13}, {25, 13}, {22, 14}, {23, 14}, {24, 14}, {20, 15},
                   {21, 15}, {22, 15}}, 1);
  c.Fill(Inter(screen, moon), ic.vga ? Hex(0xFFFF00) : Hex(0xFFF1BE));
  // Stars.
  c.Fill(Inter(screen, Sparkle({9.5f, y0 + 3.5f}, 2.6f, 0.26f)), star);
  const float dots[][3] = {{14.5f, 1.5f, 0.55f}, {6.5f, 7.5f, 0.5f}, {15.5f, 5.5f, 0.5f},
                           {26.5f, 6.5f, 0.45f}, {11.5f, 7.5f, 0.4f}, {25.5f, 1.5f, 0.45f}};
  for (const auto& d : dots) {
    float rr = std::max(d[2], ic.px * 0.75f);
    c.Fill(Inter(screen, Circle({d[0], y0 + d[1]}, rr)), star);
  }
}

void Halcyra(Canvas& c, const Icon& ic) {
  float top = ic.n == 16 ? 2 : 4, bottom = 26;
  Sdf screen = DrawMonitor(c, ic, top, bottom);
  float y0 = top + 4, y1 = bottom - (ic.n == 16 ? 4 : 5);
  DrawNight(c, ic, screen, y0, y1, true);
}

void Quenlark(Canvas& c, const Icon& ic) {
  const bool small = ic.n == 16;
  const float p = ic.px;
  float top = small ? 12 : 11, bottom = 26;
  Sdf screen = DrawMonitor(c, ic, top, bottom);
  float y0 = top + 4, y1 = bottom - (small ? 4 : 5);
  DrawNight(c, ic, screen, y0, y1, false);
  Col line = ic.vga ? Hex(0x000000) : Hex(0x3B2410);
  // Open carton above the monitor.
  float bx0 = small ? 6 : 8, bx1 = small ? 26 : 24, by0 = 6, by1 = small ? 14 : 15;
  float lid = small ? 4 : 3.2f;
  Sdf front = RBox(bx0, by0, bx1, by1, small ? 0 : 0.8f);
  Sdf inside = Poly({{bx0, by0}, {bx0 + lid, by0 - lid}, {bx1 - lid, by0 - lid}, {bx1, by0}});
  Sdf flap_l = Poly({{bx0, by0}, {bx0 + lid, by0 - lid}, {bx0 - lid * 0.2f, by0 - lid * 1.4f},
                     {bx0 - lid * 1.1f, by0 - lid * 0.2f}});
  Sdf flap_r = Poly({{bx1, by0}, {bx1 - lid, by0 - lid}, {bx1 + lid * 0.2f, by0 - lid * 1.4f},
                     {bx1 + lid * 1.1f, by0 - lid * 0.2f}});
  if (small) {  // closed, lid seen from above
    inside = RBox(bx0, by0 - lid, bx1, by0, 0);
    flap_l = flap_r = inside;
  }
  Sdf carton = Union(Union(front, inside), Union(flap_l, flap_r));
  c.Fill(Grow(carton, p), line);
  if (ic.vga) {
    c.Fill(front, Hex(0x808000));
    c.Fill(Union(flap_l, flap_r), Hex(0xFFFF00));
    if (!small) c.Fill(inside, Hex(0x800000));
  } else {
    c.Fill(front, Linear({bx0, by0}, {bx1, by1},
                         {{0, Hex(0xE8B66A)}, {1, Hex(0xB97A34)}}));
    c.Fill(Union(flap_l, flap_r), Linear({0, by0 - lid * 1.4f}, {0, by0},
                                          {{0, Hex(0xF6D49A)}, {1, Hex(0xD9A55A)}}));
    c.Fill(inside, Hex(0x6E4419));
    // Tape across the front.
    c.Fill(Inter(front, RBox(14.5f, by0, 17.5f, by1, 0)), Hex(0xF4DDB0, 0.7f));
  }
  // Arrow from the carton down into the screen.
  float ax = 16, sw = small ? 2 : 2.6f, hw = small ? 6 : 6.5f;
  float s0 = small ? 4 : 4.5f, h0 = small ? 14 : 15.5f, tip = small ? 22 : 23.5f;
  Sdf arrow = Union(RBox(ax - sw, s0, ax + sw, h0 + 1, small ? 0 : 0.6f),
                    Poly({{ax - hw, h0}, {ax + hw, h0}, {ax, tip}}));
  c.Fill(Grow(arrow, p), ic.vga ? Hex(0x000000) : Hex(0x0C4A16));
  if (ic.vga) {
    c.Fill(arrow, Hex(0x00FF00));
    // Shaded lower right edge.
    if (!small) c.Fill(Sub(arrow, Shift(arrow, {-1.5f * p, -1.5f * p})), Hex(0x008000));
  } else {
    c.Fill(arrow, Linear({ax - hw, 0}, {ax + hw, 0},
                         {{0, Hex(0x9CF57E)}, {0.5f, Hex(0x4CCB4A)}, {1, Hex(0x1E8E2C)}}));
    c.Fill(Inter(arrow, Capsule({ax - sw * 0.45f, s0 + 1}, {ax - sw * 0.45f, h0}, 0.5f)),
           Hex(0xFFFFFF, 0.55f));
  }
}

// The woven frame: four ribbons of light, each passing over one neighbour
// and under the other at the corners, framing a small glowing screen.
struct Weave {
  float cx, cy;  // centre
  float ax, ay;  // half distance between the vertical / horizontal ribbons
  float ext;     // how far ribbons run past the crossings
  float w;       // ribbon width
};

void DrawWeave(Canvas& c, const Icon& ic, const Weave& wv, bool glow) {
  const float p = ic.px, hw = wv.w / 2;
  float l = wv.cx - wv.ax, r = wv.cx + wv.ax, t = wv.cy - wv.ay, b = wv.cy + wv.ay;
  // Screen between the ribbons.
  Sdf screen = RBox(l, t, r, b, 0);
  c.Fill(Grow(screen, -hw * 0.2f), Linear({0, t}, {0, b},
                                          {{0, Hex(0x1A1650)}, {1, Hex(0x2B2F86)}}));
  c.Fill(Grow(screen, -hw), Radial({wv.cx, wv.cy - wv.ay * 0.15f}, wv.ax * 1.1f,
                                  {{0, Hex(0x9AB4FF, 0.75f)}, {0.5f, Hex(0x6B6CF0, 0.3f)},
                                   {1, Hex(0x6B6CF0, 0)}}));
  struct Ribbon {
    V a, b;
    Col c0, c1;
  };
  float e = wv.ext;
  const Ribbon rib[4] = {
      {{l - e, t}, {r + e, t}, Hex(0x37E2FF), Hex(0x5A78FF)},  // top
      {{r, t - e}, {r, b + e}, Hex(0x9A5CFF), Hex(0xFF4FD0)},  // right
      {{r + e, b}, {l - e, b}, Hex(0xFF5C9A), Hex(0xFFB443)},  // bottom
      {{l, b + e}, {l, t - e}, Hex(0xFFE04A), Hex(0x3EE8B8)},  // left
  };
  // Round-ended ribbons; at 16 pixels they end square on the pixel grid.
  auto shape = [&](int i) {
    V a = rib[i].a, b = rib[i].b, d = (b - a) * (1 / Len(b - a)), n{-d.y, d.x};
    if (ic.n == 16) return Poly({a + n * hw, b + n * hw, b - n * hw, a - n * hw});
    return Capsule(a + d * (hw * 0.5f), b - d * (hw * 0.5f), hw);
  };
  if (glow) {
    Sdf all = Union(Union(shape(0), shape(1)), Union(shape(2), shape(3)));
    c.Glow(all, Hex(0x8FA8FF, 0.32f), 1.3f * p);
  }
  auto draw = [&](int i, const Sdf& clip) {
    const Ribbon& rb = rib[i];
    Sdf s = shape(i);
    c.Fill(Inter(Grow(s, p), clip), Hex(0x120E30));
    c.Fill(Inter(s, clip), Linear(rb.a, rb.b, {{0, rb.c0}, {1, rb.c1}}));
    if (ic.n > 16)
      c.Fill(Inter(Capsule(rb.a + (rb.b - rb.a) * (hw / Len(rb.b - rb.a)),
                           rb.b - (rb.b - rb.a) * (hw / Len(rb.b - rb.a)), hw * 0.3f),
                   clip),
             Hex(0xFFFFFF, 0.6f));
  };
  // A point of light in the middle of the screen.
  if (glow && ic.n > 16)
    c.Fill(Sparkle({wv.cx, wv.cy}, wv.ay * 0.62f, 0.2f), Hex(0xFFFFFF, 0.9f));
  Sdf everywhere = [](V) { return -1e9f; };
  for (int i = 0; i < 4; ++i) draw(i, everywhere);
  // At each corner the ribbon ending there (i) passes over the next one.
  const V corner[4] = {{r, t}, {r, b}, {l, b}, {l, t}};
  for (int i = 0; i < 4; ++i) {
    float s = hw + 1.5f * p;
    V k = corner[i];
    draw(i, RBox(k.x - s, k.y - s, k.x + s, k.y + s, 0));
  }
}

Weave IconWeave(const Icon& ic) {
  if (ic.n == 16) return {16, 16, 10, 8, 2, 4};
  return {16, 16, 9.4f, 7.6f, 3.4f, 4.4f};
}

void Lumenweave(Canvas& c, const Icon& ic) { DrawWeave(c, ic, IconWeave(ic), true); }

void LumenweaveDoc(Canvas& c, const Icon& ic) {
  const bool small = ic.n == 16;
  const float p = ic.px;
  float x0 = small ? 4 : 5, x1 = small ? 28 : 27, y0 = small ? 0 : 1, y1 = small ? 32 : 31;
  float f = small ? 8 : 8;
  Sdf page = Poly({{x0, y0}, {x1 - f, y0}, {x1, y0 + f}, {x1, y1}, {x0, y1}});
  c.Fill(page, Hex(0x6A7284));
  c.Fill(Grow(page, -p), Linear({x0, y0}, {x1, y1},
                                {{0, Hex(0xFFFFFF)}, {1, Hex(0xE4E8EF)}}));
  Sdf fold = Poly({{x1 - f, y0}, {x1 - f, y0 + f}, {x1, y0 + f}});
  c.Fill(Inter(Grow(fold, p * 0.5f), page), Hex(0x6A7284));
  c.Fill(Grow(fold, -p * 0.5f), Linear({x1 - f, y0 + f}, {x1, y0},
                                       {{0, Hex(0xCDD3DE)}, {1, Hex(0xFFFFFF)}}));
  Weave wv = small ? Weave{16, 20, 6, 6, 0, 4} : Weave{16, 20.5f, 6, 5, 2.8f, 2.8f};
  DrawWeave(c, ic, wv, false);
}

// ---------------------------------------------------------------- logo

float Hash(int i) {
  uint32_t h = uint32_t(i) * 2654435761u;
  h ^= h >> 15, h *= 2246822519u, h ^= h >> 13;
  return (h & 0xFFFFFF) / float(0x1000000);
}

// Night sky over hills and still water: the picture beside the settings.
void Logo(Canvas& c) {
  const float w = 96, h = 112, horizon = 84;
  c.Fill(RBox(-1, -1, w + 1, h + 1, 0),
         Linear({0, 0}, {0, horizon},
                {{0, Hex(0x050920)}, {0.45f, Hex(0x10205A)}, {0.8f, Hex(0x2C4A9C)},
                 {1, Hex(0x7A7FC8)}}));
  // Aurora: soft curtains of green light.
  c.Shade([&](V q) {
    float mid = 40 + 7 * std::sin(q.x * 0.055f + 0.6f);
    float dy = (q.y - mid) / 11;
    float band = std::exp(-dy * dy) * (q.y > mid ? 1.0f : 0.7f);
    float rays = 0.6f + 0.4f * std::sin(q.x * 0.45f + std::sin(q.x * 0.13f) * 2);
    return WithAlpha(Mix(Hex(0x5CF2C0), Hex(0x7FA8FF), Clamp01(-dy * 0.5f + 0.3f)),
                     0.32f * band * rays);
  });
  // Stars, fainter towards the horizon.
  for (int i = 0; i < 46; ++i) {
    float x = Hash(i * 3) * w, y = Hash(i * 3 + 1) * (horizon - 14);
    float bright = 0.35f + 0.65f * Hash(i * 3 + 2) * (1 - y / horizon);
    if (std::fabs(x - 66) < 14 && std::fabs(y - 24) < 14) continue;
    c.Fill(Circle({x, y}, 0.45f + 0.35f * bright), Hex(0xFFFFFF, bright));
  }
  c.Fill(Sparkle({20, 16}, 4.5f, 0.16f), Hex(0xFFFFFF, 0.95f));
  c.Fill(Sparkle({41, 9}, 3, 0.18f), Hex(0xE8EEFF, 0.85f));
  c.Fill(Sparkle({84, 52}, 2.5f, 0.2f), Hex(0xE8EEFF, 0.7f));
  // Moon with halo.
  V m{66, 24};
  c.Fill(Circle(m, 26), Radial(m, 26, {{0, Hex(0xCAD6FF, 0.5f)}, {0.35f, Hex(0x9FB2FF, 0.22f)},
                                       {1, Hex(0x9FB2FF, 0)}}));
  Sdf moon = Sub(Circle(m, 9.5f), Circle(m + V{-4.6f, -3.4f}, 8.2f));
  c.Fill(moon, Radial(m + V{3, 2}, 10, {{0, Hex(0xFFF6D6)}, {1, Hex(0xF3D98C)}}));
  // Far and near hills.
  auto ridge = [](float base, float a1, float f1, float a2, float f2, float ph) {
    return Sdf([=](V q) {
      return base + a1 * std::sin(q.x * f1 + ph) + a2 * std::sin(q.x * f2 + 2 * ph) - q.y;
    });
  };
  c.Fill(ridge(horizon - 7, 3.5f, 0.07f, 1.5f, 0.19f, 1.0f),
         Linear({0, horizon - 14}, {0, horizon}, {{0, Hex(0x2A3478)}, {1, Hex(0x1A2258)}}));
  c.Fill(ridge(horizon - 1, 4, 0.05f, 1.2f, 0.23f, 2.6f),
         Linear({0, horizon - 8}, {0, horizon}, {{0, Hex(0x121944)}, {1, Hex(0x0B1030)}}));
  // Still water reflecting the sky, with the moon's path on it.
  c.Fill(RBox(-1, horizon, w + 1, h + 1, 0),
         Linear({0, horizon}, {0, h}, {{0, Hex(0x24387E)}, {0.4f, Hex(0x14215A)},
                                       {1, Hex(0x070C26)}}));
  c.Fill(RBox(-1, horizon, w + 1, horizon + 0.6f, 0), Hex(0x9AA8E8, 0.6f));
  const float path = m.x + 2;
  c.Shade([&](V q) {
    if (q.y < horizon) return Col{0, 0, 0, 0};
    float spread = (q.x - path) / (3 + (q.y - horizon) * 0.3f);
    return Hex(0xFFE0A0, 0.16f * std::exp(-spread * spread));
  });
  for (int i = 0; i < 16; ++i) {
    float y = horizon + 2 + i * 1.65f, spread = 2 + i * 0.55f, t = i / 15.0f;
    int pieces = 1 + int(Hash(300 + i) * 3);
    for (int j = 0; j < pieces; ++j) {
      int k = 1000 + i * 8 + j * 2;
      float x = path + (Hash(k) - 0.5f) * 2 * spread;
      float half = 0.8f + Hash(k + 1) * spread * 0.55f;
      c.Fill(Capsule({x - half, y}, {x + half, y}, 0.35f + i * 0.02f),
             WithAlpha(Mix(Hex(0xFFF2C8), Hex(0xE8B868), t),
                       (0.85f - 0.45f * t) * (0.6f + 0.4f * Hash(k + 7))));
    }
  }
  // Soft darkening at the edges.
  c.Shade([&](V q) {
    float dx = (q.x - w / 2) / (w / 2), dy = (q.y - h / 2) / (h / 2);
    return Hex(0x02030C, 0.35f * Smooth(0.5f, 1.5f, dx * dx + dy * dy));
  });
}

// ---------------------------------------------------------------- output

using Design = void (*)(Canvas&, const Icon&);

Canvas DrawIcon(Design d, int n, bool vga) {
  Canvas c(n, n, n / 32.0f, 8);
  d(c, Icon{n, vga, 32.0f / n});
  return c;
}

// 16 and 32 pixels at 16 colours, 48 pixels at 256 colours.
Bytes ClassicIcon(Design d) {
  return IcoFile({Icon4(16, DrawIcon(d, 16, true).Vga()),
                  Icon4(32, DrawIcon(d, 32, true).Vga()),
                  Icon8(48, DrawIcon(d, 48, false).Average())});
}

// 16, 32 and 48 pixels with alpha, then the same at 256 colours.
Bytes ModernIcon(Design d) {
  std::vector<IconImage> full, pal;
  for (int n : {16, 32, 48}) {
    std::vector<Col> px = DrawIcon(d, n, false).Average();
    full.push_back(Icon32(n, px));
    pal.push_back(Icon8(n, px));
  }
  full.insert(full.end(), pal.begin(), pal.end());
  return IcoFile(full);
}


}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lwart OUTDIR\n");
    return 2;
  }
  std::string dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir)) {
    std::fprintf(stderr, "lwart: cannot create directory %s\n", dir.c_str());
    return 1;
  }
  Canvas logo(96, 112, 1.0f, 4);
  Logo(logo);
  // Every file drawn, by the name the resource scripts use: the one list
  // of them (the build knows only that they were drawn).
  std::vector<std::pair<std::string, Bytes>> files = {
      {"halcyra.ico", ClassicIcon(Halcyra)},
      {"quenlark.ico", ClassicIcon(Quenlark)},
      {"halcyra_logo.bmp", BmpFile(96, 112, logo.Average())},
      {"lumenweave.ico", ModernIcon(Lumenweave)},
      {"lumenweave_doc.ico", ModernIcon(LumenweaveDoc)},
  };
  for (auto& f : BuilderArt()) files.push_back(std::move(f));
  for (auto& f : StartArt()) files.push_back(std::move(f));
  for (auto& f : CursorArt()) files.push_back(std::move(f));
  for (const auto& f : files) {
    std::string path = dir + "/" + f.first;
    if (!Write(path, f.second)) {
      std::fprintf(stderr, "lwart: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
