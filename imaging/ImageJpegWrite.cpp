// JPEG writing through libjpeg (6b interface) over the library's handles,
// with the same jump-back error handling as the reader.
#include "imaging/JpegCommon.h"

using namespace imaging_jpeg;

namespace {

struct JpegDest {
  jpeg_destination_mgr pub;
  ImageHandle* handle;
  JOCTET* buffer;
};

void InitDestination(j_compress_ptr cinfo) {
  JpegDest* dest = reinterpret_cast<JpegDest*>(cinfo->dest);
  dest->buffer = static_cast<JOCTET*>(
      (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kJpegBufferSize));
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kJpegBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  JpegDest* dest = reinterpret_cast<JpegDest*>(cinfo->dest);
  if (!HandleWrite(dest->handle, dest->buffer, kJpegBufferSize, 1)) ERREXIT(cinfo, JERR_FILE_WRITE);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kJpegBufferSize;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  JpegDest* dest = reinterpret_cast<JpegDest*>(cinfo->dest);
  size_t used = kJpegBufferSize - dest->pub.free_in_buffer;
  if (used && !HandleWrite(dest->handle, dest->buffer, used, 1)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct JpegWriteJob {
  jpeg_compress_struct cinfo;
  JpegError err;
  ImageHandle* handle;
  ImageThreadState* state;
  const BYTE* pixels;
  int width;
  int height;
  int quality;
  int progressive;
  int bits;
  const JpegDensity* density;
  bool created;
};

int RunJpegWrite(JpegWriteJob* job) {
  if (LW_CODEC_SETJMP(job->err.jump)) return kImgFileWrite;
  j_compress_ptr cinfo = &job->cinfo;
  cinfo->err = &job->err.pub;
  jpeg_create_compress(cinfo);
  job->created = true;
  JpegDest* dest = static_cast<JpegDest*>((*cinfo->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegDest)));
  dest->handle = job->handle;
  dest->pub.init_destination = InitDestination;
  dest->pub.empty_output_buffer = EmptyOutputBuffer;
  dest->pub.term_destination = TermDestination;
  cinfo->dest = &dest->pub;

  cinfo->image_width = job->width;
  cinfo->image_height = job->height;
  cinfo->input_components = job->bits == 24 ? 3 : 1;
  cinfo->in_color_space = job->bits == 24 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  const ImageThreadState* st = job->state;
  if (st->jpegSamplingSwitch) {
    for (int i = 0; i < st->jpegSamplingCount && i < cinfo->num_components && i < 10; ++i) {
      cinfo->comp_info[i].h_samp_factor = st->jpegHSampling[i];
      cinfo->comp_info[i].v_samp_factor = st->jpegVSampling[i];
    }
  }
  if (job->progressive) jpeg_simple_progression(cinfo);
  if (job->density) {
    cinfo->X_density = static_cast<UINT16>(job->density->xDensity);
    cinfo->Y_density = static_cast<UINT16>(job->density->yDensity);
    cinfo->density_unit = static_cast<UINT8>(job->density->unit);
  } else {
    cinfo->X_density = cinfo->Y_density = 1;
    cinfo->density_unit = 0;
  }
  if (st->jpegDctMethod == 1) cinfo->dct_method = JDCT_ISLOW;
  if (st->jpegDctMethod == 2) cinfo->dct_method = JDCT_IFAST;
  if (st->jpegDctMethod == 3) cinfo->dct_method = JDCT_FLOAT;
  cinfo->smoothing_factor = st->jpegSmoothing;
  jpeg_start_compress(cinfo, TRUE);
  for (const ImageBlob* b = st->jpegCommentsToWrite.head; b; b = b->next)
    jpeg_write_marker(cinfo, JPEG_COM, b->data, b->size);
  for (const ImageBlob* b = st->jpegMarkersToWrite.head; b; b = b->next)
    jpeg_write_marker(cinfo, b->code, b->data, b->size);
  size_t stride = static_cast<size_t>(job->width) * cinfo->input_components;
  for (int y = 0; y < job->height; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(job->pixels + y * stride);
    jpeg_write_scanlines(cinfo, &row, 1);
    if (!ProgressContinue(st, y, job->height)) return kImgAborted;
  }
  jpeg_finish_compress(cinfo);
  return kImgOk;
}

}  // namespace

extern "C" DWORD WriteJpeg(HPVDEST dest, const BYTE* pixels, int width, int height, int quality,
                           BOOL progressive, int bits, const JpegDensity* density) {
  ImageCall call;
  if (!call) return 0;
  if (int code = CheckHandle(dest)) {
    call.SetError(code);
    return 0;
  }
  if (bits != 24 && bits != 8) {
    call.SetError(kImgOk);
    return 0;
  }
  if (width <= 0 || height <= 0 || !pixels) {
    call.SetError(kImgBadParam);
    return 0;
  }
  JpegWriteJob* job = static_cast<JpegWriteJob*>(AllocZeroed(sizeof(JpegWriteJob)));
  if (!job) {
    call.SetError(kImgNoMemory);
    return 0;
  }
  job->handle = dest;
  job->state = call.state();
  job->pixels = pixels;
  job->width = width;
  job->height = height;
  job->quality = quality;
  job->progressive = progressive;
  job->bits = bits;
  job->density = density;
  InstallErrors(&job->err);
  int code = RunJpegWrite(job);
  if (job->created) jpeg_destroy_compress(&job->cinfo);
  FreeBlock(job);
  call.SetError(code);
  if (code != kImgOk) return 0;
  int64_t size = HandleSize(dest);
  return size > 0 ? static_cast<DWORD>(size) : 0;
}
