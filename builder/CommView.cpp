// The Commands tree: filled from the palette, its images, its keys, mouse
// and context menu, the prototypes it hands to the script, and its drags.
#include "builder/CommView.h"

#include "builder/CommandEdit.h"
#include "builder/MainFrame.h"
#include "builder/SceneDataSource.h"
#include "builder/resource.h"
#include "framework/App.h"
#include "framework/FrameWnd.h"
#include "script/Palette.h"

CCommView::CCommView() = default;

HWND CCommView::MainWindow() const {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd) return app->m_pMainWnd->GetSafeHwnd();
  CFrameWnd* frame = GetParentFrame();
  return frame ? frame->GetSafeHwnd() : nullptr;
}

bool CCommView::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  return CTreeView::PreCreateWindow(cs);
}

int CCommView::OnCreate(CREATESTRUCTA* cs) {
  if (CTreeView::OnCreate(cs) == -1) return -1;
  if (m_imageList.Create(IDB_COMMANDS, 16, 15, COMMANDS_MASK_COLOUR))
    SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(m_imageList.GetSafeHandle()));
  if (g_pCommandPalette) g_pCommandPalette->FillTree(m_hWnd);
  m_dropTarget.Register(this);
  return 0;
}

void CCommView::OnInitialUpdate() {
  CTreeView::OnInitialUpdate();
  HTREEITEM root = GetRootItem();
  if (!root) return;
  HTREEITEM first = reinterpret_cast<HTREEITEM>(
      SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  if (first) SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
  SendMessage(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
}

HTREEITEM CCommView::GetRootItem() const {
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM CCommView::GetSelectedItem() const {
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

bool CCommView::HasTypeSelected() const {
  HTREEITEM selected = GetSelectedItem();
  return selected && selected != GetRootItem();
}

CSceneCommand* CCommView::TakeNewCommand() {
  HTREEITEM item = GetSelectedItem();
  HTREEITEM root = GetRootItem();
  if (!item || item == root || !g_pCommandPalette) return nullptr;
  // An item below a type item stands for that type.
  HTREEITEM parent = reinterpret_cast<HTREEITEM>(
      SendMessage(TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  if (parent && parent != root) item = parent;
  return g_pCommandPalette->TakePrototype(m_hWnd, item);
}

void CCommView::Activate(bool checkPosition) {
  HTREEITEM item = GetSelectedItem();
  if (!item || item == GetRootItem() || !g_pCommandPalette) return;
  if (checkPosition) {
    POINT cursor;
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    union {
      RECT rect;
      HTREEITEM item;
    } r = {};
    r.item = item;
    if (!SendMessage(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r)) ||
        !::PtInRect(&r.rect, cursor))
      return;
  }
  CSceneCommand* prototype = g_pCommandPalette->GetTreeItemPrototype(m_hWnd, item);
  if (prototype && EditSceneCommand(*prototype, m_hWnd) == IDOK)
    ::SendMessageA(MainWindow(), WM_COMMAND, ID_COMMAND_ADD, 0);
}

bool CCommView::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_NOTIFY) return false;
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
  if (hdr->hwndFrom != m_hWnd) return false;
  switch (hdr->code) {
    case NM_DBLCLK:
      Activate(true);
      *result = 0;
      return true;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      // The two forms share the fields read here.
      const auto* tv = reinterpret_cast<const NMTREEVIEWA*>(lp);
      const int image = (tv->action & TVE_EXPAND) ? IDI_ROOT_OPEN : IDI_ROOT_CLOSED;
      if (tv->action & (TVE_COLLAPSE | TVE_EXPAND)) {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = tv->itemNew.hItem;
        item.iImage = item.iSelectedImage = image;
        SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      }
      *result = 0;
      return true;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
      BeginDrag(reinterpret_cast<const NMTREEVIEWA*>(lp)->itemNew.hItem);
      *result = 0;
      return true;
    default:
      return false;
  }
}

void CCommView::BeginDrag(HTREEITEM item) {
  if (!item || item == GetRootItem() || !g_pCommandPalette) return;
  CSceneCommand* prototype = g_pCommandPalette->GetTreeItemPrototype(m_hWnd, item);
  if (!prototype) return;
  {
    CImageList image;
    if (image.Attach(reinterpret_cast<HIMAGELIST>(
            SendMessage(TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)))))
      SaveDragImage(image, CPoint(17, 9));
  }
  // The prototype stays the palette's: the drop copies it.
  CObArray dragged;
  dragged.Add(prototype);
  {
    CSceneDataSource source(&dragged);
    source.DelayRenderData(SceneFormats().copy);
    CSceneDropSource dropSource(true);
    RunSceneDrag(source, DROPEFFECT_COPY, dropSource);
  }
  CImageList::EndDrag();
  DeleteDragImageFile();
}

DWORD CCommView::OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) {
  if (data && data->IsDataAvailable(SceneFormats().copy) && !m_pDragImage) {
    auto image = std::make_unique<CImageList>();
    CPoint hotSpot;
    if (LoadDragImage(*image, hotSpot) && image->BeginDrag(0, hotSpot)) {
      m_pDragImage = std::move(image);
      ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW);
      CImageList::DragEnter(m_hWnd, point);
    }
  }
  return CTreeView::OnDragEnter(data, keyState, point);
}

DWORD CCommView::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (m_pDragImage) CImageList::DragMove(point);
  return CTreeView::OnDragOver(data, keyState, point);
}

void CCommView::OnDragLeave() {
  if (m_pDragImage) {
    CImageList::DragLeave(m_hWnd);
    CImageList::EndDrag();
    m_pDragImage.reset();
  }
  CTreeView::OnDragLeave();
}

bool CCommView::PreTranslateMessage(MSG* msg) {
  // Enter, not repeated: the selected type's dialog.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && !(msg->lParam & (1 << 30))) {
    Activate(false);
    return true;
  }
  return CTreeView::PreTranslateMessage(msg);
}

void CCommView::OnRButtonDown(UINT flags, CPoint pt) {
  TVHITTESTINFO hit = {};
  hit.pt = pt;
  HTREEITEM item =
      reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (item) SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  CPoint screen = pt;
  ::ClientToScreen(m_hWnd, &screen);
  TrackPaneContextMenu(m_hWnd, MAKELPARAM(screen.x, screen.y), CONTEXT_MENU_TREE);
}

LRESULT CCommView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONTEXTMENU) {
    TrackPaneContextMenu(m_hWnd, lp, CONTEXT_MENU_TREE);
    return 0;
  }
  return CTreeView::WindowProc(msg, wp, lp);
}
