// The recorder of the common dialogs.
#include "tests/support/common_dialogs.h"

#include <cstring>

namespace lwtest {

namespace {
std::string Text(const char* s) { return s ? s : ""; }
}  // namespace

CRecordedCommonDialogs::CRecordedCommonDialogs() : m_previous(SetCommonDialogRunner(this)) {}

CRecordedCommonDialogs::~CRecordedCommonDialogs() { SetCommonDialogRunner(m_previous); }

void CRecordedCommonDialogs::AnswerFile(std::vector<std::string> names, DWORD filterIndex) {
  Answer answer;
  answer.ok = true;
  answer.names = std::move(names);
  answer.filterIndex = filterIndex;
  m_script.push_back(answer);
}

void CRecordedCommonDialogs::AnswerColor(COLORREF colour) {
  Answer answer;
  answer.ok = true;
  answer.colour = colour;
  m_script.push_back(answer);
}

void CRecordedCommonDialogs::AnswerFont(const LOGFONTA& font, COLORREF colour, int pointSize) {
  Answer answer;
  answer.ok = true;
  answer.font = font;
  answer.colour = colour;
  answer.pointSize = pointSize;
  m_script.push_back(answer);
}

void CRecordedCommonDialogs::AnswerCancel() { m_script.push_back(Answer()); }

CRecordedCommonDialogs::Answer CRecordedCommonDialogs::Next() {
  if (m_script.empty()) return Answer();
  Answer answer = m_script.front();
  m_script.pop_front();
  return answer;
}

BOOL CRecordedCommonDialogs::File(OPENFILENAMEA* ofn, bool open) {
  FileCall call = {};
  call.open = open;
  call.structSize = ofn->lStructSize;
  call.flags = ofn->Flags;
  call.owner = ofn->hwndOwner;
  call.ownerEnabled = ofn->hwndOwner && IsWindowEnabled(ofn->hwndOwner);
  call.title = Text(ofn->lpstrTitle);
  call.initialDir = Text(ofn->lpstrInitialDir);
  call.defExt = Text(ofn->lpstrDefExt);
  if (ofn->Flags & OFN_ENABLETEMPLATE)
    call.templateName = IS_INTRESOURCE(ofn->lpTemplateName) ? "#" : Text(ofn->lpTemplateName);
  for (const char* p = ofn->lpstrFilter; p && *p; p += strlen(p) + 1) call.filter.push_back(p);
  call.filterIndex = ofn->nFilterIndex;
  call.restCleared = true;
  if (ofn->lpstrFile) {
    call.fileName = ofn->lpstrFile;
    for (DWORD i = static_cast<DWORD>(call.fileName.size()); i < ofn->nMaxFile; ++i)
      call.restCleared = call.restCleared && ofn->lpstrFile[i] == 0;
  }
  call.hooked = (ofn->Flags & OFN_ENABLEHOOK) && ofn->lpfnHook;
  files.push_back(call);

  const Answer answer = Next();
  if (!answer.ok || answer.names.empty() || !ofn->lpstrFile) return FALSE;
  // The system's forms: one full path, or the folder and the names, each
  // ending in a NUL, and one more NUL.
  std::string written;
  const bool several = answer.names.size() > 1 && (ofn->Flags & OFN_ALLOWMULTISELECT);
  if (several) {
    for (const std::string& name : answer.names) written += name + '\0';
  } else {
    written = answer.names[0] + '\0';
  }
  written += '\0';
  if (written.size() > ofn->nMaxFile) return FALSE;
  memcpy(ofn->lpstrFile, written.data(), written.size());
  const std::string& first = answer.names[0];
  const size_t slash = first.find_last_of('\\');
  const size_t dot = first.find_last_of('.');
  ofn->nFileOffset = static_cast<WORD>(several                      ? first.size() + 1
                                       : slash == std::string::npos ? 0
                                                                    : slash + 1);
  ofn->nFileExtension = static_cast<WORD>(
      !several && dot != std::string::npos && dot > ofn->nFileOffset ? dot + 1 : 0);
  ofn->nFilterIndex = answer.filterIndex;
  return TRUE;
}

BOOL CRecordedCommonDialogs::ChooseColor(CHOOSECOLORA* cc) {
  colours.push_back({cc->rgbResult, cc->Flags, cc->hwndOwner});
  const Answer answer = Next();
  if (!answer.ok) return FALSE;
  cc->rgbResult = answer.colour;
  return TRUE;
}

BOOL CRecordedCommonDialogs::ChooseFont(CHOOSEFONTA* cf) {
  fonts.push_back(
      {cf->lpLogFont ? *cf->lpLogFont : LOGFONTA{}, cf->rgbColors, cf->Flags, cf->hwndOwner});
  const Answer answer = Next();
  if (!answer.ok || !cf->lpLogFont) return FALSE;
  *cf->lpLogFont = answer.font;
  cf->rgbColors = answer.colour;
  cf->iPointSize = answer.pointSize;
  return TRUE;
}

}  // namespace lwtest
