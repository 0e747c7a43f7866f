#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "today/cnfparse.h"

namespace {

// Every setting reported, in order, as "schedule=N", "fileN=name" or "path=value".
struct Recorder {
  std::vector<std::string> events;
};

void OnSchedule(void* ctx, int on) {
  static_cast<Recorder*>(ctx)->events.push_back("schedule=" + std::to_string(on));
}
void OnScheduleFile(void* ctx, int number, const char* name) {
  static_cast<Recorder*>(ctx)->events.push_back("file" + std::to_string(number) + "=" + name);
}
void OnTablePath(void* ctx, const char* value) {
  static_cast<Recorder*>(ctx)->events.push_back(std::string("path=") + value);
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& s : items) out += (out.empty() ? "" : " | ") + s;
  return out;
}

std::string Parse(const std::string& text, int* count = nullptr) {
  Recorder recorder;
  CnfSink sink = {&recorder, OnSchedule, OnScheduleFile, OnTablePath};
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  int n = ParseTodayCnf(buffer.data(), &sink);
  if (count) *count = n;
  return Join(recorder.events);
}

struct CnfCase {
  const char* text;
  const char* expected;
};

void CheckCases(const CnfCase* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(cases[i].expected, Parse(cases[i].text)) << "input: \"" << cases[i].text << "\"";
  }
}

}  // namespace

TEST(TodayCnf, ScheduleKeyAndValueCase) {
  const CnfCase cases[] = {
      {"schedule=yes\r\n", "schedule=1"},
      {"SCHEDULE=YES\r\n", "schedule=1"},
      {"Schedule=yEs", "schedule=1"},
      {"schedule = yes   # on\r\n", "schedule=1"},
      {"schedule=\tyes\t\r\n", "schedule=1"},
      {"schedule=1\r\n", "schedule=0"},
      {"schedule=no\r\n", "schedule=0"},
      {"schedule=\r\n", "schedule=0"},
      {"schedule=yes please\r\n", "schedule=0"},
      {" schedule=yes\r\n", ""},
      {"\tschedule=yes\r\n", ""},
      {"schedule yes\r\n", ""},
      {"schedules=yes\r\n", ""},
      {"schedule=yes\r\nschedule=no\r\n", "schedule=1 | schedule=0"},
  };
  CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayCnf, ScheduleFilePrefixAndNumbering) {
  const CnfCase cases[] = {
      {"schedule_file7=A.TBL\r\nschedule_file2=B.TBL\r\n", "file1=A.TBL | file2=B.TBL"},
      {"schedule_file1=\r\nschedule_file2=B.TBL\r\n", "file1=B.TBL"},
      {"schedule_file1=   \r\nschedule_file2=  B.TBL  \r\n", "file1=B.TBL"},
      {"Schedule_file1=A.TBL\r\nSCHEDULE_FILE2=B.TBL\r\n", ""},
      {"schedule_file=A.TBL\r\n", ""},
      {"schedule_fileX=A.TBL\r\n", ""},
      {"schedule_file123=A.TBL\r\n", "file1=A.TBL"},
      {"schedule_file1 = C:\\TODAY\\%Y%M.TBL # monthly\r\n", "file1=C:\\TODAY\\%Y%M.TBL"},
      {"schedule_file1=A=B\r\n", "file1=A=B"},
  };
  CheckCases(cases, sizeof cases / sizeof cases[0]);
  int count = 0;
  Parse("schedule_file1=A\r\nschedule_file2=\r\nschedule_file3=C\r\nschedule_file4=D\r\n", &count);
  EXPECT_EQ(3, count) << "entries numbered for three non-empty values";
}

TEST(TodayCnf, TablePathAndOtherKeys) {
  const CnfCase cases[] = {
      {"table_path=C:/TODAY;;D:/TBL\r\n", "path=C:/TODAY;;D:/TBL"},
      {"TABLE_PATH=C:\\TODAY\\data\r\n", "path=C:\\TODAY\\data"},
      {"table_path=\r\n", "path="},
      {"week_start=sun\r\ncolor=red\r\n", ""},
      {"table_path=A\r\ntable_path=B\r\n", "path=A | path=B"},
  };
  CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayCnf, Sections) {
  const CnfCase cases[] = {
      {"schedule=yes\r\n$display\r\nschedule=no\r\n", "schedule=1"},
      {"$display\r\nschedule=no\r\n$COMMON\r\nschedule=yes\r\n", "schedule=1"},
      {"$common  # the shared part\r\nschedule=yes\r\n", "schedule=1"},
      {"$common extra\r\nschedule=yes\r\n", ""},
      {"$\r\nschedule=yes\r\n", ""},
      {"$x\r\nschedule_file1=A\r\n$common\r\nschedule_file1=B\r\n", "file1=B"},
  };
  CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayCnf, LineEnds) {
  const CnfCase cases[] = {
      // Without CRs the file is one line: only its first '=' counts.
      {"schedule=yes\nschedule_file1=A.TBL\n", "schedule=0"},
      {"$common\nschedule=yes\n", ""},
      {"schedule_file1=A.TBL\nschedule=yes\n", "file1=A.TBL"},
      {"table_path=C:/T\n[User]\nProgram=x\n", "path=C:/T"},
      // The byte after a CR is skipped, whatever it is.
      {"schedule=yes\rXtable_path=P\r\n", "schedule=1 | path=P"},
      {"schedule=yes\r", "schedule=1"},
      {"schedule=yes\r\n\r\n\r\ntable_path=P", "schedule=1 | path=P"},
      {"", ""},
  };
  CheckCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayCnf, LineLimitedTo255Bytes) {
  std::string name(300, 'A');
  std::string expected = "file1=" + std::string(255 - 15, 'A');
  EXPECT_EQ(expected, Parse("schedule_file1=" + name + "\r\n"));
  EXPECT_EQ(expected, Parse("schedule_file1=" + name + "\nschedule=yes\n"));
  // A '#' beyond the limit does not matter; one within it cuts.
  EXPECT_EQ("file1=" + std::string(240, 'A'), Parse("schedule_file1=" + std::string(240, 'A') + "#x"));
}

TEST(TodayCnf, DoubleByteText) {
  // "予定" has the trail byte 0xE8; "表" ends in 0x5C, which is no backslash here.
  EXPECT_EQ("file1=\x97\x5C\x92\xE8.TBL", Parse("schedule_file1=\x97\x5C\x92\xE8.TBL  # \x95\x5C\r\n"));
  EXPECT_EQ("path=D:/\x95\x5C", Parse("table_path=D:/\x95\x5C\r\n"));
}

TEST(TodayCnf, TakeTextLineWalk) {
  struct {
    const char* text;
    const char* lines;
  } cases[] = {
      {"a\r\nb\r\nc", "a|b|c"},
      {"a\r\nb\r\n", "a|b"},
      {"a\r", "a"},
      {"a\rb", "a"},
      {"\r\n\r\nx", "||x"},
      {"a\nb", "a\nb"},
      {"", ""},
  };
  for (auto& c : cases) {
    std::vector<char> buffer(c.text, c.text + strlen(c.text) + 1);
    std::string lines;
    char* walk = buffer.data();
    int first = 1;
    while (char* line = TakeTextLine(&walk)) {
      if (!first) lines += "|";
      lines += line;
      first = 0;
    }
    EXPECT_EQ(c.lines, lines) << "input: \"" << c.text << "\"";
    EXPECT_EQ(nullptr, TakeTextLine(&walk)) << "walk ended for \"" << c.text << "\"";
  }
}

TEST(TodayCnf, SettingsValueAsRead) {
  std::string long39 = "LONG_SCHEDULE_NAME_0123456789_ABCDEFGHI";
  struct {
    std::string value;
    std::string expected;
  } cases[] = {
      {"A.TBL", "A.TBL"},
      {"\"A.TBL\"", "A.TBL"},
      {"'A.TBL'", "A.TBL"},
      {"\"A\" \"B\"", "A\" \"B"},
      {"'\"A\"'", "\"A\""},
      {"\"A.TBL", "\"A.TBL"},
      {"\"", "\""},
      {"\"\"", ""},
      {"\x0b" "A\x1a \t", "A"},
      {"A\tB", "A\tB"},
      {"\x81\x40" "A\x81\x40", "\x81\x40" "A\x81\x40"},  // a full-width space is kept
      {long39 + "_TAIL", long39},
      {long39.substr(0, 38) + "\x95\x5C", long39.substr(0, 38)},  // no half character
  };
  for (auto& c : cases) {
    char out[40];
    memset(out, 'x', sizeof out);
    SettingsValueAsRead(c.value.c_str(), out, sizeof out);
    EXPECT_EQ(c.expected, std::string(out)) << "value \"" << c.value << "\"";
  }
}
