// The builder made in this process: the document's open, save and close
// rules, and what damaged, empty and unreadable files do.
// The profile and the file types go to private registry roots; dialogs,
// message boxes and the shell are answered through the framework's seams
// (see app_support.h).
#include "tests/builder/app_support.h"

namespace {

// ---------------------------------------------------------------------------
// Documents

TEST_F(BuilderAppTest, AFixtureScriptOpensFromTheCommandLine) {
  const std::string path = folder.File("fixture.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, FixtureScript()));
  ASSERT_TRUE(Start("\"" + path + "\""));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(WindowText(FrameHwnd()), "fixture - Lumenweave");
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeCls, kTypeRepeat, kTypeWait, kTypeUntil}));
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 4);
  EXPECT_EQ(View()->GetLineCommand(2)->m_indent, 2);
  EXPECT_EQ(View()->GetLineCommand(2)->IsDisabled(), 1);
  EXPECT_EQ(Label(View()->GetLineCommand(3)), "Until [3 times]");
  // Saved again unchanged, it is the same file.
  Command(ID_FILE_SAVE);
  EXPECT_EQ(lwtest::ReadAll(path), FixtureScript());
}

TEST_F(BuilderAppTest, AScriptOpensFromTheCommandLineAndFromFileOpen) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeRepeat, kTypeWait, kTypeUntil});
  const std::string first = folder.File("first.fsd");
  SaveAs(first);
  AddTypes({kTypeComment});
  const std::string second = folder.File("second.fsd");
  SaveAs(second);
  Stop();

  ASSERT_TRUE(Start("\"" + first + "\""));
  EXPECT_EQ(std::string(Doc()->GetPathName()), first);
  EXPECT_EQ(WindowText(FrameHwnd()), "first - Lumenweave");
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeRepeat, kTypeWait, kTypeUntil}));
  EXPECT_EQ(View()->GetLineCommand(1)->m_indent, 2);
  EXPECT_FALSE(Doc()->IsModified());

  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(second);
  Command(ID_FILE_OPEN);
  ASSERT_EQ(dialogs.files.size(), 1u);
  EXPECT_TRUE(dialogs.files[0].open);
  EXPECT_EQ(std::string(Doc()->GetPathName()), second);
  EXPECT_EQ(LineTypes(), (std::vector<int>{kTypeRepeat, kTypeWait, kTypeUntil, kTypeComment}));
  EXPECT_TRUE(boxes.texts.empty());
}

// What the script list box's fill does, seen from its parent (the lines it
// measures, and how far each is from the top line then) and from a
// subclass of its own (the lines that come through the subclasses).
struct CFillWatch {
  HWND list = nullptr;
  int measured = 0;
  int farthestFromTop = 0;
  int throughSubclasses = 0;
  static LRESULT CALLBACK Parent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    auto* watch = reinterpret_cast<CFillWatch*>(self);
    if (msg == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_LISTBOX) {
      const int line = static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemID);
      const int top = static_cast<int>(::SendMessageA(watch->list, LB_GETTOPINDEX, 0, 0));
      ++watch->measured;
      watch->farthestFromTop = std::max(watch->farthestFromTop, line - top);
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
  static LRESULT CALLBACK List(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
    if (msg == LB_ADDSTRING || msg == LB_INSERTSTRING) ++reinterpret_cast<CFillWatch*>(self)->throughSubclasses;
    return ::DefSubclassProc(hwnd, msg, wp, lp);
  }
};

// A script of thousands of lines opens in a time that grows with it alone:
// each line the list box takes lies near its top line (the list box finds
// where a line goes by adding up the heights from the top line down, so a
// fill from the top would add up more for every line), and none goes
// through the subclasses (each message there looks the window up in the
// system). The list holds every command in order, indented, from the top.
TEST_F(BuilderAppTest, AScriptOfThousandsOfLinesFillsTheListNearItsTopLineAndPastTheSubclasses) {
  const int kLoops = 300;
  const std::string path = folder.File("long.fsd");
  {
    CCommandList list;
    for (int i = 0; i < kLoops; ++i) {
      list.Add(CreateCommand(kTypeRepeat));
      for (int j = 0; j < 8; ++j) list.Add(CreateCommand(j % 2 ? kTypeWait : kTypeComment));
      list.Add(CreateCommand(kTypeUntil));
    }
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    WriteSceneDocument(ar, list);
    ar.Close();
  }
  const int kLines = kLoops * 10;
  ASSERT_TRUE(Start());
  CFillWatch watch;
  watch.list = View()->GetSafeHwnd();
  HWND parent = ::GetParent(watch.list);
  ASSERT_TRUE(::SetWindowSubclass(parent, &CFillWatch::Parent, 1, reinterpret_cast<DWORD_PTR>(&watch)));
  ASSERT_TRUE(::SetWindowSubclass(watch.list, &CFillWatch::List, 1, reinterpret_cast<DWORD_PTR>(&watch)));
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_OPEN);
  }
  ::RemoveWindowSubclass(watch.list, &CFillWatch::List, 1);
  ::RemoveWindowSubclass(parent, &CFillWatch::Parent, 1);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(watch.measured, kLines);
  EXPECT_LE(watch.farthestFromTop, 300);
  EXPECT_EQ(watch.throughSubclasses, 0);
  ASSERT_EQ(View()->GetLineCount(), kLines);
  for (int i = 0; i < kLines; ++i) ASSERT_EQ(View()->GetLineCommand(i), Doc()->GetCommands().GetCommand(i));
  EXPECT_EQ(View()->GetLineCommand(kLines - 2)->m_indent, 2);
  EXPECT_EQ(View()->GetLineCommand(kLines - 1)->m_indent, 0);
  EXPECT_EQ(::SendMessageA(watch.list, LB_GETTOPINDEX, 0, 0), 0);
}

TEST_F(BuilderAppTest, SaveAndSaveAsKeepThePathAndClearTheModifiedFlag) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Doc()->IsModified());
  AddTypes({kTypeWait});
  EXPECT_TRUE(Doc()->IsModified());
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");

  // Save of an untitled script asks where.
  const std::string path = folder.File("saved.fsd");
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_SAVE);
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_FALSE(dialogs.files[0].open);
  }
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_FALSE(Doc()->IsModified());
  EXPECT_EQ(WindowText(FrameHwnd()), "saved - Lumenweave");
  EXPECT_EQ(lwtest::CRegKeyPath(HKEY_CURRENT_USER, std::string(kProfileKey) + "\\Recent File List")
                .Text("File1"),
            path);
  // The document folder is remembered; a cancelled prompt keeps it.
  const std::string documents = Settings().Text("DocPath");
  EXPECT_EQ(documents + "\\saved.fsd", path);
  {
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerCancel();
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(dialogs.files.size(), 1u);
  }
  EXPECT_EQ(Settings().Text("DocPath"), documents);
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  const lwtest::Bytes once = lwtest::ReadAll(path);
  EXPECT_FALSE(once.empty());

  // Save of a titled script writes it there without asking.
  AddTypes({kTypeCls});
  {
    lwtest::CRecordedCommonDialogs dialogs;
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(dialogs.files.empty());
  }
  EXPECT_GT(lwtest::ReadAll(path).size(), once.size());
  EXPECT_FALSE(Doc()->IsModified());

  // The close question of a modified script: Cancel keeps it, No drops it.
  AddTypes({kTypeComment});
  boxes.Script({IDCANCEL});
  Command(ID_FILE_NEW);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], "Save changes to saved?");
  EXPECT_EQ(View()->GetLineCount(), 3);
  boxes.Script({IDNO});
  Command(ID_FILE_NEW);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_EQ(lwtest::ReadAll(path).size() > once.size(), true);
}

TEST_F(BuilderAppTest, AFailedSaveLeavesTheFileAsItWas) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls});
  const std::string path = folder.File("kept.fsd");
  SaveAs(path);
  const lwtest::Bytes before = lwtest::ReadAll(path);
  ASSERT_FALSE(before.empty());

  View()->InsertCommand(new CFailingComment, true);
  ClearBoxes();
  Command(ID_FILE_SAVE);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0].rfind(path + "\n\n", 0), 0u) << boxes.texts[0];
  EXPECT_EQ(lwtest::ReadAll(path), before);
  EXPECT_TRUE(Doc()->IsModified());
  // Nothing of the failed write stays beside the file.
  WIN32_FIND_DATAA found;
  int files = 0;
  HANDLE find = ::FindFirstFileA(folder.File("*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  EXPECT_EQ(files, 1);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, AnEmptyFileOpensAsANewScript) {
  const std::string path = folder.File("empty.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, {}));
  ASSERT_TRUE(Start("\"" + path + "\""));
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(std::string(Doc()->GetPathName()), path);
  EXPECT_FALSE(Doc()->IsModified());
  // And through File Open over a script.
  AddTypes({kTypeWait});
  Doc()->SetModifiedFlag(false);
  const std::string other = folder.File("other.fsd");
  ASSERT_TRUE(lwtest::WriteAll(other, {}));
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(other);
  Command(ID_FILE_OPEN);
  EXPECT_TRUE(boxes.texts.empty());
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(std::string(Doc()->GetPathName()), other);
}

TEST_F(BuilderAppTest, ADamagedFileIsNamedInAMessageAndANewScriptStarts) {
  const std::string path = folder.File("damaged.fsd");
  ASSERT_TRUE(lwtest::WriteAll(path, {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'r', 'i', 'p', 't'}));
  ASSERT_TRUE(Start("\"" + path + "\""));
  ASSERT_FALSE(boxes.texts.empty());
  EXPECT_EQ(boxes.texts.back(), path + "\n\ncannot be opened.");
  EXPECT_EQ(boxes.types.back() & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
  EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());

  // Through File Open the current script stays.
  AddTypes({kTypeWait});
  Doc()->SetModifiedFlag(false);
  ClearBoxes();
  lwtest::CRecordedCommonDialogs dialogs;
  dialogs.AnswerFile(path);
  Command(ID_FILE_OPEN);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{path + "\n\ncannot be opened."});
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeWait});
  Doc()->SetModifiedFlag(false);
}

// A name outside the code page that has no short name reaches the builder
// with the code page's stand-ins: the message says why it cannot be opened.
TEST_F(BuilderAppTest, ANameWithNeitherAnAnsiFormNorAShortNameIsRefusedSayingWhy) {
  const std::string path = folder.File("??.fsd");
  ASSERT_TRUE(Start("\"" + path + "\""));
  ASSERT_FALSE(boxes.texts.empty());
  EXPECT_EQ(boxes.texts.back(),
            path + "\n\ncannot be opened.\n\nIts name has characters that this system's code page "
                   "cannot hold, and the disk keeps no short name for it: rename it to use it.");
  EXPECT_EQ(WindowText(FrameHwnd()), "Untitled - Lumenweave");
}

// A file cut short or with a bad header: one message, naming the file,
// whichever way it fails.
TEST_F(BuilderAppTest, AFileThatCannotBeReadGivesOneMessage) {
  const lwtest::Bytes whole = FixtureScript();
  const struct {
    const char* name;
    lwtest::Bytes bytes;
  } cases[] = {
      {"a bad header", {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'r', 'i', 'p', 't'}},
      {"cut in the header", lwtest::Bytes(whole.begin(), whole.begin() + 10)},
      {"cut after the header", lwtest::Bytes(whole.begin(), whole.end() - 7)},
  };
  ASSERT_TRUE(Start());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File("cut.fsd");
    ASSERT_TRUE(lwtest::WriteAll(path, c.bytes));
    ClearBoxes();
    lwtest::CRecordedCommonDialogs dialogs;
    dialogs.AnswerFile(path);
    Command(ID_FILE_OPEN);
    ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
    const std::string named = path + "\n\ncannot be opened.";
    EXPECT_EQ(boxes.texts[0].substr(0, named.size()), named);
    EXPECT_EQ(boxes.types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_TRUE(std::string(Doc()->GetPathName()).empty());
  }
  // Named on the command line, it is told the same way, with the reason.
  Stop();
  ClearBoxes();
  ASSERT_TRUE(Start("\"" + folder.File("cut.fsd") + "\""));
  ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
  EXPECT_EQ(boxes.texts[0], folder.File("cut.fsd") + "\n\ncannot be opened.\n\nUnexpected end of file.");
}

}  // namespace
