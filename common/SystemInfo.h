// What the running system is: the screen size, the Windows kind, and
// whether Internet Explorer and its active desktop are there.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"

CSize GetScreenSize();
// 0 unknown, 1 Windows 95, 2 98/Me, 3 NT 4, 4 2000, 5 XP/2003.
int GetWindowsKind();
bool IsInternetExplorerInstalled();
bool IsActiveDesktopOn(bool useSettings);
