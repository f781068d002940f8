// The Standard wizard's step 3 (see WizardStep3.h): the list of action
// sequences with its selection rules, the sequence pages' host, the
// previews, and the step's endings.
#include "wizards/WizardStep3.h"

#include <commctrl.h>

#include "builder/controls/ControlsResource.h"
#include "builder/controls/MediaTestPlayer.h"
#include "framework/CommandIds.h"
#include "framework/DocView.h"
#include "framework/Seams.h"
#include "wizards/WizardHelperDialogs.h"
#include "wizards/WizardSteps.h"
#include "wizards/WizardStepsResource.h"

namespace {

int AskYesNo(HWND owner, const char* text, UINT icon) {
  return LwMessageBox(owner, text, GetAppCaption(), MB_YESNO | icon);
}

void Tell(HWND owner, const char* text) { LwMessageBox(owner, text, GetAppCaption(), MB_OK); }

}  // namespace

const CCommandEntry CWizardStep3Dlg::commandEntries[] = {
    NotifyEntry(IDC_WIZ3_LIST, NM_CLICK, &CWizardStep3Dlg::OnListClick),
    NotifyEntry(IDC_WIZ3_LIST, LVN_GETDISPINFOA, &CWizardStep3Dlg::OnGetDispInfo),
    NotifyEntry(IDC_WIZ3_LIST, LVN_ITEMCHANGED, &CWizardStep3Dlg::OnRowChanged),
    CommandEntry(IDC_WIZ3_REMOVE, &CWizardStep3Dlg::OnRemove),
    CommandEntry(IDC_WIZ3_UP, &CWizardStep3Dlg::OnMove),
    CommandEntry(IDC_WIZ3_DOWN, &CWizardStep3Dlg::OnMove),
    CommandEntry(IDC_WIZ3_PREVIEW_SEQ, &CWizardStep3Dlg::OnPreviewSequence),
    CommandEntry(IDC_WIZ3_PREVIEW_SS, &CWizardStep3Dlg::OnPreviewSaver),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep3Dlg::OnPrevious),
    CommandEntry(IDC_WIZ3_FINISH, &CWizardStep3Dlg::OnFinish),
    CommandEntry(IDC_WIZ3_SELECT_ALL, &CWizardStep3Dlg::OnSelectAll),
    CommandEntry(IDC_WIZ3_DESELECT_ALL, &CWizardStep3Dlg::OnDeselectAll),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep3Dlg::OnHelp),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep3Dlg, CCmdDialog)

CWizardStep3Dlg::CWizardStep3Dlg(CWizardProject& project, HWND mainWindow)
    : CCmdDialog(IDD_WIZARD_STEP3, mainWindow), m_project(project), m_mainWindow(mainWindow) {
  m_sequences.Copy(project.m_sequences);
}

CWizardStep3Dlg::~CWizardStep3Dlg() = default;

bool CWizardStep3Dlg::AreCompatible(const CWizardSequence& a, const CWizardSequence& b) {
  if (a.GetKind() != b.GetKind()) return false;
  if (a.GetKind() == kSequenceMedia) return a.m_media.m_kind == b.m_media.m_kind;
  return a.m_move == b.m_move;
}

// ---- rows --------------------------------------------------------------------

int CWizardStep3Dlg::GetRowCount() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

CWizardSequence* CWizardStep3Dlg::GetRowSequence(int row) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!::SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<CWizardSequence*>(item.lParam);
}

bool CWizardStep3Dlg::IsRowSelected(int row) const {
  return (::SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void CWizardStep3Dlg::SetRowSelected(int row, bool selected) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  ::SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int CWizardStep3Dlg::FirstSelectedRow() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int CWizardStep3Dlg::LastSelectedRow() const {
  int last = -1;
  for (int row = FirstSelectedRow(); row >= 0;
       row = static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, row, LVNI_SELECTED)))
    last = row;
  return last;
}

int CWizardStep3Dlg::GetSelectedCount() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETSELECTEDCOUNT, 0, 0));
}

void CWizardStep3Dlg::RedrawRows() { ::InvalidateRect(List(), nullptr, FALSE); }

int CWizardStep3Dlg::Insert(CWizardSequence* sequence) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = GetRowCount();
  item.pszText = LPSTR_TEXTCALLBACKA;
  item.lParam = reinterpret_cast<LPARAM>(sequence);
  return static_cast<int>(::SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void CWizardStep3Dlg::Collect() {
  m_sequences.RemoveAll();
  for (int row = 0; row < GetRowCount(); ++row) {
    CWizardSequence* s = GetRowSequence(row);
    s->m_listIndex = row;
    m_sequences.Add(s);
  }
}

// ---- the host ----------------------------------------------------------------

CWizardSequence& CWizardStep3Dlg::GetTemplate(int kind) {
  if (kind == kSequenceMedia) return m_mediaTemplate;
  if (kind == kSequenceText) return m_textTemplate;
  return m_imageTemplate;
}

void CWizardStep3Dlg::Commit() {
  UpdateData(true);
  // A page of another kind never turns the current row into its kind.
  if (m_pCurrent && m_pCurrent->GetKind() == m_editor.GetKind()) m_pCurrent->CopyFrom(m_editor);
  RedrawRows();
}

void CWizardStep3Dlg::MakeCurrent(CWizardSequence* s) {
  if (s) {
    GetTemplate(s->GetKind()).CopyFrom(*s);
    m_editor.CopyFrom(*s);
  }
  m_pCurrent = s;
  UpdateData(false);
}

void CWizardStep3Dlg::SelectRow(int index) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(List(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  CWizardSequence* s = GetRowSequence(index);
  MakeCurrent(s);
  if (s) ActivatePage(s->GetKind());
  Commit();
}

void CWizardStep3Dlg::DeselectAll() {
  for (int row = 0; row < GetRowCount(); ++row) SetRowSelected(row, false);
  m_pCurrent = nullptr;
}

void CWizardStep3Dlg::ActivatePage(int kind) {
  CWizardSequencePage* page = nullptr;
  if (kind == kSequenceImage) page = &m_pageImage;
  if (kind == kSequenceMedia) page = &m_pageMedia;
  if (kind == kSequenceText) page = &m_pageText;
  if (!page || m_sheet.GetPageIndex(page) < 0) return;
  m_sheet.SetActivePage(page);
  page->SetUpForEditor();
}

bool CWizardStep3Dlg::IsCompatibleWithSelection(int row) const {
  const CWizardSequence* s = GetRowSequence(row);
  if (!s) return false;
  for (int r = FirstSelectedRow(); r >= 0;
       r = static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, r, LVNI_SELECTED))) {
    if (r == row) continue;
    if (!AreCompatible(*s, *GetRowSequence(r))) return false;
  }
  return true;
}

bool CWizardStep3Dlg::IsFirstSelectionOfKind(int kind) const {
  const int first = FirstSelectedRow();
  return first < 0 || GetRowSequence(first)->GetKind() == kind;
}

void CWizardStep3Dlg::ApplyToSelection() {
  for (int r = FirstSelectedRow(); r >= 0;
       r = static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, r, LVNI_SELECTED))) {
    CWizardSequence* s = GetRowSequence(r);
    m_editor.ApplyTo(*s, s->GetKind());
  }
  RedrawRows();
}

void CWizardStep3Dlg::SelectRange(int anchor, int clicked, const CWizardSequence& like) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(List(), LVM_SETITEMSTATE, anchor, reinterpret_cast<LPARAM>(&item));
  const int step = clicked >= anchor ? 1 : -1;
  for (int row = anchor; row != clicked + step; row += step)
    SetRowSelected(row, AreCompatible(*GetRowSequence(row), like));
}

int CWizardStep3Dlg::AddRow(CWizardSequence* sequence) {
  const int row = Insert(sequence);
  sequence->m_listIndex = row;
  m_sequences.Add(sequence);
  SetRowSelected(row, true);
  MakeCurrent(sequence);
  return row;
}

void CWizardStep3Dlg::ScrollToRow(int index) { ::SendMessageA(List(), LVM_ENSUREVISIBLE, index, FALSE); }

const CObArray& CWizardStep3Dlg::GetItems(int kind) {
  if (kind == kSequenceMedia) return m_project.m_mediaItems;
  if (kind == kSequenceText) return m_project.m_texts;
  return m_project.m_images;
}

// ---- set-up ------------------------------------------------------------------

bool CWizardStep3Dlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  m_sheet.AddPage(&m_pageImage);
  m_sheet.AddPage(&m_pageMedia);
  m_sheet.AddPage(&m_pageText);
  if (!m_project.m_useImages || m_project.m_images.GetSize() == 0) m_sheet.RemovePage(&m_pageImage);
  if (!m_project.m_useMedia || m_project.m_mediaItems.GetSize() == 0) m_sheet.RemovePage(&m_pageMedia);
  if (!m_project.m_useTexts || m_project.m_texts.GetSize() == 0 ||
      (m_project.m_texts.GetSize() == 1 && m_project.GetText(0)->m_text.IsEmpty()))
    m_sheet.RemovePage(&m_pageText);
  if (m_sheet.GetPageCount() == 0) m_sheet.AddPage(&m_pageEmpty);
  m_pageImage.SetHost(this);
  m_pageMedia.SetHost(this);
  m_pageText.SetHost(this);

  if (m_sheet.Create(m_hWnd, WS_VISIBLE | WS_TABSTOP, WS_EX_CONTROLPARENT)) {
    ::ShowWindow(m_sheet, SW_HIDE);
    for (int i = m_sheet.GetPageCount() - 1; i >= 0; --i) m_sheet.SetActivePage(i);
    ::ShowWindow(m_sheet, SW_SHOW);
    RECT place;
    ::GetWindowRect(GetDlgItem(IDC_WIZ3_SHEET_PLACE), &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    ::SetWindowPos(m_sheet, nullptr, place.left - 7, place.top - 7, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  LVCOLUMNA column = {};
  column.mask = LVCF_WIDTH;
  column.cx = 470;
  ::SendMessageA(List(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  ::SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < m_sequences.GetSize(); ++i)
    m_sequences.GetSequence(i)->m_listIndex = Insert(m_sequences.GetSequence(i));
  return true;
}

// ---- the list ----------------------------------------------------------------

bool CWizardStep3Dlg::OnGetDispInfo(NMHDR* hdr, LRESULT*) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return true;
  CString text;
  if (auto* s = reinterpret_cast<CWizardSequence*>(info->item.lParam)) s->Describe(text);
  lstrcpynA(info->item.pszText, text, info->item.cchTextMax);
  return true;
}

bool CWizardStep3Dlg::OnRowChanged(NMHDR* hdr, LRESULT*) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(hdr);
  const bool deselected = (change->uChanged & LVIF_STATE) && (change->uOldState & LVIS_SELECTED) &&
                          !(change->uNewState & LVIS_SELECTED);
  if (!deselected || !m_pCurrent) return true;
  // The change may name one row or all of them: look the current row up.
  LVFINDINFOA find = {};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(m_pCurrent);
  const int row = static_cast<int>(
      ::SendMessageA(List(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
  if (row < 0 || !IsRowSelected(row)) m_pCurrent = nullptr;
  return true;
}

bool CWizardStep3Dlg::OnListClick(NMHDR*, LRESULT*) {
  LVHITTESTINFO hit = {};
  ::GetCursorPos(&hit.pt);
  ::ScreenToClient(List(), &hit.pt);
  const int row = static_cast<int>(::SendMessageA(List(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  OnRowClick(row, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0);
  return true;
}

void CWizardStep3Dlg::OnRowClick(int row, bool ctrl, bool shift) {
  if (row < 0) {
    DeselectAll();
    ::SetFocus(List());
    return;
  }
  if (ctrl) {
    if (!IsCompatibleWithSelection(row)) SetRowSelected(row, false);
    return;
  }
  if (shift) {
    int anchor = FirstSelectedRow();
    if (anchor == row) anchor = LastSelectedRow();
    if (anchor < 0) anchor = row;
    CWizardSequence* like = GetRowSequence(anchor);
    if (like) SelectRange(anchor, row, *like);
    return;
  }
  MakeCurrent(GetRowSequence(row));
  if (m_pCurrent) ActivatePage(m_pCurrent->GetKind());
  Commit();
  ::SetFocus(List());
}

// ---- buttons -----------------------------------------------------------------

bool CWizardStep3Dlg::OnRemove(UINT) {
  if (GetSelectedCount() == 0) {
    Tell(m_hWnd, "You must select item to remove\n it from the list");
    return true;
  }
  if (AskYesNo(m_hWnd, "Are you sure you want to delete selected item(s)?", MB_ICONQUESTION) != IDYES)
    return true;
  for (int row = FirstSelectedRow(); row >= 0; row = FirstSelectedRow()) {
    CWizardSequence* s = GetRowSequence(row);
    ::SendMessageA(List(), LVM_DELETEITEM, row, 0);
    for (int i = 0; i < m_sequences.GetSize(); ++i)
      if (m_sequences.GetAt(i) == s) m_sequences.RemoveAt(i--);
    for (int i = 0; i < m_project.m_sequences.GetSize(); ++i)
      if (m_project.m_sequences.GetAt(i) == s) m_project.m_sequences.RemoveAt(i--);
    delete s;
  }
  m_pCurrent = nullptr;
  return true;
}

bool CWizardStep3Dlg::OnMove(UINT id) {
  const int selected = GetSelectedCount();
  if (selected > 1) return true;
  if (selected == 0) {
    Tell(m_hWnd, "You must select item \nin order to move it!");
    return true;
  }
  const int row = FirstSelectedRow();
  const bool up = id == IDC_WIZ3_UP;
  if (up && row == 0) {
    Tell(m_hWnd, "Cannot move first item up!");
    return true;
  }
  if (!up && row == GetRowCount() - 1) {
    Tell(m_hWnd, "Cannot move last item down!");
    return true;
  }
  const int other = up ? row - 1 : row + 1;
  CWizardSequence* moved = GetRowSequence(row);
  CWizardSequence* neighbour = GetRowSequence(other);
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = reinterpret_cast<LPARAM>(neighbour);
  ::SendMessageA(List(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  item.iItem = other;
  item.lParam = reinterpret_cast<LPARAM>(moved);
  ::SendMessageA(List(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  neighbour->m_listIndex = row;
  moved->m_listIndex = other;
  m_editor.CopyFrom(*moved);
  for (int r = 0; r < GetRowCount(); ++r) SetRowSelected(r, false);
  SelectRow(other);
  ::SendMessageA(List(), LVM_REDRAWITEMS, up ? other : row, up ? row : other);
  ::SendMessageA(List(), LVM_ENSUREVISIBLE, other, FALSE);
  return true;
}

bool CWizardStep3Dlg::OnPreviewSequence(UINT) {
  const int row = FirstSelectedRow();
  if (row < 0) {
    Tell(m_hWnd, "You must select item \nin order to preview it!");
    return true;
  }
  CWizardSequence* s = GetRowSequence(row);
  if (s->GetKind() == kSequenceMedia &&
      (s->m_media.m_kind == kMediaVideo || s->m_media.m_kind == kMediaFlash)) {
    CMediaPreviewDlg preview(s->m_media.m_kind, m_hWnd);
    if (preview.MakeTempCopy(s->m_media)) preview.DoModal();
    return true;
  }
  CSequencePreviewDlg preview(m_hWnd);
  if (s->GetKind() == kSequenceMedia)
    preview.m_pMedia = &s->m_media;
  else
    preview.m_pDisplay = &s->m_display;
  preview.DoModal();
  return true;
}

bool CWizardStep3Dlg::OnPreviewSaver(UINT) {
  Commit();
  Collect();
  // The document goes without a question: it is the script the user
  // answered for when the wizard started, or an earlier preview.
  if (!StartNewDocument(m_mainWindow, true)) return true;
  CStandardWizard(m_mainWindow).GeneratePreviewScript(m_sequences, m_project.m_infiniteRepeat != 0);
  if (CStandardWizard::SaveDocumentAs(m_project.GetDocumentPath(), m_project.m_name))
    m_previewSaved = true;
  ::SendMessageA(m_mainWindow, WM_COMMAND, ID_SCENE_PREVIEW, 0);
  return true;
}

void CWizardStep3Dlg::DiscardPreview() {
  if (!m_previewSaved) return;
  m_previewSaved = false;
  // A new document: the preview's script goes, without a question.
  StartNewDocument(m_mainWindow, true);
  ::DeleteFileA(m_project.GetDocumentPath());
}

bool CWizardStep3Dlg::OnPrevious(UINT) {
  Commit();
  Collect();
  DiscardPreview();
  EndDialog(kStepPrevious);
  return true;
}

void CWizardStep3Dlg::OnCancel() {
  if (!ConfirmWizardExit(m_hWnd)) return;
  Collect();
  DiscardPreview();
  m_sequences.DeleteAll();
  m_project.m_sequences.RemoveAll();
  EndDialog(IDCANCEL);
}

bool CWizardStep3Dlg::OnFinish(UINT) {
  if (GetRowCount() == 0) {
    Tell(m_hWnd,
         "Add at least one sequence before you finish: a screen saver without sequences shows only "
         "a black screen.");
    return true;
  }
  if (AskYesNo(m_hWnd, "Are you sure you want to finish making your scr?", 0) != IDYES) return true;
  Commit();
  Collect();
  // The document goes without a question and is not saved under the
  // project's name: it is the script the user answered for when the
  // wizard started, or a preview. The driver saves the finished script
  // there.
  DiscardPreview();
  StartNewDocument(m_mainWindow, true);
  EndDialog(IDOK);
  return true;
}

bool CWizardStep3Dlg::OnSelectAll(UINT) {
  const int count = GetRowCount();
  if (count == 0) return true;
  const int first = FirstSelectedRow();
  for (int row = 0; row < count; ++row)
    if (IsCompatibleWithSelection(row)) SelectRow(row);
  const int now = FirstSelectedRow();
  if (now >= 0) ActivatePage(GetRowSequence(now)->GetKind());
  if (first >= 0) SelectRow(first);
  return true;
}

bool CWizardStep3Dlg::OnDeselectAll(UINT) {
  DeselectAll();
  return true;
}

bool CWizardStep3Dlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step3.html");
  return true;
}

// ---------------------------------------------------------------------------

int CStandardWizard::RunStep3() {
  CWizardStep3Dlg dialog(m_project, m_mainWindow);
  const int result = static_cast<int>(dialog.DoModal());
  m_project.m_sequences.Copy(dialog.m_sequences);
  return result;
}
