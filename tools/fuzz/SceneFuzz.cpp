// The scene document reader over any bytes, built natively against
// native_script/windows.h. LW_SCRIPT_EDITING picks the build: the
// builder's (exact version lists) reads, and what it reads it writes, reads
// back and writes again, which must give the same bytes; the saver
// runtime's (any version up to its own) reads the same way the saver does,
// short of preparing the commands to play.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "script/Objects.h"
#include "script/SceneDocument.h"
#include "tools/fuzz/ArchiveBytes.h"
#include "tools/fuzz/FuzzCheck.h"

namespace {


// Reads a document from the bytes into list; false when it is refused.
bool Read(const uint8_t* data, size_t size, CCommandList& list) {
  return ReadArchiveBytes(data, size, [&](CArchive& ar) {
#if LW_SCRIPT_EDITING
    ReadSceneDocument(ar, list, nullptr);
#else
    CSceneVersion version;
    ReadSceneHeader(ar, version);
    ReadCommandList(ar, list, version, nullptr);
    list.NumberCommands();
#endif
    return true;
  });
}

// Every command's target must be an object of the list that lists it.
void CheckLinks(const CCommandList& list) {
  for (int i = 0; i < list.GetSize(); ++i) {
    const CSceneCommand* cmd = list.GetCommand(i);
    FuzzCheck(cmd->GetId() == i);
    CSceneObject* target = cmd->GetTarget();
    if (target == nullptr) continue;
    FuzzCheck(CommandListContains(list, target) != 0);
    bool listed = false;
    for (int r = 0; r < target->GetReferrerCount(); ++r) listed |= target->GetReferrer(r) == cmd;
    FuzzCheck(listed);
  }
}

#if LW_SCRIPT_EDITING
// The document the builder writes for list, as bytes in *out (malloc'd).
size_t Write(const CCommandList& list, uint8_t** out) {
  return StoreArchiveBytes([&](CArchive& ar) { WriteSceneDocument(ar, list); }, out);
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  CCommandList list;
  if (!Read(data, size, list)) {
    FuzzCheck(list.GetSize() == 0);
    return 0;
  }
  CheckLinks(list);
#if LW_SCRIPT_EDITING
  uint8_t* first = nullptr;
  const size_t firstSize = Write(list, &first);
  CCommandList again;
  FuzzCheck(Read(first, firstSize, again));
  FuzzCheck(again.GetSize() == list.GetSize());
  CheckLinks(again);
  uint8_t* second = nullptr;
  const size_t secondSize = Write(again, &second);
  FuzzCheck(secondSize == firstSize && memcmp(first, second, firstSize) == 0);
  free(first);
  free(second);
#endif
  return 0;
}
