// The small command edit dialogs: Wait (a duration in seconds), Cls and the
// colour sub-dialog of the display commands and Line (a colour with its
// mixing, previewed), Repeat (its description), Until (a repeat count),
// Comment (a free text) and Url (the address opened when the saver ends),
// with the Edit of each of those commands.
#pragma once

#include <windows.h>

#include "builder/EditDialog.h"
#include "framework/Gdi.h"
#include "script/Commands.h"

// The Edit of each command type these dialogs serve: runs the dialog on a
// working copy and, on IDOK, copies it back. Each returns the dialog's
// result (Url: IDCANCEL, command unchanged, when monitoring stays on and
// the edited address is empty or only "http://").
INT_PTR EditWaitCommand(CSceneCommand& command, HWND parent);
INT_PTR EditClsCommand(CSceneCommand& command, HWND parent);
INT_PTR EditRepeatCommand(CSceneCommand& command, HWND parent);
INT_PTR EditUntilCommand(CSceneCommand& command, HWND parent);
INT_PTR EditCommentCommand(CSceneCommand& command, HWND parent);
INT_PTR EditUrlCommand(CSceneCommand& command, HWND parent);

// The address as the Url dialog stores it: "http://" put in front unless
// it already starts with "http://" or "https://" (in any case).
CString WithUrlPrefix(const CString& location);

// The colour of Cls, and the "&Colour..." / "&Colours..." sub-dialog of
// Line and the display commands (for those the comment button is hidden;
// for Cls and Line "&Background" and the mixing are disabled). The preview
// shows the testing colour in the left circle, the colour in the right
// one, and in their overlap the colour mixed onto the testing colour.
// Double-clicking a circle chooses its colour.
class CColourDlg : public CAttributeEditDialog<CColourAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CColourDlg(const CColourAttribute& source, CSceneCommand* command, HWND parent);

  // The preview's picture (the static shows it).
  HBITMAP GetPreviewBitmap() const { return m_preview; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  CStringAttribute* GetEditedComment() override;

 private:
  bool OnChooseColour(UINT id);
  bool OnMixingChanged(UINT id);
  // Draws the preview with the colours and the mixing chosen now.
  void DrawPreview();
  // Where a point of the dialog's client area falls: 1 left circle only,
  // 2 right circle only, 3 both, 0 neither.
  int HitCircles(POINT dialogPoint) const;
  // The system's colour chooser on *colour; true when it took a new one.
  bool ChooseColour(COLORREF* colour);

  bool m_isCls = false;
  CBitmap m_preview;  // declared before anything that draws into it
  CBitmap m_overlap;
  CGdiObject m_left, m_right, m_both;  // regions, preview coordinates
  RECT m_previewRect = {0, 0, 0, 0};   // the preview, dialog coordinates
  CToolTipCtrl m_tip;
};

// The Wait duration in seconds (0 to 100, with the unit "sec" in the
// field), or random.
class CWaitDlg : public CAttributeEditDialog<CDurationAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CWaitDlg(const CDurationAttribute& source, CSceneCommand* command, HWND parent);

  // The field's limits and look: 0 to 100 seconds, two decimals.
  static const CDecimalField kField;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnSpin(NMHDR* hdr, LRESULT* result);
  bool OnRandom(UINT id);

  float m_seconds;
};

// The Until repeat count (1 to 999999), or infinite.
class CUntilDlg : public CAttributeEditDialog<CRepeatCountAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CUntilDlg(const CRepeatCountAttribute& source, CSceneCommand* command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnInfinite(UINT id);
};

// The Comment command's text.
class CCommentDlg : public CCommandEditDialog<CCommentCommand> {
 public:
  CCommentDlg(CCommentCommand& command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  // No comment button: the text is the comment.
  CStringAttribute* GetEditedComment() override { return nullptr; }
};

// The Url command: the address, the keys that open it, and whether the
// saver watches for them at all.
class CInsertUrlDlg : public CCommandEditDialog<CUrlCommand> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CInsertUrlDlg(CUrlCommand& command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  bool OnMonitoring(UINT id);
  // The address and the keys are enabled while monitoring is on.
  void EnableKeys();
};
