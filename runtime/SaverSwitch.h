// The saver runtime's command line: which mode Windows asks for ("/s",
// "/c", "/p <handle>", "/a <handle>", "-" for "/", any case) and the window
// handle that comes with it. Pure text work, so it is tested from strings.
// "c" carries no handle here: its settings dialog is owned by the
// foreground window.
#pragma once

#include "common/SaverCommandLine.h"

// True when the argument, after one leading "-" or "/", is the letter in
// either case (and nothing more).
bool MatchSaverSwitch(const char* argument, char letter);

// Parses the arguments as WinMain receives them (without the program name).
// The switch is the first two characters of the first argument, so "/c:1234"
// selects "c"; a handle is always the separate second argument.
SaverCommand ParseSaverCommandLine(const char* commandLine);
