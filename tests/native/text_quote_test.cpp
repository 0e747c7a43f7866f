#include <gtest/gtest.h>

#include <string>

#include "text/quote.h"

// Results that do not fit their buffer leave it empty and write nothing past it.
TEST(TextQuote, WholeOrNothing) {
  struct {
    int (*convert)(const char*, char*, int);
    const char* text;
    int size;
    const char* expected;
  } cases[] = {{QuoteText, "a b", 6, "\"a b\""}, {QuoteText, "a b", 5, ""},
               {DoubleAmpersands, "R&D", 5, "R&&D"}, {DoubleAmpersands, "R&D", 4, ""}};
  for (auto& c : cases) {
    std::string out(8, 'Z');
    EXPECT_EQ(*c.expected != 0, c.convert(c.text, &out[0], c.size) != 0) << c.text << " in " << c.size;
    EXPECT_STREQ(c.expected, out.c_str()) << c.text << " in " << c.size;
    EXPECT_EQ(std::string(8 - c.size, 'Z'), out.substr(c.size)) << c.text << " in " << c.size;
  }
}
