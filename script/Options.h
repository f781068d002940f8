// CBuilderOptions, the editor's preferences, and their file: the Windows
// folder's "Lumenweave.opt" (a path tests can replace), holding the stored
// fields in order, 240 bytes, little-endian, unscrambled, no header.
// Builder only.
#pragma once

#include <windows.h>

#include "framework/Archive.h"
#include "framework/Object.h"

class CSceneCommand;

class CBuilderOptions : public CObject {
 public:
  CBuilderOptions();
  ~CBuilderOptions() override;

  void ResetDefaults();
  // Every stored field.
  void CopyFrom(const CBuilderOptions& other);
  void Store(CArchive& ar) const;
  // Reads the stored fields; the four numbers at the head that lie outside
  // their ranges below take their defaults.
  void Load(CArchive& ar);

  // Remakes the three fonts and measures the height of "W" in each.
  void CreateFonts();
  // The Disable style for a disabled command, else Comment for a Comment,
  // else Normal.
  HFONT GetStyleFont(const CSceneCommand& cmd) const;
  int GetStyleExtent(const CSceneCommand& cmd) const;
  COLORREF GetStyleColour(const CSceneCommand& cmd) const;

  // The options file; an empty override restores the Windows folder's.
  static CString GetFilePath();
  static void SetFilePath(const char* path);

  static constexpr int kStoredSize = 240;
  // The ranges of the numbers (the Options dialog's, and for the wait tick,
  // which the dialog does not edit, up to a second).
  static constexpr int kMaxTabSize = 100;
  static constexpr int kMaxScrollTime = 500;
  static constexpr int kMaxWaitTick = 1000;
  static constexpr int kMaxBeepTicks = 50;

  int m_tabSize;
  int m_scrollTime;
  int m_beepOnWait;
  int m_waitTick;
  LOGFONTA m_normalFont;
  LOGFONTA m_commentFont;
  LOGFONTA m_disableFont;
  COLORREF m_normalColour;
  COLORREF m_commentColour;
  COLORREF m_disableColour;
  COLORREF m_dragColour;
  int m_dragColourOn;
  int m_softDragging;
  int m_deleteClipboardOnExit;  // 1 empties, 2 asks
  int m_saveBeforePreview;
  int m_previewAutoStart;
  int m_showPreviewToolbar;
  int m_splash;

  // Run time: the fonts and the height of "W" in each (Normal, Comment,
  // Disable).
  HFONT m_fonts[3] = {};
  int m_heights[3] = {};

 private:
  void KeepInRange();
  int StyleOf(const CSceneCommand& cmd) const;
  void DeleteFonts();
};

// Loads or saves the options file: 1, or 0 after a failure. A file that
// cannot be opened leaves the record as it is; a damaged file read resets
// the record to the defaults and writes them at once; a failed save keeps
// the record. The fonts are remade in every case.
int SerializeOptions(CBuilderOptions& options, bool load);
