// The movie a movie-only saver carries behind the engine's image: where the
// engine finds its own file (the module's name, never the command line's
// first word, which may be relative or lack the extension), whether the
// carried bytes look like a movie at all (MovieHeader.h), and their copy to
// a temporary file of this process, which the saver window removes again.
// Also the exit codes by which the engine tells why it could not play.
#pragma once

#include <cstdint>

#include "engine/MovieHeader.h"

// The program's exit codes; 0 is a normal end.
enum EngineExit : int {
  kExitNoMovie = 1,       // nothing is appended, or the own file cannot be read
  kExitDamagedMovie = 2,  // what is appended is not a movie the control can play
  kExitCannotPlay = 3,    // the window, the control or the temporary file cannot be made
  kExitNotAWindow = 4,    // the handle of the command line is not a window
};

// The program's own file, from the module; false when the name does not fit.
bool GetOwnProgramPath(char* out, int size);

// The temporary folder followed by "Lumenweave-<process id>.swf".
void GetTempMoviePath(char* out, int size);

// Copies the movie appended to the saver file `source` (behind the
// engine's image) to `target`, created anew. 0 on success, else
// kExitNoMovie, kExitDamagedMovie or kExitCannotPlay; a failed copy leaves
// no target behind.
int ExtractMovie(const char* source, const char* target);
