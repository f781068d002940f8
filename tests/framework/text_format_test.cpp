// The fixed-buffer formatter: the text, its length and the terminator at
// every fit (short, exact, one over, far over), and the conversions the
// programs format with.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "framework/Strings.h"
#include "framework/TextFormat.h"

namespace {

TEST(TextFormat, LengthAndTerminatorAtEveryFit) {
  struct Case {
    const char* name;
    size_t size;
    const char* text;  // what the buffer holds
    int result;
  } cases[] = {
      {"room to spare", 16, "abc456", 6},
      {"exactly fills the buffer", 7, "abc456", 6},
      {"one byte over", 6, "abc45", -1},
      {"far over", 3, "ab", -1},
      {"only the terminator fits", 1, "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[32];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(FormatText(buffer, c.size, "%s%d", "abc", 456), c.result);
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[c.size], 'X') << "nothing written past the buffer";
  }
}

TEST(TextFormat, EmptyBufferIsLeftAlone) {
  char buffer[4] = {'X', 'X', 'X', 'X'};
  EXPECT_EQ(FormatText(buffer, 0, "%s", "abc"), -1);
  EXPECT_EQ(buffer[0], 'X');
  EXPECT_EQ(FormatText(nullptr, 8, "%s", "abc"), -1);
  EXPECT_EQ(FormatText(buffer, sizeof buffer, "%s", ""), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(TextFormat, ConversionsTheProgramsUse) {
  struct Case {
    const char* name;
    std::string got;
    const char* expected;
  };
  char b[7][96];
  FormatText(b[0], sizeof b[0], "%s-%lu.%s", "desktop", 4294967295ul, "bmp");
  FormatText(b[1], sizeof b[1], "%d|%u|%x", -42, 4294967295u, 0xBEEFu);
  FormatText(b[2], sizeof b[2], "Software\\%s\\%s", "Key", "Name");
  FormatText(b[3], sizeof b[3], "Please enter an integer between %d and %d.", -5, 5);
  FormatText(b[4], sizeof b[4], "%s%u$%s$%s", "p$", 1000u, "aa", "bb");
  FormatText(b[5], sizeof b[5], "%.2f|%.11g", 1.005, 0.1);
  FormatText(b[6], sizeof b[6], "%c%5d|%-3s|", 'A', 42, "x");
  const Case cases[] = {
      {"name, process id, extension", b[0], "desktop-4294967295.bmp"},
      {"signed, unsigned, hex", b[1], "-42|4294967295|beef"},
      {"registry path", b[2], "Software\\Key\\Name"},
      {"dialog message", b[3], "Please enter an integer between -5 and 5."},
      {"stored password", b[4], "p$1000$aa$bb"},
      {"floating point", b[5], "1.00|0.1"},
      {"character, widths", b[6], "A   42|x  |"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.expected);
  }
  // Pointers come out as a fixed number of hex digits, one text per value.
  char p1[32], p2[32];
  FormatText(p1, sizeof p1, "%p", reinterpret_cast<void*>(0x1000));
  FormatText(p2, sizeof p2, "%p", reinterpret_cast<void*>(0x2000));
  EXPECT_STRNE(p1, p2);
  EXPECT_EQ(std::strlen(p1), std::strlen(p2));
}

// CString's formatting goes through the same formatter, growing its buffer
// until the text fits.
TEST(TextFormat, StringFormatGrowsToAnyLength) {
  const std::string longText(1000, 'w');
  CString s;
  s.Format("<%s>%d", longText.c_str(), 7);
  EXPECT_EQ(std::string(s), "<" + longText + ">7");
  CString exact;
  exact.Format("%s", std::string(128, 'e').c_str());
  EXPECT_EQ(exact.GetLength(), 128);
}

}  // namespace
