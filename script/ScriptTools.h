// What the script list does with the whole script without needing its
// window: the check that runs before a preview or a make (Repeat/Until
// pairing, then every command's Prepare) and the text export. The view
// selects the line, shows the message and writes the file; these say which
// line, which message and what text. Only the builder's build compiles
// them.
#pragma once

#include "script/Commands.h"

// The loop messages by their ids in the builder's string table.
constexpr unsigned kMissingUntilMessageId = 34007;   // "Missing until command."
constexpr unsigned kMissingRepeatMessageId = 34008;  // "Missing repeat command."
extern const char kMissingUntilMessage[];            // "Missing until command."

// The outcome of CheckScript.
struct CScriptCheck {
  // The line to select alone, with the caret; -1 when the script may run.
  int line = -1;
  // The loop message to show (stop icon); 0 when a command's Prepare
  // refused, which has shown its own message.
  unsigned messageId = 0;

  bool IsReady() const { return line < 0; }
};

// The Repeat/Until pairing of the enabled commands, in order: an Until
// that closes no Repeat gives kMissingRepeatMessageId and its line; a
// Repeat left open at the end gives kMissingUntilMessageId and the last
// line. 0 (and *line -1) when they pair up. Disabled commands do not count.
unsigned CheckLoopPairs(const CCommandList& list, int* line);
// The check before a preview or a make: the loop pairing, then every
// command's id becomes its position and each command's Prepare runs in
// order; the first refusal names its line.
CScriptCheck CheckScript(const CCommandList& list);

// One line of the text export: as many spaces as the command's indent, its
// label, "\r\n".
CString GetExportLine(const CSceneCommand& cmd);
// Writes the export lines of every command to a new file (replacing any
// there). False when the file cannot be created or written; a partly
// written file is removed.
bool WriteScriptText(const char* path, const CCommandList& list);
