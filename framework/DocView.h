// Documents and views. A document holds the data of one file: its path and
// title, its modified flag, how it reads and writes itself (Serialize
// through an archive) and the views that show it. Saving goes through a
// temporary file beside the target that replaces the target only when the
// whole write succeeded. A view is a child window of a frame that shows a
// document; CCtrlView is a view whose window is a system control (a list
// box, a tree), CTreeView the tree one. Documents, views and frames are
// made on demand by the framework (templates, splitters) through a
// CFactory, the record of how to create an object of a given class.
#pragma once

#include <windows.h>

#include "framework/CmdTarget.h"
#include "framework/Collections.h"
#include "framework/Ole.h"
#include "framework/Strings.h"

class CArchive;
class CDocTemplate;
class CDocument;
class CException;
class CFrameWnd;
class CObject;
class CView;

// A class named for a factory: ClassOf<CMyView>().
template <class T>
struct CClassOf {};
template <class T>
constexpr CClassOf<T> ClassOf() {
  return CClassOf<T>();
}

// Creates objects of one class derived from Base, on the heap.
template <class Base>
class CFactory {
 public:
  CFactory() = default;
  template <class T>
  CFactory(CClassOf<T>) : m_create(&Make<T>) {}  // NOLINT: converts like a class name

  bool IsNull() const { return m_create == nullptr; }
  // A new object; null when the factory is empty.
  Base* Create() const { return m_create ? m_create() : nullptr; }

 private:
  template <class T>
  static Base* Make() {
    return new T;
  }
  Base* (*m_create)() = nullptr;
};

// What a frame's client creation needs: the view class, and the document
// and template the new views belong to.
struct CCreateContext {
  CFactory<CView> m_newViewClass;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

class CDocument : public CCmdTarget {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CDocument();
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  // Sets the title and updates the titles of the frames that show it.
  virtual void SetTitle(const char* title);
  const CString& GetPathName() const { return m_strPathName; }
  // Sets the full path, the title (the file name without its extension)
  // and, with addToMRU, puts the path first in the recent-file list.
  virtual void SetPathName(const char* path, bool addToMRU = true);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual bool IsModified() const { return m_bModified; }
  virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  // The views that show the document, in the order they were added.
  int GetViewCount() const { return m_views.GetSize(); }
  CView* GetView(int index) const { return static_cast<CView*>(m_views.GetAt(index)); }
  void AddView(CView* view);
  void RemoveView(CView* view);
  // Calls OnUpdate of every view but the sender.
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

  // Reads or writes the document's data.
  virtual void Serialize(CArchive& ar) {}
  // Empties the document's data; called before a new or opened document
  // fills it, and when the document closes.
  virtual void DeleteContents() {}

  // A new empty document: contents deleted, no path, not modified.
  virtual bool OnNewDocument();
  // Reads the file. False when it cannot be opened (nothing shown: the
  // caller names the path in its message) or when reading it fails (the
  // framework's message, then the document is emptied and untitled, so
  // that a save cannot overwrite the file with what is left).
  virtual bool OnOpenDocument(const char* path);
  // Writes the document to a temporary file in the target's folder and
  // replaces the target with it once the whole write has succeeded; a
  // failure leaves the target as it was, shows the framework's message and
  // returns false.
  virtual bool OnSaveDocument(const char* path);
  // Destroys the frames that show the document, empties it and, when it
  // deletes itself, deletes it.
  virtual void OnCloseDocument();

  // Asks "Save changes to <title>?" when the document is modified: Yes
  // saves (false when that fails), No goes on without saving, Cancel
  // returns false.
  virtual bool SaveModified();
  // Whether the frame may close: the save question, unless another frame
  // shows the document too.
  virtual bool CanCloseFrame(CFrameWnd* frame);
  // Saves to path, or (null) asks for a file name first; with replace the
  // document takes the new path.
  virtual bool DoSave(const char* path, bool replace = true);
  // Save: to the document's path, or Save As when it has none or the file
  // is read-only.
  virtual bool DoFileSave();

  // Shows why a read or write failed.
  virtual void ReportSaveLoadException(const char* path, CException* e, bool saving);

  // Deleted by OnCloseDocument (and by its template when the manager goes).
  bool m_bAutoDelete = true;

 protected:
  bool OnFileSave(UINT id);
  bool OnFileSaveAs(UINT id);

 private:
  friend class CDocTemplate;
  // The frames of the views, each once.
  void CollectFrames(CPtrArray& frames) const;
  void UpdateFrameTitles() const;

  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  bool m_bModified = false;
  CPtrArray m_views;
};

class CView : public CCmdWnd {
 public:
  CView() = default;
  ~CView() override;

  // Creates the view as a child of parent; the context's document takes
  // it as one of its views. On failure a view that deletes itself is gone.
  virtual bool Create(HWND parent, UINT id, CCreateContext* context,
                      DWORD style = WS_CHILD | WS_VISIBLE, const RECT* rect = nullptr);

  CDocument* GetDocument() const { return m_pDocument; }
  // The frame the view is in (through any splitter); null when none.
  CFrameWnd* GetParentFrame() const;

  // Called when the frame shows a new or opened document; calls OnUpdate.
  virtual void OnInitialUpdate();
  // Called by the document's UpdateAllViews; repaints the view.
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  // Paints the view's contents.
  virtual void OnDraw(HDC dc) {}
  // Called on the view that stops and the view that becomes the frame's
  // active view.
  virtual void OnActivateView(bool activate, CView* activateView, CView* deactiveView) {}

  // Drags over the view, from a drop target registered on it: points are
  // client coordinates, key states MK_ flags, effects DROPEFFECT_ values
  // (the target reduces them to what the source allows). The defaults
  // accept nothing.
  virtual DWORD OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point);
  virtual DWORD OnDragOver(COleDataObject* data, DWORD keyState, CPoint point);
  virtual void OnDragLeave() {}
  virtual bool OnDrop(COleDataObject* data, DWORD dropEffect, CPoint point);
  // Called before each OnDragOver: near an edge the view can scroll
  // towards, scrolls it (after the delay of the drop target's timer, once
  // each interval) and returns DROPEFFECT_SCROLL; elsewhere none.
  virtual DWORD OnDragScroll(DWORD keyState, CPoint point);
  // A scroll for a drag: code is MAKEWORD(horizontal, vertical) of SB_
  // codes, 0xFF for no scroll that way. Returns whether the view can still
  // scroll as asked; with doScroll it also scrolls (WM_HSCROLL, WM_VSCROLL).
  virtual bool OnScroll(UINT scrollCode, UINT pos, bool doScroll);

  // Deleted when its window is gone.
  bool m_bAutoDelete = true;

 protected:
  // Called before the window is created: the class, styles and place.
  // The default registers a class of ours and gives the view a sunken edge.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // Creates the window described by cs; true when it exists.
  virtual bool CreateViewWindow(CREATESTRUCTA& cs);

  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDestroy() override;
  void OnPaint() override;
  void PostNcDestroy() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Set while Create runs: the context, and whether the window was bound.
  CCreateContext* m_pCreating = nullptr;
  bool* m_pBound = nullptr;

 private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;
};

// A view whose window is a system control: its messages reach the view
// from the control's creation on, and the control paints itself.
class CCtrlView : public CView {
 public:
  CCtrlView(const char* className, DWORD style);

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  bool CreateViewWindow(CREATESTRUCTA& cs) override;
  void OnPaint() override { Default(); }

  CString m_strClass;
  DWORD m_dwDefaultStyle;
};

// A view that is a tree control ("SysTreeView32").
class CTreeView : public CCtrlView {
 public:
  CTreeView();
  HWND GetTreeCtrl() const { return m_hWnd; }

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
};

// Creates the window that cs describes, of a class whose procedure is not
// ours (a system control), with wnd bound to it through a subclass from its
// first message on, so that wnd's handlers see WM_NCCREATE and WM_CREATE.
// False when no window was made; a window that was bound and then refused
// its creation has run PostNcDestroy, which may have deleted wnd.
bool CreateControlWindow(CWnd* wnd, const CREATESTRUCTA& cs);
