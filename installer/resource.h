// Resource ids of the installer stub Quenlark.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialogs.
#define IDD_ABOUTBOX 100
#define IDD_INSTALLER 102

// The program's icon. Its images 1, 2 and 3 are what the output writer
// patches with a custom icon.
#define IDI_INSTALLER 128

// Controls of the installer window.
#define IDC_INSTALL 1002
#define IDC_PREVIEW 1003
#define IDC_UNINSTALL 1004
#define IDC_SAVER_NAME 1005
#define IDC_PROGRESS 1007

// The system menu's About item (a multiple of 16, as system commands are).
#define IDM_ABOUTBOX 0x0010

// Strings.
#define IDS_ABOUTBOX 101
#define IDS_TEMP_FAILED 102
