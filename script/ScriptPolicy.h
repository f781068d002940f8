// The per-build policy: what differs between the builder's and the saver
// runtime's build of the script code beyond the operations they carry.
// BuilderPolicy.cpp and RuntimePolicy.cpp each define these once.
#pragma once

#include <cstdint>

#include "framework/Strings.h"

class CBuilderOptions;
class CCommandPalette;
class CImageTextObject;
class CPickSource;
struct CSceneVersion;

namespace ScriptPolicy {

// The document header rule: given the identification string and the version
// read, fills the per-read version state and returns true, or returns false
// for a header or version this build does not accept.
bool AcceptSceneHeader(const CString& id, float version, CSceneVersion& out);

// The palette's options record: the builder's holds the defaults until
// LoadPaletteOptions reads the options file; the runtime has none (null).
CBuilderOptions* CreatePaletteOptions();
void LoadPaletteOptions(CCommandPalette& palette);
void DeletePaletteOptions(CBuilderOptions* options);

// The Wait command's tick in milliseconds (the runtime's is fixed at 100).
int GetWaitTick(const CBuilderOptions* options);
// How many ticks of a Wait lie between beeps in step mode; 0: no beep (the
// runtime never beeps).
int GetWaitBeepInterval(const CBuilderOptions* options);

// The seed of a random colour or position pick, called right after srand()
// with the attribute's own seed; the runtime mixes in more of the clock.
int MakePickSeed(CPickSource& source);
// The upper bound of a random colour's range.
int GetColourRangeHigh();

// Called before a picture object is drawn. A picture made from the desktop
// (image source 2) or the wallpaper (3) shows, in the saver runtime, this
// machine's own: the first drawing reads the picture file given by
// SetSourcePicturePaths into the object (or, when it cannot be read, leaves
// it without a picture after the read message) and the object's source
// becomes 1, so later drawings reuse it. Returns true when the object's
// picture was replaced. The builder draws the bytes the document holds.
bool TakeSourcePicture(CImageTextObject& object);
// The saver runtime's desktop and wallpaper picture files (null or empty:
// none, the stored picture is drawn). The builder ignores them.
void SetSourcePicturePaths(const char* desktop, const char* wallpaper);

}  // namespace ScriptPolicy
