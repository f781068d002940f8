// The Standard wizard's action sequence: one item (a picture, a text or a
// media file, kept as its own copy) together with what the generated script
// does with it. The step-3 list, its property pages and the editor's
// insert-sequence dialogs edit these records; the script generator turns
// each into commands. Nothing here is stored in a file.
#pragma once

#include "framework/Collections.h"
#include "framework/Strings.h"
#include "script/Objects.h"

enum WizardSequenceKind {
  kSequenceImage = 0,
  kSequenceMedia = 1,
  kSequenceText = 2
};

class CWizardSequence : public CObject {
 public:
  // The end point's x is the screen's width at the moment of construction.
  explicit CWizardSequence(int kind);

  int GetKind() const { return m_kind; }
  void SetKind(int kind) { m_kind = kind; }

  // Every field, each embedded item through its own CopyFrom.
  void CopyFrom(const CWizardSequence& other);
  // The fields a property page edits for `kind`, for "Apply to selection":
  // display kinds (0, 2) the motion, show and timing fields; media (1) the
  // play fields without the position modes; any other kind nothing.
  void ApplyTo(CWizardSequence& target, int kind) const;
  // The one-line text of the step-3 list (replaces out).
  void Describe(CString& out) const;
  // "x,y" of a pair of position modes: a mode's name, or the value for 5.
  static void DescribePosition(CString& out, int modeX, int modeY, int x, int y);

  // The item's name as the list shows it: up to 10 characters, "... "
  // appended when it was longer.
  static CString ShortName(const CString& name);

  CMediaObject m_media;
  CImageTextObject m_display;
  int m_waitForMedia = 1;
  int m_move = 0;  // 0 Show, 1 Move
  int m_hide = 1;
  int m_wait = 1;
  int m_clearScreen = 1;
  int m_startX = 0, m_startY = 0;
  int m_endX;
  int m_endY = 0;
  int m_listIndex = -1;
  int m_repeatCount = 1;
  int m_showX = 0, m_showY = 0;
  int m_waitSeconds = 3;
  int m_effectSpeed = 100;
  int m_effect = 3;  // Random Effect
  int m_showModeX = 1, m_showModeY = 1;
  int m_startModeX = 0, m_startModeY = 1;
  int m_endModeX = 2, m_endModeY = 1;
  int m_positionX = 0, m_positionY = 0;
  int m_positionModeX = 5, m_positionModeY = 5;  // 5 the value, 1 centred
  int m_sizeWidth = 0, m_sizeHeight = 0;
  int m_fullScreen = 0;

 private:
  int m_kind;
};

// Sequence pointers in list order; the owner deletes the sequences.
class CWizardSequenceArray : public CObArray {
 public:
  CWizardSequence* GetSequence(int index) const {
    return static_cast<CWizardSequence*>(GetAt(index));
  }
  // Deletes every sequence and empties the array.
  void DeleteAll();
};
