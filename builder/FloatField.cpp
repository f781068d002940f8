// The float fields' data exchange (see FloatField.h).
#include "builder/FloatField.h"

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/TextFormat.h"
#include "script/MeasureField.h"

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
