// The edit dialogs of the media commands: the media object (a sound, video,
// MIDI sequence or movie held whole), Play with its settings and Stop, and
// the test playback they share. A test plays on players of the dialog's
// own; every test stops the one before it, and every way out of a dialog
// (OK, Cancel, Escape, closing) stops it and removes its temporary file,
// so nothing plays from a working copy that is gone.
#pragma once

#include <windows.h>

#include "framework/Controls.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "playback/MciPlayers.h"
#include "playback/Mp3Player.h"
#include "script/Attributes.h"

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
// its window goes by any other way, and hands MCI notifications on.
class CMediaTestDialog : public CCmdDialog {
 public:
  CMediaTestDialog(UINT templateId, HWND parent) : CCmdDialog(templateId, parent) {}
  CMediaTestPlayer& GetTestPlayer() { return m_player; }

 protected:
  void OnOK() override;
  void OnCancel() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void TestPlay(const CMediaObject& media) { m_player.Play(media, m_hWnd); }

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

class CMediaObjectDlg : public CMediaTestDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  // Works on a copy of the object.
  CMediaObjectDlg(const CMediaObject& media, HWND parent);
  ~CMediaObjectDlg() override;
  CMediaObject& GetWorkingCopy() { return *m_media; }

 protected:
  bool OnInitDialog() override;

 private:
  bool OnChoose(UINT id);
  bool OnPlay(UINT id);
  bool OnStop(UINT id);
  bool OnComment(UINT id);
  void ShowMedia();

  CMediaObject* m_media;
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
  void Enable(int id, bool on) { ::EnableWindow(::GetDlgItem(m_hWnd, id), on); }
  bool Checked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }

  CFlashPlayAttribute m_settings;
  int m_playMode = -1;  // 0 wait, 1 endless, 2 once
  int m_repeatMode = -1;  // 0 infinite, 1 counted
  float m_timerSeconds = 0;
};

// Play and Stop: the media list with the Ctrl+click rule, and the comment.
class CMediaTargetDlg : public CMediaTestDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CMediaTargetDlg(UINT templateId, CSceneCommand& command, CTargetRefAttribute& ref,
                  CStringAttribute& comment, HWND parent);
  CMediaObject* GetSelected() const;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  // Double click: OK for Stop; for Play unless Ctrl is held.
  virtual bool DoubleClickIsOK() const { return true; }

 private:
  bool OnSelChange(UINT id);
  bool OnDoubleClick(UINT id);
  bool OnComment(UINT id);

 protected:
  CSceneCommand& m_command;
  CTargetRefAttribute& m_ref;
  CStringAttribute& m_comment;
  CListBox m_list;
  CToolTipCtrl m_tip;
};

class CPlayDlg : public CMediaTargetDlg {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CPlayDlg(const CPlacementAttribute& placement, CSceneCommand& command, HWND parent);
  CPlacementAttribute& GetWorkingCopy() { return m_placement; }

 protected:
  bool DoubleClickIsOK() const override { return ::GetKeyState(VK_CONTROL) >= 0; }

 private:
  bool OnSettings(UINT id);
  bool OnTest(UINT id);
  bool OnStopTest(UINT id);

  CPlacementAttribute m_placement;
};

class CStopDlg : public CMediaTargetDlg {
 public:
  CStopDlg(const CMediaRefAttribute& ref, CSceneCommand& command, HWND parent);
  CMediaRefAttribute& GetWorkingCopy() { return m_stopRef; }

 private:
  CMediaRefAttribute m_stopRef;
};
