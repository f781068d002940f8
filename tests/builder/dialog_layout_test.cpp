// Every dialog template the built Lumenweave.exe carries (the builder's and
// the wizards'), brought up bare, without the dialog's code, in this
// platform's dialog font: each caption fits its control with room for a
// wider font, every control lies inside the dialog, and the screenshot
// (build/screenshots/templates/<id>.bmp) shows each visible caption.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/resource.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"

namespace {

// How much wider a caption's text may grow and still fit.
const double kFontRoom = 1.2;

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
  if (IS_INTRESOURCE(name))
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(
        "#" + std::to_string(reinterpret_cast<uintptr_t>(name)));
  else
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(name);
  return TRUE;
}

INT_PTR CALLBACK BareDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

TEST(DialogTemplates, EveryCaptionFitsAndEveryControlLiesInside) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  const std::string path = std::string(LW_BUILD_DIR) + "/builder/Lumenweave.exe";
  HMODULE module =
      LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << "Lumenweave.exe does not load";
  std::vector<std::string> names;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(5), CollectDialog, reinterpret_cast<LONG_PTR>(&names));
  // The builder's and the wizards' dialogs, the file dialog's part and the
  // wizard pages.
  ASSERT_GE(names.size(), 35u);
  const std::string folder = LW_BUILD_DIR "/screenshots/templates";
  CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  // The parent of the child templates, the owner of the others.
  lwtest::CHostWindow host(40, 40, 900, 700, GetSysColor(COLOR_BTNFACE));
  ASSERT_NE(host.Hwnd(), nullptr);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    // The Start window puts its pictures and buttons in place in code (its
    // template holds only placeholders): its own test measures the window.
    if (name == "#" + std::to_string(IDD_START)) continue;
    const LPCSTR id = name[0] == '#' ? MAKEINTRESOURCEA(std::stoi(name.substr(1))) : name.c_str();
    HRSRC res = FindResourceA(module, id, MAKEINTRESOURCEA(5));
    ASSERT_NE(res, nullptr);
    const DLGTEMPLATE* tpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res)));
    HWND dialog = CreateDialogIndirectParamA(module, tpl, host.Hwnd(), BareDialog, 0);
    ASSERT_NE(dialog, nullptr);
    const bool child = GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD;
    SetWindowPos(dialog, child ? nullptr : HWND_TOPMOST, child ? 0 : 40, child ? 0 : 40, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW | (child ? SWP_NOZORDER : 0));
    // Of the controls the dialog's code shows one at a time in one place,
    // the template has both: the first stays.
    if (name == "#" + std::to_string(IDD_OPTIONS)) ShowWindow(GetDlgItem(dialog, IDC_OPT_LOGO_PREVIEW), SW_HIDE);
    UpdateWindow(dialog);
    lwtest::FlushEvents(100);
    std::vector<COLORREF> shot;
    EXPECT_TRUE(lwtest::SaveWindowShot(dialog, folder + "/" + name.substr(name[0] == '#') + ".bmp", &shot));
    const std::vector<std::string> faults = lwtest::ShownFaults(dialog, shot, kFontRoom);
    EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
    DestroyWindow(dialog);
  }
  FreeLibrary(module);
}

}  // namespace
