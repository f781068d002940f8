// Small vector movies (".swf") written by code for the tests: a header, a
// background colour, shapes made of fill and line styles with straight and
// curved edges, placements with matrices and colour transforms, moves,
// removals, frame actions that call FSCommand and frames; written plain
// ("FWS") or compressed ("CWS"). Tags with any body can be added as they
// are, so that tests can write damaged movies too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lwtest {

using SwfBytes = std::vector<uint8_t>;

// The fields of a placement's matrix: x' = scaleX x + rotate1 y + tx,
// y' = rotate0 x + scaleY y + ty (twips).
struct SwfPlace {
  double scaleX = 1, scaleY = 1, rotate0 = 0, rotate1 = 0;
  int tx = 0, ty = 0;
};
inline SwfPlace SwfAt(int tx, int ty) {
  SwfPlace p;
  p.tx = tx;
  p.ty = ty;
  return p;
}

// A colour transform: each channel (red, green, blue, alpha) times
// mult / 256 plus add.
struct SwfColourChange {
  int mult[4] = {256, 256, 256, 256};
  int add[4] = {0, 0, 0, 0};
};

// A gradient's stop: where (0 to 255) and its colour.
struct SwfStop {
  int ratio;
  COLORREF colour;
  uint8_t alpha = 255;
};

// The gradient square (-16384 to 16384 twips each way) laid over a box of
// a shape: the matrix that maps it onto x..x+w, y..y+h.
SwfPlace SwfGradientBox(int x, int y, int w, int h);

// A shape: style groups of fill and line styles, and the drawing records.
// Styles are numbered from 1 within their group; 0 is none.
class CSwfShape {
 public:
  int AddFill(COLORREF colour, uint8_t alpha = 255);
  // A linear gradient fill between two colours, the gradient square as it
  // is (32768 twips wide, centred on the shape's origin).
  int AddGradientFill(COLORREF from, COLORREF to);
  // A gradient: type 0x10 linear, 0x12 radial, 0x13 focal (focal point
  // -1..1); spread 0 pad, 1 reflect, 2 repeat; interpolation 1 in linear
  // light.
  int AddGradient(int type, const std::vector<SwfStop>& stops, const SwfPlace& matrix,
                  int spread = 0, int interpolation = 0, double focal = 0);
  // A bitmap fill: type 0x40 repeating, 0x41 clipped, 0x42 and 0x43 the
  // same without smoothing; the matrix maps the bitmap's pixels.
  int AddBitmapFill(int bitmapId, const SwfPlace& matrix = SwfPlace(), int type = 0x41);
  int AddLine(int widthTwips, COLORREF colour, uint8_t alpha = 255);
  // A line of the fourth kind of shape: caps 0 round, 1 none, 2 square;
  // joins 0 round, 1 bevel, 2 miter (with its limit).
  int AddLine2(int widthTwips, COLORREF colour, int startCap, int join, int endCap,
               double miterLimit = 3, bool noClose = false);
  // Starts a group of new styles (DefineShape2 and later): what follows
  // is drawn over what came before.
  void NewStyleGroup();

  // The pen's styles from here on: fill on the left of the edges (fill0),
  // on the right (fill1), and the line.
  void SetStyles(int fill0, int fill1, int line);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void CurveTo(int controlX, int controlY, int x, int y);
  // A closed rectangle, drawn clockwise on the screen with the fill on
  // its inside (fill1) and the line around it.
  void Rectangle(int x, int y, int w, int h, int fill, int line = 0);

  // The fill and line style counts written for the first group when not
  // -1 (damaged shapes).
  int fillCountOverride = -1;
  int lineCountOverride = -1;

  // The SHAPEWITHSTYLE record for DefineShape `version` (1 to 4); with
  // styles false, the SHAPE record alone (glyphs, morph shapes' edges).
  SwfBytes Encode(int version, bool styles = true) const;
  // A morph shape's fill and line styles: this shape's first group's at
  // the start, end's at the end (the same kinds in the same order).
  SwfBytes EncodeMorphStyles(const CSwfShape& end, int version) const;

 private:
  struct Style {
    int type;  // 0 solid, 0x10.. gradient, 0x40.. bitmap, -1 line, -2 line of the fourth kind
    COLORREF colour;
    uint8_t alpha;
    int width, bitmap;
    SwfPlace matrix;
    std::vector<SwfStop> stops;
    int spread, interpolation;
    double focal;
    int startCap, join, endCap;
    double miter;
    bool noClose;
  };
  struct Group {
    std::vector<Style> fills, lines;
  };
  struct Record {
    int kind;  // 0 style change, 1 straight, 2 curve, 3 new styles
    int fill0, fill1, line;
    bool move;
    int x, y, cx, cy;  // move: absolute; edges: deltas
    int group;
  };
  Group& Current();
  int AddFillStyle(const Style& style);
  std::vector<Group> m_groups;
  std::vector<Record> m_records;
  int m_x = 0, m_y = 0;
};

// A JPEG file's marker segments split in two, as DefineBits and JPEGTables
// hold them: the quantisation and Huffman tables, and the picture without
// them, each from its start marker to its end marker.
void SplitJpeg(const SwfBytes& jpeg, SwfBytes* tables, SwfBytes* picture);

// A run of glyphs of a static text: a glyph index and its advance each.
struct SwfTextRun {
  int font, height;
  COLORREF colour;
  int x, y;  // the first glyph's origin on the baseline (twips)
  std::vector<std::pair<int, int>> glyphs;
};

// An edit text: its box (twips), font (0: none) and size, colour, text
// and flags.
struct SwfEditText {
  int x0 = 0, x1 = 2000, y0 = 0, y1 = 600;
  int font = 0, height = 240;
  COLORREF colour = RGB(0, 0, 0);
  std::string text;
  bool outlines = false, html = false, wrap = false, multiline = false, border = false;
  int align = 0;  // 0 left, 1 right, 2 centre
};

// A part of a button: the states it shows in (1 up, 2 over, 4 down, 8
// hit), its character, depth, matrix and colour transform.
struct SwfButtonPart {
  int states, id, depth;
  SwfPlace place;
  SwfColourChange colour;
};

// Mono 16-bit samples as the movie format's ADPCM of `bits` (2 to 5) a
// code: the code size, then packets of 4,096 samples.
SwfBytes SwfAdpcm(const std::vector<int16_t>& samples, int bits = 4);

// A frame's actions, in order (the bytes of DoAction).
class CSwfActions {
 public:
  CSwfActions& Stop() { return Code(0x07); }
  CSwfActions& Play() { return Code(0x06); }
  CSwfActions& NextFrame() { return Code(0x04); }
  CSwfActions& PreviousFrame() { return Code(0x05); }
  // Frames from 0.
  CSwfActions& GotoFrame(int frame);
  CSwfActions& GotoLabel(const std::string& label);
  // A frame (from 1) pushed, then GotoFrame2 with or without play.
  CSwfActions& GotoPushedFrame(int frameFrom1, bool play);
  CSwfActions& FsCommand(const std::string& command, const std::string& args);
  // Any action; data only for codes from 0x80.
  CSwfActions& Code(int code, const SwfBytes& data = {});
  const SwfBytes& Bytes() const { return m_bytes; }

 private:
  SwfBytes m_bytes;
};

class CSwfWriter {
 public:
  // A movie of the size in twips at rate256 / 256 frames a second.
  CSwfWriter(int widthTwips, int heightTwips, int rate256 = 12 * 256, int version = 6);

  void SetBackground(COLORREF colour);
  // DefineShape (1), DefineShape2 (2), DefineShape3 (3) or DefineShape4 (4),
  // its bounds the movie's unless given (xmin, xmax, ymin, ymax).
  void DefineShape(int id, const CSwfShape& shape, int version = 1,
                   const std::vector<int>& bounds = {});
  // PlaceObject: a character at a depth, with an optional colour transform.
  void PlaceObject(int id, int depth, const SwfPlace& place, const SwfColourChange* colour = nullptr);
  // PlaceObject2 of a new character (id) or a move of what is at the depth
  // (id -1); a move with an id replaces the character. matrix and colour
  // may be null; clipDepth 0 is none; a morph's ratio 0 to 65535 (-1 none).
  void PlaceObject2(int depth, int id, bool move, const SwfPlace* place,
                    const SwfColourChange* colour = nullptr, int clipDepth = 0,
                    const char* name = nullptr, int ratio = -1);
  void MoveObject(int depth, const SwfPlace& place) { PlaceObject2(depth, -1, true, &place); }
  void RemoveObject(int id, int depth);
  void RemoveObject2(int depth);
  // A frame action that calls FSCommand(command, args).
  void FsCommand(const std::string& command, const std::string& args);
  void DoAction(const CSwfActions& actions);
  // A lossless bitmap of w x h pixels (0xAARRGGBB, rows top-down): the
  // second kind (version 2) keeps alpha. Format 3 through a colour map of
  // the pixels' colours (256 at most), 4 in 15 bits, 5 in 32.
  void DefineBitsLossless(int id, int w, int h, const std::vector<uint32_t>& pixels,
                          int version = 1, int format = 5);
  // A JPEG bitmap: DefineBits (code 6, the tables in JPEGTables), the
  // second kind (21) or the third (35) with an alpha plane of w x h bytes.
  void DefineBitsJpeg(int code, int id, const SwfBytes& jpeg, const SwfBytes& alpha = {});
  void JpegTables(const SwfBytes& tables);
  // Fonts of glyph shapes (drawn with fill 1 in their em square: 1024
  // units, 20 times that for the third kind). DefineFont and its
  // DefineFontInfo (8-bit codes), or DefineFont2 and 3 with codes,
  // advances and the font's ascent, descent and leading.
  void DefineFont(int id, const std::vector<CSwfShape>& glyphs);
  void DefineFontInfo(int id, const std::string& name, const std::vector<int>& codes);
  void DefineFont2(int id, int version, const std::string& name, const std::vector<CSwfShape>& glyphs,
                   const std::vector<int>& codes, const std::vector<int>& advances, int ascent,
                   int descent, int leading);
  // DefineText (1) or DefineText2 (2, colours with alpha) over the
  // movie's whole rectangle.
  void DefineText(int id, int version, const std::vector<SwfTextRun>& runs);
  void DefineEditText(int id, const SwfEditText& edit);
  // Sounds: the format byte is codec << 4 | rate << 2 | 16-bit << 1 |
  // stereo (codec 0 and 3 raw, 1 ADPCM, 2 MP3; rate 0 to 3 for 5.5 to
  // 44 kHz).
  void DefineSound(int id, int format, uint32_t samples, const SwfBytes& data);
  // StartSound with no options, or stopping the sound, or with loops.
  void StartSound(int id, bool stop = false, int loops = 1);
  void SoundStreamHead(int format, int samplesPerFrame);
  void SoundStreamBlock(const SwfBytes& data);
  // A morph shape from start to end: the same records (the end's moves
  // and edges only) and styles of the same kinds.
  void DefineMorphShape(int id, int version, const CSwfShape& start, const CSwfShape& end);
  // DefineButton (1) or DefineButton2 (2), without actions.
  void DefineButton(int id, int version, const std::vector<SwfButtonPart>& parts);
  void FrameLabel(const std::string& label);
  // A sprite whose timeline is the tags and frames of another writer's.
  void DefineSprite(int id, const CSwfWriter& timeline);
  void ShowFrame();
  // Any tag; longForm writes the 32-bit length even for short bodies;
  // declaredLength, when not -1, is the length written in its place.
  void Tag(int code, const SwfBytes& body, bool longForm = false, int64_t declaredLength = -1);
  // Bytes as they are, after the tags so far (tags written elsewhere).
  void Raw(const SwfBytes& bytes);
  // The tags so far, without header or End tag.
  const SwfBytes& Tags() const { return m_tags; }

  // The header's frame count (the ShowFrame tags unless set) and file
  // length (the real one unless set).
  int frameCountOverride = -1;
  int64_t fileLengthOverride = -1;

  // The whole movie with an End tag, plain or compressed.
  SwfBytes Fws() const;
  SwfBytes Cws() const;

 private:
  SwfBytes Body() const;
  int m_width, m_height, m_rate256, m_version;
  int m_frames = 0;
  SwfBytes m_tags;
};

}  // namespace lwtest
