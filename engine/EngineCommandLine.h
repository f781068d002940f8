// The movie engine's command line, read from the whole process command line
// (program name included) as Windows writes it: the switch letter may carry
// its handle directly or after blanks and colons ("/p 1234", "/p:1234",
// "-P1234"), "l" is another name for "p", and "c" may name its owner.
// Pure text work, tested from strings.
#pragma once

#include "common/SaverCommandLine.h"

// The mode and handle of the command line. "c" without a number gives
// Configure with handle 0 (the foreground window owns the message); no
// argument gives Settings (no owner). A handle that is not a decimal
// number gives None.
SaverCommand ParseEngineCommandLine(const char* commandLine);
