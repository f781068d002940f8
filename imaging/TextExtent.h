// Measuring a text of several lines: the script list draws its labels with
// it and the picture layer sizes the bitmap a text object is rendered into,
// so both agree on where the lines break and how big the text is.
#pragma once

#include <windows.h>

#include "framework/Collections.h"
#include "framework/Strings.h"

// The extent of the first `length` characters; (0, 0) for none.
SIZE GetTextExtentOf(HDC dc, const char* text, int length);
// The lines of a text: split at line feeds, a carriage return just before a
// line feed dropped (the last line whole).
void SplitTextLines(const CString& text, CStringArray& lines);
// The widest line's extent by the number of lines times the height of "W";
// 1 when both are nonzero.
int GetMultiLineTextExtent(HDC dc, const CString& text, RECT* out);
