// The builder's build of the script code: exact version lists, the options
// record and its file, the options' wait tick, the builder's random seeds;
// pictures are drawn as the document holds them.
#include <cstdlib>
#include <new>

#include "framework/Exceptions.h"

#include "script/Options.h"
#include "script/Palette.h"
#include "script/PickSource.h"
#include "script/SceneDocument.h"
#include "script/ScriptPolicy.h"

namespace ScriptPolicy {

bool AcceptSceneHeader(const CString& id, float version, CSceneVersion& out) {
  float marker = 0.0f;
  if (id == kSceneIdCurrent) {
    if (!IsAcceptedVersion(version, 0, nullptr)) return false;
  } else if (id == kSceneIdOlder) {
    if (!IsAcceptedVersion(version, 1, &marker)) return false;
  } else {
    return false;
  }
  out.version = version;
  out.oldMarker = marker;
  return true;
}

CBuilderOptions* CreatePaletteOptions() {
  CBuilderOptions* options = new (std::nothrow) CBuilderOptions;
  if (options == nullptr) AfxThrowMemoryException();
  return options;
}

void LoadPaletteOptions(CCommandPalette& palette) { palette.SerializeOptions(true); }

void DeletePaletteOptions(CBuilderOptions* options) { delete options; }

int GetWaitTick(const CBuilderOptions* options) {
  return (options != nullptr && options->m_waitTick > 0) ? options->m_waitTick : 100;
}

int GetWaitBeepInterval(const CBuilderOptions* options) {
  if (options == nullptr) return 1;
  const int interval = options->m_beepOnWait / GetWaitTick(options);
  return interval < 0 ? 0 : interval;
}

int MakePickSeed(CPickSource& source) {
  uint32_t m = static_cast<uint32_t>(source.GetSystemMilliseconds());
  uint32_t t = source.GetTickCount();
  uint32_t times = source.GetSpeedValue();
  int r = rand();
  if (r == 0) r = 2;
  // 32-bit signed arithmetic, wrapping as the stored scripts expect.
  int32_t product = static_cast<int32_t>(((t << 16) | (m & 0xFFFF)) * times);
  return product / r;
}

int GetColourRangeHigh() { return 5000; }

bool TakeSourcePicture(CImageTextObject&) { return false; }

void SetSourcePicturePaths(const char*, const char*) {}

}  // namespace ScriptPolicy
