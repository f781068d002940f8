// The movie's host window and the thread that plays a movie on it: the
// host ends a timed movie on its timer, the thread checks the end rules on
// every message it receives and cleans up (window, file, COM) when its
// message loop ends.
#include "playback/movie/FlashPlayer.h"

#include <objbase.h>

#include "framework/Sync.h"

bool CFlashHostWnd::Create(const RECT& rect, HWND parent, int timeoutMs, bool takesInput) {
  const DWORD style = WS_CHILD | WS_VISIBLE | (takesInput ? 0 : WS_DISABLED);
  const char* windowClass = RegisterWndClass(0);
  if (!windowClass || !CreateEx(WS_EX_NOPARENTNOTIFY, windowClass, "", style, rect, parent, 62312))
    return false;
  const RECT inside = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
  if (!m_flash.Create(m_hWnd, inside, 62311, style)) {
    DestroyWindow();
    return false;
  }
  m_flash.SetEventSink(this);
  m_flash.SetMenu(FALSE);
  m_timeoutMs = timeoutMs;
  return true;
}

void CFlashHostWnd::PlayMovie(const char* path, int loop) {
  m_flash.SetMute(m_mute);
  m_flash.SetMovie(path);
  m_flash.SetLoop(loop);
  m_flash.Play();
  if (m_timeoutMs > 0) SetTimer(kTimeoutTimer, static_cast<UINT>(m_timeoutMs));
}

void CFlashHostWnd::OnTimer(UINT_PTR id) {
  if (id != kTimeoutTimer) {
    Default();
    return;
  }
  KillTimer(kTimeoutTimer);
  m_flash.Stop();
  ::PostThreadMessageA(m_threadId, kTimeoutMessage, 0, 0);
}

CFlashPlayerThread::CFlashPlayerThread(HWND parent, HANDLE runningEvent, int timeoutMs)
    : m_timed(timeoutMs != -1), m_timeoutMs(timeoutMs), m_parent(parent), m_running(runningEvent) {
  m_bAutoDelete = false;
}

CFlashPlayerThread::~CFlashPlayerThread() {
  End();
  if (m_hThread) ResumeThread();  // a thread made suspended must run to its end
  Join(INFINITE);
  DeleteMovieFile();  // when the thread never ran
}

bool CFlashPlayerThread::Start(int priority) {
  if (m_running) ::SetEvent(m_running);
  if (!CreateThread(CREATE_SUSPENDED)) {
    End();
    DeleteMovieFile();
    return false;
  }
  SetThreadPriority(priority);
  ResumeThread();
  return true;
}

bool CFlashPlayerThread::Join(DWORD ms) {
  return !m_hThread || ::GetCurrentThreadId() == m_nThreadID ||
         WaitAnsweringSentMessages(m_hThread, ms) == WAIT_OBJECT_0;
}

// Whichever of the owner and the thread comes second deletes the object.
void CFlashPlayerThread::Release(HWND closeAtEnd) {
  m_closeAtEnd = closeAtEnd;
  if (__atomic_exchange_n(&m_handOver, kReleased, __ATOMIC_SEQ_CST) == kThreadEnded)
    CloseAndDelete();
}

void CFlashPlayerThread::Delete() {
  if (__atomic_exchange_n(&m_handOver, kThreadEnded, __ATOMIC_SEQ_CST) == kReleased)
    CloseAndDelete();
  else
    CWinThread::Delete();
}

void CFlashPlayerThread::CloseAndDelete() {
  const HWND close = m_closeAtEnd;
  delete this;
  if (close) ::PostMessageA(close, WM_CLOSE, 0, 0);
}

bool CFlashPlayerThread::InitInstance() {
  m_comInitialised = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  // The queue exists before the ended flag is read: an End that came
  // earlier is seen here, a later one finds the queue for its WM_QUIT.
  MSG msg;
  ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  if (__atomic_load_n(&m_ended, __ATOMIC_SEQ_CST)) return false;
  if (!m_host.Create(m_rect, m_parent, m_timeoutMs, m_takesInput != 0)) {
    End();
    return false;
  }
  m_host.m_threadId = m_nThreadID;
  m_host.m_mute = m_mute != 0;
  m_host.PlayMovie(m_moviePath, m_loop);
  CheckEnd(WM_NULL);  // a movie with nothing to play has ended already
  return true;
}

int CFlashPlayerThread::ExitInstance() {
  if (m_host.GetSafeHwnd()) m_host.DestroyWindow();
  DeleteMovieFile();
  if (m_comInitialised) ::CoUninitialize();
  m_comInitialised = false;
  return CWinThread::ExitInstance();
}

bool CFlashPlayerThread::PreTranslateMessage(MSG* msg) {
  CheckEnd(msg->message);
  return CWinThread::PreTranslateMessage(msg);
}

void CFlashPlayerThread::OnThreadMessage(const MSG& msg) { CheckEnd(msg.message); }

// A timed movie ends on its time-out message only. An untimed one ends
// once its last frame shows when it does not loop, and also when it has
// no frames or its own actions stopped it on its last frame (it shows
// nothing new after that); one that loops otherwise only through End.
void CFlashPlayerThread::CheckEnd(UINT message) {
  const CShockwaveFlash& flash = m_host.m_flash;
  const long total = flash.GetTotalFrames();
  if (m_timed) {
    if (message == CFlashHostWnd::kTimeoutMessage) End();
  } else if (total == 0 || flash.HasStoppedOnItsLastFrame() ||
             (!m_loop && flash.GetFrameNum() == total - 1)) {
    End();
  }
}

void CFlashPlayerThread::End() {
  if (__atomic_exchange_n(&m_ended, 1, __ATOMIC_SEQ_CST)) return;
  if (m_nThreadID) ::PostThreadMessageA(m_nThreadID, WM_QUIT, 0, 0);
  if (m_running) ::ResetEvent(m_running);
}

// Both the thread and its owner may call it, even at once: the file is
// marked gone only once it is (one still being read stays, to be deleted
// by a later call).
void CFlashPlayerThread::DeleteMovieFile() {
  if (!m_moviePath[0] || __atomic_load_n(&m_fileDeleted, __ATOMIC_SEQ_CST)) return;
  if (::DeleteFileA(m_moviePath) || ::GetFileAttributesA(m_moviePath) == INVALID_FILE_ATTRIBUTES)
    __atomic_store_n(&m_fileDeleted, 1, __ATOMIC_SEQ_CST);
}
