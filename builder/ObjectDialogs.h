// The edit dialogs of the display commands: the Image/Text object (a text
// with its font and colours, or a picture from a file, the desktop or the
// wallpaper), the target dialog of Show, Move and Hide with its two
// position dialogs, and Line with its position dialog; with the Edit of
// each of those command types.
#pragma once

#include <windows.h>

#include "builder/controls/CustomControls.h"
#include "builder/EditDialog.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "script/Commands.h"
#include "script/Objects.h"

// A motion attribute carries no comment: its dialogs have no comment
// button.
inline CStringAttribute* NestedComment(CMotionAttribute&) { return nullptr; }

// The simple beep the position dialog sounds for each step it turns round;
// tests replace it to count them. Returns the previous one (null: the
// system's MessageBeep).
using BeepFunction = void (*)(UINT type);
BeepFunction SetBeepFunction(BeepFunction beep);
// A beep through the replaceable function (the script's refusals too).
void SoundBeep(UINT type);

// The Edit of each command type these dialogs serve: runs the dialog on a
// working copy and, on IDOK, copies it back; returns the dialog's result.
INT_PTR EditImageTextCommand(CSceneCommand& command, HWND parent);  // type 0
INT_PTR EditTargetCommand(CSceneCommand& command, HWND parent);     // Show, Move, Hide
INT_PTR EditLineCommand(CSceneCommand& command, HWND parent);       // type 8

// An Image/Text object: the text, its font, colours and justification, or
// the picture and the size it is drawn at.
class CImageTextDlg : public CCommandEditDialog<CImageTextObject> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CImageTextDlg(CImageTextObject& object, HWND parent);

  // The title and filter of the picture chooser.
  static const char kChooserTitle[];
  static const char kChooserFilter[];
  // The files the desktop and wallpaper captures are written to, in the
  // temporary folder, and removed again.
  static const char kDesktopFileName[];
  static const char kWallpaperFileName[];

  CPreviewStatic& GetPreview() { return m_preview; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool OnSetText(UINT id);
  bool OnBackground(UINT id);
  bool OnTextChanged(UINT id);
  bool OnColour(UINT id);
  bool OnFont(UINT id);
  bool OnSetImage(UINT id);
  bool OnCapture(UINT id);
  bool OnFullScreen(UINT id);
  bool OnJustify(UINT id);

  // The controls into the working copy, with the kind and background mode
  // that the exchange does not carry; false when a field was refused.
  bool ReadBack();
  // The controls enabled for a text or a picture, then read back and
  // previewed.
  void ApplyKind();
  // The size edits follow "Full screen"; "Original aspect" only with it.
  void ApplyFullScreen();
  void ShowPreview();
  // The controls from the working copy (the text's change notices are not
  // taken for the user's while it runs).
  void Refresh();
  // The text edit in the working copy's font.
  void SetEditFont();
  // Shows that the button's chooser ended: it is drawn as the default
  // button and has the focus.
  void FocusAsDefault(int id, CToggleButton& button);

  CToggleButton m_setText;
  CToggleButton m_setImage;
  CBitmapButton m_justify[3];
  CPreviewStatic m_preview;
  CFont m_editFont;
  CBrush m_editBrush;  // the text edit's background while opaque
  bool m_refreshing = false;
};

// Show, Move and Hide: the target object, and for Show and Move the
// position dialog of the motion. Hide offers only the list, the preview
// and the comment.
class CTargetObjectDlg : public CAttributeEditDialog<CObjectRefAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CTargetObjectDlg(const CObjectRefAttribute& source, CSceneCommand* command, HWND parent);

  CTargetList& GetList() { return m_list; }
  CPreviewStatic& GetPreview() { return m_preview; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  bool OnSelChange(UINT id);
  bool OnDoubleClick(UINT id);
  bool OnPosition(UINT id);
  bool OnColours(UINT id);
  bool OnNewImage(UINT id);
  // Fills the list from the live list with `current` selected; Hide's
  // buttons hidden; the preview of the selection.
  void FillList(const CSceneObject* current);
  void ShowSelected();

  CTargetList m_list;
  CPreviewStatic m_preview;
  CToggleButton m_position;
};

// Move's motion: the start and end positions, the step along x or y (its
// sign turned toward the end point on OK, with a beep each time) and the
// speed.
class CPositionDlg : public CAttributeEditDialog<CMotionAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CPositionDlg(const CMotionAttribute& source, CSceneCommand* command, HWND parent);

  static constexpr int kSpeedStep = 100, kSpeedMax = 100000;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

 private:
  bool OnMode(UINT id);
  bool OnSpeedSpin(NMHDR* hdr, LRESULT* result);
  void EnableCoordinates();
};

// Show's motion: the start position, the effect and its speed, and for a
// text the letter-by-letter output.
class CShowPositionDlg : public CAttributeEditDialog<CMotionAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CShowPositionDlg(const CMotionAttribute& source, CSceneCommand* command, bool isText,
                   HWND parent);

  static constexpr int kLetterStep = 10, kLetterSpeedMax = 2000;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnMode(UINT id);
  bool OnEffect(UINT id);
  bool OnSlider(UINT id);
  bool OnLetters(UINT id);
  bool OnLetterSpin(NMHDR* hdr, LRESULT* result);
  // Effects 1 and 2 cover the screen: no position, letters or restore.
  void ApplyEffect(bool setFlags);
  void EnableLetterSpeed();
  void ShowEffectParam();

  bool m_isText;
};

// Line: its pen width (1 to 5, drawn in the list) and style (dashed only
// at width 1), position and colour.
class CLineDlg : public CCommandEditDialog<CLineCommand> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  explicit CLineDlg(CLineCommand& command, HWND parent);

  static constexpr int kWidthItemHeight = 15;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool OnStyle(UINT id);
  bool OnWidth(UINT id);
  bool OnPosition(UINT id);
  bool OnColour(UINT id);
  void EnableStyle();
  void DrawWidthItem(const DRAWITEMSTRUCT& item) const;
};

// Line's two points, each coordinate random or absolute.
class CLinePositionDlg : public CAttributeEditDialog<CMotionAttribute> {
  LW_DECLARE_COMMAND_TABLE()

 public:
  CLinePositionDlg(const CMotionAttribute& source, CSceneCommand* command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnMode(UINT id);
  void EnableCoordinates();
};

// The step of a move pointed from the start to the end coordinate along its
// axis: a positive step is negated when end < start, a negative one when
// start < end. Returns the step; *corrected tells whether it changed.
int StepTowardEnd(int step, int start, int end, bool* corrected);
