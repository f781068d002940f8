// The Options dialog and the checks of the custom logo and icon.
#include "builder/OptionsDlg.h"

#include <commctrl.h>

#include <cstdlib>

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/Settings.h"
#include "builder/resource.h"
#include "common/Payload.h"
#include "framework/CommonDialogs.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "imaging/ImageLib.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "wizards/SaverMaker.h"

const char kLogoNeeds256Message[] = "Image must have 256 colors!";
const char kLogoResizedMessage[] = "Image resized to fit 96x112.";
const char kIconRefusedMessage[] =
    "Custom icon has to be made with 16 colors, and contain both 16x16 and 32x32 sizes. Please "
    "try with another .ico file.";
const char kIconCopyFailedMessage[] = "Cannot copy selected icon!";

namespace {

const char* const kStyleNames[] = {"Normal", "Comment", "Disable", "Drag colour"};
constexpr int kDragColourStyle = 3;
// The logo file: the file header, then the bitmap as the saver carries it.
constexpr DWORD kLogoFileSize = 14 + carried::kLogoSize;

// A 96 x 112 logo of 8 bits from any palettised BMP: resized when its size
// differs (resized set). False with the library's error otherwise.
bool ReadLogo(const char* path, BYTE** pixels, RGBQUAD* palette, bool* resized) {
  *resized = false;
  HPVSRC src = OpenFileSource(path);
  if (!src) return false;
  int width = 0, height = 0;
  BYTE* read = ReadBmp(src, &width, &height, 8, palette);
  CloseSource(src);
  if (!read) return false;
  if (width == kLogoWidth && height == kLogoHeight) {
    *pixels = read;
    return true;
  }
  BYTE* fitted = static_cast<BYTE*>(::GlobalAlloc(GPTR, kLogoWidth * kLogoHeight));
  const bool ok = fitted && ResizePaletteImage(read, width, height, fitted, kLogoWidth,
                                               kLogoHeight, 256, palette);
  ::GlobalFree(read);
  if (!ok) {
    if (fitted) ::GlobalFree(fitted);
    return false;
  }
  *pixels = fitted;
  *resized = true;
  return true;
}

// Writes the 96 x 112 logo as the file at path, whole or not at all: into
// a file beside it that takes its place once complete, so that every later
// saver finds either the previous logo or this one. False, after telling
// the user, when it cannot be written.
bool WriteLogo(const char* path, const BYTE* pixels, const RGBQUAD* palette) {
  const CString notWritten = CString(path) + "\n\ncannot be written.";
  CString temporary;
  if (!MakeTemporaryBeside(path, temporary)) {
    AfxMessageBox(notWritten, MB_ICONEXCLAMATION);
    return false;
  }
  bool written = false;
  if (HPVDEST dest = OpenFileDest(temporary)) {
    written = WriteBmp(dest, pixels, kLogoWidth, kLogoHeight, 8, 256, palette, FALSE) != 0;
    CloseDest(dest);
  }
  // A buffered write can fail as the file closes: only a whole file counts.
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  written = written && ::GetFileAttributesExA(temporary, GetFileExInfoStandard, &data) &&
            data.nFileSizeHigh == 0 && data.nFileSizeLow == kLogoFileSize;
  if (!written) {
    ::DeleteFileA(temporary);
    AfxMessageBox(GetImageErrorText(GetImageError()), MB_ICONEXCLAMATION);
    return false;
  }
  if (!ReplaceWithTemporary(temporary, path)) {
    ::DeleteFileA(temporary);
    AfxMessageBox(notWritten, MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

// Copies the file over target the same way: complete, or not at all.
bool CopyBeside(const char* source, const char* target) {
  CString temporary;
  if (!MakeTemporaryBeside(target, temporary)) return false;
  if (::CopyFileA(source, temporary, FALSE) && ReplaceWithTemporary(temporary, target)) return true;
  ::DeleteFileA(temporary);
  return false;
}

}  // namespace

bool IsUsableCustomIcon(const char* path) {
  CIconFile icon;
  if (!icon.Load(path)) return false;
  const int small = icon.Find16x16(), large = icon.Find32x32(), huge = icon.Find48x48();
  if (small < 0 || large < 0) return false;
  if (icon.GetBytesInRes(small) != static_cast<int>(carried::kIcon16Size)) return false;
  if (icon.GetBytesInRes(large) != static_cast<int>(carried::kIcon32Size)) return false;
  return huge < 0 || icon.GetBytesInRes(huge) == static_cast<int>(carried::kIcon48Size);
}

// ------------------------------------------------------------ the dialog

const CCommandEntry COptionsDlg::commandEntries[] = {
    ControlEntry(IDC_OPT_STYLES, LBN_SELCHANGE, &COptionsDlg::OnStyleChanged),
    ControlEntry(IDC_OPT_STYLES, LBN_DBLCLK, &COptionsDlg::OnFont),
    CommandEntry(IDC_OPT_FONT, &COptionsDlg::OnFont),
    CommandEntry(IDC_OPT_SOFTDRAG, &COptionsDlg::OnSoftDragging),
    ControlEntry(IDC_OPT_BEEP, EN_KILLFOCUS, &COptionsDlg::OnBeepKillFocus),
    NotifyEntry(IDC_OPT_BEEP_SPIN, UDN_DELTAPOS, &COptionsDlg::OnBeepSpin),
    CommandEntry(IDC_OPT_LOGO_BROWSE, &COptionsDlg::OnBrowseLogo),
    CommandEntry(IDC_OPT_ICON_BROWSE, &COptionsDlg::OnBrowseIcon),
    CommandEntry(IDC_OPT_LOGO_USE, &COptionsDlg::OnUseLogo),
    CommandEntry(IDC_OPT_ICON_USE, &COptionsDlg::OnUseIcon),
};
LW_IMPLEMENT_COMMAND_TABLE(COptionsDlg, CCmdDialog)

COptionsDlg::COptionsDlg(const CBuilderOptions& options, HWND parent)
    : CCmdDialog(IDD_OPTIONS, parent) {
  m_options.CopyFrom(options);
}

COptionsDlg::~COptionsDlg() {
  delete m_logoObject;
  if (m_icon) ::DestroyIcon(m_icon);
}

CString COptionsDlg::CustomFolder() const {
  if (!m_customFolder.IsEmpty()) return m_customFolder;
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = strrchr(path, '\\');
  if (slash) slash[1] = '\0';
  return path;
}

CString COptionsDlg::BeepText(int value) {
  if (value == 0) return "No";
  CString text;
  text.Format("%d", value);
  return text;
}

int COptionsDlg::RoundBeep(int value, int tick) {
  int ticks = (value + tick / 2) / tick;
  if (ticks < 0) ticks = 0;
  if (ticks > CBuilderOptions::kMaxBeepTicks) ticks = CBuilderOptions::kMaxBeepTicks;
  return ticks * tick;
}

int COptionsDlg::StepBeep(int value, int tick, bool up) {
  int ticks = value / tick;
  if (up) {
    ++ticks;
  } else if (value % tick == 0) {
    --ticks;
  }
  if (ticks < 0) ticks = 0;
  if (ticks > CBuilderOptions::kMaxBeepTicks) ticks = CBuilderOptions::kMaxBeepTicks;
  return ticks * tick;
}

int COptionsDlg::ReadBeep() const {
  char text[32] = "";
  GetDlgItemText(IDC_OPT_BEEP, text, sizeof text);
  return static_cast<int>(strtol(text, nullptr, 10));  // "No" reads as 0
}

void COptionsDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_OPT_TAB, m_options.m_tabSize);
  DDV_MinMaxInt(dx, m_options.m_tabSize, 0, CBuilderOptions::kMaxTabSize);
  DDX_Text(dx, IDC_OPT_SCROLL, m_options.m_scrollTime);
  DDV_MinMaxInt(dx, m_options.m_scrollTime, 0, CBuilderOptions::kMaxScrollTime);
  DDX_Text(dx, IDC_OPT_IMAGELIMIT, m_imageLimit);
  DDX_Check(dx, IDC_OPT_SCRSETTINGS, m_scrSettings);
}

bool COptionsDlg::OnInitDialog() {
  m_imageLimit = GetSettingsInt("ImageLimit", 40);
  m_scrSettings = GetSettingsInt("SCRSettings", 0) ? 1 : 0;
  CCmdDialog::OnInitDialog();
  m_logo.SubclassDlgItem(IDC_OPT_LOGO_PREVIEW, m_hWnd);
  m_logoObject = new CImageTextObject;
  ::SendDlgItemMessageA(m_hWnd, IDC_OPT_BEEP_SPIN, UDM_SETRANGE32, 0,
                        CBuilderOptions::kMaxBeepTicks);
  SetDlgItemText(IDC_OPT_BEEP, BeepText(m_options.m_beepOnWait));
  FillStyles();
  CheckDlgButton(IDC_OPT_DRAGCOLOUR, m_options.m_dragColourOn ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_SOFTDRAG, m_options.m_softDragging ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_CLIPBOARD,
                 m_options.m_deleteClipboardOnExit ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_SAVEPREVIEW, m_options.m_saveBeforePreview ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_AUTOSTART, m_options.m_previewAutoStart ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_TOOLBAR, m_options.m_showPreviewToolbar ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(IDC_OPT_SPLASH, m_options.m_splash ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(GetDlgItem(IDC_OPT_DRAGCOLOUR), !m_options.m_softDragging);

  const CString logo = CustomFolder() + "Custom.bmp";
  const bool customLogo =
      GetSettingsInt("CustomImage", 0) && ::GetFileAttributesA(logo) != INVALID_FILE_ATTRIBUTES;
  ShowLogo(customLogo);
  CheckDlgButton(IDC_OPT_LOGO_USE, customLogo ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(GetDlgItem(IDC_OPT_LOGO_USE), customLogo);
  if (customLogo) m_logo.ShowImageFile(m_logoObject, logo);

  const bool customIcon = GetSettingsInt("CustomIcon", 0) && LoadIcon();
  CheckDlgButton(IDC_OPT_ICON_USE, customIcon ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(GetDlgItem(IDC_OPT_ICON_USE), customIcon);
  return true;
}

void COptionsDlg::FillStyles() {
  const HWND list = GetDlgItem(IDC_OPT_STYLES);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const int count = m_options.m_softDragging ? kDragColourStyle : kDragColourStyle + 1;
  for (int i = 0; i < count; ++i)
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kStyleNames[i]));
  ::SendMessageA(list, LB_SETCURSEL, 0, 0);
  OnStyleChanged(IDC_OPT_STYLES);
}

bool COptionsDlg::OnStyleChanged(UINT) {
  const int style = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_OPT_STYLES, LB_GETCURSEL, 0, 0));
  SetDlgItemText(IDC_OPT_FONT, style == kDragColourStyle ? "&Colour..." : "&Font...");
  return true;
}

bool COptionsDlg::OnFont(UINT) {
  const int style = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_OPT_STYLES, LB_GETCURSEL, 0, 0));
  if (style == kDragColourStyle) {
    CColorDialog chooser(m_options.m_dragColour, CC_RGBINIT, m_hWnd);
    if (chooser.DoModal() == IDOK) m_options.m_dragColour = chooser.GetColor();
    return true;
  }
  if (style < 0 || style > 2) return true;
  LOGFONTA* fonts[] = {&m_options.m_normalFont, &m_options.m_commentFont, &m_options.m_disableFont};
  COLORREF* colours[] = {&m_options.m_normalColour, &m_options.m_commentColour,
                         &m_options.m_disableColour};
  CFontDialog chooser(fonts[style], CF_SCREENFONTS | CF_EFFECTS, m_hWnd);
  chooser.m_cf.rgbColors = *colours[style];
  if (chooser.DoModal() == IDOK) {
    chooser.GetCurrentFont(fonts[style]);
    *colours[style] = chooser.GetColor();
  }
  return true;
}

bool COptionsDlg::OnSoftDragging(UINT) {
  m_options.m_softDragging = IsDlgButtonChecked(IDC_OPT_SOFTDRAG) == BST_CHECKED ? 1 : 0;
  ::EnableWindow(GetDlgItem(IDC_OPT_DRAGCOLOUR), !m_options.m_softDragging);
  FillStyles();
  return true;
}

bool COptionsDlg::OnBeepKillFocus(UINT) {
  SetDlgItemText(IDC_OPT_BEEP, BeepText(RoundBeep(ReadBeep(), Tick())));
  return true;
}

bool COptionsDlg::OnBeepSpin(NMHDR* hdr, LRESULT* result) {
  const NMUPDOWN* ud = reinterpret_cast<NMUPDOWN*>(hdr);
  SetDlgItemText(IDC_OPT_BEEP, BeepText(StepBeep(ReadBeep(), Tick(), ud->iDelta > 0)));
  *result = 1;
  return true;
}

void COptionsDlg::ShowLogo(bool custom) {
  ::ShowWindow(GetDlgItem(IDC_OPT_LOGO_PREVIEW), custom ? SW_SHOW : SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_OPT_LOGO_DEFAULT), custom ? SW_HIDE : SW_SHOW);
}

bool COptionsDlg::LoadIcon() {
  const CString path = CustomFolder() + "Custom.ico";
  const HICON icon = static_cast<HICON>(::LoadImageA(nullptr, path, IMAGE_ICON, 0, 0,
                                                      LR_LOADFROMFILE | LR_DEFAULTSIZE));
  if (!icon) return false;
  ::SendDlgItemMessageA(m_hWnd, IDC_OPT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (m_icon) ::DestroyIcon(m_icon);
  m_icon = icon;
  return true;
}

bool COptionsDlg::OnBrowseLogo(UINT) {
  CFileDialogEx chooser(false, true, nullptr, nullptr, OFN_EXPLORER | OFN_HIDEREADONLY,
                        "Bitmaps 96x112, 256 colours  (.bmp)|*.bmp|", m_hWnd);
  const CString folder = GetSettingsFolder("CustomImagePath");
  chooser.m_ofn.lpstrInitialDir = folder;
  chooser.m_ofn.lpstrTitle = "New Image";
  if (chooser.DoModal() != IDOK) return true;
  WriteSettingsString("CustomImagePath", chooser.GetFolderPath());

  BYTE* pixels = nullptr;
  RGBQUAD palette[256] = {};
  bool resized = false;
  if (!ReadLogo(chooser.GetPathName(), &pixels, palette, &resized)) {
    // The custom logo in place stays; only the choice is refused.
    AfxMessageBox(GetImageError() == kImgWrongDepth ? kLogoNeeds256Message
                                                    : GetImageErrorText(GetImageError()),
                  MB_ICONEXCLAMATION);
    return true;
  }
  if (resized) AfxMessageBox(kLogoResizedMessage, MB_ICONINFORMATION);
  const CString logo = CustomFolder() + "Custom.bmp";
  if (!WriteLogo(logo, pixels, palette)) {
    ::GlobalFree(pixels);
    return true;
  }
  ::GlobalFree(pixels);
  ShowLogo(true);
  delete m_logoObject;
  m_logoObject = new CImageTextObject;
  m_logo.ShowImageFile(m_logoObject, logo);
  ::EnableWindow(GetDlgItem(IDC_OPT_LOGO_USE), TRUE);
  CheckDlgButton(IDC_OPT_LOGO_USE, BST_CHECKED);
  WriteSettingsInt("CustomImage", 1);
  return true;
}

bool COptionsDlg::OnBrowseIcon(UINT) {
  CFileDialogEx chooser(false, true, nullptr, nullptr, OFN_EXPLORER | OFN_HIDEREADONLY,
                        "Icon  (.ico)|*.ico|", m_hWnd);
  const CString folder = GetSettingsFolder("CustomIconPath");
  chooser.m_ofn.lpstrInitialDir = folder;
  chooser.m_ofn.lpstrTitle = "Choose screen saver icon";
  if (chooser.DoModal() != IDOK) return true;
  WriteSettingsString("CustomIconPath", chooser.GetFolderPath());
  const CString chosen = chooser.GetPathName();
  if (!IsUsableCustomIcon(chosen)) {
    AfxMessageBox(kIconRefusedMessage, MB_ICONEXCLAMATION);
    return true;
  }
  const CString icon = CustomFolder() + "Custom.ico";
  if (chosen.CompareNoCase(icon) != 0 && !CopyBeside(chosen, icon)) {
    AfxMessageBox(kIconCopyFailedMessage, MB_ICONEXCLAMATION);
    return true;
  }
  LoadIcon();
  ::EnableWindow(GetDlgItem(IDC_OPT_ICON_USE), TRUE);
  CheckDlgButton(IDC_OPT_ICON_USE, BST_CHECKED);
  WriteSettingsInt("CustomIcon", 1);
  return true;
}

bool COptionsDlg::OnUseLogo(UINT) {
  WriteSettingsInt("CustomImage", IsDlgButtonChecked(IDC_OPT_LOGO_USE) == BST_CHECKED ? 1 : 0);
  return true;
}

bool COptionsDlg::OnUseIcon(UINT) {
  WriteSettingsInt("CustomIcon", IsDlgButtonChecked(IDC_OPT_ICON_USE) == BST_CHECKED ? 1 : 0);
  return true;
}

void COptionsDlg::OnOK() {
  if (::GetFocus() == GetDlgItem(IDC_OPT_BEEP)) OnBeepKillFocus(IDC_OPT_BEEP);
  if (!UpdateData(true)) return;
  m_options.m_beepOnWait = RoundBeep(ReadBeep(), Tick());
  WriteSettingsInt("ImageLimit", m_imageLimit);
  WriteSettingsInt("SCRSettings", m_scrSettings);
  auto checked = [this](int id) { return IsDlgButtonChecked(id) == BST_CHECKED ? 1 : 0; };
  m_options.m_dragColourOn = checked(IDC_OPT_DRAGCOLOUR);
  m_options.m_softDragging = checked(IDC_OPT_SOFTDRAG);
  // Checked keeps the kind of clearing chosen (1 empties, 2 asks).
  const int clipboard = m_options.m_deleteClipboardOnExit;
  m_options.m_deleteClipboardOnExit = checked(IDC_OPT_CLIPBOARD) ? (clipboard ? clipboard : 1) : 0;
  m_options.m_saveBeforePreview = checked(IDC_OPT_SAVEPREVIEW);
  m_options.m_previewAutoStart = checked(IDC_OPT_AUTOSTART);
  m_options.m_showPreviewToolbar = checked(IDC_OPT_TOOLBAR);
  m_options.m_splash = checked(IDC_OPT_SPLASH);
  EndDialog(IDOK);
}

bool RunOptionsDialog(HWND parent) {
  CBuilderOptions* options = g_pCommandPalette ? g_pCommandPalette->GetOptions() : nullptr;
  if (!options) return false;
  COptionsDlg dialog(*options, parent);
  if (dialog.DoModal() != IDOK) return false;
  options->CopyFrom(dialog.GetWorkingCopy());
  options->CreateFonts();
  return true;
}
