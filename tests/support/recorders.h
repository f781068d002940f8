// Recorders of the framework's seams: message boxes and shell launching are
// answered without a window or a program, and trace lines are kept, while a
// recorder lives. Each
// installs itself when made and puts back the previous one when it goes.
#pragma once

#include <windows.h>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "framework/Seams.h"
#include "framework/Trace.h"

namespace lwtest {

// Records every message box (owner, text, caption, type) and answers it: a
// box whose text starts as one of the prefixes given gets that prefix's
// answer; the others get the scripted answers first, in order, then the
// default answer.
class CRecordedBoxes : public CMessageBoxSink {
 public:
  explicit CRecordedBoxes(int answer = IDOK);
  ~CRecordedBoxes() override;
  CRecordedBoxes(const CRecordedBoxes&) = delete;
  CRecordedBoxes& operator=(const CRecordedBoxes&) = delete;

  // Answers for the next boxes, one each, before the default answer.
  void Script(std::initializer_list<int> answers);
  // Every box whose text starts with the prefix gets this answer (the
  // latest one given for that prefix).
  void AnswerStartingWith(const std::string& prefix, int answer);

  int Show(HWND owner, const char* text, const char* caption, UINT type) override;

  // What was shown, one entry per box; read them once the threads that
  // may show boxes are done.
  std::vector<std::string> texts;
  std::vector<std::string> captions;
  std::vector<UINT> types;
  std::vector<HWND> owners;

 private:
  std::mutex m_mutex;
  int m_answer;
  std::deque<int> m_script;
  std::vector<std::pair<std::string, int>> m_byPrefix;
  CMessageBoxSink* m_previous;
};

// Records what reached the shell. Execute answers the scripted `answers`
// first, one per call, then `answer` (above 32 is a success); ExecuteEx
// hands out `process` as the started program and answers `answerEx`; Run
// answers `answerRun`.
class CRecordedShell : public CShellLauncher {
 public:
  struct Call {
    std::string verb, file, params, folder;
    int show;
    ULONG mask;  // ExecuteEx's fMask; 0 for Execute
  };

  CRecordedShell();
  ~CRecordedShell() override;
  CRecordedShell(const CRecordedShell&) = delete;
  CRecordedShell& operator=(const CRecordedShell&) = delete;

  INT_PTR Execute(HWND owner, const char* verb, const char* file, const char* params,
                  const char* folder, int show) override;
  BOOL ExecuteEx(SHELLEXECUTEINFOA* info) override;
  // Recorded with the verb "run" and the command line as the file.
  bool Run(const char* commandLine, int show) override;

  std::vector<Call> calls;
  std::deque<INT_PTR> answers;
  INT_PTR answer = 42;
  BOOL answerEx = TRUE;
  bool answerRun = true;
  HANDLE process = nullptr;

 private:
  std::mutex m_mutex;
  CShellLauncher* m_previous;
};

// Keeps the trace lines (without their line ends) written on any thread.
class CRecordedTrace {
 public:
  CRecordedTrace() {
    Current() = this;
    m_previous = SetTraceSink(&Record);
  }
  ~CRecordedTrace() {
    SetTraceSink(m_previous);
    Current() = nullptr;
  }
  CRecordedTrace(const CRecordedTrace&) = delete;
  CRecordedTrace& operator=(const CRecordedTrace&) = delete;

  // The lines so far, without their line ends.
  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
  }
  bool Has(const std::string& line) const {
    const std::vector<std::string> lines = Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // How many lines contain the text.
  int CountContaining(const std::string& text) const {
    const std::vector<std::string> lines = Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(text) != std::string::npos;
    }));
  }

 private:
  static CRecordedTrace*& Current() {
    static CRecordedTrace* current = nullptr;
    return current;
  }
  static void Record(const char* text) {
    CRecordedTrace* self = Current();
    if (!self) return;
    std::string line(text ? text : "");
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_lines.push_back(line);
  }

  mutable std::mutex m_mutex;
  std::vector<std::string> m_lines;
  TraceSink m_previous = nullptr;
};

}  // namespace lwtest
