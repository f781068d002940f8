// The builder's file dialog, its document manager and the save hook.
#include "builder/FileDialogEx.h"

CFileDialogEx::CFileDialogEx(bool preview, bool openFileDialog, const char* defExt,
                             const char* fileName, DWORD flags, const char* filter, HWND parent)
    : CFileDialog(openFileDialog, defExt, fileName, flags, filter, parent) {}

bool CDocManagerEx::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                     bool openFileDialog, CDocTemplate* tmpl) {
  return CDocManager::DoPromptFileName(fileName, titleId, flags, openFileDialog, tmpl);
}

CFileDialogEx* CDocManagerEx::CreateFileDialog(bool openFileDialog) {
  return new CFileDialogEx(false, openFileDialog);
}

UINT_PTR CALLBACK SaveDialogHookProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
