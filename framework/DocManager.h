// Document templates, the document manager and the recent-file list.
//
// A template ties a document class to the frame and view classes that show
// it and to one resource id: the frame's menu, accelerators and icon, and
// the document string
//   "windowTitle\ndocName\nfileNewName\nfilterName\nfilterExt\nregFileTypeId\nregFileTypeName"
// of the string table. CSingleDocTemplate keeps at most one document,
// which new and open reuse (asking to save it first). The manager holds the
// templates and runs New, Open (through its file prompt), Save All and the
// shell registration of the document types. The recent-file list keeps the
// last opened or saved paths in the profile and shows them in the File
// menu.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/Collections.h"
#include "framework/DocView.h"
#include "framework/Strings.h"

class CFrameWnd;

class CDocTemplate {
 public:
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName
  };
  // How well a path fits the template (MatchDocType).
  enum Confidence { noAttempt, maybeAttemptForeign, yesAttemptNative, yesAlreadyOpen };

  CDocTemplate(UINT resourceId, CFactory<CDocument> docClass, CFactory<CFrameWnd> frameClass,
               CFactory<CView> viewClass);
  virtual ~CDocTemplate();
  CDocTemplate(const CDocTemplate&) = delete;
  CDocTemplate& operator=(const CDocTemplate&) = delete;

  UINT GetResourceId() const { return m_nIDResource; }
  // Loads the document string; called when the manager takes the template.
  virtual void LoadTemplate();
  // One part of the document string; false (and out empty) when it is empty.
  bool GetDocString(CString& out, DocStringIndex index) const;

  virtual int GetDocumentCount() const = 0;
  virtual CDocument* GetDocument(int index) const = 0;
  virtual void AddDocument(CDocument* doc);
  virtual void RemoveDocument(CDocument* doc);

  // A new document (null path) or the file opened; null when that fails
  // or the user keeps the current document.
  virtual CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) = 0;
  // Whether the template opens the path: already open, its extension, or
  // a foreign file.
  virtual Confidence MatchDocType(const char* path, CDocument** open) const;
  // The title of a new document: the document name, else "Untitled".
  virtual void SetDefaultTitle(CDocument* doc);

  virtual CDocument* CreateNewDocument();
  // A frame for the document, created from the template's resource with a
  // view of the template's view class; null when that fails.
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible = true);

  // Asks every modified document; false when the user cancels.
  virtual bool SaveAllModified();
  virtual void CloseAllDocuments(bool endSession);

 protected:
  UINT m_nIDResource;
  CString m_strDocStrings;
  CFactory<CDocument> m_docClass;
  CFactory<CFrameWnd> m_frameClass;
  CFactory<CView> m_viewClass;
};

class CSingleDocTemplate : public CDocTemplate {
 public:
  using CDocTemplate::CDocTemplate;
  ~CSingleDocTemplate() override;

  int GetDocumentCount() const override { return m_pOnlyDoc ? 1 : 0; }
  CDocument* GetDocument(int index) const override { return index == 0 ? m_pOnlyDoc : nullptr; }
  void AddDocument(CDocument* doc) override;
  void RemoveDocument(CDocument* doc) override;
  CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;

 protected:
  CDocument* m_pOnlyDoc = nullptr;
};

class CDocManager {
 public:
  CDocManager() = default;
  virtual ~CDocManager();
  CDocManager(const CDocManager&) = delete;
  CDocManager& operator=(const CDocManager&) = delete;

  // Takes the template (the manager deletes it) and loads its strings.
  virtual void AddDocTemplate(CDocTemplate* tmpl);
  int GetTemplateCount() const { return m_templates.GetSize(); }
  CDocTemplate* GetTemplate(int index) const {
    return static_cast<CDocTemplate*>(m_templates.GetAt(index));
  }
  int GetOpenDocumentCount() const;

  // File New: a new document of the first template.
  virtual void OnFileNew();
  // File Open: asks for a file and opens it through the application's
  // OpenDocumentFile (which reports a file it cannot open).
  virtual void OnFileOpen();
  // The document open with that path (made full), or the file opened by the
  // template that fits it best; null when it cannot be opened.
  virtual CDocument* OpenDocumentFile(const char* path);
  // Asks for a file name: the title is string titleId; the filter lists the
  // template's type (or every template's) and "All Files (*.*)". True with
  // the chosen name in fileName when the user chose one.
  virtual bool DoPromptFileName(CString& fileName, UINT titleId, DWORD flags, bool openFileDialog,
                                CDocTemplate* tmpl);
  virtual bool SaveAllModified();
  virtual void CloseAllDocuments(bool endSession);

  // Registers each template's type under HKEY_CLASSES_ROOT: the type's key
  // (its name), DefaultIcon ("<program>,1"), shell\open\command
  // ("\"<program>\" \"%1\""), and the extension's key naming the type.
  // With compat also the print and printto commands.
  virtual void RegisterShellFileTypes(bool compat);

 protected:
  // Runs the open or save dialog that ofn describes; IDOK or IDCANCEL.
  // The default is the system's common dialog; tests answer here.
  virtual INT_PTR RunFileDialog(bool openFileDialog, OPENFILENAMEA& ofn);
  // The prompts' filter: "name\0*.ext\0" for the template's type (or every
  // template's), then all files; the string's own NUL ends the list.
  // defaultExt: the first type's extension without its dot, or empty.
  void BuildFileFilter(CDocTemplate* tmpl, CString& filter, CString& defaultExt);

  CPtrArray m_templates;
};

// The most recently opened or saved paths, newest first, kept in the
// profile section as "File1".."File<n>".
class CRecentFileList {
 public:
  CRecentFileList(const char* section, const char* entryFormat, int size);

  int GetSize() const { return m_size; }
  int GetCount() const { return m_files.GetSize(); }
  const CString& operator[](int index) const { return m_files[index]; }

  // Puts the path (made full) first; an entry of the same path (letter case
  // aside) moves instead of doubling; the oldest drops off.
  void Add(const char* path);
  void Remove(int index);
  void ReadList();
  void WriteList() const;
  // Puts the entries into a menu that holds the first item id (or the
  // entries): "&1 path"...; with no entries the menu's own first item
  // (greyed by update-UI) stands in for them.
  void UpdateMenu(HMENU menu);

 private:
  CString m_section;
  CString m_entryFormat;
  int m_size;
  CStringArray m_files;
  CString m_placeholder;  // the menu's own text of its first item
};
