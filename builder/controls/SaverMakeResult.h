// The message that tells the user how a make went, which the script list,
// the frame and the wizards' tools show after the writer ran.
#pragma once

class CSaverMaker;

// The output's path when it was made, else the writer's reason and code
// (unless the writer has told already).
void ShowSaverMakeResult(bool made, const CSaverMaker& maker, const char* output);
