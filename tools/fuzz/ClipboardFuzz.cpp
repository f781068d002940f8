// The readers of the blocks in which commands leave the script list (the
// clipboard and drags), over any bytes, built natively with the builder's
// script model. The first byte picks the block, the rest is the block,
// read against a small script of a picture, a wait, a show, a media object
// and a play. An accepted block may link only to its own commands or to
// objects of the script, of the kind the command targets; a pasted block
// written again reads back to the same bytes; the script never changes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "script/Objects.h"
#include "script/Palette.h"
#include "script/SceneClipboard.h"
#include "tools/fuzz/ArchiveBytes.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {

// The script the blocks are read against, as the clipboard tests build it.
void BuildScript(CCommandList& script) {
  const int types[] = {kTypeImageText, kTypeWait, kTypeShow, kTypeMedia, kTypePlay};
  for (int type : types) script.Add(CreateCommand(type));
  script.GetCommand(2)->SetTarget(static_cast<CSceneObject*>(script.GetCommand(0)));
  script.GetCommand(4)->SetTarget(static_cast<CSceneObject*>(script.GetCommand(3)));
  script.NumberCommands();
}

// The script as it was built: same commands, same targets, same referrers.
void CheckScript(const CCommandList& script) {
  FuzzCheck(script.GetSize() == 5);
  FuzzCheck(script.GetCommand(2)->GetTarget() == script.GetCommand(0));
  FuzzCheck(script.GetCommand(4)->GetTarget() == script.GetCommand(3));
}

size_t WriteCopy(const CCommandList& pasted, uint8_t** out) {
  return StoreArchiveBytes([&](CArchive& ar) { WriteCopyBlock(ar, pasted); }, out);
}

void Paste(const uint8_t* data, size_t size, const CCommandList& script) {
  CCommandList pasted;
  const auto paste = [&](CArchive& ar) { return ReadCopyBlock(ar, nullptr, script, pasted); };
  if (!ReadArchiveBytes(data, size, paste)) {
    FuzzCheck(pasted.GetSize() == 0);
    return;
  }
  for (int i = 0; i < pasted.GetSize(); ++i) {
    const CSceneCommand* cmd = pasted.GetCommand(i);
    const CSceneObject* target = cmd->GetTarget();
    if (target == nullptr) continue;
    FuzzCheck(CommandListContains(pasted, target) || CommandListContains(script, target));
    FuzzCheck(cmd->GetTargetType() == target->GetType());
  }
  // Written again (targets in the script by their lines), read back and
  // written once more: the same bytes.
  uint8_t* first = nullptr;
  const size_t firstSize = WriteCopy(pasted, &first);
  CCommandList again;
  FuzzCheck(ReadArchiveBytes(
      first, firstSize, [&](CArchive& ar) { return ReadCopyBlock(ar, nullptr, script, again); }));
  FuzzCheck(again.GetSize() == pasted.GetSize());
  uint8_t* second = nullptr;
  const size_t secondSize = WriteCopy(again, &second);
  FuzzCheck(secondSize == firstSize && memcmp(first, second, firstSize) == 0);
  free(first);
  free(second);
}

void Move(const uint8_t* data, size_t size, const CCommandList& script) {
  std::vector<int> lines;
  const int count = script.GetSize();
  if (!ReadArchiveBytes(data, size, [&](CArchive& ar) { return ReadMoveBlock(ar, count, lines); }))
    return;
  FuzzCheck(!lines.empty());
  for (size_t i = 0; i < lines.size(); ++i) {
    FuzzCheck(lines[i] >= 0 && lines[i] < count);
    for (size_t j = 0; j < i; ++j) FuzzCheck(lines[j] != lines[i]);
  }
}

void Link(const uint8_t* data, size_t size, const CCommandList& script) {
  CSceneObject* object = nullptr;
  ReadArchiveBytes(data, size, [&](CArchive& ar) {
    object = ReadLinkBlock(ar, script);
    return object != nullptr;
  });
  if (object == nullptr) return;
  FuzzCheck(CommandListContains(script, object) != 0);
  FuzzCheck(object->GetType() == kTypeImageText || object->GetType() == kTypeMedia);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  CCommandList script;
  BuildScript(script);
  switch (data[0] % 3) {
    case 0: Paste(data + 1, size - 1, script); break;
    case 1: Move(data + 1, size - 1, script); break;
    default: Link(data + 1, size - 1, script); break;
  }
  CheckScript(script);
  return 0;
}
