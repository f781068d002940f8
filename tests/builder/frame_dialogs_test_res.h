/* Resource ids of the frame dialogs test's own dialog. */
#ifndef LW_TESTS_FRAME_DIALOGS_TEST_RES_H
#define LW_TESTS_FRAME_DIALOGS_TEST_RES_H

#define IDD_TARGETS 9100
#define IDC_TARGETS 9101
#define IDC_TARGETS_LABEL 9102

#endif
