// The screen-saver command line: which mode Windows asks for ("/s", "/c",
// "/p <handle>", "/a <handle>", "-" for "/", any case) and the window handle
// that comes with it. Pure text work, so it is tested from strings.
#pragma once

#include <cstdint>

enum class SaverMode {
  Settings,   // no argument: the settings dialog without an owner
  Configure,  // "c": the settings dialog owned by the foreground window
  Preview,    // "p <handle>": draw into the given window
  Run,        // "s": full screen
  Password,   // "a <handle>": change the saver's password
  None,       // anything else, or a handle missing or not a number: end at once
};

struct SaverCommand {
  SaverMode mode = SaverMode::None;
  // The decimal window handle of "p" and "a" (0 when none was needed).
  std::uintptr_t handle = 0;
};

// True when the argument, after one leading "-" or "/", is the letter in
// either case (and nothing more).
bool MatchSaverSwitch(const char* argument, char letter);

// Parses the arguments as WinMain receives them (without the program name).
// The switch is the first two characters of the first argument, so "/c:1234"
// selects "c"; a handle is always the separate second argument.
SaverCommand ParseSaverCommandLine(const char* commandLine);
