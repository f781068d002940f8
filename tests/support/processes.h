// Programs started by tests as Windows or the shell would start them, with
// bounded waits for their end and their windows, and the windows of other
// processes found by class, title and text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lwtest {

// What Wait answers for a program that has not ended in time; no program
// under test ends with it.
constexpr DWORD kNotEnded = 0xFFFF;

// A program started with a command line ("<program>" args). A program still
// running when the object goes is ended.
class CChildProcess {
 public:
  CChildProcess(const std::string& program, const std::string& args);
  // Arguments that may hold names outside the code page.
  CChildProcess(const std::string& program, const std::wstring& args);
  // The program started with exactly this command line (its first word
  // written as the caller likes: relative, without extension...) in the
  // working folder, as a shell may start it.
  CChildProcess(const std::string& program, const std::string& commandLine,
                const std::string& folder);
  ~CChildProcess();
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;

  bool Started() const { return m_info.hProcess != nullptr; }
  DWORD Pid() const { return m_info.dwProcessId; }
  HANDLE Handle() const { return m_info.hProcess; }
  bool Ended() const;

  // The exit code once the program ends within ms, else kNotEnded. This
  // thread's messages are answered meanwhile, and `meanwhile` is called
  // after each round of them.
  DWORD Wait(DWORD ms, const std::function<void()>& meanwhile = nullptr);
  // The program's visible top-level window of the class (and title) once it
  // shows; null when the program ends or ms pass first.
  HWND WaitForWindow(const char* cls, const char* title = nullptr, DWORD ms = 15000);
  // The program's message box that says the text, once it shows.
  HWND WaitForMessageBox(const char* text, DWORD ms = 10000);

 private:
  PROCESS_INFORMATION m_info = {};
};

// A visible top-level window of the process with the class and title; a
// null class or title matches any.
HWND TopWindowOf(DWORD pid, const char* cls = nullptr, const char* title = nullptr);
// A child of the window with the class (case ignored) and text.
HWND ChildWithText(HWND parent, const char* cls, const char* text);
// The process's visible message box that says the text.
HWND MessageBoxOf(DWORD pid, const char* text);

// A window's title (or a control's text) and its class name.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);

// How many threads this process has now.
int CountOwnThreads();

// This process's GDI objects and windows now. GetGuiResources answers
// first; where it answers nothing (Wine), GDI objects are counted in the
// process's GDI handle table and USER objects as the process's windows
// (top-level, child and message-only).
int CountOwnGdiObjects();
int CountOwnUserObjects();
// This process's kernel handles now (where GetProcessHandleCount answers
// nothing, as in Wine, the handle values are tried one by one).
int CountOwnHandles();

// A thread of this process and the file name (no folder) of the module its
// start address lies in: the program's own, or the system library that
// made it; "?" when that cannot be told.
struct ThreadOrigin {
  DWORD id;
  std::string module;
};
std::vector<ThreadOrigin> OwnThreads();
// The threads of `now` that are not in `before`, as "module (id)" words.
std::string NewThreads(const std::vector<ThreadOrigin>& before,
                       const std::vector<ThreadOrigin>& now);

}  // namespace lwtest
