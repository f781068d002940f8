// The small dialogs the wizards open while they gather material: the
// warning when a folder holds more pictures than the load limit, the
// progress window of a load (run modally on a thread of its own while the
// user-interface thread reads the files), and the preview of one item of
// an action sequence with a test of its sound.
#pragma once

#include <windows.h>

#include "builder/controls/CustomControls.h"
#include "builder/controls/MediaTestPlayer.h"
#include "framework/DialogUI.h"

class CImageTextObject;
class CMediaObject;

// "Only first <limit> images will be loaded": IDOK keeps the first limit
// files, kLoadAll keeps them all, IDCANCEL loads nothing.
class CFolderLimitDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  static constexpr INT_PTR kLoadAll = 5;

  CFolderLimitDlg(int limit, int total, HWND parent);

 protected:
  bool OnInitDialog() override;

 private:
  bool OnLoadAll(UINT id);
  // The static's own text, as a format, filled in with value.
  void FillIn(int id, int value);

  int m_limit;
  int m_total;
};

// The progress of a load. It polls the done event every 100 ms and ends
// with IDOK once the event is set; Cancel sets the event (so the loader
// stops after its current file) and ends with IDCANCEL. The loader, on
// another thread, moves the bar with Step.
class CLoadingDlg : public CCmdDialog {
 public:
  // done is not owned; total is the bar's range. A media load reads
  // "Loading Media..." in the caption.
  CLoadingDlg(HANDLE done, int total, bool media);

  // From any thread, while the window exists: one more file done. Posted,
  // so a loader never waits for the window's thread.
  static void Step(HWND loadingWindow);

  int GetPos() const { return m_progress.GetPos(); }
  CTextProgressCtrl& GetProgress() { return m_progress; }

  static constexpr UINT_PTR kPollTimer = 1;

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;
  void OnTimer(UINT_PTR id) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HANDLE m_done;
  int m_total;
  bool m_media;
  CTextProgressCtrl m_progress;
};

// One item of an action sequence: a picture or text shown in the preview,
// or a sound played by "&Test" (wave, MP3 and MIDI; other kinds play
// nothing here) until "&Stop" or OK.
class CSequencePreviewDlg : public CMediaTesting<CCmdDialog> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CSequencePreviewDlg(HWND parent);

  // Set before DoModal; not owned.
  CImageTextObject* m_pDisplay = nullptr;
  CMediaObject* m_pMedia = nullptr;

  CPreviewStatic& GetPreview() { return m_preview; }

 protected:
  bool OnInitDialog() override;

 private:
  bool OnTest(UINT id);
  bool OnStop(UINT id);

  CPreviewStatic m_preview;
};
