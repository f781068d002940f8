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

CChildProcess::CChildProcess(const std::string& program, const std::wstring& args) {
  std::wstring cmd = L"\"" + std::wstring(program.begin(), program.end()) + L"\" " + args;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_info))
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

namespace {

// The module the thread started in, through the start address the system
// keeps for each thread.
std::string StartModule(DWORD id) {
  typedef LONG(WINAPI * QueryThread)(HANDLE, int, void*, ULONG, ULONG*);
  static const QueryThread query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  const int kStartAddress = 9;  // ThreadQuerySetWin32StartAddress
  HANDLE thread = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
  if (!thread || !query) return "?";
  void* start = nullptr;
  const LONG status = query(thread, kStartAddress, &start, sizeof start, nullptr);
  ::CloseHandle(thread);
  HMODULE module = nullptr;
  char path[MAX_PATH] = "";
  if (status != 0 || !start ||
      !::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<const char*>(start), &module) ||
      !::GetModuleFileNameA(module, path, sizeof path))
    return "?";
  const char* name = std::strrchr(path, '\\');
  return name ? name + 1 : path;
}

}  // namespace

std::vector<ThreadOrigin> OwnThreads() {
  std::vector<ThreadOrigin> threads;
  const HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return threads;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Thread32First(snap, &entry); more; more = ::Thread32Next(snap, &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
      threads.push_back({entry.th32ThreadID, StartModule(entry.th32ThreadID)});
  ::CloseHandle(snap);
  return threads;
}

std::string NewThreads(const std::vector<ThreadOrigin>& before,
                       const std::vector<ThreadOrigin>& now) {
  std::string words;
  for (const ThreadOrigin& t : now) {
    bool old = false;
    for (const ThreadOrigin& b : before) old = old || b.id == t.id;
    if (old) continue;
    if (!words.empty()) words += ", ";
    words += t.module + " (" + std::to_string(t.id) + ")";
  }
  return words;
}

namespace {

// The GDI handle table the system maps into every process: 65536 entries
// of 24 bytes, in use when their type byte is not 0.
int CountGdiTableEntries() {
  // The environment blocks' layout on x64: the process's at 0x60 in the
  // thread's, the table's address at 0xF8 in the process's.
  const BYTE* teb = reinterpret_cast<const BYTE*>(NtCurrentTeb());
  const BYTE* peb = *reinterpret_cast<const BYTE* const*>(teb + 0x60);
  const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
  if (!table) return -1;
  const size_t kEntrySize = 24, kTypeOffset = 14;
  int count = 0;
  for (size_t i = 0; i < 0x10000; ++i)
    if (table[i * kEntrySize + kTypeOffset] != 0) ++count;
  return count;
}

int CountWindowsUnder(HWND parent) {
  int count = 0;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    count += 1 + CountWindowsUnder(child);
  return count;
}

int CountOwnWindows() {
  const DWORD pid = ::GetCurrentProcessId();
  int count = 0;
  for (HWND parent : {::GetDesktopWindow(), HWND_MESSAGE}) {
    for (HWND top = ::FindWindowExA(parent, nullptr, nullptr, nullptr); top;
         top = ::FindWindowExA(parent, top, nullptr, nullptr))
      if (ProcessOf(top) == pid) count += 1 + CountWindowsUnder(top);
  }
  return count;
}

}  // namespace

int CountOwnGdiObjects() {
  const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  return count ? static_cast<int>(count) : CountGdiTableEntries();
}

int CountOwnUserObjects() {
  const DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  return count ? static_cast<int>(count) : CountOwnWindows();
}

int CountOwnHandles() {
  DWORD count = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count)
    return static_cast<int>(count);
  // Wine answers 0: the handle values (multiples of 4 from 4 on, the
  // lowest free one used first) are asked one by one, up to a long run of
  // values that are not handles.
  int probed = 0, misses = 0;
  for (ULONG_PTR value = 4; misses < 4096; value += 4) {
    DWORD flags;
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++probed;
      misses = 0;
    } else {
      ++misses;
    }
  }
  return probed;
}

}  // namespace lwtest
