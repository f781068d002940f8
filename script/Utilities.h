// Small free functions shared by the script classes, the editor and the
// output writer: whole files into memory and back out to temporary files,
// the lines of a text, size fitting, text cutting for the script list, the
// parsing of measurement fields and the saver-name check.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Collections.h"
#include "framework/Strings.h"
#include "imaging/TextExtent.h"  // SplitTextLines, GetMultiLineTextExtent

// Reads a whole file into a new data block (DataBlock.h), which the caller
// frees. On failure block and size become null and 0 and, when asked, the
// path followed by "\nCannot be read data." is shown.
int ReadWholeFile(const char* path, uint8_t** block, uint32_t* size, bool showMessage = true);
// Writes the bytes to a new temporary file ("Ssd" prefix) and sets path. On
// failure the file is deleted and "It cannot be made data file." is shown.
int WriteTempFile(const uint8_t* bytes, uint32_t count, CString& path);

// The first line that is not empty, or the last line, or "".
CString FirstNonEmptyLine(const CString& text);
// Keeps an owner-drawn line inside 29,980 pixels (limits x, cuts the text
// and appends "  >>").
void TruncateTextToWidth(HDC dc, CString& text, int& x);

// Fits (w, h) into a box keeping the aspect ratio; never enlarges, and a box
// of zero width or height leaves the size unchanged.
SIZE FitToBoxKeepAspect(int w, int h, SIZE box);

// The measurement rule of the float fields: blanks, a C floating-point
// number (0 only when the text starts with '0'), blanks, then nothing or
// exactly `unit` followed only by blanks.
bool ParseFloatText(const char* text, const char* unit, float* value);
// True for a save name of at least two characters starting with "ss" in
// any case (Windows mishandles such screen savers).
bool IsRiskySaverName(const char* name);

// The shell's display name of a file (its name part when the shell has
// none).
CString GetShellDisplayName(const char* path);

extern const char kCannotReadDataMessage[];  // "\nCannot be read data."
extern const char kCannotMakeDataMessage[];  // "It cannot be made data file."
