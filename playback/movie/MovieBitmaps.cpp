// Bitmaps: the tags are kept as their bytes and decoded when the movie is
// read: JPEG pictures without alpha into the reader's own pixels, the rest
// into premultiplied 32-bit pixels. JPEG pictures (with the movie's
// tables for DefineBits, and an alpha plane through zlib for the third
// kind) go through the image library's JPEG reader; their marker segments
// are put in one stream first, dropping the empty blocks and stray
// end-and-start pairs that writers leave before the picture. Lossless
// bitmaps are inflated: colour-mapped, 15-bit or 32-bit.
#include <zlib.h>

#include "playback/movie/MovieDefs.h"
#include "playback/movie/MovieJpeg.h"

namespace {

enum { kDefineBits = 6, kLossless = 20, kJpeg2 = 21, kJpeg3 = 35, kLossless2 = 36 };

uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  if (a < 255) {
    r = (r * a + 127) / 255;
    g = (g * a + 127) / 255;
    b = (b * a + 127) / 255;
  }
  return b | g << 8 | r << 16 | a << 24;
}

// Appends the marker segments of one JPEG block to `out` up to its scan,
// leaving out start and end markers; from the scan on, the rest as it is.
// Returns whether the scan was reached.
bool AppendSegments(const uint8_t* p, uint32_t n, CMovieArray<uint8_t>* out, bool* ok) {
  uint32_t i = 0;
  while (i + 1 < n) {
    if (p[i] != 0xFF) return false;
    const uint8_t m = p[i + 1];
    if (m == 0xFF) {
      ++i;  // fill
      continue;
    }
    if (m == 0xD8 || m == 0xD9 || (m >= 0xD0 && m <= 0xD7) || m == 0x01) {
      i += 2;
      continue;
    }
    const uint32_t at = i;
    if (m == 0xDA) {
      uint8_t* slot = out->Grow(n - at);
      if (!slot) *ok = false;
      else memcpy(slot, p + at, n - at);
      return true;
    }
    if (i + 3 >= n) return false;
    const uint32_t length = static_cast<uint32_t>(p[i + 2]) << 8 | p[i + 3];
    if (length < 2 || length > n - i - 2) return false;
    i += 2 + length;
    uint8_t* slot = out->Grow(i - at);
    if (!slot) {
      *ok = false;
      return false;
    }
    memcpy(slot, p + at, i - at);
  }
  return false;
}

// The size in the stream's frame header.
bool JpegSize(const uint8_t* p, uint32_t n, int* w, int* h) {
  for (uint32_t i = 2; i + 8 < n;) {
    if (p[i] != 0xFF) return false;
    const uint8_t m = p[i + 1];
    const uint32_t length = static_cast<uint32_t>(p[i + 2]) << 8 | p[i + 3];
    if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
      *h = p[i + 5] << 8 | p[i + 6];
      *w = p[i + 7] << 8 | p[i + 8];
      return *w > 0 && *h > 0;
    }
    if (m == 0xDA) return false;
    i += 2 + length;
  }
  return false;
}

bool Inflate(const uint8_t* in, uint32_t inSize, uint8_t* out, uint32_t outSize) {
  uLongf got = outSize;
  const int rc = uncompress(out, &got, in, inSize);
  // A stream that ends early leaves the rest as it was (zeros).
  return rc == Z_OK || ((rc == Z_BUF_ERROR || rc == Z_DATA_ERROR) && got > 0);
}

bool DecodeJpeg(MovieBitmap* b, const uint8_t* tables, uint32_t tablesSize, MovieBudget* budget) {
  const uint8_t* data = b->data;
  uint32_t size = b->size, alphaAt = 0;
  if (b->tag == kJpeg3) {
    if (size < 4) return false;
    const uint32_t offset = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
    data += 4;
    size -= 4;
    if (offset > size) return false;
    alphaAt = offset;
    size = offset;
  }
  CMovieArray<uint8_t> stream;
  stream.SetBudget(budget);
  bool ok = stream.Add(0xFF) && stream.Add(0xD8);
  if (ok && b->tag == kDefineBits && tables) AppendSegments(tables, tablesSize, &stream, &ok);
  if (!ok || !AppendSegments(data, size, &stream, &ok) || !ok) return false;
  int w = 0, h = 0;
  if (!JpegSize(stream.Data(), stream.GetSize(), &w, &h)) return false;
  // The reader's picture (and the bitmap's pixels, with alpha) at once.
  const size_t pixels = static_cast<size_t>(w) * h;
  if (!budget->Take(pixels * 7)) return false;
  budget->Give(pixels * 7);
  int gotW = 0, gotH = 0;
  uint8_t* rgb = DecodeMovieJpeg(stream.Data(), stream.GetSize(), &gotW, &gotH);
  stream.Free();
  if (!rgb) return false;
  if (gotW != w || gotH != h) {
    FreeMovieJpeg(rgb);
    return false;
  }
  if (b->tag != kJpeg3 || b->size - 4 <= alphaAt) {
    // Opaque: the reader's pixels are kept as they are.
    if (!budget->Take(pixels * 3)) {
      FreeMovieJpeg(rgb);
      return false;
    }
    b->width = w;
    b->height = h;
    b->rgb = rgb;
    return true;
  }
  uint32_t* out = static_cast<uint32_t*>(MovieAlloc(budget, pixels * 4));
  uint8_t* alpha = out ? static_cast<uint8_t*>(MovieCalloc(budget, pixels)) : nullptr;
  if (alpha && !Inflate(b->data + 4 + alphaAt, b->size - 4 - alphaAt, alpha, static_cast<uint32_t>(pixels))) {
    MovieFree(budget, alpha, pixels);
    alpha = nullptr;
  }
  if (out) {
    for (size_t i = 0; i < pixels; ++i)
      out[i] = Premultiplied(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], alpha ? alpha[i] : 255);
  }
  if (alpha) MovieFree(budget, alpha, pixels);
  FreeMovieJpeg(rgb);
  if (!out) return false;
  b->width = w;
  b->height = h;
  b->pixels = out;
  return true;
}

bool DecodeLossless(MovieBitmap* b, MovieBudget* budget) {
  CMovieBits r(b->data, b->data + b->size);
  const int format = r.U8();
  const int w = r.U16(), h = r.U16();
  const uint32_t colours = format == 3 ? r.U8() + 1u : 0;
  const bool alpha = b->tag == kLossless2;
  if (r.Bad() || w == 0 || h == 0 || (format != 3 && format != 4 && format != 5)) return false;
  const uint32_t rowBytes = format == 3 ? (w + 3u) & ~3u : format == 4 ? (2u * w + 3u) & ~3u : 4u * w;
  const uint32_t entry = alpha ? 4 : 3;
  const uint64_t rawSize = static_cast<uint64_t>(rowBytes) * h + colours * entry;
  const size_t pixels = static_cast<size_t>(w) * h;
  if (rawSize > 0xFFFFFFFFu || !budget->Take(rawSize)) return false;
  uint8_t* raw = static_cast<uint8_t*>(calloc(1, static_cast<size_t>(rawSize)));
  uint32_t* out = raw ? static_cast<uint32_t*>(MovieAlloc(budget, pixels * 4)) : nullptr;
  bool ok = out && Inflate(r.Pos(), r.Left(), raw, static_cast<uint32_t>(rawSize));
  if (ok) {
    uint32_t map[256];
    for (uint32_t i = 0; i < colours; ++i) {
      const uint8_t* c = raw + i * entry;
      map[i] = Premultiplied(c[0], c[1], c[2], alpha ? c[3] : 255);
    }
    const uint8_t* rows = raw + colours * entry;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = rows + static_cast<size_t>(y) * rowBytes;
      uint32_t* to = out + static_cast<size_t>(y) * w;
      for (int x = 0; x < w; ++x) {
        if (format == 3) {
          to[x] = row[x] < colours ? map[row[x]] : 0;
        } else if (format == 4) {
          const uint32_t v = static_cast<uint32_t>(row[2 * x]) << 8 | row[2 * x + 1];
          const uint32_t red = (v >> 10) & 31, green = (v >> 5) & 31, blue = v & 31;
          to[x] = Premultiplied(red << 3 | red >> 2, green << 3 | green >> 2, blue << 3 | blue >> 2, 255);
        } else {
          const uint8_t* p = row + 4 * x;
          // The second kind's pixels come premultiplied.
          const uint32_t a = alpha ? p[0] : 255;
          const uint32_t red = p[1] < a ? p[1] : a, green = p[2] < a ? p[2] : a, blue = p[3] < a ? p[3] : a;
          to[x] = blue | green << 8 | red << 16 | a << 24;
        }
      }
    }
  }
  free(raw);
  budget->Give(rawSize);
  if (!ok) {
    if (out) MovieFree(budget, out, pixels * 4);
    return false;
  }
  b->width = w;
  b->height = h;
  b->pixels = out;
  return true;
}

}  // namespace

MovieBitmap* ReadMovieBitmap(CMovieBits& r, int tag, MovieBudget* budget) {
  MovieBitmap* b = NewMovieDef<MovieBitmap>(budget, kDefBitmap);
  if (!b) return nullptr;
  b->tag = static_cast<uint8_t>(tag);
  b->data = r.Pos();
  b->size = r.Left();
  return b;
}

bool DecodeMovieBitmap(MovieBitmap* b, const uint8_t* tables, uint32_t tablesSize,
                       MovieBudget* budget) {
  if (b->state) return b->state == 1;
  const bool ok = b->tag == kLossless || b->tag == kLossless2 ? DecodeLossless(b, budget)
                                                             : DecodeJpeg(b, tables, tablesSize, budget);
  // A bitmap that did not fit the budget is not tried again either.
  b->state = ok ? 1 : 2;
  return ok;
}
