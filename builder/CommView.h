// CCommView, the left pane of the main frame: the Commands tree, a root
// with one item per command type, each standing for the palette's
// prototype of that type. The user picks a type here and adds it to the
// script (Add, Insert, or a drag onto the script, which copies the
// prototype) or sets it up in its dialog first ("Current...", double
// click, Enter). Drags show their image over the tree but never drop here.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/DocView.h"
#include "framework/ImageList.h"
#include "framework/Ole.h"

class CSceneCommand;

class CCommView : public CTreeView {
 public:
  CCommView();

  // The root's first type is selected and the root expanded.
  void OnInitialUpdate() override;

  HTREEITEM GetRootItem() const;
  HTREEITEM GetSelectedItem() const;
  // True when a type (not the root) is selected.
  bool HasTypeSelected() const;
  // The selected type's prototype, handed to the caller as a new command
  // (the palette starts a fresh prototype); null when no type is selected.
  CSceneCommand* TakeNewCommand();
  // The selected type's dialog on its prototype; OK adds it to the script
  // (the frame's Add). With checkPosition the cursor must be on the item.
  void Activate(bool checkPosition);
  // "Current...": as Activate, wherever the cursor is.
  void EditCurrent() { Activate(false); }

  bool PreTranslateMessage(MSG* msg) override;

  // Drags of commands over the tree show their image; none drops here.
  DWORD OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) override;
  DWORD OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave() override;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnRButtonDown(UINT flags, CPoint pt) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HWND MainWindow() const;
  // Drags the type item's prototype onto the script (a copy of it).
  void BeginDrag(HTREEITEM item);

  CImageList m_imageList;
  COleDropTarget m_dropTarget;
  std::unique_ptr<CImageList> m_pDragImage;
};
