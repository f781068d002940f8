// The saver's windows in this process: whether the desktop asks for a
// password (however the system stored the switch); the password dialog that
// a close opens, which no second close and no input can open again while it
// is up, and which a stored value that cannot be read never opens; and the
// preview with its logo and climbing name, looked at on the screen.
// HKEY_CURRENT_USER is a private key for the whole program, so the
// speed key, the profile and the desktop settings written here reach no
// other program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "playback/SpeedCalibration.h"
#include "runtime/PasswordHash.h"
#include "runtime/PreviewWnd.h"
#include "runtime/SaverApp.h"
#include "runtime/SaverWnd.h"
#include "runtime/resource.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/message_sequence.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

const testing::Environment* const kPrivateUser =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

void SetDesktopValue(DWORD type, const void* data, DWORD size) {
  const lwtest::CRegKeyPath desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop");
  if (data)
    ASSERT_TRUE(desktop.SetValue("ScreenSaveUsePassword", type, data, size));
  else
    desktop.RemoveValue("ScreenSaveUsePassword");
}

TEST(DesktopPassword, TheSwitchReadsAsItsNumberHoweverStored) {
  const DWORD one = 1, zero = 0, two = 2;
  const BYTE shortBinary[2] = {1, 0};
  struct Row {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
    bool asks;
  };
  const Row kRows[] = {
      {"absent", REG_SZ, nullptr, 0, false},
      {"DWORD 1", REG_DWORD, &one, 4, true},
      {"DWORD 0", REG_DWORD, &zero, 4, false},
      {"DWORD 2", REG_DWORD, &two, 4, true},
      {"four binary bytes", REG_BINARY, &one, 4, true},
      {"binary zero", REG_BINARY, &zero, 4, false},
      {"two binary bytes", REG_BINARY, shortBinary, 2, false},
      {"text 1", REG_SZ, "1", 2, true},
      {"text 0", REG_SZ, "0", 2, false},
      {"empty text", REG_SZ, "", 1, false},
      {"text with blanks", REG_SZ, " 1", 3, true},
      {"not a number", REG_SZ, "yes", 4, false},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    SetDesktopValue(r.type, r.data, r.size);
    EXPECT_EQ(DesktopAsksForPassword(), r.asks);
  }
  SetDesktopValue(REG_SZ, nullptr, 0);
}

using lwtest::FlushEvents;
using lwtest::PumpUntil;
using lwtest::Press;

// A saver window over a session of its own and a profile with a stored
// password; the speed value is stored, so that creating the window counts
// nothing.
class SaverWindow : public testing::Test {
 protected:
  void SetUp() override {
    char sysInfo[300];
    CurrentSystemText(sysInfo, sizeof sysInfo);
    CRegistrySpeedStore(HKEY_CURRENT_USER, "Software\\Corvanta\\Screen Saver").Write(sysInfo, 100000);
    app_.SetProfileName("Window test");
    app_.SetRegistryKey("Corvanta\\Screen Saver");
    char stored[kStoredPasswordSize];
    ASSERT_GT(ScramblePassword("open", stored), 0);
    app_.WriteProfileString("Password", "Encrypt", stored);
    ASSERT_TRUE(RegisterSaverWindowClass());
  }
  void TearDown() override {
    SetDesktopValue(REG_SZ, nullptr, 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, app_.GetProfileKey());
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  HWND Create(CSaverWnd& wnd) {
    EXPECT_TRUE(wnd.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSaverWindowClass, "",
                             WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, 0));
    return wnd.GetSafeHwnd();
  }

  lwtest::CRecordedBoxes boxes_;
  // The profile, where the window reads the stored password.
  CWinApp app_{"Halcyra"};
  CSaverSession session_;
};

TEST_F(SaverWindow, ThePasswordDialogCannotBeOpenedTwice) {
  using lwtest::kDefWinProc;
  using lwtest::kPosted;
  using lwtest::kSent;
  using lwtest::kWParam;
  const DWORD on = 1;
  SetDesktopValue(REG_DWORD, &on, 4);
  // Only Escape ends this saver, so that the mouse of the shared screen
  // plays no part.
  session_.rules.standard = false;
  session_.rules.escape = true;
  CSaverWnd wnd(session_);
  const HWND hwnd = Create(wnd);
  ASSERT_NE(hwnd, nullptr);

  // What the saver is sent and in which order, less the activation, focus
  // and painting that come and go with the dialog; each dialog shown is a
  // mark.
  lwtest::CMessageSequence seq;
  seq.Watch(hwnd);
  for (UINT m : {WM_CANCELMODE, WM_ACTIVATE, WM_NCACTIVATE, WM_ACTIVATEAPP, WM_SETFOCUS,
                 WM_KILLFOCUS, WM_IME_SETCONTEXT, WM_IME_NOTIFY, WM_QUERYNEWPALETTE,
                 WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCPAINT, WM_ERASEBKGND, WM_PAINT,
                 WM_SETCURSOR, WM_NCHITTEST, WM_MOUSEMOVE, WM_TIMER})
    seq.Ignore(m);
  lwtest::CDialogScript dialogs;
  bool closedInside = true, inputClosed = true;
  dialogs.SetAction([&](CDialog* d) {
    seq.Add(lwtest::kMark, 0);
    if (dialogs.Opened() > 1) {
      Press(d, IDCANCEL);
      return;
    }
    // A second close and new input while the dialog is up.
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    inputClosed = wnd.CloseOnInput(SaverInput::kEscape);
    ::SendMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
    closedInside = !::IsWindow(hwnd);
    // A close already on its way when the dialog is answered.
    ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    Press(d, IDCANCEL);
  });
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  FlushEvents(300);
  EXPECT_EQ(dialogs.Opened(), 1) << "one close, one dialog";
  EXPECT_FALSE(inputClosed);
  EXPECT_FALSE(closedInside);
  EXPECT_TRUE(::IsWindow(hwnd)) << "cancelled: the saver goes on";
  // The dialog is modal to the saver; the close and the input that come
  // while it is up open no second one, and neither does the close that
  // was on its way when it was answered.
  const lwtest::MessageEntry kCancelled[] = {
      {WM_CLOSE, kSent},
      {WM_ENABLE, kSent | kDefWinProc | kWParam, FALSE},
      {lwtest::kMark, 0},
      {WM_CLOSE, kSent | kDefWinProc},
      {WM_KEYDOWN, kSent | kDefWinProc | kWParam, VK_ESCAPE},
      {WM_LBUTTONDOWN, kSent | kDefWinProc},
      {WM_ENABLE, kSent | kDefWinProc | kWParam, TRUE},
      {WM_CLOSE, kPosted},
  };
  EXPECT_TRUE(seq.Matches(kCancelled, "cancelled"));

  // The right password ends it.
  const int opened = dialogs.Opened();
  dialogs.SetAction([&](CDialog* d) {
    seq.Add(lwtest::kMark, 0);
    d->SetDlgItemText(IDC_PASSWORD, "open");
    Press(d, IDOK);
  });
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  PumpUntil([&] { return !::IsWindow(hwnd); }, 2000);
  EXPECT_EQ(dialogs.Opened() - opened, 1);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(boxes_.texts.size(), 0u);
  // The saver ends only once the dialog has.
  const lwtest::MessageEntry kEnded[] = {
      {WM_CLOSE, kSent},
      {WM_ENABLE, kSent | kDefWinProc | kWParam, FALSE},
      {lwtest::kMark, 0},
      {WM_ENABLE, kSent | kDefWinProc | kWParam, TRUE},
      {WM_DESTROY, kSent | kDefWinProc},
      {WM_NCDESTROY, kSent | kDefWinProc},
  };
  EXPECT_TRUE(seq.Matches(kEnded, "right password"));
}

// A close ends the saver without asking when the desktop does not ask for
// a password, or when the stored value cannot be read (an older saver's
// format, or damaged): no password could ever match such a value.
TEST_F(SaverWindow, NoDialogWithoutTheSwitchOrAReadablePassword) {
  struct Row {
    const char* name;
    const char* desktopSwitch;  // nullptr: absent
    const char* stored;         // nullptr: the readable password
  } rows[] = {
      {"switch absent", nullptr, nullptr},
      {"switch 0", "0", nullptr},
      {"an older saver's format", "1", "4F1C0A9B77"},
      {"damaged", "1", "pbkdf2-sha256$20000$00$00"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetDesktopValue(REG_SZ, r.desktopSwitch, r.desktopSwitch ? 2 : 0);
    if (r.stored) app_.WriteProfileString("Password", "Encrypt", r.stored);
    CSaverWnd wnd(session_);
    const HWND hwnd = Create(wnd);
    lwtest::CDialogScript dialogs([](CDialog* d) { Press(d, IDCANCEL); });
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpUntil([&] { return !::IsWindow(hwnd); }, 2000);
    EXPECT_EQ(dialogs.Opened(), 0);
    EXPECT_FALSE(::IsWindow(hwnd));
  }
}

TEST_F(SaverWindow, TheSwitchStoredAsTextAsksForThePassword) {
  SetDesktopValue(REG_SZ, "1", 2);
  CSaverWnd wnd(session_);
  const HWND hwnd = Create(wnd);
  lwtest::CDialogScript dialogs([](CDialog* d) { Press(d, IDCANCEL); });
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  FlushEvents(200);
  EXPECT_EQ(dialogs.Opened(), 1);
  EXPECT_TRUE(::IsWindow(hwnd));
}

// The preview area of the display settings, played by a window of this test.
class SaverPreview : public testing::Test {
 protected:
  static constexpr int kX = 200, kY = 150, kW = 320, kH = 240;
  void SetUp() override {
    ASSERT_TRUE(RegisterSaverWindowClass());
    ASSERT_NE(host_.Hwnd(), nullptr);
  }
  void TearDown() override {
    host_.Destroy();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  std::vector<COLORREF> Shown() const { return lwtest::ScreenPixels(RECT{kX, kY, kX + kW, kY + kH}); }

  lwtest::CHostWindow host_{kX, kY, kW, kH};
};

TEST_F(SaverPreview, ShowsTheLogoAndTheNameClimbing) {
  CSaverPreviewWnd* preview = new CSaverPreviewWnd("Climbing Name");
  ASSERT_TRUE(preview->CreateEx(0, kSaverWindowClass, "", WS_CHILD | WS_VISIBLE,
                                RECT{0, 0, kW, kH}, host_.Hwnd(), 0));
  const HWND hwnd = preview->GetSafeHwnd();

  // The logo, bitmap 144 of the program, at the top left.
  HBITMAP logo = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO));
  ASSERT_NE(logo, nullptr);
  BITMAP info;
  GetObjectA(logo, sizeof info, &info);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, logo);
  std::vector<COLORREF> expected;
  for (int y = 0; y < info.bmHeight; y += 3)
    for (int x = 0; x < info.bmWidth; x += 3) expected.push_back(GetPixel(memory, x, y));
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(logo);
  int mismatches = -1;
  PumpUntil([&] {
    const std::vector<COLORREF> shown = Shown();
    mismatches = 0;
    size_t i = 0;
    for (int y = 0; y < info.bmHeight; y += 3)
      for (int x = 0; x < info.bmWidth; x += 3)
        if (shown[static_cast<size_t>(y) * kW + x] != expected[i++]) ++mismatches;
    return mismatches == 0;
  }, 10000);
  EXPECT_EQ(mismatches, 0) << "logo pixels that differ";

  // The name in its own colour right of the logo, climbing.
  auto bannerTop = [&]() {
    const std::vector<COLORREF> shown = Shown();
    for (int y = 0; y < kH; ++y)
      for (int x = 97; x < kW; ++x)
        if (shown[static_cast<size_t>(y) * kW + x] == RGB(220, 255, 255)) return y;
    return -1;
  };
  int first = -1, later = -1;
  EXPECT_TRUE(PumpUntil([&] {
    if (first < 0) {
      first = bannerTop();
      return false;
    }
    later = bannerTop();
    if (later >= 0 && later < first) return true;
    first = later;  // not seen yet, or in again from the bottom
    return false;
  }, 15000)) << "the name did not climb: " << first << " then " << later;
  int left = kW;
  const std::vector<COLORREF> shown = Shown();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (shown[static_cast<size_t>(y) * kW + x] == RGB(220, 255, 255) && x < left) left = x;
  EXPECT_GE(left, 97) << "the name stays right of the logo";

  // The area goes: the preview window and its banner thread with it.
  host_.Destroy();
  EXPECT_FALSE(IsWindow(hwnd));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the program ends";
  delete preview;
}

}  // namespace
