// OLE data transfer under Wine: data sources with cached and delayed
// formats read back directly and through the OLE clipboard, shared memory
// files on the plain clipboard, the drop target's calls reaching a view's
// virtuals with the filtered effects, drag scrolling, and a whole drag
// driven by synthetic mouse input.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/DocView.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Ole.h"
#include "tests/support/pump.h"
#include "tests/support/screen.h"

namespace {

class OleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(AfxOleInit()); }
  void TearDown() override {
    ::OleSetClipboard(nullptr);
    AfxOleTerm();
  }
};

CLIPFORMAT Format(const char* name) {
  return static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(name));
}

HGLOBAL BlockOf(const std::string& text) {
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size());
  memcpy(::GlobalLock(block), text.data(), text.size());
  ::GlobalUnlock(block);
  return block;
}

std::string TextOf(HGLOBAL block) {
  if (block == nullptr) return "<none>";
  const char* p = static_cast<const char*>(::GlobalLock(block));
  if (p == nullptr) return "<unlockable>";
  std::string text(p, ::GlobalSize(block));
  ::GlobalUnlock(block);
  return text;
}

// Reads a block back and frees it.
std::string TakeText(HGLOBAL block) {
  std::string text = TextOf(block);
  if (block != nullptr) ::GlobalFree(block);
  return text;
}

// A source whose delayed format is written through an archive: an int
// count and that many ints, counting the renderings.
class CCountingSource : public COleDataSource {
 public:
  ~CCountingSource() override {
    if (deleted) ++*deleted;
  }
  int renders = 0;
  bool throwOnRender = false;
  int* deleted = nullptr;

 protected:
  bool OnRenderFileData(const FORMATETC& format, CFile* file) override {
    ++renders;
    if (throwOnRender) AfxThrowMemoryException();
    if (format.cfFormat != Format("LwOleTest.Delayed")) return false;
    CArchive ar(file, CArchive::store);
    ar << static_cast<int32_t>(3) << static_cast<int32_t>(7) << static_cast<int32_t>(5)
       << static_cast<int32_t>(2);
    ar.Close();
    return true;
  }
};

std::vector<int32_t> ReadInts(CFile* file) {
  std::vector<int32_t> values;
  CArchive ar(file, CArchive::load);
  int32_t count = 0;
  ar >> count;
  for (int32_t i = 0; i < count; ++i) {
    int32_t v = 0;
    ar >> v;
    values.push_back(v);
  }
  return values;
}

TEST_F(OleTest, ADataSourceOffersItsCachedAndDelayedFormats) {
  const CLIPFORMAT now = Format("LwOleTest.Now"), delayed = Format("LwOleTest.Delayed");
  CCountingSource source;
  source.CacheGlobalData(now, BlockOf("cached"));
  source.DelayRenderData(delayed);

  COleDataObject data;
  data.Attach(source.GetInterface());
  EXPECT_TRUE(data.IsDataAvailable(now));
  EXPECT_TRUE(data.IsDataAvailable(delayed));
  EXPECT_FALSE(data.IsDataAvailable(Format("LwOleTest.Other")));
  EXPECT_EQ(source.renders, 0) << "asking whether a format is there renders nothing";

  // Each reader gets its own copy of a cached block.
  EXPECT_EQ(TakeText(data.GetGlobalData(now)), "cached");
  EXPECT_EQ(TakeText(data.GetGlobalData(now)), "cached");
  std::unique_ptr<CFile> file = data.GetFileData(delayed);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetLength(), 16u) << "the rendered block is cut to what was written";
  EXPECT_EQ(ReadInts(file.get()), (std::vector<int32_t>{7, 5, 2}));
  EXPECT_EQ(source.renders, 1);
  EXPECT_EQ(data.GetGlobalData(Format("LwOleTest.Other")), nullptr);

  // A renderer that throws leaves the reader without data, and nothing
  // unwinds through the COM call.
  source.throwOnRender = true;
  EXPECT_EQ(data.GetGlobalData(delayed), nullptr);
  EXPECT_EQ(source.renders, 2);

  source.Empty();
  EXPECT_FALSE(data.IsDataAvailable(now));
}

TEST_F(OleTest, TheClipboardOwnsADataSourceAndRendersItWhenFlushed) {
  const CLIPFORMAT now = Format("LwOleTest.Now"), delayed = Format("LwOleTest.Delayed");
  int deleted = 0;
  auto* source = new CCountingSource;
  source->deleted = &deleted;
  source->CacheGlobalData(now, BlockOf("cached"));
  source->DelayRenderData(delayed);
  ASSERT_TRUE(source->SetClipboard());
  EXPECT_TRUE(source->IsClipboardOwner());
  {
    COleDataObject clip;
    ASSERT_TRUE(clip.AttachClipboard());
    EXPECT_TRUE(clip.IsDataAvailable(now));
    EXPECT_TRUE(clip.IsDataAvailable(delayed));
    EXPECT_EQ(TakeText(clip.GetGlobalData(now)), "cached");
    std::unique_ptr<CFile> file = clip.GetFileData(delayed);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadInts(file.get()), (std::vector<int32_t>{7, 5, 2}));
  }
  EXPECT_EQ(deleted, 0);

  // Flushed (as AfxOleTerm does): the formats are rendered onto the plain
  // clipboard and the clipboard lets the source go.
  ASSERT_EQ(::OleFlushClipboard(), S_OK);
  EXPECT_EQ(deleted, 1);
  CClipboard clipboard(nullptr);
  ASSERT_TRUE(clipboard.IsOpen());
  EXPECT_EQ(TextOf(CClipboard::GetBlock(now)), "cached");
  HGLOBAL block = CClipboard::GetBlock(delayed);
  ASSERT_NE(block, nullptr);
  CSharedFile reader;
  reader.SetHandle(block);
  EXPECT_EQ(ReadInts(&reader), (std::vector<int32_t>{7, 5, 2}));
}

TEST_F(OleTest, ANewClipboardContentDeletesTheSourceBefore) {
  int deleted = 0;
  auto* source = new CCountingSource;
  source->deleted = &deleted;
  source->DelayRenderData(Format("LwOleTest.Delayed"));
  ASSERT_TRUE(source->SetClipboard());
  ::OleSetClipboard(nullptr);
  EXPECT_EQ(deleted, 1);
}

TEST_F(OleTest, EndingOleLeavesTheSourcesDataOnTheClipboard) {
  int deleted = 0;
  auto* source = new CCountingSource;
  source->deleted = &deleted;
  source->DelayRenderData(Format("LwOleTest.Delayed"));
  ASSERT_TRUE(source->SetClipboard());
  AfxOleTerm();
  EXPECT_EQ(deleted, 1);
  {
    CClipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard.IsOpen());
    CSharedFile reader;
    reader.SetHandle(CClipboard::GetBlock(Format("LwOleTest.Delayed")));
    EXPECT_EQ(ReadInts(&reader), (std::vector<int32_t>{7, 5, 2}));
  }
  ASSERT_TRUE(AfxOleInit());  // for TearDown
}

TEST_F(OleTest, ASharedFileGoesOnTheClipboardAndIsReadWithoutFreeingIt) {
  const UINT format = Format("LwOleTest.Shared");
  {
    CClipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard.IsOpen());
    ASSERT_TRUE(clipboard.Empty());
    CSharedFile file;
    CArchive ar(&file, CArchive::store);
    ar << static_cast<int32_t>(3) << static_cast<int32_t>(7) << static_cast<int32_t>(5)
       << static_cast<int32_t>(2);
    ar.Close();
    ASSERT_TRUE(CClipboard::SetFile(format, file));
    EXPECT_EQ(file.GetLength(), 0u) << "the block went to the clipboard";
  }
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round == 0 ? "first read" : "second read, after the first reader closed");
    CClipboard clipboard(nullptr);
    ASSERT_TRUE(clipboard.IsOpen());
    HGLOBAL block = CClipboard::GetBlock(format);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(::GlobalSize(block), 16u) << "the clipboard's block is still alive";
    {
      CSharedFile reader;
      reader.SetHandle(block);
      EXPECT_EQ(ReadInts(&reader), (std::vector<int32_t>{7, 5, 2}));
      // Writing past a borrowed block's end cannot grow (move) it.
      reader.SeekToEnd();
      bool refused = false;
      try {
        reader.Write("x", 1);
      } catch (CException* e) {
        refused = true;
        e->Delete();
      }
      EXPECT_TRUE(refused);
    }
    EXPECT_EQ(::GlobalSize(block), 16u) << "the reader left the clipboard's block alive";
    EXPECT_EQ(::GlobalFlags(block) & GMEM_LOCKCOUNT, 0u) << "and unlocked";
  }
}

TEST_F(OleTest, ABlockTheClipboardRefusesIsFreed) {
  // The clipboard is not open: SetClipboardData fails.
  HGLOBAL block = BlockOf("refused");
  ASSERT_EQ(::GlobalSize(block), 7u);
  EXPECT_FALSE(CClipboard::SetBlock(Format("LwOleTest.Refused"), block));
  EXPECT_EQ(::GlobalSize(block), 0u) << "the refused block was freed";

  // And through a shared file.
  CSharedFile file;
  file.Write("abc", 3);
  EXPECT_FALSE(CClipboard::SetFile(Format("LwOleTest.Refused"), file));
  EXPECT_EQ(file.GetLength(), 0u);
}

TEST(OleEffects, TheFilterGrantsWhatTheSourceAllows) {
  const DWORD none = DROPEFFECT_NONE, copy = DROPEFFECT_COPY, move = DROPEFFECT_MOVE,
              link = DROPEFFECT_LINK, scroll = DROPEFFECT_SCROLL;
  struct Row {
    const char* name;
    DWORD wanted, allowed, granted;
  } rows[] = {
      {"move allowed", move, copy | move | link, move},
      {"move, only copy allowed", move, copy, copy},
      {"move, only link allowed", move, link, none},
      {"copy, only move allowed", copy, move, none},
      {"link allowed", link, copy | move | link, link},
      {"link, only copy allowed", link, copy, none},
      {"copy allowed", copy, copy, copy},
      {"none", none, copy | move, none},
      {"scroll passes through", move | scroll, copy | scroll, copy | scroll},
      {"scroll with nothing to drop", scroll, copy, scroll},
      {"several wanted: move first", copy | move, copy | move, move},
      {"several wanted: what is allowed", copy | move, copy, copy},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FilterDropEffect(row.wanted, row.allowed), row.granted);
  }
}

// A view that records the drag calls it gets and answers with a scripted
// effect.
class CDropView : public CView {
 public:
  std::vector<std::string> calls;
  DWORD answer = DROPEFFECT_MOVE;
  bool accept = true;
  bool throwOnEnter = false;
  DWORD lastKeys = 0;
  CPoint lastPoint;
  DWORD dropEffect = DROPEFFECT_NONE;
  bool sawFormat = false;
  int scrolls = 0;
  UINT scrollCode = 0;

  DWORD OnDragEnter(COleDataObject* data, DWORD keys, CPoint pt) override {
    if (throwOnEnter) AfxThrowMemoryException();
    Record("enter", data, keys, pt);
    return answer;
  }
  DWORD OnDragOver(COleDataObject* data, DWORD keys, CPoint pt) override {
    Record("over", data, keys, pt);
    return answer;
  }
  void OnDragLeave() override { calls.push_back("leave"); }
  bool OnDrop(COleDataObject* data, DWORD effect, CPoint pt) override {
    Record("drop", data, 0, pt);
    dropEffect = effect;
    return accept;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
      ++scrolls;
      scrollCode = LOWORD(wp);
      return 0;
    }
    return CView::WindowProc(msg, wp, lp);
  }

 private:
  void Record(const char* call, COleDataObject* data, DWORD keys, CPoint pt) {
    calls.push_back(call);
    lastKeys = keys;
    lastPoint = pt;
    sawFormat = data != nullptr && data->IsDataAvailable(Format("LwOleTest.Now"));
  }
};

class DropTargetTest : public OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    view.m_bAutoDelete = false;
    const RECT place = {0, 0, 200, 150};
    ASSERT_TRUE(view.Create(host.Hwnd(), 1, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, &place));
    ASSERT_TRUE(target.Register(&view));
    source.CacheGlobalData(Format("LwOleTest.Now"), BlockOf("x"));
  }
  void TearDown() override {
    if (::IsWindow(view.GetSafeHwnd())) ::DestroyWindow(view.GetSafeHwnd());
    OleTest::TearDown();
  }
  // The screen point of a client point of the view.
  POINTL Screen(int x, int y) {
    POINT pt = {x, y};
    ::ClientToScreen(view.GetSafeHwnd(), &pt);
    return POINTL{pt.x, pt.y};
  }

  lwtest::CHostWindow host{40, 40, 220, 170};
  CDropView view;
  COleDropTarget target;
  COleDataSource source;
};

TEST_F(DropTargetTest, TheSystemsCallsReachTheViewWithKeysPointsAndFilteredEffects) {
  // Registered: the system refuses a second registration of the window.
  EXPECT_EQ(::RegisterDragDrop(view.GetSafeHwnd(), target.GetInterface()),
            DRAGDROP_E_ALREADYREGISTERED);
  IDropTarget* drop = target.GetInterface();
  IDataObject* data = source.GetInterface();

  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(drop->DragEnter(data, MK_LBUTTON | MK_CONTROL, Screen(20, 30), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
  EXPECT_EQ(view.lastKeys, DWORD(MK_LBUTTON | MK_CONTROL));
  EXPECT_EQ(view.lastPoint, CPoint(20, 30));
  EXPECT_TRUE(view.sawFormat) << "the view reads the drag's data";

  // A source that only copies gets a copy for the view's move.
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragOver(MK_LBUTTON, Screen(50, 60), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(view.lastPoint, CPoint(50, 60));
  EXPECT_TRUE(view.sawFormat) << "drag over still has the data of the enter";

  ASSERT_EQ(drop->DragLeave(), S_OK);

  // Enter again and drop: the effect is asked once more, then the drop.
  effect = DROPEFFECT_COPY;
  drop->DragEnter(data, MK_LBUTTON, Screen(10, 10), &effect);
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->Drop(data, MK_SHIFT, Screen(70, 80), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(view.dropEffect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(view.lastPoint, CPoint(70, 80));
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"enter", "over", "leave", "enter", "over", "drop"}));

  // A view that refuses the drop reports no effect.
  view.calls.clear();
  view.accept = false;
  effect = DROPEFFECT_MOVE;
  drop->DragEnter(data, MK_LBUTTON, Screen(10, 10), &effect);
  effect = DROPEFFECT_MOVE;
  drop->Drop(data, 0, Screen(10, 10), &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));

  // An effect the source does not allow at all: the drop becomes a leave.
  view.calls.clear();
  effect = DROPEFFECT_LINK;
  drop->DragEnter(data, MK_LBUTTON, Screen(10, 10), &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = DROPEFFECT_LINK;
  drop->Drop(data, 0, Screen(10, 10), &effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(view.calls, (std::vector<std::string>{"enter", "over", "leave"}));
}

TEST_F(DropTargetTest, AThrowingViewRefusesTheDragWithoutUnwindingIntoOle) {
  view.throwOnEnter = true;
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(target.GetInterface()->DragEnter(source.GetInterface(), MK_LBUTTON, Screen(5, 5),
                                             &effect),
            S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  target.GetInterface()->DragLeave();
}

TEST_F(DropTargetTest, ADragNearAnEdgeScrollsTheViewAfterTheDelay) {
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0};
  ::SetScrollInfo(view.GetSafeHwnd(), SB_VERT, &info, FALSE);
  target.m_dragScroll.m_nDelay = 60000;
  IDropTarget* drop = target.GetInterface();
  DWORD effect = DROPEFFECT_MOVE | DROPEFFECT_SCROLL;
  drop->DragEnter(source.GetInterface(), MK_LBUTTON, Screen(50, 50), &effect);

  const int bottom = view.GetClientRect().bottom;
  struct Step {
    const char* name;
    int y;
    DWORD delay;
    DWORD effect;
    int scrolls;
  } steps[] = {
      {"middle: no scroll", 50, 0, DROPEFFECT_MOVE, 0},
      {"bottom edge, waiting for the delay", bottom - 3, 60000, DROPEFFECT_MOVE | DROPEFFECT_SCROLL, 0},
      {"bottom edge, delay over", bottom - 3, 0, DROPEFFECT_MOVE | DROPEFFECT_SCROLL, 1},
      {"top edge at the top: cannot scroll", 3, 0, DROPEFFECT_MOVE, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    target.m_dragScroll.m_nDelay = step.delay;
    target.m_dragScroll.m_nInterval = 0;
    effect = DROPEFFECT_MOVE | DROPEFFECT_SCROLL;
    drop->DragOver(MK_LBUTTON, Screen(50, step.y), &effect);
    EXPECT_EQ(effect, step.effect);
    EXPECT_EQ(view.scrolls, step.scrolls);
  }
  EXPECT_EQ(view.scrollCode, UINT(SB_LINEDOWN));
  drop->DragLeave();
}

TEST(OleDragScroll, TheBandAndTheTimer) {
  CDragScrollTimer timer;
  const RECT client = {0, 0, 100, 100};
  struct Row {
    int x, y;
    UINT code;
  } rows[] = {
      {50, 50, CDragScrollTimer::kNone},       {50, 5, MAKEWORD(0xFF, SB_LINEUP)},
      {50, 95, MAKEWORD(0xFF, SB_LINEDOWN)},   {5, 50, MAKEWORD(SB_LINELEFT, 0xFF)},
      {95, 95, MAKEWORD(SB_LINERIGHT, SB_LINEDOWN)}, {150, 50, CDragScrollTimer::kNone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
    EXPECT_EQ(timer.HitTest(client, POINT{row.x, row.y}), row.code);
  }
  timer.m_nDelay = 50;
  timer.m_nInterval = 20;
  EXPECT_FALSE(timer.IsDue(1000));
  EXPECT_FALSE(timer.IsDue(1049));
  EXPECT_TRUE(timer.IsDue(1050));
  EXPECT_FALSE(timer.IsDue(1060));
  EXPECT_TRUE(timer.IsDue(1070));
  timer.Reset();
  EXPECT_FALSE(timer.IsDue(2000)) << "leaving the band starts the delay again";
}

TEST_F(DropTargetTest, TheViewRevokesItsTargetWhenItsWindowGoes) {
  HWND hwnd = view.GetSafeHwnd();
  ::DestroyWindow(hwnd);
  EXPECT_EQ(target.GetWindow(), nullptr);
}

}  // namespace

namespace {

// A drop source that drives the system's drag loop without a person: it
// keeps the drag going until the view has seen the cursor over point
// `first`, moves the cursor to `second`, drops once the view saw it there,
// and cancels when that takes too long.
class CScriptedDropSource : public COleDropSource {
 public:
  CScriptedDropSource(CDropView& view, POINT first, POINT second, CPoint secondClient)
      : m_view(view), m_second(second), m_secondClient(secondClient), m_start(::GetTickCount()) {
    ::SetCursorPos(first.x, first.y);
  }
  int queries = 0;
  int feedbacks = 0;
  DWORD lastFeedback = 0;

  SCODE QueryContinueDrag(bool escape, DWORD) override {
    ++queries;
    if (escape || ::GetTickCount() - m_start > 5000) return DRAGDROP_S_CANCEL;
    const bool over = !m_view.calls.empty() && m_view.calls.back() == "over";
    if (over && !m_moved) {
      m_moved = true;
      ::SetCursorPos(m_second.x, m_second.y);
    } else if (over && m_view.lastPoint == m_secondClient) {
      return DRAGDROP_S_DROP;
    }
    return S_OK;
  }
  SCODE GiveFeedback(DWORD effect) override {
    ++feedbacks;
    lastFeedback = effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  CDropView& m_view;
  POINT m_second;
  CPoint m_secondClient;
  DWORD m_start;
  bool m_moved = false;
};

TEST_F(DropTargetTest, ARealDragInThisProcessDropsOnTheView) {
  const POINTL a = Screen(30, 40), b = Screen(120, 90);
  CScriptedDropSource drops(view, POINT{a.x, a.y}, POINT{b.x, b.y}, CPoint(120, 90));
  view.answer = DROPEFFECT_MOVE;
  const DWORD effect = source.DoDragDrop(DROPEFFECT_COPY, &drops);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY)) << "the view's move, granted as the source's copy";
  ASSERT_FALSE(view.calls.empty());
  EXPECT_EQ(view.calls.front(), "enter");
  EXPECT_EQ(view.calls.back(), "drop");
  EXPECT_EQ(view.lastPoint, CPoint(120, 90));
  EXPECT_EQ(view.dropEffect, DWORD(DROPEFFECT_COPY));
  EXPECT_TRUE(view.sawFormat) << "the drop read the source's data";
  EXPECT_GT(drops.feedbacks, 0);
  EXPECT_EQ(drops.lastFeedback & ~DROPEFFECT_SCROLL, DWORD(DROPEFFECT_COPY));
}

}  // namespace
