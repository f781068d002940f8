// The saver runtime Halcyra: its one application object. The framework's
// WinMain runs it.
#include "framework/Terminate.h"
#include "runtime/SaverApp.h"

CSaverApp theApp;
