// The flash presentation's parameters and the finished dialogs.
#include "wizards/ToolDialogs.h"

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/OutputNames.h"
#include "builder/controls/Settings.h"
#include "builder/controls/ShellOpen.h"
#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/DocView.h"
#include "framework/Seams.h"
#include "wizards/WizardToolsResource.h"

const char kShowGotoDialogEntry[] = "ShowGotoDlg";

bool MayReplaceFiles(std::initializer_list<CString> paths) {
  bool exists = false;
  for (const CString& path : paths) exists = exists || (!path.IsEmpty() && FileExists(path));
  return !exists || AfxMessageBox("There is already file under that name, do you want to overwrite it?",
                                  MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

CString FlashPresentationBase(const char* name) {
  CString folder = GetSettingsFolder("DocPath");
  if (!folder.IsEmpty() && folder[folder.GetLength() - 1] == '\\')
    folder = folder.Left(folder.GetLength() - 1);
  return folder + "\\" + name;
}

// ---------------------------------------------------------------------------

const CCommandEntry CFlashPresentationDlg::commandEntries[] = {
    CommandEntry(IDC_FP_BROWSE, &CFlashPresentationDlg::OnBrowse),
};
LW_IMPLEMENT_COMMAND_TABLE(CFlashPresentationDlg, CCmdDialog)

CFlashPresentationDlg::CFlashPresentationDlg(HWND parent)
    : CCmdDialog(IDD_FLASH_PRESENTATION, parent) {}

void CFlashPresentationDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_FP_MOVIE, m_moviePath);
  DDX_Text(dx, IDC_FP_NAME, m_saverName);
}

// Called when "Browse..." is clicked: the chosen movie replaces the path
// typed so far; a cancelled choice leaves it.
bool CFlashPresentationDlg::OnBrowse(UINT) {
  UpdateData(true);
  CFileDialogEx dialog(false, true, nullptr, nullptr, OFN_HIDEREADONLY,
                       "Flash Files (.swf)|*.swf|", m_hWnd);
  const CString folder = GetSettingsFolder("MediaPath");
  dialog.m_ofn.lpstrInitialDir = folder;
  dialog.m_ofn.lpstrTitle = "New Media";
  if (dialog.DoModal() != IDOK) return true;
  m_moviePath = dialog.GetPathName();
  UpdateData(false);
  return true;
}

void CFlashPresentationDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (m_saverName.IsEmpty() || m_moviePath.IsEmpty()) {
    AfxMessageBox("You must enter all needed data");
    return;
  }
  if (!IsIdentifier(m_saverName)) {
    AfxMessageBox(LoadResourceString(IDS_INVALID_SAVER_NAME,
                                     "Invalid file name, it can contain letters, numbers and '_' "
                                     "character."));
    return;
  }
  // The presentation writes these three files; any of them already there
  // would be replaced.
  const CString base = FlashPresentationBase(m_saverName);
  if (!MayReplaceFiles({base + ".fsd", base + ".scr", base + ".exe"})) return;
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------

const CCommandEntry CFinishedDlg::commandEntries[] = {
    CommandEntry(IDC_FINISHED_GOTO, &CFinishedDlg::OnGoToFolder),
};
LW_IMPLEMENT_COMMAND_TABLE(CFinishedDlg, CCmdDialog)

CFinishedDlg::CFinishedDlg(UINT templateId, HWND parent) : CCmdDialog(templateId, parent) {}

bool CFinishedDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  if (!m_caption.IsEmpty()) SetWindowText(m_caption);
  SetDlgItemText(IDC_FINISHED_FOLDER, m_folder);
  return true;
}

// Called when "Go to folder" is clicked: the shell opens the folder in a
// window of its own, and the dialog has done its work.
bool CFinishedDlg::OnGoToFolder(UINT) {
  OpenInShell(m_folder, SW_SHOWMAXIMIZED);
  EndDialog(IDOK);
  return true;
}

CMakeFinishedDlg::CMakeFinishedDlg(HWND parent) : CFinishedDlg(IDD_MAKE_FINISHED, parent) {}

COneStepFinishedDlg::COneStepFinishedDlg(HWND parent)
    : CFinishedDlg(IDD_ONESTEP_FINISHED, parent) {
  m_caption = "One-Step Wizard finished";
}
