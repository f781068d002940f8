// CSceneView, the right pane of the main frame: the script as an
// owner-drawn list, one line per command in playing order, drawn with the
// command's icon, its Repeat/Until indent and its label in the style
// fonts and colours of the options. The list box and the palette's live
// command list always hold the same commands in the same order; every edit
// here changes both and marks the document modified. Commands leave and
// enter the list through the clipboard and by drags: a drag inside the
// list moves, copies or links; a drag from anywhere else only copies. The
// view also checks the script before a preview or a make, hands it to the
// preview and to the output writer, makes it the Windows screen saver and
// exports its text.
#pragma once

#include <memory>
#include <vector>

#include "framework/Collections.h"
#include "framework/DocView.h"
#include "framework/ImageList.h"
#include "framework/Ole.h"
#include "framework/Strings.h"

class CArchive;
class CBuilderOptions;
class CCommandList;
class CCommandPalette;
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
  // alone with the caret. It takes the command in every case: the script
  // owns it from then on, and one it cannot take (no document, no room in
  // the list) is deleted here and false returned.
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
  // the path of a saver made. True when it was made.
  bool OnMakeScr(bool interactive, CString* outPath = nullptr);
  bool OnMakeInstall(bool interactive);
  // Makes the saver (interactively), copies it to the system folder and
  // asks the display settings to take it.
  void SetAsDefaultSaver();
  // Writes "<document>.txt": one line per command, indented, and opens it.
  void ExportText();
  // The Options dialog; on OK the list is rebuilt in the options it leaves
  // (line heights, indent), its selection, caret and scroll kept.
  void EditOptions();

  // Cut (cut set) and Copy: the selected commands onto the clipboard.
  void CopySelection(bool cut);
  // Paste: the clipboard's commands after the only selected line, else at
  // the end; a beep when there is nothing to paste or it is refused.
  void PasteFromClipboard();
  // Inserts the commands of a copy block at line `at`, selected; a beep
  // and no change when the block is refused.
  bool PasteFromArchive(CArchive& ar, int at);
  // The clipboard holds commands to paste.
  static bool CanPaste();

  // Drags over the script: the selected commands move, copy or link.
  DWORD OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) override;
  DWORD OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave() override;
  bool OnDrop(COleDataObject* data, DWORD dropEffect, CPoint point) override;
  bool OnScroll(UINT scrollCode, UINT pos, bool doScroll) override;
  // The line under a drag (-1 below the last line or when none runs).
  int GetDropLine() const { return m_nDropLine; }
  // Drags the selected commands out of the view, `grabbed` being the line
  // under the press at `down`.
  void BeginDragOut(int grabbed, CPoint down);

  UINT* GetTimes() { return &m_nTimes; }

  void OnInitialUpdate() override;

 protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  void OnLButtonDblClk(UINT flags, CPoint pt) override;
  void OnRButtonDown(UINT flags, CPoint pt) override;
  void OnLButtonDown(UINT flags, CPoint pt) override;
  void OnLButtonUp(UINT flags, CPoint pt) override;
  void OnMouseMove(UINT flags, CPoint pt) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  CCommandPalette* Palette() const;
  CBuilderOptions* Options() const;
  CCommandList* Commands() const;
  HWND MainWindow() const;
  void SetModified();
  // The nesting indent of every command from the tab size.
  void Reindent();
  // Puts one line per command of the live list into the emptied list box
  // (each measured as it goes in) and re-indents; redrawing is the
  // caller's.
  void FillLines();
  // Redraws a line; an object's label shows in other lines: all of them.
  void RedrawLine(int line);
  void ClearSelection();
  void MeasureLine(MEASUREITEMSTRUCT* item) const;
  void DrawLine(const DRAWITEMSTRUCT* item);
  // How a selected line is drawn: as selected, or by the options' drag
  // look while a drag is over the view.
  struct CLineLook {
    COLORREF background = ::GetSysColor(COLOR_HIGHLIGHT);
    COLORREF textColour = 0;
    bool iconSelected = true;
    int offset = 0;  // the text and icon move this far right and down
  };
  CLineLook SelectedLook(int line, const CSceneCommand* cmd) const;
  // The saved document's path, after a save; empty (after telling the
  // user) when there is none, or when the save failed or was cancelled:
  // the file then is not the script the window shows.
  CString SavedDocumentPath();
  // The line at a point of the client area; -1 below the last line.
  int LineFromPoint(CPoint pt) const;
  // Inserts the commands (taken from `pasted`) at line `at`, selected, the
  // caret on the last.
  void InsertLines(CCommandList& pasted, int at);
  // The effect a drop at the drop line would have, by the keys held.
  DWORD DropEffect(COleDataObject* data, DWORD keyState) const;
  void FollowDropLine(CPoint point);
  // Ends what a drag over the view set up (image, saved selection, line).
  void EndDragOver();
  bool DropMove(CArchive& ar, int at);
  bool DropLink(CArchive& ar, int line);
  // The drag image of the grabbed line: its icon, the time and its label.
  bool MakeDragImage(int grabbed, CImageList& image);

  CImageList m_imageList;
  int m_nIconSize = 16;
  UINT m_nTimes = 0;
  COleDropTarget m_dropTarget;
  // An incoming drag: its image (null when none shows), the selection
  // when it entered, the line under it and the caret when it entered.
  std::unique_ptr<CImageList> m_pDragImage;
  CPoint m_ptHotSpot;
  std::unique_ptr<std::vector<int>> m_pSavedSel;
  int m_nDropLine = -1;
  int m_nCaretAtEnter = -1;
  // An outgoing drag: the commands being dragged (only while it runs),
  // and the press that may start one.
  std::unique_ptr<CObArray> m_pDragged;
  CPoint m_ptDown{-1, -1};
  int m_nDownLine = -1;
};
