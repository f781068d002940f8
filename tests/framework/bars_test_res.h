/* Resource ids of the control bar test program. */
#ifndef LW_TESTS_BARS_TEST_RES_H
#define LW_TESTS_BARS_TEST_RES_H

/* Commands of the test toolbar and menu. */
#define ID_ALPHA 100
#define ID_BRAVO 101
#define ID_CHARLIE 102
#define ID_DELTA 103
#define ID_ECHO 104

#define IDR_TOOLBAR 128            /* alpha, bravo, |, charlie, delta, |, echo */
#define IDR_TOOLBAR_VERSION 129    /* a version the bar does not know */
#define IDR_TOOLBAR_SHORT 130      /* a count beyond the data */
#define IDR_MENU 131               /* the pop-ups Edit and More */
#define IDR_TOOLBAR_PICTURED 132   /* alpha, bravo, with a bitmap of its id */
#define IDB_GREEN 133              /* one green image */

#endif
