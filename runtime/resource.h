// Resource ids of the saver runtime Halcyra.
#pragma once

// The icon images 1, 2 and 3 (16, 32 and 48 pixels) of this group and the
// logo bitmap are the slots the output writer patches with custom ones.
#define IDI_SAVER 1
#define IDB_LOGO 144

// Cursors: fully transparent while the saver runs, an arrow while the
// password is asked for.
#define IDCUR_BLANK 131
#define IDCUR_ARROW 193

// Dialogs.
#define IDD_NEWPASSWORD 102
#define IDD_PASSWORD 103
#define IDD_SETTINGS 133

// Controls.
#define IDC_PASSWORD 1000
#define IDC_CONFIRM 1001
#define IDC_NEWPASSWORD 1002
#define IDC_MUTE 1004
#define IDC_MOUSEMOVE 1006
#define IDC_BUTTONDOWN 1007
#define IDC_DOUBLECLICK 1008
#define IDC_KEYDOWN 1009
#define IDC_ESCAPE 1010
#define IDC_STANDARD 1013
#define IDC_CUSTOM 1014

// The test-run Exit button and its holder window.
#define IDC_EXITBUTTON 17818
#define IDC_EXITHOLDER 65452

// Messages.
#define IDS_WRONGPASSWORD 33000
#define IDS_PASSWORDMISMATCH 33001
#define IDS_PASSWORDCHANGED 33002
