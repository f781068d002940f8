// The builder made in this process from its own application object and
// resources: the start-up window (class, title, panes, toolbar, tree), the
// profile and options file at close, editing the script from the tree
// (Add, Insert, indent, Delete, Activate), the menus' update states, the
// document's open, save and close rules, the script check, the writer's
// commands (Make SCR, Make Install, Set SCR as default) and the text
// export, and the hand-over block between two starts. The profile and the
// file types go to private registry roots; dialogs, message boxes and the
// shell are answered through the framework's seams.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "builder/BuilderApp.h"
#include "builder/CommandEdit.h"
#include "builder/CommView.h"
#include "builder/controls/BuilderMessages.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/ShellOpen.h"
#include "builder/MainFrame.h"
#include "builder/PreviewFrame.h"
#include "builder/resource.h"
#include "builder/SceneDoc.h"
#include "builder/SceneView.h"
#include "builder/StartDialogs.h"
#include "framework/Archive.h"
#include "framework/CommandIds.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"
#include "script/SceneVersion.h"
#include "tests/builder/builder_run.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "wizards/SaverMaker.h"

namespace {

testing::Environment* const kPrivateProfile =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));
testing::Environment* const kPrivateClasses =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CLASSES_ROOT));

// The options file lives in the Windows folder, which every builder shares:
// the program puts back what it found.
class COptionsFileEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    m_path = static_cast<const char*>(CBuilderOptions::GetFilePath());
    m_existed = lwtest::FileExists(m_path);
    if (m_existed) m_bytes = lwtest::ReadAll(m_path);
  }
  void TearDown() override {
    if (m_existed)
      lwtest::WriteAll(m_path, m_bytes);
    else
      ::DeleteFileA(m_path.c_str());
  }

 private:
  std::string m_path;
  bool m_existed = false;
  lwtest::Bytes m_bytes;
};
testing::Environment* const kOptionsFile =
    testing::AddGlobalTestEnvironment(new COptionsFileEnvironment);

const char kProfileKey[] = "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave";

lwtest::CRegKeyPath Settings() {
  return lwtest::CRegKeyPath(HKEY_CURRENT_USER, std::string(kProfileKey) + "\\Settings");
}

using lwtest::ClassName;
using lwtest::WindowText;

std::string Label(const CSceneCommand* command) {
  CString text;
  if (command) command->Describe(text);
  return static_cast<const char*>(text);
}

// How many views of mapped files this process holds.
int MappedViewCount() {
  int count = 0;
  MEMORY_BASIC_INFORMATION info;
  const char* address = nullptr;
  while (::VirtualQuery(address, &info, sizeof info) == sizeof info) {
    if (info.Type == MEM_MAPPED && info.BaseAddress == info.AllocationBase) ++count;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return count;
}

// Holds Ctrl and Shift (or nothing) in this thread's keyboard state, which
// GetKeyState reads.
void HoldKeys(bool ctrl, bool shift) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

// A script as its file holds it, made by hand: Cls (green), Repeat, Wait
// 1500 ms (disabled), Until 3 times.
lwtest::Bytes FixtureScript() {
  lwtest::Bytes bytes;
  auto ints = [&](std::initializer_list<int32_t> values) {
    for (int32_t v : values)
      for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
  };
  bytes.push_back(static_cast<uint8_t>(lstrlenA(kSceneIdCurrent)));
  bytes.insert(bytes.end(), kSceneIdCurrent, kSceneIdCurrent + lstrlenA(kSceneIdCurrent));
  const float version = 4.7f;
  const auto* v = reinterpret_cast<const uint8_t*>(&version);
  bytes.insert(bytes.end(), v, v + 4);
  ints({4});
  // Each command: its type, an empty comment, indent, disabled, its body.
  auto command = [&](int type, int indent, int disabled, std::initializer_list<int32_t> body) {
    ints({type});
    bytes.push_back(0);
    ints({indent, disabled});
    ints(body);
  };
  command(kTypeCls, 0, 0, {0x00FF00, 0, 0, 1});
  command(kTypeRepeat, 0, 0, {});
  command(kTypeWait, 2, 1, {1500, 0});
  command(kTypeUntil, 0, 0, {3, 0});
  return bytes;
}

// A comment whose storing fails part-way, as a full disk would.
class CFailingComment : public CCommentCommand {
 public:
  CArchive& Write(CArchive& ar) const override {
    CCommentCommand::Write(ar);
    ar.Flush();
    AfxThrowFileException(CFileException::diskFull);
  }
};

// A comment that notes its deletion.
class CNotedComment : public CCommentCommand {
 public:
  explicit CNotedComment(bool& deleted) : m_deleted(deleted) {}
  ~CNotedComment() override { m_deleted = true; }

 private:
  bool& m_deleted;
};

// What a pop-up menu showed while it was up: its items (ids, separators 0;
// texts; greyed) and where its window stood. Once seen it is closed, or
// the item `choose` steps down to (Down presses, then Enter) is chosen.
struct CSeenMenu {
  std::vector<UINT> ids;
  std::vector<std::string> texts;
  std::vector<bool> greyed;
  RECT place = {};
};
CSeenMenu* g_seenMenu = nullptr;
int g_menuChoice = 0;
int g_menuLooks = 0;

void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = ::FindWindowA("#32768", nullptr);
  if (!window || !::IsWindowVisible(window)) {
    if (++g_menuLooks > 100) {
      ::KillTimer(nullptr, id);
      ::EndMenu();
    }
    return;
  }
  ::KillTimer(nullptr, id);
  auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    char text[64] = "";
    ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    const UINT itemId = ::GetMenuItemID(menu, i);
    g_seenMenu->ids.push_back(itemId == static_cast<UINT>(-1) ? 0 : itemId);
    g_seenMenu->texts.push_back(text);
    g_seenMenu->greyed.push_back((::GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0);
  }
  ::GetWindowRect(window, &g_seenMenu->place);
  if (g_menuChoice <= 0) {
    ::EndMenu();
    return;
  }
  for (int i = 0; i < g_menuChoice; ++i) ::PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
  ::PostMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
}

// Runs open, which should put up a pop-up menu, and looks at that menu.
CSeenMenu SeeMenu(const std::function<void()>& open, int choose = 0) {
  CSeenMenu seen;
  g_seenMenu = &seen;
  g_menuChoice = choose;
  g_menuLooks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &LookAtMenu);
  open();
  ::KillTimer(nullptr, timer);
  g_seenMenu = nullptr;
  lwtest::FlushEvents(100);
  return seen;
}

// ---------------------------------------------------------------------------

class BuilderAppTest : public testing::Test {
 protected:
  void SetUp() override {
    ::SetCurrentDirectoryA(folder.Path().c_str());
    HoldKeys(false, false);
    // The Start window has tests of its own.
    ASSERT_TRUE(Settings().SetNumber("StartDlg", 1));
  }

  void TearDown() override {
    Stop();
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    ::SetCurrentDirectoryA(temp);
  }

  // The builder's start-up with the command line; true when it goes on
  // running (a window was made).
  bool Start(const std::string& commandLine = "") {
    const bool started = m_run.Start(commandLine);
    app = m_run.app;
    // The splash (tested on its own) would keep the frame disabled.
    CSplashWnd::HideSplashScreen();
    return started;
  }

  void Stop() {
    m_run.Stop();
    app = nullptr;
  }

  CMainFrame* Frame() const { return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr; }
  CSceneView* View() const { return Frame()->GetSceneView(); }
  CCommView* Tree() const { return Frame()->GetCommView(); }
  CSceneDoc* Doc() const { return View()->GetSceneDoc(); }
  HWND FrameHwnd() const { return Frame()->GetSafeHwnd(); }
  LRESULT Command(UINT id) { return ::SendMessageA(FrameHwnd(), WM_COMMAND, id, 0); }

  // The tree's type item of a command type.
  HTREEITEM TypeItem(int type) const {
    HWND tree = Tree()->GetSafeHwnd();
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(
        tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(Tree()->GetRootItem())));
    for (int i = 0; i < type && item; ++i)
      item = reinterpret_cast<HTREEITEM>(
          ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    return item;
  }
  void SelectType(int type) {
    ::SendMessageA(Tree()->GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(TypeItem(type)));
  }
  // Appends commands of these types through the tree and Add.
  void AddTypes(std::initializer_list<int> types) {
    for (int type : types) {
      SelectType(type);
      Command(ID_COMMAND_ADD);
    }
  }
  std::vector<int> LineTypes() const {
    std::vector<int> types;
    for (int i = 0; i < View()->GetLineCount(); ++i) types.push_back(View()->GetLineCommand(i)->GetType());
    return types;
  }
  void SelectLines(std::initializer_list<int> lines) {
    HWND list = View()->GetSafeHwnd();
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int line : lines) ::SendMessageA(list, LB_SETSEL, TRUE, line);
  }
  void ClearBoxes() {
    boxes.texts.clear();
    boxes.types.clear();
    boxes.captions.clear();
    boxes.owners.clear();
  }
  std::vector<int> SelectedLines() const {
    std::vector<int> lines;
    for (int i = 0; i < View()->GetLineCount(); ++i)
      if (View()->IsLineSelected(i)) lines.push_back(i);
    return lines;
  }

  // Saves the script to the path through Save As and the file dialog.
  void SaveAs(const std::string& path) {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_SAVE_AS);
    ASSERT_EQ(std::string(Doc()->GetPathName()), path);
  }

  // The item's state after the menu pops up: "e" enabled, "g" greyed, with
  // "c" when checked.
  std::string MenuState(UINT id) {
    HMENU menu = ::GetMenu(FrameHwnd());
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      HMENU popup = ::GetSubMenu(menu, i);
      ::SendMessageA(FrameHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
      const UINT state = ::GetMenuState(popup, id, MF_BYCOMMAND);
      if (state == static_cast<UINT>(-1)) continue;
      std::string text = (state & MF_GRAYED) ? "g" : "e";
      if (state & MF_CHECKED) text += "c";
      return text;
    }
    return "missing";
  }

  CBuilderApp* app = nullptr;
  lwtest::CTempFolder folder{"builderapp"};
  lwtest::CRecordedBoxes boxes{IDNO};
  lwtest::CRecordedShell shell;

 private:
  lwtest::CBuilderRun m_run;
};

// ---------------------------------------------------------------------------
// Start-up

TEST_F(BuilderAppTest, StartsUntitledWithTheTreeBesideTheScriptAndTheToolbar) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(ClassName(FrameHwnd()), "Lumenweave3.1");
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_TRUE(::IsWindowVisible(FrameHwnd()));
  int width = 0, minimum = 0;
  Frame()->GetSplitterWnd().GetColumnInfo(0, width, minimum);
  EXPECT_EQ(width, 151);

  const UINT expected[] = {ID_FILE_NEW,        ID_FILE_OPEN,    ID_FILE_SAVE,    0,
                           ID_EDIT_CUT,        ID_EDIT_COPY,    ID_EDIT_PASTE,   0,
                           ID_COMMAND_CURRENT, ID_COMMAND_ADD,  ID_COMMAND_INSERT, ID_EDIT_DELETE,
                           0,                  ID_SCENE_PREVIEW, 0,              ID_WIZARD_LAST,
                           ID_TOOLS_STARTWINDOW};
  HWND bar = Frame()->GetToolBar().GetSafeHwnd();
  ASSERT_EQ(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(expected)));
  int buttons = 0;
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE("button " + std::to_string(i));
    TBBUTTON button = {};
    ::SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (expected[i] == 0) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP);
      continue;
    }
    ++buttons;
    EXPECT_EQ(static_cast<UINT>(button.idCommand), expected[i]);
    EXPECT_EQ((button.fsStyle & BTNS_DROPDOWN) != 0, expected[i] == ID_WIZARD_LAST);
  }
  EXPECT_EQ(buttons, 13);
  EXPECT_TRUE(::SendMessageA(bar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS);
  // The status line: the message pane and the three key indicators.
  EXPECT_EQ(::SendMessageA(Frame()->GetStatusBar().GetSafeHwnd(), SB_GETPARTS, 0, 0), 4);
  // The open and save prompts are the builder's own.
  EXPECT_NE(dynamic_cast<CDocManagerEx*>(app->m_pDocManager), nullptr);

  // The tree: "Commands", then one item per type with its image, standing
  // for the palette's prototype; the first type is selected.
  HWND tree = Tree()->GetSafeHwnd();
  char text[64] = "";
  TVITEMA item = {};
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_HANDLE;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  item.hItem = Tree()->GetRootItem();
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "Commands");
  const char* names[] = {"Image/Text", "Show", "Move",  "Hide", "Wait",    "Cls",     "Repeat",
                         "Until",      "Line", "Multimedia/Flash", "Play", "Stop", "Comment", "Url"};
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE(names[type]);
    item.hItem = TypeItem(type);
    ASSERT_NE(item.hItem, nullptr);
    ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, names[type]);
    EXPECT_EQ(item.iImage, type + 2);
    EXPECT_EQ(reinterpret_cast<CSceneCommand*>(item.lParam), g_pCommandPalette->GetPrototype(type));
  }
  EXPECT_EQ(TypeItem(14), nullptr);
  EXPECT_EQ(Tree()->GetSelectedItem(), TypeItem(0));
}

TEST_F(BuilderAppTest, TheStartWindowIsAskedForAfterStartUpUnlessAFileWasNamed) {
  const std::string script = folder.File("named.fsd");
  ASSERT_TRUE(lwtest::WriteAll(script, {}));
  struct Case {
    const char* name;
    std::string commandLine;
    bool posted;
  } const cases[] = {{"no file", "", true}, {"a file", "\"" + script + "\"", false}};
  // Without the splash, which brings the Start window when it goes.
  CBuilderOptions options;
  options.m_splash = 0;
  ASSERT_EQ(SerializeOptions(options, false), 1);
  ASSERT_TRUE(Settings().SetNumber("StartDlg", 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Start(c.commandLine));
    // Queued for the loop, not run inside the frame's creation.
    MSG msg = {};
    bool posted = false;
    while (::PeekMessageA(&msg, FrameHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE))
      posted = posted || LOWORD(msg.wParam) == ID_TOOLS_STARTWINDOW;
    EXPECT_EQ(posted, c.posted);
    Stop();
  }
}

TEST_F(BuilderAppTest, TheWindowComesBackWhereItWasLeftAndTheOptionsAreWrittenAtClose) {
  ::DeleteFileA(CBuilderOptions::GetFilePath());
  ASSERT_TRUE(Settings().SetText("WindowPlace", "40,50,700,500"));
  ASSERT_TRUE(Settings().SetNumber("Splitter", 180));
  ASSERT_TRUE(Start());
  RECT r = {};
  ::GetWindowRect(FrameHwnd(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 700);
  EXPECT_EQ(r.bottom - r.top, 500);
  int width = 0, minimum = 0;
  Frame()->GetSplitterWnd().GetColumnInfo(0, width, minimum);
  EXPECT_EQ(width, 180);

  ::MoveWindow(FrameHwnd(), 60, 70, 720, 480, TRUE);
  Frame()->GetSplitterWnd().SetColumnInfo(0, 210, 0);
  Frame()->GetSplitterWnd().RecalcLayout();
  g_pCommandPalette->GetOptions()->m_tabSize = 3;
  ::SendMessageA(FrameHwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_EQ(Settings().Text("WindowPlace"), "60,70,720,480");
  EXPECT_EQ(Settings().Number("WindowShow", 99), static_cast<DWORD>(SW_SHOWNORMAL));
  EXPECT_EQ(Settings().Number("Splitter"), 210u);
  EXPECT_TRUE(lwtest::FileExists(static_cast<const char*>(CBuilderOptions::GetFilePath())));
  Settings().RemoveValue("WindowPlace");
  Settings().RemoveValue("Splitter");

  // The next start reads the options back: the indent follows the tab size.
  Stop();
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_pCommandPalette->GetOptions()->m_tabSize, 3);
  AddTypes({kTypeRepeat, kTypeWait, kTypeUntil});
  EXPECT_EQ(View()->GetLineCommand(1)->m_indent, 3);
  Doc()->SetModifiedFlag(false);
  ::DeleteFileA(CBuilderOptions::GetFilePath());
}

// A place left on a monitor that is gone comes back on the present screen,
// as large as it was.
TEST_F(BuilderAppTest, AWindowPlaceOffThePresentScreenComesBackOnIt) {
  for (const char* place : {"5000,4000,700,500", "-3000,50,700,500", "60,-2000,700,500"}) {
    SCOPED_TRACE(place);
    ASSERT_TRUE(Settings().SetText("WindowPlace", place));
    ASSERT_TRUE(Start());
    RECT r = {};
    ::GetWindowRect(FrameHwnd(), &r);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 500);
    HMONITOR monitor = ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    ASSERT_NE(monitor, nullptr) << r.left << "," << r.top;
    MONITORINFO info = {sizeof info};
    ASSERT_TRUE(::GetMonitorInfoA(monitor, &info));
    RECT inside = {};
    ::IntersectRect(&inside, &r, &info.rcWork);
    EXPECT_TRUE(::EqualRect(&inside, &r)) << "all of it on the screen";
    Stop();
  }
  Settings().RemoveValue("WindowPlace");
}

TEST_F(BuilderAppTest, AlwaysOnTopInTheWindowMenuIsKept) {
  ASSERT_TRUE(Start());
  HMENU system = ::GetSystemMenu(FrameHwnd(), FALSE);
  ASSERT_NE(::GetMenuState(system, IDM_ALWAYSONTOP, MF_BYCOMMAND), static_cast<UINT>(-1));
  for (int on : {1, 0}) {
    SCOPED_TRACE(on);
    ::SendMessageA(FrameHwnd(), WM_SYSCOMMAND, IDM_ALWAYSONTOP, 0);
    // (Wine under Xvfb keeps WS_EX_TOPMOST off whatever SetWindowPos asks.)
    EXPECT_EQ((::GetMenuState(system, IDM_ALWAYSONTOP, MF_BYCOMMAND) & MF_CHECKED) != 0, on == 1);
    EXPECT_EQ(Settings().Number("AlwaysOnTop", 7), static_cast<DWORD>(on));
  }
}

TEST_F(BuilderAppTest, AMaximisedWindowStartsMaximisedAgain) {
  ASSERT_TRUE(Settings().SetNumber("WindowShow", SW_SHOWMAXIMIZED));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(::IsZoomed(FrameHwnd()));
  Stop();
  ASSERT_TRUE(Settings().RemoveValue("WindowShow"));
  ASSERT_TRUE(Start());
  EXPECT_FALSE(::IsZoomed(FrameHwnd()));
}

TEST_F(BuilderAppTest, F6TabAndTheirShiftsMoveBetweenThePanes) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
  Command(ID_NEXT_PANE);
  EXPECT_EQ(Frame()->GetActiveView(), View());
  Command(ID_PREV_PANE);
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
  MSG tab = {Tree()->GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&tab));
  EXPECT_EQ(Frame()->GetActiveView(), View());
  tab.hwnd = View()->GetSafeHwnd();
  EXPECT_TRUE(Frame()->PreTranslateMessage(&tab));
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
}

TEST_F(BuilderAppTest, CommandsSentByTheWizardsAreAppendedInOrder) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_ADD_COMMAND, 0, 0), 0);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_FALSE(Doc()->IsModified());
  for (int type : {kTypeComment, kTypeCls, kTypeWait})
    EXPECT_TRUE(SendCommandToFrame(FrameHwnd(), g_pCommandPalette->GetPrototype(type)->Clone()));
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeComment, kTypeCls, kTypeWait}));
  EXPECT_EQ(SelectedLines(), std::vector<int>{2});
  EXPECT_TRUE(Doc()->IsModified());
  Doc()->SetModifiedFlag(false);
}

// Help Topics, from the menu and by F1, opens the help's first page, which
// the build puts beside the builder.
TEST_F(BuilderAppTest, HelpTopicsAndTheAddressesThePreviewHandsOverGoToTheShell) {
  ASSERT_TRUE(Start());
  Command(ID_HELP_TOPICS);
  MSG f1 = {View()->GetSafeHwnd(), WM_KEYDOWN, VK_F1, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&f1));
  ASSERT_EQ(shell.calls.size(), 2u);
  const std::string help = static_cast<const char*>(GetProgramFolder() + "Help\\Index.html");
  for (const auto& call : shell.calls) {
    EXPECT_EQ(call.file, help);
    EXPECT_EQ(call.show, SW_SHOWMAXIMIZED);
    EXPECT_EQ(lwtest::HelpPageFault(call.file, LW_BUILD_DIR "/builder/Help"), "");
  }

  shell.calls.clear();
  ASSERT_TRUE(PostOpenPreviewUrl(FrameHwnd(), "https://example.org/saver"));
  ASSERT_TRUE(lwtest::PumpUntil([&] { return !shell.calls.empty(); }, 5000));
  EXPECT_EQ(shell.calls[0].verb, "open");
  EXPECT_EQ(shell.calls[0].file, "https://example.org/saver");
  EXPECT_EQ(shell.calls[0].show, SW_SHOWNOACTIVATE);
}

// The frame takes a command or an address only by an id its own senders
// handed out: one sent or posted by another thread or program, naming an
// object of the sender's or nothing at all, is ignored.
TEST_F(BuilderAppTest, ForgedCommandsAndAddressesAreIgnored) {
  ASSERT_TRUE(Start());
  CSceneCommand* foreign = g_pCommandPalette->GetPrototype(kTypeCls)->Clone();
  char* address = new char[32];
  lstrcpyA(address, "https://forged.example/");
  const HWND frame = FrameHwnd();
  auto fromAnotherThread = [frame](LPARAM command, LPARAM text) {
    std::atomic<bool> done{false};
    std::thread sender([&] {
      ::SendMessageA(frame, WM_ADD_COMMAND, 0, command);
      ::PostMessageA(frame, WM_OPEN_PREVIEW_URL, 0, text);
      done = true;
    });
    EXPECT_TRUE(lwtest::PumpUntil([&] { return done.load(); }, 10000));
    sender.join();
    lwtest::FlushEvents(200);
  };
  fromAnotherThread(reinterpret_cast<LPARAM>(foreign), reinterpret_cast<LPARAM>(address));
  EXPECT_EQ(View()->GetLineCount(), 0) << "a command of the sender's is not taken over";
  EXPECT_TRUE(shell.calls.empty()) << "an address of the sender's is not opened";
  EXPECT_STREQ(address, "https://forged.example/") << "nor freed";
  for (LPARAM forged : {LPARAM(1), LPARAM(0x7FFF1234), LPARAM(-1)}) {
    SCOPED_TRACE(forged);
    fromAnotherThread(forged, forged);
  }
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_FALSE(Doc()->IsModified());
  delete foreign;
  delete[] address;

  // What the frame's own senders hand over arrives.
  EXPECT_TRUE(SendCommandToFrame(frame, g_pCommandPalette->GetPrototype(kTypeWait)->Clone()));
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeWait});
  ASSERT_TRUE(PostOpenPreviewUrl(frame, "https://example.org/handed"));
  ASSERT_TRUE(lwtest::PumpUntil([&] { return !shell.calls.empty(); }, 5000));
  EXPECT_EQ(shell.calls[0].file, "https://example.org/handed");
  // A command sent where no script takes it is deleted, not left over.
  bool deleted = false;
  EXPECT_FALSE(SendCommandToFrame(nullptr, new CNotedComment(deleted)));
  EXPECT_TRUE(deleted);
  Doc()->SetModifiedFlag(false);
}

// ---------------------------------------------------------------------------
// Editing from the tree

TEST_F(BuilderAppTest, AddAndInsertTakeEveryTypeWithThePalettesDefaults) {
  ASSERT_TRUE(Start());
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    CSceneCommand* prototype = g_pCommandPalette->GetPrototype(type);
    CSceneCommand* fresh = prototype->Clone();
    const std::string defaults = Label(fresh);
    delete fresh;
    SelectType(type);
    Command(ID_COMMAND_ADD);
    const int last = View()->GetLineCount() - 1;
    ASSERT_EQ(last, type);
    CSceneCommand* added = View()->GetLineCommand(last);
    EXPECT_EQ(added, prototype) << "Add hands over the prototype itself";
    EXPECT_EQ(added->GetType(), type);
    EXPECT_EQ(Label(added), defaults);
    EXPECT_EQ(Doc()->GetCommands().GetCommand(last), added);
    // The palette starts a new prototype, which the tree item stands for.
    EXPECT_NE(g_pCommandPalette->GetPrototype(type), added);
    EXPECT_EQ(g_pCommandPalette->GetTreeItemPrototype(Tree()->GetSafeHwnd(), TypeItem(type)),
              g_pCommandPalette->GetPrototype(type));
    EXPECT_EQ(SelectedLines(), std::vector<int>{last});
    EXPECT_EQ(View()->GetCaretLine(), last);
  }
  EXPECT_TRUE(Doc()->IsModified());

  // Insert puts the new command at the caret, before that line.
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE("insert type " + std::to_string(type));
    ::SendMessageA(View()->GetSafeHwnd(), LB_SETCARETINDEX, 3, 0);
    SelectType(type);
    Command(ID_COMMAND_INSERT);
    EXPECT_EQ(View()->GetLineCommand(3)->GetType(), type);
    EXPECT_EQ(Doc()->GetCommands().GetCommand(3), View()->GetLineCommand(3));
    EXPECT_EQ(View()->GetLineCount(), 15 + type);
  }
}

TEST_F(BuilderAppTest, RepeatAndUntilIndentTheLinesBetweenThem) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeRepeat, kTypeShow, kTypeRepeat, kTypeWait, kTypeUntil, kTypeUntil, kTypeCls,
            kTypeUntil});
  const int expected[] = {0, 2, 2, 4, 2, 0, 0, 0};
  for (int i = 0; i < View()->GetLineCount(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    EXPECT_EQ(View()->GetLineCommand(i)->m_indent, expected[i]);
  }
  // Deleting the first Repeat re-indents the rest.
  SelectLines({0});
  View()->DeleteSelection(false);
  EXPECT_EQ(View()->GetLineCommand(0)->m_indent, 0);
  EXPECT_EQ(View()->GetLineCommand(2)->m_indent, 2);
}

TEST_F(BuilderAppTest, DeleteAsksAboutOneCommandOrSeveral) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls, kTypeComment, kTypeRepeat, kTypeUntil});
  struct Case {
    std::vector<int> lines;
    const char* question;
    int answer;
    std::vector<int> left;
  } const cases[] = {
      {{1, 3}, "Are you sure you want delete commands?", IDNO, {4, 5, 12, 6, 7}},
      {{1, 3}, "Are you sure you want delete commands?", IDYES, {4, 12, 7}},
      {{2}, "Are you sure you want delete command?", IDYES, {4, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    ClearBoxes();
    boxes.Script({c.answer});
    HWND list = View()->GetSafeHwnd();
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int line : c.lines) ::SendMessageA(list, LB_SETSEL, TRUE, line);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], c.question);
    EXPECT_EQ(boxes.types.back() & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(LineTypes(), c.left);
    EXPECT_EQ(Doc()->GetCommands().GetSize(), static_cast<int>(c.left.size()));
  }
  // The Delete key asks as well; nothing selected: no question.
  ClearBoxes();
  SelectLines({});
  ::SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(boxes.texts.empty());
  SelectLines({0});
  ::SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Are you sure you want delete command?"});
}

// Options OK rebuilds the list in the options it leaves: every line
// measured again in the new style font, indented by the new tab size, with
// the selection, the caret and both scroll positions kept.
TEST_F(BuilderAppTest, OptionsOkRebuildsTheListKeepingSelectionCaretAndScroll) {
  ASSERT_TRUE(Start());
  std::initializer_list<int> types = {kTypeRepeat, kTypeWait, kTypeWait, kTypeWait, kTypeUntil};
  for (int i = 0; i < 8; ++i) AddTypes(types);
  HWND list = View()->GetSafeHwnd();
  const int lines = View()->GetLineCount();
  ASSERT_EQ(lines, 40);
  SelectLines({11, 12, 17});
  ::SendMessageA(list, LB_SETCARETINDEX, 12, 0);
  ::SendMessageA(list, LB_SETTOPINDEX, 9, 0);
  ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 120), 0);
  const int top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  const int across = ::GetScrollPos(list, SB_HORZ);
  ASSERT_EQ(top, 9);
  ASSERT_GT(across, 0);
  const int oldHeight = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 1, 0));

  LOGFONTA font = {};
  font.lfHeight = -40;
  strcpy(font.lfFaceName, "Arial");
  lwtest::CRecordedCommonDialogs choosers;
  choosers.AnswerFont(font, RGB(0, 0, 128));
  lwtest::CDialogScript options([](CDialog* d) {
    d->SetDlgItemText(IDC_OPT_TAB, "5");
    lwtest::Press(d, IDC_OPT_FONT);  // the Normal style is selected
    lwtest::Press(d, IDOK);
  });
  Command(ID_TOOLS_OPTIONS);
  ASSERT_EQ(options.Opened(), 1);

  const CBuilderOptions* o = g_pCommandPalette->GetOptions();
  ASSERT_EQ(o->m_tabSize, 5);
  ASSERT_EQ(View()->GetLineCount(), lines);
  for (int i = 0; i < lines; ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    const CSceneCommand* cmd = View()->GetLineCommand(i);
    ASSERT_EQ(cmd, Doc()->GetCommands().GetCommand(i));
    EXPECT_EQ(::SendMessageA(list, LB_GETITEMHEIGHT, i, 0), std::max(16, o->GetStyleExtent(*cmd)));
    EXPECT_EQ(cmd->m_indent, cmd->GetType() == kTypeWait ? 5 : 0);
  }
  EXPECT_NE(::SendMessageA(list, LB_GETITEMHEIGHT, 1, 0), oldHeight) << "the font changed the height";
  EXPECT_EQ(SelectedLines(), (std::vector<int>{11, 12, 17}));
  EXPECT_EQ(View()->GetCaretLine(), 12);
  EXPECT_EQ(::SendMessageA(list, LB_GETTOPINDEX, 0, 0), top);
  EXPECT_EQ(::GetScrollPos(list, SB_HORZ), across);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, DeactivateActivateAndActivateAll) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls, kTypeComment, kTypeLine});
  auto disabled = [&] {
    std::vector<int> flags;
    for (int i = 0; i < View()->GetLineCount(); ++i) flags.push_back(View()->GetLineCommand(i)->IsDisabled());
    return flags;
  };
  Doc()->SetModifiedFlag(false);
  SelectLines({1, 3});
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_TRUE(Doc()->IsModified());
  // Already disabled lines: still a change of the document.
  Doc()->SetModifiedFlag(false);
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_TRUE(Doc()->IsModified());
  SelectLines({0, 1});
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{1, 1, 0, 1}));
  SelectLines({1});
  Command(ID_EDIT_ACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{1, 0, 0, 1}));
  Doc()->SetModifiedFlag(false);
  Command(ID_EDIT_ACTIVATEALL);
  EXPECT_EQ(disabled(), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(BuilderAppTest, TheMenusFollowTheScriptTheSelectionAndTheTree) {
  ASSERT_TRUE(Start());
  struct Item {
    UINT id;
    const char* empty;     // nothing in the script, a type selected
    const char* selected;  // lines, one selected
    const char* none;      // lines, none selected, the root selected in the tree
  } const items[] = {
      {ID_FILE_SAVE, "e", "e", "e"},          {ID_FILE_SAVE_AS, "e", "e", "e"},
      {ID_FILE_MAKESCR, "g", "e", "e"},       {ID_FILE_MAKEINSTALL, "g", "e", "e"},
      {ID_FILE_SETDEFAULT, "g", "e", "e"},    {ID_EDIT_DELETE, "g", "e", "g"},
      {ID_EDIT_SELECT_ALL, "g", "e", "e"},    {ID_EDIT_DEACTIVATE, "g", "e", "g"},
      {ID_EDIT_ACTIVATE, "g", "e", "g"},      {ID_EDIT_ACTIVATEALL, "g", "e", "e"},
      {ID_SCENE_PREVIEW, "g", "e", "e"},      {ID_COMMAND_CURRENT, "e", "e", "g"},
      {ID_COMMAND_ADD, "e", "e", "g"},        {ID_COMMAND_INSERT, "g", "e", "g"},
      {ID_TOOLS_REUSE, "e", "e", "e"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE("empty " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.empty);
  }
  AddTypes({kTypeWait, kTypeCls});
  SelectLines({1});
  for (const Item& item : items) {
    SCOPED_TRACE("selected " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.selected);
  }
  SelectLines({});
  ::SendMessageA(Tree()->GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(Tree()->GetRootItem()));
  for (const Item& item : items) {
    SCOPED_TRACE("none " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.none);
  }
  // Reuse is checked while the profile says so, and the command toggles it.
  Command(ID_TOOLS_REUSE);
  EXPECT_EQ(Settings().Number("Reuse"), 1u);
  EXPECT_EQ(MenuState(ID_TOOLS_REUSE), "ec");
  Command(ID_TOOLS_REUSE);
  EXPECT_EQ(Settings().Number("Reuse", 7), 0u);
  EXPECT_EQ(MenuState(ID_TOOLS_REUSE), "e");
}

TEST_F(BuilderAppTest, ADeletedShowLeavesItsObjectAndTheSavedFile) {
  ASSERT_TRUE(Start());
  // A Show placed before its object, and one after it.
  AddTypes({kTypeShow, kTypeImageText, kTypeShow, kTypeHide});
  auto* object = dynamic_cast<CSceneObject*>(View()->GetLineCommand(1));
  ASSERT_NE(object, nullptr);
  for (int line : {0, 2, 3}) View()->GetLineCommand(line)->SetTarget(object);
  ASSERT_EQ(object->GetReferrerCount(), 3);
  SelectLines({0, 3});
  View()->DeleteSelection(false);
  ASSERT_EQ(object->GetReferrerCount(), 1);
  EXPECT_EQ(object->GetReferrer(0), View()->GetLineCommand(1));

  const std::string path = folder.File("linked.fsd");
  SaveAs(path);
  CCommandList read;
  {
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ReadSceneDocument(ar, read, g_pCommandPalette);
  }
  ASSERT_EQ(read.GetSize(), 2);
  auto* readObject = dynamic_cast<CSceneObject*>(read.GetCommand(0));
  ASSERT_NE(readObject, nullptr);
  ASSERT_EQ(readObject->GetReferrerCount(), 1);
  EXPECT_EQ(readObject->GetReferrer(0), read.GetCommand(1));

  // A Show before its object: emptying the document frees both in order.
  AddTypes({kTypeShow, kTypeImageText});
  View()->GetLineCommand(2)->SetTarget(dynamic_cast<CSceneObject*>(View()->GetLineCommand(3)));
  Doc()->SetModifiedFlag(false);
  Command(ID_FILE_NEW);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 0);
}

// A script list with no room left: every insert is refused as the list
// box refuses it when it runs out of memory.
LRESULT CALLBACK RefuseInserts(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == LB_INSERTSTRING || msg == LB_ADDSTRING) return LB_ERRSPACE;
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// "New image" in a Show's dialog when the script cannot take the new
// object: the script view, which owns whatever it is given, deletes it,
// and nobody deletes it again; the script and the dialog go on without it.
TEST_F(BuilderAppTest, ANewImageTheScriptCannotTakeIsDeletedOnce) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeShow});
  CSceneCommand* show = View()->GetLineCommand(0);
  ASSERT_NE(show, nullptr);
  const HWND list = View()->GetSafeHwnd();
  ASSERT_TRUE(::SetWindowSubclass(list, &RefuseInserts, 1, 0));
  static int listed;
  listed = -1;
  lwtest::CDialogScript script([](CDialog* d) {
    if (d->GetTemplateId() == IDD_IMAGE_TEXT) {
      ::SendMessageA(d->GetDlgItem(IDC_IT_SET_TEXT), BM_CLICK, 0, 0);
      d->SetDlgItemText(IDC_IT_TEXT, "Refused");
      lwtest::Press(d, IDOK);
      return;
    }
    lwtest::Press(d, IDC_TARGET_NEW_IMAGE);
    listed = static_cast<int>(::SendDlgItemMessageA(d->GetSafeHwnd(), IDC_TARGET_LIST,
                                                    LB_GETCOUNT, 0, 0));
    lwtest::Press(d, IDOK);
  });
  EXPECT_EQ(EditSceneCommand(*show, FrameHwnd()), IDOK);
  ::RemoveWindowSubclass(list, &RefuseInserts, 1);
  EXPECT_EQ(script.Opened(), 2);
  EXPECT_EQ(listed, 0);
  EXPECT_EQ(View()->GetLineCount(), 1);
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 1);
  EXPECT_EQ(show->GetTarget(), nullptr);
  // The heap is whole: a second delete of the object would have broken it.
  EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
  EXPECT_EQ(_heapchk(), _HEAPOK);
}

// ---------------------------------------------------------------------------
// Documents

TEST_F(BuilderAppTest, AFixtureScriptOpensFromTheCommandLine) {
  const std::string path = folder.File("fixture.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, FixtureScript()));
  ASSERT_TRUE(Start("\"" + path + "\""));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(WindowText(FrameHwnd()), "fixture - Lumenweave");
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeCls, kTypeRepeat, kTypeWait, kTypeUntil}));
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 4);
  EXPECT_EQ(View()->GetLineCommand(2)->m_indent, 2);
  EXPECT_EQ(View()->GetLineCommand(2)->IsDisabled(), 1);
  EXPECT_EQ(Label(View()->GetLineCommand(3)), "Until [3 times]");
  // Saved again unchanged, it is the same file.
  Command(ID_FILE_SAVE);
  EXPECT_EQ(lwtest::ReadAll(path), FixtureScript());
}

TEST_F(BuilderAppTest, AScriptOpensFromTheCommandLineAndFromFileOpen) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeRepeat, kTypeWait, kTypeUntil});
  const std::string first = folder.File("first.fsd");
  SaveAs(first);
  AddTypes({kTypeComment});
  const std::string second = folder.File("second.fsd");
  SaveAs(second);
  Stop();

  ASSERT_TRUE(Start("\"" + first + "\""));
  EXPECT_EQ(std::string(Doc()->GetPathName()), first);
  EXPECT_EQ(WindowText(FrameHwnd()), "first - Lumenweave");
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeRepeat, kTypeWait, kTypeUntil}));
  EXPECT_EQ(View()->GetLineCommand(1)->m_indent, 2);
  EXPECT_FALSE(Doc()->IsModified());

  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(second);
  Command(ID_FILE_OPEN);
  ASSERT_EQ(dialogs.files.size(), 1u);
  EXPECT_TRUE(dialogs.files[0].open);
  EXPECT_EQ(std::string(Doc()->GetPathName()), second);
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeRepeat, kTypeWait, kTypeUntil, kTypeComment}));
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(BuilderAppTest, SaveAndSaveAsKeepThePathAndClearTheModifiedFlag) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Doc()->IsModified());
  AddTypes({kTypeWait});
  EXPECT_TRUE(Doc()->IsModified());
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");

  // Save of an untitled script asks where.
  const std::string path = folder.File("saved.fsd");
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_SAVE);
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_FALSE(dialogs.files[0].open);
  }
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_EQ(WindowText(FrameHwnd()), "saved - Lumenweave");
  EXPECT_EQ(lwtest::CRegKeyPath(HKEY_CURRENT_USER, std::string(kProfileKey) + "\\Recent File List")
                .Text("File1"),
            path);
  // The document folder is remembered; a cancelled prompt keeps it.
  const std::string documents = Settings().Text("DocPath");
  EXPECT_EQ(documents + "\\saved.fsd", path);
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerCancel();
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(dialogs.files.size(), 1u);
  }
  EXPECT_EQ(Settings().Text("DocPath"), documents);
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  const lwtest::Bytes once = lwtest::ReadAll(path);
  EXPECT_FALSE(once.empty());

  // Save of a titled script writes it there without asking.
  AddTypes({kTypeCls});
  {
    lwtest::CRecordedCommonDialogs dialogs;
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(dialogs.files.empty());
  }
  EXPECT_GT(lwtest::ReadAll(path).size(), once.size());
  EXPECT_FALSE(Doc()->IsModified());

  // The close question of a modified script: Cancel keeps it, No drops it.
  AddTypes({kTypeComment});
  boxes.Script({IDCANCEL});
  Command(ID_FILE_NEW);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Save changes to saved?");
  EXPECT_EQ(View()->GetLineCount(), 3);
  boxes.Script({IDNO});
  Command(ID_FILE_NEW);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_EQ(lwtest::ReadAll(path).size() > once.size(), true);
}

TEST_F(BuilderAppTest, AFailedSaveLeavesTheFileAsItWas) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls});
  const std::string path = folder.File("kept.fsd");
  SaveAs(path);
  const lwtest::Bytes before = lwtest::ReadAll(path);
  ASSERT_FALSE(before.empty());

  View()->InsertCommand(new CFailingComment, true);
  ClearBoxes();
  Command(ID_FILE_SAVE);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind(path + "\n\n", 0), 0u) << boxes.texts[0];
  EXPECT_EQ(lwtest::ReadAll(path), before);
  EXPECT_TRUE(Doc()->IsModified());
  // Nothing of the failed write stays beside the file.
  WIN32_FIND_DATAA found;
  int files = 0;
  HANDLE find = ::FindFirstFileA(folder.File("*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  EXPECT_EQ(files, 1);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, AnEmptyFileOpensAsANewScript) {
  const std::string path = folder.File("empty.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, {}));
  ASSERT_TRUE(Start("\"" + path + "\""));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_FALSE(Doc()->IsModified());
  // And through File Open over a script.
  AddTypes({kTypeWait});
  Doc()->SetModifiedFlag(false);
  const std::string other = folder.File("other.fsd");
  ASSERT_TRUE(lwtest::WriteAll(other, {}));
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(other);
  Command(ID_FILE_OPEN);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(std::string(Doc()->GetPathName()), other);
}

TEST_F(BuilderAppTest, ADamagedFileIsNamedInAMessageAndANewScriptStarts) {
  const std::string path = folder.File("damaged.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'r', 'i', 'p', 't'}));
  ASSERT_TRUE(Start("\"" + path + "\""));
  ASSERT_FALSE(boxes.texts.empty());
  EXPECT_EQ(boxes.texts.back(), path + "\n\ncannot be opened.");
  EXPECT_EQ(boxes.types.back() & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());

  // Through File Open the current script stays.
  AddTypes({kTypeWait});
  Doc()->SetModifiedFlag(false);
  ClearBoxes();
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(path);
  Command(ID_FILE_OPEN);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{path + "\n\ncannot be opened."});
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeWait});
  Doc()->SetModifiedFlag(false);
}

// A name outside the code page that has no short name reaches the builder
// with the code page's stand-ins: the message says why it cannot be opened.
TEST_F(BuilderAppTest, ANameWithNeitherAnAnsiFormNorAShortNameIsRefusedSayingWhy) {
  const std::string path = folder.File("??.fsd");
  ASSERT_TRUE(Start("\"" + path + "\""));
  ASSERT_FALSE(boxes.texts.empty());
  EXPECT_EQ(boxes.texts.back(),
            path + "\n\ncannot be opened.\n\nIts name has characters that this system's code page "
                   "cannot hold, and the disk keeps no short name for it: rename it to use it.");
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
}

// A file cut short or with a bad header: one message, naming the file,
// whichever way it fails.
TEST_F(BuilderAppTest, AFileThatCannotBeReadGivesOneMessage) {
  const lwtest::Bytes whole = FixtureScript();
  const struct {
    const char* name;
    lwtest::Bytes bytes;
  } cases[] = {
      {"a bad header", {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'r', 'i', 'p', 't'}},
      {"cut in the header", lwtest::Bytes(whole.begin(), whole.begin() + 10)},
      {"cut after the header", lwtest::Bytes(whole.begin(), whole.end() - 7)},
  };
  ASSERT_TRUE(Start());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File("cut.fsd");
    ASSERT_TRUE(lwtest::WriteAll(path, c.bytes));
    ClearBoxes();
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
    const std::string named = path + "\n\ncannot be opened.";
    EXPECT_EQ(boxes.texts[0].substr(0, named.size()), named);
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());
  }
  // Named on the command line, it is told the same way, with the reason.
  Stop();
  ClearBoxes();
  ASSERT_TRUE(Start("\"" + folder.File("cut.fsd") + "\""));
  ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
  EXPECT_EQ(boxes.texts[0], folder.File("cut.fsd") + "\n\ncannot be opened.\n\nUnexpected end of file.");
}

// ---------------------------------------------------------------------------
// Keys, double clicks and context menus of the two panes

TEST_F(BuilderAppTest, InTheTreeEnterAndADoubleClickEditANewCommandAndItsMenuAddsOne) {
  ASSERT_TRUE(Start());
  HWND tree = Tree()->GetSafeHwnd();
  std::string typed;
  lwtest::CDialogScript edit([&](CDialog* d) {
    if (typed.empty()) {
      lwtest::Press(d, IDCANCEL);
      return;
    }
    d->SetDlgItemText(IDC_COMMENT_TEXT, typed.c_str());
    lwtest::Press(d, IDOK);
  });
  SelectType(kTypeComment);
  // Enter: the type's dialog, then Add with what it was given.
  typed = "by Enter";
  MSG enter = {tree, WM_KEYDOWN, VK_RETURN, 1};
  EXPECT_TRUE(app->PreTranslateMessage(&enter));
  ASSERT_EQ(View()->GetLineCount(), 1);
  EXPECT_EQ(Label(View()->GetLineCommand(0)), "by Enter");
  // A held key's repeats do not open it again; Cancel adds nothing.
  MSG repeat = {tree, WM_KEYDOWN, VK_RETURN, 1 | (1 << 30)};
  app->PreTranslateMessage(&repeat);
  typed.clear();
  app->PreTranslateMessage(&enter);
  EXPECT_EQ(edit.Opened(), 2);
  EXPECT_EQ(View()->GetLineCount(), 1);

  // "Current..." works as Enter does, wherever the cursor is; the next Add
  // takes the type's defaults again.
  typed = "by Current";
  Command(ID_COMMAND_CURRENT);
  ASSERT_EQ(View()->GetLineCount(), 2);
  EXPECT_EQ(Label(View()->GetLineCommand(1)), "by Current");
  Command(ID_COMMAND_ADD);
  EXPECT_EQ(Label(View()->GetLineCommand(2)), "");

  // The root's picture follows its state as the user folds it (Left) and
  // opens it (Right).
  auto rootImage = [&] {
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = Tree()->GetRootItem();
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return std::make_pair(item.iImage, item.iSelectedImage);
  };
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_OPEN, IDI_ROOT_OPEN));
  ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Tree()->GetRootItem()));
  ::SendMessageA(tree, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_CLOSED, IDI_ROOT_CLOSED));
  ::SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_OPEN, IDI_ROOT_OPEN));
  // Enter on the root edits nothing.
  const int beforeRoot = edit.Opened();
  app->PreTranslateMessage(&enter);
  EXPECT_EQ(edit.Opened(), beforeRoot);

  // A double click on the type's row; none on the rows' empty rest.
  union {
    RECT rect;
    HTREEITEM item;
  } row = {};
  row.item = TypeItem(kTypeComment);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  RECT client = {};
  ::GetClientRect(tree, &client);
  row.item = TypeItem(kTypeUrl);
  RECT last = {};
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row)));
  last = row.rect;
  ASSERT_LT(last.bottom + 4, client.bottom) << "room below the last type";
  row.item = TypeItem(kTypeComment);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  struct Click {
    const char* name;
    POINT at;
    bool edits;
  } const clicks[] = {
      {"on the type", {(row.rect.left + row.rect.right) / 2, (row.rect.top + row.rect.bottom) / 2}, true},
      {"below the types", {row.rect.left + 4, (last.bottom + client.bottom) / 2}, false},
  };
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.name);
    typed = c.name;
    const int opened = edit.Opened();
    SelectType(kTypeComment);
    POINT screen = c.at;
    ::ClientToScreen(tree, &screen);
    ::SetCursorPos(screen.x, screen.y);
    // (A press would start the tree's wait for a drag.)
    const int lines = View()->GetLineCount();
    ::SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
    EXPECT_EQ(edit.Opened() - opened, c.edits ? 1 : 0);
    EXPECT_EQ(View()->GetLineCount() - lines, c.edits ? 1 : 0);
    if (c.edits) EXPECT_EQ(Label(View()->GetLineCommand(lines)), c.name);
  }
  Command(ID_EDIT_SELECT_ALL);
  View()->DeleteSelection(false);

  // The right button selects the type under it and opens the menu there,
  // owned by the frame: Add appends that type.
  row.item = TypeItem(kTypeCls);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  const POINT cls = {(row.rect.left + row.rect.right) / 2, (row.rect.top + row.rect.bottom) / 2};
  const CSeenMenu menu = SeeMenu(
      [&] { ::SendMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cls.x, cls.y)); }, 1);
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_COMMAND_ADD, ID_COMMAND_INSERT, 0, ID_SCENE_PREVIEW}));
  EXPECT_EQ(menu.texts[3], "Pre&view\tCtrl+T");
  ASSERT_EQ(menu.greyed.size(), 4u);
  EXPECT_FALSE(menu.greyed[0]);
  EXPECT_TRUE(menu.greyed[1] && menu.greyed[3])
      << "Insert wants a caret, Preview a script: the frame updated the items";
  POINT screen = cls;
  ::ClientToScreen(tree, &screen);
  EXPECT_EQ(menu.place.left, screen.x);
  EXPECT_EQ(menu.place.top, screen.y);
  EXPECT_EQ(Tree()->GetSelectedItem(), TypeItem(kTypeCls));
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeCls});

  // From the keyboard the menu opens at the pane's corner.
  const CSeenMenu keyboard =
      SeeMenu([&] { ::SendMessageA(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), -1); });
  POINT corner = {5, 5};
  ::ClientToScreen(tree, &corner);
  EXPECT_EQ(keyboard.ids.size(), 4u);
  EXPECT_EQ(keyboard.place.left, corner.x);
  EXPECT_EQ(keyboard.place.top, corner.y);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, InTheScriptEnterAndADoubleClickEditTheLineAndTheRightButtonSelects) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeComment, kTypeWait, kTypeComment});
  Doc()->SetModifiedFlag(false);
  HWND list = View()->GetSafeHwnd();
  std::string typed;
  lwtest::CDialogScript edit([&](CDialog* d) {
    d->SetDlgItemText(IDC_COMMENT_TEXT, typed.c_str());
    lwtest::Press(d, IDOK);
  });
  // Enter edits the caret line.
  typed = "edited by Enter";
  ::SendMessageA(list, LB_SETCARETINDEX, 2, 0);
  ::SendMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(Label(View()->GetLineCommand(2)), "edited by Enter");
  EXPECT_TRUE(Doc()->IsModified());

  // A double click on a line edits it; below the last line nothing opens.
  RECT first = {};
  ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  typed = "edited by a double click";
  const int opened = edit.Opened();
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(first.left + 40, first.top + 2));
  EXPECT_EQ(Label(View()->GetLineCommand(0)), "edited by a double click");
  RECT client = {};
  ::GetClientRect(list, &client);
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, client.bottom - 3));
  EXPECT_EQ(edit.Opened(), opened + 1);

  // The right button: a line not selected becomes the only one; a selected
  // line keeps the selection.
  auto press = [&](int line) {
    RECT r = {};
    ::SendMessageA(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
    ::SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  };
  SelectLines({0, 2});
  press(2);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 2}));
  press(1);
  EXPECT_EQ(SelectedLines(), std::vector<int>{1});
  EXPECT_EQ(View()->GetCaretLine(), 1);

  // With Ctrl, Page Up and Down, Home and End scroll sideways; Left and
  // Right by a step.
  enum Way { kRight, kLeft, kLeftEdge };
  struct Sideways {
    UINT vk;
    bool ctrl;
    int from;
    Way way;
  } const keys[] = {{VK_NEXT, true, 0, kRight},  {VK_HOME, true, 300, kLeftEdge},
                    {VK_END, true, 0, kRight},   {VK_PRIOR, true, 900, kLeft},
                    {VK_RIGHT, false, 0, kRight}, {VK_LEFT, false, 300, kLeft}};
  for (const Sideways& k : keys) {
    SCOPED_TRACE(k.vk);
    ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, k.from), 0);
    ASSERT_EQ(::GetScrollPos(list, SB_HORZ), k.from);
    HoldKeys(k.ctrl, false);
    ::SendMessageA(list, WM_KEYDOWN, k.vk, 1);
    HoldKeys(false, false);
    const int after = ::GetScrollPos(list, SB_HORZ);
    if (k.way == kRight) EXPECT_GT(after, k.from);
    if (k.way == kLeft) EXPECT_LT(after, k.from);
    if (k.way == kLeftEdge) EXPECT_EQ(after, 0);
  }
  EXPECT_EQ(View()->GetCaretLine(), 1) << "the caret stays on its line";

  // Its menu, owned by the frame, from the keyboard at the pane's corner.
  const CSeenMenu menu =
      SeeMenu([&] { ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); });
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE,
                                         0, ID_EDIT_DEACTIVATE, ID_EDIT_ACTIVATE,
                                         ID_EDIT_ACTIVATEALL, 0, ID_EDIT_SELECT_ALL, 0,
                                         ID_SCENE_PREVIEW}));
  ASSERT_EQ(menu.greyed.size(), 12u);
  EXPECT_FALSE(menu.greyed[0]) << "Cut: a line is selected";
  EXPECT_FALSE(menu.greyed[11]) << "Preview: the script is not empty";
  POINT corner = {5, 5};
  ::ClientToScreen(list, &corner);
  EXPECT_EQ(menu.place.left, corner.x);
  EXPECT_EQ(menu.place.top, corner.y);
  // Chosen from it, Deactivate reaches the frame.
  SeeMenu([&] { ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); }, 5);
  EXPECT_TRUE(View()->GetLineCommand(1)->IsDisabled());
  Doc()->SetModifiedFlag(false);
}

// The wizard button's arrow drops down the three wizards under the button.
TEST_F(BuilderAppTest, TheWizardButtonsArrowDropsDownTheWizards) {
  ASSERT_TRUE(Start());
  HWND bar = Frame()->GetToolBar().GetSafeHwnd();
  RECT button = {};
  ASSERT_TRUE(::SendMessageA(bar, TB_GETRECT, ID_WIZARD_LAST, reinterpret_cast<LPARAM>(&button)));
  const CSeenMenu menu = SeeMenu([&] {
    ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(button.right - 4, (button.top + button.bottom) / 2));
    ::SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(button.right - 4, (button.top + button.bottom) / 2));
  });
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_WIZARD_STANDARD, ID_WIZARD_ONESTEP, ID_WIZARD_FLASHTOSCR}));
  POINT below = {button.left, button.bottom};
  ::ClientToScreen(bar, &below);
  EXPECT_EQ(menu.place.left, below.x);
  EXPECT_EQ(menu.place.top, below.y);
  // Another button's drop-down is not the frame's.
  NMTOOLBARA other = {};
  other.hdr.hwndFrom = bar;
  other.hdr.idFrom = AFX_IDW_TOOLBAR;
  other.hdr.code = TBN_DROPDOWN;
  other.iItem = ID_FILE_NEW;
  const CSeenMenu none = SeeMenu(
      [&] { ::SendMessageA(FrameHwnd(), WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&other)); });
  EXPECT_TRUE(none.ids.empty());
}

// What the Standard wizard's "Preview SS" does from its modal step: a new
// document, then Preview. The step stays the window in front throughout;
// the preview holds it while it plays and gives everything back as it was.
class CPreviewSsDlg : public CDialog {
 public:
  explicit CPreviewSsDlg(HWND main) : CDialog(IDD_COMMENT, main) {}
  HWND self = nullptr, activeAfterNew = nullptr, activeAfter = nullptr;
  bool opened = false, heldWhilePreviewing = false, mainEnabledAfter = true;

 protected:
  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    PostMessage(WM_APP);
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != WM_APP) return CDialog::WindowProc(msg, wp, lp);
    self = m_hWnd;
    ::SendMessageA(m_parent, WM_COMMAND, ID_FILE_NEW, 0);
    activeAfterNew = ::GetActiveWindow();
    ::SendMessageA(m_parent, WM_COMMAND, ID_SCENE_PREVIEW, 0);
    HWND preview = ::FindWindowA(kPreviewWindowClass, kPreviewTitle);
    opened = preview != nullptr;
    heldWhilePreviewing = !::IsWindowEnabled(m_hWnd);
    if (preview) {
      ::SendMessageA(preview, WM_COMMAND, ID_PREVIEW_EXIT, 0);
      lwtest::PumpUntil([&] { return !::IsWindow(preview); }, 10000);
    }
    activeAfter = ::GetActiveWindow();
    mainEnabledAfter = ::IsWindowEnabled(m_parent) != FALSE;
    EndDialog(IDOK);
    return 0;
  }
};

TEST_F(BuilderAppTest, PreviewFromAModalStepKeepsTheStepInFrontAndTheMainWindowDisabled) {
  ASSERT_TRUE(Start());
  ::SetForegroundWindow(FrameHwnd());
  CPreviewSsDlg step(FrameHwnd());
  ASSERT_EQ(step.DoModal(), IDOK);
  EXPECT_EQ(step.activeAfterNew, step.self) << "a new document does not bring the main window up";
  ASSERT_TRUE(step.opened);
  EXPECT_TRUE(step.heldWhilePreviewing);
  EXPECT_EQ(step.activeAfter, step.self);
  EXPECT_FALSE(step.mainEnabledAfter);
  EXPECT_TRUE(::IsWindowEnabled(FrameHwnd()));
}

// ---------------------------------------------------------------------------
// The Preview command

TEST_F(BuilderAppTest, PreviewChecksTheScriptWarnsOfNothingVisibleSavesFirstAndStarts) {
  ASSERT_TRUE(Start());
  CBuilderOptions* options = g_pCommandPalette->GetOptions();
  auto preview = [] { return ::FindWindowA(kPreviewWindowClass, kPreviewTitle); };
  auto leave = [&] {
    HWND h = preview();
    if (!h) return;
    ::SendMessageA(h, WM_COMMAND, ID_PREVIEW_EXIT, 0);
    EXPECT_TRUE(lwtest::PumpUntil([&] { return !::IsWindow(h); }, 10000));
  };

  // A Repeat without its Until: the check's message, and no preview.
  AddTypes({kTypeRepeat, kTypeWait});
  ClearBoxes();
  Command(ID_SCENE_PREVIEW);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Missing until command."});
  EXPECT_EQ(preview(), nullptr);

  // Nothing visible: the warning, then the preview all the same; playing
  // at once when the options say so.
  AddTypes({kTypeUntil});
  options->m_saveBeforePreview = 0;
  for (int autoStart : {1, 0}) {
    SCOPED_TRACE(autoStart);
    options->m_previewAutoStart = autoStart;
    ClearBoxes();
    Command(ID_SCENE_PREVIEW);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Warning!  There are no active commands in your screen saver. There will be no "
              "visible result.");
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    HWND h = preview();
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(FrameHwnd()));
    auto* frame = dynamic_cast<CPreviewFrame*>(CWnd::FromHandlePermanent(h));
    ASSERT_NE(frame, nullptr);
    const bool started = lwtest::PumpUntil([&] { return frame->GetSceneThread() != nullptr; }, 2000);
    EXPECT_EQ(started, autoStart == 1);
    leave();
    EXPECT_TRUE(::IsWindowEnabled(FrameHwnd()));
  }

  // Save before preview: a modified script with a path is saved first.
  const std::string path = folder.File("previewed.fsd");
  SaveAs(path);
  AddTypes({kTypeWait});
  ASSERT_TRUE(Doc()->IsModified());
  for (int save : {0, 1}) {
    SCOPED_TRACE(save);
    options->m_saveBeforePreview = save;
    options->m_previewAutoStart = 0;
    const lwtest::Bytes before = lwtest::ReadAll(path);
    ClearBoxes();
    Command(ID_SCENE_PREVIEW);
    EXPECT_EQ(boxes.texts.size(), 1u) << "the warning only";
    EXPECT_NE(preview(), nullptr);
    EXPECT_EQ(Doc()->IsModified(), save == 0);
    EXPECT_EQ(lwtest::ReadAll(path) == before, save == 0);
    leave();
  }
}

// ---------------------------------------------------------------------------
// Check, make, default saver, text

TEST_F(BuilderAppTest, CheckScriptNamesAnUnpairedRepeatOrUntilAndSelectsItsLine) {
  ASSERT_TRUE(Start());
  struct Case {
    const char* name;
    std::vector<int> types;
    std::vector<int> disabled;
    const char* message;  // null: the script may run
    int line;
  } const cases[] = {
      {"repeat without until", {kTypeRepeat, kTypeWait}, {}, "Missing until command.", 1},
      {"until first", {kTypeUntil, kTypeRepeat}, {}, "Missing repeat command.", 0},
      {"until too many", {kTypeRepeat, kTypeUntil, kTypeWait, kTypeUntil, kTypeCls}, {},
       "Missing repeat command.", 3},
      {"disabled lines do not count", {kTypeRepeat, kTypeWait, kTypeUntil, kTypeUntil}, {3}, nullptr, -1},
      {"paired", {kTypeRepeat, kTypeRepeat, kTypeUntil, kTypeUntil}, {}, nullptr, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectLines({});
    ::SendMessageA(View()->GetSafeHwnd(), LB_SETSEL, TRUE, -1);
    View()->DeleteSelection(false);
    for (int type : c.types) AddTypes({type});
    for (int line : c.disabled) View()->GetLineCommand(line)->SetDisabled(1);
    SelectLines({0});
    Frame()->SetActiveView(Tree());
    ClearBoxes();
    const bool ready = View()->CheckScript();
    EXPECT_EQ(ready, c.message == nullptr);
    if (!c.message) {
      EXPECT_TRUE(boxes.texts.empty());
      continue;
    }
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], c.message);
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(SelectedLines(), std::vector<int>{c.line});
    EXPECT_EQ(View()->GetCaretLine(), c.line);
    EXPECT_EQ(Frame()->GetActiveView(), View());
  }
  Doc()->SetModifiedFlag(false);
}

// The builder's outputs of a saved script equal what the writer makes of
// the same document.
class BuilderMakeTest : public BuilderAppTest {
 protected:
  void MakeScript(const std::string& name) {
    ASSERT_TRUE(Start());
    AddTypes({kTypeCls, kTypeRepeat, kTypeWait, kTypeUntil});
    document = folder.File(name);
    SaveAs(document);
    ClearBoxes();
  }
  // What the writer makes of the document, made elsewhere.
  lwtest::Bytes WriterOutput(bool installer) {
    const std::string reference = elsewhere.File(installer ? "reference.exe" : "reference.scr");
    CSaverMaker maker;
    const BOOL made = installer ? maker.MakeInstaller(reference.c_str(), document.c_str())
                                : maker.MakeScr(reference.c_str(), document.c_str());
    EXPECT_TRUE(made) << static_cast<const char*>(maker.m_lastErrorMessage);
    return lwtest::ReadAll(reference);
  }

  std::string document;
  lwtest::CTempFolder elsewhere{"buildermakeref"};
};

TEST_F(BuilderMakeTest, TheWizardsMakeTheSaverAndTheInstallerBesideTheDocument) {
  MakeScript("beside.fsd");
  // The process's current folder is not the document's.
  ::SetCurrentDirectoryA(elsewhere.Path().c_str());
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  ::SendMessageA(FrameHwnd(), WM_MAKE_INSTALLER, 0, 0);
  const std::string scr = folder.File("beside.scr"), exe = folder.File("beside.exe");
  ASSERT_TRUE(lwtest::FileExists(scr));
  ASSERT_TRUE(lwtest::FileExists(exe));
  EXPECT_FALSE(lwtest::FileExists(elsewhere.File("beside.exe")));
  EXPECT_EQ(lwtest::ReadAll(scr), WriterOutput(false));
  EXPECT_EQ(lwtest::ReadAll(exe), WriterOutput(true));
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{
                             "Screen saver\n" + scr + "\nis succesfully created.",
                             "Screen saver\n" + exe + "\nis succesfully created."}));
}

TEST_F(BuilderMakeTest, WithoutADialogOnlyTheDocumentsOwnExtensionGivesWay) {
  struct Case {
    const char* document;
    const char* scr;
    const char* exe;
  } const cases[] = {
      {"plain.fsd", "plain.scr", "plain.exe"},
      {"LOUD.FSD", "LOUD.scr", "LOUD.exe"},
      {"show.scene", "show.scene.scr", "show.scene.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    MakeScript(c.document);
    ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
    ::SendMessageA(FrameHwnd(), WM_MAKE_INSTALLER, 0, 0);
    EXPECT_TRUE(lwtest::FileExists(folder.File(c.scr)));
    EXPECT_TRUE(lwtest::FileExists(folder.File(c.exe)));
    EXPECT_EQ(lwtest::ReadAll(document).empty(), false) << "the document stays";
    Stop();
  }
}

TEST_F(BuilderMakeTest, MakeScrAndMakeInstallAskWhereAndRememberTheFolder) {
  MakeScript("asked.fsd");
  const std::string scr = elsewhere.File("chosen.scr");
  const std::string exe = elsewhere.File("chosen.exe");
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(scr);
    dialogs.AnswerFile(exe);
    Command(ID_FILE_MAKESCR);
    Command(ID_FILE_MAKEINSTALL);
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_FALSE(dialogs.files[0].open);
    EXPECT_EQ(dialogs.files[0].defExt, "scr");
    EXPECT_EQ(dialogs.files[0].fileName, "asked");
    EXPECT_TRUE(dialogs.files[0].hooked);
    EXPECT_EQ(dialogs.files[1].defExt, "exe");
    EXPECT_EQ(dialogs.files[1].fileName, "asked");
  }
  EXPECT_EQ(lwtest::ReadAll(scr), WriterOutput(false));
  EXPECT_EQ(lwtest::ReadAll(exe), WriterOutput(true));
  EXPECT_EQ(Settings().Text("SavePath") + "\\chosen.scr", scr);

  // Cancelled: nothing is made.
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerCancel();
  ClearBoxes();
  Command(ID_FILE_MAKESCR);
  EXPECT_TRUE(boxes.texts.empty());
  Settings().RemoveValue("SavePath");
}

TEST_F(BuilderMakeTest, AWriterThatFailsIsHeardWithItsMessageAndCode) {
  MakeScript("fails.fsd");
  // A folder where the saver should go: the writer cannot create it.
  ASSERT_TRUE(::CreateDirectoryA(folder.File("fails.scr").c_str(), nullptr));
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find("Screen saver cannot be created."), std::string::npos) << boxes.texts[0];
  EXPECT_NE(boxes.texts[0].find("error code"), std::string::npos) << boxes.texts[0];
  EXPECT_EQ(boxes.texts[0].find("succesfully"), std::string::npos);
  EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

// Every make saves the script first. When that save fails or is
// cancelled, the file on the disk is not the script the window shows:
// nothing is made and the user is told the scene must be saved.
TEST_F(BuilderMakeTest, AMakeAfterASaveThatDidNotHappenMakesNothing) {
  MakeScript("unsaved.fsd");
  const lwtest::Bytes saved = lwtest::ReadAll(document);
  const std::string chosenScr = elsewhere.File("chosen.scr"), chosenExe = elsewhere.File("chosen.exe");
  struct Make {
    const char* name;
    UINT message;
    WPARAM command;
    std::string output;
  } const makes[] = {
      {"WM_MAKE_SCR", WM_MAKE_SCR, 0, folder.File("unsaved.scr")},
      {"WM_MAKE_INSTALLER", WM_MAKE_INSTALLER, 0, folder.File("unsaved.exe")},
      {"Make SCR", WM_COMMAND, ID_FILE_MAKESCR, chosenScr},
      {"Make Install", WM_COMMAND, ID_FILE_MAKEINSTALL, chosenExe},
  };
  for (bool cancelled : {false, true}) {
    SCOPED_TRACE(cancelled ? "the save is cancelled" : "the save fails");
    if (cancelled) {
      // A read-only file: the save asks for another name, which is cancelled.
      ASSERT_TRUE(::SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      View()->InsertCommand(new CFailingComment, true);
    }
    ASSERT_TRUE(Doc()->IsModified());
    for (const Make& make : makes) {
      SCOPED_TRACE(make.name);
      ClearBoxes();
      lwtest::CRecordedCommonDialogs dialogs;
      if (cancelled) dialogs.AnswerCancel();
      dialogs.AnswerFile(make.output);
      ::SendMessageA(FrameHwnd(), make.message, make.command, 0);
      EXPECT_FALSE(lwtest::FileExists(make.output));
      ASSERT_FALSE(boxes.texts.empty());
      EXPECT_EQ(boxes.texts.back(), "You have to save the scene.");
      for (const std::string& text : boxes.texts) EXPECT_EQ(text.find("succesfully"), std::string::npos) << text;
      EXPECT_EQ(lwtest::ReadAll(document), saved);
    }
  }
  ::SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_NORMAL);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderMakeTest, AnInstallerForAFinishedSaverCarriesTheSaverAsItIs) {
  MakeScript("finished.fsd");
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  const std::string scr = folder.File("finished.scr"), exe = folder.File("finished.exe");
  const lwtest::Bytes saver = lwtest::ReadAll(scr);
  ASSERT_FALSE(saver.empty());
  auto installFor = [&](const std::string& chosen) {
    ClearBoxes();
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(chosen);
    Command(ID_TOOLS_INSTALLFORSCR);
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_TRUE(dialogs.files[0].open);
  };
  installFor(scr);
  const lwtest::Bytes installer = lwtest::ReadAll(exe);
  ASSERT_GT(installer.size(), saver.size());
  EXPECT_TRUE(std::equal(saver.begin(), saver.end(), installer.end() - saver.size()));
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Screen saver\n" + exe + "\nis succesfully created."});

  installFor(scr);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Installer file already exists!"});
  EXPECT_EQ(lwtest::ReadAll(exe), installer);

  const std::string other = folder.File("other.scr");
  ASSERT_TRUE(lwtest::WriteAll(other, {'M', 'Z', 1, 2, 3}));
  installFor(other);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find("The file is not a screen saver made by Lumenweave!"), std::string::npos)
      << boxes.texts[0];
  EXPECT_FALSE(lwtest::FileExists(folder.File("other.exe")));
}

TEST_F(BuilderMakeTest, SetScrAsDefaultCopiesTheSaverAndHandsItToTheDisplaySettings) {
  MakeScript("default.fsd");
  char system[MAX_PATH] = "";
  ::GetSystemDirectoryA(system, sizeof system);
  const std::string name = "lwdefault" + std::to_string(::GetCurrentProcessId()) + ".scr";
  const std::string saver = elsewhere.File(name);
  const std::string target = std::string(system) + "\\" + name;
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(saver);
    Command(ID_FILE_SETDEFAULT);
  }
  ASSERT_TRUE(lwtest::FileExists(target));
  EXPECT_EQ(lwtest::ReadAll(target), lwtest::ReadAll(saver));
  ::DeleteFileA(target.c_str());
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, "rundll32.exe");
  EXPECT_EQ(shell.calls[0].params, "desk.cpl,InstallScreenSaver " + target);

  // A copy that fails is told, and the display settings are not asked.
  ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
  shell.calls.clear();
  ClearBoxes();
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(saver);
    Command(ID_FILE_SETDEFAULT);
  }
  ::RemoveDirectoryA(target.c_str());
  EXPECT_TRUE(shell.calls.empty());
  ASSERT_EQ(boxes.texts.size(), 2u);  // made, then the failed copy
  EXPECT_NE(boxes.texts[1].find(target), std::string::npos) << boxes.texts[1];
  EXPECT_EQ(boxes.types[1] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(BuilderMakeTest, ExportTextWritesTheIndentedLabelsBesideTheDocument) {
  MakeScript("text.fsd");
  const std::string text = document + ".txt";
  HoldKeys(true, true);
  MSG key = {View()->GetSafeHwnd(), WM_KEYDOWN, VK_OEM_PLUS, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&key));
  HoldKeys(false, false);
  std::string expected;
  for (int i = 0; i < View()->GetLineCount(); ++i) {
    const CSceneCommand* command = View()->GetLineCommand(i);
    expected += std::string(command->m_indent, ' ') + Label(command) + "\r\n";
  }
  EXPECT_EQ(expected.substr(0, 1), "C");
  EXPECT_NE(expected.find("\r\n  "), std::string::npos);
  const lwtest::Bytes written = lwtest::ReadAll(text);
  EXPECT_EQ(std::string(written.begin(), written.end()), expected);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, text);
  EXPECT_EQ(shell.calls[0].show, SW_SHOWMAXIMIZED);

  // A file that cannot be made is told, and nothing is opened.
  ASSERT_TRUE(::DeleteFileA(text.c_str()));
  ASSERT_TRUE(::CreateDirectoryA(text.c_str(), nullptr));
  shell.calls.clear();
  View()->ExportText();
  EXPECT_TRUE(shell.calls.empty());
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find(text), std::string::npos) << boxes.texts[0];
  ::RemoveDirectoryA(text.c_str());
}

// ---------------------------------------------------------------------------
// The hand-over block

TEST_F(BuilderAppTest, AHandedFileArrivesAsAFullPath) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls});
  const std::string path = folder.File("handed.fsd");
  SaveAs(path);
  Command(ID_FILE_NEW);
  ASSERT_EQ(View()->GetLineCount(), 0);
  // A relative name, from this folder; the frame's folder may be another.
  ::SetCurrentDirectoryA(folder.Path().c_str());
  EXPECT_TRUE(HandFileTo(FrameHwnd(), "handed.fsd"));
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_EQ(View()->GetLineCount(), 2);
  EXPECT_TRUE(boxes.texts.empty());
}

// A stand-in for the running builder: keeps what the block said when the
// hand-over message came.
std::string g_handed;
LRESULT CALLBACK HandOverProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_OPEN_HANDED_FILE) return ::DefWindowProcA(hwnd, msg, wp, lp);
  g_handed = static_cast<const char*>(ReadHandedFile());
  return 1;
}

TEST(HandOver, TheBlockHoldsTheFullPathWhileTheRunningBuilderReadsIt) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HandOverProbeProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "LwHandOverProbe";
  ::RegisterClassA(&wc);
  HWND probe = ::CreateWindowA("LwHandOverProbe", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
  ASSERT_NE(probe, nullptr);
  lwtest::CTempFolder folder("handover");
  char previous[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof previous, previous);
  ::SetCurrentDirectoryA(folder.Path().c_str());
  struct Case {
    std::string name, handed;
  } const cases[] = {{"relative.fsd", folder.File("relative.fsd")},
                     {folder.File("full.fsd"), folder.File("full.fsd")},
                     {"", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_handed = "unread";
    EXPECT_TRUE(HandFileTo(probe, c.name.c_str()));
    EXPECT_EQ(g_handed, c.handed);
  }
  // A running builder busy for a while still gets the file: the second
  // start waits for its answer, holding the block until it is read.
  g_handed = "unread";
  std::atomic<bool> handed{false};
  std::thread second([&] { handed = HandFileTo(probe, "busy.fsd"); });
  ::Sleep(1500);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return g_handed != "unread"; }, 10000));
  second.join();
  EXPECT_TRUE(handed);
  EXPECT_EQ(g_handed, folder.File("busy.fsd"));
  ::SetCurrentDirectoryA(previous);
  ::DestroyWindow(probe);
}

TEST_F(BuilderAppTest, AMissingEmptyOrOverlongBlockOpensNothingAndIsAnswered) {
  ASSERT_TRUE(Start());
  // No block at all.
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_OPEN_HANDED_FILE, 0, 0), 1);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());

  // A block of a whole page, larger than the hand-over's own.
  const DWORD page = 4096;
  HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, page,
                                        kHandedFileBlock);
  ASSERT_NE(mapping, nullptr);
  char* block = static_cast<char*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(block, nullptr);
  // Empty.
  block[0] = 0;
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_OPEN_HANDED_FILE, 0, 0), 1);
  EXPECT_TRUE(boxes.texts.empty());
  // Without a terminating zero anywhere: the read stops at the block's end.
  memset(block, 'a', page);
  const int views = MappedViewCount();
  const CString read = ReadHandedFile();
  // The reader lets go of its view of the block.
  EXPECT_EQ(MappedViewCount(), views);
  EXPECT_GT(read.GetLength(), 0);
  EXPECT_LT(read.GetLength(), MAX_PATH);
  ::UnmapViewOfFile(block);
  ::CloseHandle(mapping);
}

TEST_F(BuilderAppTest, MatchSwitchTakesOneLeadingDashOrSlash) {
  struct Case {
    const char* argument;
    bool match;
  } const cases[] = {{"u", true},  {"-u", true},  {"/u", true}, {"U", true},
                     {"//u", false}, {"-uu", false}, {"x", false}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(MatchSwitch(c.argument, "u"), c.match);
  }
}

}  // namespace
