// The builder made in this process: the Preview command, the script check,
// the writer's commands (Make SCR, Make Install, Set SCR as default) and
// the text export.
// The profile and the file types go to private registry roots; dialogs,
// message boxes and the shell are answered through the framework's seams
// (see app_support.h).
#include "tests/builder/app_support.h"

namespace {

// What the Standard wizard's "Preview SS" does from its modal step: a new
// document, then Preview. The step stays the window in front throughout;
// the preview holds it while it plays and gives everything back as it was.
class CPreviewSsDlg : public CDialog {
 public:
  explicit CPreviewSsDlg(HWND main) : CDialog(IDD_COMMENT, main) {}
  HWND self = nullptr, activeAfterNew = nullptr, activeAfter = nullptr;
  bool opened = false, heldWhilePreviewing = false, mainEnabledAfter = true;

 protected:
  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    PostMessage(WM_APP);
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != WM_APP) return CDialog::WindowProc(msg, wp, lp);
    self = m_hWnd;
    ::SendMessageA(m_parent, WM_COMMAND, ID_FILE_NEW, 0);
    activeAfterNew = ::GetActiveWindow();
    ::SendMessageA(m_parent, WM_COMMAND, ID_SCENE_PREVIEW, 0);
    HWND preview = ::FindWindowA(kPreviewWindowClass, kPreviewTitle);
    opened = preview != nullptr;
    heldWhilePreviewing = !::IsWindowEnabled(m_hWnd);
    if (preview) {
      ::SendMessageA(preview, WM_COMMAND, ID_PREVIEW_EXIT, 0);
      lwtest::PumpUntil([&] { return !::IsWindow(preview); }, 10000);
    }
    activeAfter = ::GetActiveWindow();
    mainEnabledAfter = ::IsWindowEnabled(m_parent) != FALSE;
    EndDialog(IDOK);
    return 0;
  }
};

TEST_F(BuilderAppTest, PreviewFromAModalStepKeepsTheStepInFrontAndTheMainWindowDisabled) {
  ASSERT_TRUE(Start());
  ::SetForegroundWindow(FrameHwnd());
  CPreviewSsDlg step(FrameHwnd());
  ASSERT_EQ(step.DoModal(), IDOK);
  EXPECT_EQ(step.activeAfterNew, step.self) << "a new document does not bring the main window up";
  ASSERT_TRUE(step.opened);
  EXPECT_TRUE(step.heldWhilePreviewing);
  EXPECT_EQ(step.activeAfter, step.self);
  EXPECT_FALSE(step.mainEnabledAfter);
  EXPECT_TRUE(::IsWindowEnabled(FrameHwnd()));
}

// ---------------------------------------------------------------------------
// The Preview command

TEST_F(BuilderAppTest, PreviewChecksTheScriptWarnsOfNothingVisibleSavesFirstAndStarts) {
  ASSERT_TRUE(Start());
  CBuilderOptions* options = g_pCommandPalette->GetOptions();
  auto preview = [] { return ::FindWindowA(kPreviewWindowClass, kPreviewTitle); };
  auto leave = [&] {
    HWND h = preview();
    if (!h) return;
    ::SendMessageA(h, WM_COMMAND, ID_PREVIEW_EXIT, 0);
    EXPECT_TRUE(lwtest::PumpUntil([&] { return !::IsWindow(h); }, 10000));
  };

  // A Repeat without its Until: the check's message, and no preview.
  AddTypes({kTypeRepeat, kTypeWait});
  ClearBoxes();
  Command(ID_SCENE_PREVIEW);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Missing until command."});
  EXPECT_EQ(preview(), nullptr);

  // Nothing visible: the warning, then the preview all the same; playing
  // at once when the options say so.
  AddTypes({kTypeUntil});
  options->m_saveBeforePreview = 0;
  for (int autoStart : {1, 0}) {
    SCOPED_TRACE(autoStart);
    options->m_previewAutoStart = autoStart;
    ClearBoxes();
    Command(ID_SCENE_PREVIEW);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Warning!  There are no active commands in your screen saver. There will be no "
              "visible result.");
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    HWND h = preview();
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(FrameHwnd()));
    auto* frame = dynamic_cast<CPreviewFrame*>(CWnd::FromHandlePermanent(h));
    ASSERT_NE(frame, nullptr);
    const bool started = lwtest::PumpUntil([&] { return frame->GetSceneThread() != nullptr; }, 2000);
    EXPECT_EQ(started, autoStart == 1);
    leave();
    EXPECT_TRUE(::IsWindowEnabled(FrameHwnd()));
  }

  // Save before preview: a modified script with a path is saved first.
  const std::string path = folder.File("previewed.fsd");
  SaveAs(path);
  AddTypes({kTypeWait});
  ASSERT_TRUE(Doc()->IsModified());
  for (int save : {0, 1}) {
    SCOPED_TRACE(save);
    options->m_saveBeforePreview = save;
    options->m_previewAutoStart = 0;
    const lwtest::Bytes before = lwtest::ReadAll(path);
    ClearBoxes();
    Command(ID_SCENE_PREVIEW);
    EXPECT_EQ(boxes.texts.size(), 1u) << "the warning only";
    EXPECT_NE(preview(), nullptr);
    EXPECT_EQ(Doc()->IsModified(), save == 0);
    EXPECT_EQ(lwtest::ReadAll(path) == before, save == 0);
    leave();
  }
}

// ---------------------------------------------------------------------------
// Check, make, default saver, text

TEST_F(BuilderAppTest, CheckScriptNamesAnUnpairedRepeatOrUntilAndSelectsItsLine) {
  ASSERT_TRUE(Start());
  struct Case {
    const char* name;
    std::vector<int> types;
    std::vector<int> disabled;
    const char* message;  // null: the script may run
    int line;
  } const cases[] = {
      {"repeat without until", {kTypeRepeat, kTypeWait}, {}, "Missing until command.", 1},
      {"until first", {kTypeUntil, kTypeRepeat}, {}, "Missing repeat command.", 0},
      {"until too many", {kTypeRepeat, kTypeUntil, kTypeWait, kTypeUntil, kTypeCls}, {},
       "Missing repeat command.", 3},
      {"disabled lines do not count", {kTypeRepeat, kTypeWait, kTypeUntil, kTypeUntil}, {3}, nullptr, -1},
      {"paired", {kTypeRepeat, kTypeRepeat, kTypeUntil, kTypeUntil}, {}, nullptr, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectLines({});
    ::SendMessageA(View()->GetSafeHwnd(), LB_SETSEL, TRUE, -1);
    View()->DeleteSelection(false);
    for (int type : c.types) AddTypes({type});
    for (int line : c.disabled) View()->GetLineCommand(line)->SetDisabled(1);
    SelectLines({0});
    Frame()->SetActiveView(Tree());
    ClearBoxes();
    const bool ready = View()->CheckScript();
    EXPECT_EQ(ready, c.message == nullptr);
    if (!c.message) {
      EXPECT_TRUE(boxes.texts.empty());
      continue;
    }
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], c.message);
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(SelectedLines(), std::vector<int>{c.line});
    EXPECT_EQ(View()->GetCaretLine(), c.line);
    EXPECT_EQ(Frame()->GetActiveView(), View());
  }
  Doc()->SetModifiedFlag(false);
}

// The builder's outputs of a saved script equal what the writer makes of
// the same document.
class BuilderMakeTest : public BuilderAppTest {
 protected:
  void MakeScript(const std::string& name) {
    ASSERT_TRUE(Start());
    AddTypes({kTypeCls, kTypeRepeat, kTypeWait, kTypeUntil});
    document = folder.File(name);
    SaveAs(document);
    ClearBoxes();
  }
  // What the writer makes of the document, made elsewhere.
  lwtest::Bytes WriterOutput(bool installer) {
    const std::string reference = elsewhere.File(installer ? "reference.exe" : "reference.scr");
    CSaverMaker maker;
    const BOOL made = installer ? maker.MakeInstaller(reference.c_str(), document.c_str())
                                : maker.MakeScr(reference.c_str(), document.c_str());
    EXPECT_TRUE(made) << static_cast<const char*>(maker.m_lastErrorMessage);
    return lwtest::ReadAll(reference);
  }

  std::string document;
  lwtest::CTempFolder elsewhere{"buildermakeref"};
};

TEST_F(BuilderMakeTest, TheWizardsMakeTheSaverAndTheInstallerBesideTheDocument) {
  MakeScript("beside.fsd");
  // The process's current folder is not the document's.
  ::SetCurrentDirectoryA(elsewhere.Path().c_str());
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  ::SendMessageA(FrameHwnd(), WM_MAKE_INSTALLER, 0, 0);
  const std::string scr = folder.File("beside.scr"), exe = folder.File("beside.exe");
  ASSERT_TRUE(lwtest::FileExists(scr));
  ASSERT_TRUE(lwtest::FileExists(exe));
  EXPECT_FALSE(lwtest::FileExists(elsewhere.File("beside.exe")));
  EXPECT_EQ(lwtest::ReadAll(scr), WriterOutput(false));
  EXPECT_EQ(lwtest::ReadAll(exe), WriterOutput(true));
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{
                             "Screen saver\n" + scr + "\nis succesfully created.",
                             "Screen saver\n" + exe + "\nis succesfully created."}));
}

TEST_F(BuilderMakeTest, WithoutADialogOnlyTheDocumentsOwnExtensionGivesWay) {
  struct Case {
    const char* document;
    const char* scr;
    const char* exe;
  } const cases[] = {
      {"plain.fsd", "plain.scr", "plain.exe"},
      {"LOUD.FSD", "LOUD.scr", "LOUD.exe"},
      {"show.scene", "show.scene.scr", "show.scene.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    MakeScript(c.document);
    ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
    ::SendMessageA(FrameHwnd(), WM_MAKE_INSTALLER, 0, 0);
    EXPECT_TRUE(lwtest::FileExists(folder.File(c.scr)));
    EXPECT_TRUE(lwtest::FileExists(folder.File(c.exe)));
    EXPECT_EQ(lwtest::ReadAll(document).empty(), false) << "the document stays";
    Stop();
  }
}

TEST_F(BuilderMakeTest, MakeScrAndMakeInstallAskWhereAndRememberTheFolder) {
  MakeScript("asked.fsd");
  const std::string scr = elsewhere.File("chosen.scr");
  const std::string exe = elsewhere.File("chosen.exe");
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(scr);
    dialogs.AnswerFile(exe);
    Command(ID_FILE_MAKESCR);
    Command(ID_FILE_MAKEINSTALL);
    ASSERT_EQ(dialogs.files.size(), 2u);
    EXPECT_FALSE(dialogs.files[0].open);
    EXPECT_EQ(dialogs.files[0].defExt, "scr");
    EXPECT_EQ(dialogs.files[0].fileName, "asked");
    EXPECT_TRUE(dialogs.files[0].hooked);
    EXPECT_EQ(dialogs.files[1].defExt, "exe");
    EXPECT_EQ(dialogs.files[1].fileName, "asked");
  }
  EXPECT_EQ(lwtest::ReadAll(scr), WriterOutput(false));
  EXPECT_EQ(lwtest::ReadAll(exe), WriterOutput(true));
  EXPECT_EQ(Settings().Text("SavePath") + "\\chosen.scr", scr);

  // Cancelled: nothing is made.
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerCancel();
  ClearBoxes();
  Command(ID_FILE_MAKESCR);
  EXPECT_TRUE(boxes.texts.empty());
  Settings().RemoveValue("SavePath");
}

TEST_F(BuilderMakeTest, AWriterThatFailsIsHeardWithItsMessageAndCode) {
  MakeScript("fails.fsd");
  // A folder where the saver should go: the writer cannot create it.
  ASSERT_TRUE(::CreateDirectoryA(folder.File("fails.scr").c_str(), nullptr));
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find("Screen saver cannot be created."), std::string::npos) << boxes.texts[0];
  EXPECT_NE(boxes.texts[0].find("error code"), std::string::npos) << boxes.texts[0];
  EXPECT_EQ(boxes.texts[0].find("succesfully"), std::string::npos);
  EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

// Every make saves the script first. When that save fails or is
// cancelled, the file on the disk is not the script the window shows:
// nothing is made and the user is told the scene must be saved.
TEST_F(BuilderMakeTest, AMakeAfterASaveThatDidNotHappenMakesNothing) {
  MakeScript("unsaved.fsd");
  const lwtest::Bytes saved = lwtest::ReadAll(document);
  const std::string chosenScr = elsewhere.File("chosen.scr"), chosenExe = elsewhere.File("chosen.exe");
  struct Make {
    const char* name;
    UINT message;
    WPARAM command;
    std::string output;
  } const makes[] = {
      {"WM_MAKE_SCR", WM_MAKE_SCR, 0, folder.File("unsaved.scr")},
      {"WM_MAKE_INSTALLER", WM_MAKE_INSTALLER, 0, folder.File("unsaved.exe")},
      {"Make SCR", WM_COMMAND, ID_FILE_MAKESCR, chosenScr},
      {"Make Install", WM_COMMAND, ID_FILE_MAKEINSTALL, chosenExe},
  };
  for (bool cancelled : {false, true}) {
    SCOPED_TRACE(cancelled ? "the save is cancelled" : "the save fails");
    if (cancelled) {
      // A read-only file: the save asks for another name, which is cancelled.
      ASSERT_TRUE(::SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      View()->InsertCommand(new CFailingComment, true);
    }
    ASSERT_TRUE(Doc()->IsModified());
    for (const Make& make : makes) {
      SCOPED_TRACE(make.name);
      ClearBoxes();
      lwtest::CRecordedCommonDialogs dialogs;
      if (cancelled) dialogs.AnswerCancel();
      dialogs.AnswerFile(make.output);
      ::SendMessageA(FrameHwnd(), make.message, make.command, 0);
      EXPECT_FALSE(lwtest::FileExists(make.output));
      ASSERT_FALSE(boxes.texts.empty());
      EXPECT_EQ(boxes.texts.back(), "You have to save the scene.");
      for (const std::string& text : boxes.texts) EXPECT_EQ(text.find("succesfully"), std::string::npos) << text;
      EXPECT_EQ(lwtest::ReadAll(document), saved);
    }
  }
  ::SetFileAttributesA(document.c_str(), FILE_ATTRIBUTE_NORMAL);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderMakeTest, AnInstallerForAFinishedSaverCarriesTheSaverAsItIs) {
  MakeScript("finished.fsd");
  ::SendMessageA(FrameHwnd(), WM_MAKE_SCR, 0, 0);
  const std::string scr = folder.File("finished.scr"), exe = folder.File("finished.exe");
  const lwtest::Bytes saver = lwtest::ReadAll(scr);
  ASSERT_FALSE(saver.empty());
  auto installFor = [&](const std::string& chosen) {
    ClearBoxes();
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(chosen);
    Command(ID_TOOLS_INSTALLFORSCR);
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_TRUE(dialogs.files[0].open);
  };
  installFor(scr);
  const lwtest::Bytes installer = lwtest::ReadAll(exe);
  ASSERT_GT(installer.size(), saver.size());
  EXPECT_TRUE(std::equal(saver.begin(), saver.end(), installer.end() - saver.size()));
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Screen saver\n" + exe + "\nis succesfully created."});

  installFor(scr);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Installer file already exists!"});
  EXPECT_EQ(lwtest::ReadAll(exe), installer);

  const std::string other = folder.File("other.scr");
  ASSERT_TRUE(lwtest::WriteAll(other, {'M', 'Z', 1, 2, 3}));
  installFor(other);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find("The file is not a screen saver made by Lumenweave!"), std::string::npos)
      << boxes.texts[0];
  EXPECT_FALSE(lwtest::FileExists(folder.File("other.exe")));
}

TEST_F(BuilderMakeTest, SetScrAsDefaultCopiesTheSaverAndHandsItToTheDisplaySettings) {
  MakeScript("default.fsd");
  char system[MAX_PATH] = "";
  ::GetSystemDirectoryA(system, sizeof system);
  const std::string name = "lwdefault" + std::to_string(::GetCurrentProcessId()) + ".scr";
  const std::string saver = elsewhere.File(name);
  const std::string target = std::string(system) + "\\" + name;
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(saver);
    Command(ID_FILE_SETDEFAULT);
  }
  ASSERT_TRUE(lwtest::FileExists(target));
  EXPECT_EQ(lwtest::ReadAll(target), lwtest::ReadAll(saver));
  ::DeleteFileA(target.c_str());
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, "rundll32.exe");
  EXPECT_EQ(shell.calls[0].params, "desk.cpl,InstallScreenSaver " + target);

  // A copy that fails is told, and the display settings are not asked.
  ASSERT_TRUE(::CreateDirectoryA(target.c_str(), nullptr));
  shell.calls.clear();
  ClearBoxes();
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(saver);
    Command(ID_FILE_SETDEFAULT);
  }
  ::RemoveDirectoryA(target.c_str());
  EXPECT_TRUE(shell.calls.empty());
  ASSERT_EQ(boxes.texts.size(), 2u);  // made, then the failed copy
  EXPECT_NE(boxes.texts[1].find(target), std::string::npos) << boxes.texts[1];
  EXPECT_EQ(boxes.types[1] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(BuilderMakeTest, ExportTextWritesTheIndentedLabelsBesideTheDocument) {
  MakeScript("text.fsd");
  const std::string text = document + ".txt";
  HoldKeys(true, true);
  MSG key = {View()->GetSafeHwnd(), WM_KEYDOWN, VK_OEM_PLUS, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&key));
  HoldKeys(false, false);
  std::string expected;
  for (int i = 0; i < View()->GetLineCount(); ++i) {
    const CSceneCommand* command = View()->GetLineCommand(i);
    expected += std::string(command->m_indent, ' ') + Label(command) + "\r\n";
  }
  EXPECT_EQ(expected.substr(0, 1), "C");
  EXPECT_NE(expected.find("\r\n  "), std::string::npos);
  const lwtest::Bytes written = lwtest::ReadAll(text);
  EXPECT_EQ(std::string(written.begin(), written.end()), expected);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].file, text);
  EXPECT_EQ(shell.calls[0].show, SW_SHOWMAXIMIZED);

  // A file that cannot be made is told, and nothing is opened.
  ASSERT_TRUE(::DeleteFileA(text.c_str()));
  ASSERT_TRUE(::CreateDirectoryA(text.c_str(), nullptr));
  shell.calls.clear();
  View()->ExportText();
  EXPECT_TRUE(shell.calls.empty());
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find(text), std::string::npos) << boxes.texts[0];
  ::RemoveDirectoryA(text.c_str());
}

}  // namespace
