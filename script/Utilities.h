// Small free functions shared by the script classes, the editor and the
// output writer: whole files into memory and back out to temporary files,
// and the shell's name of a file. The builder's own are in ListText.h,
// MeasureField.h and SaverName.h.
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

// The shell's display name of a file (its name part when the shell has
// none).
CString GetShellDisplayName(const char* path);

extern const char kCannotReadDataMessage[];  // "\nCannot be read data."
extern const char kCannotMakeDataMessage[];  // "It cannot be made data file."
