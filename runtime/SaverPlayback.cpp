// The default player of the saver runtime: no script reader, nothing plays.
#include "runtime/SaverPlayback.h"

namespace {
CSaverPlayback g_noPlayback;
CSaverPlayback* g_playback = &g_noPlayback;
}  // namespace

bool CSaverPlayback::LoadScript(HANDLE, ULONGLONG, ULONGLONG, char* reason, int reasonSize) {
  lstrcpynA(reason, "this saver has no script reader", reasonSize);
  return false;
}

CSaverPlayback* GetSaverPlayback() { return g_playback; }

CSaverPlayback* SetSaverPlayback(CSaverPlayback* playback) {
  CSaverPlayback* old = g_playback;
  g_playback = playback ? playback : &g_noPlayback;
  return old;
}
