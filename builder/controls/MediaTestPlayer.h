// The test playback of media objects that the media dialogs and the
// wizards' dialogs share. A test plays on players of the dialog's own;
// every test stops the one before it, and every way out of a dialog (OK,
// Cancel, Escape, closing) stops it and removes its temporary file.
#pragma once

#include <windows.h>

#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "playback/MciPlayers.h"
#include "playback/mp3/Mp3Player.h"

class CMediaObject;
class CShockwaveFlash;

// Test playback of a media object by its kind: a wave sound from memory,
// an MP3 on its own thread, a MIDI sequence from a temporary file, a video
// or movie in a modal preview. Lives on the thread of the dialog that owns
// it, whose window hands the MCI notifications on (OnMciNotify).
class CMediaTestPlayer {
 public:
  CMediaTestPlayer() = default;
  ~CMediaTestPlayer() { Stop(); }
  CMediaTestPlayer(const CMediaTestPlayer&) = delete;
  CMediaTestPlayer& operator=(const CMediaTestPlayer&) = delete;

  // Stops what plays, then plays the object; notify receives the MIDI
  // device's notifications. Videos and movies return when their preview
  // is closed.
  void Play(const CMediaObject& media, HWND notify);
  // Ends every sound and removes the MIDI file.
  void Stop();
  // An MM_MCINOTIFY the owner window received.
  void OnMciNotify(WPARAM code, LPARAM device) { m_midi.OnNotify(code, device); }

  // For tests: the players as they are now.
  const CMP3Player& GetMp3() const { return m_mp3; }
  const CTempFileMedia& GetMidi() const { return m_midi; }

 private:
  CMP3Player m_mp3;
  CTempFileMedia m_midi;
};

// A dialog that test-plays media: stops the test on OK and Cancel and when
// its window goes by any other way, and hands MCI notifications on. Its
// player goes before the base's working copy, whose bytes may be playing.
template <class TBase>
class CMediaTesting : public TBase {
 public:
  using TBase::TBase;
  CMediaTestPlayer& GetTestPlayer() { return m_player; }

 protected:
  void OnOK() override {
    m_player.Stop();
    TBase::OnOK();
  }
  void OnCancel() override {
    m_player.Stop();
    TBase::OnCancel();
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == MM_MCINOTIFY) {
      m_player.OnMciNotify(wp, lp);
      return 0;
    }
    // However the dialog ends (its buttons, Escape, the close box, or
    // EndDialog from elsewhere), nothing it started plays on.
    if (msg == WM_DESTROY) m_player.Stop();
    return TBase::WindowProc(msg, wp, lp);
  }
  void TestPlay(const CMediaObject& media) { m_player.Play(media, this->m_hWnd); }

  CMediaTestPlayer m_player;
};

// The window a video or movie test plays in (modal, without a parent).
class CMediaPreviewDlg : public CCmdDialog {
 public:
  CMediaPreviewDlg(int kind, HWND parent);
  ~CMediaPreviewDlg() override;

  // For a video (".avi") or movie (".swf"): the object's bytes into a
  // temporary file of that extension, which the dialog plays and removes.
  // 1 on success, else 0 with no file left.
  int MakeTempCopy(const CMediaObject& media);
  const CString& GetTempPath() const { return m_path; }

 protected:
  bool OnInitDialog() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // Stops the player, closes its window and removes the file.
  void Release();

  int m_kind;
  CString m_path;
  CMciPlayerWnd* m_video = nullptr;
  CShockwaveFlash* m_movie = nullptr;
};
