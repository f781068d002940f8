// Resource ids of the builder Lumenweave.
#pragma once

#define IDR_MAINFRAME 128    // program icon
#define IDR_SCENETYPE 129    // ".fsd" document icon, icon index 1

// The carried programs, resources of type "FILE", copied out byte for byte.
#define IDR_FILE_RUNTIME 271    // Halcyra, the saver runtime
#define IDR_FILE_INSTALLER 274  // Quenlark, the installer stub
#define IDR_FILE_ENGINE 446     // Emberlyn, the movie engine
