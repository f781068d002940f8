// The wizard's action sequence record: defaults, copying, the pages'
// "Apply to selection" and the line the step-3 list shows.
#include "wizards/WizardSequence.h"

#include "playback/painter/ImagePainter.h"

CWizardSequence::CWizardSequence(int kind) : m_endX(GetPlayScreenSize().cx), m_kind(kind) {}

void CWizardSequence::CopyFrom(const CWizardSequence& o) {
  m_media.CopyFrom(o.m_media);
  m_display.CopyFrom(o.m_display);
  m_waitForMedia = o.m_waitForMedia;
  m_move = o.m_move;
  m_hide = o.m_hide;
  m_wait = o.m_wait;
  m_clearScreen = o.m_clearScreen;
  m_startX = o.m_startX;
  m_startY = o.m_startY;
  m_endX = o.m_endX;
  m_endY = o.m_endY;
  m_listIndex = o.m_listIndex;
  m_repeatCount = o.m_repeatCount;
  m_showX = o.m_showX;
  m_showY = o.m_showY;
  m_waitSeconds = o.m_waitSeconds;
  m_effectSpeed = o.m_effectSpeed;
  m_effect = o.m_effect;
  m_showModeX = o.m_showModeX;
  m_showModeY = o.m_showModeY;
  m_startModeX = o.m_startModeX;
  m_startModeY = o.m_startModeY;
  m_endModeX = o.m_endModeX;
  m_endModeY = o.m_endModeY;
  m_positionX = o.m_positionX;
  m_positionY = o.m_positionY;
  m_positionModeX = o.m_positionModeX;
  m_positionModeY = o.m_positionModeY;
  m_sizeWidth = o.m_sizeWidth;
  m_sizeHeight = o.m_sizeHeight;
  m_fullScreen = o.m_fullScreen;
  m_kind = o.m_kind;
}

void CWizardSequence::ApplyTo(CWizardSequence& t, int kind) const {
  if (kind == kSequenceImage || kind == kSequenceText) {
    t.m_startModeX = m_startModeX;
    t.m_startModeY = m_startModeY;
    t.m_startX = m_startX;
    t.m_startY = m_startY;
    t.m_endModeX = m_endModeX;
    t.m_endModeY = m_endModeY;
    t.m_endX = m_endX;
    t.m_endY = m_endY;
    t.m_showModeX = m_showModeX;
    t.m_showModeY = m_showModeY;
    t.m_showX = m_showX;
    t.m_showY = m_showY;
    t.m_clearScreen = m_clearScreen;
    t.m_hide = m_hide;
    t.m_move = m_move;
    t.m_wait = m_wait;
    t.m_waitSeconds = m_waitSeconds;
    t.m_effect = m_effect;
    t.m_effectSpeed = m_effectSpeed;
  } else if (kind == kSequenceMedia) {
    t.m_clearScreen = m_clearScreen;
    t.m_repeatCount = m_repeatCount;
    t.m_waitForMedia = m_waitForMedia;
    t.m_positionX = m_positionX;
    t.m_positionY = m_positionY;
    t.m_sizeWidth = m_sizeWidth;
    t.m_sizeHeight = m_sizeHeight;
    t.m_fullScreen = m_fullScreen;
  }
}

CString CWizardSequence::ShortName(const CString& name) {
  if (name.GetLength() <= 10) return name;
  return name.Left(10) + "... ";
}

namespace {

// The name of one position mode; null for the stored value (5) and for
// modes outside the table, which show the value.
const char* PositionModeName(int mode, bool vertical) {
  switch (mode) {
    case 0: return vertical ? "Top" : "Left";
    case 1: return "Center";
    case 2: return vertical ? "Bottom" : "Right";
    case 3: return "Random";
    case 4: return "Random (Preserve)";
    default: return nullptr;
  }
}

CString PositionPart(int mode, int value, bool vertical) {
  const char* name = PositionModeName(mode, vertical);
  if (name) return CString(name);
  CString text;
  text.Format("%d", value);
  return text;
}

}  // namespace

void CWizardSequence::DescribePosition(CString& out, int modeX, int modeY, int x, int y) {
  out += PositionPart(modeX, x, false);
  out += ",";
  out += PositionPart(modeY, y, true);
}

void CWizardSequence::Describe(CString& out) const {
  out.Empty();
  if (m_kind == kSequenceMedia) {
    const CString name = ShortName(m_media.m_displayName);
    if (m_media.m_kind == kMediaVideo) {
      out.Format("Media [Video]:%s, Play %d times,  Pos [%d, %d],", name.GetString(),
                 m_repeatCount, m_positionX, m_positionY);
    } else if (m_media.m_kind == kMediaFlash) {
      CString x, y;
      if (m_positionModeX == 5) x.Format("%d", m_positionX); else x = "Center";
      if (m_positionModeY == 5) y.Format("%d", m_positionY); else y = "Center";
      if (m_fullScreen)
        out.Format("Media [Flash]:%s, Play %d times,  Pos [%s, %s], Fullscreen, ",
                   name.GetString(), m_repeatCount, x.GetString(), y.GetString());
      else
        out.Format("Media [Flash]:%s, Play %d times,  Pos [%s, %s], Size [%d, %d], ",
                   name.GetString(), m_repeatCount, x.GetString(), y.GetString(), m_sizeWidth,
                   m_sizeHeight);
    } else {
      out.Format("Media [Audio]:%s, Play %d times, ", name.GetString(), m_repeatCount);
    }
    out += m_waitForMedia ? " Wait media to finish playing." : " Not wait media to finish playing.";
    return;
  }
  const char* action = m_move ? "Move" : "Show";
  if (m_kind == kSequenceText)
    out.Format("Text [%s]:%-10s, Pos [", action, ShortName(m_display.m_text).GetString());
  else
    out.Format("Image [%s]:%s, Pos [", action, ShortName(m_display.m_displayName).GetString());
  if (m_move) {
    DescribePosition(out, m_startModeX, m_startModeY, m_startX, m_startY);
    out += "],[";
    DescribePosition(out, m_endModeX, m_endModeY, m_endX, m_endY);
    out += "],";
  } else {
    DescribePosition(out, m_showModeX, m_showModeY, m_showX, m_showY);
    out.AppendFormat("], Eff: %s [%d], ", GetEffectName(m_effect), m_effectSpeed);
  }
  out += m_clearScreen ? " Clear, " : " No clear, ";
  out += m_wait ? "Wait, " : "No wait, ";
  out += m_hide ? "Hide." : "No hide.";
}

void CWizardSequenceArray::DeleteAll() {
  for (int i = 0; i < GetSize(); ++i) delete GetSequence(i);
  RemoveAll();
}
