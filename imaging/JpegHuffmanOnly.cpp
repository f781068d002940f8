// The JPEG reader without the arithmetic decoder, for the movie engine: its
// definition of libjpeg's arithmetic-decoder entry comes before the library
// on the link line, so the decoder and its tables stay out of the program.
// A movie's JPEG is Huffman-coded; an arithmetic-coded one fails as a codec
// error, as a request for any other method left out of the build does.
#include "imaging/JpegCommon.h"

extern "C" void jinit_arith_decoder(j_decompress_ptr cinfo) {
  ERREXIT(cinfo, JERR_ARITH_NOTIMPL);
}
