// The Standard wizard's step 2A: the pictures, added one by one or by
// folder, loaded with a progress window.
#include "wizards/WizardSteps.h"

#include <shlobj.h>

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/OutputNames.h"
#include "builder/controls/Settings.h"
#include "common/AppUtils.h"
#include "framework/Seams.h"
#include "wizards/WizardHelperDialogs.h"
#include "wizards/WizardStepsResource.h"

namespace {

int AskYesNo(HWND owner, const char* text) {
  return LwMessageBox(owner, text, GetAppCaption(), MB_YESNO | MB_ICONQUESTION);
}

}  // namespace

const CCommandEntry CWizardStep2ADlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2A_LIST, LBN_SELCHANGE, &CWizardStep2ADlg::OnSelChange),
    CommandEntry(IDC_WIZ2A_ADD, &CWizardStep2ADlg::OnAdd),
    CommandEntry(IDC_WIZ2A_ADD_FOLDER, &CWizardStep2ADlg::OnAddFolder),
    CommandEntry(IDC_WIZ2A_REMOVE, &CWizardStep2ADlg::OnRemove),
    CommandEntry(IDC_WIZ2A_REMOVE_ALL, &CWizardStep2ADlg::OnRemoveAll),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2ADlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2ADlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2ADlg, CCmdDialog)

CWizardStep2ADlg::CWizardStep2ADlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP2A, parent), m_loadEvent(false, true, LoadEventName(false)) {
  m_images.Copy(p.m_images);
}

CWizardStep2ADlg::~CWizardStep2ADlg() = default;

void CWizardStep2ADlg::CopyTo(CWizardProject& p) { p.m_images.Copy(m_images); }

bool CWizardStep2ADlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_WIZ2A_PREVIEW, m_hWnd);
  m_addButton.SubclassDlgItem(IDC_WIZ2A_ADD, m_hWnd);
  const bool any = m_images.GetSize() > 0;
  if (any) {
    ::SetFocus(List());
    for (int i = 0; i < m_images.GetSize(); ++i)
      ::SendMessageA(List(), LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(
                         static_cast<CImageTextObject*>(m_images.GetAt(i))->m_displayName.GetString()));
    ::SendMessageA(List(), LB_SETSEL, TRUE, 0);
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(0)));
    ShowWorking();
  }
  EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE, any);
  EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE_ALL, any);
  return !any;
}

void CWizardStep2ADlg::ShowWorking() {
  SetDlgItemText(IDC_WIZ2A_NAME, m_working.m_displayName);
  m_preview.ShowObject(&m_working);
}

bool CWizardStep2ADlg::OnSelChange(UINT) {
  const int caret = static_cast<int>(::SendMessageA(List(), LB_GETCARETINDEX, 0, 0));
  if (caret >= 0 && caret < m_images.GetSize()) {
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(caret)));
    ShowWorking();
  }
  return true;
}

bool CWizardStep2ADlg::OnAdd(UINT) {
  CFileDialogEx dialog(true, true, nullptr, nullptr,
                       OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER,
                       "All supported formats|*.bmp;*jpg;*.png;*.pcx;*.tga|Bitmaps (.bmp)|*.bmp|"
                       "JPEG (.jpg)|*.jpg|PNG (.png)|*.png|PCX (.pcx)|*.pcx|Targa (.tga)|*.tga|"
                       "All Files (*.*)|*.*||",
                       m_hWnd);
  char names[5000] = "";
  dialog.m_ofn.lpstrFile = names;
  dialog.m_ofn.nMaxFile = sizeof names;
  dialog.m_ofn.lpstrTitle = "New Image";
  const CString initial = GetSettingsFolder("ImagePath");
  dialog.m_ofn.lpstrInitialDir = initial;
  if (dialog.DoModal() != IDOK) return true;
  m_pending.RemoveAll();
  INT_PTR pos = dialog.GetStartPosition();
  while (pos) m_pending.Add(dialog.GetNextPathName(pos));
  if (m_pending.GetSize() > 0) WriteSettingsString("ImagePath", GetFileDirectory(m_pending.GetAt(0)));
  LoadPending();
  return true;
}

bool CWizardStep2ADlg::OnAddFolder(UINT) {
  m_pending.RemoveAll();
  CString folder;
  if (!GetFolderChooser().Choose(m_hWnd, "Select a folder, then click Ok to load all images from it.",
                                 BIF_RETURNONLYFSDIRS, GetSettingsFolder("FolderDir"), folder))
    return true;
  WriteSettingsString("FolderDir", folder);
  AddFolder(folder);
  return true;
}

bool CWizardStep2ADlg::AddFolder(const char* folder) {
  m_pending.RemoveAll();
  CollectFolderImages(folder, m_pending);
  if (m_pending.GetSize() == 0) {
    LwMessageBox(m_hWnd, "No images in selected folder!", GetAppCaption(), MB_OK);
    return false;
  }
  const int limit = GetSettingsInt("ImageLimit", 40);
  if (limit < m_pending.GetSize()) {
    CFolderLimitDlg ask(limit, m_pending.GetSize(), m_hWnd);
    const INT_PTR answer = ask.DoModal();
    if (answer == IDCANCEL) {
      m_pending.RemoveAll();
      return false;
    }
    if (answer == IDOK) KeepFirstPaths(m_pending, limit);
  }
  LoadPending();
  return true;
}

bool CWizardStep2ADlg::LoadOne(const char* path) {
  CImageTextObject loaded;
  // Each failure is counted and told once, after the load.
  CQuietMessages quiet;
  int ok;
  if (IsIconFile(::GetModuleHandleA(nullptr), path))
    ok = loaded.LoadImageFile(path);
  else
    ok = loaded.TakePictureFile(path, 1);
  if (!ok) return false;
  m_working.CopyFrom(loaded);
  const int at = static_cast<int>(::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path)));
  if (at < 0) return false;
  auto* item = new CImageTextObject;
  item->CopyFrom(m_working);
  m_images.InsertAt(at, item);
  return true;
}

void CWizardStep2ADlg::LoadPending() {
  m_dropped = 0;
  const int before = m_images.GetSize();
  int tried = 0;
  CWizardLoad(m_loadEvent, LoadEventName(false)).Run(m_pending, [&](const CString& path) {
    if (!LoadOne(path)) ++m_dropped;
    OnFileTried(++tried);
  });
  m_pending.RemoveAll();
  if (m_images.GetSize() > before) {
    const int count = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    ::SendMessageA(List(), LB_SETSEL, TRUE, count - 1);
    ::ShowWindow(List(), SW_SHOW);
    EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE, true);
    EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE_ALL, true);
    ShowWorking();
  }
  if (m_dropped > 0) {
    CString text;
    text.Format("%d file(s) could not be read as pictures and were left out.", m_dropped);
    LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK | MB_ICONEXCLAMATION);
  }
}

bool CWizardStep2ADlg::OnRemove(UINT) {
  if (AskYesNo(m_hWnd, "Are you sure you want to delete selected item(s)?") != IDYES) return true;
  const int selected = static_cast<int>(::SendMessageA(List(), LB_GETSELCOUNT, 0, 0));
  if (selected > 0) {
    int* lines = new int[selected];
    ::SendMessageA(List(), LB_GETSELITEMS, selected, reinterpret_cast<LPARAM>(lines));
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    for (int i = 0; i < selected; ++i) {
      const int at = lines[i] - i;
      ::SendMessageA(List(), LB_DELETESTRING, at, 0);
      delete static_cast<CImageTextObject*>(m_images.GetAt(at));
      m_images.RemoveAt(at);
    }
    delete[] lines;
  }
  const int count = m_images.GetSize();
  if (count > 0) {
    m_working.CopyFrom(*static_cast<CImageTextObject*>(m_images.GetAt(count - 1)));
    ::SendMessageA(List(), LB_SETSEL, TRUE, count - 1);
  } else {
    EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE, false);
    EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE_ALL, false);
    CImageTextObject empty;
    m_working.CopyFrom(empty);
  }
  ShowWorking();
  return true;
}

bool CWizardStep2ADlg::OnRemoveAll(UINT) {
  if (AskYesNo(m_hWnd, "Are you sure you want to remove all items?") != IDYES) return true;
  for (int i = 0; i < m_images.GetSize(); ++i) delete static_cast<CImageTextObject*>(m_images.GetAt(i));
  m_images.RemoveAll();
  ::SendMessageA(List(), LB_RESETCONTENT, 0, 0);
  EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE, false);
  EnableStepControl(m_hWnd, IDC_WIZ2A_REMOVE_ALL, false);
  CImageTextObject empty;
  m_working.CopyFrom(empty);
  SetDlgItemText(IDC_WIZ2A_NAME, "");
  m_preview.ShowNoImage();
  return true;
}

bool CWizardStep2ADlg::OnPrevious(UINT) {
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2ADlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2a.html");
  return true;
}

void CWizardStep2ADlg::OnCancel() {
  if (ConfirmWizardExit(m_hWnd)) EndDialog(IDCANCEL);
}
