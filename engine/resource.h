// Resource ids of the movie engine Emberlyn.
#pragma once

#define IDI_ENGINE 1
