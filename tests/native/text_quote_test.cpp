#include <gtest/gtest.h>

#include <string>

#include "text/quote.h"

#define SJ_HYO "\x95\x5C"  // second byte '\'

TEST(TextQuote, QuotesWholeOrNothing) {
  struct {
    const char* text;
    int size;
    const char* expected;  // null: does not fit
  } cases[] = {
      {"C:\\Program Files\\ed\\ed.exe", 64, "\"C:\\Program Files\\ed\\ed.exe\""},
      {"", 3, "\"\""},
      {"", 2, nullptr},
      {"abc", 6, "\"abc\""},
      {"abc", 5, nullptr},
      {"abc", 0, nullptr},
  };
  for (auto& c : cases) {
    std::string out(8 + (size_t)c.size, 'Z');
    int fit = QuoteText(c.text, &out[0], c.size);
    EXPECT_EQ(c.expected != nullptr, fit != 0) << "\"" << c.text << "\" in " << c.size;
    if (c.size > 0) EXPECT_STREQ(c.expected ? c.expected : "", out.c_str()) << "\"" << c.text << "\" in " << c.size;
    EXPECT_EQ(std::string(8, 'Z'), out.substr((size_t)c.size)) << "written past " << c.size;
  }
}

TEST(TextUnquote, OnlyOneWholeQuotedString) {
  struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"\"C:\\Program Files\\ed.exe\"", "C:\\Program Files\\ed.exe"},
      {"\"\"", ""},
      {"\"", "\""},
      {"\"a\" -n", "\"a\" -n"},
      {"\"a\" \"b\"", "\"a\" \"b\""},
      {"a \"b\"", "a \"b\""},
      {"plain", "plain"},
  };
  for (auto& c : cases) {
    std::string text(c.text);
    int changed = UnquoteText(&text[0]);
    EXPECT_STREQ(c.expected, text.c_str()) << c.text;
    EXPECT_EQ(strcmp(c.text, c.expected) != 0, changed != 0) << c.text;
  }
}

TEST(TextIsWholeQuoted, PairsTheProfileFunctionsTakeOff) {
  struct {
    const char* text;
    int expected;
  } cases[] = {
      {"\"C:\\Program Files\\ed.exe\"", 1}, {"'ed'", 1}, {"\"\"", 1}, {"\"a\" \"b\"", 1},
      {"\"", 0}, {"'", 0}, {"\"a'", 0}, {"\"a\" -n", 0}, {"a\"", 0}, {"", 0},
  };
  for (auto& c : cases) EXPECT_EQ(c.expected, IsWholeQuoted(c.text) != 0) << c.text;
}

TEST(TextDoubleAmpersands, MenuLabels) {
  struct {
    const char* text;
    int size;
    const char* expected;  // null: does not fit
  } cases[] = {
      {"R&D.TBL", 16, "R&&D.TBL"},
      {"&&", 5, "&&&&"},
      {"&&", 4, nullptr},
      {"MEMO.TBL", 9, "MEMO.TBL"},
      {"MEMO.TBL", 8, nullptr},
      {SJ_HYO "&" SJ_HYO ".TBL", 16, SJ_HYO "&&" SJ_HYO ".TBL"},
      {"", 1, ""},
      {"&", 0, nullptr},
  };
  for (auto& c : cases) {
    std::string out(8 + (size_t)c.size, 'Z');
    int fit = DoubleAmpersands(c.text, &out[0], c.size);
    EXPECT_EQ(c.expected != nullptr, fit != 0) << "\"" << c.text << "\" in " << c.size;
    if (c.size > 0) EXPECT_STREQ(c.expected ? c.expected : "", out.c_str()) << "\"" << c.text << "\" in " << c.size;
    EXPECT_EQ(std::string(8, 'Z'), out.substr((size_t)c.size)) << "written past " << c.size;
  }
}
