// The Image/Text object dialog: a text with its font, colours and
// justification, or a picture chosen from a file (with a preview in the
// chooser), captured from the desktop or composed from the wallpaper, and
// the size it is drawn at. The dialog works on a copy of the object; a new
// picture joins the copy only once it has been read and decoded.
#include <windows.h>

#include "builder/BuilderApp.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/Settings.h"
#include "builder/ObjectDialogs.h"
#include "builder/resource.h"
#include "common/AppUtils.h"
#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "imaging/RgbImage.h"

namespace {

const int kTextMaxChars = 5000;
const char kImagePathEntry[] = "ImagePath";

// The controls a text uses and those a picture uses; the other kind's are
// disabled.
const int kTextControls[] = {IDC_IT_FONT, IDC_IT_TEXT, IDC_IT_TRANSPARENT,
                             IDC_IT_YOUR_BACKGROUND, IDC_IT_JUSTIFY_LEFT,
                             IDC_IT_JUSTIFY_CENTRE, IDC_IT_JUSTIFY_RIGHT};
const int kPictureControls[] = {IDC_IT_PICTURE_NAME, IDC_IT_DESKTOP, IDC_IT_WALLPAPER,
                                IDC_IT_SET_IMAGE, IDC_IT_WIDTH, IDC_IT_HEIGHT,
                                IDC_IT_FULL_SCREEN};

// The justification buttons' ids and pictures (up, down), in order.
struct JustifyButton {
  int id;
  UINT up, down;
};
const JustifyButton kJustifyButtons[3] = {
    {IDC_IT_JUSTIFY_LEFT, IDB_JUSTIFY_LEFT_UP, IDB_JUSTIFY_LEFT_DOWN},
    {IDC_IT_JUSTIFY_CENTRE, IDB_JUSTIFY_CENTRE_UP, IDB_JUSTIFY_CENTRE_DOWN},
    {IDC_IT_JUSTIFY_RIGHT, IDB_JUSTIFY_RIGHT_UP, IDB_JUSTIFY_RIGHT_DOWN},
};

CString TemporaryPath(const char* name) {
  char folder[MAX_PATH] = "";
  ::GetTempPathA(sizeof folder, folder);
  CString path = folder;
  if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
  path += name;
  return path;
}

// The folder a picture is chosen from: the one the last picture came from,
// else My Documents.
CString GetImageFolder() {
  const CString documents = GetMyDocumentsPath();
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return documents;
  char folder[MAX_PATH] = "";
  app->GetProfileString(kSettingsSection, kImagePathEntry, documents, folder, sizeof folder);
  return folder;
}

}  // namespace

const char CImageTextDlg::kChooserTitle[] = "New Image";
const char CImageTextDlg::kChooserFilter[] =
    "All supported formats|*.bmp;*jpg;*.png;*.pcx;*.tga|Bitmaps (.bmp)|*.bmp|JPEG (.jpg)|*.jpg|"
    "PNG (.png)|*.png|PCX (.pcx)|*.pcx|Targa (.tga)|*.tga|All Files (*.*)|*.*||";
const char CImageTextDlg::kDesktopFileName[] = "desktop.jpg";
const char CImageTextDlg::kWallpaperFileName[] = "wallpaper.jpg";

const CCommandEntry CImageTextDlg::commandEntries[] = {
    CommandEntry(IDC_IT_SET_TEXT, &CImageTextDlg::OnSetText),
    CommandEntry(IDC_IT_TRANSPARENT, &CImageTextDlg::OnBackground),
    CommandEntry(IDC_IT_YOUR_BACKGROUND, &CImageTextDlg::OnBackground),
    ControlEntry(IDC_IT_TEXT, EN_CHANGE, &CImageTextDlg::OnTextChanged),
    CommandEntry(IDC_COLOUR_CHOOSE, &CImageTextDlg::OnColour),
    CommandEntry(IDC_IT_FONT, &CImageTextDlg::OnFont),
    CommandEntry(IDC_IT_SET_IMAGE, &CImageTextDlg::OnSetImage),
    CommandEntry(IDC_IT_DESKTOP, &CImageTextDlg::OnCapture),
    CommandEntry(IDC_IT_WALLPAPER, &CImageTextDlg::OnCapture),
    CommandEntry(IDC_IT_FULL_SCREEN, &CImageTextDlg::OnFullScreen),
    CommandEntry(IDC_IT_JUSTIFY_LEFT, &CImageTextDlg::OnJustify),
    CommandEntry(IDC_IT_JUSTIFY_CENTRE, &CImageTextDlg::OnJustify),
    CommandEntry(IDC_IT_JUSTIFY_RIGHT, &CImageTextDlg::OnJustify),
};
LW_IMPLEMENT_COMMAND_TABLE(CImageTextDlg, CEditDialog)

CImageTextDlg::CImageTextDlg(CImageTextObject& object, HWND parent)
    : CCommandEditDialog<CImageTextObject>(IDD_IMAGE_TEXT, object, parent) {}

INT_PTR EditImageTextCommand(CSceneCommand& command, HWND parent) {
  return EditWholeCommand<CImageTextDlg>(static_cast<CImageTextObject&>(command), parent);
}

void CImageTextDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_IT_SET_TEXT, m_setText);
  DDX_Control(dx, IDC_IT_SET_IMAGE, m_setImage);
  DDX_Control(dx, IDC_OBJECT_PREVIEW, m_preview);
  for (int i = 0; i < 3; ++i) DDX_Control(dx, kJustifyButtons[i].id, m_justify[i]);
  DDX_Text(dx, IDC_IT_TEXT, m_copy.m_text);
  DDV_MaxChars(dx, m_copy.m_text, kTextMaxChars);
  DDX_Text(dx, IDC_IT_PICTURE_NAME, m_copy.m_displayName);
  DDX_Text(dx, IDC_IT_WIDTH, m_copy.m_width);
  DDX_Text(dx, IDC_IT_HEIGHT, m_copy.m_height);
  DDX_Check(dx, IDC_IT_FULL_SCREEN, m_copy.m_fullScreen);
  DDX_Check(dx, IDC_IT_KEEP_ASPECT, m_copy.m_keepAspect);
}

bool CImageTextDlg::OnInitDialog() {
  m_refreshing = true;
  CCommandEditDialog<CImageTextObject>::OnInitDialog();
  m_refreshing = false;
  SetEditFont();
  CheckRadioButton(IDC_IT_TRANSPARENT, IDC_IT_YOUR_BACKGROUND,
                   m_copy.m_bkMode != 0 ? IDC_IT_YOUR_BACKGROUND : IDC_IT_TRANSPARENT);
  m_setText.SetCheck(m_copy.IsText() ? 1 : 0);
  ApplyKind();
  GotoDlgCtrl(GetDlgItem(m_copy.IsText() ? IDC_IT_TEXT : IDOK));
  SetCommentCaption();
  for (int i = 0; i < 3; ++i) {
    m_justify[i].LoadBitmaps(kJustifyButtons[i].up, kJustifyButtons[i].down);
    m_justify[i].SizeToContent();
  }
  return false;
}

bool CImageTextDlg::ReadBack() {
  if (!UpdateData(true)) return false;
  m_copy.m_kind = m_setText.GetCheck() == 1 ? 1 : 0;
  m_copy.m_bkMode = IsDlgButtonChecked(IDC_IT_YOUR_BACKGROUND) == BST_CHECKED ? 1 : 0;
  return true;
}

void CImageTextDlg::Refresh() {
  m_refreshing = true;
  UpdateData(false);
  m_refreshing = false;
}

void CImageTextDlg::ShowPreview() { m_preview.ShowObject(&m_copy); }

void CImageTextDlg::ApplyKind() {
  const bool text = m_setText.GetCheck() == 1;
  for (int id : kTextControls) ::EnableWindow(GetDlgItem(id), text);
  for (int id : kPictureControls) ::EnableWindow(GetDlgItem(id), !text);
  if (text) {
    m_copy.m_imageSource = 1;
    ::EnableWindow(GetDlgItem(IDC_COLOUR_CHOOSE),
                   IsDlgButtonChecked(IDC_IT_YOUR_BACKGROUND) == BST_CHECKED);
    ::EnableWindow(GetDlgItem(IDC_IT_KEEP_ASPECT), false);
    GotoDlgCtrl(GetDlgItem(IDC_IT_TEXT));
  } else {
    ::EnableWindow(GetDlgItem(IDC_COLOUR_CHOOSE), false);
    ApplyFullScreen();
    GotoDlgCtrl(GetDlgItem(IDC_IT_SET_IMAGE));
  }
  ::InvalidateRect(GetDlgItem(IDC_IT_TEXT), nullptr, true);
  if (ReadBack()) ShowPreview();
}

void CImageTextDlg::ApplyFullScreen() {
  const bool full = IsDlgButtonChecked(IDC_IT_FULL_SCREEN) == BST_CHECKED;
  ::EnableWindow(GetDlgItem(IDC_IT_WIDTH), !full);
  ::EnableWindow(GetDlgItem(IDC_IT_HEIGHT), !full);
  ::EnableWindow(GetDlgItem(IDC_IT_KEEP_ASPECT), full);
  // The box is out of reach now, and the exchange leaves its field alone.
  if (!full) {
    CheckDlgButton(IDC_IT_KEEP_ASPECT, BST_UNCHECKED);
    m_copy.m_keepAspect = 0;
  }
}

void CImageTextDlg::SetEditFont() {
  LOGFONTA font = m_copy.m_font;
  m_editFont.DeleteObject();
  m_editFont.CreateFontIndirect(&font);
  ::SendMessageA(GetDlgItem(IDC_IT_TEXT), WM_SETFONT,
                 reinterpret_cast<WPARAM>(m_editFont.GetSafeHandle()), TRUE);
}

void CImageTextDlg::FocusAsDefault(int id, CToggleButton& button) {
  SetDefID(id);
  button.SetDefault(1);
  GotoDlgCtrl(GetDlgItem(id));
}

// Called when "Set &Text" was clicked: the toggle has flipped already.
bool CImageTextDlg::OnSetText(UINT) {
  ApplyKind();
  return true;
}

bool CImageTextDlg::OnBackground(UINT) {
  ::EnableWindow(GetDlgItem(IDC_COLOUR_CHOOSE),
                 IsDlgButtonChecked(IDC_IT_YOUR_BACKGROUND) == BST_CHECKED);
  ::InvalidateRect(GetDlgItem(IDC_IT_TEXT), nullptr, true);
  if (ReadBack()) ShowPreview();
  return true;
}

// Called on every change of the text, also while the exchange fills the
// edit: only a change the user made to a text is previewed.
bool CImageTextDlg::OnTextChanged(UINT) {
  if (m_refreshing || !m_copy.IsText()) return true;
  if (ReadBack()) ShowPreview();
  return true;
}

bool CImageTextDlg::OnColour(UINT id) {
  CColorDialog dlg(m_copy.m_bkColour, CC_FULLOPEN, m_hWnd);
  if (dlg.DoModal() != IDOK) return true;
  m_copy.m_bkColour = dlg.GetColor();
  ::InvalidateRect(GetDlgItem(IDC_IT_TEXT), nullptr, true);
  if (ReadBack()) ShowPreview();
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

bool CImageTextDlg::OnFont(UINT id) {
  CFontDialog dlg(&m_copy.m_font, CF_SCREENFONTS | CF_EFFECTS, m_hWnd);
  dlg.m_cf.rgbColors = m_copy.m_textColour;
  if (dlg.DoModal() != IDOK) return true;
  dlg.GetCurrentFont(&m_copy.m_font);
  m_copy.m_textColour = dlg.GetColor();
  SetEditFont();
  if (ReadBack()) {
    ::InvalidateRect(GetDlgItem(IDC_IT_TEXT), nullptr, true);
    ShowPreview();
  }
  RestoreDefaultButton(*this, static_cast<int>(id));
  return true;
}

bool CImageTextDlg::OnSetImage(UINT id) {
  if (!ReadBack()) return true;
  const CString folder = GetImageFolder();
  CFileDialogEx chooser(true, true, nullptr, nullptr, OFN_EXPLORER | OFN_HIDEREADONLY,
                        kChooserFilter, m_hWnd);
  chooser.m_ofn.lpstrTitle = kChooserTitle;
  chooser.m_ofn.lpstrInitialDir = folder;
  if (chooser.DoModal() == IDOK) {
    const CString path = chooser.GetPathName();
    const CString chosenFolder = chooser.GetFolderPath();
    if (CWinApp* app = AfxGetApp())
      app->WriteProfileString(kSettingsSection, kImagePathEntry, chosenFolder);
    // The working copy takes the picture only once it is read and decoded;
    // a picture that fails leaves it as it was, after the message.
    if (m_copy.TakePictureFile(path, 1)) {
      m_copy.m_width = m_copy.m_drawnSize.cx;
      m_copy.m_height = m_copy.m_drawnSize.cy;
      Refresh();
      ::SetCurrentDirectoryA(chosenFolder);
    }
    ShowPreview();
  }
  m_copy.m_imageSource = 1;
  FocusAsDefault(static_cast<int>(id), m_setImage);
  return true;
}

// "&Desktop" and "&Wallpaper": the picture is written to a temporary file,
// taken from there like a chosen file, and the file removed again.
bool CImageTextDlg::OnCapture(UINT id) {
  if (!ReadBack()) return true;
  const bool desktop = id == IDC_IT_DESKTOP;
  const CString path = TemporaryPath(desktop ? kDesktopFileName : kWallpaperFileName);
  const bool made = desktop ? CaptureDesktopToJpeg(path) : m_copy.CaptureWallpaper(path);
  if (made && m_copy.TakePictureFile(path, desktop ? 2 : 3)) {
    Refresh();
    ShowPreview();
  }
  ::DeleteFileA(path);
  return true;
}

bool CImageTextDlg::OnFullScreen(UINT) {
  ApplyFullScreen();
  return true;
}

bool CImageTextDlg::OnJustify(UINT id) {
  for (int i = 0; i < 3; ++i)
    if (kJustifyButtons[i].id == static_cast<int>(id)) m_copy.m_justification = i;
  if (m_copy.IsText() && ReadBack()) ShowPreview();
  return true;
}

void CImageTextDlg::OnOK() {
  if (!ReadBack()) return;
  if (m_copy.m_width == m_copy.m_drawnSize.cx && m_copy.m_height == m_copy.m_drawnSize.cy)
    m_copy.m_width = m_copy.m_height = 0;
  EndDialog(IDOK);
}

// The text edit previews the text's colours: the text colour, on the
// background colour while "&Your" is checked.
LRESULT CImageTextDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lp) == GetDlgItem(IDC_IT_TEXT) &&
      m_setText.GetSafeHwnd() && m_setText.GetCheck() == 1) {
    const HDC dc = reinterpret_cast<HDC>(wp);
    ::SetTextColor(dc, m_copy.m_textColour);
    if (IsDlgButtonChecked(IDC_IT_YOUR_BACKGROUND) == BST_CHECKED) {
      m_editBrush.DeleteObject();
      m_editBrush.CreateSolidBrush(m_copy.m_bkColour);
      ::SetBkColor(dc, m_copy.m_bkColour);
      return reinterpret_cast<LRESULT>(m_editBrush.GetSafeHandle());
    }
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  }
  return CCommandEditDialog<CImageTextObject>::WindowProc(msg, wp, lp);
}
