/* The ids that control bars and the resource scripts that describe them
   share: the toolbar resource type, the status bar's indicator panes (each
   the id of a string that holds the pane's text), the bars' window ids and
   the idle message. Resource scripts include this file, so it holds
   nothing but #defines.

   A toolbar resource (type RT_TOOLBAR) is user data of WORDs, written in a
   resource script as

     IDR_MAINFRAME RT_TOOLBAR
     BEGIN
       1, 16, 15, 5,                     version, image width, image height, item count
       ID_FILE_NEW, ID_FILE_OPEN, 0,     the items' command ids, 0 for a separator
       ID_EDIT_CUT, ID_EDIT_COPY
     END

   CToolBar::LoadToolBar reads it (Bars.h). */
#ifndef LW_FRAMEWORK_BAR_IDS_H
#define LW_FRAMEWORK_BAR_IDS_H

#define RT_TOOLBAR 241

/* The status bar's message pane. */
#define ID_SEPARATOR 0

/* Key indicators: their strings ("CAP", "NUM", "SCRL") are the panes' text
   while the key is toggled on. */
#define ID_INDICATOR_CAPS 0xE701 /* 59137 */
#define ID_INDICATOR_NUM 0xE702  /* 59138 */
#define ID_INDICATOR_SCRL 0xE703 /* 59139 */

/* Window ids of the standard bars (also the View menu's items that show
   and hide them), and the string a frame shows when there is no prompt. */
#ifndef AFX_IDW_TOOLBAR
#define AFX_IDW_TOOLBAR 0xE800
#endif
#ifndef AFX_IDW_STATUS_BAR
#define AFX_IDW_STATUS_BAR 0xE801
#endif
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
#endif

#endif
