// The schedule texts of one date for the tip, through the fast
// look where it can tell a line misses the date.
#include "today/schedule.h"
#include "today/schedulelook.h"

namespace {

// A day lookup passes over the entries that miss its day; kept says that
// the run stopped at one of the day.
struct CollectTake {
  DayMask day;
  const WeekdayDays* table;
  mutable int kept;
  __attribute__((always_inline)) int Plain(unsigned, unsigned entryDay) const {
    kept = (kPlainDays.days[entryDay] & day) != 0;
    return !kept;
  }
  __attribute__((always_inline)) int Weekday(unsigned, unsigned weekday, unsigned entryDay) const {
    kept = entryDay <= 5 && (table->days[0][weekday][entryDay] & day);
    return !kept;
  }
};

}  // namespace

int CollectScheduleFileTexts(TableFile* file, EraCache* eras, const WeekdayNames* names,
                             uint16_t year, uint16_t month, uint16_t day, StringList* list) {
  int found = 0;
  MonthKey key = MakeMonthKey(year, month);
  WeekdayDays table;
  FillWeekdayDays(&table, &key, 1);
  LineLook look;
  InitLook(&look, &key, 1, eras, names);
  const CollectTake take = {1u << (day & 31), &table, 0};
  // The table knows the days of the month only.
  const RunLinesFn<CollectTake> run = day >= 1 && day <= DaysInMonth(year, month) ? ChooseRun<CollectTake>(&look) : nullptr;
  ScheduleEntry entry;
  const LineFeedFinder findLineFeed = LineFeedSearch();
  const unsigned weekday = DayOfWeek(year, month, day);
  while (!list->full) {
    // A line that the run kept is an entry of the day.
    take.kept = 0;
    if (run) run(file, &look, &take);
    if (!take.kept) {
      int known;
      const int result = LookAtNextLine(file, &look, eras, &entry, &known);
      if (result == kQuickEnd) break;
      if (result == kQuickNoMatch ||
          (result == kQuickEntry && !EntryMatchesDay(&entry, year, month, day, weekday))) {
        SkipTableLine(file, known, findLineFeed);
        continue;
      }
    }
    char* line = ReadTableLine(file);
    if (!line) break;
    if (!ParseLineFor(line, &key, 1, &entry, eras, names)) continue;
    if (!EntryMatchesDay(&entry, year, month, day, weekday)) continue;
    TakeText(&entry);
    found += StringListAppend(list, entry.label, entry.text);
  }
  return found;
}
