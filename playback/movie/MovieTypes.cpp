// The budget's memory, the growable array, matrices and colour transforms.
#include "playback/movie/MovieTypes.h"

#include <stdlib.h>
#include <string.h>

bool MovieBudget::Take(size_t bytes) {
  if (bytes > memoryLimit - memoryUsed || memoryUsed > memoryLimit) {
    memoryCut = true;
    return false;
  }
  memoryUsed += bytes;
  if (memoryUsed > memoryPeak) memoryPeak = memoryUsed;
  return true;
}

void* MovieAlloc(MovieBudget* budget, size_t bytes) {
  if (budget && !budget->Take(bytes)) return nullptr;
  void* block = malloc(bytes ? bytes : 1);
  if (!block && budget) budget->Give(bytes);
  return block;
}

void* MovieCalloc(MovieBudget* budget, size_t bytes) {
  void* block = MovieAlloc(budget, bytes);
  if (block) memset(block, 0, bytes);
  return block;
}

void MovieFree(MovieBudget* budget, void* block, size_t bytes) {
  if (!block) return;
  free(block);
  if (budget) budget->Give(bytes);
}

bool CMovieBuffer::Reserve(uint32_t count) {
  if (count <= m_capacity) return true;
  uint64_t grown = m_capacity < 8 ? 8 : m_capacity;
  while (grown < count) grown *= 2;
  const uint64_t bytes = grown * m_itemSize;
  if (bytes > 0xFFFFFFFFu) return false;
  const size_t more = static_cast<size_t>(bytes) - static_cast<size_t>(m_capacity) * m_itemSize;
  if (m_budget && !m_budget->Take(more)) return false;
  void* data = realloc(m_data, static_cast<size_t>(bytes));
  if (!data) {
    if (m_budget) m_budget->Give(more);
    return false;
  }
  m_data = data;
  m_capacity = static_cast<uint32_t>(grown);
  return true;
}

void* CMovieBuffer::Append(uint32_t count) {
  if (count > 0xFFFFFFFFu - m_size || !Reserve(m_size + count)) return nullptr;
  void* slot = static_cast<char*>(m_data) + static_cast<size_t>(m_size) * m_itemSize;
  m_size += count;
  return slot;
}

void CMovieBuffer::Shrink() {
  if (m_size == m_capacity) return;
  if (m_size == 0) {
    Free();
    return;
  }
  void* data = realloc(m_data, static_cast<size_t>(m_size) * m_itemSize);
  if (!data) return;
  if (m_budget) m_budget->Give(static_cast<size_t>(m_capacity - m_size) * m_itemSize);
  m_data = data;
  m_capacity = m_size;
}

void CMovieBuffer::Free() {
  free(m_data);
  if (m_budget) m_budget->Give(static_cast<size_t>(m_capacity) * m_itemSize);
  m_data = nullptr;
  m_size = m_capacity = 0;
}

MovieMatrix MovieConcat(const MovieMatrix& m, const MovieMatrix& n) {
  MovieMatrix r;
  r.a = m.a * n.a + m.c * n.b;
  r.b = m.b * n.a + m.d * n.b;
  r.c = m.a * n.c + m.c * n.d;
  r.d = m.b * n.c + m.d * n.d;
  r.tx = m.a * n.tx + m.c * n.ty + m.tx;
  r.ty = m.b * n.tx + m.d * n.ty + m.ty;
  return r;
}

bool MovieInvert(const MovieMatrix& m, MovieMatrix* out) {
  const double det = static_cast<double>(m.a) * m.d - static_cast<double>(m.b) * m.c;
  if (!(det > 1e-12 || det < -1e-12)) return false;
  const double inv = 1.0 / det;
  out->a = static_cast<float>(m.d * inv);
  out->b = static_cast<float>(-m.b * inv);
  out->c = static_cast<float>(-m.c * inv);
  out->d = static_cast<float>(m.a * inv);
  out->tx = static_cast<float>((static_cast<double>(m.c) * m.ty - static_cast<double>(m.d) * m.tx) * inv);
  out->ty = static_cast<float>((static_cast<double>(m.b) * m.tx - static_cast<double>(m.a) * m.ty) * inv);
  return true;
}

namespace {

int32_t Clamp(int64_t v, int64_t low, int64_t high) {
  return static_cast<int32_t>(v < low ? low : v > high ? high : v);
}

}  // namespace

MovieColourTransform MovieConcat(const MovieColourTransform& outer,
                                 const MovieColourTransform& inner) {
  MovieColourTransform t;
  for (int i = 0; i < 4; ++i) {
    // outer(inner(v)) = v * mi * mo / 256^2 + ai * mo / 256 + ao
    t.mult[i] = Clamp(static_cast<int64_t>(inner.mult[i]) * outer.mult[i] / 256, -(1 << 20), 1 << 20);
    t.add[i] = Clamp(static_cast<int64_t>(inner.add[i]) * outer.mult[i] / 256 + outer.add[i],
                     -(1 << 20), 1 << 20);
  }
  return t;
}

bool MovieIsPlain(const MovieColourTransform& t) {
  for (int i = 0; i < 4; ++i)
    if (t.mult[i] != 256 || t.add[i] != 0) return false;
  return true;
}

MovieRgba MovieTransformColour(MovieRgba c, const MovieColourTransform& t) {
  MovieRgba out = 0;
  for (int i = 0; i < 4; ++i) {
    const int64_t v = static_cast<int64_t>(MovieChannel(c, i)) * t.mult[i] / 256 + t.add[i];
    out |= static_cast<MovieRgba>(Clamp(v, 0, 255)) << (8 * i);
  }
  return out;
}

uint32_t MoviePremultiply(MovieRgba c) {
  const uint32_t a = c >> 24;
  uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  if (a < 255) {
    r = (r * a + 127) / 255;
    g = (g * a + 127) / 255;
    b = (b * a + 127) / 255;
  }
  return b | g << 8 | r << 16 | a << 24;
}
