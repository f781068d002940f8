// The media dialogs and their test playback. The players of a test belong
// to the dialog that started it and live on its thread; a dialog stops
// them before its window goes, whatever ends it, and before its working
// copy (whose bytes a wave sound or an MP3 plays in place) is freed.
#include "builder/MediaDialogs.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/Settings.h"
#include "builder/resource.h"
#include "playback/movie/FlashPlayer.h"
#include "playback/MediaPlayers.h"
#include "script/BuilderUtilities.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/PlayContext.h"
#include "script/Utilities.h"

namespace {

const char kMediaFilter[] =
    "All supported media files |*.wav;*.avi;*.mp3;*.mid;*.swf|MP3 Files (.mp3)|*.mp3|"
    "Flash Files (.swf)|*.swf|AVI Files (.avi)|*.avi|Wave Files (.wav)|*.wav|"
    "Midi Files (.mid)|*.mid|All Files (*.*)|*.*||";

// The Play timer's decimal field: up to 600 seconds, shown in six
// significant digits, stepped by a hundredth.
constexpr float kTimerMaxSeconds = 600.0f;
const CDecimalField kTimerField = {kTimerMaxSeconds, 1, 2, 6, ""};

// The controls a movie's place and size use.
const int kPlacementControls[] = {IDC_PLAY_X,          IDC_PLAY_Y,          IDC_PLAY_WIDTH,
                                  IDC_PLAY_HEIGHT,     IDC_PLAY_X_ABSOLUTE, IDC_PLAY_X_CENTERED,
                                  IDC_PLAY_Y_ABSOLUTE, IDC_PLAY_Y_CENTERED, IDC_PLAY_DEFAULT_SIZE};

// Whether a spin notification's arrow raises the value.
bool SpinGoesUp(NMHDR* hdr) {
  const NMUPDOWN* ud = reinterpret_cast<NMUPDOWN*>(hdr);
  int low = 0, high = 0;
  ::SendMessageA(hdr->hwndFrom, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
  return low <= high ? ud->iDelta > 0 : ud->iDelta < 0;
}

}  // namespace

// ------------------------------------------------------------ media object

const CCommandEntry CMediaObjectDlg::commandEntries[] = {
    CommandEntry(IDC_MEDIA_CHOOSE, &CMediaObjectDlg::OnChoose),
    CommandEntry(IDC_MEDIA_PLAY, &CMediaObjectDlg::OnPlay),
    ControlEntry(IDC_MEDIA_ICON, STN_DBLCLK, &CMediaObjectDlg::OnPlay),
    CommandEntry(IDC_MEDIA_STOP, &CMediaObjectDlg::OnStop),
};
LW_IMPLEMENT_COMMAND_TABLE(CMediaObjectDlg, CMediaTesting<CCommandEditDialog<CMediaObject>>)

CMediaObjectDlg::CMediaObjectDlg(CMediaObject& media, HWND parent)
    : CMediaTesting<CCommandEditDialog<CMediaObject>>(IDD_MEDIA_OBJECT, media, parent) {}

bool CMediaObjectDlg::OnInitDialog() {
  CMediaTesting<CCommandEditDialog<CMediaObject>>::OnInitDialog();
  ShowMedia();
  SetCommentCaption();
  return true;
}

void CMediaObjectDlg::ShowMedia() {
  SetDlgItemText(IDC_MEDIA_NAME, m_copy.m_displayName);
  // The shell's icon for the kind of file the object holds.
  static const char* const kExtensions[] = {".wav", ".avi", ".mp3", ".swf", ".mid"};
  const int kind = m_copy.m_kind >= 0 && m_copy.m_kind <= 4 ? m_copy.m_kind : 0;
  SHFILEINFOA info = {};
  if (::SHGetFileInfoA(kExtensions[kind], FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES) && info.hIcon) {
    ::SendDlgItemMessageA(m_hWnd, IDC_MEDIA_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(info.hIcon), 0);
    if (m_icon) ::DestroyIcon(m_icon);
    m_icon = info.hIcon;
  }
}

LRESULT CMediaObjectDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY && m_icon) {
    ::SendDlgItemMessageA(m_hWnd, IDC_MEDIA_ICON, STM_SETICON, 0, 0);
    ::DestroyIcon(m_icon);
    m_icon = nullptr;
  }
  return CMediaTesting<CCommandEditDialog<CMediaObject>>::WindowProc(msg, wp, lp);
}

bool CMediaObjectDlg::OnChoose(UINT) {
  m_player.Stop();
  const CString folder = GetSettingsFolder("MediaPath");
  CFileDialogEx chooser(false, true, nullptr, nullptr, OFN_EXPLORER | OFN_HIDEREADONLY, kMediaFilter,
                        m_hWnd);
  chooser.m_ofn.lpstrInitialDir = folder;
  chooser.m_ofn.lpstrTitle = "New Media";
  if (chooser.DoModal() != IDOK) return true;
  const CString chosenFolder = chooser.GetFolderPath();
  WriteSettingsString("MediaPath", chosenFolder);
  // The working copy takes the file only once it is read (and an MP3
  // decoded); a file that fails leaves the old media, after its message.
  const int loaded = m_copy.TakeMediaFile(chooser.GetPathName(), true);
  ShowMedia();
  if (loaded) {
    ::SetCurrentDirectoryA(chosenFolder);
    RestoreDefaultButton(*this, IDC_MEDIA_CHOOSE);
  }
  return true;
}

bool CMediaObjectDlg::OnPlay(UINT) {
  TestPlay(m_copy);
  return true;
}

bool CMediaObjectDlg::OnStop(UINT) {
  m_player.Stop();
  return true;
}

// ------------------------------------------------------------ play settings

const CCommandEntry CPlaySettingsDlg::commandEntries[] = {
    CommandEntry(IDC_PLAY_WAIT, &CPlaySettingsDlg::OnWaitClicked),
    CommandEntry(IDC_PLAY_ENDLESS, &CPlaySettingsDlg::OnNoWaitClicked),
    CommandEntry(IDC_PLAY_ONCE, &CPlaySettingsDlg::OnNoWaitClicked),
    CommandEntry(IDC_PLAY_INFINITE, &CPlaySettingsDlg::OnRepeatClicked),
    CommandEntry(IDC_PLAY_REPEAT, &CPlaySettingsDlg::OnRepeatClicked),
    CommandEntry(IDC_PLAY_TIMED, &CPlaySettingsDlg::OnTimerClicked),
    CommandEntry(IDC_PLAY_X_ABSOLUTE, &CPlaySettingsDlg::OnPositionClicked),
    CommandEntry(IDC_PLAY_X_CENTERED, &CPlaySettingsDlg::OnPositionClicked),
    CommandEntry(IDC_PLAY_Y_ABSOLUTE, &CPlaySettingsDlg::OnPositionClicked),
    CommandEntry(IDC_PLAY_Y_CENTERED, &CPlaySettingsDlg::OnPositionClicked),
    CommandEntry(IDC_PLAY_DEFAULT_SIZE, &CPlaySettingsDlg::OnDefaultSize),
    CommandEntry(IDC_PLAY_FULLSCREEN, &CPlaySettingsDlg::OnFullScreenClicked),
    NotifyEntry(IDC_PLAY_TIMER_SPIN, UDN_DELTAPOS, &CPlaySettingsDlg::OnTimerSpin),
    NotifyEntry(IDC_PLAY_COUNT_SPIN, UDN_DELTAPOS, &CPlaySettingsDlg::OnCountSpin),
};
LW_IMPLEMENT_COMMAND_TABLE(CPlaySettingsDlg, CCmdDialog)

CPlaySettingsDlg::CPlaySettingsDlg(const CFlashPlayAttribute& settings, HWND parent)
    : CCmdDialog(IDD_PLAY_SETTINGS, parent) {
  m_settings.CopyFrom(settings);
  m_timerSeconds = static_cast<float>(m_settings.m_timerMs * 0.001);
}

void CPlaySettingsDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, IDC_PLAY_WAIT, m_playMode);
  DDX_Radio(dx, IDC_PLAY_INFINITE, m_repeatMode);
  DDX_Text(dx, IDC_PLAY_COUNT, m_settings.m_count);
  DDV_MinMaxInt(dx, m_settings.m_count, 1, 999999);
  DDX_Check(dx, IDC_PLAY_FULLSCREEN, m_settings.m_fullScreen);
  DDX_Check(dx, IDC_PLAY_TIMED, m_settings.m_timed);
  DDX_Duration(dx, IDC_PLAY_TIMER, m_timerSeconds, m_settings.m_timerMs, kTimerField);
  DDX_Text(dx, IDC_PLAY_X, m_settings.m_posX);
  DDX_Text(dx, IDC_PLAY_Y, m_settings.m_posY);
  DDX_Text(dx, IDC_PLAY_WIDTH, m_settings.m_width);
  DDX_Text(dx, IDC_PLAY_HEIGHT, m_settings.m_height);
}

bool CPlaySettingsDlg::OnInitDialog() {
  m_playMode = m_settings.m_wait ? 0 : m_settings.m_endless ? 1 : 2;
  m_repeatMode = m_settings.m_infinite ? 0 : 1;
  CCmdDialog::OnInitDialog();
  ::SendDlgItemMessageA(m_hWnd, IDC_PLAY_COUNT_SPIN, UDM_SETRANGE32, 1, 5000);
  const bool xAbsolute = m_settings.m_posModeX == kModeStored;
  const bool yAbsolute = m_settings.m_posModeY == kModeStored;
  CheckDlgButton(IDC_PLAY_X_ABSOLUTE, xAbsolute ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_PLAY_X_CENTERED, xAbsolute ? BST_UNCHECKED : BST_CHECKED);
  CheckDlgButton(IDC_PLAY_Y_ABSOLUTE, yAbsolute ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_PLAY_Y_CENTERED, yAbsolute ? BST_UNCHECKED : BST_CHECKED);
  ApplyPlayRule();
  ApplyKindRule();
  const bool movieFullScreen = m_settings.m_fullScreen && m_kind == kMediaFlash;
  CheckDlgButton(IDC_PLAY_FULLSCREEN, movieFullScreen ? BST_CHECKED : BST_UNCHECKED);
  if (movieFullScreen) ApplyFullScreenRule();
  return true;
}

void CPlaySettingsDlg::ApplyPlayRule() {
  if (Checked(IDC_PLAY_TIMED)) {
    ApplyTimerRule();
    return;
  }
  const bool wait = Checked(IDC_PLAY_WAIT);
  EnableRepeats(wait);
  if (wait) ApplyRepeatRule();
}

void CPlaySettingsDlg::ApplyRepeatRule() {
  const bool counted = Checked(IDC_PLAY_REPEAT);
  Enable(IDC_PLAY_COUNT, counted);
  Enable(IDC_PLAY_COUNT_SPIN, counted);
}

void CPlaySettingsDlg::ApplyTimerRule() {
  const bool timer = Checked(IDC_PLAY_TIMED);
  if (timer && Checked(IDC_PLAY_ONCE)) {
    CheckDlgButton(IDC_PLAY_ONCE, BST_UNCHECKED);
    CheckDlgButton(IDC_PLAY_ENDLESS, BST_CHECKED);
  }
  const bool repeats = !timer && Checked(IDC_PLAY_WAIT);
  EnableRepeats(repeats);
  if (repeats) ApplyRepeatRule();
  Enable(IDC_PLAY_TIMER, timer);
  Enable(IDC_PLAY_TIMER_SPIN, timer);
  Enable(IDC_PLAY_ONCE, !timer);
}

void CPlaySettingsDlg::ApplyPositionRule() {
  Enable(IDC_PLAY_X, Checked(IDC_PLAY_X_ABSOLUTE));
  Enable(IDC_PLAY_Y, Checked(IDC_PLAY_Y_ABSOLUTE));
}

void CPlaySettingsDlg::ApplyKindRule() {
  switch (m_kind) {
    case kMediaAudio:
    case kMediaMp3:
      for (int id : kPlacementControls) Enable(id, false);
      Enable(IDC_PLAY_FULLSCREEN, false);
      break;
    case kMediaVideo:
      Enable(IDC_PLAY_X, true);
      Enable(IDC_PLAY_Y, true);
      break;
    case kMediaFlash:
      for (int id : kPlacementControls) Enable(id, true);
      Enable(IDC_PLAY_FULLSCREEN, true);
      Enable(IDC_PLAY_TIMED, true);
      ApplyPositionRule();
      break;
    default:
      break;
  }
}

void CPlaySettingsDlg::ApplyFullScreenRule() {
  if (!Checked(IDC_PLAY_FULLSCREEN)) {
    ApplyKindRule();
    return;
  }
  for (int id : kPlacementControls) Enable(id, false);
}

bool CPlaySettingsDlg::OnWaitClicked(UINT) {
  ApplyPlayRule();
  return true;
}

bool CPlaySettingsDlg::OnNoWaitClicked(UINT) {
  EnableRepeats(false);
  return true;
}

void CPlaySettingsDlg::EnableRepeats(bool on) {
  for (int id : {IDC_PLAY_INFINITE, IDC_PLAY_REPEAT, IDC_PLAY_COUNT, IDC_PLAY_COUNT_SPIN})
    Enable(id, on);
}

bool CPlaySettingsDlg::OnRepeatClicked(UINT) {
  ApplyRepeatRule();
  return true;
}

bool CPlaySettingsDlg::OnTimerClicked(UINT) {
  ApplyTimerRule();
  return true;
}

bool CPlaySettingsDlg::OnPositionClicked(UINT) {
  ApplyPositionRule();
  return true;
}

bool CPlaySettingsDlg::OnFullScreenClicked(UINT) {
  ApplyFullScreenRule();
  return true;
}

bool CPlaySettingsDlg::OnDefaultSize(UINT) {
  if (!UpdateData(true)) return true;
  m_settings.m_width = m_defaultSize.cx;
  m_settings.m_height = m_defaultSize.cy;
  UpdateData(false);
  return true;
}

bool CPlaySettingsDlg::OnTimerSpin(NMHDR* hdr, LRESULT* result) {
  StepDecimalEdit(GetDlgItem(IDC_PLAY_TIMER), reinterpret_cast<NMUPDOWN*>(hdr), kTimerField);
  *result = 1;
  return true;
}

bool CPlaySettingsDlg::OnCountSpin(NMHDR* hdr, LRESULT* result) {
  BOOL ok = FALSE;
  // Stepped as long long: a count at the end of an int's range cannot
  // overflow before the limits below.
  long long count = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_PLAY_COUNT, &ok, TRUE));
  if (!ok) count = 1;
  count += SpinGoesUp(hdr) ? 1 : -1;
  if (count < 1) count = 1;
  if (count > 5000) count = 5000;
  ::SetDlgItemInt(m_hWnd, IDC_PLAY_COUNT, static_cast<UINT>(count), TRUE);
  *result = 1;
  return true;
}

void CPlaySettingsDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_settings.m_posModeX = Checked(IDC_PLAY_X_ABSOLUTE) ? kModeStored : kModeCenter;
  m_settings.m_posModeY = Checked(IDC_PLAY_Y_ABSOLUTE) ? kModeStored : kModeCenter;
  m_settings.m_infinite = m_repeatMode == 0 ? 1 : 0;
  m_settings.m_wait = m_playMode == 0 ? 1 : 0;
  m_settings.m_endless = m_playMode == 1 ? 1 : 0;
  EndDialog(IDOK);
}

// ------------------------------------------------------------ Play and Stop

const CCommandEntry CPlayDlg::commandEntries[] = {
    ControlEntry(IDC_MEDIA_LIST, LBN_DBLCLK, &CPlayDlg::OnDoubleClick),
    CommandEntry(IDC_PLAY_SETTINGS, &CPlayDlg::OnSettings),
    CommandEntry(IDC_MEDIA_PLAY, &CPlayDlg::OnTest),
    CommandEntry(IDC_PLAY_STOP, &CPlayDlg::OnStopTest),
};
LW_IMPLEMENT_COMMAND_TABLE(CPlayDlg, CMediaTesting<CAttributeEditDialog<CPlacementAttribute>>)

CPlayDlg::CPlayDlg(const CPlacementAttribute& placement, CSceneCommand* command, HWND parent)
    : CMediaTesting<CAttributeEditDialog<CPlacementAttribute>>(IDD_PLAY, placement, command,
                                                                parent) {
  m_copy.m_pTarget = placement.m_pTarget;
}

bool CPlayDlg::OnInitDialog() {
  CMediaTesting<CAttributeEditDialog<CPlacementAttribute>>::OnInitDialog();
  m_list.Setup(*this, IDC_MEDIA_LIST, IDC_MEDIA_LIST_LABEL, kTypeMedia, m_copy.m_pTarget);
  m_list.SetHorizontalExtent(500);
  SetCommentCaption();
  return true;
}

CMediaObject* CPlayDlg::GetSelected() const {
  return static_cast<CMediaObject*>(m_list.GetSelectedTarget());
}

// A double click is OK unless Ctrl is held (Ctrl+click clears the choice).
bool CPlayDlg::OnDoubleClick(UINT) {
  if (::GetKeyState(VK_CONTROL) >= 0) OnOK();
  return true;
}

void CPlayDlg::OnOK() {
  m_player.Stop();
  if (!UpdateData(true)) return;
  m_copy.m_pTarget = GetSelected();
  EndDialog(IDOK);
}

bool CPlayDlg::OnSettings(UINT) {
  CMediaObject* media = GetSelected();
  CFlashPlayAttribute& settings = m_copy.m_flash;
  SIZE frame = {0, 0};
  if (media && media->m_kind == kMediaFlash) frame = media->GetFlashFrameSize();
  if (settings.m_width == 0 && settings.m_height == 0 && media && media->m_kind == kMediaFlash) {
    settings.m_width = frame.cx;
    settings.m_height = frame.cy;
  }
  CPlaySettingsDlg dialog(settings, m_hWnd);
  if (media) {
    dialog.m_kind = media->m_kind;
    if (media->m_kind == kMediaFlash) dialog.m_defaultSize = frame;
  }
  if (dialog.DoModal() == IDOK) {
    settings.CopyFrom(dialog.GetWorkingCopy());
    RestoreDefaultButton(*this, IDC_PLAY_SETTINGS);
  }
  return true;
}

bool CPlayDlg::OnTest(UINT) {
  if (CMediaObject* media = GetSelected()) TestPlay(*media);
  return true;
}

bool CPlayDlg::OnStopTest(UINT) {
  m_player.Stop();
  return true;
}

const CCommandEntry CStopDlg::commandEntries[] = {
    ControlEntry(IDC_MEDIA_LIST, LBN_DBLCLK, &CStopDlg::OnDoubleClick),
};
LW_IMPLEMENT_COMMAND_TABLE(CStopDlg, CAttributeEditDialog<CMediaRefAttribute>)

CStopDlg::CStopDlg(const CMediaRefAttribute& ref, CSceneCommand* command, HWND parent)
    : CAttributeEditDialog<CMediaRefAttribute>(IDD_STOP, ref, command, parent) {
  m_copy.m_pTarget = ref.m_pTarget;
}

bool CStopDlg::OnInitDialog() {
  CAttributeEditDialog<CMediaRefAttribute>::OnInitDialog();
  m_list.Setup(*this, IDC_MEDIA_LIST, IDC_MEDIA_LIST_LABEL, kTypeMedia, m_copy.m_pTarget);
  m_list.SetHorizontalExtent(500);
  SetCommentCaption();
  return true;
}

bool CStopDlg::OnDoubleClick(UINT) {
  OnOK();
  return true;
}

void CStopDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_copy.m_pTarget = m_list.GetSelectedTarget();
  EndDialog(IDOK);
}

// ------------------------------------------------------------ edit entries

INT_PTR EditMediaCommand(CSceneCommand& command, HWND parent) {
  return EditWholeCommand<CMediaObjectDlg>(static_cast<CMediaObject&>(command), parent);
}

INT_PTR EditPlayCommand(CSceneCommand& command, HWND parent) {
  return EditAttributeCommand<CPlayDlg>(command, static_cast<CPlayCommand&>(command).m_placement,
                                        parent);
}

INT_PTR EditStopCommand(CSceneCommand& command, HWND parent) {
  return EditAttributeCommand<CStopDlg>(command, static_cast<CStopCommand&>(command).m_ref,
                                        parent);
}
