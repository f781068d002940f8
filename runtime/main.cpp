// Entry point of the saver runtime Halcyra.
#include <windows.h>

#include "../framework/Terminate.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return 0;
}
