// The saver runtime Halcyra: its one application object. The framework's
// WinMain runs it.
#include "runtime/SaverApp.h"
#include "runtime/ScriptPlayback.h"

// The player is made before the application object and lives after it, so
// that the palette outlasts every window and thread of the run.
static CScriptPlayback thePlayback;
static CSaverPlayback* const theInstalledPlayback = SetSaverPlayback(&thePlayback);

CSaverApp theApp;
