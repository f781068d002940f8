// The script list: lines, editing, drawing, keys and mouse, cut, copy and
// paste, drags out of and onto the list, and the check, preview, make,
// default-saver and text-export commands.
#include "builder/SceneView.h"

#include <algorithm>
#include <cstdlib>

#include "builder/CommandEdit.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/SaverMakeResult.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "builder/MainFrame.h"
#include "builder/ObjectDialogs.h"
#include "builder/OptionsDlg.h"
#include "builder/PreviewFrame.h"
#include "builder/resource.h"
#include "builder/SceneDataSource.h"
#include "builder/SceneDoc.h"
#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/FrameWnd.h"
#include "framework/Gdi.h"
#include "framework/Seams.h"
#include "playback/SpeedCalibration.h"
#include "script/BuilderUtilities.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "script/SceneClipboard.h"
#include "script/ScriptTools.h"
#include "wizards/SaverMaker.h"

namespace {

const char kSettings[] = "Settings";
const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_MULTIPLESEL |
                         LBS_EXTENDEDSEL | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT;
// How far the lines reach to the right, for the horizontal scroll bar.
const int kHorizontalExtent = 30000;
const char kScreenSaverFilter[] = "Screen Saver (.scr)|*.scr||";
const char kInstallerFilter[] = "Quenlark(.exe)|*.exe||";

CString Text(UINT id, const char* fallback) { return LoadResourceString(id, fallback); }

bool EndsWithNoCase(const CString& text, const char* tail) {
  const int n = lstrlenA(tail);
  return text.GetLength() >= n && text.Right(n).CompareNoCase(tail) == 0;
}

// The document's path without ".fsd" (any case); a document of another
// name keeps its whole name, so that ".scr" is added to it rather than put
// in place of some other extension.
CString OutputBase(const CString& documentPath) {
  return EndsWithNoCase(documentPath, ".fsd") ? documentPath.Left(documentPath.GetLength() - 4)
                                              : documentPath;
}

CWinApp* App() { return AfxGetApp(); }

CString ProfileString(const char* entry, const char* defaultValue) {
  char text[MAX_PATH] = "";
  if (CWinApp* app = App()) app->GetProfileString(kSettings, entry, defaultValue, text, sizeof text);
  return text;
}

void WriteProfileString(const char* entry, const char* value) {
  if (CWinApp* app = App()) app->WriteProfileString(kSettings, entry, value);
}

// The speed value of this machine: stored in the profile, else measured
// (once per machine and stored there).
UINT MeasureTimes() {
  CWinApp* app = App();
  if (!app || !*app->GetProfileKey()) return 0;
  CString key = app->GetProfileKey();
  key += "\\";
  key += kSettings;
  CRegistrySpeedStore store(HKEY_CURRENT_USER, key);
  UINT times = 0;
  CalibrateSpeed(store, &times);
  return times;
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
  if (CCommandList* commands = Commands()) {
    for (int i = 0; i < commands->GetSize(); ++i)
      SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(commands->GetCommand(i)));
  }
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
    CString question = Text(IDS_DELETE_QUESTION, "Are you sure you want delete command");
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

// ---------------------------------------------------------------------------
// Check, preview, make

bool CSceneView::CheckScript() {
  CCommandList* commands = Commands();
  if (!commands) return false;
  const CScriptCheck check = ::CheckScript(*commands);
  if (check.IsReady()) return true;
  if (check.messageId == kMissingUntilMessageId)
    AfxMessageBox(Text(IDS_MISSING_UNTIL, "Missing until command."), MB_ICONSTOP);
  else if (check.messageId == kMissingRepeatMessageId)
    AfxMessageBox(Text(IDS_MISSING_REPEAT, "Missing repeat command."), MB_ICONSTOP);
  SelectLineAlone(check.line);
  return false;
}

bool CSceneView::Preview() {
  if (!CheckScript()) return false;
  if (!HasVisibleCommands())
    AfxMessageBox(Text(IDS_NO_VISIBLE_COMMANDS,
                       "Warning!  There are no active commands in your screen saver. There will "
                       "be no visible result."),
                  MB_ICONSTOP);
  const CBuilderOptions* options = Options();
  CDocument* doc = GetDocument();
  if (options && options->m_saveBeforePreview == 1 && doc && doc->IsModified())
    ::SendMessageA(MainWindow(), WM_COMMAND, ID_FILE_SAVE, 0);
  return OpenPreview(&m_nTimes, options && options->m_previewAutoStart == 1);
}

CString CSceneView::SavedDocumentPath() {
  ::SendMessageA(MainWindow(), WM_COMMAND, ID_FILE_SAVE, 0);
  CDocument* doc = GetDocument();
  // A save that did not happen leaves the document modified.
  CString path = doc && !doc->IsModified() ? doc->GetPathName() : CString();
  if (path.IsEmpty()) AfxMessageBox(Text(IDS_SAVE_SCENE_FIRST, "You have to save the scene."));
  return path;
}

namespace {

// The save dialog of a make: where the output goes and under what name;
// false when cancelled. The chosen folder is remembered in "SavePath".
bool AskOutputPath(HWND parent, const char* defExt, const char* name, const char* filter,
                   CString& output) {
  CFileDialogEx dialog(false, false, defExt, name,
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK, filter, parent);
  const CString folder = ProfileString("SavePath", GetMyDocumentsPath());
  dialog.m_ofn.lpstrInitialDir = folder;
  dialog.m_ofn.lpstrTitle = "Make Screen Saver";
  dialog.m_ofn.lpfnHook = SaveDialogHookProc;
  dialog.m_ofn.Flags |= OFN_ENABLEHOOK;
  if (dialog.DoModal() != IDOK) return false;
  WriteProfileString("SavePath", dialog.GetFolderPath());
  output = dialog.GetPathName();
  if (dialog.GetFileExt().CompareNoCase(defExt) != 0) {
    output += ".";
    output += defExt;
  }
  return true;
}

}  // namespace

bool CSceneView::OnMakeScr(bool interactive, CString* outPath) {
  const CString document = SavedDocumentPath();
  if (document.IsEmpty() || !CheckScript()) return false;
  CString output;
  if (interactive) {
    if (!AskOutputPath(m_hWnd, "scr", GetFileName(OutputBase(document)), kScreenSaverFilter, output))
      return false;
  } else {
    output = OutputBase(document) + ".scr";
  }
  CSaverMaker maker;
  const bool made = maker.MakeScr(output, document) != FALSE;
  ShowSaverMakeResult(made, maker, output);
  if (made && outPath) *outPath = output;
  return made;
}

bool CSceneView::OnMakeInstall(bool interactive) {
  const CString document = SavedDocumentPath();
  if (document.IsEmpty() || !CheckScript()) return false;
  CString output;
  if (interactive) {
    if (!AskOutputPath(m_hWnd, "exe", GetPathTitle(document), kInstallerFilter, output)) return false;
  } else {
    // Beside the document, as its screen saver.
    output = OutputBase(document) + ".exe";
  }
  CSaverMaker maker;
  const bool made = maker.MakeInstaller(output, document) != FALSE;
  ShowSaverMakeResult(made, maker, output);
  return made;
}

void CSceneView::SetAsDefaultSaver() {
  CString saver;
  OnMakeScr(true, &saver);
  if (saver.IsEmpty()) return;
  char system[520] = "";
  const UINT length = ::GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) return;
  CString target;
  target.Format("%s\\%s", system, static_cast<const char*>(GetFileName(saver)));
  if (!::CopyFileA(saver, target, FALSE)) {
    CString text;
    text.Format("%s\n\ncannot be copied to\n%s", static_cast<const char*>(saver),
                static_cast<const char*>(target));
    AfxMessageBox(text, MB_ICONSTOP);
    return;
  }
  CString parameters;
  parameters.Format("desk.cpl,InstallScreenSaver %s", static_cast<const char*>(target));
  LwShellExecute(MainWindow(), nullptr, "rundll32.exe", parameters, nullptr, SW_SHOW);
}

void CSceneView::ExportText() {
  CCommandList* commands = Commands();
  if (!commands || commands->GetSize() == 0) return;
  CDocument* doc = GetDocument();
  if (!doc) return;
  if (doc->GetPathName().IsEmpty()) ::SendMessageA(MainWindow(), WM_COMMAND, ID_FILE_SAVE, 0);
  if (doc->GetPathName().IsEmpty()) {
    AfxMessageBox(Text(IDS_SAVE_SCENE_FIRST, "You have to save the scene."));
    return;
  }
  const CString path = doc->GetPathName() + ".txt";
  if (!WriteScriptText(path, *commands)) {
    AfxMessageBox(path + "\n\ncannot be created.", MB_ICONSTOP);
    return;
  }
  OpenInShell(path, SW_SHOWMAXIMIZED);
}

void CSceneView::EditOptions() {
  if (!RunOptionsDialog(::GetAncestor(m_hWnd, GA_ROOT)) || !m_hWnd) return;
  // A line's height is measured only when the line goes in: every line
  // goes in again, measured in the new fonts and indented by the new tab
  // size, and the user finds the list as it was.
  std::vector<int> selected;
  for (int line = 0; line < GetLineCount(); ++line)
    if (IsLineSelected(line)) selected.push_back(line);
  const int caret = GetCaretLine();
  const LRESULT top = SendMessage(LB_GETTOPINDEX);
  const int across = ::GetScrollPos(m_hWnd, SB_HORZ);
  SendMessage(WM_SETREDRAW, FALSE);
  FillLines();
  for (int line : selected) SendMessage(LB_SETSEL, TRUE, line);
  if (caret >= 0) SendMessage(LB_SETCARETINDEX, caret, TRUE);
  if (top != LB_ERR) SendMessage(LB_SETTOPINDEX, top);
  SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, across));
  SendMessage(WM_SETREDRAW, TRUE);
  Invalidate();
}

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
    SoundBeep(kRefusedBeep);
    return;
  }
  try {
    CSharedFile file(4096);
    file.SetHandle(block);  // the clipboard's still
    CArchive ar(&file, CArchive::load, 4096);
    PasteFromArchive(ar, at);
  } catch (CException* e) {
    e->Delete();
    SoundBeep(kRefusedBeep);
  }
}

bool CSceneView::PasteFromArchive(CArchive& ar, int at) {
  CCommandList* commands = Commands();
  if (!commands) return false;
  commands->NumberCommands();
  CCommandList pasted;
  if (!ReadCopyBlock(ar, Palette(), *commands, pasted)) {
    SoundBeep(kRefusedBeep);
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
  if (!dropped) SoundBeep(kRefusedBeep);
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
