// The script document: palette, open check, store and load, close.
#include "builder/SceneDoc.h"

#include <new>

#include "builder/SceneView.h"
#include "builder/resource.h"
#include "framework/App.h"
#include "framework/Archive.h"
#include "framework/Exceptions.h"
#include "framework/Seams.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "script/SceneDocument.h"

CSceneDoc::CSceneDoc() {
  try {
    m_pPalette = new CCommandPalette;
  } catch (CException* e) {
    e->Delete();
    m_pPalette = nullptr;
  }
  if (!m_pPalette) {
    AfxMessageBox(LoadResourceString(IDS_NO_MEMORY, "No enough memory."), MB_ICONSTOP);
    ::PostQuitMessage(17);
    return;
  }
  g_pCommandPalette = m_pPalette;
}

CSceneDoc::~CSceneDoc() {
  // The views forget the commands before they go.
  DeleteContents();
  delete m_pPalette;  // clears g_pCommandPalette
}

CCommandList& CSceneDoc::GetCommands() { return m_pPalette->GetCommands(); }

bool CSceneDoc::OnNewDocument() { return m_pPalette && CDocument::OnNewDocument(); }

bool CSceneDoc::OnOpenDocument(const char* path) {
  m_bOpenReached = true;
  LastReadFailure().Empty();
  // The check runs before the framework empties the document, so that a
  // refused file leaves the current script as it was.
  if (!m_pPalette || CheckSceneDocumentFile(path, nullptr) == kSceneFileRefused) return false;
  return CDocument::OnOpenDocument(path);
}

void CSceneDoc::ReportSaveLoadException(const char* path, CException* e, bool saving) {
  if (saving) {
    CDocument::ReportSaveLoadException(path, e, saving);
    return;
  }
  LastReadFailure() = e ? e->GetErrorMessage() : CString("Unknown error.");
}

CString& CSceneDoc::LastReadFailure() {
  static CString failure;
  return failure;
}

void CSceneDoc::Serialize(CArchive& ar) {
  SerializeSceneDocument(ar, m_pPalette->GetCommands(), m_pPalette);
}

void CSceneDoc::DeleteContents() {
  CDocument::DeleteContents();
  // A list box line must never show a deleted command, not even while a
  // message box of a failed open repaints the window.
  for (int i = 0; i < GetViewCount(); ++i)
    if (auto* view = dynamic_cast<CSceneView*>(GetView(i))) view->ClearLines();
  if (m_pPalette) m_pPalette->GetCommands().DeleteAll();
}

bool CSceneDoc::CanCloseFrame(CFrameWnd* frame) {
  if (!CDocument::CanCloseFrame(frame)) return false;
  const CBuilderOptions* options = m_pPalette ? m_pPalette->GetOptions() : nullptr;
  const int mode = options ? options->m_deleteClipboardOnExit : 0;
  if (mode != 1 && mode != 2) return true;
  const UINT format = ::RegisterClipboardFormatA(kCopySceneFormat);
  if (!format || !::IsClipboardFormatAvailable(format)) return true;
  if (mode == 2) {
    const CString question = LoadResourceString(
        IDS_KEEP_CLIPBOARD_QUESTION, "Are you sure you want to keep data on the clipboard?");
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDNO) return true;
  }
  CWinApp* app = AfxGetApp();
  HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
  if (::OpenClipboard(owner)) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  return true;
}
