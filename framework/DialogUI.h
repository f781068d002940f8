// The builder's dialogs: CCmdDialog, a dialog whose commands and control
// notifications go through a command table (framework/README.md), and the
// data exchange that only the user interface layer needs (texts as
// CString, combo boxes, list boxes, sliders, numbers with ranges, and
// control objects bound to the template's controls). The carried programs'
// dialogs stay with CDialog and framework/Dialog.h, which cost them
// nothing of this.
#pragma once

#include <windows.h>

#include "framework/CmdTarget.h"
#include "framework/Dialog.h"
#include "framework/Strings.h"

// A dialog with a command table:
//
//   class COptionsDlg : public CCmdDialog {
//     LW_DECLARE_COMMAND_TABLE()
//     bool OnFont(UINT id);                          // CommandEntry(IDC_FONT, ...)
//     bool OnStyleChanged(UINT id);                  // ControlEntry(IDC_STYLE, CBN_SELCHANGE, ...)
//     bool OnSpin(NMHDR* hdr, LRESULT* result);      // NotifyEntry(IDC_SPIN, UDN_DELTAPOS, ...)
//   };
//   LW_IMPLEMENT_COMMAND_TABLE(COptionsDlg, CCmdDialog)
//
// A clicked button or a menu command that the dialog's table does not take
// goes on to the dialog's owner: along the owner's route when the owner is
// a window of this layer (a frame: its view, document, frame, application;
// another such dialog: its table, then its owner), else to the
// application. Control notifications, WM_NOTIFY, OK, Cancel and the
// system's commands stay with the dialog. OK and Cancel reach OnOK and
// OnCancel unless the table takes them first. A slider's or scroll bar's
// WM_HSCROLL and WM_VSCROLL come as control notifications of that control
// with the scroll code (ControlEntry(IDC_SLIDER, TB_ENDTRACK, ...)).
class CCmdDialog : public CDialog, public CCmdTarget {
 public:
  explicit CCmdDialog(UINT templateId, HWND parent = nullptr);

  // True when a target took the message.
  bool RouteCommand(CCommandMsg& msg);

 protected:
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(NMHDR* hdr, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// ---------------------------------------------------------------------------
// Data exchange of the user interface layer. On load each fills its
// control; on save it reads the control back, and a value that does not
// parse or lies outside its range shows the framework's message and fails
// the exchange. A control the user cannot reach, disabled or hidden, is
// neither read back nor checked (framework/Dialog.h).

void DDX_Text(CDataExchange* dx, int id, CString& value);
// A decimal number: shown in 6 (float) or 15 (double) significant digits;
// a text that is not one number fails with "Please enter a number.".
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
// The selected item's index (-1: none).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// A combo box's text: on load the item of exactly that text is selected
// (a combo box with an edit shows the text even when no item has it); on
// save the edit's text, or the selected item's for a drop-down list.
void DDX_CBString(CDataExchange* dx, int id, CString& value);
// A slider's position.
void DDX_Slider(CDataExchange* dx, int id, int& value);
// Binds the control to the object (its subclass) the first time; the
// object then takes the control's messages and its reflected notifications.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// "Please enter an integer between %1 and %2."
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue);
// "Please enter a number between %1 and %2.", the bounds in six
// significant digits.
void DDV_MinMaxFloat(CDataExchange* dx, float value, float minValue, float maxValue);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double minValue, double maxValue);
