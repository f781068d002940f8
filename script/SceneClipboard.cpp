// Writing and reading the three blocks of commands for the clipboard and
// for drags. A reader takes the version first and reads the commands with
// the block's own version state, which exists only for that read.
#include "script/SceneClipboard.h"

#include <cstdint>

#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "script/Objects.h"
#include "script/SceneDocument.h"
#include "script/SceneVersion.h"

const char kCopySceneFormat[] = "CopyScene1.0";
const char kMoveSceneFormat[] = "MoveScene1.0";
const char kLinkSceneFormat[] = "LinkScene1.0";

namespace {

void WriteInt32(CArchive& ar, int value) { ar << static_cast<int32_t>(value); }

CSceneCommand* At(const CObArray& array, int i) { return static_cast<CSceneCommand*>(array.GetAt(i)); }

[[noreturn]] void Refuse() { AfxThrowArchiveException(CArchiveException::badSchema); }

// The block's version, checked as a document's; throws when refused.
CSceneVersion ReadBlockVersion(CArchive& ar) {
  float version = 0.0f;
  ar >> version;
  if (!IsAcceptedVersion(version, 0, nullptr)) Refuse();
  CSceneVersion ver;
  ver.version = version;
  return ver;
}

// A count of items of at least `itemBytes` bytes each that the rest of
// the block can hold; throws otherwise.
int ReadCount(CArchive& ar, uint64_t itemBytes) {
  const int count = ReadInt(ar);
  if (count < 0 || static_cast<uint64_t>(count) * itemBytes > ar.GetBytesLeft()) Refuse();
  return count;
}

// Runs a read; false (after deleting the exception) when it threw.
template <typename Read>
bool Guarded(Read read) {
  try {
    read();
    return true;
  } catch (CException* e) {
    e->Delete();
    return false;
  }
}

bool IsObject(const CSceneCommand* cmd) {
  return cmd != nullptr && (cmd->GetType() == kTypeImageText || cmd->GetType() == kTypeMedia);
}

}  // namespace

void WriteCopyBlock(CArchive& ar, const CObArray& selected) {
  ar << kSceneDocumentVersion;
  WriteInt32(ar, selected.GetSize());
  for (int i = 0; i < selected.GetSize(); ++i) {
    CSceneCommand* cmd = At(selected, i);
    cmd->SetId(i);
    WriteInt32(ar, cmd->GetType());
    cmd->Write(ar);
  }
  for (int i = 0; i < selected.GetSize(); ++i) {
    const CSceneCommand* cmd = At(selected, i);
    const CSceneObject* target = cmd->GetTarget();
    WriteInt32(ar, target != nullptr && CommandListContains(selected, target) ? 1 : 0);
    WriteInt32(ar, cmd->GetTargetId());
  }
}

void WriteMoveBlock(CArchive& ar, const CObArray& selected) {
  ar << kSceneDocumentVersion;
  WriteInt32(ar, selected.GetSize());
  for (int i = selected.GetSize() - 1; i >= 0; --i) WriteInt32(ar, At(selected, i)->GetId());
}

void WriteLinkBlock(CArchive& ar, int position) {
  ar << kSceneDocumentVersion;
  WriteInt32(ar, position);
}

bool ReadCopyBlock(CArchive& ar, const CCommandPalette* palette, const CCommandList& script,
                   CCommandList& pasted) {
  CCommandList read;  // deletes what it holds when the block is refused
  // The links into the script, made once the block has been accepted.
  std::vector<std::pair<CSceneCommand*, CSceneObject*>> scriptLinks;
  const bool accepted = Guarded([&] {
    const CSceneVersion ver = ReadBlockVersion(ar);
    // Each command takes at least its type code and its link pair.
    const int count = ReadCount(ar, 12);
    for (int i = 0; i < count; ++i) ReadTypedCommand(ar, read, i, ver, palette);
    for (int i = 0; i < count; ++i) {
      CSceneCommand* cmd = read.GetCommand(i);
      const int flag = ReadInt(ar);
      const int reference = ReadInt(ar);
      if (flag != 0 && flag != 1) Refuse();
      if (reference < 0) continue;
      const int wanted = cmd->GetTargetType();
      if (flag == 1) {
        // A link inside the block was written for a copied target only.
        if (reference >= count || wanted < 0 || read.GetCommand(reference)->GetType() != wanted)
          Refuse();
        cmd->SetTarget(static_cast<CSceneObject*>(read.GetCommand(reference)));
        continue;
      }
      // A line of the script the block was copied from: it links only
      // where this script holds an object of the right kind there.
      if (wanted < 0 || reference >= script.GetSize()) continue;
      CSceneCommand* line = script.GetCommand(reference);
      if (line->GetType() == wanted) scriptLinks.emplace_back(cmd, static_cast<CSceneObject*>(line));
    }
  });
  if (!accepted) return false;
  for (auto& link : scriptLinks) link.first->SetTarget(link.second);
  pasted.Append(read);
  read.RemoveAll();
  return true;
}

bool ReadMoveBlock(CArchive& ar, int lineCount, std::vector<int>& lines) {
  std::vector<int> read;
  const bool accepted = Guarded([&] {
    ReadBlockVersion(ar);
    const int count = ReadCount(ar, 4);
    if (count == 0 || count > lineCount) Refuse();
    std::vector<bool> seen(static_cast<size_t>(lineCount), false);
    for (int i = 0; i < count; ++i) {
      const int line = ReadInt(ar);
      if (line < 0 || line >= lineCount || seen[static_cast<size_t>(line)]) Refuse();
      seen[static_cast<size_t>(line)] = true;
      read.push_back(line);
    }
  });
  if (!accepted) return false;
  lines.swap(read);
  return true;
}

CSceneObject* ReadLinkBlock(CArchive& ar, const CCommandList& script) {
  CSceneObject* object = nullptr;
  Guarded([&] {
    ReadBlockVersion(ar);
    const int position = ReadInt(ar);
    if (position < 0 || position >= script.GetSize() || !IsObject(script.GetCommand(position))) Refuse();
    object = static_cast<CSceneObject*>(script.GetCommand(position));
  });
  return object;
}
