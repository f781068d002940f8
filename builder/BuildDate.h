// The build code the builder shows and writes: "yymmdd" of the compile
// date.
#pragma once

#include "framework/Strings.h"

// "Apr 26 2005" -> "050426".
CString FormatBuildDate(const char* date);
