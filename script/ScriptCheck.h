// The check that runs before a preview or a make, over the whole script
// and without the list's window: Repeat/Until pairing, then every
// command's Prepare. The view selects the line and shows the message; this
// says which line and which message. Only the builder's build compiles it.
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
