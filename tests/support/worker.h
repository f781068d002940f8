// A call made on a thread of its own (as a scene thread makes its calls)
// while the test thread answers messages until it returns.
#pragma once

#include <windows.h>

#include <functional>

namespace lwtest {

class CWorkerCall {
 public:
  explicit CWorkerCall(std::function<void()> body);
  // Waits (answering messages) up to 20 s more for the call to return.
  ~CWorkerCall();
  CWorkerCall(const CWorkerCall&) = delete;
  CWorkerCall& operator=(const CWorkerCall&) = delete;

  // True when the call has returned within ms, messages answered meanwhile.
  bool Finish(DWORD ms);

 private:
  static DWORD WINAPI Run(void* self);
  std::function<void()> m_body;
  HANDLE m_thread;
};

}  // namespace lwtest
