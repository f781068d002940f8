// The movie player: CShockwaveFlash, the movie control as the programs use
// it (Movie, Loop, Menu, Play, Stop, TotalFrames, FrameNum); CFlashHostWnd,
// the child window that holds one control; and CFlashPlayerThread, the
// thread that owns a host window and decides when its movie ends. The
// control is our own: it needs no registration, reads the movie whole when
// it is set (CMovie) and plays its frames at the movie's rate by a clock,
// each frame drawn into 32-bit pixels and put on the window in one
// transfer.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "playback/movie/Movie.h"
#include "playback/movie/MovieWaveOut.h"

// What the control tells its host. Each is called on the control's thread;
// the defaults do nothing.
class CFlashEvents {
 public:
  virtual ~CFlashEvents() = default;
  // 4 (complete) once a movie has been read.
  virtual void OnReadyStateChange(long state) {}
  // How much of the movie is read, in percent: 100 once it has been read.
  virtual void OnProgress(long percentDone) {}
  // A frame's FSCommand call, when that frame shows.
  virtual void OnFSCommand(const char* command, const char* args) {}
};

class CShockwaveFlash : public CWnd, private CMovieHost {
 public:
  // The id of the frame timer on the control's window.
  static const UINT_PTR kFrameTimer = 1;
  // The longest a frame's drawing may take before it is cut, in ms.
  static const DWORD kDrawBudgetMs = 250;
  // How often a frame's drawing looks for input waiting, in ms.
  static const DWORD kInputCheckMs = 10;

  bool Create(HWND parent, const RECT& rect, UINT id, DWORD style);
  void SetEventSink(CFlashEvents* sink) { m_sink = sink; }

  // The movie's frames (0 for an empty movie) and the frame showing.
  // Either may be asked from any thread.
  long GetTotalFrames() const { return __atomic_load_n(&m_totalFrames, __ATOMIC_ACQUIRE); }
  long GetFrameNum() const { return __atomic_load_n(&m_frameNum, __ATOMIC_ACQUIRE); }
  // How often a looping movie has gone back to its first frame.
  long GetLoopCount() const { return __atomic_load_n(&m_loops, __ATOMIC_ACQUIRE); }
  // True once the actions of a movie of more than one frame have stopped
  // it on its last frame: it shows that frame from then on (its sprites
  // still play).
  bool HasStoppedOnItsLastFrame() const { return __atomic_load_n(&m_stoppedAtEnd, __ATOMIC_ACQUIRE); }
  BOOL GetLoop() const { return m_loop; }
  BOOL GetMenu() const { return m_menu; }
  bool IsPlaying() const { return m_playing; }
  // How many frames have been drawn (a late tick draws one for many).
  long GetFramesDrawn() const { return m_drawn; }
  const CMovie& GetMovie() const { return m_movie; }
  CMovie& GetMovie() { return m_movie; }

  // True (the default): after its last frame the movie starts again.
  void SetLoop(BOOL loop) { m_loop = loop; }
  // Reads the movie file whole (the file is closed again at once) and
  // shows its first frame, stopped; a file that is missing or holds no
  // frame gives an empty movie.
  void SetMovie(const char* path);
  // The control has no context menu; the flag is kept for the callers.
  void SetMenu(BOOL menu) { m_menu = menu; }
  // Muted: the movie's sounds do not play.
  void SetMute(bool mute) { m_mute = mute; }
  // Frames advance at the movie's rate until Stop (the movie's own stop
  // undone); a movie that does not loop stops playing on its last frame,
  // where its sprites go on.
  void Play();
  void Stop();
  // One frame's time, drawn: while playing, the next frame (the first
  // again after the last when looping); on the last frame of a movie that
  // does not loop, playing stops and a WM_NULL is posted to the window so
  // that the thread's message loop sees the end.
  void AdvanceFrame();
  // The frames due by the clock since Play, caught up with; only the
  // last of them is drawn.
  void CatchUp();
  // Milliseconds between frames at the movie's rate.
  double GetFrameInterval() const;

 protected:
  // Starts (ms > 0) or stops (0) the frame timer. Tests drive frames
  // themselves through AdvanceFrame instead.
  virtual void SetFrameTimer(UINT ms);
  // The clock frames are timed by, in milliseconds.
  virtual DWORD GetClockMs() const { return ::GetTickCount(); }

  int OnCreate(CREATESTRUCTA* cs) override;
  void OnPaint() override;
  bool OnEraseBkgnd(HDC dc) override { return true; }
  void OnSize(UINT type, int cx, int cy) override;
  void OnTimer(UINT_PTR id) override;

 private:
  // CMovieHost
  bool StopDrawing() override;
  void OnCommand(const char* command, const char* args) override;
  bool DrawSystemText(const MovieSystemText& text, uint8_t* coverage) override;
  bool DecodeMp3(const uint8_t* data, uint32_t size, MoviePcm* pcm) override;

  // One frame's time: the movie's step and the end rules; false when the
  // clock is not running.
  bool StepFrame();
  void Published();
  // Draws the frame into the back bitmap (what changed) and puts it on
  // the window: what was drawn, or all of it when whole.
  void DrawFrame(HDC dc, bool whole);
  void ArmTimer();
  void FeedSound();

  CMovie m_movie;
  CFlashEvents* m_sink = nullptr;
  long m_totalFrames = 0;
  long m_frameNum = 0;
  long m_loops = 0;
  bool m_stoppedAtEnd = false;
  BOOL m_loop = TRUE;
  BOOL m_menu = TRUE;
  bool m_playing = false;
  bool m_running = false;  // the clock runs: from Play to Stop
  // The clock: when Play started it, and the frames stepped since.
  DWORD m_clockStart = 0;
  uint64_t m_stepped = 0;
  // The frame drawn at the window's size; drawn again when stale.
  CBitmap m_back;
  uint32_t* m_bits = nullptr;
  SIZE m_backSize = {};
  bool m_stale = true;
  DWORD m_drawStart = 0;
  DWORD m_inputChecked = 0;  // when the drawing last looked for input
  bool m_inputCut = false;
  long m_drawn = 0;
  CMovieWaveOut m_sound;
  bool m_mute = false;
};

class CFlashHostWnd : public CWnd, public CFlashEvents {
 public:
  // The timer that ends a timed movie, and the thread message it posts.
  static const UINT_PTR kTimeoutTimer = 54321;
  static const UINT kTimeoutMessage = 0x5375;

  // Creates the host in the parent and the control in it, both disabled
  // (unless takesInput); false when either cannot be made, and then no
  // window is left.
  bool Create(const RECT& rect, HWND parent, int timeoutMs, bool takesInput = false);
  // Sets the movie and the loop flag, plays, and starts the time-out.
  void PlayMovie(const char* path, int loop);

  DWORD m_threadId = 0;
  CShockwaveFlash m_flash;
  int m_timeoutMs = 0;
  bool m_mute = false;  // set before PlayMovie

 protected:
  void OnTimer(UINT_PTR id) override;
};

// A movie played in a thread of its own, on a host window over the parent.
//
// Ownership: the object belongs to whoever made it (the play context), not
// to the framework (auto-delete is off). The owner ends the movie with End
// (from any thread, any number of times) and deletes the object; deleting
// ends the movie and joins the thread first, answering messages sent to
// the deleting thread meanwhile, so the owner may delete it right away.
// An owner that will not wait for a thread that does not end releases the
// object instead: the thread then deletes it when it ends. The movie file
// is deleted when the thread ends (after its window is gone), whether the
// movie looped or not, and also when the thread could not start. End
// resets the running event once; the event is never touched again by this
// object, so the owner may hand it to the next movie at once.
class CFlashPlayerThread : public CWinThread {
 public:
  // timeoutMs: -1 for none. The creator fills in the rectangle, the loop
  // flag, the movie path and the wait flag, then calls Start.
  CFlashPlayerThread(HWND parent, HANDLE runningEvent, int timeoutMs);
  ~CFlashPlayerThread() override;

  // Sets the running event and starts the thread at the priority; false
  // (with the event reset and the file deleted) when it cannot start.
  bool Start(int priority = THREAD_PRIORITY_NORMAL);
  // Waits up to ms for the thread to end, answering messages sent to this
  // thread's windows; true when it has ended (or never started, or this is
  // that thread, at its very end).
  bool Join(DWORD ms);
  // Gives the object to its thread, which deletes it when it ends and then
  // posts WM_CLOSE to closeAtEnd (null: none); at once when the thread has
  // ended already. Call after End, once; the object is not touched after.
  void Release(HWND closeAtEnd);
  // Deletes the movie file, unless it is gone already (any thread).
  void DeleteMovieFile();

  bool InitInstance() override;
  int ExitInstance() override;
  // Each message of the thread is checked against the end rules.
  bool PreTranslateMessage(MSG* msg) override;
  void OnThreadMessage(const MSG& msg) override;
  // Ends the movie once: posts WM_QUIT to the thread (which then destroys
  // its window and deletes the file) and resets the running event.
  void End();
  // Last on the thread: deletes a released object.
  void Delete() override;

  RECT m_rect = {};
  char m_moviePath[MAX_PATH] = "";
  int m_loop = 0;
  int m_wait = 0;
  int m_ended = 0;
  int m_timed = 0;
  int m_timeoutMs = -1;
  HWND m_parent = nullptr;
  HANDLE m_running = nullptr;
  CFlashHostWnd m_host;
  // Nonzero: the host and the control take mouse and keyboard input.
  int m_takesInput = 0;
  // Nonzero: the movie's sounds do not play (the saver's mute).
  int m_mute = 0;

 private:
  // Who deletes the object: its owner, or its thread once released.
  enum HandOver { kOwned, kReleased, kThreadEnded };

  void CheckEnd(UINT message);
  void CloseAndDelete();

  bool m_comInitialised = false;
  int m_fileDeleted = 0;
  int m_handOver = kOwned;
  HWND m_closeAtEnd = nullptr;
};

// True when the movie control can be used (ours always can).
bool IsFlashControlInstalled();
