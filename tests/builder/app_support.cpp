// The shared part of the builder's tests in this process (see
// app_support.h).
#include "tests/builder/app_support.h"

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

}  // namespace

lwtest::CRegKeyPath Settings() {
  return lwtest::CRegKeyPath(HKEY_CURRENT_USER, std::string(kProfileKey) + "\\Settings");
}

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

// Runs open, which should put up a pop-up menu, and looks at that menu.
CSeenMenu SeeMenu(const std::function<void()>& open, int choose) {
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
