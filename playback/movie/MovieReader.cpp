// Reading a movie: the header (inflated first for "CWS"), the tag records
// of the main timeline and of each sprite (the tags of every frame and the
// frame labels), and the definitions, kept by character id. Frames are
// applied from their tags as they play (MovieClips.cpp); drawing is in
// MovieRender.cpp, reading from a file with the control.
#include <zlib.h>

#include "playback/movie/Movie.h"
#include "playback/movie/MovieJpeg.h"
#include "playback/movie/MovieRender.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Up to `length` bytes inflated from the data, as far as the stream goes
// whole; null when nothing came out. The buffer grows as the stream
// yields, so a false length in a header costs no more memory than the
// stream holds.
uint8_t* Inflate(const uint8_t* in, uint32_t inLength, uint32_t length, uint32_t* got) {
  z_stream z;
  memset(&z, 0, sizeof z);
  if (length == 0 || inflateInit(&z) != Z_OK) return nullptr;
  uint32_t capacity = inLength < (length >> 2) ? inLength * 4u : length;
  if (capacity < 65536u) capacity = length < 65536u ? length : 65536u;
  uint8_t* out = static_cast<uint8_t*>(malloc(capacity));
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = inLength;
  while (out && z.total_out < length) {
    z.next_out = out + z.total_out;
    z.avail_out = capacity - static_cast<uint32_t>(z.total_out);
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (z.total_out == length || rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR)) break;
    if (z.avail_out == 0) {
      const uint32_t grown = capacity > length / 2 ? length : capacity * 2;
      uint8_t* bigger = static_cast<uint8_t*>(realloc(out, grown));
      if (!bigger) break;
      out = bigger;
      capacity = grown;
    } else if (rc == Z_BUF_ERROR) {
      break;  // no input left
    }
  }
  *got = static_cast<uint32_t>(z.total_out);
  inflateEnd(&z);
  if (out && *got == 0) {
    free(out);
    out = nullptr;
  }
  return out;
}

// The tags a definition reader is chosen by, with the version it reads.
struct DefineTag {
  uint8_t code, kind, version;
};
const DefineTag kDefineTags[] = {
    {2, kDefShape, 1},   {22, kDefShape, 2},  {32, kDefShape, 3},     {83, kDefShape, 4},
    {46, kDefMorph, 1},  {84, kDefMorph, 2},  {6, kDefBitmap, 0},     {21, kDefBitmap, 0},
    {35, kDefBitmap, 0}, {20, kDefBitmap, 0}, {36, kDefBitmap, 0},    {10, kDefFont, 1},
    {48, kDefFont, 2},   {75, kDefFont, 3},   {11, kDefText, 1},      {33, kDefText, 2},
    {37, kDefEditText, 0}, {7, kDefButton, 1}, {34, kDefButton, 2},   {39, kDefSprite, 0},
    {14, kDefSound, 0},
};

}  // namespace

CMovie::CMovie() {
  memset(m_pages, 0, sizeof m_pages);
  m_main.SetBudget(&m_budget);
  m_stream.blocks.SetBudget(&m_budget);
  m_stream.starts.SetBudget(&m_budget);
  memset(&m_stream.format, 0, sizeof m_stream.format);
  memset(&m_stream.pcm, 0, sizeof m_stream.pcm);
  m_stream.state = 0;
  memset(&m_root, 0, sizeof m_root);
  m_root.timeline = &m_main;
}

CMovie::~CMovie() { Clear(); }

void CMovie::Clear() {
  ClearList(&m_root);
  m_root.frame = 0;
  m_root.playing = 0;
  for (MovieDef**& page : m_pages) {
    if (!page) continue;
    for (int i = 0; i < 256; ++i)
      if (page[i]) FreeMovieDef(page[i], &m_budget);
    MovieFree(&m_budget, page, 256 * sizeof(MovieDef*));
    page = nullptr;
  }
  m_main.frames.Free();
  m_main.labels.Free();
  StopSounds();
  m_stream.blocks.Free();
  m_stream.starts.Free();
  if (m_stream.pcm.samples) {
    m_budget.Give(static_cast<size_t>(m_stream.pcm.frames) * m_stream.pcm.channels * 2);
    free(m_stream.pcm.samples);
  }
  memset(&m_stream.pcm, 0, sizeof m_stream.pcm);
  m_stream.state = 0;
  m_hasStream = m_sounds = false;
  m_main.tags = nullptr;
  DeleteMovieRenderer(m_renderer);
  m_renderer = nullptr;
  MovieFree(&m_budget, m_bytes, m_size);
  m_bytes = nullptr;
  m_size = 0;
  m_version = 0;
  m_frame = MovieRect{0, 0, 0, 0};
  m_rate256 = 0;
  m_background = 0xFFFFFF;
  m_tables = nullptr;
  m_tablesSize = 0;
  m_step = 0;
  // The limits stay as the owner set them; what was used is given back.
  MovieBudget fresh;
  fresh.memoryLimit = m_budget.memoryLimit;
  fresh.frameWorkLimit = m_budget.frameWorkLimit;
  fresh.stepTagLimit = m_budget.stepTagLimit;
  m_budget = fresh;
}

const MovieDef* CMovie::GetDef(uint16_t id) const {
  MovieDef* const* page = m_pages[id >> 8];
  return page ? page[id & 255] : nullptr;
}

void CMovie::SetDef(uint16_t id, MovieDef* def) {
  MovieDef**& page = m_pages[id >> 8];
  if (!page) page = static_cast<MovieDef**>(MovieCalloc(&m_budget, 256 * sizeof(MovieDef*)));
  if (page)
    page[id & 255] = def;
  else
    FreeMovieDef(def, &m_budget);
}

bool CMovie::Load(const uint8_t* bytes, uint32_t size) {
  uint8_t* copy = bytes && size ? static_cast<uint8_t*>(malloc(size)) : nullptr;
  if (copy) memcpy(copy, bytes, size);
  return LoadOwned(copy, copy ? size : 0);
}

bool CMovie::LoadOwned(uint8_t* bytes, uint32_t size) {
  Clear();
  if (!bytes || size < 8 || size > kMovieMaxBytes || bytes[1] != 'W' || bytes[2] != 'S' ||
      (bytes[0] != 'F' && bytes[0] != 'C') || Le32(bytes + 4) < 8) {
    free(bytes);
    return false;
  }
  uint32_t length = Le32(bytes + 4) - 8;
  if (length > kMovieMaxBytes) length = kMovieMaxBytes;
  m_version = bytes[3];
  const bool plain = bytes[0] == 'F';
  if (plain) {
    // A plain movie plays what it holds, whatever its header claims.
    m_bytes = bytes;
    m_size = size;
    if (length > size - 8) length = size - 8;
  } else {
    uint32_t got = 0;
    m_bytes = Inflate(bytes + 8, size - 8, length, &got);
    free(bytes);
    m_size = m_bytes ? got : 0;
    length = m_size;
  }
  if (m_bytes && !m_budget.Take(m_size)) {
    free(m_bytes);
    m_bytes = nullptr;
  }
  if (!m_bytes || !ReadBody(plain ? m_bytes + 8 : m_bytes, length)) {
    Clear();
    return false;
  }
  // Bitmaps are decoded now, so that no frame waits for one.
  for (MovieDef** page : m_pages) {
    for (int i = 0; page && i < 256; ++i)
      if (page[i] && page[i]->kind == kDefBitmap)
        DecodeMovieBitmap(static_cast<MovieBitmap*>(page[i]), m_tables, m_tablesSize, &m_budget);
  }
  Rewind();
  return true;
}

bool CMovie::ReadBody(const uint8_t* body, uint32_t size) {
  CMovieBits r(body, body + size);
  ReadMovieRect(r, &m_frame);
  m_rate256 = r.U16();
  r.U16();  // the header's frame count: the ShowFrame tags decide
  if (r.Bad() || m_frame.xMax <= m_frame.xMin || m_frame.yMax <= m_frame.yMin) return false;
  ReadTags(r.Pos(), body + size, &m_main, true);
  return m_main.FrameCount() > 0;
}

// The tags of a timeline, up to End, the end of the bytes or a tag that
// runs past them. Returns false when reading had to stop early.
bool CMovie::ReadTags(const uint8_t* p, const uint8_t* end, MovieTimeline* t, bool main) {
  t->tags = p;
  if (!t->frames.Add(0)) return false;
  const uint8_t* start = p;
  while (end - p >= 2) {
    const uint16_t head = static_cast<uint16_t>(p[0] | p[1] << 8);
    p += 2;
    const int code = head >> 6;
    uint32_t length = head & 0x3F;
    if (length == 0x3F) {
      if (end - p < 4) return false;
      length = Le32(p);
      p += 4;
    }
    if (length > static_cast<uint32_t>(end - p)) return false;
    const uint8_t* body = p;
    p += length;
    switch (code) {
      case 0:  // End
        return true;
      case 1:  // ShowFrame
        if (!t->frames.Add(static_cast<uint32_t>(p - start))) return false;
        break;
      case 43: {  // FrameLabel
        if (!memchr(body, 0, length)) break;
        const MovieLabel label = {t->FrameCount(), reinterpret_cast<const char*>(body)};
        if (!t->labels.Add(label)) return false;
        break;
      }
      case 18:  // SoundStreamHead
      case 45:  // SoundStreamHead2
        if (main && length >= 2 && !m_hasStream) {
          m_hasStream = m_sounds = true;
          m_stream.format = ReadMovieSoundFormat(body[1]);
        }
        break;
      case 19:  // SoundStreamBlock
        if (main && m_hasStream) {
          const MovieStreamBlock block = {t->FrameCount(), body, length};
          if (!m_stream.blocks.Add(block)) return false;
        }
        break;
      case 8:  // JPEGTables
        if (main && !m_tables) {
          m_tables = body;
          m_tablesSize = length;
        }
        break;
      case 13:  // DefineFontInfo
      case 62: {
        if (!main || length < 2) break;
        MovieDef* font = const_cast<MovieDef*>(GetDef(static_cast<uint16_t>(body[0] | body[1] << 8)));
        CMovieBits r(body + 2, body + length);
        if (font && font->kind == kDefFont)
          ReadMovieFontInfo(r, code == 13 ? 1 : 2, static_cast<MovieFont*>(font));
        break;
      }
      default:
        if (main && !Define(code, body, length) && m_budget.memoryCut) return false;
        break;
    }
  }
  return true;
}

// A defining tag: its character, unless the id has one already (writers
// define some again, even in every frame: the first one stays). False
// when the definition could not be read.
bool CMovie::Define(int code, const uint8_t* p, uint32_t length) {
  const DefineTag* tag = nullptr;
  for (const DefineTag& t : kDefineTags)
    if (t.code == code) tag = &t;
  if (!tag) return true;
  if (length < 2) return false;
  const uint16_t id = static_cast<uint16_t>(p[0] | p[1] << 8);
  if (GetDef(id)) return true;
  CMovieBits r(p + 2, p + length);
  MovieDef* def = nullptr;
  switch (tag->kind) {
    case kDefShape:
      def = ReadMovieShape(r, tag->version, &m_budget);
      break;
    case kDefMorph:
      def = ReadMovieMorph(r, tag->version, &m_budget);
      break;
    case kDefBitmap:
      def = ReadMovieBitmap(r, code, &m_budget);
      break;
    case kDefFont:
      def = ReadMovieFont(r, tag->version, &m_budget);
      break;
    case kDefText:
      def = ReadMovieText(r, tag->version, &m_budget);
      break;
    case kDefEditText:
      def = ReadMovieEditText(r, &m_budget);
      break;
    case kDefButton:
      def = ReadMovieButton(r, tag->version, &m_budget);
      break;
    case kDefSound:
      def = ReadMovieSound(r, &m_budget);
      m_sounds = m_sounds || def;
      break;
    case kDefSprite: {
      MovieSprite* sprite = NewMovieDef<MovieSprite>(&m_budget, kDefSprite);
      if (!sprite) return false;
      sprite->timeline.SetBudget(&m_budget);
      r.U16();  // the header's frame count
      // A sprite cut short keeps its frames before the damage.
      if (!ReadTags(r.Pos(), r.End(), &sprite->timeline, false) && m_budget.memoryCut) {
        FreeMovieDef(sprite, &m_budget);
        return false;
      }
      sprite->timeline.frames.Shrink();
      def = sprite;
      break;
    }
    default:
      break;
  }
  if (!def) return false;
  SetDef(id, def);
  return true;
}

namespace {

// Steps over a list of filters (their settings are not drawn).
void SkipFilters(CMovieBits& r) {
  const uint32_t count = r.U8();
  for (uint32_t i = 0; i < count && !r.Bad(); ++i) {
    const uint8_t id = r.U8();
    static const uint8_t kSizes[] = {23, 9, 15, 27, 0, 0, 80, 0};
    if (id > 7) {
      r.MarkBad();
    } else if (id == 4 || id == 7) {  // gradient glow and bevel: colours, ratios, settings
      const uint32_t colours = r.U8();
      r.Skip(colours * 5 + 19);
    } else if (id == 5) {  // convolution: a matrix of floats
      const uint32_t x = r.U8(), y = r.U8();
      r.Skip(8 + x * y * 4 + 5);
    } else {
      r.Skip(kSizes[id]);
    }
  }
}

}  // namespace

MovieButton* ReadMovieButton(CMovieBits& r, int version, MovieBudget* budget) {
  MovieButton* button = NewMovieDef<MovieButton>(budget, kDefButton);
  if (!button) return nullptr;
  button->parts.SetBudget(budget);
  if (version == 2) {
    r.U8();   // tracked as a menu
    r.U16();  // where its actions start
  }
  for (;;) {
    const uint8_t flags = r.U8();
    if (flags == 0 || r.Bad()) break;
    MovieButtonPart part;
    part.id = r.U16();
    part.depth = r.U16();
    part.matrix = ReadMovieMatrix(r);
    part.colour = version == 2 ? ReadMovieColourTransform(r, true) : kMovieNoColourChange;
    if (version == 2 && (flags & 0x10)) SkipFilters(r);
    if (version == 2 && (flags & 0x20)) r.U8();  // blend mode: drawn normally
    if (r.Bad()) break;
    if ((flags & 1) && !button->parts.Add(part)) {
      FreeMovieDef(button, budget);
      return nullptr;
    }
  }
  button->parts.Shrink();
  return button;
}

void MovieTimeline::SetBudget(MovieBudget* budget) {
  frames.SetBudget(budget);
  labels.SetBudget(budget);
}

void FreeMovieDef(MovieDef* def, MovieBudget* budget) {
  size_t size = 0;
  switch (def->kind) {
    case kDefShape:
      FreeMovieShape(static_cast<MovieShape*>(def));
      static_cast<MovieShape*>(def)->~MovieShape();
      size = sizeof(MovieShape);
      break;
    case kDefMorph: {
      MovieMorph* morph = static_cast<MovieMorph*>(def);
      FreeMovieShape(&morph->shape);
      morph->endEdges.Free();
      morph->endStarts.Free();
      morph->~MovieMorph();
      size = sizeof(MovieMorph);
      break;
    }
    case kDefBitmap: {
      MovieBitmap* b = static_cast<MovieBitmap*>(def);
      if (b->pixels) MovieFree(budget, b->pixels, static_cast<size_t>(b->width) * b->height * 4);
      if (b->rgb) {
        FreeMovieJpeg(b->rgb);
        budget->Give(static_cast<size_t>(b->width) * b->height * 3);
      }
      size = sizeof(MovieBitmap);
      break;
    }
    case kDefFont: {
      MovieFont* font = static_cast<MovieFont*>(def);
      FreeMovieShape(&font->glyphs);
      font->glyphPaths.Free();
      font->codes.Free();
      font->advances.Free();
      font->~MovieFont();
      size = sizeof(MovieFont);
      break;
    }
    case kDefText:
      static_cast<MovieText*>(def)->glyphs.Free();
      static_cast<MovieText*>(def)->~MovieText();
      size = sizeof(MovieText);
      break;
    case kDefEditText:
      static_cast<MovieEditText*>(def)->text.Free();
      static_cast<MovieEditText*>(def)->~MovieEditText();
      size = sizeof(MovieEditText);
      break;
    case kDefSprite: {
      MovieSprite* sprite = static_cast<MovieSprite*>(def);
      sprite->timeline.frames.Free();
      sprite->timeline.labels.Free();
      sprite->~MovieSprite();
      size = sizeof(MovieSprite);
      break;
    }
    case kDefSound: {
      MoviePcm& pcm = static_cast<MovieSound*>(def)->pcm;
      if (pcm.samples) budget->Give(static_cast<size_t>(pcm.frames) * pcm.channels * 2);
      free(pcm.samples);
      size = sizeof(MovieSound);
      break;
    }
    case kDefButton:
      static_cast<MovieButton*>(def)->parts.Free();
      static_cast<MovieButton*>(def)->~MovieButton();
      size = sizeof(MovieButton);
      break;
    default:
      break;
  }
  MovieFree(budget, def, size);
}
