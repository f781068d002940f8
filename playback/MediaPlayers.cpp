// The media players of a run, each kind reached on the thread it must run
// on: sounds and MP3 on any thread, MCI devices and video windows through
// the owner window, movies on their own thread.
#include "playback/MediaPlayers.h"

#include <new>

#include "playback/movie/FlashPlayer.h"
#include "script/PlayContext.h"
#include "script/Utilities.h"

namespace {
// Sent to the owner window: wParam a CSceneMediaPlayers::Call, lParam its
// argument.
const UINT WM_MEDIA_CALL = WM_APP + 0x4D;
// How long a movie's thread is given to end after End before it is left
// to end (and delete its object) by itself.
const DWORD kMovieEndMs = 1000;
}  // namespace

bool WriteMediaTempFile(const uint8_t* data, uint32_t size, const char* extension, CString& path) {
  CString plain;
  if (!data || !WriteTempFile(data, size, plain)) return false;
  path = plain + extension;
  if (::MoveFileA(plain, path)) return true;
  ::DeleteFileA(plain);
  path.Empty();
  return false;
}

namespace {
// Dispatches the calling thread's queued messages; false on WM_QUIT, which
// is put back for the thread's own loop.
bool PumpThreadMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return true;
}
}  // namespace

bool WaitAnsweringMessages(HANDLE event, HANDLE stopEvent) {
  HANDLE handles[2];
  DWORD count = 0;
  if (event) handles[count++] = event;
  if (stopEvent) handles[count++] = stopEvent;
  if (count == 0) return false;
  for (;;) {
    const DWORD got = ::MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, QS_ALLINPUT);
    if (got < WAIT_OBJECT_0 + count) return event && got == WAIT_OBJECT_0;
    if (got != WAIT_OBJECT_0 + count || !PumpThreadMessages()) return false;
  }
}

LRESULT CSceneMediaPlayers::COwnerWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MEDIA_CALL) return reinterpret_cast<Call>(wp)(m_players, reinterpret_cast<void*>(lp));
  if (msg == MM_MCINOTIFY) {
    m_players.OnMciNotify(wp, lp);
    return 0;
  }
  return CWnd::WindowProc(msg, wp, lp);
}

CSceneMediaPlayers::CSceneMediaPlayers(HWND output)
    : m_owner(*this), m_ownerThread(::GetCurrentThreadId()), m_output(output) {
  m_owner.CreateEx(0, CWnd::RegisterWndClass(0), "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0);
  m_midi.SetNotifyWindow(m_owner.GetSafeHwnd());
}

CSceneMediaPlayers::~CSceneMediaPlayers() {
  StopAll();
  m_owner.DestroyWindow();
}

LRESULT CSceneMediaPlayers::OnOwner(Call call, void* arg) {
  if (::GetCurrentThreadId() == m_ownerThread || !m_owner.GetSafeHwnd()) return call(*this, arg);
  return ::SendMessageA(m_owner.GetSafeHwnd(), WM_MEDIA_CALL, reinterpret_cast<WPARAM>(call),
                        reinterpret_cast<LPARAM>(arg));
}

void CSceneMediaPlayers::OnMciNotify(WPARAM code, LPARAM device) { m_midi.OnNotify(code, device); }

bool CSceneMediaPlayers::Play(CMediaObject& media, int wait, int endless, const RECT& place,
                              int timerMs, HANDLE stopEvent) {
  const CMediaBytes bytes = GetMediaBytes(media);
  const uint8_t* data = bytes.data;
  const uint32_t size = bytes.size;
  if (!data || size == 0) return false;
  switch (bytes.kind) {
    case kMediaVideo:
      return PlayVideo(data, size, wait, endless, place, stopEvent);
    case kMediaMp3:
      if (m_muted) return false;
      ::PlaySoundA(nullptr, nullptr, 0);
      return m_mp3.Play(data, size, wait != 0, endless != 0, stopEvent);
    case kMediaFlash:
      return PlayMovie(data, size, wait, endless, place, timerMs, stopEvent);
    case kMediaMidi:
      return PlayMidi(data, size, wait, endless, stopEvent);
    default: {
      ::PlaySoundA(nullptr, nullptr, 0);
      m_mp3.Stop();
      if (m_muted) return false;
      DWORD flags = SND_MEMORY | SND_NODEFAULT;
      if (wait)
        flags |= SND_SYNC;
      else
        flags |= SND_ASYNC | (endless ? SND_LOOP : 0);
      return ::PlaySoundA(reinterpret_cast<LPCSTR>(data), nullptr, flags) != FALSE;
    }
  }
}

void CSceneMediaPlayers::Stop(CMediaObject& media) {
  switch (GetMediaBytes(media).kind) {
    case kMediaVideo:
      OnOwner([](CSceneMediaPlayers& self, void*) -> LRESULT {
        self.StopPlayerWindow(false);
        return 0;
      }, nullptr);
      break;
    case kMediaMp3:
      m_mp3.Stop();
      break;
    case kMediaFlash:
      EndMovie();
      break;
    case kMediaMidi:
      OnOwner([](CSceneMediaPlayers& self, void*) -> LRESULT {
        self.m_midi.Release();
        return 0;
      }, nullptr);
      break;
    default:
      ::PlaySoundA(nullptr, nullptr, 0);
      break;
  }
}

// A synchronous wave sound holds the thread that plays it: it is ended
// before anything waits for that thread.
void CSceneMediaPlayers::StopAll() {
  ::PlaySoundA(nullptr, nullptr, 0);
  m_mp3.Stop();
  OnOwner([](CSceneMediaPlayers& self, void*) -> LRESULT {
    self.m_midi.Release();
    self.StopPlayerWindow(true);
    self.StopVideoWindow();
    return 0;
  }, nullptr);
  EndMovie();
}

// The window's clip is stopped and closed before the window goes, all on
// this thread; the file is deleted once nothing has it open.
void CSceneMediaPlayers::StopPlayerWindow(bool destroy) {
  CMciPlayerWnd* wnd = m_playerWnd;
  if (!wnd) return;
  const CString path = wnd->m_path;
  if (wnd->GetSafeHwnd()) {
    ::SendMessageA(*wnd, WM_COMMAND, CMciPlayerWnd::kStop, 0);
    ::SendMessageA(*wnd, WM_COMMAND, CMciPlayerWnd::kClose, 0);
  }
  if (destroy) {
    m_playerWnd = nullptr;
    if (wnd->GetSafeHwnd()) wnd->DestroyWindow();
    delete wnd;
  }
  if (!path.IsEmpty()) ::DeleteFileA(path);
  if (!destroy) wnd->m_path.Empty();
}

void CSceneMediaPlayers::StopVideoWindow() {
  CMciVideoWnd* wnd = m_videoWnd;
  m_videoWnd = nullptr;
  if (wnd) {
    wnd->StopAndDelete();
    delete wnd;
  }
  // A run that waits for the video ends its wait.
  m_videoDone.SetEvent();
}

namespace {
struct VideoRequest {
  const char* path;
  int wait, endless;
  RECT place;
  bool played;
};
}  // namespace

bool CSceneMediaPlayers::PlayVideo(const uint8_t* data, uint32_t size, int wait, int endless,
                                   const RECT& place, HANDLE stopEvent) {
  CString path;
  if (!m_output || !WriteMediaTempFile(data, size, ".avi", path)) return false;
  VideoRequest request = {path, wait, endless, place, false};
  OnOwner([](CSceneMediaPlayers& self, void* arg) -> LRESULT {
    VideoRequest& r = *static_cast<VideoRequest*>(arg);
    self.StopPlayerWindow(false);
    if (r.wait) {
      self.StopVideoWindow();
      self.m_videoDone.ResetEvent();
      CMciVideoWnd* wnd = new (std::nothrow) CMciVideoWnd;
      if (!wnd) return 0;
      self.m_videoWnd = wnd;
      wnd->m_mute = self.m_muted;
      wnd->m_reportErrors = self.m_reportErrors;
      wnd->m_cursor = self.m_blankCursor;
      wnd->m_hideCursor = self.m_blankCursor != nullptr;
      r.played = wnd->CreateAndPlay(r.endless != 0, r.place.left, r.place.top, self.m_output,
                                    r.path, self.m_videoDone);
      if (!r.played) self.StopVideoWindow();
      return 0;
    }
    if (!self.m_playerWnd) {
      CMciPlayerWnd* wnd = new (std::nothrow) CMciPlayerWnd;
      if (!wnd) return 0;
      if (!wnd->Create(self.m_output)) {
        delete wnd;
        return 0;
      }
      self.m_playerWnd = wnd;
    }
    CMciPlayerWnd& wnd = *self.m_playerWnd;
    wnd.m_reportErrors = self.m_reportErrors;
    wnd.m_cursor = self.m_blankCursor;
    ::SetFocus(self.m_output);
    const POINT at = {r.place.left, r.place.top};
    ::SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kOpen, reinterpret_cast<LPARAM>(r.path));
    ::SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kPosition, reinterpret_cast<LPARAM>(&at));
    ::SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kPlay, r.endless ? 0 : 1);
    r.played = wnd.m_device != 0;
    return 0;
  }, &request);
  if (!request.played) {
    // The windows that had it open have let it go.
    if (wait || !m_playerWnd) ::DeleteFileA(path);
    return false;
  }
  if (!wait) return true;
  WaitAnsweringMessages(m_videoDone, stopEvent);
  OnOwner([](CSceneMediaPlayers& self, void*) -> LRESULT {
    self.StopVideoWindow();
    return 0;
  }, nullptr);
  return true;
}

namespace {
struct MidiRequest {
  const char* path;
  bool repeat;
  MCIERROR result;
};
}  // namespace

bool CSceneMediaPlayers::PlayMidi(const uint8_t* data, uint32_t size, int wait, int endless,
                                  HANDLE stopEvent) {
  CString path;
  if (!WriteMediaTempFile(data, size, ".mid", path)) return false;
  MidiRequest request = {path, endless != 0, 0};
  OnOwner([](CSceneMediaPlayers& self, void* arg) -> LRESULT {
    MidiRequest& r = *static_cast<MidiRequest*>(arg);
    CTempFileMedia& midi = self.m_midi;
    midi.Release();
    midi.m_path = r.path;
    midi.m_repeat = r.repeat;
    midi.m_finished.ResetEvent();
    r.result = midi.Open();
    if (r.result == 0) r.result = midi.Play();
    return 0;
  }, &request);
  // A sequence that did not start has nothing to wait for.
  if (request.result != 0 || !wait) return request.result == 0;
  WaitAnsweringMessages(m_midi.m_finished, stopEvent);
  OnOwner([](CSceneMediaPlayers& self, void*) -> LRESULT {
    self.m_midi.Release();
    return 0;
  }, nullptr);
  return true;
}

CFlashPlayerThread* CSceneMediaPlayers::NewMovie(HWND parent, HANDLE runningEvent, int timeoutMs) {
  return new (std::nothrow) CFlashPlayerThread(parent, runningEvent, timeoutMs);
}

namespace {
struct FrameRequest {
  RECT place;
  bool takesInput;
  HWND frame;
};
}  // namespace

// The movie's frame: a plain child window of the output, on the owner
// thread, at the movie's place; the movie's thread makes its host window
// in it. Whatever that thread is doing, the owner can then take the movie
// off the screen at once (a window of another thread cannot be hidden
// without that thread). It draws nothing of its own, and is disabled
// unless the movie takes input, so that the mouse over the movie reaches
// the output.
HWND CSceneMediaPlayers::MakeMovieFrame(const RECT& place) {
  FrameRequest request = {place, m_moviesTakeInput, nullptr};
  OnOwner([](CSceneMediaPlayers& self, void* arg) -> LRESULT {
    FrameRequest& r = *static_cast<FrameRequest*>(arg);
    const char* windowClass = CWnd::RegisterWndClass(0);
    if (!windowClass) return 0;
    const DWORD style = WS_CHILD | WS_VISIBLE | (r.takesInput ? 0 : WS_DISABLED);
    r.frame = ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, windowClass, "", style, r.place.left,
                                r.place.top, r.place.right - r.place.left,
                                r.place.bottom - r.place.top, self.m_output, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    return 0;
  }, &request);
  return request.frame;
}

void CSceneMediaPlayers::DestroyMovieFrame(HWND frame) {
  OnOwner([](CSceneMediaPlayers&, void* arg) -> LRESULT {
    ::DestroyWindow(static_cast<HWND>(arg));
    return 0;
  }, frame);
}

bool CSceneMediaPlayers::PlayMovie(const uint8_t* data, uint32_t size, int wait, int endless,
                                   const RECT& place, int timerMs, HANDLE stopEvent) {
  if (!m_output || !IsFlashControlInstalled()) return false;
  EndMovie();
  CString path;
  if (!WriteMediaTempFile(data, size, ".swf", path)) return false;
  const HWND frame = MakeMovieFrame(place);
  CFlashPlayerThread* movie = frame ? NewMovie(frame, m_movieRunning, timerMs) : nullptr;
  if (!movie) {
    if (frame) DestroyMovieFrame(frame);
    ::DeleteFileA(path);
    return false;
  }
  movie->m_bAutoDelete = false;
  movie->m_rect = RECT{0, 0, place.right - place.left, place.bottom - place.top};
  movie->m_loop = endless;
  lstrcpynA(movie->m_moviePath, path, MAX_PATH);
  movie->m_wait = wait;
  movie->m_mute = m_muted;  // the saver's mute holds for a movie's sound too
  movie->m_takesInput = m_moviesTakeInput;
  m_movieRunning.SetEvent();
  // Made suspended before it is published, and let run only then, under
  // the lock: a stop from another thread always finds a thread to end and
  // wait for, and nothing here touches the object once it is published.
  if (!movie->CreateThread(CREATE_SUSPENDED)) {
    delete movie;  // resets the running event and deletes the file
    DestroyMovieFrame(frame);
    return false;
  }
  {
    CLock lock(m_movieLock);
    m_movie = movie;
    m_moviePath = path;
    m_movieFrame = frame;
    movie->ResumeThread();
  }
  OnMoviePublished();
  if (wait) {
    // The running event is cleared when the movie ends: looked at every
    // 10 ms, answering messages between.
    while (m_movieRunning.IsSet() &&
           !(stopEvent && ::WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0)) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      if (!PumpThreadMessages()) break;
    }
  }
  return true;
}

// The movie is told to end and taken off the screen at once (its frame
// hidden). Its thread is then given a while to end (its sends to this
// thread's windows answered meanwhile), and its object, frame and file go.
// A thread that does not end in time (a long frame) keeps its object,
// which it deletes when it ends at last, and its frame, taken away from
// the output so that the output may go first; the file goes now, since the
// control has read it whole.
void CSceneMediaPlayers::EndMovie() {
  CFlashPlayerThread* movie;
  HWND frame;
  {
    CLock lock(m_movieLock);
    movie = m_movie;
    frame = m_movieFrame;
    m_movie = nullptr;
    m_moviePath.Empty();
    m_movieFrame = nullptr;
  }
  if (!movie) return;
  movie->End();
  OnOwner([](CSceneMediaPlayers&, void* arg) -> LRESULT {
    ::ShowWindow(static_cast<HWND>(arg), SW_HIDE);
    return 0;
  }, frame);
  if (movie->Join(kMovieEndMs)) {
    delete movie;
    DestroyMovieFrame(frame);
  } else {
    OnOwner([](CSceneMediaPlayers&, void* arg) -> LRESULT {
      ::SetParent(static_cast<HWND>(arg), HWND_MESSAGE);
      return 0;
    }, frame);
    movie->DeleteMovieFile();
    movie->Release(frame);
  }
}
