// The framework core: strings, arrays, files, the memory file, the
// archive's stored forms, the registry key, the lock, trace and assert, and
// the report of a caught exception.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Archive.h"
#include "framework/Collections.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Strings.h"
#include "framework/Sync.h"
#include "framework/Trace.h"
#include "tests/support/files.h"
#include "tests/support/recorders.h"
#include "tests/framework/CountedException.h"

namespace {

std::vector<uint8_t> Bytes(CMemFile& file) {
  const uint8_t* p = file.GetBuffer();
  return std::vector<uint8_t>(p, p + file.GetLength());
}

// Runs fn and returns the archive exception's cause, or -1 when none.
template <typename Fn>
int ArchiveCause(Fn fn) {
  try {
    fn();
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST(CStringTest, HoldsBytesAndFormats) {
  CString s("Hello");
  s += ", ";
  s += CString("World");
  EXPECT_EQ(s, "Hello, World");
  EXPECT_EQ(s.GetLength(), 12);
  EXPECT_EQ(s.Left(5), "Hello");
  EXPECT_EQ(s.Mid(7), "World");
  EXPECT_EQ(s.Mid(7, 2), "Wo");
  EXPECT_EQ(s.Right(3), "rld");
  EXPECT_EQ(s.Find("World"), 7);
  EXPECT_EQ(s.Find('x'), -1);
  EXPECT_EQ(s.ReverseFind('o'), 8);
  EXPECT_EQ(s.CompareNoCase("hello, world"), 0);

  CString f;
  f.Format("RGB(%d, %d, %d) %.11g %s", 255, 0, 7, 2.5, "x");
  EXPECT_EQ(f, "RGB(255, 0, 7) 2.5 x");
  CString big;
  big.Format("%s", CString('a', 1000).GetString());
  EXPECT_EQ(big.GetLength(), 1000);

  CString withNul("a\0b", 3);
  EXPECT_EQ(withNul.GetLength(), 3);
  CString copy = withNul;
  EXPECT_TRUE(copy == withNul);

  CString t("  x y \t");
  t.Trim();
  EXPECT_EQ(t, "x y");
  EXPECT_EQ(t.Replace(" ", "--"), 1);
  EXPECT_EQ(t, "x--y");
  t.Delete(1, 2);
  EXPECT_EQ(t, "xy");
  t.Insert(1, "ab");
  EXPECT_EQ(t, "xaby");
  s = s.Mid(1);  // assignment from a part of itself
  EXPECT_EQ(s, "ello, World");
}

TEST(CStringTest, BufferAccess) {
  CString s;
  char* p = s.GetBuffer(10);
  strcpy(p, "abc");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "abc");
  s.GetBufferSetLength(2);
  EXPECT_EQ(s, "ab");
}

TEST(CObArrayTest, AddInsertRemove) {
  CObArray a;
  CObject x, y, z;
  a.Add(&x);
  a.Add(&z);
  a.InsertAt(1, &y);
  ASSERT_EQ(a.GetSize(), 3);
  EXPECT_EQ(a[0], &x);
  EXPECT_EQ(a[1], &y);
  EXPECT_EQ(a[2], &z);
  a.RemoveAt(0);
  EXPECT_EQ(a[0], &y);
  for (int i = 0; i < 1000; ++i) a.Add(&x);
  EXPECT_EQ(a.GetSize(), 1002);
  a.RemoveAll();
  EXPECT_TRUE(a.IsEmpty());

  CStringArray s;
  s.Add("one");
  s.Add("two");
  s.InsertAt(0, "zero");
  EXPECT_EQ(s[0], "zero");
  EXPECT_EQ(s[2], "two");
  s.RemoveAt(1);
  EXPECT_EQ(s[1], "two");
}

TEST(CArchiveTest, NumbersAreLittleEndian) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    ar << static_cast<int32_t>(0x01020304) << 4.7f << static_cast<uint16_t>(0xABCD)
       << static_cast<uint8_t>(9);
    ar.Close();
  }
  std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0x66, 0x66, 0x96, 0x40, 0xCD, 0xAB, 9};
  EXPECT_EQ(Bytes(file), expected);

  file.SeekToBegin();
  CArchive in(&file, CArchive::load);
  int32_t i;
  float f;
  uint16_t w;
  uint8_t b;
  in >> i >> f >> w >> b;
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(f, 4.7f);
  EXPECT_EQ(w, 0xABCD);
  EXPECT_EQ(b, 9);
  EXPECT_EQ(ArchiveCause([&] { in >> i; }), CArchiveException::endOfFile);
}

TEST(CArchiveTest, StringLengthPrefixes) {
  struct Case {
    int length;
    std::vector<uint8_t> prefix;
  } cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {300, {0xFF, 0x2C, 0x01}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    CMemFile file;
    CString text('q', c.length);
    {
      CArchive ar(&file, CArchive::store);
      ar << text;
    }  // the destructor flushes
    std::vector<uint8_t> bytes = Bytes(file);
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + c.prefix.size()), c.prefix);
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    CString back;
    in >> back;
    EXPECT_TRUE(back == text);
  }
}

TEST(CArchiveTest, RefusesBadStringLengths) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int cause;
  } cases[] = {
      {"short text", {0x05, 'a', 'b'}, CArchiveException::endOfFile},
      {"no length", {0xFF, 0x01}, CArchiveException::endOfFile},
      {"huge 4-byte length", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
       CArchiveException::endOfFile},
      {"reserved marker", {0xFF, 0xFE, 0xFF, 0x00}, CArchiveException::badSchema},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMemFile file(c.bytes.data(), static_cast<unsigned>(c.bytes.size()));
    CArchive in(&file, CArchive::load);
    CString s;
    EXPECT_EQ(ArchiveCause([&] { in >> s; }), c.cause);
  }
}

TEST(CArchiveTest, LargeBlocksAndBytesLeft) {
  std::vector<uint8_t> data(10000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 512);
    ar << static_cast<int32_t>(1);
    ar.Write(data.data(), static_cast<unsigned>(data.size()));
    ar.Close();
  }
  ASSERT_EQ(file.GetLength(), 10004u);
  file.SeekToBegin();
  CArchive in(&file, CArchive::load, 512);
  int32_t one;
  in >> one;
  EXPECT_EQ(in.GetBytesLeft(), 10000u);
  std::vector<uint8_t> back(10000);
  in.ReadExactly(back.data(), 10000);
  EXPECT_EQ(back, data);
  EXPECT_EQ(in.GetBytesLeft(), 0u);
}

TEST(CArchiveTest, WrongDirectionIsRefused) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  int32_t i;
  EXPECT_EQ(ArchiveCause([&] { ar >> i; }), CArchiveException::writeOnly);
}

TEST(CFileTest, WritesReadsAndReportsMissingFiles) {
  char dir[MAX_PATH], path[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "lwf", 0, path);
  {
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << CString("stored") << static_cast<int32_t>(-2);
    ar.Close();
    file.Close();
  }
  {
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_EQ(file.GetLength(), 11u);
    CArchive ar(&file, CArchive::load);
    CString s;
    int32_t v;
    ar >> s >> v;
    EXPECT_EQ(s, "stored");
    EXPECT_EQ(v, -2);
  }
  CFile::Remove(path);

  CFile missing;
  CFileException error;
  EXPECT_FALSE(missing.Open(path, CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  bool thrown = false;
  try {
    CFile::Remove(path);
  } catch (CFileException* e) {
    thrown = e->m_cause == CFileException::fileNotFound;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

TEST(CMemFileTest, GrowsSeeksAndDetaches) {
  CMemFile file(16);
  for (int i = 0; i < 100; ++i) {
    uint8_t b = static_cast<uint8_t>(i);
    file.Write(&b, 1);
  }
  EXPECT_EQ(file.GetLength(), 100u);
  file.Seek(-10, CFile::end);
  uint8_t b;
  EXPECT_EQ(file.Read(&b, 1), 1u);
  EXPECT_EQ(b, 90);
  file.Seek(0, CFile::end);
  EXPECT_EQ(file.Read(&b, 1), 0u);
  uint8_t* block = file.Detach();
  EXPECT_EQ(block[42], 42);
  free(block);
  EXPECT_EQ(file.GetLength(), 0u);

  uint8_t fixed[4] = {1, 2, 3, 4};
  CMemFile view(fixed, 4);
  bool thrown = false;
  try {
    view.Seek(0, CFile::end);
    view.Write(fixed, 1);  // a caller's buffer cannot grow
  } catch (CMemoryException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

}  // namespace

namespace {

TEST(CSharedFileTest, HandsOverAGlobalBlock) {
  HGLOBAL handle;
  {
    CSharedFile file(16);
    CArchive ar(&file, CArchive::store, 64);
    for (int i = 0; i < 100; ++i) ar << static_cast<int32_t>(i);
    ar.Close();
    EXPECT_EQ(file.GetLength(), 400u);
    handle = static_cast<HGLOBAL>(file.Detach());
  }
  ASSERT_NE(handle, nullptr);
  ASSERT_GE(GlobalSize(handle), 400u);
  CSharedFile reader;
  reader.SetHandle(handle, true);
  CArchive in(&reader, CArchive::load);
  int32_t v = 0;
  for (int i = 0; i < 100; ++i) in >> v;
  EXPECT_EQ(v, 99);
}

}  // namespace

namespace {

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class RegistryKey : public ::testing::Test {
 protected:
  static constexpr const char* kPath = "Software\\LumenweaveTests\\RegistryKey";
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\LumenweaveTests"); }
};

TEST_F(RegistryKey, ReadsOnlyValuesOfTheKindAskedFor) {
  {
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kPath), ERROR_SUCCESS);
    EXPECT_EQ(key.SetDWORD("Number", 151), ERROR_SUCCESS);
    EXPECT_EQ(key.SetString("Text", "halcyon"), ERROR_SUCCESS);
    const BYTE two[2] = {1, 0};
    RegSetValueExA(key.GetHandle(), "Short", 0, REG_BINARY, two, 2);
    RegSetValueExA(key.GetHandle(), "Expand", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>("%TEMP%"), 7);
    RegSetValueExA(key.GetHandle(), "Unended", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    RegSetValueExA(key.GetHandle(), "Long", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>("much longer than eight"), 23);
    EXPECT_EQ(key.SetString("Gone", "x"), ERROR_SUCCESS);
    EXPECT_EQ(key.DeleteValue("Gone"), ERROR_SUCCESS);
  }
  const CRegKey key(HKEY_CURRENT_USER, kPath);
  ASSERT_TRUE(key.IsOpen());
  struct Row {
    const char* name;
    bool isNumber;
    DWORD number;
    bool isText;
    const char* text;  // read into eight bytes
  } const kRows[] = {
      {"Number", true, 151, false, ""},     {"Text", false, 0, true, "halcyon"},
      {"Short", false, 0, false, ""},       {"Expand", false, 0, true, "%TEMP%"},
      {"Unended", false, 0, true, "abc"},   {"Long", false, 0, false, ""},
      {"Gone", false, 0, false, ""},        {"Missing", false, 0, false, ""},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    DWORD number = 7;
    EXPECT_EQ(key.QueryDWORD(r.name, &number), r.isNumber);
    EXPECT_EQ(number, r.isNumber ? r.number : 7u);
    char text[8];
    memset(text, 'x', sizeof text);
    EXPECT_EQ(key.QueryString(r.name, text, sizeof text), r.isText);
    EXPECT_STREQ(text, r.text);
  }
}

TEST_F(RegistryKey, ClosesOnEveryPathAndMoves) {
  CRegKey missing(HKEY_CURRENT_USER, "Software\\LumenweaveTests\\NoSuchKey");
  EXPECT_FALSE(missing.IsOpen());
  DWORD number = 0;
  EXPECT_FALSE(missing.QueryDWORD("Number", &number));
  EXPECT_EQ(missing.SetDWORD("Number", 1), ERROR_INVALID_HANDLE);

  HKEY raw = nullptr;
  {
    CRegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, kPath), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDWORD("Number", 5), ERROR_SUCCESS);
    CRegKey moved(static_cast<CRegKey&&>(key));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(moved.QueryDWORD("Number", &number));
    EXPECT_EQ(number, 5u);
    raw = moved.GetHandle();
  }
  // The handle was closed with the object that held it last.
  DWORD values = 0;
  EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  // Opening again closes what the object held before.
  CRegKey key(HKEY_CURRENT_USER, kPath);
  ASSERT_TRUE(key.IsOpen());
  EXPECT_NE(key.Open(HKEY_CURRENT_USER, "Software\\LumenweaveTests\\NoSuchKey"), ERROR_SUCCESS);
  EXPECT_FALSE(key.IsOpen());
}

TEST(Trace, FormatsALineForTheSinkAndCutsALongOne) {
  lwtest::CRecordedTrace trace;
  LwTrace("%s is %d\n", "seven", 7);
  LwTrace("%s", std::string(600, 'a').c_str());
  const std::vector<std::string> lines = trace.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "seven is 7");
  EXPECT_EQ(lines[1], std::string(511, 'a'));
}

#ifdef NDEBUG
// In a release build a failed assert leaves its line and goes on; a debug
// build stops in the debugger instead.
TEST(Trace, AFailedAssertLeavesALine) {
  lwtest::CRecordedTrace trace;
  const int two = 2;
  LW_ASSERT(two == 2);
  LW_ASSERT(two == 3);
  const std::vector<std::string> lines = trace.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Assertion failed: two == 3 (core_test.cpp:", 0), 0u) << lines[0];
}
#endif

TEST(Exceptions, ACaughtExceptionIsReportedOnceAndOursAreDeleted) {
  struct Row {
    const char* name;
    void (*raise)();
    const char* line;
  } const kRows[] = {
      {"framework", [] { throw new CCountedException; }, "Probe: Counted failure."},
      {"memory", [] { AfxThrowMemoryException(); }, "Probe: Out of memory."},
      {"standard", [] { throw std::runtime_error("bad state"); }, "Probe: bad state"},
      {"other", [] { throw 42; }, "Probe: an unknown exception"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.name);
    lwtest::CRecordedTrace trace;
    try {
      r.raise();
    } catch (...) {
      AfxReportCaughtException("Probe");
    }
    EXPECT_EQ(trace.Lines(), std::vector<std::string>{r.line});
    EXPECT_EQ(CCountedException::Live(), 0);
  }
}

TEST(Lock, HoldsTheSectionForItsScope) {
  struct Shared {
    CCriticalSection section;
    CEvent entered;
  } shared;
  HANDLE worker;
  {
    CLock lock(shared.section);
    worker = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
          auto* s = static_cast<Shared*>(p);
          CLock inner(s->section);
          s->entered.SetEvent();
          return 0;
        },
        &shared, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    EXPECT_FALSE(shared.entered.Wait(200)) << "the worker got in while the lock was held";
  }
  EXPECT_TRUE(shared.entered.Wait(5000));
  EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
  CloseHandle(worker);
}

}  // namespace

// ---------------------------------------------------------------------------
// Names outside the code page.

TEST(WidePathTest, ANameOutsideTheCodePageGoesByTheShortNameOfTheSameFile) {
  lwtest::CTempFolder folder("widepath");
  const std::wstring base = lwtest::Widen(folder.Path());
  const std::wstring chinese = base + L"\u4e2d\u6587 notes.txt";
  const std::wstring folderName = base + L"\u5199\u771f";
  ASSERT_TRUE(lwtest::WriteAllWide(chinese, {'z', 'h'}));
  ASSERT_TRUE(::CreateDirectoryW(folderName.c_str(), nullptr));
  ASSERT_TRUE(lwtest::WriteAllWide(folderName + L"\\\u65e5.txt", {'r', 'i'}));
  ASSERT_TRUE(lwtest::WriteAll(folder.File("a.txt"), {'a'}));
  ASSERT_TRUE(lwtest::WriteAllWide(base + L"caf\u00e9.txt", {'e'}));

  struct Row {
    std::wstring wide;
    bool found;
    lwtest::Bytes bytes;
  };
  const Row rows[] = {
      {chinese, true, {'z', 'h'}},
      {folderName + L"\\\u65e5.txt", true, {'r', 'i'}},
      // The code page holds it: the name itself.
      {base + L"caf\u00e9.txt", true, {'e'}},
      // Not there, so no short name; never the "a.txt" a best fit makes of it.
      {base + L"\u0101.txt", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wide.size());
    CString ansi;
    EXPECT_EQ(AnsiPathFromWide(row.wide.c_str(), ansi), row.found) << ansi.GetString();
    if (!row.found) continue;
    EXPECT_FALSE(IsOutsideCodePage(ansi)) << ansi.GetString();
    EXPECT_EQ(lwtest::ReadAll(ansi.GetString()), row.bytes) << ansi.GetString();
  }
  CString plain;
  ASSERT_TRUE(AnsiPathFromWide((base + L"caf\u00e9.txt").c_str(), plain));
  EXPECT_EQ(std::string(plain), folder.File("caf\xe9.txt"));

  // A command line: the other arguments as they are, the name quoted by its
  // short name; a name without one keeps the stand-ins that open nothing.
  CString shortName;
  ASSERT_TRUE(AnsiPathFromWide(chinese.c_str(), shortName));
  EXPECT_EQ(std::string(AnsiCommandLineFromWide((L"/s  \"" + chinese + L"\" x").c_str())),
            "/s  \"" + std::string(shortName) + "\" x");
  CString shortFolder;
  ASSERT_TRUE(AnsiPathFromWide(folderName.c_str(), shortFolder));
  EXPECT_EQ(std::string(AnsiCommandLineFromWide((L"-p " + folderName).c_str())),
            "-p \"" + std::string(shortFolder) + "\"");
  const std::string missing(AnsiCommandLineFromWide((base + L"\u0101.txt").c_str()));
  EXPECT_TRUE(IsOutsideCodePage(missing.c_str())) << missing;
  EXPECT_EQ(std::string(AnsiCommandLineFromWide(L"plain \"two words\"")), "plain \"two words\"");

  // A folder listing's entry.
  EXPECT_STREQ(OpenableFoundName("??.txt", "___D~1.TXT"), "___D~1.TXT");
  EXPECT_STREQ(OpenableFoundName("a.txt", ""), "a.txt");
  EXPECT_STREQ(OpenableFoundName("??.txt", ""), "??.txt");
}
