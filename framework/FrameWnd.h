// CFrameWnd: a top-level window that holds a document's views (directly or
// in a splitter) and its control bars. It loads its menu, accelerators,
// icon and title from one resource id, routes the commands of its menu,
// accelerators and bars along its command route (the active view, its
// document, the frame, the application), lays out its bars and its pane on
// every size change, shows fly-by prompts and the idle message in the bar
// that takes messages, and runs the close protocol: the document's save
// question first, then the frame's end, which ends the application when
// the frame is its main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/CmdTarget.h"
#include "framework/Collections.h"
#include "framework/CommandIds.h"
#include "framework/ControlBar.h"
#include "framework/DocView.h"
#include "framework/Strings.h"

class CControlBar;
class CSplitterWnd;

class CFrameWnd : public CCmdWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // Creates the frame with the menu, accelerator table and icon of
  // resourceId, and the title that is the text of string resourceId before
  // its first '\n'. On failure a frame that deletes itself is gone.
  virtual bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW,
                         HWND parent = nullptr, CCreateContext* context = nullptr);

  // The view that commands reach first, and its document.
  CView* GetActiveView() const { return m_pActiveView; }
  // Makes view the active view (null: none): the old and new views hear of
  // it, the command route follows, and the view takes the focus when the
  // frame is active.
  virtual void SetActiveView(CView* view, bool notify = true);
  virtual CDocument* GetActiveDocument();
  // A view of the context's view class with the given child id.
  CView* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  // Called when the frame shows a new or opened document: an active view
  // is chosen when there is none, every view of the frame has its
  // OnInitialUpdate, and the frame is shown (makeVisible) and titled.
  void InitialUpdateFrame(CDocument* doc, bool makeVisible);
  // Shows the frame: cmdShow -1 takes the application's show command the
  // first time the main frame is shown, else shows or restores it. It comes
  // to the front, unless a modal window of its own holds it disabled: then
  // that window does.
  virtual void ActivateFrame(int cmdShow = -1);

  // The frame's own title (the application's name).
  const CString& GetTitle() const { return m_strTitle; }
  void SetTitle(const char* title) { m_strTitle = title; }
  // Sets the window text from the active document's title and the frame's.
  virtual void OnUpdateFrameTitle(bool addToTitle);
  // "docName - title", or the title alone for null.
  void UpdateFrameTitleForDocument(const char* docName);
  // OnUpdateFrameTitle with the frame's add-to-title setting.
  void UpdateFrameTitle() { OnUpdateFrameTitle(m_bAddToTitle); }

  // Control bars, laid out in the order they were added (ControlBar.h).
  void AddControlBar(CControlBar* bar);
  void RemoveControlBar(CControlBar* bar);
  int GetControlBarCount() const { return m_bars.GetSize(); }
  CControlBar* GetControlBar(int index) const {
    return static_cast<CControlBar*>(m_bars.GetAt(index));
  }
  // The bar whose View-menu id (GetBarId) is barId; null when none.
  CControlBar* FindControlBar(UINT barId) const;
  // Shows or hides the bar and lays the frame out again (with delay, at
  // the next idle time).
  void ShowControlBar(CControlBar* bar, bool show, bool delay = false);
  // Gives each docked, visible bar its strip of the client area, and the
  // pane (the child with id AFX_IDW_PANE_FIRST) what is left.
  virtual void RecalcLayout(bool notify = true);
  // Each bar's state in the profile, in the section "<profileName>-Bar<n>"
  // (n: the bar's place in the frame's list).
  void SaveBarState(const char* profileName) const;
  void LoadBarState(const char* profileName);

  // Shows the text in the first bar that takes messages.
  void SetMessageText(const char* text);
  void SetMessageText(UINT id);
  // The prompt of a command: the text of its string before the '\n'.
  virtual void GetMessageString(UINT id, CString& out) const;

  // Called when the thread is idle: the visible bars take the state of
  // their items from the command route.
  virtual void OnIdleUpdateCmdUI();

  void DragAcceptFiles(bool accept = true) { ::DragAcceptFiles(m_hWnd, accept); }
  HACCEL GetAccelerators() const { return m_hAccelTable; }
  const CCommandRoute& GetCommandRoute() const { return m_route; }
  // The splitter that holds the active view, else the frame's pane when it
  // is a splitter; null when none.
  CSplitterWnd* GetSplitter() const;

  // Translates the keys of the frame's accelerator table into commands.
  bool PreTranslateMessage(MSG* msg) override;

  // Deleted when its window is gone.
  bool m_bAutoDelete = true;
  // The document's title goes into the window text.
  bool m_bAddToTitle = true;

 protected:
  // Called before the window is created: class, styles, place. The default
  // registers a class with the frame's icon, clips the children and gives
  // the client area a sunken edge.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // Creates what fills the client area; the default makes one view of the
  // context's view class. False fails the frame's creation.
  virtual bool OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context);
  // Opens the first dropped file through the application.
  virtual void OnDropFiles(HDROP drop);
  // Called on WM_MENUSELECT: the prompt of the item, or the idle message
  // when the menu closes.
  virtual void OnMenuSelect(UINT item, UINT flags, HMENU menu);

  int OnCreate(CREATESTRUCTA* cs) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;
  void PostNcDestroy() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  bool OnBarCheck(UINT id);
  void OnUpdateBarCheck(CCmdUI* ui);
  bool OnNextPane(UINT id);
  void OnUpdateNextPane(CCmdUI* ui);

  CCommandRoute m_route;
  CString m_strTitle;
  HACCEL m_hAccelTable = nullptr;
  UINT m_nIDResource = 0;

 private:
  friend class CView;
  friend class CDocument;
  // The route follows the active view and its document.
  void SyncRoute();
  // Called by a view whose window is going.
  void OnViewDestroyed(CView* view);

  CView* m_pActiveView = nullptr;
  CPtrArray m_bars;
  // Set while LoadFrame runs: the context, and whether the window was bound.
  CCreateContext* m_pCreating = nullptr;
  bool* m_pBound = nullptr;
  bool m_bInRecalc = false;
  bool m_bLayoutPending = false;  // a delayed ShowControlBar waits for idle
};

// The nearest frame among the window's parents; null when none.
CFrameWnd* GetParentFrameOf(HWND wnd);
