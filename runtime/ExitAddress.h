// The end of a saver: the address that a Url command's key chose is opened
// in the web browser. Which way depends on the system: on Windows 2000 and
// XP the browser itself is started with the address and the saver waits
// until the browser is closed; elsewhere the shell opens the address and
// the saver ends at once. Only web addresses are ever handed on.
#pragma once

// 1 Windows 95; 2 Windows 98 or Me; 3 Windows NT 4 or older; 4 Windows
// 2000 or XP (NT 5.x); 0 any other system, or when the version cannot be
// read.
int GetOsClass();
// The same from the Windows kind of GetWindowsKind.
int OsClassOfWindowsKind(int kind);

// True for an address the saver may hand on at its end: it starts with
// "http://" or "https://" (any case), has more after that, and holds no
// quote or control character.
bool IsWebAddress(const char* address);

// Opens the address as the OS class wants it (see above). Returns true when
// a browser or the shell was asked to open it; false for an address that
// is not a web address or when no browser could be started.
bool OpenExitAddress(const char* address, int osClass);
