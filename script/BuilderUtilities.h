// Small free functions of the builder's script editing: the first line of a
// text for the labels, text cutting for the owner-drawn script list, a size
// fitting rule, the parsing of measurement fields and the saver-name check.
// Only the builder's build of the script model compiles them.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

class CDataExchange;

// The first line that is not empty, or the last line, or "".
CString FirstNonEmptyLine(const CString& text);
// Keeps an owner-drawn line inside 29,980 pixels (limits x, cuts the text
// and appends "  >>").
void TruncateTextToWidth(HDC dc, CString& text, int& x);

// Fits (w, h) into a box keeping the aspect ratio; never enlarges, and a box
// of zero width or height leaves the size unchanged.
SIZE FitToBoxKeepAspect(int w, int h, SIZE box);

// The measurement rule of the float fields: blanks, a C floating-point
// number (0 only when the text starts with '0'), blanks, then nothing or
// exactly `unit` followed only by blanks.
bool ParseFloatText(const char* text, const char* unit, float* value);
// Dialog data exchange of a float field by that rule: shown in six
// significant digits; a text the rule refuses shows "This is not a valid
// measurement." and fails the exchange (the dialog stays open with the
// field focused). The unit is not written: a dialog that shows it appends
// it itself. A field the user cannot reach keeps its value.
void DDX_FloatText(CDataExchange* dx, int id, float& value, const char* unit = "");
extern const char kNotMeasurementMessage[];  // "This is not a valid measurement."
// True for a save name of at least two characters starting with "ss" in
// any case (Windows mishandles such screen savers).
bool IsRiskySaverName(const char* name);
