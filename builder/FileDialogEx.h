// The builder's file choosers: CFileDialogEx, the framework's file dialog
// with an optional picture preview beside the system's controls; the
// document manager whose open and save prompts use it and remember the
// last document folder ("DocPath"); and the hook of the save dialogs that
// centres them and asks about screen-saver names beginning with "ss".
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/CommonDialogs.h"
#include "framework/DocManager.h"

class CFileDialogEx : public CFileDialog {
 public:
  // preview: the "&Preview" check box and the square that shows the
  // selected picture.
  CFileDialogEx(bool preview, bool openFileDialog, const char* defExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* filter = nullptr, HWND parent = nullptr);
};

class CDocManagerEx : public CDocManager {
 public:
  bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openFileDialog,
                        CDocTemplate* tmpl) override;
  // The dialog of the open and save prompts; the caller deletes it.
  virtual CFileDialogEx* CreateFileDialog(bool openFileDialog);
};

// The hook (m_ofn.lpfnHook with OFN_ENABLEHOOK) of the dialogs that save a
// screen saver.
UINT_PTR CALLBACK SaveDialogHookProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
