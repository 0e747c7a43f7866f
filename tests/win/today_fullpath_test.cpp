// Schedule files named in TODAY.CNF by their full path.
#include <string>
#include <vector>

#include "tests/win/today_fixture.h"
#include "today/todayconfig.h"

namespace {

TEST_F(TodayFiles, FullPathScheduleFileKeepsItsEntry) {
  std::string tbl = MakeDir("tbl");
  std::string other = MakeDir("elsewhere");
  WriteBytes(tbl + "\\A.TBL", "");
  WriteBytes(other + "\\FAR.TBL", "");
  const std::string otherPath = other + "\\FAR.TBL";
  // Longer than the part of a plain name that is searched for.
  ASSERT_GT(otherPath.size(), 39u);
  std::string unc = "\\\\?\\" + otherPath;
  std::string lower = otherPath;
  lower[0] = (char)(lower[0] - 'A' + 'a');
  const std::string a = tbl + "\\A.TBL";

  struct {
    std::vector<std::string> names;
    std::vector<std::string> expected;  // ScheduleFile1, 2, ...; then one empty
  } cases[] = {
      {{otherPath, "A.TBL"}, {otherPath, a}},
      {{Forward(lower), "A.TBL"}, {Forward(lower), a}},
      {{unc, "A.TBL"}, {unc, a}},
      {{"\"" + otherPath + "\"", "A.TBL"}, {otherPath, a}},
      // Not there: a later name that is found takes the entry, as before.
      {{other + "\\GONE.TBL", "A.TBL"}, {a, "A.TBL"}},
      // A per-month name stays as written after the names that are found.
      {{"A.TBL", otherPath, other + "\\S%Y%M.TBL"}, {a, otherPath, other + "\\S%Y%M.TBL"}},
  };
  std::string cnfPath = root_ + "\\TODAY.CNF";
  for (auto& c : cases) {
    std::string cnf = "table_path=" + Forward(tbl) + "\r\n";
    for (size_t i = 0; i < c.names.size(); ++i)
      cnf += "schedule_file" + std::to_string(i + 1) + "=" + c.names[i] + "\r\n";
    WriteBytes(cnfPath, cnf);
    WriteUser("TodayCnf", cnfPath.c_str());
    ASSERT_EQ(1, LoadTodayConfig()) << cnf;
    c.expected.push_back("");
    for (size_t i = 0; i < c.expected.size(); ++i) {
      std::string key = "ScheduleFile" + std::to_string(i + 1);
      EXPECT_EQ(c.expected[i], ReadTemp(key.c_str())) << key << " of\n" << cnf;
    }
  }
}

}  // namespace
