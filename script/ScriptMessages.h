// The messages that script code shows itself (a command refusing a run, a
// file that cannot be read). They go through one replaceable sink, so that
// tests and the saver runtime decide how they appear.
#pragma once

class CScriptMessageSink {
 public:
  virtual ~CScriptMessageSink() = default;
  // type: the MessageBox flags (MB_ICONERROR and the like). Returns the
  // button chosen.
  virtual int Show(const char* text, unsigned type) = 0;
};

// Null restores the default, a message box without an owner.
void SetScriptMessageSink(CScriptMessageSink* sink);
int ShowScriptMessage(const char* text, unsigned type);

// The MessageBox flags the script code uses.
enum : unsigned {
  kScriptMessagePlain = 0x00000000,        // MB_OK
  kScriptMessageError = 0x00000010,        // MB_OK | MB_ICONERROR
  kScriptMessageInformation = 0x00000040,  // MB_OK | MB_ICONINFORMATION
};
