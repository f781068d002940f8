// The edit dialogs of the media commands: the media object (a sound, video,
// MIDI sequence or movie held whole), Play with its settings and Stop, and
// the test playback they share. A test plays on players of the dialog's
// own; every test stops the one before it, and every way out of a dialog
// (OK, Cancel, Escape, closing) stops it and removes its temporary file,
// so nothing plays from a working copy that is gone.
#pragma once

#include <windows.h>

#include "builder/EditDialog.h"
#include "framework/Controls.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "playback/MciPlayers.h"
#include "playback/Mp3Player.h"
#include "script/Attributes.h"
#include "script/Objects.h"

class CSceneCommand;
class CMediaObject;
class CShockwaveFlash;

// The edit entries of the script editor: IDOK when the command took the
// edited values, IDCANCEL when it is unchanged.
INT_PTR EditMediaCommand(CSceneCommand& command, HWND parent);  // media object
INT_PTR EditPlayCommand(CSceneCommand& command, HWND parent);
INT_PTR EditStopCommand(CSceneCommand& command, HWND parent);

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

class CMediaObjectDlg : public CMediaTesting<CCommandEditDialog<CMediaObject>> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CMediaObjectDlg(CMediaObject& media, HWND parent);

 protected:
  bool OnInitDialog() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool OnChoose(UINT id);
  bool OnPlay(UINT id);
  bool OnStop(UINT id);
  void ShowMedia();

  // The shell's icon shown for the kind, owned here: a static never frees
  // the icon it is given.
  HICON m_icon = nullptr;
};

// Play's settings: how the media plays, repeats, and where a movie shows.
class CPlaySettingsDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CPlaySettingsDlg(const CFlashPlayAttribute& settings, HWND parent);
  CFlashPlayAttribute& GetWorkingCopy() { return m_settings; }

  int m_kind = 0;           // the media kind, set by the caller
  SIZE m_defaultSize = {};  // a movie's frame size

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  bool OnWaitClicked(UINT id);
  bool OnNoWaitClicked(UINT id);
  bool OnRepeatClicked(UINT id);
  bool OnTimerClicked(UINT id);
  bool OnPositionClicked(UINT id);
  bool OnDefaultSize(UINT id);
  bool OnFullScreenClicked(UINT id);
  bool OnTimerSpin(NMHDR* hdr, LRESULT* result);
  bool OnCountSpin(NMHDR* hdr, LRESULT* result);
  void ApplyPlayRule();
  void ApplyRepeatRule();
  void ApplyTimerRule();
  void ApplyKindRule();
  void ApplyFullScreenRule();
  void ApplyPositionRule();
  void EnableRepeats(bool on);
  void Enable(int id, bool on) { ::EnableWindow(::GetDlgItem(m_hWnd, id), on); }
  bool Checked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }

  CFlashPlayAttribute m_settings;
  int m_playMode = -1;    // 0 wait, 1 endless, 2 once
  int m_repeatMode = -1;  // 0 infinite, 1 counted
  float m_timerSeconds = 0;
};

// Play: the media list (Ctrl+click leaves no target), the settings and a
// test of the chosen media.
class CPlayDlg : public CMediaTesting<CAttributeEditDialog<CPlacementAttribute>> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CPlayDlg(const CPlacementAttribute& placement, CSceneCommand* command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  bool OnDoubleClick(UINT id);
  bool OnSettings(UINT id);
  bool OnTest(UINT id);
  bool OnStopTest(UINT id);
  CMediaObject* GetSelected() const;

  CTargetList m_list;
};

class CStopDlg : public CAttributeEditDialog<CMediaRefAttribute> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CStopDlg(const CMediaRefAttribute& ref, CSceneCommand* command, HWND parent);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  bool OnDoubleClick(UINT id);

  CTargetList m_list;
};
