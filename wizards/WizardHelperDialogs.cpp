// The wizards' folder-limit warning, load progress and sequence preview.
#include "wizards/WizardHelperDialogs.h"

#include <commctrl.h>

#include "framework/TextFormat.h"
#include "script/Objects.h"
#include "wizards/WizardPagesResource.h"

// ---- folder limit ----------------------------------------------------------------

const CCommandEntry CFolderLimitDlg::commandEntries[] = {
    CommandEntry(IDC_WZ_LOAD_ALL, &CFolderLimitDlg::OnLoadAll),
};
LW_IMPLEMENT_COMMAND_TABLE(CFolderLimitDlg, CCmdDialog)

CFolderLimitDlg::CFolderLimitDlg(int limit, int total, HWND parent)
    : CCmdDialog(IDD_WZ_FOLDER_LIMIT, parent), m_limit(limit), m_total(total) {}

void CFolderLimitDlg::FillIn(int id, int value) {
  char format[512] = "";
  GetDlgItemText(id, format, sizeof format);
  char text[600];
  FormatText(text, sizeof text, format, value);
  SetDlgItemText(id, text);
}

bool CFolderLimitDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  FillIn(IDC_WZ_LIMIT_TEXT, m_limit);
  FillIn(IDC_WZ_TOTAL_TEXT, m_total);
  return true;
}

bool CFolderLimitDlg::OnLoadAll(UINT) {
  EndDialog(kLoadAll);
  return true;
}

// ---- loading progress ------------------------------------------------------------

CLoadingDlg::CLoadingDlg(HANDLE done, int total, bool media)
    : CCmdDialog(IDD_WZ_LOADING), m_done(done), m_total(total), m_media(media) {}

void CLoadingDlg::Step(HWND loadingWindow) {
  if (HWND bar = ::GetDlgItem(loadingWindow, IDC_WZ_PROGRESS)) ::PostMessageA(bar, PBM_STEPIT, 0, 0);
}

bool CLoadingDlg::OnInitDialog() {
  m_progress.SubclassDlgItem(IDC_WZ_PROGRESS, m_hWnd);
  m_progress.SetRange(0, m_total);
  m_progress.SetStep(1);
  if (m_media) SetWindowText("Loading Media...");
  SetTimer(kPollTimer, 100);
  return CCmdDialog::OnInitDialog();
}

void CLoadingDlg::OnTimer(UINT_PTR id) {
  if (id != kPollTimer) {
    CCmdDialog::OnTimer(id);
    return;
  }
  if (m_done && ::WaitForSingleObject(m_done, 0) == WAIT_OBJECT_0) {
    KillTimer(kPollTimer);
    EndDialog(IDOK);
  }
}

void CLoadingDlg::OnCancel() {
  // The loader stops at the event before its next file.
  if (m_done) ::SetEvent(m_done);
  KillTimer(kPollTimer);
  EndDialog(IDCANCEL);
}

LRESULT CLoadingDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) KillTimer(kPollTimer);
  return CCmdDialog::WindowProc(msg, wp, lp);
}

// ---- sequence preview ------------------------------------------------------------

const CCommandEntry CSequencePreviewDlg::commandEntries[] = {
    CommandEntry(IDC_WZ_TEST, &CSequencePreviewDlg::OnTest),
    CommandEntry(IDC_WZ_STOP, &CSequencePreviewDlg::OnStop),
};
LW_IMPLEMENT_COMMAND_TABLE(CSequencePreviewDlg, CMediaTesting<CCmdDialog>)

CSequencePreviewDlg::CSequencePreviewDlg(HWND parent)
    : CMediaTesting<CCmdDialog>(IDD_WZ_SEQUENCE_PREVIEW, parent) {}

bool CSequencePreviewDlg::OnInitDialog() {
  m_preview.SubclassDlgItem(IDC_WZ_PREVIEW, m_hWnd);
  ::EnableWindow(GetDlgItem(IDC_WZ_TEST), m_pMedia != nullptr);
  ::EnableWindow(GetDlgItem(IDC_WZ_STOP), m_pMedia != nullptr);
  if (m_pDisplay) m_preview.ShowObject(m_pDisplay);
  return CMediaTesting<CCmdDialog>::OnInitDialog();
}

bool CSequencePreviewDlg::OnTest(UINT) {
  if (!m_pMedia) return true;
  // Videos and movies have a preview of their own; only sounds play here.
  switch (m_pMedia->m_kind) {
    case kMediaAudio:
    case kMediaMp3:
    case kMediaMidi:
      TestPlay(*m_pMedia);
      break;
    default:
      break;
  }
  return true;
}

bool CSequencePreviewDlg::OnStop(UINT) {
  m_player.Stop();
  return true;
}
