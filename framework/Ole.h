// OLE data transfer for the user interface layer: data sources that offer
// formats now or render them when asked (for the clipboard and for drags),
// the drop source that decides when a drag ends and which cursor it shows,
// the data object a paste or a drop reads from, and the drop target a
// window registers so that drags over it reach its view's virtuals. The
// plain clipboard (open, empty, put a block, read a block) is here too,
// with CSharedFile as the way blocks are written and read.
//
// Each COM interface is a small reference-counted object of its own that
// points back to its owner; the owner cuts that link when it goes, so a
// late call from the system (a clipboard flush, a drop target left
// registered) finds a refusal, not freed memory. No exception leaves a COM
// method: each catches, traces and answers with a failure code.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "framework/Geometry.h"

class CFile;
class CSharedFile;
class CWnd;
class CView;

// Starts OLE (drag and drop, the OLE clipboard) on the calling thread, the
// user-interface thread; the application calls it from InitInstance. True
// when OLE is ready (also when it already was). AfxOleTerm ends it again
// on the same thread, once for every successful AfxOleInit.
bool AfxOleInit();
void AfxOleTerm();

// The effect a drop target answered, reduced to what the source allows:
// one of copy, move and link, or none. A move the source does not allow
// becomes a copy when it allows copying (a target that moves within itself
// copies from a source that only lends); any other refused effect is none.
// The scroll bit passes through.
DWORD FilterDropEffect(DWORD wanted, DWORD allowed);

// A global memory block owned by the object, freed with it unless released.
class CGlobalBlock {
 public:
  CGlobalBlock() = default;
  explicit CGlobalBlock(HGLOBAL block) : m_block(block) {}
  ~CGlobalBlock() { Reset(); }
  CGlobalBlock(const CGlobalBlock&) = delete;
  CGlobalBlock& operator=(const CGlobalBlock&) = delete;
  CGlobalBlock(CGlobalBlock&& other) noexcept : m_block(other.Release()) {}
  CGlobalBlock& operator=(CGlobalBlock&& other) noexcept {
    Reset(other.Release());
    return *this;
  }

  HGLOBAL Get() const { return m_block; }
  HGLOBAL Release() {
    HGLOBAL block = m_block;
    m_block = nullptr;
    return block;
  }
  void Reset(HGLOBAL block = nullptr);

 private:
  HGLOBAL m_block = nullptr;
};

// A copy of a global block (moveable, shareable); null when it cannot be made.
HGLOBAL CopyGlobalBlock(HGLOBAL block);

// The plain clipboard, open while the object lives.
class CClipboard {
 public:
  // Opens the clipboard for owner (null: the task); see IsOpen.
  explicit CClipboard(HWND owner);
  ~CClipboard();
  CClipboard(const CClipboard&) = delete;
  CClipboard& operator=(const CClipboard&) = delete;

  bool IsOpen() const { return m_open; }
  bool Empty();
  // Puts the block on the clipboard, which owns it from then on; when the
  // clipboard refuses it the block is freed here. True when it is there.
  static bool SetBlock(UINT format, HGLOBAL block);
  // Puts what the file wrote on the clipboard (the file is empty after).
  static bool SetFile(UINT format, CSharedFile& file);
  // The clipboard's block of that format, still the clipboard's (read it
  // through CSharedFile::SetHandle without ownership); null when none.
  static HGLOBAL GetBlock(UINT format);
  static bool IsFormatAvailable(UINT format) { return ::IsClipboardFormatAvailable(format) != FALSE; }

 private:
  bool m_open = false;
};

// The drop source of a drag: when the drag ends and which cursor it shows.
class COleDropSource {
 public:
  COleDropSource();
  virtual ~COleDropSource();
  COleDropSource(const COleDropSource&) = delete;
  COleDropSource& operator=(const COleDropSource&) = delete;

  // Called as the keys and buttons change: Escape, or the other mouse
  // button pressed, cancels (DRAGDROP_S_CANCEL); the button that started
  // the drag released drops (DRAGDROP_S_DROP); otherwise S_OK.
  virtual SCODE QueryContinueDrag(bool escapePressed, DWORD keyState);
  // Called with the effect the target answered; the default cursors
  // (DRAGDROP_S_USEDEFAULTCURSORS). A source with its own cursors sets one
  // and returns S_OK.
  virtual SCODE GiveFeedback(DWORD dropEffect);

  IDropSource* GetInterface() const;

 private:
  friend class COleDataSource;
  class XDropSource;
  XDropSource* m_pInterface;
  DWORD m_dwButtonDrop = MK_LBUTTON;  // the button whose release drops
  DWORD m_dwButtonCancel = MK_RBUTTON;
};

// The data of a copy or a drag: formats cached now (the source owns their
// blocks) or rendered when a reader asks (OnRender...). Only global memory
// is offered.
class COleDataSource {
 public:
  COleDataSource();
  virtual ~COleDataSource();
  COleDataSource(const COleDataSource&) = delete;
  COleDataSource& operator=(const COleDataSource&) = delete;

  // Offers format with this block, which the source owns from now on.
  void CacheGlobalData(CLIPFORMAT format, HGLOBAL block);
  // Offers format, rendered by OnRenderData when asked.
  void DelayRenderData(CLIPFORMAT format);
  // Offers nothing any more.
  void Empty();

  // Runs a drag of this data (the drag loop of the system); returns the
  // effect of the drop, or DROPEFFECT_NONE when it was cancelled or refused.
  DWORD DoDragDrop(DWORD allowedEffects, COleDropSource* source = nullptr);
  // Puts the source, which must be on the heap, on the OLE clipboard. True
  // when it is there: the clipboard owns it from then on, renders its
  // delayed formats as readers ask, and deletes it when it lets it go (a
  // new clipboard content, or AfxOleTerm's flush, which renders what is
  // left onto the plain clipboard). False: the source stays the caller's.
  bool SetClipboard();
  // Whether the source is the clipboard's now.
  bool IsClipboardOwner() const;

  // The source as a COM data object (no reference added).
  IDataObject* GetInterface() const;

 protected:
  // Called when a reader asks for a delayed format; fills the medium (the
  // reader frees it). The default offers global memory from
  // OnRenderGlobalData, else from what OnRenderFileData writes.
  virtual bool OnRenderData(const FORMATETC& format, STGMEDIUM* medium);
  // Renders the format into a new global block (the reader's then).
  virtual bool OnRenderGlobalData(const FORMATETC& format, HGLOBAL* block);
  // Renders the format by writing it into file (a shared memory file).
  virtual bool OnRenderFileData(const FORMATETC& format, CFile* file);

 private:
  class XDataObject;
  XDataObject* m_pInterface;
};

// A reader of data: a data object of a drop, or the clipboard's.
class COleDataObject {
 public:
  COleDataObject() = default;
  ~COleDataObject() { Release(); }
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  // Reads from dataObject (with its own reference).
  void Attach(IDataObject* dataObject);
  // Reads from the OLE clipboard; false when it cannot be had.
  bool AttachClipboard();
  void Release();
  IDataObject* GetInterface() const { return m_pObject; }

  bool IsDataAvailable(CLIPFORMAT format) const;
  // The data of the format as a block of the caller's; null when none.
  HGLOBAL GetGlobalData(CLIPFORMAT format) const;
  // The data of the format as a memory file to read (it owns the block);
  // null when none.
  std::unique_ptr<CFile> GetFileData(CLIPFORMAT format) const;

 private:
  IDataObject* m_pObject = nullptr;
};

// Decides when a drag near the edge of a window scrolls it: the cursor
// stays inside the inset band for the delay, then one scroll each interval.
class CDragScrollTimer {
 public:
  // The scroll code for the point: MAKEWORD(horizontal, vertical), each
  // SB_LINEUP/SB_LINEDOWN (left/right) or 0xFF for no scroll that way;
  // kNone when the point is not in the band.
  UINT HitTest(const RECT& client, POINT pt) const;
  // Whether a scroll is due at tick `now` while the point stays in the
  // band; the first call starts the delay.
  bool IsDue(DWORD now);
  void Reset() { m_bWaiting = false; }

  static const UINT kNone = 0xFFFF;
  int m_nInset = 11;
  DWORD m_nDelay = 50;
  DWORD m_nInterval = 50;

 private:
  bool m_bWaiting = false;
  DWORD m_enter = 0;
  DWORD m_last = 0;
  bool m_bScrolled = false;
};

// Drags over a registered window reach these virtuals; by default they go
// to the window's view (CView's OnDrag... virtuals), and anything else gets
// no drop. Points are in the window's client coordinates; effects are
// filtered (FilterDropEffect) against what the source allows.
class COleDropTarget {
 public:
  COleDropTarget();
  virtual ~COleDropTarget();
  COleDropTarget(const COleDropTarget&) = delete;
  COleDropTarget& operator=(const COleDropTarget&) = delete;

  bool Register(CWnd* wnd);
  // Called when the window goes (a view does it itself) or the target does.
  void Revoke();
  // The target registered on the window; null when none.
  static COleDropTarget* FromWindow(HWND hwnd);
  CWnd* GetWindow() const { return m_pWnd; }
  IDropTarget* GetInterface() const;

  virtual DWORD OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
  virtual DWORD OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
  virtual void OnDragLeave(CWnd* wnd);
  virtual bool OnDrop(CWnd* wnd, COleDataObject* data, DWORD dropEffect, CPoint point);
  // Called before each OnDragOver: DROPEFFECT_SCROLL when the window
  // scrolls (or is about to), else none.
  virtual DWORD OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);

  // When and how fast a drag near the window's edge scrolls it.
  CDragScrollTimer m_dragScroll;

 private:
  class XDropTarget;
  friend class XDropTarget;
  XDropTarget* m_pInterface;
  CWnd* m_pWnd = nullptr;
  HWND m_hWnd = nullptr;
  CView* m_pView = nullptr;  // the window's view, when it is one
};
