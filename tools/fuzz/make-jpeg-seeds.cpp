// Writes the JPEG seeds of the fuzzers' corpus with the library's own
// writer: a baseline colour, a progressive colour and a grey picture.
//   make-jpeg-seeds OUT_DIR
// Built natively by hand, from the top of the tree, as one command line:
//   clang++-14 -std=c++17 -I. tools/fuzz/make-jpeg-seeds.cpp
//     imaging/Image{State,Handle,Guess,Bmp,Pcx,Tga,Jpeg,JpegWrite,Png,Pixels}.cpp
//     -ljpeg -lpng -lz -o make-jpeg-seeds
#include <stdio.h>
#include <string>

#include "imaging/ImageLib.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  BYTE rgb[16 * 16 * 3];
  for (int i = 0; i < 16 * 16; ++i) {
    rgb[3 * i] = static_cast<BYTE>(i);
    rgb[3 * i + 1] = static_cast<BYTE>(255 - i);
    rgb[3 * i + 2] = static_cast<BYTE>(i * 7);
  }
  struct Seed {
    const char* name;
    int progressive;
    int bits;
  } seeds[] = {{"baseline.jpg", 0, 24}, {"progressive.jpg", 1, 24}, {"grey.jpg", 0, 8}};
  for (const Seed& s : seeds) {
    std::string path = std::string(argv[1]) + "/" + s.name;
    HPVDEST d = OpenFileDest(path.c_str());
    if (!d || !WriteJpeg(d, rgb, 16, s.bits == 8 ? 48 : 16, 75, s.progressive, s.bits, nullptr)) {
      fprintf(stderr, "%s: error %d\n", s.name, GetImageError());
      return 1;
    }
    CloseDest(d);
  }
  return 0;
}
