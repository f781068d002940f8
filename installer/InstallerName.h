// The names the installer derives from its own file: the saver's name that
// the window shows, and the file name the saver gets in the system folder.
// Pure text rules, without the file system, so that they are tested from
// strings.
#pragma once

#include "framework/Strings.h"

namespace installer {

// The saver's name: the file name without a trailing ".exe" (any case).
CString SaverName(const char* path);
// The installed file's name: the file name with a trailing ".exe" (any
// case) replaced by ".scr", or the whole file name followed by ".scr".
CString InstalledFileName(const char* path);
// The window caption: the saver's name cut to 25 characters, then
// " - Quenlark".
CString WindowCaption(const char* path);

}  // namespace installer
