// Loading TODAY.CNF with many schedule_file lines, run under Wine: the time
// of LoadTodayConfig for 100 to 10,000 lines, in a temporary folder of its own.
//   todaycnf_bench.exe [largest line count]   (default 10000)
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/timing.h"
#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/tempfolder.h"
#include "today/todayconfig.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (h != INVALID_HANDLE_VALUE) {
    WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(h);
  }
}

enum Names { kAllFound, kDistinctMissing, kRepeatedMissing };
const char* const kNamesShown[] = {"all found", "all but 16 missing, distinct", "all but 16 missing, one name"};

// lines schedule_file lines: all naming the sixteen table files in turn, or
// all but the last sixteen naming files that no search finds.
std::string CnfText(const std::string& tables, int lines, Names names) {
  std::string forward = tables;  // a backslash would start an escape
  std::replace(forward.begin(), forward.end(), '\\', '/');
  std::string text = "schedule=yes\r\ntable_path=" + forward + "\r\n";
  char line[80];
  for (int i = 1; i <= lines; ++i) {
    if (names == kAllFound)
      snprintf(line, sizeof line, "schedule_file%d=S%02d.TBL\r\n", i, (i - 1) % 16 + 1);
    else if (i > lines - 16)
      snprintf(line, sizeof line, "schedule_file%d=S%02d.TBL\r\n", i, i - (lines - 16));
    else
      snprintf(line, sizeof line, "schedule_file%d=MISSING%05d.TBL\r\n", i, names == kDistinctMissing ? i : 0);
    text += line;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  g_hInstance = GetModuleHandleA(nullptr);
  int largest = argc > 1 ? atoi(argv[1]) : 10000;
  TempFolder folder("tarnivel_cnfbench");
  if (!folder.ok()) return 1;
  std::string root = folder.path().substr(0, folder.path().size() - 1);
  std::string tables = root + "\\tbl";
  CreateDirectoryA(tables.c_str(), nullptr);
  for (int i = 1; i <= 16; ++i) {
    char name[16];
    snprintf(name, sizeof name, "\\S%02d.TBL", i);
    WriteText(tables + name, "*/*/* x\r\n");
  }
  WriteText(tables + "\\HOLIDAY.TBL", "1/1 1949- New_Year\r\n");
  WriteText(tables + "\\GENGO.TBL", "HEIS 1989/1/8 2019/4/30 Hh\r\n");

  InitSettingsWith((root + "\\Tarnivel.dxl").c_str(), "Bench");
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagUseToday);
  std::string cnf = root + "\\TODAY.CNF";
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, cnf.c_str());

  printf("| schedule_file lines | names | ms per load | ms per 1,000 lines |\n");
  printf("|---|---|---|---|\n");
  int failures = 0;
  for (int lines : {100, 1000, 10000}) {
    if (lines > largest) break;
    for (Names names : {kAllFound, kDistinctMissing, kRepeatedMissing}) {
      WriteText(cnf, CnfText(tables, lines, names));
      std::vector<double> runs;
      int repeat = lines <= 1000 ? 5 : 3;
      for (int r = 0; r < repeat; ++r) {
        double t = Now();
        if (!LoadTodayConfig()) ++failures;
        runs.push_back(Now() - t);
      }
      char first[MAX_PATH];
      ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, 1, "", first, sizeof first);
      if (!strstr(first, "S01.TBL")) ++failures;
      std::sort(runs.begin(), runs.end());
      double ms = runs[runs.size() / 2];
      printf("| %d | %s | %.1f | %.1f |\n", lines, kNamesShown[names], ms, ms * 1000.0 / lines);
      fflush(stdout);
    }
  }
  printf("\nMedian of 5 loads (3 for 10,000 lines). Results as expected: %s\n", failures ? "NO" : "yes");
  ClearSettingSection(IDS_SECTION_TODAYTEMP);
  return failures ? 2 : 0;
}
