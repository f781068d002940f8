// JPEG reading through libjpeg (6b interface) over the library's handles.
// Every libjpeg error ends in a jump back to the function that armed it;
// that function holds no object with a destructor and keeps everything it
// changes in the job record, so cleanup after the jump sees current values.
// A failed or aborted read aborts the decompressor rather than finishing
// it. Memory and scan limits keep hostile files bounded; a picture over the
// pixel limit is read scaled down to within it.
#include "imaging/JpegCommon.h"

using namespace imaging_jpeg;

namespace {

struct JpegSource {
  jpeg_source_mgr pub;
  ImageHandle* handle;
  JOCTET* buffer;
  bool startOfFile;
};

void InitSource(j_decompress_ptr cinfo) {
  reinterpret_cast<JpegSource*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  JpegSource* src = reinterpret_cast<JpegSource*>(cinfo->src);
  size_t n = HandleRead(src->handle, src->buffer, kJpegBufferSize);
  if (n == 0) {
    if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = n;
  src->startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  size_t left = static_cast<size_t>(count);
  while (left > src->bytes_in_buffer) {
    left -= src->bytes_in_buffer;
    FillInputBuffer(cinfo);
  }
  src->next_input_byte += left;
  src->bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

// Ends a read whose file keeps adding scans (a progressive picture of
// thousands of scans costs time for nothing).
void LimitScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > LW_JPEG_MAX_SCANS) {
    cinfo->err->msg_code = JERR_NOT_COMPILED;
    (*cinfo->err->error_exit)(cinfo);
  }
}

bool OutputFits(j_decompress_ptr cinfo) {
  return static_cast<int64_t>(cinfo->output_width) * cinfo->output_height <= LW_IMAGE_MAX_PIXELS;
}

// Sets the output size: the thread's scale, or for a picture over the pixel
// limit the largest of a half, a quarter or an eighth of each side within
// it (the IDCT makes each block that much smaller, as a box reduction
// would; the build has no other scaled sizes). False when the picture is
// too large to be read at all.
bool ChooseOutputSize(j_decompress_ptr cinfo, const ImageThreadState* state) {
  cinfo->scale_num = state->jpegScaleNum;
  cinfo->scale_denom = state->jpegScaleDenom;
  jpeg_calc_output_dimensions(cinfo);
  if (OutputFits(cinfo)) return true;
  if (static_cast<int64_t>(cinfo->image_width) * cinfo->image_height > LW_JPEG_MAX_SCALED_PIXELS)
    return false;
  for (unsigned denom = 2; denom <= 8; denom *= 2) {
    cinfo->scale_num = 1;
    cinfo->scale_denom = denom;
    jpeg_calc_output_dimensions(cinfo);
    if (OutputFits(cinfo)) return true;
  }
  return false;
}

struct JpegReadJob {
  jpeg_decompress_struct cinfo;
  JpegError err;
  jpeg_progress_mgr progress;
  ImageHandle* handle;
  ImageThreadState* state;
  int bits;
  bool created;
  bool inRows;
  bool complete;
  BYTE* scratch;
  BYTE* out;
  int width;
  int height;
};

// Header, set-up and rows. Returns the code; on a jump during the set-up 9,
// during the rows 3.
int RunJpegRead(JpegReadJob* job) {
  if (LW_CODEC_SETJMP(job->err.jump)) return job->inRows ? kImgFileRead : kImgBadJpeg;
  j_decompress_ptr cinfo = &job->cinfo;
  cinfo->err = &job->err.pub;
  jpeg_create_decompress(cinfo);
  job->created = true;
  cinfo->mem->max_memory_to_use = LW_JPEG_MAX_MEMORY;
  job->progress.progress_monitor = LimitScans;
  cinfo->progress = &job->progress;

  JpegSource* src = static_cast<JpegSource*>((*cinfo->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegSource)));
  src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
      reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kJpegBufferSize));
  src->handle = job->handle;
  src->pub.init_source = InitSource;
  src->pub.fill_input_buffer = FillInputBuffer;
  src->pub.skip_input_data = SkipInputData;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = TermSource;
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = nullptr;
  cinfo->src = &src->pub;

  jpeg_save_markers(cinfo, JPEG_COM, 0xFFFF);
  for (int m = 1; m <= 14; ++m) jpeg_save_markers(cinfo, JPEG_APP0 + m, 0xFFFF);
  jpeg_read_header(cinfo, TRUE);
  if (!ChooseOutputSize(cinfo, job->state)) return kImgBadJpeg;
  int64_t width = cinfo->output_width;
  int64_t height = cinfo->output_height;
  if (width <= 0 || height <= 0) return kImgBadJpeg;

  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (m->marker == JPEG_COM) {
      BlobListAppend(&job->state->jpegCommentsRead, 0, m->data, m->data_length);
    } else if (m->data_length) {
      BlobListAppend(&job->state->jpegMarkersRead, m->marker, m->data, m->data_length);
    }
  }

  jpeg_start_decompress(cinfo);
  int components = cinfo->output_components;
  if (job->bits == 8 ? (components != 1 && components != 3)
                     : (components == 4 && cinfo->out_color_space != JCS_CMYK &&
                        cinfo->jpeg_color_space != JCS_YCCK && cinfo->jpeg_color_space != JCS_CMYK))
    return kImgWrongDepth;
  job->scratch = static_cast<BYTE*>(AllocZeroed(static_cast<size_t>(width) * components * 2));
  if (!job->scratch) return kImgNoMemory;
  int code = kImgOk;
  int outBpp = job->bits == 8 ? 1 : 3;
  job->out = AllocPixels(width, height, outBpp, kPixelsUnset, kImgBadJpeg, &code);
  if (!job->out) return code;
  job->width = static_cast<int>(width);
  job->height = static_cast<int>(height);

  job->inRows = true;
  while (cinfo->output_scanline < cinfo->output_height) {
    int y = cinfo->output_scanline;
    BYTE* row = job->out + static_cast<size_t>(y) * width * outBpp;
    bool direct = (outBpp == 1 && components == 1) || (outBpp == 3 && components == 3);
    JSAMPROW target = direct ? row : job->scratch;
    jpeg_read_scanlines(cinfo, &target, 1);
    if (!direct) {
      const BYTE* s = job->scratch;
      for (int64_t x = 0; x < width; ++x) {
        if (outBpp == 1) {
          row[x] = static_cast<BYTE>(0.299 * s[3 * x] + 0.587 * s[3 * x + 1] + 0.114 * s[3 * x + 2]);
        } else if (components == 1) {
          row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = s[x];
        } else if (components == 4) {
          const BYTE* p = s + 4 * x;
          row[3 * x] = static_cast<BYTE>(p[0] * p[3] / 255);
          row[3 * x + 1] = static_cast<BYTE>(p[1] * p[3] / 255);
          row[3 * x + 2] = static_cast<BYTE>(p[2] * p[3] / 255);
        }
      }
    }
    if (!ProgressContinue(job->state, y, job->height)) return kImgAborted;
  }
  job->complete = true;
  return kImgOk;
}

int FinishJpegRead(JpegReadJob* job) {
  if (LW_CODEC_SETJMP(job->err.jump)) return kImgFileRead;
  jpeg_finish_decompress(&job->cinfo);
  return kImgOk;
}

}  // namespace

extern "C" BYTE* ReadJpeg(HPVSRC src, int* width, int* height, int bits) {
  ImageCall call;
  if (!call) return nullptr;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return nullptr;
  }
  if (!width || !height || (bits != 8 && bits != 24)) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  ImageThreadState* state = call.state();
  BlobListClear(&state->jpegCommentsRead);
  BlobListClear(&state->jpegMarkersRead);
  JpegReadJob* job = static_cast<JpegReadJob*>(AllocZeroed(sizeof(JpegReadJob)));
  if (!job) {
    call.SetError(kImgNoMemory);
    return nullptr;
  }
  job->handle = src;
  job->state = state;
  job->bits = bits;
  InstallErrors(&job->err);
  int code = RunJpegRead(job);
  if (code == kImgOk) code = FinishJpegRead(job);
  if (job->out && job->inRows && code != kImgOk) {
    // The rows from the one that failed or was stopped on were not
    // decoded; the block may hold an older picture there.
    size_t rowBytes = static_cast<size_t>(job->width) * (bits == 8 ? 1 : 3);
    size_t done = job->cinfo.output_scanline;
    memset(job->out + done * rowBytes, 0, (job->height - done) * rowBytes);
  }
  if (job->created) jpeg_destroy_decompress(&job->cinfo);
  FreeBlock(job->scratch);
  BYTE* out = job->out;
  if (out && !job->inRows) {
    FreeImageBlock(out);
    out = nullptr;
  }
  if (out) {
    *width = job->width;
    *height = job->height;
  }
  FreeBlock(job);
  call.SetError(code);
  return out;
}
