// The value objects that commands keep their settings in: one copy, read,
// check (and, in the builder, write and describe) routine for each kind of
// setting. Comparisons of stored versions are single precision.
#pragma once

#include <windows.h>

#include "framework/Archive.h"
#include "framework/Object.h"
#include "framework/Strings.h"
#include "script/SceneVersion.h"
#include "script/ScriptBuild.h"

class CSceneObject;
class CImageTextObject;
class CMediaObject;

class CCommandAttribute : public CObject {
 public:
  virtual void CopyFrom(const CCommandAttribute& other) = 0;
#if LW_SCRIPT_EDITING
  virtual CArchive& Write(CArchive& ar) const = 0;
#endif
  virtual CArchive& Read(CArchive& ar, const CSceneVersion& ver) = 0;
  // 1 when the setting allows a run.
  virtual int Prepare() { return 1; }
#if LW_SCRIPT_EDITING
  virtual void Describe(CString& out) const = 0;
#endif
};

// A stored text, scrambled in the document. Its description is the comment
// part of a command's label.
class CStringAttribute : public CCommandAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP

  CString m_text;
};

// A stored 32-bit integer and a stored colour, little-endian.
inline int ReadInt(CArchive& ar) {
  int32_t v;
  ar >> v;
  return v;
}
inline COLORREF ReadColour(CArchive& ar) {
  uint32_t v;
  ar >> v;
  return v;
}

// Writes and reads a scrambled string (the scrambling works on a copy).
void WriteScrambledString(CArchive& ar, const CString& text);
CString ReadScrambledString(CArchive& ar);

class CColourAttribute : public CCommandAttribute {
 public:
  CColourAttribute();
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP

  // Draws a new colour when random is set (run before each use).
  void PickRandom();
  // SRCCOPY, SRCPAINT or SRCAND for the mixing.
  DWORD GetRasterOp() const;

  COLORREF m_colour = 0;
  COLORREF m_secondColour = 0xFFFFFF;
  int m_mixing = 0;  // 0 none, 1 OR, 2 AND
  int m_random = 0;
  int m_background = 1;
  CStringAttribute m_comment;
  int m_seed;
};

class CDurationAttribute : public CCommandAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP

  // Draws a new duration when random is set: never within 149 ms of the
  // previous one.
  void PickRandom();
  // The duration to wait, never negative.
  int GetWaitMilliseconds() const { return m_milliseconds < 0 ? 0 : m_milliseconds; }

  int m_random = 0;
  int m_milliseconds = 0;
  CStringAttribute m_comment;
  int m_range = 3001;
};

class CRepeatCountAttribute : public CCommandAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare() override;
  LW_SCRIPT_DESCRIBE_OP

  int m_count = 1;
  int m_counter = 0;  // run time only
  int m_infinite = 0;
  CStringAttribute m_comment;
};

// Position modes of the motion's four coordinates.
enum MotionMode {
  kModeLeftTop = 0,
  kModeCenter = 1,
  kModeRightBottom = 2,
  kModeRandom = 3,
  kModeRandomPreserve = 4,
  kModeStored = 5
};

// The comparison of a motion's until condition: op 0 ">", 1 "<", 2 "=",
// 3 "<>"; any other op is false.
int CompareByOp(int a, int op, int b);
const char* CompareOpName(int op);

class CMotionAttribute : public CCommandAttribute {
 public:
  CMotionAttribute();
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP
#if LW_SCRIPT_EDITING
  // "Start Position: (...), End Position: (...)".
  void DescribePositions(CString& out) const;
#endif

  // Works out the start and end points for an object of w x h from the
  // position modes, fixes the step signs and starts at the start point.
  void ComputePositions(int w, int h);
  // One step; returns 1 when the move is finished.
  int Step();

  int m_startX = 0, m_startY = 0;
  int m_endX = 0, m_endY = 0;
  int m_untilX = 0, m_untilY = 0;
  int m_stepX = 1, m_stepY = 1;
  int m_currentX = 0, m_currentY = 0;  // run time
  int m_startModeX = kModeLeftTop, m_startModeY = kModeCenter;
  int m_endModeX = kModeRightBottom, m_endModeY = kModeCenter;
  int m_untilOpX = 0;
  int m_joiner = 0;  // 0 OR, 1 AND
  int m_untilOpY = 0;
  int m_moveSpeed = 100000;
  int m_letterSpeed = 2000;
  int m_effect = 0;
  int m_effectParam = 100;
  int m_freeStep = 0;
  int m_stepAlongX = 1;
  int m_letterByLetter = 0;
  int m_keepWhileMoving = 1;
  int m_restoreAfterHide = 1;
  int m_seed;

 private:
  void ReadPathFields(CArchive& ar);
  void ReadOlderBlock(CArchive& ar, float marker);
};

// The target part of the reference attributes: a display or media object,
// not owned and not stored (the document's referrer lists restore it).
class CTargetRefAttribute : public CCommandAttribute {
 public:
  CSceneObject* m_pTarget = nullptr;
};

class CObjectRefAttribute : public CTargetRefAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare() override;
  LW_SCRIPT_DESCRIBE_OP

  CImageTextObject* GetImageTarget() const;

  CMotionAttribute m_motion;
  CColourAttribute m_colour;
  CStringAttribute m_comment;
};

class CFlashPlayAttribute : public CRepeatCountAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  LW_SCRIPT_DESCRIBE_OP

  int m_timed = 0;
  int m_timerMs = 1000;
  int m_wait = 1;
  int m_endless = 0;
  int m_fullScreen = 0;
  int m_posX = 0, m_posY = 0;
  int m_posModeX = kModeStored, m_posModeY = kModeStored;
  int m_width = 0, m_height = 0;
};

class CPlacementAttribute : public CTargetRefAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare() override;
  LW_SCRIPT_DESCRIBE_OP

  CMediaObject* GetMediaTarget() const;

  CStringAttribute m_comment;
  CFlashPlayAttribute m_flash;
};

class CMediaRefAttribute : public CTargetRefAttribute {
 public:
  void CopyFrom(const CCommandAttribute& other) override;
  LW_SCRIPT_WRITE_OP
  CArchive& Read(CArchive& ar, const CSceneVersion& ver) override;
  int Prepare() override;
  LW_SCRIPT_DESCRIBE_OP

  CMediaObject* GetMediaTarget() const;

  CStringAttribute m_comment;
};

// The Prepare refusals of the reference attributes.
extern const char kChooseImageMessage[];  // "You have to choose the image."
extern const char kChooseMediaMessage[];  // "You have to choose the media."
