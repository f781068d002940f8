// The test thread's message pump: every wait in a test that must answer
// messages (its own windows', a dialog's owner's, the scene thread's sent
// messages) pumps here, for a bounded time. WM_QUIT stays queued, so that a
// test can look for it afterwards.
#pragma once

#include <windows.h>

#include <functional>

namespace lwtest {

// Pumps this thread's messages for ms milliseconds.
void FlushEvents(DWORD ms);

// Pumps this thread's messages until done() says so or ms milliseconds
// have passed; true when done() said so in time. done() is asked after
// each round of messages.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000);

}  // namespace lwtest
