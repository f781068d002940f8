// The builder made in this process from its own application object and
// resources, at start-up and between starts: the start-up window (class,
// title, panes, toolbar, tree), the profile and options file at close, the
// window's place, the help and the addresses handed to the shell, and the
// hand-over block between two starts.
// The profile and the file types go to private registry roots; dialogs,
// message boxes and the shell are answered through the framework's seams
// (see app_support.h).
#include "tests/builder/app_support.h"

namespace {

// ---------------------------------------------------------------------------
// Start-up

TEST_F(BuilderAppTest, StartsUntitledWithTheTreeBesideTheScriptAndTheToolbar) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(ClassName(FrameHwnd()), "Lumenweave3.1");
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_TRUE(::IsWindowVisible(FrameHwnd()));
  int width = 0, minimum = 0;
  Frame()->GetSplitterWnd().GetColumnInfo(0, width, minimum);
  EXPECT_EQ(width, 151);

  const UINT expected[] = {ID_FILE_NEW,        ID_FILE_OPEN,    ID_FILE_SAVE,    0,
                           ID_EDIT_CUT,        ID_EDIT_COPY,    ID_EDIT_PASTE,   0,
                           ID_COMMAND_CURRENT, ID_COMMAND_ADD,  ID_COMMAND_INSERT, ID_EDIT_DELETE,
                           0,                  ID_SCENE_PREVIEW, 0,              ID_WIZARD_LAST,
                           ID_TOOLS_STARTWINDOW};
  HWND bar = Frame()->GetToolBar().GetSafeHwnd();
  ASSERT_EQ(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(expected)));
  int buttons = 0;
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE("button " + std::to_string(i));
    TBBUTTON button = {};
    ::SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (expected[i] == 0) {
      EXPECT_TRUE(button.fsStyle & BTNS_SEP);
      continue;
    }
    ++buttons;
    EXPECT_EQ(static_cast<UINT>(button.idCommand), expected[i]);
    EXPECT_EQ((button.fsStyle & BTNS_DROPDOWN) != 0, expected[i] == ID_WIZARD_LAST);
  }
  EXPECT_EQ(buttons, 13);
  EXPECT_TRUE(::SendMessageA(bar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_DRAWDDARROWS);
  // The status line: the message pane and the three key indicators.
  EXPECT_EQ(::SendMessageA(Frame()->GetStatusBar().GetSafeHwnd(), SB_GETPARTS, 0, 0), 4);
  // The open and save prompts are the builder's own.
  EXPECT_NE(dynamic_cast<CDocManagerEx*>(app->m_pDocManager), nullptr);

  // The tree: "Commands", then one item per type with its image, standing
  // for the palette's prototype; the first type is selected.
  HWND tree = Tree()->GetSafeHwnd();
  char text[64] = "";
  TVITEMA item = {};
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_HANDLE;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  item.hItem = Tree()->GetRootItem();
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, "Commands");
  const char* names[] = {"Image/Text", "Show", "Move",  "Hide", "Wait",    "Cls",     "Repeat",
                         "Until",      "Line", "Multimedia/Flash", "Play", "Stop", "Comment", "Url"};
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE(names[type]);
    item.hItem = TypeItem(type);
    ASSERT_NE(item.hItem, nullptr);
    ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, names[type]);
    EXPECT_EQ(item.iImage, type + 2);
    EXPECT_EQ(reinterpret_cast<CSceneCommand*>(item.lParam), g_pCommandPalette->GetPrototype(type));
  }
  EXPECT_EQ(TypeItem(14), nullptr);
  EXPECT_EQ(Tree()->GetSelectedItem(), TypeItem(0));
}

TEST_F(BuilderAppTest, TheStartWindowIsAskedForAfterStartUpUnlessAFileWasNamed) {
  const std::string script = folder.File("named.fsd");
  ASSERT_TRUE(lwtest::WriteAll(script, {}));
  struct Case {
    const char* name;
    std::string commandLine;
    bool posted;
  } const cases[] = {{"no file", "", true}, {"a file", "\"" + script + "\"", false}};
  // Without the splash, which brings the Start window when it goes.
  CBuilderOptions options;
  options.m_splash = 0;
  ASSERT_EQ(SerializeOptions(options, false), 1);
  ASSERT_TRUE(Settings().SetNumber("StartDlg", 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Start(c.commandLine));
    // Queued for the loop, not run inside the frame's creation.
    MSG msg = {};
    bool posted = false;
    while (::PeekMessageA(&msg, FrameHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE))
      posted = posted || LOWORD(msg.wParam) == ID_TOOLS_STARTWINDOW;
    EXPECT_EQ(posted, c.posted);
    Stop();
  }
}

TEST_F(BuilderAppTest, TheWindowComesBackWhereItWasLeftAndTheOptionsAreWrittenAtClose) {
  ::DeleteFileA(CBuilderOptions::GetFilePath());
  ASSERT_TRUE(Settings().SetText("WindowPlace", "40,50,700,500"));
  ASSERT_TRUE(Settings().SetNumber("Splitter", 180));
  ASSERT_TRUE(Start());
  RECT r = {};
  ::GetWindowRect(FrameHwnd(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 700);
  EXPECT_EQ(r.bottom - r.top, 500);
  int width = 0, minimum = 0;
  Frame()->GetSplitterWnd().GetColumnInfo(0, width, minimum);
  EXPECT_EQ(width, 180);

  ::MoveWindow(FrameHwnd(), 60, 70, 720, 480, TRUE);
  Frame()->GetSplitterWnd().SetColumnInfo(0, 210, 0);
  Frame()->GetSplitterWnd().RecalcLayout();
  g_pCommandPalette->GetOptions()->m_tabSize = 3;
  ::SendMessageA(FrameHwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_EQ(Settings().Text("WindowPlace"), "60,70,720,480");
  EXPECT_EQ(Settings().Number("WindowShow", 99), static_cast<DWORD>(SW_SHOWNORMAL));
  EXPECT_EQ(Settings().Number("Splitter"), 210u);
  EXPECT_TRUE(lwtest::FileExists(static_cast<const char*>(CBuilderOptions::GetFilePath())));
  Settings().RemoveValue("WindowPlace");
  Settings().RemoveValue("Splitter");

  // The next start reads the options back: the indent follows the tab size.
  Stop();
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_pCommandPalette->GetOptions()->m_tabSize, 3);
  AddTypes({kTypeRepeat, kTypeWait, kTypeUntil});
  EXPECT_EQ(View()->GetLineCommand(1)->m_indent, 3);
  Doc()->SetModifiedFlag(false);
  ::DeleteFileA(CBuilderOptions::GetFilePath());
}

// A place left on a monitor that is gone comes back on the present screen,
// as large as it was.
TEST_F(BuilderAppTest, AWindowPlaceOffThePresentScreenComesBackOnIt) {
  for (const char* place : {"5000,4000,700,500", "-3000,50,700,500", "60,-2000,700,500"}) {
    SCOPED_TRACE(place);
    ASSERT_TRUE(Settings().SetText("WindowPlace", place));
    ASSERT_TRUE(Start());
    RECT r = {};
    ::GetWindowRect(FrameHwnd(), &r);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 500);
    HMONITOR monitor = ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    ASSERT_NE(monitor, nullptr) << r.left << "," << r.top;
    MONITORINFO info = {sizeof info};
    ASSERT_TRUE(::GetMonitorInfoA(monitor, &info));
    RECT inside = {};
    ::IntersectRect(&inside, &r, &info.rcWork);
    EXPECT_TRUE(::EqualRect(&inside, &r)) << "all of it on the screen";
    Stop();
  }
  Settings().RemoveValue("WindowPlace");
}

TEST_F(BuilderAppTest, AlwaysOnTopInTheWindowMenuIsKept) {
  ASSERT_TRUE(Start());
  HMENU system = ::GetSystemMenu(FrameHwnd(), FALSE);
  ASSERT_NE(::GetMenuState(system, IDM_ALWAYSONTOP, MF_BYCOMMAND), static_cast<UINT>(-1));
  for (int on : {1, 0}) {
    SCOPED_TRACE(on);
    ::SendMessageA(FrameHwnd(), WM_SYSCOMMAND, IDM_ALWAYSONTOP, 0);
    // (Wine under Xvfb keeps WS_EX_TOPMOST off whatever SetWindowPos asks.)
    EXPECT_EQ((::GetMenuState(system, IDM_ALWAYSONTOP, MF_BYCOMMAND) & MF_CHECKED) != 0, on == 1);
    EXPECT_EQ(Settings().Number("AlwaysOnTop", 7), static_cast<DWORD>(on));
  }
}

TEST_F(BuilderAppTest, AMaximisedWindowStartsMaximisedAgain) {
  ASSERT_TRUE(Settings().SetNumber("WindowShow", SW_SHOWMAXIMIZED));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(::IsZoomed(FrameHwnd()));
  Stop();
  ASSERT_TRUE(Settings().RemoveValue("WindowShow"));
  ASSERT_TRUE(Start());
  EXPECT_FALSE(::IsZoomed(FrameHwnd()));
}

TEST_F(BuilderAppTest, F6TabAndTheirShiftsMoveBetweenThePanes) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
  Command(ID_NEXT_PANE);
  EXPECT_EQ(Frame()->GetActiveView(), View());
  Command(ID_PREV_PANE);
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
  MSG tab = {Tree()->GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&tab));
  EXPECT_EQ(Frame()->GetActiveView(), View());
  tab.hwnd = View()->GetSafeHwnd();
  EXPECT_TRUE(Frame()->PreTranslateMessage(&tab));
  EXPECT_EQ(Frame()->GetActiveView(), Tree());
}

TEST_F(BuilderAppTest, CommandsSentByTheWizardsAreAppendedInOrder) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_ADD_COMMAND, 0, 0), 0);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_FALSE(Doc()->IsModified());
  for (int type : {kTypeComment, kTypeCls, kTypeWait})
    EXPECT_TRUE(SendCommandToFrame(FrameHwnd(), g_pCommandPalette->GetPrototype(type)->Clone()));
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeComment, kTypeCls, kTypeWait}));
  EXPECT_EQ(SelectedLines(), std::vector<int>{2});
  EXPECT_TRUE(Doc()->IsModified());
  Doc()->SetModifiedFlag(false);
}

// Help Topics, from the menu and by F1, opens the help's first page, which
// the build puts beside the builder.
TEST_F(BuilderAppTest, HelpTopicsAndTheAddressesThePreviewHandsOverGoToTheShell) {
  ASSERT_TRUE(Start());
  Command(ID_HELP_TOPICS);
  MSG f1 = {View()->GetSafeHwnd(), WM_KEYDOWN, VK_F1, 1};
  EXPECT_TRUE(Frame()->PreTranslateMessage(&f1));
  ASSERT_EQ(shell.calls.size(), 2u);
  const std::string help = static_cast<const char*>(GetProgramFolder() + "Help\\Index.html");
  for (const auto& call : shell.calls) {
    EXPECT_EQ(call.file, help);
    EXPECT_EQ(call.show, SW_SHOWMAXIMIZED);
    EXPECT_EQ(lwtest::HelpPageFault(call.file, LW_BUILD_DIR "/builder/Help"), "");
  }

  shell.calls.clear();
  ASSERT_TRUE(PostOpenPreviewUrl(FrameHwnd(), "https://example.org/saver"));
  ASSERT_TRUE(lwtest::PumpUntil([&] { return !shell.calls.empty(); }, 5000));
  EXPECT_EQ(shell.calls[0].verb, "open");
  EXPECT_EQ(shell.calls[0].file, "https://example.org/saver");
  EXPECT_EQ(shell.calls[0].show, SW_SHOWNOACTIVATE);
}

// The frame takes a command or an address only by an id its own senders
// handed out: one sent or posted by another thread or program, naming an
// object of the sender's or nothing at all, is ignored.
TEST_F(BuilderAppTest, ForgedCommandsAndAddressesAreIgnored) {
  ASSERT_TRUE(Start());
  CSceneCommand* foreign = g_pCommandPalette->GetPrototype(kTypeCls)->Clone();
  char* address = new char[32];
  lstrcpyA(address, "https://forged.example/");
  const HWND frame = FrameHwnd();
  auto fromAnotherThread = [frame](LPARAM command, LPARAM text) {
    std::atomic<bool> done{false};
    std::thread sender([&] {
      ::SendMessageA(frame, WM_ADD_COMMAND, 0, command);
      ::PostMessageA(frame, WM_OPEN_PREVIEW_URL, 0, text);
      done = true;
    });
    EXPECT_TRUE(lwtest::PumpUntil([&] { return done.load(); }, 10000));
    sender.join();
    lwtest::FlushEvents(200);
  };
  fromAnotherThread(reinterpret_cast<LPARAM>(foreign), reinterpret_cast<LPARAM>(address));
  EXPECT_EQ(View()->GetLineCount(), 0) << "a command of the sender's is not taken over";
  EXPECT_TRUE(shell.calls.empty()) << "an address of the sender's is not opened";
  EXPECT_STREQ(address, "https://forged.example/") << "nor freed";
  for (LPARAM forged : {LPARAM(1), LPARAM(0x7FFF1234), LPARAM(-1)}) {
    SCOPED_TRACE(forged);
    fromAnotherThread(forged, forged);
  }
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_FALSE(Doc()->IsModified());
  delete foreign;
  delete[] address;

  // What the frame's own senders hand over arrives.
  EXPECT_TRUE(SendCommandToFrame(frame, g_pCommandPalette->GetPrototype(kTypeWait)->Clone()));
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeWait});
  ASSERT_TRUE(PostOpenPreviewUrl(frame, "https://example.org/handed"));
  ASSERT_TRUE(lwtest::PumpUntil([&] { return !shell.calls.empty(); }, 5000));
  EXPECT_EQ(shell.calls[0].file, "https://example.org/handed");
  // A command sent where no script takes it is deleted, not left over.
  bool deleted = false;
  EXPECT_FALSE(SendCommandToFrame(nullptr, new CNotedComment(deleted)));
  EXPECT_TRUE(deleted);
  Doc()->SetModifiedFlag(false);
}

// ---------------------------------------------------------------------------
// The hand-over block

TEST_F(BuilderAppTest, AHandedFileArrivesAsAFullPath) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls});
  const std::string path = folder.File("handed.fsd");
  SaveAs(path);
  Command(ID_FILE_NEW);
  ASSERT_EQ(View()->GetLineCount(), 0);
  // A relative name, from this folder; the frame's folder may be another.
  ::SetCurrentDirectoryA(folder.Path().c_str());
  EXPECT_TRUE(HandFileTo(FrameHwnd(), "handed.fsd"));
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_EQ(View()->GetLineCount(), 2);
  EXPECT_TRUE(boxes.texts.empty());
}

// A stand-in for the running builder: keeps what the block said when the
// hand-over message came.
std::string g_handed;
LRESULT CALLBACK HandOverProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_OPEN_HANDED_FILE) return ::DefWindowProcA(hwnd, msg, wp, lp);
  g_handed = static_cast<const char*>(ReadHandedFile());
  return 1;
}

TEST(HandOver, TheBlockHoldsTheFullPathWhileTheRunningBuilderReadsIt) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HandOverProbeProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "LwHandOverProbe";
  ::RegisterClassA(&wc);
  HWND probe = ::CreateWindowA("LwHandOverProbe", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
  ASSERT_NE(probe, nullptr);
  lwtest::CTempFolder folder("handover");
  char previous[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof previous, previous);
  ::SetCurrentDirectoryA(folder.Path().c_str());
  struct Case {
    std::string name, handed;
  } const cases[] = {{"relative.fsd", folder.File("relative.fsd")},
                     {folder.File("full.fsd"), folder.File("full.fsd")},
                     {"", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_handed = "unread";
    EXPECT_TRUE(HandFileTo(probe, c.name.c_str()));
    EXPECT_EQ(g_handed, c.handed);
  }
  // A running builder busy for a while still gets the file: the second
  // start waits for its answer, holding the block until it is read.
  g_handed = "unread";
  std::atomic<bool> handed{false};
  std::thread second([&] { handed = HandFileTo(probe, "busy.fsd"); });
  ::Sleep(1500);
  EXPECT_TRUE(lwtest::PumpUntil([&] { return g_handed != "unread"; }, 10000));
  second.join();
  EXPECT_TRUE(handed);
  EXPECT_EQ(g_handed, folder.File("busy.fsd"));
  ::SetCurrentDirectoryA(previous);
  ::DestroyWindow(probe);
}

TEST_F(BuilderAppTest, AMissingEmptyOrOverlongBlockOpensNothingAndIsAnswered) {
  ASSERT_TRUE(Start());
  // No block at all.
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_OPEN_HANDED_FILE, 0, 0), 1);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());

  // A block of a whole page, larger than the hand-over's own.
  const DWORD page = 4096;
  HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, page,
                                        kHandedFileBlock);
  ASSERT_NE(mapping, nullptr);
  char* block = static_cast<char*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(block, nullptr);
  // Empty.
  block[0] = 0;
  EXPECT_EQ(::SendMessageA(FrameHwnd(), WM_OPEN_HANDED_FILE, 0, 0), 1);
  EXPECT_TRUE(boxes.texts.empty());
  // Without a terminating zero anywhere: the read stops at the block's end.
  memset(block, 'a', page);
  const int views = MappedViewCount();
  const CString read = ReadHandedFile();
  // The reader lets go of its view of the block.
  EXPECT_EQ(MappedViewCount(), views);
  EXPECT_GT(read.GetLength(), 0);
  EXPECT_LT(read.GetLength(), MAX_PATH);
  ::UnmapViewOfFile(block);
  ::CloseHandle(mapping);
}

TEST_F(BuilderAppTest, MatchSwitchTakesOneLeadingDashOrSlash) {
  struct Case {
    const char* argument;
    bool match;
  } const cases[] = {{"u", true},  {"-u", true},  {"/u", true}, {"U", true},
                     {"//u", false}, {"-uu", false}, {"x", false}, {"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(MatchSwitch(c.argument, "u"), c.match);
  }
}

}  // namespace
