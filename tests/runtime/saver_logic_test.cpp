// The saver runtime's pure logic: the screen-saver switches, the input that
// ends the saver and the key that picks the Url address, the stored
// password, the exit address and the way it is opened, the payload framing
// and the speed calibration.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/ExitAddress.h"
#include "runtime/PasswordHash.h"
#include "runtime/SaverApp.h"
#include "runtime/SaverPlayback.h"
#include "runtime/SaverSession.h"
#include "runtime/SaverSwitch.h"
#include "common/Payload.h"
#include "playback/SpeedCalibration.h"
#include "tests/support/files.h"
#include "tests/support/processes.h"
#include "tests/support/recorders.h"
#include "tests/common/saver_mode_names.h"
#include "tests/support/registry.h"

namespace {

TEST(SaverSwitch, CommandLines) {
  struct Row {
    const char* line;
    SaverMode mode;
    std::uintptr_t handle;
  };
  const Row kRows[] = {
      {"", SaverMode::Settings, 0},
      {"   ", SaverMode::Settings, 0},
      {"/s", SaverMode::Run, 0},
      {"/S", SaverMode::Run, 0},
      {"-s", SaverMode::Run, 0},
      {"s", SaverMode::Run, 0},
      {"/s:123", SaverMode::Run, 0},
      {"  /s  extra", SaverMode::Run, 0},
      {"/c", SaverMode::Configure, 0},
      {"-C", SaverMode::Configure, 0},
      {"/c:1234", SaverMode::Configure, 0},
      {"/p 4242", SaverMode::Preview, 4242},
      {"-P 17", SaverMode::Preview, 17},
      {"/p", SaverMode::None, 0},
      {"/p abc", SaverMode::None, 0},
      {"/p 12x", SaverMode::None, 0},
      {"/p -5", SaverMode::None, 0},
      {"/p 99999999999999999999999", SaverMode::None, 0},
      {"/a 0", SaverMode::Password, 0},
      {"/A 655", SaverMode::Password, 655},
      {"/a", SaverMode::None, 0},
      {"/x", SaverMode::None, 0},
      {"sx", SaverMode::None, 0},
      {"//s", SaverMode::None, 0},
      {"-", SaverMode::None, 0},
      {"\"/s\"", SaverMode::Run, 0},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(std::string("command line '") + r.line + "'");
    SaverCommand c = ParseSaverCommandLine(r.line);
    EXPECT_STREQ(SaverModeName(c.mode), SaverModeName(r.mode));
    EXPECT_EQ(c.handle, r.handle);
  }
}

TEST(SaverSwitch, MatchSkipsOnePrefixAndIgnoresCase) {
  struct Row {
    const char* arg;
    char letter;
    bool match;
  };
  const Row kRows[] = {{"/s", 's', true},  {"-S", 's', true},  {"S", 's', true},
                       {"/c", 'C', true},  {"/s", 'c', false}, {"/sx", 's', false},
                       {"--s", 's', false}, {"", 's', false},  {"/", 's', false}};
  for (const Row& r : kRows) {
    SCOPED_TRACE(std::string(r.arg) + " vs " + r.letter);
    EXPECT_EQ(MatchSaverSwitch(r.arg, r.letter), r.match);
  }
}

std::string Hex(const std::uint8_t* d, int n) {
  static const char k[] = "0123456789abcdef";
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += k[d[i] >> 4];
    s += k[d[i] & 15];
  }
  return s;
}

// Which input ends the saver, under its settings and in a test run.
TEST(SaverInput, EachSettingEndsTheSaverOnItsInputAndATestRunOnKeysOnly) {
  SaverInputRules none;
  none.standard = false;
  auto only = [&](bool SaverInputRules::*setting) {
    SaverInputRules rules = none;
    rules.*setting = true;
    return rules;
  };
  const SaverInputRules standard;
  struct Row {
    const char* name;
    SaverInputRules rules;
    bool testRun;
    // Ends on: mouse move, button, double click, key, Escape.
    bool ends[5];
  };
  const Row kRows[] = {
      {"standard", standard, false, {true, true, true, true, true}},
      {"nothing chosen", none, false, {false, false, false, false, false}},
      {"mouse move", only(&SaverInputRules::mouseMove), false, {true, false, false, false, false}},
      {"button", only(&SaverInputRules::buttonDown), false, {false, true, false, false, false}},
      {"double click", only(&SaverInputRules::doubleClick), false, {false, false, true, false, false}},
      {"any key, Escape among them", only(&SaverInputRules::keyDown), false,
       {false, false, false, true, true}},
      {"Escape", only(&SaverInputRules::escape), false, {false, false, false, false, true}},
      {"test run, standard", standard, true, {false, false, false, true, true}},
      {"test run, nothing chosen", none, true, {false, false, false, true, true}},
      {"test run, mouse move", only(&SaverInputRules::mouseMove), true,
       {false, false, false, true, true}},
  };
  const SaverInput kInputs[] = {SaverInput::kMouseMove, SaverInput::kButtonDown,
                                SaverInput::kDoubleClick, SaverInput::kKeyDown, SaverInput::kEscape};
  for (const Row& r : kRows) {
    for (int i = 0; i < 5; ++i) {
      SCOPED_TRACE(testing::Message() << r.name << ", input " << i);
      EXPECT_EQ(InputEndsSaver(r.rules, kInputs[i], r.testRun), r.ends[i]);
    }
  }
}

// The keys a Url command names (0 Enter, 1 F12, 2 Space, 3 any of them;
// -1 none) against the key pressed.
TEST(SaverInput, OnlyTheUrlCommandsKeysPickTheAddress) {
  const UINT kKeys[] = {VK_RETURN, VK_F12, VK_SPACE, VK_ESCAPE, 'A'};
  struct Row {
    int keys;
    bool picks[5];  // by Enter, F12, Space, Escape, A
  };
  const Row kRows[] = {
      {-1, {false, false, false, false, false}}, {0, {true, false, false, false, false}},
      {1, {false, true, false, false, false}},   {2, {false, false, true, false, false}},
      {3, {true, true, true, false, false}},     {4, {false, false, false, false, false}},
  };
  for (const Row& r : kRows) {
    for (int i = 0; i < 5; ++i) {
      SCOPED_TRACE(testing::Message() << "keys " << r.keys << ", key " << kKeys[i]);
      EXPECT_EQ(UrlKeyChosen(r.keys, kKeys[i]), r.picks[i]);
    }
  }
}

TEST(PasswordHash, Sha256KnownAnswers) {
  struct Row {
    std::string input;
    const char* digest;
  };
  const Row kRows[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.input.substr(0, 20));
    std::uint8_t d[32];
    Sha256(r.input.data(), r.input.size(), d);
    EXPECT_EQ(Hex(d, 32), r.digest);
  }
}

TEST(PasswordHash, Pbkdf2KnownAnswer) {
  // PBKDF2-HMAC-SHA-256, password "password", salt "saltSALTsaltSALT",
  // 4096 iterations (the first 32 bytes), as other implementations give it.
  const std::uint8_t salt[16] = {'s', 'a', 'l', 't', 'S', 'A', 'L', 'T',
                                 's', 'a', 'l', 't', 'S', 'A', 'L', 'T'};
  char out[kStoredPasswordSize];
  ASSERT_GT(ScramblePasswordWithSalt("password", salt, 4096, out), 0);
  EXPECT_STREQ(out,
               "pbkdf2-sha256$4096$73616c7453414c5473616c7453414c54$"
               "9150fa34ce258f3fa0f49507e456a9a71924f682d42f36482b2618848fd38e5a");
}

TEST(PasswordHash, EqualPasswordsVerifyAndSaltMakesTextsDiffer) {
  char a[kStoredPasswordSize], b[kStoredPasswordSize];
  ASSERT_GT(ScramblePassword("Open Sesame", a), 0);
  ASSERT_GT(ScramblePassword("Open Sesame", b), 0);
  EXPECT_STRNE(a, b) << "a fresh salt per store";
  EXPECT_TRUE(VerifyPassword("Open Sesame", a));
  EXPECT_TRUE(VerifyPassword("Open Sesame", b));
  EXPECT_EQ(std::strstr(a, "Open"), nullptr);

  // With the same salt the same password gives the same text.
  const std::uint8_t salt[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  char c[kStoredPasswordSize], d[kStoredPasswordSize];
  ScramblePasswordWithSalt("same", salt, 100, c);
  ScramblePasswordWithSalt("same", salt, 100, d);
  EXPECT_STREQ(c, d);
}

TEST(PasswordHash, EveryCharacterAndCaseMatters) {
  char stored[kStoredPasswordSize];
  ASSERT_GT(ScramblePassword("Secret@42", stored), 0);
  const char* kWrong[] = {"secret@42", "SECRET@42", "Secret@4", "Secret@42 ", "Secret#42",
                          "", "@", "Secret@42Secret@42"};
  for (const char* w : kWrong) {
    SCOPED_TRACE(w);
    EXPECT_FALSE(VerifyPassword(w, stored));
  }
  EXPECT_TRUE(VerifyPassword("Secret@42", stored));
  // Passwords the old scramble made equal (characters whose code times four
  // is the same modulo 256) differ here.
  char x[kStoredPasswordSize];
  ScramblePassword("A", x);
  EXPECT_FALSE(VerifyPassword("\xC1", x));
}

TEST(PasswordHash, EmptyPasswordStoresNothing) {
  char out[kStoredPasswordSize] = "untouched";
  EXPECT_EQ(ScramblePassword("", out), 0);
  EXPECT_STREQ(out, "untouched");
  EXPECT_FALSE(VerifyPassword("", ""));
  EXPECT_FALSE(VerifyPassword("x", ""));
}

// Texts not in the stored format cannot be read, and match no password.
TEST(PasswordHash, DamagedStoredTextsNeverMatch) {
  const std::uint8_t salt[16] = {};
  char good[kStoredPasswordSize];
  ScramblePasswordWithSalt("pw", salt, 10, good);
  ASSERT_TRUE(VerifyPassword("pw", good));
  EXPECT_TRUE(IsStoredPasswordReadable(good));
  std::vector<std::string> bad = {
      "",
      "4F1C0A9B77",  // another format
      "pw",
      std::string(good).substr(0, std::strlen(good) - 1),
      std::string(good) + "0",
      std::string("pbkdf2-sha256$0$") + (good + std::strlen("pbkdf2-sha256$10$")),
      std::string("pbkdf2-sha256$99999999999$") + (good + std::strlen("pbkdf2-sha256$10$")),
      std::string("PBKDF2") + (good + 6),
  };
  std::string upper = good;
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'f') ch = static_cast<char>(ch - 'a' + 'A');
  bad.push_back(upper);
  for (const std::string& s : bad) {
    SCOPED_TRACE(s);
    EXPECT_FALSE(VerifyPassword("pw", s.c_str()));
    EXPECT_FALSE(IsStoredPasswordReadable(s.c_str()));
  }
}

TEST(ExitAddress, OnlyWebAddressesReachTheShell) {
  struct Row {
    const char* address;
    bool ok;
  };
  const Row kRows[] = {
      {"http://example.com/", true},  {"HTTPS://example.com/a?b=c", true},
      {"http://", false},             {"file:///C:/windows/notepad.exe", false},
      {"C:\\windows\\notepad.exe", false}, {"notepad", false},
      {"mailto:a@b.c", false},       {"http://x\" /c calc", false},
      {"http://a\nb", false},        {"", false},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.address);
    EXPECT_EQ(IsWebAddress(r.address), r.ok);
  }
}

TEST(ExitAddress, OsClassOfEachWindowsKind) {
  // GetWindowsKind: 0 unknown, 1 95, 2 98/Me, 3 NT 4, 4 2000, 5 XP/2003.
  const int kRows[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 4}, {6, 0}, {-1, 0}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(r[0]);
    EXPECT_EQ(OsClassOfWindowsKind(r[0]), r[1]);
  }
}

// This process's HKEY_CLASSES_ROOT is a private key while a test runs, so
// that the browser it names reaches no other program.
class BrowserKeys : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(classes_.Ok());
    // Two programs that exist, named as a browser's registration would.
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    reg_ = std::string(system) + "\\reg.exe";
    cmd_ = std::string(system) + "\\cmd.exe";
  }
  void SetCommand(const char* subKey, const std::string& command) {
    ASSERT_TRUE(lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, subKey).SetText(nullptr, command));
  }
  static std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
  }
  static std::string Folder(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

  std::string reg_, cmd_;
  lwtest::CPrivateRegRoot classes_{HKEY_CLASSES_ROOT};
  lwtest::CRecordedShell shell_;
};

TEST_F(BrowserKeys, OnlyWebAddressesAreEverOpened) {
  SetCommand("HTTP\\shell\\open\\command", "\"" + reg_ + "\" \"%1\"");
  const char* kRefused[] = {"", "file:///C:/windows/notepad.exe", "C:\\windows\\notepad.exe",
                            "notepad", "http://", "http://x\" /c calc", "mailto:a@b.c"};
  for (int osClass : {0, 1, 2, 3, 4}) {
    for (const char* address : kRefused) {
      SCOPED_TRACE(testing::Message() << "class " << osClass << " '" << address << "'");
      EXPECT_FALSE(OpenExitAddress(address, osClass));
    }
  }
  EXPECT_FALSE(OpenExitAddress(nullptr, 0));
  EXPECT_TRUE(shell_.calls.empty());
}

TEST_F(BrowserKeys, OtherSystemsLetTheShellOpenTheAddress) {
  for (int osClass : {0, 1, 2, 3}) {
    SCOPED_TRACE(osClass);
    shell_.calls.clear();
    EXPECT_TRUE(OpenExitAddress("http://example.com/a b?c=d", osClass));
    ASSERT_EQ(shell_.calls.size(), 1u);
    const lwtest::CRecordedShell::Call& c = shell_.calls[0];
    EXPECT_EQ(c.verb, "open");
    EXPECT_EQ(c.file, "http://example.com/a b?c=d");
    EXPECT_EQ(c.params, "");
    EXPECT_EQ(c.folder, "");
    EXPECT_EQ(c.show, SW_SHOWNOACTIVATE);
    EXPECT_EQ(c.mask, 0u);
  }
}

// Windows 2000 and XP: the browser of the default verb, else of "open", is
// started with the address as one quoted argument.
TEST_F(BrowserKeys, Windows2000AndXpStartTheBrowserWithTheAddress) {
  struct Row {
    const char* name;
    const char* verb;              // default verb of HTTP\shell, or null
    std::string verbCommand;       // its command
    std::string openCommand;       // HTTP\shell\open\command, or empty
    std::string expected;          // the browser started, or empty for none
  };
  const Row kRows[] = {
      {"open command", nullptr, "", "\"" + reg_ + "\" -nohome \"%1\"", Lower(reg_)},
      {"unquoted with blanks", nullptr, "", "  " + reg_ + " %1", Lower(reg_)},
      {"default verb first", "browse", "\"" + cmd_ + "\" \"%1\"", "\"" + reg_ + "\" \"%1\"",
       Lower(cmd_)},
      {"default verb's browser missing", "browse", "\"C:\\nowhere\\browser.exe\" %1",
       "\"" + reg_ + "\" %1", Lower(reg_)},
      {"no browser", nullptr, "", "", ""},
      {"open command's browser missing", nullptr, "", "C:\\nowhere\\browser.exe %1", ""},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    lwtest::CRegKeyPath(HKEY_CLASSES_ROOT, "HTTP").DeleteTree();
    if (r.verb) {
      SetCommand("HTTP\\shell", r.verb);
      SetCommand((std::string("HTTP\\shell\\") + r.verb + "\\command").c_str(), r.verbCommand);
    }
    if (!r.openCommand.empty()) SetCommand("HTTP\\shell\\open\\command", r.openCommand);
    shell_.calls.clear();
    EXPECT_EQ(OpenExitAddress("http://example.com/a b", 4), !r.expected.empty());
    if (r.expected.empty()) {
      EXPECT_TRUE(shell_.calls.empty());
      continue;
    }
    ASSERT_EQ(shell_.calls.size(), 1u);
    const lwtest::CRecordedShell::Call& c = shell_.calls[0];
    EXPECT_EQ(c.verb, "open");
    EXPECT_EQ(c.file, r.expected);
    EXPECT_EQ(c.params, "\"http://example.com/a b\"");
    EXPECT_EQ(Lower(c.folder), Folder(r.expected));
    EXPECT_EQ(c.show, SW_SHOWNORMAL);
    EXPECT_EQ(c.mask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT));
  }
}

// The saver stays until the browser it started has ended.
TEST_F(BrowserKeys, Windows2000AndXpWaitForTheBrowser) {
  SetCommand("HTTP\\shell\\open\\command", "\"" + reg_ + "\" \"%1\"");
  HANDLE browserEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE handedOut = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), browserEnded, GetCurrentProcess(), &handedOut,
                              0, FALSE, DUPLICATE_SAME_ACCESS));
  shell_.process = handedOut;
  struct Opening {
    bool result = false;
  } opening;
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        static_cast<Opening*>(p)->result = OpenExitAddress("https://example.com/", 4);
        return 0;
      },
      &opening, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 300), static_cast<DWORD>(WAIT_TIMEOUT))
      << "returned while the browser runs";
  SetEvent(browserEnded);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(opening.result);
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(handedOut, &flags)) << "the browser's handle is closed";
  CloseHandle(thread);
  CloseHandle(browserEnded);
}

// Records where the script reader was asked to read.
class RecordingPlayback : public CSaverPlayback {
 public:
  ULONGLONG offset = 0, length = 0;
  int calls = 0;
  bool LoadScript(HANDLE, ULONGLONG o, ULONGLONG l, char* reason, int size) override {
    ++calls;
    offset = o;
    length = l;
    return true;
  }
};

std::string TempPath(const char* name) {
  return lwtest::TempPath(name + std::to_string(GetCurrentProcessId()));
}

// The image, the 4-byte word, the document, the settings byte, the flag.
std::vector<unsigned char> Saver(DWORD word, const std::string& doc, int flag) {
  std::vector<unsigned char> b(carried::kRuntimeImageSize, 0);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(word >> (8 * i)));
  b.insert(b.end(), doc.begin(), doc.end());
  b.push_back(0);
  b.push_back(static_cast<unsigned char>(flag));
  return b;
}

TEST(Payload, FramingIsCheckedBeforeTheDocumentIsRead) {
  struct Row {
    const char* name;
    std::vector<unsigned char> file;
    const char* reason;  // null: handed to the script reader
  };
  std::vector<unsigned char> tooShort(carried::kRuntimeImageSize + 5, 0);
  const Row kRows[] = {
      {"image only", std::vector<unsigned char>(carried::kRuntimeImageSize, 0),
       "the saver file has no payload"},
      {"truncated payload", tooShort, "the saver file has no payload"},
      {"no document", Saver(0, "", 0), "the payload holds no document"},
      {"word too large", Saver(100, "abcd", 0), "the payload word is not the document's length"},
      {"word too small", Saver(3, "abcd", 0), "the payload word is not the document's length"},
      {"bad flag", Saver(4, "abcd", 2), "the payload's flag is neither 0 nor 1"},
      {"saver", Saver(4, "abcd", 0), nullptr},
      {"test-run saver", Saver(4, "abcd", 1), nullptr},
  };
  const std::string path = TempPath("payload");
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    EXPECT_TRUE(lwtest::WriteAll(path, r.file));
    RecordingPlayback playback;
    CSaverPlayback* old = SetSaverPlayback(&playback);
    CSaverApp app;
    char reason[200] = "";
    const bool ok = app.ReadPayload(path.c_str(), reason, sizeof reason);
    SetSaverPlayback(old);
    if (r.reason) {
      EXPECT_FALSE(ok);
      EXPECT_STREQ(reason, r.reason);
      EXPECT_EQ(playback.calls, 0);
    } else {
      EXPECT_TRUE(ok) << reason;
      EXPECT_EQ(playback.offset, carried::kRuntimeImageSize + 4);
      EXPECT_EQ(playback.length, 4u);
      EXPECT_EQ(app.GetPayloadWord(), 4u);
      EXPECT_EQ(app.IsTestRun(), r.file.back() == 1);
    }
  }
  DeleteFileA(path.c_str());
  CSaverApp app;
  char reason[200] = "";
  EXPECT_FALSE(app.ReadPayload((path + ".missing").c_str(), reason, sizeof reason));
  EXPECT_STREQ(reason, "the saver file cannot be opened");
}

TEST(Payload, WithoutAScriptReaderTheSaverDoesNotStart) {
  const std::string path = TempPath("payload-default");
  ASSERT_TRUE(lwtest::WriteAll(path, Saver(4, "abcd", 0)));
  CSaverApp app;
  char reason[200] = "";
  EXPECT_FALSE(app.ReadPayload(path.c_str(), reason, sizeof reason));
  EXPECT_STREQ(reason, "this saver has no script reader");
  DeleteFileA(path.c_str());
}

// A private speed key, so that the savers of other tests keep theirs.
struct SpeedKey : lwtest::CScratchKey {
  SpeedKey()
      : CScratchKey(HKEY_CURRENT_USER,
                    "Software\\Corvanta\\Screen Saver Test " + std::to_string(GetCurrentProcessId())) {}
  void Write(const char* sysInfo, DWORD times) {
    ASSERT_TRUE(SetText("SysInfo", sysInfo));
    ASSERT_TRUE(SetNumber("Times", times));
  }
  std::string SysInfo() const { return Text("SysInfo"); }
  DWORD Times() const { return Number("Times"); }
};

// A calibration in the key as the saver window runs it: begun, counted
// while the caller goes on, finished. True when it counted.
bool CalibrateSpeedIn(const SpeedKey& key, UINT* times) {
  CRegistrySpeedStore store(HKEY_CURRENT_USER, key.Path().c_str());
  CSpeedCalibration calibration(store);
  if (!calibration.Begin(times)) return false;
  EXPECT_TRUE(calibration.IsCounting());
  Sleep(100);
  calibration.Finish(times);
  EXPECT_FALSE(calibration.IsCounting());
  return true;
}

TEST(Calibration, CountsOnceAndReusesTheStoredValue) {
  SpeedKey key;
  char current[300];
  CurrentSystemText(current, sizeof current);

  UINT times = 0;
  EXPECT_TRUE(CalibrateSpeedIn(key, &times));
  EXPECT_GT(times, 0u);
  EXPECT_EQ(key.SysInfo(), current);
  EXPECT_EQ(key.Times(), times);

  key.Write(current, 12345);
  times = 0;
  EXPECT_FALSE(CalibrateSpeedIn(key, &times)) << "the second run reuses Times";
  EXPECT_EQ(times, 12345u);

  // Another machine's text, or a zero count, counts again.
  const struct {
    const char* sysInfo;
    DWORD times;
  } kRecount[] = {{"4096,65536,1,1,2,586,65536,6,1", 12345}, {current, 0}};
  for (const auto& r : kRecount) {
    SCOPED_TRACE(testing::Message() << r.sysInfo << " / " << r.times);
    key.Write(r.sysInfo, r.times);
    EXPECT_TRUE(CalibrateSpeedIn(key, &times));
    EXPECT_EQ(key.SysInfo(), current);
    EXPECT_EQ(key.Times(), times);
    EXPECT_NE(times, 12345u);
    EXPECT_GT(times, 0u);
  }
}

// A count cut short, as when the saver ends during it, stores nothing, so
// that the next run counts again, and leaves no counting thread behind.
TEST(Calibration, ACountCutShortStoresNothing) {
  SpeedKey key;
  key.Write("4096,65536,1,1,2,586,65536,6,1", 12345);
  const int threads = lwtest::CountOwnThreads();
  for (const bool cancelled : {true, false}) {
    SCOPED_TRACE(cancelled ? "cancelled" : "dropped");
    UINT times = 0;
    {
      CRegistrySpeedStore store(HKEY_CURRENT_USER, key.Path().c_str());
      CSpeedCalibration calibration(store);
      ASSERT_TRUE(calibration.Begin(&times));
      if (cancelled) {
        calibration.Cancel();
        EXPECT_FALSE(calibration.IsCounting());
        // A finish after the cancel has nothing to store.
        calibration.Finish(&times);
      }
    }
    EXPECT_EQ(key.Times(), 12345u);
    EXPECT_EQ(key.SysInfo(), "4096,65536,1,1,2,586,65536,6,1");
    EXPECT_EQ(lwtest::CountOwnThreads(), threads);
  }
}

}  // namespace
