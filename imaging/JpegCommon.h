// What the JPEG reader and writer share: the libjpeg headers, the limits
// that keep hostile files bounded, and the error manager whose exit jumps
// back to the function that armed it. Reading and writing live in separate
// files so that a program which only reads never links the compressor.
#pragma once

#include <stdio.h>
#include <string.h>

#include "imaging/ImageInternal.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#ifndef LW_JPEG_MAX_MEMORY
#define LW_JPEG_MAX_MEMORY (8LL * LW_IMAGE_MAX_PIXELS)
#endif
// A picture over the pixel limit is read scaled down by the decoder when
// it has at most this many pixels, so that no side shrinks below half; a
// larger one is refused from its header.
#ifndef LW_JPEG_MAX_SCALED_PIXELS
#define LW_JPEG_MAX_SCALED_PIXELS (4LL * LW_IMAGE_MAX_PIXELS)
#endif
#ifndef LW_JPEG_MAX_SCANS
#define LW_JPEG_MAX_SCANS 500
#endif

namespace imaging_jpeg {

constexpr size_t kJpegBufferSize = 4096;

struct JpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

inline void ErrorExit(j_common_ptr cinfo) {
  // The text is formatted for a trace that this library does not keep.
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

inline void DiscardMessage(j_common_ptr) {}

inline void InstallErrors(JpegError* err) {
  jpeg_std_error(&err->pub);
  err->pub.error_exit = ErrorExit;
  err->pub.output_message = DiscardMessage;
}

}  // namespace imaging_jpeg
