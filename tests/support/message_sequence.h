// Message sequences in the manner of Wine's conformance tests: a recorder
// notes the messages that reach the windows it watches, in order, and a
// table of expected entries is compared against them. Optional entries may
// be missing; on a mismatch the failure shows every problem found and then
// the whole expected sequence beside the actual one.
//
//   lwtest::CMessageSequence seq;
//   seq.WatchClass(className);
//   ... create, show, destroy ...
//   const lwtest::MessageEntry kExpected[] = {
//       {WM_NCCREATE, lwtest::kSent},
//       {WM_NCCALCSIZE, lwtest::kSent | lwtest::kWParam, FALSE},
//       {WM_CREATE, lwtest::kSent},
//       {WM_MOVE, lwtest::kSent | lwtest::kOptional},
//   };
//   EXPECT_TRUE(seq.Matches(kExpected, "create"));
//
// The recorder hooks this thread (WH_CALLWNDPROC, WH_CALLWNDPROCRET and
// WH_GETMESSAGE), so it sees the messages of windows of any class,
// framework windows and system controls alike, without changing their
// procedures; it sees nothing of other threads' windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lwtest {

// How a message came, and which parts of an expected entry are checked.
enum MessageFlags : unsigned {
  kSent = 0x01,    // through SendMessage
  kPosted = 0x02,  // taken from the queue (posted, input, paint, timer)
  // Sent while the same window was still handling another sent message:
  // what DefWindowProc sends (WM_SIZE and WM_MOVE inside
  // WM_WINDOWPOSCHANGED), or what a handler sends to its own window.
  kDefWinProc = 0x04,
  kParent = 0x08,    // to a window watched as the parent
  kOptional = 0x10,  // expected only: may be missing
  kWParam = 0x20,    // expected only: wParam is checked
  kLParam = 0x40,    // expected only: lParam is checked
};

// The message of an entry a test adds by hand (Add) to show where, among
// the watched windows' messages, something else happened: a message box or
// a modal dialog shown, a handler of the test run. wParam may tell which.
const UINT kMark = WM_APP + 0x3F00;

struct MessageEntry {
  UINT message = 0;
  unsigned flags = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class CMessageSequence {
 public:
  // Starts recording on the calling thread; one recorder per thread.
  CMessageSequence();
  ~CMessageSequence();
  CMessageSequence(const CMessageSequence&) = delete;
  CMessageSequence& operator=(const CMessageSequence&) = delete;

  // Records the window's messages; role is 0 or kParent.
  void Watch(HWND hwnd, unsigned role = 0);
  // Records the messages of every window of the class, from the first one
  // its creation sends.
  void WatchClass(const char* className, unsigned role = 0);
  // Leaves the message out of every recording (messages the system sends
  // now and then, such as WM_GETICON, are left out from the start).
  void Ignore(UINT message) { m_ignored.insert(message); }

  // Adds an entry by hand, for a window procedure that records itself.
  void Add(UINT message, unsigned flags, WPARAM wParam = 0, LPARAM lParam = 0);
  const std::vector<MessageEntry>& Recorded() const { return m_recorded; }
  void Clear() { m_recorded.clear(); }

  // Compares what was recorded with the expected entries, then clears
  // the recording. context names the sequence in the failure message.
  testing::AssertionResult Matches(const std::vector<MessageEntry>& expected, const char* context = "");
  template <size_t N>
  testing::AssertionResult Matches(const MessageEntry (&expected)[N], const char* context = "") {
    return Matches(std::vector<MessageEntry>(expected, expected + N), context);
  }

 private:
  static LRESULT CALLBACK OnCallWndProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK OnGetMessage(int code, WPARAM wp, LPARAM lp);
  // The role of a watched window with its kWatched bit; 0 when not watched.
  unsigned RoleOf(HWND hwnd);
  void Record(HWND hwnd, UINT message, unsigned how, WPARAM wp, LPARAM lp);

  HHOOK m_hooks[3] = {};
  std::map<HWND, unsigned> m_windows;          // watched, and windows decided by class
  std::map<std::string, unsigned> m_classes;   // upper-cased class names
  std::set<UINT> m_ignored;
  std::vector<std::pair<HWND, UINT>> m_inside;  // sent messages being handled
  std::vector<MessageEntry> m_recorded;
};

// The message's name (WM_CREATE) or its number in hex.
std::string MessageName(UINT message);

}  // namespace lwtest
