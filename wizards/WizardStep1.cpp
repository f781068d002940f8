// The Standard wizard's step 1: the saver's name and folder, what it shows, and what is made.
#include "wizards/WizardSteps.h"

#include "builder/controls/OutputNames.h"
#include "builder/controls/Settings.h"
#include "framework/Seams.h"
#include "wizards/WizardStepsResource.h"

namespace {

// Sets a flag for a scope.
class CQuietScope {
 public:
  explicit CQuietScope(bool& flag) : m_flag(flag), m_was(flag) { m_flag = true; }
  ~CQuietScope() { m_flag = m_was; }
  CQuietScope(const CQuietScope&) = delete;
  CQuietScope& operator=(const CQuietScope&) = delete;

 private:
  bool& m_flag;
  bool m_was;
};

}  // namespace

const CCommandEntry CWizardStep1Dlg::commandEntries[] = {
    ControlEntry(IDC_WIZ1_NAME, EN_CHANGE, &CWizardStep1Dlg::OnNameChange),
    ControlEntry(IDC_WIZ1_NAME, EN_KILLFOCUS, &CWizardStep1Dlg::OnNameKillFocus),
    CommandEntry(IDC_WIZ1_IMAGES, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_MEDIA, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_TEXTS, &CWizardStep1Dlg::OnKindClicked),
    CommandEntry(IDC_WIZ1_BROWSE, &CWizardStep1Dlg::OnBrowse),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep1Dlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep1Dlg, CCmdDialog)

CWizardStep1Dlg::CWizardStep1Dlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP1, parent),
      m_folder(p.m_folder),
      m_name(p.m_name),
      m_images(p.m_useImages),
      m_media(p.m_useMedia),
      m_texts(p.m_useTexts),
      m_repeat(p.m_infiniteRepeat),
      m_makeScr(p.m_makeScr),
      m_makeExe(p.m_makeExe) {}

void CWizardStep1Dlg::CopyTo(CWizardProject& p) const {
  p.m_folder = m_folder;
  p.m_name = m_name;
  p.m_useImages = m_images;
  p.m_useMedia = m_media;
  p.m_useTexts = m_texts;
  p.m_infiniteRepeat = m_repeat;
  p.m_makeScr = m_makeScr;
  p.m_makeExe = m_makeExe;
}

void CWizardStep1Dlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_WIZ1_FOLDER, m_folder);
  DDX_Text(dx, IDC_WIZ1_NAME, m_name);
  DDX_Check(dx, IDC_WIZ1_IMAGES, m_images);
  DDX_Check(dx, IDC_WIZ1_MEDIA, m_media);
  DDX_Check(dx, IDC_WIZ1_TEXTS, m_texts);
  DDX_Check(dx, IDC_WIZ1_REPEAT, m_repeat);
  DDX_Check(dx, IDC_WIZ1_MAKE_SCR, m_makeScr);
  DDX_Check(dx, IDC_WIZ1_MAKE_EXE, m_makeExe);
}

bool CWizardStep1Dlg::IsNameFree() const {
  return IsOutputNameFree(WithFinalBackslash(m_folder) + m_name, 3);
}

void CWizardStep1Dlg::RefuseName() {
  LwMessageBox(m_hWnd, FileNameRefusal("file"), GetAppCaption(), MB_ICONEXCLAMATION);
}

void CWizardStep1Dlg::EnableAnswers(bool enable) {
  static const int kIds[] = {IDC_WIZ1_IMAGES, IDC_WIZ1_MEDIA,    IDC_WIZ1_TEXTS,
                             IDC_WIZ1_REPEAT, IDC_WIZ1_MAKE_SCR, IDC_WIZ1_MAKE_EXE, IDOK};
  for (int id : kIds) EnableStepControl(m_hWnd, id, enable);
}

bool CWizardStep1Dlg::OnInitDialog() {
  // Filling the name sends EN_CHANGE before the check boxes are filled.
  m_quiet = true;
  CCmdDialog::OnInitDialog();
  m_quiet = false;
  if (m_name.IsEmpty() || !IsNameFree()) EnableAnswers(false);
  return true;
}

bool CWizardStep1Dlg::OnNameChange(UINT) {
  if (m_quiet) return true;
  UpdateData(true);
  EnableAnswers(!m_name.IsEmpty());
  return true;
}

bool CWizardStep1Dlg::OnNameKillFocus(UINT) {
  // The dialog's own questions and its end take the focus too: nothing to
  // check then.
  if (m_quiet) return true;
  UpdateData(true);
  if (m_name.IsEmpty()) return true;
  // A name that cannot be a file name is not looked for (a device's name
  // would be found).
  const bool valid = IsFileNameComponent(m_name);
  if (valid && IsNameFree()) {
    EnableAnswers(true);
    return true;
  }
  if (valid)
    LwMessageBox(m_hWnd, "File already exists! \n(with extension fsd, scr or exe)", GetAppCaption(),
                 MB_OK);
  else
    RefuseName();
  EnableAnswers(false);
  ::SetFocus(GetDlgItem(IDC_WIZ1_NAME));
  return true;
}

bool CWizardStep1Dlg::OnKindClicked(UINT) {
  UpdateData(true);
  EnableStepControl(m_hWnd, IDOK, m_images || m_media || m_texts);
  return true;
}

bool CWizardStep1Dlg::OnBrowse(UINT) {
  CString chosen;
  if (!GetFolderChooser().Choose(m_hWnd, "Choose your default wizard folder:", 0, nullptr, chosen))
    return true;
  chosen = WithFinalBackslash(chosen);
  SetDlgItemText(IDC_WIZ1_FOLDER, chosen);
  m_folder = chosen;
  WriteSettingsString(kWizardPathEntry, chosen);
  return true;
}

bool CWizardStep1Dlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step1.html");
  return true;
}

void CWizardStep1Dlg::OnOK() {
  CQuietScope quiet(m_quiet);
  if (!UpdateData(true)) return;
  // The folder and the name are joined without a separator later on.
  m_folder = WithFinalBackslash(m_folder);
  SetDlgItemText(IDC_WIZ1_FOLDER, m_folder);
  if (m_name.IsEmpty()) return;
  // The name becomes the script's, the saver's and the installer's file
  // name: one name, which can lead nowhere else.
  if (!IsFileNameComponent(m_name)) {
    RefuseName();
    ::SetFocus(GetDlgItem(IDC_WIZ1_NAME));
    return;
  }
  if (!IsNameFree()) return;
  EndDialog(IDOK);
}

void CWizardStep1Dlg::OnCancel() {
  CQuietScope quiet(m_quiet);
  if (!ConfirmWizardExit(m_hWnd)) return;
  m_name.Empty();
  UpdateData(false);
  EndDialog(IDCANCEL);
}
