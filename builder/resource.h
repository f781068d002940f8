// Resource ids of the builder Lumenweave: its menus, accelerators, toolbars,
// bitmaps, strings and dialog templates, and the command ids they carry.
// The commands the framework itself handles (new, open, save, clipboard,
// about, exit, the bars, the panes) keep the framework's ids; only the
// builder's own are defined here, and those the UI kit and the wizards
// use too in builder/controls/ControlsResource.h.
#pragma once

#include "builder/controls/ControlsResource.h"

// ------------------------------------------------------------ resources

// The main frame: icon, menu, accelerators, toolbar (resource type 241)
// and the document template's string all share this id.
#define IDR_MAINFRAME 128
#define IDR_SCENETYPE 129  // ".fsd" document icon, icon index 1

// The preview frame: its toolbar (type 241), the toolbar's bitmap of seven
// 16 x 15 images (Go, Step, Pause, Stop, Sound, Exit, Keep Visible off) and
// its accelerators. The preview's bitmaps have 256 colours on the light grey
// RGB(192, 192, 192), which a toolbar maps to the button face.
#define IDR_PREVIEW 186
// One more 16 x 15 image for the preview toolbar: Keep Visible on (image 7
// once added after the toolbar's own seven).
#define IDB_PREVIEW_KEEPVISIBLE 188

// The command icons, 16 x 16 each, 24-bit, mask COMMANDS_MASK_COLOUR: image 0
// the closed and 1 the open root folder, then image IDI_COMMAND_FIRST + type
// for the fourteen command types.
#define IDB_COMMANDS 190
#define IDI_ROOT_CLOSED 0
#define IDI_ROOT_OPEN 1
#define IDI_COMMAND_FIRST 2

// The main toolbar's 48 x 48 button images in one strip, one image per
// button in the toolbar's order (separators have none), 24-bit with the
// mask colour 0xFF00FF; the disabled list has the same images greyed.
#define IDB_TOOLBAR_DISABLED 302
#define IDB_TOOLBAR 303
#define TOOLBAR_IMAGE_SIZE 48
// Mask colours as COLORREF values.
#define TOOLBAR_MASK_COLOUR 0xFF00FF   // RGB(255, 0, 255), magenta
#define COMMANDS_MASK_COLOUR 0x808000  // RGB(0, 128, 128), teal

// Context menus: sub-menu 0 for the command tree (Add, Insert, Preview),
// sub-menu 1 for the script list.
#define IDR_CONTEXT_MENUS 243
#define CONTEXT_MENU_TREE 0
#define CONTEXT_MENU_SCRIPT 1
// The wizard button's drop-down: sub-menu 0 lists the three wizards.
#define IDR_WIZARD_MENU 426

// The carried programs, resources of type "FILE", copied out byte for byte.
#define IDR_FILE_RUNTIME 271    // Halcyra, the saver runtime
#define IDR_FILE_INSTALLER 274  // Quenlark, the installer stub
#define IDR_FILE_ENGINE 446     // Emberlyn, the movie engine

// ------------------------------------------------------------ commands
//
// Besides these, menu 128, toolbar 128 and accelerator table 128 use the
// framework's ids: 57600 new, 57601 open, 57603 save, 57604 save as,
// 57607 print, 57616 first recent file, 57634 copy, 57635 cut, 57637 paste,
// 57642 select all, 57643 undo, 57664 about, 57665 exit, 57680 next pane,
// 57681 previous pane, 59392 toolbar, 59393 status bar.

// File menu.
#define ID_FILE_MAKESCR 32791
#define ID_FILE_MAKEINSTALL 32873
#define ID_FILE_SETDEFAULT 32878
// Edit menu.
#define ID_EDIT_ACTIVATE 32794
#define ID_EDIT_DEACTIVATE 32795
#define ID_EDIT_ACTIVATEALL 32796
#define ID_EDIT_DELETE 32799
// View menu.
#define ID_VIEW_REFRESH 32792
// Commands menu.
#define ID_COMMAND_ADD 32797
#define ID_COMMAND_INSERT 32798
#define ID_COMMAND_CURRENT 32800
// Tools menu.
#define ID_TOOLS_OPTIONS 32801
#define ID_TOOLS_REUSE 32869
#define ID_TOOLS_STARTWINDOW 32876
#define ID_TOOLS_INSTALLFORSCR 32879
#define ID_TOOLS_FLASHPRESENTATION 32890
#define ID_TOOLS_DIRECTFLASH 32891
// Help menu.
#define ID_HELP_TOPICS 32867
#define ID_HELP_SUPPORT 32888
#define ID_HELP_HOMEPAGE 32889
// The toolbar's wizard button: runs the last wizard again; its arrow
// drops down menu IDR_WIZARD_MENU.
#define ID_WIZARD_LAST 32884
// The item the frame adds to its system menu.
#define IDM_ALWAYSONTOP 32870

// The preview frame's toolbar and accelerators.
#define ID_PREVIEW_GO 32802
#define ID_PREVIEW_STEP 32803
#define ID_PREVIEW_PAUSE 32804
#define ID_PREVIEW_STOP 32805
#define ID_PREVIEW_EXIT 32806
#define ID_PREVIEW_KEEPVISIBLE 32807
#define ID_PREVIEW_SOUND 32845
// Images of the Keep Visible button in the preview toolbar's list.
#define PREVIEW_IMAGE_KEEPVISIBLE_OFF 6
#define PREVIEW_IMAGE_KEEPVISIBLE_ON 7

// ------------------------------------------------------------ strings
//
// String 128 (IDR_MAINFRAME) is the document template's string. The
// framework's strings the builder's table also holds: 57344 the
// application name, 57345 the idle status text, 59137-59139 the caps, num
// and scroll lock indicators, 61442 "All Files (*.*)", 519 the failed OLE
// start. A command's string (id = command id) is "prompt\ntip".

#define IDS_COMMANDS_ROOT 33000   // "Commands", the tree's root
#define IDS_COMMAND_TYPE_FIRST 33001  // + type: the type's name
#define IDS_NOT_A_MEASUREMENT 34006
#define IDS_MISSING_UNTIL 34007
#define IDS_MISSING_REPEAT 34008
#define IDS_DELETE_QUESTION 34009  // + "s" for several, then "?"
#define IDS_NO_MEMORY 34010
#define IDS_CANNOT_READ_DATA 34013
#define IDS_CANNOT_MAKE_DATA_FILE 34014
#define IDS_REGISTRY_KEY 34018  // formatted with the version for keys
#define IDS_DRAG_IMAGE_FILE 34021
#define IDS_KEEP_CLIPBOARD_QUESTION 34022
#define IDS_CANNOT_BE_OPENED 34024  // after the path
#define IDS_NAME_OUTSIDE_CODE_PAGE 34093
#define IDS_SAVE_SCENE_FIRST 34025
#define IDS_INSTALLER_EXISTS 34040
#define IDS_VERSION_LINE 34059  // formatted with version and build
#define IDS_PROFILE_SECTION 34060
#define IDS_DOCUMENT_EXTENSION 34067
#define IDS_VERSION 34069
#define IDS_NO_VISIBLE_COMMANDS 34080

// ------------------------------------------------------------ dialogs

// The buttons that end the Start window; the frame turns the first four
// into commands.
#define IDC_START_FLASH 1447
#define IDC_START_STANDARD 1448
#define IDC_START_ONESTEP 1449
#define IDC_START_OPEN 1450
#define IDC_START_NEW 1451

// ------------------------------------------------------------ edit dialogs
// The frame every command edit dialog shares, and the small command
// dialogs (Wait, Cls colour, description, Comment, Until, Url).
#define IDD_DESCRIPTION 132
#define IDD_COLOUR 135
#define IDD_WAIT 136
#define IDD_UNTIL 142
#define IDD_COMMENT 237
#define IDD_INSERT_URL 393
// "Co&mment..." in every edit dialog that has one.
#define IDC_COMMENT_BUTTON 1085
#define IDC_DESCRIPTION_TEXT 1000
#define IDC_COLOUR_CHOOSE 1010
#define IDC_COLOUR_MIXING 1013
#define IDC_COLOUR_PREVIEW 1048
#define IDC_COLOUR_RANDOM 1067
#define IDC_COLOUR_BACKGROUND 1080
#define IDC_WAIT_DURATION 1019
#define IDC_WAIT_RANDOM 1068
#define IDC_WAIT_SPIN 1094
#define IDC_UNTIL_COUNT 1034
#define IDC_UNTIL_SPIN 1052
#define IDC_UNTIL_INFINITE 1070
#define IDC_COMMENT_TEXT 1145
// The Url keys' radio buttons, in their group's order: Enter, F12, Space,
// any of them.
#define IDC_URL_LOCATION 1342
#define IDC_URL_KEY_ENTER 1343
#define IDC_URL_KEY_F12 1345
#define IDC_URL_KEY_SPACE 1344
#define IDC_URL_KEY_ANY 1346
#define IDC_URL_NO_MONITORING 1368
#define IDS_TESTING_COLOUR 34000
#define IDS_CHOSEN_COLOUR 34001
#define IDS_DESELECT_TIP 34011

// The media dialogs (media object, Play and its settings, Stop, the movie
// and video preview) and the Options dialog with the custom logo and icon.
#define IDD_MEDIA_OBJECT 231
#define IDD_PLAY_SETTINGS 235
#define IDD_PLAY 236
#define IDD_STOP 238
#define IDD_OPTIONS 213
#define IDC_MEDIA_NAME 1140         // the object's display name (read-only)
#define IDC_MEDIA_ICON 1144         // double click: test play
#define IDC_MEDIA_CHOOSE 1130       // "Set &media/flash"
#define IDC_MEDIA_PLAY 1141         // "&Play" / Play's "&Test"
#define IDC_MEDIA_STOP 1350         // the object dialog's "&Stop"
#define IDC_PLAY_STOP 1337          // Play's "&Stop"
#define IDC_MEDIA_LIST 1130         // Play's and Stop's media list
#define IDC_MEDIA_LIST_LABEL 1157   // "M&edia"
#define IDC_PLAY_SETTINGS 1132      // "&Settings..."
#define IDC_PLAY_WAIT 1445          // play modes: wait, endless, once
#define IDC_PLAY_ENDLESS 1162
#define IDC_PLAY_ONCE 1446
#define IDC_PLAY_INFINITE 1070      // repeat: infinite, counted
#define IDC_PLAY_REPEAT 1444
#define IDC_PLAY_COUNT 1034
#define IDC_PLAY_COUNT_SPIN 1052
#define IDC_PLAY_FULLSCREEN 1430
#define IDC_PLAY_TIMED 1438
#define IDC_PLAY_TIMER 1439
#define IDC_PLAY_TIMER_SPIN 1440
#define IDC_PLAY_X 1146
#define IDC_PLAY_Y 1147
#define IDC_PLAY_X_ABSOLUTE 1426
#define IDC_PLAY_X_CENTERED 1427
#define IDC_PLAY_Y_ABSOLUTE 1428
#define IDC_PLAY_Y_CENTERED 1429
#define IDC_PLAY_WIDTH 1121
#define IDC_PLAY_HEIGHT 1003
#define IDC_PLAY_DEFAULT_SIZE 1435
#define IDC_OPT_TAB 1104
#define IDC_OPT_SCROLL 1105
#define IDC_OPT_BEEP 1107
#define IDC_OPT_BEEP_SPIN 1108
#define IDC_OPT_STYLES 1113
#define IDC_OPT_FONT 1111
#define IDC_OPT_DRAGCOLOUR 1118
#define IDC_OPT_SOFTDRAG 1119
#define IDC_OPT_CLIPBOARD 1120
#define IDC_OPT_SAVEPREVIEW 1121
#define IDC_OPT_TOOLBAR 1122
#define IDC_OPT_AUTOSTART 1123
#define IDC_OPT_SPLASH 1125
#define IDC_OPT_IMAGELIMIT 1340
#define IDC_OPT_SCRSETTINGS 1438
#define IDC_OPT_LOGO_BROWSE 1257
#define IDC_OPT_LOGO_USE 1258
#define IDC_OPT_LOGO_PREVIEW 1099
#define IDC_OPT_LOGO_DEFAULT 1418
#define IDC_OPT_ICON_BROWSE 1414
#define IDC_OPT_ICON_USE 1415
#define IDC_OPT_ICON 1416
// ------------------------------------------------------------ object dialogs
// The Image/Text object dialog, the target dialog of Show, Move and Hide,
// the position dialogs and the Line dialog.
#define IDD_POSITION 131
#define IDD_TARGET_OBJECT 134
#define IDD_IMAGE_TEXT 138
#define IDD_LINE 221
#define IDD_SHOW_POSITION 239
#define IDD_LINE_POSITION 240
// The justification buttons' pictures (up, down): left 425/424, centre
// 427/428, right 429/426.
#define IDB_JUSTIFY_LEFT_DOWN 424
#define IDB_JUSTIFY_LEFT_UP 425
#define IDB_JUSTIFY_RIGHT_DOWN 426
#define IDB_JUSTIFY_CENTRE_UP 427
#define IDB_JUSTIFY_CENTRE_DOWN 428
#define IDB_JUSTIFY_RIGHT_UP 429
// The object preview and its size label (both dialogs with a preview).
#define IDC_OBJECT_PREVIEW 1099
#define IDC_OBJECT_PREVIEW_SIZE 1170
// Image/Text.
#define IDC_IT_JUSTIFY_LEFT 1003
#define IDC_IT_JUSTIFY_CENTRE 1004
#define IDC_IT_JUSTIFY_RIGHT 1432
#define IDC_IT_TRANSPARENT 1011
#define IDC_IT_YOUR_BACKGROUND 1012
#define IDC_IT_SET_TEXT 1021
#define IDC_IT_TEXT 1022
#define IDC_IT_PICTURE_NAME 1081
#define IDC_IT_FONT 1111
#define IDC_IT_DESKTOP 1192
#define IDC_IT_SET_IMAGE 1229
#define IDC_IT_WALLPAPER 1304
#define IDC_IT_HEIGHT 1424
#define IDC_IT_WIDTH 1426
#define IDC_IT_FULL_SCREEN 1430
#define IDC_IT_KEEP_ASPECT 1431
// The target dialog.
#define IDC_TARGET_LIST 1082
#define IDC_TARGET_POSITION 1083
#define IDC_TARGET_COLOURS 1084
#define IDC_TARGET_LABEL 1103
#define IDC_TARGET_NEW_IMAGE 1433
// Move's position dialog: four groups of six radios (Left/Top, Center,
// Right/Bottom, Random, Random (Preserve), Absolute) and their edits.
#define IDC_POS_START_X_MODE 1382
#define IDC_POS_START_Y_MODE 1388
#define IDC_POS_END_X_MODE 1394
#define IDC_POS_END_Y_MODE 1400
#define IDC_POS_START_X 1001
#define IDC_POS_START_Y 1002
#define IDC_POS_END_X 1003
#define IDC_POS_END_Y 1004
#define IDC_POS_STEP 1038
#define IDC_POS_STEP_SPIN 1039
#define IDC_POS_ALONG_X 1146
#define IDC_POS_ALONG_Y 1147
#define IDC_POS_SPEED 1150
#define IDC_POS_SPEED_SPIN 1156
#define IDC_POS_KEEP_MOVING 1200
#define IDC_POS_RESTORE 1203
// Show's position dialog.
#define IDC_SHOWPOS_X_MODE 1370
#define IDC_SHOWPOS_Y_MODE 1376
#define IDC_SHOWPOS_X 1005
#define IDC_SHOWPOS_Y 1006
#define IDC_SHOWPOS_SPEED_SPIN 1165
#define IDC_SHOWPOS_LETTERS 1167
#define IDC_SHOWPOS_SPEED 1168
#define IDC_SHOWPOS_EFFECT 1305
#define IDC_SHOWPOS_PARAM 1306
#define IDC_SHOWPOS_PARAM_VALUE 1307
#define IDC_SHOWPOS_SPEED_LABEL 1359
// The Line dialog and its position dialog (pairs Random, Absolute).
#define IDC_LINE_WIDTH 1121
#define IDC_LINE_STYLE 1127
#define IDC_LINEPOS_START_X_RANDOM 1385
#define IDC_LINEPOS_START_X_ABSOLUTE 1387
#define IDC_LINEPOS_START_Y_RANDOM 1391
#define IDC_LINEPOS_START_Y_ABSOLUTE 1393
#define IDC_LINEPOS_END_X_RANDOM 1397
#define IDC_LINEPOS_END_X_ABSOLUTE 1399
#define IDC_LINEPOS_END_Y_RANDOM 1403
#define IDC_LINEPOS_END_Y_ABSOLUTE 1405

// ------------------------------------------------------------ greeting windows
// The splash and About picture, the About box with its movie (resource type
// "FLASH") and the Start window: its background, and each button's normal
// picture with the hover picture at the next id.
#define IDD_ABOUTBOX 100
#define IDB_SPLASH 102
#define IDD_START 283
#define IDR_ABOUT_MOVIE 430
#define IDB_START_BACK 431
#define IDB_START_FLASH 432
#define IDB_START_STANDARD 434
#define IDB_START_ONESTEP 436
#define IDB_START_NEW 438
#define IDB_START_OPEN 440
#define IDB_START_CLOSE 442
#define IDC_START_DONTSHOW 1264
#define IDC_ABOUT_VERSION 1349
#define IDC_ABOUT_PICTURE 1437
// The pictures under the Start window's buttons, in the buttons' order:
// Flash, Standard, One step, New, Open, Close.
#define IDC_START_PICTURE_FIRST 1452
#define IDC_START_BACKGROUND 1460
#define IDC_ABOUT_SUPPORT 1458
#define IDC_ABOUT_HOMEPAGE 1459
#define IDC_ABOUT_MOVIE 12345

// The drag cursors of the script's commands (one command, several).
#define IDR_CURSOR_COPY_ONE 105
#define IDR_CURSOR_MOVE_ONE 197
#define IDR_CURSOR_COPY_MANY 203
#define IDR_CURSOR_LINK 204
#define IDR_CURSOR_MOVE_MANY 205
