// Reading a movie: the header (inflated first for "CWS"), the tag records,
// the shapes (their edges joined into closed outlines per fill style, and
// runs of lines per line style) and the display-list changes of every
// frame; then stepping through the frames. Drawing is in SwfDraw.cpp,
// reading from a file with the control (FlashControl.cpp). Nothing here
// needs more of the system than its basic types, so that the reader can
// also be built natively for fuzzing.
#include "playback/movie/SwfMovie.h"

#include <stdlib.h>
#include <string.h>
#include <zlib.h>

#include "playback/movie/SwfBits.h"

namespace {

const int kMaxItems = 1 << 28;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

const SwfMatrix kIdentity = {1, 0, 0, 1, 0, 0};
const SwfColourTransform kNoColourChange = {{256, 256, 256, 256}, {0, 0, 0, 0}};

RECT ReadRect(CSwfBits& r) {
  r.Align();
  const int n = static_cast<int>(r.UB(5));
  RECT rect;
  rect.left = r.SB(n);
  rect.right = r.SB(n);
  rect.top = r.SB(n);
  rect.bottom = r.SB(n);
  return rect;
}

SwfMatrix ReadMatrix(CSwfBits& r) {
  SwfMatrix m = kIdentity;
  r.Align();
  if (r.UB(1)) {
    const int n = static_cast<int>(r.UB(5));
    m.a = r.SB(n) / 65536.0f;
    m.d = r.SB(n) / 65536.0f;
  }
  if (r.UB(1)) {
    const int n = static_cast<int>(r.UB(5));
    m.b = r.SB(n) / 65536.0f;
    m.c = r.SB(n) / 65536.0f;
  }
  const int n = static_cast<int>(r.UB(5));
  m.tx = static_cast<float>(r.SB(n));
  m.ty = static_cast<float>(r.SB(n));
  return m;
}

SwfColourTransform ReadColourTransform(CSwfBits& r, bool withAlpha) {
  SwfColourTransform t = kNoColourChange;
  r.Align();
  const bool hasAdd = r.UB(1) != 0, hasMult = r.UB(1) != 0;
  const int n = static_cast<int>(r.UB(4));
  const int channels = withAlpha ? 4 : 3;
  if (hasMult)
    for (int i = 0; i < channels; ++i) t.mult[i] = static_cast<int16_t>(r.SB(n));
  if (hasAdd)
    for (int i = 0; i < channels; ++i) t.add[i] = static_cast<int16_t>(r.SB(n));
  return t;
}

// A zero-terminated string within the reader's span; null (reader bad)
// when it is not terminated.
const char* ReadString(CSwfBits& r) {
  const uint32_t left = r.Left();
  const uint8_t* p = r.Pos();
  const void* nul = memchr(p, 0, left);
  if (!nul) {
    r.MarkBad();
    return nullptr;
  }
  r.Skip(static_cast<uint32_t>(static_cast<const uint8_t*>(nul) - p) + 1);
  return reinterpret_cast<const char*>(p);
}

// The body of a movie (everything after the 8-byte header) as `length`
// bytes inflated from the data; null when the stream is damaged or ends
// early. The buffer grows as the stream yields, so a false length in a
// header costs no more memory than the stream holds.
uint8_t* Inflate(const uint8_t* in, uint32_t inLength, uint32_t length) {
  z_stream z;
  memset(&z, 0, sizeof z);
  if (inflateInit(&z) != Z_OK) return nullptr;
  uint32_t capacity = inLength < (length >> 2) ? inLength * 4u : length;
  if (capacity < 65536u) capacity = length < 65536u ? length : 65536u;
  uint8_t* out = static_cast<uint8_t*>(malloc(capacity ? capacity : 1));
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = inLength;
  bool done = length == 0;
  while (out && !done) {
    z.next_out = out + z.total_out;
    z.avail_out = capacity - static_cast<uint32_t>(z.total_out);
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (z.total_out == length) {
      done = true;
    } else if (rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR)) {
      break;
    } else if (z.avail_out == 0) {
      const uint32_t grown = capacity > length / 2 ? length : capacity * 2;
      uint8_t* bigger = static_cast<uint8_t*>(realloc(out, grown));
      if (!bigger) break;
      out = bigger;
      capacity = grown;
    } else if (rc == Z_BUF_ERROR) {
      break;  // no input left
    }
  }
  inflateEnd(&z);
  if (!done) {
    free(out);
    return nullptr;
  }
  return out;
}

}  // namespace

CSwfBuffer::~CSwfBuffer() { free(m_data); }

bool CSwfBuffer::Reserve(int count) {
  if (count <= m_capacity) return true;
  if (count > kMaxItems) return false;
  int grown = m_capacity < 16 ? 16 : m_capacity;
  while (grown < count) grown = grown > kMaxItems / 2 ? kMaxItems : grown * 2;
  void* data = realloc(m_data, static_cast<size_t>(grown) * m_itemSize);
  if (!data) return false;
  m_data = data;
  m_capacity = grown;
  return true;
}

void* CSwfBuffer::Append(int count) {
  if (count < 0 || count > kMaxItems - m_size || !Reserve(m_size + count)) return nullptr;
  void* slot = static_cast<char*>(m_data) + static_cast<size_t>(m_size) * m_itemSize;
  m_size += count;
  return slot;
}

void* CSwfBuffer::InsertAt(int index) {
  if (!Append(1)) return nullptr;
  char* at = static_cast<char*>(m_data) + static_cast<size_t>(index) * m_itemSize;
  memmove(at + m_itemSize, at, static_cast<size_t>(m_size - 1 - index) * m_itemSize);
  return at;
}

void CSwfBuffer::RemoveAt(int index) {
  char* at = static_cast<char*>(m_data) + static_cast<size_t>(index) * m_itemSize;
  memmove(at, at + m_itemSize, static_cast<size_t>(m_size - 1 - index) * m_itemSize);
  --m_size;
}

void CSwfBuffer::Free() {
  free(m_data);
  m_data = nullptr;
  m_size = m_capacity = 0;
}

// Reads one movie's tags into a CSwfMovie. Any inconsistency in what the
// movie is drawn from makes Read fail.
class CSwfReader {
 public:
  explicit CSwfReader(CSwfMovie& movie) : m_movie(movie) {}
  ~CSwfReader() { free(m_shapeOfId); }

  bool Read(const uint8_t* body, const uint8_t* end, int version);

 private:
  struct Style {
    uint32_t colour;
    uint16_t width;
    uint8_t drawn;  // 0: a bitmap fill, not drawn
  };
  struct Edge {
    int32_t x0, y0, cx, cy, x1, y1;
    int fill0, fill1, line;
    uint8_t curve;
  };
  // An edge as one fill's outline runs along it.
  struct Directed {
    int32_t x0, y0, cx, cy, x1, y1;
    int fill;
    uint8_t curve;
  };

  bool DefineShape(CSwfBits& r, int version);
  bool ReadStyles(CSwfBits& r, int version);
  uint32_t ReadColour(CSwfBits& r, int version);
  bool EndStyleGroup();
  bool AddFills();
  bool AddLines();
  bool AddSegment(uint8_t kind, int32_t x, int32_t y, int32_t cx, int32_t cy);
  bool AddPart(const Style& style, bool line, int firstSegment);
  bool AddOp(const CSwfMovie::Op& op) { return m_movie.m_ops.Add(op); }
  bool PlaceObject(CSwfBits& r, bool second);
  bool ScanActions(CSwfBits& r);
  int ShapeOf(uint16_t id) const { return m_shapeOfId[id] - 1; }

  CSwfMovie& m_movie;
  int m_version = 0;
  // The index + 1 of the shape defined under each id (0: none).
  int* m_shapeOfId = nullptr;
  CSwfArray<Style> m_fills, m_lines;
  CSwfArray<Edge> m_edges;
  CSwfArray<Directed> m_directed;
  CSwfArray<int> m_order, m_next, m_prev, m_heads, m_counts;
};

bool CSwfReader::Read(const uint8_t* p, const uint8_t* end, int version) {
  m_version = version;
  m_shapeOfId = static_cast<int*>(calloc(65536, sizeof(int)));
  if (!m_shapeOfId || !m_movie.m_frameStarts.Add(0)) return false;
  while (p < end) {
    if (end - p < 2) return false;
    const uint16_t head = Le16(p);
    p += 2;
    const int code = head >> 6;
    uint32_t length = head & 0x3F;
    if (length == 0x3F) {
      if (end - p < 4) return false;
      length = Le32(p);
      p += 4;
    }
    if (length > static_cast<uint32_t>(end - p)) return false;
    CSwfBits r(p, p + length);
    CSwfMovie::Op op;
    memset(&op, 0, sizeof op);
    bool ok = true;
    switch (code) {
      case 0:  // End
        p = end;
        continue;
      case 1:  // ShowFrame
        ok = m_movie.m_frameStarts.Add(m_movie.m_ops.GetSize());
        break;
      case 2:  // DefineShape
        ok = DefineShape(r, 1);
        break;
      case 22:  // DefineShape2
        ok = DefineShape(r, 2);
        break;
      case 32:  // DefineShape3
        ok = DefineShape(r, 3);
        break;
      case 4:  // PlaceObject
        ok = PlaceObject(r, false);
        break;
      case 26:  // PlaceObject2
        ok = PlaceObject(r, true);
        break;
      case 5:  // RemoveObject: character id, depth
        r.U16();
        op.kind = CSwfMovie::kOpRemove;
        op.depth = r.U16();
        ok = !r.Bad() && AddOp(op);
        break;
      case 28:  // RemoveObject2: depth
        op.kind = CSwfMovie::kOpRemove;
        op.depth = r.U16();
        ok = !r.Bad() && AddOp(op);
        break;
      case 9:  // SetBackgroundColor
        op.kind = CSwfMovie::kOpBackground;
        op.value = ReadColour(r, 1) & 0xFFFFFF;
        ok = !r.Bad() && AddOp(op);
        break;
      case 12:  // DoAction
        ok = ScanActions(r);
        break;
      default:
        break;
    }
    if (!ok) return false;
    p += length;
  }
  // What follows the last ShowFrame is never shown.
  CSwfArray<int>& starts = m_movie.m_frameStarts;
  m_movie.m_ops.SetSize(starts[starts.GetSize() - 1]);
  m_movie.m_frameCount = starts.GetSize() - 1;
  return true;
}

uint32_t CSwfReader::ReadColour(CSwfBits& r, int version) {
  const uint32_t red = r.U8(), green = r.U8(), blue = r.U8();
  const uint32_t alpha = version >= 3 ? r.U8() : 255;
  return red | (green << 8) | (blue << 16) | (alpha << 24);
}

bool CSwfReader::ReadStyles(CSwfBits& r, int version) {
  m_fills.SetSize(0);
  m_lines.SetSize(0);
  uint32_t count = r.U8();
  if (count == 0xFF && version >= 2) count = r.U16();
  // Every fill style takes at least two bytes, every line style four.
  if (r.Bad() || count > r.Left() / 2 || !m_fills.Reserve(static_cast<int>(count))) return false;
  for (uint32_t i = 0; i < count; ++i) {
    Style s = {0, 0, 1};
    const uint8_t type = r.U8();
    if (type == 0x00) {
      s.colour = ReadColour(r, version);
    } else if (type == 0x10 || type == 0x12 || type == 0x13) {
      // A gradient is drawn in the average of its colours.
      ReadMatrix(r);
      const uint32_t points = r.U8() & 15u;
      uint32_t sum[4] = {0, 0, 0, 0};
      for (uint32_t k = 0; k < points; ++k) {
        r.U8();  // ratio
        const uint32_t c = ReadColour(r, version);
        for (int ch = 0; ch < 4; ++ch) sum[ch] += (c >> (8 * ch)) & 0xFF;
      }
      if (type == 0x13) r.U16();  // focal point
      if (points == 0) s.drawn = 0;
      for (int ch = 0; ch < 4 && points; ++ch) s.colour |= (sum[ch] / points) << (8 * ch);
    } else if (type >= 0x40 && type <= 0x43) {
      r.U16();  // the bitmap's id
      ReadMatrix(r);
      s.drawn = 0;
    } else {
      return false;
    }
    if (r.Bad()) return false;
    m_fills.Add(s);
  }
  count = r.U8();
  if (count == 0xFF) count = r.U16();
  if (r.Bad() || count > r.Left() / 4 || !m_lines.Reserve(static_cast<int>(count))) return false;
  for (uint32_t i = 0; i < count; ++i) {
    Style s = {0, 0, 1};
    s.width = r.U16();
    s.colour = ReadColour(r, version);
    m_lines.Add(s);
  }
  return !r.Bad();
}

bool CSwfReader::DefineShape(CSwfBits& r, int version) {
  const uint16_t id = r.U16();
  ReadRect(r);
  CSwfMovie::Shape shape = {id, m_movie.m_parts.GetSize(), 0};
  m_edges.SetSize(0);
  if (!ReadStyles(r, version)) return false;
  r.Align();
  int fillBits = static_cast<int>(r.UB(4)), lineBits = static_cast<int>(r.UB(4));
  int32_t x = 0, y = 0;
  int fill0 = 0, fill1 = 0, line = 0;
  for (;;) {
    if (r.UB(1) == 0) {
      const uint32_t flags = r.UB(5);
      if (flags == 0) break;  // the end of the shape (or of the data: checked below)
      if (flags & 1) {
        const int n = static_cast<int>(r.UB(5));
        x = r.SB(n);
        y = r.SB(n);
      }
      int newFill0 = fill0, newFill1 = fill1, newLine = line;
      if (flags & 2) newFill0 = static_cast<int>(r.UB(fillBits));
      if (flags & 4) newFill1 = static_cast<int>(r.UB(fillBits));
      if (flags & 8) newLine = static_cast<int>(r.UB(lineBits));
      if (flags & 16) {
        // New style arrays: what came before is drawn below what follows.
        if (version < 2 || !EndStyleGroup() || !ReadStyles(r, version)) return false;
        r.Align();
        fillBits = static_cast<int>(r.UB(4));
        lineBits = static_cast<int>(r.UB(4));
        if (!(flags & 2)) newFill0 = 0;
        if (!(flags & 4)) newFill1 = 0;
        if (!(flags & 8)) newLine = 0;
      }
      fill0 = newFill0;
      fill1 = newFill1;
      line = newLine;
      if (fill0 > m_fills.GetSize() || fill1 > m_fills.GetSize() || line > m_lines.GetSize())
        return false;
      continue;
    }
    Edge e;
    e.x0 = x;
    e.y0 = y;
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    const bool straight = r.UB(1) != 0;
    const int n = static_cast<int>(r.UB(4)) + 2;
    // Coordinates wrap rather than overflow: a damaged shape draws
    // garbage, never undefined arithmetic.
    if (straight) {
      uint32_t dx = 0, dy = 0;
      if (r.UB(1)) {
        dx = static_cast<uint32_t>(r.SB(n));
        dy = static_cast<uint32_t>(r.SB(n));
      } else if (r.UB(1)) {
        dy = static_cast<uint32_t>(r.SB(n));
      } else {
        dx = static_cast<uint32_t>(r.SB(n));
      }
      e.curve = 0;
      e.x1 = static_cast<int32_t>(static_cast<uint32_t>(x) + dx);
      e.y1 = static_cast<int32_t>(static_cast<uint32_t>(y) + dy);
      e.cx = e.x1;
      e.cy = e.y1;
    } else {
      e.curve = 1;
      e.cx = static_cast<int32_t>(static_cast<uint32_t>(x) + static_cast<uint32_t>(r.SB(n)));
      e.cy = static_cast<int32_t>(static_cast<uint32_t>(y) + static_cast<uint32_t>(r.SB(n)));
      e.x1 = static_cast<int32_t>(static_cast<uint32_t>(e.cx) + static_cast<uint32_t>(r.SB(n)));
      e.y1 = static_cast<int32_t>(static_cast<uint32_t>(e.cy) + static_cast<uint32_t>(r.SB(n)));
    }
    if (r.Bad() || !m_edges.Add(e)) return false;
    x = e.x1;
    y = e.y1;
  }
  if (r.Bad() || !EndStyleGroup()) return false;
  shape.partCount = m_movie.m_parts.GetSize() - shape.firstPart;
  m_shapeOfId[id] = m_movie.m_shapes.GetSize() + 1;
  return m_movie.m_shapes.Add(shape);
}

bool CSwfReader::EndStyleGroup() {
  const bool ok = AddFills() && AddLines();
  m_edges.SetSize(0);
  return ok;
}

bool CSwfReader::AddSegment(uint8_t kind, int32_t x, int32_t y, int32_t cx, int32_t cy) {
  const CSwfMovie::Segment s = {x, y, cx, cy, kind};
  return m_movie.m_segments.Add(s);
}

bool CSwfReader::AddPart(const Style& style, bool line, int firstSegment) {
  const int count = m_movie.m_segments.GetSize() - firstSegment;
  if (count == 0 || !style.drawn) {
    m_movie.m_segments.SetSize(firstSegment);
    return true;
  }
  const CSwfMovie::Part part = {style.colour, line ? style.width : static_cast<uint16_t>(0),
                                static_cast<uint8_t>(line), firstSegment, count};
  return m_movie.m_parts.Add(part);
}

namespace {

uint32_t PointHash(int fill, int32_t x, int32_t y) {
  uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u ^
               static_cast<uint32_t>(fill) * 0xC2B2AE3Du;
  return h ^ (h >> 15);
}

}  // namespace

// The outlines of each fill style: every edge with the fill on its left
// side is reversed, so that the fill lies on the right of all of them, and
// the edges are joined end to start into closed outlines (found through a
// hash of start points, so that the work stays linear in the edges).
bool CSwfReader::AddFills() {
  m_directed.SetSize(0);
  const int fills = m_fills.GetSize();
  for (int i = 0; i < m_edges.GetSize(); ++i) {
    const Edge& e = m_edges[i];
    if (e.fill0 == e.fill1) continue;  // inside one fill: no boundary
    if (e.fill1) {
      const Directed d = {e.x0, e.y0, e.cx, e.cy, e.x1, e.y1, e.fill1, e.curve};
      if (!m_directed.Add(d)) return false;
    }
    if (e.fill0) {
      const Directed d = {e.x1, e.y1, e.cx, e.cy, e.x0, e.y0, e.fill0, e.curve};
      if (!m_directed.Add(d)) return false;
    }
  }
  const int n = m_directed.GetSize();
  if (n == 0) return true;
  // The edges by fill style, in the order they came.
  m_counts.SetSize(0);
  m_order.SetSize(0);
  if (!m_counts.Append(fills + 2) || !m_order.Append(n)) return false;
  memset(m_counts.Data(), 0, sizeof(int) * (fills + 2));
  for (int i = 0; i < n; ++i) ++m_counts[m_directed[i].fill + 1];
  for (int f = 1; f <= fills + 1; ++f) m_counts[f] += m_counts[f - 1];
  for (int i = 0; i < n; ++i) m_order[m_counts[m_directed[i].fill]++] = i;
  // m_counts[f] is now the end of fill f's run; its start is m_counts[f - 1].
  int buckets = 16;
  while (buckets < 2 * n) buckets *= 2;
  m_heads.SetSize(0);
  m_next.SetSize(0);
  m_prev.SetSize(0);
  if (!m_heads.Append(buckets) || !m_next.Append(n) || !m_prev.Append(n)) return false;
  memset(m_heads.Data(), 0xFF, sizeof(int) * buckets);
  for (int k = n - 1; k >= 0; --k) {
    const int i = m_order[k];
    const Directed& d = m_directed[i];
    int& head = m_heads[PointHash(d.fill, d.x0, d.y0) & (buckets - 1)];
    m_next[i] = head;
    m_prev[i] = -1;
    if (head >= 0) m_prev[head] = i;
    head = i;
  }
  for (int f = 1; f <= fills; ++f) {
    const int first = m_movie.m_segments.GetSize();
    for (int k = m_counts[f - 1]; k < m_counts[f]; ++k) {
      int i = m_order[k];
      if (m_next[i] == -2) continue;  // used
      const int32_t startX = m_directed[i].x0, startY = m_directed[i].y0;
      if (!AddSegment(CSwfMovie::kSegMove, startX, startY, startX, startY)) return false;
      while (i >= 0) {
        // Take edge i out of its bucket.
        const Directed& d = m_directed[i];
        const uint32_t bucket = PointHash(d.fill, d.x0, d.y0) & (buckets - 1);
        if (m_prev[i] >= 0)
          m_next[m_prev[i]] = m_next[i];
        else
          m_heads[bucket] = m_next[i];
        if (m_next[i] >= 0) m_prev[m_next[i]] = m_prev[i];
        m_next[i] = -2;
        if (!AddSegment(d.curve ? CSwfMovie::kSegCurve : CSwfMovie::kSegLine, d.x1, d.y1, d.cx,
                        d.cy))
          return false;
        if (d.x1 == startX && d.y1 == startY) break;
        int j = m_heads[PointHash(f, d.x1, d.y1) & (buckets - 1)];
        while (j >= 0 && !(m_directed[j].fill == f && m_directed[j].x0 == d.x1 &&
                           m_directed[j].y0 == d.y1))
          j = m_next[j];
        i = j;
      }
    }
    if (!AddPart(m_fills[f - 1], false, first)) return false;
  }
  return true;
}

// The lines in the order they were drawn, one part per run of one style.
bool CSwfReader::AddLines() {
  int style = 0, first = 0;
  int32_t lastX = 0, lastY = 0;
  for (int i = 0; i < m_edges.GetSize(); ++i) {
    const Edge& e = m_edges[i];
    if (e.line != style) {
      if (style && !AddPart(m_lines[style - 1], true, first)) return false;
      style = e.line;
      first = m_movie.m_segments.GetSize();
      if (style && !AddSegment(CSwfMovie::kSegMove, e.x0, e.y0, e.x0, e.y0)) return false;
    } else if (style && (e.x0 != lastX || e.y0 != lastY)) {
      if (!AddSegment(CSwfMovie::kSegMove, e.x0, e.y0, e.x0, e.y0)) return false;
    }
    if (!style) continue;
    if (!AddSegment(e.curve ? CSwfMovie::kSegCurve : CSwfMovie::kSegLine, e.x1, e.y1, e.cx, e.cy))
      return false;
    lastX = e.x1;
    lastY = e.y1;
  }
  return !style || AddPart(m_lines[style - 1], true, first);
}

bool CSwfReader::PlaceObject(CSwfBits& r, bool second) {
  CSwfMovie::Op op;
  memset(&op, 0, sizeof op);
  op.kind = CSwfMovie::kOpPlace;
  op.matrix = kIdentity;
  op.colour = kNoColourChange;
  if (!second) {
    op.flags = CSwfMovie::kPlaceCharacter | CSwfMovie::kPlaceMatrix;
    op.character = r.U16();
    op.depth = r.U16();
    op.matrix = ReadMatrix(r);
    if (r.Left() > 0) {
      op.flags |= CSwfMovie::kPlaceColour;
      op.colour = ReadColourTransform(r, false);
    }
  } else {
    const uint8_t flags = r.U8();
    op.depth = r.U16();
    if (flags & 1) op.flags |= CSwfMovie::kPlaceMove;
    if (flags & 2) {
      op.flags |= CSwfMovie::kPlaceCharacter;
      op.character = r.U16();
    }
    if (flags & 4) {
      op.flags |= CSwfMovie::kPlaceMatrix;
      op.matrix = ReadMatrix(r);
    }
    if (flags & 8) {
      op.flags |= CSwfMovie::kPlaceColour;
      op.colour = ReadColourTransform(r, true);
    }
    if (flags & 16) r.U16();  // ratio
    if (flags & 32) ReadString(r);  // name
    if (flags & 64) {
      op.flags |= CSwfMovie::kPlaceClip;
      op.clipDepth = r.U16();
    }
  }
  op.shape = ShapeOf(op.character);
  return !r.Bad() && AddOp(op);
}

// The frame's actions are not run; only their FSCommand calls (a GetURL
// to "FSCommand:command" with the arguments as its target) are kept, for
// the control to report when the frame shows. A record that does not fit
// ends the scan of the tag.
bool CSwfReader::ScanActions(CSwfBits& r) {
  while (r.Left() > 0) {
    const uint8_t code = r.U8();
    if (code == 0) break;
    if (code < 0x80) continue;
    const uint16_t length = r.U16();
    if (r.Bad() || length > r.Left()) break;
    const uint8_t* data = r.Pos();
    r.Skip(length);
    if (code != 0x83) continue;  // GetURL
    CSwfBits fields(data, data + length);
    const char* url = ReadString(fields);
    const char* target = ReadString(fields);
    if (!url || !target || _strnicmp(url, "FSCommand:", 10) != 0) continue;
    CSwfArray<char>& strings = m_movie.m_strings;
    const size_t urlLength = strlen(url + 10) + 1, targetLength = strlen(target) + 1;
    CSwfMovie::Op op;
    memset(&op, 0, sizeof op);
    op.kind = CSwfMovie::kOpCommand;
    op.value = static_cast<uint32_t>(strings.GetSize());
    op.value2 = op.value + static_cast<uint32_t>(urlLength);
    char* text = static_cast<char*>(strings.Append(static_cast<int>(urlLength + targetLength)));
    if (!text) return false;
    memcpy(text, url + 10, urlLength);
    memcpy(text + urlLength, target, targetLength);
    if (!AddOp(op)) return false;
  }
  return true;
}

CSwfMovie::CSwfMovie() = default;
CSwfMovie::~CSwfMovie() = default;

void CSwfMovie::Clear() {
  m_version = 0;
  m_frame = RECT{0, 0, 0, 0};
  m_rate256 = 0;
  m_frameCount = 0;
  m_current = 0;
  m_background = RGB(255, 255, 255);
  m_segments.Free();
  m_parts.Free();
  m_shapes.Free();
  m_ops.Free();
  m_frameStarts.Free();
  m_strings.Free();
  m_display.Free();
}

bool CSwfMovie::Load(const uint8_t* bytes, uint32_t size) {
  Clear();
  if (!bytes || size < 8 || bytes[1] != 'W' || bytes[2] != 'S') return false;
  const uint32_t fileLength = Le32(bytes + 4);
  if (fileLength < 8 || fileLength - 8 > kSwfMaxBytes) return false;
  const uint32_t length = fileLength - 8;
  const uint8_t* body = nullptr;
  uint8_t* inflated = nullptr;
  if (bytes[0] == 'F') {
    if (size - 8 < length) return false;
    body = bytes + 8;
  } else if (bytes[0] == 'C') {
    body = inflated = Inflate(bytes + 8, size - 8, length);
    if (!inflated) return false;
  } else {
    return false;
  }
  CSwfBits r(body, body + length);
  m_frame = ReadRect(r);
  m_rate256 = r.U16();
  r.U16();  // the header's frame count: the ShowFrame tags decide
  bool ok = !r.Bad() && m_frame.right > m_frame.left && m_frame.bottom > m_frame.top;
  if (ok) {
    m_version = bytes[3];
    CSwfReader reader(*this);
    ok = reader.Read(r.Pos(), body + length, m_version);
  }
  free(inflated);
  if (!ok) {
    Clear();
    return false;
  }
  if (m_frameCount > 0) GotoFrame(0);
  return m_frameCount > 0;
}

void CSwfMovie::ResetDisplay() {
  m_display.SetSize(0);
  m_background = RGB(255, 255, 255);
}

void CSwfMovie::GotoFrame(int frame) {
  if (frame < 0 || frame >= m_frameCount) return;
  // Forward from the frame shown; backward from the start.
  int from = m_current + 1;
  if (frame <= m_current) {
    ResetDisplay();
    from = 0;
  }
  for (int f = from; f <= frame; ++f) ApplyFrame(f);
  m_current = frame;
}

int CSwfMovie::FindDepth(uint16_t depth, bool* found) const {
  int low = 0, high = m_display.GetSize();
  while (low < high) {
    const int mid = (low + high) / 2;
    if (m_display[mid].depth < depth)
      low = mid + 1;
    else
      high = mid;
  }
  *found = low < m_display.GetSize() && m_display[low].depth == depth;
  return low;
}

void CSwfMovie::ApplyFrame(int frame) {
  for (int i = m_frameStarts[frame]; i < m_frameStarts[frame + 1]; ++i) {
    const Op& op = m_ops[i];
    bool found = false;
    const int at = op.kind == kOpPlace || op.kind == kOpRemove ? FindDepth(op.depth, &found) : 0;
    if (op.kind == kOpBackground) {
      m_background = op.value;
    } else if (op.kind == kOpRemove) {
      if (found) m_display.RemoveAt(at);
    } else if (op.kind == kOpPlace) {
      if (found && (op.flags & kPlaceMove)) {
        // A change of the object at the depth: what the op gives.
        SwfPlacement& item = m_display[at];
        if (op.flags & kPlaceCharacter) {
          item.character = op.character;
          item.shape = op.shape;
        }
        if (op.flags & kPlaceMatrix) item.matrix = op.matrix;
        if (op.flags & kPlaceColour) item.colour = op.colour;
        if (op.flags & kPlaceClip) item.clipDepth = op.clipDepth;
      } else if (op.flags & kPlaceCharacter) {
        // A new object, in place of whatever held the depth.
        const SwfPlacement item = {op.depth, op.character, op.shape, op.clipDepth, op.matrix,
                                   op.colour};
        if (found)
          m_display[at] = item;
        else
          m_display.Insert(at, item);
      }
    }
  }
}

bool CSwfMovie::GetFrameCommand(int frame, int index, const char** command,
                                const char** args) const {
  if (frame < 0 || frame >= m_frameCount) return false;
  for (int i = m_frameStarts[frame]; i < m_frameStarts[frame + 1]; ++i) {
    const Op& op = m_ops[i];
    if (op.kind != kOpCommand || index-- > 0) continue;
    const char* strings = &m_strings[0];
    *command = strings + op.value;
    *args = strings + op.value2;
    return true;
  }
  return false;
}
