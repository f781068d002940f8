// The one-step wizard: a dialog that asks for a source folder, one of
// thirteen templates and a name (COneStepDlg), and the builder that loads
// the folder's pictures or Flash movies as objects and writes the
// template's script after them (COneStepBuilder). The main frame runs the
// two in turn (RunOneStepWizard in ToolCommands.h).
#pragma once

#include <windows.h>

#include "framework/Collections.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "wizards/TreeFileCtrl.h"

class CSceneCommand;
class CSceneObject;

// The number of templates and the text of each, in the list's order.
constexpr int kOneStepTemplateCount = 13;
const char* OneStepTemplateName(int index);
// The template chosen when the profile names none.
constexpr int kDefaultOneStepTemplate = 9;

class COneStepDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit COneStepDlg(HWND parent = nullptr);

  int m_template = kDefaultOneStepTemplate;
  CString m_sourceFolder;
  CString m_name;

  CTreeFileCtrl& GetTree() { return m_tree; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  bool OnHelp(UINT id);

  CTreeFileCtrl m_tree;
};

// The projects folder: "WizardPath", by default the program's folder and
// "Wizard\", always with a trailing backslash.
CString GetWizardProjectsFolder();

class COneStepBuilder : public CObject {
 public:
  // Commands go to target with WM_ADD_COMMAND (SendCommandToFrame).
  explicit COneStepBuilder(HWND target = nullptr);
  ~COneStepBuilder() override;

  // Template 10 loads movies only; 11 movies, then pictures; 12 pictures,
  // then movies; every other template pictures only. False when a loader
  // stops the run.
  bool LoadFolder(const char* folder, int templateIndex);
  bool LoadImages(const char* folder);
  bool LoadMovies(const char* folder);
  // Sends Repeat, the template's body and an endless Until.
  bool Build(int templateIndex);

  CStringArray* m_pImagePaths;
  CStringArray* m_pMoviePaths;
  // The screen width the sideways template moves across.
  int m_screenWidth;
  // How many files of the last load could not be read and were left out.
  int m_skipped = 0;

 protected:
  // Hands the command over (SendCommandToFrame to the target); virtual so
  // that a test can keep the script.
  virtual void Send(CSceneCommand* command);
  // Called when the folder holds more files than "ImageLimit": IDOK keeps
  // the first `limit`, IDCANCEL stops the run, anything else keeps all.
  virtual INT_PTR AskFolderLimit(int limit, int total);

 private:
  // The files of the folder for the extensions, limited and sorted;
  // false when there are none (after `emptyMessage`) or the user stopped.
  bool CollectPaths(const char* folder, const char* const* extensions, int count,
                    const char* emptyMessage, CStringArray& paths);
  // Loads each path as an object and sends it; drops the files that
  // cannot be read (telling the user once), false when none could.
  bool LoadObjects(CStringArray& paths, bool movies);

  void SendShowItem(CSceneObject* object, int effect, int wait, bool cls, bool hide);
  void SendPlays(int first, int count);
  void SendWait(int milliseconds);
  CSceneObject* Object(int index) const;

  HWND m_target;
  CPtrArray m_objects;  // the objects sent, in order (owned by the script)
};
