#include <gtest/gtest.h>
#include <string.h>

#include "dialogs/chipsettings.h"

TEST(DialogsMemoMonth, TooSmallABufferGetsAnEmptyText) {
  char out[8];
  EXPECT_EQ(0, FormatMemoMonth(1, 0, 0, out, sizeof out));
  EXPECT_STREQ("", out);
  EXPECT_EQ(8, FormatMemoMonth(0, 2000, 2, out, sizeof out));
  EXPECT_EQ(0, FormatMemoMonth(0, 2000, 2, out, 7));
  EXPECT_EQ(0, FormatMemoMonth(0, 2000, 2, nullptr, 16));
}
