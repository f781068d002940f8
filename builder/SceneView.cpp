// The script list: the view itself, its lines, drawing, keys and mouse.
// The check, preview and make commands are in SceneViewMake.cpp, cut,
// copy, paste and drags in SceneViewClipboard.cpp.
#include "builder/SceneView.h"

#include <algorithm>

#include "builder/CommandEdit.h"
#include "builder/controls/Settings.h"
#include "builder/MainFrame.h"
#include "builder/resource.h"
#include "builder/SceneDataSource.h"
#include "builder/SceneDoc.h"
#include "framework/App.h"
#include "framework/FrameWnd.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "playback/SpeedCalibration.h"
#include "script/ListText.h"
#include "script/Options.h"
#include "script/Palette.h"

namespace {

const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_MULTIPLESEL |
                         LBS_EXTENDEDSEL | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT;
// How far the lines reach to the right, for the horizontal scroll bar.
const int kHorizontalExtent = 30000;

CWinApp* App() { return AfxGetApp(); }

// The speed value of this machine: stored in the profile, else measured
// (once per machine and stored there).
UINT MeasureTimes() {
  CWinApp* app = App();
  if (!app || !*app->GetProfileKey()) return 0;
  CString key = app->GetProfileKey();
  key += "\\";
  key += kSettingsSection;
  CRegistrySpeedStore store(HKEY_CURRENT_USER, key);
  UINT times = 0;
  CalibrateSpeed(store, &times);
  return times;
}

// Puts a line per command at the end of the list box for little more than
// the list box's own work: each goes straight to the list box's procedure
// (a message through the subclasses looks the window's properties up twice,
// round trips to the window server under Wine), and every so many lines
// the top line follows the lines added, since the list box finds where a
// line of its own height goes by adding up the heights from the top line
// down. The room for the lines is taken at once, not a few lines at a
// time. The top line goes back where it was at the end.
void AppendLines(HWND list, const CCommandList& commands) {
  const auto proc = reinterpret_cast<WNDPROC>(::GetClassLongPtrA(list, GCLP_WNDPROC));
  auto send = [&](UINT msg, WPARAM wp, LPARAM lp) {
    return proc ? ::CallWindowProcA(proc, list, msg, wp, lp) : ::SendMessageA(list, msg, wp, lp);
  };
  const LRESULT top = send(LB_GETTOPINDEX, 0, 0);
  send(LB_INITSTORAGE, static_cast<WPARAM>(commands.GetSize()), 0);
  const int kFollow = 256;
  for (int i = 0; i < commands.GetSize(); ++i) {
    const LRESULT line = send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(commands.GetCommand(i)));
    if (line >= 0 && line % kFollow == kFollow - 1) send(LB_SETTOPINDEX, line, 0);
  }
  send(LB_SETTOPINDEX, top, 0);
}

}  // namespace

CSceneView::CSceneView() : CCtrlView("LISTBOX", kListStyle) {
  SceneFormats();
  m_nTimes = MeasureTimes();
}

CSceneView::~CSceneView() = default;

CSceneDoc* CSceneView::GetSceneDoc() const { return dynamic_cast<CSceneDoc*>(GetDocument()); }

CCommandPalette* CSceneView::Palette() const {
  CSceneDoc* doc = GetSceneDoc();
  return doc && doc->GetPalette() ? doc->GetPalette() : g_pCommandPalette;
}

CBuilderOptions* CSceneView::Options() const {
  CCommandPalette* palette = Palette();
  return palette ? palette->GetOptions() : nullptr;
}

CCommandList* CSceneView::Commands() const {
  CCommandPalette* palette = Palette();
  return palette ? &palette->GetCommands() : nullptr;
}

HWND CSceneView::MainWindow() const {
  CWinApp* app = App();
  if (app && app->m_pMainWnd) return app->m_pMainWnd->GetSafeHwnd();
  CFrameWnd* frame = GetParentFrame();
  return frame ? frame->GetSafeHwnd() : nullptr;
}

void CSceneView::SetModified() {
  if (CDocument* doc = GetDocument()) doc->SetModifiedFlag(true);
}

// ---------------------------------------------------------------------------
// Lines

int CSceneView::GetLineCount() const {
  if (!m_hWnd) return 0;
  const LRESULT n = SendMessage(LB_GETCOUNT);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}

CSceneCommand* CSceneView::GetLineCommand(int line) const {
  if (line < 0 || line >= GetLineCount()) return nullptr;
  const LRESULT data = SendMessage(LB_GETITEMDATA, line);
  return data == LB_ERR ? nullptr : reinterpret_cast<CSceneCommand*>(data);
}

int CSceneView::GetCaretLine() const {
  if (GetLineCount() == 0) return -1;
  const LRESULT caret = SendMessage(LB_GETCARETINDEX);
  return caret == LB_ERR ? -1 : static_cast<int>(caret);
}

int CSceneView::GetSelectedCount() const {
  if (!m_hWnd) return 0;
  const LRESULT n = SendMessage(LB_GETSELCOUNT);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}

bool CSceneView::IsLineSelected(int line) const { return SendMessage(LB_GETSEL, line) > 0; }

bool CSceneView::HasVisibleCommands() const {
  for (int i = 0; i < GetLineCount(); ++i) {
    const CSceneCommand* cmd = GetLineCommand(i);
    if (!cmd || cmd->IsDisabled()) continue;
    const int type = cmd->GetType();
    if (type == kTypeShow || type == kTypeMove || type == kTypePlay) return true;
  }
  return false;
}

void CSceneView::ClearSelection() { SendMessage(LB_SETSEL, FALSE, -1); }

void CSceneView::Reindent() {
  CCommandList* commands = Commands();
  CBuilderOptions* options = Options();
  if (commands) UpdateIndentLevels(*commands, options ? options->m_tabSize : 2);
}

void CSceneView::RedrawLine(int line) {
  const CSceneCommand* cmd = GetLineCommand(line);
  if (cmd && (cmd->GetType() == kTypeImageText || cmd->GetType() == kTypeMedia)) {
    Invalidate();
    return;
  }
  RECT r;
  if (SendMessage(LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r)) != LB_ERR) InvalidateRect(&r);
}

void CSceneView::ClearLines() {
  if (m_hWnd) SendMessage(LB_RESETCONTENT);
}

void CSceneView::RebuildLines() {
  if (!m_hWnd) return;
  SendMessage(WM_SETREDRAW, FALSE);
  FillLines();
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate();
}

void CSceneView::FillLines() {
  SendMessage(LB_RESETCONTENT);
  if (CCommandList* commands = Commands()) AppendLines(m_hWnd, *commands);
  Reindent();
}

bool CSceneView::InsertCommand(CSceneCommand* command, bool append) {
  CCommandList* commands = Commands();
  if (!command || !commands) {
    delete command;
    return false;
  }
  int line = append ? GetLineCount() : GetCaretLine();
  if (line < 0 || line > GetLineCount()) line = GetLineCount();
  SendMessage(WM_SETREDRAW, FALSE);
  const LRESULT at = SendMessage(LB_INSERTSTRING, line, reinterpret_cast<LPARAM>(command));
  if (at == LB_ERR || at == LB_ERRSPACE) {
    SendMessage(WM_SETREDRAW, TRUE);
    delete command;
    return false;
  }
  commands->InsertAt(line, command);
  ClearSelection();
  SendMessage(LB_SETSEL, TRUE, line);
  SendMessage(LB_SETCARETINDEX, line);
  Reindent();
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate();
  SetModified();
  return true;
}

void CSceneView::DeleteSelection(bool ask) {
  const int selected = GetSelectedCount();
  CCommandList* commands = Commands();
  if (selected <= 0 || !commands) return;
  if (ask) {
    CString question = LoadResourceString(IDS_DELETE_QUESTION, "Are you sure you want delete command");
    if (selected > 1) question += "s";
    question += "?";
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  SendMessage(WM_SETREDRAW, FALSE);
  for (int line = GetLineCount() - 1; line >= 0; --line) {
    if (!IsLineSelected(line)) continue;
    CSceneCommand* cmd = GetLineCommand(line);
    // The line goes first, so that nothing draws the command once deleted.
    SendMessage(LB_DELETESTRING, line);
    if (line < commands->GetSize() && commands->GetCommand(line) == cmd) commands->RemoveAt(line);
    delete cmd;
  }
  Reindent();
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate();
  SetModified();
}

void CSceneView::SetSelectionDisabled(bool disable) {
  if (GetSelectedCount() <= 0) return;
  for (int line = 0; line < GetLineCount(); ++line) {
    CSceneCommand* cmd = GetLineCommand(line);
    if (!cmd || !IsLineSelected(line) || (cmd->IsDisabled() != 0) == disable) continue;
    cmd->SetDisabled(disable ? 1 : 0);
    RedrawLine(line);
  }
  SetModified();
}

void CSceneView::EnableAll() {
  for (int line = 0; line < GetLineCount(); ++line) {
    CSceneCommand* cmd = GetLineCommand(line);
    if (!cmd || !cmd->IsDisabled()) continue;
    cmd->SetDisabled(0);
    RedrawLine(line);
  }
  SetModified();
}

void CSceneView::ResetSelection() {
  ClearSelection();
  if (GetLineCount() > 0) SendMessage(LB_SETCARETINDEX, 0);
  Invalidate();
}

void CSceneView::SelectAll() { SendMessage(LB_SETSEL, TRUE, -1); }

void CSceneView::SelectLineAlone(int line) {
  if (line < 0 || line >= GetLineCount()) return;
  ClearSelection();
  SendMessage(LB_SETSEL, TRUE, line);
  SendMessage(LB_SETCARETINDEX, line);
  if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(this);
}

void CSceneView::EditLine(int line) {
  if (line == -1 || line == 0xFFFF) return;
  CSceneCommand* cmd = GetLineCommand(line);
  if (!cmd) return;
  if (EditSceneCommand(*cmd, m_hWnd) != IDOK) return;
  RedrawLine(line);
  SetModified();
}

void CSceneView::OnInitialUpdate() {
  CCtrlView::OnInitialUpdate();
  RebuildLines();
}

// ---------------------------------------------------------------------------
// Window

int CSceneView::OnCreate(CREATESTRUCTA* cs) {
  if (CCtrlView::OnCreate(cs) == -1) return -1;
  m_imageList.Create(IDB_COMMANDS, m_nIconSize, 15, COMMANDS_MASK_COLOUR);
  SendMessage(LB_SETHORIZONTALEXTENT, kHorizontalExtent);
  m_dropTarget.Register(this);
  return 0;
}

bool CSceneView::OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  switch (msg) {
    case WM_MEASUREITEM:
      MeasureLine(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    case WM_DRAWITEM:
      DrawLine(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      *result = TRUE;
      return true;
    default:
      return false;
  }
}

void CSceneView::MeasureLine(MEASUREITEMSTRUCT* item) const {
  const CBuilderOptions* options = Options();
  const auto* cmd = reinterpret_cast<const CSceneCommand*>(item->itemData);
  int height = 0;
  if (options) height = cmd ? options->GetStyleExtent(*cmd) : options->m_heights[0];
  item->itemHeight = static_cast<UINT>(height > m_nIconSize ? height : m_nIconSize);
}

CSceneView::CLineLook CSceneView::SelectedLook(int line, const CSceneCommand* cmd) const {
  CLineLook look;
  look.textColour = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  if (!m_pSavedSel) return look;
  // A drag is over the view: the drop line shows selected, and so do the
  // lines selected when it entered.
  const CBuilderOptions* options = Options();
  const bool soft = options && options->m_softDragging == 1;
  const bool colour = options && options->m_dragColourOn == 1;
  const bool saved = std::find(m_pSavedSel->begin(), m_pSavedSel->end(), line) != m_pSavedSel->end();
  const bool under = line == m_nDropLine;
  // During the view's own drag every selected line that was not selected
  // before is the drop line; a drag from elsewhere marks only the line
  // under the cursor.
  const bool dropLine = !saved && (m_pDragged || under);
  look.iconSelected = saved;
  if (dropLine) {
    if (soft) {
      look.background = ::GetSysColor(COLOR_WINDOW);
      look.textColour = cmd ? options->GetStyleColour(*cmd) : 0;
      look.offset = 1;
    } else if (colour) {
      look.textColour = options->m_dragColour;
    }
  } else if (!m_pDragged && under) {
    if (colour && !soft) look.textColour = options->m_dragColour;
    if (soft) look.offset = 1;
  }
  return look;
}

void CSceneView::DrawLine(const DRAWITEMSTRUCT* item) {
  if (static_cast<int>(item->itemID) < 0) return;
  const auto* cmd = reinterpret_cast<const CSceneCommand*>(item->itemData);
  const CBuilderOptions* options = Options();
  HDC dc = item->hDC;
  CRect rect(item->rcItem);
  rect.left += m_nIconSize;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;

  if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
    CLineLook look;
    if (selected) {
      look = SelectedLook(static_cast<int>(item->itemID), cmd);
    } else {
      look.background = ::GetSysColor(COLOR_WINDOW);
      look.textColour = options && cmd ? options->GetStyleColour(*cmd) : 0;
      look.iconSelected = false;
    }
    CDC out;
    out.Attach(dc);
    // The icon's column, then the label's background.
    out.FillSolidRect(item->rcItem.left, rect.top, m_nIconSize, rect.Height(),
                      ::GetSysColor(COLOR_WINDOW));
    out.FillSolidRect(rect.left, rect.top, rect.Width(), rect.Height(), look.background);
    if (cmd) {
      const CPoint icon(item->rcItem.left + look.offset,
                        rect.top + (rect.Height() - m_nIconSize) / 2 + look.offset);
      m_imageList.Draw(dc, cmd->GetType() + IDI_COMMAND_FIRST, icon,
                       look.iconSelected ? ILD_SELECTED : ILD_NORMAL);
      CString label;
      cmd->Describe(label);
      HFONT font = options ? options->GetStyleFont(*cmd) : nullptr;
      CSelectObject useFont(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
      const int extent = options ? options->GetStyleExtent(*cmd) : 0;
      out.SetTextColor(look.textColour);
      out.SetBkMode(TRANSPARENT);
      int x = rect.left + cmd->m_indent * m_nIconSize / 2 + 3;
      TruncateTextToWidth(dc, label, x);
      out.TextOut(x + look.offset, rect.top + (rect.Height() - extent) / 2 + look.offset, label,
                  label.GetLength());
    }
    out.Detach();
  }
  // The focus rectangle is drawn by inverting: a fresh line gets it when
  // it has the focus, a focus change toggles it. None shows under a drag,
  // whose end redraws every line.
  const bool focused = (item->itemState & ODS_FOCUS) != 0;
  if (!m_pSavedSel && ((item->itemAction & ODA_FOCUS) ||
                       ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) && focused)))
    ::DrawFocusRect(dc, &rect);
}

void CSceneView::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
  switch (vk) {
    case VK_RETURN:
      if (GetLineCount() > 0) EditLine(GetCaretLine());
      return;
    case VK_DELETE:
      DeleteSelection(true);
      return;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
      if (ctrl) {
        const WPARAM code = vk == VK_PRIOR ? SB_PAGELEFT
                            : vk == VK_NEXT ? SB_PAGERIGHT
                            : vk == VK_END  ? SB_RIGHT
                                            : SB_LEFT;
        SendMessage(WM_HSCROLL, code);
        return;
      }
      break;
    case VK_LEFT:
      SendMessage(WM_HSCROLL, SB_LINELEFT);
      return;
    case VK_RIGHT:
      SendMessage(WM_HSCROLL, SB_LINERIGHT);
      return;
    default:
      break;
  }
  Default();
}

void CSceneView::OnLButtonDblClk(UINT flags, CPoint pt) {
  const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  // The high word is set below the last line.
  if (HIWORD(hit) == 0 && GetLineCount() > 0) {
    EditLine(LOWORD(hit));
    return;
  }
  Default();
}

void CSceneView::OnRButtonDown(UINT flags, CPoint pt) {
  const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
  const int line = LOWORD(hit);
  if (HIWORD(hit) == 0 && line < GetLineCount() && !IsLineSelected(line)) {
    ClearSelection();
    SendMessage(LB_SETSEL, TRUE, line);
    SendMessage(LB_SETCARETINDEX, line);
  }
  Default();
}

LRESULT CSceneView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CONTEXTMENU) {
    TrackPaneContextMenu(m_hWnd, lp, CONTEXT_MENU_SCRIPT);
    return 0;
  }
  return CCtrlView::WindowProc(msg, wp, lp);
}
