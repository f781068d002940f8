// Resource ids of the wizard tools: the flash presentation dialog, the
// two finished dialogs, the one-step wizard and its folder tree. The
// templates are in WizardTools.rc, which the builder's resource script
// includes.
#pragma once

// "Set flash presentation parameters".
#define IDD_FLASH_PRESENTATION 146
#define IDC_FP_MOVIE 1082
#define IDC_FP_MOVIE_LABEL 1083
#define IDC_FP_NAME 1085
#define IDC_FP_BROWSE 1206

// "Make process finished" and "One-Step Wizard finished": the folder the
// outputs went to, and a button that opens it.
#define IDD_ONESTEP_FINISHED 418
#define IDD_MAKE_FINISHED 420
#define IDC_FINISHED_FOLDER 1420
#define IDC_FINISHED_GOTO 1421

// "One-Step Screen Saver".
#define IDD_ONESTEP 397
#define IDC_ONESTEP_TREE 1000
#define IDC_ONESTEP_TEMPLATES 1001
#define IDC_ONESTEP_HELP 1004
#define IDC_ONESTEP_NAME 1213

// The folder tree's commands, sent to the tree itself.
#define ID_TREE_UPONELEVEL 32770
#define ID_TREE_OPEN 32771
#define ID_TREE_DELETE 32772
#define ID_TREE_RENAME 32773
#define ID_TREE_PROPERTIES 32774
#define ID_TREE_REFRESH 32775
#define ID_TREE_BACK 32779
#define ID_TREE_FORWARD 32780

// The folder tree's drag cursors and its network pictures (16 x 16 each,
// magenta shows through).
#define IDC_TREE_MOVE_REFUSED 132
#define IDC_TREE_COPY_REFUSED 133
#define IDC_TREE_COPY 134
#define IDB_TREE_NETWORK 137

#define IDS_INVALID_SAVER_NAME 34081
