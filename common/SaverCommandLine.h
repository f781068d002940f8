// What the screen-saver command line asks for, shared by the saver runtime
// and the movie engine: the modes Windows starts a saver in, the window
// handle that comes with some of them, and the reading of that handle.
// Each program reads its switches with its own grammar; both end in this
// record. Pure text work, tested from strings.
#pragma once

#include <cstdint>

enum class SaverMode {
  Settings,   // no argument: the settings without an owner
  Configure,  // "c": the settings owned by the foreground window (or a handle)
  Preview,    // "p <handle>": draw into the given window
  Run,        // "s": full screen
  Password,   // "a <handle>": change the saver's password
  None,       // anything else, or a handle missing or not a number: end at once
};

struct SaverCommand {
  SaverMode mode = SaverMode::None;
  // The decimal window handle that came with the switch (0 when none).
  std::uintptr_t handle = 0;
};

// The blanks that separate command-line arguments.
inline bool IsCommandLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A window handle written as a decimal number: the whole text, digits only,
// not empty, and small enough for a pointer. False for anything else.
bool ParseWindowHandle(const char* text, std::uintptr_t* value);
