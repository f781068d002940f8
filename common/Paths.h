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
// Removes from the temporary folder what runs of our programs that are gone
// left there when they were ended by the system (killed, crashed, a power
// cut): the saver runtime's desktop and wallpaper pictures
// ("desktop-<pid>.bmp", "wallpaper-<pid>.bmp") and the movie engine's movie
// copy ("Lumenweave-<pid>.swf"). A file stays while its process runs; a
// process of that id started after the file was last written did not make
// it. A process that cannot be asked counts as running. Every program of
// ours runs this as it starts.
void RemoveLeftoverTempFiles();

bool FileExists(const char* path);
bool HasSubfolder(const char* folder, const char* name);

bool CreateDirectoryPath(const char* path);
