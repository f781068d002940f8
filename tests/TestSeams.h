// The framework's message-box seam answered by tests: every box shown while
// a CRecordedBoxes lives is recorded (text, caption, type) and answered
// without a window. Likewise every debug-output line written while a
// CRecordedTrace lives, from any thread.
#pragma once

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Seams.h"
#include "framework/Trace.h"

namespace testseams {

class CRecordedBoxes : public CMessageBoxSink {
 public:
  // Installs itself; answer is what every box returns.
  explicit CRecordedBoxes(int answer = IDOK) : m_answer(answer), m_previous(SetMessageBoxSink(this)) {}
  ~CRecordedBoxes() override { SetMessageBoxSink(m_previous); }
  CRecordedBoxes(const CRecordedBoxes&) = delete;
  CRecordedBoxes& operator=(const CRecordedBoxes&) = delete;

  int Show(HWND, const char* text, const char* caption, UINT type) override {
    texts.push_back(text ? text : "");
    captions.push_back(caption ? caption : "");
    types.push_back(type);
    return m_answer;
  }

  std::vector<std::string> texts;
  std::vector<std::string> captions;
  std::vector<UINT> types;

 private:
  int m_answer;
  CMessageBoxSink* m_previous;
};

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

}  // namespace testseams
