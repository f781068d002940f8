// Message sequences recorded through this thread's hooks and compared with
// tables of expected entries.
#include "tests/support/message_sequence.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace lwtest {

namespace {

// The recorder of this thread; the hooks are the thread's own.
thread_local CMessageSequence* t_recorder = nullptr;

// Bits kept beside a window's role.
const unsigned kWatched = 0x80000000u;   // its messages are recorded
const unsigned kExplicit = 0x40000000u;  // named by Watch, not found by class
const unsigned kRoleBits = kParent;

std::string Upper(const char* s) {
  std::string u = s ? s : "";
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

std::string Hex(ULONG_PTR v) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(v));
  return text;
}

// An entry as a table line: the name, how it came, and the parameters (an
// expected entry shows only those it checks).
std::string Describe(const MessageEntry& m, bool expected) {
  std::string s = MessageName(m.message);
  if (m.flags & kSent) s += " sent";
  if (m.flags & kPosted) s += " posted";
  if (m.flags & kDefWinProc) s += " defwinproc";
  if (m.flags & kParent) s += " parent";
  if (m.flags & kOptional) s += " optional";
  if (!expected || (m.flags & kWParam)) s += " wp=" + Hex(m.wParam);
  if (!expected || (m.flags & kLParam)) s += " lp=" + Hex(static_cast<ULONG_PTR>(m.lParam));
  return s;
}

std::string HowItCame(unsigned flags) {
  if (flags & kSent) return "sent";
  if (flags & kPosted) return "posted";
  return "neither sent nor posted";
}

}  // namespace

CMessageSequence::CMessageSequence() {
  // Messages the system sends now and then, whatever the test does.
  for (UINT m : {WM_GETICON, WM_GETOBJECT, WM_DEVICECHANGE, WM_TIMECHANGE, WM_DISPLAYCHANGE,
                 WM_SETTINGCHANGE})
    m_ignored.insert(m);
  if (t_recorder) {
    ADD_FAILURE() << "a second message recorder on this thread";
    return;
  }
  t_recorder = this;
  const DWORD thread = ::GetCurrentThreadId();
  m_hooks[0] = ::SetWindowsHookExA(WH_CALLWNDPROC, &OnCallWndProc, nullptr, thread);
  m_hooks[1] = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &OnCallWndProcRet, nullptr, thread);
  m_hooks[2] = ::SetWindowsHookExA(WH_GETMESSAGE, &OnGetMessage, nullptr, thread);
  for (HHOOK h : m_hooks)
    if (!h) ADD_FAILURE() << "a message hook could not be installed: " << ::GetLastError();
}

CMessageSequence::~CMessageSequence() {
  for (HHOOK h : m_hooks)
    if (h) ::UnhookWindowsHookEx(h);
  if (t_recorder == this) t_recorder = nullptr;
}

void CMessageSequence::Watch(HWND hwnd, unsigned role) {
  m_windows[hwnd] = kWatched | kExplicit | (role & kRoleBits);
}

void CMessageSequence::WatchClass(const char* className, unsigned role) {
  m_classes[Upper(className)] = role & kRoleBits;
  // Windows already decided on are asked again.
  for (auto it = m_windows.begin(); it != m_windows.end();)
    it = (it->second & kExplicit) ? std::next(it) : m_windows.erase(it);
}

void CMessageSequence::Add(UINT message, unsigned flags, WPARAM wParam, LPARAM lParam) {
  m_recorded.push_back({message, flags, wParam, lParam});
}

unsigned CMessageSequence::RoleOf(HWND hwnd) {
  auto known = m_windows.find(hwnd);
  if (known != m_windows.end()) return known->second;
  if (m_classes.empty()) return 0;
  char name[256] = {};
  ::GetClassNameA(hwnd, name, sizeof name);
  auto cls = m_classes.find(Upper(name));
  const unsigned role = cls == m_classes.end() ? 0 : (kWatched | cls->second);
  m_windows[hwnd] = role;
  return role;
}

void CMessageSequence::Record(HWND hwnd, UINT message, unsigned how, WPARAM wp, LPARAM lp) {
  const unsigned role = RoleOf(hwnd);
  if (!(role & kWatched)) return;
  if (!m_ignored.count(message)) m_recorded.push_back({message, how | (role & kRoleBits), wp, lp});
  // A handle is used again for a new window once this one is gone.
  if (message == WM_NCDESTROY && !(role & kExplicit)) m_windows.erase(hwnd);
}

// Called before a window procedure gets a sent message.
LRESULT CALLBACK CMessageSequence::OnCallWndProc(int code, WPARAM wp, LPARAM lp) {
  CMessageSequence* self = t_recorder;
  if (code == HC_ACTION && self) {
    try {
      const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
      if (self->RoleOf(m->hwnd) & kWatched) {
        const bool nested =
            std::any_of(self->m_inside.begin(), self->m_inside.end(),
                        [&](const std::pair<HWND, UINT>& in) { return in.first == m->hwnd; });
        self->m_inside.emplace_back(m->hwnd, m->message);
        self->Record(m->hwnd, m->message, nested ? kSent | kDefWinProc : +kSent, m->wParam, m->lParam);
      }
    } catch (...) {
      // Nothing unwinds into user32; a recording that ran out of memory
      // shows as a mismatch.
    }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

// Called when a window procedure has answered a sent message.
LRESULT CALLBACK CMessageSequence::OnCallWndProcRet(int code, WPARAM wp, LPARAM lp) {
  CMessageSequence* self = t_recorder;
  if (code == HC_ACTION && self) {
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    for (size_t i = self->m_inside.size(); i-- > 0;)
      if (self->m_inside[i].first == m->hwnd && self->m_inside[i].second == m->message) {
        self->m_inside.erase(self->m_inside.begin() + static_cast<ptrdiff_t>(i));
        break;
      }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

// Called when a message is taken from the queue (or only looked at).
LRESULT CALLBACK CMessageSequence::OnGetMessage(int code, WPARAM wp, LPARAM lp) {
  CMessageSequence* self = t_recorder;
  if (code == HC_ACTION && wp == PM_REMOVE && self) {
    try {
      const MSG* m = reinterpret_cast<const MSG*>(lp);
      if (m->hwnd) self->Record(m->hwnd, m->message, kPosted, m->wParam, m->lParam);
    } catch (...) {
    }
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

testing::AssertionResult CMessageSequence::Matches(const std::vector<MessageEntry>& expected,
                                                   const char* context) {
  const std::vector<MessageEntry> actual = m_recorded;
  m_recorded.clear();

  // One row per step of the walk: an expected entry, an actual one, or a
  // pair of them; "!!" marks the steps that went wrong. An optional entry
  // that was skipped has no actual beside it.
  struct Row {
    const MessageEntry* expected;
    const MessageEntry* actual;
    std::string note;
  };
  std::vector<Row> rows;
  std::vector<std::string> problems;
  auto problem = [&](const std::string& text) {
    problems.push_back("step " + std::to_string(rows.size()) + ": " + text);
  };

  size_t e = 0, a = 0;
  while (e < expected.size() && a < actual.size()) {
    const MessageEntry& x = expected[e];
    const MessageEntry& y = actual[a];
    if (x.message != y.message) {
      if (x.flags & kOptional) {
        rows.push_back({&x, nullptr, ""});
        ++e;
        continue;
      }
      problem("expected " + MessageName(x.message) + ", got " + MessageName(y.message));
      rows.push_back({&x, &y, "!!"});
      ++e, ++a;
      continue;
    }
    // An optional entry that came otherwise is taken as missing.
    if ((x.flags & kOptional) && ((x.flags ^ y.flags) & (kDefWinProc | kParent))) {
      rows.push_back({&x, nullptr, ""});
      ++e;
      continue;
    }
    const size_t before = problems.size();
    const std::string name = MessageName(x.message);
    if ((x.flags & kWParam) && x.wParam != y.wParam)
      problem(name + ": wParam " + Hex(x.wParam) + " expected, got " + Hex(y.wParam));
    if ((x.flags & kLParam) && x.lParam != y.lParam)
      problem(name + ": lParam " + Hex(static_cast<ULONG_PTR>(x.lParam)) + " expected, got " +
              Hex(static_cast<ULONG_PTR>(y.lParam)));
    if ((x.flags & (kSent | kPosted)) && (x.flags & (kSent | kPosted)) != (y.flags & (kSent | kPosted)))
      problem(name + " should have been " + HowItCame(x.flags) + ", was " + HowItCame(y.flags));
    if ((x.flags & kDefWinProc) != (y.flags & kDefWinProc))
      problem(name + ((x.flags & kDefWinProc) ? " should have been" : " should not have been") +
              " sent inside another message (DefWindowProc)");
    if ((x.flags & kParent) != (y.flags & kParent))
      problem(name + ((x.flags & kParent) ? " should have gone" : " should not have gone") +
              " to the parent");
    rows.push_back({&x, &y, problems.size() > before ? "!!" : ""});
    ++e, ++a;
  }
  for (; e < expected.size(); ++e) {
    if (expected[e].flags & kOptional) {
      rows.push_back({&expected[e], nullptr, ""});
      continue;
    }
    problem("expected " + MessageName(expected[e].message) + ", the sequence ended");
    rows.push_back({&expected[e], nullptr, "!!"});
  }
  for (; a < actual.size(); ++a) {
    problem("got " + MessageName(actual[a].message) + " after the expected sequence");
    rows.push_back({nullptr, &actual[a], "!!"});
  }
  if (problems.empty()) return testing::AssertionSuccess();

  testing::AssertionResult failure = testing::AssertionFailure();
  failure << (context && *context ? context : "message sequence") << ": the messages differ\n";
  for (const std::string& p : problems) failure << "  " << p << "\n";
  char line[512];
  std::snprintf(line, sizeof line, "        %-52s %s\n", "expected", "actual");
  failure << line;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string x = rows[i].expected ? Describe(*rows[i].expected, true) : "-";
    const std::string y = rows[i].actual ? Describe(*rows[i].actual, false) : "-";
    std::snprintf(line, sizeof line, "  %-2s%3u %-52s %s\n", rows[i].note.c_str(),
                  static_cast<unsigned>(i), x.c_str(), y.c_str());
    failure << line;
  }
  return failure;
}

std::string MessageName(UINT message) {
  static const struct {
    UINT id;
    const char* name;
  } kNames[] = {
      {kMark, "mark"},
      {WM_NULL, "WM_NULL"},
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_SETREDRAW, "WM_SETREDRAW"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_QUIT, "WM_QUIT"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SYSCOLORCHANGE, "WM_SYSCOLORCHANGE"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_DRAWITEM, "WM_DRAWITEM"},
      {WM_MEASUREITEM, "WM_MEASUREITEM"},
      {WM_SETFONT, "WM_SETFONT"},
      {WM_GETFONT, "WM_GETFONT"},
      {WM_QUERYDRAGICON, "WM_QUERYDRAGICON"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NOTIFY, "WM_NOTIFY"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_GETICON, "WM_GETICON"},
      {WM_SETICON, "WM_SETICON"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_GETDLGCODE, "WM_GETDLGCODE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_IME_STARTCOMPOSITION, "WM_IME_STARTCOMPOSITION"},
      {WM_INITDIALOG, "WM_INITDIALOG"},
      {WM_COMMAND, "WM_COMMAND"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_INITMENU, "WM_INITMENU"},
      {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
      {WM_MENUSELECT, "WM_MENUSELECT"},
      {WM_ENTERIDLE, "WM_ENTERIDLE"},
      {WM_CTLCOLORMSGBOX, "WM_CTLCOLORMSGBOX"},
      {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"},
      {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX"},
      {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
      {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
      {WM_CTLCOLORSCROLLBAR, "WM_CTLCOLORSCROLLBAR"},
      {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_ENTERMENULOOP, "WM_ENTERMENULOOP"},
      {WM_EXITMENULOOP, "WM_EXITMENULOOP"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"},
      {WM_IME_NOTIFY, "WM_IME_NOTIFY"},
      {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_PRINT, "WM_PRINT"},
      {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
      {WM_APPCOMMAND, "WM_APPCOMMAND"},
  };
  for (const auto& n : kNames)
    if (n.id == message) return n.name;
  char text[32];
  if (message >= WM_APP && message < 0xC000)
    std::snprintf(text, sizeof text, "WM_APP+%u", message - WM_APP);
  else if (message >= WM_USER && message < WM_APP)
    std::snprintf(text, sizeof text, "WM_USER+%u", message - WM_USER);
  else
    std::snprintf(text, sizeof text, "0x%04X", message);
  return text;
}

}  // namespace lwtest
