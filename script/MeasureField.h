// The measurement rule of the dialogs' float fields. Only the builder's
// build of the script model compiles it (the saver runtime would link the C
// library's strtod for it).
#pragma once

// The measurement rule of the float fields: blanks, a C floating-point
// number (0 only when the text starts with '0'), blanks, then nothing or
// exactly `unit` followed only by blanks.
bool ParseFloatText(const char* text, const char* unit, float* value);
// What a field shows when the rule refuses its text.
extern const char kNotMeasurementMessage[];  // "This is not a valid measurement."
