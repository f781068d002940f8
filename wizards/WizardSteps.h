// The Standard wizard's first steps: step 1 (name, folder and the kinds of
// material), step 2A (pictures), 2B (media files), 2C (text messages), and
// the loader thread that shows the progress of a load while the files are
// read on the user-interface thread. Each step works on its own copy of
// its item list; the driver copies the list back whatever ends the step.
#pragma once

#include <windows.h>

#include <atomic>

#include "builder/controls/CustomControls.h"
#include "builder/controls/MediaTestPlayer.h"
#include "framework/Collections.h"
#include "framework/DialogUI.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "wizards/StandardWizard.h"

// ---------------------------------------------------------------------------
// Choosing a folder, behind a seam so that tests answer for the user.

class CFolderChooser {
 public:
  virtual ~CFolderChooser() = default;
  // The shell's folder browser titled `title` (BROWSEINFO flags), opening
  // on `initial` when it is not empty; false when the user cancels.
  virtual bool Choose(HWND owner, const char* title, UINT flags, const char* initial, CString& out);
};
// Installs a chooser (null restores the shell's); returns the previous one.
CFolderChooser* SetFolderChooser(CFolderChooser* chooser);
CFolderChooser& GetFolderChooser();

// ---------------------------------------------------------------------------
// Pure rules of the steps

// The pictures of a folder: every "*.bmp", then "*.jpg", "*.png", "*.tga"
// and "*.pcx" file, each pattern in the order the file system lists it.
// A drive root ("C:\") is searched as "C:\*.bmp", not "C:\\*.bmp".
void CollectFolderImages(const char* folder, CStringArray& paths);
// Drops paths from the end until at most `limit` remain.
void KeepFirstPaths(CStringArray& paths, int limit);
// The event names of a load, made per process so that two builders never
// cancel each other's loads.
CString LoadEventName(bool media);

// ---------------------------------------------------------------------------
// The progress window's thread

class CWizardStep2LoaderThread : public CWinThread {
 public:
  CWizardStep2LoaderThread(const char* eventName, int count);
  ~CWizardStep2LoaderThread() override;
  bool InitInstance() override;

  // The progress window, once it is up (null before and after).
  HWND GetWindow() const { return m_window.load(); }

  // The thread's end and the owner's Abandon each give up one hold on the
  // object; the later of the two deletes it. So an owner that stops
  // waiting for the thread never deletes what the thread still uses, and
  // a thread that ends after its owner gave up leaves nothing behind.
  void Delete() override;
  void Abandon();
  // How many loader objects exist in the process.
  static int GetLiveCount();

  int m_count;
  CString m_eventName;
  std::atomic<HWND> m_window{nullptr};

 private:
  void Release();
  std::atomic<int> m_holds{2};
};

// Runs the loading protocol: `load` is called for each path until the
// progress window's Cancel (or the event) stops it. Returns how many
// paths were tried. At the end the progress window is waited for at most
// `endWait` milliseconds; one that stays longer is left to end by itself.
class CWizardLoad {
 public:
  CWizardLoad(CEvent& event, const char* eventName, DWORD endWait = 10000)
      : m_event(event), m_eventName(eventName), m_endWait(endWait) {}
  template <class F>
  int Run(const CStringArray& paths, F load);

 private:
  CWizardStep2LoaderThread* Start(int count);
  void Step(CWizardStep2LoaderThread* thread);
  void End(CWizardStep2LoaderThread* thread);
  CEvent& m_event;
  CString m_eventName;
  DWORD m_endWait;
};

template <class F>
int CWizardLoad::Run(const CStringArray& paths, F load) {
  CWizardStep2LoaderThread* thread = Start(paths.GetSize());
  int tried = 0;
  for (int i = 0; i < paths.GetSize(); ++i) {
    if (m_event.IsSet()) break;
    load(paths.GetAt(i));
    ++tried;
    if (m_event.IsSet()) break;
    Step(thread);
  }
  End(thread);
  return tried;
}

// ---------------------------------------------------------------------------
// The step dialogs

// Asks "Are you sure you want to exit Wizard?"; true on Yes.
bool ConfirmWizardExit(HWND owner);
// Opens the step's help page from the program's "Help" folder.
void OpenWizardHelp(HWND owner, const char* page);
// Enables or disables a control of a step's dialog.
void EnableStepControl(HWND dialog, int id, bool enable);

class CWizardStep1Dlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardStep1Dlg(CWizardProject& project, HWND parent);
  // Copies the answers back into the project.
  void CopyTo(CWizardProject& project) const;

  CString m_folder;
  CString m_name;
  int m_images, m_media, m_texts, m_repeat, m_makeScr, m_makeExe;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  bool OnNameChange(UINT id);
  bool OnNameKillFocus(UINT id);
  bool OnKindClicked(UINT id);
  bool OnBrowse(UINT id);
  bool OnHelp(UINT id);
  // folder + name names none of the three outputs.
  bool IsNameFree() const;
  // Tells the user the name cannot be a file name.
  void RefuseName();
  void EnableAnswers(bool enable);

  // Set while the controls are filled and while OK or Cancel run: the
  // name's notifications are not the user's then.
  bool m_quiet = false;
};

class CWizardStep2ADlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardStep2ADlg(CWizardProject& project, HWND parent);
  ~CWizardStep2ADlg() override;
  // Hands the dialog's list back to the project.
  void CopyTo(CWizardProject& project);

  CObArray m_images;  // the project's items, shared; CopyTo hands the list back
  CStringArray m_pending;
  CImageTextObject m_working;
  // How many files of the last load were left out.
  int m_dropped = 0;

  // Loads the pending paths (the loading protocol); public for the tests.
  void LoadPending();
  bool AddFolder(const char* folder);

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;
  // Called after each file of a load was tried (`tried` so far).
  virtual void OnFileTried(int tried) {}

 private:
  bool OnSelChange(UINT id);
  bool OnAdd(UINT id);
  bool OnAddFolder(UINT id);
  bool OnRemove(UINT id);
  bool OnRemoveAll(UINT id);
  bool OnPrevious(UINT id);
  bool OnHelp(UINT id);
  bool LoadOne(const char* path);
  void ShowWorking();
  HWND List() const { return GetDlgItem(IDC_LIST_ID); }
  static constexpr int IDC_LIST_ID = 1215;

  CEvent m_loadEvent;
  CToggleButton m_addButton;
  CPreviewStatic m_preview;
};

class CWizardStep2BDlg : public CMediaTesting<CCmdDialog> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardStep2BDlg(CWizardProject& project, HWND parent);
  ~CWizardStep2BDlg() override;
  void CopyTo(CWizardProject& project);

  CObArray m_media;  // shared with the project as the pictures are
  CStringArray m_pending;
  int m_skipped = 0;
  int m_busy = 0;

  void LoadPending();

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  bool OnSelChange(UINT id);
  bool OnAdd(UINT id);
  bool OnRemove(UINT id);
  bool OnPlay(UINT id);
  bool OnStop(UINT id);
  bool OnPrevious(UINT id);
  bool OnHelp(UINT id);
  void MakeCurrent(int index);

  CEvent m_loadEvent;
};

class CWizardStep2CDlg : public CCmdDialog {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardStep2CDlg(CWizardProject& project, HWND parent);
  ~CWizardStep2CDlg() override;
  void CopyTo(CWizardProject& project);

  CObArray m_texts;  // shared with the project as the pictures are
  CImageTextObject m_working;
  CImageTextObject* m_pCurrent = nullptr;

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool OnTextChange(UINT id);
  bool OnOpaque(UINT id);
  bool OnTransparent(UINT id);
  bool OnColour(UINT id);
  bool OnFont(UINT id);
  bool OnAdd(UINT id);
  bool OnRemove(UINT id);
  bool OnPrevious(UINT id);
  bool OnHelp(UINT id);
  bool OnListClick(NMHDR* hdr, LRESULT* result);
  bool OnGetDispInfo(NMHDR* hdr, LRESULT* result);
  CImageTextObject* NewText();
  void InsertText(CImageTextObject* text, int at);
  void MakeCurrent(int index);
  void Commit();
  void Refresh();
  void RemakeFont();
  void ShowFontLabels();
  void Rebuild();
  int ListCount() const;

  CFont m_editFont;
  CBrush m_editBrush;
  CPreviewStatic m_preview;
};
