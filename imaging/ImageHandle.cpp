// Source and destination handles over files and memory blocks. Every open
// handle is on a registry, so that a handle is known valid by membership
// rather than by probing memory, and a second close is refused instead of
// freeing twice. Memory positions are checked in 64 bits.
#include <string.h>

#include "imaging/ImageInternal.h"

namespace {

#ifdef _WIN32
int Seek64(FILE* f, int64_t offset, int origin) { return _fseeki64(f, offset, origin); }
int64_t Tell64(FILE* f) { return _ftelli64(f); }
#else
int Seek64(FILE* f, int64_t offset, int origin) { return fseeko(f, offset, origin); }
int64_t Tell64(FILE* f) { return ftello(f); }
#endif

class HandleRegistry {
 public:
  HandleRegistry() : head_(nullptr) { InitializeCriticalSection(&lock_); }
  ~HandleRegistry() { DeleteCriticalSection(&lock_); }

  void Add(ImageHandle* h) {
    EnterCriticalSection(&lock_);
    h->nextLive = head_;
    head_ = h;
    LeaveCriticalSection(&lock_);
  }
  bool Contains(const ImageHandle* h) {
    EnterCriticalSection(&lock_);
    const ImageHandle* p = head_;
    while (p && p != h) p = p->nextLive;
    LeaveCriticalSection(&lock_);
    return p != nullptr;
  }
  // Takes the handle off the registry; false when it was not on it.
  bool Remove(ImageHandle* h) {
    EnterCriticalSection(&lock_);
    ImageHandle** link = &head_;
    while (*link && *link != h) link = &(*link)->nextLive;
    bool found = *link != nullptr;
    if (found) *link = h->nextLive;
    LeaveCriticalSection(&lock_);
    return found;
  }

 private:
  ImageHandle* head_;
  CRITICAL_SECTION lock_;
};

HandleRegistry g_handles;

ImageHandle* NewHandle(ImageCall& call) {
  ImageHandle* h = static_cast<ImageHandle*>(GlobalAlloc(GPTR, sizeof(ImageHandle)));
  if (!h) call.SetError(kImgNoMemory);
  return h;
}

void Publish(ImageHandle* h) {
  h->headMagic = kHandleHeadMagic;
  h->tailMagic = kHandleTailMagic;
  g_handles.Add(h);
}

ImageHandle* OpenFile(const char* path, bool dest) {
  ImageCall call;
  if (!call) return nullptr;
  ImageHandle* h = NewHandle(call);
  if (!h) return nullptr;
  FILE* f = (path && *path) ? fopen(path, dest ? "wb+" : "rb") : nullptr;
  if (!f) {
    GlobalFree(h);
    call.SetError(kImgFileOpen);
    return nullptr;
  }
  h->file = f;
  h->kind = kHandleFile;
  strncpy(h->path, path, sizeof(h->path) - 1);
  h->writable = dest ? 1 : 0;
  Publish(h);
  return h;
}

bool HandleClose(ImageHandle* h) {
  if (h->kind != kHandleFile) return true;
  bool ok = fclose(h->file) == 0;
  h->file = nullptr;
  return ok;
}

// Takes the handle off the registry and frees it; 0 when it was not open.
bool Retire(ImageHandle* h) {
  if (!g_handles.Remove(h)) return false;
  HandleClose(h);
  h->headMagic = h->tailMagic = 0;
  GlobalFree(h);
  return true;
}

}  // namespace

bool IsValidHandle(const ImageHandle* h) {
  if (!h || !g_handles.Contains(h)) return false;
  if (h->headMagic != kHandleHeadMagic || h->tailMagic != kHandleTailMagic) return false;
  if (h->kind == kHandleFile) return h->file != nullptr;
  if (h->kind == kHandleMemory) return h->memBase && h->memSize;
  return false;
}

int CheckHandle(const ImageHandle* h) {
  if (!h) return kImgBadParam;
  return IsValidHandle(h) ? kImgOk : kImgBadHandle;
}

size_t HandleRead(ImageHandle* h, void* buffer, size_t count) {
  if (h->kind == kHandleFile) return fread(buffer, 1, count, h->file);
  size_t left = h->memSize - h->position;
  if (count > left) count = left;
  memcpy(buffer, h->memBase + h->position, count);
  h->position += static_cast<DWORD>(count);
  return count;
}

bool HandleReadExact(ImageHandle* h, void* buffer, size_t count) {
  return HandleRead(h, buffer, count) == count;
}

bool HandleWrite(ImageHandle* h, const void* buffer, size_t size, size_t count) {
  if (!h->writable || h->kind != kHandleFile) return false;
  return fwrite(buffer, size, count, h->file) == count;
}

bool HandleSeek(ImageHandle* h, int64_t offset, int origin) {
  if (h->kind == kHandleFile) {
    if (origin < 0 || origin > 2) return false;
    return Seek64(h->file, offset, origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END) == 0;
  }
  int64_t target;
  if (origin == 0 || origin == 1) {
    target = origin == 0 ? offset : h->position + offset;
    if (target < 0 || target >= static_cast<int64_t>(h->memSize)) return false;
  } else if (origin == 2) {
    target = h->memSize + offset;
    if (offset > 0 || target < 0) return false;
  } else {
    return false;
  }
  h->position = static_cast<DWORD>(target);
  return true;
}

int64_t HandleTell(ImageHandle* h) {
  return h->kind == kHandleFile ? Tell64(h->file) : h->position;
}

int64_t HandleSize(ImageHandle* h) {
  if (h->kind != kHandleFile) return h->memSize;
  if (h->writable) fflush(h->file);
  int64_t here = Tell64(h->file);
  if (here < 0 || Seek64(h->file, 0, SEEK_END) != 0) return -1;
  int64_t size = Tell64(h->file);
  Seek64(h->file, here, SEEK_SET);
  return size;
}

bool HandleSkipTo(ImageHandle* h, int64_t position) {
  if (position < 0 || position > HandleSize(h)) return false;
  if (h->kind == kHandleFile) return Seek64(h->file, position, SEEK_SET) == 0;
  h->position = static_cast<DWORD>(position);
  return true;
}

extern "C" HPVSRC OpenFileSource(const char* path) { return OpenFile(path, false); }

extern "C" HPVDEST OpenFileDest(const char* path) { return OpenFile(path, true); }

extern "C" HPVSRC OpenMemorySource(const void* buffer, DWORD size) {
  ImageCall call;
  if (!call) return nullptr;
  ImageHandle* h = NewHandle(call);
  if (!h) return nullptr;
  if (!buffer || !size) {
    GlobalFree(h);
    call.SetError(kImgBadParam);
    return nullptr;
  }
  h->kind = kHandleMemory;
  h->memBase = static_cast<const BYTE*>(buffer);
  h->memSize = size;
  Publish(h);
  return h;
}

extern "C" BOOL SeekSource(HPVSRC src, LONG offset, int origin) {
  ImageCall call;
  if (!call) return FALSE;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return FALSE;
  }
  return HandleSeek(src, offset, origin);
}

extern "C" DWORD CloseSource(HPVSRC src) {
  ImageCall call;
  if (!call) return 0;
  if (int code = CheckHandle(src)) {
    call.SetError(code);
    return 0;
  }
  DWORD position = static_cast<DWORD>(HandleTell(src));
  Retire(src);
  return position;
}

extern "C" DWORD CloseDest(HPVDEST dest) {
  ImageCall call;
  if (!call) return 0;
  if (int code = CheckHandle(dest)) {
    call.SetError(code);
    return 0;
  }
  int64_t size = HandleSize(dest);
  Retire(dest);
  return size > 0 ? static_cast<DWORD>(size) : 0;
}
