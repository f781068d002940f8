// CBuilderApp, the builder's application object: the start-up sequence
// (build code, settings migration, profile key, command line, the hand-over
// of a started file to a builder that already runs, OLE, the document
// manager and template, the uninstall switch, recent files and the ".fsd"
// file type, the window's show state, the first document), the opening of
// files with its message, and the application's own commands (Help
// Topics, Reuse, About). The object itself lives in main.cpp.
#pragma once

#include "framework/AppUI.h"
#include "framework/Strings.h"

class CBuilderApp : public CDocumentApp {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CBuilderApp();
  ~CBuilderApp() override;

  // False ends the program at once: the file went to a running builder,
  // the uninstall switch did its work, or no window could be made.
  bool InitInstance() override;
  // Opens through the document manager; a file that cannot be opened gets
  // "<path>\n\ncannot be opened.".
  CDocument* OpenDocumentFile(const char* path) override;
  bool PreTranslateMessage(MSG* msg) override;

  // The build code, "yymmdd" of the compile date.
  CString m_strBuild;

 protected:
  // The running builder takes the command line's file when "Reuse" is on:
  // true when it did (this start then ends).
  bool HandOverToRunningBuilder(const CCommandLineInfo& info);
  // The command line is exactly the uninstall switch.
  bool IsUninstallCommandLine() const;
  // Removes the file type's keys, the profile and the options file.
  void Uninstall();
  // The ".fsd" keys the shell's New and the document icon need.
  void RegisterSceneFileType();

  bool OnHelpTopics(UINT id);
  bool OnReuse(UINT id);
  void OnUpdateReuse(CCmdUI* ui);
  bool OnAbout(UINT id);
};

// The profile's version as keys spell it.
constexpr float kProfileVersion = 4.7f;
// The profile section of the builder's values.
extern const char kSettingsSection[];  // "Settings"

// TRUE when the argument, without one leading '-' or '/', is the name
// (letter case aside).
bool MatchSwitch(const char* argument, const char* name);
// Sets a value of a key under HKEY_CLASSES_ROOT (made when missing).
void WriteClassesRootValue(const char* key, const char* name, DWORD type, const void* data,
                           DWORD size);

// The hand-over's block, both ends: the second start writes the full path
// of its file (or nothing) and sends the running frame WM_OPEN_HANDED_FILE;
// the frame reads the path back (empty when there is no block).
bool HandFileTo(HWND frame, const char* fileName);
CString ReadHandedFile();
