// The installer stub Quenlark: installs, previews and removes the screen
// saver appended to its own image. Its application object checks what the
// file carries, then runs the installer window; the program ends with it.
// An installer that carries no whole saver says so and ends with exit
// code 1, having written nothing.
#include <windows.h>

#include <commctrl.h>

#include "common/Paths.h"
#include "framework/App.h"
#include "framework/Seams.h"
#include "installer/CarriedSaver.h"
#include "installer/InstallerDlg.h"
#include "installer/InstallerName.h"

namespace {

class CInstallerApp : public CWinApp {
 public:
  CInstallerApp() : CWinApp("Quenlark") {}

  bool InitInstance() override {
    RemoveLeftoverTempFiles();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    // The module's own file: the command line may name it relatively or
    // without its extension.
    char path[2 * MAX_PATH];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) {
      m_exitCode = 1;
      return false;
    }
    // Message boxes are captioned with the saver's name.
    SetAppCaption(installer::SaverName(path));
    const installer::CarriedResult carried = installer::CheckInstallerFile(path);
    if (carried != installer::CarriedResult::kOk) {
      AfxMessageBox(carried == installer::CarriedResult::kCannotOpen ? "Cannot open installer file!"
                                                                     : "Installer file corrupted!",
                    MB_ICONSTOP);
      m_exitCode = 1;
      return false;
    }
    // Before this preview's files are made: what earlier ones left.
    installer::RemoveLeftPreviews();
    CInstallerDlg dialog(path);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
  }
};

CInstallerApp theApp;

}  // namespace
