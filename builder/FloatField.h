// Dialog data exchange of a float field by the measurement rule
// (script/MeasureField.h).
#pragma once

class CDataExchange;

// Shown in six significant digits; a text the rule refuses shows "This is
// not a valid measurement." and fails the exchange (the dialog stays open
// with the field focused). The unit is not written: a dialog that shows it
// appends it itself. A field the user cannot reach keeps its value.
void DDX_FloatText(CDataExchange* dx, int id, float& value, const char* unit = "");
