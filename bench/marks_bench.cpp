// Mark refresh and day lookup on a large data set: the real library for the
// refresh, the same code linked here for the lookup, and the byte-at-a-time
// baseline for comparison.
//   marks_bench.exe [data folder] [library]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/baseline.h"
#include "bench/floor.h"
#include "bench/timing.h"
#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/winfile.h"
#include "today/holiday.h"
#include "today/markreading.h"
#include "today/schedule.h"

namespace {

typedef int(__cdecl* InitializeChipFn)(HGLOBAL*, HWND, const HostChipInfo*);
typedef int(__cdecl* UpdateFn)(HGLOBAL, HWND, const HostChipInfo*);
typedef int(__cdecl* UnInitializeChipFn)(HGLOBAL, HWND);

const int kPlainFiles = 12;
const int kTipListSize = 640;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

double FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (double)data.nFileSizeLow;
}

std::string PlainName(const std::string& dir, int i) {
  char name[32];
  snprintf(name, sizeof name, "SCHED%02d.TBL", i);
  return dir + name;
}

std::string MonthName(const std::string& dir, int i, int year, int month) {
  char name[32];
  snprintf(name, sizeof name, "PM%02d_%04d%02d.TBL", i, year, month);
  return dir + name;
}

// Table text that one computation reads for the given months.

// The files that one computation reads for the given months.
std::vector<std::string> TablePaths(const std::string& dir, const MonthKey* keys, int count) {
  std::vector<std::string> paths = {dir + "HOLIDAY.TBL", dir + "GENGO.TBL"};
  for (int i = 1; i <= kPlainFiles; ++i) paths.push_back(PlainName(dir, i));
  for (int i = kPlainFiles + 1; i <= 16; ++i)
    for (int k = 0; k < count; ++k)
      paths.push_back(MonthName(dir, i, MonthKeyYear(keys[k]), MonthKeyMonth(keys[k])));
  return paths;
}

double TextBytes(const std::string& dir, const MonthKey* keys, int count) {
  double bytes = 0;
  for (const std::string& path : TablePaths(dir, keys, count)) bytes += FileBytes(path);
  return bytes;
}

// Only the table-line reader over the files of one refresh.
double ReadLinesOnly(const std::vector<std::string>& paths) {
  TableReadBuffer buffer;
  double t = Now();
  for (const std::string& path : paths) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    HandleTableFile file(h, &buffer);
    while (ReadTableLine(file.get())) {
    }
    CloseHandle(h);
  }
  return Now() - t;
}

double BestOf(int runs, double (*stage)(void*), void* ctx) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) best = std::min(best, stage(ctx));
  return best;
}

struct ProfileFiles {
  std::vector<std::string> paths;
  const MonthKey* keys;
};

// What a refresh asked of the settings file before the file list came from
// one section read: the flags, the two table keys (the era table's once for
// each computation), the switch and the sixteen file names.
double ProfileReads(void*) {
  char text[MAX_PATH];
  double t = Now();
  ReadSettingInt(kUserSection, IDS_KEY_FLAGS, 0);
  ReadSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_HOLIDAYTBL, "", text, sizeof text);
  ReadSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_GENGOTBL, "", text, sizeof text);
  ReadSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_GENGOTBL, "", text, sizeof text);
  ReadSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 1);
  for (int i = 1; i <= 16; ++i)
    ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, i, "", text, sizeof text);
  return Now() - t;
}

// What a refresh asks of it now: the flags and the section.
double SnapshotReads(void*) {
  double t = Now();
  ReadSettingInt(kUserSection, IDS_KEY_FLAGS, 0);
  MarkReading reading;
  return Now() - t;
}

double OpenAndClose(void* ctx) {
  const ProfileFiles* files = static_cast<const ProfileFiles*>(ctx);
  double t = Now();
  for (const std::string& path : files->paths) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return Now() - t;
}

double Floor(void* ctx) { return MeasureFloor(static_cast<const ProfileFiles*>(ctx)->paths).ms; }

double LinesOnly(void* ctx) { return ReadLinesOnly(static_cast<const ProfileFiles*>(ctx)->paths); }

double HolidayMasks(void* ctx) {
  DayMask masks[2];
  double t = Now();
  ComputeHolidayMasks(static_cast<const ProfileFiles*>(ctx)->keys, masks, 2);
  return Now() - t;
}

double ScheduleMasks(void* ctx) {
  DayMask masks[2];
  double t = Now();
  ComputeScheduleMasks(static_cast<const ProfileFiles*>(ctx)->keys, masks, 2);
  return Now() - t;
}

// Where the time of a refresh goes, stage by stage, each the best of many
// runs in this process (the library's code linked in).
void PrintProfile(const std::string& dir, const MonthKey* keys) {
  ProfileFiles files = {TablePaths(dir, keys, 2), keys};
  const int runs = 30;
  printf("\n| Stage of a two-month refresh (best of %d, in process) | ms |\n|---|---:|\n", runs);
  printf("| profile reads of the settings, as a refresh made them before (21) | %.2f |\n",
         BestOf(runs, ProfileReads, nullptr));
  printf("| profile reads of a refresh now: the flags and the section (2) | %.2f |\n",
         BestOf(runs, SnapshotReads, nullptr));
  printf("| opening and closing the %d files | %.2f |\n", (int)files.paths.size(),
         BestOf(runs, OpenAndClose, &files));
  printf("| floor: open, read whole, find the line ends | %.2f |\n", BestOf(runs, Floor, &files));
  printf("| open, read, and ReadTableLine every line | %.2f |\n", BestOf(runs, LinesOnly, &files));
  printf("| ComputeHolidayMasks | %.2f |\n", BestOf(runs, HolidayMasks, &files));
  printf("| ComputeScheduleMasks | %.2f |\n", BestOf(runs, ScheduleMasks, &files));
}

void PointSettingsAtData(const std::string& dir) {
  ClearSettingSection(IDS_SECTION_TODAYTEMP);
  WriteSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_HOLIDAYTBL, (dir + "HOLIDAY.TBL").c_str());
  WriteSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_GENGOTBL, (dir + "GENGO.TBL").c_str());
  WriteSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 1);
  for (int i = 1; i <= 16; ++i) {
    std::string name = i <= kPlainFiles ? PlainName(dir, i) : dir + "PM" + std::to_string(i) + "_%Y%M.TBL";
    WriteIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, i, name.c_str());
  }
}

void Report(const char* what, const std::vector<double>& runs, double cpuMs, double bytes,
            const std::vector<double>& baseline) {
  double ms = Median(runs), baselineMs = Median(baseline);
  printf("| %-42s | %8.2f | %8.2f | %8.2f | %8.1f | %11.1f | %7.1fx |\n", what, ms, Best(runs), cpuMs,
         bytes / 1048576.0 / (ms / 1000.0), baselineMs, baselineMs / ms);
}

}  // namespace

int main(int argc, char** argv) {
  g_hInstance = GetModuleHandleA(nullptr);
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string exeDir(exe, strrchr(exe, '\\') + 1);
  std::string dir = argc > 1 ? argv[1] : exeDir + "data\\";
  if (dir.back() != '\\') dir += '\\';
  // By default a copy of the built library beside the data, so that the
  // settings written below stay out of the build's own library folder.
  std::string library = argc > 2 ? argv[2] : dir + "Tarnivel.dxl";
  if (argc <= 2 && !CopyFileA((exeDir + "..\\Tarnivel.dxl").c_str(), library.c_str(), FALSE)) {
    fprintf(stderr, "cannot copy the library into %s\n", dir.c_str());
    return 1;
  }
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(library.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) {
    fprintf(stderr, "path too long: %s\n", library.c_str());
    return 1;
  }
  library = full;

  // This program's settings code writes the library's own settings file.
  char user[64];
  DWORD userSize = sizeof user;
  if (!GetUserNameA(user, &userSize)) user[0] = '\0';
  InitSettingsWith(library.c_str(), user);
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagUseToday);

  HMODULE dll = LoadLibraryA(library.c_str());
  if (!dll) {
    fprintf(stderr, "cannot load %s\n", library.c_str());
    return 1;
  }
  GetModuleFileNameA(dll, full, sizeof full);
  printf("library: %s\n", full);
  InitializeChipFn initializeChip = (InitializeChipFn)(void*)GetProcAddress(dll, "InitializeChip");
  UpdateFn update = (UpdateFn)(void*)GetProcAddress(dll, "Update");
  UnInitializeChipFn uninitializeChip = (UnInitializeChipFn)(void*)GetProcAddress(dll, "UnInitializeChip");
  if (!initializeChip || !update || !uninitializeChip) {
    fprintf(stderr, "missing exports\n");
    return 1;
  }
  PointSettingsAtData(dir);  // after the load, which empties $TodayTemp

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = g_hInstance;
  wc.lpszClassName = "TarnivelBenchChip";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                g_hInstance, nullptr);

  // Two months side by side; the memo alternates, so every Update reads both.
  uint8_t saveData[4 + 24] = {24};
  saveData[4 + kSaveViewFlags] = kViewTwoMonths;
  HostChipInfo info = {};
  info.saveData = saveData;
  const char* memos[2] = {"2027/01", "2026/12"};
  MonthKey pairs[2][2] = {{MakeMonthKey(2027, 1), MakeMonthKey(2027, 2)},
                          {MakeMonthKey(2026, 12), MakeMonthKey(2027, 1)}};
  info.memoText = "2026/12";
  HGLOBAL chip = nullptr;
  if (!initializeChip(&chip, window, &info)) {
    fprintf(stderr, "InitializeChip failed\n");
    return 1;
  }

  const int refreshRuns = 50, lookupRuns = 50;
  // The baseline takes seconds per run; TARNIVEL_BENCH_BASELINE_RUNS=1 for a quick look.
  const char* runsText = getenv("TARNIVEL_BENCH_BASELINE_RUNS");
  int baselineRuns = runsText ? atoi(runsText) : 3;
  if (baselineRuns < 1) baselineRuns = 1;
  // Each run has its floor beside it, on the same files, the order taking
  // turns, so that a busy moment weighs on both alike.
  std::vector<std::string> refreshPaths[2] = {TablePaths(dir, pairs[0], 2), TablePaths(dir, pairs[1], 2)};
  std::vector<double> refresh, refreshFloor;
  int mismatches = 0, markedDays = 0, monthDays = 0;
  double refreshCpu = 0;
  for (int i = 0; i < refreshRuns; ++i) {
    info.memoText = memos[i % 2];
    if (i / 2 % 2) refreshFloor.push_back(MeasureFloor(refreshPaths[i % 2]).ms);
    double cpu = ThreadCpu();
    double t = Now();
    update(chip, window, &info);
    refresh.push_back(Now() - t);
    refreshCpu += ThreadCpu() - cpu;
    if (i / 2 % 2 == 0) refreshFloor.push_back(MeasureFloor(refreshPaths[i % 2]).ms);
    if (i < 2) {
      DayMask holidays[2], schedules[2];
      BaselineHolidayMasks(pairs[i % 2], holidays, 2);
      BaselineScheduleMasks(pairs[i % 2], schedules, 2);
      ChipLock state(chip);
      for (int k = 0; k < 2; ++k) {
        mismatches += state->holidayMask[k] != holidays[k] || state->scheduleMask[k] != schedules[k];
        markedDays += __builtin_popcount(schedules[k]);
        monthDays += DaysInMonth(MonthKeyYear(pairs[i % 2][k]), MonthKeyMonth(pairs[i % 2][k]));
      }
    }
  }
  refreshCpu /= refreshRuns;
  std::vector<double> readOnly;
  for (int i = 0; i < 5; ++i) readOnly.push_back(ReadLinesOnly(refreshPaths[1]));
  std::vector<double> slowRefresh;
  for (int i = 0; i < baselineRuns; ++i) {
    DayMask masks[2];
    double t = Now();
    BaselineHolidayMasks(pairs[i % 2], masks, 2);
    BaselineScheduleMasks(pairs[i % 2], masks, 2);
    slowRefresh.push_back(Now() - t);
  }

  // Day lookup: the tip's 640-byte list, and a list large enough that every
  // file is read to its end.
  const uint16_t year = 2026, month = 12, day = 16;
  MonthKey dayKey = MakeMonthKey(year, month);
  std::vector<char> big(1 << 20), slowBig(1 << 20);
  int sizes[2] = {kTipListSize, (int)big.size()};
  std::vector<std::string> dayPaths = TablePaths(dir, &dayKey, 1);
  std::vector<double> fast[2], slow[2], lookupFloor;
  double lookupCpu[2];
  for (int s = 0; s < 2; ++s) {
    lookupCpu[s] = 0;
    for (int i = 0; i < lookupRuns; ++i) {
      if (s == 1 && i % 2) lookupFloor.push_back(MeasureFloor(dayPaths).ms);
      double cpu = ThreadCpu();
      double t = Now();
      {
        MarkReading reading;  // as the tip shares one
        CollectHolidayNames(year, month, day, big.data(), sizes[s], &reading);
        CollectScheduleTexts(year, month, day, big.data(), sizes[s], &reading);
      }
      fast[s].push_back(Now() - t);
      lookupCpu[s] += ThreadCpu() - cpu;
      if (s == 1 && i % 2 == 0) lookupFloor.push_back(MeasureFloor(dayPaths).ms);
    }
    lookupCpu[s] /= lookupRuns;
    for (int i = 0; i < baselineRuns; ++i) {
      double t = Now();
      BaselineHolidayNames(year, month, day, slowBig.data(), sizes[s]);
      BaselineScheduleTexts(year, month, day, slowBig.data(), sizes[s]);
      slow[s].push_back(Now() - t);
    }
    mismatches += memcmp(big.data(), slowBig.data(), (size_t)sizes[s]) != 0;
  }

  double refreshBytes = TextBytes(dir, pairs[1], 2);
  double dayBytes = TextBytes(dir, &dayKey, 1);
  printf("Data: %s, %.1f MB per refresh, %.1f MB per full day lookup\n\n", dir.c_str(),
         refreshBytes / 1048576.0, dayBytes / 1048576.0);
  printf("| %-42s | %8s | %8s | %8s | %8s | %11s | %8s |\n", "Operation", "median ms", "best ms", "CPU ms",
         "MB/s", "baseline ms", "speed-up");
  printf("|--------------------------------------------|----------|----------|----------|----------|-------------|----------|\n");
  Report("two-month refresh (Update through the DLL)", refresh, refreshCpu, refreshBytes, slowRefresh);
  Report("day lookup, whole files (1 MB list)", fast[1], lookupCpu[1], dayBytes, slow[1]);
  Report("day lookup, tip list (640 bytes)", fast[0], lookupCpu[0], dayBytes, slow[0]);
  printf("\nFloor (%s): open, read whole and find every line end in the same files, measured beside\n"
         "each run: refresh %.2f ms (median), %.2f ms (best); full day lookup %.2f ms, %.2f ms.\n",
         FloorUsesSse2() ? "SSE2" : "four bytes at a time", Median(refreshFloor), Best(refreshFloor),
         Median(lookupFloor), Best(lookupFloor));
  printf("\nOf a refresh, reading the lines alone (no parsing) takes %.2f ms (median), %.2f ms (best).\n",
         Median(readOnly), Best(readOnly));
  printf("\nMB/s (from the median) counts every table byte of the files concerned; the tip lookup stops\n"
         "once its list is full, so its figure overstates the bytes it reads. CPU ms is this thread's\n"
         "processor time per run (in 10 ms ticks under Wine, averaged over all runs): on a busy machine\n"
         "it stays near what an idle one gives, while the clock does not.\n");
  printf("Results equal to the baseline: %s (schedules mark %d of %d days)\n\n", mismatches ? "NO" : "yes",
         markedDays, monthDays);
  printf("ratio refresh median %.2f best %.2f\n", Median(refresh) / Median(refreshFloor),
         Best(refresh) / Best(refreshFloor));
  printf("ratio lookup median %.2f best %.2f\n", Median(fast[1]) / Median(lookupFloor),
         Best(fast[1]) / Best(lookupFloor));

  PrintProfile(dir, pairs[1]);

  uninitializeChip(chip, window);
  DestroyWindow(window);
  FreeLibrary(dll);
  return mismatches ? 2 : 0;
}
