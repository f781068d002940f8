// The script list's check, preview, make, default-saver, text-export and
// options commands.
#include "builder/SceneView.h"

#include <vector>

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/SaverMakeResult.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "builder/OptionsDlg.h"
#include "builder/PreviewFrame.h"
#include "builder/resource.h"
#include "common/Paths.h"
#include "framework/App.h"
#include "framework/Seams.h"
#include "script/Options.h"
#include "script/ScriptCheck.h"
#include "script/ScriptExport.h"
#include "wizards/SaverMaker.h"

namespace {

const char kScreenSaverFilter[] = "Screen Saver (.scr)|*.scr||";
const char kInstallerFilter[] = "Quenlark(.exe)|*.exe||";

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

}  // namespace

bool CSceneView::CheckScript() {
  CCommandList* commands = Commands();
  if (!commands) return false;
  const CScriptCheck check = ::CheckScript(*commands);
  if (check.IsReady()) return true;
  if (check.messageId == kMissingUntilMessageId)
    AfxMessageBox(LoadResourceString(IDS_MISSING_UNTIL, "Missing until command."), MB_ICONSTOP);
  else if (check.messageId == kMissingRepeatMessageId)
    AfxMessageBox(LoadResourceString(IDS_MISSING_REPEAT, "Missing repeat command."), MB_ICONSTOP);
  SelectLineAlone(check.line);
  return false;
}

bool CSceneView::Preview() {
  if (!CheckScript()) return false;
  if (!HasVisibleCommands())
    AfxMessageBox(LoadResourceString(IDS_NO_VISIBLE_COMMANDS,
                                     "Warning!  There are no active commands in your screen saver. "
                                     "There will be no visible result."),
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
  if (path.IsEmpty())
    AfxMessageBox(LoadResourceString(IDS_SAVE_SCENE_FIRST, "You have to save the scene."));
  return path;
}

namespace {

// The save dialog of a make: where the output goes and under what name
// (chosen: the name as the dialog gave it, before the extension is added);
// false when cancelled. The chosen folder is remembered in "SavePath".
bool AskOutputPath(HWND parent, const char* defExt, const char* name, const char* filter,
                   CString& output, CString& chosen) {
  CFileDialogEx dialog(false, false, defExt, name,
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK, filter, parent);
  const CString folder = GetSettingsFolder("SavePath");
  dialog.m_ofn.lpstrInitialDir = folder;
  dialog.m_ofn.lpstrTitle = "Make Screen Saver";
  dialog.m_ofn.lpfnHook = SaveDialogHookProc;
  dialog.m_ofn.Flags |= OFN_ENABLEHOOK;
  if (dialog.DoModal() != IDOK) return false;
  WriteSettingsString("SavePath", dialog.GetFolderPath());
  output = chosen = dialog.GetPathName();
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
  CString output, chosen;
  if (interactive) {
    if (!AskOutputPath(m_hWnd, "scr", GetFileName(OutputBase(document)), kScreenSaverFilter, output,
                       chosen))
      return false;
  } else {
    output = OutputBase(document) + ".scr";
  }
  const CUnwrittenFileGuard unwritten(chosen);
  CSaverMaker maker;
  const bool made = maker.MakeScr(output, document) != FALSE;
  ShowSaverMakeResult(made, output, maker.m_lastErrorShown, maker.m_lastErrorMessage,
                      maker.m_lastErrorCode);
  if (made && outPath) *outPath = output;
  return made;
}

bool CSceneView::OnMakeInstall(bool interactive) {
  const CString document = SavedDocumentPath();
  if (document.IsEmpty() || !CheckScript()) return false;
  CString output, chosen;
  if (interactive) {
    if (!AskOutputPath(m_hWnd, "exe", GetPathTitle(document), kInstallerFilter, output, chosen))
      return false;
  } else {
    // Beside the document, as its screen saver.
    output = OutputBase(document) + ".exe";
  }
  const CUnwrittenFileGuard unwritten(chosen);
  CSaverMaker maker;
  const bool made = maker.MakeInstaller(output, document) != FALSE;
  ShowSaverMakeResult(made, output, maker.m_lastErrorShown, maker.m_lastErrorMessage,
                      maker.m_lastErrorCode);
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
    AfxMessageBox(LoadResourceString(IDS_SAVE_SCENE_FIRST, "You have to save the scene."));
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
