// The image library's per-thread state (kept in thread-local storage, all
// states also on one process-wide list freed at exit), the error texts, and
// the small shared helpers: progress, blocks, blob lists, pixel buffers (with
// the few large ones kept for the next read) and the buffered byte reader.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

class ThreadStateSlot {
 public:
  ThreadStateSlot() : index_(TlsAlloc()), head_(nullptr) {
    InitializeCriticalSection(&lock_);
  }
  ~ThreadStateSlot() {
    if (index_ != TLS_OUT_OF_INDEXES) TlsFree(index_);
    EnterCriticalSection(&lock_);
    while (head_) {
      ImageThreadState* next = head_->next;
      BlobListClear(&head_->jpegCommentsRead);
      BlobListClear(&head_->jpegCommentsToWrite);
      BlobListClear(&head_->jpegMarkersRead);
      BlobListClear(&head_->jpegMarkersToWrite);
      FreeBlock(head_);
      head_ = next;
    }
    LeaveCriticalSection(&lock_);
    DeleteCriticalSection(&lock_);
  }

  ImageThreadState* Get() {
    if (index_ == TLS_OUT_OF_INDEXES) return nullptr;
    ImageThreadState* state = static_cast<ImageThreadState*>(TlsGetValue(index_));
    if (state) return state;
    state = static_cast<ImageThreadState*>(AllocZeroed(sizeof(ImageThreadState)));
    if (!state) return nullptr;
    state->pngScreenGamma = 2.9;
    state->pngGammaSwitch = 1;
    for (int i = 0; i < 10; ++i) state->jpegVSampling[i] = state->jpegHSampling[i] = 1;
    state->jpegSamplingCount = 10;
    state->jpegScaleNum = 1;
    state->jpegScaleDenom = 1;
    if (!TlsSetValue(index_, state)) {
      FreeBlock(state);
      return nullptr;
    }
    EnterCriticalSection(&lock_);
    state->next = head_;
    head_ = state;
    LeaveCriticalSection(&lock_);
    return state;
  }

 private:
  DWORD index_;
  ImageThreadState* head_;
  CRITICAL_SECTION lock_;
};

ThreadStateSlot g_slot;

const char* const kErrorTexts[] = {
    "out of memory",
    "error on file open",
    "error on file read",
    "error on file write",
    "bad user param",
    "bad BMP file",
    "some RLE variations are not supported",
    "reserved value",
    "bad JPG file",
    "error with device context",
    "problem with a GetDIBits call",
    "reserved value",
    "resource not found",
    "callback returned FALSE - operation aborted",
    "bad PNG file",
    "internal PNG lib behavior - contact",
    "misc unexpected behavior error - contact",
    "trouble creating a font object",
    "misc internal TIFF error",
    "invalid TIFF file",
    "this will not read TIFF-LZW images (note, unused error message)",
    "invalid PCX image",
    "a call to the fn CreateCompatibleBitmap failed",
    "end of an image while using single-line de/compression",
    "error during a call to GetDIBits",
    "device does not support an operation required by this function",
    "invalid windows metafile",
    "the file was not of the requested bit-depth",
    "a call to BitBlt failed.",
    "output buffer is too small for this operation",
    "not enough room in the output palette to store the colors from this image",
    "Invalid TGA File",
    "No TGA Thumbnail in the file",
    "reserved value ",
    "a call to the fn CreateDIBitmap failed",
    "LZW de/compression is not permitted",
    "a call to SelectObject has failed (DC does not support this operation?)",
    "the HPVSRC or HPVDEST object passed into the function does not appear to be valid",
    "the function is obsolete",
    "a call to CreateDIBSection failed",
    "a call to SetWinMetaFileBits failed (95/98 only)",
    "a call to GetEnhMetaFileBits or GetWinMetaFileBits failed",
    "apparently invalid JQW password",
    "invalid JQW file",
    "this function is not supported in this build (see DLL build options)",
    "invalid PSD (Photoshop) file",
    "this Photoshop sub-format is not supported",
    "decryption error - possible bad password for encrypted files",
    "encryption failed",
    "compression failed",
    "decompression error - possible bad password for encrypted files",
    "invalid XKV file. may indicate incorrect password",
    "invalid or unsupported WBMP (Wireless Bitmap) image.",
    "Pictavo does not support reading this TIFF tag",
    "Pictavo was not able to allocate thread-local storage. this is a severe low-mem",
    "invalid EXIF format",
    "no EXIF string was found with the given ID",
};
static_assert(sizeof(kErrorTexts) / sizeof(kErrorTexts[0]) == 57, "57 error texts");

}  // namespace

ImageThreadState* GetThreadState() { return g_slot.Get(); }

bool ProgressContinue(const ImageThreadState* state, int row, int rowCount) {
  if (!state->progressHook || state->nesting != 1) return true;
  return state->progressHook(row, rowCount, state->hookUser) != FALSE;
}


// ---- blocks kept for the next read or call --------------------------------
//
// The first write to each fresh page of a large block costs a page fault,
// and the heap gives every block of more than 64 KB fresh pages and returns
// them on free, at some hundreds of microseconds each here: at 1920 x 1080
// that is as much time again as decoding the picture, and a resize of a
// general scale wants several smaller work blocks every call. Pixel blocks
// handed back through FreeImageBlock are kept for the next read of about
// the same size, and the last few work blocks of 64 KB to 1 MB freed for the
// next call that wants about as much, whose writes then land on pages
// already mapped.

namespace {

struct KeptBlock {
  void* block;
  size_t size;
};

// Blocks kept, oldest first, at most `kSlots` (and `limit` bytes in all).
struct KeptList {
  static const int kSlots = 4;
  KeptBlock blocks[kSlots];
  int count;
  int slots;
  size_t limit;
  size_t smallest;  // blocks smaller than this are not kept
  size_t largest;
};

// Pixel blocks: two pictures of two sizes read by turns (a slide and the
// desktop capture), or two threads reading at once (the builder's window
// and its loader thread, the saver's scene thread); at most 64 MB in all,
// two pictures of 3840 x 2160, so that what an idle program holds stays
// bounded. Smaller blocks would only push out large ones.
KeptList g_pixels = {{}, 0, 2, 64u << 20, 256u << 10, 64u << 20};
// Work blocks: the few a call holds at once.
KeptList g_work = {{}, 0, 4, 4u << 20, 64u << 10, 1u << 20};

// A lock with a constant initialiser: no constructor or destructor runs for
// it, so it is valid at any point of start-up and shut-down. The kept
// blocks go back to the system with the process.
SRWLOCK g_keptLock = SRWLOCK_INIT;

class KeptLock {
 public:
  KeptLock() { AcquireSRWLockExclusive(&g_keptLock); }
  ~KeptLock() { ReleaseSRWLockExclusive(&g_keptLock); }
  KeptLock(const KeptLock&) = delete;
  KeptLock& operator=(const KeptLock&) = delete;
};

void DropKept(KeptList* list, int index) {
  for (int i = index + 1; i < list->count; ++i) list->blocks[i - 1] = list->blocks[i];
  --list->count;
}

// The smallest kept block of at least bytes and at most bytes / slack more
// (a block much larger would sit idle while a later, larger want needs it);
// null when none fits.
void* TakeKept(KeptList* list, size_t bytes, size_t slack) {
  KeptLock lock;
  int best = -1;
  for (int i = 0; i < list->count; ++i) {
    const size_t size = list->blocks[i].size;
    if (size >= bytes && size - bytes <= bytes / slack &&
        (best < 0 || size < list->blocks[best].size))
      best = i;
  }
  if (best < 0) return nullptr;
  void* block = list->blocks[best].block;
  DropKept(list, best);
  return block;
}

// Keeps a block handed back (freeing it when it is too small or too large
// to keep), pushing out the oldest: the kept blocks follow the sizes wanted
// now.
void Keep(KeptList* list, void* block) {
  if (!block) return;
  const size_t size = GlobalSize(block);
  if (size < list->smallest || size > list->largest) {
    GlobalFree(block);
    return;
  }
  KeptBlock dropped[KeptList::kSlots];
  int droppedCount = 0;
  {
    KeptLock lock;
    size_t total = size;
    for (int i = 0; i < list->count; ++i) total += list->blocks[i].size;
    while (list->count == list->slots || total > list->limit) {
      total -= list->blocks[0].size;
      dropped[droppedCount++] = list->blocks[0];
      DropKept(list, 0);
    }
    list->blocks[list->count++] = {block, size};
  }
  for (int i = 0; i < droppedCount; ++i) GlobalFree(dropped[i].block);
}

void EmptyKept(KeptList* list) {
  KeptBlock dropped[KeptList::kSlots];
  int count;
  {
    KeptLock lock;
    count = list->count;
    for (int i = 0; i < count; ++i) dropped[i] = list->blocks[i];
    list->count = 0;
  }
  for (int i = 0; i < count; ++i) GlobalFree(dropped[i].block);
}

}  // namespace

void* AllocZeroed(size_t bytes) {
  if (bytes >= g_work.smallest) {
    if (void* block = TakeKept(&g_work, bytes, 1)) {
      memset(block, 0, bytes);
      return block;
    }
  }
  return GlobalAlloc(GPTR, bytes ? bytes : 1);
}

void FreeBlock(void* block) { Keep(&g_work, block); }

void EmptyKeptPixelBlocks() {
  EmptyKept(&g_pixels);
  EmptyKept(&g_work);
}

extern "C" void FreeImageBlock(void* block) { Keep(&g_pixels, block); }

BYTE* AllocPixels(int64_t width, int64_t height, int bytesPerPixel, PixelContent content,
                  int badCode, int* code) {
  if (width <= 0 || height <= 0 || width * height > LW_IMAGE_MAX_PIXELS) {
    *code = badCode;
    return nullptr;
  }
  int64_t bytes = width * height * bytesPerPixel;
  if (bytes > 2147348478) {
    *code = kImgNoMemory;
    return nullptr;
  }
  size_t size = static_cast<size_t>(bytes);
  if (BYTE* kept = static_cast<BYTE*>(TakeKept(&g_pixels, size, 2))) {
    if (content == kPixelsZeroed) memset(kept, 0, size);
    return kept;
  }
  BYTE* pixels = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
  if (!pixels) *code = kImgNoMemory;
  return pixels;
}

bool BlobListAppend(ImageBlobList* list, int code, const void* data, DWORD size) {
  ImageBlob* blob = static_cast<ImageBlob*>(AllocZeroed(sizeof(ImageBlob) + size));
  if (!blob) return false;
  blob->code = code;
  blob->size = size;
  if (size) memcpy(blob->data, data, size);
  if (list->tail)
    list->tail->next = blob;
  else
    list->head = blob;
  list->tail = blob;
  return true;
}

void BlobListClear(ImageBlobList* list) {
  for (ImageBlob* blob = list->head; blob;) {
    ImageBlob* next = blob->next;
    FreeBlock(blob);
    blob = next;
  }
  list->head = list->tail = nullptr;
}

void ByteReaderInit(ByteReader* r, ImageHandle* h) {
  r->handle = h;
  r->pos = r->len = 0;
  r->eof = false;
}

int ByteReaderGet(ByteReader* r) {
  if (r->pos == r->len) {
    if (r->eof) return -1;
    r->len = HandleRead(r->handle, r->buffer, sizeof(r->buffer));
    r->pos = 0;
    if (r->len == 0) {
      r->eof = true;
      return -1;
    }
  }
  return r->buffer[r->pos++];
}

bool ByteReaderRead(ByteReader* r, BYTE* out, size_t count) {
  while (count) {
    if (r->pos == r->len) {
      if (ByteReaderGet(r) < 0) return false;
      --r->pos;
    }
    size_t n = r->len - r->pos;
    if (n > count) n = count;
    memcpy(out, r->buffer + r->pos, n);
    r->pos += n;
    out += n;
    count -= n;
  }
  return true;
}

void GreyRamp(RGBQUAD* palette) {
  for (int i = 0; i < 256; ++i) {
    palette[i].rgbBlue = palette[i].rgbGreen = palette[i].rgbRed = static_cast<BYTE>(i);
    palette[i].rgbReserved = 0;
  }
}

extern "C" int GetImageError(void) {
  ImageThreadState* state = GetThreadState();
  return state ? state->lastError : kImgNoThreadState;
}

extern "C" const char* GetImageErrorText(int code) {
  if (code < 1 || code > 57) return "Unknown error";
  return kErrorTexts[code - 1];
}

extern "C" void SetImageProgressHook(ImageProgressHook hook, int user) {
  ImageThreadState* state = GetThreadState();
  if (!state) return;
  state->progressHook = hook;
  state->hookUser = user;
}
