// The scene thread's two modes, its pause and stop, and the calibrated
// delay.
#include "playback/SceneThread.h"

#include <mmsystem.h>

#include "framework/Gdi.h"
#include "framework/Seams.h"

unsigned CalibratedPollCount(unsigned elapsed, double duration, unsigned times) {
  const double count = (1.0 - static_cast<double>(elapsed) / duration) * static_cast<double>(times) *
                       duration * 0.00001;
  if (!(count > 0.0)) return 0;  // negative, zero or not a number
  if (count >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<unsigned>(count);
}

CSceneThread::CSceneThread(CPlayOutput* output, UINT* times, int mode, CPlayList* commands,
                           CMediaPlayers* media)
    : m_pOutput(output),
      m_pCommands(commands),
      m_pTimes(times),
      m_mode(mode),
      m_pMedia(media ? media : &m_noMedia) {
  m_bAutoDelete = false;
}

CSceneThread::~CSceneThread() { Stop(); }

bool CSceneThread::Start() {
  if (!CreateThread(CREATE_SUSPENDED)) return false;
  SetThreadPriority(THREAD_PRIORITY_NORMAL);
  ResumeThread();
  return true;
}

void CSceneThread::Stop() {
  m_stopRequested.store(true);
  m_stop.SetEvent();
  m_pMedia->StopAll();
  if (!m_hThread) return;
  // A thread still suspended would never see the event.
  DWORD previous;
  do {
    previous = ResumeThread();
  } while (previous != static_cast<DWORD>(-1) && previous > 1);
  // The thread may be sending to windows of this thread (a redraw): keep
  // answering while waiting.
  HANDLE both[2] = {m_ended, m_hThread};
  WaitAnsweringSentMessages(both, 2, true, INFINITE);
}

bool CSceneThread::InitInstance() {
  // What the commands report goes to the debug output: a box shown by this
  // thread would stop the play behind the full-screen window that hides it.
  CQuietMessages quiet;
  if (m_mode != kPlay)
    Count();
  else
    Play();
  return false;
}

// Counted in a local and stored once: the owner reads it after the thread
// has ended.
void CSceneThread::Count() {
  UINT count = 0;
  if (m_pTimes) *m_pTimes = 0;
  m_counting.SetEvent();
  while (count < 0xFFFFFFFFu && ::WaitForSingleObject(m_stop, 0) == WAIT_TIMEOUT) ++count;
  if (m_pTimes) *m_pTimes = count;
}

void CSceneThread::Play() {
  const HWND hwnd = GetOutputWindow();
  {
    CClientDC window(hwnd);
    CDC& dc = m_pOutput ? *m_pOutput->BeginDrawing(&window) : window;
    if (m_pOutput) {
      m_pOutput->SetBackground(0, SRCCOPY);
      m_pOutput->OnPlayStarting();
    }
    // The list's count is read again every round: nothing may change it
    // while a run plays, but a changed list must not be read past its end.
    for (int i = 0; m_pCommands && i < m_pCommands->GetCount() && !m_stop.IsSet(); ++i) {
      const int at = i;
      const int played = m_pCommands->Play(i, &dc, &i, this);
      if (SettleDelays()) break;
      if (played > 0) {
        if (m_step && i < m_pCommands->GetCount() - 1) m_pauseRequest.SetEvent();
        WaitWhilePaused();
        Present(INFINITE);
      }
      // A command that sent the run back ended a pass of a loop: a pass
      // that waited for nothing gives up a frame.
      if (i < at) {
        if (!m_passWaited) WaitMilliseconds(kPlayFrameMs);
        m_passWaited = false;
      }
    }
    Present(INFINITE);
  }
  ::PlaySoundA(nullptr, nullptr, 0);
  m_pMedia->StopAll();
}

// The ended event is set before the end is announced: an owner that gets
// the message checks the event to tell this run's end from an older one's.
// The owner's Stop still waits for the thread itself, so the object stays
// until this function returns.
void CSceneThread::Delete() {
  HWND announce = nullptr;
  if (m_mode == kPlay && m_pOutput && m_pOutput->PostsEndMessage()) {
    const HWND hwnd = m_pOutput->GetHwnd();
    const HWND parent = ::GetParent(hwnd);
    announce = parent ? parent : hwnd;
  }
  m_ended.SetEvent();
  if (announce) ::PostMessageA(announce, WM_SCENE_ENDED, 0, 0);
  // Auto-delete is off: the owner deletes the object after Stop.
  CWinThread::Delete();
}

void CSceneThread::WaitWhilePaused() {
  if (!m_pauseRequest.IsSet()) return;
  Present(INFINITE);
  OnPause(true);
  HANDLE either[2] = {m_continue, m_stop};
  ::WaitForMultipleObjects(2, either, FALSE, INFINITE);
  m_passWaited = true;
  m_continue.ResetEvent();
  m_pauseRequest.ResetEvent();
  OnPause(false);
}

double CSceneThread::NowMs() {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Whole milliseconds are waited on the stop event; what the wait over- or
// undershot, and any fraction of a millisecond, stays owed to the next
// wait, so that many ticks or short delays add up to the right total.
bool CSceneThread::WaitOwed() {
  if (m_owedMs < 1.0) {
    Present(0);
    return IsStopRequested();
  }
  const double want = m_owedMs > 4.0e9 ? 4.0e9 : m_owedMs;
  Present(static_cast<DWORD>(want));
  const double start = NowMs();
  if (Block(static_cast<DWORD>(want))) {
    m_owedMs = 0.0;
    return true;
  }
  m_owedMs -= NowMs() - start;
  // A long stall (the machine was busy) is not made up by skipping many
  // later waits.
  if (m_owedMs < -100.0) m_owedMs = -100.0;
  return false;
}

bool CSceneThread::Block(DWORD ms) {
  if (ms > 0) m_passWaited = true;
  return WaitOnStopEvent(ms);
}

bool CSceneThread::WaitForStop(DWORD ms) {
  m_owedMs += ms;
  return WaitOwed();
}

// The polls that the delay stands for become time at Times polls per
// second. A delay is also the end of a transition's frame; under a frame
// owed, the frame is only offered to the output.
void CSceneThread::CalibratedDelay(unsigned elapsed, double duration) {
  const unsigned times = m_pTimes ? *m_pTimes : 0;
  const unsigned polls = CalibratedPollCount(elapsed, duration, times);
  if (polls > 0 && times > 0) m_owedMs += static_cast<double>(polls) * 1000.0 / static_cast<double>(times);
  if (m_owedMs < kPlayFrameMs) {
    Present(0);
    return;
  }
  WaitOwed();
}

bool CSceneThread::SettleDelays() {
  if (m_owedMs < 1.0) return IsStopRequested();
  return WaitOwed();
}

void CSceneThread::WaitMilliseconds(DWORD ms) {
  Present(ms);
  Block(ms);
}

void CSceneThread::SetBackground(COLORREF colour, DWORD rop) {
  if (m_pOutput) m_pOutput->SetBackground(colour, rop);
}

void CSceneThread::SetUrl(const char* address, int keys) {
  lstrcpynA(m_url, address ? address : "", sizeof m_url);
  m_urlKeys = keys;
  if (m_pOutput) m_pOutput->SetUrl(m_url, keys);
}

void CSceneThread::ClearUrl() {
  m_url[0] = 0;
  m_urlKeys = -1;
  if (m_pOutput) m_pOutput->ClearUrl();
}

bool CSceneThread::PlayMedia(CMediaObject& media, int wait, int endless, const RECT& place,
                             int timerMs) {
  Present(INFINITE);
  // A play that took a frame or more waited for its media.
  const double start = NowMs();
  const bool played = m_pMedia->Play(media, wait, endless, place, timerMs, m_stop);
  if (NowMs() - start >= kPlayFrameMs) m_passWaited = true;
  return played;
}

void CSceneThread::StopMedia(CMediaObject& media) { m_pMedia->Stop(media); }
