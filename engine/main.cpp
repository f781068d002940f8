// The movie engine Emberlyn: its one application object. The framework's
// WinMain runs it.
#include "engine/EngineApp.h"

CEngineApp theApp;
