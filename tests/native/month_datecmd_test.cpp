#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "month/datecmd.h"

namespace {

struct Expansion {
  const char* text;
  unsigned y, m, d;
  const char* expected;
};

TEST(MonthDateCommand, ExpansionTable) {
  const Expansion cases[] = {
      {"%Y/%m/%d", 1999, 3, 5, "1999/03/05"},
      {"%y%M%D", 2005, 12, 1, "051201"},
      {"%y", 2000, 1, 1, "00"},
      {"S%Y%M%D.TBL", 1999, 3, 0, "S199903.TBL"},
      {"100%", 1999, 3, 5, "100"},
      {"%%d", 1999, 3, 5, "05"},
      {"%x%Y", 1999, 1, 1, "x1999"},
      {"%Y", 0, 1, 1, ""},
      {"%y-%m-%d", 0, 0, 0, "--"},
      {"%Y%Y", 12, 1, 1, "00120012"},
      {"%%%", 1, 1, 1, ""},
      {"a%1b", 1, 1, 1, "a1b"},
      {"%Y", 0x10000 + 1999, 1, 1, "1999"},
      {"%y", 65535, 1, 1, "35"},
      {"%d", 1, 1, 65535, "65535"},
      {"prog.exe /d:%Y%m%d", 2024, 2, 29, "prog.exe /d:20240229"},
      // Shift-JIS: a lead byte takes the next byte with it, also a '%' or a lead byte.
      {"\x95\x25Y%Y", 1999, 1, 1, "\x95\x25Y1999"},
      {"\x82\xa0%d", 1, 1, 7, "\x82\xa0" "07"},
      {"\x81\x81%d", 1, 1, 7, "\x81\x81" "07"},
      {"%d\x82", 1, 1, 7, "07\x82"},
  };
  for (const Expansion& c : cases) {
    char buf[260];
    strcpy(buf, c.text);
    int ok = ExpandDatePlaceholders(buf, sizeof buf, c.y, c.m, c.d);
    EXPECT_EQ(1, ok) << "\"" << c.text << "\"";
    EXPECT_STREQ(c.expected, buf) << "\"" << c.text << "\" with " << c.y << ", " << c.m << ", " << c.d;
  }
}

// An expansion that does not fit fails and leaves the text as it was.
TEST(MonthDateCommand, OverflowLeavesTextUnchanged) {
  struct Case {
    std::string text;
    int capacity;
    int expectedOk;
    std::string expected;
  } cases[] = {
      {std::string(257, 'a') + "%Y", 260, 0, std::string(257, 'a') + "%Y"},
      {std::string(255, 'a') + "%Y", 260, 1, std::string(255, 'a') + "1999"},
      {std::string(256, 'a') + "%Y", 260, 0, std::string(256, 'a') + "%Y"},
      // Shrinking after the growth: the final text fits although the text
      // between the two would not.
      {"%Y%Y%q", 10, 1, "19991999q"},
      {"%Y%Y%q", 9, 0, "%Y%Y%q"},
      {std::string(120, 'b') + "%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y%Y", 260, 0, ""},
  };
  for (Case& c : cases) {
    if (c.expected.empty()) c.expected = c.text;
    std::string storage(c.capacity + 16, '#');
    memcpy(&storage[0], c.text.c_str(), c.text.size() + 1);
    int ok = ExpandDatePlaceholders(&storage[0], c.capacity, 1999, 3, 5);
    EXPECT_EQ(c.expectedOk, ok) << "text of " << c.text.size() << " bytes, capacity " << c.capacity;
    EXPECT_EQ(c.expected, std::string(storage.c_str())) << "capacity " << c.capacity;
    EXPECT_EQ(std::string(16, '#'), storage.substr(c.capacity)) << "bytes past the buffer were written";
  }
}

TEST(MonthDateCommand, UnterminatedOrEmptyBuffers) {
  char buf[6] = {'a', 'b', '%', 'd', 'e', 'f'};
  EXPECT_EQ(1, ExpandDatePlaceholders(buf, sizeof buf, 1, 1, 0));
  EXPECT_STREQ("abe", buf);
  char one = 'x';
  EXPECT_EQ(0, ExpandDatePlaceholders(&one, 0, 1, 1, 1));
  EXPECT_EQ('x', one);
  EXPECT_EQ(0, ExpandDatePlaceholders(nullptr, 10, 1, 1, 1));
}

}  // namespace
