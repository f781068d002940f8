// The system's common dialogs: choosing a file to open or a name to save
// under, a colour and a font. Every one goes through one seam,
// CCommonDialogRunner, whose real implementation calls comdlg32 and which
// tests replace to answer without a window (the way Seams.h answers message
// boxes).
//
// CFileDialog is explorer style with a hook of ours: while the system's
// dialog is up the object is bound to the dialog's child window (the
// window of a child template, when one is set), so the template's controls
// are the object's children, commands and paint reach it as any window's,
// and the system's notifications call its virtuals (OnInitDone,
// OnFileNameChange, OnFolderChange, OnTypeChange, OnFileNameOK).
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/CmdTarget.h"
#include "framework/Strings.h"

// The seam: the four system calls of the common dialogs. Each default asks
// the system, so a test may answer some and leave the others.
class CCommonDialogRunner {
 public:
  virtual ~CCommonDialogRunner() = default;
  virtual BOOL GetOpenFileName(OPENFILENAMEA* ofn);
  virtual BOOL GetSaveFileName(OPENFILENAMEA* ofn);
  virtual BOOL ChooseColor(CHOOSECOLORA* cc);
  virtual BOOL ChooseFont(CHOOSEFONTA* cf);
};

// Installs a runner (null restores the system's); returns the previous
// one. Process-wide.
CCommonDialogRunner* SetCommonDialogRunner(CCommonDialogRunner* runner);
// The runner installed now.
CCommonDialogRunner& GetCommonDialogRunner();

class CFileDialog : public CCmdWnd {
 public:
  // filter: pairs of display name and patterns, each followed by '|', as
  // "Pictures (*.bmp)|*.bmp;*.png|All Files (*.*)|*.*||". defExt: the
  // extension (without the dot) added to a name typed without one.
  // fileName: the name the dialog starts with. OFN_EXPLORER and our hook
  // are always added to flags.
  explicit CFileDialog(bool openFileDialog, const char* defExt = nullptr,
                       const char* fileName = nullptr,
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       const char* filter = nullptr, HWND parent = nullptr);
  ~CFileDialog() override;

  // Runs the dialog: IDOK when a name was chosen, else IDCANCEL. The owner
  // (the parent, else the active window) is disabled meanwhile, and the
  // focus goes back where it was. The file buffer (m_ofn.lpstrFile, the
  // dialog's own unless the caller set one) is cleared after the initial
  // name. A hook the caller set in m_ofn.lpfnHook sees each message first:
  // when it answers nonzero the object's handlers do not run.
  virtual INT_PTR DoModal();

  // A child template (a dialog resource with DS_CONTROL | WS_CHILD) whose
  // controls join the system's dialog; instance null: the program's module.
  void SetTemplate(const char* name, HINSTANCE instance = nullptr);

  // The chosen file; while the dialog is up, the one selected in it.
  CString GetPathName() const;
  // Its name with extension, its extension (without the dot), and its name
  // without extension.
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  // The folder, without a trailing backslash unless it is a root.
  CString GetFolderPath() const;

  // The files chosen with OFN_ALLOWMULTISELECT, one after another: start
  // with GetStartPosition; GetNextPathName returns one full path and moves
  // pos on, to 0 after the last. A single chosen file comes out alone.
  INT_PTR GetStartPosition() const;
  CString GetNextPathName(INT_PTR& pos) const;

  bool IsOpenDialog() const { return m_openFileDialog; }

  // The system's structure, as the dialog gets it. The filter is converted
  // to the system's form.
  OPENFILENAMEA m_ofn;

 protected:
  // Notifications of the system's dialog while it is up.
  virtual void OnInitDone() {}
  virtual void OnFileNameChange() {}
  virtual void OnFolderChange() {}
  virtual void OnTypeChange() {}
  // Called when the user accepts a name: true refuses it (the dialog stays).
  virtual bool OnFileNameOK() { return false; }
  // A selection change in one of the dialog's lists (older dialogs).
  virtual void OnLBSelChangedNotify(UINT idBox, UINT curSel, UINT code) {}

  bool OnNotify(NMHDR* hdr, LRESULT* result) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static UINT_PTR CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The system's dialog (the parent of the window we are bound to).
  HWND GetDialog() const;
  // Asks the dialog for a text (CDM_GETFILEPATH...); false when not up.
  bool AskDialog(UINT msg, CString& out) const;
  // At CDN_FILEOK: the chosen names as the system's dialog holds them
  // (wide), and its folder, for a result whose ANSI form lost characters.
  void KeepWideChoice();
  void ForgetWideChoice();
  // The full wide path of one kept name; false when there is none.
  bool WidePathOf(const wchar_t* name, wchar_t (&path)[MAX_PATH]) const;
  // After the dialog: every chosen file by an ANSI path that opens it (its
  // short name where its own name lost characters; a new file to save is
  // made first so that it has one). A file without one is refused with a
  // message; false when no file is left.
  bool TakeWideChoice();
  // The one chosen file (false: it has no ANSI path), and several.
  bool TakeWidePath();
  bool TakeWideChoices();
  // Whether the result is a folder and several names.
  bool IsSeveralChosen() const;

  bool m_openFileDialog;
  CString m_defExt;
  CString m_filter;  // NUL-separated pairs
  CString m_templateName;
  char m_fileBuffer[MAX_PATH] = "";
  LPOFNHOOKPROC m_userHook = nullptr;
  wchar_t m_wideFolder[MAX_PATH] = L"";
  // The names, each ending in a NUL, then one more NUL; null when none.
  wchar_t* m_wideNames = nullptr;
};

// A new name outside the code page to save under has a short (ANSI) name
// only once its file exists, so a save dialog given such a name makes the
// file, empty, before it answers. DiscardUnwrittenFile is for the caller
// whose save under the chosen name did not happen: it removes the file of
// that path when a save dialog made it and it is still as made (the same
// file, empty). Any other file stays, and so does one that a save has
// written, so it may be called whatever the save did. File dialogs and
// the saves that take their names run on the user interface thread.
void DiscardUnwrittenFile(const char* path);

// Calls DiscardUnwrittenFile on the path when it goes: for a caller that
// may leave before or after its save in several ways. An empty path is
// nothing.
class CUnwrittenFileGuard {
 public:
  explicit CUnwrittenFileGuard(const char* path) : m_path(path) {}
  ~CUnwrittenFileGuard() {
    if (!m_path.IsEmpty()) DiscardUnwrittenFile(m_path);
  }
  CUnwrittenFileGuard(const CUnwrittenFileGuard&) = delete;
  CUnwrittenFileGuard& operator=(const CUnwrittenFileGuard&) = delete;

 private:
  CString m_path;
};

class CColorDialog {
 public:
  explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, HWND parent = nullptr);
  CColorDialog(const CColorDialog&) = delete;
  CColorDialog& operator=(const CColorDialog&) = delete;

  // IDOK with the chosen colour in GetColor(), else IDCANCEL.
  INT_PTR DoModal();
  COLORREF GetColor() const { return m_cc.rgbResult; }

  // The custom colours, shared by every colour dialog of the program.
  static COLORREF* GetSavedCustomColors();

  CHOOSECOLORA m_cc;
};

class CFontDialog {
 public:
  // Starts on the font (none: the system's choice) and, with CF_EFFECTS,
  // the colour in m_cf.rgbColors.
  explicit CFontDialog(const LOGFONTA* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS,
                       HWND parent = nullptr);
  CFontDialog(const CFontDialog&) = delete;
  CFontDialog& operator=(const CFontDialog&) = delete;

  // IDOK with the chosen font in m_lf, else IDCANCEL.
  INT_PTR DoModal();
  void GetCurrentFont(LOGFONTA* font) const { *font = m_lf; }
  CString GetFaceName() const { return m_lf.lfFaceName; }
  // In tenths of a point.
  int GetSize() const { return m_cf.iPointSize; }
  COLORREF GetColor() const { return m_cf.rgbColors; }
  int GetWeight() const { return m_lf.lfWeight; }
  bool IsBold() const { return m_lf.lfWeight >= FW_BOLD; }
  bool IsItalic() const { return m_lf.lfItalic != 0; }

  CHOOSEFONTA m_cf;
  LOGFONTA m_lf;
};
