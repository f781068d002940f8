// The builder Lumenweave: its one application object, which the
// framework's WinMain runs.
#include "builder/BuilderApp.h"

CBuilderApp theApp;
