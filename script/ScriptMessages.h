// The messages that script code shows itself (a command refusing a run, a
// file that cannot be read). They are the framework's library messages
// (framework/Seams.h): one caption, answered by tests through the
// message-box seam, and sent to the debug output on a silenced thread or
// in a program that asked for that.
#pragma once

// type: the MessageBox flags (MB_ICONERROR and the like). Returns the
// button chosen.
int ShowScriptMessage(const char* text, unsigned type);

// The MessageBox flags the script code uses.
enum : unsigned {
  kScriptMessagePlain = 0x00000000,        // MB_OK
  kScriptMessageError = 0x00000010,        // MB_OK | MB_ICONERROR
  kScriptMessageInformation = 0x00000040,  // MB_OK | MB_ICONINFORMATION
};
