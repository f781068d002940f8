// The script list's text: the first line of a text for the labels, and
// the cutting of an owner-drawn line. Only the builder's build of the
// script model compiles them.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

// The first line that is not empty, or the last line, or "".
CString FirstNonEmptyLine(const CString& text);
// Keeps an owner-drawn line inside 29,980 pixels (limits x, cuts the text
// and appends "  >>").
void TruncateTextToWidth(HDC dc, CString& text, int& x);
