/* Resource ids of the dialog user interface test program. */
#ifndef LW_TESTS_DIALOG_UI_TEST_RES_H
#define LW_TESTS_DIALOG_UI_TEST_RES_H

/* The bitmap button's drawn pictures. */
#define IDB_UP 501
#define IDB_DOWN 502

/* The exchange dialog: fields, lists, a slider and buttons. */
#define IDD_EXCHANGE 300
#define IDC_NAME 1000
#define IDC_COUNT 1001
#define IDC_STYLE 1002
#define IDC_LIST 1003
#define IDC_LEVEL 1004
#define IDC_OWN 1005
#define IDC_MINE 1006
#define IDC_THEIRS 1007
#define IDC_NOBODY 1008
#define IDC_NESTED 1009
#define IDC_FACE 1010
#define IDC_RATIO 1011

#endif
