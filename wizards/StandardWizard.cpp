// The Standard wizard's driver: the project record, the step order and
// Finish. The step dialogs are in WizardSteps.cpp and WizardStep3.cpp.
#include "wizards/StandardWizard.h"

#include "builder/controls/BuilderMessages.h"
#include "common/AppUtils.h"
#include "framework/AppUI.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocView.h"
#include "framework/Seams.h"
#include "script/Palette.h"

const char kWizardPathEntry[] = "WizardPath";

// ---------------------------------------------------------------------------
// The project

CWizardProject::~CWizardProject() {
  DeleteItems();
  DeleteSequences();
}

void CWizardProject::ResetAnswers() {
  m_name.Empty();
  m_useImages = 1;
  m_useMedia = 0;
  m_useTexts = 0;
  m_infiniteRepeat = 1;
  m_makeScr = 1;
  m_makeExe = 0;
}

void CWizardProject::DeleteItems() {
  for (int i = 0; i < m_images.GetSize(); ++i) delete GetImage(i);
  for (int i = 0; i < m_texts.GetSize(); ++i) delete GetText(i);
  for (int i = 0; i < m_mediaItems.GetSize(); ++i) delete GetMedia(i);
  m_images.RemoveAll();
  m_texts.RemoveAll();
  m_mediaItems.RemoveAll();
}

// ---------------------------------------------------------------------------
// Step order

bool IsWizardStepOn(int step, const CWizardProject& p) {
  switch (step) {
    case kWizardStep2A: return p.m_useImages != 0;
    case kWizardStep2B: return p.m_useMedia != 0;
    case kWizardStep2C: return p.m_useTexts != 0;
    default: return true;
  }
}

int NextWizardStep(int step, int result, const CWizardProject& p) {
  // A step that could not be shown (-1) or ended some other way ends the
  // wizard as Cancel does: nothing is generated from steps not taken.
  if (result != kStepNext && result != kStepSkipped && result != kStepPrevious)
    return kWizardCancelled;
  if (result == kStepPrevious) {
    for (int earlier = step - 1; earlier > kWizardStep1; --earlier)
      if (IsWizardStepOn(earlier, p)) return earlier;
    return kWizardStep1;
  }
  if (step >= kWizardStep3) return kWizardFinished;
  return step + 1;
}

namespace {

// Makes the folder with every missing level; true when it is there.
bool MakeFolder(const char* folder) {
  CreateDirectoryPath(folder);
  const DWORD attributes = ::GetFileAttributesA(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CString WithFinalBackslash(const char* folder) {
  CString path(folder);
  if (!path.IsEmpty() && path[path.GetLength() - 1] != '\\') path += '\\';
  return path;
}

// ---------------------------------------------------------------------------
// Sending commands to the frame

void CFrameCommandSink::Send(CSceneCommand* command) { SendCommandToFrame(m_window, command); }

const CCommandList* CFrameCommandSink::GetLiveList() const {
  return g_pCommandPalette ? &g_pCommandPalette->GetCommands() : nullptr;
}

// ---------------------------------------------------------------------------
// The driver

CStandardWizard::CStandardWizard(HWND mainWindow) : m_mainWindow(mainWindow) {}

int CStandardWizard::RunStep(int step) {
  switch (step) {
    case kWizardStep1: return RunStep1();
    case kWizardStep2A: return RunStep2A();
    case kWizardStep2B: return RunStep2B();
    case kWizardStep2C: return RunStep2C();
    default: return RunStep3();
  }
}

int CStandardWizard::Run(const char* defaultFolder) {
  m_project.ResetAnswers();
  char folder[MAX_PATH] = "";
  if (CWinApp* app = AfxGetApp())
    app->GetProfileString("Settings", kWizardPathEntry, defaultFolder, folder, sizeof folder);
  else
    lstrcpynA(folder, defaultFolder, sizeof folder);
  m_project.m_folder = folder;

  int step = kWizardStep1;
  while (step != kWizardFinished && step != kWizardCancelled) {
    const int result = RunStep(step);
    // The whole folder path, so that a folder typed several levels deep
    // exists before anything is written into it. Where no folder can be
    // made nothing can be written: the wizard ends.
    if (step == kWizardStep1 && result != kStepCancel && result != kStepPrevious &&
        !MakeFolder(m_project.m_folder)) {
      AfxMessageBox("Could not create directory!");
      step = kWizardCancelled;
      break;
    }
    step = NextWizardStep(step, result, m_project);
  }
  // The script goes into a fresh document only: a New the user refuses
  // ends the wizard with the old script as it was.
  const bool finish = step == kWizardFinished && (!m_mainWindow || StartNewDocument(m_mainWindow, false));
  DeleteItems();
  if (finish) Finish();
  m_project.DeleteSequences();
  return 1;
}

// The save has told the user why it failed; a script that is not saved
// is not reported as made, and nothing is made from it.
void CStandardWizard::Finish() {
  GenerateScript();
  const CString path = m_project.GetDocumentPath();
  if (!SaveDocumentAs(path, m_project.m_name)) return;
  if (m_mainWindow) ::SendMessageA(m_mainWindow, WM_COMMAND, ID_FILE_SAVE, 0);
  AfxMessageBox("Wizard finished generating script succesfully.", MB_OK);
  if (m_mainWindow && m_project.m_makeScr) ::SendMessageA(m_mainWindow, WM_MAKE_SCR, 0, 0);
  if (m_mainWindow && m_project.m_makeExe) ::SendMessageA(m_mainWindow, WM_MAKE_INSTALLER, 0, 0);
}

bool CStandardWizard::GenerateScript() {
  CFrameCommandSink sink(m_mainWindow);
  CWizardScriptGenerator(sink).Generate(m_project.m_sequences, m_project.m_infiniteRepeat != 0);
  return true;
}

bool CStandardWizard::GeneratePreviewScript(const CWizardSequenceArray& sequences, bool repeat) {
  CFrameCommandSink sink(m_mainWindow);
  CWizardScriptGenerator(sink).Generate(sequences, repeat, true);
  return true;
}

CSceneObject* CStandardWizard::FindDefinedObject(const CWizardSequence& s) {
  CFrameCommandSink sink(m_mainWindow);
  return CWizardScriptGenerator(sink).FindDefinedObject(s);
}

void CStandardWizard::DeleteItems() { m_project.DeleteItems(); }

CDocument* CStandardWizard::GetDocument() {
  CDocumentApp* app = AfxGetDocumentApp();
  if (!app || !app->m_pDocManager) return nullptr;
  CDocManager* manager = app->m_pDocManager;
  for (int t = 0; t < manager->GetTemplateCount(); ++t) {
    CDocTemplate* tmpl = manager->GetTemplate(t);
    if (tmpl && tmpl->GetDocumentCount() > 0) return tmpl->GetDocument(0);
  }
  return nullptr;
}

bool CStandardWizard::SaveDocumentAs(const char* path, const char* title) {
  CDocument* doc = GetDocument();
  if (!doc) return false;
  doc->SetPathName(path, true);
  doc->SetTitle(title);
  return doc->OnSaveDocument(path);
}

bool StartNewDocument(HWND mainWindow, bool dropCurrent) {
  if (!mainWindow) return false;
  CDocument* doc = CStandardWizard::GetDocument();
  if (dropCurrent && doc) doc->SetModifiedFlag(false);
  ::SendMessageA(mainWindow, WM_COMMAND, ID_FILE_NEW, 0);
  // A refused New leaves the document as it was: modified.
  doc = CStandardWizard::GetDocument();
  return doc && !doc->IsModified() && doc->GetPathName().IsEmpty();
}

void RunStandardWizard(HWND frame) {
  char module[MAX_PATH] = "";
  ::GetModuleFileNameA(nullptr, module, sizeof module);
  CStandardWizard wizard(frame);
  wizard.Run(GetFileDirectory(module) + "Wizard\\");
}
