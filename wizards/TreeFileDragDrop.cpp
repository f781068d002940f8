// The folder tree's drag and drop: a file dragged onto a folder of the
// tree moves there (copied with Ctrl), a target that stays under the
// cursor opens.
#include "wizards/TreeFileCtrl.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {
constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragTimerMs = 300;
constexpr int kAutoExpandTicks = 3;
}  // namespace

bool CTreeFileCtrl::CanDrag(HTREEITEM item) const {
  const ItemData* data = Data(item);
  return data && !data->network && !IsDrive(data->path) && IsFile(data->path);
}

bool CTreeFileCtrl::IsDropTarget(HTREEITEM item) const {
  const ItemData* data = Data(item);
  if (!item || !data || data->network || !m_dragSource || item == m_dragSource) return false;
  if (IsFile(data->path) || !IsFolder(data->path)) return false;
  if (item == GetParentItem(m_dragSource)) return false;
  for (HTREEITEM up = item; up; up = GetParentItem(up))
    if (up == m_dragSource) return false;
  return true;
}

void CTreeFileCtrl::BeginDrag(NMTREEVIEWA* tv) {
  if (!m_allowDragDrop || !CanDrag(tv->itemNew.hItem)) return;
  m_dragImage = reinterpret_cast<HIMAGELIST>(
      ::SendMessageA(m_hWnd, TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(tv->itemNew.hItem)));
  if (!m_dragImage) return;
  m_dragSource = tv->itemNew.hItem;
  m_dropTarget = nullptr;
  m_autoExpandTicks = 0;
  RECT r = {};
  *reinterpret_cast<HTREEITEM*>(&r) = m_dragSource;
  const bool found = ::SendMessageA(m_hWnd, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)) != 0;
  const int hotX = found ? tv->ptDrag.x - r.left : 8;
  const int hotY = found ? tv->ptDrag.y - r.top : 8;
  ::ImageList_BeginDrag(m_dragImage, 0, hotX, hotY);
  ::ImageList_DragEnter(m_hWnd, tv->ptDrag.x, tv->ptDrag.y);
  ::SetCapture(m_hWnd);
  SetTimer(kDragTimer, kDragTimerMs);
}

void CTreeFileCtrl::OnMouseMove(UINT flags, CPoint pt) {
  if (!IsDragging()) {
    Default();
    return;
  }
  ::ImageList_DragMove(pt.x, pt.y);
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  const auto item = reinterpret_cast<HTREEITEM>(
      ::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const bool accepted = IsDropTarget(item);
  if (item != m_dropTarget) {
    ::ImageList_DragShowNolock(FALSE);
    ::SendMessageA(m_hWnd, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(accepted ? item : nullptr));
    ::ImageList_DragShowNolock(TRUE);
    m_dropTarget = accepted ? item : nullptr;
    m_autoExpandTicks = 0;
  }
  ::SetCursor(GetDragCursor(::GetKeyState(VK_CONTROL) < 0, accepted));
}

void CTreeFileCtrl::OnLButtonUp(UINT flags, CPoint pt) {
  if (!IsDragging()) {
    Default();
    return;
  }
  RECT client = {};
  ::GetClientRect(m_hWnd, &client);
  EndDrag(!::PtInRect(&client, pt));
}

void CTreeFileCtrl::OnTimer(UINT_PTR id) {
  if (id != kDragTimer || !IsDragging()) {
    Default();
    return;
  }
  // A target that stays under the cursor opens after a few ticks.
  if (m_dropTarget && ItemHasChildren(m_dropTarget) &&
      !(::SendMessageA(m_hWnd, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(m_dropTarget), TVIS_EXPANDED) &
        TVIS_EXPANDED) &&
      ++m_autoExpandTicks >= kAutoExpandTicks) {
    ::ImageList_DragShowNolock(FALSE);
    FillAndExpand(m_dropTarget);
    ::ImageList_DragShowNolock(TRUE);
    m_autoExpandTicks = 0;
  }
}

void CTreeFileCtrl::EndDrag(bool cancelled) {
  KillTimer(kDragTimer);
  ::ImageList_DragLeave(m_hWnd);
  ::ImageList_EndDrag();
  ::ReleaseCapture();
  ::ImageList_Destroy(m_dragImage);
  m_dragImage = nullptr;
  ::SendMessageA(m_hWnd, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  const HTREEITEM source = m_dragSource, target = m_dropTarget;
  m_dragSource = m_dropTarget = nullptr;
  if (cancelled || !target) return;
  const ItemData* from = Data(source);
  const ItemData* to = Data(target);
  if (!from || !to) return;
  char fromList[MAX_PATH + 2] = {}, toList[MAX_PATH + 2] = {};
  lstrcpynA(fromList, from->path, MAX_PATH);
  lstrcpynA(toList, to->path, MAX_PATH);
  const bool copy = ::GetKeyState(VK_CONTROL) < 0;
  SHFILEOPSTRUCTA op = {};
  op.hwnd = m_hWnd;
  op.wFunc = copy ? FO_COPY : FO_MOVE;
  op.pFrom = fromList;
  op.pTo = toList;
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMMKDIR | (::GetKeyState(VK_SHIFT) < 0 ? 0 : FOF_ALLOWUNDO);
  SetWatchRefresh(false);
  const int failed = ::SHFileOperationA(&op);
  SetWatchRefresh(m_autoRefresh);
  if (failed || op.fAnyOperationsAborted) return;
  // The target's branch is read again when it next opens.
  Expand(target, TVE_COLLAPSE);
  DeleteChildren(target);
  SetChildrenFlag(target, true);
  if (!copy) {
    const HTREEITEM parent = GetParentItem(source);
    ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(source));
    if (parent && !Tree(TVGN_CHILD, parent)) SetChildrenFlag(parent, false);
  }
}
