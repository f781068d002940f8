/* Resource ids of the property sheet test program: three pages. */
#ifndef LW_TESTS_PROPERTY_SHEET_TEST_RES_H
#define LW_TESTS_PROPERTY_SHEET_TEST_RES_H

#define IDD_NUMBER 310 /* a number with a range */
#define IDC_COUNT 1000
#define IDD_CHOICE 311 /* a check box with two buttons */
#define IDC_KEEP 1001
#define IDC_MINE 1002
#define IDC_OWNERS 1003
#define IDD_DONE 312   /* a last page with a note */
#define IDC_NOTE 1004

#endif
