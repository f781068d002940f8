// The attributes' copy, read and prepare operations and their run-time
// picks and stepping. Writing and describing are builder-only
// (CommandStore.cpp, CommandText.cpp).
#include "script/Attributes.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/RandomRange.h"
#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/PickSource.h"
#include "script/Scramble.h"
#include "script/ScriptMessages.h"
#include "script/ScriptPolicy.h"

const char kChooseImageMessage[] = "You have to choose the image.";
const char kChooseMediaMessage[] = "You have to choose the media.";

namespace {

// The seed of the colour and motion attributes: rand() after srand(time).
int InitialSeed() {
  srand(static_cast<unsigned>(GetPickSource().GetTime()));
  return rand();
}

// The seed moved on by n. Over a long run the sum passes the int range; it
// wraps round in 32 bits, which keeps the sequence the stored scripts were
// made with.
int AdvanceSeed(int seed, int n) {
  return static_cast<int>(static_cast<uint32_t>(seed) + static_cast<uint32_t>(n));
}

// The step turned round; the most negative step, which has no positive
// counterpart, becomes the largest positive one.
int ReversedStep(int step) { return step == INT_MIN ? INT_MAX : -step; }

}  // namespace

// ---- strings ---------------------------------------------------------------

void WriteScrambledString(CArchive& ar, const CString& text) {
  CString copy(text);
  int length = copy.GetLength();
  if (length > 0) {
    char* bytes = copy.GetBuffer(length);
    ScrambleBytes(reinterpret_cast<uint8_t*>(bytes), length, 0);
    copy.ReleaseBuffer(length);
  }
  ar << copy;
}

CString ReadScrambledString(CArchive& ar) {
  CString text = ar.ReadString();
  int length = text.GetLength();
  if (length > 0) {
    char* bytes = text.GetBuffer(length);
    ScrambleBytes(reinterpret_cast<uint8_t*>(bytes), length, 1);
    // A stored string ends at its first NUL.
    text.ReleaseBuffer(static_cast<int>(strnlen(bytes, length)));
  }
  return text;
}

void CStringAttribute::CopyFrom(const CCommandAttribute& other) {
  m_text = static_cast<const CStringAttribute&>(other).m_text;
}

CArchive& CStringAttribute::Read(CArchive& ar, const CSceneVersion&) {
  m_text = ReadScrambledString(ar);
  return ar;
}

// ---- colour ----------------------------------------------------------------

CColourAttribute::CColourAttribute() : m_seed(InitialSeed()) {}

void CColourAttribute::CopyFrom(const CCommandAttribute& other) {
  const CColourAttribute& o = static_cast<const CColourAttribute&>(other);
  m_comment.CopyFrom(o.m_comment);
  m_colour = o.m_colour;
  m_secondColour = o.m_secondColour;
  m_mixing = o.m_mixing;
  m_random = o.m_random;
  m_background = o.m_background;
}

CArchive& CColourAttribute::Read(CArchive& ar, const CSceneVersion&) {
  m_colour = ReadColour(ar);
  m_mixing = ReadInt(ar);
  m_random = ReadInt(ar);
  m_background = ReadInt(ar);
  return ar;
}

void CColourAttribute::PickRandom() {
  if (!m_random) return;
  m_seed = AdvanceSeed(m_seed, 100);
  srand(static_cast<unsigned>(m_seed));
  CRandomRange range(ScriptPolicy::MakePickSeed(GetPickSource()));
  range.SetRange(0, ScriptPolicy::GetColourRangeHigh());
  int red = range.Next() & 0xFF;
  int green = range.Next() & 0xFF;
  int blue = range.Next() & 0xFF;
  m_colour = RGB(red, green, blue);
}

DWORD CColourAttribute::GetRasterOp() const {
  switch (m_mixing) {
    case 1: return SRCPAINT;
    case 2: return SRCAND;
    default: return SRCCOPY;
  }
}

// ---- duration --------------------------------------------------------------

void CDurationAttribute::CopyFrom(const CCommandAttribute& other) {
  const CDurationAttribute& o = static_cast<const CDurationAttribute&>(other);
  m_comment.CopyFrom(o.m_comment);
  m_milliseconds = o.m_milliseconds;
  m_random = o.m_random;
}

CArchive& CDurationAttribute::Read(CArchive& ar, const CSceneVersion&) {
  m_milliseconds = ReadInt(ar);
  m_random = ReadInt(ar);
  return ar;
}

void CDurationAttribute::PickRandom() {
  if (!m_random) return;
  int range = m_range > 0 ? m_range : 3001;
  srand(static_cast<unsigned>(GetPickSource().GetTime()));
  const int old = m_milliseconds;
  // A range of 3001 always gets there; the bound keeps a smaller one from
  // spinning.
  for (int tries = 0; tries < 100000; ++tries) {
    m_milliseconds = static_cast<int>((static_cast<int64_t>(rand()) + m_milliseconds) % range);
    int64_t diff = static_cast<int64_t>(m_milliseconds) - old;
    if (diff >= 150 || diff <= -150) return;
  }
  m_milliseconds = static_cast<int>((static_cast<int64_t>(old) + 150) % range);
}

// ---- repeat count ----------------------------------------------------------

void CRepeatCountAttribute::CopyFrom(const CCommandAttribute& other) {
  const CRepeatCountAttribute& o = static_cast<const CRepeatCountAttribute&>(other);
  m_comment.CopyFrom(o.m_comment);
  m_count = o.m_count;
  m_infinite = o.m_infinite;
}

CArchive& CRepeatCountAttribute::Read(CArchive& ar, const CSceneVersion&) {
  m_count = ReadInt(ar);
  m_infinite = ReadInt(ar);
  return ar;
}

int CRepeatCountAttribute::Prepare() {
  m_counter = 0;
  return 1;
}

// ---- motion ----------------------------------------------------------------

CMotionAttribute::CMotionAttribute() : m_seed(InitialSeed()) {}

void CMotionAttribute::CopyFrom(const CCommandAttribute& other) {
  const CMotionAttribute& o = static_cast<const CMotionAttribute&>(other);
  int seed = m_seed;
  // Every field but the seed, which stays the attribute's own.
  m_startX = o.m_startX;
  m_startY = o.m_startY;
  m_endX = o.m_endX;
  m_endY = o.m_endY;
  m_untilX = o.m_untilX;
  m_untilY = o.m_untilY;
  m_stepX = o.m_stepX;
  m_stepY = o.m_stepY;
  m_currentX = o.m_currentX;
  m_currentY = o.m_currentY;
  m_startModeX = o.m_startModeX;
  m_startModeY = o.m_startModeY;
  m_endModeX = o.m_endModeX;
  m_endModeY = o.m_endModeY;
  m_untilOpX = o.m_untilOpX;
  m_joiner = o.m_joiner;
  m_untilOpY = o.m_untilOpY;
  m_moveSpeed = o.m_moveSpeed;
  m_letterSpeed = o.m_letterSpeed;
  m_effect = o.m_effect;
  m_effectParam = o.m_effectParam;
  m_freeStep = o.m_freeStep;
  m_stepAlongX = o.m_stepAlongX;
  m_letterByLetter = o.m_letterByLetter;
  m_keepWhileMoving = o.m_keepWhileMoving;
  m_restoreAfterHide = o.m_restoreAfterHide;
  m_seed = seed;
}

CArchive& CMotionAttribute::Read(CArchive& ar, const CSceneVersion& ver) {
  // Fields that an older block lacks keep these.
  m_keepWhileMoving = 0;
  m_restoreAfterHide = 0;
  m_effect = 0;
  m_effectParam = 100;
  if (ver.IsOldFormat() && ver.oldMarker <= 3.2f) {
    ReadOlderBlock(ar, ver.oldMarker);
    return ar;
  }
  m_startModeX = ReadInt(ar);
  m_startModeY = ReadInt(ar);
  m_endModeX = ReadInt(ar);
  m_endModeY = ReadInt(ar);
  ReadPathFields(ar);
  m_keepWhileMoving = ReadInt(ar);
  m_restoreAfterHide = ReadInt(ar);
  m_effect = ReadInt(ar);
  m_effectParam = ReadInt(ar);
  return ar;
}

// The points, steps, end test, speeds and letter flag, stored alike in
// every format.
void CMotionAttribute::ReadPathFields(CArchive& ar) {
  m_startX = ReadInt(ar);
  m_startY = ReadInt(ar);
  m_endX = ReadInt(ar);
  m_endY = ReadInt(ar);
  m_stepX = ReadInt(ar);
  m_stepY = ReadInt(ar);
  m_stepAlongX = ReadInt(ar);
  m_untilOpX = ReadInt(ar);
  m_untilX = ReadInt(ar);
  m_untilY = ReadInt(ar);
  m_joiner = ReadInt(ar);
  m_untilOpY = ReadInt(ar);
  m_freeStep = ReadInt(ar);
  m_moveSpeed = ReadInt(ar);
  m_letterSpeed = ReadInt(ar);
  m_letterByLetter = ReadInt(ar);
}

// The motion blocks of the older format: 1.0 has random flags only; 1.1
// adds centre flags and the two keep/restore flags; 2.x the effect; 3.0 and
// 3.1 the effect parameter. Markers between the known versions (which only
// the runtime accepts) read as the nearest earlier layout.
void CMotionAttribute::ReadOlderBlock(CArchive& ar, float marker) {
  const bool hasCentre = marker >= 1.1f;
  const bool hasEffect = marker >= 2.1f;
  const bool hasParam = marker >= 3.0f;
  int random[4], centre[4] = {0, 0, 0, 0};
  for (int& r : random) r = ReadInt(ar);
  if (hasCentre) {
    for (int& c : centre) c = ReadInt(ar);
  }
  ReadPathFields(ar);
  if (hasCentre) {
    m_keepWhileMoving = ReadInt(ar);
    m_restoreAfterHide = ReadInt(ar);
  }
  if (hasEffect) m_effect = ReadInt(ar);
  if (hasParam) m_effectParam = ReadInt(ar);
  int* modes[4] = {&m_startModeX, &m_startModeY, &m_endModeX, &m_endModeY};
  for (int i = 0; i < 4; ++i) {
    *modes[i] = centre[i] ? kModeCenter : random[i] ? kModeRandom : kModeStored;
  }
}

namespace {

// One coordinate from its position mode. `screen` is the device context's
// size, `metric` the system metrics' size, `size` the object's. Mode 3 adds
// `previous` (the coordinate computed before, 0 for the first).
int PositionFromMode(int mode, int stored, int previous, int screen, int metric, int size,
                     CRandomRange& range) {
  const int span = metric + size;
  switch (mode) {
    case kModeLeftTop: return 0;
    case kModeCenter: return screen / 2 - size / 2;
    case kModeRightBottom: return screen - size;
    case kModeRandom:
      if (span <= 0) return 0;
      return static_cast<int>((static_cast<int64_t>(previous) + range.Next()) % span) - size;
    case kModeRandomPreserve: {
      // A place wholly on the screen; none exists when the object is too big.
      if (span <= 0 || screen - size <= 1) return 0;
      int x = stored;
      for (int tries = 0; tries < 10000; ++tries) {
        x = static_cast<int>((static_cast<int64_t>(x) + range.Next()) % span) - size;
        if (x > 0 && x < screen - size) return x;
      }
      return (screen - size) / 2;
    }
    default: return stored;
  }
}

// The step toward `to` from `from`: its sign fixed, never 0.
int DirectedStep(int step, int from, int to) {
  if (step == 0) step = 1;
  if (to < from && step > 0) return ReversedStep(step);
  if (to > from && step < 0) return ReversedStep(step);
  return step;
}

}  // namespace

void CMotionAttribute::ComputePositions(int w, int h) {
  CPickSource& source = GetPickSource();
  m_seed = AdvanceSeed(m_seed, w);
  srand(static_cast<unsigned>(m_seed));
  CRandomRange range(ScriptPolicy::MakePickSeed(source));
  range.SetRange(-5000, 5000);  // refused: values run from 0 to 32767

  const bool allStored = m_startModeX == kModeStored && m_startModeY == kModeStored &&
                         m_endModeX == kModeStored && m_endModeY == kModeStored;
  if (!m_freeStep && !allStored) {
    int W, H, SW, SH;
    source.GetScreenSize(W, H, SW, SH);
    m_startX = PositionFromMode(m_startModeX, m_startX, 0, W, SW, w, range);
    m_startY = PositionFromMode(m_startModeY, m_startY, m_startX, H, SH, h, range);
    m_endX = PositionFromMode(m_endModeX, m_endX, m_startY, W, SW, w, range);
    m_endY = PositionFromMode(m_endModeY, m_endY, m_endX, H, SH, h, range);
  }
  if (m_endX < m_startX && m_stepX > 0) m_stepX = ReversedStep(m_stepX);
  if (m_endX > m_startX && m_stepX < 0) m_stepX = ReversedStep(m_stepX);
  if (m_endY < m_startY && m_stepY > 0) m_stepY = ReversedStep(m_stepY);
  if (m_endY > m_startY && m_stepY < 0) m_stepY = ReversedStep(m_stepY);
  m_stepAlongX = m_startX != m_endX;
  m_currentX = m_startX;
  m_currentY = m_startY;
}

int CMotionAttribute::Step() {
  if (m_freeStep) {
    // Nothing moves without a step; far off the screen nothing comes back.
    if (m_stepX == 0 && m_stepY == 0) return 1;
    m_currentX += m_stepX;
    m_currentY += m_stepY;
    const int kFar = 1 << 20;
    if (m_currentX > kFar || m_currentX < -kFar || m_currentY > kFar || m_currentY < -kFar)
      return 1;
    int xTest = CompareByOp(m_currentX, m_untilOpX, m_untilX);
    if (m_joiner == 1) {
      if (!xTest) return 0;
    } else if (xTest) {
      return 1;
    }
    return CompareByOp(m_currentY, m_untilOpY, m_untilY);
  }
  if (m_stepAlongX) {
    if (m_startX == m_endX) return 1;
    int step = DirectedStep(m_stepX, m_startX, m_endX);
    m_currentX += step;
    m_currentY = static_cast<int>(static_cast<int64_t>(m_endY - m_startY) *
                                      (m_currentX - m_endX) / (m_endX - m_startX) +
                                  m_endY);
    if (m_currentX == m_endX) return 1;
    return CompareByOp(m_currentX, step <= 0 ? 1 : 0, m_endX);
  }
  if (m_startY == m_endY) return 1;
  int step = DirectedStep(m_stepX, m_startY, m_endY);
  m_currentY += step;
  m_currentX = static_cast<int>(m_endX + static_cast<int64_t>(m_endX - m_startX) *
                                             (m_currentY - m_endY) / (m_endY - m_startY));
  if (m_currentY == m_endY) return 1;
  return CompareByOp(m_currentY, step <= 0 ? 1 : 0, m_endY);
}

// ---- references ------------------------------------------------------------

CImageTextObject* CObjectRefAttribute::GetImageTarget() const {
  return (m_pTarget != nullptr && m_pTarget->GetType() == kTypeImageText)
             ? static_cast<CImageTextObject*>(m_pTarget)
             : nullptr;
}

void CObjectRefAttribute::CopyFrom(const CCommandAttribute& other) {
  const CObjectRefAttribute& o = static_cast<const CObjectRefAttribute&>(other);
  m_comment.CopyFrom(o.m_comment);
  m_motion.CopyFrom(o.m_motion);
  m_colour.CopyFrom(o.m_colour);
}

CArchive& CObjectRefAttribute::Read(CArchive& ar, const CSceneVersion& ver) {
  m_motion.Read(ar, ver);
  m_colour.Read(ar, ver);
  return ar;
}

int CObjectRefAttribute::Prepare() {
  if (GetImageTarget() == nullptr) {
    ShowScriptMessage(kChooseImageMessage, kScriptMessageError);
    return 0;
  }
  return m_motion.Prepare() && m_colour.Prepare();
}

void CFlashPlayAttribute::CopyFrom(const CCommandAttribute& other) {
  CRepeatCountAttribute::CopyFrom(other);
  const CFlashPlayAttribute& o = static_cast<const CFlashPlayAttribute&>(other);
  m_timed = o.m_timed;
  m_timerMs = o.m_timerMs;
  m_wait = o.m_wait;
  m_endless = o.m_endless;
  m_fullScreen = o.m_fullScreen;
  m_posX = o.m_posX;
  m_posY = o.m_posY;
  m_posModeX = o.m_posModeX;
  m_posModeY = o.m_posModeY;
  m_width = o.m_width;
  m_height = o.m_height;
}

CArchive& CFlashPlayAttribute::Read(CArchive& ar, const CSceneVersion& ver) {
  m_count = ReadInt(ar);
  m_infinite = ReadInt(ar);
  m_wait = ReadInt(ar);
  m_endless = ReadInt(ar);
  if (ver.IsOldFormat()) {
    // Older files stop after the flags (before 2.1) or after the position.
    if (ver.oldMarker >= 2.1f) {
      m_posX = ReadInt(ar);
      m_posY = ReadInt(ar);
    }
    return ar;
  }
  m_posX = ReadInt(ar);
  m_posY = ReadInt(ar);
  m_width = ReadInt(ar);
  m_height = ReadInt(ar);
  m_posModeX = ReadInt(ar);
  m_posModeY = ReadInt(ar);
  m_fullScreen = ReadInt(ar);
  if (ver.version > 4.1f) {
    m_timed = ReadInt(ar);
    m_timerMs = ReadInt(ar);
  } else {
    m_timed = 0;
    m_timerMs = -1;
  }
  return ar;
}

CMediaObject* CPlacementAttribute::GetMediaTarget() const {
  return (m_pTarget != nullptr && m_pTarget->GetType() == kTypeMedia)
             ? static_cast<CMediaObject*>(m_pTarget)
             : nullptr;
}

void CPlacementAttribute::CopyFrom(const CCommandAttribute& other) {
  const CPlacementAttribute& o = static_cast<const CPlacementAttribute&>(other);
  m_comment.CopyFrom(o.m_comment);
  m_flash.CopyFrom(o.m_flash);
}

CArchive& CPlacementAttribute::Read(CArchive& ar, const CSceneVersion& ver) {
  return m_flash.Read(ar, ver);
}

int CPlacementAttribute::Prepare() {
  if (GetMediaTarget() == nullptr) {
    ShowScriptMessage(kChooseMediaMessage, kScriptMessageError);
    return 0;
  }
  return m_flash.Prepare();
}

CMediaObject* CMediaRefAttribute::GetMediaTarget() const {
  return (m_pTarget != nullptr && m_pTarget->GetType() == kTypeMedia)
             ? static_cast<CMediaObject*>(m_pTarget)
             : nullptr;
}

void CMediaRefAttribute::CopyFrom(const CCommandAttribute& other) {
  m_comment.CopyFrom(static_cast<const CMediaRefAttribute&>(other).m_comment);
}

CArchive& CMediaRefAttribute::Read(CArchive& ar, const CSceneVersion&) { return ar; }

int CMediaRefAttribute::Prepare() {
  if (GetMediaTarget() == nullptr) {
    ShowScriptMessage(kChooseMediaMessage, kScriptMessageError);
    return 0;
  }
  return 1;
}

int CompareByOp(int a, int op, int b) {
  switch (op) {
    case 0: return a > b;
    case 1: return a < b;
    case 2: return a == b;
    case 3: return a != b;
    default: return 0;
  }
}

const char* CompareOpName(int op) {
  static const char* const kNames[] = {">", "<", "=", "<>"};
  return (op >= 0 && op <= 3) ? kNames[op] : "?";
}
