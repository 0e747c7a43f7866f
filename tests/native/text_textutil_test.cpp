#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "text/memtable.h"
#include "text/textutil.h"

static std::string Show(const std::string& s) {
  std::string out;
  char hex[8];
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += (char)c;
    } else {
      snprintf(hex, sizeof hex, "<%02X>", c);
      out += hex;
    }
  }
  return out;
}

TEST(TextTrim, LeftAndRight) {
  struct { const char* text; const char* left; const char* right; } cases[] = {
      {"  a b  ", "a b  ", "  a b"},
      {"\t\tx\t", "x\t", "\t\tx"},
      {"   ", "", ""},
      {"", "", ""},
      {"abc", "abc", "abc"},
      {"\r a\r ", "\r a\r ", "\r a\r"},  // only space and tab are blanks
      {" \x81\x40", "\x81\x40", " \x81\x40"},  // full-width space is no blank
      {"a\x95 ", "a\x95 ", "a\x95 "},  // a lead byte before a blank pairs with it
      {"a \x95", "a \x95", "a \x95"},
  };
  for (auto& c : cases) {
    std::string left(c.text), right(c.text);
    TrimLeft(&left[0]);
    TrimRight(&right[0]);
    EXPECT_EQ(Show(c.left), Show(left.c_str())) << "TrimLeft of \"" << Show(c.text) << "\"";
    EXPECT_EQ(Show(c.right), Show(right.c_str())) << "TrimRight of \"" << Show(c.text) << "\"";
  }
}

TEST(TextUnescape, BothModes) {
  struct { const char* text; const char* textMode; const char* pathMode; } cases[] = {
      {"New_Year\\41", "New YearA", "New_YearA"},
      {"a\\41\\n", "aA\n", "aA\n"},
      {"C:\\Data", "C:\xDAta", "C:\xDAta"},
      {"C:\\TODAY", "C:\\TODAY", "C:\\TODAY"},
      {"\\#\\\\\\^\\r\\t", "#\\^\r\t", "#\\^\r\t"},
      {"\\\\n", "\\n", "\\n"},  // the escaped backslash starts no new escape
      {"\\5C41", "\\41", "\\41"},
      {"\\5F_", "_ ", "__"},  // a decoded byte is not scanned again
      {"\\_", "\\ ", "\\_"},
      {"\\N\\R\\T", "\\N\\R\\T", "\\N\\R\\T"},  // only lowercase n, r, t
      {"\\aF\\Ab", "\xAF\xAB", "\xAF\xAB"},
      {"\\a", "\\a", "\\a"},  // one hex digit, then the end
      {"\\ag", "\\ag", "\\ag"},  // one hex digit, then no hex digit
      {"\\-1\\+2", "\\-1\\+2", "\\-1\\+2"},
      {"x\\", "x\\", "x\\"},
      {"\x95\x5C" "41", "\x95\x5C" "41", "\x95\x5C" "41"},  // a second byte is no backslash
      {"\x95\x5C_\\41", "\x95\x5C A", "\x95\x5C_A"},
      {"_\x95", " \x95", "_\x95"},
      {"", "", ""},
  };
  for (auto& c : cases) {
    for (int pathMode = 0; pathMode <= 1; ++pathMode) {
      std::string buf(c.text);
      size_t length = buf.size();
      buf.push_back('\0');
      buf.append(2, 'Z');
      Unescape(&buf[0], pathMode);
      std::string expected = pathMode ? c.pathMode : c.textMode;
      EXPECT_EQ(Show(expected), Show(buf.c_str())) << "input \"" << Show(c.text) << "\" pathMode " << pathMode;
      for (size_t i = expected.size(); i <= length; ++i)
        EXPECT_EQ(0, buf[i]) << "input \"" << Show(c.text) << "\" stale byte at " << i;
      EXPECT_EQ("ZZ", buf.substr(length + 1, 2)) << "input \"" << Show(c.text) << "\" wrote past the end";
    }
  }
}

// ---- Table lines ----

static std::vector<std::string> ReadAll(const std::string& data, int blockSize) {
  MemoryBytes m;
  // heap-allocated so that ASan sees any write past line[]
  std::unique_ptr<TableFile> file(new TableFile);
  TableFileAttachMemory(file.get(), &m, data.data(), data.size());
  if (blockSize) file->blockSize = blockSize;
  std::vector<std::string> lines;
  while (char* line = ReadTableLine(file.get())) lines.push_back(line);
  EXPECT_EQ(nullptr, ReadTableLine(file.get())) << "a second null after the end";
  return lines;
}

static std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (auto& l : lines) out += "[" + l + "]";
  return out;
}

TEST(TextReadTableLine, LogicalLines) {
  std::string longLine(300, 'x');
  std::string wide;
  for (int i = 0; i < 140; ++i) wide += "\x93\xFA";  // 280 bytes of double-byte characters
  struct { std::string data; std::string expected; } cases[] = {
      {"", ""},
      {"a\nb", "[a][b]"},
      {"a\r\nb\r\n", "[a][b]"},
      {"#comment\n\n\r\n  x  \n", "[  x]"},
      {"1/1 1949 NewYear # comment\n", "[1/1 1949 NewYear]"},
      {"   \n# c\n", "[]"},  // blanks only: an empty line, not skipped
      {"   # c\nz", "[][z]"},
      {"a\rb\n", "[ab]"},
      {std::string("a\0b\n", 4), "[ab]"},
      {"\x81#x # y\n", "[\x81#x]"},  // '#' after a lead byte is data
      {"a\\# b\n", "[a\\]"},  // '\#' still starts a comment
      {"\x81\nx\n", "[\x81\nx]"},  // LF after a lead byte is data
      {"x\x81", "[x\x81]"},  // the file ends after a lead byte
      {std::string("\x81\0y\n", 4), "[\x81y]"},
      {"#only comment", ""},
      {"#a\n#b\r\n\n", ""},
      {longLine + "\nnext\n", "[" + std::string(256, 'x') + "][next]"},
      {"a" + wide + "\nz", "[a" + wide.substr(0, 254) + "][z]"},  // no half character at the limit
      {wide + "\n", "[" + wide.substr(0, 256) + "]"},
      {std::string(256, 'y') + "#\n", "[" + std::string(256, 'y') + "]"},
  };
  for (auto& c : cases)
    for (int blockSize : {1, 7, 4096})
      EXPECT_EQ(Show(c.expected),
                Show(Join(ReadAll(c.data, blockSize))))
          << "input \"" << Show(c.data) << "\" block size " << blockSize;
}

TEST(TextReadTableLine, BlockSizesGiveIdenticalLines) {
  std::string data;
  for (int i = 0; i < 500; ++i) {
    data += std::to_string(i % 12 + 1) + "/" + std::to_string(i % 28 + 1) + " 1949 Name\\41_" + std::to_string(i);
    data += (i % 3 == 0) ? " # note\r\n" : (i % 3 == 1) ? "\t\n" : "\n\n#c\n";
    if (i % 50 == 0) data += std::string(270, 'L') + "\n";
    if (i % 7 == 0) data += "\x95\x5C\x81#\r\n";
  }
  auto one = ReadAll(data, 1);
  EXPECT_GT(one.size(), 500u);
  for (int blockSize : {7, 4096, 0, -5, 100000}) {
    auto other = ReadAll(data, blockSize);
    ASSERT_EQ(one.size(), other.size()) << "block size " << blockSize;
    for (size_t i = 0; i < one.size(); ++i)
      ASSERT_EQ(one[i], other[i]) << "line " << i << " block size " << blockSize;
  }
}

TEST(TextReadTableLine, FailedReadIsEnd) {
  struct Failing {
    static int Read(void*, unsigned char*, int) { return -1; }
  };
  TableFile file;
  TableFileInit(&file, Failing::Read, nullptr);
  EXPECT_EQ(kTableBlockSize, file.blockSize);
  EXPECT_EQ(nullptr, ReadTableLine(&file));
}

TEST(TextReadTableLine, ReadsInBlocks) {
  std::string data = std::string(10000, 'a') + "\n";
  MemoryBytes m;
  TableFile file;
  TableFileAttachMemory(&file, &m, data.data(), data.size());
  ASSERT_NE(nullptr, ReadTableLine(&file));
  EXPECT_EQ(nullptr, ReadTableLine(&file));
  EXPECT_EQ(4, m.reads) << "three blocks and the read that finds the end";

  std::vector<unsigned char> whole(data.size());
  TableFileAttachMemory(&file, &m, data.data(), data.size());
  TableFileUseBuffer(&file, whole.data(), (int)whole.size());
  ASSERT_NE(nullptr, ReadTableLine(&file));
  EXPECT_EQ(nullptr, ReadTableLine(&file));
  EXPECT_EQ(2, m.reads) << "a buffer as large as the file takes it in one read";
}
