// Schedule files named in TODAY.CNF by their full path.
#include <ctype.h>

#include <string>
#include <vector>

#include "tests/win/today_fixture.h"
#include "today/todayconfig.h"

namespace {

TEST_F(TodayFiles, FullPathScheduleFileKeepsItsEntry) {
  const std::string tbl = MakeDir("tbl"), other = MakeDir("elsewhere");
  const std::string a = tbl + "\\A.TBL", full = other + "\\FAR.TBL", perMonth = other + "\\S%Y%M.TBL";
  WriteBytes(a, "");
  WriteBytes(full, "");
  ASSERT_GT(full.size(), 39u);  // longer than the part of a plain name that is searched for
  std::string lower = Forward(full);
  lower[0] = (char)tolower(lower[0]);
  // The schedule_file values in order, then the entries they give.
  const std::vector<std::string> cases[][2] = {
      {{full, "A.TBL"}, {full, a}},
      {{lower, "A.TBL"}, {lower, a}},
      {{"\\\\?\\" + full, "A.TBL"}, {"\\\\?\\" + full, a}},
      {{"\"" + full + "\"", "A.TBL"}, {full, a}},
      // Not there: a later name that is found takes the entry, as before.
      {{other + "\\GONE.TBL", "A.TBL"}, {a, "A.TBL"}},
      {{"A.TBL", full, perMonth}, {a, full, perMonth}},
  };
  const std::string cnfPath = root_ + "\\TODAY.CNF";
  for (const auto& c : cases) {
    std::string cnf = "table_path=" + Forward(tbl) + "\r\n";
    for (size_t i = 0; i < c[0].size(); ++i) cnf += "schedule_file" + std::to_string(i + 1) + "=" + c[0][i] + "\r\n";
    WriteBytes(cnfPath, cnf);
    WriteUser("TodayCnf", cnfPath.c_str());
    ASSERT_EQ(1, LoadTodayConfig()) << cnf;
    for (size_t i = 0; i <= c[1].size(); ++i) {
      std::string key = "ScheduleFile" + std::to_string(i + 1);
      EXPECT_EQ(i < c[1].size() ? c[1][i] : "", ReadTemp(key.c_str())) << key << " of\n" << cnf;
    }
  }
}

}  // namespace
