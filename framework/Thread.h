// Threads of the application: CWinThread runs InitInstance and, when that
// succeeds, a message loop on its own system thread, then deletes itself
// (auto-delete) or is joined and deleted by its owner.
#pragma once

#include <windows.h>

class CWnd;

class CWinThread {
 public:
  CWinThread();
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Starts the system thread; flags may hold CREATE_SUSPENDED.
  bool CreateThread(DWORD flags = 0, UINT stackSize = 0);
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  bool SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority) != FALSE; }
  bool PostThreadMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return ::PostThreadMessageA(m_nThreadID, msg, wp, lp) != FALSE;
  }
  CWnd* GetMainWnd() const { return m_pMainWnd; }

  // Called on the new thread. Returning false skips the message loop.
  virtual bool InitInstance() { return false; }
  // The message loop; returns ExitInstance's result after WM_QUIT.
  virtual int Run();
  virtual int ExitInstance() { return m_exitCode; }
  // The end-of-thread hook, called last on the thread: deletes the object
  // when auto-delete is on.
  virtual void Delete();
  // Lets the thread see a message before it is dispatched; true eats it.
  // By default the window under the message, then its parents and owners,
  // may claim it (WalkPreTranslateTree).
  virtual bool PreTranslateMessage(MSG* msg);
  // Offers the message to the PreTranslateMessage of the window under it,
  // then of each parent (or owner) in turn; true when one claimed it.
  static bool WalkPreTranslateTree(MSG* msg);
  // Called when the queue is empty; true asks for more idle calls.
  virtual bool OnIdle(LONG count) { return false; }
  // Called for messages posted to the thread itself (no window).
  virtual void OnThreadMessage(const MSG& msg) {}

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  CWnd* m_pMainWnd = nullptr;
  bool m_bAutoDelete = true;

 protected:
  int m_exitCode = 0;

 private:
  static unsigned __stdcall ThreadMain(void* self);
};
