// Test pictures: a strip for image lists and toolbars (square images of
// solid colours side by side, each with a 4 x 4 centre of a mask colour
// that the list makes transparent), and picture files of one colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace lwtest {

// A DIB section of colours.size() images of size x size; the caller
// deletes it.
HBITMAP MakeImageStrip(const std::vector<COLORREF>& colours, int size, COLORREF centre);

// The bytes of a 24-bit BMP file of width x height pixels, rows top-down
// (as ScreenPixels gives them), or of one colour.
std::vector<uint8_t> MakeBmpFile(int width, int height, const std::vector<COLORREF>& pixels);
std::vector<uint8_t> MakeSolidBmpFile(int width, int height, COLORREF colour);

}  // namespace lwtest
