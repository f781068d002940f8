// Command routing: a class's table chained to its base's, the order in
// which a route offers a command to its targets, and a window of the user
// interface layer: commands from its menu, update-UI when a pop-up menu
// opens and when the thread is idle, clicked buttons, control
// notifications and WM_NOTIFY.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/Thread.h"

namespace {

enum : UINT {
  ID_NEW = 100,
  ID_OPEN,
  ID_SAVE,
  ID_COPY,
  ID_PASTE,
  ID_NONE,
  ID_VIEW_FIRST = 200,
  ID_VIEW_LAST = 209,
  IDC_CHECK = 300,
  IDC_EDIT,
};

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// Stand-in targets that record the handlers that ran. A handler whose
// record is among `declines` passes the command on.
class CBaseTarget : public CCmdTarget {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CBaseTarget(const char* name) : m_name(name) {}
  std::set<std::string> declines;

 protected:
  bool Took(const std::string& what) {
    if (declines.count(what)) return false;
    Log().push_back(m_name + " " + what);
    return true;
  }
  bool OnNew(UINT) { return Took("new"); }
  bool OnSave(UINT) { return Took("base save"); }

 private:
  std::string m_name;
};

const CCommandEntry CBaseTarget::commandEntries[] = {
    CommandEntry(ID_NEW, &CBaseTarget::OnNew),
    CommandEntry(ID_SAVE, &CBaseTarget::OnSave),
};
LW_IMPLEMENT_COMMAND_TABLE(CBaseTarget, CCmdTarget)

class CDerivedTarget : public CBaseTarget {
  LW_DECLARE_COMMAND_TABLE()
 public:
  using CBaseTarget::CBaseTarget;

 protected:
  bool OnSave(UINT) { return Took("derived save"); }
  bool OnView(UINT id) { return Took("view " + std::to_string(id - ID_VIEW_FIRST)); }
  bool OnOpen(UINT) { return Took("open"); }
};

const CCommandEntry CDerivedTarget::commandEntries[] = {
    CommandEntry(ID_SAVE, &CDerivedTarget::OnSave),
    CommandRangeEntry(ID_VIEW_FIRST, ID_VIEW_LAST, &CDerivedTarget::OnView),
    CommandEntry(ID_OPEN, &CDerivedTarget::OnOpen),
};
LW_IMPLEMENT_COMMAND_TABLE(CDerivedTarget, CBaseTarget)

CCommandMsg Command(UINT id) { return CCommandMsg(CCommandEntry::kCommand, id); }

TEST(CommandTable, AClassTableComesFirstThenItsBasesTable) {
  struct Row {
    const char* name;
    UINT id;
    std::set<std::string> declines;
    bool handled;
    std::vector<std::string> log;
  } const kRows[] = {
      {"the base's entry", ID_NEW, {}, true, {"t new"}},
      {"its own entry before the base's", ID_SAVE, {}, true, {"t derived save"}},
      {"declined: on to the base's", ID_SAVE, {"derived save"}, true, {"t base save"}},
      {"declined by both", ID_SAVE, {"derived save", "base save"}, false, {}},
      {"range start", ID_VIEW_FIRST, {}, true, {"t view 0"}},
      {"range end", ID_VIEW_LAST, {}, true, {"t view 9"}},
      {"past the range", ID_VIEW_LAST + 1, {}, false, {}},
      {"no entry", ID_NONE, {}, false, {}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    Log().clear();
    CDerivedTarget target("t");
    target.declines = r.declines;
    CCommandMsg msg = Command(r.id);
    EXPECT_EQ(target.OnCmdMsg(msg), r.handled);
    EXPECT_EQ(Log(), r.log);
    // A probe finds the same entries without running a handler.
    Log().clear();
    CCommandMsg probe = Command(r.id);
    probe.probe = true;
    EXPECT_EQ(target.OnCmdMsg(probe), r.id != ID_NONE && r.id != ID_VIEW_LAST + 1);
    EXPECT_TRUE(Log().empty());
  }
}

TEST(CommandRoute, ViewThenDocumentThenFrameThenApplication) {
  CDerivedTarget view("view"), document("document"), frame("frame");
  CBaseTarget application("application");
  struct Row {
    const char* name;
    UINT id;
    std::set<std::string> viewDeclines;
    std::set<std::string> documentDeclines;
    bool noView;
    const char* handledBy;
  } const kRows[] = {
      {"all take it", ID_NEW, {}, {}, false, "view new"},
      {"the view declines", ID_NEW, {"new"}, {}, false, "document new"},
      {"both decline", ID_NEW, {"new"}, {"new"}, false, "frame new"},
      {"no view", ID_NEW, {}, {}, true, "document new"},
      {"only the others have it", ID_OPEN, {"open"}, {"open"}, false, "frame open"},
      {"nobody has it", ID_NONE, {}, {}, false, nullptr},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    Log().clear();
    view.declines = r.viewDeclines;
    document.declines = r.documentDeclines;
    CCommandRoute route;
    route.SetView(r.noView ? nullptr : &view);
    route.SetDocument(&document);
    route.SetFrame(&frame);
    route.SetApplication(&application);
    CCommandMsg msg = Command(r.id);
    EXPECT_EQ(route.Route(msg), r.handledBy != nullptr);
    EXPECT_EQ(Log(), r.handledBy ? std::vector<std::string>{r.handledBy}
                                 : std::vector<std::string>{});
  }
  // What only the application handles reaches it last.
  Log().clear();
  frame.declines = {"new"};
  view.declines = document.declines = {"new"};
  CCommandRoute route;
  route.SetView(&view);
  route.SetDocument(&document);
  route.SetFrame(&frame);
  route.SetApplication(&application);
  CCommandMsg msg = Command(ID_NEW);
  EXPECT_TRUE(route.Route(msg));
  EXPECT_EQ(Log(), std::vector<std::string>{"application new"});
}

// A window of the user interface layer with its own table.
class CProbeWnd : public CCmdWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  bool copyEnabled = false;
  bool wrap = true;
  bool checkEnabled = false;
  LRESULT notifyResult = 55;

 protected:
  bool OnCopy(UINT) {
    Log().push_back("copy");
    return true;
  }
  bool OnPaste(UINT) {
    Log().push_back("paste");
    return true;
  }
  void OnUpdateCopy(CCmdUI* ui) {
    ui->Enable(copyEnabled);
    ui->SetCheck(wrap ? 1 : 0);
    ui->SetText(wrap ? "Copy wrapped" : "Copy");
  }
  bool OnCheck(UINT) {
    Log().push_back("check clicked");
    return true;
  }
  void OnUpdateCheck(CCmdUI* ui) {
    ui->Enable(checkEnabled);
    ui->SetCheck(1);
    ui->SetText("Ready");
  }
  bool OnEditChange(UINT) {
    Log().push_back("edit changed");
    return true;
  }
  bool OnEditClick(NMHDR* hdr, LRESULT* result) {
    Log().push_back("edit clicked");
    *result = notifyResult;
    return true;
  }
};

const CCommandEntry CProbeWnd::commandEntries[] = {
    CommandEntry(ID_COPY, &CProbeWnd::OnCopy),
    UpdateUIEntry(ID_COPY, &CProbeWnd::OnUpdateCopy),
    CommandEntry(ID_PASTE, &CProbeWnd::OnPaste),
    CommandEntry(IDC_CHECK, &CProbeWnd::OnCheck),
    UpdateUIEntry(IDC_CHECK, &CProbeWnd::OnUpdateCheck),
    ControlEntry(IDC_EDIT, EN_CHANGE, &CProbeWnd::OnEditChange),
    NotifyEntry(IDC_EDIT, static_cast<UINT>(NM_CLICK), &CProbeWnd::OnEditClick),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeWnd, CCmdWnd)

const char* ProbeClass() {
  return CWnd::RegisterWndClass(0, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

// Opens the pop-up menu at the window as a user would and closes it again
// at once; returns when it is closed.
void OpenAndCloseMenu(HWND owner, HMENU popup) {
  SetForegroundWindow(owner);
  const UINT_PTR closer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  TrackPopupMenu(popup, TPM_RETURNCMD | TPM_LEFTALIGN, 10, 10, 0, owner, nullptr);
  KillTimer(nullptr, closer);
}

std::string ItemText(HMENU menu, UINT id) {
  char text[64] = {};
  GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
  return text;
}

// The pop-up menu's items take their state when it opens: from their
// update-UI handlers, or, without one, enabled exactly when a handler
// takes their command.
TEST(CommandWindow, AMenuTakesItsStateFromUpdateHandlersWhenItOpens) {
  CProbeWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, ProbeClass(), "commands", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, 0));
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, ID_COPY, "Copy");
  AppendMenuA(popup, MF_STRING, ID_PASTE, "Paste");
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_STRING, ID_NONE, "Nothing");
  AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "More");

  struct Row {
    const char* name;
    bool copyEnabled;
    bool wrap;
    const char* copyText;
  } const kRows[] = {
      {"copy off, wrapped", false, true, "Copy wrapped"},
      {"copy on, not wrapped", true, false, "Copy"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    wnd.copyEnabled = r.copyEnabled;
    wnd.wrap = r.wrap;
    OpenAndCloseMenu(wnd, popup);
    const UINT copy = GetMenuState(popup, ID_COPY, MF_BYCOMMAND);
    EXPECT_EQ((copy & MF_GRAYED) != 0, !r.copyEnabled);
    EXPECT_EQ((copy & MF_CHECKED) != 0, r.wrap);
    EXPECT_EQ(ItemText(popup, ID_COPY), r.copyText);
    EXPECT_EQ(GetMenuState(popup, ID_PASTE, MF_BYCOMMAND) & MF_GRAYED, 0u) << "it has a handler";
    EXPECT_NE(GetMenuState(popup, ID_NONE, MF_BYCOMMAND) & MF_GRAYED, 0u) << "nothing handles it";
  }
  // A chosen item's command reaches its handler.
  Log().clear();
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_PASTE, 0), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_NONE, 0), 0);
  EXPECT_EQ(Log(), std::vector<std::string>{"paste"});
  DestroyMenu(popup);
}

// A thread idle in its message loop brings the controls up to date.
class CIdleUpdater : public CWinThread {
 public:
  explicit CIdleUpdater(CCmdWnd& wnd) : m_wnd(wnd) {}
  bool OnIdle(LONG) override {
    m_wnd.UpdateControls();
    ::PostQuitMessage(0);
    return false;
  }

 private:
  CCmdWnd& m_wnd;
};

// Controls: a clicked check box gives its command, an edit its change and
// its WM_NOTIFY; at idle the check box takes the state its update handler
// sets, and the edit, which has none, stays as it is.
TEST(CommandWindow, ControlsGiveCommandsAndNotificationsAndTakeTheirStateAtIdle) {
  CProbeWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, ProbeClass(), "controls", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, 0));
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND check = CreateWindowExA(0, "BUTTON", "Check", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0,
                               0, 80, 20, wnd, reinterpret_cast<HMENU>(IDC_CHECK), instance,
                               nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 30, 80, 20, wnd,
                              reinterpret_cast<HMENU>(IDC_EDIT), instance, nullptr);
  ASSERT_NE(check, nullptr);
  ASSERT_NE(edit, nullptr);

  Log().clear();
  SendMessageA(check, BM_CLICK, 0, 0);
  SetWindowTextA(edit, "typed");
  NMHDR hdr = {edit, IDC_EDIT, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, IDC_EDIT, reinterpret_cast<LPARAM>(&hdr)), 55);
  EXPECT_EQ(Log(), (std::vector<std::string>{"check clicked", "edit changed", "edit clicked"}));

  SendMessageA(check, BM_SETCHECK, BST_UNCHECKED, 0);
  // The loop ends at its first idle call, or after five seconds.
  const UINT_PTR limit =
      SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); });
  CIdleUpdater idle(wnd);
  idle.Run();
  KillTimer(nullptr, limit);
  EXPECT_FALSE(IsWindowEnabled(check));
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  char text[32] = {};
  GetWindowTextA(check, text, sizeof text);
  EXPECT_STREQ(text, "Ready");
  EXPECT_TRUE(IsWindowEnabled(edit));
  GetWindowTextA(edit, text, sizeof text);
  EXPECT_STREQ(text, "typed");
}

// Without a route a window's commands go to its own table; with one, along
// the route, where the window is one target among others.
TEST(CommandWindow, ARoutedWindowOffersItsCommandsToTheViewFirst) {
  CProbeWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, ProbeClass(), "routed", WS_POPUP, 0, 0, 50, 50, nullptr, 0));
  CDerivedTarget view("view");
  CCommandRoute route;
  route.SetView(&view);
  route.SetFrame(&wnd);
  wnd.SetCommandRoute(&route);
  Log().clear();
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_NEW, 0), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_COPY, 1), 0);  // an accelerator
  EXPECT_EQ(Log(), (std::vector<std::string>{"view new", "copy"}));
}

}  // namespace
