// The Standard wizard's step 2B: the sounds, videos and movies, with a test of each.
#include "wizards/WizardSteps.h"

#include "builder/controls/Settings.h"
#include "common/AppUtils.h"
#include "framework/CommonDialogs.h"
#include "framework/Seams.h"
#include "wizards/WizardStepsResource.h"

const CCommandEntry CWizardStep2BDlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2B_LIST, LBN_SELCHANGE, &CWizardStep2BDlg::OnSelChange),
    CommandEntry(IDC_WIZ2B_ADD, &CWizardStep2BDlg::OnAdd),
    CommandEntry(IDC_WIZ2B_REMOVE, &CWizardStep2BDlg::OnRemove),
    CommandEntry(IDC_WIZ2B_PLAY, &CWizardStep2BDlg::OnPlay),
    CommandEntry(IDC_WIZ2B_STOP, &CWizardStep2BDlg::OnStop),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2BDlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2BDlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2BDlg, CCmdDialog)

CWizardStep2BDlg::CWizardStep2BDlg(CWizardProject& p, HWND parent)
    : CMediaTesting<CCmdDialog>(IDD_WIZARD_STEP2B, parent),
      m_loadEvent(false, true, LoadEventName(true)) {
  m_media.Copy(p.m_mediaItems);
}

CWizardStep2BDlg::~CWizardStep2BDlg() = default;

void CWizardStep2BDlg::CopyTo(CWizardProject& p) { p.m_mediaItems.Copy(m_media); }

bool CWizardStep2BDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  for (int i = 0; i < m_media.GetSize(); ++i)
    ::SendMessageA(list, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(static_cast<CMediaObject*>(m_media.GetAt(i))->m_displayName.GetString()));
  if (m_media.GetSize() > 0) {
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    MakeCurrent(0);
  }
  EnableStepControl(m_hWnd, IDC_WIZ2B_REMOVE, m_media.GetSize() > 0);
  return true;
}

void CWizardStep2BDlg::MakeCurrent(int index) {
  const char* name = "";
  if (index >= 0 && index < m_media.GetSize())
    name = static_cast<CMediaObject*>(m_media.GetAt(index))->m_displayName;
  SetDlgItemText(IDC_WIZ2B_NAME, name);
}

bool CWizardStep2BDlg::OnSelChange(UINT) {
  MakeCurrent(static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2B_LIST, LB_GETCURSEL, 0, 0)));
  return true;
}

bool CWizardStep2BDlg::OnAdd(UINT) {
  m_skipped = 0;
  m_busy = 0;
  m_player.Stop();
  CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER,
                     "All supported media files |*.wav;*.avi;*.mp3;*.mid;*.swf|MP3 Files (.mp3)|*.mp3|"
                     "Flash Files (.swf)|*.swf|AVI Files (.avi)|*.avi|Wave Files (.wav)|*.wav|"
                     "Midi Files (.mid)|*.mid|All Files (*.*)|*.*||",
                     m_hWnd);
  char names[5000] = "";
  dialog.m_ofn.lpstrFile = names;
  dialog.m_ofn.nMaxFile = sizeof names;
  dialog.m_ofn.lpstrTitle = "New Media";
  const CString initial = GetSettingsFolder("MediaPath");
  dialog.m_ofn.lpstrInitialDir = initial;
  if (dialog.DoModal() != IDOK) return true;
  m_pending.RemoveAll();
  INT_PTR pos = dialog.GetStartPosition();
  while (pos) m_pending.Add(dialog.GetNextPathName(pos));
  if (m_pending.GetSize() > 0) WriteSettingsString("MediaPath", GetFileDirectory(m_pending.GetAt(0)));
  LoadPending();
  return true;
}

void CWizardStep2BDlg::LoadPending() {
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  ::ShowWindow(list, SW_HIDE);
  int unreadable = 0;
  CWizardLoad(m_loadEvent, LoadEventName(true)).Run(m_pending, [&](const CString& path) {
    if (!m_busy) m_busy = IsWaveOutBusy() ? 1 : 0;
    auto* media = new CMediaObject;
    if (!media->LoadMediaFile(path, false)) {
      if (MediaKindFromPath(path) == kMediaMp3)
        ++m_skipped;
      else
        ++unreadable;
      delete media;
      return;
    }
    if (media->m_kind == kMediaMp3 && m_skipped > 0 && m_busy) {
      delete media;
      return;
    }
    const int at = static_cast<int>(::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.GetString())));
    m_media.InsertAt(at < 0 ? m_media.GetSize() : at, media);
    MakeCurrent(at);
  });
  m_pending.RemoveAll();
  ::ShowWindow(list, SW_SHOW);
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  if (count > 0) {
    ::SendMessageA(list, LB_SETCURSEL, count - 1, 0);
    EnableStepControl(m_hWnd, IDC_WIZ2B_REMOVE, true);
  }
  CString text;
  if (IsMp3CodecInstalled()) {
    if (m_skipped > 0) {
      text.Format(m_busy ? "There were %d MP3 files skipped. Your sound device is busy, cannot test "
                           "media files. Please stop all audio programs and try again."
                         : "There were %d MP3 files skipped. Those files can not be decoded due to "
                           "illegal file structure.",
                  m_skipped);
      LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK);
    }
  } else if (m_skipped > 0) {
    LwMessageBox(m_hWnd,
                 "Necessary MP3 codec is not present on this computer.\n You can not use MP3 files "
                 "in your screen savers.",
                 GetAppCaption(), MB_OK);
  }
  if (unreadable > 0) {
    text.Format("%d file(s) could not be read and were left out.", unreadable);
    LwMessageBox(m_hWnd, text, GetAppCaption(), MB_OK | MB_ICONEXCLAMATION);
  }
}

bool CWizardStep2BDlg::OnRemove(UINT) {
  HWND list = GetDlgItem(IDC_WIZ2B_LIST);
  const int at = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (at < 0 || at >= m_media.GetSize()) {
    LwMessageBox(m_hWnd, "Must select item to remove\n it from the list", GetAppCaption(), MB_OK);
    return true;
  }
  m_player.Stop();
  ::SendMessageA(list, LB_DELETESTRING, at, 0);
  delete static_cast<CMediaObject*>(m_media.GetAt(at));
  m_media.RemoveAt(at);
  const int count = m_media.GetSize();
  if (count > 0) {
    ::SendMessageA(list, LB_SETCURSEL, count - 1, 0);
    MakeCurrent(count - 1);
  } else {
    EnableStepControl(m_hWnd, IDC_WIZ2B_REMOVE, false);
    MakeCurrent(-1);
  }
  return true;
}

bool CWizardStep2BDlg::OnPlay(UINT) {
  const int at = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2B_LIST, LB_GETCURSEL, 0, 0));
  if (at < 0 || at >= m_media.GetSize()) {
    LwMessageBox(m_hWnd, "Must select item to play it", GetAppCaption(), MB_OK);
    return true;
  }
  TestPlay(*static_cast<CMediaObject*>(m_media.GetAt(at)));
  return true;
}

bool CWizardStep2BDlg::OnStop(UINT) {
  m_player.Stop();
  return true;
}

bool CWizardStep2BDlg::OnPrevious(UINT) {
  m_player.Stop();
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2BDlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2b.html");
  return true;
}

void CWizardStep2BDlg::OnOK() {
  m_player.Stop();
  EndDialog(IDOK);
}

void CWizardStep2BDlg::OnCancel() {
  m_player.Stop();
  if (ConfirmWizardExit(m_hWnd)) EndDialog(IDCANCEL);
}
