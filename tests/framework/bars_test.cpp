// Control bars in a stand-in frame that does what a frame does for its
// bars: lays them out from the outside in on every size change and when a
// bar asks, updates them at idle, and shows the status line's messages.
// The toolbar: buttons and separators from its resource, pictures from an
// image list, drop-down notifications, update-UI, tooltips and fly-by
// prompts, docking, floating and its place in the profile. The status bar:
// the message pane and the key indicators. Menus: a pop-up tracked for a
// window that gets its command.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/App.h"
#include "framework/Bars.h"
#include "framework/ImageList.h"
#include "framework/Menu.h"
#include "tests/framework/bars_test_res.h"
#include "tests/support/image_strip.h"
#include "tests/support/pump.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

using lwtest::FlushEvents;
using lwtest::PumpUntil;


std::string LoadText(UINT id) {
  char text[256] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

// The frame: bars in the order added, laid out from the outside in; the
// rest of the client area is the pane. It takes its messages as a frame
// does and records them; it handles some commands and updates others.
class CStandInFrame : public CCmdWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  bool Create(int x = 200, int y = 150, int w = 640, int h = 420) {
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // A pop-up without caption: Wine waits up to two seconds for a window
    // manager to hide a window with one, and Xvfb has none.
    return CreateEx(0, cls, "Stand-in", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE, x, y,
                    w, h, nullptr, 0);
  }
  void Add(CControlBar* bar) {
    bars.push_back(bar);
    RecalcLayout();
  }
  void RecalcLayout() {
    CRect remaining = GetClientRect();
    for (CControlBar* bar : bars) bar->Layout(remaining);
    pane = remaining;
  }
  void IdleUpdate() {
    for (CControlBar* bar : bars)
      if (bar->IsWindowVisible()) bar->UpdateItems(nullptr);
  }

  std::vector<CControlBar*> bars;
  CRect pane;
  std::vector<std::string> messages;  // what the status line was asked to show
  std::vector<UINT> commands;         // commands handled
  std::vector<UINT> dropDowns;        // buttons whose drop-down arrow was pressed
  bool bravoEnabled = false;
  int charlieCheck = 1;
  int recalcRequests = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_SETMESSAGESTRING: {
        std::string text = wp ? LoadText(static_cast<UINT>(wp)) : reinterpret_cast<const char*>(lp);
        text = text.substr(0, text.find('\n'));
        messages.push_back(text);
        for (CControlBar* bar : bars)
          if (bar->ShowMessage(text.c_str())) break;
        return 0;
      }
      case WM_RECALCPARENT:
        ++recalcRequests;
        RecalcLayout();
        return 0;
      case WM_SIZE:
        RecalcLayout();
        return 0;
      default:
        return CCmdWnd::WindowProc(msg, wp, lp);
    }
  }
  bool OnCommandId(UINT id) {
    commands.push_back(id);
    return true;
  }
  void OnUpdateBravo(CCmdUI* ui) { ui->Enable(bravoEnabled); }
  void OnUpdateCharlie(CCmdUI* ui) { ui->SetCheck(charlieCheck); }
  bool OnDropDown(NMHDR* hdr, LRESULT* result) {
    dropDowns.push_back(static_cast<UINT>(reinterpret_cast<NMTOOLBARA*>(hdr)->iItem));
    *result = TBDDRET_DEFAULT;
    return true;
  }
};

const CCommandEntry CStandInFrame::commandEntries[] = {
    CommandEntry(ID_ALPHA, &CStandInFrame::OnCommandId),
    CommandEntry(ID_BRAVO, &CStandInFrame::OnCommandId),
    UpdateUIEntry(ID_BRAVO, &CStandInFrame::OnUpdateBravo),
    CommandEntry(ID_CHARLIE, &CStandInFrame::OnCommandId),
    UpdateUIEntry(ID_CHARLIE, &CStandInFrame::OnUpdateCharlie),
    CommandEntry(ID_ECHO, &CStandInFrame::OnCommandId),
    NotifyEntry(AFX_IDW_TOOLBAR, TBN_DROPDOWN, &CStandInFrame::OnDropDown),
};
LW_IMPLEMENT_COMMAND_TABLE(CStandInFrame, CCmdWnd)

// The colours of the test images, one solid 16 x 16 image each: the
// normal ones, the disabled ones and the ones under the mouse.
const int kImages = 5;
using Colours = COLORREF[kImages];
const Colours kImageColours = {RGB(200, 30, 30), RGB(30, 160, 30), RGB(30, 30, 200),
                               RGB(200, 160, 0), RGB(0, 160, 160)};
const Colours kDisabledColours = {RGB(90, 90, 90), RGB(100, 100, 100), RGB(110, 110, 110),
                                  RGB(120, 120, 120), RGB(130, 130, 130)};
const Colours kHotColours = {RGB(250, 120, 120), RGB(120, 250, 120), RGB(120, 120, 250),
                             RGB(250, 250, 120), RGB(120, 250, 250)};
const COLORREF kMask = RGB(255, 0, 255);
// The pictures of the pictured toolbar and of the green bitmap.
const COLORREF kRed = RGB(220, 0, 0), kBlue = RGB(0, 0, 220), kGreen = RGB(0, 200, 0);

// The images of the colours, each with a 4 x 4 centre of the mask colour.
void MakeImages(CImageList& list, const Colours& colours = kImageColours) {
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 5, 1));
  HBITMAP strip =
      lwtest::MakeImageStrip(std::vector<COLORREF>(colours, colours + kImages), 16, kMask);
  EXPECT_EQ(list.Add(strip, kMask), 0);
  DeleteObject(strip);
  EXPECT_EQ(list.GetImageCount(), 5);
}

// A frame with a toolbar from its resource docked at the top and a status
// bar with the message pane and the three key indicators at the bottom.
struct CBarsFixture {
  CStandInFrame frame;
  CToolBar toolbar;
  CStatusBar status;
  CImageList images;

  explicit CBarsFixture(DWORD barStyle = CBRS_TOOLTIPS | CBRS_FLYBY) {
    EXPECT_TRUE(frame.Create());
    EXPECT_TRUE(
        toolbar.CreateEx(&frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | barStyle));
    EXPECT_TRUE(toolbar.LoadToolBar(IDR_TOOLBAR));
    MakeImages(images);
    toolbar.SetImageList(&images);
    toolbar.SetWindowText("Test Bar");
    EXPECT_TRUE(status.Create(&frame));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                               ID_INDICATOR_SCRL};
    EXPECT_TRUE(status.SetIndicators(indicators, 4));
    frame.Add(&toolbar);
    frame.Add(&status);
    SetForegroundWindow(frame);
    FlushEvents(100);
  }

  // A toolbar item's rectangle on the screen.
  CRect ScreenRect(int index) const {
    CRect r = toolbar.GetItemRect(index);
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  BYTE State(UINT id) const { return static_cast<BYTE>(toolbar.SendMessage(TB_GETSTATE, id, 0)); }
};

CRect ChildRect(HWND child) {
  CRect r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Moves the mouse to the screen point, away from any button press.
void MoveMouse(CPoint pt) {
  SetCursorPos(pt.x, pt.y);
  FlushEvents(50);
}

// A click on the bar at the client point, as the control gets it.
void Click(CWnd& bar, CPoint pt) {
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

// Presses the left button at the screen point, moves to each point and
// lets go at the last, as the user's hand does.
void Drag(CPoint from, std::initializer_list<CPoint> path) {
  const int cx = GetSystemMetrics(SM_CXSCREEN) - 1, cy = GetSystemMetrics(SM_CYSCREEN) - 1;
  std::vector<INPUT> inputs;
  const auto add = [&](CPoint pt, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = pt.x * 65535 / cx;
    in.mi.dy = pt.y * 65535 / cy;
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    inputs.push_back(in);
  };
  add(from, 0);
  add(from, MOUSEEVENTF_LEFTDOWN);
  CPoint last = from;
  for (CPoint pt : path) add(last = pt, 0);
  add(last, MOUSEEVENTF_LEFTUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Moves the mouse onto the frame's pane, where no bar is.
void MouseToPane(CBarsFixture& f) {
  CRect pane = f.frame.pane;
  MapWindowPoints(f.frame, nullptr, reinterpret_cast<POINT*>(&pane), 2);
  MoveMouse(pane.CenterPoint());
}

// How many of the pixels of the bar's item on the screen have the colour.
int CountOnScreen(const CToolBar& bar, int index, COLORREF colour) {
  CRect r = bar.GetItemRect(index);
  MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&r), 2);
  int count = 0;
  for (COLORREF c : lwtest::ScreenPixels(r)) count += c == colour;
  return count;
}

// The toolbar's items come from its resource in order, separators where
// the resource has 0, each button with the next image of the image list;
// on the screen each button shows its picture, with the mask colour's
// pixels transparent.
TEST(ToolBar, LoadsButtonsAndSeparatorsInOrderAndShowsTheirPictures) {
  CBarsFixture f;
  MouseToPane(f);
  struct Item {
    UINT id;
    int image;  // -1: a separator
  } const kItems[] = {{ID_ALPHA, 0}, {ID_BRAVO, 1},      {ID_SEPARATOR, -1}, {ID_CHARLIE, 2},
                      {ID_DELTA, 3}, {ID_SEPARATOR, -1}, {ID_ECHO, 4}};
  ASSERT_EQ(f.toolbar.GetCount(), 7);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(f.toolbar.SendMessage(TB_GETIMAGELIST, 0, 0)),
            f.images.GetSafeHandle());
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE("item " + std::to_string(i));
    const Item& item = kItems[i];
    EXPECT_EQ(f.toolbar.GetItemID(i), item.id);
    EXPECT_EQ((f.toolbar.GetButtonStyle(i) & BTNS_SEP) != 0, item.image < 0);
    if (i > 0) {
      EXPECT_GE(f.toolbar.GetItemRect(i).left, f.toolbar.GetItemRect(i - 1).right);
    }
    if (item.image < 0) continue;
    UINT id = 0, style = 0;
    int image = -1;
    f.toolbar.GetButtonInfo(i, id, style, image);
    EXPECT_EQ(image, item.image);
    // The picture: all its pixels but the masked 4 x 4 centre.
    EXPECT_EQ(CountOnScreen(f.toolbar, i, kImageColours[item.image]), 256 - 16);
    EXPECT_EQ(CountOnScreen(f.toolbar, i, kMask), 0);
  }
}

// Disabled buttons show their picture of the disabled list, the button
// under the mouse its picture of the hot list.
TEST(ToolBar, ShowsThePicturesOfTheDisabledAndHotLists) {
  CBarsFixture f;
  CImageList disabled, hot;
  MakeImages(disabled, kDisabledColours);
  MakeImages(hot, kHotColours);
  f.toolbar.SetDisabledImageList(&disabled);
  f.toolbar.SetHotImageList(&hot);
  MouseToPane(f);
  f.frame.charlieCheck = 0;
  f.frame.IdleUpdate();  // bravo and delta disabled, charlie plain
  const int bravo = f.toolbar.CommandToIndex(ID_BRAVO),
            charlie = f.toolbar.CommandToIndex(ID_CHARLIE);
  EXPECT_TRUE(PumpUntil(
      [&] { return CountOnScreen(f.toolbar, bravo, kDisabledColours[1]) == 256 - 16; }, 2000));
  EXPECT_TRUE(PumpUntil(
      [&] { return CountOnScreen(f.toolbar, charlie, kImageColours[2]) == 256 - 16; }, 2000));
  MoveMouse(f.ScreenRect(charlie).CenterPoint());
  EXPECT_TRUE(PumpUntil(
      [&] { return CountOnScreen(f.toolbar, charlie, kHotColours[2]) == 256 - 16; }, 2000));
  MouseToPane(f);
}

// A bitmap resource of the toolbar's id gives its pictures; another bitmap
// adds pictures that a button can take later.
TEST(ToolBar, TakesPicturesFromBitmapResources) {
  CStandInFrame frame;
  ASSERT_TRUE(frame.Create());
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(&frame));
  ASSERT_TRUE(bar.LoadToolBar(IDR_TOOLBAR_PICTURED));
  frame.Add(&bar);
  ASSERT_EQ(bar.GetCount(), 2);
  EXPECT_TRUE(PumpUntil(
      [&] { return CountOnScreen(bar, 0, kRed) == 256 && CountOnScreen(bar, 1, kBlue) == 256; },
      2000));
  EXPECT_EQ(bar.AddBitmap(IDB_GREEN, 1), 2);
  bar.SetButtonInfo(1, ID_BRAVO, TBSTYLE_CHECK, 2);
  EXPECT_TRUE(PumpUntil([&] { return CountOnScreen(bar, 1, kGreen) == 256; }, 2000));
  UINT id = 0, style = 0;
  int image = 0;
  bar.GetButtonInfo(1, id, style, image);
  EXPECT_EQ(id, static_cast<UINT>(ID_BRAVO));
  EXPECT_EQ(style & TBSTYLE_CHECK, static_cast<UINT>(TBSTYLE_CHECK));
  EXPECT_EQ(image, 2);
}

TEST(ToolBar, RefusesADamagedOrMissingResourceAndKeepsItsButtons) {
  CBarsFixture f;
  const struct {
    const char* name;
    UINT id;
  } kRows[] = {{"an unknown version", IDR_TOOLBAR_VERSION},
               {"more items than data", IDR_TOOLBAR_SHORT},
               {"no resource", 999}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(f.toolbar.LoadToolBar(row.id));
    EXPECT_EQ(f.toolbar.GetCount(), 7);
    EXPECT_EQ(f.toolbar.GetItemID(6), ID_ECHO);
  }
}

// A click on a button gives its command, a press on a drop-down button's
// arrow TBN_DROPDOWN; both reach the frame's table, also while the bar
// floats in a window of its own.
TEST(ToolBar, ClicksAndDropDownArrowsReachTheFramesTableDockedOrFloating) {
  CBarsFixture f;
  f.toolbar.SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
  const int echo = f.toolbar.CommandToIndex(ID_ECHO);
  ASSERT_EQ(echo, 6);
  f.toolbar.SetButtonStyle(echo, TBSTYLE_DROPDOWN);
  EXPECT_EQ(f.toolbar.GetButtonStyle(echo) & TBSTYLE_DROPDOWN, static_cast<UINT>(TBSTYLE_DROPDOWN));
  for (bool floating : {false, true}) {
    SCOPED_TRACE(floating ? "floating" : "docked");
    if (floating) f.toolbar.Float(CPoint(400, 600));
    ASSERT_EQ(f.toolbar.IsFloating(), floating);
    f.frame.commands.clear();
    f.frame.dropDowns.clear();
    Click(f.toolbar, f.toolbar.GetItemRect(0).CenterPoint());
    const CRect arrow = f.toolbar.GetItemRect(echo);
    Click(f.toolbar, CPoint(arrow.right - 3, arrow.CenterPoint().y));
    FlushEvents(50);
    EXPECT_EQ(f.frame.commands, std::vector<UINT>{ID_ALPHA});
    EXPECT_EQ(f.frame.dropDowns, std::vector<UINT>{ID_ECHO});
  }
}

// At idle each button takes what the frame's update-UI handlers say; a
// button without one is enabled exactly when something handles it.
TEST(ToolBar, ButtonsTakeTheirStateFromTheFramesRouteAtIdle) {
  CBarsFixture f;
  const struct {
    const char* name;
    bool bravoEnabled;
    int charlieCheck;
  } kRows[] = {{"bravo off, charlie checked", false, 1},
               {"bravo on, charlie clear", true, 0},
               {"charlie indeterminate", false, 2},
               {"charlie checked again", true, 1}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    f.frame.bravoEnabled = row.bravoEnabled;
    f.frame.charlieCheck = row.charlieCheck;
    f.frame.IdleUpdate();
    EXPECT_TRUE(f.State(ID_ALPHA) & TBSTATE_ENABLED) << "handled";
    EXPECT_EQ((f.State(ID_BRAVO) & TBSTATE_ENABLED) != 0, row.bravoEnabled);
    EXPECT_EQ((f.State(ID_CHARLIE) & TBSTATE_CHECKED) != 0, row.charlieCheck == 1);
    EXPECT_EQ((f.State(ID_CHARLIE) & TBSTATE_INDETERMINATE) != 0, row.charlieCheck == 2);
    EXPECT_FALSE(f.State(ID_DELTA) & TBSTATE_ENABLED) << "nothing handles it";
    EXPECT_TRUE(f.State(ID_ECHO) & TBSTATE_ENABLED);
  }
}

// Rests the mouse on the button of the command until its tooltip shows
// (for ms at the most); the tooltip's text, empty when none showed.
std::string HoverForTip(CBarsFixture& f, UINT id, DWORD ms) {
  HWND tip = reinterpret_cast<HWND>(f.toolbar.SendMessage(TB_GETTOOLTIPS, 0, 0));
  MouseToPane(f);
  MoveMouse(f.ScreenRect(f.toolbar.CommandToIndex(id)).CenterPoint());
  char shown[64] = "";
  if (PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, ms))
    GetWindowTextA(tip, shown, sizeof shown);
  MouseToPane(f);
  return shown;
}

// A tooltip asks the bar for a button's text: the part of the command's
// string after the '\n'. Hovering over a button shows it.
TEST(ToolBar, TooltipsShowTheTextAfterTheNewlineOfTheCommandsString) {
  CBarsFixture f;
  HWND tip = reinterpret_cast<HWND>(f.toolbar.SendMessage(TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tip, nullptr);
  const struct {
    UINT id;
    const char* text;  // null: the bar has none to give
  } kRows[] = {{ID_BRAVO, "Bravo tip"}, {ID_ECHO, "Echo (Ctrl+E)"}, {ID_DELTA, nullptr}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.id);
    NMTTDISPINFOA a = {};
    a.hdr = {tip, row.id, TTN_GETDISPINFOA};
    f.toolbar.SendMessage(WM_NOTIFY, row.id, reinterpret_cast<LPARAM>(&a));
    EXPECT_EQ(std::string(a.lpszText ? a.lpszText : a.szText), row.text ? row.text : "");
    NMTTDISPINFOW w = {};
    w.hdr = {tip, row.id, TTN_GETDISPINFOW};
    f.toolbar.SendMessage(WM_NOTIFY, row.id, reinterpret_cast<LPARAM>(&w));
    char narrow[64] = "";
    WideCharToMultiByte(CP_ACP, 0, w.lpszText ? w.lpszText : w.szText, -1, narrow, sizeof narrow,
                        nullptr, nullptr);
    EXPECT_STREQ(narrow, row.text ? row.text : "");
  }

  EXPECT_EQ(HoverForTip(f, ID_ECHO, 5000), "Echo (Ctrl+E)");

  // Without CBRS_TOOLTIPS no tip shows, until the style is added.
  CBarsFixture plain(CBRS_FLYBY);
  EXPECT_EQ(HoverForTip(plain, ID_ECHO, 1500), "");
  plain.toolbar.SetBarStyle(plain.toolbar.GetBarStyle() | CBRS_TOOLTIPS);
  EXPECT_EQ(HoverForTip(plain, ID_ECHO, 5000), "Echo (Ctrl+E)");
}

// The mouse over a button puts the command's prompt (its string before the
// '\n') in the frame's status line; off the buttons the idle message
// comes back.
TEST(ToolBar, TheButtonUnderTheMouseShowsItsPromptInTheStatusLine) {
  CBarsFixture f;
  MouseToPane(f);
  f.frame.messages.clear();
  const auto showing = [&](const char* text) {
    return PumpUntil([&] { return f.status.GetPaneText(0) == text; }, 3000);
  };
  MoveMouse(f.ScreenRect(0).CenterPoint());
  EXPECT_TRUE(showing("Runs alpha"));
  MoveMouse(f.ScreenRect(3).CenterPoint());
  EXPECT_TRUE(showing("Runs charlie"));
  MoveMouse(f.ScreenRect(2).CenterPoint());  // a separator
  EXPECT_TRUE(showing("Ready"));
  MoveMouse(f.ScreenRect(4).CenterPoint());
  EXPECT_TRUE(showing("Runs delta"));
  MouseToPane(f);  // the mouse leaves the bar
  EXPECT_TRUE(showing("Ready"));
  EXPECT_EQ(f.frame.messages, (std::vector<std::string>{"Runs alpha", "Runs charlie", "Ready",
                                                        "Runs delta", "Ready"}));

  CBarsFixture quiet(CBRS_TOOLTIPS);
  MouseToPane(quiet);
  quiet.frame.messages.clear();
  MoveMouse(quiet.ScreenRect(0).CenterPoint());
  FlushEvents(300);
  EXPECT_TRUE(quiet.frame.messages.empty()) << "no CBRS_FLYBY";
  MouseToPane(quiet);
}

// Docked on a side, the bar takes a strip of the frame's client area as
// thick as its buttons, a row at the top or bottom and a column on the
// left or right; the status bar and the pane share what is left.
TEST(ToolBar, DocksOnEachSideTakingAStripAsThickAsItsButtons) {
  CBarsFixture f;
  const CRect client = f.frame.GetClientRect();
  const CRect button = f.toolbar.GetItemRect(0);
  const struct {
    const char* name;
    CControlBar::Side side;
  } kRows[] = {{"left", CControlBar::kLeft},
               {"bottom", CControlBar::kBottom},
               {"right", CControlBar::kRight},
               {"top", CControlBar::kTop}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    f.toolbar.Dock(row.side);
    EXPECT_EQ(f.toolbar.GetSide(), row.side);
    const CRect bar = ChildRect(f.toolbar);
    const CRect status = ChildRect(f.status);
    const bool vertical = row.side == CControlBar::kLeft || row.side == CControlBar::kRight;
    CRect expected = client;
    switch (row.side) {
      case CControlBar::kTop:
        expected.bottom = client.top + button.Height();
        break;
      case CControlBar::kBottom:
        expected.top = client.bottom - button.Height();
        break;
      case CControlBar::kLeft:
        expected.right = client.left + button.Width();
        break;
      case CControlBar::kRight:
        expected.left = client.right - button.Width();
        break;
    }
    EXPECT_EQ(bar, expected);
    // The status bar below the rest, the pane between.
    EXPECT_EQ(status.bottom, row.side == CControlBar::kBottom ? bar.top : client.bottom);
    EXPECT_EQ(f.frame.pane.bottom, status.top);
    CRect both;
    EXPECT_FALSE(both.IntersectRect(f.frame.pane, bar));
    for (int i = 1; i < f.toolbar.GetCount(); ++i) {
      const CRect previous = f.toolbar.GetItemRect(i - 1), item = f.toolbar.GetItemRect(i);
      if (vertical) {
        EXPECT_EQ(item.left, previous.left);
        EXPECT_GE(item.top, previous.bottom);
      } else {
        EXPECT_EQ(item.top, previous.top);
        EXPECT_GE(item.left, previous.right);
      }
    }
  }
}

// Floating, the bar lives in a small tool window owned by the frame, with
// the bar's text as caption, and takes nothing from the frame. Closing that
// window hides the bar; showing the bar shows it again; a double click on
// its caption docks the bar where it was, and a move that ends over an
// edge of the frame docks it on that edge.
TEST(ToolBar, FloatsInAToolWindowThatHidesShowsAndDocksAgain) {
  CBarsFixture f;
  f.toolbar.EnableDocking(CBRS_ALIGN_ANY);
  const CRect docked = ChildRect(f.toolbar);
  f.toolbar.Float(CPoint(420, 380));
  HWND floating = f.toolbar.GetFloatingFrame();
  ASSERT_NE(floating, nullptr);
  EXPECT_TRUE(f.toolbar.IsFloating());
  EXPECT_TRUE(IsWindowVisible(floating));
  EXPECT_EQ(GetParent(f.toolbar), floating);
  EXPECT_EQ(GetWindow(floating, GW_OWNER), f.frame.GetSafeHwnd());
  EXPECT_TRUE(GetWindowLongA(floating, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  CRect where;
  GetWindowRect(floating, &where);
  EXPECT_EQ(where.TopLeft(), CPoint(420, 380));
  char caption[64] = "";
  GetWindowTextA(floating, caption, sizeof caption);
  EXPECT_STREQ(caption, "Test Bar");
  EXPECT_EQ(f.frame.pane.top, 0) << "the floating bar takes nothing from the frame";
  // Its buttons in one row fill its client area.
  CRect client;
  GetClientRect(floating, &client);
  EXPECT_EQ(client.Width(), f.toolbar.GetItemRect(6).right);
  EXPECT_EQ(client.Height(), f.toolbar.GetItemRect(6).bottom);

  f.toolbar.SetWindowText("Renamed");
  GetWindowTextA(floating, caption, sizeof caption);
  EXPECT_STREQ(caption, "Renamed");

  SendMessageA(floating, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(floating));
  EXPECT_FALSE(f.toolbar.GetStyle() & WS_VISIBLE);
  EXPECT_TRUE(IsWindow(floating));
  f.toolbar.ShowWindow(SW_SHOWNA);
  EXPECT_TRUE(IsWindowVisible(floating));

  SendMessageA(floating, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(where.left + 5, where.top + 5));
  EXPECT_FALSE(f.toolbar.IsFloating());
  EXPECT_EQ(f.toolbar.GetFloatingFrame(), nullptr);
  EXPECT_FALSE(IsWindowVisible(floating));
  EXPECT_EQ(GetParent(f.toolbar), f.frame.GetSafeHwnd());
  EXPECT_EQ(ChildRect(f.toolbar), docked);

  // A double click beside the buttons floats the bar where it is.
  const CPoint beside(f.toolbar.GetItemRect(6).right + 20, 5);
  f.toolbar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(beside.x, beside.y));
  ASSERT_TRUE(f.toolbar.IsFloating());
  // A move that ends with the mouse inside the frame but away from its
  // edges leaves it floating; one over the left edge docks it there.
  CRect frameClient = f.frame.GetClientRect();
  MapWindowPoints(f.frame, nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
  SetCursorPos(frameClient.CenterPoint().x, frameClient.CenterPoint().y);
  SendMessageA(f.toolbar.GetFloatingFrame(), WM_EXITSIZEMOVE, 0, 0);
  EXPECT_TRUE(f.toolbar.IsFloating());
  SetCursorPos(frameClient.left + 4, frameClient.CenterPoint().y);
  SendMessageA(f.toolbar.GetFloatingFrame(), WM_EXITSIZEMOVE, 0, 0);
  EXPECT_FALSE(f.toolbar.IsFloating());
  EXPECT_EQ(f.toolbar.GetSide(), CControlBar::kLeft);
  EXPECT_EQ(f.frame.pane.left, f.toolbar.GetItemRect(0).Width());
  MouseToPane(f);
}

// A drag on the docked bar's background takes it out of its dock: it
// floats under the mouse and goes where the mouse lets go of it.
TEST(ToolBar, ADragOnItsBackgroundFloatsTheBarWhereTheMouseGoes) {
  CBarsFixture f;
  f.toolbar.EnableDocking(CBRS_ALIGN_ANY);
  CRect bar = f.toolbar.GetWindowRect();
  const CPoint from(bar.left + f.toolbar.GetItemRect(6).right + 30, bar.CenterPoint().y);
  const CPoint to(from.x + 40, from.y + 150);
  Drag(from, {CPoint(from.x + 10, from.y + 10), CPoint(from.x + 20, from.y + 80), to});
  ASSERT_TRUE(PumpUntil([&] { return f.toolbar.IsFloating(); }, 3000));
  FlushEvents(300);
  CRect floating;
  GetWindowRect(f.toolbar.GetFloatingFrame(), &floating);
  EXPECT_TRUE(floating.PtInRect(to)) << floating.left << "," << floating.top;
  EXPECT_EQ(f.frame.pane.top, 0);
  MouseToPane(f);
}

// Without docking enabled the user can neither float nor dock the bar.
TEST(ToolBar, StaysWhereTheProgramPutItUnlessDockingIsEnabled) {
  CBarsFixture f;
  const CPoint beside(f.toolbar.GetItemRect(6).right + 20, 5);
  f.toolbar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(beside.x, beside.y));
  EXPECT_FALSE(f.toolbar.IsFloating());
  f.toolbar.Float(CPoint(300, 300));
  SendMessageA(f.toolbar.GetFloatingFrame(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_TRUE(f.toolbar.IsFloating());
}

// The bar's side, visibility and floating place go to the profile and
// come back from it in a new frame.
TEST(ToolBar, KeepsItsPlaceInTheProfile) {
  lwtest::CPrivateRegRoot root(HKEY_CURRENT_USER);
  ASSERT_TRUE(root.Ok());
  CWinApp app("BarsTest");
  app.SetRegistryKey("Lumenweave Tests");
  const char* const section = "BarsTest-Bar0";
  const lwtest::CRegKeyPath key(HKEY_CURRENT_USER,
                                "Software\\Lumenweave Tests\\BarsTest\\BarsTest-Bar0");
  const struct {
    const char* name;
    bool floating;
    CControlBar::Side side;
    bool visible;
  } kRows[] = {{"floating", true, CControlBar::kTop, true},
               {"floating, hidden", true, CControlBar::kTop, false},
               {"docked left", false, CControlBar::kLeft, true},
               {"docked at the bottom, hidden", false, CControlBar::kBottom, false}};
  // Each row: f keeps its bar there, g starts docked at the top and takes
  // the bar's place from the profile.
  CBarsFixture f, g;
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.name);
    f.toolbar.ShowWindow(SW_SHOWNA);
    if (row.floating)
      f.toolbar.Float(CPoint(360, 420));
    else
      f.toolbar.Dock(row.side);
    if (!row.visible) f.toolbar.ShowWindow(SW_HIDE);
    f.toolbar.SaveState(&app, section);
    EXPECT_EQ(key.Number("BarID"), static_cast<DWORD>(AFX_IDW_TOOLBAR));
    EXPECT_EQ(key.Number("Floating", 9), row.floating ? 1u : 0u);
    EXPECT_EQ(key.Number("Visible", 9), row.visible ? 1u : 0u);
    EXPECT_EQ(key.Number("Side", 9), static_cast<DWORD>(row.side));
    if (row.floating) {
      EXPECT_EQ(key.Number("X"), 360u);
      EXPECT_EQ(key.Number("Y"), 420u);
    }

    g.toolbar.Dock(CControlBar::kTop);
    g.toolbar.ShowWindow(SW_SHOWNA);
    g.toolbar.LoadState(&app, section);
    EXPECT_EQ(g.toolbar.IsFloating(), row.floating);
    EXPECT_EQ((g.toolbar.GetStyle() & WS_VISIBLE) != 0, row.visible);
    if (row.floating) {
      CRect where;
      GetWindowRect(g.toolbar.GetFloatingFrame(), &where);
      EXPECT_EQ(where.TopLeft(), CPoint(360, 420));
      EXPECT_EQ(IsWindowVisible(g.toolbar.GetFloatingFrame()) != FALSE, row.visible);
    } else {
      EXPECT_EQ(g.toolbar.GetSide(), row.side);
      if (row.visible) {
        const CRect bar = ChildRect(g.toolbar);
        EXPECT_EQ(row.side == CControlBar::kLeft ? bar.right : bar.top,
                  row.side == CControlBar::kLeft
                      ? g.frame.pane.left
                      : g.frame.pane.bottom + ChildRect(g.status).Height());
      }
    }
    ASSERT_TRUE(key.DeleteTree());
  }
}

// What the profile holds for another bar, or holds damaged, never puts the
// bar out of reach.
TEST(ToolBar, TakesOnlyItsOwnSoundStateFromTheProfile) {
  lwtest::CPrivateRegRoot root(HKEY_CURRENT_USER);
  ASSERT_TRUE(root.Ok());
  CWinApp app("BarsTest");
  app.SetRegistryKey("Lumenweave Tests");
  const lwtest::CRegKeyPath key(HKEY_CURRENT_USER,
                                "Software\\Lumenweave Tests\\BarsTest\\Damaged-Bar0");
  CBarsFixture f;
  const CRect docked = ChildRect(f.toolbar);

  f.toolbar.LoadState(&app, "Damaged-Bar0");  // no section
  EXPECT_FALSE(f.toolbar.IsFloating());
  EXPECT_EQ(ChildRect(f.toolbar), docked);

  key.SetNumber("BarID", AFX_IDW_STATUS_BAR);  // another bar's
  key.SetNumber("Floating", 1);
  f.toolbar.LoadState(&app, "Damaged-Bar0");
  EXPECT_FALSE(f.toolbar.IsFloating());

  key.SetNumber("BarID", AFX_IDW_TOOLBAR);
  key.SetNumber("Floating", 0);
  key.SetNumber("Side", 9);
  f.toolbar.LoadState(&app, "Damaged-Bar0");
  EXPECT_EQ(f.toolbar.GetSide(), CControlBar::kTop);
  EXPECT_EQ(ChildRect(f.toolbar), docked);

  // A floating place far off every screen lands on one.
  key.SetNumber("Floating", 1);
  key.SetNumber("X", 100000);
  key.SetNumber("Y", static_cast<DWORD>(-100000));
  f.toolbar.LoadState(&app, "Damaged-Bar0");
  ASSERT_TRUE(f.toolbar.IsFloating());
  CRect where, screen;
  GetWindowRect(f.toolbar.GetFloatingFrame(), &where);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  CRect inside;
  EXPECT_TRUE(inside.IntersectRect(where, screen));
  EXPECT_EQ(inside, where);
  key.DeleteTree();
}

// The key indicators show their text while the key is toggled on, checked
// at idle; the message pane shows what the frame sends and stretches with
// the frame, the indicators keep their widths.
TEST(StatusBar, KeyIndicatorsFollowTheirKeysAndTheMessagePaneStretches) {
  CBarsFixture f;
  BYTE saved[256];
  ASSERT_TRUE(GetKeyboardState(saved));
  const struct {
    bool caps, num, scroll;
  } kRows[] = {
      {true, false, false}, {false, true, true}, {true, true, true}, {false, false, false}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(std::to_string(row.caps) + std::to_string(row.num) + std::to_string(row.scroll));
    BYTE keys[256];
    memcpy(keys, saved, sizeof keys);
    keys[VK_CAPITAL] = row.caps ? 1 : 0;
    keys[VK_NUMLOCK] = row.num ? 1 : 0;
    keys[VK_SCROLL] = row.scroll ? 1 : 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    f.frame.IdleUpdate();
    EXPECT_EQ(std::string(f.status.GetPaneText(1)), row.caps ? "CAP" : "");
    EXPECT_EQ(std::string(f.status.GetPaneText(2)), row.num ? "NUM" : "");
    EXPECT_EQ(std::string(f.status.GetPaneText(3)), row.scroll ? "SCRL" : "");
  }
  SetKeyboardState(saved);

  EXPECT_EQ(f.status.GetCount(), 4);
  EXPECT_EQ(f.status.CommandToIndex(ID_INDICATOR_NUM), 2);
  EXPECT_EQ(f.status.GetItemID(3), static_cast<UINT>(ID_INDICATOR_SCRL));
  EXPECT_TRUE(f.status.ShowMessage("Working"));
  EXPECT_EQ(std::string(f.status.GetPaneText(0)), "Working");

  const CRect message = f.status.GetItemRect(0), caps = f.status.GetItemRect(1),
              num = f.status.GetItemRect(2);
  CRect frame = f.frame.GetWindowRect();
  f.frame.SetWindowPos(nullptr, 0, 0, frame.Width() + 100, frame.Height(),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(f.status.GetItemRect(0).Width(), message.Width() + 100);
  EXPECT_EQ(f.status.GetItemRect(1).Width(), caps.Width());
  EXPECT_EQ(f.status.GetItemRect(2).Width(), num.Width());
  EXPECT_EQ(ChildRect(f.status).bottom, f.frame.GetClientRect().bottom);
}

// A pop-up from a menu resource: its items are updated as it opens, and
// the chosen one reaches the owner as a command.
TEST(Menu, APopupGivesTheChosenCommandToItsOwner) {
  CStandInFrame frame;
  ASSERT_TRUE(frame.Create());
  SetForegroundWindow(frame);
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_MENU));
  CMenu popup = menu.GetSubMenu(0);
  ASSERT_NE(popup.GetSafeHmenu(), nullptr);
  EXPECT_EQ(popup.GetMenuItemCount(), 4);
  EXPECT_EQ(popup.GetMenuItemID(2), 0u);
  EXPECT_EQ(std::string(popup.GetMenuString(ID_BRAVO)), "&Bravo");
  EXPECT_EQ(menu.GetSubMenu(5).GetSafeHmenu(), nullptr);

  // Down and Enter choose the first item once the menu is up.
  const UINT_PTR chooser = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND open = FindWindowA("#32768", nullptr);
    PostMessageA(open, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(open, WM_KEYDOWN, VK_RETURN, 0);
  });
  const UINT_PTR closer =
      SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  frame.bravoEnabled = false;
  frame.charlieCheck = 0;
  popup.TrackPopupMenu(TPM_LEFTALIGN, 300, 300, frame);
  KillTimer(nullptr, closer);
  KillTimer(nullptr, chooser);
  FlushEvents(100);
  EXPECT_EQ(frame.commands, std::vector<UINT>{ID_ALPHA});
  EXPECT_TRUE(popup.GetMenuState(ID_BRAVO) & MF_GRAYED) << "updated as it opened";

  EXPECT_EQ(popup.CheckMenuItem(ID_CHARLIE, MF_BYCOMMAND | MF_CHECKED),
            static_cast<UINT>(MF_UNCHECKED));
  EXPECT_TRUE(popup.GetMenuState(ID_CHARLIE) & MF_CHECKED);
  EXPECT_EQ(popup.EnableMenuItem(ID_ALPHA, MF_BYCOMMAND | MF_GRAYED),
            static_cast<UINT>(MF_ENABLED));
  EXPECT_TRUE(popup.GetMenuState(ID_ALPHA) & MF_GRAYED);

  // A borrowed sub-menu outlives its wrapper; the loaded menu goes with its.
  HMENU sub = popup.GetSafeHmenu();
  { CMenu borrowed = menu.GetSubMenu(0); }
  EXPECT_TRUE(IsMenu(sub));
  menu.DestroyMenu();
  EXPECT_FALSE(IsMenu(sub));
}

}  // namespace
