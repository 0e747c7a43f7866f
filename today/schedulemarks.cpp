// Schedule day masks: the lines of a file marked through the
// fast look where it can tell them, else read and parsed.
#include <string.h>

#include "today/schedule.h"
#include "today/schedulelook.h"

namespace {

__attribute__((always_inline)) inline void MarkEntry(const ScheduleEntry* entry, const MonthKey* keys,
                                                   const WeekdayDays* table, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) {
    uint16_t year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
    if ((entry->month && entry->month != month) || (entry->year && entry->year != year)) continue;
    if (entry->weekday == kWeekdayNone) {
      masks[i] |= PlainDays(entry->day);
      continue;
    }
    if (i < kFastKeys) {
      if (entry->day <= 5) masks[i] |= table->days[i][entry->weekday][entry->day];
      continue;
    }
    unsigned first = DayOfWeek(year, month, 1), last = DaysInMonth(year, month);
    unsigned w = entry->weekday;
    unsigned d = w == first ? 1 : (first < w ? 1 + w - first : 8 + w - first);
    for (; d <= last; d += 7) {
      unsigned occurrence = (d - 1) / 7 + 1;
      if (entry->day == 0 || occurrence == entry->day) masks[i] |= 1u << d;
      if (entry->day != 0 && occurrence >= entry->day) break;
    }
  }
}

// What the run of lines does with an entry: nonzero when it is done with.
struct MarkTake {
  DayMask* masks;
  const WeekdayDays* table;
  __attribute__((always_inline)) int Plain(unsigned keys, unsigned day) const {
    const DayMask days = kPlainDays.days[day];
    if (keys & 1) masks[0] |= days;
    if (keys & 2) masks[1] |= days;
    for (unsigned rest = keys >> 2, i = 2; rest; rest >>= 1, ++i)
      if (rest & 1) masks[i] |= days;
    return 1;
  }
  __attribute__((always_inline)) int Weekday(unsigned keys, unsigned weekday, unsigned day) const {
    if (day > 5) return 1;
    if (keys & 1) masks[0] |= table->days[0][weekday][day];
    if (keys & 2) masks[1] |= table->days[1][weekday][day];
    for (unsigned rest = keys >> 2, i = 2; rest; rest >>= 1, ++i)
      if (rest & 1) masks[i] |= table->days[i][weekday][day];
    return 1;
  }
};

}  // namespace

void MarkScheduleFile(TableFile* file, EraCache* eras, const WeekdayNames* names,
                      const MonthKey* keys, DayMask* masks, int count) {
  WeekdayDays table;
  FillWeekdayDays(&table, keys, count);
  LineLook look;
  InitLook(&look, keys, count, eras, names);
  const MarkTake take = {masks, &table};
  const RunLinesFn<MarkTake> run = ChooseRun<MarkTake>(&look);
  const LineFeedFinder findLineFeed = LineFeedSearch();
  ScheduleEntry entry;
  for (;;) {
    if (run) run(file, &look, &take);
    int known;
    const int result = LookAtNextLine(file, &look, eras, &entry, &known);
    if (result == kQuickEnd) break;
    if (result != kQuickUnknown) {
      SkipTableLine(file, known, findLineFeed);
      if (result == kQuickEntry) MarkEntry(&entry, keys, &table, masks, count);
      continue;
    }
    char* line = ReadTableLine(file);
    if (!line) break;
    if (ParseLineFor(line, keys, count, &entry, eras, names)) MarkEntry(&entry, keys, &table, masks, count);
  }
}
