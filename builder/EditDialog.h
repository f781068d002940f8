// What every command edit dialog of the builder shares: the dialog works on
// a working copy (one attribute of the command, or the whole command) and
// never on the command itself; the command takes the copy back only when
// the dialog ends with OK. Here are the base classes that hold the copy,
// the caption made of the command's type name and a text, the comment
// button and its description sub-dialog, the default-button reset after a
// sub-dialog, the lists of objects a command can target, the decimal
// fields' spin rule and seconds conversion, and the Edit life cycle that
// runs a dialog and copies back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

#include "framework/Controls.h"
#include "framework/DialogUI.h"
#include "script/Attributes.h"
#include "script/Commands.h"

// ---------------------------------------------------------------------------
// Captions and buttons

// The command type's name (string table, 33001 + type).
CString GetCommandTypeText(int type);
// The type name of the command and, when text is not empty, " - " and the
// text: "Wait", "Wait - x", "Show - Description".
CString MakeEditCaption(const CSceneCommand& command, const char* text);
// Called when a sub-dialog (or a file or colour chooser) opened by button
// `id` ended with OK: that button becomes an ordinary push button again and
// OK the default one, with the focus, so that Enter means OK again.
void RestoreDefaultButton(CDialog& dialog, int id);

// ---------------------------------------------------------------------------
// The base of every edit dialog and sub-dialog.

class CEditDialog : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()

 public:
  // The command is not owned; it gives the type for the caption and goes
  // on to sub-dialogs.
  CEditDialog(UINT templateId, CSceneCommand* command, HWND parent);

  CSceneCommand* GetCommand() const { return m_pCommand; }

 protected:
  // The comment this dialog edits (the working copy's); null for a dialog
  // whose comment button is absent or hidden.
  virtual CStringAttribute* GetEditedComment() { return nullptr; }
  // Sets the caption: the type name and the text (see MakeEditCaption).
  void SetEditCaption(const char* text);
  // The caption from the edited comment (the type name alone when empty).
  void SetCommentCaption();
  // Called when the comment sub-dialog ended with OK, after the copy took
  // the new comment: sets the caption from it.
  virtual void OnCommentChanged() { SetCommentCaption(); }
  // "Co&mment...": the description sub-dialog on the edited comment.
  bool OnCommentButton(UINT id);

  CSceneCommand* m_pCommand;
};

// The comment an attribute carries for its command; a bare string
// attribute (the comment itself, in the description dialog) has none.
template <class TAttribute>
CStringAttribute* NestedComment(TAttribute& attribute) {
  return &attribute.m_comment;
}
inline CStringAttribute* NestedComment(CStringAttribute&) { return nullptr; }

// An edit dialog on a copy of one attribute of the command (Wait, Cls,
// Until, Show/Move/Hide, Play, Stop, and the sub-dialogs on a nested
// attribute): the copy is default-made, then filled by CopyFrom.
template <class TAttribute>
class CAttributeEditDialog : public CEditDialog {
 public:
  CAttributeEditDialog(UINT templateId, const TAttribute& source, CSceneCommand* command,
                       HWND parent)
      : CEditDialog(templateId, command, parent) {
    m_copy.CopyFrom(source);
  }

  TAttribute m_copy;

 protected:
  CStringAttribute* GetEditedComment() override { return NestedComment(m_copy); }
};

// An edit dialog on a copy of the whole command (the two objects, Line,
// Comment, Url).
template <class TCommand>
class CCommandEditDialog : public CEditDialog {
 public:
  CCommandEditDialog(UINT templateId, TCommand& command, HWND parent)
      : CEditDialog(templateId, &command, parent) {
    m_copy.CopyFrom(command);
  }

  TCommand m_copy;

 protected:
  CStringAttribute* GetEditedComment() override { return &m_copy.m_comment; }
};

// The comment sub-dialog, and Repeat's edit dialog: one line of at most
// 50 characters, under the caption "<type> - Description".
class CDescriptionDlg : public CAttributeEditDialog<CStringAttribute> {
 public:
  CDescriptionDlg(const CStringAttribute& source, CSceneCommand* command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
};

// ---------------------------------------------------------------------------
// The Edit life cycle. Each makes the dialog on the heap, on a working copy,
// runs it, deletes it, and on IDOK copies the edited values back; returns
// the dialog's result.

// A command that keeps its settings in one attribute. TDialog is made as
// TDialog(attribute, &command, parent) and has m_copy of the attribute's
// class. The copy carries the command's comment (and, for a targeting
// command, its target) while the dialog runs; on OK the attribute takes
// the copy, the command's comment the copy's, and the target is moved to
// the chosen object.
template <class TDialog, class TAttribute>
INT_PTR EditAttributeCommand(CSceneCommand& command, TAttribute& attribute, HWND parent) {
  std::unique_ptr<TDialog> dlg(new TDialog(attribute, &command, parent));
  dlg->m_copy.m_comment.CopyFrom(command.m_comment);
  if constexpr (std::is_base_of<CTargetRefAttribute, TAttribute>::value)
    dlg->m_copy.m_pTarget = command.GetTarget();
  const INT_PTR result = dlg->DoModal();
  if (result == IDOK) {
    attribute.CopyFrom(dlg->m_copy);
    command.m_comment.CopyFrom(dlg->m_copy.m_comment);
    if constexpr (std::is_base_of<CTargetRefAttribute, TAttribute>::value)
      command.SetTarget(dlg->m_copy.m_pTarget);
  }
  return result;
}

// A command edited whole: TDialog is made as TDialog(command, parent) and
// has m_copy of the command's class; on OK the command takes it by
// CopyFrom.
template <class TDialog, class TCommand>
INT_PTR EditWholeCommand(TCommand& command, HWND parent) {
  std::unique_ptr<TDialog> dlg(new TDialog(command, parent));
  const INT_PTR result = dlg->DoModal();
  if (result == IDOK) command.CopyFrom(dlg->m_copy);
  return result;
}

// ---------------------------------------------------------------------------
// Target lists

// A list box of the objects a command may target (Image/Text objects for
// Show, Move and Hide; Multimedia/Flash objects for Play and Stop).
// Ctrl+click on an item clears the selection, so that no target is chosen;
// a tool tip over the list's label says so. The label static needs
// SS_NOTIFY for its tip to show.
class CTargetList : public CListBox {
 public:
  // Binds the dialog's list box, fills it from the live command list with
  // every command of objectType (kTypeImageText or kTypeMedia), in order,
  // labelled by the object's list label, and selects `current`.
  void Setup(CDialog& dialog, int listId, int labelId, int objectType,
             const CSceneObject* current);
  // The selected object, or null when nothing is selected.
  CSceneObject* GetSelectedTarget() const;

 protected:
  // LBN_SELCHANGE with Ctrl held clears the selection; the dialog still
  // gets the notification.
  bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  CToolTipCtrl m_tip;
};

// ---------------------------------------------------------------------------
// Decimal fields (seconds): the spin rule and the conversion to
// milliseconds.

struct CDecimalField {
  double maximum;  // the range is 0..maximum
  double step;     // in units of the last decimal
  int decimals;
  int digits;      // significant digits shown
  const char* unit;  // shown after a blank; "" for none
};

// The value one arrow click makes of `value`: the value snapped to the
// grid of the decimals (down when going up, up when going down) and moved
// by one step, limited to 0..maximum. 2.5 up gives 2.51; 2.505 down 2.5.
double StepDecimalValue(double value, const CDecimalField& field, bool up);
// The text a decimal field shows for a value: the value in the field's
// significant digits, then a blank and the unit when it has one.
CString FormatDecimalValue(double value, const CDecimalField& field);
// Called for the UDN_DELTAPOS of a spin beside a decimal edit: reads the
// edit's number, steps it by the rule above (the arrow's direction taken
// from the delta and the spin's range) and writes it back. The spin's own
// position never moves: the caller answers the notification with
// *result = 1.
void StepDecimalEdit(HWND edit, const NMUPDOWN* change, const CDecimalField& field);

// Seconds as a duration field holds them to whole milliseconds: the
// seconds rounded to hundredths as "%.2f" prints them, times 1000 (2.5 ->
// 2500, 1.234 -> 1230, 2.01 -> 2010), limited to the range of an int.
int SecondsToMilliseconds(double seconds);
// The data exchange of a duration field: its seconds shown and read by the
// measurement rule (DDX_FloatText with the field's unit, the unit itself
// not written), checked against 0..maximum, and on save the milliseconds
// made from them by the rule above. A field the user cannot reach is not
// read, so its milliseconds stay exactly as they were.
void DDX_Duration(CDataExchange* dx, int id, float& seconds, int& milliseconds,
                  const CDecimalField& field);
