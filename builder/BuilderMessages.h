// The private window messages of the builder's main frame: how a second
// start of the program, the wizards, the tools and the preview hand it
// work. All of them go to the frame (the window of class kMainFrameClass).
#pragma once

#include <windows.h>

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
// Posted by the preview: open the web address in lParam, a text made by
// PostOpenPreviewUrl, which the frame frees.
constexpr UINT WM_OPEN_PREVIEW_URL = 0x469;
// Sent by the wizards and tools: lParam is a new CSceneCommand* that the
// script takes over and appends at its end; null does nothing.
constexpr UINT WM_ADD_COMMAND = 0x8028;

// The shared block of the hand-over: its name and fixed size (a full path
// and its terminating zero fit; a longer one is cut).
extern const char kHandedFileBlock[];  // "FileNamePath"
constexpr DWORD kHandedFileBlockSize = 1024;

// Posts WM_OPEN_PREVIEW_URL with a copy of the address made with new[],
// which the frame deletes; false (and nothing left behind) when it cannot
// be posted.
bool PostOpenPreviewUrl(HWND frame, const char* address);
