// Movies for the movie engine's tests: a plain movie of a background colour
// (and a square), and a movie-only saver laid out as the output writer lays it out (the
// engine's image, here zeros, followed by the movie).
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/Payload.h"
#include "tests/support/files.h"
#include "tests/support/swf_writer.h"

namespace enginetest {

// A plain movie of `frames` frames on the background colour, width by
// height pixels, 12 frames a second; with a square of the colour `square`
// (when not CLR_INVALID) of a third of the height in its middle.
inline lwtest::Bytes TinyMovie(COLORREF background, int width = 320, int height = 240,
                               int frames = 24, COLORREF square = CLR_INVALID) {
  lwtest::CSwfWriter movie(width * 20, height * 20);
  movie.SetBackground(background);
  if (square != CLR_INVALID) {
    lwtest::CSwfShape shape;
    const int side = height * 20 / 3;
    shape.Rectangle(0, 0, side, side, shape.AddFill(square));
    movie.DefineShape(1, shape);
    movie.PlaceObject(1, 1, lwtest::SwfAt(width * 10 - side / 2, height * 10 - side / 2));
  }
  for (int i = 0; i < frames; ++i) movie.ShowFrame();
  return movie.Fws();
}

// A movie-only saver's layout around the movie.
inline lwtest::Bytes MovieSaverLayout(const lwtest::Bytes& movie) {
  lwtest::Bytes saver(carried::kEngineImageSize + movie.size(), 0);
  for (size_t i = 0; i < movie.size(); ++i) saver[carried::kEngineImageSize + i] = movie[i];
  return saver;
}

}  // namespace enginetest
