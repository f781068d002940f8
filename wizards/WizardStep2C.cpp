// The Standard wizard's step 2C: the texts, each with its colour, background and font.
#include "wizards/WizardSteps.h"

#include <commctrl.h>

#include "framework/CommonDialogs.h"
#include "framework/Seams.h"
#include "wizards/WizardStepsResource.h"

const CCommandEntry CWizardStep2CDlg::commandEntries[] = {
    ControlEntry(IDC_WIZ2C_TEXT, EN_CHANGE, &CWizardStep2CDlg::OnTextChange),
    CommandEntry(IDC_WIZ2C_OPAQUE, &CWizardStep2CDlg::OnOpaque),
    CommandEntry(IDC_WIZ2C_TRANSPARENT, &CWizardStep2CDlg::OnTransparent),
    CommandEntry(IDC_WIZ2C_COLOUR, &CWizardStep2CDlg::OnColour),
    CommandEntry(IDC_WIZ2C_FONT, &CWizardStep2CDlg::OnFont),
    CommandEntry(IDC_WIZ2C_ADD, &CWizardStep2CDlg::OnAdd),
    CommandEntry(IDC_WIZ2C_REMOVE, &CWizardStep2CDlg::OnRemove),
    CommandEntry(IDC_WIZ_PREVIOUS, &CWizardStep2CDlg::OnPrevious),
    CommandEntry(IDC_WIZ_HELP, &CWizardStep2CDlg::OnHelp),
    NotifyEntry(IDC_WIZ2C_LIST, NM_CLICK, &CWizardStep2CDlg::OnListClick),
    NotifyEntry(IDC_WIZ2C_LIST, LVN_GETDISPINFOA, &CWizardStep2CDlg::OnGetDispInfo),
};
LW_IMPLEMENT_COMMAND_TABLE(CWizardStep2CDlg, CCmdDialog)

CWizardStep2CDlg::CWizardStep2CDlg(CWizardProject& p, HWND parent)
    : CCmdDialog(IDD_WIZARD_STEP2C, parent) {
  m_texts.Copy(p.m_texts);
}

CWizardStep2CDlg::~CWizardStep2CDlg() = default;

void CWizardStep2CDlg::CopyTo(CWizardProject& p) { p.m_texts.Copy(m_texts); }

int CWizardStep2CDlg::ListCount() const {
  return static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_GETITEMCOUNT, 0, 0));
}

CImageTextObject* CWizardStep2CDlg::NewText() {
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_textColour = 0xFFFFFF;
  text->m_bkColour = 0;
  text->m_bkMode = 1;
  return text;
}

void CWizardStep2CDlg::InsertText(CImageTextObject* text, int at) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = at;
  item.pszText = LPSTR_TEXTCALLBACKA;
  item.lParam = reinterpret_cast<LPARAM>(text);
  const int row = static_cast<int>(
      SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  m_texts.InsertAt(row < 0 ? m_texts.GetSize() : row, text);
}

void CWizardStep2CDlg::MakeCurrent(int index) {
  if (index < 0 || index >= m_texts.GetSize()) return;
  m_pCurrent = static_cast<CImageTextObject*>(m_texts.GetAt(index));
  m_working.CopyFrom(*m_pCurrent);
  SetDlgItemText(IDC_WIZ2C_TEXT, m_working.m_text);
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(&item));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_LIST, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

void CWizardStep2CDlg::Commit() {
  char text[5001] = "";
  GetDlgItemText(IDC_WIZ2C_TEXT, text, sizeof text);
  m_working.m_text = text;
  m_working.m_kind = 1;
  m_working.m_bkMode = IsDlgButtonChecked(IDC_WIZ2C_OPAQUE) ? 1 : 0;
  if (m_pCurrent) m_pCurrent->CopyFrom(m_working);
}

void CWizardStep2CDlg::RemakeFont() {
  m_editFont.DeleteObject();
  m_editFont.CreateFontIndirect(&m_working.m_font);
  SendDlgItemMessageA(m_hWnd, IDC_WIZ2C_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(m_editFont)), TRUE);
}

void CWizardStep2CDlg::ShowFontLabels() {
  const LOGFONTA& f = m_working.m_font;
  CString text;
  text.Format("Font name: %s", f.lfFaceName);
  SetDlgItemText(IDC_WIZ2C_FONT_NAME, text);
  text.Format("Font size: %ld", static_cast<long>(-MulDiv(f.lfHeight, 54, 72)));
  SetDlgItemText(IDC_WIZ2C_FONT_SIZE, text);
  const char* style = "Font style: Regular";
  if (f.lfWeight == 400 && f.lfItalic) style = "Font style: Italic";
  if (f.lfWeight == 700) style = f.lfItalic ? "Font style: Bold Italic" : "Font style: Bold";
  SetDlgItemText(IDC_WIZ2C_FONT_STYLE, style);
}

void CWizardStep2CDlg::Refresh() {
  if (m_working.m_bkMode == 0 && m_working.m_textColour == 0xFFFFFF) m_working.m_textColour = 0;
  CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                   m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
  EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, m_working.m_bkMode != 0);
  RemakeFont();
  Commit();
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  m_preview.ShowObject(&m_working);
  ShowFontLabels();
}

bool CWizardStep2CDlg::OnInitDialog() {
  CCmdDialog::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_WIZ2C_PREVIEW, m_hWnd);
  CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                   m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
  EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, false);
  RemakeFont();
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  LVCOLUMNA column = {};
  column.mask = LVCF_WIDTH;
  column.cx = 323;
  ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  CObArray texts;
  texts.Copy(m_texts);
  m_texts.RemoveAll();
  if (texts.GetSize() == 0) {
    EnableStepControl(m_hWnd, IDC_WIZ2C_ADD, false);
    EnableStepControl(m_hWnd, IDC_WIZ2C_REMOVE, false);
    InsertText(NewText(), 0);
    MakeCurrent(0);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE, IDC_WIZ2C_OPAQUE);
    EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, true);
    Commit();
    m_preview.ShowObject(&m_working);
  } else {
    for (int i = 0; i < texts.GetSize(); ++i)
      InsertText(static_cast<CImageTextObject*>(texts.GetAt(i)), i);
    MakeCurrent(0);
    Refresh();
  }
  ShowFontLabels();
  return true;
}

LRESULT CWizardStep2CDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lp) == GetDlgItem(IDC_WIZ2C_TEXT)) {
    HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, m_working.m_textColour);
    if (IsDlgButtonChecked(IDC_WIZ2C_OPAQUE)) {
      ::SetBkColor(dc, m_working.m_bkColour);
      m_editBrush.DeleteObject();
      m_editBrush.CreateSolidBrush(m_working.m_bkColour);
      return reinterpret_cast<LRESULT>(HBRUSH(m_editBrush));
    }
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  }
  return CCmdDialog::WindowProc(msg, wp, lp);
}

bool CWizardStep2CDlg::OnTextChange(UINT) {
  Commit();
  m_preview.ShowObject(&m_working);
  EnableStepControl(m_hWnd, IDC_WIZ2C_ADD, true);
  EnableStepControl(m_hWnd, IDC_WIZ2C_REMOVE, true);
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_LIST), nullptr, FALSE);
  return true;
}

bool CWizardStep2CDlg::OnOpaque(UINT) {
  EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, true);
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  Commit();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnTransparent(UINT) {
  EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, false);
  Commit();
  Refresh();
  return true;
}

bool CWizardStep2CDlg::OnColour(UINT) {
  CColorDialog dialog(m_working.m_bkColour, 0, m_hWnd);
  if (dialog.DoModal() != IDOK) return true;
  m_working.m_bkColour = dialog.GetColor();
  ::InvalidateRect(GetDlgItem(IDC_WIZ2C_TEXT), nullptr, TRUE);
  Commit();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnFont(UINT) {
  CFontDialog dialog(&m_working.m_font, CF_SCREENFONTS | CF_EFFECTS, m_hWnd);
  dialog.m_cf.rgbColors = m_working.m_textColour;
  if (dialog.DoModal() == IDOK) {
    m_working.m_textColour = dialog.GetColor();
    dialog.GetCurrentFont(&m_working.m_font);
    RemakeFont();
    Commit();
    m_preview.ShowObject(&m_working);
    ::SetFocus(GetDlgItem(IDC_WIZ2C_TEXT));
  }
  ShowFontLabels();
  return true;
}

bool CWizardStep2CDlg::OnAdd(UINT) {
  auto* text = new CImageTextObject;
  text->m_kind = 1;
  text->m_textColour = m_working.m_textColour;
  text->m_bkColour = m_working.m_bkColour;
  text->m_bkMode = m_working.m_bkMode;
  text->m_font = m_working.m_font;
  const int at = ListCount();
  InsertText(text, at);
  m_pCurrent = nullptr;
  MakeCurrent(at);
  SetDlgItemText(IDC_WIZ2C_TEXT, "");
  Commit();
  ::SetFocus(GetDlgItem(IDC_WIZ2C_TEXT));
  return true;
}

bool CWizardStep2CDlg::OnRemove(UINT) {
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  const int at = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (at < 0 || at >= m_texts.GetSize()) {
    LwMessageBox(m_hWnd, "You must select item \nin order to delete it!", GetAppCaption(), MB_OK);
    return true;
  }
  ::SendMessageA(list, LVM_DELETEITEM, at, 0);
  delete static_cast<CImageTextObject*>(m_texts.GetAt(at));
  m_texts.RemoveAt(at);
  m_pCurrent = nullptr;
  if (m_texts.GetSize() == 0) {
    InsertText(NewText(), 0);
    MakeCurrent(0);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE, IDC_WIZ2C_OPAQUE);
    EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, true);
  } else {
    MakeCurrent(m_texts.GetSize() - 1);
    CheckRadioButton(IDC_WIZ2C_TRANSPARENT, IDC_WIZ2C_OPAQUE,
                     m_working.m_bkMode ? IDC_WIZ2C_OPAQUE : IDC_WIZ2C_TRANSPARENT);
    EnableStepControl(m_hWnd, IDC_WIZ2C_COLOUR, m_working.m_bkMode != 0);
  }
  Commit();
  RemakeFont();
  m_preview.ShowObject(&m_working);
  return true;
}

bool CWizardStep2CDlg::OnListClick(NMHDR* hdr, LRESULT*) {
  const int row = reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem;
  if (row >= 0 && row < m_texts.GetSize()) {
    MakeCurrent(row);
    Refresh();
  }
  return true;
}

bool CWizardStep2CDlg::OnGetDispInfo(NMHDR* hdr, LRESULT*) {
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return true;
  auto* text = reinterpret_cast<CImageTextObject*>(info->item.lParam);
  const CString shown = text ? text->m_text.Left(54) : CString();
  lstrcpynA(info->item.pszText, shown, info->item.cchTextMax);
  return true;
}

// The list's texts in row order. The empty row "Add new text" leaves for the
// next message is not a text: it is dropped, unless it is all there is (one
// empty text stands for none in the later steps).
void CWizardStep2CDlg::Rebuild() {
  HWND list = GetDlgItem(IDC_WIZ2C_LIST);
  m_texts.RemoveAll();
  for (int i = 0; i < ListCount(); ++i) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    m_texts.Add(reinterpret_cast<CImageTextObject*>(item.lParam));
  }
  bool anyText = false;
  for (int i = 0; i < m_texts.GetSize(); ++i)
    anyText = anyText || !static_cast<CImageTextObject*>(m_texts.GetAt(i))->m_text.IsEmpty();
  if (!anyText) return;
  for (int i = m_texts.GetSize() - 1; i >= 0; --i) {
    auto* text = static_cast<CImageTextObject*>(m_texts.GetAt(i));
    if (!text->m_text.IsEmpty()) continue;
    ::SendMessageA(list, LVM_DELETEITEM, i, 0);
    if (m_pCurrent == text) m_pCurrent = nullptr;
    m_texts.RemoveAt(i);
    delete text;
  }
}

bool CWizardStep2CDlg::OnPrevious(UINT) {
  Rebuild();
  EndDialog(kStepPrevious);
  return true;
}

bool CWizardStep2CDlg::OnHelp(UINT) {
  OpenWizardHelp(m_hWnd, "wizard_step2c.html");
  return true;
}

void CWizardStep2CDlg::OnOK() {
  Rebuild();
  EndDialog(IDOK);
}

void CWizardStep2CDlg::OnCancel() {
  if (!ConfirmWizardExit(m_hWnd)) return;
  Rebuild();
  EndDialog(IDCANCEL);
}
