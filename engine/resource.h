// Resource ids of the movie engine Emberlyn.
#pragma once

#define IDI_ENGINE 128

#define IDS_CONFIG_MESSAGE 102
#define IDS_CONFIG_CAPTION 103
#define IDS_PREVIEW_TITLE 104
