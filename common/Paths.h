// Special folders and path parts, file and folder tests, and folder
// creation: what the saver runtime shares with the builder about files.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

CString GetSpecialFolderPath(int csidl);
CString GetFileDirectory(const char* path);  // up to and including the last '\'
CString GetFileName(const char* path);
CString GetPathTitle(const char* path);  // file name without its extension
// The text after the last '.' of the file name; "" when the name has none.
CString GetFileExtension(const char* path, bool lower);
CString GetTempFilePath(const char* name);
// The temporary folder followed by "<name>-<process id>.<extension>", into
// out: a file that no other program, and no other run of the same one,
// uses at the same time (a saver's preview beside its run).
void GetProcessTempPath(const char* name, const char* extension, char* out, int size);

bool FileExists(const char* path);
bool HasSubfolder(const char* folder, const char* name);

bool CreateDirectoryPath(const char* path);
