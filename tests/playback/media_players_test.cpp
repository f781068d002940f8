// The media players without a sound device: the MP3 player's busy path
// and the load message, the MCI player window's commands on a real clip,
// a waited video that ends by itself or is stopped from the window's
// thread, the MIDI sequence's failed play, repeat and end through
// notifications, the runtime's error box, and the dispatch of a movie.
// The test thread is the user-interface thread that owns the players; a
// worker thread plays as the scene thread does.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "playback/movie/FlashPlayer.h"
#include "playback/MediaPlayers.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Utilities.h"
#include "tests/support/files.h"
#include "tests/support/media_fixtures.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"
#include "tests/support/swf_writer.h"
#include "tests/support/worker.h"

namespace {

using lwtest::Bytes;
using lwtest::PumpUntil;

void SetBytes(CMediaObject& media, const Bytes& bytes, int kind) {
  uint8_t* block = CopyDataBlock(bytes.data(), static_cast<uint32_t>(bytes.size()));
  media.SetMedia(block, static_cast<uint32_t>(bytes.size()));
  media.m_kind = kind;
}

using CWorker = lwtest::CWorkerCall;

// The output's video window of the id once it shows; null when it does not
// within 10 s.
HWND ShownVideoWindow(HWND output, int id) {
  HWND video = nullptr;
  return PumpUntil([&] {
    video = GetDlgItem(output, id);
    return video && IsWindowVisible(video);
  }, 10000) ? video : nullptr;
}

class MediaPlayers : public testing::Test {
 protected:
  std::string Write(const char* name, const Bytes& bytes) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(lwtest::WriteAll(path, bytes));
    return path;
  }
  lwtest::CTempFolder folder_{"media_players"};
  lwtest::CHostWindow output_{0, 0, 640, 480, RGB(0, 0, 0)};
  CEvent stop_;
};

TEST_F(MediaPlayers, WithoutADeviceMp3IsBusy) {
  ASSERT_TRUE(IsWaveOutBusy()) << "this program runs without a sound device";
  const Bytes mp3 = lwtest::SilentMp3(50);
  CMP3Player player;
  EXPECT_FALSE(player.Play(mp3.data(), static_cast<uint32_t>(mp3.size()), true, false));
  EXPECT_FALSE(player.HasThread());
  CMP3WavePlayer test;
  EXPECT_EQ(test.TestDecode(mp3.data(), static_cast<uint32_t>(mp3.size())), -1);

  lwtest::CRecordedBoxes boxes;
  CMediaObject media;
  EXPECT_EQ(media.LoadMediaFile(Write("song.mp3", mp3).c_str(), true), 0);
  EXPECT_EQ(media.m_pData, nullptr);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], kSoundDeviceBusyMessage);
  EXPECT_EQ(media.LoadMediaFile(Write("quiet.mp3", mp3).c_str(), false), 0);
  EXPECT_EQ(boxes.texts.size(), 1u) << "no message when none is asked for";
  // Other kinds are kept as read.
  EXPECT_EQ(media.LoadMediaFile(Write("tune.mid", lwtest::OneNoteMidi()).c_str(), true), 1);
  EXPECT_EQ(media.m_kind, kMediaMidi);
}

TEST_F(MediaPlayers, PlayerWindowCommands) {
  const std::string clip = Write("clip.avi", lwtest::SolidAvi(32, 24, 5, 10, RGB(0, 200, 0)));
  CMciPlayerWnd wnd;
  ASSERT_TRUE(wnd.Create(output_.Hwnd()));
  EXPECT_EQ(GetDlgCtrlID(wnd), 75000);
  EXPECT_FALSE(IsWindowVisible(wnd));
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kStop, 0);  // nothing open: nothing happens
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kOpen, reinterpret_cast<LPARAM>(clip.c_str()));
  ASSERT_NE(wnd.m_device, 0u);
  EXPECT_EQ(wnd.m_path, clip.c_str());
  const POINT at = {20, 30};
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kPosition, reinterpret_cast<LPARAM>(&at));
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kPlay, 1);
  EXPECT_TRUE(IsWindowVisible(wnd));
  RECT r;
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, output_.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 32) << "sized to the clip";
  EXPECT_EQ(r.bottom - r.top, 24);
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kStop, 0);
  EXPECT_FALSE(IsWindowVisible(wnd));
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kClose, 0);
  EXPECT_EQ(wnd.m_device, 0u);
  // Open again, then destroying the window closes the clip.
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kOpen, reinterpret_cast<LPARAM>(clip.c_str()));
  ASSERT_NE(wnd.m_device, 0u);
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kPlay, 0);
  wnd.DestroyWindow();
  EXPECT_TRUE(wnd.m_closed);
  EXPECT_EQ(wnd.m_device, 0u);
  EXPECT_TRUE(DeleteFileA(clip.c_str())) << "the clip is not held open";
}

// Only failures to open or play are shown; stop and close results never.
TEST_F(MediaPlayers, TheRuntimesErrorBoxIsForOpenAndPlayOnly) {
  lwtest::CRecordedBoxes boxes;
  CMciPlayerWnd wnd;
  wnd.m_reportErrors = true;
  ASSERT_TRUE(wnd.Create(output_.Hwnd()));
  for (UINT code : {CMciPlayerWnd::kStop, CMciPlayerWnd::kClose})
    SendMessageA(wnd, WM_COMMAND, code, 0);
  EXPECT_EQ(boxes.texts.size(), 0u);
  const std::string missing = folder_.File("missing.avi");
  SendMessageA(wnd, WM_COMMAND, CMciPlayerWnd::kOpen, reinterpret_cast<LPARAM>(missing.c_str()));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind("Greska, code:", 0), 0u) << boxes.texts[0];
  wnd.DestroyWindow();
  EXPECT_EQ(boxes.texts.size(), 1u);
}

// A waited video plays with notification only: the scene thread's wait
// ends at the clip's end, or at once when the window's thread stops all.
TEST_F(MediaPlayers, AWaitedVideoEndsByItselfOrStopsAtOnce) {
  CSceneMediaPlayers players(output_.Hwnd());
  CMediaObject shortClip, longClip;
  SetBytes(shortClip, lwtest::SolidAvi(32, 24, 5, 10, RGB(0, 200, 0)), kMediaVideo);
  SetBytes(longClip, lwtest::SolidAvi(32, 24, 120, 2, RGB(0, 0, 200)), kMediaVideo);
  const RECT place = {40, 50, 40, 50};
  bool played = false;
  {
    CWorker scene([&] { played = players.Play(shortClip, 1, 0, place, -1, stop_); });
    EXPECT_TRUE(scene.Finish(20000)) << "the wait did not end with the clip";
    EXPECT_TRUE(played);
  }
  EXPECT_EQ(FindWindowExA(output_.Hwnd(), nullptr, nullptr, nullptr), nullptr)
      << "the video window is gone";

  played = false;
  CWorker scene([&] { played = players.Play(longClip, 1, 0, place, -1, stop_); });
  const HWND video = ShownVideoWindow(output_.Hwnd(), CMciVideoWnd::kId);
  ASSERT_NE(video, nullptr);
  lwtest::FlushEvents(200);
  players.StopAll();
  EXPECT_TRUE(scene.Finish(5000)) << "the waiting thread was not released";
  EXPECT_TRUE(played);
  EXPECT_FALSE(IsWindow(video));
}

// The thread's cursor display count (ShowCursor's).
int CursorCount() {
  const int shown = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return shown - 1;
}

// Players given a blank cursor (the saver's) show it over an open clip
// that does not wait, over the player window and over the clip's own
// window in it; players without one (the builder's) leave the pointer to
// the windows.
TEST_F(MediaPlayers, OnlyPlayersGivenABlankCursorShowItOverAVideo) {
  const HCURSOR blank = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // a stand-in
  const HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  CMediaObject clip;
  SetBytes(clip, lwtest::SolidAvi(32, 24, 20, 10, RGB(0, 200, 0)), kMediaVideo);
  const RECT place = {10, 20, 10, 20};
  for (const bool saver : {false, true}) {
    SCOPED_TRACE(saver ? "given a blank cursor" : "without one");
    CSceneMediaPlayers players(output_.Hwnd());
    if (saver) players.SetBlankCursor(blank);
    {
      CWorker scene([&] { players.Play(clip, 0, 1, place, -1, stop_); });
      ASSERT_TRUE(scene.Finish(10000));
    }
    CMciPlayerWnd* wnd = players.GetPlayerWindow();
    ASSERT_NE(wnd, nullptr);
    ASSERT_NE(wnd->m_device, 0u);
    const HWND clipWindow = GetWindow(*wnd, GW_CHILD);
    EXPECT_NE(clipWindow, nullptr) << "the clip shows in a window of its own";
    for (HWND over : {wnd->GetSafeHwnd(), clipWindow}) {
      if (!over) continue;
      SetCursor(arrow);
      SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      EXPECT_EQ(GetCursor() == blank, saver) << (over == clipWindow ? "the clip's window" : "");
    }
    players.StopAll();
  }
}

// Players given a blank cursor hide the pointer while a waited video's
// window exists, whether the video ends by itself or is stopped; the
// display count comes back to where it was.
TEST_F(MediaPlayers, AWaitedVideoOfTheSaverHidesThePointerWhileItPlays) {
  CMediaObject shortClip, longClip;
  SetBytes(shortClip, lwtest::SolidAvi(32, 24, 5, 10, RGB(0, 200, 0)), kMediaVideo);
  SetBytes(longClip, lwtest::SolidAvi(32, 24, 120, 2, RGB(0, 0, 200)), kMediaVideo);
  const RECT place = {40, 50, 40, 50};
  const int before = CursorCount();
  for (const bool saver : {false, true}) {
    SCOPED_TRACE(saver ? "given a blank cursor" : "without one");
    CSceneMediaPlayers players(output_.Hwnd());
    if (saver) players.SetBlankCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)));
    {
      CWorker scene([&] { players.Play(shortClip, 1, 0, place, -1, stop_); });
      EXPECT_TRUE(scene.Finish(20000));
    }
    EXPECT_EQ(CursorCount(), before) << "after a video that ended by itself";
    CWorker scene([&] { players.Play(longClip, 1, 0, place, -1, stop_); });
    ASSERT_NE(ShownVideoWindow(output_.Hwnd(), CMciVideoWnd::kId), nullptr);
    EXPECT_EQ(CursorCount(), saver ? before - 1 : before);
    players.StopAll();
    EXPECT_TRUE(scene.Finish(5000));
    EXPECT_EQ(CursorCount(), before) << "after a stopped video";
  }
}

// A video that does not wait plays in the player window until stopped;
// Stop closes it and deletes its file, StopAll destroys the window.
TEST_F(MediaPlayers, AVideoThatDoesNotWait) {
  CSceneMediaPlayers players(output_.Hwnd());
  CMediaObject clip;
  SetBytes(clip, lwtest::SolidAvi(32, 24, 20, 10, RGB(0, 200, 0)), kMediaVideo);
  const RECT place = {10, 20, 10, 20};
  bool played = false;
  {
    CWorker scene([&] { played = players.Play(clip, 0, 1, place, -1, stop_); });
    ASSERT_TRUE(scene.Finish(10000));
  }
  EXPECT_TRUE(played);
  CMciPlayerWnd* wnd = players.GetPlayerWindow();
  ASSERT_NE(wnd, nullptr);
  EXPECT_TRUE(IsWindowVisible(*wnd));
  const std::string path = wnd->m_path.GetString();
  EXPECT_EQ(path.substr(path.size() - 4), ".avi");
  EXPECT_TRUE(lwtest::FileExists(path));
  {
    CWorker scene([&] { players.Stop(clip); });
    ASSERT_TRUE(scene.Finish(10000));
  }
  EXPECT_EQ(wnd->m_device, 0u);
  EXPECT_FALSE(lwtest::FileExists(path));
  const HWND hwnd = *wnd;
  players.StopAll();
  EXPECT_EQ(players.GetPlayerWindow(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

// A clip shows at its own size, and its picture with it, whether its rows
// are stored bottom-up or top-down (a negative height in its format): in
// the player window of a play that does not wait and in the video window
// of one that waits. The clip is grey: its bytes read in any order give
// the same colour.
TEST_F(MediaPlayers, AClipShowsAtItsSizeWhicheverWayItsRowsRun) {
  const COLORREF grey = RGB(160, 160, 160);
  const RECT place = {40, 50, 40, 50};
  for (const bool topDown : {false, true}) {
    for (const int wait : {0, 1}) {
      SCOPED_TRACE(testing::Message() << (topDown ? "top-down" : "bottom-up")
                                      << (wait ? ", waited for" : ", not waited for"));
      CSceneMediaPlayers players(output_.Hwnd());
      CMediaObject clip;
      SetBytes(clip, lwtest::SolidAvi(32, 24, 120, 2, grey, topDown), kMediaVideo);
      CWorker scene([&] { players.Play(clip, wait, 0, place, -1, stop_); });
      const HWND video =
          ShownVideoWindow(output_.Hwnd(), wait ? CMciVideoWnd::kId : CMciPlayerWnd::kId);
      ASSERT_NE(video, nullptr);
      RECT r;
      GetWindowRect(video, &r);
      EXPECT_EQ(r.right - r.left, 32);
      EXPECT_EQ(r.bottom - r.top, 24);
      EXPECT_TRUE(PumpUntil([&] { return lwtest::ScreenPixel(r.left + 16, r.top + 12) == grey; },
                            10000))
          << "the clip's picture";
      players.StopAll();
      EXPECT_TRUE(scene.Finish(5000));
    }
  }
}

// MIDI: a play that fails (bytes the sequencer cannot open) does not
// wait; a good file is opened by the owner. Repeat and the end come
// through notifications, which a stop makes void.
TEST_F(MediaPlayers, MidiThroughItsOwner) {
  CSceneMediaPlayers players(output_.Hwnd());
  CMediaObject tune;
  SetBytes(tune, lwtest::OneNoteMidi(), kMediaMidi);
  const RECT place = {0, 0, 0, 0};
  // Bytes the sequencer cannot open: a waiting play returns at once.
  CMediaObject junk;
  SetBytes(junk, Bytes(64, 0x33), kMediaMidi);
  bool played = true;
  {
    CWorker scene([&] { played = players.Play(junk, 1, 0, place, -1, stop_); });
    EXPECT_TRUE(scene.Finish(10000)) << "a failed play waited";
  }
  EXPECT_FALSE(played);
  CTempFileMedia& midi = players.GetMidi();
  EXPECT_EQ(midi.m_plays, 0);
  {
    CWorker scene([&] { played = players.Play(tune, 0, 0, place, -1, stop_); });
    EXPECT_TRUE(scene.Finish(10000));
  }
  // What the device notifies by itself has come.
  lwtest::FlushEvents(500);
  EXPECT_NE(midi.m_id, 0u) << "the sequencer opened the file";
  EXPECT_EQ(midi.m_plays, 1);
  const std::string path = midi.m_path.GetString();
  EXPECT_EQ(path.substr(path.size() - 4), ".mid");
  const HWND owner = players.GetOwnerWindow();
  ASSERT_NE(owner, nullptr);

  // Successful without repeat: the end.
  midi.m_finished.ResetEvent();
  SendMessageA(owner, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, midi.m_id);
  EXPECT_TRUE(midi.m_finished.IsSet());
  EXPECT_EQ(midi.m_plays, 1);
  // Another device's or an aborted play's notice: nothing.
  midi.m_finished.ResetEvent();
  SendMessageA(owner, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, midi.m_id + 77);
  SendMessageA(owner, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, midi.m_id);
  EXPECT_FALSE(midi.m_finished.IsSet());
  // With repeat: played again from the start.
  midi.m_repeat = true;
  SendMessageA(owner, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, midi.m_id);
  EXPECT_EQ(midi.m_plays, 2);
  EXPECT_NE(midi.m_id, 0u);
  // Stopped: the "successful" notice that still comes restarts nothing.
  midi.Stop();
  SendMessageA(owner, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, midi.m_id);
  EXPECT_EQ(midi.m_plays, 2) << "a stopped sequence restarted";
  midi.m_lastError = 0;
  // Stop of the object, from the scene thread, reaches the device through
  // its owner and deletes the file.
  {
    CWorker scene([&] { players.Stop(tune); });
    ASSERT_TRUE(scene.Finish(10000));
  }
  EXPECT_EQ(midi.m_lastError, 0u) << "the device was called from a thread that did not open it";
  EXPECT_EQ(midi.m_id, 0u);
  EXPECT_FALSE(lwtest::FileExists(path));
}

// A sequence that ends as soon as it starts (an empty one, say) is not
// opened and played again and again while it repeats: it has finished.
TEST_F(MediaPlayers, AMidiSequenceThatEndsAsItStartsDoesNotRepeat) {
  CTempFileMedia midi;
  midi.m_path = Write("tune.mid", lwtest::OneNoteMidi()).c_str();
  midi.m_repeat = true;
  ASSERT_EQ(midi.Open(), 0u);
  midi.Play();  // without a MIDI output; the device's notice is given here
  EXPECT_TRUE(midi.OnNotify(MCI_NOTIFY_SUCCESSFUL, midi.m_id));
  EXPECT_EQ(midi.m_plays, 1) << "opened and played again at once";
  EXPECT_TRUE(midi.m_finished.IsSet());
}

// Movies go to a movie player thread of their own, given the loop flag and
// a ".swf" file; its host window takes the place in the output. Stop ends
// it and deletes the file.
TEST_F(MediaPlayers, AMovieGoesToItsPlayerThread) {
  CSceneMediaPlayers players(output_.Hwnd());
  CMediaObject movie;
  SetBytes(movie, Bytes{'F', 'W', 'S', 6, 30, 0, 0, 0, 0x50, 0, 0, 0, 0, 0, 0, 0, 0}, kMediaFlash);
  const RECT place = {10, 20, 110, 220};
  bool played = false;
  {
    CWorker scene([&] { played = players.Play(movie, 0, 1, place, 3000, stop_); });
    ASSERT_TRUE(scene.Finish(10000));
  }
  EXPECT_TRUE(played);
  CFlashPlayerThread* thread = players.GetMovie();
  ASSERT_NE(thread, nullptr);
  HWND host = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (host = thread->m_host.GetSafeHwnd()) != nullptr; }, 10000));
  RECT r;
  GetWindowRect(host, &r);
  MapWindowPoints(nullptr, output_.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_TRUE(EqualRect(&r, &place)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
  EXPECT_EQ(thread->m_loop, 1);
  EXPECT_EQ(thread->m_wait, 0);
  EXPECT_EQ(thread->m_timed, 1);
  EXPECT_EQ(thread->m_timeoutMs, 3000);
  const std::string path = thread->m_moviePath;
  EXPECT_EQ(path.substr(path.size() - 4), ".swf");
  EXPECT_TRUE(lwtest::FileExists(path));
  players.Stop(movie);
  EXPECT_EQ(players.GetMovie(), nullptr);
  EXPECT_FALSE(lwtest::FileExists(path));
}

// What became of a movie player that the players made, kept by the test.
struct CMovieRecord {
  std::atomic<bool> freed{false};
  // When it was freed: whether its thread had been made, and had ended.
  std::atomic<bool> threadMade{false};
  std::atomic<bool> threadEnded{false};
};

// A movie player whose thread, once told to end, waits at the gate before
// it cleans up (as a thread busy with a long frame would).
class CHeldMovie : public CFlashPlayerThread {
 public:
  CHeldMovie(HWND parent, HANDLE running, int timeoutMs, CMovieRecord& record, HANDLE gate)
      : CFlashPlayerThread(parent, running, timeoutMs), m_record(record), m_gate(gate) {}
  ~CHeldMovie() override {
    m_record.threadMade = m_hThread != nullptr;
    m_record.threadEnded = m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0;
    m_record.freed = true;
  }
  // Its memory is kept: a player freed under its thread must not bring the
  // test down with it.
  static void operator delete(void*) {}

  int ExitInstance() override {
    WaitForSingleObject(m_gate, 20000);
    return CFlashPlayerThread::ExitInstance();
  }

 private:
  CMovieRecord& m_record;
  HANDLE m_gate;
};

class CHeldMoviePlayers : public CSceneMediaPlayers {
 public:
  CHeldMoviePlayers(HWND output, CMovieRecord& record, HANDLE gate)
      : CSceneMediaPlayers(output), m_record(record), m_gate(gate) {}
  std::function<void()> onPublished;

 protected:
  CFlashPlayerThread* NewMovie(HWND parent, HANDLE running, int timeoutMs) override {
    return new CHeldMovie(parent, running, timeoutMs, m_record, m_gate);
  }
  void OnMoviePublished() override {
    if (onPublished) onPublished();
  }

 private:
  CMovieRecord& m_record;
  HANDLE m_gate;
};

// A red movie of 100 x 100 pixels, two frames.
Bytes RedMovie() {
  lwtest::CSwfWriter w(2000, 2000, 12 * 256);
  w.SetBackground(RGB(255, 0, 0));
  w.ShowFrame();
  w.ShowFrame();
  return w.Cws();
}

// A stop from the window's thread that comes just as a movie starts (its
// player is the one playing, the scene thread not yet past its start)
// frees the player only after its thread has ended.
TEST_F(MediaPlayers, AStopMeetingAMoviesStartFreesItsPlayerOnlyAfterItsThread) {
  CMovieRecord record;
  CEvent gate;
  gate.SetEvent();
  CHeldMoviePlayers players(output_.Hwnd(), record, gate);
  players.onPublished = [&] {
    CWorker stop([&] { players.StopAll(); });
    EXPECT_TRUE(stop.Finish(10000));
  };
  CMediaObject movie;
  SetBytes(movie, RedMovie(), kMediaFlash);
  const RECT place = {20, 30, 120, 130};
  {
    CWorker scene([&] { players.Play(movie, 0, 1, place, -1, stop_); });
    ASSERT_TRUE(scene.Finish(20000));
  }
  EXPECT_TRUE(PumpUntil([&] { return record.freed.load(); }, 10000));
  EXPECT_TRUE(record.threadMade) << "freed before its thread was made";
  EXPECT_TRUE(record.threadEnded) << "freed under its thread";
  EXPECT_EQ(players.GetMovie(), nullptr);
}

// A movie whose thread does not end in time when it is stopped (busy with
// a long frame, say) leaves the screen at once; the stop returns, the file
// goes, and the player is freed once its thread has ended at last.
TEST_F(MediaPlayers, AMovieThatDoesNotEndInTimeLeavesTheScreenAtOnceAndIsFreedAtItsEnd) {
  CMovieRecord record;
  CEvent gate;
  CHeldMoviePlayers players(output_.Hwnd(), record, gate);
  CMediaObject movie;
  SetBytes(movie, RedMovie(), kMediaFlash);
  const RECT place = {20, 30, 120, 130};
  {
    CWorker scene([&] { players.Play(movie, 0, 1, place, -1, stop_); });
    ASSERT_TRUE(scene.Finish(10000));
  }
  POINT at = {70, 80};
  ClientToScreen(output_.Hwnd(), &at);
  ASSERT_TRUE(PumpUntil([&] { return lwtest::ScreenPixel(at.x, at.y) == RGB(255, 0, 0); }, 10000))
      << "the movie does not show";
  const std::string path = players.GetMoviePath().GetString();
  const HWND shown = GetWindow(output_.Hwnd(), GW_CHILD);
  {
    CWorker scene([&] { players.Stop(movie); });
    EXPECT_TRUE(scene.Finish(10000)) << "the stop waits for the thread";
  }
  EXPECT_EQ(players.GetMovie(), nullptr);
  EXPECT_TRUE(PumpUntil([&] { return lwtest::ScreenPixel(at.x, at.y) == RGB(0, 0, 0); }, 2000))
      << "the movie still shows";
  EXPECT_FALSE(lwtest::FileExists(path));
  EXPECT_FALSE(record.freed) << "freed under its thread";
  gate.SetEvent();
  EXPECT_TRUE(PumpUntil([&] { return record.freed.load() && !IsWindow(shown); }, 10000))
      << "its player or its window is left";
}

// Without a device a wave sound cannot play; muted, nothing is tried.
TEST_F(MediaPlayers, WaveSoundsAndMute) {
  CSceneMediaPlayers players(output_.Hwnd());
  CMediaObject wave, mp3;
  SetBytes(wave, lwtest::PcmWave(std::vector<int16_t>(2000, 100), 22050, 1), kMediaAudio);
  SetBytes(mp3, lwtest::SilentMp3(20), kMediaMp3);
  const RECT place = {0, 0, 0, 0};
  EXPECT_FALSE(players.Play(wave, 1, 0, place, -1, stop_));
  players.SetMuted(true);
  EXPECT_FALSE(players.Play(wave, 0, 1, place, -1, stop_));
  EXPECT_FALSE(players.Play(mp3, 1, 0, place, -1, stop_));
  EXPECT_FALSE(players.GetMp3().HasThread());
  players.StopAll();
}

}  // namespace
