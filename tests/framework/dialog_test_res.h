/* Resource ids of the dialog test program. */
#ifndef LW_TESTS_DIALOG_TEST_RES_H
#define LW_TESTS_DIALOG_TEST_RES_H

/* The probe: two fields, a check box and a group of three radio buttons. */
#define IDD_PROBE 200
#define IDC_NUMBER 1000
#define IDC_NAME 1001
#define IDC_MUTE 1002
#define IDC_ONE 1003
#define IDC_TWO 1004
#define IDC_THREE 1005

/* Radio buttons whose tab order is not the order of their ids. */
#define IDD_KEYS 201
#define IDC_KEYS_LABEL 1300
#define IDC_KEY_ENTER 1343
#define IDC_KEY_SPACE 1344
#define IDC_KEY_F12 1345
#define IDC_KEY_ANY 1346
#define IDC_KEYS_DISABLE 1368

#endif
