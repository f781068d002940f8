// The framework core: strings, arrays, files, the memory file and the
// archive's stored forms.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/Archive.h"
#include "framework/Collections.h"
#include "framework/Exceptions.h"
#include "framework/Files.h"
#include "framework/Strings.h"

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
  reader.SetHandle(handle);
  CArchive in(&reader, CArchive::load);
  int32_t v = 0;
  for (int i = 0; i < 100; ++i) in >> v;
  EXPECT_EQ(v, 99);
}

}  // namespace
