// Clicking a day starts "Program" with the date filled in; a helper program
// records the command line it received.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "month/chipview.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win/month_chip.h"
#include "tests/win/record_support.h"

using namespace monthtest;

namespace {

// Sets "Program" for one test and puts the previous value back.
class ProgramSetting {
 public:
  explicit ProgramSetting(const std::string& command) {
    InitSettings();
    char previous[260];
    ReadSettingString(kUserSection, IDS_KEY_PROGRAM, "", previous, sizeof previous);
    previous_ = previous;
    WriteSettingString(kUserSection, IDS_KEY_PROGRAM, command.c_str());
  }
  ~ProgramSetting() { WriteSettingString(kUserSection, IDS_KEY_PROGRAM, previous_.c_str()); }

 private:
  std::string previous_;
};

class MonthClick : public testing::Test {
 protected:
  void SetUp() override {
    helper_ = recorder_.helper();
    ASSERT_TRUE(recorder_.ready()) << helper_ << " is missing: build the recordargs target";
  }

  bool Recorded(int timeoutMs, std::string* line) { return recorder_.Read(timeoutMs, line); }

  POINT CellCentre(const TestChip& chip, int block, int day) {
    CellRect r = Cell(chip.layout().blocks[block], day);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return p;
  }

  CommandRecorder recorder_;
  std::string helper_;
};

TEST_F(MonthClick, StartsProgramWithTheClickedDate) {
  const struct {
    const char* name;
    uint16_t year;
    uint8_t month, flags;
    int block, day;
    const char* args;
    const char* expected;
  } cases[] = {
      {"one month", 1998, 2, 0x00, 0, 5, " /date:%Y/%m/%d %y%M%D", " /date:1998/02/05 980205"},
      {"side by side, block 1", 1999, 12, 0x01, 1, 1, " %Y-%m-%d", " 2000-01-01"},
      {"stacked, block 1", 1998, 2, 0xF1, 1, 31, " %Y%m%d 100%", " 19980331 100"},
  };
  for (const auto& c : cases) {
    recorder_.Forget();
    std::string command = "\"" + helper_ + "\"";
    ProgramSetting program(command + c.args);
    TestChip chip(MakeState(c.year, c.month, 0, c.flags));
    POINT p = CellCentre(chip, c.block, c.day);
    EXPECT_EQ(0, MouseClik(chip.handle(), chip.window(), &p)) << c.name;
    std::string line;
    ASSERT_TRUE(Recorded(15000, &line)) << c.name << ": the program was not started";
    EXPECT_EQ(command + c.expected, line) << c.name;
  }
}

TEST_F(MonthClick, StartsNothingOffDaysOrWithoutProgram) {
  std::string command = "\"" + helper_ + "\" %Y%m%d";
  const struct {
    const char* name;
    std::string program;
    bool onHeader;
  } cases[] = {
      {"header row", command, true},
      {"empty program", "", false},
      {"missing program", ExeDirectory() + "no-such-program.exe %Y", false},
      {"expansion past 260 bytes", "\"" + helper_ + "\" " + std::string(258 - helper_.size() - 5, 'x') + "%Y",
       false},
  };
  for (const auto& c : cases) {
    ProgramSetting program(c.program);
    TestChip chip(MakeState(1998, 2, 0, 0));
    POINT p = CellCentre(chip, 0, 10);
    if (c.onHeader) p.y = chip.layout().blocks[0].gridTop + 1;
    EXPECT_EQ(0, MouseClik(chip.handle(), chip.window(), &p)) << c.name;
    std::string line;
    EXPECT_FALSE(Recorded(2000, &line)) << c.name << ": started " << line;
  }
  // A command that just fits is started.
  std::string fits = "\"" + helper_ + "\" " + std::string(257 - helper_.size() - 5, 'x') + "%Y";
  ASSERT_EQ(257u, fits.size());
  ProgramSetting program(fits);
  TestChip chip(MakeState(1998, 2, 0, 0));
  POINT p = CellCentre(chip, 0, 10);
  MouseClik(chip.handle(), chip.window(), &p);
  std::string line;
  ASSERT_TRUE(Recorded(15000, &line)) << "a 259-byte command line was not started";
  EXPECT_EQ(259u, line.size());
}

TEST_F(MonthClick, NoStateOrNoPoint) {
  TestChip chip(MakeState(1998, 2, 0, 0));
  POINT p = CellCentre(chip, 0, 10);
  EXPECT_EQ(0, MouseClik(nullptr, chip.window(), &p));
  EXPECT_EQ(0, MouseClik(chip.handle(), chip.window(), nullptr));
}

}  // namespace
