// Reading shapes: the rectangle, matrix and colour transform records, fill
// and line styles (gradients of up to 15 stops with their spread and
// interpolation, focal gradients, bitmap fills, the lines of the fourth
// kind with their caps, joins and fills), and the shape records, whose
// edges become paths of one set of styles each. Morph shapes pair every
// style and every edge of a start and an end shape.
#include "playback/movie/MovieDefs.h"

namespace {

MovieRgba ReadColour(CMovieBits& r, bool alpha) {
  const uint32_t red = r.U8(), green = r.U8(), blue = r.U8();
  const uint32_t a = alpha ? r.U8() : 255;
  return red | (green << 8) | (blue << 16) | (a << 24);
}

// A count of a style array: one byte, or 0xFF and two more.
uint32_t ReadCount(CMovieBits& r, bool extended) {
  uint32_t count = r.U8();
  if (count == 0xFF && extended) count = r.U16();
  return count;
}

// The gradient's spread and interpolation and its stops; a morph
// gradient's stops come in pairs, the end's into `end`.
void ReadGradient(CMovieBits& r, bool alpha, MovieFill* fill, MovieFill* end) {
  r.Align();
  const uint32_t head = r.U8();
  fill->spread = static_cast<uint8_t>((head >> 6) & 3);
  if (fill->spread > 2) fill->spread = 0;
  fill->linearRgb = ((head >> 4) & 3) == 1;
  fill->stops = static_cast<uint8_t>(head & 15);
  for (int i = 0; i < fill->stops; ++i) {
    fill->ratio[i] = r.U8();
    fill->stop[i] = ReadColour(r, alpha);
    if (end) {
      end->ratio[i] = r.U8();
      end->stop[i] = ReadColour(r, true);
    }
  }
  if (end) {
    end->spread = fill->spread;
    end->linearRgb = fill->linearRgb;
    end->stops = fill->stops;
  }
}

// One fill style (a morph's: the start into fill, the end into end);
// false when its type is unknown.
bool ReadFill(CMovieBits& r, int version, MovieFill* fill, MovieFill* end) {
  memset(fill, 0, sizeof *fill);
  fill->matrix = kMovieIdentity;
  if (end) *end = *fill;
  const bool alpha = version >= 3 || end;
  fill->type = r.U8();
  if (end) end->type = fill->type;
  switch (fill->type) {
    case 0x00:
      fill->colour = ReadColour(r, alpha);
      if (end) end->colour = ReadColour(r, true);
      break;
    case 0x10:
    case 0x12:
    case 0x13:
      fill->matrix = ReadMovieMatrix(r);
      if (end) end->matrix = ReadMovieMatrix(r);
      ReadGradient(r, alpha, fill, end);
      if (fill->type == 0x13 && !end) fill->focal = r.S16();
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      fill->bitmap = r.U16();
      fill->matrix = ReadMovieMatrix(r);
      if (end) {
        end->bitmap = fill->bitmap;
        end->matrix = ReadMovieMatrix(r);
      }
      break;
    default:
      return false;
  }
  return !r.Bad();
}

// A line style; the fourth kind's lines may be painted with a fill,
// which goes to the shape's fills (outside every group's run of them).
bool ReadLine(CMovieBits& r, int version, MovieShape* shape, MovieLine* line, MovieLine* end) {
  memset(line, 0, sizeof *line);
  line->fill = -1;
  line->miter = 3;
  line->width = r.U16();
  if (end) end->width = r.U16();
  if (version >= 4) {
    r.Align();
    line->startCap = static_cast<uint8_t>(r.UB(2));
    line->join = static_cast<uint8_t>(r.UB(2));
    const bool hasFill = r.UB(1) != 0;
    r.UB(3);  // no horizontal scale, no vertical scale, pixel hinting
    r.UB(5);
    line->noClose = static_cast<uint8_t>(r.UB(1));
    line->endCap = static_cast<uint8_t>(r.UB(2));
    if (line->join == kJoinMiter) line->miter = r.U16() / 256.0f;
    if (hasFill) {
      MovieFill fills[2];
      if (!ReadFill(r, 4, &fills[0], end ? &fills[1] : nullptr)) return false;
      line->fill = static_cast<int32_t>(shape->fills.GetSize());
      if (!shape->fills.Add(fills[0]) || (end && !shape->fills.Add(fills[1]))) return false;
    } else {
      line->colour = ReadColour(r, true);
      if (end) end->colour = ReadColour(r, true);
    }
  } else {
    line->colour = ReadColour(r, version >= 3 || end);
    if (end) end->colour = ReadColour(r, true);
  }
  if (end) {
    const uint16_t width = end->width;
    const MovieRgba colour = end->colour;
    *end = *line;
    end->width = width;
    end->colour = colour;
    if (line->fill >= 0) end->fill = line->fill + 1;
  }
  return !r.Bad();
}

// A group of styles appended to the shape (pairs for a morph).
bool ReadStyles(CMovieBits& r, int version, MovieShape* shape, bool morph) {
  MovieStyleGroup group = {shape->fills.GetSize(), 0, shape->lines.GetSize(), 0};
  const uint32_t fills = ReadCount(r, version >= 2 || morph);
  // Every fill style takes two bytes at least, every line style four.
  if (r.Bad() || fills > r.Left() / 2) return false;
  for (uint32_t i = 0; i < fills; ++i) {
    MovieFill* slot = shape->fills.Grow(morph ? 2 : 1);
    if (!slot || !ReadFill(r, version, slot, morph ? slot + 1 : nullptr)) return false;
  }
  const uint32_t lines = ReadCount(r, true);
  if (r.Bad() || lines > r.Left() / 4) return false;
  // The lines' own fills come after this group's fills.
  MovieLine lineStyles[2];
  for (uint32_t i = 0; i < lines; ++i) {
    if (!ReadLine(r, version, shape, &lineStyles[0], morph ? &lineStyles[1] : nullptr) ||
        !shape->lines.Add(lineStyles[0]) || (morph && !shape->lines.Add(lineStyles[1])))
      return false;
  }
  group.fillCount = fills;
  group.lineCount = lines;
  return shape->groups.Add(group);
}

uint32_t Wrap(int32_t a, int32_t b) { return static_cast<uint32_t>(a) + static_cast<uint32_t>(b); }

// The shape records up to their end. In a shape with styles, paths get
// them as global indexes from 1 into the shape's fills and lines (pairs
// for a morph), an index past its group's styles being none; a glyph's
// are kept as they are. newStyles: the records may bring new styles.
// midControl: straight edges get their control point half-way (morph
// edges, which pair with curves).
bool ReadRecords(CMovieBits& r, int version, MovieShape* shape, bool newStyles, bool morph,
                 bool midControl, uint32_t edgeLimit) {
  const bool grouped = shape->groups.GetSize() > 0;
  r.Align();
  int fillBits = static_cast<int>(r.UB(4)), lineBits = static_cast<int>(r.UB(4));
  const MovieStyleGroup none = {0, 0, 0, 0};
  MovieStyleGroup group = shape->groups.GetSize() ? shape->groups[shape->groups.GetSize() - 1] : none;
  const uint32_t unit = morph ? 2 : 1;
  int32_t x = 0, y = 0;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  MoviePath* path = nullptr;
  for (;;) {
    if (r.UB(1) == 0) {
      const uint32_t flags = r.UB(5);
      if (flags == 0) break;
      if (flags & 1) {
        const int n = static_cast<int>(r.UB(5));
        x = r.SB(n);
        y = r.SB(n);
      }
      uint32_t f0 = flags & 2 ? r.UB(fillBits) : UINT32_MAX;
      uint32_t f1 = flags & 4 ? r.UB(fillBits) : UINT32_MAX;
      uint32_t ln = flags & 8 ? r.UB(lineBits) : UINT32_MAX;
      if (flags & 16) {
        // New styles: what follows is drawn over what came before.
        if (!newStyles || !ReadStyles(r, version, shape, false)) return false;
        group = shape->groups[shape->groups.GetSize() - 1];
        r.Align();
        fillBits = static_cast<int>(r.UB(4));
        lineBits = static_cast<int>(r.UB(4));
        fill0 = fill1 = line = 0;
      }
      auto global = [&](uint32_t index, uint32_t first, uint32_t count) -> uint32_t {
        if (!grouped) return index;
        return index == 0 || index > count ? 0 : first / unit + index;
      };
      if (f0 != UINT32_MAX) fill0 = global(f0, group.firstFill, group.fillCount);
      if (f1 != UINT32_MAX) fill1 = global(f1, group.firstFill, group.fillCount);
      if (ln != UINT32_MAX) line = global(ln, group.firstLine, group.lineCount);
      path = nullptr;
      if (r.Bad()) return false;
      continue;
    }
    if (!path) {
      if (shape->paths.GetSize() && shape->paths[shape->paths.GetSize() - 1].count == 0)
        shape->paths.SetSize(shape->paths.GetSize() - 1);
      const MoviePath p = {x, y, shape->edges.GetSize(), 0, fill0, fill1, line};
      if (!shape->paths.Add(p)) return false;
      path = &shape->paths[shape->paths.GetSize() - 1];
    }
    MovieEdge e;
    const bool straight = r.UB(1) != 0;
    const int n = static_cast<int>(r.UB(4)) + 2;
    // Coordinates wrap rather than overflow: a damaged shape draws
    // garbage, never undefined arithmetic.
    if (straight) {
      int32_t dx = 0, dy = 0;
      if (r.UB(1)) {
        dx = r.SB(n);
        dy = r.SB(n);
      } else if (r.UB(1)) {
        dy = r.SB(n);
      } else {
        dx = r.SB(n);
      }
      e.x = static_cast<int32_t>(Wrap(x, dx));
      e.y = static_cast<int32_t>(Wrap(y, dy));
      e.cx = midControl ? static_cast<int32_t>((static_cast<int64_t>(x) + e.x) / 2) : e.x;
      e.cy = midControl ? static_cast<int32_t>((static_cast<int64_t>(y) + e.y) / 2) : e.y;
    } else {
      e.cx = static_cast<int32_t>(Wrap(x, r.SB(n)));
      e.cy = static_cast<int32_t>(Wrap(y, r.SB(n)));
      e.x = static_cast<int32_t>(Wrap(e.cx, r.SB(n)));
      e.y = static_cast<int32_t>(Wrap(e.cy, r.SB(n)));
    }
    if (r.Bad() || shape->edges.GetSize() >= edgeLimit || !shape->edges.Add(e)) return false;
    path = &shape->paths[shape->paths.GetSize() - 1];
    ++path->count;
    x = e.x;
    y = e.y;
  }
  if (shape->paths.GetSize() && shape->paths[shape->paths.GetSize() - 1].count == 0)
    shape->paths.SetSize(shape->paths.GetSize() - 1);
  return !r.Bad();
}

// The paths of every fill and line, sorted by counting.
bool BuildRefs(MovieShape* shape, uint32_t fills, uint32_t lines) {
  const uint32_t lists = fills + lines;
  if (!shape->refStart.Grow(lists + 1)) return false;
  uint32_t* start = shape->refStart.Data();
  memset(start, 0, sizeof(uint32_t) * (lists + 1));
  const uint32_t paths = shape->paths.GetSize();
  for (int pass = 0; pass < 2; ++pass) {
    for (uint32_t i = 0; i < paths; ++i) {
      const MoviePath& p = shape->paths[i];
      const bool bounds = p.fill0 != p.fill1;
      // List numbers from 1; 0 is none.
      const uint32_t in[3] = {bounds && p.fill1 <= fills ? p.fill1 : 0,
                              bounds && p.fill0 <= fills ? p.fill0 : 0,
                              p.line && p.line <= lines ? fills + p.line : 0};
      for (int k = 0; k < 3; ++k) {
        if (!in[k]) continue;
        if (pass == 0)
          ++start[in[k]];
        else
          shape->refs[start[in[k] - 1]++] = i * 2 + (k == 1);
      }
    }
    if (pass == 0) {
      for (uint32_t k = 1; k <= lists; ++k) start[k] += start[k - 1];
      if (!shape->refs.Grow(start[lists])) return false;
    }
  }
  // Filling moved each start to its list's end, the next list's start.
  for (uint32_t k = lists; k > 0; --k) start[k] = start[k - 1];
  start[0] = 0;
  return true;
}

// What the shape's edges and lines reach, from the edges read.
void FindReach(MovieShape* shape) {
  MovieRect& b = shape->bounds;
  b = MovieRect{0, 0, 0, 0};
  bool first = true;
  auto add = [&](int32_t x, int32_t y) {
    if (first || x < b.xMin) b.xMin = x;
    if (first || x > b.xMax) b.xMax = x;
    if (first || y < b.yMin) b.yMin = y;
    if (first || y > b.yMax) b.yMax = y;
    first = false;
  };
  for (uint32_t p = 0; p < shape->paths.GetSize(); ++p) {
    const MoviePath& path = shape->paths[p];
    add(path.x, path.y);
    for (uint32_t i = path.first; i < path.first + path.count; ++i) {
      const MovieEdge& e = shape->edges[i];
      add(e.x, e.y);
      add(e.cx, e.cy);
    }
  }
  // A miter reaches out to its limit; a square cap's corner, the round
  // joins and caps and a bevel stay within 1.5 half-widths.
  float reach = 0;
  for (uint32_t l = 0; l < shape->lines.GetSize(); ++l) {
    const MovieLine& line = shape->lines[l];
    const float factor = line.join == kJoinMiter && line.miter > 1.5f ? line.miter : 1.5f;
    if (line.width * 0.5f * factor > reach) reach = line.width * 0.5f * factor;
  }
  shape->lineReach = reach;
}

void Trim(MovieShape* shape) {
  shape->fills.Shrink();
  shape->lines.Shrink();
  shape->edges.Shrink();
  shape->paths.Shrink();
  shape->refs.Shrink();
}

}  // namespace

void ReadMovieRect(CMovieBits& r, MovieRect* rect) {
  r.Align();
  const int n = static_cast<int>(r.UB(5));
  rect->xMin = r.SB(n);
  rect->xMax = r.SB(n);
  rect->yMin = r.SB(n);
  rect->yMax = r.SB(n);
  r.Align();
}

MovieMatrix ReadMovieMatrix(CMovieBits& r) {
  MovieMatrix m = kMovieIdentity;
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
  r.Align();
  return m;
}

MovieColourTransform ReadMovieColourTransform(CMovieBits& r, bool withAlpha) {
  MovieColourTransform t = kMovieNoColourChange;
  r.Align();
  const bool hasAdd = r.UB(1) != 0, hasMult = r.UB(1) != 0;
  const int n = static_cast<int>(r.UB(4));
  const int channels = withAlpha ? 4 : 3;
  if (hasMult)
    for (int i = 0; i < channels; ++i) t.mult[i] = r.SB(n);
  if (hasAdd)
    for (int i = 0; i < channels; ++i) t.add[i] = r.SB(n);
  r.Align();
  return t;
}

void MovieShape::SetBudget(MovieBudget* budget) {
  fills.SetBudget(budget);
  lines.SetBudget(budget);
  edges.SetBudget(budget);
  paths.SetBudget(budget);
  groups.SetBudget(budget);
  refs.SetBudget(budget);
  refStart.SetBudget(budget);
}

MovieShape* ReadMovieShape(CMovieBits& r, int version, MovieBudget* budget) {
  MovieShape* shape = NewMovieDef<MovieShape>(budget, kDefShape);
  if (!shape) return nullptr;
  shape->SetBudget(budget);
  MovieRect given;
  ReadMovieRect(r, &given);
  if (version >= 4) {
    ReadMovieRect(r, &given);  // the edges' own rectangle
    r.U8();  // winding rule and stroke flags
  }
  if (!ReadStyles(r, version, shape, false) ||
      !ReadRecords(r, version, shape, version >= 2, false, false, kMovieShapeEdges) ||
      !BuildRefs(shape, shape->fills.GetSize(), shape->lines.GetSize())) {
    FreeMovieDef(shape, budget);
    return nullptr;
  }
  FindReach(shape);
  Trim(shape);
  return shape;
}

bool ReadMovieGlyph(CMovieBits& r, MovieShape* shape, uint32_t edgeLimit) {
  return ReadRecords(r, 1, shape, false, false, false, edgeLimit);
}

MovieMorph* ReadMovieMorph(CMovieBits& r, int version, MovieBudget* budget) {
  MovieMorph* morph = NewMovieDef<MovieMorph>(budget, kDefMorph);
  if (!morph) return nullptr;
  MovieShape* shape = &morph->shape;
  shape->SetBudget(budget);
  morph->endEdges.SetBudget(budget);
  morph->endStarts.SetBudget(budget);
  ReadMovieRect(r, &morph->bounds[0]);
  ReadMovieRect(r, &morph->bounds[1]);
  if (version >= 2) {
    MovieRect edgeBounds;
    ReadMovieRect(r, &edgeBounds);
    ReadMovieRect(r, &edgeBounds);
    r.U8();
  }
  const uint32_t offset = r.U32();
  const uint8_t* edgesAt = r.Pos();
  bool ok = !r.Bad() && offset <= r.Left() && ReadStyles(r, version >= 2 ? 4 : 3, shape, true) &&
            ReadRecords(r, 3, shape, false, true, true, kMovieShapeEdges);
  if (ok) {
    // The end shape: its edges, where each starts, nothing of its styles.
    CMovieBits end(edgesAt + offset, r.End());
    MovieShape ends;
    ends.SetBudget(budget);
    ok = ReadRecords(end, 3, &ends, false, false, true, kMovieShapeEdges) &&
         ends.edges.GetSize() >= shape->edges.GetSize() &&
         morph->endStarts.Grow(2 * shape->edges.GetSize());
    for (uint32_t p = 0; ok && p < ends.paths.GetSize(); ++p) {
      const MoviePath& path = ends.paths[p];
      int32_t x = path.x, y = path.y;
      for (uint32_t e = path.first; e < path.first + path.count && e < shape->edges.GetSize(); ++e) {
        morph->endStarts[2 * e] = x;
        morph->endStarts[2 * e + 1] = y;
        x = ends.edges[e].x;
        y = ends.edges[e].y;
      }
    }
    if (ok) {
      ends.edges.SetSize(shape->edges.GetSize());
      ok = morph->endEdges.Grow(shape->edges.GetSize()) != nullptr;
      if (ok && shape->edges.GetSize())
        memcpy(morph->endEdges.Data(), ends.edges.Data(), sizeof(MovieEdge) * shape->edges.GetSize());
    }
  }
  if (!ok || !BuildRefs(shape, shape->fills.GetSize() / 2, shape->lines.GetSize() / 2)) {
    FreeMovieDef(morph, budget);
    return nullptr;
  }
  Trim(shape);
  return morph;
}

void FreeMovieShape(MovieShape* shape) {
  shape->fills.Free();
  shape->lines.Free();
  shape->edges.Free();
  shape->paths.Free();
  shape->groups.Free();
  shape->refs.Free();
  shape->refStart.Free();
}
