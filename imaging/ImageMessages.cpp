// The picture layer's visible reports take the framework's path for
// library messages: a thread that must never stop for a box silences
// itself there.
#include <windows.h>

#include "framework/Seams.h"
#include "imaging/RgbImage.h"

void ShowImageLibMessage(const char* text) { ShowLibraryMessage(text, MB_OK); }

CString ShowImageLibError(int code) { return CString(GetImageErrorText(code)); }
