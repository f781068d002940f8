/* Resource ids of the document/view test program. */
#ifndef LW_TESTS_DOCVIEW_TEST_RES_H
#define LW_TESTS_DOCVIEW_TEST_RES_H

#define IDR_PROBE 128
#define ID_PROBE_ROUTE 40001 /* every target logs it and passes it on but the application */
#define ID_PROBE_KEY 40002   /* F2 in the accelerator table */

#endif
