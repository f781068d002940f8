// The Options dialog: the editor's preferences (a copy of the options
// record the caller takes back on OK) and the builder settings it keeps in
// the profile itself: the folder-import limit, savers without settings,
// and the custom logo and icon that Make SCR writes into every saver. A
// logo or icon is checked when it is chosen, against what the saver's
// slots take, so that a file the writer would refuse never gets that far.
#pragma once

#include <windows.h>

#include "builder/controls/CustomControls.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "script/Options.h"

class CImageTextObject;

// Runs the dialog on the palette's options; true when OK changed them (the
// fonts are then remade).
bool RunOptionsDialog(HWND parent);

// The custom files as the saver writer takes them: "Custom.bmp", a 96 x 112
// picture of 8 bits with a 256-colour palette, and "Custom.ico".
constexpr int kLogoWidth = 96;
constexpr int kLogoHeight = 112;
extern const char kLogoNeeds256Message[];  // "Image must have 256 colors!"
extern const char kLogoResizedMessage[];   // "Image resized to fit 96x112."
extern const char kIconRefusedMessage[];   // "Custom icon has to be made with 16 colors, ..."
extern const char kIconCopyFailedMessage[];  // "Cannot copy selected icon!"

// Whether an icon file holds a 16 x 16 and a 32 x 32 image of 16 colours
// and every image the saver's icon slots take has exactly their size.
bool IsUsableCustomIcon(const char* path);

class COptionsDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  COptionsDlg(const CBuilderOptions& options, HWND parent);
  ~COptionsDlg() override;

  CBuilderOptions& GetWorkingCopy() { return m_options; }
  // Where "Custom.bmp" and "Custom.ico" go, with a trailing backslash: the
  // builder's own folder unless set.
  CString m_customFolder;

  // The beep value shown for v milliseconds ("No" for 0), and the rules
  // of the field: to the nearest multiple of the tick, and one step of the
  // spin, each within 0 to 50 ticks.
  static CString BeepText(int value);
  static int RoundBeep(int value, int tick);
  static int StepBeep(int value, int tick, bool up);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnStyleChanged(UINT id);
  bool OnFont(UINT id);
  bool OnSoftDragging(UINT id);
  bool OnBeepKillFocus(UINT id);
  bool OnBeepSpin(NMHDR* hdr, LRESULT* result);
  bool OnBrowseLogo(UINT id);
  bool OnBrowseIcon(UINT id);
  bool OnUseLogo(UINT id);
  bool OnUseIcon(UINT id);
  void FillStyles();
  void ShowLogo(bool custom);
  bool LoadIcon();
  int Tick() const { return m_options.m_waitTick > 0 ? m_options.m_waitTick : 100; }
  int ReadBeep() const;
  CString CustomFolder() const;

  CBuilderOptions m_options;
  CPreviewStatic m_logo;
  CImageTextObject* m_logoObject = nullptr;
  HICON m_icon = nullptr;
  int m_imageLimit = 40;
  int m_scrSettings = 0;
};
