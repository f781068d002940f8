// The script check before a preview or a make (see ScriptCheck.h).
#include "script/ScriptCheck.h"

const char kMissingUntilMessage[] = "Missing until command.";

unsigned CheckLoopPairs(const CCommandList& list, int* line) {
  int depth = 0;
  for (int i = 0; i < list.GetSize(); ++i) {
    const CSceneCommand* cmd = list.GetCommand(i);
    if (cmd->IsDisabled()) continue;
    if (cmd->GetType() == kTypeRepeat) ++depth;
    if (cmd->GetType() == kTypeUntil && --depth < 0) {
      *line = i;
      return kMissingRepeatMessageId;
    }
  }
  if (depth > 0) {
    *line = list.GetSize() - 1;
    return kMissingUntilMessageId;
  }
  *line = -1;
  return 0;
}

CScriptCheck CheckScript(const CCommandList& list) {
  CScriptCheck check;
  check.messageId = CheckLoopPairs(list, &check.line);
  if (check.messageId != 0) return check;
  list.NumberCommands();
  for (int i = 0; i < list.GetSize(); ++i) {
    if (!list.GetCommand(i)->Prepare(list)) {
      check.line = i;
      return check;
    }
  }
  return check;
}
