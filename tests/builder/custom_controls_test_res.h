/* Resource ids of the custom controls test program. */
#ifndef LW_TESTS_CUSTOM_CONTROLS_TEST_RES_H
#define LW_TESTS_CUSTOM_CONTROLS_TEST_RES_H

/* The rollover button's normal, hover and disabled pictures, in a row. */
#define IDB_ROLLOVER 610
#define IDB_ROLLOVER_HOVER 611
#define IDB_ROLLOVER_DISABLED 612

#define IDD_CONTROLS 400
#define IDC_TOGGLE 1021
#define IDC_DEFAULT 1229
#define IDC_PLAIN 1003
#define IDC_ROLLOVER 1004
#define IDC_PREVIEW 1099
#define IDC_SIZE_LABEL 1170
#define IDC_PROGRESS 1324
#define IDC_DURATION 1019

#endif
