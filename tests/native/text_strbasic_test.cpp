#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/strbasic.h"

// Shift-JIS characters whose second byte equals an ASCII delimiter.
#define SJ_HYO "\x95\x5C"   // second byte '\'
#define SJ_SO "\x83\x5C"    // second byte '\'
#define SJ_NOU "\x94\x5C"   // second byte '\'
#define SJ_KOU "\x8D\x5C"   // second byte '\'

static std::string Bytes(const char* p, size_t n) { return std::string(p, n); }

TEST(TextParseNumber, LeadingDigitsOnly) {
  struct { const char* text; int32_t expected; } cases[] = {
      {"1999/4", 1999}, {"04", 4}, {"-3", 0}, {" 5", 0}, {"", 0}, {"12ab", 12},
      {"4294967297", 1},  // wraps, no overflow trap
  };
  for (auto& c : cases)
    EXPECT_EQ(c.expected, ParseNumber(c.text)) << "input \"" << c.text << "\"";
}

TEST(TextSplitFields, CountsAndLayout) {
  struct {
    const char* text;
    const char* delimiters;
    uint32_t expected;
    std::vector<std::string> fields;  // walked as start + length + 1
  } cases[] = {
      {"1/1 1948 Name", " \t", 3, {"1/1", "1948", "Name"}},
      {"a  b", " \t", 3, {"a", "b", ""}},
      {"a b ", " \t", 2, {"a", "b", ""}},
      {"", " \t", 1, {""}},
      {" a", " \t", 2, {"", "a"}},
      {"a\t\t\tb c", " \t", 5, {"a", "b", "c"}},
      {"a,,", ",", 2, {"a", "", ""}},
      {"1999/04-15", "/-", 3, {"1999", "04", "15"}},
      {SJ_HYO " x", " \\", 2, {SJ_HYO, "x"}},
      {"a" SJ_SO "b\\c", "\\", 2, {"a" SJ_SO "b", "c"}},
  };
  for (auto& c : cases) {
    std::string buf(c.text);
    size_t length = buf.size();
    buf.push_back('\0');
    buf.append(4, 'Z');  // guard bytes past the terminator must survive
    uint32_t got = SplitFields(&buf[0], c.delimiters);
    EXPECT_EQ(c.expected, got) << "input \"" << c.text << "\"";
    size_t pos = 0;
    for (auto& f : c.fields) {
      ASSERT_LE(pos, length) << "input \"" << c.text << "\"";
      EXPECT_EQ(f, std::string(buf.c_str() + pos)) << "input \"" << c.text << "\" at " << pos;
      pos += strlen(buf.c_str() + pos) + 1;
    }
    size_t written = 0;
    for (auto& f : c.fields) written += f.size() + 1;
    for (size_t i = written; i < length; ++i)
      EXPECT_EQ(0, buf[i]) << "input \"" << c.text << "\" stale byte at " << i;
    EXPECT_EQ(0, buf[length]);
    EXPECT_EQ("ZZZZ", buf.substr(length + 1, 4)) << "input \"" << c.text << "\"";
  }
}

TEST(TextSplitFields, LeadByteBeforeTerminatorEndsWalk) {
  char buf[] = "a \x95";
  EXPECT_EQ(2u, SplitFields(buf, " "));
  EXPECT_EQ(Bytes("a\0\x95\0", 4), Bytes(buf, 4));
}

TEST(TextFindChar, DoubleByteAware) {
  const char path[] = "C:\\DXL\\Tarnivel.dxl";
  EXPECT_EQ(path + 15, FindLastChar(path, '.'));
  EXPECT_EQ(path + 6, FindLastChar(path, '\\'));
  EXPECT_EQ(path + 2, FindChar(path, '\\'));

  struct { const char* text; char c; int first; int last; } cases[] = {
      {SJ_HYO, '\\', -1, -1},
      {"\\" SJ_HYO SJ_SO, '\\', 0, 0},
      {SJ_NOU "\\" SJ_KOU, '\\', 2, 2},
      {"C:\\" SJ_HYO "\\x", '\\', 2, 5},
      {"abc", 'z', -1, -1},
      {"ab\x95", '\\', -1, -1},  // lone lead byte at the end
      {"a\xE9" "b", (char)0xE9, -1, -1},  // bytes of 0x80 and above are never found
      {"abc", '\0', -1, -1},
  };
  for (auto& c : cases) {
    char* first = FindChar(c.text, c.c);
    char* last = FindLastChar(c.text, c.c);
    EXPECT_EQ(c.first, first ? (int)(first - c.text) : -1) << "input \"" << c.text << "\" char " << (int)c.c;
    EXPECT_EQ(c.last, last ? (int)(last - c.text) : -1) << "input \"" << c.text << "\" char " << (int)c.c;
  }
}

TEST(TextCopyFirstLine, StoresWhatFitsAndReturnsOffset) {
  struct { std::string text; int capacity; std::string stored; int offset; } cases[] = {
      {"1999/4\r\ntext", 16, "1999/4", 8},
      {"abcdefghijklmnopqrst", 16, "abcdefghijklmno", 20},
      {"abc", 1, "", 3},
      {"", 16, "", 0},
      {"\r\nx", 16, "", 2},
      {"ab\rc", 16, "ab", 4},
      // CR as the second byte of a double-byte character is no line end.
      {"a\x81\r" "b\r\nz", 16, "a\x81\r" "b", 6},
      // a double-byte character that does not fit whole is left out
      {"abcd" SJ_HYO "e", 6, "abcd", 7},
      {"abc" SJ_HYO "e", 6, "abc" SJ_HYO, 6},
      {"ab\x95", 16, "ab\x95", 3},
  };
  for (auto& c : cases) {
    char dest[32];
    memset(dest, 'Z', sizeof dest);
    int got = CopyFirstLine(c.text.c_str(), dest, c.capacity);
    EXPECT_EQ(c.offset, got) << "input \"" << c.text << "\" capacity " << c.capacity;
    EXPECT_EQ(c.stored, std::string(dest)) << "input \"" << c.text << "\" capacity " << c.capacity;
    for (int i = c.capacity; i < (int)sizeof dest; ++i)
      ASSERT_EQ('Z', dest[i]) << "input \"" << c.text << "\" wrote past capacity at " << i;
  }
  char untouched = 'Z';
  EXPECT_EQ(3, CopyFirstLine("abc", &untouched, 0));
  EXPECT_EQ('Z', untouched);
}

TEST(TextParseDateText, Forms) {
  struct { const char* text; uint32_t n; uint16_t y, m, d; } cases[] = {
      {"1999/4", 2, 1999, 4, 0},
      {"1999-04-15", 3, 1999, 4, 15},
      {"1999/4/15 and more", 3, 1999, 4, 15},
      {"Tarnevel", 1, 0, 0, 0},
      {"2000-02", 2, 2000, 2, 0},
      {"", 1, 0, 0, 0},
      {"//", 2, 0, 0, 0},
      {"//5", 3, 0, 5, 0},
      {"1/2/3/4/5/6", 5, 1, 2, 3},  // only ten bytes are read
      {"1//////////2", 9, 1, 0, 0},
      {"70000/1/1", 3, 4464, 1, 1},  // 70000 truncated to 16 bits
  };
  for (auto& c : cases) {
    uint16_t y = 9, m = 9, d = 9;
    EXPECT_EQ(c.n, ParseDateText(c.text, &y, &m, &d)) << "input \"" << c.text << "\"";
    EXPECT_EQ(c.y, y) << "input \"" << c.text << "\" year";
    EXPECT_EQ(c.m, m) << "input \"" << c.text << "\" month";
    EXPECT_EQ(c.d, d) << "input \"" << c.text << "\" day";
  }
}

TEST(TextParseDateText, OutputsOptional) {
  uint16_t m = 9;
  EXPECT_EQ(3u, ParseDateText("1999/4/15", nullptr, &m, nullptr));
  EXPECT_EQ(4, m);
  EXPECT_EQ(1u, ParseDateText("abc", nullptr, nullptr, nullptr));
}
