// Property sheets and their pages over the common controls' property
// sheet: a sheet of tabbed pages run modally (with OK and Cancel, or as a
// wizard with Back, Next and Finish), or embedded as a child window of a
// dialog. A page is a dialog of the user interface layer (a command table,
// data exchange); the sheet tells it when it is shown and left and when the
// sheet ends, through the virtuals below. The sheet window itself is a
// dialog of ours too, so commands a page does not take go on to the sheet
// and then to its owner, and the tests' dialog hook answers a modal sheet
// as it answers any modal dialog.
//
//   CPropertySheet sheet("Set-up", parent);
//   sheet.AddPage(&first);             // pages outlive the sheet's window
//   sheet.AddPage(&second);
//   sheet.SetWizardMode();             // Back / Next / Finish
//   if (sheet.DoModal() == CPropertySheet::kFinished) ...
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "framework/Collections.h"
#include "framework/DialogUI.h"
#include "framework/Strings.h"

class CPropertySheet;

class CPropertyPage : public CCmdDialog {
 public:
  // The page's template; the tab shows caption when one is given, else
  // the template's caption.
  explicit CPropertyPage(UINT templateId, const char* caption = nullptr);

  // The sheet the page was added to (null before).
  CPropertySheet* GetSheet() const { return m_sheet; }
  // Marks the page changed (the sheet enables Apply) or unchanged.
  void SetModified(bool changed = true);

  // What the sheet asks of the page. Each runs on the page's window:
  // True when the page may be shown now (false: the sheet skips it).
  virtual bool OnSetActive() { return true; }
  // True when the page may be left now; by default the page's fields are
  // read back, and a field that fails keeps the page.
  virtual bool OnKillActive() { return UpdateData(true); }
  // The sheet's OK (or Apply): true when the page's values are taken.
  virtual bool OnApply();
  // The sheet's Cancel, after the page has been left or never shown.
  virtual void OnReset() { OnCancel(); }
  // Cancel pressed: true when the sheet may end.
  virtual bool OnQueryCancel() { return true; }
  // Wizard buttons: 0 goes on to the neighbouring page, -1 stays, a
  // page's template id jumps to that page.
  virtual LRESULT OnWizardBack() { return 0; }
  virtual LRESULT OnWizardNext() { return 0; }
  // Finish pressed, once the page has been left (OnKillActive): true
  // when the wizard may end.
  virtual bool OnWizardFinish() { return true; }

 protected:
  // A page ends nothing itself: the sheet's buttons end the sheet.
  void OnOK() override {}
  void OnCancel() override {}
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class CPropertySheet;
  static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // The answer to one of the sheet's notifications.
  LRESULT OnSheetNotify(NMHDR* hdr);

  PROPSHEETPAGEA m_psp;
  CString m_caption;
  CPropertySheet* m_sheet = nullptr;
  bool m_left = false;  // left (OnKillActive agreed) since last shown
};

class CPropertySheet : public CCmdDialog {
 public:
  explicit CPropertySheet(const char* caption = nullptr, HWND parent = nullptr,
                          int startPage = 0);
  ~CPropertySheet() override;

  // Pages in tab order; added or removed while the sheet is up, its tabs
  // follow. Removing a page destroys its window, not the page.
  void AddPage(CPropertyPage* page);
  void RemovePage(int index);
  void RemovePage(CPropertyPage* page);
  int GetPageCount() const { return m_pages.GetSize(); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;

  // The page shown (before the sheet is up: the one it starts on).
  int GetActiveIndex() const;
  CPropertyPage* GetActivePage() const;
  // Shows the page, as a click on its tab would; false when the page
  // that is shown now refuses to be left.
  bool SetActivePage(int index);
  bool SetActivePage(CPropertyPage* page);

  // Runs as a wizard (Back, Next, Finish, Cancel) instead of tabs with OK
  // and Cancel. Set before the sheet is up.
  void SetWizardMode() { m_wizard = true; }
  bool IsWizard() const { return m_wizard; }
  // PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH, PSWIZB_DISABLEDFINISH.
  void SetWizardButtons(DWORD flags);
  void SetFinishText(const char* text);
  // PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH, PSBTN_OK, PSBTN_CANCEL... as
  // a click on the button would.
  void PressButton(int button);
  void SetTitle(const char* text);
  HWND GetTabControl() const;

  // What DoModal returns when a wizard ends with Finish (the Finish
  // button's id).
  static constexpr INT_PTR kFinished = 0x3025;

  // The sheet as a modal window: IDOK (OK), kFinished (Finish),
  // IDCANCEL (Cancel, Escape, the close box), what EndDialog was given,
  // or -1 when it could not be made.
  INT_PTR DoModal() override;
  // Ends a modal sheet with the result (no page is asked).
  void EndDialog(INT_PTR result) override;
  // The sheet as a child window of parent (no title, no buttons; the
  // sheet is as large as its tabs), with style and exStyle added to
  // WS_CHILD. False when it could not be made.
  bool Create(HWND parent, DWORD style = WS_VISIBLE | WS_TABSTOP,
              DWORD exStyle = WS_EX_CONTROLPARENT);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class CPropertyPage;
  // Makes the window: a modeless sheet, owned by (popup) or a child of
  // parent; child sheets take their style from Create.
  bool MakeSheet(HWND parent, bool child);
  static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
  // True once a button or EndDialog has ended the sheet.
  bool Ended() const;

  CString m_caption;
  CPtrArray m_pages;  // CPropertyPage*
  int m_startPage;
  bool m_wizard = false;
  bool m_running = false;   // in DoModal's loop
  bool m_endRequested = false;
  INT_PTR m_result = IDCANCEL;
  DWORD m_childStyle = 0, m_childExStyle = 0;
  bool m_child = false;
};
