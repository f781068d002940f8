// The builder's own script utilities (see BuilderUtilities.h): kept out of
// the saver runtime, which has no script list, no dialog fields and no save
// dialog (the float parser alone would link the C library's strtod).
#include "script/BuilderUtilities.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "framework/Collections.h"
#include "framework/Dialog.h"
#include "framework/TextFormat.h"
#include "imaging/RgbImage.h"
#include "imaging/TextExtent.h"

CString FirstNonEmptyLine(const CString& text) {
  CStringArray lines;
  SplitTextLines(text, lines);
  for (int i = 0; i < lines.GetSize(); ++i) {
    if (!lines[i].IsEmpty()) return lines[i];
  }
  return lines.IsEmpty() ? CString() : lines[lines.GetSize() - 1];
}

void TruncateTextToWidth(HDC dc, CString& text, int& x) {
  const int kLimit = 29980;
  const char kMark[] = "  >>";
  const int markWidth = GetTextExtentOf(dc, kMark, 4).cx;
  const int maxX = kLimit - 20 * GetTextExtentOf(dc, "W", 1).cx - markWidth;
  if (x > maxX) x = maxX;
  if (x + GetTextExtentOf(dc, text, text.GetLength()).cx <= kLimit) return;
  int room = kLimit - x - markWidth;
  int fit = 0;
  SIZE size;
  if (room > 0) GetTextExtentExPointA(dc, text, text.GetLength(), room, &fit, nullptr, &size);
  text = text.Left(fit) + kMark;
}

SIZE FitToBoxKeepAspect(int w, int h, SIZE box) { return FitSizeKeepAspect(w, h, box); }

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

void DDX_FloatText(CDataExchange* dx, int id, float& value, const char* unit) {
  HWND control = dx->PrepareCtrl(id);
  if (!dx->m_bSaveAndValidate) {
    char text[48];
    FormatText(text, sizeof text, "%.*g", 6, static_cast<double>(value));
    ::SetWindowTextA(control, text);
    return;
  }
  if (dx->SkipsField()) return;
  char text[32] = "";
  ::GetWindowTextA(control, text, sizeof text);
  dx->WillWrite(value);
  if (!ParseFloatText(text, unit, &value)) dx->Fail(kNotMeasurementMessage);
}

const char kNotMeasurementMessage[] = "This is not a valid measurement.";

bool IsRiskySaverName(const char* name) {
  return name != nullptr && (name[0] == 's' || name[0] == 'S') &&
         (name[1] == 's' || name[1] == 'S');
}
