// The builder's build only: what the document and the script list do with
// the whole script without a window of their own. Deleting commands before
// a save, the header check and the empty-file rule of an open, the store
// and load of whole documents, the Commands tree on a real tree control,
// the check before a preview, and the text export.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "script_support.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/ScriptCheck.h"
#include "script/ScriptExport.h"
#include "tests/support/files.h"

namespace {

std::vector<uint8_t> Store(CCommandList& list) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  SerializeSceneDocument(ar, list, nullptr);
  ar.Close();
  const uint8_t* p = file.GetBuffer();
  return std::vector<uint8_t>(p, p + file.GetLength());
}

// Loads through the document's serialization; the archive exception's
// cause, or -1 when the load succeeded.
int Load(const std::vector<uint8_t>& bytes, CCommandList& list, CSceneVersion* version = nullptr) {
  std::vector<uint8_t> copy(bytes);
  CMemFile file(copy.data(), static_cast<unsigned>(copy.size()));
  try {
    CArchive ar(&file, CArchive::load);
    CSceneVersion v = SerializeSceneDocument(ar, list, nullptr);
    if (version != nullptr) *version = v;
  } catch (CArchiveException* e) {
    const int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

CSceneObject* Object(CCommandList& list, int i) { return static_cast<CSceneObject*>(list.GetCommand(i)); }

// ---- deleting before a save ------------------------------------------------

// Picture, Show, Hide, Show, media, Play, Stop: the targeting commands
// linked to their objects in list order.
void BuildLinkedList(CCommandList& list) {
  const int types[] = {kTypeImageText, kTypeShow, kTypeHide, kTypeShow,
                       kTypeMedia,     kTypePlay, kTypeStop};
  for (int type : types) list.Add(CreateCommand(type));
  for (int i : {1, 2, 3}) list.GetCommand(i)->SetTarget(Object(list, 0));
  for (int i : {5, 6}) list.GetCommand(i)->SetTarget(Object(list, 4));
}

void DeleteLine(CCommandList& list, int line) {
  CSceneCommand* cmd = list.GetCommand(line);
  list.RemoveAt(line);
  delete cmd;
}

TEST(DeleteBeforeSaveTest, SavedReferrerListsNameOnlyTheCommandsLeft) {
  // A list whose objects name deleted commands is left behind: deleting it
  // would reach freed memory.
  CCommandList& list = *new CCommandList;
  BuildLinkedList(list);
  DeleteLine(list, 1);  // the first Show
  DeleteLine(list, 4);  // the Play
  ASSERT_EQ(Object(list, 0)->GetReferrerCount(), 2);
  ASSERT_EQ(Object(list, 3)->GetReferrerCount(), 1);
  std::vector<uint8_t> bytes = Store(list);
  delete &list;
  // The tail of the document: the picture's list (Hide, Show at 1, 2), the
  // media object's (the Stop at 4).
  DocBytes tail;
  tail.Ints({2, 1, 2, 1, 4});
  ASSERT_GE(bytes.size(), tail.bytes.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - tail.bytes.size(), bytes.end()), tail.bytes);

  CCommandList back;
  ASSERT_EQ(Load(bytes, back), -1);
  ASSERT_EQ(back.GetSize(), 5);
  ASSERT_EQ(Object(back, 0)->GetReferrerCount(), 2);
  EXPECT_EQ(Object(back, 0)->GetReferrer(0), back.GetCommand(1));
  EXPECT_EQ(Object(back, 0)->GetReferrer(1), back.GetCommand(2));
  ASSERT_EQ(Object(back, 3)->GetReferrerCount(), 1);
  EXPECT_EQ(back.GetCommand(4)->GetTargetId(), 3);
}

TEST(DeleteBeforeSaveTest, DeletedObjectLeavesItsCommandsWithoutTarget) {
  CCommandList& list = *new CCommandList;  // left behind when a target dangles
  BuildLinkedList(list);
  DeleteLine(list, 0);  // the picture
  for (int i : {0, 1, 2}) ASSERT_EQ(list.GetCommand(i)->GetTarget(), nullptr);
  std::vector<uint8_t> bytes = Store(list);
  delete &list;
  CCommandList back;
  ASSERT_EQ(Load(bytes, back), -1);
  EXPECT_EQ(back.GetCommand(0)->GetTarget(), nullptr);
  EXPECT_EQ(back.GetCommand(4)->GetTargetId(), 3);
}

// ---- opening -----------------------------------------------------------------

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t n) {
  bytes.resize(n);
  return bytes;
}

std::vector<uint8_t> Header(const char* id, float version) {
  DocBytes d;
  d.Header(id, version);
  return d.bytes;
}

TEST(OpenCheckTest, HeaderDecidesBeforeTheDocumentIsEmptied) {
  lwtest::CTempFolder folder("scenefile");
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    SceneFileCheck check;
    float version, marker;
  } cases[] = {
      {"empty file", {}, kSceneFileEmpty, 4.7f, 0.0f},
      {"current 4.7", CurrentDocument(4.7f), kSceneFileReadable, 4.7f, 0.0f},
      {"current 4.0", CurrentDocument(4.0f), kSceneFileReadable, 4.0f, 0.0f},
      {"older 3.3", OlderDocument(3.3f), kSceneFileReadable, 3.3f, 3.3f},
      {"header only", Header(kSceneIdCurrent, 4.5f), kSceneFileReadable, 4.5f, 0.0f},
      {"other header", Header("LumenweaveOther", 4.7f), kSceneFileRefused, 0, 0},
      {"unknown version", Header(kSceneIdCurrent, 4.6f), kSceneFileRefused, 0, 0},
      {"older header, current version", Header(kSceneIdOlder, 4.7f), kSceneFileRefused, 0, 0},
      {"cut in the header string", Cut(CurrentDocument(4.7f), 5), kSceneFileRefused, 0, 0},
      {"cut in the version", Cut(CurrentDocument(4.7f), 18), kSceneFileRefused, 0, 0},
      {"one zero byte", {0}, kSceneFileRefused, 0, 0},
      {"text", {'h', 'e', 'l', 'l', 'o', '\r', '\n'}, kSceneFileRefused, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File("doc.fsd");
    ASSERT_TRUE(lwtest::WriteAll(path, c.bytes));
    CSceneVersion version;
    version.version = -1;
    version.oldMarker = -1;
    EXPECT_EQ(CheckSceneDocumentFile(path.c_str(), &version), c.check);
    if (c.check == kSceneFileRefused) {
      EXPECT_EQ(version.version, -1.0f);  // untouched
    } else {
      EXPECT_EQ(version.version, c.version);
      EXPECT_EQ(version.oldMarker, c.marker);
    }
    // The check leaves the file closed.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
  }
  EXPECT_EQ(CheckSceneDocumentFile(folder.File("missing.fsd").c_str(), nullptr), kSceneFileRefused);
  EXPECT_EQ(CheckSceneDocumentFile(folder.Path().c_str(), nullptr), kSceneFileRefused);
  EXPECT_EQ(CheckSceneDocumentFile(nullptr, nullptr), kSceneFileRefused);
}

TEST(OpenLoadTest, DamagedDocumentsAreRefusedWhole) {
  const std::vector<uint8_t> good = Malformed().Bytes();
  auto broken = [](void (*change)(Malformed&)) {
    Malformed m;
    change(m);
    return m.Bytes();
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int cause;  // -1: read
    int commands;
  } cases[] = {
      {"good", good, -1, 3},
      {"empty: a new script", {}, -1, 0},
      {"bad header", Header("LumenweaveOther", 4.7f), CArchiveException::badSchema, 0},
      {"unknown version", Header(kSceneIdCurrent, 4.61f), CArchiveException::badSchema, 0},
      {"type code 14", broken([](Malformed& m) { m.secondType = 14; }), CArchiveException::badSchema, 0},
      {"type code -1", broken([](Malformed& m) { m.secondType = -1; }), CArchiveException::badSchema, 0},
      {"referrer id past the list", broken([](Malformed& m) { m.pictureRefs = {3}; }), CArchiveException::badSchema, 0},
      {"negative referrer id", broken([](Malformed& m) { m.pictureRefs = {-2}; }), CArchiveException::badSchema, 0},
      {"media object in a picture's list", broken([](Malformed& m) { m.pictureRefs = {2}; }), CArchiveException::badSchema, 0},
      {"negative count", broken([](Malformed& m) { m.count = -1; }), CArchiveException::badSchema, 0},
      {"cut in a command", Cut(good, good.size() / 2), CArchiveException::endOfFile, 0},
      {"cut in the referrer lists", Cut(good, good.size() - 2), CArchiveException::endOfFile, 0},
      {"header only", Header(kSceneIdCurrent, 4.7f), CArchiveException::endOfFile, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandList list;
    list.Add(new CWaitCommand);  // the script before the load
    CSceneVersion version;
    version.version = 0;
    EXPECT_EQ(Load(c.bytes, list, &version), c.cause);
    if (c.cause == -1) {
      ASSERT_EQ(list.GetSize(), c.commands);
      EXPECT_EQ(version.version, 4.7f);
      for (int i = 0; i < list.GetSize(); ++i) EXPECT_EQ(list.GetCommand(i)->GetId(), i);
    } else {
      // Nothing of the damaged document reached the list.
      ASSERT_EQ(list.GetSize(), 1);
      EXPECT_EQ(list.GetCommand(0)->GetType(), kTypeWait);
    }
  }
}

TEST(OpenLoadTest, StoredFileOpensAgain) {
  lwtest::CTempFolder folder("scenestore");
  const std::string path = folder.File("show.fsd");
  CCommandList script;
  ASSERT_EQ(Load(CurrentDocument(4.0f), script), -1);
  script.GetCommand(3)->m_comment.m_text = "play it";
  {
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    EXPECT_EQ(SerializeSceneDocument(ar, script, nullptr).version, 4.7f);
    ar.Close();
  }
  CSceneVersion version;
  ASSERT_EQ(CheckSceneDocumentFile(path.c_str(), &version), kSceneFileReadable);
  EXPECT_EQ(version.version, 4.7f);  // always written as the current version
  const lwtest::Bytes bytes = lwtest::ReadAll(path);
  CCommandList back;
  ASSERT_EQ(Load(bytes, back), -1);
  ASSERT_EQ(back.GetSize(), 4);
  EXPECT_EQ(back.GetCommand(2)->GetTargetId(), 1);
  EXPECT_EQ(back.GetCommand(3)->m_comment.m_text, "play it");
  // Fields that a 4.0 document lacks are stored with their defaults now.
  EXPECT_EQ(static_cast<CImageTextObject*>(back.GetCommand(0))->m_justification, 0);
  EXPECT_EQ(Store(back), bytes);
}

// ---- the Commands tree -------------------------------------------------------

class TreeTest : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    m_tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 400, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_tree, nullptr);
  }
  void TearDown() override { DestroyWindow(m_tree); }

  struct Item {
    std::string text;
    int image = -1, selected = -1;
    LPARAM data = 0;
  };
  Item Read(HTREEITEM item) const {
    char text[64] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    Item out;
    if (!SendMessageA(m_tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return out;
    out.text = text;
    out.image = tv.iImage;
    out.selected = tv.iSelectedImage;
    out.data = tv.lParam;
    return out;
  }
  HTREEITEM Next(HTREEITEM item, UINT how) const {
    return reinterpret_cast<HTREEITEM>(SendMessageA(m_tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  }
  // The type items below the root, in order.
  std::vector<HTREEITEM> Children(HTREEITEM root) const {
    std::vector<HTREEITEM> items;
    for (HTREEITEM i = Next(root, TVGN_CHILD); i != nullptr; i = Next(i, TVGN_NEXT)) items.push_back(i);
    return items;
  }

  HWND m_tree = nullptr;
  CCommandPalette m_palette;
};

TEST_F(TreeTest, FillTreeShowsTheRootAndEveryType) {
  HTREEITEM root = m_palette.FillTree(m_tree);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(Next(nullptr, TVGN_ROOT), root);
  EXPECT_EQ(Next(root, TVGN_NEXT), nullptr);  // the only top-level item
  const Item top = Read(root);
  EXPECT_EQ(top.text, "Commands");
  EXPECT_EQ(top.image, 0);
  EXPECT_EQ(top.data, 0);
  EXPECT_EQ(m_palette.GetTreeItemPrototype(m_tree, root), nullptr);
  const char* const kNames[] = {"Image/Text", "Show", "Move", "Hide", "Wait", "Cls", "Repeat",
                                "Until", "Line", "Multimedia/Flash", "Play", "Stop", "Comment", "Url"};
  const std::vector<HTREEITEM> items = Children(root);
  ASSERT_EQ(items.size(), 14u);
  EXPECT_EQ(SendMessageA(m_tree, TVM_GETCOUNT, 0, 0), 15);
  for (int type = 0; type < kCommandTypeCount; ++type) {
    SCOPED_TRACE(type);
    const Item item = Read(items[type]);
    EXPECT_EQ(item.text, kNames[type]);
    EXPECT_EQ(item.image, type + 2);
    EXPECT_EQ(item.selected, type + 2);
    EXPECT_EQ(item.data, reinterpret_cast<LPARAM>(m_palette.GetPrototype(type)));
    EXPECT_EQ(m_palette.GetTreeItemPrototype(m_tree, items[type]), m_palette.GetPrototype(type));
    EXPECT_EQ(Next(items[type], TVGN_CHILD), nullptr);
  }
}

TEST_F(TreeTest, TakePrototypeHandsOverAndRefillsTheItem) {
  HTREEITEM root = m_palette.FillTree(m_tree);
  const std::vector<HTREEITEM> items = Children(root);
  ASSERT_EQ(items.size(), 14u);
  for (int type = 0; type < kCommandTypeCount; ++type) {
    SCOPED_TRACE(type);
    CSceneCommand* before = m_palette.GetPrototype(type);
    before->m_comment.m_text = "edited";
    std::unique_ptr<CSceneCommand> taken(m_palette.TakePrototype(m_tree, items[type]));
    ASSERT_EQ(taken.get(), before);
    EXPECT_EQ(taken->m_comment.m_text, "edited");  // the caller gets the edited values
    CSceneCommand* fresh = m_palette.GetPrototype(type);
    ASSERT_NE(fresh, before);
    EXPECT_EQ(fresh->GetType(), type);
    EXPECT_TRUE(fresh->m_comment.m_text.IsEmpty());
    EXPECT_EQ(Read(items[type]).data, reinterpret_cast<LPARAM>(fresh));
    EXPECT_EQ(m_palette.IndexOfPrototype(taken.get()), -1);
    // A second take hands over the fresh one.
    std::unique_ptr<CSceneCommand> again(m_palette.TakePrototype(m_tree, items[type]));
    EXPECT_EQ(again.get(), fresh);
    EXPECT_EQ(Read(items[type]).data, reinterpret_cast<LPARAM>(m_palette.GetPrototype(type)));
  }
}

TEST_F(TreeTest, ItemsWithoutAPrototypeGiveNothing) {
  HTREEITEM root = m_palette.FillTree(m_tree);
  CSceneCommand* prototypes[kCommandTypeCount];
  for (int t = 0; t < kCommandTypeCount; ++t) prototypes[t] = m_palette.GetPrototype(t);
  EXPECT_EQ(m_palette.TakePrototype(m_tree, root), nullptr);
  EXPECT_EQ(m_palette.TakePrototype(m_tree, nullptr), nullptr);
  // An item whose data is a command of the script, not of the palette.
  CWaitCommand stranger;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = Children(root)[kTypeWait];
  tv.lParam = reinterpret_cast<LPARAM>(&stranger);
  ASSERT_TRUE(SendMessageA(m_tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv)));
  EXPECT_EQ(m_palette.GetTreeItemPrototype(m_tree, tv.hItem), nullptr);
  EXPECT_EQ(m_palette.TakePrototype(m_tree, tv.hItem), nullptr);
  for (int t = 0; t < kCommandTypeCount; ++t) EXPECT_EQ(m_palette.GetPrototype(t), prototypes[t]);
  EXPECT_EQ(m_palette.FillTree(nullptr), nullptr);
}

// ---- the check before a preview ----------------------------------------------

struct Line {
  int type;
  int disabled;
};

void BuildLines(CCommandList& list, const std::vector<Line>& lines) {
  for (const Line& l : lines) {
    CSceneCommand* cmd = CreateCommand(l.type);
    cmd->SetDisabled(l.disabled);
    list.Add(cmd);
  }
}

TEST(CheckScriptTest, LoopPairsAndPrepare) {
  const int R = kTypeRepeat, U = kTypeUntil, W = kTypeWait, S = kTypeShow;
  struct Case {
    const char* name;
    std::vector<Line> lines;
    int line;
    unsigned messageId;
    const char* shown;  // the message a refusing command showed, or null
  } cases[] = {
      {"empty script", {}, -1, 0, nullptr},
      {"a loop", {{R, 0}, {W, 0}, {U, 0}}, -1, 0, nullptr},
      {"Repeat left open: the last line", {{R, 0}, {W, 0}}, 1, kMissingUntilMessageId, nullptr},
      {"Until before its Repeat: its line", {{U, 0}, {R, 0}}, 0, kMissingRepeatMessageId, nullptr},
      {"disabled Repeat does not count", {{R, 1}, {W, 0}, {U, 0}}, 2, kMissingRepeatMessageId, nullptr},
      {"disabled Until does not count", {{R, 0}, {U, 1}}, 1, kMissingUntilMessageId, nullptr},
      {"disabled pair", {{R, 1}, {U, 1}}, -1, 0, nullptr},
      {"stops at the first unpaired Until",
       {{R, 0}, {R, 0}, {U, 0}, {U, 0}, {U, 0}, {R, 0}}, 4, kMissingRepeatMessageId, nullptr},
      {"open at the end after a closed loop", {{R, 0}, {U, 0}, {R, 0}, {W, 0}}, 3,
       kMissingUntilMessageId, nullptr},
      {"last line disabled is still the last line", {{W, 0}, {R, 0}, {W, 0}, {U, 1}, {W, 1}}, 4,
       kMissingUntilMessageId, nullptr},
      {"a Show without its object", {{W, 0}, {S, 0}, {W, 0}}, 1, 0, "You have to choose the image."},
      {"a disabled Show without its object", {{W, 0}, {S, 1}}, -1, 0, nullptr},
      {"pairs, but the Until finds its Repeat disabled in between", {{R, 0}, {U, 1}, {U, 0}}, 2, 0,
       "Missing repeat command."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CCommandList list;
    BuildLines(list, c.lines);
    Messages().texts.clear();
    const CScriptCheck check = CheckScript(list);
    EXPECT_EQ(check.line, c.line);
    EXPECT_EQ(check.messageId, c.messageId);
    EXPECT_EQ(check.IsReady(), c.line < 0);
    if (c.shown != nullptr) {
      ASSERT_EQ(Messages().texts.size(), 1u);
      EXPECT_EQ(Messages().texts[0], c.shown);
    } else {
      EXPECT_TRUE(Messages().texts.empty());
    }
    // The loop scan alone agrees on the loop messages.
    int line = -2;
    EXPECT_EQ(CheckLoopPairs(list, &line), c.messageId);
    if (c.messageId != 0) {
      EXPECT_EQ(line, c.line);
    } else {
      // Commands were prepared with ids equal to their lines.
      for (int i = 0; i < list.GetSize(); ++i) EXPECT_EQ(list.GetCommand(i)->GetId(), i);
    }
  }
}

TEST(CheckScriptTest, EveryCommandIsPreparedInOrder) {
  CCommandList list;
  BuildLines(list, {{kTypeRepeat, 0}, {kTypeUntil, 0}});
  CUntilCommand* until = static_cast<CUntilCommand*>(list.GetCommand(1));
  until->m_repeat.m_counter = 5;
  until->SetId(7);
  EXPECT_TRUE(CheckScript(list).IsReady());
  EXPECT_EQ(until->GetId(), 1);
  EXPECT_EQ(until->m_loopStart, 1);     // found its Repeat
  EXPECT_EQ(until->m_repeat.m_counter, 0);  // and reset its count
}

// ---- the text export -------------------------------------------------------------

TEST(ExportTest, LinesAreIndentLabelAndLineEnd) {
  CCommandList list;
  BuildLines(list, {{kTypeRepeat, 0}, {kTypeWait, 0}, {kTypeComment, 0}, {kTypeUntil, 0}});
  static_cast<CCommentCommand*>(list.GetCommand(2))->m_text = "note";
  UpdateIndentLevels(list, 3);
  struct Case {
    int line;
    const char* text;
  } cases[] = {
      {0, "Repeat\r\n"},
      {1, "   Wait [Duration: 0 sec]\r\n"},
      {2, "   note\r\n"},
      {3, "Until [1 time]\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(GetExportLine(*list.GetCommand(c.line)), c.text);
  }
  // Indents taken from a damaged document stay within reason.
  CWaitCommand wait;
  wait.m_indent = -4;
  EXPECT_EQ(GetExportLine(wait), Label(wait) + "\r\n");
  wait.m_indent = 2000000000;
  const CString deep = GetExportLine(wait);
  EXPECT_EQ(deep.GetLength(), 3750 + Label(wait).GetLength() + 2);
  EXPECT_EQ(deep.Left(3750), CString(' ', 3750));
}

TEST(ExportTest, WritesTheFileOrSaysItCouldNot) {
  lwtest::CTempFolder folder("export");
  CCommandList list;
  BuildLines(list, {{kTypeRepeat, 0}, {kTypeCls, 1}, {kTypeUntil, 0}});
  UpdateIndentLevels(list, 2);
  const std::string path = folder.File("show.fsd.txt");
  ASSERT_TRUE(lwtest::WriteAll(path, lwtest::Bytes(5000, 'x')));  // replaced, not appended to
  ASSERT_TRUE(WriteScriptText(path.c_str(), list));
  std::string expected;
  for (int i = 0; i < list.GetSize(); ++i) expected += GetExportLine(*list.GetCommand(i)).GetString();
  const lwtest::Bytes bytes = lwtest::ReadAll(path);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
  EXPECT_EQ(expected.substr(0, 10), "Repeat\r\n  ");

  CCommandList empty;
  ASSERT_TRUE(WriteScriptText(path.c_str(), empty));
  EXPECT_TRUE(lwtest::ReadAll(path).empty());

  EXPECT_FALSE(WriteScriptText(folder.File("no folder\\show.txt").c_str(), list));
  EXPECT_FALSE(lwtest::FileExists(folder.File("no folder\\show.txt")));
  EXPECT_FALSE(WriteScriptText(nullptr, list));
}

}  // namespace
