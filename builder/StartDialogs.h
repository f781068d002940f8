// The windows that greet the user: the splash picture shown over the main
// frame at start (CSplashWnd), the About box with its small movie
// (CAboutDlg) and the Start window that offers the ways to begin
// (CStartDlg). The splash and the Start window are chained: when the
// splash goes, the Start window opens unless the profile or the command
// line says otherwise.
#pragma once

#include "framework/DialogUI.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"

#include "builder/controls/CustomControls.h"

class CShockwaveFlash;

// The profile value (section "Settings") that keeps the Start window from
// opening at start when it is not 0.
extern const char kStartDialogEntry[];  // "StartDlg"

// "Lumenweave Version 4.8 (build <build code>)".
CString FormatVersionLine();

// How long the splash stays up, in milliseconds.
constexpr UINT kSplashMilliseconds = 2700;

class CSplashWnd : public CWnd {
 public:
  ~CSplashWnd() override;

  // Set at start from the command line: false keeps every splash away.
  static void EnableSplashScreen(bool enable);
  // Shows the splash over the parent and disables the parent while it is
  // up; nothing when the splash is off or one is up already. True when a
  // splash is up after the call.
  static bool ShowSplashScreen(HWND parent);
  // Called when the parent has been shown: the splash goes back above it
  // (not every window manager keeps an owned window above its owner).
  static void RaiseSplashScreen();
  // The one splash up, or null.
  static CSplashWnd* Current();
  // Takes the splash down (when one is up): the parent is enabled again,
  // and the Start window follows when it is due.
  static void HideSplashScreen();
  // Called first for every message the application's loop sees; never
  // takes one.
  static bool PreTranslateAppMessage(MSG* msg);

 protected:
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void PostNcDestroy() override;

 private:
  CSplashWnd() = default;
  bool Create(HWND parent);
  void Hide();

  CBitmap m_bitmap;
};

// The About box: the version line, the support and homepage buttons
// (their commands go on to the frame), and the movie played over the
// program's picture when the movie control can be made.
class CAboutDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CAboutDlg(HWND parent = nullptr);

  // The control the movie plays in, owned by the caller; null shows the
  // picture only.
  CShockwaveFlash* m_pFlash = nullptr;

 protected:
  bool OnInitDialog() override;
  bool OnSupport(UINT id);
  bool OnHomepage(UINT id);

 private:
  // Writes the program's movie to the temporary folder and plays it over
  // the picture; false (picture left as it is) when any step fails.
  bool PlayMovie();
};

// The Start window: six picture buttons. DoModal returns the chosen
// button's id (IDC_START_FLASH .. IDC_START_NEW), IDOK for Close or
// IDCANCEL; the check box writes "StartDlg" the moment it is clicked.
class CStartDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CStartDlg(HWND parent = nullptr);

  CRolloverButton& GetButton(int index) { return m_buttons[index]; }
  static constexpr int kButtonCount = 6;

 protected:
  bool OnInitDialog() override;
  bool OnChoice(UINT id);
  bool OnDontShow(UINT id);

 private:
  CRolloverButton m_buttons[kButtonCount];
};

// The frame's command for a Start window result: the Flash tool, the two
// wizards or Open; 0 for the results that need nothing more.
UINT StartWindowCommand(INT_PTR result);
