// The one-step wizard's run, the Flash-to-SCR and Direct Flash tools and
// the flash presentation, as the main frame starts them. Each starts a
// new document, fills it through WM_ADD_COMMAND, saves it and has the
// saver and the installer written; a writer's failure is shown with the
// writer's reason, and the finished dialog comes only when the files it
// names are there.
#include "wizards/ToolCommands.h"

#include "builder/controls/BuilderMessages.h"
#include "builder/controls/ControlsResource.h"
#include "builder/controls/FileDialogEx.h"
#include "builder/controls/SaverMakeResult.h"
#include "builder/controls/Settings.h"
#include "common/Paths.h"
#include "framework/App.h"
#include "framework/AppUI.h"
#include "framework/CommandIds.h"
#include "framework/DocView.h"
#include "framework/FrameWnd.h"
#include "framework/Seams.h"
#include "script/Commands.h"
#include "script/Objects.h"
#include "wizards/OneStep.h"
#include "wizards/SaverMaker.h"
#include "wizards/StandardWizard.h"
#include "wizards/ToolDialogs.h"

const char kLastWizardEntry[] = "LastWizard";

namespace {

void Send(CFrameWnd* frame, CSceneCommand* command) {
  SendCommandToFrame(frame->GetSafeHwnd(), command);
}

bool SaveAllModified() {
  CDocumentApp* app = AfxGetDocumentApp();
  return !app || app->SaveAllModified();
}

// The generated script becomes the document at path, titled title.
bool SaveGeneratedDocument(CFrameWnd* frame, const char* path, const char* title) {
  CDocument* doc = frame->GetActiveDocument();
  if (!doc) return false;
  doc->SetPathName(path, true);
  doc->SetTitle(title);
  return doc->OnSaveDocument(path);
}

bool BothExist(const CString& base) { return FileExists(base + ".scr") && FileExists(base + ".exe"); }

void ShowFinished(const char* folder, const char* caption) {
  COneStepFinishedDlg dialog(::GetActiveWindow());
  dialog.m_folder = folder;
  if (caption) dialog.m_caption = caption;
  dialog.DoModal();
}

// Runs a file chooser starting in the folder the profile value names; the
// chosen path, or an empty one when cancelled. A hooked chooser gets the
// builder's save hook.
CString ChooseFile(bool open, const char* defExt, const char* name, DWORD flags, const char* filter,
                   HWND owner, const char* title, const char* folderEntry) {
  CFileDialogEx dialog(false, open, defExt, name, flags, filter, owner);
  const CString folder = GetSettingsFolder(folderEntry);
  dialog.m_ofn.lpstrTitle = title;
  dialog.m_ofn.lpstrInitialDir = folder;
  if (flags & OFN_ENABLEHOOK) dialog.m_ofn.lpfnHook = SaveDialogHookProc;
  return dialog.DoModal() == IDOK ? dialog.GetPathName() : CString();
}

// The saver's path when the save dialog did not name it (an extension
// was added after the dialog), else empty: the dialog has asked about the
// name it gave.
CString Unasked(const CString& saver, const CString& chosen) {
  return saver.CompareNoCase(chosen) == 0 ? CString() : saver;
}

// The folder of a path as the profile keeps folders: without a final
// backslash unless it is a drive's root.
CString FolderOf(const char* path) {
  CString folder = GetFileDirectory(path);
  if (folder.GetLength() > 3) folder = folder.Left(folder.GetLength() - 1);
  return folder;
}

}  // namespace

UINT LastWizardCommand(int lastWizard) {
  switch (lastWizard) {
    case 0: return ID_WIZARD_STANDARD;
    case 1: return ID_WIZARD_ONESTEP;
    case 2: return ID_WIZARD_FLASHTOSCR;
    default: return 0;
  }
}

CString WithScrExtension(const char* path) {
  CString result(path);
  if (GetFileExtension(result, true) != "scr") result += ".scr";
  return result;
}

// ---------------------------------------------------------------------------

void RunOneStepWizard(CFrameWnd* frame) {
  WriteSettingsInt(kLastWizardEntry, 1);
  COneStepDlg dialog(frame->GetSafeHwnd());
  COneStepBuilder builder(frame->GetSafeHwnd());
  if (!SaveAllModified()) return;
  // The user has been asked to save the current document.
  StartNewDocument(frame->GetSafeHwnd(), true);
  if (dialog.DoModal() != IDOK) return;

  CString folder = GetWizardProjectsFolder();
  const CString name = dialog.m_name;
  if (!HasSubfolder(folder, name) && !CreateDirectoryPath(folder + name)) {
    AfxMessageBox("Could not create directory!");
    return;
  }
  folder += name + "\\";
  if (!builder.LoadFolder(dialog.m_sourceFolder, dialog.m_template)) {
    StartNewDocument(frame->GetSafeHwnd(), true);
    return;
  }
  builder.Build(dialog.m_template);
  const CString document = folder + name + ".fsd";
  if (!SaveGeneratedDocument(frame, document, name)) return;

  CSaverMaker maker;
  const CString saver = folder + name + ".scr";
  if (!maker.MakeScr(saver, document)) {
    ShowSaverMakeResult(false, saver, maker.m_lastErrorShown, maker.m_lastErrorMessage,
                        maker.m_lastErrorCode);
    return;
  }
  const CString installer = folder + name + ".exe";
  if (!maker.MakeInstaller(installer, document)) {
    ShowSaverMakeResult(false, installer, maker.m_lastErrorShown, maker.m_lastErrorMessage,
                        maker.m_lastErrorCode);
    return;
  }
  if (BothExist(folder + name)) ShowFinished(folder, nullptr);
}

void RunFlashToScr(CFrameWnd* frame) {
  WriteSettingsInt(kLastWizardEntry, 2);
  if (!SaveAllModified()) return;
  const HWND owner = frame->GetSafeHwnd();
  const CString movie = ChooseFile(true, nullptr, nullptr, OFN_HIDEREADONLY, "Flash movie  (.swf)|*.swf|",
                                   owner, "Choose flash movie", "FlashPath");
  if (movie.IsEmpty()) return;
  WriteSettingsString("FlashPath", GetFileDirectory(movie));
  StartNewDocument(owner, true);

  auto* object = new CMediaObject;
  if (!object->LoadMediaFile(movie, true)) {
    delete object;
    return;
  }
  auto comment = [&](const char* text) {
    auto* line = new CCommentCommand;
    line->m_text = text;
    Send(frame, line);
  };
  comment(LoadResourceString(IDS_FLASH_SCRIPT_TITLE, "Flash-to-ScreenSaver wizard generated script"));
  comment("");
  for (UINT id = IDS_FLASH_SCRIPT_NOTE_FIRST; id < IDS_FLASH_SCRIPT_NOTE_FIRST + 4; ++id)
    comment(LoadResourceString(id));
  comment("");
  Send(frame, object);
  Send(frame, new CClsCommand);
  auto* play = new CPlayCommand;
  CFlashPlayAttribute& flash = play->m_placement.m_flash;
  flash.m_infinite = 1;
  flash.m_wait = 1;
  flash.m_endless = 0;
  flash.m_posModeX = flash.m_posModeY = kModeCenter;
  const SIZE frameSize = object->GetFlashFrameSize();
  flash.m_width = frameSize.cx;
  flash.m_height = frameSize.cy;
  play->SetTarget(object);
  Send(frame, play);

  const CString chosen = ChooseFile(false, "scr", GetPathTitle(movie),
                                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLEHOOK,
                                    "Screen Saver (.scr)|*.scr||", owner, "Make Screen Saver", "SavePath");
  const CUnwrittenFileGuard unwritten(chosen);
  const CString saver = WithScrExtension(chosen);
  const CString outputFolder = GetFileDirectory(saver);
  const CString title = GetPathTitle(saver);
  // The script and the installer are written beside the saver: the user
  // is asked about those (and about a saver the dialog did not name). No
  // ends the tool as Cancel does.
  if (chosen.IsEmpty() ||
      !MayReplaceFiles({outputFolder + title + ".fsd", Unasked(saver, chosen), outputFolder + title + ".exe"})) {
    StartNewDocument(owner, true);
    return;
  }
  WriteSettingsString("SavePath", FolderOf(chosen));
  if (!SaveGeneratedDocument(frame, outputFolder + title + ".fsd", title)) return;
  ::SendMessageA(owner, WM_COMMAND, ID_FILE_SAVE, 0);
  const bool saverMade = ::SendMessageA(owner, WM_MAKE_SCR, 0, 0) != 0;
  const bool installerMade = ::SendMessageA(owner, WM_MAKE_INSTALLER, 0, 0) != 0;
  // The frame has told the user of a failed make; files of those names
  // may still be there from before.
  if (saverMade && installerMade) ShowFinished(outputFolder, "Flash-to-SCR wizard finished");
}

void RunDirectFlash(HWND owner) {
  const DWORD flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK;
  const CString movie = ChooseFile(true, "swf", nullptr, flags, "Macromedia Flash (.swf)|*.swf||", owner,
                                   "Select flash file", "FlashPath");
  if (movie.IsEmpty()) return;
  const CString chosen = ChooseFile(false, "scr", nullptr, flags | OFN_OVERWRITEPROMPT,
                                    "ScreenSaver (.scr)|*.scr||", owner, "Select ScreenSaver", "SavePath");
  if (chosen.IsEmpty()) return;
  const CUnwrittenFileGuard unwritten(chosen);
  const CString saver = WithScrExtension(chosen);
  // The installer goes beside the saver, under its title.
  if (!MayReplaceFiles({Unasked(saver, chosen), GetFileDirectory(saver) + GetPathTitle(saver) + ".exe"}))
    return;
  CSaverMaker maker;
  if (!maker.MakeMovieSaver(saver, movie)) {
    CString text = "Direct Flash wizard failed!";
    if (!maker.m_lastErrorMessage.IsEmpty()) text += "\n\n" + maker.m_lastErrorMessage;
    AfxMessageBox(text, MB_ICONSTOP);
    return;
  }
  ShowFinished(GetFileDirectory(saver), "Direct Flash wizard finished");
}

bool RunFlashPresentation(CFrameWnd* frame) {
  const HWND owner = frame->GetSafeHwnd();
  CFlashPresentationDlg dialog(owner);
  if (dialog.DoModal() != IDOK) return false;
  // The presentation is a script of its own: when the user keeps the
  // current one (Cancel at the save question, or a save that did not
  // happen), nothing is done.
  if (!StartNewDocument(owner, false)) return false;
  auto* object = new CMediaObject;
  if (!object->LoadMediaFile(dialog.m_moviePath, true)) {
    delete object;
    return false;
  }
  Send(frame, object);
  auto* play = new CPlayCommand;
  CFlashPlayAttribute& flash = play->m_placement.m_flash;
  flash.m_fullScreen = 1;
  flash.m_timed = 1;
  flash.m_timerMs = 0;
  flash.m_wait = 1;
  play->SetTarget(object);
  Send(frame, play);

  const CString base = FlashPresentationBase(dialog.m_saverName);
  const CString document = base + ".fsd";
  if (!SaveGeneratedDocument(frame, document, dialog.m_saverName)) return false;
  ::SendMessageA(owner, WM_COMMAND, ID_FILE_SAVE, 0);
  CSaverMaker maker;
  maker.m_documentPath = document;
  if (!maker.MakeBesideDocument()) return false;  // the maker has told the user why
  ::SendMessageA(owner, WM_COMMAND, ID_FILE_NEW, 0);
  if (GetSettingsInt(kShowGotoDialogEntry, 1) != 0 && BothExist(base)) {
    CMakeFinishedDlg finished(owner);
    finished.m_folder = GetFileDirectory(document);
    finished.DoModal();
  }
  return true;
}
