// Debug output and the assert. LwTrace formats a line (printf rules, cut
// at 511 bytes) and hands it to the trace sink, which writes it with
// OutputDebugStringA unless a test has installed its own. LW_ASSERT guards
// programmer errors only: a failed one leaves a trace line in every build
// and, in a debug build, stops in the debugger.
#pragma once

// Receives each formatted line, from any thread.
using TraceSink = void (*)(const char* text);

// Installs a sink (null restores the debug output); returns the previous
// one. Process-wide.
TraceSink SetTraceSink(TraceSink sink);

void LwTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Called by LW_ASSERT when its condition is false.
void LwAssertFailed(const char* expression, const char* file, int line);

#define LW_TRACE(...) LwTrace(__VA_ARGS__)
#define LW_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) : LwAssertFailed(#condition, __FILE_NAME__, __LINE__))
