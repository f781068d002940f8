// The image library: flat entry points that read BMP, JPEG, PNG, PCX and TGA
// pictures from files or memory, write BMP and JPEG files, guess a picture's
// type, resize pixel buffers and move pixels between buffers, bitmaps and
// device contexts.
//
// No entry point throws. Each returns a null pointer or 0 on failure and
// leaves the reason in the calling thread's last error (GetImageError).
// Pixel buffers the library returns are fixed global memory that the caller
// frees with GlobalFree: rows top-down, packed; 24-bit pixels are red, green,
// blue; 8-bit pixels index a palette of 256 RGBQUADs. A caller done with a
// buffer may instead hand it back with FreeImageBlock: the library keeps a
// few large blocks and reads the next picture of about the same size into
// one. The first write to each fresh page of a large block costs a page
// fault (about as much again as decoding a full-screen picture), and the
// heap gives every large block fresh pages. Bytes a reader does not set are
// zero, whichever block it used.
#pragma once

#include "imaging/ImageCompat.h"

struct ImageHandle;
typedef ImageHandle* HPVSRC;
typedef ImageHandle* HPVDEST;

// Image type codes returned by GuessImageType.
enum ImageType {
  kImageUnknown = 0, kImageBmp = 1, kImageGif = 2, kImageJpeg = 3, kImagePng = 4,
  kImagePcx = 5, kImageTiff = 6, kImageWmf = 7, kImageEmf = 8, kImageJqw = 9,
  kImagePsd = 10, kImageXkv = 11, kImageXkv2 = 12, kImageWbmp = 13, kImageTga = 14
};

// The error codes the library sets (the full table of texts has 1 to 57).
enum ImageErrorCode {
  kImgOk = 0,
  kImgNoMemory = 1,
  kImgFileOpen = 2,
  kImgFileRead = 3,
  kImgFileWrite = 4,
  kImgBadParam = 5,
  kImgBadBmp = 6,
  kImgRleUnsupported = 7,
  kImgBadJpeg = 9,
  kImgDcError = 10,
  kImgAborted = 14,
  kImgBadPng = 15,
  kImgPngInternal = 16,
  kImgUnexpected = 17,
  kImgBadPcx = 22,
  kImgCreateBitmap = 23,
  kImgEndOfImage = 24,
  kImgGetDIBits = 25,
  kImgDeviceUnsupported = 26,
  kImgWrongDepth = 28,
  kImgBitBlt = 29,
  kImgBadTga = 32,
  kImgCreateDIBitmap = 35,
  kImgSelectObject = 37,
  kImgBadHandle = 38,
  kImgCreateDIBSection = 40,
  kImgNoThreadState = 55
};

// Pictures above this many pixels are refused as bad files, so that a few
// bytes that declare a huge picture cannot exhaust memory; a JPEG of up to
// four times as many is read scaled down to within it.
#ifndef LW_IMAGE_MAX_PIXELS
#define LW_IMAGE_MAX_PIXELS (100 * 1000 * 1000)
#endif

struct JpegDensity {
  int xDensity;
  int yDensity;
  int unit;
};

// Asked once per row by the row loops of the outermost library call; a
// false answer aborts the operation with error 14.
typedef BOOL (*ImageProgressHook)(int row, int rowCount, int user);

extern "C" {

HPVSRC OpenFileSource(const char* path);
HPVSRC OpenMemorySource(const void* buffer, DWORD size);
HPVDEST OpenFileDest(const char* path);
BOOL SeekSource(HPVSRC src, LONG offset, int origin);
DWORD CloseSource(HPVSRC src);
DWORD CloseDest(HPVDEST dest);

int GuessImageType(HPVSRC src);
BYTE* ReadBmp(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette);
BYTE* ReadPcx(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette);
BYTE* ReadTga(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette);
BYTE* ReadJpeg(HPVSRC src, int* width, int* height, int bits);
BYTE* ReadPng(HPVSRC src, int* width, int* height, int bits, RGBQUAD* palette);
DWORD WriteBmp(HPVDEST dest, const BYTE* pixels, int width, int height, int bits,
               int colours, const RGBQUAD* palette, BOOL rle);
DWORD WriteJpeg(HPVDEST dest, const BYTE* pixels, int width, int height, int quality,
                BOOL progressive, int bits, const JpegDensity* density);

BOOL ResizeImage(const BYTE* src, int width, int height, BYTE* dst, int targetWidth,
                 int targetHeight, int bytesPerPixel);
BOOL ResizePaletteImage(const BYTE* src, int width, int height, BYTE* dst,
                        int targetWidth, int targetHeight, int colours,
                        const RGBQUAD* palette);

// Hands back a pixel buffer of this library, or any fixed GlobalAlloc
// block: a block of 256 KB or more is kept for a later read (the last two
// handed back, at most 64 MB together; older ones are freed), a smaller one
// is freed at once. Null is ignored. Any thread may call it.
void FreeImageBlock(void* block);

int GetImageError(void);
// The text of an error code ("Unknown error" outside 1 to 57).
const char* GetImageErrorText(int code);
// Installs the calling thread's progress hook (null removes it).
void SetImageProgressHook(ImageProgressHook hook, int user);

#ifdef _WIN32
BYTE* HBitmapToRgb(HBITMAP bitmap, int* width, int* height, HDC dc, HPALETTE palette);
BYTE* DcToRgb(HDC dc, int x, int y, int width, int height);
HBITMAP RgbToHBitmap(const BYTE* pixels, int width, int height, HPALETTE palette,
                     HDC dc);
BOOL DrawImage(HDC dc, const BYTE* pixels, int width, int height, int x, int y,
               int outWidth, int outHeight, HPALETTE palette);
BOOL DrawImageTransparent(HDC dc, const BYTE* pixels, int width, int height, int x,
                          int y, COLORREF key);
#endif

}  // extern "C"
