// Document templates (the single-document one), the document manager and
// the recent-file list.
#include "framework/DocManager.h"

#include "framework/AppUI.h"
#include "framework/CommandIds.h"
#include "framework/CommonDialogs.h"
#include "framework/FrameWnd.h"
#include "framework/Registry.h"
#include "framework/Seams.h"
#include "framework/Trace.h"

namespace {

// The full form of a path; the path itself when it has none.
CString FullPath(const char* path) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path, sizeof full, full, nullptr);
  return (length > 0 && length < sizeof full) ? CString(full) : CString(path);
}

// A frame that the template made for a document that then failed: it goes
// without ending the program, even when it was to be the main window.
void DiscardFrame(CFrameWnd* frame) {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == frame) app->m_pMainWnd = nullptr;
  frame->DestroyWindow();
}

void SetClassesRootDefault(const char* key, const char* value) {
  CRegKey reg;
  if (reg.Create(HKEY_CLASSES_ROOT, key) == ERROR_SUCCESS) reg.SetString(nullptr, value);
}

}  // namespace

// ---------------------------------------------------------------------------
// CDocTemplate

CDocTemplate::CDocTemplate(UINT resourceId, CFactory<CDocument> docClass,
                           CFactory<CFrameWnd> frameClass, CFactory<CView> viewClass)
    : m_nIDResource(resourceId),
      m_docClass(docClass),
      m_frameClass(frameClass),
      m_viewClass(viewClass) {}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate() { m_strDocStrings = LoadResourceString(m_nIDResource); }

bool CDocTemplate::GetDocString(CString& out, DocStringIndex index) const {
  out.Empty();
  int start = 0;
  for (int i = 0; i < index; ++i) {
    start = m_strDocStrings.Find('\n', start);
    if (start < 0) return false;
    ++start;
  }
  const int end = m_strDocStrings.Find('\n', start);
  out = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
  return !out.IsEmpty();
}

void CDocTemplate::AddDocument(CDocument* doc) { doc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* doc) {
  if (doc->m_pDocTemplate == this) doc->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const char* path, CDocument** open) const {
  *open = nullptr;
  for (int i = 0; i < GetDocumentCount(); ++i) {
    CDocument* doc = GetDocument(i);
    if (!doc->GetPathName().IsEmpty() && lstrcmpiA(doc->GetPathName(), path) == 0) {
      *open = doc;
      return yesAlreadyOpen;
    }
  }
  CString ext;
  const int length = lstrlenA(path);
  if (GetDocString(ext, filterExt) && length >= ext.GetLength() &&
      lstrcmpiA(path + length - ext.GetLength(), ext) == 0)
    return yesAttemptNative;
  return maybeAttemptForeign;
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) {
  CString title;
  if (!GetDocString(title, docName)) title = LoadResourceString(AFX_IDS_UNTITLED, "Untitled");
  doc->SetTitle(title);
}

CDocument* CDocTemplate::CreateNewDocument() {
  CDocument* doc = m_docClass.Create();
  if (doc) AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  CCreateContext context;
  context.m_pCurrentDoc = doc;
  context.m_newViewClass = m_viewClass;
  context.m_pNewDocTemplate = this;
  context.m_pCurrentFrame = other;
  CFrameWnd* frame = m_frameClass.Create();
  if (!frame) return nullptr;
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW, nullptr, &context)) {
    LwTrace("Document template %u: the frame was not created\n", m_nIDResource);
    return nullptr;  // the frame is gone
  }
  CWinApp* app = AfxGetApp();
  if (app && !app->m_pMainWnd) app->m_pMainWnd = frame;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) {
  frame->InitialUpdateFrame(doc, makeVisible);
}

bool CDocTemplate::SaveAllModified() {
  for (int i = 0; i < GetDocumentCount(); ++i)
    if (!GetDocument(i)->SaveModified()) return false;
  return true;
}

void CDocTemplate::CloseAllDocuments(bool) {
  // A document that does not delete itself stays in the list: close the
  // ones there are now, each once.
  CPtrArray docs;
  for (int i = 0; i < GetDocumentCount(); ++i) docs.Add(GetDocument(i));
  for (int i = 0; i < docs.GetSize(); ++i) static_cast<CDocument*>(docs[i])->OnCloseDocument();
}

// ---------------------------------------------------------------------------
// CSingleDocTemplate

CSingleDocTemplate::~CSingleDocTemplate() {
  delete m_pOnlyDoc;  // its destructor takes it out of the template
}

void CSingleDocTemplate::AddDocument(CDocument* doc) {
  m_pOnlyDoc = doc;
  CDocTemplate::AddDocument(doc);
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
  if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
  CDocTemplate::RemoveDocument(doc);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
  // The one document is reused: its save question comes first.
  CDocument* doc = m_pOnlyDoc;
  const bool createdDoc = doc == nullptr;
  CFrameWnd* frame = nullptr;
  if (doc) {
    if (!doc->SaveModified()) return nullptr;
    for (int i = 0; i < doc->GetViewCount() && !frame; ++i) frame = doc->GetView(i)->GetParentFrame();
  } else {
    doc = CreateNewDocument();
    if (!doc) return nullptr;
  }
  const bool createdFrame = frame == nullptr;
  if (createdFrame) {
    frame = CreateNewFrame(doc, nullptr);
    if (!frame) {
      if (createdDoc) delete doc;
      return nullptr;
    }
  }
  bool ok;
  if (path) {
    ok = doc->OnOpenDocument(path);
  } else {
    SetDefaultTitle(doc);
    ok = doc->OnNewDocument();
  }
  if (!ok) {
    if (createdFrame) {
      DiscardFrame(frame);
      if (createdDoc) delete doc;
    } else {
      // The views show what the document holds now.
      InitialUpdateFrame(frame, doc, makeVisible);
    }
    return nullptr;
  }
  if (path) doc->SetPathName(path);
  InitialUpdateFrame(frame, doc, makeVisible);
  return doc;
}

// ---------------------------------------------------------------------------
// CDocManager

CDocManager::~CDocManager() {
  for (int i = 0; i < m_templates.GetSize(); ++i) delete GetTemplate(i);
}

void CDocManager::AddDocTemplate(CDocTemplate* tmpl) {
  tmpl->LoadTemplate();
  m_templates.Add(tmpl);
}

int CDocManager::GetOpenDocumentCount() const {
  int count = 0;
  for (int i = 0; i < m_templates.GetSize(); ++i) count += GetTemplate(i)->GetDocumentCount();
  return count;
}

void CDocManager::OnFileNew() {
  if (m_templates.IsEmpty()) {
    LwTrace("File New: no document template\n");
    return;
  }
  GetTemplate(0)->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  CString name;
  if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, true,
                        nullptr))
    return;
  if (CDocumentApp* app = AfxGetDocumentApp())
    app->OpenDocumentFile(name);
  else
    OpenDocumentFile(name);
}

CDocument* CDocManager::OpenDocumentFile(const char* path) {
  if (!path || !*path) return nullptr;
  const CString full = FullPath(path);
  CDocTemplate* best = nullptr;
  CDocTemplate::Confidence bestConfidence = CDocTemplate::noAttempt;
  for (int i = 0; i < m_templates.GetSize(); ++i) {
    CDocument* open = nullptr;
    const CDocTemplate::Confidence confidence = GetTemplate(i)->MatchDocType(full, &open);
    if (confidence == CDocTemplate::yesAlreadyOpen) {
      // Already open: its frame comes to the front, nothing is read again.
      for (int v = 0; v < open->GetViewCount(); ++v) {
        if (CFrameWnd* frame = open->GetView(v)->GetParentFrame()) {
          frame->ActivateFrame();
          break;
        }
      }
      return open;
    }
    if (confidence > bestConfidence) {
      best = GetTemplate(i);
      bestConfidence = confidence;
    }
  }
  return best ? best->OpenDocumentFile(full) : nullptr;
}

void CDocManager::BuildFileFilter(CDocTemplate* tmpl, CString& filter, CString& defaultExt) {
  filter.Empty();
  defaultExt.Empty();
  const int count = tmpl ? 1 : m_templates.GetSize();
  for (int i = 0; i < count; ++i) {
    CDocTemplate* t = tmpl ? tmpl : GetTemplate(i);
    CString name, ext;
    if (t->GetDocString(name, CDocTemplate::filterName) &&
        t->GetDocString(ext, CDocTemplate::filterExt)) {
      if (defaultExt.IsEmpty()) defaultExt = ext[0] == '.' ? ext.Mid(1) : ext;
      filter += name;
      filter += '\0';
      filter += '*';
      filter += ext;
      filter += '\0';
    }
  }
  filter += LoadResourceString(AFX_IDS_ALLFILTER, "All Files (*.*)");
  filter += '\0';
  filter += "*.*";
  filter += '\0';
}

bool CDocManager::DoPromptFileName(CString& fileName, UINT titleId, DWORD flags,
                                   bool openFileDialog, CDocTemplate* tmpl) {
  const CString title = LoadResourceString(titleId, openFileDialog ? "Open" : "Save As");
  CString filter, defaultExt;
  BuildFileFilter(tmpl, filter, defaultExt);

  char file[MAX_PATH];
  lstrcpynA(file, fileName, sizeof file);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  CWinApp* app = AfxGetApp();
  ofn.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : ::GetActiveWindow();
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title;
  ofn.Flags = flags | OFN_EXPLORER;
  ofn.lpstrDefExt = defaultExt.IsEmpty() ? nullptr : (const char*)defaultExt;
  if (RunFileDialog(openFileDialog, ofn) != IDOK) return false;
  fileName = file;
  return true;
}

INT_PTR CDocManager::RunFileDialog(bool openFileDialog, OPENFILENAMEA& ofn) {
  CCommonDialogRunner& runner = GetCommonDialogRunner();
  const BOOL ok = openFileDialog ? runner.GetOpenFileName(&ofn) : runner.GetSaveFileName(&ofn);
  return ok ? IDOK : IDCANCEL;
}

bool CDocManager::SaveAllModified() {
  for (int i = 0; i < m_templates.GetSize(); ++i)
    if (!GetTemplate(i)->SaveAllModified()) return false;
  return true;
}

void CDocManager::CloseAllDocuments(bool endSession) {
  for (int i = 0; i < m_templates.GetSize(); ++i) GetTemplate(i)->CloseAllDocuments(endSession);
}

void CDocManager::RegisterShellFileTypes(bool compat) {
  char program[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return;
  for (int i = 0; i < m_templates.GetSize(); ++i) {
    CDocTemplate* t = GetTemplate(i);
    CString typeId, typeName, ext;
    if (!t->GetDocString(typeId, CDocTemplate::regFileTypeId)) continue;
    if (!t->GetDocString(typeName, CDocTemplate::regFileTypeName)) typeName = typeId;
    SetClassesRootDefault(typeId, typeName);
    CString value;
    value.Format("%s,1", program);
    SetClassesRootDefault(typeId + "\\DefaultIcon", value);
    value.Format("\"%s\" \"%%1\"", program);
    SetClassesRootDefault(typeId + "\\shell\\open\\command", value);
    if (compat) {
      value.Format("\"%s\" /p \"%%1\"", program);
      SetClassesRootDefault(typeId + "\\shell\\print\\command", value);
      value.Format("\"%s\" /pt \"%%1\" \"%%2\" \"%%3\" \"%%4\"", program);
      SetClassesRootDefault(typeId + "\\shell\\printto\\command", value);
    }
    if (t->GetDocString(ext, CDocTemplate::filterExt)) SetClassesRootDefault(ext, typeId);
  }
}

// ---------------------------------------------------------------------------
// CRecentFileList

CRecentFileList::CRecentFileList(const char* section, const char* entryFormat, int size)
    : m_section(section), m_entryFormat(entryFormat), m_size(size) {}

void CRecentFileList::Add(const char* path) {
  const CString full = FullPath(path);
  for (int i = 0; i < m_files.GetSize(); ++i) {
    if (lstrcmpiA(m_files[i], full) == 0) {
      m_files.RemoveAt(i);
      break;
    }
  }
  m_files.InsertAt(0, full);
  while (m_files.GetSize() > m_size) m_files.RemoveAt(m_files.GetSize() - 1);
  WriteList();
}

void CRecentFileList::Remove(int index) {
  if (index < 0 || index >= m_files.GetSize()) return;
  m_files.RemoveAt(index);
  WriteList();
}

void CRecentFileList::ReadList() {
  m_files.RemoveAll();
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (int i = 1; i <= m_size; ++i) {
    CString entry;
    entry.Format(m_entryFormat, i);
    const CString path = app->GetProfileString(m_section, entry);
    if (!path.IsEmpty()) m_files.Add(path);
  }
}

void CRecentFileList::WriteList() const {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (int i = 1; i <= m_size; ++i) {
    CString entry;
    entry.Format(m_entryFormat, i);
    // Entries past the end are removed.
    app->WriteProfileString(m_section, entry,
                            i <= m_files.GetSize() ? (const char*)m_files[i - 1] : nullptr);
  }
}

void CRecentFileList::UpdateMenu(HMENU menu) {
  const UINT last = ID_FILE_MRU_FILE1 + m_size - 1;
  const int count = ::GetMenuItemCount(menu);
  int first = -1;
  for (int i = 0; i < count && first < 0; ++i) {
    const UINT id = ::GetMenuItemID(menu, i);
    if (id >= ID_FILE_MRU_FILE1 && id <= last) first = i;
  }
  if (first < 0) return;
  // The first time, the item is the menu's own: its text stands in for an
  // empty list from then on.
  if (m_placeholder.IsEmpty()) {
    char text[256] = "";
    ::GetMenuStringA(menu, first, text, sizeof text, MF_BYPOSITION);
    m_placeholder = text[0] ? text : "Recent File";
  }
  for (int i = count - 1; i >= first; --i) {
    const UINT id = ::GetMenuItemID(menu, i);
    if (id >= ID_FILE_MRU_FILE1 && id <= last) ::DeleteMenu(menu, i, MF_BYPOSITION);
  }
  if (m_files.IsEmpty()) {
    ::InsertMenuA(menu, first, MF_BYPOSITION | MF_STRING, ID_FILE_MRU_FILE1, m_placeholder);
    return;
  }
  for (int i = 0; i < m_files.GetSize(); ++i) {
    CString path = m_files[i];
    path.Replace("&", "&&");  // a path's ampersand is no mnemonic
    CString text;
    text.Format("&%d %s", i + 1, (const char*)path);
    ::InsertMenuA(menu, first + i, MF_BYPOSITION | MF_STRING, ID_FILE_MRU_FILE1 + i, text);
  }
}
