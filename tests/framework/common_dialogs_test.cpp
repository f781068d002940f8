// The common dialogs: what a file, colour or font dialog asks the system
// for and what it makes of the answer, through the seam that tests answer;
// and the system's own explorer-style file dialog, driven far enough to
// see our hook bind the dialog's child window to the object and the
// dialog's notifications reach the object's virtuals.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/CommonDialogs.h"
#include "tests/framework/common_dialogs_test_res.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/files.h"
#include "tests/support/pump.h"

namespace {

using lwtest::CRecordedCommonDialogs;

// A window that owns the dialogs, with the focus on its edit.
struct COwner {
  HWND hwnd = nullptr;
  HWND edit = nullptr;
  COwner() {
    hwnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                           nullptr, nullptr, nullptr);
    edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, hwnd, nullptr,
                           nullptr, nullptr);
    SetForegroundWindow(hwnd);
    SetFocus(edit);
  }
  ~COwner() { DestroyWindow(hwnd); }
};

// Moves the focus away while it answers, as a dialog does.
class CFocusTakingDialogs : public CRecordedCommonDialogs {
 public:
  explicit CFocusTakingDialogs(HWND elsewhere) : m_elsewhere(elsewhere) {}
  BOOL GetOpenFileName(OPENFILENAMEA* ofn) override {
    SetFocus(m_elsewhere);
    return CRecordedCommonDialogs::GetOpenFileName(ofn);
  }

 private:
  HWND m_elsewhere;
};

TEST(FileDialog, AnOpenDialogAsksTheSystemAndGivesThePartsOfTheChosenFile) {
  COwner owner;
  ASSERT_EQ(GetFocus(), owner.edit);
  CFocusTakingDialogs dialogs(owner.hwnd);
  dialogs.AnswerFile(std::vector<std::string>{"C:\\Pictures\\Holiday 2.JPG"}, 2);
  CFileDialog dlg(true, "bmp", "start.bmp", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                  "Bitmaps (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg;*.jpeg||", owner.hwnd);
  dlg.m_ofn.lpstrTitle = "Choose a picture";
  dlg.m_ofn.lpstrInitialDir = "C:\\Pictures";
  ASSERT_EQ(dlg.DoModal(), IDOK);

  ASSERT_EQ(dialogs.files.size(), 1u);
  const CRecordedCommonDialogs::FileCall& call = dialogs.files[0];
  EXPECT_TRUE(call.open);
  EXPECT_EQ(call.structSize, sizeof(OPENFILENAMEA));
  const DWORD flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK;
  EXPECT_EQ(call.flags & flags, flags);
  EXPECT_TRUE(call.hooked);
  EXPECT_EQ(call.owner, owner.hwnd);
  EXPECT_FALSE(call.ownerEnabled) << "the owner is disabled while the dialog runs";
  EXPECT_EQ(call.title, "Choose a picture");
  EXPECT_EQ(call.initialDir, "C:\\Pictures");
  EXPECT_EQ(call.defExt, "bmp");
  EXPECT_EQ(call.fileName, "start.bmp");
  EXPECT_TRUE(call.restCleared);
  EXPECT_EQ(call.filter,
            (std::vector<std::string>{"Bitmaps (*.bmp)", "*.bmp", "JPEG (*.jpg)", "*.jpg;*.jpeg"}));

  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
  EXPECT_EQ(GetFocus(), owner.edit) << "the focus goes back where it was";
  EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(std::string(dlg.GetPathName()), "C:\\Pictures\\Holiday 2.JPG");
  EXPECT_EQ(std::string(dlg.GetFileName()), "Holiday 2.JPG");
  EXPECT_EQ(std::string(dlg.GetFileExt()), "JPG");
  EXPECT_EQ(std::string(dlg.GetFileTitle()), "Holiday 2");
  EXPECT_EQ(std::string(dlg.GetFolderPath()), "C:\\Pictures");
}

TEST(FileDialog, ASaveDialogThatIsCancelledKeepsItsName) {
  CRecordedCommonDialogs dialogs;
  dialogs.AnswerCancel();
  CFileDialog dlg(false, "scr", "Saver", OFN_OVERWRITEPROMPT, "Screen Saver (.scr)|*.scr||");
  // Leftovers after the name in a buffer of the caller's are cleared.
  char buffer[64];
  memset(buffer, 'x', sizeof buffer);
  lstrcpyA(buffer, "Saver");
  dlg.m_ofn.lpstrFile = buffer;
  dlg.m_ofn.nMaxFile = sizeof buffer;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  ASSERT_EQ(dialogs.files.size(), 1u);
  EXPECT_FALSE(dialogs.files[0].open);
  EXPECT_TRUE(dialogs.files[0].restCleared);
  EXPECT_EQ(dialogs.files[0].filter, (std::vector<std::string>{"Screen Saver (.scr)", "*.scr"}));
  EXPECT_EQ(std::string(dlg.GetPathName()), "Saver");
}

// "Name|patterns|" pairs become the system's NUL-separated list, however
// the text ends.
TEST(FileDialog, TheFilterBecomesTheSystemsPairs) {
  const struct {
    const char* filter;
    std::vector<std::string> pairs;
  } kRows[] = {
      {"Flash movie  (.swf)|*.swf|", {"Flash movie  (.swf)", "*.swf"}},
      {"A|*.a||", {"A", "*.a"}},
      {"A|*.a", {"A", "*.a"}},
      {"All supported|*.bmp;*.png|Bitmaps|*.bmp|All Files (*.*)|*.*||",
       {"All supported", "*.bmp;*.png", "Bitmaps", "*.bmp", "All Files (*.*)", "*.*"}},
      {"", {}},
      {nullptr, {}},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.filter ? row.filter : "(none)");
    CRecordedCommonDialogs dialogs;
    CFileDialog dlg(true, nullptr, nullptr, 0, row.filter);
    EXPECT_EQ(dlg.m_ofn.lpstrFilter == nullptr, row.pairs.empty());
    dlg.DoModal();
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].filter, row.pairs);
  }
}

// The parts of a chosen path come from its last name only.
TEST(FileDialog, ThePartsOfAPathComeFromItsLastName) {
  const struct {
    const char* path;
    const char* name;
    const char* ext;
    const char* title;
    const char* folder;
  } kRows[] = {
      {"C:\\a.b\\file", "file", "", "file", "C:\\a.b"},
      {"C:\\x.tar.gz", "x.tar.gz", "gz", "x.tar", "C:\\"},
      {"D:\\dir\\sub\\.hidden", ".hidden", "hidden", "", "D:\\dir\\sub"},
      {"plain.txt", "plain.txt", "txt", "plain", ""},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.path);
    CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(row.path);
    CFileDialog dlg(true);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(std::string(dlg.GetFileName()), row.name);
    EXPECT_EQ(std::string(dlg.GetFileExt()), row.ext);
    EXPECT_EQ(std::string(dlg.GetFileTitle()), row.title);
    EXPECT_EQ(std::string(dlg.GetFolderPath()), row.folder);
  }
}

// Several chosen files come out one full path at a time, from a buffer of
// the caller's.
TEST(FileDialog, SeveralChosenFilesComeOutOneAfterAnother) {
  const struct {
    const char* name;
    std::vector<std::string> answer;
    std::vector<std::string> paths;
    const char* folder;
  } kRows[] = {
      {"two files",
       {"C:\\Pics", "a.bmp", "b c.png"},
       {"C:\\Pics\\a.bmp", "C:\\Pics\\b c.png"},
       "C:\\Pics"},
      {"in a root",
       {"C:\\", "a.bmp", "b.bmp", "c.bmp"},
       {"C:\\a.bmp", "C:\\b.bmp", "C:\\c.bmp"},
       "C:\\"},
      {"one file", {"C:\\Pics\\only.bmp"}, {"C:\\Pics\\only.bmp"}, "C:\\Pics"},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(row.answer);
    CFileDialog dlg(true, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY);
    std::vector<char> buffer(5000, 'x');
    buffer[0] = 0;
    dlg.m_ofn.lpstrFile = buffer.data();
    dlg.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> paths;
    for (INT_PTR pos = dlg.GetStartPosition(); pos && paths.size() < 10;)
      paths.push_back(std::string(dlg.GetNextPathName(pos)));
    EXPECT_EQ(paths, row.paths);
    EXPECT_EQ(std::string(dlg.GetFolderPath()), row.folder);
  }
}

UINT_PTR CALLBACK CallersHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

// A child template goes to the system by name; a hook of the caller's is
// chained behind ours for the call and is the caller's again after it; the
// structure goes with the size the caller gave it (the older, smaller form
// for older systems).
TEST(FileDialog, TakesAChildTemplateTheCallersHookAndStructureSize) {
  CRecordedCommonDialogs dialogs;
  CFileDialog dlg(true);
  dlg.SetTemplate("FILEOPEN_TEMPLATE");
  dlg.m_ofn.lpfnHook = &CallersHook;
  dlg.m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dlg.DoModal();
  ASSERT_EQ(dialogs.files.size(), 1u);
  EXPECT_EQ(dialogs.files[0].structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(dialogs.files[0].templateName, "FILEOPEN_TEMPLATE");
  EXPECT_TRUE(dialogs.files[0].flags & OFN_ENABLETEMPLATE);
  EXPECT_EQ(dlg.m_ofn.hInstance, GetModuleHandleA(nullptr));
  EXPECT_EQ(dlg.m_ofn.lpfnHook, &CallersHook);
}

TEST(ColorDialog, StartsOnItsColourAndGivesTheChosenOne) {
  COwner owner;
  CRecordedCommonDialogs dialogs;
  dialogs.AnswerColor(RGB(1, 2, 3));
  dialogs.AnswerCancel();
  CColorDialog dlg(RGB(9, 8, 7), CC_FULLOPEN, owner.hwnd);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetColor(), RGB(1, 2, 3));
  ASSERT_EQ(dialogs.colours.size(), 1u);
  EXPECT_EQ(dialogs.colours[0].initial, RGB(9, 8, 7));
  EXPECT_EQ(dialogs.colours[0].flags, static_cast<DWORD>(CC_FULLOPEN | CC_RGBINIT));
  EXPECT_EQ(dialogs.colours[0].owner, owner.hwnd);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetColor(), RGB(1, 2, 3));
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}

TEST(FontDialog, StartsOnItsFontAndColourAndGivesTheChosenOnes) {
  CRecordedCommonDialogs dialogs;
  LOGFONTA chosen = {};
  chosen.lfHeight = -19;
  chosen.lfWeight = FW_BOLD;
  lstrcpyA(chosen.lfFaceName, "Courier New");
  dialogs.AnswerFont(chosen, RGB(0, 0, 255), 140);
  LOGFONTA initial = {};
  initial.lfHeight = -12;
  initial.lfItalic = TRUE;
  lstrcpyA(initial.lfFaceName, "Arial");
  CFontDialog dlg(&initial);
  dlg.m_cf.rgbColors = RGB(255, 0, 0);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(dialogs.fonts.size(), 1u);
  EXPECT_STREQ(dialogs.fonts[0].initial.lfFaceName, "Arial");
  EXPECT_TRUE(dialogs.fonts[0].initial.lfItalic);
  EXPECT_EQ(dialogs.fonts[0].colour, RGB(255, 0, 0));
  const DWORD flags = CF_EFFECTS | CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  EXPECT_EQ(dialogs.fonts[0].flags & flags, flags);
  EXPECT_EQ(std::string(dlg.GetFaceName()), "Courier New");
  EXPECT_TRUE(dlg.IsBold());
  EXPECT_FALSE(dlg.IsItalic());
  EXPECT_EQ(dlg.GetSize(), 140);
  EXPECT_EQ(dlg.GetColor(), RGB(0, 0, 255));
  LOGFONTA out = {};
  dlg.GetCurrentFont(&out);
  EXPECT_EQ(out.lfHeight, -19);
}

// The system's file dialog with a child template: the object is bound to
// the dialog's child window while it is up (the template's anchor is its
// child), and the dialog's notifications reach the object. The first name
// typed is refused by OnFileNameOK, the second taken.
class CProbeDialog : public CFileDialog {
 public:
  using CFileDialog::CFileDialog;

  std::vector<std::string> events;
  HWND boundAtInit = nullptr;
  HWND anchorParent = nullptr;
  int refusals = 1;
  const char* firstName = "first.txt";

  // Types the name into the dialog's file name box and presses OK.
  static void Type(HWND dialog, const char* name) {
    ::SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }

 protected:
  void OnInitDone() override {
    events.push_back("init done");
    boundAtInit = m_hWnd;
    anchorParent = ::GetParent(GetDlgItem(IDC_ANCHOR));
    Type(GetParent(), firstName);
  }
  void OnFolderChange() override {
    if (events.empty() || events.back() != "folder change") events.push_back("folder change");
  }
  bool OnFileNameOK() override {
    events.push_back("name " + std::string(GetFileName()));
    if (refusals-- <= 0) return false;
    Type(GetParent(), "second.txt");
    return true;
  }
};

// Ends a dialog of this thread that the test left open.
void CALLBACK CancelOpenDialog(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM) -> BOOL {
        char cls[16] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
      },
      0);
}

TEST(FileDialog, TheSystemsDialogBindsItsChildWindowAndNotifiesTheObject) {
  lwtest::CTempFolder folder("lwfiledialog");
  CProbeDialog dlg(false, "txt", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
                   "Text (*.txt)|*.txt||");
  dlg.SetTemplate("FILEOPEN_TEMPLATE");
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 20000, &CancelOpenDialog);
  const INT_PTR result = dlg.DoModal();
  KillTimer(nullptr, watchdog);
  ASSERT_EQ(result, IDOK) << "events: " << dlg.events.size();
  EXPECT_NE(dlg.boundAtInit, nullptr);
  EXPECT_EQ(dlg.anchorParent, dlg.boundAtInit) << "the template's controls are the object's";
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << "unbound when the dialog is gone";
  // The opening folder and the end of the set-up come in the system's
  // order, then each name as it is accepted.
  ASSERT_EQ(dlg.events.size(), 4u);
  EXPECT_EQ(std::min(dlg.events[0], dlg.events[1]), "folder change");
  EXPECT_EQ(std::max(dlg.events[0], dlg.events[1]), "init done");
  EXPECT_EQ(dlg.events[2], "name first.txt");
  EXPECT_EQ(dlg.events[3], "name second.txt");
  EXPECT_EQ(std::string(dlg.GetPathName()), folder.File("second.txt"));
}

// A hook of the caller's sees each message first: the name it refuses at
// CDN_FILEOK never reaches OnFileNameOK.
UINT_PTR CALLBACK RefuseNamesStartingWithSs(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lp)->code != CDN_FILEOK) return 0;
  char name[MAX_PATH] = "";
  SendMessageA(GetParent(hwnd), CDM_GETSPEC, sizeof name, reinterpret_cast<LPARAM>(name));
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 2, "ss", 2) != CSTR_EQUAL) return 0;
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 1);
  CProbeDialog::Type(GetParent(hwnd), "plain.txt");
  return 1;
}

TEST(FileDialog, TheCallersHookAnswersBeforeTheObject) {
  lwtest::CTempFolder folder("lwfiledialoghook");
  CProbeDialog dlg(false, "txt", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR);
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  dlg.m_ofn.lpfnHook = &RefuseNamesStartingWithSs;
  dlg.firstName = "SSaver.txt";
  dlg.refusals = 0;
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 20000, &CancelOpenDialog);
  const INT_PTR result = dlg.DoModal();
  KillTimer(nullptr, watchdog);
  ASSERT_EQ(result, IDOK);
  ASSERT_FALSE(dlg.events.empty());
  EXPECT_EQ(dlg.events.back(), "name plain.txt");
  EXPECT_EQ(std::count(dlg.events.begin(), dlg.events.end(), "name SSaver.txt"), 0);
  EXPECT_EQ(std::string(dlg.GetPathName()), folder.File("plain.txt"));
}

}  // namespace
