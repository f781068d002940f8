// Entry point of the movie engine Emberlyn.
#include <windows.h>

#include "../framework/Terminate.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 0;
}
