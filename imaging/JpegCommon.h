// What the JPEG reader and writer of the image library share: the libjpeg
// headers and the error manager whose errors jump back to the function that
// armed it. Reading and writing live in separate objects so that a program
// that only reads pictures never links the encoder.
#pragma once

#include <setjmp.h>
#include <stdio.h>

#include "imaging/ImageInternal.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace jpegio {

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

}  // namespace jpegio
