// CSceneMediaPlayers: the media players that the Play and Stop commands of
// a run drive, by media kind: wave sounds (PlaySound from memory), MP3
// (CMP3Player), videos (CMciPlayerWnd, or CMciVideoWnd while the run
// waits), movies (CFlashPlayerThread) and MIDI (CTempFileMedia).
//
// Threads: the object is made on the thread of the output window (the
// user-interface thread), which owns every MCI device and video window.
// The scene thread reaches them only by sending to the players' hidden
// owner window, whose thread must therefore keep answering messages (its
// message loop, or a wait that answers sent messages such as
// CSceneThread::Stop's). MCI notifications come back to that window too,
// dispatched by that thread's loop: an owner that also looks at
// MM_MCINOTIFY in its loop must not hand them on to OnMciNotify again.
// A run that waits for a video or a MIDI sequence waits in a loop that
// answers its own thread's messages, until the end or the stop event.
#pragma once

#include <windows.h>

#include "framework/Strings.h"
#include "framework/Sync.h"
#include "playback/MciPlayers.h"
#include "playback/mp3/Mp3Player.h"
#include "playback/PlayOutput.h"

class CFlashPlayerThread;

class CSceneMediaPlayers : public CMediaPlayers {
 public:
  // output: the window videos and movies show in (null: the players
  // cannot show them). Call on that window's thread.
  explicit CSceneMediaPlayers(HWND output);
  ~CSceneMediaPlayers() override;
  CSceneMediaPlayers(const CSceneMediaPlayers&) = delete;
  CSceneMediaPlayers& operator=(const CSceneMediaPlayers&) = delete;

  // From any thread (the scene thread). stopEvent ends a wait early.
  bool Play(CMediaObject& media, int wait, int endless, const RECT& place, int timerMs,
            HANDLE stopEvent) override;
  void Stop(CMediaObject& media) override;
  // Ends every sound first, then the MP3, the MIDI sequence, the videos and
  // the movie; deletes their temporary files.
  void StopAll() override;

  // Muted: wave and MP3 sounds do not play and a waited video plays
  // without sound; MIDI still sounds.
  void SetMuted(bool muted) { m_muted = muted; }
  // Video open and play failures are shown as library messages.
  void SetReportErrors(bool report) { m_reportErrors = report; }
  // Movies take the mouse and the keyboard (a test run's); otherwise their
  // windows are disabled and input reaches the output.
  void SetMoviesTakeInput(bool takes) { m_moviesTakeInput = takes; }
  // No pointer shows over the videos: the player window shows this blank
  // cursor over an open clip, and a waited video hides the pointer while
  // its window exists. Null (the default) leaves the pointer alone.
  void SetBlankCursor(HCURSOR blank) { m_blankCursor = blank; }

  // The hidden window on the owner thread that the MCI notifications reach
  // (null when it could not be made).
  HWND GetOwnerWindow() const { return m_owner.GetSafeHwnd(); }
  // An MM_MCINOTIFY of these players' MIDI device (the owner window hands
  // on its own; a window that was given them may too). Owner thread only.
  void OnMciNotify(WPARAM code, LPARAM device);

  // For tests: the players as they are now (owner thread).
  CTempFileMedia& GetMidi() { return m_midi; }
  CMciPlayerWnd* GetPlayerWindow() const { return m_playerWnd; }
  CMP3Player& GetMp3() { return m_mp3; }
  CFlashPlayerThread* GetMovie() const { return m_movie; }
  const CString& GetMoviePath() const { return m_moviePath; }

 protected:
  // Makes the player of a new movie (which these players then own). Tests
  // make their own.
  virtual CFlashPlayerThread* NewMovie(HWND parent, HANDLE runningEvent, int timeoutMs);
  // Called on the playing thread once a new movie is the one playing: a
  // stop from another thread may come at any moment from then on.
  virtual void OnMoviePublished() {}

 private:
  class COwnerWnd : public CWnd {
   public:
    explicit COwnerWnd(CSceneMediaPlayers& players) : m_players(players) {}

   protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

   private:
    CSceneMediaPlayers& m_players;
  };
  typedef LRESULT (*Call)(CSceneMediaPlayers& self, void* arg);
  // Runs the call on the owner thread.
  LRESULT OnOwner(Call call, void* arg);

  bool PlayVideo(const uint8_t* data, uint32_t size, int wait, int endless, const RECT& place,
                 HANDLE stopEvent);
  bool PlayMidi(const uint8_t* data, uint32_t size, int wait, int endless, HANDLE stopEvent);
  bool PlayMovie(const uint8_t* data, uint32_t size, int wait, int endless, const RECT& place,
                 int timerMs, HANDLE stopEvent);
  // Owner thread: the player window's clip stopped, closed and its file
  // deleted; with destroy the window and its object go too.
  void StopPlayerWindow(bool destroy);
  void StopVideoWindow();
  // The window a movie plays in, at its place in the output (owner
  // thread's); null when it cannot be made.
  HWND MakeMovieFrame(const RECT& place);
  void DestroyMovieFrame(HWND frame);
  void EndMovie();

  COwnerWnd m_owner;
  DWORD m_ownerThread;
  HWND m_output;
  bool m_muted = false;
  bool m_reportErrors = false;
  bool m_moviesTakeInput = false;
  HCURSOR m_blankCursor = nullptr;
  CMP3Player m_mp3;
  CTempFileMedia m_midi;
  CMciPlayerWnd* m_playerWnd = nullptr;
  CMciVideoWnd* m_videoWnd = nullptr;
  CEvent m_videoDone;
  // The movie now playing, its file and the frame it plays in; the running
  // event is set while it plays.
  CCriticalSection m_movieLock;
  CFlashPlayerThread* m_movie = nullptr;
  CString m_moviePath;
  HWND m_movieFrame = nullptr;
  CEvent m_movieRunning;
};

// Writes media bytes to a new temporary file whose name ends in the
// extension (".avi"); false, with no file left, when that fails.
bool WriteMediaTempFile(const uint8_t* data, uint32_t size, const char* extension, CString& path);
// Waits until the event or the stop event (either may be null) is set,
// answering the calling thread's messages meanwhile; true when the event
// came first.
bool WaitAnsweringMessages(HANDLE event, HANDLE stopEvent);
