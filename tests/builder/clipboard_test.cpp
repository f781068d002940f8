// Commands leaving and entering the script in the builder made in this
// process: Cut, Copy and Paste through the clipboard, with their menu and
// toolbar states; drags out of the script and the tree, run through the
// replaceable drag runner that enters, moves over and drops on a view as
// the system's drag loop would; drops of data the test makes itself, as a
// second builder's drag would bring; and damaged blocks, which beep and
// change nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "builder/CommView.h"
#include "builder/MainFrame.h"
#include "builder/ObjectDialogs.h"
#include "builder/SceneDataSource.h"
#include "builder/SceneDoc.h"
#include "builder/SceneView.h"
#include "builder/StartDialogs.h"
#include "builder/resource.h"
#include "framework/Archive.h"
#include "framework/CommandIds.h"
#include "framework/Files.h"
#include "framework/Seams.h"
#include "script/Objects.h"
#include "script/Options.h"
#include "script/Palette.h"
#include "script/SceneClipboard.h"
#include "tests/builder/builder_run.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"
#include "tests/support/screen.h"

namespace {

testing::Environment* const kPrivateProfile =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CURRENT_USER));
testing::Environment* const kPrivateClasses =
    testing::AddGlobalTestEnvironment(new lwtest::CPrivateRegRootEnvironment(HKEY_CLASSES_ROOT));

using Bytes = std::vector<uint8_t>;

int g_beeps = 0;
void CountBeep(UINT) { ++g_beeps; }

// What a drag the runner ran met: the effect the target answered (after
// the source's allowed effects) and whether it dropped.
struct CDragPlan {
  CView* target = nullptr;
  CPoint point;
  DWORD keys = 0;
  bool drop = true;
  // Replaces the dragged data at the drop (a damaged block, say).
  COleDataSource* substitute = nullptr;
  // Runs while the drag is over the target, before the drop or the leave.
  std::function<void()> during;
  DWORD effect = DROPEFFECT_NONE;
  bool dropped = false;
  int runs = 0;
};
CDragPlan* g_plan = nullptr;

// Enters the planned view, moves over its point and drops there, as the
// system's drag loop does with the target's answers.
DWORD RunPlannedDrag(COleDataSource& data, DWORD allowed, COleDropSource&) {
  CDragPlan& plan = *g_plan;
  ++plan.runs;
  COleDataObject object;
  object.Attach(data.GetInterface());
  plan.target->OnDragEnter(&object, plan.keys, plan.point);
  plan.effect = FilterDropEffect(plan.target->OnDragOver(&object, plan.keys, plan.point), allowed);
  if (plan.during) plan.during();
  if (!plan.drop || plan.effect == DROPEFFECT_NONE) {
    plan.target->OnDragLeave();
    return DROPEFFECT_NONE;
  }
  COleDataObject substitute;
  if (plan.substitute) substitute.Attach(plan.substitute->GetInterface());
  plan.dropped = plan.target->OnDrop(plan.substitute ? &substitute : &object, plan.effect, plan.point);
  return plan.dropped ? plan.effect : DROPEFFECT_NONE;
}

HGLOBAL GlobalBytes(const Bytes& bytes) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  if (block && !bytes.empty()) {
    memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
  }
  return block;
}

Bytes BlockBytes(HGLOBAL block) {
  if (!block) return {};
  const auto* p = static_cast<const uint8_t*>(::GlobalLock(block));
  Bytes bytes(p, p + ::GlobalSize(block));
  ::GlobalUnlock(block);
  return bytes;
}

Bytes Written(const std::function<void(CArchive&)>& write) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  write(ar);
  ar.Close();
  return Bytes(file.GetBuffer(), file.GetBuffer() + file.GetLength());
}

void PutInt(Bytes& bytes, size_t offset, int32_t value) { memcpy(bytes.data() + offset, &value, 4); }

class ClipboardTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lwtest::CRegKeyPath(HKEY_CURRENT_USER,
                                    "Software\\Corvanta\\Lumenweave\\4.70\\Lumenweave\\Settings")
                    .SetNumber("StartDlg", 1));
    ASSERT_TRUE(m_run.Start(""));
    CSplashWnd::HideSplashScreen();
    m_previousBeep = SetBeepFunction(&CountBeep);
    m_previousRunner = SetSceneDragRunner(&RunPlannedDrag);
    g_plan = &plan;
    g_beeps = 0;
    EmptyClipboard();
  }
  void TearDown() override {
    g_plan = nullptr;
    SetSceneDragRunner(m_previousRunner);
    SetBeepFunction(m_previousBeep);
    if (View()) View()->GetSceneDoc()->SetModifiedFlag(false);
    m_run.Stop();
  }

  // The clipboard is opened for the frame: one opened for no window
  // takes no data.
  void EmptyClipboard() {
    CClipboard clipboard(Frame()->GetSafeHwnd());
    clipboard.Empty();
  }

  CMainFrame* Frame() const {
    return m_run.app ? dynamic_cast<CMainFrame*>(m_run.app->m_pMainWnd) : nullptr;
  }
  CSceneView* View() const { return Frame() ? Frame()->GetSceneView() : nullptr; }
  CCommView* Tree() const { return Frame()->GetCommView(); }
  LRESULT Command(UINT id) { return ::SendMessageA(Frame()->GetSafeHwnd(), WM_COMMAND, id, 0); }
  CCommandList& Script() const { return g_pCommandPalette->GetCommands(); }

  // Appends fresh commands of these types to the script.
  void Build(std::initializer_list<int> types) {
    for (int type : types) View()->InsertCommand(CreateCommand(type), true);
  }
  void Link(int line, int object) {
    View()->GetLineCommand(line)->SetTarget(static_cast<CSceneObject*>(View()->GetLineCommand(object)));
  }
  void SelectLines(std::initializer_list<int> lines) {
    HWND list = View()->GetSafeHwnd();
    ::SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int line : lines) ::SendMessageA(list, LB_SETSEL, TRUE, line);
  }
  std::vector<CSceneCommand*> Lines() const {
    std::vector<CSceneCommand*> lines;
    for (int i = 0; i < View()->GetLineCount(); ++i) lines.push_back(View()->GetLineCommand(i));
    return lines;
  }
  std::vector<int> Types() const {
    std::vector<int> types;
    for (CSceneCommand* cmd : Lines()) types.push_back(cmd->GetType());
    return types;
  }
  // The list and the live list hold the same commands in the same order.
  void ExpectListsAgree() const {
    ASSERT_EQ(Script().GetSize(), View()->GetLineCount());
    for (int i = 0; i < Script().GetSize(); ++i) EXPECT_EQ(Script().GetCommand(i), View()->GetLineCommand(i));
  }
  CPoint LinePoint(int line) const {
    RECT r = {};
    ::SendMessageA(View()->GetSafeHwnd(), LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  CPoint BelowTheLines() const {
    RECT client = {};
    ::GetClientRect(View()->GetSafeHwnd(), &client);
    return CPoint(client.right / 2, client.bottom - 2);
  }
  // A drag of the lines grabbed at `grab` in the first, onto a point of
  // the script; during() runs while it is over the point.
  DWORD DragLinesFrom(std::initializer_list<int> lines, CPoint grab, CPoint point, DWORD keys,
                      bool drop, const std::function<void()>& during = nullptr) {
    SelectLines(lines);
    plan = CDragPlan();
    plan.target = View();
    plan.point = point;
    plan.keys = keys;
    plan.drop = drop;
    plan.during = during;
    View()->BeginDragOut(*lines.begin(), grab);
    EXPECT_EQ(plan.runs, 1);
    return plan.effect;
  }
  // The same grabbed at the middle of the first line.
  DWORD DragLines(std::initializer_list<int> lines, CPoint point, DWORD keys, bool drop) {
    return DragLinesFrom(lines, LinePoint(*lines.begin()), point, keys, drop);
  }
  // A drag held over a point while during() runs, then left without a drop.
  void HoldDrag(std::initializer_list<int> lines, CPoint grab, CPoint over,
                const std::function<void()>& during) {
    DragLinesFrom(lines, grab, over, 0, false, during);
  }
  RECT LineRect(int line) const {
    RECT r = {};
    ::SendMessageA(View()->GetSafeHwnd(), LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // The frame in front of everything, so that the screen shows the list.
  void ShowOnTop() {
    ::SetWindowPos(Frame()->GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    lwtest::FlushEvents(100);
  }
  // The screen's pixels of the left part of a line (its icon and the start
  // of its label), rows top-down, kShotWidth a row.
  static constexpr int kShotWidth = 150;
  std::vector<COLORREF> LineShot(int line) {
    RECT r = LineRect(line);
    r.right = r.left + kShotWidth;
    ::MapWindowPoints(View()->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    lwtest::FlushEvents(30);
    return lwtest::ScreenPixels(r);
  }
  Bytes ClipboardBlock() {
    CClipboard clipboard(Frame()->GetSafeHwnd());
    return BlockBytes(CClipboard::GetBlock(SceneFormats().copy));
  }
  void SetClipboardBlock(const Bytes& bytes) {
    CClipboard clipboard(Frame()->GetSafeHwnd());
    clipboard.Empty();
    ASSERT_TRUE(CClipboard::SetBlock(SceneFormats().copy, GlobalBytes(bytes)));
  }

  CDragPlan plan;
  lwtest::CRecordedBoxes boxes{IDNO};

 private:
  lwtest::CBuilderRun m_run;
  BeepFunction m_previousBeep = nullptr;
  SceneDragRunner m_previousRunner = nullptr;
};

// ---------------------------------------------------------------------------
// Cut, Copy, Paste

TEST_F(ClipboardTest, CutAndPasteKeepAShowsLinkToItsObject) {
  Build({kTypeImageText, kTypeWait, kTypeShow});
  Link(2, 0);
  SelectLines({0, 2});
  Command(ID_EDIT_CUT);
  EXPECT_EQ(Types(), (std::vector<int>{kTypeWait}));
  ExpectListsAgree();
  SelectLines({0});
  Command(ID_EDIT_PASTE);
  ASSERT_EQ(Types(), (std::vector<int>{kTypeWait, kTypeImageText, kTypeShow}));
  ExpectListsAgree();
  EXPECT_EQ(View()->GetLineCommand(2)->GetTarget(), View()->GetLineCommand(1));
  EXPECT_TRUE(View()->IsLineSelected(1) && View()->IsLineSelected(2) && !View()->IsLineSelected(0));
  EXPECT_EQ(View()->GetCaretLine(), 2);
  EXPECT_TRUE(View()->GetSceneDoc()->IsModified());
  EXPECT_EQ(g_beeps, 0);
}

TEST_F(ClipboardTest, CopyLeavesTheScriptAndPasteInsertsCopiesAfterTheSelection) {
  Build({kTypeImageText, kTypeWait, kTypeShow, kTypeCls});
  Link(2, 0);
  const std::vector<CSceneCommand*> before = Lines();
  SelectLines({2});
  View()->GetSceneDoc()->SetModifiedFlag(false);
  Command(ID_EDIT_COPY);
  EXPECT_EQ(Lines(), before);
  EXPECT_FALSE(View()->GetSceneDoc()->IsModified());
  EXPECT_EQ(View()->GetLineCommand(2)->GetTarget(), View()->GetLineCommand(0));

  // One line selected: after it. The Show alone links by its object's line.
  Command(ID_EDIT_PASTE);
  ASSERT_EQ(Types(), (std::vector<int>{kTypeImageText, kTypeWait, kTypeShow, kTypeShow, kTypeCls}));
  EXPECT_NE(View()->GetLineCommand(3), before[2]);
  EXPECT_EQ(View()->GetLineCommand(3)->GetTarget(), View()->GetLineCommand(0));
  EXPECT_EQ(static_cast<CSceneObject*>(View()->GetLineCommand(0))->GetReferrerCount(), 2);

  // Several lines selected: at the end. Line 0 is no longer a picture
  // there, so the copy comes without a target.
  SelectLines({0});
  View()->DeleteSelection(false);
  SelectLines({0, 1});
  Command(ID_EDIT_PASTE);
  ASSERT_EQ(View()->GetLineCount(), 5);
  EXPECT_EQ(View()->GetLineCommand(4)->GetType(), kTypeShow);
  EXPECT_EQ(View()->GetLineCommand(4)->GetTarget(), nullptr);
  ExpectListsAgree();
}

TEST_F(ClipboardTest, CutCopyAndPasteAreEnabledByTheSelectionAndTheClipboard) {
  HWND bar = Frame()->GetToolBar().GetSafeHwnd();
  HMENU edit = ::GetSubMenu(::GetMenu(Frame()->GetSafeHwnd()), 1);
  auto enabled = [&](UINT id) {
    Frame()->OnIdleUpdateCmdUI();
    ::SendMessageA(Frame()->GetSafeHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
    const bool button = ::SendMessageA(bar, TB_ISBUTTONENABLED, id, 0) != 0;
    const bool item = !(::GetMenuState(edit, id, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(button, item) << id;
    return button;
  };
  Build({kTypeWait, kTypeCls});
  SelectLines({});
  EXPECT_FALSE(enabled(ID_EDIT_CUT));
  EXPECT_FALSE(enabled(ID_EDIT_COPY));
  EXPECT_FALSE(enabled(ID_EDIT_PASTE));
  SelectLines({1});
  EXPECT_TRUE(enabled(ID_EDIT_CUT));
  EXPECT_TRUE(enabled(ID_EDIT_COPY));
  EXPECT_FALSE(enabled(ID_EDIT_PASTE));
  Command(ID_EDIT_COPY);
  EXPECT_TRUE(enabled(ID_EDIT_PASTE));
  // Other data on the clipboard is nothing to paste.
  {
    CClipboard clipboard(Frame()->GetSafeHwnd());
    clipboard.Empty();
    ASSERT_TRUE(CClipboard::SetBlock(CF_TEXT, GlobalBytes({'h', 'i', 0})));
  }
  EXPECT_FALSE(enabled(ID_EDIT_PASTE));
  Command(ID_EDIT_PASTE);
  EXPECT_EQ(View()->GetLineCount(), 2);
  EXPECT_EQ(g_beeps, 1);
}

TEST_F(ClipboardTest, DamagedClipboardBlocksBeepAndLeaveTheScript) {
  Build({kTypeImageText, kTypeWait, kTypeShow});
  Link(2, 0);
  SelectLines({1, 2});
  Command(ID_EDIT_COPY);
  const Bytes good = ClipboardBlock();
  ASSERT_GT(good.size(), 28u);
  // The block: version, count, the Wait's type code..., and at the end the
  // two link pairs (the Show's last).
  const size_t showLink = good.size() - 8;
  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
  };
  const Case cases[] = {
      {"type code 14", [](Bytes& b) { PutInt(b, 8, 14); }},
      {"a huge count", [](Bytes& b) { PutInt(b, 4, 0x7FFFFFFF); }},
      {"a link past the block", [&](Bytes& b) { PutInt(b, showLink, 1); PutInt(b, showLink + 4, 2); }},
      {"a link to the Wait", [&](Bytes& b) { PutInt(b, showLink, 1); PutInt(b, showLink + 4, 0); }},
      {"cut short", [](Bytes& b) { b.resize(b.size() / 2); }},
      {"a foreign version", [](Bytes& b) { PutInt(b, 0, 0x40970A3D); }},  // 4.72f
  };
  const std::vector<CSceneCommand*> before = Lines();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes damaged = good;
    c.damage(damaged);
    SetClipboardBlock(damaged);
    g_beeps = 0;
    View()->GetSceneDoc()->SetModifiedFlag(false);
    SelectLines({0});
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(g_beeps, 1);
    EXPECT_EQ(Lines(), before);
    ExpectListsAgree();
    EXPECT_FALSE(View()->GetSceneDoc()->IsModified());
    EXPECT_EQ(static_cast<CSceneObject*>(before[0])->GetReferrerCount(), 1);
    EXPECT_TRUE(::IsWindow(Frame()->GetSafeHwnd()));
  }
  // The block itself still pastes.
  SetClipboardBlock(good);
  Command(ID_EDIT_PASTE);
  EXPECT_EQ(View()->GetLineCount(), 5);
}

// ---------------------------------------------------------------------------
// Drags inside the script

TEST_F(ClipboardTest, TheDropEffectFollowsTheDraggedLinesTheLineUnderAndTheKeys) {
  // Picture, Show, Wait, media, Play, Wait.
  Build({kTypeImageText, kTypeShow, kTypeWait, kTypeMedia, kTypePlay, kTypeWait});
  const DWORD none = 0, ctrl = MK_CONTROL, shift = MK_SHIFT, both = MK_CONTROL | MK_SHIFT;
  struct Case {
    const char* name;
    std::initializer_list<int> lines;
    int over;  // -1: below the last line
    DWORD keys;
    DWORD effect;
  };
  const Case cases[] = {
      {"2: below the lines", {2}, -1, none, DROPEFFECT_COPY},
      {"3: onto a dragged line", {2}, 2, none, DROPEFFECT_NONE},
      {"3: onto one of several", {0, 2}, 2, ctrl, DROPEFFECT_NONE},
      {"4: several", {0, 2}, 4, none, DROPEFFECT_MOVE},
      {"4: several, Ctrl", {0, 2}, 4, ctrl, DROPEFFECT_COPY},
      {"4: several, Shift", {0, 2}, 4, shift, DROPEFFECT_MOVE},
      {"4: several, both", {0, 2}, 4, both, DROPEFFECT_MOVE},
      {"4: a picture onto a Show, Ctrl", {0}, 1, ctrl, DROPEFFECT_COPY},
      {"4: a picture onto a Show, Shift", {0}, 1, shift, DROPEFFECT_MOVE},
      {"5: a picture onto a Show", {0}, 1, none, DROPEFFECT_LINK},
      {"5: a picture onto a Show, both", {0}, 1, both, DROPEFFECT_LINK},
      {"5: media onto a Play", {3}, 4, none, DROPEFFECT_LINK},
      {"5: media onto a Show", {3}, 1, none, DROPEFFECT_MOVE},
      {"5: a picture onto a Play", {0}, 4, none, DROPEFFECT_MOVE},
      {"5: a Wait onto a Show", {2}, 1, none, DROPEFFECT_MOVE},
  };
  const std::vector<CSceneCommand*> before = Lines();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DragLines(c.lines, c.over < 0 ? BelowTheLines() : LinePoint(c.over), c.keys, false), c.effect);
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(View()->GetDropLine(), -1);
  }
}

TEST_F(ClipboardTest, AMoveDropPutsTheBlockAfterALineBelowAndBeforeALineAbove) {
  Build({kTypeImageText, kTypeShow, kTypeHide, kTypeWait, kTypeCls, kTypeRepeat});
  const std::vector<CSceneCommand*> l = Lines();
  struct Case {
    const char* name;
    std::initializer_list<int> lines;
    int over;
    std::vector<int> order;  // the original lines in their new order
  };
  const Case cases[] = {
      {"one line down", {1}, 4, {0, 2, 3, 4, 1, 5}},
      {"one line up", {4}, 1, {0, 4, 1, 2, 3, 5}},
      {"two lines down", {1, 2}, 4, {0, 3, 4, 1, 2, 5}},
      {"two lines up", {3, 5}, 1, {0, 3, 5, 1, 2, 4}},
      {"onto the last line", {0}, 5, {1, 2, 3, 4, 5, 0}},
      {"onto the first line", {5}, 0, {5, 0, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Back to the first order.
    View()->ClearLines();
    Script().RemoveAll();
    for (CSceneCommand* cmd : l) Script().Add(cmd);
    View()->RebuildLines();
    EXPECT_EQ(DragLines(c.lines, LinePoint(c.over), MK_SHIFT, true), DROPEFFECT_MOVE);
    EXPECT_TRUE(plan.dropped);
    std::vector<CSceneCommand*> expected;
    for (int i : c.order) expected.push_back(l[static_cast<size_t>(i)]);
    EXPECT_EQ(Lines(), expected);
    ExpectListsAgree();
    // The moved lines stay selected.
    for (int line : c.lines) {
      const auto at = std::find(expected.begin(), expected.end(), l[static_cast<size_t>(line)]);
      EXPECT_TRUE(View()->IsLineSelected(static_cast<int>(at - expected.begin()))) << line;
    }
    EXPECT_EQ(View()->GetSelectedCount(), static_cast<int>(c.lines.size()));
  }
  EXPECT_EQ(g_beeps, 0);
}

TEST_F(ClipboardTest, ADragStartsWhenThePressedMouseMovesAndAClickSelectsTheLineAlone) {
  Build({kTypeWait, kTypeCls, kTypeRepeat, kTypeUntil});
  HWND list = View()->GetSafeHwnd();
  const CPoint down = LinePoint(1);
  auto send = [&](UINT msg, WPARAM keys, CPoint pt) { ::SendMessageA(list, msg, keys, MAKELPARAM(pt.x, pt.y)); };
  // A press on a selected line keeps the selection; a move drags it all.
  SelectLines({1, 2});
  plan = CDragPlan();
  plan.target = View();
  plan.point = LinePoint(3);
  plan.keys = MK_SHIFT;
  send(WM_LBUTTONDOWN, MK_LBUTTON, down);
  EXPECT_EQ(View()->GetSelectedCount(), 2);
  send(WM_MOUSEMOVE, MK_LBUTTON, CPoint(down.x, LinePoint(3).y));
  EXPECT_EQ(plan.runs, 1);
  EXPECT_EQ(plan.effect, DROPEFFECT_MOVE);
  EXPECT_EQ(Types(), (std::vector<int>{kTypeWait, kTypeUntil, kTypeCls, kTypeRepeat}));
  send(WM_LBUTTONUP, 0, CPoint(down.x, LinePoint(3).y));

  // A press and release without a move is a click: the line alone.
  SelectLines({0, 1});
  plan = CDragPlan();
  plan.target = View();
  send(WM_LBUTTONDOWN, MK_LBUTTON, LinePoint(0));
  send(WM_LBUTTONUP, 0, LinePoint(0));
  EXPECT_EQ(plan.runs, 0);
  EXPECT_EQ(View()->GetSelectedCount(), 1);
  EXPECT_TRUE(View()->IsLineSelected(0));
}

TEST_F(ClipboardTest, ALinkDropTargetsTheLineAndACopyDropInsertsThere) {
  Build({kTypeImageText, kTypeWait, kTypeShow});
  EXPECT_EQ(DragLines({0}, LinePoint(2), 0, true), DROPEFFECT_LINK);
  EXPECT_EQ(View()->GetLineCommand(2)->GetTarget(), View()->GetLineCommand(0));
  EXPECT_EQ(View()->GetLineCount(), 3);
  EXPECT_TRUE(View()->IsLineSelected(2));
  EXPECT_EQ(View()->GetSelectedCount(), 1);

  EXPECT_EQ(DragLines({0}, LinePoint(2), MK_CONTROL, true), DROPEFFECT_COPY);
  ASSERT_EQ(Types(), (std::vector<int>{kTypeImageText, kTypeWait, kTypeImageText, kTypeShow}));
  EXPECT_NE(View()->GetLineCommand(2), View()->GetLineCommand(0));
  EXPECT_EQ(View()->GetLineCommand(3)->GetTarget(), View()->GetLineCommand(0));
  ExpectListsAgree();
}

TEST_F(ClipboardTest, DamagedMoveAndLinkDataIsRefusedDuringTheViewsOwnDrag) {
  Build({kTypeImageText, kTypeWait, kTypeShow, kTypeCls});
  const std::vector<CSceneCommand*> before = Lines();
  struct Case {
    const char* name;
    std::initializer_list<int> lines;
    int over;
    DWORD keys;
    CLIPFORMAT format;
    Bytes block;
  };
  const float v = 4.7f;
  auto block = [&](std::initializer_list<int32_t> ints) {
    return Written([&](CArchive& ar) {
      ar << v;
      for (int32_t i : ints) ar << i;
    });
  };
  const CSceneFormats& f = SceneFormats();
  const Case cases[] = {
      {"a line past the end", {1}, 3, MK_SHIFT, f.move, block({1, 4})},
      {"a line not dragged", {1}, 3, MK_SHIFT, f.move, block({1, 0})},
      {"a line twice", {1}, 3, MK_SHIFT, f.move, block({2, 1, 1})},
      {"a huge count", {1}, 3, MK_SHIFT, f.move, block({0x7FFFFFFF, 1})},
      {"a count of none", {1}, 3, MK_SHIFT, f.move, block({0})},
      {"the drop line itself", {1}, 3, MK_SHIFT, f.move, block({1, 3})},
      {"a link to a Wait", {0}, 2, 0, f.link, block({1})},
      {"a link past the end", {0}, 2, 0, f.link, block({9})},
      {"a link cut short", {0}, 2, 0, f.link, Bytes{0x33, 0x33}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    COleDataSource substitute;
    substitute.CacheGlobalData(c.format, GlobalBytes(c.block));
    plan.substitute = &substitute;
    g_beeps = 0;
    SelectLines(c.lines);
    CDragPlan run;
    run.target = View();
    run.point = LinePoint(c.over);
    run.keys = c.keys;
    run.substitute = &substitute;
    plan = run;
    View()->BeginDragOut(*c.lines.begin(), LinePoint(*c.lines.begin()));
    EXPECT_NE(plan.effect, DROPEFFECT_NONE);
    EXPECT_FALSE(plan.dropped);
    EXPECT_EQ(g_beeps, 1);
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(View()->GetLineCommand(2)->GetTarget(), nullptr);
    ExpectListsAgree();
  }
}

// ---------------------------------------------------------------------------
// Drags from elsewhere

TEST_F(ClipboardTest, DataFromAnotherBuilderOnlyEverCopies) {
  Build({kTypeImageText, kTypeWait, kTypeShow});
  // Another builder's drag of its lines 0 and 1 and its picture: every
  // block is well formed, and its lines are lines of this script too.
  CCommandList theirs;
  for (int type : {kTypeWait, kTypeCls}) theirs.Add(CreateCommand(type));
  theirs.NumberCommands();
  const CSceneFormats& f = SceneFormats();
  const Bytes copy = Written([&](CArchive& ar) { WriteCopyBlock(ar, theirs); });
  theirs.NumberCommands();
  COleDataSource source;
  source.CacheGlobalData(f.copy, GlobalBytes(copy));
  source.CacheGlobalData(f.move, GlobalBytes(Written([&](CArchive& ar) { WriteMoveBlock(ar, theirs); })));
  source.CacheGlobalData(f.link, GlobalBytes(Written([&](CArchive& ar) { WriteLinkBlock(ar, 0); })));
  COleDataObject data;
  data.Attach(source.GetInterface());
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const std::vector<CSceneCommand*> before = Lines();
  for (DWORD keys : {0, MK_CONTROL, MK_SHIFT, MK_CONTROL | MK_SHIFT}) {
    for (int over : {0, 1, 2}) {
      SCOPED_TRACE("keys " + std::to_string(keys) + " over line " + std::to_string(over));
      EXPECT_EQ(FilterDropEffect(View()->OnDragEnter(&data, keys, LinePoint(over)), all), DROPEFFECT_COPY);
      EXPECT_EQ(FilterDropEffect(View()->OnDragOver(&data, keys, LinePoint(over)), all), DROPEFFECT_COPY);
      View()->OnDragLeave();
    }
  }
  // A move or link asked for anyway changes nothing.
  for (DWORD effect : {DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
    SCOPED_TRACE(effect);
    View()->OnDragEnter(&data, 0, LinePoint(2));
    EXPECT_FALSE(View()->OnDrop(&data, effect, LinePoint(2)));
    EXPECT_EQ(Lines(), before);
    EXPECT_EQ(View()->GetLineCommand(2)->GetTarget(), nullptr);
  }
  // The copy goes in at the line under the drop.
  View()->OnDragEnter(&data, 0, LinePoint(1));
  EXPECT_TRUE(View()->OnDrop(&data, DROPEFFECT_COPY, LinePoint(1)));
  EXPECT_EQ(Types(), (std::vector<int>{kTypeImageText, kTypeWait, kTypeCls, kTypeWait, kTypeShow}));
  ExpectListsAgree();
}

TEST_F(ClipboardTest, ATreeDragCopiesThePrototypeAndTheTreeTakesNoDrop) {
  Build({kTypeWait, kTypeCls});
  HWND tree = Tree()->GetSafeHwnd();
  HTREEITEM root = Tree()->GetRootItem();
  auto item = reinterpret_cast<HTREEITEM>(
      ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  for (int i = 0; i < kTypeComment && item; ++i)
    item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  ASSERT_NE(item, nullptr);
  CSceneCommand* prototype = g_pCommandPalette->GetPrototype(kTypeComment);
  prototype->m_comment.m_text = "from the tree";

  auto beginDrag = [&](HTREEITEM dragged) {
    NMTREEVIEWA nm = {};
    nm.hdr.hwndFrom = tree;
    nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(tree));
    nm.hdr.code = TVN_BEGINDRAGA;
    nm.itemNew.hItem = dragged;
    ::SendMessageA(::GetParent(tree), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  };
  plan.target = View();
  plan.point = LinePoint(1);
  plan.keys = MK_SHIFT;  // a move asked for: the tree only lends
  beginDrag(item);
  EXPECT_EQ(plan.runs, 1);
  EXPECT_EQ(plan.effect, DROPEFFECT_COPY);
  ASSERT_EQ(Types(), (std::vector<int>{kTypeWait, kTypeComment, kTypeCls}));
  EXPECT_NE(View()->GetLineCommand(1), prototype);
  EXPECT_STREQ(static_cast<const char*>(View()->GetLineCommand(1)->m_comment.m_text), "from the tree");
  EXPECT_EQ(g_pCommandPalette->GetPrototype(kTypeComment), prototype);
  ExpectListsAgree();

  // The root does not drag.
  plan = CDragPlan();
  plan.target = View();
  beginDrag(root);
  EXPECT_EQ(plan.runs, 0);

  // A drag over the tree, from the tree or the script, never drops.
  plan = CDragPlan();
  plan.target = Tree();
  plan.point = CPoint(20, 20);
  beginDrag(item);
  EXPECT_EQ(plan.effect, DROPEFFECT_NONE);
  plan = CDragPlan();
  plan.target = Tree();
  plan.point = CPoint(20, 20);
  SelectLines({0});
  View()->BeginDragOut(0, LinePoint(0));
  EXPECT_EQ(plan.effect, DROPEFFECT_NONE);
  COleDataObject data;
  EXPECT_FALSE(Tree()->OnDrop(&data, DROPEFFECT_COPY, CPoint(20, 20)));
  EXPECT_EQ(View()->GetLineCount(), 3);
  prototype->m_comment.m_text = "";
}

// ---------------------------------------------------------------------------
// Drag cursors

TEST_F(ClipboardTest, TheDropSourceShowsTheCursorOfTheEffectAndTheNumberDragged) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  auto cursor = [&](int id) { return ::LoadCursorA(module, MAKEINTRESOURCEA(id)); };
  for (int id : {IDR_CURSOR_MOVE_ONE, IDR_CURSOR_MOVE_MANY, IDR_CURSOR_COPY_ONE, IDR_CURSOR_COPY_MANY,
                 IDR_CURSOR_LINK})
    ASSERT_NE(cursor(id), nullptr) << id;
  struct Case {
    bool single;
    DWORD effect;
    int cursor;  // 0: the system's own
  };
  const Case cases[] = {
      {true, DROPEFFECT_MOVE, IDR_CURSOR_MOVE_ONE},
      {false, DROPEFFECT_MOVE, IDR_CURSOR_MOVE_MANY},
      {true, DROPEFFECT_COPY, IDR_CURSOR_COPY_ONE},
      {false, DROPEFFECT_COPY, IDR_CURSOR_COPY_MANY},
      {true, DROPEFFECT_LINK, IDR_CURSOR_LINK},
      {false, DROPEFFECT_LINK, IDR_CURSOR_LINK},
      {false, DROPEFFECT_MOVE | DROPEFFECT_SCROLL, IDR_CURSOR_MOVE_MANY},
      {true, DROPEFFECT_NONE, 0},
      {false, DROPEFFECT_NONE, 0},
  };
  HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.single ? "one" : "several") << ", effect " << c.effect);
    CSceneDropSource source(c.single);
    ::SetCursor(arrow);
    if (c.cursor == 0) {
      EXPECT_EQ(source.GiveFeedback(c.effect), DRAGDROP_S_USEDEFAULTCURSORS);
      EXPECT_EQ(::GetCursor(), arrow);
    } else {
      EXPECT_EQ(source.GiveFeedback(c.effect), S_OK);
      EXPECT_EQ(::GetCursor(), cursor(c.cursor));
    }
  }
}

// ---------------------------------------------------------------------------
// Drawing during a drag

// While a drag is over the script, the line under it and the lines
// selected when it entered show selected, in the look the options' soft
// dragging and drag colour give. Read from the screen: the line's left part
// (the drag image is held at the right end, out of it).
TEST_F(ClipboardTest, TheLinesUnderADragAreDrawnByTheOptionsDragLook) {
  Build({kTypeWait, kTypeCls, kTypeWait, kTypeCls});
  ShowOnTop();
  HWND list = View()->GetSafeHwnd();
  CBuilderOptions* options = g_pCommandPalette->GetOptions();
  const COLORREF dragColour = RGB(0x20, 0xC0, 0x40);
  options->m_dragColour = dragColour;
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  RECT client = {};
  ::GetClientRect(list, &client);
  ASSERT_GT(client.right, 2 * kShotWidth);
  const int height = LineRect(2).bottom - LineRect(2).top;
  // The caret stays on the last line, away from the lines looked at.
  SelectLines({1});
  ::SendMessageA(list, LB_SETCARETINDEX, 3, 0);
  ::InvalidateRect(list, nullptr, TRUE);
  const std::vector<COLORREF> plain = LineShot(2);
  const std::vector<COLORREF> selected = LineShot(1);
  ASSERT_EQ(plain.size(), static_cast<size_t>(kShotWidth * height));

  // Another builder's commands, for the drags from elsewhere.
  CCommandList theirs;
  theirs.Add(CreateCommand(kTypeWait));
  theirs.NumberCommands();
  COleDataSource source;
  source.CacheGlobalData(SceneFormats().copy,
                         GlobalBytes(Written([&](CArchive& ar) { WriteCopyBlock(ar, theirs); })));
  COleDataObject data;
  data.Attach(source.GetInterface());

  enum Look {
    kDragText,       // the drag colour on the selection colour
    kHighlightText,  // the selected text colour on the selection colour
    kAsSelected,     // as when no drag is over the view
    kPlainShifted,   // as an unselected line, one pixel right and down
    kSelectedShifted,
  };
  struct Case {
    const char* name;
    bool elsewhere;
    int soft, colour;
    int over;  // line 1 is the dragged (or selected) line
    Look look;
  };
  const Case cases[] = {
      {"own drag, colour", false, 0, 1, 2, kDragText},
      {"own drag, plain", false, 0, 0, 2, kHighlightText},
      {"own drag, soft", false, 1, 1, 2, kPlainShifted},
      {"own drag over its line, colour", false, 0, 1, 1, kHighlightText},
      {"own drag over its line, soft", false, 1, 1, 1, kAsSelected},
      {"from elsewhere, colour", true, 0, 1, 2, kDragText},
      {"from elsewhere, plain", true, 0, 0, 2, kHighlightText},
      {"from elsewhere, soft", true, 1, 1, 2, kPlainShifted},
      {"from elsewhere over a selected line, colour", true, 0, 1, 1, kDragText},
      {"from elsewhere over a selected line, plain", true, 0, 0, 1, kHighlightText},
      {"from elsewhere over a selected line, soft", true, 1, 1, 1, kSelectedShifted},
  };
  // The label's part of a shot, clear of the icon column.
  auto label = [&](const std::vector<COLORREF>& shot) {
    std::vector<COLORREF> out;
    for (int y = 0; y < height; ++y)
      for (int x = 17; x < kShotWidth; ++x) out.push_back(shot[static_cast<size_t>(y * kShotWidth + x)]);
    return out;
  };
  auto count = [](const std::vector<COLORREF>& pixels, COLORREF c) {
    return std::count(pixels.begin(), pixels.end(), c);
  };
  // The shot is `before` moved one pixel right and down, from column fromX.
  auto expectShifted = [&](const std::vector<COLORREF>& before, const std::vector<COLORREF>& shot,
                           int fromX) {
    int differ = 0;
    for (int y = 0; y + 1 < height; ++y)
      for (int x = fromX; x + 1 < kShotWidth; ++x)
        differ += shot[static_cast<size_t>((y + 1) * kShotWidth + x + 1)] !=
                  before[static_cast<size_t>(y * kShotWidth + x)];
    EXPECT_EQ(differ, 0);
    EXPECT_NE(shot, before);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    options->m_softDragging = c.soft;
    options->m_dragColourOn = c.colour;
    std::vector<COLORREF> shot, other;
    const RECT over = LineRect(c.over);
    const CPoint at(client.right - 4, (over.top + over.bottom) / 2);
    auto look = [&] {
      shot = LineShot(c.over);
      other = LineShot(c.over == 1 ? 2 : 1);
    };
    if (c.elsewhere) {
      SelectLines({1});
      View()->OnDragEnter(&data, 0, at);
      look();
      View()->OnDragLeave();
    } else {
      const RECT grabbed = LineRect(1);
      HoldDrag({1}, CPoint(4, (grabbed.top + grabbed.bottom) / 2), at, look);
    }
    switch (c.look) {
      case kDragText:
      case kHighlightText: {
        const std::vector<COLORREF> text = label(shot);
        const COLORREF want = c.look == kDragText ? dragColour : highlightText;
        const COLORREF wrong = c.look == kDragText ? highlightText : dragColour;
        EXPECT_GT(count(text, highlight), kShotWidth);
        EXPECT_GT(count(text, want), 5);
        EXPECT_EQ(count(text, wrong), 0);
        break;
      }
      case kAsSelected:
        EXPECT_EQ(shot, selected);
        break;
      case kPlainShifted:
        expectShifted(plain, shot, 0);
        EXPECT_EQ(count(label(shot), highlight), 0);
        break;
      case kSelectedShifted:
        expectShifted(selected, shot, 16);
        break;
    }
    // The selected line keeps its look while the drag is over another.
    if (c.over == 2) {
      EXPECT_EQ(other, selected);
    }
    EXPECT_EQ(View()->GetDropLine(), -1);
  }
  // The own drag, for a person to look at: the drag image over the line
  // under the cursor, in the drag colour.
  options->m_softDragging = 0;
  options->m_dragColourOn = 1;
  options->m_dragColour = RGB(0xFF, 0xFF, 0);
  const RECT grabbed = LineRect(0);
  const CPoint grab((grabbed.left + grabbed.right) / 4, (grabbed.top + grabbed.bottom) / 2);
  const RECT over = LineRect(2);
  bool saved = false;
  ::CreateDirectoryA(LW_BUILD_DIR "/screenshots", nullptr);
  HoldDrag({0, 1}, grab, CPoint(grab.x + 220, (over.top + over.bottom) / 2), [&] {
    lwtest::FlushEvents(50);
    saved = lwtest::SaveWindowShot(Frame()->GetSafeHwnd(), LW_BUILD_DIR "/screenshots/script_drag.bmp");
  });
  EXPECT_TRUE(saved);
}

// The focus rectangle, drawn by inverting, would be left behind by a drag
// that redraws lines under it: none shows while a drag is over the view,
// and it is back when the drag has gone.
TEST_F(ClipboardTest, NoFocusRectangleShowsWhileADragIsOverTheScript) {
  Build({kTypeWait, kTypeCls, kTypeComment});
  ShowOnTop();
  HWND list = View()->GetSafeHwnd();
  ::SetForegroundWindow(Frame()->GetSafeHwnd());
  ::SetFocus(list);
  ASSERT_EQ(::GetFocus(), list);
  CBuilderOptions* options = g_pCommandPalette->GetOptions();
  options->m_softDragging = 0;
  SelectLines({0});
  ::SendMessageA(list, LB_SETCARETINDEX, 0, 0);
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  // The label's top row of a selected line after the whole list is drawn
  // again: where the focus rectangle's dots go.
  auto dotsOnTop = [&](int line) {
    ::InvalidateRect(list, nullptr, TRUE);
    ::UpdateWindow(list);
    const std::vector<COLORREF> shot = LineShot(line);
    return std::count_if(shot.begin() + 17, shot.begin() + kShotWidth,
                         [&](COLORREF c) { return c != highlight; });
  };
  EXPECT_GT(dotsOnTop(0), 10) << "the caret line shows the focus rectangle";
  // The grabbed line and the drop line (the list box may move its caret
  // there) are both selected under the drag.
  long grabbed = -1, dropped = -1;
  const RECT over = LineRect(2);
  HoldDrag({0}, CPoint(4, (LineRect(0).top + LineRect(0).bottom) / 2),
           CPoint(over.right - 4, (over.top + over.bottom) / 2), [&] {
             grabbed = dotsOnTop(0);
             dropped = dotsOnTop(2);
           });
  EXPECT_EQ(grabbed, 0);
  EXPECT_EQ(dropped, 0);
  ::SendMessageA(list, LB_SETCARETINDEX, 0, 0);
  EXPECT_GT(dotsOnTop(0), 10);
}

}  // namespace
