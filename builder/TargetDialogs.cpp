// The dialogs of Show, Move, Hide and Line: the target object with its
// preview, the motion of a Move (start, end, step and speed) and of a Show
// (start, effect, letter by letter), and the Line's pen and two points.
// Each works on a copy that its caller takes back on OK.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "builder/MainFrame.h"
#include "builder/ObjectDialogs.h"
#include "builder/SceneView.h"
#include "builder/SmallDialogs.h"
#include "builder/resource.h"
#include "framework/App.h"
#include "framework/TextFormat.h"
#include "playback/painter/ImagePainter.h"
#include "script/Palette.h"

namespace {

BeepFunction g_beep = nullptr;

void Beep(UINT type) {
  if (g_beep != nullptr)
    g_beep(type);
  else
    ::MessageBeep(type);
}

void Enable(CDialog& dialog, int id, bool enable) { ::EnableWindow(dialog.GetDlgItem(id), enable); }
void Show(CDialog& dialog, int id, bool show) {
  ::ShowWindow(dialog.GetDlgItem(id), show ? SW_SHOW : SW_HIDE);
}

// The six radios of a position group start at its first id; "Absolute" is
// the last.
const int kModeCount = 6;
bool IsAbsolute(CDialog& dialog, int firstId) {
  return dialog.IsDlgButtonChecked(firstId + kModeStored) == BST_CHECKED;
}

// An integer spin field with a step of its own: the edit's number moved by
// one step in the arrow's direction, limited to 0..maximum and written
// back; the spin's own position is never used. A pasted number far
// outside the range is first taken as one step beyond it, which the step
// brings to the same bound without overflowing.
void StepIntegerEdit(HWND edit, const NMUPDOWN* change, int step, int maximum) {
  char text[32] = "";
  ::GetWindowTextA(edit, text, sizeof text);
  long long value = std::strtoll(text, nullptr, 10);
  if (value < -step) value = -step;
  if (value > static_cast<long long>(maximum) + step) value = static_cast<long long>(maximum) + step;
  int lower = 0, upper = 0;
  ::SendMessageA(change->hdr.hwndFrom, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
  const bool up = (change->iDelta > 0) != (upper < lower);
  value += up ? step : -step;
  if (value < 0) value = 0;
  if (value > maximum) value = maximum;
  char shown[32];
  FormatText(shown, sizeof shown, "%d", static_cast<int>(value));
  ::SetWindowTextA(edit, shown);
}

// Show's position controls: the two radio groups and their edits.
const int kShowPositionControls[] = {1370, 1371, 1372, 1373, 1374, 1375, IDC_SHOWPOS_X,
                                     1376, 1377, 1378, 1379, 1380, 1381, IDC_SHOWPOS_Y};
const int kLetterControls[] = {IDC_SHOWPOS_LETTERS, IDC_SHOWPOS_SPEED_LABEL, IDC_SHOWPOS_SPEED,
                               IDC_SHOWPOS_SPEED_SPIN};

const char* const kPenStyleNames[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot"};
const int kPenWidthCount = 5;

// Puts a new object at the end of the script: through the script view
// when the builder's frame is up (which marks the document modified), else
// straight into the live list. Like the view's insert it takes the object
// in every case: one that cannot be put there is deleted, and false is
// returned.
bool AppendObject(CSceneCommand* object) {
  CWinApp* app = AfxGetApp();
  if (auto* frame = dynamic_cast<CMainFrame*>(app != nullptr ? app->m_pMainWnd : nullptr)) {
    if (CSceneView* view = frame->GetSceneView()) return view->InsertCommand(object, true);
  }
  if (g_pCommandPalette == nullptr) {
    delete object;
    return false;
  }
  g_pCommandPalette->GetCommands().Add(object);
  return true;
}

}  // namespace

void SoundBeep(UINT type) { Beep(type); }

BeepFunction SetBeepFunction(BeepFunction beep) {
  BeepFunction previous = g_beep;
  g_beep = beep;
  return previous;
}

int StepTowardEnd(int step, int start, int end, bool* corrected) {
  const bool turn = (step > 0 && end < start) || (step < 0 && start < end);
  if (corrected != nullptr) *corrected = turn;
  return turn ? -step : step;
}

// ---------------------------------------------------------------------------
// The target dialog

const CCommandEntry CTargetObjectDlg::commandEntries[] = {
    ControlEntry(IDC_TARGET_LIST, LBN_SELCHANGE, &CTargetObjectDlg::OnSelChange),
    ControlEntry(IDC_TARGET_LIST, LBN_DBLCLK, &CTargetObjectDlg::OnDoubleClick),
    CommandEntry(IDC_TARGET_POSITION, &CTargetObjectDlg::OnPosition),
    CommandEntry(IDC_TARGET_COLOURS, &CTargetObjectDlg::OnColours),
    CommandEntry(IDC_TARGET_NEW_IMAGE, &CTargetObjectDlg::OnNewImage),
};
LW_IMPLEMENT_COMMAND_TABLE(CTargetObjectDlg, CEditDialog)

CTargetObjectDlg::CTargetObjectDlg(const CObjectRefAttribute& source, CSceneCommand* command,
                                   HWND parent)
    : CAttributeEditDialog<CObjectRefAttribute>(IDD_TARGET_OBJECT, source, command, parent) {}

INT_PTR EditTargetCommand(CSceneCommand& command, HWND parent) {
  switch (command.GetType()) {
    case kTypeShow:
      return EditAttributeCommand<CTargetObjectDlg>(command,
                                                    static_cast<CShowCommand&>(command).m_ref,
                                                    parent);
    case kTypeMove:
      return EditAttributeCommand<CTargetObjectDlg>(command,
                                                    static_cast<CMoveCommand&>(command).m_ref,
                                                    parent);
    case kTypeHide:
      return EditAttributeCommand<CTargetObjectDlg>(command,
                                                    static_cast<CHideCommand&>(command).m_ref,
                                                    parent);
    default:
      return IDCANCEL;
  }
}

bool CTargetObjectDlg::OnInitDialog() {
  CAttributeEditDialog<CObjectRefAttribute>::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_OBJECT_PREVIEW, m_hWnd);
  m_position.SubclassDlgItem(IDC_TARGET_POSITION, m_hWnd);
  FillList(m_copy.m_pTarget);
  m_list.SetHorizontalExtent(500);
  SetCommentCaption();
  return true;
}

void CTargetObjectDlg::FillList(const CSceneObject* current) {
  m_list.UnsubclassWindow();
  m_list.Setup(*this, IDC_TARGET_LIST, IDC_TARGET_LABEL, kTypeImageText, current);
  if (m_pCommand != nullptr && m_pCommand->GetType() == kTypeHide) {
    Show(*this, IDC_TARGET_POSITION, false);
    Show(*this, IDC_TARGET_COLOURS, false);
    Show(*this, IDC_TARGET_NEW_IMAGE, false);
    // The template's default button is hidden now: Enter means OK.
    m_position.SetDefault(0);
    SetDefID(IDOK);
  }
  ShowSelected();
}

void CTargetObjectDlg::ShowSelected() {
  auto* object = static_cast<CImageTextObject*>(m_list.GetSelectedTarget());
  if (object != nullptr)
    m_preview.ShowObject(object);
  else
    m_preview.ShowNoImage();
}

bool CTargetObjectDlg::OnSelChange(UINT) {
  ShowSelected();
  return true;
}

bool CTargetObjectDlg::OnDoubleClick(UINT) {
  if (!(::GetKeyState(VK_CONTROL) & 0x8000)) OnOK();
  return true;
}

bool CTargetObjectDlg::OnPosition(UINT id) {
  if (m_pCommand == nullptr) return true;
  INT_PTR result = IDCANCEL;
  if (m_pCommand->GetType() == kTypeMove) {
    CPositionDlg dlg(m_copy.m_motion, m_pCommand, m_hWnd);
    result = dlg.DoModal();
    if (result == IDOK) m_copy.m_motion.CopyFrom(dlg.m_copy);
  } else if (m_pCommand->GetType() == kTypeShow) {
    const auto* object = static_cast<const CImageTextObject*>(m_list.GetSelectedTarget());
    CShowPositionDlg dlg(m_copy.m_motion, m_pCommand, object != nullptr && object->IsText(),
                         m_hWnd);
    result = dlg.DoModal();
    if (result == IDOK) m_copy.m_motion.CopyFrom(dlg.m_copy);
  }
  if (result == IDOK) {
    SetDefID(id);
    m_position.SetDefault(1);
    GotoDlgCtrl(GetDlgItem(static_cast<int>(id)));
  }
  return true;
}

bool CTargetObjectDlg::OnColours(UINT id) {
  CColourDlg dlg(m_copy.m_colour, m_pCommand, m_hWnd);
  if (dlg.DoModal() != IDOK) return true;
  m_copy.m_colour.CopyFrom(dlg.m_copy);
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

// "New image": a new object edited in its own dialog and, on OK, put at
// the end of the script and chosen here.
bool CTargetObjectDlg::OnNewImage(UINT) {
  auto* object = new CImageTextObject;
  if (EditImageTextCommand(*object, m_hWnd) != IDOK) {
    delete object;
    return true;
  }
  // The script owns the object from here on, also when it refuses it.
  if (!AppendObject(object)) return true;
  // The last object of the list is the new one.
  FillList(nullptr);
  if (m_list.GetCount() > 0) m_list.SetCurSel(m_list.GetCount() - 1);
  ShowSelected();
  return true;
}

void CTargetObjectDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_copy.m_pTarget = m_list.GetSelectedTarget();
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------
// Move's position dialog

namespace {
const int kMoveGroups[4] = {IDC_POS_START_X_MODE, IDC_POS_START_Y_MODE, IDC_POS_END_X_MODE,
                            IDC_POS_END_Y_MODE};
const int kMoveEdits[4] = {IDC_POS_START_X, IDC_POS_START_Y, IDC_POS_END_X, IDC_POS_END_Y};
const int kCoordinateLimit = 5000;
}  // namespace

const CCommandEntry CPositionDlg::commandEntries[] = {
    CommandRangeEntry(IDC_POS_START_X_MODE, IDC_POS_END_Y_MODE + kModeCount - 1,
                      &CPositionDlg::OnMode),
    NotifyEntry(IDC_POS_SPEED_SPIN, UDN_DELTAPOS, &CPositionDlg::OnSpeedSpin),
};
LW_IMPLEMENT_COMMAND_TABLE(CPositionDlg, CEditDialog)

CPositionDlg::CPositionDlg(const CMotionAttribute& source, CSceneCommand* command, HWND parent)
    : CAttributeEditDialog<CMotionAttribute>(IDD_POSITION, source, command, parent) {}

void CPositionDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, IDC_POS_START_X_MODE, m_copy.m_startModeX);
  DDX_Radio(dx, IDC_POS_START_Y_MODE, m_copy.m_startModeY);
  DDX_Radio(dx, IDC_POS_END_X_MODE, m_copy.m_endModeX);
  DDX_Radio(dx, IDC_POS_END_Y_MODE, m_copy.m_endModeY);
  int* const points[4] = {&m_copy.m_startX, &m_copy.m_startY, &m_copy.m_endX, &m_copy.m_endY};
  for (int i = 0; i < 4; ++i) {
    DDX_Text(dx, kMoveEdits[i], *points[i]);
    DDV_MinMaxInt(dx, *points[i], -kCoordinateLimit, kCoordinateLimit);
  }
  DDX_Text(dx, IDC_POS_STEP, m_copy.m_stepX);
  DDV_MinMaxInt(dx, m_copy.m_stepX, -kCoordinateLimit, kCoordinateLimit);
  DDX_Text(dx, IDC_POS_SPEED, m_copy.m_moveSpeed);
  DDV_MinMaxInt(dx, m_copy.m_moveSpeed, 0, kSpeedMax);
  DDX_Check(dx, IDC_POS_KEEP_MOVING, m_copy.m_keepWhileMoving);
  DDX_Check(dx, IDC_POS_RESTORE, m_copy.m_restoreAfterHide);
}

bool CPositionDlg::OnInitDialog() {
  CAttributeEditDialog<CMotionAttribute>::OnInitDialog();
  CheckRadioButton(IDC_POS_ALONG_X, IDC_POS_ALONG_Y,
                   m_copy.m_stepAlongX ? IDC_POS_ALONG_X : IDC_POS_ALONG_Y);
  ::SendMessageA(GetDlgItem(IDC_POS_STEP_SPIN), UDM_SETRANGE32, -kCoordinateLimit,
                 kCoordinateLimit);
  SetEditCaption("Position");
  EnableCoordinates();
  return true;
}

void CPositionDlg::EnableCoordinates() {
  for (int i = 0; i < 4; ++i) Enable(*this, kMoveEdits[i], IsAbsolute(*this, kMoveGroups[i]));
}

bool CPositionDlg::OnMode(UINT) {
  EnableCoordinates();
  return true;
}

bool CPositionDlg::OnSpeedSpin(NMHDR* hdr, LRESULT* result) {
  StepIntegerEdit(GetDlgItem(IDC_POS_SPEED), reinterpret_cast<NMUPDOWN*>(hdr), kSpeedStep,
                  kSpeedMax);
  *result = 1;
  return true;
}

// The step points from the start to the end along its axis; each step
// turned round is told by a beep. A Move has no effect.
void CPositionDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_copy.m_stepAlongX = IsDlgButtonChecked(IDC_POS_ALONG_X) == BST_CHECKED ? 1 : 0;
  bool corrected = false;
  m_copy.m_stepX = m_copy.m_stepAlongX
                       ? StepTowardEnd(m_copy.m_stepX, m_copy.m_startX, m_copy.m_endX, &corrected)
                       : StepTowardEnd(m_copy.m_stepX, m_copy.m_startY, m_copy.m_endY, &corrected);
  if (corrected) Beep(0xFFFFFFFF);
  m_copy.m_effect = 0;
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------
// Show's position dialog

const CCommandEntry CShowPositionDlg::commandEntries[] = {
    CommandRangeEntry(IDC_SHOWPOS_X_MODE, IDC_SHOWPOS_Y_MODE + kModeCount - 1,
                      &CShowPositionDlg::OnMode),
    ControlEntry(IDC_SHOWPOS_EFFECT, CBN_SELCHANGE, &CShowPositionDlg::OnEffect),
    ControlEntry(IDC_SHOWPOS_PARAM, TB_ENDTRACK, &CShowPositionDlg::OnSlider),
    CommandEntry(IDC_SHOWPOS_LETTERS, &CShowPositionDlg::OnLetters),
    NotifyEntry(IDC_SHOWPOS_SPEED_SPIN, UDN_DELTAPOS, &CShowPositionDlg::OnLetterSpin),
};
LW_IMPLEMENT_COMMAND_TABLE(CShowPositionDlg, CEditDialog)

CShowPositionDlg::CShowPositionDlg(const CMotionAttribute& source, CSceneCommand* command,
                                   bool isText, HWND parent)
    : CAttributeEditDialog<CMotionAttribute>(IDD_SHOW_POSITION, source, command, parent),
      m_isText(isText) {}

void CShowPositionDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, IDC_SHOWPOS_X_MODE, m_copy.m_startModeX);
  DDX_Radio(dx, IDC_SHOWPOS_Y_MODE, m_copy.m_startModeY);
  // A coordinate is open, and so read and checked, only in mode 5.
  DDX_Text(dx, IDC_SHOWPOS_X, m_copy.m_startX);
  DDV_MinMaxInt(dx, m_copy.m_startX, -kCoordinateLimit, kCoordinateLimit);
  DDX_Text(dx, IDC_SHOWPOS_Y, m_copy.m_startY);
  DDV_MinMaxInt(dx, m_copy.m_startY, -kCoordinateLimit, kCoordinateLimit);
  DDX_Text(dx, IDC_SHOWPOS_SPEED, m_copy.m_letterSpeed);
  DDV_MinMaxInt(dx, m_copy.m_letterSpeed, 0, kLetterSpeedMax);
  DDX_Check(dx, IDC_SHOWPOS_LETTERS, m_copy.m_letterByLetter);
  DDX_Check(dx, IDC_POS_RESTORE, m_copy.m_restoreAfterHide);
  DDX_CBIndex(dx, IDC_SHOWPOS_EFFECT, m_copy.m_effect);
  DDX_Slider(dx, IDC_SHOWPOS_PARAM, m_copy.m_effectParam);
}

bool CShowPositionDlg::OnInitDialog() {
  // The lists and ranges first: the exchange selects in them.
  const HWND effects = GetDlgItem(IDC_SHOWPOS_EFFECT);
  for (int i = 0; i < kEffectCount; ++i)
    ::SendMessageA(effects, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetEffectName(i)));
  const HWND slider = GetDlgItem(IDC_SHOWPOS_PARAM);
  ::SendMessageA(slider, TBM_SETLINESIZE, 0, 1);
  ::SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(100, 1000));
  if (m_pCommand != nullptr && m_pCommand->GetType() == kTypeShow) {
    ApplyEffect(false);
  } else {
    Enable(*this, IDC_SHOWPOS_X, m_copy.m_startModeX == kModeStored);
    Enable(*this, IDC_SHOWPOS_Y, m_copy.m_startModeY == kModeStored);
  }
  CAttributeEditDialog<CMotionAttribute>::OnInitDialog();
  ShowEffectParam();
  for (int id : kLetterControls) Show(*this, id, m_isText);
  SetEditCaption("Position");
  EnableLetterSpeed();
  return true;
}

// Effects 1 and 2 (Tile, Stretch) cover the screen: the position, the
// letters and the restore mean nothing then and are cleared. Any other
// effect gives them back (setFlags: with keep while moving and restore
// after hide set again).
void CShowPositionDlg::ApplyEffect(bool setFlags) {
  const bool covers = m_copy.m_effect == 1 || m_copy.m_effect == 2;
  for (int id : kShowPositionControls) Enable(*this, id, !covers);
  for (int id : kLetterControls) Enable(*this, id, !covers);
  Enable(*this, IDC_POS_RESTORE, !covers);
  if (covers) {
    m_copy.m_keepWhileMoving = 0;
    m_copy.m_letterByLetter = 0;
    m_copy.m_restoreAfterHide = 0;
    return;
  }
  if (setFlags) {
    m_copy.m_keepWhileMoving = 1;
    m_copy.m_restoreAfterHide = 1;
  }
  Enable(*this, IDC_SHOWPOS_X, m_copy.m_startModeX == kModeStored);
  Enable(*this, IDC_SHOWPOS_Y, m_copy.m_startModeY == kModeStored);
}

void CShowPositionDlg::EnableLetterSpeed() {
  const bool on = IsDlgButtonChecked(IDC_SHOWPOS_LETTERS) == BST_CHECKED &&
                  ::IsWindowEnabled(GetDlgItem(IDC_SHOWPOS_LETTERS));
  Enable(*this, IDC_SHOWPOS_SPEED_LABEL, on);
  Enable(*this, IDC_SHOWPOS_SPEED, on);
  Enable(*this, IDC_SHOWPOS_SPEED_SPIN, on);
}

void CShowPositionDlg::ShowEffectParam() {
  char text[16];
  FormatText(text, sizeof text, "%d", m_copy.m_effectParam);
  SetDlgItemText(IDC_SHOWPOS_PARAM_VALUE, text);
}

bool CShowPositionDlg::OnMode(UINT) {
  if (::IsWindowEnabled(GetDlgItem(IDC_SHOWPOS_X_MODE))) {
    Enable(*this, IDC_SHOWPOS_X, IsAbsolute(*this, IDC_SHOWPOS_X_MODE));
    Enable(*this, IDC_SHOWPOS_Y, IsAbsolute(*this, IDC_SHOWPOS_Y_MODE));
  }
  return true;
}

bool CShowPositionDlg::OnEffect(UINT) {
  if (!UpdateData(true)) return true;
  ApplyEffect(true);
  UpdateData(false);
  EnableLetterSpeed();
  return true;
}

bool CShowPositionDlg::OnSlider(UINT) {
  if (UpdateData(true)) ShowEffectParam();
  return true;
}

bool CShowPositionDlg::OnLetters(UINT) {
  EnableLetterSpeed();
  return true;
}

bool CShowPositionDlg::OnLetterSpin(NMHDR* hdr, LRESULT* result) {
  StepIntegerEdit(GetDlgItem(IDC_SHOWPOS_SPEED), reinterpret_cast<NMUPDOWN*>(hdr), kLetterStep,
                  kLetterSpeedMax);
  *result = 1;
  return true;
}

// ---------------------------------------------------------------------------
// Line

const CCommandEntry CLineDlg::commandEntries[] = {
    ControlEntry(IDC_LINE_STYLE, CBN_SELCHANGE, &CLineDlg::OnStyle),
    ControlEntry(IDC_LINE_WIDTH, CBN_SELCHANGE, &CLineDlg::OnWidth),
    CommandEntry(IDC_TARGET_POSITION, &CLineDlg::OnPosition),
    CommandEntry(IDC_COLOUR_CHOOSE, &CLineDlg::OnColour),
};
LW_IMPLEMENT_COMMAND_TABLE(CLineDlg, CEditDialog)

CLineDlg::CLineDlg(CLineCommand& command, HWND parent)
    : CCommandEditDialog<CLineCommand>(IDD_LINE, command, parent) {}

INT_PTR EditLineCommand(CSceneCommand& command, HWND parent) {
  return EditWholeCommand<CLineDlg>(static_cast<CLineCommand&>(command), parent);
}

bool CLineDlg::OnInitDialog() {
  CCommandEditDialog<CLineCommand>::OnInitDialog();
  const HWND style = GetDlgItem(IDC_LINE_STYLE);
  for (const char* name : kPenStyleNames)
    ::SendMessageA(style, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  ::SendMessageA(style, CB_SETCURSEL, static_cast<WPARAM>(m_copy.m_penStyle), 0);
  const HWND width = GetDlgItem(IDC_LINE_WIDTH);
  ::SendMessageA(width, CB_SETITEMHEIGHT, 0, kWidthItemHeight);
  for (int i = 0; i < kPenWidthCount; ++i) ::SendMessageA(width, CB_ADDSTRING, 0, i + 1);
  int selected = m_copy.m_penWidth - 1;
  if (selected < 0) selected = 0;
  if (selected >= kPenWidthCount) selected = kPenWidthCount - 1;
  ::SendMessageA(width, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  EnableStyle();
  SetCommentCaption();
  return true;
}

void CLineDlg::EnableStyle() {
  Enable(*this, IDC_LINE_STYLE,
         ::SendMessageA(GetDlgItem(IDC_LINE_WIDTH), CB_GETCURSEL, 0, 0) == 0);
}

bool CLineDlg::OnStyle(UINT) {
  const LRESULT style = ::SendMessageA(GetDlgItem(IDC_LINE_STYLE), CB_GETCURSEL, 0, 0);
  if (style >= 0) m_copy.m_penStyle = static_cast<int>(style);
  ::InvalidateRect(GetDlgItem(IDC_LINE_WIDTH), nullptr, true);
  return true;
}

bool CLineDlg::OnWidth(UINT) {
  EnableStyle();
  return true;
}

bool CLineDlg::OnPosition(UINT id) {
  CLinePositionDlg dlg(m_copy.m_motion, &m_copy, m_hWnd);
  if (dlg.DoModal() != IDOK) return true;
  m_copy.m_motion.CopyFrom(dlg.m_copy);
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

bool CLineDlg::OnColour(UINT id) {
  CColourDlg dlg(m_copy.m_colour, m_pCommand, m_hWnd);
  if (dlg.DoModal() != IDOK) return true;
  m_copy.m_colour.CopyFrom(dlg.m_copy);
  ::InvalidateRect(GetDlgItem(IDC_LINE_WIDTH), nullptr, true);
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

void CLineDlg::OnOK() {
  if (!UpdateData(true)) return;
  const LRESULT width = ::SendMessageA(GetDlgItem(IDC_LINE_WIDTH), CB_GETCURSEL, 0, 0);
  if (width >= 0) m_copy.m_penWidth = static_cast<int>(width) + 1;
  EndDialog(IDOK);
}

// A width item: a line of the item's width in the Line's style and colour
// across the item, 8 pixels in from each side; the focused item framed.
void CLineDlg::DrawWidthItem(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  CRect r(item.rcItem);
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
  if (static_cast<int>(item.itemID) >= 0) {
    CPen pen(m_copy.m_penStyle, static_cast<int>(item.itemID) + 1, m_copy.m_colour.m_colour);
    CSelectObject selected(dc, pen.GetSafeHandle());
    const int y = (r.top + r.bottom) / 2;
    ::MoveToEx(dc, r.left + 8, y, nullptr);
    ::LineTo(dc, r.right - 8, y);
  }
  if (item.itemState & ODS_FOCUS) {
    ::DrawFocusRect(dc, &r);
    CRect inner = r;
    inner.DeflateRect(1, 1);
    CBrush magenta(0xFF00FF);
    ::FrameRect(dc, &inner, static_cast<HBRUSH>(magenta.GetSafeHandle()));
  }
}

LRESULT CLineDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DRAWITEM && wp == IDC_LINE_WIDTH) {
    DrawWidthItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    return TRUE;
  }
  return CCommandEditDialog<CLineCommand>::WindowProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// Line's position dialog

namespace {
// Each pair: "Random" (index 0), "Absolute" (1).
const int kLineGroups[4] = {IDC_LINEPOS_START_X_RANDOM, IDC_LINEPOS_START_Y_RANDOM,
                            IDC_LINEPOS_END_X_RANDOM, IDC_LINEPOS_END_Y_RANDOM};
const int kLineAbsolute[4] = {IDC_LINEPOS_START_X_ABSOLUTE, IDC_LINEPOS_START_Y_ABSOLUTE,
                              IDC_LINEPOS_END_X_ABSOLUTE, IDC_LINEPOS_END_Y_ABSOLUTE};
}  // namespace

const CCommandEntry CLinePositionDlg::commandEntries[] = {
    CommandRangeEntry(IDC_LINEPOS_START_X_RANDOM, IDC_LINEPOS_END_Y_ABSOLUTE,
                      &CLinePositionDlg::OnMode),
};
LW_IMPLEMENT_COMMAND_TABLE(CLinePositionDlg, CEditDialog)

CLinePositionDlg::CLinePositionDlg(const CMotionAttribute& source, CSceneCommand* command,
                                   HWND parent)
    : CAttributeEditDialog<CMotionAttribute>(IDD_LINE_POSITION, source, command, parent) {}

void CLinePositionDlg::DoDataExchange(CDataExchange* dx) {
  int* const modes[4] = {&m_copy.m_startModeX, &m_copy.m_startModeY, &m_copy.m_endModeX,
                         &m_copy.m_endModeY};
  int* const points[4] = {&m_copy.m_startX, &m_copy.m_startY, &m_copy.m_endX, &m_copy.m_endY};
  for (int i = 0; i < 4; ++i) {
    int absolute = *modes[i] != kModeRandom ? 1 : 0;
    DDX_Radio(dx, kLineGroups[i], absolute);
    DDX_Text(dx, kMoveEdits[i], *points[i]);
    DDV_MinMaxInt(dx, *points[i], -kCoordinateLimit, kCoordinateLimit);
    if (dx->m_bSaveAndValidate) *modes[i] = absolute == 1 ? kModeStored : kModeRandom;
  }
}

bool CLinePositionDlg::OnInitDialog() {
  CAttributeEditDialog<CMotionAttribute>::OnInitDialog();
  SetEditCaption("Position");
  EnableCoordinates();
  return true;
}

void CLinePositionDlg::EnableCoordinates() {
  for (int i = 0; i < 4; ++i)
    Enable(*this, kMoveEdits[i], IsDlgButtonChecked(kLineAbsolute[i]) == BST_CHECKED);
}

bool CLinePositionDlg::OnMode(UINT) {
  EnableCoordinates();
  return true;
}
