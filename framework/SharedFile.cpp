// CSharedFile: a memory file in moveable global memory, kept locked while
// the file works on it. A file that writes hands its block over with
// Detach (to the clipboard, to a data object); a file that reads works over
// a block it may only borrow, since the clipboard's memory stays the
// clipboard's.
#include <windows.h>

#include "framework/Files.h"

CSharedFile::CSharedFile(unsigned growBytes) : CMemFile(growBytes) {}

CSharedFile::~CSharedFile() { Close(); }

uint8_t* CSharedFile::Alloc(size_t bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes);
  if (h == nullptr) return nullptr;
  uint8_t* p = static_cast<uint8_t*>(GlobalLock(h));
  if (p == nullptr) {
    GlobalFree(h);
    return nullptr;
  }
  m_hGlobal = h;
  return p;
}

uint8_t* CSharedFile::Realloc(uint8_t*, size_t bytes) {
  HGLOBAL old = static_cast<HGLOBAL>(m_hGlobal);
  GlobalUnlock(old);
  HGLOBAL h = GlobalReAlloc(old, bytes, GMEM_MOVEABLE);
  if (h == nullptr) {
    GlobalLock(old);  // the old block stays the file's
    return nullptr;
  }
  m_hGlobal = h;
  return static_cast<uint8_t*>(GlobalLock(h));
}

void CSharedFile::Free(uint8_t*) {
  if (m_hGlobal != nullptr) {
    GlobalUnlock(static_cast<HGLOBAL>(m_hGlobal));
    if (!m_bBorrowed) GlobalFree(static_cast<HGLOBAL>(m_hGlobal));
  }
  m_hGlobal = nullptr;
  m_bBorrowed = false;
}

void CSharedFile::Close() {
  // A borrowed block is attached without ownership, so the memory file
  // would only forget it: unlock it here and leave it to its owner.
  if (m_bBorrowed) Free(nullptr);
  CMemFile::Close();
}

void* CSharedFile::Detach() {
  HGLOBAL h = static_cast<HGLOBAL>(m_hGlobal);
  const uint64_t length = GetLength();
  if (h != nullptr) {
    GlobalUnlock(h);
    // Readers take the block's size for the data's: no stale tail.
    if (!m_bBorrowed && length > 0 && length < GlobalSize(h)) {
      if (HGLOBAL cut = GlobalReAlloc(h, static_cast<SIZE_T>(length), GMEM_MOVEABLE)) h = cut;
    }
  }
  m_hGlobal = nullptr;
  m_bBorrowed = false;
  CMemFile::Detach();
  return h;
}

void CSharedFile::SetHandle(void* hGlobal, bool owned) {
  Close();
  HGLOBAL h = static_cast<HGLOBAL>(hGlobal);
  uint8_t* p = h != nullptr ? static_cast<uint8_t*>(GlobalLock(h)) : nullptr;
  if (p == nullptr) return;
  m_hGlobal = h;
  SIZE_T size = GlobalSize(h);
  if (owned) {
    AttachOwned(p, size, size);
  } else {
    m_bBorrowed = true;
    Attach(p, static_cast<unsigned>(size));  // fixed size, never freed by the memory file
  }
}
