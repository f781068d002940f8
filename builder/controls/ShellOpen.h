// The program's folder, and what the shell opens for the builder and its
// wizards: files and folders, and mail.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

// The program's folder, with its last backslash.
CString GetProgramFolder();
bool SendMail(const char* address, const char* subject);
// Opens the file or folder through the shell (its default verb), owned by
// the program's main window.
void OpenInShell(const char* file, int show);
