// The measurement rule of the float fields (see MeasureField.h).
#include "script/MeasureField.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>

const char kNotMeasurementMessage[] = "This is not a valid measurement.";

bool ParseFloatText(const char* text, const char* unit, float* value) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  char* end = nullptr;
  double number = strtod(p, &end);
  if (end == p) return false;
  if (number == 0.0 && *p != '0') return false;
  // A number no float holds is no measurement either.
  if (!(number >= -FLT_MAX && number <= FLT_MAX)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != 0) {
    size_t unitLength = unit != nullptr ? strlen(unit) : 0;
    if (unitLength == 0 || strncmp(end, unit, unitLength) != 0) return false;
    end += unitLength;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != 0) return false;
  }
  *value = static_cast<float>(number);
  return true;
}
