// The main frame's wizard and tool commands that build a script for the
// user and write the saver and its installer: the one-step wizard, the
// Flash-to-SCR tool, the Direct Flash tool and the flash presentation.
// Each takes the frame whose document it fills.
#pragma once

#include <windows.h>

#include "framework/Strings.h"

class CFrameWnd;

// The profile value that names the wizard the toolbar button runs again:
// 0 Standard, 1 One-Step, 2 Flash-to-SCR.
extern const char kLastWizardEntry[];  // "LastWizard"
// The command the toolbar button sends for a "LastWizard" value; 0 for a
// value that names no wizard.
UINT LastWizardCommand(int lastWizard);

void RunOneStepWizard(CFrameWnd* frame);
void RunFlashToScr(CFrameWnd* frame);
void RunDirectFlash(HWND owner);
// True when the saver was written.
bool RunFlashPresentation(CFrameWnd* frame);

// The extension Direct Flash's saver must end in: the chosen path with
// ".scr" put after it unless it already ends so (letter case aside).
CString WithScrExtension(const char* path);
