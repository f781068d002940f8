// Image lists: creation, pictures in and out, dragging, and the archive
// form through a stream over the archive.
#include "framework/ImageList.h"

#include "framework/Archive.h"
#include "framework/Exceptions.h"

namespace {

// The stream the system's image-list reader and writer see: reads and
// writes go straight to the archive, which keeps its own position, so what
// the archive holds around the list stays where it is. Lives on the
// caller's stack for one call; reference counts are kept but never free.
class CArchiveStream : public IStream {
 public:
  explicit CArchiveStream(CArchive& ar) : m_ar(ar) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) ||
        IsEqualIID(iid, IID_IStream)) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

  // A short read is what the reader sees at the end of the data; an
  // archive that fails answers with an error, never with an exception
  // through the system's code.
  template <class F>
  static bool Guarded(F io) {
    try {
      io();
      return true;
    } catch (CException* e) {
      e->Delete();
    } catch (...) {
    }
    return false;
  }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* done) override {
    ULONG got = 0;
    if (!Guarded([&] { got = m_ar.Read(buffer, count); })) {
      if (done) *done = 0;
      return STG_E_READFAULT;
    }
    m_position += got;
    if (done) *done = got;
    return got == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* done) override {
    if (!Guarded([&] { m_ar.Write(buffer, count); })) {
      if (done) *done = 0;
      return STG_E_WRITEFAULT;
    }
    m_position += count;
    if (done) *done = count;
    return S_OK;
  }
  // Only the position can be asked for: an archive does not seek.
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                 ULARGE_INTEGER* position) override {
    if (move.QuadPart != 0 || origin != STREAM_SEEK_CUR) return STG_E_INVALIDFUNCTION;
    if (position) position->QuadPart = m_position;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return E_POINTER;
    ZeroMemory(stat, sizeof *stat);
    stat->type = STGTY_STREAM;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  CArchive& m_ar;
  ULONG m_refs = 1;
  ULONGLONG m_position = 0;
};

HINSTANCE ModuleInstance(HINSTANCE instance) {
  return instance ? instance : ::GetModuleHandleA(nullptr);
}

}  // namespace

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  return Attach(::ImageList_Create(cx, cy, flags, initial, grow));
}

bool CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask, HINSTANCE instance) {
  return Attach(::ImageList_LoadImageA(ModuleInstance(instance), MAKEINTRESOURCEA(bitmapId), cx,
                                       grow, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

bool CImageList::Attach(HIMAGELIST list) {
  if (!list) return false;
  if (list != m_list) DeleteImageList();
  m_list = list;
  return true;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST list = m_list;
  m_list = nullptr;
  return list;
}

bool CImageList::DeleteImageList() {
  if (!m_list) return false;
  const bool ok = ::ImageList_Destroy(m_list) != FALSE;
  m_list = nullptr;
  return ok;
}

int CImageList::GetImageCount() const { return m_list ? ::ImageList_GetImageCount(m_list) : 0; }

CSize CImageList::GetImageSize() const {
  int cx = 0, cy = 0;
  if (m_list) ::ImageList_GetIconSize(m_list, &cx, &cy);
  return CSize(cx, cy);
}

COLORREF CImageList::SetBkColor(COLORREF colour) { return ::ImageList_SetBkColor(m_list, colour); }

int CImageList::Add(HBITMAP bitmap, COLORREF mask) {
  return m_list && bitmap ? ::ImageList_AddMasked(m_list, bitmap, mask) : -1;
}

int CImageList::Add(HBITMAP bitmap, HBITMAP maskBitmap) {
  return m_list && bitmap ? ::ImageList_Add(m_list, bitmap, maskBitmap) : -1;
}

int CImageList::Add(HICON icon) {
  return m_list && icon ? ::ImageList_ReplaceIcon(m_list, -1, icon) : -1;
}

bool CImageList::Remove(int image) { return ::ImageList_Remove(m_list, image) != FALSE; }

bool CImageList::Draw(HDC dc, int image, CPoint pt, UINT style) const {
  return ::ImageList_Draw(m_list, image, dc, pt.x, pt.y, style) != FALSE;
}

bool CImageList::BeginDrag(int image, CPoint hotSpot) {
  return ::ImageList_BeginDrag(m_list, image, hotSpot.x, hotSpot.y) != FALSE;
}

bool CImageList::DragEnter(HWND lock, CPoint pt) {
  return ::ImageList_DragEnter(lock, pt.x, pt.y) != FALSE;
}

bool CImageList::DragMove(CPoint pt) { return ::ImageList_DragMove(pt.x, pt.y) != FALSE; }

bool CImageList::DragLeave(HWND lock) { return ::ImageList_DragLeave(lock) != FALSE; }

bool CImageList::DragShowNolock(bool show) { return ::ImageList_DragShowNolock(show) != FALSE; }

void CImageList::EndDrag() { ::ImageList_EndDrag(); }

bool CImageList::SetDragCursorImage(int image, CPoint hotSpot) {
  return ::ImageList_SetDragCursorImage(m_list, image, hotSpot.x, hotSpot.y) != FALSE;
}

bool CImageList::Write(CArchive& ar) const {
  if (!m_list) return false;
  CArchiveStream stream(ar);
  return ::ImageList_Write(m_list, &stream) != FALSE;
}

bool CImageList::Read(CArchive& ar) {
  DeleteImageList();
  CArchiveStream stream(ar);
  return Attach(::ImageList_Read(&stream));
}
