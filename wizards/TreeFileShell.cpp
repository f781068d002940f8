// The folder tree's shell actions: open, properties, delete and rename.
#include "wizards/TreeFileCtrl.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/App.h"
#include "framework/Seams.h"

void CTreeFileCtrl::Execute(HTREEITEM item, const char* verb) {
  const ItemData* data = Data(item);
  if (!data || data->path.IsEmpty()) return;
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = AfxGetMainHwnd();
  info.lpVerb = verb;
  info.lpFile = data->path;
  info.nShow = SW_SHOW;
  LwShellExecuteEx(&info);
}

void CTreeFileCtrl::Open(HTREEITEM item) {
  if (m_allowOpen) Execute(item, nullptr);
}

void CTreeFileCtrl::ShowProperties(HTREEITEM item) {
  if (m_allowProperties) Execute(item, "properties");
}

void CTreeFileCtrl::Delete(HTREEITEM item) {
  const ItemData* data = Data(item);
  if (!m_allowDelete || !data || data->network || data->path.IsEmpty() || IsDrive(data->path)) return;
  char from[MAX_PATH + 2] = {};
  lstrcpynA(from, data->path, MAX_PATH);
  SHFILEOPSTRUCTA op = {};
  op.hwnd = m_hWnd;
  op.wFunc = FO_DELETE;
  op.pFrom = from;
  op.fFlags = ::GetKeyState(VK_SHIFT) < 0 ? 0 : FOF_ALLOWUNDO;
  SetWatchRefresh(false);
  const int result = ::SHFileOperationA(&op);
  SetWatchRefresh(m_autoRefresh);
  if (result == 0 && !op.fAnyOperationsAborted)
    ::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void CTreeFileCtrl::Rename(HTREEITEM item) {
  const ItemData* data = Data(item);
  if (!m_allowRename || !data || data->network || data->path.IsEmpty() || IsDrive(data->path)) return;
  // Labels are editable only while renaming is allowed; the begin-edit
  // notification refuses the rest.
  const LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
  if (!(style & TVS_EDITLABELS)) ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style | TVS_EDITLABELS);
  ::SetFocus(m_hWnd);
  ::SendMessageA(m_hWnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item));
}
