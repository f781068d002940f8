// The root command, the command collections and the action commands' copy,
// read, prepare and clone operations.
#include "script/Commands.h"

#include <new>

#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/ScriptMessages.h"

const char kMissingRepeatMessage[] = "Missing repeat command.";

const char* GetCommandTypeName(int type) {
  static const char* const kNames[kCommandTypeCount] = {
      "Image/Text", "Show", "Move",  "Hide", "Wait",    "Cls",     "Repeat",
      "Until",      "Line", "Multimedia/Flash", "Play", "Stop", "Comment", "Url"};
  return (type >= 0 && type < kCommandTypeCount) ? kNames[type] : "?";
}

// ---- root ------------------------------------------------------------------

CSceneCommand::CSceneCommand(int type) : m_type(type) {}

void CSceneCommand::CopyFrom(const CSceneCommand& other) {
  m_comment.CopyFrom(other.m_comment);
  m_indent = other.m_indent;
}

CArchive& CSceneCommand::Read(CArchive& ar, const CSceneVersion& ver) {
  m_comment.Read(ar, ver);
  m_indent = ReadInt(ar);
  m_disabled = ReadInt(ar) ? 1 : 0;
  return ar;
}

int CSceneCommand::Prepare(const CCommandList&) { return PrepareRoot(); }

int CSceneCommand::Execute(CDC*, int*, CPlayContext*) { return 0; }

int CSceneCommand::GetTargetType() const {
  switch (m_type) {
    case kTypeShow:
    case kTypeMove:
    case kTypeHide: return kTypeImageText;
    case kTypePlay:
    case kTypeStop: return kTypeMedia;
    default: return -1;
  }
}

// ---- collections -----------------------------------------------------------

CCommandList::~CCommandList() { DeleteAll(); }

void CCommandList::DeleteAll() {
  // From the last: each command that unlinks itself from its object is
  // then that object's last link.
  for (int i = GetSize() - 1; i >= 0; --i) delete GetAt(i);
  RemoveAll();
}

void CCommandList::NumberCommands() const {
  for (int i = 0; i < GetSize(); ++i) GetCommand(i)->SetId(i);
}

CCommandArray::~CCommandArray() { DeleteAll(); }

void CCommandArray::DeleteAll() {
  for (int i = GetSize() - 1; i >= 0; --i) delete GetAt(i);
  RemoveAll();
}

int CommandListContains(const CObArray& array, const CObject* pointer) {
  for (int i = 0; i < array.GetSize(); ++i) {
    if (array.GetAt(i) == pointer) return 1;
  }
  return 0;
}

void UpdateIndentLevels(const CCommandList& list, int tabSize) {
  int sum = 0;
  for (int i = 0; i < list.GetSize(); ++i) {
    CSceneCommand* cmd = list.GetCommand(i);
    if (cmd->GetType() == kTypeRepeat) {
      cmd->m_indent = sum < 0 ? 0 : sum;
      sum += tabSize;
    } else if (cmd->GetType() == kTypeUntil) {
      sum -= tabSize;
      cmd->m_indent = sum < 0 ? 0 : sum;
    } else {
      cmd->m_indent = sum < 0 ? 0 : sum;
    }
  }
}

// ---- one-attribute commands ------------------------------------------------

// The attribute is a member of the derived class, not yet built here: the
// base only keeps its address. (The attribute's nested comment starts empty,
// like the command's.)
CAttributeCommand::CAttributeCommand(int type, CCommandAttribute* attribute)
    : CSceneCommand(type), m_pAttribute(attribute) {}

void CAttributeCommand::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  m_pAttribute->CopyFrom(*static_cast<const CAttributeCommand&>(other).m_pAttribute);
}

CArchive& CAttributeCommand::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  return m_pAttribute->Read(ar, ver);
}

int CAttributeCommand::Prepare(const CCommandList&) {
  return m_disabled || (m_comment.Prepare() && m_pAttribute->Prepare());
}

CTargetingCommand::CTargetingCommand(int type, CTargetRefAttribute* ref)
    : CAttributeCommand(type, ref), m_pRef(ref) {}

void CTargetingCommand::SetTarget(CSceneObject* object) {
  if (m_pRef->m_pTarget == object) return;
  if (m_pRef->m_pTarget != nullptr) m_pRef->m_pTarget->RemoveReferrer(this);
  m_pRef->m_pTarget = object;
  // Linked to another object or none until now, so not among its links.
  if (object != nullptr) object->AppendReferrer(this);
}

void CTargetingCommand::ClearTarget() { m_pRef->m_pTarget = nullptr; }

int CTargetingCommand::GetTargetId() const {
  return m_pRef->m_pTarget != nullptr ? m_pRef->m_pTarget->GetId() : -1;
}

void CTargetingCommand::Unlink() {
  if (m_pRef->m_pTarget != nullptr) m_pRef->m_pTarget->RemoveReferrer(this);
  m_pRef->m_pTarget = nullptr;
}

CShowCommand::CShowCommand() : CTargetingCommand(kTypeShow, &m_ref) {
  m_ref.m_motion.m_startModeX = kModeCenter;
}
CSceneCommand* CShowCommand::Clone() const { return new (std::nothrow) CShowCommand; }

CMoveCommand::CMoveCommand() : CTargetingCommand(kTypeMove, &m_ref) {}
CSceneCommand* CMoveCommand::Clone() const { return new (std::nothrow) CMoveCommand; }

CHideCommand::CHideCommand() : CTargetingCommand(kTypeHide, &m_ref) {}
CSceneCommand* CHideCommand::Clone() const { return new (std::nothrow) CHideCommand; }

CWaitCommand::CWaitCommand() : CAttributeCommand(kTypeWait, &m_duration) {}
CSceneCommand* CWaitCommand::Clone() const { return new (std::nothrow) CWaitCommand; }

CClsCommand::CClsCommand() : CAttributeCommand(kTypeCls, &m_colour) {}
CSceneCommand* CClsCommand::Clone() const { return new (std::nothrow) CClsCommand; }

CSceneCommand* CRepeatCommand::Clone() const { return new (std::nothrow) CRepeatCommand; }

CPlayCommand::CPlayCommand()
    : CTargetingCommand(kTypePlay, &m_placement) {}
CSceneCommand* CPlayCommand::Clone() const { return new (std::nothrow) CPlayCommand; }

CStopCommand::CStopCommand() : CTargetingCommand(kTypeStop, &m_ref) {}
CSceneCommand* CStopCommand::Clone() const { return new (std::nothrow) CStopCommand; }

// ---- Until -----------------------------------------------------------------

CUntilCommand::CUntilCommand() : CAttributeCommand(kTypeUntil, &m_repeat) {}
CSceneCommand* CUntilCommand::Clone() const { return new (std::nothrow) CUntilCommand; }

int CUntilCommand::Prepare(const CCommandList& script) {
  if (m_disabled) return 1;
  int position = m_id;
  if (position < 0 || position >= script.GetSize() || script.GetAt(position) != this) {
    position = -1;
    for (int i = 0; i < script.GetSize(); ++i) {
      if (script.GetAt(i) == this) position = i;
    }
  }
  // Backwards to the Repeat that opens this loop; disabled loop commands
  // count as well. A scan that reaches the top unclosed refuses the run.
  int depth = 1;
  m_loopStart = -1;
  for (int i = position - 1; i >= 0 && position >= 0; --i) {
    int type = script.GetCommand(i)->GetType();
    if (type == kTypeUntil) ++depth;
    if (type == kTypeRepeat) --depth;
    if (depth == 0) {
      m_loopStart = i + 1;
      break;
    }
  }
  if (m_loopStart < 0) {
    ShowScriptMessage(kMissingRepeatMessage, kScriptMessageError);
    return 0;
  }
  m_repeat.Prepare();
  return m_comment.Prepare();
}

int CUntilCommand::Execute(CDC*, int* index, CPlayContext*) {
  if (!m_repeat.m_infinite) {
    ++m_repeat.m_counter;
    // A count of 0 or below plays the body once, like a count of 1.
    unsigned count = m_repeat.m_count < 1 ? 1u : static_cast<unsigned>(m_repeat.m_count);
    if (static_cast<unsigned>(m_repeat.m_counter) >= count) {
      m_repeat.m_counter = 0;
      return 0;
    }
  }
  if (m_loopStart >= 0 && index != nullptr) *index = m_loopStart - 1;
  return 0;
}

// ---- Line ------------------------------------------------------------------

CLineCommand::CLineCommand() : CSceneCommand(kTypeLine) {
  m_motion.m_startModeX = m_motion.m_startModeY = kModeRandom;
  m_motion.m_endModeX = m_motion.m_endModeY = kModeRandom;
}
CSceneCommand* CLineCommand::Clone() const { return new (std::nothrow) CLineCommand; }

void CLineCommand::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  const CLineCommand& o = static_cast<const CLineCommand&>(other);
  m_motion.CopyFrom(o.m_motion);
  m_colour.CopyFrom(o.m_colour);
  m_penStyle = o.m_penStyle;
  m_penWidth = o.m_penWidth;
}

CArchive& CLineCommand::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  m_colour.Read(ar, ver);
  m_motion.Read(ar, ver);
  m_penStyle = ReadInt(ar);
  m_penWidth = ReadInt(ar);
  return ar;
}

int CLineCommand::Prepare(const CCommandList&) {
  return m_disabled || (m_comment.Prepare() && m_colour.Prepare() && m_motion.Prepare());
}

// ---- Comment and Url -------------------------------------------------------

CSceneCommand* CCommentCommand::Clone() const { return new (std::nothrow) CCommentCommand; }

void CCommentCommand::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  m_text = static_cast<const CCommentCommand&>(other).m_text;
}

CArchive& CCommentCommand::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  m_text = ReadScrambledString(ar);
  return ar;
}

CUrlCommand::CUrlCommand() : CSceneCommand(kTypeUrl), m_location("http://") {}
CSceneCommand* CUrlCommand::Clone() const { return new (std::nothrow) CUrlCommand; }

void CUrlCommand::CopyFrom(const CSceneCommand& other) {
  CSceneCommand::CopyFrom(other);
  const CUrlCommand& o = static_cast<const CUrlCommand&>(other);
  m_monitoringOff = o.m_monitoringOff;
  m_keys = o.m_keys;
  m_location = o.m_location;
}

CArchive& CUrlCommand::Read(CArchive& ar, const CSceneVersion& ver) {
  CSceneCommand::Read(ar, ver);
  m_monitoringOff = ReadInt(ar);
  m_keys = ReadInt(ar);
  if (m_keys < -1 || m_keys > 3) m_keys = -1;  // outside the key table: none chosen
  m_location = ReadScrambledString(ar);
  return ar;
}
