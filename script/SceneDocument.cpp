// Reading scene documents (both builds).
#include "script/SceneDocument.h"

#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/ScriptPolicy.h"

namespace {

// Moves every command of `from` to the end of `to`.
void MoveCommands(CCommandList& from, CCommandList& to) {
  to.Append(from);
  from.RemoveAll();
}

}  // namespace

bool IsAcceptedVersion(float version, int old, float* marker) {
  static const float kCurrent[] = {4.0f, 4.2f, 4.5f, 4.7f};
  static const float kOlder[] = {1.0f, 1.1f, 2.1f, 2.2f, 3.0f, 3.1f, 3.3f, 3.6f, 4.0f, 4.2f, 4.5f};
  if (old == 0) {
    for (float v : kCurrent) {
      if (version == v) return true;
    }
    return false;
  }
  for (float v : kOlder) {
    if (version == v) {
      if (marker != nullptr) *marker = v;
      return true;
    }
  }
  return false;
}

void ReadSceneHeader(CArchive& ar, CSceneVersion& ver) {
  CString id = ar.ReadString();
  float version;
  ar >> version;
  CSceneVersion read;
  if (!ScriptPolicy::AcceptSceneHeader(id, version, read))
    AfxThrowArchiveException(CArchiveException::badSchema);
  ver = read;
}

CSceneCommand* ReadTypedCommand(CArchive& ar, CCommandList& list, int id, const CSceneVersion& ver,
                                const CCommandPalette* palette) {
  const int type = ReadInt(ar);
  if (type < 0 || type >= kCommandTypeCount) AfxThrowArchiveException(CArchiveException::badSchema);
  CSceneCommand* cmd = palette != nullptr ? palette->GetPrototype(type)->Clone() : CreateCommand(type);
  if (cmd == nullptr) AfxThrowMemoryException();
  try {
    list.Add(cmd);
  } catch (...) {
    delete cmd;
    throw;
  }
  cmd->SetId(id);
  cmd->Read(ar, ver);
  return cmd;
}

void ReadCommandList(CArchive& ar, CCommandList& list, const CSceneVersion& ver,
                     const CCommandPalette* palette) {
  int count = ReadInt(ar);
  if (count < 0) AfxThrowArchiveException(CArchiveException::badSchema);
  CCommandList read;  // deletes what it holds if the read fails
  for (int i = 0; i < count; ++i) ReadTypedCommand(ar, read, i, ver, palette);
  // The second pass: each object's referrers, in list order.
  for (int i = 0; i < read.GetSize(); ++i) {
    CSceneCommand* cmd = read.GetCommand(i);
    if (cmd->GetType() == kTypeImageText || cmd->GetType() == kTypeMedia)
      static_cast<CSceneObject*>(cmd)->ReadReferrers(ar, read);
  }
  MoveCommands(read, list);
}

CSceneVersion ReadSceneDocument(CArchive& ar, CCommandList& list, const CCommandPalette* palette) {
  CSceneVersion ver;
  ReadSceneHeader(ar, ver);
  CCommandList read;
  ReadCommandList(ar, read, ver, palette);
  list.DeleteAll();
  MoveCommands(read, list);
  list.NumberCommands();
  return ver;
}

int PrepareScript(const CCommandList& list) {
  for (int i = 0; i < list.GetSize(); ++i) {
    if (!list.GetCommand(i)->Prepare(list)) return 0;
  }
  return 1;
}

int LoadScriptArchive(CArchive& ar, CCommandList& list) {
  CSceneVersion ver;
  ReadSceneHeader(ar, ver);
  ReadCommandList(ar, list, ver, g_pCommandPalette);
  list.NumberCommands();
  return PrepareScript(list);
}
