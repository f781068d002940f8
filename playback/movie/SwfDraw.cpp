// Drawing a movie's current frame with GDI: each object's parts become a
// path (quadratic curves as the equivalent cubic Beziers) in device
// coordinates, filled with a brush or stroked with a pen. Colours go
// through the object's colour transform; GDI has no transparency, so a
// colour's alpha mixes it with the background colour instead.
//
// A part that reaches far outside the area is flattened and clipped to a
// band around it first: GDI (Wine's above all) spends time in proportion
// to a path's extent, and a damaged or odd movie may place a shape
// millions of pixels wide.
#include <math.h>

#include "framework/Gdi.h"
#include "playback/movie/SwfMovie.h"

namespace {

// Only clipped points reach GDI; the limit guards against NaN and the
// like all the same.
int ToDevice(float v) {
  if (!(v > -1e7f)) v = -1e7f;
  if (v > 1e7f) v = 1e7f;
  return static_cast<int>(v >= 0 ? v + 0.5f : v - 0.5f);
}

// Keeps the part of a closed outline on the inner side of one edge of the
// band (Sutherland-Hodgman): `axis` 0 is x, 1 is y; `keepBelow` keeps
// values <= limit, else >= limit. The points run from `in` to `out`.
void ClipOutline(const CSwfArray<SwfPointF>& in, CSwfArray<SwfPointF>& out, int axis, float limit,
                 bool keepBelow) {
  out.SetSize(0);
  const int n = in.GetSize();
  for (int i = 0; i < n; ++i) {
    const SwfPointF& a = in[i == 0 ? n - 1 : i - 1];
    const SwfPointF& b = in[i];
    const float va = axis ? a.y : a.x, vb = axis ? b.y : b.x;
    const bool aIn = keepBelow ? va <= limit : va >= limit;
    const bool bIn = keepBelow ? vb <= limit : vb >= limit;
    if (aIn != bIn) {
      const float t = (limit - va) / (vb - va);
      const SwfPointF cut = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      out.Add(cut);
    }
    if (bIn) out.Add(b);
  }
}

// The part of a segment inside the band (Liang-Barsky); false when none.
bool ClipSegment(SwfPointF& a, SwfPointF& b, const float band[4]) {
  float t0 = 0, t1 = 1;
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float p[4] = {-dx, dx, -dy, dy};
  const float q[4] = {a.x - band[0], band[2] - a.x, a.y - band[1], band[3] - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const float t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  const SwfPointF from = a;
  b = SwfPointF{from.x + dx * t1, from.y + dy * t1};
  a = SwfPointF{from.x + dx * t0, from.y + dy * t0};
  return true;
}

int Channel(uint32_t colour, int i) { return static_cast<int>((colour >> (8 * i)) & 0xFF); }

// The part's colour as drawn, or -1 when it is fully transparent.
long DrawnColour(uint32_t colour, const SwfColourTransform& t, COLORREF background) {
  int c[4];
  for (int i = 0; i < 4; ++i) {
    int v = Channel(colour, i) * t.mult[i] / 256 + t.add[i];
    c[i] = v < 0 ? 0 : v > 255 ? 255 : v;
  }
  if (c[3] == 0) return -1;
  for (int i = 0; i < 3; ++i)
    c[i] = (c[i] * c[3] + Channel(background, i) * (255 - c[3]) + 127) / 255;
  return static_cast<long>(RGB(c[0], c[1], c[2]));
}

}  // namespace

void CSwfMovie::Draw(HDC dc, const RECT& area) {
  CBrush back(m_background);
  ::FillRect(dc, &area, back);
  const float areaW = static_cast<float>(area.right - area.left);
  const float areaH = static_cast<float>(area.bottom - area.top);
  const float movieW = static_cast<float>(m_frame.right - m_frame.left);
  const float movieH = static_cast<float>(m_frame.bottom - m_frame.top);
  if (IsEmpty() || areaW <= 0 || areaH <= 0) return;
  const float scale = areaW / movieW < areaH / movieH ? areaW / movieW : areaH / movieH;
  const float originX = area.left + (areaW - movieW * scale) / 2 - m_frame.left * scale;
  const float originY = area.top + (areaH - movieH * scale) / 2 - m_frame.top * scale;
  // The band drawn unclipped: wide enough that neither a clipped edge nor
  // the widest pen's end at its border can show in the area.
  const float margin = 2 * (areaW + areaH) + 64;
  const float band[4] = {area.left - margin, area.top - margin, area.right + margin,
                         area.bottom + margin};
  const int savedFill = ::SetPolyFillMode(dc, ALTERNATE);
  for (int k = 0; k < m_display.GetSize(); ++k) {
    const SwfPlacement& item = m_display[k];
    if (item.clipDepth || item.shape < 0) continue;
    const SwfMatrix& m = item.matrix;
    const SwfMatrix v = {m.a * scale, m.b * scale, m.c * scale, m.d * scale,
                         m.tx * scale + originX, m.ty * scale + originY};
    const float lineScale = scale * static_cast<float>(sqrt(fabs(m.a * m.d - m.b * m.c)));
    const Shape& shape = m_shapes[item.shape];
    for (int p = shape.firstPart; p < shape.firstPart + shape.partCount; ++p) {
      const Part& part = m_parts[p];
      const long colour = DrawnColour(part.colour, item.colour, m_background);
      if (colour < 0) continue;
      if (!BuildPath(part, v, band)) continue;
      ::BeginPath(dc);
      ::PolyDraw(dc, m_points.Data(), m_types.Data(), m_points.GetSize());
      ::EndPath(dc);
      if (part.isLine) {
        const float width = part.width * lineScale;
        CPen pen(PS_SOLID, width < 1 ? 1 : width > margin ? ToDevice(margin) : ToDevice(width),
                 static_cast<COLORREF>(colour));
        CSelectObject use(dc, pen);
        ::StrokePath(dc);
      } else {
        CBrush brush(static_cast<COLORREF>(colour));
        CSelectObject use(dc, brush);
        ::FillPath(dc);
      }
    }
  }
  ::SetPolyFillMode(dc, savedFill);
}

// The part's outline in device coordinates into m_points and m_types, as
// it is when it lies within the band, else flattened and clipped to it;
// false when nothing of it is left to draw.
bool CSwfMovie::BuildPath(const Part& part, const SwfMatrix& v, const float band[4]) {
  m_points.SetSize(0);
  m_types.SetSize(0);
  const int first = part.firstSegment, end = part.firstSegment + part.segmentCount;
  bool inside = true;
  for (int s = first; s < end && inside; ++s) {
    const Segment& seg = m_segments[s];
    const float x = v.a * seg.x + v.c * seg.y + v.tx, y = v.b * seg.x + v.d * seg.y + v.ty;
    const float cx = v.a * seg.cx + v.c * seg.cy + v.tx, cy = v.b * seg.cx + v.d * seg.cy + v.ty;
    inside = x >= band[0] && x <= band[2] && y >= band[1] && y <= band[3] && cx >= band[0] &&
             cx <= band[2] && cy >= band[1] && cy <= band[3];
  }
  if (inside) {
    if (!m_points.Reserve(part.segmentCount * 3) || !m_types.Reserve(part.segmentCount * 3))
      return false;
    float lastX = 0, lastY = 0;
    for (int s = first; s < end; ++s) {
      const Segment& seg = m_segments[s];
      const float x = v.a * seg.x + v.c * seg.y + v.tx, y = v.b * seg.x + v.d * seg.y + v.ty;
      if (seg.kind == kSegCurve) {
        // The cubic with the quadratic's shape: both inner points two
        // thirds of the way from an end to the control point.
        const float cx = v.a * seg.cx + v.c * seg.cy + v.tx;
        const float cy = v.b * seg.cx + v.d * seg.cy + v.ty;
        const POINT bezier[3] = {
            {ToDevice(lastX + (cx - lastX) * 2 / 3), ToDevice(lastY + (cy - lastY) * 2 / 3)},
            {ToDevice(x + (cx - x) * 2 / 3), ToDevice(y + (cy - y) * 2 / 3)},
            {ToDevice(x), ToDevice(y)}};
        for (const POINT& pt : bezier) {
          m_points.Add(pt);
          m_types.Add(PT_BEZIERTO);
        }
      } else {
        m_points.Add(POINT{ToDevice(x), ToDevice(y)});
        m_types.Add(seg.kind == kSegMove ? PT_MOVETO : PT_LINETO);
      }
      lastX = x;
      lastY = y;
    }
    return m_points.GetSize() > 0;
  }
  // Device points with curves flattened, and where each run starts.
  m_outline.SetSize(0);
  m_starts.SetSize(0);
  SwfPointF last = {0, 0};
  for (int s = first; s < end; ++s) {
    const Segment& seg = m_segments[s];
    const SwfPointF to = {v.a * seg.x + v.c * seg.y + v.tx, v.b * seg.x + v.d * seg.y + v.ty};
    if (seg.kind == kSegMove) {
      if (!m_starts.Add(m_outline.GetSize())) return false;
    } else if (seg.kind == kSegCurve) {
      const SwfPointF c = {v.a * seg.cx + v.c * seg.cy + v.tx, v.b * seg.cx + v.d * seg.cy + v.ty};
      // About one piece per 8 pixels of the control polygon, 2 to 64.
      const float span = fabsf(c.x - last.x) + fabsf(c.y - last.y) + fabsf(to.x - c.x) + fabsf(to.y - c.y);
      const int pieces = span > 512 ? 64 : span < 16 ? 2 : static_cast<int>(span / 8);
      for (int i = 1; i < pieces; ++i) {
        const float t = static_cast<float>(i) / pieces, u = 1 - t;
        const SwfPointF q = {u * u * last.x + 2 * u * t * c.x + t * t * to.x,
                             u * u * last.y + 2 * u * t * c.y + t * t * to.y};
        if (!m_outline.Add(q)) return false;
      }
    }
    if (!m_outline.Add(to)) return false;
    last = to;
  }
  if (!m_starts.Add(m_outline.GetSize())) return false;
  for (int r = 0; r + 1 < m_starts.GetSize(); ++r) {
    const int from = m_starts[r], to = m_starts[r + 1];
    if (part.isLine) {
      // Each piece of the line on its own.
      for (int i = from + 1; i < to; ++i) {
        SwfPointF a = m_outline[i - 1], b = m_outline[i];
        if (!ClipSegment(a, b, band)) continue;
        const POINT pa = {ToDevice(a.x), ToDevice(a.y)}, pb = {ToDevice(b.x), ToDevice(b.y)};
        if (!m_points.Add(pa) || !m_types.Add(PT_MOVETO) || !m_points.Add(pb) ||
            !m_types.Add(PT_LINETO))
          return false;
      }
      continue;
    }
    // A closed outline, cut by each side of the band in turn.
    m_clipA.SetSize(0);
    for (int i = from; i < to; ++i)
      if (!m_clipA.Add(m_outline[i])) return false;
    ClipOutline(m_clipA, m_clipB, 0, band[0], false);
    ClipOutline(m_clipB, m_clipA, 0, band[2], true);
    ClipOutline(m_clipA, m_clipB, 1, band[1], false);
    ClipOutline(m_clipB, m_clipA, 1, band[3], true);
    for (int i = 0; i < m_clipA.GetSize(); ++i) {
      const POINT pt = {ToDevice(m_clipA[i].x), ToDevice(m_clipA[i].y)};
      if (!m_points.Add(pt) || !m_types.Add(i == 0 ? PT_MOVETO : PT_LINETO)) return false;
    }
  }
  return m_points.GetSize() > 0;
}
