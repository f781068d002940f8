// Writing commands and scene documents (builder only). Scrambled blocks are
// scrambled in a copy, so the script in memory never changes while it is
// written, whatever fails.
#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/Scramble.h"
#include "script/SceneDocument.h"

namespace {

void WriteInt(CArchive& ar, int value) { ar << static_cast<int32_t>(value); }

// Writes `size` bytes scrambled with the key of the whole block, a part at a
// time.
void WriteScrambledBlock(CArchive& ar, const uint8_t* bytes, uint32_t size) {
  const uint8_t k = ScrambleKey(size);
  uint8_t part[4096];
  for (uint32_t done = 0; done < size;) {
    uint32_t n = size - done < sizeof(part) ? size - done : sizeof(part);
    for (uint32_t i = 0; i < n; ++i) part[i] = static_cast<uint8_t>(bytes[done + i] - k);
    ar.Write(part, n);
    done += n;
  }
}

}  // namespace

// ---- attributes ------------------------------------------------------------

CArchive& CStringAttribute::Write(CArchive& ar) const {
  WriteScrambledString(ar, m_text);
  return ar;
}

CArchive& CColourAttribute::Write(CArchive& ar) const {
  ar << static_cast<uint32_t>(m_colour);
  WriteInt(ar, m_mixing);
  WriteInt(ar, m_random);
  WriteInt(ar, m_background);
  return ar;
}

CArchive& CDurationAttribute::Write(CArchive& ar) const {
  WriteInt(ar, m_milliseconds);
  WriteInt(ar, m_random);
  return ar;
}

CArchive& CRepeatCountAttribute::Write(CArchive& ar) const {
  WriteInt(ar, m_count);
  WriteInt(ar, m_infinite);
  return ar;
}

CArchive& CMotionAttribute::Write(CArchive& ar) const {
  const int fields[] = {m_startModeX, m_startModeY, m_endModeX,  m_endModeY,  m_startX,
                        m_startY,     m_endX,       m_endY,      m_stepX,     m_stepY,
                        m_stepAlongX, m_untilOpX,   m_untilX,    m_untilY,    m_joiner,
                        m_untilOpY,   m_freeStep,   m_moveSpeed, m_letterSpeed,
                        m_letterByLetter, m_keepWhileMoving, m_restoreAfterHide, m_effect,
                        m_effectParam};
  static_assert(sizeof(fields) == 96, "the motion block is 96 bytes");
  for (int v : fields) WriteInt(ar, v);
  return ar;
}

CArchive& CObjectRefAttribute::Write(CArchive& ar) const {
  m_motion.Write(ar);
  return m_colour.Write(ar);
}

CArchive& CFlashPlayAttribute::Write(CArchive& ar) const {
  const int fields[] = {m_count, m_infinite, m_wait,     m_endless,    m_posX,  m_posY, m_width,
                        m_height, m_posModeX, m_posModeY, m_fullScreen, m_timed, m_timerMs};
  for (int v : fields) WriteInt(ar, v);
  return ar;
}

CArchive& CPlacementAttribute::Write(CArchive& ar) const { return m_flash.Write(ar); }

CArchive& CMediaRefAttribute::Write(CArchive& ar) const { return ar; }

// ---- commands --------------------------------------------------------------

CArchive& CSceneCommand::Write(CArchive& ar) const {
  m_comment.Write(ar);
  WriteInt(ar, m_indent);
  WriteInt(ar, m_disabled);
  return ar;
}

CArchive& CAttributeCommand::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  return m_pAttribute->Write(ar);
}

CArchive& CLineCommand::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  m_colour.Write(ar);
  m_motion.Write(ar);
  WriteInt(ar, m_penStyle);
  WriteInt(ar, m_penWidth);
  return ar;
}

CArchive& CCommentCommand::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  WriteScrambledString(ar, m_text);
  return ar;
}

CArchive& CUrlCommand::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  WriteInt(ar, m_monitoringOff);
  WriteInt(ar, m_keys);
  WriteScrambledString(ar, m_location);
  return ar;
}

CArchive& CImageTextObject::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  WriteInt(ar, m_kind);
  WriteInt(ar, m_bkMode);
  WriteInt(ar, m_imageSource);
  WriteInt(ar, m_width);
  WriteInt(ar, m_height);
  WriteInt(ar, m_fullScreen);
  WriteInt(ar, m_keepAspect);
  if (IsText()) {
    ar << static_cast<uint32_t>(m_textColour) << static_cast<uint32_t>(m_bkColour);
    WriteInt(ar, m_justification);
    WriteScrambledString(ar, m_text);
    uint8_t font[kStoredLogFontSize];
    StoreLogFont(m_font, font);
    WriteScrambledBlock(ar, font, kStoredLogFontSize);
  } else {
    uint32_t size = m_pPicture != nullptr ? m_pictureSize : 0;
    WriteInt(ar, static_cast<int>(size));
    if (size > 0) {
      WriteScrambledString(ar, m_displayName);
      WriteScrambledBlock(ar, m_pPicture, size);
    }
  }
  return ar;
}

CArchive& CMediaObject::Write(CArchive& ar) const {
  CSceneCommand::Write(ar);
  uint32_t size = m_pData != nullptr ? m_dataSize : 0;
  WriteInt(ar, static_cast<int>(size));
  if (size > 0) {
    WriteScrambledString(ar, m_displayName);
    WriteInt(ar, m_kind);
    WriteScrambledBlock(ar, m_pData, size);
  }
  return ar;
}

void CSceneObject::WriteReferrers(CArchive& ar) const {
  WriteInt(ar, m_referrers.GetSize());
  for (int i = 0; i < m_referrers.GetSize(); ++i) WriteInt(ar, GetReferrer(i)->GetId());
}

// ---- documents -------------------------------------------------------------

void WriteCommandList(CArchive& ar, const CCommandList& list) {
  WriteInt(ar, list.GetSize());
  for (int i = 0; i < list.GetSize(); ++i) {
    CSceneCommand* cmd = list.GetCommand(i);
    WriteInt(ar, cmd->GetType());
    cmd->Write(ar);
  }
  for (int i = 0; i < list.GetSize(); ++i) {
    CSceneCommand* cmd = list.GetCommand(i);
    if (cmd->GetType() == kTypeImageText || cmd->GetType() == kTypeMedia)
      static_cast<CSceneObject*>(cmd)->WriteReferrers(ar);
  }
}

void WriteSceneDocument(CArchive& ar, const CCommandList& list) {
  list.NumberCommands();
  ar << CString(kSceneIdCurrent) << kSceneDocumentVersion;
  WriteCommandList(ar, list);
}
