// What the builder's tests in this process share: the private registry
// roots and the options file put back (set up once per program), the
// profile key, the hand-made fixture script, commands that fail or note
// their deletion, a look at pop-up menus, and the fixture that starts the
// builder from its own application object and drives its frame.
#pragma once

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
#include "builder/controls/BuilderMessages.h"
#include "builder/CommView.h"
#include "builder/CommandEdit.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/ShellOpen.h"
#include "builder/MainFrame.h"
#include "builder/PreviewFrame.h"
#include "builder/SceneDoc.h"
#include "builder/SceneView.h"
#include "builder/StartDialogs.h"
#include "builder/resource.h"
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

const char kProfileKey[] = "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave";

// The builder's "Settings" section under the private profile.
lwtest::CRegKeyPath Settings();

using lwtest::ClassName;
using lwtest::WindowText;

// The list label of a command; "" for none.
std::string Label(const CSceneCommand* command);

// How many views of mapped files this process holds.
int MappedViewCount();

// Holds Ctrl and Shift (or nothing) in this thread's keyboard state, which
// GetKeyState reads.
void HoldKeys(bool ctrl, bool shift);

// A script as its file holds it, made by hand: Cls (green), Repeat, Wait
// 1500 ms (disabled), Until 3 times.
lwtest::Bytes FixtureScript();

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

// Runs open, which should put up a pop-up menu, and looks at that menu.
CSeenMenu SeeMenu(const std::function<void()>& open, int choose = 0);

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