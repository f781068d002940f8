// The system as the script model's reading and writing see it when they
// are built natively for fuzzing: the types, structures and constants they
// name, and every system call as a stand-in that does nothing and answers
// zero (null handles, failures), but for memory blocks, which are real.
// Reading and writing a document calls none of the others; the drawing and
// playing code that shares the sources only has to compile.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <stdarg.h>
#include <stdio.h>

// The decoding core's own stand-ins: basic types, memory blocks, locks.
#include "imaging/ImageCompat.h"

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef uint32_t ULONG;
typedef BYTE* LPBYTE;
typedef char CHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef int16_t SHORT;
typedef int INT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef void* LPVOID;
typedef UINT MMRESULT;
#define LW_NATIVE_HANDLE(name) typedef struct name##__* name
LW_NATIVE_HANDLE(HWND);
LW_NATIVE_HANDLE(HDC);
LW_NATIVE_HANDLE(HBITMAP);
LW_NATIVE_HANDLE(HBRUSH);
LW_NATIVE_HANDLE(HPEN);
LW_NATIVE_HANDLE(HFONT);
LW_NATIVE_HANDLE(HPALETTE);
LW_NATIVE_HANDLE(HRGN);
LW_NATIVE_HANDLE(HICON);
LW_NATIVE_HANDLE(HCURSOR);
LW_NATIVE_HANDLE(HINSTANCE);
LW_NATIVE_HANDLE(HMENU);
LW_NATIVE_HANDLE(HKEY);
LW_NATIVE_HANDLE(HTREEITEM);
LW_NATIVE_HANDLE(HIMAGELIST);
LW_NATIVE_HANDLE(HWAVEOUT);
LW_NATIVE_HANDLE(HACMSTREAM);
typedef HINSTANCE HMODULE;

#define MAX_PATH 260
#define LF_FACESIZE 32
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define HGDI_ERROR ((HGDIOBJ)(intptr_t)-1)

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
struct RECT {
  LONG left, top, right, bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
struct POINT {
  LONG x, y;
};
struct SIZE {
  LONG cx, cy;
};
union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  LONGLONG QuadPart;
};
struct LOGFONTA {
  LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
  BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision,
      lfQuality, lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};
struct TEXTMETRICA {
  LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth,
      tmMaxCharWidth, tmWeight, tmOverhang, tmDigitizedAspectX, tmDigitizedAspectY;
  BYTE tmFirstChar, tmLastChar, tmDefaultChar, tmBreakChar, tmItalic, tmUnderlined, tmStruckOut,
      tmPitchAndFamily, tmCharSet;
};
struct BITMAP {
  LONG bmType, bmWidth, bmHeight, bmWidthBytes;
  WORD bmPlanes, bmBitsPixel;
  LPVOID bmBits;
};
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth, biHeight;
  WORD biPlanes, biBitCount;
  DWORD biCompression, biSizeImage;
  LONG biXPelsPerMeter, biYPelsPerMeter;
  DWORD biClrUsed, biClrImportant;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
struct PALETTEENTRY {
  BYTE peRed, peGreen, peBlue, peFlags;
};
struct LOGPALETTE {
  WORD palVersion, palNumEntries;
  PALETTEENTRY palPalEntry[1];
};
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
struct SYSTEMTIME {
  WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct FILETIME {
  DWORD dwLowDateTime, dwHighDateTime;
};
struct SHFILEINFOA {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  CHAR szDisplayName[MAX_PATH];
  CHAR szTypeName[80];
};
struct SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb, lpFile, lpParameters, lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  HANDLE hProcess;
};
struct WAVEFORMATEX {
  WORD wFormatTag, nChannels;
  DWORD nSamplesPerSec, nAvgBytesPerSec;
  WORD nBlockAlign, wBitsPerSample, cbSize;
};
struct MPEGLAYER3WAVEFORMAT {
  WAVEFORMATEX wfx;
  WORD wID;
  DWORD fdwFlags;
  WORD nBlockSize, nFramesPerBlock, nCodecDelay;
};
struct WAVEHDR {
  LPSTR lpData;
  DWORD dwBufferLength, dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags, dwLoops;
};
struct ACMSTREAMHEADER {
  DWORD cbStruct, fdwStatus;
  LPBYTE pbSrc;
  DWORD cbSrcLength, cbSrcLengthUsed;
  LPBYTE pbDst;
  DWORD cbDstLength, cbDstLengthUsed;
};
#define RGB(r, g, b) \
  ((COLORREF)(((BYTE)(r)) | ((DWORD)((BYTE)(g)) << 8) | ((DWORD)((BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)((c) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
#define MAKEINTRESOURCEA(i) ((LPSTR)(ULONG_PTR)(WORD)(i))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xffff))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))

// Every constant the shared sources name; the values do not matter to
// reading, only that they differ where the code compares them.
enum : unsigned {
  NO_ERROR = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_PATH_NOT_FOUND, ERROR_TOO_MANY_OPEN_FILES,
  ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, ERROR_INVALID_DRIVE = 15, ERROR_CURRENT_DIRECTORY,
  ERROR_WRITE_PROTECT = 19, ERROR_CRC = 23, ERROR_SEEK = 25, ERROR_WRITE_FAULT = 29,
  ERROR_READ_FAULT, ERROR_SHARING_VIOLATION = 32, ERROR_LOCK_VIOLATION, ERROR_HANDLE_EOF = 38,
  ERROR_HANDLE_DISK_FULL, ERROR_CANNOT_MAKE = 82, ERROR_NEGATIVE_SEEK = 131,
  ERROR_DISK_FULL = 112, ERROR_INVALID_NAME = 123, ERROR_BAD_PATHNAME = 161,
};
enum : unsigned {
  GMEM_MOVEABLE = 2, GHND = 0x42,
  GENERIC_READ = 0x80000000u, GENERIC_WRITE = 0x40000000u, FILE_SHARE_READ = 1,
  FILE_SHARE_WRITE = 2, OPEN_EXISTING = 3, CREATE_ALWAYS = 2, OPEN_ALWAYS = 4, FILE_BEGIN = 0,
  FILE_CURRENT = 1, FILE_END = 2, FILE_ATTRIBUTE_NORMAL = 0x80,
  SRCCOPY = 0xCC0020, SRCPAINT = 0xEE0086, SRCAND = 0x8800C6, BLACKNESS = 0x42,
  WHITENESS = 0xFF0062, PATCOPY = 0xF00021, PATINVERT = 0x5A0049, DSTINVERT = 0x550009,
  NOTSRCCOPY = 0x330008, SRCINVERT = 0x660046, MERGECOPY = 0xC000CA,
};
enum {
  DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8, DT_WORDBREAK = 16,
  DT_SINGLELINE = 32, DT_EXPANDTABS = 64, DT_NOCLIP = 256, DT_CALCRECT = 1024,
  DT_NOPREFIX = 2048,
  PS_SOLID = 0, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL,
  TRANSPARENT = 1, OPAQUE = 2, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
  RASTERCAPS = 38, SIZEPALETTE = 104, RC_PALETTE = 0x100,
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8, COLOR_BTNFACE = 15,
  MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_ICONHAND = 0x10, MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40, MB_ICONASTERISK = 0x40, MB_TASKMODAL = 0x2000,
  MB_SETFOREGROUND = 0x10000,
  IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7,
  SHGFI_DISPLAYNAME = 0x200, SW_SHOWNORMAL = 1, SW_SHOW = 5,
  BLACK_BRUSH = 4, WHITE_BRUSH = 0, NULL_BRUSH = 5, BLACK_PEN = 7, WHITE_PEN = 6,
  DEFAULT_GUI_FONT = 17, SYSTEM_FONT = 13, ANSI_VAR_FONT = 12,
  HALFTONE = 4, COLORONCOLOR = 3, BI_RGB = 0, DIB_RGB_COLORS = 0,
  FW_NORMAL = 400, FW_BOLD = 700, DEFAULT_CHARSET = 1, ANSI_CHARSET = 0,
  OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0, DEFAULT_PITCH = 0,
  FF_DONTCARE = 0, WM_USER = 0x400, WM_QUIT = 0x12, WM_TIMER = 0x113, WM_PAINT = 0xF,
  PM_REMOVE = 1, PM_NOREMOVE = 0, INFINITE_WAIT = -1, WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258,
  THREAD_PRIORITY_NORMAL = 0, THREAD_PRIORITY_BELOW_NORMAL = -1, THREAD_PRIORITY_LOWEST = -2,
  THREAD_PRIORITY_ABOVE_NORMAL = 1, THREAD_PRIORITY_HIGHEST = 2, THREAD_PRIORITY_IDLE = -15,
  THREAD_PRIORITY_TIME_CRITICAL = 15, RGN_AND = 1, NULLREGION = 1, ERROR = 0,
  OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
  OBJ_REGION = 8, OBJ_MEMDC = 10, OBJ_EXTPEN = 11, ETO_OPAQUE = 2,
  WAVE_FORMAT_PCM = 1, WAVE_FORMAT_MPEGLAYER3 = 0x55, MPEGLAYER3_WFX_EXTRA_BYTES = 12,
  MPEGLAYER3_ID_MPEG = 1, MPEGLAYER3_FLAG_PADDING_OFF = 2, WAVE_MAPPER = -1,
  CALLBACK_FUNCTION = 0x30000, WOM_DONE = 0x3BD, MMSYSERR_NOERROR = 0, WHDR_PREPARED = 2,
  WHDR_DONE = 1, ACM_STREAMOPENF_NONREALTIME = 4, ACM_STREAMSIZEF_SOURCE = 0,
  ACM_STREAMCONVERTF_BLOCKALIGN = 4, ACM_STREAMCONVERTF_START = 0x10,
  ACM_STREAMCONVERTF_END = 0x20, ACMSTREAMHEADER_STATUSF_PREPARED = 0x20000,
};
#define INFINITE 0xFFFFFFFFu

// Memory blocks are real: the document's pictures and media live in them.
inline LPVOID GlobalLock(HGLOBAL block) { return block; }
inline BOOL GlobalUnlock(HGLOBAL) { return TRUE; }
inline int lstrlenA(LPCSTR s) { return s ? static_cast<int>(strlen(s)) : 0; }
inline LPSTR lstrcpynA(LPSTR to, LPCSTR from, int n) {
  if (n <= 0) return to;
  strncpy(to, from ? from : "", n - 1);
  to[n - 1] = 0;
  return to;
}
inline LPSTR lstrcatA(LPSTR to, LPCSTR from) { return strcat(to, from); }
inline int lstrcmpiA(LPCSTR a, LPCSTR b) { return strcasecmp(a, b); }
inline int _strnicmp(const char* a, const char* b, size_t n) { return strncasecmp(a, b, n); }
inline int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }
inline int _vsnprintf(char* out, size_t n, const char* format, va_list args) {
  return vsnprintf(out, n, format, args);
}
inline int MulDiv(int a, int b, int c) {
  return c ? static_cast<int>(static_cast<int64_t>(a) * b / c) : -1;
}

// Whatever a stand-in returns: zero of the type it is taken as.
namespace lw_native {
struct Zero {
  template <class T>
  operator T() const {
    return T();
  }
};
template <class T>
bool operator==(Zero, const T& v) {
  return T() == v;
}
template <class T>
bool operator!=(Zero, const T& v) {
  return T() != v;
}
template <class T>
bool operator==(const T& v, Zero) {
  return T() == v;
}
template <class T>
bool operator!=(const T& v, Zero) {
  return T() != v;
}
}  // namespace lw_native
#define LW_NATIVE_STUB(name)                  \
  template <class... Args>                     \
  inline lw_native::Zero name(Args&&...) {     \
    return {};                                 \
  }

#include "stubs.inc"
