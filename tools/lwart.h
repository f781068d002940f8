// The drawing kit of the host tool lwart: signed-distance shapes, paints,
// a supersampled canvas, palettes and the bitmap file writers. The program
// icons (lwart.cpp) and the builder's toolbar and command pictures
// (lwart_builder.cpp) are drawn with it.
//
// Shapes are signed distances in design units, negative inside; a canvas
// maps design units to pixels with its scale and averages ss x ss samples a
// pixel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lwart {

using Bytes = std::vector<uint8_t>;

// ---------------------------------------------------------------- geometry

struct V {
  float x, y;
};
inline V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
inline V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
inline V operator*(V a, float s) { return {a.x * s, a.y * s}; }
inline float Dot(V a, V b) { return a.x * b.x + a.y * b.y; }
inline float Len(V a) { return std::sqrt(Dot(a, a)); }
inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Smooth(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

struct Col {
  float r, g, b, a;
};
inline Col Hex(uint32_t rgb, float a = 1.0f) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f,
          (rgb & 255) / 255.0f, a};
}
inline Col Mix(Col a, Col b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}
inline Col WithAlpha(Col c, float a) { return {c.r, c.g, c.b, a}; }

// Shapes are signed distances in design units, negative inside.
using Sdf = std::function<float(V)>;
using Paint = std::function<Col(V)>;

inline Sdf Circle(V c, float r) {
  return [=](V p) { return Len(p - c) - r; };
}
inline Sdf RBox(float x0, float y0, float x1, float y1, float r) {
  V c{(x0 + x1) / 2, (y0 + y1) / 2};
  V h{(x1 - x0) / 2 - r, (y1 - y0) / 2 - r};
  return [=](V p) {
    float qx = std::fabs(p.x - c.x) - h.x, qy = std::fabs(p.y - c.y) - h.y;
    V o{std::max(qx, 0.0f), std::max(qy, 0.0f)};
    return Len(o) + std::min(std::max(qx, qy), 0.0f) - r;
  };
}
inline Sdf Capsule(V a, V b, float r) {
  return [=](V p) {
    V pa = p - a, ba = b - a;
    float h = Clamp01(Dot(pa, ba) / Dot(ba, ba));
    return Len(pa - ba * h) - r;
  };
}
inline Sdf Poly(std::vector<V> v) {
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
inline Sdf Union(Sdf a, Sdf b) {
  return [=](V p) { return std::min(a(p), b(p)); };
}
inline Sdf Inter(Sdf a, Sdf b) {
  return [=](V p) { return std::max(a(p), b(p)); };
}
inline Sdf Sub(Sdf a, Sdf b) {
  return [=](V p) { return std::max(a(p), -b(p)); };
}
inline Sdf Grow(Sdf a, float r) {
  return [=](V p) { return a(p) - r; };
}
inline Sdf Shift(Sdf a, V by) {
  return [=](V p) { return a(p - by); };
}
// Four-pointed glint: two thin diamonds crossed.
inline Sdf Sparkle(V c, float r, float waist) {
  float w = r * waist;
  return Union(Poly({{c.x - r, c.y}, {c.x, c.y - w}, {c.x + r, c.y}, {c.x, c.y + w}}),
               Poly({{c.x, c.y - r}, {c.x + w, c.y}, {c.x, c.y + r}, {c.x - w, c.y}}));
}
// Square pixel-sized dot, for hand-placed pixels on small icons.
inline Sdf Dot1(float x, float y, float s) { return RBox(x, y, x + s, y + s, 0); }

using Stops = std::vector<std::pair<float, Col>>;
inline Col Ramp(const Stops& s, float t) {
  if (t <= s.front().first) return s.front().second;
  for (size_t i = 1; i < s.size(); ++i)
    if (t <= s[i].first)
      return Mix(s[i - 1].second, s[i].second,
                 (t - s[i - 1].first) / (s[i].first - s[i - 1].first));
  return s.back().second;
}
inline Paint Solid(Col c) {
  return [c](V) { return c; };
}
inline Paint Linear(V a, V b, Stops s) {
  V d = b - a;
  float l2 = Dot(d, d);
  return [=](V p) { return Ramp(s, Dot(p - a, d) / l2); };
}
inline Paint Radial(V c, float r, Stops s) {
  return [=](V p) { return Ramp(s, Len(p - c) / r); };
}

// ---------------------------------------------------------------- palettes

const uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000,
                           0x000080, 0x800080, 0x008080, 0xC0C0C0,
                           0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

inline int Nearest(const std::vector<uint32_t>& pal, int r, int g, int b) {
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

inline int To8(float v) { return int(std::lround(Clamp01(v) * 255.0f)); }

// Median cut: splits the box of colours with the largest squared error at
// its weighted median along its widest channel until there are `max` boxes.
inline std::vector<uint32_t> MedianCut(const std::vector<uint32_t>& pixels, int max) {
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

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

inline void InfoHeader(Bytes& b, int w, int h, int bpp, uint32_t image, uint32_t used,
                       uint32_t ppm) {
  Put32(b, 40), Put32(b, uint32_t(w)), Put32(b, uint32_t(h));
  Put16(b, 1), Put16(b, uint32_t(bpp));
  Put32(b, 0), Put32(b, image), Put32(b, ppm), Put32(b, ppm);
  Put32(b, used), Put32(b, 0);
}
inline void Palette(Bytes& b, const std::vector<uint32_t>& pal, size_t entries) {
  for (size_t i = 0; i < entries; ++i) {
    uint32_t c = i < pal.size() ? pal[i] : 0;
    b.push_back(uint8_t(c)), b.push_back(uint8_t(c >> 8));
    b.push_back(uint8_t(c >> 16)), b.push_back(0);
  }
}

inline uint32_t Rgb(const Col& c) {
  return uint32_t(To8(c.r)) << 16 | uint32_t(To8(c.g)) << 8 | uint32_t(To8(c.b));
}

// 256-colour bottom-up BMP file with a palette made from the picture. The
// `fixed` colours open the palette unchanged (a background that a program
// maps to a system colour must stay exact); the picture's own fill the rest.
inline Bytes BmpFile(int w, int h, const std::vector<uint32_t>& colours,
                     const std::vector<uint32_t>& fixed = {}) {
  std::vector<uint32_t> rest;
  for (uint32_t c : colours)
    if (std::find(fixed.begin(), fixed.end(), c) == fixed.end()) rest.push_back(c);
  std::vector<uint32_t> pal = fixed;
  for (uint32_t c : MedianCut(rest, 256 - int(fixed.size()))) pal.push_back(c);
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
inline Bytes BmpFile(int w, int h, const std::vector<Col>& px) {
  std::vector<uint32_t> colours;
  for (const Col& c : px) colours.push_back(Rgb(c));
  return BmpFile(w, h, colours);
}

// True-colour bottom-up BMP file, rows padded to 4 bytes.
inline Bytes Bmp24File(int w, int h, const std::vector<uint32_t>& colours) {
  int row = (w * 3 + 3) / 4 * 4;
  uint32_t image = uint32_t(row * h), bits = 14 + 40;
  Bytes b{'B', 'M'};
  Put32(b, bits + image), Put32(b, 0), Put32(b, bits);
  InfoHeader(b, w, h, 24, image, 0, 2835);
  for (int y = h - 1; y >= 0; --y) {
    Bytes r(size_t(row), 0);
    for (int x = 0; x < w; ++x) {
      uint32_t c = colours[size_t(y) * w + x];
      r[x * 3] = uint8_t(c), r[x * 3 + 1] = uint8_t(c >> 8), r[x * 3 + 2] = uint8_t(c >> 16);
    }
    b.insert(b.end(), r.begin(), r.end());
  }
  return b;
}

inline bool Write(const std::string& path, const Bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

// The builder's bitmaps (lwart_builder.cpp): file name and bytes of each.
std::vector<std::pair<std::string, Bytes>> BuilderArt();
// The splash, Start window and About box pictures and the About movie
// (lwart_start.cpp).
std::vector<std::pair<std::string, Bytes>> StartArt();
// The builder's drag cursors (lwart_cursors.cpp).
std::vector<std::pair<std::string, Bytes>> CursorArt();

}  // namespace lwart
