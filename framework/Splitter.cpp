// CSplitterWnd: the grid of panes, its layout, the dragged bar and the
// keyboard's way from pane to pane.
#include "framework/Splitter.h"

#include "framework/FrameWnd.h"

bool CSplitterWnd::CreateStatic(CWnd* parent, int rows, int cols, DWORD style, UINT id) {
  if (m_hWnd || !parent || rows < 1 || cols < 1 || rows > kMaxRows || cols > kMaxColumns)
    return false;
  m_rows = rows;
  m_cols = cols;
  for (Track& t : m_rowInfo) t = Track();
  for (Track& t : m_colInfo) t = Track();
  // No class cursor: the bars set theirs, the panes cover the rest.
  const char* cls = RegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!cls) return false;
  return CreateEx(0, cls, "", style | WS_CHILD | WS_CLIPCHILDREN, parent->GetClientRect(), *parent,
                  id);
}

bool CSplitterWnd::CreateView(int row, int col, CFactory<CView> viewClass, SIZE initialSize,
                              CCreateContext* context) {
  if (!m_hWnd || row < 0 || row >= m_rows || col < 0 || col >= m_cols || GetPane(row, col))
    return false;
  CView* view = viewClass.Create();
  if (!view) return false;
  m_colInfo[col].ideal = initialSize.cx;
  m_rowInfo[row].ideal = initialSize.cy;
  if (!view->Create(m_hWnd, IdFromRowCol(row, col), context)) return false;
  RecalcLayout();
  return true;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
  if (!m_hWnd || row < 0 || row >= m_rows || col < 0 || col >= m_cols) return nullptr;
  return FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(IdFromRowCol(row, col))));
}

bool CSplitterWnd::IsChildPane(HWND wnd, int* row, int* col) const {
  if (!wnd || !m_hWnd || ::GetParent(wnd) != m_hWnd) return false;
  const int offset = ::GetDlgCtrlID(wnd) - static_cast<int>(m_firstPaneId);
  const int r = offset / 16, c = offset % 16;
  if (offset < 0 || r >= m_rows || c >= m_cols) return false;
  if (row) *row = r;
  if (col) *col = c;
  return true;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const {
  cyCur = m_rowInfo[row].cur;
  cyMin = m_rowInfo[row].min;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin) {
  m_rowInfo[row].ideal = cyIdeal;
  m_rowInfo[row].min = cyMin;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const {
  cxCur = m_colInfo[col].cur;
  cxMin = m_colInfo[col].min;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin) {
  m_colInfo[col].ideal = cxIdeal;
  m_colInfo[col].min = cxMin;
}

void CSplitterWnd::Layout(Track* tracks, int count, int total) {
  int remaining = total - (count - 1) * kBarSize;
  for (int i = 0; i < count; ++i) {
    if (i == count - 1) {
      tracks[i].cur = remaining > 0 ? remaining : 0;
      break;
    }
    int laterMinimum = 0;
    for (int j = i + 1; j < count; ++j) laterMinimum += tracks[j].min;
    int size = tracks[i].ideal;
    if (size > remaining - laterMinimum) size = remaining - laterMinimum;
    // A pane's own minimum comes before the later panes' minimums.
    if (size < tracks[i].min) size = tracks[i].min;
    if (size > remaining) size = remaining;
    if (size < 0) size = 0;
    tracks[i].cur = size;
    remaining -= size;
  }
}

void CSplitterWnd::RecalcLayout() {
  if (!m_hWnd) return;
  const CRect client = GetClientRect();
  Layout(m_colInfo, m_cols, client.Width());
  Layout(m_rowInfo, m_rows, client.Height());
  int y = 0;
  for (int r = 0; r < m_rows; ++r) {
    int x = 0;
    for (int c = 0; c < m_cols; ++c) {
      if (HWND pane = ::GetDlgItem(m_hWnd, static_cast<int>(IdFromRowCol(r, c))))
        ::MoveWindow(pane, x, y, m_colInfo[c].cur, m_rowInfo[r].cur, TRUE);
      x += m_colInfo[c].cur + kBarSize;
    }
    y += m_rowInfo[r].cur + kBarSize;
  }
  Invalidate();  // the bars; the panes are clipped out
}

bool CSplitterWnd::HitBar(CPoint pt, int* index, bool* vertical) const {
  int x = 0;
  for (int c = 0; c + 1 < m_cols; ++c) {
    x += m_colInfo[c].cur;
    if (pt.x >= x && pt.x < x + kBarSize) {
      *index = c;
      *vertical = true;
      return true;
    }
    x += kBarSize;
  }
  int y = 0;
  for (int r = 0; r + 1 < m_rows; ++r) {
    y += m_rowInfo[r].cur;
    if (pt.y >= y && pt.y < y + kBarSize) {
      *index = r;
      *vertical = false;
      return true;
    }
    y += kBarSize;
  }
  return false;
}

void CSplitterWnd::OnLButtonDown(UINT flags, CPoint pt) {
  int index = 0;
  bool vertical = false;
  if (m_dragging || !HitBar(pt, &index, &vertical)) {
    Default();
    return;
  }
  Track* tracks = vertical ? m_colInfo : m_rowInfo;
  int start = 0;
  for (int i = 0; i <= index; ++i) start += tracks[i].cur + (i < index ? kBarSize : 0);
  m_dragging = true;
  m_dragVertical = vertical;
  m_dragIndex = index;
  m_dragOffset = (vertical ? pt.x : pt.y) - start;
  m_dragSavedIdeal = tracks[index].ideal;
  m_dragSavedNext = tracks[index + 1].ideal;
  // The splitter takes the keyboard for the drag, so that Esc reaches it.
  m_focusBeforeDrag = ::GetFocus();
  ::SetCapture(m_hWnd);
  SetFocus();
}

void CSplitterWnd::OnMouseMove(UINT flags, CPoint pt) {
  if (!m_dragging) {
    Default();
    return;
  }
  DragTo((m_dragVertical ? pt.x : pt.y) - m_dragOffset);
}

void CSplitterWnd::DragTo(int pos) {
  Track* tracks = m_dragVertical ? m_colInfo : m_rowInfo;
  const int i = m_dragIndex;
  int start = 0;
  for (int k = 0; k < i; ++k) start += tracks[k].cur + kBarSize;
  // The two panes beside the bar share their space; neither goes below
  // its minimum.
  const int shared = tracks[i].cur + tracks[i + 1].cur;
  int size = pos - start;
  if (size > shared - tracks[i + 1].min) size = shared - tracks[i + 1].min;
  if (size < tracks[i].min) size = tracks[i].min;
  tracks[i].ideal = size;
  // A pane between two bars keeps the later bar where it was.
  const int count = m_dragVertical ? m_cols : m_rows;
  if (i + 1 < count - 1) tracks[i + 1].ideal = shared - size;
  RecalcLayout();
  UpdateWindow();
}

void CSplitterWnd::OnLButtonUp(UINT flags, CPoint pt) {
  if (m_dragging)
    EndDrag(false);
  else
    Default();
}

void CSplitterWnd::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (m_dragging && vk == VK_ESCAPE)
    EndDrag(true);
  else
    Default();
}

void CSplitterWnd::EndDrag(bool cancel) {
  if (!m_dragging) return;
  m_dragging = false;
  if (cancel) {
    Track* tracks = m_dragVertical ? m_colInfo : m_rowInfo;
    tracks[m_dragIndex].ideal = m_dragSavedIdeal;
    tracks[m_dragIndex + 1].ideal = m_dragSavedNext;
    RecalcLayout();
  }
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  HWND focus = m_focusBeforeDrag;
  m_focusBeforeDrag = nullptr;
  if (focus && ::IsWindow(focus)) ::SetFocus(focus);
}

bool CSplitterWnd::OnSetCursor(HWND wnd, UINT hitTest, UINT message) {
  if (wnd == m_hWnd && hitTest == HTCLIENT) {
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    int index = 0;
    bool vertical = false;
    if (m_dragging || HitBar(pt, &index, &vertical)) {
      const bool across = m_dragging ? m_dragVertical : vertical;
      ::SetCursor(::LoadCursorA(nullptr, across ? IDC_SIZEWE : IDC_SIZENS));
      return true;
    }
  }
  return Default() != 0;
}

void CSplitterWnd::OnSize(UINT type, int cx, int cy) {
  Default();
  RecalcLayout();
}

CWnd* CSplitterWnd::GetActivePane(int* row, int* col) const {
  CFrameWnd* frame = GetParentFrameOf(m_hWnd);
  CView* view = frame ? frame->GetActiveView() : nullptr;
  if (view && IsChildPane(*view, row, col)) return view;
  // Else the pane that holds the focus.
  for (HWND h = ::GetFocus(); h && h != m_hWnd; h = ::GetParent(h)) {
    if (IsChildPane(h, row, col)) return FromHandlePermanent(h);
  }
  return nullptr;
}

void CSplitterWnd::SetActivePane(int row, int col) {
  CWnd* pane = GetPane(row, col);
  if (!pane) return;
  CFrameWnd* frame = GetParentFrameOf(m_hWnd);
  if (auto* view = dynamic_cast<CView*>(pane); view && frame)
    frame->SetActiveView(view);
  else
    pane->SetFocus();
}

bool CSplitterWnd::CanActivateNext(bool) const { return m_rows * m_cols > 1; }

void CSplitterWnd::ActivateNext(bool prev) {
  const int count = m_rows * m_cols;
  int row = 0, col = 0;
  int current = GetActivePane(&row, &col) ? row * m_cols + col : (prev ? 0 : count - 1);
  for (int step = 1; step <= count; ++step) {
    const int index = ((current + (prev ? -step : step)) % count + count) % count;
    if (GetPane(index / m_cols, index % m_cols)) {
      SetActivePane(index / m_cols, index % m_cols);
      return;
    }
  }
}

LRESULT CSplitterWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      // What a pane did not take for itself (reflection comes first) is
      // its frame's to handle.
      return ::SendMessageA(GetParent(), msg, wp, lp);
    case WM_CAPTURECHANGED:
      if (m_dragging && reinterpret_cast<HWND>(lp) != m_hWnd) EndDrag(false);
      break;
    default:
      break;
  }
  return CWnd::WindowProc(msg, wp, lp);
}
