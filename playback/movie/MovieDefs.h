// The characters a movie defines, as read from their tags: shapes and
// morph shapes (styles, edges and the paths they make), bitmaps (kept as
// their bytes until first drawn), fonts with their glyph shapes, static
// and edit texts, sprites (timelines of their own) and buttons. Each
// definition's memory counts against the movie's budget. The readers
// return null for a tag they cannot read or cannot afford.
#pragma once

#include <stdint.h>

#include <new>

#include "playback/movie/MovieBits.h"
#include "playback/movie/MovieTypes.h"

enum MovieDefKind : uint8_t {
  kDefShape = 1,
  kDefMorph,
  kDefBitmap,
  kDefFont,
  kDefText,
  kDefEditText,
  kDefSprite,
  kDefButton,
  kDefSound,
};

struct MovieDef {
  uint8_t kind;
};

// A fill style. Gradients: up to 15 stops of ratio (0..255) and colour
// over the gradient square (-16384..16384 before the matrix). Bitmaps:
// the matrix maps the bitmap's pixels into the shape.
struct MovieFill {
  uint8_t type;  // 0x00 solid; 0x10 linear, 0x12 radial, 0x13 focal; 0x40..0x43 bitmap
  uint8_t spread;     // 0 pad, 1 reflect, 2 repeat
  uint8_t linearRgb;  // interpolated in linear light
  uint8_t stops;
  uint16_t bitmap;  // the bitmap's character id
  int16_t focal;    // focal point, 8.8, -1..1 along the gradient's x axis
  MovieRgba colour;
  MovieMatrix matrix;
  uint8_t ratio[15];
  MovieRgba stop[15];
};

enum { kCapRound = 0, kCapNone = 1, kCapSquare = 2 };
enum { kJoinRound = 0, kJoinBevel = 1, kJoinMiter = 2 };

struct MovieLine {
  uint16_t width;  // twips
  uint8_t startCap, endCap, join;
  uint8_t noClose;  // closed paths get caps, not a join
  float miter;      // miter limit factor
  int32_t fill;     // the shape's fill the line is painted with, or -1: its colour
  MovieRgba colour;
};

// An edge to (x, y); a curve through the control point (cx, cy), a
// straight edge with the control point on (x, y). Twips.
struct MovieEdge {
  int32_t x, y, cx, cy;
};

// Edges drawn one after the other from (x, y) with one set of styles:
// fill0 on the left of the edges' direction, fill1 on the right, indexes
// into the shape's fills and lines counted from 1 (0: none).
struct MoviePath {
  int32_t x, y;
  uint32_t first, count;
  uint32_t fill0, fill1, line;
};

// The styles a shape's paths use up to its next new styles: what a later
// group draws comes over what an earlier one drew.
struct MovieStyleGroup {
  uint32_t firstFill, fillCount, firstLine, lineCount;
};

struct MovieShape : MovieDef {
  // What the edges reach (their ends' and control points' box), in twips;
  // not the rectangle the tag gives, which writers leave loose or wrong.
  MovieRect bounds;
  // How far the lines' outlines reach past the edges, in twips: half the
  // widest line, times what its joins and caps add.
  float lineReach;
  CMovieArray<MovieFill> fills;
  CMovieArray<MovieLine> lines;
  CMovieArray<MovieEdge> edges;
  CMovieArray<MoviePath> paths;
  CMovieArray<MovieStyleGroup> groups;
  // The paths of each fill and each line: fill i's are refs[refStart[i]]
  // up to refStart[i + 1], then line j's at refStart[fills + j]; each is
  // a path's index times 2, plus 1 when the fill lies on its left.
  CMovieArray<uint32_t> refs;
  CMovieArray<uint32_t> refStart;

  void SetBudget(MovieBudget* budget);
};

// Two shapes with edges in pairs and styles in pairs, drawn in between
// at a ratio (0: the start, 65535: the end).
struct MovieMorph : MovieDef {
  MovieRect bounds[2];
  // The start shape's paths and styles, with the fills and lines in
  // pairs: fills[2 i] and lines[2 i] at the start, [2 i + 1] at the end;
  // the paths' styles count pairs.
  MovieShape shape;
  // The end shape's edges, and where each of them starts.
  CMovieArray<MovieEdge> endEdges;
  CMovieArray<int32_t> endStarts;  // x, y of each end edge's start
};

struct MovieBitmap : MovieDef {
  uint8_t tag;       // the defining tag's code
  uint8_t state;     // 0 not decoded yet, 1 decoded, 2 failed
  const uint8_t* data;  // the tag's bytes after the id
  uint32_t size;
  int width, height;
  uint32_t* pixels;  // premultiplied, blue green red alpha; or
  uint8_t* rgb;      // an opaque JPEG picture as the reader gave it: red, green, blue
};

struct MovieFont : MovieDef {
  MovieShape glyphs;                  // every glyph's edges and paths
  CMovieArray<uint32_t> glyphPaths;   // glyph i: its paths from glyphPaths[i] to [i + 1]
  CMovieArray<uint16_t> codes;        // the character of each glyph
  CMovieArray<int16_t> advances;      // each glyph's advance (em units)
  uint32_t glyphCount;
  uint32_t em;  // the em square: 1024, or 20480 for the third kind
  int32_t ascent, descent, leading;
  uint8_t bold, italic;
  char name[64];
};

struct MovieGlyph {
  int32_t x, y;  // the glyph's origin in the text (twips)
  uint16_t font, index, height;
  MovieRgba colour;
};

struct MovieText : MovieDef {
  MovieRect bounds;
  MovieMatrix matrix;
  CMovieArray<MovieGlyph> glyphs;
};

enum {
  kEditWordWrap = 1,
  kEditMultiline = 2,
  kEditPassword = 4,
  kEditBorder = 8,
  kEditHtml = 16,
  kEditOutlines = 32,
  kEditHasFont = 64,
};

struct MovieEditText : MovieDef {
  MovieRect bounds;
  uint16_t flags;
  uint16_t font, height;
  MovieRgba colour;
  uint8_t align;  // 0 left, 1 right, 2 centre, 3 justified
  uint16_t leftMargin, rightMargin;
  int16_t indent, leading;
  CMovieArray<char> text;  // the initial text as shown: plain, '\n' between lines
};

// Samples as they play: 16-bit, the channels interleaved (free with free).
struct MoviePcm {
  int16_t* samples;
  uint32_t frames;  // samples of each channel
  int channels, rate;
};

// How a sound's samples are stored: the first byte of DefineSound's
// and SoundStreamHead's formats.
struct MovieSoundFormat {
  uint8_t codec;  // 0 and 3 raw, 1 ADPCM, 2 MP3; others are not played
  uint8_t rate;   // 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
  uint8_t is16, stereo;
};

struct MovieSound : MovieDef {
  MovieSoundFormat format;
  uint32_t samples;
  const uint8_t* data;
  uint32_t size;
  uint8_t state;  // 0 not decoded yet, 1 decoded, 2 failed
  MoviePcm pcm;
};

// The main timeline's stream sound: its blocks by frame, and once
// decoded, its samples and where each frame's start in them.
struct MovieStreamBlock {
  uint32_t frame;
  const uint8_t* data;
  uint32_t size;
};
struct MovieStream {
  MovieSoundFormat format;
  CMovieArray<MovieStreamBlock> blocks;
  CMovieArray<uint32_t> starts;
  uint8_t state;
  MoviePcm pcm;
};

struct MovieLabel {
  uint32_t frame;
  const char* name;
};

// A timeline: the tags of each frame, from frames[f] to frames[f + 1]
// (offsets from tags), and its labels.
struct MovieTimeline {
  const uint8_t* tags;
  CMovieArray<uint32_t> frames;
  CMovieArray<MovieLabel> labels;

  uint32_t FrameCount() const { return frames.GetSize() ? frames.GetSize() - 1 : 0; }
  void SetBudget(MovieBudget* budget);
};

struct MovieSprite : MovieDef {
  MovieTimeline timeline;
};

struct MovieButtonPart {
  uint16_t id, depth;
  MovieMatrix matrix;
  MovieColourTransform colour;
};

// What a button shows in its up state.
struct MovieButton : MovieDef {
  CMovieArray<MovieButtonPart> parts;
};

// A definition of the kind, zeroed, its memory from the budget; null when
// the budget or the heap says no.
template <class T>
T* NewMovieDef(MovieBudget* budget, MovieDefKind kind) {
  void* block = MovieCalloc(budget, sizeof(T));
  if (!block) return nullptr;
  T* def = new (block) T;
  def->kind = kind;
  return def;
}

// The readers of the defining tags. `r` spans the tag's body after the
// character id; `version` is the tag's own (DefineShape 1 to 4, and so on).
void ReadMovieRect(CMovieBits& r, MovieRect* rect);
MovieMatrix ReadMovieMatrix(CMovieBits& r);
MovieColourTransform ReadMovieColourTransform(CMovieBits& r, bool withAlpha);

MovieShape* ReadMovieShape(CMovieBits& r, int version, MovieBudget* budget);
MovieMorph* ReadMovieMorph(CMovieBits& r, int version, MovieBudget* budget);
MovieFont* ReadMovieFont(CMovieBits& r, int version, MovieBudget* budget);
// DefineFontInfo 1 or 2: the name, style and character codes of a font
// of the first kind.
void ReadMovieFontInfo(CMovieBits& r, int version, MovieFont* font);
MovieText* ReadMovieText(CMovieBits& r, int version, MovieBudget* budget);
MovieEditText* ReadMovieEditText(CMovieBits& r, MovieBudget* budget);
MovieBitmap* ReadMovieBitmap(CMovieBits& r, int tag, MovieBudget* budget);
MovieButton* ReadMovieButton(CMovieBits& r, int version, MovieBudget* budget);
MovieSound* ReadMovieSound(CMovieBits& r, MovieBudget* budget);
MovieSoundFormat ReadMovieSoundFormat(uint8_t byte);

// The glyph shapes' reader, shared by fonts: one SHAPE record (no styles;
// fill 1 is the text's colour) appended as paths of `shape`.
bool ReadMovieGlyph(CMovieBits& r, MovieShape* shape, uint32_t edgeLimit);

// Decodes a bitmap into premultiplied pixels; `tables` are the movie's
// JPEG tables (for DefineBits). False when it cannot be decoded or
// afforded.
bool DecodeMovieBitmap(MovieBitmap* bitmap, const uint8_t* tables, uint32_t tablesSize,
                       MovieBudget* budget);

void FreeMovieShape(MovieShape* shape);
void FreeMovieDef(MovieDef* def, MovieBudget* budget);
