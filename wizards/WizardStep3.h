// The Standard wizard's step 3: the ordered list of action sequences and,
// beside it, the sheet of sequence pages that make and edit them. The
// dialog is the pages' host: it keeps the editor sequence, one template
// per kind, the current row, and the list's selection rules (only
// compatible sequences are selected together).
#pragma once

#include <windows.h>

#include "framework/DialogUI.h"
#include "framework/PropertySheet.h"
#include "wizards/StandardWizard.h"
#include "wizards/WizardPages.h"

class CWizardStep3Dlg : public CCmdDialog, public CWizardSequenceHost {
  LW_DECLARE_COMMAND_TABLE()
 public:
  // mainWindow receives the preview's script and commands.
  CWizardStep3Dlg(CWizardProject& project, HWND mainWindow);
  ~CWizardStep3Dlg() override;

  // Same kind, and for pictures and texts both Show or both Move, for
  // media the same media kind.
  static bool AreCompatible(const CWizardSequence& a, const CWizardSequence& b);

  // ---- CWizardSequenceHost ----
  CWizardSequence& GetTemplate(int kind) override;
  CWizardSequence& GetEditor() override { return m_editor; }
  void Commit() override;
  int GetSelectedCount() const override;
  bool IsFirstSelectionOfKind(int kind) const override;
  void DeselectAll() override;
  void ApplyToSelection() override;
  void CollectRows() override { Collect(); }
  int AddRow(CWizardSequence* sequence) override;
  void ScrollToRow(int index) override;
  const CObArray& GetItems(int kind) override;

  void MakeCurrent(CWizardSequence* sequence);
  void SelectRow(int index);
  void ActivatePage(int kind);
  void Collect();
  int Insert(CWizardSequence* sequence);
  bool IsCompatibleWithSelection(int row) const;
  void SelectRange(int anchor, int clicked, const CWizardSequence& like);
  // A click on the list: row -1 for none; the view has already changed
  // the selection as it does for the keys held.
  void OnRowClick(int row, bool ctrl, bool shift);

  int GetRowCount() const;
  bool IsRowSelected(int row) const;
  CWizardSequence* GetRowSequence(int row) const;
  CPropertySheet& GetSheet() { return m_sheet; }

  CWizardSequenceArray m_sequences;
  CWizardSequence* m_pCurrent = nullptr;
  // The preview's document was saved at folder + name + ".fsd".
  bool m_previewSaved = false;

 protected:
  bool OnInitDialog() override;
  // The step ends through its buttons: an OK that reaches the dialog by
  // another way (its default button is "&Finish") ends nothing.
  void OnOK() override {}
  void OnCancel() override;

 private:
  bool OnListClick(NMHDR* hdr, LRESULT* result);
  // A row that loses its selection (a Ctrl+click, a Shift+click range,
  // the keyboard) is no longer the one the pages edit.
  bool OnRowChanged(NMHDR* hdr, LRESULT* result);
  bool OnGetDispInfo(NMHDR* hdr, LRESULT* result);
  bool OnRemove(UINT id);
  bool OnMove(UINT id);
  bool OnPreviewSequence(UINT id);
  bool OnPreviewSaver(UINT id);
  bool OnPrevious(UINT id);
  bool OnFinish(UINT id);
  bool OnSelectAll(UINT id);
  bool OnDeselectAll(UINT id);
  bool OnHelp(UINT id);
  void SetRowSelected(int row, bool selected);
  int FirstSelectedRow() const;
  int LastSelectedRow() const;
  void RedrawRows();
  // Takes the preview's script out of the document and its file off the
  // disk.
  void DiscardPreview();
  HWND List() const { return GetDlgItem(1254); }

  CWizardProject& m_project;
  HWND m_mainWindow;
  CWizardSequence m_editor{kSequenceImage};
  CWizardSequence m_imageTemplate{kSequenceImage};
  CWizardSequence m_mediaTemplate{kSequenceMedia};
  CWizardSequence m_textTemplate{kSequenceText};
  CPropertySheet m_sheet;
  CWizardPropertyPageEmpty m_pageEmpty;
  CWizardPropertyPageMedia m_pageMedia;
  CWizardPropertyPageText m_pageText;
  CWizardPropertyPageImage m_pageImage;
};
