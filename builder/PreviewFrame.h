// The builder's preview: a full-screen frame whose only pane is the output
// window the scene thread plays the script on, with a small floating
// toolbar to start, step, pause, stop, silence, leave and keep it visible.
// The main frame (and a dialog the preview is opened from) is disabled while
// the preview exists, and given back as it was found.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Bars.h"
#include "framework/FrameWnd.h"
#include "playback/MediaPlayers.h"
#include "playback/PlayOutput.h"

class CCommandListPlay;
class CSceneThread;

// The preview frame's window class, and its title, which also names the
// profile sections of its toolbar's place ("Preview-Bar0").
constexpr char kPreviewWindowClass[] = "SSTESTWND1.0";
constexpr char kPreviewTitle[] = "Preview";

// Opens the preview over the whole screen, its scene threads reading the
// speed value from a copy of *times; posts Go at once when autoStart. False
// when the frame cannot be made (nothing is left behind).
bool OpenPreview(UINT* times, bool autoStart);

// Whether a key ends the preview for a Url command with these keys (-1
// none, 0 Enter, 1 F12, 2 Space, 3 any of them).
bool IsUrlKey(UINT vk, int urlKeys);

// The preview's output window: a view that shows what the scene thread
// drew, kept in its play output's pictures, so that what was drawn shows
// at once and comes back where the window is uncovered. Before anything
// was drawn it shows the background colour.
class CClientTestWnd : public CView {
 public:
  // Makes the colour (drawn with the raster operation) the background and
  // redraws the whole window at once. Called on the window's thread while
  // no scene thread plays on it; a playing run changes the background
  // through GetOutput().
  void Clear(COLORREF colour, DWORD rop);
  COLORREF GetBackColor() const { return m_output.GetBackColour(); }
  // What a scene thread plays on.
  CWindowPlayOutput& GetOutput() { return m_output; }

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnDraw(HDC dc) override;
  bool OnEraseBkgnd(HDC) override { return true; }

 private:
  CWindowPlayOutput m_output;
};

class CPreviewFrame : public CFrameWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  // times: the speed value, copied; null counts as 0.
  explicit CPreviewFrame(const UINT* times);
  ~CPreviewFrame() override;

  // Creates the window over the whole screen (the class must be
  // registered). False when it cannot be made: the frame has deleted
  // itself then.
  bool Open();
  // Keeps the toolbar's place in the profile, gives the main window back
  // (as it was found), then destroys the window. Closing the preview ends
  // here; a window destroyed some other way still stops its run and gives
  // the main window back.
  bool DestroyWindow();

  // The run playing now; null when none.
  CSceneThread* GetSceneThread() const { return m_pThread; }
  CToolBar& GetToolBar() { return m_toolBar; }
  CClientTestWnd* GetOutputView() const { return m_pView; }
  bool IsKeepVisible() const { return m_keepVisible; }

  // Esc leaves; a key of the last Url command leaves and hands its address
  // to the main window; the media players' notifications; then the
  // accelerators.
  bool PreTranslateMessage(MSG* msg) override;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override;
  bool OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
  int OnCreate(CREATESTRUCTA* cs) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  // Plays the palette's live list from its first command on the output
  // window, or lets the run playing now go on; step: one command per Go or
  // Step. False when no run can be started.
  bool StartScene(int step);


 private:
  bool OnGo(UINT id);
  bool OnStep(UINT id);
  bool OnPause(UINT id);
  bool OnStop(UINT id);
  bool OnSound(UINT id);
  bool OnExit(UINT id);
  bool OnKeepVisible(UINT id);
  void OnUpdateWhilePlaying(CCmdUI* ui);
  void OnUpdateKeepVisible(CCmdUI* ui);
  // Called when a run has ended (WM_SCENE_ENDED).
  void OnSceneEnded();

  // Stops the run (forgotten first, so nothing reaches it once it is gone)
  // and deletes it.
  void StopScene();
  // The toolbar floats where the user left it, or at the top right the
  // first time.
  void PlaceToolBar();
  bool IsToolBarShown() const;
  void ShowToolBar(bool show);
  // Puts the floating toolbar back above the frame that owns it when the
  // frame has come over it.
  void RaiseToolBar();
  // Disables the main window, and the window the preview is opened from
  // when that is another one (a dialog over the main window, which could
  // change the script that plays), noting how each was.
  void TakeMainWindow();
  // Gives them back as they were found, once: each enabled again when it
  // was enabled, and the window that was active before active again, in
  // front of the others.
  void GiveBackMainWindow();

  CSceneThread* m_pThread = nullptr;
  CToolBar m_toolBar;
  bool m_keepVisible = false;
  bool m_urlKey = false;  // the user pressed a key of the Url command
  UINT m_times;
  CClientTestWnd* m_pView = nullptr;
  // What the runs play: the palette's live list.
  std::unique_ptr<CCommandListPlay> m_pPlayList;
  // The players of the Play and Stop commands, made with the output view
  // and handed to every run; they outlive the runs and go before the view
  // (videos play in windows of the view). Their devices belong to this
  // thread, and their notifications reach their own windows through this
  // thread's message loop.
  std::unique_ptr<CSceneMediaPlayers> m_mediaPlayers;
  struct CTakenWindow {
    HWND window = nullptr;
    bool wasEnabled = false;
  };
  // The main window and the window the preview was opened from.
  CTakenWindow m_taken[2];
  HWND m_activeBefore = nullptr;
  bool m_mainGivenBack = false;
  // The timer that keeps the toolbar above the frame just after it opens:
  // every kRaiseToolBarMs, kRaiseToolBarTicks times.
  static constexpr UINT_PTR kRaiseToolBarTimer = 1;
  static constexpr UINT kRaiseToolBarMs = 100;
  static constexpr int kRaiseToolBarTicks = 20;
  int m_raiseTicks = 0;
};
