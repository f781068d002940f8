// The script's text export: each command's label under its indent, one
// line each. Only the builder's build compiles it.
#pragma once

#include "script/Commands.h"

// One line of the text export: as many spaces as the command's indent, its
// label, "\r\n".
CString GetExportLine(const CSceneCommand& cmd);
// Writes the export lines of every command to a new file (replacing any
// there). False when the file cannot be created or written; a partly
// written file is removed.
bool WriteScriptText(const char* path, const CCommandList& list);
