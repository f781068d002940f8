// The edit dialogs of the media commands: the media object (a sound, video,
// MIDI sequence or movie held whole), Play with its settings and Stop. They
// test-play through the player the wizards' dialogs use too
// (builder/controls/MediaTestPlayer.h), so nothing plays from a working
// copy that is gone.
#pragma once

#include <windows.h>

#include "builder/EditDialog.h"
#include "builder/controls/MediaTestPlayer.h"
#include "framework/Controls.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"
#include "script/Attributes.h"
#include "script/Objects.h"

class CSceneCommand;
class CMediaObject;

// The edit entries of the script editor: IDOK when the command took the
// edited values, IDCANCEL when it is unchanged.
INT_PTR EditMediaCommand(CSceneCommand& command, HWND parent);  // media object
INT_PTR EditPlayCommand(CSceneCommand& command, HWND parent);
INT_PTR EditStopCommand(CSceneCommand& command, HWND parent);

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
