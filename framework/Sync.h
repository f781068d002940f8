// Kernel handles, events and critical sections with their scope lock, and
// the waits that keep a thread's windows answering while they block.
#pragma once

#include <windows.h>

#include <atomic>

// Owns a kernel handle and closes it once.
class CHandle {
 public:
  CHandle() = default;
  explicit CHandle(HANDLE h) : m_h(h) {}
  ~CHandle() { Close(); }
  CHandle(const CHandle&) = delete;
  CHandle& operator=(const CHandle&) = delete;
  CHandle(CHandle&& o) noexcept : m_h(o.Detach()) {}
  CHandle& operator=(CHandle&& o) noexcept {
    if (this != &o) {
      Close();
      m_h = o.Detach();
    }
    return *this;
  }

  HANDLE Get() const { return m_h; }
  operator HANDLE() const { return m_h; }
  bool IsValid() const { return m_h && m_h != INVALID_HANDLE_VALUE; }
  void Attach(HANDLE h) {
    Close();
    m_h = h;
  }
  HANDLE Detach() {
    HANDLE h = m_h;
    m_h = nullptr;
    return h;
  }
  void Close() {
    if (IsValid()) ::CloseHandle(m_h);
    m_h = nullptr;
  }

 private:
  HANDLE m_h = nullptr;
};

// An unnamed event, manual-reset unless asked otherwise, created
// non-signalled unless asked otherwise.
class CEvent {
 public:
  explicit CEvent(bool initiallySet = false, bool manualReset = true, const char* name = nullptr)
      : m_h(::CreateEventA(nullptr, manualReset, initiallySet, name)) {}
  CEvent(const CEvent&) = delete;
  CEvent& operator=(const CEvent&) = delete;

  HANDLE GetHandle() const { return m_h.Get(); }
  operator HANDLE() const { return m_h.Get(); }
  bool SetEvent() { return ::SetEvent(m_h) != FALSE; }
  bool ResetEvent() { return ::ResetEvent(m_h) != FALSE; }
  // A zero time-out poll.
  bool IsSet() const { return ::WaitForSingleObject(m_h, 0) == WAIT_OBJECT_0; }
  bool Wait(DWORD ms = INFINITE) const { return ::WaitForSingleObject(m_h, ms) == WAIT_OBJECT_0; }

 private:
  CHandle m_h;
};

// A critical section, initialised and deleted with the object.
class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_section); }
  ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void Lock() { ::EnterCriticalSection(&m_section); }
  void Unlock() { ::LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

// Holds a critical section for the scope.
class CLock {
 public:
  explicit CLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
  ~CLock() { m_section.Unlock(); }
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

 private:
  CCriticalSection& m_section;
};

// A thread-local slot made at its first use, from whichever thread comes
// first; its value is null on every thread until set. A plain atomic with
// a constant initialiser rather than a function-local static, whose guard
// would link the threads library into every program.
class CTlsSlot {
 public:
  constexpr CTlsSlot() = default;
  CTlsSlot(const CTlsSlot&) = delete;
  CTlsSlot& operator=(const CTlsSlot&) = delete;
  // The slot, or TLS_OUT_OF_INDEXES when none can be made.
  DWORD Get();
  void* GetValue() {
    const DWORD slot = Get();
    return slot == TLS_OUT_OF_INDEXES ? nullptr : ::TlsGetValue(slot);
  }
  bool SetValue(void* value) {
    const DWORD slot = Get();
    return slot != TLS_OUT_OF_INDEXES && ::TlsSetValue(slot, value);
  }

 private:
  std::atomic<DWORD> m_slot{TLS_OUT_OF_INDEXES};
};

// Waits for all the handles (or, with waitAll false, any of them) while the
// calling thread keeps answering messages that other threads send to its
// windows, so that a thread which sends to this thread's windows while we
// wait for it cannot deadlock us. Posted messages stay queued. Returns the
// WaitForMultipleObjects result for the handles (WAIT_TIMEOUT on time-out).
DWORD WaitAnsweringSentMessages(const HANDLE* handles, DWORD count, bool waitAll, DWORD timeoutMs);
inline DWORD WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs) {
  return WaitAnsweringSentMessages(&handle, 1, true, timeoutMs);
}
