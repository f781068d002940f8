// CWinThread: the system thread, its message loop and its end.
#include "framework/Thread.h"

#include <process.h>

#include "framework/Exceptions.h"
#include "framework/Wnd.h"

CWinThread::CWinThread() = default;

CWinThread::~CWinThread() {
  if (m_hThread) ::CloseHandle(m_hThread);
}

bool CWinThread::CreateThread(DWORD flags, UINT stackSize) {
  // Always created suspended, so that the handle and id are stored before
  // the thread can run (and perhaps delete this object).
  unsigned id = 0;
  uintptr_t h = _beginthreadex(nullptr, stackSize, &CWinThread::ThreadMain, this,
                               CREATE_SUSPENDED, &id);
  if (!h) return false;
  m_hThread = reinterpret_cast<HANDLE>(h);
  m_nThreadID = id;
  if (!(flags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
  return true;
}

unsigned __stdcall CWinThread::ThreadMain(void* self) {
  CWinThread* thread = static_cast<CWinThread*>(self);
  int code = -1;
  try {
    code = thread->InitInstance() ? thread->Run() : thread->ExitInstance();
  } catch (...) {
    // Nothing may unwind out of the thread; it ends with -1.
    AfxReportCaughtException("Thread");
    code = -1;
  }
  try {
    thread->Delete();  // may delete the object: nothing of it is touched after
  } catch (...) {
    AfxReportCaughtException("End of thread");
  }
  return static_cast<unsigned>(code);
}

int CWinThread::Run() {
  MSG msg;
  LONG idle = 0;
  for (;;) {
    while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idle++)) break;
    }
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    idle = 0;
    if (!msg.hwnd) {
      OnThreadMessage(msg);
      continue;
    }
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  m_exitCode = static_cast<int>(msg.wParam);
  return ExitInstance();
}

bool CWinThread::PreTranslateMessage(MSG* msg) { return WalkPreTranslateTree(msg); }

bool CWinThread::WalkPreTranslateTree(MSG* msg) {
  for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
    CWnd* wnd = CWnd::FromHandlePermanent(h);
    if (wnd && wnd->PreTranslateMessage(msg)) return true;
  }
  return false;
}

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}
