// The builder made in this process: editing the script from the tree (Add,
// Insert, indent, Delete, Activate), the options' rebuild of the list, the
// menus' update states, and the two panes' keys, double clicks and context
// menus.
// The profile and the file types go to private registry roots; dialogs,
// message boxes and the shell are answered through the framework's seams
// (see app_support.h).
#include "tests/builder/app_support.h"

namespace {

// ---------------------------------------------------------------------------
// Editing from the tree

TEST_F(BuilderAppTest, AddAndInsertTakeEveryTypeWithThePalettesDefaults) {
  ASSERT_TRUE(Start());
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE("type " + std::to_string(type));
    CSceneCommand* prototype = g_pCommandPalette->GetPrototype(type);
    CSceneCommand* fresh = prototype->Clone();
    const std::string defaults = Label(fresh);
    delete fresh;
    SelectType(type);
    Command(ID_COMMAND_ADD);
    const int last = View()->GetLineCount() - 1;
    ASSERT_EQ(last, type);
    CSceneCommand* added = View()->GetLineCommand(last);
    EXPECT_EQ(added, prototype) << "Add hands over the prototype itself";
    EXPECT_EQ(added->GetType(), type);
    EXPECT_EQ(Label(added), defaults);
    EXPECT_EQ(Doc()->GetCommands().GetCommand(last), added);
    // The palette starts a new prototype, which the tree item stands for.
    EXPECT_NE(g_pCommandPalette->GetPrototype(type), added);
    EXPECT_EQ(g_pCommandPalette->GetTreeItemPrototype(Tree()->GetSafeHwnd(), TypeItem(type)),
              g_pCommandPalette->GetPrototype(type));
    EXPECT_EQ(SelectedLines(), std::vector<int>{last});
    EXPECT_EQ(View()->GetCaretLine(), last);
  }
  EXPECT_TRUE(Doc()->IsModified());

  // Insert puts the new command at the caret, before that line.
  for (int type = 0; type < 14; ++type) {
    SCOPED_TRACE("insert type " + std::to_string(type));
    ::SendMessageA(View()->GetSafeHwnd(), LB_SETCARETINDEX, 3, 0);
    SelectType(type);
    Command(ID_COMMAND_INSERT);
    EXPECT_EQ(View()->GetLineCommand(3)->GetType(), type);
    EXPECT_EQ(Doc()->GetCommands().GetCommand(3), View()->GetLineCommand(3));
    EXPECT_EQ(View()->GetLineCount(), 15 + type);
  }
}

TEST_F(BuilderAppTest, RepeatAndUntilIndentTheLinesBetweenThem) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeRepeat, kTypeShow, kTypeRepeat, kTypeWait, kTypeUntil, kTypeUntil, kTypeCls,
            kTypeUntil});
  const int expected[] = {0, 2, 2, 4, 2, 0, 0, 0};
  for (int i = 0; i < View()->GetLineCount(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    EXPECT_EQ(View()->GetLineCommand(i)->m_indent, expected[i]);
  }
  // Deleting the first Repeat re-indents the rest.
  SelectLines({0});
  View()->DeleteSelection(false);
  EXPECT_EQ(View()->GetLineCommand(0)->m_indent, 0);
  EXPECT_EQ(View()->GetLineCommand(2)->m_indent, 2);
}

TEST_F(BuilderAppTest, DeleteAsksAboutOneCommandOrSeveral) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls, kTypeComment, kTypeRepeat, kTypeUntil});
  struct Case {
    std::vector<int> lines;
    const char* question;
    int answer;
    std::vector<int> left;
  } const cases[] = {
      {{1, 3}, "Are you sure you want delete commands?", IDNO, {4, 5, 12, 6, 7}},
      {{1, 3}, "Are you sure you want delete commands?", IDYES, {4, 12, 7}},
      {{2}, "Are you sure you want delete command?", IDYES, {4, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    ClearBoxes();
    boxes.Script({c.answer});
    HWND list = View()->GetSafeHwnd();
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int line : c.lines) ::SendMessageA(list, LB_SETSEL, TRUE, line);
    Command(ID_EDIT_DELETE);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], c.question);
    EXPECT_EQ(boxes.types.back() & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(LineTypes(), c.left);
    EXPECT_EQ(Doc()->GetCommands().GetSize(), static_cast<int>(c.left.size()));
  }
  // The Delete key asks as well; nothing selected: no question.
  ClearBoxes();
  SelectLines({});
  ::SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(boxes.texts.empty());
  SelectLines({0});
  ::SendMessageA(View()->GetSafeHwnd(), WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Are you sure you want delete command?"});
}

// Options OK rebuilds the list in the options it leaves: every line
// measured again in the new style font, indented by the new tab size, with
// the selection, the caret and both scroll positions kept.
TEST_F(BuilderAppTest, OptionsOkRebuildsTheListKeepingSelectionCaretAndScroll) {
  ASSERT_TRUE(Start());
  std::initializer_list<int> types = {kTypeRepeat, kTypeWait, kTypeWait, kTypeWait, kTypeUntil};
  for (int i = 0; i < 8; ++i) AddTypes(types);
  HWND list = View()->GetSafeHwnd();
  const int lines = View()->GetLineCount();
  ASSERT_EQ(lines, 40);
  SelectLines({11, 12, 17});
  ::SendMessageA(list, LB_SETCARETINDEX, 12, 0);
  ::SendMessageA(list, LB_SETTOPINDEX, 9, 0);
  ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 120), 0);
  const int top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  const int across = ::GetScrollPos(list, SB_HORZ);
  ASSERT_EQ(top, 9);
  ASSERT_GT(across, 0);
  const int oldHeight = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 1, 0));

  LOGFONTA font = {};
  font.lfHeight = -40;
  strcpy(font.lfFaceName, "Arial");
  lwtest::CRecordedCommonDialogs choosers;
  choosers.AnswerFont(font, RGB(0, 0, 128));
  lwtest::CDialogScript options([](CDialog* d) {
    d->SetDlgItemText(IDC_OPT_TAB, "5");
    lwtest::Press(d, IDC_OPT_FONT);  // the Normal style is selected
    lwtest::Press(d, IDOK);
  });
  Command(ID_TOOLS_OPTIONS);
  ASSERT_EQ(options.Opened(), 1);

  const CBuilderOptions* o = g_pCommandPalette->GetOptions();
  ASSERT_EQ(o->m_tabSize, 5);
  ASSERT_EQ(View()->GetLineCount(), lines);
  for (int i = 0; i < lines; ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    const CSceneCommand* cmd = View()->GetLineCommand(i);
    ASSERT_EQ(cmd, Doc()->GetCommands().GetCommand(i));
    EXPECT_EQ(::SendMessageA(list, LB_GETITEMHEIGHT, i, 0), std::max(16, o->GetStyleExtent(*cmd)));
    EXPECT_EQ(cmd->m_indent, cmd->GetType() == kTypeWait ? 5 : 0);
  }
  EXPECT_NE(::SendMessageA(list, LB_GETITEMHEIGHT, 1, 0), oldHeight) << "the font changed the height";
  EXPECT_EQ(SelectedLines(), (std::vector<int>{11, 12, 17}));
  EXPECT_EQ(View()->GetCaretLine(), 12);
  EXPECT_EQ(::SendMessageA(list, LB_GETTOPINDEX, 0, 0), top);
  EXPECT_EQ(::GetScrollPos(list, SB_HORZ), across);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, DeactivateActivateAndActivateAll) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeWait, kTypeCls, kTypeComment, kTypeLine});
  auto disabled = [&] {
    std::vector<int> flags;
    for (int i = 0; i < View()->GetLineCount(); ++i) flags.push_back(View()->GetLineCommand(i)->IsDisabled());
    return flags;
  };
  Doc()->SetModifiedFlag(false);
  SelectLines({1, 3});
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_TRUE(Doc()->IsModified());
  // Already disabled lines: still a change of the document.
  Doc()->SetModifiedFlag(false);
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_TRUE(Doc()->IsModified());
  SelectLines({0, 1});
  Command(ID_EDIT_DEACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{1, 1, 0, 1}));
  SelectLines({1});
  Command(ID_EDIT_ACTIVATE);
  EXPECT_EQ(disabled(), (std::vector<int>{1, 0, 0, 1}));
  Doc()->SetModifiedFlag(false);
  Command(ID_EDIT_ACTIVATEALL);
  EXPECT_EQ(disabled(), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(BuilderAppTest, TheMenusFollowTheScriptTheSelectionAndTheTree) {
  ASSERT_TRUE(Start());
  struct Item {
    UINT id;
    const char* empty;     // nothing in the script, a type selected
    const char* selected;  // lines, one selected
    const char* none;      // lines, none selected, the root selected in the tree
  } const items[] = {
      {ID_FILE_SAVE, "e", "e", "e"},          {ID_FILE_SAVE_AS, "e", "e", "e"},
      {ID_FILE_MAKESCR, "g", "e", "e"},       {ID_FILE_MAKEINSTALL, "g", "e", "e"},
      {ID_FILE_SETDEFAULT, "g", "e", "e"},    {ID_EDIT_DELETE, "g", "e", "g"},
      {ID_EDIT_SELECT_ALL, "g", "e", "e"},    {ID_EDIT_DEACTIVATE, "g", "e", "g"},
      {ID_EDIT_ACTIVATE, "g", "e", "g"},      {ID_EDIT_ACTIVATEALL, "g", "e", "e"},
      {ID_SCENE_PREVIEW, "g", "e", "e"},      {ID_COMMAND_CURRENT, "e", "e", "g"},
      {ID_COMMAND_ADD, "e", "e", "g"},        {ID_COMMAND_INSERT, "g", "e", "g"},
      {ID_TOOLS_REUSE, "e", "e", "e"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE("empty " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.empty);
  }
  AddTypes({kTypeWait, kTypeCls});
  SelectLines({1});
  for (const Item& item : items) {
    SCOPED_TRACE("selected " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.selected);
  }
  SelectLines({});
  ::SendMessageA(Tree()->GetSafeHwnd(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(Tree()->GetRootItem()));
  for (const Item& item : items) {
    SCOPED_TRACE("none " + std::to_string(item.id));
    EXPECT_EQ(MenuState(item.id), item.none);
  }
  // Reuse is checked while the profile says so, and the command toggles it.
  Command(ID_TOOLS_REUSE);
  EXPECT_EQ(Settings().Number("Reuse"), 1u);
  EXPECT_EQ(MenuState(ID_TOOLS_REUSE), "ec");
  Command(ID_TOOLS_REUSE);
  EXPECT_EQ(Settings().Number("Reuse", 7), 0u);
  EXPECT_EQ(MenuState(ID_TOOLS_REUSE), "e");
}

TEST_F(BuilderAppTest, ADeletedShowLeavesItsObjectAndTheSavedFile) {
  ASSERT_TRUE(Start());
  // A Show placed before its object, and one after it.
  AddTypes({kTypeShow, kTypeImageText, kTypeShow, kTypeHide});
  auto* object = dynamic_cast<CSceneObject*>(View()->GetLineCommand(1));
  ASSERT_NE(object, nullptr);
  for (int line : {0, 2, 3}) View()->GetLineCommand(line)->SetTarget(object);
  ASSERT_EQ(object->GetReferrerCount(), 3);
  SelectLines({0, 3});
  View()->DeleteSelection(false);
  ASSERT_EQ(object->GetReferrerCount(), 1);
  EXPECT_EQ(object->GetReferrer(0), View()->GetLineCommand(1));

  const std::string path = folder.File("linked.fsd");
  SaveAs(path);
  CCommandList read;
  {
    CFile file(path.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    ReadSceneDocument(ar, read, g_pCommandPalette);
  }
  ASSERT_EQ(read.GetSize(), 2);
  auto* readObject = dynamic_cast<CSceneObject*>(read.GetCommand(0));
  ASSERT_NE(readObject, nullptr);
  ASSERT_EQ(readObject->GetReferrerCount(), 1);
  EXPECT_EQ(readObject->GetReferrer(0), read.GetCommand(1));

  // A Show before its object: emptying the document frees both in order.
  AddTypes({kTypeShow, kTypeImageText});
  View()->GetLineCommand(2)->SetTarget(dynamic_cast<CSceneObject*>(View()->GetLineCommand(3)));
  Doc()->SetModifiedFlag(false);
  Command(ID_FILE_NEW);
  EXPECT_EQ(View()->GetLineCount(), 0);
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 0);
}

// A script list with no room left: every insert is refused as the list
// box refuses it when it runs out of memory.
LRESULT CALLBACK RefuseInserts(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == LB_INSERTSTRING || msg == LB_ADDSTRING) return LB_ERRSPACE;
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// "New image" in a Show's dialog when the script cannot take the new
// object: the script view, which owns whatever it is given, deletes it,
// and nobody deletes it again; the script and the dialog go on without it.
TEST_F(BuilderAppTest, ANewImageTheScriptCannotTakeIsDeletedOnce) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeShow});
  CSceneCommand* show = View()->GetLineCommand(0);
  ASSERT_NE(show, nullptr);
  const HWND list = View()->GetSafeHwnd();
  ASSERT_TRUE(::SetWindowSubclass(list, &RefuseInserts, 1, 0));
  static int listed;
  listed = -1;
  lwtest::CDialogScript script([](CDialog* d) {
    if (d->GetTemplateId() == IDD_IMAGE_TEXT) {
      ::SendMessageA(d->GetDlgItem(IDC_IT_SET_TEXT), BM_CLICK, 0, 0);
      d->SetDlgItemText(IDC_IT_TEXT, "Refused");
      lwtest::Press(d, IDOK);
      return;
    }
    lwtest::Press(d, IDC_TARGET_NEW_IMAGE);
    listed = static_cast<int>(::SendDlgItemMessageA(d->GetSafeHwnd(), IDC_TARGET_LIST,
                                                    LB_GETCOUNT, 0, 0));
    lwtest::Press(d, IDOK);
  });
  EXPECT_EQ(EditSceneCommand(*show, FrameHwnd()), IDOK);
  ::RemoveWindowSubclass(list, &RefuseInserts, 1);
  EXPECT_EQ(script.Opened(), 2);
  EXPECT_EQ(listed, 0);
  EXPECT_EQ(View()->GetLineCount(), 1);
  EXPECT_EQ(Doc()->GetCommands().GetSize(), 1);
  EXPECT_EQ(show->GetTarget(), nullptr);
  // The heap is whole: a second delete of the object would have broken it.
  EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
  EXPECT_EQ(_heapchk(), _HEAPOK);
}

// ---------------------------------------------------------------------------
// Keys, double clicks and context menus of the two panes

TEST_F(BuilderAppTest, InTheTreeEnterAndADoubleClickEditANewCommandAndItsMenuAddsOne) {
  ASSERT_TRUE(Start());
  HWND tree = Tree()->GetSafeHwnd();
  std::string typed;
  lwtest::CDialogScript edit([&](CDialog* d) {
    if (typed.empty()) {
      lwtest::Press(d, IDCANCEL);
      return;
    }
    d->SetDlgItemText(IDC_COMMENT_TEXT, typed.c_str());
    lwtest::Press(d, IDOK);
  });
  SelectType(kTypeComment);
  // Enter: the type's dialog, then Add with what it was given.
  typed = "by Enter";
  MSG enter = {tree, WM_KEYDOWN, VK_RETURN, 1};
  EXPECT_TRUE(app->PreTranslateMessage(&enter));
  ASSERT_EQ(View()->GetLineCount(), 1);
  EXPECT_EQ(Label(View()->GetLineCommand(0)), "by Enter");
  // A held key's repeats do not open it again; Cancel adds nothing.
  MSG repeat = {tree, WM_KEYDOWN, VK_RETURN, 1 | (1 << 30)};
  app->PreTranslateMessage(&repeat);
  typed.clear();
  app->PreTranslateMessage(&enter);
  EXPECT_EQ(edit.Opened(), 2);
  EXPECT_EQ(View()->GetLineCount(), 1);

  // "Current..." works as Enter does, wherever the cursor is; the next Add
  // takes the type's defaults again.
  typed = "by Current";
  Command(ID_COMMAND_CURRENT);
  ASSERT_EQ(View()->GetLineCount(), 2);
  EXPECT_EQ(Label(View()->GetLineCommand(1)), "by Current");
  Command(ID_COMMAND_ADD);
  EXPECT_EQ(Label(View()->GetLineCommand(2)), "");

  // The root's picture follows its state as the user folds it (Left) and
  // opens it (Right).
  auto rootImage = [&] {
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = Tree()->GetRootItem();
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return std::make_pair(item.iImage, item.iSelectedImage);
  };
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_OPEN, IDI_ROOT_OPEN));
  ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Tree()->GetRootItem()));
  ::SendMessageA(tree, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_CLOSED, IDI_ROOT_CLOSED));
  ::SendMessageA(tree, WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(rootImage(), std::make_pair(IDI_ROOT_OPEN, IDI_ROOT_OPEN));
  // Enter on the root edits nothing.
  const int beforeRoot = edit.Opened();
  app->PreTranslateMessage(&enter);
  EXPECT_EQ(edit.Opened(), beforeRoot);

  // A double click on the type's row; none on the rows' empty rest.
  union {
    RECT rect;
    HTREEITEM item;
  } row = {};
  row.item = TypeItem(kTypeComment);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  RECT client = {};
  ::GetClientRect(tree, &client);
  row.item = TypeItem(kTypeUrl);
  RECT last = {};
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&row)));
  last = row.rect;
  ASSERT_LT(last.bottom + 4, client.bottom) << "room below the last type";
  row.item = TypeItem(kTypeComment);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  struct Click {
    const char* name;
    POINT at;
    bool edits;
  } const clicks[] = {
      {"on the type", {(row.rect.left + row.rect.right) / 2, (row.rect.top + row.rect.bottom) / 2}, true},
      {"below the types", {row.rect.left + 4, (last.bottom + client.bottom) / 2}, false},
  };
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.name);
    typed = c.name;
    const int opened = edit.Opened();
    SelectType(kTypeComment);
    POINT screen = c.at;
    ::ClientToScreen(tree, &screen);
    ::SetCursorPos(screen.x, screen.y);
    // (A press would start the tree's wait for a drag.)
    const int lines = View()->GetLineCount();
    ::SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
    EXPECT_EQ(edit.Opened() - opened, c.edits ? 1 : 0);
    EXPECT_EQ(View()->GetLineCount() - lines, c.edits ? 1 : 0);
    if (c.edits) {
      EXPECT_EQ(Label(View()->GetLineCommand(lines)), c.name);
    }
  }
  Command(ID_EDIT_SELECT_ALL);
  View()->DeleteSelection(false);

  // The right button selects the type under it and opens the menu there,
  // owned by the frame: Add appends that type.
  row.item = TypeItem(kTypeCls);
  ASSERT_TRUE(::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  const POINT cls = {(row.rect.left + row.rect.right) / 2, (row.rect.top + row.rect.bottom) / 2};
  const CSeenMenu menu = SeeMenu(
      [&] { ::SendMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(cls.x, cls.y)); }, 1);
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_COMMAND_ADD, ID_COMMAND_INSERT, 0, ID_SCENE_PREVIEW}));
  EXPECT_EQ(menu.texts[3], "Pre&view\tCtrl+T");
  ASSERT_EQ(menu.greyed.size(), 4u);
  EXPECT_FALSE(menu.greyed[0]);
  EXPECT_TRUE(menu.greyed[1] && menu.greyed[3])
      << "Insert wants a caret, Preview a script: the frame updated the items";
  POINT screen = cls;
  ::ClientToScreen(tree, &screen);
  EXPECT_EQ(menu.place.left, screen.x);
  EXPECT_EQ(menu.place.top, screen.y);
  EXPECT_EQ(Tree()->GetSelectedItem(), TypeItem(kTypeCls));
  EXPECT_EQ(LineTypes(), std::vector<int>{kTypeCls});

  // From the keyboard the menu opens at the pane's corner.
  const CSeenMenu keyboard =
      SeeMenu([&] { ::SendMessageA(tree, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tree), -1); });
  POINT corner = {5, 5};
  ::ClientToScreen(tree, &corner);
  EXPECT_EQ(keyboard.ids.size(), 4u);
  EXPECT_EQ(keyboard.place.left, corner.x);
  EXPECT_EQ(keyboard.place.top, corner.y);
  Doc()->SetModifiedFlag(false);
}

TEST_F(BuilderAppTest, InTheScriptEnterAndADoubleClickEditTheLineAndTheRightButtonSelects) {
  ASSERT_TRUE(Start());
  AddTypes({kTypeComment, kTypeWait, kTypeComment});
  Doc()->SetModifiedFlag(false);
  HWND list = View()->GetSafeHwnd();
  std::string typed;
  lwtest::CDialogScript edit([&](CDialog* d) {
    d->SetDlgItemText(IDC_COMMENT_TEXT, typed.c_str());
    lwtest::Press(d, IDOK);
  });
  // Enter edits the caret line.
  typed = "edited by Enter";
  ::SendMessageA(list, LB_SETCARETINDEX, 2, 0);
  ::SendMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(Label(View()->GetLineCommand(2)), "edited by Enter");
  EXPECT_TRUE(Doc()->IsModified());

  // A double click on a line edits it; below the last line nothing opens.
  RECT first = {};
  ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  typed = "edited by a double click";
  const int opened = edit.Opened();
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(first.left + 40, first.top + 2));
  EXPECT_EQ(Label(View()->GetLineCommand(0)), "edited by a double click");
  RECT client = {};
  ::GetClientRect(list, &client);
  ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, client.bottom - 3));
  EXPECT_EQ(edit.Opened(), opened + 1);

  // The right button: a line not selected becomes the only one; a selected
  // line keeps the selection.
  auto press = [&](int line) {
    RECT r = {};
    ::SendMessageA(list, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
    ::SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  };
  SelectLines({0, 2});
  press(2);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{0, 2}));
  press(1);
  EXPECT_EQ(SelectedLines(), std::vector<int>{1});
  EXPECT_EQ(View()->GetCaretLine(), 1);

  // With Ctrl, Page Up and Down, Home and End scroll sideways; Left and
  // Right by a step.
  enum Way { kRight, kLeft, kLeftEdge };
  struct Sideways {
    UINT vk;
    bool ctrl;
    int from;
    Way way;
  } const keys[] = {{VK_NEXT, true, 0, kRight},  {VK_HOME, true, 300, kLeftEdge},
                    {VK_END, true, 0, kRight},   {VK_PRIOR, true, 900, kLeft},
                    {VK_RIGHT, false, 0, kRight}, {VK_LEFT, false, 300, kLeft}};
  for (const Sideways& k : keys) {
    SCOPED_TRACE(k.vk);
    ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, k.from), 0);
    ASSERT_EQ(::GetScrollPos(list, SB_HORZ), k.from);
    HoldKeys(k.ctrl, false);
    ::SendMessageA(list, WM_KEYDOWN, k.vk, 1);
    HoldKeys(false, false);
    const int after = ::GetScrollPos(list, SB_HORZ);
    if (k.way == kRight) {
      EXPECT_GT(after, k.from);
    }
    if (k.way == kLeft) {
      EXPECT_LT(after, k.from);
    }
    if (k.way == kLeftEdge) {
      EXPECT_EQ(after, 0);
    }
  }
  EXPECT_EQ(View()->GetCaretLine(), 1) << "the caret stays on its line";

  // Its menu, owned by the frame, from the keyboard at the pane's corner.
  const CSeenMenu menu =
      SeeMenu([&] { ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); });
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE,
                                         0, ID_EDIT_DEACTIVATE, ID_EDIT_ACTIVATE,
                                         ID_EDIT_ACTIVATEALL, 0, ID_EDIT_SELECT_ALL, 0,
                                         ID_SCENE_PREVIEW}));
  ASSERT_EQ(menu.greyed.size(), 12u);
  EXPECT_FALSE(menu.greyed[0]) << "Cut: a line is selected";
  EXPECT_FALSE(menu.greyed[11]) << "Preview: the script is not empty";
  POINT corner = {5, 5};
  ::ClientToScreen(list, &corner);
  EXPECT_EQ(menu.place.left, corner.x);
  EXPECT_EQ(menu.place.top, corner.y);
  // Chosen from it, Deactivate reaches the frame.
  SeeMenu([&] { ::SendMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); }, 5);
  EXPECT_TRUE(View()->GetLineCommand(1)->IsDisabled());
  Doc()->SetModifiedFlag(false);
}

// The wizard button's arrow drops down the three wizards under the button.
TEST_F(BuilderAppTest, TheWizardButtonsArrowDropsDownTheWizards) {
  ASSERT_TRUE(Start());
  HWND bar = Frame()->GetToolBar().GetSafeHwnd();
  RECT button = {};
  ASSERT_TRUE(::SendMessageA(bar, TB_GETRECT, ID_WIZARD_LAST, reinterpret_cast<LPARAM>(&button)));
  const CSeenMenu menu = SeeMenu([&] {
    ::SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(button.right - 4, (button.top + button.bottom) / 2));
    ::SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(button.right - 4, (button.top + button.bottom) / 2));
  });
  EXPECT_EQ(menu.ids, (std::vector<UINT>{ID_WIZARD_STANDARD, ID_WIZARD_ONESTEP, ID_WIZARD_FLASHTOSCR}));
  POINT below = {button.left, button.bottom};
  ::ClientToScreen(bar, &below);
  EXPECT_EQ(menu.place.left, below.x);
  EXPECT_EQ(menu.place.top, below.y);
  // Another button's drop-down is not the frame's.
  NMTOOLBARA other = {};
  other.hdr.hwndFrom = bar;
  other.hdr.idFrom = AFX_IDW_TOOLBAR;
  other.hdr.code = TBN_DROPDOWN;
  other.iItem = ID_FILE_NEW;
  const CSeenMenu none = SeeMenu(
      [&] { ::SendMessageA(FrameHwnd(), WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&other)); });
  EXPECT_TRUE(none.ids.empty());
}

}  // namespace
