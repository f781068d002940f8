// The builder's pictures, drawn for lwart: the main toolbar's 48 x 48
// button images and their greyed twins, the 16 x 16 command icons of the
// tree and the script list, the preview toolbar's 16 x 15 buttons and the
// object dialog's justification buttons, and the folder tree's 16 x 16
// network pictures.
//
// Every picture is drawn in pixel units on a canvas with 4 x 4 samples a
// pixel. Image lists mask one colour, so a picture has no alpha: a pixel
// covered less than a threshold becomes the mask colour, every other pixel
// is its colour laid over the background the picture will be seen on (the
// grey of a toolbar, the white of a list), which keeps anti-aliased edges
// smooth there.
#include "tools/lwart.h"

namespace lwart {
namespace {

// ---------------------------------------------------------------- helpers

const uint32_t kMagenta = 0xFF00FF;  // toolbar mask
const uint32_t kTeal = 0x008080;     // command icon mask
const uint32_t kButtonFace = 0xC0C0C0;
const uint32_t kToolbarGrey = 0xD4D0C8;
const uint32_t kWindowWhite = 0xFFFFFF;

const Col kInk = Hex(0x1F2733);  // outlines

Paint Vert(float y0, float y1, uint32_t top, uint32_t bottom) {
  return Linear({0, y0}, {0, y1}, {{0, Hex(top)}, {1, Hex(bottom)}});
}
Paint Diag(V a, V b, uint32_t from, uint32_t to) {
  return Linear(a, b, {{0, Hex(from)}, {1, Hex(to)}});
}

// The shape's outer edge is a line of width w, the rest is filled.
void Body(Canvas& c, const Sdf& s, const Paint& fill, Col line, float w = 1) {
  c.Fill(s, line);
  c.Fill(Grow(s, -w), fill);
}
void Body(Canvas& c, const Sdf& s, Col fill, Col line, float w = 1) {
  Body(c, s, Solid(fill), line, w);
}

// A straight bar from a to b with square ends, hw to each side.
Sdf Bar(V a, V b, float hw) {
  V d = b - a;
  d = d * (1 / Len(d));
  V n{-d.y * hw, d.x * hw};
  return Poly({a + n, b + n, b - n, a - n});
}

// A ring's band of width w around radius r from angle a0 turning to a1
// (radians, clockwise on the screen as y grows downwards), round ends.
Sdf Arc(V c, float r, float w, float a0, float a1) {
  const float kTurn = 6.2831853f;
  float span = a1 - a0;
  V e0 = c + V{std::cos(a0), std::sin(a0)} * r, e1 = c + V{std::cos(a1), std::sin(a1)} * r;
  return [=](V p) {
    V q = p - c;
    float t = std::atan2(q.y, q.x) - a0;
    while (t < 0) t += kTurn;
    while (t >= kTurn) t -= kTurn;
    if (t <= span) return std::fabs(Len(q) - r) - w / 2;
    return std::min(Len(p - e0), Len(p - e1)) - w / 2;
  };
}

// Arrowhead at `tip` pointing along `dir`, `len` long and `half` wide each
// side.
Sdf Head(V tip, V dir, float len, float half) {
  dir = dir * (1 / Len(dir));
  V n{-dir.y, dir.x}, base = tip - dir * len;
  return Poly({tip, base + n * half, base - n * half});
}

// A five-pointed star.
Sdf Star(V c, float r, float inner) {
  std::vector<V> v;
  for (int i = 0; i < 10; ++i) {
    float a = -1.5707963f + i * 0.6283185f, k = i % 2 ? r * inner : r;
    v.push_back(c + V{std::cos(a), std::sin(a)} * k);
  }
  return Poly(v);
}

// The pixels of a canvas laid over `face`; pixels covered less than `cut`
// become `mask`. No drawn pixel keeps the mask colour by accident.
std::vector<uint32_t> Flatten(const Canvas& c, uint32_t face, uint32_t mask, float cut) {
  std::vector<uint32_t> out;
  Col bg = Hex(face);
  for (const Col& p : c.Average()) {
    if (p.a < cut) {
      out.push_back(mask);
      continue;
    }
    uint32_t rgb = Rgb(Mix(bg, p, p.a));
    if (rgb == mask) rgb ^= 0x000100;
    out.push_back(rgb);
  }
  return out;
}

// Images of w x h pixels side by side in one strip.
std::vector<uint32_t> Strip(const std::vector<std::vector<uint32_t>>& images, int w, int h) {
  int n = int(images.size());
  std::vector<uint32_t> out(size_t(w) * n * h);
  for (int i = 0; i < n; ++i)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        out[size_t(y) * w * n + i * w + x] = images[i][size_t(y) * w + x];
  return out;
}

// The greyed twin of a picture for a disabled button: its brightness only,
// lifted and flattened towards the toolbar's grey.
std::vector<uint32_t> Greyed(const std::vector<uint32_t>& px, uint32_t mask) {
  std::vector<uint32_t> out;
  for (uint32_t c : px) {
    if (c == mask) {
      out.push_back(c);
      continue;
    }
    float lum = (0.30f * ((c >> 16) & 255) + 0.59f * ((c >> 8) & 255) + 0.11f * (c & 255)) / 255;
    float v = 0.40f + 0.50f * lum;
    out.push_back(Rgb({v, v, v * 0.97f, 1}));
  }
  return out;
}

// A page with a folded top right corner.
Sdf Page(float x0, float y0, float x1, float y1, float fold) {
  return Poly({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}});
}
void DrawPage(Canvas& c, float x0, float y0, float x1, float y1, float fold, float line) {
  Sdf page = Page(x0, y0, x1, y1, fold);
  Body(c, page, Diag({x0, y0}, {x1, y1}, 0xFFFFFF, 0xDCE3EE), Hex(0x56606E), line);
  if (fold > 0) {
    Sdf corner = Poly({{x1 - fold, y0}, {x1 - fold, y0 + fold}, {x1, y0 + fold}});
    Body(c, corner, Diag({x1, y0}, {x1 - fold, y0 + fold}, 0xF4F6FA, 0xBAC4D2), Hex(0x56606E),
         line);
  }
}
// Lines of text on a page, from y every `step` units.
void TextLines(Canvas& c, float x0, float x1, float y, float y1, float step, float hw,
               uint32_t colour) {
  int i = 0;
  for (; y <= y1; y += step, ++i) {
    float end = x1 - (i % 3 == 2 ? (x1 - x0) * 0.35f : 0);
    c.Fill(Capsule({x0, y}, {end, y}, hw), Hex(colour));
  }
}

// ---------------------------------------------------------------- toolbar
//
// 48 x 48 pictures, drawn inside about 4..44 so that the flat toolbar's hot
// frame keeps a margin around them.

void ToolNew(Canvas& c) {
  DrawPage(c, 11, 5, 38, 43, 10, 1.5f);
  TextLines(c, 16, 32, 22, 37, 5, 0.9f, 0xB4C2D6);
  // A glint for something new.
  Sdf glint = Sparkle({13, 12}, 9, 0.26f);
  c.Fill(Grow(glint, 1.2f), Hex(0x7A5200, 0.9f));
  c.Fill(glint,
         Radial({13, 12}, 9, {{0, Hex(0xFFFBE0)}, {0.5f, Hex(0xFFD838)}, {1, Hex(0xF0A000)}}));
}

void ToolOpen(Canvas& c) {
  Col line = Hex(0x7A4E0E);
  Sdf back = Union(RBox(4, 12, 40, 40, 2), RBox(4, 8, 19, 16, 2));
  Body(c, back, Vert(8, 40, 0xE8B050, 0xC88A2A), line, 1.5f);
  // A sheet inside the folder.
  Body(c, RBox(9, 15, 35, 34, 0), Vert(15, 34, 0xFFFFFF, 0xE6EBF2), Hex(0x7C8694), 1.2f);
  TextLines(c, 13, 30, 20, 28, 4, 0.7f, 0xB4C2D6);
  Sdf front = Poly({{11, 22}, {46, 22}, {39, 41}, {4, 41}});
  Body(c, front, Vert(22, 41, 0xFFE17A, 0xF0B23A), line, 1.5f);
  c.Fill(Inter(Grow(front, -1.5f), RBox(0, 22, 48, 25, 0)), Hex(0xFFF4C8, 0.8f));
}

void ToolSave(Canvas& c) {
  Sdf disk = Poly({{7, 9}, {9, 7}, {37, 7}, {42, 12}, {42, 39}, {40, 41}, {9, 41}, {7, 39}});
  Body(c, disk, Diag({7, 7}, {42, 41}, 0x4C7FE0, 0x1D3C8A), Hex(0x0F1E48), 1.5f);
  // Shutter with its slot.
  Body(c, RBox(14, 7, 34, 20, 0), Vert(7, 20, 0xF2F4F8, 0xA8B0BE), Hex(0x3A4250), 1.2f);
  c.Fill(RBox(27, 10, 31, 17, 0.5f), Hex(0x2E3644));
  // Label.
  Body(c, RBox(12, 25, 37, 41, 1), Vert(25, 41, 0xFFFFFF, 0xE8ECF2), Hex(0x0F1E48), 1.2f);
  TextLines(c, 16, 33, 30, 37, 4, 0.8f, 0x7E9BD6);
}

// One blade of the scissors from its tip to the pivot, wider on its back.
Sdf Blade(V tip, V pivot, float w, float side) {
  V d = (pivot - tip) * (1 / Len(pivot - tip)), n = V{-d.y, d.x} * side;
  return Poly({tip, pivot + n * w, pivot + d * 3 + n * (w * 0.5f), pivot + d * 3 - n * (w * 0.5f),
               pivot - n * (w * 0.5f)});
}

void ToolCut(Canvas& c) {
  Col steel = Hex(0x2E3644);
  V pivot{24, 22};
  const V ring[2] = {{15, 37}, {33, 37}};
  // Handles first: each blade's arm runs to the ring on the other side.
  for (int i = 0; i < 2; ++i) {
    V out = (ring[i] - pivot) * (1 / Len(ring[i] - pivot));
    Sdf handle = Union(Capsule(pivot, ring[i] - out * 6, 2.4f),
                       Sub(Circle(ring[i], 7.5f), Circle(ring[i], 4)));
    Body(c, handle, Vert(24, 45, 0xF0504A, 0xA8141C), Hex(0x5A0A0E), 1.2f);
  }
  Paint light = Diag({14, 4}, {30, 20}, 0xFFFFFF, 0xA4AEBE);
  Body(c, Blade({34, 3}, pivot, 5, -1), light, steel, 1.1f);
  Body(c, Blade({14, 3}, pivot, 5, 1), light, steel, 1.1f);
  c.Fill(Circle(pivot, 2.2f), steel);
  c.Fill(Circle(pivot, 1), Hex(0xD8DEE8));
}

void ToolCopy(Canvas& c) {
  DrawPage(c, 5, 4, 29, 35, 7, 1.4f);
  TextLines(c, 9, 23, 14, 30, 4.5f, 0.8f, 0xB4C2D6);
  DrawPage(c, 18, 13, 43, 44, 7, 1.4f);
  TextLines(c, 22, 37, 24, 40, 4.5f, 0.8f, 0x6F8FC8);
}

void ToolPaste(Canvas& c) {
  Sdf board = RBox(6, 8, 36, 44, 3);
  Body(c, board, Diag({6, 8}, {36, 44}, 0xD8A062, 0x8E5A26), Hex(0x4E2E0E), 1.5f);
  // Clip.
  Sdf clip = Union(RBox(13, 6, 29, 13, 2), RBox(17, 3, 25, 8, 2));
  Body(c, clip, Vert(3, 13, 0xF4F6FA, 0x8E98A8), Hex(0x3A4250), 1.2f);
  c.Fill(RBox(19.5f, 4.5f, 22.5f, 6.5f, 1), Hex(0x3A4250));
  DrawPage(c, 19, 17, 43, 45, 7, 1.4f);
  TextLines(c, 23, 37, 28, 41, 4.5f, 0.8f, 0x6F8FC8);
}

// A pencil lying from its point at `tip` back along `dir`.
void Pencil(Canvas& c, V tip, V dir, float length, float hw) {
  dir = dir * (1 / Len(dir));
  V n{-dir.y, dir.x};
  V wood = tip + dir * (hw * 2.6f), band = tip + dir * (length - hw * 2.4f),
    end = tip + dir * length;
  Sdf cone = Poly({tip, wood + n * hw, wood - n * hw});
  Sdf body = Bar(wood, band, hw);
  Sdf ferrule = Bar(band, band + dir * (hw * 1.1f), hw);
  Sdf rubber =
      Union(Bar(band + dir * (hw * 1.1f), end - dir * hw, hw), Circle(end - dir * hw, hw));
  Sdf all = Union(Union(cone, body), Union(ferrule, rubber));
  c.Fill(Grow(all, 1.2f), kInk);
  c.Fill(cone, Hex(0xF3D3A0));
  c.Fill(Poly({tip, tip + dir * (hw * 1.1f) + n * (hw * 0.42f),
               tip + dir * (hw * 1.1f) - n * (hw * 0.42f)}),
         Hex(0x2A2A2A));
  c.Fill(body, Linear(wood + n * hw, wood - n * hw,
                      {{0, Hex(0xFFE680)}, {0.45f, Hex(0xF7C31A)}, {1, Hex(0xC98A00)}}));
  c.Fill(ferrule, Linear(band + n * hw, band - n * hw, {{0, Hex(0xF4F6FA)}, {1, Hex(0x8E98A8)}}));
  c.Fill(rubber, Linear(end + n * hw, end - n * hw, {{0, Hex(0xFFA0B0)}, {1, Hex(0xD0506A)}}));
}

void ToolCurrent(Canvas& c) {
  DrawPage(c, 5, 4, 33, 42, 8, 1.4f);
  // The command's settings as rows of small fields.
  for (int i = 0; i < 4; ++i) {
    float y = 12 + i * 7;
    c.Fill(RBox(9, y, 14, y + 4, 0.5f), Hex(i % 2 ? 0x4FA34A : 0x3F78D8));
    c.Fill(Capsule({17, y + 2}, {28 - (i == 3 ? 5.0f : 0.0f), y + 2}, 0.9f), Hex(0xA8B6CA));
  }
  Pencil(c, {22, 42}, {1, -1.15f}, 30, 3.6f);
}

// The script as a list of rows with their type icons.
void ScriptRows(Canvas& c, float x0, float y0, float x1, float y1, float step, int highlight_row) {
  Body(c, RBox(x0, y0, x1, y1, 1.5f), Vert(y0, y1, 0xFFFFFF, 0xEEF2F7), Hex(0x56606E), 1.4f);
  const uint32_t icons[] = {0x3F78D8, 0x4FA34A, 0xE08A1E, 0x8A5AD0, 0x3F78D8};
  int i = 0;
  for (float y = y0 + 3; y + step - 2 <= y1 - 2; y += step, ++i) {
    if (i == highlight_row) c.Fill(RBox(x0 + 2, y - 1, x1 - 2, y + step - 2, 0), Hex(0x2F6FD8));
    c.Fill(RBox(x0 + 4, y + 1, x0 + 8, y + step - 4, 0.5f), Hex(icons[i % 5]));
    c.Fill(Capsule({x0 + 11, y + step / 2 - 1.5f}, {x1 - 5 - (i % 2) * 5.0f, y + step / 2 - 1.5f},
                   0.9f),
           i == highlight_row ? Hex(0xFFFFFF) : Hex(0x8894A6));
  }
}

void ToolAdd(Canvas& c) {
  ScriptRows(c, 4, 4, 34, 38, 7, -1);
  Sdf disc = Circle({34, 34}, 11);
  Body(c, disc, Radial({31, 30}, 14, {{0, Hex(0x7EE070)}, {1, Hex(0x1E8E2C)}}), Hex(0x0C4A16),
       1.4f);
  Sdf plus = Union(RBox(32, 27, 36, 41, 1), RBox(27, 32, 41, 36, 1));
  c.Fill(plus, Hex(0xFFFFFF));
}

void ToolInsert(Canvas& c) {
  ScriptRows(c, 14, 4, 44, 44, 7, 2);
  // The arrow pushing a line in between.
  Sdf arrow = Union(RBox(3, 20, 13, 24, 0), Head({22, 22}, {1, 0}, 10, 8));
  c.Fill(Grow(arrow, 1.3f), Hex(0x0C4A16));
  c.Fill(arrow, Vert(14, 30, 0x8CEB7C, 0x25A035));
}

void ToolDelete(Canvas& c) {
  Sdf cross = Union(Capsule({12, 12}, {36, 36}, 5), Capsule({36, 12}, {12, 36}, 5));
  Body(c, cross, Diag({8, 8}, {40, 40}, 0xFF7A6E, 0xB8121A), Hex(0x5A080C), 1.5f);
  c.Fill(Inter(Grow(cross, -2.5f), Capsule({14, 12}, {20, 18}, 1.3f)), Hex(0xFFFFFF, 0.55f));
}

void ToolPreview(Canvas& c) {
  // A screen with its stand.
  Sdf stand = Union(Poly({{20, 35}, {28, 35}, {30, 41}, {18, 41}}), RBox(12, 40, 36, 44, 1.5f));
  Body(c, stand, Vert(35, 44, 0xC4CAD4, 0x7E8898), kInk, 1.2f);
  Sdf body = RBox(4, 6, 44, 37, 2.5f);
  Body(c, body, Vert(6, 37, 0xE8ECF2, 0x98A2B2), kInk, 1.5f);
  Sdf screen = RBox(8, 10, 40, 33, 0.5f);
  Body(c, screen, Vert(10, 33, 0x12245E, 0x3A66C8), Hex(0x3A4250), 1);
  Sdf rounded = Grow(Poly({{20.5f, 15.5f}, {31, 21.5f}, {20.5f, 27.5f}}), 1.5f);
  c.Fill(Grow(rounded, 1.2f), Hex(0x0C4A16));
  c.Fill(rounded, Vert(14, 29, 0x9CF57E, 0x2EAA3A));
}

void ToolWizard(Canvas& c) {
  // The wand.
  V a{7, 42}, b{30, 19};
  Sdf wand = Capsule(a, b, 3);
  c.Fill(Grow(wand, 1.2f), kInk);
  c.Fill(wand, Linear({a.x - 3, a.y - 3}, {a.x + 3, a.y + 3},
                      {{0, Hex(0x6A7080)}, {0.4f, Hex(0x2A2E38)}, {1, Hex(0x101218)}}));
  Sdf tip = Inter(wand, Circle(b, 6));
  c.Fill(tip,
         Linear({b.x - 3, b.y - 3}, {b.x + 3, b.y + 3}, {{0, Hex(0xFFFFFF)}, {1, Hex(0xB8C0CC)}}));
  // Its star and sparkles.
  Sdf star = Star({35, 13}, 10, 0.45f);
  c.Fill(Grow(star, 1.2f), Hex(0x7A5200));
  c.Fill(star,
         Radial({34, 11}, 11, {{0, Hex(0xFFF6C0)}, {0.6f, Hex(0xFFD02A)}, {1, Hex(0xF09A00)}}));
  c.Fill(Sparkle({14, 12}, 5, 0.24f), Hex(0xF0A000));
  c.Fill(Sparkle({42, 31}, 4.5f, 0.26f), Hex(0xF0A000));
  c.Fill(Circle({22, 6}, 1.4f), Hex(0xF0A000));
}

void ToolStart(Canvas& c) {
  // An application window with a welcome page.
  Sdf win = RBox(4, 7, 44, 41, 2);
  Body(c, win, Vert(7, 41, 0xFFFFFF, 0xE4E9F0), Hex(0x1E3A78), 1.5f);
  c.Fill(Inter(Grow(win, -1.5f), RBox(0, 0, 48, 15, 0)), Vert(7, 15, 0x5C8EF0, 0x2A56B8));
  c.Fill(RBox(36, 9.5f, 41, 13, 0.5f), Hex(0xE8EEFA));
  // Three choices on the page, the first one picked.
  for (int i = 0; i < 3; ++i) {
    float y = 19 + i * 7.5f;
    c.Fill(RBox(9, y, 15, y + 5, 1), Hex(i == 0 ? 0x4FA34A : i == 1 ? 0xE0A21E : 0x3F78D8));
    c.Fill(Capsule({18, y + 2.5f}, {30 - i * 3.0f, y + 2.5f}, 1), Hex(0x8894A6));
  }
  Sdf star = Star({36, 29}, 9, 0.45f);
  c.Fill(Grow(star, 1.2f), Hex(0x7A5200));
  c.Fill(star,
         Radial({35, 27}, 10, {{0, Hex(0xFFF6C0)}, {0.6f, Hex(0xFFD02A)}, {1, Hex(0xF09A00)}}));
}

// ---------------------------------------------------------------- commands
//
// 16 x 16 pictures seen on a white list. Edges sit on whole pixels.

void Folder(Canvas& c, bool open) {
  Col line = Hex(0x8A5A10);
  Sdf back = Union(RBox(1, 3, 15, 14, 0.5f), RBox(1, 2, 7, 5, 0.5f));
  if (open) {
    Body(c, back, Vert(2, 14, 0xD89A30, 0xB07818), line);
    c.Fill(RBox(3, 4, 13, 9, 0), Hex(0xFFFFFF));
    c.Fill(RBox(4, 6, 11, 7, 0), Hex(0xB4C2D6));
    Sdf front = Poly({{5, 8}, {16, 8}, {13, 14}, {1, 14}});
    Body(c, front, Vert(8, 14, 0xFFE38A, 0xF2B444), line);
  } else {
    Body(c, back, Vert(2, 14, 0xF4C25A, 0xD89A30), line);
    Sdf front = RBox(1, 5, 15, 14, 0.5f);
    Body(c, front, Vert(5, 14, 0xFFE38A, 0xF2B444), line);
    c.Fill(RBox(2, 6, 14, 7, 0), Hex(0xFFF4C8));
  }
}

void CmdImageText(Canvas& c) {
  // A picture, and a letter in front of it for the text kind.
  Body(c, RBox(3, 1, 16, 12, 0), Solid(Hex(0xFFFFFF)), Hex(0x4A5464));
  Sdf inside = RBox(4, 2, 15, 11, 0);
  c.Fill(inside, Vert(2, 11, 0x5EA8F0, 0xC8E4FF));
  c.Fill(Inter(inside, Circle({12, 4.5f}, 1.6f)), Hex(0xFFD84A));
  c.Fill(Inter(inside, Poly({{4, 11}, {9, 5}, {12, 8.5f}, {13.5f, 7}, {15, 9}, {15, 11}})),
         Vert(5, 11, 0x5CC24E, 0x2A8A2E));
  Body(c, RBox(0, 7, 9, 16, 0), Solid(Hex(0xFFFFFF)), Hex(0x4A5464));
  c.Fill(Union(RBox(2, 9, 7, 10.5f, 0), RBox(3.75f, 10.5f, 5.25f, 14.5f, 0)), Hex(0x1F2733));
}

Sdf EyeShape() { return Inter(Circle({8, 14}, 10), Circle({8, 2}, 10)); }
void Eye(Canvas& c, bool open) {
  Sdf eye = EyeShape();
  Body(c, eye, Solid(Hex(0xFFFFFF)), Hex(0x1F2733));
  if (open) {
    c.Fill(Inter(Grow(eye, -1), Circle({8, 8}, 3.4f)),
           Radial({7, 7}, 4, {{0, Hex(0x7EC0FF)}, {1, Hex(0x1E5CB8)}}));
    c.Fill(Circle({8, 8}, 1.5f), Hex(0x10141C));
    c.Fill(Circle({6.8f, 6.8f}, 0.7f), Hex(0xFFFFFF));
  } else {
    c.Fill(Inter(Grow(eye, -1), Circle({8, 8}, 3.4f)), Hex(0x8A96A8));
  }
}
void CmdShow(Canvas& c) { Eye(c, true); }
void CmdHide(Canvas& c) {
  Eye(c, false);
  Sdf slash = Capsule({3, 14}, {13, 2}, 1.2f);
  c.Fill(Grow(slash, 0.8f), Hex(0xFFFFFF));
  c.Fill(slash, Hex(0xD01E1E));
}

void CmdMove(Canvas& c) {
  Sdf cross = Union(RBox(7, 3, 9, 13, 0), RBox(3, 7, 13, 9, 0));
  Sdf heads = Union(Union(Head({8, 0}, {0, -1}, 4, 3.5f), Head({8, 16}, {0, 1}, 4, 3.5f)),
                    Union(Head({0, 8}, {-1, 0}, 4, 3.5f), Head({16, 8}, {1, 0}, 4, 3.5f)));
  Sdf all = Union(cross, heads);
  c.Fill(all, Radial({8, 8}, 9, {{0, Hex(0x5C9CF8)}, {1, Hex(0x1A4AA8)}}));
}

void CmdWait(Canvas& c) {
  Body(c, Circle({8, 8}, 7.5f), Radial({6, 6}, 9, {{0, Hex(0xFFFFFF)}, {1, Hex(0xDDE4EE)}}),
       Hex(0x1F2733), 1.2f);
  for (int i = 0; i < 12; i += 3) {
    float a = i * 0.5235988f;
    V d{std::cos(a), std::sin(a)};
    c.Fill(Capsule(V{8, 8} + d * 5.2f, V{8, 8} + d * 5.6f, 0.5f), Hex(0x5A6478));
  }
  c.Fill(Capsule({8, 8}, {8, 3.6f}, 0.7f), Hex(0x1F2733));
  c.Fill(Capsule({8, 8}, {11, 9.5f}, 0.7f), Hex(0xC81E1E));
}

void CmdCls(Canvas& c) {
  Body(c, RBox(0, 1, 16, 13, 1), Vert(1, 13, 0xE8ECF2, 0xA4AEBE), Hex(0x1F2733));
  Sdf screen = RBox(2, 3, 14, 11, 0);
  c.Fill(screen, Hex(0x10204A));
  // A new colour sweeping over the screen.
  c.Fill(Inter(screen, Poly({{7, 3}, {14, 3}, {14, 11}, {3, 11}})),
         Vert(3, 11, 0x3FA8F0, 0x1E6AC8));
  c.Fill(RBox(5, 13, 11, 15, 0), Hex(0x1F2733));
}

// Loop arrows: Repeat turns clockwise into the loop, Until the other way,
// back to its start.
void LoopArrow(Canvas& c, bool back, uint32_t light, uint32_t dark) {
  const float kPi = 3.1415927f;
  V centre{8, 8.5f};
  float r = 5.2f, a1 = 1.38f * kPi;
  Sdf arc = Arc(centre, r, 2, -0.12f * kPi, a1);
  V end = centre + V{std::cos(a1), std::sin(a1)} * r, along{-std::sin(a1), std::cos(a1)};
  Sdf all = Union(arc, Head(end + along * 4, along, 5, 3.6f));
  if (back) all = [all](V p) { return all({16 - p.x, p.y}); };
  c.Fill(all, Vert(2, 15, light, dark));
}
void CmdRepeat(Canvas& c) { LoopArrow(c, false, 0x6CD85C, 0x16782A); }
void CmdUntil(Canvas& c) { LoopArrow(c, true, 0xFFB04A, 0xB4520A); }

void CmdLine(Canvas& c) {
  c.Fill(Capsule({3, 13}, {13, 3}, 1), Hex(0x1E4AA8));
  Body(c, Circle({3, 13}, 2.4f), Hex(0xFF5A4A), Hex(0x7A0A0A), 0.9f);
  Body(c, Circle({13, 3}, 2.4f), Hex(0xFF5A4A), Hex(0x7A0A0A), 0.9f);
}

void CmdMedia(Canvas& c) {
  // A strip of film behind a note.
  Body(c, RBox(0, 1, 11, 15, 0), Hex(0x2A2E38), Hex(0x10121A));
  for (int i = 0; i < 4; ++i) {
    float y = 2.5f + i * 3.5f;
    c.Fill(RBox(1, y, 2.5f, y + 1.5f, 0), Hex(0xE8ECF2));
    c.Fill(RBox(8.5f, y, 10, y + 1.5f, 0), Hex(0xE8ECF2));
  }
  c.Fill(RBox(3.5f, 3, 7.5f, 13, 0), Vert(3, 13, 0x7EC0FF, 0x2A62C8));
  Sdf note = Union(Union(Circle({9.5f, 12.5f}, 2.4f), RBox(11, 3, 12.5f, 12.5f, 0)),
                   Poly({{11, 3}, {16, 5}, {16, 8}, {11, 6}}));
  c.Fill(Grow(note, 1), Hex(0xFFFFFF));
  c.Fill(note, Vert(3, 15, 0xC04AE0, 0x6A1496));
}

void CmdPlay(Canvas& c) {
  Sdf play = Grow(Poly({{4, 3}, {13, 8}, {4, 13}}), 0.8f);
  Body(c, play, Vert(2, 14, 0x8CEB7C, 0x1E9030), Hex(0x0C4A16));
}

void CmdStop(Canvas& c) {
  Body(c, RBox(2, 2, 14, 14, 1.5f), Diag({2, 2}, {14, 14}, 0xFF7A6E, 0xB8121A), Hex(0x5A080C));
}

void CmdComment(Canvas& c) {
  Sdf bubble = Union(RBox(0, 1, 16, 12, 2.5f), Poly({{3, 11}, {8, 11}, {3, 15.5f}}));
  Body(c, bubble, Vert(1, 15, 0xFFF6B0, 0xF4D250), Hex(0x7A5A00));
  c.Fill(RBox(3, 4, 13, 5, 0), Hex(0x8A7020));
  c.Fill(RBox(3, 7, 10, 8, 0), Hex(0x8A7020));
}

void CmdUrl(Canvas& c) {
  Sdf globe = Circle({8, 8}, 7.5f);
  Body(c, globe, Radial({6, 5}, 11, {{0, Hex(0x8CD0FF)}, {1, Hex(0x1A5CC0)}}), Hex(0x0E2E6A));
  Sdf inner = Grow(globe, -1);
  Col grid = Hex(0xFFFFFF, 0.75f);
  // A meridian, the equator and two parallels.
  c.Fill(Inter(inner,
               [](V p) {
                 float dx = (p.x - 8) / 3.2f, dy = (p.y - 8) / 7.0f;
                 return std::fabs((std::sqrt(dx * dx + dy * dy) - 1) * 3.2f) - 0.5f;
               }),
         grid);
  c.Fill(Inter(inner, RBox(0, 7.5f, 16, 8.5f, 0)), grid);
  c.Fill(Inter(inner, RBox(7.5f, 0, 8.5f, 16, 0)), grid);
  c.Fill(Inter(inner, Union(RBox(0, 4, 16, 4.8f, 0), RBox(0, 11.2f, 16, 12, 0))), grid);
}

// ---------------------------------------------------------------- preview
//
// 16 x 15 buttons on the button face.

void PrevGo(Canvas& c) {
  Body(c, Poly({{4, 2}, {13, 7.5f}, {4, 13}}), Vert(2, 13, 0x8CEB7C, 0x1E9030), Hex(0x0C4A16));
}
void PrevStep(Canvas& c) {
  Body(c, Poly({{2, 2}, {10, 7.5f}, {2, 13}}), Vert(2, 13, 0x8CEB7C, 0x1E9030), Hex(0x0C4A16));
  Body(c, RBox(11, 2, 14, 13, 0), Vert(2, 13, 0x7EB0FF, 0x1E4AA8), Hex(0x0E2456));
}
void PrevPause(Canvas& c) {
  Body(c, RBox(3, 2, 7, 13, 0), Vert(2, 13, 0x7EB0FF, 0x1E4AA8), Hex(0x0E2456));
  Body(c, RBox(9, 2, 13, 13, 0), Vert(2, 13, 0x7EB0FF, 0x1E4AA8), Hex(0x0E2456));
}
void PrevStop(Canvas& c) {
  Body(c, RBox(3, 2, 13, 12, 0), Diag({3, 2}, {13, 12}, 0xFF7A6E, 0xB8121A), Hex(0x5A080C));
}
void PrevSound(Canvas& c) {
  // A speaker silenced.
  Sdf speaker = Union(RBox(1, 5, 5, 10, 0), Poly({{4, 5}, {9, 1}, {9, 14}, {4, 10}}));
  Body(c, speaker, Vert(1, 14, 0xE8ECF2, 0x8E98A8), kInk);
  Sdf cross = Union(Capsule({11, 5}, {15, 10}, 0.8f), Capsule({15, 5}, {11, 10}, 0.8f));
  c.Fill(cross, Hex(0xD01E1E));
}
void PrevExit(Canvas& c) {
  // An open door with the way out.
  Body(c, RBox(1, 1, 10, 14, 0), Hex(0x3A2A18), kInk);
  Body(c, Poly({{2, 1.5f}, {6.5f, 3}, {6.5f, 14}, {2, 13.5f}}), Vert(1, 14, 0xD89A52, 0x8A5420),
       Hex(0x4A2A0E), 0.8f);
  Sdf arrow = Union(RBox(7, 6.5f, 12, 8.5f, 0), Head({16, 7.5f}, {1, 0}, 4.5f, 3.5f));
  c.Fill(Grow(arrow, 0.8f), Hex(0x0C4A16));
  c.Fill(arrow, Vert(4, 11, 0x8CEB7C, 0x25A035));
}
// A pushpin: lying on its side when loose, seen from above when pinned.
void PrevPinLoose(Canvas& c) {
  c.Fill(Capsule({1, 8}, {5, 8}, 0.6f), Hex(0x4A5464));
  Body(c, RBox(5, 5, 8, 11, 0), Vert(5, 11, 0xFF8A7A, 0xB8121A), Hex(0x5A080C), 0.9f);
  Body(c, RBox(8, 6.5f, 12, 9.5f, 0), Vert(6, 10, 0xFF8A7A, 0xB8121A), Hex(0x5A080C), 0.9f);
  Body(c, RBox(12, 3.5f, 14.5f, 12.5f, 0.8f), Vert(3, 13, 0xFF8A7A, 0xB8121A), Hex(0x5A080C),
       0.9f);
}
void PrevPinned(Canvas& c) {
  c.Fill(Capsule({9, 10}, {12, 14}, 0.7f), Hex(0x4A5464));
  Body(c, Circle({7, 7}, 5.5f), Radial({5.5f, 5.5f}, 7, {{0, Hex(0xFF9A8A)}, {1, Hex(0xB8121A)}}),
       Hex(0x5A080C), 0.9f);
  c.Fill(Circle({7, 7}, 2.5f), Hex(0xFF5A4A));
  c.Fill(Circle({5.8f, 5.8f}, 1), Hex(0xFFFFFF, 0.8f));
}

// ---------------------------------------------------------------- network
//
// The folder tree's network items, 16 x 16 on a white tree: a domain, any
// other container, the whole network and a server.

// A small screen on a foot, its top left at (x, y), 9 x 8 with the foot.
void Monitor(Canvas& c, float x, float y) {
  c.Fill(RBox(x + 3, y + 6, x + 6, y + 8, 0), Hex(0x4A5464));
  Body(c, RBox(x, y, x + 9, y + 6.5f, 0.5f), Solid(Hex(0xE8ECF2)), Hex(0x2A3444));
  c.Fill(RBox(x + 1.5f, y + 1.5f, x + 7.5f, y + 5, 0), Vert(y + 1.5f, y + 5, 0x6CB8F8, 0x2466C4));
}

// A cable running along the bottom with a drop to (x, 13).
void Cable(Canvas& c, float x) {
  c.Fill(RBox(0, 14, 16, 15.2f, 0), Hex(0x2A3444));
  c.Fill(RBox(x - 0.6f, 12, x + 0.6f, 14.5f, 0), Hex(0x2A3444));
}

void NetDomain(Canvas& c) {
  // Two machines joined on one wire.
  Monitor(c, 7, 1);
  Monitor(c, 0, 4);
  c.Fill(RBox(0, 14, 16, 15.2f, 0), Hex(0x2A3444));
  c.Fill(RBox(11, 9, 12.2f, 14.5f, 0), Hex(0x2A3444));
}

void NetContainer(Canvas& c) {
  // A folder on the wire.
  Sdf back = Union(RBox(1, 2, 15, 11, 0.5f), RBox(1, 1, 7, 4, 0.5f));
  Body(c, back, Vert(1, 11, 0xF4C25A, 0xD89A30), Hex(0x8A5A10));
  Body(c, RBox(1, 4, 15, 11, 0.5f), Vert(4, 11, 0xFFE38A, 0xF2B444), Hex(0x8A5A10));
  Cable(c, 8);
}

void NetRoot(Canvas& c) {
  // The world on the wire.
  Sdf globe = Circle({8, 6.5f}, 6);
  Body(c, globe, Radial({6, 4.5f}, 8, {{0, Hex(0x8ED0FF)}, {1, Hex(0x1E5CB8)}}),
       Hex(0x163A78));
  Sdf inner = Grow(globe, -1);
  Col grid = Hex(0xFFFFFF, 0.7f);
  c.Fill(Inter(inner, RBox(7.5f, 0, 8.5f, 16, 0)), grid);
  c.Fill(Inter(inner, RBox(0, 6, 16, 7, 0)), grid);
  c.Fill(Inter(inner, Poly({{4, 3}, {7, 4}, {6, 7}, {3, 8}})), Hex(0x4CB848));
  Cable(c, 8);
}

void NetServer(Canvas& c) {
  // A tower with two drive bays and a lit lamp.
  Body(c, RBox(4, 0, 12, 16, 0.8f), Vert(0, 16, 0xDCE2EA, 0x9AA4B4), Hex(0x2A3444));
  for (float y : {2.5f, 5.5f})
    Body(c, RBox(5.5f, y, 10.5f, y + 2, 0), Solid(Hex(0x5A6474)), Hex(0x2A3444), 0.5f);
  c.Fill(Circle({8, 11}, 1.1f), Hex(0x30D040));
  c.Fill(RBox(5.5f, 13.5f, 10.5f, 14.3f, 0), Hex(0x6A7484));
}

using Design = void (*)(Canvas&);

std::vector<uint32_t> Picture(Design d, int w, int h, uint32_t face, uint32_t mask, float cut) {
  Canvas c(w, h, 1.0f, 4);
  d(c);
  return Flatten(c, face, mask, cut);
}

std::vector<std::vector<uint32_t>> Pictures(std::initializer_list<Design> designs, int w, int h,
                                            uint32_t face, uint32_t mask, float cut) {
  std::vector<std::vector<uint32_t>> out;
  for (Design d : designs) out.push_back(Picture(d, w, h, face, mask, cut));
  return out;
}

}  // namespace

// A justification button of the object dialog, 21 x 18: the button face
// with a raised (up) or sunken (down) edge and four lines of text laid out
// left (0), centred (1) or right (2); pressed, the lines move one pixel
// right and down.
std::vector<uint32_t> JustifyButton(int justify, bool down) {
  const int w = 21, h = 18;
  std::vector<uint32_t> px(size_t(w * h), kButtonFace);
  auto put = [&](int x, int y, uint32_t c) {
    if (x >= 0 && x < w && y >= 0 && y < h) px[size_t(y * w + x)] = c;
  };
  const uint32_t light = 0xFFFFFF, shadow = 0x808080, dark = 0x404040;
  for (int x = 0; x < w; ++x) {
    put(x, 0, down ? dark : light);
    put(x, h - 1, down ? light : dark);
    if (!down) put(x, h - 2, shadow);
  }
  for (int y = 0; y < h; ++y) {
    put(0, y, down ? dark : light);
    put(w - 1, y, down ? light : dark);
    if (!down) put(w - 2, y, shadow);
  }
  const int lengths[] = {13, 9, 13, 7};
  const int shift = down ? 1 : 0;
  for (int line = 0; line < 4; ++line) {
    const int len = lengths[line];
    const int x0 = justify == 0 ? 4 : justify == 1 ? (w - len) / 2 : w - 4 - len;
    for (int x = 0; x < len; ++x) put(x0 + x + shift, 4 + line * 3 + shift, 0x000000);
  }
  return px;
}

std::vector<std::pair<std::string, Bytes>> BuilderArt() {
  // The main toolbar, one image per button in the toolbar's order.
  auto tools = Pictures({ToolNew, ToolOpen, ToolSave, ToolCut, ToolCopy, ToolPaste, ToolCurrent,
                         ToolAdd, ToolInsert, ToolDelete, ToolPreview, ToolWizard, ToolStart},
                        48, 48, kToolbarGrey, kMagenta, 0.35f);
  std::vector<std::vector<uint32_t>> greyed;
  for (const auto& t : tools) greyed.push_back(Greyed(t, kMagenta));
  const int n = int(tools.size());

  // The root folder closed and open, then one icon per command type.
  auto commands =
      Pictures({[](Canvas& c) { Folder(c, false); }, [](Canvas& c) { Folder(c, true); },
                CmdImageText, CmdShow, CmdMove, CmdHide, CmdWait, CmdCls, CmdRepeat, CmdUntil,
                CmdLine, CmdMedia, CmdPlay, CmdStop, CmdComment, CmdUrl},
               16, 16, kWindowWhite, kTeal, 0.5f);

  // The preview toolbar's seven images, then Keep Visible on by itself.
  auto preview =
      Pictures({PrevGo, PrevStep, PrevPause, PrevStop, PrevSound, PrevExit, PrevPinLoose}, 16, 15,
               kButtonFace, kButtonFace, 0.4f);
  auto pinned = Picture(PrevPinned, 16, 15, kButtonFace, kButtonFace, 0.4f);

  // The folder tree's network pictures in their image list's order.
  auto network = Pictures({NetDomain, NetContainer, NetRoot, NetServer}, 16, 16, kWindowWhite,
                          kMagenta, 0.5f);

  return {
      {"toolbar.bmp", Bmp24File(48 * n, 48, Strip(tools, 48, 48))},
      {"toolbar_disabled.bmp", Bmp24File(48 * n, 48, Strip(greyed, 48, 48))},
      {"commands.bmp", Bmp24File(16 * int(commands.size()), 16, Strip(commands, 16, 16))},
      {"preview_bar.bmp",
       BmpFile(16 * int(preview.size()), 15, Strip(preview, 16, 15), {kButtonFace})},
      {"preview_pinned.bmp", BmpFile(16, 15, pinned, {kButtonFace})},
      {"justify_left_up.bmp", Bmp24File(21, 18, JustifyButton(0, false))},
      {"justify_left_down.bmp", Bmp24File(21, 18, JustifyButton(0, true))},
      {"justify_centre_up.bmp", Bmp24File(21, 18, JustifyButton(1, false))},
      {"justify_centre_down.bmp", Bmp24File(21, 18, JustifyButton(1, true))},
      {"justify_right_up.bmp", Bmp24File(21, 18, JustifyButton(2, false))},
      {"justify_right_down.bmp", Bmp24File(21, 18, JustifyButton(2, true))},
      {"network.bmp", Bmp24File(16 * int(network.size()), 16, Strip(network, 16, 16))},
  };
}

}  // namespace lwart
