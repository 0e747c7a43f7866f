#include <gtest/gtest.h>
#include <string.h>

#include "dialogs/chipsettings.h"

TEST(DialogsMemoMonth, TextsAndTheirSizes) {
  struct {
    int thisMonth;
    uint32_t year, month;
    const char* text;
  } cases[] = {
      {1, 0, 0, "Tarnevel"}, {0, 1999, 5, "1999/05"}, {0, 5, 12, "0005/12"}, {0, 9999, 1, "9999/01"},
      {0, 10000, 1, ""},     {0, 0, 1, ""},           {0, 1999, 13, ""},      {0, 1999, 0, ""},
  };
  for (auto& c : cases) {
    char out[16];
    memset(out, 'x', sizeof out);
    int n = FormatMemoMonth(c.thisMonth, c.year, c.month, out, sizeof out);
    EXPECT_STREQ(c.text, out) << c.year << "/" << c.month;
    EXPECT_EQ(c.text[0] ? (int)strlen(c.text) + 1 : 0, n) << c.year << "/" << c.month;
  }
}

TEST(DialogsMemoMonth, TooSmallABufferGetsAnEmptyText) {
  char out[8];
  EXPECT_EQ(0, FormatMemoMonth(1, 0, 0, out, sizeof out));
  EXPECT_STREQ("", out);
  EXPECT_EQ(8, FormatMemoMonth(0, 2000, 2, out, sizeof out));
  EXPECT_EQ(0, FormatMemoMonth(0, 2000, 2, out, 7));
  EXPECT_EQ(0, FormatMemoMonth(0, 2000, 2, nullptr, 16));
}

TEST(DialogsViewFlags, BitsTwoAndThreeKeptTheOthersFromTheChecks) {
  EXPECT_EQ(0xF0, MergeViewFlags(0x10, 0, 1, 0));
  EXPECT_EQ(0x0D, MergeViewFlags(0xFF & ~0xF2, 1, 0, 0));
  EXPECT_EQ(0x0F | 0xF0, MergeViewFlags(0x0C, 1, 1, 1));
  EXPECT_EQ(0x00, MergeViewFlags(0xF3, 0, 0, 0));
}
