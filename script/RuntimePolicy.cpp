// The saver runtime's build of the script code: any header of the two
// identification strings with a version not above 4.71 (in double
// precision), no options record, a fixed wait tick, its own random seeds,
// and desktop and wallpaper pictures of the machine it runs on.
#include <windows.h>

#include <cstdlib>

#include "script/Objects.h"
#include "script/PickSource.h"
#include "script/SceneVersion.h"
#include "script/ScriptPolicy.h"

namespace {
// Set by the application before the scene thread starts; read on it.
char g_desktopPicture[MAX_PATH] = "";
char g_wallpaperPicture[MAX_PATH] = "";
}  // namespace

namespace ScriptPolicy {

bool AcceptSceneHeader(const CString& id, float version, CSceneVersion& out) {
  const bool older = id == kSceneIdOlder;
  if (!older && id != kSceneIdCurrent) return false;
  // The float widened exactly: a stored 4.71f lies above 4.71 and fails; a
  // NaN fails too.
  if (!(static_cast<double>(version) <= 4.71)) return false;
  out.version = version;
  out.oldMarker = older ? version : 0.0f;
  return true;
}

CBuilderOptions* CreatePaletteOptions() { return nullptr; }

void LoadPaletteOptions(CCommandPalette&) {}

void DeletePaletteOptions(CBuilderOptions*) {}

int GetWaitTick(const CBuilderOptions*) { return 100; }

int GetWaitBeepInterval(const CBuilderOptions*) { return 0; }

int MakePickSeed(CPickSource& source) {
  uint32_t m = static_cast<uint32_t>(source.GetSystemMilliseconds());
  uint32_t b = static_cast<uint32_t>(rand());
  uint32_t t = source.GetTickCount();
  uint32_t times = source.GetSpeedValue();
  int r = rand();
  if (r == 0) r = 2;
  uint32_t u = source.GetTickCount();
  int32_t product = static_cast<int32_t>(((t << 16) | ((b * m) & 0xFFFF)) * times);
  int32_t rest = static_cast<int32_t>(u % static_cast<uint32_t>(r));
  return static_cast<int32_t>(static_cast<uint32_t>(product / r) +
                              static_cast<uint32_t>(rest) * static_cast<uint32_t>(rest));
}

int GetColourRangeHigh() { return 500; }

bool TakeSourcePicture(CImageTextObject& object) {
  if (object.IsText() || (object.m_imageSource != 2 && object.m_imageSource != 3)) return false;
  const char* path = object.m_imageSource == 2 ? g_desktopPicture : g_wallpaperPicture;
  // Taken once, whatever comes of it: a failed read is reported once.
  object.m_imageSource = 1;
  if (path[0] == 0) return false;
  object.LoadImageFile(path);
  return true;
}

void SetSourcePicturePaths(const char* desktop, const char* wallpaper) {
  lstrcpynA(g_desktopPicture, desktop ? desktop : "", MAX_PATH);
  lstrcpynA(g_wallpaperPicture, wallpaper ? wallpaper : "", MAX_PATH);
}

}  // namespace ScriptPolicy
