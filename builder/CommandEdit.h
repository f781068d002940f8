// The way from the editor to a command's edit dialog: the script list's
// Enter and double click, and the command tree's "Current...", all run a
// command's dialog through here and learn whether the user changed it.
#pragma once

#include <windows.h>

class CSceneCommand;

// Runs the edit dialog of the command over the parent window; IDOK when the
// command took the edited values, IDCANCEL when it is unchanged.
INT_PTR EditSceneCommand(CSceneCommand& command, HWND parent);
