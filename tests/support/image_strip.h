// A strip of test pictures for image lists and toolbars: square images of
// solid colours side by side, each with a 4 x 4 centre of a mask colour
// that the list makes transparent.
#pragma once

#include <windows.h>

#include <vector>

namespace lwtest {

// A DIB section of colours.size() images of size x size; the caller
// deletes it.
HBITMAP MakeImageStrip(const std::vector<COLORREF>& colours, int size, COLORREF centre);

}  // namespace lwtest
