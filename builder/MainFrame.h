// CMainFrame, the builder's only top-level window: the command tree and the
// script list side by side in a static splitter, the 48 x 48 toolbar with
// the wizard drop-down, the status bar, and "Always On Top" in the window
// menu. It routes the editing commands to the two panes whichever of them
// is active, runs the tools, takes the private messages of
// builder/controls/BuilderMessages.h, and keeps its place, its panes and its bars in the
// profile from one start to the next.
#pragma once

#include "framework/Bars.h"
#include "framework/FrameWnd.h"
#include "framework/ImageList.h"
#include "framework/Splitter.h"

class CCommView;
class CSceneView;

// The profile values of the frame (section "Settings").
extern const char kWindowPlaceEntry[];  // "WindowPlace"
extern const char kWindowShowEntry[];   // "WindowShow"
extern const char kSplitterEntry[];     // "Splitter"
// The left pane's width when the profile has none.
constexpr int kDefaultTreeWidth = 151;

// The support address and the homepage of the Help menu.
extern const char kSupportAddress[];
extern const char kHomepage[];

// Parses "x,y,width,height" into the four values, as far as the text
// holds numbers; returns how many it set.
int ParseWindowPlace(const char* text, int values[4]);
// A stored place whose caption lies on no present monitor (one that has
// gone, a screen made smaller) is moved onto the nearest monitor's work
// area, its size kept as far as it fits; a place the user can reach stays.
void KeepPlaceOnScreen(CREATESTRUCTA& cs);

// The Start window opens at start: "StartDlg" is 0 and the command line
// does not name one file.
bool IsStartWindowDue();

// Called when a pane gets WM_CONTEXTMENU (lp): opens that pane's sub-menu
// of the context menus at the point, or at the pane's (5, 5) for the
// keyboard's menu key. The frame the pane sits in takes the command.
void TrackPaneContextMenu(HWND pane, LPARAM lp, int subMenu);

class CMainFrame : public CFrameWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CMainFrame();
  ~CMainFrame() override;

  // The panes: the tree (0, 0) and the script (0, 1).
  CCommView* GetCommView() const;
  CSceneView* GetSceneView() const;
  CSplitterWnd& GetSplitterWnd() { return m_wndSplitter; }
  CToolBar& GetToolBar() { return m_wndToolBar; }
  CStatusBar& GetStatusBar() { return m_wndStatusBar; }

  // "<document title> - Lumenweave", "Untitled" for a document without one.
  void OnUpdateFrameTitle(bool addToTitle) override;
  // Tab moves between the panes; Ctrl+Shift+= exports the script's text.
  bool PreTranslateMessage(MSG* msg) override;

 protected:
  // Registers the window class and places the window where it was left.
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  bool OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  // Keeps the window's place, the splitter and the bars in the profile and
  // saves the options before the framework's close.
  void OnClose() override;
  void OnSysCommand(UINT id, LPARAM lp) override;
  void OnDropFiles(HDROP drop) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  bool OnMakeScr(UINT id);
  bool OnMakeInstall(UINT id);
  bool OnSetDefaultSaver(UINT id);
  // Cut, Copy and Paste of commands.
  bool OnClipboard(UINT id);
  bool OnDelete(UINT id);
  bool OnSelectAll(UINT id);
  bool OnActivation(UINT id);
  bool OnActivateAll(UINT id);
  bool OnOptions(UINT id);
  bool OnPreview(UINT id);
  bool OnRefresh(UINT id);
  bool OnCurrent(UINT id);
  bool OnAddOrInsert(UINT id);
  bool OnStandardWizard(UINT id);
  bool OnStartWindow(UINT id);
  bool OnInstallForScr(UINT id);
  bool OnOneStepWizard(UINT id);
  bool OnFlashToScr(UINT id);
  bool OnDirectFlash(UINT id);
  bool OnFlashPresentation(UINT id);
  bool OnLastWizard(UINT id);
  bool OnSupport(UINT id);
  bool OnHomepage(UINT id);
  bool OnWizardDropDown(NMHDR* hdr, LRESULT* result);
  void OnUpdateNotEmpty(CCmdUI* ui);
  void OnUpdateSelection(CCmdUI* ui);
  void OnUpdatePaste(CCmdUI* ui);
  void OnUpdateTypeSelected(CCmdUI* ui);
  void OnUpdateInsert(CCmdUI* ui);

 private:
  bool CreateToolBar();
  bool CreateStatusBar();
  void AddAlwaysOnTopItem();
  void SaveWindowState();

  CSplitterWnd m_wndSplitter;
  CToolBar m_wndToolBar;
  CStatusBar m_wndStatusBar;
  CImageList m_toolbarImages;
  CImageList m_toolbarDisabledImages;
};
