// The Standard wizard: the project record that its steps fill, the order
// in which the steps follow each other, and the driver that runs them and
// on Finish writes the script into a fresh document, saves it and asks the
// main frame for the screen saver and the installer.
#pragma once

#include <windows.h>

#include "framework/Collections.h"
#include "framework/Strings.h"
#include "wizards/WizardScript.h"
#include "wizards/WizardSequence.h"

class CDocument;

// One wizard run: the answers of step 1, the items of steps 2A to 2C and
// the sequences of step 3. It owns every item and sequence; the arrays do
// not delete them on their own.
class CWizardProject {
 public:
  CWizardProject() = default;
  ~CWizardProject();
  CWizardProject(const CWizardProject&) = delete;
  CWizardProject& operator=(const CWizardProject&) = delete;

  // The flags' defaults and an empty name (the folder is left alone).
  void ResetAnswers();
  // Deletes every picture, text and media item.
  void DeleteItems();
  void DeleteSequences() { m_sequences.DeleteAll(); }
  // folder + name + ".fsd": the folder is meant to end with a backslash.
  CString GetDocumentPath() const { return m_folder + m_name + ".fsd"; }
  CImageTextObject* GetImage(int i) const { return static_cast<CImageTextObject*>(m_images.GetAt(i)); }
  CImageTextObject* GetText(int i) const { return static_cast<CImageTextObject*>(m_texts.GetAt(i)); }
  CMediaObject* GetMedia(int i) const { return static_cast<CMediaObject*>(m_mediaItems.GetAt(i)); }

  CString m_folder;
  CString m_name;
  int m_useImages = 1;
  int m_useMedia = 0;
  int m_useTexts = 0;
  int m_infiniteRepeat = 1;
  int m_makeScr = 1;
  int m_makeExe = 0;
  CObArray m_images;      // CImageTextObject pictures
  CObArray m_texts;       // CImageTextObject texts
  CObArray m_mediaItems;  // CMediaObject
  CWizardSequenceArray m_sequences;
};

enum WizardStep {
  kWizardStep1,
  kWizardStep2A,
  kWizardStep2B,
  kWizardStep2C,
  kWizardStep3,
  kWizardFinished,
  kWizardCancelled
};

// What a step dialog ends with; a step whose page is off returns
// kStepSkipped, which counts as Next.
enum WizardStepResult { kStepNext = 1, kStepCancel = 2, kStepPrevious = 3, kStepSkipped = 4 };

// The step that follows `step` ended with `result`: Next (or a skipped
// page) goes to the next step (after step 3: finished), Previous to the
// nearest earlier step whose page is on; Cancel, and a step that could not
// be shown or ended any other way, end the run.
int NextWizardStep(int step, int result, const CWizardProject& project);
// Whether the page of a step 2 is on.
bool IsWizardStepOn(int step, const CWizardProject& project);

// Ends a folder path with a backslash (an empty path stays empty).
CString WithFinalBackslash(const char* folder);

class CStandardWizard : public CObject {
 public:
  explicit CStandardWizard(HWND mainWindow);

  // The whole wizard; always 1. defaultFolder is the folder of the
  // script and outputs when the profile has no "WizardPath".
  int Run(const char* defaultFolder);

  // Each shows its step on the project and returns what it ended with;
  // steps 2A to 2C return kStepSkipped when their page is off.
  virtual int RunStep1();
  virtual int RunStep2A();
  virtual int RunStep2B();
  virtual int RunStep2C();
  virtual int RunStep3();

  // Sends the finished script for the project's sequences, or the
  // preview's script for `sequences`, to the main window. Both true.
  bool GenerateScript();
  bool GeneratePreviewScript(const CWizardSequenceArray& sequences, bool repeat);
  CSceneObject* FindDefinedObject(const CWizardSequence& s);
  void DeleteItems();

  // The application's one document, null when there is none.
  static CDocument* GetDocument();
  // Gives the document its path (the recent list too) and title and saves
  // it there; false when the save failed.
  static bool SaveDocumentAs(const char* path, const char* title);

  CWizardProject m_project;

 protected:
  // Finish: the script, the save, the message and the makes.
  virtual void Finish();
  HWND m_mainWindow;

 private:
  int RunStep(int step);
};

// The menu command: the wizard on the frame, with the program's folder
// followed by "Wizard\" as the default folder of its outputs.
void RunStandardWizard(HWND frame);

// Sends the framework's File New to the main window; true when a fresh
// document came of it (New asks to save a modified document, and the
// user may refuse). With dropCurrent the current document is first marked
// as not modified: the user has answered for it already, so New asks
// nothing.
bool StartNewDocument(HWND mainWindow, bool dropCurrent);

// The profile values of the wizard (section "Settings").
extern const char kWizardPathEntry[];  // "WizardPath"

// Sends commands to a window with WM_ADD_COMMAND (SendCommandToFrame) and
// reads the palette's live list.
class CFrameCommandSink : public CCommandSink {
 public:
  explicit CFrameCommandSink(HWND window) : m_window(window) {}
  void Send(CSceneCommand* command) override;
  const CCommandList* GetLiveList() const override;

 private:
  HWND m_window;
};
