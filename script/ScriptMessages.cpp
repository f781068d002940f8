// Script messages take the framework's path for library messages.
#include "script/ScriptMessages.h"

#include "framework/Seams.h"

int ShowScriptMessage(const char* text, unsigned type) { return ShowLibraryMessage(text, type); }
