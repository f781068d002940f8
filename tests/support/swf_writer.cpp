// Writing test movies: bit fields most significant bit first, each record
// with the fewest bits its values need.
#include "tests/support/swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "playback/movie/MovieAdpcm.h"

namespace lwtest {

namespace {

// The bits a signed value needs (at least 1).
int SignedBits(int64_t v) {
  int n = 1;
  while (v < -(int64_t{1} << (n - 1)) || v >= (int64_t{1} << (n - 1))) ++n;
  return n;
}

int UnsignedBits(uint32_t v) {
  int n = 0;
  while (n < 32 && (v >> n) != 0) ++n;
  return n;
}

class CBitWriter {
 public:
  void UB(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (m_bit == 0) bytes.push_back(0);
      if ((v >> i) & 1u) bytes.back() |= static_cast<uint8_t>(0x80u >> m_bit);
      m_bit = (m_bit + 1) & 7;
    }
  }
  void SB(int64_t v, int n) { UB(static_cast<uint32_t>(v), n); }
  void Align() { m_bit = 0; }
  void U8(int v) {
    Align();
    bytes.push_back(static_cast<uint8_t>(v));
  }
  void U16(int v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void U32(uint32_t v) {
    U16(static_cast<int>(v & 0xFFFF));
    U16(static_cast<int>(v >> 16));
  }
  void Append(const SwfBytes& more) {
    Align();
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
  void Rgb(COLORREF c) {
    U8(GetRValue(c));
    U8(GetGValue(c));
    U8(GetBValue(c));
  }
  void Colour(COLORREF c, uint8_t alpha, int version) {
    Rgb(c);
    if (version >= 3) U8(alpha);
  }
  void Rect(int xmin, int xmax, int ymin, int ymax) {
    Align();
    const int n = std::max({SignedBits(xmin), SignedBits(xmax), SignedBits(ymin), SignedBits(ymax)});
    UB(static_cast<uint32_t>(n), 5);
    SB(xmin, n);
    SB(xmax, n);
    SB(ymin, n);
    SB(ymax, n);
    Align();
  }
  void Matrix(const SwfPlace& p) {
    Align();
    const int64_t sx = std::llround(p.scaleX * 65536), sy = std::llround(p.scaleY * 65536);
    const int64_t r0 = std::llround(p.rotate0 * 65536), r1 = std::llround(p.rotate1 * 65536);
    const bool scale = sx != 65536 || sy != 65536;
    UB(scale, 1);
    if (scale) {
      const int n = std::max(SignedBits(sx), SignedBits(sy));
      UB(static_cast<uint32_t>(n), 5);
      SB(sx, n);
      SB(sy, n);
    }
    const bool rotate = r0 != 0 || r1 != 0;
    UB(rotate, 1);
    if (rotate) {
      const int n = std::max(SignedBits(r0), SignedBits(r1));
      UB(static_cast<uint32_t>(n), 5);
      SB(r0, n);
      SB(r1, n);
    }
    const int n = (p.tx || p.ty) ? std::max(SignedBits(p.tx), SignedBits(p.ty)) : 0;
    UB(static_cast<uint32_t>(n), 5);
    SB(p.tx, n);
    SB(p.ty, n);
    Align();
  }
  void ColourChange(const SwfColourChange& c, bool withAlpha) {
    Align();
    const int channels = withAlpha ? 4 : 3;
    bool hasMult = false, hasAdd = false;
    int n = 1;
    for (int i = 0; i < channels; ++i) {
      hasMult |= c.mult[i] != 256;
      hasAdd |= c.add[i] != 0;
      n = std::max({n, SignedBits(c.mult[i]), SignedBits(c.add[i])});
    }
    UB(hasAdd, 1);
    UB(hasMult, 1);
    UB(static_cast<uint32_t>(n), 4);
    if (hasMult)
      for (int i = 0; i < channels; ++i) SB(c.mult[i], n);
    if (hasAdd)
      for (int i = 0; i < channels; ++i) SB(c.add[i], n);
    Align();
  }

  SwfBytes bytes;

 private:
  int m_bit = 0;
};

}  // namespace

SwfPlace SwfGradientBox(int x, int y, int w, int h) {
  SwfPlace p;
  p.scaleX = w / 32768.0;
  p.scaleY = h / 32768.0;
  p.tx = x + w / 2;
  p.ty = y + h / 2;
  return p;
}

CSwfShape::Group& CSwfShape::Current() {
  if (m_groups.empty()) m_groups.emplace_back();
  return m_groups.back();
}

int CSwfShape::AddFillStyle(const Style& style) {
  Current().fills.push_back(style);
  return static_cast<int>(Current().fills.size());
}

int CSwfShape::AddFill(COLORREF colour, uint8_t alpha) {
  Style s{};
  s.colour = colour;
  s.alpha = alpha;
  return AddFillStyle(s);
}

int CSwfShape::AddGradientFill(COLORREF from, COLORREF to) {
  return AddGradient(0x10, {{0, from}, {255, to}}, SwfPlace());
}

int CSwfShape::AddGradient(int type, const std::vector<SwfStop>& stops, const SwfPlace& matrix,
                           int spread, int interpolation, double focal) {
  Style s{};
  s.type = type;
  s.stops = stops;
  s.matrix = matrix;
  s.spread = spread;
  s.interpolation = interpolation;
  s.focal = focal;
  return AddFillStyle(s);
}

int CSwfShape::AddBitmapFill(int bitmapId, const SwfPlace& matrix, int type) {
  Style s{};
  s.type = type;
  s.bitmap = bitmapId;
  s.matrix = matrix;
  return AddFillStyle(s);
}

int CSwfShape::AddLine(int widthTwips, COLORREF colour, uint8_t alpha) {
  Style s{};
  s.type = -1;
  s.colour = colour;
  s.alpha = alpha;
  s.width = widthTwips;
  Current().lines.push_back(s);
  return static_cast<int>(Current().lines.size());
}

int CSwfShape::AddLine2(int widthTwips, COLORREF colour, int startCap, int join, int endCap,
                        double miterLimit, bool noClose) {
  Style s{};
  s.type = -2;
  s.colour = colour;
  s.alpha = 255;
  s.width = widthTwips;
  s.startCap = startCap;
  s.join = join;
  s.endCap = endCap;
  s.miter = miterLimit;
  s.noClose = noClose;
  Current().lines.push_back(s);
  return static_cast<int>(Current().lines.size());
}

void CSwfShape::NewStyleGroup() {
  Current();
  m_groups.emplace_back();
  m_records.push_back(Record{3, 0, 0, 0, false, 0, 0, 0, 0, static_cast<int>(m_groups.size()) - 1});
}

void CSwfShape::SetStyles(int fill0, int fill1, int line) {
  m_records.push_back(Record{0, fill0, fill1, line, false, 0, 0, 0, 0, 0});
}

void CSwfShape::MoveTo(int x, int y) {
  m_records.push_back(Record{0, -1, -1, -1, true, x, y, 0, 0, 0});
  m_x = x;
  m_y = y;
}

void CSwfShape::LineTo(int x, int y) {
  m_records.push_back(Record{1, 0, 0, 0, false, x - m_x, y - m_y, 0, 0, 0});
  m_x = x;
  m_y = y;
}

void CSwfShape::CurveTo(int controlX, int controlY, int x, int y) {
  m_records.push_back(
      Record{2, 0, 0, 0, false, x - controlX, y - controlY, controlX - m_x, controlY - m_y, 0});
  m_x = x;
  m_y = y;
}

void CSwfShape::Rectangle(int x, int y, int w, int h, int fill, int line) {
  SetStyles(0, fill, line);
  MoveTo(x, y);
  LineTo(x + w, y);
  LineTo(x + w, y + h);
  LineTo(x, y + h);
  LineTo(x, y);
}

SwfBytes CSwfShape::Encode(int version, bool styles) const {
  std::vector<Group> groups = m_groups;
  if (groups.empty()) groups.emplace_back();
  CBitWriter w;
  int fillBits = 0, lineBits = 0;
  auto writeFill = [&](const Style& s) {
    w.U8(s.type);
    if (s.type == 0) {
      w.Colour(s.colour, s.alpha, version);
    } else if (s.type >= 0x10 && s.type <= 0x13) {
      w.Matrix(s.matrix);
      w.U8(s.spread << 6 | s.interpolation << 4 | static_cast<int>(s.stops.size()));
      for (const SwfStop& stop : s.stops) {
        w.U8(stop.ratio);
        w.Colour(stop.colour, stop.alpha, version);
      }
      if (s.type == 0x13) w.U16(static_cast<int>(std::lround(s.focal * 256)) & 0xFFFF);
    } else {
      w.U16(s.bitmap);
      w.Matrix(s.matrix);
    }
  };
  auto writeStyles = [&](const Group& g, int fillCount, int lineCount) {
    w.U8(std::min(fillCount, 255));
    if (fillCount >= 255) w.U16(fillCount);
    for (const Style& s : g.fills) writeFill(s);
    w.U8(std::min(lineCount, 255));
    if (lineCount >= 255) w.U16(lineCount);
    for (const Style& s : g.lines) {
      w.U16(s.width);
      if (version >= 4) {
        const bool hasFill = false;
        w.UB(static_cast<uint32_t>(s.type == -2 ? s.startCap : 0), 2);
        w.UB(static_cast<uint32_t>(s.type == -2 ? s.join : 0), 2);
        w.UB(hasFill, 1);
        w.UB(0, 3);
        w.UB(0, 5);
        w.UB(s.noClose, 1);
        w.UB(static_cast<uint32_t>(s.type == -2 ? s.endCap : 0), 2);
        if (s.type == -2 && s.join == 2) w.U16(static_cast<int>(std::lround(s.miter * 256)));
        w.Colour(s.colour, s.alpha, 4);
      } else {
        w.Colour(s.colour, s.alpha, version);
      }
    }
    fillBits = UnsignedBits(static_cast<uint32_t>(g.fills.size()));
    lineBits = UnsignedBits(static_cast<uint32_t>(g.lines.size()));
    w.Align();
    w.UB(static_cast<uint32_t>(fillBits), 4);
    w.UB(static_cast<uint32_t>(lineBits), 4);
  };
  if (!styles) {
    // The records alone, their style numbers as wide as the styles need
    // (a glyph's fill 1 at least).
    fillBits = std::max(1, UnsignedBits(static_cast<uint32_t>(groups[0].fills.size())));
    lineBits = UnsignedBits(static_cast<uint32_t>(groups[0].lines.size()));
    w.UB(static_cast<uint32_t>(fillBits), 4);
    w.UB(static_cast<uint32_t>(lineBits), 4);
  } else {
    writeStyles(groups[0],
                fillCountOverride >= 0 ? fillCountOverride : static_cast<int>(groups[0].fills.size()),
                lineCountOverride >= 0 ? lineCountOverride : static_cast<int>(groups[0].lines.size()));
  }
  for (const Record& r : m_records) {
    if (r.kind == 3) {
      w.UB(0, 1);
      w.UB(16, 5);
      const Group& g = groups[r.group];
      writeStyles(g, static_cast<int>(g.fills.size()), static_cast<int>(g.lines.size()));
    } else if (r.kind == 0) {
      const bool f0 = r.fill0 >= 0 && !r.move, f1 = r.fill1 >= 0 && !r.move,
                 ln = r.line >= 0 && !r.move;
      w.UB(0, 1);
      w.UB((ln ? 8 : 0) | (f1 ? 4 : 0) | (f0 ? 2 : 0) | (r.move ? 1 : 0), 5);
      if (r.move) {
        const int n = std::max(SignedBits(r.x), SignedBits(r.y));
        w.UB(static_cast<uint32_t>(n), 5);
        w.SB(r.x, n);
        w.SB(r.y, n);
      }
      if (f0) w.UB(static_cast<uint32_t>(r.fill0), fillBits);
      if (f1) w.UB(static_cast<uint32_t>(r.fill1), fillBits);
      if (ln) w.UB(static_cast<uint32_t>(r.line), lineBits);
    } else if (r.kind == 1) {
      const int n = std::max({SignedBits(r.x), SignedBits(r.y), 2});
      w.UB(1, 1);
      w.UB(1, 1);
      w.UB(static_cast<uint32_t>(n - 2), 4);
      if (r.x != 0 && r.y != 0) {
        w.UB(1, 1);
        w.SB(r.x, n);
        w.SB(r.y, n);
      } else {
        w.UB(0, 1);
        w.UB(r.x == 0, 1);
        w.SB(r.x == 0 ? r.y : r.x, n);
      }
    } else {
      const int n = std::max({SignedBits(r.cx), SignedBits(r.cy), SignedBits(r.x), SignedBits(r.y), 2});
      w.UB(1, 1);
      w.UB(0, 1);
      w.UB(static_cast<uint32_t>(n - 2), 4);
      w.SB(r.cx, n);
      w.SB(r.cy, n);
      w.SB(r.x, n);
      w.SB(r.y, n);
    }
  }
  w.UB(0, 6);  // the end of the shape
  w.Align();
  return w.bytes;
}

CSwfWriter::CSwfWriter(int widthTwips, int heightTwips, int rate256, int version)
    : m_width(widthTwips), m_height(heightTwips), m_rate256(rate256), m_version(version) {}

void CSwfWriter::Tag(int code, const SwfBytes& body, bool longForm, int64_t declaredLength) {
  const int64_t length = declaredLength >= 0 ? declaredLength : static_cast<int64_t>(body.size());
  CBitWriter w;
  if (longForm || length >= 0x3F) {
    w.U16((code << 6) | 0x3F);
    w.U32(static_cast<uint32_t>(length));
  } else {
    w.U16((code << 6) | static_cast<int>(length));
  }
  m_tags.insert(m_tags.end(), w.bytes.begin(), w.bytes.end());
  m_tags.insert(m_tags.end(), body.begin(), body.end());
}

void CSwfWriter::Raw(const SwfBytes& bytes) { m_tags.insert(m_tags.end(), bytes.begin(), bytes.end()); }

void CSwfWriter::SetBackground(COLORREF colour) {
  CBitWriter w;
  w.Rgb(colour);
  Tag(9, w.bytes);
}

void CSwfWriter::DefineShape(int id, const CSwfShape& shape, int version,
                             const std::vector<int>& bounds) {
  CBitWriter w;
  w.U16(id);
  if (bounds.size() == 4)
    w.Rect(bounds[0], bounds[1], bounds[2], bounds[3]);
  else
    w.Rect(0, m_width, 0, m_height);
  if (version == 4) {
    w.Rect(0, m_width, 0, m_height);  // the edges' bounds
    w.U8(0);
  }
  w.Append(shape.Encode(version));
  Tag(version == 1 ? 2 : version == 2 ? 22 : version == 3 ? 32 : 83, w.bytes);
}

void CSwfWriter::PlaceObject(int id, int depth, const SwfPlace& place, const SwfColourChange* colour) {
  CBitWriter w;
  w.U16(id);
  w.U16(depth);
  w.Matrix(place);
  if (colour) w.ColourChange(*colour, false);
  Tag(4, w.bytes);
}

void CSwfWriter::PlaceObject2(int depth, int id, bool move, const SwfPlace* place,
                              const SwfColourChange* colour, int clipDepth, const char* name,
                              int ratio) {
  CBitWriter w;
  w.U8((clipDepth ? 64 : 0) | (name ? 32 : 0) | (ratio >= 0 ? 16 : 0) | (colour ? 8 : 0) |
       (place ? 4 : 0) | (id >= 0 ? 2 : 0) | (move ? 1 : 0));
  w.U16(depth);
  if (id >= 0) w.U16(id);
  if (place) w.Matrix(*place);
  if (colour) w.ColourChange(*colour, true);
  if (ratio >= 0) w.U16(ratio);
  if (name) {
    for (const char* p = name; *p; ++p) w.U8(*p);
    w.U8(0);
  }
  if (clipDepth) w.U16(clipDepth);
  Tag(26, w.bytes);
}

void CSwfWriter::RemoveObject(int id, int depth) {
  CBitWriter w;
  w.U16(id);
  w.U16(depth);
  Tag(5, w.bytes);
}

void CSwfWriter::RemoveObject2(int depth) {
  CBitWriter w;
  w.U16(depth);
  Tag(28, w.bytes);
}

void CSwfWriter::FsCommand(const std::string& command, const std::string& args) {
  // Pop first: an action without data that does nothing to the timeline.
  DoAction(CSwfActions().Code(0x17).FsCommand(command, args));
}

CSwfActions& CSwfActions::Code(int code, const SwfBytes& data) {
  m_bytes.push_back(static_cast<uint8_t>(code));
  if (code >= 0x80) {
    m_bytes.push_back(static_cast<uint8_t>(data.size()));
    m_bytes.push_back(static_cast<uint8_t>(data.size() >> 8));
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
  }
  return *this;
}

CSwfActions& CSwfActions::GotoFrame(int frame) {
  return Code(0x81, {static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 8)});
}

CSwfActions& CSwfActions::GotoLabel(const std::string& label) {
  SwfBytes data(label.begin(), label.end());
  data.push_back(0);
  return Code(0x8C, data);
}

CSwfActions& CSwfActions::GotoPushedFrame(int frameFrom1, bool play) {
  SwfBytes push = {7};  // an integer
  for (int i = 0; i < 4; ++i) push.push_back(static_cast<uint8_t>(frameFrom1 >> (8 * i)));
  Code(0x96, push);
  return Code(0x9F, {static_cast<uint8_t>(play ? 1 : 0)});
}

CSwfActions& CSwfActions::FsCommand(const std::string& command, const std::string& args) {
  const std::string url = "FSCommand:" + command;
  SwfBytes data(url.begin(), url.end());
  data.push_back(0);
  data.insert(data.end(), args.begin(), args.end());
  data.push_back(0);
  return Code(0x83, data);
}

void SplitJpeg(const SwfBytes& jpeg, SwfBytes* tables, SwfBytes* picture) {
  *tables = {0xFF, 0xD8};
  *picture = {0xFF, 0xD8};
  size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
    const uint8_t marker = jpeg[i + 1];
    if (marker == 0xDA) {  // the scan and everything after it
      picture->insert(picture->end(), jpeg.begin() + i, jpeg.end());
      break;
    }
    const size_t length = 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
    SwfBytes& to = marker == 0xDB || marker == 0xC4 ? *tables : *picture;
    to.insert(to.end(), jpeg.begin() + i, jpeg.begin() + i + length);
    i += length;
  }
  tables->push_back(0xFF);
  tables->push_back(0xD9);
}

namespace {

SwfBytes Deflated(const SwfBytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  SwfBytes out(size);
  compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

}  // namespace

void CSwfWriter::DefineBitsLossless(int id, int w, int h, const std::vector<uint32_t>& pixels,
                                    int version, int format) {
  CBitWriter out;
  out.U16(id);
  out.U8(format);
  out.U16(w);
  out.U16(h);
  SwfBytes raw;
  auto channel = [](uint32_t p, int shift) { return static_cast<uint8_t>(p >> shift); };
  if (format == 3) {
    std::vector<uint32_t> map;
    for (uint32_t p : pixels)
      if (std::find(map.begin(), map.end(), p) == map.end()) map.push_back(p);
    out.U8(static_cast<int>(map.size()) - 1);
    for (uint32_t p : map) {
      raw.insert(raw.end(), {channel(p, 16), channel(p, 8), channel(p, 0)});
      if (version == 2) raw.push_back(channel(p, 24));
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        raw.push_back(static_cast<uint8_t>(std::find(map.begin(), map.end(), pixels[y * w + x]) - map.begin()));
      for (int x = w; x % 4; ++x) raw.push_back(0);  // rows of whole 32-bit words
    }
  } else {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint32_t p = pixels[y * w + x];
        if (format == 4) {
          const int v = (channel(p, 16) >> 3) << 10 | (channel(p, 8) >> 3) << 5 | channel(p, 0) >> 3;
          raw.push_back(static_cast<uint8_t>(v >> 8));
          raw.push_back(static_cast<uint8_t>(v));
        } else {
          // The second kind's pixels are premultiplied.
          const uint32_t a = version == 2 ? channel(p, 24) : 255;
          raw.push_back(version == 2 ? static_cast<uint8_t>(a) : 0);
          for (int shift : {16, 8, 0}) raw.push_back(static_cast<uint8_t>((channel(p, shift) * a + 127) / 255));
        }
      }
      if (format == 4 && (w & 1)) raw.insert(raw.end(), {0, 0});
    }
  }
  out.Append(Deflated(raw));
  Tag(version == 2 ? 36 : 20, out.bytes, true);
}

void CSwfWriter::DefineBitsJpeg(int code, int id, const SwfBytes& jpeg, const SwfBytes& alpha) {
  CBitWriter out;
  out.U16(id);
  if (code == 35) out.U32(static_cast<uint32_t>(jpeg.size()));
  out.Append(jpeg);
  if (code == 35) out.Append(Deflated(alpha));
  Tag(code, out.bytes, true);
}

void CSwfWriter::JpegTables(const SwfBytes& tables) { Tag(8, tables, true); }

void CSwfWriter::DefineFont(int id, const std::vector<CSwfShape>& glyphs) {
  CBitWriter out;
  out.U16(id);
  std::vector<SwfBytes> shapes;
  for (const CSwfShape& g : glyphs) shapes.push_back(g.Encode(1, false));
  size_t at = 2 * shapes.size();
  for (const SwfBytes& shape : shapes) {
    out.U16(static_cast<int>(at));
    at += shape.size();
  }
  for (const SwfBytes& shape : shapes) out.Append(shape);
  Tag(10, out.bytes);
}

void CSwfWriter::DefineFontInfo(int id, const std::string& name, const std::vector<int>& codes) {
  CBitWriter out;
  out.U16(id);
  out.U8(static_cast<int>(name.size()));
  for (char c : name) out.U8(c);
  out.U8(0);  // 8-bit codes
  for (int c : codes) out.U8(c);
  Tag(13, out.bytes);
}

void CSwfWriter::DefineFont2(int id, int version, const std::string& name,
                             const std::vector<CSwfShape>& glyphs, const std::vector<int>& codes,
                             const std::vector<int>& advances, int ascent, int descent, int leading) {
  CBitWriter out;
  out.U16(id);
  out.U8(0x80 | 0x04);  // a layout, 16-bit codes
  out.U8(0);
  out.U8(static_cast<int>(name.size()));
  for (char c : name) out.U8(c);
  out.U16(static_cast<int>(glyphs.size()));
  std::vector<SwfBytes> shapes;
  for (const CSwfShape& g : glyphs) shapes.push_back(g.Encode(1, false));
  size_t at = 2 * shapes.size() + 2;
  for (const SwfBytes& shape : shapes) {
    out.U16(static_cast<int>(at));
    at += shape.size();
  }
  out.U16(static_cast<int>(at));  // the code table
  for (const SwfBytes& shape : shapes) out.Append(shape);
  for (int c : codes) out.U16(c);
  out.U16(ascent);
  out.U16(descent);
  out.U16(leading);
  for (int a : advances) out.U16(a);
  for (size_t i = 0; i < glyphs.size(); ++i) out.U8(0);  // empty bounds
  out.U16(0);  // no kerning
  Tag(version == 3 ? 75 : 48, out.bytes);
}

void CSwfWriter::DefineText(int id, int version, const std::vector<SwfTextRun>& runs) {
  CBitWriter out;
  out.U16(id);
  out.Rect(0, m_width, 0, m_height);
  out.Matrix(SwfPlace());
  int glyphBits = 1, advanceBits = 1;
  for (const SwfTextRun& run : runs)
    for (const auto& g : run.glyphs) {
      glyphBits = std::max(glyphBits, UnsignedBits(static_cast<uint32_t>(g.first)));
      advanceBits = std::max(advanceBits, SignedBits(g.second));
    }
  out.U8(glyphBits);
  out.U8(advanceBits);
  for (const SwfTextRun& run : runs) {
    out.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
    out.U16(run.font);
    out.Colour(run.colour, 255, version == 2 ? 3 : 1);
    out.U16(run.x);
    out.U16(run.y);
    out.U16(run.height);
    out.U8(static_cast<int>(run.glyphs.size()));
    for (const auto& g : run.glyphs) {
      out.UB(static_cast<uint32_t>(g.first), glyphBits);
      out.SB(g.second, advanceBits);
    }
    out.Align();
  }
  out.U8(0);
  Tag(version == 2 ? 33 : 11, out.bytes);
}

void CSwfWriter::DefineEditText(int id, const SwfEditText& e) {
  CBitWriter out;
  out.U16(id);
  out.Rect(e.x0, e.x1, e.y0, e.y1);
  out.U8(0x80 | (e.wrap ? 0x40 : 0) | (e.multiline ? 0x20 : 0) | 0x08 | 0x04 | (e.font ? 0x01 : 0));
  out.U8(0x20 | (e.border ? 0x08 : 0) | (e.html ? 0x02 : 0) | (e.outlines ? 0x01 : 0));
  if (e.font) {
    out.U16(e.font);
    out.U16(e.height);
  }
  out.Colour(e.colour, 255, 3);
  out.U8(e.align);
  out.U16(0);
  out.U16(0);
  out.U16(0);
  out.U16(0);
  out.U8(0);  // no variable
  for (char c : e.text) out.U8(c);
  out.U8(0);
  Tag(37, out.bytes);
}

SwfBytes CSwfShape::EncodeMorphStyles(const CSwfShape& end, int version) const {
  CBitWriter w;
  const Group none;
  const Group& a = m_groups.empty() ? none : m_groups[0];
  const Group& b = end.m_groups.empty() ? none : end.m_groups[0];
  w.U8(static_cast<int>(a.fills.size()));
  for (size_t i = 0; i < a.fills.size(); ++i) {
    const Style& s = a.fills[i];
    const Style& e = i < b.fills.size() ? b.fills[i] : s;
    w.U8(s.type);
    if (s.type == 0) {
      w.Colour(s.colour, s.alpha, 3);
      w.Colour(e.colour, e.alpha, 3);
    } else if (s.type >= 0x10 && s.type <= 0x13) {
      w.Matrix(s.matrix);
      w.Matrix(e.matrix);
      w.U8(static_cast<int>(s.stops.size()));
      for (size_t k = 0; k < s.stops.size(); ++k) {
        const SwfStop& to = k < e.stops.size() ? e.stops[k] : s.stops[k];
        w.U8(s.stops[k].ratio);
        w.Colour(s.stops[k].colour, s.stops[k].alpha, 3);
        w.U8(to.ratio);
        w.Colour(to.colour, to.alpha, 3);
      }
    } else {
      w.U16(s.bitmap);
      w.Matrix(s.matrix);
      w.Matrix(e.matrix);
    }
  }
  w.U8(static_cast<int>(a.lines.size()));
  for (size_t i = 0; i < a.lines.size(); ++i) {
    const Style& s = a.lines[i];
    const Style& e = i < b.lines.size() ? b.lines[i] : s;
    w.U16(s.width);
    w.U16(e.width);
    if (version == 2) {
      w.UB(static_cast<uint32_t>(s.startCap), 2);
      w.UB(static_cast<uint32_t>(s.join), 2);
      w.UB(0, 8);
      w.UB(s.noClose, 1);
      w.UB(static_cast<uint32_t>(s.endCap), 2);
      if (s.join == 2) w.U16(static_cast<int>(std::lround(s.miter * 256)));
    }
    w.Colour(s.colour, s.alpha, 3);
    w.Colour(e.colour, e.alpha, 3);
  }
  return w.bytes;
}

void CSwfWriter::DefineMorphShape(int id, int version, const CSwfShape& start, const CSwfShape& end) {
  CBitWriter w;
  w.U16(id);
  w.Rect(0, m_width, 0, m_height);
  w.Rect(0, m_width, 0, m_height);
  if (version == 2) {
    w.Rect(0, m_width, 0, m_height);
    w.Rect(0, m_width, 0, m_height);
    w.U8(0);
  }
  const SwfBytes styles = start.EncodeMorphStyles(end, version), edges = start.Encode(3, false);
  w.U32(static_cast<uint32_t>(styles.size() + edges.size()));
  w.Append(styles);
  w.Append(edges);
  w.Append(end.Encode(3, false));
  Tag(version == 2 ? 84 : 46, w.bytes);
}

void CSwfWriter::DefineButton(int id, int version, const std::vector<SwfButtonPart>& parts) {
  CBitWriter w;
  w.U16(id);
  if (version == 2) {
    w.U8(0);
    w.U16(0);  // no actions
  }
  for (const SwfButtonPart& p : parts) {
    w.U8(p.states);
    w.U16(p.id);
    w.U16(p.depth);
    w.Matrix(p.place);
    if (version == 2) w.ColourChange(p.colour, true);
  }
  w.U8(0);
  if (version == 1) w.U8(0);  // no actions
  Tag(version == 2 ? 34 : 7, w.bytes);
}

SwfBytes SwfAdpcm(const std::vector<int16_t>& samples, int bits) {
  CBitWriter w;
  w.UB(static_cast<uint32_t>(bits - 2), 2);
  const int sign = 1 << (bits - 1);
  int predicted = 0, index = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (i == 0 && samples.size() > 1) {
      // A first step near the first change, as encoders start.
      const int change = std::abs(samples[1] - samples[0]);
      while (index < 88 && kMovieAdpcmSteps[index] < change / 2) ++index;
    }
    if (i % 4096 == 0) {
      predicted = samples[i];
      w.SB(predicted, 16);
      w.UB(static_cast<uint32_t>(index), 6);
      continue;
    }
    const int step = kMovieAdpcmSteps[index];
    int diff = samples[i] - predicted, code = 0;
    if (diff < 0) {
      code = sign;
      diff = -diff;
    }
    int temp = step;
    for (int mask = sign >> 1; mask; mask >>= 1, temp >>= 1)
      if (diff >= temp) {
        code |= mask;
        diff -= temp;
      }
    // Stepped as the player steps, from the code.
    int delta = 0, s = step;
    for (int mask = sign >> 1; mask; mask >>= 1, s >>= 1)
      if (code & mask) delta += s;
    delta += s;
    predicted = std::max(-32768, std::min(32767, code & sign ? predicted - delta : predicted + delta));
    index = std::max(0, std::min(88, index + kMovieAdpcmIndex[bits - 2][code & (sign - 1)]));
    w.UB(static_cast<uint32_t>(code), bits);
  }
  w.Align();
  return w.bytes;
}

void CSwfWriter::DefineSound(int id, int format, uint32_t samples, const SwfBytes& data) {
  CBitWriter w;
  w.U16(id);
  w.U8(format);
  w.U32(samples);
  w.Append(data);
  Tag(14, w.bytes, true);
}

void CSwfWriter::StartSound(int id, bool stop, int loops) {
  CBitWriter w;
  w.U16(id);
  w.U8((stop ? 0x20 : 0) | (loops > 1 ? 0x04 : 0));
  if (loops > 1) w.U16(loops);
  Tag(15, w.bytes);
}

void CSwfWriter::SoundStreamHead(int format, int samplesPerFrame) {
  CBitWriter w;
  w.U8(format & 0x0F);
  w.U8(format);
  w.U16(samplesPerFrame);
  if ((format >> 4) == 2) w.U16(0);
  Tag(18, w.bytes);
}

void CSwfWriter::SoundStreamBlock(const SwfBytes& data) { Tag(19, data, true); }

void CSwfWriter::DoAction(const CSwfActions& actions) {
  SwfBytes body = actions.Bytes();
  body.push_back(0);
  Tag(12, body);
}

void CSwfWriter::FrameLabel(const std::string& label) {
  SwfBytes body(label.begin(), label.end());
  body.push_back(0);
  Tag(43, body);
}

void CSwfWriter::DefineSprite(int id, const CSwfWriter& timeline) {
  CBitWriter w;
  w.U16(id);
  w.U16(timeline.m_frames);
  w.Append(timeline.m_tags);
  w.U16(0);  // End
  Tag(39, w.bytes);
}

void CSwfWriter::ShowFrame() {
  Tag(1, SwfBytes());
  ++m_frames;
}

SwfBytes CSwfWriter::Body() const {
  CBitWriter w;
  w.Rect(0, m_width, 0, m_height);
  w.U16(m_rate256);
  w.U16(frameCountOverride >= 0 ? frameCountOverride : m_frames);
  w.Append(m_tags);
  w.U16(0);  // End
  return w.bytes;
}

SwfBytes CSwfWriter::Fws() const {
  const SwfBytes body = Body();
  CBitWriter w;
  w.U8('F');
  w.U8('W');
  w.U8('S');
  w.U8(m_version);
  w.U32(static_cast<uint32_t>(fileLengthOverride >= 0 ? fileLengthOverride : body.size() + 8));
  w.Append(body);
  return w.bytes;
}

SwfBytes CSwfWriter::Cws() const {
  SwfBytes movie = Fws();
  movie[0] = 'C';
  uLongf packedSize = compressBound(static_cast<uLong>(movie.size() - 8));
  SwfBytes packed(packedSize);
  compress(packed.data(), &packedSize, movie.data() + 8, static_cast<uLong>(movie.size() - 8));
  movie.resize(8);
  movie.insert(movie.end(), packed.begin(), packed.begin() + packedSize);
  return movie;
}

}  // namespace lwtest
