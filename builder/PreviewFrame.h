// The builder's preview: a full-screen frame whose only pane is the output
// window the scene thread plays the script on, with a small floating
// toolbar to start, step, pause, stop, silence, leave and keep it visible.
// The main frame is disabled while the preview exists.
#pragma once

#include <windows.h>

// Opens the preview over the whole screen, its scene threads reading the
// speed value from a copy of *times; posts Go at once when autoStart. False
// when the frame cannot be made (nothing is left behind).
bool OpenPreview(UINT* times, bool autoStart);
