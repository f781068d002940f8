// Helpers of the edit dialog tests: a command's stored bytes (what Edit
// must change exactly where the user edited, and leave alone on Cancel),
// a palette installed as the global one with a live list the test fills,
// keyboard state for Ctrl+click, and the controls of a dialog worked as a
// user works them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "builder/CommandEdit.h"
#include "framework/Archive.h"
#include "framework/Files.h"
#include "script/Commands.h"
#include "script/Palette.h"
#include "tests/support/dialog_hook.h"

namespace lwtest {

// The bytes the document writer stores for the command.
inline std::vector<uint8_t> WrittenBytes(const CSceneCommand& command) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    command.Write(ar);
  }
  const uint8_t* bytes = file.GetBuffer();
  return std::vector<uint8_t>(bytes, bytes + file.GetLength());
}

// A palette whose live list the test fills, installed as the global one
// while it lives.
class CEditTestPalette {
 public:
  CEditTestPalette() : m_previous(g_pCommandPalette) { g_pCommandPalette = &m_palette; }
  ~CEditTestPalette() { g_pCommandPalette = m_previous; }
  CEditTestPalette(const CEditTestPalette&) = delete;
  CEditTestPalette& operator=(const CEditTestPalette&) = delete;

  // Appends the command to the live list, which owns it.
  template <class T>
  T* Add(T* command) {
    m_palette.GetCommands().Add(command);
    return command;
  }

 private:
  CCommandPalette m_palette;
  CCommandPalette* m_previous;
};

// Holds a key down in this thread's keyboard state (as GetKeyState sees
// it) while it lives.
class CHeldKey {
 public:
  explicit CHeldKey(int key) : m_key(key) { Set(0x80); }
  ~CHeldKey() { Set(0); }
  CHeldKey(const CHeldKey&) = delete;
  CHeldKey& operator=(const CHeldKey&) = delete;

 private:
  void Set(BYTE state) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[m_key] = state;
    ::SetKeyboardState(keys);
  }
  int m_key;
};

// ---- the controls of a dialog as a user works them

inline std::string Text(HWND hwnd) {
  char text[512] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}
inline std::string ItemText(CDialog* d, int id) { return Text(d->GetDlgItem(id)); }
inline void SetItemText(CDialog* d, int id, const char* text) { d->SetDlgItemText(id, text); }
// A click as the mouse gives it: the button's state changes, then the
// dialog hears of it.
inline void Click(CDialog* d, int id) { ::SendMessageA(d->GetDlgItem(id), BM_CLICK, 0, 0); }
inline bool Enabled(CDialog* d, int id) { return ::IsWindowEnabled(d->GetDlgItem(id)) != FALSE; }
// Shown by its own style: the dialog hook runs before the dialog shows.
inline bool Visible(CDialog* d, int id) {
  return (::GetWindowLongA(d->GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) != 0;
}
inline bool Checked(CDialog* d, int id) { return d->IsDlgButtonChecked(id) == BST_CHECKED; }
// A mouse click on the upper or lower arrow of a spin: the spin tells its
// dialog which way by its own rule.
inline void ClickSpin(CDialog* d, int id, bool up) {
  const HWND spin = d->GetDlgItem(id);
  RECT r;
  ::GetClientRect(spin, &r);
  const LPARAM at = MAKELPARAM(r.right / 2, up ? 2 : r.bottom - 3);
  ::SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(spin, WM_LBUTTONUP, 0, at);
}
// A combo box's choice as the user makes it: selected, then reported.
inline void Choose(CDialog* d, int id, int index) {
  ::SendMessageA(d->GetDlgItem(id), CB_SETCURSEL, index, 0);
  d->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(d->GetDlgItem(id)));
}

// Runs the command's Edit with the action on every dialog that comes up
// (sub-dialogs too: the action tells them apart by template).
inline INT_PTR RunEdit(CSceneCommand& command, CDialogScript::Action action) {
  CDialogScript script(std::move(action));
  return EditSceneCommand(command, nullptr);
}

// The command's bytes after the same values were set on a copy.
template <class T>
std::vector<uint8_t> ExpectedBytes(const T& command, const std::function<void(T&)>& edit) {
  T copy;
  copy.CopyFrom(command);
  copy.m_disabled = command.m_disabled;
  edit(copy);
  return WrittenBytes(copy);
}

// One command with values that are not the defaults, the action that
// edits some of its fields in its dialogs (a sub-dialog's action ends the
// sub-dialog; the edit dialog is left open), and the same edit made on a
// copy of the command, as the bytes it writes.
struct CEditCase {
  const char* name;
  std::function<CSceneCommand*()> make;
  CDialogScript::Action action;
  std::function<std::vector<uint8_t>(CSceneCommand&)> expected;
};

// Runs the command's Edit with the action on every dialog, then presses
// `button` (OK or Cancel) on the edit dialog, the first that came up.
inline INT_PTR EditThenPress(CSceneCommand& command, const CDialogScript::Action& action,
                             int button) {
  static const CDialogScript::Action* edit;
  static CDialog* first;
  static int press;
  edit = &action;
  first = nullptr;
  press = button;
  return RunEdit(command, [](CDialog* d) {
    if (first == nullptr) first = d;
    (*edit)(d);
    if (d == first) Press(d, press);
  });
}

}  // namespace lwtest
