/* The framework's standard ids: the commands that its documents, frames and
   application handle themselves (new, open, save, exit, the recent files,
   the bars' View items, the next and previous pane), the ids of the
   windows it lays out (bars and panes), and the strings it loads from the
   program's string table (the idle message, the file-dialog titles and
   filter). A program's menus, accelerators and string tables use them, so
   this file holds nothing but #defines: resource scripts include it. */
#ifndef LW_FRAMEWORK_COMMAND_IDS_H
#define LW_FRAMEWORK_COMMAND_IDS_H

/* File menu. */
#define ID_FILE_NEW 0xE100         /* 57600 */
#define ID_FILE_OPEN 0xE101        /* 57601 */
#define ID_FILE_CLOSE 0xE102       /* 57602 */
#define ID_FILE_SAVE 0xE103        /* 57603 */
#define ID_FILE_SAVE_AS 0xE104     /* 57604 */
#define ID_FILE_PRINT_SETUP 0xE106 /* 57606 */
#define ID_FILE_PRINT 0xE107       /* 57607 */

/* The recent-file list's items, in list order. */
#define ID_FILE_MRU_FILE1 0xE110 /* 57616 */
#define ID_FILE_MRU_FILE2 0xE111
#define ID_FILE_MRU_FILE3 0xE112
#define ID_FILE_MRU_FILE4 0xE113
#define ID_FILE_MRU_LAST 0xE11F

/* Edit menu. */
#define ID_EDIT_COPY 0xE122       /* 57634 */
#define ID_EDIT_CUT 0xE123        /* 57635 */
#define ID_EDIT_PASTE 0xE125      /* 57637 */
#define ID_EDIT_SELECT_ALL 0xE12A /* 57642 */
#define ID_EDIT_UNDO 0xE12B       /* 57643 */

/* Application. */
#define ID_APP_ABOUT 0xE140 /* 57664 */
#define ID_APP_EXIT 0xE141  /* 57665 */

/* Keyboard moves between the panes of a splitter (F6, Shift+F6). */
#define ID_NEXT_PANE 0xE150
#define ID_PREV_PANE 0xE151

/* View menu: a bar's item has the bar's window id. */
#define ID_VIEW_TOOLBAR 0xE800    /* 59392 */
#define ID_VIEW_STATUS_BAR 0xE801 /* 59393 */

/* Window ids of what a frame lays out. */
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_PANE_FIRST 0xE900 /* the frame's view or splitter; a splitter's first pane */
#define AFX_IDW_PANE_LAST 0xE9FF

/* Strings of the program's string table that the framework shows. */
#define AFX_IDS_APP_TITLE 0xE000   /* 57344: the application's name */
#define AFX_IDS_IDLEMESSAGE 0xE001 /* 57345: "Ready" */
#define AFX_IDS_OPENFILE 0xF000    /* 61440: "Open" */
#define AFX_IDS_SAVEFILE 0xF001    /* 61441: "Save As" */
#define AFX_IDS_ALLFILTER 0xF002   /* 61442: "All Files (*.*)" */
#define AFX_IDS_UNTITLED 0xF003    /* 61443: "Untitled" */

/* The toolbar resource type and the status bar's indicator panes (each the
   id of a string that holds the pane's text).

   A toolbar resource (type RT_TOOLBAR) is user data of WORDs, written in a
   resource script as

     IDR_MAINFRAME RT_TOOLBAR
     BEGIN
       1, 16, 15, 5,                     version, image width, image height, item count
       ID_FILE_NEW, ID_FILE_OPEN, 0,     the items' command ids, 0 for a separator
       ID_EDIT_CUT, ID_EDIT_COPY
     END

   CToolBar::LoadToolBar reads it (Bars.h). */
#define RT_TOOLBAR 241

/* The status bar's message pane. */
#define ID_SEPARATOR 0

/* Key indicators: their strings ("CAP", "NUM", "SCRL") are the panes' text
   while the key is toggled on. */
#define ID_INDICATOR_CAPS 0xE701 /* 59137 */
#define ID_INDICATOR_NUM 0xE702  /* 59138 */
#define ID_INDICATOR_SCRL 0xE703 /* 59139 */

#endif

