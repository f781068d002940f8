// The command blocks as OLE data, the drag cursors, the drag runner and
// the drag-image file.
#include "builder/SceneDataSource.h"

#include "builder/resource.h"
#include "common/Paths.h"
#include "framework/App.h"
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/SceneClipboard.h"

const CSceneFormats& SceneFormats() {
  static const CSceneFormats formats = {
      static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(kCopySceneFormat)),
      static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(kMoveSceneFormat)),
      static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(kLinkSceneFormat)),
  };
  return formats;
}

namespace {

CSceneCommand* At(const CObArray& array, int i) { return static_cast<CSceneCommand*>(array.GetAt(i)); }

HCURSOR LoadBuilderCursor(UINT id) {
  return ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

DWORD SystemDrag(COleDataSource& data, DWORD allowed, COleDropSource& source) {
  return data.DoDragDrop(allowed, &source);
}

SceneDragRunner g_dragRunner = nullptr;

CString DragImagePath() {
  return GetTempFilePath(LoadResourceString(IDS_DRAG_IMAGE_FILE, "ImageCursor.tmp"));
}

}  // namespace

CSceneDataSource::CSceneDataSource(const CObArray* selected) : m_pSelected(selected) {
  for (int i = 0; i < selected->GetSize(); ++i) m_lines.push_back(At(*selected, i)->GetId());
}

bool CSceneDataSource::OnRenderFileData(const FORMATETC& format, CFile* file) {
  const CSceneFormats& formats = SceneFormats();
  const CObArray& selected = *m_pSelected;
  if (selected.GetSize() == 0 || static_cast<size_t>(selected.GetSize()) != m_lines.size())
    return false;
  for (int i = 0; i < selected.GetSize(); ++i) At(selected, i)->SetId(m_lines[static_cast<size_t>(i)]);
  CArchive ar(file, CArchive::store, 4096);
  if (format.cfFormat == formats.copy)
    WriteCopyBlock(ar, selected);
  else if (format.cfFormat == formats.move)
    WriteMoveBlock(ar, selected);
  else if (format.cfFormat == formats.link)
    WriteLinkBlock(ar, m_lines.front());
  ar.Close();
  // The copy block numbered the commands by their place in the selection.
  for (int i = 0; i < selected.GetSize(); ++i) At(selected, i)->SetId(m_lines[static_cast<size_t>(i)]);
  return true;
}

CSceneDropSource::CSceneDropSource(bool single)
    : m_move(LoadBuilderCursor(single ? IDR_CURSOR_MOVE_ONE : IDR_CURSOR_MOVE_MANY)),
      m_copy(LoadBuilderCursor(single ? IDR_CURSOR_COPY_ONE : IDR_CURSOR_COPY_MANY)),
      m_link(LoadBuilderCursor(IDR_CURSOR_LINK)) {}

SCODE CSceneDropSource::GiveFeedback(DWORD dropEffect) {
  HCURSOR cursor = nullptr;
  switch (dropEffect & ~DROPEFFECT_SCROLL) {
    case DROPEFFECT_COPY: cursor = m_copy; break;
    case DROPEFFECT_MOVE: cursor = m_move; break;
    case DROPEFFECT_LINK: cursor = m_link; break;
    default: break;
  }
  // Without a cursor of its own the drag shows the system's.
  if (cursor == nullptr) return DRAGDROP_S_USEDEFAULTCURSORS;
  ::SetCursor(cursor);
  return S_OK;
}

SceneDragRunner SetSceneDragRunner(SceneDragRunner runner) {
  SceneDragRunner previous = g_dragRunner;
  g_dragRunner = runner;
  return previous;
}

DWORD RunSceneDrag(COleDataSource& data, DWORD allowed, COleDropSource& source) {
  return (g_dragRunner != nullptr ? g_dragRunner : &SystemDrag)(data, allowed, source);
}

bool SaveDragImage(const CImageList& image, CPoint hotSpot) {
  try {
    CFile file;
    if (!file.Open(DragImagePath(), CFile::modeCreate | CFile::modeWrite)) return false;
    CArchive ar(&file, CArchive::store);
    ar << static_cast<int32_t>(hotSpot.x) << static_cast<int32_t>(hotSpot.y);
    const bool written = image.Write(ar);
    ar.Close();
    return written;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
}

bool LoadDragImage(CImageList& image, CPoint& hotSpot) {
  try {
    CFile file;
    if (!file.Open(DragImagePath(), CFile::modeRead | CFile::shareDenyWrite)) return false;
    CArchive ar(&file, CArchive::load);
    int32_t x = 0, y = 0;
    ar >> x >> y;
    if (!image.Read(ar)) return false;
    hotSpot = CPoint(x, y);
    return true;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
}

void DeleteDragImageFile() { ::DeleteFileA(DragImagePath()); }
