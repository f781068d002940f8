// The media dialogs and their test playback. The players of a test belong
// to the dialog that started it and live on its thread; a dialog stops
// them before its window goes, whatever ends it, and before its working
// copy (whose bytes a wave sound or an MP3 plays in place) is freed.
#include "builder/MediaDialogs.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "builder/BuilderUtils.h"
#include "builder/FileDialogEx.h"
#include "builder/resource.h"
#include "framework/App.h"
#include "playback/FlashPlayer.h"
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
const char kDeselectTip[] = "Deselect - Ctrl+click";

// The Play timer's decimal field: up to 600 seconds, shown in six
// significant digits, stepped by a hundredth.
constexpr float kTimerMaxSeconds = 600.0f;
constexpr int kTimerDigits = 6;
constexpr int kTimerDecimals = 2;
constexpr int kTimerStep = 1;

// The controls a movie's place and size use.
const int kPlacementControls[] = {IDC_PLAY_X,          IDC_PLAY_Y,          IDC_PLAY_WIDTH,
                                  IDC_PLAY_HEIGHT,     IDC_PLAY_X_ABSOLUTE, IDC_PLAY_X_CENTERED,
                                  IDC_PLAY_Y_ABSOLUTE, IDC_PLAY_Y_CENTERED, IDC_PLAY_DEFAULT_SIZE};

int Pow10(int n) {
  int v = 1;
  while (n-- > 0) v *= 10;
  return v;
}

// One click of a decimal spin field: the value snaps to the step's grid
// (down when going up, up when going down), moves one step and is clamped.
float StepDecimal(float value, bool up, int digits, int decimals, int step, float maximum) {
  const double scaled = static_cast<double>(value) * Pow10(digits - 1);
  const double rounded = scaled < 0 ? -static_cast<double>(static_cast<long long>(-scaled + 0.5))
                                    : static_cast<double>(static_cast<long long>(scaled + 0.5));
  const double grid = static_cast<double>(Pow10(digits - decimals - 1)) * step;
  const double ratio = rounded / grid;
  long long q = static_cast<long long>(ratio);
  if (up && ratio < 0 && q != ratio) --q;
  if (!up && ratio > 0 && q != ratio) ++q;
  double next = (static_cast<double>(q) * step + (up ? step : -step)) / Pow10(decimals);
  if (next < 0) next = 0;
  if (next > maximum) next = maximum;
  return static_cast<float>(next);
}

// Whole seconds and hundredths as printed, then in milliseconds.
int SecondsToMilliseconds(float seconds) {
  char text[64];
  FormatText(text, sizeof text, "%.2f", static_cast<double>(seconds));
  float printed = 0;
  ParseFloatText(text, "", &printed);
  const double ms = static_cast<double>(printed) * 1000.0;
  return static_cast<int>(ms < 0 ? ms - 0.5 : ms + 0.5);
}

// Whether a spin notification's arrow raises the value.
bool SpinGoesUp(NMHDR* hdr) {
  const NMUPDOWN* ud = reinterpret_cast<NMUPDOWN*>(hdr);
  int low = 0, high = 0;
  ::SendMessageA(hdr->hwndFrom, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
  return low <= high ? ud->iDelta > 0 : ud->iDelta < 0;
}

// The type name, and " - text" when there is a text.
CString EditCaption(const CSceneCommand& command, const char* text) {
  CString caption(GetCommandTypeName(command.GetType()));
  if (text && *text) caption += CString(" - ") + text;
  return caption;
}

// After a sub-dialog: the button that opened it is plain again and OK is
// the default, so that Enter means OK.
void MakeOkDefault(HWND dialog, int id) {
  ::SendDlgItemMessageA(dialog, id, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  ::SendDlgItemMessageA(dialog, IDOK, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  ::SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
  ::SetFocus(::GetDlgItem(dialog, IDOK));
}

CString ProfileString(const char* entry, const char* defaultValue) {
  CWinApp* app = AfxGetApp();
  if (!app) return defaultValue;
  char text[MAX_PATH] = "";
  app->GetProfileString("Settings", entry, defaultValue, text, sizeof text);
  return text;
}

void WriteProfileText(const char* entry, const char* value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileString("Settings", entry, value);
}

}  // namespace

// ------------------------------------------------------------ test playback

void CMediaTestPlayer::Play(const CMediaObject& media, HWND notify) {
  Stop();
  if (!media.m_pData || media.m_dataSize == 0) return;
  switch (media.m_kind) {
    case kMediaAudio:
      ::PlaySoundA(reinterpret_cast<const char*>(media.m_pData), nullptr,
                   SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
      break;
    case kMediaVideo:
    case kMediaFlash: {
      CMediaPreviewDlg preview(media.m_kind, nullptr);
      if (preview.MakeTempCopy(media)) preview.DoModal();
      break;
    }
    case kMediaMp3:
      m_mp3.Play(media.m_pData, media.m_dataSize, false, false);
      break;
    case kMediaMidi: {
      CString path;
      if (!WriteMediaTempFile(media.m_pData, media.m_dataSize, ".mid", path)) break;
      m_midi.m_path = path;
      m_midi.m_repeat = false;
      m_midi.SetNotifyWindow(notify);
      if (m_midi.Open() == 0) m_midi.Play();
      break;
    }
    default:
      break;
  }
}

void CMediaTestPlayer::Stop() {
  ::PlaySoundA(nullptr, nullptr, 0);
  m_mp3.Stop();
  // Stopped and closed before the file goes: the sequencer holds it open.
  m_midi.Release();
}

void CMediaTestDialog::OnOK() {
  m_player.Stop();
  CCmdDialog::OnOK();
}

void CMediaTestDialog::OnCancel() {
  m_player.Stop();
  CCmdDialog::OnCancel();
}

LRESULT CMediaTestDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == MM_MCINOTIFY) {
    m_player.OnMciNotify(wp, lp);
    return 0;
  }
  // However the dialog ends (its own buttons, Escape, closing, or EndDialog
  // from elsewhere), nothing it started plays on.
  if (msg == WM_DESTROY) m_player.Stop();
  return CCmdDialog::WindowProc(msg, wp, lp);
}

// ------------------------------------------------------------ preview

CMediaPreviewDlg::CMediaPreviewDlg(int kind, HWND parent)
    : CCmdDialog(IDD_MEDIA_PREVIEW, parent), m_kind(kind) {}

CMediaPreviewDlg::~CMediaPreviewDlg() { Release(); }

int CMediaPreviewDlg::MakeTempCopy(const CMediaObject& media) {
  const char* extension =
      m_kind == kMediaVideo ? ".avi" : m_kind == kMediaFlash ? ".swf" : nullptr;
  if (!extension || !media.m_pData) return 0;
  CString first;
  if (!WriteTempFile(media.m_pData, media.m_dataSize, first)) return 0;
  const CString named = first + extension;
  const bool copied = ::CopyFileA(first, named, FALSE) != FALSE;
  // Only the named copy plays; the first file has no further use.
  ::DeleteFileA(first);
  if (!copied) return 0;
  Release();
  m_path = named;
  return 1;
}

bool CMediaPreviewDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  const CRect place = GetWindowRect();
  if (m_kind == kMediaVideo) {
    m_video = new CMciPlayerWnd;
    if (!m_video->Create(m_hWnd)) {
      delete m_video;
      m_video = nullptr;
      return true;
    }
    ::SendMessageA(m_video->GetSafeHwnd(), WM_COMMAND, CMciPlayerWnd::kOpen,
                   reinterpret_cast<LPARAM>(static_cast<const char*>(m_path)));
    const SIZE source = m_video->GetSourceSize();
    RECT frame = {0, 0, source.cx, source.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)));
    MoveWindow(place.left, place.top, frame.right - frame.left, frame.bottom - frame.top);
    POINT origin = {0, 0};
    ::SendMessageA(m_video->GetSafeHwnd(), WM_COMMAND, CMciPlayerWnd::kPosition,
                   reinterpret_cast<LPARAM>(&origin));
    ::SendMessageA(m_video->GetSafeHwnd(), WM_COMMAND, CMciPlayerWnd::kPlay, 0);
  } else if (m_kind == kMediaFlash) {
    // The template holds the movie's place; the control takes it, and is
    // shown and enabled whatever the template says.
    const HWND holder = GetDlgItem(IDC_PREVIEW_MOVIE);
    const CRect area = GetClientRect();
    DWORD style = WS_CHILD;
    if (holder) {
      style |= static_cast<DWORD>(::GetWindowLongPtrA(holder, GWL_STYLE)) &
               (WS_VISIBLE | WS_DISABLED);
      ::DestroyWindow(holder);
    }
    m_movie = new CShockwaveFlash;
    if (!m_movie->Create(m_hWnd, area, IDC_PREVIEW_MOVIE, style)) {
      delete m_movie;
      m_movie = nullptr;
      return true;
    }
    m_movie->EnableWindow(true);
    m_movie->ShowWindow(SW_SHOW);
    m_movie->SetMovie(m_path);
    m_movie->SetLoop(TRUE);
    m_movie->SetMenu(FALSE);
    m_movie->Play();
  }
  return true;
}

LRESULT CMediaPreviewDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) Release();
  return CCmdDialog::WindowProc(msg, wp, lp);
}

void CMediaPreviewDlg::Release() {
  if (m_video) {
    const HWND video = m_video->GetSafeHwnd();
    if (video) {
      ::SendMessageA(video, WM_COMMAND, CMciPlayerWnd::kStop, 0);
      ::SendMessageA(video, WM_COMMAND, CMciPlayerWnd::kClose, 0);
      m_video->DestroyWindow();
    }
    delete m_video;
    m_video = nullptr;
  }
  if (m_movie) {
    m_movie->Stop();
    if (m_movie->GetSafeHwnd()) m_movie->DestroyWindow();
    delete m_movie;
    m_movie = nullptr;
  }
  if (!m_path.IsEmpty()) ::DeleteFileA(m_path);
  m_path.Empty();
}

// ------------------------------------------------------------ media object

const CCommandEntry CMediaObjectDlg::commandEntries[] = {
    CommandEntry(IDC_MEDIA_CHOOSE, &CMediaObjectDlg::OnChoose),
    CommandEntry(IDC_MEDIA_PLAY, &CMediaObjectDlg::OnPlay),
    ControlEntry(IDC_MEDIA_ICON, STN_DBLCLK, &CMediaObjectDlg::OnPlay),
    CommandEntry(IDC_MEDIA_STOP, &CMediaObjectDlg::OnStop),
    CommandEntry(IDC_COMMENT_BUTTON, &CMediaObjectDlg::OnComment),
};
LW_IMPLEMENT_COMMAND_TABLE(CMediaObjectDlg, CMediaTestDialog)

CMediaObjectDlg::CMediaObjectDlg(const CMediaObject& media, HWND parent)
    : CMediaTestDialog(IDD_MEDIA_OBJECT, parent), m_media(new CMediaObject) {
  m_media->CopyFrom(media);
}

CMediaObjectDlg::~CMediaObjectDlg() {
  // The copy's bytes may be playing: stop before they are freed.
  m_player.Stop();
  delete m_media;
}

bool CMediaObjectDlg::OnInitDialog() {
  CMediaTestDialog::OnInitDialog();
  ShowMedia();
  SetWindowText(EditCaption(*m_media, m_media->m_comment.m_text));
  return true;
}

void CMediaObjectDlg::ShowMedia() {
  SetDlgItemText(IDC_MEDIA_NAME, m_media->m_displayName);
  // The shell's icon for the kind of file the object holds.
  static const char* const kExtensions[] = {".wav", ".avi", ".mp3", ".swf", ".mid"};
  const int kind = m_media->m_kind >= 0 && m_media->m_kind <= 4 ? m_media->m_kind : 0;
  SHFILEINFOA info = {};
  if (::SHGetFileInfoA(kExtensions[kind], FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES) && info.hIcon) {
    const HICON old = reinterpret_cast<HICON>(::SendDlgItemMessageA(
        m_hWnd, IDC_MEDIA_ICON, STM_SETICON, reinterpret_cast<WPARAM>(info.hIcon), 0));
    if (old) ::DestroyIcon(old);
  }
}

bool CMediaObjectDlg::OnChoose(UINT) {
  m_player.Stop();
  const CString folder = ProfileString("MediaPath", GetMyDocumentsPath());
  CFileDialogEx chooser(false, true, nullptr, nullptr, OFN_EXPLORER | OFN_HIDEREADONLY, kMediaFilter,
                        m_hWnd);
  chooser.m_ofn.lpstrInitialDir = folder;
  chooser.m_ofn.lpstrTitle = "New Media";
  if (chooser.DoModal() != IDOK) return true;
  const CString chosenFolder = chooser.GetFolderPath();
  WriteProfileText("MediaPath", chosenFolder);
  const int loaded = m_media->LoadMediaFile(chooser.GetPathName(), true);
  ShowMedia();
  if (loaded) {
    ::SetCurrentDirectoryA(chosenFolder);
    MakeOkDefault(m_hWnd, IDC_MEDIA_CHOOSE);
  }
  return true;
}

bool CMediaObjectDlg::OnPlay(UINT) {
  TestPlay(*m_media);
  return true;
}

bool CMediaObjectDlg::OnStop(UINT) {
  m_player.Stop();
  return true;
}

bool CMediaObjectDlg::OnComment(UINT) { return true; }

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
  DDX_FloatText(dx, IDC_PLAY_TIMER, m_timerSeconds);
  DDV_MinMaxFloat(dx, m_timerSeconds, 0.0f, kTimerMaxSeconds);
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
  Enable(IDC_PLAY_INFINITE, wait);
  Enable(IDC_PLAY_REPEAT, wait);
  Enable(IDC_PLAY_COUNT, wait);
  Enable(IDC_PLAY_COUNT_SPIN, wait);
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
  Enable(IDC_PLAY_INFINITE, repeats);
  Enable(IDC_PLAY_REPEAT, repeats);
  Enable(IDC_PLAY_COUNT, repeats);
  Enable(IDC_PLAY_COUNT_SPIN, repeats);
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
  Enable(IDC_PLAY_INFINITE, false);
  Enable(IDC_PLAY_REPEAT, false);
  Enable(IDC_PLAY_COUNT, false);
  Enable(IDC_PLAY_COUNT_SPIN, false);
  return true;
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
  char text[64] = "";
  GetDlgItemText(IDC_PLAY_TIMER, text, sizeof text);
  float value = 0;
  if (!ParseFloatText(text, "", &value)) value = 0;
  value = StepDecimal(value, SpinGoesUp(hdr), kTimerDigits, kTimerDecimals, kTimerStep,
                      kTimerMaxSeconds);
  char shown[64];
  FormatText(shown, sizeof shown, "%.6g", static_cast<double>(value));
  SetDlgItemText(IDC_PLAY_TIMER, shown);
  *result = 1;
  return true;
}

bool CPlaySettingsDlg::OnCountSpin(NMHDR* hdr, LRESULT* result) {
  BOOL ok = FALSE;
  int count = static_cast<int>(::GetDlgItemInt(m_hWnd, IDC_PLAY_COUNT, &ok, TRUE));
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
  m_settings.m_timerMs = SecondsToMilliseconds(m_timerSeconds);
  EndDialog(IDOK);
}

// ------------------------------------------------------------ Play and Stop

const CCommandEntry CMediaTargetDlg::commandEntries[] = {
    ControlEntry(IDC_MEDIA_LIST, LBN_SELCHANGE, &CMediaTargetDlg::OnSelChange),
    ControlEntry(IDC_MEDIA_LIST, LBN_DBLCLK, &CMediaTargetDlg::OnDoubleClick),
    CommandEntry(IDC_COMMENT_BUTTON, &CMediaTargetDlg::OnComment),
};
LW_IMPLEMENT_COMMAND_TABLE(CMediaTargetDlg, CMediaTestDialog)

CMediaTargetDlg::CMediaTargetDlg(UINT templateId, CSceneCommand& command, CTargetRefAttribute& ref,
                                 CStringAttribute& comment, HWND parent)
    : CMediaTestDialog(templateId, parent), m_command(command), m_ref(ref), m_comment(comment) {}

bool CMediaTargetDlg::OnInitDialog() {
  CMediaTestDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_MEDIA_LIST, m_hWnd);
  if (m_tip.Create(m_hWnd)) {
    m_tip.AddTool(GetDlgItem(IDC_MEDIA_LIST_LABEL), kDeselectTip);
    m_tip.Activate(true);
  }
  if (g_pCommandPalette) {
    const CCommandList& commands = g_pCommandPalette->GetCommands();
    for (int i = 0; i < commands.GetSize(); ++i) {
      CSceneCommand* command = commands.GetCommand(i);
      if (command->GetType() != kTypeMedia) continue;
      CString label;
      static_cast<CMediaObject*>(command)->GetListLabel(label, false);
      const int item = m_list.AddString(label);
      if (item < 0) continue;
      m_list.SetItemData(item, reinterpret_cast<DWORD_PTR>(command));
      if (command == m_ref.m_pTarget) m_list.SetCurSel(item);
    }
  }
  m_list.SetHorizontalExtent(500);
  SetWindowText(EditCaption(m_command, m_comment.m_text));
  return true;
}

CMediaObject* CMediaTargetDlg::GetSelected() const {
  const int item = m_list.GetCurSel();
  if (item < 0) return nullptr;
  return reinterpret_cast<CMediaObject*>(m_list.GetItemData(item));
}

bool CMediaTargetDlg::OnSelChange(UINT) {
  if (::GetKeyState(VK_CONTROL) < 0 && m_list.GetCurSel() >= 0) m_list.SetCurSel(-1);
  return true;
}

bool CMediaTargetDlg::OnDoubleClick(UINT) {
  if (DoubleClickIsOK()) OnOK();
  return true;
}

bool CMediaTargetDlg::OnComment(UINT) { return true; }

void CMediaTargetDlg::OnOK() {
  m_player.Stop();
  if (!UpdateData(true)) return;
  m_ref.m_pTarget = GetSelected();
  EndDialog(IDOK);
}

const CCommandEntry CPlayDlg::commandEntries[] = {
    CommandEntry(IDC_PLAY_SETTINGS, &CPlayDlg::OnSettings),
    CommandEntry(IDC_MEDIA_PLAY, &CPlayDlg::OnTest),
    CommandEntry(IDC_PLAY_STOP, &CPlayDlg::OnStopTest),
};
LW_IMPLEMENT_COMMAND_TABLE(CPlayDlg, CMediaTargetDlg)

CPlayDlg::CPlayDlg(const CPlacementAttribute& placement, CSceneCommand& command, HWND parent)
    : CMediaTargetDlg(IDD_PLAY, command, m_placement, m_placement.m_comment, parent) {
  m_placement.CopyFrom(placement);
  m_placement.m_pTarget = placement.m_pTarget;
}

bool CPlayDlg::OnSettings(UINT) {
  CMediaObject* media = GetSelected();
  CFlashPlayAttribute& settings = m_placement.m_flash;
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
    MakeOkDefault(m_hWnd, IDC_PLAY_SETTINGS);
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

CStopDlg::CStopDlg(const CMediaRefAttribute& ref, CSceneCommand& command, HWND parent)
    : CMediaTargetDlg(IDD_STOP, command, m_stopRef, m_stopRef.m_comment, parent) {
  m_stopRef.CopyFrom(ref);
  m_stopRef.m_pTarget = ref.m_pTarget;
}

// ------------------------------------------------------------ edit entries

INT_PTR EditMediaCommand(CSceneCommand& command, HWND parent) {
  CMediaObject& media = static_cast<CMediaObject&>(command);
  CMediaObjectDlg dialog(media, parent);
  const INT_PTR result = dialog.DoModal();
  if (result == IDOK) media.CopyFrom(dialog.GetWorkingCopy());
  return result == IDOK ? IDOK : IDCANCEL;
}

INT_PTR EditPlayCommand(CSceneCommand& command, HWND parent) {
  CPlayCommand& play = static_cast<CPlayCommand&>(command);
  CPlayDlg dialog(play.m_placement, command, parent);
  const INT_PTR result = dialog.DoModal();
  if (result != IDOK) return IDCANCEL;
  CPlacementAttribute& edited = dialog.GetWorkingCopy();
  play.m_placement.CopyFrom(edited);
  play.m_comment.CopyFrom(edited.m_comment);
  play.SetTarget(edited.m_pTarget);
  return IDOK;
}

INT_PTR EditStopCommand(CSceneCommand& command, HWND parent) {
  CStopCommand& stop = static_cast<CStopCommand&>(command);
  CStopDlg dialog(stop.m_ref, command, parent);
  const INT_PTR result = dialog.DoModal();
  if (result != IDOK) return IDCANCEL;
  CMediaRefAttribute& edited = dialog.GetWorkingCopy();
  stop.m_ref.CopyFrom(edited);
  stop.m_comment.CopyFrom(edited.m_comment);
  stop.SetTarget(edited.m_pTarget);
  return IDOK;
}
