// What the names and files of a saver to be made must be: output names
// that are free, identifiers, names that stand alone as a file or folder
// name, and icon files.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

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
