// Resource ids of the saver runtime Halcyra.
#pragma once

// The icon images 1, 2 and 3 (16, 32 and 48 pixels) of this group and the
// logo bitmap are the slots the output writer patches with custom ones.
#define IDI_SAVER 1
#define IDB_LOGO 144
