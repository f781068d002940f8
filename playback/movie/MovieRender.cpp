// Drawing a frame: the background, then the display list by depth, each
// object through its matrix and colour transform and those of the sprites
// it sits in. A shape draws each style group's fills (their paths turned
// so that the fill lies right of every edge) and then its lines (stroked
// into polygons with their caps and joins); a morph shape is drawn from
// its pairs at its ratio; texts are glyph shapes. A mask's fills become
// coverage of their own, which the depths it masks are drawn through.
// The frame's work is counted: past the budget, or when the host says
// stop, the frame is cut where it stands.
#include <math.h>
#include <new>

#include "playback/movie/MovieRender.h"

namespace {

const float kPi = 3.14159265f;
const uint32_t kCheckEvery = 1u << 16;

struct Point {
  float x, y;
};

inline Point Apply(const MovieMatrix& m, float x, float y) {
  return Point{m.a * x + m.c * y + m.tx, m.b * x + m.d * y + m.ty};
}

MovieBox Intersect(const MovieBox& a, const MovieBox& b) {
  MovieBox r = {a.x0 > b.x0 ? a.x0 : b.x0, a.y0 > b.y0 ? a.y0 : b.y0, a.x1 < b.x1 ? a.x1 : b.x1,
                a.y1 < b.y1 ? a.y1 : b.y1};
  if (r.x1 < r.x0) r.x1 = r.x0;
  if (r.y1 < r.y0) r.y1 = r.y0;
  return r;
}

// Whether the transform leaves anything to see.
bool Shows(const MovieColourTransform& cx) { return cx.mult[3] > 0 || cx.add[3] > 0; }

// The points of a quadratic curve after (x0, y0), up to and with its end.
void Flatten(CMovieArray<float>* out, float x0, float y0, float cx, float cy, float x1, float y1,
             int depth) {
  const float dev = fabsf(x0 - 2 * cx + x1) + fabsf(y0 - 2 * cy + y1);
  if (depth >= 8 || !(dev > 0.8f)) {
    float* p = out->Grow(2);
    if (p) {
      p[0] = x1;
      p[1] = y1;
    }
    return;
  }
  const float ax = (x0 + cx) * 0.5f, ay = (y0 + cy) * 0.5f;
  const float bx = (cx + x1) * 0.5f, by = (cy + y1) * 0.5f;
  const float mx = (ax + bx) * 0.5f, my = (ay + by) * 0.5f;
  Flatten(out, x0, y0, ax, ay, mx, my, depth + 1);
  Flatten(out, mx, my, bx, by, x1, y1, depth + 1);
}

// Steps of an arc of the angle at radius r, each within a fifth of a pixel.
int ArcSteps(float angle, float r) {
  if (r < 0.5f) return 1;
  const float step = 2 * acosf(1 - 0.2f / r > -1 ? 1 - 0.2f / r : -1);
  int n = step > 0 ? static_cast<int>(ceilf(fabsf(angle) / step)) : 1;
  return n < 1 ? 1 : n > 128 ? 128 : n;
}

// How far a shape's lines reach past its edges on the device (a stroke's
// half-width scales with the matrix's area).
float LineReach(const MovieShape& shape, const MovieMatrix& m) {
  const float reach = shape.lineReach * sqrtf(fabsf(m.a * m.d - m.b * m.c));
  return reach < 1e8f ? reach : 1e8f;  // not a number: out of reach too
}

inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline int32_t LerpI(int32_t a, int32_t b, float t) {
  return static_cast<int32_t>(a + (static_cast<float>(b) - a) * t);
}
MovieRgba LerpColour(MovieRgba a, MovieRgba b, float t) {
  MovieRgba c = 0;
  for (int i = 0; i < 4; ++i)
    c |= static_cast<MovieRgba>(MovieChannel(a, i) + (MovieChannel(b, i) - MovieChannel(a, i)) * t + 0.5f)
         << (8 * i);
  return c;
}

}  // namespace

CMovieRenderer::~CMovieRenderer() {
  for (uint8_t* buffer : m_maskBuffers) free(buffer);
}

void DeleteMovieRenderer(CMovieRenderer* renderer) { delete renderer; }

bool CMovie::Draw(const MovieTarget& target) {
  if (!m_renderer) m_renderer = new (std::nothrow) CMovieRenderer(*this);
  return m_renderer && m_renderer->Draw(target, false, &m_drawn);
}

bool CMovie::DrawChanges(const MovieTarget& target) {
  if (!m_renderer) m_renderer = new (std::nothrow) CMovieRenderer(*this);
  return m_renderer && m_renderer->Draw(target, true, &m_drawn);
}

bool CMovieRenderer::Cut() {
  if (m_cut) return true;
  const uint32_t work = m_budget->frameWork;
  if (work >= m_budget->frameWorkLimit) {
    m_cut = true;
  } else if (work - m_checked >= kCheckEvery) {
    m_checked = work;
    if (m_movie.m_host && m_movie.m_host->StopDrawing()) m_cut = true;
  }
  return m_cut;
}

namespace {

const int kTile = 32;

int CompareItems(const void* a, const void* b) {
  const uint64_t x = *static_cast<const uint64_t*>(a), y = *static_cast<const uint64_t*>(b);
  return x < y ? -1 : x > y;
}

uint64_t Hash(uint64_t h, const void* data, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}

}  // namespace

bool CMovieRenderer::Draw(const MovieTarget& target, bool changes, CMovieArray<MovieBox>* drawn) {
  drawn->SetSize(0);
  m_target = target;
  m_budget = &m_movie.m_budget;
  m_budget->frameWork = 0;
  m_cut = false;
  m_checked = 0;
  const int w = target.width, h = target.height;
  if (w <= 0 || h <= 0 || !m_raster.Prepare(w, h)) return false;
  if (m_maskW != w || m_maskH != h) {
    for (uint8_t*& buffer : m_maskBuffers) {
      free(buffer);
      buffer = nullptr;
    }
    m_maskW = w;
    m_maskH = h;
  }
  m_raster.m_work = &m_budget->frameWork;
  m_composite.m_pixels = target.pixels;
  m_composite.m_stride = target.stride;
  m_composite.m_mask = nullptr;
  m_composite.m_maskOut = nullptr;
  m_composite.m_maskStride = w;
  m_maskCount = 0;
  m_maskMode = false;
  const uint32_t bg = m_movie.m_background;
  const MovieRect& f = m_movie.m_frame;
  const float movieW = static_cast<float>(f.xMax - f.xMin), movieH = static_cast<float>(f.yMax - f.yMin);
  const bool shows = !m_movie.IsEmpty() && movieW > 0 && movieH > 0;
  const float sx = shows ? w / movieW : 1, sy = shows ? h / movieH : 1;
  const float scale = sx < sy ? sx : sy;
  const MovieMatrix stage = {scale, 0, 0, scale, (w - movieW * scale) / 2 - f.xMin * scale,
                             (h - movieH * scale) / 2 - f.yMin * scale};
  // What the frame shows, and where it differs from the last one drawn.
  CMovieArray<Item>& items = m_items[m_current];
  CMovieArray<Item>& previous = m_items[1 - m_current];
  items.SetSize(0);
  if (shows) Collect(m_movie.m_root.root, stage, kMovieNoColourChange, 14695981039346656037ull);
  if (items.GetSize()) qsort(items.Data(), items.GetSize(), sizeof(Item), CompareItems);
  const int tw = (w + kTile - 1) / kTile, th = (h + kTile - 1) / kTile;
  m_tiles.SetSize(0);
  if (!m_tiles.Grow(static_cast<uint32_t>(tw * th))) return false;
  const bool all = !changes || !m_previousValid || m_previousW != w || m_previousH != h ||
                   m_previousBackground != bg;
  memset(m_tiles.Data(), all ? 1 : 0, static_cast<size_t>(tw) * th);
  if (!all) {
    uint32_t i = 0, j = 0;
    const uint32_t n = items.GetSize(), m = previous.GetSize();
    while (i < n || j < m) {
      if (j >= m || (i < n && items[i].key < previous[j].key)) {
        Mark(items[i++].box);
      } else if (i >= n || previous[j].key < items[i].key) {
        Mark(previous[j++].box);
      } else {
        if (memcmp(&items[i].box, &previous[j].box, sizeof(MovieBox)) != 0) {
          Mark(items[i].box);
          Mark(previous[j].box);
        }
        ++i;
        ++j;
      }
    }
  }
  // The changed tiles as rectangles: runs of a row, grown down while the
  // next row has the same run.
  for (int ty = 0; ty < th; ++ty) {
    for (int tx = 0; tx < tw;) {
      if (!m_tiles[ty * tw + tx]) {
        ++tx;
        continue;
      }
      int end = tx;
      while (end < tw && m_tiles[ty * tw + end]) ++end;
      int bottom = ty + 1;
      for (; bottom < th; ++bottom) {
        bool same = (tx == 0 || !m_tiles[bottom * tw + tx - 1]) && (end == tw || !m_tiles[bottom * tw + end]);
        for (int x = tx; x < end && same; ++x) same = m_tiles[bottom * tw + x] != 0;
        if (!same) break;
        memset(&m_tiles[bottom * tw + tx], 0, end - tx);
      }
      const MovieBox box = {tx * kTile, ty * kTile, end * kTile < w ? end * kTile : w,
                            bottom * kTile < h ? bottom * kTile : h};
      if (!drawn->Add(box)) return false;
      tx = end;
    }
  }
  const uint32_t back = 0xFF000000u | (bg & 0xFF) << 16 | (bg & 0xFF00) | (bg >> 16 & 0xFF);
  for (uint32_t k = 0; k < drawn->GetSize(); ++k) {
    const MovieBox& box = (*drawn)[k];
    for (int y = box.y0; y < box.y1; ++y)
      FillMoviePixels(target.pixels + static_cast<size_t>(y) * target.stride + box.x0, box.x1 - box.x0, back);
    m_raster.SetClip(box);
    if (shows && !m_cut) DrawList(m_movie.m_root.root, stage, kMovieNoColourChange);
  }
  m_budget->frameCut = m_cut;
  // A cut frame is no base for the next one's changes.
  m_previousValid = changes && !m_cut;
  m_previousW = w;
  m_previousH = h;
  m_previousBackground = bg;
  m_current = 1 - m_current;
  return !m_cut;
}

void CMovieRenderer::Mark(const MovieBox& box) {
  const int tw = (m_target.width + kTile - 1) / kTile, th = (m_target.height + kTile - 1) / kTile;
  const int x0 = box.x0 < 0 ? 0 : box.x0 / kTile, y0 = box.y0 < 0 ? 0 : box.y0 / kTile;
  const int x1 = box.x1 > m_target.width ? tw : (box.x1 + kTile - 1) / kTile;
  const int y1 = box.y1 > m_target.height ? th : (box.y1 + kTile - 1) / kTile;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) m_tiles[y * tw + x] = 1;
}

MovieBox CMovieRenderer::DeviceBox(const MovieRect& b, const MovieMatrix& m, float reach) const {
  const Point p[4] = {Apply(m, static_cast<float>(b.xMin), static_cast<float>(b.yMin)),
                      Apply(m, static_cast<float>(b.xMax), static_cast<float>(b.yMin)),
                      Apply(m, static_cast<float>(b.xMin), static_cast<float>(b.yMax)),
                      Apply(m, static_cast<float>(b.xMax), static_cast<float>(b.yMax))};
  float x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
  for (const Point& q : p) {
    x0 = q.x < x0 ? q.x : x0;
    x1 = q.x > x1 ? q.x : x1;
    y0 = q.y < y0 ? q.y : y0;
    y1 = q.y > y1 ? q.y : y1;
  }
  // Anti-aliasing and lines reach a little past the bounds.
  auto clamp = [](float v) { return v < -1e8f ? -100000000 : v > 1e8f ? 100000000 : static_cast<int>(v); };
  return MovieBox{clamp(x0 - 3 - reach), clamp(y0 - 3 - reach), clamp(x1 + 4 + reach), clamp(y1 + 4 + reach)};
}

// Every thing the frame draws as an item, as DrawList and DrawObject go.
void CMovieRenderer::Collect(const MovieListNode* root, const MovieMatrix& m,
                             const MovieColourTransform& cx, uint64_t path) {
  CMovieArray<Item>& items = m_items[m_current];
  auto each = [&](MovieObject* obj) -> bool {
    if (!obj->def) return true;
    const MovieMatrix om = MovieConcat(m, obj->matrix);
    const MovieColourTransform ocx = MovieConcat(cx, obj->colour);
    if (!obj->clipDepth && !Shows(ocx)) return true;
    const uint64_t here = Hash(path, &obj->depth, sizeof obj->depth) ^ (obj->clipDepth ? 0x9E37u : 0);
    MovieRect bounds;
    float reach = 0;
    const MovieDef* def = obj->def;
    switch (def->kind) {
      case kDefShape:
        bounds = static_cast<const MovieShape*>(def)->bounds;
        reach = LineReach(*static_cast<const MovieShape*>(def), om);
        break;
      case kDefMorph: {
        const MovieMorph* morph = static_cast<const MovieMorph*>(def);
        bounds = morph->bounds[0];
        const MovieRect& e = morph->bounds[1];
        bounds = MovieRect{bounds.xMin < e.xMin ? bounds.xMin : e.xMin, bounds.xMax > e.xMax ? bounds.xMax : e.xMax,
                           bounds.yMin < e.yMin ? bounds.yMin : e.yMin, bounds.yMax > e.yMax ? bounds.yMax : e.yMax};
        break;
      }
      case kDefText: {
        const MovieText* text = static_cast<const MovieText*>(def);
        Item item = {0, DeviceBox(text->bounds, MovieConcat(om, text->matrix))};
        uint64_t key = Hash(here, &def, sizeof def);
        key = Hash(key, &om, sizeof om);
        key = Hash(key, &ocx, sizeof ocx);
        item.key = key;
        items.Add(item);
        return true;
      }
      case kDefEditText:
        bounds = static_cast<const MovieEditText*>(def)->bounds;
        break;
      case kDefSprite:
      case kDefButton:
        if (obj->clip) Collect(obj->clip->root, om, ocx, here);
        return true;
      default:
        return true;
    }
    uint64_t key = Hash(here, &def, sizeof def);
    key = Hash(key, &om, sizeof om);
    key = Hash(key, &ocx, sizeof ocx);
    key = Hash(key, &obj->ratio, sizeof obj->ratio);
    items.Add(Item{key, DeviceBox(bounds, om, reach)});
    return true;
  };
  ForEachMovieObject(root, each);
}

bool CMovieRenderer::DrawList(const MovieListNode* root, const MovieMatrix& m,
                              const MovieColourTransform& cx) {
  const int base = m_maskCount;
  auto pop = [&]() {
    Mask& mask = m_masks[--m_maskCount];
    if (mask.coverage) {
      for (int y = mask.box.y0; y < mask.box.y1; ++y)
        memset(mask.coverage + static_cast<size_t>(y) * m_target.width + mask.box.x0, 0,
               mask.box.x1 - mask.box.x0);
    }
    // Back to the clip and the masks in force before it.
    m_raster.SetClip(mask.saved);
    m_composite.m_mask = m_maskCount ? m_masks[m_maskCount - 1].coverage : nullptr;
  };
  auto each = [&](MovieObject* obj) -> bool {
    while (m_maskCount > base && obj->depth > m_masks[m_maskCount - 1].clipDepth) pop();
    if (Cut()) return false;
    if (!obj->clipDepth) {
      DrawObject(obj, m, cx);
    } else if (!m_maskMode && m_maskCount < 8) {
      uint8_t*& buffer = m_maskBuffers[m_maskCount];
      if (!buffer) buffer = static_cast<uint8_t*>(calloc(static_cast<size_t>(m_target.width), m_target.height));
      Mask& mask = m_masks[m_maskCount];
      mask.coverage = buffer;
      mask.clipDepth = obj->clipDepth;
      mask.saved = m_raster.GetClip();
      mask.box = MovieBox{0x7FFFFFFF, 0x7FFFFFFF, -0x7FFFFFFF, -0x7FFFFFFF};
      if (buffer) {
        // The mask's fills as coverage, within the masks already in force.
        m_maskMode = true;
        m_composite.m_maskOut = buffer;
        m_composite.m_maskBox = &mask.box;
        DrawObject(obj, m, cx);
        m_composite.m_maskOut = nullptr;
        m_maskMode = false;
      }
      mask.box = Intersect(mask.box, mask.saved);
      ++m_maskCount;
      m_raster.SetClip(mask.box);
      m_composite.m_mask = buffer;
      if (!buffer) m_raster.SetClip(MovieBox{0, 0, 0, 0});  // no memory: what it masks is hidden
    }
    return !m_cut;
  };
  const bool whole = ForEachMovieObject(root, each);
  while (m_maskCount > base) pop();
  return whole;
}

bool CMovieRenderer::Visible(const MovieRect& bounds, const MovieMatrix& m, float margin) const {
  const MovieBox box = DeviceBox(bounds, m);
  const MovieBox& c = m_raster.GetClip();
  return box.x1 + margin > c.x0 && box.x0 - margin < c.x1 && box.y1 + margin > c.y0 &&
         box.y0 - margin < c.y1;
}

void CMovieRenderer::DrawObject(const MovieObject* obj, const MovieMatrix& m,
                                const MovieColourTransform& cx) {
  if (!obj->def) return;
  const MovieMatrix om = MovieConcat(m, obj->matrix);
  const MovieColourTransform ocx = MovieConcat(cx, obj->colour);
  if (!m_maskMode && !Shows(ocx)) return;
  switch (obj->def->kind) {
    case kDefShape: {
      const MovieShape& s = *static_cast<const MovieShape*>(obj->def);
      if (Visible(s.bounds, om, 1 + LineReach(s, om)))
        DrawShape(s, s.fills.Data(), s.lines.Data(), s.edges.Data(), nullptr, om, ocx);
      break;
    }
    case kDefMorph:
      DrawMorph(*static_cast<const MovieMorph*>(obj->def), obj->ratio, om, ocx);
      break;
    case kDefText:
      DrawText(*static_cast<const MovieText*>(obj->def), om, ocx);
      break;
    case kDefEditText:
      DrawEditText(*static_cast<const MovieEditText*>(obj->def), om, ocx);
      break;
    case kDefSprite:
    case kDefButton:
      if (obj->clip) DrawList(obj->clip->root, om, ocx);
      break;
    default:
      break;
  }
}

void CMovieRenderer::AddPath(const MoviePath& path, const MovieEdge* edges, int32_t x, int32_t y,
                             const MovieMatrix& m, bool reverse) {
  Point p = Apply(m, static_cast<float>(x), static_cast<float>(y));
  for (uint32_t i = 0; i < path.count; ++i) {
    const MovieEdge& e = edges[path.first + i];
    const Point q = Apply(m, static_cast<float>(e.x), static_cast<float>(e.y));
    if (e.cx == e.x && e.cy == e.y) {
      if (reverse)
        m_raster.Line(q.x, q.y, p.x, p.y);
      else
        m_raster.Line(p.x, p.y, q.x, q.y);
    } else {
      const Point c = Apply(m, static_cast<float>(e.cx), static_cast<float>(e.cy));
      if (reverse)
        m_raster.Quad(q.x, q.y, c.x, c.y, p.x, p.y);
      else
        m_raster.Quad(p.x, p.y, c.x, c.y, q.x, q.y);
    }
    p = q;
    if ((i & 63) == 63 && Cut()) return;
  }
}

void CMovieRenderer::Composite(const MoviePaint& paint) {
  if (m_cut) {
    m_raster.Sweep(nullptr);
    return;
  }
  m_composite.m_paint = paint;
  m_raster.Sweep(&m_composite);
}

void CMovieRenderer::FillSolid(uint32_t colour) {
  MoviePaint paint;
  memset(&paint, 0, sizeof paint);
  paint.kind = kPaintSolid;
  paint.colour = colour;
  Composite(paint);
}

void CMovieRenderer::DrawShape(const MovieShape& shape, const MovieFill* fills, const MovieLine* lines,
                               const MovieEdge* edges, const MovieMorph* morph, const MovieMatrix& m,
                               const MovieColourTransform& cx) {
  const uint32_t unit = morph ? 2 : 1;
  const uint32_t fillTotal = shape.fills.GetSize() / unit;
  MoviePaint paint;
  for (uint32_t g = 0; g < shape.groups.GetSize() && !m_cut; ++g) {
    const MovieStyleGroup& group = shape.groups[g];
    const uint32_t first = group.firstFill / unit, last = first + group.fillCount;
    for (uint32_t f = first; f < last && f < fillTotal && !Cut(); ++f) {
      const uint32_t from = shape.refStart[f], to = shape.refStart[f + 1];
      if (from == to) continue;
      if (!m_maskMode && !SetMoviePaint(&paint, fills[f], m, cx, m_movie, m_lut)) continue;
      for (uint32_t k = from; k < to && !m_cut; ++k) {
        const MoviePath& path = shape.paths[shape.refs[k] >> 1];
        const int32_t x = morph ? m_morphStarts[2 * (shape.refs[k] >> 1)] : path.x;
        const int32_t y = morph ? m_morphStarts[2 * (shape.refs[k] >> 1) + 1] : path.y;
        AddPath(path, edges, x, y, m, (shape.refs[k] & 1) != 0);
      }
      Composite(paint);
    }
    if (m_maskMode) continue;  // a mask is its fills
    const uint32_t firstLine = group.firstLine / unit;
    for (uint32_t l = firstLine; l < firstLine + group.lineCount && !Cut(); ++l) {
      const MovieLine& line = lines[l];
      if (line.fill >= 0) {
        if (!SetMoviePaint(&paint, fills[line.fill / unit], m, cx, m_movie, m_lut)) continue;
      } else {
        memset(&paint, 0, sizeof paint);
        paint.colour = MoviePremultiply(MovieTransformColour(line.colour, cx));
        if (!(paint.colour >> 24)) continue;
      }
      Stroke(shape, fillTotal + l, line, edges, morph, m);
      Composite(paint);
    }
  }
}

void CMovieRenderer::Stroke(const MovieShape& shape, uint32_t list, const MovieLine& line,
                            const MovieEdge* edges, const MovieMorph* morph, const MovieMatrix& m) {
  const float det = fabsf(m.a * m.d - m.b * m.c);
  float r = line.width * sqrtf(det) * 0.5f;
  if (!(r >= 0.5f)) r = 0.5f;  // hairlines and thinner lines: one pixel
  if (r > 100000) r = 100000;
  const uint32_t from = shape.refStart[list], to = shape.refStart[list + 1];
  int32_t endX = 0, endY = 0, startX = 0, startY = 0;
  m_points.SetSize(0);
  for (uint32_t k = from; k <= to && !Cut(); ++k) {
    const MoviePath* path = k < to ? &shape.paths[shape.refs[k] >> 1] : nullptr;
    int32_t x = 0, y = 0;
    if (path) {
      x = morph ? m_morphStarts[2 * (shape.refs[k] >> 1)] : path->x;
      y = morph ? m_morphStarts[2 * (shape.refs[k] >> 1) + 1] : path->y;
    }
    // A path that goes on from where the last one ended continues its line.
    if (!path || x != endX || y != endY || !m_points.GetSize()) {
      if (m_points.GetSize()) {
        const bool closed = endX == startX && endY == startY && !line.noClose;
        StrokePolyline(m_points.Data(), static_cast<int>(m_points.GetSize() / 2), closed, line, r);
      }
      if (!path) break;
      m_points.SetSize(0);
      const Point p = Apply(m, static_cast<float>(x), static_cast<float>(y));
      float* slot = m_points.Grow(2);
      if (!slot) return;
      slot[0] = p.x;
      slot[1] = p.y;
      startX = x;
      startY = y;
    }
    for (uint32_t i = 0; i < path->count; ++i) {
      const MovieEdge& e = edges[path->first + i];
      const Point q = Apply(m, static_cast<float>(e.x), static_cast<float>(e.y));
      if (e.cx == e.x && e.cy == e.y) {
        float* slot = m_points.Grow(2);
        if (!slot) return;
        slot[0] = q.x;
        slot[1] = q.y;
      } else {
        const Point c = Apply(m, static_cast<float>(e.cx), static_cast<float>(e.cy));
        const float* last = &m_points[m_points.GetSize() - 2];
        Flatten(&m_points, last[0], last[1], c.x, c.y, q.x, q.y, 0);
      }
    }
    endX = path->count ? edges[path->first + path->count - 1].x : x;
    endY = path->count ? edges[path->first + path->count - 1].y : y;
  }
}

// Adds a polygon so that its inside counts one turn whichever way round
// it was given: overlapping parts of a stroke then cover once.
void CMovieRenderer::Polygon(const float* p, int n) {
  float area = 0;
  for (int i = 0; i < n; ++i) {
    const int j = i + 1 == n ? 0 : i + 1;
    area += p[2 * i] * p[2 * j + 1] - p[2 * j] * p[2 * i + 1];
  }
  if (!(area != 0)) return;
  for (int i = 0; i < n; ++i) {
    const int j = i + 1 == n ? 0 : i + 1;
    if (area > 0)
      m_raster.Line(p[2 * i], p[2 * i + 1], p[2 * j], p[2 * j + 1]);
    else
      m_raster.Line(p[2 * j], p[2 * j + 1], p[2 * i], p[2 * i + 1]);
  }
}

void CMovieRenderer::StrokePolyline(const float* in, int count, bool closed, const MovieLine& line,
                                    float r) {
  // The points without repeats.
  CMovieArray<float>& pts = m_polygon;
  pts.SetSize(0);
  for (int i = 0; i < count; ++i) {
    const uint32_t n = pts.GetSize();
    if (n && fabsf(pts[n - 2] - in[2 * i]) < 1e-3f && fabsf(pts[n - 1] - in[2 * i + 1]) < 1e-3f) continue;
    float* slot = pts.Grow(2);
    if (!slot) return;
    slot[0] = in[2 * i];
    slot[1] = in[2 * i + 1];
  }
  const int n = static_cast<int>(pts.GetSize() / 2);
  if (n == 0) return;
  // Bounds: a stroke wholly outside the clip adds nothing.
  float x0 = pts[0], x1 = pts[0], y0 = pts[1], y1 = pts[1];
  for (int i = 1; i < n; ++i) {
    x0 = pts[2 * i] < x0 ? pts[2 * i] : x0;
    x1 = pts[2 * i] > x1 ? pts[2 * i] : x1;
    y0 = pts[2 * i + 1] < y0 ? pts[2 * i + 1] : y0;
    y1 = pts[2 * i + 1] > y1 ? pts[2 * i + 1] : y1;
  }
  const MovieBox& clip = m_raster.GetClip();
  if (x1 + r < clip.x0 || x0 - r > clip.x1 || y1 + r < clip.y0 || y0 - r > clip.y1) return;
  if (closed && n > 2 && fabsf(pts[0] - pts[2 * n - 2]) < 1e-3f && fabsf(pts[1] - pts[2 * n - 1]) < 1e-3f) {
    // the last point repeats the first
  }
  float poly[2 * 134];
  // An arc around (cx, cy) from angle a0 by sweep, as polygon points.
  auto arc = [&](float* out, float cx, float cy, float a0, float sweep, int steps) {
    for (int s = 0; s <= steps; ++s) {
      const float a = a0 + sweep * s / steps;
      out[2 * s] = cx + cosf(a) * r;
      out[2 * s + 1] = cy + sinf(a) * r;
    }
  };
  auto cap = [&](float px, float py, float dx, float dy, int style) {
    const float nx = -dy, ny = dx;
    if (style == kCapRound) {
      const int steps = ArcSteps(kPi, r);
      arc(poly, px, py, atan2f(ny, nx), -kPi, steps);
      Polygon(poly, steps + 1);
    } else if (style == kCapSquare) {
      const float q[8] = {px + nx * r, py + ny * r, px + nx * r + dx * r, py + ny * r + dy * r,
                          px - nx * r + dx * r, py - ny * r + dy * r, px - nx * r, py - ny * r};
      Polygon(q, 4);
    }
  };
  if (n == 1) {
    // A dot: a disc for round caps, a square for square ones.
    if (line.startCap == kCapRound) {
      const int steps = ArcSteps(2 * kPi, r);
      arc(poly, pts[0], pts[1], 0, 2 * kPi, steps);
      Polygon(poly, steps);
    } else if (line.startCap == kCapSquare) {
      const float q[8] = {pts[0] - r, pts[1] - r, pts[0] + r, pts[1] - r,
                          pts[0] + r, pts[1] + r, pts[0] - r, pts[1] + r};
      Polygon(q, 4);
    }
    return;
  }
  const bool ring = closed && n > 2 && fabsf(pts[0] - pts[2 * n - 2]) < 0.01f &&
                    fabsf(pts[1] - pts[2 * n - 1]) < 0.01f;
  const int segments = n - 1;
  auto dir = [&](int s, float* ux, float* uy) {
    const float dx = pts[2 * s + 2] - pts[2 * s], dy = pts[2 * s + 3] - pts[2 * s + 1];
    const float len = sqrtf(dx * dx + dy * dy);
    *ux = len > 0 ? dx / len : 1;
    *uy = len > 0 ? dy / len : 0;
  };
  for (int s = 0; s < segments && !Cut(); ++s) {
    float ux, uy;
    dir(s, &ux, &uy);
    const float nx = -uy * r, ny = ux * r;
    const float ax = pts[2 * s], ay = pts[2 * s + 1], bx = pts[2 * s + 2], by = pts[2 * s + 3];
    const float q[8] = {ax + nx, ay + ny, bx + nx, by + ny, bx - nx, by - ny, ax - nx, ay - ny};
    Polygon(q, 4);
    // The join at the segment's end with the next one.
    const int next = s + 1 < segments ? s + 1 : ring ? 0 : -1;
    if (next < 0) continue;
    float vx, vy;
    dir(next, &vx, &vy);
    const float cross = ux * vy - uy * vx, dot = ux * vx + uy * vy;
    if (fabsf(cross) < 1e-4f && dot > 0) continue;
    const float side = cross > 0 ? -1.0f : 1.0f;
    const float ox = -uy * side, oy = ux * side, px2 = -vy * side, py2 = vx * side;
    const float aX = bx + ox * r, aY = by + oy * r, bX = bx + px2 * r, bY = by + py2 * r;
    if (line.join == kJoinRound) {
      float a0 = atan2f(oy, ox), a1 = atan2f(py2, px2);
      float sweep = a1 - a0;
      while (sweep > kPi) sweep -= 2 * kPi;
      while (sweep < -kPi) sweep += 2 * kPi;
      const int steps = ArcSteps(sweep, r);
      poly[0] = bx;
      poly[1] = by;
      arc(poly + 2, bx, by, a0, sweep, steps);
      Polygon(poly, steps + 2);
    } else {
      const float limit = line.miter < 1 ? 1 : line.miter;
      const float ratio = dot > -0.9999f ? sqrtf(2 / (1 + dot)) : 1e9f;
      if (line.join == kJoinMiter && ratio <= limit) {
        const float mX = bx + (ox + px2) * r / (1 + dot), mY = by + (oy + py2) * r / (1 + dot);
        const float q2[8] = {bx, by, aX, aY, mX, mY, bX, bY};
        Polygon(q2, 4);
      } else {
        const float q2[6] = {bx, by, aX, aY, bX, bY};
        Polygon(q2, 3);
      }
    }
  }
  if (!ring) {
    float ux, uy;
    dir(0, &ux, &uy);
    cap(pts[0], pts[1], -ux, -uy, line.startCap);
    dir(segments - 1, &ux, &uy);
    cap(pts[2 * n - 2], pts[2 * n - 1], ux, uy, line.endCap);
  }
}

void CMovieRenderer::DrawMorph(const MovieMorph& morph, uint16_t ratio, const MovieMatrix& m,
                               const MovieColourTransform& cx) {
  const MovieShape& s = morph.shape;
  const float t = ratio / 65535.0f;
  MovieRect bounds = {LerpI(morph.bounds[0].xMin, morph.bounds[1].xMin, t),
                      LerpI(morph.bounds[0].xMax, morph.bounds[1].xMax, t),
                      LerpI(morph.bounds[0].yMin, morph.bounds[1].yMin, t),
                      LerpI(morph.bounds[0].yMax, morph.bounds[1].yMax, t)};
  if (!Visible(bounds, m, 1)) return;
  const uint32_t edges = s.edges.GetSize(), paths = s.paths.GetSize();
  const uint32_t fills = s.fills.GetSize() / 2, lines = s.lines.GetSize() / 2;
  m_morphEdges.SetSize(0);
  m_morphStarts.SetSize(0);
  m_morphFills.SetSize(0);
  m_morphLines.SetSize(0);
  if ((edges && !m_morphEdges.Grow(edges)) || (paths && !m_morphStarts.Grow(2 * paths)) ||
      (fills && !m_morphFills.Grow(fills)) || (lines && !m_morphLines.Grow(lines)))
    return;
  for (uint32_t i = 0; i < edges; ++i) {
    const MovieEdge& a = s.edges[i];
    const MovieEdge& b = morph.endEdges[i];
    m_morphEdges[i] = MovieEdge{LerpI(a.x, b.x, t), LerpI(a.y, b.y, t), LerpI(a.cx, b.cx, t),
                                LerpI(a.cy, b.cy, t)};
  }
  for (uint32_t p = 0; p < paths; ++p) {
    const MoviePath& path = s.paths[p];
    const int32_t ex = path.first < edges ? morph.endStarts[2 * path.first] : path.x;
    const int32_t ey = path.first < edges ? morph.endStarts[2 * path.first + 1] : path.y;
    m_morphStarts[2 * p] = LerpI(path.x, ex, t);
    m_morphStarts[2 * p + 1] = LerpI(path.y, ey, t);
  }
  for (uint32_t i = 0; i < fills; ++i) {
    const MovieFill& a = s.fills[2 * i];
    const MovieFill& b = s.fills[2 * i + 1];
    MovieFill f = a;
    f.colour = LerpColour(a.colour, b.colour, t);
    f.matrix = MovieMatrix{Lerp(a.matrix.a, b.matrix.a, t), Lerp(a.matrix.b, b.matrix.b, t),
                           Lerp(a.matrix.c, b.matrix.c, t), Lerp(a.matrix.d, b.matrix.d, t),
                           Lerp(a.matrix.tx, b.matrix.tx, t), Lerp(a.matrix.ty, b.matrix.ty, t)};
    for (int k = 0; k < a.stops; ++k) {
      f.ratio[k] = static_cast<uint8_t>(Lerp(a.ratio[k], b.ratio[k], t) + 0.5f);
      f.stop[k] = LerpColour(a.stop[k], b.stop[k], t);
    }
    m_morphFills[i] = f;
  }
  for (uint32_t i = 0; i < lines; ++i) {
    const MovieLine& a = s.lines[2 * i];
    const MovieLine& b = s.lines[2 * i + 1];
    MovieLine l = a;
    l.width = static_cast<uint16_t>(Lerp(a.width, b.width, t) + 0.5f);
    l.colour = LerpColour(a.colour, b.colour, t);
    l.fill = a.fill >= 0 ? a.fill / 2 : -1;
    m_morphLines[i] = l;
  }
  // The pairs' shape with the morph's own styles in between.
  DrawShape(s, m_morphFills.Data(), m_morphLines.Data(), m_morphEdges.Data(), &morph, m, cx);
}

void CMovieRenderer::DrawGlyphs(const MovieFont& font, const MovieGlyph* glyphs, int count,
                                const MovieMatrix& m) {
  for (int i = 0; i < count && !Cut(); ++i) {
    const MovieGlyph& g = glyphs[i];
    if (g.index >= font.glyphCount || !font.glyphPaths.GetSize()) continue;
    const float scale = static_cast<float>(g.height) / font.em;
    const MovieMatrix place = {scale, 0, 0, scale, static_cast<float>(g.x), static_cast<float>(g.y)};
    const MovieMatrix gm = MovieConcat(m, place);
    for (uint32_t p = font.glyphPaths[g.index]; p < font.glyphPaths[g.index + 1]; ++p) {
      const MoviePath& path = font.glyphs.paths[p];
      if ((path.fill0 == 1) == (path.fill1 == 1)) continue;
      AddPath(path, font.glyphs.edges.Data(), path.x, path.y, gm, path.fill0 == 1);
    }
  }
}

void CMovieRenderer::DrawText(const MovieText& text, const MovieMatrix& m,
                              const MovieColourTransform& cx) {
  const MovieMatrix tm = MovieConcat(m, text.matrix);
  if (!Visible(text.bounds, tm, 2)) return;
  const uint32_t n = text.glyphs.GetSize();
  for (uint32_t i = 0; i < n && !Cut();) {
    // Glyphs of one font and colour make one fill.
    uint32_t j = i + 1;
    while (j < n && text.glyphs[j].font == text.glyphs[i].font &&
           text.glyphs[j].colour == text.glyphs[i].colour)
      ++j;
    const MovieDef* def = m_movie.GetDef(text.glyphs[i].font);
    if (def && def->kind == kDefFont) {
      DrawGlyphs(*static_cast<const MovieFont*>(def), &text.glyphs[i], static_cast<int>(j - i), tm);
      FillSolid(MoviePremultiply(MovieTransformColour(text.glyphs[i].colour, cx)));
    }
    i = j;
  }
}

namespace {

// The system font a device font's name stands for.
const char* SystemFont(const MovieFont* font) {
  const char* name = font && font->name[0] ? font->name : "_serif";
  if (strcmp(name, "_sans") == 0) return "Arial";
  if (strcmp(name, "_serif") == 0) return "Times New Roman";
  if (strcmp(name, "_typewriter") == 0) return "Courier New";
  return name;
}

int FindGlyph(const MovieFont& font, unsigned char c) {
  for (uint32_t i = 0; i < font.codes.GetSize(); ++i)
    if (font.codes[i] == c) return static_cast<int>(i);
  return -1;
}

}  // namespace

// An edit text's initial text: in its embedded font's glyphs when it
// asks for them, else in the system font of that name and size, drawn by
// the host. The text is kept within its field; a field with a border
// gets a white box with a black frame.
void CMovieRenderer::DrawEditText(const MovieEditText& edit, const MovieMatrix& m,
                                  const MovieColourTransform& cx) {
  const MovieRect& b = edit.bounds;
  if (!Visible(b, m, 2)) return;
  const Point p0 = Apply(m, static_cast<float>(b.xMin), static_cast<float>(b.yMin));
  const Point p1 = Apply(m, static_cast<float>(b.xMax), static_cast<float>(b.yMax));
  const MovieBox field = {static_cast<int>(floorf(p0.x < p1.x ? p0.x : p1.x)),
                          static_cast<int>(floorf(p0.y < p1.y ? p0.y : p1.y)),
                          static_cast<int>(ceilf(p0.x > p1.x ? p0.x : p1.x)),
                          static_cast<int>(ceilf(p0.y > p1.y ? p0.y : p1.y))};
  const MovieBox saved = m_raster.GetClip();
  const MovieBox box = Intersect(field, saved);
  if (box.x1 <= box.x0 || box.y1 <= box.y0) return;
  m_raster.SetClip(box);
  if ((edit.flags & kEditBorder) && !m_maskMode) {
    // A black box, and a white one a pixel inside it.
    for (int inset = 0; inset < 2; ++inset) {
      const float x0 = static_cast<float>(field.x0 + inset), y0 = static_cast<float>(field.y0 + inset);
      const float x1 = static_cast<float>(field.x1 - inset), y1 = static_cast<float>(field.y1 - inset);
      const float box4[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
      Polygon(box4, 4);
      FillSolid(MoviePremultiply(MovieTransformColour(inset ? 0xFFFFFFFFu : 0xFF000000u, cx)));
    }
  }
  const MovieDef* def = edit.flags & kEditHasFont ? m_movie.GetDef(edit.font) : nullptr;
  const MovieFont* font = def && def->kind == kDefFont ? static_cast<const MovieFont*>(def) : nullptr;
  const uint32_t colour = MoviePremultiply(MovieTransformColour(edit.colour, cx));
  const char* text = edit.text.GetSize() ? edit.text.Data() : "";
  const float gutter = 40;  // two pixels at the movie's own size
  if (font && font->glyphCount && (edit.flags & kEditOutlines)) {
    // Lines of glyphs, wrapped at spaces when the field wraps, each line
    // placed by the field's alignment.
    const float scale = static_cast<float>(edit.height) / font->em;
    const float ascent = font->ascent ? font->ascent * scale : edit.height * 0.8f;
    const float descent = font->descent ? font->descent * scale : edit.height * 0.2f;
    const float step = ascent + descent + font->leading * scale + edit.leading;
    const float left = b.xMin + gutter + edit.leftMargin, right = b.xMax - gutter - edit.rightMargin;
    const bool wrap = (edit.flags & kEditWordWrap) != 0;
    float baseline = b.yMin + gutter + ascent;
    auto advance = [&](int g) -> float {
      if (g >= 0 && static_cast<uint32_t>(g) < font->advances.GetSize()) return font->advances[g] * scale;
      return edit.height * 0.5f;
    };
    // Glyphs from..to make a line: on its baseline, moved as aligned.
    auto endLine = [&](uint32_t from, uint32_t to) {
      const float width = to > from ? m_layout[to - 1].x + advance(m_layout[to - 1].index) - left : 0;
      const float room = right - left - width;
      const int32_t shift = static_cast<int32_t>(edit.align == 1 ? room : edit.align == 2 ? room / 2 : 0);
      for (uint32_t i = from; i < to; ++i) {
        m_layout[i].x += shift;
        m_layout[i].y = static_cast<int32_t>(baseline);
      }
      baseline += step;
    };
    m_layout.SetSize(0);
    uint32_t lineStart = 0, wordStart = 0;
    float x = left + edit.indent, wordX = x;
    for (const char* c = text; *c; ++c) {
      if (*c == '\n') {
        endLine(lineStart, m_layout.GetSize());
        lineStart = wordStart = m_layout.GetSize();
        x = wordX = left + edit.indent;
        continue;
      }
      const int g = FindGlyph(*font, static_cast<unsigned char>(*c));
      const float w = *c == ' ' && g < 0 ? edit.height * 0.25f : advance(g);
      if (*c == ' ') {
        x += w;
        wordStart = m_layout.GetSize();
        wordX = x;
        continue;
      }
      if (wrap && x + w > right && m_layout.GetSize() > lineStart) {
        // The word goes down to the next line whole, unless it fills a
        // line of its own: then it breaks here.
        const uint32_t split = wordStart > lineStart ? wordStart : m_layout.GetSize();
        const float from = wordStart > lineStart ? wordX : x;
        endLine(lineStart, split);
        for (uint32_t i = split; i < m_layout.GetSize(); ++i)
          m_layout[i].x -= static_cast<int32_t>(from - left);
        x -= from - left;
        lineStart = wordStart = split;
        wordX = left;
      }
      if (g >= 0) {
        const MovieGlyph glyph = {static_cast<int32_t>(x), 0, edit.font, static_cast<uint16_t>(g),
                                  edit.height, edit.colour};
        if (!m_layout.Add(glyph)) break;
      }
      x += w;
    }
    endLine(lineStart, m_layout.GetSize());
    DrawGlyphs(*font, m_layout.Data(), static_cast<int>(m_layout.GetSize()), m);
    FillSolid(colour);
  } else if (m_movie.m_host && text[0]) {
    const float scale = sqrtf(fabsf(m.a * m.d - m.b * m.c));
    const int inset = static_cast<int>((gutter + edit.leftMargin) * scale + 0.5f);
    const int ox = field.x0 + inset, oy = field.y0 + static_cast<int>(gutter * scale + 0.5f);
    int w = field.x1 - static_cast<int>((gutter + edit.rightMargin) * scale + 0.5f) - ox;
    int h = field.y1 - oy;
    if (w > m_target.width) w = m_target.width;
    if (h > m_target.height) h = m_target.height;
    const int pixels = static_cast<int>(edit.height * scale + 0.5f);
    // The host's text is kept for the frames (and the changed boxes of a
    // frame) that show the same field at the same size again.
    TextCache* cached = nullptr;
    for (TextCache& c : m_textCache)
      if (c.edit == &edit && c.w == w && c.h == h && c.size == pixels) cached = &c;
    if (!cached && w > 0 && h > 0 && pixels > 0) {
      cached = &m_textCache[m_textNext];
      m_textNext = (m_textNext + 1) % 4;
      const size_t size = static_cast<size_t>(w) * h;
      cached->edit = &edit;
      cached->w = w;
      cached->h = h;
      cached->size = pixels;
      cached->coverage.SetSize(0);
      uint8_t* coverage = cached->coverage.Grow(static_cast<uint32_t>(size));
      cached->drawn = false;
      if (coverage) {
        memset(coverage, 0, size);
        MovieSystemText st;
        st.font = SystemFont(font);
        st.size = pixels;
        st.bold = font && font->bold;
        st.italic = font && font->italic;
        st.text = text;
        st.align = edit.align < 3 ? edit.align : 0;
        st.wrap = (edit.flags & kEditWordWrap) != 0;
        st.width = w;
        st.height = h;
        st.leading = static_cast<int>(edit.leading * scale);
        *m_raster.m_work += static_cast<uint32_t>(size);
        cached->drawn = m_movie.m_host->DrawSystemText(st, coverage);
      }
    }
    if (cached && cached->drawn) {
      MoviePaint paint;
      memset(&paint, 0, sizeof paint);
      paint.colour = colour;
      m_composite.m_paint = paint;
      const uint8_t* coverage = cached->coverage.Data();
      const int x0 = box.x0 > ox ? box.x0 : ox, x1 = box.x1 < ox + w ? box.x1 : ox + w;
      for (int y = box.y0 > oy ? box.y0 : oy; y < box.y1 && y < oy + h && x1 > x0; ++y)
        m_composite.Span(y, x0, x1 - x0, coverage + static_cast<size_t>(y - oy) * w + (x0 - ox));
    }
  }
  m_raster.SetClip(saved);
}
