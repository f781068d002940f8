// The resource ids that the UI kit and the wizards share with the builder's
// resource script: the frame's commands the wizards send or name, the
// strings of the make messages, the file dialog's template and the media
// test's preview window. The builder's own ids are in builder/resource.h,
// which includes these.
#pragma once

// The frame's commands: Preview, and the three wizards.
#define ID_SCENE_PREVIEW 32793
#define ID_WIZARD_STANDARD 32872
#define ID_WIZARD_ONESTEP 32881
#define ID_WIZARD_FLASHTOSCR 32886

#define IDS_SS_NAME_QUESTION 33998
#define IDS_SAVER_NOT_CREATED 34026
#define IDS_SAVER_CREATED 34027  // formatted with the output path
#define IDS_FLASH_SCRIPT_TITLE 34075
#define IDS_FLASH_SCRIPT_NOTE_FIRST 34076  // four lines, 34076-34079

// The file dialog's child template (resource name "FILEOPEN_TEMPLATE"):
// a hidden anchor that places the picture preview and its check box, and
// the system's stc32 marking where the standard controls go.
#define IDC_FILEPREVIEW_ANCHOR 6000
#define IDC_FILEPREVIEW_CHECK 6001

// The window a video or movie test plays in, and its movie control.
#define IDD_MEDIA_PREVIEW 419
#define IDC_PREVIEW_MOVIE 1425
