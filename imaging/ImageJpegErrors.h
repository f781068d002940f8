// The libjpeg error handling shared by JPEG reading and writing: every
// libjpeg error ends in a jump back to the function that armed it, and
// libjpeg's own messages go nowhere. Internal to the library.
#pragma once

#include <setjmp.h>
#include <stdio.h>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

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
