// The script list's cut, copy and paste, and drags out of and onto the
// list.
#include "builder/SceneView.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "builder/resource.h"
#include "builder/SceneDataSource.h"
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "script/ListText.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/SceneClipboard.h"

// ---------------------------------------------------------------------------
// Clipboard

namespace {

// The beep of a paste or drop that has nothing to give or is refused.
const UINT kRefusedBeep = 0xFFFFFFFF;

CSceneCommand* DraggedAt(const CObArray& array, int i) {
  return static_cast<CSceneCommand*>(array.GetAt(i));
}

}  // namespace

bool CSceneView::CanPaste() { return CClipboard::IsFormatAvailable(SceneFormats().copy); }

void CSceneView::CopySelection(bool cut) {
  CCommandList* commands = Commands();
  if (!commands || GetSelectedCount() <= 0) return;
  CClipboard clipboard(m_hWnd);
  if (!clipboard.IsOpen()) return;
  clipboard.Empty();
  commands->NumberCommands();
  CObArray selected;
  for (int line = 0; line < GetLineCount(); ++line)
    if (IsLineSelected(line)) selected.Add(GetLineCommand(line));
  bool placed = false;
  try {
    CSharedFile file(4096);
    CArchive ar(&file, CArchive::store, 4096);
    WriteCopyBlock(ar, selected);
    ar.Close();
    placed = CClipboard::SetFile(SceneFormats().copy, file);
  } catch (CException* e) {
    e->Delete();
  }
  // The copy block numbered the commands by their place in the selection.
  commands->NumberCommands();
  if (placed && cut) DeleteSelection(false);
}

void CSceneView::PasteFromClipboard() {
  int at = GetLineCount();
  if (GetSelectedCount() == 1) {
    int only = -1;
    if (SendMessage(LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&only)) == 1 && only >= 0) at = only + 1;
  }
  CClipboard clipboard(m_hWnd);
  HGLOBAL block = clipboard.IsOpen() ? CClipboard::GetBlock(SceneFormats().copy) : nullptr;
  if (!block) {
    LwMessageBeep(kRefusedBeep);
    return;
  }
  try {
    CSharedFile file(4096);
    file.SetHandle(block);  // the clipboard's still
    CArchive ar(&file, CArchive::load, 4096);
    PasteFromArchive(ar, at);
  } catch (CException* e) {
    e->Delete();
    LwMessageBeep(kRefusedBeep);
  }
}

bool CSceneView::PasteFromArchive(CArchive& ar, int at) {
  CCommandList* commands = Commands();
  if (!commands) return false;
  commands->NumberCommands();
  CCommandList pasted;
  if (!ReadCopyBlock(ar, Palette(), *commands, pasted)) {
    LwMessageBeep(kRefusedBeep);
    return false;
  }
  InsertLines(pasted, at);
  return true;
}

void CSceneView::InsertLines(CCommandList& pasted, int at) {
  CCommandList* commands = Commands();
  if (!commands || pasted.GetSize() == 0) return;
  if (at < 0 || at > GetLineCount()) at = GetLineCount();
  SendMessage(WM_SETREDRAW, FALSE);
  ClearSelection();
  int line = at;
  while (pasted.GetSize() > 0) {
    CSceneCommand* cmd = pasted.GetCommand(0);
    const LRESULT inserted = SendMessage(LB_INSERTSTRING, line, reinterpret_cast<LPARAM>(cmd));
    if (inserted == LB_ERR || inserted == LB_ERRSPACE) break;  // the rest goes with `pasted`
    commands->InsertAt(line, cmd);
    pasted.RemoveAt(0);
    SendMessage(LB_SETSEL, TRUE, line);
    ++line;
  }
  if (line > at) SendMessage(LB_SETCARETINDEX, line - 1);
  Reindent();
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate();
  SetModified();
}

// ---------------------------------------------------------------------------
// Drag and drop

int CSceneView::LineFromPoint(CPoint pt) const {
  const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  // The high word is set outside the lines.
  if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= GetLineCount()) return -1;
  return LOWORD(hit);
}

void CSceneView::OnLButtonDown(UINT flags, CPoint pt) {
  if (flags & (MK_SHIFT | MK_CONTROL)) {
    Default();
    return;
  }
  m_nDownLine = LineFromPoint(pt);
  if (m_nDownLine < 0) {
    Default();
    return;
  }
  m_ptDown = pt;
  // A press on a selected line keeps a multiple selection for a drag.
  if (IsLineSelected(m_nDownLine)) {
    SendMessage(LB_SETCARETINDEX, m_nDownLine);
    ::SetFocus(m_hWnd);
    ::SetCapture(m_hWnd);
    return;
  }
  Default();
  SendMessage(LB_SETCARETINDEX, m_nDownLine);
}

void CSceneView::OnMouseMove(UINT flags, CPoint pt) {
  const bool pressed = m_ptDown.x != -1 && (flags & MK_LBUTTON) && !(flags & (MK_SHIFT | MK_CONTROL));
  if (pressed && m_nDownLine >= 0 &&
      (std::abs(pt.x - m_ptDown.x) > ::GetSystemMetrics(SM_CXDRAG) ||
       std::abs(pt.y - m_ptDown.y) > ::GetSystemMetrics(SM_CYDRAG))) {
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    BeginDragOut(m_nDownLine, m_ptDown);
    return;
  }
  Default();
}

void CSceneView::OnLButtonUp(UINT flags, CPoint pt) {
  const bool kept = m_ptDown.x != -1 && m_nDownLine >= 0 && IsLineSelected(m_nDownLine) &&
                    ::GetCapture() == m_hWnd;
  m_ptDown = CPoint(-1, -1);
  if (kept) {
    // No drag came of the press: the list box gets it as an ordinary
    // click on the line.
    ::ReleaseCapture();
    DefWindowProc(WM_LBUTTONDOWN, flags | MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  }
  Default();
}

bool CSceneView::MakeDragImage(int grabbed, CImageList& image) {
  const CSceneCommand* cmd = GetLineCommand(grabbed);
  const CBuilderOptions* options = Options();
  if (!cmd) return false;
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  CString time;
  time.Format(" %02d:%02d:%02d  ", now.wHour, now.wMinute, now.wSecond);
  CString label;
  cmd->Describe(label);

  LOGFONTA lf = {};
  lf.lfHeight = -11;
  lstrcpynA(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE);
  CFont font;
  font.CreateFontIndirect(&lf);
  CMemoryDC dc(nullptr);
  if (!dc.GetSafeHdc()) return false;
  CSelectObject useFont(dc, font.GetSafeHandle() ? font.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
  const int timeWidth = dc.GetTextExtent(time, time.GetLength()).cx;
  int labelX = 0;
  CString fitted = label;
  TruncateTextToWidth(dc, fitted, labelX);
  const int width = m_nIconSize + 3 + timeWidth + dc.GetTextExtent(fitted, fitted.GetLength()).cx;
  const int height = m_nIconSize;
  CBitmap bitmap;
  {
    CScreenDC screen;
    if (!bitmap.CreateCompatibleBitmap(&screen, width, height)) return false;
  }
  {
    CSelectObject useBitmap(dc, bitmap.GetSafeHandle());
    dc.FillSolidRect(0, 0, width, height, COMMANDS_MASK_COLOUR);
    m_imageList.Draw(dc, cmd->GetType() + IDI_COMMAND_FIRST, CPoint(0, 0), ILD_NORMAL);
    dc.SetBkMode(TRANSPARENT);
    TEXTMETRICA tm = {};
    dc.GetTextMetrics(&tm);
    const int y = (height - tm.tmHeight) / 2;
    dc.SetTextColor(RGB(0xFF, 0, 0));
    dc.TextOut(m_nIconSize + 3, y, time, time.GetLength());
    COLORREF colour = options ? options->GetStyleColour(*cmd) : 0;
    if (options && options->m_softDragging == 0 && options->m_dragColourOn == 1) colour = options->m_dragColour;
    dc.SetTextColor(colour);
    dc.TextOut(m_nIconSize + 3 + timeWidth, y, fitted, fitted.GetLength());
  }
  return image.Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1) &&
         image.Add(bitmap, COMMANDS_MASK_COLOUR) >= 0;
}

void CSceneView::BeginDragOut(int grabbed, CPoint down) {
  CCommandList* commands = Commands();
  if (!commands || grabbed < 0 || grabbed >= GetLineCount()) return;
  {
    CImageList image;
    RECT line = {};
    SendMessage(LB_GETITEMRECT, grabbed, reinterpret_cast<LPARAM>(&line));
    if (MakeDragImage(grabbed, image)) SaveDragImage(image, CPoint(down.x - line.left, down.y - line.top));
  }
  commands->NumberCommands();
  m_pDragged = std::make_unique<CObArray>();
  for (int line = 0; line < GetLineCount(); ++line)
    if (IsLineSelected(line)) m_pDragged->Add(GetLineCommand(line));
  m_nDownLine = grabbed;
  if (m_pDragged->GetSize() > 0) {
    const CSceneFormats& formats = SceneFormats();
    CSceneDataSource source(m_pDragged.get());
    source.DelayRenderData(formats.move);
    source.DelayRenderData(formats.link);
    source.DelayRenderData(formats.copy);
    CSceneDropSource dropSource(m_pDragged->GetSize() == 1);
    RunSceneDrag(source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK | DROPEFFECT_SCROLL,
                 dropSource);
  }
  CImageList::EndDrag();
  DeleteDragImageFile();
  m_pDragged.reset();
  m_ptDown = CPoint(-1, -1);
  m_nDownLine = -1;
}

DWORD CSceneView::OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) {
  const CSceneFormats& formats = SceneFormats();
  if (!data || !(data->IsDataAvailable(formats.copy) || data->IsDataAvailable(formats.move) ||
                 data->IsDataAvailable(formats.link)))
    return CCtrlView::OnDragEnter(data, keyState, point);
  m_pSavedSel = std::make_unique<std::vector<int>>();
  for (int line = 0; line < GetLineCount(); ++line)
    if (IsLineSelected(line)) m_pSavedSel->push_back(line);
  m_nCaretAtEnter = GetCaretLine();
  m_nDropLine = -1;
  if (!m_pDragImage) {
    auto image = std::make_unique<CImageList>();
    CPoint hotSpot;
    if (LoadDragImage(*image, hotSpot) && image->BeginDrag(0, hotSpot)) {
      m_pDragImage = std::move(image);
      m_ptHotSpot = hotSpot;
      CImageList::DragEnter(m_hWnd, point);
    }
  }
  return OnDragOver(data, keyState, point);
}

DWORD CSceneView::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
  if (!m_pSavedSel) return CCtrlView::OnDragOver(data, keyState, point);
  FollowDropLine(point);
  return DropEffect(data, keyState);
}

void CSceneView::FollowDropLine(CPoint point) {
  if (m_pDragImage) CImageList::DragMove(point);
  const int line = LineFromPoint(point);
  if (line == m_nDropLine) return;
  if (m_pDragImage) CImageList::DragShowNolock(false);
  if (m_nDropLine >= 0) {
    const bool saved = std::find(m_pSavedSel->begin(), m_pSavedSel->end(), m_nDropLine) != m_pSavedSel->end();
    SendMessage(LB_SETSEL, saved ? TRUE : FALSE, m_nDropLine);
  }
  m_nDropLine = line;
  if (line >= 0) SendMessage(LB_SETSEL, TRUE, line);
  ::UpdateWindow(m_hWnd);
  if (m_pDragImage) CImageList::DragShowNolock(true);
}

DWORD CSceneView::DropEffect(COleDataObject* data, DWORD keyState) const {
  // A drag from anywhere else (the tree, another builder) only ever
  // copies: its lines and objects are not this script's.
  if (!m_pDragged) return data && data->IsDataAvailable(SceneFormats().copy) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  if (m_nDropLine < 0) return DROPEFFECT_COPY;
  const CSceneCommand* target = GetLineCommand(m_nDropLine);
  if (CommandListContains(*m_pDragged, target)) return DROPEFFECT_NONE;
  const bool ctrl = (keyState & MK_CONTROL) != 0;
  const bool shift = (keyState & MK_SHIFT) != 0;
  if (m_pDragged->GetSize() > 1 || ctrl != shift) return ctrl && !shift ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  const CSceneCommand* dragged = DraggedAt(*m_pDragged, 0);
  const int type = dragged->GetType();
  if (target && (type == kTypeImageText || type == kTypeMedia) && target->GetTargetType() == type)
    return DROPEFFECT_LINK;
  return DROPEFFECT_MOVE;
}

void CSceneView::EndDragOver() {
  if (m_pDragImage) {
    CImageList::DragLeave(m_hWnd);
    CImageList::EndDrag();
    m_pDragImage.reset();
  }
  if (m_pSavedSel && m_nDropLine >= 0) {
    const bool saved = std::find(m_pSavedSel->begin(), m_pSavedSel->end(), m_nDropLine) != m_pSavedSel->end();
    SendMessage(LB_SETSEL, saved ? TRUE : FALSE, m_nDropLine);
  }
  m_pSavedSel.reset();
  m_nDropLine = -1;
  Invalidate();
}

void CSceneView::OnDragLeave() {
  const bool entered = m_pSavedSel != nullptr;
  EndDragOver();
  if (entered && m_nCaretAtEnter >= 0 && m_nCaretAtEnter < GetLineCount())
    SendMessage(LB_SETCARETINDEX, m_nCaretAtEnter);
  CCtrlView::OnDragLeave();
}

bool CSceneView::OnDrop(COleDataObject* data, DWORD dropEffect, CPoint point) {
  const int dropLine = m_nDropLine;
  EndDragOver();
  const DWORD effect = dropEffect & ~DROPEFFECT_SCROLL;
  const CSceneFormats& formats = SceneFormats();
  CLIPFORMAT format = 0;
  switch (effect) {
    case DROPEFFECT_MOVE: format = formats.move; break;
    case DROPEFFECT_LINK: format = formats.link; break;
    case DROPEFFECT_COPY: format = formats.copy; break;
    default: return false;
  }
  // Lines and objects name this script's own: only its own drag moves or
  // links.
  if (!data || (effect != DROPEFFECT_COPY && !m_pDragged)) return false;
  std::unique_ptr<CFile> file = data->GetFileData(format);
  if (!file) return false;
  bool dropped = false;
  try {
    CArchive ar(file.get(), CArchive::load, 4096);
    if (effect == DROPEFFECT_MOVE)
      dropped = DropMove(ar, dropLine);
    else if (effect == DROPEFFECT_LINK)
      dropped = DropLink(ar, dropLine);
    else
      return PasteFromArchive(ar, dropLine < 0 ? GetLineCount() : dropLine);
  } catch (CException* e) {
    e->Delete();
  }
  if (!dropped) LwMessageBeep(kRefusedBeep);
  return dropped;
}

bool CSceneView::DropMove(CArchive& ar, int dropLine) {
  CCommandList* commands = Commands();
  std::vector<int> lines;
  if (!commands || !m_pDragged || !ReadMoveBlock(ar, GetLineCount(), lines) ||
      static_cast<int>(lines.size()) != m_pDragged->GetSize())
    return false;
  for (int line : lines) {
    if (line == dropLine || !CommandListContains(*m_pDragged, GetLineCommand(line))) return false;
  }
  std::sort(lines.begin(), lines.end());
  int above = 0;
  for (int line : lines)
    if (dropLine >= 0 && line < dropLine) ++above;
  CCommandList moving;
  SendMessage(WM_SETREDRAW, FALSE);
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    CSceneCommand* cmd = GetLineCommand(*it);
    SendMessage(LB_DELETESTRING, *it);
    commands->RemoveAt(*it);
    moving.InsertAt(0, cmd);
  }
  const int at = dropLine < 0 ? GetLineCount()
                              : dropLine - above + (m_nDownLine >= 0 && m_nDownLine < dropLine ? 1 : 0);
  SendMessage(WM_SETREDRAW, TRUE);
  InsertLines(moving, at);
  return true;
}

bool CSceneView::DropLink(CArchive& ar, int line) {
  CCommandList* commands = Commands();
  CSceneCommand* cmd = GetLineCommand(line);
  if (!commands || !m_pDragged || !cmd) return false;
  CSceneObject* object = ReadLinkBlock(ar, *commands);
  if (!object || !CommandListContains(*m_pDragged, object) || cmd->GetTargetType() != object->GetType())
    return false;
  cmd->SetTarget(object);
  RedrawLine(line);
  ClearSelection();
  SendMessage(LB_SETSEL, TRUE, line);
  SendMessage(LB_SETCARETINDEX, line);
  SetModified();
  return true;
}

bool CSceneView::OnScroll(UINT scrollCode, UINT pos, bool doScroll) {
  if (!doScroll) return CCtrlView::OnScroll(scrollCode, pos, false);
  if (m_pDragImage) CImageList::DragShowNolock(false);
  const bool scrolled = CCtrlView::OnScroll(scrollCode, pos, true);
  if (m_pDragImage) CImageList::DragShowNolock(true);
  const CBuilderOptions* options = Options();
  if (scrolled && options && options->m_scrollTime > 0) ::Sleep(static_cast<DWORD>(options->m_scrollTime));
  return scrolled;
}
