// The framework's message-box seam answered by tests: every box shown while
// a CRecordedBoxes lives is recorded (text, caption, type) and answered
// without a window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Seams.h"

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

}  // namespace testseams
