// The "ss" save name rule (see SaverName.h).
#include "script/SaverName.h"

bool IsRiskySaverName(const char* name) {
  return name != nullptr && (name[0] == 's' || name[0] == 'S') &&
         (name[1] == 's' || name[1] == 'S');
}
