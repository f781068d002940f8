// OLE data transfer: the COM objects behind COleDataSource, COleDropSource
// and COleDropTarget, the data object reader, the plain clipboard and the
// timer of drag scrolling. Every COM method catches what the framework's
// virtuals throw (see AfxReportCaughtException) and answers with a failure
// code; nothing unwinds into ole32.
#include "framework/Ole.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "framework/DocView.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Wnd.h"

namespace {

int g_oleInits = 0;

// The window property that names the drop target registered on a window.
const char kTargetProp[] = "LwOleDropTarget";

// The formats this layer exchanges: global memory, the content aspect.
FORMATETC GlobalFormat(CLIPFORMAT format) {
  FORMATETC f = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return f;
}

// Reference counting shared by the interface objects: each is created with
// one reference, its owner's.
template <class Interface>
class CRefCounted : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

 protected:
  virtual ~CRefCounted() = default;

 private:
  LONG m_refs = 1;
};

}  // namespace

bool AfxOleInit() {
  const HRESULT hr = ::OleInitialize(nullptr);
  if (FAILED(hr)) return false;
  ++g_oleInits;
  return true;
}

void AfxOleTerm() {
  if (g_oleInits == 0) return;
  // What this program left on the OLE clipboard stays after it, rendered.
  if (g_oleInits == 1) ::OleFlushClipboard();
  --g_oleInits;
  ::OleUninitialize();
}

DWORD FilterDropEffect(DWORD wanted, DWORD allowed) {
  const DWORD scroll = wanted & DROPEFFECT_SCROLL;
  for (DWORD effect : {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_LINK}) {
    if ((wanted & effect) && (allowed & effect)) return effect | scroll;
  }
  if ((wanted & DROPEFFECT_MOVE) && (allowed & DROPEFFECT_COPY)) return DROPEFFECT_COPY | scroll;
  return DROPEFFECT_NONE | scroll;
}

void CGlobalBlock::Reset(HGLOBAL block) {
  if (m_block != nullptr && m_block != block) ::GlobalFree(m_block);
  m_block = block;
}

HGLOBAL CopyGlobalBlock(HGLOBAL block) {
  if (block == nullptr) return nullptr;
  const SIZE_T size = ::GlobalSize(block);
  CGlobalBlock copy(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size > 0 ? size : 1));
  if (copy.Get() == nullptr) return nullptr;
  const void* from = ::GlobalLock(block);
  void* to = ::GlobalLock(copy.Get());
  const bool copied = from != nullptr && to != nullptr;
  if (copied) memcpy(to, from, size);
  if (to != nullptr) ::GlobalUnlock(copy.Get());
  if (from != nullptr) ::GlobalUnlock(block);
  return copied ? copy.Release() : nullptr;
}

// ---------------------------------------------------------------------------
// The plain clipboard.

CClipboard::CClipboard(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}

CClipboard::~CClipboard() {
  if (m_open) ::CloseClipboard();
}

bool CClipboard::Empty() { return m_open && ::EmptyClipboard() != FALSE; }

bool CClipboard::SetBlock(UINT format, HGLOBAL block) {
  if (block == nullptr) return false;
  if (::SetClipboardData(format, block) != nullptr) return true;
  ::GlobalFree(block);  // refused: the block is still ours
  return false;
}

bool CClipboard::SetFile(UINT format, CSharedFile& file) {
  return SetBlock(format, static_cast<HGLOBAL>(file.Detach()));
}

HGLOBAL CClipboard::GetBlock(UINT format) { return ::GetClipboardData(format); }

// ---------------------------------------------------------------------------
// The drop source.

class COleDropSource::XDropSource : public CRefCounted<IDropSource> {
 public:
  explicit XDropSource(COleDropSource* owner) : m_pOwner(owner) {}
  void Detach() { m_pOwner = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override {
    if (m_pOwner == nullptr) return DRAGDROP_S_CANCEL;
    try {
      return m_pOwner->QueryContinueDrag(escape != FALSE, keyState);
    } catch (...) {
      AfxReportCaughtException("COleDropSource::QueryContinueDrag");
      return DRAGDROP_S_CANCEL;
    }
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    if (m_pOwner == nullptr) return DRAGDROP_S_USEDEFAULTCURSORS;
    try {
      return m_pOwner->GiveFeedback(effect);
    } catch (...) {
      AfxReportCaughtException("COleDropSource::GiveFeedback");
      return DRAGDROP_S_USEDEFAULTCURSORS;
    }
  }

 private:
  COleDropSource* m_pOwner;
};

COleDropSource::COleDropSource() : m_pInterface(new XDropSource(this)) {}

COleDropSource::~COleDropSource() {
  m_pInterface->Detach();
  m_pInterface->Release();
}

IDropSource* COleDropSource::GetInterface() const { return m_pInterface; }

SCODE COleDropSource::QueryContinueDrag(bool escapePressed, DWORD keyState) {
  if (escapePressed || (keyState & m_dwButtonCancel)) return DRAGDROP_S_CANCEL;
  if (!(keyState & m_dwButtonDrop)) return DRAGDROP_S_DROP;
  return S_OK;
}

SCODE COleDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---------------------------------------------------------------------------
// The data source.

class COleDataSource::XDataObject : public CRefCounted<IDataObject> {
 public:
  explicit XDataObject(COleDataSource* owner) : m_pOwner(owner) {}
  void Detach() { m_pOwner = nullptr; }
  // From now on the last reference deletes the owner.
  void OwnOwner() { m_bOwnsOwner = true; }

  void Offer(CLIPFORMAT format, HGLOBAL block) {
    for (Entry& entry : m_entries) {
      if (entry.format == format) {
        entry.block.Reset(block);
        return;
      }
    }
    m_entries.emplace_back();
    m_entries.back().format = format;
    m_entries.back().block.Reset(block);
  }
  void Empty() { m_entries.clear(); }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    memset(medium, 0, sizeof(*medium));
    const Entry* entry = nullptr;
    const HRESULT found = Find(*format, &entry);
    if (found != S_OK) return found;
    if (entry->block.Get() != nullptr) {  // cached: the reader gets a copy
      HGLOBAL copy = CopyGlobalBlock(entry->block.Get());
      if (copy == nullptr) return E_OUTOFMEMORY;
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = copy;
      return S_OK;
    }
    if (m_pOwner == nullptr) return DV_E_FORMATETC;  // the renderer is gone
    const FORMATETC asked = GlobalFormat(entry->format);
    try {
      if (m_pOwner->OnRenderData(asked, medium) && medium->tymed == TYMED_HGLOBAL &&
          medium->hGlobal != nullptr) {
        return S_OK;
      }
    } catch (...) {
      AfxReportCaughtException("COleDataSource::GetData");
    }
    ::ReleaseStgMedium(medium);
    memset(medium, 0, sizeof(*medium));
    return DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (medium->tymed != TYMED_HGLOBAL || medium->hGlobal == nullptr) return DV_E_TYMED;
    STGMEDIUM own;
    const HRESULT hr = GetData(format, &own);
    if (FAILED(hr)) return hr;
    HRESULT result = STG_E_MEDIUMFULL;
    const SIZE_T size = ::GlobalSize(own.hGlobal);
    if (::GlobalSize(medium->hGlobal) >= size) {
      const void* from = ::GlobalLock(own.hGlobal);
      void* to = ::GlobalLock(medium->hGlobal);
      if (from != nullptr && to != nullptr) {
        memcpy(to, from, size);
        result = S_OK;
      }
      if (to != nullptr) ::GlobalUnlock(medium->hGlobal);
      if (from != nullptr) ::GlobalUnlock(own.hGlobal);
    }
    ::ReleaseStgMedium(&own);
    return result;
  }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (format == nullptr) return E_INVALIDARG;
    const Entry* entry = nullptr;
    return Find(*format, &entry);
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override {
    if (in == nullptr || out == nullptr) return E_INVALIDARG;
    *out = *in;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const Entry& entry : m_entries) formats.push_back(GlobalFormat(entry.format));
    return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  struct Entry {
    CLIPFORMAT format = 0;
    CGlobalBlock block;  // null: rendered when asked
  };

  HRESULT Find(const FORMATETC& format, const Entry** found) const {
    for (const Entry& entry : m_entries) {
      if (entry.format != format.cfFormat) continue;
      if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
      if (!(format.tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
      *found = &entry;
      return S_OK;
    }
    return DV_E_FORMATETC;
  }

  ~XDataObject() override {
    if (m_bOwnsOwner && m_pOwner != nullptr) {
      COleDataSource* owner = m_pOwner;
      m_pOwner = nullptr;
      owner->m_pInterface = nullptr;  // already going
      try {
        delete owner;
      } catch (...) {
        AfxReportCaughtException("COleDataSource::~COleDataSource");
      }
    }
  }

  COleDataSource* m_pOwner;
  bool m_bOwnsOwner = false;
  std::vector<Entry> m_entries;
};

COleDataSource::COleDataSource() : m_pInterface(new XDataObject(this)) {}

COleDataSource::~COleDataSource() {
  if (m_pInterface == nullptr) return;  // deleted by its interface
  m_pInterface->Detach();
  m_pInterface->Release();
}

IDataObject* COleDataSource::GetInterface() const { return m_pInterface; }

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL block) {
  m_pInterface->Offer(format, block);
}

void COleDataSource::DelayRenderData(CLIPFORMAT format) { m_pInterface->Offer(format, nullptr); }

void COleDataSource::Empty() { m_pInterface->Empty(); }

DWORD COleDataSource::DoDragDrop(DWORD allowedEffects, COleDropSource* source) {
  COleDropSource defaultSource;
  if (source == nullptr) source = &defaultSource;
  // A drag started with the right button drops when that one is released.
  const bool right = (::GetKeyState(VK_RBUTTON) < 0) && !(::GetKeyState(VK_LBUTTON) < 0);
  source->m_dwButtonDrop = right ? MK_RBUTTON : MK_LBUTTON;
  source->m_dwButtonCancel = right ? MK_LBUTTON : MK_RBUTTON;
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr =
      ::DoDragDrop(GetInterface(), source->GetInterface(), allowedEffects, &effect);
  return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

bool COleDataSource::SetClipboard() {
  if (FAILED(::OleSetClipboard(GetInterface()))) return false;
  // The clipboard's reference keeps the source from now on.
  m_pInterface->OwnOwner();
  m_pInterface->Release();
  return true;
}

bool COleDataSource::IsClipboardOwner() const {
  return ::OleIsCurrentClipboard(GetInterface()) == S_OK;
}

bool COleDataSource::OnRenderData(const FORMATETC& format, STGMEDIUM* medium) {
  if (!(format.tymed & TYMED_HGLOBAL)) return false;
  HGLOBAL block = nullptr;
  if (!OnRenderGlobalData(format, &block) || block == nullptr) {
    CSharedFile file;
    if (!OnRenderFileData(format, &file)) return false;
    block = static_cast<HGLOBAL>(file.Detach());
    if (block == nullptr) return false;  // nothing written
  }
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return true;
}

bool COleDataSource::OnRenderGlobalData(const FORMATETC&, HGLOBAL*) { return false; }

bool COleDataSource::OnRenderFileData(const FORMATETC&, CFile*) { return false; }

// ---------------------------------------------------------------------------
// The data object reader.

void COleDataObject::Attach(IDataObject* dataObject) {
  if (dataObject != nullptr) dataObject->AddRef();
  Release();
  m_pObject = dataObject;
}

bool COleDataObject::AttachClipboard() {
  Release();
  IDataObject* clipboard = nullptr;
  if (FAILED(::OleGetClipboard(&clipboard)) || clipboard == nullptr) return false;
  m_pObject = clipboard;
  return true;
}

void COleDataObject::Release() {
  if (m_pObject != nullptr) m_pObject->Release();
  m_pObject = nullptr;
}

bool COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
  if (m_pObject == nullptr) return false;
  FORMATETC asked = GlobalFormat(format);
  return m_pObject->QueryGetData(&asked) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT format) const {
  if (m_pObject == nullptr) return nullptr;
  FORMATETC asked = GlobalFormat(format);
  STGMEDIUM medium = {};
  if (FAILED(m_pObject->GetData(&asked, &medium))) return nullptr;
  if (medium.tymed != TYMED_HGLOBAL) {
    ::ReleaseStgMedium(&medium);
    return nullptr;
  }
  if (medium.pUnkForRelease == nullptr) return medium.hGlobal;  // already the caller's
  HGLOBAL copy = CopyGlobalBlock(medium.hGlobal);  // the block stays its lender's
  ::ReleaseStgMedium(&medium);
  return copy;
}

std::unique_ptr<CFile> COleDataObject::GetFileData(CLIPFORMAT format) const {
  CGlobalBlock block(GetGlobalData(format));
  if (block.Get() == nullptr) return nullptr;
  std::unique_ptr<CSharedFile> file(new CSharedFile);
  file->SetHandle(block.Get(), true);
  if (file->GetBuffer() == nullptr) return nullptr;  // could not be locked: freed here
  block.Release();
  return file;
}

// ---------------------------------------------------------------------------
// Drag scrolling.

UINT CDragScrollTimer::HitTest(const RECT& client, POINT pt) const {
  if (!::PtInRect(&client, pt)) return kNone;
  UINT horizontal = 0xFF, vertical = 0xFF;
  if (pt.x < client.left + m_nInset) horizontal = SB_LINELEFT;
  else if (pt.x >= client.right - m_nInset) horizontal = SB_LINERIGHT;
  if (pt.y < client.top + m_nInset) vertical = SB_LINEUP;
  else if (pt.y >= client.bottom - m_nInset) vertical = SB_LINEDOWN;
  if (horizontal == 0xFF && vertical == 0xFF) return kNone;
  return MAKEWORD(horizontal, vertical);
}

bool CDragScrollTimer::IsDue(DWORD now) {
  if (!m_bWaiting) {
    m_bWaiting = true;
    m_bScrolled = false;
    m_enter = now;
  }
  if (now - m_enter < m_nDelay) return false;
  if (m_bScrolled && now - m_last < m_nInterval) return false;
  m_bScrolled = true;
  m_last = now;
  return true;
}

// ---------------------------------------------------------------------------
// The drop target.

class COleDropTarget::XDropTarget : public CRefCounted<IDropTarget> {
 public:
  explicit XDropTarget(COleDropTarget* owner) : m_pOwner(owner) {}
  void Detach() {
    m_pOwner = nullptr;
    m_data.Release();
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt,
                                      DWORD* effect) override {
    DWORD allowed = 0;
    if (!Begin(effect, &allowed)) return effect == nullptr ? E_INVALIDARG : S_OK;
    m_data.Attach(data);
    ResetScroll();
    try {
      *effect = FilterDropEffect(
          m_pOwner->OnDragEnter(m_pOwner->m_pWnd, &m_data, keyState, ClientPoint(pt)), allowed);
    } catch (...) {
      AfxReportCaughtException("COleDropTarget::DragEnter");
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override {
    DWORD allowed = 0;
    if (!Begin(effect, &allowed)) return effect == nullptr ? E_INVALIDARG : S_OK;
    try {
      const CPoint point = ClientPoint(pt);
      CWnd* wnd = m_pOwner->m_pWnd;
      const DWORD scroll = m_pOwner->OnDragScroll(wnd, keyState, point) & DROPEFFECT_SCROLL;
      *effect = FilterDropEffect(m_pOwner->OnDragOver(wnd, &m_data, keyState, point), allowed) |
                scroll;
    } catch (...) {
      AfxReportCaughtException("COleDropTarget::DragOver");
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    if (Ready()) {
      try {
        m_pOwner->OnDragLeave(m_pOwner->m_pWnd);
      } catch (...) {
        AfxReportCaughtException("COleDropTarget::DragLeave");
      }
      ResetScroll();
    }
    m_data.Release();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt,
                                 DWORD* effect) override {
    DWORD allowed = 0;
    if (!Begin(effect, &allowed)) return effect == nullptr ? E_INVALIDARG : S_OK;
    m_data.Attach(data);
    try {
      // The keys may have changed since the last drag over: ask once more.
      const CPoint point = ClientPoint(pt);
      CWnd* wnd = m_pOwner->m_pWnd;
      DWORD dropped =
          FilterDropEffect(m_pOwner->OnDragOver(wnd, &m_data, keyState, point), allowed) &
          ~DROPEFFECT_SCROLL;
      if (dropped == DROPEFFECT_NONE) {
        m_pOwner->OnDragLeave(wnd);
      } else if (!m_pOwner->OnDrop(wnd, &m_data, dropped, point)) {
        dropped = DROPEFFECT_NONE;
      }
      *effect = dropped;
    } catch (...) {
      AfxReportCaughtException("COleDropTarget::Drop");
    }
    ResetScroll();
    m_data.Release();
    return S_OK;
  }

 private:
  bool Ready() const { return m_pOwner != nullptr && m_pOwner->m_pWnd != nullptr; }
  // Takes what the source allows out of *effect, which answers none until
  // a handler says more; false when there is nobody to ask.
  bool Begin(DWORD* effect, DWORD* allowed) const {
    if (effect == nullptr) return false;
    *allowed = *effect;
    *effect = DROPEFFECT_NONE;
    return Ready();
  }
  CPoint ClientPoint(POINTL pt) const {
    POINT client = {pt.x, pt.y};
    ::ScreenToClient(m_pOwner->m_hWnd, &client);
    return CPoint(client.x, client.y);
  }
  void ResetScroll() { m_pOwner->m_dragScroll.Reset(); }

  COleDropTarget* m_pOwner;
  COleDataObject m_data;  // the data of the drag in progress
};

COleDropTarget::COleDropTarget() : m_pInterface(new XDropTarget(this)) {}

COleDropTarget::~COleDropTarget() {
  Revoke();
  m_pInterface->Detach();
  m_pInterface->Release();
}

IDropTarget* COleDropTarget::GetInterface() const { return m_pInterface; }

bool COleDropTarget::Register(CWnd* wnd) {
  Revoke();
  if (wnd == nullptr || !::IsWindow(wnd->GetSafeHwnd())) return false;
  if (FAILED(::RegisterDragDrop(wnd->GetSafeHwnd(), GetInterface()))) return false;
  m_pWnd = wnd;
  m_hWnd = wnd->GetSafeHwnd();
  m_pView = dynamic_cast<CView*>(wnd);
  ::SetPropA(m_hWnd, kTargetProp, this);
  return true;
}

COleDropTarget* COleDropTarget::FromWindow(HWND hwnd) {
  return hwnd ? static_cast<COleDropTarget*>(::GetPropA(hwnd, kTargetProp)) : nullptr;
}

void COleDropTarget::Revoke() {
  if (m_pWnd == nullptr) return;
  if (::IsWindow(m_hWnd)) {
    ::RevokeDragDrop(m_hWnd);
    if (FromWindow(m_hWnd) == this) ::RemovePropA(m_hWnd, kTargetProp);
  }
  m_pWnd = nullptr;
  m_pView = nullptr;
  m_hWnd = nullptr;
}

DWORD COleDropTarget::OnDragEnter(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
  return m_pView != nullptr ? m_pView->OnDragEnter(data, keyState, point) : DROPEFFECT_NONE;
}

DWORD COleDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
  return m_pView != nullptr ? m_pView->OnDragOver(data, keyState, point) : DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*) {
  if (m_pView != nullptr) m_pView->OnDragLeave();
}

bool COleDropTarget::OnDrop(CWnd*, COleDataObject* data, DWORD dropEffect, CPoint point) {
  return m_pView != nullptr && m_pView->OnDrop(data, dropEffect, point);
}

DWORD COleDropTarget::OnDragScroll(CWnd*, DWORD keyState, CPoint point) {
  return m_pView != nullptr ? m_pView->OnDragScroll(keyState, point) : DROPEFFECT_NONE;
}
