// The sequence step's property pages and the insert-sequence dialogs.
#include "wizards/WizardPages.h"

#include <commctrl.h>

#include <memory>

#include "framework/DocView.h"
#include "framework/Seams.h"
#include "framework/TextFormat.h"
#include "playback/painter/ImagePainter.h"
#include "wizards/WizardPagesResource.h"

namespace {

// The six position groups of the picture and text templates, in the order
// show x, show y, start x, start y, end x, end y: each group's first radio
// (Left/Top, Center, Right/Bottom, Random, Random (Preserve), Absolute),
// its value edit, and the sequence fields it edits.
const int kGroupFirst[6] = {IDC_WZ_SHOW_X_MODE, IDC_WZ_SHOW_Y_MODE, IDC_WZ_START_X_MODE,
                            IDC_WZ_START_Y_MODE, IDC_WZ_END_X_MODE,  IDC_WZ_END_Y_MODE};
const int kGroupEdit[6] = {IDC_WZ_SHOW_X, IDC_WZ_SHOW_Y, IDC_WZ_START_X,
                           IDC_WZ_START_Y, IDC_WZ_END_X, IDC_WZ_END_Y};
int CWizardSequence::*const kGroupMode[6] = {
    &CWizardSequence::m_showModeX,  &CWizardSequence::m_showModeY, &CWizardSequence::m_startModeX,
    &CWizardSequence::m_startModeY, &CWizardSequence::m_endModeX,  &CWizardSequence::m_endModeY};
int CWizardSequence::*const kGroupValue[6] = {
    &CWizardSequence::m_showX,  &CWizardSequence::m_showY, &CWizardSequence::m_startX,
    &CWizardSequence::m_startY, &CWizardSequence::m_endX,  &CWizardSequence::m_endY};
const int kAbsolute = 5;  // the group's last radio
const int kRadiosPerGroup = 6;

void ShowItem(HWND dialog, int id, bool on) {
  if (HWND control = ::GetDlgItem(dialog, id)) ::ShowWindow(control, on ? SW_SHOW : SW_HIDE);
}

void EnableItem(HWND dialog, int id, bool on) {
  if (HWND control = ::GetDlgItem(dialog, id)) ::EnableWindow(control, on);
}

bool IsChecked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// An integer field. Strict: a text that is not a number in the range
// fails the exchange with the framework's message. Lenient (a page, read
// back at every keystroke): a text that is not a number yet keeps the
// value, and a number outside the range is taken as its nearest bound.
void ExchangeInt(CDataExchange* dx, int id, int& value, int minValue, int maxValue, bool strict) {
  if (strict || !dx->m_bSaveAndValidate) {
    DDX_Text(dx, id, value);
    DDV_MinMaxInt(dx, value, minValue, maxValue);
    return;
  }
  BOOL ok = FALSE;
  const int read = static_cast<int>(::GetDlgItemInt(dx->m_pDlgWnd->GetSafeHwnd(), id, &ok, TRUE));
  if (ok) value = read < minValue ? minValue : read > maxValue ? maxValue : read;
}

// The fields the picture and text templates share with their sequence.
void ExchangeDisplaySequence(CDataExchange* dx, CWizardSequence& s, bool strict) {
  DDX_Radio(dx, IDC_WZ_SHOW, s.m_move);
  if (s.m_move < 0) s.m_move = 0;
  for (int g = 0; g < 6; ++g) {
    int mode = s.*kGroupMode[g];
    DDX_Radio(dx, kGroupFirst[g], mode);
    if (mode >= 0) s.*kGroupMode[g] = mode;
    ExchangeInt(dx, kGroupEdit[g], s.*kGroupValue[g], -5000, 5000, strict);
  }
  DDX_Check(dx, IDC_WZ_CLEAR, s.m_clearScreen);
  DDX_Check(dx, IDC_WZ_HIDE, s.m_hide);
  DDX_Check(dx, IDC_WZ_WAIT, s.m_wait);
  ExchangeInt(dx, IDC_WZ_WAIT_SECONDS, s.m_waitSeconds, 1, 100, strict);
  DDX_CBIndex(dx, IDC_WZ_EFFECT, s.m_effect);
  if (s.m_effect < 0) s.m_effect = kEffectRandom;
  DDX_Slider(dx, IDC_WZ_EFFECT_SPEED, s.m_effectSpeed);
}

// Each position edit is usable exactly while its group's "Absolute" is
// checked.
void ApplyValueBoxRule(HWND dialog) {
  for (int g = 0; g < 6; ++g)
    EnableItem(dialog, kGroupEdit[g], IsChecked(dialog, kGroupFirst[g] + kAbsolute));
}

// Show or Move: which position groups, which labels. The pages hide the
// whole effect group in Move mode; the insert dialogs only the slider's
// "Max" and "Pause" labels.
void SetSequenceModeControls(HWND dialog, bool move, bool effectsOnlyInShow) {
  for (int g = 0; g < 6; ++g) {
    const bool showGroup = g < 2;
    for (int r = 0; r < kRadiosPerGroup; ++r) ShowItem(dialog, kGroupFirst[g] + r, showGroup != move);
    ShowItem(dialog, kGroupEdit[g], showGroup != move);
  }
  ShowItem(dialog, IDC_WZ_END_X_FRAME, move);
  ShowItem(dialog, IDC_WZ_END_Y_FRAME, move);
  ShowItem(dialog, IDC_WZ_SPEED_MAX, !move);
  ShowItem(dialog, IDC_WZ_SPEED_PAUSE, !move);
  if (effectsOnlyInShow) {
    for (int id : {IDC_WZ_EFFECT_FRAME, IDC_WZ_EFFECT, IDC_WZ_EFFECT_SPEED, IDC_WZ_SPEED_VALUE,
                   IDC_WZ_SPEED_MIN})
      ShowItem(dialog, id, !move);
  }
  ::SetDlgItemTextA(dialog, IDC_WZ_FIRST_X_FRAME, move ? "Start Position - X" : "Show Position - X");
  ::SetDlgItemTextA(dialog, IDC_WZ_FIRST_Y_FRAME, move ? "Start Position - Y" : "Show Position - Y");
  ::SetDlgItemTextA(dialog, IDC_WZ_WAIT_LABEL,
                    move ? "second(s) after final positioning"
                         : "second(s) before moving on to next sequence");
}

// The parts of the picture and text templates that are filled once.
void InitDisplayControls(HWND dialog) {
  const HWND spin = ::GetDlgItem(dialog, IDC_WZ_WAIT_SPIN);
  ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDC_WZ_WAIT_SECONDS)), 0);
  ::SendMessageA(spin, UDM_SETRANGE32, 1, 100);
  const HWND effects = ::GetDlgItem(dialog, IDC_WZ_EFFECT);
  for (int id = 0; id < kEffectCount; ++id)
    ::SendMessageA(effects, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetEffectName(id)));
  const HWND slider = ::GetDlgItem(dialog, IDC_WZ_EFFECT_SPEED);
  ::SendMessageA(slider, TBM_SETLINESIZE, 0, 1);
  ::SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(100, 1000));
}

void ShowSpeedOf(HWND dialog, const CWizardSequence& s) {
  char text[16];
  FormatText(text, sizeof text, "%d", s.m_effectSpeed);
  ::SetDlgItemTextA(dialog, IDC_WZ_SPEED_VALUE, text);
}

// The list's selected entries, in list order: count and indices (one
// spare entry), or 0 and null when none is selected.
void TakeSelection(HWND list, CSequenceSelection& selection) {
  delete[] selection.m_pIndices;
  selection.m_pIndices = nullptr;
  selection.m_count = 0;
  const int count = static_cast<int>(::SendMessageA(list, LB_GETSELCOUNT, 0, 0));
  if (count <= 0) return;
  selection.m_pIndices = new int[count + 1]();
  selection.m_count = static_cast<int>(
      ::SendMessageA(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(selection.m_pIndices)));
}

void SelectAll(HWND list, bool on) { ::SendMessageA(list, LB_SETSEL, on, -1); }

const char kNoSelection[] = "You must select item to make sequence";

}  // namespace

// ---------------------------------------------------------------------------
// What the insert dialogs share.

const CCommandEntry CSequenceInsertDlg::commandEntries[] = {
    CommandEntry(IDC_WZ_SELECT_ALL, &CSequenceInsertDlg::OnSelectAll),
    CommandEntry(IDC_WZ_DESELECT_ALL, &CSequenceInsertDlg::OnDeselectAll),
    CommandEntry(IDC_WZ_ADD_ALL, &CSequenceInsertDlg::OnAddAll),
};
LW_IMPLEMENT_COMMAND_TABLE(CSequenceInsertDlg, CMediaTesting<CCmdDialog>)

CSequenceInsertDlg::CSequenceInsertDlg(UINT templateId, int kind, HWND parent)
    : CMediaTesting<CCmdDialog>(templateId, parent), m_sequence(kind) {}

CSequenceInsertDlg::~CSequenceInsertDlg() { delete[] m_selection.m_pIndices; }

bool CSequenceInsertDlg::OnInitDialog() {
  m_add.SubclassDlgItem(IDOK, m_hWnd);
  const HWND list = GetDlgItem(IDC_WZ_ITEMS);
  for (int i = 0; i < m_items.GetSize(); ++i)
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ItemLabel(i).GetString()));
  if (m_items.GetSize() > 0) {
    ::SendMessageA(list, LB_SETSEL, TRUE, 0);
    ::SendMessageA(list, LB_SETCARETINDEX, 0, FALSE);
  }
  return CMediaTesting<CCmdDialog>::OnInitDialog();
}

int CSequenceInsertDlg::FocusedItem() const {
  const int focused = static_cast<int>(::SendMessageA(GetDlgItem(IDC_WZ_ITEMS), LB_GETCARETINDEX, 0, 0));
  return focused >= 0 && focused < m_items.GetSize() ? focused : -1;
}

bool CSequenceInsertDlg::OnSelectAll(UINT) {
  SelectAll(GetDlgItem(IDC_WZ_ITEMS), true);
  return true;
}

bool CSequenceInsertDlg::OnDeselectAll(UINT) {
  SelectAll(GetDlgItem(IDC_WZ_ITEMS), false);
  return true;
}

bool CSequenceInsertDlg::OnAddAll(UINT) {
  SelectAll(GetDlgItem(IDC_WZ_ITEMS), true);
  OnOK();
  return true;
}

void CSequenceInsertDlg::OnOK() {
  m_player.Stop();
  if (!ReadFields()) return;
  TakeSelection(GetDlgItem(IDC_WZ_ITEMS), m_selection);
  if (m_selection.m_count == 0) {
    AfxMessageBox(kNoSelection);
    return;
  }
  EndDialog(IDOK);
}

// ---------------------------------------------------------------------------
// Picture and text insert dialogs.

const CCommandEntry CDisplaySequenceDlg::commandEntries[] = {
    CommandEntry(IDC_WZ_SHOW, &CDisplaySequenceDlg::OnModeClicked),
    CommandEntry(IDC_WZ_MOVE, &CDisplaySequenceDlg::OnModeClicked),
    CommandRangeEntry(IDC_WZ_SHOW_X_MODE, IDC_WZ_END_Y_MODE + kRadiosPerGroup - 1,
                      &CDisplaySequenceDlg::OnPositionClicked),
    ControlEntry(IDC_WZ_ITEMS, LBN_SELCHANGE, &CDisplaySequenceDlg::OnFocusChanged),
    ControlEntry(IDC_WZ_EFFECT_SPEED, TB_ENDTRACK, &CDisplaySequenceDlg::OnSlider),
};
LW_IMPLEMENT_COMMAND_TABLE(CDisplaySequenceDlg, CSequenceInsertDlg)

CDisplaySequenceDlg::CDisplaySequenceDlg(UINT templateId, bool texts, HWND parent)
    : CSequenceInsertDlg(templateId, texts ? 2 : 0, parent), m_texts(texts) {}

CImageSequenceDlg::CImageSequenceDlg(HWND parent)
    : CDisplaySequenceDlg(IDD_WZ_INSERT_IMAGES, false, parent) {}

CTextSequenceDlg::CTextSequenceDlg(HWND parent)
    : CDisplaySequenceDlg(IDD_WZ_INSERT_TEXTS, true, parent) {}

CString CDisplaySequenceDlg::ItemLabel(int index) const {
  const auto* item = static_cast<const CImageTextObject*>(m_items.GetAt(index));
  return m_texts ? item->m_text : item->m_displayName;
}

bool CDisplaySequenceDlg::OnInitDialog() {
  m_preview.SubclassDlgItem(IDC_WZ_PREVIEW, m_hWnd);
  InitDisplayControls(m_hWnd);
  if (m_texts) m_sequence.SetKind(2);
  CSequenceInsertDlg::OnInitDialog();
  ShowFocusedItem();
  OnModeClicked(0);
  ShowSpeed();
  return true;
}

void CDisplaySequenceDlg::DoDataExchange(CDataExchange* dx) {
  ExchangeDisplaySequence(dx, m_sequence, dx->m_bSaveAndValidate && m_validating);
}

bool CDisplaySequenceDlg::ReadFields() {
  m_validating = true;
  const bool valid = UpdateData(true);
  m_validating = false;
  return valid;
}

void CDisplaySequenceDlg::ShowFocusedItem() {
  const int focused = FocusedItem();
  if (focused < 0) return;
  m_scratch.CopyFrom(*static_cast<const CImageTextObject*>(m_items.GetAt(focused)));
  m_preview.ShowObject(&m_scratch);
}

void CDisplaySequenceDlg::ShowSpeed() { ShowSpeedOf(m_hWnd, m_sequence); }

bool CDisplaySequenceDlg::OnModeClicked(UINT) {
  SetSequenceModeControls(m_hWnd, IsChecked(m_hWnd, IDC_WZ_MOVE), false);
  ApplyValueBoxRule(m_hWnd);
  UpdateData(true);
  return true;
}

bool CDisplaySequenceDlg::OnPositionClicked(UINT) {
  ApplyValueBoxRule(m_hWnd);
  UpdateData(true);
  return true;
}

bool CDisplaySequenceDlg::OnFocusChanged(UINT) {
  ShowFocusedItem();
  return true;
}

bool CDisplaySequenceDlg::OnSlider(UINT) {
  UpdateData(true);
  ShowSpeed();
  return true;
}

// ---------------------------------------------------------------------------
// Media insert dialog.

const CCommandEntry CMediaSequenceDlg::commandEntries[] = {
    ControlEntry(IDC_WZ_ITEMS, LBN_SELCHANGE, &CMediaSequenceDlg::OnFocusChanged),
    CommandRangeEntry(IDC_WZ_X_ABSOLUTE, IDC_WZ_Y_CENTERED, &CMediaSequenceDlg::OnPositionClicked),
    CommandEntry(IDC_WZ_WAIT_MEDIA, &CMediaSequenceDlg::OnWaitClicked),
    CommandEntry(IDC_WZ_TEST, &CMediaSequenceDlg::OnTest),
    CommandEntry(IDC_WZ_STOP, &CMediaSequenceDlg::OnStopTest),
};
LW_IMPLEMENT_COMMAND_TABLE(CMediaSequenceDlg, CSequenceInsertDlg)

CMediaSequenceDlg::CMediaSequenceDlg(HWND parent) : CSequenceInsertDlg(IDD_WZ_INSERT_MEDIA, 1, parent) {}

CString CMediaSequenceDlg::ItemLabel(int index) const {
  return static_cast<const CMediaObject*>(m_items.GetAt(index))->m_displayName;
}

bool CMediaSequenceDlg::OnInitDialog() {
  const HWND spin = GetDlgItem(IDC_WZ_REPEAT_SPIN);
  ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(IDC_WZ_REPEAT)), 0);
  ::SendMessageA(spin, UDM_SETRANGE32, 1, 100);
  CheckRadioButton(IDC_WZ_X_ABSOLUTE, IDC_WZ_X_CENTERED,
                   m_sequence.m_positionModeX == 5 ? IDC_WZ_X_ABSOLUTE : IDC_WZ_X_CENTERED);
  CheckRadioButton(IDC_WZ_Y_ABSOLUTE, IDC_WZ_Y_CENTERED,
                   m_sequence.m_positionModeY == 5 ? IDC_WZ_Y_ABSOLUTE : IDC_WZ_Y_CENTERED);
  m_sequence.SetKind(1);
  CSequenceInsertDlg::OnInitDialog();
  ApplyKindRule();
  EnableItem(m_hWnd, IDC_WZ_REPEAT, IsChecked(m_hWnd, IDC_WZ_WAIT_MEDIA));
  return true;
}

void CMediaSequenceDlg::DoDataExchange(CDataExchange* dx) {
  const bool strict = dx->m_bSaveAndValidate;
  DDX_Check(dx, IDC_WZ_CLEAR, m_sequence.m_clearScreen);
  DDX_Check(dx, IDC_WZ_WAIT_MEDIA, m_sequence.m_waitForMedia);
  ExchangeInt(dx, IDC_WZ_REPEAT, m_sequence.m_repeatCount, 1, 999999, strict);
  ExchangeInt(dx, IDC_WZ_POS_X, m_sequence.m_positionX, -5000, 5000, strict);
  ExchangeInt(dx, IDC_WZ_POS_Y, m_sequence.m_positionY, -5000, 5000, strict);
}

void CMediaSequenceDlg::ApplyKindRule() {
  const int focused = FocusedItem();
  if (focused < 0) return;
  const int kind = static_cast<const CMediaObject*>(m_items.GetAt(focused))->m_kind;
  if (kind >= kMediaMidi) return;
  const bool places = kind == kMediaVideo || kind == kMediaFlash;
  for (int id : {IDC_WZ_X_FRAME, IDC_WZ_Y_FRAME, IDC_WZ_POS_X, IDC_WZ_POS_Y}) EnableItem(m_hWnd, id, places);
  for (int id = IDC_WZ_X_ABSOLUTE; id <= IDC_WZ_Y_CENTERED; ++id) EnableItem(m_hWnd, id, kind == kMediaFlash);
  for (int id : {IDC_WZ_WIDTH, IDC_WZ_HEIGHT, IDC_WZ_FULL_SCREEN}) EnableItem(m_hWnd, id, kind == kMediaFlash);
  if (kind == kMediaFlash) ApplyPositionRule();
}

void CMediaSequenceDlg::ApplyPositionRule() {
  const bool absoluteX = IsChecked(m_hWnd, IDC_WZ_X_ABSOLUTE);
  const bool absoluteY = IsChecked(m_hWnd, IDC_WZ_Y_ABSOLUTE);
  EnableItem(m_hWnd, IDC_WZ_POS_X, absoluteX);
  EnableItem(m_hWnd, IDC_WZ_POS_Y, absoluteY);
  m_sequence.m_positionModeX = absoluteX ? 5 : 1;
  m_sequence.m_positionModeY = absoluteY ? 5 : 1;
}

bool CMediaSequenceDlg::OnFocusChanged(UINT) {
  ApplyKindRule();
  return true;
}

bool CMediaSequenceDlg::OnPositionClicked(UINT) {
  ApplyPositionRule();
  return true;
}

bool CMediaSequenceDlg::OnWaitClicked(UINT) {
  EnableItem(m_hWnd, IDC_WZ_REPEAT, IsChecked(m_hWnd, IDC_WZ_WAIT_MEDIA));
  return true;
}

bool CMediaSequenceDlg::OnTest(UINT) {
  CSequenceSelection chosen;
  TakeSelection(GetDlgItem(IDC_WZ_ITEMS), chosen);
  if (chosen.m_count > 0) TestPlay(*static_cast<const CMediaObject*>(m_items.GetAt(chosen.m_pIndices[0])));
  delete[] chosen.m_pIndices;
  return true;
}

bool CMediaSequenceDlg::OnStopTest(UINT) {
  m_player.Stop();
  return true;
}

// ---------------------------------------------------------------------------
// Pages.

CWizardPropertyPageEmpty::CWizardPropertyPageEmpty() : CPropertyPage(IDD_WZ_PAGE_EMPTY) {}

const CCommandEntry CWizardSequencePage::commandEntries[] = {
    CommandEntry(IDC_WZ_APPLY_SELECTION, &CWizardSequencePage::OnApplyToSelection),
    CommandEntry(IDC_WZ_CLEAR, &CWizardSequencePage::OnChanged),
    CommandEntry(IDC_WZ_HIDE, &CWizardSequencePage::OnChanged),
    CommandEntry(IDC_WZ_ADD, &CWizardSequencePage::OnAdd),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardSequencePage, CPropertyPage)

CWizardSequencePage::CWizardSequencePage(UINT templateId, int kind)
    : CPropertyPage(templateId), m_kind(kind) {}

bool CWizardSequencePage::OnInitDialog() {
  if (!m_host) {
    // The step dialog holds the sheet that holds the page.
    const HWND sheet = GetParent();
    m_host = dynamic_cast<CWizardSequenceHost*>(FromHandlePermanent(sheet ? ::GetParent(sheet) : nullptr));
  }
  if (!m_host) return true;
  m_add.SubclassDlgItem(IDC_WZ_ADD, m_hWnd);
  InitPage();
  return true;
}

bool CWizardSequencePage::OnSetActive() {
  if (m_host && m_host->GetSelectedCount() > 0 && !m_host->IsFirstSelectionOfKind(m_kind))
    m_host->DeselectAll();
  return CPropertyPage::OnSetActive();
}

void CWizardSequencePage::LoadTemplate() {
  if (!m_host) return;
  m_loading = true;
  UpdateData(false);
  m_loading = false;
}

void CWizardSequencePage::CommitPage() {
  // Filling the controls makes them report changes: those are not edits.
  if (!m_host || m_loading) return;
  UpdateData(true);
  m_host->GetEditor().CopyFrom(Template());
  m_host->Commit();
}

bool CWizardSequencePage::OnChanged(UINT) {
  CommitPage();
  return true;
}

bool CWizardSequencePage::OnAdd(UINT) {
  if (!m_host) return true;
  CommitPage();
  m_host->CollectRows();
  m_host->DeselectAll();
  std::unique_ptr<CSequenceInsertDlg> insert(MakeInsertDialog());
  const CObArray& items = m_host->GetItems(m_kind);
  for (int i = 0; i < items.GetSize(); ++i) insert->m_items.Add(items.GetAt(i));
  insert->m_sequence.CopyFrom(m_host->GetEditor());
  if (insert->DoModal() != IDOK) return true;
  m_host->DeselectAll();
  int last = -1;
  for (int i = 0; i < insert->m_selection.m_count; ++i) {
    const int index = insert->m_selection.m_pIndices[i];
    if (index < 0 || index >= items.GetSize()) continue;
    auto* sequence = new CWizardSequence(m_kind);
    sequence->CopyFrom(insert->m_sequence);
    sequence->SetKind(m_kind);
    TakeItem(*sequence, *items.GetAt(index));
    last = m_host->AddRow(sequence);
  }
  // The controls follow the new current row, when there is one.
  if (last < 0) return true;
  m_host->ScrollToRow(last);
  SetUpForEditor();
  return true;
}

bool CWizardSequencePage::OnApplyToSelection(UINT) {
  if (!m_host) return true;
  if (m_host->GetSelectedCount() <= 1) {
    AfxMessageBox(LoadResourceString(
        34048,
        "You have to select more than one sequence of the same type in order to be able to use "
        "this command.\nThere are 6 different types of sequences: Image/Show, Image/Move, "
        "Media/Audio, Media/Video, Text/Show and Text/Move"));
    return true;
  }
  if (m_host->GetEditor().GetKind() != m_kind) {
    AfxMessageBox("Selected sequences are not comatible with this command.");
    return true;
  }
  CommitPage();
  m_host->ApplyToSelection();
  return true;
}

// ---- pictures and texts ----------------------------------------------------------

const CCommandEntry CWizardPropertyPageImage::commandEntries[] = {
    CommandEntry(IDC_WZ_SHOW, &CWizardPropertyPageImage::OnModeClicked),
    CommandEntry(IDC_WZ_MOVE, &CWizardPropertyPageImage::OnModeClicked),
    CommandRangeEntry(IDC_WZ_SHOW_X_MODE, IDC_WZ_END_Y_MODE + kRadiosPerGroup - 1,
                      &CWizardPropertyPageImage::OnPositionClicked),
    CommandEntry(IDC_WZ_WAIT, &CWizardPropertyPageImage::OnWaitClicked),
    ControlEntry(IDC_WZ_EFFECT, CBN_SELCHANGE, &CWizardPropertyPageImage::OnEffectChanged),
    NotifyEntry(IDC_WZ_EFFECT_SPEED, NM_RELEASEDCAPTURE, &CWizardPropertyPageImage::OnSliderReleased),
    ControlEntry(IDC_WZ_SHOW_X, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_SHOW_Y, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_START_X, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_START_Y, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_END_X, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_END_Y, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
    ControlEntry(IDC_WZ_WAIT_SECONDS, EN_CHANGE, &CWizardPropertyPageImage::OnChanged),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardPropertyPageImage, CWizardSequencePage)

CWizardPropertyPageImage::CWizardPropertyPageImage()
    : CWizardPropertyPageImage(IDD_WZ_PAGE_IMAGE, 0) {}

CWizardPropertyPageImage::CWizardPropertyPageImage(UINT templateId, int kind)
    : CWizardSequencePage(templateId, kind) {}

CWizardPropertyPageText::CWizardPropertyPageText()
    : CWizardPropertyPageImage(IDD_WZ_PAGE_TEXT, 2) {}

void CWizardPropertyPageImage::DoDataExchange(CDataExchange* dx) {
  if (m_host) ExchangeDisplaySequence(dx, Template(), false);
}

void CWizardPropertyPageImage::InitPage() {
  InitDisplayControls(m_hWnd);
  LoadTemplate();
  SetSequenceModeControls(m_hWnd, Template().m_move != 0, true);
  ShowSpeed();
  ApplyEffectRule();
  ApplyWaitRule();
}

void CWizardPropertyPageImage::SetUpForEditor() {
  if (!m_host || !m_hWnd) return;
  LoadTemplate();
  SetSequenceModeControls(m_hWnd, m_host->GetEditor().m_move != 0, true);
  ApplyEffectRule();
  CommitPage();
  ApplyValueBoxRule(m_hWnd);
  ApplyWaitRule();
  CommitPage();
  ShowSpeed();
}

bool CWizardPropertyPageImage::OnSetActive() {
  const bool shown = CWizardSequencePage::OnSetActive();
  ShowSpeed();
  return shown;
}

void CWizardPropertyPageImage::ShowSpeed() {
  if (m_host) ShowSpeedOf(m_hWnd, Template());
}

bool CWizardPropertyPageImage::OnModeClicked(UINT) {
  SetSequenceModeControls(m_hWnd, IsChecked(m_hWnd, IDC_WZ_MOVE), true);
  ApplyValueBoxRule(m_hWnd);
  CommitPage();
  return true;
}

bool CWizardPropertyPageImage::OnPositionClicked(UINT id) {
  const int group = (static_cast<int>(id) - IDC_WZ_SHOW_X_MODE) / kRadiosPerGroup;
  EnableItem(m_hWnd, kGroupEdit[group], IsChecked(m_hWnd, kGroupFirst[group] + kAbsolute));
  CommitPage();
  return true;
}

void CWizardPropertyPageImage::ApplyWaitRule() {
  const bool wait = IsChecked(m_hWnd, IDC_WZ_WAIT);
  EnableItem(m_hWnd, IDC_WZ_WAIT_SECONDS, wait);
  EnableItem(m_hWnd, IDC_WZ_WAIT_SPIN, wait);
}

bool CWizardPropertyPageImage::OnWaitClicked(UINT) {
  CommitPage();
  ApplyWaitRule();
  return true;
}

void CWizardPropertyPageImage::ApplyEffectRule() {
  const int effect = static_cast<int>(::SendMessageA(GetDlgItem(IDC_WZ_EFFECT), CB_GETCURSEL, 0, 0));
  // Tile and Stretch fill the screen: a show position means nothing.
  const bool fills = effect == kEffectTile || effect == kEffectStretch;
  for (int g = 0; g < 2; ++g) {
    for (int r = 0; r < kRadiosPerGroup; ++r) EnableItem(m_hWnd, kGroupFirst[g] + r, !fills);
    EnableItem(m_hWnd, kGroupEdit[g], !fills);
  }
  if (!fills) ApplyValueBoxRule(m_hWnd);
}

bool CWizardPropertyPageImage::OnEffectChanged(UINT) {
  ApplyEffectRule();
  CommitPage();
  return true;
}

bool CWizardPropertyPageImage::OnSliderReleased(NMHDR*, LRESULT* result) {
  OnSliderMoved();
  *result = 0;
  return true;
}

void CWizardPropertyPageImage::OnSliderMoved() {
  CommitPage();
  ShowSpeed();
}

LRESULT CWizardPropertyPageImage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HSCROLL && lp && reinterpret_cast<HWND>(lp) == GetDlgItem(IDC_WZ_EFFECT_SPEED)) {
    OnSliderMoved();
    return 0;
  }
  return CWizardSequencePage::WindowProc(msg, wp, lp);
}

CSequenceInsertDlg* CWizardPropertyPageImage::MakeInsertDialog() { return new CImageSequenceDlg(m_hWnd); }

CSequenceInsertDlg* CWizardPropertyPageText::MakeInsertDialog() { return new CTextSequenceDlg(m_hWnd); }

void CWizardPropertyPageImage::TakeItem(CWizardSequence& sequence, const CObject& item) {
  sequence.m_display.CopyFrom(static_cast<const CImageTextObject&>(item));
}

// ---- media -----------------------------------------------------------------------

const CCommandEntry CWizardPropertyPageMedia::commandEntries[] = {
    CommandRangeEntry(IDC_WZ_X_ABSOLUTE, IDC_WZ_Y_CENTERED, &CWizardPropertyPageMedia::OnPositionClicked),
    CommandEntry(IDC_WZ_WAIT_MEDIA, &CWizardPropertyPageMedia::OnWaitClicked),
    ControlEntry(IDC_WZ_REPEAT, EN_CHANGE, &CWizardPropertyPageMedia::OnChanged),
    ControlEntry(IDC_WZ_POS_X, EN_CHANGE, &CWizardPropertyPageMedia::OnChanged),
    ControlEntry(IDC_WZ_POS_Y, EN_CHANGE, &CWizardPropertyPageMedia::OnChanged),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardPropertyPageMedia, CWizardSequencePage)

CWizardPropertyPageMedia::CWizardPropertyPageMedia() : CWizardSequencePage(IDD_WZ_PAGE_MEDIA, 1) {}

void CWizardPropertyPageMedia::DoDataExchange(CDataExchange* dx) {
  if (!m_host) return;
  CWizardSequence& s = Template();
  DDX_Check(dx, IDC_WZ_CLEAR, s.m_clearScreen);
  ExchangeInt(dx, IDC_WZ_REPEAT, s.m_repeatCount, 1, 999999, false);
  DDX_Check(dx, IDC_WZ_WAIT_MEDIA, s.m_waitForMedia);
  ExchangeInt(dx, IDC_WZ_POS_X, s.m_positionX, -5000, 5000, false);
  ExchangeInt(dx, IDC_WZ_POS_Y, s.m_positionY, -5000, 5000, false);
}

void CWizardPropertyPageMedia::CheckPositionRadios(const CWizardSequence& s) {
  CheckRadioButton(IDC_WZ_X_ABSOLUTE, IDC_WZ_X_CENTERED,
                   s.m_positionModeX == 5 ? IDC_WZ_X_ABSOLUTE : IDC_WZ_X_CENTERED);
  CheckRadioButton(IDC_WZ_Y_ABSOLUTE, IDC_WZ_Y_CENTERED,
                   s.m_positionModeY == 5 ? IDC_WZ_Y_ABSOLUTE : IDC_WZ_Y_CENTERED);
}

void CWizardPropertyPageMedia::InitPage() {
  const HWND spin = GetDlgItem(IDC_WZ_REPEAT_SPIN);
  ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(IDC_WZ_REPEAT)), 0);
  ::SendMessageA(spin, UDM_SETRANGE32, 1, 100);
  CheckPositionRadios(Template());
  LoadTemplate();
  ApplyKindRule(Template().m_media.m_kind);
  EnableItem(m_hWnd, IDC_WZ_REPEAT, IsChecked(m_hWnd, IDC_WZ_WAIT_MEDIA));
}

void CWizardPropertyPageMedia::ApplyKindRule(int kind) {
  if (kind >= kMediaMidi) return;
  const bool places = kind == kMediaVideo || kind == kMediaFlash;
  for (int id : {IDC_WZ_POS_X, IDC_WZ_POS_Y, IDC_WZ_X_LABEL, IDC_WZ_Y_LABEL}) EnableItem(m_hWnd, id, places);
  for (int id = IDC_WZ_X_ABSOLUTE; id <= IDC_WZ_Y_CENTERED; ++id) EnableItem(m_hWnd, id, kind == kMediaFlash);
  for (int id : {IDC_WZ_WIDTH, IDC_WZ_HEIGHT, IDC_WZ_FULL_SCREEN}) EnableItem(m_hWnd, id, kind == kMediaFlash);
  if (kind == kMediaFlash) OnPositionClicked(0);
}

bool CWizardPropertyPageMedia::OnPositionClicked(UINT) {
  if (!m_host) return true;
  CWizardSequence& s = Template();
  s.m_positionModeX = IsChecked(m_hWnd, IDC_WZ_X_ABSOLUTE) ? 5 : 1;
  s.m_positionModeY = IsChecked(m_hWnd, IDC_WZ_Y_ABSOLUTE) ? 5 : 1;
  EnableItem(m_hWnd, IDC_WZ_POS_X, IsChecked(m_hWnd, IDC_WZ_X_ABSOLUTE));
  EnableItem(m_hWnd, IDC_WZ_POS_Y, IsChecked(m_hWnd, IDC_WZ_Y_ABSOLUTE));
  CommitPage();
  return true;
}

bool CWizardPropertyPageMedia::OnWaitClicked(UINT) {
  CommitPage();
  EnableItem(m_hWnd, IDC_WZ_REPEAT, IsChecked(m_hWnd, IDC_WZ_WAIT_MEDIA));
  return true;
}

void CWizardPropertyPageMedia::SetUpForEditor() {
  if (!m_host || !m_hWnd) return;
  LoadTemplate();
  CheckPositionRadios(Template());
  ApplyKindRule(m_host->GetEditor().m_media.m_kind);
  OnWaitClicked(0);
}

CSequenceInsertDlg* CWizardPropertyPageMedia::MakeInsertDialog() { return new CMediaSequenceDlg(m_hWnd); }

void CWizardPropertyPageMedia::TakeItem(CWizardSequence& sequence, const CObject& item) {
  const auto& media = static_cast<const CMediaObject&>(item);
  sequence.m_media.CopyFrom(media);
  // A movie plays at its own frame size.
  const SIZE frame = media.GetFlashFrameSize();
  sequence.m_sizeWidth = frame.cx;
  sequence.m_sizeHeight = frame.cy;
}
