// The script check and the text export (see ScriptTools.h).
#include "script/ScriptTools.h"

#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "script/SceneDocument.h"

const char kMissingUntilMessage[] = "Missing until command.";

namespace {

// No line of the script list is drawn further right than this indent; an
// indent read from a damaged document must not ask for more spaces.
constexpr int kMaxExportIndent = 3750;

}  // namespace

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

CString GetExportLine(const CSceneCommand& cmd) {
  int indent = cmd.m_indent < 0 ? 0 : cmd.m_indent;
  if (indent > kMaxExportIndent) indent = kMaxExportIndent;
  CString line(' ', indent);
  cmd.Describe(line);
  line += "\r\n";
  return line;
}

bool WriteScriptText(const char* path, const CCommandList& list) {
  CFile file;
  if (path == nullptr || !file.Open(path, CFile::modeCreate | CFile::modeWrite)) return false;
  try {
    for (int i = 0; i < list.GetSize(); ++i) {
      const CString line = GetExportLine(*list.GetCommand(i));
      file.Write(static_cast<const char*>(line), static_cast<unsigned>(line.GetLength()));
    }
    file.Close();
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    DeleteFileA(path);
    return false;
  }
  return true;
}
