// The media test player the builder's and the wizards' dialogs share:
// CMediaTestPlayer, which plays a media object by its kind; CMediaTesting,
// the dialog base that stops it whatever ends the dialog; and the modal
// window a video or movie test plays in.
#include "builder/controls/MediaTestPlayer.h"

#include <mmsystem.h>

#include "builder/controls/ControlsResource.h"
#include "playback/movie/FlashPlayer.h"
#include "playback/MediaPlayers.h"
#include "script/Objects.h"
#include "script/Utilities.h"

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

