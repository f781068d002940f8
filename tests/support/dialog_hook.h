// Answers the framework's modal dialogs as a user would: while a
// CDialogScript lives, every dialog that comes up runs its action (set
// fields, click, press OK) right after OnInitDialog. A dialog the action
// leaves open is ended with kLeftOpen, so DoModal never waits on a dialog
// that nobody answers, and a test can assert that a dialog came up.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Dialog.h"

namespace lwtest {

class CDialogScript {
 public:
  using Action = std::function<void(CDialog*)>;

  // What DoModal returns for a dialog the action did not end.
  static constexpr INT_PTR kLeftOpen = 0x4C4F;

  // No action: each dialog only comes up and is ended with kLeftOpen.
  explicit CDialogScript(Action action = nullptr);
  ~CDialogScript();
  CDialogScript(const CDialogScript&) = delete;
  CDialogScript& operator=(const CDialogScript&) = delete;

  // The action for the dialogs that come up from now on.
  void SetAction(Action action) { m_action = std::move(action); }
  // How many dialogs came up so far.
  int Opened() const { return m_opened; }

 private:
  static void OnInitDialog(CDialog* dialog, void* self);
  static void CALLBACK OnLeftOpen(HWND hwnd, UINT, UINT_PTR id, DWORD);

  Action m_action;
  int m_opened = 0;
};

// A window of the thread, outside any dialog, that takes the keys that
// reach it before they are dispatched, as a frame takes its accelerators:
// what a modal loop's message filtering should hand it.
class CKeyTakingWindow : public CWnd {
 public:
  CKeyTakingWindow();
  ~CKeyTakingWindow() override;
  bool PreTranslateMessage(MSG* msg) override;

  std::vector<WPARAM> taken;  // the keys taken, in order
  int dispatched = 0;         // the keys that reached its procedure instead

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Presses a dialog's button as a click would tell the dialog.
void Press(CDialog* dialog, int id);

// The control that has the focus, by id, with its text's length and the
// selection in it (an edit's; 0, 0 for other controls).
struct CFocusState {
  int id = 0;
  int length = 0;
  DWORD selStart = 0, selEnd = 0;
  // The whole text is selected (so that typing replaces it).
  bool WholeTextSelected() const {
    return selStart == 0 && selEnd == static_cast<DWORD>(length);
  }
};
CFocusState FocusState();

}  // namespace lwtest
