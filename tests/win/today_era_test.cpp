// Era years through GENGO.TBL and the equinox table resource.
#include <string>

#include "tests/native/today_equinox_table.h"
#include "tests/win/today_fixture.h"
#include "today/era.h"

namespace {

class TodayEra : public TodayFiles {};

TEST_F(TodayEra, EraToYearWithAndWithoutEraFile) {
  struct {
    char letter;
    uint16_t n;
    uint16_t withFile;
  } cases[] = {
      {'H', 11, 1999}, {'h', 11, 1999}, {'S', 64, 1989}, {'R', 8, 2026},
      {'X', 3, 3},     {'5', 3, 3},     {'*', 7, 7},
  };
  for (auto& c : cases) EXPECT_EQ(c.n, EraYear(c.letter, c.n)) << "no GengoTbl, '" << c.letter << "'";

  WriteTemp("GengoTbl", root_ + "\\MISSING.TBL");
  EXPECT_EQ(11, EraYear('H', 11)) << "GengoTbl names a missing file";

  std::string path = root_ + "\\GENGO.TBL";
  WriteBytes(path,
             "# eras\r\n"
             "\x8F\xBA\x98\x61 1926/12/25 1989/1/7 Ss\r\n"
             "\x95\xBD\x90\xAC 1989/1/8 2019/4/30 Hh\r\n"
             "\x97\xDF\x98\x61 2019/5/1 9999/12/31 Rr");
  WriteTemp("GengoTbl", path);
  for (auto& c : cases) EXPECT_EQ(c.withFile, EraYear(c.letter, c.n)) << "with GengoTbl, '" << c.letter << "'";
}

TEST(TodayEquinoxResource, EveryYearThroughTheResource) {
  for (int year = 1851; year <= 2150; ++year) {
    for (int month : {3, 9}) {
      EXPECT_EQ(PublishedEquinoxDay(year, month), EquinoxDay(year, month)) << year << "/" << month;
    }
  }
  for (const EquinoxExample& e : kEquinoxExamples) {
    EXPECT_EQ(e.march, EquinoxDay(e.year, 3)) << e.year;
    EXPECT_EQ(e.september, EquinoxDay(e.year, 9)) << e.year;
  }
  EXPECT_EQ(0, EquinoxDay(1850, 3));
  EXPECT_EQ(0, EquinoxDay(2151, 9));
  EXPECT_EQ(0, EquinoxDay(2000, 4));
}

}  // namespace
