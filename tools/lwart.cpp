// Host tool run by the build: draws the program icons, the scene document
// icon and the settings-dialog logo, and writes them as Windows .ico and .bmp
// files for the resource scripts.
//
//   lwart OUTDIR
//
// writes halcyra.ico, quenlark.ico, halcyra_logo.bmp, lumenweave.ico and
// lumenweave_doc.ico into OUTDIR. Everything is drawn from code, so the
// output is the same bytes on every run.
//
// Drawing works on a supersampled canvas (8 x 8 samples a pixel for icons)
// with signed-distance shapes in a 32-unit design grid. A pixel is averaged
// from its samples for the true-colour and 256-colour images; for the
// 16-colour images each sample is mapped to the VGA palette first and the
// pixel takes the most common one, which keeps small icons crisp instead of
// smearing edges into stray palette colours.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------- geometry

struct V {
  float x, y;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
V operator*(V a, float s) { return {a.x * s, a.y * s}; }
float Dot(V a, V b) { return a.x * b.x + a.y * b.y; }
float Len(V a) { return std::sqrt(Dot(a, a)); }
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Smooth(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

struct Col {
  float r, g, b, a;
};
Col Hex(uint32_t rgb, float a = 1.0f) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f,
          (rgb & 255) / 255.0f, a};
}
Col Mix(Col a, Col b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}
Col WithAlpha(Col c, float a) { return {c.r, c.g, c.b, a}; }

// Shapes are signed distances in design units, negative inside.
using Sdf = std::function<float(V)>;
using Paint = std::function<Col(V)>;

Sdf Circle(V c, float r) {
  return [=](V p) { return Len(p - c) - r; };
}
Sdf RBox(float x0, float y0, float x1, float y1, float r) {
  V c{(x0 + x1) / 2, (y0 + y1) / 2};
  V h{(x1 - x0) / 2 - r, (y1 - y0) / 2 - r};
  return [=](V p) {
    float qx = std::fabs(p.x - c.x) - h.x, qy = std::fabs(p.y - c.y) - h.y;
    V o{std::max(qx, 0.0f), std::max(qy, 0.0f)};
    return Len(o) + std::min(std::max(qx, qy), 0.0f) - r;
  };
}
Sdf Capsule(V a, V b, float r) {
  return [=](V p) {
    V pa = p - a, ba = b - a;
    float h = Clamp01(Dot(pa, ba) / Dot(ba, ba));
    return Len(pa - ba * h) - r;
  };
}
Sdf Poly(std::vector<V> v) {
  return [v](V p) {
    float d = Dot(p - v[0], p - v[0]);
    bool inside = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
      V e = v[j] - v[i], w = p - v[i];
      V b = w - e * Clamp01(Dot(w, e) / Dot(e, e));
      d = std::min(d, Dot(b, b));
      bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
      if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) inside = !inside;
    }
    return (inside ? -1.0f : 1.0f) * std::sqrt(d);
  };
}
Sdf Union(Sdf a, Sdf b) {
  return [=](V p) { return std::min(a(p), b(p)); };
}
Sdf Inter(Sdf a, Sdf b) {
  return [=](V p) { return std::max(a(p), b(p)); };
}
Sdf Sub(Sdf a, Sdf b) {
  return [=](V p) { return std::max(a(p), -b(p)); };
}
Sdf Grow(Sdf a, float r) {
  return [=](V p) { return a(p) - r; };
}
Sdf Shift(Sdf a, V by) {
  return [=](V p) { return a(p - by); };
}
// Four-pointed glint: two thin diamonds crossed.
Sdf Sparkle(V c, float r, float waist) {
  float w = r * waist;
  return Union(Poly({{c.x - r, c.y}, {c.x, c.y - w}, {c.x + r, c.y}, {c.x, c.y + w}}),
               Poly({{c.x, c.y - r}, {c.x + w, c.y}, {c.x, c.y + r}, {c.x - w, c.y}}));
}
// Square pixel-sized dot, for hand-placed pixels on small icons.
Sdf Dot1(float x, float y, float s) { return RBox(x, y, x + s, y + s, 0); }

using Stops = std::vector<std::pair<float, Col>>;
Col Ramp(const Stops& s, float t) {
  if (t <= s.front().first) return s.front().second;
  for (size_t i = 1; i < s.size(); ++i)
    if (t <= s[i].first)
      return Mix(s[i - 1].second, s[i].second,
                 (t - s[i - 1].first) / (s[i].first - s[i - 1].first));
  return s.back().second;
}
Paint Solid(Col c) {
  return [c](V) { return c; };
}
Paint Linear(V a, V b, Stops s) {
  V d = b - a;
  float l2 = Dot(d, d);
  return [=](V p) { return Ramp(s, Dot(p - a, d) / l2); };
}
Paint Radial(V c, float r, Stops s) {
  return [=](V p) { return Ramp(s, Len(p - c) / r); };
}

// ---------------------------------------------------------------- palettes

const uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000,
                           0x000080, 0x800080, 0x008080, 0xC0C0C0,
                           0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int Nearest(const std::vector<uint32_t>& pal, int r, int g, int b) {
  int best = 0;
  long best_d = -1;
  for (size_t i = 0; i < pal.size(); ++i) {
    int dr = r - int((pal[i] >> 16) & 255), dg = g - int((pal[i] >> 8) & 255),
        db = b - int(pal[i] & 255);
    long d = 3L * dr * dr + 4L * dg * dg + 2L * db * db;
    if (best_d < 0 || d < best_d) best_d = d, best = int(i);
  }
  return best;
}

int To8(float v) { return int(std::lround(Clamp01(v) * 255.0f)); }

// Median cut: splits the box of colours with the largest squared error at
// its weighted median along its widest channel until there are `max` boxes.
std::vector<uint32_t> MedianCut(const std::vector<uint32_t>& pixels, int max) {
  std::map<uint32_t, long> counts;
  for (uint32_t p : pixels) ++counts[p];
  struct Entry {
    uint32_t rgb;
    long n;
  };
  using Box = std::vector<Entry>;
  std::vector<Box> boxes(1);
  for (const auto& kv : counts) boxes[0].push_back({kv.first, kv.second});
  if (boxes[0].empty()) return {};
  auto chan = [](uint32_t rgb, int c) { return int((rgb >> (16 - 8 * c)) & 255); };
  auto error = [&](const Box& b, int* widest) {
    double total = 0, best = -1;
    for (int c = 0; c < 3; ++c) {
      double n = 0, s = 0, s2 = 0;
      for (const Entry& e : b) {
        double v = chan(e.rgb, c);
        n += e.n, s += v * e.n, s2 += v * v * e.n;
      }
      double var = s2 - s * s / n;
      total += var;
      if (var > best) best = var, *widest = c;
    }
    return total;
  };
  while (int(boxes.size()) < max) {
    int pick = -1, axis = 0;
    double worst = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      int c;
      double e = boxes[i].size() > 1 ? error(boxes[i], &c) : 0;
      if (e > worst) worst = e, pick = int(i), axis = c;
    }
    if (pick < 0) break;
    Box& b = boxes[pick];
    std::sort(b.begin(), b.end(), [&](const Entry& l, const Entry& r) {
      int a = chan(l.rgb, axis), c = chan(r.rgb, axis);
      return a != c ? a < c : l.rgb < r.rgb;
    });
    long total = 0, run = 0;
    for (const Entry& e : b) total += e.n;
    size_t cut = 1;
    for (size_t i = 0; i + 1 < b.size(); ++i) {
      run += b[i].n;
      cut = i + 1;
      if (run * 2 >= total) break;
    }
    Box upper(b.begin() + cut, b.end());
    b.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<uint32_t> pal;
  for (const Box& b : boxes) {
    double n = 0, s[3] = {0, 0, 0};
    for (const Entry& e : b) {
      n += e.n;
      for (int c = 0; c < 3; ++c) s[c] += double(chan(e.rgb, c)) * e.n;
    }
    uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c)
      rgb = rgb << 8 | uint32_t(std::lround(s[c] / n));
    pal.push_back(rgb);
  }
  return pal;
}

// ---------------------------------------------------------------- canvas

class Canvas {
 public:
  // w x h pixels, `scale` pixels per design unit, ss x ss samples a pixel.
  Canvas(int w, int h, float scale, int ss)
      : w_(w), h_(h), ss_(ss), k_(scale * ss), buf_(size_t(w * ss) * h * ss) {}

  int w() const { return w_; }
  int h() const { return h_; }

  // Composites f (straight colour, alpha as coverage) at every sample.
  void Shade(const Paint& f) {
    for (int y = 0; y < h_ * ss_; ++y)
      for (int x = 0; x < w_ * ss_; ++x) {
        Col c = f({(x + 0.5f) / k_, (y + 0.5f) / k_});
        if (c.a <= 0) continue;
        Col& d = buf_[size_t(y) * w_ * ss_ + x];
        float a = std::min(c.a, 1.0f), k = 1 - a;
        d = {c.r * a + d.r * k, c.g * a + d.g * k, c.b * a + d.b * k, a + d.a * k};
      }
  }
  void Fill(const Sdf& s, const Paint& p) {
    float k = k_;
    Shade([&](V q) {
      float cov = Clamp01(0.5f - s(q) * k);
      if (cov <= 0) return Col{0, 0, 0, 0};
      Col c = p(q);
      c.a *= cov;
      return c;
    });
  }
  void Fill(const Sdf& s, Col c) { Fill(s, Solid(c)); }
  // Soft light around a shape, fading over `radius` units outside it.
  void Glow(const Sdf& s, Col c, float radius) {
    Shade([&](V q) {
      float d = s(q);
      return WithAlpha(c, c.a * (d <= 0 ? 1.0f : std::exp(-d / radius)));
    });
  }

  // Straight (not premultiplied) colour of each pixel, averaged.
  std::vector<Col> Average() const {
    std::vector<Col> out(size_t(w_) * h_);
    float n = float(ss_ * ss_);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        Col s{0, 0, 0, 0};
        for (int j = 0; j < ss_; ++j)
          for (int i = 0; i < ss_; ++i) {
            const Col& c = At(x * ss_ + i, y * ss_ + j);
            s.r += c.r, s.g += c.g, s.b += c.b, s.a += c.a;
          }
        Col& o = out[size_t(y) * w_ + x];
        o = s.a > 0 ? Col{s.r / s.a, s.g / s.a, s.b / s.a, s.a / n} : Col{0, 0, 0, 0};
      }
    return out;
  }

  // VGA palette index of each pixel (-1 transparent): the most common
  // nearest colour among its samples.
  std::vector<int> Vga() const {
    std::vector<uint32_t> pal(kVga, kVga + 16);
    std::map<uint32_t, int> memo;
    std::vector<int> out(size_t(w_) * h_);
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        int votes[17] = {};
        for (int j = 0; j < ss_; ++j)
          for (int i = 0; i < ss_; ++i) {
            const Col& c = At(x * ss_ + i, y * ss_ + j);
            if (c.a < 0.5f) {
              ++votes[16];
              continue;
            }
            uint32_t key = uint32_t(To8(c.r / c.a)) << 16 |
                           uint32_t(To8(c.g / c.a)) << 8 | uint32_t(To8(c.b / c.a));
            auto it = memo.find(key);
            if (it == memo.end())
              it = memo.emplace(key, Nearest(pal, key >> 16, (key >> 8) & 255,
                                             key & 255)).first;
            ++votes[it->second];
          }
        int best = 16;
        for (int v = 0; v < 16; ++v)
          if (votes[v] > votes[best]) best = v;
        out[size_t(y) * w_ + x] = best == 16 ? -1 : best;
      }
    return out;
  }

 private:
  const Col& At(int x, int y) const { return buf_[size_t(y) * w_ * ss_ + x]; }

  int w_, h_, ss_;
  float k_;  // samples per design unit
  std::vector<Col> buf_;
};

// ---------------------------------------------------------------- files

void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

void InfoHeader(Bytes& b, int w, int h, int bpp, uint32_t image, uint32_t used,
                uint32_t ppm) {
  Put32(b, 40), Put32(b, uint32_t(w)), Put32(b, uint32_t(h));
  Put16(b, 1), Put16(b, uint32_t(bpp));
  Put32(b, 0), Put32(b, image), Put32(b, ppm), Put32(b, ppm);
  Put32(b, used), Put32(b, 0);
}
void Palette(Bytes& b, const std::vector<uint32_t>& pal, size_t entries) {
  for (size_t i = 0; i < entries; ++i) {
    uint32_t c = i < pal.size() ? pal[i] : 0;
    b.push_back(uint8_t(c)), b.push_back(uint8_t(c >> 8));
    b.push_back(uint8_t(c >> 16)), b.push_back(0);
  }
}

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
  auto rgb = [](const Col& c) {
    return uint32_t(To8(c.r)) << 16 | uint32_t(To8(c.g)) << 8 | uint32_t(To8(c.b));
  };
  for (const Col& c : px)
    if (c.a >= 0.5f) opaque.push_back(rgb(c));
  std::vector<uint32_t> pal{0};
  for (uint32_t c : MedianCut(opaque, 255)) pal.push_back(c);
  for (size_t i = 0; i < px.size(); ++i)
    if (px[i].a >= 0.5f) {
      uint32_t c = rgb(px[i]);
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

// 256-colour bottom-up BMP file with a palette made from the picture.
Bytes BmpFile(int w, int h, const std::vector<Col>& px) {
  std::vector<uint32_t> colours;
  for (const Col& c : px)
    colours.push_back(uint32_t(To8(c.r)) << 16 | uint32_t(To8(c.g)) << 8 |
                      uint32_t(To8(c.b)));
  std::vector<uint32_t> pal = MedianCut(colours, 256);
  int row = (w + 3) / 4 * 4;
  uint32_t image = uint32_t(row * h), bits = 14 + 40 + 1024;
  Bytes b{'B', 'M'};
  Put32(b, bits + image), Put32(b, 0), Put32(b, bits);
  InfoHeader(b, w, h, 8, image, 256, 2835);
  Palette(b, pal, 256);
  std::map<uint32_t, int> memo;
  for (int y = h - 1; y >= 0; --y) {
    Bytes r(size_t(row), 0);
    for (int x = 0; x < w; ++x) {
      uint32_t c = colours[size_t(y) * w + x];
      auto it = memo.find(c);
      if (it == memo.end())
        it = memo.emplace(c, Nearest(pal, c >> 16, (c >> 8) & 255, c & 255)).first;
      r[x] = uint8_t(it->second);
    }
    b.insert(b.end(), r.begin(), r.end());
  }
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

bool Write(const std::string& path, const Bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
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
  const std::pair<const char*, Bytes> files[] = {
      {"halcyra.ico", ClassicIcon(Halcyra)},
      {"quenlark.ico", ClassicIcon(Quenlark)},
      {"halcyra_logo.bmp", BmpFile(96, 112, logo.Average())},
      {"lumenweave.ico", ModernIcon(Lumenweave)},
      {"lumenweave_doc.ico", ModernIcon(LumenweaveDoc)},
  };
  for (const auto& f : files) {
    std::string path = dir + "/" + f.first;
    if (!Write(path, f.second)) {
      std::fprintf(stderr, "lwart: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
