// Opening web addresses: the registered browser, or else the shell.
#pragma once

#include "framework/Strings.h"

CString GetBrowserPath();
CString GetBrowserOpenCommand();
// Opens the address in the browser, or else asks the shell to open the
// address itself; true when something was started.
bool OpenUrl(const char* address);
