// The shared test support checked on its own: the message-sequence
// recorder (a passing sequence, optional entries skipped, a mismatch shown
// as expected beside actual), the dialog script's end of a dialog left
// open, the registry scopes putting back what they found, and the counts
// of this process's threads, GDI and USER objects and handles.
#include <windows.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/message_sequence.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"

namespace {

using lwtest::kDefWinProc;
using lwtest::kLParam;
using lwtest::kOptional;
using lwtest::kParent;
using lwtest::kPosted;
using lwtest::kSent;
using lwtest::kWParam;
using lwtest::MessageEntry;

const UINT kFirst = WM_USER + 1, kSecond = WM_USER + 2, kNever = WM_USER + 3;

// A hidden popup of a class whose procedure is DefWindowProc.
struct PlainWindow {
  HWND hwnd;
  static const char* Class() {
    static const ATOM atom = [] {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "SupportTestPlain";
      return RegisterClassA(&wc);
    }();
    return atom ? "SupportTestPlain" : nullptr;
  }
  PlainWindow()
      : hwnd(CreateWindowExA(0, Class(), "", WS_POPUP, 10, 10, 50, 40, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr)) {}
  ~PlainWindow() { DestroyWindow(hwnd); }
};

// One message sent, one posted and taken from the queue, then a move that
// DefWindowProc answers with WM_MOVE and WM_SIZE inside
// WM_WINDOWPOSCHANGED.
void SendPostAndMove(HWND hwnd) {
  SendMessageA(hwnd, kFirst, 5, 6);
  PostMessageA(hwnd, kSecond, 7, 8);
  lwtest::FlushEvents(20);
  MoveWindow(hwnd, 20, 20, 60, 50, FALSE);
}

TEST(MessageSequence, RecordsHowEachMessageCame) {
  PlainWindow w;
  lwtest::CMessageSequence seq;
  seq.Watch(w.hwnd);
  SendPostAndMove(w.hwnd);
  const MessageEntry kExpected[] = {
      {kFirst, kSent | kWParam | kLParam, 5, 6},
      {kSecond, kPosted | kWParam | kLParam, 7, 8},
      {WM_WINDOWPOSCHANGING, kSent},
      {WM_NCCALCSIZE, kSent | kWParam, TRUE},
      {WM_WINDOWPOSCHANGED, kSent},
      {WM_MOVE, kSent | kDefWinProc | kLParam, 0, MAKELPARAM(20, 20)},
      {WM_SIZE, kSent | kDefWinProc | kWParam | kLParam, SIZE_RESTORED, MAKELPARAM(60, 50)},
  };
  EXPECT_TRUE(seq.Matches(kExpected, "send, post, move"));
  EXPECT_TRUE(seq.Recorded().empty()) << "a comparison starts the next recording";
}

TEST(MessageSequence, OptionalEntriesMayBeMissing) {
  PlainWindow w;
  lwtest::CMessageSequence seq;
  seq.WatchClass(PlainWindow::Class());
  SendPostAndMove(w.hwnd);
  const MessageEntry kExpected[] = {
      {kNever, kSent | kOptional},
      {kFirst, kSent},
      {kNever, kSent | kOptional},
      {kSecond, kPosted},
      {WM_WINDOWPOSCHANGING, kSent},
      {WM_NCCALCSIZE, kSent},
      // Present, but not as the parent's: skipped.
      {WM_WINDOWPOSCHANGED, kSent | kParent | kOptional},
      {WM_WINDOWPOSCHANGED, kSent},
      {WM_MOVE, kSent | kDefWinProc},
      {WM_SIZE, kSent | kDefWinProc},
      {WM_PAINT, kPosted | kOptional},
  };
  EXPECT_TRUE(seq.Matches(kExpected, "with optional entries"));
}

// The parent's messages carry kParent; the child's do not.
TEST(MessageSequence, TellsTheParentsMessagesFromTheChilds) {
  PlainWindow parent;
  lwtest::CMessageSequence seq;
  seq.Watch(parent.hwnd, kParent);
  seq.WatchClass("Static");
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent.hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  const MessageEntry kExpected[] = {
      {WM_NCCREATE, kSent},
      {WM_NCCALCSIZE, kSent | kOptional},
      {WM_CREATE, kSent},
      {WM_SIZE, kSent | kOptional},
      {WM_MOVE, kSent | kOptional},
      {WM_PARENTNOTIFY, kSent | kParent | kWParam, WM_CREATE},
  };
  EXPECT_TRUE(seq.Matches(kExpected, "child created"));
}

// A mismatch is one failure that names each wrong step and shows the
// whole expected sequence beside the actual one.
TEST(MessageSequence, AMismatchShowsExpectedBesideActual) {
  PlainWindow w;
  lwtest::CMessageSequence seq;
  seq.Watch(w.hwnd);
  const MessageEntry kWrong[] = {
      {kFirst, kSent | kWParam, 4},
      {kNever, kSent},
      {kSecond, kSent},
  };
  SendMessageA(w.hwnd, kFirst, 5, 6);
  PostMessageA(w.hwnd, kSecond, 7, 8);
  lwtest::FlushEvents(20);
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(seq.Matches(kWrong, "wrong table")),
                          "step 1: expected WM_USER+3, got WM_USER+2");

  SendMessageA(w.hwnd, kFirst, 5, 6);
  PostMessageA(w.hwnd, kSecond, 7, 8);
  lwtest::FlushEvents(20);
  const testing::AssertionResult result = seq.Matches(kWrong, "wrong table");
  ASSERT_FALSE(result);
  const std::string text = result.message();
  for (const char* part :
       {"wrong table: the messages differ", "step 0: WM_USER+1: wParam 0x4 expected, got 0x5",
        "step 1: expected WM_USER+3, got WM_USER+2",
        "step 2: expected WM_USER+2, the sequence ended"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\nin:\n" << text;
  // One line per step: the expected entry, then the actual one.
  std::istringstream lines(text);
  std::string line;
  std::vector<std::string> table;
  bool inTable = false;
  while (std::getline(lines, line)) {
    if (inTable) table.push_back(line);
    inTable = inTable || (line.find("expected") != std::string::npos &&
                          line.find("actual") != std::string::npos);
  }
  ASSERT_EQ(table.size(), 3u) << text;
  const char* const kRows[][2] = {{"WM_USER+1 sent wp=0x4", "WM_USER+1 sent wp=0x5 lp=0x6"},
                                  {"WM_USER+3 sent", "WM_USER+2 posted wp=0x7 lp=0x8"},
                                  {"WM_USER+2 sent", ""}};
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i]);
    EXPECT_EQ(table[i].find("!!"), 2u);
    const size_t expected = table[i].find(kRows[i][0]), actual = table[i].rfind(kRows[i][1]);
    EXPECT_NE(expected, std::string::npos);
    if (*kRows[i][1]) {
      EXPECT_GT(actual, expected);
    }
  }
}

// A dialog the script leaves open is ended with the sentinel; one the
// script ends returns what it was ended with.
TEST(DialogScript, EndsADialogLeftOpenWithTheSentinel) {
  {
    lwtest::CDialogScript script;
    CDialog dlg(200);
    EXPECT_EQ(dlg.DoModal(), lwtest::CDialogScript::kLeftOpen);
    EXPECT_EQ(script.Opened(), 1);
  }
  lwtest::CDialogScript script([](CDialog* d) { lwtest::Press(d, IDCANCEL); });
  CDialog dlg(200);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(script.Opened(), 1);
}

// A key, its values and a subkey, changed and removed inside the scope,
// come back as they were; a key the scope made goes with it.
TEST(RegistryScopes, SavedKeysAndValuesComeBack) {
  lwtest::CScratchKey scratch(HKEY_CURRENT_USER,
                              "Software\\LumenweaveSupportTest" + std::to_string(GetCurrentProcessId()));
  const lwtest::CRegKeyPath key = scratch.Sub("Kept");
  ASSERT_TRUE(key.SetText("Name", "before"));
  ASSERT_TRUE(key.Sub("Inner").SetNumber("Count", 7));
  {
    lwtest::CSavedRegKey saved(key);
    lwtest::CSavedRegValue value(key, "Name");
    lwtest::CSavedRegValue missing(scratch.Sub("New\\Deeper"), "Made");
    ASSERT_TRUE(value.SetText("during"));
    ASSERT_TRUE(missing.SetNumber(1));
    ASSERT_TRUE(key.Sub("Inner").DeleteTree());
    ASSERT_TRUE(key.SetNumber("Extra", 1));
  }
  EXPECT_EQ(key.Text("Name"), "before");
  EXPECT_EQ(key.Sub("Inner").Number("Count"), 7u);
  EXPECT_EQ(key.Number("Extra", 0xFFFFFFFF), 0xFFFFFFFFu);
  EXPECT_FALSE(scratch.Sub("New").Exists());
  {
    lwtest::CSavedRegKey saved(scratch.Sub("Made"));
    ASSERT_TRUE(scratch.Sub("Made\\Below").SetText("x", "y"));
  }
  EXPECT_FALSE(scratch.Sub("Made").Exists());
}

// A scratch key goes with the parent keys it found missing.
TEST(RegistryScopes, AScratchKeyGoesWithTheParentsItMade) {
  const std::string top = "Software\\LumenweaveSupportScratch" + std::to_string(GetCurrentProcessId());
  {
    const lwtest::CScratchKey key(HKEY_CURRENT_USER, top + "\\Middle\\Leaf");
    ASSERT_TRUE(key.SetNumber("Value", 1));
  }
  EXPECT_FALSE(lwtest::CRegKeyPath(HKEY_CURRENT_USER, top).Exists());
}

TEST(RegistryScopes, APrivateRootKeepsWritesFromTheRealOne) {
  const std::string name = "Software\\LumenweaveSupportPrivate" + std::to_string(GetCurrentProcessId());
  {
    lwtest::CPrivateRegRoot root(HKEY_CURRENT_USER);
    ASSERT_TRUE(root.Ok());
    ASSERT_TRUE(lwtest::CRegKeyPath(HKEY_CURRENT_USER, name).SetNumber("Seen", 1));
    EXPECT_EQ(lwtest::CRegKeyPath(HKEY_CURRENT_USER, name).Number("Seen"), 1u);
  }
  EXPECT_FALSE(lwtest::CRegKeyPath(HKEY_CURRENT_USER, name).Exists());
}

// Each kind of object made is counted, and counted no more once it has
// gone; a new thread is told by the module it started in.
TEST(ResourceCounts, ObjectsMadeAreCountedUntilTheyGo) {
  struct Made {
    HBRUSH brush;
    HWND window;
    HANDLE event, thread;
  };
  auto make = [] {
    Made m;
    m.brush = CreateSolidBrush(RGB(1, 2, 3));
    m.window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr,
                               nullptr);
    m.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m.thread = CreateThread(
        nullptr, 0, [](void* event) -> DWORD { return WaitForSingleObject(event, 10000); },
        m.event, 0, nullptr);
    return m;
  };
  auto release = [](const Made& m) {
    DeleteObject(m.brush);
    DestroyWindow(m.window);
    SetEvent(m.event);
    WaitForSingleObject(m.thread, 10000);
    CloseHandle(m.thread);
    CloseHandle(m.event);
  };
  release(make());  // whatever the system makes on first use stays out
  const int gdi = lwtest::CountOwnGdiObjects(), user = lwtest::CountOwnUserObjects();
  const int handles = lwtest::CountOwnHandles();
  const std::vector<lwtest::ThreadOrigin> threads = lwtest::OwnThreads();
  const Made m = make();
  EXPECT_EQ(lwtest::CountOwnGdiObjects(), gdi + 1);
  EXPECT_EQ(lwtest::CountOwnUserObjects(), user + 1);
  EXPECT_EQ(lwtest::CountOwnHandles(), handles + 2);
  EXPECT_EQ(lwtest::NewThreads(threads, lwtest::OwnThreads()),
            "support_test.exe (" + std::to_string(GetThreadId(m.thread)) + ")");
  release(m);
  EXPECT_TRUE(lwtest::PumpUntil([&] {
    return lwtest::CountOwnGdiObjects() == gdi && lwtest::CountOwnUserObjects() == user &&
           lwtest::CountOwnHandles() == handles && lwtest::OwnThreads().size() == threads.size();
  }, 5000));
}

}  // namespace
