#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "tips/tiptext.h"

namespace {

// Pieces walked up to the end as "a|b|", and the end itself.
std::string Pieces(const char* text, int end) {
  TipLineWalk walk;
  TipLineWalkInit(&walk, text, end);
  std::string out;
  int length = -1;
  bool first = true;
  while (const char* piece = NextTipLine(&walk, &length)) {
    if (!first) out += "|";
    out.append(piece, (size_t)length);
    first = false;
  }
  return out;
}

std::string Show(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

}  // namespace

TEST(TipLines, LineBreaksInsideTexts) {
  struct {
    std::vector<std::string> list;  // the strings of the list
    const char* pieces;             // after splitting, "|" between pieces
  } cases[] = {
      {{"plain", "two"}, "plain|two"},
      {{"a\nb", "c"}, "a|b|c"},
      {{"a\rb"}, "a|b"},
      // A run leaves one break and empty pieces up to the string's old end.
      {{"a\r\nb", "c"}, "a|b||c"},
      {{"a\r\n\r\nb"}, "a|b|||"},
      {{"\nx", "y"}, "|x|y"},
      {{"x\n"}, "x|"},
      {{"\r\n", "after"}, "|||after"},
      {{"\x82\xa0\n\x82\xa2", "z"}, "\x82\xa0|\x82\xa2|z"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    char text[kTipTextSize];
    memset(text, 0x7F, sizeof text);
    std::string shown;
    int pos = 0;
    for (const std::string& s : c.list) {
      memcpy(text + pos, s.c_str(), s.size() + 1);
      pos += (int)s.size() + 1;
      shown += "\"" + Show(s) + "\" ";
    }
    text[pos] = '\0';
    int end = SplitTipLines(text, sizeof text);
    EXPECT_EQ(pos, end) << shown << ": the pieces end where the list did";
    EXPECT_EQ(c.pieces, Pieces(text, end)) << shown;
    // A walk that stops at the first empty piece would miss the later ones.
    EXPECT_EQ(0, text[end]) << shown;
  }
}

TEST(TipLines, StaysInsideTheBuffer) {
  // The last string has no terminator before the end of the buffer.
  char text[8] = {'a', '\n', 'b', 0, 'c', 'd', '\n', 'e'};
  int end = SplitTipLines(text, sizeof text);
  EXPECT_EQ(4, end);
  EXPECT_EQ("a|b", Pieces(text, end));
  EXPECT_EQ('\n', text[6]) << "the unterminated tail is left alone";

  // A list that fills the buffer exactly: no room for its empty string.
  char full[4] = {'x', '\r', 'y', 0};
  end = SplitTipLines(full, sizeof full);
  EXPECT_EQ(4, end);
  EXPECT_EQ("x|y", Pieces(full, end));

  // A walk given an end inside a piece ends the piece there.
  char cut[4] = {'p', 'q', 'r', 's'};
  EXPECT_EQ("pq", Pieces(cut, 2));
  EXPECT_EQ("", Pieces(nullptr, 10));
}
