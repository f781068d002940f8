// The build code of the compile date.
#include "builder/BuildDate.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

CString FormatBuildDate(const char* date) {
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (strncmp(date, kMonths + 3 * m, 3) == 0) month = m + 1;
  int length = lstrlenA(date);
  int day = length > 4 ? atoi(date + 4) : 0;
  int year = length > 6 ? atoi(date + 6) : 0;
  CString code;
  code.Format("%02d%02d%02d", year - 2000, month, day);
  return code;
}
