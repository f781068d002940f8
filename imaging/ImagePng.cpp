// PNG reading through libpng over the library's handles: 8-bit palette
// images, 24-bit images composited over a background, and 32-bit images
// with alpha. Errors jump back to the arming function, which keeps what it
// changes in the job record; the job's cleanup frees every buffer.
#include <string.h>

#include "imaging/ImageInternal.h"

#include <png.h>

namespace {

void ReadCallback(png_structp png, png_bytep data, png_size_t length) {
  ImageHandle* h = static_cast<ImageHandle*>(png_get_io_ptr(png));
  if (!HandleReadExact(h, data, length)) png_error(png, "read Error");
}

// Jumps back to the armed point (libpng would print the text first).
void ErrorCallback(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void WarningCallback(png_structp, png_const_charp) {}

struct PngReadJob {
  png_structp png;
  png_infop info;
  ImageHandle* handle;
  ImageThreadState* state;
  int bits;
  RGBQUAD* palette;
  BYTE* out;
  int width;
  int height;
};

void FillPalette(PngReadJob* job, int colourType, int bitDepth) {
  RGBQUAD* pal = job->palette;
  png_colorp entries = nullptr;
  int count = 0;
  png_color grey[256];
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    if (!png_get_PLTE(job->png, job->info, &entries, &count)) {
      for (int i = 0; i < 256; ++i) grey[i].red = grey[i].green = grey[i].blue = static_cast<png_byte>(i);
      entries = grey;
      count = 256;
    }
  } else {
    int depth = bitDepth > 8 ? 8 : bitDepth;
    count = 1 << depth;
    png_build_grayscale_palette(depth, grey);
    entries = grey;
  }
  if (count > 256) count = 256;
  for (int i = 0; i < count; ++i) {
    pal[i].rgbBlue = entries[i].blue;
    pal[i].rgbGreen = entries[i].green;
    pal[i].rgbRed = entries[i].red;
    pal[i].rgbReserved = 255;
  }
  for (int i = count; i < 256; ++i) pal[i] = pal[0];
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  if (png_get_tRNS(job->png, job->info, &alpha, &alphaCount, nullptr) && alpha)
    for (int i = 0; i < alphaCount && i < 256; ++i) pal[i].rgbReserved = alpha[i];
}

int RunPngRead(PngReadJob* job) {
  if (LW_CODEC_SETJMP(png_jmpbuf(job->png))) return kImgBadPng;
  png_structp png = job->png;
  png_infop info = job->info;
  png_set_read_fn(png, job->handle, ReadCallback);
  png_set_user_limits(png, 65535, 65535);
  png_read_info(png, info);
  png_uint_32 w, h;
  int bitDepth, colourType, interlace;
  png_get_IHDR(png, info, &w, &h, &bitDepth, &colourType, &interlace, nullptr, nullptr);
  if (static_cast<int64_t>(w) * h > LW_IMAGE_MAX_PIXELS) return kImgBadPng;
  bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  bool grey = colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA;
  ImageThreadState* st = job->state;

  if (job->bits == 8) {
    if (colourType != PNG_COLOR_TYPE_PALETTE && colourType != PNG_COLOR_TYPE_GRAY)
      return kImgWrongDepth;
    if (bitDepth < 8) png_set_packing(png);
    FillPalette(job, colourType, bitDepth);
  } else {
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (grey && bitDepth < 8) png_set_expand(png);
    if (hasAlpha) png_set_expand(png);
    if (grey) png_set_gray_to_rgb(png);
  }
  if (bitDepth == 16) png_set_strip_16(png);

  memset(&st->pngFileBackground, 0, sizeof(st->pngFileBackground));
  png_color_16p fileBackground = nullptr;
  if (png_get_bKGD(png, info, &fileBackground) && fileBackground) {
    st->pngFileBackground.index = fileBackground->index;
    st->pngFileBackground.red = fileBackground->red;
    st->pngFileBackground.green = fileBackground->green;
    st->pngFileBackground.blue = fileBackground->blue;
    st->pngFileBackground.gray = fileBackground->gray;
  }
  if (job->bits == 24 && hasAlpha) {
    if (fileBackground) {
      png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    } else {
      png_color_16 bg;
      bg.index = st->pngDefaultBackground.index;
      bg.red = st->pngDefaultBackground.red;
      bg.green = st->pngDefaultBackground.green;
      bg.blue = st->pngDefaultBackground.blue;
      bg.gray = st->pngDefaultBackground.gray;
      png_set_background(png, &bg, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
  }
  if (job->bits == 32 && !hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);

  double screenGamma = st->pngScreenGamma;
  double fileGamma = screenGamma != 0 ? 1.0 / screenGamma : 0;
  if (st->pngGammaSwitch) {
    double g;
    if (png_get_gAMA(png, info, &g)) fileGamma = g;
    if (screenGamma > 0 && fileGamma > 0) png_set_gamma(png, screenGamma, fileGamma);
  }

  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != static_cast<size_t>(job->bits / 8) * w) return kImgUnexpected;
  int code = kImgOk;
  // Every byte is written: the rows are exactly the pixels, and the passes
  // of an interlaced picture together reach every pixel. A read that fails
  // returns nothing.
  job->out = AllocPixels(w, h, job->bits / 8, kPixelsUnset, kImgBadPng, &code);
  if (!job->out) return code;
  job->width = static_cast<int>(w);
  job->height = static_cast<int>(h);

  int64_t rowsRead = 0;
  int lastCount = -1;
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < h; ++y) {
      png_read_row(png, job->out + y * rowBytes, nullptr);
      ++rowsRead;
      int count = static_cast<int>(rowsRead / passes);
      if (count != lastCount) {
        lastCount = count;
        if (!ProgressContinue(st, count, job->height)) return kImgAborted;
      }
    }
  }
  return kImgOk;
}

}  // namespace

extern "C" BYTE* ReadPng(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette) {
  ImageCall call;
  if (!call) return nullptr;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return nullptr;
  }
  if (!width || !height || (bits != 8 && bits != 24 && bits != 32) || (bits == 8 && !palette)) {
    call.SetError(kImgBadParam);
    return nullptr;
  }
  PngReadJob* job = static_cast<PngReadJob*>(AllocZeroed(sizeof(PngReadJob)));
  if (!job) {
    call.SetError(kImgNoMemory);
    return nullptr;
  }
  job->handle = src;
  job->state = call.state();
  job->bits = bits;
  job->palette = palette;
  int code = kImgOk;
  job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, ErrorCallback, WarningCallback);
  if (job->png) job->info = png_create_info_struct(job->png);
  if (!job->png || !job->info)
    code = kImgPngInternal;
  else
    code = RunPngRead(job);
  if (job->png) png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
  BYTE* out = job->out;
  if (code != kImgOk) {
    FreeImageBlock(out);
    out = nullptr;
  } else {
    *width = job->width;
    *height = job->height;
  }
  FreeBlock(job);
  call.SetError(code);
  return out;
}
