#include "script/ScriptMessages.h"

#include <windows.h>

namespace {
CScriptMessageSink* g_sink = nullptr;
}

void SetScriptMessageSink(CScriptMessageSink* sink) { g_sink = sink; }

int ShowScriptMessage(const char* text, unsigned type) {
  if (g_sink != nullptr) return g_sink->Show(text, type);
  return MessageBoxA(nullptr, text, "", type | MB_TASKMODAL);
}
