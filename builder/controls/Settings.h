// The builder's own settings: the values of one section of the
// application's profile, as the builder and its wizards read and write
// them; the defaults when there is no application object.
#pragma once

#include "framework/Strings.h"

extern const char kSettingsSection[];  // "Settings"

CString GetMyDocumentsPath();
int GetSettingsInt(const char* entry, int defaultValue);
void WriteSettingsInt(const char* entry, int value);
CString GetSettingsString(const char* entry, const char* defaultValue = "");
void WriteSettingsString(const char* entry, const char* value);
// A remembered folder; the documents folder when none is kept.
CString GetSettingsFolder(const char* entry);
