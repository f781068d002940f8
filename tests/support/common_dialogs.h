// Answers the framework's common dialogs (file, colour, font) without a
// window while a CRecordedCommonDialogs lives: each call is recorded as
// the dialog was asked for, and answered from the script (then cancelled).
// Installs itself when made and puts back the previous runner when it goes.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <string>
#include <vector>

#include "framework/CommonDialogs.h"

namespace lwtest {

class CRecordedCommonDialogs : public CCommonDialogRunner {
 public:
  // A file dialog as it was asked for.
  struct FileCall {
    bool open;
    DWORD structSize;
    DWORD flags;
    HWND owner;
    bool ownerEnabled;  // during the call
    std::string title, initialDir, defExt, templateName;
    std::string fileName;             // the name it started with
    std::vector<std::string> filter;  // display names and patterns, in turn
    DWORD filterIndex;
    bool restCleared;  // the buffer held only zeros after the name
    bool hooked;       // OFN_ENABLEHOOK with a hook
  };
  struct ColorCall {
    COLORREF initial;
    DWORD flags;
    HWND owner;
  };
  struct FontCall {
    LOGFONTA initial;
    COLORREF colour;
    DWORD flags;
    HWND owner;
  };

  CRecordedCommonDialogs();
  ~CRecordedCommonDialogs() override;
  CRecordedCommonDialogs(const CRecordedCommonDialogs&) = delete;
  CRecordedCommonDialogs& operator=(const CRecordedCommonDialogs&) = delete;

  // The next file dialog chooses this path (the buffer too small: the
  // dialog fails as the system's does). With several names (and
  // OFN_ALLOWMULTISELECT) the first is the folder and the rest file names.
  void AnswerFile(std::vector<std::string> names, DWORD filterIndex = 1);
  void AnswerFile(const std::string& path) { AnswerFile(std::vector<std::string>{path}); }
  void AnswerColor(COLORREF colour);
  void AnswerFont(const LOGFONTA& font, COLORREF colour, int pointSize = 100);
  // The next dialog of any kind is cancelled.
  void AnswerCancel();

  BOOL GetOpenFileName(OPENFILENAMEA* ofn) override { return File(ofn, true); }
  BOOL GetSaveFileName(OPENFILENAMEA* ofn) override { return File(ofn, false); }
  BOOL ChooseColor(CHOOSECOLORA* cc) override;
  BOOL ChooseFont(CHOOSEFONTA* cf) override;

  std::vector<FileCall> files;
  std::vector<ColorCall> colours;
  std::vector<FontCall> fonts;

 private:
  struct Answer {
    bool ok = false;
    std::vector<std::string> names;
    DWORD filterIndex = 1;
    COLORREF colour = 0;
    LOGFONTA font = {};
    int pointSize = 0;
  };
  Answer Next();
  BOOL File(OPENFILENAMEA* ofn, bool open);

  std::deque<Answer> m_script;
  CCommonDialogRunner* m_previous;
};

}  // namespace lwtest
