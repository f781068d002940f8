// The test thread's message pump.
#include "tests/support/pump.h"

namespace lwtest {

namespace {

// Dispatches every queued message but WM_QUIT.
void DispatchQueued() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, WM_QUIT - 1, PM_REMOVE) ||
         ::PeekMessageA(&msg, nullptr, WM_QUIT + 1, 0xFFFFFFFF, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace

void FlushEvents(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    DispatchQueued();
    if (done()) return true;
    const DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= ms) return false;
    // Wakes early when a message is posted or sent to this thread.
    const DWORD left = ms - elapsed;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 10 ? left : 10, QS_ALLINPUT);
  }
}

}  // namespace lwtest
