// Documents, views and frames in a single-document application made
// in-process: new and opened documents and their titles, the save question,
// saving through a temporary file, Save As and the recent files, the
// command route and update-UI, accelerators, the command line and the
// shell's file types, dropped files, control-bar layout and messages, and a
// 1 x 2 splitter with a tree and a list box, its dragged bar and F6.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "framework/AppUI.h"
#include "framework/Archive.h"
#include "framework/ControlBar.h"
#include "framework/Exceptions.h"
#include "framework/FrameWnd.h"
#include "framework/Splitter.h"
#include "tests/framework/docview_test_res.h"
#include "tests/support/files.h"
#include "tests/support/message_sequence.h"
#include "tests/support/processes.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

testing::Environment* const kPrivateProfile =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));

const char kProfileKey[] = "Software\\Lumenweave Tests";
const uint32_t kMagic = 0x424F5250;  // "PROB"

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// The bytes a probe document stores: the magic, the text's length, the text.
lwtest::Bytes DocumentBytes(const std::string& text) {
  lwtest::Bytes bytes;
  for (uint32_t value : {kMagic, static_cast<uint32_t>(text.size())})
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

using lwtest::ClassName;
using lwtest::WindowText;

// ---------------------------------------------------------------------------
// The probe application's classes

class CProbeDoc : public CDocument {
  LW_DECLARE_COMMAND_TABLE()
 public:
  std::string text;
  int failAfter = -1;  // storing throws after this many bytes of the text

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << kMagic << static_cast<uint32_t>(text.size());
      for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<int>(i) == failAfter) AfxThrowFileException(CFileException::diskFull);
        ar << static_cast<uint8_t>(text[i]);
      }
      return;
    }
    uint32_t magic = 0, size = 0;
    ar >> magic >> size;
    if (magic != kMagic) AfxThrowArchiveException(CArchiveException::badSchema);
    if (size > ar.GetBytesLeft()) AfxThrowArchiveException(CArchiveException::endOfFile);
    text.assign(size, '\0');
    if (size) ar.ReadExactly(&text[0], size);
  }
  void DeleteContents() override { text.clear(); }

 protected:
  bool OnRoute(UINT) {
    Log().push_back("document");
    return false;
  }
};
const CCommandEntry CProbeDoc::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeDoc::OnRoute),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeDoc, CDocument)

class CProbeView : public CView {
  LW_DECLARE_COMMAND_TABLE()
 public:
  bool selection = false;
  int initialUpdates = 0;
  void OnInitialUpdate() override {
    ++initialUpdates;
    CView::OnInitialUpdate();
  }

 protected:
  bool OnRoute(UINT) {
    Log().push_back("view");
    return false;
  }
  bool OnKey(UINT) {
    Log().push_back("key");
    return true;
  }
  bool OnCopy(UINT) { return true; }
  void OnUpdateCopy(CCmdUI* ui) { ui->Enable(selection); }
};
const CCommandEntry CProbeView::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeView::OnRoute),
    CommandEntry(ID_PROBE_KEY, &CProbeView::OnKey),
    CommandEntry(ID_EDIT_COPY, &CProbeView::OnCopy),
    UpdateUIEntry(ID_EDIT_COPY, &CProbeView::OnUpdateCopy),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeView, CView)

// The splitter's right pane: a list box whose WM_CREATE reaches the view.
class CProbeListView : public CCtrlView {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CProbeListView()
      : CCtrlView("LISTBOX", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT) {}

 protected:
  int OnCreate(CREATESTRUCTA* cs) override {
    if (CCtrlView::OnCreate(cs) == -1) return -1;
    SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("made in WM_CREATE"));
    return 0;
  }
  bool OnRoute(UINT) {
    Log().push_back("list");
    return false;
  }
};
const CCommandEntry CProbeListView::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeListView::OnRoute),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeListView, CCtrlView)

// The splitter's left pane: a tree that hears its own notifications.
class CProbeTreeView : public CTreeView {
  LW_DECLARE_COMMAND_TABLE()
 public:
  std::vector<UINT> notifications;
  void OnInitialUpdate() override {
    TVINSERTSTRUCTA item = {};
    item.hParent = TVI_ROOT;
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT;
    item.item.pszText = const_cast<char*>("Commands");
    auto root = reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
  }

 protected:
  bool OnChildNotify(UINT msg, WPARAM, LPARAM lp, LRESULT*) override {
    if (msg == WM_NOTIFY) notifications.push_back(reinterpret_cast<NMHDR*>(lp)->code);
    return false;
  }
  bool OnRoute(UINT) {
    Log().push_back("tree");
    return false;
  }
};
const CCommandEntry CProbeTreeView::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeTreeView::OnRoute),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeTreeView, CTreeView)

// A stand-in control bar: a strip of a given thickness on one side, with a
// button whose state comes from the frame's route, and (when it is a
// status line) the messages it was given.
class CProbeBar : public CControlBar {
 public:
  CProbeBar(Side side, int thickness, bool takesMessages, UINT barId)
      : m_thickness(thickness), m_takesMessages(takesMessages) {
    m_side = side;
    m_barId = barId;
  }

  bool Create(CFrameWnd* frame) {
    const char* cls = RegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, *frame, m_barId)) return false;
    m_button = ::CreateWindowExA(0, "BUTTON", "Copy", WS_CHILD | WS_VISIBLE, 0, 0, 40, 10, m_hWnd,
                                 reinterpret_cast<HMENU>(ID_EDIT_COPY), nullptr, nullptr);
    frame->AddControlBar(this);
    return true;
  }

  void Layout(CRect& remaining) override {
    CRect strip = remaining;
    switch (m_side) {
      case kTop:
        strip.bottom = strip.top + m_thickness;
        remaining.top = strip.bottom;
        break;
      case kBottom:
        strip.top = strip.bottom - m_thickness;
        remaining.bottom = strip.top;
        break;
      case kLeft:
        strip.right = strip.left + m_thickness;
        remaining.left = strip.right;
        break;
      case kRight:
        strip.left = strip.right - m_thickness;
        remaining.right = strip.left;
        break;
    }
    MoveWindow(strip.left, strip.top, strip.Width(), strip.Height());
  }
  void UpdateItems(CFrameWnd* frame) override {
    CCmdUI ui(m_button, ID_EDIT_COPY);
    CCommandMsg msg(CCommandEntry::kUpdateUI, ID_EDIT_COPY);
    msg.ui = &ui;
    frame->GetCommandRoute().Route(msg);
  }
  bool ShowMessage(const char* text) override {
    if (!m_takesMessages) return false;
    messages.push_back(text);
    return true;
  }
  void SaveState(CWinApp* app, const char* section) const override {
    app->WriteProfileInt(section, "Visible", (GetStyle() & WS_VISIBLE) ? 1 : 0);
  }
  void LoadState(CWinApp* app, const char* section) override {
    ShowWindow(app->GetProfileInt(section, "Visible", 1) ? SW_SHOWNOACTIVATE : SW_HIDE);
  }

  HWND Button() const { return m_button; }
  std::vector<std::string> messages;

 private:
  int m_thickness;
  bool m_takesMessages;
  HWND m_button = nullptr;
};

// Whether the next frame holds a 1 x 2 splitter (tree, then the template's
// view) instead of the template's view alone.
bool g_split = false;
// Whether frames show themselves. Most tests look at windows, not at the
// screen, and a frame that was never shown goes at once: under Wine and
// Xvfb hiding or destroying a shown frame takes two seconds.
bool g_show = false;

class CProbeFrame : public CFrameWnd {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CProbeBar toolBar{CControlBar::kTop, 20, false, ID_VIEW_TOOLBAR};
  CProbeBar statusBar{CControlBar::kBottom, 15, true, ID_VIEW_STATUS_BAR};
  CSplitterWnd splitter;

  bool AddBars() { return toolBar.Create(this) && statusBar.Create(this); }

  void ActivateFrame(int cmdShow) override {
    if (g_show) CFrameWnd::ActivateFrame(cmdShow);
  }

 protected:
  bool OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override {
    if (!g_split) return CFrameWnd::OnCreateClient(cs, context);
    if (!splitter.CreateStatic(this, 1, 2) ||
        !splitter.CreateView(0, 0, ClassOf<CProbeTreeView>(), CSize(151, 0), context) ||
        !splitter.CreateView(0, 1, context->m_newViewClass, CSize(0, 0), context))
      return false;
    SetActiveView(static_cast<CView*>(splitter.GetPane(0, 0)));
    return true;
  }
  bool OnRoute(UINT) {
    Log().push_back("frame");
    return false;
  }
};
const CCommandEntry CProbeFrame::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeFrame::OnRoute),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeFrame, CFrameWnd)

class CProbeApp : public CDocumentApp {
  LW_DECLARE_COMMAND_TABLE()
 public:
  CProbeApp() : CDocumentApp("Probe") {}

 protected:
  bool OnRoute(UINT) {
    Log().push_back("application");
    return true;
  }
};
const CCommandEntry CProbeApp::commandEntries[] = {
    CommandEntry(ID_PROBE_ROUTE, &CProbeApp::OnRoute),
};
LW_IMPLEMENT_COMMAND_TABLE(CProbeApp, CDocumentApp)

// The file prompt answered by the test: each prompt takes the next
// answer (a path), or is cancelled when there is none.
class CProbeDocManager : public CDocManager {
 public:
  struct Prompt {
    bool open;
    std::string title, file, defaultExt;
    std::vector<std::string> filter;
    DWORD flags;
  };
  std::vector<Prompt> prompts;
  std::deque<std::string> answers;

 protected:
  INT_PTR RunFileDialog(bool open, OPENFILENAMEA& ofn) override {
    Prompt p{open, ofn.lpstrTitle ? ofn.lpstrTitle : "", ofn.lpstrFile,
             ofn.lpstrDefExt ? ofn.lpstrDefExt : "", {}, ofn.Flags};
    for (const char* f = ofn.lpstrFilter; f && *f; f += lstrlenA(f) + 1) p.filter.push_back(f);
    prompts.push_back(p);
    if (answers.empty()) return IDCANCEL;
    lstrcpynA(ofn.lpstrFile, answers.front().c_str(), ofn.nMaxFile);
    answers.pop_front();
    return IDOK;
  }
};

// ---------------------------------------------------------------------------
// The fixture: a fresh application with one single-document template

class DocViewTest : public testing::Test {
 protected:
  void SetUp() override {
    lwtest::CRegKeyPath(HKEY_CURRENT_USER, kProfileKey).DeleteTree();
    g_split = UseSplitter();
    g_show = false;
    Log().clear();
    app = new CProbeApp;
    app->m_hInstance = ::GetModuleHandleA(nullptr);
    app->SetRegistryKey("Lumenweave Tests");
    manager = new CProbeDocManager;
    app->m_pDocManager = manager;
    CFactory<CView> viewClass = ClassOf<CProbeView>();
    if (UseSplitter()) viewClass = ClassOf<CProbeListView>();
    app->AddDocTemplate(new CSingleDocTemplate(IDR_PROBE, ClassOf<CProbeDoc>(),
                                               ClassOf<CProbeFrame>(), viewClass));
    app->LoadStdProfileSettings(4);
  }

  void TearDown() override {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    delete app;
    DropQuit();
    lwtest::CRegKeyPath(HKEY_CURRENT_USER, kProfileKey).DeleteTree();
  }

  virtual bool UseSplitter() const { return false; }

  CProbeFrame* Frame() const { return dynamic_cast<CProbeFrame*>(app->m_pMainWnd); }
  CProbeDoc* Doc() const {
    return static_cast<CProbeDoc*>(app->m_pDocManager->GetTemplate(0)->GetDocument(0));
  }
  CProbeView* View() const { return dynamic_cast<CProbeView*>(Frame()->GetActiveView()); }
  void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id, 0); }

  // The items of a pop-up of the frame's menu, after WM_INITMENUPOPUP:
  // "text|id|g" (g when greyed, c when checked).
  std::vector<std::string> PopupItems(int index) {
    HMENU popup = ::GetSubMenu(::GetMenu(*Frame()), index);
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), index);
    std::vector<std::string> items;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
      char text[300] = "";
      ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
      const UINT state = ::GetMenuState(popup, i, MF_BYPOSITION);
      std::string item = std::string(text) + "|" + std::to_string(::GetMenuItemID(popup, i));
      if (state & MF_GRAYED) item += "|g";
      if (state & MF_CHECKED) item += "|c";
      items.push_back(item);
    }
    return items;
  }

  static std::string Recent(int n) {
    return lwtest::CRegKeyPath(HKEY_CURRENT_USER,
                               std::string(kProfileKey) + "\\Probe\\Recent File List")
        .Text(("File" + std::to_string(n)).c_str());
  }

  static bool QuitPosted() {
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
  }
  static void DropQuit() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  CProbeApp* app = nullptr;
  CProbeDocManager* manager = nullptr;
  lwtest::CTempFolder folder{"docview"};
};

// ---------------------------------------------------------------------------
// New, open, save

TEST_F(DocViewTest, ANewDocumentIsUntitledInAFrameMadeFromTheResource) {
  g_show = true;
  app->m_nCmdShow = SW_SHOWNOACTIVATE;
  app->OnFileNew();
  ASSERT_NE(Frame(), nullptr);
  EXPECT_EQ(WindowText(*Frame()), "Untitled - Probe");
  // The program's show command is for the main frame's first showing.
  EXPECT_TRUE(Frame()->IsWindowVisible());
  EXPECT_EQ(app->m_nCmdShow, -1);
  EXPECT_EQ(Doc()->GetTitle(), "Untitled");
  EXPECT_TRUE(Doc()->GetPathName().IsEmpty());
  EXPECT_FALSE(Doc()->IsModified());
  // Menu, accelerators and icon come from the template's resource id.
  ASSERT_NE(::GetMenu(*Frame()), nullptr);
  EXPECT_EQ(::GetMenuItemCount(::GetMenu(*Frame())), 3);
  EXPECT_NE(Frame()->GetAccelerators(), nullptr);
  EXPECT_NE(::GetClassLongPtrA(*Frame(), GCLP_HICON), 0);
  // The template's view shows the document and is the active view.
  ASSERT_NE(View(), nullptr);
  EXPECT_EQ(View()->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(View()->GetDocument(), Doc());
  ASSERT_EQ(Doc()->GetViewCount(), 1);
  EXPECT_EQ(Doc()->GetView(0), View());
  EXPECT_EQ(Frame()->GetActiveDocument(), Doc());
  EXPECT_EQ(View()->initialUpdates, 1);
}

TEST_F(DocViewTest, FileOpenAsksThroughThePromptAndReadsTheDocument) {
  const std::string path = folder.File("first.prb");
  ASSERT_TRUE(lwtest::WriteAll(path, DocumentBytes("hello")));
  app->OnFileNew();
  manager->answers.push_back(path);
  Command(ID_FILE_OPEN);  // the application's handler, at the end of the route

  ASSERT_EQ(manager->prompts.size(), 1u);
  const CProbeDocManager::Prompt& prompt = manager->prompts[0];
  EXPECT_TRUE(prompt.open);
  EXPECT_EQ(prompt.title, "Open");
  EXPECT_EQ(prompt.filter,
            (std::vector<std::string>{"Probe Files (*.prb)", "*.prb", "All Files (*.*)", "*.*"}));
  EXPECT_EQ(prompt.defaultExt, "prb");
  EXPECT_TRUE(prompt.flags & OFN_FILEMUSTEXIST);

  EXPECT_EQ(Doc()->text, "hello");
  EXPECT_STREQ(Doc()->GetPathName(), path.c_str());
  EXPECT_EQ(Doc()->GetTitle(), "first");
  EXPECT_EQ(WindowText(*Frame()), "first - Probe");
  EXPECT_EQ(Recent(1), path);
  // The same frame and view show it, updated again.
  EXPECT_EQ(View()->initialUpdates, 2);
}

TEST_F(DocViewTest, TheSaveQuestionSavesDiscardsOrKeepsTheDocument) {
  struct Row {
    const char* name;
    int answer;
    bool saved;
    bool replaced;  // a new document took the modified one's place
  } const kRows[] = {
      {"Yes saves, then the new document comes", IDYES, true, true},
      {"No discards, then the new document comes", IDNO, false, true},
      {"Cancel keeps the modified document", IDCANCEL, false, false},
  };
  const std::string path = folder.File("story.prb");
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(lwtest::WriteAll(path, DocumentBytes("old")));
    ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
    Doc()->text = "new";
    Doc()->SetModifiedFlag();
    lwtest::CRecordedBoxes boxes(r.answer);
    Command(ID_FILE_NEW);

    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Save changes to story?");
    EXPECT_EQ(boxes.types[0] & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(lwtest::ReadAll(path), DocumentBytes(r.saved ? "new" : "old"));
    if (r.replaced) {
      EXPECT_EQ(WindowText(*Frame()), "Untitled - Probe");
      EXPECT_EQ(Doc()->text, "");
      EXPECT_FALSE(Doc()->IsModified());
    } else {
      EXPECT_EQ(WindowText(*Frame()), "story - Probe");
      EXPECT_EQ(Doc()->text, "new");
      EXPECT_TRUE(Doc()->IsModified());
      Doc()->SetModifiedFlag(false);
    }
  }
}

TEST_F(DocViewTest, AFailedSaveLeavesTheOldFileAsItWas) {
  const std::string path = folder.File("keep.prb");
  ASSERT_TRUE(lwtest::WriteAll(path, DocumentBytes("the good copy")));
  ASSERT_NE(app->OpenDocumentFile(path.c_str()), nullptr);
  // Long enough that part of it reaches the disk before the failure.
  Doc()->text.assign(20000, 'x');
  Doc()->failAfter = 12000;
  Doc()->SetModifiedFlag();
  {
    lwtest::CRecordedBoxes boxes;
    EXPECT_FALSE(Doc()->DoFileSave());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(path), std::string::npos) << boxes.texts[0];
  }
  EXPECT_EQ(lwtest::ReadAll(path), DocumentBytes("the good copy"));
  EXPECT_TRUE(Doc()->IsModified());

  // The next save goes through; no temporary file stays behind either time.
  Doc()->failAfter = -1;
  EXPECT_TRUE(Doc()->DoFileSave());
  EXPECT_EQ(lwtest::ReadAll(path), DocumentBytes(std::string(20000, 'x')));
  EXPECT_FALSE(Doc()->IsModified());
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA(folder.File("*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::vector<std::string> names;
  do {
    if (found.cFileName[0] != '.') names.push_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  EXPECT_EQ(names, std::vector<std::string>{"keep.prb"});
}

TEST_F(DocViewTest, SaveAsTakesTheNewPathIntoTheTitleAndTheRecentFiles) {
  app->OnFileNew();
  Doc()->text = "abc";
  Doc()->SetModifiedFlag();
  const std::string first = folder.File("first.prb"), second = folder.File("second.prb");
  manager->answers = {first, second};

  Command(ID_FILE_SAVE);  // no path yet: Save As
  ASSERT_EQ(manager->prompts.size(), 1u);
  EXPECT_FALSE(manager->prompts[0].open);
  EXPECT_EQ(manager->prompts[0].title, "Save As");
  EXPECT_EQ(manager->prompts[0].file, "Untitled.prb");
  EXPECT_EQ(lwtest::ReadAll(first), DocumentBytes("abc"));
  EXPECT_STREQ(Doc()->GetPathName(), first.c_str());
  EXPECT_EQ(WindowText(*Frame()), "first - Probe");
  EXPECT_FALSE(Doc()->IsModified());

  Command(ID_FILE_SAVE_AS);
  ASSERT_EQ(manager->prompts.size(), 2u);
  EXPECT_EQ(manager->prompts[1].file, first);
  EXPECT_EQ(lwtest::ReadAll(second), DocumentBytes("abc"));
  EXPECT_STREQ(Doc()->GetPathName(), second.c_str());
  EXPECT_EQ(Recent(1), second);
  EXPECT_EQ(Recent(2), first);

  // A cancelled prompt saves nothing.
  Command(ID_FILE_SAVE_AS);
  EXPECT_EQ(manager->prompts.size(), 3u);
  EXPECT_STREQ(Doc()->GetPathName(), second.c_str());
}

TEST_F(DocViewTest, ABadFileGetsTheFrameworksMessageAndLeavesAnUntitledDocument) {
  const std::string good = folder.File("good.prb"), bad = folder.File("bad.prb");
  ASSERT_TRUE(lwtest::WriteAll(good, DocumentBytes("intact")));
  lwtest::Bytes truncated = DocumentBytes("this text is cut short");
  truncated.resize(12);
  ASSERT_TRUE(lwtest::WriteAll(bad, truncated));
  ASSERT_NE(app->OpenDocumentFile(good.c_str()), nullptr);

  lwtest::CRecordedBoxes boxes;
  EXPECT_EQ(app->OpenDocumentFile(bad.c_str()), nullptr);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_NE(boxes.texts[0].find(bad), std::string::npos) << boxes.texts[0];
  // What was read is gone with the file's name: a save cannot write it
  // over either file.
  EXPECT_TRUE(Doc()->GetPathName().IsEmpty());
  EXPECT_EQ(Doc()->text, "");
  EXPECT_EQ(WindowText(*Frame()), "Untitled - Probe");
  EXPECT_EQ(lwtest::ReadAll(good), DocumentBytes("intact"));

  // A file that cannot be opened at all is the caller's to report.
  EXPECT_EQ(app->OpenDocumentFile(folder.File("missing.prb").c_str()), nullptr);
  EXPECT_EQ(boxes.texts.size(), 1u);
}

// Message boxes answered as CRecordedBoxes answers them, each marked in
// the message sequence where it was shown.
class CMarkedBoxes : public lwtest::CRecordedBoxes {
 public:
  CMarkedBoxes(lwtest::CMessageSequence& seq, int answer) : CRecordedBoxes(answer), m_seq(seq) {}
  int Show(HWND owner, const char* text, const char* caption, UINT type) override {
    m_seq.Add(lwtest::kMark, 0);
    return CRecordedBoxes::Show(owner, text, caption, type);
  }

 private:
  lwtest::CMessageSequence& m_seq;
};

TEST_F(DocViewTest, ClosingTheMainFrameAsksFirstThenEndsTheProgram) {
  using lwtest::kDefWinProc;
  using lwtest::kParent;
  using lwtest::kSent;
  app->OnFileNew();
  Doc()->SetModifiedFlag();
  const HWND frame = *Frame();
  lwtest::CMessageSequence seq;
  seq.Watch(frame, kParent);
  seq.Watch(*View());
  {
    CMarkedBoxes boxes(seq, IDCANCEL);
    ::SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"Save changes to Untitled?"});
  }
  const lwtest::MessageEntry kKept[] = {
      {WM_CLOSE, kSent | kParent},
      {lwtest::kMark, 0},  // the save question
  };
  EXPECT_TRUE(seq.Matches(kKept, "cancelled"));
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsWindow());
  EXPECT_FALSE(QuitPosted());

  {
    CMarkedBoxes boxes(seq, IDNO);
    ::SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(boxes.texts.size(), 1u);
  }
  // The question comes first; then the frame goes, its view inside it.
  const lwtest::MessageEntry kEnded[] = {
      {WM_CLOSE, kSent | kParent},
      {lwtest::kMark, 0},
      {WM_DESTROY, kSent | kDefWinProc | kParent},
      {WM_DESTROY, kSent},
      {WM_NCDESTROY, kSent},
      {WM_NCDESTROY, kSent | kDefWinProc | kParent},
  };
  EXPECT_TRUE(seq.Matches(kEnded, "not saved"));
  EXPECT_FALSE(::IsWindow(frame));
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 0);
  EXPECT_TRUE(QuitPosted());
}

// ---------------------------------------------------------------------------
// Recent files, commands, keys

TEST_F(DocViewTest, RecentFilesAreListedInTheFileMenuAndReopenFromThere) {
  app->OnFileNew();
  const std::vector<std::string> empty = PopupItems(0);
  ASSERT_EQ(empty.size(), 8u);
  EXPECT_EQ(empty[5], "Recent File|57616|g");

  const std::string first = folder.File("a&b.prb"), second = folder.File("second.prb");
  ASSERT_TRUE(lwtest::WriteAll(first, DocumentBytes("one")));
  ASSERT_TRUE(lwtest::WriteAll(second, DocumentBytes("two")));
  ASSERT_NE(app->OpenDocumentFile(first.c_str()), nullptr);
  ASSERT_NE(app->OpenDocumentFile(second.c_str()), nullptr);

  std::string escaped = first;
  escaped.replace(escaped.find('&'), 1, "&&");
  std::vector<std::string> items = PopupItems(0);
  ASSERT_EQ(items.size(), 9u);
  EXPECT_EQ(items[5], "&1 " + second + "|57616");
  EXPECT_EQ(items[6], "&2 " + escaped + "|57617");
  EXPECT_EQ(items[8], "E&xit|57665");
  EXPECT_EQ(Recent(1), second);
  EXPECT_EQ(Recent(2), first);
  EXPECT_EQ(Recent(3), "");

  Command(ID_FILE_MRU_FILE2);
  EXPECT_EQ(Doc()->text, "one");
  items = PopupItems(0);
  EXPECT_EQ(items[5], "&1 " + escaped + "|57616");
  EXPECT_EQ(items[6], "&2 " + second + "|57617");

  // A list read back from the profile is the same list.
  app->LoadStdProfileSettings(4);
  ASSERT_EQ(app->GetRecentFileList()->GetCount(), 2);
  EXPECT_STREQ((*app->GetRecentFileList())[0], first.c_str());
}

TEST_F(DocViewTest, CommandsVisitTheViewTheDocumentTheFrameThenTheApplication) {
  app->OnFileNew();
  Command(ID_PROBE_ROUTE);
  EXPECT_EQ(Log(), (std::vector<std::string>{"view", "document", "frame", "application"}));
}

TEST_F(DocViewTest, MenuItemsTakeTheirStateWhenTheirPopupOpens) {
  app->OnFileNew();
  EXPECT_EQ(PopupItems(1), (std::vector<std::string>{"&Copy\tCtrl+C|57634|g",
                                                     "&Paste\tCtrl+V|57637|g"}));
  View()->selection = true;
  EXPECT_EQ(PopupItems(1), (std::vector<std::string>{"&Copy\tCtrl+C|57634",
                                                     "&Paste\tCtrl+V|57637|g"}));
  // No bars: their View items have nothing to show or hide.
  EXPECT_EQ(PopupItems(2), (std::vector<std::string>{"&Toolbar|59392|g", "&Status Bar|59393|g"}));
}

TEST_F(DocViewTest, TheFramesAcceleratorsTurnKeysIntoCommands) {
  app->OnFileNew();
  MSG msg = {};
  msg.hwnd = *View();
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F2;
  msg.lParam = 1;
  EXPECT_TRUE(app->PreTranslateMessage(&msg));
  EXPECT_EQ(Log(), std::vector<std::string>{"key"});
  msg.wParam = VK_F3;
  EXPECT_FALSE(app->PreTranslateMessage(&msg));
  EXPECT_EQ(Log().size(), 1u);
}

TEST_F(DocViewTest, ADroppedFileOpensThroughTheApplication) {
  app->OnFileNew();
  Frame()->DragAcceptFiles();
  EXPECT_TRUE(Frame()->GetExStyle() & WS_EX_ACCEPTFILES);
  const std::string first = folder.File("dropped.prb"), second = folder.File("other.prb");
  ASSERT_TRUE(lwtest::WriteAll(first, DocumentBytes("dropped")));
  ASSERT_TRUE(lwtest::WriteAll(second, DocumentBytes("other")));
  // Two files, as Explorer hands them over; the first is opened.
  const std::string names = first + '\0' + second + '\0' + '\0';
  HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
  ::GlobalUnlock(block);
  Frame()->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(block));
  EXPECT_EQ(Doc()->text, "dropped");
  EXPECT_STREQ(Doc()->GetPathName(), first.c_str());
}

TEST_F(DocViewTest, ADroppedFileNamedOutsideTheCodePageOpensByItsShortName) {
  app->OnFileNew();
  const std::wstring name = lwtest::Widen(folder.Path()) + L"\u4e2d\u6587.prb";
  ASSERT_TRUE(lwtest::WriteAllWide(name, DocumentBytes("wide")));
  // Explorer hands names over wide.
  const std::wstring names = name + L'\0' + L'\0';
  HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(),
         names.size() * sizeof(wchar_t));
  ::GlobalUnlock(block);
  Frame()->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(block));
  EXPECT_EQ(Doc()->text, "wide");
  const std::string path(Doc()->GetPathName());
  EXPECT_EQ(path.find('?'), std::string::npos) << path;
  EXPECT_EQ(lwtest::ReadAll(path), DocumentBytes("wide")) << path;
}

// ---------------------------------------------------------------------------
// The command line and the shell

TEST(CommandLine, ArgumentsAndSwitchesFillTheInfo) {
  struct Row {
    const char* line;
    CCommandLineInfo::ShellCommand command;
    const char* file;
    bool splash;
    bool embedded;
    bool automated;
    const char* printer;
  } const kRows[] = {
      {"", CCommandLineInfo::FileNew, "", true, false, false, ""},
      {"C:\\a.fsd", CCommandLineInfo::FileOpen, "C:\\a.fsd", true, false, false, ""},
      {"\"C:\\My Scripts\\a b.fsd\"", CCommandLineInfo::FileOpen, "C:\\My Scripts\\a b.fsd", true,
       false, false, ""},
      {"  \"C:\\x\"\"y.fsd\"  extra", CCommandLineInfo::FileOpen, "C:\\x\"y.fsd", true, false, false,
       ""},
      {"C:\\dir\\\\\"quoted part\"", CCommandLineInfo::FileOpen, "C:\\dir\\quoted part", true, false,
       false, ""},
      {"/nologo", CCommandLineInfo::FileNew, "", false, false, false, ""},
      {"-NOLOGO a.fsd", CCommandLineInfo::FileOpen, "a.fsd", false, false, false, ""},
      {"/p a.fsd", CCommandLineInfo::FilePrint, "a.fsd", false, false, false, ""},
      {"/pt a.fsd \"My Printer\" drv port", CCommandLineInfo::FilePrintTo, "a.fsd", false, false,
       false, "My Printer"},
      {"/dde", CCommandLineInfo::FileDDE, "", false, false, false, ""},
      {"/Embedding", CCommandLineInfo::FileNew, "", false, true, false, ""},
      {"-automation a.fsd", CCommandLineInfo::FileOpen, "a.fsd", false, false, true, ""},
      {"/unknown /x a.fsd", CCommandLineInfo::FileOpen, "a.fsd", true, false, false, ""},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.line);
    CDocumentApp app("Probe");
    app.m_lpCmdLine = r.line;
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, r.command);
    EXPECT_STREQ(info.m_strFileName, r.file);
    EXPECT_EQ(info.m_bShowSplash, r.splash);
    EXPECT_EQ(info.m_bRunEmbedded, r.embedded);
    EXPECT_EQ(info.m_bRunAutomated, r.automated);
    EXPECT_STREQ(info.m_strPrinterName, r.printer);
  }
}

TEST_F(DocViewTest, TheShellCommandMakesANewDocumentOrOpensTheFile) {
  const std::string path = folder.File("start.prb");
  ASSERT_TRUE(lwtest::WriteAll(path, DocumentBytes("started")));

  // A file that cannot be opened fails and leaves no window, and the
  // program goes on to a new document as a start-up does.
  CCommandLineInfo missing;
  missing.m_nShellCommand = CCommandLineInfo::FileOpen;
  missing.m_strFileName = folder.File("missing.prb").c_str();
  EXPECT_FALSE(app->ProcessShellCommand(missing));
  EXPECT_EQ(app->m_pMainWnd, nullptr);
  EXPECT_FALSE(QuitPosted());
  CCommandLineInfo fresh;
  EXPECT_TRUE(app->ProcessShellCommand(fresh));
  ASSERT_NE(Frame(), nullptr);
  EXPECT_EQ(WindowText(*Frame()), "Untitled - Probe");

  CCommandLineInfo open;
  open.m_nShellCommand = CCommandLineInfo::FileOpen;
  open.m_strFileName = path.c_str();
  EXPECT_TRUE(app->ProcessShellCommand(open));
  EXPECT_EQ(Doc()->text, "started");
}

TEST_F(DocViewTest, TheDocumentTypeIsRegisteredForTheShellWithoutDde) {
  lwtest::CPrivateRegRoot classes(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(classes.Ok());
  char program[MAX_PATH];
  ::GetModuleFileNameA(nullptr, program, sizeof program);
  app->EnableShellOpen();
  app->RegisterShellFileTypes(false);

  const lwtest::CRegKeyPath type(HKEY_CLASSES_ROOT, "Probe.Document");
  EXPECT_EQ(lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, ".prb").Text(nullptr), "Probe.Document");
  EXPECT_EQ(type.Text(nullptr), "Probe Document");
  EXPECT_EQ(type.Sub("DefaultIcon").Text(nullptr), std::string(program) + ",1");
  EXPECT_EQ(type.Sub("shell\\open\\command").Text(nullptr),
            "\"" + std::string(program) + "\" \"%1\"");
  EXPECT_FALSE(type.Sub("shell\\open\\ddeexec").Exists());
  EXPECT_FALSE(type.Sub("shell\\print").Exists());
}

// ---------------------------------------------------------------------------
// Control bars

TEST_F(DocViewTest, BarsTakeTheirStripsAndTheViewWhatIsLeft) {
  app->OnFileNew();
  ASSERT_TRUE(Frame()->AddBars());
  Frame()->RecalcLayout();
  const CRect client = Frame()->GetClientRect();
  auto viewRect = [&] {
    CRect r = View()->GetWindowRect();
    ::MapWindowPoints(nullptr, *Frame(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  EXPECT_EQ(viewRect(), CRect(0, 20, client.right, client.bottom - 15));
  EXPECT_EQ(PopupItems(2), (std::vector<std::string>{"&Toolbar|59392|c", "&Status Bar|59393|c"}));

  // The View items hide and show them; the view follows.
  Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(Frame()->toolBar.IsWindowVisible());
  EXPECT_EQ(viewRect(), CRect(0, 0, client.right, client.bottom - 15));
  EXPECT_EQ(PopupItems(2), (std::vector<std::string>{"&Toolbar|59392", "&Status Bar|59393|c"}));
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_EQ(viewRect(), CRect(0, 0, client.right, client.bottom));
  Command(ID_VIEW_TOOLBAR);
  EXPECT_EQ(viewRect(), CRect(0, 20, client.right, client.bottom));

  // A new size lays everything out again.
  Frame()->SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE);
  const CRect resized = Frame()->GetClientRect();
  EXPECT_EQ(viewRect(), CRect(0, 20, resized.right, resized.bottom));
}

TEST_F(DocViewTest, MessagesAndPromptsGoToTheBarThatShowsMessages) {
  app->OnFileNew();
  ASSERT_TRUE(Frame()->AddBars());
  std::vector<std::string>& shown = Frame()->statusBar.messages;
  Frame()->SetMessageText("plain text");
  HMENU file = ::GetSubMenu(::GetMenu(*Frame()), 0);
  Frame()->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FILE_NEW, MF_STRING), reinterpret_cast<LPARAM>(file));
  Frame()->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(::GetMenu(*Frame())));
  Frame()->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  Frame()->SendMessage(WM_SETMESSAGESTRING, ID_FILE_OPEN);
  Frame()->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("given text"));
  EXPECT_EQ(shown, (std::vector<std::string>{"plain text", "Create a new document", "", "Ready",
                                             "Open an existing document", "given text"}));
  EXPECT_TRUE(Frame()->toolBar.messages.empty());
}

TEST_F(DocViewTest, BarsKeepTheirStateInTheProfileAndUpdateAtIdle) {
  g_show = true;  // idle updates reach shown frames
  app->OnFileNew();
  ASSERT_TRUE(Frame()->AddBars());
  Frame()->ShowControlBar(&Frame()->toolBar, false);
  Frame()->SaveBarState("Probe");
  const lwtest::CRegKeyPath settings(HKEY_CURRENT_USER, std::string(kProfileKey) + "\\Probe");
  EXPECT_EQ(settings.Sub("Probe-Bar0").Number("Visible", 7), 0u);
  EXPECT_EQ(settings.Sub("Probe-Bar1").Number("Visible", 7), 1u);
  Frame()->ShowControlBar(&Frame()->toolBar, true);
  Frame()->LoadBarState("Probe");
  EXPECT_FALSE(Frame()->toolBar.IsWindowVisible());
  EXPECT_TRUE(Frame()->statusBar.IsWindowVisible());

  // At idle a visible bar's items take their state from the route.
  HWND button = Frame()->statusBar.Button();
  app->OnIdle(0);
  EXPECT_FALSE(::IsWindowEnabled(button));
  View()->selection = true;
  app->OnIdle(0);
  EXPECT_TRUE(::IsWindowEnabled(button));
}

// ---------------------------------------------------------------------------
// The splitter

class SplitterTest : public DocViewTest {
 protected:
  bool UseSplitter() const override { return true; }
  void SetUp() override {
    DocViewTest::SetUp();
    app->OnFileNew();
    ASSERT_NE(Frame(), nullptr);
    Frame()->SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER);
  }
  CSplitterWnd& Splitter() { return Frame()->splitter; }
  CRect PaneRect(int col) {
    CRect r = Splitter().GetPane(0, col)->GetWindowRect();
    ::MapWindowPoints(nullptr, Splitter(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  int LeftWidth() {
    int cur = 0, min = 0;
    Splitter().GetColumnInfo(0, cur, min);
    return cur;
  }
};

TEST_F(SplitterTest, OneRowOfTwoPanesWithTheLeftPaneAsWideAsAsked) {
  const CRect client = Splitter().GetClientRect();
  EXPECT_EQ(Splitter().GetRowCount(), 1);
  EXPECT_EQ(Splitter().GetColumnCount(), 2);
  EXPECT_EQ(CRect(Frame()->GetClientRect()), client) << "the splitter fills the frame";
  EXPECT_EQ(PaneRect(0), CRect(0, 0, 151, client.bottom));
  EXPECT_EQ(PaneRect(1), CRect(151 + Splitter().GetBarSize(), 0, client.right, client.bottom));
  EXPECT_EQ(LeftWidth(), 151);

  // Each pane is a view of the document; the left one is active.
  auto* tree = dynamic_cast<CProbeTreeView*>(Splitter().GetPane(0, 0));
  auto* list = dynamic_cast<CProbeListView*>(Splitter().GetPane(0, 1));
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Frame()->GetActiveView(), tree);
  EXPECT_EQ(tree->GetDocument(), Doc());
  EXPECT_EQ(list->GetDocument(), Doc());
  EXPECT_EQ(Doc()->GetViewCount(), 2);
  // The controls' own classes, with their messages reaching the views
  // from their creation on, and their notifications back through the
  // splitter.
  EXPECT_EQ(ClassName(*tree), "SysTreeView32");
  EXPECT_EQ(ClassName(*list), "ListBox");
  EXPECT_EQ(list->SendMessage(LB_GETCOUNT), 1);
  const bool selectionNotified =
      std::find_if(tree->notifications.begin(), tree->notifications.end(), [](UINT code) {
        return code == TVN_SELCHANGEDA || code == TVN_SELCHANGEDW;
      }) != tree->notifications.end();
  EXPECT_TRUE(selectionNotified);
  EXPECT_EQ(WindowText(*Frame()), "Untitled - Probe");
}

TEST_F(SplitterTest, DraggingTheBarResizesThePanesWithinTheirMinimums) {
  const int width = Splitter().GetClientRect().Width();
  const int bar = Splitter().GetBarSize();
  struct Row {
    const char* name;
    int moveBy;  // from the press inside the bar
    bool cancel;
    int left;
  } const kRows[] = {
      {"to the right", 100, false, 251},
      {"to the left", -51, false, 100},
      {"past the left edge", -400, false, CSplitterWnd::kDefaultMinimum},
      {"past the right edge", 2000, false, width - bar - CSplitterWnd::kDefaultMinimum},
      {"Esc puts it back", 100, true, 151},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    Splitter().SetColumnInfo(0, 151, CSplitterWnd::kDefaultMinimum);
    Splitter().RecalcLayout();
    const int x = 151 + bar / 2, y = 40;
    Splitter().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(::GetCapture(), Splitter().GetSafeHwnd());
    Splitter().SendMessage(WM_MOUSEMOVE, MK_LBUTTON,
                           MAKELPARAM(static_cast<short>(x + r.moveBy), y));
    if (r.cancel)
      Splitter().SendMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    else
      Splitter().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<short>(x + r.moveBy), y));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(LeftWidth(), r.left);
    EXPECT_EQ(PaneRect(0).Width(), r.left);
    EXPECT_EQ(PaneRect(1).left, r.left + bar);
    EXPECT_EQ(PaneRect(1).right, width);
  }
}

TEST_F(SplitterTest, F6AndShiftF6MakeTheNextOrPreviousPaneTheActiveView) {
  CWnd* tree = Splitter().GetPane(0, 0);
  CWnd* list = Splitter().GetPane(0, 1);
  auto press = [&](bool shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = Frame()->GetActiveView()->GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F6;
    msg.lParam = 1;
    const bool eaten = app->PreTranslateMessage(&msg);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    return eaten;
  };
  EXPECT_TRUE(press(false));
  EXPECT_EQ(Frame()->GetActiveView(), list);
  EXPECT_TRUE(press(false));
  EXPECT_EQ(Frame()->GetActiveView(), tree);
  EXPECT_TRUE(press(true));
  EXPECT_EQ(Frame()->GetActiveView(), list);

  // The route follows the active view.
  Command(ID_PROBE_ROUTE);
  EXPECT_EQ(Log(), (std::vector<std::string>{"list", "document", "frame", "application"}));
  Log().clear();
  Command(ID_PREV_PANE);
  Command(ID_PROBE_ROUTE);
  EXPECT_EQ(Log(), (std::vector<std::string>{"tree", "document", "frame", "application"}));
}

}  // namespace
