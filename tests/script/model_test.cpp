// The script model in both builds: scrambling, the random range, motion
// stepping, target links, loops, the utilities and the SWF frame size.
#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "common/RandomRange.h"
#include "playback/movie/Movie.h"
#include "script_support.h"
#include "script/DataBlock.h"
#include "script/Objects.h"
#include "script/Palette.h"
#include "script/PickSource.h"
#include "script/Utilities.h"
#include "tests/support/swf_writer.h"

namespace {

// The C runtime's generator, for checking the range against it.
struct ReferenceRand {
  uint32_t state;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

class FixedPickSource : public CPickSource {
 public:
  uint32_t GetTickCount() override { return 123456; }
  int GetSystemMilliseconds() override { return 789; }
  int64_t GetTime() override { return ++time; }
  uint32_t GetSpeedValue() override { return 3; }
  void GetScreenSize(int& w, int& h, int& sw, int& sh) override {
    w = width;
    h = height;
    sw = width;
    sh = height;
  }
  int64_t time = 1000;
  int width = 800;
  int height = 600;
};

// Installs a fixed pick source for one test.
struct ScopedPickSource {
  FixedPickSource source;
  ScopedPickSource() { SetPickSource(&source); }
  ~ScopedPickSource() { SetPickSource(nullptr); }
};

TEST(ScrambleTest, KeyFollowsLengthAndRestores) {
  struct Case {
    int length;
    int k;
  } cases[] = {{8, 11}, {22, 3}, {11, 3}, {1, 4}, {60, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::vector<uint8_t> bytes(c.length);
    for (int i = 0; i < c.length; ++i) bytes[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> original = bytes;
    EXPECT_EQ(ScrambleBytes(bytes.data(), c.length, 0), c.length);
    EXPECT_EQ(bytes[0], static_cast<uint8_t>(1 - c.k));
    ScrambleBytes(bytes.data(), c.length, 1);
    EXPECT_EQ(bytes, original);
  }
}

// Seeds of every size, negative ones and those whose top bits the seeding
// shifts out among them, give the C runtime's sequence.
TEST(RandomRangeTest, FollowsTheCRuntimeGenerator) {
  const int kSeeds[] = {4242,       1,       -1,      0x00FFFFFF,
                        0x01000000, INT_MAX, INT_MIN, static_cast<int>(0x9ABCDEF0u)};
  for (int seed : kSeeds) {
    SCOPED_TRACE(seed);
    CRandomRange range(seed);
    ReferenceRand ref{static_cast<uint32_t>(seed)};
    ref.state = (static_cast<uint32_t>(seed) << 8) | (static_cast<uint32_t>(ref.Next()) & 0xFF);
    ASSERT_TRUE(range.SetRange(10, 20));
    for (int i = 0; i < 50; ++i) {
      int expected = 10 + static_cast<int>(ref.Next() * (11.0 / 32767.0));
      ASSERT_EQ(range.Next(), expected) << "draw " << i;
    }
  }
}

// Ranges that end at the top of int: the last draw, one past the high end,
// wraps round to the bottom of int instead of overflowing.
TEST(RandomRangeTest, RangesAtTheTopOfInt) {
  struct Case {
    int lo, hi;
  } cases[] = {{0, INT_MAX}, {INT_MAX - 10, INT_MAX}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lo);
    CRandomRange range(7);
    ASSERT_TRUE(range.SetRange(c.lo, c.hi));
    bool wrapped = false;
    for (int i = 0; i < 400000; ++i) {
      const int v = range.Next();
      if (v == INT_MIN) {
        wrapped = true;
        continue;
      }
      ASSERT_GE(v, c.lo) << "draw " << i;
    }
    EXPECT_TRUE(wrapped) << "the draw of 32767 came";
  }
}

TEST(RandomRangeTest, RangeRules) {
  CRandomRange range(7);
  EXPECT_FALSE(range.SetRange(5, 5));
  EXPECT_FALSE(range.SetRange(-5000, 5000));  // unsigned: -5000 is above 5000
  EXPECT_EQ(range.m_nLow, 0);
  EXPECT_EQ(range.m_nHigh, 32767);
  EXPECT_TRUE(range.SetRange(0, 0));
  EXPECT_EQ(range.m_nHigh, 32767);
  for (int i = 0; i < 100; ++i) {
    int v = range.Next();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 32768);
  }
}

TEST(CompareTest, Operators) {
  EXPECT_TRUE(CompareByOp(2, 0, 1));
  EXPECT_TRUE(CompareByOp(1, 1, 2));
  EXPECT_TRUE(CompareByOp(2, 2, 2));
  EXPECT_TRUE(CompareByOp(1, 3, 2));
  EXPECT_FALSE(CompareByOp(1, 4, 2));
  EXPECT_STREQ(CompareOpName(3), "<>");
  EXPECT_STREQ(CompareOpName(9), "?");
}

TEST(DurationTest, RandomNeverNearTheLast) {
  ScopedPickSource pick;
  CDurationAttribute d;
  d.m_random = 1;
  d.m_milliseconds = 0;
  for (int i = 0; i < 300; ++i) {
    int old = d.m_milliseconds;
    d.PickRandom();
    ASSERT_GE(std::abs(d.m_milliseconds - old), 150) << "draw " << i;
    ASSERT_GE(d.m_milliseconds, 0);
    ASSERT_LT(d.m_milliseconds, 3001);
  }
  CDurationAttribute fixed;
  fixed.m_milliseconds = -40;
  fixed.PickRandom();
  EXPECT_EQ(fixed.m_milliseconds, -40);
  EXPECT_EQ(fixed.GetWaitMilliseconds(), 0);  // a negative wait never sleeps
}

TEST(ColourTest, RandomPickIsSeededAndLeavesFixedColours) {
  ScopedPickSource pick;
  CColourAttribute a, b;
  a.m_random = b.m_random = 1;
  a.m_seed = b.m_seed = 99;
  a.PickRandom();
  b.PickRandom();
  EXPECT_EQ(a.m_colour, b.m_colour);
  EXPECT_EQ(a.m_seed, 199);
  // Over a long run the seed passes the top of int and wraps round.
  a.m_seed = INT_MAX - 50;
  a.PickRandom();
  EXPECT_EQ(a.m_seed, INT_MIN + 49);
  CColourAttribute fixed;
  fixed.m_colour = RGB(1, 2, 3);
  fixed.PickRandom();
  EXPECT_EQ(fixed.m_colour, RGB(1, 2, 3));
  fixed.m_mixing = 2;
  EXPECT_EQ(fixed.GetRasterOp(), static_cast<DWORD>(SRCAND));
}

TEST(MotionTest, StepsAlongThePath) {
  CMotionAttribute m;
  m.m_startX = 0, m.m_startY = 0, m.m_endX = 10, m.m_endY = 5, m.m_stepX = 3;
  m.m_stepAlongX = 1;
  m.m_currentX = 0, m.m_currentY = 0;
  const int expected[][2] = {{3, 2}, {6, 3}, {9, 5}};
  for (const auto& p : expected) {
    ASSERT_EQ(m.Step(), 0);
    EXPECT_EQ(m.m_currentX, p[0]);
    EXPECT_EQ(m.m_currentY, p[1]);
  }
  EXPECT_EQ(m.Step(), 1);

  CMotionAttribute down;  // along y
  down.m_startX = 0, down.m_startY = 0, down.m_endX = 0, down.m_endY = 4, down.m_stepX = 2;
  down.m_stepAlongX = 0;
  EXPECT_EQ(down.Step(), 0);
  EXPECT_EQ(down.Step(), 1);
  EXPECT_EQ(down.m_currentY, 4);
}

TEST(MotionTest, StepsThatWouldNeverEnd) {
  struct Case {
    const char* name;
    int freeStep, stepX, stepY, startX, endX, untilOpX, untilX;
  } cases[] = {
      {"zero path step, leftwards", 0, 0, 0, 10, 0, 0, 0},
      {"zero path step, rightwards", 0, 0, 0, 0, 10, 0, 0},
      {"free step without a step", 1, 0, 0, 0, 0, 0, 100},
      {"free step running away", 1, 1, 0, 0, 0, 1, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMotionAttribute m;
    m.m_freeStep = c.freeStep;
    m.m_stepX = c.stepX, m.m_stepY = c.stepY;
    m.m_startX = m.m_currentX = c.startX, m.m_endX = c.endX;
    m.m_startY = m.m_endY = m.m_currentY = 0;
    m.m_stepAlongX = 1;
    m.m_untilOpX = c.untilOpX, m.m_untilX = c.untilX;
    m.m_untilOpY = 4;  // never true
    int steps = 0;
    while (!m.Step() && steps < 3000000) ++steps;
    EXPECT_LT(steps, 3000000);
  }
}

TEST(MotionTest, FreeStepUntilConditions) {
  CMotionAttribute m;
  m.m_freeStep = 1;
  m.m_stepX = 2, m.m_stepY = 1;
  m.m_untilOpX = 0, m.m_untilX = 5;  // x > 5
  m.m_untilOpY = 0, m.m_untilY = 100;
  m.m_joiner = 0;  // OR
  int steps = 1;
  while (!m.Step()) ++steps;
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(m.m_currentX, 6);
  m.m_currentX = m.m_currentY = 0;
  m.m_joiner = 1;  // AND: y must hold as well
  steps = 1;
  while (!m.Step()) ++steps;
  EXPECT_EQ(m.m_currentY, 101);
}

// The step is turned to point from the start to the end, and the seed moves
// on by the width, at the edges of int too.
TEST(MotionTest, StepsTurnedAndSeedsMovedAtTheEdgesOfInt) {
  ScopedPickSource pick;
  struct Case {
    const char* name;
    int step, start, end, turned;
  } cases[] = {
      {"rightwards", -3, 0, 10, 3},
      {"leftwards", 3, 10, 0, -3},
      {"already right", 4, 0, 10, 4},
      {"the most negative step, rightwards", INT_MIN, 0, 10, INT_MAX},
      {"the largest step, leftwards", INT_MAX, 10, 0, -INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMotionAttribute m;
    m.m_startModeX = m.m_startModeY = m.m_endModeX = m.m_endModeY = kModeStored;
    m.m_startX = m.m_startY = c.start;
    m.m_endX = m.m_endY = c.end;
    m.m_stepX = m.m_stepY = c.step;
    m.ComputePositions(0, 0);
    EXPECT_EQ(m.m_stepX, c.turned);
    EXPECT_EQ(m.m_stepY, c.turned);
    // Step turns the step the same way on its own and ends past the end.
    m.m_stepX = c.step;
    m.m_currentX = c.start;
    EXPECT_EQ(m.Step(), c.step == INT_MIN || c.step == INT_MAX ? 1 : 0);
  }
  struct SeedCase {
    int seed, width, after;
  } seeds[] = {{5, 100, 105}, {INT_MAX - 5, 100, INT_MIN + 94}, {INT_MIN + 5, -100, INT_MAX - 94}};
  for (const SeedCase& c : seeds) {
    SCOPED_TRACE(c.seed);
    CMotionAttribute m;
    m.m_seed = c.seed;
    m.ComputePositions(c.width, 10);
    EXPECT_EQ(m.m_seed, c.after);
  }
}

TEST(MotionTest, ComputePositionsFromModes) {
  ScopedPickSource pick;
  CMotionAttribute m;
  m.m_startModeX = kModeCenter, m.m_startModeY = kModeLeftTop;
  m.m_endModeX = kModeRightBottom, m.m_endModeY = kModeRightBottom;
  m.m_stepX = 5, m.m_stepY = -3;
  m.ComputePositions(100, 50);
  EXPECT_EQ(m.m_startX, 350);
  EXPECT_EQ(m.m_startY, 0);
  EXPECT_EQ(m.m_endX, 700);
  EXPECT_EQ(m.m_endY, 550);
  EXPECT_EQ(m.m_stepY, 3);  // made to point at the end
  EXPECT_EQ(m.m_stepAlongX, 1);
  EXPECT_EQ(m.m_currentX, 350);

  CMotionAttribute preserve;  // cannot fit: no endless search
  preserve.m_startModeX = preserve.m_startModeY = kModeRandomPreserve;
  preserve.m_endModeX = preserve.m_endModeY = kModeRandomPreserve;
  preserve.ComputePositions(900, 700);
  EXPECT_EQ(preserve.m_startX, 0);
  EXPECT_EQ(preserve.m_endY, 0);
  preserve.ComputePositions(100, 100);
  EXPECT_GT(preserve.m_startX, 0);
  EXPECT_LT(preserve.m_startX, 700);

  pick.source.width = pick.source.height = 0;  // no screen: no division by zero
  CMotionAttribute random;
  random.m_startModeX = random.m_startModeY = kModeRandom;
  random.ComputePositions(0, 0);
  EXPECT_EQ(random.m_startX, 0);
}

TEST(LinkTest, SetTargetMovesTheLink) {
  CImageTextObject a, b;
  auto show = std::make_unique<CShowCommand>();
  show->SetTarget(&a);
  show->SetTarget(&a);  // no second link
  EXPECT_EQ(a.GetReferrerCount(), 1);
  show->SetTarget(&b);
  EXPECT_EQ(a.GetReferrerCount(), 0);
  ASSERT_EQ(b.GetReferrerCount(), 1);
  EXPECT_EQ(b.GetReferrer(0), show.get());
  b.SetId(4);
  EXPECT_EQ(show->GetTargetId(), 4);
  show.reset();  // a deleted command leaves no link behind
  EXPECT_EQ(b.GetReferrerCount(), 0);
}

TEST(LinkTest, DeletingAnObjectClearsItsReferrers) {
  CHideCommand hide;
  CShowCommand show;
  {
    CImageTextObject object;
    show.SetTarget(&object);
    hide.SetTarget(&object);
    EXPECT_EQ(object.GetReferrer(0), &show);
    EXPECT_EQ(object.GetReferrer(1), &hide);
  }
  EXPECT_EQ(show.GetTarget(), nullptr);
  EXPECT_EQ(show.GetTargetId(), -1);
  EXPECT_EQ(hide.GetTargetId(), -1);
}

TEST(LinkTest, DeletingALinkArrayLeavesTheCommands) {
  CCommandList list;
  list.Add(new CImageTextObject);
  list.Add(new CShowCommand);
  list.Add(new CShowCommand);
  CImageTextObject* object = static_cast<CImageTextObject*>(list.GetCommand(0));
  list.GetCommand(1)->SetTarget(object);
  list.GetCommand(2)->SetTarget(object);
  object->m_referrers.DeleteAll();  // links only
  EXPECT_EQ(list.GetCommand(1)->GetType(), kTypeShow);
  EXPECT_TRUE(CommandListContains(list, object));
  EXPECT_FALSE(CommandListContains(list, &list));
}

// A script of two objects and every kind of targeting command, linked.
void BuildLinkedScript(std::vector<CSceneCommand*>& cmds) {
  const int types[] = {kTypeImageText, kTypeShow, kTypeMove, kTypeHide,
                       kTypeMedia,     kTypePlay, kTypeStop};
  for (int type : types) cmds.push_back(CreateCommand(type));
  for (int i : {1, 2, 3}) cmds[i]->SetTarget(static_cast<CSceneObject*>(cmds[0]));
  for (int i : {5, 6}) cmds[i]->SetTarget(static_cast<CSceneObject*>(cmds[4]));
}

// Every link among the commands still alive points at a command still
// alive, both ways.
void ExpectNoDanglingLinks(const std::vector<CSceneCommand*>& alive) {
  auto isAlive = [&](const CSceneCommand* cmd) {
    return std::find(alive.begin(), alive.end(), cmd) != alive.end();
  };
  for (const CSceneCommand* cmd : alive) {
    if (cmd->GetTarget() != nullptr) {
      EXPECT_TRUE(isAlive(cmd->GetTarget())) << "type " << cmd->GetType() << " targets a deleted object";
    }
    if (cmd->GetType() == kTypeImageText || cmd->GetType() == kTypeMedia) {
      const CSceneObject* object = static_cast<const CSceneObject*>(cmd);
      for (int i = 0; i < object->GetReferrerCount(); ++i) {
        const CSceneCommand* referrer = object->GetReferrer(i);
        if (!isAlive(referrer)) {
          ADD_FAILURE() << "object of type " << cmd->GetType() << " names a deleted referrer";
          continue;
        }
        EXPECT_EQ(referrer->GetTarget(), object);
      }
    }
  }
}

TEST(LinkTest, DeletingInAnyOrderLeavesNoDanglingLinks) {
  std::vector<int> order = {0, 1, 2, 3, 4, 5, 6};
  int orders = 0;
  do {
    ++orders;
    SCOPED_TRACE(testing::PrintToString(order));
    std::vector<CSceneCommand*> alive;
    BuildLinkedScript(alive);
    const std::vector<CSceneCommand*> all = alive;
    for (int index : order) {
      CSceneCommand* victim = all[index];
      alive.erase(std::find(alive.begin(), alive.end(), victim));
      delete victim;
      ExpectNoDanglingLinks(alive);
      // Deleting more would reach freed memory: the rest is left behind.
      if (HasFailure()) return;
    }
    // The list's own delete-all, with the commands in this order.
    std::vector<CSceneCommand*> cmds;
    BuildLinkedScript(cmds);
    CCommandList list;
    for (int index : order) list.Add(cmds[index]);
    list.DeleteAll();
    EXPECT_EQ(list.GetSize(), 0);
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(orders, 5040);
}

TEST(LinkTest, DeletingATargetingCommandUnlinksOnlyIt) {
  for (int type : {kTypeShow, kTypeMove, kTypeHide, kTypePlay, kTypeStop}) {
    SCOPED_TRACE(GetCommandTypeName(type));
    CSceneObject* target = static_cast<CSceneObject*>(
        CreateCommand(type == kTypePlay || type == kTypeStop ? kTypeMedia : kTypeImageText));
    std::unique_ptr<CSceneCommand> first(CreateCommand(type));
    std::unique_ptr<CSceneCommand> victim(CreateCommand(type));
    std::unique_ptr<CSceneCommand> last(CreateCommand(type));
    first->SetTarget(target);
    victim->SetTarget(target);
    last->SetTarget(target);
    victim.reset();
    // An object that still names the deleted command is left behind: its
    // destructor would reach freed memory.
    ASSERT_EQ(target->GetReferrerCount(), 2);
    EXPECT_EQ(target->GetReferrer(0), first.get());
    EXPECT_EQ(target->GetReferrer(1), last.get());
    EXPECT_EQ(last->GetTarget(), target);
    delete target;
    EXPECT_EQ(first->GetTarget(), nullptr);
  }
}

TEST(CommandTest, NewCommandsHaveDefaults) {
  CCommandPalette palette;
  EXPECT_EQ(palette.GetOptions() != nullptr, LW_SCRIPT_EDITING != 0);  // none in the runtime
  for (int type = 0; type < kCommandTypeCount; ++type) {
    SCOPED_TRACE(type);
    CSceneCommand* prototype = palette.GetPrototype(type);
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->GetType(), type);
    prototype->m_comment.m_text = "edited";
    std::unique_ptr<CSceneCommand> clone(prototype->Clone());
    EXPECT_EQ(clone->GetType(), type);
    EXPECT_EQ(clone->GetId(), -1);
    EXPECT_EQ(clone->m_indent, 0);
    EXPECT_EQ(clone->IsDisabled(), 0);
    EXPECT_TRUE(clone->m_comment.m_text.IsEmpty());
    EXPECT_EQ(palette.IndexOfPrototype(prototype), type);
  }
  CShowCommand show;
  EXPECT_EQ(show.m_ref.m_motion.m_startModeX, kModeCenter);
  CMoveCommand move;
  EXPECT_EQ(move.m_ref.m_motion.m_startModeX, kModeLeftTop);
  CLineCommand line;
  EXPECT_EQ(line.m_motion.m_endModeY, kModeRandom);
  CUrlCommand url;
  EXPECT_EQ(url.m_location, "http://");
  EXPECT_EQ(url.m_keys, -1);

  std::unique_ptr<CSceneCommand> taken(palette.TakePrototype(kTypeWait));
  EXPECT_EQ(palette.IndexOfPrototype(taken.get()), -1);
  EXPECT_NE(palette.GetPrototype(kTypeWait), taken.get());
}

TEST(CommandTest, IndentRule) {
  CCommandList list;
  // The last Until has no Repeat above it.
  const int types[] = {kTypeRepeat, kTypeWait, kTypeRepeat, kTypeCls,
                       kTypeUntil,  kTypeUntil, kTypeUntil,  kTypeHide};
  const int expected[] = {0, 2, 2, 4, 2, 0, 0, 0};
  for (int t : types) list.Add(CreateCommand(t));
  UpdateIndentLevels(list, 2);
  for (int i = 0; i < list.GetSize(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list.GetCommand(i)->m_indent, expected[i]);
  }
}

// Plays the loop commands of a list as the player does and counts how often
// the command at `watch` runs.
int CountRuns(CCommandList& list, int watch) {
  int runs = 0;
  for (int i = 0; i < list.GetSize() && runs < 1000; ++i) {
    if (i == watch) ++runs;
    list.GetCommand(i)->Execute(nullptr, &i, nullptr);
  }
  return runs;
}

TEST(UntilTest, LoopsPlayTheBodyCountTimes) {
  struct Case {
    int count;
    int runs;
  } cases[] = {{1, 1}, {3, 3}, {0, 1}, {-4, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    CCommandList list;
    list.Add(new CRepeatCommand);
    list.Add(new CWaitCommand);
    CUntilCommand* until = new CUntilCommand;
    until->m_repeat.m_count = c.count;
    list.Add(until);
    list.NumberCommands();
    ASSERT_EQ(PrepareScript(list), 1);
    EXPECT_EQ(until->m_loopStart, 1);
    EXPECT_EQ(CountRuns(list, 1), c.runs);
  }
}

TEST(UntilTest, NestedLoopsFindTheirRepeat) {
  CCommandList list;
  const int types[] = {kTypeRepeat, kTypeRepeat, kTypeWait, kTypeUntil, kTypeUntil};
  for (int t : types) list.Add(CreateCommand(t));
  static_cast<CUntilCommand*>(list.GetCommand(3))->m_repeat.m_count = 2;
  static_cast<CUntilCommand*>(list.GetCommand(4))->m_repeat.m_count = 3;
  list.NumberCommands();
  ASSERT_EQ(PrepareScript(list), 1);
  EXPECT_EQ(static_cast<CUntilCommand*>(list.GetCommand(3))->m_loopStart, 2);
  EXPECT_EQ(static_cast<CUntilCommand*>(list.GetCommand(4))->m_loopStart, 1);
  EXPECT_EQ(CountRuns(list, 2), 6);
}

TEST(UntilTest, UnclosedScanRefusesTheRun) {
  Messages().texts.clear();
  CCommandList list;
  list.Add(new CRepeatCommand);
  list.GetCommand(0)->SetDisabled(1);
  list.Add(new CUntilCommand);
  list.Add(new CUntilCommand);  // the disabled Repeat closes only one
  list.NumberCommands();
  EXPECT_EQ(PrepareScript(list), 0);
  ASSERT_EQ(Messages().texts.size(), 1u);
  EXPECT_EQ(Messages().texts[0], "Missing repeat command.");
  list.GetCommand(2)->SetDisabled(1);
  EXPECT_EQ(PrepareScript(list), 1);  // a disabled Until does not scan
}

TEST(PrepareTest, TargetsAndObjectsMustBeThere) {
  struct Case {
    const char* name;
    int type;
    const char* message;
  } cases[] = {
      {"Show without target", kTypeShow, "You have to choose the image."},
      {"Hide without target", kTypeHide, "You have to choose the image."},
      {"Play without target", kTypePlay, "You have to choose the media."},
      {"Stop without target", kTypeStop, "You have to choose the media."},
      {"picture without bytes", kTypeImageText, "You have to choose the image."},
      {"media without bytes", kTypeMedia, "You have to choose the media."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().texts.clear();
    CCommandList list;
    list.Add(CreateCommand(c.type));
    EXPECT_EQ(PrepareScript(list), 0);
    ASSERT_EQ(Messages().texts.size(), 1u);
    EXPECT_EQ(Messages().texts[0], c.message);
    list.GetCommand(0)->SetDisabled(1);
    EXPECT_EQ(PrepareScript(list), 1);
  }
  // A disabled object that an enabled Show still uses is checked.
  CCommandList list;
  list.Add(new CImageTextObject);
  list.Add(new CShowCommand);
  list.GetCommand(1)->SetTarget(static_cast<CSceneObject*>(list.GetCommand(0)));
  list.GetCommand(0)->SetDisabled(1);
  EXPECT_EQ(PrepareScript(list), 0);
  // Bytes that are no picture refuse the run without a message.
  Messages().texts.clear();
  static_cast<CImageTextObject*>(list.GetCommand(0))->SetPicture(AllocDataBlock(4), 4);
  EXPECT_EQ(PrepareScript(list), 0);
  EXPECT_TRUE(Messages().texts.empty());
  const std::vector<uint8_t> picture = TinyBmp();
  static_cast<CImageTextObject*>(list.GetCommand(0))
      ->SetPicture(CopyDataBlock(picture.data(), static_cast<uint32_t>(picture.size())),
                   static_cast<uint32_t>(picture.size()));
  EXPECT_EQ(PrepareScript(list), 1);
}

TEST(UtilitiesTest, FitToBox) {
  SIZE e = FitToBox(100, 50, 400, 400);  // enlarges
  EXPECT_EQ(e.cx, 400);
  EXPECT_EQ(e.cy, 200);
  SIZE f = FitToBox(100, 50, 0, 400);
  EXPECT_EQ(f.cx, 100);
}

TEST(UtilitiesTest, WholeFilesAndTemporaryFiles) {
  const uint8_t data[] = {1, 2, 3, 250, 0, 7};
  CString path;
  ASSERT_EQ(WriteTempFile(data, sizeof(data), path), 1);
  uint8_t* block = nullptr;
  uint32_t size = 0;
  ASSERT_EQ(ReadWholeFile(path, &block, &size), 1);
  ASSERT_EQ(size, sizeof(data));
  EXPECT_EQ(memcmp(block, data, size), 0);
  FreeDataBlock(block);
  // Another reader of the file does not keep it from being read.
  HANDLE reader = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadWholeFile(path, &block, &size), 1);
  EXPECT_EQ(size, sizeof(data));
  FreeDataBlock(block);
  CloseHandle(reader);

  CMediaObject media;
  CString named = path + ".SWF";
  ASSERT_TRUE(MoveFileA(path, named));
  ASSERT_EQ(media.LoadMediaFile(named, true), 1);
  EXPECT_EQ(media.m_kind, kMediaFlash);
  EXPECT_EQ(media.m_dataSize, sizeof(data));
  EXPECT_FALSE(media.m_displayName.IsEmpty());
  DeleteFileA(named);

  Messages().texts.clear();
  EXPECT_EQ(ReadWholeFile(named, &block, &size), 0);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(size, 0u);
  ASSERT_EQ(Messages().texts.size(), 1u);
  EXPECT_EQ(Messages().texts[0], std::string(named) + "\nCannot be read data.");
  EXPECT_EQ(MediaKindFromPath("a.Mid"), kMediaMidi);
  EXPECT_EQ(MediaKindFromPath("a.avi"), kMediaVideo);
  EXPECT_EQ(MediaKindFromPath("dir.mp3\\file"), kMediaAudio);
}

// An SWF header whose frame is 0..xmax by 0..ymax twips, 14-bit fields.
std::vector<uint8_t> SwfHeader(int xmax, int ymax) {
  std::vector<uint8_t> swf = {'F', 'W', 'S', 6, 0, 0, 0, 0};
  uint64_t bits = 14;  // the field width
  int values[4] = {0, xmax, 0, ymax};
  int used = 5;
  for (int v : values) {
    bits = (bits << 14) | static_cast<uint64_t>(v);
    used += 14;
  }
  bits <<= (64 - used);  // 8 bytes
  for (int i = 7; i >= 0; --i) swf.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  swf.push_back(24);
  swf.push_back(1);
  return swf;
}

TEST(FlashTest, FrameSize) {
  std::vector<uint8_t> swf = SwfHeader(11000, 8000);
  MovieSize size = ReadMovieFrameSize(swf.data(), static_cast<uint32_t>(swf.size()));
  EXPECT_EQ(size.cx, 550);
  EXPECT_EQ(size.cy, 400);

  // The same movie compressed: everything after the 8-byte header deflated.
  std::vector<uint8_t> cws(swf.begin(), swf.begin() + 8);
  cws[0] = 'C';
  uLongf packedSize = 256;
  std::vector<uint8_t> packed(packedSize);
  ASSERT_EQ(compress(packed.data(), &packedSize, swf.data() + 8, static_cast<uLong>(swf.size() - 8)),
            Z_OK);
  cws.insert(cws.end(), packed.begin(), packed.begin() + packedSize);
  size = ReadMovieFrameSize(cws.data(), static_cast<uint32_t>(cws.size()));
  EXPECT_EQ(size.cx, 550);
  EXPECT_EQ(size.cy, 400);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } refused[] = {
      {"too short", std::vector<uint8_t>(swf.begin(), swf.begin() + 12)},
      {"header only", std::vector<uint8_t>(swf.begin(), swf.begin() + 8)},
      {"not a movie", std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0x78, 0, 0, 0}},
      {"broken stream", std::vector<uint8_t>{'C', 'W', 'S', 6, 0, 0, 0, 0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.name);
    MovieSize s = ReadMovieFrameSize(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, 0);
  }
}

TEST(FlashTest, MediaObjectsFrameSizeOfACompressedMovie) {
  // A whole movie with a shape and frames, compressed: its rectangle lies
  // only inside the compressed stream.
  lwtest::CSwfWriter writer(6400, 4810);
  writer.SetBackground(RGB(1, 2, 3));
  lwtest::CSwfShape square;
  square.Rectangle(0, 0, 400, 400, square.AddFill(RGB(255, 0, 0)));
  writer.DefineShape(1, square);
  writer.PlaceObject(1, 1, lwtest::SwfAt(20, 20));
  writer.ShowFrame();
  writer.ShowFrame();
  const lwtest::SwfBytes movie = writer.Cws();
  ASSERT_EQ(movie[0], 'C');
  CString path;
  ASSERT_EQ(WriteTempFile(movie.data(), static_cast<uint32_t>(movie.size()), path), 1);
  const CString named = path + ".swf";
  ASSERT_TRUE(MoveFileA(path, named));
  CMediaObject media;
  ASSERT_EQ(media.LoadMediaFile(named, false), 1);
  DeleteFileA(named);
  ASSERT_EQ(media.m_kind, kMediaFlash);
  const SIZE size = media.GetFlashFrameSize();
  EXPECT_EQ(size.cx, 320);
  EXPECT_EQ(size.cy, 240);
}

}  // namespace

namespace {

TEST(TextMeasureTest, MultiLineExtent) {
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  SIZE w, ww;
  GetTextExtentPoint32A(dc, "W", 1, &w);
  GetTextExtentPoint32A(dc, "WW", 2, &ww);
  RECT r;
  EXPECT_EQ(GetMultiLineTextExtent(dc, "W\r\nWW", &r), 1);
  EXPECT_EQ(r.right, ww.cx);
  EXPECT_EQ(r.bottom, 2 * w.cy);
  EXPECT_EQ(GetMultiLineTextExtent(dc, "", &r), 0);
  ReleaseDC(nullptr, dc);
}

}  // namespace
