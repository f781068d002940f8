// Resource ids of the wizard's helper dialogs (folder limit, loading
// progress, sequence preview), the insert-sequence dialogs and the
// property pages of the sequence step. Control ids repeat between these
// templates where the controls mean the same thing.
#pragma once

#define IDD_WZ_SEQUENCE_PREVIEW 284
#define IDD_WZ_PAGE_IMAGE 322
#define IDD_WZ_PAGE_TEXT 323
#define IDD_WZ_PAGE_EMPTY 324
#define IDD_WZ_PAGE_MEDIA 325
#define IDD_WZ_INSERT_IMAGES 328
#define IDD_WZ_INSERT_MEDIA 329
#define IDD_WZ_INSERT_TEXTS 330
#define IDD_WZ_LOADING 392
#define IDD_WZ_FOLDER_LIMIT 396

// The helper dialogs.
#define IDC_WZ_PREVIEW 1099
#define IDC_WZ_PREVIEW_SIZE 1170
#define IDC_WZ_TEST 1141
#define IDC_WZ_STOP 1356
#define IDC_WZ_PROGRESS 1324
#define IDC_WZ_LOAD_ALL 1348
#define IDC_WZ_LIMIT_TEXT 1234
#define IDC_WZ_TOTAL_TEXT 1248
// What "Load all anyway" ends the folder-limit dialog with.
#define IDC_WZ_LOAD_ALL_RESULT 5

// The picture and text pages and insert dialogs.
#define IDC_WZ_SHOW 1236
#define IDC_WZ_MOVE 197
#define IDC_WZ_SHOW_X_MODE 1370   // six radios each: Left/Top, Center,
#define IDC_WZ_SHOW_Y_MODE 1376   // Right/Bottom, Random, Random
#define IDC_WZ_START_X_MODE 1382  // (Preserve), Absolute
#define IDC_WZ_START_Y_MODE 1388
#define IDC_WZ_END_X_MODE 1394
#define IDC_WZ_END_Y_MODE 1400
#define IDC_WZ_SHOW_X 1005
#define IDC_WZ_SHOW_Y 1006
#define IDC_WZ_START_X 1001
#define IDC_WZ_START_Y 1002
#define IDC_WZ_END_X 1003
#define IDC_WZ_END_Y 1004
#define IDC_WZ_FIRST_X_FRAME 1410
#define IDC_WZ_FIRST_Y_FRAME 1411
#define IDC_WZ_END_X_FRAME 1412
#define IDC_WZ_END_Y_FRAME 1413
#define IDC_WZ_CLEAR 1240
#define IDC_WZ_HIDE 1241
#define IDC_WZ_WAIT 1239
#define IDC_WZ_WAIT_SECONDS 1019
#define IDC_WZ_WAIT_SPIN 1094
#define IDC_WZ_WAIT_LABEL 1260
#define IDC_WZ_EFFECT_FRAME 1294
#define IDC_WZ_EFFECT 1310
#define IDC_WZ_EFFECT_SPEED 1150
#define IDC_WZ_SPEED_VALUE 1345
#define IDC_WZ_SPEED_MIN 1357
#define IDC_WZ_SPEED_MAX 1358
#define IDC_WZ_SPEED_PAUSE 1359
#define IDC_WZ_ITEMS 1235
#define IDC_WZ_SELECT_ALL 1325
#define IDC_WZ_DESELECT_ALL 1326
#define IDC_WZ_ADD_ALL 1327
#define IDC_WZ_APPLY_SELECTION 1339
#define IDC_WZ_ADD 1209

// The media page and insert dialog.
#define IDC_WZ_WAIT_MEDIA 1143
#define IDC_WZ_REPEAT 1034
#define IDC_WZ_REPEAT_SPIN 1052
#define IDC_WZ_POS_X 1146
#define IDC_WZ_POS_Y 1147
#define IDC_WZ_X_ABSOLUTE 1426
#define IDC_WZ_X_CENTERED 1427
#define IDC_WZ_Y_ABSOLUTE 1428
#define IDC_WZ_Y_CENTERED 1429
#define IDC_WZ_X_LABEL 1433
#define IDC_WZ_Y_LABEL 1434
#define IDC_WZ_X_FRAME 1435
#define IDC_WZ_Y_FRAME 1436
#define IDC_WZ_WIDTH 1121
#define IDC_WZ_HEIGHT 1003
#define IDC_WZ_FULL_SCREEN 1430
