// The renderer of a movie's frames: an anti-aliased rasteriser of our own
// that accumulates each fill's exact coverage per pixel (non-zero: a
// fill's edges are turned so that it lies on their right, lines become
// polygons of one turn), paints (solid colours, gradients through a table
// of 256 colours, bitmaps sampled with or without smoothing) composited
// with premultiplied alpha, and masks kept as coverage of their own.
#pragma once

#include <stdint.h>

#include "playback/movie/Movie.h"

// How the pixels of a fill get their colour.
struct MoviePaint {
  uint8_t kind;  // kPaint...
  uint8_t spread;
  uint8_t smooth, repeat;
  uint32_t colour;       // solid: premultiplied
  const uint32_t* lut;   // gradients: 256 premultiplied colours
  MovieMatrix inverse;   // from a pixel's centre into the gradient or the bitmap
  float focal;           // focal gradients: the focal point on the x axis, -1..1
  const MovieBitmap* bitmap;
  const MovieColourTransform* transform;  // bitmaps: applied per pixel, or null
};
enum { kPaintSolid, kPaintLinear, kPaintRadial, kPaintFocal, kPaintBitmap };

// Accumulates the coverage of edges in device pixels within a clip, then
// hands it to a sink row by row.
class CMovieRaster {
 public:
  ~CMovieRaster();
  // Buffers for a target of the size; false when there is no memory.
  bool Prepare(int width, int height);
  void SetClip(const MovieBox& clip) { m_clip = clip; }
  const MovieBox& GetClip() const { return m_clip; }
  // An edge from (x0, y0) to (x1, y1): what lies on its right is inside
  // when its direction is the fill's.
  void Line(float x0, float y0, float x1, float y1);
  // A quadratic curve, flattened within the clip.
  void Quad(float x0, float y0, float cx, float cy, float x1, float y1, int depth = 0);
  // The coverage of each row touched (0 to 255, non-zero, capped at one
  // turn), handed to the sink (none: thrown away) and cleared.
  struct Sink {
    virtual void Span(int y, int x, int n, const uint8_t* cover) = 0;
  };
  void Sweep(Sink* sink);
  bool Touched() const { return m_yMax >= m_yMin; }

  uint32_t* m_work = nullptr;  // the frame's work count

 private:
  void Cells(float x0, float y0, float x1, float y1, float dir);

  MovieBox m_clip = {0, 0, 0, 0};
  int m_width = 0, m_height = 0;
  float* m_acc = nullptr;  // (width + 2) by height
  int* m_rowMin = nullptr;
  int* m_rowMax = nullptr;
  uint8_t* m_cover = nullptr;
  int m_yMin = 0x7FFFFFFF, m_yMax = -1;
};

// Composites a paint under coverage into the target, or (building a mask)
// adds the coverage to a mask.
class CMovieComposite : public CMovieRaster::Sink {
 public:
  void Span(int y, int x, int n, const uint8_t* cover) override;

  uint32_t* m_pixels = nullptr;
  int m_stride = 0;
  const uint8_t* m_mask = nullptr;  // the coverage of the masks in force, or null
  uint8_t* m_maskOut = nullptr;     // building a mask: its coverage
  MovieBox* m_maskBox = nullptr;    // and what it touched
  int m_maskStride = 0;
  MoviePaint m_paint;
  uint32_t m_row[4096];  // a span's colours
  uint8_t m_masked[4096];
};

// n pixels of one colour.
void FillMoviePixels(uint32_t* pixels, int n, uint32_t colour);

// Prepares a paint for a fill under a device matrix and a colour
// transform; false when it draws nothing. The gradient's table goes into
// lut.
bool SetMoviePaint(MoviePaint* paint, const MovieFill& fill, const MovieMatrix& m,
                   const MovieColourTransform& cx, CMovie& movie, uint32_t* lut);

class CMovieRenderer {
 public:
  explicit CMovieRenderer(CMovie& movie) : m_movie(movie) {}
  ~CMovieRenderer();
  // Draws the frame over the whole target, or (changes) only where it
  // differs from the frame this drew last into the same target: drawn
  // gets the rectangles drawn.
  bool Draw(const MovieTarget& target, bool changes, CMovieArray<MovieBox>* drawn);

 private:
  // What the frame shows, for finding what changed: each thing drawn
  // (a hash of what it is, where, how and at which depths) and its box.
  struct Item {
    uint64_t key;
    MovieBox box;
  };
  void Collect(const MovieListNode* root, const MovieMatrix& m, const MovieColourTransform& cx,
               uint64_t path);
  void Mark(const MovieBox& box);
  // The pixels a rectangle reaches through the matrix, with `reach` more
  // on every side.
  MovieBox DeviceBox(const MovieRect& bounds, const MovieMatrix& m, float reach = 0) const;

  struct Mask {
    uint8_t* coverage;
    MovieBox box;    // what the mask covers, within the clip it was made in
    MovieBox saved;  // that clip
    uint16_t clipDepth;
  };
  bool DrawList(const MovieListNode* root, const MovieMatrix& m, const MovieColourTransform& cx);
  void DrawObject(const MovieObject* obj, const MovieMatrix& m, const MovieColourTransform& cx);
  void DrawShape(const MovieShape& shape, const MovieFill* fills, const MovieLine* lines,
                 const MovieEdge* edges, const MovieMorph* morph, const MovieMatrix& m,
                 const MovieColourTransform& cx);
  void DrawMorph(const MovieMorph& morph, uint16_t ratio, const MovieMatrix& m,
                 const MovieColourTransform& cx);
  void AddPath(const MoviePath& path, const MovieEdge* edges, int32_t x, int32_t y,
               const MovieMatrix& m, bool reverse);
  void Stroke(const MovieShape& shape, uint32_t list, const MovieLine& line, const MovieEdge* edges,
              const MovieMorph* morph, const MovieMatrix& m);
  void StrokePolyline(const float* points, int count, bool closed, const MovieLine& line, float r);
  void Polygon(const float* points, int count);
  void DrawText(const MovieText& text, const MovieMatrix& m, const MovieColourTransform& cx);
  void DrawEditText(const MovieEditText& edit, const MovieMatrix& m, const MovieColourTransform& cx);
  void DrawGlyphs(const MovieFont& font, const MovieGlyph* glyphs, int count, const MovieMatrix& m);
  void FillSolid(uint32_t colour);
  void Composite(const MoviePaint& paint);
  bool Cut();
  bool Visible(const MovieRect& bounds, const MovieMatrix& m, float margin) const;

  CMovie& m_movie;
  MovieTarget m_target = {nullptr, 0, 0, 0};
  CMovieRaster m_raster;
  CMovieComposite m_composite;
  MovieBudget* m_budget = nullptr;
  bool m_cut = false;
  bool m_maskMode = false;
  uint32_t m_checked = 0;  // the work when the host was last asked
  Mask m_masks[8];
  int m_maskCount = 0;
  uint8_t* m_maskBuffers[9] = {};
  int m_maskW = 0, m_maskH = 0;
  // The things of the frame being drawn and of the one drawn before.
  CMovieArray<Item> m_items[2];
  int m_current = 0;
  bool m_previousValid = false;
  uint32_t m_previousBackground = 0;
  int m_previousW = 0, m_previousH = 0;
  CMovieArray<uint8_t> m_tiles;  // 32-pixel tiles that changed
  uint32_t m_lut[256];
  CMovieArray<float> m_points;
  CMovieArray<float> m_polygon;
  CMovieArray<MovieEdge> m_morphEdges;
  CMovieArray<int32_t> m_morphStarts;
  CMovieArray<MovieFill> m_morphFills;
  CMovieArray<MovieLine> m_morphLines;
  CMovieArray<MovieGlyph> m_layout;
  // System text drawn for edit texts, by field and size.
  struct TextCache {
    const MovieEditText* edit = nullptr;
    int w = 0, h = 0, size = 0;
    bool drawn = false;
    CMovieArray<uint8_t> coverage;
  };
  TextCache m_textCache[4];
  int m_textNext = 0;
};

void DeleteMovieRenderer(CMovieRenderer* renderer);
