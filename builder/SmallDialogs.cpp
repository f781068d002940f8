// The small command edit dialogs and the Edit of Wait, Cls, Repeat, Until,
// Comment and Url.
#include "builder/SmallDialogs.h"

#include <windowsx.h>

#include <cstring>

#include "builder/resource.h"
#include "framework/CommonDialogs.h"
#include "framework/DocView.h"
#include "script/BuilderUtilities.h"

// ---- colour --------------------------------------------------------------------

const CCommandEntry CColourDlg::commandEntries[] = {
    CommandEntry(IDC_COLOUR_CHOOSE, &CColourDlg::OnChooseColour),
    ControlEntry(IDC_COLOUR_MIXING, CBN_SELCHANGE, &CColourDlg::OnMixingChanged),
};
LW_IMPLEMENT_COMMAND_TABLE(CColourDlg, CColourDlg::CEditDialog)

CColourDlg::CColourDlg(const CColourAttribute& source, CSceneCommand* command, HWND parent)
    : CAttributeEditDialog<CColourAttribute>(IDD_COLOUR, source, command, parent),
      m_isCls(command != nullptr && command->GetType() == kTypeCls) {}

CStringAttribute* CColourDlg::GetEditedComment() {
  return m_isCls ? &m_copy.m_comment : nullptr;
}

bool CColourDlg::OnInitDialog() {
  const HWND mixing = GetDlgItem(IDC_COLOUR_MIXING);
  for (const char* item : {"No Mixing", "OR", "AND"})
    ::SendMessageA(mixing, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  CAttributeEditDialog<CColourAttribute>::OnInitDialog();

  const HWND preview = GetDlgItem(IDC_COLOUR_PREVIEW);
  ::SetWindowLongA(preview, GWL_STYLE,
                   (::GetWindowLongA(preview, GWL_STYLE) & ~SS_TYPEMASK) | SS_BITMAP |
                       SS_CENTERIMAGE);
  RECT client;
  ::GetClientRect(preview, &client);
  const int w = client.right, h = client.bottom;
  m_previewRect = client;
  ::MapWindowPoints(preview, m_hWnd, reinterpret_cast<POINT*>(&m_previewRect), 2);
  {
    CClientDC screen(nullptr);
    m_preview.CreateCompatibleBitmap(&screen, w, h);
    m_overlap.CreateCompatibleBitmap(&screen, w, h);
  }
  m_left.Attach(::CreateEllipticRgn(0, 0, h, h));
  m_right.Attach(::CreateEllipticRgn(w - h, 0, w, h));
  m_both.Attach(::CreateRectRgn(0, 0, 0, 0));
  ::CombineRgn(static_cast<HRGN>(m_both.GetSafeHandle()), static_cast<HRGN>(m_left.GetSafeHandle()),
               static_cast<HRGN>(m_right.GetSafeHandle()), RGN_AND);

  if (m_tip.Create(m_hWnd)) {
    const int half = (m_previewRect.left + m_previewRect.right) / 2;
    const RECT left = {m_previewRect.left, m_previewRect.top, half, m_previewRect.bottom};
    const RECT right = {half, m_previewRect.top, m_previewRect.right, m_previewRect.bottom};
    m_tip.AddTool(m_hWnd, LoadResourceString(IDS_TESTING_COLOUR, "Testing colour"), left, 1);
    m_tip.AddTool(m_hWnd, LoadResourceString(IDS_CHOSEN_COLOUR, "Choosen colour"), right, 2);
    m_tip.Activate(true);
  }

  const int type = m_pCommand != nullptr ? m_pCommand->GetType() : -1;
  if (type == kTypeCls || type == kTypeLine) {
    ::EnableWindow(GetDlgItem(IDC_COLOUR_BACKGROUND), FALSE);
    ::EnableWindow(mixing, FALSE);
  }
  if (type == kTypeCls) {
    SetCommentCaption();
  } else {
    // The colour button takes the place of the hidden comment button.
    const HWND comment = GetDlgItem(IDC_COMMENT_BUTTON);
    RECT place;
    ::GetWindowRect(comment, &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    ::ShowWindow(comment, SW_HIDE);
    ::SetWindowPos(GetDlgItem(IDC_COLOUR_CHOOSE), nullptr, place.left, place.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetEditCaption("Colours");
  }
  DrawPreview();
  ::SendMessageA(preview, STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(m_preview.GetSafeHandle()));
  return true;
}

void CColourDlg::DoDataExchange(CDataExchange* dx) {
  DDX_CBIndex(dx, IDC_COLOUR_MIXING, m_copy.m_mixing);
  DDX_Check(dx, IDC_COLOUR_BACKGROUND, m_copy.m_background);
  DDX_Check(dx, IDC_COLOUR_RANDOM, m_copy.m_random);
}

void CColourDlg::DrawPreview() {
  if (!m_preview.GetSafeHandle() || !m_overlap.GetSafeHandle()) return;
  const int w = m_previewRect.right - m_previewRect.left;
  const int h = m_previewRect.bottom - m_previewRect.top;
  static const DWORD kRasterOps[] = {SRCCOPY, SRCPAINT, SRCAND};
  int mixing = static_cast<int>(::SendMessageA(GetDlgItem(IDC_COLOUR_MIXING), CB_GETCURSEL, 0, 0));
  if (mixing < 0 || mixing > 2) mixing = 0;
  {
    CMemoryDC canvas(nullptr);
    CMemoryDC overlap(nullptr);
    CSelectObject canvasBitmap(canvas.GetSafeHdc(), m_preview.GetSafeHandle());
    CSelectObject overlapBitmap(overlap.GetSafeHdc(), m_overlap.GetSafeHandle());
    const HDC dc = canvas.GetSafeHdc();
    const RECT all = {0, 0, w, h};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    CBrush testing(m_copy.m_secondColour), colour(m_copy.m_colour);
    ::FillRgn(dc, static_cast<HRGN>(m_left.GetSafeHandle()), testing);
    ::FillRgn(dc, static_cast<HRGN>(m_right.GetSafeHandle()), colour);
    ::FillRgn(dc, static_cast<HRGN>(m_both.GetSafeHandle()), testing);
    ::FillRect(overlap.GetSafeHdc(), &all, colour);
    ::SelectClipRgn(dc, static_cast<HRGN>(m_both.GetSafeHandle()));
    ::BitBlt(dc, 0, 0, w, h, overlap.GetSafeHdc(), 0, 0, kRasterOps[mixing]);
    ::SelectClipRgn(dc, nullptr);
  }
  ::InvalidateRect(GetDlgItem(IDC_COLOUR_PREVIEW), nullptr, FALSE);
}

int CColourDlg::HitCircles(POINT p) const {
  p.x -= m_previewRect.left;
  p.y -= m_previewRect.top;
  const bool left = ::PtInRegion(static_cast<HRGN>(m_left.GetSafeHandle()), p.x, p.y) != FALSE;
  const bool right = ::PtInRegion(static_cast<HRGN>(m_right.GetSafeHandle()), p.x, p.y) != FALSE;
  return (left ? 1 : 0) | (right ? 2 : 0);
}

bool CColourDlg::ChooseColour(COLORREF* colour) {
  CColorDialog chooser(*colour, CC_FULLOPEN, m_hWnd);
  if (chooser.DoModal() != IDOK) return false;
  *colour = chooser.GetColor();
  return true;
}

// Called when "&Colour..." is clicked.
bool CColourDlg::OnChooseColour(UINT id) {
  if (ChooseColour(&m_copy.m_colour)) {
    DrawPreview();
    RestoreDefaultButton(*this, static_cast<int>(id));
  }
  return true;
}

bool CColourDlg::OnMixingChanged(UINT) {
  DrawPreview();
  return true;
}

LRESULT CColourDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && m_tip.GetSafeHwnd()) {
    // The static lets the mouse through to the dialog. Over the overlap or
    // outside both circles no tip shows: the message goes without a window.
    const POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const int hit = HitCircles(p);
    MSG relayed = {(hit == 1 || hit == 2) ? m_hWnd : nullptr, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), p};
    m_tip.RelayEvent(&relayed);
  }
  if (msg == WM_LBUTTONDBLCLK) {
    const POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (HitCircles(p)) {
      case 2:
        OnChooseColour(IDC_COLOUR_CHOOSE);
        return 0;
      case 1:
        if (ChooseColour(&m_copy.m_secondColour)) DrawPreview();
        return 0;
    }
  }
  return CAttributeEditDialog<CColourAttribute>::WindowProc(msg, wp, lp);
}

INT_PTR EditClsCommand(CSceneCommand& command, HWND parent) {
  return EditAttributeCommand<CColourDlg>(command, static_cast<CClsCommand&>(command).m_colour,
                                          parent);
}

// ---- description: Repeat ---------------------------------------------------------

INT_PTR EditRepeatCommand(CSceneCommand& command, HWND parent) {
  std::unique_ptr<CDescriptionDlg> dlg(new CDescriptionDlg(command.m_comment, &command, parent));
  const INT_PTR result = dlg->DoModal();
  if (result == IDOK) command.m_comment.CopyFrom(dlg->m_copy);
  return result;
}

// ---- wait --------------------------------------------------------------------------

const CDecimalField CWaitDlg::kField = {100.0, 1.0, 2, 9, "sec"};

const CCommandEntry CWaitDlg::commandEntries[] = {
    NotifyEntry(IDC_WAIT_SPIN, UDN_DELTAPOS, &CWaitDlg::OnSpin),
    CommandEntry(IDC_WAIT_RANDOM, &CWaitDlg::OnRandom),
};
LW_IMPLEMENT_COMMAND_TABLE(CWaitDlg, CWaitDlg::CEditDialog)

CWaitDlg::CWaitDlg(const CDurationAttribute& source, CSceneCommand* command, HWND parent)
    : CAttributeEditDialog<CDurationAttribute>(IDD_WAIT, source, command, parent),
      m_seconds(static_cast<float>(m_copy.m_milliseconds * 0.001)) {}

bool CWaitDlg::OnInitDialog() {
  CAttributeEditDialog<CDurationAttribute>::OnInitDialog();
  ::SendMessageA(GetDlgItem(IDC_WAIT_SPIN), UDM_SETRANGE32, 0, 100);
  const HWND edit = GetDlgItem(IDC_WAIT_DURATION);
  char text[64] = "";
  ::GetWindowTextA(edit, text, sizeof text);
  CString shown = text;
  shown += " ";
  shown += kField.unit;
  ::SetWindowTextA(edit, shown);
  SetCommentCaption();
  OnRandom(IDC_WAIT_RANDOM);
  return true;
}

void CWaitDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Duration(dx, IDC_WAIT_DURATION, m_seconds, m_copy.m_milliseconds, kField);
  DDX_Check(dx, IDC_WAIT_RANDOM, m_copy.m_random);
}

bool CWaitDlg::OnSpin(NMHDR* hdr, LRESULT* result) {
  StepDecimalEdit(GetDlgItem(IDC_WAIT_DURATION), reinterpret_cast<NMUPDOWN*>(hdr), kField);
  *result = 1;  // the spin's own position stays
  return true;
}

// Called when "&Random" is clicked: a random wait has no duration to type.
bool CWaitDlg::OnRandom(UINT) {
  ::EnableWindow(GetDlgItem(IDC_WAIT_DURATION), !IsDlgButtonChecked(IDC_WAIT_RANDOM));
  return true;
}

INT_PTR EditWaitCommand(CSceneCommand& command, HWND parent) {
  return EditAttributeCommand<CWaitDlg>(command, static_cast<CWaitCommand&>(command).m_duration,
                                        parent);
}

// ---- until -------------------------------------------------------------------------

namespace {
const int kMaxRepeatCount = 999999;
const int kSpinRepeatCount = 5000;
}  // namespace

const CCommandEntry CUntilDlg::commandEntries[] = {
    CommandEntry(IDC_UNTIL_INFINITE, &CUntilDlg::OnInfinite),
};
LW_IMPLEMENT_COMMAND_TABLE(CUntilDlg, CUntilDlg::CEditDialog)

CUntilDlg::CUntilDlg(const CRepeatCountAttribute& source, CSceneCommand* command, HWND parent)
    : CAttributeEditDialog<CRepeatCountAttribute>(IDD_UNTIL, source, command, parent) {}

bool CUntilDlg::OnInitDialog() {
  CAttributeEditDialog<CRepeatCountAttribute>::OnInitDialog();
  ::SendMessageA(GetDlgItem(IDC_UNTIL_SPIN), UDM_SETRANGE32, 1, kSpinRepeatCount);
  SetCommentCaption();
  OnInfinite(IDC_UNTIL_INFINITE);
  return true;
}

void CUntilDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_UNTIL_COUNT, m_copy.m_count);
  DDV_MinMaxInt(dx, m_copy.m_count, 1, kMaxRepeatCount);
  DDX_Check(dx, IDC_UNTIL_INFINITE, m_copy.m_infinite);
}

// Called when "&Infinite" is clicked: an endless loop has no count.
bool CUntilDlg::OnInfinite(UINT) {
  ::EnableWindow(GetDlgItem(IDC_UNTIL_COUNT), !IsDlgButtonChecked(IDC_UNTIL_INFINITE));
  return true;
}

INT_PTR EditUntilCommand(CSceneCommand& command, HWND parent) {
  return EditAttributeCommand<CUntilDlg>(command, static_cast<CUntilCommand&>(command).m_repeat,
                                         parent);
}

// ---- comment -----------------------------------------------------------------------

CCommentDlg::CCommentDlg(CCommentCommand& command, HWND parent)
    : CCommandEditDialog<CCommentCommand>(IDD_COMMENT, command, parent) {}

// The caret goes after the text rather than selecting all of it, so that a
// typed key adds to a long note instead of replacing it.
bool CCommentDlg::OnInitDialog() {
  CCommandEditDialog<CCommentCommand>::OnInitDialog();
  const HWND edit = GetDlgItem(IDC_COMMENT_TEXT);
  ::SetFocus(edit);
  ::SendMessageA(edit, EM_SETSEL, m_copy.m_text.GetLength(), m_copy.m_text.GetLength());
  return false;
}

void CCommentDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_COMMENT_TEXT, m_copy.m_text);
}

INT_PTR EditCommentCommand(CSceneCommand& command, HWND parent) {
  return EditWholeCommand<CCommentDlg>(static_cast<CCommentCommand&>(command), parent);
}

// ---- url ---------------------------------------------------------------------------

namespace {
const char kUrlPrefix[] = "http://";
}

CString WithUrlPrefix(const CString& location) {
  const char* text = location;
  if (_strnicmp(text, "http://", 7) == 0 || _strnicmp(text, "https://", 8) == 0) return location;
  CString prefixed = kUrlPrefix;
  prefixed += location;
  return prefixed;
}

const CCommandEntry CInsertUrlDlg::commandEntries[] = {
    CommandEntry(IDC_URL_NO_MONITORING, &CInsertUrlDlg::OnMonitoring),
};
LW_IMPLEMENT_COMMAND_TABLE(CInsertUrlDlg, CInsertUrlDlg::CEditDialog)

CInsertUrlDlg::CInsertUrlDlg(CUrlCommand& command, HWND parent)
    : CCommandEditDialog<CUrlCommand>(IDD_INSERT_URL, command, parent) {}

bool CInsertUrlDlg::OnInitDialog() {
  // No key chosen yet shows as any of them.
  if (m_copy.m_keys < 0 || m_copy.m_keys > 3) m_copy.m_keys = 3;
  CCommandEditDialog<CUrlCommand>::OnInitDialog();
  EnableKeys();
  return true;
}

void CInsertUrlDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_URL_LOCATION, m_copy.m_location);
  DDX_Radio(dx, IDC_URL_KEY_ENTER, m_copy.m_keys);
  DDX_Check(dx, IDC_URL_NO_MONITORING, m_copy.m_monitoringOff);
}

void CInsertUrlDlg::EnableKeys() {
  const BOOL on = !m_copy.m_monitoringOff;
  for (int id : {IDC_URL_LOCATION, IDC_URL_KEY_ENTER, IDC_URL_KEY_F12, IDC_URL_KEY_SPACE,
                 IDC_URL_KEY_ANY})
    ::EnableWindow(GetDlgItem(id), on);
}

// Called when "Disable URL Monitoring" is clicked.
bool CInsertUrlDlg::OnMonitoring(UINT) {
  UpdateData(true);
  EnableKeys();
  return true;
}

void CInsertUrlDlg::OnOK() {
  if (!UpdateData(true)) return;
  m_copy.m_location = WithUrlPrefix(m_copy.m_location);
  UpdateData(false);
  CCommandEditDialog<CUrlCommand>::OnOK();
}

INT_PTR EditUrlCommand(CSceneCommand& command, HWND parent) {
  CUrlCommand& url = static_cast<CUrlCommand&>(command);
  std::unique_ptr<CInsertUrlDlg> dlg(new CInsertUrlDlg(url, parent));
  INT_PTR result = dlg->DoModal();
  if (result != IDOK) return result;
  // While monitoring is on, an address left empty (or only the prefix)
  // keeps the old values. A Url that turns monitoring off needs none.
  const CString& location = dlg->m_copy.m_location;
  if (!dlg->m_copy.m_monitoringOff && (location.IsEmpty() || location == kUrlPrefix))
    return IDCANCEL;
  url.CopyFrom(dlg->m_copy);
  return result;
}
