// The Standard wizard's script generator (see WizardScript.h): the object
// section, then Cls, Show or Move, Wait and Hide per display sequence and
// Cls and Play per media sequence.
#include "wizards/WizardScript.h"

#include <cstring>

const char kDefinitionsComment[] = "Wizard generated definitions of used objects";
const char kActionsComment[] = "Screen saver action commands";
const char kPreviewActionsComment[] = "Screen saver actualy begins here";

namespace {

bool SameBytes(const uint8_t* a, uint32_t aSize, const uint8_t* b, uint32_t bSize) {
  if (aSize != bSize) return false;
  if (aSize == 0) return true;
  if (!a || !b) return a == b;
  return std::memcmp(a, b, aSize) == 0;
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth &&
         a.lfEscapement == b.lfEscapement && a.lfOrientation == b.lfOrientation &&
         a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut &&
         a.lfCharSet == b.lfCharSet && a.lfOutPrecision == b.lfOutPrecision &&
         a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
         a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

bool SameMedia(const CMediaObject& object, const CMediaObject& item) {
  return object.m_displayName == item.m_displayName &&
         SameBytes(object.m_pData, object.m_dataSize, item.m_pData, item.m_dataSize);
}

bool SameDisplay(const CImageTextObject& object, const CImageTextObject& item, bool text) {
  if (object.IsText() != text) return false;
  if (!SameBytes(object.m_pPicture, object.m_pictureSize, item.m_pPicture, item.m_pictureSize))
    return false;
  if (!text) return object.m_displayName == item.m_displayName;
  return object.m_text == item.m_text && SameFont(object.m_font, item.m_font) &&
         object.m_textColour == item.m_textColour && object.m_bkColour == item.m_bkColour &&
         object.m_bkMode == item.m_bkMode && object.m_justification == item.m_justification;
}

}  // namespace

CSceneObject* CWizardScriptGenerator::FindDefinedObject(const CWizardSequence& s) const {
  const CCommandList* live = m_sink.GetLiveList();
  if (!live) return nullptr;
  for (int i = 0; i < live->GetSize(); ++i) {
    CSceneCommand* c = live->GetCommand(i);
    if (s.GetKind() == kSequenceMedia) {
      if (c->GetType() == kTypeMedia && SameMedia(static_cast<CMediaObject&>(*c), s.m_media))
        return static_cast<CSceneObject*>(c);
    } else if (c->GetType() == kTypeImageText &&
               SameDisplay(static_cast<CImageTextObject&>(*c), s.m_display,
                           s.GetKind() == kSequenceText)) {
      return static_cast<CSceneObject*>(c);
    }
  }
  return nullptr;
}

void CWizardScriptGenerator::SendComment(const char* text) {
  auto* comment = new CCommentCommand;
  comment->m_text = text;
  m_sink.Send(comment);
}

void CWizardScriptGenerator::DefineObject(const CWizardSequence& s) {
  if (FindDefinedObject(s)) return;
  if (s.GetKind() == kSequenceMedia) {
    auto* object = new CMediaObject;
    object->CopyFrom(s.m_media);
    m_sink.Send(object);
  } else {
    auto* object = new CImageTextObject;
    object->CopyFrom(s.m_display);
    m_sink.Send(object);
  }
}

void CWizardScriptGenerator::Generate(const CWizardSequenceArray& sequences, bool repeat,
                                      bool preview) {
  SendComment(kDefinitionsComment);
  for (int i = 0; i < sequences.GetSize(); ++i) DefineObject(*sequences.GetSequence(i));
  if (preview) {
    SendComment(kPreviewActionsComment);
  } else {
    SendComment("");
    SendComment(kActionsComment);
  }
  if (repeat) m_sink.Send(new CRepeatCommand);
  for (int i = 0; i < sequences.GetSize(); ++i) {
    const CWizardSequence& s = *sequences.GetSequence(i);
    if (s.GetKind() == kSequenceMedia)
      EmitMediaSequence(s);
    else
      EmitDisplaySequence(s);
  }
  if (repeat) {
    auto* until = new CUntilCommand;
    until->m_repeat.m_infinite = 1;
    m_sink.Send(until);
  }
}

void CWizardScriptGenerator::EmitMediaSequence(const CWizardSequence& s) {
  if (s.m_clearScreen) m_sink.Send(new CClsCommand);
  auto* play = new CPlayCommand;
  CFlashPlayAttribute& flash = play->m_placement.m_flash;
  flash.m_wait = s.m_waitForMedia;
  flash.m_count = s.m_repeatCount;
  flash.m_posX = s.m_positionX;
  flash.m_posY = s.m_positionY;
  flash.m_posModeX = s.m_positionModeX;
  flash.m_posModeY = s.m_positionModeY;
  flash.m_width = s.m_sizeWidth;
  flash.m_height = s.m_sizeHeight;
  play->SetTarget(FindDefinedObject(s));
  m_sink.Send(play);
}

void CWizardScriptGenerator::EmitDisplaySequence(const CWizardSequence& s) {
  if (s.m_clearScreen) m_sink.Send(new CClsCommand);
  CSceneObject* object = FindDefinedObject(s);
  if (s.m_move) {
    auto* move = new CMoveCommand;
    CMotionAttribute& m = move->m_ref.m_motion;
    m.m_startModeX = s.m_startModeX;
    m.m_startModeY = s.m_startModeY;
    m.m_startX = s.m_startX;
    m.m_startY = s.m_startY;
    m.m_endModeX = s.m_endModeX;
    m.m_endModeY = s.m_endModeY;
    m.m_endX = s.m_endX;
    m.m_endY = s.m_endY;
    if (s.m_startX == s.m_endX) m.m_stepAlongX = 0;
    m.m_stepX = s.m_startX > s.m_endX ? -1 : 1;
    m.m_stepY = s.m_startY > s.m_endY ? -1 : 1;
    // A rising move: the player takes step x as the vertical step when
    // the move does not travel across.
    if (s.m_startY > s.m_endY) m.m_stepX = -1;
    move->SetTarget(object);
    m_sink.Send(move);
  } else {
    auto* show = new CShowCommand;
    CMotionAttribute& m = show->m_ref.m_motion;
    m.m_startModeX = s.m_showModeX;
    m.m_startModeY = s.m_showModeY;
    m.m_startX = s.m_showX;
    m.m_startY = s.m_showY;
    m.m_effect = s.m_effect;
    m.m_effectParam = s.m_effectSpeed;
    show->SetTarget(object);
    m_sink.Send(show);
  }
  if (s.m_wait) {
    auto* wait = new CWaitCommand;
    wait->m_duration.m_milliseconds = s.m_waitSeconds * 1000;
    m_sink.Send(wait);
  }
  if (s.m_hide) {
    auto* hide = new CHideCommand;
    hide->SetTarget(object);
    m_sink.Send(hide);
  }
}
