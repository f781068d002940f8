// The shared part of the command edit dialogs: captions, the comment button
// and its description sub-dialog, the default-button reset, target lists
// and the decimal fields' rules.
#include "builder/EditDialog.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "builder/resource.h"
#include "framework/DocView.h"
#include "framework/TextFormat.h"
#include "script/BuilderUtilities.h"
#include "script/Objects.h"
#include "script/Palette.h"

CString GetCommandTypeText(int type) {
  return LoadResourceString(IDS_COMMAND_TYPE_FIRST + type, GetCommandTypeName(type));
}

CString MakeEditCaption(const CSceneCommand& command, const char* text) {
  CString caption = GetCommandTypeText(command.GetType());
  if (text != nullptr && text[0] != '\0') {
    caption += " - ";
    caption += text;
  }
  return caption;
}

void RestoreDefaultButton(CDialog& dialog, int id) {
  ::SendMessageA(dialog.GetDlgItem(id), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  const HWND ok = dialog.GetDlgItem(IDOK);
  ::SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  // Enter asks the dialog for its default button: OK again, even when the
  // template made another button the default.
  dialog.SetDefID(IDOK);
  dialog.GotoDlgCtrl(ok);
}

// ---- the base ----------------------------------------------------------------

const CCommandEntry CEditDialog::commandEntries[] = {
    CommandEntry(IDC_COMMENT_BUTTON, &CEditDialog::OnCommentButton),
};
LW_IMPLEMENT_COMMAND_TABLE(CEditDialog, CCmdDialog)

CEditDialog::CEditDialog(UINT templateId, CSceneCommand* command, HWND parent)
    : CCmdDialog(templateId, parent), m_pCommand(command) {}

void CEditDialog::SetEditCaption(const char* text) {
  if (m_pCommand != nullptr) SetWindowText(MakeEditCaption(*m_pCommand, text));
}

void CEditDialog::SetCommentCaption() {
  const CStringAttribute* comment = GetEditedComment();
  SetEditCaption(comment != nullptr ? static_cast<const char*>(comment->m_text) : "");
}

// Called when "Co&mment..." is clicked. The sub-dialog edits a copy of the
// comment; only its OK changes this dialog's working copy, so cancelling
// this dialog afterwards still leaves the command as it was.
bool CEditDialog::OnCommentButton(UINT id) {
  CStringAttribute* comment = GetEditedComment();
  if (comment == nullptr) return false;
  CDescriptionDlg dlg(*comment, m_pCommand, m_hWnd);
  if (dlg.DoModal() != IDOK) return true;
  comment->CopyFrom(dlg.m_copy);
  OnCommentChanged();
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

// ---- the description sub-dialog ----------------------------------------------

namespace {
const int kDescriptionMaxChars = 50;
}

CDescriptionDlg::CDescriptionDlg(const CStringAttribute& source, CSceneCommand* command,
                                 HWND parent)
    : CAttributeEditDialog<CStringAttribute>(IDD_DESCRIPTION, source, command, parent) {}

bool CDescriptionDlg::OnInitDialog() {
  CAttributeEditDialog<CStringAttribute>::OnInitDialog();
  SetEditCaption("Description");
  return true;
}

void CDescriptionDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_DESCRIPTION_TEXT, m_copy.m_text);
  DDV_MaxChars(dx, m_copy.m_text, kDescriptionMaxChars);
}

// ---- target lists ------------------------------------------------------------

void CTargetList::Setup(CDialog& dialog, int listId, int labelId, int objectType,
                        const CSceneObject* current) {
  if (!SubclassDlgItem(listId, dialog.GetSafeHwnd())) return;
  ResetContent();
  if (g_pCommandPalette != nullptr) {
    const CCommandList& commands = g_pCommandPalette->GetCommands();
    for (int i = 0; i < commands.GetSize(); ++i) {
      CSceneCommand* command = commands.GetCommand(i);
      if (command->GetType() != objectType) continue;
      CSceneObject* object = static_cast<CSceneObject*>(command);
      CString label;
      object->GetListLabel(label, false);
      const int item = AddString(label);
      if (item < 0) continue;
      SetItemData(item, reinterpret_cast<DWORD_PTR>(object));
      if (object == current) SetCurSel(item);
    }
  }
  if (m_tip.Create(dialog.GetSafeHwnd())) {
    m_tip.AddTool(dialog.GetDlgItem(labelId),
                  LoadResourceString(IDS_DESELECT_TIP, "Deselect - Ctrl+click"));
    m_tip.Activate(true);
  }
}

CSceneObject* CTargetList::GetSelectedTarget() const {
  const int item = GetCurSel();
  if (item < 0) return nullptr;
  return reinterpret_cast<CSceneObject*>(GetItemData(item));
}

// Called with the list's notifications before its dialog sees them.
bool CTargetList::OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT*) {
  if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE && (::GetKeyState(VK_CONTROL) & 0x8000) &&
      GetCurSel() >= 0)
    SetCurSel(-1);
  return false;
}

// ---- decimal fields ----------------------------------------------------------

namespace {

double PowerOfTen(int n) {
  double p = 1.0;
  for (int i = 0; i < n; ++i) p *= 10.0;
  for (int i = 0; i > n; --i) p /= 10.0;
  return p;
}

// a / b rounded down or up (b > 0).
long long DivideRounded(long long a, long long b, bool down) {
  long long q = a / b;
  const long long r = a % b;
  if (r != 0 && ((r < 0) == down)) q += down ? -1 : 1;
  return q;
}

}  // namespace

double StepDecimalValue(double value, const CDecimalField& field, bool up) {
  // A value far outside 0..maximum (pasted, or not a number) is first
  // taken as two steps beyond the nearer end: a step from there gives the
  // same bound as from the value itself, and the scaled value below stays
  // far inside a long long.
  const double beyond = 2 * field.step * PowerOfTen(-field.decimals);
  if (!(value >= -beyond)) value = -beyond;
  if (value > field.maximum + beyond) value = field.maximum + beyond;
  const long long scaled = std::llround(value * PowerOfTen(field.digits - 1));
  long long grid = std::llround(PowerOfTen(field.digits - field.decimals - 1) * field.step);
  if (grid < 1) grid = 1;
  const long long q = DivideRounded(scaled, grid, up);
  double next = (static_cast<double>(q) * field.step + (up ? field.step : -field.step)) *
                PowerOfTen(-field.decimals);
  if (next < 0.0) next = 0.0;
  if (next > field.maximum) next = field.maximum;
  return next;
}

CString FormatDecimalValue(double value, const CDecimalField& field) {
  char format[16];
  FormatText(format, sizeof format, "%%.%dg", field.digits);
  char text[64];
  FormatText(text, sizeof text, format, value);
  CString shown = text;
  if (field.unit != nullptr && field.unit[0] != '\0') {
    shown += " ";
    shown += field.unit;
  }
  return shown;
}

void StepDecimalEdit(HWND edit, const NMUPDOWN* change, const CDecimalField& field) {
  char text[64] = "";
  ::GetWindowTextA(edit, text, sizeof text);
  const double value = std::strtod(text, nullptr);
  // The control turns its delta round for a range that runs downwards.
  int lower = 0, upper = 0;
  ::SendMessageA(change->hdr.hwndFrom, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
  const bool up = (change->iDelta > 0) != (upper < lower);
  ::SetWindowTextA(edit, FormatDecimalValue(StepDecimalValue(value, field, up), field));
}

void DDX_Duration(CDataExchange* dx, int id, float& seconds, int& milliseconds,
                  const CDecimalField& field) {
  DDX_FloatText(dx, id, seconds, field.unit);
  DDV_MinMaxFloat(dx, seconds, 0.0f, static_cast<float>(field.maximum));
  if (dx->m_bSaveAndValidate && !dx->SkipsField()) milliseconds = SecondsToMilliseconds(seconds);
}

int SecondsToMilliseconds(double seconds) {
  if (!(seconds > -2147483.0 && seconds < 2147483.0)) return seconds > 0 ? INT_MAX : INT_MIN;
  // Through the printed hundredths: 2.01 is 2.00999... in binary, and its
  // product by 1000 would truncate to 2009.
  char text[32];
  if (FormatText(text, sizeof text, "%.2f", seconds) < 0) return 0;
  const char* p = text;
  const bool negative = *p == '-';
  if (negative) ++p;
  long long hundredths = 0;
  for (; *p >= '0' && *p <= '9'; ++p) hundredths = hundredths * 10 + (*p - '0');
  int decimals = 0;
  if (*p == '.')
    for (++p; *p >= '0' && *p <= '9' && decimals < 2; ++p, ++decimals)
      hundredths = hundredths * 10 + (*p - '0');
  for (; decimals < 2; ++decimals) hundredths *= 10;
  const long long ms = hundredths * 10;
  return static_cast<int>(negative ? -ms : ms);
}
