// Reading fonts and texts: the three kinds of font (glyph shapes through
// an offset table, character codes, advances and the em square), the font
// information that names a font of the first kind and gives its codes,
// static texts as glyphs placed with their font, height and colour, and
// edit texts with their initial text, made plain (markup taken out,
// entities read, line breaks as '\n').

#include "playback/movie/MovieDefs.h"

namespace {

void CopyName(char* out, const uint8_t* name, uint32_t length) {
  if (length > 63) length = 63;
  memcpy(out, name, length);
  out[length] = 0;  // some writers count a closing zero in the length
}

// Whether p starts with the lower-case word w, in either case.
bool StartsWith(const char* p, const char* w) {
  for (; *w; ++p, ++w)
    if ((*p | 0x20) != *w) return false;
  return true;
}

// The glyphs between the offsets (from `table`): each glyph's records
// between its offset and the next one's (the last's up to `last`).
bool ReadGlyphs(MovieFont* font, const uint8_t* table, const uint8_t* end, const uint32_t* offsets,
                uint32_t count, uint32_t last, MovieBudget* budget) {
  if (!font->glyphPaths.Grow(count + 1)) return false;
  const uint32_t span = static_cast<uint32_t>(end - table);
  for (uint32_t i = 0; i < count; ++i) {
    font->glyphPaths[i] = font->glyphs.paths.GetSize();
    const uint32_t from = offsets[i], to = i + 1 < count ? offsets[i + 1] : last;
    if (from >= to || to > span) continue;  // an empty or damaged glyph draws nothing
    CMovieBits g(table + from, table + to);
    const uint32_t paths = font->glyphs.paths.GetSize(), edges = font->glyphs.edges.GetSize();
    if (!ReadMovieGlyph(g, &font->glyphs, kMovieShapeEdges)) {
      if (budget->memoryCut || font->glyphs.edges.GetSize() >= kMovieShapeEdges) return false;
      font->glyphs.paths.SetSize(paths);  // a damaged glyph draws nothing
      font->glyphs.edges.SetSize(edges);
    }
  }
  font->glyphPaths[count] = font->glyphs.paths.GetSize();
  return true;
}

// An HTML entity at p (after '&'): the character, and how far it goes.
char Entity(const char* p, size_t* used) {
  static const struct {
    const char* name;
    char c;
  } kEntities[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'},
                   {"apos;", '\''}, {"nbsp;", ' '}};
  for (const auto& e : kEntities) {
    const size_t n = strlen(e.name);
    if (strncmp(p, e.name, n) == 0) {
      *used = n;
      return e.c;
    }
  }
  if (p[0] == '#') {
    unsigned v = 0;
    size_t i = 1;
    const bool hex = p[1] == 'x' || p[1] == 'X';
    if (hex) ++i;
    for (; p[i] && p[i] != ';' && i < 10; ++i) {
      const char c = p[i];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
      if (digit < 0) break;
      v = v * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    }
    if (p[i] == ';') {
      *used = i + 1;
      return v > 0 && v < 256 ? static_cast<char>(v) : '?';
    }
  }
  *used = 0;
  return '&';
}

// The text as shown: markup out (paragraphs and breaks as new lines),
// "\r\n" and '\r' as '\n', a password's characters as '*'.
bool PlainText(const char* in, bool html, bool password, CMovieArray<char>* out) {
  for (const char* p = in; *p;) {
    char c = *p++;
    if (html && c == '<') {
      const char* close = strchr(p, '>');
      if (!close) break;
      const bool lineBreak = (StartsWith(p, "br") && (p[2] == '>' || p[2] == '/' || p[2] == ' ')) ||
                             StartsWith(p, "/p>");
      p = close + 1;
      if (!lineBreak) continue;
      c = '\n';
    } else if (html && c == '&') {
      size_t used = 0;
      c = Entity(p, &used);
      p += used;
    } else if (c == '\r') {
      if (*p == '\n') ++p;
      c = '\n';
    }
    if (password && c != '\n') c = '*';
    if (!out->Add(c)) return false;
  }
  // A closing paragraph leaves no empty line behind.
  if (out->GetSize() && (*out)[out->GetSize() - 1] == '\n' && html) out->SetSize(out->GetSize() - 1);
  return out->Add(0);
}

}  // namespace

MovieFont* ReadMovieFont(CMovieBits& r, int version, MovieBudget* budget) {
  MovieFont* font = NewMovieDef<MovieFont>(budget, kDefFont);
  if (!font) return nullptr;
  font->glyphs.SetBudget(budget);
  font->glyphPaths.SetBudget(budget);
  font->codes.SetBudget(budget);
  font->advances.SetBudget(budget);
  font->em = version == 3 ? 20480 : 1024;
  bool ok = true;
  uint32_t offsets[1];
  if (version == 1) {
    // The offsets' table: its first entry tells how many there are.
    const uint8_t* table = r.Pos();
    const uint32_t left = r.Left();
    const uint32_t count = left >= 2 ? (table[0] | table[1] << 8) / 2u : 0;
    CMovieArray<uint32_t> at;
    at.SetBudget(budget);
    ok = count * 2 <= left && (count == 0 || at.Grow(count));
    for (uint32_t i = 0; ok && i < count; ++i) at[i] = table[2 * i] | table[2 * i + 1] << 8;
    font->glyphCount = count;
    ok = ok && ReadGlyphs(font, table, r.End(), count ? at.Data() : offsets, count, left, budget);
  } else {
    const uint8_t flags = r.U8();
    const bool wideOffsets = flags & 8, wideCodes = flags & 4, layout = flags & 0x80;
    font->italic = (flags & 2) != 0;
    font->bold = (flags & 1) != 0;
    r.U8();  // language
    const uint32_t nameLength = r.U8();
    const uint8_t* name = r.Pos();
    r.Skip(nameLength);
    if (!r.Bad()) CopyName(font->name, name, nameLength);
    const uint32_t count = r.U16();
    const uint8_t* table = r.Pos();
    const uint32_t width = wideOffsets ? 4 : 2;
    CMovieArray<uint32_t> at;
    at.SetBudget(budget);
    ok = !r.Bad() && count <= r.Left() / width && (count == 0 || at.Grow(count));
    for (uint32_t i = 0; ok && i < count; ++i) at[i] = wideOffsets ? r.U32() : r.U16();
    // A font without glyphs may leave out the code table's offset.
    const uint32_t codeOffset = r.Left() >= width ? (wideOffsets ? r.U32() : r.U16()) : 0;
    font->glyphCount = count;
    ok = ok && !r.Bad() &&
         ReadGlyphs(font, table, r.End(), count ? at.Data() : offsets, count, codeOffset, budget);
    if (ok && count) {
      CMovieBits codes(table + (codeOffset < static_cast<uint32_t>(r.End() - table) ? codeOffset : 0),
                       r.End());
      if (codeOffset >= static_cast<uint32_t>(r.End() - table)) codes.MarkBad();
      ok = font->codes.Grow(count) != nullptr;
      for (uint32_t i = 0; ok && i < count; ++i)
        font->codes[i] = wideCodes ? codes.U16() : codes.U8();
      if (ok && layout && !codes.Bad()) {
        font->ascent = codes.S16();
        font->descent = codes.S16();
        font->leading = codes.S16();
        ok = font->advances.Grow(count) != nullptr;
        for (uint32_t i = 0; ok && i < count; ++i) font->advances[i] = codes.S16();
        if (codes.Bad()) font->advances.Free();  // kept only whole
      }
    }
  }
  if (!ok) {
    FreeMovieDef(font, budget);
    return nullptr;
  }
  font->glyphs.edges.Shrink();
  font->glyphs.paths.Shrink();
  return font;
}

void ReadMovieFontInfo(CMovieBits& r, int version, MovieFont* font) {
  const uint32_t nameLength = r.U8();
  const uint8_t* name = r.Pos();
  r.Skip(nameLength);
  const uint8_t flags = r.U8();
  if (version == 2) r.U8();  // language
  if (r.Bad()) return;
  CopyName(font->name, name, nameLength);
  font->italic = (flags & 4) != 0;
  font->bold = (flags & 2) != 0;
  const bool wide = version == 2 || (flags & 1);
  if (font->codes.GetSize() == 0 && font->glyphCount && !font->codes.Grow(font->glyphCount)) return;
  for (uint32_t i = 0; i < font->glyphCount; ++i) font->codes[i] = wide ? r.U16() : r.U8();
}

MovieText* ReadMovieText(CMovieBits& r, int version, MovieBudget* budget) {
  MovieText* text = NewMovieDef<MovieText>(budget, kDefText);
  if (!text) return nullptr;
  text->glyphs.SetBudget(budget);
  ReadMovieRect(r, &text->bounds);
  text->matrix = ReadMovieMatrix(r);
  const int glyphBits = r.U8(), advanceBits = r.U8();
  MovieGlyph pen = {0, 0, 0, 0, 0, 0xFF000000u};
  bool ok = !r.Bad();
  while (ok) {
    r.Align();
    const uint8_t flags = r.U8();
    if (flags == 0 || r.Bad()) break;
    if (flags & 8) pen.font = r.U16();
    if (flags & 4) {
      const uint32_t red = r.U8(), green = r.U8(), blue = r.U8();
      const uint32_t alpha = version == 2 ? r.U8() : 255;
      pen.colour = red | green << 8 | blue << 16 | alpha << 24;
    }
    if (flags & 1) pen.x = r.S16();
    if (flags & 2) pen.y = r.S16();
    if (flags & 8) pen.height = r.U16();
    const uint32_t count = r.U8();
    for (uint32_t i = 0; ok && i < count; ++i) {
      pen.index = static_cast<uint16_t>(r.UB(glyphBits));
      const int32_t advance = r.SB(advanceBits);
      ok = !r.Bad() && text->glyphs.Add(pen);
      pen.x = static_cast<int32_t>(static_cast<uint32_t>(pen.x) + static_cast<uint32_t>(advance));
    }
  }
  // A text cut short keeps the glyphs read whole.
  if (!ok && (text->glyphs.GetSize() == 0 || budget->memoryCut)) {
    FreeMovieDef(text, budget);
    return nullptr;
  }
  text->glyphs.Shrink();
  return text;
}

MovieEditText* ReadMovieEditText(CMovieBits& r, MovieBudget* budget) {
  MovieEditText* edit = NewMovieDef<MovieEditText>(budget, kDefEditText);
  if (!edit) return nullptr;
  edit->text.SetBudget(budget);
  ReadMovieRect(r, &edit->bounds);
  const uint8_t first = r.U8(), second = r.U8();
  const bool hasText = first & 0x80;
  if (first & 0x40) edit->flags |= kEditWordWrap;
  if (first & 0x20) edit->flags |= kEditMultiline;
  if (first & 0x10) edit->flags |= kEditPassword;
  if (second & 0x08) edit->flags |= kEditBorder;
  if (second & 0x02) edit->flags |= kEditHtml;
  if (second & 0x01) edit->flags |= kEditOutlines;
  edit->colour = 0xFF000000u;
  edit->height = 240;
  if (first & 0x01) {
    edit->flags |= kEditHasFont;
    edit->font = r.U16();
  }
  if (second & 0x80) r.String();  // a font class
  if (first & 0x01) edit->height = r.U16();
  if (first & 0x04) {
    const uint32_t red = r.U8(), green = r.U8(), blue = r.U8(), alpha = r.U8();
    edit->colour = red | green << 8 | blue << 16 | alpha << 24;
  }
  if (first & 0x02) r.U16();  // the longest text the user may type
  if (second & 0x20) {
    edit->align = r.U8();
    edit->leftMargin = r.U16();
    edit->rightMargin = r.U16();
    edit->indent = r.S16();
    edit->leading = r.S16();
  }
  r.String();  // the variable
  const char* initial = hasText ? r.String() : "";
  if (r.Bad() || !PlainText(initial ? initial : "", (edit->flags & kEditHtml) != 0,
                            (edit->flags & kEditPassword) != 0, &edit->text)) {
    FreeMovieDef(edit, budget);
    return nullptr;
  }
  edit->text.Shrink();
  return edit;
}
