// The trace sink and the assert's report.
#include "framework/Trace.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>

#include "framework/TextFormat.h"

namespace {

void DebugOutput(const char* text) { ::OutputDebugStringA(text); }

std::atomic<TraceSink> g_sink{&DebugOutput};

}  // namespace

TraceSink SetTraceSink(TraceSink sink) { return g_sink.exchange(sink ? sink : &DebugOutput); }

void LwTrace(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  // A line longer than the buffer is cut, not lost.
  FormatTextV(line, sizeof line, format, args);
  va_end(args);
  g_sink.load()(line);
}

void LwAssertFailed(const char* expression, const char* file, int line) {
  LwTrace("Assertion failed: %s (%s:%d)\n", expression, file, line);
#ifndef NDEBUG
  ::DebugBreak();
#endif
}
