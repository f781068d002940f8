// The Standard wizard's sequence editing: the property pages of the
// sequence step (one per kind of material, plus an empty page when there
// is no material) and the three insert-sequence dialogs that add many
// sequences at once from one set of values.
//
// A page edits the template sequence of its kind that the step dialog
// holds; after every change it commits: the controls are read into the
// template, the template is copied into the step's editor sequence, and
// the step lets its current row take the editor's values. The pages reach
// the step dialog through CWizardSequenceHost: the window that holds the
// page's sheet, unless one is given.
#pragma once

#include <windows.h>

#include "builder/controls/CustomControls.h"
#include "builder/controls/MediaTestPlayer.h"
#include "framework/Collections.h"
#include "framework/PropertySheet.h"
#include "script/Objects.h"
#include "wizards/WizardSequence.h"

// What the sequence pages need from the dialog that embeds them.
class CWizardSequenceHost {
 public:
  virtual ~CWizardSequenceHost() = default;
  // The template sequence of a kind (0 image, 1 media, 2 text).
  virtual CWizardSequence& GetTemplate(int kind) = 0;
  // The sequence whose values the current row takes.
  virtual CWizardSequence& GetEditor() = 0;
  // The current row takes the editor's values; every row is redrawn.
  virtual void Commit() = 0;
  virtual int GetSelectedCount() const = 0;
  // True when nothing is selected or the first selected row has the kind.
  virtual bool IsFirstSelectionOfKind(int kind) const = 0;
  virtual void DeselectAll() = 0;
  // Every selected row takes the editor's values of its own kind.
  virtual void ApplyToSelection() = 0;
  // The sequences are brought in line with the rows.
  virtual void CollectRows() = 0;
  // A new last row (the host owns the sequence from now on) made current
  // and selected, other selected rows staying so; returns its index.
  virtual int AddRow(CWizardSequence* sequence) = 0;
  virtual void ScrollToRow(int index) = 0;
  // The wizard's material of a kind: CImageTextObject pictures (0) and
  // texts (2), CMediaObject media (1).
  virtual const CObArray& GetItems(int kind) = 0;
};

// The chosen list entries of an insert-sequence dialog, in list order.
struct CSequenceSelection {
  int m_count = 0;
  int* m_pIndices = nullptr;  // owned by the dialog that made it
};

// ---------------------------------------------------------------------------
// Insert-sequence dialogs. The caller fills the item array and the
// template before DoModal; after IDOK the selection names at least one
// item, and every chosen item is to become a sequence with the template's
// values.

// What the three dialogs share: the list of items with "&Select all",
// "&Deselect all" and "A&dd all", and "&Add" (OK), which reads the fields
// and takes the chosen entries. A sound tested in the media dialog stops
// with any ending.
class CSequenceInsertDlg : public CMediaTesting<CCmdDialog> {
  LW_DECLARE_COMMAND_TABLE()
 public:
  ~CSequenceInsertDlg() override;

  CWizardSequence m_sequence;
  CObArray m_items;
  CSequenceSelection m_selection;

 protected:
  CSequenceInsertDlg(UINT templateId, int kind, HWND parent);
  bool OnInitDialog() override;
  void OnOK() override;
  // The entry of an item in the list.
  virtual CString ItemLabel(int index) const = 0;
  // Reads the fields with their checks: false keeps the dialog open.
  virtual bool ReadFields() { return UpdateData(true); }
  // The item with the list's focus, or -1.
  int FocusedItem() const;

  CToggleButton m_add;

 private:
  bool OnSelectAll(UINT id);
  bool OnDeselectAll(UINT id);
  bool OnAddAll(UINT id);
};

// The picture and text dialog, which differ in their template, their list
// entries (display names, texts) and the template's kind (the text dialog
// sets 2).
class CDisplaySequenceDlg : public CSequenceInsertDlg {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CPreviewStatic& GetPreview() { return m_preview; }

 protected:
  CDisplaySequenceDlg(UINT templateId, bool texts, HWND parent);
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  CString ItemLabel(int index) const override;
  bool ReadFields() override;

 private:
  bool OnModeClicked(UINT id);
  bool OnPositionClicked(UINT id);
  bool OnFocusChanged(UINT id);
  bool OnSlider(UINT id);
  void ShowFocusedItem();
  void ShowSpeed();

  bool m_texts;
  bool m_validating = false;  // OK reads the fields with their checks
  CPreviewStatic m_preview;
  CImageTextObject m_scratch;
};

class CImageSequenceDlg : public CDisplaySequenceDlg {
 public:
  explicit CImageSequenceDlg(HWND parent);
};

class CTextSequenceDlg : public CDisplaySequenceDlg {
 public:
  explicit CTextSequenceDlg(HWND parent);
};

class CMediaSequenceDlg : public CSequenceInsertDlg {
  LW_DECLARE_COMMAND_TABLE()
 public:
  explicit CMediaSequenceDlg(HWND parent);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  CString ItemLabel(int index) const override;

 private:
  bool OnFocusChanged(UINT id);
  bool OnPositionClicked(UINT id);
  bool OnWaitClicked(UINT id);
  bool OnTest(UINT id);
  bool OnStopTest(UINT id);
  void ApplyKindRule();
  void ApplyPositionRule();
};

// ---------------------------------------------------------------------------
// The sequence step's pages.

// Shown when the wizard has no material at all.
class CWizardPropertyPageEmpty : public CPropertyPage {
 public:
  CWizardPropertyPageEmpty();
};

// The common part of the sequence pages: the host, the commit, "Apply to
// selection" and the kind.
class CWizardSequencePage : public CPropertyPage {
  LW_DECLARE_COMMAND_TABLE()
 public:
  // The host to use instead of the window holding the sheet.
  void SetHost(CWizardSequenceHost* host) { m_host = host; }
  CWizardSequenceHost* GetHost() const { return m_host; }
  int GetKind() const { return m_kind; }

  // Called by the step when it activates the page for its editor: the
  // controls filled from the template, then the page's layout and enable
  // rules for the editor's values.
  virtual void SetUpForEditor() = 0;

 protected:
  CWizardSequencePage(UINT templateId, int kind);
  bool OnInitDialog() override;
  bool OnSetActive() override;
  // The page's own set-up, once the host is known.
  virtual void InitPage() = 0;
  // Reads the controls into the template, which the editor and the
  // current row then take.
  void CommitPage();
  // "&Add sequence(s)": the insert dialog of the page's kind on the
  // editor's values; each chosen item becomes a new selected row.
  bool OnAdd(UINT id);
  virtual CSequenceInsertDlg* MakeInsertDialog() = 0;
  // A new sequence takes its chosen item.
  virtual void TakeItem(CWizardSequence& sequence, const CObject& item) = 0;
  // Fills the controls from the template (what they report meanwhile is
  // not an edit).
  void LoadTemplate();
  CWizardSequence& Template() { return m_host->GetTemplate(m_kind); }
  bool OnChanged(UINT id);

  CWizardSequenceHost* m_host = nullptr;
  CToggleButton m_add;

 private:
  bool OnApplyToSelection(UINT id);

  int m_kind;
  bool m_loading = false;
};

// Pictures (and, through CWizardPropertyPageText, texts): show with an
// effect or move, positions, wait, hide, clear.
class CWizardPropertyPageImage : public CWizardSequencePage {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardPropertyPageImage();
  void SetUpForEditor() override;

 protected:
  CWizardPropertyPageImage(UINT templateId, int kind);
  void InitPage() override;
  bool OnSetActive() override;
  void DoDataExchange(CDataExchange* dx) override;
  CSequenceInsertDlg* MakeInsertDialog() override;
  void TakeItem(CWizardSequence& sequence, const CObject& item) override;

 private:
  bool OnModeClicked(UINT id);
  bool OnPositionClicked(UINT id);
  bool OnWaitClicked(UINT id);
  bool OnEffectChanged(UINT id);
  bool OnSliderReleased(NMHDR* hdr, LRESULT* result);
  // Every move of the speed slider is an edit: a drag, the keys, the
  // wheel (which capture no mouse and so end in no release).
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnSliderMoved();
  void ApplyEffectRule();
  void ApplyWaitRule();
  void ShowSpeed();
};

class CWizardPropertyPageText : public CWizardPropertyPageImage {
 public:
  CWizardPropertyPageText();

 protected:
  CSequenceInsertDlg* MakeInsertDialog() override;
};

class CWizardPropertyPageMedia : public CWizardSequencePage {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CWizardPropertyPageMedia();
  void SetUpForEditor() override;

 protected:
  void InitPage() override;
  void DoDataExchange(CDataExchange* dx) override;
  CSequenceInsertDlg* MakeInsertDialog() override;
  void TakeItem(CWizardSequence& sequence, const CObject& item) override;

 private:
  bool OnPositionClicked(UINT id);
  bool OnWaitClicked(UINT id);
  // Which controls a media kind uses.
  void ApplyKindRule(int mediaKind);
  void CheckPositionRadios(const CWizardSequence& sequence);
};
