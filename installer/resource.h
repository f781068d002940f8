// Resource ids of the installer stub Quenlark.
#pragma once

// Icon images 1, 2 and 3 of this group are patched by the output writer.
#define IDI_INSTALLER 1
