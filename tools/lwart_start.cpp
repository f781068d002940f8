// The greeting pictures, drawn for lwart: the splash picture (also the
// About box's), the Start window's background and its six buttons in a
// normal and a lit form, and the About box's short vector movie.
//
// The pictures share one night-sky background with woven light threads;
// a button's picture paints that background at the button's own place so
// that it sits seamlessly on the window's. Letters come from a small
// stroke font of capsules on a 4 x 6 grid.
#include "tools/lwart.h"

namespace lwart {
namespace {

// ---------------------------------------------------------------- letters

// Strokes of each letter: polylines on a 4 x 6 grid (y down), separated
// by '|', points as "x,y" pairs separated by spaces.
const std::map<char, const char*>& Glyphs() {
  static const std::map<char, const char*> glyphs = {
      {'A', "0,6 0,2 2,0 4,2 4,6|0,3.5 4,3.5"},
      {'B', "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 4,1 4,2 3,3"},
      {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
      {'D', "0,0 0,6 2.5,6 4,4.5 4,1.5 2.5,0 0,0"},
      {'E', "4,0 0,0 0,6 4,6|0,3 3,3"},
      {'F', "4,0 0,0 0,6|0,3 3,3"},
      {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2.5,3.5"},
      {'H', "0,0 0,6|4,0 4,6|0,3 4,3"},
      {'I', "2,0 2,6|1,0 3,0|1,6 3,6"},
      {'J', "4,0 4,5 3,6 1,6 0,5"},
      {'K', "0,0 0,6|4,0 0,3.5|1.3,2.7 4,6"},
      {'L', "0,0 0,6 4,6"},
      {'M', "0,6 0,0 2,3 4,0 4,6"},
      {'N', "0,6 0,0 4,6 4,0"},
      {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
      {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
      {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.5,4.5 4,6"},
      {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6"},
      {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
      {'T', "0,0 4,0|2,0 2,6"},
      {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
      {'V', "0,0 2,6 4,0"},
      {'W', "0,0 1,6 2,3 3,6 4,0"},
      {'X', "0,0 4,6|4,0 0,6"},
      {'Y', "0,0 2,3 4,0|2,3 2,6"},
      {'Z', "0,0 4,0 0,6 4,6"},
      {'-', "1,3 3,3"},
      {'?', "0,1 1,0 3,0 4,1 4,2 2,3.5 2,4.5|2,5.9 2,6"},
  };
  return glyphs;
}

std::vector<std::vector<V>> Strokes(char ch) {
  std::vector<std::vector<V>> strokes(1);
  auto it = Glyphs().find(ch);
  if (it == Glyphs().end()) return {};
  const char* p = it->second;
  while (*p) {
    if (*p == '|') {
      strokes.emplace_back();
      ++p;
      continue;
    }
    char* end = nullptr;
    float x = std::strtof(p, &end);
    float y = std::strtof(end + 1, &end);
    strokes.back().push_back({x, y});
    p = end;
    while (*p == ' ') ++p;
  }
  return strokes;
}

// Letters `h` pixels high from (x, y), strokes `weight` pixels wide.
float TextWidth(const std::string& text, float h) {
  float unit = h / 6;
  return text.empty() ? 0 : text.size() * 5.6f * unit - 1.6f * unit;
}

Sdf Text(const std::string& text, float x, float y, float h, float weight) {
  float unit = h / 6;
  struct Segment {
    V a, b;
  };
  std::vector<Segment> segments;
  for (size_t i = 0; i < text.size(); ++i) {
    V origin{x + i * 5.6f * unit, y};
    for (const auto& stroke : Strokes(text[i]))
      for (size_t j = 0; j + 1 < stroke.size(); ++j)
        segments.push_back({origin + stroke[j] * unit, origin + stroke[j + 1] * unit});
  }
  float r = weight / 2, x1 = x + TextWidth(text, h);
  return [=](V p) {
    // Far from the line of text: a cheap bound is enough.
    float out = std::max(std::max(x - p.x, p.x - x1), std::max(y - p.y, p.y - y - h));
    if (out > 2 * r + 2) return out;
    float d = 1e9f;
    for (const Segment& s : segments) {
      V pa = p - s.a, ba = s.b - s.a;
      float l2 = Dot(ba, ba);
      float t = l2 > 0 ? Clamp01(Dot(pa, ba) / l2) : 0;
      d = std::min(d, Len(pa - ba * t));
    }
    return d - r;
  };
}

Sdf CentredText(const std::string& text, float cx, float y, float h, float weight) {
  return Text(text, cx - TextWidth(text, h) / 2, y, h, weight);
}

// ---------------------------------------------------------------- background

// The night sky at a point of a window w x h: a deep blue to violet fall
// with three woven threads of light across it.
Col Sky(V p, float w, float h) {
  Col c = Ramp({{0, Hex(0x0B1533)}, {0.55f, Hex(0x1C1E55)}, {1, Hex(0x2B1550)}}, p.y / h);
  struct Thread {
    float base, amp, period, phase;
    uint32_t rgb;
  } const threads[] = {{0.30f, 0.10f, 0.9f, 0.0f, 0x3FC8FF},
                       {0.42f, 0.13f, 1.3f, 1.7f, 0xFFC65A},
                       {0.36f, 0.08f, 0.6f, 3.1f, 0xB07CFF}};
  for (const Thread& t : threads) {
    const float k = 6.2831853f / (t.period * w);
    const float fy = h * (t.base + t.amp * std::sin(p.x * k + t.phase));
    const float slope = h * t.amp * k * std::cos(p.x * k + t.phase);
    const float d = std::fabs(p.y - fy) / std::sqrt(1 + slope * slope);
    const float glow = 0.55f * std::exp(-d / 2.2f) + 0.18f * std::exp(-d / 14);
    c = Mix(c, Hex(t.rgb), Clamp01(glow));
  }
  // A few fixed stars.
  for (int i = 0; i < 40; ++i) {
    const V s{std::fmod(i * 137.5f + 11, w), std::fmod(i * 53.17f + 0.3f, 1.0f) * h * 0.9f};
    float d = Len(p - s);
    c = Mix(c, Hex(0xFFFFFF), Clamp01(0.8f * std::exp(-d * d / 1.2f)));
  }
  return c;
}

void PaintSky(Canvas& c, V offset, float w, float h) {
  c.Shade([&](V p) { return Sky(p + offset, w, h); });
}

std::vector<uint32_t> Pixels(const Canvas& c) {
  std::vector<uint32_t> out;
  for (const Col& p : c.Average()) out.push_back(Rgb(p));
  return out;
}

// ---------------------------------------------------------------- pictures

const float kStartW = 532, kStartH = 390;

Bytes Splash() {
  const int w = 400, h = 240;
  Canvas c(w, h, 1, 3);
  PaintSky(c, {0, 0}, w, h);
  c.Glow(CentredText("LUMENWEAVE", w / 2.0f, 112, 30, 4), Hex(0x7FD8FF, 0.35f), 6);
  c.Fill(CentredText("LUMENWEAVE", w / 2.0f, 112, 30, 4), Hex(0xFFFFFF));
  c.Fill(CentredText("SCREEN SAVER BUILDER", w / 2.0f, 156, 10, 1.6f), Hex(0xBFD8FF));
  // The band the build code is written on.
  c.Fill(RBox(-2, 198, w + 2, h + 2, 0), Hex(0x070B1C, 0.85f));
  return BmpFile(w, h, Pixels(c));
}

Bytes StartBack() {
  Canvas c(int(kStartW), int(kStartH), 1, 3);
  PaintSky(c, {0, 0}, kStartW, kStartH);
  c.Glow(CentredText("LUMENWEAVE", kStartW / 2, 22, 30, 4), Hex(0x7FD8FF, 0.35f), 6);
  c.Fill(CentredText("LUMENWEAVE", kStartW / 2, 22, 30, 4), Hex(0xFFFFFF));
  c.Fill(CentredText("HOW WOULD YOU LIKE TO BEGIN?", kStartW / 2, 70, 11, 1.7f), Hex(0xBFD8FF));
  c.Fill(Text("DO NOT SHOW AT START", 318, 348, 9, 1.5f), Hex(0xBFD8FF));
  return BmpFile(int(kStartW), int(kStartH), Pixels(c));
}

// One button: its place on the window, its label and its sign.
struct StartButton {
  const char* file;
  float x, y, w, h;
  const char* label;
  std::function<void(Canvas&, V centre, float size, Col ink)> sign;
};

void Bolt(Canvas& c, V m, float s, Col ink) {
  c.Fill(Poly({{m.x + 0.15f * s, m.y - 0.5f * s},
               {m.x - 0.3f * s, m.y + 0.08f * s},
               {m.x - 0.02f * s, m.y + 0.08f * s},
               {m.x - 0.15f * s, m.y + 0.5f * s},
               {m.x + 0.3f * s, m.y - 0.1f * s},
               {m.x + 0.02f * s, m.y - 0.1f * s}}),
         ink);
}
void Wand(Canvas& c, V m, float s, Col ink) {
  c.Fill(Capsule({m.x - 0.4f * s, m.y + 0.4f * s}, {m.x + 0.1f * s, m.y - 0.1f * s}, 0.06f * s), ink);
  c.Fill(Sparkle({m.x + 0.22f * s, m.y - 0.22f * s}, 0.3f * s, 0.3f), Hex(0xFFD36A));
}
void Steps(Canvas& c, V m, float s, Col ink) {
  c.Fill(Poly({{m.x - 0.45f * s, m.y + 0.4f * s},
               {m.x - 0.45f * s, m.y + 0.15f * s},
               {m.x - 0.15f * s, m.y + 0.15f * s},
               {m.x - 0.15f * s, m.y - 0.1f * s},
               {m.x + 0.15f * s, m.y - 0.1f * s},
               {m.x + 0.15f * s, m.y - 0.35f * s},
               {m.x + 0.45f * s, m.y - 0.35f * s},
               {m.x + 0.45f * s, m.y + 0.4f * s}}),
         ink);
}
void NewPage(Canvas& c, V m, float s, Col ink) {
  const float x0 = m.x - 0.32f * s, x1 = m.x + 0.32f * s, y0 = m.y - 0.42f * s, y1 = m.y + 0.42f * s;
  c.Fill(Poly({{x0, y0}, {x1 - 0.18f * s, y0}, {x1, y0 + 0.18f * s}, {x1, y1}, {x0, y1}}), ink);
  c.Fill(Capsule({m.x, m.y - 0.18f * s}, {m.x, m.y + 0.26f * s}, 0.05f * s), Hex(0x1C2A5A));
  c.Fill(Capsule({m.x - 0.22f * s, m.y + 0.04f * s}, {m.x + 0.22f * s, m.y + 0.04f * s}, 0.05f * s),
         Hex(0x1C2A5A));
}
void OpenFolder(Canvas& c, V m, float s, Col ink) {
  c.Fill(Poly({{m.x - 0.45f * s, m.y + 0.35f * s},
               {m.x - 0.45f * s, m.y - 0.35f * s},
               {m.x - 0.15f * s, m.y - 0.35f * s},
               {m.x - 0.05f * s, m.y - 0.25f * s},
               {m.x + 0.35f * s, m.y - 0.25f * s},
               {m.x + 0.35f * s, m.y + 0.35f * s}}),
         Mix(ink, Hex(0x000000), 0.25f));
  c.Fill(Poly({{m.x - 0.45f * s, m.y + 0.35f * s},
               {m.x - 0.3f * s, m.y - 0.08f * s},
               {m.x + 0.5f * s, m.y - 0.08f * s},
               {m.x + 0.35f * s, m.y + 0.35f * s}}),
         ink);
}
void Cross(Canvas& c, V m, float s, Col ink) {
  c.Fill(Capsule({m.x - 0.3f * s, m.y - 0.3f * s}, {m.x + 0.3f * s, m.y + 0.3f * s}, 0.07f * s), ink);
  c.Fill(Capsule({m.x + 0.3f * s, m.y - 0.3f * s}, {m.x - 0.3f * s, m.y + 0.3f * s}, 0.07f * s), ink);
}

Bytes ButtonPicture(const StartButton& b, bool lit) {
  Canvas c(int(b.w), int(b.h), 1, 3);
  PaintSky(c, {b.x, b.y}, kStartW, kStartH);
  const Sdf panel = RBox(4, 4, b.w - 4, b.h - 4, 10);
  if (lit) c.Glow(panel, Hex(0x6FD6FF, 0.45f), 4);
  c.Fill(panel, lit ? Hex(0x8FE4FF) : Hex(0x5A78C8, 0.9f));
  c.Fill(Grow(panel, -1.5f),
         Linear({0, 4}, {0, b.h}, {{0, Hex(lit ? 0x3A5CB0 : 0x1E2C66)}, {1, Hex(lit ? 0x243A80 : 0x151F4C)}}));
  const bool small = b.h < 60;
  const Col ink = lit ? Hex(0xFFFFFF) : Hex(0xD8E6FF);
  const float labelH = small ? 11 : 10;
  if (small) {
    b.sign(c, {18, b.h / 2}, 18, lit ? Hex(0xFFD36A) : Hex(0xE0B060));
    c.Fill(Text(b.label, 32, b.h / 2 - labelH / 2, labelH, 1.8f), ink);
  } else {
    b.sign(c, {b.w / 2, 44}, 46, lit ? Hex(0xFFE27A) : Hex(0xE8C060));
    c.Fill(CentredText(b.label, b.w / 2, b.h - 28, labelH, 1.7f), ink);
  }
  return BmpFile(int(b.w), int(b.h), Pixels(c));
}

// ---------------------------------------------------------------- movie

// Bits written from the most significant end, as the movie format packs
// its records.
class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = uint8_t(acc_ << 1 | ((value >> i) & 1));
      if (++used_ == 8) Flush();
    }
  }
  void PutSigned(int32_t value, int bits) { Put(uint32_t(value), bits); }
  void Align() {
    if (used_) {
      acc_ = uint8_t(acc_ << (8 - used_));
      Flush();
    }
  }
  Bytes& bytes() { return bytes_; }

 private:
  void Flush() {
    bytes_.push_back(acc_);
    acc_ = 0, used_ = 0;
  }
  Bytes bytes_;
  uint8_t acc_ = 0;
  int used_ = 0;
};

int SignedBits(std::initializer_list<int32_t> values) {
  int bits = 1;
  for (int32_t v : values) {
    int n = 1;
    while (v < -(1 << (n - 1)) || v >= (1 << (n - 1))) ++n;
    bits = std::max(bits, n);
  }
  return bits;
}

void PutRect(BitWriter& w, int x0, int x1, int y0, int y1) {
  int n = SignedBits({x0, x1, y0, y1});
  w.Put(uint32_t(n), 5);
  for (int v : {x0, x1, y0, y1}) w.PutSigned(v, n);
  w.Align();
}

void Tag(Bytes& out, int code, const Bytes& body) {
  if (body.size() < 63) {
    Put16(out, uint32_t(code << 6 | int(body.size())));
  } else {
    Put16(out, uint32_t(code << 6 | 0x3F));
    Put32(out, uint32_t(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

// A shape of one solid colour: the closed outline through the points
// (twips, relative to the shape's origin).
Bytes DefineShape(int id, uint32_t rgb, const std::vector<std::pair<int, int>>& points) {
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
  for (const auto& p : points)
    x0 = std::min(x0, p.first), x1 = std::max(x1, p.first), y0 = std::min(y0, p.second),
    y1 = std::max(y1, p.second);
  BitWriter w;
  Put16(w.bytes(), uint32_t(id));
  PutRect(w, x0, x1, y0, y1);
  Bytes& b = w.bytes();
  b.push_back(1);  // one fill style: solid
  b.push_back(0);
  b.push_back(uint8_t(rgb >> 16)), b.push_back(uint8_t(rgb >> 8)), b.push_back(uint8_t(rgb));
  b.push_back(0);     // no line styles
  b.push_back(0x10);  // one fill bit, no line bits
  // Move to the first point with fill 1 on the right.
  w.Put(0, 1);
  w.Put(0b00101, 5);  // fill style 1, move to
  int n = SignedBits({points[0].first, points[0].second});
  w.Put(uint32_t(n), 5);
  w.PutSigned(points[0].first, n), w.PutSigned(points[0].second, n);
  w.Put(1, 1);
  for (size_t i = 1; i <= points.size(); ++i) {
    const auto& from = points[i - 1];
    const auto& to = points[i % points.size()];
    int dx = to.first - from.first, dy = to.second - from.second;
    int bits = std::max(2, SignedBits({dx, dy}));
    w.Put(1, 1), w.Put(1, 1);  // edge, straight
    w.Put(uint32_t(bits - 2), 4);
    w.Put(1, 1);  // general line
    w.PutSigned(dx, bits), w.PutSigned(dy, bits);
  }
  w.Put(0, 6);  // end of shape
  w.Align();
  return w.bytes();
}

Bytes Place(int depth, int id, bool move, int tx, int ty) {
  BitWriter w;
  w.bytes().push_back(uint8_t((move ? 0x01 : 0x02) | 0x04));
  Put16(w.bytes(), uint32_t(depth));
  if (!move) Put16(w.bytes(), uint32_t(id));
  w.Put(0, 1), w.Put(0, 1);  // no scale, no rotation
  int n = SignedBits({tx, ty});
  w.Put(uint32_t(n), 5);
  w.PutSigned(tx, n), w.PutSigned(ty, n);
  w.Align();
  return w.bytes();
}

// The About box's movie: the three threads' colours as diamonds drifting
// across the night sky, 36 frames at 12 a second, looping.
Bytes AboutMovie() {
  const int w = 400 * 20, h = 240 * 20, frames = 36;
  Bytes tags;
  Tag(tags, 9, Bytes{0x0B, 0x15, 0x33});
  const uint32_t colours[] = {0x3FC8FF, 0xFFC65A, 0xB07CFF};
  for (int i = 0; i < 3; ++i) {
    int r = 900 - i * 200;
    Tag(tags, 2, DefineShape(i + 1, colours[i], {{0, -r}, {r, 0}, {0, r}, {-r, 0}}));
  }
  Tag(tags, 2, DefineShape(4, 0xFFFFFF, {{-2600, -200}, {2600, -200}, {2600, 200}, {-2600, 200}}));
  for (int f = 0; f < frames; ++f) {
    for (int i = 0; i < 3; ++i) {
      float t = float(f) / frames * 6.2831853f;
      int x = int(w / 2 + (w * 0.35f) * std::sin(t + i * 2.094f));
      int y = int(h * 0.45f + (h * 0.2f) * std::sin(2 * t + i * 1.3f));
      Tag(tags, 26, Place(i + 1, i + 1, f > 0, x, y));
    }
    Tag(tags, 26, Place(4, 4, f > 0, w / 2, int(h * 0.82f)));
    Tag(tags, 1, {});
  }
  Tag(tags, 0, {});
  BitWriter head;
  PutRect(head, 0, w, 0, h);
  Bytes file{'F', 'W', 'S', 6};
  Bytes rest = head.bytes();
  Put16(rest, 12 << 8);
  Put16(rest, uint32_t(frames));
  rest.insert(rest.end(), tags.begin(), tags.end());
  Put32(file, uint32_t(8 + rest.size()));
  file.insert(file.end(), rest.begin(), rest.end());
  return file;
}

}  // namespace

std::vector<std::pair<std::string, Bytes>> StartArt() {
  const StartButton buttons[] = {
      {"start_flash", 11, 104, 170, 109, "FLASH TO SCR", Bolt},
      {"start_standard", 181, 104, 171, 109, "STANDARD WIZARD", Wand},
      {"start_onestep", 351, 104, 170, 109, "ONE-STEP SAVER", Steps},
      {"start_new", 87, 213, 180, 111, "NEW SCRIPT", NewPage},
      {"start_open", 266, 213, 181, 111, "OPEN SCRIPT", OpenFolder},
      {"start_close", 112, 324, 101, 51, "CLOSE", Cross},
  };
  std::vector<std::pair<std::string, Bytes>> files = {
      {"splash.bmp", Splash()}, {"start_back.bmp", StartBack()}, {"about.swf", AboutMovie()}};
  for (const StartButton& b : buttons) {
    files.push_back({std::string(b.file) + ".bmp", ButtonPicture(b, false)});
    files.push_back({std::string(b.file) + "_hover.bmp", ButtonPicture(b, true)});
  }
  return files;
}

}  // namespace lwart
