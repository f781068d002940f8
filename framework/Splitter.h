// CSplitterWnd: a static splitter, a child window divided into a fixed
// grid of panes (rows by columns), each a view, with a bar between
// neighbours that the mouse drags to share the space out again (never
// below a pane's minimum). It sits where a frame's view would (child id
// AFX_IDW_PANE_FIRST) and is laid out by the frame; its panes have the ids
// AFX_IDW_PANE_FIRST + row * 16 + column. F6 and Shift+F6 (the frame's
// ID_NEXT_PANE and ID_PREV_PANE) make the next or previous pane's view
// the frame's active view.
#pragma once

#include <windows.h>

#include "framework/CommandIds.h"
#include "framework/DocView.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"

class CSplitterWnd : public CWnd {
 public:
  enum { kMaxRows = 16, kMaxColumns = 16 };

  CSplitterWnd() = default;

  // Creates the splitter over the parent's client area with rows x cols
  // panes, none of them made yet (CreateView makes each).
  bool CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                    UINT id = AFX_IDW_PANE_FIRST);
  // Makes the pane's view; its initial size becomes the ideal width of its
  // column and height of its row.
  virtual bool CreateView(int row, int col, CFactory<CView> viewClass, SIZE initialSize,
                          CCreateContext* context);

  int GetRowCount() const { return m_rows; }
  int GetColumnCount() const { return m_cols; }
  UINT IdFromRowCol(int row, int col) const { return m_firstPaneId + row * 16 + col; }
  // The pane's window object; null before it is made.
  CWnd* GetPane(int row, int col) const;
  // True when wnd is one of the panes, with its place.
  bool IsChildPane(HWND wnd, int* row, int* col) const;

  // cur: the size the last layout gave; ideal: the size asked for; min: the
  // smallest the bar may make it.
  void GetRowInfo(int row, int& cyCur, int& cyMin) const;
  void SetRowInfo(int row, int cyIdeal, int cyMin);
  void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
  void SetColumnInfo(int col, int cxIdeal, int cxMin);
  // Places the panes: every row and column but the last gets its ideal
  // size (leaving the later ones their minimum where it can), the last
  // what remains.
  virtual void RecalcLayout();
  int GetBarSize() const { return kBarSize; }

  // The pane whose view is the frame's active view (else the pane with the
  // focus); null when none.
  CWnd* GetActivePane(int* row = nullptr, int* col = nullptr) const;
  void SetActivePane(int row, int col);
  bool CanActivateNext(bool prev = false) const;
  // Activates the next (or previous) pane, round the grid.
  virtual void ActivateNext(bool prev = false);

  // The smallest size of a row or column unless SetRowInfo or
  // SetColumnInfo says otherwise.
  static const int kDefaultMinimum = 10;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnLButtonDown(UINT flags, CPoint pt) override;
  void OnMouseMove(UINT flags, CPoint pt) override;
  void OnLButtonUp(UINT flags, CPoint pt) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  bool OnSetCursor(HWND wnd, UINT hitTest, UINT message) override;

 private:
  static const int kBarSize = 6;
  struct Track {
    int cur = 0;
    int ideal = 0;
    int min = kDefaultMinimum;
  };
  // The bar under pt: true with the index of the row or column before it
  // and whether it is a vertical bar (between columns).
  bool HitBar(CPoint pt, int* index, bool* vertical) const;
  // Moves the bar being dragged so that it starts at pos (client pixels).
  void DragTo(int pos);
  void EndDrag(bool cancel);
  static void Layout(Track* tracks, int count, int total);

  int m_rows = 0;
  int m_cols = 0;
  UINT m_firstPaneId = AFX_IDW_PANE_FIRST;
  Track m_rowInfo[kMaxRows];
  Track m_colInfo[kMaxColumns];
  // The drag of a bar: which, where the press was inside it, and the ideal
  // sizes of its two panes to put back when it is cancelled.
  bool m_dragging = false;
  bool m_dragVertical = false;
  int m_dragIndex = 0;
  int m_dragOffset = 0;
  int m_dragSavedIdeal = 0;
  int m_dragSavedNext = 0;
  HWND m_focusBeforeDrag = nullptr;
};
