// Programs started by tests, and the windows of other processes.
#include "tests/support/processes.h"

#include <tlhelp32.h>

#include <cstring>

#include "tests/support/pump.h"

namespace lwtest {

CChildProcess::CChildProcess(const std::string& program, const std::string& args) {
  std::string cmd = "\"" + program + "\" " + args;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_info))
    m_info = PROCESS_INFORMATION();
}

CChildProcess::CChildProcess(const std::string& program, const std::string& commandLine,
                             const std::string& folder) {
  std::string cmd = commandLine;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!::CreateProcessA(program.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &m_info))
    m_info = PROCESS_INFORMATION();
}

CChildProcess::~CChildProcess() {
  if (!Started()) return;
  if (!Ended()) ::TerminateProcess(m_info.hProcess, 99);
  ::CloseHandle(m_info.hThread);
  ::CloseHandle(m_info.hProcess);
}

bool CChildProcess::Ended() const {
  return Started() && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_OBJECT_0;
}

DWORD CChildProcess::Wait(DWORD ms, const std::function<void()>& meanwhile) {
  if (!Started()) return kNotEnded;
  const bool ended = PumpUntil(
      [&] {
        if (meanwhile) meanwhile();
        return Ended();
      },
      ms);
  DWORD code = kNotEnded;
  if (ended) ::GetExitCodeProcess(m_info.hProcess, &code);
  return code;
}

HWND CChildProcess::WaitForWindow(const char* cls, const char* title, DWORD ms) {
  HWND found = nullptr;
  PumpUntil([&] { return (found = TopWindowOf(Pid(), cls, title)) != nullptr || Ended(); }, ms);
  return found;
}

HWND CChildProcess::WaitForMessageBox(const char* text, DWORD ms) {
  HWND found = nullptr;
  PumpUntil([&] { return (found = MessageBoxOf(Pid(), text)) != nullptr || Ended(); }, ms);
  return found;
}

namespace {

struct Search {
  DWORD pid;
  const char* cls;
  const char* text;
  HWND found;
};

bool ClassIs(HWND hwnd, const char* cls) {
  char c[64] = {};
  ::GetClassNameA(hwnd, c, sizeof c);
  return _stricmp(c, cls) == 0;
}

bool TextIs(HWND hwnd, const char* text) {
  char t[256] = {};
  ::GetWindowTextA(hwnd, t, sizeof t);
  return strcmp(t, text) == 0;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

}  // namespace

HWND TopWindowOf(DWORD pid, const char* cls, const char* title) {
  Search s = {pid, cls, title, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lp);
        if (ProcessOf(h) != s->pid || !::IsWindowVisible(h)) return TRUE;
        if ((s->cls && !ClassIs(h, s->cls)) || (s->text && !TextIs(h, s->text))) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND ChildWithText(HWND parent, const char* cls, const char* text) {
  Search s = {0, cls, text, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lp);
        if (!ClassIs(h, s->cls) || !TextIs(h, s->text)) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND MessageBoxOf(DWORD pid, const char* text) {
  Search s = {pid, "#32770", text, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lp);
        if (ProcessOf(h) != s->pid || !::IsWindowVisible(h) || !ClassIs(h, s->cls) ||
            !ChildWithText(h, "Static", s->text))
          return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

int CountOwnThreads() {
  const HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Thread32First(snap, &entry); more; more = ::Thread32Next(snap, &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
  ::CloseHandle(snap);
  return count;
}

std::string WindowText(HWND hwnd) {
  char text[512] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

std::string ClassName(HWND hwnd) {
  char name[128] = "";
  ::GetClassNameA(hwnd, name, sizeof name);
  return name;
}

}  // namespace lwtest
