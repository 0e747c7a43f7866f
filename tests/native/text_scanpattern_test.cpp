#include <gtest/gtest.h>

#include <string>

#include "text/textutil.h"

// One result of a scan: the count and every output as text, in order,
// e.g. "2: 1999 4" or "1: 'H'" or "1: \"Sun\"".
static std::string Scan(const char* input, const char* pattern) {
  int32_t ints[16];
  char chars[16];
  char strs[16][64];
  void* outputs[16];
  char kinds[16];
  int n = 0;
  for (const char* p = pattern; *p && n < 16; ++p) {
    if (*p != '%') continue;
    ++p;
    while (*p >= '0' && *p <= '9') ++p;
    char k = *p;
    if (!k) break;
    if (k == 'c') outputs[n] = &chars[n];
    else if (k == 'd' || k == 'x' || k == 'X') outputs[n] = &ints[n];
    else if (k == 's') outputs[n] = strs[n];
    else continue;
    kinds[n++] = k;
  }
  for (int i = 0; i < 16; ++i) { ints[i] = -777; chars[i] = '?'; strcpy(strs[i], "?"); }
  int count = ScanPatternV(input, pattern, outputs, n);
  std::string out = std::to_string(count) + ":";
  for (int i = 0; i < n && i < count; ++i) {
    if (kinds[i] == 'c') out += std::string(" '") + chars[i] + "'";
    else if (kinds[i] == 's') out += std::string(" \"") + strs[i] + "\"";
    else out += " " + std::to_string(ints[i]);
  }
  return out;
}

TEST(TextScanPattern, WorkedExamples) {
  struct { const char* input; const char* pattern; const char* expected; } cases[] = {
      {"1999/4", "%d/%d", "2: 1999 4"},
      {"1999", "%d/%d", "0:"},
      {"-12/+3", "%d/%d", "2: -12 3"},
      {"12a/5", "%d/%d", "1: 12"},
      {"12/25", "%d/", "1: 12"},
      {"H11", "%c%d", "2: 'H' 11"},
      {"2Sun", "%d%3s", "2: 2 \"Sun\""},
      {"Sun", "%d%3s", "0:"},
      {"Sun", "%3s", "1: \"Sun\""},
      {"Sunday", "%3s", "1: \"Sun\""},
      {"schedule_file1", "schedule_file%2d", "1: 1"},
      {"schedule_file", "schedule_file%2d", "0:"},
      {"1f", "%02x", "1: 31"},
      {"schedule_file12", "schedule_file%2d", "1: 12"},
      {"schedule_file123", "schedule_file%2d", "1: 12"},
  };
  for (auto& c : cases)
    EXPECT_EQ(c.expected, Scan(c.input, c.pattern)) << "input \"" << c.input << "\" pattern \"" << c.pattern << "\"";
}

TEST(TextScanPattern, Rules) {
  struct { const char* input; const char* pattern; const char* expected; } cases[] = {
      {"abc", "", "0:"},
      {"", "%d", "0:"},
      {"", "abc", "0:"},
      {"ab", "abc", "0:"},  // input exhausted before 'c'
      {"abX", "abc", "0:"},
      {"Ab", "ab", "0:"},  // case matters
      {"50%", "%d%%", "2: 50"},
      {"50x", "%d%%", "1: 50"},
      {"7", "%3c", "0:"},
      {"ABCDE", "%s", "1: \"ABCDE\""},
      {"abc def", "%s %s", "2: \"abc\" \"def\""},
      {"abcdef", "%s %s", "0:"},  // no blank: the field end is not found
      {"abcd", "%5s", "1: \"abcd\""},  // input ends before the width
      {"abc", "%5s", "0:"},  // shorter than width - 1
      {"Meij 1868/9/8 1912/7/29 MM", "%4s %d/%d/%d %d/%d/%d %c%c",
       "9: \"Meij\" 1868 9 8 1912 7 29 'M' 'M'"},
      {"Heisei 1989", "%4s %d", "0:"},  // fifth byte must be a blank
      {"Heis", "%4s %d", "1: \"Heis\""},
      {"ab/12", "%d/%d", "0:"},
      {"+/5", "%d/%d", "0:"},
      {"-0/1", "%d/%d", "2: 0 1"},
      {"FF/ff", "%X/%x", "2: 255 255"},
      {"12 34", "%d %d", "2: 12 34"},
      {"12345", "%2d%d", "0:"},  // a '%' follower is compared at the field end
      {"12x45", "%2dx%d", "2: 12 45"},
      {"12y45", "%2dx%d", "0:"},  // byte at the field end differs from the follower
      {"1yx45", "%2dx%d", "1: 1"},  // 'y' stops the digits and is skipped as the follower
      {"12", "%3d/", "1: 12"},
      {"12", "%4d/", "0:"},
      {"3%4", "%d%%%d", "3: 3 4"},
      {"x5", "%q%d", "2: 5"},  // an unknown letter consumes a byte
      {"7", "%", "0:"},
      {"7", "%12", "0:"},
      {"A\x95\x5C" "B", "A\x95\x5C%c", "1: 'B'"},
      {"A\x95\x5D" "B", "A\x95\x5C%c", "0:"},
      {"ab|cd", "%s|%s", "2: \"ab\" \"cd\""},
      {"|cd", "%s|%s", "2: \"\" \"cd\""},  // empty field
      // a follower inside a double-byte character is not found
      {"\x95\x5C" "x\\y", "%s\\%s", "2: \"\x95\x5C" "x\" \"y\""},
      {"99999999999/1", "%d/%d", "2: 1215752191 1"},  // wraps, no trap
  };
  for (auto& c : cases)
    EXPECT_EQ(c.expected, Scan(c.input, c.pattern)) << "input \"" << c.input << "\" pattern \"" << c.pattern << "\"";
}

TEST(TextScanPattern, VariadicTakesOnePointerPerStoringConversion) {
  char name[8];
  int32_t y1, m1, d1, y2, m2, d2;
  char a, b;
  EXPECT_EQ(9, ScanPattern("Taio 1912/7/30 1926/12/24 T ", "%4s %d/%d/%d %d/%d/%d %c%c", name, &y1, &m1, &d1,
                           &y2, &m2, &d2, &a, &b));
  EXPECT_STREQ("Taio", name);
  EXPECT_EQ(1926, y2);
  EXPECT_EQ(24, d2);
  EXPECT_EQ('T', a);
  EXPECT_EQ(' ', b);

  int32_t v = -1;
  EXPECT_EQ(3, ScanPattern("%x7", "%%%q%d", &v));  // '%%' and '%q' take no pointer
  EXPECT_EQ(7, v);
}

TEST(TextScanPattern, OutputsLimitStopsMatching) {
  int32_t a = -1, b = -1;
  void* outputs[] = {&a, &b};
  EXPECT_EQ(1, ScanPatternV("1/2", "%d/%d", outputs, 1));
  EXPECT_EQ(1, a);
  EXPECT_EQ(-1, b);
}

TEST(TextScanPattern, FailedNumberLeavesZero) {
  int32_t a = -1, b = -1;
  EXPECT_EQ(1, ScanPattern("5/x", "%d/%d", &a, &b));
  EXPECT_EQ(5, a);
  EXPECT_EQ(0, b);
}
