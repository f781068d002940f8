// A movie of every kind of thing the movie control draws, and where each
// shows on the screen when the movie plays in a place: gradients at both
// ends and the middle, the quadrants of a lossless and of a JPEG bitmap,
// a glyph's stroke and its counter, a mask, a morph at half, alpha over a
// shape, a clip whose frames alternate, and a frame marker that a label
// jump and a stop() on the last frame leave green. The saver's, the
// engine's and the builder's tests play it and check it on the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"

namespace lwtest {

// 320 x 240 pixels at 6 frames a second; its JPEG is written by the image
// library into a file of the folder first.
SwfBytes FeatureMovie(const std::string& folder);

// Checks the movie playing in `area` (screen coordinates; the movie fits
// it with its aspect kept, centred): the marker turns green (the jump to
// the label "end" and its stop), every still thing shows, the clip shows
// both its colours, and the marker stays green a second more. "" when all
// do within ms each, else what did not.
std::string CheckFeatureMovie(const RECT& area, DWORD ms = 15000);

// A movie whose every frame costs far more than its time: 2,000 curves,
// each sweeping the screen, filled and drawn with the widest line, growing
// over 30 frames at 30 a second, on a 320 x 240 stage.
SwfBytes CostlyMovie();

}  // namespace lwtest
