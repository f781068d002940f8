// The save name rule of the screen savers the builder makes. Only the
// builder's build of the script model compiles it.
#pragma once

// True for a save name of at least two characters starting with "ss" in
// any case (Windows mishandles such screen savers).
bool IsRiskySaverName(const char* name);
