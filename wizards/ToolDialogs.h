// The small dialogs of the wizard tools: the flash presentation's
// parameters (a movie and a saver name) and the dialogs that end a make
// by naming the folder the outputs went to, with a button that opens it.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "framework/DialogUI.h"
#include "framework/Strings.h"

// Where a presentation called `name` is written: the document folder
// ("DocPath", My Documents by default), a backslash and the name, without
// an extension; ".fsd", ".scr" and ".exe" go after it.
CString FlashPresentationBase(const char* name);

// True when none of the files is there, or when the user lets them be
// replaced: "There is already file under that name, do you want to
// overwrite it?" (Yes/No, No the default) is asked once for all of them.
// An empty path names no file.
bool MayReplaceFiles(std::initializer_list<CString> paths);

// Asks for the Flash movie and the saver's name. Make refuses empty
// fields and names that are not letters, digits and '_', and asks before
// any of the presentation's three files would be overwritten.
class CFlashPresentationDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CFlashPresentationDlg(HWND parent = nullptr);

  CString m_moviePath;
  CString m_saverName;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  bool OnBrowse(UINT id);
};

// Names the folder the outputs of a make went to; "Go to folder" opens it
// in the shell and ends the dialog. The make-finished template serves
// the flash presentation, the one-step template every other tool, each
// with its own caption.
class CFinishedDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CFinishedDlg(UINT templateId, HWND parent);

  CString m_folder;
  // Replaces the template's caption when not empty.
  CString m_caption;

 protected:
  bool OnInitDialog() override;

 private:
  bool OnGoToFolder(UINT id);
};

class CMakeFinishedDlg : public CFinishedDlg {
 public:
  explicit CMakeFinishedDlg(HWND parent = nullptr);
};

class COneStepFinishedDlg : public CFinishedDlg {
 public:
  explicit COneStepFinishedDlg(HWND parent = nullptr);
};

// The profile value that lets the make-finished dialog show (1 by
// default).
extern const char kShowGotoDialogEntry[];  // "ShowGotoDlg"
