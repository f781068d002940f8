// A vector movie file (".swf") read whole into memory and played frame by
// frame: the header (the frame rectangle, rate and count), the shapes it
// defines and, for every frame, the changes to its display list (objects
// placed, moved and removed, the background colour). The movie control
// keeps one CSwfMovie and draws its current frame with GDI paths.
//
// Reading is strict: the header, every tag record and every tag the movie
// is drawn from must lie within the data, with counts that fit what is
// left, or the movie is empty (no frames). Other tags are skipped by their
// length. A "CWS" movie is inflated first, never beyond the length its
// header gives nor beyond kSwfMaxBytes.
#pragma once

#include <windows.h>

#include <stdint.h>

// The frame size in pixels of a movie's header ("FWS" as is, "CWS" through
// inflate): from byte 8, a 5-bit field width n and the four n-bit values
// Xmin, Xmax, Ymin, Ymax, most significant bit first and not sign
// extended, as ((Xmax - Xmin) / 20, (Ymax - Ymin) / 20). (0, 0) when the
// bytes hold no such header.
SIZE ReadSwfFrameSize(const uint8_t* bytes, uint32_t size);

// The largest movie read, compressed or not.
const uint32_t kSwfMaxBytes = 128u << 20;

// A growable array of plain values (moved with memcpy); Add and Grow fail,
// leaving the array as it was, when memory runs out or the array would
// hold more than 2^28 items.
class CSwfBuffer {
 public:
  explicit CSwfBuffer(int itemSize) : m_itemSize(itemSize) {}
  ~CSwfBuffer();
  CSwfBuffer(const CSwfBuffer&) = delete;
  CSwfBuffer& operator=(const CSwfBuffer&) = delete;

  int GetSize() const { return m_size; }
  // Room for `count` items in all; the size does not change.
  bool Reserve(int count);
  // Appends `count` items left uninitialised; null when there is no room.
  void* Append(int count);
  // Makes room for one item at `index` (moving the rest up); null when
  // there is no room.
  void* InsertAt(int index);
  void RemoveAt(int index);
  void SetSize(int size) { m_size = size; }  // never above the reserve
  void Free();

 protected:
  void* m_data = nullptr;
  int m_size = 0;
  int m_capacity = 0;
  int m_itemSize;
};

template <class T>
class CSwfArray : public CSwfBuffer {
 public:
  CSwfArray() : CSwfBuffer(sizeof(T)) {}
  T& operator[](int i) { return static_cast<T*>(m_data)[i]; }
  const T& operator[](int i) const { return static_cast<const T*>(m_data)[i]; }
  T* Data() { return static_cast<T*>(m_data); }
  bool Add(const T& item) {
    T* slot = static_cast<T*>(Append(1));
    if (slot) *slot = item;
    return slot != nullptr;
  }
  bool Insert(int index, const T& item) {
    T* slot = static_cast<T*>(InsertAt(index));
    if (slot) *slot = item;
    return slot != nullptr;
  }
};

// x' = a x + c y + tx, y' = b x + d y + ty (twips).
struct SwfMatrix {
  float a, b, c, d, tx, ty;
};

// Each channel: value * mult / 256 + add, kept within 0..255 (red, green,
// blue, alpha).
struct SwfColourTransform {
  int16_t mult[4];
  int16_t add[4];
};

// A point in device coordinates before rounding.
struct SwfPointF {
  float x, y;
};

// One object of the display list.
struct SwfPlacement {
  uint16_t depth;
  uint16_t character;  // the id the movie placed
  int shape;           // the defined shape drawn, or -1 (not a shape)
  uint16_t clipDepth;  // nonzero: a mask, which is not drawn
  SwfMatrix matrix;
  SwfColourTransform colour;
};

class CSwfMovie {
 public:
  CSwfMovie();
  ~CSwfMovie();
  CSwfMovie(const CSwfMovie&) = delete;
  CSwfMovie& operator=(const CSwfMovie&) = delete;

  // Reads a movie from memory (the bytes are not kept) and shows its first
  // frame; false, with the movie empty, when the bytes are not a
  // well-formed movie.
  bool Load(const uint8_t* bytes, uint32_t size);
  // The same for a file, read whole and closed again (defined with the
  // control, which reads its movies from files).
  bool LoadFile(const char* path);
  void Clear();

  bool IsEmpty() const { return m_frameCount == 0; }
  int GetVersion() const { return m_version; }
  // The frame rectangle in twips.
  const RECT& GetFrameRect() const { return m_frame; }
  // Frames per second times 256, as the header gives it.
  int GetFrameRate256() const { return m_rate256; }
  // The number of frames the movie shows (its ShowFrame tags).
  int GetFrameCount() const { return m_frameCount; }
  int GetCurrentFrame() const { return m_current; }
  // Shows frame `frame` (0 to count - 1): the display list and background
  // become those of that frame.
  void GotoFrame(int frame);

  COLORREF GetBackground() const { return m_background; }
  int GetDisplayCount() const { return m_display.GetSize(); }
  // The objects by depth, lowest (drawn first) first.
  const SwfPlacement& GetDisplayItem(int i) const { return m_display[i]; }
  int GetShapeCount() const { return m_shapes.GetSize(); }

  // The FSCommand calls of a frame's actions, in order: false when there
  // is no call `index`.
  bool GetFrameCommand(int frame, int index, const char** command, const char** args) const;

  // Draws the current frame into `area` of the DC: the background over
  // the whole area, then the display list, the movie's rectangle scaled to
  // fit the area with its aspect kept and centred in it.
  void Draw(HDC dc, const RECT& area);

  // What drawing is made of; public for the reader's helpers.
  struct Segment {
    int32_t x, y;    // the end point
    int32_t cx, cy;  // the control point of a curve
    uint8_t kind;    // kSegMove, kSegLine or kSegCurve
  };
  struct Part {
    uint32_t colour;  // red, green, blue, alpha from the low byte up
    uint16_t width;   // line width in twips; fills: 0
    uint8_t isLine;
    int firstSegment;
    int segmentCount;
  };
  struct Shape {
    uint16_t id;
    int firstPart;
    int partCount;
  };
  struct Op {
    uint8_t kind;   // kOp...
    uint8_t flags;  // kPlace...
    uint16_t depth;
    uint16_t character;
    uint16_t clipDepth;
    int shape;
    uint32_t value;  // background colour; FSCommand: command offset in the strings
    uint32_t value2;  // FSCommand: arguments offset
    SwfMatrix matrix;
    SwfColourTransform colour;
  };
  enum { kSegMove, kSegLine, kSegCurve };
  enum { kOpBackground, kOpPlace, kOpRemove, kOpCommand };
  enum { kPlaceMove = 1, kPlaceCharacter = 2, kPlaceMatrix = 4, kPlaceColour = 8, kPlaceClip = 16 };

 private:
  friend class CSwfReader;
  bool BuildPath(const Part& part, const SwfMatrix& v, const float band[4]);
  void ApplyFrame(int frame);
  void ResetDisplay();
  int FindDepth(uint16_t depth, bool* found) const;

  int m_version = 0;
  RECT m_frame = {};
  int m_rate256 = 0;
  int m_frameCount = 0;
  int m_current = 0;
  COLORREF m_background = RGB(255, 255, 255);

  CSwfArray<Segment> m_segments;
  CSwfArray<Part> m_parts;
  CSwfArray<Shape> m_shapes;
  CSwfArray<Op> m_ops;
  CSwfArray<int> m_frameStarts;  // first op of each frame, and one past the last
  CSwfArray<char> m_strings;
  CSwfArray<SwfPlacement> m_display;
  // Drawing's scratch space.
  CSwfArray<POINT> m_points;
  CSwfArray<BYTE> m_types;
  CSwfArray<SwfPointF> m_outline, m_clipA, m_clipB;
  CSwfArray<int> m_starts;
};
