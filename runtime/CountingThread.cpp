// The counting loop of the speed calibration.
#include "runtime/CountingThread.h"

CCountingThread::CCountingThread(UINT* times) : m_times(times) { m_bAutoDelete = false; }

bool CCountingThread::InitInstance() {
  // Counted in a local and stored once: the owner reads it only after the
  // thread has ended.
  UINT count = 0;
  while (count < 0xFFFFFFFFu && ::WaitForSingleObject(m_stop, 0) == WAIT_TIMEOUT) ++count;
  *m_times = count;
  return false;
}

void CCountingThread::Delete() { m_ended.SetEvent(); }

void CCountingThread::StopAll() {
  m_bAutoDelete = false;
  m_stop.SetEvent();
  if (!m_hThread) return;
  // A thread still suspended would never see the event.
  DWORD previous;
  do {
    previous = ResumeThread();
  } while (previous != static_cast<DWORD>(-1) && previous > 1);
  HANDLE both[2] = {m_ended, m_hThread};
  ::WaitForMultipleObjects(2, both, TRUE, INFINITE);
}
