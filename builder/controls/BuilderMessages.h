// The private window messages of the builder's main frame: how a second
// start of the program, the wizards, the tools and the preview hand it
// work. All of them go to the frame (the window of class kMainFrameClass).
#pragma once

#include <windows.h>

#include "framework/Strings.h"

// The main frame's window class, which a second start looks for.
extern const char kMainFrameClass[];  // "Lumenweave3.1"

// Sent by a second start after it wrote its file name (a full path, or
// nothing) into the shared block kHandedFileBlock; wParam and lParam 0. The
// frame opens the file and answers 1.
constexpr UINT WM_OPEN_HANDED_FILE = WM_USER + 102;  // 0x466
// Sent by the wizards and tools: make the screen saver (WM_MAKE_SCR) or the
// installer (WM_MAKE_INSTALLER) of the current document beside it, without
// asking; wParam and lParam 0. The frame answers 1 when the file was made.
constexpr UINT WM_MAKE_SCR = 0x467;
constexpr UINT WM_MAKE_INSTALLER = 0x468;
// Posted by the preview (PostOpenPreviewUrl): open the web address handed
// over under the id in lParam.
constexpr UINT WM_OPEN_PREVIEW_URL = 0x469;
// Sent by the wizards and tools (SendCommandToFrame): the script takes over
// the new command handed over under the id in lParam and appends it at its
// end; answers 1 when it did.
constexpr UINT WM_ADD_COMMAND = 0x8028;

// The shared block of the hand-over: its name and fixed size (a full path
// and its terminating zero fit; a longer one is cut).
extern const char kHandedFileBlock[];  // "FileNamePath"
constexpr DWORD kHandedFileBlockSize = 1024;

// What these messages hand over travels as an id of a table of this
// process, never as a pointer: the frame takes an object only by an id one
// of the functions below handed out, and only once. A message that another
// program, or any other sender, made up names nothing and is ignored.

class CSceneCommand;

// Hands a new command to the frame's script (WM_ADD_COMMAND) and waits for
// it; the command is the script's from then on. True when the script took
// it; otherwise (no frame, no script) the command is deleted.
bool SendCommandToFrame(HWND frame, CSceneCommand* command);
// What the frame does with WM_ADD_COMMAND's lParam: the command handed over
// under that id, now the caller's; null for any other value.
CSceneCommand* TakeHandedCommand(LPARAM id);

// Posts WM_OPEN_PREVIEW_URL with a copy of the address; false (and nothing
// left behind) when it cannot be posted.
bool PostOpenPreviewUrl(HWND window, const char* address);
// What the frame does with WM_OPEN_PREVIEW_URL's lParam: the address handed
// over under that id; false (address untouched) for any other value.
bool TakeHandedAddress(LPARAM id, CString& address);
