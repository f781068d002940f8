// CSharedFile: a memory file in moveable global memory, kept locked while
// the file works on it.
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
    GlobalFree(static_cast<HGLOBAL>(m_hGlobal));
  }
  m_hGlobal = nullptr;
}

void* CSharedFile::Detach() {
  void* h = m_hGlobal;
  if (h != nullptr) GlobalUnlock(static_cast<HGLOBAL>(h));
  m_hGlobal = nullptr;
  CMemFile::Detach();
  return h;
}

void CSharedFile::SetHandle(void* hGlobal) {
  Close();
  HGLOBAL h = static_cast<HGLOBAL>(hGlobal);
  uint8_t* p = h != nullptr ? static_cast<uint8_t*>(GlobalLock(h)) : nullptr;
  if (p == nullptr) return;
  m_hGlobal = h;
  SIZE_T size = GlobalSize(h);
  AttachOwned(p, size, size);
}
