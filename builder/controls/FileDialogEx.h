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
#include "framework/Gdi.h"

class CFileDialogEx : public CFileDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  // preview: the "&Preview" check box and the square that shows the
  // selected picture.
  CFileDialogEx(bool preview, bool openFileDialog, const char* defExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const char* filter = nullptr, HWND parent = nullptr);
  ~CFileDialogEx() override;

  // Whether the system shows its newer dialog (NT 5 and later), which reads
  // the whole OPENFILENAMEA; an older one gets the structure's first size.
  static bool IsNewFileDialogSystem();
  // The rule behind it: an NT platform of major version 5 or later.
  static bool IsNewFileDialogVersion(DWORD platformId, DWORD majorVersion);

  bool HasPreview() const { return m_previewCapable; }
  bool IsPreviewOn() const { return m_previewOn; }
  // The preview's square with its frame, in the client coordinates of the
  // object's window (the dialog's child window); empty until the dialog is
  // up.
  const CRect& GetPreviewRect() const { return m_previewRect; }
  // Whether a picture is loaded for the preview.
  bool HasPreviewPicture() const { return m_bitmap.GetSafeHandle() != nullptr; }

 protected:
  void OnInitDone() override;
  void OnFileNameChange() override;
  void OnFolderChange() override;
  void OnTypeChange() override {}
  bool OnFileNameOK() override { return false; }
  void OnLBSelChangedNotify(UINT, UINT, UINT) override {}
  void OnPaint() override;

  // Loads the picture file into the preview, scaled to the square inside
  // the frame (the aspect ratio is not kept); a file that is no picture
  // leaves the preview empty, without a message.
  void LoadPreview(const char* path);
  // Draws the picture with its top left corner at the inner rectangle's.
  void DrawPreview(HDC dc, const CRect& inner);

 private:
  bool OnPreviewClicked(UINT id);
  // The file the dialog has selected now; empty when none.
  CString GetSelectedPath() const;
  void RepaintPreview();

  bool m_previewCapable;
  bool m_previewOn;
  // The folder changed: the next name change may name the folder itself
  // rather than a file the user chose.
  bool m_folderChangePending = false;
  CRect m_previewRect;
  HWND m_checkBox = nullptr;
  CBitmap m_bitmap;
  CSize m_bitmapSize;
};

// The file a multiple-choice dialog previews: the first quoted name of the
// file name text (as "a.bmp" "b.bmp"), or the text itself, in the folder
// unless it is a full path already.
CString GetFirstChosenPath(const char* folder, const char* fileNameText);

class CDocManagerEx : public CDocManager {
 public:
  // The folder starts at the profile's "DocPath" (default: My Documents),
  // which takes the folder of a chosen file; a save prompt proposes the
  // document's title alone.
  bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openFileDialog,
                        CDocTemplate* tmpl) override;
  // The dialog of the open and save prompts; the caller deletes it.
  virtual CFileDialogEx* CreateFileDialog(bool openFileDialog);
};

// The hook (m_ofn.lpfnHook with OFN_ENABLEHOOK) of the dialogs that save a
// screen saver: centres the dialog on its owner when it is set up, and
// asks whether a name beginning with "ss" is meant (No keeps the dialog
// open). What it leaves, CFileDialog's own handlers take.
UINT_PTR CALLBACK SaveDialogHookProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
