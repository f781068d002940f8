// What the codecs and pixel routines of the image library share: the
// per-thread state, the handle object and its operations, the guard every
// entry point runs under, pixel-buffer allocation with its size checks and
// its kept blocks, a buffered byte reader, and the row converters.
#pragma once

#include <setjmp.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "imaging/ImageLib.h"

// Arms the jump back from a codec's error exit. The C libraries are built
// without unwind tables, so the jump may only restore registers: x64
// mingw's setjmp records the frame, and msvcrt's longjmp then unwinds every
// frame in between by its unwind data, which those frames do not have.
// With no frame recorded, longjmp restores the registers and nothing else;
// the frames it leaves hold nothing to destroy.
#ifdef _WIN64
#define LW_CODEC_SETJMP(buf) _setjmp((buf), nullptr)
#else
#define LW_CODEC_SETJMP(buf) setjmp(buf)
#endif

// A byte block with a code, kept in a singly linked list: JPEG comments and
// markers read and to write.
struct ImageBlob {
  ImageBlob* next;
  int code;
  DWORD size;
  BYTE data[1];
};
struct ImageBlobList {
  ImageBlob* head;
  ImageBlob* tail;
};
bool BlobListAppend(ImageBlobList* list, int code, const void* data, DWORD size);
void BlobListClear(ImageBlobList* list);

struct PngColour {
  BYTE index;
  WORD red, green, blue, gray;
};

struct ImageThreadState {
  ImageThreadState* next;  // the process-wide list of states
  ImageProgressHook progressHook;
  int nesting;
  int hookUser;
  double pngScreenGamma;
  PngColour pngDefaultBackground;
  PngColour pngFileBackground;
  int pngGammaSwitch;
  int jpegDctMethod;
  int jpegSmoothing;
  int jpegVSampling[10];
  int jpegHSampling[10];
  int jpegSamplingSwitch;
  int jpegSamplingCount;
  int jpegScaleNum;
  int jpegScaleDenom;
  ImageBlobList jpegCommentsRead;
  ImageBlobList jpegCommentsToWrite;
  ImageBlobList jpegMarkersRead;
  ImageBlobList jpegMarkersToWrite;
  int dibSectionSwitch;
  int lastError;
};

ImageThreadState* GetThreadState();

// The run of every entry point: the thread's state and the nesting depth
// for the lifetime of the call. Without state the call fails silently.
class ImageCall {
 public:
  ImageCall() : state_(GetThreadState()) {
    if (state_) ++state_->nesting;
  }
  ~ImageCall() {
    if (state_) --state_->nesting;
  }
  ImageCall(const ImageCall&) = delete;
  ImageCall& operator=(const ImageCall&) = delete;
  ImageThreadState* state() const { return state_; }
  explicit operator bool() const { return state_ != nullptr; }
  void SetError(int code) { state_->lastError = code; }

 private:
  ImageThreadState* state_;
};

// True when the row loop may go on (no hook, a nested call, or the hook
// said yes).
bool ProgressContinue(const ImageThreadState* state, int row, int rowCount);

enum HandleKind { kHandleFile = 1, kHandleMemory = 2 };

struct ImageHandle {
  DWORD headMagic;
  FILE* file;
  int kind;
  const BYTE* memBase;
  DWORD memSize;
  DWORD position;
  DWORD writtenSize;
  char path[260];
  int writable;
  ImageHandle* nextLive;  // registry of open handles
  DWORD tailMagic;
};

const DWORD kHandleHeadMagic = 0x03031996;
const DWORD kHandleTailMagic = 0x09241996;

// Whether the pointer is an open handle of this library.
bool IsValidHandle(const ImageHandle* handle);
// 0 when the handle may be used; 5 for null, 38 for anything not open.
int CheckHandle(const ImageHandle* handle);

size_t HandleRead(ImageHandle* h, void* buffer, size_t count);
bool HandleReadExact(ImageHandle* h, void* buffer, size_t count);
bool HandleWrite(ImageHandle* h, const void* buffer, size_t size, size_t count);
bool HandleSeek(ImageHandle* h, int64_t offset, int origin);
int64_t HandleTell(ImageHandle* h);
int64_t HandleSize(ImageHandle* h);
// Moves forward to an absolute position that must lie within the source.
bool HandleSkipTo(ImageHandle* h, int64_t position);

// What a new pixel buffer holds: unset, for a reader that writes every
// byte (or clears what it left when it stops early), or zeros.
enum PixelContent { kPixelsUnset, kPixelsZeroed };
// A pixel buffer of width x height x bytesPerPixel: a block handed back
// through FreeImageBlock when one of about that size is kept (holding an
// older picture unless zeros are asked for), else a new zeroed block. Zero,
// negative and over-cap sizes give badCode; exhausted memory gives 1.
BYTE* AllocPixels(int64_t width, int64_t height, int bytesPerPixel, PixelContent content,
                  int badCode, int* code);
// Frees the kept pixel and work blocks, so that the next reads get new ones.
void EmptyKeptPixelBlocks();
// A zeroed work block (null on failure) and its return; the last few of 64
// KB to 1 MB returned are kept for the next calls.
void* AllocZeroed(size_t bytes);
void FreeBlock(void* block);

// Buffered sequential reading for the byte-oriented decoders.
struct ByteReader {
  ImageHandle* handle;
  size_t pos;
  size_t len;
  bool eof;
  BYTE buffer[4096];
};
void ByteReaderInit(ByteReader* r, ImageHandle* h);
// Next byte, or -1 at the end of the data.
int ByteReaderGet(ByteReader* r);
bool ByteReaderRead(ByteReader* r, BYTE* out, size_t count);

inline WORD ReadLe16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD ReadLe32(const BYTE* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}
inline void WriteLe16(BYTE* p, unsigned v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
}
inline void WriteLe32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

// Row conversion (see ImagePixels.cpp).
void ConvertRow(const BYTE* row, BYTE* out, int pixels, int bits, const RGBQUAD* palette,
                const DWORD* masks, bool alpha, BYTE alphaValue);
void UnpackIndices(const BYTE* row, BYTE* out, int pixels, int bits);
int FillPixelRect(BYTE* buffer, int width, int height, int x, int y, int rectWidth,
                  int rectHeight, const BYTE colour[4], int bytesPerPixel);
void SwapRedBlue(BYTE* buffer, int pixelsPerRow, int rows);
int RgbToRgba(const BYTE* src, int pixelsPerRow, int rows, BYTE alpha, BYTE* dst);
int RgbToDibRows(const BYTE* rgb, BYTE* out, int width, int height, int rowSize);
void GreyRamp(RGBQUAD* palette);

// The widest loop ResizeImage may use, for tests that check every loop
// gives the same bytes: kResizeLoopsWidest (AVX-512 where the processor has
// it, the default), kResizeLoopsAvx2 (AVX2 at most) or kResizeLoopsPlain.
enum { kResizeLoopsPlain, kResizeLoopsAvx2, kResizeLoopsWidest };
void LimitResizeLoops(int widest);
// The loop ResizeImage starts most of each row in, for tests that check
// each is taken where it should be: none (kResizeRowsOnly: the plain loop
// alone), the exact fixed-point loop (3-byte pixels, weights of few
// fraction bits), the checked single-precision loop (other 3-byte pixels)
// or the double loops; all but the first need AVX2 allowed.
enum { kResizeRowsOnly, kResizeFixedPoint, kResizeChecked, kResizeDoubles };
int ResizeLoopFor(int width, int height, int tw, int th, int bpp);

// Nearest palette entry by squared distance, with a small cache of recent
// answers.
class PaletteMatcher {
 public:
  PaletteMatcher() : present_(0), count_(0), cached_(0) {
    memset(palette_, 0, sizeof(palette_));
    for (int d = -255; d <= 255; ++d) squares_[d + 255] = d * d;
  }
  void SetPalette(const RGBQUAD* palette, int count) {
    memcpy(palette_, palette, sizeof(RGBQUAD) * count);
    count_ = count;
    present_ = 1;
    cached_ = 0;
  }
  const RGBQUAD& Entry(int index) const { return palette_[index]; }

  int Match(int red, int green, int blue) {
    if (!present_) return 0;
    DWORD key = static_cast<DWORD>(blue) * 65536 + green * 256 + red;
    for (int i = 0; i < cached_; ++i)
      if (cache_[i].key == key) return cache_[i].index;
    int best = 0;
    int bestDistance = 0x30000;
    for (int i = 0; i < count_; ++i) {
      const RGBQUAD& e = palette_[i];
      int d = Square(e.rgbGreen - green) + Square(e.rgbBlue - blue) + Square(e.rgbRed - red);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
        if (d == 0) break;
      }
    }
    if (cached_ >= 255) cached_ = 0;
    cache_[cached_].key = key;
    cache_[cached_].index = best;
    ++cached_;
    return best;
  }
  int CacheSize() const { return cached_; }

 private:
  int Square(int d) const { return squares_[d + 255]; }

  struct Pair {
    DWORD key;
    int index;
  };
  int present_;
  RGBQUAD palette_[256];
  int count_;
  int squares_[511];
  Pair cache_[256];
  int cached_;
};

