// JPEG pictures in movies go through the image library's JPEG reader, so
// that a picture shows the same pixels in a movie as anywhere else.
#pragma once

#include <stdint.h>

// The picture's 24-bit pixels (red, green, blue; rows top-down, packed),
// or null when it is not a picture the reader takes. Free them with
// FreeMovieJpeg.
uint8_t* DecodeMovieJpeg(const uint8_t* data, uint32_t size, int* width, int* height);
void FreeMovieJpeg(uint8_t* pixels);
