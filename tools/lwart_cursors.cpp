// The builder's drag cursors, drawn for lwart: the arrow with a mark below
// its tip for what a drop will do with the dragged commands. One page is
// one command, a stack of pages several; a plus box means a copy, a bent
// arrow in a box a link, the page alone a move. The folder tree's drags
// show the arrow alone for a move, with a plus box for a copy, and a
// crossed-out circle over either when the drop would be refused.
//
// Cursors are two-colour 32 x 32 images with a mask, which every display
// shows the same. They are laid out pixel by pixel on a grid of letters:
// 'X' black, 'o' white, anything else transparent. The hot spot is the
// arrow's tip, the top left pixel.
#include "tools/lwart.h"

namespace lwart {
namespace {

const int kSize = 32;

class Grid {
 public:
  Grid() : cells_(size_t(kSize * kSize), ' ') {}

  char At(int x, int y) const { return cells_[size_t(y * kSize + x)]; }
  void Set(int x, int y, char c) {
    if (x >= 0 && x < kSize && y >= 0 && y < kSize) cells_[size_t(y * kSize + x)] = c;
  }
  // Rows of letters with their top left at (x, y); spaces leave the grid.
  void Paste(int x, int y, std::initializer_list<const char*> rows) {
    for (const char* row : rows) {
      for (int i = 0; row[i]; ++i)
        if (row[i] != ' ') Set(x + i, y, row[i]);
      ++y;
    }
  }
  // A white box with a black edge, corners included.
  void Box(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        Set(x, y, x == x0 || x == x1 || y == y0 || y == y1 ? 'X' : 'o');
  }

 private:
  std::vector<char> cells_;
};

// The system's arrow shape, tip at the top left.
void Arrow(Grid& g) {
  g.Paste(0, 0, {"X",
                 "XX",
                 "XoX",
                 "XooX",
                 "XoooX",
                 "XooooX",
                 "XoooooX",
                 "XooooooX",
                 "XoooooooX",
                 "XooooooooX",
                 "XoooooXXXXX",
                 "XooXooX",
                 "XoX XooX",
                 "XX  XooX",
                 "X    XooX",
                 "     XooX",
                 "      XX"});
}

// A page with a folded corner and three lines of text, top left at (x, y).
void Page(Grid& g, int x, int y) {
  g.Paste(x, y, {"XXXXXX   ",
                 "XooooXX  ",
                 "XooooXoX ",
                 "XooooXXXX",
                 "XoXXXXXoX",
                 "XoooooooX",
                 "XoXXXXXoX",
                 "XoooooooX",
                 "XoXXXXooX",
                 "XoooooooX",
                 "XXXXXXXXX"});
}

// One page, or a page in front of the edges of two more for several.
void Pages(Grid& g, bool several) {
  if (several) {
    g.Box(16, 12, 24, 22);
    g.Box(14, 14, 22, 24);
  }
  Page(g, 12, 16);
}

// A box with a plus, the copy mark.
void PlusBox(Grid& g, int x, int y) {
  g.Box(x, y, x + 8, y + 8);
  for (int i = 2; i <= 6; ++i) {
    g.Set(x + i, y + 4, 'X');
    g.Set(x + 4, y + i, 'X');
  }
}

// A box with an arrow bending up and to the right, the link mark.
void LinkBox(Grid& g, int x, int y) {
  g.Box(x, y, x + 8, y + 8);
  g.Paste(x + 2, y + 2, {" XXXX",
                         "   XX",
                         "  X X",
                         " X  X",
                         "X"});
}

// A white-edged black ring with a bar from top left to bottom right,
// centred on (cx, cy): the mark of a refused drop.
void NoSign(Grid& g, float cx, float cy) {
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d >= 7.6f) continue;
      const bool bar = std::fabs(dx - dy) < 1.5f;
      g.Set(x, y, d >= 6.6f ? 'o' : d >= 5.0f || bar ? 'X' : 'o');
    }
}

// The folder tree's cursors: move refused, copy allowed, copy refused.
Grid TreeCursor(bool copy, bool refused) {
  Grid g;
  if (refused) NoSign(g, 18.0f, 22.0f);
  if (copy) PlusBox(g, refused ? 22 : 12, refused ? 22 : 16);
  Arrow(g);
  return g;
}

Grid MoveCursor(bool several) {
  Grid g;
  Pages(g, several);
  Arrow(g);
  return g;
}

Grid CopyCursor(bool several) {
  Grid g = MoveCursor(several);
  PlusBox(g, 22, 22);
  return g;
}

Grid LinkCursor() {
  Grid g = MoveCursor(false);
  LinkBox(g, 22, 22);
  return g;
}

// A .cur file of one two-colour image: the colour rows (0 black, 1 white),
// then the mask rows (1 where the screen shows through), bottom-up.
Bytes CurFile(const Grid& g, int hotX, int hotY) {
  const int row = kSize / 8;
  Bytes image;
  InfoHeader(image, kSize, 2 * kSize, 1, uint32_t(2 * row * kSize), 2, 0);
  Palette(image, {0x000000, 0xFFFFFF}, 2);
  for (int pass = 0; pass < 2; ++pass)
    for (int y = kSize - 1; y >= 0; --y) {
      Bytes bits(size_t(row), 0);
      for (int x = 0; x < kSize; ++x) {
        const char c = g.At(x, y);
        const bool on = pass == 0 ? c == 'o' : c != 'X' && c != 'o';
        if (on) bits[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      }
      image.insert(image.end(), bits.begin(), bits.end());
    }
  Bytes b;
  Put16(b, 0), Put16(b, 2), Put16(b, 1);
  b.push_back(uint8_t(kSize)), b.push_back(uint8_t(kSize)), b.push_back(2), b.push_back(0);
  Put16(b, uint32_t(hotX)), Put16(b, uint32_t(hotY));
  Put32(b, uint32_t(image.size())), Put32(b, 6 + 16);
  b.insert(b.end(), image.begin(), image.end());
  return b;
}

}  // namespace

std::vector<std::pair<std::string, Bytes>> CursorArt() {
  return {
      {"drag_move_one.cur", CurFile(MoveCursor(false), 0, 0)},
      {"drag_move_many.cur", CurFile(MoveCursor(true), 0, 0)},
      {"drag_copy_one.cur", CurFile(CopyCursor(false), 0, 0)},
      {"drag_copy_many.cur", CurFile(CopyCursor(true), 0, 0)},
      {"drag_link.cur", CurFile(LinkCursor(), 0, 0)},
      {"tree_move_refused.cur", CurFile(TreeCursor(false, true), 0, 0)},
      {"tree_copy.cur", CurFile(TreeCursor(true, false), 0, 0)},
      {"tree_copy_refused.cur", CurFile(TreeCursor(true, true), 0, 0)},
  };
}

}  // namespace lwart
