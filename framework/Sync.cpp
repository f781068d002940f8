// Waits that answer sent messages.
#include "framework/Sync.h"

DWORD WaitAnsweringSentMessages(const HANDLE* handles, DWORD count, bool waitAll,
                                DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    // With waitAll, MsgWaitForMultipleObjects would wait for all handles
    // *and* a message; poll the handles ourselves instead.
    DWORD r = ::WaitForMultipleObjects(count, handles, waitAll, 0);
    if (r != WAIT_TIMEOUT) return r;
    DWORD waited = ::GetTickCount() - start;  // wraps correctly
    if (timeoutMs != INFINITE && waited >= timeoutMs) return WAIT_TIMEOUT;
    DWORD slice = timeoutMs == INFINITE ? INFINITE : timeoutMs - waited;
    if (waitAll && slice > 50) slice = 50;
    r = ::MsgWaitForMultipleObjects(count, handles, FALSE, slice, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0 + count) {
      // Peeking dispatches the sent messages; nothing posted is removed.
      MSG msg;
      ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    } else if (r == WAIT_FAILED) {
      return r;
    } else if (r != WAIT_TIMEOUT && !waitAll) {
      return r;
    }
  }
}

DWORD CTlsSlot::Get() {
  DWORD slot = m_slot.load();
  if (slot != TLS_OUT_OF_INDEXES) return slot;
  const DWORD made = ::TlsAlloc();
  // Another thread may have made one meanwhile: that one is kept.
  if (m_slot.compare_exchange_strong(slot, made)) return made;
  if (made != TLS_OUT_OF_INDEXES) ::TlsFree(made);
  return slot;
}
