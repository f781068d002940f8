// The edit dialog frame and the small command dialogs, driven as a user
// would through the dialog hook: captions, the comment sub-dialog and Enter
// after it, validation, the Wait spin, the colour preview, Until's range,
// the Url keys and address; Edit then OK changes exactly the edited fields
// of the written command and Cancel none; the seconds conversion; the
// target lists; and a screenshot of each dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/CommandEdit.h"
#include "builder/EditDialog.h"
#include "builder/SmallDialogs.h"
#include "builder/resource.h"
#include "script/Objects.h"
#include "tests/builder/edit_dialog_support.h"
#include "tests/support/common_dialogs.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/dialog_layout.h"
#include "tests/support/pump.h"
#include "tests/support/recorders.h"
#include "tests/support/screen.h"

namespace {

using lwtest::CDialogScript;
using lwtest::Press;
using lwtest::Click;
using lwtest::ClickSpin;
using lwtest::Enabled;
using lwtest::ExpectedBytes;
using lwtest::ItemText;
using lwtest::RunEdit;
using lwtest::SetItemText;
using lwtest::Text;
using lwtest::Visible;
using lwtest::WrittenBytes;
using Bytes = std::vector<uint8_t>;

// ---- pure rules ------------------------------------------------------------

TEST(SecondsToMilliseconds, GoesThroughThePrintedHundredths) {
  struct Case {
    float seconds;
    int ms;
  };
  static const Case kCases[] = {
      {2.5f, 2500}, {1.234f, 1230}, {2.01f, 2010}, {0.0f, 0},     {100.0f, 100000},
      {0.07f, 70},  {4.35f, 4350},  {0.29f, 290},  {99.99f, 99990}, {1.005f, 1000},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(SecondsToMilliseconds(c.seconds), c.ms);
    EXPECT_EQ(SecondsToMilliseconds(static_cast<double>(c.seconds)), c.ms);
  }
  // In double 2.01 is 2.00999..., whose product by 1000 truncates to 2009.
  EXPECT_EQ(SecondsToMilliseconds(2.01), 2010);
  EXPECT_EQ(SecondsToMilliseconds(1.234), 1230);
}

TEST(DecimalSpin, SnapsToTheGridThenSteps) {
  struct Case {
    double value;
    bool up;
    const char* shown;
  };
  static const Case kCases[] = {
      {2.5, true, "2.51 sec"},   {2.505, false, "2.5 sec"}, {2.505, true, "2.51 sec"},
      {2.5, false, "2.49 sec"},  {0.0, false, "0 sec"},     {100.0, true, "100 sec"},
      {99.995, true, "100 sec"}, {0.004, true, "0.01 sec"}, {7.0, false, "6.99 sec"},
      // Pasted far outside the range: no overflow on the way to the bounds.
      {1e300, true, "100 sec"},  {1e300, false, "100 sec"}, {-1e300, true, "0 sec"},
      {-1e300, false, "0 sec"},  {-5.0, true, "0 sec"},   {150.0, false, "100 sec"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.value) + (c.up ? " up" : " down"));
    const double next = StepDecimalValue(c.value, CWaitDlg::kField, c.up);
    EXPECT_EQ(std::string(FormatDecimalValue(next, CWaitDlg::kField)), c.shown);
  }
}

TEST(UrlPrefix, PutInFrontOnlyWhenMissing) {
  static const char* const kCases[][2] = {
      {"example.com", "http://example.com"}, {"http://x", "http://x"},
      {"https://x", "https://x"},           {"HTTP://X", "HTTP://X"},
      {"Https://x", "Https://x"},           {"ftp://x", "http://ftp://x"},
      {"http:/x", "http://http:/x"},        {"", "http://"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c[0]);
    EXPECT_EQ(std::string(WithUrlPrefix(c[0])), c[1]);
  }
}

TEST(EditCaption, TypeNameAndText) {
  CWaitCommand wait;
  CShowCommand show;
  CMoveCommand move;
  CLineCommand line;
  EXPECT_EQ(std::string(MakeEditCaption(wait, "")), "Wait");
  EXPECT_EQ(std::string(MakeEditCaption(wait, "x")), "Wait - x");
  EXPECT_EQ(std::string(MakeEditCaption(show, "Description")), "Show - Description");
  EXPECT_EQ(std::string(MakeEditCaption(move, "Position")), "Move - Position");
  EXPECT_EQ(std::string(MakeEditCaption(line, "Colours")), "Line - Colours");
  for (int type = 0; type < kCommandTypeCount; ++type) {
    std::unique_ptr<CSceneCommand> command(CreateCommand(type));
    EXPECT_EQ(std::string(MakeEditCaption(*command, nullptr)), GetCommandTypeName(type));
  }
}

// ---- dispatch ----------------------------------------------------------------

TEST(EditDispatch, EachSmallTypeOpensItsDialog) {
  struct Case {
    int type;
    UINT templateId;
    const char* caption;
  };
  static const Case kCases[] = {
      {kTypeWait, IDD_WAIT, "Wait"},         {kTypeCls, IDD_COLOUR, "Cls"},
      {kTypeRepeat, IDD_DESCRIPTION, "Repeat - Description"},
      {kTypeUntil, IDD_UNTIL, "Until"},      {kTypeComment, IDD_COMMENT, "Comment"},
      {kTypeUrl, IDD_INSERT_URL, "Insert URL"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.caption);
    std::unique_ptr<CSceneCommand> command(CreateCommand(c.type));
    static UINT seen;
    static std::string caption;
    seen = 0;
    RunEdit(*command, [](CDialog* d) {
      seen = d->GetTemplateId();
      caption = Text(*d);
      Press(d, IDCANCEL);
    });
    EXPECT_EQ(seen, c.templateId);
    EXPECT_EQ(caption, c.caption);
  }
}

// ---- Edit then OK, Edit then Cancel ------------------------------------------

// One command per type with values that are not the defaults, the action
// that edits some fields in its dialog (without ending it), and the same
// edit on the model.
struct EditCase {
  const char* name;
  std::function<CSceneCommand*()> make;
  CDialogScript::Action action;
  std::function<Bytes(CSceneCommand&)> expected;
};

std::vector<EditCase> EditCases() {
  std::vector<EditCase> cases;
  cases.push_back({"Wait",
                   [] {
                     auto* c = new CWaitCommand;
                     c->m_comment.m_text = "pause";
                     c->m_indent = 2;
                     c->m_duration.m_milliseconds = 1500;
                     return c;
                   },
                   [](CDialog* d) {
                     SetItemText(d, IDC_WAIT_DURATION, "2.01 sec");
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CWaitCommand>(static_cast<CWaitCommand&>(c),
                                                        [](CWaitCommand& e) {
                                                          e.m_duration.m_milliseconds = 2010;
                                                        });
                   }});
  cases.push_back({"Cls",
                   [] {
                     auto* c = new CClsCommand;
                     c->m_colour.m_colour = RGB(10, 20, 30);
                     c->m_colour.m_mixing = 2;
                     return c;
                   },
                   [](CDialog* d) {
                     Click(d, IDC_COLOUR_RANDOM);
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CClsCommand>(
                         static_cast<CClsCommand&>(c),
                         [](CClsCommand& e) { e.m_colour.m_random = 1; });
                   }});
  cases.push_back({"Repeat",
                   [] {
                     auto* c = new CRepeatCommand;
                     c->m_comment.m_text = "loop";
                     return c;
                   },
                   [](CDialog* d) {
                     SetItemText(d, IDC_DESCRIPTION_TEXT, "outer loop");
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CRepeatCommand>(
                         static_cast<CRepeatCommand&>(c),
                         [](CRepeatCommand& e) { e.m_comment.m_text = "outer loop"; });
                   }});
  cases.push_back({"Until",
                   [] {
                     auto* c = new CUntilCommand;
                     c->m_repeat.m_count = 7;
                     return c;
                   },
                   [](CDialog* d) {
                     SetItemText(d, IDC_UNTIL_COUNT, "42");
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CUntilCommand>(
                         static_cast<CUntilCommand&>(c),
                         [](CUntilCommand& e) { e.m_repeat.m_count = 42; });
                   }});
  cases.push_back({"Comment",
                   [] {
                     auto* c = new CCommentCommand;
                     c->m_text = "first\r\nsecond";
                     c->m_comment.m_text = "note";
                     return c;
                   },
                   [](CDialog* d) {
                     SetItemText(d, IDC_COMMENT_TEXT, "one\r\ntwo\r\nthree");
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CCommentCommand>(
                         static_cast<CCommentCommand&>(c),
                         [](CCommentCommand& e) { e.m_text = "one\r\ntwo\r\nthree"; });
                   }});
  cases.push_back({"Url",
                   [] {
                     auto* c = new CUrlCommand;
                     c->m_location = "http://old.example";
                     c->m_keys = 1;
                     return c;
                   },
                   [](CDialog* d) {
                     SetItemText(d, IDC_URL_LOCATION, "new.example");
                     Click(d, IDC_URL_KEY_SPACE);
                   },
                   [](CSceneCommand& c) {
                     return ExpectedBytes<CUrlCommand>(static_cast<CUrlCommand&>(c),
                                                       [](CUrlCommand& e) {
                                                         e.m_location = "http://new.example";
                                                         e.m_keys = 2;
                                                       });
                   }});
  return cases;
}

// Runs the case's edits in the command's dialog, then presses the button.
INT_PTR EditThenPress(CSceneCommand& command, const CDialogScript::Action& edit, int button) {
  return RunEdit(command, [&](CDialog* d) {
    edit(d);
    Press(d, button);
  });
}

TEST(EditCommand, OkChangesExactlyTheEditedFields) {
  for (const EditCase& c : EditCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CSceneCommand> command(c.make());
    const Bytes before = WrittenBytes(*command);
    const Bytes expected = c.expected(*command);
    ASSERT_NE(before, expected);
    EXPECT_EQ(EditThenPress(*command, c.action, IDOK), IDOK);
    EXPECT_EQ(WrittenBytes(*command), expected);
  }
}

TEST(EditCommand, CancelLeavesEveryByte) {
  for (const EditCase& c : EditCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CSceneCommand> command(c.make());
    const Bytes before = WrittenBytes(*command);
    // The same edits, then Cancel instead of OK.
    EXPECT_EQ(EditThenPress(*command, c.action, IDCANCEL), IDCANCEL);
    EXPECT_EQ(WrittenBytes(*command), before);
  }
}

// ---- the comment button ------------------------------------------------------

TEST(CommentButton, SubDialogEditsTheCommentAndTheCaption) {
  CWaitCommand wait;
  wait.m_comment.m_text = "x";
  static std::vector<std::string> captions;
  captions.clear();
  EXPECT_EQ(RunEdit(wait,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_DESCRIPTION) {
                        captions.push_back(Text(*d));
                        captions.push_back(ItemText(d, IDC_DESCRIPTION_TEXT));
                        SetItemText(d, IDC_DESCRIPTION_TEXT, "intro");
                        Press(d, IDOK);
                        return;
                      }
                      captions.push_back(Text(*d));
                      Press(d, IDC_COMMENT_BUTTON);
                      captions.push_back(Text(*d));
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(captions, (std::vector<std::string>{"Wait - x", "Wait - Description", "x",
                                                "Wait - intro"}));
  EXPECT_STREQ(wait.m_comment.m_text, "intro");
  EXPECT_STREQ(wait.m_duration.m_comment.m_text, "intro");
}

TEST(CommentButton, CancellingTheEditDialogKeepsTheOldComment) {
  CUntilCommand until;
  until.m_comment.m_text = "old";
  const Bytes before = WrittenBytes(until);
  EXPECT_EQ(RunEdit(until,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_DESCRIPTION) {
                        SetItemText(d, IDC_DESCRIPTION_TEXT, "new");
                        Press(d, IDOK);
                        return;
                      }
                      Press(d, IDC_COMMENT_BUTTON);
                      Press(d, IDCANCEL);
                    }),
            IDCANCEL);
  EXPECT_EQ(WrittenBytes(until), before);
  EXPECT_STREQ(until.m_comment.m_text, "old");
}

// After the sub-dialog's OK, Enter in the edit dialog means its OK: the
// sub-dialog's button is an ordinary button again and OK has the focus.
// The clicks come once the dialog runs its own loop (its first focus
// given), as a user's would.
struct EnterAfterSubDialog {
  static int descriptions;
  static UINT defaultId, commentStyle, okStyle;
  static int focused;
  static void CALLBACK OnRunning(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    auto* d = static_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    // The user reaches the button and clicks it.
    d->GotoDlgCtrl(d->GetDlgItem(IDC_COMMENT_BUTTON));
    Press(d, IDC_COMMENT_BUTTON);
    defaultId = d->GetDefID();
    commentStyle = GetWindowLongA(d->GetDlgItem(IDC_COMMENT_BUTTON), GWL_STYLE) & 0xF;
    okStyle = GetWindowLongA(d->GetDlgItem(IDOK), GWL_STYLE) & 0xF;
    focused = GetDlgCtrlID(GetFocus());
    // Enter, as the dialog's message loop sees it.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(GetFocus(), WM_KEYUP, VK_RETURN, 0xC01C0001);
  }
};
int EnterAfterSubDialog::descriptions;
UINT EnterAfterSubDialog::defaultId, EnterAfterSubDialog::commentStyle,
    EnterAfterSubDialog::okStyle;
int EnterAfterSubDialog::focused;

TEST(CommentButton, EnterMeansOkAgainAfterTheSubDialog) {
  using E = EnterAfterSubDialog;
  CClsCommand cls;
  E::descriptions = 0;
  EXPECT_EQ(RunEdit(cls,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_DESCRIPTION) {
                        ++E::descriptions;
                        SetItemText(d, IDC_DESCRIPTION_TEXT, "red");
                        Press(d, IDOK);
                        return;
                      }
                      // Before the hook's own timer, which ends a dialog
                      // left open.
                      SetTimer(*d, 0x5151, USER_TIMER_MINIMUM, &E::OnRunning);
                    }),
            IDOK);
  EXPECT_EQ(E::descriptions, 1);
  EXPECT_EQ(E::defaultId, static_cast<UINT>(IDOK));
  EXPECT_EQ(E::commentStyle, static_cast<UINT>(BS_PUSHBUTTON));
  EXPECT_EQ(E::okStyle, static_cast<UINT>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(E::focused, IDOK);
  EXPECT_STREQ(cls.m_comment.m_text, "red");
}

TEST(CommentButton, DescriptionLongerThanFiftyIsRefused) {
  CRepeatCommand repeat;
  lwtest::CRecordedBoxes boxes;
  static lwtest::CFocusState focus;
  static const std::string kLong(51, 'a');
  EXPECT_EQ(RunEdit(repeat,
                    [](CDialog* d) {
                      SetItemText(d, IDC_DESCRIPTION_TEXT, kLong.c_str());
                      Press(d, IDOK);
                      focus = lwtest::FocusState();
                      Press(d, IDCANCEL);
                    }),
            IDCANCEL);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{"Please enter no more than 50 characters."});
  EXPECT_EQ(focus.id, IDC_DESCRIPTION_TEXT);
  EXPECT_EQ(focus.length, 51);
  EXPECT_TRUE(focus.WholeTextSelected());
}

// ---- Wait ----------------------------------------------------------------------

TEST(WaitDialog, SpinMovesByHundredthsFromTheGrid) {
  CWaitCommand wait;
  wait.m_duration.m_milliseconds = 2500;
  static std::vector<std::string> shown;
  shown.clear();
  RunEdit(wait, [](CDialog* d) {
    shown.push_back(ItemText(d, IDC_WAIT_DURATION));
    ClickSpin(d, IDC_WAIT_SPIN, true);
    shown.push_back(ItemText(d, IDC_WAIT_DURATION));
    SetItemText(d, IDC_WAIT_DURATION, "2.505 sec");
    ClickSpin(d, IDC_WAIT_SPIN, false);
    shown.push_back(ItemText(d, IDC_WAIT_DURATION));
    ClickSpin(d, IDC_WAIT_SPIN, false);
    shown.push_back(ItemText(d, IDC_WAIT_DURATION));
    SetItemText(d, IDC_WAIT_DURATION, "99.999");
    ClickSpin(d, IDC_WAIT_SPIN, true);
    shown.push_back(ItemText(d, IDC_WAIT_DURATION));
    Press(d, IDOK);
  });
  EXPECT_EQ(shown, (std::vector<std::string>{"2.5 sec", "2.51 sec", "2.5 sec", "2.49 sec",
                                             "100 sec"}));
  EXPECT_EQ(wait.m_duration.m_milliseconds, 100000);
}

TEST(WaitDialog, StoresTheTypedSecondsAsMilliseconds) {
  struct Case {
    const char* text;
    int ms;
  };
  static const Case kCases[] = {{"2.5 sec", 2500}, {"1.234", 1230}, {"2.01 sec", 2010},
                                {"3", 3000},       {" 3 sec ", 3000}, {"0", 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    CWaitCommand wait;
    static const char* text;
    text = c.text;
    EXPECT_EQ(RunEdit(wait,
                      [](CDialog* d) {
                        SetItemText(d, IDC_WAIT_DURATION, text);
                        Press(d, IDOK);
                      }),
              IDOK);
    EXPECT_EQ(wait.m_duration.m_milliseconds, c.ms);
  }
}

TEST(WaitDialog, RefusedDurationKeepsTheFieldFocused) {
  struct Case {
    const char* text;
    const char* message;
  };
  static const Case kCases[] = {
      {"3 min", "This is not a valid measurement."},
      {"abc", "This is not a valid measurement."},
      {"150 sec", "Please enter a number between 0 and 100."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    CWaitCommand wait;
    const Bytes before = WrittenBytes(wait);
    lwtest::CRecordedBoxes boxes;
    static const char* text;
    static lwtest::CFocusState focus;
    text = c.text;
    EXPECT_EQ(RunEdit(wait,
                      [](CDialog* d) {
                        SetItemText(d, IDC_WAIT_DURATION, text);
                        Press(d, IDOK);
                        focus = lwtest::FocusState();
                        Press(d, IDCANCEL);
                      }),
              IDCANCEL);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{c.message});
    EXPECT_EQ(focus.id, IDC_WAIT_DURATION);
    EXPECT_EQ(focus.length, lstrlenA(c.text));
    EXPECT_TRUE(focus.WholeTextSelected());
    EXPECT_EQ(WrittenBytes(wait), before);
  }
}

TEST(WaitDialog, RandomDisablesTheDuration) {
  CWaitCommand wait;
  static std::vector<bool> enabled;
  enabled.clear();
  RunEdit(wait, [](CDialog* d) {
    enabled.push_back(Enabled(d, IDC_WAIT_DURATION));
    Click(d, IDC_WAIT_RANDOM);
    enabled.push_back(Enabled(d, IDC_WAIT_DURATION));
    Click(d, IDC_WAIT_RANDOM);
    enabled.push_back(Enabled(d, IDC_WAIT_DURATION));
    Click(d, IDC_WAIT_RANDOM);
    Press(d, IDOK);
  });
  EXPECT_EQ(enabled, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(wait.m_duration.m_random, 1);
}

// A duration beyond the field's range under "&Random" and a count of 0
// under "&Infinite" (a document can hold either) sit in closed fields: OK
// goes through and keeps them to the millisecond.
TEST(SmallDialogs, ValuesOutOfReachDoNotStopOk) {
  lwtest::CRecordedBoxes boxes;
  CWaitCommand wait;
  wait.m_duration.m_random = 1;
  wait.m_duration.m_milliseconds = 150005;
  EXPECT_EQ(RunEdit(wait, [](CDialog* d) { Press(d, IDOK); }), IDOK);
  EXPECT_EQ(wait.m_duration.m_milliseconds, 150005);
  EXPECT_EQ(wait.m_duration.m_random, 1);
  CUntilCommand until;
  until.m_repeat.m_infinite = 1;
  until.m_repeat.m_count = 0;
  EXPECT_EQ(RunEdit(until, [](CDialog* d) { Press(d, IDOK); }), IDOK);
  EXPECT_EQ(until.m_repeat.m_count, 0);
  EXPECT_EQ(until.m_repeat.m_infinite, 1);
  EXPECT_EQ(boxes.texts, std::vector<std::string>{});
}

// ---- Until -----------------------------------------------------------------------

TEST(UntilDialog, CountRangeAndInfinite) {
  CUntilCommand until;
  until.m_repeat.m_count = 3;
  lwtest::CRecordedBoxes boxes;
  static int lower, upper;
  static std::vector<bool> enabled;
  static std::vector<lwtest::CFocusState> focus;
  enabled.clear();
  focus.clear();
  EXPECT_EQ(RunEdit(until,
                    [](CDialog* d) {
                      SendMessageA(d->GetDlgItem(IDC_UNTIL_SPIN), UDM_GETRANGE32,
                                   reinterpret_cast<WPARAM>(&lower),
                                   reinterpret_cast<LPARAM>(&upper));
                      for (const char* refused : {"0", "1000000"}) {
                        SetItemText(d, IDC_UNTIL_COUNT, refused);
                        Press(d, IDOK);
                        focus.push_back(lwtest::FocusState());
                      }
                      enabled.push_back(Enabled(d, IDC_UNTIL_COUNT));
                      Click(d, IDC_UNTIL_INFINITE);
                      enabled.push_back(Enabled(d, IDC_UNTIL_COUNT));
                      Click(d, IDC_UNTIL_INFINITE);
                      SetItemText(d, IDC_UNTIL_COUNT, "999999");
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 5000);
  EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Please enter an integer between 1 and 999999.",
                                                   "Please enter an integer between 1 and 999999."}));
  ASSERT_EQ(focus.size(), 2u);
  for (const lwtest::CFocusState& f : focus) {
    EXPECT_EQ(f.id, IDC_UNTIL_COUNT);
    EXPECT_TRUE(f.WholeTextSelected());
  }
  EXPECT_EQ(enabled, (std::vector<bool>{true, false}));
  EXPECT_EQ(until.m_repeat.m_count, 999999);
  EXPECT_EQ(until.m_repeat.m_infinite, 0);
}

// ---- Url ---------------------------------------------------------------------------

TEST(UrlDialog, KeysFollowTheRadioOrder) {
  struct Case {
    int radio;
    int keys;
  };
  static const Case kCases[] = {{IDC_URL_KEY_ENTER, 0},
                                {IDC_URL_KEY_F12, 1},
                                {IDC_URL_KEY_SPACE, 2},
                                {IDC_URL_KEY_ANY, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.radio);
    CUrlCommand url;
    url.m_location = "http://a.example";
    static int radio;
    static UINT anyChecked;
    radio = c.radio;
    EXPECT_EQ(RunEdit(url,
                      [](CDialog* d) {
                        anyChecked = d->IsDlgButtonChecked(IDC_URL_KEY_ANY);
                        Click(d, radio);
                        Press(d, IDOK);
                      }),
              IDOK);
    EXPECT_EQ(anyChecked, static_cast<UINT>(BST_CHECKED));  // keys -1 shows as any
    EXPECT_EQ(url.m_keys, c.keys);
  }
}

TEST(UrlDialog, NoKeyChosenStoresAny) {
  CUrlCommand url;
  EXPECT_EQ(url.m_keys, -1);
  EXPECT_EQ(RunEdit(url,
                    [](CDialog* d) {
                      SetItemText(d, IDC_URL_LOCATION, "a.example");
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(url.m_keys, 3);
  EXPECT_STREQ(url.m_location, "http://a.example");
}

TEST(UrlDialog, AddressGetsThePrefixOnlyWhenItLacksOne) {
  struct Case {
    const char* typed;
    INT_PTR result;
    const char* stored;
  };
  static const Case kCases[] = {
      {"example.com", IDOK, "http://example.com"},
      {"https://secure.example", IDOK, "https://secure.example"},
      {"HTTP://LOUD.EXAMPLE", IDOK, "HTTP://LOUD.EXAMPLE"},
      {"hTtPs://mixed.example", IDOK, "hTtPs://mixed.example"},
      {"", IDCANCEL, "http://old.example"},
      {"http://", IDCANCEL, "http://old.example"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    CUrlCommand url;
    url.m_location = "http://old.example";
    url.m_keys = 0;
    const Bytes before = WrittenBytes(url);
    static const char* typed;
    typed = c.typed;
    EXPECT_EQ(RunEdit(url,
                      [](CDialog* d) {
                        SetItemText(d, IDC_URL_LOCATION, typed);
                        Click(d, IDC_URL_KEY_F12);
                        Press(d, IDOK);
                      }),
              c.result);
    EXPECT_STREQ(url.m_location, c.stored);
    if (c.result == IDCANCEL) {
      EXPECT_EQ(WrittenBytes(url), before);
    }
  }
}

TEST(UrlDialog, MonitoringOffDisablesAddressAndKeys) {
  CUrlCommand url;
  static std::vector<bool> enabled;
  static std::string caption;
  enabled.clear();
  EXPECT_EQ(RunEdit(url,
                    [](CDialog* d) {
                      if (d->GetTemplateId() == IDD_DESCRIPTION) {
                        SetItemText(d, IDC_DESCRIPTION_TEXT, "exit");
                        Press(d, IDOK);
                        return;
                      }
                      const int ids[] = {IDC_URL_LOCATION, IDC_URL_KEY_ENTER, IDC_URL_KEY_F12,
                                         IDC_URL_KEY_SPACE, IDC_URL_KEY_ANY};
                      for (int id : ids) enabled.push_back(Enabled(d, id));
                      // Typed while open, the address is kept once closed.
                      SetItemText(d, IDC_URL_LOCATION, "b.example");
                      Click(d, IDC_URL_NO_MONITORING);
                      for (int id : ids) enabled.push_back(Enabled(d, id));
                      Press(d, IDC_COMMENT_BUTTON);
                      caption = Text(*d);
                      Press(d, IDOK);
                    }),
            IDOK);
  EXPECT_EQ(enabled, (std::vector<bool>{true, true, true, true, true, false, false, false,
                                        false, false}));
  EXPECT_EQ(caption, "Url - exit");
  EXPECT_EQ(url.m_monitoringOff, 1);
  EXPECT_STREQ(url.m_comment.m_text, "exit");
  EXPECT_STREQ(url.m_location, "http://b.example");
}

// A new Url holds the prefix alone; the empty address keeps the old values
// only while monitoring is on. With "Disable URL Monitoring" checked such a
// Url is a command of its own and OK stores it, with its comment.
TEST(UrlDialog, MonitoringOffNeedsNoAddress) {
  struct Case {
    const char* location;
    bool off;
    INT_PTR result;
    const char* stored;
    int monitoringOff;
  };
  static const Case kCases[] = {
      {"http://", true, IDOK, "http://", 1},
      {"", true, IDOK, "http://", 1},
      {"http://", false, IDCANCEL, "http://", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string("\"") + c.location + (c.off ? "\", off" : "\", on"));
    CUrlCommand url;
    url.m_location = c.location;
    static bool off;
    off = c.off;
    EXPECT_EQ(RunEdit(url,
                      [](CDialog* d) {
                        if (d->GetTemplateId() == IDD_DESCRIPTION) {
                          SetItemText(d, IDC_DESCRIPTION_TEXT, "quiet");
                          Press(d, IDOK);
                          return;
                        }
                        if (off) Click(d, IDC_URL_NO_MONITORING);
                        Press(d, IDC_COMMENT_BUTTON);
                        Press(d, IDOK);
                      }),
              c.result);
    EXPECT_STREQ(url.m_location, c.stored);
    EXPECT_EQ(url.m_monitoringOff, c.monitoringOff);
    EXPECT_STREQ(url.m_comment.m_text, c.result == IDOK ? "quiet" : "");
  }
}

// The text of a tip of the tool tip control that the dialog owns: over a
// control (id is its handle) or over a rectangle of the dialog.
std::string ToolText(HWND dialog, UINT_PTR id, bool isControl) {
  struct Find {
    HWND owner, tips;
  } find = {dialog, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) {
        auto* f = reinterpret_cast<Find*>(lp);
        char cls[32] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || GetWindow(hwnd, GW_OWNER) != f->owner) return TRUE;
        f->tips = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  if (!find.tips) return "(no tool tips)";
  char text[80] = "";
  TOOLINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = dialog;
  info.uId = id;
  info.uFlags = isControl ? TTF_IDISHWND : 0;
  info.lpszText = text;
  SendMessageA(find.tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
  return text;
}

// ---- colour ------------------------------------------------------------------------

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  CMemoryDC memory(nullptr);
  CSelectObject selected(memory.GetSafeHdc(), bitmap);
  return GetPixel(memory.GetSafeHdc(), x, y);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

// The preview's parts: the left circle (testing colour) alone, the right
// one (the colour) alone, their overlap, and the background.
struct PreviewPixels {
  COLORREF left, right, both, corner;
};
PreviewPixels ReadPreview(HBITMAP bitmap) {
  const SIZE s = BitmapSize(bitmap);
  return {BitmapPixel(bitmap, s.cy / 4, s.cy / 2), BitmapPixel(bitmap, s.cx - 1 - s.cy / 4, s.cy / 2),
          BitmapPixel(bitmap, s.cx / 2, s.cy / 2), BitmapPixel(bitmap, 0, 0)};
}

TEST(ColourDialog, PreviewShowsTheThreeMixingModes) {
  const COLORREF testing = RGB(0x0F, 0xF0, 0x33), colour = RGB(0xC0, 0x30, 0x11);
  CShowCommand show;
  CColourAttribute attribute;
  attribute.m_colour = colour;
  attribute.m_secondColour = testing;
  static std::vector<PreviewPixels> seen;
  static SIZE size;
  seen.clear();
  CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CColourDlg*>(d);
    size = BitmapSize(dlg->GetPreviewBitmap());
    for (int mixing = 0; mixing < 3; ++mixing) {
      SendMessageA(d->GetDlgItem(IDC_COLOUR_MIXING), CB_SETCURSEL, mixing, 0);
      d->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COLOUR_MIXING, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(d->GetDlgItem(IDC_COLOUR_MIXING)));
      seen.push_back(ReadPreview(dlg->GetPreviewBitmap()));
    }
    Press(d, IDOK);
  });
  CColourDlg dlg(attribute, &show, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_GT(size.cx, size.cy);
  EXPECT_LT(size.cx, 2 * size.cy);  // the circles overlap
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF overlaps[] = {colour, testing | colour, testing & colour};
  ASSERT_EQ(seen.size(), 3u);
  for (int mixing = 0; mixing < 3; ++mixing) {
    SCOPED_TRACE(mixing);
    EXPECT_EQ(seen[mixing].left, testing);
    EXPECT_EQ(seen[mixing].right, colour);
    EXPECT_EQ(seen[mixing].both, overlaps[mixing]);
    EXPECT_EQ(seen[mixing].corner, face);
  }
  EXPECT_EQ(dlg.m_copy.m_mixing, 2);
}

TEST(ColourDialog, ClsAndSubDialogsShowTheirParts) {
  struct Case {
    int type;
    const char* caption;
    bool mixingEnabled;
    bool commentVisible;
  };
  static const Case kCases[] = {
      {kTypeCls, "Cls", false, true},
      {kTypeShow, "Show - Colours", true, false},
      {kTypeMove, "Move - Colours", true, false},
      {kTypeLine, "Line - Colours", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.caption);
    std::unique_ptr<CSceneCommand> command(CreateCommand(c.type));
    CColourAttribute attribute;
    static std::string caption;
    static bool mixing, background, comment, colourAtCommentPlace;
    static std::string leftTip, rightTip;
    CDialogScript script([](CDialog* d) {
      caption = Text(*d);
      leftTip = ToolText(*d, 1, false);
      rightTip = ToolText(*d, 2, false);
      mixing = Enabled(d, IDC_COLOUR_MIXING);
      background = Enabled(d, IDC_COLOUR_BACKGROUND);
      comment = Visible(d, IDC_COMMENT_BUTTON);
      RECT a, b;
      GetWindowRect(d->GetDlgItem(IDC_COMMENT_BUTTON), &a);
      GetWindowRect(d->GetDlgItem(IDC_COLOUR_CHOOSE), &b);
      colourAtCommentPlace = a.left == b.left && a.top == b.top;
      Press(d, IDCANCEL);
    });
    CColourDlg dlg(attribute, command.get(), nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(mixing, c.mixingEnabled);
    EXPECT_EQ(background, c.mixingEnabled);
    EXPECT_EQ(comment, c.commentVisible);
    EXPECT_EQ(colourAtCommentPlace, !c.commentVisible);
    EXPECT_EQ(leftTip, "Testing colour");
    EXPECT_EQ(rightTip, "Choosen colour");
  }
}

TEST(ColourDialog, ChoosingAColourRedrawsAndRestoresTheDefault) {
  CClsCommand cls;
  cls.m_colour.m_colour = RGB(1, 2, 3);
  lwtest::CRecordedCommonDialogs choosers;
  choosers.AnswerColor(RGB(200, 100, 50));
  static COLORREF right;
  static UINT defaultId;
  EXPECT_EQ(RunEdit(cls,
                    [](CDialog* d) {
                      Press(d, IDC_COLOUR_CHOOSE);
                      right = ReadPreview(static_cast<CColourDlg*>(d)->GetPreviewBitmap()).right;
                      defaultId = d->GetDefID();
                      Press(d, IDOK);
                    }),
            IDOK);
  ASSERT_EQ(choosers.colours.size(), 1u);
  EXPECT_EQ(choosers.colours[0].initial, RGB(1, 2, 3));
  EXPECT_EQ(right, RGB(200, 100, 50));
  EXPECT_EQ(defaultId, static_cast<UINT>(IDOK));
  EXPECT_EQ(cls.m_colour.m_colour, RGB(200, 100, 50));
}

TEST(ColourDialog, DoubleClickInACircleChoosesItsColour) {
  CShowCommand show;
  CColourAttribute attribute;
  attribute.m_colour = RGB(1, 1, 1);
  attribute.m_secondColour = RGB(2, 2, 2);
  lwtest::CRecordedCommonDialogs choosers;
  choosers.AnswerColor(RGB(10, 20, 30));  // the left circle: testing colour
  choosers.AnswerColor(RGB(40, 50, 60));  // the right circle: the colour
  static PreviewPixels seen;
  CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CColourDlg*>(d);
    RECT r;
    GetWindowRect(d->GetDlgItem(IDC_COLOUR_PREVIEW), &r);
    MapWindowPoints(nullptr, *d, reinterpret_cast<POINT*>(&r), 2);
    const int h = r.bottom - r.top, y = r.top + h / 2;
    const LPARAM left = MAKELPARAM(r.left + h / 4, y), right = MAKELPARAM(r.right - 1 - h / 4, y);
    const LPARAM both = MAKELPARAM((r.left + r.right) / 2, y);
    d->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, both);  // the overlap: nothing
    d->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, left);
    d->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, right);
    seen = ReadPreview(dlg->GetPreviewBitmap());
    Press(d, IDOK);
  });
  CColourDlg dlg(attribute, &show, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(choosers.colours.size(), 2u);
  EXPECT_EQ(choosers.colours[0].initial, RGB(2, 2, 2));
  EXPECT_EQ(choosers.colours[1].initial, RGB(1, 1, 1));
  EXPECT_EQ(seen.left, RGB(10, 20, 30));
  EXPECT_EQ(seen.right, RGB(40, 50, 60));
  EXPECT_EQ(dlg.m_copy.m_secondColour, RGB(10, 20, 30));
  EXPECT_EQ(dlg.m_copy.m_colour, RGB(40, 50, 60));
}

// ---- target lists ------------------------------------------------------------

enum { IDD_TARGETS = 9100, IDC_TARGETS = 9101, IDC_TARGETS_LABEL = 9102 };

class CTargetsDlg : public CEditDialog {
 public:
  explicit CTargetsDlg(CSceneObject* current) : CEditDialog(IDD_TARGETS, nullptr, nullptr), m_current(current) {}
  CTargetList m_list;
  CSceneObject* m_current;
  CSceneObject* m_chosen = nullptr;

 protected:
  bool OnInitDialog() override {
    CEditDialog::OnInitDialog();
    m_list.Setup(*this, IDC_TARGETS, IDC_TARGETS_LABEL, kTypeImageText, m_current);
    return true;
  }
  void OnOK() override {
    m_chosen = m_list.GetSelectedTarget();
    CEditDialog::OnOK();
  }
};

TEST(TargetList, ListsTheLiveObjectsAndCtrlClickClears) {
  lwtest::CEditTestPalette palette;
  auto* first = palette.Add(new CImageTextObject);
  first->m_kind = 1;
  first->m_text = "Hello";
  palette.Add(new CWaitCommand);
  palette.Add(new CMediaObject);
  auto* second = palette.Add(new CImageTextObject);
  second->m_displayName = "sky.jpg";
  static std::vector<std::string> items;
  static int selected, afterClick, afterCtrlClick;
  static std::string tip;
  items.clear();
  CDialogScript script([](CDialog* d) {
    auto* dlg = static_cast<CTargetsDlg*>(d);
    for (int i = 0; i < dlg->m_list.GetCount(); ++i)
      items.push_back(static_cast<const char*>(dlg->m_list.GetText(i)));
    selected = dlg->m_list.GetCurSel();
    const HWND list = d->GetDlgItem(IDC_TARGETS);
    const LPARAM firstItem = MAKELPARAM(5, 3);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, firstItem);
    SendMessageA(list, WM_LBUTTONUP, 0, firstItem);
    afterClick = dlg->m_list.GetCurSel();
    {
      lwtest::CHeldKey ctrl(VK_CONTROL);
      SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, firstItem);
      SendMessageA(list, WM_LBUTTONUP, MK_CONTROL, firstItem);
    }
    afterCtrlClick = dlg->m_list.GetCurSel();
    tip = ToolText(*d, reinterpret_cast<UINT_PTR>(d->GetDlgItem(IDC_TARGETS_LABEL)), true);
    Press(d, IDOK);
  });
  CTargetsDlg dlg(second);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(items, (std::vector<std::string>{"Hello", "sky.jpg"}));
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(afterClick, 0);
  EXPECT_EQ(afterCtrlClick, -1);
  EXPECT_EQ(tip, "Deselect - Ctrl+click");
  EXPECT_EQ(dlg.m_chosen, nullptr);
}

// ---- screenshots ---------------------------------------------------------------

// Each dialog as the screen shows it, kept in build/screenshots for a
// person to look at: every control inside the dialog, every caption whole
// and painted.
TEST(FrameDialogs, Screenshots) {
  struct Shot {
    const char* name;
    int type;
  };
  static const Shot kShots[] = {
      {"edit_wait", kTypeWait},       {"edit_cls", kTypeCls},
      {"edit_repeat", kTypeRepeat},   {"edit_until", kTypeUntil},
      {"edit_comment", kTypeComment}, {"edit_url", kTypeUrl},
  };
  static int shots;
  shots = 0;
  for (const Shot& s : kShots) {
    SCOPED_TRACE(s.name);
    std::unique_ptr<CSceneCommand> command(CreateCommand(s.type));
    command->m_comment.m_text = "intro";
    if (s.type == kTypeWait) static_cast<CWaitCommand&>(*command).m_duration.m_milliseconds = 2500;
    if (s.type == kTypeCls) static_cast<CClsCommand&>(*command).m_colour.m_colour = RGB(0, 0, 160);
    if (s.type == kTypeComment)
      static_cast<CCommentCommand&>(*command).m_text = "First line\r\nSecond line";
    static const char* name;
    name = s.name;
    RunEdit(*command, [](CDialog* d) {
      const std::vector<std::string> faults = lwtest::ShootAndCheck(*d, LW_BUILD_DIR "/screenshots", name);
      EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
      ++shots;
      Press(d, IDCANCEL);
    });
  }
  // The colour dialog as the display commands open it.
  CShowCommand show;
  CColourAttribute attribute;
  attribute.m_colour = RGB(0, 0, 160);
  attribute.m_secondColour = RGB(255, 255, 0);
  attribute.m_mixing = 1;
  CDialogScript script([](CDialog* d) {
    const std::vector<std::string> faults = lwtest::ShootAndCheck(*d, LW_BUILD_DIR "/screenshots", "edit_colours");
    EXPECT_TRUE(faults.empty()) << lwtest::JoinLines(faults);
    ++shots;
    Press(d, IDCANCEL);
  });
  CColourDlg dlg(attribute, &show, nullptr);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(shots, 7);
}

}  // namespace
