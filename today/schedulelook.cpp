#include "today/schedulelook.h"

namespace {

struct DateBytes {
  unsigned char is[256];
  constexpr DateBytes() : is() {
    for (int c = '0'; c <= '9'; ++c) is[c] = 1;
    for (int c = 'a'; c <= 'z'; ++c) is[c] = is[c - 'a' + 'A'] = 1;
    is[(int)'*'] = is[(int)'/'] = is[(int)'-'] = is[(int)'+'] = 1;
  }
};
constexpr DateBytes kDateBytes;

struct LineStarts {
  unsigned char kind[256];
  constexpr LineStarts(unsigned char letter) : kind() {
    for (int c = 0; c < 256; ++c) kind[c] = kStartOther;
    for (int c = '0'; c <= '9'; ++c) kind[c] = kStartDigit;
    for (int c = 'a'; c <= 'z'; ++c) kind[c] = kind[c - 'a' + 'A'] = letter;
    kind[(int)'*'] = kStartStar;
    kind[(int)'#'] = kStartHash;
  }
};
constexpr LineStarts kLineStarts(kStartLetter), kLineStartsBeforeEras(kStartOther);

uint32_t PackedName(const char* name) {
  uint32_t packed = 0;
  for (int i = 0; i < 4 && name[i]; ++i) packed |= (uint32_t)(unsigned char)LowerAscii(name[i]) << (8 * i);
  return packed;
}

}  // namespace

void FillWeekdayDays(WeekdayDays* table, const MonthKey* keys, int count) {
  if (count > kFastKeys) count = kFastKeys;
  if (count > 0) memset(table->days, 0, sizeof table->days[0] * (size_t)count);
  for (int i = 0; i < count; ++i) {
    unsigned first = DayOfWeek(MonthKeyYear(keys[i]), MonthKeyMonth(keys[i]), 1);
    unsigned last = DaysInMonth(MonthKeyYear(keys[i]), MonthKeyMonth(keys[i]));
    for (unsigned d = 1; d <= last; ++d) {
      DayMask* days = table->days[i][(first + d - 1) % 7];
      days[0] |= 1u << d;
      days[(d - 1) / 7 + 1] |= 1u << d;
    }
  }
}

void FillYearRows(LineLook* look) {
  for (int c = 0; c < 256; ++c) look->yearRow[c] = (uint16_t)(0u - look->yearBase);
  look->erasKnown = !look->eras || look->eras->state;
  memcpy(look->starts, look->erasKnown ? kLineStarts.kind : kLineStartsBeforeEras.kind, sizeof look->starts);
  if (!look->eras || !look->eras->state) return;
  const EraTable* table = &look->eras->table;
  for (int c = 'A'; c <= 'z'; ++c)
    if (IsEraLetter((char)c) && table->known[c])
      look->yearRow[c] = (uint16_t)(table->firstYear[c] - 1u - look->yearBase);
}

void InitLook(LineLook* look, const MonthKey* keys, int count, EraCache* eras, const WeekdayNames* names) {
  look->keys = keys;
  look->count = count;
  look->eras = eras;
  look->names = names;
  memset(look->nameKey, 0, sizeof look->nameKey);
  for (int i = 0; i < 7; ++i) {
    const char* name = names ? names->name[i] : kDefaultWeekdays[i];
    // A longer name matches no name of two or three bytes.
    const uint32_t packed = strnlen(name, kWeekdayNameMax + 1) <= kWeekdayNameMax ? PackedName(name) : 0xFFFFFFFFu;
    look->weekdays[i] = packed;
    if (packed == 0xFFFFFFFFu || packed < 0x100) continue;  // nor does a shorter one
    unsigned slot = NameSlot(packed);
    while (look->nameKey[slot] && look->nameKey[slot] != packed) slot = (slot + 1) % kNameSlots;
    if (!look->nameKey[slot]) {
      look->nameKey[slot] = packed;
      look->nameDay[slot] = (uint8_t)i;
    }
  }
  look->erasKnown = 1;  // FastLook alone waits for the era table
  unsigned low = 0xFFFF, high = 0;
  look->fast = count > 0 && count <= kFastKeys;
  for (int i = 0; i < count && look->fast; ++i) {
    const unsigned year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
    if (!year || year > 0xFFF0 || !month || month > 12) look->fast = 0;
    if (year < low) low = year;
    if (year > high) high = year;
  }
  if (look->fast && high - low >= kFastYears) look->fast = 0;
  if (!look->fast) return;
  look->yearBase = (uint16_t)low;
  FillYearRows(look);
  memset(look->keyBits, 0, sizeof look->keyBits);
  for (int i = 0; i < count; ++i) {
    const unsigned month = MonthKeyMonth(keys[i]);
    const uint8_t bit = (uint8_t)(1u << i);
    uint8_t* row = look->keyBits[MonthKeyYear(keys[i]) - low];
    uint8_t* any = look->keyBits[kFastAnyYear];
    row[month] |= bit;
    row[0] |= bit;
    any[month] |= bit;
    any[0] |= bit;
  }
}

namespace {

int YearMissesAll(uint16_t year, const MonthKey* keys, int count) {
  for (int i = 0; i < count; ++i)
    if (year == MonthKeyYear(keys[i])) return 0;
  return 1;
}

// The digits from raw[i] on, as the parsers add them up (wrapping); returns
// where they end.
int TakeDigits(const unsigned char* raw, int n, int i, uint32_t* value) {
  uint32_t v = 0;
  for (; i < n && IsDigitByte((char)raw[i]); ++i) v = v * 10 + (uint32_t)(raw[i] - '0');
  *value = v;
  return i;
}

// The date field in its common forms, read straight from the raw bytes: a
// year of '*', digits, or a letter and digits; a month of '*' or digits;
// a day of '*', digits, a weekday name or both, ended by a blank. The
// year and month alone can rule a line out. kQuickUnknown for other forms;
// *fieldEnd is where the look stopped, before it only date bytes: the
// blank after the field of a kQuickEntry.
int ReadPlainDate(const unsigned char* raw, int n, const LineLook* look, ScheduleEntry* entry, int* fieldEnd) {
  const MonthKey* keys = look->keys;
  const int count = look->count;
  int i = 0;
  // Where the look stopped, for the caller.
  auto stop = [&](int result) {
    *fieldEnd = i;
    return result;
  };
  uint16_t year = 0;
  if (raw[0] == '*') {
    i = 1;
  } else {
    const int letter = IsAsciiLetter(raw[0]);
    uint32_t value;
    i = TakeDigits(raw, n, letter, &value);
    if (i == letter || i >= n || raw[i] != '/') return kQuickUnknown;
    year = letter && look->eras ? EraCacheLookup(look->eras, (char)raw[0], (uint16_t)value) : (uint16_t)value;
    if (!year || YearMissesAll(year, keys, count)) return stop(kQuickNoMatch);
  }
  if (i >= n || raw[i] != '/') return kQuickUnknown;
  uint16_t month = 0;
  if (++i < n && raw[i] == '*') {
    ++i;
  } else {
    const int digits = i;
    uint32_t value;
    i = TakeDigits(raw, n, i, &value);
    if (i == digits) return kQuickUnknown;
    month = (uint16_t)value;
  }
  if (i >= n || raw[i] != '/') return kQuickUnknown;
  if (!MonthMatchesAny(year, month, keys, count)) return stop(kQuickNoMatch);

  const int dayPart = ++i;
  uint16_t day = 0;
  int weekday = kWeekdayNone;
  if (i < n && raw[i] == '*') {
    ++i;
  } else {
    uint32_t value;
    i = TakeDigits(raw, n, i, &value);
    day = (uint16_t)value;
    const int digits = i - dayPart, letters = i;
    while (i < n && IsAsciiLetter(raw[i])) ++i;
    if (i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
    if (i - letters >= kWeekdayNameMin) {
      char name[kWeekdayNameMax + 1] = {0};
      memcpy(name, raw + letters, i - letters < kWeekdayNameMax ? i - letters : kWeekdayNameMax);
      const uint32_t packed = PackedName(name);
      for (weekday = 0; weekday < 7 && look->weekdays[weekday] != packed; ++weekday) {
      }
      if (weekday == 7) return stop(kQuickNoMatch);
    } else if (!digits || !day) {
      return i > dayPart ? stop(kQuickNoMatch) : kQuickUnknown;
    }
  }
  if (i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
  entry->year = year;
  entry->month = month;
  entry->day = day;
  entry->weekday = (uint8_t)weekday;
  entry->label[0] = '\0';
  entry->text = nullptr;
  return stop(kQuickEntry);
}

// The other forms: a first field of date bytes read as a copy, the way
// the line parser reads it.
int LookAtDate(const unsigned char* raw, int n, const LineLook* look, ScheduleEntry* entry, int* fieldEnd) {
  char field[kQuickFieldMax + 1];
  const int limit = n < kQuickFieldMax ? n : kQuickFieldMax;
  int i = 0;
  for (; i < limit && kDateBytes.is[raw[i]]; ++i) field[i] = (char)raw[i];
  *fieldEnd = i;
  if (i == 0 || i >= n || !IsBlankByte(raw[i])) return kQuickUnknown;
  field[i] = '\0';
  DatePeek date;
  if (!PeekDate(field, look->eras, &date, PlainSlash()) ||
      !MonthMatchesAny(date.year, date.month, look->keys, look->count))
    return kQuickNoMatch;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  entry->year = date.year;
  entry->month = date.month;
  if (!ReadScheduleDay(date.dayPart, look->names, entry)) return kQuickNoMatch;
  return kQuickEntry;
}

// After a date field that ends at raw[i]: kQuickEntry where every byte up
// to the first of the text is stored as it stands; *known is then where the
// text starts.
__attribute__((always_inline)) inline int LookAtLabel(const unsigned char* raw, int n, int i, int* known) {
  int j = i;
  while (j < n && IsBlankByte(raw[j])) ++j;
  if (j < n && raw[j] == kLabelMark) {
    for (++j; j < n; ++j) {
      const unsigned char c = raw[j];
      const unsigned char kind = kLabelBytes.kind[c];
      if (kind == kLabelPlain) continue;
      if (kind == kLabelBlank) break;
      if (kind == kLabelUnstored) return kQuickUnknown;
      if (IsLeadByte(c) && (++j >= n || IsUnstoredByte(raw[j]))) return kQuickUnknown;
    }
    while (j < n && IsBlankByte(raw[j])) ++j;
  }
  // The reader keeps no character that would pass the line's limit: the
  // line would then have no text.
  if (j >= n || IsUnstoredByte(raw[j]) || !TableLineKeeps(j, IsLeadByte(raw[j]) ? 2 : 1)) return kQuickUnknown;
  *known = j;
  return kQuickEntry;
}

}  // namespace

__attribute__((noinline)) int QuickLook(const unsigned char* raw, int n, const LineLook* look,
                                        ScheduleEntry* entry, int* known) {
  int i = 0;
  int result = ReadPlainDate(raw, n, look, entry, &i);
  if (result == kQuickUnknown) result = LookAtDate(raw, n, look, entry, &i);
  *known = i;
  if (result != kQuickEntry) return result;
  return LookAtLabel(raw, n, i, known);
}
