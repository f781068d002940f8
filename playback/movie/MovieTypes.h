// What every part of the movie code shares: rectangles, matrices and colour
// transforms as the movie file gives them, colours, the budget a movie
// is played within, and a growable array whose memory counts against that
// budget. Plain C++ over the basic types, so that the reader and the
// renderer build on any host (the fuzz target builds them natively).
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// The memory a movie may take: its bytes, what is read from them, decoded
// pictures and the objects it shows. Reading stops where a movie would go
// beyond it; a picture or an object beyond it is left out.
const size_t kMovieMemoryBudget = size_t(192) << 20;
// The work of one frame, in units of about a pixel or a cell of an edge
// each: a frame that needs more is cut where it stands.
const uint32_t kMovieFrameWork = 48u << 20;
// The display-list changes of one frame applied in one step of the
// timelines; what comes after them in that step is skipped.
const uint32_t kMovieStepTags = 1u << 18;
// The edges of one shape; a longer shape is refused.
const uint32_t kMovieShapeEdges = 1u << 21;

struct MovieBudget {
  size_t memoryLimit = kMovieMemoryBudget;
  size_t memoryUsed = 0;
  size_t memoryPeak = 0;
  // Set once something was left out for want of memory.
  bool memoryCut = false;
  // The work of the frame being drawn and of the step being taken.
  uint32_t frameWork = 0;
  uint32_t frameWorkLimit = kMovieFrameWork;
  uint32_t stepTags = 0;
  uint32_t stepTagLimit = kMovieStepTags;
  // Set when the last frame drawn or the last step was cut.
  bool frameCut = false;
  bool stepCut = false;

  // Memory for `bytes` more; false (and memoryCut) when it would not fit.
  bool Take(size_t bytes);
  void Give(size_t bytes) { memoryUsed = bytes > memoryUsed ? 0 : memoryUsed - bytes; }
};

// malloc and free with the budget kept; null when the budget or the heap
// says no.
void* MovieAlloc(MovieBudget* budget, size_t bytes);
void* MovieCalloc(MovieBudget* budget, size_t bytes);
void MovieFree(MovieBudget* budget, void* block, size_t bytes);

struct MovieRect {
  int32_t xMin, xMax, yMin, yMax;
};

// x' = a x + c y + tx, y' = b x + d y + ty.
struct MovieMatrix {
  float a, b, c, d, tx, ty;
};
const MovieMatrix kMovieIdentity = {1, 0, 0, 1, 0, 0};

// m x n: n applied first.
MovieMatrix MovieConcat(const MovieMatrix& m, const MovieMatrix& n);
// The inverse, or false when the matrix is singular.
bool MovieInvert(const MovieMatrix& m, MovieMatrix* out);

// Each channel (red, green, blue, alpha): value * mult / 256 + add, kept
// within 0..255.
struct MovieColourTransform {
  int32_t mult[4];
  int32_t add[4];
};
const MovieColourTransform kMovieNoColourChange = {{256, 256, 256, 256}, {0, 0, 0, 0}};

// outer applied to what inner gives.
MovieColourTransform MovieConcat(const MovieColourTransform& outer,
                                 const MovieColourTransform& inner);
bool MovieIsPlain(const MovieColourTransform& t);

// A colour as the file gives it: red, green, blue, alpha from the low
// byte up, not premultiplied.
typedef uint32_t MovieRgba;
inline int MovieChannel(MovieRgba c, int i) { return static_cast<int>((c >> (8 * i)) & 0xFF); }
MovieRgba MovieTransformColour(MovieRgba c, const MovieColourTransform& t);
// A pixel as drawn: blue, green, red, alpha from the low byte up, its
// colours premultiplied by its alpha.
uint32_t MoviePremultiply(MovieRgba c);

// A growable array of plain values (moved with memcpy) whose memory counts
// against a budget. Add and Append fail, leaving the array as it was,
// when the budget or the heap says no.
class CMovieBuffer {
 public:
  CMovieBuffer(int itemSize) : m_itemSize(itemSize) {}
  ~CMovieBuffer() { Free(); }
  CMovieBuffer(const CMovieBuffer&) = delete;
  CMovieBuffer& operator=(const CMovieBuffer&) = delete;

  void SetBudget(MovieBudget* budget) { m_budget = budget; }
  uint32_t GetSize() const { return m_size; }
  bool Reserve(uint32_t count);
  // `count` more items, left as they were; null when there is no room.
  void* Append(uint32_t count);
  void SetSize(uint32_t size) { m_size = size; }  // never above the reserve
  // Gives back the room beyond the size.
  void Shrink();
  void Free();

 protected:
  void* m_data = nullptr;
  uint32_t m_size = 0;
  uint32_t m_capacity = 0;
  uint32_t m_itemSize;
  MovieBudget* m_budget = nullptr;
};

template <class T>
class CMovieArray : public CMovieBuffer {
 public:
  CMovieArray() : CMovieBuffer(sizeof(T)) {}
  T& operator[](uint32_t i) { return static_cast<T*>(m_data)[i]; }
  const T& operator[](uint32_t i) const { return static_cast<const T*>(m_data)[i]; }
  T* Data() { return static_cast<T*>(m_data); }
  const T* Data() const { return static_cast<const T*>(m_data); }
  T* Grow(uint32_t count) { return static_cast<T*>(Append(count)); }
  bool Add(const T& item) {
    T* slot = Grow(1);
    if (slot) *slot = item;
    return slot != nullptr;
  }
};
