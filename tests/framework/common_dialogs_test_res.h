/* Resource ids of the common dialog test program. */
#ifndef LW_TESTS_COMMON_DIALOGS_TEST_RES_H
#define LW_TESTS_COMMON_DIALOGS_TEST_RES_H

/* The file dialog's child template (named FILEOPEN_TEMPLATE) holds a
   hidden anchor besides the place of the system's controls. */
#define IDC_ANCHOR 6000

#endif
