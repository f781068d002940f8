// Helpers only the builder and its wizards use: the documents folder,
// output-name checks, identifiers, icon files, the build code and mail.
// What the saver runtime shares with them is in common/AppUtils.h.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

CString GetMyDocumentsPath();
// The builder's own settings in the application's profile (section
// "Settings"); defaults when there is no application object.
int GetSettingsInt(const char* entry, int defaultValue);
void WriteSettingsInt(const char* entry, int value);
// A remembered folder; the documents folder when none is kept.
CString GetSettingsFolder(const char* entry);
void WriteSettingsString(const char* entry, const char* value);
// kind 1 also tests ".ssd", 2 ".kvd", 3 ".fsd"; every kind ".scr" and ".exe".
bool IsOutputNameFree(const char* base, int kind);
bool IsIdentifier(const char* text);
// True when the name can stand alone as a file or folder name: not empty,
// no control character, none of \ / : * ? " < > |, no final dot or space
// (so neither "." nor ".."), and no device name (CON, PRN, AUX, NUL, COM0
// to COM9, LPT0 to LPT9, alone or before an extension).
bool IsFileNameComponent(const char* name);
// What a dialog says when it refuses such a saver name; kind is "file" or
// "folder".
CString FileNameRefusal(const char* kind);
bool IsIconFile(HINSTANCE instance, const char* path);
// "Apr 26 2005" -> "050426".
CString FormatBuildDate(const char* date);
bool SendMail(const char* address, const char* subject);
// Opens the file or folder through the shell (its default verb), owned by
// the program's main window.
void OpenInShell(const char* file, int show);
