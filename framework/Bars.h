// The control bars: a toolbar and a status bar, each the common control
// itself under an object of ours (subclassed), laid out by their frame
// along its edges (ControlBar.h).
//
// CToolBar takes its buttons from a toolbar resource (CommandIds.h), its
// pictures from image lists, its tooltips from the string table (the text
// after the '\n' of the string whose id is the command id) and shows the
// prompt of the button under the mouse in the frame's status line (the
// frame's WM_SETMESSAGESTRING). At idle its buttons take the state that
// the frame's command route gives them. It docks on any side of its frame
// or floats in a small tool window of its own, and keeps its place in the
// profile. Its clicked buttons and its notifications (TBN_DROPDOWN...) go
// to the frame wherever the bar is, so the frame's command table takes
// them: NotifyEntry(AFX_IDW_TOOLBAR, TBN_DROPDOWN, ...).
//
// CStatusBar shows a stretching message pane (fly-by prompts and the idle
// message) and indicator panes; the key indicators (CAP, NUM, SCRL) show
// their text while the key is toggled on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/CommandIds.h"
#include "framework/ControlBar.h"
#include "framework/Strings.h"

class CImageList;
class CFloatingBarFrame;

// Bar styles: the low word of the style a bar is created with (the high
// word holds the window styles). The side a bar docks on at first, and
// what it does for the user.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM;
// Tooltips over the buttons.
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
// The prompt of the button under the mouse in the frame's status line.
constexpr DWORD CBRS_FLYBY = 0x0020;

// What CToolBar::CalcDynamicLayout is asked for.
constexpr DWORD LM_HORZ = 0x02;      // one row
constexpr DWORD LM_MRUWIDTH = 0x04;  // floating: the row it last had
constexpr DWORD LM_HORZDOCK = 0x08;  // docked at the top or bottom
constexpr DWORD LM_VERTDOCK = 0x10;  // docked on the left or right: one column
constexpr DWORD LM_COMMIT = 0x40;    // the bar takes this layout (else only measured)

class CToolBar : public CControlBar {
 public:
  CToolBar();
  ~CToolBar() override;

  // Creates the toolbar control in the frame `parent`: ctrlStyle holds the
  // control's TBSTYLE_ styles (TBSTYLE_FLAT...), style the window styles
  // (WS_CHILD | WS_VISIBLE) and the bar styles (CBRS_TOP, CBRS_TOOLTIPS,
  // CBRS_FLYBY...). The frame lays the bar out and routes its commands.
  bool CreateEx(CCmdWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
  bool Create(CCmdWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT id = AFX_IDW_TOOLBAR) {
    return CreateEx(parent, 0, style, id);
  }

  // The buttons of the toolbar resource (RT_TOOLBAR, CommandIds.h): its image
  // size, one button per item in order (separators for 0), the images
  // numbered along the buttons. A bitmap resource of the same id, when
  // there is one, gives the images. False for a missing or damaged
  // resource (the buttons stay as they were).
  bool LoadToolBar(UINT resourceId);
  // Replaces the buttons: one per id, a separator for ID_SEPARATOR.
  bool SetButtons(const UINT* ids, int count);
  // Button and image sizes (a button is at least 7 x 6 larger).
  void SetSizes(CSize button, CSize image);
  // Appends the images of a bitmap resource of `count` images of the bar's
  // image size; returns the index of the first, or -1.
  int AddBitmap(UINT resourceId, int count);

  // Image lists for the buttons: normal, disabled and under the mouse. The
  // lists stay the caller's and must outlive the bar; the bar's button and
  // image sizes follow the normal list's image size.
  void SetImageList(CImageList* list);
  void SetDisabledImageList(CImageList* list);
  void SetHotImageList(CImageList* list);

  // The control's TBSTYLE_ and TBSTYLE_EX_ styles.
  DWORD GetToolBarStyle() const;
  void SetToolBarStyle(DWORD style);
  DWORD GetExtendedStyle() const;
  DWORD SetExtendedStyle(DWORD exStyle);  // returns the previous

  // Buttons, by their place in the bar (separators count).
  int GetCount() const;
  // -1 when no button has the id.
  int CommandToIndex(UINT id) const;
  UINT GetItemID(int index) const;
  // In the bar's client coordinates.
  CRect GetItemRect(int index) const;
  // TBSTYLE_ (BTNS_) styles: TBSTYLE_DROPDOWN, TBSTYLE_CHECK...
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
  void SetButtonInfo(int index, UINT id, UINT style, int image);

  // The CBRS_ styles; tooltips and fly-by prompts may come and go at any
  // time.
  DWORD GetBarStyle() const { return m_barStyle; }
  void SetBarStyle(DWORD style);
  // The sides (CBRS_ALIGN_*) the user may dock the bar on; any of them
  // also lets the user float it (a double click or a drag on the bar's
  // background) and dock it again (a double click on the floating
  // caption, or a drag of the floating bar onto an edge of the frame).
  void EnableDocking(DWORD sides) { m_dockSides = sides & CBRS_ALIGN_ANY; }

  // Docks the bar on that side of its frame.
  void Dock(Side side);
  // Floats the bar in its own small frame, whose top left corner goes to
  // the screen point (kept on a screen).
  void Float(CPoint screen);
  bool IsFloating() const override { return m_floating; }
  // The small frame while the bar floats; null when docked.
  HWND GetFloatingFrame() const;

  void Layout(CRect& remaining) override;
  void UpdateItems(CFrameWnd* frame) override;
  // Values "BarID", "Visible", "Side", "Floating", and "X" and "Y" (the
  // floating frame's screen position) in the section.
  void SaveState(CWinApp* app, const char* section) const override;
  // Puts back what SaveState kept; a section without "BarID" leaves the
  // bar as it is.
  void LoadState(CWinApp* app, const char* section) override;

  // The bar's size for a layout (LM_*): one row for LM_HORZ and
  // LM_HORZDOCK, one column for LM_VERTDOCK. With LM_COMMIT the buttons
  // take that arrangement; otherwise it is only measured. `length` is the
  // length asked for, -1 for the natural one.
  virtual CSize CalcDynamicLayout(int length, DWORD mode);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class CFloatingBarFrame;

  // The frame's status line shows the prompt of command id (0: the idle
  // message).
  void ShowFlyBy(UINT id);
  // Called on a tooltip's request for the text of a button.
  bool OnGetTipText(NMHDR* hdr);
  void OnMouseMoveOverBar(CPoint pt);
  // Called when the bar is shown or hidden: a floating frame goes with it.
  void OnShowBar(bool shown);
  // Called when the bar moved or was shown or hidden: the frame lays out.
  void OnWindowPosChanged(const WINDOWPOS* pos);
  // Called when the user ends a move of the floating frame: over an edge
  // of the frame the bar docks there.
  void OnFloatingMoved();
  // Called when the user double-clicks the floating caption.
  void DockAgain();
  bool CanDock(Side side) const;
  void RecalcFrame() const;
  // The button under the client point, or -1 (also for separators).
  int HitButton(CPoint pt) const;

  CCmdWnd* m_owner = nullptr;
  DWORD m_barStyle = 0;
  DWORD m_dockSides = 0;
  bool m_floating = false;
  Side m_lastDockSide = kTop;
  CFloatingBarFrame* m_floatFrame = nullptr;
  UINT m_flyById = 0;
  // A press on the bar's background that may start a drag out of the dock.
  bool m_dragArmed = false;
  CPoint m_dragFrom;
  // The texts handed to a tooltip live until the next request.
  CString m_tipText;
  wchar_t m_tipTextW[256] = {};
};

class CStatusBar : public CControlBar {
 public:
  CStatusBar();
  ~CStatusBar() override;

  // Creates the status bar control in the frame `parent`; ctrlStyle holds
  // the control's SBARS_ styles (a size grip comes with a frame that can be
  // resized).
  bool CreateEx(CCmdWnd* parent, DWORD ctrlStyle = 0,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
  bool Create(CCmdWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT id = AFX_IDW_STATUS_BAR) {
    return CreateEx(parent, 0, style, id);
  }

  // The panes, left to right: ID_SEPARATOR for the message pane (which
  // stretches), else the id of a string (an indicator, as wide as that
  // text). The key indicators ID_INDICATOR_CAPS, _NUM and _SCRL show their
  // string while the key is toggled on; other panes show theirs, unless an
  // update-UI handler says otherwise. False when a pane's string is
  // missing (the panes are set all the same, that one empty).
  bool SetIndicators(const UINT* ids, int count);
  int GetCount() const { return m_count; }
  UINT GetItemID(int index) const;
  // -1 when no pane has the id.
  int CommandToIndex(UINT id) const;
  bool SetPaneText(int index, const char* text);
  CString GetPaneText(int index) const;
  CRect GetItemRect(int index) const;

  void Layout(CRect& remaining) override;
  void UpdateItems(CFrameWnd* frame) override;
  // The message pane (the first pane, when it is ID_SEPARATOR) shows the
  // text.
  bool ShowMessage(const char* text) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  struct Pane {
    UINT id = 0;
    CString text;   // the indicator's string
    int width = 0;  // pixels; the message pane stretches
    bool shown = true;
  };
  friend class CPaneCmdUI;

  // Gives each pane its part of the bar's width.
  void UpdateParts();
  void ShowPane(int index, bool shown);

  CCmdWnd* m_owner = nullptr;
  std::unique_ptr<Pane[]> m_panes;
  int m_count = 0;
  int m_height = 0;  // the control's own height
};
