// The saver's settings and password dialogs, answered through the dialog
// init hook as a user would: click, type, press OK; messages go to a sink.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/PasswordHash.h"
#include "runtime/SaverApp.h"
#include "runtime/SaverDialogs.h"
#include "runtime/resource.h"
#include "tests/support/dialog_hook.h"
#include "tests/support/recorders.h"
#include "tests/support/registry.h"

namespace {

using lwtest::Press;

// Gives the application a profile of this test program's own; its key.
std::string NameProfile(CSaverApp& app, const char* name) {
  std::string profile = std::string("Dialog test ") + name + " " + std::to_string(GetCurrentProcessId());
  app.SetProfileName(profile.c_str());
  app.SetRegistryKey("Corvanta\\Screen Saver");
  return app.GetProfileKey();
}

// An application object with a profile of its own, removed afterwards.
struct TestApp {
  CSaverApp app;
  lwtest::CScratchKey key;
  explicit TestApp(const char* name) : key(HKEY_CURRENT_USER, NameProfile(app, name)) {}
  void Set(const char* entry, int v) { app.WriteProfileInt("Settings", entry, v); }
  int Get(const char* entry, int def = -1) { return (int)app.GetProfileInt("Settings", entry, def); }
};

// Runs the steps on the dialog while it is up.
INT_PTR RunDialog(CDialog& dlg, lwtest::CDialogScript::Action act) {
  lwtest::CDialogScript script(std::move(act));
  const INT_PTR r = dlg.DoModal();
  EXPECT_EQ(script.Opened(), 1);
  return r;
}

// Clicks a radio button or check box the way the mouse would.
void Toggle(CDialog* d, int id) { ::SendMessageA(d->GetDlgItem(id), BM_CLICK, 0, 0); }

const int kBoxes[] = {IDC_MOUSEMOVE, IDC_BUTTONDOWN, IDC_DOUBLECLICK, IDC_KEYDOWN, IDC_ESCAPE};
const char* const kValues[] = {"MouseMove", "ButtonDown", "DoubleClick", "KeyDown", "Escape"};

TEST(SaverStrings, ComeFromTheProgramsStringTable) {
  char text[64] = "x";
  EXPECT_EQ(LoadResourceString(IDS_WRONGPASSWORD, text, sizeof text), 28);
  EXPECT_STREQ(text, "The password is not correct.");
  // Cut to the buffer, and empty for a string that is not there.
  char shortText[8] = "";
  EXPECT_EQ(LoadResourceString(IDS_WRONGPASSWORD, shortText, sizeof shortText), 7);
  EXPECT_STREQ(shortText, "The pas");
  EXPECT_EQ(LoadResourceString(0xBEEF, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  EXPECT_STREQ(LoadResourceString(IDS_PASSWORDCHANGED), "The password has been successfully changed.");
  EXPECT_STREQ(LoadResourceString(0xBEEF, "fallback"), "fallback");
}

TEST(SettingsDialog, ShowsTheStoredSettings) {
  struct Row {
    const char* name;
    std::map<std::string, int> stored;
    int radio;
    bool boxesEnabled;
    std::vector<int> checked;
    bool mute;
  };
  const Row kRows[] = {
      {"defaults", {}, IDC_STANDARD, false, {}, false},
      {"standard keeps its boxes off", {{"Standard", 1}, {"KeyDown", 1}}, IDC_STANDARD, false,
       {IDC_KEYDOWN}, false},
      {"custom", {{"Standard", 0}, {"MouseMove", 1}, {"Escape", 1}, {"Mute", 5}}, IDC_CUSTOM,
       true, {IDC_MOUSEMOVE, IDC_ESCAPE}, true},
      {"only 1 counts", {{"Standard", 2}, {"ButtonDown", 2}}, IDC_CUSTOM, true, {}, false},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    TestApp t("show");
    for (const auto& [entry, value] : r.stored) t.Set(entry.c_str(), value);
    CSaverSettingsDlg dlg(nullptr);
    EXPECT_EQ(RunDialog(dlg,
                        [&](CDialog* d) {
                          EXPECT_EQ(d->IsDlgButtonChecked(r.radio), (UINT)BST_CHECKED);
                          for (int id : kBoxes) {
                            SCOPED_TRACE(id);
                            EXPECT_EQ(IsWindowEnabled(d->GetDlgItem(id)) != FALSE, r.boxesEnabled);
                            bool on = std::find(r.checked.begin(), r.checked.end(), id) != r.checked.end();
                            EXPECT_EQ(d->IsDlgButtonChecked(id), on ? 1u : 0u);
                          }
                          EXPECT_EQ(d->IsDlgButtonChecked(IDC_MUTE), r.mute ? 1u : 0u);
                          Press(d, IDCANCEL);
                        }),
              IDCANCEL);
  }
}

TEST(SettingsDialog, TheExitChoiceEnablesTheInputBoxes) {
  TestApp t("enable");
  CSaverSettingsDlg dlg(nullptr);
  RunDialog(dlg, [](CDialog* d) {
    Toggle(d, IDC_CUSTOM);
    for (int id : kBoxes) EXPECT_TRUE(IsWindowEnabled(d->GetDlgItem(id)));
    Toggle(d, IDC_STANDARD);
    for (int id : kBoxes) EXPECT_FALSE(IsWindowEnabled(d->GetDlgItem(id)));
    Press(d, IDCANCEL);
  });
}

TEST(SettingsDialog, OkStoresWhatItShows) {
  struct Row {
    const char* name;
    std::map<std::string, int> stored;
    std::vector<int> clicks;
    std::map<std::string, int> expected;
  };
  const std::map<std::string, int> kStandardZeros = {
      {"Standard", 1}, {"MouseMove", 0}, {"ButtonDown", 0}, {"DoubleClick", 0},
      {"KeyDown", 0},  {"Escape", 0},    {"Mute", 0}};
  const Row kRows[] = {
      {"defaults", {}, {}, kStandardZeros},
      {"custom with no box is standard", {}, {IDC_CUSTOM}, kStandardZeros},
      {"custom with boxes cleared is standard",
       {{"Standard", 0}, {"KeyDown", 1}},
       {IDC_KEYDOWN},
       kStandardZeros},
      {"standard stores zeros",
       {{"Standard", 0}, {"MouseMove", 1}, {"Escape", 1}},
       {IDC_STANDARD},
       kStandardZeros},
      {"custom",
       {},
       {IDC_CUSTOM, IDC_KEYDOWN, IDC_ESCAPE, IDC_MUTE},
       {{"Standard", 0}, {"MouseMove", 0}, {"ButtonDown", 0}, {"DoubleClick", 0},
        {"KeyDown", 1}, {"Escape", 1}, {"Mute", 1}}},
      {"mute off",
       {{"Mute", 1}},
       {IDC_MUTE},
       kStandardZeros},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    TestApp t("ok");
    for (const auto& [entry, value] : r.stored) t.Set(entry.c_str(), value);
    CSaverSettingsDlg dlg(nullptr);
    EXPECT_EQ(RunDialog(dlg,
                        [&](CDialog* d) {
                          for (int id : r.clicks) Toggle(d, id);
                          Press(d, IDOK);
                        }),
              IDOK);
    for (const auto& [entry, value] : r.expected) {
      SCOPED_TRACE(entry);
      EXPECT_EQ(t.Get(entry.c_str()), value);
    }
  }
}

TEST(SettingsDialog, CancelWritesNothing) {
  TestApp t("cancel");
  CSaverSettingsDlg dlg(nullptr);
  RunDialog(dlg, [](CDialog* d) {
    Toggle(d, IDC_CUSTOM);
    Toggle(d, IDC_ESCAPE);
    Press(d, IDCANCEL);
  });
  for (const char* v : kValues) EXPECT_EQ(t.Get(v), -1) << v;
  EXPECT_EQ(t.Get("Standard"), -1);
}

std::string EditText(CDialog* d, int id) {
  char buf[128] = {};
  d->GetDlgItemText(id, buf, sizeof buf);
  return buf;
}

TEST(PasswordDialog, WrongPasswordIsToldAndTheDialogStays) {
  char stored[kStoredPasswordSize];
  ASSERT_GT(ScramblePassword("Secret", stored), 0);
  struct Row {
    const char* typed;
    bool right;
  };
  const Row kRows[] = {{"Secret", true}, {"secret", false}, {"", false}, {"Secret ", false}};
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.typed);
    lwtest::CRecordedBoxes sink;
    CPasswordDlg dlg(stored, nullptr);
    std::string afterWrong;
    int focus = 0;
    INT_PTR result = RunDialog(dlg, [&](CDialog* d) {
      d->SetDlgItemText(IDC_PASSWORD, r.typed);
      Press(d, IDOK);
      if (r.right) return;
      afterWrong = EditText(d, IDC_PASSWORD);
      focus = GetDlgCtrlID(GetFocus());
      Press(d, IDCANCEL);
    });
    if (r.right) {
      EXPECT_EQ(result, IDOK);
      EXPECT_TRUE(sink.texts.empty());
    } else {
      EXPECT_EQ(result, IDCANCEL);
      EXPECT_EQ(sink.texts, std::vector<std::string>{"The password is not correct."});
      EXPECT_EQ(sink.types, std::vector<UINT>{MB_ICONEXCLAMATION});
      EXPECT_EQ(afterWrong, "");
      EXPECT_EQ(focus, IDC_PASSWORD);
    }
  }
}

TEST(PasswordDialog, RightPasswordAfterAWrongOne) {
  char stored[kStoredPasswordSize];
  ScramblePassword("pw", stored);
  lwtest::CRecordedBoxes sink;
  CPasswordDlg dlg(stored, nullptr);
  EXPECT_EQ(RunDialog(dlg,
                      [](CDialog* d) {
                        d->SetDlgItemText(IDC_PASSWORD, "PW");
                        Press(d, IDOK);
                        d->SetDlgItemText(IDC_PASSWORD, "pw");
                        Press(d, IDOK);
                      }),
            IDOK);
  EXPECT_EQ(sink.texts.size(), 1u);
}

std::string StoredPassword(TestApp& t) {
  return std::string(t.app.GetProfileString("Password", "Encrypt", "absent"));
}

TEST(NewPasswordDialog, MismatchIsToldAndKeepsBothTexts) {
  TestApp t("mismatch");
  lwtest::CRecordedBoxes sink;
  CNewPasswordDlg dlg(nullptr);
  std::string first, second;
  EXPECT_EQ(RunDialog(dlg,
                      [&](CDialog* d) {
                        d->SetDlgItemText(IDC_NEWPASSWORD, "Alpha");
                        d->SetDlgItemText(IDC_CONFIRM, "alpha");
                        Press(d, IDOK);
                        first = EditText(d, IDC_NEWPASSWORD);
                        second = EditText(d, IDC_CONFIRM);
                        d->SetDlgItemText(IDC_CONFIRM, "Alpha");
                        Press(d, IDOK);
                      }),
            IDOK);
  EXPECT_EQ(sink.texts, (std::vector<std::string>{"The new and confirmed passwords do not match.",
                                                  "The password has been successfully changed."}));
  EXPECT_EQ(sink.types, (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONINFORMATION}));
  EXPECT_EQ(first, "Alpha");
  EXPECT_EQ(second, "alpha");
  const std::string stored = StoredPassword(t);
  EXPECT_TRUE(VerifyPassword("Alpha", stored.c_str())) << stored;
  EXPECT_FALSE(VerifyPassword("alpha", stored.c_str()));
  EXPECT_EQ(stored.find("Alpha"), std::string::npos);
}

TEST(NewPasswordDialog, EmptyTwiceRemovesThePassword) {
  TestApp t("remove");
  char stored[kStoredPasswordSize];
  ScramblePassword("old", stored);
  t.app.WriteProfileString("Password", "Encrypt", stored);
  lwtest::CRecordedBoxes sink;
  CNewPasswordDlg dlg(nullptr);
  EXPECT_EQ(RunDialog(dlg, [](CDialog* d) { Press(d, IDOK); }), IDOK);
  EXPECT_EQ(StoredPassword(t), "");
}

TEST(NewPasswordDialog, CancelKeepsTheOldPassword) {
  TestApp t("keep");
  CNewPasswordDlg dlg(nullptr);
  EXPECT_EQ(RunDialog(dlg,
                      [](CDialog* d) {
                        d->SetDlgItemText(IDC_NEWPASSWORD, "x");
                        d->SetDlgItemText(IDC_CONFIRM, "x");
                        Press(d, IDCANCEL);
                      }),
            IDCANCEL);
  EXPECT_EQ(StoredPassword(t), "absent");
}

// The password mode over each kind of stored value: a readable one asks for
// the present password first; one that cannot be read (an older saver's
// format, damaged, or none) counts as no password, so that the new one can
// be set at once. Each dialog is answered by the hook: the present
// password "old" (cancelled when refused), the new one "Fresh" twice.
TEST(PasswordMode, AValueThatCannotBeReadIsNoPassword) {
  char readable[kStoredPasswordSize];
  ASSERT_GT(ScramblePassword("old", readable), 0);
  const std::string good = readable;
  struct Row {
    const char* name;
    std::string stored;
    std::vector<std::string> dialogs;
  } rows[] = {
      {"readable", good, {"present", "new"}},
      {"an older format", "4F1C0A9B77", {"new"}},
      {"damaged", good.substr(0, good.size() - 1), {"new"}},
      {"upper-case digits", "PBKDF2-SHA256" + good.substr(13), {"new"}},
      {"empty", "", {"new"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    TestApp t("mode");
    t.app.WriteProfileString("Password", "Encrypt", r.stored.c_str());
    // What the saver window and the password mode take as the password.
    char read[kStoredPasswordSize] = "untouched";
    ReadStoredPassword(read);
    EXPECT_EQ(read, r.dialogs.size() > 1 ? r.stored : std::string());
    lwtest::CRecordedBoxes sink;
    std::vector<std::string> dialogs;
    std::function<void(CDialog*)> act = [&](CDialog* d) {
      if (d->GetTemplateId() == IDD_NEWPASSWORD) {
        dialogs.push_back("new");
        d->SetDlgItemText(IDC_NEWPASSWORD, "Fresh");
        d->SetDlgItemText(IDC_CONFIRM, "Fresh");
        Press(d, IDOK);
        return;
      }
      dialogs.push_back("present");
      const size_t told = sink.texts.size();
      d->SetDlgItemText(IDC_PASSWORD, "old");
      Press(d, IDOK);
      if (sink.texts.size() != told) Press(d, IDCANCEL);  // refused: give up
    };
    {
      lwtest::CDialogScript script(act);
      ChangeSaverPassword(nullptr);
    }
    EXPECT_EQ(dialogs, r.dialogs);
    const std::string now = StoredPassword(t);
    EXPECT_TRUE(VerifyPassword("Fresh", now.c_str())) << now;
  }
}

}  // namespace
