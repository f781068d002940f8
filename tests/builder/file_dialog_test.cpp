// The builder's file choosers: the document manager's prompts through the
// common-dialog seam (filter, title, starting folder, "DocPath", the name a
// save proposes), the picture preview in the system's open dialog (a
// picture selected in a test folder shows in the preview's square, and
// unchecking Preview empties it), and the save dialogs' hook in the
// system's save dialog (centred on its owner, the question about names
// beginning with "ss").
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "builder/controls/FileDialogEx.h"
#include "builder/controls/Settings.h"
#include "builder/resource.h"
#include "framework/AppUI.h"
#include "framework/CommandIds.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "tests/playback/picture_bytes.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

// ---------------------------------------------------------------------------
// The document manager's prompts.

bool HasValue(const lwtest::CRegKeyPath& key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(key.Root(), key.Path().c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExA(h, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(h);
  return found;
}

class DocPromptTest : public testing::Test {
 protected:
  DocPromptTest() {
    app.SetRegistryKey("Lumenweave Tests");
    manager = new CDocManagerEx;
    app.m_pDocManager = manager;
    tmpl = new CSingleDocTemplate(IDR_MAINFRAME, CFactory<CDocument>(), CFactory<CFrameWnd>(),
                                  CFactory<CView>());
    app.AddDocTemplate(tmpl);
    settings.DeleteTree();
  }

  // The folder a chosen path leaves in "DocPath".
  static std::string FolderOf(const lwtest::CTempFolder& folder) {
    return folder.Path().substr(0, folder.Path().size() - 1);
  }

  CDocumentApp app{"FileDialogTest"};
  CDocManagerEx* manager;
  CDocTemplate* tmpl;
  lwtest::CRecordedCommonDialogs dialogs;
  const lwtest::CRegKeyPath settings{HKEY_CURRENT_USER,
                                     "Software\\Lumenweave Tests\\FileDialogTest\\Settings"};
};

TEST_F(DocPromptTest, AnOpenPromptListsTheScriptsAndRemembersTheFolder) {
  lwtest::CTempFolder folder("lwdocprompt");
  dialogs.AnswerFile(folder.File("Sea.fsd"));
  CString name;
  ASSERT_TRUE(manager->DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_FILEMUSTEXIST, true, nullptr));
  EXPECT_EQ(std::string(name), folder.File("Sea.fsd"));
  ASSERT_EQ(dialogs.files.size(), 1u);
  const auto& call = dialogs.files[0];
  EXPECT_TRUE(call.open);
  EXPECT_EQ(call.filter,
            (std::vector<std::string>{"Scene (.fsd)", "*.fsd", "All Files (*.*)", "*.*"}));
  EXPECT_EQ(call.filterIndex, 1u);
  EXPECT_EQ(call.defExt, "fsd");
  EXPECT_EQ(call.title, "Open");
  EXPECT_EQ(call.initialDir, std::string(GetMyDocumentsPath())) << "no folder remembered yet";
  EXPECT_TRUE(call.flags & OFN_FILEMUSTEXIST);
  EXPECT_FALSE(call.flags & OFN_ENABLESIZING);
  EXPECT_TRUE(call.hooked);
  EXPECT_EQ(call.templateName, "") << "the document prompts have no preview";
  EXPECT_TRUE(CFileDialogEx::IsNewFileDialogSystem()) << "Wine reports a current Windows";
  EXPECT_EQ(call.structSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(settings.Text("DocPath"), FolderOf(folder));

  // The next prompt starts there.
  dialogs.AnswerCancel();
  EXPECT_FALSE(manager->DoPromptFileName(name, AFX_IDS_OPENFILE, 0, true, nullptr));
  ASSERT_EQ(dialogs.files.size(), 2u);
  EXPECT_EQ(dialogs.files[1].initialDir, FolderOf(folder));
}

TEST_F(DocPromptTest, ACancelledPromptLeavesDocPathAsItWas) {
  const struct {
    const char* name;
    const char* before;  // null: no value
  } kRows[] = {{"nothing remembered", nullptr}, {"a folder remembered", "C:\\Shows"}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    settings.DeleteTree();
    if (row.before) settings.SetText("DocPath", row.before);
    dialogs.AnswerCancel();
    CString name("C:\\Shows\\Sea.fsd");
    EXPECT_FALSE(manager->DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, tmpl));
    EXPECT_EQ(HasValue(settings, "DocPath"), row.before != nullptr) << "nothing is written";
    if (row.before) {
      EXPECT_EQ(settings.Text("DocPath"), row.before);
    }
  }
}

TEST_F(DocPromptTest, ASaveProposesTheTitleInTheRememberedFolder) {
  lwtest::CTempFolder remembered("lwdocsave");
  lwtest::CTempFolder chosen("lwdocsavechosen");
  settings.SetText("DocPath", FolderOf(remembered));
  dialogs.AnswerFile(chosen.File("b.fsd"));
  CString name("C:\\a\\b.fsd");
  ASSERT_TRUE(manager->DoPromptFileName(name, AFX_IDS_SAVEFILE, OFN_OVERWRITEPROMPT, false, tmpl));
  ASSERT_EQ(dialogs.files.size(), 1u);
  const auto& call = dialogs.files[0];
  EXPECT_FALSE(call.open);
  EXPECT_EQ(call.fileName, "b");
  EXPECT_EQ(call.initialDir, FolderOf(remembered));
  EXPECT_EQ(call.title, "Save As");
  EXPECT_EQ(call.filter.size(), 4u);
  EXPECT_TRUE(call.flags & OFN_OVERWRITEPROMPT);
  EXPECT_EQ(std::string(name), chosen.File("b.fsd"));
  EXPECT_EQ(settings.Text("DocPath"), FolderOf(chosen));
}

TEST(FileDialogEx, OnlyNtFiveAndLaterGetTheWholeStructure) {
  const struct {
    DWORD platform, major;
    bool whole;
  } kRows[] = {{VER_PLATFORM_WIN32_NT, 5, true},      {VER_PLATFORM_WIN32_NT, 10, true},
               {VER_PLATFORM_WIN32_NT, 4, false},     {VER_PLATFORM_WIN32_WINDOWS, 5, false},
               {VER_PLATFORM_WIN32_WINDOWS, 4, false}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(std::to_string(row.platform) + " " + std::to_string(row.major));
    EXPECT_EQ(CFileDialogEx::IsNewFileDialogVersion(row.platform, row.major), row.whole);
  }
  // What the constructor makes of the system it runs on.
  CFileDialogEx dlg(false, true);
  EXPECT_EQ(dlg.m_ofn.lStructSize, CFileDialogEx::IsNewFileDialogSystem()
                                       ? sizeof(OPENFILENAMEA)
                                       : static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
}

TEST(FileDialogEx, SeveralChosenFilesPreviewTheFirstQuotedOne) {
  const struct {
    const char* folder;
    const char* text;
    const char* path;
  } kRows[] = {
      {"C:\\Pictures", "\"b.jpg\" \"a.bmp\"", "C:\\Pictures\\b.jpg"},
      {"C:\\Pictures\\", "\"only one.png\"", "C:\\Pictures\\only one.png"},
      {"C:\\Pictures", "sea.bmp", "C:\\Pictures\\sea.bmp"},
      {"C:\\Pictures", "D:\\other\\sea.bmp", "D:\\other\\sea.bmp"},
      {"C:\\Pictures", "\"unclosed.bmp", "C:\\Pictures\\unclosed.bmp"},
      {"C:\\Pictures", "", ""},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.text);
    EXPECT_STREQ(GetFirstChosenPath(row.folder, row.text), row.path);
  }
}

// ---------------------------------------------------------------------------
// The system's dialogs, driven from a timer of the test's thread while they
// are up.

// Runs the steps in turn, one tick apart: a step runs again at every tick
// until it says it is done. When the steps do not finish in time every
// dialog of the thread is cancelled.
class CDialogSteps {
 public:
  using Step = std::function<bool()>;

  explicit CDialogSteps(std::vector<Step> steps) : m_steps(std::move(steps)) {
    s_current = this;
    m_start = ::GetTickCount();
    m_timer = ::SetTimer(nullptr, 0, 60, &CDialogSteps::Tick);
  }
  ~CDialogSteps() {
    ::KillTimer(nullptr, m_timer);
    s_current = nullptr;
  }
  CDialogSteps(const CDialogSteps&) = delete;
  CDialogSteps& operator=(const CDialogSteps&) = delete;

  // The steps done; all of them when the dialog ended as planned.
  size_t Done() const { return m_next; }
  size_t Count() const { return m_steps.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    CDialogSteps* self = s_current;
    if (!self || self->m_running) return;
    self->m_running = true;
    if (self->m_next < self->m_steps.size() && self->m_steps[self->m_next]()) ++self->m_next;
    if (::GetTickCount() - self->m_start > 30000) CancelDialogs();
    self->m_running = false;
  }
  static void CancelDialogs() {
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
          char cls[16] = "";
          ::GetClassNameA(hwnd, cls, sizeof cls);
          if (lstrcmpA(cls, "#32770") == 0) ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
          return TRUE;
        },
        0);
  }

  static CDialogSteps* s_current;
  std::vector<Step> m_steps;
  size_t m_next = 0;
  bool m_running = false;
  DWORD m_start = 0;
  UINT_PTR m_timer = 0;
};
CDialogSteps* CDialogSteps::s_current = nullptr;

// The preview dialog as a test looks into it.
class CPreviewProbe : public CFileDialogEx {
 public:
  using CFileDialogEx::CFileDialogEx;

  HWND Dialog() const { return m_hWnd ? GetParent() : nullptr; }
  HWND CheckBox() const { return GetDlgItem(IDC_FILEPREVIEW_CHECK); }
  // The screen pixel at a point of the preview's square.
  COLORREF PreviewPixel(int x, int y) const {
    POINT pt = {GetPreviewRect().left + x, GetPreviewRect().top + y};
    ::ClientToScreen(m_hWnd, &pt);
    return lwtest::ScreenPixel(pt.x, pt.y);
  }
  // Paints what is pending now.
  void Paint() { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

  // Selects the files whose names start so in the dialog's file list, as
  // clicks (with Ctrl for the second) would; false when one is not there.
  bool Select(std::initializer_list<const char*> names) const {
    HWND view = ::FindWindowExA(Dialog(), nullptr, "SHELLDLL_DefView", nullptr);
    HWND list = view ? ::FindWindowExA(view, nullptr, WC_LISTVIEWA, nullptr) : nullptr;
    if (!list) return false;
    LVITEMA clear = {};
    clear.stateMask = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&clear));
    for (const char* name : names) {
      LVFINDINFOA find = {};
      find.flags = LVFI_PARTIAL | LVFI_STRING;
      find.psz = name;
      const LRESULT index = ::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(&find));
      if (index < 0) return false;
      LVITEMA select = {};
      select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      ::SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&select));
    }
    return true;
  }
  std::string Spec() const {
    char text[MAX_PATH] = "";
    ::SendMessageA(Dialog(), CDM_GETSPEC, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
};

class PicturePreviewTest : public testing::Test {
 protected:
  PicturePreviewTest() {
    // Red on the left, blue on the right.
    lwtest::WriteAll(folder.File("halves.bmp"), picturetest::MakeBmp(60, 40, [](int x, int) {
                       return x < 30 ? kRed : kBlue;
                     }));
    lwtest::WriteAll(folder.File("green.bmp"),
                     picturetest::MakeBmp(30, 30, [](int, int) { return kGreen; }));
    lwtest::WriteAll(folder.File("notes.txt"), {'n', 'o', 't', 'e', 's'});
  }

  static constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 160, 0);
  lwtest::CTempFolder folder{"lwpicturepreview"};
  lwtest::CRecordedBoxes boxes;
};

TEST_F(PicturePreviewTest, TheSelectedPictureShowsScaledInTheSquare) {
  CPreviewProbe dlg(true, true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                    "Pictures (*.bmp)|*.bmp|All Files (*.*)|*.*||");
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  dlg.m_ofn.nFilterIndex = 2;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  CDialogSteps steps({
      [&] { return !dlg.GetPreviewRect().IsRectEmpty(); },
      [&] {
        EXPECT_EQ(dlg.GetPreviewRect().Size(), CSize(102, 102));
        EXPECT_NE(dlg.CheckBox(), nullptr);
        char text[32] = "";
        ::GetWindowTextA(dlg.CheckBox(), text, sizeof text);
        EXPECT_STREQ(text, "&Preview");
        EXPECT_EQ(::SendMessageA(dlg.CheckBox(), BM_GETCHECK, 0, 0), BST_CHECKED);
        return dlg.Select({"halves"});
      },
      [&] { return dlg.HasPreviewPicture(); },
      [&] {
        dlg.Paint();
        // The picture fills the square inside the frame, not keeping its
        // proportions.
        EXPECT_EQ(dlg.PreviewPixel(10, 51), kRed);
        EXPECT_EQ(dlg.PreviewPixel(40, 90), kRed);
        EXPECT_EQ(dlg.PreviewPixel(62, 10), kBlue);
        EXPECT_EQ(dlg.PreviewPixel(100, 100), kBlue);
        // The sunken frame around it.
        EXPECT_EQ(dlg.PreviewPixel(0, 50), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(dlg.PreviewPixel(50, 0), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(dlg.PreviewPixel(101, 50), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(dlg.PreviewPixel(50, 101), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        // Unchecked, the frame stays and the square is empty.
        ::SendMessageA(dlg.CheckBox(), BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        dlg.Paint();
        EXPECT_FALSE(dlg.IsPreviewOn());
        EXPECT_EQ(dlg.PreviewPixel(10, 51), face);
        EXPECT_EQ(dlg.PreviewPixel(62, 10), face);
        EXPECT_EQ(dlg.PreviewPixel(0, 50), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(dlg.PreviewPixel(101, 50), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::SendMessageA(dlg.CheckBox(), BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        dlg.Paint();
        EXPECT_TRUE(dlg.IsPreviewOn());
        EXPECT_EQ(dlg.PreviewPixel(10, 51), kRed);
        // A file that is no picture empties the square and says nothing.
        return dlg.Select({"notes"});
      },
      [&] { return !dlg.HasPreviewPicture(); },
      [&] {
        dlg.Paint();
        EXPECT_EQ(dlg.PreviewPixel(10, 51), face);
        EXPECT_TRUE(boxes.texts.empty());
        ::PostMessageA(dlg.Dialog(), WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(steps.Done(), steps.Count());
}

// The first picture the user selects in another folder shows too.
TEST_F(PicturePreviewTest, APictureInTheNextFolderShowsAtTheFirstSelection) {
  ASSERT_TRUE(CreateDirectoryA(folder.File("inner").c_str(), nullptr));
  lwtest::WriteAll(folder.File("inner\\pink.bmp"),
                   picturetest::MakeBmp(20, 20, [](int, int) { return RGB(255, 0, 255); }));
  CPreviewProbe dlg(true, true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                    "Pictures (*.bmp)|*.bmp||");
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  CDialogSteps steps({
      [&] { return !dlg.GetPreviewRect().IsRectEmpty() && dlg.Select({"halves"}); },
      [&] {
        if (!dlg.HasPreviewPicture()) return false;
        // The folder's name typed and entered opens it.
        ::SendMessageA(dlg.Dialog(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>("inner"));
        ::PostMessageA(dlg.Dialog(), WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] { return !dlg.HasPreviewPicture() && dlg.Select({"pink"}); },
      [&] { return dlg.HasPreviewPicture(); },
      [&] {
        dlg.Paint();
        EXPECT_EQ(dlg.PreviewPixel(50, 50), RGB(255, 0, 255));
        ::PostMessageA(dlg.Dialog(), WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(steps.Done(), steps.Count());
}

TEST_F(PicturePreviewTest, SeveralSelectedPicturesShowTheFirstQuotedOne) {
  CPreviewProbe dlg(true, true, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT,
                    "Pictures (*.bmp)|*.bmp||");
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  std::string spec;
  CDialogSteps steps({
      [&] { return !dlg.GetPreviewRect().IsRectEmpty() && dlg.Select({"green", "halves"}); },
      [&] {
        spec = dlg.Spec();
        return dlg.HasPreviewPicture() && spec.find('"') != std::string::npos;
      },
      [&] {
        dlg.Paint();
        const size_t quote = spec.find('"');
        const bool greenFirst = spec.compare(quote + 1, 5, "green") == 0;
        EXPECT_EQ(dlg.PreviewPixel(10, 51), greenFirst ? kGreen : kRed) << spec;
        ::PostMessageA(dlg.Dialog(), WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(steps.Done(), steps.Count());
}

// ---------------------------------------------------------------------------
// Names outside the code page.

// A name typed into the system's dialog as a user types it (wide), and OK.
bool TypeWide(HWND dialog, const wchar_t* name) {
  return dialog && ::SetDlgItemTextW(dialog, cmb13, name) && ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST(FileDialogNames, APictureAndADocumentNamedOutsideTheCodePageComeBackByPathsThatOpenThem) {
  lwtest::CTempFolder folder("lwwidedlg");
  const std::wstring base = lwtest::Widen(folder.Path());
  const lwtest::Bytes picture = {'B', 'M', 1, 2, 3};
  // The code page's best fit makes "a.bmp" of the second name: that other
  // file must not be the one that comes back.
  ASSERT_TRUE(lwtest::WriteAll(folder.File("a.bmp"), {'B', 'M', 0}));
  for (const wchar_t* name : {L"\u4e2d\u6587.bmp", L"\u0101.bmp"}) {
    ASSERT_TRUE(lwtest::WriteAllWide(base + name, picture));
    CPreviewProbe open(true, true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Pictures|*.bmp||", nullptr);
    open.m_ofn.lpstrInitialDir = folder.Path().c_str();
    CDialogSteps steps({[&] { return TypeWide(open.Dialog(), name); }});
    ASSERT_EQ(open.DoModal(), IDOK);
    const std::string path(open.GetPathName());
    EXPECT_EQ(path.find('?'), std::string::npos) << path;
    EXPECT_EQ(lwtest::ReadAll(path), picture) << path;
    EXPECT_EQ(lstrcmpiA(open.m_ofn.lpstrFile + open.m_ofn.nFileExtension, "bmp"), 0)
        << open.m_ofn.nFileExtension;
    EXPECT_EQ(path.substr(open.m_ofn.nFileOffset), std::string(open.GetFileName()));
  }
  {
    // A new name to save under, typed without its extension.
    CPreviewProbe save(false, false, "fsd", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Scene (.fsd)|*.fsd||", nullptr);
    save.m_ofn.lpstrInitialDir = folder.Path().c_str();
    CDialogSteps steps({[&] { return TypeWide(save.Dialog(), L"\u65e5\u672c"); }});
    ASSERT_EQ(save.DoModal(), IDOK);
    const std::string path(save.GetPathName());
    EXPECT_EQ(path.find('?'), std::string::npos) << path;
    ASSERT_TRUE(lwtest::WriteAll(path, {'s', 'a', 'v', 'e', 'd'})) << path;
    EXPECT_EQ(lwtest::ReadAllWide(base + L"\u65e5\u672c.fsd"), (lwtest::Bytes{'s', 'a', 'v', 'e', 'd'}));
  }
}

// Several files chosen at once, named outside the code page: each comes back
// by a path that opens that very file, whether the folder's name is inside
// the code page or not; a name that opens no file is refused saying why, and
// the others still come back.
TEST(FileDialogNames, SeveralFilesNamedOutsideTheCodePageEachComeBackByAPathThatOpensIt) {
  lwtest::CTempFolder folder("lwwidemulti");
  // The last one the code page's best fit makes "a.bmp", another file.
  const std::wstring kNames[] = {L"\u4e2d\u6587.bmp", L"caf\u00e9.bmp", L"\u65e5\u672c.bmp",
                                 L"\u0101.bmp"};
  const struct {
    const char* name;
    const wchar_t* folder;
  } kRows[] = {{"a folder inside the code page", L""}, {"a folder outside it", L"\u76ee\u5f55\\"}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    const std::wstring where = lwtest::Widen(folder.Path()) + row.folder;
    if (*row.folder) {
      ASSERT_TRUE(::CreateDirectoryW(where.c_str(), nullptr));
    }
    for (uint8_t i = 0; i < 4; ++i) ASSERT_TRUE(lwtest::WriteAllWide(where + kNames[i], {'B', 'M', i}));
    ASSERT_TRUE(lwtest::WriteAllWide(where + L"a.bmp", {'B', 'M', 9}));
    CString start;
    ASSERT_TRUE(AnsiPathFromWide(where.c_str(), start));
    lwtest::CRecordedBoxes boxes;
    CPreviewProbe open(false, true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT,
                       "Pictures|*.bmp||", nullptr);
    char names[5000] = "";
    open.m_ofn.lpstrFile = names;
    open.m_ofn.nMaxFile = sizeof names;
    open.m_ofn.lpstrInitialDir = start;
    CDialogSteps steps({[&] {
      return TypeWide(open.Dialog(), (L"\"" + kNames[0] + L"\" \"" + kNames[1] + L"\" \"" + kNames[2] +
                                      L"\" \"\u4e0d\u5728.bmp\" \"" + kNames[3] + L"\"").c_str());
    }});
    ASSERT_EQ(open.DoModal(), IDOK);
    std::vector<std::string> paths;
    for (INT_PTR pos = open.GetStartPosition(); pos;) paths.push_back(std::string(open.GetNextPathName(pos)));
    ASSERT_EQ(paths.size(), 4u) << ::testing::PrintToString(paths);
    for (uint8_t i = 0; i < 4; ++i) {
      EXPECT_EQ(paths[i].find('?'), std::string::npos) << paths[i];
      EXPECT_EQ(lwtest::ReadAll(paths[i]), (lwtest::Bytes{'B', 'M', i})) << paths[i];
    }
    ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
    EXPECT_NE(boxes.texts[0].find("??.bmp\n\nIts name has characters that this system's code page "
                                  "cannot hold, and the disk keeps no short name for it: rename it "
                                  "to use it."),
              std::string::npos)
        << boxes.texts[0];
  }
}

// A document whose save fails as a full disk does, unless told otherwise.
class CUnsavableDoc : public CDocument {
 public:
  bool fail = true;
  void Serialize(CArchive& ar) override {
    if (!ar.IsStoring()) return;
    if (fail) AfxThrowFileException(CFileException::diskFull);
    ar << static_cast<uint8_t>('s');
  }
};

// The name typed into the system's dialog that is active now.
bool TypeWideInActiveDialog(const wchar_t* name) {
  HWND dialog = ::GetActiveWindow();
  char cls[16] = "";
  ::GetClassNameA(dialog, cls, sizeof cls);
  return lstrcmpA(cls, "#32770") == 0 && TypeWide(dialog, name);
}

// The system's question whether to replace a file, answered Yes.
bool AnswerReplaceYes() {
  HWND question = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM found) -> BOOL {
        char cls[16] = "";
        ::GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, IDYES))
          *reinterpret_cast<HWND*>(found) = hwnd;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&question));
  return question &&
         ::PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(question, IDYES)));
}

// Save As to a name outside the code page whose save then fails: a new name
// leaves no file behind (the dialog made it only to give it a short name);
// a file that was there before stays as it was, an empty one too.
TEST(FileDialogNames, AFailedSaveUnderANameOutsideTheCodePageLeavesNoFileItMade) {
  lwtest::CTempFolder folder("lwwidesavefail");
  CDocumentApp app("FileDialogTest");
  app.SetRegistryKey("Lumenweave Tests");
  app.m_pDocManager = new CDocManagerEx;
  app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, CFactory<CDocument>(),
                                            CFactory<CFrameWnd>(), CFactory<CView>()));
  WriteSettingsString("DocPath", folder.Path().substr(0, folder.Path().size() - 1).c_str());
  const std::wstring path = lwtest::Widen(folder.Path()) + L"\u65e5\u672c.fsd";
  const struct {
    const char* name;
    bool before;
    lwtest::Bytes bytes;
  } kRows[] = {{"a new name", false, {}},
               {"a file there before", true, {'o', 'l', 'd'}},
               {"an empty file there before", true, {}}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    ::DeleteFileW(path.c_str());
    if (row.before) {
      ASSERT_TRUE(lwtest::WriteAllWide(path, row.bytes));
    }
    CUnsavableDoc doc;
    doc.SetTitle("Sea");
    lwtest::CRecordedBoxes boxes;
    std::vector<CDialogSteps::Step> answers = {[] { return TypeWideInActiveDialog(L"\u65e5\u672c"); }};
    if (row.before) answers.push_back([&] { return AnswerReplaceYes(); });
    CDialogSteps steps(answers);
    EXPECT_FALSE(doc.DoSave(nullptr));
    EXPECT_EQ(steps.Done(), steps.Count());
    ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
    EXPECT_NE(boxes.texts[0].find("The document could not be saved:"), std::string::npos)
        << boxes.texts[0];
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, row.before);
    if (row.before) {
      EXPECT_EQ(lwtest::ReadAllWide(path), row.bytes);
    }
    EXPECT_EQ(lwtest::FilesIn(folder.Path()).size(), row.before ? 1u : 0u)
        << ::testing::PrintToString(lwtest::FilesIn(folder.Path()));
  }

  // A save that went through keeps its file, even when the caller then
  // discards what the dialog made whatever happened (as the makes do).
  ::DeleteFileW(path.c_str());
  CUnsavableDoc doc;
  doc.fail = false;
  doc.SetTitle("Sea");
  CDialogSteps steps({[] { return TypeWideInActiveDialog(L"\u65e5\u672c"); }});
  ASSERT_TRUE(doc.DoSave(nullptr));
  DiscardUnwrittenFile(doc.GetPathName());
  EXPECT_EQ(lwtest::ReadAllWide(path), (lwtest::Bytes{'s'}));
}

// ---------------------------------------------------------------------------
// The save dialogs' hook.

TEST(SaveDialogHook, CentresTheDialogAndAsksAboutNamesBeginningWithSs) {
  lwtest::CTempFolder folder("lwsavehook");
  lwtest::CHostWindow owner(300, 200, 700, 520, RGB(90, 90, 90));
  lwtest::CRecordedBoxes boxes;
  boxes.Script({IDNO, IDYES});
  CPreviewProbe dlg(false, false, "scr", nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR,
                    "Screen Saver (.scr)|*.scr||", owner.Hwnd());
  dlg.m_ofn.lpfnHook = &SaveDialogHookProc;
  dlg.m_ofn.lpstrInitialDir = folder.Path().c_str();
  auto type = [&](const char* name) {
    ::SendMessageA(dlg.Dialog(), CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(name));
    ::PostMessageA(dlg.Dialog(), WM_COMMAND, IDOK, 0);
    return true;
  };
  {
  CDialogSteps steps({
      [&] { return dlg.Dialog() != nullptr; },
      [&] {
        CRect dialog, around;
        ::GetWindowRect(dlg.Dialog(), &dialog);
        ::GetWindowRect(owner.Hwnd(), &around);
        EXPECT_LE(abs(dialog.CenterPoint().x - around.CenterPoint().x), 1) << dialog.left;
        EXPECT_LE(abs(dialog.CenterPoint().y - around.CenterPoint().y), 1) << dialog.top;
        return type("SSaver.scr");
      },
      // No: the dialog stays and takes another try.
      [&] { return boxes.texts.size() == 1; },
      [&] { return ::IsWindowVisible(dlg.Dialog()) && type("SSaver.scr"); },
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(steps.Done(), steps.Count());
  EXPECT_EQ(std::string(dlg.GetPathName()), folder.File("SSaver.scr"));
  const std::string question =
      "There is a problem in Windows if name of screen saver starts with ss.\n\n"
      "Do you want to continue?";
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{question, question}));
  ASSERT_EQ(boxes.types.size(), 2u);
  EXPECT_EQ(boxes.types[0], static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
  }

  // Other names pass without a question.
  CPreviewProbe plain(false, false, "scr", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR,
                      "Screen Saver (.scr)|*.scr||", owner.Hwnd());
  plain.m_ofn.lpfnHook = &SaveDialogHookProc;
  plain.m_ofn.lpstrInitialDir = folder.Path().c_str();
  CDialogSteps typing({[&] {
    return plain.Dialog() && ::SendMessageA(plain.Dialog(), CDM_SETCONTROLTEXT, cmb13,
                                            reinterpret_cast<LPARAM>("Saver.scr")) &&
           ::PostMessageA(plain.Dialog(), WM_COMMAND, IDOK, 0);
  }});
  ASSERT_EQ(plain.DoModal(), IDOK);
  EXPECT_EQ(std::string(plain.GetPathName()), folder.File("Saver.scr"));
  EXPECT_EQ(boxes.texts.size(), 2u);
}

}  // namespace
