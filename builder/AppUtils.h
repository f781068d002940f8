// Stateless helpers the builder's parts share: special folders and path
// parts, file and folder tests, folder creation, output-name checks, the
// build code, the screen size, and opening web addresses and mail through
// the shell.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"
#include "framework/Strings.h"

CString GetSpecialFolderPath(int csidl);
CString GetMyDocumentsPath();
CString GetFileDirectory(const char* path);  // up to and including the last '\'
CString GetFileName(const char* path);
CString GetPathTitle(const char* path);  // file name without its extension
CString GetFileExtension(const char* path, bool lower);
CString GetTempFilePath(const char* name);

bool FileExists(const char* path);
bool HasSubfolder(const char* folder, const char* name);
// kind 1 also tests ".ssd", 2 ".kvd", 3 ".fsd"; every kind ".scr" and ".exe".
bool IsOutputNameFree(const char* base, int kind);
bool IsIdentifier(const char* text);
bool IsIconFile(HINSTANCE instance, const char* path);

bool CreateDirectoryPath(const char* path);
// "Apr 26 2005" -> "050426".
CString FormatBuildDate(const char* date);
CSize GetScreenSize();
// 0 unknown, 1 Windows 95, 2 98/Me, 3 NT 4, 4 2000, 5 XP/2003.
int GetWindowsKind();
bool IsInternetExplorerInstalled();
bool IsActiveDesktopOn(bool useSettings);
CString GetBrowserPath();
CString GetBrowserOpenCommand();
// Opens the address in the browser; true when no browser could be started
// and the shell was asked to open the address itself.
bool OpenUrl(const char* address);
bool SendMail(const char* address, const char* subject);
