// Stateless helpers that the saver runtime shares with the builder: special
// folders and path parts, file and folder tests, folder creation, the
// screen size, the Windows kind, and opening web addresses through the
// browser or the shell. The builder's own helpers are in builder/controls/
// (its settings, output names and shell actions).
#pragma once

#include <windows.h>

#include "framework/Geometry.h"
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
CSize GetScreenSize();
// 0 unknown, 1 Windows 95, 2 98/Me, 3 NT 4, 4 2000, 5 XP/2003.
int GetWindowsKind();
bool IsInternetExplorerInstalled();
bool IsActiveDesktopOn(bool useSettings);
CString GetBrowserPath();
CString GetBrowserOpenCommand();
// Opens the address in the browser, or else asks the shell to open the
// address itself; true when something was started.
bool OpenUrl(const char* address);
