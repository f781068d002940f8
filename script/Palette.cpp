#include "script/Palette.h"

#include <new>

#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/ScriptPolicy.h"

CCommandPalette* g_pCommandPalette = nullptr;

CSceneCommand* CreateCommand(int type) {
  switch (type) {
    case kTypeImageText: return new (std::nothrow) CImageTextObject;
    case kTypeShow: return new (std::nothrow) CShowCommand;
    case kTypeMove: return new (std::nothrow) CMoveCommand;
    case kTypeHide: return new (std::nothrow) CHideCommand;
    case kTypeWait: return new (std::nothrow) CWaitCommand;
    case kTypeCls: return new (std::nothrow) CClsCommand;
    case kTypeRepeat: return new (std::nothrow) CRepeatCommand;
    case kTypeUntil: return new (std::nothrow) CUntilCommand;
    case kTypeLine: return new (std::nothrow) CLineCommand;
    case kTypeMedia: return new (std::nothrow) CMediaObject;
    case kTypePlay: return new (std::nothrow) CPlayCommand;
    case kTypeStop: return new (std::nothrow) CStopCommand;
    case kTypeComment: return new (std::nothrow) CCommentCommand;
    case kTypeUrl: return new (std::nothrow) CUrlCommand;
    default: return nullptr;
  }
}

CCommandPalette::CCommandPalette() {
  m_pOptions = ScriptPolicy::CreatePaletteOptions();
  for (int type = 0; type < kCommandTypeCount; ++type) {
    m_prototypes[type] = CreateCommand(type);
    if (m_prototypes[type] == nullptr) {
      for (int i = 0; i < type; ++i) delete m_prototypes[i];
      ScriptPolicy::DeletePaletteOptions(m_pOptions);
      AfxThrowMemoryException();
    }
  }
  ScriptPolicy::LoadPaletteOptions(*this);
}

CCommandPalette::~CCommandPalette() {
  for (CSceneCommand*& prototype : m_prototypes) {
    delete prototype;
    prototype = nullptr;
  }
  ScriptPolicy::DeletePaletteOptions(m_pOptions);
  m_commands.DeleteAll();
  if (g_pCommandPalette == this) g_pCommandPalette = nullptr;
}

int CCommandPalette::IndexOfPrototype(const CSceneCommand* cmd) const {
  for (int i = 0; i < kCommandTypeCount; ++i) {
    if (m_prototypes[i] == cmd) return i;
  }
  return -1;
}

CSceneCommand* CCommandPalette::TakePrototype(int type) {
  if (type < 0 || type >= kCommandTypeCount) return nullptr;
  CSceneCommand* fresh = m_prototypes[type]->Clone();
  if (fresh == nullptr) return nullptr;
  CSceneCommand* taken = m_prototypes[type];
  m_prototypes[type] = fresh;
  return taken;
}
