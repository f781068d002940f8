// The Commands tree of the builder's left pane, as the palette fills it and
// hands out its prototypes. Plain tree-view messages, so that the script
// model needs no window classes of its own.
#include "script/Palette.h"

#include <commctrl.h>

namespace {

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char* text, int image, LPARAM data) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// The item's data; 0 when the item cannot be read.
LPARAM GetItemData(HWND tree, HTREEITEM item) {
  if (tree == nullptr || item == nullptr) return 0;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
  return tv.lParam;
}

}  // namespace

HTREEITEM CCommandPalette::FillTree(HWND tree) const {
  HTREEITEM root = InsertItem(tree, TVI_ROOT, "Commands", 0, 0);
  if (root == nullptr) return nullptr;
  for (int type = 0; type < kCommandTypeCount; ++type) {
    if (InsertItem(tree, root, GetCommandTypeName(type), type + 2,
                   reinterpret_cast<LPARAM>(m_prototypes[type])) == nullptr)
      return nullptr;
  }
  return root;
}

CSceneCommand* CCommandPalette::GetTreeItemPrototype(HWND tree, HTREEITEM item) const {
  const CSceneCommand* data = reinterpret_cast<const CSceneCommand*>(GetItemData(tree, item));
  const int type = data != nullptr ? IndexOfPrototype(data) : -1;
  return type >= 0 ? m_prototypes[type] : nullptr;
}

CSceneCommand* CCommandPalette::TakePrototype(HWND tree, HTREEITEM item) {
  const CSceneCommand* prototype = GetTreeItemPrototype(tree, item);
  if (prototype == nullptr) return nullptr;
  const int type = IndexOfPrototype(prototype);
  CSceneCommand* fresh = m_prototypes[type]->Clone();
  if (fresh == nullptr) return nullptr;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  tv.lParam = reinterpret_cast<LPARAM>(fresh);
  if (!SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) {
    delete fresh;
    return nullptr;
  }
  CSceneCommand* taken = m_prototypes[type];
  m_prototypes[type] = fresh;
  return taken;
}
