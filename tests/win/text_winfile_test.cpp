#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "text/leadbyte.h"
#include "text/strbasic.h"
#include "text/textutil.h"
#include "text/winfile.h"

// "表" in Shift-JIS: its second byte is a backslash.
#define SJ_HYO "\x95\x5C"

namespace {

// A scratch directory beside the test program, removed afterwards.
class TextFiles : public testing::Test {
 protected:
  void SetUp() override {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    dir_ = exe;
    dir_ = dir_.substr(0, dir_.find_last_of('\\')) + "\\textfiles";
    CreateDirectoryA(dir_.c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\sub.dir").c_str(), nullptr);
  }
  void TearDown() override {
    for (auto& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA((dir_ + "\\sub.dir").c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string Write(const char* name, const std::string& data) {
    std::string path = dir_ + "\\" + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    WriteFile(h, data.data(), (DWORD)data.size(), &written, nullptr);
    CloseHandle(h);
    files_.push_back(path);
    return path;
  }
  std::vector<std::string> ReadLines(const std::string& path, int blockSize) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    static TableFile file;
    TableFileAttach(&file, h);
    if (blockSize) file.blockSize = blockSize;
    std::vector<std::string> lines;
    while (char* line = ReadTableLine(&file)) lines.push_back(line);
    CloseHandle(h);
    return lines;
  }
  std::vector<std::string> ReadWholeLines(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    std::vector<std::string> lines;
    {
      HandleTableFile file(h);
      while (char* line = ReadTableLine(file.get())) lines.push_back(line);
    }
    CloseHandle(h);
    return lines;
  }
  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(TextFiles, FileExists) {
  Write("holiday.tbl", "1/1 1949 NewYear\r\n");
  struct { std::string path; BOOL expected; } cases[] = {
      {dir_ + "\\holiday.tbl", TRUE},
      {dir_ + "\\HOLIDAY.TBL", TRUE},
      {dir_ + "\\hol*.tbl", TRUE},
      {dir_ + "\\sub.dir", FALSE},
      {dir_ + "\\sub.*", FALSE},  // the only match is a directory
      {dir_, FALSE},
      {dir_ + "\\missing.tbl", FALSE},
      {dir_ + "\\*.cnf", FALSE},
      {"", FALSE},
  };
  for (auto& c : cases) EXPECT_EQ(c.expected, FileExists(c.path.c_str())) << "path " << c.path;
}

TEST_F(TextFiles, ReadTableLineFromFile) {
  std::string data =
      "# holidays\r\n"
      "1/1 1949 NewYear # comment\r\n"
      "\r\n"
      "2/11 1967 " SJ_HYO "#x\r\n"
      "\x81#z\r\n"
      "   \r\n" +
      std::string(300, 'L') + "\r\n"
      "a\\# dropped\n"
      "last";
  std::string path = Write("table.tbl", data);
  std::vector<std::string> expected = {"1/1 1949 NewYear", "2/11 1967 " SJ_HYO, "\x81#z", "",
                                       std::string(256, 'L'), "a\\", "last"};
  for (int blockSize : {1, 7, 0}) {
    auto lines = ReadLines(path, blockSize);
    ASSERT_EQ(expected.size(), lines.size()) << "block size " << blockSize;
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(expected[i], lines[i]) << "line " << i << " block size " << blockSize;
  }
}

// Whole files and files beyond the whole-file buffer, with a double-byte
// character across every buffer boundary.
TEST_F(TextFiles, ReadTableLineThroughFileSizedBuffer) {
  std::string small = "1/1 1949 NewYear # c\r\n" SJ_HYO SJ_HYO "\r\nlast";
  std::string medium;
  while (medium.size() < 3 * kTableBlockSize) medium += "2/11 1967 " SJ_HYO "_" SJ_HYO " \t# x\r\n";
  std::string large(kTableWholeMax - 1, 'x');
  for (size_t i = 200; i < large.size(); i += 201) large[i] = '\n';
  large += SJ_HYO "tail\r\n" + std::string(300, 'y') + "\r\n\x81";
  for (const std::string& data : {small, medium, large}) {
    std::string path = Write("whole.tbl", data);
    auto blocks = ReadLines(path, 0);
    auto whole = ReadWholeLines(path);
    ASSERT_FALSE(blocks.empty());
    ASSERT_EQ(blocks.size(), whole.size()) << "file of " << data.size() << " bytes";
    for (size_t i = 0; i < blocks.size(); ++i) ASSERT_EQ(blocks[i], whole[i]) << "line " << i;
  }
}

TEST_F(TextFiles, ReadTableLineOnInvalidHandleIsEmpty) {
  static TableFile file;
  TableFileAttach(&file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(nullptr, ReadTableLine(&file));
  HandleTableFile invalid(INVALID_HANDLE_VALUE);
  EXPECT_EQ(nullptr, ReadTableLine(invalid.get()));
  std::string path = Write("empty.tbl", "");
  EXPECT_TRUE(ReadLines(path, 0).empty());
  EXPECT_TRUE(ReadWholeLines(path).empty());
}

TEST(TextCodePage932, LeadBytesComeFromTheSystem) {
  ASSERT_EQ(932u, GetACP()) << "run under LC_ALL=ja_JP.UTF-8";
  EXPECT_TRUE(IsLeadByte(0x95));
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_FALSE(IsLeadByte(0xB1));  // half-width katakana
  EXPECT_FALSE(IsLeadByte('\\'));
}

TEST(TextCodePage932, SecondByteIsNeverADelimiter) {
  ASSERT_EQ(932u, GetACP());
  const char path[] = "C:\\" SJ_HYO "\\" SJ_HYO ".tbl";
  EXPECT_EQ(path + 5, FindLastChar(path, '\\'));
  EXPECT_EQ(path + 2, FindChar(path, '\\'));
  EXPECT_EQ(nullptr, FindChar(SJ_HYO SJ_HYO, '\\'));

  char fields[] = SJ_HYO "\\" SJ_HYO;
  EXPECT_EQ(2u, SplitFields(fields, "\\"));
  EXPECT_STREQ(SJ_HYO, fields);
  EXPECT_STREQ(SJ_HYO, fields + 3);

  char text[] = SJ_HYO "41_\\41";
  Unescape(text, 0);
  EXPECT_STREQ(SJ_HYO "41 A", text);

  char trimmed[] = SJ_HYO "\x81\x40 \t";  // ends in a full-width space, then blanks
  TrimRight(trimmed);
  EXPECT_STREQ(SJ_HYO "\x81\x40", trimmed);

  int32_t n = 0;
  EXPECT_EQ(1, ScanPattern(SJ_HYO "\\12", SJ_HYO "\\%d", &n));
  EXPECT_EQ(12, n);

  char first[16];
  EXPECT_EQ(4, CopyFirstLine(SJ_HYO "\r\nx", first, sizeof first));
  EXPECT_STREQ(SJ_HYO, first);
}

}  // namespace
