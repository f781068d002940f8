// The editor's way to a command's dialog.
#include "builder/CommandEdit.h"

INT_PTR EditSceneCommand(CSceneCommand&, HWND) { return IDCANCEL; }
