// The movie's JPEG pictures through the image library's reader.
#include "playback/movie/MovieJpeg.h"

#include "imaging/ImageLib.h"

uint8_t* DecodeMovieJpeg(const uint8_t* data, uint32_t size, int* width, int* height) {
  HPVSRC source = OpenMemorySource(data, size);
  if (!source) return nullptr;
  BYTE* pixels = ReadJpeg(source, width, height, 24);
  CloseSource(source);
  return pixels;
}

void FreeMovieJpeg(uint8_t* pixels) { FreeImageBlock(pixels); }
