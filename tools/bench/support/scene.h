// Scenes for the benchmarks: a full-screen window painted from a play
// output, as the saver window is, and the processor time a script costs
// while a scene thread (the runtime build of the script code) plays it to
// its end and this thread pumps messages as a saver's window thread does.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Gdi.h"
#include "playback/PlayOutput.h"
#include "tools/bench/support/cpu.h"

class CSceneCommand;

namespace bench {

// A topmost full-screen popup whose WM_PAINT paints from output (null: from
// the output set later with SetPlayWindowOutput).
HWND CreatePlayWindow(const char* className, CWindowPlayOutput* output);
void SetPlayWindowOutput(CWindowPlayOutput* output);

// Pumps messages until the event is set or the time is up; true when set.
// A null event pumps for the whole time.
bool PumpUntilSet(HANDLE event, DWORD ms);

struct SceneCpu {
  double wallMs = 0;
  double cpuMs = 0;     // this process
  double threadMs = 0;  // the scene thread
  std::vector<double> watchedMs;  // -1 where unreadable
  bool ended = true;
};

// Plays the command (owned from here on) to its end on the play window's
// output at Times polls a second; command null: pumps for idleMs without a
// scene thread.
SceneCpu MeasureScene(UINT* times, CSceneCommand* command, DWORD idleMs,
                      const std::vector<Watched>& watched);

// A Wait of ms.
CSceneCommand* NewWaitCommand(DWORD ms);
// The pacing of a Move along a long path: `steps` calibrated delays of
// (moveDelay, 100000), each after drawing the picture (size x size) at the
// next point of a diagonal when there is one.
CSceneCommand* NewPathStepsCommand(int steps, unsigned moveDelay, CDC* picture, int size);
// A size x size 32-bit picture with a pattern, for the drawing Move.
struct PathPicture {
  bool Create(CDC* screen, int size);
  CBitmap bitmap;  // before the DC that holds it
  CDC dc;
};

// The Move delay whose step lasts stepMs.
unsigned MoveDelayForStep(double stepMs);

}  // namespace bench
