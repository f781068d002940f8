// Control bars: windows that a frame lays out along its edges (a toolbar,
// a status bar) or that float in a small frame of their own. A frame keeps
// its bars in the order they were added; its layout offers them its client
// area from the outside in, each taking a strip off one side, and the
// frame's view (or splitter) gets what is left. At idle the frame asks
// each visible bar to update its items from the frame's command route.
//
// The frame side lives in the frame (FrameWnd.*); the bars themselves
// (toolbar, status bar, floating) in Bars.*.
#pragma once

#include <windows.h>

#include "framework/CmdTarget.h"
#include "framework/Geometry.h"

class CFrameWnd;
class CWinApp;

// Messages from a bar to the frame it belongs to.
// Shows a message in the frame's status line: wParam a string id (its text
// before the '\n'), or lParam the text itself.
#define WM_SETMESSAGESTRING 0x0362
// The bar docked, floated, or was shown or hidden: the frame lays out its
// bars again.
#define WM_RECALCPARENT 0x0368

class CControlBar : public CCmdWnd {
 public:
  enum Side { kTop, kBottom, kLeft, kRight };

  // The frame's layout: a docked, visible bar takes its strip off the given
  // side of `remaining` (the part of the frame's client area no earlier bar
  // took) and moves itself there. A hidden or floating bar takes nothing.
  virtual void Layout(CRect& remaining) = 0;
  // Called by the frame when the thread is idle: the bar's items take the
  // state their update-UI handlers (or handlers) along the frame's route give.
  virtual void UpdateItems(CFrameWnd* frame) {}
  // A status line shows a fly-by prompt or an idle message here; bars that
  // have no message pane answer false.
  virtual bool ShowMessage(const char* text) { return false; }
  // The bar's place and visibility kept in the profile under `section`, and
  // put back from there (a floating bar floats where it was left).
  virtual void SaveState(CWinApp* app, const char* section) const {}
  virtual void LoadState(CWinApp* app, const char* section) {}

  Side GetSide() const { return m_side; }
  void SetSide(Side side) { m_side = side; }
  virtual bool IsFloating() const { return false; }
  // The command id that shows and hides the bar from the View menu (0: none).
  UINT GetBarId() const { return m_barId; }
  void SetBarId(UINT id) { m_barId = id; }

 protected:
  Side m_side = kTop;
  UINT m_barId = 0;
};
