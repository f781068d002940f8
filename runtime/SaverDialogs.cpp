// The settings and password dialogs, and the reading of the stored
// password that the saver window and the password mode share.
#include "runtime/SaverDialogs.h"

#include <cstring>

#include "framework/App.h"
#include "framework/Seams.h"
#include "runtime/SaverSettings.h"
#include "runtime/resource.h"

namespace {

struct InputBox {
  int id;
  const char* value;
};

// The five inputs that a custom choice may let end the saver.
const InputBox kInputBoxes[] = {
    {IDC_MOUSEMOVE, saver::kMouseMove}, {IDC_BUTTONDOWN, saver::kButtonDown},
    {IDC_DOUBLECLICK, saver::kDoubleClick}, {IDC_KEYDOWN, saver::kKeyDown},
    {IDC_ESCAPE, saver::kEscape},
};

int ProfileInt(const char* entry, int defaultValue) {
  CWinApp* app = AfxGetApp();
  return app ? static_cast<int>(app->GetProfileInt(saver::kSettings, entry, defaultValue))
             : defaultValue;
}

void WriteProfileInt(const char* entry, int value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(saver::kSettings, entry, value);
}

void ShowMessage(UINT id, UINT type) {
  char text[200];
  LoadResourceString(id, text, sizeof text);
  AfxMessageBox(text, type);
}

}  // namespace

void ReadStoredPassword(char* out) {
  out[0] = 0;
  CWinApp* app = AfxGetApp();
  if (!app) return;
  // A value too long for the buffer is no password of ours either.
  const CString stored = app->GetProfileString(saver::kPassword, saver::kEncrypt);
  if (stored.GetLength() < kStoredPasswordSize && IsStoredPasswordReadable(stored))
    lstrcpynA(out, stored, kStoredPasswordSize);
}

void ChangeSaverPassword(HWND owner) {
  char stored[kStoredPasswordSize];
  ReadStoredPassword(stored);
  if (stored[0] && CPasswordDlg(stored, owner).DoModal() != IDOK) return;
  CNewPasswordDlg(owner).DoModal();
}

// ---------------------------------------------------------------------------

CSaverSettingsDlg::CSaverSettingsDlg(HWND owner) : CDialog(IDD_SETTINGS, owner) {}

void CSaverSettingsDlg::EnableInputBoxes(bool enable) {
  for (const InputBox& box : kInputBoxes) ::EnableWindow(GetDlgItem(box.id), enable);
}

bool CSaverSettingsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (ProfileInt(saver::kStandard, 1) == 1) {
    CheckRadioButton(IDC_STANDARD, IDC_CUSTOM, IDC_STANDARD);
    EnableInputBoxes(false);
  } else {
    CheckRadioButton(IDC_STANDARD, IDC_CUSTOM, IDC_CUSTOM);
  }
  // The saver counts only 1 for the inputs and any nonzero value for Mute:
  // the boxes show just that.
  for (const InputBox& box : kInputBoxes)
    CheckDlgButton(box.id, ProfileInt(box.value, 0) == 1 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_MUTE, ProfileInt(saver::kMute, 0) != 0 ? BST_CHECKED : BST_UNCHECKED);
  return true;
}

bool CSaverSettingsDlg::OnCommand(UINT id, UINT code, HWND control) {
  if ((id == IDC_STANDARD || id == IDC_CUSTOM) && code == BN_CLICKED) {
    EnableInputBoxes(id == IDC_CUSTOM);
    return true;
  }
  return false;
}

void CSaverSettingsDlg::OnOK() {
  if (!UpdateData(true)) return;
  bool anyInput = false;
  for (const InputBox& box : kInputBoxes)
    anyInput = anyInput || IsDlgButtonChecked(box.id) == BST_CHECKED;
  // A custom choice of nothing would leave no way out: it becomes standard.
  if (!anyInput && IsDlgButtonChecked(IDC_STANDARD) != BST_CHECKED)
    CheckRadioButton(IDC_STANDARD, IDC_CUSTOM, IDC_STANDARD);
  const bool standard = IsDlgButtonChecked(IDC_STANDARD) == BST_CHECKED;
  WriteProfileInt(saver::kStandard, standard ? 1 : 0);
  for (const InputBox& box : kInputBoxes)
    WriteProfileInt(box.value, !standard && IsDlgButtonChecked(box.id) == BST_CHECKED ? 1 : 0);
  WriteProfileInt(saver::kMute, IsDlgButtonChecked(IDC_MUTE) == BST_CHECKED ? 1 : 0);
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------

CPasswordDlg::CPasswordDlg(const char* stored, HWND owner) : CDialog(IDD_PASSWORD, owner) {
  lstrcpynA(m_stored, stored ? stored : "", sizeof m_stored);
}

CPasswordDlg::~CPasswordDlg() { SecureZeroMemory(m_typed, sizeof m_typed); }

void CPasswordDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_PASSWORD, m_typed, sizeof m_typed);
  DDV_MaxChars(dx, m_typed, 51);
}

void CPasswordDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (VerifyPassword(m_typed, m_stored)) {
    EndDialog(IDOK);
    return;
  }
  SecureZeroMemory(m_typed, sizeof m_typed);
  UpdateData(false);
  ShowMessage(IDS_WRONGPASSWORD, MB_ICONEXCLAMATION);
  GotoDlgCtrl(GetDlgItem(IDC_PASSWORD));
}

// ---------------------------------------------------------------------------

CNewPasswordDlg::CNewPasswordDlg(HWND owner) : CDialog(IDD_NEWPASSWORD, owner) {}

CNewPasswordDlg::~CNewPasswordDlg() {
  SecureZeroMemory(m_new, sizeof m_new);
  SecureZeroMemory(m_confirm, sizeof m_confirm);
}

void CNewPasswordDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_NEWPASSWORD, m_new, sizeof m_new);
  DDV_MaxChars(dx, m_new, 51);
  DDX_Text(dx, IDC_CONFIRM, m_confirm, sizeof m_confirm);
  DDV_MaxChars(dx, m_confirm, 51);
}

void CNewPasswordDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (std::strcmp(m_new, m_confirm) != 0) {
    ShowMessage(IDS_PASSWORDMISMATCH, MB_ICONEXCLAMATION);
    return;
  }
  // An empty password stores an empty text: the saver then has none.
  char stored[kStoredPasswordSize] = "";
  ScramblePassword(m_new, stored);
  if (CWinApp* app = AfxGetApp()) app->WriteProfileString(saver::kPassword, saver::kEncrypt, stored);
  ShowMessage(IDS_PASSWORDCHANGED, MB_ICONINFORMATION);
  EndDialog(IDOK);
}
