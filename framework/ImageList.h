// CImageList: an image list of the common controls, owned by the object
// (destroyed with it unless detached). Pictures go in from bitmaps with a
// mask colour, come out drawn on a DC, move with the mouse as the drag
// image, and travel through an archive in the system's image-list stream
// form (so one window can save the drag image it starts and another read
// it back).
#pragma once

#include <windows.h>
// The stream interface first: commctrl.h declares the image-list stream
// calls only after it.
#include <objidl.h>
#include <commctrl.h>

#include "framework/Geometry.h"

class CArchive;

class CImageList {
 public:
  CImageList() = default;
  ~CImageList() { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // An empty list of cx x cy images (flags: ILC_COLOR24 | ILC_MASK...),
  // room for `initial` and growing by `grow`.
  bool Create(int cx, int cy, UINT flags, int initial, int grow);
  // A masked list of cx-wide images cut from a bitmap resource, the pixels
  // of the mask colour transparent.
  bool Create(UINT bitmapId, int cx, int grow, COLORREF mask, HINSTANCE instance = nullptr);

  // Takes over a list (deleting the one held); false for null.
  bool Attach(HIMAGELIST list);
  HIMAGELIST Detach();
  bool DeleteImageList();
  HIMAGELIST GetSafeHandle() const { return m_list; }
  operator HIMAGELIST() const { return m_list; }

  int GetImageCount() const;
  CSize GetImageSize() const;
  COLORREF SetBkColor(COLORREF colour);

  // Appends the images of the bitmap (as many as its width holds); the
  // pixels of `mask` become transparent. Returns the index of the first, or
  // -1. The bitmap stays the caller's.
  int Add(HBITMAP bitmap, COLORREF mask);
  int Add(HBITMAP bitmap, HBITMAP maskBitmap);
  int Add(HICON icon);
  bool Remove(int image);

  // Draws image at pt (ILD_NORMAL, ILD_TRANSPARENT, ILD_SELECTED...).
  bool Draw(HDC dc, int image, CPoint pt, UINT style = ILD_NORMAL) const;

  // Dragging: the image follows the mouse over the lock window (whose
  // updates are held while the image shows) until EndDrag. Points are in
  // the lock window's coordinates (DragEnter, DragMove); BeginDrag's hot
  // spot is the point of the image under the cursor.
  bool BeginDrag(int image, CPoint hotSpot);
  static bool DragEnter(HWND lock, CPoint pt);
  static bool DragMove(CPoint pt);
  static bool DragLeave(HWND lock);
  static bool DragShowNolock(bool show);
  static void EndDrag();
  // Joins the image to the drag image as the cursor part.
  bool SetDragCursorImage(int image, CPoint hotSpot);

  // Writes the list to the archive, or reads one from it (replacing the
  // list held). The archive may hold more before and after it. False when
  // the list cannot be written, or the archive holds no valid list (then
  // the object holds none).
  bool Write(CArchive& ar) const;
  bool Read(CArchive& ar);

 private:
  HIMAGELIST m_list = nullptr;
};
