// The installer's one window, CInstallerDlg: the saver's name, a progress
// bar, and the buttons Install (copy the carried saver into the system
// folder and hand it to the display settings' installer of screen savers),
// Preview (run it once from a temporary file), Uninstall and Cancel; and
// the About box its system menu opens.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Strings.h"
#include "installer/CarriedSaver.h"

class CInstallerDlg : public CDialog {
 public:
  // installerPath: the installer's own file, which carries the saver.
  explicit CInstallerDlg(const char* installerPath);
  ~CInstallerDlg() override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnSysCommand(UINT id, LPARAM lp) override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnInstall();
  void OnPreview();
  void OnUninstall();
  // Extracts the carried saver; on failure says why and closes the window.
  bool TakeOutSaver(installer::CCarriedSaver* saver);
  // The installed saver's path in the system folder; empty when the
  // system folder cannot be had.
  CString InstalledPath() const;
  bool IsInstalled() const;
  void Message(const char* text, UINT type);

  // The timer that removes the last preview's files once it has ended.
  static const UINT_PTR kPreviewTimer = 1;

  CString m_installerPath;
  // The files of the last preview, removed when it ends (what is left when
  // the installer ends goes at the next start).
  installer::CCarriedSaver m_preview;
  CFont m_nameFont;
  HICON m_icon = nullptr;
  HICON m_smallIcon = nullptr;
};

class CInstallerAboutDlg : public CDialog {
 public:
  explicit CInstallerAboutDlg(HWND parent);
};
