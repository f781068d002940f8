// The one-line labels of commands, attributes and objects for the script
// list and the text export (builder only).
#include "playback/painter/ImagePainter.h"
#include "script/BuilderUtilities.h"
#include "script/Objects.h"

namespace {

const char* const kPositionX[] = {"Left", "Center", "Right", "Random", "Random (Preserve)"};
const char* const kPositionY[] = {"Top", "Center", "Bottom", "Random", "Random (Preserve)"};

// A coordinate by its mode: the mode's name, or the stored number.
void AppendPosition(CString& out, int mode, int value, const char* const names[]) {
  if (mode >= 0 && mode <= 4)
    out += names[mode];
  else
    out.AppendFormat("%d", value);
}

void AppendRgb(CString& out, COLORREF colour) {
  out.AppendFormat("RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// "Image/Text [" and the like become "... Text [" or "... Image [" for a
// command with a target.
void AppendTargetKind(CString& out, const CImageTextObject* target) {
  if (target == nullptr) return;
  if (out.GetLength() > 0 && out[out.GetLength() - 1] == '[') out.Truncate(out.GetLength() - 1);
  out += target->IsText() ? "Text [" : "Image [";
}

void AppendShortLabel(CString& out, const CImageTextObject* target) {
  if (target != nullptr)
    target->GetListLabel(out, true);
  else
    out += "?";
}

}  // namespace

// ---- attributes ------------------------------------------------------------

void CStringAttribute::Describe(CString& out) const {
  if (!m_text.IsEmpty()) {
    out += " (";
    out += m_text;
    out += ")";
  }
  out += " [";
}

void CColourAttribute::Describe(CString& out) const {
  out += "Colour: ";
  if (m_random)
    out += "Random";
  else
    AppendRgb(out, m_colour);
  out.AppendFormat(", Mixing: %s", m_mixing == 0 ? "No Mixing" : m_mixing == 1 ? "OR" : "AND");
  out.AppendFormat(", Background: %s", m_background == 1 ? "Yes" : "No");
}

void CDurationAttribute::Describe(CString& out) const {
  if (m_random)
    out += "Random";
  else
    out.AppendFormat("Duration: %.11g sec", m_milliseconds * 0.001);
}

void CRepeatCountAttribute::Describe(CString& out) const {
  if (m_infinite)
    out += "Infinite";
  else
    out.AppendFormat("%d time%s", m_count, static_cast<unsigned>(m_count) > 1 ? "s" : "");
}

void CMotionAttribute::DescribePositions(CString& out) const {
  out += "Start Position: (";
  AppendPosition(out, m_startModeX, m_startX, kPositionX);
  out += ", ";
  AppendPosition(out, m_startModeY, m_startY, kPositionY);
  out += "), End Position: (";
  AppendPosition(out, m_endModeX, m_endX, kPositionX);
  out += ", ";
  AppendPosition(out, m_endModeY, m_endY, kPositionY);
  out += ")";
}

void CMotionAttribute::Describe(CString& out) const {
  if (m_freeStep) {
    out.AppendFormat("Start Position: (%d, %d), Step: (%d, %d), Until: x %s %d %s y %s %d",
                     m_startX, m_startY, m_stepX, m_stepY, CompareOpName(m_untilOpX), m_untilX,
                     m_joiner == 1 ? "AND" : "OR", CompareOpName(m_untilOpY), m_untilY);
  } else {
    DescribePositions(out);
    out.AppendFormat(", Step %c: %d", m_stepAlongX ? 'X' : 'Y', m_stepX);
  }
  out.AppendFormat(", Speed: %d", m_moveSpeed);
}

void CObjectRefAttribute::Describe(CString& out) const {
  AppendShortLabel(out, GetImageTarget());
  out += ", ";
  m_motion.Describe(out);
}

void CFlashPlayAttribute::Describe(CString& out) const {
  if (m_timed) {
    out.AppendFormat("Timed Flash (%.2f sec) - %s", m_timerMs * 0.001, m_wait ? "Wait" : "No Wait");
  } else if (m_endless || !m_wait) {
    out += "No wait - ";
    out += m_endless ? "Infinite" : "1 time";
  } else {
    out += "Wait - ";
    CRepeatCountAttribute::Describe(out);
  }
}

void CPlacementAttribute::Describe(CString& out) const {
  const CMediaObject* target = GetMediaTarget();
  if (target != nullptr)
    target->GetListLabel(out, false);
  else
    out += "?";
  out += ", ";
  m_flash.Describe(out);
  if (target == nullptr) return;
  if (target->m_kind == kMediaVideo) {
    out.AppendFormat(", Position: (%d, %d)", m_flash.m_posX, m_flash.m_posY);
  } else if (target->m_kind == kMediaFlash) {
    if (m_flash.m_fullScreen) {
      out += ", Position: (0, 0), Fullscreen";
    } else {
      CString x, y;
      if (m_flash.m_posModeX == kModeStored) x.Format("%d", m_flash.m_posX); else x = "Center";
      if (m_flash.m_posModeY == kModeStored) y.Format("%d", m_flash.m_posY); else y = "Center";
      out.AppendFormat(", Position: (%s, %s), Size: (%d, %d)", x.GetString(), y.GetString(),
                       m_flash.m_width, m_flash.m_height);
    }
  }
}

void CMediaRefAttribute::Describe(CString& out) const {
  const CMediaObject* target = GetMediaTarget();
  if (target != nullptr)
    target->GetListLabel(out, false);
  else
    out += "?";
}

// ---- commands --------------------------------------------------------------

void CSceneCommand::Describe(CString& out) const {
  out += GetCommandTypeName(m_type);
  m_comment.Describe(out);
}

void CAttributeCommand::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  m_pAttribute->Describe(out);
  out += "]";
}

void CShowCommand::Describe(CString& out) const {
  const CImageTextObject* target = m_ref.GetImageTarget();
  const CMotionAttribute& motion = m_ref.m_motion;
  CSceneCommand::Describe(out);
  AppendTargetKind(out, target);
  AppendShortLabel(out, target);
  out += ", Position: (";
  AppendPosition(out, motion.m_startModeX, motion.m_startX, kPositionX);
  if (motion.m_startModeY >= 0 && motion.m_startModeY <= 4) {
    out += ", ";
    out += kPositionY[motion.m_startModeY];
  } else {
    out.AppendFormat(", %d", motion.m_startY);
  }
  out.AppendFormat("), Effect: %s [%d], ", GetEffectName(motion.m_effect), motion.m_effectParam);
  if (target != nullptr && target->IsText() && motion.m_letterByLetter)
    out.AppendFormat("Letter By Letter Speed: %d", motion.m_letterSpeed);
  out += "]";
}

void CMoveCommand::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  AppendTargetKind(out, m_ref.GetImageTarget());
  m_ref.Describe(out);
  out += "]";
}

void CHideCommand::Describe(CString& out) const {
  const CImageTextObject* target = m_ref.GetImageTarget();
  CSceneCommand::Describe(out);
  AppendTargetKind(out, target);
  AppendShortLabel(out, target);
  out += "]";
}

void CClsCommand::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  out += "Colour: ";
  if (m_colour.m_random)
    out += "Random";
  else
    AppendRgb(out, m_colour.m_colour);
  out += "]";
}

void CRepeatCommand::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  out.Truncate(out.GetLength() - 2);  // no " [" for a Repeat
}

void CLineCommand::Describe(CString& out) const {
  static const char* const kStyles[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot"};
  CSceneCommand::Describe(out);
  out.AppendFormat("Width: %d, Style: %s, ", m_penWidth,
                   (m_penStyle >= 0 && m_penStyle <= 4) ? kStyles[m_penStyle] : "DashDotDot");
  m_motion.DescribePositions(out);
  out += ", ";
  m_colour.Describe(out);
  out += "]";
}

void CCommentCommand::Describe(CString& out) const { out += m_text; }

void CUrlCommand::Describe(CString& out) const {
  static const char* const kKeys[] = {"Enter", "F12", "Space", "Enter, F12 or Space"};
  CSceneCommand::Describe(out);
  if (m_monitoringOff) {
    out += "All URL monitoring disabled ]";
  } else {
    out.AppendFormat("Location:%s, Keys:%s ]", m_location.GetString(),
                     (m_keys >= 0 && m_keys <= 3) ? kKeys[m_keys] : "");
  }
}

void CImageTextObject::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  GetListLabel(out, true);
  if (IsText()) {
    out += ", TextColour: ";
    AppendRgb(out, m_textColour);
    out += ", BkColour: ";
    AppendRgb(out, m_bkColour);
    out.AppendFormat(", BkMode: %s, Font: %s", m_bkMode ? "Opaque" : "Transparent",
                     m_font.lfFaceName);
  }
  out += "]";
}

void CMediaObject::Describe(CString& out) const {
  CSceneCommand::Describe(out);
  GetListLabel(out, false);
  out += "]";
  out += m_kind == kMediaVideo ? " - Video" : m_kind == kMediaFlash ? " - Flash" : " - Audio";
}

void CImageTextObject::GetListLabel(CString& out, bool shortForm) const {
  CString label;
  if (IsText()) {
    label = FirstNonEmptyLine(m_text);
    if (shortForm && label.GetLength() > 7) label = label.Left(7) + "...";
  } else {
    label = m_displayName;
  }
  out += label.IsEmpty() ? CString("?") : label;
}

void CMediaObject::GetListLabel(CString& out, bool) const {
  out += m_displayName.IsEmpty() ? CString("?") : m_displayName;
}
