// Recorders of the framework's seams.
#include "tests/support/recorders.h"

namespace lwtest {

namespace {
std::string Text(const char* s) { return s ? s : ""; }
}  // namespace

CRecordedBoxes::CRecordedBoxes(int answer) : m_answer(answer), m_previous(SetMessageBoxSink(this)) {}

CRecordedBoxes::~CRecordedBoxes() { SetMessageBoxSink(m_previous); }

void CRecordedBoxes::Script(std::initializer_list<int> answers) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_script.insert(m_script.end(), answers.begin(), answers.end());
}

void CRecordedBoxes::AnswerStartingWith(const std::string& prefix, int answer) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (auto& entry : m_byPrefix)
    if (entry.first == prefix) {
      entry.second = answer;
      return;
    }
  m_byPrefix.emplace_back(prefix, answer);
}

int CRecordedBoxes::Show(HWND owner, const char* text, const char* caption, UINT type) {
  std::lock_guard<std::mutex> lock(m_mutex);
  texts.push_back(Text(text));
  captions.push_back(Text(caption));
  types.push_back(type);
  owners.push_back(owner);
  for (const auto& entry : m_byPrefix)
    if (texts.back().rfind(entry.first, 0) == 0) return entry.second;
  if (m_script.empty()) return m_answer;
  const int answer = m_script.front();
  m_script.pop_front();
  return answer;
}

CRecordedShell::CRecordedShell() : m_previous(SetShellLauncher(this)) {}

CRecordedShell::~CRecordedShell() { SetShellLauncher(m_previous); }

INT_PTR CRecordedShell::Execute(HWND, const char* verb, const char* file, const char* params,
                                const char* folder, int show) {
  std::lock_guard<std::mutex> lock(m_mutex);
  calls.push_back({Text(verb), Text(file), Text(params), Text(folder), show, 0});
  if (answers.empty()) return answer;
  const INT_PTR scripted = answers.front();
  answers.pop_front();
  return scripted;
}

BOOL CRecordedShell::ExecuteEx(SHELLEXECUTEINFOA* info) {
  std::lock_guard<std::mutex> lock(m_mutex);
  calls.push_back({Text(info->lpVerb), Text(info->lpFile), Text(info->lpParameters),
                   Text(info->lpDirectory), info->nShow, info->fMask});
  info->hProcess = process;
  return answerEx;
}

bool CRecordedShell::Run(const char* commandLine, int show) {
  std::lock_guard<std::mutex> lock(m_mutex);
  calls.push_back({"run", Text(commandLine), "", "", show, 0});
  return answerRun;
}

}  // namespace lwtest
