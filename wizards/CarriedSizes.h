// Fixed image sizes of the three programs the builder carries.
//
// Each carried program is padded with zero bytes to exactly this size, and
// whatever the output writer appends (a saver payload, a movie, a whole
// saver behind the installer stub) starts at this offset of the file. The
// build's padding tool, the output writer and the three readers all take
// the sizes from here.
#pragma once

namespace carried {

constexpr unsigned long kRuntimeImageSize = 589824;    // Halcyra, "#271"
constexpr unsigned long kEngineImageSize = 225280;     // Emberlyn, "#446"
constexpr unsigned long kInstallerImageSize = 163840;  // Quenlark, "#274"

}  // namespace carried
