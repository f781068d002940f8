// The script's text export (see ScriptExport.h).
#include "script/ScriptExport.h"

#include "framework/Exceptions.h"
#include "framework/Files.h"

namespace {

// No line of the script list is drawn further right than this indent; an
// indent read from a damaged document must not ask for more spaces.
constexpr int kMaxExportIndent = 3750;

}  // namespace

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
