// The message that tells the user how a make went, which the script list,
// the frame and the wizards' tools show after the writer ran.
#pragma once

// The output's path when it was made, else the writer's reason and code
// (unless the writer has told already: errorShown).
void ShowSaverMakeResult(bool made, const char* output, bool errorShown, const char* errorMessage,
                         int errorCode);
