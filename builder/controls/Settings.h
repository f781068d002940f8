// The builder's own settings in the application's profile (section
// "Settings"), as the builder and its wizards read and write them; the
// defaults when there is no application object.
#pragma once

#include "framework/Strings.h"

CString GetMyDocumentsPath();
int GetSettingsInt(const char* entry, int defaultValue);
void WriteSettingsInt(const char* entry, int value);
// A remembered folder; the documents folder when none is kept.
CString GetSettingsFolder(const char* entry);
void WriteSettingsString(const char* entry, const char* value);
