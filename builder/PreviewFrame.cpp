// The preview frame and its output window.
#include "builder/PreviewFrame.h"

bool OpenPreview(UINT* times, bool autoStart) { return false; }
