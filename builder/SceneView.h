// CSceneView, the right pane of the main frame: the script as an
// owner-drawn list, one line per command in playing order, drawn with the
// command's icon, its Repeat/Until indent and its label in the style
// fonts and colours of the options. The list box and the palette's live
// command list always hold the same commands in the same order; every edit
// here changes both and marks the document modified. The view also checks
// the script before a preview or a make, hands it to the preview and to the
// output writer, makes it the Windows screen saver and exports its text.
#pragma once

#include "framework/DocView.h"
#include "framework/ImageList.h"
#include "framework/Strings.h"

class CBuilderOptions;
class CCommandList;
class CCommandPalette;
class CSaverMaker;
class CSceneCommand;
class CSceneDoc;

class CSceneView : public CCtrlView {
 public:
  // Measures the speed value ("Times") unless this machine's is stored.
  CSceneView();
  ~CSceneView() override;

  CSceneDoc* GetSceneDoc() const;

  // Lines: -1 for no caret. The caret of an empty list is -1 too.
  int GetLineCount() const;
  CSceneCommand* GetLineCommand(int line) const;
  int GetCaretLine() const;
  int GetSelectedCount() const;
  bool IsLineSelected(int line) const;
  // The update tests of the frame's commands.
  bool HasSelection() const { return GetSelectedCount() > 0; }
  bool HasCaretLine() const { return GetCaretLine() >= 0; }
  bool IsScriptEmpty() const { return GetLineCount() == 0; }
  // True when an enabled Show, Move or Play would draw something.
  bool HasVisibleCommands() const;

  // Puts the command at the end (append) or at the caret line, selected
  // alone with the caret; the script owns it from then on.
  bool InsertCommand(CSceneCommand* command, bool append);
  // Deletes the selected commands, after "Are you sure you want delete
  // command(s)?" when ask is set.
  void DeleteSelection(bool ask);
  // Deactivate (true) or Activate (false) the selected commands.
  void SetSelectionDisabled(bool disable);
  void EnableAll();
  // No selection, the caret on the first line.
  void ResetSelection();
  void SelectAll();
  // Runs the command's edit dialog; the line is redrawn and the document
  // modified when the command changed.
  void EditLine(int line);
  // Selects the line alone with the caret on it and makes the view active.
  void SelectLineAlone(int line);

  // Empties the list box (its lines point to commands about to go).
  void ClearLines();
  // One line per command of the live list.
  void RebuildLines();

  // The check before a preview or a make: unpaired Repeat/Until lines get
  // their message, and the offending line (or the command that refused to
  // prepare) is selected alone. False when the script may not run.
  bool CheckScript();
  bool Preview();
  // Makes the screen saver of the saved document: asking where (a file
  // dialog) when interactive, else beside the document. outPath receives
  // the path of a saver made.
  void OnMakeScr(bool interactive, CString* outPath = nullptr);
  void OnMakeInstall(bool interactive);
  // Makes the saver (interactively), copies it to the system folder and
  // asks the display settings to take it.
  void SetAsDefaultSaver();
  // Writes "<document>.txt": one line per command, indented, and opens it.
  void ExportText();
  // The Options dialog; the list is redrawn in the options it leaves.
  void EditOptions();

  UINT* GetTimes() { return &m_nTimes; }

  void OnInitialUpdate() override;

 protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnLButtonDblClk(UINT flags, CPoint pt) override;
  void OnRButtonDown(UINT flags, CPoint pt) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  CCommandPalette* Palette() const;
  CBuilderOptions* Options() const;
  CCommandList* Commands() const;
  HWND MainWindow() const;
  void SetModified();
  // The nesting indent of every command from the tab size.
  void Reindent();
  // Redraws a line; an object's label shows in other lines: all of them.
  void RedrawLine(int line);
  void ClearSelection();
  void MeasureLine(MEASUREITEMSTRUCT* item) const;
  void DrawLine(const DRAWITEMSTRUCT* item);
  // The saved document's path, after a save; empty (after telling the
  // user) when there is none.
  CString SavedDocumentPath();

  CImageList m_imageList;
  int m_nIconSize = 16;
  UINT m_nTimes = 0;
};

// Tells the user how a make went: the output's path when it was made,
// else the writer's reason and code (unless the writer has told already).
void ShowSaverMakeResult(bool made, const CSaverMaker& maker, const char* output);
