// The worker thread of one call.
#include "tests/support/worker.h"

#include "tests/support/pump.h"

namespace lwtest {

CWorkerCall::CWorkerCall(std::function<void()> body) : m_body(std::move(body)) {
  m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

CWorkerCall::~CWorkerCall() {
  Finish(20000);
  CloseHandle(m_thread);
}

bool CWorkerCall::Finish(DWORD ms) {
  return PumpUntil([&] { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }, ms);
}

DWORD WINAPI CWorkerCall::Run(void* self) {
  static_cast<CWorkerCall*>(self)->m_body();
  return 0;
}

}  // namespace lwtest
